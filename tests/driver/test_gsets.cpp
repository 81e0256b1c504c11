// The G data sets: defaults, values and records stored, the failures with their texts and
// statuses, and the repeat of the index checks against the final sizes.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "driver/gsets.h"
#include "state/blocks.h"
#include "state/options.h"
#include "support/scratch.h"

namespace qorva {
namespace {

// Settings of other families that the G checks read; set here too, so a case never sees the
// values another case left.
void resetForeign() {
  MaxCeller = 50000;
  FlagThixo = 0;
  FlagTSC = 0;
  NoBedLayers = 2;
  FlagMPI = 0;
  FlagCohesion = 0;
  FlagMorphStatistics = 0;
}

std::string times(const std::string& s, int n) {
  std::string out;
  for (int k = 0; k < n; ++k) out += s;
  return out;
}

int checkAfterReading() {
  try {
    checkGIndexesAfterReading();
  } catch (const RunEnd& e) {
    return e.status;
  }
  return 1000;
}

struct Outcome {
  int status;
  std::string log;
};

struct FailCase {
  std::string text;
  int status;
  std::string message;
  std::function<void()> setup = nullptr;
};

class GsetsTest : public test::Scratch {
 protected:
  void SetUp() override {
    test::Scratch::SetUp();
    resetForeign();
  }
  static void fresh() {
    setDefaults();
    resetForeign();
  }
  // A fresh start for each case of a table: defaults, an empty log, the setup of the case.
  static Outcome scanFresh(const std::string& text, const std::function<void()>& setup = nullptr) {
    std::remove("boogie");
    fresh();
    if (setup) setup();
    const int status = scan(text);
    return {status, read("boogie")};
  }
  static void expectFailures(const std::vector<FailCase>& cases) {
    expectRefusals(cases, [](const FailCase& c) {
      resetForeign();
      if (c.setup) c.setup();
    });
  }
};

TEST_F(GsetsTest, DefaultsBeforeReading) {
  EXPECT_EQ(xnumber, 300);
  EXPECT_EQ(ynumber, 300);
  EXPECT_EQ(znumber, 11);
  EXPECT_EQ(lnumber, 1);
  EXPECT_EQ(zdistrib[0], 0.0);
  EXPECT_EQ(zdistrib[1], 0.0);
  EXPECT_EQ(zdistrib[2], 0.1);
  EXPECT_EQ(zdistrib[8], 0.7);
  EXPECT_EQ(zdistrib[11], 1.0);
  EXPECT_EQ(zdistrib[12], 0.0);
  EXPECT_EQ(FlagReadG3, 0);
  EXPECT_EQ(RelaxSurface, 0.1);
  EXPECT_EQ(ConvSurface, 0.01);
  EXPECT_EQ(SurfUpdate[0], 0);
  EXPECT_EQ(SurfUpdate[1], 1);
  EXPECT_EQ(SurfUpdate[98], 1);
  EXPECT_EQ(SurfUpdate[99], 0);
  EXPECT_EQ(divisionMPI[1], -1);
  EXPECT_EQ(divisionMPI[2], 0);
  EXPECT_EQ(inflowMult[0], 1.0);
  EXPECT_EQ(inflowMult[19], 1.0);
  EXPECT_EQ(inflowMult[20], 0.0);
  EXPECT_EQ(FlagOpenMP[9], 0);
  EXPECT_EQ(FlagOpenMP[10], 1);
  EXPECT_EQ(FlagOpenMP[11], 1);
  EXPECT_EQ(FlagOpenMP[12], 0);
}

TEST_F(GsetsTest, DefaultsEmptyTheAppendedTablesAgain) {
  ASSERT_EQ(scan("G 13 1 2 3 4 5 6 7 G 28 2 3 5 5 10.0 2 1.5 G 26 2 0 0 G 1 10 12 5 3"), 1000);
  ASSERT_EQ(OutBlockNo, 1);
  fresh();
  EXPECT_EQ(OutBlockNo, 0);
  EXPECT_EQ(OutBlock[1].i2, 0);
  EXPECT_EQ(NoWeirs, 0);
  EXPECT_EQ(Weirs[0].C, 0.0);
  EXPECT_EQ(SurfUpdate[1], 1);
  EXPECT_EQ(xnumber, 300);
  EXPECT_EQ(checkAfterReading(), 1000);
}

TEST_F(GsetsTest, GridSizes) {
  ASSERT_EQ(scan("G 1 40 20 4997 0"), 1000);
  EXPECT_EQ(xnumber, 40);
  EXPECT_EQ(ynumber, 20);
  EXPECT_EQ(znumber, 4997);
  EXPECT_EQ(lnumber, 0);
  ASSERT_EQ(scan("G 1 4 4 2 50"), 1000);
  EXPECT_EQ(lnumber, 50);
}

TEST_F(GsetsTest, ReadingFailures) {
  const auto mpi3 = [] { FlagMPI = 3; };
  expectFailures({
      {"G 1 3 300 11 1", 1, "Input error for G 1 in control"},
      {"G 1 300 3 11 1", 1, "Input error for G 1 in control"},
      {"G 1 300 300 1 1", 1, "Input error for G 1 in control"},
      {"G 1 300 300 11 51", 1, "Input error for G 1 in control"},
      // A negative number of grain sizes is no size.
      {"G 1 300 300 11 -1", 1, "Input error for G 1 in control"},
      // The level table holds 5000 entries: levels 0..znumber plus the spare ones.
      {"G 1 10 10 4998 1", -2, "Error - increase zdistrib array, nz = 5000\n"},
      // The count in the message goes past the largest int without wrapping round.
      {"G 1 14 7 2147483647 1", -2, "Error - increase zdistrib array, nz = 2147483649\n"},
      {"G 2 1 5 2 5", 1, "Input error for G 2 in control"},
      {"G 2 5 4 2 5", 1, "Input error for G 2 in control"},
      {"G 2 2 5 2 301", 1, "Input error for G 2 in control"},
      {"G 1 10 10 3 1 G 3 0 2 1", 1, "Input error for G 3 in control, j= 3\n"},
      {"G 1 10 10 3 1 G 3 0 1", 1, "Input error for G 3 in control, j= 3\n"},
      {"G 30 -1", 1, "Input error for G 30 in control"},
      {"G 1 10 10 3 1 G 30 1 2 1.5", 1, "Input error for G 30 in control"},
      {"G 4 305 0 0 0.5", 1, "Input error for G 4 in control"},
      {"G 4 0 0 -1 0.5", 1, "Input error for G 4 in control"},
      {"G 5 0 0 305 305 0 0 1", 1, "Input error for G 5 in control\nWrong first indexes"},
      {"G 5 0 305 0 0 0 0 1", 1, "Input error for G 5 in control\nWrong second indexes"},
      {"G 5 3 2 0 0 0 0 1", 1, "Input error for G 5 in control\nWrong match beween indexes"},
      {"G 6 1 0 0 0 0.01", 1, "Input error for G 6 in control\n"},
      {"G 6 50001 0 0 0.1 0.01", 1, "Input error for G 6 in control\n"},
      {"G 6 1 -1 0 0.1 0.01", 1, "Input error for G 6 in control\n"},
      {"G 62 1 2 3 4 0.1", 1, "Input error for G 62 in control. Have you provided 6 parameters?\n"},
      {"G 62 1 2 3 4 0.1 100", 1,
       "Input error for one of the values on the G 62 data set in the in control file\n"},
      {"G 62 1 2 3 -4 0.1 0.01", 1,
       "Input error for one of the values on the G 62 data set in the in control file\n"},
      {times("G 7 0 0 0 0 0 0 0 0 1 2 3 4 ", 20), 1,
       "Input error for G 7 in control\nData sets must not exceed 19\n"},
      {"G 9 0", 1, "Error for G 9 in control"},
      {"G 9 301", 1, "Error for G 9 in control"},
      {"G 10 1 3 2 3 2 3 1.0", 1, "Input error for G 10 in control"},
      {"G 10 2 302 2 3 2 3 1.0", 1, "Input error for G 10 in control"},
      {"G 11 2 3 2 3 2 13 1.0 3.0", 1, "Input error for G 11 in control"},
      {times("G 10 2 3 2 3 2 3 1 ", 19) + "G 11 2 3 2 3 2 3 1 2", 1,
       "Input error for G 11 in control\nData sets must not exceed 19\n"},
      {times("G 12 1 0.5 ", 20), 1, "Input error for G 12 in control\nData sets must not exceed 19\n"},
      {"G 12 10 0.5", 1, "Input error for G 12, first parameter, in control"},
      {"G 1 10 10 5 2 G 12 1 0.5 1.5", 1, "Input error for G 12, concentration, in control"},
      {times("G 13 0 2 3 2 3 2 3 ", 500), 1,
       "Input error for G 13 in control\nData sets must not exceed 499\n"},
      {"G 13 5 2 3 2 3 2 3", 1, "Input error for G 13 in control"},
      {"G 13 0 2 302 2 3 2 3", 1, "Input error for G 13 in control"},
      {"G 13 0 2 3 1 3 2 3", 1, "Input error for G 13 in control"},
      {"G 13 0 2 3 2 3", 1, "Input error for G 13 in control"},
      {times("G 14 1 2 2 2 ", 30), 1, "Input error for G 14 in control\nData sets must not exceed 29\n"},
      {"G 14 7 2 2 2", 1, "Input error for G 14 in control"},
      {"G 14 1 2 2 13", 1, "Input error for G 14 in control"},
      {times("G 18 1 2 3 4 5 6 ", 20), -2, "Increase array for G 18 and recompile\n"},
      {times("G 22 2 3 2 3 1 2 1 ", 20), 1,
       "Input error for G 22 in control\nNumber of data sets must not exceed 19\n"},
      {"G 22 2 3 2 3 2 1 1", 1, "Input error for G 22 in control\n"},
      {"G 22 2 3 2 3 1 2 0", 1, "Input error for G 22 in control\n"},
      {"G 22 2 301 2 3 1 2 1", 1, "Input error for G 22 in control\n"},
      {"G 24 -1", 1, "The G 24 data set has to include a positive integer first\n"},
      {"G 24 x", 1, "The G 24 data set has to include a positive integer first\n"},
      {"G 24 300", 1, "Too many points in G 24 data set\n"},
      {"G 24 1 Z 1 0", 1, "Error for G 24 data set. The Z variable needs an extra integer\n\n"},
      {"G 24 1 Z 1001 1 0", 1, "Error for G 24 data set. The Z variable needs an extra integer\n\n"},
      {"G 24 1 Z 101 1 0", 1, "Error for G 24 data set. The Z variable is only used with slides\n\n"},
      {"G 24 1 M 1 0", 1, "Error for G 24 data set. The M variable is only used with slides\n\n"},
      {"G 24 2 V 3 1 V 12 1", 1, "Error in G 24 data set, variable no. 2\n"},
      {"G 24 1 V 3 2", 1, "Error in G 24 data set, variable no. 1\n"},
      {"G 24 1 V 3", 1, "Error in G 24 data set, variable no. 1\n"},
      // The line end after the count is taken as the first letter.
      {"G 24 2\nZ 150 1 0 V 3 1", 1, "Error in G 24 data set, variable no. 1\n"},
      {"G 24 1 N 1 0", 1,
       "Error in G 24 data set. The N variable can not be used when the F 37 data set is not 3\n"},
      {"G 24 1 j 1 0", 1,
       "Error in G 24 data set. The j variable can only be used when the F 385 data set is above zero\n"},
      {"G 25 0", 1, "Error first integer on G 25 data set\n"},
      {"G 25 100", 1, "Error first integer on G 25 data set\n"},
      {"G 25 2 3 21", 1, "Error for integer no. 3 on G 25 data set\n"},
      {"G 25 1 0", 1, "Input error for G 25 in control: no work block above 0 is given\n"},
      {"G 25 3 0 0 0", 1, "Input error for G 25 in control: no work block above 0 is given\n"},
      {"G 26 0", 1, "Error first integer on G 26 data set\n"},
      {"G 26 91", 1, "Error first integer on G 26 data set\n"},
      {"G 26 2 1 11", 1, "Error after reading 3 integer in the G 26 data set\n"},
      {"G 26 2 1", 1, "Error after reading 3 integer in the G 26 data set\n"},
      {"G 27 2 40 30", -1,
       "Error for G 27 data set in control file. The F 308 data set\n"
       "must be present in the control file and have an integer above 1\n\n"},
      {"G 27 2 40 30", -1, "Error in G 27 data set: integers have to be givein in rising order\n\n", mpi3},
      {"G 27 2 40", -1,
       "Error for G 27 data set: only 3 integers are present.Required number of integers are 3\n\n", mpi3},
      {"G 27 2", -1, "Error for MPI parameters: recompile with increased divisionMPI array\n\n",
       [] { FlagMPI = 1000; }},
      {"G 28 2 3 5 5 10.0 0.5 1.5", -1, "Error for G 28 in the control file, 1 occurrence\n"},
      {"G 28 2 3 5 5 10.0 2 3.5", -1, "Error for G 28 in the control file, 1 occurrence\n"},
      {"G 28 4 3 5 5 10.0 2 1.5", -1, "Error for G 28 in the control file, 1 occurrence\n"},
      {"G 28 2 299 5 5 10.0 2 1.5", -1, "Error for G 28 in the control file, 1 occurrence\n"},
      {"G 28 2 3 5 5 10.0 2 G 1 10 10 5 1", -1, "Error for G 28 in the control file, 1 occurrence\n"},
      {"G 28 2 3 5 5 10 2 1.5 G 28 2 3 5 5 10 2 0", -1, "Error for G 28 in the control file, 2 occurrence\n"},
      // The weir table holds 20 records.
      {times("G 28 2 3 5 5 10 2 1.5 ", 21), 1, "Input error for G 28 in control\nData sets must not exceed 20\n"},
      {"G 29 1 3 2 3", -1, "Error for G 29 in control file\n\n"},
      {"G 29 2 3 4 3", -1, "Error for G 29 in control file\n\n"},
      {"G 29 2 3 2", -1, "Error for G 29 in control file\n\n"},
      {"G 31 0 1.0", 1, "Input error for G 31 in control - first parameter"},
      {"G 31 21 1.0", 1, "Input error for G 31 in control - first parameter"},
      {"G 31 2 -0.5", 1, "Input error for G 31 in control - second parameter"},
      {"G 31 2 F", 1, "Input error for G 31 in control - second parameter"},
      {"G 40 0", 1, "Input error for G 40 in control"},
      {"G 40 50", 1, "Input error for G 40 in control"},
      {times("G 41 1 1 0 5 ", 11), 1, "Input error for G 41 in control - too many data sets"},
      {"G 41 1 0", 1, "Input error for G 41 in control"},
      {"G 41 1 50", 1, "Input error for G 41 in control"},
      {"G 41 -1 1 0 5", 1, "Input error for G 41 in control"},
      {times("G 42 1 2 ", 21), 1, "Too many G 42 data sets\n"},
  });
}

TEST_F(GsetsTest, VerticalLevels) {
  ASSERT_EQ(scan("G 1 10 10 3 1 G 3 1.5 1.5 2"), 1000);
  EXPECT_EQ(zdistrib[0], 1.5);
  EXPECT_EQ(zdistrib[1], 1.5);
  EXPECT_EQ(zdistrib[2], 1.5);
  EXPECT_EQ(zdistrib[3], 2.0);
  EXPECT_EQ(zdistrib[4], 0.3);  // beyond znumber: the default stays
  EXPECT_EQ(FlagReadG3, 1);

  // G 30 compares its first level with level 0 and leaves level 0 and the flag alone.
  fresh();
  ASSERT_EQ(scan("G 1 10 10 2 1 G 30 0.5 0.7"), 1000);
  EXPECT_EQ(zdistrib[0], 0.0);
  EXPECT_EQ(zdistrib[1], 0.5);
  EXPECT_EQ(zdistrib[2], 0.7);
  EXPECT_EQ(FlagReadG3, 0);

  // The most levels the table allows.
  fresh();
  std::string text = "G 1 10 10 4997 1 G 3";
  for (int k = 1; k <= 4997; ++k) text += " " + std::to_string(k);
  ASSERT_EQ(scan(text), 1000);
  EXPECT_EQ(zdistrib[4997], 4997.0);
  EXPECT_EQ(zdistrib[4998], 0.0);
}

TEST_F(GsetsTest, PointSourceTakesOneValuePerGrainSize) {
  // 50 grain sizes: the value table holds sizes 1..50.
  std::string text = "G 1 10 10 5 50 G 4 14 0 9";
  for (int l = 1; l <= 50; ++l) text += " " + std::to_string(l) + ".5";
  ASSERT_EQ(scan(text), 1000);
  EXPECT_EQ(i_pointsource, 14);
  EXPECT_EQ(k_pointsource, 9);
  EXPECT_EQ(pointsource[1], 1.5);
  EXPECT_EQ(pointsource[50], 50.5);

  fresh();
  ASSERT_EQ(scan("G 1 10 10 5 2 G 5 2 3 4 5 6 7 0.25 0.75 G 1 10 10 5 1"), 1000);
  EXPECT_EQ(i_pointsource, 2);
  EXPECT_EQ(i2_pointsource, 3);
  EXPECT_EQ(j_pointsource, 4);
  EXPECT_EQ(j2_pointsource, 5);
  EXPECT_EQ(k_pointsource, 6);
  EXPECT_EQ(k2_pointsource, 7);
  EXPECT_EQ(pointsource[2], 0.75);
  EXPECT_EQ(xnumber, 10);  // the values end where G 1 starts
}

TEST_F(GsetsTest, SurfaceReference) {
  ASSERT_EQ(scan("G 6 1 2 3 0.5 100 G 6 4 5 6 0.2 0.001"), 1000);
  EXPECT_EQ(iSurf, 4);
  EXPECT_EQ(jSurf, 5);
  EXPECT_EQ(kSurf, 6);
  EXPECT_EQ(RelaxSurface, 0.2);
  EXPECT_EQ(ConvSurface, 0.001);
  ASSERT_EQ(scan("G 62 7 8 9 10 0.3 10"), 1000);
  EXPECT_EQ(iSurf, 7);
  EXPECT_EQ(kSurf2, 10);
  EXPECT_EQ(ConvSurface, 10.0);
}

TEST_F(GsetsTest, AppendedRecords) {
  ASSERT_EQ(scan("G 1 40 30 11 2 "
                 "G 7 1 2 3 4 5 6 7 8 0.5 1.5 2.5 3.5 G 7 0 0 0 0 0 0 0 0 9 9 9 9 "
                 "G 10 2 4 3 5 6 12 0.7 G 11 3 41 2 31 2 12 0.8 5.5 "
                 "G 12 9 0 1 "
                 "G 13 4 2 41 2 31 2 12 "
                 "G 14 6 41 31 12 "
                 "G 18 0.1 0.2 0.3 -1 0.05 0.01 "
                 "G 22 2 40 3 30 4.5 5.5 1e-5 "
                 "G 41 3 2 0 10 1 12 G 41 4 1 5 6 "
                 "G 42 7 8 G 40 2 1 5 2 6"),
            1000);
  EXPECT_EQ(IONo, 2);
  EXPECT_EQ(IO[1].flag[0], 1);
  EXPECT_EQ(IO[1].flag[7], 8);
  EXPECT_EQ(IO[1].value[3], 3.5);
  EXPECT_EQ(IO[2].value[0], 9.0);

  EXPECT_EQ(VolSourceNo, 2);
  EXPECT_EQ(VolSource[1].k2, 12);
  EXPECT_EQ(VolSource[1].value, 0.7);
  EXPECT_EQ(VolSource[1].value2, 2.0);
  EXPECT_EQ(VolSource[2].i2, 41);
  EXPECT_EQ(VolSource[2].value2, 5.5);

  EXPECT_EQ(SedSourceNo, 1);
  EXPECT_EQ(SedSource[1].number, 9);
  EXPECT_EQ(SedSource[1].concentration[1], 0.0);
  EXPECT_EQ(SedSource[1].concentration[2], 1.0);

  EXPECT_EQ(OutBlockNo, 1);
  EXPECT_EQ(OutBlock[1].type, 4);
  EXPECT_EQ(OutBlock[1].i2, 41);
  EXPECT_EQ(OutBlock[1].k2, 12);

  EXPECT_EQ(DebugDumpNo, 1);
  EXPECT_EQ(DebugDump[1].type, 6);
  EXPECT_EQ(DebugDump[1].j, 31);

  EXPECT_EQ(UInitNo, 1);
  EXPECT_EQ(UInit[1][1], 0.1);
  EXPECT_EQ(UInit[1][4], -1.0);
  EXPECT_EQ(UInit[1][6], 0.01);

  EXPECT_EQ(BridgeNo, 1);
  EXPECT_EQ(Bridge[1].i2, 40);
  EXPECT_EQ(Bridge[1].lowerLevel, 4.5);
  EXPECT_EQ(Bridge[1].upperLevel, 5.5);
  EXPECT_EQ(Bridge[1].dragCoeff, 1e-5);

  EXPECT_EQ(NoQI, 2);
  EXPECT_EQ(NoVariable[0], 3);
  EXPECT_EQ(NoVertInit[0], 2);
  EXPECT_EQ(VertQInit[0][1].level, 1.0);
  EXPECT_EQ(VertQInit[0][1].value, 12.0);
  EXPECT_EQ(NoVariable[1], 4);
  EXPECT_EQ(VertQInit[1][0].value, 6.0);

  EXPECT_EQ(NoOGLprofs, 1);
  EXPECT_EQ(OglProf[0][0], 7);
  EXPECT_EQ(OglProf[0][1], 8);

  EXPECT_EQ(NoVerttemp, 2);
  EXPECT_EQ(Verttemp[0].level, 1.0);
  EXPECT_EQ(Verttemp[1].value, 6.0);

  EXPECT_EQ(checkAfterReading(), 1000);
}

TEST_F(GsetsTest, TablesFillToTheirLastRecord) {
  ASSERT_EQ(scan(times("G 13 0 2 3 2 3 2 3 ", 499) + times("G 14 1 2 2 2 ", 29) +
                 times("G 10 2 3 2 3 2 3 1 ", 18) + "G 11 2 3 2 3 2 3 1 4 " +
                 times("G 28 2 3 5 5 10 2 1.5 ", 20) + times("G 42 1 2 ", 20)),
            1000);
  EXPECT_EQ(OutBlockNo, 499);
  EXPECT_EQ(DebugDumpNo, 29);
  EXPECT_EQ(VolSourceNo, 19);
  EXPECT_EQ(VolSource[19].value2, 4.0);
  EXPECT_EQ(NoWeirs, 20);
  EXPECT_EQ(Weirs[19].crestLevel, 10.0);
  EXPECT_EQ(NoOGLprofs, 20);
}

TEST_F(GsetsTest, OutputVariables) {
  // The items follow the count on its line; the letter Z carries its extra integer.
  ASSERT_EQ(scan("G 24 2 Z 150 1 0 V 3 1\n"), 1000);
  EXPECT_EQ(TecStrucNo, 2);
  EXPECT_EQ(TecStruc[0].variable, 'Z');
  EXPECT_EQ(TecStruc[0].extraInt, 150);
  EXPECT_EQ(TecStruc[0].level, 1);
  EXPECT_EQ(TecStruc[0].sizeNo, 0);
  EXPECT_EQ(TecStruc[1].variable, 'V');
  EXPECT_EQ(TecStruc[1].level, 3);
  EXPECT_EQ(TecStruc[1].sizeNo, 1);

  // With slides, with F 37 3 and cohesion, Z 100, M, N and j are allowed; a bed layer above
  // znumber is a level too.
  fresh();
  FlagThixo = 1;
  FlagTSC = 3;
  FlagCohesion = 1;
  NoBedLayers = 20;
  ASSERT_EQ(scan("G 24 4 Z 100 0 1 M 20 0 N 0 0 j 0 0"), 1000);
  EXPECT_EQ(TecStruc[1].variable, 'M');
  EXPECT_EQ(TecStruc[1].level, 20);
  EXPECT_EQ(TecStruc[3].variable, 'j');

  fresh();
  FlagMorphStatistics = 1;
  ASSERT_EQ(scan("G 24 1 M 0 0"), 1000);

  // At most ten characters are passed over looking for the letter; ten spaces leave a space.
  fresh();
  ASSERT_EQ(scan("G 24 1" + std::string(11, ' ') + "3 0"), 1000);
  EXPECT_EQ(TecStruc[0].variable, ' ');
  EXPECT_EQ(TecStruc[0].level, 3);
  EXPECT_EQ(scan("G 24 0"), 1000);
  EXPECT_EQ(TecStrucNo, 0);
}

TEST_F(GsetsTest, BlockListsAndSwitches) {
  ASSERT_EQ(scan("G 25 3 1 0 20 G 26 2 0 10 G 9 300 G 2 2 300 2 300 G 29 2 300 3 300 "
                 "G 31 20 0.5 G 31 1 2.5"),
            1000);
  EXPECT_EQ(WorkBlockNo, 3);
  EXPECT_EQ(WorkBlock[1], 1);
  EXPECT_EQ(WorkBlock[3], 20);
  EXPECT_EQ(FlagSurfaceUpdate, 2);
  EXPECT_EQ(SurfUpdate[1], 0);
  EXPECT_EQ(SurfUpdate[2], 10);
  EXPECT_EQ(SurfUpdate[3], 1);
  EXPECT_EQ(SpecEnergy, 300);
  EXPECT_EQ(iblok2, 300);
  EXPECT_EQ(j1Iff, 3);
  EXPECT_EQ(inflowMult[20], 0.5);
  EXPECT_EQ(inflowMult[1], 2.5);

  fresh();
  FlagMPI = 3;
  ASSERT_EQ(scan("G 27 2 40 40"), 1000);
  EXPECT_EQ(divisionMPI[1], 2);
  EXPECT_EQ(divisionMPI[3], 40);
}

TEST_F(GsetsTest, ParallelSwitchErrorsAreLoggedAndEndTheRun) {
  ASSERT_EQ(scan("G 50 0 1 2 5 0 0 0 0 1 1 G 1 10 10 5 1"), 1);
  EXPECT_EQ(log(), "Error for G 50 data set in control file\nInteger no. 3 = 5\n"
                   "The ten G 50 switches are each 0, 1 or 2\n");
  EXPECT_EQ(FlagOpenMP[2], 2);
  EXPECT_EQ(FlagOpenMP[3], 5);
  EXPECT_EQ(FlagOpenMP[9], 1);
  EXPECT_EQ(FlagOpenMP[10], 1);
}

TEST_F(GsetsTest, NumbersWithoutReaderReadNothing) {
  ASSERT_EQ(scan("G 8 7 G 99 1 G 0 5 G -1 4 G 1 10 12 5 3"), 1000);
  EXPECT_EQ(xnumber, 10);
  EXPECT_EQ(lnumber, 3);
  // Each skipped number is said once.
  std::string said;
  for (int n : {8, 99, 0, -1})
    said += strf("Warning: control holds G %d (line 1), a data set this version does not read; "
                 "it is skipped (docs/CONTROL.md lists the data sets)\n",
                 n);
  EXPECT_EQ(log(), said);
}

// The index checks at reading use the sizes read so far; G 1 may come later and shrink them.
TEST_F(GsetsTest, IndexesAreCheckedAgainAgainstTheFinalSizes) {
  struct Case {
    std::string text;
    int status;
    std::string log;
    std::function<void()> afterScan = nullptr;
  };
  const std::vector<Case> cases = {
      {"G 2 2 50 2 10 G 1 40 20 11 1", 1, "Input error for G 2 in control"},
      {"G 4 45 0 0 0.5 G 1 40 20 11 1", 1, "Input error for G 4 in control"},
      {"G 5 0 45 0 0 0 0 0.5 G 1 40 20 11 1", 1, "Input error for G 5 in control\nWrong second indexes"},
      {"G 6 100 0 0 0.1 0.01", 1, "Input error for G 6 in control\n", [] { MaxCeller = 99; }},
      {"G 62 100 0 0 0 0.1 0.01", 1,
       "Input error for one of the values on the G 62 data set in the in control file\n",
       [] { MaxCeller = 99; }},
      {"G 9 50 G 1 40 20 11 1", 1, "Error for G 9 in control"},
      {"G 10 2 3 2 3 2 3 1 G 10 2 42 2 3 2 3 1 G 1 40 20 11 1", 1, "Input error for G 10 in control"},
      {"G 10 2 3 2 3 2 3 1 G 11 2 3 2 3 2 12 1 2 G 1 40 20 10 1", 1, "Input error for G 11 in control"},
      {"G 13 1 2 50 2 10 2 5 G 1 40 20 11 1", 1, "Input error for G 13 in control"},
      {"G 13 1 2 41 2 22 2 5 G 1 40 20 11 1", 1, "Input error for G 13 in control"},
      {"G 14 1 2 2 12 G 1 40 20 10 1", 1, "Input error for G 14 in control"},
      {"G 22 2 50 2 10 1 2 1 G 1 40 20 11 1", 1, "Input error for G 22 in control\n"},
      {"G 24 2 V 3 0 V 11 0 G 1 40 20 5 1", 1, "Error in G 24 data set, variable no. 2\n"},
      {"G 24 1 V 3 1 G 1 40 20 11 0", 1, "Error in G 24 data set, variable no. 1\n"},
      {"G 24 1 V 4 1", 1, "Error in G 24 data set, variable no. 1\n",
       [] { znumber = 3; NoBedLayers = 3; }},
      {"G 28 2 3 5 5 10 2 1.5 G 28 2 3 5 19 10 2 1.5 G 1 40 20 11 1", -1,
       "Error for G 28 in the control file, 2 occurrence\n"},
      {"G 29 2 50 2 10 G 1 40 20 11 1", -1, "Error for G 29 in control file\n\n"},
      // Sizes that still hold every index.
      {"G 2 2 40 2 20 G 4 44 24 15 0.5 G 9 40 G 10 2 41 2 21 2 12 1 G 13 0 2 41 2 21 2 12 "
       "G 14 1 41 21 12 G 22 2 40 2 20 1 2 1 G 24 1 V 11 1 G 28 2 3 5 18 10 2 1.5 "
       "G 29 2 40 2 20 G 6 50000 0 0 0.1 0.01 G 1 40 20 11 1",
       1000, ""},
      // Nothing given: the defaults pass.
      {"", 1000, "", [] { xnumber = ynumber = 4; znumber = 2; lnumber = 0; MaxCeller = 0; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const Outcome o = scanFresh(c.text);
    ASSERT_EQ(o.status, 1000);
    ASSERT_EQ(o.log, "");
    if (c.afterScan) c.afterScan();
    EXPECT_EQ(checkAfterReading(), c.status);
    EXPECT_EQ(read("boogie"), c.log);
  }
}

// The check follows the data set that wrote the shared values last.
TEST_F(GsetsTest, CheckAfterReadingFollowsTheLastWriter) {
  ASSERT_EQ(scan("G 5 0 45 0 0 0 0 0.5 G 4 1 1 1 0.5 G 1 40 20 11 1"), 1000);
  EXPECT_EQ(checkAfterReading(), 1000);  // G 4 leaves the second indexes unchecked

  fresh();
  ASSERT_EQ(scan("G 62 1 0 0 0 0.1 5 G 6 1 0 0 0.1 100"), 1000);
  MaxCeller = 0;
  EXPECT_EQ(checkAfterReading(), 1);
  EXPECT_EQ(log(), "Input error for G 6 in control\n");
}

}  // namespace
}  // namespace qorva
