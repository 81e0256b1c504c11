// The pressure-based node update and its limiters on a block of 3 x 3 unit columns, 2 m deep
// (grid nodes i, j = 1..4 at x = i - 1, y = j - 1, water at 0): one update at a time, with
// the moves worked out by hand from the pressure heads (1 m of water = 9810 Pa).
#include <cmath>

#include "state/bedcells.h"
#include "support/surface_grid.h"
#include "surface/surface.h"
#include "surface/update.h"

namespace qorva {
namespace {

constexpr double kHead = 0.000101937;  // m per Pa

class NodeUpdate : public test::SurfaceGrid {
 protected:
  void SetUp() override {
    test::SurfaceGrid::SetUp();
    PresRegres = 1;  // the regression sums exist
    box(3, 3, 2, 2.0);
    PresRegres = 0;
    GlobZRef = 0;
    GlobPresRef = 0;
    RelaxSurface = 0.5;
    scaleBackwater2 = 1.0;
    iPres = jPres = 3;
    ref_.cR = bottom(3, 3);
  }
  SurfaceReference ref_;

  static void pressureEverywhere(double p) {
    for (int c = 1; c <= NoCells; ++c) Cpres[c] = p;
  }
  static void velocityEverywhere(double u) {
    for (int c = 1; c <= NoCells; ++c) Cxvel[c] = u;
  }
  void driverUpdate() { pressureNodeUpdate(ref_); }
};

TEST_F(NodeUpdate, RelaxedMoveTowardsThePressureHead) {
  pressureEverywhere(981);  // 0.1 m of head
  driverUpdate();
  const double dz = 0.5 * 981 * kHead;
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 4; ++j) {
      EXPECT_NEAR(level(i, j), dz, 1e-12) << i << " " << j;
      EXPECT_NEAR(zval[i][j][znumber + 1], dz, 1e-12);
    }
  // The next update takes the height already gained into account.
  driverUpdate();
  EXPECT_NEAR(level(2, 2), dz + 0.5 * (981 * kHead - dz), 1e-12);
}

TEST_F(NodeUpdate, NodeWithoutColumnsStays) {
  // Node (1, 1) touches column (2, 2) only; without it no column is left.
  zval[2][2][0] = 0;
  pressureEverywhere(981);
  driverUpdate();
  EXPECT_EQ(level(1, 1), 0.0);
  EXPECT_NEAR(level(2, 2), 0.5 * 981 * kHead, 1e-12);  // three columns left, same head
}

TEST_F(NodeUpdate, BackwaterScales) {
  struct Case {
    int flag;
    double scale, dz;
  };
  // F 477 3 scales the head twice (in the head and in the relaxation), the level term once.
  const double h = 981 * kHead;
  const Case cases[] = {{0, 0.5, 0.5 * 0.5 * h}, {3, 0.5, 0.5 * 0.5 * 0.5 * h}, {0, 0.0, 0.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "F 477 " << c.flag << ", scale " << c.scale);
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 4; ++j) zval[i][j][znumber] = 0;
    pressureEverywhere(981);
    FlagScaleFreeSource = c.flag;
    scaleBackwater2 = c.scale;
    driverUpdate();
    EXPECT_NEAR(level(3, 3), c.dz, 1e-12);
  }
}

TEST_F(NodeUpdate, FroudeLimiterKeepsTheCriticalDepth) {
  // At 5 m/s the depth of Froude number 1 is 25 / 9.81 = 2.548 m, 0.548 m above the water.
  FroudeMaxSurface = 1.0;
  velocityEverywhere(5.0);
  driverUpdate();
  EXPECT_NEAR(level(2, 3), 25 / 9.81 - 2.0, 1e-12);
  // 4 m/s needs 1.63 m: the relaxed move (none) stands.
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 4; ++j) zval[i][j][znumber] = 0;
  velocityEverywhere(4.0);
  driverUpdate();
  EXPECT_EQ(level(2, 3), 0.0);
  // Even with the backwater scale at 0 the limiter still raises a node.
  velocityEverywhere(5.0);
  scaleBackwater2 = 0;
  driverUpdate();
  EXPECT_NEAR(level(2, 3), 25 / 9.81 - 2.0, 1e-12);
  // 0.5 and below: no limiter.
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 4; ++j) zval[i][j][znumber] = 0;
  FroudeMaxSurface = 0.5;
  driverUpdate();
  EXPECT_EQ(level(2, 3), 0.0);
}

