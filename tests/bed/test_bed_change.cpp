// The default bed change on small generated grids, against hand values: the corner moves of one
// column from its change and of a bed cell from its balance and porosity, the limits of the
// non-erodible level and the passes that hand on what a corner cannot take, the books of what
// no corner took, the F 205 rules, the reports, the grid that follows the bed (and a grid that
// cannot), and the same bed at 1 and 8 threads.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "bed/bed.h"
#include "bed/bed_fixture.h"
#include "state/log.h"

namespace qorva {
namespace {

class BedChangeTest : public test::BedGrid {
 protected:
  // Runs the bed change and returns the status it ended with, 1000 when it returned.
  static int run() {
    try {
      bedchange();
    } catch (const RunEnd& e) {
      return e.status;
    }
    return 1000;
  }
  static double kg(double volume) { return volume * SolidFrac * 1000.0 * density; }
};

// A change of 0.01 m over column (3, 3) of a 3 x 3 grid of 1 m columns: every corner is
// shared by four columns, so each takes 0.01 / 4 * 4 / 4 = 0.0025 m. Column (2, 2) lies in
// the grid's corner: its outer corner belongs to it alone (0.01 m), the two edge corners to two
// columns (0.005 m), the inner one to four (0.0025 m). The bed volume grows by 0.01 m3 either
// way.
TEST_F(BedChangeTest, OneColumnMovesItsCornersByTheAreasAroundThem) {
  struct Case {
    int i, j;
    double dz;
    std::vector<double> moves;  // corners (i,j), (i,j-1), (i-1,j-1), (i-1,j)
  };
  const Case cases[] = {{3, 3, 0.01, {0.0025, 0.0025, 0.0025, 0.0025}},
                        {2, 2, 0.01, {0.0025, 0.005, 0.01, 0.005}},
                        {3, 3, -0.01, {-0.0025, -0.0025, -0.0025, -0.0025}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.i << "," << c.j << " " << c.dz);
    SetArraysZero();
    setDefaults();
    build(3, 3, test::flatBed);
    const double before = bedVolume();
    Bedmove[bed(c.i, c.j)] = c.dz;
    ASSERT_EQ(run(), 1000) << log();
    const int corner[4][2] = {{c.i, c.j}, {c.i, c.j - 1}, {c.i - 1, c.j - 1}, {c.i - 1, c.j}};
    double moved = 0;
    for (int k = 0; k < 4; ++k) {
      EXPECT_NEAR(level(corner[k][0], corner[k][1]), c.moves[k], 1e-15) << "corner " << k + 1;
      EXPECT_NEAR(Surfaces[1][corner[k][0]][corner[k][1]], c.moves[k], 1e-15);
      moved += std::fabs(c.moves[k]);
    }
    double others = 0;
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 4; ++j) others += std::fabs(level(i, j));
    EXPECT_NEAR(others, moved, 1e-15);
    EXPECT_NEAR(bedVolume() - before, c.dz, 1e-14);
    EXPECT_EQ(BedMoveDefectAbs, 0.0);
  }
}

// A bed cell whose bottom cell let 0.004 m3 of grains settle over its 1 m2 in one step, in a
// bed of solid fraction 0.5: its bed rises by 0.008 m, so each corner of the inner column by
// 0.002 m, and 0.004 x 2650 kg are booked as bed change.
TEST_F(BedChangeTest, ABalanceOfSettlingBecomesTheLevelOfTheCorners) {
  FlagTSC = 3;
  build(3, 3, test::flatBed);
  const int b = bed(3, 3), c = Bcellt[b];
  BlayerTop[b] = 1;
  Bsolidfraction[1][b] = 0.5;
  TimeStep = 10;
  fallvelo[1] = 0.02;
  const double faz = Faz[Cflateb[c]];
  ASSERT_NEAR(std::fabs(faz), 1.0, 1e-12);
  Cconc[1][c] = 0.004 / (faz * 0.02 * 10);  // settles 0.004 m3 in the step
  computeBedmove(b);
  EXPECT_NEAR(Bedmove[b], 0.008, 1e-15);
  EXPECT_NEAR(SumBedChangeLoc, 0.004 * 2650, 1e-9);
  ASSERT_EQ(run(), 1000) << log();
  for (int p : {2, 3})
    for (int q : {2, 3}) EXPECT_NEAR(level(p, q), 0.002, 1e-15) << p << "," << q;
}

// Erosion of column (3, 3) by 0.01 m where one corner has only 1 mm of bed above the
// non-erodible level: each pass gives every corner a quarter of what is left and clips the
// first one, so the other three end with 3 mm each and the volume is still taken whole.
TEST_F(BedChangeTest, ALimitedCornerHandsItsShareToTheOthers) {
  build(3, 3, test::flatBed);
  Surfaces[3][3][3] = -0.001;
  Bedmove[bed(3, 3)] = -0.01;
  const double before = bedVolume();
  ASSERT_EQ(run(), 1000) << log();
  EXPECT_NEAR(level(3, 3), -0.001, 1e-15);
  EXPECT_NEAR(level(3, 2), -0.003, 1e-9);
  EXPECT_NEAR(level(2, 2), -0.003, 1e-9);
  EXPECT_NEAR(level(2, 3), -0.003, 1e-9);
  EXPECT_NEAR(bedVolume() - before, -0.01, 1e-9);
  EXPECT_LT(BedMoveDefectAbs, kg(1e-9));
}

struct Books {
  const char* name;
  std::function<void()> options;
  double moved;  // of each corner of the inner column
  double booked;  // m of the change
};

// Where the corners cannot take the change, nothing moves and the whole change is booked, as
// kilograms of solids, signed in BedMoveDefectSum and as a magnitude in BedMoveDefectAbs.
TEST_F(BedChangeTest, WhatNoCornerTakesIsBooked) {
  const Books cases[] = {
      {"corners at the non-erodible level",
       [] {
         for (int i = 1; i <= 4; ++i)
           for (int j = 1; j <= 4; ++j) Surfaces[3][i][j] = 0;
       },
       0.0, 0.01},
      {"F 242 0: no pass", [] { NumMoveBedchange = 0; }, 0.0, 0.01},
      {"F 163 2: no limit at all",
       [] {
         FlagBedChange = 2;
         for (int i = 1; i <= 4; ++i)
           for (int j = 1; j <= 4; ++j) Surfaces[3][i][j] = 0;
       },
       -0.0025, 0.0},
  };
  for (const Books& c : cases) {
    SCOPED_TRACE(c.name);
    SetArraysZero();
    setDefaults();
    build(3, 3, test::flatBed);
    c.options();
    Bedmove[bed(3, 3)] = -0.01;
    ASSERT_EQ(run(), 1000) << log();
    EXPECT_NEAR(level(3, 3), c.moved, 1e-15);
    EXPECT_NEAR(BedMoveDefectAbs, kg(c.booked), 1e-9);
    EXPECT_NEAR(BedMoveDefectSum, -kg(c.booked), 1e-9);
  }
}

// F 163 1 limits deposition to the water depth at each corner; by default a corner may rise
// up to 1000 m.
TEST_F(BedChangeTest, DepositionIsLimitedByTheWaterDepthOnlyWithF163One) {
  for (int flag : {0, 1}) {
    SCOPED_TRACE(flag);
    SetArraysZero();
    setDefaults();
    FlagBedChange = flag;
    build(1, 1, test::flatBed, 0.5);
    Bedmove[bed(2, 2)] = 0.8;  // the one column places 0.8 m on each of its own corners
    ASSERT_EQ(run(), 1000) << log();
    EXPECT_NEAR(level(2, 2), flag == 1 ? 0.5 : 0.8, 1e-12);
    EXPECT_NEAR(BedMoveDefectAbs, flag == 1 ? kg(0.3) : 0.0, 1e-9);
  }
}

// The F 205 rules on one column whose change would move its four corners alike.
TEST_F(BedChangeTest, TheCornerRulesOfF205) {
  struct Rule {
    int rule;
    std::function<double(int, int)> bed;
    double dz;
    double volume;  // what the corners place
  };
  const auto tilted = [](int i, int) { return 0.1 * (i - 1); };
  const Rule rules[] = {
      {1, test::flatBed, 0.01, 0.01},   // one level: every factor times p, the plain split
      {7, tilted, 0.01, 0.01},          // no rule
      {14, tilted, 0.01, 0.01},         // weights rescaled to 4
      {15, tilted, -0.01, -0.01},
      {21, test::flatBed, 0.01, 0.0025},  // weights rescaled to 1: a quarter placed
  };
  for (const Rule& r : rules) {
    SCOPED_TRACE(r.rule);
    SetArraysZero();
    setDefaults();
    FlagSkewedBedchange = r.rule;
    build(1, 1, r.bed);
    const double before = bedVolume();
    Bedmove[bed(2, 2)] = r.dz;
    ASSERT_EQ(run(), 1000) << log();
    EXPECT_NEAR(bedVolume() - before, r.volume, 1e-12);
    EXPECT_EQ(BedMoveDefectAbs, 0.0);
  }
}

// F 205 1 on a tilted column places deposition on the low corners: a larger factor gives a
// smaller move. With the second F 205 value 0 the lowest corners' factor would vanish; it is
// kept finite, and the volume is still placed.
TEST_F(BedChangeTest, TheLevelRulePutsDepositionInTheLowCorners) {
  for (double p : {2.0, 0.0}) {
    SCOPED_TRACE(p);
    SetArraysZero();
    setDefaults();
    FlagSkewedBedchange = 1;
    f205param = p;
    build(1, 1, [](int i, int) { return 0.1 * (i - 1); });
    const double before = bedVolume();
    Bedmove[bed(2, 2)] = 0.01;
    ASSERT_EQ(run(), 1000) << log();
    const double low = level(1, 1) - 0.0, high = level(2, 1) - 0.1;
    EXPECT_GT(low, high);
    EXPECT_TRUE(std::isfinite(low));
    // Factors 1 + p (high) and p (low), rescaled to sum 4: moves in the inverse ratio.
    if (p == 2.0) {
      EXPECT_NEAR(low / high, 3.0 / 2.0, 1e-12);
    }
    EXPECT_NEAR(bedVolume() - before, 0.01, 1e-12);
  }
}

// F 205 12 is refused at the first column that changes; a step without change passes.
TEST_F(BedChangeTest, RuleTwelveEndsTheRunOnlyWhenTheBedChanges) {
  FlagSkewedBedchange = 12;
  build(2, 2, test::flatBed);
  EXPECT_EQ(run(), 1000);
  std::remove("boogie");
  Bedmove[bed(2, 2)] = 0.01;
  EXPECT_EQ(run(), -3);
  EXPECT_EQ(log(), "Error in F 205 data set. Option 12 is discontinued due to bug\n");
}

// F 502 1 places the whole change in one pass, without limits; nothing is booked.
TEST_F(BedChangeTest, TheSinglePassIgnoresTheLimits) {
  FlagBedMove = 1;
  build(3, 3, test::flatBed);
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 4; ++j) Surfaces[3][i][j] = 0;
  Bedmove[bed(3, 3)] = -0.01;
  ASSERT_EQ(run(), 1000) << log();
  EXPECT_NEAR(level(3, 3), -0.0025, 1e-15);
  EXPECT_EQ(BedMoveDefectAbs, 0.0);
}

