// Formatted reading of control values: C formatted-input semantics, except that a failed read
// leaves the letters of the next data set for the scan.
#include <gtest/gtest.h>

#include "driver/control.h"

namespace qorva {
namespace {

TEST(ControlInput, ReadsIntegersLikePercentD) {
  struct Case { const char* text; bool ok; int value; int next; };
  const Case cases[] = {
      {"  42 x", true, 42, ' '},
      {"\n\t-7", true, -7, -1},
      {"+3.5", true, 3, '.'},      // the fraction is left for whoever reads next
      {"12abc", true, 12, 'a'},
      {"abc", false, 0, 'a'},
      {"-F 3", false, 0, '-'},     // a sign alone is no number
      {"99999999999", false, 0, '9'},  // does not fit an int
      {"", false, 0, -1},
  };
  for (const Case& c : cases) {
    ControlInput in(c.text);
    int v = 0;
    EXPECT_EQ(in.readInt(v), c.ok) << c.text;
    EXPECT_EQ(v, c.value) << c.text;
    EXPECT_EQ(in.peek(), c.next) << c.text;
  }
}

TEST(ControlInput, ReadsDoublesLikePercentLf) {
  struct Case { const char* text; bool ok; double value; int next; };
  const Case cases[] = {
      {"1.5", true, 1.5, -1},
      {" -2e-3 ", true, -2e-3, ' '},
      {".25x", true, 0.25, 'x'},
      {"3.", true, 3.0, -1},
      {"7E2", true, 700.0, -1},
      {"5e", true, 5.0, 'e'},       // an exponent without digits ends the number before it
      {"1e+x", true, 1.0, 'e'},
      {"INF", false, 0, 'I'},       // I and N start data sets, not infinity or NaN
      {"NAN", false, 0, 'N'},
      {"nan", false, 0, 'n'},
      {"1e999", false, 0, '1'},     // out of range is no value
      {"-", false, 0, '-'},
  };
  for (const Case& c : cases) {
    ControlInput in(c.text);
    double v = 0;
    EXPECT_EQ(in.readDouble(v), c.ok) << c.text;
    EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    EXPECT_EQ(in.peek(), c.next) << c.text;
  }
}

TEST(ControlInput, LetterSkipsWhiteSpaceWordIsBounded) {
  ControlInput in("  \n R  averyveryverylongname");
  char c = 0;
  ASSERT_TRUE(in.readLetter(c));
  EXPECT_EQ(c, 'R');
  std::string w;
  ASSERT_TRUE(in.readWord(w, 5));
  EXPECT_EQ(w, "avery");
  ControlInput empty("   ");
  EXPECT_FALSE(empty.readLetter(c));
}

}  // namespace
}  // namespace qorva
