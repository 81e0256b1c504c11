// The vertical methods of F 64 besides the default one: level counts by hand, the worked
// cases of the table methods and of the steep reduction, the grid volume of every method
// against the water volume, the waterline fitting and the room the F 65 sizes leave.
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "discretisation/discretisation.h"
#include "grid/cell_template.h"
#include "grid/generator.h"
#include "grid/grid.h"
#include "state/arrays.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva {
namespace {

// A block of 3 x 3 columns (i, j = 2..4) on the grid lines 1..4, one metre apart, in a grid
// of G 1 6 6 11; the water surface at 0 and the bed at minus the depth of each line.
class VerticalMethods : public test::Scratch {
 protected:
  void SetUp() override {
    test::Scratch::SetUp();
    fresh();
  }

  void fresh() {
    for (const auto& e : std::filesystem::directory_iterator(std::filesystem::current_path()))
      std::filesystem::remove_all(e.path());
    SetArraysZero();
    setDefaults();
    stimet = 0;
    xnumber = ynumber = 6;
    znumber = 11;
    MaxCeller = 1000;
    MaxFlater = 3000;
    MaxPunkter = 3000;
  }

  void layout(const std::function<double(int, int)>& depth) {
    ASSERT_EQ(sialloc(), 0);
    NoBlocks = 1;
    block[1].i1 = 2;
    block[1].i2 = 4;
    block[1].j1 = 2;
    block[1].j2 = 4;
    block[1].bedfollow = 1;
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 4; ++j) {
        xval[i][j] = i - 1;
        yval[i][j] = j - 1;
        zval[i][j][1] = -depth(i, j);
        zval[i][j][znumber] = 0;
      }
  }

  static int run() {
    try {
      return Unstructure();
    } catch (const RunEnd& e) {
      return 1000 + e.status;
    }
  }
};

// Every surface that names a cell is one of that cell's sides: a face the cells do not count
// would carry flow that no cell's balance sees.
void expectFacesOnTheirCells() {
  const Table1<int>* sides[6] = {&Cflates, &Cflatee, &Cflaten, &Cflatew, &Cflateb, &Cflatet};
  for (int f = 1; f <= NoSurfaces; ++f)
    for (const int c : {Fcell1[f], Fcell2[f]}) {
      if (c <= 0) continue;
      bool found = false;
      for (const Table1<int>* s : sides) found = found || (*s)[c] == f;
      EXPECT_TRUE(found) << "surface " << f << " names cell " << c;
    }
}

// ---- level counts -------------------------------------------------------------------------

struct LevelCase {
  int method;
  double depth;
  int levels;
};

// znumber 11, D = 10, GridDistCoeff 0.6, MinVertDist0 0.05, MinVertDist1 0.2, MinVertDist
// 0.001, MaxDepth 10. (depth / 10) ^ 0.6 is 1, 0.6598, 0.2512, 0.0631, 0.0158 for the depths
// 10, 5, 1, 0.1, 0.01.
TEST_F(VerticalMethods, LevelCountsOfEachMethodByHand) {
  const std::vector<LevelCase> cases = {
      // 2 + trunc(9 f): 11, 7 (5.94), 4 (2.26); one cell below 0.2, dry below 0.05.
      {12, 10, 11}, {12, 5, 7}, {12, 1, 4}, {12, 0.1, 2}, {12, 0.01, 1},
      {3, 5, 7}, {4, 1, 4}, {7, 5, 7}, {37, 1, 4},
      // Exponent 0.6 whatever F 87 says (same here).
      {9, 10, 11}, {9, 5, 7}, {5, 1, 4}, {35, 0.01, 1},
      // 1 + trunc(10 f): 11, 7 (6.60), 3 (2.51).
      {14, 10, 11}, {14, 5, 7}, {15, 1, 3}, {15, 0.1, 2}, {14, 0.01, 1},
      // Method 10: dry only below MinVertDist (0.001), no one-cell band: 0.1 gives
      // 2 + trunc(0.57), 0.01 gives 2 + trunc(0.14).
      {10, 5, 7}, {10, 0.1, 2}, {10, 0.01, 2}, {10, 0.0005, 1},
      // Method 6: at least three levels on a wet line.
      {6, 5, 7}, {36, 0.1, 3}, {6, 0.01, 3}, {6, 0.0005, 1},
      // Method 2 scales by MaxDepth + 1e-10: the deepest line just misses the full count.
      {2, 10, 10}, {32, 5, 7},
  };
  for (const LevelCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "method " << c.method << " depth " << c.depth);
    GridDistCoeff = 0.6;
    MinVertDist0 = 0.05;
    MinVertDist1 = 0.2;
    MinVertDist = 0.001;
    MaxDepth = 10;
    EXPECT_EQ(methodLineLevels(c.method, c.depth, 10.0), c.levels);
  }
}

