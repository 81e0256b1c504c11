// Data sets F 350 to F 399: defaults, values and their targets, side effects, count and range
// checks with their texts, and the check of the bed-statistics window after reading.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "driver/fsets_350_399.h"
#include "state/options.h"
#include "support/scratch.h"

namespace qorva {
namespace {

class Fsets350Test : public test::Scratch {
 protected:
  // Runs the window check; returns the status of the run's end, or 1000 when it passed.
  static int windowCheck() {
    try {
      checkF358AfterReading();
    } catch (const RunEnd& e) {
      return e.status;
    }
    return 1000;
  }
};

TEST_F(Fsets350Test, DefaultsBeforeReading) {
  EXPECT_EQ(FlagComputeTimestep, 0);
  EXPECT_EQ(solverFroudeLimit, 1.0);
  EXPECT_EQ(surfaceDownstreamDamp, 1);
  EXPECT_EQ(CoeffPresSource, 0.5);
  EXPECT_EQ(PointInterval, 0);
  EXPECT_EQ(PointIntervalO, 1);
  EXPECT_EQ(CoeffPresSurf, 1e30);
  EXPECT_EQ(SurfUFactor, 0.001);
  EXPECT_EQ(FluxCorrVal, 1.1);
  EXPECT_EQ(geoScaleX, 1.0);
  EXPECT_EQ(geoScaleY, 1.0);
  EXPECT_EQ(SourceKennedy, -1.0);
  EXPECT_EQ(IBraidedStart, 2);
  EXPECT_EQ(BraidedTot, 0.001);
  EXPECT_EQ(BraidedActive3, 0.3);
  EXPECT_EQ(BraidCells, 4);
  EXPECT_EQ(FroudeSplit, 1.0);
  EXPECT_EQ(Iter2DMG, 1);
  EXPECT_EQ(CritReducePonds, 5.0);
  EXPECT_EQ(ShearReducePonds, 0.001);
  EXPECT_EQ(OpenFOAMalpha1X, -1e20);
  EXPECT_EQ(OpenFOAMalpha1Z, -1e20);
  EXPECT_EQ(MinDepthGrid, -1.0);
  EXPECT_EQ(relaxSimpleCorr, 1.0);
  EXPECT_EQ(iterWriteAllData, 1000000);
  EXPECT_EQ(WallLimiterU, 0.1);
  EXPECT_EQ(WallLimiterK, 0.1);
  EXPECT_EQ(coeffRoughRijn, 3.0);
  EXPECT_EQ(BedStatI1, 0);
}

TEST_F(Fsets350Test, DefaultsAreRestoredAfterValuesWereRead) {
  ASSERT_EQ(scan("F 350 2 1 0 0 F 353 4 F 356 5 F 358 2 4 2 4 0 1 F 363 2 3 F 364 1 2 "
                 "F 368 1 1 1 1 1 1 F 371 9 0 0 2 F 374 3 F 381 1 2 F 383 1 F 387 0.5 "
                 "F 389 7 F 397 1 1 5 5 F 398 2"),
            1000)
      << log();
  setDefaults();
  EXPECT_EQ(maxTimeStep, 0.0);
  EXPECT_EQ(FlagComputeTimestep, 0);
  EXPECT_EQ(surfaceDownstreamDamp, 1);
  EXPECT_EQ(PointInterval, 0);
  EXPECT_EQ(PointIntervalO, 1);
  EXPECT_EQ(BedStatI1, 0);
  EXPECT_EQ(BedStatTime2, 0.0);
  EXPECT_EQ(geoScaleX, 1.0);
  EXPECT_EQ(FlagGeoScale, 0);
  EXPECT_EQ(FlagGeoMaxMin, 0);
  EXPECT_EQ(IBraidedStart, 2);
  EXPECT_EQ(FlagBraidedIndex, 0);
  EXPECT_EQ(FlagNoGridSplit, 0);
  EXPECT_EQ(FroudeSplit, 1.0);
  EXPECT_EQ(Iter2DMG, 1);
  EXPECT_EQ(Iter2DMGori, 0);
  EXPECT_EQ(FlagFlushWaterLevel, 0);
  EXPECT_EQ(FlagGridStab6, 0);
  EXPECT_EQ(MinDepthGrid, -1.0);
  EXPECT_EQ(iterWriteAllData, 1000000);
  EXPECT_EQ(WallLimiterU, 0.1);
  EXPECT_EQ(coeffRoughRijn, 3.0);
}

using IntValue = test::Stored<int>;
using DoubleValue = test::Stored<double>;

// Each row puts its values into its own settings; the edges of the ranges pass.
TEST_F(Fsets350Test, ValuesGoToTheirSettings) {
  const IntValue ints[] = {
      {"F 351 0 0.0001", &solverFroude, 0},
      {"F 352 -3 4", &FlagTFS5, -3},            {"F 352 -3 4", &FlagTFS6, 4},
      {"F 353 -2", &surfaceDownstreamDamp, -2},
      {"F 354 7 8", &OpenFOAMprintI, 7},        {"F 354 7 8", &OpenFOAMprintJ, 8},
      {"F 355 0 -1", &FlagPresSource, 0},
      {"F 356 0", &PointInterval, 0},           {"F 356 6", &PointIntervalO, 6},
      {"F 357 -10 0", &FlagPresSurf, -10},
      {"F 358 1 1 5 6 0 10", &BedStatI1, 1},    {"F 358 1 1 5 6 0 10", &BedStatI2, 1},
      {"F 358 1 1 5 6 0 10", &BedStatJ1, 5},    {"F 358 1 1 5 6 0 10", &BedStatJ2, 6},
      {"F 360 0 1e-5", &FlagFluxCorr, 0},
      {"F 361 2 -2", &FlagSurfSlope, 2},
      {"F 362 0", &FlagSetPow, 0},              {"F 362 3", &FlagSetPow, 3},
      {"F 365 4", &FlagViewInterpol, 4},        {"F 366 1", &FlagNoImpulse, 1},
      {"F 368 5 0.1 0.2 0.3 0.4 6", &IBraidedStart, 5},
      {"F 368 5 0.1 0.2 0.3 0.4 6", &BraidCells, 6},
      {"F 369 3", &FlagBugFind, 3},
      {"F 370 10 5 5 2 1", &WriteDuneIter, 10}, {"F 370 10 5 5 2 1", &WriteDuneI1, 5},
      {"F 370 10 5 5 2 1", &WriteDuneI2, 5},    {"F 370 10 5 5 2 1", &WriteDuneJ1, 2},
      {"F 370 10 5 5 2 1", &WriteDuneDI, 1},
      {"F 371 2 1 1", &FlagNoGridSplit, 2},     {"F 371 2 1 1", &gridSplitKant, 1},
      {"F 371 2 1 1", &FlagGridsplitBedmove, 1},
      {"F 372 2", &FlagFilterPressure, 2},      {"F 373 4", &FlagPresCorrStab, 4},
      {"F 374 5", &Iter2DMG, 5},                {"F 374 5", &Iter2DMGori, 5},
      {"F 377 1", &FlagCyclicSstart, 1},        {"F 378 1", &FlagThalweg, 1},
      {"F 379 2 3 0.1", &FlagReducePonds, 2},   {"F 380 1", &FlagGridStab7, 1},
      {"F 382 1", &FlagAddApTrekant, 1},        {"F 383 2", &FlagGridStab6, 2},
      {"F 385 5 0.3", &FlagCohesion, 5},
      {"F 386 2 4", &FlagBagger, 2},            {"F 386 2 4", &MaxNoBagger, 4},
      {"F 389 -5", &iterWriteAllData, -5},      {"F 390 1", &FlagFixGrid, 1},
      {"F 391 1", &FlagGridStab8, 1},           {"F 392 1", &FlagSetZeroBedmove, 1},
      {"F 393 1", &FlagSetLimBedOri, 1},        {"F 394 0", &FlagRemovePonds, 0},
      {"F 395 1 0 0", &FlagModifyGrid, 1},      {"F 396 2", &FlagNoSides, 2},
      {"F 397 1 2 1e-6 1000", &FlagWallLimiterU, 1},
      {"F 397 1 2 1e-6 1000", &FlagWallLimiterK, 2},
      {"F 399 1", &FlagErrorKoomin, 1},
  };
  expectStored(ints);
  const DoubleValue doubles[] = {
      {"F 350 20 10 5 0.5", &maxTimeStep, 20.0},   {"F 350 20 10 5 0.5", &minTimeStep, 10.0},
      {"F 350 20 10 5 0.5", &QRefTimeStep, 5.0},   {"F 350 20 10 5 0.5", &powTimeStep, 0.5},
      {"F 350 10 10 0 0", &minTimeStep, 10.0},
      {"F 351 0 0.0001", &solverFroudeLimit, 0.0001},
      {"F 355 0 -1", &CoeffPresSource, -1.0},
      {"F 357 -10 0", &CoeffPresSurf, 0.0},
      {"F 358 1 1 5 6 0 10", &BedStatTime1, 0.0},  {"F 358 1 1 5 6 0 10", &BedStatTime2, 10.0},
      {"F 359 -10 0", &SurfULimit, -10.0},         {"F 359 -10 0", &SurfUFactor, 0.0},
      {"F 360 0 1e-5", &FluxCorrVal, 1e-5},
      {"F 361 2 -2", &SurfSlopeVal, -2.0},         {"F 361 0 2", &SurfSlopeVal, 2.0},
      {"F 363 0.5 2", &geoScaleX, 0.5},            {"F 363 0.5 2", &geoScaleY, 2.0},
      {"F 364 -5 7", &geoMin, -5.0},               {"F 364 -5 7", &geoMax, 7.0},
      {"F 367 2.5", &SourceKennedy, 2.5},
      {"F 368 5 0.1 0.2 0.3 0.4 6", &BraidedTot, 0.1},
      {"F 368 5 0.1 0.2 0.3 0.4 6", &BraidedActive, 0.2},
      {"F 368 5 0.1 0.2 0.3 0.4 6", &BraidedActive2, 0.3},
      {"F 368 5 0.1 0.2 0.3 0.4 6", &BraidedActive3, 0.4},
      {"F 371 9 0 0 2.5", &FroudeSplit, 2.5},      {"F 371 8 0 0 0.01", &FroudeSplit, 0.01},
      {"F 371 11 0 0 10", &FroudeSplit, 10.0},
      {"F 375 0", &MaxDepthScour, 0.0},            {"F 375 10000", &MaxDepthScour, 10000.0},
      {"F 376 0.1 0.2", &BfG_M, 0.1},              {"F 376 0.1 0.2", &BfG_k, 0.2},
      {"F 379 2 3 0.1", &CritReducePonds, 3.0},    {"F 379 2 3 0.1", &ShearReducePonds, 0.1},
      {"F 381 3 3", &FlushWaterLevelMin, 3.0},     {"F 381 3 3", &FlushWaterLevelMax, 3.0},
      {"F 384 1 2", &OpenFOAMalpha1X, 1.0},        {"F 384 1 2", &OpenFOAMalpha1Z, 2.0},
      {"F 385 5 0.3", &InitValueCohesion, 0.3},
      {"F 387 0", &MinDepthGrid, 0.0},             {"F 388 0", &relaxSimpleCorr, 0.0},
      {"F 395 1 0.5 0.25", &MaxModifyGrid, 0.5},   {"F 395 1 0.5 0.25", &DzModifyGrid, 0.25},
      {"F 397 1 2 1e-6 1000", &WallLimiterU, 1e-6},
      {"F 397 1 2 1e-6 1000", &WallLimiterK, 1000.0},
      {"F 398 0.5", &coeffRoughRijn, 0.5},
  };
  expectStored(doubles);
}

TEST_F(Fsets350Test, SideEffectsOfReading) {
  ASSERT_EQ(scan("F 350 20 10 0 0 F 363 1 1 F 364 0 0 F 368 2 0.001 0.1 0.2 0.3 4 F 375 2.5 "
                 "F 376 0.1 0.2 F 381 -1 1"),
            1000)
      << log();
  EXPECT_EQ(FlagComputeTimestep, 1);
  EXPECT_EQ(FlagGeoScale, 1);
  EXPECT_EQ(FlagGeoMaxMin, 1);
  EXPECT_EQ(FlagBraidedIndex, 1);
  EXPECT_EQ(FlagMinBedLev, 375);
  EXPECT_EQ(MaxDepthScour, 2.5);
  EXPECT_EQ(FlagBedConcentration, 3);
  EXPECT_EQ(FlagFlushWaterLevel, 1);
  // A refused F 350 leaves the variable time step off.
  fresh();
  EXPECT_EQ(scan("F 350 10 20 0 0"), 1);
  EXPECT_EQ(FlagComputeTimestep, 0);
}

TEST_F(Fsets350Test, GridSplitOptionsBelowEightTakeNoFroudeNumber) {
  // "2.5" after option 2 is no value of F 371; the F 374 that follows is read normally.
  ASSERT_EQ(scan("F 371 2 0 0 2.5 F 374 3"), 1000) << log();
  EXPECT_EQ(FroudeSplit, 1.0);
  EXPECT_EQ(Iter2DMG, 3);
  fresh();
  ASSERT_EQ(scan("F 371 12 0 0 5"), 1000) << log();
  EXPECT_EQ(FroudeSplit, 1.0);
}

using test::Refusal;

// Every range check with a value just outside, and the count checks with their own texts.
TEST_F(Fsets350Test, RefusedValues) {
  const Refusal cases[] = {
      {"F 350 10 20 0 0", 1, "Error for F 350 in control\n"},
      {"F 350 -1 -2 0 0", 1, "Error for F 350 in control\n"},
      {"F 350 10 5 -1 0", 1, "Error for F 350 in control\n"},
      {"F 350 10 5 0 -1", 1, "Error for F 350 in control\n"},
      {"F 350 10 5 0", 1, "Error for F 350 in control\n"},
      {"F 351 -1 1", 1, "Error for F 351 in control\n"},
      {"F 351 0 0.00009", 1, "Error for F 351 in control\n"},
      {"F 352 1", 1, "Error for F 352 in control\n"},
      {"F 353 x", 1, "Error for F 353 in control\n"},
      {"F 354 1", 1, "Error for F 354 in control\n"},
      {"F 355 -1 0.5", 1, "Error for F 355 in control\n"},
      {"F 356 -1", 1, "Error for F 356 in control\n"},
      {"F 357 -11 1", 1, "Error for F 357 in control\n"},
      {"F 357 0 -1", 1, "Error for F 357 in control\n"},
      {"F 358 3 2 1 1 0 0", 1, "Error for F 358 in control\n"},
      {"F 358 0 2 1 1 0 0", 1, "Error for F 358 in control\n"},
      {"F 358 1 2 1 1 0", 1, "Error for F 358 in control\n"},
      {"F 359 -11 0", 1, "Error for F 359 in control\n"},
      {"F 359 0 -0.1", 1, "Error for F 359 in control\n"},
      {"F 360 -1 1.1", 1, "Error for F 360 in control\n"},
      {"F 360 0 1e-6", 1, "Error for F 360 in control\n"},
      {"F 361 -1 0", 1, "Error for F 361 in control\n"},
      {"F 361 0 2.1", 1, "Error for F 361 in control\n"},
      {"F 361 0 -2.1", 1, "Error for F 361 in control\n"},
      {"F 362 4", 1, "Error for F 362 in control\n"},
      {"F 362 -1", 1, "Error for F 362 in control\n"},
      {"F 363 1", 1, "Error for F 363 in control\n"},
      {"F 364 1", 1, "Error for F 364 in control\n"},
      {"F 365", 1, "Error for F 365 in control\n"},
      {"F 366", 1, "Error for F 366 in control\n"},
      {"F 367", 1, "Error for F 367 in control\n"},
      {"F 368 2 0.001 0.1 0.2 0.3", 1, "Error for F 368 in control: have not read 6 numbers\n"},
      {"F 369", 1, "Error for F 369 in control: have not read 1 number\n"},
      {"F 370 1 5 10 1", 1, "Error for F 370 in control: have not read 5 integers\n"},
      {"F 370 1 5 10 1 1", 1, "Error for F370, 4th parameter must be larger than 1\n"},
      {"F 370 1 10 5 3 1", 1, "Error for F 370 in control\n"},
      {"F 370 1 5 10 299 1", 1, "Error for F 370 in control\n"},  // G 1 default: 300 lines in j
      {"F 370 1 5 10 3 0", 1, "Error for F 370 in control\n"},
      {"F 371 1 0", 1, "Error for F 371 in control: have not read 3 integers\n"},
      {"F 371 9 0 0 20", 1,
       "Error for F 371 in control: Error for fourth parameter: FroudeSplit = 20.000000\n\n"},
      {"F 371 9 0 0 0.005", 1,
       "Error for F 371 in control: Error for fourth parameter: FroudeSplit = 0.005000\n\n"},
      // Without a fourth value the text shows the Froude number held so far.
      {"F 371 10 0 0", 1,
       "Error for F 371 in control: Error for fourth parameter: FroudeSplit = 1.000000\n\n"},
      {"F 372", 1, "Error for F 372 in control: have not read 1 number\n"},
      {"F 373", 1, "Error for F 373 in control: have not read 1 number\n"},
      {"F 374", 1, "Error for F 374 in control: have not read 1 number\n"},
      {"F 375 -1", 1, "Error for F 375 in control"},
      {"F 375 10001", 1, "Error for F 375 in control"},
      {"F 375", 1, "Error for F 375 in control"},
      {"F 376 0.1", 1, "Error for F 376 in control: Have not read two numbers"},
      {"F 377", 1, "Error for F 377 in control: Have not read one number"},
      {"F 378", 1, "Error for F 378 in control: Have not read one number"},
      {"F 379 1 5", 1, "Error for F 379 in control: Have not read three numbers"},
      {"F 380", 1, "Error for F 380 in control: Have not read one number"},
      {"F 381 2 1", 1, "Error for F 381 in control\n"},
      {"F 381 2", 1, "Error for F 381 in control\n"},
      {"F 382", 1, "Error for F 382 in control: Have not read one number"},
      {"F 383", 1, "Error for F 383 in control: Have not read one number"},
      {"F 384 1", 1, "Error for F 384 in control: Have not read two numbers"},
      {"F 385 1", 1, "Error for F 385 in control: Have not read two numbers"},
      {"F 386 1", 1, "Error for F 386 in control: Have not read two integers: Flag + MaxNo"},
      {"F 387 -0.5", 1, "Error for F 387 in control"},
      {"F 387", 1, "Error for F 387 in control"},
      {"F 388 -1", 1, "Error for F 388 in control"},
      {"F 389 0", 1, "Error for F 389 in control"},
      {"F 390 -1", 1, "Error for F 390 in control"},
      {"F 391 -1", 1, "Error for F 391 in control"},
      {"F 392 -1", 1, "Error for F 392 in control"},
      {"F 393 -1", 1, "Error for F 393 in control"},
      {"F 394 -1", 1, "Error for F 394 in control"},
      {"F 395 -1 0 0", 1, "Error for F 395 in control"},
      {"F 395 0 -1 0", 1, "Error for F 395 in control"},
      {"F 395 0 0 -1", 1, "Error for F 395 in control"},
      {"F 395 0 0", 1, "Error for F 395 in control"},
      {"F 396 -1", 1, "Error for F 396 in control"},
      {"F 397 -1 0 0.1 0.1", 1, "Error for F 397 in control"},
      {"F 397 0 -1 0.1 0.1", 1, "Error for F 397 in control"},
      {"F 397 0 0 1e-7 0.1", 1, "Error for F 397 in control"},
      {"F 397 0 0 0.1 1001", 1, "Error for F 397 in control"},
      {"F 397 0 0 0.1", 1, "Error for F 397 in control"},
      {"F 398 -1", 1, "Error for F 398 in control"},
      {"F 399 -1", 1, "Error for F 399 in control"},
  };
  expectRefusals(cases);
}

TEST_F(Fsets350Test, DuneLineMustLieBelowTheLastButOneGridLine) {
  // The j line is tested against the G 1 size known when F 370 is read.
  ynumber = 10;
  EXPECT_EQ(scan("F 370 1 2 4 8 1"), 1000) << log();
  fresh();
  ynumber = 10;
  EXPECT_EQ(scan("F 370 1 2 4 9 1"), 1);
  EXPECT_EQ(log(), "Error for F 370 in control\n");
}

struct Window { int xn, yn, i1, i2, j1, j2; int status; };

// After reading, the whole window must lie on the grid lines of G 1, so the statistics never
// index past the structured tables.
TEST_F(Fsets350Test, BedStatisticsWindowAgainstFinalGridSizes) {
  const Window cases[] = {
      {20, 10, 0, 0, 0, 0, 1000},      // no F 358: nothing to check
      {20, 10, 1, 20, 1, 10, 1000},    // the whole grid
      {20, 10, 5, 5, 3, 3, 1000},      // one grid line
      {20, 10, 1, 21, 1, 10, 1},       // past the last i line
      {20, 10, 1, 20, 1, 11, 1},       // past the last j line
      {20, 10, 2, 4, 0, 5, 1},         // j from the spare line 0
      {20, 10, 2, 4, -3, 5, 1},
      {20, 10, 2, 4, 6, 5, 1},         // j range upside down
      {300, 300, 2, 4, 1, 299, 1000},  // G 1 defaults
  };
  for (const Window& c : cases) {
    fresh();
    xnumber = c.xn;
    ynumber = c.yn;
    BedStatI1 = c.i1; BedStatI2 = c.i2; BedStatJ1 = c.j1; BedStatJ2 = c.j2;
    EXPECT_EQ(windowCheck(), c.status) << c.i1 << ".." << c.i2 << ", " << c.j1 << ".." << c.j2;
    if (c.status == 1)
      EXPECT_EQ(log(), "Error for F 358 in control\n");
    else
      EXPECT_FALSE(std::filesystem::exists("boogie"));
  }
}

TEST_F(Fsets350Test, BedStatisticsWindowReadBeforeTheGridSizes) {
  // F 358 passes its own check while G 1 is still at 300 x 300; the smaller grid given after
  // it makes the window fail once reading is done.
  ASSERT_EQ(scan("F 358 2 100 2 50 0 3600"), 1000) << log();
  xnumber = 40;  // as a later G 1 would leave it
  EXPECT_EQ(windowCheck(), 1);
  EXPECT_EQ(log(), "Error for F 358 in control\n");
}

}  // namespace
}  // namespace qorva
