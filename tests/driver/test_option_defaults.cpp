// Defaults of the data sets: each row puts back the values its globals are declared with, so a
// default is written in one place only; and the standard failure text of each data set.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "driver/control.h"
#include "state/options.h"
#include "support/scratch.h"

namespace qorva {
namespace {

// Overwrites every global of every row with bytes no default holds.
void scribbleEveryRow() {
  for (const DataSetRow& row : dataSetTable())
    for (const Defaults::Target& t : row.defaults.targets())
      std::memset(t.at, 0x5A, t.value.size());
}

// Start values the Parts give, for one or two settings of each kind of declaration: plain
// values, tables filled by a formula, records, and the settings of the frame.
void expectStartValuesOfTheParts() {
  EXPECT_EQ(UMethod, 11);                 // F 64
  EXPECT_EQ(MaxCeller, 50000);            // F 65
  EXPECT_EQ(MaxConnFlate, 1000);
  EXPECT_EQ(xnumber, 300);                // G 1
  EXPECT_EQ(lnumber, 1);
  EXPECT_DOUBLE_EQ(zdistrib[11], 1.0);    // G 3: 0, 0.1, .. 1 on levels 1..11
  EXPECT_DOUBLE_EQ(zdistrib[4], 0.3);
  EXPECT_EQ(SurfUpdate[0], 0);            // G 26: blocks 1..98
  EXPECT_EQ(SurfUpdate[98], 1);
  EXPECT_EQ(SurfUpdate[99], 0);
  EXPECT_EQ(FlagOpenMP[11], 1);           // G 50 and F 269
  EXPECT_DOUBLE_EQ(relax[3], 0.8);        // K 3
  EXPECT_DOUBLE_EQ(relax[4], 0.2);
  EXPECT_DOUBLE_EQ(relax[6], 0.5);
  EXPECT_EQ(sweeps[4], 5);                // K 4
  EXPECT_EQ(sweeps[49], 1);
  EXPECT_DOUBLE_EQ(discharges[9], -1.0);  // F 237
  EXPECT_EQ(updates[0], -1);              // F 263
  EXPECT_EQ(PrintArrayFlags[1], 1);       // F 329
  EXPECT_EQ(PrintArrayFlags[2], 0);
  EXPECT_DOUBLE_EQ(ShearGridCoeff[10], 1.0);  // F 507
  EXPECT_EQ(CompInflow[9].order[50], -1);     // M: no inflow concentration given
  EXPECT_DOUBLE_EQ(CompInflow[9].value[50], 0.0);
  EXPECT_DOUBLE_EQ(SedimentSample[0][1], 1.0);  // N: all of size 1
  EXPECT_DOUBLE_EQ(SedimentSample[0][2], 0.0);
  EXPECT_EQ(Bio[13].count, 0);                  // H: only the last table holds points
  EXPECT_EQ(Bio[14].count, 7);
  EXPECT_DOUBLE_EQ(Bio[14].value[6], 100.0);
  EXPECT_EQ(Bio[14].firstCode[4], 8);
  EXPECT_EQ(Bio[14].secondCode[0], 2);
  EXPECT_EQ(graph, 'g');                        // P 4
  EXPECT_EQ(FlagDiffNonVert, 1);                // F 7
  EXPECT_EQ(run[0], '\0');                      // F 2
  EXPECT_EQ(Title[1], '\0');                    // T
}

TEST(OptionDefaults, EveryRowPutsBackTheValuesItsGlobalsAreDeclaredWith) {
  scribbleEveryRow();
  setDefaults();
  for (const DataSetRow& row : dataSetTable())
    for (const Defaults::Target& t : row.defaults.targets())
      EXPECT_EQ(std::memcmp(t.at, t.value.data(), t.value.size()), 0)
          << row.letter << " " << row.number;
  expectStartValuesOfTheParts();
}

// The rows take their copy before main: a setting changed before anything was read (a test
// that sets what it needs first) is still put back to its declared value.
TEST(OptionDefaults, ASettingChangedBeforeTheFirstReadingIsPutBack) {
  UMethod = 3;
  relax[4] = 0.9;
  CompInflow[9].order[50] = 4;
  Bio[14].count = 0;
  discharges[9] = 12.5;
  setDefaults();
  expectStartValuesOfTheParts();
}

TEST(OptionDefaults, ARowWithoutDefaultsLeavesItsSharedGlobals) {
  // G 5, G 11 and G 30 fill what G 4, G 10 and G 3 give defaults to.
  for (int number : {5, 11, 30}) {
    const DataSetRow* row = findDataSet('G', number);
    ASSERT_NE(row, nullptr) << number;
    EXPECT_TRUE(row->defaults.targets().empty()) << number;
  }
}

struct EndsLine {
  char letter;
  int number;
  bool lineEnd;
};

TEST(OptionDefaults, StandardFailureTextEndsWithALineEndWhereTheDataSetsSay) {
  const EndsLine cases[] = {
      {'F', 8, false},   {'F', 133, false}, {'F', 134, true},  {'F', 199, true},
      {'F', 200, false}, {'F', 207, false}, {'F', 208, true},  {'F', 211, false},
      {'F', 212, true},  {'F', 217, true},  {'F', 218, false}, {'F', 233, false},
      {'F', 234, true},  {'F', 269, true},  {'F', 270, false}, {'F', 271, true},
      {'F', 374, true},  {'F', 375, false}, {'F', 381, true},  {'F', 387, false},
      {'F', 409, false}, {'F', 410, true},  {'F', 534, true},  {'G', 134, false},
      {'K', 300, false},
  };
  for (const EndsLine& c : cases)
    EXPECT_EQ(standardTextEndsLine(c.letter, c.number), c.lineEnd) << c.letter << " " << c.number;
}

using StandardText = test::Scratch;

TEST_F(StandardText, RowMakersFailWithTheStandardTextOfTheirDataSet) {
  expectRefusals({
      {"F 68 11", 1, "Error for F 68 in control"},               // range
      {"F 81", 1, "Error for F 81 in control"},                  // missing value
      {"F 163", 1, "Error for F 163 in control\n"},              // missing, no range
      {"F 209", 1, "Error for F 209 in control"},
      {"F 213 1", 1, "Error for F 213 in control\n"},            // switch without value
      {"F 213 -1 0.5", 1, "Error for F 213 in control\n"},
      {"F 262 1 -5e-6", 1, "Error for F 262 in control\n"},
      {"F 391 -1", 1, "Error for F 391 in control"},
      {"F 411 -1", 1, "Error for F 411 in control\n"},           // a value that may be missing
      {"F 491 1.5", 1, "Error for F 491 in control\n"},
      {"F 505", 1, "Error for F 505 in control\n"},
  });
}

TEST_F(StandardText, AMissingOptionalValueKeepsTheDefault) {
  EXPECT_EQ(scan("F 411"), 1000);
  EXPECT_DOUBLE_EQ(BankCohesion, 0.0);
}

}  // namespace
}  // namespace qorva
