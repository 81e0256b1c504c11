// The time series timei: what each record kind stores, each error code with its log lines,
// the rows listed after an error, timei.out, the interpolation of a series in time, and the
// cells of the print items once the grid is built.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "files/files.h"
#include "grid/generator.h"
#include "grid/grid.h"
#include "state/arrays.h"
#include "state/blocks.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/timeseries.h"
#include "support/scratch.h"

namespace qorva {
namespace {

class Timei : public test::Scratch {
 protected:
  // A transient run whose time tables hold rows 0..rows, after `options` (which may set the
  // grain sizes that size the concentration rows).
  static void start(const std::function<void()>& options = {}, int rows = 6) {
    SetArraysZero();
    setDefaults();
    xnumber = 4;
    ynumber = 4;
    znumber = 3;
    lnumber = 1;
    MaxCeller = 20;
    MaxFlater = 40;
    MaxPunkter = 40;
    MaxNester = 5;
    MaxConnFlate = 5;
    TimeStep = 1.0;
    ArrayTimeSteps = rows;
    if (options) options();
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
    std::remove("boogie");
    std::remove("timei");
    std::remove("timei.out");
  }
  static bool exists(const char* name) { return std::filesystem::exists(name); }
};

// Groups 1 and 4 carry inflow on the grid; group 2 is an outflow and group 3 has no
// surfaces, so neither counts: two inflow groups.
void twoInflowGroups() {
  DischargeStruct[1].surfaceNo = 3;
  DischargeStruct[2].inflowFlag = 0;
  DischargeStruct[2].surfaceNo = 2;
  DischargeStruct[4].surfaceNo = 1;
}
void windOn() { Wind[0] = 2.0; }
void irradianceOn() {
  NoTerms = 1;
  QTerms[0].code = 151;
}
void airTemperatureOn() {
  NoTerms = 2;
  QTerms[1].code = 1060;
}

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int k = 0; k < n; ++k) out += s;
  return out;
}

const char* const kNine = " 1 2 3 4 5 6 7 8 9";

// ---- records that are read --------------------------------------------------------------

struct Stores {
  const char* name;
  std::function<void()> options;
  std::string text;
  std::function<void()> check;
};

