// Density stratification between two cells of a water column: the buoyancy gradient of the k
// and epsilon sources and the Richardson-number damping of turbulent diffusion (F 71).
// Reads Ckdist, Ccellt, Cxvel, Cyvel, Ccomp[0] or Cconc[0], BTugrad; writes nothing.
#include <algorithm>
#include <cmath>

#include "state/bedcells.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "turbulence/turbulence.h"

namespace qorva {

namespace {

// Density relative to water: from the temperature (first water-quality component, deg C), or
// from the sediment concentration of row 0 under F 37. Without components the temperature is
// the table's start value 0 in every cell, so the water is unstratified.
double cellDensity(int c) {
  if (FlagTSC >= 1) return Cconc[0][c] * density;
  const double T = Ccomp ? Ccomp[0][c] : 0.0;
  return 0.9999726 * (1 - 9.297173e-6 * std::pow(std::fabs(T - 4.029325), 1.894816));
}

// Vertical distance of the centres of the lower cell c1 and the upper cell c2; when one cell
// lies between them its full height counts too.
double heightBetween(int c1, int c2) {
  double dz = Ckdist[c1] + Ckdist[c2];
  if (c2 - c1 > 1) {
    const int mid = Ccellt[c1];
    if (mid > 0) dz += 2 * Ckdist[mid];
  }
  return dz;
}

}  // namespace

double densityDamp(int c1, int c2) {
  return 9.81 * (cellDensity(c2) - cellDensity(c1)) / heightBetween(c1, c2);
}

double coeff_turbdens(int c1, int c2) {
  const double stable = std::min(cellDensity(c2) - cellDensity(c1), 0.0);
  // Neutral or unstable layering, or no damping law in force: the factor is exactly 1.
  if (stable == 0 || TDalpha == 0 || TDbeta == 0) return 1.0;
  const double dz = heightBetween(c1, c2);
  double s;
  if (FlagTVertGrad == 1 && BTugrad) {
    s = BTugrad[Cbed[c1]];
  } else {
    const double du = Cxvel[c1] - Cxvel[c2], dv = Cyvel[c1] - Cyvel[c2];
    s = dz / (std::sqrt(du * du + dv * dv) + TDvelo);
  }
  const double Ri = std::max(-9.81 * (stable / dz) * s * s, 0.0);
  return std::pow(1 + TDbeta * Ri, TDalpha);
}

}  // namespace qorva
