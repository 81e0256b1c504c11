// The P data sets of `control` (graphics and printing): defaults, stored values, the numbers
// without values, and the checks with their texts and statuses.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "state/log.h"
#include "state/options.h"
#include "support/scratch.h"

namespace qorva {
namespace {

class PSets : public test::Scratch {
 protected:
  // Small grid sizes, as a G 1 data set read before the P data sets would give them.
  static void smallGrid() {
    xnumber = 20;
    ynumber = 10;
    znumber = 5;
    lnumber = 3;
  }
};

// A status of 1000: read through; the message is what `boogie` holds afterwards.
using Case = test::Refusal;

TEST_F(PSets, DefaultsAreSetAndRestored) {
  EXPECT_DOUBLE_EQ(xscale, 1.0);
  EXPECT_DOUBLE_EQ(zscale, 1.0);
  EXPECT_DOUBLE_EQ(movey, 0.0);
  EXPECT_EQ(xnode, 2);
  EXPECT_EQ(znode, 2);
  EXPECT_EQ(lnode, 1);
  EXPECT_EQ(graph, 'g');
  EXPECT_EQ(VerHorPar, 0);
  EXPECT_EQ(OGLminmax, 0);
  EXPECT_EQ(PrintRes, 0);
  EXPECT_EQ(NoVProfiles, 0);
  EXPECT_EQ(NoCrossPrint, 0);

  ASSERT_EQ(scan("P 2 2 2 2 2 2 P 3 3 3 3 0 P 4 V P 6 1 2 P 7 H P 10 5 P 12 1 1 4 P 17 1 2 1 1 2 1 "
                 "P 18 1 5"),
            1000);
  setDefaults();
  EXPECT_DOUBLE_EQ(xscale, 1.0);
  EXPECT_EQ(xnode, 2);
  EXPECT_EQ(lnode, 1);
  EXPECT_EQ(graph, 'g');
  EXPECT_EQ(OGLminmax, 0);
  EXPECT_EQ(VerHorPar, 0);
  EXPECT_EQ(PrintRes, 0);
  EXPECT_EQ(PlotCrossNo, 0);
  EXPECT_EQ(PlotCross[1], 0);
  EXPECT_EQ(NoVProfiles, 0);
  EXPECT_EQ(VProfiles[1].i2, 0);
  EXPECT_EQ(NoCrossPrint, 0);
  EXPECT_EQ(CrossPrint[1], 0);
}

TEST_F(PSets, ValuesAreStored) {
  smallGrid();
  ASSERT_EQ(scan("P 2 2 3 4 5.5 -6\n"
                 "P 3 1 11 6 3\n"
                 "P 5 7\nP 6 -1 -1\nP 7 H\nP 8 2\nP 9 1\nP 10 25\nP 11 4\n"
                 "P 12 3 2 10 20\nP 13 1 1 10000\nP 14 0\nP 15 2\nP 16 -1 21 1 11\n"),
            1000);
  EXPECT_DOUBLE_EQ(xscale, 2.0);
  EXPECT_DOUBLE_EQ(yscale, 3.0);
  EXPECT_DOUBLE_EQ(zscale, 4.0);
  EXPECT_DOUBLE_EQ(movex, 5.5);
  EXPECT_DOUBLE_EQ(movey, -6.0);
  EXPECT_EQ(xnode, 1);
  EXPECT_EQ(ynode, 11);  // ynumber + 1
  EXPECT_EQ(znode, 6);   // znumber + 1
  EXPECT_EQ(lnode, 3);   // lnumber
  EXPECT_EQ(OGLindex, 7);
  EXPECT_DOUBLE_EQ(OGLmin, -1.0);
  EXPECT_DOUBLE_EQ(OGLmax, -1.0);
  EXPECT_EQ(OGLminmax, 1);
  EXPECT_EQ(VerHorPar, 'H');
  EXPECT_EQ(FlagGraphAvg, 2);
  EXPECT_EQ(PrintComp, 1);
  EXPECT_EQ(PrintRes, 25);
  EXPECT_EQ(PrintSpecials, 4);
  EXPECT_EQ(PlotCrossStart, 3);
  EXPECT_EQ(PlotCrossNo, 2);
  EXPECT_EQ(PlotCross[1], 10);
  EXPECT_EQ(PlotCross[2], 20);
  EXPECT_EQ(PlotLongStart, 1);
  EXPECT_EQ(PlotLongNo, 1);
  EXPECT_EQ(PlotLong[1], 10000);
  EXPECT_DOUBLE_EQ(TimeTimerPrint, 0.0);
  EXPECT_EQ(PrintResAlways, 2);
  EXPECT_EQ(PrintIStart, -1);
  EXPECT_EQ(PrintIEnd, 21);
  EXPECT_EQ(PrintJStart, 1);
  EXPECT_EQ(PrintJEnd, 11);
}

TEST_F(PSets, GraphLetterIsTheCharacterAfterTheNumber) {
  // The blanks and line ends after the number belong to the number.
  ASSERT_EQ(scan("P 4 V\nW 1 30 10 -5"), 1000);
  EXPECT_EQ(graph, 'V');
  EXPECT_DOUBLE_EQ(ManningInit, 30.0);
  EXPECT_DOUBLE_EQ(level, -5.0);

  setDefaults();
  ASSERT_EQ(scan("P 4\n  u"), 1000);
  EXPECT_EQ(graph, 'u');
}

TEST_F(PSets, NumbersWithoutValuesAreSkipped) {
  // P 1 and numbers above 18 read nothing: what follows is scanned as ordinary text.
  ASSERT_EQ(scan("P 1 3.5 P 19 7 P 2147483647 K 1 9 10"), 1000);
  EXPECT_EQ(iterGlobalMax, 9);
  EXPECT_DOUBLE_EQ(xscale, 1.0);
  EXPECT_EQ(log(), "");
}

TEST_F(PSets, NumbersBelowOneDoNotExist) {
  const std::vector<Case> cases = {
      {"P 0", -1, "Error in boogie file: data set P 0 does not exist\n\n"},
      {"P -3 1 2", -1, "Error in boogie file: data set P -3 does not exist\n\n"},
  };
  expectRefusals(cases);
}

TEST_F(PSets, ListsAppendAndStopAtTheirCount) {
  smallGrid();
  // P 12 1 0 reads no values: the 5 after it stays text.
  ASSERT_EQ(scan("P 12 1 0 5\nP 17 1 9 2 1 5 1\nP 17 3 3 1 2 2 4\nP 18 3 1 17 17\n"), 1000);
  EXPECT_EQ(PlotCrossNo, 0);
  EXPECT_EQ(PlotCross[1], 0);
  ASSERT_EQ(NoVProfiles, 2);
  const VerticalProfile& a = VProfiles[1];
  EXPECT_EQ(a.i1, 1);
  EXPECT_EQ(a.i2, 9);
  EXPECT_EQ(a.istep, 2);
  EXPECT_EQ(a.j1, 1);
  EXPECT_EQ(a.j2, 5);
  EXPECT_EQ(a.jstep, 1);
  EXPECT_EQ(VProfiles[2].i1, 3);
  EXPECT_EQ(VProfiles[2].jstep, 4);
  ASSERT_EQ(NoCrossPrint, 3);
  EXPECT_EQ(CrossPrint[1], 1);
  EXPECT_EQ(CrossPrint[2], 17);  // xnumber - 3
  EXPECT_EQ(CrossPrint[3], 17);
}

TEST_F(PSets, Checks) {
  // Grid of 20 x 10 lines, 5 levels, 3 sizes.
  const std::vector<Case> cases = {
      {"P 3 0 2 2 1", 1, "Input error for P 3 in control"},
      {"P 3 1 -1 2 1", 1, "Input error for P 3 in control"},
      {"P 3 1 12 2 1", 1, "Input error for P 3 in control"},
      {"P 3 1 2 0 1", 1, "Input error for P 3 in control"},
      {"P 3 1 2 7 1", 1, "Input error for P 3 in control"},
      {"P 3 1 2 2 -1", 1, "Input error for P 3 in control"},
      {"P 3 1 2 2 4", 1, "Input error for P 3 in control"},
      {"P 6 2 1", 1, "Input error for P 6 in control"},
      {"P 6 1", 1, "Input error for P 6 in control"},
      {"P 12 0 2 1 1", 1, "Error 1 reading P 12 data set\n"},
      {"P 12 1 51", 1, "Error 1 reading P 12 data set\n"},
      {"P 12 1", 1, "Error 1 reading P 12 data set\n"},
      {"P 12 1 2 5 0", 1, "Error 2 reading P 12 data set\n"},
      {"P 12 1 2 5 10001", 1, "Error 2 reading P 12 data set\n"},
      {"P 12 1 2 5", 1, "Error 2 reading P 12 data set\n"},
      {"P 13 1 51", 1, "Error 1 reading P 13 data set\n"},
      {"P 13 1 1 0", 1, "Error 2 reading P 13 data set\n"},
      {"P 14 -0.1", 1, "Error reading P 14 data set\n"},
      {"P 14 K 1 1 1", 1, "Error reading P 14 data set\n"},
      {"P 15 -1", 1, "Error reading P 15 data set\n"},
      {"P 15", 1, "Error reading P 15 data set\n"},
      {"P 16 -2 5 1 5", 1, "Error reading P 16 data set\n"},
      {"P 16 1 22 1 5", 1, "Error reading P 16 data set\n"},
      {"P 16 1 5 0 5", 1, "Error reading P 16 data set\n"},
      {"P 16 1 5 1 12", 1, "Error reading P 16 data set\n"},
      {"P 16 1 5 1", 1, "Error reading P 16 data set\n"},
      {"P 17 5 3 1 2 8 1", -99, "Error for reading P 17 data set no. 1\n\n"},
      {"P 17 1 3 1 8 2 1", -99, "Error for reading P 17 data set no. 1\n\n"},
      {"P 17 1 3 1 2 8", -99, "Error for reading P 17 data set no. 1\n\n"},
      {"P 17 1 3 1 2 8 1 P 17 2 1 1 1 1 1", -99, "Error for reading P 17 data set no. 2\n\n"},
      {"P 18 0", -99, "Error for P 18 data set in control file\n\n"},
      {"P 18", -99, "Error for P 18 data set in control file\n\n"},
      {"P 18 2 17 18", -99, "Error for number 2 on P 18 data set in control file\n\n"},
      {"P 18 1 0", -99, "Error for number 1 on P 18 data set in control file\n\n"},
      {"P 18 2 5", -99, "Error for number 2 on P 18 data set in control file\n\n"},
  };
  expectRefusals(cases, [](const Case&) { smallGrid(); });
}

TEST_F(PSets, ValuesBeforeTheBadOneStayStored) {
  EXPECT_EQ(scan("P 12 1 3 5 6 0"), 1);
  EXPECT_EQ(PlotCrossNo, 3);
  EXPECT_EQ(PlotCross[1], 5);
  EXPECT_EQ(PlotCross[2], 6);
}

TEST_F(PSets, ProfileAndCrossSectionListsStopAtTheirLastEntry) {
  // VProfiles holds records 1..999: the next one is refused before anything of it is stored.
  NoVProfiles = 998;
  EXPECT_EQ(scan("P 17 1 2 1 1 2 1 P 17 4 5 1 4 5 1"), -99);
  EXPECT_EQ(log(), "Error for reading P 17 data set no. 1000\nToo many P 17 data sets, at most 999\n\n");
  EXPECT_EQ(NoVProfiles, 999);
  EXPECT_EQ(VProfiles[999].i2, 2);

  // CrossPrint holds entries 1..999.
  std::remove("boogie");
  std::string text = "P 18 999";
  for (int n = 1; n <= 999; ++n) text += " 7";
  ASSERT_EQ(scan(text), 1000);
  EXPECT_EQ(NoCrossPrint, 999);
  EXPECT_EQ(CrossPrint[999], 7);

  EXPECT_EQ(scan("P 18 1000 7 7 7"), -99);
  EXPECT_EQ(log(), "Error for P 18 data set in control file\nToo many numbers, at most 999\n\n");
}

}  // namespace
}  // namespace qorva