// Method 9 keeps the exponent 0.6 where F 87 gives another: (0.5)^0.3 = 0.812 gives method 12
// 2 + trunc(7.31) = 9 levels, method 9 still 7.
TEST_F(VerticalMethods, MethodNineKeepsItsOwnExponent) {
  GridDistCoeff = 0.3;
  MinVertDist0 = 0.05;
  MinVertDist1 = 0.2;
  EXPECT_EQ(methodLineLevels(12, 5, 10), 9);
  EXPECT_EQ(methodLineLevels(9, 5, 10), 7);
}

// F 209 may set the depth scale of method 2 below the deepest line: that line keeps the full
// count instead of needing levels below the first.
TEST_F(VerticalMethods, MethodTwoStaysWithinTheLevelsWhenTheScaleIsShallow) {
  MinVertDist0 = 0.05;
  MinVertDist1 = 0.2;
  MaxDepth = 2;  // as F 209 2 leaves it
  EXPECT_EQ(methodLineLevels(2, 5, 10), 11);
  EXPECT_EQ(methodLineLevels(2, 1, 10), 2 + static_cast<int>(9 * std::pow(0.5, 0.6)));
}

// No depth at all with thresholds of 0: the shallowest count, not a NaN.
TEST_F(VerticalMethods, NoDepthAnywhereGivesTheShallowestCount) {
  MinVertDist0 = MinVertDist1 = MinVertDist = 0;
  EXPECT_EQ(methodLineLevels(12, 0, 0), 2);
  EXPECT_EQ(methodLineLevels(14, 0, 0), 1);
  EXPECT_EQ(methodLineLevels(10, 0, 0), 2);
}

// ---- the worked cases -----------------------------------------------------------------------

// Table 1, 2, 3, 4, 5 (znumber 5) and every line's bed at 2.5 under a surface at 5:
// method 0 snaps the bed to 2.0 (levels 5, 4, 3, 2, 2; L = 4), method 1 keeps it (level 2 is
// the bed 2.5). Each column then has 3 cells, and the grid holds 9 m2 times 3.0 or 2.5 m.
TEST_F(VerticalMethods, TableMethodsOnTheWorkedLine) {
  struct Case {
    int method;
    double level2, bed, volume;
  };
  for (const Case& c : {Case{0, 2.0, 2.0, 27.0}, Case{30, 2.0, 2.0, 27.0},
                        Case{1, 2.5, 2.5, 22.5}, Case{31, 2.5, 2.5, 22.5}}) {
    SCOPED_TRACE(c.method);
    fresh();
    znumber = 5;
    UMethod = c.method;
    layout([](int, int) { return 2.5; });
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 4; ++j) {
        zval[i][j][1] = 2.5;
        zval[i][j][5] = 5.0;
      }
    for (int k = 1; k <= 5; ++k) zdistrib[k] = k;
    ASSERT_EQ(run(), 1) << log();
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 4; ++j) {
        EXPECT_EQ(antlin[i][j], 4);
        EXPECT_DOUBLE_EQ(zval[i][j][5], 5.0);
        EXPECT_DOUBLE_EQ(zval[i][j][4], 4.0);
        EXPECT_DOUBLE_EQ(zval[i][j][3], 3.0);
        EXPECT_DOUBLE_EQ(zval[i][j][2], c.level2);
        EXPECT_DOUBLE_EQ(zval[i][j][1], c.bed);
      }
    EXPECT_EQ(NoCells, 27);
    metric();
    double v = 0;
    for (int cell = 1; cell <= NoCells; ++cell) v += Cvol[cell];
    EXPECT_NEAR(v, c.volume, 1e-9 * c.volume);
  }
}

