// Data sets F 300 to F 349: defaults, values and their targets, count and range checks with
// their texts, the F 329 list, the F 330 table and the block-division discharges of F 337.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "state/options.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using Fsets300Test = test::Scratch;

TEST_F(Fsets300Test, DefaultsBeforeReading) {
  EXPECT_EQ(MaxCrashDef, 1e10);
  EXPECT_EQ(TimeStepThixo, 1.0);
  EXPECT_EQ(IterThixo, 0);
  EXPECT_EQ(FlagWaterSolveNew, 0);
  EXPECT_EQ(PrintArrayFlags[0], 1);
  EXPECT_EQ(PrintArrayFlags[1], 1);
  for (int k = 2; k < 51; ++k) EXPECT_EQ(PrintArrayFlags[k], 0) << k;
  EXPECT_EQ(NoCohesiveDepth, 0);
  EXPECT_EQ(znumberThixo, 2);
  EXPECT_EQ(ThixoExpansion, 1.0);
  EXPECT_EQ(ThixoSlideModifier, 1.0);
  EXPECT_EQ(ThixoCohesiveModifier, 0.2);
  EXPECT_EQ(TimeEnd, 1e50);
  EXPECT_EQ(ThixoMinGamma, 1000.0);
  EXPECT_EQ(FlagOutflow, 0);
  EXPECT_EQ(vectorIter, 1);
  EXPECT_EQ(residualCasulli, 1e-5);
  EXPECT_EQ(FlagMPI, 0);
}

TEST_F(Fsets300Test, DefaultsAreRestoredAfterValuesWereRead) {
  ASSERT_EQ(scan("F 301 5 F 308 3 F 317 4 7 F 318 98 2 F 326 0.5 3 F 328 1 F 329 0 0 9 "
                 "F 330 1 2.0 30.0 F 331 4 F 335 100 F 337 1 2 3.5 F 342 0 F 345 0.1"),
            1000)
      << log();
  setDefaults();
  EXPECT_EQ(MaxCrashDef, 1e10);
  EXPECT_EQ(FlagMPI, 0);
  EXPECT_EQ(jPresUp[4], 0);
  EXPECT_EQ(jPresDown[98], 0);
  EXPECT_EQ(TimeStepThixo, 1.0);
  EXPECT_EQ(IterThixo, 0);
  EXPECT_EQ(FlagWaterSolveNew, 0);
  EXPECT_EQ(PrintArrayFlags[0], 1);
  EXPECT_EQ(PrintArrayFlags[1], 1);
  EXPECT_EQ(PrintArrayFlags[2], 0);
  EXPECT_EQ(NoCohesiveDepth, 0);
  EXPECT_EQ(cohesiveDepth[0], 0.0);
  EXPECT_EQ(cohesiveArr[0], 0.0);
  EXPECT_EQ(znumberThixo, 2);
  EXPECT_EQ(TimeEnd, 1e50);
  EXPECT_EQ(dischargesMPI[42], 0.0);
  EXPECT_EQ(vectorIter, 1);
  EXPECT_EQ(residualCasulli, 1e-5);
}

using IntValue = test::Stored<int>;
using DoubleValue = test::Stored<double>;

