// Forcing and damping terms of the momentum, k and epsilon equations: the wind stress on the
// water surface (with the k and epsilon it keeps up there), the Coriolis force, the damping of
// shallow faces between columns, the drag of bridges and the weight of a turbidity current.
// Reads the velocities, geometry, zval, Barea, Cconc row 0, the timei wind rows and the options
// of F 11, F 18, F 51/F 80, F 52, F 73, F 341 and G 22; adds to Cap and Csource.
#include <algorithm>
#include <cmath>

#include "discretisation/discretisation.h"
#include "grid/columns.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "state/timeseries.h"

namespace qorva {

namespace {

// Water depth at grid point (i, j): the surface level less the bed level.
double pointDepth(int i, int j) { return zval[i][j][znumber] - zval[i][j][1]; }

// ---------------------------------------------------------------- wind

struct WindNow {
  double speed, dx, dy;
};

// The wind of F 52, or of the timei series at the present time when the series carried wind
// (a series of D or H records alone keeps the wind of F 52): its speed and the two direction
// components, interpolated between rows as the discharges are. A series of one row is a
// constant wind.
WindNow windNow() {
  if (TimeInNo > 0 && TimeInWind && Winn)
    return {timeSeriesValue(Winn, 0, stimet), timeSeriesValue(Winn, 1, stimet),
            timeSeriesValue(Winn, 2, stimet)};
  return {Wind[0], Wind[1], Wind[2]};
}

}  // namespace

double windDragFactor(double W) {
  switch (WindFlag) {
    case 0: {
      if (W <= 5.6) return W * W;
      const double a = 1 - 5.6 / W;
      return W * W * (1 + 1.9 * a * a);
    }
    case 1: return 1.1 * W * W;
    case 2:
      if (W < 1) return 1.25 * std::pow(W, 1.5);
      if (W < 15) return 0.5 * std::pow(W, 2.5);
      return 2.6 * W * W;
    default: return W;
  }
}

void WindFunction(int eq) {
  if (eq == 3) return;
  const WindNow w = windNow();
  const double W2 = windDragFactor(w.speed);
  // The k that the wind shear keeps up at the surface, and epsilon of the wall law for it at
  // the depth of the cell centre below the surface (0.164317 = 0.09^0.75, 2.5 = 1 / 0.4).
  const double kw = 1.99998e-6 * W2;
  for (int c = WCStart; c <= WCEnd; ++c) {
    if (Ccellt[c] != 0) continue;
    const double A = Farea[Cflatet[c]];
    switch (eq) {
      case 1: Csource[c] += w.dx * 0.0012 * W2 * A; break;
      case 2: Csource[c] += w.dy * 0.0012 * W2 * A; break;
      case 5:
        Cap[c] += 1e30;
        Csource[c] += kw * 1e30;
        break;
      case 6:
        Cap[c] += 1e30;
        Csource[c] += 0.164317 * 2.5 * kw * std::sqrt(kw) / (Ckdist[c] + 1e-20) * 1e30;
        break;
      default: return;
    }
  }
}

// ---------------------------------------------------------------- Coriolis

void CoriolisFunction() {
  if (Equation != 1 && Equation != 2) return;
  const double f = Coriolis;
  for (int c = WCStart; c <= WCEnd; ++c) {
    const double u = Cxvel[c], v = Cyvel[c];
    // The damping of F 80 grows with the cell's size.
    const double D = relaxCoriolis * std::sqrt(2 * Cvol[c] * Ckdist[c]);
    if (Equation == 1) {
      const double a = 1000 * f * v;
      Csource[c] += Cvol[c] * a;
      Cap[c] += D * std::fabs(a - 1000 * u);
    } else {
      const double a = 1000 * f * u;
      Csource[c] -= Cvol[c] * a;
      Cap[c] += D * std::fabs(a - 1000 * v);
    }
  }
}

// ---------------------------------------------------------------- shallow faces

namespace {

// Damps both columns of the face s between bottom cells c and n, from their bottom cells up
// to the top of the shorter one, when the mean depth at the face, (d1 + d2) / 2 from the depths
// at its two end points, is less than half the mean height of the two bottom cells.
void dampShallowFace(int c, int n, int s, double depthSum) {
  if (c < 1 || n <= 0 || s <= 0 || Fflagflow[s] != 1) return;
  const double r = (depthSum > 0 ? 0.5 * depthSum : 0.0) / (Ckdist[c] + Ckdist[n]);
  if (!(r < 0.5)) return;
  const double F = 1000 * (1 - r * r);
  for (int a = c, b = n, steps = 0; isGridCell(a) && isGridCell(b) && steps < NoCells;
       a = cellAbove(a), b = cellAbove(b), ++steps) {
    Cap[a] += std::fabs(Cxvel[a] * Fvx[s] + Cyvel[a] * Fvy[s]) * F;
    Cap[b] += std::fabs(Cxvel[b] * Fvx[s] + Cyvel[b] * Fvy[s]) * F;
  }
}

}  // namespace

void sourceShallowDamp() {
  if (NoBlocks < 1 || !zval) return;
  const GridBlock& k = block[1];
  for (int i = k.i1; i <= k.i2 - 1; ++i)
    for (int j = k.j1; j <= k.j2; ++j) {
      const int c = columnBottom(i, j);
      if (c > 0) dampShallowFace(c, Ccelle[c], Cflatee[c], pointDepth(i, j - 1) + pointDepth(i, j));
    }
  for (int i = k.i1; i <= k.i2; ++i)
    for (int j = k.j1; j <= k.j2 - 1; ++j) {
      const int c = columnBottom(i, j);
      if (c > 0) dampShallowFace(c, Ccelln[c], Cflaten[c], pointDepth(i - 1, j) + pointDepth(i, j));
    }
}

// ---------------------------------------------------------------- bridges

void sourceBridge() {
  for (int n = 1; n <= BridgeNo; ++n) {
    const BridgeRecord& r = Bridge[n];
    for (int i = r.i1; i <= r.i2; ++i)
      for (int j = r.j1; j <= r.j2; ++j) {
        const int c0 = columnBottom(i, j);
        if (c0 < 1 || !Cbed || !Barea) continue;
        const double root = std::sqrt(Barea[Cbed[c0]]);
        upColumn(c0, [&](int c) {
          // The part of the cell's height that the obstruction covers.
          const double top = std::min(Czcenter[c] + Ckdist[c], r.upperLevel);
          const double bottom = std::max(Czcenter[c] - Ckdist[c], r.lowerLevel);
          double h = std::max(top - bottom, 0.0);
          // Small coefficients are a drag coefficient on the speed, larger ones a fixed
          // resistance.
          if (r.dragCoeff < 0.7) h *= std::sqrt(Cxvel[c] * Cxvel[c] + Cyvel[c] * Cyvel[c]);
          Cap[c] += h * r.dragCoeff * root * 1000;
        });
      }
  }
}

// ---------------------------------------------------------------- turbidity current

void turbiditycurrentSource() {
  if (!Cconc) return;  // no concentration, no weight
  const double g = 1000 * 9.81 * (density - 1) * SourDens;
  for (int c = WCStart; c <= WCEnd; ++c) Csource[c] -= Cvol[c] * g * Cconc[0][c];
}

}  // namespace qorva
