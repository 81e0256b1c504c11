// Reference levels of an update, the pins of the water-level equation and the outlet levels,
// on a block of 3 x 3 columns 2 m deep (bed -2, water 0; two cells of 1 m per column) or on a
// row of columns along x. Expected values are worked out by hand from the geometry.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "state/groups.h"
#include "state/log.h"
#include "state/surfaces.h"
#include "state/timeseries.h"
#include "support/surface_grid.h"
#include "surface/surface.h"

namespace qorva {
namespace {

class ReferenceLevels : public test::SurfaceGrid {
 protected:
  void SetUp() override {
    test::SurfaceGrid::SetUp();
    TimeStep = 1;  // the timei tables exist in a transient run
    box(3, 3, 2, 2.0);
    resetDischargeGroups();
    FlagTFS = 5;  // a road that reads its references at every update
  }

  // Group g holds the surfaces on one side of the cells of column (i, j), from the bottom up;
  // with `bottomOnly` only the bottom cell's.
  static void sideGroup(int g, const Table1<int>& side, int i, int j, int inflow,
                        bool bottomOnly = false) {
    DischargeGroup& d = DischargeStruct[g];
    d.inflowFlag = inflow;
    d.surfaceNo = 0;
    for (int c = bottom(i, j); c > 0; c = Ccellt[c]) {
      d.surfaceList[d.surfaceNo++] = side[c];
      if (bottomOnly) break;
    }
    d.area = 0;
    for (int s = 0; s < d.surfaceNo; ++s) d.area += Farea[d.surfaceList[s]];
  }

  static void rows(std::initializer_list<std::pair<double, double>> r) {
    TimeInNo = 0;
    for (auto [t, z] : r) {
      TimeInTime[TimeInNo] = t;
      TimeInHout[TimeInNo] = z;
      TimeInHinn[TimeInNo] = z + 100;
      ++TimeInNo;
    }
  }

  // The top face of the top cell of column (i, j) at height z (the cell keeps its size).
  static void raiseTop(int i, int j, double z) {
    const int t = top(i, j);
    Czcenter[t] = z - Ckdist[t];
  }