// Each row puts its values into its own settings; the edges of the ranges pass.
TEST_F(Fsets300Test, ValuesGoToTheirSettings) {
  const IntValue ints[] = {
      {"F 303 0", &FlagFracVer, 0},          {"F 303 7", &FlagFracVer, 7},
      {"F 304 2", &FlagBedVer, 2},           {"F 305 1", &FlagNewWall, 1},
      {"F 306 3", &FlagUseBedres, 3},        {"F 308 4", &FlagMPI, 4},
      {"F 309 5", &FlagInterpolNew, 5},      {"F 310 1", &FlagFixBed, 1},
      {"F 311 2", &FlagShallowWater, 2},     {"F 312 1", &FlagModEpsilon, 1},
      {"F 313 6", &FlagKoordinaFix, 6},
      {"F 314 1000 10", &FlagGenerateUpFlux, 1000},
      {"F 314 1000 10", &FlagGenerateDownFlux, 10},
      {"F 314 0 0", &FlagGenerateUpFlux, 0},
      {"F 315 3", &FlagGridMPIboundary, 3},  {"F 316 2", &FlagPresMPIboundary, 2},
      {"F 319 1", &FlagUnstrucMPI, 1},       {"F 320 1", &FlagZeroGradSedim, 1},
      {"F 322 3 4", &FlagTimeSurf, 3},       {"F 322 3 4", &FlagMomentSurf, 4},
      {"F 323 1", &FlagSurface2, 1},         {"F 324 2", &FlagNormStress, 2},
      {"F 325 1", &FlagSlide, 1},            {"F 326 0 0", &IterThixo, 0},
      {"F 326 2.5 12", &IterThixo, 12},      {"F 327 1", &FlagInvApSmooth, 1},
      {"F 328 1", &FlagWaterSolveNew, 1},    {"F 331 2", &znumberThixo, 2},
      {"F 331 9", &znumberThixo, 9},         {"F 333 1", &FlagGT, 1},
      {"F 336 2", &FlagThixoTimestep, 2},    {"F 339 1", &FlagUnstrucThixo, 1},
      {"F 340 1", &FlagOutflow, 1},          {"F 340 9", &FlagOutflow, 9},
      {"F 341 0", &FlagShallowDamp, 0},      {"F 341 9", &FlagShallowDamp, 9},
      {"F 342 0", &vectorIter, 0},           {"F 343 2", &BlockCasulli, 2},
      {"F 344 1", &FlagSolverVertTDMA, 1},   {"F 346 1", &FlagFroudeDamp, 1},
      {"F 347 1", &FlagFixSurfSlide, 1},     {"F 348 2", &UnevenConnect, 2},
      {"F 349 1", &FlagOpenFOAMsurface, 1},
  };
  expectStored(ints);
  const DoubleValue doubles[] = {
      {"F 301 0", &MaxCrashDef, 0.0},         {"F 301 2.5e3", &MaxCrashDef, 2500.0},
      {"F 326 2.5 12", &TimeStepThixo, 2.5},  {"F 326 0 0", &TimeStepThixo, 0.0},
      {"F 332 -0.001", &ThixoExpansion, -0.001},
      {"F 334 -0.001 0", &ThixoSlideModifier, -0.001},
      {"F 334 -0.001 0", &ThixoCohesiveModifier, 0.0},
      {"F 335 -0.001", &TimeEnd, -0.001},     {"F 335 3600", &TimeEnd, 3600.0},
      {"F 338 0", &ThixoMinGamma, 0.0},       {"F 345 0.002", &residualCasulli, 0.002},
  };
  expectStored(doubles);
}

TEST_F(Fsets300Test, PressureLimitIndexesFillOneEntryEach) {
  ASSERT_EQ(scan("F 317 1 12 F 317 98 3 F 318 5 40 F 318 5 41"), 1000) << log();
  EXPECT_EQ(jPresUp[1], 12);
  EXPECT_EQ(jPresUp[98], 3);
  EXPECT_EQ(jPresUp[2], 0);
  EXPECT_EQ(jPresDown[5], 41);  // the later data set wins
  EXPECT_EQ(jPresDown[1], 0);
}

using test::Refusal;

