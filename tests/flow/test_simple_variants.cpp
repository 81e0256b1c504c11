// The variants of the pressure step (F 171) run end to end on the straight flume of the flow
// cases, 10 m long, 1.5 m wide and 0.3 m deep with 30 l/s: each against the field of plain
// SIMPLE (F 171 0) and against the discharge that every cross-section must carry.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "driver/control.h"
#include "driver/driver.h"
#include "support/flume.h"
#include "state/arrays.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/options_kw.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva {
namespace {

// The driver stops when every normalised residual is below this.
constexpr double kResidualLimit = 1e-3;

using test::contains;

struct Field {
  std::vector<double> u, v, w;
  double scale = 0;  // the largest velocity component, m/s
};

Field currentField() {
  Field f;
  for (int c = 1; c <= NoCells; ++c) {
    f.u.push_back(Cxvel[c]);
    f.v.push_back(Cyvel[c]);
    f.w.push_back(Czvel[c]);
    f.scale = std::max({f.scale, std::fabs(Cxvel[c]), std::fabs(Cyvel[c]), std::fabs(Czvel[c])});
  }
  return f;
}

// The largest difference of a velocity component in any cell, over the largest velocity of a.
double difference(const Field& a, const Field& b) {
  double worst = 0;
  for (std::size_t c = 0; c < a.u.size() && c < b.u.size(); ++c)
    worst = std::max({worst, std::fabs(a.u[c] - b.u[c]), std::fabs(a.v[c] - b.v[c]),
                      std::fabs(a.w[c] - b.w[c])});
  return worst / a.scale;
}

double largestResidual() {
  double r = 0;
  for (int e = 1; e <= 6; ++e) r = std::max(r, MaxResidual[e]);
  return r;
}

// How a variant's run ends.
enum class End {
  Converged,  // "Solution converged" below the residual limit
  Stalled,    // the outer iterations of K 1 run out with the residuals above the limit
  Diverged,   // "Solution diverged"
};

struct Variant {
  const char* name;
  const char* control;  // data sets besides the flume's
  End end;
  // The largest velocity difference from plain SIMPLE allowed, over the largest velocity;
  // 0 when the run ends without a field.
  double tolerance;
};

void PrintTo(const Variant& v, std::ostream* os) { *os << v.name; }

// Two converged runs are each within about the residual limit of the solution of the discrete
// equations, so their fields agree within twice that.
constexpr double kSameField = 2 * kResidualLimit;
// The predictor variants take their pressure from continuity of the interpolated
// pseudo-velocities, without the Rhie-Chow term and with quadratic fluxes next to the walls:
// a slightly different discretisation of continuity, and so a slightly different field.
constexpr double kPredictorField = 1e-2;

const Variant kVariants[] = {
    {"Simplec", "F 171 1\n", End::Converged, kSameField},
    // The SIMPLEC factor lets the whole pressure correction be taken at once.
    {"SimplecWholePressureCorrection", "F 171 1\nK 3 0.8 0.8 0.8 1 0.5 0.5\n", End::Converged,
     kSameField},
    {"SecondCorrector", "F 171 3\n", End::Converged, kSameField},
    // The corrections are undone by the next momentum solve in every iteration, since the
    // pressure is not corrected: the residuals stay put while the field is SIMPLE's.
    {"PredictorThenCorrection", "F 171 2\nK 1 500\n", End::Stalled, kSameField},
    // Nothing holds the velocities to continuity but the predicted pressure.
    {"PredictorWithoutCorrection", "F 171 4\n", End::Diverged, 0},
    {"PredictorWithoutCorrectionRelaxed", "F 171 4\nK 3 0.5 0.5 0.5 0.2 0.5 0.5\n",
     End::Converged, kPredictorField},
    // Its continuity residual counts the discharges of the inflow and outflow groups as a
    // defect, so it never falls below the limit.
    {"ExplicitPredictor", "F 171 5\nK 1 600\n", End::Stalled, kPredictorField},
};

class SimpleVariants : public test::Flume, public ::testing::WithParamInterface<Variant> {
 protected:
  // The field of plain SIMPLE, computed once for all the variants of a process.
  void reference(Field& field) {
    static Field simple;
    if (simple.u.empty()) {
      ASSERT_EQ(runFlume("F 171 0\n"), 1);
      ASSERT_TRUE(contains(log(), "Solution converged")) << log();
      ASSERT_EQ(NoCells, 270);
      simple = currentField();
      ASSERT_GT(simple.scale, 0.0);
    }
    field = simple;
  }
};

TEST_P(SimpleVariants, ReachTheFieldOfPlainSimple) {
  const Variant& v = GetParam();
  Field simple;
  reference(simple);
  if (HasFatalFailure()) return;

  EXPECT_EQ(runFlume(v.control), 1);
  const std::string l = log();
  switch (v.end) {
    case End::Converged:
      ASSERT_TRUE(contains(l, "Solution converged")) << l;
      EXPECT_LT(largestResidual(), kResidualLimit);
      break;
    case End::Stalled:
      EXPECT_FALSE(contains(l, "Solution converged")) << l;
      ASSERT_FALSE(contains(l, "Solution diverged")) << l;
      // Its limit ends it, or the watch over residuals that stopped falling does first.
      if (IterStalled > 0) {
        EXPECT_EQ(Iter, IterStalled);
        EXPECT_TRUE(contains(l, strf("Solution stalled after %d outer iterations", Iter))) << l;
      } else {
        EXPECT_EQ(Iter, iterGlobalMax);
      }
      EXPECT_GT(largestResidual(), kResidualLimit);
      break;
    case End::Diverged:
      EXPECT_FALSE(contains(l, "Solution converged")) << l;
      EXPECT_TRUE(contains(l, "Solution diverged after 1 inner and ")) << l;
      return;
  }

  const Field f = currentField();
  EXPECT_LE(difference(simple, f), v.tolerance);
  test::expectWaterConserved();

  if (FlagSIMPLE == 1) {
    // 1/Ap of the relaxed u equation is r / (S + sum of anb), the SIMPLEC factor
    // r / (S + (1 - r) sum of anb), with S >= 0 from the walls: their ratio lies between 1
    // and 1 / (1 - r).
    const double r = relaxVelocity;
    for (int c = 1; c <= NoCells; ++c) {
      SCOPED_TRACE(c);
      ASSERT_TRUE(std::isfinite(CinvApP[c]));
      ASSERT_GT(CinvAp[c], 0.0);
      const double ratio = CinvApP[c] / CinvAp[c];
      EXPECT_GE(ratio, 1.0 - 1e-12);
      EXPECT_LE(ratio, (1.0 + 1e-12) / (1.0 - r));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(F171, SimpleVariants, ::testing::ValuesIn(kVariants),
                         [](const ::testing::TestParamInfo<Variant>& i) {
                           return std::string(i.param.name);
                         });

}  // namespace
}  // namespace qorva
