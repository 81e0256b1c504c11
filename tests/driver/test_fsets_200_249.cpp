// Data sets F 200 to F 249: values, defaults, count and range checks with their texts, side
// effects and warnings.
#include <gtest/gtest.h>

#include <string>

#include "state/log.h"
#include "state/options.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using Fsets200 = test::Scratch;
using test::Refusal;

// Every range check, one value just outside, and the counts that are short.
TEST_F(Fsets200, RefusedValues) {
  const Refusal cases[] = {
      {"F 200 1 0.001", 1, "Error for F 200 in control"},
      {"F 200 0 0.001 0.001", 1, "Error for F 200 in control"},
      {"F 200 1 -0.1 0.001", 1, "Error for F 200 in control"},
      {"F 200 1 0.001 -0.1", 1, "Error for F 200 in control"},
      {"F 200 2 0.001 0.001 0.01", 1, "Error for F 200 in control"},
      {"F 200 2 0.001 0.001 -0.01 0.01", 1, "Error for F 200 in control"},
      {"F 200 2 0.001 0.001 0.01 -0.01", 1, "Error for F 200 in control"},
      {"F 201 6 4 1", 1, "Error for F 201 in control"},
      {"F 201 0 4 1", 1, "Error for F 201 in control"},
      {"F 201 1 0 1", 1, "Error for F 201 in control"},
      {"F 201 1 4 0", 1, "Error for F 201 in control"},
      {"F 201 1 4", 1, "Error for F 201 in control"},
      {"F 202 -1 0.1", 1, "Error for F 202 in control"},
      {"F 202 1 -0.01", 1, "Error for F 202 in control"},
      {"F 202 1\nF 20 2", 1, "Error for F 202 in control"},
      {"F 205 1", 1,
       "Error for F 205 in control\nTwo parameters are needed, one integer and one float\n"
       "The float should be larger than 0.0\n"},
      {"F 205 1 -0.5", 1,
       "Error for F 205 in control\nTwo parameters are needed, one integer and one float\n"
       "The float should be larger than 0.0\n"},
      {"F 212 -1", 1, "Error for F 212 in control\n"},
      {"F 213 -1 0.5", 1, "Error for F 213 in control\n"},
      {"F 213 1", 1, "Error for F 213 in control\n"},
      {"F 214 -1 0 0 0 0", 1, "Error for F 214 in control\n"},
      {"F 214 1 0 0 0", 1, "Error for F 214 in control\n"},
      {"F 215 -1 0", 1, "Error for F 215 in control\n"},
      {"F 216 -1 0", 1, "Error for F 216 in control\n"},
      {"F 217 -1 0 0", 1, "Error for F 217 in control\n"},
      {"F 217 1 0", 1, "Error for F 217 in control\n"},
      {"F 225 1.0", 1, "Error for F 225 in control"},
      {"F 232 1 0", 1, "Error for F 232 in control"},
      {"F 236 1 0 0", 1, "Error for F 236 in control\n"},
      {"F 237 3 0.0", 1, "Error for F 237, group 3: discharge is too low\n"},
      {"F 237 4 1e-21", 1, "Error for F 237, group 4: discharge is too low\n"},
      // The standard text stays the first line; the second says what is wrong.
      {"F 237 10 5.0", 1,
       "Error for F 237 in control\nF 237 10: the discharge group must be 1 to 9\n"},
      {"F 237 0 5.0", 1,
       "Error for F 237 in control\nF 237 0: the discharge group must be 1 to 9\n"},
      {"F 237 -1 5.0", 1,
       "Error for F 237 in control\nF 237 -1: the discharge group must be 1 to 9\n"},
      {"F 237 3 -1", 1, "Error for F 237 in control\nF 237 3 -1: a discharge cannot be negative\n"},
      {"F 237 3", 1,
       "Error for F 237 in control\nF 237 takes two values, a discharge group 1 to 9 and its "
       "discharge in m3/s; 1 could be read\n"},
      {"F 238 1", 1,
       "Error for F 238 in control\nYou have to give in two numbers: an integer and a float\n\n"},
      {"F 238 -1 0", 1, "Error for F 238 in control\n"},
      {"F 238 0 -20001", 1, "Error for F 238 in control\n"},
      {"F 239 -1 350", 1, "Error for F 239 in control\n"},
      {"F 239 50 -1", 1, "Error for F 239 in control\n"},
      {"F 239 50", 1, "Error for F 239 in control\n"},
      {"F 241 -1", 1, "Error for F 241 in control\n"},
      {"F 242", 1, "Error for F 242 in control\nHave not read any integer\n"},
      {"F 242 0", 1, "Error for F 242 in control\nInvalid number on data set: 0\n"},
      {"F 242 -3", 1, "Error for F 242 in control\nInvalid number on data set: -3\n"},
      {"F 244 1.1 0.8", 1, "Error for F 244 in control\n"},
      {"F 244 0.5 -0.1", 1, "Error for F 244 in control\n"},
      {"F 244 0.5", 1, "Error for F 244 in control\n"},
      {"F 245 0 0", 1, "Error for F 245 in control\n"},
      {"F 246 0 0 0", 1, "Error for F 246 in control, not correct number of parameters\n"},
      {"F 247 6.5e7 0.6", 1, "Error for F 247 in control\n"},
      // An incompressible soil (ratio 0.5) would make Lame's parameter infinite.
      {"F 247 6.5e7 0.5", 1, "Error for F 247 in control\n"},
      {"F 247 6.5e7 -0.1", 1, "Error for F 247 in control\n"},
      {"F 247 99999 0.4", 1, "Error for F 247 in control\n"},
      {"F 247 6e10 0.4", 1, "Error for F 247 in control\n"},
      {"F 247 6.5e7", 1, "Error for F 247 in control\n"},
  };
  expectRefusals(cases);
}