// Corner depths 10, 10, 2, 2 (counts 11, 11, 4, 4 with znumber 11, D 10, F 87 0.6) and a
// shorter side of 3 m: r = 10 - 2 - 3 = 5, so the column loses min(trunc(5 * 11 / 10), 7) = 5
// of its 10 cells; with a shorter side of 8 m (r = 0) it loses none.
TEST_F(VerticalMethods, SteepReductionOfTheWorkedColumn) {
  for (const double side : {3.0, 8.0}) {
    SCOPED_TRACE(side);
    fresh();
    layout([](int, int j) { return j >= 2 ? 10.0 : 2.0; });
    ASSERT_GE(AllocateArrays(1, 1, 1), -0.01);
    MinVertDist0 = 0.05;
    MinVertDist1 = 0.2;
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 4; ++j) {
        xval[i][j] = (i - 1) * side;
        yval[i][j] = (j - 1) * 10.0;
        antlin[i][j] = methodLineLevels(14, lineDepth(i, j), 10.0);
      }
    EXPECT_EQ(antlin[2][2], 11);
    EXPECT_EQ(antlin[2][1], 4);
    EXPECT_EQ(steepCut(2, 2, std::min(planLength(2, 2, 2, 1), planLength(2, 2, 1, 2))),
              side == 3.0 ? 5 : 0);
  }
}

// ---- every method keeps the water -----------------------------------------------------------

// A bank that rises toward the north, 2.0 m deep on j = 1 to 0.5 m on j = 4: each column's
// water is its area times the mean of its corner depths (the bed is plane in every column),
// 1 m2 x (1.75 + 1.25 + 0.75) x 3 = 11.25 m3.
double bank(int, int j) { return 2.0 - 0.5 * (j - 1); }

TEST_F(VerticalMethods, EveryMethodFillsTheWaterWithCellsOfPositiveVolume) {
  for (const int m : {1, 2, 3, 4, 5, 6, 10, 12, 14, 15, 31, 32, 33, 35, 36}) {
    SCOPED_TRACE(testing::Message() << "F 64 " << m);
    fresh();
    UMethod = m;
    MinVertDist0 = 0.05;
    MinVertDist1 = 0.2;
    layout(bank);
    // The table methods read the levels from G 3: 11 levels from -2 m to 0.
    for (int k = 1; k <= znumber; ++k) zdistrib[k] = -2.0 + 0.2 * (k - 1);
    ASSERT_EQ(run(), 1) << log();
    ASSERT_GT(NoCells, 9);
    try {
      metric();
    } catch (const RunEnd& e) {
      FAIL() << "metric ended the run with " << e.status << "\n" << log();
    }
    double v = 0;
    for (int c = 1; c <= NoCells; ++c) {
      EXPECT_GT(Cvol[c], 0) << "cell " << c;
      v += Cvol[c];
    }
    EXPECT_NEAR(v, 11.25, 1e-9 * 11.25);
    expectFacesOnTheirCells();
    EXPECT_EQ(block[1].cellend, NoCells);
    EXPECT_EQ(block[1].inwork, 1);
  }
}

// ---- waterline fitting (method 10) ----------------------------------------------------------

// Column (2, 2): corner 1 (line (1, 1)) dry, corner 4 (line (1, 2)) wet, a west neighbour, no
// south neighbour (the block edge) and no cells beyond corner 1. Depths -0.2 / 0.6 move
// corner 1 a quarter of the way to corner 4; -0.8 / 0.2 would move it 0.8, capped at 0.5.
TEST_F(VerticalMethods, WaterlineFittingMovesADryCornerAlongTheWetSide) {
  struct Case {
    double dry, wet, moved;
  };
  for (const Case& c : {Case{-0.2, 0.6, 0.25}, Case{-0.8, 0.2, 0.5}}) {
    SCOPED_TRACE(c.dry);
    fresh();
    UMethod = 10;
    MinVertDist = 0.001;
    MinVertDist0 = 0.05;
    MinVertDist1 = 0.2;
    // Block of columns i = 2..4, j = 2..4; its west column i = 2 has a west neighbour only
    // in a block that starts at i = 1, so the block starts there instead.
    layout([&](int i, int j) {
      if (i == 0 || (i == 1 && j == 1)) return c.dry;
      if (i == 1 && j == 2) return c.wet;
      return 1.0;
    });
    block[1].i1 = 1;
    for (int j = 0; j <= 4; ++j) {
      xval[0][j] = -1;
      yval[0][j] = j - 1;
      zval[0][j][1] = -c.dry;
      zval[0][j][znumber] = 0;
    }
    ASSERT_EQ(run(), 1) << log();
    const int cell = static_cast<int>(zval[2][2][0]);
    ASSERT_GT(cell, 0);
    ASSERT_GT(Ccellw[cell], 0);
    ASSERT_EQ(Ccells[cell], 0);
    EXPECT_NEAR(Px[Cpoint1[cell]], 0.0, 1e-12);
    EXPECT_NEAR(Py[Cpoint1[cell]], c.moved, 1e-12);
    EXPECT_NEAR(Py[Cpoint5[cell]], c.moved, 1e-12);
  }
}

