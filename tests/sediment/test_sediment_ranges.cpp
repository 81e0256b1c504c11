// Work ranges of the work blocks, the time-step rules (F 350, F 532, the timei steps), the
// rescaling of the suspended sediment after the grid moved, and the density-current statistics.
#include <cmath>

#include "sediment/sediment_loop.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/sediment_run.h"
#include "state/status.h"
#include "state/timeseries.h"
#include "support/box_grid.h"
#include "support/scratch.h"

namespace qorva::test {
namespace {

class SedimentRanges : public Scratch {
 protected:
  void TearDown() override {
    SetArraysZero();
    Scratch::TearDown();
  }
  // Four blocks of 10 cells, 30 surfaces and 2 bed cells each, numbered on.
  static void fourBlocks() {
    NoBlocks = 4;
    for (int b = 1; b <= 4; ++b) {
      block[b].cellstart = 10 * (b - 1) + 1;
      block[b].cellend = 10 * b;
      block[b].surfstart = 30 * (b - 1) + 1;
      block[b].surfend = 30 * b;
      block[b].bcellstart = 2 * (b - 1) + 1;
      block[b].bcellend = 2 * b;
    }
    NoCells = 40;
    NoSurfaces = 120;
    NoBCells = 8;
  }
};

TEST_F(SedimentRanges, WorkBlockRunsFromItsFirstToItsLastBlock) {
  fourBlocks();
  WorkBlockNo = 4;
  WorkBlock[1] = 1;
  WorkBlock[2] = 2;
  WorkBlock[3] = 2;
  WorkBlock[4] = 1;
  computeWorkBlocks(2);
  EXPECT_EQ(WCStart, 11);
  EXPECT_EQ(WCEnd, 30);
  EXPECT_EQ(WFStart, 31);
  EXPECT_EQ(WFEnd, 90);
  EXPECT_EQ(WBStart, 3);
  EXPECT_EQ(WBEnd, 6);
  for (int b = 1; b <= 4; ++b) EXPECT_EQ(block[b].inwork, b == 2 || b == 3 ? 1 : 0) << b;
}

// A work block that holds no block leaves nothing to work on, and no range from cell 0.
TEST_F(SedimentRanges, WorkBlockWithoutBlocksIsEmpty) {
  fourBlocks();
  WorkBlockNo = 4;
  for (int b = 1; b <= 4; ++b) WorkBlock[b] = 1;
  computeWorkBlocks(3);
  EXPECT_GE(WCStart, 1);
  EXPECT_GT(WCStart, WCEnd);
  EXPECT_GT(WFStart, WFEnd);
  EXPECT_GT(WBStart, WBEnd);
  for (int b = 1; b <= 4; ++b) EXPECT_EQ(block[b].inwork, 0);
}

TEST_F(SedimentRanges, WithoutWorkBlocksTheWholeGridOrAllButTheMudBlock) {
  fourBlocks();
  block[2].skip = 1;
  computeWorkBlocks(1);
  EXPECT_EQ(WCStart, 1);
  EXPECT_EQ(WCEnd, 40);
  EXPECT_EQ(WFEnd, 120);
  EXPECT_EQ(WBEnd, 8);
  for (int b = 1; b <= 4; ++b) EXPECT_EQ(block[b].inwork, b == 2 ? 0 : 1) << b;
  block[4].thixo = 1;
  block[4].inwork = 7;
  computeWorkBlocks(1);
  EXPECT_EQ(WCEnd, 30);
  EXPECT_EQ(WFEnd, 90);
  EXPECT_EQ(WBEnd, 6);
  EXPECT_EQ(block[4].inwork, 7);
}

// F 350 with 100 s at 50 m3/s and exponent 1, at least 10 s.
TEST_F(SedimentRanges, TimeStepFollowsTheDischarge) {
  maxTimeStep = 100;
  minTimeStep = 10;
  QRefTimeStep = 50;
  powTimeStep = 1;
  struct Case {
    double discharge, step;
  };
  for (const Case k : {Case{1e5, 50}, Case{1e6, 10}, Case{25e3, 200}}) {
    DischargeArray[1] = k.discharge;
    computeTimestep();
    EXPECT_NEAR(TimeStep, k.step, 1e-12) << k.discharge;
  }
}

// Without discharge the rule gives no step: the step of the run holds, and the log says so.
TEST_F(SedimentRanges, TimeStepWithoutDischargeHolds) {
  maxTimeStep = 100;
  minTimeStep = 10;
  QRefTimeStep = 50;
  powTimeStep = 1;
  TimeStep = 30;
  DischargeArray[1] = 0;
  computeTimestep();
  EXPECT_EQ(TimeStep, 30);
  EXPECT_NE(log().find("F 350 finds no discharge in group 1"), std::string::npos);
}

// F 532 10 from 1 s to 100 s: step 6 takes 100^(5/10) = 10 s, from step 11 on 100 s.
TEST_F(SedimentRanges, GrowingTimeStep) {
  varTimeInterval = 10;
  varTimeStart = 1;
  varTimeEnd = 100;
  struct Case {
    int iter;
    double step;
  };
  for (const Case k : {Case{1, 1}, Case{6, 10}, Case{10, std::pow(100.0, 0.9)}, Case{11, 100}, Case{40, 100}}) {
    Iter = k.iter;
    sedloop::stepLength();
    EXPECT_NEAR(TimeStep, k.step, 1e-9) << k.iter;
  }
}

// The steps of the timei rows: before the first row the first, past the last the last.
TEST_F(SedimentRanges, TimeStepOfTheSeriesRows) {
  ASSERT_TRUE(TimeInTime.allocate(4));
  ASSERT_TRUE(TimeInTimStep.allocate(4));
  TimeInNo = 3;
  const double times[] = {0, 100, 200}, steps[] = {5, 10, 20};
  for (int r = 0; r < 3; ++r) {
    TimeInTime[r] = times[r];
    TimeInTimStep[r] = steps[r];
  }
  FlagJTime = 1;
  struct Case {
    double t, step;
  };
  for (const Case k : {Case{0, 5}, Case{50, 10}, Case{100, 10}, Case{150, 20}, Case{999, 20}}) {
    stimet = k.t;
    sedloop::stepLength();
    EXPECT_EQ(TimeStep, k.step) << k.t;
  }
  // No rows: the step of F 33 holds.
  TimeInNo = 0;
  TimeStep = 7;
  sedloop::stepLength();
  EXPECT_EQ(TimeStep, 7);
}

class GridMove : public SedimentRanges {
 protected:
  void SetUp() override {
    SedimentRanges::SetUp();
    TimeStep = 1;
    box_ = makeBox({1.0, 1.0}, {1.0}, {0.5, 0.5});
  }
  Box box_;
};

// The suspended volume before the grid moved is kept: the concentrations scale by the volume
// ratio, and with F 448 by 1 + the defect ratio held within 0.9..1.1.
TEST_F(GridMove, SuspendedVolumeKeptWhenCellsChange) {
  for (int c = 1; c <= NoCells; ++c) Cconc[1][c] = Cconc_old[1][c] = 0.01;
  scaleConcGridMove1();
  EXPECT_NEAR(totalsusp[1], 0.01 * 2.0, 1e-15);
  for (int c = 1; c <= NoCells; ++c) Cvol[c] *= 0.8;
  scaleConcGridMove2();
  for (int c = 1; c <= NoCells; ++c) {
    EXPECT_NEAR(Cconc[1][c], 0.0125, 1e-12);
    EXPECT_NEAR(Cconc_old[1][c], 0.0125, 1e-12);
  }
  scaleConcGridMove1();
  FlagDefectRatio = 1;
  kDefectRatio[1] = 0.3;
  scaleConcGridMove2();
  EXPECT_NEAR(Cconc[1][1], 0.0125 * 1.1, 1e-12);
}

TEST_F(GridMove, NotANumberEndsTheRun) {
  scaleConcGridMove1();
  Cconc[1][2] = std::nan("");
  try {
    scaleConcGridMove2();
    ADD_FAILURE() << "no end of the run";
  } catch (const RunEnd& e) {
    EXPECT_EQ(e.status, -99);
  }
  EXPECT_EQ(log(), "Error in scaleConcGridMove2, l=1\n\n");
}

// A column whose flow is downstream in every cell has a current as high as the water.
TEST_F(GridMove, DensityCurrentOfADownstreamColumn) {
  const long long beds = (xnumber + 3LL) * (ynumber + 3LL);
  ASSERT_TRUE(BTheight.allocate(beds));
  ASSERT_TRUE(BTdischarge.allocate(beds));
  ASSERT_TRUE(BTugrad.allocate(beds));
  pointbed[2][2] = 1;
  pointbed[3][2] = 2;
  const double u[] = {0.2, 0.4, 0.3, -0.1};  // column 1 downstream, column 2 back at the top
  for (int c = 1; c <= 4; ++c) Cxvel[c] = u[c - 1];
  computeDensityStat(2, 3);
  EXPECT_NEAR(BTheight[1], 1.0, 1e-12);
  EXPECT_NEAR(BTdischarge[1], 0.5 * 0.2 + 0.5 * 0.4, 1e-12);
  EXPECT_NEAR(BTugrad[1], 1.0 / 0.4, 1e-12);
  // The second column: the walk takes the upper cell that flows back over the lower one, and
  // ends there.
  EXPECT_NEAR(BTheight[2], 1.0, 1e-12);
  EXPECT_NEAR(BTdischarge[2], 0.5 * 0.3 - 0.5 * 0.1, 1e-12);
  EXPECT_NEAR(BTugrad[2], 1.0 / 0.3, 1e-12);
}

}  // namespace
}  // namespace qorva::test
