// Data sets F 450 to F 499: values, defaults, count and range checks with their texts, the
// checks against earlier data sets, the side effects and the refused F 495.
#include <gtest/gtest.h>

#include "state/options.h"
#include "state/status.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using Fsets450 = test::Scratch;
using test::Refusal;

TEST_F(Fsets450, RefusedValues) {
  const Refusal cases[] = {
      {"F 450 1", 1, "Error for F 450 in control\n"},
      {"F 450 -1 0", 1, "Error for F 450 in control\n"},
      {"F 450 1 -0.5", 1, "Error for F 450 in control\n"},
      {"F 37 3 F 451 -1 0", 1, "Error for F 451 in control\n"},
      {"F 37 3 F 451 1", 1, "Error for F 451 in control\n"},
      {"F 452 0.5 0.5", 1, "Error for F 452 in control\n"},
      {"F 452 -0.5 0.5 9", 1, "Error for F 452 in control\n"},
      {"F 452 0.5 -0.5 9", 1, "Error for F 452 in control\n"},
      {"F 452 0.5 0.5 0", 1, "Error for F 452 in control\n"},
      {"F 453 F 20 2", 1, "Error for F 453 in control\n"},
      {"F 37 3 F 453 -1", 1, "Error for F 453 in control\n"},
      {"F 453 5", 1, "Error for F 453 in control: The option can only be used with F 37 3\n"},
      {"F 37 2 F 453 1", 1, "Error for F 453 in control: The option can only be used with F 37 3\n"},
      {"F 454 0", 1, "Error for F 454 in control\n"},
      {"F 455 -1", 1, "Error for F 455 in control\n"},
      {"F 457 0.009", 1, "Error for F 457 in control\n"},
      {"F 461 -0.1", 1, "Error for F 461 in control\n"},
      {"F 464 F 20 2", 1, "Error for F 464 in control\n"},
      {"F 465 200", 1, "Error for F 465 in control\n"},
      {"F 465 0 200", 1, "Error for F 465 in control\n"},
      {"F 465 200 0", 1, "Error for F 465 in control\n"},
      {"F 466 1.1", 1, "Error for F 466 in control\n"},
      {"F 466 -0.1", 1, "Error for F 466 in control\n"},
      {"F 468 -1", 1, "Error for F 468 in control\n"},
      {"F 469 0.8", 1, "Error for F 469 in control\n"},
      {"F 469 2.2", 1, "Error for F 469 in control\n"},
      {"F 469 F 20 2", 1, "Error for F 469 in control\n"},
      {"F 470 11", 1, "Error for F 470 in control\n"},
      {"F 470 -1", 1, "Error for F 470 in control\n"},
      {"F 476 -1", 1, "Error for F 476 in control\n"},
      {"F 476 4", 1, "Error for F 476 in control\n"},  // no bed-form formula above 3
      {"F 479 -0.01", 1, "Error for F 479 in control\n"},
      {"F 487 -1", 1, "Error for F 487 in control\n"},
      {"F 488 F 20 2", 1, "Error for F 488 in control\n"},
      {"F 490 1", 1, "Error for F 490 in control\n"},
      {"F 490 -1 0.2", 1, "Error for F 490 in control\n"},
      {"F 490 1 -0.2", 1, "Error for F 490 in control\n"},
      {"F 491 1.5", 1, "Error for F 491 in control\n"},
      {"F 491 -0.01", 1, "Error for F 491 in control\n"},
      {"F 494 -1", 1, "Error for F 494 in control\n"},
      {"F 499 -1", 1, "Error for F 499 in control\n"},
  };
  expectRefusals(cases);
}

TEST_F(Fsets450, AcceptedValuesAreStored) {
  const char* text =
      "F 450 1 0.3 F 452 0 0 1 F 454 1 F 455 2 F 457 0.01 F 461 0.5 F 463 4 F 465 1 1 "
      "F 466 1 F 467 0 F 468 0 F 469 0.9 F 470 10 F 473 1 F 479 0 F 487 0 F 488 3 F 489 7 "
      "F 490 0 0 F 491 1 F 493 5 F 496 1 F 497 1 F 498 1 F 499 2";
  EXPECT_EQ(scan(text), 1000) << log();
  EXPECT_EQ(FlagGroyneArmour, 1);
  EXPECT_EQ(GroyneArmour, 0.3);
  EXPECT_EQ(surfaceDampFactor1, 0.0);
  EXPECT_EQ(surfaceDampSec, 1);
  EXPECT_EQ(LevelInflowSed, 2);
  EXPECT_EQ(cyclicIncreaseFactor, 0.01);
  EXPECT_EQ(ShiftSourceBed, 0.5);
  EXPECT_EQ(NoDownstreamDeposit, 4);
  EXPECT_EQ(IterSlideHoriz, 1);
  EXPECT_EQ(IterSlideVert, 1);
  EXPECT_EQ(relaxCasulli, 1.0);
  EXPECT_EQ(FlagScaleGridMove, 0);
  EXPECT_EQ(NoCasulliMG, 0);
  EXPECT_EQ(TFSdampwall, 0.9);
  EXPECT_EQ(FlagCasulliCoeff, 10);
  EXPECT_EQ(updateRatioCriteria, 0.0);
  EXPECT_EQ(FlagOldPres, 0);
  EXPECT_EQ(UMethod2, 3);
  EXPECT_EQ(FirstIterNo, 7);
  EXPECT_EQ(FlagPressureTest, 0);
  EXPECT_EQ(PressureTestFactor, 0.0);
  EXPECT_EQ(CoeffPonds, 1.0);
  EXPECT_EQ(FlagTriangleAlgo, 5);
  EXPECT_EQ(FlagDuneShearPartCross, 2);
  EXPECT_EQ(log(), "");
}

