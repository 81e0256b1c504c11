// Column depth, Froude number, bed twist, Froude-limited levels, mean pressure, volume, mean
// depth and deposits, on small blocks of unit columns, against values worked out by hand.
#include <cmath>

#include "support/surface_grid.h"
#include "surface/surface.h"

namespace qorva {
namespace {

// 3 x 3 columns, 2 m deep, two cells of 1 m (half heights 0.5 m).
class ColumnQuantities : public test::SurfaceGrid {
 protected:
  void SetUp() override {
    test::SurfaceGrid::SetUp();
    solverFroude = 1;            // BLevFroude exists
    FlagNonHydrostaticSurf = 6;  // Bpresavg exists
    box(3, 3, 2, 2.0);
    b_ = pointbed[3][3];
  }
  int b_ = 0;

  void velocities(double lower, double upper) {
    Cxvel[bottom(3, 3)] = lower;
    Cxvel[top(3, 3)] = upper;
  }
};

TEST_F(ColumnQuantities, DepthAndFroudeNumberOfTheDepthMeanVelocity) {
  struct Case {
    const char* name;
    double lower, upper, mean;
  };
  // The depth mean is a vector mean: layers against each other lower the Froude number.
  const Case cases[] = {{"same way", 1.0, 3.0, 2.0}, {"opposite ways", -1.0, 3.0, 1.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    velocities(c.lower, c.upper);
    computeBFroude(b_, b_);
    EXPECT_NEAR(Bdepth[b_], 2.0, 1e-12);
    EXPECT_NEAR(BFroude[b_], c.mean / std::sqrt(9.81 * 2.0), 1e-9);
  }
  // A column without cells.
  Bcellt[b_] = 0;
  computeBFroude(b_, b_);
  EXPECT_EQ(Bdepth[b_], 2e-20);
  EXPECT_EQ(BFroude[b_], 0.0);
  EXPECT_EQ(Bpresavg[b_], 0.0);
}

TEST_F(ColumnQuantities, BedTwistAndMeanPressure) {
  // Corner (3, 3) of column (3, 3) raised 0.4 m: the two diagonals differ by 0.4 m over a
  // column 1 m wide.
  zval[3][3][1] += 0.4;
  Cpres[bottom(3, 3)] = 100;
  Cpres[top(3, 3)] = 300;
  computeBFroude(b_, b_);
  EXPECT_NEAR(Bfly[b_], 0.2, 1e-12);
  EXPECT_NEAR(Bpresavg[b_], 200.0, 1e-12);
}

TEST_F(ColumnQuantities, FroudeLimitedLevels) {
  solverFroudeLimit = 0.5;
  velocities(2.0, 2.0);  // S = 4 m2/s2, Froude number 2 / sqrt(19.62) = 0.45
  const double froudeDepth = 4.0 / (0.25 * 9.81);

  // F 36 9: the level above the column's bottom face (-2 m), relaxed after the first
  // iterations.
  FlagTFS = 9;
  Iter = 1;
  computeBFroude(b_, b_);
  EXPECT_NEAR(BLevFroude[b_], froudeDepth - 2.0, 1e-12);
  Iter = 5;
  velocities(1.0, 1.0);
  computeBFroude(b_, b_);
  EXPECT_NEAR(BLevFroude[b_], 0.1 * (1.0 / (0.25 * 9.81) - 2.0) + 0.9 * (froudeDepth - 2.0),
              1e-12);

  // F 36 7: the change from the deepest corner (2 m), not relaxed from the "no floor" -10.
  FlagTFS = 7;
  velocities(2.0, 2.0);
  BLevFroude[b_] = -10;
  computeBFroude(b_, b_);
  EXPECT_NEAR(BLevFroude[b_], froudeDepth - 2.0, 1e-12);
  computeBFroude(b_, b_);
  EXPECT_NEAR(BLevFroude[b_], froudeDepth - 2.0, 1e-12);  // relaxed towards itself
  velocities(0.1, 0.1);  // Froude number below 0.1
  computeBFroude(b_, b_);
  EXPECT_EQ(BLevFroude[b_], -10.0);
}

TEST_F(ColumnQuantities, VolumeOfTheWorkedColumns) {
  EXPECT_NEAR(computeVolRes(), 9 * 2.0, 1e-12);
  // A corner whose level lies below the bed adds nothing: column (2, 2) holds 0.25 x 6 m3.
  zval[1][1][znumber] = -3.0;
  EXPECT_NEAR(computeVolRes(), 8 * 2.0 + 1.5, 1e-12);
  SurfUpdate[1] = 0;
  EXPECT_EQ(computeVolRes(), 0.0);
  SurfUpdate[1] = 1;
  block[1].skip = 1;
  EXPECT_EQ(computeVolRes(), 0.0);
}

TEST_F(ColumnQuantities, MeanDepthOfTheWetLines) {
  EXPECT_NEAR(computeAvDepth(), 2.0, 1e-12);
  zval[1][1][znumber] = -3.0;  // dry: not counted
  zval[2][2][znumber] = 1.0;   // 3 m deep
  EXPECT_NEAR(computeAvDepth(), (14 * 2.0 + 3.0) / 15, 1e-12);
}

// A row of twelve columns (node lines 1..13 along x): six-node-line reaches at both ends.
class Deposits : public test::SurfaceGrid {};

TEST_F(Deposits, MeanBedRiseAtBothEnds) {
  build(12, 1, 2, [](int, int) { return -2.0; }, [](int, int) { return 0.0; });
  // The bed has risen 0.01 i m above the reference plane at node line i.
  for (int i = 1; i <= 13; ++i)
    for (int j = 1; j <= 2; ++j) zval[i][j][1] = Surfaces[0][i][j] + 0.01 * i;
  NoDownstreamDeposit = 0;
  computeDepthDeposit();
  // i2 = 13: two downstream lines 11, 12; upstream lines 2 .. max(13 / 5, 2 + 2) - 1 = 3.
  EXPECT_EQ(NoDownstreamDeposit, 2);
  EXPECT_NEAR(depthDepositOut, 0.115, 1e-12);
  EXPECT_NEAR(depthDepositIn, 0.025, 1e-12);
  // Erosion gives no negative deposit.
  for (int i = 1; i <= 13; ++i) zval[i][1][1] = Surfaces[0][i][1] - 0.3;
  computeDepthDeposit();
  EXPECT_EQ(depthDepositOut, 0.0);
  EXPECT_EQ(depthDepositIn, 0.0);
}

TEST_F(Deposits, ShortBlockHasNoDownstreamReach) {
  build(4, 1, 2, [](int, int) { return -2.0; }, [](int, int) { return 0.0; });
  for (int i = 1; i <= 5; ++i) zval[i][1][1] = Surfaces[0][i][1] + 0.2;
  NoDownstreamDeposit = 0;
  computeDepthDeposit();
  EXPECT_EQ(NoDownstreamDeposit, 0);  // 5 / 6
  EXPECT_EQ(depthDepositOut, 0.0);
  EXPECT_NEAR(depthDepositIn, 0.2, 1e-12);
}

}  // namespace
}  // namespace qorva
