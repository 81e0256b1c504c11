// The K (solver settings) and W (initial flow, grid-generation points) data sets of `control`:
// defaults, stored values, checks with their texts and statuses, and the later index check
// against the final grid sizes.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "driver/kwsets.h"
#include "state/log.h"
#include "state/options.h"
#include "support/scratch.h"

namespace qorva {
namespace {

class KWSets : public test::Scratch {
 protected:
  // Small grid sizes, as a G 1 data set read before the W data sets would give them.
  static void smallGrid() {
    xnumber = 20;
    ynumber = 10;
    znumber = 5;
  }
  static int checkAfterReading() {
    try {
      checkKWIndexesAfterReading();
    } catch (const RunEnd& e) {
      return e.status;
    }
    return 1000;
  }
};

// A status of 1000: read through; the message is what `boogie` holds afterwards.
using Case = test::Refusal;

TEST_F(KWSets, DefaultsAreSetAndRestored) {
  const double relaxDefault[7] = {0.0, 0.8, 0.8, 0.8, 0.2, 0.5, 0.5};
  for (int e = 0; e <= 6; ++e) EXPECT_DOUBLE_EQ(relax[e], relaxDefault[e]) << e;
  EXPECT_EQ(sweeps[1], 1);
  EXPECT_EQ(sweeps[4], 5);
  EXPECT_EQ(sweeps[7], 1);
  EXPECT_EQ(sweeps[49], 1);
  EXPECT_EQ(blockcorr[2], 0);
  EXPECT_EQ(sou[6], 0);
  EXPECT_EQ(iterGlobalMax, 40000);
  EXPECT_EQ(IterSurface, 50000);
  EXPECT_EQ(FlagWall, 0);
  EXPECT_EQ(FlagRoof, 1);
  EXPECT_DOUBLE_EQ(ManningInit, 50.0);
  EXPECT_DOUBLE_EQ(discharge, 1.0);
  EXPECT_DOUBLE_EQ(level, 1.0);
  EXPECT_EQ(FlagReadW1, 0);

  // A second run in the same process starts from the same values.
  ASSERT_EQ(scan("K 1 7 8 K 2 1 0 K 3 1 1 1 1 1 1 K 4 9 9 9 9 9 9 K 5 3 3 3 3 3 3 K 6 1 1 1 1 1 1 "
                 "W 1 30 10 -5 W 2 2 1 2 W 4 1 0 1 1 1 1 1 W 6 1 1 W 7 0 1 1 0.5 0.5"),
            1000);
  setDefaults();
  EXPECT_EQ(iterGlobalMax, 40000);
  EXPECT_EQ(FlagRoof, 1);
  EXPECT_DOUBLE_EQ(relax[1], 0.8);
  EXPECT_DOUBLE_EQ(relax[4], 0.2);
  EXPECT_EQ(sweeps[4], 5);
  EXPECT_EQ(sweeps[1], 1);
  EXPECT_EQ(blockcorr[1], 0);
  EXPECT_EQ(sou[1], 0);
  EXPECT_DOUBLE_EQ(level, 1.0);
  EXPECT_EQ(FlagReadW1, 0);
  EXPECT_EQ(initnumber, 0);
  EXPECT_EQ(initarray[1], 0);
  EXPECT_EQ(MWallNo, 0);
  EXPECT_EQ(MWall[1].dir, 0);
  EXPECT_EQ(FastNo, 0);
  EXPECT_EQ(iFast[1], 0);
  EXPECT_EQ(AttractNo, 0);
  EXPECT_DOUBLE_EQ(Attract[1].amplitude, 0.0);
}

TEST_F(KWSets, KValuesAreStored) {
  ASSERT_EQ(scan("K 1 100 7\nK 2 1 0\nK 3 0.7 0.6 0.5 1e-3 5 2\nK 4 0 200 3 4 5 6\n"
                 "K 5 0 1 2 3 10 20\nK 6 100 1 0 10 19 0\n"),
            1000);
  EXPECT_EQ(iterGlobalMax, 100);
  EXPECT_EQ(IterSurface, 7);
  EXPECT_EQ(FlagWall, 1);
  EXPECT_EQ(FlagRoof, 0);
  const double r[6] = {0.7, 0.6, 0.5, 1e-3, 5, 2};
  const int s[6] = {0, 200, 3, 4, 5, 6}, b[6] = {0, 1, 2, 3, 10, 20}, o[6] = {100, 1, 0, 10, 19, 0};
  for (int e = 1; e <= 6; ++e) {
    EXPECT_DOUBLE_EQ(relax[e], r[e - 1]) << e;
    EXPECT_EQ(sweeps[e], s[e - 1]) << e;
    EXPECT_EQ(blockcorr[e], b[e - 1]) << e;
    EXPECT_EQ(sou[e], o[e - 1]) << e;
  }
  // Only equations 1..6 are set.
  EXPECT_DOUBLE_EQ(relax[7], 0.0);
  EXPECT_EQ(sweeps[7], 1);
}

TEST_F(KWSets, KChecks) {
  const std::vector<Case> cases = {
      // An iteration limit that cannot be read used to leave 40 000 iterations without a word.
      {"K 1 inf 50000", 1, "Error for K 1 in control"},
      {"K 1 x 10", 1, "Error for K 1 in control"},
      {"K 2 0 2", 1, "Input error for K 2 in control"},
      {"K 2 -1 1", 1, "Input error for K 2 in control"},
      {"K 3 0.5 0.5 0.5 0.3 0.6 7", 1, "Input error for K 3 in control"},
      {"K 3 0.5 0.5 0.5 0.3 0.6 -0.1", 1, "Input error for K 3 in control"},
      // The flow drivers divide by every factor: 0 would make them divide by zero.
      {"K 3 0.5 0 0.5 0.3 0.6 0.5", 1, "Input error for K 3 in control"},
      {"K 3 0 0.8 0.8 0.2 0.5 0.5", 1, "Input error for K 3 in control"},
      // Every K 3 value must be given.
      {"K 3 0.5 0.5 0.5\nW 1 30 10 5", 1, "Input error for K 3 in control"},
      {"K 4 1 -1", 1, "Input error for K 4 in control"},
      {"K 4 1 1 1 1 1 201", 1, "Input error for K 4 in control"},
      {"K 5 21", 1, "Input error for K 5 in control"},
      {"K 5 0 -1", 1, "Input error for K 5 in control"},
      {"K 6 0 0 101", 1, "Input error for K 6 in control"},
      {"K 6 -1", 1, "Input error for K 6 in control"},
  };
  expectRefusals(cases);
}

TEST_F(KWSets, KValuesBeforeTheBadOneStayStored) {
  EXPECT_EQ(scan("K 3 0.5 0.5 0.5 0.3 0.6 7"), 1);
  const double r[5] = {0.5, 0.5, 0.5, 0.3, 0.6};
  for (int e = 1; e <= 5; ++e) EXPECT_DOUBLE_EQ(relax[e], r[e - 1]) << e;

  setDefaults();
  EXPECT_EQ(scan("K 4 7 8 300 9"), 1);
  EXPECT_EQ(sweeps[1], 7);
  EXPECT_EQ(sweeps[2], 8);
  EXPECT_EQ(sweeps[4], 5);  // never reached
}

TEST_F(KWSets, KNumbersWithoutReaderAreSkipped) {
  // K 7 has no values: the scan meets 3 and the next data set as ordinary text.
  ASSERT_EQ(scan("K 7 3 K 0 5 K -1 K 1 9 10"), 1000);
  EXPECT_EQ(iterGlobalMax, 9);
  EXPECT_EQ(IterSurface, 10);
}

TEST_F(KWSets, W1StoresTheInitialFlowAndMarksItGiven) {
  ASSERT_EQ(scan("W 1 30 10 -5"), 1000);
  EXPECT_DOUBLE_EQ(ManningInit, 30.0);
  EXPECT_DOUBLE_EQ(discharge, 10.0);
  EXPECT_DOUBLE_EQ(level, -5.0);
  EXPECT_EQ(FlagReadW1, 1);

  setDefaults();
  ASSERT_EQ(scan("W 1 1 1e-10 10000 W 1 1800 1e15 3"), 1000);  // the bounds themselves pass
  EXPECT_DOUBLE_EQ(ManningInit, 1800.0);
  EXPECT_DOUBLE_EQ(level, 3.0);
}

TEST_F(KWSets, W2StoresARisingList) {
  ASSERT_EQ(scan("W 2 3 1 5 5"), 1000);
  EXPECT_EQ(initnumber, 3);
  EXPECT_EQ(initarray[1], 1);
  EXPECT_EQ(initarray[2], 5);
  EXPECT_EQ(initarray[3], 5);

  // W 2 0 reads nothing more: the K 1 after it is a data set of its own.
  setDefaults();
  ASSERT_EQ(scan("W 2 0 K 1 7 8"), 1000);
  EXPECT_EQ(initnumber, 0);
  EXPECT_EQ(iterGlobalMax, 7);

  // The longest list the table holds.
  setDefaults();
  std::string text = "W 2 299";
  for (int n = 1; n <= 299; ++n) text += " 3";
  ASSERT_EQ(scan(text), 1000);
  EXPECT_EQ(initnumber, 299);
  EXPECT_EQ(initarray[299], 3);
}

TEST_F(KWSets, W4AppendsMovingWalls) {
  smallGrid();
  ASSERT_EQ(scan("W 4 1 -1 20 2 10 1 5\nW 4 3 1 5 1 20 1 10\n"), 1000);
  ASSERT_EQ(MWallNo, 2);
  const MovingWallRecord& a = MWall[1];
  EXPECT_EQ(a.dir, 1);
  EXPECT_EQ(a.posneg, -1);
  EXPECT_EQ(a.node, 20);
  EXPECT_EQ(a.a1, 2);
  EXPECT_EQ(a.a2, 10);
  EXPECT_EQ(a.b1, 1);
  EXPECT_EQ(a.b2, 5);
  const MovingWallRecord& b = MWall[2];
  EXPECT_EQ(b.dir, 3);
  EXPECT_EQ(b.node, 5);
  EXPECT_EQ(b.a2, 20);
  EXPECT_EQ(b.b2, 10);
}

TEST_F(KWSets, W6AndW7AppendPoints) {
  smallGrid();
  ASSERT_EQ(scan("W 6 0 0 W 6 20 10 W 7 2 10 5 0.3 4.0 W 7 0 0 0 1 2"), 1000);
  ASSERT_EQ(FastNo, 2);
  EXPECT_EQ(iFast[1], 0);
  EXPECT_EQ(jFast[1], 0);
  EXPECT_EQ(iFast[2], 20);
  EXPECT_EQ(jFast[2], 10);
  ASSERT_EQ(AttractNo, 2);
  EXPECT_EQ(Attract[1].i, 10);
  EXPECT_EQ(Attract[1].j, 5);
  EXPECT_EQ(Attract[1].type, 2);
  EXPECT_DOUBLE_EQ(Attract[1].amplitude, 0.3);
  EXPECT_DOUBLE_EQ(Attract[1].decay, 4.0);
  EXPECT_DOUBLE_EQ(Attract[2].decay, 2.0);
}

TEST_F(KWSets, WChecks) {
  // Grid of 20 x 10 lines and 5 levels.
  const std::vector<Case> cases = {
      {"W 1 0.5 10 5", 1, "Input error for W 1 in control"},
      {"W 1 1801 10 5", 1, "Input error for W 1 in control"},
      {"W 1 30 1e-11 5", 1, "Input error for W 1 in control"},
      {"W 1 30 2e15 5", 1, "Input error for W 1 in control"},
      {"W 1 30 10 10001", 1, "Input error for W 1 in control"},
      {"W 2 3 5 4 7", 1, "Input error for W 2 in control"},
      {"W 2 2 0 3", 1, "Input error for W 2 in control"},
      {"W 2 1 21", 1, "Input error for W 2 in control"},
      // initarray holds entries 1..299.
      {"W 2 300 1", 1, "Input error for W 2 in control\ninitnumber = 300, too large\n"},
      {"W 4 4 0 1 1 1 1 1", 1, "Input error for W 4 in control\nMWall(1).dir = 4\n"},
      {"W 4 0 0 1 1 1 1 1", 1, "Input error for W 4 in control\nMWall(1).dir = 0\n"},
      {"W 4 1 2 1 1 1 1 1", 1, "Input error for W 4 in control\nMWall(1).posneg = 2\n"},
      {"W 4 1 -2 1 1 1 1 1", 1, "Input error for W 4 in control\nMWall(1).posneg = -2\n"},
      {"W 4 1 0 1 0 1 1 1", 1, "Input error for W 4 in control\nA-MWall(1)\n"},
      {"W 4 1 0 1 1 1 0 1", 1, "Input error for W 4 in control\nA-MWall(1)\n"},
      {"W 4 1 0 1 3 2 1 1", 1, "Input error for W 4 in control\nA-MWall(1)\n"},
      {"W 4 1 0 1 1 1 3 2", 1, "Input error for W 4 in control\nA-MWall(1)\n"},
      {"W 4 1 0 0 1 1 1 1", 1, "Input error for W 4 in control\nA-MWall(1).node = 0\n"},
      {"W 4 1 0 21 1 1 1 1", 1, "Input error for W 4 in control\nA-MWall(1).node = 21\n"},
      {"W 4 2 0 11 1 1 1 1", 1, "Input error for W 4 in control\nA-MWall(1).node = 11\n"},
      {"W 4 3 0 6 1 1 1 1", 1, "Input error for W 4 in control\nA-MWall(1).node = 6\n"},
      {"W 4 1 0 1 1 11 1 1", 1, "Input error for W 4 in control\nB-MWall(1)\n"},  // j past 10
      {"W 4 1 0 1 1 10 1 6", 1, "Input error for W 4 in control\nB-MWall(1)\n"},   // k past 5
      {"W 4 2 0 1 1 21 1 5", 1, "Input error for W 4 in control\nB-MWall(1)\n"},   // i past 20
      {"W 4 3 0 1 1 20 1 11", 1, "Input error for W 4 in control\nB-MWall(1)\n"},  // j past 10
      {"W 4 1 0 1 1 1 1 1 W 4 1 0 1 1 1 1 6", 1, "Input error for W 4 in control\nB-MWall(2)\n"},
      {"W 6 -1 0", 1, "Input error for W 6 in control, data set no. 1\n"},
      {"W 6 21 0", 1, "Input error for W 6 in control, data set no. 1\n"},
      {"W 6 1 1 W 6 0 11", 1, "Input error for W 6 in control, data set no. 2\n"},
      {"W 6 0 -1", 1, "Input error for W 6 in control, data set no. 1\n"},
      {"W 7 4 1 1 0 0", 1, "Integer error, for data set W 7, 1\n"},
      {"W 7 0 -1 1 0 0", 1, "Integer error, for data set W 7, 1\n"},
      {"W 7 0 1 -1 0 0", 1, "Integer error, for data set W 7, 1\n"},
      {"W 7 0 21 1 0 0", 1, "Integer error, for data set W 7, 1\n"},
      {"W 7 0 1 1 0 0 W 7 0 1 11 0 0", 1, "Integer error, for data set W 7, 2\n"},
  };
  expectRefusals(cases, [](const Case&) { smallGrid(); });
}

TEST_F(KWSets, W7ValuesAreReadOnlyAfterTheIntegersPassed) {
  EXPECT_EQ(scan("W 7 4 1 1 0.3 4.0"), 1);
  EXPECT_EQ(AttractNo, 0);
  EXPECT_DOUBLE_EQ(Attract[1].amplitude, 0.0);
  EXPECT_DOUBLE_EQ(Attract[1].decay, 0.0);
}

TEST_F(KWSets, TheThirtiethMovingWallIsRefused) {
  std::string text;
  for (int n = 1; n <= 30; ++n) text += "W 4 3 1 1 1 2 1 2\n";
  EXPECT_EQ(scan(text), 1);
  EXPECT_EQ(log(), "Input error for W 4 in control\nMWallNo = 30, too large\n");
  EXPECT_EQ(MWallNo, 29);
  EXPECT_EQ(MWall[29].dir, 3);
}

TEST_F(KWSets, PointListsStopAtTheirLastEntry) {
  // The lists hold 19999 fixed and 199 attraction points; the next one is refused before
  // anything of it is stored.
  FastNo = 19998;
  EXPECT_EQ(scan("W 6 1 2 W 6 3 4"), 1);
  EXPECT_EQ(log(), "Error, too many W 6 data sets\n");
  EXPECT_EQ(FastNo, 19999);
  EXPECT_EQ(iFast[19999], 1);
  EXPECT_EQ(jFast[19999], 2);

  std::remove("boogie");
  AttractNo = 198;
  EXPECT_EQ(scan("W 7 1 2 3 0.1 0.2 W 7 1 2 3 0.1 0.2"), 1);
  EXPECT_EQ(log(), "Error, too many W 7 data sets\n");
  EXPECT_EQ(AttractNo, 199);
  EXPECT_EQ(Attract[199].i, 2);
}

TEST_F(KWSets, IndexesAreCheckedWithTheSizesKnownWhenRead) {
  // Before a G 1 data set the default sizes (300 x 300, 11 levels) apply.
  ASSERT_EQ(scan("W 6 250 3 W 7 0 250 250 1 1 W 4 1 0 250 1 250 1 11"), 1000);
  smallGrid();
  std::remove("boogie");
  EXPECT_EQ(scan("W 6 250 3"), 1);
  EXPECT_EQ(log(), "Input error for W 6 in control, data set no. 2\n");
}

TEST_F(KWSets, AfterReadingTheIndexesAreCheckedAgainstTheFinalSizes) {
  struct After {
    std::string text;  // read with the default sizes 300 x 300 x 11
    std::string log;   // with the final sizes 20 x 10 x 5
  };
  const std::vector<After> cases = {
      {"W 4 1 0 21 1 1 1 1", "Input error for W 4 in control\nA-MWall(1).node = 21\n"},
      {"W 4 3 0 6 1 1 1 1", "Input error for W 4 in control\nA-MWall(1).node = 6\n"},
      {"W 4 2 0 1 1 21 1 1", "Input error for W 4 in control\nB-MWall(1)\n"},
      {"W 4 1 0 1 1 1 1 5 W 4 1 0 1 1 1 1 6", "Input error for W 4 in control\nB-MWall(2)\n"},
      {"W 6 20 10 W 6 21 10", "Input error for W 6 in control, data set no. 2\n"},
      {"W 6 20 11", "Input error for W 6 in control, data set no. 1\n"},
      {"W 7 0 21 1 0 0", "Integer error, for data set W 7, 1\n"},
      {"W 7 0 1 11 0 0", "Integer error, for data set W 7, 1\n"},
  };
  for (const After& c : cases) {
    SCOPED_TRACE(c.text);
    setDefaults();
    std::remove("boogie");
    ASSERT_EQ(scan(c.text), 1000);
    smallGrid();
    EXPECT_EQ(checkAfterReading(), 1);
    EXPECT_EQ(log(), c.log);
  }

  // Records that fit the final sizes pass without a word.
  setDefaults();
  std::remove("boogie");
  ASSERT_EQ(scan("W 4 1 0 20 1 10 1 5 W 4 3 1 5 1 20 1 10 W 6 20 10 W 7 3 20 10 1 1"), 1000);
  smallGrid();
  EXPECT_EQ(checkAfterReading(), 1000);
  EXPECT_EQ(log(), "");
}

}  // namespace
}  // namespace qorva
