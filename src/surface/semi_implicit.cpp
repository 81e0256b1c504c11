// The semi-implicit water-level equation of F 36 9: the level differences between
// neighbouring columns drive face discharges whose conductance follows from Manning-Strickler
// friction at the present face speed; a time term ties the new level to the present one; the
// solved variable is the absolute level. Also the explicit velocity source (F 322 second value
// 1) and the per-bed-cell copy of a solved change (F 271 3, 4). Reads Fflux, Farea, Faz, Fvx,
// Fvy, Cidist, Cjdist, Ckdist, Cxvel, Cyvel, armap, DischargeArray, zval, BFroude and the
// options of W 1, F 470, F 473, F 322, F 17/F 33, F 292, F 271; writes Cap, Csource, Cf,
// Cae..Can, Cat, Cab of the rows, Ckdist[0], Farea[0], Bdeltah.
#include <algorithm>
#include <cmath>

#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "surface/level_equations.h"
#include "surface/worked_blocks.h"

namespace qorva {

namespace {

using surf::link;

// Sum of the west-face areas of the cells of the cross-section i of block k.
double sectionArea(const GridBlock& k, int i) {
  double A = 0;
  for (int j = k.j1; j <= k.j2; ++j) upColumn(columnBottom(i, j), [&A](int c) {
      A += Farea[Cflatew[c]];
    });
  return A;
}

// The conductance (m2/s) of the face on one side of the column with bottom cell c: the face
// depth and discharge summed over the column's cells and their neighbours on that side, the
// face speed floored at `Umin` (and capped at twice the wave speed when `capped`), the width
// w across and the distance dist between the centres.
double conductance(int c, const Table1<int>& side, const Table1<int>& faces, double w,
                   double dist, double Umin, bool capped) {
  double H = 0, Q = 0;
  upColumn(c, [&](int k) {
    H += Ckdist[link(side, k)] + Ckdist[k];
    Q += Fflux[faces[k]];
  });
  Q *= 0.001;
  const double Af = w * H;
  double U = std::max(std::fabs(Q / (Af + 1e-30)), Umin);
  if (capped) U = std::min(U, 2 * std::sqrt(9.81 * H));
  const double M = ManningInit;
  return Af * M * M * std::pow(H, 1.33333) / (U * dist + 1e-30);
}

void sectionCoefficients(const GridBlock& k, int i) {
  const double U0 = std::max(0.001 * DischargeArray[1] / (sectionArea(k, i) + 1e-30), 0.001);
  for (int j = k.j1; j <= k.j2; ++j) {
    const int c = columnBottom(i, j);
    if (c == 0) continue;
    const int t = TopBed == 1 ? topOf(c) : c;
    if (const int w = link(Ccellw, t); w != 0) {
      const double Umin = FlagCasulliCoeff > 0 ? 0.2 * U0 : 0.0001;
      const double a = conductance(c, Ccellw, Cflatew, Cjdist[t] + Cjdist[w],
                                   Cidist[t] + Cidist[w], Umin, FlagCasulliLimit > 0);
      Caw[c] = a / armap[i][j];
      if (const int wb = bottomOf(w); wb != 0) Cae[wb] = a / armap[i - 1][j];
    }
    if (const int s = link(Ccells, t); s != 0) {
      const double Umin = FlagCasulliCoeff > 1 ? 0.2 * U0 : 0.0001;
      const double a = conductance(c, Ccells, Cflates, Cidist[t] + Cidist[s],
                                   Cjdist[t] + Cjdist[s], Umin, false);
      Cas[c] = a / armap[i][j];
      if (const int sb = bottomOf(s); sb != 0) Can[sb] = a / armap[i][j - 1];
    }
  }
}

// Times at or below this are no time step: a steady run marks itself with 1e-20 s, and 1 over
// that would tie every column to its present level as firmly as a reference pin.
constexpr double kNoTimeStep = 1e-8;

// 1/s of the time term by F 322; ends the run when the time it divides by is no time step.
double timeFactor() {
  double dt;
  switch (FlagTimeSurf) {
    case 4: dt = 10 * TimeStep; break;
    case 2: dt = InnerTimestep; break;
    case 3: dt = TimeStep * InnerTimestep > 0 ? std::sqrt(TimeStep * InnerTimestep) : 0.0; break;
    default: dt = TimeStep; break;
  }
  if (!(dt > kNoTimeStep))
    failf(1,
          "Error: the time term of the semi-implicit water-level equation (F 322 %d) needs a "
          "time step above %g seconds (F 17, F 33, F 292); a steady run leaves F 322 at 0\n",
          FlagTimeSurf, kNoTimeStep);
  return 1 / dt;
}

double cornerMean(int i, int j) {
  return 0.25 * (zval[i][j][znumber] + zval[i - 1][j][znumber] + zval[i - 1][j - 1][znumber] +
                 zval[i][j - 1][znumber]);
}

void centralCoefficients() {
  const double r = FlagTimeSurf > 0 ? timeFactor() : 0.0;
  surf::forEachWorkedColumn([r](int i, int j) {
    const int c = columnBottom(i, j);
    if (c == 0) return;
    Cap[c] = Cae[c] + Caw[c] + Can[c] + Cas[c];
    Cf[c] = cornerMean(i, j);
    if (FlagTimeSurf <= 0) return;
    const double f = FlagTimeSurf == 5 ? std::max(0.0, BFroude[Cbed[c]] - 0.1) + r : r;
    Csource[c] += Cf[c] * f;
    Cap[c] += f;
  });
}

// Mean over the cells of the column with bottom cell c of their velocity along (nx, ny).
double meanNormalSpeed(int c, double nx, double ny) {
  double sum = 0;
  int n = 0;
  upColumn(c, [&](int k) {
    sum += Cxvel[k] * nx + Cyvel[k] * ny;
    ++n;
  });
  return n > 0 ? sum / n : 0.0;
}

double nodeDepth(int i, int j) { return zval[i][j][znumber] - zval[i][j][1]; }

// The momentum source across one face of the column with bottom cell c: its neighbour
// column's top or bottom cell nb, the faces of that side, the two nodes of the side and the
// half sizes along the side's normal.
void faceSource(int c, int t, int nb, const Table1<int>& faces, double hf,
                const Table1<double>& half) {
  const int f = faces[t];
  if (f <= 0) return;
  double A = 0;
  upColumn(c, [&](int k) { A += Farea[faces[k]]; });
  const int nbBottom = bottomOf(nb);
  const double Un = meanNormalSpeed(c, Fvx[f], Fvy[f]);
  const double Uw = meanNormalSpeed(nbBottom, Fvx[f], Fvy[f]);
  const double F = (Un - Uw) * A * hf / (half[t] + half[nb] + 1e-30);
  const int bo = Cflateb[c], bw = Cflateb[nbBottom];
  if (bo > 0 && Faz[bo] != 0) Csource[c] -= F / Faz[bo];
  if (bw > 0 && Faz[bw] != 0) Csource[nbBottom] += F / Faz[bw];
}

}  // namespace

void computeCoeffCasulli() {
  Ckdist[0] = 0;
  for (int c = WCStart; c <= WCEnd; ++c) {
    Caw[c] = Cas[c] = Can[c] = Cae[c] = Cat[c] = Cab[c] = Csource[c] = Cap[c] = Cf[c] = 0;
  }
  if (!armap)
    failf(1, "%s", "Error: the semi-implicit water-level equation has no column areas\n");
  for (int b = 1; b <= NoBlocks; ++b) {
    if (!surf::levelsMove(b)) continue;
    const GridBlock& k = block[b];
    for (int i = k.i1; i <= k.i2; ++i) sectionCoefficients(k, i);
  }
  centralCoefficients();
}

void computeSourceCasulli() {
  Farea[0] = 0;
  surf::forEachWorkedColumn([](int i, int j) {
    const int c = columnBottom(i, j);
    if (c == 0) return;
    const int t = TopBed == 1 ? topOf(c) : c;
    if (const int w = link(Ccellw, t); w != 0)
      faceSource(c, t, w, Cflatew, 0.5 * (nodeDepth(i - 1, j - 1) + nodeDepth(i - 1, j)),
                 Cidist);
    if (const int s = link(Ccells, t); s != 0)
      faceSource(c, t, s, Cflates, 0.5 * (nodeDepth(i - 1, j - 1) + nodeDepth(i, j - 1)),
                 Cjdist);
  });
}

void computeBDeltah() {
  if (FlagTFS2 != 3 && FlagTFS2 != 4) return;
  if (!Bdeltah) return;
  for (int b = 1; b <= NoBlocks; ++b) {
    if (!surf::levelsMove(b)) continue;
    const GridBlock& k = block[b];
    for (int i = k.i1 - 1; i <= k.i2; ++i)
      for (int j = k.j1 - 1; j <= k.j2; ++j) {
        const int c = columnBottom(i, j);
        if (c == 0) continue;
        const int bc = Cbed[c];
        Bdeltah[bc] = FlagTFS2 == 3 ? Cf[c] : 0.5 * Cf[c] + 0.5 * Bdeltah[bc];
      }
  }
}

}  // namespace qorva
