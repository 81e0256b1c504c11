// The water-level equations on a block of 3 x 3 unit columns, 2 m deep in two cells of 1 m:
// the neighbour weights, the five- and nine-point rows and their pins against hand values, the
// level change each road of the update gives for a pressure field whose wanted levels are
// known, still water, and the options that select no weight.
#include <cmath>
#include <string>

#include "state/log.h"
#include "support/surface_grid.h"
#include "surface/level_equations.h"
#include "surface/surface.h"

namespace qorva {
namespace {

constexpr double kRow = 1e-20;

// Froude number of a 2 m deep column moving at 1 m/s.
const double kFr = 1 / std::sqrt(9.81 * 2);

class LevelEquations : public test::SurfaceGrid {
 protected:
  void SetUp() override {
    test::SurfaceGrid::SetUp();
    FlagTFS = 8;  // the nine-point storage exists
    box(3, 3, 2, 2.0);
    stimet = 1.0;
    RelaxSurface = 1.0;
  }
  static void flow(double u, double v) {
    for (int c = 1; c <= NoCells; ++c) {
      Cxvel[c] = u;
      Cyvel[c] = v;
    }
  }
  static int update() { return status([] { surface(); }); }
};

TEST_F(LevelEquations, NeighbourWeights) {
  struct Case {
    int tfs, tfs3;
    double c, Fr, weight;
  };
  const Case cases[] = {
      // Subcritical flow weights the downstream neighbours, supercritical the upstream ones.
      {4, 0, 1.0, 0.5, 0.03 + 1 / 0.5},
      {4, 0, 0.05, 0.5, 0.03 + 10 * 0.05 * 0.05 / 0.5},
      {4, 0, -1.0, 0.5, 0},
      {4, 0, 1.0, 1.0, 0},  // critical flow weights nothing
      {4, 0, -1.0, 2.0, 2.0},
      {4, 0, -0.1, 2.0, 2.0 * 5 * 0.01},
      // F 36 7 fades out towards critical flow.
      {7, 0, 1.0, 0.5, 1.0 * (4 - 2) + 0.03},
      {7, 0, 1.0, 0.8, 1.03},
      {7, 0, -1.0, 1.5, 0.5},
      {7, 0, -1.0, 3.0, 1.0},
      {4, 1, 0.5, 0.5, 0.25},
      {4, 2, -1.0, 0.5, 0.1},
      {4, 2, 1.0, 0.5, 0.6},
      {4, 6, -0.2, 0.5, 0},
      {4, 7, 0.0, 2.5, 0},
      {4, 7, 0.0, 1.5, 0.5},
      {4, 7, -0.6, 3.0, 0.36 * 2},
      {4, 13, 0.5, 1.0, 0.5},
      {4, 14, 0.5, 0.9, 1.0},
      {4, 19, 0.5, 0.5, 1.0},
      {4, 19, 0.5, 1.5, 0},
      {4, 20, 0.1, 0.5, 1.1 / 0.6},
      {4, 20, 0.0, 0.5, 1.0},
      {4, 21, 0.3, 0.5, 0.3},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(strf("F 36 %d, F 278 %d, c %g, Fr %g", k.tfs, k.tfs3, k.c, k.Fr));
    FlagTFS = k.tfs;
    FlagTFS3 = k.tfs3;
    EXPECT_NEAR(computeCoeffSurf(k.c, k.Fr), k.weight, 1e-9);
  }
  // The add-ons of F 406 and of F 154 5.
  FlagTFS = 4;
  FlagTFS3 = 21;
  AddValTFS7 = 0.5;
  SurfSmoothFlag = 5;
  SurfSmoothVal = 0.2;
  EXPECT_NEAR(computeCoeffSurf(0.3, 0.5), 0.3 + 0.5 + 0.2, 1e-12);
}

TEST_F(LevelEquations, WeightsThatNoOptionSelectsAreRefused) {
  FlagTFS3 = 22;
  EXPECT_EQ(status([] { computeCoeffTFS4(); }), 1);
  EXPECT_EQ(log(), "Error: F 278 22 selects no neighbour weight of the water-level equation; "
                   "use 0 to 21\n");
  FlagTFS3 = 0;
  FlagWeightComp = 3;
  EXPECT_EQ(status([] { checkLevelWeightOptions(); }), 1);
}

TEST_F(LevelEquations, WantedLevelDifference) {
  // 0.05 m of head between two top cells 1 m apart, on a flat surface: the difference wanted.
  const int t = top(3, 3), e = top(4, 3);
  Cpres[t] = 0.05 * 9810;
  EXPECT_NEAR(computeDhSurf(e, t, 1.0), 0.05, 1e-12);
  // A slope steeper than F 246 fourth value is cut to it.
  Diffslope = 0.01;
  EXPECT_NEAR(computeDhSurf(e, t, 1.0), 0.01, 1e-12);
}

TEST_F(LevelEquations, FivePointRowsAndPins) {
  FlagTFS = 4;
  flow(1, 0);
  iPres = jPres = 2;
  GlobZRef = 0.05;
  columnPressure(4, 3, -0.01 * 9810);  // the east column wants to lie 1 cm lower
  computeCoeffTFS4();
  const int c = bottom(3, 3);
  // Only the downstream (east) neighbour weighs; across the flow the cosine is 0.
  const double ae = 0.03 + 1 / kFr;
  EXPECT_NEAR(Cae[c], ae, 1e-9);
  EXPECT_EQ(Caw[c], 0.0);
  EXPECT_EQ(Can[c], 0.0);
  EXPECT_EQ(Cas[c], 0.0);
  EXPECT_NEAR(Cap[c], ae, 1e-9);
  EXPECT_NEAR(Csource[c], 0.01 * ae, 1e-9);
  // The reference column is pinned to the change that brings its top to GlobZRef.
  const int r = bottom(2, 2);
  EXPECT_EQ(Cap[r], 1e20);
  EXPECT_NEAR(Csource[r] / 1e20, 0.05, 1e-12);
}

TEST_F(LevelEquations, NinePointRows) {
  flow(1, 0);
  computeBFroude(1, NoBCells);
  iPres = jPres = 2;
  computeCoeffTFS8();
  const int c = bottom(3, 3);
  // The weights grow with the distance: the diagonals downstream carry sqrt(2) times the
  // weight of their cosine 1/sqrt(2).
  const double s = std::sqrt(2.0);
  EXPECT_NEAR(Cae[c], 0.03 + 1 / kFr, 1e-9);
  EXPECT_NEAR(Caee[c], (0.03 + (1 / s) / kFr) * s, 1e-6);
  EXPECT_NEAR(Cass[c], (0.03 + (1 / s) / kFr) * s, 1e-6);
  EXPECT_EQ(Can[c], 0.0);
  EXPECT_EQ(Cas[c], 0.0);
  EXPECT_EQ(Caw[c], 0.0);
  EXPECT_EQ(Cann[c], 0.0);
  EXPECT_EQ(Caww[c], 0.0);
  EXPECT_NEAR(Cap[c], Cae[c] + Caee[c] + Cass[c], 1e-9);
  EXPECT_EQ(Csource[c], 0.0);  // flat pressure on a flat surface
  // F 36 7 of the separate builder: the four velocities of both columns give the direction.
  FlagTFS = 7;
  computeCoeffTFS7();
  EXPECT_NEAR(Cae[c], 1.0 * (4 - 4 * kFr) + 0.03, 1e-9);
}

// Every road of the update on a head that falls by 1 cm per column towards the east end,
// where column (4, 3) is the reference: each column wants to lie 1 cm above its downstream
// neighbours, so the columns change by 2, 1 and 0 cm and the nodes by the means of their
// columns: 2, 1.5, 0.5 and 0 cm from the west end.
TEST_F(LevelEquations, EveryRoadPutsTheWantedLevelsOnTheNodes) {
  struct Case {
    int tfs, road;
  };
  for (const Case k : {Case{4, 0}, Case{21, 0}, Case{7, 0}, Case{8, 0}, Case{4, 1}, Case{7, 1},
                       Case{8, 1}}) {
    SCOPED_TRACE(strf("F 36 %d, F 323 %d", k.tfs, k.road));
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 4; ++j) zval[i][j][znumber] = zval[i][j][znumber + 1] = 0;
    Unstructure();
    metric();
    BedMake();
    FlagTFS = k.tfs;
    FlagSurface2 = k.road;
    iPres = 4;
    jPres = 3;
    GlobZRef = -1e20;
    flow(1, 0);
    for (int i = 2; i <= 4; ++i)
      for (int j = 2; j <= 4; ++j) columnPressure(i, j, 9810 * 0.01 * (4 - i));
    ASSERT_EQ(update(), 1000) << log();
    const double want[5] = {0, 0.02, 0.015, 0.005, 0};
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 4; ++j) EXPECT_NEAR(level(i, j), want[i], 1e-6) << i << " " << j;
  }
}

// Still water has no direction: the cosines of the nine-point rows must not become 0 / 0.
TEST_F(LevelEquations, StillWaterKeepsItsLevel) {
  for (int limiter : {0, 1}) {
    for (int tfs3 : {0, 10}) {
      SCOPED_TRACE(strf("F 246 second value %d, F 278 %d", limiter, tfs3));
      FlagTFS = 7;
      FlagTFS3 = tfs3;
      FlagSurfLimit2 = limiter;
      iPres = jPres = 3;
      flow(0, 0);
      for (int c = 1; c <= NoCells; ++c) Cpres[c] = 0;
      ASSERT_EQ(update(), 1000) << log();
      for (int i = 1; i <= 4; ++i)
        for (int j = 1; j <= 4; ++j) EXPECT_EQ(level(i, j), 0.0);
    }
  }
}

}  // namespace
}  // namespace qorva
