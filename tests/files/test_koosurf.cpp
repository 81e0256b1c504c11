// The point files of the structured grid: koosurf read as a new block, block 1 written as it
// is, refined and coarsened, and divided along i into the block-division point files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "files/files.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using Koosurf = test::Scratch;

using test::endStatus;

// Structured arrays of a small grid, and an empty log.
void makeGrid(int xn, int yn, int zn) {
  xnumber = xn;
  ynumber = yn;
  znumber = zn;
  ASSERT_EQ(sialloc(), 0);
  std::remove("boogie");
}

// A grid point whose four values can be told apart and averaged by hand:
// x = 10 i + j, y = 100 j, bed = i + 2 j, water = 20 + i^2 + j.
void setPoint(int i, int j) {
  xval[i][j] = 10.0 * i + j;
  yval[i][j] = 100.0 * j;
  zval[i][j][1] = i + 2.0 * j;
  zval[i][j][znumber] = 20.0 + i * i + j;
}

void setBlockOne(int i1, int i2, int j1, int j2) {
  NoBlocks = 1;
  block[1].i1 = i1;
  block[1].i2 = i2;
  block[1].j1 = j1;
  block[1].j2 = j2;
  for (int i = i1 - 1; i <= i2; ++i)
    for (int j = j1 - 1; j <= j2; ++j) setPoint(i, j);
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream s(text);
  for (std::string l; std::getline(s, l);) out.push_back(l);
  return out;
}

bool exists(const char* name) { return std::filesystem::exists(name); }

// ---- readKoosurf ----------------------------------------------------------------------------

TEST_F(Koosurf, ReadsFourByThreePointsIntoANewBlock) {
  makeGrid(6, 5, 3);  // largest i may be 4, largest j 3
  // Out of order on purpose: the reader keeps the largest indexes, not the last ones; blank
  // lines are passed over.
  write("koosurf",
        "4 3 40.5 30.25 1.5 9.75\n\n"
        "1 1 0 0 1.0 9.5\n2 1 10 0 1.1 9.5\n3 1 20 0 1.2 9.5\n4 1 30 0 1.3 9.5\n"
        "1 2 0 10 2.0 9.6\n2 2 10 10 2.1 9.6\n3 2 20 10 2.2 9.6\n4 2 30 10 2.3 9.6\n"
        "1 3 0 20 3.0 9.7\n2 3 10 20 3.1 9.7\n3 3 20 20 3.2 9.7\n");
  readKoosurf();

  EXPECT_EQ(NoBlocks, 1);
  EXPECT_EQ(BlockID, 1);
  const GridBlock& b = block[1];
  EXPECT_EQ(b.i1, 2);
  EXPECT_EQ(b.i2, 4);
  EXPECT_EQ(b.j1, 2);
  EXPECT_EQ(b.j2, 3);
  EXPECT_EQ(b.nestlevel, 0);
  EXPECT_EQ(b.bedfollow, 1);
  EXPECT_EQ(b.boxcells, 3);
  EXPECT_EQ(b.aux1, 1);
  EXPECT_EQ(b.aux2, 1);
  EXPECT_EQ(b.aux3, 0);
  EXPECT_EQ(b.aux4, 1);
  EXPECT_EQ(b.boxheight, 0.0);
  EXPECT_EQ(b.boxtop, 0.0);

  EXPECT_EQ(xval[3][2], 20.0);
  EXPECT_EQ(yval[3][2], 10.0);
  EXPECT_EQ(zval[3][2][1], 2.2);
  EXPECT_EQ(zval[3][2][3], 9.6);  // znumber = 3 holds the water level
  EXPECT_EQ(zval[3][2][4], 9.6);  // and znumber + 1 its copy
  EXPECT_EQ(xval[4][3], 40.5);
  EXPECT_EQ(yval[4][3], 30.25);
  EXPECT_EQ(zval[4][3][1], 1.5);
  EXPECT_EQ(zval[4][3][3], 9.75);
  EXPECT_EQ(zval[1][1][1], 1.0);
  EXPECT_EQ(zval[1][1][2], 0.0);  // levels between bed and surface are the generator's
  // The spare lines around the points stay untouched.
  for (int j = 0; j <= 6; ++j) {
    EXPECT_EQ(xval[0][j], 0.0);
    EXPECT_EQ(xval[5][j], 0.0);
  }
  for (int i = 0; i <= 7; ++i) EXPECT_EQ(zval[i][4][1], 0.0);
  EXPECT_EQ(log(), "Have read koosurf file: max i: 4, max j: 3\n\n");
}

