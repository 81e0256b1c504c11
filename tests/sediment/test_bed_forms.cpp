// Bed-form height and roughness: van Rijn's dune height and Karim's form against their
// published formulas, the adaptation in time, the roughness by F 90 and F 103, and the
// smoothing of the roughness along a single row and over a plane block.
#include <cmath>

#include "sediment/capacity.h"
#include "sediment/capacity_box.h"
#include "state/options_f050_099.h"
#include "state/options_f100_149.h"
#include "state/options_f350_399.h"
#include "state/options_f450_499.h"

namespace qorva::test {
namespace {

class BedForms : public CapacityBox {
 protected:
  void SetUp() override {
    CapacityBox::SetUp();
    build({1.0}, {1.0}, {0.1, 0.1, 0.1, 0.1});
  }
  // A 0.4 m column over a bed of d50 = d90 = dm = 0.3 mm, 1 m of it in each of layers 0 and 1.
  static capacity::BedCell cell() {
    capacity::BedCell x;
    x.b = x.c = 1;
    x.h = 0.4;
    x.d90 = x.d50 = x.dm = 0.0003;
    x.tau = 3.0;
    x.r = 1.2;
    x.uc = 1.0;
    x.zc = 0.05;
    x.f[1] = 1.0;
    return x;
  }
};

// van Rijn: Delta = 0.11 h (d50 / h)^0.3 (1 - exp(-0.5 T)) (25 - T) for T <= 25, else 0.
double vanRijnDune(double h, double d, double T) {
  return T > 25 ? 0.0 : 0.11 * h * std::pow(d / h, 0.3) * (1 - std::exp(-0.5 * T)) * (25 - T);
}

TEST_F(BedForms, DuneHeightOfVanRijn) {
  const capacity::BedCell x = cell();
  for (double T : {0.0, 2.0, 10.0, 25.0, 30.0})
    EXPECT_NEAR(capacity::equilibriumBedForm(x, T), vanRijnDune(0.4, 0.0003, T), 1e-15) << T;
  // Limited to half the movable bed and to three depths (form 0), not with form 1.
  BSedDistrib[1][0][1] = BSedDistrib[0][0][1] = 0.01;
  EXPECT_NEAR(capacity::equilibriumBedForm(x, 10.0), 0.01, 1e-15);
  FlagDuneFormula = 1;
  EXPECT_NEAR(capacity::equilibriumBedForm(x, 10.0), vanRijnDune(0.4, 0.0003, 10.0), 1e-15);
}

// Karim's form with the number F = r / sqrt(g h) and the excess slope
// S = tau / (rho g h) - 0.0168 (dm / h)^0.33 F^2.
TEST_F(BedForms, DuneHeightOfKarim) {
  const capacity::BedCell x = cell();
  for (int form : {2, 3}) {
    FlagDuneFormula = form;
    KarimCoeff = form == 2 ? 0.085 : 0.47;
    const double F2 = 1.2 * 1.2 / (9.81 * 0.4);
    const double S = 3.0 / (9810 * 0.4) - 0.0168 * std::pow(0.0003 / 0.4, 0.33) * F2;
    const double He =
        0.4 * std::min(2.0, std::pow(std::pow(6.28 * F2, 1.2) * S / (KarimCoeff * F2), 0.73));
    EXPECT_NEAR(capacity::equilibriumBedForm(x, 0.0), He, 1e-15) << form;
  }
}

// F 103 2: the height moves toward the equilibrium by the share q of half a dune (7.3 h long)
// that the bed material passing in one step makes up.
TEST_F(BedForms, AdaptationInTime) {
  Flag2BedRoughness = 2;
  const capacity::BedCell x = cell();
  const double He = vanRijnDune(0.4, 0.0003, 10.0);
  Bedformheight[1] = 0.01;
  Bconc[1][1] = 0;  // no transport: the height stays
  capacity::bedFormAndRoughness(x, 10.0);
  EXPECT_NEAR(Bedformheight[1], 0.01, 1e-15);
  Bconc[1][1] = 0.001;
  TimeStep = 10;
  const double q = 0.001 * 2 * 0.05 * 1.0 * 10 / (0.5 * 7.3 * He * 0.4);
  capacity::bedFormAndRoughness(x, 10.0);
  EXPECT_NEAR(Bedformheight[1], He - (He - 0.01) * (1 - q), 1e-15);
  TimeStep = 1e6;  // q above 1: the equilibrium at once
  capacity::bedFormAndRoughness(x, 10.0);
  EXPECT_NEAR(Bedformheight[1], He, 1e-15);
}

// Roughness: grain roughness kg = 3 d90, with bed forms kd = kg + 1.1 H (1 - exp(-25 H / 7.3 h)),
// and on a movable bed thinner than its grains the wall's value by F 103.
TEST_F(BedForms, RoughnessByTheOptions) {
  capacity::BedCell x = cell();
  x.d90 = 0.001;
  XksWall = 0.05;
  const double T = 10.0, H = vanRijnDune(0.4, 0.0003, T);
  const double kg = 0.003, kd = kg + 1.1 * H * (1 - std::exp(-25 * H / (7.3 * 0.4)));
  struct Case {
    int rough, two;
    double thickness, ks;
  };
  const Case cases[] = {
      {2, 0, 1.0, kg},     {3, 0, 1.0, kd},      {6, 1, 1.0, kd},
      // Thin bed (0.0004 m in all): max(min(d90, XksWall), 3 t), XksWall, max(XksWall, 3 t).
      {2, 0, 0.0002, 0.0012}, {3, 1, 0.0002, 0.05}, {2, 1, 0.0002, 0.05}, {5, 3, 0.0002, 0.05},
      {0, 0, 1.0, 7.0},    {1, 0, 1.0, 7.0},     {3, 4, 1.0, 7.0},
  };
  for (const Case& c : cases) {
    FlagRoughness = c.rough;
    Flag2BedRoughness = c.two;
    BSedDistrib[1][0][1] = BSedDistrib[0][0][1] = c.thickness;
    Broughness[1] = 7.0;
    capacity::bedFormAndRoughness(x, c.thickness < 0.01 ? 0.0 : T);
    EXPECT_NEAR(Broughness[1], c.ks, 1e-15) << "F 90 " << c.rough << ", F 103 " << c.two
                                            << ", thickness " << c.thickness;
  }
}

class RoughnessSmoothing : public CapacityBox {};

TEST_F(RoughnessSmoothing, AlongASingleRow) {
  build({1.0, 1.0, 1.0, 1.0}, {1.0}, {0.1});
  const double ks[5] = {0, 1.0, 4.0, 1.0, 2.0};
  auto set = [&] {
    for (int b = 1; b <= 4; ++b) Broughness[b] = ks[b];
  };
  FlagSmoothKs = 1;
  set();
  capacity::smoothRoughness();
  EXPECT_EQ(Broughness[1], 1.0);
  EXPECT_NEAR(Broughness[2], 0.33333 * 6.0, 1e-15);
  EXPECT_NEAR(Broughness[3], 0.33333 * 7.0, 1e-15);
  EXPECT_EQ(Broughness[4], 2.0);
  // Form 2: forward in place, back from the second-to-last to the third, the first takes the
  // second's value.
  FlagSmoothKs = 2;
  set();
  capacity::smoothRoughness();
  const double k = 0.33333333;
  const double f2 = k * (1 + 4 + 1), f3 = k * (f2 + 1 + 2);
  const double b3 = k * (f2 + f3 + 2);
  EXPECT_NEAR(Broughness[3], b3, 1e-15);
  EXPECT_NEAR(Broughness[2], f2, 1e-15);
  EXPECT_NEAR(Broughness[1], f2, 1e-15);
  EXPECT_EQ(Broughness[4], 2.0);
}

TEST_F(RoughnessSmoothing, ShortRowsAndPlaneBlocks) {
  build({1.0, 1.0}, {1.0}, {0.1});
  Broughness[1] = 1;
  Broughness[2] = 3;
  FlagSmoothKs = 1;
  capacity::smoothRoughness();
  EXPECT_EQ(Broughness[1], 1.0);
  FlagSmoothKs = 2;
  capacity::smoothRoughness();
  EXPECT_EQ(Broughness[1], 3.0);

  SetArraysZero();
  build({1.0, 1.0, 1.0}, {1.0, 1.0, 1.0}, {0.1});
  for (int b = 1; b <= 9; ++b) Broughness[b] = b == 5 ? 8.0 : 0.0;
  capacity::smoothRoughness();
  // The one inner column: 0.125 (4 ks + its four neighbours), forward and then backward.
  EXPECT_NEAR(Broughness[5], 0.125 * 4 * (0.125 * 4 * 8), 1e-15);
  EXPECT_EQ(Broughness[4], 0.0);
}

}  // namespace
}  // namespace qorva::test
