// The water-level equations on a sloping rough flume, end to end: the whole program on a
// flume of 20 x 2 columns of 0.5 m (10 m x 1 m, seven cells a column), bed slope 0.001,
// roughness 1 cm, side walls without friction, 0.11944 m3/s, started from a surface parallel
// to the bed 0.2 m above it. The reference is the outlet column (21, 2) of outflow group 2.
//
// - The level equations of F 36 4, 7 and 8 reach the levels of the pressure-based update of
//   F 36 0, and the level change of their updates shrinks (the trace boogie-t).
// - The thread count of the flow does not change the levels.
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "state/arrays.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/structured.h"
#include "support/scratch.h"

namespace qorva {
namespace {

constexpr double kSlope = 0.001, kQ = 0.11944;

struct FlumeLevels {
  int status = 0;
  std::vector<double> level;  // mean over the flume's width, node lines i = 1..21
  std::vector<double> change;  // per trace record, the mean depth after less before
  std::string log;
};

class LevelFlume : public test::Scratch {
 protected:
  // `sets` are added to the flume's control file.
  FlumeLevels run(const std::string& sets, int iterations) {
    SetArraysZero();
    setDefaults();
    std::string k;
    char line[128];
    for (int i = 1; i <= 21; ++i)
      for (int j = 1; j <= 3; ++j) {
        const double x = 0.5 * (i - 1), bed = -kSlope * x;
        std::snprintf(line, sizeof line, "%d %d %f %f %f %f\n", i, j, x, 0.5 * (j - 1), bed,
                      bed + 0.2);
        k += line;
      }
    write("koosurf", k);
    // Cell 134 is the bottom cell of the outlet column (21, 2).
    write("control", strf("T Level flume\nG 1 24 6 8 1\nF 314 1 1\nF 237 1 %.5f\n"
                          "F 237 2 %.5f\nF 16 0.01\nF 70 1\nF 87 0\nF 174 100\n"
                          "G 6 134 0 2 0.1 1.0\nF 1 C\nK 1 %d 50000\n%sF 2 YW\n",
                          kQ, kQ, iterations, sets.c_str()));
    FlumeLevels r;
    r.status = programMain() & 255;
    r.log = log();
    if (NoCells <= 0) return r;
    const GridBlock& b = block[1];
    for (int i = b.i1 - 1; i <= b.i2; ++i) {
      double z = 0;
      for (int j = b.j1 - 1; j <= b.j2; ++j) z += zval[i][j][znumber];
      r.level.push_back(z / (b.j2 - b.j1 + 2));
    }
    std::istringstream trace(read("boogie-t"));
    std::string record;
    std::getline(trace, record);  // header
    while (std::getline(trace, record)) {
      std::istringstream words(record);
      std::vector<double> v;
      for (double x; words >> x;) v.push_back(x);
      if (v.size() >= 14) r.change.push_back(std::fabs(v[13] - v[12]));
    }
    return r;
  }
};

TEST_F(LevelFlume, LevelEquationsReachTheLevelsOfThePressureUpdate) {
  const FlumeLevels ref = run("F 36 2\n", 700);
  ASSERT_EQ(ref.status, 1) << ref.log;
  ASSERT_EQ(ref.level.size(), 21u);
  for (int tfs : {4, 7, 8}) {
    SCOPED_TRACE(tfs);
    const FlumeLevels r = run(strf("F 36 %d\n", tfs), 700);
    ASSERT_EQ(r.status, 1) << r.log;
    ASSERT_EQ(r.level.size(), 21u);
    double worst = 0;
    for (std::size_t m = 0; m < r.level.size(); ++m) {
      EXPECT_NEAR(r.level[m], ref.level[m], 0.002) << "node line " << m + 1;
      worst = std::fmax(worst, std::fabs(r.level[m] - ref.level[m]));
    }
    std::printf("F 36 %d: largest level difference to F 36 0: %.5f m\n", tfs, worst);
    ASSERT_GE(r.change.size(), 20u);
    // The change of the last updates is a small part of that of the first ones.
    const double first = r.change[0] + r.change[1] + r.change[2];
    const double last = r.change[r.change.size() - 1] + r.change[r.change.size() - 2] +
                        r.change[r.change.size() - 3];
    EXPECT_LT(last, 0.1 * first + 1e-6);
  }
}

// The thread count of the flow solution does not change the levels of the level equation
// (the solver's own sweep, whose result depends on the threads by design, runs serially:
// G 50 switch 8).
TEST_F(LevelFlume, ThreadCountDoesNotChangeTheLevels) {
  const FlumeLevels serial = run("F 36 4\nG 50 0 0 0 0 0 0 0 0 1 0\nF 206 0\n", 100);
  const FlumeLevels threads = run("F 36 4\nG 50 0 0 0 0 0 0 0 0 1 0\nF 206 8\n", 100);
  ASSERT_EQ(serial.status, 1) << serial.log;
  ASSERT_EQ(threads.status, 1) << threads.log;
  ASSERT_EQ(serial.level.size(), threads.level.size());
  for (std::size_t m = 0; m < serial.level.size(); ++m)
    EXPECT_EQ(serial.level[m], threads.level[m]) << m + 1;
}

}  // namespace
}  // namespace qorva
