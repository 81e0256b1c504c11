// The full-state restart file alldata: a hand-written file read field by field and written
// back unchanged, a generated grid with its flow, concentrations and bed layers through the
// file and back, the rescaling of bed fractions, the options applied on reading, the form with
// more bed layers, the statistics of F 404, the numbering of the written files, the failures,
// and the bad cell of the grid metrics that saves the state before the run ends.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
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

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::string boogie() {
  std::ifstream f("boogie");
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

bool startsWith(const std::string& text, const std::string& part) { return text.rfind(part, 0) == 0; }

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
// (2, 2), (1, 2), in a grid of G 1 4 4 3 with two sediment sizes and two bed layers. Points
// 1-4 lie on the bed, 5-8 between the cells, 9-12 at the surface, each level counted
// south-west, south-east, north-east, north-west. Cell 1 holds surfaces 1-6 (south, east,
// north, west, bottom, top), cell 2 surfaces 7-10, 6 as its bottom and 11 as its top.

std::string towerPoints() {
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
         "10.000000 23.000000 2.625000\n";
}

// Each cell: corners, surfaces (s, e, n, w, b, t), neighbours (s, e, n, w, b, t); then u, v, w,
// p, k, epsilon and the concentrations of sizes 0 (the total), 1 and 2.
std::string towerCells() {
  return "1 2 3 4 5 6 7 8 1 2 3 4 5 6 0 0 0 0 0 2 \n"
         "0.250000 -0.125000 0.015625 9.810000 0.001000 0.000100 0.006 0.004 0.002 \n"
         "5 6 7 8 9 10 11 12 7 8 9 10 6 11 0 0 0 0 1 0 \n"
         "0.500000 0.062500 -0.031250 4.905000 0.002000 0.000300 3e-05 2e-05 1e-05 \n";
}

// Surfaces, block, connection, joint pair, discharge groups 1..9, surface discharge groups.
std::string towerLinks() {
  std::string t =
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
      "9 10 11 12 2 0 \n"
      "2 2 2 2 0 1 0 7 8 9 1 2 1 11 1 12 0 1.250000 3.500000\n"
      "1 2 1 2\n"
      "2 8\n"
      "1 1 0 1 5 2 2 1500.500000 0.125000\n4 10 \n10.000000 20.000000\n10.000000 23.000000\n"
      "0 0 0 1 151 2 0 0.000000 0.000000\n2 8 \n";
  for (int g = 3; g <= 9; ++g) t += "1 0 0 1 151 0 0 0.000000 0.000000\n\n";
  for (int g = 0; g <= 9; ++g) t += g == 3 ? "4 2 2.500000 1 2 \n" : "0 0 0.000000 \n";
  return t;
}

// The four grid points of block 1 in the two-layer form: bottom cell, bed level, water level,
// x, y, the planes 0..3, the bed cell, then layers 1 and 0 (thickness, fractions of sizes 1, 2).
// Only (2, 2) has a column: bed cell 1.
const char* const kColumnLayers = " 0.200000 0.250000 0.750000 0.500000 0.600000 0.400000\n";

std::string towerGridPoints(const std::string& columnLayers = kColumnLayers) {
  const std::string none = " 0.000000 0.500000 0.500000 0.000000 0.500000 0.500000\n";
  return "0 1.000000 2.250000 10.000000 20.000000 1.000000 0.000000 0.000000 -9.000000 0 \n" + none +
         "0 1.375000 2.625000 10.000000 23.000000 1.375000 0.000000 0.000000 -8.625000 0 \n" + none +
         "0 1.125000 2.375000 12.000000 20.000000 1.125000 0.000000 0.000000 -8.875000 0 \n" + none +
         "1 1.250000 2.500000 12.000000 23.000000 1.250000 -0.125000 0.000000 -8.750000 1 \n" +
         columnLayers;
}

std::string towerNesting() {
  return "1 5 1 1 0.250000\n"
         "1 0.500000 0.000000 0.000000 1.000000\n"
         "2 0.500000 0.000000 0.000000 -1.000000\n"
         "0 0.000000 0.000000 0.000000 0.000000\n"
         "0 0.000000 0.000000 0.000000 0.000000\n";
}

std::string towerFile(const std::string& gridPoints = towerGridPoints()) {
  return "3 2 11 1 1 1 1 12\n2 2 12.500000\n" + towerPoints() + towerCells() + towerLinks() +
         gridPoints + towerNesting();
}

class AllDataTest : public test::Scratch {
 protected:
  void SetUp() override {
    test::Scratch::SetUp();
    freshRun();
  }

  // The start of a new run in the same folder: defaults, the G 1 sizes, two sediment sizes,
  // small F 65 capacities, the arrays, no log. `options` sets what the run needs beforehand.
  template <class Options>
  static void freshRun(int xn, int yn, int zn, Options options) {
    SetArraysZero();
    setDefaults();
    xnumber = xn;
    ynumber = yn;
    znumber = zn;
    lnumber = 2;
    MaxCeller = 40;
    MaxFlater = 80;
    MaxPunkter = 80;
    MaxNester = 5;
    MaxConnFlate = 5;
    options();
    ASSERT_EQ(sialloc(), 0);
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
    std::filesystem::remove("boogie");
  }
  static void freshRun(int xn = 4, int yn = 4, int zn = 3) {
    freshRun(xn, yn, zn, [] {});
  }

  // ReadAllData; its result, or 1000 + the status of the run's end.
  static int readAll() {
    try {
      return ReadAllData();
    } catch (const RunEnd& e) {
      return 1000 + e.status;
    }
  }
};

// ---- the tower --------------------------------------------------------------------------------

TEST_F(AllDataTest, TowerIsReadFieldByFieldAndWrittenBackUnchanged) {
  write("alldata", towerFile());
  ASSERT_EQ(readAll(), 0) << log();

  EXPECT_EQ(stimet, 12.5);
  EXPECT_EQ(NoPoints, 12);
  EXPECT_EQ(NoCells, 2);
  EXPECT_EQ(NoCells0, 2);
  EXPECT_EQ(NoSurfaces0, 11);
  EXPECT_EQ(NoBlocks0, 1);
  EXPECT_EQ(NoConnect0, 1);
  EXPECT_EQ(NoConnFlate0, 1);
  EXPECT_EQ(NoNestflater, 1);
  EXPECT_EQ(Pz[12], 2.625);
  EXPECT_EQ(Cflateb[2], 6);
  EXPECT_EQ(Ccellb[2], 1);
  EXPECT_EQ(Fpoint2[8], 7);
  // The flow field and the concentrations of each cell.
  EXPECT_EQ(Cxvel[1], 0.25);
  EXPECT_EQ(Cyvel[1], -0.125);
  EXPECT_EQ(Czvel[2], -0.03125);
  EXPECT_EQ(Cpres[2], 4.905);
  EXPECT_EQ(Ckinen[2], 0.002);
  EXPECT_EQ(Cepsilon[2], 0.0003);
  EXPECT_EQ(Cconc[0][1], 0.006);
  EXPECT_EQ(Cconc[2][1], 0.002);
  EXPECT_EQ(Cconc[1][2], 2e-5);
  // The links.
  EXPECT_EQ(block[1].aux3, 8);
  EXPECT_EQ(block[1].boxtop, 3.5);
  EXPECT_EQ(conn[0].j1, 1);
  EXPECT_EQ(connFlate[1][1], 8);
  EXPECT_EQ(DischargeStruct[1].surfaceList[1], 10);
  EXPECT_EQ(DischargeStruct[1].y[1], 23.0);
  EXPECT_EQ(DischargeStruct[1].topLevel, 5);
  EXPECT_EQ(SurfDischargeStruct[3].cells[1], 2);
  EXPECT_EQ(Nvect[1][1][2], -1.0);
  // The grid points and the column.
  EXPECT_EQ(zval[2][2][0], 1.0);
  EXPECT_EQ(zval[1][2][1], 1.375);
  EXPECT_EQ(zval[2][1][3], 2.375);
  EXPECT_EQ(zval[2][1][4], 2.375);
  EXPECT_EQ(xval[2][2], 12.0);
  EXPECT_EQ(yval[1][2], 23.0);
  EXPECT_EQ(Surfaces[0][2][2], 1.25);
  EXPECT_EQ(Surfaces[1][2][2], -0.125);
  EXPECT_EQ(Surfaces[3][1][1], -9.0);
  EXPECT_EQ(pointbed[2][2], 1);
  EXPECT_EQ(pointbed[1][1], 0);
  EXPECT_EQ(Bkooi[1], 2);
  EXPECT_EQ(Bkooj[1], 2);
  EXPECT_EQ(BSedDistrib[1][0][1], 0.2);
  EXPECT_EQ(BSedDistrib[1][2][1], 0.75);
  EXPECT_EQ(BSedDistrib[0][0][1], 0.5);
  EXPECT_EQ(BSedDistrib[0][1][1], 0.6);
  // Rebuilt from the grid: one bed cell under both cells, the volume 2 x 3 x 0.5 (mean height
  // of the lower cell).
  EXPECT_EQ(NoBCells, 1);
  EXPECT_EQ(Cbed[1], 1);
  EXPECT_EQ(Cbed[2], 1);
  EXPECT_NEAR(Cvol[1], 3.0, 1e-9);
  EXPECT_EQ(FlagReadAlldata, 1);
  EXPECT_EQ(FlagInitialized, 1);
  EXPECT_EQ(FlagInitialFinished, 1);
  EXPECT_FALSE(contains(log(), "Error")) << log();

  WriteAllData();
  EXPECT_EQ(read("alldata.0"), towerFile());
}

TEST_F(AllDataTest, WrittenFilesTakeTheFirstFreeNumber) {
  write("alldata", towerFile());
  ASSERT_EQ(readAll(), 0) << log();
  write("alldata.0", "taken");
  write("alldata.2", "taken");
  WriteAllData();
  EXPECT_EQ(read("alldata.1"), towerFile());
  EXPECT_EQ(read("alldata.2"), "taken");
  WriteAllData();
  EXPECT_TRUE(std::filesystem::exists("alldata.3"));
  // A block division numbers its own series.
  FlagMPI = 2;
  WriteAllData();
  EXPECT_EQ(read("alldata.mpi2.0"), towerFile());
}

TEST_F(AllDataTest, FractionsOfEachLayerAreScaledToOne) {
  // Layer 1 of the column is given each row's values; layer 0 keeps its sum of one. Rows:
  // thickness, fractions of sizes 1 and 2 as written, then as read.
  struct Row {
    const char* layer;
    double thickness, f1, f2;
  } rows[] = {
      {" 0.200000 0.250000 0.250000", 0.2, 0.5, 0.5},    // sum 0.5: doubled
      {" 0.200000 0.300000 0.900000", 0.2, 0.25, 0.75},  // sum 1.2
      {" 0.000000 0.300000 0.900000", 0.0, 0.5, 0.5},    // no thickness: an even mixture
      {" 1e-21 0.300000 0.900000", 1e-21, 0.5, 0.5},     // thinner than 1e-20 counts as none
      {" 0.200000 0.250000 0.75000000005", 0.2, 0.25, 0.75000000005},  // within 1e-10: kept
      {" 0.200000 0.000000 0.000000", 0.2, 0.5, 0.5},    // no fractions at all: an even mixture
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.layer);
    freshRun();
    write("alldata", towerFile(towerGridPoints(std::string(row.layer) + " 0.500000 0.600000 0.400000\n")));
    ASSERT_EQ(readAll(), 0) << log();
    EXPECT_EQ(BSedDistrib[1][0][1], row.thickness);
    EXPECT_DOUBLE_EQ(BSedDistrib[1][1][1], row.f1);
    EXPECT_DOUBLE_EQ(BSedDistrib[1][2][1], row.f2);
    EXPECT_EQ(BSedDistrib[0][1][1], 0.6);
    EXPECT_EQ(BSedDistrib[0][2][1], 0.4);
  }
}

