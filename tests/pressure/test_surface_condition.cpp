// The surface condition of the pressure-correction equation on hand-made columns (pinning
// that falls linearly to zero at the surface, springs in the ratios of the centre depths),
// the three pressure filters of block 1, and the limit against the reference column.
#include <gtest/gtest.h>

#include <omp.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "support/box_grid.h"
#include "pressure/pressure.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using test::Box;
using test::makeBox;

constexpr double kRhoG = 9810.0;

class SurfaceCondition : public test::Scratch {
 protected:
  // One bed cell per column, in the order of the columns; block 1 holds them all.
  static void setBedCells(const Box& b) {
    int bed = 0;
    for (int i = 0; i < b.nx; ++i)
      for (int j = 0; j < b.ny; ++j) {
        ++bed;
        Bcellt[bed] = b.cell(i, j, 0);
        for (int k = 0; k < b.nz; ++k) Cbed[b.cell(i, j, k)] = bed;
      }
    NoBCells = bed;
    block[1].bcellstart = 1;
    block[1].bcellend = bed;
  }
  // Equation 4 rows: Cap 5, Cab 1, Csource 10 times the cell number.
  static void setRows() {
    for (int c = 1; c <= NoCells; ++c) {
      Cap[c] = 5;
      Cab[c] = 1;
      Csource[c] = 10.0 * c;
    }
  }
};

TEST_F(SurfaceCondition, PinsTheTopCellLinearlyToTheSurface) {
  // A column of cells 1 m, 1 m and 0.5 m high (centre depths 2, 1 and 0.25 m below the
  // surface) beside a column of one cell. The pinned top cell carries 0.25 / 1 of the
  // correction of the cell below.
  struct Case {
    int form;
    std::function<void(const Box&)> expect;
  };
  const auto pinned = [](const Box& b) {
    const int top = b.cell(0, 0, 2);
    EXPECT_EQ(Cap[top], 1e20);
    EXPECT_DOUBLE_EQ(Cab[top] / Cap[top], 0.25 / 1.0);
    for (int k = 0; k < 2; ++k) {
      EXPECT_EQ(Cap[b.cell(0, 0, k)], 5.0);
      EXPECT_EQ(Cab[b.cell(0, 0, k)], 1.0);
    }
    // A one-cell column keeps its row.
    EXPECT_EQ(Cap[b.cell(1, 0, 0)], 5.0);
    EXPECT_EQ(Cab[b.cell(1, 0, 0)], 1.0);
  };
  const auto untouched = [](const Box&) {
    for (int c = 1; c <= NoCells; ++c) {
      EXPECT_EQ(Cap[c], 5.0);
      EXPECT_EQ(Cab[c], 1.0);
      EXPECT_EQ(Csource[c], 10.0 * c);
    }
  };
  const Case cases[] = {
      {0,
       [&](const Box& b) {
         pinned(b);
         for (int c = 1; c <= NoCells; ++c) EXPECT_EQ(Csource[c], 10.0 * c);
       }},
      {1,
       [&](const Box& b) {
         pinned(b);
         EXPECT_EQ(Csource[b.cell(0, 0, 2)], 0.0);
         EXPECT_EQ(Csource[b.cell(1, 0, 0)], 0.0);  // top cell of a one-cell column too
         EXPECT_EQ(Csource[b.cell(0, 0, 1)], 10.0 * b.cell(0, 0, 1));
       }},
      {2,
       [&](const Box& b) {
         pinned(b);
         EXPECT_EQ(Csource[b.cell(0, 0, 0)], 0.0);
         EXPECT_EQ(Csource[b.cell(1, 0, 0)], 0.0);  // the bottom cell of a one-cell column
         EXPECT_EQ(Csource[b.cell(0, 0, 1)], 10.0 * b.cell(0, 0, 1));
         EXPECT_EQ(Csource[b.cell(0, 0, 2)], 10.0 * b.cell(0, 0, 2));
       }},
      {-3,
       [&](const Box& b) {
         pinned(b);
         // Cells 1, 2, 3: the top cell's 30 goes into the 20 of the cell below as well.
         EXPECT_EQ(Csource[b.cell(0, 0, 1)], 20.0 + 30.0);
         EXPECT_EQ(Csource[b.cell(0, 0, 2)], 30.0);
         EXPECT_EQ(Csource[b.cell(1, 0, 0)], 40.0);
       }},
      {-1, untouched},
      {-5, untouched},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.form);
    SetArraysZero();
    setDefaults();
    const Box b = makeBox({1, 1}, {1}, {1, 1, 0.5});
    // The second column: one cell.
    const int lone = b.cell(1, 0, 0);
    Ccellt[lone] = 0;
    Ccellt[b.cell(1, 0, 1)] = 0;
    Ccellb[b.cell(1, 0, 1)] = 0;
    Ccellb[b.cell(1, 0, 2)] = 0;
    setBedCells(b);
    FlagPresSurf = k.form;
    setRows();
    // Cells 5 and 6, cut off from the second column, are left out of the range.
    presSurfFunction(1, 3);
    presSurfFunction(lone, lone);
    k.expect(b);
  }
}

