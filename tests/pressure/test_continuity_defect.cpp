// Continuity defect and group discharges on small boxes: the defect of given face fluxes, the
// sharing rules of inflow and outflow groups with their mass balance, the discharge series,
// the storage terms, the depth-averaged collection, the outlet pressure, the clamp, the
// coarse sequencing level, and groups with nothing to share by.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "pressure/pressure.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/inflow_profiles.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "state/timeseries.h"
#include "support/box_grid.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using test::makeBox;

class ContinuityDefect : public test::Scratch {
 protected:
  void SetUp() override {
    Scratch::SetUp();
    resetSideFiles();
  }
  static void fresh() {
    SetArraysZero();
    setDefaults();
    resetSideFiles();
    std::remove("boogie");
  }
};

// Fin and the unit normals, which the box builder leaves out: Fin is +1 where the surface lies
// on the south, west or bottom side of Fcell2, -1 otherwise (also where there is no Fcell2).
void orient() {
  for (int f = 1; f <= NoSurfaces; ++f) {
    Fin[f] = Ftype2[f] == 1 || Ftype2[f] == 4 || Ftype2[f] == 5 ? 1 : -1;
    Fvx[f] = Fax[f] / Farea[f];
    Fvy[f] = Fay[f] / Farea[f];
    Fvz[f] = Faz[f] / Farea[f];
  }
}

// Two columns (x = 0..1 and 1..2) of two 1 m cells, 2 m wide in y: cells 1 (lower) and 2
// (upper) west, 3 and 4 east, every face across x 2 m2, centres at z = 0.5 and 1.5. Internal
// fluxes 0. One bed cell per column.
void twoColumns() {
  makeBox({1, 1}, {2}, {1, 1});
  orient();
  NoBCells = 2;
  Bcellt[1] = 1;
  Bcellt[2] = 3;
  Bnocells[1] = Bnocells[2] = 2;
  Barea[1] = Barea[2] = 2;
  Cbed[1] = Cbed[2] = 1;
  Cbed[3] = Cbed[4] = 2;
}

// Group g over the given surfaces (listed as the groups list them: each column from its top
// cell down) with the level of each surface's cell.
void setGroup(int g, int inflowFlag, const std::vector<int>& surfaces,
              const std::vector<int>& levels, double discharge, int bcType = 0) {
  DischargeGroup& d = DischargeStruct[g];
  d.inflowFlag = inflowFlag;
  d.bcType = bcType;
  d.surfaceNo = static_cast<int>(surfaces.size());
  d.massDischarge = discharge;
  d.area = 0;
  for (size_t m = 0; m < surfaces.size(); ++m) {
    d.surfaceList[m] = surfaces[m];
    d.levelList[m] = levels[m];
    d.area += Farea[surfaces[m]];
  }
}

// Group 1 in through the west faces, group 2 out through the east faces.
void westInEastOut(double in, double out, int outType = 0) {
  setGroup(1, 1, {Cflatew[2], Cflatew[1]}, {2, 1}, in);
  setGroup(2, 0, {Cflatee[4], Cflatee[3]}, {2, 1}, out, outType);
}

double sourceSum() {
  double s = 0;
  for (int c = 1; c <= NoCells; ++c) s += Csource[c];
  return s;
}