TEST_F(Timei, EachRecordKindStoresItsValues) {
  const std::vector<Stores> cases = {
      {"H rows give levels only, equal times allowed", [] { FlagJTime = 1; },
       "H 0 10.5 9.5\nH 60 11 9.75\nH 60 11.5 9\n",
       [] {
         EXPECT_EQ(TimeInNo, 3);
         EXPECT_EQ(TimeInTime[1], 60.0);
         EXPECT_EQ(TimeInTime[2], 60.0);
         EXPECT_EQ(TimeInHinn[0], 10.5);
         EXPECT_EQ(TimeInHinn[2], 11.5);
         EXPECT_EQ(TimeInHout[1], 9.75);
         EXPECT_EQ(FlagJTime, 0);
         EXPECT_EQ(FlagDischargeTime, 0);
         EXPECT_EQ(QDinn[1][1], 0.0);
       }},
      {"I rows with sediment of two groups, wind and irradiance",
       [] {
         FlagTSC = 1;
         lnumber = 2;
         twoInflowGroups();
         windOn();
         irradianceOn();
         FlagJTime = 1;
       },
       "I 0 1.5 2.5 10 9  0.1 0.2 0.3 0.4  2 0.5 -0.5  300\n"
       "I 3600 1.6 2.6 10.1 9.1\n 0.5 0.6 0.7 0.8\n 3 1 0\n 400\n",
       [] {
         EXPECT_EQ(TimeInNo, 2);
         EXPECT_EQ(TimeInTime[1], 3600.0);
         EXPECT_EQ(QDinn[0][0], 1.5);
         EXPECT_EQ(QDinn[0][1], 2.5);
         EXPECT_EQ(QDinn[0][2], 0.0);
         EXPECT_EQ(TimeInHinn[0], 10.0);
         EXPECT_EQ(TimeInHout[1], 9.1);
         // Group g (from 0), size l at 2 g + l.
         EXPECT_EQ(Cinn[0][1], 0.1);
         EXPECT_EQ(Cinn[0][2], 0.2);
         EXPECT_EQ(Cinn[0][3], 0.3);
         EXPECT_EQ(Cinn[0][4], 0.4);
         EXPECT_EQ(Cinn[1][4], 0.8);
         EXPECT_EQ(Winn[0][0], 2.0);
         EXPECT_EQ(Winn[0][1], 0.5);
         EXPECT_EQ(Winn[0][2], -0.5);
         EXPECT_EQ(Winn[1][0], 3.0);
         EXPECT_TRUE(TimeInWind);
         EXPECT_EQ(Irradi[0], 300.0);
         EXPECT_EQ(Irradi[1], 400.0);
         EXPECT_EQ(FlagJTime, 0);
       }},
      {"J rows carry the time step and no wind", [] { windOn(); },
       "J 0 1 2 10 9 0.5\nJ 30 1 2 10 9 1.5\n",
       [] {
         EXPECT_EQ(TimeInNo, 2);
         EXPECT_FALSE(TimeInWind);  // the wind of F 52 stays
         EXPECT_EQ(TimeInTimStep[0], 0.5);
         EXPECT_EQ(TimeInTimStep[1], 1.5);
         EXPECT_EQ(QDinn[1][1], 2.0);
         EXPECT_EQ(Winn[0][0], 0.0);
         EXPECT_EQ(FlagJTime, 1);
       }},
      {"D records coming first give the times", [] { iSurf = 1; },
       "D 0 1 2 3 4 5 6 7 8 9 9.5\nD 100 11 12 13 14 15 16 17 18 19 9.25\n",
       [] {
         EXPECT_EQ(TimeInNo, 2);
         EXPECT_EQ(TimeInTime[1], 100.0);
         EXPECT_EQ(QDinn[0][0], 0.0);
         EXPECT_EQ(QDinn[0][1], 1.0);
         EXPECT_EQ(QDinn[0][9], 9.0);
         EXPECT_EQ(QDinn[1][1], 11.0);
         EXPECT_EQ(QDinn[1][9], 19.0);
         EXPECT_EQ(TimeInHout[0], 9.5);
         EXPECT_EQ(TimeInHout[1], 9.25);
         EXPECT_EQ(FlagDischargeTime, 1);
       }},
      {"D records repeat the times of H rows within 0.0001", {},
       "H 0 10 9\nH 50 10 9\nD 0.00005 1 2 3 4 5 6 7 8 9\nD 50 11 12 13 14 15 16 17 18 19\n",
       [] {
         EXPECT_EQ(TimeInNo, 2);
         EXPECT_EQ(TimeInTime[0], 0.0);
         EXPECT_EQ(QDinn[0][4], 4.0);
         EXPECT_EQ(QDinn[1][9], 19.0);
         EXPECT_EQ(FlagDischargeTime, 1);
       }},
      {"Q records fill the discharges of the rows", {},
       "H 0 10 9\nH 50 10 9\nQ 0 1 2 3 4 5 6 7 8 9\nQ 50 1 1 1 1 1 1 1 1 7\n",
       [] {
         EXPECT_EQ(TimeInNo, 2);
         EXPECT_EQ(QDinn[0][5], 5.0);
         EXPECT_EQ(QDinn[1][9], 7.0);
         EXPECT_EQ(FlagDischargeTime, 1);
       }},
      {"C records fill the sediment of the rows", [] { twoInflowGroups(); },
       "H 0 10 9\nH 50 10 9\nC 0 0.1 0.2\nC 50 0.3 0.4\n",
       [] {
         EXPECT_EQ(Cinn[0][1], 0.1);
         EXPECT_EQ(Cinn[0][2], 0.2);
         EXPECT_EQ(Cinn[1][1], 0.3);
         EXPECT_EQ(Cinn[1][2], 0.4);
         EXPECT_EQ(FlagDischargeTime, 0);
       }},
      {"M records alone give the times",
       [] {
         CompInflowNo = 2;
         windOn();
         irradianceOn();
         airTemperatureOn();
       },
       "M 0 0.5 2 1 0 7 8 250 15\nM 60 1 3 0 1 9 10 260 16\n",
       [] {
         EXPECT_EQ(TimeInNo, 2);
         EXPECT_EQ(TimeInTime[1], 60.0);
         EXPECT_EQ(TimeInTimStep[0], 0.5);
         EXPECT_EQ(Winn[1][0], 3.0);
         EXPECT_EQ(Winn[1][2], 1.0);
         EXPECT_EQ(Cinn[0][0], 7.0);
         EXPECT_EQ(Cinn[0][1], 8.0);
         EXPECT_EQ(Cinn[1][1], 10.0);
         EXPECT_EQ(Irradi[1], 260.0);
         EXPECT_EQ(AirTemp[0], 15.0);
         EXPECT_EQ(AirTemp[1], 16.0);
         EXPECT_EQ(FlagJTime, 1);
       }},
      {"N records carry every series",
       [] {
         iSurf = 1;
         CompInflowNo = 1;
         windOn();
       },
       "N 0 0.5 1 2 3 4 5 6 7 8 9 9.5 2 1 0 0.7\nN 10 0.25 1 1 1 1 1 1 1 1 4 9.25 3 0 1 0.8\n",
       [] {
         EXPECT_EQ(TimeInNo, 2);
         EXPECT_EQ(TimeInTime[1], 10.0);
         EXPECT_EQ(TimeInTimStep[1], 0.25);
         EXPECT_EQ(QDinn[0][9], 9.0);
         EXPECT_EQ(QDinn[1][9], 4.0);
         EXPECT_EQ(TimeInHout[0], 9.5);
         EXPECT_EQ(Winn[0][0], 2.0);
         EXPECT_EQ(Winn[1][2], 1.0);
         EXPECT_EQ(Cinn[0][0], 0.7);
         EXPECT_EQ(Cinn[1][0], 0.8);
         EXPECT_EQ(FlagJTime, 1);
         EXPECT_EQ(FlagDischargeTime, 0);
       }},
      {"A records give the alldata times", {}, "A 100\nA 250.5\n",
       [] {
         EXPECT_EQ(NoAlldataPrintout, 2);
         EXPECT_EQ(AlldataPrintout[0], 100.0);
         EXPECT_EQ(AlldataPrintout[1], 250.5);
         EXPECT_EQ(TimeInNo, 0);
       }},
      {"O records give the print items; the cells stay the grid's",
       [] {
         NoComponents = 2;
         TimePrint[0].cell[0] = 12;
         TimePrint[0].extra[5] = 3;  // left from before: cleared
       },
       "O 10 4\nh 3 4 c 7 1 q 2 1 u 5\nO 10 0\n",
       [] {
         EXPECT_EQ(TimePrintNo, 2);
         const TimePrintRecord& r = TimePrint[0];
         EXPECT_EQ(r.time, 10.0);
         EXPECT_EQ(r.itemNo, 4);
         const char letters[] = "hcqu";
         const int level[] = {3, 7, 2, 5}, i[] = {3, 0, 0, 0}, j[] = {4, 0, 0, 0},
                   extra[] = {0, 1, 1, 0};
         for (int m = 0; m < 4; ++m) {
           EXPECT_EQ(r.var[m], letters[m]) << m;
           EXPECT_EQ(r.level[m], level[m]) << m;
           EXPECT_EQ(r.i[m], i[m]) << m;
           EXPECT_EQ(r.j[m], j[m]) << m;
           EXPECT_EQ(r.extra[m], extra[m]) << m;
         }
         EXPECT_EQ(r.var[4], ' ');
         EXPECT_EQ(r.extra[5], 0);
         EXPECT_EQ(r.cell[0], 12);
         EXPECT_EQ(TimePrint[1].time, 10.0);
         EXPECT_EQ(TimePrint[1].itemNo, 0);
       }},
      {"letters outside the records are passed over", {},
       "B 1 2 E F G K L P R S T U V W X Y Z b e\nH 5 1 2\nx\n",
       [] {
         EXPECT_EQ(TimeInNo, 1);
         EXPECT_EQ(TimeInTime[0], 5.0);
       }},
  };
  for (const Stores& c : cases) {
    SCOPED_TRACE(c.name);
    start(c.options);
    write("timei", c.text);
    EXPECT_EQ(ReadTimes(), 0);
    EXPECT_FALSE(exists("boogie")) << log();
    EXPECT_EQ(mc_message, "have read 'timei' file ");
    EXPECT_FALSE(exists("timei.out"));
    c.check();
  }
}

