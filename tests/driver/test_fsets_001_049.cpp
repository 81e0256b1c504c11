// Data sets F 1 to F 49: values, defaults, range checks with their texts, side effects.
#include <gtest/gtest.h>

#include <cmath>

#include "state/options.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using Fsets001 = test::Scratch;
using test::Refusal;

// Every range check, one value just outside (and where it matters, the edge inside passes).
TEST_F(Fsets001, RefusedValues) {
  const Refusal cases[] = {
      {"F 8 1.01", 1, "Error for F 8 in control"},
      {"F 8 -0.1", 1, "Error for F 8 in control"},
      {"F 9 0.09", 1, "Error for F 9 in control"},
      {"F 9 10.5", 1, "Error for F 9 in control"},
      {"F 10 B", 1, "Error for F 10 in control"},
      {"F 10 r", 1, "Error for F 10 in control"},
      {"F 11 2.65 1.5", 1, "Error for F 11 in control"},
      {"F 11 0.9 0.047", 1, "Error for F 11 in control"},
      {"F 11 10.1 0.047", 1, "Error for F 11 in control"},
      {"F 12 0", 1, "Error for F 12 in control"},
      {"F 12 5.1", 1, "Error for F 12 in control"},
      {"F 13 -1", 1, "Error for F 13 in control"},
      {"F 14 6e10", 1, "Error for F 14 in control"},
      {"F 15 21", 1, "Error for F 15 in control"},
      {"F 15 -1", 1, "Error for F 15 in control"},
      {"F 16 -3.5", 1, "Error for F 16 in control"},
      {"F 16 11", 1, "Error for F 16 in control"},
      {"F 17 1e-11", 1, "Error for F 17 in control"},
      {"F 18 0", 1, "Error for F 18 in control"},
      {"F 18 101", 1, "Error for F 18 in control"},
      {"F 19 11", 1, "Error for F 19 in control"},
      {"F 20 0", 1, "Error for F 20 in control"},
      {"F 21 -1.5", 1, "Error for F 21 in control"},
      {"F 21 21", 1, "Error for F 21 in control"},
      {"F 22 0.0005 2", 1, "Error for F 22 in control"},
      {"F 22 0.3 11", 1, "Error for F 22 in control"},
      {"F 23 1.5 0", 1, "Error for F 23 in control"},
      {"F 23 0.5 -1", 1, "Error for F 23 in control"},
      {"F 24 21", 1, "Error for F 24 in control"},
      {"F 25 0.3 2 0.5 0.8 8", 1, "Error for F 25 in control"},
      {"F 25 0.3 2 1.5 0.8 5", 1, "Error for F 25 in control"},
      {"F 25 0.3 2 0.5 0.0001 5", 1, "Error for F 25 in control"},
      {"F 25 0.3 -2 0.5 0.8 5", 1, "Error for F 25 in control"},
      {"F 26 16", 1, "Error for F 26 in control"},
      {"F 27 11", 1, "Error for F 27 in control"},
      {"F 28 2 2 0 1", 1, "Error for F 28 in control"},
      {"F 28 1 -1 0 1", 1, "Error for F 28 in control"},
      // A value that acts and cannot be read would leave the default without a word.
      {"F 4 0.5 x 0.01", 1, "Error for F 4 in control"},
      {"F 6 0.015 1.5\nF 20 2", 1, "Error for F 6 in control"},
      {"F 28 1 2 -1 1", 1, "Error for F 28 in control"},
      {"F 28 1 2 0 101", 1, "Error for F 28 in control"},
      {"F 30 0 1 7 2 2 2", 1, "Error for F 30 in control"},
      {"F 31 0.8 11", 1, "Error for F 31 in control"},
      {"F 32 1001", 1, "Error for F 32 in control"},
      {"F 33 1e-21 5", 1, "Error for F 33 in control"},
      {"F 33 1 -1", 1, "Error for F 33 in control"},
      {"F 33 1\nF 20 2", 1, "Two numbers are required on F 33 data set\n"},
      {"F 34 -1", 1, "Error for F 34 in control"},
      {"F 35 1.1", 1, "Error for F 35 in control"},
      {"F 36 201", 1, "Error for F 36 in control"},
      {"F 36 -1", 1, "Error for F 36 in control"},
      {"F 37 4", 1, "Error for F 37 in control"},
      {"F 38 -1", 1, "Error for F 38 in control"},
      {"F 39 -1", 1, "Error for F 39 in control"},
      {"F 40 10.5", 1, "Error for F 40 in control"},
      {"F 41 10001", 1, "Error for F 41 in control"},
      {"F 42 -10001", 1, "Error for F 42 in control"},
      {"F 47 -0.1", 1, "Error for F 47 in control"},
      {"F 48 101", 1, "Error for F 48 in control"},
  };
  expectRefusals(cases);
}