TEST_F(ContinuityDefect, DefectOfGivenFaceFluxes) {
  // A uniform velocity through every face of a 3 x 2 x 2 box (boundary faces included): what
  // enters a cell leaves it.
  makeBox({1, 2, 1}, {1, 3}, {0.5, 1});
  for (int f = 1; f <= NoSurfaces; ++f)
    Fflux[f] = 1000 * (0.3 * Fax[f] - 0.2 * Fay[f] + 0.05 * Faz[f]);
  pressure_fluxes();
  for (int c = 1; c <= NoCells; ++c) EXPECT_NEAR(Csource[c], 0.0, 1e-9) << "cell " << c;

  // Hand fluxes on two columns of two cells: lower east face 5, upper east face -2, vertical
  // faces 3 (west column) and 1 (east column) kg/s, boundary faces 0. Net inflow of each cell:
  // 1: -(5 + 3) = -8; 2: -(-2 - 3) = 5; 3: -(-5 + 1) = 4; 4: -(2 - 1) = -1. They add up to 0.
  fresh();
  twoColumns();
  Fflux[Cflatee[1]] = 5;
  Fflux[Cflatee[2]] = -2;
  Fflux[Cflatet[1]] = 3;
  Fflux[Cflatet[3]] = 1;
  pressure_fluxes();
  EXPECT_DOUBLE_EQ(Csource[1], -8.0);
  EXPECT_DOUBLE_EQ(Csource[2], 5.0);
  EXPECT_DOUBLE_EQ(Csource[3], 4.0);
  EXPECT_DOUBLE_EQ(Csource[4], -1.0);
  EXPECT_DOUBLE_EQ(sourceSum(), 0.0);
  EXPECT_EQ(GlobFluxDefect, 0.0);
}

struct Sharing {
  const char* what;
  std::function<void()> set;  // after the box and the groups
  double expected[4];         // Csource of cells 1..4, kg/s
};

TEST_F(ContinuityDefect, InflowAndOutflowGroupsBalance) {
  // 1000 kg/s in through the west faces, 1000 kg/s out through the east faces: whatever the
  // rule, the shares add up to the discharge on each side.
  const double l500 = std::log(500.0), l1500 = std::log(1500.0);
  const std::vector<Sharing> cases = {
      {"by area", [] {}, {500, 500, -500, -500}},
      // Weights 2 (2 - 0.5)/2 = 1.5 -> 1 for the lower cell, 2 (2 - 1.5)/2 = 0.5 for the upper.
      {"shaped inflow", [] { FlagShapeInflow = 1; }, {2000.0 / 3, 1000.0 / 3, -500, -500}},
      // ln(30 z / 0.03) at z = 0.5 and 1.5 above the bed.
      {"logarithmic inflow",
       [] {
         FlagLogInflow = 1;
         XksInflow = 0.03;
       },
       {1000 * l500 / (l500 + l1500), 1000 * l1500 / (l500 + l1500), -500, -500}},
      // Profile 0.5 m/s at level 1, 1.5 m/s at level 2.
      {"cyclic profile",
       [] {
         FlagCyclic = 5;
         FlagHaveReadCyclic = 1;
         cyclicU[1] = 0.5;
         cyclicU[2] = 1.5;
       },
       {250, 750, -500, -500}},
      // The same profile takes the water out through the east faces as well.
      {"cyclic outflow",
       [] {
         FlagCyclic = -1;
         FlagHaveInitiatedCyclic = 1;
         cyclicU[1] = 0.5;
         cyclicU[2] = 1.5;
       },
       {250, 750, -250, -750}},
      // Mean x velocities of the pairs: upper (1 + 2)/2 = 1.5, lower (0.5 + 0.5)/2 = 0.5.
      {"cyclic start",
       [] {
         FlagCyclic = 1;
         Iter = 5;
         Cxvel[1] = Cxvel[3] = 0.5;
         Cxvel[2] = 1;
         Cxvel[4] = 2;
       },
       {250, 750, -500, -500}},
      // The group's column reads column 2 of the file (columns and levels count from 2, as
      // the structured grid does): 0.4 m/s at level 1 (index 2), 1.2 m/s at level 2 (index 3).
      {"inflow file profile",
       [] {
         inflowj = 2;
         inflowk = 3;
         inflowu[2][2] = 0.4;
         inflowu[2][3] = 1.2;
       },
       {250, 750, -500, -500}},
      // Outward flow 2 x 0.5 and 2 x 1.5 m3/s.
      {"outflow by normal velocity",
       [] {
         DischargeStruct[2].bcType = 1;
         Cxvel[3] = 0.5;
         Cxvel[4] = 1.5;
       },
       {500, 500, -250, -750}},
  };
  for (const Sharing& k : cases) {
    SCOPED_TRACE(k.what);
    fresh();
    twoColumns();
    westInEastOut(1000, 1000);
    k.set();
    pressure_fluxes();
    for (int c = 1; c <= 4; ++c) EXPECT_NEAR(Csource[c], k.expected[c - 1], 1e-6) << "cell " << c;
    EXPECT_NEAR(sourceSum(), 0.0, 1e-6);
    EXPECT_EQ(DischargeArray[1], 1000.0);
    EXPECT_EQ(DischargeArray[2], 1000.0);
    EXPECT_FALSE(std::filesystem::exists("boogie")) << log();
  }
}

