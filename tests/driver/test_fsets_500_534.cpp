// Data sets F 500 to F 534: values, defaults, count and range checks with their texts.
#include <gtest/gtest.h>

#include "state/options.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using Fsets500 = test::Scratch;
using test::Refusal;

TEST_F(Fsets500, RefusedValues) {
  const Refusal cases[] = {
      {"F 500 -0.01", 1, "Error for F 500 in control\n"},
      {"F 500 F 20 2", 1, "Error for F 500 in control\n"},
      {"F 501 -1", 1, "Error for F 501 in control\n"},
      {"F 502 -1", 1, "Error for F 502 in control\n"},
      {"F 503 -1", 1, "Error for F 503 in control\n"},
      {"F 504 -0.6", 1, "Error for F 504 in control\n"},
      {"F 505 F 20 2", 1, "Error for F 505 in control\n"},
      {"F 506", 1, "Error for F 506 in control\n"},
      {"F 509 x", 1, "Error for F 509 in control\n"},
      {"F 510 -1", 1, "Error for F 510 in control\n"},
      {"F 511 -1", 1, "Error for F 511 in control\n"},
      {"F 512 1", 1, "Error for F 512 in control\n"},
      {"F 512 -1 1", 1, "Error for F 512 in control\n"},
      {"F 512 1 -1", 1, "Error for F 512 in control\n"},
      {"F 514 0 0.0\nF 20 2", 1, "Error for F 514 in control: Default: F 514 0 0.0 1.0\n"},
      {"F 514", 1, "Error for F 514 in control: Default: F 514 0 0.0 1.0\n"},
      {"F 516 1 0 1", 1, "Error for F 516 in control\n"},
      {"F 516 0 1 1", 1, "Error for F 516 in control\n"},
      {"F 516 1 1 0", 1, "Error for F 516 in control\n"},
      {"F 516 2 2", 1, "Error for F 516 in control\n"},
      {"F 520 F 20 2", 1, "Error for F 520 in control\n"},
      {"F 522 1", 1, "Error for F 522 in control\n"},
      {"F 531 -0.5", 1, "Error for F 531 in control\n"},
      {"F 532 1 0 10", 1, "Error for F 532 in control\n"},
      {"F 532 2 10 5", 1, "Error for F 532 in control\n"},
      {"F 532 2 -5 -1", 1, "Error for F 532 in control\n"},
      {"F 532 2 5", 1, "Error for F 532 in control\n"},
      {"F 534 F 20 2", 1, "Error for F 534 in control\n"},
  };
  expectRefusals(cases);
}

TEST_F(Fsets500, AcceptedValuesAreStored) {
  // Rows with only a count take negative values too.
  const char* text =
      "F 500 0 F 501 0 F 502 1 F 503 2 F 504 0 F 505 -0.02 F 506 -1 F 508 -3 F 509 0.5 "
      "F 510 0 F 511 2.5 F 512 0 0 F 513 -1.5 F 514 1 0.25 0.5 F 515 5 F 516 2 3 4 F 517 -1 "
      "F 518 1 F 519 1 F 520 0 F 521 2 F 522 1 -7 F 523 1 F 524 1 F 525 0.5 F 526 1 "
      "F 527 2 F 528 1 F 529 1 F 530 1 F 531 0 F 532 2 5 10 F 533 0 F 534 -1";
  EXPECT_EQ(scan(text), 1000) << log();
  EXPECT_EQ(EHcoeff, 0.0);
  EXPECT_EQ(FlagTriangle10, 2);
  EXPECT_EQ(GravitySlope, -0.02);
  EXPECT_EQ(FlagOrderRemovePonds, -1);
  EXPECT_EQ(FlagGridStab9, -3);
  EXPECT_EQ(TurbThick, 0.5);
  EXPECT_EQ(GridDistCoeff3, 2.5);
  EXPECT_EQ(momentumAddInflow, -1.5);
  EXPECT_EQ(FlagSinkScour, 1);
  EXPECT_EQ(deltaSinkScour, 0.25);
  EXPECT_EQ(porosMultiplier, 0.5);
  EXPECT_EQ(FlagNewSurfUnstruc, 5);
  EXPECT_EQ(ofGridI, 2);
  EXPECT_EQ(ofGridJ, 3);
  EXPECT_EQ(ofGridK, 4);
  EXPECT_EQ(NoMGloops, 0);
  EXPECT_EQ(FlagBarcelona, 1);
  EXPECT_EQ(CrossBarcelona, -7);
  EXPECT_EQ(coeffTurbFlag5, 0.5);
  EXPECT_EQ(coeffEpsilon, 2.0);
  EXPECT_EQ(FlagLimitSurf, 1);
  EXPECT_EQ(varTimeInterval, 2);
  EXPECT_EQ(varTimeStart, 5.0);
  EXPECT_EQ(varTimeEnd, 10.0);
  EXPECT_EQ(FlagHorMove, 0);
  EXPECT_EQ(coeffTurbC3e, -1.0);
  EXPECT_EQ(log(), "");
}

