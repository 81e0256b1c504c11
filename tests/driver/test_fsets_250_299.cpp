// Data sets F 250 to F 299: values, defaults, count and range checks with their texts,
// warnings, the combination F 292 refuses, and the residual file of F 293.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "state/log.h"
#include "state/options.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using Fsets250 = test::Scratch;
using test::Refusal;

const char* const kF291Warning =
    "Warning: The F 291 data set parameters will mostly only work\nwith F 206 0\n\n";

TEST_F(Fsets250, RefusedValues) {
  const Refusal cases[] = {
      {"F 250 -1", 1, "Error for F 250 in control\n"},
      {"F 251 4", 1, "Error for F 251 in control\n"},  // there are Shields curves 0 to 3
      {"F 252 -0.1", 1, "Error for F 252 in control\n"},
      {"F 254 F 20 2", 1, "Error for F 254 in control\n"},
      {"F 256", 1, "Error for F 256 in control\nHave not read any floating point number\n"},
      {"F 256 -0.1", 1, "Error for F 256 in control\n"},
      {"F 259 -1", 1, "Error for F 259 in control\n"},
      {"F 260 -1", 1, "Error for F 260 in control\n"},
      {"F 261 -1 0.5", 1, "Error for F 261 in control\n"},
      {"F 261 1 -0.5", 1, "Error for F 261 in control\n"},
      {"F 261 1", 1, "Error for F 261 in control\n"},
      {"F 262 -1 5e-6", 1, "Error for F 262 in control\n"},
      {"F 262 1 -5e-6", 1, "Error for F 262 in control\n"},
      {"F 262 1", 1, "Error for F 262 in control\n"},
      {"F 263 0 2", 1, "Error for F 263 in control\n"},
      {"F 263 10 2", 1, "Error for F 263 in control\n"},
      {"F 263 5 -1", 1, "Error for F 263 in control\n"},
      {"F 263 5", 1, "Error for F 263 in control\n"},
      {"F 264", 1, "Error for F 264 in control\n"},
      {"F 265 0.0009", 1, "Error for F 265 in control\n"},
      {"F 265 1", 1, "Error for F 265 in control\n"},
      {"F 266 -1 0.65 0", 1, "Error for F 266 in control\n"},
      {"F 266 0 -0.65 0", 1, "Error for F 266 in control\n"},
      {"F 266 0 0.65 -1", 1, "Error for F 266 in control\n"},
      {"F 266 0 0.65", 1, "Error for F 266 in control\n"},
      {"F 269", 1, "Error for F 269 in control\n"},
      {"F 269 1", 1, "Error for F 269 in control\nThe data set needs two integers. Default F 269 1 1\n"},
      {"F 269 -1 1", 1, "Error for F 269 in control\n"},
      {"F 269 1 -1", 1, "Error for F 269 in control\n"},
      {"F 270 -1 1 1", 1, "Error for F 270 in control"},
      {"F 270 0 1 0.009", 1, "Error for F 270 in control"},
      {"F 270 0 1 70.5", 1, "Error for F 270 in control"},
      {"F 270 0 0.009 1", 1, "Error for F 270 in control"},
      {"F 270 0 70.5 1", 1, "Error for F 270 in control"},
      {"F 270 0 1", 1, "Error for F 270 in control"},
      {"F 273 -1", 1, "Error for F 273 in control\n"},
      {"F 273 2 -0.5", 1, "Error for 2nd parameter on F 273 data set in control file\n"},
      {"F 273 2", 1, "Error for 2nd parameter on F 273 data set in control file\n"},
      {"F 275 -1 1.92", 1, "Error for F 275 in control\n"},
      {"F 275 1.44 -1", 1, "Error for F 275 in control\n"},
      {"F 275 1.44", 1, "Error for F 275 in control\n"},
      {"F 281 -1 1", 1, "Error for F 281 in control\n"},
      {"F 281 1 -1", 1, "Error for F 281 in control\n"},
      {"F 285 -1 0", 1, "Error for F 285 in control\n"},
      {"F 285 0 -1", 1, "Error for F 285 in control\n"},
      {"F 285 0", 1, "Error for F 285 in control\n"},
      {"F 287 -1", 1, "Error for F 287 in control\n"},
      {"F 287 6 2.0 1.0", 1, "Error for F 287 6 in control\n"},
      {"F 287 6 -0.1 1.0", 1, "Error for F 287 6 in control\n"},
      {"F 287 6 1.0", 1, "Error for F 287 6 in control\n"},
      {"F 289", 1,
       "Error for F 289 in control\nThere should be four integers on the data set. Now there is 0\n"},
      {"F 289 1 2 3", 1,
       "Error for F 289 in control\nThere should be four integers on the data set. Now there is 3\n"},
      {"F 289 1 -2 3 4", 1, "Error for F 289 in control\n"},
      {"F 289 1 2 3 -4", 1, "Error for F 289 in control\n"},
      {"F 290 -0.1 0", 1, "Error for F 290 in control\n"},
      {"F 290 0.1", 1, "Error for F 290 in control\n"},
      {"F 291 0 0 -1", 1, "Error for F 291 in control\n"},
      {"F 291 0 0", 1, "Error for F 291 in control\n"},
      {"F 292 -1 0.01", 1, "Error for F 292 in control\n"},
      {"F 292 1 0", 1, "Error for F 292 in control\n"},
      {"F 292 1", 1, "Error for F 292 in control\n"},
      {"F 293 -1", 1, "Error for F 293 in control\n"},
      {"F 293", 1, "Error for F 293 in control\n"},
      {"F 295 -0.5", 1, "Error for F 295 in control\n"},
      {"F 297 1", 1, "Error for F 297 in control\n"},
      {"F 297 5", 1, "Error for F 297 in control\n"},
      {"F 298 -1 0 0", 1, "Error for F 298 in control\n"},
      {"F 298 0 2.1e20 0", 1, "Error for F 298 in control\n"},
      {"F 298 0 0 2.1e20", 1, "Error for F 298 in control\n"},
      {"F 298 0 0", 1, "Error for F 298 in control\n"},
  };
  expectRefusals(cases);
}

