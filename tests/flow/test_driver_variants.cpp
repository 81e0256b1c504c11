// The restructured flow driver (F 328 1) and the fast flow driver (F 170 1) on the straight
// flume of the flow cases, 10 m long, 1.5 m wide and 0.3 m deep with 30 l/s, accelerated by
// the block correction of the pressure correction (K 5 0 0 0 1 0 0): each must reach the main
// driver's converged field, carry the discharge through every cross-section, and give the same
// field at 1 and 3 threads.
#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "state/cells.h"
#include "state/options.h"
#include "support/flume.h"

namespace qorva {
namespace {

using test::contains;

constexpr char kAccelerated[] = "K 5 0 0 0 1 0 0\n";

struct Field {
  std::vector<double> u, v, w, k, eps;
  double scale = 0;  // the largest velocity component, m/s
};

Field currentField() {
  Field f;
  for (int c = 1; c <= NoCells; ++c) {
    f.u.push_back(Cxvel[c]);
    f.v.push_back(Cyvel[c]);
    f.w.push_back(Czvel[c]);
    f.k.push_back(Ckinen[c]);
    f.eps.push_back(Cepsilon[c]);
    f.scale = std::max({f.scale, std::fabs(Cxvel[c]), std::fabs(Cyvel[c]), std::fabs(Czvel[c])});
  }
  return f;
}

// The largest difference of a velocity component in any cell, over the largest velocity of a.
double velocityDifference(const Field& a, const Field& b) {
  double worst = 0;
  for (std::size_t c = 0; c < a.u.size() && c < b.u.size(); ++c)
    worst = std::max({worst, std::fabs(a.u[c] - b.u[c]), std::fabs(a.v[c] - b.v[c]),
                      std::fabs(a.w[c] - b.w[c])});
  return worst / a.scale;
}

// The largest relative difference of any of the five fields in any cell.
double relativeDifference(const std::vector<double>& a, const std::vector<double>& b) {
  double worst = 0;
  for (std::size_t c = 0; c < a.size() && c < b.size(); ++c)
    worst = std::max(worst, std::fabs(a[c] - b[c]) / std::max(std::fabs(a[c]), 1e-30));
  return worst;
}

class DriverVariant : public test::Flume {
 protected:
  // A converged run of the flume with `extra` data sets; its field.
  Field converged(const std::string& extra) {
    Field f;
    EXPECT_EQ(runFlume(std::string(kAccelerated) + extra), 1);
    EXPECT_TRUE(contains(log(), "Solution converged")) << log();
    if (NoCells != 270) {
      ADD_FAILURE() << NoCells << " cells";
      return f;
    }
    return currentField();
  }
  // The main driver's field, made once for the variants of a process.
  const Field& mainField() {
    static Field main;
    if (main.u.empty()) main = converged("");
    return main;
  }
};

struct Variant {
  const char* name;
  const char* control;
  // The largest velocity difference from the main driver's field, over its largest velocity.
  double tolerance;
};

void PrintTo(const Variant& v, std::ostream* os) { *os << v.name; }

// Both drivers stop below a normalised residual of 1e-3, each within about that of the solution
// of the same discrete equations (the restructured driver's epsilon at the wall cells takes the
// wall value in the limit as the main driver's does), so their fields agree within twice that.
// The fast driver is not the main driver's discretisation: its wall law is a fixed log law
// of its own (no viscous branch, the roughness of the side walls floored at 0.1 mm, k and
// epsilon constants fixed) and it measures its residuals as the change of a point update. Its
// field differs from the main driver's by 5.6 % of the largest velocity on this flume (measured);
// the check holds it to 6 % and to the discharge of every section.
const Variant kVariants[] = {
    {"Restructured", "F 328 1\n", 2e-3},
    {"Fast", "F 170 1\n", 6e-2},
};

class Drivers : public DriverVariant, public ::testing::WithParamInterface<Variant> {};

INSTANTIATE_TEST_SUITE_P(FlowDrivers, Drivers, ::testing::ValuesIn(kVariants),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(Drivers, ReachTheMainDriversFieldAndCarryTheDischarge) {
  const Field& main = mainField();
  ASSERT_GT(main.scale, 0.0);
  const Field other = converged(GetParam().control);
  ASSERT_EQ(other.u.size(), main.u.size());
  test::expectWaterConserved();
  EXPECT_LT(velocityDifference(main, other), GetParam().tolerance);
}

// The serial and the threaded roads compute the same terms and the threaded sweep is the same
// at every thread count: 1 and 3 threads give the same bits. Stopped before convergence, where
// differences of the path still show.
TEST_P(Drivers, SameFieldAtOneAndThreeThreads) {
  std::vector<Field> fields;
  for (int threads : {1, 3}) {
    SCOPED_TRACE(threads);
    ASSERT_EQ(runFlume(std::string(kAccelerated) + GetParam().control + "K 1 40 50000\nF 206 " +
                       std::to_string(threads) + "\n"),
              1);
    fields.push_back(currentField());
  }
  EXPECT_LE(relativeDifference(fields[0].u, fields[1].u), 1e-9);
  EXPECT_LE(relativeDifference(fields[0].w, fields[1].w), 1e-9);
  EXPECT_LE(relativeDifference(fields[0].k, fields[1].k), 1e-9);
  EXPECT_LE(relativeDifference(fields[0].eps, fields[1].eps), 1e-9);
}

class RestructuredDriver : public DriverVariant {};

// The algebraic-epsilon model 19 takes its length from the bed-form heights of the sediment
// computation, which a flow computation does not have: the run ends with its message.
TEST_F(RestructuredDriver, AlgebraicEpsilonWithoutBedFormHeightsEnds) {
  EXPECT_EQ(runFlume("F 328 1\nF 24 19\n"), 256 - 8);
  EXPECT_TRUE(contains(log(), "Error in combination of F 24 and F 328 in control file")) << log();
}

// Settings the restructured driver does not use stop the run before anything is computed.
TEST_F(RestructuredDriver, SettingsItDoesNotUseStopTheRun) {
  struct Case {
    const char* control;
    const char* line;
  };
  const Case cases[] = {
      {"F 489 20\n", "the first inner iterations of F 489"},
      {"F 395 1 0.1 0.01\n", "the grid repair of F 395"},
      {"F 171 2\n", "the pressure predictor of F 171 2, 4 and 5"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.control);
    EXPECT_EQ(runFlume(std::string("F 328 1\n") + k.control), 1);
    EXPECT_TRUE(contains(log(), std::string("Not available in this version: ") + k.line)) << log();
    EXPECT_FALSE(contains(log(), "Iter:"));
  }
}

}  // namespace
}  // namespace qorva