TEST_F(ContinuityDefect, NetDischargeOfTheGroups) {
  twoColumns();
  westInEastOut(800, 600);
  setGroup(3, 1, {Cflates[1]}, {1}, 50);      // a small side inflow into cell 1
  setGroup(4, 0, {Cflaten[3]}, {1}, 1e-9);    // too small to count
  pressure_fluxes();
  // 800 + 50 in, 600 out.
  EXPECT_DOUBLE_EQ(GlobFluxDefect, 250.0);
  EXPECT_NEAR(sourceSum(), 250.0 - 1e-9, 1e-9);
  EXPECT_DOUBLE_EQ(Csource[1], 450.0);
  EXPECT_NEAR(Csource[3], -300.0 - 1e-9, 1e-12);

  FlagMPI = 1;  // a block division leaves the net discharge to the division's exchange
  pressure_fluxes();
  EXPECT_EQ(GlobFluxDefect, 0.0);
}

TEST_F(ContinuityDefect, OutflowRulesOfTheFreeSurface) {
  const double C = std::sqrt(9.81 * 4 / 2);  // outlet 4 m2, 2 m wide
  struct Case {
    const char* what;
    std::function<void()> set;
    double cell3, cell4;
  };
  const std::vector<Case> cases = {
      // The cell velocity times the area; the inflowing lower cell gives nothing.
      {"free velocity",
       [] {
         FlagTFS = 1;
         FlagSurfDownstream = 3;
         Cxvel[3] = -0.5;
         Cxvel[4] = 1.5;
       },
       0, -3000},
      // r = 1000 C / 1000 = 4.43 > 3: 1.316 times the discharge.
      {"critical flow, r above 3",
       [] {
         FlagTFS = 15;
         FlagSurfDownstream = 1;
       },
       -658, -658},
      // r = 0.22 < 0.3: 0.74 times the discharge.
      {"critical flow, r below 0.3",
       [] {
         FlagTFS = 19;
         FlagSurfDownstream = 1;
         DischargeStruct[2].massDischarge = 20000;
       },
       -7400, -7400},
      {"critical flow, r between",
       [] {
         FlagTFS = 1;
         FlagSurfDownstream = 1;
         DischargeStruct[2].massDischarge = 4000;
       },
       -2000 * std::pow(1000 * C / 4000, 0.25), -2000 * std::pow(1000 * C / 4000, 0.25)},
      // v = 0.25 m/s; depth 2 m > v^2/g: the larger of 2 x 0.25 and the cell's own flux.
      {"depth test, subcritical",
       [] {
         FlagSurfPresDownstream = 3;
         Cxvel[3] = 0.1;
         Cxvel[4] = 0.4;
       },
       -500, -800},
      // v = 5 m/s, v^2/g = 2.55 m > 2 m: the smaller.
      {"depth test, supercritical",
       [] {
         FlagSurfPresDownstream = 3;
         DischargeStruct[2].massDischarge = 20000;
         Cxvel[3] = 0.1;
         Cxvel[4] = 0.4;
       },
       -200, -800},
      // Water surface at 2 m above a downstream level of 0 (no series): the larger.
      {"level test, above",
       [] {
         FlagSurfPresDownstream = 4;
         Cxvel[3] = 0.1;
         Cxvel[4] = 0.4;
       },
       -500, -800},
      // A one-row series: the downstream level 3 m holds at every time: the smaller.
      {"level test, below",
       [] {
         FlagSurfPresDownstream = 4;
         FlagDischargeTime = 1;
         TimeInNo = 1;
         TimeInTime[0] = 0;
         QDinn[0][1] = QDinn[0][2] = 1.0;
         TimeInHout[0] = 3.0;
         stimet = 500;
         Cxvel[3] = 0.1;
         Cxvel[4] = 0.4;
       },
       -200, -500},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    fresh();
    TimeStep = 1;  // a transient run, with the tables of the series
    twoColumns();
    westInEastOut(1000, 1000);
    k.set();
    pressure_fluxes();
    EXPECT_NEAR(Csource[1], 500, 1e-9);
    EXPECT_NEAR(Csource[2], 500, 1e-9);
    EXPECT_NEAR(Csource[3], k.cell3, 1e-6);
    EXPECT_NEAR(Csource[4], k.cell4, 1e-6);
  }
}

