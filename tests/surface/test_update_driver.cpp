// The free-surface update driver on a block of 3 x 3 unit columns, 2 m deep, with the
// reference column (3, 3) given by F 91: one whole update, the trace file, the stops of the
// update and the algorithms that are hooks.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "state/log.h"
#include "support/surface_grid.h"
#include "surface/surface.h"
#include "surface/update.h"

namespace qorva {
namespace {

constexpr double kHead = 0.000101937;

class UpdateDriver : public test::SurfaceGrid {
 protected:
  void SetUp() override {
    test::SurfaceGrid::SetUp();
    box(3, 3, 2, 2.0);
    FlagTFS = 2;
    RelaxSurface = 0.5;
    iPres = jPres = 3;
    stimet = 1.0;  // past the start, the grid generator logs nothing
  }
  static int update() { return status([] { surface(); }); }
  static std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
  }
};

TEST_F(UpdateDriver, OneUpdateMovesTheLevelsAndRebuildsTheGrid) {
  // 0.1 m of head everywhere but in the reference column: node (1, 1), which only touches
  // column (2, 2), rises half of it; node (2, 2) averages one reference column and three
  // others.
  for (int c = 1; c <= NoCells; ++c) Cpres[c] = 981;
  columnPressure(3, 3, 0);
  EXPECT_EQ(update(), 1000);
  EXPECT_EQ(mc_program, " Surface ");
  EXPECT_DOUBLE_EQ(GlobZRef, 0.0);
  EXPECT_DOUBLE_EQ(GlobPresRef, 0.0);
  EXPECT_NEAR(level(1, 1), 0.5 * 981 * kHead, 1e-12);
  EXPECT_NEAR(level(2, 2), 0.5 * 0.75 * 981 * kHead, 1e-12);
  EXPECT_EQ(FlagGridChange, 1);
  // The new grid stands on the new levels.
  const int t = top(2, 2);
  const double corners = (level(1, 1) + level(2, 1) + level(2, 2) + level(1, 2)) / 4;
  EXPECT_NEAR(Czcenter[t] + Ckdist[t], corners, 1e-12);
  EXPECT_FALSE(std::filesystem::exists("boogie-t"));
}

TEST_F(UpdateDriver, ExtraDebugMarksStartAndEnd) {
  FlagExtraDebug = 1;
  EXPECT_EQ(update(), 1000);
  const std::string l = log();
  EXPECT_EQ(l.rfind("Start surface\n", 0), 0u) << l;
  EXPECT_EQ(l.substr(l.size() - 12), "End surface\n") << l;
}

TEST_F(UpdateDriver, PausePointsGoOnWithANote) {
  for (int point : {311, 303, 304}) {
    SCOPED_TRACE(point);
    std::filesystem::remove("boogie");
    PauseFlag = point;
    EXPECT_EQ(update(), 1000);
    EXPECT_EQ(log(), strf("Pause point %d (F 156) is not available in a batch run; the "
                          "free-surface update goes on\n",
                          point));
    EXPECT_EQ(PauseFlag, 0);
  }
}

TEST_F(UpdateDriver, MissingReferenceCellStopsTheUpdate) {
  // No bottom cell in zval for the reference column and none from the references' result.
  iPres = 1;
  jPres = 1;
  EXPECT_EQ(status([] { referenceBottomCell(0); }), -1);
  EXPECT_EQ(log(), "Error 9 in surface computation, reference cell is zero. iPres=1, jPres=1, "
                   "i=0\n\n\n");
  // A result cell stands in for a column that zval does not hold.
  EXPECT_EQ(referenceBottomCell(top(2, 3)), bottom(2, 3));
}

TEST_F(UpdateDriver, PressureReferenceThatIsNotANumberStops) {
  stimet = 12.5;
  columnPressure(3, 3, std::nan(""));
  EXPECT_EQ(update(), -1);
  EXPECT_NE(log().find("Stopped after 12.500000 seconds due to NAN value for pressure "
                       "reference\n\n"),
            std::string::npos);
  EXPECT_TRUE(std::filesystem::exists("alldata.0"));
  EXPECT_EQ(level(1, 1), 0.0);
}

TEST_F(UpdateDriver, TraceRecordPerUpdate) {
  debugging = 'C';
  stimet = 3.0;
  EXPECT_EQ(update(), 1000);
  stimet = 4.0;
  EXPECT_EQ(update(), 1000);
  const std::vector<std::string> l = lines(read("boogie-t"));
  ASSERT_EQ(l.size(), 3u) << read("boogie-t");
  EXPECT_EQ(l[0], "Time   dh  Czcenter  Ckdist  iSurfLocal  iPres  jPres   zval   GlobZRef "
                  "GlobPresRef residualP BI1 dep1 dep2");
  // Time, dh, the reference cell's centre and half height, the cell and column, the level
  // and references, the pressure residual, the braiding index, the mean depth before and
  // after the update.
  const int cR = bottom(3, 3);
  EXPECT_EQ(l[1], strf("3.000000 0.000000 -1.500000 0.500000 %d 3 3 0.000000 0.000000 0.000000 "
                       "0.000000 0.000000 2.000000 2.000000",
                       cR));
  EXPECT_EQ(l[2].substr(0, 9), "4.000000 ");
  EXPECT_FALSE(std::filesystem::exists("boogie-t.tmp"));
}

TEST_F(UpdateDriver, TraceOfLetterJEveryHundredIterations) {
  debugging = 'J';
  for (int it : {150, 200, 250}) {
    Iter = it;
    EXPECT_EQ(update(), 1000);
  }
  EXPECT_EQ(lines(read("boogie-t")).size(), 2u);  // the header and the record of 200
}

TEST_F(UpdateDriver, TraceThatCannotBeWrittenIsSkippedWithOneWarning) {
  debugging = 'E';
  std::filesystem::create_directory("boogie-t");
  EXPECT_EQ(update(), 1000);
  EXPECT_EQ(update(), 1000);
  EXPECT_EQ(log(), "Warning: the free-surface trace file 'boogie-t' cannot be written; its "
                   "records are skipped\n");
  EXPECT_EQ(FlagGridChange, 1);
}

// The continuity-based movement (F 36 5, 6) and the velocity-direction levels (F 36 10) run on
// both roads and end in the tail's rebuild.
TEST_F(UpdateDriver, ContinuityAndVelocityDirectionAlgorithmsRun) {
  for (int road : {0, 1})
    for (int tfs : {5, 6, 10}) {
      SCOPED_TRACE(tfs * 10 + road);
      std::filesystem::remove("boogie");
      FlagGridChange = 0;
      FlagTFS = tfs;
      FlagSurface2 = road;
      EXPECT_EQ(update(), 1000);
      EXPECT_EQ(FlagGridChange, 1);
      if (std::filesystem::exists("boogie")) {
        EXPECT_EQ(log().find("Not available"), std::string::npos) << log();
      }
    }
}

TEST_F(UpdateDriver, AlgorithmsOutsideTheTableTakeTheNodeUpdate) {
  for (int tfs : {0, 2, 25, 120}) {
    SCOPED_TRACE(tfs);
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 4; ++j) zval[i][j][znumber] = 0;
    FlagTFS = tfs;
    for (int c = 1; c <= NoCells; ++c) Cpres[c] = 981;
    columnPressure(3, 3, 0);
    EXPECT_EQ(update(), 1000);
    EXPECT_NEAR(level(1, 1), 0.5 * 981 * kHead, 1e-12);
  }
}

}  // namespace
}  // namespace qorva
