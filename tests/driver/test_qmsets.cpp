// Data sets Q (water-quality terms and names) and M (inflow concentrations).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "state/options.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using QMsets = test::Scratch;

TEST_F(QMsets, Refusals) {
  struct Case { int components; const char* text; int status; const char* message; };
  const Case cases[] = {
      {0, "Q 2 0 1 0.5", 1, "Input error for Q 2 in control\n"},      // no components (no F 50)
      {3, "Q 10001 0", 1, "Input error for Q 10001 in control\n"},
      {3, "Q 2 3 1 0.5", 1, "Input error for Q 2 in control\n"},      // component must be below 3
      {3, "Q 3 0 3 1 0.5", 1, "Input error for Q 3 0 in control\n"},  // reference 3 is too large
      {3, "Q 2 1 4 0.5", 1, "Input error for Q 2 1 in control\n"},    // code 2 allows up to 3
      {3, "Q 151 1 0 1 2 3 4\nF 20 2", 1, "Input error for Q 151 1 in control\n"},
      {3, "Q 0 1 ", 1, "Input error for Q 0 1 in control\n"},
      {0, "M 0 1 0.5", 1, "Error for M 0 data set\nFirst integer must be between 1 and 9\n"},
      {0, "M 10 1 0.5", 1, "Error for M 10 data set\nFirst integer must be between 1 and 9\n"},
      {0, "M 3 -1 0.5", 1,
       "Error for M 3 -1 data set\n"
       "Second integer less than zero, or larger than what is given on F 50 data set\n"},
      {0, "M 3 2 0.5", 1,  // one sediment size, no components
       "Error for M 3 2 data set\n"
       "Second integer less than zero, or larger than what is given on F 50 data set\n"},
      {0, "M 3 1 x", 1, "Error for M 3 1 data set\n"},
  };
  expectRefusals(cases, [](const Case& c) {
    NoComponents = c.components;  // as F 50 would give
  });
}

TEST_F(QMsets, TermsAreStoredInOrderOfAppearance) {
  NoComponents = 3;
  EXPECT_EQ(scan("Q 2 1 2 0.5 Q 42 0 1 2 3 4 Q 7 0 Q 340 2 0 1 2 1.5 2.5 3.5 4.5"), 1000) << log();
  ASSERT_EQ(NoTerms, 3);  // code 7 reads and stores nothing
  EXPECT_EQ(QTerms[0].code, 2);
  EXPECT_EQ(QTerms[0].component, 1);
  EXPECT_EQ(QTerms[0].ref[0], 2);
  EXPECT_EQ(QTerms[0].coef[0], 0.5);
  EXPECT_EQ(QTerms[1].code, 42);
  EXPECT_EQ(QTerms[1].coef[3], 4.0);
  EXPECT_EQ(QTerms[1].ref[0], 0);
  EXPECT_EQ(QTerms[2].ref[2], 2);
  EXPECT_EQ(QTerms[2].coef[3], 4.5);
  EXPECT_EQ(QTerms[2].coef[4], 0.0);
}

// A name fills a row of 39 characters; a longer one is refused rather than cut.
TEST_F(QMsets, ComponentNamesLongerThanTheirRowAreRefused) {
  NoComponents = 2;
  EXPECT_EQ(scan("Q 0 0 Oxygen Q 0 1 " + std::string(39, 'a')), 1000);
  EXPECT_EQ(std::string(QualityName[0].data()), "Oxygen");
  EXPECT_EQ(std::string(QualityName[1].data()), std::string(39, 'a'));
  EXPECT_EQ(scan("Q 0 1 " + std::string(40, 'a')), 1);
  EXPECT_NE(log().find("the name is longer than 39 characters"), std::string::npos);
}

// A term's component reference must name a component (not one past the last), and no more
// than 20 M data sets fit the inflow columns of timei.
TEST_F(QMsets, ReferencesAndInflowsThatDoNotFitAreRefused) {
  NoComponents = 3;
  EXPECT_EQ(scan("Q 2 1 3 0.5"), 1);
  EXPECT_NE(log().find("Input error for Q 2 1 in control"), std::string::npos);
  std::string m;
  for (int g = 0; g < 21; ++g) m += "M " + std::to_string(1 + g % 9) + " " + std::to_string(g % 3) + " 1.0 ";
  EXPECT_EQ(scan(m), 1);
  EXPECT_NE(log().find("More than 20 M data sets"), std::string::npos);
}

