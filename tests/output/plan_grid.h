// A small generated grid for the plan-view and Tecplot tests: block 1 of 3 x 2 columns on the
// grid lines i = 1..4 (x = 0, 2, 4, 6) and j = 1..3 (y = 0, 1, 2), the water surface at
// 0.2 + 0.01 x and the bed at -1 - 0.1 x, so the depth grows along x; the cells carry
// velocities that differ from cell to cell. Private to tests/output.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "grid/grid.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/structured.h"

namespace qorva::test {

inline double planBed(int i) { return -1 - 0.1 * 2 * (i - 1); }
inline double planSurface(int i) { return 0.2 + 0.01 * 2 * (i - 1); }

// Options that change the allocation are set before.
inline void makePlanGrid(int i1 = 2, int i2 = 4, int j1 = 2, int j2 = 3) {
  xnumber = i2 + 2;
  ynumber = j2 + 2;
  znumber = 6;
  lnumber = 1;
  MaxCeller = 2000;
  MaxFlater = 6000;
  MaxPunkter = 3000;
  MaxDepth209 = 10;
  ASSERT_EQ(sialloc(), 0);
  ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
  std::remove("boogie");
  NoBlocks = 1;
  block[1].i1 = i1;
  block[1].i2 = i2;
  block[1].j1 = j1;
  block[1].j2 = j2;
  block[1].bedfollow = 1;
  for (int i = i1 - 1; i <= i2; ++i)
    for (int j = j1 - 1; j <= j2; ++j) {
      xval[i][j] = 2.0 * (i - 1);
      yval[i][j] = 1.0 * (j - 1);
      zval[i][j][1] = planBed(i);
      zval[i][j][znumber] = planSurface(i);
    }
  ASSERT_EQ(Unstructure(), 1);
  metric();
  BedMake();
  for (int c = 1; c <= NoCells; ++c) {
    Cxvel[c] = 1 + 0.01 * c;
    Cyvel[c] = 0.5 - 0.002 * c;
    Czvel[c] = 0.001 * c;
  }
}

inline void setPlanTitle(const char* t) {
  Title = {};
  for (int k = 0; t[k] && k + 1 < static_cast<int>(Title.size()); ++k) Title[k + 1] = t[k];
}

inline void addVariable(char letter, int level = 0, int size = 0, int code = 0) {
  TecStruc[TecStrucNo++] = OutputVariable{level, size, code, letter};
}

inline std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

inline std::vector<double> numbers(const std::string& line) {
  std::vector<double> out;
  std::istringstream in(line);
  for (double v; in >> v;) out.push_back(v);
  return out;
}

// The cells of column (i, j) from the bottom up.
inline std::vector<int> columnCells(int i, int j) {
  std::vector<int> cells;
  for (int c = static_cast<int>(zval[i][j][0]); c > 0; c = Ccellt[c]) cells.push_back(c);
  return cells;
}

}  // namespace qorva::test