// A column left with a rest above F 501 is described in boogie; a column whose change is at
// most 1e-12 is not touched at all.
TEST_F(BedChangeTest, ReportsAndTinyChanges) {
  restCrit = 1e-6;
  build(3, 3, test::flatBed);
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 4; ++j) Surfaces[3][i][j] = 0;
  Bedmove[bed(3, 3)] = -0.01;
  Bedmove[bed(2, 2)] = 1e-12;
  ASSERT_EQ(run(), 1000);
  const std::string text = log();
  EXPECT_NE(text.find("Warning in bed change, i,j,b,ii,l,Bedmove,rest,dz,area = 3 3 "), std::string::npos)
      << text;
  EXPECT_NE(text.find("Corner 4, move, factor, minmove, weight = 0 4 0 1\n"), std::string::npos);
  EXPECT_EQ(text.find("= 2 2 "), std::string::npos);
  EXPECT_EQ(level(1, 1), 0.0);
  EXPECT_NEAR(BedMoveDefectAbs, kg(0.01), 1e-9);
}

// The grid follows the bed: the bottom corners of the rebuilt cells lie on the new levels.
TEST_F(BedChangeTest, TheGridIsRegeneratedOnTheNewBed) {
  build(3, 3, test::flatBed);
  Bedmove[bed(3, 3)] = 0.2;
  ASSERT_EQ(run(), 1000) << log();
  const int c = Bcellt[bed(3, 3)];
  ASSERT_GT(c, 0);
  EXPECT_NEAR(Pz[Cpoint3[c]], level(3, 3), 1e-12);
  EXPECT_NEAR(level(3, 3), 0.05, 1e-15);
  double volume = 0;
  for (int k = 1; k <= NoCells; ++k) volume += Cvol[k];
  EXPECT_NEAR(volume, 9.0 - 0.2, 1e-9);  // 9 m2 of water 1 m deep, less the new bed
}

