// The formulas of F 84 on one bed cell against the published formulas worked out by hand:
// van Rijn's reference concentration and bed load, Wu, the linear law, Meyer-Peter-Mueller and
// Engelund-Hansen; the Rouse carry of the reference level, the exceedance factor, the limit,
// the multi-size rescaling, and no transport without shear.
#include <cmath>

#include "sediment/capacity.h"
#include "sediment/capacity_box.h"
#include "sediment/sediment.h"
#include "state/options_f050_099.h"
#include "state/options_f100_149.h"
#include "state/options_f250_299.h"
#include "state/options_f500_534.h"

namespace qorva::test {
namespace {

constexpr double kS = 2.65, kD = 0.0003, kTau = 3.0, kZc = 0.05, kH = 0.4, kU = 1.0, kR = 1.2;

class CapacityFormulas : public CapacityBox {
 protected:
  void SetUp() override {
    CapacityBox::SetUp();
    build({1.0}, {1.0}, {0.1, 0.1, 0.1, 0.1}, sizes());
    shieldscoeff = 0.05;  // a constant Shields value: tc = 0.05 (s - 1) 9810 d
  }
  virtual int sizes() const { return 1; }

  // The bed cell of the cases: tau = taue = 3 Pa, a 0.4 m column whose bottom cell centre lies
  // 0.05 m above the bed and moves at 1 m/s, a depth-mean speed 1.2 times that.
  static capacity::BedCell cellOfTheCases() {
    capacity::BedCell x;
    x.b = x.c = 1;
    x.i = x.j = 2;
    x.h = kH;
    x.d90 = x.d50 = x.dm = kD;
    x.tau = x.taue = kTau;
    x.uc = kU;
    x.zc = kZc;
    x.r = kR;
    x.f[1] = 1.0;
    return x;
  }

