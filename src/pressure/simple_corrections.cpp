// SIMPLE corrections after the pressure-correction solve: face fluxes, cell velocities and the
// pressure from p' in Cf, with the flow-direction repair, the water-level change, the mud and
// top-cell pressure rules and the clamp of p' (FilterPressure).
// Reads Cf, CinvAp, the surface and cell geometry, zval/xval/yval, block 1; writes Fflux,
// Cxvel, Cyvel, Czvel, Cpres, Bdeltah, Cf (FilterPressure only) and `boogie`.
#include <algorithm>
#include <cmath>

#include "grid/columns.h"
#include "pressure/pressure.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// Threaded calls: the chunks do only the work of their own cells and surfaces; what concerns
// the whole range is finished once, serially, by SimpleCorrectionsAfterChunks.
bool chunksAnnounced = false;
bool chunksPending = false;
bool missingFormInChunk = false;
int pendingInner = 0, pendingFirstCell = 0, pendingLastCell = -1;

// Distance-weighted face value of 1/Ap times 1000 A^2: the flux change per pascal of p'
// difference, the plain neighbour coefficient of the pressure-correction equation.
inline double faceCoefficient(int s, int c1, int c2) {
  const double d = (Fdist2[s] * CinvAp[c1] + Fdist1[s] * CinvAp[c2]) / (Fdist1[s] + Fdist2[s]);
  return 1000.0 * Farea[s] * Farea[s] * d;
}

// Difference of p' across cell c along one index direction (minus and plus neighbours m, p):
// central with both, one-sided with one, 0 with none.
inline double indexDifference(int c, int m, int p) {
  if (m > 0 && p > 0) return (Cf[p] - Cf[m]) / 2;
  if (p > 0) return Cf[p] - Cf[c];
  if (m > 0) return Cf[c] - Cf[m];
  return 0.0;
}

inline int lateralCount(int c) {
  return (Ccelle[c] > 0) + (Ccellw[c] > 0) + (Ccelln[c] > 0) + (Ccells[c] > 0);
}

inline bool loneCell(int c) { return Ccellb[c] == 0 && Ccellt[c] == 0; }

// Sum of Ckdist over the whole column of c, walked up and down from c.
double columnHalfHeight(int c) {
  double s = Ckdist[c];
  upColumn(cellAbove(c), [&s](int k) { s += Ckdist[k]; });
  downColumn(cellBelow(c), [&s](int k) { s += Ckdist[k]; });
  return s;
}

// Sum of Cf over c and the cells above it.
double sumUpward(int c) {
  double s = 0;
  upColumn(c, [&s](int k) { s += Cf[k]; });
  return s;
}

// Velocity cap of correction form 51, 3 / (column area x MinVertDist0) of the first column.
// The grid lines may run against x or y, so the lengths are taken as sizes; the floor keeps a
// degenerate first column from dividing by zero (the cap then does not bind).
double capC51() {
  const double dx = std::fabs(xval[2][2] - xval[1][2]);
  const double dy = std::fabs(yval[2][2] - yval[2][1]);
  const double denominator = std::max(dx * dy * std::fabs(MinVertDist0), 1e-20);
  return 3.0 / denominator;
}

// --- Flux correction -------------------------------------------------------------------

enum class FluxRule { All, ThinLone, ThinLoneBottom, Shallow, TopCells, None };

FluxRule fluxRule() {
  switch (FlagSimpleCorrections) {
    case 0: case 4: case 5: case 7: case 8: case 9: case 11: case 50: case 51:
      return FluxRule::All;
    default: break;
  }
  if (FlagTFS == 11) return FluxRule::TopCells;
  switch (FlagSimpleCorrections) {
    case 1: return FluxRule::ThinLone;
    case 2: return FluxRule::ThinLoneBottom;
    case 3: return FluxRule::All;
    case 6: return FluxRule::Shallow;
    default: return FluxRule::None;
  }
}

// A one-cell column thinner than half the minimum depth that is open on a lateral side.
inline bool thinLoneOpen(int c) {
  return Ckdist[c] < 0.5 * MinVertDist && loneCell(c) && lateralCount(c) < 4;
}

