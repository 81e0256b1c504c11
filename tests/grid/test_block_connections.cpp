// Joining touching blocks: two blocks generated side by side from a small structured grid,
// with equal and unequal cell counts across the joint; which cells are linked, the surface
// pairs, the cell slots of both coincident surfaces, the full pair table, the F 348 joint by
// heights and its flux balance, and the face flags the metrics give such a joint.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "grid/grid.h"
#include "state/arrays.h"
#include "state/blocks.h"
#include "state/cells.h"
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

struct BlockRange {
  int i1, i2, j1, j2;
};
using LineValue = std::function<double(int, int)>;

// Plan positions of the usual layout: grid line (i, j) at x = i - 1, y = j - 1, one metre apart.
double unitX(int i, int) { return i - 1; }
double unitY(int, int j) { return j - 1; }

// Depths of the grid lines. With GridDistCoeff 1, a largest depth of 5 m and znumber 7 (five
// level steps) a line of depth d < 5 gets 2 + floor(d) levels: 4.5 m gives 6 levels (5 cells
// in a column whose deepest corner it is), 2.5 m gives 4 levels (3 cells).
double deep(int, int) { return 4.5; }
double deepWest(int i, int) { return i <= 2 ? 4.5 : 2.5; }
double deepEast(int i, int) { return i <= 3 ? 2.5 : 4.5; }

// A linked pair of cells across the joint: the west (or south) cell and the east (or north)
// cell.
struct Pair {
  int first, second;
};
// A cell whose side (2 east, 4 west) at the joint stays open.
struct Open {
  int cell, side;
};

class BlockConnections : public test::Scratch {
 protected:
  void SetUp() override {
    test::Scratch::SetUp();
    fresh();
  }

  // Start state of a new run, for each case of a table.
  void fresh() {
    test::Scratch::fresh();
    SetArraysZero();
    setDefaults();
    stimet = 1;  // no build messages: the log holds only what the joints write
    xnumber = 8;
    ynumber = 6;
    znumber = 7;
    MaxCeller = 500;
    MaxFlater = 2000;
    MaxPunkter = 2000;
    MaxConnFlate = 50;
    GridDistCoeff = 1;
    MaxDepth209 = 5;
    NoConnect = 1;  // as after reading a grid with connection records
    // The blocks here are one or two columns wide: the removal of columns with fewer than two
    // wet neighbours would leave them empty.
    FlagGridStab1 = 0;
  }

  // Structured and unstructured arrays, the blocks, and every grid line's plan position and
  // levels (water surface at 0, bed at minus the depth).
  static void layout(const std::vector<BlockRange>& blocks, const LineValue& depth,
                     const LineValue& x = unitX, const LineValue& y = unitY) {
    ASSERT_EQ(sialloc(), 0);
    ASSERT_GT(AllocateArrays(1, 1, 1), -0.01);
    std::remove("boogie");  // only what the build writes from here on
    NoBlocks = static_cast<int>(blocks.size());
    for (int b = 1; b <= NoBlocks; ++b) {
      const BlockRange& r = blocks[b - 1];
      block[b].i1 = r.i1;
      block[b].i2 = r.i2;
      block[b].j1 = r.j1;
      block[b].j2 = r.j2;
      block[b].bedfollow = 1;
    }
    for (int i = 0; i <= xnumber + 1; ++i)
      for (int j = 0; j <= ynumber + 1; ++j) {
        xval[i][j] = x(i, j);
        yval[i][j] = y(i, j);
        zval[i][j][1] = -depth(i, j);
        zval[i][j][znumber] = 0;
      }
  }

  // Result of the generator, or 1000 + the status of the run's end.
  static int generate() {
    try {
      return Unstructure();
    } catch (const RunEnd& e) {
      return 1000 + e.status;
    }
  }

  static void expectCells(int i, int j, int cells) {
    EXPECT_EQ(ant[i][j], cells) << "column " << i << "," << j;
  }