// ---- error codes --------------------------------------------------------------------------

struct Refused {
  const char* name;
  std::function<void()> options;
  std::string text;
  int code;
  int rows;  // time rows read before the error
  int tableRows = 6;
};

// The log line of each code that has one.
std::string messageOf(int code) {
  switch (code) {
    case 8: return "Have not read five floats on the I data set, or the time is negative\n";
    case 9: return "The times on the data set are not in increasing order\n";
    case 10: return "Not read enough numbers on the data set\n";
    case 11:
      return "Too many time steps given in the timei file. Use F 81 in the control file or "
             "increase its existing value";
    case 12: return "Have not read three wind parameters on the I data set\n";
    case 13: return "Have not read irradiance parameter on the I data set\n";
    case 15: return "The times on the I/J and D data sets are not the same\n";
    case 20: return "Not read enough concentration numbers on the C data set\n";
    case 30: return "Not read enough discharge numbers on the Q data set\n";
    case 63: return "Have not read time step on the Q data set\n";
    case 64: return "Have not read time step on the C data set\n";
    case 65: return "Have not read three numbers on the H data set\n";
    case 101: return "Not read enough sediment concentrations on the I data set\n";
    case 102: return "Have not read 9 discharges on the D data set\n";
    case 103:
      return "Not read enough sediment concentrations on the J data set\n"
             "The number of floats should be 1 * 2 (sediment sizes * number of inflow "
             "groups)\n";
    default: return "";
  }
}