TEST_F(SurfaceCondition, PressureWeightedPinning) {
  // Top cell 0.5 m high with Pa 2 * 9810 * 0.25: f = 2^4 = 16. With CoeffPresSurf 0.5:
  // Cap = 5 * (1 + 8) = 45, Cab = 1 + 16 * 0.5 * 45 * 0.3333333333.
  const Box b = makeBox({1}, {1}, {1, 0.5});
  FlagPresSurf = -2;
  CoeffPresSurf = 0.5;
  setRows();
  Cpres[b.cell(0, 0, 1)] = 2 * kRhoG * 0.25;
  Cpres[b.cell(0, 0, 0)] = 1e6;
  presSurfFunction(WCStart, WCEnd);
  EXPECT_DOUBLE_EQ(Cap[2], 45.0);
  EXPECT_DOUBLE_EQ(Cab[2], 1 + 16 * 0.5 * 45 * 0.3333333333);
  EXPECT_EQ(Cap[1], 5.0);
  EXPECT_EQ(Cab[1], 1.0);
  EXPECT_EQ(Csource[2], 20.0);
}

TEST_F(SurfaceCondition, SpringsFollowTheCentreDepths) {
  // Columns of equal 1 m cells: centre depths 0.5, 1.5, 2.5, 3.5 m, so the k-th cell from the
  // top carries (2k - 1)/(2k + 1) of the correction of the cell below: 1/3, 3/5, 5/7.
  struct Case {
    int form;
    int cells;
    int treated;  // cells from the top that get a spring
  };
  const Case cases[] = {
      {3, 5, 3}, {10, 5, 3},  // never the two lowest cells
      {4, 6, 4}, {3, 3, 1}, {5, 2, 0}, {3, 1, 0},
  };
  const double coeff = 1e12;
  for (const Case& k : cases) {
    SCOPED_TRACE(std::to_string(k.form) + " " + std::to_string(k.cells));
    for (int chunks : {1, 2, 3}) {
      SCOPED_TRACE(chunks);
      SetArraysZero();
      setDefaults();
      const Box b = makeBox({1}, {1}, std::vector<double>(k.cells, 1.0));
      FlagPresSurf = k.form;
      CoeffPresSurf = coeff;
      setRows();
      // Chunks split the column anywhere; each changes only its own cells.
      const int n = NoCells, per = n / chunks;
      for (int t = 0; t < chunks; ++t)
        presSurfFunction(1 + t * per, t == chunks - 1 ? n : (t + 1) * per);
      for (int level = 0; level < k.cells; ++level) {
        const int c = b.cell(0, 0, level);
        const int fromTop = k.cells - level;
        if (fromTop <= k.treated) {
          EXPECT_EQ(Cap[c], 5 + coeff) << level;
          const double depthRatio = (fromTop - 0.5) / (fromTop + 0.5);
          EXPECT_NEAR(Cab[c] / Cap[c], depthRatio, 1e-11) << level;
        } else {
          EXPECT_EQ(Cap[c], 5.0) << level;
          EXPECT_EQ(Cab[c], 1.0) << level;
        }
      }
    }
  }
}

