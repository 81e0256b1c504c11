// Plan areas of the columns and the number of levels of every grid line and cells of every
// column, from the depths. Reads xval, yval, zval, block, pointbed, Broughness, TurbTop,
// pointcell_old, bedOutBlock; writes armap, antlin, antlinT, ant, num, MinVertDist0/1.
#include <algorithm>
#include <cmath>
#include <cstddef>

#include "grid/columns.h"
#include "grid/generator.h"
#include "grid/grid.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"

namespace qorva {

namespace {

// Columns of block b, cut to the plan tables.
Window blockColumns(int b) {
  Window w{block[b].i1, block[b].i2, block[b].j1, block[b].j2};
  cutRange(w.i1, w.i2, armap.dim(0), 1);
  cutRange(w.j1, w.j2, armap.dim(1), 1);
  return w;
}

// Grid lines i1-1..i2, j1-1..j2 around the columns of a window, cut to the line tables.
Window windowLines(int i1, int i2, int j1, int j2) {
  Window w{i1 - 1, i2, j1 - 1, j2};
  cutRange(w.i1, w.i2, antlin.dim(0), 0);
  cutRange(w.j1, w.j2, antlin.dim(1), 0);
  return w;
}

// Levels of a line too shallow for the depth rule: 1 (dry) below MinVertDist0, 2 (one cell)
// below MinVertDist1; 0 for a line that the rule counts.
int shallowLevels(double depth) {
  if (MinVertDist0 > depth) return 1;
  if (MinVertDist1 > depth) return 2;
  return 0;
}

// Fraction of the largest depth raised to the grid exponent. A line that reaches this rule
// with a depth of 0 or below (possible only with thresholds of 0) takes the shallowest count
// instead of a NaN from the power.
double depthPower(double depth, double scale) {
  const double x = depth * scale;
  return x > 0 ? std::pow(x, GridDistCoeff) : 0.0;
}

double columnArea(int i, int j) {
  const double d1x = xval[i][j] - xval[i - 1][j - 1];
  const double d1y = yval[i][j] - yval[i - 1][j - 1];
  const double d2x = xval[i - 1][j] - xval[i][j - 1];
  const double d2y = yval[i - 1][j] - yval[i][j - 1];
  const double a = std::fabs(d1x * d2y - d2x * d1y) * 0.5;
  return a < 1e-20 ? 0.0 : a;
}

// Bed roughness of column (i, j) through its bed cell; 0 where the column has none.
double columnRoughness(int i, int j) {
  if (i < 0 || j < 0 || static_cast<std::size_t>(i) >= pointbed.dim(0) ||
      static_cast<std::size_t>(j) >= pointbed.dim(1))
    return 0.0;
  const int b = pointbed[i][j];
  return b > 0 && static_cast<std::size_t>(b) < Broughness.size() ? Broughness[b] : 0.0;
}

// (depth / D) ^ e, 0 where either is not positive: a line of no depth in a grid of no depth
// takes the shallowest count of the rule instead of a NaN.
double depthFraction(double depth, double D, double e) {
  return depth > 0 && D > 0 ? std::pow(depth / D, e) : 0.0;
}

}  // namespace

int methodLineLevels(int m, double depth, double D) {
  const double g = GridDistCoeff;
  const int steps = znumber - 2;
  int n = 0;
  if (m == 10 || m == 6 || m == 36) {
    // A single dry threshold and no one-cell band.
    if (depth < MinVertDist) return 1;
    if (m == 10) n = 2 + static_cast<int>(depthFraction(depth, D, g) * steps);
    else n = 2 + std::max(1, static_cast<int>(steps * depthFraction(depth, D, 0.6)));
  } else if (depth < MinVertDist0) {
    return 1;
  } else if (depth < MinVertDist1) {
    return 2;
  } else if (m == 14 || m == 15) {
    n = 1 + static_cast<int>(depthFraction(depth, D, g) * (znumber - 1));
  } else if (m == 9 || m == 5 || m == 35) {
    n = 2 + std::max(0, static_cast<int>(depthFraction(depth, D, 0.6) * steps));
  } else if (m == 2 || m == 32) {
    // Scaled by MaxDepth, which F 209 may set below the deepest line.
    n = 2 + static_cast<int>(steps * depthFraction(depth, MaxDepth + 1e-10, g));
  } else {
    n = 2 + std::max(0, static_cast<int>(depthFraction(depth, D, g) * steps));
  }
  // A line deeper than the depth scale would need levels below the table's first: it keeps
  // the full count instead.
  return std::min(n, znumber);
}

void countMethodLines(int m, const Window& columns, double D) {
  const Window w = windowLines(columns.i1, columns.i2, columns.j1, columns.j2);
  for (int j = w.j1; j <= w.j2; ++j)
    for (int i = w.i1; i <= w.i2; ++i) {
      for (int k = 1; k <= znumber; ++k) num[i][j][k] = 0;
      antlin[i][j] = methodLineLevels(m, lineDepth(i, j), D);
    }
}

void countMethodColumns(const Window& columns, bool guard) {
  int i1 = columns.i1, i2 = columns.i2, j1 = columns.j1, j2 = columns.j2;
  cutRange(i1, i2, ant.dim(0), 1);
  cutRange(j1, j2, ant.dim(1), 1);
  for (int j = j1; j <= j2; ++j)
    for (int i = i1; i <= i2; ++i) {
      const int a = antlin[i - 1][j - 1], b = antlin[i][j - 1], c = antlin[i][j],
                d = antlin[i - 1][j];
      int n = std::max({a, b, c, d}) - 1;
      if (guard && a + b + c + d < 2) n = 0;
      ant[i][j] = std::clamp(n, 0, znumber - 1);
    }
}

void ArmapMake() {
  for (int b = 1; b <= NoBlocks && b < static_cast<int>(block.size()); ++b) {
    if (block[b].skip != 0) continue;
    const Window w = blockColumns(b);
    for (int i = w.i1; i <= w.i2; ++i)
      for (int j = w.j1; j <= w.j2; ++j) armap[i][j] = columnArea(i, j);
  }
}

void computeF94() {
  double amax = 0;
  for (int b = 1; b <= NoBlocks && b < static_cast<int>(block.size()); ++b) {
    if (block[b].skip != 0) continue;
    const Window w = blockColumns(b);
    for (int i = w.i1; i <= w.i2; ++i)
      for (int j = w.j1; j <= w.j2; ++j) amax = std::max(amax, armap[i][j]);
  }
  MinVertDist1 = 0.1 * std::sqrt(amax);
  MinVertDist0 = 0.05 * MinVertDist1;
  if (debugging == 'D')
    logf("Computed F 94 parameters to %lf %lf\n", MinVertDist0, MinVertDist1);
}

void MakeAntlin(int i1, int i2, int j1, int j2, double scale) {
  const Window w = windowLines(i1, i2, j1, j2);
  const double steps = znumber - 2;
  for (int j = w.j1; j <= w.j2; ++j)
    for (int i = w.i1; i <= w.i2; ++i) {
      for (int k = 1; k <= znumber; ++k) num[i][j][k] = 0;
      const double depth = lineDepth(i, j);
      if (const int n = shallowLevels(depth); n > 0) {
        antlin[i][j] = n;
      } else {
        const double t = depthPower(depth, scale) * steps;
        antlin[i][j] = t < steps ? 2 + static_cast<int>(t) : znumber;
      }
    }
}

void MakeAnt(int i1, int i2, int j1, int j2) {
  cutRange(i1, i2, ant.dim(0), 1);
  cutRange(j1, j2, ant.dim(1), 1);
  for (int j = j1; j <= j2; ++j)
    for (int i = i1; i <= i2; ++i) {
      const int top = std::max({antlin[i - 1][j - 1], antlin[i - 1][j], antlin[i][j],
                                antlin[i][j - 1]});
      // Lines that were never counted hold 0; such a column has no cells rather than -1.
      ant[i][j] = std::max(top - 1, 0);
      if (UMethod == 13 && pointcell_old[i][j] == 0 && columnMeanDepth(i, j) < MinVertDist2)
        ant[i][j] = 0;
      if (bedOutBlock[i][j] == 1) ant[i][j] = 0;
    }
}

void computeAntlinRoughness(int i1, int i2, int j1, int j2, double scale) {
  const Window w = windowLines(i1, i2, j1, j2);
  const double steps = znumber - 2;
  for (int j = w.j1; j <= w.j2; ++j)
    for (int i = w.i1; i <= w.i2; ++i) {
      const double base = TurbTop[i][j];
      const double depth = base - zval[i][j][1];
      int n = shallowLevels(depth);
      if (n == 0) {
        // The four columns around the line, kept inside the block.
        const int ci = std::max(i, i1), cI = std::min(i + 1, i2);
        const int cj = std::max(j, j1), cJ = std::min(j + 1, j2);
        const double rough = columnRoughness(ci, cj) + columnRoughness(cI, cj) +
                             columnRoughness(ci, cJ) + columnRoughness(cI, cJ);
        const double r = 0.25 * rough / depth;
        if (r > GridRoughnessParam)
          n = 2;
        else
          n = static_cast<int>(depthPower(depth, scale) * steps * NestNoRatioLoc + 2.0);
      }
      antlinT[i][j] = n;
      if (UMethod2 == 1 && depth > 0) {
        const double h = n > 1 ? 0.5 * depth / (n - 1) : 0.5 * depth;
        const double top = zval[i][j][znumber];
        int c = 0;
        for (int k = 1; k <= znumber; ++k)
          if (base + h < zdistrib[k] && zdistrib[k] < top - h) ++c;
        if (top > base + 1e-10) ++c;
        antlin[i][j] = n + c;
      } else {
        antlin[i][j] = n;
      }
    }
}

}  // namespace qorva