TEST_F(ContinuityDefect, DischargesFromTheSeries) {
  // Rows at 0, 100 and 200 s with 1, 2 and 4 m3/s for groups 1 and 2.
  struct Case {
    double t;
    double expected;  // kg/s
  };
  const std::vector<Case> cases = {
      {-50, 500},  // the line through the first two rows goes on
      {0, 1000},   {50, 1500}, {150, 3000}, {200, 4000},
      {300, 4000},  // the last row holds
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.t);
    fresh();
    TimeStep = 1;
    twoColumns();
    westInEastOut(10, 10);
    FlagDischargeTime = 1;
    TimeInNo = 3;
    const double T[] = {0, 100, 200}, Q[] = {1, 2, 4};
    for (int r = 0; r < 3; ++r) {
      TimeInTime[r] = T[r];
      QDinn[r][1] = QDinn[r][2] = Q[r];
      QDinn[r][5] = 9;  // group 5 has no surfaces: keeps its value
    }
    stimet = k.t;
    pressure_fluxes();
    EXPECT_NEAR(DischargeArray[1], k.expected, 1e-9);
    EXPECT_NEAR(DischargeArray[2], k.expected, 1e-9);
    EXPECT_EQ(DischargeArray[5], -1.0);
    // In = out, so the sources balance; the inflow group takes the series value.
    EXPECT_NEAR(Csource[1] + Csource[2], k.expected, 1e-6);
    EXPECT_NEAR(sourceSum(), 0.0, 1e-6);
  }
}

TEST_F(ContinuityDefect, OneRowSeriesIsAConstant) {
  // A series of one row has no interval: its row holds at every time; the row after it is
  // not part of the series.
  for (double t : {-100.0, 0.0, 50.0, 1e6}) {
    SCOPED_TRACE(t);
    fresh();
    TimeStep = 1;
    twoColumns();
    westInEastOut(10, 10);
    FlagDischargeTime = 1;
    TimeInNo = 1;
    TimeInTime[0] = 10;
    QDinn[0][1] = QDinn[0][2] = 0.8;
    TimeInTime[1] = 20;
    QDinn[1][1] = QDinn[1][2] = 99;
    stimet = t;
    pressure_fluxes();
    EXPECT_DOUBLE_EQ(DischargeArray[1], 800.0);
    EXPECT_DOUBLE_EQ(DischargeArray[2], 800.0);
    EXPECT_DOUBLE_EQ(Csource[1], 400.0);
    EXPECT_DOUBLE_EQ(Csource[4], -400.0);
  }
}

