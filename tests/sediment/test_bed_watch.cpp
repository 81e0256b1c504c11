// The watch over the bed change of the sediment steps, on a small grid of 3 x 2 columns under
// 1 m of water: a step whose change exceeds a tenth of a column's depth is named with its
// column and step and points to F 33 and F 350 (ten such steps, then only a count); an inflow
// column that erodes its inlet gets one note with what the user can set; where the bed does not
// move (F 255 2) nothing is said; and when the flow of a step fails, the step and column where
// the bed had moved most are named.
#include <gtest/gtest.h>

#include <string>

#include "bed/bed_fixture.h"
#include "sediment/sediment_loop.h"
#include "state/bedcells.h"
#include "state/options.h"
#include "state/options_f150_199.h"
#include "state/options_f250_299.h"
#include "state/status.h"

namespace qorva::test {
namespace {

class BedWatch : public BedGrid {
 protected:
  void SetUp() override {
    BedGrid::SetUp();
    build(3, 2, flatBed, 1.0);
    WBStart = 1;
    WBEnd = NoBCells;
    sedloop::resetBedWatch();
  }

  // Step `step` with the bed change dz of every column but `b`, which changes by `dzb`.
  static void step(int step, int b, double dzb, double dz = 0.001) {
    Iter = step;
    stimet = 60.0 * step;
    for (int k = 1; k <= NoBCells; ++k) Bedmove[k] = k == b ? dzb : dz;
    sedloop::watchBedChange();
  }

  static std::string column(int b) {
    return "column i = " + std::to_string(Bkooi[b]) + ", j = " + std::to_string(Bkooj[b]) +
           " (bed cell " + std::to_string(b) + ")";
  }
};

TEST_F(BedWatch, WarnsOfAStepWhoseChangeExceedsATenthOfTheDepth) {
  struct Row {
    double dz;
    bool warned;
  };
  for (const Row& row : {Row{0.15, true}, Row{-0.12, true}, Row{0.09, false}, Row{-0.099, false}}) {
    SCOPED_TRACE(row.dz);
    std::remove("boogie");
    sedloop::resetBedWatch();
    step(3, 4, row.dz);
    const std::string text = log();
    if (!row.warned) {
      EXPECT_EQ(text, "");
      continue;
    }
    char dz[32];
    std::snprintf(dz, sizeof dz, "%lg", row.dz);
    EXPECT_NE(text.find("Warning: in step 3 the bed of " + column(4) + " moved " + dz +
                        " m, more than a tenth of its water depth of 1 m."),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("shorten the time step (F 33), or let it follow the discharge (F 350)"),
              std::string::npos);
  }
}

TEST_F(BedWatch, ABedThatDoesNotMoveIsNotWarnedOf) {
  FlagBedchangeOption = 2;
  step(1, 2, 0.5);
  Hydrostatic = 2;
  FlagBedchangeOption = 0;
  step(2, 2, 0.5);
  EXPECT_EQ(log(), "");
}

TEST_F(BedWatch, ListsTenStepsAndCountsTheRest) {
  for (int s = 1; s <= 13; ++s) step(s, 1 + s % NoBCells, s == 12 ? -0.4 : 0.2);
  const std::string text = log();
  int lines = 0;
  for (std::size_t at = text.find("Warning: in step"); at != std::string::npos;
       at = text.find("Warning: in step", at + 1))
    ++lines;
  EXPECT_EQ(lines, 10);
  EXPECT_NE(text.find("Warning: further steps whose bed change exceeds a tenth of the water depth "
                      "are not listed"),
            std::string::npos);
  EXPECT_EQ(text.find("in step 11 the bed"), std::string::npos);
  std::remove("boogie");
  sedloop::bedWatchSummary();
  const int b = 1 + 12 % NoBCells;
  EXPECT_EQ(log(), "Steps whose bed change exceeded a tenth of the water depth: 13; the most, "
                   "-0.4 m under 1 m of water, at column i = " +
                       std::to_string(Bkooi[b]) + ", j = " + std::to_string(Bkooj[b]) +
                       " in step 12\n");
}

TEST_F(BedWatch, NotesOnceAnInflowColumnThatErodesItsInlet) {
  Binout[1] = 5.0;  // the inflow reaches the bottom cell of bed cell 1
  step(1, 1, -0.01);  // a hundredth of the depth: no note
  EXPECT_EQ(log(), "");
  step(2, 1, -0.03);
  std::string text = log();
  EXPECT_NE(text.find("Note: in step 2 the bed of inflow column i = " + std::to_string(Bkooi[1]) +
                      ", j = " + std::to_string(Bkooj[1]) + " eroded 0.03 m under 1 m of water.\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("(F 174 with a second value"), std::string::npos);
  std::remove("boogie");
  step(3, 1, -0.05);
  EXPECT_EQ(log(), "");
  // An outflow column, or deposition at the inlet, is not an inlet scour.
  sedloop::resetBedWatch();
  Binout[1] = -5.0;
  step(4, 1, -0.05);
  Binout[1] = 5.0;
  step(5, 1, 0.05);
  EXPECT_EQ(log(), "");
  // With the cyclic feed the note says what the feed lacks.
  FlagCyclicS = 7;
  step(6, 1, -0.05);
  EXPECT_NE(log().find("The feed of F 174 takes the concentration profile of the outflow"),
            std::string::npos)
      << log();
}

TEST_F(BedWatch, NamesWhereTheBedMovedMostWhenTheFlowFails) {
  Iter = 1;
  stimet = 60;
  sedloop::reportBedAtFailure();
  EXPECT_EQ(log(), "The flow failed in step 1 (60.000000 s) of the sediment computation, before "
                   "the bed had moved\n");
  std::remove("boogie");
  step(1, 3, 0.02);
  step(2, 5, -0.07);
  step(3, 2, 0.05);
  Iter = 4;
  stimet = 240;
  sedloop::reportBedAtFailure();
  EXPECT_EQ(log(), "The flow failed in step 4 (240.000000 s) of the sediment computation; the bed "
                   "had moved most in step 2 (120.000000 s): -0.07 m at " +
                       std::string("column i = ") + std::to_string(Bkooi[5]) + ", j = " +
                       std::to_string(Bkooj[5]) + " (bed cell 5, bottom cell " +
                       std::to_string(Bcellt[5]) + " then), under 1 m of water\n");
}

}  // namespace
}  // namespace qorva::test