TEST_F(NodeUpdate, SpeedOverDepthDamping) {
  struct Case {
    double u, factor;
  };
  // 1 m/s over 2 m halves the move; a speed at or above the depth leaves a hundredth.
  const Case cases[] = {{1.0, 0.5}, {2.0, 0.01}, {3.0, 0.01}};
  FlagScaleSurfFroude = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.u);
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 4; ++j) zval[i][j][znumber] = 0;
    pressureEverywhere(981);
    velocityEverywhere(c.u);
    driverUpdate();
    EXPECT_NEAR(level(3, 3), c.factor * 0.5 * 981 * kHead, 1e-12);
  }
}

TEST_F(NodeUpdate, SlopeLimiter) {
  MaxSurfSlope = 0.01;
  // A head of 0.25 m at the four nodes of column (3, 3) would move them 0.125 m; each has a
  // neighbour at 0 one metre away, so none rises above 0.01 m.
  columnPressure(3, 3, 4 * 0.25 * 9810);
  driverUpdate();
  for (auto [i, j] : {std::pair{2, 2}, {2, 3}, {3, 2}, {3, 3}})
    EXPECT_NEAR(level(i, j), 0.01, 1e-12);
  EXPECT_EQ(level(1, 1), 0.0);
  EXPECT_EQ(level(4, 4), 0.0);

  // Bounds that exclude each other: node (2, 3) sits between (1, 3) at 0 and (3, 3) at 1 m.
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 4; ++j) zval[i][j][znumber] = 0;
  pressureEverywhere(981);  // every node would rise 0.05 m, the limiter allowing 0.01
  zval[3][3][znumber] = 1.0;
  driverUpdate();
  EXPECT_NEAR(level(1, 3), 0.01, 1e-12);
  EXPECT_EQ(level(2, 3), 0.0);
}

TEST_F(NodeUpdate, FullStepIsSweptFromDownstream) {
  // Without the slope limiter the full step puts every node on its head.
  FlagDeltaSurface = 1;
  pressureEverywhere(981);
  driverUpdate();
  EXPECT_NEAR(level(2, 2), 981 * kHead, 1e-12);

  // With it, the node met last gains the most: the upstream corner here, the downstream
  // corner in the forward sweep of the relaxed update.
  MaxSurfSlope = 0.01;
  for (int delta : {1, 0}) {
    SCOPED_TRACE(delta);
    FlagDeltaSurface = delta;
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 4; ++j) zval[i][j][znumber] = 0;
    pressureEverywhere(0.5 * 9810);
    driverUpdate();
    EXPECT_NEAR(level(1, 4), delta ? 0.02 : 0.01, 1e-12);
    EXPECT_NEAR(level(4, 4), delta ? 0.01 : 0.02, 1e-12);
  }
}

TEST_F(NodeUpdate, TwoReferencesWeightedByDistance) {
  // References at the bottom cells of columns (2, 2) (centre 0.5, 0.5) and (4, 4) (centre
  // 2.5, 2.5): level 0 and 0.2 m, pressure 0 at both. Node (1, 1) lies 0.71 m and 3.54 m from
  // them (weight 1/6), node (3, 3) 2.12 m and 0.71 m (weight 3/4).
  ref_.cR = bottom(2, 2);
  ref_.cR2 = bottom(4, 4);
  GlobZRef2 = 0.2;
  GlobPresRef2 = 0;
  FroudeMaxSurface = 1.0;
  velocityEverywhere(1.0);  // no limiter at this speed
  driverUpdate();
  EXPECT_NEAR(level(1, 1), 0.5 * 0.2 / 6, 1e-12);
  EXPECT_NEAR(level(3, 3), 0.5 * 0.2 * 0.75, 1e-12);

  // The driver's two-reference form has no Froude limiter; the plain form keeps it.
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 4; ++j) zval[i][j][znumber] = 0;
  velocityEverywhere(5.0);
  driverUpdate();
  EXPECT_NEAR(level(3, 3), 0.5 * 0.2 * 0.75, 1e-12);
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 4; ++j) zval[i][j][znumber] = 0;
  iPres = jPres = 2;
  jSurf = bottom(4, 4);
  iPres2 = jPres2 = 4;
  computeSurfClassic();
  EXPECT_NEAR(level(3, 3), 25 / 9.81 - 2.0, 1e-12);
}

