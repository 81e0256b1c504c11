// The exchange of bed between two layer stacks, size by size, for the slides and the smoothing
// of the layered bed: the giving stack loses the top of its bed through the layer change, the
// receiving stack gains the same grains as a deposit. Whatever the solid fractions of the
// layers and the areas of the columns, the grains of each size are kept. Reads and writes
// Bbedchange and, through ChangeLayers, the stacks of the two bed cells.
#include <cmath>

#include "bed/bed.h"
#include "bed/bed_grid.h"
#include "bed/bed_slide.h"
#include "state/options.h"
#include "state/structured.h"

namespace qorva::bedslide {

namespace {

// Solid volume per unit area of size l in the stack of bed cell b.
double grainsOf(int b, int l) {
  double v = 0;
  for (int j = 0; j <= BlayerTop[b]; ++j)
    v += BSedDistrib[j][0][b] * bedgrid::solidFraction(j, b) * BSedDistrib[j][l][b];
  return v;
}

}  // namespace

Taken takeFromStack(int b, double m) {
  Taken t;
  double avail[52] = {};
  computeAvailableFractionMeters(b, avail, -m);
  for (int l = 1; l <= lnumber; ++l) {
    t.grains[l] = grainsOf(b, l);
    Bbedchange[l][b] = -avail[l];
  }
  ChangeLayers(b, -m);
  // What the stack lost, measured: the demands of the layer change count at the solid fraction
  // of the top layer, which deeper layers need not share.
  for (int l = 1; l <= lnumber; ++l) t.grains[l] -= grainsOf(b, l);
  return t;
}

void layOnStack(int to, int from, const Taken& taken, double share) {
  const double k = share * areaRatio(from, to) / bedgrid::solidFraction(-1, to);
  double dz = 0;
  for (int l = 1; l <= lnumber; ++l) {
    Bbedchange[l][to] = taken.grains[l] * k;
    dz += Bbedchange[l][to];
  }
  if (dz > 0) ChangeLayers(to, dz);
}

double areaRatio(int from, int to) {
  return Barea[from] > 0 && Barea[to] > 0 ? Barea[from] / Barea[to] : 1.0;
}

double centreDistance(int i, int j, int p, int q) {
  const auto cx = [](int a, int c) {
    return 0.25 * (xval[a][c] + xval[a - 1][c] + xval[a][c - 1] + xval[a - 1][c - 1]);
  };
  const auto cy = [](int a, int c) {
    return 0.25 * (yval[a][c] + yval[a - 1][c] + yval[a][c - 1] + yval[a - 1][c - 1]);
  };
  return std::hypot(cx(i, j) - cx(p, q), cy(i, j) - cy(p, q));
}

}  // namespace qorva::bedslide