  static int references() {
    int r = -1;
    const int s = status([&r] { r = computeSurfaceReferences(); });
    return s == 1000 ? r : s;
  }
};

TEST_F(ReferenceLevels, F91ColumnKeepsTheLevelOfTheFirstUpdate) {
  iPres = jPres = 3;
  columnPressure(3, 3, 500.0);
  stimet = 7.5;
  EXPECT_EQ(references(), top(3, 3));
  EXPECT_DOUBLE_EQ(GlobZRef, 0.0);
  EXPECT_DOUBLE_EQ(GlobPresRef, 500.0);
  EXPECT_EQ(NoNumSurfUpdate, 1);
  EXPECT_DOUBLE_EQ(stimeWL2, 7.5);

  // The water rises at the reference column: a level given only by the column stays.
  raiseTop(3, 3, 0.4);
  stimet = 9.0;
  EXPECT_EQ(references(), top(3, 3));
  EXPECT_DOUBLE_EQ(GlobZRef, 0.0);
  EXPECT_EQ(NoNumSurfUpdate, 2);
  EXPECT_DOUBLE_EQ(stimeWL1, 7.5);
  EXPECT_DOUBLE_EQ(stimeWL2, 9.0);

  // With a G 6 group the level follows the column at every update.
  kSurf = 2;
  sideGroup(2, Cflatee, 4, 3, 0);
  EXPECT_EQ(references(), top(3, 3));
  EXPECT_DOUBLE_EQ(GlobZRef, 0.4);
  EXPECT_EQ(FlagDSO1, -1);  // the group does not touch the reference column
}

TEST_F(ReferenceLevels, NodeUpdateRoadKeepsItsFirstLevels) {
  // The node update pins no column: levels read back from the reference columns would follow
  // the surface they anchor. Without a series the first ones stay, whatever G 6 and G 62 give.
  FlagTFS = 2;
  iPres = jPres = 3;
  kSurf = 2;
  sideGroup(2, Cflatee, 4, 3, 0);
  jSurf = bottom(2, 2);
  iPres2 = jPres2 = 2;
  references();
  EXPECT_DOUBLE_EQ(GlobZRef, 0.0);
  EXPECT_DOUBLE_EQ(GlobZRef2, 0.0);
  raiseTop(3, 3, -0.3);
  raiseTop(2, 2, 0.2);
  references();
  EXPECT_DOUBLE_EQ(GlobZRef, 0.0);
  EXPECT_DOUBLE_EQ(GlobZRef2, 0.0);
  // A series still gives the levels.
  rows({{0.0, 1.0}});
  references();
  EXPECT_DOUBLE_EQ(GlobZRef, 1.0);
  EXPECT_DOUBLE_EQ(GlobZRef2, 101.0);
}

TEST_F(ReferenceLevels, TimeSeriesGivesTheDownstreamLevel) {
  struct Case {
    const char* name;
    std::initializer_list<std::pair<double, double>> rows;
    double t, level;
  };
  const Case cases[] = {
      // One row is a constant level at every time.
      {"one row, at its time", {{10.0, 5.0}}, 10.0, 5.0},
      {"one row, later", {{10.0, 5.0}}, 500.0, 5.0},
      {"one row, before it", {{10.0, 5.0}}, 0.0, 5.0},
      {"between two rows", {{0.0, 1.0}, {10.0, 2.0}}, 5.0, 1.5},
      {"on the second row", {{0.0, 1.0}, {10.0, 2.0}}, 10.0, 2.0},
      {"after the last row", {{0.0, 1.0}, {10.0, 2.0}}, 25.0, 2.0},
      {"before the first row", {{0.0, 1.0}, {10.0, 2.0}}, -10.0, 0.0},
      {"third interval", {{0.0, 1.0}, {10.0, 2.0}, {20.0, 4.0}}, 15.0, 3.0},
      {"on a middle row", {{0.0, 1.0}, {10.0, 2.0}, {20.0, 4.0}}, 10.0, 2.0},
  };
  iPres = jPres = 3;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rows(c.rows);
    stimet = c.t;
    EXPECT_EQ(references(), top(3, 3));
    EXPECT_NEAR(GlobZRef, c.level, 1e-12);
    EXPECT_DOUBLE_EQ(GlobZRef2, 0.0);  // no second column
  }
  // The second column takes the upstream level of the series.
  jSurf = bottom(2, 2);
  iPres2 = jPres2 = 2;
  rows({{0.0, 1.0}, {10.0, 2.0}});
  stimet = 5.0;
  references();
  EXPECT_NEAR(GlobZRef2, 101.5, 1e-12);
  // Without rows the level is the cell's.
  TimeInNo = 0;
  raiseTop(3, 3, 0.25);
  references();
  EXPECT_DOUBLE_EQ(GlobZRef, 0.25);
}

TEST_F(ReferenceLevels, InflowGroupGivesTheSecondReference) {
  iPres = jPres = 3;
  kSurf2 = 1;
  sideGroup(1, Cflatew, 2, 3, 1);
  Cpres[bottom(2, 3)] = 100.0;
  Cpres[top(2, 3)] = 300.0;
  raiseTop(2, 3, 0.3);
  references();
  EXPECT_DOUBLE_EQ(GlobPresRef2, 200.0);
  EXPECT_DOUBLE_EQ(GlobZRef2, 0.3);

  // A group on the bottom cell alone: its pressure, and the level of its column's top.
  sideGroup(1, Cflatew, 2, 3, 1, true);
  references();
  EXPECT_DOUBLE_EQ(GlobPresRef2, 100.0);
  EXPECT_DOUBLE_EQ(GlobZRef2, 0.3);

  // An outflow group is no inflow reference.
  DischargeStruct[1].inflowFlag = 0;
  references();
  EXPECT_DOUBLE_EQ(GlobZRef2, 0.0);
}

TEST_F(ReferenceLevels, OutflowGroupGivesTheReferencePressure) {
  struct Case {
    int flag;
    double presRef, zRef, shift;
  };
  // Cells of the group: the bottom cell at 100 Pa, the top cell (top face 0.3) at 300 Pa; the
  // reference cell's own values are 50 Pa and 0. With 3 only |p| < 200 Pa counts: the bottom
  // cell, which gives no level, so the level stays the reference cell's.
  const Case cases[] = {
      {1, 200.0, 0.3, 0.0},
      {2, 0.0, 0.3, 200.0},
      {3, 0.0, 0.0, 100.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flag);
    iPres = jPres = 3;
    columnPressure(3, 3, 50.0);
    kSurf = 2;
    sideGroup(2, Cflatee, 4, 3, 0);
    Cpres[bottom(4, 3)] = 100.0;
    Cpres[top(4, 3)] = 300.0;
    raiseTop(4, 3, 0.3);
    FlagPresDownstream = c.flag;
    IntervalPresDownstream = 200.0;
    references();
    EXPECT_DOUBLE_EQ(GlobPresRef, c.presRef);
    EXPECT_DOUBLE_EQ(GlobZRef, c.zRef);
    // Values 2 and 3 put every pressure relative to the group's.
    EXPECT_DOUBLE_EQ(Cpres[top(3, 3)], 50.0 - c.shift);
  }
}

TEST_F(ReferenceLevels, DepositOffsetsOnTheFirstSeriesRow) {
  struct Case {
    int flag;
    double zRef, zRef2;
  };
  // Downstream level 10 m, upstream 110 m on the first row.
  const Case cases[] = {{1, 10.5, 0.0}, {2, 10.5, 110.3}, {3, 10.4, 110.4},
                        {4, 10.8, 110.8}, {5, 10.5, 0.0}};
  iPres = jPres = 3;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flag);
    rows({{0.0, 10.0}, {100.0, 30.0}});
    stimet = 50;  // the offsets take the first row, not the interpolated level
    depthDepositOut = 0.5;
    depthDepositIn = 0.3;
    FlagDepthDeposit = c.flag;
    references();
    EXPECT_NEAR(GlobZRef, c.zRef, 1e-12);
    EXPECT_NEAR(GlobZRef2, c.zRef2, 1e-12);
  }
  // Without series rows there is no level to offset: the level given by F 91 stays.
  TimeInNo = 0;
  FlagDepthDeposit = 1;
  references();
  EXPECT_DOUBLE_EQ(GlobZRef, 10.5);
}

