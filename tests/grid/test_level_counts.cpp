// Plan areas of the columns, the automatic depth thresholds, and the level counts of grid lines
// and columns, on small hand-made grids whose values are worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "grid/grid.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "support/scratch.h"

namespace qorva {


namespace {

class LevelCounts : public test::Scratch {
 protected:
  // A 6 by 6 plane of grid lines with 11 levels; options that decide which arrays exist
  // (F 488) are set before.
  void allocate() {
    xnumber = 6;
    ynumber = 6;
    znumber = 11;
    MaxCeller = MaxFlater = MaxPunkter = 100;
    MaxNester = 10;
    MaxConnFlate = 10;
    ASSERT_EQ(sialloc(), 0);
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
  }
  static void oneBlock(int i1, int i2, int j1, int j2) {
    NoBlocks = 1;
    block[1].i1 = i1;
    block[1].i2 = i2;
    block[1].j1 = j1;
    block[1].j2 = j2;
  }
  // Water level 0 and the bed at -depth.
  static void setDepth(int i, int j, double depth) {
    zval[i][j][znumber] = 0.0;
    zval[i][j][1] = -depth;
  }
  // Plan corners of column (1, 1): grid points (0,0), (1,0), (1,1), (0,1).
  static void quad(double x00, double y00, double x10, double y10, double x11, double y11,
                   double x01, double y01) {
    xval[0][0] = x00; yval[0][0] = y00;
    xval[1][0] = x10; yval[1][0] = y10;
    xval[1][1] = x11; yval[1][1] = y11;
    xval[0][1] = x01; yval[0][1] = y01;
  }
  // Grid points on a regular plan grid of dx by dy metres.
  static void regular(double dx, double dy) {
    for (int i = 0; i <= xnumber + 1; ++i)
      for (int j = 0; j <= ynumber + 1; ++j) {
        xval[i][j] = dx * i;
        yval[i][j] = dy * j;
      }
  }
};

int endStatus(void (*f)()) {
  try {
    f();
  } catch (const RunEnd& e) {
    return e.status;
  }
  return 1000;
}

// ---------------------------------------------------------------------------------------------
// Plan areas

TEST_F(LevelCounts, AreaOfOneColumnFromItsDiagonals) {
  allocate();
  oneBlock(1, 1, 1, 1);
  struct Case {
    const char* what;
    double c[8];  // corners (0,0), (1,0), (1,1), (0,1) as x, y pairs
    double area;  // by the shoelace formula
  } cases[] = {
      {"square of 100 m", {0, 0, 100, 0, 100, 100, 0, 100}, 10000.0},
      {"parallelogram, base 4, height 3", {0, 0, 4, 0, 6, 3, 2, 3}, 12.0},
      {"trapezoid, sides 6 and 2, height 2", {0, 0, 6, 0, 4, 2, 2, 2}, 8.0},
      {"skewed quadrilateral", {0, 0, 5, 1, 4, 4, 1, 3}, 12.0},
      {"corners clockwise", {0, 0, -3, 0, -3, 2, 0, 2}, 6.0},
      {"all corners on one line", {0, 0, 1, 0, 2, 0, 3, 0}, 0.0},
      {"area 1e-22, below the floor", {0, 0, 1e-11, 0, 1e-11, 1e-11, 0, 1e-11}, 0.0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    armap[1][1] = -1;
    quad(k.c[0], k.c[1], k.c[2], k.c[3], k.c[4], k.c[5], k.c[6], k.c[7]);
    ArmapMake();
    EXPECT_DOUBLE_EQ(armap[1][1], k.area);
  }
}

TEST_F(LevelCounts, AreasFillTheColumnsOfActiveBlocksOnly) {
  allocate();
  regular(10.0, 5.0);
  NoBlocks = 2;
  block[1].i1 = 1; block[1].i2 = 3; block[1].j1 = 1; block[1].j2 = 2;
  block[2].i1 = 4; block[2].i2 = 5; block[2].j1 = 1; block[2].j2 = 2;
  block[2].skip = 1;
  armap[4][1] = 7.0;
  ArmapMake();
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 2; ++j) EXPECT_DOUBLE_EQ(armap[i][j], 50.0) << i << " " << j;
  EXPECT_EQ(armap[4][1], 7.0);  // skipped block keeps its value
  EXPECT_EQ(armap[5][2], 0.0);
  EXPECT_EQ(armap[1][3], 0.0);  // outside every block
  EXPECT_EQ(armap[0][0], 0.0);
}

// ---------------------------------------------------------------------------------------------
// Automatic depth thresholds

TEST_F(LevelCounts, ThresholdsFollowTheLargestColumn) {
  allocate();
  // Block 1: columns 20 m wide except column 3 (50 m), 20 m long except row 1 (50 m), so
  // 400 m2 and 1000 m2 columns and one of 2500 m2 at (3, 1); block 2 is skipped and its
  // 1e6 m2 column does not count.
  regular(20.0, 20.0);
  for (int j = 0; j <= ynumber + 1; ++j) xval[3][j] = xval[2][j] + 50.0;
  for (int i = 0; i <= xnumber + 1; ++i) {
    yval[i][1] = 20.0;
    yval[i][0] = 20.0 - 50.0;
  }
  NoBlocks = 2;
  block[1].i1 = 1; block[1].i2 = 3; block[1].j1 = 1; block[1].j2 = 2;
  block[2].i1 = 5; block[2].i2 = 5; block[2].j1 = 5; block[2].j2 = 5;
  block[2].skip = 1;
  ArmapMake();
  ASSERT_DOUBLE_EQ(armap[3][1], 2500.0);
  ASSERT_DOUBLE_EQ(armap[1][1], 1000.0);
  ASSERT_DOUBLE_EQ(armap[1][2], 400.0);
  armap[5][5] = 1e6;
  computeF94();
  EXPECT_DOUBLE_EQ(MinVertDist1, 5.0);   // 0.1 * sqrt(2500)
  EXPECT_DOUBLE_EQ(MinVertDist0, 0.25);  // 0.05 * 5
  EXPECT_DOUBLE_EQ(MinVertDist, 0.001);  // F 86 value untouched
}

TEST_F(LevelCounts, ThresholdsOnHundredMetreColumnsDryAShallowLine) {
  allocate();
  regular(100.0, 100.0);
  oneBlock(1, 1, 1, 1);
  ArmapMake();
  computeF94();
  EXPECT_DOUBLE_EQ(MinVertDist1, 10.0);
  EXPECT_DOUBLE_EQ(MinVertDist0, 0.5);
  setDepth(0, 0, 0.004);
  setDepth(1, 0, 5.0);
  setDepth(0, 1, 0.5);   // exactly the dry threshold: one cell
  setDepth(1, 1, 10.0);  // exactly the one-cell threshold: the power rule
  MakeAntlin(1, 1, 1, 1, 1.0 / (10.0 + 1e-10));
  EXPECT_EQ(antlin[0][0], 1);
  EXPECT_EQ(antlin[1][0], 2);
  EXPECT_EQ(antlin[0][1], 2);
  EXPECT_EQ(antlin[1][1], 10);
}

TEST_F(LevelCounts, ThresholdsWithoutBlocksAreZero) {
  allocate();
  NoBlocks = 0;
  computeF94();
  EXPECT_EQ(MinVertDist0, 0.0);
  EXPECT_EQ(MinVertDist1, 0.0);
  // A line of depth 0 is then neither dry nor shallow and gets the shallowest power count.
  setDepth(1, 1, 0.0);
  MakeAntlin(1, 1, 1, 1, 1.0 / (0.0 + 1e-10));
  EXPECT_EQ(antlin[1][1], 2);
}

TEST_F(LevelCounts, DebugRunLogsTheThresholds) {
  allocate();
  regular(100.0, 100.0);
  oneBlock(1, 1, 1, 1);
  ArmapMake();
  debugging = 'D';
  std::remove("boogie");
  computeF94();
  EXPECT_EQ(log(), "Computed F 94 parameters to 0.500000 10.000000\n");

  std::remove("boogie");
  debugging = 'N';
  computeF94();
  EXPECT_FALSE(std::filesystem::exists("boogie"));
}

TEST_F(LevelCounts, DebugRunEndsWhenTheLogCannotBeOpened) {
  allocate();
  debugging = 'D';
  std::remove("boogie");
  std::filesystem::create_directory("boogie");
  EXPECT_EQ(endStatus(computeF94), -3);
  EXPECT_EQ(mc_message, "cannot open file 'boogie' ");
}

// ---------------------------------------------------------------------------------------------
// Levels of a grid line

TEST_F(LevelCounts, LevelsOfALineFromItsDepth) {
  allocate();
  struct Case {
    const char* what;
    double depth, d0, d1, ratio;
    int levels;
  } cases[] = {
      // t = (depth / 10)^0.6 * 9 with the scale 1 / (10 + 1e-10)
      {"deepest line stays just below the cap (t = 8.99999999995)", 10.0, 0.001, 0.01, 1.0, 10},
      {"half depth: t = 9 * 0.5^0.6 = 5.938", 5.0, 0.001, 0.01, 1.0, 7},
      {"tenth: t = 9 * 0.1^0.6 = 2.261", 1.0, 0.001, 0.01, 1.0, 4},
      {"hundredth: t = 9 * 0.01^0.6 = 0.568", 0.1, 0.001, 0.01, 1.0, 2},
      {"deeper than the depth scale is capped", 20.0, 0.001, 0.01, 1.0, 11},
      {"ratio 2 doubles the scale and reaches the cap", 10.0, 0.001, 0.01, 2.0, 11},
      {"ratio 2 at depth 1: t = 9 * 0.2^0.6 = 3.427", 1.0, 0.001, 0.01, 2.0, 5},
      {"between the thresholds: one cell", 0.005, 0.001, 0.01, 1.0, 2},
      {"below the dry threshold", 0.0005, 0.001, 0.01, 1.0, 1},
      {"bed above the water", -0.3, 0.001, 0.01, 1.0, 1},
      {"exactly the dry threshold is not dry", 0.5, 0.5, 1.0, 1.0, 2},
      {"just below the one-cell threshold", 0.75, 0.5, 1.0, 1.0, 2},
      {"exactly the one-cell threshold uses the power rule", 1.0, 0.5, 1.0, 1.0, 4},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    MinVertDist0 = k.d0;
    MinVertDist1 = k.d1;
    for (int i = 0; i <= 1; ++i)
      for (int j = 0; j <= 1; ++j) {
        setDepth(i, j, k.depth);
        antlin[i][j] = -1;
      }
    MakeAntlin(1, 1, 1, 1, k.ratio / (10.0 + 1e-10));
    for (int i = 0; i <= 1; ++i)
      for (int j = 0; j <= 1; ++j) EXPECT_EQ(antlin[i][j], k.levels) << i << " " << j;
  }
}

TEST_F(LevelCounts, LinesOfTheWindowAndTheirCellNumbersAreCleared) {
  allocate();
  MinVertDist0 = 0.001;
  MinVertDist1 = 0.01;
  for (int i = 0; i <= xnumber + 1; ++i)
    for (int j = 0; j <= ynumber + 1; ++j) {
      setDepth(i, j, 1.0);
      for (int k = 0; k <= znumber + 1; ++k) num[i][j][k] = 9;
    }
  // Columns 2..3 by 3..4: grid lines 1..3 by 2..4.
  MakeAntlin(2, 3, 3, 4, 1.0 / (10.0 + 1e-10));
  for (int i = 0; i <= xnumber + 1; ++i)
    for (int j = 0; j <= ynumber + 1; ++j) {
      const bool in = i >= 1 && i <= 3 && j >= 2 && j <= 4;
      EXPECT_EQ(antlin[i][j], in ? 4 : 0) << i << " " << j;
      EXPECT_EQ(num[i][j][0], 9);
      EXPECT_EQ(num[i][j][znumber + 1], 9);
      for (int k = 1; k <= znumber; ++k) EXPECT_EQ(num[i][j][k], in ? 0 : 9) << i << j << k;
    }
}

// ---------------------------------------------------------------------------------------------
// Cells of a column

TEST_F(LevelCounts, CellsOfAColumnFromItsDeepestCorner) {
  allocate();
  struct Case {
    const char* what;
    int sw, se, ne, nw;  // corner counts (0,0), (1,0), (1,1), (0,1)
    int removed;         // G 13 mark
    int cells;
  } cases[] = {
      {"one deep corner", 1, 1, 1, 4, 0, 3},
      {"all corners dry", 1, 1, 1, 1, 0, 0},
      {"one shallow corner", 2, 1, 1, 1, 0, 1},
      {"full depth", 11, 5, 3, 1, 0, 10},
      {"corners never counted", 0, 0, 0, 0, 0, 0},
      {"removed region", 11, 11, 11, 11, 1, 0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    antlin[0][0] = k.sw;
    antlin[1][0] = k.se;
    antlin[1][1] = k.ne;
    antlin[0][1] = k.nw;
    bedOutBlock[1][1] = k.removed;
    ant[1][1] = -7;
    MakeAnt(1, 1, 1, 1);
    EXPECT_EQ(ant[1][1], k.cells);
  }
}

TEST_F(LevelCounts, NewlyWetColumnNeedsTheMeanDepthWithMethod13) {
  allocate();
  struct Case {
    const char* what;
    int method, oldBottom;
    double d2;
    int cells;
  } cases[] = {
      // corner depths 0.01, 0.02, 0.03, 0.04: mean 0.025
      {"dry before, mean below the limit", 13, 0, 0.05, 0},
      {"dry before, mean above the limit", 13, 0, 0.02, 2},
      {"wet before", 13, 17, 0.05, 2},
      {"other method", 11, 0, 0.05, 2},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    UMethod = k.method;
    MinVertDist2 = k.d2;
    pointcell_old[1][1] = k.oldBottom;
    setDepth(0, 0, 0.01);
    setDepth(1, 0, 0.02);
    setDepth(1, 1, 0.03);
    setDepth(0, 1, 0.04);
    antlin[0][0] = antlin[1][0] = antlin[0][1] = 2;
    antlin[1][1] = 3;
    MakeAnt(1, 1, 1, 1);
    EXPECT_EQ(ant[1][1], k.cells);
  }
}

TEST_F(LevelCounts, RowOfColumnsOnHundredMetreCells) {
  allocate();
  regular(100.0, 100.0);
  oneBlock(1, 3, 1, 1);
  ArmapMake();
  computeF94();  // 0.5 and 10 m
  const double depth[4] = {0.0, 3.0, 20.0, 15.0};
  for (int i = 0; i <= 3; ++i)
    for (int j = 0; j <= 1; ++j) setDepth(i, j, depth[i]);
  MaxDepth = 20.0;
  MakeAntlin(1, 3, 1, 1, 1.0 / (MaxDepth + 1e-10));
  // 0 m dry; 3 m one cell; 20 m just below the cap; 15 m: 9 * 0.75^0.6 = 7.573.
  const int levels[4] = {1, 2, 10, 9};
  for (int i = 0; i <= 3; ++i) EXPECT_EQ(antlin[i][0], levels[i]) << i;
  MakeAnt(1, 3, 1, 1);
  EXPECT_EQ(ant[1][1], 1);
  EXPECT_EQ(ant[2][1], 9);
  EXPECT_EQ(ant[3][1], 9);
}

TEST_F(LevelCounts, WindowsPastTheTablesStayInside) {
  allocate();
  MinVertDist0 = 0.001;
  MinVertDist1 = 0.01;
  for (int i = 0; i <= xnumber + 1; ++i)
    for (int j = 0; j <= ynumber + 1; ++j) setDepth(i, j, 1.0);
  MakeAntlin(0, 40, -3, 40, 0.1);
  MakeAnt(0, 40, -3, 40);
  EXPECT_EQ(antlin[xnumber + 1][ynumber + 1], 4);
  EXPECT_EQ(antlin[0][0], 4);
  EXPECT_EQ(ant[xnumber + 1][ynumber + 1], 3);
  EXPECT_EQ(ant[0][0], 0);  // no column west of the first grid line
}

// ---------------------------------------------------------------------------------------------
// Levels with a roughness limit (two-layer grid)

class LevelCountsRough : public LevelCounts {
 protected:
  void SetUp() override {
    LevelCounts::SetUp();
    UMethod2 = 2;  // creates TurbTop and antlinT
    allocate();
    MinVertDist0 = 0.001;
    MinVertDist1 = 0.01;
    GridDistCoeff = 0.6;
    NestNoRatioLoc = 1.0;
    // Table levels 0, 0.5, ..., 5.0 at k = 1..11.
    for (int k = 1; k <= znumber; ++k) zdistrib[k] = 0.5 * (k - 1);
  }
  void TearDown() override {
    NestNoRatioLoc = 1.0;
    LevelCounts::TearDown();
  }
  // Bed 0, interface and water level on every line of the plane.
  static void levels(double turbTop, double water) {
    for (int i = 0; i <= xnumber + 1; ++i)
      for (int j = 0; j <= ynumber + 1; ++j) {
        zval[i][j][1] = 0.0;
        zval[i][j][znumber] = water;
        TurbTop[i][j] = turbTop;
      }
  }
};

TEST_F(LevelCountsRough, LowerLayerCountAndUpperTableLevels) {
  // One column (1, 1) with bed cell 1: every line of the block reads that column four times,
  // so r = 0.25 * 4 * roughness / depth.
  pointbed[1][1] = 1;
  struct Case {
    const char* what;
    int method2;
    double turbTop, water, roughness, limit, nestRatio;
    int lower, total;
  } cases[] = {
      // depth 1, r = 0.5; power rule: 9 * 0.5^0.6 + 2 = 7.938
      {"rough bed: one lower cell; levels 2..4 and the surface above", 1, 1.0, 5.0, 0.5, 0.1,
       1.0, 2, 8},
      {"smooth enough: power rule, levels 1.5..4.5 and the surface", 1, 1.0, 5.0, 0.5, 0.6,
       1.0, 7, 15},
      {"ratio 2 passes the level count: 2 * 5.938 + 2", 1, 1.0, 5.0, 0.5, 0.6, 2.0, 13, 21},
      {"interface at the surface: no upper level", 1, 1.0, 1.0, 0.5, 0.1, 1.0, 2, 2},
      {"dry lower layer: the table levels between 0.00015 and 4.99995", 1, 0.0001, 5.0, 0.5,
       0.1, 1.0, 1, 11},
      {"interface on the bed", 1, 0.0, 5.0, 0.5, 0.1, 1.0, 1, 1},
      {"one layer only", 2, 1.0, 5.0, 0.5, 0.6, 1.0, 7, 7},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    UMethod2 = k.method2;
    GridRoughnessParam = k.limit;
    NestNoRatioLoc = k.nestRatio;
    Broughness[1] = k.roughness;
    levels(k.turbTop, k.water);
    computeAntlinRoughness(1, 1, 1, 1, 0.5);
    for (int i = 0; i <= 1; ++i)
      for (int j = 0; j <= 1; ++j) {
        EXPECT_EQ(antlinT[i][j], k.lower) << i << " " << j;
        EXPECT_EQ(antlin[i][j], k.total) << i << " " << j;
      }
  }
}

TEST_F(LevelCountsRough, RoughnessIsReadFromTheBlocksColumnsAroundTheLine) {
  // Block of columns 1..2 in row 1. Line 0 reads column 1 four times, line 1 columns 1 and 2
  // twice each, line 2 column 2 four times; column 3 lies outside the block.
  pointbed[1][1] = 1;
  pointbed[2][1] = 2;
  pointbed[3][1] = 3;
  Broughness[1] = 0.8;
  Broughness[2] = 0.0;
  Broughness[3] = 100.0;
  GridRoughnessParam = 0.5;
  levels(1.0, 1.0);
  computeAntlinRoughness(1, 2, 1, 1, 0.5);
  // r = 0.8, 0.4 and 0: only line 0 is too rough.
  const int lower[3] = {2, 7, 7};
  for (int i = 0; i <= 2; ++i)
    for (int j = 0; j <= 1; ++j) EXPECT_EQ(antlinT[i][j], lower[i]) << i << " " << j;
}

}  // namespace
}  // namespace qorva
