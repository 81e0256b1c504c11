// A water block with the mud-layer block under it, built by the grid generator: columns of one
// metre, grid lines at x = i - 1, y = j - 1, the water block at i = 2..i2, j = 2..j2 and the
// mud block after it in j (shift j2 + 1). Levels of each water grid line are given by the
// test; Surfaces plane 3 (the non-erodible level) by `fixedBed`.
#pragma once

#include <functional>

#include "grid/grid.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "support/scratch.h"

namespace qorva::test {

struct MudGrid {
  int i2 = 4, j2 = 4;  // last water column
  int levels = 11;     // znumber
  std::function<double(int, int)> bed = [](int, int) { return -1.0; };
  std::function<double(int, int)> water = [](int, int) { return 0.0; };
  double fixedBed = -3.0;

  // Shift in j from a water column to the mud column under it.
  int shift() const { return j2 + 3 - 2; }

  // Start state and structured arrays; the caller sets the options, then calls build().
  void prepare(int maxCells = 4000) const {
    SetArraysZero();
    setDefaults();
    stimet = 0;
    xnumber = i2 + 2;
    ynumber = 2 * j2 + 5;
    znumber = levels;
    MaxCeller = maxCells;
    MaxFlater = 4 * maxCells;
    MaxPunkter = 4 * maxCells;
  }

  void layout() const {
    ASSERT_EQ(sialloc(), 0);
    NoBlocks = 1;
    block[1].i1 = 2;
    block[1].i2 = i2;
    block[1].j1 = 2;
    block[1].j2 = j2;
    block[1].bedfollow = 1;
    for (int i = 0; i <= xnumber + 1; ++i)
      for (int j = 0; j <= ynumber + 1; ++j) {
        xval[i][j] = i - 1;
        yval[i][j] = j - 1;
        Surfaces[3][i][j] = fixedBed;
        if (j > j2) continue;
        zval[i][j][1] = bed(i, j);
        zval[i][j][znumber] = water(i, j);
      }
  }

  // The generator's status: 1 when built, or 1000 + the status the run ended with.
  static int generate() {
    try {
      return Unstructure();
    } catch (const RunEnd& e) {
      return 1000 + e.status;
    }
  }

  // The grid with metrics and bed cells, as the flow driver has it.
  static void finish() {
    metric();
    BedMake();
  }
};

}  // namespace qorva::test
