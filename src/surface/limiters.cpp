// Limits of the level update: the depth below which a supercritical column is not let run
// dry, and the pressure reset after a rebuild (zero, or the critical-flow floor upstream of a
// supercritical face). Reads Fvz, Croughness, Fdz, Farea, Fflux, Cxvel, Cyvel, zval and the
// reference levels; writes Cpres (computeSetPresZero).
#include <algorithm>
#include <cmath>

#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "surface/surface.h"
#include "surface/worked_blocks.h"

namespace qorva {

namespace {


// Manning-Strickler depth of mean speed U on a bed whose unit normal has the vertical part nz,
// the bed angle standing for the slope, with the Strickler coefficient 26 / b^e.
double normalDepth(double U, double nz, double b, double e) {
  const double angle = std::acos(std::clamp(nz, -1.0, 1.0));
  return std::pow(U / (std::sqrt(angle) * 26 / std::pow(b, e) + 1e-20), 1.5);
}

// Depth of speed U at Froude number Fr, with the shape factor k.
double criticalDepth(double U, double Fr, double k) {
  return std::pow(U * U * U / (Fr * Fr * 9.81 + 1e-30) / k, 0.666666666667);
}

// Over the cells of the column with top cell t, downward: the height, area and mass flux of
// their faces on one side; q the mean speed through them and Fr its Froude number.
struct SideFlow {
  double q, Fr;
};
SideFlow sideFlow(int t, const Table1<int>& side) {
  double dz = 0, area = 0, flux = 0;
  downColumn(t, [&](int c) {
    const int f = side[c];
    if (f <= 0) return;
    dz += Fdz[f];
    area += Farea[f];
    flux += Fflux[f];
  });
  const double q = 0.001 * flux / (area + 1e-20);
  return {q, std::fabs(q) / std::sqrt(9.81 * dz + 1e-20)};
}

// Raises the pressure of every cell of the column with top cell `up` to the pressure whose
// level holds the critical-flow energy of a face of mean speed q over the bed level zb.
void criticalFloor(int up, double q, double zb) {
  const double u = Cxvel[up], v = Cyvel[up];
  const double E =
      ((zb + 1.5 * q * q / 9.81 - (u * u + v * v) / 19.62) - GlobZRef) * 9810 + GlobPresRef;
  downColumn(up, [E](int c) { Cpres[c] = std::max(Cpres[c], E); });
}

void criticalFaceFloors() {
  surf::forEachWorkedColumn([](int i, int j) {
    const int tP = columnTop(i, j);
    if (tP == 0) return;
    if (const int tE = columnTop(i + 1, j); tE > 0) {
      const SideFlow s = sideFlow(tP, Cflatee);
      if (s.Fr > 1)
        criticalFloor(s.q > 0 ? tP : tE, s.q, 0.5 * (zval[i][j - 1][1] + zval[i][j][1]));
    }
    if (const int tN = columnTop(i, j + 1); tN > 0) {
      const SideFlow s = sideFlow(tP, Cflaten);
      if (s.Fr > 1)
        criticalFloor(s.q > 0 ? tP : tN, s.q, 0.5 * (zval[i - 1][j][1] + zval[i][j][1]));
    }
  });
}

}  // namespace

double computeLimdepth(int c, double Fr, double U) {
  const int bed = isGridCell(c) ? Cflateb[c] : 0;
  const double nz = bed > 0 ? Fvz[bed] : 1.0;
  const double ks = isGridCell(c) ? Croughness[c] : 0.0;
  switch (FlagSurfLimit3) {
    case 0:
      if (Fr < 1) return 0;
      return nz < 0.9 ? normalDepth(U, nz, 0.3333 * ks, 0.16666666666666666)
                      : criticalDepth(U, Fr, 3.132091952673165);
    case 2:
      // The velocity head a quarter of the way, growing with the Froude number above 1 until
      // it is complete at Fr 2: a depth in metres.
      if (Fr < 1) return 0;
      return 0.25 * U * U / 9.81 * (Fr < 2 ? Fr - 1 : 1.0);
    case 5:
      return Fr < 1 ? 0 : 0.5 * U * U / 9.81;
    case 9:
      if (Fr < 1) return 0;
      return nz >= 0.9 ? criticalDepth(U, Fr, 3.132091952673165)
                       : normalDepth(U, nz, ks, 0.1666666667);
    case 10: {
      if (Fr < 0.9) return 0;
      double d = std::min(normalDepth(U, nz, 0.3333 * ks, 0.166666666667), U * U / 39.24);
      const double f = 5 * (Fr - 0.9);
      if (f <= 1) d *= f;
      return d;
    }
    case 11: {
      if (Fr < 1) return 0;
      if (nz < 0.9) return normalDepth(U, nz, 0.333333 * ks, 0.1666666667);
      double d = criticalDepth(U, Fr, 6.26418390534633);
      const double f = 10 * (Fr - 1);
      if (f < 1) d *= f;
      return d;
    }
    default:  // 1 and the values without a limit
      return 0;
  }
}

void computeSetPresZero() {
  if (FlagPresSetZero == -1) {
    for (int c = 0; c <= NoCells; ++c) Cpres[c] = 0;
  } else if (FlagPresSetZero == 2) {
    criticalFaceFloors();
  }
}

}  // namespace qorva
