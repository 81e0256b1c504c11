// End-to-end runs of the main flow driver on a straight flume, 10 m long, 1.5 m wide and
// 0.3 m deep, with 30 l/s entering at one end and leaving at the other: divergence, the
// residual history, the thread count and the conservation of water.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "driver/control.h"
#include "driver/driver.h"
#include "support/flume.h"
#include "state/arrays.h"
#include "state/cells.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using test::contains;

class FlowCases : public test::Flume {};

TEST_F(FlowCases, TinyDivergenceLimitStopsTheFirstIteration) {
  // The first residuals of a computation started from rest are of order 1, far above 1e-12.
  EXPECT_EQ(runFlume("F 301 1e-12\n"), 1);
  const std::string l = log();
  EXPECT_TRUE(contains(l, "Solution diverged after 1 inner and 1 outer iterations\n")) << l;
  EXPECT_TRUE(contains(l, "Max residual is ")) << l;
  EXPECT_FALSE(contains(l, "Solution converged")) << l;
  EXPECT_FALSE(std::filesystem::exists("result.end"));
}

// The crash report writes the failed field as result.csh: a good result.end of an earlier run
// stays as it was.
TEST_F(FlowCases, ADivergedRunKeepsTheResultWrittenBefore) {
  SetArraysZero();
  setDefaults();
  std::filesystem::remove("boogie");
  write("koosurf", test::flumeGeometry());
  write("control", test::flumeControl("F 301 1e-12\n"));
  write("result.end", "a good result\n");
  EXPECT_EQ(programMain() & 255, 1);
  EXPECT_TRUE(contains(log(), "Solution diverged")) << log();
  EXPECT_EQ(read("result.end"), "a good result\n");
  EXPECT_TRUE(contains(read("result.csh"), "Results, iter = 1\n"));
}

TEST_F(FlowCases, ResidualHistoryFollowsTheResidualLines) {
  EXPECT_EQ(runFlume("F 293 1\n"), 1);
  const std::string l = log();
  ASSERT_TRUE(contains(l, "Solution converged")) << l;
  ASSERT_TRUE(std::filesystem::exists("tafnor"));
  std::istringstream t(read("tafnor"));
  std::string header;
  std::getline(t, header);
  EXPECT_EQ(header, "Iteration, Residuals: Ux, Uy, Uz, Continuity, k, epsilon");

  // Every residual line of the log, by iteration.
  std::map<int, std::vector<double>> logged;
  std::istringstream ls(l);
  for (std::string line; std::getline(ls, line);) {
    int it;
    double r[6];
    if (std::sscanf(line.c_str(), "Iter: %d, Resid: %le %le %le %le %le %le", &it, &r[0], &r[1],
                    &r[2], &r[3], &r[4], &r[5]) == 7)
      logged[it] = std::vector<double>(r, r + 6);
  }
  ASSERT_FALSE(logged.empty());

  int rows = 0, previous = 0;
  for (std::string line; std::getline(t, line);) {
    SCOPED_TRACE(line);
    std::istringstream w(line);
    int it;
    double r[6];
    ASSERT_TRUE(w >> it >> r[0] >> r[1] >> r[2] >> r[3] >> r[4] >> r[5]);
    std::string rest;
    EXPECT_FALSE(w >> rest);
    // Six decimals, as a plain fixed-point number each.
    int fields = 0;
    std::istringstream words(line);
    for (std::string word; words >> word; ++fields)
      if (fields > 0) {
        const auto dot = word.find('.');
        ASSERT_NE(dot, std::string::npos);
        EXPECT_EQ(word.size() - dot - 1, 6u);
      }
    EXPECT_EQ(fields, 7);
    EXPECT_GT(it, previous);
    previous = it;
    ASSERT_TRUE(logged.count(it));
    for (int e = 0; e < 6; ++e) {
      EXPECT_GE(r[e], 0.0);
      // The log shows three significant digits, the history six decimals.
      EXPECT_NEAR(r[e], logged[it][e], 0.006 * logged[it][e] + 1e-6) << "equation " << e + 1;
    }
    ++rows;
  }
  EXPECT_EQ(rows, static_cast<int>(logged.size()));
  EXPECT_EQ(previous, logged.rbegin()->first);
}

