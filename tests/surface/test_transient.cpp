// The transient free surface on small blocks of unit columns: the level change of a column
// from given face fluxes by each form, its limits, its spreading to the four corners, the
// boundary levels of timei and the outlet damping, and the whole step: the volume stored equals
// the inflow over the step, a still basin stays where it is, and a failed rebuild ends the run.
#include <array>
#include <cmath>
#include <initializer_list>
#include <string>

#include "state/bedcells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/points.h"
#include "state/surfaces.h"
#include "state/timeseries.h"
#include "support/surface_grid.h"
#include "surface/surface.h"
#include "surface/transient.h"

namespace qorva {
namespace {

class Transient : public test::SurfaceGrid {
 protected:
  void SetUp() override {
    test::SurfaceGrid::SetUp();
    TimeStep = 10;
  }
  // Sets the fluxes (kg/s) of cell c's faces: west, east, south, north, bottom.
  static void fluxes(int c, double w, double e, double s, double n, double b) {
    Fflux[Cflatew[c]] = w;
    Fflux[Cflatee[c]] = e;
    Fflux[Cflates[c]] = s;
    Fflux[Cflaten[c]] = n;
    Fflux[Cflateb[c]] = b;
  }
  static void columnVelocity(int i, int j, double u, double v) {
    for (int c = bottom(i, j); c > 0; c = Ccellt[c]) Cxvel[c] = u, Cyvel[c] = v;
  }
};

// Column (3, 3) of a 3 x 3 block, 2 m deep in two 1 m cells (to 1e-11 m, as the generator
// lays them), unit area, time step 10 s: its
// top cell takes 2 kg/s in from the west, gives 1 out to the east, takes 0.5 from the south
// and 0.3 from below; its bottom cell takes 1 kg/s from the west. Net inflow of the top cell
// 1.8 kg/s = 0.0018 m3/s, over 10 s 0.018 m of rise on 1 m2.
TEST_F(Transient, ColumnChangeFromFaceFluxesByForm) {
  box(3, 3, 2, 2.0);
  const int c0 = bottom(3, 3), t = top(3, 3);
  ASSERT_NE(c0, t);
  fluxes(t, 2, 1, 0.5, 0, 0.3);
  fluxes(c0, 1, 0, 0, 0, 0);
  Fflux[Cflatet[c0]] = 0.3;
  Czvel[t] = 0.002;
  Cpres[t] = 9810 * 0.7;  // 0.2 m of head above the top face (half height 0.5 m)
  struct Case {
    int form;
    double dh;
  } cases[] = {
      {16, 0.018},                 // continuity
      {11, 0.0018},                // continuity relaxed by F 175 0.1
      {12, 0.010},                 // horizontal inflow of the bottom cell over the top area
      {14, 0.020},                 // kinematic: w dt on a flat top
      {15, 0.019},                 // mean of 16 and 14
      {17, 0.019},                 // F 254 0.5 of 16 and 14
      {1, 0.020},                  // pressure head 0.2 m, relaxed 0.1
      {13, 0.002},                 // dt R w
      {18, 0.018},                 // (min(0.3, 3.5) + 1.5) kg/s over 10 s
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.form);
    FlagTFS = k.form;
    EXPECT_NEAR(surf::columnLevelChange(c0, t, Cbed[c0], TFS17WeightPresCorr), k.dh, 1e-9);
  }
}

TEST_F(Transient, LimitsOfTheChange) {
  box(3, 3, 2, 2.0);
  const int c0 = bottom(3, 3), t = top(3, 3);
  FlagTFS = 16;
  // F 359 0.5: a top speed of 0.3 m/s lets the column sink but not rise.
  SurfULimit = 0.5;
  Cxvel[t] = 0.3;
  fluxes(t, 2, 0, 0, 0, 0);
  EXPECT_EQ(surf::columnLevelChange(c0, t, Cbed[c0], 0.5), 0.0);
  fluxes(t, 0, 2, 0, 0, 0);
  EXPECT_NEAR(surf::columnLevelChange(c0, t, Cbed[c0], 0.5), -0.02, 1e-12);
  // F 530 1: never more than the top cell's half height (0.5 m).
  SurfULimit = 0;
  FlagLimitSurf = 1;
  fluxes(t, 200, 0, 0, 0, 0);
  EXPECT_NEAR(surf::columnLevelChange(c0, t, Cbed[c0], 0.5), 0.5, 1e-9);
  // F 530 2: times 0.2 Cidist / |u| / dt = 0.2 * 0.5 / 0.3 / 10 = 1/30, then the clip.
  FlagLimitSurf = 2;
  fluxes(t, 2, 0, 0, 0, 0);
  EXPECT_NEAR(surf::columnLevelChange(c0, t, Cbed[c0], 0.5), 0.02 / 30, 1e-12);
}

// Where the change of column (3, 3) goes: its corners are SW (2, 2), SE (3, 2), NE (3, 3) and
// NW (2, 3).
TEST_F(Transient, SharesFollowTheFlowAndTheWalls) {
  struct Case {
    const char* name;
    int i, j;
    double u, v;
    int upwind;
    double sw, se, ne, nw;
  } cases[] = {
      // Subcritical flow along +x: the upstream (west) nodes take it all.
      {"subcritical east", 3, 3, 0.1, 0, 1, 0.5, 0, 0, 0.5},
      // Along the SW-NE diagonal toward NE: subcritical SW only, supercritical NE only
      // (5 m/s over 2 m is Froude 1.13).
      {"subcritical diagonal", 3, 3, 0.1, 0.1, 1, 1, 0, 0, 0},
      {"supercritical diagonal", 3, 3, 5, 5, 1, 0, 0, 1, 0},
      // Still water with flow-directed shares: nothing moves.
      {"still", 3, 3, 0, 0, 1, 0, 0, 0, 0},
      // Equal shares; at the south wall SE and SW count twice (F 469 2): 1.5 dh in all.
      {"equal interior", 3, 3, 0, 0, 0, 0.25, 0.25, 0.25, 0.25},
      {"equal south wall", 3, 2, 0, 0, 0, 0.5, 0.5, 0.25, 0.25},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    SetArraysZero();
    fresh();
    box(3, 3, 2, 2.0);
    FlagSurfUpwind = k.upwind;
    TFSminFlag = 0;
    columnVelocity(k.i, k.j, k.u, k.v);
    const int c0 = bottom(k.i, k.j);
    surf::spreadToCorners(1, k.i, k.j, c0, Cbed[c0], 0.01);
    EXPECT_NEAR(level(k.i - 1, k.j - 1), 0.01 * k.sw, 1e-15);
    EXPECT_NEAR(level(k.i, k.j - 1), 0.01 * k.se, 1e-15);
    EXPECT_NEAR(level(k.i, k.j), 0.01 * k.ne, 1e-15);
    EXPECT_NEAR(level(k.i - 1, k.j), 0.01 * k.nw, 1e-15);
  }
}

// F 403 1: no column moves a node by more than a tenth of its depth. A change of 1 m in equal
// shares gives each corner 0.25 m: 0.03 m at the 0.3 m deep grid line i = 3, 0.2 m at the 2 m
// deep line i = 2.
TEST_F(Transient, ShareCappedByTheNodeDepth) {
  build(3, 3, 2, [](int i, int) { return i == 3 ? -0.3 : -2.0; }, [](int, int) { return 0.0; });
  FlagSurfUpwind = 0;
  const int c0 = bottom(3, 3);
  surf::spreadToCorners(1, 3, 3, c0, Cbed[c0], 1.0);
  EXPECT_NEAR(level(3, 2), 0.03, 1e-12);
  EXPECT_NEAR(level(3, 3), 0.03, 1e-12);
  EXPECT_NEAR(level(2, 2), 0.2, 1e-12);
}

// A block of 6 x 2 columns with the inflow group along the west end and the outflow group
// along the east end (F 314 1 1), 1 m deep.
class TransientBoundaries : public Transient {
 protected:
  void SetUp() override {
    Transient::SetUp();
    FlagGenerateUpFlux = FlagGenerateDownFlux = 1;
    box(6, 2, 2, 1.0);
    ASSERT_GT(DischargeStruct[2].surfaceNo, 0);
    ASSERT_EQ(DischargeStruct[2].inflowFlag, 0);
  }
  static void series(std::initializer_list<std::array<double, 3>> rows) {
    TimeInNo = 0;
    for (const auto& r : rows) {
      TimeInTime[TimeInNo] = r[0];
      TimeInHinn[TimeInNo] = r[1];
      TimeInHout[TimeInNo] = r[2];
      ++TimeInNo;
    }
    TimeInHoutGiven = TimeInHinnGiven = true;
  }
};

// The outlet nodes follow the series (interpolated by hand), also at or below 0 m, a sea-level
// datum that a test on the sign would drop; one row is a constant.
TEST_F(TransientBoundaries, OutletNodesFollowTheSeries) {
  struct Case {
    const char* name;
    double time;
    std::initializer_list<std::array<double, 3>> rows;
    double out;
  } cases[] = {
      {"rising", 25, {{0, 0, 0.1}, {100, 0, 0.3}}, 0.15},
      {"falling", 150, {{0, 0, 0.1}, {100, 0, 0.3}, {200, 0, 0.1}}, 0.2},
      {"after the last row", 500, {{0, 0, 0.1}, {100, 0, 0.3}}, 0.3},
      {"below the datum", 50, {{0, 0, -0.2}, {100, 0, -0.4}}, -0.3},
      {"at the datum", 10, {{0, 0, 0.0}}, 0.0},
      {"one row", 1e6, {{0, 0, -0.05}}, -0.05},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    for (int i = 1; i <= 7; ++i)
      for (int j = 1; j <= 3; ++j) zval[i][j][znumber] = 0.05;
    series(k.rows);
    TimeInHinnGiven = false;
    stimet = k.time;
    surfaceDownstreamDamp = 0;
    surf::transientBoundaryLevels(1);
    for (int j = 1; j <= 3; ++j) EXPECT_NEAR(level(7, j), k.out, 1e-12) << j;
    EXPECT_EQ(level(6, 2), 0.05);
    EXPECT_EQ(level(1, 2), 0.05);  // no inlet level given
  }
}

// Without a series, damping mode 1 sets each outlet node to the first line inward less the
// friction step D = 2 Cidist (u^2 + v^2) / (M^2 h^1.333): zero for still water, and
// 1.0 * 0.25 / (50^2 * 1) = 1e-4 m for 0.5 m/s over 1 m (M = 50, W 1).
TEST_F(TransientBoundaries, OutletSetByTheFrictionSlope) {
  for (double u : {0.0, 0.5}) {
    SCOPED_TRACE(u);
    for (int i = 1; i <= 7; ++i)
      for (int j = 1; j <= 3; ++j) zval[i][j][znumber] = 0.01 * i;
    for (int j = 2; j <= 3; ++j) columnVelocity(7, j, u, 0);
    surf::transientBoundaryLevels(1);
    const double D = 1.0 * u * u / (50.0 * 50.0 * std::pow(1.0, 1.333));
    for (int j = 1; j <= 3; ++j) EXPECT_NEAR(level(7, j), 0.06 - D, 1e-12) << j;
  }
}

// The chained blend of mode 2 walks nine lines inward; a block of six columns has six: the
// walk stops at the block's first node line and leaves the spare line before it alone.
TEST_F(TransientBoundaries, DampingWalkStaysInsideTheBlock) {
  for (int i = 0; i <= 8; ++i)
    for (int j = 0; j <= 4; ++j) zval[i][j][znumber] = 0.0;
  zval[0][2][znumber] = 7.0;  // spare line before the block
  surfaceDownstreamDamp = 2;
  surf::transientBoundaryLevels(1);
  EXPECT_EQ(zval[0][2][znumber], 7.0);
  // Still water: D = 0 and every blend keeps the flat level.
  for (int i = 1; i <= 7; ++i) EXPECT_NEAR(level(i, 2), 0.0, 1e-15) << i;
}

TEST_F(TransientBoundaries, MinimumDepthAtTheOutlet) {
  for (int j = 1; j <= 3; ++j) zval[7][j][znumber] = -0.995;  // 5 mm over the bed at -1
  surf::outletMinimumDepth();
  for (int j = 1; j <= 3; ++j) EXPECT_NEAR(level(7, j), -1.0 + 0.02, 1e-12);
}

// The whole step on a closed basin of 4 x 3 unit columns, 2 m deep: 10 kg/s (0.01 m3/s)
// enter the top cells of the west column, the continuity form (F 36 16) moves the columns and
// the equal shares (F 179 0 0) with the wall factor 2 spread them. The stored volume is the
// inflow times the step, the mean level rises by Q dt / A = 0.01 * 10 / 12 m.
TEST_F(Transient, BasinStoresTheInflow) {
  box(4, 3, 2, 2.0);
  TimeStep = 10;
  FlagTFS = 16;
  FlagSurfUpwind = 0;
  for (int j = 2; j <= 4; ++j) Fflux[Cflatew[top(2, j)]] = 10.0 / 3;
  const double before = computeVolRes();
  surface_tfs(0, 1);
  EXPECT_NEAR(computeVolRes() - before, 0.1, 0.1 * 1e-9);
  EXPECT_EQ(FlagGridChange, 1);
}

// Still water in a closed basin stays where it is over 100 steps (each a rebuild).
TEST_F(Transient, StillBasinDoesNotDrift) {
  box(3, 2, 2, 2.0);
  TimeStep = 1;
  FlagTFS = 17;
  for (int n = 0; n < 100; ++n) surface_tfs(0, 1);
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 3; ++j) EXPECT_EQ(level(i, j), 0.0);
}

TEST_F(Transient, FailedRebuildStopsTheRun) {
  box(3, 3, 2, 2.0);
  FlagTFS = 16;
  MaxCeller = 5;
  EXPECT_EQ(status([] { surface_tfs(0, 1); }), 1);
  EXPECT_NE(log().find("the free-surface update stops the run\n"), std::string::npos) << log();
  EXPECT_EQ(FlagGridChange, 0);
}

}  // namespace
}  // namespace qorva