TEST_F(SurfaceCondition, MinusThreeAddsAcrossChunks) {
  // The top cell starts the second chunk; its source still reaches the cell below.
  const Box b = makeBox({1, 1}, {1}, {1, 1});
  FlagPresSurf = -3;
  setRows();
#pragma omp parallel for num_threads(2)
  for (int t = 0; t < 2; ++t) {
    if (t == 0) presSurfFunction(1, 1);
    else presSurfFunction(2, 4);
  }
  EXPECT_EQ(Csource[b.cell(0, 0, 0)], 10.0 + 20.0);
  EXPECT_EQ(Csource[b.cell(1, 0, 0)], 30.0 + 40.0);
  EXPECT_EQ(Cap[b.cell(0, 0, 1)], 1e20);
}

TEST_F(SurfaceCondition, FiltersOfTheColumnsOfBlock1) {
  // Two columns of three 1 m cubes (depth D = 3 m, hydrostatic bottom value Ph = 29430 Pa);
  // cells 1..3 and 4..6 from the bottom. Only bed cell 1 belongs to block 1 in the last case.
  struct Case {
    const char* what;
    int form;
    double speed;                    // of every cell (u = 0.6 speed, v = 0.8 speed)
    std::vector<double> p, expected;  // cells 1..6
    int lastBed = 2;
  };
  const double x = 3 * 0.5 / std::sqrt(9.81 * 3);  // Froude-type number of speed 0.5
  const double ratio = (x * 39240 + (1 - x) * 29430) / 39240;
  const Case cases[] = {
      {"Froude: slow column pulled toward hydrostatic", 1, 0.5,
       {39240, 20000, 5000, 20000, 15000, 5000},
       {39240 * ratio, 20000 * ratio, 5000 * ratio, 20000, 15000, 5000}},
      {"Froude: fast column kept", 1, 2.0, {39240, 20000, 5000, 1, 2, 3},
       {39240, 20000, 5000, 1, 2, 3}},
      {"Froude: still water takes the hydrostatic bottom value", 1, 0.0,
       {39240, 20000, 4000, 29430, 2, 3}, {29430, 15000, 3000, 29430, 2, 3}},
      {"Froude: no bottom pressure", 1, 0.0, {0, 20000, 4000, -100, 2, 3},
       {0, 20000, 4000, -100, 2, 3}},
      // Caps 2 * 9810 * (2.5, 1.5, 0.5) from the bottom.
      {"twice hydrostatic", 2, 0, {60000, 20000, 12000, 49050, 29430, 9810},
       {49050, 20000, 9810, 49050, 29430, 9810}},
      // Walking down: 1000, then min(30000, 1000 + 19620), then min(45000, 20620 + 19620).
      {"increase per cell", 3, 0, {45000, 30000, 1000, 9000, 5000, 1000},
       {40240, 20620, 1000, 9000, 5000, 1000}},
      {"other values", 4, 0, {60000, 20000, 12000, 1, 2, 3},
       {60000, 20000, 12000, 1, 2, 3}},
      {"only block 1", 2, 0, {60000, 20000, 12000, 60000, 20000, 12000},
       {49050, 20000, 9810, 60000, 20000, 12000}, 1},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    SetArraysZero();
    setDefaults();
    const Box b = makeBox({1, 1}, {1}, {1, 1, 1});
    setBedCells(b);
    block[1].bcellend = k.lastBed;
    FlagPresFilter = k.form;
    for (int c = 1; c <= 6; ++c) {
      Cpres[c] = k.p[c - 1];
      Cxvel[c] = 0.6 * k.speed;
      Cyvel[c] = 0.8 * k.speed;
    }
    pressureFilter();
    for (int c = 1; c <= 6; ++c) EXPECT_NEAR(Cpres[c], k.expected[c - 1], 1e-9) << c;
  }
}

