// The scan of control: dispatch, the frame data sets (F 2, F 7, T, F 206), the end of reading.
#include <gtest/gtest.h>
#include <omp.h>

#include <string>
#include <vector>

#include "state/options.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using ReaderFrame = test::Scratch;
using test::endStatus;
using test::Refusal;

std::string str(const char* p, std::size_t n) { return std::string(p, n); }

TEST_F(ReaderFrame, NothingFoundKeepsDefaults) {
  EXPECT_EQ(scan("no values given\n"), 1000);
  EXPECT_EQ(TimeStep, 1e-20);
  EXPECT_EQ(IterF2, 1);
  EXPECT_EQ(debugging, 'N');
  EXPECT_EQ(run[0], '\0');
}

TEST_F(ReaderFrame, TaskLettersKeepTheBlankAndTheLineEnd) {
  EXPECT_EQ(scan("F 2 WS\nF 20 2\n"), 1000);
  EXPECT_EQ(str(run.data(), 20), std::string(" WS\n") + std::string(16, ' '));
  EXPECT_EQ(IterF2, 2);  // the next line is scanned normally
}

TEST_F(ReaderFrame, TaskLettersStopAfterTwentyCharacters) {
  EXPECT_EQ(scan("F 2 ABCDEFGHIJKLMNOPQRSTUVW F 20 3"), 1000);
  EXPECT_EQ(str(run.data(), 20), " ABCDEFGHIJKLMNOPQRS");
  // "TUVW" is met by the scan: T takes a title, so F 20 is read as part of it.
  EXPECT_EQ(IterF2, 1);
}

TEST_F(ReaderFrame, OptionLetters) {
  EXPECT_EQ(scan("F 7 NB\nF 20 3\n"), 1000);
  EXPECT_EQ(str(options.data() + 1, 4), " NB\n");
  EXPECT_EQ(FlagBedGradient, 1);
  EXPECT_EQ(FlagBedslopeCorrection, 1);
  EXPECT_EQ(IterF2, 3);
}

TEST_F(ReaderFrame, EachOptionLetterSetsItsFlag) {
  struct Case { const char* text; int* flag; int value; };
  const Case cases[] = {
      {"F 7 V\n", &FlagPlotVertical, 1}, {"F 7 I\n", &FlagInflowDirection, 1},
      {"F 7 A\n", &FlagDiffNonVert, 0},  {"F 7 Z\n", &FlagZ0Small, 1},
      {"F 7 X\n", &FlagXCYC, 1},         {"F 7 C\n", &FlagInZero, 0},
      {"F 7 P\n", &FlagBedPoros, 1},     {"F 7 PG\n", &FlagBedPoros, 2},
      {"F 7 GP\n", &FlagBedPoros, 1},    {"F 7 E\n", &FlagFlowDirCor, 1},
  };
  for (const Case& c : cases) {
    setDefaults();
    EXPECT_EQ(scan(c.text), 1000) << c.text;
    EXPECT_EQ(*c.flag, c.value) << c.text;
  }
}

TEST_F(ReaderFrame, OptionLettersFAndSAreErrors) {
  for (const char* text : {"F 7 NF\n", "F 7 S\n"}) {
    write("boogie", "");
    EXPECT_EQ(scan(text), -1) << text;
    EXPECT_EQ(log(), "Error for F 7 data set in control file\n") << text;
  }
}

TEST_F(ReaderFrame, OptionLettersBeyondTheEighthAreScanned) {
  // Eight characters are taken (" ABCDEZX"); "F 20 4" after them is a data set.
  EXPECT_EQ(scan("F 7 ABCDEZXF 20 4"), 1000);
  EXPECT_EQ(FlagXCYC, 1);
  EXPECT_EQ(IterF2, 4);
}

TEST_F(ReaderFrame, TitleIsHeldFromThePositionOneAndEndsWithABlank) {
  EXPECT_EQ(scan("T Flume test\nF 20 2\n"), 1000);
  EXPECT_EQ(Title[0], '\0');
  EXPECT_EQ(std::string(Title.data() + 1), " Flume test ");
  EXPECT_EQ(IterF2, 2);
}

