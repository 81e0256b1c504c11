// The program entry and the task driver: control created when missing, the walk over the task
// letters, passes, and the exit statuses.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "driver/driver.h"
#include "support/flume.h"
#include "state/options.h"
#include "state/status.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using TaskDriver = test::Scratch;

bool contains(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

TEST_F(TaskDriver, MissingControlIsCreatedAndTheRunEndsNormally) {
  EXPECT_EQ(programMain(), 1);
  EXPECT_EQ(read("control"), "no values given\n");
  const std::string l = log();
  EXPECT_EQ(l.rfind("Qorva 2.550 output file. 11. December 2023.\nIn kread \n\n", 0), 0u) << l;
  EXPECT_EQ(mc_message, " Initial run finished       ");
}

TEST_F(TaskDriver, ExitStatusesOfTheWalk) {
  struct Case { const char* control; int status; const char* logPart; };
  const Case cases[] = {
      {"F 2 TX\n", 0, ""},
      {"F 2 TtX\n", 0, ""},                 // lower-case letters are skipped
      {"F 2 T1X\n", 0, ""},                 // so are digits
      {"F 2 TTTTTTTTTX\n", 1, ""},          // X at position 10 is never walked
      {"F 2 XW\n", 0, ""},                  // nothing after X runs
      {"F 7 NF\n", 255, "Error for F 7 data set in control file\n"},
      {"F 37 1 F 2 W\n", 251, "Error in control file. The F 37 data set should not be used\n"
                              "when computing only water flow (F 2 W)\n\n"},
      {"F 2 S\n", 1,
       "Error: the sediment computation needs a grid: a task Y, U or B before S in F 2\n"},
  };
  for (const Case& c : cases) {
    SetArraysZero();
    write("control", c.control);
    const int status = programMain() & 255;
    EXPECT_EQ(status, c.status) << c.control;
    EXPECT_TRUE(contains(log(), c.logPart)) << c.control << log();
  }
}

TEST_F(TaskDriver, TaskEOnlyWithComponents) {
  // Without components E does nothing and the walk reaches X.
  write("control", "F 2 EX\n");
  EXPECT_EQ(programMain(), 0);
}

TEST_F(TaskDriver, TaskNOnlyForItsTwoValues) {
  // Letter N with F 248 left at 0 does nothing.
  write("control", "F 2 NX\n");
  EXPECT_EQ(programMain(), 0);
}

TEST_F(TaskDriver, TransientRunReadsTimeSeriesBeforeTheFlow) {
  // Falling times in timei stop the walk at W, before any flow is computed.
  write("control", "F 33 10 1 F 2 W\n");
  write("timei", "H 0 1 2\nH 10 1 2\nH 5 1 2\n");
  EXPECT_EQ(programMain(), 1);
  EXPECT_TRUE(contains(log(), "Error in timei file: code 9\n"));
  EXPECT_FALSE(contains(log(), "Not available in this version"));
}

TEST_F(TaskDriver, BlockDivisionFlagFollowsLetterA) {
  write("control", "F 2 TX\n");
  EXPECT_EQ(programMain(), 0);
  EXPECT_EQ(FlagMPIkoosurf, 0);
  SetArraysZero();
  write("control", "F 2 A\n");
  EXPECT_EQ(programMain(), -123);  // no block division given (F 308)
  EXPECT_EQ(FlagMPIkoosurf, 1);
}

std::size_t count(const std::string& s, std::string_view part) {
  std::size_t n = 0;
  for (auto at = s.find(part); at != std::string::npos; at = s.find(part, at + part.size())) ++n;
  return n;
}

// The flume's grid written to `unstruc` by one run, for the runs that read it back with U.
class TaskDriverOnAGrid : public test::Scratch {
 protected:
  static constexpr const char* kFlumeSets =
      "T Straight flume\nG 1 14 7 11 1\nF 314 1 1\nF 237 1 0.03\nF 237 2 0.03\n";

  void SetUp() override {
    test::Scratch::SetUp();
    write("koosurf", test::flumeGeometry());
    write("control", std::string(kFlumeSets) + "F 2 YHX\n");
    ASSERT_EQ(programMain(), 0) << log();
    ASSERT_TRUE(std::filesystem::exists("unstruc"));
  }

  int runWith(const std::string& sets) {
    std::remove("boogie");
    SetArraysZero();
    setDefaults();
    write("control", kFlumeSets + sets);
    return programMain() & 255;
  }
};

// Each read of the grid reports its first discharge group once.
constexpr std::string_view kGridRead = "In ReadUnstructure:\nGroup 1,";

TEST_F(TaskDriverOnAGrid, EveryPassRunsEachLetterButUOnlyTheFirst) {
  // Two letters U in the first pass read the grid twice; the second pass reads it no more.
  ASSERT_EQ(runWith("F 20 2\nF 2 UU\n"), 1);
  EXPECT_EQ(count(log(), kGridRead), 2u) << log();

  // With two passes over UW the grid is read once and the flow computed twice.
  ASSERT_EQ(runWith("F 20 2\nF 2 UW\n"), 1);
  const std::string l = log();
  EXPECT_EQ(count(l, kGridRead), 1u) << l;
  EXPECT_EQ(count(l, "Solution converged\n"), 2u) << l;
  EXPECT_EQ(mc_message, " Initial run finished       ");
}

// The outer iteration result.end gives ("Results, iter = N"), or -1.
int resultIteration(const std::string& result) {
  const auto at = result.find("Results, iter = ");
  return at == std::string::npos ? -1 : std::atoi(result.c_str() + at + 16);
}

TEST_F(TaskDriverOnAGrid, ConvergenceNamesItsOuterIterationAndTheRunItsTime) {
  ASSERT_EQ(runWith("K 5 0 0 0 1 0 0\nF 2 UW\n"), 1);
  const std::string l = log();
  // The old line stays; the count follows it and is the iteration of the result written.
  const auto at = l.find("Solution converged\nSolution converged after ");
  ASSERT_NE(at, std::string::npos) << l;
  const int n =
      std::atoi(l.c_str() + at + std::string("Solution converged\nSolution converged after ").size());
  EXPECT_GT(n, 1);
  EXPECT_EQ(n, resultIteration(read("result.end")));
  EXPECT_TRUE(contains(l, strf("Solution converged after %d outer iterations\n", n))) << l;
  EXPECT_EQ(IterConverged, n);
  EXPECT_FALSE(contains(l, "No result was written")) << l;
  // The last line: the exit status and the wall time.
  const auto end = l.rfind("Run ended with exit status 1 after ");
  ASSERT_NE(end, std::string::npos) << l;
  EXPECT_EQ(l.find('\n', end), l.size() - 1) << l;
  EXPECT_TRUE(contains(l.substr(end), " seconds (wall-clock time)\n")) << l;
}

TEST_F(TaskDriverOnAGrid, FlowAtItsIterationLimitSaysThatNoResultWasWritten) {
  struct Case {
    const char* sets;
    bool said;    // the lines that no result was written and which letter writes it
    bool result;  // result.end written
  };
  const Case cases[] = {
      {"K 1 3 50000\nF 2 UW\n", true, false},
      {"K 1 3 50000\nF 2 UWM\n", false, true},   // M writes the last iteration
      {"K 1 3 50000\nF 2 UWXM\n", true, false},  // an M after X is never reached
      // results after every iteration, under numbered names (result.0000, ...)
      {"K 1 3 50000\nP 15 1\nF 2 UW\n", false, false},
      {"K 5 0 0 0 1 0 0\nF 2 UW\n", false, true},      // converged: the driver wrote them
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sets);
    std::remove("result.end");
    runWith(c.sets);
    const std::string l = log();
    EXPECT_EQ(contains(l, "No result was written: the flow ended at its iteration limit, K 1 3, "
                          "before it converged (largest residual "),
              c.said) << l;
    EXPECT_EQ(contains(l, "), and no task M follows W in F 2\nTask M after W (F 2 YWM or UWM) "
                          "writes the results of the last iteration; more iterations (K 1) or "
                          "an accelerator (K 5 0 0 0 1 0 0) let a steady flow converge\n"),
              c.said) << l;
    EXPECT_EQ(std::filesystem::exists("result.end"), c.result);
  }
}