TEST_F(SurfaceCondition, FroudeFilterAveragesTheSpeedOverTheColumn) {
  // Speeds 0.2, 0.4 and 0.9 m/s: mean 0.5, as in the table above.
  const Box b = makeBox({1}, {1}, {1, 1, 1});
  setBedCells(b);
  FlagPresFilter = 1;
  const double speeds[] = {0.2, 0.4, 0.9};
  for (int c = 1; c <= 3; ++c) {
    Cpres[c] = 39240;
    Cxvel[c] = speeds[c - 1];
  }
  pressureFilter();
  const double x = 3 * 0.5 / std::sqrt(9.81 * 3);
  EXPECT_NEAR(Cpres[1], x * 39240 + (1 - x) * 29430, 1e-9);
}

TEST_F(SurfaceCondition, LimitAgainstTheReferenceColumn) {
  // Block 1 columns at i = 2, 3 and j = 2, 3 (box columns 0, 1); the reference is column
  // (2, jPresUp[1]). Pressures 1000 times the cell number; reference bottom cells: j 2 -> cell
  // 1 (1000 Pa), j 3 -> cell 3 (3000 Pa). Above p_ref + 9810 the pressure becomes p_ref.
  struct Case {
    int j;
    double pref;  // 0: no limit
  };
  for (const Case& k : {Case{0, 0}, Case{2, 1000}, Case{3, 3000}, Case{1, 0}, Case{4, 0}}) {
    SCOPED_TRACE(k.j);
    SetArraysZero();
    setDefaults();
    makeBox({1, 1}, {1, 1}, {1, 1});
    for (int c = 1; c <= NoCells; ++c) Cpres[c] = 1000.0 * c;
    Cpres[5] = 1000 + 9810;  // just at the threshold of reference 1000
    Cpres[6] = 3000 + 9810 + 1e-6;
    jPresUp[1] = k.j;
    limitPressureMPI();
    for (int c = 1; c <= NoCells; ++c) {
      double before = c == 5 ? 1000 + 9810 : c == 6 ? 3000 + 9810 + 1e-6 : 1000.0 * c;
      const double expected = k.pref > 0 && before > k.pref + 9810 ? k.pref : before;
      EXPECT_EQ(Cpres[c], expected) << c;
    }
  }
}

TEST_F(SurfaceCondition, ReferenceIndexOutsideTheGridEndsTheRun) {
  // The grid has grid lines j = 0..ynumber + 1; a reference beyond them is refused instead of
  // reading past the level table.
  for (int j : {50, -2}) {
    SCOPED_TRACE(j);
    SetArraysZero();
    setDefaults();
    makeBox({1, 1}, {1, 1}, {1});
    for (int c = 1; c <= NoCells; ++c) Cpres[c] = 1e5;
    jPresUp[1] = j;
    try {
      limitPressureMPI();
      ADD_FAILURE() << "the run goes on";
    } catch (const RunEnd& e) {
      EXPECT_EQ(e.status, 1);
    }
    EXPECT_EQ(log(), "Error for F 317 in control: grid index j " + std::to_string(j) +
                         " lies outside the grid (1.." + std::to_string(ynumber + 1) + ")\n");
    for (int c = 1; c <= NoCells; ++c) EXPECT_EQ(Cpres[c], 1e5);
  }
  // The last grid line is still inside.
  SetArraysZero();
  setDefaults();
  makeBox({1, 1}, {1, 1}, {1});
  jPresUp[1] = ynumber + 1;
  EXPECT_NO_THROW(limitPressureMPI());
}

TEST_F(SurfaceCondition, ExchangesOfAnUndividedRunDoNothing) {
  const Box b = makeBox({1}, {1}, {1});
  Csource[1] = 3;
  Cpres[1] = 4;
  pressure_sourceMPI();
  pressure_sourceMPI2();
  pressure_transferMPI();
  EXPECT_EQ(Csource[b.cell(0, 0, 0)], 3.0);
  EXPECT_EQ(Cpres[1], 4.0);
}

}  // namespace
}  // namespace qorva