  // The pairs in row order: both cells linked across the joint, the two surfaces distinct,
  // recorded west (south) surface first, and each listing both cells in side order.
  static void expectJoined(const std::vector<Pair>& pairs, bool eastward) {
    const Table1<int>& forward = eastward ? Ccelle : Ccelln;
    const Table1<int>& back = eastward ? Ccellw : Ccells;
    const Table1<int>& out = eastward ? Cflatee : Cflaten;
    const Table1<int>& in = eastward ? Cflatew : Cflates;
    ASSERT_EQ(NoConnFlate, static_cast<int>(pairs.size()));
    for (std::size_t n = 0; n < pairs.size(); ++n) {
      const int w = pairs[n].first, e = pairs[n].second;
      SCOPED_TRACE("pair " + std::to_string(n + 1) + ": cells " + std::to_string(w) + ", " +
                   std::to_string(e));
      EXPECT_EQ(forward[w], e);
      EXPECT_EQ(back[e], w);
      const int sw = out[w], se = in[e];
      EXPECT_NE(sw, se);
      EXPECT_EQ(connFlate[n + 1][0], sw);
      EXPECT_EQ(connFlate[n + 1][1], se);
      for (const int f : {sw, se}) {
        EXPECT_EQ(Fcell1[f], w);
        EXPECT_EQ(Fcell2[f], e);
      }
    }
    EXPECT_EQ(connFlate[pairs.size() + 1][0], 0);
    EXPECT_EQ(connFlate[pairs.size() + 1][1], 0);
  }

  // An open east side keeps its own cell in Fcell1 only, an open west side in Fcell2 only.
  static void expectOpen(const std::vector<Open>& open) {
    for (const Open& o : open) {
      SCOPED_TRACE("open cell " + std::to_string(o.cell));
      const bool east = o.side == 2;
      EXPECT_EQ((east ? Ccelle : Ccellw)[o.cell], 0);
      const int f = (east ? Cflatee : Cflatew)[o.cell];
      EXPECT_EQ(Fcell1[f], east ? o.cell : 0);
      EXPECT_EQ(Fcell2[f], east ? 0 : o.cell);
    }
  }
};

struct JoinCase {
  const char* name;
  std::vector<BlockRange> blocks;
  LineValue depth;
  std::vector<int> columnCells;  // cells of the two columns at the (first) joint
  bool eastward;
  std::vector<Pair> pairs;
  std::vector<Open> open;
  int surfaces, points;
};