TEST_F(Fsets001, AcceptedEdgesAndValues) {
  const char* text =
      "F 1 D F 3 1e-5 F 4 0.3 20 0.02 F 6 0.02 1.6 0.4 F 8 1 F 9 0.1 F 10 Y F 11 10 1 "
      "F 12 5 F 13 5 F 14 5e10 F 15 20 F 16 -3 F 17 1e-10 F 18 0.0001 F 19 10 F 20 3 "
      "F 21 -1 F 22 0.001 -1 F 23 1 0 F 24 20 F 26 15 F 27 10 F 28 0 0 0 0 "
      "F 30 6 5 4 3 2 1 F 31 10 0 F 32 1000 F 34 0 F 35 1 F 37 3 F 38 0 F 39 0 F 40 10 "
      "F 48 100";
  EXPECT_EQ(scan(text), 1000) << log();
  EXPECT_EQ(debugging, 'D');
  EXPECT_EQ(convergence, 1e-5);
  EXPECT_EQ(iter_morph, 20);
  EXPECT_EQ(ConcFormDstar, 0.4);
  EXPECT_EQ(SedimentFormula, 'Y');
  EXPECT_EQ(shieldscoeff, 1.0);
  EXPECT_EQ(XksWall, -3.0);
  EXPECT_EQ(XksInflow, -3.0);  // the wall roughness is also the inflow roughness
  EXPECT_EQ(TimeStep, 1e-10);
  EXPECT_EQ(IterF2, 3);
  for (int n = 0; n < 6; ++n) EXPECT_EQ(BedFlags[n], 6 - n);
  EXPECT_EQ(FlagTSC, 3);
  EXPECT_EQ(FlagInterpolVal, 100);
  EXPECT_EQ(log(), "Using SOU scheme for sediment calculations\n");
}

TEST_F(Fsets001, Defaults) {
  EXPECT_EQ(relax_morph, 0.5);
  EXPECT_EQ(conv_morph, 0.01);
  EXPECT_EQ(SinReposeAngle, 1.0);
  EXPECT_EQ(ConcFormCoeff, 0.015);
  EXPECT_EQ(density, 2.65);
  EXPECT_EQ(shieldscoeff, -0.047);
  EXPECT_EQ(XksWall, -2.0);
  EXPECT_EQ(XksInflow, -2.0);
  EXPECT_EQ(TimeStep, 1e-20);
  EXPECT_EQ(MinPorosity, 0.35);
  EXPECT_EQ(RelaxPorosity, 2.0);
  EXPECT_EQ(DiamPoros, 5);
  EXPECT_EQ(ADSmearNo, 2);
  EXPECT_EQ(TransInnerIter, 1);
  EXPECT_EQ(InputErrorLimit, 1e12);
  EXPECT_EQ(InterALimit, 1e10);
  EXPECT_EQ(FlagDiffNonVert, 1);
  EXPECT_EQ(FlagInZero, 1);
}