// Every range check with a value just outside, and the count check that comes first.
TEST_F(Fsets300Test, RefusedValues) {
  const Refusal cases[] = {
      {"F 301 -1", 1, "Error for F 301 in control\n"},
      {"F 301", 1, "Error for F 301 in control\n"},
      {"F 303 -1", 1, "Error for F 303 in control\n"},
      {"F 303 x", 1, "Error for F 303 in control\n"},
      {"F 304 -1", 1, "Error for F 304 in control\n"},
      {"F 305 -2", 1, "Error for F 305 in control\n"},
      {"F 306 -1", 1, "Error for F 306 in control\n"},
      {"F 308 -1", 1, "Error for F 308 in control\n"},
      {"F 309 -1", 1, "Error for F 309 in control\n"},
      {"F 310 -1", 1, "Error for F 310 in control\n"},
      {"F 311 -1", 1, "Error for F 311 in control\n"},
      {"F 312 -1", 1, "Error for F 312 in control\n"},
      {"F 313 -1", 1, "Error for F 313 in control\n"},
      {"F 314 1001 0", 1, "Error for F 314 in control\n"},
      {"F 314 -1 0", 1, "Error for F 314 in control\n"},
      {"F 314 0 11", 1, "Error for F 314 in control\n"},
      {"F 314 5\nF 303 1", 1, "Error for F 314 in control\n"},
      {"F 315 -1", 1, "Error for F 315 in control\n"},
      {"F 316 -1", 1, "Error for F 316 in control\n"},
      {"F 317 0 5", 1, "Error for F 317 in control\n"},
      {"F 317 99 5", 1, "Error for F 317 in control\n"},
      {"F 317 5 0", 1, "Error for F 317 in control\n"},
      {"F 317 5", 1, "Error for F 317 in control\n"},
      {"F 318 99 1", 1, "Error for F 318 in control\n"},
      {"F 318 -3 1", 1, "Error for F 318 in control\n"},
      {"F 319 -1", 1, "Error for F 319 in control\n"},
      {"F 320 -1", 1, "Error for F 320 in control\n"},
      {"F 322 -1 0", 1, "Error for F 322 in control\n"},
      {"F 322 0 -1", 1, "Error for F 322 in control\n"},
      {"F 322 0", 1, "Error for F 322 in control\n"},
      {"F 323 -1", 1, "Error for F 323 in control\n"},
      {"F 324 -1", 1, "Error for F 324 in control\n"},
      {"F 325 -1", 1, "Error for F 325 in control\n"},
      {"F 326 1.0 -1", 1, "Error for F 326 in control\n"},
      {"F 326 -0.5 2", 1, "Error for F 326 in control\n"},
      {"F 326 1.0", 1, "Error for F 326 in control\n"},
      {"F 327 -1", 1, "Error for F 327 in control\n"},
      {"F 328 -1", 1, "Error for F 328 in control\n"},
      {"F 331 1", 1, "Error for F 331 in control\n"},
      {"F 332 -0.01", 1, "Error for F 332 in control\n"},
      {"F 333 -1", 1, "Error for F 333 in control\n"},
      {"F 334 -0.01 0.2", 1, "Error for F 334 in control\n"},
      {"F 334 1 -0.1", 1, "Error for F 334 in control\n"},
      {"F 334 1", 1, "Error for F 334 in control\n"},
      {"F 335 -1", 1, "Error for F 335 in control\n"},
      {"F 336 -1", 1, "Error for F 336 in control\n"},
      {"F 338 -1", 1, "Error for F 338 in control\n"},
      {"F 339 -1", 1, "Error for F 339 in control\n"},
      {"F 340 0", 1, "Error for F 340 in control\n"},
      {"F 340 10", 1, "Error for F 340 in control\n"},
      {"F 341 -1", 1, "Error for F 341 in control\n"},
      {"F 341 10", 1, "Error for F 341 in control\n"},
      {"F 342 -1", 1, "Error for F 342 in control\n"},
      {"F 343 -1", 1, "Error for F 343 in control\n"},
      {"F 343 3", 1,
       "Error for F 343 in control\nThis data set must only be used with the F 168 data set\n\n"},
      {"F 344 -1", 1, "Error for F 344 in control\n"},
      {"F 345 -1e-6", 1, "Error for F 345 in control\n"},
      {"F 346 -1", 1, "Error for F 346 in control\n"},
      {"F 347 -1", 1, "Error for F 347 in control\n"},
      {"F 348 -1", 1, "Error for F 348 in control\n"},
      {"F 349 -1", 1, "Error for F 349 in control\n"},
  };
  expectRefusals(cases);
}

TEST_F(Fsets300Test, NumbersWithoutAReaderAreSkipped) {
  // F 300, 302, 307 and 321 have no reader: their values are plain text for the scan, and
  // each is said once.
  EXPECT_EQ(scan("F 300 -5 F 302 x F 307 -1 F 321 -2 F 303 4"), 1000) << log();
  EXPECT_EQ(FlagFracVer, 4);
  std::string said;
  for (int n : {300, 302, 307, 321})
    said += strf("Warning: control holds F %d (line 1), a data set this version does not read; "
                 "it is skipped (docs/CONTROL.md lists the data sets)\n",
                 n);
  EXPECT_EQ(log(), said);
}

TEST_F(Fsets300Test, WaterLevelSolverBlocksNeedItsMultigrid) {
  Flag2DAccSolver = 2;  // as after F 168 2
  EXPECT_EQ(scan("F 343 5"), 1000) << log();
  EXPECT_EQ(BlockCasulli, 5);
}

struct PrintList { const char* text; int stored; int flags[5]; };

// The list ends at a word that is no integer, at a value outside 0..199 (which is taken from
// the input but not stored) or after 20 values; entries after the last one read stay.
TEST_F(Fsets300Test, OutputSwitchList) {
  const PrintList cases[] = {
      {"F 329 3 0 5\nF 303 2", 3, {3, 0, 5, 0, 0}},
      {"F 329 1 250 7", 1, {1, 1, 0, 0, 0}},
      {"F 329 0 -1", 1, {0, 1, 0, 0, 0}},
      {"F 329 199 0 0 1", 4, {199, 0, 0, 1, 0}},
      {"F 329 x", 0, {1, 1, 0, 0, 0}},
  };
  for (const PrintList& c : cases) {
    fresh();
    EXPECT_EQ(scan(c.text), 1000) << c.text;
    for (int k = 0; k < 5; ++k) EXPECT_EQ(PrintArrayFlags[k], c.flags[k]) << c.text << " at " << k;
    EXPECT_EQ(log(), "Have read " + std::to_string(c.stored) + " integers from the F 329 data set\n")
        << c.text;
  }
  // "F 329 1 250 7": the 250 is used up, so the 7 is scan text and F 303 below still reads.
  fresh();
  EXPECT_EQ(scan("F 329 1 250 F 303 6"), 1000);
  EXPECT_EQ(FlagFracVer, 6);
}

