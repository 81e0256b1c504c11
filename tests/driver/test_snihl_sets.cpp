// Data sets S, N, I, H and L: defaults, accepted values, failures with their texts, and the
// table limits that the numbers of these data sets must stay inside.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "state/options.h"
#include "state/status.h"
#include "support/scratch.h"

namespace qorva {
namespace {

const std::string kNWarning =
    "Input error for N data set in control file: in Qorva 2 there is only\n"
    "one grain size distribution for the N data sets, and it has number 0.\n"
    "If you want a spatially varying grain size distribution, use the fracres file\n\n";
const std::string kIWarning =
    "Warning, the values on the I data set in the control file are not used in Qorva 2\n"
    "Use the timei file or the M data set instead\n\n";

struct Case {
  int lnumber;
  std::string text;
  int status;  // 1000: read through
  std::string message;
  std::function<void()> expect;
};

class SnihlTest : public test::Scratch {
 protected:
  // lnumber and FlagFlocDLL belong to other data sets; the cases set them directly.
  void SetUp() override {
    test::Scratch::SetUp();
    savedL_ = lnumber;
    savedFloc_ = FlagFlocDLL;
  }
  void TearDown() override {
    lnumber = savedL_;
    FlagFlocDLL = savedFloc_;
    test::Scratch::TearDown();
  }
  // Each case starts from the defaults with its own grain-size count.
  static void runCases(const std::vector<Case>& cases) {
    expectRefusals(
        cases, [](const Case& c) { lnumber = c.lnumber; },
        [](const Case& c) {
          if (c.expect) c.expect();
        });
  }