TEST_F(ReferenceLevels, DryReferenceColumn) {
  // The outlet group (east faces of column (4, 3)) touches the reference column: found once.
  iPres = 4;
  jPres = 3;
  kSurf = 2;
  sideGroup(2, Cflatee, 4, 3, 0);
  EXPECT_EQ(references(), top(4, 3));
  EXPECT_EQ(FlagDSO1, 2);

  // The reference column dries: the middle column of the outlet group stands in.
  iPres = 3;
  jPres = 1;  // a column without cells
  raiseTop(4, 3, 0.2);
  EXPECT_EQ(references(), top(4, 3));
  EXPECT_DOUBLE_EQ(GlobZRef, 0.2);

  // No outlet group found: Error 2 writes the state and ends with -5.
  FlagDSO1 = -1;
  sideGroup(2, Cflatee, 4, 4, 0);
  EXPECT_EQ(references(), -5);
  EXPECT_NE(log().find("Error 2 in Surface update, reference cell is dry\n"
                       "This is probablye due to a grid split where the cells in front \n"
                       "of the outflow area have dried up\n\nWriting alldata file\n\n"),
            std::string::npos)
      << log();
  EXPECT_TRUE(std::filesystem::exists("alldata.0"));

  // Without an outflow group: Error 1 at once, status -1, nothing counted.
  std::filesystem::remove("boogie");
  kSurf = 0;
  const int updates = NoNumSurfUpdate;
  EXPECT_EQ(references(), -1);
  EXPECT_EQ(NoNumSurfUpdate, updates);
  EXPECT_EQ(mc_program, "Error, reference cell 3 1 is dry      ");
  EXPECT_EQ(log().rfind("Error 1 in Surface update, reference cell 3 1 is dry\n", 0), 0u);
}

TEST_F(ReferenceLevels, DebugLetterDLogsTheReferences) {
  iPres = jPres = 3;
  debugging = 'D';
  references();
  EXPECT_EQ(log(), strf("In surface generation, iSurfLocal = %d, iSurfLocal2 = 0, ZRef = 0, "
                        "ZRef2 = 0\n",
                        top(3, 3)));
}

TEST_F(ReferenceLevels, PinsHoldTheWantedChangeOrLevel) {
  const double big = 1e20;
  iPres = jPres = 3;
  GlobZRef = 0.3;
  GlobZRef2 = -0.1;
  jSurf = bottom(2, 4);
  iPres2 = 2;
  jPres2 = 4;
  kSurf = 2;
  sideGroup(2, Cflatee, 4, 2, 0);  // bottom and top cell of column (4, 2): the bottom pins
  kSurf2 = 1;
  sideGroup(1, Cflatew, 2, 2, 1, true);
  for (int tfs : {2, 9}) {
    SCOPED_TRACE(tfs);
    FlagTFS = tfs;
    for (int c = 1; c <= NoCells; ++c) Cap[c] = Csource[c] = 0;
    setSurfaceBoundary();
    // Level changes: the top faces lie at 0; F 36 9 holds the levels themselves.
    EXPECT_EQ(Cap[bottom(3, 3)], big);
    EXPECT_DOUBLE_EQ(Csource[bottom(3, 3)] / big, 0.3);
    EXPECT_DOUBLE_EQ(Csource[bottom(2, 4)] / big, -0.1);
    EXPECT_DOUBLE_EQ(Csource[bottom(4, 2)] / big, 0.3);
    EXPECT_EQ(Cap[top(4, 2)], 0.0);  // a group surface higher up in its column pins nothing
    EXPECT_EQ(Cap[bottom(2, 2)], big);
  }

  // F 36 9 on rows without pins: inflow group 1 (1 m3/s over its 1 m2 face) adds
  // 1 m/s x 1 m2 / 1 m2 of bed; outflow group 2 (0.5 m3/s over 2 m2) takes 0.25 m/s x 1 m2
  // from each of its two faces. The start levels are raised to GlobZRef.
  kSurf = kSurf2 = 0;
  jSurf = 0;
  DischargeArray[1] = 1000.0;
  DischargeArray[2] = 500.0;
  for (int c = 1; c <= NoCells; ++c) Cap[c] = Csource[c] = Cf[c] = 0;
  Cf[bottom(2, 3)] = 0.7;
  setSurfaceBoundary();
  EXPECT_NEAR(Csource[bottom(2, 2)], 1.0, 1e-12);
  EXPECT_NEAR(Csource[bottom(4, 2)], -0.5, 1e-12);
  EXPECT_DOUBLE_EQ(Cf[bottom(2, 2)], 0.3);
  EXPECT_DOUBLE_EQ(Cf[bottom(2, 3)], 0.7);
}

