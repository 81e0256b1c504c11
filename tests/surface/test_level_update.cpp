// The grid levels from a solved level equation on a block of 3 x 3 unit columns: every node
// takes the relaxed mean of the columns around it, F 36 9 takes the solved levels themselves,
// a falling supercritical node is damped, the downwind form follows the columns upstream, and
// a column value that is not a number stops the run.
#include <cmath>
#include <filesystem>
#include <string>

#include "state/bedcells.h"
#include "state/log.h"
#include "support/surface_grid.h"
#include "surface/level_equations.h"

namespace qorva {
namespace {

class LevelUpdate : public test::SurfaceGrid {
 protected:
  void SetUp() override {
    test::SurfaceGrid::SetUp();
    box(3, 3, 2, 2.0);
    RelaxSurface = 0.5;
    scaleBackwater2 = 1.0;
    // The solved value of column (i, j): 0.1 i + 0.01 j.
    for (int i = 2; i <= 4; ++i)
      for (int j = 2; j <= 4; ++j) Cf[bottom(i, j)] = 0.1 * i + 0.01 * j;
  }
  static double solved(int i, int j) { return 0.1 * i + 0.01 * j; }
};

TEST_F(LevelUpdate, NodesTakeTheRelaxedMeanOfTheirColumns) {
  zval[2][2][znumber + 1] = -0.1;  // the level of the last update
  surfaceUpdate();
  const double inner = (solved(2, 2) + solved(2, 3) + solved(3, 3) + solved(3, 2)) / 4;
  EXPECT_NEAR(level(2, 2), 0.5 * inner, 1e-12);
  // Corner and edge nodes: the mean of the present columns only.
  EXPECT_NEAR(level(1, 1), 0.5 * solved(2, 2), 1e-12);
  EXPECT_NEAR(level(4, 4), 0.5 * solved(4, 4), 1e-12);
  EXPECT_NEAR(level(1, 2), 0.5 * (solved(2, 2) + solved(2, 3)) / 2, 1e-12);
  // The change against the last update, and the new level kept as the last update's.
  EXPECT_NEAR(Surfaces[4][2][2], 0.5 * inner + 0.1, 1e-12);
  EXPECT_NEAR(zval[2][2][znumber + 1], 0.5 * inner, 1e-12);
}

TEST_F(LevelUpdate, SemiImplicitLevelsAreTheSolvedLevels) {
  FlagTFS = 9;
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 4; ++j) zval[i][j][znumber] = 1.0;
  surfaceUpdate();
  const double inner = (solved(2, 2) + solved(2, 3) + solved(3, 3) + solved(3, 2)) / 4;
  EXPECT_NEAR(level(2, 2), inner, 1e-12);
  relaxCasulli = 0.25;
  surfaceUpdate();
  EXPECT_NEAR(level(2, 2), 0.75 * inner + 0.25 * inner, 1e-12);
  EXPECT_NEAR(level(1, 1), solved(2, 2), 1e-12);
}

// F 36 9: solved levels whose sum S1 matches the column heights below the top cells, S2 (here
// the lower 1 m cell of each of the nine columns: 9 m), by |S1 - S2| < 0.001 |S1 + S2| leave
// the grid levels as they are, with a line in the log; a sum further off, or levels below the
// datum, update them.
TEST_F(LevelUpdate, SemiImplicitLevelsThatMatchTheColumnHeightsAreNotTaken) {
  FlagTFS = 9;
  struct Case {
    double solved;  // every column's solved level
    bool kept;
  };
  const Case cases[] = {{1.0, true}, {1.0019, true}, {1.0021, false}, {0.5, false},
                        {-1.0, false}, {-3.0, false}};
  for (const Case& k : cases) {
    SCOPED_TRACE(strf("solved level %g", k.solved));
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 4; ++j) zval[i][j][znumber] = zval[i][j][znumber + 1] = 2.0;
    for (int i = 2; i <= 4; ++i)
      for (int j = 2; j <= 4; ++j) Cf[bottom(i, j)] = k.solved;
    std::filesystem::remove("boogie");
    surfaceUpdate();
    EXPECT_NEAR(level(2, 2), k.kept ? 2.0 : k.solved, 1e-12);
    EXPECT_NEAR(level(1, 1), k.kept ? 2.0 : k.solved, 1e-12);
    EXPECT_EQ(log().find("match the column heights") != std::string::npos, k.kept);
  }
}

TEST_F(LevelUpdate, FallingSupercriticalNodesAreDamped) {
  FlagFroudeDamp = 1;
  for (int b = 1; b <= NoBCells; ++b) BFroude[b] = 1.0;
  for (int i = 2; i <= 4; ++i)
    for (int j = 2; j <= 4; ++j) Cf[bottom(i, j)] = -0.2;
  Cf[bottom(2, 2)] = 0.2;  // node (1, 1) rises
  surfaceUpdate();
  EXPECT_NEAR(level(1, 1), 0.5 * 0.2, 1e-12);
  EXPECT_NEAR(level(4, 4), 0.5 * -0.2 * 0.0001, 1e-15);
}

TEST_F(LevelUpdate, DownwindNodesFollowTheColumnsUpstream) {
  for (int c = 1; c <= NoCells; ++c) Cxvel[c] = 1.0;
  surfaceUpdateDownwind();
  // Node (2, 2) at x = 1 lies downstream of the columns (2, 2) and (2, 3) (centres at x = 0.5)
  // and upstream of (3, 2) and (3, 3), whose weights are 1e-10.
  const double w = 0.5 + 1e-10;
  const double want =
      0.5 * (w * (solved(2, 2) + solved(2, 3)) + 1e-10 * (solved(3, 2) + solved(3, 3))) /
      (2 * w + 2e-10);
  EXPECT_NEAR(level(2, 2), want, 1e-12);
  EXPECT_NEAR(zval[2][2][znumber + 1], want, 1e-12);
  // Upstream of all its columns, a node takes their plain mean.
  EXPECT_NEAR(level(1, 1), 0.5 * solved(2, 2), 1e-10);
}

TEST_F(LevelUpdate, AValueThatIsNotANumberStops) {
  Cf[bottom(3, 3)] = std::nan("");
  EXPECT_EQ(status([] { surfaceUpdate(); }), -99);
  EXPECT_EQ(log().rfind("Error in surface update. index = 4, pres = nan\n", 0), 0u) << log();
}

}  // namespace
}  // namespace qorva
