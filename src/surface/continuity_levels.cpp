// Two algorithms that move the surface without the pressure head of the driver: by continuity
// (F 36 5 and 6), each column's level change from the flow through the sides of its top cell
// coupled upwind to its neighbours; and by the velocity direction (F 36 10), each column's
// absolute level carried upstream from the downstream control, supercritical columns held at
// critical depth. Read Fflux, Farea, Pz, the cell links, centres and fields, BFroude, zval;
// write the level equation (Cap, Cae..Can, Csource, Cf at the bottom cells), Cpres[0] and
// zval[..][znumber] and [znumber + 1].
#include <algorithm>
#include <cmath>

#include "grid/columns.h"
#include "solvers/solvers.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "surface/level_equations.h"
#include "surface/node_columns.h"
#include "surface/surface.h"
#include "surface/worked_blocks.h"

namespace qorva {

namespace {

// Height sum of one side of a column: the two top corners of t less the two bottom corners of
// c (twice the mean height of the side).
double sideHeight(int t, const Table1<int>& t1, const Table1<int>& t2, int c,
                  const Table1<int>& b1, const Table1<int>& b2) {
  return Pz[t1[t]] + Pz[t2[t]] - Pz[b1[c]] - Pz[b2[c]];
}

void continuityRow(int c) {
  const int t = topOf(c);
  Cap[c] = Farea[Cflateb[c]] * TimeStep;
  double Fs = 0, Fw = 0, Fn = 0, Fe = 0;
  upColumn(c, [&](int m) {
    Fs += Fflux[Cflates[m]];
    Fw += Fflux[Cflatew[m]];
    Fn += Fflux[Cflaten[m]];
    Fe += Fflux[Cflatee[m]];
  });
  Csource[c] = 0.001 * (Fflux[Cflates[t]] + Fflux[Cflatew[t]] - Fflux[Cflaten[t]] -
                        Fflux[Cflatee[t]]);
  const double s = Fs / (sideHeight(t, Cpoint5, Cpoint6, c, Cpoint1, Cpoint2) + 1e-20);
  const double n = Fn / (sideHeight(t, Cpoint7, Cpoint8, c, Cpoint3, Cpoint4) + 1e-20);
  const double w = Fw / (sideHeight(t, Cpoint5, Cpoint8, c, Cpoint1, Cpoint4) + 1e-20);
  const double e = Fe / (sideHeight(t, Cpoint7, Cpoint6, c, Cpoint3, Cpoint2) + 1e-20);
  // Inflow sides couple to the neighbour; outflow sides store on the column itself.
  if (s > 0) Cas[c] = s; else Cap[c] += -s;
  if (w > 0) Caw[c] = w; else Cap[c] += -w;
  if (n < 0) Can[c] = -n; else Cap[c] += n;
  if (e < 0) Cae[c] = -e; else Cap[c] += e;
}

double sideWeight(int c, int n, int t) {
  if (n == 0) return 0.0;
  return std::max(1e-20, (Cxcenter[n] - Cxcenter[c]) * Cxvel[t] +
                             (Cycenter[n] - Cycenter[c]) * Cyvel[t]);
}

void algo10Row(int c, double zref) {
  const int t = topOf(c);
  Caw[c] = sideWeight(c, surf::link(Ccellw, c), t);
  Can[c] = sideWeight(c, surf::link(Ccelln, c), t);
  Cae[c] = sideWeight(c, surf::link(Ccelle, c), t);
  Cas[c] = sideWeight(c, surf::link(Ccells, c), t);
  Cap[c] = Caw[c] + Can[c] + Cae[c] + Cas[c];
  const double Fr = BFroude[Cbed[c]];
  if (Fr > 1) {
    double h = 0;
    upColumn(c, [&h](int m) { h += 2 * Ckdist[m]; });
    const double q = Fr * std::sqrt(9.81 * h) * h;
    const double yc = std::pow(q * q / 9.81, 0.3333333);
    Cap[c] = 1e20;
    Csource[c] = 1e20 * std::max(zref, Czcenter[c] - Ckdist[c] + yc - 0.0001019 * Cpres[t]);
  }
}

}  // namespace

void surface_continuity() {
  surf::OwnLevelField own;
  for (int c = 1; c <= NoCells; ++c) {
    Csource[c] = Cas[c] = Can[c] = Cae[c] = Caw[c] = 0;
    if (cellBelow(c) != 0) Cap[c] = 1e20;
  }
  for (int c = 1; c <= NoCells; ++c)
    if (isBottomCell(c)) continuityRow(c);
  for (int c = 1; c <= NoCells; ++c) Cf[c] = 0;
  solver();
  Cf[0] = 0;
  for (int i = 1; i <= xnumber; ++i)
    for (int j = 1; j <= ynumber; ++j) {
      int c[4];
      const int n = surf::nodeColumns(i, j, true, c);
      if (n == 0) continue;
      double s = 0;
      for (int x : c) s += Cf[x];
      zval[i][j][znumber] += s / (n + 1e-20);
      zval[i][j][znumber + 1] = zval[i][j][znumber];
    }
}

void surfaceAlgo10(int refCell, double zref) {
  surf::OwnLevelField own;
  Cpres[0] = Cf[0] = 0;
  for (int c = WCStart; c <= WCEnd; ++c) {
    if (!isBottomCell(c)) continue;
    Caw[c] = Cas[c] = Can[c] = Cae[c] = Csource[c] = 0;
    Cap[c] = 0.0001;
    Cf[c] = zref;
  }
  surf::forEachRow([zref](int, int, int c) { algo10Row(c, zref); });
  if (const int r = bottomOf(refCell); r != 0) {
    Cap[r] = 1e20;
    Csource[r] = 1e20 * zref;
  }
  surfaceSolver(42);
  Cf[0] = 0;
  for (int b = 1; b <= NoBlocks; ++b) {
    if (!surf::levelsMove(b)) continue;
    const GridBlock& k = block[b];
    for (int i = k.i1 - 1; i <= k.i2; ++i)
      for (int j = k.j1 - 1; j <= k.j2; ++j) {
        int c[4];
        const int n = surf::nodeColumns(i, j, NoBlocks > 1, c);
        if (n == 0) continue;
        double s = 0;
        for (int x : c) {
          const int m = TopBed == 1 ? topOf(x) : x;
          s += Cf[m] + 0.0001019 * Cpres[m];
        }
        double& z = zval[i][j][znumber];
        z += RelaxSurface * (s / n - z);
        zval[i][j][znumber + 1] = z;
      }
  }
}

}  // namespace qorva
