// The scan of control: dispatch, the frame data sets (F 2, F 7, T, F 206), the end of reading.
#include <gtest/gtest.h>
#include <omp.h>

#include <string>

#include "state/options.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using ReaderFrame = test::Scratch;

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

}  // namespace
}  // namespace qorva