TEST_F(Koosurf, TheNewBlockFollowsTheExistingOnes) {
  makeGrid(6, 6, 4);
  NoBlocks = 2;
  block[3].skip = 7;  // a field the reader does not set keeps its value
  write("koosurf", "1 1 0 0 0 1\n2 1 1 0 0 1\n1 2 0 1 0 1\n2 2 1 1 0 1\n");
  readKoosurf();
  EXPECT_EQ(NoBlocks, 3);
  EXPECT_EQ(BlockID, 3);
  EXPECT_EQ(block[3].i2, 2);
  EXPECT_EQ(block[3].j2, 2);
  EXPECT_EQ(block[3].boxcells, 4);
  EXPECT_EQ(block[3].skip, 7);
  EXPECT_EQ(block[2].i2, 0);
}

TEST_F(Koosurf, MalformedFilesEndTheRunAndStoreNothing) {
  struct Case {
    const char* name;
    const char* text;  // nullptr: no koosurf file
    int blocks;        // NoBlocks before the read
    const char* log;
  };
  const Case cases[] = {
      {"missing file", nullptr, 0, "Error, can not open koosurf file\n"},
      {"short record inside", "1 1 1 1 1 1\n2 1 2 1 1\n3 1 3 1 1 1\n", 0,
       "Error reading koosurf file, line 2: the point record needs 6 values, the line holds 5\n"},
      {"short last record", "1 1 1 1 1 1\n2 2 2 2 2 2\n3 3 3 3\n", 0,
       "Error reading koosurf file, line 3: the point record needs 6 values, the line holds 4\n"},
      {"long record", "1 1 1 1 1 1\n2 2 2 2 2 2 2\n", 0,
       "Error reading koosurf file, line 2: the point record needs 6 values, the line holds 7\n"},
      // Read as one stream, the two halves would make one record.
      {"record split over two lines", "1 1 1 1 1 1\n\n2 2 2\n2 2 2\n", 0,
       "Error reading koosurf file, line 3: the point record needs 6 values, the line holds 3\n"},
      {"text for a record", "1 1 1 1 1 1\nend\n", 0,
       "Error reading koosurf file, line 2: 'end' in the point record is not a number\n"},
      {"fraction for an index", "1 1 1 1 1 1\n2.5 2 1 1 1 1\n", 0,
       "Error reading koosurf file, line 2: '2.5' in the point record is not an integer\n"},
      {"not a number", "1 1 nan 1 1 1\n", 0,
       "Error reading koosurf file, line 1: 'nan' in the point record is not a finite number\n"},
      {"infinite", "1 1 1 inf 1 1\n", 0,
       "Error reading koosurf file, line 1: 'inf' in the point record is not a finite number\n"},
      {"beyond the doubles", "1 1 1 1 1e309 1\n", 0,
       "Error reading koosurf file, line 1: '1e309' in the point record is not a finite number\n"},
      {"i on the spare line 0", "1 1 1 1 1 1\n0 1 1 1 1 1\n2 2 1 1 1 1\n", 0,
       "Error reading koosurf file, line 2: i = 0, j = 1, both must be at least 1\n"},
      {"negative j", "2 -3 1 1 1 1\n", 0,
       "Error reading koosurf file, line 1: i = 2, j = -3, both must be at least 1\n"},
      // The size asked for is formed in 64 bits.
      {"largest int for i", "1 1 1 1 1 1\n2147483647 2 1 1 1 1\n", 0,
       "Error, increase the G 1 values in control file and try again\n"
       "The two first integers on G 1 data set should be at least 2147483649 4\n"},
      // xnumber = 6: the largest i must stay below 5, and 5 + 2 lines are asked for.
      {"largest i at xnumber - 1", "1 1 1 1 1 1\n5 3 1 1 1 1\n", 0,
       "Error, increase the G 1 values in control file and try again\n"
       "The two first integers on G 1 data set should be at least 7 5\n"},
      {"largest j at ynumber - 1", "4 4 1 1 1 1\n", 0,
       "Error, increase the G 1 values in control file and try again\n"
       "The two first integers on G 1 data set should be at least 6 6\n"},
      {"i far past the grid", "1000000 2 1 1 1 1\n", 0,
       "Error, increase the G 1 values in control file and try again\n"
       "The two first integers on G 1 data set should be at least 1000002 4\n"},
      {"empty file", "", 0, "Error in koosurf file: largest i 0, largest j 0, both must be at least 2\n"},
      {"a single grid line", "1 1 1 1 1 1\n1 2 1 1 1 1\n1 3 1 1 1 1\n", 0,
       "Error in koosurf file: largest i 1, largest j 3, both must be at least 2\n"},
      {"block table full", "1 1 1 1 1 1\n2 2 1 1 1 1\n", 99,
       "Error, can not add the koosurf block: 99 blocks exist already\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetArraysZero();
    setDefaults();
    makeGrid(6, 5, 3);
    std::remove("koosurf");
    if (c.text) write("koosurf", c.text);
    NoBlocks = c.blocks;
    EXPECT_EQ(endStatus(readKoosurf), -4);
    EXPECT_EQ(log(), c.log);
    EXPECT_EQ(NoBlocks, c.blocks);
    EXPECT_EQ(BlockID, 1);
    EXPECT_EQ(xval[1][1], 0.0);
    EXPECT_EQ(zval[2][2][1], 0.0);
  }
}

// ---- writekoosurf ---------------------------------------------------------------------------

TEST_F(Koosurf, WritesBlockOneAsItIsInBothOrders) {
  makeGrid(5, 5, 3);
  setBlockOne(2, 3, 2, 3);  // grid points 1..3 x 1..3
  writekoosurf();
  EXPECT_EQ(read("koosurf.1"),
            "1 1 11.000000 100.000000 3.000000 22.000000\n"
            "1 2 12.000000 200.000000 5.000000 23.000000\n"
            "1 3 13.000000 300.000000 7.000000 24.000000\n"
            "2 1 21.000000 100.000000 4.000000 25.000000\n"
            "2 2 22.000000 200.000000 6.000000 26.000000\n"
            "2 3 23.000000 300.000000 8.000000 27.000000\n"
            "3 1 31.000000 100.000000 5.000000 30.000000\n"
            "3 2 32.000000 200.000000 7.000000 31.000000\n"
            "3 3 33.000000 300.000000 9.000000 32.000000\n");
  EXPECT_EQ(read("koosurf.2"),
            "1 1 11.000000 100.000000 3.000000 22.000000\n"
            "2 1 21.000000 100.000000 4.000000 25.000000\n"
            "3 1 31.000000 100.000000 5.000000 30.000000\n"
            "1 2 12.000000 200.000000 5.000000 23.000000\n"
            "2 2 22.000000 200.000000 6.000000 26.000000\n"
            "3 2 32.000000 200.000000 7.000000 31.000000\n"
            "1 3 13.000000 300.000000 7.000000 24.000000\n"
            "2 3 23.000000 300.000000 8.000000 27.000000\n"
            "3 3 33.000000 300.000000 9.000000 32.000000\n");
  EXPECT_FALSE(exists("fracres.cor"));  // no fractions were read
  EXPECT_FALSE(exists("bagger.cor"));
  EXPECT_EQ(log(), "");
}

TEST_F(Koosurf, RefinesThreeByThreePointsToFiveByFive) {
  makeGrid(5, 5, 3);
  setBlockOne(2, 3, 2, 3);
  writekoosurf();
  // Means of two neighbours on the edges between points, of four in the cell centres.
  EXPECT_EQ(read("koosurf.fin"),
            "1 1 11.000000 100.000000 3.000000 22.000000\n"
            "2 1 16.000000 100.000000 3.500000 23.500000\n"
            "1 2 11.500000 150.000000 4.000000 22.500000\n"
            "2 2 16.500000 150.000000 4.500000 24.000000\n"
            "1 3 12.000000 200.000000 5.000000 23.000000\n"
            "2 3 17.000000 200.000000 5.500000 24.500000\n"
            "1 4 12.500000 250.000000 6.000000 23.500000\n"
            "2 4 17.500000 250.000000 6.500000 25.000000\n"
            "1 5 13.000000 300.000000 7.000000 24.000000\n"
            "2 5 18.000000 300.000000 7.500000 25.500000\n"
            "3 1 21.000000 100.000000 4.000000 25.000000\n"
            "4 1 26.000000 100.000000 4.500000 27.500000\n"
            "3 2 21.500000 150.000000 5.000000 25.500000\n"
            "4 2 26.500000 150.000000 5.500000 28.000000\n"
            "3 3 22.000000 200.000000 6.000000 26.000000\n"
            "4 3 27.000000 200.000000 6.500000 28.500000\n"
            "3 4 22.500000 250.000000 7.000000 26.500000\n"
            "4 4 27.500000 250.000000 7.500000 29.000000\n"
            "3 5 23.000000 300.000000 8.000000 27.000000\n"
            "4 5 28.000000 300.000000 8.500000 29.500000\n"
            "5 1 31.000000 100.000000 5.000000 30.000000\n"
            "5 2 31.500000 150.000000 6.000000 30.500000\n"
            "5 3 32.000000 200.000000 7.000000 31.000000\n"
            "5 4 32.500000 250.000000 8.000000 31.500000\n"
            "5 5 33.000000 300.000000 9.000000 32.000000\n");
}

TEST_F(Koosurf, RefinesTheNonErodibleLevelInFiveFields) {
  makeGrid(5, 5, 3);
  setBlockOne(2, 3, 2, 3);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) Surfaces[3][i][j] = i * j;
  writekoosurf();
  const std::vector<std::string> l = lines(read("koomin.fin"));
  ASSERT_EQ(l.size(), 25u);
  EXPECT_EQ(l[0], "1 1 11.000000 100.000000 1.000000");
  EXPECT_EQ(l[1], "2 1 16.000000 100.000000 1.500000");
  EXPECT_EQ(l[2], "1 2 11.500000 150.000000 1.500000");
  EXPECT_EQ(l[3], "2 2 16.500000 150.000000 2.250000");   // (1 + 2 + 2 + 4) / 4
  EXPECT_EQ(l[17], "4 4 27.500000 250.000000 6.250000");  // (4 + 6 + 6 + 9) / 4
  EXPECT_EQ(l[24], "5 5 33.000000 300.000000 9.000000");
}