TEST_F(ContinuityDefect, InflowProfileStopsBeforeTheColumnsTheFileLacks) {
  // 501 one-cell columns side by side behind the west boundary, a file of the 499 columns
  // 2..500 (columns count from 2, as the structured grid does) with 1 m/s at the bed level of
  // each: the group's columns 500 and 501 are not in the file and take nothing, and the 499
  // others share the whole discharge.
  makeBox({1}, std::vector<double>(501, 1.0), {1});
  std::vector<int> surfaces, levels;
  for (int c = 1; c <= 501; ++c) {
    surfaces.push_back(Cflatew[c]);
    levels.push_back(1);
  }
  setGroup(1, 1, surfaces, levels, 998);
  inflowj = 500;
  inflowk = 2;
  for (int j = 1; j <= 500; ++j) inflowu[j][2] = 1.0;
  pressure_fluxes();
  for (int c = 1; c <= 499; ++c) ASSERT_NEAR(Csource[c], 2.0, 1e-9) << "cell " << c;
  EXPECT_EQ(Csource[500], 0.0);
  EXPECT_EQ(Csource[501], 0.0);
  EXPECT_NEAR(sourceSum(), 998.0, 1e-6);

  // Two columns of two cells with a file of one column (column 2): only the first column takes
  // water, all of it, although the file has values for the second.
  fresh();
  makeBox({1}, {1, 1}, {1, 1});
  setGroup(1, 1, {Cflatew[2], Cflatew[1], Cflatew[4], Cflatew[3]}, {2, 1, 2, 1}, 1000);
  inflowj = 2;
  inflowk = 3;
  inflowu[2][2] = 1.0;
  inflowu[2][3] = 3.0;
  inflowu[3][2] = inflowu[3][3] = 5.0;
  pressure_fluxes();
  EXPECT_NEAR(Csource[1], 250.0, 1e-9);
  EXPECT_NEAR(Csource[2], 750.0, 1e-9);
  EXPECT_EQ(Csource[3], 0.0);
  EXPECT_EQ(Csource[4], 0.0);
}

TEST_F(ContinuityDefect, GroupWithNothingToShareByGetsNothing) {
  twoColumns();
  westInEastOut(1000, 1000);
  Farea[Cflatew[1]] = Farea[Cflatew[2]] = 0;  // a dry inflow side
  Cxvel[3] = Cxvel[4] = -1;                   // and flow into the outlet
  DischargeStruct[2].bcType = 1;
  pressure_fluxes();
  pressure_fluxes();
  for (int c = 1; c <= 4; ++c) EXPECT_EQ(Csource[c], 0.0) << "cell " << c;
  // Each group says it once per spell.
  EXPECT_EQ(log(),
            "Warning: discharge group 1 has no area or flow to take its discharge in the "
            "continuity source; it gets none\n"
            "Warning: discharge group 2 has no area or flow to take its discharge in the "
            "continuity source; it gets none\n");

  // Wet again, then dry again: a new spell, a new warning.
  Farea[Cflatew[1]] = Farea[Cflatew[2]] = 2;
  pressure_fluxes();
  EXPECT_DOUBLE_EQ(Csource[1], 500.0);
  Farea[Cflatew[1]] = Farea[Cflatew[2]] = 0;
  pressure_fluxes();
  const std::string text = log();
  size_t n = 0;
  for (size_t p = text.find("group 1"); p != std::string::npos; p = text.find("group 1", p + 1))
    ++n;
  EXPECT_EQ(n, 2u);
}

TEST_F(ContinuityDefect, StorageOfTheMovedWaterLevel) {
  // Column 1 rose 0.01 m, column 2 fell 0.02 m over an interval of max(TimeStep, time between
  // the last two surface updates): over 10 s 0.01 x 1000 x 2 m2 / 10 s = 2 kg/s stored in
  // column 1, 1 per cell; -4 kg/s in column 2. A steady run (no time step) with no time
  // between the updates has an unbounded interval and stores nothing.
  struct Case {
    double timeStep, updates, perCell1, perCell2;
  };
  for (const Case& k : {Case{5, 10, -1, 2}, Case{20, 10, -0.5, 1}, Case{0, 10, -1, 2},
                        Case{0, 0, 0, 0}}) {
    SCOPED_TRACE(testing::Message() << k.timeStep << " s step, " << k.updates << " s updates");
    fresh();
    FlagTFS2 = 2;
    twoColumns();
    TimeStep = k.timeStep;
    stimeWL1 = 100;
    stimeWL2 = 100 + k.updates;
    Bdeltah[1] = 0.01;
    Bdeltah[2] = -0.02;
    pressure_fluxes();
    EXPECT_DOUBLE_EQ(Csource[1], k.perCell1);
    EXPECT_DOUBLE_EQ(Csource[2], k.perCell1);
    EXPECT_DOUBLE_EQ(Csource[3], k.perCell2);
    EXPECT_DOUBLE_EQ(Csource[4], k.perCell2);
  }
}

