// A small generated grid for the output and restart tests: a fresh run with the G 1 sizes and
// small capacities, then a koosurf block of nx x ny columns one metre wide (grid lines 1..nx+1,
// 1..ny+1 at x = i - 1, y = j - 1) with the bed and water level of each grid point, turned into
// cells, metrics and bed cells as task Y does; the log of the generation is removed.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "files/files.h"
#include "grid/grid.h"
#include "state/arrays.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "support/scratch.h"

namespace qorva::test {

// `options` runs after the defaults and before the arrays are sized (sizes, F 37, F 134 ...).
inline void freshGridRun(int xn, int yn, int zn, const std::function<void()>& options = [] {}) {
  SetArraysZero();
  setDefaults();
  options();
  xnumber = xn;
  ynumber = yn;
  znumber = zn;
  MaxCeller = 200;
  MaxFlater = 800;
  MaxPunkter = 400;
  MaxNester = 5;
  MaxConnFlate = 5;
  ASSERT_EQ(sialloc(), 0);
  ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
  std::remove("boogie");
}

// Bed level and water level of grid point (i, j).
struct PointLevels {
  std::function<double(int, int)> bed, water;
};

inline void koosurfGrid(int nx, int ny, const PointLevels& levels) {
  std::string koosurf;
  for (int i = 1; i <= nx + 1; ++i)
    for (int j = 1; j <= ny + 1; ++j)
      koosurf += strf("%d %d %d.0 %d.0 %.10f %.10f\n", i, j, i - 1, j - 1, levels.bed(i, j),
                      levels.water(i, j));
  std::ofstream("koosurf", std::ios::binary) << koosurf;
  ASSERT_EQ(endStatus([] {
              readKoosurf();
              ASSERT_GE(Unstructure(), 0);
              metric();
              BedMake();
            }),
            1000)
      << [] {
           std::ifstream f("boogie");
           std::stringstream s;
           s << f.rdbuf();
           return s.str();
         }();
  // The tests read what their own step logs.
  std::remove("boogie");
}

}  // namespace qorva::test
