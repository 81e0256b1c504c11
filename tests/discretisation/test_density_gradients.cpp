// Density sources of the momentum equations on a hand-made box of three columns (1 m wide,
// two layers of 0.5 m): the baroclinic force of a horizontal density difference with its depth
// mean removed, the same from depth-mean densities, no force in a stable stratification at
// rest, and the damping of w, against hand values.
#include <gtest/gtest.h>

#include <cmath>

#include "discretisation/discretisation.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_g.h"
#include "state/status.h"
#include "support/box_grid.h"
#include "support/scratch.h"

namespace qorva::test {
namespace {

class DensitySources : public Scratch {
 protected:
  void SetUp() override {
    Scratch::SetUp();
    NoComponents = 1;
    TemperatureFlag = 1;
    relaxDensityTurb = 1.0;
    makeBox({1.0, 1.0, 1.0}, {1.0}, {0.5, 0.5});
  }
  static void clear() {
    for (int c = 0; c <= NoCells; ++c) Cap[c] = Csource[c] = 0;
  }
  // Temperature of column i (0..2), both layers.
  static void columns(double t0, double t1, double t2) {
    const double t[3] = {t0, t1, t2};
    for (int i = 0; i < 3; ++i)
      for (int k = 1; k <= 2; ++k) Ccomp[0][i * 2 + k] = t[i];
  }
};

// Water denser to the east (5 deg C against 25): in the middle column the hydrostatic head
// difference grows with depth, 0.25 d at the top centre and 0.75 d at the bottom centre with
// d = (rho_e - rho_w) / 2; the force A x 9810 less its depth mean pushes the top water east
// and the bottom water west by 0.25 d 4905 N each, and the sources of a column sum to zero.
// The layer-wise form (F 64 0) and the depth-mean form (F 69 2) agree on such a column.
TEST_F(DensitySources, HorizontalDifferenceDrivesAnExchangeFlow) {
  columns(25.0, 15.0, 5.0);
  const double d = (waterDensity(5.0) - waterDensity(25.0)) / 2;
  for (int form : {0, 2}) {
    SCOPED_TRACE(form);
    UMethod = 0;
    Seiche1 = form;
    Equation = 1;
    clear();
    DensityGradients();
    const int bottom = 3, top = 4;  // the middle column
    EXPECT_NEAR(Csource[top], 0.25 * d * 4905, 1e-9);
    EXPECT_NEAR(Csource[bottom], -0.25 * d * 4905, 1e-9);
    EXPECT_GT(Csource[top], 0.0);
    if (form == 0) {
      // The head differences less their depth mean, stored in pascal as the face fluxes read
      // them: -0.25 d and +0.25 d metres of water.
      EXPECT_NEAR(Cdensgradi[top], -0.25 * d * 9810, 1e-9);
      EXPECT_NEAR(Cdensgradi[bottom], 0.25 * d * 9810, 1e-9);
    }
    for (int col = 0; col < 3; ++col)
      EXPECT_NEAR(Csource[2 * col + 1] + Csource[2 * col + 2], 0.0, 1e-9);
    Equation = 2;  // nothing varies along y
    clear();
    DensityGradients();
    for (int c = 1; c <= NoCells; ++c) EXPECT_NEAR(Csource[c], 0.0, 1e-12);
  }
}

// A stable stratification that is the same in every column gives no horizontal force: water
// at rest stays at rest.
TEST_F(DensitySources, LevelStratificationGivesNoForce) {
  for (int i = 0; i < 3; ++i) {
    Ccomp[0][i * 2 + 1] = 8.0;
    Ccomp[0][i * 2 + 2] = 22.0;
  }
  for (int form : {0, 2, 3}) {
    SCOPED_TRACE(form);
    UMethod = 0;
    Seiche1 = form;
    for (int e : {1, 2}) {
      Equation = e;
      clear();
      DensityGradients();
      for (int c = 1; c <= NoCells; ++c) EXPECT_NEAR(Csource[c], 0.0, 1e-12);
    }
  }
}

// The damping of w in stable stratification: K = V dt G 1000 9.81 with G the density decrease
// per metre upward goes into Cap while Csource is 0, into Csource as -K w while Csource is
// larger than K w.
TEST_F(DensitySources, StableStratificationDampsVerticalMotion) {
  for (int i = 0; i < 3; ++i) {
    Ccomp[0][i * 2 + 1] = 8.0;
    Ccomp[0][i * 2 + 2] = 22.0;
    Czvel[i * 2 + 1] = Czvel[i * 2 + 2] = 0.1;
  }
  Seiche1 = 1;
  NoVerttemp = 1;
  TimeStep = 2.0;
  Equation = 3;
  const double G = (waterDensity(8.0) - waterDensity(22.0)) / 0.5;
  const double K = 0.5 * 2.0 * G * 1000 * 9.81;
  clear();
  DensityGradients();
  EXPECT_NEAR(Cap[1], K, 1e-9);
  EXPECT_NEAR(Cap[2], K, 1e-9);
  EXPECT_EQ(Csource[1], 0.0);
  clear();
  Csource[1] = 1e6;
  DensityGradients();
  EXPECT_NEAR(Csource[1], 1e6 - K * 0.1, 1e-6);
  EXPECT_EQ(Cap[1], 0.0);
}

// Settings that would be read and do nothing stop the run: the layer-wise form on another
// grid method, a form number that names none; without F 40 nothing is added.
TEST_F(DensitySources, FormsThatDoNotActAreRefused) {
  columns(25.0, 15.0, 5.0);
  Equation = 1;
  UMethod = 11;
  Seiche1 = 0;
  EXPECT_EQ(endStatus([] { DensityGradients(); }), 1);
  EXPECT_NE(log().find("need the grid of F 64 0"), std::string::npos);
  Seiche1 = 4;
  EXPECT_EQ(endStatus([] { DensityGradients(); }), 1);
  relaxDensityTurb = 0;
  clear();
  DensityGradients();
  for (int c = 1; c <= NoCells; ++c) EXPECT_EQ(Csource[c], 0.0);
}

}  // namespace
}  // namespace qorva::test
