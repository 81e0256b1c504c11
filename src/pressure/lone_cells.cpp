// Limits after the SIMPLE corrections: the pressure jump of one-cell columns (F 136), the
// vertical velocity against the horizontal speed (F 203), and the pressure of triangular
// corner columns of block 1 (F 437). Reads Cxvel, Cyvel, the neighbour tables, the half sizes,
// the surfaces, zval and block 1; writes Cpres, Czvel, Fflux.
#include <algorithm>
#include <cmath>

#include "grid/columns.h"
#include "pressure/pressure.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// A one-cell column with at most two lateral neighbours follows the neighbour whose pressure
// is closest to its own, within PresGradMax x rho g over the centre distance.
void limitLoneCellPressure() {
  for (int c = WCStart; c <= WCEnd; ++c) {
    if (Ccellb[c] != 0 || Ccellt[c] != 0) continue;
    const int n[4] = {Ccelle[c], Ccellw[c], Ccelln[c], Ccells[c]};
    int count = 0;
    double d[4];
    for (int k = 0; k < 4; ++k) {
      d[k] = n[k] > 0 ? std::fabs(Cpres[n[k]] - Cpres[c]) : 1e20;
      count += n[k] > 0;
    }
    if (count > 2) continue;
    int chosen = -1;
    for (int k = 0; k < 4 && chosen < 0; ++k) {
      bool smallest = true;
      for (int m = 0; m < 4; ++m)
        if (m != k && !(d[k] < d[m])) smallest = false;
      if (smallest) chosen = k;
    }
    if (chosen < 0 || n[chosen] <= 0) continue;  // a tie: no side to follow
    const int nb = n[chosen];
    const double halves = chosen < 2 ? Cidist[nb] + Cidist[c] : Cjdist[nb] + Cjdist[c];
    const double limit = PresGradMax * 9810 * halves;
    Cpres[c] = std::max(Cpres[c], Cpres[nb] - limit);
    Cpres[c] = std::min(Cpres[c], Cpres[nb] + limit);
  }
}

inline double horizontalSpeed(int c) {
  return std::sqrt(Cxvel[c] * Cxvel[c] + Cyvel[c] * Cyvel[c]);
}

inline double clamp(double v, double limit) { return std::min(std::max(v, -limit), limit); }

// The vertical velocity of stacked cells and the flux between them kept below a share of the
// horizontal speed.
void limitVerticalVelocity() {
  for (int s = WFStart; s <= WFEnd; ++s) {
    const int c1 = Fcell1[s], c2 = Fcell2[s];
    if (c1 <= 0 || c2 <= 0) continue;
    if (Ftype1[s] != 6 && Ftype2[s] != 6) continue;
    const double uh = 0.5 * (horizontalSpeed(c1) + horizontalSpeed(c2));
    double u;
    if (FlagVertVelStab == 1) {
      u = 0.1 * uh;
    } else if (FlagVertVelStab == 2) {
      u = Ckdist[c1] / Cidist[c1] * uh;
    } else {
      const double r =
          (Ckdist[c1] + Ckdist[c2]) / (Cidist[c1] + Cidist[c2] + Cjdist[c1] + Cjdist[c2]);
      if (!(r < 0.01)) continue;
      u = r * uh;
    }
    Czvel[c1] = clamp(Czvel[c1], u);
    Czvel[c2] = clamp(Czvel[c2], u);
    Fflux[s] = clamp(Fflux[s], 1000 * u * Farea[s]);
  }
}

// Mean pressure of cell n and the cells above it.
double columnMeanPressure(int n) {
  double sum = 0;
  int count = 0;
  upColumn(n, [&](int k) {
    sum += Cpres[k];
    ++count;
  });
  return sum / count;
}

}  // namespace

void TrekantPresCorr() {
  if (NoBlocks < 1 || !zval) return;
  const GridBlock& b = block[1];
  for (int i = b.i1 + 1; i <= b.i2 - 1; ++i)
    for (int j = b.j1 + 1; j <= b.j2 - 1; ++j) {
      const int c = columnBottom(i, j);
      if (c == 0) continue;
      const bool e = Ccelle[c] > 0, w = Ccellw[c] > 0, n = Ccelln[c] > 0, s = Ccells[c] > 0;
      int first, second;
      if (e && s && !n && !w) {
        first = Ccelle[c], second = Ccells[c];
      } else if (e && n && !s && !w) {
        first = Ccelle[c], second = Ccelln[c];
      } else if (n && w && !e && !s) {
        first = Ccelln[c], second = Ccellw[c];
      } else if (s && w && !e && !n) {
        first = Ccells[c], second = Ccellw[c];
      } else {
        continue;
      }
      const double p = 0.5 * columnMeanPressure(first) + 0.5 * columnMeanPressure(second);
      upColumn(c, [p](int k) { Cpres[k] = p; });
    }
}

void CorrSimpleCorrections() {
  SimpleCorrectionsAfterChunks();
  if (PresGradMax > 1e-20) limitLoneCellPressure();
  if (FlagVertVelStab >= 1 && FlagVertVelStab <= 3) limitVerticalVelocity();
}

}  // namespace qorva
