// The yield state of the mud in the mud-flow block (F 289 0 and 3), the damping of the
// velocities of resting mud (F 289 fourth value) and the bed friction of the mud layer (F 338).
// Reads Cpres, Czcenter, Cxcenter, Cycenter, Ckdist, Cjdist, Cxvel_old, Faz, Farea, Fflux, the
// cell links, Cbed, Bcellt, block, F 236, F 289, F 338, W 1 level, TimeStep; writes Cthixorat,
// Cthixolev, Bthixolev, Cxvel, Cyvel, Czvel (damping) and Cap (bed friction).
#include <algorithm>
#include <cmath>

#include "bed/bed.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// A state gain from a ratio is an integer count: ratios far above any yield (a critical shear
// of 0 under no pressure gives about 1e20) count as this many steps at most.
constexpr double kMostStateGain = 1e6;

bool isCell(int c) { return c >= 1 && c <= NoCells; }

// Yield shear of cell c: the critical shear plus the friction slope times the pressure.
double yieldShear(int c) { return Cpres[c] * ThixoMySlope + ThixoCritshear + 1e-20; }

// Plan area of the bottom face of c (the driving shear acts on it).
double bottomArea(int c) { return std::fabs(Faz[Cflateb[c]]) + 1e-20; }

// Top cells of the block's columns: their upper neighbour lies outside the block.
template <class F>
void forEachTopCell(int first, int last, F f) {
  for (int c = first; c <= last; ++c)
    if (Ccellt[c] < first) f(c);
}

// Down a column from its top cell to its bottom cell (Ccellb 0), at most NoCells cells.
template <class F>
void downFrom(int top, F f) {
  int c = top;
  for (int n = 0; isCell(c) && n < NoCells; ++n) {
    f(c);
    c = Ccellb[c];
  }
}

// Vertical pressure and level differences across cell c.
void verticalDifferences(int c, int first, double& dp, double& dz) {
  const int t = Ccellt[c], b = Ccellb[c];
  if (b > 0 && t > first) {
    dp = Cpres[t] - Cpres[b];
    dz = Czcenter[t] - Czcenter[b];
  } else if (b == 0 && t > first) {
    dp = Cpres[t] - Cpres[c];
    dz = Czcenter[t] - Czcenter[c];
  } else if (t < first && b > 0) {
    dp = Cpres[c] - Cpres[b];
    dz = Czcenter[c] - Czcenter[b];
  } else {
    dp = 0;
    dz = 1e-20;
  }
}

// The share of cell c in the driving force of its column: the pressure difference along the
// west-east line, turned onto the slope of that line, over the cell's side face.
double forceShare(int c, int first) {
  const int t = Ccellt[c], w = Ccellw[c], e = Ccelle[c];
  double area = 4.0 * Ckdist[c] * Cjdist[c];
  if (t == 0) area *= 0.5;
  double dp, dz;
  verticalDifferences(c, first, dp, dz);
  int a, b;
  double half;
  if (w > 0 && e > 0) {
    a = e, b = w, half = 0.5;
  } else if (e > 0) {
    a = e, b = c, half = 1.0;
  } else if (w > 0) {
    a = c, b = w, half = 1.0;
  } else {
    return 0.0;
  }
  const double dx = Cxcenter[a] - Cxcenter[b], dy = Cycenter[a] - Cycenter[b];
  const double dzl = Czcenter[a] - Czcenter[b];
  const double L = std::sqrt(dx * dx + dy * dy + dzl * dzl) + 1e-20;
  const double H = half * std::sqrt(dx * dx + dy * dy);
  const double dph = Cpres[a] - Cpres[b];
  const double alpha = std::asin(std::clamp(dzl / L, -1.0, 1.0));
  const double beta = 1.570796326 - alpha;
  const double phi = std::atan(((dph * dz) / (L * (dp + 1e-20)) - std::cos(beta)) / std::sin(beta));
  return area * std::sin(phi) * (dp + 1e-20) / (dz * std::cos(phi)) * H;
}