// Data sets of one value fail without it; the text has a line end for F 208, F 212 to F 217
// and from F 234 on.
TEST_F(Fsets200, MissingSingleValue) {
  const Refusal cases[] = {
      {"F 203\nF 20 2", 1, "Error for F 203 in control"},
      {"F 204 F 20 2", 1, "Error for F 204 in control"},
      {"F 208", 1, "Error for F 208 in control\n"},
      {"F 209", 1, "Error for F 209 in control"},
      {"F 210", 1, "Error for F 210 in control"},
      {"F 212", 1, "Error for F 212 in control\n"},
      {"F 218 x", 1, "Error for F 218 in control"},
      {"F 219", 1, "Error for F 219 in control"},
      {"F 221", 1, "Error for F 221 in control"},
      {"F 222", 1, "Error for F 222 in control"},
      {"F 223", 1, "Error for F 223 in control"},
      {"F 224", 1, "Error for F 224 in control"},
      {"F 226", 1, "Error for F 226 in control"},
      {"F 227", 1, "Error for F 227 in control"},
      {"F 229", 1, "Error for F 229 in control"},
      {"F 230", 1, "Error for F 230 in control"},
      {"F 231", 1, "Error for F 231 in control"},
      {"F 233", 1, "Error for F 233 in control"},
      {"F 234", 1, "Error for F 234 in control\n"},
      {"F 235", 1, "Error for F 235 in control\n"},
      {"F 241", 1, "Error for F 241 in control\n"},
      {"F 248", 1, "Error for F 248 in control\n"},
      {"F 249", 1, "Error for F 249 in control\n"},
  };
  expectRefusals(cases);
}

