// The log helpers, the run end, and the numbered names of result series.
#include <gtest/gtest.h>

#include "state/log.h"
#include "state/status.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using LogTest = test::Scratch;

TEST_F(LogTest, AppendsToBoogie) {
  logf("a %d\n", 1);
  logf("b %s\n", "x");
  EXPECT_EQ(log(), "a 1\nb x\n");
}

TEST_F(LogTest, FailAppendsAndEndsWithStatus) {
  try {
    failf(-6, "bad %d\n", 3);
    FAIL();
  } catch (const RunEnd& e) {
    EXPECT_EQ(e.status, -6);
  }
  EXPECT_EQ(log(), "bad 3\n");
}

TEST_F(LogTest, UnopenableLogEndsWithMinusThree) {
  std::filesystem::create_directory("boogie");  // a folder cannot be opened for appending
  try {
    logf("x");
    FAIL();
  } catch (const RunEnd& e) {
    EXPECT_EQ(e.status, -3);
  }
  EXPECT_EQ(mc_message, "cannot open file 'boogie' ");
}

TEST_F(LogTest, NumberedNamesTakeTheFirstFreeOne) {
  EXPECT_EQ(nextFreeName("compres"), "compres");
  write("compres", "");
  EXPECT_EQ(nextFreeName("compres"), "compres.001");
  for (int n = 1; n <= 9; ++n) write(strf("compres.00%d", n), "");
  EXPECT_EQ(nextFreeName("compres"), "compres.010");
  for (int n = 10; n <= 99; ++n) write(strf("compres.0%d", n), "");
  EXPECT_EQ(nextFreeName("compres"), "compres.100");
}

TEST_F(LogTest, NotAvailableSaysWhatAndEndsWithOne) {
  try {
    notAvailable("the sediment computation (task S)");
    FAIL();
  } catch (const RunEnd& e) {
    EXPECT_EQ(e.status, 1);
  }
  EXPECT_EQ(log(), "Not available in this version: the sediment computation (task S)\n");
}

}  // namespace
}  // namespace qorva