TEST_F(ReaderFrame, LongTitleKeepsSixtyEightCharactersAndScansTheRest) {
  std::string title(68, 'x');
  // The 69th character is consumed; from the 70th on the text is scanned: "F 20 5".
  EXPECT_EQ(scan("T" + title + "yF 20 5\n"), 1000);
  EXPECT_EQ(std::string(Title.data() + 1), title + " ");
  EXPECT_EQ(IterF2, 5);
}

TEST_F(ReaderFrame, ThreadCountIsCappedAtTheMaximum) {
  const int m = omp_get_max_threads();
  EXPECT_EQ(scan("F 206 100000\n"), 1000);
  EXPECT_EQ(NoProcessesSolver, m);
  EXPECT_EQ(log(), strf("Max. number of threads: %d, value F 206: 100000\n", m));
}

TEST_F(ReaderFrame, ThreadCountMustBeANumberNotBelowZero) {
  for (const char* text : {"F 206 x\n", "F 206 -2\n"}) {
    write("boogie", "");
    EXPECT_EQ(scan(text), 1) << text;
    EXPECT_EQ(log(), "Error for F 206 in control") << text;
  }
}

TEST_F(ReaderFrame, NumbersWithoutReaderAreSkippedCharacterByCharacter) {
  EXPECT_EQ(scan("F 600 3.5 F 20 2\n"), 1000);
  EXPECT_EQ(IterF2, 2);
  // A letter without a number is skipped like any other character.
  EXPECT_EQ(scan("F word F 20 3\nlower-case note F 20 4"), 1000);
  EXPECT_EQ(IterF2, 4);
}

TEST_F(ReaderFrame, CapitalLetterInANoteStartsADataSet) {
  // "Flume" starts a data set F whose number cannot be read; scanning goes on.
  EXPECT_EQ(scan("Flume case F 20 2\n"), 1000);
  EXPECT_EQ(IterF2, 2);
}

// What the reader skips is said once in the log: a number that no data set has (once per
// letter and number, with the line of its first occurrence), and a data-set letter followed by
// no number (once per letter). The data sets around them are read as before.
TEST_F(ReaderFrame, SkippedDataSetsAreWarnedAboutOnce) {
  const std::string unknownF9999 =
      "Warning: control holds F 9999 (line 2), a data set this version does not read; it is "
      "skipped (docs/CONTROL.md lists the data sets)\n";
  const std::string unknownG77 =
      "Warning: control holds G 77 (line 3), a data set this version does not read; it is "
      "skipped (docs/CONTROL.md lists the data sets)\n";
  const std::string bareF =
      "Warning: the letter F on line 1 of control is followed by no number; it is skipped as "
      "text (a capital letter in a note starts a data set)\n";
  const std::string bareS =
      "Warning: the letter S on line 1 of control is followed by no number; it is skipped as "
      "text (a capital letter in a note starts a data set)\n";
  const Refusal rows[] = {
      {"F 9999 3\nF 9999 3\nF 20 2\n", 1000,
       "Warning: control holds F 9999 (line 1), a data set this version does not read; it is "
       "skipped (docs/CONTROL.md lists the data sets)\n"},
      {"F 20 2\nF 9999 3\nG 77 1\nF 9999 4\n", 1000, unknownF9999 + unknownG77},
      // F -1 and F 600 are numbers without a row too.
      {"F -1 2\n", 1000,
       "Warning: control holds F -1 (line 1), a data set this version does not read; it is "
       "skipped (docs/CONTROL.md lists the data sets)\n"},
      {"Flume Fine Sand F 20 2\n", 1000, bareF + bareS},
      // A value a reader could not take leaves its letter to the scan.
      {"F 12 NF 20 3", 1000,
       "Warning: the letter N on line 1 of control is followed by no number; it is skipped as "
       "text (a capital letter in a note starts a data set)\n"},
      // Lower-case notes and the values of the data sets say nothing.
      {"T Title With Capitals\nF 2 WX\nF 10 Y\nnotes in lower case\nF 20 2\n", 1000, ""},
  };
  for (const Refusal& row : rows) {
    SCOPED_TRACE(row.text);
    fresh();
    EXPECT_EQ(scan(row.text), row.status);
    EXPECT_EQ(log(), row.message);
  }
  // The data sets around the skipped ones were read.
  fresh();
  EXPECT_EQ(scan("F 9999 3 F 20 2 Flume F 36 2"), 1000) << log();
  EXPECT_EQ(IterF2, 2);
  EXPECT_EQ(FlagTFS, 2);
}