void correctFluxes(int firstSurface, int lastSurface) {
  const FluxRule rule = fluxRule();
  if (rule == FluxRule::None) return;
  for (int s = firstSurface; s <= lastSurface; ++s) {
    const int c1 = Fcell1[s], c2 = Fcell2[s];
    if (c1 <= 0 || c2 <= 0) continue;
    if (Seiche3 == 1 && (Ftype1[s] == 5 || Ftype2[s] == 5)) continue;
    double a = faceCoefficient(s, c1, c2);
    switch (rule) {
      case FluxRule::ThinLone:
        if (thinLoneOpen(c1) || thinLoneOpen(c2)) continue;
        break;
      case FluxRule::ThinLoneBottom:
        if (thinLoneOpen(c1) || thinLoneOpen(c2)) continue;
        if (lateralCount(bottomOf(c1)) < 2 || lateralCount(bottomOf(c2)) < 2) continue;
        break;
      case FluxRule::Shallow: {
        const double r = (columnHalfHeight(c1) + columnHalfHeight(c2)) / MinVertDist;
        a *= std::min(1.0, r * r);
        break;
      }
      case FluxRule::TopCells:
        if (Ccellt[c1] <= 0 && Ccellt[c2] <= 0) continue;
        break;
      default: break;
    }
    Fflux[s] += a * (Cf[c1] - Cf[c2]);
  }
}

// --- Flow-direction repair -------------------------------------------------------------

inline double faceFlux(int s) { return s > 0 ? Fflux[s] : 0.0; }

// A cell that only loses water on every face gets a small inflow on its first side with a
// neighbour and a flux to turn. A side whose flux is 0 has nothing to turn: the next side is
// taken, and a cell at rest is left alone (reporting a repair there would be false).
void repairFlowDirection(int innerIter, int firstCell, int lastCell) {
  for (int c = firstCell; c <= lastCell; ++c) {
    if (Cinout[c] != 0) continue;
    if (!(faceFlux(Cflateb[c]) <= 0 && faceFlux(Cflates[c]) <= 0 && faceFlux(Cflatew[c]) <= 0 &&
          faceFlux(Cflatet[c]) >= 0 && faceFlux(Cflaten[c]) >= 0 && faceFlux(Cflatee[c]) >= 0))
      continue;
    const int neighbour[6] = {Ccells[c], Ccellw[c], Ccelln[c], Ccelle[c], Ccellb[c], Ccellt[c]};
    const int surface[6] = {Cflates[c], Cflatew[c], Cflaten[c], Cflatee[c], Cflateb[c],
                            Cflatet[c]};
    static const char letter[6] = {'s', 'w', 'n', 'e', 'b', 't'};
    for (int k = 0; k < 6; ++k) {
      if (neighbour[k] <= 0 || surface[k] <= 0 || Fflux[surface[k]] == 0.0) continue;
      Fflux[surface[k]] *= -0.01;
      if (innerIter == TransInnerIter) {
        const int b = Cbed[c];
        logf("WarningSC, Iter %d, [%d,%d], corrected direction of flow%c(%d)\n", Iter, Bkooi[b],
             Bkooj[b], letter[k], c);
      }
      break;
    }
  }
}

// --- Velocity correction ---------------------------------------------------------------

enum class VelocityForm { Default, Cap51, None, Missing };

// Which correction of the cell velocities applies; the forms this version lacks are Missing.
VelocityForm velocityForm() {
  if (FlagSimpleCorrections == 0 && Seiche3 == 0) return VelocityForm::Default;
  if (FlagSimpleCorrections == 51) return VelocityForm::Cap51;
  if (FlagSimpleCorrections == 50 || FlagDamp3 > 0) return VelocityForm::Missing;
  if (FlagSimpleCorrections == 0) return Seiche3 == 2 ? VelocityForm::None : VelocityForm::Missing;
  switch (FlagSimpleCorrections) {
    case 1: case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 9: case 10: case 11:
    case 20:
      return VelocityForm::Missing;
    case 30:
      return FlagTFS == 11 ? VelocityForm::Missing : VelocityForm::None;
    default:
      return VelocityForm::None;
  }
}

