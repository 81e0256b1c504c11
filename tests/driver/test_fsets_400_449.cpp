// Data sets F 400 to F 449: values, defaults, count and range checks with their texts, the
// checks against earlier data sets and the side effects.
#include <gtest/gtest.h>

#include "state/options.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using Fsets400 = test::Scratch;
using test::Refusal;

// From F 410 on the standard text ends with a line end; below it does not.
TEST_F(Fsets400, RefusedValues) {
  const Refusal cases[] = {
      {"F 400 -1", 1, "Error for F 400 in control"},
      {"F 400 F 20 2", 1, "Error for F 400 in control"},  // count
      {"F 402 -0.5", 1, "Error for F 402 in control"},
      {"F 403 1\nF 20 2", 1, "Error for F 403 in control"},
      {"F 403 1 -0.01", 1, "Error for F 403 in control"},
      {"F 404 1 -0.1", 1, "Error for F 404 in control"},
      {"F 406 -1", 1, "Error for F 406 in control"},
      {"F 408 -2", 1, "Error for F 408 in control"},
      {"F 409 -1 0.1", 1, "Error for F 409 in control"},
      {"F 409 1 0", 1, "Error for F 409 in control"},
      {"F 409 1", 1, "Error for F 409 in control"},
      {"F 410 1e5 0.25", 1, "Error for F 410 in control\n"},
      {"F 410 1e5 0.5 1", 1, "Error for F 410 in control\n"},
      {"F 410 1e5 0.51 0", 1, "Error for F 410 in control\n"},
      {"F 410 1e5 -0.1 0", 1, "Error for F 410 in control\n"},
      {"F 410 99999 0.25 0", 1, "Error for F 410 in control\n"},
      {"F 410 5.1e10 0.25 0", 1, "Error for F 410 in control\n"},
      {"F 410 1e5 0.25 -1", 1, "Error for F 410 in control\n"},
      {"F 411 -0.1", 1, "Error for F 411 in control\n"},
      {"F 412 -1", 1, "Error for F 412 in control\n"},
      {"F 415 -1", 1, "Error for F 415 in control\n"},
      {"F 416 -1", 1, "Error for F 416 in control\n"},
      {"F 416 3\nF 20 2", 1, "Error for F 416 3 in control\n"},
      {"F 416 3 -1", 1, "Error for F 416 3 in control\n"},
      {"F 417 -1", 1, "Error for F 417 in control\n"},
      {"F 418 10.5", 1, "Error for F 418 in control\n"},
      {"F 418 -0.1", 1, "Error for F 418 in control\n"},
      {"F 419 F 20 2", 1, "Error for F 419 in control\n"},
      {"F 420 -0.5", 1, "Error for F 420 in control\n"},
      {"F 421 -1", 1, "Error for F 421 in control\n"},
      {"F 427 -1", 1, "Error for F 427 in control\n"},
      {"F 428 0.5", 1, "Error for F 428 in control\n"},  // free-surface algorithm 7 not chosen
      {"F 36 7 F 428 1.5", 1, "Error for F 428 in control\n"},
      {"F 36 7 F 428 F 20 2", 1, "Error for F 428 in control\n"},
      {"F 431 -1 0.5", 1, "Error for F 431 in control\n"},
      {"F 431 1", 1, "Error for F 431 in control\n"},
      {"F 433 1", 1, "Error for F 433 in control. Are two numbers given?\n"},
      {"F 433 -1 0.3", 1, "Error for F 433 in control. Are two numbers given?\n"},
      {"F 433 1 1001", 1, "Error for F 433 in control. Are two numbers given?\n"},
      {"F 433 1 -0.1", 1, "Error for F 433 in control. Are two numbers given?\n"},
      {"F 440 -1", 1, "Error for F 440 in control\n"},
      {"F 441 F 20 2", 1, "Error for F 441 in control\n"},
      {"F 445 1.01", 1, "Error for F 445 in control\n"},
      {"F 445 -0.01", 1, "Error for F 445 in control\n"},
      {"F 446 -1", 1, "Error for F 446 in control\n"},
      {"F 448 -1", 1, "Error for F 448 in control\n"},
      {"F 449 -11 0", 1, "Error for F 449 in control\n"},
      {"F 449 8 7", 1, "Error for F 449 in control\n"},
      {"F 449 3", 1, "Error for F 449 in control\n"},
  };
  expectRefusals(cases);
}