// The data sets of one non-negative integer: a negative value and a missing one both fail.
TEST_F(Fsets250, SingleNonNegativeIntegers) {
  for (int n : {250, 251, 253, 255, 257, 258, 259, 260, 267, 268, 271, 272, 274, 276, 277, 278,
                279, 280, 282, 283, 284, 294, 296, 299}) {
    const std::string message = strf("Error for F %d in control\n", n);
    const std::string negative = strf("F %d -1", n);
    const std::string missing = strf("F %d\nF 20 2", n);
    const Refusal cases[] = {{negative.c_str(), 1, message.c_str()},
                             {missing.c_str(), 1, message.c_str()}};
    expectRefusals(cases);
    setDefaults();
    EXPECT_EQ(scan(strf("F %d 0", n)), 1000) << n;
  }
}

TEST_F(Fsets250, AcceptedEdgesAndValues) {
  const char* text =
      "F 250 2 F 251 1 F 252 0 F 253 1 F 254 -0.5 F 255 2 F 256 0 F 257 2 F 258 1 F 259 0 "
      "F 262 1 0 F 264 -3 F 265 0.001 F 266 1 0 0.2 F 267 1 F 268 1 F 269 0 2 "
      "F 270 3 0.01 70 F 271 1 F 272 1 F 273 2 0 F 274 1 F 275 0 0 F 276 0 F 277 1 F 278 1 "
      "F 279 1 F 280 1 F 281 1 0 F 282 1 F 283 1 F 284 2 F 285 1 2 F 287 6 1 1 "
      "F 289 1 2 3 4 F 290 0 -5 F 294 7 F 295 0 F 296 1 F 297 2 F 298 1 -3e20 2e20 F 299 1";
  EXPECT_EQ(scan(text), 1000) << log();
  EXPECT_EQ(log(), "");
  EXPECT_EQ(kSurf2, 2);
  EXPECT_EQ(relaxOutFlux, 0.0);
  EXPECT_EQ(TFS17WeightPresCorr, -0.5);
  EXPECT_EQ(FlagBedchangeOption, 2);
  EXPECT_EQ(MaxBedConc, 0.0);
  EXPECT_EQ(FlagStressStrain, 0);
  EXPECT_EQ(FlagGroundwater, 1);
  EXPECT_EQ(Conductivity, 0.0);
  EXPECT_EQ(FlagDensityAlgo, -3);
  EXPECT_EQ(di_graph, 0.001);
  EXPECT_EQ(CohesionGLEA, 0.2);
  EXPECT_EQ(FlagOpenMP[10], 0);
  EXPECT_EQ(FlagOpenMP[11], 2);
  EXPECT_EQ(IterAvalanche, 3);
  EXPECT_EQ(AngleAvalancheUp, 0.01);
  EXPECT_EQ(AngleAvalanche, 70.0);
  EXPECT_EQ(FlagGENMIX, 2);
  EXPECT_EQ(coeffEps, 0.0);
  EXPECT_EQ(EpsilonCs2, 0.0);
  EXPECT_EQ(FlagInOutLevels, 0);
  EXPECT_EQ(DuneEddyFactor, 0.0);
  EXPECT_EQ(FlagTFS4, 2);
  EXPECT_EQ(FlagBedConcentration, 1);
  EXPECT_EQ(FlagBedSlope, 2);
  EXPECT_EQ(FlagGlobFlux, 6);
  EXPECT_EQ(GlobFluxLim1, 1.0);
  EXPECT_EQ(GlobFluxLim2, 1.0);
  EXPECT_EQ(FlagThixoDampVel, 4);
  EXPECT_EQ(GammaVertCoeff2, -5.0);
  EXPECT_EQ(InspaceAlloc, 7);
  EXPECT_EQ(RoughnessFactor, 0.0);
  EXPECT_EQ(FlagWriteUnstruc, 2);
  EXPECT_EQ(OpenFOAMsides, 1);
  EXPECT_EQ(OpenFOAMinLevel, -3e20);
  EXPECT_EQ(OpenFOAMoutLevel, 2e20);
  EXPECT_EQ(FlagUnstrucWedge, 1);
}