// Cells are numbered block by block, rows (j) outer, columns (i) inner, each column from the
// bottom up; the pass meets the joint first at the top cell of the west (south) column.
TEST_F(BlockConnections, TouchingColumnsAreJoinedFromTheTopAndBottomCellsMeet) {
  const std::vector<JoinCase> cases = {
      // Two 2 x 2 blocks of 5-cell columns: (3,2) holds 6..10, (3,3) 16..20, (4,2) 21..25,
      // (4,3) 31..35. Per block 4 * 6 horizontal, 3 * 2 * 5 i and 3 * 2 * 5 j faces and
      // 9 lines * 6 levels of points; the joint keeps both blocks' faces.
      {"joint across i, equal columns",
       {{2, 3, 2, 3}, {4, 5, 2, 3}},
       deep,
       {5, 5},
       true,
       {{10, 25}, {9, 24}, {8, 23}, {7, 22}, {6, 21},
        {20, 35}, {19, 34}, {18, 33}, {17, 32}, {16, 31}},
       {},
       2 * 84,
       2 * 54},
      // One row of two columns per block, block 2 north of block 1: (2,2) 1..5, (3,2) 6..10,
      // (2,3) 11..15, (3,3) 16..20. Per block 2 * 6 + 3 * 5 + 2 * 2 * 5 faces, 6 lines * 6.
      {"joint across j, equal columns",
       {{2, 3, 2, 2}, {2, 3, 3, 3}},
       deep,
       {5, 5},
       false,
       {{5, 15}, {4, 14}, {3, 13}, {2, 12}, {1, 11},
        {10, 20}, {9, 19}, {8, 18}, {7, 17}, {6, 16}},
       {},
       2 * 47,
       2 * 36},
      // Lines 1, 2 deep, 3..5 shallow: (3,2) has 5 cells 6..10, (4,2) 3 cells 11..13. The
      // upper two pairs meet at equal depth, the short column's bottom cell 11 meets the long
      // column's bottom cell 6; 7 and 8 (no height at the joint) stay open.
      {"joint across i, 5 cells west of 3",
       {{2, 3, 2, 2}, {4, 5, 2, 2}},
       deepWest,
       {5, 3},
       true,
       {{10, 13}, {9, 12}, {6, 11}},
       {{7, 2}, {8, 2}},
       47 + 29,
       36 + 24},
      // Mirrored: (3,2) has 3 cells 4..6, (4,2) 5 cells 7..11; 8 and 9 stay open.
      {"joint across i, 3 cells west of 5",
       {{2, 3, 2, 2}, {4, 5, 2, 2}},
       deepEast,
       {3, 5},
       true,
       {{6, 11}, {5, 10}, {4, 7}},
       {{8, 4}, {9, 4}},
       29 + 47,
       24 + 36},
  };
  for (const JoinCase& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    layout(k.blocks, k.depth);
    ASSERT_EQ(generate(), 1) << log();
    const int jw = k.blocks[0].j2, iw = k.blocks[0].i2;
    if (k.eastward) {
      expectCells(iw, jw, k.columnCells[0]);
      expectCells(iw + 1, jw, k.columnCells[1]);
    } else {
      expectCells(k.blocks[0].i1, jw, k.columnCells[0]);
      expectCells(k.blocks[0].i1, jw + 1, k.columnCells[1]);
    }
    expectJoined(k.pairs, k.eastward);
    expectOpen(k.open);
    EXPECT_EQ(NoConnFlate0, NoConnFlate);
    EXPECT_EQ(NoSurfaces, k.surfaces);
    EXPECT_EQ(NoPoints, k.points);
    EXPECT_FALSE(fileExists("boogie")) << log();
  }
}

TEST_F(BlockConnections, WithoutConnectionRecordsTheBlocksStaySeparate) {
  NoConnect = 0;
  layout({{2, 3, 2, 2}, {4, 5, 2, 2}}, deep);
  ASSERT_EQ(generate(), 1);
  EXPECT_EQ(NoConnFlate, 0);
  expectOpen({{6, 2}, {7, 2}, {8, 2}, {9, 2}, {10, 2}, {11, 4}, {12, 4}, {13, 4}, {14, 4},
              {15, 4}});
}

// Connect called on the unjoined grid of 5 cells (6..10) west of 3 cells (11..13): the vertical
// methods 8 to 13, 30 to 40 and from 100 join the two bottom cells, the others stop when the
// short column ends.
TEST_F(BlockConnections, WhichMethodsJoinTheBottomCells) {
  struct Case {
    int method;
    std::vector<Pair> pairs;
    std::vector<Open> open;
  };
  const std::vector<Pair> bottoms = {{10, 13}, {9, 12}, {6, 11}};
  const std::vector<Open> middle = {{7, 2}, {8, 2}};
  const std::vector<Pair> levels = {{10, 13}, {9, 12}, {8, 11}};
  const std::vector<Open> lower = {{6, 2}, {7, 2}};
  const std::vector<Case> cases = {
      {7, levels, lower},    {8, bottoms, middle},  {11, bottoms, middle},
      {13, bottoms, middle}, {14, levels, lower},   {29, levels, lower},
      {30, bottoms, middle}, {40, bottoms, middle}, {41, levels, lower},
      {99, levels, lower},   {100, bottoms, middle}, {1, levels, lower},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.method);
    fresh();
    NoConnect = 0;
    layout({{2, 3, 2, 2}, {4, 5, 2, 2}}, deepWest);
    ASSERT_EQ(generate(), 1);
    ASSERT_EQ(NoConnFlate, 0);
    UMethod = k.method;
    EXPECT_EQ(Connect(Cpoint2[10], Cpoint3[10], 10, 2), 1);
    expectJoined(k.pairs, true);
    expectOpen(k.open);
  }
}