TEST_F(AllDataTest, OptionsAppliedToTheLevelsAndGroupsRead) {
  struct Row {
    const char* name;
    void (*set)();
    double bedChange, nonErodible, discharge;
    int bcType1, bcType2;
  } rows[] = {
      {"none", [] {}, -0.125, -8.75, 1500.5, 1, 0},
      // F 392: the accumulated bed change starts from zero.
      {"F 392", [] { FlagSetZeroBedmove = 1; }, 0.0, -8.75, 1500.5, 1, 0},
      // F 393: the non-erodible level is the bed level as read.
      {"F 393", [] { FlagSetLimBedOri = 1; }, -0.125, 1.25, 1500.5, 1, 0},
      // F 237 gives group 1 2.5 m3/s, F 263 group 2 the boundary type 1.
      {"F 237, F 263",
       [] {
         discharges[1] = 2.5;
         updates[2] = 1;
       },
       -0.125, -8.75, 2500.0, 1, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    freshRun();
    row.set();
    write("alldata", towerFile());
    ASSERT_EQ(readAll(), 0) << log();
    EXPECT_EQ(Surfaces[1][2][2], row.bedChange);
    EXPECT_EQ(Surfaces[3][2][2], row.nonErodible);
    EXPECT_EQ(DischargeStruct[1].massDischarge, row.discharge);
    EXPECT_EQ(DischargeStruct[1].bcType, row.bcType1);
    EXPECT_EQ(DischargeStruct[2].bcType, row.bcType2);
  }
}

TEST_F(AllDataTest, StatisticsOfF404AreStoredInThousandths) {
  freshRun(4, 4, 3, [] { FlagMorphStatistics = 1; });
  const std::string stats =
      "1 1 250.000000\n"
      "1 2 0.000000\n"
      "2 1 -12.500000\n"
      "2 2 1000.000000\n";
  const std::string text = replaced(towerFile(), "3 2 11", "4 2 11") + stats;
  write("alldata", text);
  ASSERT_EQ(readAll(), 0) << log();
  EXPECT_DOUBLE_EQ(Surfaces[5][1][1], 0.25);
  EXPECT_DOUBLE_EQ(Surfaces[5][2][1], -0.0125);
  EXPECT_DOUBLE_EQ(Surfaces[5][2][2], 1.0);
  WriteAllData();
  EXPECT_EQ(read("alldata.0"), text);
}

TEST_F(AllDataTest, MoreLayersCarryTheTopLayerAndOneLinePerLayer) {
  // Three bed layers. In this form a point without bed cell ends without a newline, and the
  // next point follows on its line.
  freshRun(4, 4, 3, [] { NoBedLayers = 3; });
  const std::string noBed =
      "0 0 1.000000 2.250000 10.000000 20.000000 1.000000 0.000000 0.000000 -9.000000 "
      "0 0 1.375000 2.625000 10.000000 23.000000 1.375000 0.000000 0.000000 -8.625000 "
      "0 0 1.125000 2.375000 12.000000 20.000000 1.125000 0.000000 0.000000 -8.875000 ";
  // Read with no bed cell anywhere; the bed-cell index then gives column (2, 2) bed cell 1.
  write("alldata", replaced(towerFile(noBed + "0 1 1.250000 2.500000 12.000000 23.000000 1.250000 "
                                              "-0.125000 0.000000 -8.750000 "),
                            "2 2 12.500000", "2 3 12.500000"));
  ASSERT_EQ(readAll(), 0) << log();
  ASSERT_EQ(pointbed[2][2], 1);

  BlayerTop[1] = 2;
  const double layers[3][3] = {{3.0, 0.5, 0.5}, {0.25, 0.125, 0.875}, {0.125, 1.0, 0.0}};
  for (int layer = 0; layer < 3; ++layer)
    for (int l = 0; l < 3; ++l) BSedDistrib[layer][l][1] = layers[layer][l];
  WriteAllData();
  const std::string expected =
      "3 2 11 1 1 1 1 12\n2 3 12.500000\n" + towerPoints() + towerCells() + towerLinks() + noBed +
      "1 1 1.250000 2.500000 12.000000 23.000000 1.250000 -0.125000 0.000000 -8.750000 2\n"
      "0.125000 1.000000 0.000000 \n"
      "0.250000 0.125000 0.875000 \n"
      "3.000000 0.500000 0.500000 \n" +
      towerNesting();
  EXPECT_EQ(read("alldata.0"), expected);

  // The layers read back as written (none is empty, so none is joined away).
  freshRun(4, 4, 3, [] { NoBedLayers = 3; });
  std::filesystem::rename("alldata.0", "alldata");
  ASSERT_EQ(readAll(), 0) << log();
  EXPECT_EQ(BlayerTop[1], 2);
  EXPECT_EQ(BSedDistrib[1][2][1], 0.875);
  EXPECT_EQ(BSedDistrib[2][1][1], 1.0);
  EXPECT_EQ(BSedDistrib[0][0][1], 3.0);
}

TEST_F(AllDataTest, BlockOneWithTooFewLinesIsReportedAndReadOn) {
  // Block 1 over the grid lines 0..1 x 1..2: the same four points in the file.
  write("alldata", replaced(towerFile(), "2 2 2 2 0 1 0 7 8 9", "1 1 2 2 0 1 0 7 8 9"));
  ASSERT_EQ(readAll(), 0) << log();
  EXPECT_TRUE(contains(log(), "Error reading alldata file. Block 1 not properly defined: 1 1 2 2\n\n")) << log();
  EXPECT_EQ(stimet, 12.5);
}

// ---- failures ---------------------------------------------------------------------------------

TEST_F(AllDataTest, FailuresEndTheRunWithTheirMessages) {
  struct Row {
    const char* name;
    std::string text;  // empty: no alldata file
    void (*set)();
    int status;
    std::string log;
  } rows[] = {
      {"no file", "", [] {}, 1, "Error, have not been able to open alldata file\n"},
      {"version 4 without F 404", replaced(towerFile(), "3 2 11", "4 2 11"), [] {}, -55,
       "Error, it is necessary to use F 404 with this alldata file\n\n"},
      {"more cells than F 65 gives", replaced(towerFile(), "3 2 11", "3 400 11"), [] {}, -5,
       "Error reading the alldata file: the allocated arrays are smaller than the \n"
       "data in the file. Increase the values on the F 65 data set in the control\n"
       "file and try again\n\n"},
      {"other size count", replaced(towerFile(), "2 2 12.500000", "3 2 12.500000"), [] {}, -5,
       "Error in reading alldata file\n"
       "The number of sediment sizes in allfile is 3. The number in the control file is 2.\n"
       "The number of bed layers in allfile is 2. The number in the control file is 2.\n"},
      {"other layer count", replaced(towerFile(), "2 2 12.500000", "2 4 12.500000"), [] {}, -5,
       "Error in reading alldata file\n"
       "The number of sediment sizes in allfile is 2. The number in the control file is 2.\n"
       "The number of bed layers in allfile is 4. The number in the control file is 2.\n"},
      // The first point gives five values, and the file ends.
      {"point of the form with more layers cut short",
       "3 2 11 1 1 1 1 12\n2 3 12.500000\n" + towerPoints() + towerCells() + towerLinks() +
           "0 0 1.000000 2.250000 10.000000\n",
       [] { NoBedLayers = 3; }, -99,
       "Error in 'alldata' file, line 63: the line ends before grid point (1,1) is complete\n"
       "Error reading 'alldata' file with more than two layers. The file must be made with version "
       "353 or later\n\n"},
      {"unknown version", replaced(towerFile(), "3 2 11", "2 2 11"), [] {}, -1,
       "Error in 'alldata' file, line 1: unknown version 2 on the first line\n"},
      {"bottom cell beyond the cells", replaced(towerFile(), "\n1 1.250000 2.500000", "\n3 1.250000 2.500000"),
       [] {}, -1, "Error in 'alldata' file, line 69: grid point (2,2) has the bottom cell 3, outside 0..2\n"},
      {"bed cell beyond the bed tables", replaced(towerFile(), "-8.750000 1 \n", "-8.750000 99 \n"), [] {}, -1,
       "Error in 'alldata' file, line 69: grid point (2,2) has the bed cell 99, outside 0..48\n"},
      {"block beyond the grid", replaced(towerFile(), "2 2 2 2 0 1 0 7 8 9", "2 6 2 2 0 1 0 7 8 9"), [] {}, -1,
       "Error in 'alldata' file, line 30: block 1 reaches the grid line (6,2), outside the G 1 grid\n"},
      {"a concentration that is text", replaced(towerFile(), "3e-05 2e-05 1e-05 \n", "3e-05 2e-05 x \n"),
       [] {}, -1, "Error in 'alldata' file, line 18: 'x' in the flow values of cell 2 is not a number\n"},
      // One value short: read as a stream, the next line's first value would fill it and shift
      // every field after it.
      {"a cell one concentration short", replaced(towerFile(), "3e-05 2e-05 1e-05 \n", "3e-05 2e-05 \n"),
       [] {}, -1, "Error in 'alldata' file, line 18: the flow values of cell 2 needs 9 values, the line holds 8\n"},
      {"a concentration not finite", replaced(towerFile(), "3e-05 2e-05 1e-05 \n", "3e-05 nan 1e-05 \n"),
       [] {}, -1, "Error in 'alldata' file, line 18: 'nan' in the flow values of cell 2 is not a finite number\n"},
      {"a grid point one value long", replaced(towerFile(), "-8.750000 1 \n", "-8.750000 1 0 \n"), [] {}, -1,
       "Error in 'alldata' file, line 69: grid point (2,2) needs 10 values, the line holds 11\n"},
      {"statistics off the grid",
       replaced(towerFile(), "3 2 11", "4 2 11") + "1 1 0.0\n1 2 0.0\n2 1 0.0\n7 2 0.0\n",
       [] { FlagMorphStatistics = 1; }, -1,
       "Error in 'alldata' file, line 79: the statistics of grid point (7,2) lie outside the G 1 grid\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    freshRun(4, 4, 3, row.set);
    std::filesystem::remove("alldata");
    if (!row.text.empty()) write("alldata", row.text);
    EXPECT_EQ(readAll(), 1000 + row.status);
    EXPECT_EQ(log(), row.log);
  }
  freshRun();
  write("alldata", replaced(towerFile(), "3 2 11", "3 400 11"));
  readAll();
  EXPECT_EQ(mc_message, " Error reading alldata file - arrays ");
}

TEST_F(AllDataTest, StateThatDoesNotFitItsTablesIsNotWritten) {
  write("alldata", towerFile());
  ASSERT_EQ(readAll(), 0) << log();
  std::filesystem::remove("boogie");
  pointbed[2][2] = 99;
  EXPECT_EQ(endStatus([] { WriteAllData(); }), 1);
  EXPECT_EQ(log(), "Error writing alldata file: grid point (2,2) has the bed cell 99, outside 0..48\n");
  EXPECT_FALSE(std::filesystem::exists("alldata.0"));
}

// ---- generated grids --------------------------------------------------------------------------

// A generated grid: grid lines 1..li x 1..lj one metre apart, 1 m deep, from koosurf and the
// grid generator; `edit` may change the koosurf text first.
void generate(int li, int lj, std::string (*edit)(std::string) = nullptr) {
  std::string koosurf;
  for (int i = 1; i <= li; ++i)
    for (int j = 1; j <= lj; ++j) koosurf += strf("%d %d %d.0 %d.0 -1.0 0.0\n", i, j, i - 1, j - 1);
  if (edit) koosurf = edit(koosurf);
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

// What the file must carry through: topology, flow, concentrations, levels and bed layers.
struct Saved {
  std::vector<int> topology;
  std::vector<double> values, points, layers;
  int bedCells = 0;

  static Saved take() {
    Saved s;
    const Table1<int>* ints[] = {&Cpoint1, &Cpoint8, &Cflatee, &Cflateb, &Ccelln, &Ccellt};
    for (int c = 1; c <= NoCells0; ++c) {
      for (const Table1<int>* t : ints) s.topology.push_back((*t)[c]);
      for (const Table1<double>* t : {&Cxvel, &Cyvel, &Czvel, &Cpres, &Ckinen, &Cepsilon})
        s.values.push_back((*t)[c]);
      for (int l = 0; l <= lnumber; ++l) s.values.push_back(Cconc[l][c]);
    }
    for (int f = 1; f <= NoSurfaces0; ++f) s.topology.push_back(Fpoint3[f] * 1000 + Fcell2[f]);
    const GridBlock& k = block[1];
    for (int i = k.i1 - 1; i <= k.i2; ++i)
      for (int j = k.j1 - 1; j <= k.j2; ++j) {
        s.topology.push_back(pointbed[i][j]);
        for (double v : {zval[i][j][0], zval[i][j][1], zval[i][j][znumber], xval[i][j], yval[i][j],
                         Surfaces[0][i][j], Surfaces[1][i][j], Surfaces[2][i][j], Surfaces[3][i][j]})
          s.points.push_back(v);
      }
    s.bedCells = NoBCells;
    for (int b = 1; b <= NoBCells; ++b)
      for (int layer = 0; layer <= 1; ++layer)
        for (int l = 0; l <= lnumber; ++l) s.layers.push_back(BSedDistrib[layer][l][b]);
    return s;
  }
};

TEST_F(AllDataTest, GeneratedGridWithItsStateComesBackFromTheFile) {
  // G 1 6 6 4: 2 x 2 columns of 2 cells: 8 cells, 36 surfaces, 27 points, 4 bed cells.
  freshRun(6, 6, 4);
  generate(3, 3);
  BedMake();  // the bed-cell index of the run
  ASSERT_EQ(NoCells, 8);
  ASSERT_EQ(NoBCells, 4);
  // Values that "%lf" (and "%lg" for the concentrations) write exactly.
  for (int c = 1; c <= NoCells; ++c) {
    Cxvel[c] = 0.125 * c;
    Cyvel[c] = -0.25 * c;
    Czvel[c] = c / 64.0;
    Cpres[c] = 1000.0 + c;
    Ckinen[c] = 0.001 * c;
    Cepsilon[c] = 0.5 + c;
    for (int l = 0; l <= lnumber; ++l) Cconc[l][c] = l + c / 4.0;
  }
  for (int b = 1; b <= NoBCells; ++b) {
    const double layer1[3] = {0.5, 0.25, 0.75}, layer0[3] = {1.0 + b, 0.5, 0.5};
    for (int l = 0; l <= lnumber; ++l) {
      BSedDistrib[1][l][b] = layer1[l];
      BSedDistrib[0][l][b] = layer0[l];
    }
  }
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) {
      Surfaces[1][i][j] = 0.125 * i;
      Surfaces[2][i][j] = 0.25 * j;
    }
  stimet = 3600.5;
  // A two-dimensional block appended after the generation: the file holds the grid as generated.
  NoCells = NoCells0 + 4;
  NoSurfaces = NoSurfaces0 + 5;
  NoBlocks = 2;
  block[2] = block[1];
  block[2].flag2D = 1;
  const Saved before = Saved::take();

  WriteAllData();
  const std::string text = read("alldata.0");
  EXPECT_TRUE(startsWith(text, "3 8 36 1 0 0 0 27\n2 2 3600.500000\n")) << text.substr(0, 40);

  freshRun(6, 6, 4);
  std::filesystem::rename("alldata.0", "alldata");
  ASSERT_EQ(readAll(), 0) << log();
  EXPECT_EQ(NoCells, 8);
  EXPECT_EQ(NoSurfaces, 36);
  EXPECT_EQ(NoBlocks, 1);
  EXPECT_EQ(stimet, 3600.5);
  const Saved after = Saved::take();
  EXPECT_EQ(after.topology, before.topology);
  EXPECT_EQ(after.values, before.values);
  EXPECT_EQ(after.points, before.points);
  EXPECT_EQ(after.bedCells, 4);
  EXPECT_EQ(after.layers, before.layers);
  // The face fluxes follow from the velocities read (block 1's surfaces): some are not zero.
  double flux = 0;
  for (int f = 1; f <= NoSurfaces; ++f) flux += std::fabs(Fflux[f]);
  EXPECT_GT(flux, 0.0);

  // Written again, the file is the same, but for the empty slot that the points without a bed
  // cell write: its layers, without thickness, were read as even mixtures.
  std::string again = text;
  const std::string empty = " 0.000000 0.000000 0.000000 0.000000 0.000000 0.000000\n";
  const std::string even = " 0.000000 0.500000 0.500000 0.000000 0.500000 0.500000\n";
  int slots = 0;
  for (std::size_t at = again.find(empty); at != std::string::npos; at = again.find(empty, at)) {
    again.replace(at, empty.size(), even);
    ++slots;
  }
  EXPECT_EQ(slots, 5);  // grid lines i = 1 (three points) and j = 1 (two more)
  WriteAllData();
  EXPECT_EQ(read("alldata.0"), again);
}

TEST_F(AllDataTest, F112TwoRegeneratesTheGridFromTheLevelsRead) {
  freshRun(6, 6, 4);
  generate(3, 3);
  BedMake();
  WriteAllData();
  freshRun(6, 6, 4, [] { FlagNewGrid = 2; });
  std::filesystem::rename("alldata.0", "alldata");
  ASSERT_EQ(readAll(), 0) << log();
  EXPECT_TRUE(contains(log(), "End Unstructure 8 cells")) << log();
  EXPECT_EQ(NoCells, 8);
  EXPECT_EQ(NoBCells, 4);
  // The grid made from the levels read is the grid written: 2 x 2 columns 1 m deep.
  for (int c = 1; c <= NoCells; ++c) EXPECT_NEAR(Cvol[c], 0.5, 1e-9) << c;
}

TEST_F(AllDataTest, CrossedCellOfTheMetricsSavesTheStateAndEndsWithMinusOne) {
  // Grid points (2, 2) and (3, 2) exchanged: the column between them has no plan area.
  freshRun(6, 6, 4);
  generate(3, 3, [](std::string k) {
    k = replaced(k, "2 2 1.0 1.0 -1.0 0.0\n", "2 2 2.0 1.0 -1.0 0.0\n");
    return replaced(k, "3 2 2.0 1.0 -1.0 0.0\n", "3 2 1.0 1.0 -1.0 0.0\n");
  });
  std::filesystem::remove("boogie");
  FlagHaveDoneMetric = 0;
  EXPECT_EQ(endStatus([] { metric(); }), -1);
  EXPECT_TRUE(contains(log(), "In metric, Error for cell ")) << log();
  EXPECT_TRUE(contains(log(), ", zero volume: ")) << log();
  EXPECT_TRUE(startsWith(read("alldata.0"), "3 8 36 1 0 0 0 27\n"));
}

}  // namespace
}  // namespace qorva