// Code 8 is shared by the D, I, J, M and N data sets and its text names the I data set: the
// next line says which data set it was.
TEST_F(Timei, ASharedCodeNamesTheDataSetThatFailed) {
  const std::string q9 = kNine;
  const struct {
    std::string text;
    char letter;
  } cases[] = {
      {"D nan" + q9 + "\n", 'D'}, {"I 0 1 2 3\n", 'I'}, {"J 0 1 2 3 4\n", 'J'},
      {"M 0\n", 'M'},            {"N 0\n", 'N'},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    start({}, 6);
    write("timei", c.text);
    EXPECT_EQ(ReadTimes(), 8);
    EXPECT_NE(log().find(strf("The data set that could not be read is a %c data set\n", c.letter)), std::string::npos)
        << log();
  }
}

TEST_F(Timei, EachErrorCodeIsLoggedWithItsMessageAndTheRowsRead) {
  const std::string q9 = kNine;
  const std::vector<Refused> cases = {
      {"A time unreadable", {}, "A x\n", 44, 0},
      {"101st A time", {}, repeat("A 1\n", 101), 44, 0},

      {"C time missing", {}, "H 0 1 2\nC\n", 64, 1},
      {"C time not that of its row", {}, "H 0 1 2\nC 5 1\n", 15, 1},
      {"C time negative", {}, "D -1" + q9 + "\nC -1 3\n", 64, 1},
      {"C concentration missing", twoInflowGroups, "H 0 1 2\nC 0 0.1\n", 20, 1},
      {"C rows beyond F 81", {}, "H 0 1 2\nH 1 1 2\nC 0 1\nC 1 1\nC 2 1\n", 11, 2, 1},

      {"D time missing", {}, "D\n", 8, 0},
      {"D discharges missing", {}, "D 0 1 2 3\n", 102, 0},
      {"D level missing", [] { kSurf = 2; }, "D 0" + q9 + "\n", 14, 0},
      {"D time not that of its row", {}, "H 0 1 2\nD 0.0002" + q9 + "\n", 15, 1},
      {"D times falling", {}, "D 10" + q9 + "\nD 5" + q9 + "\n", 9, 1},
      {"D rows beyond F 81", {}, "D 0" + q9 + "\nD 1" + q9 + "\nD 2" + q9 + "\n", 11, 2, 1},

      {"H two values", {}, "H 0 1\n", 65, 0},
      {"H time negative", {}, "H -1 1 2\n", 65, 0},
      {"H times falling", {}, "H 10 1 2\nH 5 1 2\n", 9, 1},
      {"H rows beyond F 81", {}, "H 0 1 2\nH 1 1 2\nH 2 1 2\n", 11, 2, 1},

      {"I four values", {}, "I 0 1 2 3\n", 8, 0},
      {"I time negative", {}, "I -1 1 2 3 4\n", 8, 0},
      {"I times falling", {}, "I 10 1 2 3 4\nI 5 1 2 3 4\n", 9, 1},
      {"I sediment missing",
       [] {
         FlagTSC = 1;
         lnumber = 2;
         twoInflowGroups();
       },
       "I 0 1 2 3 4 0.1 0.2 0.3\n", 101, 0},
      {"I wind incomplete", windOn, "I 0 1 2 3 4 5 6\n", 12, 0},
      {"I irradiance missing", irradianceOn, "I 0 1 2 3 4\n", 13, 0},
      {"I rows beyond F 81", {}, "I 0 1 2 3 4\nI 1 1 2 3 4\nI 2 1 2 3 4\n", 11, 2, 1},

      {"J five values", {}, "J 0 1 2 3 4\n", 8, 0},
      {"J times falling", {}, "J 10 1 2 3 4 1\nJ 5 1 2 3 4 1\n", 9, 1},
      {"J sediment missing",
       [] {
         FlagTSC = 1;
         twoInflowGroups();
       },
       "J 0 1 2 3 4 1 0.1\n", 103, 0},
      {"J time step negative", {}, "J 0 1 2 3 4 -1\n", 12, 0},
      {"J irradiance missing", irradianceOn, "J 0 1 2 3 4 1\n", 13, 0},

      {"M time only", {}, "M 0\n", 8, 0},
      {"M time negative", {}, "M -1 1\n", 8, 0},
      {"M times falling", {}, "M 10 1\nM 5 1\n", 9, 1},
      {"M wind incomplete", windOn, "M 0 1 2 3\n", 12, 0},
      {"M concentration missing", [] { CompInflowNo = 2; }, "M 0 1 5\n", 10, 0},
      {"M time step negative", {}, "M 0 -1\n", 12, 0},
      {"M irradiance missing", irradianceOn, "M 0 1\n", 13, 0},
      // The heat exchange reads the wind function and the irradiance before the air temperature.
      {"M air temperature missing", airTemperatureOn, "M 0 1 1 2 3 100\n", 14, 0},
      {"M heat exchange without wind", airTemperatureOn, "M 0 1\n", 12, 0},
      {"M rows beyond F 81", {}, "M 0 1\nM 1 1\nM 2 1\n", 11, 2, 1},

      {"N time only", {}, "N 0\n", 8, 0},
      {"N times falling", {}, "N 10 1" + q9 + "\nN 5 1" + q9 + "\n", 9, 1},
      {"N discharges missing", {}, "N 0 1 1 2 3\n", 10, 0},
      {"N level missing", [] { iSurf = 1; }, "N 0 1" + q9 + "\n", 14, 0},
      {"N wind incomplete", windOn, "N 0 1" + q9 + " 1 2\n", 12, 0},
      {"N concentration missing", [] { CompInflowNo = 1; }, "N 0 1" + q9 + "\n", 10, 0},
      {"N time step negative", {}, "N 0 -1" + q9 + "\n", 12, 0},
      {"N irradiance missing", irradianceOn, "N 0 1" + q9 + "\n", 13, 0},
      {"N air temperature missing", airTemperatureOn, "N 0 1" + q9 + " 1 2 3 100\n", 14, 0},
      {"N rows beyond F 81", {}, "N 0 1" + q9 + "\nN 1 1" + q9 + "\nN 2 1" + q9 + "\n", 11, 2,
       1},

      {"O count unreadable", {}, "O 5 x\n", 1, 0},
      {"O 26 items", {}, "O 5 26\n", 2, 0},
      {"O count negative", {}, "O 5 -1\n", 2, 0},
      {"O time negative", {}, "O -1 0\n", 2, 0},
      {"O earlier time and 26 items", {}, "O 10 0\nO 5 26\n", 3, 0},
      {"O earlier time", {}, "O 10 0\nO 5 0\n", 3, 0},
      {"O item value negative", {}, "O 1 1\nh -2 3\n", 4, 0},
      {"O column j missing", {}, "O 1 1\nh 2\n", 4, 0},
      {"O letter j", {}, "O 1 1\nj 2\n", 5, 0},
      {"O capital letter other than Q", {}, "O 1 2\nQ 1 H 2 3\n", 5, 0},
      {"O size beyond the sizes", {}, "O 1 1\nc 1 2\n", 6, 0},
      {"O size missing", {}, "O 1 1\nc 1\n", 6, 0},
      {"O component beyond the components", [] { NoComponents = 1; }, "O 1 1\nq 1 1\n", 17,
       0},
      {"21st O record", {}, repeat("O 1 0\n", 21), 7, 0},

      {"Q time missing", {}, "Q\n", 63, 0},
      {"Q time not that of its row", {}, "H 0 1 2\nQ 3" + q9 + "\n", 15, 1},
      {"Q discharges missing", {}, "H 0 1 2\nQ 0 1 2\n", 30, 1},
      {"Q rows beyond F 81", {}, "H 0 1 2\nH 1 1 2\nQ 0" + q9 + "\nQ 1" + q9 + "\nQ 2" + q9 + "\n",
       11, 2, 1},
  };
  for (const Refused& c : cases) {
    SCOPED_TRACE(c.name);
    start(c.options, c.tableRows);
    write("timei", c.text);
    EXPECT_EQ(ReadTimes(), c.code);
    // A value that cannot be read adds a line that says where, before the rows read.
    const std::string head = strf("Error in timei file: code %d\n", c.code) + messageOf(c.code);
    EXPECT_EQ(log().substr(0, head.size()), head);
    EXPECT_NE(log().find(strf("Have read %d data sets from timei file: \n", c.rows)), std::string::npos);
    EXPECT_EQ(TimeInNo, c.rows);
    EXPECT_EQ(mc_message, c.code == 11 ? "Error in 'timei': use F 81 or increase its value"
                                       : strf("Error in 'timei' file: code %d ", c.code));
  }
}

