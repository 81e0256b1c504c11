// The grid file unstruc and its level files: the writer's format and side files, the reader of
// every version, the koordina, koomin and koomink overlays, bedrough, and round trips through
// the file of a hand-made grid and of generated grids.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "files/files.h"
#include "grid/grid.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/nests.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using test::endStatus;

std::string boogie() {
  std::ifstream f("boogie");
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Replaces the one occurrence of `from` in `text`.
std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  EXPECT_EQ(text.find(from, at + 1), std::string::npos) << "not unique: " << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// ---------------------------------------------------------------------------------------------
// The tower: one water column (2, 2) of two stacked cells on the grid lines (1, 1), (2, 1),
// (2, 2), (1, 2), in a grid of G 1 4 4 3. Points 1-4 lie on the bed, 5-8 between the cells,
// 9-12 at the surface, each level counted south-west, south-east, north-east, north-west.
// Cell 1 holds surfaces 1-6 (south, east, north, west, bottom, top), cell 2 surfaces 7-10,
// 6 as its bottom and 11 as its top.

constexpr double kX[4] = {10.0, 12.0, 12.0, 10.0};
constexpr double kY[4] = {20.0, 20.0, 23.0, 23.0};
constexpr double kZ[3][4] = {{1.0, 1.125, 1.25, 1.375}, {1.5, 1.625, 1.75, 1.875}, {2.25, 2.375, 2.5, 2.625}};
// Grid lines of the corners 1..4 of column (2, 2).
constexpr int kI[4] = {1, 2, 2, 1};
constexpr int kJ[4] = {1, 1, 2, 2};

// The sections of the tower's unstruc text, written by hand from the format of each section.
std::string towerGeometry() {
  return "10.000000 20.000000 1.000000\n"
         "12.000000 20.000000 1.125000\n"
         "12.000000 23.000000 1.250000\n"
         "10.000000 23.000000 1.375000\n"
         "10.000000 20.000000 1.500000\n"
         "12.000000 20.000000 1.625000\n"
         "12.000000 23.000000 1.750000\n"
         "10.000000 23.000000 1.875000\n"
         "10.000000 20.000000 2.250000\n"
         "12.000000 20.000000 2.375000\n"
         "12.000000 23.000000 2.500000\n"
         "10.000000 23.000000 2.625000\n"
         // Cells: corners, surfaces (s, e, n, w, b, t), neighbours (s, e, n, w, b, t).
         "1 2 3 4 5 6 7 8 1 2 3 4 5 6 0 0 0 0 0 2 \n"
         "5 6 7 8 9 10 11 12 7 8 9 10 6 11 0 0 0 0 1 0 \n"
         // Surfaces: four corners, Fcell1, Fcell2.
         "1 5 6 2 0 1 \n"
         "2 3 7 6 1 0 \n"
         "4 8 7 3 1 0 \n"
         "1 4 8 5 0 1 \n"
         "1 2 3 4 0 1 \n"
         "5 6 7 8 1 2 \n"
         "5 9 10 6 0 2 \n"
         "6 7 11 10 2 0 \n"
         "8 12 11 7 2 0 \n"
         "5 8 12 9 0 2 \n"
         "9 10 11 12 2 0 \n";
}

const char* const kTowerBlock = "2 2 2 2 0 1 0 7 8 9 1 2 1 11 1 12 0 1.250000 3.500000\n";

// Block, connection, joint pair.
std::string towerBlocks() { return std::string(kTowerBlock) + "1 2 1 2\n" + "2 8\n"; }

// Discharge groups 1..9; the old form has no point count and no points.
std::string towerGroups(bool old = false, int top = 5) {
  std::string t;
  if (old) {
    t = strf("1 1 0 1 %d 2 1500.500000 0.125000\n4 10 \n", top);
    t += "0 0 0 1 151 2 0.000000 0.000000\n2 8 \n";
    for (int g = 3; g <= 9; ++g) t += "1 0 0 1 151 0 0.000000 0.000000\n\n";
  } else {
    t = strf("1 1 0 1 %d 2 2 1500.500000 0.125000\n4 10 \n10.000000 20.000000\n10.000000 23.000000\n", top);
    t += "0 0 0 1 151 2 0 0.000000 0.000000\n2 8 \n";
    for (int g = 3; g <= 9; ++g) t += "1 0 0 1 151 0 0 0.000000 0.000000\n\n";
  }
  return t;
}

// Surface discharge groups 0..9.
std::string towerSurfaceGroups() {
  std::string t;
  for (int g = 0; g <= 9; ++g) t += g == 3 ? "4 2 2.500000 1 2 \n" : "0 0 0.000000 \n";
  return t;
}

// Column records of block 1, grid lines i = 1..2, j = 1..2.
std::string towerColumns() {
  return "0 1.000000 2.250000 10.000000 20.000000 \n"
         "0 1.375000 2.625000 10.000000 23.000000 \n"
         "0 1.125000 2.375000 12.000000 20.000000 \n"
         "1 1.250000 2.500000 12.000000 23.000000 \n";
}

std::string towerNesting() {
  return "1 5 1 1 0.250000\n"
         "1 0.500000 0.000000 0.000000 1.000000\n"
         "2 0.500000 0.000000 0.000000 -1.000000\n"
         "0 0.000000 0.000000 0.000000 0.000000\n"
         "0 0.000000 0.000000 0.000000 0.000000\n";
}

// A bottom-cell matrix of rows i = 1..n, columns j = 1..n, only column (2, 2) wet.
std::string towerMatrix(const char* wet, const char* dry, int n = 5) {
  std::string m;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) m += i == 2 && j == 2 ? wet : dry;
    m += "\n";
  }
  return m;
}

// Sections 2 to 9 (points to surface discharge groups).
std::string towerBody() { return towerGeometry() + towerBlocks() + towerGroups() + towerSurfaceGroups(); }

std::string towerVersion3() { return "3 2 11 1 1 1 1 12\n" + towerBody() + towerColumns() + towerNesting(); }

std::string towerVersion2() {
  return "2 2 11 1 1 1 1 12 4 4\n" + towerBody() + towerMatrix(" 1", " 0") + towerNesting();
}

std::string towerOldFormat(int top = 5) {
  return "12 2 11 1 1 1 1\n" + towerGeometry() + towerBlocks() + towerGroups(true, top) +
         towerSurfaceGroups() + towerMatrix(" 1", " 0") + towerNesting();
}

class UnstrucTest : public test::Scratch {
 protected:
  void SetUp() override {
    test::Scratch::SetUp();
    freshRun();
  }

  // The start of a new run in the same folder: defaults, the G 1 sizes and small F 65
  // capacities, the structured and unstructured arrays, no log.
  static void freshRun(int xn = 4, int yn = 4, int zn = 3) {
    SetArraysZero();
    setDefaults();
    freshRunKeeping(xn, yn, zn);
  }

  // The sizes and arrays of freshRun for options set beforehand.
  static void freshRunKeeping(int xn = 4, int yn = 4, int zn = 3) {
    xnumber = xn;
    ynumber = yn;
    znumber = zn;
    MaxCeller = 40;
    MaxFlater = 80;
    MaxPunkter = 80;
    MaxNester = 5;
    MaxConnFlate = 5;
    FlagMPIkoosurf = 0;
    ASSERT_EQ(sialloc(), 0);
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
    std::filesystem::remove("boogie");
  }

