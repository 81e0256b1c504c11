// Bed changes of F 255 4 and 5 on the layered bed: each corner bed level becomes the mean of
// the layer-built levels (non-erodible base plus the stack) of the wet columns around it.
// Option 5 does so for every grid point, after the sand slide; option 4 for the points
// between the two edge lines in j, which move by the change Bedmove instead. Then the common
// frame. Reads the stacks, Surfaces plane 3 and Bedmove; writes zval[..][..][1], Surfaces plane
// 1, Bedlev (option 5) and, before the corner moves of option 5, Bbedchange.
#include <cmath>
#include <string>

#include "bed/bed.h"
#include "bed/bed_frame.h"
#include "bed/bed_grid.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f100_149.h"
#include "state/options_f450_499.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// The bed cell of column (i, j) when it has a water column, else 0.
int wetBed(int i, int j) {
  const int b = pointbed[i][j];
  return b > 0 && Bcellt[b] > 0 ? b : 0;
}

[[noreturn]] void nanLevel(const std::string& first, int b, int i, int j) {
  const int top = BlayerTop[b];
  failf(-4, "%sIter = %d, b=%d, i,j = (%d,%d)\nBSedDistrib[0][b] = %lf %lf\n", first.c_str(), Iter, b,
        i, j, BSedDistrib[0][0][b], top >= 0 ? BSedDistrib[top][0][b] : 0.0);
}

// The corner (i, j) moves to `level`; plane 1 counts the move when asked.
void setCorner(int i, int j, double level, bool count) {
  if (count) Surfaces[1][i][j] += level - zval[i][j][1];
  zval[i][j][1] = level;
}

// Option 4: the mean layer-built level of the wet columns around grid point (i, j); false
// when none is wet.
bool layerMeanAround(int i, int j, double& mean) {
  static const int kDi[4] = {0, 1, 0, 1}, kDj[4] = {0, 0, 1, 1};
  int n = 0;
  double sum = 0;
  for (int k = 0; k < 4; ++k) {
    const int x = i + kDi[k], y = j + kDj[k], b = wetBed(x, y);
    if (b == 0) continue;
    const double level = bedgrid::layerLevel(x, y, b);
    if (std::isnan(level)) nanLevel(strf("Error in bedchange4: NAN%d: %lf\n", k + 1, level), b, i, j);
    sum += level;
    ++n;
  }
  if (n == 0) return false;
  mean = sum / n;
  return true;
}

// Option 4: the grid points of an edge line in j (row q) move by the change of the row of
// columns y beside them, each inner point by the mean of its two columns.
void moveEdgeLine(const GridBlock& k, int q, int y, bool count) {
  const auto B = [y](int x) { return Bedmove[pointbed[x][y]]; };
  const auto move = [q, count](int x, double m) {
    zval[x][q][1] += m;
    if (count) Surfaces[1][x][q] += m;
  };
  move(k.i1 - 1, B(k.i1));
  for (int x = k.i1; x <= k.i2 - 1; ++x) move(x, 0.5 * (B(x) + B(x + 1)));
  move(k.i2, B(k.i2));
}

// Option 5: the mean Bedlev of the wet columns around grid point (i, j).
bool bedlevMeanAround(int i, int j, double& mean) {
  int n = 0;
  double sum = 0;
  for (int di = 0; di <= 1; ++di)
    for (int dj = 0; dj <= 1; ++dj) {
      const int b = wetBed(i + di, j + dj);
      if (b == 0) continue;
      sum += Bedlev[b];
      ++n;
    }
  if (n == 0) return false;
  mean = sum / n;
  return true;
}

}  // namespace

void bedchange4(int count) {
  bedframe::mark(38);
  Barea[0] = 0;
  Bedmove[0] = 0;
  if (FlagBedSmooth == 5) bedsmooth();
  const bool counted = count == 1;
  for (int bl = 1; bl <= NoBlocks; ++bl) {
    if (!bedgrid::selected(bl, true)) continue;
    const GridBlock& k = block[bl];
    int jFirst = k.j1 - 1, jLast = k.j2;
    // A block one column wide in j has no points between its edge lines: all take the layers.
    if (k.j1 != k.j2) {
      moveEdgeLine(k, k.j1 - 1, k.j1, counted);
      moveEdgeLine(k, k.j2, k.j2, counted);
      jFirst = k.j1;
      jLast = k.j2 - 1;
    }
    for (int i = k.i1 - 1; i <= k.i2; ++i)
      for (int j = jFirst; j <= jLast; ++j) {
        double level = 0;
        if (layerMeanAround(i, j, level)) setCorner(i, j, level, counted);
      }
  }
  bedframe::afterCornerMoves(bedframe::Option::EdgeLines, counted);
}

void bedchange5() {
  bedframe::mark(38);
  Barea[0] = 0;
  Bedmove[0] = 0;
  if (Bbedchange)
    for (int l = 1; l <= lnumber; ++l)
      for (int b = 1; b <= NoBCells; ++b) Bbedchange[l][b] = 0;
  if (bedframe::slideRuns()) computeSandSlide();
  if (FlagBedSmooth4 > 0) bedSmooth4();
  for (int bl = 1; bl <= NoBlocks; ++bl) {
    if (!bedgrid::selected(bl, true)) continue;
    const GridBlock& k = block[bl];
    for (int i = k.i1; i <= k.i2; ++i)
      for (int j = k.j1; j <= k.j2; ++j) {
        const int b = pointbed[i][j];
        if (b < 1) continue;
        const double stack = bedgrid::stackThickness(b, BlayerTop[b]);
        if (BlayerTop[b] >= 0 && std::isnan(stack))
          nanLevel(strf("Error in bedchange5: NAN5: %lf\n", stack), b, i, j);
        Bedlev[b] = bedgrid::meanBase(i, j) + stack;
      }
    for (int i = k.i1 - 1; i <= k.i2; ++i)
      for (int j = k.j1 - 1; j <= k.j2; ++j) {
        double level = 0;
        if (bedlevMeanAround(i, j, level)) setCorner(i, j, level, true);
      }
  }
  bedframe::afterCornerMoves(bedframe::Option::Layers);
}

}  // namespace qorva