// The form this version does not have, over the working range: its hook ends the run. The
// threaded corrections meet it before their region (or, should a chunk meet it, after).
void missingForm() {
  if (FlagDamp3 > 0 && FlagSimpleCorrections != 50)
    dampedVelocityCorrection(WCStart, WCEnd);
  else if (FlagSimpleCorrections == 0)
    horizontalVelocityCorrection(WCStart, WCEnd);
  else
    velocityCorrectionForm(FlagSimpleCorrections, WCStart, WCEnd);
}

// u, v, w -= f x (metric x area coefficient x p' difference); factor(c) gives f.
template <class Factor>
void fullUpdate(int firstCell, int lastCell, Factor factor) {
  for (int c = firstCell; c <= lastCell; ++c) {
    const double di = indexDifference(c, Ccellw[c], Ccelle[c]);
    const double dj = indexDifference(c, Ccells[c], Ccelln[c]);
    const double dk = indexDifference(c, Ccellb[c], Ccellt[c]);
    const double aX = CinvAp[c] * Careax[c] * Careax[c];
    const double aY = CinvAp[c] * Careay[c] * Careay[c];
    const double aZ = CinvAp[c] * Careaz[c] * Careaz[c];
    const double f = factor(c);
    Cxvel[c] -= f * (Cdxdi[c] * aX * di + Cdxdj[c] * aY * dj);
    Cyvel[c] -= f * (Cdydi[c] * aX * di + Cdydj[c] * aY * dj);
    Czvel[c] -= f * (Cdzdi[c] * aX * di + Cdzdj[c] * aY * dj + Cdzdk[c] * aZ * dk);
  }
}

void correctVelocities(int firstCell, int lastCell, bool chunk) {
  switch (velocityForm()) {
    case VelocityForm::Default:
      fullUpdate(firstCell, lastCell, [](int c) { return relaxSimpleCorr / Cvol[c]; });
      return;
    case VelocityForm::Cap51: {
      const double cap = capC51();
      fullUpdate(firstCell, lastCell, [cap](int c) { return std::min(1.0 / Cvol[c], cap); });
      return;
    }
    case VelocityForm::None:
      return;
    case VelocityForm::Missing:
      if (chunk) {
        // A chunk may not end the run while the others work: it ends after them.
#pragma omp atomic write
        missingFormInChunk = true;
        return;
      }
      missingForm();
  }
}

// --- Pressure and water level ----------------------------------------------------------

// Change of the water level of each column from the mean p' of its column against the means
// of its lateral neighbours' columns (pascal to metres of water).
void waterLevelChange(int firstCell, int lastCell) {
  for (int c = firstCell; c <= lastCell; ++c) {
    if (Ccellb[c] != 0) continue;
    const int b = Cbed[c];
    const double m = sumUpward(c) / std::max(Bnocells[b], 1);
    const int lateral[4] = {Ccellw[c], Ccelle[c], Ccells[c], Ccelln[c]};
    double sum = 0;
    int count = 0;
    for (int n : lateral) {
      if (n <= 0) continue;
      sum += m - sumUpward(n) / std::max(Bnocells[Cbed[n]], 1);
      ++count;
    }
    if (count == 0)
      Bdeltah[b] = 0;
    else
      Bdeltah[b] += 0.0001019 * sum / count * relax[4];
  }
}

// Mud flow: no suction, and no more than hydrostatic in the top cell of a layered column.
void mudPressureLimits(int firstCell, int lastCell) {
  for (int c = firstCell; c <= lastCell; ++c) {
    Cpres[c] = std::max(Cpres[c], 0.0);
    if (Ccellt[c] == 0 && Bcellt[Cbed[c]] != c) Cpres[c] = std::min(Cpres[c], 9810 * Ckdist[c]);
  }
}

// Top cell: linear between the centre of the cell below and zero at the water surface.
void topCellPressure(int firstCell, int lastCell) {
  for (int c = firstCell; c <= lastCell; ++c) {
    const int b = Ccellb[c];
    if (Ccellt[c] != 0 || b <= 0) continue;
    Cpres[c] = Cpres[b] * Ckdist[c] / (2 * Ckdist[c] + Ckdist[b]);
  }
}