// Inertia of the cell's old velocity, as a shear on its bottom (water density 1000).
double inertia(int c) { return 2.0 * Cxvel_old[c] * Ckdist[c] * 1000.0 / TimeStep; }

// The state and mud-level passes after the ratios. `gain` is the state a yielding cell gains,
// `interfaceState` the state above which the cell above counts as flowing for the level.
template <class Gain>
void stateAndLevel(int first, int last, Gain gain, int interfaceState) {
  const bool levels = Bthixolev && Cbed;
  auto mudLevel = [](int c) { return Bthixolev ? Bthixolev[Cbed[c]] : 0.0; };
  forEachTopCell(first, last, [&](int top) {
    downFrom(top, [&](int c) {
      if (Ccellb[c] == 0) {
        Cthixolev[c] = 0;
        return;
      }
      const int t = Ccellt[c];
      if (Cthixorat[c] > 1.1) {
        if (t == 0 || (levels && Czcenter[t] > mudLevel(c))) Cthixolev[c] += gain(c);
      } else if (Cthixorat[c] < 0.9) {
        Cthixolev[c] -= 1;
      }
    });
  });
  // A flowing cell carries the resting cells above it.
  for (int c = first; c <= last; ++c) {
    if (Ccellb[c] != 0) continue;
    int u = Ccellt[c];
    for (int n = 0; u >= first && u <= last && n < NoCells; ++n) {
      const int below = Ccellb[u] > 0 ? Ccellb[u] : c;
      if (Cthixolev[u] <= 1 && Cthixolev[below] > 1) Cthixolev[u] = 2;
      u = Ccellt[u];
    }
  }
  if (!levels) return;
  for (int c = first; c <= last; ++c) {
    if (Cthixolev[c] > 1) continue;
    const int m = Cbed[c];
    const int t = Ccellt[c];
    if (t == 0)
      Bthixolev[m] = 0.9 * Bthixolev[m] + 0.1 * (Czcenter[c] + Ckdist[c]);
    else if (isCell(t) && Cthixolev[t] > interfaceState)
      Bthixolev[m] = 0.9 * Bthixolev[m] + 0.05 * (Czcenter[t] + Czcenter[c]);
  }
  const int m1 = Cbed[first] + 1, m2 = Cbed[last] - 1;
  for (int m = m1; m <= m2; ++m)
    Bthixolev[m] = std::min(Bthixolev[m], std::max(Bthixolev[m - 1], Bthixolev[m + 1]));
  for (int m = m1; m <= m2; ++m)
    Bthixolev[m] = std::max(Bthixolev[m], std::min(Bthixolev[m - 1], Bthixolev[m + 1]) -
                                              2.0 * Ckdist[Bcellt[m]]);
  for (int c = first; c <= last; ++c) {
    const double lev = Bthixolev[Cbed[c]];
    if (Czcenter[c] > lev && Cthixolev[c] <= 1) Cthixolev[c] += 1;
    else if (Czcenter[c] < lev && Cthixolev[c] > 0) Cthixolev[c] -= 1;
  }
}

// The cell range of block b, cut to the cells of the grid.
void cellRange(int b, int& first, int& last) {
  first = std::max(block[b].cellstart, 1);
  last = std::min(block[b].cellend, NoCells);
}

}  // namespace

void ThixoDamp(int b) {
  int first, last;
  cellRange(b, first, last);
  forEachTopCell(first, last, [&](int top) {
    double sum = 0;
    downFrom(top, [&](int c) {
      sum += forceShare(c, first);
      const double force = std::fabs(sum);
      const double ratio = (inertia(c) + force / bottomArea(c)) / yieldShear(c);
      Cthixorat[c] = 0.9 * Cthixorat[c] + 0.1 * ratio;
      const int w = Ccellw[c], e = Ccelle[c];
      if (w > 0 && e > 0)
        Cthixorat[c] = 0.75 * Cthixorat[c] + 0.125 * Cthixorat[e] + 0.125 * Cthixorat[w];
      else if (w > 0 || e > 0)
        Cthixorat[c] = 0.875 * Cthixorat[c] + 0.125 * Cthixorat[w > 0 ? w : e];
    });
  });
  stateAndLevel(first, last, [](int) { return 1; }, 1);
}