// With F 152 the coarse levels of the grid-sequenced solution are rebuilt on the new grid:
// level 1 has one cell per column, appended after the grid's own cells, which stay the work
// range of the fields carried over.
TEST_F(BedChangeTest, TheCoarseLevelsFollowTheNewGrid) {
  MGSNo = 2;
  build(3, 3, test::flatBed);
  Bedmove[bed(3, 3)] = 0.2;
  ASSERT_EQ(run(), 1000) << log();
  ASSERT_EQ(NoBlocks, 2);
  const GridBlock& coarse = block[2];
  EXPECT_EQ(coarse.cellend - coarse.cellstart + 1, 9);
  EXPECT_EQ(coarse.cellstart, WCEnd + 1);
  EXPECT_EQ(WCStart, 1);
  const int c = Bcellt[bed(3, 3)];
  EXPECT_NEAR(Pz[Cpoint3[c]], level(3, 3), 1e-12);
  EXPECT_GT(MGSCpoint[c][0], WCEnd);
}

// With F 99 3 the grid is rebuilt in the steps 1, 4, 7, ...
TEST_F(BedChangeTest, TheGridIsRebuiltEveryF99Steps) {
  BedRecIter = 3;
  build(3, 3, test::flatBed);
  std::vector<int> rebuilt;
  for (Iter = 1; Iter <= 7; ++Iter) {
    Bedmove[bed(3, 3)] = 0.04;
    ASSERT_EQ(run(), 1000) << log();
    const int c = Bcellt[bed(3, 3)];
    if (std::fabs(Pz[Cpoint3[c]] - level(3, 3)) < 1e-12) rebuilt.push_back(Iter);
  }
  EXPECT_EQ(rebuilt, (std::vector<int>{1, 4, 7}));
}