// The scan hands back the data sets it read, from their letter to where their reader stopped.
TEST_F(ReaderFrame, ScanReturnsTheDataSetsReadInTheirOrder) {
  const std::string text = "T Case\nnote F 20 2\nF 9999 1\nG 1 10 8 5 1\n";
  ControlInput in(text);
  const std::vector<DataSetRead> read = scanControl(in);
  ASSERT_EQ(read.size(), 3u);
  EXPECT_EQ(read[0].letter, 'T');
  EXPECT_EQ(read[1].letter, 'F');
  EXPECT_EQ(read[1].number, 20);
  EXPECT_EQ(text.substr(read[1].begin, read[1].end - read[1].begin), "F 20 2");
  EXPECT_EQ(read[2].letter, 'G');
  EXPECT_EQ(text.substr(read[2].begin, read[2].end - read[2].begin), "G 1 10 8 5 1");
  EXPECT_EQ(read[2].row, findDataSet('G', 1));
}

// F 1 I echoes every data set read, as it stands in control, with the meaning of its row.
TEST_F(ReaderFrame, DebugLetterIEchoesTheDataSetsRead) {
  write("control", "T Echo\nF 20 2 F 9999 5\nF 1 I\nK 5 0 0 0\n1 0 0\n");
  EXPECT_EQ(endStatus([] { kread(); }), 1000) << log();
  const std::string l = log();
  EXPECT_NE(l.find(strf("Data sets read from control (F 1 I), in their order:\n"
                        "  T Echo                   -- %s\n"
                        "  F 20 2                   -- %s\n"
                        "  F 1 I                    -- %s\n"
                        "  K 5 0 0 0 1 0 0          -- %s\n\n",
                        findDataSet('T', 0)->meaning, findDataSet('F', 20)->meaning,
                        findDataSet('F', 1)->meaning, findDataSet('K', 5)->meaning)),
            std::string::npos)
      << l;
  // Without the letter nothing is echoed.
  write("control", "T Echo\nF 20 2\n");
  EXPECT_EQ(endStatus([] { kread(); }), 1000);
  EXPECT_EQ(log().find("Data sets read"), std::string::npos);
}

TEST_F(ReaderFrame, ValueThatCannotBeReadLeavesTheNextDataSet) {
  // F 17 has no readable value; the N of the next data set must not be taken as NaN.
  EXPECT_EQ(scan("F 12 NF 20 3"), 1000);
  EXPECT_EQ(Schmidt, 1.0);
  EXPECT_EQ(IterF2, 3);
}

TEST_F(ReaderFrame, ReadingEndsAtByte255AndAfterTheScanLimit) {
  EXPECT_EQ(scan(std::string("F 20 2\n\xff F 20 3\n")), 1000);
  EXPECT_EQ(IterF2, 2);
  setDefaults();
  EXPECT_EQ(scan(std::string(30000, ' ') + "F 20 3\n"), 1000);
  EXPECT_EQ(IterF2, 1);
  setDefaults();
  EXPECT_EQ(scan(std::string(29990, ' ') + "F 20 3\n"), 1000);
  EXPECT_EQ(IterF2, 3);
}

TEST_F(ReaderFrame, LastOccurrenceWins) {
  EXPECT_EQ(scan("F 20 2 F 20 5"), 1000);
  EXPECT_EQ(IterF2, 5);
}

TEST_F(ReaderFrame, EveryRowIsUniqueAndHasAReader) {
  const DataSetTable& t = dataSetTable();
  ASSERT_FALSE(t.empty());
  for (const DataSetRow& row : t) EXPECT_TRUE(static_cast<bool>(row.read)) << row.letter << row.number;
}

// The meaning of each row is one line (the echo of F 1 I and docs/CONTROL.md show it).
TEST_F(ReaderFrame, EveryRowHasAOneLineMeaning) {
  for (const DataSetRow& row : dataSetTable()) {
    ASSERT_NE(row.meaning, nullptr) << row.letter << row.number;
    const std::string m = row.meaning;
    EXPECT_GE(m.size(), 10u) << row.letter << row.number;
    EXPECT_EQ(m.find_first_of("\n|"), std::string::npos) << row.letter << row.number;
  }
}

}  // namespace
}  // namespace qorva
