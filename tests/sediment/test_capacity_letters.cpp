// The transport formulas of the formula letters, each against its published form worked out
// here by hand: Meyer-Peter-Mueller from Phi = 8 (theta - theta_c)^1.5, Engelund-Hansen,
// Einstein-Brown with Rubey's fall factor, Ackers-White, Shen-Hung and Yang's stream power; the
// conversion of a transport into the bottom cell's concentration through the Rouse profile of
// the column; Yang outside its range; and no shear, no transport.
#include <cmath>
#include <cstdio>
#include <string>

#include "sediment/capacity.h"
#include "sediment/capacity_box.h"
#include "sediment/sediment.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva::test {
namespace {

constexpr double s = 2.65, g = 9.81, nu = 1e-6;

// A medium sand in a metre of water: d = 0.5 mm, ws = 7 cm/s, U = 0.8 m/s, tau = 2 Pa.
capacity::LetterInput sand(double tau = 2.0, double d = 0.0005) {
  capacity::LetterInput in;
  in.tau = tau;
  in.us = std::sqrt(tau / 1000);
  in.slope = tau / (1000 * g * 1.0);
  in.d = d;
  in.ws = 0.07;
  in.U = 0.8;
  in.h = 1.0;
  in.tc = 0.047 * (s - 1) * 1000 * g * d;
  return in;
}

double theta(const capacity::LetterInput& in) { return in.tau / ((s - 1) * 1000 * g * in.d); }

// Meyer-Peter-Mueller: Phi = q / sqrt((s - 1) g d^3) = 8 (theta - theta_c)^1.5.
double mpm(const capacity::LetterInput& in) {
  const double thc = in.tc / ((s - 1) * 1000 * g * in.d);
  return 8 * std::pow(theta(in) - thc, 1.5) * std::sqrt((s - 1) * g * std::pow(in.d, 3));
}

// Engelund-Hansen: Phi = 0.1 theta^2.5 / f with f = 2 u*^2 / U^2.
double engelundHansen(const capacity::LetterInput& in) {
  const double f = 2 * in.us * in.us / (in.U * in.U);
  return 0.1 * std::pow(theta(in), 2.5) / f * std::sqrt((s - 1) * g * std::pow(in.d, 3));
}

// Einstein-Brown: Phi = 40 F theta^3, Rubey's F = sqrt(2/3 + 36 nu^2 / ((s - 1) g d^3)) - sqrt(..).
double einsteinBrown(const capacity::LetterInput& in) {
  const double k = 36 * nu * nu / ((s - 1) * g * std::pow(in.d, 3));
  const double F = std::sqrt(2.0 / 3 + k) - std::sqrt(k);
  return 40 * F * std::pow(theta(in), 3) * std::sqrt((s - 1) * g * std::pow(in.d, 3));
}

// Ackers-White (1973): the total load per unit width, X the sediment flux over the water flux by
// weight, qs = X U h / s.
double ackersWhite(const capacity::LetterInput& in) {
  const double Dgr = in.d * std::cbrt((s - 1) * g / (nu * nu));
  const double lg = std::log10(Dgr);
  const double n = 1 - 0.56 * lg, A = 0.23 / std::sqrt(Dgr) + 0.14, m = 9.66 / Dgr + 1.34;
  const double C = std::pow(10.0, 2.86 * lg - lg * lg - 3.53);
  const double Fgr = std::pow(in.us, n) / std::sqrt(g * in.d * (s - 1)) *
                     std::pow(in.U / (std::sqrt(32.0) * std::log10(10 * in.h / in.d)), 1 - n);
  const double X = C * std::pow(Fgr / A - 1, m) * s * in.d / in.h * std::pow(in.U / in.us, n);
  return X * in.U * in.h / s;
}

// Shen and Hung (1972), feet and seconds: log Ct = a + b Y + c Y^2 + e Y^3 with
// Y = (V S^0.57 / w^0.32)^0.0075; Ct in ppm by weight.
double shenHung(const capacity::LetterInput& in) {
  const double Y = std::pow(in.U / 0.3048 * std::pow(in.slope, 0.57) / std::pow(in.ws / 0.3048, 0.32), 0.0075);
  const double lg = -107404.5 + 324214.7 * Y - 326309.6 * Y * Y + 109503.9 * Y * Y * Y;
  return std::pow(10.0, lg) * 1e-6 / s * in.U * in.h;
}

// Yang (1973): log Ct = 5.435 - 0.286 log(w d / nu) - 0.457 log(u* / w)
//   + (1.799 - 0.409 log(w d / nu) - 0.314 log(u* / w)) log((V - Vcr) S / w),
// Vcr / w = 2.5 / (log(u* d / nu) - 0.06) + 0.66 for 1.2 < u* d / nu < 70, 2.05 above.
double yang(const capacity::LetterInput& in) {
  const double R = in.us * in.d / nu;
  const double Vcr = in.ws * (R < 70 ? 2.5 / (std::log10(R) - 0.06) + 0.66 : 2.05);
  const double a = std::log10(in.ws * in.d / nu), b = std::log10(in.us / in.ws);
  const double lg = 5.435 - 0.286 * a - 0.457 * b +
                    (1.799 - 0.409 * a - 0.314 * b) * std::log10((in.U - Vcr) * in.slope / in.ws);
  return std::pow(10.0, lg) * 1e-6 / s * in.U * in.h;
}

class CapacityLetters : public CapacityBox {};

TEST_F(CapacityLetters, EachLetterAgainstItsPublishedForm) {
  const capacity::LetterInput in = sand();
  // Meyer-Peter-Mueller in its dimensional form: q = 0.02578 (tau - tc)^1.5 / ((s - 1) 1000).
  const double mpmShear = 0.02578 * std::pow(in.tau - in.tc, 1.5) / ((s - 1) * 1000);
  struct Case {
    char letter;
    double hand, tolerance;  // relative
  };
  // The constants 0.02578 and 0.66667 are the forms above to four and five figures; Shen and
  // Hung's feet are taken as 3.28 to the metre (3.2808).
  const Case cases[] = {{'M', mpm(in), 5e-4},          {'M', mpmShear, 1e-9},
                        {'E', engelundHansen(in), 1e-9}, {'I', einsteinBrown(in), 1e-5},
                        {'A', ackersWhite(in), 1e-4},   {'S', shenHung(in), 1e-3},
                        {'Y', yang(in), 1e-9}};
  for (const Case& c : cases) {
    const double q = capacity::letterTransport(c.letter, in);
    ASSERT_GT(c.hand, 0) << c.letter;
    EXPECT_NEAR(q, c.hand, c.tolerance * c.hand) << c.letter;
    std::printf("[ figures  ] letter %c: %.6e m2/s against %.6e by hand (%.1e)\n", c.letter, q,
                c.hand, q / c.hand - 1);
  }
}

// A coarse grain (Dgr above 60) has n = 0 in Ackers-White: the load does not depend on u*
// through the mobility number, only through the (U / u*)^n factor, which is 1.
TEST_F(CapacityLetters, AckersWhiteCoarseGrain) {
  capacity::LetterInput in = sand(20.0, 0.004);  // Dgr = 101
  in.U = 2.0;
  const double Fgr = in.U / (std::sqrt(32.0) * std::log10(10 * in.h / in.d)) /
                     std::sqrt(g * in.d * (s - 1));
  const double X = 0.025 * std::pow(Fgr / 0.17 - 1, 1.5) * s * in.d / in.h;
  EXPECT_NEAR(capacity::letterTransport('A', in), X * in.U * in.h / s, 1e-6 * X * in.U * in.h / s);
}

// Below the critical shear Meyer-Peter-Mueller moves nothing; Engelund-Hansen has no threshold.
// Yang gives nothing while the flow is slower than its critical velocity.
TEST_F(CapacityLetters, Thresholds) {
  const capacity::LetterInput low = sand(0.2);  // tc = 0.38 Pa
  EXPECT_EQ(capacity::letterTransport('M', low), 0.0);
  EXPECT_NEAR(capacity::letterTransport('E', low), engelundHansen(low), 1e-9 * engelundHansen(low));
  capacity::LetterInput slow = sand();
  slow.U = 0.1;  // Vcr = 0.07 (2.5 / (log 22.4 - 0.06) + 0.66) = 0.19 m/s
  EXPECT_EQ(capacity::letterTransport('Y', slow), 0.0);
}

// Yang's critical velocity falls apart below u* d / nu = 1.2 (at 1.148 its denominator is 0,
// below it negative): there the value at 1.2 holds, and the log says so once per run.
TEST_F(CapacityLetters, YangBelowItsRange) {
  capacity::resetLetterWarnings();
  const double us = std::sqrt(2.0 / 1000);
  for (double R : {1.148, 1.0, 0.5}) {
    capacity::LetterInput in = sand();
    in.d = R * nu / us;
    in.ws = 0.0001;
    const double q = capacity::letterTransport('Y', in);
    EXPECT_TRUE(std::isfinite(q)) << R;
    EXPECT_GE(q, 0.0) << R;
    // By hand with the critical velocity of R = 1.2.
    const double Vcr = in.ws * (2.5 / (std::log10(1.2) - 0.06) + 0.66);
    const double a = std::log10(in.ws * in.d / nu), b = std::log10(us / in.ws);
    const double hand = std::pow(10.0, 5.435 - 0.286 * a - 0.457 * b +
                                           (1.799 - 0.409 * a - 0.314 * b) *
                                               std::log10((in.U - Vcr) * in.slope / in.ws)) *
                        1e-6 / s * in.U * in.h;
    EXPECT_NEAR(q, hand, 1e-9 * hand) << R;
  }
  const std::string text = log();
  const std::string said = "Yang's formula: the particle Reynolds number";
  ASSERT_NE(text.find(said), std::string::npos);
  EXPECT_EQ(text.find(said), text.rfind(said)) << "said more than once";
}

// No shear, or a negative one, moves nothing in any letter, and nothing is not a number.
TEST_F(CapacityLetters, NoShearNoTransport) {
  for (double tau : {0.0, -1.0})
    for (char letter : {'A', 'E', 'I', 'M', 'S', 'Y'}) {
      capacity::LetterInput in = sand();
      in.tau = tau;
      in.us = tau > 0 ? std::sqrt(tau / 1000) : 0.0;
      EXPECT_EQ(capacity::letterTransport(letter, in), 0.0) << letter << " " << tau;
    }
  // The same through the driver: a bed cell whose k is 0 or negative.
  build({1.0}, {1.0}, {0.25, 0.25, 0.25, 0.25});
  WBStart = 1;
  WBEnd = NoBCells;
  for (double k : {0.0, -0.001})
    for (char letter : {'A', 'E', 'I', 'M', 'S', 'Y'}) {
      SedimentFormula = letter;
      flow(0.8, k);
      Bconc[1][1] = -7;
      concEngelund();
      EXPECT_EQ(Bconc[1][1], 0.0) << letter << " " << k;
      EXPECT_TRUE(std::isfinite(Bedformheight[1]));
    }
}

// The driver divides the transport by the water flux of a Rouse profile with unit
// concentration in the bottom cell: for four cells of 0.25 m over 1 m with the same speed u,
// q = sum 0.25 u ((h - z) / z zc / (h - zc))^(ws / (0.4 u*)), worked out here for letters M and E
// (both taken from the column's own shear, depth-mean speed and depth).
TEST_F(CapacityLetters, ConcentrationThroughTheRouseProfile) {
  build({1.0}, {1.0}, {0.25, 0.25, 0.25, 0.25}, 1, 0.0005, 0.02);
  WBStart = 1;
  WBEnd = NoBCells;
  shieldscoeff = 0.047;
  const double u = 0.8, k = 2.0 / 300;
  flow(u, k);
  const double tau = 300 * k, us = std::sqrt(tau / 1000), Z = 0.02 / (0.4 * us), h = 1, zc = 0.125;
  double q = 0;
  for (double z : {0.125, 0.375, 0.625, 0.875}) q += 0.25 * u * std::pow((h - z) / z * zc / (h - zc), Z);
  capacity::LetterInput in = sand();
  in.ws = 0.02;
  in.U = u;
  for (char letter : {'M', 'E'}) {
    SedimentFormula = letter;
    concEngelund();
    const double hand = (letter == 'M' ? mpm(in) : engelundHansen(in)) / q;
    EXPECT_NEAR(Bconc[1][1], hand, 5e-4 * hand) << letter;  // 0.02578 to four figures
    EXPECT_EQ(Bd90[1], 0.0005);
  }
  // Einstein-Brown is a bed load: it goes into the bottom cell's own flux 2 zc u.
  SedimentFormula = 'I';
  concEngelund();
  EXPECT_NEAR(Bconc[1][1], einsteinBrown(in) / (0.25 * u), 1e-5 * einsteinBrown(in) / (0.25 * u));
}

// Einstein-Brown cannot be put into a bottom cell at rest while the water above it moves: the
// run ends with status 1.
TEST_F(CapacityLetters, EinsteinBrownStopsOnABottomCellAtRest) {
  build({1.0}, {1.0}, {0.25, 0.25, 0.25, 0.25});
  WBStart = 1;
  WBEnd = NoBCells;
  flow(0.8, 0.01);
  Cxvel[1] = 0;
  SedimentFormula = 'I';
  EXPECT_EQ(endStatus([] { concEngelund(); }), 1);
  EXPECT_NE(log().find("Einsteins formula not valid for this situation"), std::string::npos);
}

}  // namespace
}  // namespace qorva::test