// Outlet levels along a flume two columns wide (node lines j = 1..3).
class OutletLevels : public test::SurfaceGrid {
 protected:
  // nx columns 1 m long, 2 m deep; the water falls 0.1 m per node line toward the outlet at
  // node line nx + 1; the outlet group holds the east faces of the last two columns.
  void flume(int nx) {
    build(nx, 2, 2, [](int, int) { return -2.0; },
          [nx](int i, int) { return 0.1 * (nx + 1 - i); });
    resetDischargeGroups();
    DischargeGroup& d = DischargeStruct[2];
    d.inflowFlag = 0;
    d.surfaceNo = 0;
    for (int j = 2; j <= 3; ++j)
      for (int c = bottom(nx + 1, j); c > 0; c = Ccellt[c])
        d.surfaceList[d.surfaceNo++] = Cflatee[c];
    FlagDSO1 = 2;
    GlobZRef = -0.5;
  }
};

TEST_F(OutletLevels, OpenSidesOfTheOutletColumnsTakeTheReference) {
  flume(3);
  surfaceDownstreamDamp = 1;
  computeSurfDownstream();
  for (int j = 1; j <= 3; ++j) EXPECT_DOUBLE_EQ(level(4, j), -0.5) << j;
  // The outlet columns' south and north sides are open too: their west nodes there.
  EXPECT_DOUBLE_EQ(level(3, 1), -0.5);
  EXPECT_DOUBLE_EQ(level(3, 3), -0.5);
  EXPECT_DOUBLE_EQ(level(3, 2), 0.1);
  EXPECT_DOUBLE_EQ(level(2, 1), 0.2);
  EXPECT_DOUBLE_EQ(zval[4][1][znumber + 1], 0.0);  // the copy is not set
}

TEST_F(OutletLevels, BlendingReachesTenLinesOrTheBlockStart) {
  struct Case {
    int nx, damp;
  };
  // Twelve columns: ten node lines upstream exist. Three columns: the walk is cut to the
  // block's first node line (the walk once reached node lines below the table).
  for (const Case c : {Case{12, 10}, Case{3, 10}, Case{12, 11}, Case{3, 11}}) {
    SCOPED_TRACE(testing::Message() << c.nx << " columns, F 353 " << c.damp);
    flume(c.nx);
    surfaceDownstreamDamp = c.damp;
    const int out = c.nx + 1;
    const int L = std::min(10, out - 1);
    std::vector<double> before(out + 1);
    for (int i = 1; i <= out; ++i) before[i] = level(i, 1);
    computeSurfDownstream();
    EXPECT_DOUBLE_EQ(level(out, 1), -0.5);
    for (int n = 1; n < L; ++n) {
      const int i = out - n;
      double expected;
      if (c.damp == 10) {
        const double w = static_cast<double>(n) / L;
        expected = w * before[out - L] + (1 - w) * -0.5;
      } else {
        // Parabola with zero slope at the far line: z10 + (z0 - z10) (x - x10)^2 / L^2.
        const double x = i - 1, x10 = out - L - 1;
        expected = before[out - L] + (-0.5 - before[out - L]) * (x - x10) * (x - x10) / (L * L);
      }
      for (int j = 1; j <= 3; ++j) EXPECT_NEAR(level(i, j), expected, 1e-12) << i << " " << j;
    }
    EXPECT_DOUBLE_EQ(level(out - L, 1), before[out - L]);
  }
}

}  // namespace
}  // namespace qorva