// Each code of the term table reads its references, then its coefficients, and nothing more:
// the data set after it is read as a data set. One value fewer is refused.
TEST_F(QMsets, EachTermCodeReadsItsOwnValues) {
  struct Format {
    std::vector<int> codes;
    int ints;
    int doubles;
  };
  const Format formats[] = {
      {{1, 5, 11, 1001, 2001}, 0, 1},   {{2, 113, 1002, 1012, 2002}, 1, 1},
      {{3, 1003, 2003}, 2, 1},          {{4, 221, 1004, 2004}, 2, 2},
      {{120, 121, 122, 123}, 1, 2},     {{131, 132, 133}, 1, 3},
      {{151, 152}, 1, 5},               {{161, 162}, 1, 6},
      {{17}, 1, 7},                     {{230}, 2, 3},
      {{251, 252}, 2, 5},               {{261}, 2, 6},
      {{272}, 2, 7},                    {{281, 282}, 2, 8},
      {{291}, 2, 9},                    {{340}, 3, 4},
      {{361}, 3, 6},                    {{371}, 3, 7},
      {{2149}, 4, 9},                   {{6100}, 6, 10},
      {{42}, 0, 4},                     {{51}, 0, 5},
      {{81}, 0, 8},                     {{1060}, 0, 6},
      {{1102}, 0, 2},                   {{2030}, 0, 3},
  };
  for (const Format& f : formats) {
    for (int code : f.codes) {
      std::string values;
      for (int n = 0; n < f.ints; ++n) values += " 2";
      for (int n = 1; n < f.doubles; ++n) values += " 0.5";
      const std::string head = "Q " + std::to_string(code) + " 1" + values;
      SCOPED_TRACE(head);
      fresh();
      NoComponents = 3;
      ASSERT_EQ(scan(head + " 7.5 F 20 4"), 1000) << log();
      ASSERT_EQ(NoTerms, 1);
      EXPECT_EQ(QTerms[0].code, code);
      EXPECT_EQ(QTerms[0].component, 1);
      if (f.ints > 0) {
        EXPECT_EQ(QTerms[0].ref[f.ints - 1], 2);
      }
      EXPECT_EQ(QTerms[0].coef[f.doubles - 1], 7.5);
      EXPECT_EQ(IterF2, 4);
      fresh();
      NoComponents = 3;
      EXPECT_EQ(scan(head), 1);
      EXPECT_EQ(log(), "Input error for Q " + std::to_string(code) + " 1 in control\n");
    }
  }
}

TEST_F(QMsets, TheTermTableDoesNotOverflow) {
  NoComponents = 1;
  std::string text;
  for (int n = 0; n < 200; ++n) text += "Q 1 0 0.5 ";
  EXPECT_EQ(scan(text), 1000);
  EXPECT_EQ(NoTerms, 200);
  EXPECT_EQ(scan("Q 1 0 0.5"), 1);
  EXPECT_EQ(NoTerms, 200);
}

TEST_F(QMsets, InflowConcentrationsAndTheirOrder) {
  EXPECT_EQ(CompInflow[3].order[2], -1);
  NoComponents = 3;
  EXPECT_EQ(scan("M 3 2 0.8 M 1 0 0.1 M 3 2 0.9"), 1000) << log();
  EXPECT_EQ(CompInflow[3].value[2], 0.9);   // the later data set overwrites
  EXPECT_EQ(CompInflow[3].order[2], 2);     // and takes a new order number
  EXPECT_EQ(CompInflow[1].order[0], 1);
  EXPECT_EQ(CompInflowNo, 3);
}

TEST_F(QMsets, SedimentSizesUpToFiftyHaveTheirPlace) {
  lnumber = 50;
  EXPECT_EQ(scan("M 9 50 2.5"), 1000) << log();
  EXPECT_EQ(CompInflow[9].value[50], 2.5);
}

}  // namespace
}  // namespace qorva
