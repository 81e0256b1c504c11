// Discharge groups placed on a small flume built by the grid generator: which side faces a
// group's points select, in which order, their area, the cell and face marks, the level
// lists, and the automatic groups of F 314.
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "discretisation/discretisation.h"
#include "grid/grid.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva {
namespace {

// The generator leaves the levels within 1e-10 m of their exact places.
constexpr double kTol = 1e-8;
constexpr int kSouth = 1, kEast = 2, kNorth = 3, kWest = 4;

// A flume of 4 x 2 columns: block 1 holds columns i = 2..5, j = 2..3 on the grid lines
// x = 0..4 m (1 m apart) and y = 0, 2, 4 m; the bed lies flat at -3 m under water at 0, so
// every column has three cells 1 m high. A west or east face is 2 m x 1 m = 2 m2, a south or
// north face 1 m x 1 m = 1 m2. Columns are numbered row by row (j outer, i inner), each from
// its bottom cell up.
class DischargeGroupsTest : public test::Scratch {
 protected:
  void SetUp() override {
    test::Scratch::SetUp();
    fresh();
  }

  static void fresh() {
    SetArraysZero();
    setDefaults();
    std::filesystem::remove("boogie");
    xnumber = 8;
    ynumber = 5;
    znumber = 5;
    MaxCeller = 200;
    MaxFlater = 600;
    MaxPunkter = 400;
  }

  // Lays out the block(s) and builds the grid with its geometry; `blocks` adds or changes
  // blocks after block 1 is laid out. The build's own log lines are removed.
  static void buildFlume(const std::function<void()>& blocks = {}) {
    ASSERT_EQ(sialloc(), 0);
    NoBlocks = 1;
    block[1].i1 = 2;
    block[1].i2 = 5;
    block[1].j1 = 2;
    block[1].j2 = 3;
    block[1].bedfollow = 1;
    if (blocks) blocks();
    for (int i = 1; i <= xnumber; ++i)
      for (int j = 1; j <= 3; ++j) {
        xval[i][j] = i - 1;
        yval[i][j] = 2.0 * (j - 1);
        zval[i][j][1] = -3;
        zval[i][j][znumber] = 0;
      }
    ASSERT_EQ(Unstructure(), 1);
    metric();
    std::filesystem::remove("boogie");
    for (int c = 0; c <= NoCells; ++c) Cinout[c] = 0;
  }

  // Cell at `level` (1 = bottom) of column (i, j) of block 1, counted by hand.
  static int cellAt(int i, int j, int level) { return ((j - 2) * 4 + (i - 2)) * 3 + level; }

  static int face(int c, int side) {
    switch (side) {
      case kSouth: return Cflates[c];
      case kEast: return Cflatee[c];
      case kNorth: return Cflaten[c];
      default: return Cflatew[c];
    }
  }

  static void setPoints(DischargeGroup& d, const std::vector<std::pair<double, double>>& p) {
    d.xyNo = static_cast<int>(p.size());
    for (std::size_t n = 0; n < p.size(); ++n) {
      d.x[n] = p[n].first;
      d.y[n] = p[n].second;
    }
  }

  static std::vector<int> list(const DischargeGroup& d) {
    return std::vector<int>(d.surfaceList.v, d.surfaceList.v + d.surfaceNo);
  }

