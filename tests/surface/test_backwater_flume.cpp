// The backwater curve of a sloping flume, end to end: the whole program generates the grid
// (task Y) and computes the curve (task Q, F 36 30), checked against the curve of gradually
// varied flow integrated here, apart from the program, in small steps.
//
// The flume: bed slope S0 = 0.001, 1 m wide (two columns of 0.5 m), Manning-Strickler M = 50
// (W 1), 0.1 m3/s. The program's section has the bed alone as wetted perimeter, R = h, so the
// friction slope is Sf = q^2 / (M^2 h^(10/3)) and the normal depth (q / (M S0^0.5))^0.6 =
// 0.19082 m. The curve it computes climbs from the outlet line by line by Sf of each line's
// section at the level of the line below: the level form of the friction-only equation,
// dz/dx = -Sf (dh/dx = S0 - Sf), without the velocity-head term of the full equation,
// dh/dx = (S0 - Sf) / (1 - Fr^2). Both references are integrated below; the differences to
// each are held within 1 cm.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "state/arrays.h"
#include "state/blocks.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "support/scratch.h"

namespace qorva {
namespace {

constexpr double kSlope = 0.001, kQ = 0.1, kWidth = 1.0, kM = 50.0, kG = 9.81;
constexpr double kUnitQ = kQ / kWidth;

double frictionSlope(double h) { return kUnitQ * kUnitQ / (kM * kM * std::pow(h, 10.0 / 3.0)); }
double normalDepth() { return std::pow(kUnitQ / (kM * std::sqrt(kSlope)), 0.6); }

// Depth at the grid lines x = L, L - dx, ..., 0, integrated upstream from the outlet depth with
// fourth-order Runge-Kutta steps of dx / 1000: dh/dx = (S0 - Sf) / (1 - Fr^2), or without the
// Froude term.
std::vector<double> referenceDepths(double length, int columns, double outletDepth, bool full) {
  const double dx = length / columns, ds = dx / 1000;
  const auto slope = [full](double h) {
    const double Fr2 = kUnitQ * kUnitQ / (kG * h * h * h);
    return (kSlope - frictionSlope(h)) / (full ? 1 - Fr2 : 1.0);
  };
  std::vector<double> depth{outletDepth};
  double h = outletDepth;
  for (int n = 0; n < columns; ++n) {
    for (int m = 0; m < 1000; ++m) {
      const double k1 = slope(h), k2 = slope(h - ds / 2 * k1), k3 = slope(h - ds / 2 * k2),
                   k4 = slope(h - ds * k3);
      h -= ds / 6 * (k1 + 2 * k2 + 2 * k3 + k4);
    }
    depth.push_back(h);
  }
  std::reverse(depth.begin(), depth.end());  // from the inflow line to the outlet line
  return depth;
}

class BackwaterFlume : public test::Scratch {
 protected:
  // Runs the program on a flume of `columns` columns over `length` metres with the outlet
  // depth given; returns the level of each grid line from the inflow end.
  std::vector<double> run(double length, int columns, double outletDepth, const std::string& more,
                          const std::string& letters) {
    std::string k;
    const double outlet = -kSlope * length + outletDepth;
    for (int i = 1; i <= columns + 1; ++i)
      for (int j = 1; j <= 3; ++j) {
        const double x = length * (i - 1) / columns;
        k += strf("%d %d %f %f %f %f\n", i, j, x, 0.5 * (j - 1), -kSlope * x + 0.0, outlet);
      }
    write("koosurf", k);
    write("control", strf("T Backwater flume\nG 1 %d 6 4 1\nF 87 0\nW 1 %g %g %.10f\n%sF 2 %s\n",
                          columns + 3, kM, kQ, outlet, more.c_str(), letters.c_str()));
    status_ = programMain() & 255;
    std::vector<double> z;
    points_.clear();
    if (status_ != 1) return z;
    for (int i = 1; i <= columns + 1; ++i) {
      for (int j = 1; j <= 3; ++j) points_.push_back(zval[i][j][znumber]);
      z.push_back(zval[i][2][znumber]);
    }
    return z;
  }
  // Task Q alone gives every point of a line the line's level.
  void expectFlatLines() const {
    for (std::size_t p = 0; p < points_.size(); ++p)
      EXPECT_EQ(points_[p], points_[p - p % 3]) << p;
  }
  int status_ = 0;
  std::vector<double> points_;  // the levels of the points (i, j), j fastest
};

// At the normal depth each line lies S0 dx = 1 mm above the next one downstream. (The step
// takes the section of the upper line at the level of the lower one, 1 mm shallower, whose
// friction slope is 1.8 % steeper: each rise is at most 0.02 mm more than 1 mm.)
TEST_F(BackwaterFlume, NormalDepthRisesWithTheBed) {
  const double h = normalDepth();
  EXPECT_NEAR(h, 0.19082, 0.00001);
  const std::vector<double> z = run(20, 20, h, "F 36 30\n", "YQ");
  ASSERT_EQ(status_, 1) << log();
  ASSERT_EQ(z.size(), 21u);
  expectFlatLines();
  EXPECT_NEAR(z.back(), -0.02 + h, 1e-9);
  for (std::size_t m = 0; m + 1 < z.size(); ++m) {
    SCOPED_TRACE(m);
    EXPECT_NEAR(z[m] - z[m + 1], kSlope * 1.0, 0.00003);
    EXPECT_NEAR(z[m] - (-kSlope * m), h, 0.001);
  }
  EXPECT_NEAR(maxBackwater, z.front() - z.back(), 1e-12);
}

// A raised outlet (0.3 m deep, 0.11 m above the normal depth) on 200 m in 5 m columns: an M1
// curve whose level rises upstream toward the normal depth. Measured: 3.3 mm from the
// friction-only curve, 6.1 mm from the full one (which lies 3.5 mm lower at the inflow).
TEST_F(BackwaterFlume, RaisedOutletGivesTheM1Curve) {
  const double length = 200;
  const int columns = 40;
  const std::vector<double> z = run(length, columns, 0.3, "F 36 30\n", "YQ");
  ASSERT_EQ(status_, 1) << log();
  ASSERT_EQ(z.size(), static_cast<std::size_t>(columns + 1));
  expectFlatLines();
  const std::vector<double> friction = referenceDepths(length, columns, 0.3, false);
  const std::vector<double> full = referenceDepths(length, columns, 0.3, true);
  double worstFriction = 0, worstFull = 0;
  for (int m = 0; m <= columns; ++m) {
    const double bed = -kSlope * length * m / columns;
    worstFriction = std::max(worstFriction, std::fabs(z[m] - bed - friction[m]));
    worstFull = std::max(worstFull, std::fabs(z[m] - bed - full[m]));
    if (m < columns) {
      EXPECT_GT(z[m], z[m + 1]) << m;  // the level rises upstream
    }
    // M1: deeper than normal everywhere, shallower upstream.
    EXPECT_GT(z[m] - bed, normalDepth()) << m;
  }
  std::printf("M1 curve: largest difference %.2f mm to the friction-only curve, %.2f mm to "
              "the full curve\n",
              1000 * worstFriction, 1000 * worstFull);
  EXPECT_LT(worstFriction, 0.01);
  EXPECT_LT(worstFull, 0.01);
  // The curve is no straight line: the depth falls from 0.3 m by more than 5 cm over the reach.
  EXPECT_LT(z.front(), 0.3 - 0.05);
}

// Without a grid, task Q has no reach to work on and says so.
TEST_F(BackwaterFlume, TaskQWithoutAGridStops) {
  write("control", "T No grid\nF 36 30\nF 2 Q\n");
  EXPECT_EQ(programMain() & 255, 1);
  EXPECT_NE(log().find("Error: the backwater curve needs a grid with block 1"), std::string::npos)
      << log();
}

// The curve of F 36 30 inside the flow computation: every tenth iteration the surface update
// lays the curve from the reference level with the discharge of the inflow group, the outlet
// correction of the tail holds the outlet's open sides at the reference level, and the grid is
// rebuilt on the levels. The levels are the same, to the last bit, for every thread count.
TEST_F(BackwaterFlume, SameLevelsForEveryThreadCount) {
  // Cell 58 is the bottom cell of the outlet column (11, 3): columns are numbered with i
  // running fastest, three cells each.
  std::vector<double> serial;
  for (int threads : {0, 8}) {
    SCOPED_TRACE(threads);
    SetArraysZero();
    setDefaults();
    const std::vector<double> z =
        run(20, 10, 0.25,
            strf("F 314 1 1\nF 237 1 %g\nF 237 2 %g\nF 36 30\nG 6 %d 0 2 0.1 0.01\n"
                 "G 50 0 0 0 0 0 0 0 0 1 0\nF 206 %d\nK 1 30 50000\n",
                 kQ, kQ, 58, threads),
            "YW");
    ASSERT_EQ(status_, 1) << log();
    ASSERT_EQ(z.size(), 11u);
    if (threads == 0) {
      serial = points_;
      // A curve: each line above the next one downstream, up to the outlet column.
      for (std::size_t m = 0; m + 2 < z.size(); ++m) EXPECT_GT(z[m], z[m + 1]) << m;
      continue;
    }
    ASSERT_EQ(points_.size(), serial.size());
    for (std::size_t p = 0; p < points_.size(); ++p) EXPECT_EQ(points_[p], serial[p]) << p;
  }
}

}  // namespace
}  // namespace qorva
