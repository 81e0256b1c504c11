// Grid-split prevention: the minimum water levels of the F 371 methods on small blocks of unit
// columns, 2 m deep (two cells of 1 m), and the rise of the grid levels to them. MinVertDist0
// and MinVertDist1 come from the unit columns: 0.005 m and 0.1 m.
#include <cmath>

#include "grid/grid.h"
#include "state/bedcells.h"
#include "state/groups.h"
#include "state/points.h"
#include "state/surfaces.h"
#include "support/surface_grid.h"

namespace qorva {
namespace {

class GridSplit : public test::SurfaceGrid {
 protected:
  void make(int method, int nx, int ny, const test::LineLevel& bed = [](int, int) { return -2.0; },
            int cells = 2) {
    FlagNoGridSplit = method;
    build(nx, ny, cells, bed, [](int, int) { return 0.0; });
    ASSERT_NEAR(MinVertDist0, 0.005, 1e-12);
    ASSERT_NEAR(MinVertDist1, 0.1, 1e-12);
  }
  static double& minimum(int i, int j) { return Bminwaterlevel[pointbed[i][j]]; }
  static void columnVelocity(int i, int j, double u) {
    for (int c = bottom(i, j); c > 0; c = Ccellt[c]) Cxvel[c] = u;
  }
};

TEST_F(GridSplit, LowestFastColumnsOfACrossSection) {
  // Cross-section i = 2 of five columns; the beds of grid points (2, j) are those the method
  // reads. The second cross-section has no flow.
  const double beds[] = {0, 0, -1.0, -1.5, -1.2, -1.8, -1.1};
  make(1, 2, 5, [&beds](int i, int j) { return i == 2 ? beds[j] : -2.0; });
  const double dh = 1.5 * 0.005;

  // Speeds 0.05, 0.2, 0.05, 0.05 along j = 2..5: the fast column and the one after it
  // qualify, fewer than three.
  const double slow[] = {0, 0, 0.05, 0.2, 0.05, 0.05, 0.05};
  for (int j = 2; j <= 6; ++j) columnVelocity(2, j, slow[j]);
  NoGridSplit();
  for (int j = 2; j <= 6; ++j) {
    EXPECT_NEAR(minimum(2, j), -10 + dh, 1e-12);
    EXPECT_NEAR(Bminlevdh[pointbed[2][j]], -10 + dh, 1e-12);
  }

  // All fast: the columns j = 2..5 qualify (the last one is not walked); the third-lowest bed
  // is -1.2, the second-lowest -1.5 under water at 0.
  for (int j = 2; j <= 6; ++j) columnVelocity(2, j, 0.2);
  NoGridSplit();
  for (int j = 2; j <= 6; ++j) {
    EXPECT_NEAR(minimum(2, j), -1.2 + dh, 1e-12);
    EXPECT_NEAR(Bminlevdh[pointbed[2][j]], -1.5 + dh, 1e-12);
  }
}

TEST_F(GridSplit, BandAroundTheFastestColumn) {
  make(18, 2, 11);  // dh = MinVertDist1
  for (int i = 2; i <= 3; ++i)
    for (int j = 2; j <= 12; ++j) columnVelocity(i, j, 0.1);
  columnVelocity(2, 7, 0.5);
  columnVelocity(3, 9, 0.5);
  NoGridSplit();
  // Base level: the bottom face of the fastest column's bottom cell, -2 m.
  EXPECT_NEAR(minimum(2, 7), -2 + 0.1, 1e-12);
  EXPECT_NEAR(minimum(2, 3), -2 + 0.2 * 0.1, 1e-12);
  EXPECT_EQ(minimum(2, 2), -1000.0);
  EXPECT_NEAR(minimum(3, 9), -2 + 0.1, 1e-12);
  // The next cross-section's band overwrites what the first one gave it...
  EXPECT_NEAR(minimum(3, 7), -2 + 0.6 * 0.1, 1e-12);
  EXPECT_NEAR(minimum(3, 3), -2 + 0.2 * 0.1, 1e-12);
  // ...and raises the first cross-section only where its own value is higher.
  EXPECT_NEAR(minimum(2, 11), -2 + 0.6 * 0.1, 1e-12);
}

TEST_F(GridSplit, FroudeDepthOfFastColumns) {
  make(11, 3, 3);
  FroudeSplit = 1.0;
  const int b = pointbed[3][3];
  // Froude number 2 at 0.5 m: the depth that carries the unit discharge at Froude number 1 is
  // 0.5 x 2^(2/3).
  BFroude[b] = 2.0;
  Bdepth[b] = 0.5;
  NoGridSplit();
  const double h = 0.5 * std::pow(2.0, 2.0 / 3.0);
  EXPECT_NEAR(minimum(3, 3), -2 + h, 1e-9);
  EXPECT_NEAR(minimum(2, 3), -2 + 0.6 * h, 1e-9);
  EXPECT_NEAR(minimum(3, 4), -2 + 0.6 * h, 1e-9);
  EXPECT_EQ(minimum(2, 2), -1000.0);
  BFroude[b] = 0.9;
  NoGridSplit();
  EXPECT_EQ(minimum(3, 3), -1000.0);
}

TEST_F(GridSplit, VelocityHeadOverSingleCellColumns) {
  make(25, 2, 2, [](int, int) { return -2.0; }, 1);
  const double dh = 3.0 * 0.005;
  // 0.2 m/s through the west face of column (2, 2): a head of 0.0041 m over its bed.
  const int c = bottom(2, 2);
  ASSERT_EQ(Ccellt[c], 0);
  Fflux[Cflatew[c]] = 1000 * 0.2 * Farea[Cflatew[c]];
  NoGridSplit();
  const double head = 0.04 / 9.81;
  EXPECT_NEAR(minimum(2, 2), -2 + head, 1e-9);
  EXPECT_NEAR(minimum(3, 2), -2 + head, 1e-9);
  // 1 m/s: the head is cut at dh.
  Fflux[Cflatew[c]] = 1000 * Farea[Cflatew[c]];
  NoGridSplit();
  EXPECT_NEAR(minimum(2, 2), -2 + dh, 1e-9);
}

TEST_F(GridSplit, RiseToTheMinimumLevels) {
  make(1, 3, 3);
  for (int b = 1; b <= NoBCells; ++b) Bminwaterlevel[b] = -1000.0;
  minimum(3, 3) = 0.5;
  minimum(2, 2) = -50.0;  // below the water: nothing to raise
  minimum(4, 4) = 3.0;
  zval[4][4][0] = 0;  // a dry column asks for nothing
  NoGridSplitRise();
  for (auto [i, j] : {std::pair{2, 2}, {3, 2}, {3, 3}, {2, 3}}) {
    EXPECT_EQ(level(i, j), 0.5);
    EXPECT_EQ(zval[i][j][znumber + 1], 0.5);
  }
  EXPECT_EQ(level(1, 1), 0.0);
  EXPECT_EQ(level(4, 4), 0.0);
  // Never lowers a level.
  zval[3][3][znumber] = 0.9;
  NoGridSplitRise();
  EXPECT_EQ(level(3, 3), 0.9);
  // Off with F 371 0.
  FlagNoGridSplit = 0;
  zval[2][2][znumber] = 0.0;
  NoGridSplitRise();
  EXPECT_EQ(level(2, 2), 0.0);
}

TEST_F(GridSplit, FlowPathAlongTheFlume) {
  make(48, 4, 3);  // dh 0.05
  DepthBreakPath = 5;  // every column is shallower: the path follows the flow
  // The flow runs along x, fastest in the middle row j = 3: the path starts there on the
  // first cross-section and follows the flow to the last.
  for (int i = 2; i <= 5; ++i)
    for (int j = 2; j <= 4; ++j) columnVelocity(i, j, j == 3 ? 1.0 : 0.5);
  NoGridSplit();
  for (int i = 2; i <= 5; ++i) {
    EXPECT_NEAR(minimum(i, 3), -2 + 0.05, 1e-12) << i;
    EXPECT_EQ(rute[i - 2], pointbed[i][3]);
    EXPECT_EQ(minimum(i, 2), -1000.0);
  }
  EXPECT_EQ(rute[4], 0);

  // F 423 1 raises the four neighbours of every path column to 0.8 dh; the raised columns
  // ahead stay open to the path, which still reaches the last cross-section.
  FlagRiseNeighbours = 1;
  NoGridSplit();
  for (int i = 2; i <= 5; ++i) {
    EXPECT_NEAR(minimum(i, 3), -2 + 0.05, 1e-12) << i;
    EXPECT_NEAR(minimum(i, 2), -2 + 0.8 * 0.05, 1e-12) << i;
    EXPECT_EQ(rute[i - 2], pointbed[i][3]);
  }

  // Past the F 420 depth the path takes the deepest neighbour, the first of equal ones: from
  // (3, 3) that is (3, 2), then on along the south row.
  FlagRiseNeighbours = 0;
  DepthBreakPath = 1;
  NoGridSplit();
  EXPECT_EQ(rute[0], pointbed[2][3]);
  EXPECT_EQ(rute[1], pointbed[3][3]);
  EXPECT_EQ(rute[2], pointbed[3][2]);
}

TEST_F(GridSplit, FlowPathWithoutFlowHasNoStart) {
  make(48, 3, 2);
  NoGridSplit();
  EXPECT_EQ(rute[0], 0);
  EXPECT_NEAR(DepthBreakPath, 10 * 0.005, 1e-12);  // from F 94 at first use
  for (int b = 1; b <= NoBCells; ++b) EXPECT_EQ(Bminwaterlevel[b], -1000.0);
}

// Froude-limited levels of F 371 7 to 9 and the Froude number of a cross-section.
class FroudeLevels : public GridSplit {};

TEST_F(FroudeLevels, FroudeNumberOfACrossSection) {
  // One column across whose bed rises from -1 m (south edge) to +1 m (north edge): at level 0
  // the south half is wet, 0.5 m wide and 0.25 m2 in area.
  make(7, 1, 1, [](int, int j) { return j == 1 ? -1.0 : 1.0; }, 1);
  const double A = 0.25, B = 0.5;
  EXPECT_NEAR(computeFroude(2, 1.0, 0.0), 1.0 / A / std::sqrt(9.81 * A / B), 1e-9);
  // Fully wet at level 2: 2 m2 over 1 m.
  EXPECT_NEAR(computeFroude(2, 1.0, 2.0), 1.0 / 2.0 / std::sqrt(9.81 * 2.0), 1e-9);
}

TEST_F(FroudeLevels, LevelOfEachWetRun) {
  // Cross-sections of three columns 2 m deep; the flow through each column's faces sets its
  // Froude number. Both cross-sections carry the same flow.
  make(7, 2, 3);
  FroudeSplit = 1.0;
  const double critical = std::sqrt(9.81 * 2.0);
  auto speed = [](int j, double u) {
    for (int i = 2; i <= 3; ++i)
      for (int c = bottom(i, j); c > 0; c = Ccellt[c]) {
        Fflux[Cflatee[c]] = 1000 * u * Farea[Cflatee[c]];
        Fflux[Cflatew[c]] = 1000 * u * Farea[Cflatew[c]];
      }
  };
  // At the Froude number of F 371 the run keeps its mean water level (0); without flow it
  // gets its mean level less its depth.
  for (int j = 2; j <= 4; ++j) speed(j, critical);
  NoGridSplit();
  for (int j = 2; j <= 4; ++j) EXPECT_NEAR(minimum(2, j), 0.0, 1e-5);
  for (int j = 2; j <= 4; ++j) speed(j, 0);
  NoGridSplit();
  for (int j = 2; j <= 4; ++j) EXPECT_NEAR(minimum(2, j), -2.0, 1e-9);

  // The dry middle column splits the cross-section into two runs: a run at half the critical
  // speed gets a level (1 - 2^(-2/3)) x 2 m below its water.
  for (int i = 2; i <= 3; ++i) {
    zval[i][3][0] = 0;
    Bcellt[pointbed[i][3]] = 0;
  }
  speed(2, 0.5 * critical);
  speed(4, critical);
  NoGridSplit();
  EXPECT_NEAR(minimum(2, 2), -(1 - std::pow(2.0, -2.0 / 3.0)) * 2.0, 1e-5);
  EXPECT_NEAR(minimum(2, 4), 0.0, 1e-5);
}

TEST_F(FroudeLevels, LevelOfTheCrossSectionByIteration) {
  // A rectangular cross-section 3 m wide carrying 3 m3/s: Froude number 1 at the critical
  // depth (1 / 9.81)^(1/3) = 0.467 m above the flat bed. The iteration stops within 0.01 of
  // the Froude number, 0.7 % of the depth.
  make(9, 2, 3);
  FroudeSplit = 1.0;
  DischargeArray[1] = 3000.0;
  NoGridSplit();
  const double hc = std::pow(1.0 / 9.81, 1.0 / 3.0);
  for (int i = 2; i <= 3; ++i)
    for (int j = 2; j <= 4; ++j) EXPECT_NEAR(minimum(i, j), -2 + hc, 0.007 * hc) << i << j;
  EXPECT_EQ(log(), "");  // converged: no warning

  // A cross-section without water has no bed to measure from: its columns keep their levels.
  for (int j = 2; j <= 4; ++j) {
    zval[3][j][0] = 0;
    minimum(3, j) = 7.0;
  }
  NoGridSplit();
  for (int j = 2; j <= 4; ++j) EXPECT_EQ(minimum(3, j), 7.0);
  EXPECT_NEAR(minimum(2, 3), -2 + hc, 0.007 * hc);
}

}  // namespace
}  // namespace qorva
