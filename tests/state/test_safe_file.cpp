// Files written whole or not at all, appended files whose failure is reported, and the record
// reader that refuses a line one value short or long, or a value that is not finite.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "state/log.h"
#include "state/safe_file.h"
#include "state/status.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using SafeFile = test::Scratch;

bool haveFullDevice() { return std::filesystem::exists("/dev/full"); }

using test::endStatus;

// ---- OutFile ----------------------------------------------------------------------------------

TEST_F(SafeFile, CommitReplacesTheOldFileWhole) {
  write("result.end", "old\n");
  {
    OutFile f("result.end");
    ASSERT_TRUE(f.ok());
    f.printf("new %d\n", 2);
    // Until the commit the old copy is what the name holds.
    EXPECT_EQ(read("result.end"), "old\n");
    EXPECT_TRUE(std::filesystem::exists("result.end.tmp"));
    EXPECT_TRUE(f.commit());
  }
  EXPECT_EQ(read("result.end"), "new 2\n");
  EXPECT_FALSE(std::filesystem::exists("result.end.tmp"));
}

// A run killed while writing leaves "<name>.tmp"; the next write of that file starts it afresh
// (a longer stale copy leaves no tail) and renames it away.
TEST_F(SafeFile, AStaleTemporaryCopyIsReplacedByTheNextWrite) {
  write("bedres.t", "old\n");
  write("bedres.t.tmp", "a stale copy, cut short by a kill, longer than the new one\n");
  {
    OutFile f("bedres.t");
    ASSERT_TRUE(f.ok());
    f.printf("new\n");
    EXPECT_TRUE(f.commit());
  }
  EXPECT_EQ(read("bedres.t"), "new\n");
  EXPECT_FALSE(std::filesystem::exists("bedres.t.tmp"));
}

TEST_F(SafeFile, FileDroppedWithoutCommitLeavesTheOldCopy) {
  write("unstruc", "old\n");
  EXPECT_EQ(endStatus([] {
              OutFile f("unstruc");
              f.printf("half a grid");
              endRun(-1);  // the run ends while the file is written
            }),
            -1);
  EXPECT_EQ(read("unstruc"), "old\n");
  EXPECT_FALSE(std::filesystem::exists("unstruc.tmp"));
}

TEST_F(SafeFile, FullDiskKeepsTheOldCopyAndSaysWhy) {
  if (!haveFullDevice()) GTEST_SKIP() << "no /dev/full";
  write("result.end", "old\n");
  std::filesystem::create_symlink("/dev/full", "result.end.tmp");
  EXPECT_EQ(endStatus([] {
              OutFile f("result.end");
              ASSERT_TRUE(f.ok());
              for (int k = 0; k < 1000; ++k) f.printf("%d a line of the result\n", k);
              f.commitOrEnd(-3);
            }),
            -3);
  EXPECT_EQ(read("result.end"), "old\n");
  EXPECT_EQ(log(),
            "Error: could not write file 'result.end' (No space left on device); the previous copy is kept.\n");
}

TEST_F(SafeFile, FileThatCannotBeOpenedIsNotOkAndCommitFails) {
  std::filesystem::create_directory("koosurf.1.tmp");
  OutFile f("koosurf.1");
  EXPECT_FALSE(f.ok());
  f.printf("ignored\n");
  EXPECT_FALSE(f.commit());
  EXPECT_EQ(f.reason(), "Is a directory");
  EXPECT_FALSE(std::filesystem::exists("koosurf.1"));
}

TEST_F(SafeFile, BinaryWritesAreCheckedToo) {
  if (!haveFullDevice()) GTEST_SKIP() << "no /dev/full";
  std::filesystem::create_symlink("/dev/full", "resultb.tmp");
  OutFile f("resultb", true);
  const double v[4096] = {};
  f.write(v, sizeof(double), 4096);
  EXPECT_FALSE(f.commit());
  EXPECT_FALSE(std::filesystem::exists("resultb"));
}

// ---- appended files and the log ---------------------------------------------------------------

TEST_F(SafeFile, AppendedSeriesReportsALostLine) {
  if (!haveFullDevice()) GTEST_SKIP() << "no /dev/full";
  std::filesystem::create_symlink("/dev/full", "tafnor");
  EXPECT_EQ(endStatus([] {
              File t("tafnor", "a");
              ASSERT_TRUE(t);
              std::fprintf(t.get(), "1 0.5 0.5 0.5 0.5 0.5 0.5\n");
              t.closeOrEnd("tafnor", -4);
            }),
            -4);
  EXPECT_EQ(log(),
            "Error: could not write file 'tafnor' (No space left on device); the lines written before are "
            "kept.\n");
}

TEST_F(SafeFile, LogThatCannotBeWrittenEndsTheRunWithMinus3) {
  if (!haveFullDevice()) GTEST_SKIP() << "no /dev/full";
  std::filesystem::create_symlink("/dev/full", "boogie");
  EXPECT_FALSE(appendToLog("a line\n"));
  mc_message.clear();
  EXPECT_EQ(endStatus([] { logf("Have read %d points\n", 3); }), -3);
  EXPECT_EQ(mc_message, "cannot open file 'boogie' ");
}