TEST_F(Timei, AfterAnErrorTheRowsReadAreListedWithTheirDischarges) {
  start();
  write("timei", "H 0 10 9\nH 60 10 9\nQ 0 1 2 3 4 5 6 7 8 9\nH 30 10 9\nH 90 10 9\n");
  EXPECT_EQ(ReadTimes(), 9);
  EXPECT_EQ(log(),
            "Error in timei file: code 9\n"
            "The times on the data set are not in increasing order\n"
            "Have read 2 data sets from timei file: \n"
            "0.000000  1.000000 2.000000 3.000000 4.000000 5.000000 6.000000 7.000000 "
            "8.000000 9.000000\n"
            "60.000000  0.000000 0.000000 0.000000 0.000000 0.000000 0.000000 0.000000 "
            "0.000000 0.000000\n");
  // The rows before the error stay; the record in error added nothing.
  EXPECT_EQ(TimeInTime[1], 60.0);
  EXPECT_EQ(TimeInNo, 2);
}

TEST_F(Timei, TheTablesHoldRowsUpToF81) {
  // F 81 2: rows 0, 1 and 2 fit; a fourth row does not.
  start({}, 2);
  write("timei", "H 0 1 2\nH 1 1 2\nH 2 1 2\n");
  EXPECT_EQ(ReadTimes(), 0);
  EXPECT_EQ(TimeInNo, 3);
  write("timei", "H 0 1 2\nH 1 1 2\nH 2 1 2\nH 3 1 2\n");
  EXPECT_EQ(ReadTimes(), 11);
  EXPECT_EQ(TimeInNo, 3);
}