// Two one-cell columns at i = 2 and 3 (j = 2), 1 m x 2 m; every grid corner rose 0.004 m at
// the last surface update. Per column 250 x 4 x 0.004 x 2 m2 / (10 x 0.5 s) = 1.6 kg/s.
void cornerCase() {
  FlagTFS = 1;
  FlagGlobFlux = 7;
  makeBox({1, 1}, {2}, {1});
  TimeStep = 0.5;
  NoBCells = 2;
  Bcellt[1] = 1;
  Bcellt[2] = 2;
  Bnocells[1] = Bnocells[2] = 1;
  Barea[1] = Barea[2] = 2;
  Cbed[1] = 1;
  Cbed[2] = 2;
  for (int i = 0; i <= 4; ++i)
    for (int j = 0; j <= 3; ++j) Surfaces[4][i][j] = 0.004;
}

TEST_F(ContinuityDefect, CornerLevelChangesOfTheLastSurfaceUpdate) {
  cornerCase();
  pressure_fluxes();
  EXPECT_DOUBLE_EQ(Csource[1], -1.6);
  EXPECT_DOUBLE_EQ(Csource[2], -1.6);

  // A block whose surface is not updated adds nothing.
  SurfUpdate[1] = 0;
  pressure_fluxes();
  EXPECT_EQ(Csource[1], 0.0);
  SurfUpdate[1] = 1;
}

TEST_F(ContinuityDefect, CornerLevelChangesCountEachColumnOnce) {
  // The same two columns as two joined blocks of one column each: the column of block 1 lies
  // on the line just before block 2, and still counts once.
  cornerCase();
  NoBlocks = 2;
  block[1].i1 = block[1].i2 = 2;
  block[2] = block[1];
  block[2].i1 = block[2].i2 = 3;
  pressure_fluxes();
  EXPECT_DOUBLE_EQ(Csource[1], -1.6);
  EXPECT_DOUBLE_EQ(Csource[2], -1.6);
}

TEST_F(ContinuityDefect, StorageTermsOnTheCentralCoefficient) {
  // Columns of 2 m2 and two cells, TimeStep 2 s, relaxation 0.2, two inner iterations;
  // 1/Ap 1, 2, 3, 4 e-3.
  struct Case {
    int form;
    double ap[4];
  };
  const double f1 = 2 * 0.2 * 2 / (2 * 9.81 * 2);
  const std::vector<Case> cases = {
      {1, {f1, f1, f1, f1}},
      {2, {0, 4 * 1000 * 2e-3, 0, 4 * 1000 * 4e-3}},  // the top cell of each column
      {3, {4 * 1000 * 1e-3, 4 * 1000 * 2e-3, 4 * 1000 * 3e-3, 4 * 1000 * 4e-3}},
      {4, {0, 0, 0, 0}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.form);
    fresh();
    TimeStep = 2;
    twoColumns();
    FlagTFS = 1;
    FlagTFS4 = k.form;
    relaxPressure = 0.2;
    TransInnerIter = 2;
    for (int c = 1; c <= 4; ++c) CinvAp[c] = c * 1e-3;
    pressure_fluxes();
    for (int c = 1; c <= 4; ++c) EXPECT_NEAR(Cap[c], k.ap[c - 1], 1e-12) << "cell " << c;
  }
}

