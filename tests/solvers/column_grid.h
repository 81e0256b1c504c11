// A block of water columns for the tests of the line solvers, the block correction and the
// multigrid levels: nx x ny columns of given heights (0 = a dry column), cells numbered column
// by column (i outer, j inner) and upward in a column as the grid builder numbers them, linked
// to their neighbours at the same level, block 1 over columns i = 2..nx+1, j = 2..ny+1 with
// zval[i][j][0] the bottom cells, and one bed cell per wet column. Coefficients are left to
// the tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "support/box_grid.h"
#include "support/scratch.h"

namespace qorva::test {

struct Columns {
  int nx = 0, ny = 0;
  std::vector<int> height;  // cells of column (i, j) at i * ny + j
  std::vector<int> bottom;  // its bottom cell, 0 when dry

  int cells(int i, int j) const {
    return i < 0 || j < 0 || i >= nx || j >= ny ? 0 : height[i * ny + j];
  }
  // Cell k (0 = bottom) of column (i, j); 0 where there is none.
  int cell(int i, int j, int k) const {
    return k < 0 || k >= cells(i, j) ? 0 : bottom[i * ny + j] + k;
  }
  // The structured indices of column (i, j) in block 1.
  static int I(int i) { return i + 2; }
  static int J(int j) { return j + 2; }
};

// nx x ny columns with the given heights (i * ny + j); `spare` cell numbers beyond the grid for
// levels. The options that decide which arrays exist (F 168, F 98, F 344 ...) must be set
// before. The working range is the whole grid.
inline Columns makeColumns(int nx, int ny, std::vector<int> height, int spare = 0) {
  Columns g;
  g.nx = nx;
  g.ny = ny;
  g.height = std::move(height);
  g.bottom.assign(g.height.size(), 0);
  int n = 0;
  int highest = 1;
  for (std::size_t q = 0; q < g.height.size(); ++q) {
    if (g.height[q] > 0) g.bottom[q] = n + 1;
    n += g.height[q];
    highest = std::max(highest, g.height[q]);
  }
  allocateSmallGrid(nx, ny, highest, n + spare + 2, 8 * (n + spare) + 20);

  NoCells = n;
  int bed = 0;
  for (int i = 0; i < nx; ++i)
    for (int j = 0; j < ny; ++j) {
      if (g.cells(i, j) > 0) {
        ++bed;
        Bcellt[bed] = g.cell(i, j, 0);
        Bkooi[bed] = Columns::I(i);
        Bkooj[bed] = Columns::J(j);
        Bnocells[bed] = g.cells(i, j);
      }
      zval[Columns::I(i)][Columns::J(j)][0] = g.cell(i, j, 0);
      for (int k = 0; k < g.cells(i, j); ++k) {
        const int c = g.cell(i, j, k);
        Ccelle[c] = g.cell(i + 1, j, k);
        Ccellw[c] = g.cell(i - 1, j, k);
        Ccelln[c] = g.cell(i, j + 1, k);
        Ccells[c] = g.cell(i, j - 1, k);
        Ccellt[c] = g.cell(i, j, k + 1);
        Ccellb[c] = g.cell(i, j, k - 1);
        Cbed[c] = bed;
      }
    }
  NoBCells = bed;
  WCStart = 1;
  WCEnd = n;
  NoBlocks = NoBlocks0 = 1;
  GridBlock& b = block[1];
  b.i1 = 2;
  b.i2 = nx + 1;
  b.j1 = 2;
  b.j2 = ny + 1;
  b.cellstart = 1;
  b.cellend = n;
  b.inwork = 1;
  return g;
}

// Uniform columns of nz cells.
inline Columns makeColumns(int nx, int ny, int nz, int spare = 0) {
  return makeColumns(nx, ny, std::vector<int>(static_cast<std::size_t>(nx * ny), nz), spare);
}

}  // namespace qorva::test