TEST_F(Timei, WithoutTheFileNothingIsReadAndTimeiOutHasItsHeaderOnly) {
  for (char debug : {'N', 'D'}) {
    SCOPED_TRACE(debug);
    start([debug] { debugging = debug; });
    EXPECT_EQ(ReadTimes(), 0);
    EXPECT_EQ(mc_message, "have not used 'timei' file ");
    EXPECT_EQ(TimeInNo, 0);
    // A transient run without its series is said in the log, not only in the status text.
    EXPECT_EQ(read("boogie"),
              "Warning: have not used 'timei' file: it does not exist, so the discharges and levels "
              "of the control file hold for the whole run\n");
    if (debug == 'D') {
      EXPECT_EQ(read("timei.out"), "Time q1 q2 q3 h1 h2 c0\n");
    } else {
      EXPECT_FALSE(exists("timei.out"));
    }
  }
}

TEST_F(Timei, TimeiOutListsEveryPrintResRowWithItsSedimentSum) {
  struct Case {
    int printRes;
    std::string out;
  };
  const std::string header = "Time q1 q2 q3 h1 h2 c0\n";
  const std::string row0 = "0.000000 1.000000 2.000000 3.000000 10.000000 9.000000 0.300000\n";
  const std::string row1 = "10.000000 4.000000 5.000000 6.000000 11.000000 8.000000 0.700000\n";
  const std::string row2 = "20.000000 0.000000 0.000000 0.000000 12.000000 7.000000 0.000000\n";
  const std::vector<Case> cases = {
      {0, header + row0 + row1 + row2},
      {1, header + row0 + row1 + row2},
      {2, header + row0 + row2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.printRes);
    // One inflow group of two sizes: the sum of sizes 1 and 2 is the last column.
    start([&c] {
      debugging = 'D';
      PrintRes = c.printRes;
      lnumber = 2;
      DischargeStruct[1].surfaceNo = 1;
    });
    write("timei",
          "H 0 10 9\nH 10 11 8\nH 20 12 7\n"
          "Q 0 1 2 3 0 0 0 0 0 0\nQ 10 4 5 6 0 0 0 0 0 0\n"
          "C 0 0.1 0.2\nC 10 0.3 0.4\n");
    EXPECT_EQ(ReadTimes(), 0);
    EXPECT_EQ(read("timei.out"), c.out);
  }
}

TEST_F(Timei, ReadingAgainStartsEveryListAfresh) {
  // The file is read before each timed task: 60 alldata times read twice are still 60, not
  // 120 (beyond the 100 the list holds).
  start();
  write("timei", repeat("A 5\n", 60) + "H 0 1 2\nH 1 1 2\nO 1 0\n");
  for (int pass = 1; pass <= 2; ++pass) {
    SCOPED_TRACE(pass);
    EXPECT_EQ(ReadTimes(), 0);
    EXPECT_EQ(NoAlldataPrintout, 60);
    EXPECT_EQ(TimeInNo, 2);
    EXPECT_EQ(TimePrintNo, 1);
  }
}

TEST_F(Timei, ScanningStopsAfter3000CharactersPerRowOfF81) {
  // F 81 1: 3000 characters are looked at; an H record after 2990 others is read, one after
  // 3000 is not.
  for (int before : {2990, 3000}) {
    SCOPED_TRACE(before);
    start({}, 1);
    write("timei", std::string(before, 'x') + "H 0 1 2\n");
    // Within the characters looked at, the second file holds no data set at all.
    EXPECT_EQ(ReadTimes(), before == 2990 ? 0 : 72);
    EXPECT_EQ(TimeInNo, before == 2990 ? 1 : 0);
  }
}