TEST_F(Fsets250, Defaults) {
  EXPECT_EQ(kSurf2, 0);
  EXPECT_EQ(relaxOutFlux, 0.9);
  EXPECT_EQ(TFS17WeightPresCorr, 0.5);
  EXPECT_EQ(MaxBedConc, 0.1);
  EXPECT_EQ(FlagStressStrain, 9);
  EXPECT_EQ(RelaxCoupledNesting, 0.5);
  EXPECT_EQ(FlagGroundwater, 0);
  EXPECT_EQ(Conductivity, 5.3e-6);
  EXPECT_EQ(di_graph, 0.5);
  EXPECT_EQ(SlopeGLEA, 0.65);
  EXPECT_EQ(FlagOpenMP[10], 1);
  EXPECT_EQ(FlagOpenMP[11], 1);
  EXPECT_EQ(AngleAvalancheUp, 0.0);
  EXPECT_EQ(coeffEps, 1.0);
  EXPECT_EQ(EpsilonCs1, 1.44);
  EXPECT_EQ(EpsilonCs2, 1.92);
  EXPECT_EQ(FlagInOutLevels, 1);
  EXPECT_EQ(DuneEddyFactor, 1.0);
  EXPECT_EQ(GlobFluxLim1, 0.5);
  EXPECT_EQ(GlobFluxLim2, 2.0);
  EXPECT_EQ(RoughnessFactor, 1.0);
  EXPECT_EQ(FlagWriteUnstruc, 3);
  EXPECT_EQ(OpenFOAMinLevel, 1e20);
  EXPECT_EQ(OpenFOAMoutLevel, 1e20);
  for (int g = 0; g < 20; ++g) EXPECT_EQ(updates[g], -1) << g;
}