// Steps 9 to 11, after every cell of the range has its new pressure.
void finishPressure(int firstCell, int lastCell) {
  if (FlagCorrTrekant5 > 0) TrekantPresCorr();
  if (FlagFilterPressure == 2 && FlagThixoIsComputing == 1) mudPressureLimits(firstCell, lastCell);
  if (FlagTFS == 11) topCellPressure(firstCell, lastCell);
}

}  // namespace

void FilterPressure() {
  if (NoBlocks < 1 || !zval) return;
  const GridBlock& b = block[1];
  for (int i = b.i1; i <= b.i2; ++i)
    for (int j = b.j1; j <= b.j2; ++j) {
      upColumn(columnBottom(i, j), [](int c) {
        const int lateral[4] = {Ccelln[c], Ccelle[c], Ccells[c], Ccellw[c]};
        int count = 0;
        double hi = -1e300, lo = 1e300;
        for (int k : lateral) {
          if (k <= 0) continue;
          ++count;
          hi = std::max(hi, Cf[k]);
          lo = std::min(lo, Cf[k]);
        }
        if (count == 0 || count == 4) return;
        const double d = 981 * std::sqrt(Barea[Cbed[c]]);
        Cf[c] = std::max(std::min(Cf[c], hi + d), lo - d);
      });
    }
}

void SimpleCorrectionsBeforeChunks() {
  if (velocityForm() == VelocityForm::Missing && FlagStressTerm <= 0) missingForm();
  if (FlagFilterPressure == 1) FilterPressure();
  chunksAnnounced = true;
  chunksPending = false;
  missingFormInChunk = false;
  pendingFirstCell = 0;
  pendingLastCell = -1;
}

void SimpleCorrections(int innerIter, int firstSurface, int lastSurface, int firstCell,
                       int lastCell) {
  // After SimpleCorrectionsBeforeChunks every call is one chunk of the corrections, until
  // SimpleCorrectionsAfterChunks finishes them.
  const bool chunk = chunksAnnounced;
  if (!chunk && FlagFilterPressure == 1) FilterPressure();

  if (FlagStressTerm > 0) {
    if (FlagStressTerm == 100)
      for (int c = firstCell; c <= lastCell; ++c) Cpres[c] = 0.2 * Csource[c];
    else if (FlagStressTerm == 101)
      for (int c = firstCell; c <= lastCell; ++c) Cpres[c] += 0.2 * Csource[c];
    return;
  }

  correctFluxes(firstSurface, lastSurface);
  if (!chunk && FlagFlowDirCor == 1) repairFlowDirection(innerIter, firstCell, lastCell);
  correctVelocities(firstCell, lastCell, chunk);
  if (FlagTFS2 == 1 || FlagTFS2 == 2) waterLevelChange(firstCell, lastCell);
  if (FlagSIMPLE <= 1)
    for (int c = firstCell; c <= lastCell; ++c) Cpres[c] += relaxPressure * Cf[c];

  if (chunk) {
#pragma omp critical(qorvaSimpleCorrectionChunks)
    {
      if (!chunksPending) {
        pendingFirstCell = firstCell;
        pendingLastCell = lastCell;
      } else {
        pendingFirstCell = std::min(pendingFirstCell, firstCell);
        pendingLastCell = std::max(pendingLastCell, lastCell);
      }
      pendingInner = innerIter;
      chunksPending = true;
    }
    return;
  }
  finishPressure(firstCell, lastCell);
}

void SimpleCorrectionsAfterChunks() {
  const bool pending = chunksPending, missing = missingFormInChunk;
  chunksAnnounced = false;
  chunksPending = false;
  missingFormInChunk = false;
  if (missing) missingForm();
  if (!pending) return;
  if (FlagFlowDirCor == 1) repairFlowDirection(pendingInner, pendingFirstCell, pendingLastCell);
  finishPressure(pendingFirstCell, pendingLastCell);
}

bool velocityCorrectionMissing() { return velocityForm() == VelocityForm::Missing; }

}  // namespace qorva
