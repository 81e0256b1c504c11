// Critical shear of a grain size: the Shields curves against values worked out from their
// published forms, the bed-slope factors against the slope laws they stand for, the hiding
// factors of a mixture and the cohesion added to the critical shear.
#include <cmath>

#include "sediment/capacity.h"
#include "sediment/capacity_box.h"
#include "state/options_f050_099.h"
#include "state/options_f100_149.h"
#include "state/options_f150_199.h"
#include "state/options_f200_249.h"
#include "state/options_f250_299.h"
#include "state/options_f400_449.h"

namespace qorva::test {
namespace {

using capacity::shieldsCurve;
using capacity::slopeFactor;

// Curve 0 is the fit 10^(-0.99863612 - 0.92539586 x + 0.54283631 x^2 - 0.084544063 x^3),
// x = log10(R), between R = 0.2 and 500, held at 0.0624927 above and 0.6 below.
TEST(ShieldsCurve, ValuesOfTheCurves) {
  struct Case {
    int curve;
    double R, thc, tol;
  };
  const Case cases[] = {
      {0, 1, 0.1003145, 1e-6},   {0, 10, 0.0342184, 1e-6},  {0, 100, 0.0442145, 1e-6},
      {0, 500, 0.0624927, 1e-6}, {0, 1000, 0.0624927, 0},   {0, 0.1, 0.6, 0},
      // Curves 1 to 3 take R below 0.01 as 0.01.
      {1, 0, 0.075 / 0.51 + 0.03 * (1 - 0.699 * std::exp(-0.00015)), 1e-15},
      {1, 100, 0.075 / 100.5 + 0.03 * (1 - 0.699 * std::exp(-1.5)), 1e-15},
      {2, 10, 0.028 / 11.2 + 0.075 * (1 - 0.699 * std::exp(-0.15)), 1e-15},
      {3, 1e6, 0.188 / 100001 + 0.0475 * (1 - 0.699 * std::exp(-1500.0)), 1e-15},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(shieldsCurve(c.curve, c.R), c.thc, c.tol) << "curve " << c.curve << " R " << c.R;
}

// Variants 1 and 3 are the slope law of a grain on a slope of angle th for a friction angle phi
// (ct = 1 / tan phi): down the slope sin(phi - th) / sin(phi), up the slope sin(phi + th) /
// sin(phi), across it cos(th) sqrt(1 - tan^2 th / tan^2 phi).
TEST(SlopeFactor, FollowsTheSlopeLawOfAGrain) {
  const double th = 0.2, ct = 1.23, phi = std::atan(1 / ct);
  EXPECT_NEAR(slopeFactor(1, th, 1, ct, 1.23, 0.2), std::sin(phi - th) / std::sin(phi), 1e-12);
  EXPECT_NEAR(slopeFactor(3, th, -1, ct, 1.23, 0.2), std::sin(phi + th) / std::sin(phi), 1e-12);
  const double t = std::tan(th) / std::tan(phi);
  EXPECT_NEAR(slopeFactor(3, th, 0, ct, 1.23, 0.2), std::cos(th) * std::sqrt(1 - t * t), 1e-12);
  // Steeper than the friction angle: the root is replaced by 0.1 and the bound holds.
  EXPECT_EQ(slopeFactor(1, 0.9, 1, ct, 1.23, 0.2), 0.2);
}

TEST(SlopeFactor, OtherVariantsByHand) {
  struct Case {
    int variant;
    double th, cosA, ct, minDamp, K;
  };
  const Case cases[] = {
      // 0.954 (1 - th |cosA| / phi)^0.745 (1 - (1 - |cosA|) th / phi)^0.372, phi = atan(1/ct)
      {5, 0.2, 1, 0.78, 0.2, 0.954 * std::pow(1 - 0.2 / std::atan(1 / 0.78), 0.745)},
      {6, 0.2, 0, 1.005, 0.2, 0.954 * std::pow(1 - 0.2 / std::atan(1 / 1.005), 0.372)},
      {5, 0.0, 1, 0.78, 0.2, 0.954},
      // cos(th) sqrt(1 - ct tan(th)), bounded below
      {7, 0.2, 1, 0.78, 0.2, std::cos(0.2) * std::sqrt(1 - 0.78 * std::tan(0.2))},
      {8, 1.0, 1, 1.23, 0.2, 0.2},
      // (1 - th / atan(F 109 first value))^0.372, the first value used as a tangent
      {9, 0.3, 1, 0.78, 0.2, std::pow(1 - 0.3 / std::atan(1.23), 0.372)},
      {10, 1.0, 1, 0.78, 0.2, 0.2},
      {9, 1.0, 1, 0.78, -0.5, 0.0},
      {0, 0.3, 1, 0.78, 0.2, 1.0},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(slopeFactor(c.variant, c.th, c.cosA, c.ct, 1.23, c.minDamp), c.K, 1e-12)
        << "variant " << c.variant << " th " << c.th;
}

class CriticalShear : public CapacityBox {
 protected:
  // One column of four 0.1 m cells with tau = 3 Pa (k = 0.01), two sizes.
  capacity::BedCell column(int sizes) {
    build({1.0}, {1.0}, {0.1, 0.1, 0.1, 0.1}, sizes);
    flow(1.0, 0.01);
    capacity::BedCell x;
    x.b = 1;
    x.c = 1;
    x.i = x.j = 2;
    x.tau = 3.0;
    x.d50 = 0.0004;
    return x;
  }
};

// The default coefficient -0.047 selects curve 0 at R = u* d / 1e-6; a positive coefficient is
// the Shields value itself.
TEST_F(CriticalShear, ShieldsValueOfTheSize) {
  capacity::BedCell x = column(1);
  const capacity::Constants k0 = capacity::constants();
  const double d = 0.0003, R = std::sqrt(0.003) * d / 1e-6;
  EXPECT_NEAR(capacity::criticalShear(k0, x, 1).tc, shieldsCurve(0, R) * 1.65 * 9810 * d, 1e-12);
  shieldscoeff = 0.05;
  const capacity::Constants k = capacity::constants();
  EXPECT_NEAR(capacity::criticalShear(k, x, 1).tc, 0.05 * 1.65 * 9810 * d, 1e-12);
  // F 84 7 takes the Shields value of d50 for every size.
  BedLoadFlag = 7;
  EXPECT_NEAR(capacity::criticalShear(k, x, 1).tc,
              1.65 * shieldsCurve(0, std::sqrt(0.003) * 0.0004 / 1e-6) * 0.0004 * 9810, 1e-12);
}

// F 169 2: (d / d50)^p; F 169 4: (A / B)^p with the exposure sum A = sum f d / (d_j + d) and
// the hiding sum B = sum f d_j / (d_j + d); one size: no hiding.
TEST_F(CriticalShear, HidingFactors) {
  capacity::BedCell x = column(2);
  gsize[1] = 0.001;
  gsize[2] = 0.0002;
  x.f[1] = 0.25;
  x.f[2] = 0.75;
  shieldscoeff = 0.05;
  const capacity::Constants k = capacity::constants();
  FlagHideEx = 2;
  HideExParam = -0.6;
  EXPECT_NEAR(capacity::criticalShear(k, x, 1).hf, std::pow(0.001 / 0.0004, -0.6), 1e-12);
  EXPECT_NEAR(capacity::criticalShear(k, x, 1).tc,
              0.05 * 1.65 * 9810 * 0.001 * std::pow(2.5, -0.6), 1e-12);
  FlagHideEx = 4;
  const double d = 0.0002;
  const double A = 0.25 * d / (0.001 + d) + 0.75 * d / (2 * d);
  const double B = 0.25 * 0.001 / (0.001 + d) + 0.75 * d / (2 * d);
  EXPECT_NEAR(capacity::criticalShear(k, x, 2).hf, std::pow(A / B, -0.6), 1e-12);
  lnumber = 1;
  EXPECT_EQ(capacity::criticalShear(k, x, 1).hf, 1.0);
}

// The slope factor multiplies the Shields value only where the bed layers are thicker than the
// coarsest grain; variants 2, 4, 6, 8 and 10 act in bank columns only.
TEST_F(CriticalShear, SlopeFactorOnATiltedBed) {
  capacity::BedCell x = column(1);
  shieldscoeff = 0.05;
  const capacity::Constants k = capacity::constants();
  // The bed tilts 0.2 rad down toward +x, along the flow.
  const int f = Cflateb[1];
  Fvx[f] = std::sin(0.2);
  Fvz[f] = std::cos(0.2);
  const double flat = 0.05 * 1.65 * 9810 * 0.0003;
  // Down the slope the coefficient is the second of F 109 (0.78).
  const double phi = std::atan(1 / 0.78), K = std::sin(phi - 0.2) / std::sin(phi);
  FlagBedslopeCorrection = 3;
  EXPECT_NEAR(capacity::criticalShear(k, x, 1).tc, flat * K, 1e-12);
  FlagBedslopeCorrection = 4;
  EXPECT_NEAR(capacity::criticalShear(k, x, 1).tc, flat, 1e-12);
  x.bank = true;
  EXPECT_NEAR(capacity::criticalShear(k, x, 1).tc, flat * K, 1e-12);
  // Layers thinner than the grain: no slope factor.
  BSedDistrib[1][0][1] = BSedDistrib[0][0][1] = 0.0001;
  EXPECT_NEAR(capacity::criticalShear(k, x, 1).tc, flat, 1e-12);
}

// F 274 above 1 takes the coefficients of the bed cell and leaves them in F 109's values.
TEST_F(CriticalShear, BedAnglesOfTheBedCellStay) {
  FlagBedAngles = 2;
  capacity::BedCell x = column(1);
  BrooksUp[1] = 1.5;
  BrooksDown[1] = 0.9;
  BrooksLimit[1] = 0.3;
  FlagBedslopeCorrection = 1;
  capacity::criticalShear(capacity::constants(), x, 1);
  EXPECT_EQ(BedCritTanSlopeUp, 1.5);
  EXPECT_EQ(BedCritTanSlopeDown, 0.9);
  EXPECT_EQ(BedCritMinDamp, 0.3);
}

TEST_F(CriticalShear, CohesionIsAdded) {
  capacity::BedCell x = column(1);
  shieldscoeff = 0.05;
  const double flat = 0.05 * 1.65 * 9810 * 0.0003;
  cohesive[1] = 0.4;
  BankCohesion = 0.25;
  const capacity::Constants k = capacity::constants();
  EXPECT_NEAR(capacity::criticalShear(k, x, 1).tc, flat + 0.4, 1e-12);
  x.bank = true;
  EXPECT_NEAR(capacity::criticalShear(k, x, 1).tc, flat + 0.65, 1e-12);
}

}  // namespace
}  // namespace qorva::test
