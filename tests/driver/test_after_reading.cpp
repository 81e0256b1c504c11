// The completion of the configuration after the scan of `control`: derived settings, the
// combinations that end the run, the structured arrays, the B data sets of the second pass,
// removed regions, the provisional unit grid and the cleared print times.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "state/options.h"
#include "state/side_files.h"
#include "state/status.h"
#include "state/structured.h"
#include "support/scratch.h"

namespace qorva {
namespace {

constexpr int kRead = 1000;  // the configuration was completed without ending the run

bool contains(const std::string& s, const std::string& part) {
  return s.find(part) != std::string::npos;
}

class AfterReading : public test::Scratch {
 protected:
  // What kread does after the log start: defaults, the scan of `control` (also written to disk
  // for the second pass), then the completion. `between` changes the state after the scan, as
  // a reader could have left it. Returns the status of the run's end, or kRead.
  static int readControl(const std::string& text, const std::function<void()>& between = nullptr,
                         bool writeFile = true) {
    if (writeFile) write("control", text);
    std::remove("boogie");
    SetArraysZero();
    resetSideFiles();
    setDefaults();
    try {
      ControlInput in(text);
      scanControl(in);
      if (between) between();
      afterReading();
    } catch (const RunEnd& e) {
      return e.status;
    }
    return kRead;
  }
};

// Small grids keep the structured arrays small.
const std::string kGrid = "G 1 10 8 5 1\n";

TEST_F(AfterReading, CompletesWithDefaultsAndSetsTheStatusText) {
  ASSERT_EQ(readControl(kGrid + "T  A small case\n"), kRead);
  const std::string l = log();
  EXPECT_TRUE(contains(l, "TurbulenceModel = 0 (F 24)\nNumber of threads: 0 (F 206)\n")) << l;
  // The title follows the allocation report, from its second position, with its blank.
  EXPECT_TRUE(contains(l, "Mbytes structured arrays\n  A small case \n\n")) << l;
  EXPECT_EQ(mc_message, " Have read data file    ");
  EXPECT_TRUE(static_cast<bool>(zval));
  EXPECT_EQ(NoBdatasets, -1);
  EXPECT_EQ(FlagReadNdata, 0);
}

TEST_F(AfterReading, CombinationsThatCannotWorkEndWithStatusOne) {
  struct Case {
    std::string control;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"F 493 5\n", "Error in control file: F 493 5 is only used with F 488 > 0\n\n"},
      {"G 1 10 8 5 2\nF 37 1\n",
       "For sediment computations (F 37) it is necessary to specify N data sets\n"
       "in the control file, or use a 'fracres' file with an 'O' in the F 2 data set\n"},
      {"F 7 E\nF 206 1\n",
       "The combination F 206 > 0 and F 7 E will give inconsistent results in the\n"
       "pressure-correction function\n\n"},
      {"F 168 1\nF 36 13\n",
       "The combination of values on the F 168 and F 36 data sets in the control file \n"
       "will not work. It is recommended to set the F 168 data set to zero when using \n"
       "your choise of F 36 data set.\n\n"},
      {"F 296 1\nF 206 1\n", "Error in control file: F 296 data set only works for F 206 0\n\n"},
      {"F 419 1\nF 206 1\n",
       "Error in control file: F 419 data set only works with F 206 = 0 and F 328 = 0\n\n"},
      {"F 419 1\nF 328 1\n",
       "Error in control file: F 419 data set only works with F 206 = 0 and F 328 = 0\n\n"},
      {"F 104 1\nF 206 1\n", "Error in control file: F 104 data set only works with F 206 = 0\n\n"},
      {"F 316 1\nF 206 1\n", "Error in control file: F 316 only works with F 206 = 0\n\n"},
      {"F 373 1\n",
       "Error in control file: F 373 data set will only work with F 206 > 0 and F 328 = 0\n\n"},
      {"F 373 1\nF 206 1\nF 328 1\n",
       "Error in control file: F 373 data set will only work with F 206 > 0 and F 328 = 0\n\n"},
      {"F 202 1 0.1\nF 174 1\n",
       "Error in control file: F 202 and (F 174 1st integer != 0) must not be used together\n\n"},
      // The per-surface laws have a u+ for the rough, smooth and transitional laws only.
      {"F 305 1\nF 15 19\n",
       "Error in control file: the wall laws per wall surface (F 305 1) work only with F 15 0, "
       "5 or 8\n\n"},
      {"F 305 1\nF 120 0\n",
       "Error in control file: the wall laws per wall surface (F 305 1) work only with F 15 0, "
       "5 or 8\n\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control);
    EXPECT_EQ(readControl(kGrid + c.control), 1);
    const std::string l = log();
    EXPECT_TRUE(contains(l, c.message)) << l;
    // They are found before the structured arrays are made.
    EXPECT_FALSE(contains(l, "structured arrays")) << l;
  }
}

TEST_F(AfterReading, CombinationsThatWork) {
  const std::vector<std::string> cases = {
      "F 493 5\nF 488 1\n",
      "F 168 1\nF 36 13\nF 357 -1 1\n",
      "F 168 1\nF 36 12\n",
      "F 373 1\nF 206 1\n",
      "F 104 1\n",
      "F 202 1 0.1\n",
      "F 305 1\nF 15 8\n",
      "F 305 2\nF 15 19\n",
  };
  for (const std::string& c : cases) {
    SCOPED_TRACE(c);
    EXPECT_EQ(readControl(kGrid + c), kRead) << log();
  }
}

TEST_F(AfterReading, SedimentWithoutNDataSetsPassesWithAFracresFile) {
  write("fracres", "");
  EXPECT_EQ(readControl("G 1 10 8 5 2\nF 37 1\n"), kRead) << log();
  EXPECT_EQ(FlagReadNdata, -1);
  std::remove("fracres");
  // A block-division run looks for its own fracres file.
  write("fracres.mpi2", "");
  EXPECT_EQ(readControl("G 1 10 8 5 2\nF 37 1\nF 308 2\n"), kRead) << log();
  EXPECT_EQ(FlagReadNdata, -1);
}

TEST_F(AfterReading, WarningsLeaveTheLogInUse) {
  // F 36 9 without F 323 1 is advice only: the run goes on and later lines still reach the log.
  ASSERT_EQ(readControl(kGrid + "F 36 9\nF 488 1\nF 14 0.5\nF 23 0.1\nF 255 1\nF 144 1 0.5\n"), kRead) << log();
  const std::string l = log();
  EXPECT_TRUE(contains(l, "Using F 36 9 in the control file should only be done in combination with F 323 1\n\n")) << l;
  EXPECT_TRUE(contains(l, "Warning: possible problem in control file: F 488 > 0 has only been tested in "
                          "combination with F 493 5\n\n")) << l;
  EXPECT_TRUE(contains(l, "Warning: using artificial viscosity of 5.000000e-01\n")) << l;
  EXPECT_TRUE(contains(l, "Using accellertated deposition routine\n")) << l;
  EXPECT_TRUE(contains(l, "Warning: possible problem in control file: combination of the F 255 data "
                          "with one of the F 144, F 205 or F 266 data sets\n\n")) << l;
  EXPECT_EQ(mc_message, " Have read data file    ");
  // With F 323 1 there is nothing to say.
  ASSERT_EQ(readControl(kGrid + "F 36 9\nF 323 1\n"), kRead);
  EXPECT_FALSE(contains(log(), "F 36 9"));
}

// A free surface in the sediment computation moves the water levels, but the grid follows them
// only with F 166 1 or when the bed change rebuilds it: said once after reading, with the
// setting that moves it, for every combination where the surface would otherwise seem dead.
TEST_F(AfterReading, FreeSurfaceOfASedimentRunSaysWhatMovesTheGrid) {
  const std::string note =
      "Note: in the sediment computation (task S) the free-surface updates of F 36 2 move the "
      "water levels but not the grid: the cells keep their start surface until the bed change "
      "rebuilds the grid (F 255, every F 99 time steps); F 166 1 rebuilds it after every "
      "surface update\n";
  const std::string held =
      "With F 255 2 the bed change never rebuilds the grid, so without F 166 1 the surface "
      "stays at its start level for the whole run\n";
  const std::string sediment = kGrid + "F 37 1\nF 64 11\nF 36 2\nG 6 0 0 2 0.1 0.01\n";
  struct Case {
    std::string sets;
    bool note, held;
  };
  const Case cases[] = {
      {sediment + "F 2 YS\n", true, false},
      {sediment + "F 255 2\nF 2 YS\n", true, true},
      {sediment + "F 255 2\nF 166 1\nF 2 YS\n", false, false},  // the grid follows the surface
      {sediment + "F 2 YXS\n", false, false},                     // S is never reached
      {sediment + "K 2 0 0\nF 2 YS\n", false, false},            // no surface update (K 2 roof)
      {kGrid + "F 37 1\nF 64 11\nF 2 YS\n", false, false},      // a fixed surface
      {kGrid + "F 37 1\nF 64 11\nF 36 4\nF 2 YS\n", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sets);
    ASSERT_EQ(readControl(c.sets), kRead) << log();
    const std::string l = log();
    const std::string shown = c.sets.find("F 36 4") != std::string::npos
                                  ? std::string(note).replace(note.find("F 36 2"), 6, "F 36 4")
                                  : note;
    EXPECT_EQ(contains(l, shown), c.note) << l;
    EXPECT_EQ(contains(l, held), c.held) << l;
  }
}

TEST_F(AfterReading, ErrorsAfterTheArraysAreMade) {
  struct Case {
    std::string control;
    std::function<void()> between;
    int status;
    std::string message;
  };
  const std::vector<Case> cases = {
      {kGrid, [] { IONo = -2; }, -1, "Input error for G 7 in control\nError = -2\n"},
      {kGrid + "F 37 1\nF 64 0\n", nullptr, -1,
       "Error in control file: When the F 37 data set is used, the F 64 data set must also be given\n"
       "Often F 64 11 is used in combination with F 37\n"},
      {kGrid + "F 37 3\n", nullptr, -1, "Error: Use F 255 5 data set with F 37 3\n"},
      {kGrid + "F 524 1\nF 202 1 0.1\n", nullptr, -1,
       "Error: Both F 524 and F 202 are used in the control file. Only one can be used\n\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control);
    EXPECT_EQ(readControl(c.control, c.between), c.status);
    const std::string l = log();
    EXPECT_TRUE(contains(l, c.message)) << l;
    EXPECT_TRUE(contains(l, "structured arrays")) << l;
  }
}

TEST_F(AfterReading, StructuredArraysThatCannotBeMadeEndTheRun) {
  // Sizes whose tables cannot be addressed take the out-of-memory path.
  EXPECT_EQ(readControl(kGrid, [] { xnumber = ynumber = 2147483647; }), -3);
  const std::string l = log();
  EXPECT_TRUE(contains(l, "when out of memory\nCould not allocate enough memory")) << l;
  EXPECT_FALSE(contains(l, "Have not used inflow file")) << l;
}

TEST_F(AfterReading, FractionsOfEachSampleMustSumToOne) {
  const std::string sizes = "G 1 10 8 5 2\n";
  // The default sample is all of size 1.
  EXPECT_EQ(readControl(sizes), kRead);
  EXPECT_EQ(readControl(sizes + "N 0 1 0.5\nN 0 2 0.49995\n"), kRead) << log();
  EXPECT_EQ(FlagReadNdata, 2);

  EXPECT_EQ(readControl(sizes + "N 0 1 0.5\nN 0 2 0.4998\n"), -4);
  EXPECT_TRUE(contains(log(), "Error, N - data sets : Sum of fractions = 9.998000e-01\n"
                              "Number of N data sets read: 2\n\n")) << log();
  // Every sample up to the highest given is checked, not only sample 0.
  EXPECT_EQ(readControl(sizes + "N 1 1 0.5\n"), -4);
  EXPECT_TRUE(contains(log(), "Sum of fractions = 5.000000e-01\nNumber of N data sets read: 1\n\n"))
      << log();
  // A fraction of a size beyond lnumber does not count.
  EXPECT_EQ(readControl("G 1 10 8 5 1\nN 0 2 0.5\n"), kRead) << log();
  // A run without sediment sizes has no fractions to sum.
  EXPECT_EQ(readControl("G 1 10 8 5 0\n"), kRead) << log();
}

TEST_F(AfterReading, ComponentsOfTheBedCompositionFollowTheSizes) {
  ASSERT_EQ(readControl("G 1 10 8 5 2\nF 400 1\n"), kRead);
  EXPECT_EQ(NoComponents, 3);
  ASSERT_EQ(readControl("G 1 10 8 5 2\nF 50 5\nF 400 1\n"), kRead);
  EXPECT_EQ(NoComponents, 5);
  ASSERT_EQ(readControl("G 1 10 8 5 2\nF 50 1\n"), kRead);
  EXPECT_EQ(NoComponents, 1);
}

TEST_F(AfterReading, IndexesAreCheckedAgainstTheFinalGridSizes) {
  // G 13 fits the default 300 x 300 grid when it is read; the later G 1 makes it too large.
  EXPECT_EQ(readControl("G 13 0 2 40 2 5 2 3\nG 1 10 8 5 1\n"), 1);
  EXPECT_TRUE(contains(log(), "Input error for G 13 in control")) << log();
  EXPECT_FALSE(contains(log(), "structured arrays"));
}

TEST_F(AfterReading, RemovedRegionsAreMarked) {
  ASSERT_EQ(readControl(kGrid + "G 13 0 3 4 2 3 2 5\nG 13 0 9 9 7 7 2 5\n"), kRead) << log();
  int marked = 0;
  for (int i = 0; i <= 11; ++i)
    for (int j = 0; j <= 9; ++j) marked += bedOutBlock[i][j];
  EXPECT_EQ(marked, 5);
  EXPECT_EQ(bedOutBlock[3][2], 1);
  EXPECT_EQ(bedOutBlock[4][3], 1);
  EXPECT_EQ(bedOutBlock[9][7], 1);
  EXPECT_EQ(bedOutBlock[2][2], 0);
}

TEST_F(AfterReading, ProvisionalUnitGridUsesTheWaterLevel) {
  // W 1 gives the level 8; five levels are spread over 0..8 in steps of 2.
  ASSERT_EQ(readControl(kGrid + "W 1 50 1 8\n"), kRead) << log();
  for (int i : {1, 6, 11})
    for (int j : {1, 9}) {
      SCOPED_TRACE(std::to_string(i) + " " + std::to_string(j));
      EXPECT_DOUBLE_EQ(xval[i][j], i);
      EXPECT_DOUBLE_EQ(yval[i][j], j);
      EXPECT_DOUBLE_EQ(zval[i][j][1], 0.0);
      EXPECT_DOUBLE_EQ(zval[i][j][3], 4.0);
      EXPECT_DOUBLE_EQ(zval[i][j][5], 8.0);
      EXPECT_DOUBLE_EQ(zval[i][j][6], 8.0);
      EXPECT_DOUBLE_EQ(Surfaces[3][i][j], -10.0);
    }
  EXPECT_DOUBLE_EQ(xval[0][0], 0.0);  // the spare lines stay empty
}

TEST_F(AfterReading, F370BeyondTheCrossSectionsIsOnlyReported) {
  ASSERT_EQ(readControl(kGrid + "F 370 10 2 11 3 1\n"), kRead) << log();
  EXPECT_TRUE(contains(log(), "Error in control file: index on F 370 data set larger than number of "
                              "cross-sections on W 1 data set\n"));
  ASSERT_EQ(readControl(kGrid + "F 370 10 2 10 3 1\n"), kRead) << log();
  EXPECT_FALSE(contains(log(), "F 370"));
}

TEST_F(AfterReading, PrintTimesAreCleared) {
  const auto dirty = [] {
    TimePrintNo = 4;
    TimePrint[0].time = 3.5;
    TimePrint[0].itemNo = 2;
    TimePrint[19].var[24] = 'h';
    TimePrint[19].cell[24] = 7;
    TimePrint[7].extra[3] = 2;
  };
  ASSERT_EQ(readControl(kGrid, dirty), kRead);
  EXPECT_EQ(TimePrintNo, 0);
  EXPECT_EQ(TimePrint[0].time, 0.0);
  EXPECT_EQ(TimePrint[0].itemNo, 0);
  EXPECT_EQ(TimePrint[19].var[24], ' ');
  EXPECT_EQ(TimePrint[0].var[0], ' ');
  EXPECT_EQ(TimePrint[19].cell[24], 0);
  EXPECT_EQ(TimePrint[7].extra[3], 0);
}

// --- B data sets -------------------------------------------------------------------------------

std::vector<int> bRecord(int n) {
  std::vector<int> r;
  for (int f = 0; f < 5; ++f) r.push_back(Bdatasets[n * 5 + f]);
  return r;
}

TEST_F(AfterReading, BDataSetsAreStoredInOrder) {
  ASSERT_EQ(readControl(kGrid + "B 0 0 0 0 0\nB 3 2 5 3 6\nB 19 10 10 8 8\n"), kRead) << log();
  EXPECT_EQ(NoBdatasets, 2);
  // Type 0 stands for the whole grid.
  EXPECT_EQ(bRecord(0), (std::vector<int>{0, 2, 10, 2, 8}));
  EXPECT_EQ(bRecord(1), (std::vector<int>{3, 2, 5, 3, 6}));
  EXPECT_EQ(bRecord(2), (std::vector<int>{19, 10, 10, 8, 8}));
}

TEST_F(AfterReading, BDataSetsAreFoundAsFarAsTheFirstPassReads) {
  // Past 10000 characters, but within what the first pass reads.
  ASSERT_EQ(readControl(kGrid + std::string(15000, ' ') + "B 3 2 5 3 6\n"), kRead) << log();
  EXPECT_EQ(NoBdatasets, 0);
  EXPECT_EQ(bRecord(0), (std::vector<int>{3, 2, 5, 3, 6}));
}

TEST_F(AfterReading, BadBDataSetsEndTheRun) {
  const std::vector<std::string> cases = {
      "B 20 2 5 3 6\n",   // type above 19
      "B -1 2 5 3 6\n",   // negative type
      "B 1 11 11 3 6\n",  // i1 beyond xnumber
      "B 1 1 1 3 6\n",    // i2 below 2
      "B 1 6 5 3 6\n",    // i1 > i2
      "B 1 2 5 9 9\n",    // j1 beyond ynumber
      "B 1 2 5 1 1\n",    // j2 below 2
      "B 1 2 5 6 3\n",    // j1 > j2
      "B 1 2 5 3\nF 14 0\n",  // fewer than five integers
  };
  for (const std::string& c : cases) {
    SCOPED_TRACE(c);
    EXPECT_EQ(readControl(kGrid + c), 1);
    EXPECT_TRUE(contains(log(), "Input error for B in control")) << log();
  }
}

TEST_F(AfterReading, AtMostTwentyBDataSets) {
  std::string b;
  for (int n = 0; n < 20; ++n) b += "B 1 2 3 2 3\n";
  ASSERT_EQ(readControl(kGrid + b), kRead) << log();
  EXPECT_EQ(NoBdatasets, 19);
  EXPECT_EQ(readControl(kGrid + b + "B 2 2 3 2 3\n"), 1);
  EXPECT_TRUE(contains(log(), "Input error for B in control\nData sets must not exceed 20\n")) << log();
  EXPECT_EQ(NoBdatasets, 19);
}

TEST_F(AfterReading, ABInsideTheValuesOfOtherDataSetsIsNoBDataSet) {
  const std::vector<std::string> cases = {
      // a title longer than 30 characters
      "T This title is longer than thirty characters: B 1 2 3 2 3\n",
      // task letters beyond the tenth
      "F 2 RRRRRRRRRB 1 2 3 2 3\n",
      // a component name
      "F 50 1\nQ 0 0 B1\nF 14 0\n",
      // an output variable letter
      "G 24 1 B 1 0\nF 14 0\n",
      // a note between data sets: B without a number is text
      "Bed from survey B lines\n",
  };
  for (const std::string& c : cases) {
    SCOPED_TRACE(c);
    EXPECT_EQ(readControl(kGrid + c), kRead) << log();
    EXPECT_EQ(NoBdatasets, -1);
  }
}

// A letter of a bed layer shows layer level - 1: its level may reach the layer count of F 134
// (2 here), not the larger vertical level count of G 1 (5), which the other letters may reach.
TEST_F(AfterReading, LayerLettersStayInTheLayerStack) {
  struct Case {
    const char* g24;
    int status;
  };
  for (const Case& c : {Case{"G 24 2 k 5 0 L 2 1\n", kRead}, Case{"G 24 1 f 3 1\n", 1},
                        Case{"G 24 2 k 5 0 a 5 0\n", 1}, Case{"G 24 1 L 0 0\n", kRead}}) {
    SCOPED_TRACE(c.g24);
    EXPECT_EQ(readControl(kGrid + c.g24), c.status) << log();
    if (c.status == 1) {
      EXPECT_TRUE(contains(log(), strf("Error in G 24 data set, variable no. %d\n",
                                       c.g24[5] == '1' ? 1 : 2)))
          << log();
    }
  }
}

TEST_F(AfterReading, BDataSetAfterTheEndOfALongTitle) {
  // The title takes 69 characters; what follows is read as data sets, in both passes.
  const std::string title = "T " + std::string(67, 'x') + "y";
  ASSERT_EQ(title.size(), 70u);
  ASSERT_EQ(readControl(kGrid + title + "B 4 2 3 2 3\n"), kRead) << log();
  EXPECT_EQ(NoBdatasets, 0);
  EXPECT_EQ(bRecord(0), (std::vector<int>{4, 2, 3, 2, 3}));
}

TEST_F(AfterReading, ControlMustOpenAgainForTheBDataSets) {
  EXPECT_EQ(readControl(kGrid, nullptr, false), -3);
  EXPECT_EQ(mc_message, "cannot open file 'control' ");
  EXPECT_TRUE(contains(log(), "Error, cannot open file 'control'\n"));
}

}  // namespace
}  // namespace qorva
