// The sand slide by plane rotation (F 56 200 and 201): a column steeper than the angle of
// repose is turned about its centre, downhill direction kept, until its slope is the angle
// of repose; corners do not go below the non-erodible level. Reads the corner points, the
// angles (Bavalanche with bedangle, the flow direction for 201); writes zval[..][..][1] and
// Surfaces plane 1.
#include <algorithm>
#include <cmath>

#include "bed/bed_grid.h"
#include "bed/bed_slide.h"
#include "grid/grid.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_f250_299.h"
#include "state/surfaces.h"

namespace qorva::bedslide {

namespace {

// Corners in the order of the new levels: (i, j), (i-1, j), (i-1, j-1), (i, j-1), as offsets.
constexpr int kDi[4] = {0, 1, 1, 0};
constexpr int kDj[4] = {0, 0, 1, 1};

// Tangent of the angle of repose of the column of bottom cell c.
double tangentOf(int variant, int c) {
  if (variant == 201) {
    const int f = Cflateb[c];
    const double w = (1 + dotproduct(Fvx[f], Fvy[f], Cxvel[c], Cyvel[c])) / 2;
    return (1 - w) * AngleAvalancheUp + w * AngleAvalanche;
  }
  return FlagBedAngles > 1 && Bavalanche ? Bavalanche[Cbed[c]] : AngleAvalanche;
}

void rotate(int variant, int i, int j, int c, const GridBlock& k) {
  const double c0 = std::cos(std::atan(tangentOf(variant, c)));
  const auto x = [](int p, int q) { return xval[p][q]; };
  const auto y = [](int p, int q) { return yval[p][q]; };
  const auto z = [](int p, int q) { return zval[p][q][1]; };
  const double dx1 = x(i, j) - x(i - 1, j - 1), dy1 = y(i, j) - y(i - 1, j - 1),
               dz1 = z(i, j) - z(i - 1, j - 1);
  const double dx2 = x(i, j - 1) - x(i - 1, j), dy2 = y(i, j - 1) - y(i - 1, j),
               dz2 = z(i, j - 1) - z(i - 1, j);
  const double nx = dz1 * dy2 - dy1 * dz2, ny = dz2 * dx1 - dz1 * dx2, nz = dy1 * dx2 - dx1 * dy2;
  const double len = std::sqrt(nx * nx + ny * ny + nz * nz);
  const double nu = nz / (len + 1e-20);
  if (!(nu < c0)) return;
  double h = 1e30, xc = 0, yc = 0, zc = 0;
  for (int n = 0; n < 4; ++n) {
    const int p = i - kDi[n], q = j - kDj[n];
    h = std::min(h, z(p, q) - Surfaces[3][p][q]);
    xc += 0.25 * x(p, q);
    yc += 0.25 * y(p, q);
    zc += 0.25 * z(p, q);
  }
  const double alpha = std::acos(nu), beta = std::acos(c0);
  if (!(2 * std::tan(alpha - beta) * std::sqrt(len) < h)) return;
  const double f = std::sqrt((1 - c0 * c0) / (1 - nu * nu));
  const double nxr = nx / (len + 1e-20) * f, nyr = ny / (len + 1e-20) * f;
  const double d = xc * nxr + yc * nyr + c0 * zc;
  const bedgrid::Around a = bedgrid::around(c);
  double moved[4], weight[4], weighted = 0, weights = 0;
  for (int n = 0; n < 4; ++n) {
    const int p = i - kDi[n], q = j - kDj[n];
    const double level = std::max((d - x(p, q) * nxr - y(p, q) * nyr) / c0, Surfaces[3][p][q]);
    moved[n] = level - z(p, q);
    weight[n] = bedgrid::cornerWeight(i, j, kDi[n], kDj[n], k, a);
    weighted += weight[n] * moved[n];
    weights += weight[n];
  }
  // The turned plane is shifted so that the corner moves, each over the columns that share its
  // corner, place no volume: the slide takes as much as it gives. Where the four corners weigh
  // the same (inside an even grid) this keeps the column's mean level.
  const double shift = weights > 0 ? -weighted / weights : 0.0;
  for (int n = 0; n < 4; ++n) bedgrid::moveCorner(i - kDi[n], j - kDj[n], moved[n] + shift);
}

}  // namespace

void planeRotation(int variant) {
  bedgrid::eachWetColumn(false, [variant](int i, int j, int c, const GridBlock& k) {
    rotate(variant, i, j, c, k);
  });
}

}  // namespace qorva::bedslide