TEST_F(Fsets500, Defaults) {
  EXPECT_EQ(EHcoeff, 0.05);
  EXPECT_EQ(restCrit, 10.0);
  EXPECT_EQ(ThixoGridDistCoeff, 0.6);
  EXPECT_EQ(GravitySlope, 0.015);
  EXPECT_EQ(FlagOrderRemovePonds, 1);
  for (int j = 0; j <= 10; ++j) EXPECT_EQ(ShearGridCoeff[j], 1.0) << j;
  EXPECT_EQ(TurbThick, 1.0);
  EXPECT_EQ(GridDistCoeff2, 1.0);
  EXPECT_EQ(porosMultiplier, 1.0);
  EXPECT_EQ(ofGridI, 1);
  EXPECT_EQ(ofGridK, 1);
  EXPECT_EQ(NoMGloops, 3);
  EXPECT_EQ(coeffTurbFlag5, 1.0);
  EXPECT_EQ(coeffEpsilon, 1.0);
  EXPECT_EQ(FlagHorMove, 1);
  EXPECT_EQ(coeffTurbC3e, -0.33);
}

TEST_F(Fsets500, EveryNumberOfTheRangeHasAReaderAndNoneAbove) {
  for (int n = 500; n <= 534; ++n) EXPECT_NE(findDataSet('F', n), nullptr) << n;
  EXPECT_EQ(findDataSet('F', 535), nullptr);
  EXPECT_EQ(scan("F 535 3.5 F 20 2"), 1000);
  EXPECT_EQ(IterF2, 2);
}

TEST_F(Fsets500, ShearCoefficientsPerLevel) {
  EXPECT_EQ(scan("F 507 0.1 0.2 0.3 0.4 0.5 0.6 0.7 0.8 0.9 1.1"), 1000) << log();
  EXPECT_EQ(ShearGridCoeff[0], 1.0);
  EXPECT_EQ(ShearGridCoeff[1], 0.1);
  EXPECT_EQ(ShearGridCoeff[9], 0.9);
  EXPECT_EQ(ShearGridCoeff[10], 1.1);
}

TEST_F(Fsets500, ShearCoefficientsMissingOneNameTheLevel) {
  struct Case { const char* text; int status; const char* message; int stored; };
  const Case cases[] = {
      {"F 507 2 2 2 2 2 2 2 2 2\nF 20 2", 1, "Error for F 507 in control, j=10\n", 9},
      {"F 507 2 2 2 x", 1, "Error for F 507 in control, j=4\n", 3},
      {"F 507", 1, "Error for F 507 in control, j=1\n", 0},
  };
  expectRefusals(cases, Nothing{}, [](const Case& c) {
    for (int j = 1; j <= 10; ++j) EXPECT_EQ(ShearGridCoeff[j], j <= c.stored ? 2.0 : 1.0) << j;
  });
}

}  // namespace
}  // namespace qorva