TEST_F(BlockConnections, ASideWithoutPartnerStaysAWall) {
  NoConnect = 0;
  layout({{2, 3, 2, 2}, {4, 5, 2, 2}}, deep);
  ASSERT_EQ(generate(), 1);
  // The outer west side of block 1 (cell 5, corners on line 1) has no partner.
  EXPECT_EQ(Connect(Cpoint4[5], Cpoint1[5], 5, 4), 0);
  // The joint side of cell 10 finds none when the search stops at block 1's cells.
  WCEnd = 10;
  EXPECT_EQ(Connect(Cpoint2[10], Cpoint3[10], 10, 2), 0);
  EXPECT_EQ(NoConnFlate, 0);
  expectOpen({{5, 4}, {10, 2}, {15, 4}});
}

TEST_F(BlockConnections, CornersMatchOnlyWithinTheLimitInEitherOrder) {
  struct Case {
    const char* name;
    double limit;
    double xa, ya, xb, yb, xc, yc, xd, yd;
    int result;
  };
  const std::vector<Case> cases = {
      {"same order", 1e-5, 0, 0, 1, 0, 0, 0, 1, 0, 1},
      {"reverse order", 1e-5, 0, 0, 1, 0, 1, 0, 0, 0, 2},
      {"within the limit", 1e-5, 0, 0, 1, 2, 4e-6, -4e-6, 1, 2, 1},
      {"x off by exactly the limit", 1e-5, 0, 0, 1, 0, 1e-5, 0, 1, 0, 0},
      {"y off by exactly the limit", 1e-5, 0, 0, 1, 0, 0, 1e-5, 1, 0, 0},
      {"reverse, y off by the limit", 1e-5, 0, 0, 1, 0, 1, 0, 0, -1e-5, 0},
      {"one corner only", 1e-5, 0, 0, 1, 0, 0, 0, 2, 0, 0},
      {"wider limit of F 191", 0.1, 0, 0, 1, 0, 0.05, 0.05, 1.05, -0.05, 1},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    ConnectLimit = k.limit;
    EXPECT_EQ(checkXY(k.xa, k.xb, k.xc, k.xd, k.ya, k.yb, k.yc, k.yd), k.result);
  }
}

// Ten pairs (two columns of 5 cells each side): rows 1..MaxConnFlate-1 exist. A table with
// too few rows stops the run with -47 and its message; the count never passes the last row.
TEST_F(BlockConnections, AFullPairTableStopsTheRun) {
  struct Case {
    int rows;
    int result;
    int stored;
    std::string message;
  };
  const std::vector<Case> cases = {
      {11, 1, 10, ""},
      {10, 1000 - 47, 9, "Error, increase 5th integer on F 65 data set, now at: 10\n"},
      {4, 1000 - 47, 3, "Error, increase 5th integer on F 65 data set, now at: 4\n"},
      {1, 1000 - 47, 0, "Error, increase 5th integer on F 65 data set, now at: 1\n"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.rows);
    fresh();
    MaxConnFlate = k.rows;
    layout({{2, 3, 2, 3}, {4, 5, 2, 3}}, deep);
    EXPECT_EQ(generate(), k.result);
    EXPECT_EQ(NoConnFlate, k.stored);
    EXPECT_LT(NoConnFlate, MaxConnFlate);
    EXPECT_EQ(fileExists("boogie") ? log() : "", k.message);
    // The rows that fit hold the first pairs of the pass.
    if (k.stored >= 1) {
      EXPECT_EQ(connFlate[1][0], Cflatee[10]);
      EXPECT_EQ(connFlate[1][1], Cflatew[25]);
    }
  }
}

