// The text of a number in a restart file: as short as it can be and still read back as the
// same double.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "files/files.h"

namespace qorva {
namespace {

TEST(ExactNumber, ShortestTextThatReadsBack) {
  struct Case {
    double v;
    const char* text;
  };
  const Case cases[] = {
      {0.0, "0"},
      {2.0, "2"},
      {-2.5, "-2.5"},
      {0.1, "0.1"},                       // not 0.10000000000000001
      {0.3, "0.3"},
      {0.1 + 0.2, "0.30000000000000004"},  // 17 digits where 15 and 16 do not read back
      {1.0 / 3, "0.3333333333333333"},
      {2.0 / 3, "0.6666666666666666"},
      {-0.0044740293, "-0.0044740293"},
      {1e-20, "1e-20"},
      {8.9866770000000006, "8.986677"},
      {-10.0, "-10"},
      {1234567.0, "1234567"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(exactNumber(c.v), c.text);
  }
}

// Whatever the double, its text reads back as that double: random bit patterns of finite
// numbers over the whole range, and the neighbours of a few plain values.
TEST(ExactNumber, EveryFiniteDoubleReadsBack) {
  std::mt19937_64 random(36);
  int checked = 0;
  for (int n = 0; n < 20000; ++n) {
    double v;
    const unsigned long long bits = random();
    static_assert(sizeof v == sizeof bits);
    std::memcpy(&v, &bits, sizeof v);
    if (!std::isfinite(v)) continue;
    const std::string t = exactNumber(v);
    ASSERT_EQ(std::strtod(t.c_str(), nullptr), v) << t;
    ++checked;
  }
  EXPECT_GT(checked, 19000);
  for (double v : {0.1, 1.0, 600.0, -0.3}) {
    const double up = std::nextafter(v, 1e300), down = std::nextafter(v, -1e300);
    EXPECT_EQ(std::strtod(exactNumber(up).c_str(), nullptr), up);
    EXPECT_EQ(std::strtod(exactNumber(down).c_str(), nullptr), down);
    EXPECT_NE(exactNumber(up), exactNumber(v));
  }
}

}  // namespace
}  // namespace qorva