 private:
  int savedL_ = 0, savedFloc_ = 0;
};

TEST_F(SnihlTest, DefaultsBeforeReading) {
  for (int i = 0; i < 52; ++i) {
    EXPECT_EQ(gsize[i], 0.0) << i;
    EXPECT_EQ(fallvelo[i], 0.0) << i;
  }
  for (int n = 0; n < 20; ++n)
    for (int l = 0; l < 51; ++l)
      EXPECT_EQ(SedimentSample[n][l], n == 0 && l == 1 ? 1.0 : 0.0) << n << " " << l;
  EXPECT_EQ(SampleNo, 0);
  EXPECT_EQ(FlagReadNdata, 0);
  EXPECT_EQ(inflow[0], 0.0);
  EXPECT_EQ(inflow[50], 0.0);
  for (int n = 0; n < 14; ++n) EXPECT_EQ(Bio[n].count, 0) << n;
  const double values[] = {-1.0, -0.1, -0.01, 0.01, 0.1, 1.0, 100.0};
  const int first[] = {3, 1, 2, 4, 8, 5, 7};
  EXPECT_EQ(Bio[14].count, 7);
  for (int k = 0; k < 7; ++k) {
    EXPECT_EQ(Bio[14].value[k], values[k]) << k;
    EXPECT_EQ(Bio[14].firstCode[k], first[k]) << k;
    EXPECT_EQ(Bio[14].secondCode[k], 2) << k;
  }
  EXPECT_EQ(contourNo, 0);
  EXPECT_EQ(contourLevels[19], 0.0);
}

TEST_F(SnihlTest, DefaultsAreRestoredAfterValuesWereRead) {
  lnumber = 3;
  ASSERT_EQ(scan("S 1 0.002 0.2 N 2 1 0.5 I 1 3.0 H 14 1 0.5 1 1 L 2 1 2"), 1000);
  setDefaults();
  EXPECT_EQ(gsize[1], 0.0);
  EXPECT_EQ(SedimentSample[2][1], 0.0);
  EXPECT_EQ(SedimentSample[0][1], 1.0);
  EXPECT_EQ(SampleNo, 0);
  EXPECT_EQ(FlagReadNdata, 0);
  EXPECT_EQ(inflow[1], 0.0);
  EXPECT_EQ(Bio[14].count, 7);
  EXPECT_EQ(Bio[14].value[0], -1.0);
  EXPECT_EQ(contourNo, 0);
  EXPECT_EQ(contourLevels[0], 0.0);
}

TEST_F(SnihlTest, SedimentSizes) {
  const std::string badFirst = "Input error for S in control: incorrect first integer\n";
  const std::vector<Case> cases = {
      {3, "S 1 0.002 0.2 S 2 0.001 0.1 S 3 0.0008 0.05 S 4 0.0005 0.01", 1000, "",
       [] {
         EXPECT_EQ(gsize[1], 0.002);
         EXPECT_EQ(fallvelo[1], 0.2);
         EXPECT_EQ(gsize[2], 0.001);
         EXPECT_EQ(gsize[4], 0.0005);
         EXPECT_EQ(fallvelo[4], 0.01);
       }},
      {3, "S 5 0.0005 0.01", 1, badFirst, nullptr},
      {3, "S 0 0.0005 0.01", 1, badFirst, nullptr},
      {3, "S -1 0.0005 0.01", 1, badFirst, nullptr},
      // The highest size of the largest grain-size count has its place in the tables.
      {50, "S 51 0 -3", 1000, "",
       [] {
         EXPECT_EQ(gsize[51], 0.0);
         EXPECT_EQ(fallvelo[51], -3.0);
       }},
      {50, "S 52 0 0", 1, badFirst, nullptr},
      {1, "S 1 1e6 -1e6", 1000, "", [] { EXPECT_EQ(fallvelo[1], -1e6); }},
      {1, "S 1 -0.1 0.1", 1, "Input error for S in control in second or third float for i=1\n", nullptr},
      {1, "S 1 1.1e6 0.1", 1, "Input error for S in control in second or third float for i=1\n", nullptr},
      {1, "S 2 0 -1.1e6", 1, "Input error for S in control in second or third float for i=2\n", nullptr},
      {1, "S 1 0.1", 1, "Input error for S in control in second or third float for i=1\n", nullptr},
      {2, "S 1 0.002 0.2 S 2 0.003 0.1", 1,
       "Input error for S 2 in control file: The coarsest sediment sizes have to be given first\n",
       [] { EXPECT_EQ(gsize[2], 0.003); }},
      // The size before is compared, even when it was never given.
      {2, "S 2 0.001 0.1", 1,
       "Input error for S 2 in control file: The coarsest sediment sizes have to be given first\n", nullptr},
      {2, "S 1 0.002 0.2 S 2 0.002 0.1", 1000, "", nullptr},
      // Size 1 has nothing before it to be compared with.
      {2, "S 1 0.004 0.3 S 2 0.002 0.2 S 1 0.001 0.1", 1000, "", [] { EXPECT_EQ(gsize[1], 0.001); }},
  };
  runCases(cases);
}

TEST_F(SnihlTest, FlocculationLetsTheSizesComeInAnyOrder) {
  lnumber = 2;
  FlagFlocDLL = 1;
  ASSERT_EQ(scan("S 1 0.002 0.2 S 2 0.003 0.1"), 1000);
  EXPECT_EQ(gsize[2], 0.003);
}

TEST_F(SnihlTest, BedGrainDistribution) {
  const std::string outside = "Input error for N data set in control file, sample %d: only samples 0 to 19 can be given\n";
  const std::vector<Case> cases = {
      {3, "N 0 3 0.4", 1000, "",
       [] {
         EXPECT_EQ(SedimentSample[0][3], 0.4);
         EXPECT_EQ(SedimentSample[0][1], 1.0);
         EXPECT_EQ(FlagReadNdata, 1);
         EXPECT_EQ(SampleNo, 0);
       }},
      // Only sample 0 is used, but another one is kept after the warning.
      {3, "N 1 3 0.4", 1000, kNWarning,
       [] {
         EXPECT_EQ(SedimentSample[1][3], 0.4);
         EXPECT_EQ(SedimentSample[0][3], 0.0);
         EXPECT_EQ(FlagReadNdata, 1);
         EXPECT_EQ(SampleNo, 1);
       }},
      {3, "N 2 1 0.5 N 0 1 0.5 N 0 2 0.5", 1000, kNWarning,
       [] {
         EXPECT_EQ(SedimentSample[0][1], 0.5);
         EXPECT_EQ(SedimentSample[0][2], 0.5);
         EXPECT_EQ(FlagReadNdata, 3);
         EXPECT_EQ(SampleNo, 2);
       }},
      {3, "N 19 49 1", 1000, kNWarning,
       [] {
         EXPECT_EQ(SedimentSample[19][49], 1.0);
         EXPECT_EQ(SampleNo, 19);
       }},
      {3, "N 0 50 0.1", 1, "Input error for N data set in control file, size 50, fraction 0.100000\n", nullptr},
      {3, "N 0 0 0.1", 1, "Input error for N data set in control file, size 0, fraction 0.100000\n", nullptr},
      {3, "N 0 3 1.5", 1, "Input error for N data set in control file, size 3, fraction 1.500000\n",
       [] { EXPECT_EQ(FlagReadNdata, 0); }},
      {3, "N 0 3 -0.25", 1, "Input error for N data set in control file, size 3, fraction -0.250000\n", nullptr},
      {3, "N 2 60 0.5", 1, kNWarning + "Input error for N data set in control file, size 60, fraction 0.500000\n",
       nullptr},
      // The table holds samples 0 to 19: other numbers are refused before anything is stored.
      {3, "N 20 3 0.4", 1, strf(outside.c_str(), 20), [] { EXPECT_EQ(FlagReadNdata, 0); }},
      {3, "N 1000000 3 0.4", 1, strf(outside.c_str(), 1000000), nullptr},
      {3, "N -1 3 0.4", 1, strf(outside.c_str(), -1), nullptr},
  };
  runCases(cases);
}

TEST_F(SnihlTest, InflowConcentrations) {
  const std::vector<Case> cases = {
      {3, "I 0 5.0", 1000, kIWarning, [] { EXPECT_EQ(inflow[0], 5.0); }},
      {3, "I 3 1.5 I 1 2", 1000, kIWarning + kIWarning,
       [] {
         EXPECT_EQ(inflow[3], 1.5);
         EXPECT_EQ(inflow[1], 2.0);
       }},
      {50, "I 50 2", 1000, kIWarning, [] { EXPECT_EQ(inflow[50], 2.0); }},
      {3, "I 4 1", 1, "Input error for I in control", nullptr},
      {3, "I -1 1", 1, "Input error for I in control", nullptr},
  };
  runCases(cases);
}

TEST_F(SnihlTest, ValueCodeTables) {
  std::string twenty = "H 2 20";
  for (int k = 0; k < 20; ++k) twenty += " " + std::to_string(k) + ".5 " + std::to_string(k % 17) + " 16";
  const std::vector<Case> cases = {
      {1, "H 2 2 0.5 0 16\n1.5 3 4", 1000, "",
       [] {
         EXPECT_EQ(Bio[2].count, 2);
         EXPECT_EQ(Bio[2].value[0], 0.5);
         EXPECT_EQ(Bio[2].firstCode[0], 0);
         EXPECT_EQ(Bio[2].secondCode[0], 16);
         EXPECT_EQ(Bio[2].value[1], 1.5);
         EXPECT_EQ(Bio[2].firstCode[1], 3);
         EXPECT_EQ(Bio[2].secondCode[1], 4);
       }},
      {1, twenty, 1000, "",
       [] {
         EXPECT_EQ(Bio[2].count, 20);
         EXPECT_EQ(Bio[2].value[19], 19.5);
         EXPECT_EQ(Bio[2].firstCode[19], 2);
       }},
      {1, "H 14 0", 1000, "", [] { EXPECT_EQ(Bio[14].count, 0); }},
      // H 15 has no table: its values are scanned as plain text.
      {1, "H 15 3 1 2 3 F 50 2", 1000, "",
       [] {
         EXPECT_EQ(NoComponents, 2);
         EXPECT_EQ(Bio[14].count, 7);
       }},
      {1, "H 2 21 0.5 0 0", 1, "Input error for H 2 in control\nData points must not exceed 20\n",
       [] { EXPECT_EQ(Bio[2].count, 0); }},
      {1, "H 2 1 0.5 17 0", 1, "Input error for H 2 in control\n", nullptr},
      {1, "H 3 2 0.5 0 0 0.7 0 -1", 1, "Input error for H 3 in control\n",
       [] { EXPECT_EQ(Bio[3].value[0], 0.5); }},
      // Tables are numbered 0 to 14: a negative number is refused, nothing is written.
      {1, "H -1 1 0.5 0 0", 1, "Input error for H -1 in control\nH data sets are numbered 0 to 14\n", nullptr},
  };
  runCases(cases);
}

TEST_F(SnihlTest, ContourLevels) {
  std::string twenty = "L 20";
  for (int k = 0; k < 20; ++k) twenty += " " + std::to_string(k + 1);
  const std::vector<Case> cases = {
      {1, "L 3 1.5 2.5 3.5", 1000, "",
       [] {
         EXPECT_EQ(contourNo, 3);
         EXPECT_EQ(contourLevels[0], 1.5);
         EXPECT_EQ(contourLevels[2], 3.5);
         EXPECT_EQ(contourLevels[3], 0.0);
       }},
      {1, twenty, 1000, "",
       [] {
         EXPECT_EQ(contourNo, 20);
         EXPECT_EQ(contourLevels[19], 20.0);
       }},
      {1, "L 0 F 50 4", 1000, "",
       [] {
         EXPECT_EQ(contourNo, 0);
         EXPECT_EQ(NoComponents, 4);
       }},
      {1, "L -2 7.5", 1000, "",
       [] {
         EXPECT_EQ(contourNo, -2);
         EXPECT_EQ(contourLevels[0], 0.0);
       }},
      // The table holds 20 levels: a longer list is refused before any level is stored.
      {1, "L 21 1 2 3", 1, "Input error for L 21 in control\nContour levels must not exceed 20\n",
       [] {
         EXPECT_EQ(contourNo, 0);
         EXPECT_EQ(contourLevels[0], 0.0);
       }},
  };
  runCases(cases);
}

}  // namespace
}  // namespace qorva