  static void buildTower() {
    for (int k = 0; k < 3; ++k)
      for (int n = 0; n < 4; ++n) {
        const int p = 4 * k + n + 1;
        Px[p] = kX[n];
        Py[p] = kY[n];
        Pz[p] = kZ[k][n];
      }
    NoPoints = 12;
    Table1<int>* corner[8] = {&Cpoint1, &Cpoint2, &Cpoint3, &Cpoint4,
                              &Cpoint5, &Cpoint6, &Cpoint7, &Cpoint8};
    for (int c = 1; c <= 2; ++c)
      for (int n = 0; n < 8; ++n) (*corner[n])[c] = 4 * (c - 1) + n + 1;
    Cflates[1] = 1; Cflatee[1] = 2; Cflaten[1] = 3; Cflatew[1] = 4; Cflateb[1] = 5; Cflatet[1] = 6;
    Cflates[2] = 7; Cflatee[2] = 8; Cflaten[2] = 9; Cflatew[2] = 10; Cflateb[2] = 6; Cflatet[2] = 11;
    Ccellt[1] = 2;
    Ccellb[2] = 1;
    NoCells = NoCells0 = 2;
    const int surf[11][6] = {{1, 5, 6, 2, 0, 1},   {2, 3, 7, 6, 1, 0},   {4, 8, 7, 3, 1, 0},
                             {1, 4, 8, 5, 0, 1},   {1, 2, 3, 4, 0, 1},   {5, 6, 7, 8, 1, 2},
                             {5, 9, 10, 6, 0, 2},  {6, 7, 11, 10, 2, 0}, {8, 12, 11, 7, 2, 0},
                             {5, 8, 12, 9, 0, 2},  {9, 10, 11, 12, 2, 0}};
    for (int s = 1; s <= 11; ++s) {
      const int* v = surf[s - 1];
      Fpoint1[s] = v[0]; Fpoint2[s] = v[1]; Fpoint3[s] = v[2]; Fpoint4[s] = v[3];
      Fcell1[s] = v[4]; Fcell2[s] = v[5];
    }
    NoSurfaces = NoSurfaces0 = 11;

    NoBlocks = NoBlocks0 = 1;
    GridBlock& b = block[1];
    b.i1 = b.i2 = b.j1 = b.j2 = 2;
    b.bedfollow = 1;
    b.aux2 = 7; b.aux3 = 8; b.aux4 = 9;
    b.cellstart = 1; b.cellend = 2; b.surfstart = 1; b.surfend = 11; b.pointstart = 1; b.pointend = 12;
    b.boxheight = 1.25;
    b.boxtop = 3.5;
    NoConnect = NoConnect0 = 1;
    conn[0] = {1, 2, 1, 2};
    NoConnFlate = NoConnFlate0 = 1;
    connFlate[1][0] = 2;
    connFlate[1][1] = 8;

    DischargeGroup& in = DischargeStruct[1];
    in.bcType = 1;
    in.topLevel = 5;
    in.surfaceNo = 2;
    in.surfaceList[0] = 4;
    in.surfaceList[1] = 10;
    in.xyNo = 2;
    in.x[0] = 10; in.y[0] = 20; in.x[1] = 10; in.y[1] = 23;
    in.massDischarge = 1500.5;
    in.inflowConc = 0.125;
    DischargeGroup& out = DischargeStruct[2];
    out.inflowFlag = 0;
    out.surfaceNo = 2;
    out.surfaceList[0] = 2;
    out.surfaceList[1] = 8;
    SurfDischargeStruct[3].id = 4;
    SurfDischargeStruct[3].count = 2;
    SurfDischargeStruct[3].load = 2.5;
    SurfDischargeStruct[3].cells[0] = 1;
    SurfDischargeStruct[3].cells[1] = 2;

    for (int n = 0; n < 4; ++n) {
      const int i = kI[n], j = kJ[n];
      xval[i][j] = kX[n];
      yval[i][j] = kY[n];
      zval[i][j][1] = kZ[0][n];
      zval[i][j][znumber] = zval[i][j][znumber + 1] = kZ[2][n];
    }
    zval[2][2][0] = 1;

    NoNestflater = 1;
    Ninoutwall[1] = 1; Npflate[1] = 5; Npcelle[1] = 1; Npblock[1] = 1; Nflux[1] = 0.25;
    Ncell[1][0] = 1; Ncell[1][1] = 2;
    Nweight[1][0] = Nweight[1][1] = 0.5;
    Nvect[1][0][2] = 1.0;
    Nvect[1][1][2] = -1.0;
  }

  // ReadUnstructure in a fresh run; its result, or 1000 + the status of the run's end.
  static int readFresh(int xn = 4, int yn = 4, int zn = 3) {
    freshRun(xn, yn, zn);
    return readGrid();
  }
  static int readGrid() {
    try {
      return ReadUnstructure();
    } catch (const RunEnd& e) {
      return 1000 + e.status;
    }
  }
  static int writeGrid() {
    try {
      return WriteUnstructure();
    } catch (const RunEnd& e) {
      return 1000 + e.status;
    }
  }
};

// ---- the writer -----------------------------------------------------------------------------

TEST_F(UnstrucTest, WritesEverySectionOfVersion3) {
  buildTower();
  EXPECT_EQ(writeGrid(), 0);
  EXPECT_EQ(read("unstruc"), towerVersion3());
  EXPECT_EQ(mc_message.rfind(" Have written unstruc file", 0), 0u);
  EXPECT_FALSE(std::filesystem::exists("boogie")) << log();
}