TEST_F(Fsets200, AcceptedEdgesAndValues) {
  const char* text =
      "F 200 1 0 0 F 201 5 1 1 F 203 2 F 204 0.3 F 205 1 0.0 F 208 2 F 209 12.5 F 210 1 "
      "F 212 12 F 213 1 0.1 F 214 2 0.2 0.3 0.4 0.5 F 215 3 -0.6 F 216 4 0.7 F 217 5 0.8 0.9 "
      "F 219 3 F 221 1 F 222 -4 F 223 2 F 224 -1.5 F 225 2 -0.25 F 226 -1 F 227 0 F 229 1 "
      "F 230 1 F 231 2 F 232 0 3 4.5 F 233 1 F 234 1 F 236 2 0.01 1.5 0.3 F 238 0 -20000 "
      "F 239 0 0 F 241 0 F 242 1 F 244 0 1 F 246 1 2 3 0.5 F 248 2 F 249 1";
  EXPECT_EQ(scan(text), 1000) << log();
  EXPECT_EQ(log(), "");
  EXPECT_EQ(FlagNormSet, 1);
  EXPECT_EQ(NormK, 0.0);
  EXPECT_EQ(NormVel, 0.001);  // only set 2 reads the velocity and pressure norms
  EXPECT_EQ(VegVars, 5);
  EXPECT_EQ(VegLevels, 1);
  EXPECT_EQ(FlagVertVelStab, 2);
  EXPECT_EQ(sizeBedCritCorr, 0.3);
  EXPECT_EQ(f205param, 0.0);
  EXPECT_EQ(FlagTimeOrder, 2);
  EXPECT_EQ(MaxDepth209, 12.5);
  EXPECT_EQ(FlagWriteSpecial, 12);
  EXPECT_EQ(CoeffLEA2_k4, 0.5);
  EXPECT_EQ(CoeffLEA3, -0.6);
  EXPECT_EQ(CoeffLEA5_teta, 0.9);
  EXPECT_EQ(FlagBedDownstream, -4);
  EXPECT_EQ(SurfResCrit, -1.5);
  EXPECT_EQ(ScaleGeodataAdd, -0.25);
  EXPECT_EQ(TFSfroudeforward, 0);
  EXPECT_EQ(FlagGridCNO, 0);
  EXPECT_EQ(FlagGridQexpand, 3);
  EXPECT_EQ(FlagGridVVANG, 4.5);
  EXPECT_EQ(FlagThixo, 2);
  EXPECT_EQ(ThixoMySlope, 0.3);
  EXPECT_EQ(LevelNestTop, -20000.0);
  EXPECT_EQ(iterSurfSolv2, 0);
  EXPECT_EQ(NumMoveBedchange, 1);
  EXPECT_EQ(relaxTrekant2, 1.0);
  EXPECT_EQ(FlagSurfLimit3, 3);
  EXPECT_EQ(Diffslope, 0.5);
  EXPECT_EQ(FlagSoilStress, 2);
  EXPECT_EQ(FlagAllowNegatveSedimentthickness, 1);
}

TEST_F(Fsets200, Defaults) {
  EXPECT_EQ(FlagNormSet, 0);
  EXPECT_EQ(NormEps, 0.0001);
  EXPECT_EQ(NormPres, 0.001);
  EXPECT_EQ(VegLevels, 4);
  EXPECT_EQ(f205param, 2.0);
  EXPECT_EQ(MaxDepth209, -1.0);
  EXPECT_EQ(StopIter, -10);
  EXPECT_EQ(FlagBedDownstream, 1);
  EXPECT_EQ(SurfResCrit, 100.0);
  EXPECT_EQ(ScaleGeodataMult, 1.0);
  EXPECT_EQ(TFSfroudeforward, 1);
  EXPECT_EQ(FlagGridCNO, 1);
  EXPECT_EQ(ThixoMySlope, 0.8);
  EXPECT_EQ(FlagThixo, 0);
  EXPECT_EQ(LevelNestTop, -20000.0);
  EXPECT_EQ(iterSurfSolv1, 50);
  EXPECT_EQ(iterSurfSolv2, 350);
  EXPECT_EQ(NumMoveBedchange, 100);
  EXPECT_EQ(relaxTrekant1, 0.5);
  EXPECT_EQ(Diffslope, 100.0);
  EXPECT_EQ(EModulus, 6.5e7);
  EXPECT_EQ(PoissonRatio, 0.4);
  EXPECT_EQ(GModulus, 6.5e7);
  EXPECT_EQ(FlagSoilStress, 0);
  for (int g = 0; g < 20; ++g) EXPECT_EQ(discharges[g], -1.0) << g;
}

TEST_F(Fsets200, NormsOfSetTwoAreReadAfterTheFirstThree) {
  EXPECT_EQ(scan("F 200 2 0.002 0.003 0.04 0.05"), 1000);
  EXPECT_EQ(NormK, 0.002);
  EXPECT_EQ(NormEps, 0.003);
  EXPECT_EQ(NormVel, 0.04);
  EXPECT_EQ(NormPres, 0.05);
  // Set 1 reads no more: the next data set is read as such.
  EXPECT_EQ(scan("F 200 1 0.001 0.001 F 20 2"), 1000);
  EXPECT_EQ(IterF2, 2);
  EXPECT_EQ(NormVel, 0.04);
}

