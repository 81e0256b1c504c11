// The accelerators on a long reach: a straight rough flume of 100 cross-sections converges in
// far fewer outer iterations with the block correction (K 5 1) or the multigrid (F 168 with
// K 5 10) on the pressure correction, and to the same flow as without them.
//
// Without an accelerator the pressure correction carries a change of discharge along the reach
// only by its point sweeps, a few cells per inner iteration; the line correction of each
// cross-section, or the column-summed levels of the multigrid, move it along the whole reach at
// once. The flume: 50 m long (100 cross-sections of 0.5 m), 1 m wide in two columns, 0.5 m
// deep in four layers, ks = 1 cm on bed and walls, 0.38 m3/s (0.76 m/s), water surface fixed.
// Both accelerated runs must need at most a quarter of the outer iterations of the plain run,
// and their velocities may differ from its by no more than 1e-4 of the largest velocity: all
// three stop at the same residual (0.001), so they differ by less than that.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "driver/control.h"
#include "driver/driver.h"
#include "state/cells.h"
#include "state/status.h"
#include "support/scratch.h"

namespace qorva {
namespace {

struct FlumeRun {
  int status = 0;
  int iterations = 0;
  bool converged = false;
  std::vector<double> u, v, w;
};

class AcceleratedFlume : public test::Scratch {
 protected:
  static FlumeRun run(const std::string& sets) {
    std::string k;
    char line[128];
    for (int i = 1; i <= 101; ++i)
      for (int j = 1; j <= 3; ++j) {
        const double x = 0.5 * (i - 1), y = 0.5 * (j - 1), zb = -0.001 * x;
        std::snprintf(line, sizeof line, "%d %d %f %f %f %f\n", i, j, x, y, zb, zb + 0.5);
        k += line;
      }
    std::remove("boogie");
    SetArraysZero();
    setDefaults();
    write("koosurf", k);
    write("control", "T Long flume\nG 1 103 5 6 1\nF 314 1 1\nF 237 1 0.38\nF 237 2 0.38\n"
                     "F 16 0.01\n" + sets + "F 2 YW\n");
    FlumeRun r;
    r.status = programMain() & 255;
    r.iterations = Iter;
    r.converged = log().find("Solution converged") != std::string::npos;
    r.u.assign(Cxvel.data() + 1, Cxvel.data() + NoCells + 1);
    r.v.assign(Cyvel.data() + 1, Cyvel.data() + NoCells + 1);
    r.w.assign(Czvel.data() + 1, Czvel.data() + NoCells + 1);
    return r;
  }

  // The plain run, made once for the tests of this file.
  static const FlumeRun& plain() {
    static const FlumeRun r = run("");
    return r;
  }

  static void expectFasterAndTheSame(const FlumeRun& a) {
    const FlumeRun& p = plain();
    ASSERT_EQ(p.status, 1);
    ASSERT_TRUE(p.converged);
    ASSERT_EQ(a.status, 1);
    ASSERT_TRUE(a.converged);
    ASSERT_EQ(a.u.size(), 800u);
    ASSERT_EQ(p.u.size(), a.u.size());
    RecordProperty("plain_iterations", p.iterations);
    RecordProperty("accelerated_iterations", a.iterations);
    EXPECT_LE(4 * a.iterations, p.iterations) << a.iterations << " against " << p.iterations;
    double largest = 0, diff = 0;
    for (std::size_t c = 0; c < p.u.size(); ++c) {
      largest = std::max({largest, std::fabs(p.u[c]), std::fabs(p.v[c]), std::fabs(p.w[c])});
      diff = std::max({diff, std::fabs(p.u[c] - a.u[c]), std::fabs(p.v[c] - a.v[c]),
                       std::fabs(p.w[c] - a.w[c])});
    }
    EXPECT_GT(largest, 0.7);
    EXPECT_LT(diff, 1e-4 * largest) << diff << " of " << largest;
  }
};

TEST_F(AcceleratedFlume, BlockCorrectionOfThePressureCorrection) {
  expectFasterAndTheSame(run("K 5 0 0 0 1 0 0\n"));
}

TEST_F(AcceleratedFlume, MultigridOfThePressureCorrection) {
  expectFasterAndTheSame(run("F 168 3\nK 5 0 0 0 10 0 0\n"));
}

}  // namespace
}  // namespace qorva