// ---- F 65 ---------------------------------------------------------------------------------

// Every builder tests that a whole cell fits before it writes one: each table too small ends
// the build with the F 65 report and a negative result, and no count reaches its capacity.
TEST_F(VerticalMethods, EveryMethodStopsCleanlyWhenTheTablesAreTooSmall) {
  struct Limit {
    const char* name;
    int cells, surfaces, points;
  };
  const Limit limits[] = {{"cells", 20, 3000, 3000},
                          {"surfaces", 1000, 40, 3000},
                          {"points", 1000, 3000, 30}};
  for (const int m : {0, 1, 2, 3, 4, 5, 6, 10, 12, 14, 15}) {
    for (const Limit& l : limits) {
      SCOPED_TRACE(testing::Message() << "F 64 " << m << ", " << l.name);
      fresh();
      UMethod = m;
      MinVertDist0 = 0.05;
      MinVertDist1 = 0.2;
      MaxCeller = l.cells;
      MaxFlater = l.surfaces;
      MaxPunkter = l.points;
      layout(bank);
      for (int k = 1; k <= znumber; ++k) zdistrib[k] = -2.0 + 0.2 * (k - 1);
      EXPECT_LT(run(), 0);
      EXPECT_LT(NoCells, MaxCeller - 1);
      EXPECT_LT(NoSurfaces, MaxFlater - 1);
      EXPECT_LT(NoPoints, MaxPunkter - 1);
      EXPECT_NE(log().find("Unstructured arrays are too small. Increase with the F 65"),
                std::string::npos);
    }
  }
}

// A dry grid line (bed above the water) has one point under methods 14 and 15: at its water
// level, where the wet columns beside it end, not the 0 / 0 of the even spacing.
TEST_F(VerticalMethods, ADryLineHasOnePointAtItsWaterLevel) {
  for (const int m : {14, 15}) {
    SCOPED_TRACE(m);
    fresh();
    UMethod = m;
    MinVertDist0 = 0.05;
    MinVertDist1 = 0.2;
    layout([](int i, int j) { return i == 4 && j == 4 ? -0.1 : 1.0; });
    ASSERT_EQ(run(), 1) << log();
    EXPECT_EQ(antlin[4][4], 1);
    const int p = numc[4][4][znumber];
    ASSERT_GT(p, 0);
    EXPECT_EQ(numc[4][4][1], p);
    EXPECT_DOUBLE_EQ(Pz[p], 0.0);
    for (int q = 1; q <= NoPoints; ++q) EXPECT_TRUE(std::isfinite(Pz[q])) << q;
    try {
      metric();
    } catch (const RunEnd& e) {
      FAIL() << "metric ended the run with " << e.status << "\n" << log();
    }
    for (int c = 1; c <= NoCells; ++c) EXPECT_GT(Cvol[c], 0) << "cell " << c;
  }
}

// ---- method 15 ------------------------------------------------------------------------------

// Lines i <= 2 are 10 m deep (11 levels), lines i >= 3 1 m (1 + trunc(0.1^0.6 x 10) = 3
// levels): columns i = 2 and 3 hold 10 cells, columns i = 4 hold 2. Columns 10 m wide keep
// the step of 9 m unreduced, and the bottom cells of columns 3 and 4 become each other's
// neighbours through the taller column's east surface.
TEST_F(VerticalMethods, MethodFifteenJoinsTheBottomCellsOfUnequalColumns) {
  UMethod = 15;
  MinVertDist0 = 0.05;
  MinVertDist1 = 0.2;
  layout([](int i, int) { return i <= 2 ? 10.0 : 1.0; });
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 4; ++j) {
      xval[i][j] = (i - 1) * 10.0;
      yval[i][j] = (j - 1) * 10.0;
    }
  ASSERT_EQ(run(), 1) << log();
  EXPECT_EQ(ant[3][3], 10);
  EXPECT_EQ(ant[4][3], 2);
  const int tall = static_cast<int>(zval[3][3][0]), low = static_cast<int>(zval[4][3][0]);
  EXPECT_EQ(Ccelle[tall], low);
  EXPECT_EQ(Ccellw[low], tall);
  EXPECT_EQ(Cflatee[tall], Cflatew[low]);
  EXPECT_EQ(Fcell1[Cflatew[low]], tall);
  EXPECT_EQ(Fcell2[Cflatew[low]], low);
  // The tall column's cell at the low column's bottom level (10) lets go of it and keeps the
  // face they shared as a wall.
  const int released = num[3][3][10];
  EXPECT_EQ(Ccelle[released], 0);
  EXPECT_EQ(Fcell1[Cflatee[released]], released);
  EXPECT_EQ(Fcell2[Cflatee[released]], 0);
  expectFacesOnTheirCells();
}

}  // namespace
}  // namespace qorva