TEST_F(UnstrucTest, VersionsDifferInHeaderColumnsAndNesting) {
  struct Case {
    int version;
    std::string text;
  };
  const Case cases[] = {
      {2, towerVersion2()},
      {4, "4 2 11 1 1 1 1 12\n" + towerBlocks() + towerGroups() + towerSurfaceGroups() + towerColumns()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    freshRun();
    buildTower();
    FlagWriteUnstruc = c.version;
    EXPECT_EQ(writeGrid(), 0);
    EXPECT_EQ(read("unstruc"), c.text);
  }
}

TEST_F(UnstrucTest, CountsAreTheSnapshotsOfTheGeneratedGrid) {
  // A depth-averaged block and its cells appended after the generation are not written.
  buildTower();
  NoCells = 4;
  NoSurfaces = 15;
  NoBlocks = 2;
  block[2] = block[1];
  block[2].flag2D = 1;
  EXPECT_EQ(writeGrid(), 0);
  EXPECT_EQ(read("unstruc"), towerVersion3());
}

TEST_F(UnstrucTest, DryColumnsGoToUnstrucDryUnderVersion2Only) {
  const std::string warning =
      "WARNING: You are writing an unstruc file which does not cover the whole domain\n"
      "This unstruc file should not be used as a start for a wetting/drying computation\n"
      "It should only be used for debugging purposes and display of graphics\n\n";
  struct Case {
    int version;
    int result;
    const char* file;
    std::string log;
  };
  const Case cases[] = {{2, 1, "unstruc.dry", warning}, {3, 0, "unstruc", ""}, {4, 0, "unstruc", ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    freshRun();
    buildTower();
    zval[2][2][0] = 0;  // the only column of block 1 has no cells
    FlagWriteUnstruc = c.version;
    EXPECT_EQ(writeGrid(), c.result);
    EXPECT_TRUE(std::filesystem::exists(c.file));
    EXPECT_EQ(std::filesystem::exists("unstruc"), std::string(c.file) == "unstruc");
    EXPECT_EQ(log(), c.log);
  }
}

TEST_F(UnstrucTest, CrashGridGoesToUnstrucDbg) {
  buildTower();
  FlagCrashGrid = 2;
  EXPECT_EQ(writeGrid(), 0);
  EXPECT_EQ(read("unstruc.dbg"), towerVersion3());
  EXPECT_FALSE(std::filesystem::exists("unstruc"));
}

TEST_F(UnstrucTest, SideFilesOfOneBlock) {
  buildTower();
  xval[3][1] = 14;  // a grid line outside the block, still written to koomin.bed
  zval[3][1][1] = 0.5;
  EXPECT_EQ(writeGrid(), 0);
  // koomin.bed: grid lines i, j = 1..3.
  std::string koomin;
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) {
      char line[100];
      std::snprintf(line, sizeof line, "%d %d %lf %lf %lf\n", i, j, xval[i][j], yval[i][j], zval[i][j][1]);
      koomin += line;
    }
  EXPECT_EQ(read("koomin.bed"), koomin);
  EXPECT_TRUE(contains(koomin, "3 1 14.000000 0.000000 0.500000\n"));
  EXPECT_EQ(read("koosurf.t"),
            "1 1 10.000000 20.000000 1.000000 2.250000\n"
            "1 2 10.000000 23.000000 1.375000 2.625000\n"
            "2 1 12.000000 20.000000 1.125000 2.375000\n"
            "2 2 12.000000 23.000000 1.250000 2.500000\n");
  EXPECT_EQ(read("koordina.si1"),
            "1 1 10.000000 20.000000 1.000000\n"
            "1 2 10.000000 23.000000 1.375000\n"
            "2 1 12.000000 20.000000 1.125000\n"
            "2 2 12.000000 23.000000 1.250000\n");
  EXPECT_FALSE(std::filesystem::exists("koordina.si2"));
}

TEST_F(UnstrucTest, SecondBlockAndBlockDivisionNames) {
  // Block 2: column (2, 3) north of the tower, grid lines j = 2..3; koordina.si2 counts its j
  // from block 1's j2 = 2, so j = 0 and 1.
  buildTower();
  FlagMPI = 3;
  NoBlocks = 2;
  block[2].i1 = block[2].i2 = 2;
  block[2].j1 = block[2].j2 = 3;
  xval[1][3] = 10;
  xval[2][3] = 12;
  yval[1][3] = yval[2][3] = 26;
  zval[1][3][1] = zval[2][3][1] = 0.75;
  EXPECT_EQ(writeGrid(), 0);
  EXPECT_EQ(read("unstruc.mpi3"), towerVersion3());
  EXPECT_TRUE(std::filesystem::exists("koomin.mpi3.bed"));
  EXPECT_TRUE(std::filesystem::exists("koosurf.mpi3.t"));
  EXPECT_FALSE(std::filesystem::exists("unstruc"));
  EXPECT_EQ(read("koordina.si2"),
            "1 0 10.000000 23.000000 1.375000\n"
            "1 1 10.000000 26.000000 0.750000\n"
            "2 0 12.000000 23.000000 1.250000\n"
            "2 1 12.000000 26.000000 0.750000\n");
  // The overlap for division 4: grid lines i2 - 1 = 1 and i2 = 2, j = 1..ynumber-1.
  EXPECT_EQ(read("koordina.mpi4.m"),
            "1 1 10.000000 20.000000 1.000000 2.250000\n"
            "1 2 10.000000 23.000000 1.375000 2.625000\n"
            "1 3 10.000000 26.000000 0.750000 0.000000\n"
            "2 1 12.000000 20.000000 1.125000 2.375000\n"
            "2 2 12.000000 23.000000 1.250000 2.500000\n"
            "2 3 12.000000 26.000000 0.750000 0.000000\n");
}

// Each file is written under the name "<file>.tmp" and renamed when whole: a folder in the
// place of the temporary file stops the start, one in the place of the file the rename. Either
// ends the run with -4 and a line in the log, and the previous copy stays.
TEST_F(UnstrucTest, FilesThatCannotBeWrittenEndTheRun) {
  struct Case {
    const char* blocked;  // a folder of this name stands where the file goes
    const char* message;
    std::string log;
    bool gridWritten, koosurfWritten;
  };
  const std::string kept = "; the previous copy is kept.\n";
  const Case cases[] = {
      {"unstruc.tmp", "",
       "Error: can not open 'unstruc' file\nError: could not write file 'unstruc' (Is a directory)" + kept,
       false, false},
      {"koomin.bed.tmp", "have not written 'koomin.bed' file",
       "Error: could not write file 'koomin.bed' (Is a directory)" + kept, true, false},
      {"koosurf.t.tmp", "have not written 'koosurf.t' file",
       "Error: could not write file 'koosurf.t' (Is a directory)" + kept, true, false},
      {"koordina.si1", " Have written unstruc file", "Error: could not write file 'koordina.si1' (Is a directory)" + kept,
       true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.blocked);
    for (const char* f : {"unstruc", "koomin.bed", "koosurf.t", "koordina.si1", "unstruc.tmp", "koomin.bed.tmp",
                          "koosurf.t.tmp"})
      std::filesystem::remove_all(f);
    write("unstruc", "the previous grid\n");
    freshRun();
    buildTower();
    mc_message.clear();
    std::filesystem::create_directory(c.blocked);
    EXPECT_EQ(writeGrid(), 996);
    EXPECT_EQ(mc_message.substr(0, std::string(c.message).size()), c.message);
    EXPECT_EQ(log(), c.log);
    EXPECT_EQ(read("unstruc") != "the previous grid\n", c.gridWritten);
    EXPECT_EQ(std::filesystem::is_regular_file("koosurf.t"), c.koosurfWritten);
    for (const char* tmp : {"koomin.bed.tmp", "koosurf.t.tmp", "koordina.si1.tmp"}) {
      if (std::string(tmp) != c.blocked) {
        EXPECT_FALSE(std::filesystem::exists(tmp)) << tmp;
      }
    }
  }
}

TEST_F(UnstrucTest, DryFileThatCannotBeWrittenEndsTheRun) {
  buildTower();
  zval[2][2][0] = 0;
  FlagWriteUnstruc = 2;
  std::filesystem::create_directory("unstruc.dry.tmp");
  EXPECT_EQ(writeGrid(), 996);
  EXPECT_EQ(mc_message, "cannot open file 'unstruc.dry' ");
  EXPECT_TRUE(contains(log(), "Error: could not write file 'unstruc.dry' (Is a directory); the previous copy is kept.\n"))
      << log();
}

TEST_F(UnstrucTest, InconsistentCountsAreNotWritten) {
  struct Case {
    const char* name;
    std::function<void()> spoil;
  };
  const Case cases[] = {
      {"cells beyond the arrays", [] { NoCells0 = MaxCeller; }},
      {"group list beyond its table", [] { DischargeStruct[4].surfaceNo = -1; }},
      {"surface group beyond its table", [] { SurfDischargeStruct[0].count = 101; }},
      {"block outside the grid", [] { block[1].i2 = 6; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    freshRun();
    buildTower();
    c.spoil();
    EXPECT_EQ(writeGrid(), 1001);
    EXPECT_TRUE(contains(log(), "Error writing unstruc file")) << log();
  }
}

TEST_F(UnstrucTest, TransferFilesAreNumberedVersion1Snapshots) {
  buildTower();
  TransWriteFiles[1] = 3;
  const std::string expected =
      "1 2 11 1 1 1 1 12\n" + towerBody() + towerMatrix("1 ", "0 ") + towerNesting();
  for (int iter : {6, 7, 9}) {
    Iter = iter;
    WriteTransFiles();
  }
  EXPECT_EQ(read("unstruc.0"), expected);
  EXPECT_EQ(read("unstruc.1"), expected);  // Iter 9; 7 is not a multiple of 3
  EXPECT_FALSE(std::filesystem::exists("unstruc.2"));
  TransWriteFiles[1] = 0;  // no interval: never a multiple
  WriteTransFiles();
  EXPECT_FALSE(std::filesystem::exists("unstruc.2"));
}

// ---- round trips ----------------------------------------------------------------------------

TEST_F(UnstrucTest, TowerReadBackIsWrittenIdentically) {
  for (int version : {2, 3}) {
    SCOPED_TRACE(version);
    freshRun();
    buildTower();
    FlagWriteUnstruc = version;
    ASSERT_EQ(writeGrid(), 0);
    const std::string first = read("unstruc");

    ASSERT_EQ(readFresh(), 0) << log();
    EXPECT_EQ(FlagReadUnstruc, version);
    EXPECT_EQ(NoPoints, 12);
    EXPECT_EQ(NoCells0, 2);
    EXPECT_EQ(NoConnect0, 1);
    EXPECT_EQ(conn[0].i2, 2);
    EXPECT_EQ(conn[0].j1, 1);
    EXPECT_EQ(connFlate[1][1], 8);
    EXPECT_EQ(block[1].aux3, 8);
    EXPECT_EQ(block[1].inwork, 0);  // i2 = 2 is not above 2
    EXPECT_EQ(DischargeStruct[1].surfaceList[0], 4);
    EXPECT_EQ(DischargeStruct[1].surfaceList[1], 10);
    EXPECT_EQ(DischargeStruct[1].y[1], 23.0);
    EXPECT_EQ(SurfDischargeStruct[3].cells[1], 2);
    EXPECT_EQ(Ncell[1][1], 2);
    EXPECT_EQ(Nvect[1][1][2], -1.0);
    // Every corner line of the column, from the column section or from the cells' corners.
    for (int n = 0; n < 4; ++n) {
      const int i = kI[n], j = kJ[n];
      EXPECT_EQ(xval[i][j], kX[n]);
      EXPECT_EQ(yval[i][j], kY[n]);
      EXPECT_EQ(zval[i][j][1], kZ[0][n]);
      EXPECT_EQ(Surfaces[0][i][j], kZ[0][n]);
      EXPECT_EQ(zval[i][j][3], kZ[2][n]);
      EXPECT_EQ(zval[i][j][4], kZ[2][n]);
    }
    EXPECT_EQ(zval[2][2][0], 1.0);
    // The derived data: volume 2 x 3 x 0.5 (mean height of the lower cell), one bed cell.
    EXPECT_NEAR(Cvol[1], 2.0 * 3.0 * 0.5, 1e-9);
    EXPECT_EQ(NoBCells, 1);
    EXPECT_EQ(Cbed[2], 1);

    std::filesystem::remove("unstruc");
    FlagWriteUnstruc = version;
    ASSERT_EQ(writeGrid(), 0);
    EXPECT_EQ(read("unstruc"), first);
  }
}

TEST_F(UnstrucTest, Version1SnapshotReadsBack) {
  buildTower();
  TransWriteFiles[1] = 1;
  WriteTransFiles();
  std::filesystem::rename("unstruc.0", "unstruc");
  ASSERT_EQ(readFresh(), 0) << log();
  EXPECT_EQ(FlagReadUnstruc, 1);
  std::filesystem::remove("unstruc");
  ASSERT_EQ(writeGrid(), 0);
  EXPECT_EQ(read("unstruc"), towerVersion3());
}

// A generated grid: grid lines 1..li x 1..lj one metre apart, 1 m deep, from koosurf and the
// grid generator. Lines as deep as the deepest get znumber - 1 levels: znumber - 2 cells.
void generate(int li, int lj) {
  std::string koosurf;
  for (int i = 1; i <= li; ++i)
    for (int j = 1; j <= lj; ++j) koosurf += strf("%d %d %d.0 %d.0 -1.0 0.0\n", i, j, i - 1, j - 1);
  std::ofstream("koosurf") << koosurf;
  int built = 0;
  ASSERT_EQ(endStatus([&] {
              readKoosurf();
              built = Unstructure();
            }),
            1000)
      << boogie();
  ASSERT_EQ(built, 1);
}

TEST_F(UnstrucTest, GeneratedGridReadBackIsWrittenIdentically) {
  // G 1 6 6 4: 2 x 2 columns of 2 cells: 8 cells; 9 grid lines of 3 points; 3 horizontal
  // faces per column and 2 x 3 x 2 x 2 side faces: 36 surfaces.
  for (int version : {2, 3, 4}) {
    SCOPED_TRACE(version);
    freshRun(6, 6, 4);
    generate(3, 3);
    FlagWriteUnstruc = version;
    ASSERT_EQ(writeGrid(), 0);
    const std::string first = read("unstruc");
    const std::string header = version == 2 ? "2 8 36 1 0 0 0 27 6 6\n" : strf("%d 8 36 1 0 0 0 27\n", version);
    EXPECT_EQ(first.substr(0, header.size()), header);

    ASSERT_EQ(readFresh(6, 6, 4), 0) << log();
    EXPECT_EQ(NoCells, 8);
    EXPECT_EQ(NoBCells, 4);
    std::filesystem::remove("unstruc");
    FlagWriteUnstruc = version;
    ASSERT_EQ(writeGrid(), 0);
    EXPECT_EQ(read("unstruc"), first);
  }
}

// ---- the reader -----------------------------------------------------------------------------

TEST_F(UnstrucTest, MissingGridFileIsAFailure) {
  struct Case {
    int mpi, mpiKoosurf;
    const char* name;
  };
  for (const Case& c : {Case{0, 0, "unstruc"}, Case{2, 0, "unstruc.mpi2"}, Case{2, 1, "unstruc"}}) {
    SCOPED_TRACE(c.name);
    freshRun();
    FlagMPI = c.mpi;
    FlagMPIkoosurf = c.mpiKoosurf;
    const int r = readGrid();
    EXPECT_LT(r, 0);
    EXPECT_NE(r, -54);
    EXPECT_NE(r, -55);
    EXPECT_NE(r, -58);
    EXPECT_EQ(log(), strf("Error: can not open '%s' file\n", c.name));
    EXPECT_EQ(mc_message, strf("have not read '%s' file", c.name));
  }
}

TEST_F(UnstrucTest, OldHeaderWithoutVersion) {
  // The first value 12 is above 10: the point count of a file without a version; group lines
  // have six integers and no x-y points; the columns come as a bottom-cell matrix.
  write("unstruc", towerOldFormat());
  ASSERT_EQ(readFresh(), 0) << log();
  EXPECT_EQ(FlagReadUnstruc, 0);
  EXPECT_EQ(NoPoints, 12);
  EXPECT_EQ(NoSurfaces, 11);
  EXPECT_EQ(NoNestflater, 1);
  EXPECT_EQ(DischargeStruct[1].xyNo, 0);
  EXPECT_EQ(DischargeStruct[1].surfaceList[1], 10);
  EXPECT_EQ(DischargeStruct[1].massDischarge, 1500.5);
  EXPECT_EQ(DischargeStruct[2].surfaceList[0], 2);
  EXPECT_EQ(DischargeStruct[9].surfaceNo, 0);
  EXPECT_EQ(SurfDischargeStruct[3].load, 2.5);
  EXPECT_EQ(xval[2][1], 12.0);
  EXPECT_EQ(zval[1][2][4], 2.625);
  EXPECT_EQ(Nweight[1][1], 0.5);
}

TEST_F(UnstrucTest, BottomCellMatrixWithShortRowsAndAnEarlyEnd) {
  // Row 2 ends after column 3 (its last value, 0, is cleared with the columns after it);
  // row 3 is full; the file ends there, so rows 4 and 5 have no cells. The values left from
  // before the read show which columns were cleared.
  const std::string matrix = " 0 0 0 0 0\n 0 1 0\n 0 0 0 0 0\n";
  // No joint pair and no nesting record: nothing follows the matrix.
  write("unstruc", "2 2 11 1 1 0 0 12 4 4\n" + towerGeometry() + kTowerBlock + "1 2 1 2\n" +
                       towerGroups() + towerSurfaceGroups() + matrix);
  freshRun();
  for (int i = 1; i <= 5; ++i)
    for (int j = 1; j <= 5; ++j) zval[i][j][0] = 7;
  ASSERT_EQ(readGrid(), 0) << log();
  for (int i = 1; i <= 5; ++i)
    for (int j = 1; j <= 5; ++j) EXPECT_EQ(zval[i][j][0], i == 2 && j == 2 ? 1.0 : 0.0) << i << " " << j;
  EXPECT_EQ(xval[1][2], 10.0);
  EXPECT_EQ(zval[2][1][3], 2.375);
}

TEST_F(UnstrucTest, DamagedFilesEndWithTheirMessages) {
  struct Case {
    const char* name;
    std::string from, to;
    int result;  // a negative result, or 1000 + the status of the run's end
    std::string log;  // for -2: after "Error in 'unstruc' file, ", naming the line
  };
  const std::string cell1 = "1 2 3 4 5 6 7 8 1 2 3 4 5 6 0 0 0 0 0 2 \n";
  const std::string block1 = "2 2 2 2 0 1 0 7 8 9 1 2 1 11 1 12 0 1.250000 3.500000\n";
  const std::string group1 = "1 1 0 1 5 2 2 1500.500000 0.125000\n";
  const Case cases[] = {
      {"unknown version", "3 2 11 1 1 1 1 12\n", "7 2 11 1 1 1 1 12\n", -2, "line 1: unknown version 7 on the first line\n"},
      {"header cut short", "3 2 11 1 1 1 1 12\n", "3 2 11\n", -2, "line 1: the line ends before the header is complete\n"},
      {"negative cell count", "3 2 11 1 1 1 1 12\n", "3 -2 11 1 1 1 1 12\n", 999,
       "Error in reading unstruc file. Have only read 0 cells, while supposed to read -2 cells\n"},
      {"negative point count", "3 2 11 1 1 1 1 12\n", "3 2 11 1 1 1 1 -12\n", -2, "line 1: the first line gives -12 points\n"},
      {"too many blocks", "3 2 11 1 1 1 1 12\n", "3 2 11 100 1 1 1 12\n", -2, "line 1: 100 blocks, at most 99 can be used\n"},
      {"too many connections", "3 2 11 1 1 1 1 12\n", "3 2 11 1 201 1 1 12\n", -2,
       "line 1: 201 block connections, at most 200 can be used\n"},
      {"points beyond the arrays", "3 2 11 1 1 1 1 12\n", "3 2 11 1 1 1 1 80\n", 995,
       "Error reading the 'unstruc' file: the allocated arrays are smaller than the \n"
       "data in the file. Increase the values on the F 65 data set in the control\n"
       "file and try again\n\n"},
      {"cell count at the capacity", "3 2 11 1 1 1 1 12\n", "3 40 11 1 1 1 1 12\n", 995,
       "Error reading the 'unstruc' file: the allocated arrays"},
      {"cell corner beyond the points", cell1, "1 2 3 4 5 6 7 13 1 2 3 4 5 6 0 0 0 0 0 2 \n", -2,
       "line 14: cell 1 refers to point 13, outside 0..12\n"},
      {"negative neighbour", cell1, "1 2 3 4 5 6 7 8 1 2 3 4 5 6 0 -1 0 0 0 2 \n", -2,
       "line 14: cell 1 refers to cell -1, outside 0..2\n"},
      {"cell cut short", cell1 + "5 6 7 8 9 10 11 12 7 8 9 10 6 11 0 0 0 0 1 0 \n1 5 6 2 0 1 \n",
       "1 2 3 4 5 6 7 8 1 2 3 4 5 6 0 0 x\n", -2, "line 14: 'x' in cell 1 is not a number\n"},
      {"surface cell beyond the cells", "9 10 11 12 2 0 \n", "9 10 11 12 3 0 \n", -2,
       "line 26: surface 11 refers to cell 3, outside 0..2\n"},
      {"block on the last j line", block1, "2 2 2 4 0 1 0 7 8 9 1 2 1 11 1 12 0 1.250000 3.500000\n", -54, ""},
      {"block on the last i line", block1, "2 4 2 2 0 1 0 7 8 9 1 2 1 11 1 12 0 1.250000 3.500000\n", -55, ""},
      {"block from column 0", block1, "0 2 2 2 0 1 0 7 8 9 1 2 1 11 1 12 0 1.250000 3.500000\n", -2,
       "line 27: block 1 starts at column (0,2); columns start at 1\n"},
      {"block cells beyond the grid", block1, "2 2 2 2 0 1 0 7 8 9 1 5 1 11 1 12 0 1.250000 3.500000\n", -2,
       "line 27: block 1 holds the cells 1 to 5 of a grid of 2\n"},
      {"connection off the grid", "1 2 1 2\n2 8\n", "1 2 1 -2\n2 8\n", -2,
       "line 28: block connection 0 joins the grid points (1,1) and (2,-2), outside the G 1 grid\n"},
      {"joint pair without a surface", "1 2 1 2\n2 8\n", "1 2 1 2\n2 0\n", -2,
       "line 29: block joint pair 1 refers to surface 0, outside 1..11\n"},
      {"group list beyond its table", group1, "1 1 0 1 5 1000001 2 1500.500000 0.125000\n", -2,
       "line 30: discharge group 1 has 1000001 surfaces, at most 1000000 can be used\n"},
      {"too many group points", group1, "1 1 0 1 5 2 5001 1500.500000 0.125000\n", -2,
       "line 30: discharge group 1 has 5001 x-y points, at most 5000 can be used\n"},
      {"group surface beyond the surfaces", "4 10 \n", "4 12 \n", -2,
       "line 31: discharge group 1 refers to surface 12, outside 0..11\n"},
      {"surface group beyond its table", "4 2 2.500000 1 2 \n", "4 101 2.500000 1 2 \n", -2,
       "line 53: surface discharge group 3 has 101 cells, at most 100 can be used\n"},
      {"surface group cell beyond the cells", "4 2 2.500000 1 2 \n", "4 2 2.500000 1 9 \n", -2,
       "line 53: surface discharge group 3 refers to cell 9, outside 0..2\n"},
      {"column record cell beyond the cells", "1 1.250000 2.500000 12.000000 23.000000 \n",
       "3 1.250000 2.500000 12.000000 23.000000 \n", -2, "line 63: grid line (2,2) has the bottom cell 3, outside 0..2\n"},
      {"nesting record cut short", "0 0.000000 0.000000 0.000000 0.000000\n0 0.000000 0.000000 0.000000 0.000000\n",
       "0 0.000000 0.000000 0.000000 0.000000\n", -2, "line 67: the file ends before the interpolation lines of nesting record 1\n"},
      {"nesting surface beyond the surfaces", "1 5 1 1 0.250000\n", "1 15 1 1 0.250000\n", -2,
       "line 64: nesting record 1 refers to surface 15, outside 0..11\n"},
      // A record one value short or long is refused on its own line: read as a stream it would
      // take the next line's first value and move every field after it.
      {"point not finite", "10.000000 20.000000 1.000000\n", "10.000000 nan 1.000000\n", -2,
       "line 2: 'nan' in point 1 is not a finite number\n"},
      {"point beyond the doubles", "10.000000 20.000000 1.000000\n", "10.000000 20.000000 1e309\n", -2,
       "line 2: '1e309' in point 1 is not a finite number\n"},
      {"point one value short", "10.000000 20.000000 1.000000\n", "10.000000 20.000000\n", -2,
       "line 2: point 1 needs 3 values, the line holds 2\n"},
      {"block one value short", block1, "2 2 2 2 0 1 0 7 8 9 1 2 1 11 1 12 0 1.250000\n", -2,
       "line 27: block 1 needs 19 values, the line holds 18\n"},
      {"block one value long", block1, "2 2 2 2 0 1 0 7 8 9 1 2 1 11 1 12 0 1.250000 3.500000 4\n", -2,
       "line 27: block 1 needs 19 values, the line holds 20\n"},
      {"connection one value short", "1 2 1 2\n2 8\n", "1 2 1\n2 8\n", -2,
       "line 28: block connection 0 needs 4 values, the line holds 3\n"},
      {"group line one value long", group1, "1 1 0 1 5 2 2 1500.500000 0.125000 7\n", -2,
       "line 30: discharge group 1 needs 9 values, the line holds 10\n"},
      {"group list one entry short", "4 10 \n", "4 \n", -2,
       "line 31: the surface list of discharge group 1 needs 2 values, the line holds 1\n"},
      {"group discharge not finite", group1, "1 1 0 1 5 2 2 inf 0.125000\n", -2,
       "line 30: 'inf' in discharge group 1 is not a finite number\n"},
      {"column record one value short", "1 1.250000 2.500000 12.000000 23.000000 \n",
       "1 1.250000 2.500000 12.000000 \n", -2,
       "line 63: the column record of grid line (2,2) needs 5 values, the line holds 4\n"},
      {"nesting record one value short", "1 5 1 1 0.250000\n", "1 5 1 1\n", -2,
       "line 64: nesting record 1 needs 5 values, the line holds 4\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    write("unstruc", replaced(towerVersion3(), c.from, c.to));
    EXPECT_EQ(readFresh(), c.result);
    if (c.result == -2) {
      EXPECT_EQ(log(), "Error in 'unstruc' file, " + c.log);
    } else {
      EXPECT_TRUE(contains(log(), c.log)) << log();
    }
  }
}

TEST_F(UnstrucTest, Version2SizesMustMatchTheControlFile) {
  write("unstruc", towerVersion2());
  EXPECT_EQ(readFresh(5, 4, 3), 1001);
  EXPECT_EQ(log(),
            "Error: The two first integers on the G 1 data set in the control file\n"
            "must be the same as when the unstruc file was created (G 1 4 4 ..).\n");
}

TEST_F(UnstrucTest, WorkBlockMustBeAmongTheBlocks) {
  struct Case {
    int workBlock, thixo, result;
  };
  // One block in the file; the mud model may add one more; a negative F 236 skips the test.
  const Case cases[] = {{1, 0, 0}, {2, 0, 1001}, {2, -1, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.workBlock * 10 + c.thixo);
    write("unstruc", towerVersion3());
    freshRun();
    WorkBlockNo = c.workBlock;
    FlagThixo = c.thixo;
    EXPECT_EQ(readGrid(), c.result);
    EXPECT_EQ(contains(log(), "Error on first integer on G 25 data set in control file\n"), c.result != 0);
  }
}

TEST_F(UnstrucTest, TopLevelOfTheGroupsAgainstTheLevelCount) {
  // znumber is 3. Below it the level is raised silently when F 276 is 1; at it (or below it
  // without F 276 1) a group with a discharge is warned about.
  struct Case {
    int top, inOut, version;
    int stored;
    std::string log;
  };
  const std::string warn = "Warning, low value on TO integer in dialog box for discharge group 1\n";
  const Case cases[] = {
      {2, 1, 3, 3, ""},
      {3, 1, 3, 3, warn + "Advice: if you are not sure what you are doing: increase number to at least 5 \n"},
      {2, 0, 3, 2, warn + "Advice: if you are not sure what you are doing: increase number to at least 5 \n"},
      {3, 1, 0, 3,
       warn + "Advice: if you are not sure what you are doing: increase number to at least 5,\n"
              "Regenerate the discharge groups and make a new unstruc file\n\n"},
      {4, 1, 3, 4, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.top * 100 + c.inOut * 10 + c.version);
    if (c.version == 0)
      write("unstruc", towerOldFormat(c.top));
    else
      write("unstruc", "3 2 11 1 1 1 1 12\n" + towerGeometry() + towerBlocks() + towerGroups(false, c.top) +
                           towerSurfaceGroups() + towerColumns() + towerNesting());
    freshRun();
    FlagInOutLevels = c.inOut;
    ASSERT_EQ(readGrid(), 0) << log();
    EXPECT_EQ(DischargeStruct[1].topLevel, c.stored);
    const std::string l = log();
    const std::size_t start = l.find("Warning, low value");
    EXPECT_EQ(start == std::string::npos ? "" : l.substr(start, c.log.size()), c.log);
  }
}

TEST_F(UnstrucTest, ControlOverridesAndTheGroupReport) {
  write("unstruc", towerVersion3());
  freshRun();
  discharges[2] = 0.25;  // m3/s -> 250 kg/s
  updates[1] = 0;
  FlagOutflow = 2;
  ASSERT_EQ(readGrid(), 0) << log();
  EXPECT_EQ(DischargeStruct[2].massDischarge, 250.0);
  EXPECT_EQ(DischargeStruct[2].inflowFlag, 1);
  EXPECT_EQ(DischargeStruct[1].bcType, 0);
  EXPECT_EQ(DischargeStruct[1].massDischarge, 1500.5);
  EXPECT_TRUE(contains(log(),
                       "In ReadUnstructure:\n"
                       "Group 1, surfaces 2, xyno 2, discharge 1500.500000 l/s Dirichlet boundary condition\n"
                       "In ReadUnstructure:\n"
                       "Group 2, surfaces 2, xyno 0, discharge 250.000000 l/s Dirichlet boundary condition\n"))
      << log();
}

// ---- koordina -----------------------------------------------------------------------------

TEST_F(UnstrucTest, KoordinaMovesGridPoints) {
  write("unstruc", towerVersion3());
  write("koordina",
        "2 2 12.5 23.5 0.75 2.75\n"
        "6 1 99 99 99 99\n"  // beyond xnumber + 1: passed over
        "1 1 9.5 19.5 0.5 2.5\n");
  ASSERT_EQ(readFresh(), 0) << log();
  EXPECT_EQ(xval[2][2], 12.5);
  EXPECT_EQ(yval[2][2], 23.5);
  EXPECT_EQ(zval[2][2][1], 0.75);
  EXPECT_EQ(Surfaces[0][2][2], 0.75);
  EXPECT_EQ(zval[2][2][3], 2.75);
  EXPECT_EQ(zval[2][2][4], 2.75);
  EXPECT_EQ(xval[1][1], 9.5);
  EXPECT_TRUE(contains(log(),
                       "\n\nWarning: if you start a computation with a new water level given in the koordina file,\n"
                       "you should specify an F 112 1 option in the control file. Otherwise, the metric is not\n"
                       "correct initially.\n\n\n"));
}

TEST_F(UnstrucTest, KoordinaWithANegativeIndexEndsTheRun) {
  write("unstruc", towerVersion3());
  write("koordina", "2 2 12.5 23.5 0.75 2.75\n1 -1 9.5 19.5 0.5 2.5\n");
  EXPECT_EQ(readFresh(), 1001);
  EXPECT_TRUE(contains(log(), "Error in 'koordina' file, line 2: point record 2 gives the grid point (1,-1); grid "
                              "indexes start at 0\n"))
      << log();
}

// The level files are read one record a line: a record one value short, a value more, text or a
// value that is not finite ends the run with the file and line, instead of ending the list
// silently or taking the next line's values.
TEST_F(UnstrucTest, LevelFileRecordsThatCannotBeReadEndTheRun) {
  struct Case {
    const char* file;
    std::string text;
    int status;  // 1000 + the status of the run's end
    std::string log;
  };
  const Case cases[] = {
      {"koordina", "2 2 12.5 23.5 0.75 2.75\n1 1 9.5 19.5 0.5\n2 1 9.5 19.5 0.5 2.5\n", 1001,
       "Error in 'koordina' file, line 2: point record 2 needs 6 values, the line holds 5\n"},
      {"koordina", "2 2 12.5 23.5 nan 2.75\n", 1001,
       "Error in 'koordina' file, line 1: 'nan' in point record 1 is not a finite number\n"},
      {"koordina", "2 2 12.5 23.5 0.75 2.75\nend\n", 1001,
       "Error in 'koordina' file, line 2: 'end' in point record 2 is not a number\n"},
      {"koomin", "1 1 10.0 20.0 0.5\n2 1 12.0 20.0 0.5 0.7\n", 999,
       "Error in 'koomin' file, line 2: point record 2 needs 5 values, the line holds 6\n"},
      {"koomin", "1 1 10.0 20.0 -inf\n", 999,
       "Error in 'koomin' file, line 1: '-inf' in point record 1 is not a finite number\n"},
      {"koomink", "1 1 10.0 20.0 0.5\n", 999,
       "Error in 'koomink' file, line 1: point record 1 needs 6 values, the line holds 5\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file + (": " + c.text));
    for (const char* f : {"koordina", "koomin", "koomink"}) std::filesystem::remove(f);
    write("unstruc", towerVersion3());
    write(c.file, c.text);
    EXPECT_EQ(readFresh(), c.status);
    EXPECT_TRUE(contains(log(), c.log)) << log();
  }
}

TEST_F(UnstrucTest, MissingKoordinaIsOnlyNoted) {
  // Block-division names; koomin and bedrough exist (empty), so their notes do not replace it.
  freshRun();
  FlagMPI = 2;
  write("unstruc.mpi2", towerVersion3());
  write("koomin.mpi2", "");
  write("bedrough.mpi2", "");
  ASSERT_EQ(readGrid(), 0) << log();
  EXPECT_EQ(mc_message, "have not used koordina.mpi2 file ");
}

// ---- non-erodible levels ----------------------------------------------------------------------

TEST_F(UnstrucTest, KoominBedWrittenByTheProgramIsAccepted) {
  // koomin.bed holds the grid lines 1..xnumber-1, 1..ynumber-1, the last ones included.
  buildTower();
  ASSERT_EQ(writeGrid(), 0);
  std::filesystem::rename("koomin.bed", "koomin");
  ASSERT_EQ(readFresh(), 0) << log();
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) EXPECT_EQ(Surfaces[3][i][j], zval[i][j][1]) << i << " " << j;
  EXPECT_FALSE(contains(log(), "koomin")) << log();
}

TEST_F(UnstrucTest, KoominRecords) {
  struct Case {
    const char* name;
    const char* koomin;
    std::function<void()> options;
    int result;
    double level;  // plane 3 of grid line (2, 2)
    std::string log;
  };
  const Case cases[] = {
      {"below the bed", "2 2 12.0 23.0 0.5\n", [] {}, 0, 0.5, ""},
      {"within 0.01 of the grid point", "2 2 12.009 22.991 0.5\n", [] {}, 0, 0.5, ""},
      {"above the bed is lowered", "2 2 12.0 23.0 1.5\n", [] {}, 0, 1.25,
       "Warning, koomin levels above koordina levels at grid line intersection (2,2).\n"
       "Lowering koomin level from 1.500000 m. to 1.250000 m. at this point.\n"},
      {"above the bed kept under F 249", "2 2 12.0 23.0 1.5\n", [] { FlagAllowNegatveSedimentthickness = 1; }, 0,
       1.5, "Warning, koomin levels above koordina levels at grid line intersection (2,2).\n"},
      {"off the grid point", "2 2 12.02 23.0 0.5\n", [] {}, -58, 0.0,
       "Error in koomin file for point (2,2)\n"
       "X-values: grid: 12.000000, koomin: 12.020000\n"
       "Y-values: grid: 23.000000, koomin: 23.000000\n"},
      {"off the grid point under F 399", "2 2 12.02 23.0 0.5\n", [] { FlagErrorKoomin = 1; }, 0, 0.5, ""},
      {"index beyond the grid lines", "2 2 12.0 23.0 0.5\n4 1 0.0 0.0 0.0\n", [] {}, 999, 0.5,
       "Error reading koomin file.\n"
       "One of the indexes (4,1) in the koomin file is larger\n"
       "than the G 1 data set values in the control file\n\n"},
      {"negative index", "2 -1 0.0 0.0 0.0\n", [] {}, 999, 0.0,
       "Error reading koomin file.\nOne of the indexes (2,-1) in the koomin file is negative\n\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    write("unstruc", towerVersion3());
    write("koomin", c.koomin);
    freshRun();
    c.options();
    EXPECT_EQ(readGrid(), c.result);
    EXPECT_EQ(Surfaces[3][2][2], c.level);
    const std::string l = log();
    const std::size_t start = l.find(c.log.empty() ? "koomin" : c.log.substr(0, 10));
    EXPECT_EQ(start == std::string::npos ? "" : l.substr(start), c.log);
  }
}

TEST_F(UnstrucTest, KoominkComesFirstAndScalesItsToleranceWithTheGrid) {
  // The plan extent of the tower is 2 m by 3 m: the tolerance is 1e-5 x 3 m = 3e-5 m.
  struct Case {
    const char* koomink;
    int result;
    double level;
    const char* log;
  };
  const Case cases[] = {
      {"2 2 12.00002 23.0 0.5 9.9\n", 0, 0.5, ""},
      {"2 2 12.00004 23.0 0.5 9.9\n", -58, 0.0,
       "Error in koomink file for point (2,2)\nX-values: grid: 12.000000, koomin: 12.000040\n"},
      {"3 4 0.0 0.0 0.5 9.9\n", 999, 0.0,
       "Error reading koomink file.\nOne of the indexes (3,4) in the koomink file is larger\n"},
      {"2 2 12.0 23.0 2.0 9.9\n", 0, 1.25,
       "Warning, koomink levels above koordina levels at grid line intersection (2,2).\n"
       "Lowering koomink level from 2.000000 m. to 1.250000 m. at this point.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.koomink);
    write("unstruc", towerVersion3());
    write("koomink", c.koomink);
    write("koomin", "2 2 12.0 23.0 0.25\n");
    EXPECT_EQ(readFresh(), c.result);
    EXPECT_EQ(Surfaces[3][2][2], c.level);
    EXPECT_TRUE(contains(log(), c.log)) << log();
  }
}

TEST_F(UnstrucTest, MudModelLevelsAndMarker) {
  // With the mud model the level of plane 5 follows the non-erodible level: 0.1 above a level
  // file's level, at least 0.1 otherwise; block 1 carries the mud.
  struct Case {
    const char* koomin;  // nullptr: no koomin
    std::function<void()> options;
    double plane3, plane5;
  };
  const Case cases[] = {
      {"2 2 12.0 23.0 0.5\n", [] {}, 0.5, 0.6},
      {nullptr, [] {}, 1.25 - 10.0, 0.1},
      {nullptr, [] { FlagMinBedLev = 42; MinLevScour = 0.5; }, 0.5, 0.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.koomin ? c.koomin : "none");
    write("unstruc", towerVersion3());
    std::filesystem::remove("koomin");
    if (c.koomin) write("koomin", c.koomin);
    SetArraysZero();
    setDefaults();
    FlagThixo = 1;
    freshRunKeeping();
    c.options();
    ASSERT_EQ(readGrid(), 0) << log();
    EXPECT_DOUBLE_EQ(Surfaces[3][2][2], c.plane3);
    EXPECT_DOUBLE_EQ(Surfaces[5][2][2], c.plane5);
    EXPECT_EQ(block[1].thixo, 1);
  }
}

TEST_F(UnstrucTest, DefaultNonErodibleLevels) {
  struct Case {
    const char* name;
    std::function<void()> options;
    double at22;  // plane 3 of grid line (2, 2): bed 1.25, water 2.5
  };
  const Case cases[] = {
      {"ten metres below the bed", [] {}, 1.25 - 10.0},
      {"F 41", [] { FlagMinBedLev = 41; MaxDepthScour = 0.75; }, 0.5},
      {"F 42", [] { FlagMinBedLev = 42; MinLevScour = -3.5; }, -3.5},
      // depth 1.25 less 0.5 = 0.75, held at most 0.5
      {"F 450 held at F 41", [] { FlagGroyneArmour = 1; GroyneArmour = 0.5; MaxDepthScour = 0.5; }, 0.75},
      {"F 450 within F 41", [] { FlagGroyneArmour = 1; GroyneArmour = 1.0; MaxDepthScour = 0.5; }, 1.0},
      {"F 450 never above the bed", [] { FlagGroyneArmour = 1; GroyneArmour = 2.0; MaxDepthScour = 0.5; }, 1.25},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    write("unstruc", towerVersion3());
    write("bedrough", "");  // so that the note of a missing bedrough does not replace the last one
    freshRun();
    c.options();
    ASSERT_EQ(readGrid(), 0) << log();
    EXPECT_DOUBLE_EQ(Surfaces[3][2][2], c.at22);
    EXPECT_EQ(mc_message, "Have not used koomin file");
  }
}

TEST_F(UnstrucTest, NonErodibleLevelOfF375GrowsAwayFromTheBanks) {
  // Grid lines j = 1..4 of block 1, one metre apart in x: L = sqrt(2). Lines j = 2 and 3 lie
  // one line from a bank: bed - 0.2 sqrt(2); lines 1 and 4 lie on the banks: the bed.
  freshRun(6, 6, 3);
  generate(3, 4);
  ASSERT_EQ(writeGrid(), 0);
  freshRun(6, 6, 3);
  FlagMinBedLev = 375;
  MaxDepthScour = 1.0;
  ASSERT_EQ(readGrid(), 0) << log();
  for (int i = 1; i <= 3; ++i) {
    EXPECT_DOUBLE_EQ(Surfaces[3][i][1], -1.0);
    EXPECT_NEAR(Surfaces[3][i][2], -1.0 - 0.2 * std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(Surfaces[3][i][3], -1.0 - 0.2 * std::sqrt(2.0), 1e-12);
    EXPECT_DOUBLE_EQ(Surfaces[3][i][4], -1.0);
  }
}

// ---- other steps of the reader ----------------------------------------------------------------

TEST_F(UnstrucTest, RemovedRegionsAndSecondBlockDivisionFixedColumns) {
  write("unstruc", towerVersion3());
  freshRun();
  OutBlockNo = 1;
  OutBlock[1] = {0, 3, 3, 1, 2, 0, 0};
  FlagMPI = 2;
  FlagMPIkoosurf = 1;  // the plain file names
  FastNo = 1;
  iFast[1] = 1;
  jFast[1] = 3;
  ASSERT_EQ(readGrid(), 0) << log();
  EXPECT_EQ(bedOutBlock[3][1], 1);
  EXPECT_EQ(bedOutBlock[3][2], 1);
  EXPECT_EQ(bedOutBlock[2][2], 0);
  // Grid lines i = 1, 2 by j = 2, 3, after the one already listed.
  ASSERT_EQ(FastNo, 4);
  EXPECT_EQ(iFast[2], 1);
  EXPECT_EQ(jFast[2], 2);
  EXPECT_EQ(iFast[3], 2);
  EXPECT_EQ(jFast[3], 2);
  EXPECT_EQ(iFast[4], 2);
  EXPECT_EQ(jFast[4], 3);
}

TEST_F(UnstrucTest, UncoveredGridPointsAreSmoothed) {
  // Version 2 with two blocks: at least ten passes. Block 2 covers columns 2..4 x 2..4 of a
  // 6 x 6 grid but has no cells; its inner point (3, 3) moves to the mean of its neighbours.
  const std::string text = "2 2 11 2 1 1 1 12 6 6\n" + towerGeometry() + kTowerBlock +
                           "2 4 2 4 0 1 0 0 0 0 3 2 12 11 13 12 0 0.000000 0.000000\n" + "1 2 1 2\n2 8\n" +
                           towerGroups() + towerSurfaceGroups() + towerMatrix(" 1", " 0", 7) + towerNesting();
  write("unstruc", text);
  freshRun(6, 6, 3);
  xval[2][3] = 1.0;
  xval[4][3] = 5.0;
  xval[3][2] = 2.0;
  xval[3][4] = 4.0;
  xval[3][3] = 100.0;
  yval[3][3] = 100.0;
  ASSERT_EQ(readGrid(), 0) << log();
  EXPECT_DOUBLE_EQ(xval[3][3], 3.0);
  EXPECT_DOUBLE_EQ(yval[3][3], 0.0);
}

// ---- bedrough -----------------------------------------------------------------------------

TEST_F(UnstrucTest, BedroughDefaultsAndRecords) {
  struct Case {
    double xks;
    const char* file;  // nullptr: no bedrough
    double at22, at33;
    const char* log;
  };
  const Case cases[] = {
      {-1.0, nullptr, 0.019770609664, 0.019770609664, ""},  // (26/50)^6
      {0.0, nullptr, 1e-5, 1e-5, ""},
      {0.05, "B 2 2 0.2\nB 0 2 0.3\nB 4 2 0.3\nB 2 4 0.3\nB 3 3 0.4\n", 0.2, 0.4,
       "Have read 2 roughness points from bedrough file\n"
       "Warning: 3 records of bedrough name a column the grid does not have (the first on line 2; "
       "columns 1..3, 1..3); they are not used\n"},
      {0.05, "B 2 2 0.2\n\nB 3 3 0.5\n", 0.2, 0.5, "Have read 2 roughness points from bedrough file\n"},
      {0.05, "B 2 2 0.2\nB 3 3 0.5\nB 2 2 0.3\nB 3 3 0.6\n", 0.3, 0.6,
       "Have read 4 roughness points from bedrough file\n"
       "Warning: 2 records of bedrough give a column a second time (the first on line 3); the last "
       "value given holds\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file ? c.file : "none");
    freshRun();
    std::filesystem::remove("bedrough");
    if (c.file) write("bedrough", c.file);
    XksWall = c.xks;
    mc_message.clear();
    readBedrough();
    EXPECT_NEAR(roughness[2][2], c.at22, 1e-12);
    EXPECT_NEAR(roughness[3][3], c.at33, 1e-12);
    EXPECT_NEAR(XksWall, c.xks < 0 ? 0.019770609664 : std::max(c.xks, 1e-5), 1e-12);
    EXPECT_EQ(mc_message, c.file ? "" : "have not used bedrough file ");
    EXPECT_EQ(std::filesystem::exists("boogie") ? log() : "", c.log);
  }
}

TEST_F(UnstrucTest, BedroughRecordsThatCannotBeReadEndTheRun) {
  struct Case {
    std::string text, log;
  };
  const Case cases[] = {
      {"B 2 2 0.2\nX 3 3 0.4\nB 3 3 0.5\n",
       "Error in 'bedrough' file, line 2: a roughness record starts with the letter B\n"},
      {"B 2 2\nB 3 3 0.5\n", "Error in 'bedrough' file, line 1: point record 1 needs 4 values, the line holds 3\n"},
      {"B 2 2 nan\n", "Error in 'bedrough' file, line 1: 'nan' in point record 1 is not a finite number\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    freshRun();
    write("bedrough", c.text);
    XksWall = 0.05;
    EXPECT_EQ(endStatus(readBedrough), -5);
    EXPECT_EQ(log(), c.log);
  }
}

TEST_F(UnstrucTest, BedroughRequiredByF90) {
  FlagRoughness = 1;
  EXPECT_EQ(endStatus(readBedrough), -5);
  EXPECT_EQ(log(), "Error: bedrough file not found when using F 90 1\n\n");
}

}  // namespace
}  // namespace qorva