TEST_F(Koosurf, CoarsensThreeByThreePointsToTwoByTwo) {
  makeGrid(5, 5, 3);
  setBlockOne(2, 3, 2, 3);
  writekoosurf();
  EXPECT_EQ(read("koosurf.cor"),
            "1 1 11.000000 100.000000 3.000000 22.000000\n"
            "1 2 13.000000 300.000000 7.000000 24.000000\n"
            "2 1 31.000000 100.000000 5.000000 30.000000\n"
            "2 2 33.000000 300.000000 9.000000 32.000000\n");
}

TEST_F(Koosurf, CoarsensTheBedFractionsOverFourColumns) {
  makeGrid(6, 6, 3);
  lnumber = 2;
  MaxCeller = 100;
  MaxFlater = 400;
  MaxPunkter = 200;
  MaxNester = 10;
  ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
  std::remove("boogie");
  setBlockOne(2, 5, 2, 5);
  // Bed cells 1..16, i outer and j inner; layer 0 holds 0.01 b of size 1 and the rest of
  // size 2. Column (5, 5) has no bed cell, which ends the second coarse row at its first
  // column.
  for (int i = 2; i <= 5; ++i)
    for (int j = 2; j <= 5; ++j) {
      const int b = (i - 2) * 4 + (j - 1);
      pointbed[i][j] = b;
      BSedDistrib[0][1][b] = 0.01 * b;
      BSedDistrib[0][2][b] = 1.0 - 0.01 * b;
    }
  pointbed[5][5] = 0;
  FlagReadFracres = 1;
  writekoosurf();
  EXPECT_EQ(read("fracres.cor"),
            "2 2 0.035000 0.965000\n"   // bed cells 1, 5, 2, 6
            "2 3 0.055000 0.945000\n"   // bed cells 3, 7, 4, 8
            "3 2 0.115000 0.885000\n");  // bed cells 9, 13, 10, 14
}

