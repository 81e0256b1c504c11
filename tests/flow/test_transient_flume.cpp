// Time-stepping runs of the main flow driver on a straight flume, 10 m long, 1.5 m wide and
// 0.3 m deep under a fixed water surface: the discharge of a `timei` series reaches every
// cross-section at each time step, and a run that steps long enough at a constant discharge
// ends in the field of the steady computation.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "driver/control.h"
#include "driver/driver.h"
#include "support/flume.h"
#include "state/arrays.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva {
namespace {

// Groups 1 (in) and 2 (out) carry the same discharge at each row.
std::string dischargeSeries(const std::vector<std::pair<double, double>>& rows) {
  std::string s;
  char line[160];
  for (const auto& [t, q] : rows) {
    std::snprintf(line, sizeof line, "D %g %g %g 0 0 0 0 0 0 0\n", t, q, q);
    s += line;
  }
  return s;
}

class TransientFlume : public test::Flume {};

// The series ramps the discharge from 30 to 60 l/s over the first minute. A fixed water
// surface makes the flow incompressible, so once the inner iterations of a step have met the
// residual limit every cross-section carries the discharge interpolated at that step's time.
// A change of discharge must reach the whole flume within one step: the pressure correction
// of these flat cells (1 m long, 3 cm high) needs many more sweeps (K 4) for that than the
// default, which suits steady runs.
TEST_F(TransientFlume, EveryCrossSectionCarriesTheDischargeOfTheStep) {
  write("timei", dischargeSeries({{0, 0.03}, {60, 0.06}}));
  struct Step {
    int steps;
    double q;  // l/s at the time of the last step, linear in the series
  };
  for (const Step& s : std::vector<Step>{{1, 35}, {4, 50}, {7, 60}}) {
    SCOPED_TRACE(s.steps);
    ASSERT_EQ(
        runFlume("F 33 10 100\nK 4 1 1 1 100 1 1\nK 1 " + std::to_string(s.steps) + " 50000\n"),
        1)
        << log();
    EXPECT_NEAR(stimet, 10.0 * s.steps, 1e-9);
    EXPECT_NEAR(DischargeArray[1], s.q, 1e-9);
    EXPECT_NEAR(DischargeArray[2], s.q, 1e-9);
    test::expectWaterConserved(s.q / 1000);
  }
}

// At a constant discharge the time term vanishes once the flow stops changing, so the time
// steps must end where the steady iterations end.
TEST_F(TransientFlume, LongRunAtConstantDischargeReachesTheSteadyField) {
  ASSERT_EQ(runFlume(""), 1);
  ASSERT_NE(log().find("Solution converged"), std::string::npos) << log();
  std::vector<double> u, w;
  double scale = 0;
  for (int c = 1; c <= NoCells; ++c) {
    u.push_back(Cxvel[c]);
    w.push_back(Czvel[c]);
    scale = std::max(scale, std::fabs(Cxvel[c]));
  }

  write("timei", dischargeSeries({{0, 0.03}, {1e6, 0.03}}));
  ASSERT_EQ(runFlume("F 33 20 10\nK 1 400 50000\n"), 1) << log();
  ASSERT_EQ(static_cast<int>(u.size()), NoCells);
  double worst = 0;
  for (int c = 1; c <= NoCells; ++c)
    worst = std::max({worst, std::fabs(Cxvel[c] - u[c - 1]), std::fabs(Czvel[c] - w[c - 1])});
  EXPECT_LE(worst / scale, 2e-3);
}

}  // namespace
}  // namespace qorva
