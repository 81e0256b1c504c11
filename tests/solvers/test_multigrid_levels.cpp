// The two-dimensional levels of the multigrid: level counts and sizes worked out by hand from
// the strides, the parent/child table around a dry column, links across blocks, and the
// refusals when the levels do not fit their tables.
#include <string>
#include <vector>

#include "solvers/column_grid.h"
#include "solvers/solvers.h"
#include "state/nests.h"
#include "state/surfaces.h"

namespace qorva::test {
namespace {

class Levels : public Scratch {
 protected:
  void SetUp() override {
    Scratch::SetUp();
    Flag2DAccSolver = 3;
  }
  static int cellsOf(int L) {
    const GridBlock& r = block[NoBlocks + L];
    return r.cellend - r.cellstart + 1;
  }
  static int endStatus() {
    try {
      AlgMGMake();
    } catch (const RunEnd& e) {
      return e.status;
    }
    return 1000;
  }
};

// Level L groups the cells of level L - 1 at strides 2^(L-1): a block of 20 x 4 columns makes
// 80 cells, then 10 x 2, 5 x 1, 3 (i = 2, 10, 18) and 2 (i = 2, 18); the largest extent + 1 is
// 21 and ln 21 = 3.04, so 6 levels may be used (1..5 built). 8 x 2 columns: extent 9,
// ln 9 = 2.2, 5 levels: 16, 4, 2 and a single cell, which is dropped (4 levels).
TEST_F(Levels, CountsAndSizesFollowTheStrides) {
  struct Case {
    int nx, ny, levels;
    std::vector<int> sizes;
  };
  const Case cases[] = {
      {20, 4, 6, {80, 20, 5, 3, 2}},
      {8, 2, 4, {16, 4, 2}},
      {100, 1, 7, {100, 50, 25, 13, 7, 4}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.nx);
    SetArraysZero();
    setDefaults();
    Flag2DAccSolver = 3;
    makeColumns(k.nx, k.ny, 2, 200);
    const int grid = NoCells;
    AlgMGMake();
    ASSERT_EQ(NoMGlevels, k.levels);
    int next = grid + 1;
    for (int L = 1; L <= NoMGlevels - 1; ++L) {
      const GridBlock& r = block[1 + L];
      EXPECT_EQ(r.cellstart, next) << "level " << L;
      EXPECT_EQ(cellsOf(L), k.sizes[L - 1]) << "level " << L;
      EXPECT_EQ(r.flag2D, 2);
      EXPECT_EQ(r.skip, L + 1);
      next = r.cellend + 1;
    }
    EXPECT_EQ(NoBlocks, 1);
    EXPECT_EQ(NoCells, grid);
  }
  // The single-cell level of the 8 x 2 block stays in its record, unmarked.
  SetArraysZero();
  setDefaults();
  Flag2DAccSolver = 3;
  makeColumns(8, 2, 2, 40);
  AlgMGMake();
  EXPECT_EQ(cellsOf(4), 1);
  EXPECT_EQ(block[5].flag2D, 0);
  EXPECT_EQ(block[5].skip, 0);
}

// 4 x 2 columns of two cells, column (1, 0) dry. Level 1 is numbered j outer, i inner:
// (0,0) (2,0) (3,0) (0,1) (1,1) (2,1) (3,1) -> grid cells + 1..7. Level 2 (stride 2): the group
// at (0,0) has SW (0,0), NW (0,1), NE (1,1) and no SE (the dry column); the group at (2,0) has
// all four. Level 3 would be one cell: dropped, so 3 levels are used.
TEST_F(Levels, ParentsAndChildrenAroundADryColumn) {
  const Columns g = makeColumns(4, 2, {2, 2, 0, 2, 2, 2, 2, 2}, 20);
  const int N = NoCells;
  AlgMGMake();
  ASSERT_EQ(NoMGlevels, 3);
  ASSERT_EQ(cellsOf(1), 7);
  ASSERT_EQ(cellsOf(2), 2);
  const int n00 = N + 1, n20 = N + 2, n30 = N + 3, n01 = N + 4, n11 = N + 5, n21 = N + 6,
            n31 = N + 7;
  EXPECT_EQ(num[2][2][1], n00);
  EXPECT_EQ(num[3][2][1], 0);
  EXPECT_EQ(num[4][2][1], n20);
  EXPECT_EQ(num[3][3][1], n11);
  // Every cell of a column has its level-1 cell; the level-1 cell spans its column.
  for (int k = 0; k < 2; ++k) {
    EXPECT_EQ(MGSCpoint[g.cell(0, 0, k)][0], n00);
    EXPECT_EQ(MGSCpoint[g.cell(3, 1, k)][0], n31);
  }
  EXPECT_EQ(MGSCpoint[n20][1], g.cell(2, 0, 0));
  EXPECT_EQ(MGSCpoint[n20][2], g.cell(2, 0, 1));
  EXPECT_EQ(MGSCpoint[n20][3], 0);
  // No level-1 link crosses the dry column.
  EXPECT_EQ(Ccelle[n00], 0);
  EXPECT_EQ(Ccellw[n20], 0);
  EXPECT_EQ(Ccelln[n00], n01);
  EXPECT_EQ(Ccelle[n01], n11);
  EXPECT_EQ(Ccells[n21], n20);
  const int m0 = N + 8, m2 = N + 9;
  EXPECT_EQ(MGSCpoint[m0][1], n00);  // SW
  EXPECT_EQ(MGSCpoint[m0][2], n01);  // NW
  EXPECT_EQ(MGSCpoint[m0][3], n11);  // NE
  EXPECT_EQ(MGSCpoint[m0][4], 0);    // SE: the dry column
  EXPECT_EQ(MGSCpoint[m2][1], n20);
  EXPECT_EQ(MGSCpoint[m2][2], n21);
  EXPECT_EQ(MGSCpoint[m2][3], n31);
  EXPECT_EQ(MGSCpoint[m2][4], n30);
  for (int n : {n00, n01, n11}) EXPECT_EQ(MGSCpoint[n][0], m0);
  for (int n : {n20, n21, n31, n30}) EXPECT_EQ(MGSCpoint[n][0], m2);
  // The two groups touch through NW (0,1) - NE of the west group (1,1) and NW (2,1): linked.
  EXPECT_EQ(Ccellw[m2], m0);
  EXPECT_EQ(Ccelle[m0], m2);
  EXPECT_EQ(Ccelln[m0], 0);
  EXPECT_EQ(Ccellt[m0], 0);
  EXPECT_EQ(CflagDim[m0], 1);
}

// The blocks of one grid joined only through their cells: block 1 on j = 2, block 2 on j = 4
// (the structured index between them unused). Level 1 finds the neighbour across the gap
// through the bed-cell index of the bottom cell's neighbour.
TEST_F(Levels, LevelOneLinksAcrossBlocks) {
  const Columns g = makeColumns(2, 2, 1, 20);
  for (int i = 0; i < 2; ++i) {
    const int I = Columns::I(i);
    zval[I][4][0] = zval[I][3][0];
    zval[I][3][0] = 0;
    Bkooj[Cbed[g.cell(i, 1, 0)]] = 4;
  }
  block[1].j2 = 2;
  block[2] = block[1];
  block[2].j1 = block[2].j2 = 4;
  NoBlocks = 2;
  AlgMGMake();
  const int south = num[2][2][1], north = num[2][4][1];
  ASSERT_GT(south, 0);
  ASSERT_GT(north, 0);
  EXPECT_EQ(Ccelln[south], north);
  EXPECT_EQ(Ccells[north], south);
}

// A connection surface between two blocks links their level cells on every level.
TEST_F(Levels, ConnectionSurfacesLinkEveryLevel) {
  const Columns g = makeColumns(2, 1, 1, 20);
  // Two blocks of one column each, not linked as cells; the joint is surface 1.
  const int a = g.cell(0, 0, 0), b = g.cell(1, 0, 0);
  Ccelle[a] = Ccellw[b] = 0;
  zval[3][2][0] = 0;
  zval[5][2][0] = b;
  Bkooi[Cbed[b]] = 5;
  block[1].i2 = 2;
  block[2] = block[1];
  block[2].i1 = block[2].i2 = 5;
  NoBlocks = 2;
  NoConnFlate = 1;
  connFlate[1][0] = 1;
  Fcell1[1] = a;
  Fcell2[1] = b;
  Ftype1[1] = 2;
  Ftype2[1] = 4;
  AlgMGMake();
  // One column per block: levels of 2 and 2 cells (extent 2, ln 2 + 3 = 3 levels).
  ASSERT_EQ(NoMGlevels, 3);
  int la = a, lb = b;
  for (int L = 1; L <= 2; ++L) {
    SCOPED_TRACE(L);
    la = MGSCpoint[la][0];
    lb = MGSCpoint[lb][0];
    ASSERT_GT(la, 0);
    ASSERT_GT(lb, 0);
    EXPECT_EQ(Ccelle[la], lb);
    EXPECT_EQ(Ccellw[lb], la);
  }
}

// Level cells are numbered after the grid's cells; the numbers must stay below the F 65 cell
// count, level 1 included. 4 x 2 wet columns of one cell: 8 grid cells, levels of 8, 2 and 1
// cells (numbers 9..19), so MaxCeller must exceed 19. Too small ends the run with status -1 and
// the four lines, whichever level runs out.
TEST_F(Levels, LevelsBeyondTheCellArraysEndTheRun) {
  struct Case {
    int spare;  // MaxCeller = 8 + spare + 2
    int status;
  };
  for (const Case& k : {Case{5, -1}, Case{6, -1}, Case{8, -1}, Case{9, -1}, Case{10, 1000}}) {
    SCOPED_TRACE(k.spare);
    SetArraysZero();
    setDefaults();
    Flag2DAccSolver = 3;
    makeColumns(4, 2, 1, k.spare);
    EXPECT_EQ(endStatus(), k.status);
    if (k.status != 1000) {
      const std::string b = read("boogie");
      EXPECT_NE(b.find("Error: Number of cells in the unstructured arrays are too small\n"
                       "when using the multi-grid solver, as it needs extra arrays. \n"
                       "Increase the array sizes on the F 65 data set.\n"
                       "Current value that needs increase: " +
                       std::to_string(MaxCeller) + "\n"),
                std::string::npos)
          << b;
    }
    std::remove("boogie");
  }
}

TEST_F(Levels, LevelsBeyondTheBlockTableEndTheRun) {
  // 8 x 2 columns: levels 1..4 are built in the records NoBlocks + 1 .. NoBlocks + 4 (the
  // single-cell level 4 is dropped only afterwards); the table ends at record 99.
  makeColumns(8, 2, 1, 40);
  NoBlocks = 95;
  EXPECT_EQ(endStatus(), 1000);
  NoBlocks = 96;
  EXPECT_EQ(endStatus(), -1);
  EXPECT_NE(read("boogie").find("do not fit in the block table"), std::string::npos);
}

// A block reaching the last structured index in j ends the run after the levels are built.
TEST_F(Levels, BlockAtTheEndOfTheGridEndsTheRun) {
  makeColumns(4, 2, 1, 20);
  block[1].j2 = ynumber;
  EXPECT_EQ(endStatus(), -44);
  EXPECT_GT(NoMGlevels, 1);
  EXPECT_EQ(read("boogie"), "Error in allocation of blocks: increase 2nd integer on G 1 data set\n\n");
}

// After the grid gains cells the levels are numbered from the new cell count.
TEST_F(Levels, RebuildRenumbersFromTheCellCount) {
  makeColumns(4, 2, 1, 40);
  AlgMGMake();
  EXPECT_EQ(block[2].cellstart, 9);
  NoCells += 5;
  AlgMGMake();
  EXPECT_EQ(block[2].cellstart, 14);
  EXPECT_EQ(num[2][2][1], 14);
}

// A mud-flow run starts each column above the mud; a column of mud only has no level cell.
TEST_F(Levels, MudColumnsStartAboveTheMud) {
  FlagThixo = 6;
  const Columns g = makeColumns(2, 1, 3, 20);
  ASSERT_TRUE(Cthixolev);
  Cthixolev[g.cell(0, 0, 0)] = 1;
  Cthixolev[g.cell(0, 0, 1)] = 2;
  Cthixolev[g.cell(0, 0, 2)] = 2;
  AlgMGMake();
  const int n = num[2][2][1];
  ASSERT_GT(n, 0);
  EXPECT_EQ(MGSCpoint[n][1], g.cell(0, 0, 1));
  EXPECT_EQ(MGSCpoint[n][2], g.cell(0, 0, 2));
  EXPECT_EQ(MGSCpoint[g.cell(0, 0, 0)][0], 0);
  EXPECT_EQ(num[3][2][1], 0);  // the second column is all mud
}

}  // namespace
}  // namespace qorva::test