TEST_F(Fsets300Test, OutputSwitchListStopsAfterTwentyValues) {
  std::string text = "F 329";
  for (int k = 1; k <= 22; ++k) text += " " + std::to_string(k);
  EXPECT_EQ(scan(text), 1000);
  for (int k = 0; k < 20; ++k) EXPECT_EQ(PrintArrayFlags[k], k + 1) << k;
  EXPECT_EQ(PrintArrayFlags[20], 0);
  EXPECT_EQ(PrintArrayFlags[21], 0);
  EXPECT_EQ(log(), "Have read 20 integers from the F 329 data set\n");
}

TEST_F(Fsets300Test, CohesionTable) {
  ASSERT_EQ(scan("F 330 3 0.0 100.0 0.5 2e3 1.5 1e8"), 1000) << log();
  EXPECT_EQ(NoCohesiveDepth, 3);
  EXPECT_EQ(cohesiveDepth[0], 0.0);
  EXPECT_EQ(cohesiveArr[0], 100.0);
  EXPECT_EQ(cohesiveDepth[1], 0.5);
  EXPECT_EQ(cohesiveArr[1], 2000.0);
  EXPECT_EQ(cohesiveDepth[2], 1.5);
  EXPECT_EQ(cohesiveArr[2], 1e8);

  // The largest table fills entries 0..98.
  fresh();
  std::string text = "F 330 99";
  for (int i = 0; i < 99; ++i) text += " " + std::to_string(i) + " 1";
  ASSERT_EQ(scan(text), 1000) << log();
  EXPECT_EQ(cohesiveDepth[98], 98.0);
  EXPECT_EQ(cohesiveArr[98], 1.0);
}

TEST_F(Fsets300Test, CohesionTableRefusals) {
  const Refusal cases[] = {
      {"F 330 0", 1, "Error for F 330 in control - first integer\n"},
      {"F 330 100 1 1", 1, "Error for F 330 in control - first integer\n"},
      {"F 330 -1", 1, "Error for F 330 in control - first integer\n"},
      {"F 330 x", 1, "Error for F 330 in control - first integer\n"},
      {"F 330 2 0.0 100.0 1.0 -5.0", 1, "Error for F 330 in control, 1 parameter\n"},
      {"F 330 1 -0.1 5", 1, "Error for F 330 in control, 0 parameter\n"},
      {"F 330 1 0 1.5e8", 1, "Error for F 330 in control, 0 parameter\n"},
      {"F 330 2 0 1 F 303 1", 1, "Error for F 330 in control, 1 parameter\n"},
      {"F 330 2 0 1 2", 1, "Error for F 330 in control, 1 parameter\n"},
  };
  expectRefusals(cases);
}

TEST_F(Fsets300Test, BlockDischargeGoesToGroupPlusTwentyTimesBlock) {
  ASSERT_EQ(scan("F 308 4 F 337 2 3 10.5 F 337 0 1 0 F 337 99 9 7.25"), 1000) << log();
  EXPECT_EQ(dischargesMPI[43], 10.5);
  EXPECT_EQ(dischargesMPI[1], 0.0);
  EXPECT_EQ(dischargesMPI[1989], 7.25);  // 9 + 20 * 99, the last slot a block can use
}

TEST_F(Fsets300Test, BlockDischargeRefusals) {
  const char* needsF308 =
      "Error in control file. The F 337 data set can only be used\n"
      "when preceded by an F 308 (MPI) data set\n\n";
  const Refusal cases[] = {
      {"F 337 2 3 10.5", -1, needsF308},
      {"F 337 2 3 10.5 F 308 4", -1, needsF308},
      {"F 308 4 F 337 2 3", 1, "Error for F 337 in control: have not read three numbers\n"},
      {"F 308 4 F 337 2 10 1.0", 1, "Error for F 337 in control: 2nd integer not between 1 and 9\n"},
      {"F 308 4 F 337 2 0 1.0", 1, "Error for F 337 in control: 2nd integer not between 1 and 9\n"},
      {"F 308 4 F 337 2 3 -1", 1, "Error for F 337, group 3, block 2: discharge is too low\n"},
      // Blocks outside 0..99 have no place in the table.
      {"F 308 4 F 337 100 3 1.0", 1, "Error for F 337 in control\n"},
      {"F 308 4 F 337 -1 3 1.0", 1, "Error for F 337 in control\n"},
      {"F 308 4 F 337 2147483647 9 1.0", 1, "Error for F 337 in control\n"},
  };
  expectRefusals(cases);
  for (double q : dischargesMPI) EXPECT_EQ(q, 0.0);
}

}  // namespace
}  // namespace qorva