TEST_F(Fsets400, AcceptedValuesAreStored) {
  const char* text =
      "F 400 2 F 401 1 F 402 3.5 F 403 0 0 F 404 1 0 F 405 4 F 406 0.25 F 407 1 F 408 2 "
      "F 409 1 1e-20 F 411 0 F 413 1 F 414 2 F 415 3 F 417 1 F 418 10 F 419 1 F 420 0 "
      "F 421 0.5 F 422 1 F 423 1 F 424 2 F 425 1 F 426 2 F 427 1 F 429 1 F 430 1 "
      "F 431 1 -2.5 F 432 1 F 433 1 1000 F 434 1 F 435 1 F 436 1 F 437 1 F 438 1 F 439 1 "
      "F 440 0.01 F 441 0 F 442 0 F 443 2 F 444 1 F 445 0 F 446 0 F 447 1 F 448 1 "
      "F 449 3 3";
  EXPECT_EQ(scan(text), 1000) << log();
  EXPECT_EQ(FlagHCB, 2);
  EXPECT_EQ(ThixoMinSlideSize, 3.5);
  EXPECT_EQ(TFSminFlag, 0);
  EXPECT_EQ(TFSminDepth, 0.0);
  EXPECT_EQ(RelaxMorphStatistics, 0.0);
  EXPECT_EQ(AddValTFS7, 0.25);
  EXPECT_EQ(FlagMinDistEps, 1);
  EXPECT_EQ(MinDistEps, 1e-20);
  EXPECT_EQ(BankCohesion, 0.0);
  EXPECT_EQ(FlagSideDamp, 3);
  EXPECT_EQ(global_fac, 10.0);
  EXPECT_EQ(DepthBreakPath, 0.0);
  EXPECT_EQ(FillStop, 0.5);
  EXPECT_EQ(FlagPresFilter, 2);
  EXPECT_EQ(FlagAddAnbShallow, 1);
  EXPECT_EQ(ValAddAnbShallow, -2.5);  // the value itself has no range
  EXPECT_EQ(FlagFractionsPrint, 1);
  EXPECT_EQ(depthTracer, 1000.0);
  EXPECT_EQ(VertDiffTrekant, 0.01);
  EXPECT_EQ(FlagMaxFlux, 0);
  EXPECT_EQ(MPMcoeff, 0.0);
  EXPECT_EQ(FlagFracresVersion, 2);
  EXPECT_EQ(relaxAvailable, 0.0);
  EXPECT_EQ(NumRemoveLayers, 0);
  EXPECT_EQ(FlagDefectRatio, 1);
  EXPECT_EQ(tracerJ1, 3);
  EXPECT_EQ(tracerJ2, 3);
  EXPECT_EQ(log(), "");
}

TEST_F(Fsets400, Defaults) {
  EXPECT_EQ(TFSminFlag, 1);
  EXPECT_EQ(TFSminDepth, 0.02);
  EXPECT_EQ(RelaxMorphStatistics, 0.1);
  EXPECT_EQ(FlagModulus, 0);
  EXPECT_EQ(FlagErodeUnder, 1);
  EXPECT_EQ(IntervalPresDownstream, 100.0);
  EXPECT_EQ(global_fac, 0.2);
  EXPECT_EQ(DepthBreakPath, -1.0);
  EXPECT_EQ(FillStop, -100.0);
  EXPECT_EQ(reduceCornersSurf, -1.0);
  EXPECT_EQ(depthTracer, 0.3);
  EXPECT_EQ(FlagMaxFlux, 1);
  EXPECT_EQ(MPMcoeff, 0.25);
  EXPECT_EQ(relaxAvailable, 1.0);
  EXPECT_EQ(NumRemoveLayers, 1);
  EXPECT_EQ(tracerJ1, 0);
  EXPECT_EQ(tracerJ2, 0);
}

TEST_F(Fsets400, EveryNumberOfTheRangeHasAReader) {
  for (int n = 400; n <= 449; ++n) EXPECT_NE(findDataSet('F', n), nullptr) << n;
}

