// The files read once `control` is complete: the `geodata` pre-scan and the side files
// `cyclic`, `inflow` and `inspace`, with their failures.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "state/inflow_profiles.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "support/scratch.h"

namespace qorva {
namespace {

constexpr int kRead = 1000;  // the configuration was completed without ending the run

bool contains(const std::string& s, const std::string& part) {
  return s.find(part) != std::string::npos;
}

class SideFiles : public test::Scratch {
 protected:
  // Reads `control` as kread does after the log start (the side files lie in the folder);
  // returns the status of the run's end, or kRead.
  static int readControl(const std::string& text) {
    write("control", text);
    std::remove("boogie");
    SetArraysZero();
    resetSideFiles();
    setDefaults();
    try {
      ControlInput in(text);
      scanControl(in);
      afterReading();
    } catch (const RunEnd& e) {
      return e.status;
    }
    return kRead;
  }

  struct FailCase {
    std::string control;
    std::string file;
    int status;
    std::string message;
  };
  // Each case writes `name` with its text and expects the run to end with its status and
  // message.
  static void expectFailures(const std::string& name, const std::vector<FailCase>& cases) {
    for (const FailCase& c : cases) {
      SCOPED_TRACE(c.file);
      write(name, c.file);
      EXPECT_EQ(readControl(c.control), c.status);
      EXPECT_TRUE(contains(log(), c.message)) << log();
    }
  }
};

const std::string kGrid = "G 1 10 8 5 1\n";

// --- geodata -------------------------------------------------------------------------------------

TEST_F(SideFiles, SurveyPointsGiveTheLevelsWithoutW1) {
  write("geodata", "E 0 0 12.5\nE 1 0 10\nE 1 1 20\nE 2 2 15\n");
  ASSERT_EQ(readControl(kGrid), kRead) << log();
  EXPECT_DOUBLE_EQ(level, 21.0);
  for (int i = 0; i <= 10; ++i) EXPECT_NEAR(zdistrib[i + 1], 10.0 + i, 1e-12) << i;
  // The unit grid takes the new level.
  EXPECT_DOUBLE_EQ(zval[2][2][5], 21.0);
}

TEST_F(SideFiles, SurveyListEndsAtTheFirstOtherLine) {
  write("geodata", "E 0 0 3\nE 0 1 5\nX 0 0 100\nE 0 0 -50\n");
  ASSERT_EQ(readControl(kGrid), kRead) << log();
  EXPECT_DOUBLE_EQ(level, 6.0);
  EXPECT_DOUBLE_EQ(zdistrib[1], 3.0);
  EXPECT_DOUBLE_EQ(zdistrib[6], 4.0);
  EXPECT_DOUBLE_EQ(zdistrib[11], 5.0);
}

TEST_F(SideFiles, SurveyPointsAreNotUsedWithW1) {
  write("geodata", "E 0 0 10\nE 1 1 20\n");
  ASSERT_EQ(readControl(kGrid + "W 1 50 1 4\n"), kRead) << log();
  EXPECT_DOUBLE_EQ(level, 4.0);
  EXPECT_DOUBLE_EQ(zdistrib[2], 0.1);
  EXPECT_DOUBLE_EQ(zdistrib[11], 1.0);
}

TEST_F(SideFiles, LevelsKeepTheirValuesWithoutSurveyPoints) {
  // No geodata file: nothing is said.
  ASSERT_EQ(readControl(kGrid), kRead);
  EXPECT_DOUBLE_EQ(level, 1.0);
  EXPECT_FALSE(contains(log(), "geodata"));
  // A geodata file without E lines would give levels of 1e20: warned, and the values stay.
  write("geodata", "x y z\n1 2 3\n");
  ASSERT_EQ(readControl(kGrid + "G 3 0 1 2 3 4\n"), kRead) << log();
  EXPECT_DOUBLE_EQ(level, 1.0);
  EXPECT_DOUBLE_EQ(zdistrib[1], 0.0);
  EXPECT_DOUBLE_EQ(zdistrib[5], 4.0);
  EXPECT_TRUE(contains(log(), "Warning: no line of the form 'E x y z' in the geodata file")) << log();
}

// --- cyclic --------------------------------------------------------------------------------------

TEST_F(SideFiles, CyclicProfileIsReadLevelByLevel) {
  write("cyclic", "1 0.5 0.01 0.001\n2 0.6 0.02 0.002\n3 0.7 0.03 0.003\n");
  ASSERT_EQ(readControl(kGrid + "F 174 1\n"), kRead) << log();
  EXPECT_TRUE(contains(log(), "Have read 3 points from cyclic file\n")) << log();
  EXPECT_EQ(FlagHaveReadCyclic, 1);
  EXPECT_DOUBLE_EQ(cyclicU[1], 0.5);
  EXPECT_DOUBLE_EQ(cyclicK[2], 0.02);
  EXPECT_DOUBLE_EQ(cyclicE[3], 0.003);
}

TEST_F(SideFiles, CyclicReadingStops) {
  struct Case {
    std::string control;
    std::string file;
    int points;
    int flag;
  };
  const std::vector<Case> cases = {
      // the second line has index 3: one point only, and one point is not a profile
      {kGrid, "1 0.5 0.01 0.001\n3 0.6 0.02 0.002\n", 1, 0},
      {kGrid, "", 0, 0},
      // at most znumber levels
      {"G 1 10 8 3 1\n", "1 1 1 1\n2 2 2 2\n3 3 3 3\n4 4 4 4\n5 5 5 5\n", 3, 1},
      // blank lines at the end
      {kGrid, "1 1 1 1\n2 2 2 2\n\n  \n", 2, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    write("cyclic", c.file);
    ASSERT_EQ(readControl(c.control + "F 174 1\n"), kRead) << log();
    EXPECT_TRUE(contains(log(), "Have read " + std::to_string(c.points) + " points from cyclic file\n"))
        << log();
    EXPECT_EQ(FlagHaveReadCyclic, c.flag);
    EXPECT_EQ(cyclicU[c.points + 1], 0.0);  // nothing stored past the last accepted line
  }
}

TEST_F(SideFiles, CyclicLevelThatDoesNotFollowIsNamedInTheLog) {
  write("cyclic", "1 0.5 0.01 0.001\n3 0.6 0.02 0.002\n");
  ASSERT_EQ(readControl(kGrid + "F 174 1\n"), kRead) << log();
  EXPECT_TRUE(contains(log(), "Warning: line 2 of the cyclic file gives level 3 where level 2 was "
                              "expected; the lines from there on are not used\n"))
      << log();
}

// A line that is there but cannot be read ends the run: the levels after it would be lost
// without a word, and a profile cut short would be taken as the whole.
TEST_F(SideFiles, CyclicLineThatCannotBeReadEndsTheRun) {
  struct Case {
    std::string file, where;
  };
  const Case cases[] = {
      {"1 1 1 1\n2 2 2 2\n3 3 3\n", "line 3, at the end of the file"},
      {"1 1 1 1\n2 2 nan 2\n3 3 3 3\n", "line 2, at 'nan'"},
      {"1 1 1 1\n2 2 1e999 2\n", "line 2, at '1e999'"},
      {"1 1 1 1\nlevel two\n", "line 2, at 'level'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    write("cyclic", c.file);
    EXPECT_EQ(readControl(kGrid + "F 174 1\n"), -8);
    EXPECT_TRUE(contains(log(), "Error in reading cyclic file, " + c.where +
                                    ": each line holds a level and three finite numbers\n"))
        << log();
  }
}

TEST_F(SideFiles, CyclicFileOnlyWithF174) {
  write("cyclic", "1 1 1 1\n2 2 2 2\n");
  ASSERT_EQ(readControl(kGrid), kRead);
  EXPECT_FALSE(contains(log(), "cyclic"));
  EXPECT_EQ(cyclicU[1], 0.0);
  std::remove("cyclic");
  ASSERT_EQ(readControl(kGrid + "F 174 1\n"), kRead);
  EXPECT_TRUE(contains(log(), "Have not used cyclic file\n"));
}

TEST_F(SideFiles, CyclicLevelsBeyondTheTableEndTheRun) {
  std::string file;
  for (int k = 1; k <= 500; ++k) file += std::to_string(k) + " 1 0.1 0.01\n";
  write("cyclic", file);
  EXPECT_EQ(readControl("G 1 4 4 600 1\nF 174 1\n"), -2);
  EXPECT_TRUE(contains(log(), "Error in reading cyclic file, too large index in cyclic file: 500\n"
                              "Note that at most 499 levels can be given\n")) << log();
  EXPECT_DOUBLE_EQ(cyclicU[499], 1.0);
}

// --- inflow --------------------------------------------------------------------------------------

TEST_F(SideFiles, InflowRecordsFillTheProfile) {
  write("inflow", "D 3 2 1 2 3 4 5\n\n  D 1 4 6 7 8 9 10\nD 0 0 -1 -2 -3 0.5 0.25");
  ASSERT_EQ(readControl(kGrid), kRead) << log();
  EXPECT_TRUE(contains(log(), "Have read 3 points in a 3 x 4 array from inflow file\n")) << log();
  EXPECT_EQ(inflowj, 3);
  EXPECT_EQ(inflowk, 4);
  EXPECT_DOUBLE_EQ(inflowu[3][2], 1.0);
  EXPECT_DOUBLE_EQ(inflowv[3][2], 2.0);
  EXPECT_DOUBLE_EQ(infloww[3][2], 3.0);
  EXPECT_DOUBLE_EQ(inflowki[3][2], 4.0);
  EXPECT_DOUBLE_EQ(inflowe[3][2], 5.0);
  EXPECT_DOUBLE_EQ(inflowe[1][4], 10.0);
  EXPECT_DOUBLE_EQ(inflowu[0][0], -1.0);
}

TEST_F(SideFiles, InflowEndsQuietlyOnlyAtTheEndOfTheFile) {
  write("inflow", "D 499 49 1 1 1 1 1\n\n  \n");
  ASSERT_EQ(readControl(kGrid), kRead) << log();
  EXPECT_TRUE(contains(log(), "Have read 1 points in a 499 x 49 array from inflow file\n")) << log();
  // Text after the records is a record that cannot be read, not the end of the table.
  write("inflow", "D 499 49 1 1 1 1 1\nend of table\n");
  EXPECT_EQ(readControl(kGrid), -8);
  EXPECT_TRUE(contains(log(), "Error in reading inflow file, the D data set has to be used\n")) << log();
  write("inflow", "D 1 2 1 1 1 1 1\nD x 2 1 1 1 1 1\n");
  EXPECT_EQ(readControl(kGrid), -8);
  EXPECT_TRUE(contains(log(), "Error in reading inflow file, line 2, at 'x': a D record gives two "
                              "integer indexes and five numbers\n"))
      << log();
  write("inflow", "D 1 2 1 1 nan 1 1\n");
  EXPECT_EQ(readControl(kGrid), -3);
  EXPECT_TRUE(contains(log(), "Note that five floating point numbers must be given\n(line 1, at 'nan')\n"))
      << log();
  std::remove("inflow");
  ASSERT_EQ(readControl(kGrid), kRead);
  EXPECT_TRUE(contains(log(), "Have not used inflow file\n"));
  EXPECT_EQ(inflowj, 0);
}

TEST_F(SideFiles, BadInflowRecordsEndTheRun) {
  expectFailures("inflow",
                 {
                     {kGrid, "X 1 1 0.5 0 0 0.01 0.001\n", -8,
                      "Error in reading inflow file, the D data set has to be used\n"},
                     {kGrid, "D 1 1 1 1 1 1 1\nd 2 2 1 1 1 1 1\n", -8,
                      "Error in reading inflow file, the D data set has to be used\n"},
                     {kGrid, "D 500 1 1 1 1 1 1\n", -2,
                      "Error in reading inflow file, too large indexes in inflow file: 500 1\n"},
                     {kGrid, "D 1 50 1 1 1 1 1\n", -2,
                      "Error in reading inflow file, too large indexes in inflow file: 1 50\n"},
                     {kGrid, "D -1 2 1 1 1 1 1\n", -2,
                      "Error in reading inflow file, negative indexes in inflow file: -1 2\n"},
                     {kGrid, "D 1 -2 1 1 1 1 1\n", -2,
                      "Error in reading inflow file, negative indexes in inflow file: 1 -2\n"},
                     {kGrid, "D 4 5 1 2 3 4\nD 1 1 1 1 1 1 1\n", -3,
                      "Error in reading inflow file for line: 4 5\n"
                      "Note that five floating point numbers must be given\n"},
                 });
}

// --- inspace -------------------------------------------------------------------------------------

TEST_F(SideFiles, InspaceBRecordsFillTheTable) {
  write("inspace", "A 2\nB 1 1 2 3 4 5 6 7 8 9 10\nB 2 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.75\n");
  ASSERT_EQ(readControl("G 1 10 8 5 2\n"), kRead) << log();
  EXPECT_EQ(FlagInspace, 2);
  EXPECT_DOUBLE_EQ(inspace[1][1], 1.0);
  EXPECT_DOUBLE_EQ(inspace[1][10], 10.0);
  EXPECT_DOUBLE_EQ(inspace[2][10], 0.75);
  EXPECT_DOUBLE_EQ(inspace[1][11], 0.0);
  EXPECT_TRUE(contains(log(), "Inspace file read: \n"));
}

TEST_F(SideFiles, InspaceWithoutARecord) {
  // The first character starts the first record when it is not A.
  write("inspace", "B 1 1 2 3 4 5 6 7 8 9 10\n");
  ASSERT_EQ(readControl(kGrid), kRead) << log();
  EXPECT_EQ(FlagInspace, 0);
  EXPECT_DOUBLE_EQ(inspace[1][3], 3.0);
  // No file, no line.
  std::remove("inspace");
  ASSERT_EQ(readControl(kGrid), kRead);
  EXPECT_FALSE(contains(log(), "Inspace"));
}

TEST_F(SideFiles, InspaceTimeRowsWithF294) {
  write("inspace",
        "A 1\n"
        "T 0.0\nC 1 1 2 3 4 5 6 7 8 9 10\n"
        "T 3600\nC 1 10 20 30 40 50 60 70 80 90 100\nC 2 1 1 1 1 1 1 1 1 1 2\n");
  ASSERT_EQ(readControl("G 1 10 8 5 2\nF 294 2\n"), kRead) << log();
  EXPECT_EQ(InspaceTimeNo, 2);
  EXPECT_DOUBLE_EQ(TinspaceTime[0], 0.0);
  EXPECT_DOUBLE_EQ(TinspaceTime[1], 3600.0);
  EXPECT_DOUBLE_EQ(Tinspace[0][1][4], 4.0);
  EXPECT_DOUBLE_EQ(Tinspace[1][1][10], 100.0);
  EXPECT_DOUBLE_EQ(Tinspace[1][2][10], 2.0);
  // F 294 2 gives room for four rows.
  write("inspace", "T 1\nT 2\nT 3\nT 3\n");
  ASSERT_EQ(readControl("G 1 10 8 5 2\nF 294 2\n"), kRead) << log();
  EXPECT_EQ(InspaceTimeNo, 4);
}

TEST_F(SideFiles, BadInspaceRecordsEndTheRun) {
  const std::string ten = " 1 2 3 4 5 6 7 8 9 10\n";
  const std::string f294 = kGrid + "F 294 1\n";
  expectFailures(
      "inspace",
      {
          {kGrid, "A 0\n", -8,
           "Error in reading the inspace file, the A data set has to be used with an integer\n"},
          {kGrid, "A x\n", -8,
           "Error in reading the inspace file, the A data set has to be used with an integer\n"},
          {kGrid, "A 1\nB 2" + ten, -8,
           "Error in reading the inspace file, not correct first integer on the B data set\n"},
          {kGrid, "A 1\nB 0" + ten, -8,
           "Error in reading the inspace file, not correct first integer on the B data set\n"},
          {kGrid, "A 1\nB x" + ten, -8,
           "Error in reading the inspace file, not correct first integer on the B data set\n"},
          {kGrid, "A 1\nB 1 1 2 3\n", -8,
           "Error in reading the inspace file, not enough data on the B data set\n"},
          {f294, "A 1\nB 1" + ten, -12,
           "Error in inspace file or F 294 data set: The B data set in the inspace\n"
           "file can not be used with the F 294 data set in the control file\n"},
          {kGrid, "A 1\nT 1.0\n", -9,
           "Error in reading inspace file, the T data set has to be used together with the F 294 data set\n"},
          {kGrid, "A 1\nC 1" + ten, -9,
           "Error in reading inspace file, the C data set has to be used together with the F 294 data set\n"},
          // a C record has no row before the first T record
          {f294, "A 1\nC 1" + ten, -9,
           "Error in reading inspace file, the C data set has to follow a T data set\n"},
          {f294, "A 1\nT 1.0\nT 0.5\n", -11,
           "Error in reading inspace file, time steps has to increase for time step 1\n"},
          {f294, "A 1\nT x\n", -11,
           "Error in reading inspace file, no time on the T data set for time step 0\n"},
          // F 294 1 gives room for three rows
          {f294, "A 1\nT 1\nT 2\nT 3\nT 4\n", -10,
           "Error in reading inspace file, increase F 294 integer\n"},
          {f294, "A 1\nT 1\nT 2.5\nC 3" + ten, -8,
           "Error in reading the inspace file, not correct first integer on the C data set\n"
           "for time step 2.500000\n\n"},
          {f294, "A 1\nT 1\nT 2.5\nC 1 1 2 3\n", -8,
           "Error in reading the inspace file, not enough data on the C data set\n"
           "for time step 2.500000, size no: 1, point no: 4\n\n"},
      });
}

TEST_F(SideFiles, InspaceSizesBeyondTheTableEndTheRun) {
  // 25 sizes are allowed in control, but the inspace tables hold sizes up to 19.
  const std::string sizes = "G 1 10 8 5 25\n";
  const std::string ten = " 1 2 3 4 5 6 7 8 9 10\n";
  write("inspace", "A 1\nB 19" + ten);
  ASSERT_EQ(readControl(sizes), kRead) << log();
  EXPECT_DOUBLE_EQ(inspace[19][10], 10.0);
  expectFailures("inspace",
                 {
                     {sizes, "A 1\nB 20" + ten, -8,
                      "Error in reading the inspace file, size 20 on the B data set: at most 19 "
                      "sizes can be given\n"},
                     {sizes + "F 294 1\n", "A 1\nT 7\nC 20" + ten, -8,
                      "Error in reading the inspace file, size 20 on the C data set: at most 19 "
                      "sizes can be given\nfor time step 7.000000\n\n"},
                 });
}

}  // namespace
}  // namespace qorva
