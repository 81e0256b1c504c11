// The sand-silt-clay formula against its laws worked by hand: van Rijn's reference
// concentration with Egiazaroff's hiding for sand, the cohesive erosion law for mud, the blend
// between 5 % and 8 % clay, and a finite hiding factor for grains of d50 / 19 and finer.
#include <cmath>

#include "sediment/sediment.h"
#include "state/options.h"
#include "state/options_g.h"
#include "state/options_snihl.h"
#include "support/scratch.h"

namespace qorva::test {
namespace {

constexpr double kDf = 25270.316352;  // D* per metre of grain, s = 2.65

class Mixture : public Scratch {
 protected:
  void SetUp() override {
    Scratch::SetUp();
    lnumber = 3;
    gsize[1] = 0.001;
    gsize[2] = 0.0003;
    gsize[3] = 1.5e-6;  // clay
  }
  // Size d of a bed of median d50 under tau, its Shields-based tc; the bottom cell's centre
  // 0.05 m up.
  MixtureInput input(double tau, double tc, double d, double d50, double clay) {
    fractions_[1] = 0.5;
    fractions_[2] = 0.5 - clay;
    fractions_[3] = clay;
    MixtureInput m;
    m.tau = tau;
    m.tc = tc;
    m.d = d;
    m.zc = 0.05;
    m.h = 0.4;
    m.Df = kDf;
    m.ks = 0.01;
    m.ws = 0.02;
    m.d50 = d50;
    m.sf = 0.5;
    m.fractions = fractions_;
    return m;
  }
  // van Rijn with the hiding of Egiazaroff: T = (tau - E A) / A, A = (d / d50) tc, the
  // grain factor at least 1 mm.
  static double sand(double tau, double tc, double d, double d50) {
    const double E = std::pow(std::log10(19.0) / std::log10(19 * d / d50), 2);
    const double A = d / d50 * tc, T = (tau - E * A) / A;
    return T <= 0 ? 0.0 : 0.015 * std::max(d, 0.001) * std::pow(T, 1.5) / (std::pow(kDf * d, 0.3) * 0.05);
  }
  // Mud: (tau / tm - 1) 4e-6 / ws / 2650, tm = (Fb^10 0.029 / d50 + 51796.8 d50) / 77.5 with
  // Fb = min((1 - sf + 2.65 sf) / 1.8, 1) = 1 for sf = 0.5.
  static double mud(double tau, double d50) {
    const double tm = (0.029 / d50 + 51796.8 * d50) / 77.5;
    return tau < tm ? 0.0 : (tau / tm - 1) * 4e-6 / 0.02 / 2650;
  }

  double fractions_[4] = {0, 0, 0, 0};
};

TEST_F(Mixture, SandWithoutClay) {
  const double d50 = 0.0005, tc = 0.25, tau = 3.0;
  for (double d : {0.001, 0.0005, 0.0003, 0.0002}) {
    EXPECT_NEAR(computeConcentrationMelvox(input(tau, tc, d, d50, 0.0)), sand(tau, tc, d, d50),
                1e-12)
        << d;
  }
  // A size equal to d50: E = 1, A = tc, T = (tau - tc) / tc.
  EXPECT_NEAR(computeConcentrationMelvox(input(tau, tc, d50, d50, 0.0)),
              0.015 * 0.001 * std::pow((tau - tc) / tc, 1.5) / (std::pow(kDf * d50, 0.3) * 0.05),
              1e-12);
}

TEST_F(Mixture, ClayContent) {
  const double d50 = 0.0005, tc = 0.25, d = 0.0003;
  // 10 % clay: the mud law; below its critical shear (1.08 Pa here) nothing.
  EXPECT_EQ(computeConcentrationMelvox(input(1.0, tc, d, d50, 0.10)), 0.0);
  EXPECT_NEAR(computeConcentrationMelvox(input(3.0, tc, d, d50, 0.10)), mud(3.0, d50), 1e-15);
  // Just above 5 % the sand value, at 8 % (less the 1e-7 the content is counted short) the mud
  // value, linear between.
  const double s = sand(3.0, tc, d, d50), m = mud(3.0, d50);
  EXPECT_NEAR(computeConcentrationMelvox(input(3.0, tc, d, d50, 0.0500002)), s, 1e-5 * s);
  EXPECT_NEAR(computeConcentrationMelvox(input(3.0, tc, d, d50, 0.0800001)), m, 1e-5 * s);
  const double w = (0.065 - 1e-7) / 0.03 - 1.6666666666666667;
  EXPECT_NEAR(computeConcentrationMelvox(input(3.0, tc, d, d50, 0.065)), w * m + (1 - w) * s,
              1e-12);
}

// Egiazaroff's factor (log10 19 / log10(19 d / d50))^2 divides by zero at d = d50 / 19 and turns
// back below; the ratio d / d50 is held at 0.1 there, so finer grains move as one of a tenth of
// d50 hidden in the bed.
TEST_F(Mixture, FineGrainsKeepAFiniteHidingFactor) {
  const double d50 = 0.0019, tc = 0.25, tau = 50.0;
  const double atTenth = computeConcentrationMelvox(input(tau, tc, 0.00019, d50, 0.0));
  EXPECT_NEAR(atTenth, sand(tau, tc, 0.00019, d50), 1e-12);
  for (double d : {0.00015, d50 / 19, 0.00005}) {
    const double c = computeConcentrationMelvox(input(tau, tc, d, d50, 0.0));
    EXPECT_TRUE(std::isfinite(c)) << d;
    const double E = std::pow(std::log10(19.0) / std::log10(1.9), 2);
    const double A = d / d50 * tc, T = (tau - E * A) / A;
    EXPECT_NEAR(c, 0.015 * 0.001 * std::pow(T, 1.5) / (std::pow(kDf * d, 0.3) * 0.05), 1e-9 * c) << d;
  }
}

TEST_F(Mixture, NoShearNoTransport) {
  for (double tau : {0.0, -1.0})
    for (double clay : {0.0, 0.065, 0.1})
      EXPECT_EQ(computeConcentrationMelvox(input(tau, 0.25, 0.0003, 0.0005, clay)), 0.0);
}

}  // namespace
}  // namespace qorva::test
