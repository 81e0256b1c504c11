// Density stratification between two cells of a column: the buoyancy gradient from
// temperature and from sediment, its heights across one or two cells, and the damping factor
// (1 + beta Ri)^alpha from the gradient Richardson number against hand values.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/box_grid.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "support/scratch.h"
#include "turbulence/turbulence.h"

namespace qorva {
namespace {

using test::makeBox;

void expectNear(double actual, double expected) {
  EXPECT_NEAR(actual, expected, 1e-8 * std::fabs(expected) + 1e-30);
}

// Water density of the temperature law at 0, 10, 20 and 25 deg C, worked by hand:
// 0.9999726 (1 - 9.297173e-6 |T - 4.029325|^1.894816); at 4.029325 it is 0.9999726.
constexpr double kRho0 = 0.9998422404492, kRho10 = 0.9996979620000,
                 kRho20 = 0.9982007979438, kRho25 = 0.9970040022625;

// A column of three cells 1 m, 0.5 m and 1 m high: centres 0.75 m apart between neighbours,
// 1.5 m between the bottom and the top cell.
class DensityDamping : public test::Scratch {
 protected:
  void column() {
    makeBox({1}, {1}, {1, 0.5, 1});
    for (int c = 1; c <= 3; ++c) Cbed[c] = 1;
  }
  void temperatures(double t1, double t2, double t3) {
    Ccomp[0][1] = t1;
    Ccomp[0][2] = t2;
    Ccomp[0][3] = t3;
  }
};

TEST_F(DensityDamping, BuoyancyGradientFromTemperature) {
  struct Case {
    double t1, t2, t3;
    int lower, upper;
    double expected;
  };
  const std::vector<Case> cases = {
      {10, 20, 25, 1, 2, 9.81 * (kRho20 - kRho10) / 0.75},  // -0.0195829
      {10, 20, 25, 2, 3, 9.81 * (kRho25 - kRho20) / 0.75},
      {10, 20, 25, 1, 3, 9.81 * (kRho25 - kRho10) / 1.5},   // across the middle cell
      {20, 10, 25, 1, 2, 9.81 * (kRho10 - kRho20) / 0.75},  // heavier above: positive
      {4.029325, 0, 0, 1, 2, 9.81 * (kRho0 - 0.9999726) / 0.75},
      {0, 4.029325, 0, 1, 2, 9.81 * (0.9999726 - kRho0) / 0.75},
      {10, 20, 25, 2, 2, 0},                                // a cell with itself
  };
  NoComponents = 1;
  column();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.lower) + "-" + std::to_string(c.upper) + " at " +
                 std::to_string(c.t1));
    temperatures(c.t1, c.t2, c.t3);
    expectNear(densityDamp(c.lower, c.upper), c.expected);
  }
}

TEST_F(DensityDamping, BuoyancyGradientFromSediment) {
  // Relative density 2.65 (F 11), concentrations 0.004, 0.001, 0 upward.
  column();
  FlagTSC = 1;
  Cconc[0][1] = 0.004;
  Cconc[0][2] = 0.001;
  expectNear(densityDamp(1, 2), 9.81 * -0.003 * 2.65 / 0.75);  // -0.103986
  expectNear(densityDamp(1, 3), 9.81 * -0.004 * 2.65 / 1.5);
  density = 2;
  expectNear(densityDamp(2, 3), 9.81 * -0.001 * 2 / 0.75);
}

TEST_F(DensityDamping, WithoutComponentsTheWaterIsUnstratified) {
  column();  // no water-quality components: no temperature field
  EXPECT_EQ(densityDamp(1, 3), 0);
  TDalpha = -1.5;
  TDbeta = 3.33;
  EXPECT_EQ(coeff_turbdens(1, 2), 1);
}

// Damping factor with alpha -1.5, beta 3.33 (the scalar constants), TDvelo 1e-6.
// Temperatures 10, 20, 25; u = 0.3, 0.1, 0.1 and v = 0, 0.1, 0.1 upward, so the velocity
// difference between the bottom cell and either cell above is sqrt(0.05) = 0.2236068.
//  - pair 1-2: s = 0.75 / (0.2236068 + 1e-6), Ri = -9.81 (drho/0.75) s^2 = 0.2203057,
//    factor (1 + 3.33 Ri)^-1.5 = 0.4380966;
//  - pair 1-3: s = 1.5 / (0.2236068 + 1e-6), Ri = 0.7928253, factor 0.1439888;
//  - pair 1-2 with the column value BTugrad 2 s (F 526): Ri = 9.81 x 0.0019962 x 4 = 0.0783316,
//    factor 0.7063303;
//  - pair 2-3 has no velocity difference: s = 0.75 / 1e-6, drho = -0.0011968,
//    Ri = 9.81 x 0.0011968 x 0.75 / 1e-12 = 8.8054242e9, factor 1.9916280e-16.
TEST_F(DensityDamping, RichardsonDampingFactor) {
  struct Case {
    const char* name;
    int lower, upper;
    double alpha;
    int vertGrad;
    bool swapTemperatures;
    double expected;
  };
  const std::vector<Case> cases = {
      {"shear 1-2", 1, 2, -1.5, 0, false, 0.43809658745},
      {"shear 1-3", 1, 3, -1.5, 0, false, 0.14398875477},
      {"column gradient", 1, 2, -1.5, 1, false, 0.70633025257},
      {"no shear", 2, 3, -1.5, 0, false, 1.9916280010e-16},
      {"unstable", 1, 2, -1.5, 0, true, 1},
      {"alpha 0", 1, 2, 0, 0, false, 1},
  };
  TurbDensFlag = 1;  // the density-current tables exist
  NoComponents = 1;
  column();
  const double u[3] = {0.3, 0.1, 0.1}, v[3] = {0, 0.1, 0.1};
  for (int c = 1; c <= 3; ++c) {
    Cxvel[c] = u[c - 1];
    Cyvel[c] = v[c - 1];
  }
  BTugrad[1] = 2;
  TDbeta = 3.33;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.swapTemperatures)
      temperatures(20, 10, 25);
    else
      temperatures(10, 20, 25);
    TDalpha = c.alpha;
    FlagTVertGrad = c.vertGrad;
    expectNear(coeff_turbdens(c.lower, c.upper), c.expected);
  }
}

TEST_F(DensityDamping, FactorIsOneBeforeTheDriversSetTheConstants) {
  NoComponents = 1;
  column();
  temperatures(10, 20, 25);
  Cxvel[1] = 0.3;
  EXPECT_EQ(TDalpha, 0);
  EXPECT_EQ(TDbeta, 0);
  EXPECT_EQ(coeff_turbdens(1, 2), 1);
}

}  // namespace
}  // namespace qorva
