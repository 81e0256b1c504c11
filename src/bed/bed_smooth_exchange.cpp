// Bed smoothing by sediment exchange on the layered bed (F 451): a column that stands above
// the mean of its two neighbours along a grid direction by more than the allowed slope gives
// sediment to them, one that sinks below it takes sediment from them, size by size through the
// layer stacks. Reads the layer-built levels and the grid lines; writes the stacks.
#include <cmath>

#include "bed/bed.h"
#include "bed/bed_grid.h"
#include "bed/bed_slide.h"
#include "state/options.h"
#include "state/options_f450_499.h"

namespace qorva {

namespace {

// Evens out the centre column (i, j) against its neighbours (ia, ja) below and (ib, jb) above
// in index; s is the length over which the allowed slope counts.
void evenOut(int i, int j, int ia, int ja, int ib, int jb, double s) {
  const int c = pointbed[i][j], a = pointbed[ia][ja], b = pointbed[ib][jb];
  if (c < 1 || a < 1 || b < 1) return;
  const double Lc = bedgrid::layerLevel(i, j, c);
  const double M = 0.5 * (bedgrid::layerLevel(ia, ja, a) + bedgrid::layerLevel(ib, jb, b));
  const double A = BedSmooth4 * s;
  if (Lc - M - A > 0) {
    const bedslide::Taken t = bedslide::takeFromStack(c, 0.5 * (Lc - M - A));
    bedslide::layOnStack(b, c, t, 0.5);
    bedslide::layOnStack(a, c, t, 0.5);
  } else if (M - Lc - A > 0) {
    const double q = 0.25 * (M - Lc - A);
    bedslide::layOnStack(c, a, bedslide::takeFromStack(a, q), 1.0);
    bedslide::layOnStack(c, b, bedslide::takeFromStack(b, q), 1.0);
  }
}

// Horizontal length of the vector P(p1) + P(p2) - P(p3) - P(p4) of four grid points.
double spanOf(int i1, int j1, int i2, int j2, int i3, int j3, int i4, int j4) {
  return std::hypot(xval[i1][j1] + xval[i2][j2] - xval[i3][j3] - xval[i4][j4],
                    yval[i1][j1] + yval[i2][j2] - yval[i3][j3] - yval[i4][j4]);
}

}  // namespace

void bedSmooth4() {
  if (!BlayerTop) return;
  for (int bl = 1; bl <= NoBlocks; ++bl) {
    if (!bedgrid::selected(bl, false)) continue;
    const GridBlock& k = block[bl];
    for (int j = k.j1 + 1; j <= k.j2 - 1; ++j)
      for (int i = k.i1; i <= k.i2; ++i)
        evenOut(i, j, i, j - 1, i, j + 1, spanOf(i, j, i - 1, j, i, j - 1, i - 1, j - 1));
    for (int i = k.i1 + 1; i <= k.i2 - 1; ++i)
      for (int j = k.j1; j <= k.j2; ++j)
        evenOut(i, j, i - 1, j, i + 1, j, spanOf(i, j, i, j - 1, i - 1, j, i - 1, j - 1));
  }
}

}  // namespace qorva