namespace qorva {
namespace {

// ---- F 137 ----------------------------------------------------------------------------------

// znumber 6, lines i <= 2 0.2 m deep, i = 3 0.8 m, i = 4 1.0 m (D): 2 + trunc(4 (h / D)^0.6)
// gives 3, 5 and 6 levels, so the columns i = 2, 3, 4 hold 2, 4 and 5 cells at the levels
// 2..A + 1. The 2-cell column's top cell (level 3) lists the 4-cell column's cells at levels
// 3, 4 and 5 on its east side; its own east surface keeps entry (2 + 1) / 2 = 1 beyond it.
TEST_F(VerticalMethods, SeveralNeighboursOfATopCellAndTheirCoefficients) {
  znumber = 6;
  QNFlag = 1;
  MinVertDist0 = 0.01;
  MinVertDist1 = 0.05;
  layout([](int i, int) { return i <= 2 ? 0.2 : (i == 3 ? 0.8 : 1.0); });
  ASSERT_EQ(run(), 1) << log();
  EXPECT_EQ(ant[2][3], 2);
  EXPECT_EQ(ant[3][3], 4);
  EXPECT_EQ(ant[4][3], 5);
  const int c = num[2][3][3];
  ASSERT_GT(c, 0);
  EXPECT_EQ(Ccellt[c], 0);
  EXPECT_EQ(Ccelle[c], num[3][3][3]);
  ASSERT_EQ(Cncelle[c], 3);
  for (int m = 0; m < 3; ++m) {
    const int nb = num[3][3][3 + m];
    EXPECT_EQ(Cqncelle[c][m], nb);
    EXPECT_EQ(Fcell1[Cflatew[nb]], c);
    EXPECT_EQ(Fcell2[Cflatew[nb]], nb);
  }
  EXPECT_EQ(Fcell1[Cflatee[c]], c);
  EXPECT_EQ(Fcell2[Cflatee[c]], num[3][3][4]);
  EXPECT_EQ(Fqndum[Cflatee[c]], 1);
  // The lower cell of the 2-cell column shares its face with the cell at its level.
  const int low = num[2][3][2];
  EXPECT_EQ(Cncelle[low], 0);
  EXPECT_EQ(Cflatee[low], Cflatew[num[3][3][2]]);
  // No list toward shallower or equal columns.
  EXPECT_EQ(Cncellw[c], 0);
  EXPECT_EQ(Cncelle[num[3][3][5]], 2);  // the 4-cell column's top cell lists levels 5 and 6
  // Entry (4 + 1) / 2 = 2 lies beyond that list of 2: its own surface keeps the middle, entry 0.
  EXPECT_EQ(Fcell2[Cflatee[num[3][3][5]]], num[4][3][5]);

  // Coefficients by hand: gamma 0.1, area 0.2, distances 0.25 + 0.25: D = 0.04; a flux of
  // 0.1 kg/s gives Pe 2.5 and the factor (1 - 0.25)^5 = 0.2373046875, DA = 0.0094921875.
  const double DA = 0.04 * 0.2373046875;
  for (const double F : {0.1, -0.1}) {
    SCOPED_TRACE(F);
    for (int m = 0; m < 3; ++m) {
      const int f = Cflatew[Cqncelle[c][m]];
      Farea[f] = 0.2;
      Fdist1[f] = Fdist2[f] = 0.25;
      Fflux[f] = F;
    }
    for (int k = 0; k <= NoCells; ++k) Cgamma[k] = 0.1;
    Cae[c] = 7;
    Equation = 1;
    WCStart = 1;
    WCEnd = NoCells;
    QNGridCoeff();
    for (int m = 0; m < 3; ++m) {
      EXPECT_NEAR(Cqnae[c][m], DA + std::max(-F, 0.0), 1e-15);
      EXPECT_NEAR(Caw[Cqncelle[c][m]], DA + std::max(F, 0.0), 1e-15);
    }
    EXPECT_EQ(Cae[c], 0);
  }
}

}  // namespace
}  // namespace qorva