class RegressionUpdate : public NodeUpdate {
 protected:
  // Every column holds the samples x = 1..n of the surface pressure p(x) = a + b x.
  static void samples(int n, double a, double b) {
    for (int i = 2; i <= 4; ++i)
      for (int j = 2; j <= 4; ++j) {
        long long sx = 0, sxx = 0;
        double sp = 0, sxp = 0;
        for (int x = 1; x <= n; ++x) {
          sx += x;
          sxx += static_cast<long long>(x) * x;
          sp += a + b * x;
          sxp += x * (a + b * x);
        }
        PresRegresN[i][j] = n;
        PresRegresSumX[i][j] = static_cast<int>(sx);
        PresRegresSumXX[i][j] = static_cast<int>(sxx);
        PresRegresSumPres[i][j] = sp;
        PresRegresSumXPres[i][j] = sxp;
      }
  }
};

TEST_F(RegressionUpdate, LineValueAtThePresentSample) {
  struct Case {
    const char* name;
    int flag, n, iter;
    double a, b, estimate;
  };
  const Case cases[] = {
      {"line", 1, 3, 5, 100.0, 10.0, 150.0},
      {"mean", 2, 3, 5, 100.0, 10.0, 120.0},
      // 1800 samples: the square of their x sum (2.6e12) is far past the int range.
      {"many samples", 1, 1800, 1800, 100.0, 0.01, 118.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 4; ++j) zval[i][j][znumber] = 0;
    PresRegres = c.flag;
    RegIter = c.iter;
    samples(c.n, c.a, c.b);
    pressureEverywhere(0);  // the top-cell pressures take no part
    driverUpdate();
    EXPECT_NEAR(PresRegresSumPres[3][3], c.estimate, 1e-6 * c.estimate);
    EXPECT_NEAR(GlobPresRef, c.estimate, 1e-6 * c.estimate);
    // Same estimate everywhere: no move; the block's first node lines are never moved.
    EXPECT_NEAR(level(3, 3), 0.0, 1e-9);
  }
  // A column with one sample keeps its raw sum; samples all at one x give their mean.
  PresRegres = 1;
  samples(3, 100.0, 10.0);
  PresRegresN[2][2] = 1;
  PresRegresSumPres[2][2] = 777.0;
  PresRegresN[4][4] = 2;
  PresRegresSumX[4][4] = 2;
  PresRegresSumXX[4][4] = 2;
  PresRegresSumPres[4][4] = 300.0;
  PresRegresSumXPres[4][4] = 300.0;
  driverUpdate();
  EXPECT_EQ(PresRegresSumPres[2][2], 777.0);
  EXPECT_NEAR(PresRegresSumPres[4][4], 150.0, 1e-12);
}

TEST_F(RegressionUpdate, NodesMoveByTheRegressedPressure) {
  PresRegres = 2;
  samples(2, 0.0, 0.0);
  PresRegresSumPres[3][3] = 2 * 9810 * 0.4;  // mean 0.4 m of head in column (3, 3)
  iPres = jPres = 2;
  driverUpdate();
  // Node (3, 3) averages columns (3, 3), (3, 4), (4, 4), (4, 3): 0.1 m of head.
  EXPECT_NEAR(level(3, 3), 0.5 * 0.1 * 9810 * kHead, 1e-9);
  EXPECT_EQ(level(1, 1), 0.0);
  EXPECT_EQ(level(1, 3), 0.0);
}

}  // namespace
}  // namespace qorva