  static double concentration(const capacity::BedCell& x, double* stages = nullptr) {
    const capacity::Constants k = capacity::constants();
    const capacity::Critical cr = capacity::criticalShear(k, x, 1);
    double sum = 0;
    const double c = capacity::sizeConcentration(k, x, 1, cr, sum);
    if (stages) *stages = sum;
    return c;
  }
};

// D* = d ((s - 1) g / nu^2)^(1/3): 25270.3 per metre of grain for s = 2.65.
TEST_F(CapacityFormulas, DimensionlessGrainSizeFactor) {
  EXPECT_NEAR(capacity::constants().Df, 25270.3, 0.05);
}

TEST_F(CapacityFormulas, EachFormulaOfF84) {
  const double tc = 0.05 * 1.65 * 9810 * kD, T = (kTau - tc) / tc;
  const double Dstar = 25270.316352 * kD, sq = std::sqrt(1.65 * 9.81);
  // van Rijn: c_a = 0.015 d T^1.5 / (D*^0.3 a), a the bottom cell's centre.
  const double ca = 0.015 * kD * std::pow(T, 1.5) / (std::pow(Dstar, 0.3) * kZc);
  // van Rijn's bed load q_b = 0.053 d^1.5 T^2.1 sqrt((s - 1) g) / D*^0.3 over the cell's flux.
  const double bed = 0.053 * std::pow(kD, 1.5) * std::pow(T, 2.1) * sq /
                     (2 * kZc * std::pow(Dstar, 0.3) * kU);
  // Wu: q_b = 0.0053 T^2.2 sqrt((s - 1) g d^3).
  const double wu = 0.0053 * std::pow(T, 2.2) * std::sqrt(1.65 * 9.81 * kD * kD * kD) / (2 * kZc * kU);
  // Meyer-Peter-Mueller: q_b = 8 (tau - tc)^1.5 / ((s - 1) rho^1.5 g) with the coefficient
  // 0.25 of F 442 entering as (10 x 0.25)^1.5.
  const double mpm = std::pow(kTau - tc, 1.5) / (1.65 * std::pow(2.5, 1.5) * 9810 * 2 * kZc * kU);
  // Engelund-Hansen: 0.05 r^2 U sqrt(d / ((s - 1) g)) (tau / ((s - 1) rho g d))^1.5 / (2 zc).
  const double eh = 0.05 * kR * kR * kU * std::sqrt(kD / (1.65 * 9.81)) *
                    std::pow(kTau / (kD * 1.65 * 9810), 1.5) / (2 * kZc);
  struct Case {
    int value;
    double c;
  };
  const Case cases[] = {
      {0, ca},  {1, bed}, {2, ca + bed}, {3, wu}, {4, 0.1},  // T x 0.053 = 0.60, cut to F 256
      {5, mpm}, {6, eh},  {8, eh},       {9, eh}, {10, 0.0}, {11, eh}, {12, eh}, {13, 0.0},
  };
  for (const Case& c : cases) {
    BedLoadFlag = c.value;
    capacity::BedCell x = cellOfTheCases();
    Bconc[1][1] = concentration(x);
    // One size: the rescaling of 9 and 11 aims at the Engelund-Hansen load of d50 = d.
    if (c.value == 9 || c.value == 11) capacity::rescaleSizes(capacity::constants(), x, {});
    EXPECT_NEAR(Bconc[1][1], c.c, 1e-12 + 1e-9 * c.c) << "F 84 " << c.value;
  }
}

// Below the critical shear the threshold formulas give nothing, Engelund-Hansen's 6 still its
// load, 8 and 12 nothing.
TEST_F(CapacityFormulas, BelowTheThreshold) {
  capacity::BedCell x = cellOfTheCases();
  x.tau = x.taue = 0.2;  // tc = 0.243 Pa
  const double eh = 0.05 * kR * kR * kU * std::sqrt(kD / (1.65 * 9.81)) *
                    std::pow(0.2 / (kD * 1.65 * 9810), 1.5) / (2 * kZc);
  struct Case {
    int value;
    double c;
  };
  for (const Case& c : {Case{0, 0.0}, Case{1, 0.0}, Case{5, 0.0}, Case{6, eh}, Case{8, 0.0},
                        Case{12, 0.0}}) {
    BedLoadFlag = c.value;
    double stages = -1;
    EXPECT_NEAR(concentration(x, &stages), c.c, 1e-15) << "F 84 " << c.value;
    EXPECT_EQ(stages, 0.0);
  }
}

// No shear, or a negative one, moves nothing in any formula, and no value is not a number.
TEST_F(CapacityFormulas, NoShearNoTransport) {
  for (double tau : {0.0, -1.0}) {
    for (int value = 0; value <= 13; ++value) {
      BedLoadFlag = value;
      // The driver's shear of a bed cell whose k is tau / 300.
      flow(1.0, tau / 300);
      concRijn();
      EXPECT_EQ(Bconc[1][1], 0.0) << "F 84 " << value << ", tau " << tau;
    }
    // Without flow in the bottom cell either.
    flow(0.0, tau / 300);
    for (int value : {1, 3, 5}) {
      BedLoadFlag = value;
      concRijn();
      EXPECT_EQ(Bconc[1][1], 0.0) << "F 84 " << value << " at rest";
    }
  }
}

// F 60 1: the reference concentration of van Rijn at a = max(3 d90, H / 2, 0.01 h), carried to
// the cell centre along the Rouse profile c(z) / c(a) = ((h - z) / z x a / (h - a))^Z,
// Z = 2.5 ws / u*.
TEST_F(CapacityFormulas, RouseCarryOfTheReferenceLevel) {
  BedLoadFlag = 0;
  TSCbedrouse = 1;
  capacity::BedCell x = cellOfTheCases();
  x.H = 0.04;  // a = 0.02 m, below the centre
  const double tc = 0.05 * 1.65 * 9810 * kD, T = (kTau - tc) / tc;
  const double a = 0.02, Z = 2.5 * 0.03 / std::sqrt(0.003 + 1e-20);
  const double ca = 0.015 * kD * std::pow(T, 1.5) / (std::pow(25270.316352 * kD, 0.3) * a);
  const double F = std::pow((kH - kZc) / kZc * a / (kH - a), Z);
  EXPECT_NEAR(concentration(x), ca * F, 1e-9 * ca);
  // A reference level above the centre divides by the profile factor, never below F 110's
  // lower limit, also where the level reaches past the surface.
  x.H = 1.0;  // a = 0.5 m > h
  const double caHigh = ca * a / 0.5;
  EXPECT_NEAR(concentration(x), std::min(caHigh / HRmulmin, MaxBedConc), 1e-12);
}

// F 90 5 weighs the load by the probability that the shear exceeds the critical one,
// P(|tc / tau - 1| / 0.45) of the standard normal distribution.
TEST_F(CapacityFormulas, ExceedanceFactor) {
  BedLoadFlag = 0;
  capacity::BedCell x = cellOfTheCases();
  const double plain = concentration(x);
  FlagRoughness = 5;
  const double tc = 0.05 * 1.65 * 9810 * kD, xv = std::fabs(tc / kTau - 1) / 0.45;
  const double P = 0.5 * std::erfc(-xv / std::sqrt(2.0));
  EXPECT_NEAR(concentration(x), plain * P, 1e-7 * plain);
}

class TwoSizes : public CapacityFormulas {
 protected:
  int sizes() const override { return 2; }
};

// F 84 9 and 11 scale every size so that the mixture carries the Engelund-Hansen load of d50.
TEST_F(TwoSizes, RescalingOfSeveralSizes) {
  BedLoadFlag = 9;
  capacity::BedCell x = cellOfTheCases();
  gsize[1] = 0.0006;
  gsize[2] = 0.0002;
  x.f[1] = 0.4;
  x.f[2] = 0.6;
  x.d50 = 0.0003;
  const capacity::Constants k = capacity::constants();
  double stages = 0;
  capacity::Critical cr;
  for (int l = 1; l <= 2; ++l) {
    cr = capacity::criticalShear(k, x, l);
    Bconc[l][1] = capacity::sizeConcentration(k, x, l, cr, stages);
  }
  const double ratio = Bconc[1][1] / Bconc[2][1];
  capacity::rescaleSizes(k, x, cr);
  const double target = 0.05 * kR * kR * kU * std::sqrt(kD / (1.65 * 9.81)) *
                        std::pow(kTau / (kD * 1.65 * 9810), 1.5) / (2 * kZc);
  EXPECT_NEAR(0.4 * Bconc[1][1] + 0.6 * Bconc[2][1], target, 1e-12 * target);
  EXPECT_NEAR(Bconc[1][1] / Bconc[2][1], ratio, 1e-12);
}

}  // namespace
}  // namespace qorva::test