TEST_F(Fsets250, FlocculationWarnsWithoutTransientSediment) {
  const char* const warning =
      "Error in control file. The F 260 data set will only work\nwhen the F 37 data set is set to 2 or 3\n\n";
  struct Case { const char* text; int value; std::string log; };
  const Case cases[] = {
      {"F 260 1", 1, warning},
      {"F 37 1 F 260 1", 1, warning},
      {"F 260 1 F 37 2", 1, warning},  // F 37 must come first
      {"F 37 2 F 260 1", 1, ""},
      {"F 37 3 F 260 4", 4, ""},
      {"F 260 0", 0, ""},
  };
  for (const Case& c : cases) {
    setDefaults();
    write("boogie", "");
    EXPECT_EQ(scan(c.text), 1000) << c.text;
    EXPECT_EQ(FlagFlocDLL, c.value) << c.text;
    EXPECT_EQ(log(), c.log) << c.text;
  }
}

TEST_F(Fsets250, CoupledNestingWarnsWithThreads) {
  const std::string warning =
      "Warning: The combination of F 206 and F 261 data sets in the control file will\n"
      "give incorrect residuals\n";
  struct Case { int threads; const char* text; bool warns; };
  const Case cases[] = {
      {4, "F 261 16 0.5", true}, {1, "F 261 18 0", true},   {0, "F 261 16 0.5", false},
      {4, "F 261 17 0.5", false}, {4, "F 261 1 0.5", false},
  };
  for (const Case& c : cases) {
    setDefaults();
    NoProcessesSolver = c.threads;  // as an earlier F 206 leaves it
    write("boogie", "");
    EXPECT_EQ(scan(c.text), 1000) << c.text;
    EXPECT_EQ(log(), c.warns ? warning : "") << c.text;
  }
  // F 206 after F 261 comes too late for the warning.
  setDefaults();
  write("boogie", "");
  EXPECT_EQ(scan("F 261 16 0.5 F 206 4"), 1000);
  EXPECT_EQ(FlagCoupledNesting, 16);
  EXPECT_EQ(RelaxCoupledNesting, 0.5);
  EXPECT_EQ(log().find("Warning"), std::string::npos) << log();
}

TEST_F(Fsets250, UpdateSettingOfOneGroup) {
  EXPECT_EQ(scan("F 263 5 2 F 263 9 0"), 1000);
  EXPECT_EQ(updates[5], 2);
  EXPECT_EQ(updates[9], 0);
  for (int g : {0, 1, 4, 6, 10, 19}) EXPECT_EQ(updates[g], -1) << g;
}

TEST_F(Fsets250, SecondValuesOnlyForTheirVariant) {
  // F 273 other than 2 and F 287 other than 6 read one value: the next data set is read as such.
  EXPECT_EQ(scan("F 273 1 F 20 2"), 1000);
  EXPECT_EQ(FlagGENMIX, 1);
  EXPECT_EQ(coeffEps, 1.0);
  EXPECT_EQ(IterF2, 2);
  EXPECT_EQ(scan("F 287 5 F 20 3"), 1000);
  EXPECT_EQ(FlagGlobFlux, 5);
  EXPECT_EQ(GlobFluxLim1, 0.5);
  EXPECT_EQ(IterF2, 3);
  EXPECT_EQ(scan("F 273 2 0.7 F 287 6 0 4.5"), 1000);
  EXPECT_EQ(coeffEps, 0.7);
  EXPECT_EQ(GlobFluxLim1, 0.0);
  EXPECT_EQ(GlobFluxLim2, 4.5);
}

