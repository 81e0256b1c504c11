// The solver families end to end on the clear-water flume: the second family (bed source)
// settles where the first (bed value fixed) does, at the same equilibrium concentration, and
// gives the same result for any thread count; a flume with a formula letter runs and its bed
// concentrations follow the letter's formula.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "sediment/sediment_flume.h"
#include "state/options.h"
#include "state/status.h"

namespace qorva::test {
namespace {

// 40 m x 1 m, 0.3 m deep, 0.18 m3/s over a fine sand of 0.2 mm falling at 2 cm/s, an active
// layer of 1 m; nine cells over the depth.
std::string flume(const std::string& extra) {
  return "T Clear-water flume\nG 1 43 5 11 1\nF 314 1 1\nF 237 1 0.18\nF 237 2 0.18\nF 16 0.01\n"
         "F 33 100 20\nF 489 3000\nF 54 0\nF 454 1000\nF 255 2\nF 106 1.0\n"
         "F 4 0.5 500 0.01\nK 1 10 50000\nS 1 0.0002 0.02\nN 0 1 1.0\nF 1 J\n" +
         extra + "F 2 YS\n";
}

class SolverFamilies : public SedimentFlume {
 protected:
  // The bottom cell's concentration of each column from 30 m to 38 m, where the flow is
  // developed and the bed has reached its equilibrium with the water.
  std::vector<double> bedConcentrations() {
    std::vector<double> out;
    for (const Column& col : columns())
      if (col.x >= 30 && col.x <= 38) out.push_back(Cconc[1][col.cells.front()]);
    return out;
  }
};

TEST_F(SolverFamilies, BedSourceReachesTheEquilibriumOfTheFixedBedValue) {
  ASSERT_EQ(run({40, 2, 40, 1, 0.3}, flume("F 37 1\n")), 1) << log();
  const std::vector<double> fixed = bedConcentrations();
  ASSERT_EQ(fixed.size(), 8u);
  ASSERT_EQ(run({40, 2, 40, 1, 0.3}, flume("F 37 2\n")), 1) << log();
  const std::vector<double> source = bedConcentrations();
  ASSERT_EQ(source.size(), fixed.size());
  double worst = 0;
  for (std::size_t k = 0; k < fixed.size(); ++k) {
    ASSERT_GT(fixed[k], 0);
    EXPECT_NEAR(source[k], fixed[k], 0.02 * fixed[k]) << "column " << k;
    worst = std::max(worst, std::fabs(source[k] / fixed[k] - 1));
  }
  std::printf("[ figures  ] F 37 2 against F 37 1: bed concentration within %.3f %%\n", 100 * worst);
}

TEST_F(SolverFamilies, BedSourceDoesNotDependOnTheThreads) {
  std::vector<double> first;
  for (const char* threads : {"F 206 1\n", "F 206 8\n"}) {
    SCOPED_TRACE(threads);
    ASSERT_EQ(run({40, 2, 40, 1, 0.3}, flume(std::string("F 37 2\nF 164 31\n") + threads)), 1) << log();
    std::vector<double> c(Cconc[1].p + 1, Cconc[1].p + NoCells + 1);
    if (first.empty()) {
      first = c;
      continue;
    }
    ASSERT_EQ(first.size(), c.size());
    double worst = 0;
    for (std::size_t k = 0; k < c.size(); ++k) {
      EXPECT_NEAR(c[k], first[k], 1e-9 * std::fabs(first[k]) + 1e-30) << "cell " << k + 1;
      worst = std::max(worst, std::fabs(c[k] - first[k]) / (std::fabs(first[k]) + 1e-30));
    }
    std::printf("[ figures  ] F 37 2 at 1 and 8 threads: largest relative difference %.2e\n", worst);
  }
}

// Engelund-Hansen by letter E with F 37 2: the bed concentration of every developed column is
// the formula's load over the Rouse flux of the column, from the flow the run ends with.
TEST_F(SolverFamilies, LetterEngelundHansenOnTheFlume) {
  ASSERT_EQ(run({40, 2, 40, 1, 0.3}, flume("F 37 2\nF 10 E\n")), 1) << log();
  int checked = 0;
  for (const Column& col : columns()) {
    if (col.x < 30 || col.x > 38) continue;
    const int c0 = col.cells.front();
    double h = 0, sumU = 0;
    for (int c : col.cells) {
      h += 2 * Ckdist[c];
      sumU += Cxvel[c] * 2 * Ckdist[c];
    }
    const double U = sumU / h, tau = 300 * Ckinen[c0], us = std::sqrt(tau / 1000);
    const double Z = 0.02 / (0.4 * us), zc = Ckdist[c0];
    double q = 0, below = 0;
    for (int c : col.cells) {
      const double z = below + Ckdist[c];
      q += 2 * Ckdist[c] * std::fabs(Cxvel[c]) * std::pow((h - z) / z * zc / (h - zc), Z);
      below += 2 * Ckdist[c];
    }
    const double theta = tau / (1.65 * 9810 * 0.0002);
    const double G = 0.05 * U * U * std::sqrt(0.0002 / (1.65 * 9.81)) * std::pow(theta, 1.5);
    EXPECT_NEAR(Bconc[1][Cbed[c0]], G / q, 0.01 * G / q) << "x = " << col.x;
    ++checked;
  }
  EXPECT_EQ(checked, 8);
}

}  // namespace
}  // namespace qorva::test