// "nan", "inf" and "1e309" are no values: a NaN time would pass the test of increasing times
// and every interpolation after it would give NaN. Each is refused with the code of its record
// and the line where it stands.
TEST_F(Timei, ValuesThatAreNotFiniteAreRefusedWithTheirLine) {
  struct Case {
    const char* name;
    std::string text;
    int code;
    const char* where;
  };
  const std::string q9 = " 1 2 3 4 5 6 7 8 9";
  const std::vector<Case> cases = {
      {"D time", "D 0" + q9 + "\nD nan" + q9 + "\n", 8, "line 2, at 'nan'"},
      {"H level", "H 0 1 2\nH 10 inf 2\n", 65, "line 2, at 'inf'"},
      {"I discharge", "I 0 1e309 2 3 4\n", 8, "line 1, at '1e309'"},
      {"Q time", "H 0 1 2\nQ -nan" + q9 + "\n", 63, "line 2, at '-nan'"},
      {"C time", "H 0 1 2\nC NaN 1\n", 64, "line 2, at 'NaN'"},
      {"O time", "O inf 0\n", 1, "line 1, at 'inf'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    start();
    write("timei", c.text);
    EXPECT_EQ(ReadTimes(), c.code);
    EXPECT_NE(log().find(strf("No finite number could be read at %s\n", c.where)), std::string::npos)
        << log();
    for (int r = 0; r < TimeInNo; ++r) EXPECT_TRUE(std::isfinite(TimeInTime[r]));
  }
}

// A timei that is there but gives nothing, or cannot be read, is refused: the run would step
// with the constant discharges as if the file were not there.
TEST_F(Timei, EmptyOrUnreadableFileIsRefused) {
  struct Case {
    const char* name;
    std::function<void()> make;
    int code;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"empty", [] { write("timei", ""); }, 72, "The timei file holds no data set\n"},
      {"blank lines", [] { write("timei", "\n  \n\n"); }, 72, "The timei file holds no data set\n"},
      {"no record letter", [] { write("timei", "discharges 1 2 3\n"); }, 72,
       "The timei file holds no data set\n"},
      {"a folder", [] { std::filesystem::create_directory("timei"); }, 71,
       "The timei file exists but cannot be read\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    start();
    std::filesystem::remove_all("timei");
    c.make();
    EXPECT_EQ(ReadTimes(), c.code);
    EXPECT_EQ(log().rfind(strf("Error in timei file: code %d\n", c.code) + c.message, 0), 0u) << log();
    EXPECT_EQ(mc_message, strf("Error in 'timei' file: code %d ", c.code));
  }
}

TEST_F(Timei, ConcentrationRowsHoldEverySizeOfNineInflowGroups) {
  // lnumber sizes of up to nine groups at lnumber x g + l: 9 lnumber + 1 entries, at least
  // the 20 component inflows.
  struct Case {
    int sizes;
    std::size_t width;
  };
  for (const Case& c : {Case{1, 20}, Case{2, 20}, Case{3, 28}, Case{50, 451}}) {
    SCOPED_TRACE(c.sizes);
    start([&c] { lnumber = c.sizes; });
    EXPECT_EQ(Cinn.dim(1), c.width);
  }
  // Nine inflow groups of three sizes: the last value goes to 3 x 8 + 3 = 27.
  start([] {
    lnumber = 3;
    for (int g = 1; g <= 9; ++g) DischargeStruct[g].surfaceNo = 1;
  });
  std::string text = "H 0 1 2\nC 0";
  for (int k = 1; k <= 27; ++k) text += strf(" %d", k);
  write("timei", text + "\n");
  EXPECT_EQ(ReadTimes(), 0);
  EXPECT_EQ(Cinn[0][1], 1.0);
  EXPECT_EQ(Cinn[0][27], 27.0);
}

TEST_F(Timei, ConcentrationsBeyondTheRowAreRefusedNotWritten) {
  // A row narrower than the groups need (three entries for two groups of two sizes).
  start([] {
    lnumber = 2;
    twoInflowGroups();
  });
  Cinn.allocate(ArrayTimeSteps + 1, 3);
  write("timei", "H 0 1 2\nC 0 0.1 0.2 0.3 0.4\n");
  EXPECT_EQ(ReadTimes(), 20);
  EXPECT_NE(log().find("The concentration rows hold 3 values, too few for 2 sizes of 2 inflow "
                       "groups\n"),
            std::string::npos)
      << log();
  EXPECT_EQ(Cinn[0][2], 0.2);
}

TEST_F(Timei, RowZeroConcentrationsOfTheSizesAreClearedBeforeReading) {
  start([] { lnumber = 2; });
  for (int k = 0; k <= 3; ++k) Cinn[0][k] = 5.0;
  write("timei", "H 0 1 2\n");
  EXPECT_EQ(ReadTimes(), 0);
  EXPECT_EQ(Cinn[0][0], 0.0);
  EXPECT_EQ(Cinn[0][2], 0.0);
  EXPECT_EQ(Cinn[0][3], 5.0);
}

TEST_F(Timei, SteadyRunHasNoTablesAndLeavesTheFileUnread) {
  start([] { TimeStep = 1e-20; });
  write("timei", "H 0 1 2\n");
  EXPECT_EQ(ReadTimes(), 0);
  EXPECT_EQ(TimeInNo, 0);
  EXPECT_EQ(mc_message, "have not used 'timei' file ");
}

// ---- interpolation ---------------------------------------------------------------------------

struct Sample {
  double t, value;
};

TEST_F(Timei, SeriesAreInterpolatedBetweenRowsAndHeldOrExtendedOutside) {
  struct Case {
    const char* name;
    std::vector<double> times, values;
    std::vector<Sample> samples;
  };
  const std::vector<Case> cases = {
      // Rows at 0, 10 and 40 s: before 0 the line through the first two rows goes on.
      {"three rows",
       {0, 10, 40},
       {100, 200, 500},
       {{-5, 50}, {0, 100}, {5, 150}, {10, 200}, {25, 350}, {40, 500}, {50, 500}}},
      {"two rows", {0, 10}, {100, 200}, {{-10, 0}, {5, 150}, {10, 200}, {30, 200}}},
      // One row is a constant at any time.
      {"one row", {3}, {7}, {{-1, 7}, {3, 7}, {100, 7}}},
      // A step at the start: the first two rows share 100 s, so there is no line to extend
      // back and the first row holds before them.
      {"two first rows at one time",
       {100, 100, 200},
       {10, 12, 22},
       {{0, 10}, {50, 10}, {100, 12}, {150, 17}, {200, 22}, {300, 22}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    start();
    TimeInNo = static_cast<int>(c.times.size());
    for (int r = 0; r < TimeInNo; ++r) {
      TimeInTime[r] = c.times[r];
      TimeInHout[r] = c.values[r];
      QDinn[r][4] = c.values[r];
      Winn[r][2] = -c.values[r];
    }
    for (const Sample& s : c.samples) {
      EXPECT_NEAR(timeSeriesValue(TimeInHout, s.t), s.value, 1e-9) << "t = " << s.t;
      EXPECT_NEAR(timeSeriesValue(QDinn, 4, s.t), s.value, 1e-9) << "t = " << s.t;
      EXPECT_NEAR(timeSeriesValue(Winn, 2, s.t), -s.value, 1e-9) << "t = " << s.t;
    }
  }
}

TEST_F(Timei, RowAndWeightOfATime) {
  start();
  TimeInNo = 3;
  TimeInTime[0] = 0;
  TimeInTime[1] = 10;
  TimeInTime[2] = 40;
  struct Case {
    double t;
    int row;
    double w;
  };
  for (const Case& c : {Case{-5, 1, 1.5}, Case{5, 1, 0.5}, Case{10, 2, 1.0}, Case{25, 2, 0.5},
                        Case{70, 2, 0.0}}) {
    const TimeSeriesPoint p = timeSeriesPoint(c.t);
    EXPECT_EQ(p.row, c.row) << c.t;
    EXPECT_EQ(p.prev, c.row - 1) << c.t;
    EXPECT_NEAR(p.w, c.w, 1e-12) << c.t;
  }
  // No row or one row: row 0 alone.
  for (int rows : {0, 1}) {
    TimeInNo = rows;
    const TimeSeriesPoint p = timeSeriesPoint(7.0);
    EXPECT_EQ(p.row, 0);
    EXPECT_EQ(p.prev, 0);
    EXPECT_EQ(p.w, 0.0);
  }
}

// ---- print items on the grid -----------------------------------------------------------------

TEST_F(Timei, PrintItemsOfColumnsGetTheirCellsWhenTheGridIsBuilt) {
  // A block of 3 x 3 columns (i, j = 2..4), 10 m deep with 11 levels: 9 cells per column,
  // numbered row j by row j, i fastest: column (i, j) starts at 9 ((j - 2) 3 + i - 2) + 1.
  xnumber = ynumber = 6;
  znumber = 11;
  MaxCeller = 1000;
  MaxFlater = 2000;
  MaxPunkter = 2000;
  TimeStep = 1.0;
  ArrayTimeSteps = 3;
  ASSERT_EQ(sialloc(), 0);
  ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
  NoBlocks = 1;
  block[1].i1 = 2;
  block[1].i2 = 4;
  block[1].j1 = 2;
  block[1].j2 = 4;
  block[1].bedfollow = 1;
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 4; ++j) {
      xval[i][j] = i - 1;
      yval[i][j] = j - 1;
      zval[i][j][1] = -10;
      zval[i][j][znumber] = 0;
    }
  write("timei", "O 0 3\nh 3 3 z 2 4 u 5\n");
  ASSERT_EQ(ReadTimes(), 0);
  TimePrint[0].cell[2] = -7;
  try {
    Unstructure();
  } catch (const RunEnd& e) {
    FAIL() << "run ended with " << e.status << "\n" << log();
  }
  // Item h 3 3: column (3, 3) from cell 37, its first number 3 as the level: 4 cells up.
  EXPECT_EQ(TimePrint[0].cell[0], 41);
  // Item z 2 4: column (2, 4) from cell 55, level 2: 3 cells up.
  EXPECT_EQ(TimePrint[0].cell[1], 58);
  // Item u has no column and keeps its cell.
  EXPECT_EQ(TimePrint[0].cell[2], -7);
}

}  // namespace
}  // namespace qorva