double computeAccHystatForce(int cell, double z) {
  double sum = 0;
  for (int c = cell, n = 0; isCell(c) && n < NoCells; c = Ccellb[c], ++n) {
    const double bottom = Czcenter[c] - Ckdist[c], top = Czcenter[c] + Ckdist[c];
    if (bottom > level)
      sum += 2.0 * Ckdist[c] * Cpres[c];
    else if (top > level)
      sum += (top - z) * Cpres[c];
    else
      break;
  }
  return sum;
}

void ThixoDamp3(int b) {
  int first, last;
  cellRange(b, first, last);
  forEachTopCell(first, last, [&](int top) {
    const int w = Ccellw[top], e = Ccelle[top];
    downFrom(top, [&](int c) {
      const double z = Czcenter[c];
      double d = 0;
      if (w > 0 && e > 0)
        d = std::fabs(computeAccHystatForce(w, z) - computeAccHystatForce(e, z));
      else if (w > 0)
        d = std::fabs(2.0 * (computeAccHystatForce(w, z) - computeAccHystatForce(top, z)));
      else if (e > 0)
        d = std::fabs(2.0 * (computeAccHystatForce(top, z) - computeAccHystatForce(e, z)));
      Cthixorat[c] = (inertia(c) + d * Cjdist[c] / bottomArea(c)) / yieldShear(c);
    });
  });
  // The gain is the ratio's whole part, held to a count an int keeps.
  stateAndLevel(
      first, last,
      [](int c) { return static_cast<int>(std::clamp(Cthixorat[c], 0.0, kMostStateGain)); }, 0);
}

void ThixoVelDamp() {
  int b = 0;
  if (NoBlocks >= 1 && block[1].thixo > 0) b = 1;
  else if (NoBlocks >= 2 && block[2].thixo > 0) b = 2;
  if (b == 0) return;
  int first, last;
  cellRange(b, first, last);
  auto scale = [](int c, double f) {
    Cxvel[c] *= f;
    Cyvel[c] *= f;
    Czvel[c] *= f;
  };
  for (int c = first; c <= last; ++c) {
    switch (FlagThixoDampVel) {
      case 1: if (Cthixolev[c] < 1) scale(c, 0.0); break;
      case 2: if (Cthixorat[c] < 0) scale(c, 0.0); break;
      case 3: if (Cthixorat[c] < 1) scale(c, 0.0); break;
      case 4: scale(c, std::min(1.0, Cthixorat[c])); break;
      case 5: {
        double r = std::min(1.0, Cthixorat[c]);
        // Upstream along x by the flux of the west face; the sides in y both ways.
        const double west = Fflux[Cflatew[c]];
        const int e = Ccelle[c], w = Ccellw[c], s = Ccells[c], n = Ccelln[c];
        if (e > 0 && west < 0) r = std::min(r, Cthixorat[e]);
        if (w > 0 && west > 0) r = std::min(r, Cthixorat[w]);
        if (s > 0) r = std::min(r, Cthixorat[s]);
        if (n > 0) r = std::min(r, Cthixorat[n]);
        scale(c, r * r * r * r);
        break;
      }
      case 6:
        if (Bthixolev && Czcenter[c] < Bthixolev[Cbed[c]]) scale(c, 0.0);
        break;
      case 7: if (Ccellb[c] == 0) scale(c, 0.0); break;
      default: break;
    }
  }
}

void wall_thixo() {
  int b = 0;
  for (int k = 1; k <= NoBlocks; ++k)
    if (block[k].thixo == 1) b = k;
  if (b == 0) return;
  const int last = std::min(block[b].bcellend, NoBCells);
  for (int m = std::max(block[b].bcellstart, 1); m <= last; ++m) {
    const int c = Ccellt[Bcellt[m]];
    if (c > 0) Cap[c] += Farea[Cflateb[c]] * ThixoMinGamma / Ckdist[c];
  }
}

}  // namespace qorva