// ---- RecordReader -----------------------------------------------------------------------------

// Reads the file as records of `count` values each (ints when `ints`), one a line; the values
// read, or the refusal.
std::string readRecords(int count, bool ints) {
  RecordReader in("records");
  std::string out;
  try {
    for (long long r = 1; in.record(count, "record %lld", r); ++r) {
      for (int k = 0; k < count; ++k) out += ints ? strf("%d ", in.i()) : strf("%g ", in.d());
      in.end();
      out += "| ";
    }
  } catch (const BadRecord& e) {
    return e.text;
  }
  return out;
}

TEST_F(SafeFile, RecordsLieOnOneLineEach) {
  struct Case {
    const char* name;
    std::string text;
    int count;
    bool ints;
    std::string result;
  };
  const Case cases[] = {
      {"whole records", "1 2 3\n4 5 6\n", 3, true, "1 2 3 | 4 5 6 | "},
      {"blank lines and a last line without its end", "\n1 2 3\n  \n\t4 5 6", 3, true, "1 2 3 | 4 5 6 | "},
      {"line ends of another system", "1 2 3\r\n4 5 6\r\n", 3, true, "1 2 3 | 4 5 6 | "},
      {"one value short", "1 2 3\n4 5\n6 7 8\n", 3, true, "line 2: record 2 needs 3 values, the line holds 2"},
      {"one value more", "1 2 3 4\n", 3, true, "line 1: record 1 needs 3 values, the line holds 4"},
      {"a record over two lines", "1 2\n3\n", 3, true, "line 1: record 1 needs 3 values, the line holds 2"},
      {"a fraction for an int", "1 2.5 3\n", 3, true, "line 1: '2.5' in record 1 is not an integer"},
      {"an int too large", "1 2147483648 3\n", 3, true,
       "line 1: '2147483648' in record 1 is too large for an integer"},
      {"the largest int", "1 2147483647 -2147483648\n", 3, true, "1 2147483647 -2147483648 | "},
      {"text", "1.5 x 2\n", 3, false, "line 1: 'x' in record 1 is not a number"},
      {"a number with text after it", "1.5 2e3x 2\n", 3, false, "line 1: '2e3x' in record 1 is not a number"},
      {"nan", "1.5 nan 2\n", 3, false, "line 1: 'nan' in record 1 is not a finite number"},
      {"minus infinity", "1.5 -inf 2\n", 3, false, "line 1: '-inf' in record 1 is not a finite number"},
      {"beyond the doubles", "1.5 1e309 2\n", 3, false, "line 1: '1e309' in record 1 is not a finite number"},
      {"below the doubles", "1.5 1e-400 2\n", 3, false, "1.5 0 2 | "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    write("records", c.text);
    EXPECT_EQ(readRecords(c.count, c.ints), c.result);
  }
}

TEST_F(SafeFile, ARecordMayGoOnOnTheLineOfTheLastOne) {
  // A writer that ends a record without a line end: the next record starts where it stopped.
  write("records", "7 1.5 8 2.5\n9\n");
  RecordReader in("records");
  ASSERT_TRUE(in.record(2, "first"));
  EXPECT_EQ(in.i(), 7);
  EXPECT_EQ(in.d(), 1.5);
  ASSERT_TRUE(in.record(2, "second"));
  EXPECT_EQ(in.i(), 8);
  EXPECT_EQ(in.d(), 2.5);
  in.end();
  ASSERT_TRUE(in.record(-1, "third"));
  int v = 0;
  EXPECT_TRUE(in.tryInt(v));
  EXPECT_EQ(v, 9);
  EXPECT_FALSE(in.tryInt(v));  // the line is used up
  EXPECT_FALSE(in.record(1, "fourth"));
  EXPECT_EQ(in.line(), 2);
}

TEST_F(SafeFile, MissingFileIsNotOk) {
  RecordReader in("no-such-file");
  EXPECT_FALSE(in.ok());
  EXPECT_FALSE(in.record(1, "anything"));
}

// ---- TextCursor -------------------------------------------------------------------------------

TEST_F(SafeFile, CursorSaysWhereAReadFailed) {
  TextCursor in("D 1 2\n  3 nan 4\n");
  int v = 0;
  double d = 0;
  EXPECT_EQ(in.get(), 'D');
  EXPECT_TRUE(in.readInt(v));
  EXPECT_TRUE(in.readInt(v));
  EXPECT_TRUE(in.readDouble(d));
  EXPECT_FALSE(in.readDouble(d));
  EXPECT_EQ(in.line(), 2);
  EXPECT_EQ(in.where(), "line 2, at 'nan'");
  EXPECT_FALSE(in.atEnd());
  TextCursor end("1 2\n\n");
  EXPECT_TRUE(end.readInt(v));
  EXPECT_TRUE(end.readInt(v));
  EXPECT_TRUE(end.atEnd());
  EXPECT_FALSE(end.readInt(v));
  EXPECT_EQ(end.where(), "line 2, at the end of the file");
}

}  // namespace
}  // namespace qorva