TEST_F(Fsets250, DampingOptionsAlwaysWarn) {
  EXPECT_EQ(scan("F 291 1 2 3"), 1000);
  EXPECT_EQ(FlagDamp3, 3);
  EXPECT_EQ(log(), kF291Warning);
  EXPECT_EQ(scan("F 291 0 0 0"), 1000);
  EXPECT_EQ(log(), std::string(kF291Warning) + kF291Warning);
}

// F 292 1 ends the run when the accelerated water-level solver (F 168) and the minimum-level
// shaping (F 102) are both on; 5 asks for the same combination on purpose.
TEST_F(Fsets250, InnerTimeStepCombination) {
  const char* const refusal =
      "Warning for F 292 and F 168 and F 102 in control file\n"
      "Combining these three data sets can lead to instabilities\n"
      "If you still want to do this, use an integer 5 instead of 1 on the F 292 data set\n\n";
  struct Case { int accSolver; int minLev; const char* text; int status; const char* message; };
  const Case cases[] = {
      {1, 1, "F 292 1 0.01", 1, refusal},
      {3, 2, "F 292 1 0.01", 1, refusal},
      {1, 1, "F 292 5 0.01", 1000, ""},
      {1, 1, "F 292 2 0.01", 1000, ""},
      {0, 1, "F 292 1 0.01", 1000, ""},
      {1, 0, "F 292 1 0.01", 1000, ""},
      {0, 0, "F 292 1 1e-20", 1000, ""},
  };
  expectRefusals(cases, [](const Case& c) {
    Flag2DAccSolver = c.accSolver;  // as F 168 and F 102 earlier in the file leave them
    FlagMinLevUnstruc = c.minLev;
  });
}

TEST_F(Fsets250, ResidualFileIsStartedWithItsHeader) {
  const std::string header = "Iteration, Residuals: Ux, Uy, Uz, Continuity, k, epsilon\n";
  for (const char* text : {"F 293 0", "F 293 1"}) {
    std::filesystem::remove("tafnor");
    EXPECT_EQ(scan(text), 1000) << text;
    ASSERT_TRUE(std::filesystem::exists("tafnor")) << text;
    EXPECT_EQ(read("tafnor"), header) << text;
  }
  // An old file is started anew.
  write("tafnor", "old lines\n");
  EXPECT_EQ(scan("F 293 2"), 1000);
  EXPECT_EQ(FlagTafnor, 2);
  EXPECT_EQ(read("tafnor"), header);
}

TEST_F(Fsets250, RefusedValueStartsNoResidualFile) {
  EXPECT_EQ(scan("F 293 -1"), 1);
  EXPECT_FALSE(std::filesystem::exists("tafnor"));
}

TEST_F(Fsets250, ResidualFileThatCannotBeCreated) {
  // The file is written under the name tafnor.tmp and renamed: a folder in the place of either
  // stops it.
  std::filesystem::create_directory("tafnor.tmp");
  write("boogie", "");
  EXPECT_EQ(scan("F 293 1"), -4);
  EXPECT_EQ(log(), "Error, cannot open file 'tafnor'\n");
  std::filesystem::remove("tafnor.tmp");
  std::filesystem::create_directory("tafnor");
  write("boogie", "");
  EXPECT_EQ(scan("F 293 1"), -4);
  EXPECT_EQ(log(), "Error: could not write file 'tafnor' (Is a directory); the previous copy is kept.\n");
}

TEST_F(Fsets250, UnstrucHeaderVersions) {
  for (int v : {2, 3, 4}) {
    setDefaults();
    EXPECT_EQ(scan(strf("F 297 %d", v)), 1000) << v;
    EXPECT_EQ(FlagWriteUnstruc, v);
  }
}

TEST_F(Fsets250, NumbersWithoutReaderInThisRange) {
  EXPECT_EQ(scan("F 286 1 F 288 1"), 1000);
  for (int n : {286, 288}) EXPECT_EQ(findDataSet('F', n), nullptr) << n;
}

}  // namespace
}  // namespace qorva