TEST_F(ContinuityDefect, DepthAveragedGridCollectsTheColumns) {
  // Cells 1 and 2 form the column of three-dimensional block 1, cells 3 and 4 the appended
  // depth-averaged block 2 (the range being solved). Group 1 brings 1000 kg/s into block 1;
  // a flux of 7 kg/s runs from cell 3 to cell 4.
  twoColumns();
  NoBlocks = 2;
  block[1].cellstart = 1;
  block[1].cellend = 2;
  block[2].cellstart = 3;
  block[2].cellend = 4;
  block[2].flag2D = 1;
  CflagDim[3] = CflagDim[4] = 1;
  WCStart = 3;
  WCEnd = 4;
  setGroup(1, 1, {Cflatew[2], Cflatew[1]}, {2, 1}, 1000);
  Csource[1] = Csource[2] = 77;  // left from before
  Fflux[Cflatet[3]] = 7;
  pressure_fluxes();
  // The three-dimensional cells keep only their group shares; the first depth-averaged cell
  // receives the sum of the column besides its own defect.
  EXPECT_DOUBLE_EQ(Csource[1], 500.0);
  EXPECT_DOUBLE_EQ(Csource[2], 500.0);
  EXPECT_DOUBLE_EQ(Csource[3], 1000.0 - 7);
  EXPECT_DOUBLE_EQ(Csource[4], 7.0);
}

TEST_F(ContinuityDefect, OutletCellsTakeTheHydrostaticPressure) {
  struct Case {
    int form;
    double pres3, pres4;
  };
  // Cell 3 lies 0.5 + 2 x 0.5 = 1.5 m deep, cell 4 0.5 m: 9810 x depth.
  for (const Case& k : {Case{1, 14715, 4905}, Case{2, -1, -1}}) {
    SCOPED_TRACE(k.form);
    fresh();
    twoColumns();
    westInEastOut(1000, 1000);
    FlagGravity = 1;
    FlagSurfPresDownstream = k.form;
    Cpres[3] = Cpres[4] = -1;
    pressure_fluxes();
    EXPECT_EQ(Csource[3], 0.0);
    EXPECT_EQ(Csource[4], 0.0);
    EXPECT_DOUBLE_EQ(Csource[1], 500.0);
    EXPECT_DOUBLE_EQ(Cpres[3], k.pres3);
    EXPECT_DOUBLE_EQ(Cpres[4], k.pres4);
  }
}

TEST_F(ContinuityDefect, ClampOfTheSources) {
  twoColumns();
  Fflux[Cflatee[1]] = 5;
  Fflux[Cflatee[2]] = 0.01;
  FlagPresCorrStab = 2;
  pressure_fluxes();
  EXPECT_DOUBLE_EQ(Csource[1], -0.02);
  EXPECT_DOUBLE_EQ(Csource[2], -0.01);
  EXPECT_DOUBLE_EQ(Csource[3], 0.02);
  EXPECT_DOUBLE_EQ(Csource[4], 0.01);
}

TEST_F(ContinuityDefect, CoarseSequencingLevelTakesTheGroups) {
  // On level 2 cells 1 and 2 are held by cell 3, cells 3 and 4 by cell 4 (numbers reused for
  // the test). The inflow goes by area, the outflow by the velocity of the level cell.
  MGSNo = 1;  // a sequenced solution, with its cell map
  twoColumns();
  westInEastOut(1000, 1000, 1);
  MGSGrid = 2;
  MGSCpoint[1][0] = MGSCpoint[2][0] = 3;
  MGSCpoint[3][0] = MGSCpoint[4][0] = 4;
  Cxvel[4] = 0.7;
  pressure_fluxes();
  EXPECT_EQ(Csource[1], 0.0);
  EXPECT_EQ(Csource[2], 0.0);
  EXPECT_NEAR(Csource[3], 1000.0, 1e-9);
  EXPECT_NEAR(Csource[4], -1000.0, 1e-9);
}

}  // namespace
}  // namespace qorva