// The inflow roughness has F 16's default and is set by whichever of F 16 and F 202 comes
// last. F 202 takes any value from 0 up, 0 included; F 16 may leave it negative.
TEST_F(Fsets200, InflowRoughnessIsSharedWithF16) {
  EXPECT_EQ(XksInflow, -2.0);
  EXPECT_EQ(FlagLogInflow, 0);
  struct Case { const char* text; int flag; double ks; };
  const Case cases[] = {
      {"F 202 1 0.05", 1, 0.05},
      {"F 16 1.5 F 202 1 0.3", 1, 0.3},
      {"F 202 1 0.3 F 16 1.5", 1, 1.5},
      {"F 202 2 0", 2, 0.0},
      {"F 202 1 0.3 F 16 -3", 1, -3.0},
  };
  for (const Case& c : cases) {
    setDefaults();
    EXPECT_EQ(scan(c.text), 1000) << c.text;
    EXPECT_EQ(FlagLogInflow, c.flag) << c.text;
    EXPECT_EQ(XksInflow, c.ks) << c.text;
  }
}

TEST_F(Fsets200, DebugPrintSwitchIsOptional) {
  EXPECT_EQ(scan("F 218 5 1"), 1000);
  EXPECT_EQ(StopIter, 5);
  EXPECT_EQ(PrintDebugBoogie, 1);
  EXPECT_EQ(scan("F 218 100\nF 20 2"), 1000);
  EXPECT_EQ(StopIter, 100);
  EXPECT_EQ(PrintDebugBoogie, 0);
  EXPECT_EQ(IterF2, 2);
}

TEST_F(Fsets200, TriangleCorrectionWarnsOutsideItsThreadSafeValues) {
  struct Case { const char* text; int value; bool warns; };
  const Case cases[] = {
      {"F 235 0", 0, true},  {"F 235 3", 3, true},   {"F 235 -2", -2, true}, {"F 235 31", 31, true},
      {"F 235 1", 1, false}, {"F 235 5", 5, false},  {"F 235 10", 10, false}, {"F 235 21", 21, false},
  };
  for (const Case& c : cases) {
    setDefaults();
    write("boogie", "");
    EXPECT_EQ(scan(c.text), 1000) << c.text;
    EXPECT_EQ(FlagCorrTrekant, c.value) << c.text;
    const std::string warning = c.warns ? strf("Warning: The F 235 %d data set will only work when\n"
                                               "not used in combination with the F 206 data set\n\n",
                                               c.value)
                                        : "";
    EXPECT_EQ(log(), warning) << c.text;
  }
}

TEST_F(Fsets200, DischargeOfOneGroup) {
  EXPECT_EQ(scan("F 237 3 12.5 F 237 9 1e-20"), 1000);
  EXPECT_EQ(discharges[3], 12.5);
  EXPECT_EQ(discharges[9], 1e-20);
  for (int g : {0, 1, 2, 4, 8, 10, 19}) EXPECT_EQ(discharges[g], -1.0) << g;
}

TEST_F(Fsets200, ThirdTriangleCorrectionSwitchesGridStabilitySix) {
  FlagGridStab6 = 0;
  EXPECT_EQ(scan("F 245 2 0 2"), 1000);
  EXPECT_EQ(FlagCorrTrekant, 2);
  EXPECT_EQ(FlagCorrTrekant3, 2);
  EXPECT_EQ(FlagGridStab6, 0);
  EXPECT_EQ(scan("F 245 0 0 1"), 1000);
  EXPECT_EQ(FlagCorrTrekant, 0);
  EXPECT_EQ(FlagGridStab6, 1);
}

// G = E / (2 (1 + v)), L = E v / ((1 - 2 v)(1 + v)).
TEST_F(Fsets200, ElasticModuliFollowFromEAndPoissonRatio) {
  struct Case { const char* text; double g; double l; };
  const Case cases[] = {
      {"F 247 6.5e7 0.4", 6.5e7 / 2.8, 2.6e7 / 0.28},
      {"F 247 1e5 0.25", 40000.0, 40000.0},
      {"F 247 5e10 0", 2.5e10, 0.0},
  };
  for (const Case& c : cases) {
    setDefaults();
    EXPECT_EQ(scan(c.text), 1000) << c.text;
    EXPECT_DOUBLE_EQ(GModulus, c.g) << c.text;
    EXPECT_DOUBLE_EQ(LModulus, c.l) << c.text;
  }
}

TEST_F(Fsets200, NumbersWithoutReaderInThisRange) {
  EXPECT_EQ(scan("F 207 1 F 211 1 F 220 1 F 228 1 F 240 1 F 243 1"), 1000);
  for (int n : {207, 211, 220, 228, 240, 243}) EXPECT_EQ(findDataSet('F', n), nullptr) << n;
  EXPECT_NE(findDataSet('F', 206), nullptr);  // the thread count belongs to the reader frame
}

}  // namespace
}  // namespace qorva