// F 206 0 takes the serial path of every step, the other counts the threaded phases; all must
// give one field.
TEST_F(FlowCases, ThreadCountDoesNotChangeTheFlow) {
  std::vector<double> u0, v0, w0;
  double scale = 0;
  for (int threads : {0, 1, 2, 8}) {
    SCOPED_TRACE(threads);
    ASSERT_EQ(runFlume("F 206 " + std::to_string(threads) + "\n"), 1);
    ASSERT_TRUE(contains(log(), "Solution converged")) << log();
    ASSERT_EQ(NoCells, 270);
    if (threads == 0) {
      for (int c = 1; c <= NoCells; ++c) {
        u0.push_back(Cxvel[c]);
        v0.push_back(Cyvel[c]);
        w0.push_back(Czvel[c]);
        scale = std::max({scale, std::fabs(Cxvel[c]), std::fabs(Cyvel[c]), std::fabs(Czvel[c])});
      }
      ASSERT_GT(scale, 0.0);
      continue;
    }
    double worst = 0;
    for (int c = 1; c <= NoCells; ++c)
      worst = std::max({worst, std::fabs(Cxvel[c] - u0[c - 1]), std::fabs(Cyvel[c] - v0[c - 1]),
                        std::fabs(Czvel[c] - w0[c - 1])});
    EXPECT_LE(worst / scale, 1e-6);
  }
}

TEST_F(FlowCases, WaterIsConservedAlongTheFlume) {
  ASSERT_EQ(runFlume(""), 1);
  ASSERT_TRUE(contains(log(), "Solution converged")) << log();
  test::expectWaterConserved();
}

}  // namespace
}  // namespace qorva

namespace qorva {
namespace {

// A rough bed (ks = 1 cm) under 0.3 m of water in a flume 3 m wide: half-way down the flume,
// in a column away from the side walls, the velocity of the lower 80 % of the depth follows the
// logarithmic law of a rough wall, u / u* = ln(30 z / ks) / 0.4, with u* from the bed shear
// of the wall law, tau / rho = 0.3 k at the bed cell.
TEST_F(FlowCases, RoughBedFollowsTheLogarithmicLaw) {
  constexpr int kLength = 20;  // m
  std::string k;
  char line[128];
  for (int i = 1; i <= kLength + 1; ++i)
    for (int j = 1; j <= 5; ++j) {
      const double zb = -0.001 * (i - 1);
      std::snprintf(line, sizeof line, "%d %d %f %f %f %f\n", i, j, i - 1.0, 0.75 * (j - 1), zb,
                    zb + 0.3);
      k += line;
    }
  write("koosurf", k);
  write("control", "T Rough flume\nG 1 24 8 11 1\nF 314 1 1\nF 237 1 0.18\nF 237 2 0.18\n"
                   "F 16 0.01\nF 2 YW\n");
  ASSERT_EQ(programMain() & 255, 1);
  ASSERT_TRUE(contains(log(), "Solution converged")) << log();
  int bed = 0;
  double best = 1e9;
  for (int c = 1; c <= NoCells; ++c)
    if (Ccellb[c] == 0) {
      const double d =
          std::fabs(Cxcenter[c] - (kLength / 2 + 0.5)) + std::fabs(Cycenter[c] - 1.125);
      if (d < best) best = d, bed = c;
    }
  const double zb = Czcenter[bed] - Ckdist[bed];
  int top = bed;
  while (Ccellt[top] > 0) top = Ccellt[top];
  const double h = Czcenter[top] + Ckdist[top] - zb;
  const double ustar = std::sqrt(0.3 * Ckinen[bed]);
  for (int c = bed; c > 0; c = Ccellt[c]) {
    const double z = Czcenter[c] - zb;
    const double law = ustar / 0.4 * std::log(30 * z / 0.01);
    if (z <= 0.8 * h) {
      EXPECT_NEAR(Cxvel[c], law, 0.05 * law) << "z/h " << z / h;
    }
  }
}

}  // namespace
}  // namespace qorva