// The metric completes each joined surface with its twin's side: both surfaces of a pair
// carry both cells, both side codes, both distances and the cells beyond, and flow; the
// faces of no height left open above the joined bottom cell get the flag 2.
TEST_F(BlockConnections, MetricsGiveAJointOfUnequalColumnsConsistentFaceFlags) {
  layout({{2, 3, 2, 2}, {4, 5, 2, 2}}, deepWest);
  ASSERT_EQ(generate(), 1);
  try {
    metric();
  } catch (const RunEnd& e) {
    FAIL() << "metric ended the run with " << e.status << "\n" << log();
  }
  // West cells 10, 9, 6 (their west neighbours 5, 4, 1 at the same levels of column (2,2));
  // east cells 13, 12, 11 (east neighbours 16, 15, 14).
  const std::vector<std::vector<int>> pairs = {{10, 13, 5, 16}, {9, 12, 4, 15}, {6, 11, 1, 14}};
  for (const auto& p : pairs) {
    const int w = p[0], e = p[1];
    for (const int f : {Cflatee[w], Cflatew[e]}) {
      SCOPED_TRACE("surface " + std::to_string(f) + " of cells " + std::to_string(w) + ", " +
                   std::to_string(e));
      EXPECT_EQ(Fcell1[f], w);
      EXPECT_EQ(Fcell2[f], e);
      EXPECT_EQ(Ftype1[f], 2);
      EXPECT_EQ(Ftype2[f], 4);
      EXPECT_EQ(Fcell11[f], p[2]);
      EXPECT_EQ(Fcell22[f], p[3]);
      EXPECT_DOUBLE_EQ(Fdist1[f], Cidist[w]);
      EXPECT_DOUBLE_EQ(Fdist2[f], Cidist[e]);
      EXPECT_EQ(Fflagflow[f], 1);
      EXPECT_EQ(Fin[f], 1);
    }
  }
  for (const int c : {7, 8}) {
    const int f = Cflatee[c];
    SCOPED_TRACE("open face of cell " + std::to_string(c));
    EXPECT_LT(Farea[f], SmallNumberUnstruc);
    EXPECT_EQ(Ftype1[f], 2);
    EXPECT_EQ(Ftype2[f], 0);
    EXPECT_EQ(Fflagflow[f], 2);
  }
  // The outer sides of the two blocks stay walls.
  for (const int f : {Cflatew[1], Cflatee[14]}) EXPECT_EQ(Fflagflow[f], -1);
}

// F 348: the cells below the top cells of block 1's last column and block 2's first column are
// relinked by the heights of their faces at the joint. Block 1 (i 2..3, j 2..3, lines 1..3)
// has 6 levels on line 3 (faces at -4.05, -3.15, -2.25, -1.35 below the top cell); block 2
// (i 5..6, lines 4..6 at x 2..4, the same plan line as line 3) has 4 levels (faces at -2.083
// and -1.25) and three rows 0.8, 0.4 and 0.8 m wide, whose middles (0.4, 1.0, 1.6) lie nearest
// to block 1's row middles 0.5 and 1.5 in rows 2 and 4. No coincident sides: only F 348 links.
TEST_F(BlockConnections, UnevenJointLinksCellsOfNearestHeight) {
  NoConnect = 0;
  UnevenConnect = 1;
  layout({{2, 3, 2, 3}, {5, 6, 2, 4}}, [](int i, int) { return i <= 3 ? 4.5 : 2.5; },
         [](int i, int) { return i <= 3 ? i - 1.0 : i - 2.0; },
         [](int i, int j) {
           if (i <= 3) return j - 1.0;
           const double y[] = {0, 0, 0.8, 1.2, 2.0, 3.0, 4.0, 5.0};
           return y[j];
         });
  ASSERT_EQ(generate(), 1) << log();
  // Block 1: (3,2) cells 6..10, (3,3) 16..20; block 2: (5,2) 21..23, (5,3) 27..29,
  // (5,4) 33..35.
  expectCells(3, 2, 5);
  expectCells(5, 2, 3);
  struct Link {
    int cell, neighbour;
  };
  const std::vector<Link> east = {{6, 21},  {7, 21},  {8, 21},  {9, 22}, {10, 0},
                                  {16, 33}, {17, 33}, {18, 33}, {19, 34}, {20, 0}};
  for (const Link& l : east) {
    SCOPED_TRACE(l.cell);
    EXPECT_EQ(Ccelle[l.cell], l.neighbour);
    EXPECT_EQ(Fcell1[Cflatee[l.cell]], l.cell);
    EXPECT_EQ(Fcell2[Cflatee[l.cell]], l.neighbour);
  }
  const std::vector<Link> west = {{21, 8},  {22, 9},  {23, 0}, {27, 0},
                                  {28, 0},  {33, 18}, {34, 19}, {35, 0}};
  for (const Link& l : west) {
    SCOPED_TRACE(l.cell);
    EXPECT_EQ(Ccellw[l.cell], l.neighbour);
    EXPECT_EQ(Fcell1[Cflatew[l.cell]], l.neighbour);
    EXPECT_EQ(Fcell2[Cflatew[l.cell]], l.cell);
  }
  EXPECT_EQ(NoConnFlate, 0);
}