TEST_F(Koosurf, WriteThenReadBackGivesTheSamePoints) {
  makeGrid(7, 7, 3);
  setBlockOne(2, 3, 2, 3);
  writekoosurf();
  std::filesystem::copy_file("koosurf.1", "koosurf");
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) xval[i][j] = yval[i][j] = zval[i][j][1] = zval[i][j][3] = 0.0;
  readKoosurf();
  EXPECT_EQ(NoBlocks, 2);
  EXPECT_EQ(block[2].i2, 3);
  EXPECT_EQ(block[2].j2, 3);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) {
      EXPECT_EQ(xval[i][j], 10.0 * i + j);
      EXPECT_EQ(yval[i][j], 100.0 * j);
      EXPECT_EQ(zval[i][j][1], i + 2.0 * j);
      EXPECT_EQ(zval[i][j][3], 20.0 + i * i + j);
      EXPECT_EQ(zval[i][j][4], 20.0 + i * i + j);
    }

  // The refined file read back is a block of 5 x 5 points with the means in between.
  std::filesystem::remove("koosurf");
  std::filesystem::copy_file("koosurf.fin", "koosurf");
  readKoosurf();
  EXPECT_EQ(NoBlocks, 3);
  EXPECT_EQ(block[3].i2, 5);
  EXPECT_EQ(block[3].j2, 5);
  EXPECT_EQ(xval[2][2], 16.5);
  EXPECT_EQ(yval[4][4], 250.0);
  EXPECT_EQ(zval[4][4][3], 29.0);
}

