// Forcing and damping terms on hand-made box grids: the wind stress tau = rho_air Cd W^2 on the
// surface cells, the Coriolis force rho f v with f = 2 Omega sin(latitude), the damping of
// shallow faces, the drag of bridges and the weight of a turbidity current, against hand
// values of their formulas.
#include <gtest/gtest.h>

#include <cmath>

#include "discretisation/discretisation.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "state/timeseries.h"
#include "support/box_grid.h"
#include "support/scratch.h"

namespace qorva::test {
namespace {

class ForcingSources : public Scratch {
 protected:
  static void clear() {
    for (int c = 0; c <= NoCells; ++c) Cap[c] = Csource[c] = 0;
  }
};

// The wind stress on the water: tau = rho_air Cd W^2 with rho_air Cd = 1.2 x 0.001 up to
// 5.6 m/s, the drag coefficient growing above (F 73 0); other laws by F 73. The stress acts on
// the top cells only, split by the direction components as they stand.
TEST_F(ForcingSources, WindStressOnTheSurfaceCells) {
  makeBox({2.0}, {3.0}, {0.5, 0.5});  // cell 1 at the bed, cell 2 at the surface (6 m2)
  struct Row {
    int law;
    double W, dx, dy;
    double tau;  // N/m2 along x, then along y by dy / dx
  } rows[] = {
      {0, 5.0, 1, 0, 1.2e-3 * 25},
      {0, 5.6, 1, 0, 1.2e-3 * 5.6 * 5.6},  // the enhanced law starts above 5.6
      {0, 10.0, 1, 0, 1.2e-3 * 100 * (1 + 1.9 * 0.44 * 0.44)},
      {1, 10.0, 1, 0, 1.2e-3 * 110},
      {2, 0.5, 1, 0, 1.2e-3 * 1.25 * std::pow(0.5, 1.5)},
      {2, 1.0, 1, 0, 1.2e-3 * 0.5},    // 0.5 W^2.5 from W = 1
      {2, 15.0, 1, 0, 1.2e-3 * 2.6 * 225},  // 2.6 W^2 from W = 15
      {7, 3.0, 1, 0, 1.2e-3 * 3},
      // A direction (1, 1) is not scaled to unit length: sqrt(2) times the stress.
      {0, 5.0, 1, 1, 1.2e-3 * 25},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.law * 100 + r.W);
    WindFlag = r.law;
    Wind[0] = r.W;
    Wind[1] = r.dx;
    Wind[2] = r.dy;
    for (int e : {1, 2, 3}) {
      clear();
      WindFunction(e);
      const double expected = e == 1 ? r.tau * r.dx * 6 : e == 2 ? r.tau * r.dy * 6 : 0.0;
      EXPECT_NEAR(Csource[2], expected, 1e-12);
      EXPECT_EQ(Csource[1], 0.0);
      EXPECT_EQ(Cap[2], 0.0);
    }
  }
}

// The wind keeps k = 1.99998e-6 W2 in the surface cells and epsilon = 0.09^0.75 k^1.5 /
// (0.4 d), d the depth of the cell centre below the surface, both fixed by a penalty.
TEST_F(ForcingSources, WindFixesSurfaceKAndEpsilon) {
  makeBox({2.0}, {3.0}, {0.5, 0.5});
  Wind[0] = 5.0;
  Wind[1] = 1.0;
  const double k = 1.99998e-6 * 25;
  clear();
  WindFunction(5);
  EXPECT_EQ(Cap[2], 1e30);
  EXPECT_NEAR(Csource[2] / Cap[2], k, 1e-18);
  EXPECT_EQ(Cap[1], 0.0);
  clear();
  WindFunction(6);
  EXPECT_NEAR(Csource[2] / Cap[2], 0.164317 * 2.5 * std::pow(k, 1.5) / 0.25, 1e-15);
}

// Wind from the timei series: speed and direction interpolated in time; a series of one row
// is a constant wind (the interval rule needs two rows), whatever the time.
TEST_F(ForcingSources, WindFromTheTimeSeries) {
  TimeStep = 1.0;  // transient: the series tables exist
  makeBox({2.0}, {3.0}, {1.0});
  Wind[0] = 1.0;  // switches the wind on; the series gives its speed
  struct Row {
    int rows;
    double t;
    double W;
  } rows[] = {{2, 50.0, 3.5}, {2, 0.0, 2.0}, {2, 500.0, 5.0}, {1, 0.0, 2.0}, {1, 500.0, 2.0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.rows * 1000 + r.t);
    TimeInNo = r.rows;
    TimeInWind = true;
    TimeInTime[0] = 0;
    TimeInTime[1] = 100;
    Winn[0][0] = 2.0;
    Winn[1][0] = 5.0;
    Winn[0][1] = Winn[1][1] = 1.0;
    Winn[0][2] = Winn[1][2] = 0.0;
    stimet = r.t;
    clear();
    WindFunction(1);
    EXPECT_NEAR(Csource[1], 1.2e-3 * r.W * r.W * 6, 1e-12);
  }
}

// A timei of D or H records alone carries no wind: the wind of F 52 blows on, where the empty
// wind rows of the series would have switched it off without a word.
TEST_F(ForcingSources, SeriesWithoutWindKeepsTheWindOfControl) {
  TimeStep = 1.0;
  makeBox({2.0}, {3.0}, {1.0});
  Wind[0] = 5.0;
  Wind[1] = 1.0;
  TimeInNo = 2;
  TimeInWind = false;
  TimeInTime[0] = 0;
  TimeInTime[1] = 100;
  stimet = 50;
  clear();
  WindFunction(1);
  EXPECT_NEAR(Csource[1], 1.2e-3 * 25 * 6, 1e-12);
}

// Coriolis: rho f v in the u equation and -rho f u in the v equation, f = 2 Omega sin(60 deg)
// here; F 80 adds the damping D |rho f v - rho u| to Cap, D = r sqrt(2 V dz/2).
TEST_F(ForcingSources, CoriolisAcceleration) {
  makeBox({2.0}, {3.0}, {0.5});  // V = 3
  const double omega = 7.2921e-5;
  const double f = 2 * omega * std::sin(60.0 * M_PI / 180);
  Coriolis = f;
  Cxvel[1] = 0.4;
  Cyvel[1] = 0.5;
  Equation = 1;
  clear();
  CoriolisFunction();
  EXPECT_NEAR(Csource[1], 3 * 1000 * f * 0.5, 1e-12);
  EXPECT_EQ(Cap[1], 0.0);
  Equation = 2;
  clear();
  CoriolisFunction();
  EXPECT_NEAR(Csource[1], -3 * 1000 * f * 0.4, 1e-12);
  Equation = 3;
  clear();
  CoriolisFunction();
  EXPECT_EQ(Csource[1], 0.0);

  relaxCoriolis = 2.0;
  const double D = 2.0 * std::sqrt(2 * 3 * 0.25);
  Equation = 1;
  clear();
  CoriolisFunction();
  EXPECT_NEAR(Cap[1], D * std::fabs(1000 * f * 0.5 - 1000 * 0.4), 1e-9);
}

// Bridge drag on the part of each cell between the bridge's levels: h c sqrt(A) 1000, times
// the horizontal speed for a coefficient below 0.7.
TEST_F(ForcingSources, BridgeDragOnTheCoveredHeight) {
  makeBox({2.0}, {2.0}, {1.0, 1.0, 1.0});  // cells 1, 2, 3 from 0 to 3 m; plan area 4 m2
  Cbed[1] = Cbed[2] = Cbed[3] = 1;
  Barea[1] = 4.0;
  for (int c = 1; c <= 3; ++c) {
    Cxvel[c] = 0.3;
    Cyvel[c] = 0.4;  // speed 0.5
  }
  struct Row {
    double low, high, coeff;
    double cap[3];
  } rows[] = {
      // 1.5 .. 3.5 m: half of cell 2, all of cell 3.
      {1.5, 3.5, 0.69, {0, 0.5 * 0.69 * 2 * 1000 * 0.5, 1 * 0.69 * 2 * 1000 * 0.5}},
      {1.5, 3.5, 0.7, {0, 0.5 * 0.7 * 2 * 1000, 1 * 0.7 * 2 * 1000}},
      // Wholly above the water.
      {4.0, 5.0, 1.0, {0, 0, 0}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.coeff);
    BridgeNo = 1;
    Bridge[1] = {2, 2, 2, 2, r.low, r.high, r.coeff};
    clear();
    WCStart = WCEnd = 0;  // bridges do not depend on the working range
    sourceBridge();
    for (int c = 1; c <= 3; ++c) EXPECT_NEAR(Cap[c], r.cap[c - 1], 1e-9) << c;
  }
}

// Shallow faces between the columns of block 1: full damping 1000 |u.n| (1 - r^2) per cell, r
// the mean water depth at the face over the mean height of the two bottom cells, while r is
// below 0.5; columns of different heights up to the top of the shorter.
TEST_F(ForcingSources, ShallowFaceDamping) {
  makeBox({1.0, 1.0}, {1.0}, {0.2, 0.2});  // columns (2, 2) cells 1, 2 and (3, 2) cells 3, 4
  for (int c = 1; c <= 4; ++c) {
    Cxvel[c] = 0.5;
    Cyvel[c] = 0.1;
  }
  const int f = Cflatee[1];
  for (int f2 = 1; f2 <= NoSurfaces; ++f2) {
    Fvx[f2] = Fax[f2] / Farea[f2];
    Fvy[f2] = Fay[f2] / Farea[f2];
  }
  ASSERT_EQ(Fflagflow[f], 1);
  struct Row {
    double depth;  // at both end points of the face
    double cap;    // per cell
  } rows[] = {
      {0.0, 1000 * 0.5},                      // dry: r = 0
      {0.05, 1000 * 0.5 * (1 - 0.25 * 0.25)},  // r = 0.05 / 0.2
      {0.1, 0.0},                              // r = 0.5: no damping
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.depth);
    for (int j : {1, 2}) {
      zval[2][j][1] = 0;
      zval[2][j][znumber] = r.depth;
    }
    clear();
    sourceShallowDamp();
    for (int c = 1; c <= 4; ++c) EXPECT_NEAR(Cap[c], r.cap, 1e-9) << c;
  }
}

// The weight of the suspended sediment: -V 1000 9.81 (s - 1) SourDens C in the w equation.
TEST_F(ForcingSources, TurbidityCurrentWeight) {
  makeBox({2.0}, {3.0}, {0.5, 0.5});
  SourDens = 0.5;
  Cconc[0][1] = 0.01;
  Cconc[0][2] = 0.0;
  clear();
  turbiditycurrentSource();
  EXPECT_NEAR(Csource[1], -3 * 1000 * 9.81 * 1.65 * 0.5 * 0.01, 1e-9);
  EXPECT_EQ(Csource[2], 0.0);
}

}  // namespace
}  // namespace qorva::test