TEST_F(BlockConnections, UnevenJointNeedsTwoBlocks) {
  UnevenConnect = 1;
  layout({{2, 3, 2, 2}}, deep);
  EXPECT_EQ(generate(), 1001);
  EXPECT_EQ(log(), "Error: F 348 joins grid blocks 1 and 2, but the grid has 1 block(s)\n");
}

// Fluxes through the F 348 joint: the east faces of block 1's last column and the west faces
// of block 2's first column are scaled to the mean of their two totals.
TEST_F(BlockConnections, UnevenJointFluxesAreBalanced) {
  struct Case {
    const char* name;
    std::vector<double> west;  // east faces of cells 6..10
    std::vector<double> east;  // west faces of cells 11..13
    std::vector<double> westAfter, eastAfter;
  };
  const std::vector<Case> cases = {
      {"10 and 12 kg/s become 11", {1, 2, 3, 2, 2}, {4, 4, 4},
       {1.1, 2.2, 3.3, 2.2, 2.2}, {11.0 / 3, 11.0 / 3, 11.0 / 3}},
      {"12 and 10 kg/s become 11", {0, 0, 0, 6, 6}, {2, 3, 5},
       {0, 0, 0, 5.5, 5.5}, {2.2, 3.3, 5.5}},
      {"equal totals stay", {1, 1, 1, 1, 1}, {5, 0, 0}, {1, 1, 1, 1, 1}, {5, 0, 0}},
      {"no flux on one side: nothing to scale", {0, 0, 0, 0, 0}, {4, 4, 4},
       {0, 0, 0, 0, 0}, {4, 4, 4}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    layout({{2, 3, 2, 2}, {4, 5, 2, 2}}, deepWest);
    ASSERT_EQ(generate(), 1);
    UnevenConnect = 1;
    for (int c = 6; c <= 10; ++c) Fflux[Cflatee[c]] = k.west[c - 6];
    for (int c = 11; c <= 13; ++c) Fflux[Cflatew[c]] = k.east[c - 11];
    Fflux[Cflatee[1]] = 7;  // inside block 1, not at the joint
    correctFluxUneven();
    for (int c = 6; c <= 10; ++c) EXPECT_NEAR(Fflux[Cflatee[c]], k.westAfter[c - 6], 1e-12) << c;
    for (int c = 11; c <= 13; ++c) EXPECT_NEAR(Fflux[Cflatew[c]], k.eastAfter[c - 11], 1e-12) << c;
    EXPECT_EQ(Fflux[Cflatee[1]], 7);
  }
}

}  // namespace
}  // namespace qorva