TEST_F(Fsets450, Defaults) {
  EXPECT_EQ(surfaceDampFactor1, 0.5);
  EXPECT_EQ(surfaceDampFactor2, 0.5);
  EXPECT_EQ(surfaceDampSec, 9);
  EXPECT_EQ(skipWatersolve, 1);
  EXPECT_EQ(cyclicIncreaseFactor, 1.0);
  EXPECT_EQ(IterSlideHoriz, 200);
  EXPECT_EQ(IterSlideVert, 200);
  EXPECT_EQ(FlagScaleGridMove, 1);
  EXPECT_EQ(NoCasulliMG, 100);
  EXPECT_EQ(KarimCoeff, 0.47);
  EXPECT_EQ(updateRatioCriteria, 0.05);
  EXPECT_EQ(FlagOldPres, 1);
  EXPECT_EQ(FlagPressureTest, 1);
  EXPECT_EQ(PressureTestFactor, 0.2);
  EXPECT_EQ(CoeffPonds, 0.01);
}

TEST_F(Fsets450, EveryNumberOfTheRangeHasAReader) {
  for (int n = 450; n <= 499; ++n) EXPECT_NE(findDataSet('F', n), nullptr) << n;
}

// The F 412 test comes before the F 37 test.
TEST_F(Fsets450, FourthBedSmoothingNeedsErosionUnderTheLayerAndF37Mode3) {
  const Refusal cases[] = {
      {"F 37 3 F 412 0 F 451 1 0.5", 1,
       "Error for combination of F 451 and F 412 in control file.\n"
       "The smoothing will affect more than one layer.\n"},
      {"F 412 0 F 451 1 0.5", 1,
       "Error for combination of F 451 and F 412 in control file.\n"
       "The smoothing will affect more than one layer.\n"},
      {"F 412 1 F 451 1 0.5", 1,
       "The F 451 data set is only used in combination with the F 37 3 data set\n"
       "An alternative is the F 144 data set\n\n"},
      {"F 451 1 0.5 F 37 3", 1,
       "The F 451 data set is only used in combination with the F 37 3 data set\n"
       "An alternative is the F 144 data set\n\n"},
      {"F 37 3 F 412 1 F 451 1 0.5", 1000, ""},
  };
  expectRefusals(cases);
  EXPECT_EQ(FlagBedSmooth4, 1);
  EXPECT_EQ(BedSmooth4, 0.5);
}

TEST_F(Fsets450, SectorDampingRaisesDownstreamDampingToAtLeast5) {
  struct Case { int before; int after; };
  const Case cases[] = {{1, 5}, {4, 5}, {5, 5}, {7, 7}};
  for (const Case& c : cases) {
    setDefaults();
    surfaceDownstreamDamp = c.before;  // as F 353 given earlier leaves it
    EXPECT_EQ(scan("F 452 0.4 0.6 3"), 1000) << log();
    EXPECT_EQ(surfaceDownstreamDamp, c.after) << c.before;
  }
  EXPECT_EQ(surfaceDampFactor1, 0.4);
  EXPECT_EQ(surfaceDampFactor2, 0.6);
  EXPECT_EQ(surfaceDampSec, 3);
}

TEST_F(Fsets450, SectorDampingAfterF353) {
  EXPECT_EQ(scan("F 353 1 F 452 0.5 0.5 9"), 1000) << log();
  EXPECT_EQ(surfaceDownstreamDamp, 5);
  EXPECT_EQ(scan("F 353 7 F 452 0.5 0.5 9"), 1000) << log();
  EXPECT_EQ(surfaceDownstreamDamp, 7);
  EXPECT_EQ(scan("F 452 0.5 0.5 9 F 353 2"), 1000) << log();  // a later F 353 wins
  EXPECT_EQ(surfaceDownstreamDamp, 2);
}

TEST_F(Fsets450, ProfileOutputOnlyWithF37Mode3) {
  EXPECT_EQ(scan("F 453 0"), 1000) << log();
  EXPECT_EQ(scan("F 37 3 F 453 5"), 1000) << log();
  EXPECT_EQ(FlagProfiles, 5);
}

TEST_F(Fsets450, DuneFormulaSetsItsCoefficient) {
  struct Case { const char* text; double karim; };
  const Case cases[] = {
      {"F 476 2", 0.085}, {"F 476 1", 0.47}, {"F 476 2 F 476 3", 0.47}, {"F 476 2 F 476 0", 0.085},
  };
  for (const Case& c : cases) {
    setDefaults();
    EXPECT_EQ(scan(c.text), 1000) << c.text;
    EXPECT_EQ(KarimCoeff, c.karim) << c.text;
  }
}

TEST_F(Fsets450, DiscontinuedGridStabilityFixAlwaysEndsTheRun) {
  const Refusal cases[] = {
      {"F 495 1 0.5", 1,
       "F 495 data set is discontinued from 14. nov. 2023 as it will break the ponds algorithm\n\n"},
      {"F 495 0 0", 1,
       "F 495 data set is discontinued from 14. nov. 2023 as it will break the ponds algorithm\n\n"},
      {"F 495 -1 0.5", 1, "Error for F 495 in control\n"},
      {"F 495 1\nF 20 2", 1, "Error for F 495 in control\n"},
      {"F 495", 1, "Error for F 495 in control\n"},
  };
  // The settings keep their built-in values for the grid-stability check.
  expectRefusals(cases, Nothing{}, [](const Refusal&) {
    EXPECT_EQ(FlagGridStabFix2, 0);
    EXPECT_EQ(GridDepthFix2, 0.0);
  });
}

}  // namespace
}  // namespace qorva