TEST_F(TaskDriverOnAGrid, WaterFlowWithoutAMatchingDriverComputesNothing) {
  // F 68 2 is no driver's switch: W goes on to the next letter without a flow computation.
  ASSERT_EQ(runWith("F 68 2\nF 2 UW\n"), 1);
  const std::string l = log();
  EXPECT_EQ(count(l, kGridRead), 1u) << l;
  EXPECT_FALSE(contains(l, "Iter:")) << l;
  EXPECT_FALSE(contains(l, "Solution")) << l;
  EXPECT_EQ(mc_message, " Initial run finished       ");
}

TEST_F(TaskDriver, SedimentInflowFromBothTimeiAndMDataSetsEndsAfterTheWalk) {
  // A transient sediment run whose discharge series comes from timei (read by task G).
  const std::string sets = "G 1 10 8 5 1\nF 33 10 1\nF 37 1\nF 64 11\n";
  write("timei", "D 0 1 1 1 1 1 1 1 1 1\nD 10 1 1 1 1 1 1 1 1 1\n");
  struct Case { std::string extra; int status; };
  const Case cases[] = {
      {"M 1 1 0.5\n", 250},  // -6
      {"", 1},                // the inflow comes from timei alone
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.extra);
    std::remove("boogie");
    SetArraysZero();
    setDefaults();
    write("control", sets + c.extra + "F 2 G\n");
    EXPECT_EQ(programMain() & 255, c.status);
    EXPECT_EQ(contains(log(), "Error: Sediment inflow can not be specified in both the timei file and\n"
                              "on the M data sets in the control file\n\n"),
              c.status != 1)
        << log();
    // The walk was over before the check.
    EXPECT_EQ(mc_message, " Initial run finished       ");
  }
}

}  // namespace
}  // namespace qorva