  static std::string zeroAreaText(int g, int top, int low, int bi, int bj) {
    return strf("\nWarning: Zero inflow/outflow area for discharge group no. %d\n"
                "Possible problem: levels in discharge struct below bed\n"
                "Top level group %d: %d, top node: %d\n"
                "Low level group %d: %d\n"
                "Bkooi[3] = %d, Bkooj[3] = %d\n\n",
                g, g, top, znumber, g, low, bi, bj);
  }
};

// Expected (cell, side) of a list entry: column (i, j), level, side.
struct Entry {
  int i, j, level, side;
};

struct PlacementCase {
  const char* name;
  int group, inflowFlag, lowLevel, topLevel;
  std::vector<std::pair<double, double>> points;
  std::function<void()> after;  // changes made after the grid build
  std::vector<Entry> entries;
  double area;
};

const std::vector<Entry> kWestColumns = {{2, 2, 3, kWest}, {2, 2, 2, kWest}, {2, 2, 1, kWest},
                                         {2, 3, 3, kWest}, {2, 3, 2, kWest}, {2, 3, 1, kWest}};

TEST_F(DischargeGroupsTest, TheFlumeHasTheCellsCountedByHand) {
  buildFlume();
  ASSERT_EQ(NoCells, 24);
  for (int i = 2; i <= 5; ++i)
    for (int j = 2; j <= 3; ++j) EXPECT_EQ(static_cast<int>(zval[i][j][0]), cellAt(i, j, 1));
  EXPECT_NEAR(Farea[Cflatew[1]], 2.0, kTol);
  EXPECT_NEAR(Farea[Cflates[1]], 1.0, kTol);
}

TEST_F(DischargeGroupsTest, PointsSelectTheSideFacesOfTheirColumnsFromTheTopDown) {
  // The acceptance distance is a tenth of sqrt(2 x 2 m2) = 0.2 m (|dx| + |dy| from a segment
  // midpoint); the west segments have their midpoints at (0, 1) and (0, 3).
  const std::vector<PlacementCase> cases = {
      {"west edge, every level", 3, 1, 1, 151, {{0, 1}, {0, 3}}, {}, kWestColumns, 12},
      {"east edge, outflow", 4, 0, 1, 151, {{4, 1}, {4, 3}}, {},
       {{5, 2, 3, kEast}, {5, 2, 2, kEast}, {5, 2, 1, kEast}, {5, 3, 3, kEast}, {5, 3, 2, kEast},
        {5, 3, 1, kEast}},
       12},
      {"top level 2 takes the bottom cell whatever the low level", 3, 1, 3, 2, {{0, 1}, {0, 3}},
       {}, {{2, 2, 1, kWest}, {2, 3, 1, kWest}}, 4},
      {"levels 2 to 3", 3, 1, 2, 3, {{0, 1}, {0, 3}}, {},
       {{2, 2, 3, kWest}, {2, 2, 2, kWest}, {2, 3, 3, kWest}, {2, 3, 2, kWest}}, 8},
      {"levels above every column", 3, 1, 4, 9, {{0, 1}, {0, 3}}, {}, {}, 0},
      {"a point 0.25 m from the midpoint is too far", 3, 1, 1, 151, {{0.25, 1}}, {}, {}, 0},
      {"a point 0.15 m from the midpoint is taken", 3, 1, 1, 151, {{0.1, 1.05}}, {},
       {{2, 2, 3, kWest}, {2, 2, 2, kWest}, {2, 2, 1, kWest}}, 6},
      {"two points on one segment take its faces twice", 3, 1, 1, 151, {{0, 1}, {0.05, 1}}, {},
       {{2, 2, 3, kWest}, {2, 2, 2, kWest}, {2, 2, 1, kWest}, {2, 2, 3, kWest}, {2, 2, 2, kWest},
        {2, 2, 1, kWest}},
       12},
      {"south edge of column (3, 2)", 3, 1, 1, 151, {{1.5, 0}}, {},
       {{3, 2, 3, kSouth}, {3, 2, 2, kSouth}, {3, 2, 1, kSouth}}, 3},
      {"north edge of column (4, 3)", 3, 0, 1, 151, {{2.5, 4}}, {},
       {{4, 3, 3, kNorth}, {4, 3, 2, kNorth}, {4, 3, 1, kNorth}}, 3},
      {"no points", 3, 1, 1, 151, {}, {}, {}, 0},
      {"a left-handed block accepts no point", 3, 1, 1, 151, {{0, 1}, {0, 3}},
       [] {
         for (int i = 1; i <= 5; ++i)
           for (int j = 1; j <= 3; ++j) xval[i][j] = -(i - 1);
       },
       {}, 0},
      {"the mud block is passed over", 3, 1, 1, 151, {{0, 1}}, [] { block[1].thixo = 1; }, {}, 0},
  };
  for (const PlacementCase& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    buildFlume();
    if (k.after) k.after();
    DischargeGroup& d = DischargeStruct[k.group];
    d.inflowFlag = k.inflowFlag;
    d.lowLevel = k.lowLevel;
    d.topLevel = k.topLevel;
    d.surfaceNo = 17;  // a list from before is replaced
    setPoints(d, k.points);

    InterpolateBoundaryInner2(k.group);

    std::vector<int> expected;
    for (const Entry& e : k.entries) expected.push_back(face(cellAt(e.i, e.j, e.level), e.side));
    EXPECT_EQ(list(d), expected);
    EXPECT_NEAR(d.area, k.area, kTol);
    const int mark = k.inflowFlag == 1 ? k.group : -k.group;
    for (int c = 1; c <= NoCells; ++c) {
      bool listed = false;
      for (const Entry& e : k.entries) listed = listed || cellAt(e.i, e.j, e.level) == c;
      EXPECT_EQ(Cinout[c], listed ? mark : 0) << "cell " << c;
    }
    for (int s : expected) EXPECT_EQ(Fflagflow[s], 1) << "surface " << s;
    // Bed cell 3 is column (3, 2): bed cells run i outer, j inner.
    EXPECT_EQ(log(), k.entries.empty() ? zeroAreaText(k.group, k.topLevel, k.lowLevel, 3, 2) : "");
  }
}

TEST_F(DischargeGroupsTest, AnEqualDistanceGoesToTheLowestBlockInScanOrder) {
  // Block 2 (columns i = 6..7) shares grid line 5 with block 1: the point (4, 1) is the
  // midpoint of block 1's east segment and of block 2's west segment.
  const auto second = [] {
    NoBlocks = 2;
    block[2] = block[1];
    block[2].i1 = 6;
    block[2].i2 = 7;
  };
  for (bool swapped : {false, true}) {
    SCOPED_TRACE(swapped ? "east block first" : "west block first");
    fresh();
    buildFlume([&] {
      second();
      if (swapped) std::swap(block[1], block[2]);
    });
    DischargeGroup& d = DischargeStruct[1];
    d.inflowFlag = 0;
    d.topLevel = 2;  // bottom cells only
    setPoints(d, {{4, 1}});
    InterpolateBoundaryInner2(1);
    const int c = swapped ? static_cast<int>(zval[6][2][0]) : cellAt(5, 2, 1);
    ASSERT_GE(c, 1);
    EXPECT_EQ(list(d), std::vector<int>{swapped ? Cflatew[c] : Cflatee[c]});
    EXPECT_NEAR(d.area, 2.0, kTol);
  }
}

TEST_F(DischargeGroupsTest, BlockDivisionDebuggingReportsTheCount) {
  buildFlume();
  debugging = 'D';
  FlagMPI = 1;
  DischargeGroup& d = DischargeStruct[2];
  setPoints(d, {{0, 1}});
  InterpolateBoundaryInner2(2);
  EXPECT_EQ(log(), "Have interpolated 3 surfaces for discharge group 2\n");
}

TEST_F(DischargeGroupsTest, PlacingAllGroupsClearsTheMarksAndKeepsGroupsWithoutDischarge) {
  buildFlume();
  Cinout[cellAt(4, 2, 2)] = 9;
  DischargeGroup& in = DischargeStruct[1];
  in.massDischarge = 6000;
  setPoints(in, {{0, 1}, {0, 3}});
  DischargeGroup& out = DischargeStruct[2];
  out.inflowFlag = 0;
  out.massDischarge = -5;  // any discharge off zero places the group
  setPoints(out, {{4, 3}});
  DischargeGroup& idle = DischargeStruct[3];  // no discharge: keeps its old list
  setPoints(idle, {{1.5, 0}});
  idle.surfaceNo = 2;
  idle.surfaceList[0] = 7;
  idle.surfaceList[1] = 8;
  idle.area = 5;

  InterpolateBoundary();

  std::vector<int> west;
  for (const Entry& e : kWestColumns) west.push_back(face(cellAt(e.i, e.j, e.level), e.side));
  EXPECT_EQ(list(in), west);
  EXPECT_NEAR(in.area, 12.0, kTol);
  EXPECT_EQ(list(out), (std::vector<int>{Cflatee[cellAt(5, 3, 3)], Cflatee[cellAt(5, 3, 2)],
                                         Cflatee[cellAt(5, 3, 1)]}));
  EXPECT_NEAR(out.area, 6.0, kTol);
  EXPECT_EQ(list(idle), (std::vector<int>{7, 8}));
  EXPECT_DOUBLE_EQ(idle.area, 5.0);
  EXPECT_EQ(Cinout[cellAt(4, 2, 2)], 0);
  EXPECT_EQ(Cinout[cellAt(2, 3, 1)], 1);
  EXPECT_EQ(Cinout[cellAt(5, 3, 2)], -2);
  EXPECT_EQ(log(), "");
}

TEST_F(DischargeGroupsTest, LevelListsAreFilledForCyclicAndProfileInflows) {
  struct Case {
    const char* name;
    int cyclic, profileColumns;
    std::vector<int> levels;
  };
  const std::vector<Case> cases = {
      {"neither", 0, 0, {0, 0, 0, 0, 0, 0}},
      {"cyclic profile", -2, 0, {3, 2, 1, 3, 2, 1}},
      {"cyclic coupling", 4, 0, {3, 2, 1, 3, 2, 1}},
      {"inflow profile file", 0, 1, {3, 2, 1, 3, 2, 1}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    buildFlume();
    FlagCyclic = k.cyclic;
    inflowj = k.profileColumns;
    DischargeGroup& d = DischargeStruct[1];
    d.massDischarge = 6000;
    setPoints(d, {{0, 1}, {0, 3}});
    InterpolateBoundary();
    EXPECT_EQ(std::vector<int>(d.levelList.v, d.levelList.v + 6), k.levels);
  }
}

TEST_F(DischargeGroupsTest, AutomaticGroupsFillTheirLevelListsForCyclicInflow) {
  // A rebuild of the groups on a regenerated grid must not leave levels of the old grid.
  buildFlume();
  FlagCyclic = -1;
  FlagGenerateUpFlux = 1;
  FlagGenerateDownFlux = 3;
  setFluxes();
  const DischargeGroup& g1 = DischargeStruct[1];
  const DischargeGroup& g2 = DischargeStruct[2];
  EXPECT_EQ(std::vector<int>(g1.levelList.v, g1.levelList.v + 6),
            (std::vector<int>{3, 2, 1, 3, 2, 1}));
  EXPECT_EQ(std::vector<int>(g2.levelList.v, g2.levelList.v + 2), (std::vector<int>{1, 1}));
}

struct AutoCase {
  const char* name;
  int up, down;
  std::function<void()> after;  // after the grid build
  // Group 1: points, faces, area, discharge; group 2 likewise.
  std::vector<std::pair<double, double>> points1;
  std::vector<Entry> faces1;
  double area1, discharge1;
  std::vector<std::pair<double, double>> points2;
  std::vector<Entry> faces2;
  double area2;
};

// Lines (1, 2) and (1, 3) of the west edge fall dry: only the west segment j = 2 has water
// at one of its ends.
void dryWestLines() {
  MinVertDist0 = 0.01;
  zval[1][2][znumber] = zval[1][2][1];
  zval[1][3][znumber] = zval[1][3][1];
}

TEST_F(DischargeGroupsTest, AutomaticGroupsLieOnTheEndsOfBlockOne) {
  const std::vector<Entry> east = {{5, 2, 3, kEast}, {5, 2, 2, kEast}, {5, 2, 1, kEast},
                                   {5, 3, 3, kEast}, {5, 3, 2, kEast}, {5, 3, 1, kEast}};
  const std::vector<Entry> westJ2 = {{2, 2, 3, kWest}, {2, 2, 2, kWest}, {2, 2, 1, kWest}};
  const std::vector<std::pair<double, double>> westPoints = {{0, 1}, {0, 3}};
  const std::vector<std::pair<double, double>> eastPoints = {{4, 1}, {4, 3}};
  const std::vector<AutoCase> cases = {
      {"inflow and outflow over every segment", 1, 1, {}, westPoints, kWestColumns, 12, 6000,
       eastPoints, east, 12},
      {"outflow through the bottom cells", 0, 3, {}, {}, {}, 0, 0, eastPoints,
       {{5, 2, 1, kEast}, {5, 3, 1, kEast}}, 4},
      {"every segment, dry ones too", 1, 0, dryWestLines, westPoints, kWestColumns, 12, 6000, {},
       {}, 0},
      {"wet segments only", 2, 0, dryWestLines, {{0, 1}}, westJ2, 6, 6000, {}, {}, 0},
      {"wet segments of the first build", 4, 0, dryWestLines, {{0, 1}}, westJ2, 6, 6000, {}, {},
       0},
      {"wet segments, levels 1 to 36", 6, 2, dryWestLines, {{0, 1}}, westJ2, 6, 6000, eastPoints,
       east, 12},
      {"a single level above the columns", 12, 0, {}, westPoints, {}, 0, 6000, {}, {}, 0},
      {"values that build nothing", 8, 4, {}, {}, {}, 0, 0, {}, {}, 0},
  };
  for (const AutoCase& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    buildFlume();
    if (k.after) k.after();
    FlagGenerateUpFlux = k.up;
    FlagGenerateDownFlux = k.down;
    discharges[1] = 6;  // m3/s
    Cinout[cellAt(4, 3, 2)] = 7;  // not cleared
    DischargeStruct[2].inflowFlag = 1;

    setFluxes();

    const DischargeGroup& g1 = DischargeStruct[1];
    const DischargeGroup& g2 = DischargeStruct[2];
    std::vector<std::pair<double, double>> p1, p2;
    for (int n = 0; n < g1.xyNo; ++n) p1.emplace_back(g1.x[n], g1.y[n]);
    for (int n = 0; n < g2.xyNo; ++n) p2.emplace_back(g2.x[n], g2.y[n]);
    EXPECT_EQ(p1, k.points1);
    EXPECT_EQ(p2, k.points2);
    std::vector<int> f1, f2;
    for (const Entry& e : k.faces1) f1.push_back(face(cellAt(e.i, e.j, e.level), e.side));
    for (const Entry& e : k.faces2) f2.push_back(face(cellAt(e.i, e.j, e.level), e.side));
    EXPECT_EQ(list(g1), f1);
    EXPECT_EQ(list(g2), f2);
    EXPECT_NEAR(g1.area, k.area1, kTol);
    EXPECT_NEAR(g2.area, k.area2, kTol);
    EXPECT_DOUBLE_EQ(g1.massDischarge, k.discharge1);
    EXPECT_DOUBLE_EQ(g2.massDischarge, 0.0);  // F 237 gives group 2 nothing
    EXPECT_EQ(g1.inflowFlag, 1);
    EXPECT_EQ(g2.inflowFlag, k.down >= 1 && k.down <= 3 ? 0 : 1);
    EXPECT_EQ(Cinout[cellAt(4, 3, 2)], 7);
  }
}

TEST_F(DischargeGroupsTest, AutomaticGroupsKeepAGivenDischargeAndBoundaryType) {
  struct Case {
    const char* name;
    double given, f237;
    int bcType, update;
    double discharge;
    int bcAfter;
  };
  const std::vector<Case> cases = {
      {"unset discharge takes F 237", 0, 6, 1, -1, 6000, 0},
      {"negative discharge takes F 237", -3, 6, 1, 1, 6000, 1},
      {"a discharge from the grid file is kept", 2500, 6, 1, 0, 2500, 1},
      {"without F 237 nothing changes", 2500, -1, 0, -1, 2500, 0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    buildFlume();
    FlagGenerateUpFlux = 1;
    DischargeGroup& d = DischargeStruct[1];
    d.massDischarge = k.given;
    d.bcType = k.bcType;
    d.inflowConc = 3;
    discharges[1] = k.f237;
    updates[1] = k.update;
    setFluxes();
    EXPECT_DOUBLE_EQ(d.massDischarge, k.discharge);
    EXPECT_EQ(d.bcType, k.bcAfter);
    EXPECT_DOUBLE_EQ(d.inflowConc, 0.0);
    EXPECT_EQ(d.lowLevel, 1);
    EXPECT_EQ(d.topLevel, 999);
  }
}

TEST_F(DischargeGroupsTest, WetPointsOfTheFirstBuildStayForLaterBuilds) {
  buildFlume();
  dryWestLines();
  FlagGenerateUpFlux = 4;
  setFluxes();
  ASSERT_EQ(DischargeStruct[1].xyNo, 1);
  // The edge is wet again, but a rebuild during the iterations keeps the one point.
  zval[1][2][znumber] = zval[1][3][znumber] = 0;
  Iter = 1;
  setFluxes();
  EXPECT_EQ(DischargeStruct[1].xyNo, 1);
  EXPECT_EQ(DischargeStruct[1].surfaceNo, 3);
  EXPECT_NEAR(DischargeStruct[1].area, 6.0, kTol);
  // A first build makes the points from the wet edge.
  Iter = 0;
  setFluxes();
  EXPECT_EQ(DischargeStruct[1].xyNo, 2);
  EXPECT_EQ(DischargeStruct[1].surfaceNo, 6);
}

TEST_F(DischargeGroupsTest, AnEdgeDryAtTheFirstBuildGetsItsPointsWhenItWets) {
  // The whole west edge is dry at the start: no point, no face, the zero-area warning.
  buildFlume();
  dryWestLines();
  zval[1][1][znumber] = zval[1][1][1];
  FlagGenerateUpFlux = 4;
  discharges[1] = 6;
  setFluxes();
  ASSERT_EQ(DischargeStruct[1].xyNo, 0);
  EXPECT_DOUBLE_EQ(DischargeStruct[1].area, 0.0);
  EXPECT_NE(log().find("Zero inflow/outflow area for discharge group no. 1"), std::string::npos);
  // Water arrives during the iterations: with no points to keep, the wet segments are taken,
  // both west columns at all three levels (2 m2 each).
  zval[1][1][znumber] = zval[1][2][znumber] = zval[1][3][znumber] = 0;
  Iter = 3;
  setFluxes();
  EXPECT_EQ(DischargeStruct[1].xyNo, 2);
  std::vector<int> west;
  for (const Entry& e : kWestColumns) west.push_back(face(cellAt(e.i, e.j, e.level), e.side));
  EXPECT_EQ(list(DischargeStruct[1]), west);
  EXPECT_NEAR(DischargeStruct[1].area, 12.0, kTol);
}

}  // namespace
}  // namespace qorva