// A grid that cannot be built on the new bed ends the run after its message: the flow must
// not go on over a half-built grid.
TEST_F(BedChangeTest, AGridThatCannotBeRebuiltEndsTheRun) {
  build(3, 3, test::flatBed, 1.0);
  MaxCeller = NoCells - 5;  // F 65 leaves no room for the grid on the new bed
  Bedmove[bed(3, 3)] = 0.01;
  EXPECT_EQ(run(), -1);
  EXPECT_NE(log().find("Error: Unstructured arrays are too small"), std::string::npos) << log();
  EXPECT_NE(log().find("Error in bed change: the grid could not be generated on the new bed levels"),
            std::string::npos)
      << log();
}

// Many columns at once, with no limit reached: the bed gains exactly the volume the columns
// ask for, and the thread count of the run does not change the bed (1e-9 m).
TEST_F(BedChangeTest, TheBedKeepsTheVolumeAndDoesNotDependOnThreads) {
  std::vector<double> levels[2];
  const int threads[2] = {0, 8};
  for (int run_ = 0; run_ < 2; ++run_) {
    SetArraysZero();
    setDefaults();
    NoProcessesSolver = threads[run_];
    build(4, 3, [](int i, int j) { return 0.05 * i - 0.02 * j; });
    for (int b = 1; b <= NoBCells; ++b) Bedmove[b] = 0.003 * std::sin(1.7 * b) + 0.001;
    const double before = bedVolume(), asked = askedVolume();
    ASSERT_EQ(run(), 1000) << log();
    EXPECT_NEAR(bedVolume() - before, asked, 1e-12 * 12);
    for (int i = 1; i <= 5; ++i)
      for (int j = 1; j <= 4; ++j) levels[run_].push_back(level(i, j));
  }
  ASSERT_EQ(levels[0].size(), levels[1].size());
  for (size_t n = 0; n < levels[0].size(); ++n) EXPECT_NEAR(levels[0][n], levels[1][n], 1e-9);
}


