// The time-series line of `timeo` on small box grids: the formats of every item, the items
// that continue or join lines, the sums over columns and discharge groups, the record in force,
// the running sums and the failure to open the file.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "output/output.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "state/timeseries.h"
#include "support/box_grid.h"
#include "support/scratch.h"

namespace qorva {
namespace {

struct Item {
  char letter;
  int n;
  int i = 0, j = 0, extra = 0;
};

// Record r of TimePrint from the given time with the items.
void setRecord(int r, double time, const std::vector<Item>& items) {
  TimePrintRecord& rec = TimePrint[r];
  rec = {};
  rec.time = time;
  rec.itemNo = static_cast<int>(items.size());
  for (std::size_t m = 0; m < items.size(); ++m) {
    rec.var[m] = items[m].letter;
    rec.level[m] = items[m].n;
    rec.i[m] = items[m].i;
    rec.j[m] = items[m].j;
    rec.extra[m] = items[m].extra;
  }
  TimePrintNo = std::max(TimePrintNo, r + 1);
}

class OutputTimeSeries : public test::Scratch {
 protected:
  // One line written at `time` with one record of the items.
  static std::string line(double time, const std::vector<Item>& items) {
    std::remove("timeo");
    setRecord(0, 0.0, items);
    stimet = time;
    TimePrintFunction();
    return read("timeo");
  }
};

TEST_F(OutputTimeSeries, RecordWithoutItemsWritesTheTimeAlone) {
  test::makeBox({1}, {1}, {1});
  EXPECT_EQ(line(12.5, {}), "1.2500e+01 \n");
  EXPECT_EQ(line(0.0, {}), "0.0000e+00 \n");
}

TEST_F(OutputTimeSeries, CellItemsWriteTheirCellValues) {
  NoComponents = 2;
  test::makeBox({2, 2, 2}, {1}, {1, 1});
  Cgamma[1] = 0.15;
  Cepsilon[2] = 2.5e-4;
  Ckinen[3] = 0.0125;
  Cpres[4] = -98.1;
  Cxvel[5] = 1.5;
  Cyvel[6] = -0.25;
  Czvel[1] = 0;
  Ccomp[1][2] = 7;
  // 'c', 'j', 'l' and a letter that is not lower case write nothing.
  const std::vector<Item> items = {{'d', 1}, {'c', 3, 0, 0, 1}, {'e', 2}, {'k', 3}, {'j', 1},
                                   {'p', 4}, {'u', 5},          {'Q', 1}, {'v', 6}, {'l', 2},
                                   {'w', 1}, {'q', 2, 0, 0, 1}};
  EXPECT_EQ(line(2.0, items),
            "2.0000e+00 1.500000e-01 2.500000e-04 1.250000e-02 -9.810000e+01 1.500000e+00 "
            "-2.500000e-01 0.000000e+00 7.000000e+00 \n");
  EXPECT_FALSE(std::filesystem::exists("boogie"));
}

TEST_F(OutputTimeSeries, RunValuesAndGridLineItems) {
  test::makeBox({2, 2, 2}, {1}, {1, 1});
  maxBackwater = 0.5;
  scaleBackwater = 1.25;
  scaleBackwater2 = -2;
  DischargeArray[1] = 12.5;
  SurfacesBM = 0.75;
  medianPressure1 = 1234.5;
  medianPressure2 = -0.5;
  PrintMaxErrorSuspSed = 3.25;
  // Block 1 spans i = 2..4 and j = 2..2: the 'y' levels are those of grid lines 1 and 4 at
  // j = 2 / 2 + 1 = 2.
  zval[1][2][znumber] = 10.5;
  zval[4][2][znumber] = 10.25;
  zval[3][2][znumber] = 10.4;
  zval[3][1][1] = -0.75;
  const std::vector<Item> items = {{'b', 0}, {'g', 0}, {'n', 0}, {'s', 0},        {'t', 0},
                                   {'x', 0}, {'y', 0}, {'h', 3, 3, 2}, {'z', 3, 3, 1}};
  EXPECT_EQ(line(1.0, items),
            "1.0000e+00 0.500000 1.250000 -2.000000 12.500000 6 0.750000 1.23450e+03 "
            "-5.00000e-01 3.25000e+00 10.500000 10.250000 1.040000e+01 -7.500000e-01 \n");
}

TEST_F(OutputTimeSeries, ContinuityItemContinuesTheLineOnANewTextLine) {
  test::makeBox({1}, {1}, {1});
  SumBedChange = 1;
  SumInflow = 2;
  SumOutflow = 3;
  MaxResidual[4] = 1e-3;
  DischargeArray[1] = 12.5;
  EXPECT_EQ(line(1.0, {{'n', 0}, {'f', 0}, {'g', 0}}),
            "1.0000e+00 1 Cont: B I O R 1.000000e+00 2.000000e+00 3.000000e+00 "
            "1.000000e-03\n12.500000 \n");
}

TEST_F(OutputTimeSeries, GroupConcentrationsAreVolumeWeighted) {
  test::makeBox({2, 2, 2}, {1}, {1, 3});  // volumes 2 (bottom) and 6 (top)
  Cconc[0][1] = 1;
  Cconc[0][2] = 3;
  Cconc[1][1] = 0.5;
  Cconc[1][2] = 0.1;
  Cconc[0][5] = 4;
  Cconc[0][6] = 9;
  Cvol[6] = 0;
  // Group 1: the west sides of cells 1 and 2 (cell on the second side of the surface);
  // group 3: the east side of cell 5; group 4: the east side of cell 6, of no volume.
  DischargeStruct[1].surfaceNo = 2;
  DischargeStruct[1].surfaceList[1] = Cflatew[1];
  DischargeStruct[1].surfaceList[2] = Cflatew[2];
  DischargeStruct[3].surfaceNo = 1;
  DischargeStruct[3].surfaceList[1] = Cflatee[5];
  DischargeStruct[4].surfaceNo = 1;
  DischargeStruct[4].surfaceList[1] = Cflatee[6];
  // Row 0: (1 x 2 + 3 x 6) / 8; row 1: (0.5 x 2 + 0.1 x 6) / 8.
  EXPECT_EQ(line(1.0, {{'a', 0}}),
            "1.0000e+00 A 1 2.500000e+00 2.000000e-01  A 3 4.000000e+00 0.000000e+00  "
            "A 4 0.000000e+00 0.000000e+00  \n");
}

TEST_F(OutputTimeSeries, StripWidthsOfTheMiddleSections) {
  // Block 1 spans i = 2..9: the one section i = 5; columns j = 2..5, one metre wide.
  test::makeBox({1, 1, 1, 1, 1, 1, 1, 1}, {1, 1, 1, 1}, {1});
  for (int i = 0; i <= xnumber + 1; ++i)
    for (int j = 0; j <= ynumber + 1; ++j) {
      xval[i][j] = i;
      yval[i][j] = j;
    }
  MinVertDist0 = 0.1;
  // Erosion at grid lines j = 1..5 of both sides of the section: column depths of erosion
  // 1, 0.5, 0, 0.5 for j = 2..5, so the strips are 2 and 1 wide.
  const double erosion[6] = {0, 1, 1, 0, 0, 1};
  for (int j = 1; j <= 5; ++j) zval[4][j][1] = zval[5][j][1] = -erosion[j];
  zval[5][5][0] = 0;  // column (5, 5) dry: not in the total width
  // The widths end without a blank: the next item follows at once.
  EXPECT_EQ(line(1.0, {{'i', 0}, {'n', 0}}), "1.0000e+00 2.000000 3.00000032 \n");
}

TEST_F(OutputTimeSeries, StripWidthsOfAShortBlockAreZero) {
  test::makeBox({1, 1, 1, 1, 1, 1, 1}, {1}, {1});  // i2 - i1 = 6: no section
  EXPECT_EQ(line(1.0, {{'i', 0}}), "1.0000e+00 0.000000 0.000000\n");
}

TEST_F(OutputTimeSeries, HighestColumnOfAComponentAndItsDistanceFromTheSource) {
  NoComponents = 2;
  test::makeBox({2, 2, 2}, {1}, {1, 1});  // top cells 2, 4, 6 at x = 1, 3, 5
  const double comp0[7] = {0, 1, 3, 5, 5, 5, 5}, comp1[7] = {0, 0, 0, 0, 0, 1, 1};
  for (int c = 1; c <= 6; ++c) {
    Ccomp[0][c] = comp0[c];
    Ccomp[1][c] = comp1[c];
  }
  // Sources of component 0 in records 2 (cell 1) and 5 (cell 5): the last one counts; the
  // empty records 3, 4, 6, 7 and record 8 (beyond those scanned) are no sources.
  SurfDischargeStruct[2].id = 0;
  SurfDischargeStruct[2].count = 1;
  SurfDischargeStruct[2].cells[0] = 1;
  SurfDischargeStruct[5].id = 0;
  SurfDischargeStruct[5].count = 1;
  SurfDischargeStruct[5].cells[0] = 5;
  SurfDischargeStruct[1].id = 1;
  SurfDischargeStruct[1].count = 1;
  SurfDischargeStruct[1].cells[0] = 3;
  SurfDischargeStruct[8].id = 0;
  SurfDischargeStruct[8].count = 1;
  SurfDischargeStruct[8].cells[0] = 2;
  // Component 0: columns 2 and 3 share the largest mean 5, the first (top cell 4) is kept,
  // 2 m from cell 5. Component 1 on the same line keeps the reference of the first item:
  // column 3 (top cell 6) lies at the reference itself.
  EXPECT_EQ(line(1.0, {{'m', 0}, {'m', 1}}),
            "1.0000e+00 2.000000e+00 5.000000e+000.000000e+00 1.000000e+00\n");
  // Alone, component 1 is measured from its own source, cell 3 at x = 3.
  EXPECT_EQ(line(1.0, {{'m', 1}}), "1.0000e+00 2.000000e+00 1.000000e+00\n");
}

TEST_F(OutputTimeSeries, BedForceSumsAddToTheirRunningSums) {
  test::makeBox({2, 2, 2}, {1}, {1, 1});  // bottom cells 1, 3, 5; top cells 2, 4, 6
  // Variant 0: 300 k A over the bottom faces (area 2): 300 x 0.01 x 2 + 300 x 0.02 x 2.
  Ckinen[1] = 0.01;
  Ckinen[3] = 0.02;
  // Variant 1: 19600 x depth-half-sum 1 x tan(acos 0.8) = 0.75 x area 2 at cell 2; level
  // surfaces elsewhere.
  Fvz[Cflatet[2]] = 0.8;
  Fvz[Cflatet[4]] = 1;
  Fvz[Cflatet[6]] = 1;
  // Variant 2: 1000 x 1 x (0.4 / ln(30 x 0.5 / 0.015))^2 x 4 = 13.4124 at cell 1.
  Cxvel[1] = 1;
  Croughness[1] = 0.015;
  Croughness[3] = Croughness[5] = 0.015;
  Cbed[1] = 1;
  Barea[1] = 4;
  // Variant 3: gradients at the top cells (half width 1): cell 2 (16 - 10) / 2 = 3, cell 4
  // (30 - 10) / 4 = 5, cell 6 (16 - 30) / 2 = -7; each 2 x 1 x |g| x 2 = 12, 20, 28.
  Cpres[2] = 10;
  Cpres[4] = 16;
  Cpres[6] = 30;
  AvShearTimeo1 = 1;
  const std::vector<Item> items = {{'o', 0}, {'o', 1}, {'o', 2}, {'o', 3}, {'o', 9}};
  EXPECT_EQ(line(1.0, items),
            "1.0000e+00 1.80000e+01 2.94000e+04 1.34124e+01 6.00000e+01 0.00000e+00 \n");
  EXPECT_DOUBLE_EQ(AvShearTimeo1, 19.0);
  EXPECT_NEAR(AvShearTimeo2, 29400.0, 1e-9);
  EXPECT_NEAR(AvShearTimeo3, 13.4124, 1e-4);
  EXPECT_DOUBLE_EQ(AvShearTimeo4, 60.0);
  line(2.0, {{'o', 0}});
  EXPECT_DOUBLE_EQ(AvShearTimeo1, 37.0);
}

TEST_F(OutputTimeSeries, MeanDepthOfTheColumnsAddsToTheAverage) {
  test::makeBox({2, 2, 2}, {1}, {1, 1});
  Ckdist[6] = 1.0;  // half sums 1, 1, 1.5: twice their mean is 7 / 3
  EXPECT_EQ(line(1.0, {{'r', 0}}), "1.0000e+00 2.333333 \n");
  EXPECT_NEAR(AvDepthTimeo, 7.0 / 3, 1e-12);
  EXPECT_EQ(NoDepthTimeo, 1);
  line(2.0, {{'r', 0}, {'r', 0}});
  EXPECT_NEAR(AvDepthTimeo, 7.0, 1e-12);
  EXPECT_EQ(NoDepthTimeo, 3);
}

TEST_F(OutputTimeSeries, LineUsesTheLastRecordWhoseTimeHasCome) {
  test::makeBox({1}, {1}, {1});
  DischargeArray[1] = 12.5;
  setRecord(0, 0.0, {{'n', 0}});
  setRecord(1, 10.0, {{'g', 0}});
  for (double t : {5.0, 10.0, 20.0}) {
    stimet = t;
    TimePrintFunction();
  }
  EXPECT_EQ(read("timeo"), "5.0000e+00 1 \n1.0000e+01 12.500000 \n2.0000e+01 12.500000 \n");
}

// Cell numbers of `timei` are checked only for sign, and the grid may lose cells.
TEST_F(OutputTimeSeries, CellTheGridDoesNotHaveShowsZeroAndIsReportedOnce) {
  test::makeBox({2}, {1}, {1});
  Ckinen[1] = 0.5;
  const std::string expected = "1.0000e+00 0.000000e+00 5.000000e-01 \n";
  EXPECT_EQ(line(1.0, {{'k', 99}, {'k', 1}}), expected);
  EXPECT_EQ(line(1.0, {{'k', 99}, {'k', 1}}), expected);
  EXPECT_EQ(log(),
            "Warning: the time-series item k refers to cell 99, which the grid does not have; "
            "0 is written\n");
}

TEST_F(OutputTimeSeries, TimeoThatCannotBeOpenedEndsTheRunWithStatusMinus3) {
  test::makeBox({1}, {1}, {1});
  setRecord(0, 0.0, {{'n', 0}});
  std::filesystem::create_directory("timeo");
  try {
    TimePrintFunction();
    FAIL() << "the run went on";
  } catch (const RunEnd& e) {
    EXPECT_EQ(e.status, -3);
  }
  EXPECT_EQ(read("boogie"),
            "Error: could not write file 'timeo' (Is a directory); the lines written before are kept.\n");
}

}  // namespace
}  // namespace qorva