TEST_F(Koosurf, AFileThatCannotBeOpenedIsLoggedAndNothingIsWritten) {
  makeGrid(5, 5, 3);
  setBlockOne(2, 3, 2, 3);
  // The files are written under temporary names: a folder in the place of one stops them all
  // before any is written, and the run ends.
  std::filesystem::create_directory("koosurf.cor.tmp");
  EXPECT_EQ(endStatus(writekoosurf), -4);
  EXPECT_EQ(log(), "Error, can not open koosurf.cor file\n"
                   "Error: could not write file 'koosurf.cor' (Is a directory); the previous copy is kept.\n");
  EXPECT_EQ(read("koosurf.1"), "");
  EXPECT_EQ(read("koosurf.fin"), "");
  EXPECT_FALSE(exists("koosurf.2"));
}

TEST_F(Koosurf, WriterRefusesWhatItCannotWrite) {
  struct Case {
    const char* name;
    int bagger, i1, i2, j1, j2;
    int status;
    const char* log;
  };
  const Case cases[] = {
      {"dredging tables", 1, 2, 3, 2, 3, 1,
       "Not available in this version: the dredging tables written to bagger.cor (F 386)\n"},
      {"no block 1", 0, 0, 0, 0, 0, 1,
       "Error writing koosurf files: block 1 with grid lines -1 to 0 and -1 to 0 does not lie in the G 1 grid\n"},
      {"block past the grid", 0, 2, 7, 2, 3, 1,
       "Error writing koosurf files: block 1 with grid lines 1 to 7 and 1 to 3 does not lie in the G 1 grid\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetArraysZero();
    setDefaults();
    makeGrid(5, 5, 3);
    FlagBagger = c.bagger;
    NoBlocks = 1;
    block[1].i1 = c.i1;
    block[1].i2 = c.i2;
    block[1].j1 = c.j1;
    block[1].j2 = c.j2;
    EXPECT_EQ(endStatus(writekoosurf), c.status);
    EXPECT_EQ(log(), c.log);
    EXPECT_FALSE(exists("koosurf.1"));
  }
}

// ---- writeMPIkoosurf ------------------------------------------------------------------------

TEST_F(Koosurf, DividesBlockOneIntoPointFilesWithSharedLines) {
  makeGrid(7, 4, 3);
  setBlockOne(2, 6, 2, 2);  // grid lines i 1..6, j 1..2
  FlagMPI = 2;
  writeMPIkoosurf();
  // s = (6 - 2) / 2 = 2: lines 2, 3, 6; division 1 holds lines 1..3, division 2 lines 2..6.
  EXPECT_EQ(divisionMPI[0], 2);
  EXPECT_EQ(divisionMPI[1], 3);
  EXPECT_EQ(divisionMPI[2], 6);
  EXPECT_EQ(read("koosurf.mpi1"),
            "1 1 11.000000 100.000000 3.000000 22.000000\n"
            "1 2 12.000000 200.000000 5.000000 23.000000\n"
            "2 1 21.000000 100.000000 4.000000 25.000000\n"
            "2 2 22.000000 200.000000 6.000000 26.000000\n"
            "3 1 31.000000 100.000000 5.000000 30.000000\n"
            "3 2 32.000000 200.000000 7.000000 31.000000\n");
  EXPECT_EQ(read("koosurf.mpi2"),
            "1 1 21.000000 100.000000 4.000000 25.000000\n"
            "1 2 22.000000 200.000000 6.000000 26.000000\n"
            "2 1 31.000000 100.000000 5.000000 30.000000\n"
            "2 2 32.000000 200.000000 7.000000 31.000000\n"
            "3 1 41.000000 100.000000 6.000000 37.000000\n"
            "3 2 42.000000 200.000000 8.000000 38.000000\n"
            "4 1 51.000000 100.000000 7.000000 46.000000\n"
            "4 2 52.000000 200.000000 9.000000 47.000000\n"
            "5 1 61.000000 100.000000 8.000000 57.000000\n"
            "5 2 62.000000 200.000000 10.000000 58.000000\n");
  EXPECT_FALSE(exists("koosurf.mpi3"));
  EXPECT_EQ(log(), "");
}

TEST_F(Koosurf, DivisionLinesComputedOrGiven) {
  struct Case {
    const char* name;
    int divisions, i2;
    std::vector<int> given;     // G 27 values 1..N; empty: none given
    std::vector<int> expected;  // divisionMPI[0..N]
  };
  const Case cases[] = {
      {"two of 2..101", 2, 101, {}, {2, 50, 101}},
      {"three of 2..11", 3, 11, {}, {2, 4, 7, 11}},
      {"one", 1, 6, {}, {2, 6}},
      {"given by G 27", 2, 101, {40, 80}, {2, 40, 101}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetArraysZero();
    setDefaults();
    makeGrid(102, 3, 3);
    setBlockOne(2, c.i2, 2, 3);  // grid lines j 1..3
    FlagMPI = c.divisions;
    for (std::size_t k = 0; k < c.given.size(); ++k) divisionMPI[k + 1] = c.given[k];
    writeMPIkoosurf();
    for (int k = 0; k <= c.divisions; ++k) EXPECT_EQ(divisionMPI[k], c.expected[k]) << k;
    for (int k = 1; k <= c.divisions; ++k) {
      const std::string name = "koosurf.mpi" + std::to_string(k);
      const std::vector<std::string> l = lines(read(name));
      const int first = c.expected[k - 1] - 1, last = c.expected[k];
      ASSERT_EQ(l.size(), static_cast<std::size_t>((last - first + 1) * 3)) << name;
      // First and last record: renumbered i, the own j, the coordinates of the true line.
      char want[128];
      std::snprintf(want, sizeof want, "1 1 %d.000000 100.000000", 10 * first + 1);
      EXPECT_EQ(l.front().rfind(want, 0), 0u) << name << ": " << l.front();
      std::snprintf(want, sizeof want, "%d 3 %d.000000 300.000000", last - first + 1, 10 * last + 3);
      EXPECT_EQ(l.back().rfind(want, 0), 0u) << name << ": " << l.back();
    }
    EXPECT_FALSE(exists(("koosurf.mpi" + std::to_string(c.divisions + 1)).c_str()));
    for (int k = 1; k <= c.divisions; ++k) std::filesystem::remove("koosurf.mpi" + std::to_string(k));
  }
}

TEST_F(Koosurf, BadDivisionsEndTheRunBeforeAnyFile) {
  struct Case {
    const char* name;
    int divisions, i2, given1;  // given1: divisionMPI[1] from G 27, -1 none
    bool block;
    const char* log;
  };
  const Case cases[] = {
      {"no divisions", 0, 6, -1, true, "Error writing MPI koosurf files, 0 MPI blocks specified\n\n"},
      {"more than the table holds", 1000, 6, -1, true,
       "Error writing MPI koosurf files, 1000 MPI blocks specified\n\n"
       "Error for MPI parameters: recompile with increased divisionMPI array\n\n"},
      // s = (4 - 2) / 5 = 0: division 1 would hold the single line 1.
      {"more divisions than columns", 5, 4, -1, true,
       "Error writing MPI koosurf files, MPI block 1 would hold grid lines 1 to 1 of the grid lines 0 to 9\n\n"},
      {"G 27 line past the grid", 2, 6, 50, true,
       "Error writing MPI koosurf files, MPI block 1 would hold grid lines 1 to 50 of the grid lines 0 to 9\n\n"},
      {"no block 1", 2, 0, -1, false,
       "Error writing MPI koosurf files, block 1 with grid lines -1 to 0 in j does not lie in the G 1 grid\n\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetArraysZero();
    setDefaults();
    makeGrid(8, 4, 3);
    if (c.block) setBlockOne(2, c.i2, 2, 3);
    FlagMPI = c.divisions;
    divisionMPI[1] = c.given1;
    EXPECT_EQ(endStatus(writeMPIkoosurf), -123);
    EXPECT_EQ(log(), c.log);
    EXPECT_FALSE(exists("koosurf.mpi1"));
  }
}

TEST_F(Koosurf, DivisionFileThatCannotBeOpenedEndsTheRun) {
  makeGrid(7, 4, 3);
  setBlockOne(2, 6, 2, 2);
  FlagMPI = 2;
  std::filesystem::create_directory("koosurf.mpi2.tmp");
  EXPECT_EQ(endStatus(writeMPIkoosurf), -4);
  EXPECT_EQ(log(), "Error, can not open koosurf.mpi2 file\n"
                   "Error: could not write file 'koosurf.mpi2' (Is a directory); the previous copy is kept.\n");
  EXPECT_EQ(lines(read("koosurf.mpi1")).size(), 6u);  // written before the failure
}

}  // namespace
}  // namespace qorva