// E = 1e5, nu = 0.25: G = 1e5 / 2.5 = 40000; L = 25000 / (0.5 * 1.25) = 40000.
TEST_F(Fsets400, ElasticModuliAreDerived) {
  EXPECT_EQ(scan("F 410 1e5 0.25 3"), 1000) << log();
  EXPECT_EQ(EModulus, 1e5);
  EXPECT_EQ(PoissonRatio, 0.25);
  EXPECT_EQ(FlagModulus, 3);
  EXPECT_DOUBLE_EQ(GModulus, 40000.0);
  EXPECT_DOUBLE_EQ(LModulus, 40000.0);
}

TEST_F(Fsets400, ErosionUnderTheActiveLayerAgainstSlideVariant) {
  struct Case { int avalanche; const char* text; int status; };
  const Case cases[] = {
      {204, "F 412 0", 1}, {205, "F 412 0", 1000}, {204, "F 412 1", 1000}, {0, "F 412 0", 1000},
  };
  for (const Case& c : cases) {
    setDefaults();
    write("boogie", "");
    IterAvalanche = c.avalanche;  // as F 56 given earlier in the file leaves it
    EXPECT_EQ(scan(c.text), c.status) << c.avalanche << " " << c.text;
    if (c.status == 1)
      EXPECT_EQ(log(),
                "Error for combination of F 56 204 and F 412 in control file.\n"
                "The slide will affect more than one layer.\n");
    else
      EXPECT_EQ(log(), "") << c.avalanche << " " << c.text;
  }
}

// The same through the slide data set itself, which must come earlier in the file.
TEST_F(Fsets400, ErosionUnderTheActiveLayerFollowsTheFileOrder) {
  EXPECT_EQ(scan("F 37 3 F 56 204 0.6 F 412 0"), 1);
  EXPECT_EQ(log(),
            "Error for combination of F 56 204 and F 412 in control file.\n"
            "The slide will affect more than one layer.\n");
  setDefaults();
  write("boogie", "");
  EXPECT_EQ(scan("F 37 3 F 56 205 0.6 F 412 0"), 1000) << log();
  setDefaults();
  EXPECT_EQ(scan("F 37 3 F 412 0 F 56 204 0.6"), 1000) << log();
  EXPECT_EQ(FlagErodeUnder, 0);
}

TEST_F(Fsets400, RowsWithoutCountKeepTheirValueWhenNoneIsGiven) {
  EXPECT_EQ(scan("F 418 F 20 2"), 1000) << log();
  EXPECT_EQ(global_fac, 0.2);
  EXPECT_EQ(IterF2, 2);
  EXPECT_EQ(scan("F 411 2.5 F 411 F 412 F 413 F 414 F 415 F 417"), 1000) << log();
  EXPECT_EQ(BankCohesion, 2.5);
  EXPECT_EQ(FlagErodeUnder, 1);
}

TEST_F(Fsets400, DownstreamPressureIntervalOnlyWithOption3) {
  EXPECT_EQ(scan("F 416 2\nF 20 2"), 1000) << log();
  EXPECT_EQ(FlagPresDownstream, 2);
  EXPECT_EQ(IntervalPresDownstream, 100.0);
  EXPECT_EQ(IterF2, 2);
  EXPECT_EQ(scan("F 416 3 0"), 1000) << log();
  EXPECT_EQ(FlagPresDownstream, 3);
  EXPECT_EQ(IntervalPresDownstream, 0.0);
}

TEST_F(Fsets400, CornerReductionNeedsFreeSurfaceAlgorithm7First) {
  EXPECT_EQ(scan("F 36 7 F 428 0.5"), 1000) << log();
  EXPECT_EQ(reduceCornersSurf, 0.5);
  EXPECT_EQ(scan("F 36 7 F 428 0 F 428 1"), 1000) << log();
  EXPECT_EQ(reduceCornersSurf, 1.0);
}

TEST_F(Fsets400, TracerLineRanges) {
  struct Case { const char* text; int status; };
  const Case cases[] = {
      {"F 449 -5 0", 1000}, {"F 449 -10 -20", 1000}, {"F 449 0 0", 1000}, {"F 449 3 7", 1000},
      {"F 449 7 7", 1000},  {"F 449 -11 0", 1},      {"F 449 8 7", 1},    {"F 449 1 0", 1},
  };
  for (const Case& c : cases) {
    setDefaults();
    write("boogie", "");
    EXPECT_EQ(scan(c.text), c.status) << c.text;
  }
}

}  // namespace
}  // namespace qorva