TEST_F(Fsets001, ReposeAngleIsKeptAsItsSine) {
  EXPECT_EQ(scan("F 5 30"), 1000);
  EXPECT_NEAR(SinReposeAngle, 0.5, 1e-12);
}

TEST_F(Fsets001, TimeStepLimitsOfF17AndF33Differ) {
  EXPECT_EQ(scan("F 33 1e-11 4"), 1000);
  EXPECT_EQ(TimeStep, 1e-11);
  EXPECT_EQ(TransInnerIter, 4);
  EXPECT_EQ(scan("F 17 1e-11"), 1);
}

TEST_F(Fsets001, F33StoresAndChecksTheTimeStepBeforeTheCount) {
  EXPECT_EQ(scan("F 33 2.5 F 20 2"), 1);
  EXPECT_EQ(TimeStep, 2.5);
  EXPECT_EQ(log(), "Two numbers are required on F 33 data set\n");
}

TEST_F(Fsets001, FreeSurfaceChoiceSetsGravityAndCorrections) {
  struct Case { const char* text; int gravity; int corrections; };
  const Case cases[] = {
      {"F 36 11", 1, 30}, {"F 36 1", 1, 0}, {"F 36 19", 1, 0}, {"F 36 10", 0, 0}, {"F 36 20", 0, 0},
  };
  for (const Case& c : cases) {
    setDefaults();
    FlagGravity = 0;
    FlagSimpleCorrections = 0;
    EXPECT_EQ(scan(c.text), 1000) << c.text;
    EXPECT_EQ(FlagGravity, c.gravity) << c.text;
    EXPECT_EQ(FlagSimpleCorrections, c.corrections) << c.text;
  }
}

TEST_F(Fsets001, BedFlagsAfterABadOneAreNotRead) {
  EXPECT_EQ(scan("F 30 1 2 7 3 3 3"), 1);
  EXPECT_EQ(BedFlags[0], 1);
  EXPECT_EQ(BedFlags[1], 2);
  EXPECT_EQ(BedFlags[3], 0);
}

TEST_F(Fsets001, ScourLimitsSetTheirFlag) {
  EXPECT_EQ(scan("F 41 3"), 1000);
  EXPECT_EQ(FlagMinBedLev, 41);
  EXPECT_EQ(scan("F 42 -5"), 1000);
  EXPECT_EQ(FlagMinBedLev, 42);
  EXPECT_EQ(MinLevScour, -5.0);
}

TEST_F(Fsets001, SecondInterpolationLimitOnlyWhenANumberFollows) {
  EXPECT_EQ(scan("F 47 0.1\nF 20 2"), 1000);
  EXPECT_EQ(InterLimit, 0.1);
  EXPECT_EQ(InterALimit, 1e10);
  EXPECT_EQ(IterF2, 2);
  EXPECT_EQ(scan("F 47 0.2 50"), 1000);
  EXPECT_EQ(InterALimit, 50.0);
}

TEST_F(Fsets001, PorositySetsShareTheirLimits) {
  EXPECT_EQ(scan("F 22 0.4 3 F 25 0.5 1 0.6 0.7 2"), 1000);
  EXPECT_EQ(MinPorosity, 0.5);
  EXPECT_EQ(RelaxPorosity, 1.0);
  EXPECT_EQ(RoughPoros2, 0.7);
  EXPECT_EQ(DiamPoros, 2);
}

TEST_F(Fsets001, NumbersWithoutReaderInThisRange) {
  // F 29 and F 43 to F 46 have no reader: their values are scanned as text.
  EXPECT_EQ(scan("F 29 5 F 43 1 F 44 1 F 45 1 F 46 1 F 49 1 F 0 1"), 1000);
  for (int n : {0, 29, 43, 44, 45, 46, 49}) EXPECT_EQ(findDataSet('F', n), nullptr) << n;
}

}  // namespace
}  // namespace qorva