// A closed basin over 20 steps: in every step the bottom cells lose by settling what the bed
// gains (computeBedmove), the bed changes, the grid follows and carries the concentrations
// over. The grains in suspension, in the bed and in the books of the regeneration add up to
// what there was at the start (1e-6 relative), and the bed volume gained equals the volume the
// columns asked for.
TEST_F(BedChangeTest, TwentyStepsOfAClosedBasinKeepTheSediment) {
  FlagTSC = 3;
  TimeStep = 20;  // a transient run keeps the previous time level the grid carries over
  build(3, 3, [](int i, int j) { return -0.05 * i + 0.02 * j; }, 1.0);
  fallvelo[1] = 0.01;
  for (int b = 1; b <= NoBCells; ++b) {
    BlayerTop[b] = 0;
    Bsolidfraction[0][b] = 0.5;
  }
  for (int c = 1; c <= NoCells; ++c) Cconc[1][c] = Cconc[0][c] = 0.002;
  const auto suspended = [] {
    double v = 0;
    for (int c = 1; c <= NoCells; ++c) v += Cvol[c] * Cconc[1][c];
    return v;
  };
  const double start = suspended(), bed0 = bedVolume();
  double asked = 0;
  for (Iter = 1; Iter <= 20; ++Iter) {
    for (int b = 1; b <= NoBCells; ++b) {
      computeBedmove(b);
      const int c = Bcellt[b];
      Cconc[1][c] -= Bedmove[b] * Barea[b] * 0.5 / Cvol[c];
    }
    for (int c = 1; c <= NoCells; ++c) Cconc_old[1][c] = Cconc[1][c];
    asked += askedVolume();
    ASSERT_EQ(run(), 1000) << log();
  }
  const double bedGrains = (bedVolume() - bed0) * 0.5;
  EXPECT_GT(bedGrains, 0.1 * start);
  EXPECT_NEAR(bedVolume() - bed0, asked, 1e-12 * 20);
  EXPECT_NEAR(suspended() + bedGrains + SuspVolChangeDef / 2650.0, start, 1e-6 * start);
}

// A pile steeper than the angle of repose slides down to it in the bed change's frame, with no
// change of its own, and the grid follows the slid bed.
TEST_F(BedChangeTest, APileSlidesInTheFrameAndTheGridFollows) {
  IterAvalanche = 100;
  AngleAvalanche = 0.4;
  build(4, 4, [](int i, int j) { return i == 3 && j == 3 ? 0.6 : 0.0; }, 1.5);
  const double v0 = bedVolume();
  ASSERT_EQ(run(), 1000) << log();
  EXPECT_NEAR(bedVolume(), v0, 1e-12);
  for (int i = 2; i <= 5; ++i)
    for (int j = 2; j <= 5; ++j) {
      EXPECT_LE(std::fabs(level(i, j) - level(i - 1, j)), 0.4 + 1e-9) << i << "," << j;
      EXPECT_LE(std::fabs(level(i, j) - level(i, j - 1)), 0.4 + 1e-9) << i << "," << j;
    }
  const int c = Bcellt[bed(3, 3)];
  EXPECT_NEAR(Pz[Cpoint3[c]], level(3, 3), 1e-12);
}

}  // namespace
}  // namespace qorva
