// The program entry and the task driver: control created when missing, the walk over the task
// letters, passes, and the exit statuses.
#include <gtest/gtest.h>

#include <string>

#include "driver/driver.h"
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
      {"F 2 S\n", 1, "Not available in this version: the sediment computation (task S)\n"},
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

}  // namespace
}  // namespace qorva
