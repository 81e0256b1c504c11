// Nesting maps on a coarse block of 2 x 2 columns (2 m wide) and a nested block of 4 x 4
// columns (1 m wide) over the same 4 m square, both 4 m deep with two cells per column: the
// boundary list of the nested block, its capacity, the coarse partner cells, the coarse bed
// cells, the nearest finer grid points and the copy of nested bed levels.
#include <cmath>
#include <string>

#include "grid/grid.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/nests.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva {
namespace {

class NestingMapsTest : public test::Scratch {
 protected:
  void SetUp() override {
    test::Scratch::SetUp();
    start();
  }

  // A new run: no arrays, the defaults, and the sizes of these blocks.
  void start() {
    SetArraysZero();
    fresh();
    xnumber = 10;
    ynumber = 11;
    znumber = 4;
    MaxCeller = 1000;
    MaxFlater = MaxPunkter = 2000;
    FlagNestTop = 3;  // keeps the coarse bed cells and the point map
  }

  // Block 1: columns i, j = 2..3 on the grid lines x = 2 (i - 1), y = 2 (j - 1). Block 2,
  // nested: columns i = 2..5, j = 6..9 on x = i - 1, y = j - 5. With `nested` false only
  // block 1 is laid out.
  void layout(bool nested = true) {
    ASSERT_EQ(sialloc(), 0);
    NoBlocks = nested ? 2 : 1;
    block[1].i1 = 2;
    block[1].i2 = 3;
    block[1].j1 = 2;
    block[1].j2 = 3;
    block[1].bedfollow = 1;
    for (int i = 1; i <= 3; ++i)
      for (int j = 1; j <= 3; ++j) line(i, j, 2.0 * (i - 1), 2.0 * (j - 1));
    if (!nested) return;
    block[2].i1 = 2;
    block[2].i2 = 5;
    block[2].j1 = 6;
    block[2].j2 = 9;
    block[2].bedfollow = 1;
    block[2].nestlevel = 1;
    for (int i = 1; i <= 5; ++i)
      for (int j = 5; j <= 9; ++j) line(i, j, i - 1.0, j - 5.0);
  }
  static void line(int i, int j, double x, double y) {
    xval[i][j] = x;
    yval[i][j] = y;
    zval[i][j][1] = -4.0;
    zval[i][j][znumber] = 0.0;
  }

  static int generate() {
    try {
      return Unstructure();
    } catch (const RunEnd& e) {
      return 1000 + e.status;
    }
  }

  // Generates the grid, its metrics and the column index of the bed cells.
  void build(bool nested = true) {
    layout(nested);
    ASSERT_EQ(generate(), 1) << log();
    metric();
    NoBCells = 0;
    BedMake();
    // Depth 4 m at a depth scale of 4 m gives three levels, two cells, in every column.
    for (int b = 1; b <= NoBlocks; ++b)
      for (int i = block[b].i1; i <= block[b].i2; ++i)
        for (int j = block[b].j1; j <= block[b].j2; ++j) {
          ASSERT_GT(bottom(i, j), 0);
          ASSERT_EQ(Ccellt[bottom(i, j)], bottom(i, j) + 1);
          ASSERT_EQ(Ccellt[bottom(i, j) + 1], 0);
        }
  }

  static int bottom(int i, int j) { return static_cast<int>(zval[i][j][0]); }

  // The coarse column under nested column (i, j): the nested columns i = 2, 3 (x 0..2) lie
  // over coarse i = 2, the others over i = 3; likewise j = 6, 7 over j = 2.
  static int coarseI(int i) { return i <= 3 ? 2 : 3; }
  static int coarseJ(int j) { return j <= 7 ? 2 : 3; }

  // Every cell of the nested block has as partner the cell at the same level of the coarse
  // column beneath it.
  static void expectPartnersBeneath() {
    for (int i = 2; i <= 5; ++i)
      for (int j = 6; j <= 9; ++j)
        for (int m = 0; m < 2; ++m)
          EXPECT_EQ(Cinterpolnest[bottom(i, j) + m], bottom(coarseI(i), coarseJ(j)) + m)
              << "column " << i << "," << j << " level " << m;
  }
};

TEST_F(NestingMapsTest, ListTheOpenSidesOfTheNestedBlock) {
  // 16 columns of two cells; each edge of the block has 4 columns, so 8 cells per side, and
  // 16 top cells.
  struct Case {
    int fluxInterpol, surf, entries;
  };
  const Case cases[] = {{0, 0, 32}, {3, 0, 8}, {0, 1, 48}, {3, 1, 24}};
  for (const Case& c : cases) {
    SCOPED_TRACE("F 280 " + std::to_string(c.fluxInterpol) + ", F 241 " +
                 std::to_string(c.surf));
    start();
    FlagNestFluxInterpol = c.fluxInterpol;
    NestSurf = c.surf;
    build();
    ASSERT_EQ(NoNestflater, c.entries);
    for (int n = 1; n <= NoNestflater; ++n) {
      const int f = Npflate[n], cell = Npcelle[n];
      EXPECT_EQ(Npblock[n], 2);
      // A boundary surface of its cell: the cell in one slot, nothing in the other.
      EXPECT_TRUE((Fcell1[f] == cell && Fcell2[f] == 0) || (Fcell2[f] == cell && Fcell1[f] == 0))
          << "entry " << n;
    }
    // The south-west column comes first, its cells from the bottom up, each with its sides in
    // the order east, south, west, north, top.
    const int c0 = bottom(2, 6);
    if (c.fluxInterpol == 0 && c.surf == 1) {
      const int cells[] = {c0, c0, c0 + 1, c0 + 1, c0 + 1};
      const int surfaces[] = {Cflates[c0], Cflatew[c0], Cflates[c0 + 1], Cflatew[c0 + 1],
                              Cflatet[c0 + 1]};
      for (int n = 1; n <= 5; ++n) {
        EXPECT_EQ(Npcelle[n], cells[n - 1]) << "entry " << n;
        EXPECT_EQ(Npflate[n], surfaces[n - 1]) << "entry " << n;
      }
    }
    if (c.fluxInterpol == 3 && c.surf == 0) {
      for (int n = 1; n <= NoNestflater; ++n) EXPECT_EQ(Npflate[n], Cflatew[Npcelle[n]]);
    }
  }
}

TEST_F(NestingMapsTest, MarkEveryCellOfTheNestedBlockOnly) {
  build();
  for (int c = 1; c <= NoCells; ++c)
    EXPECT_EQ(CflagDim[c], c >= block[2].cellstart && c <= block[2].cellend ? 2 : 0)
        << "cell " << c;
  EXPECT_EQ(block[2].cellend - block[2].cellstart + 1, 32);
}

TEST_F(NestingMapsTest, ListHoldsOneEntryLessThanItsCapacity) {
  // 32 entries need a capacity of 33 (entry 0 is not used).
  MaxNester = 33;
  build();
  ASSERT_EQ(NoNestflater, 32);
  struct Case {
    int capacity, result, entries;
  };
  for (const Case& c : {Case{33, 0, 32}, Case{32, -46, 31}, Case{2, -46, 1}}) {
    SCOPED_TRACE(c.capacity);
    MaxNester = c.capacity;
    EXPECT_EQ(computeNestedArrays(), c.result);
    EXPECT_EQ(NoNestflater, c.entries);
  }
}

TEST_F(NestingMapsTest, GeneratorEndsTheRunWhenTheListIsFull) {
  MaxNester = 20;
  layout();
  EXPECT_EQ(generate(), 1000 - 46);
  const std::string text = log();
  const std::string message =
      "Error: too many surfaces between nested and coarse blocks, 19 entries can be held. "
      "Increase the fourth integer of the F 65 data set.\n\n";
  ASSERT_GE(text.size(), message.size());
  EXPECT_EQ(text.substr(text.size() - message.size()), message);
}

TEST_F(NestingMapsTest, NothingIsMappedWithoutNestedBlocks) {
  build(false);
  EXPECT_EQ(NoNestflater, 0);
  computeBnestcoarse();
  computeCinterpolnest();
  for (int c = 0; c <= NoCells; ++c) {
    EXPECT_EQ(CflagDim[c], 0);
    EXPECT_EQ(Cinterpolnest[c], 0);
  }
  for (int b = 0; b <= NoBCells; ++b) EXPECT_EQ(Bnestcoarse[b], 0);
}

TEST_F(NestingMapsTest, CoarseBedCellIsTheNearestCoarseColumnCorner) {
  // Column (i, j) stands for its north-east grid point (i - 1, j - 5); the coarse corners
  // lie at 2 and 4. Equal distances (x or y = 3) go to the corner found first (i, then j
  // ascending), which is the lower one; all lie within the radius of 2 m.
  build();
  computeBnestcoarse();
  const int expectedI[] = {2, 2, 2, 3};  // x = 1, 2, 3, 4
  const int expectedJ[] = {2, 2, 2, 3};  // y = 1, 2, 3, 4
  for (int i = 2; i <= 5; ++i)
    for (int j = 6; j <= 9; ++j)
      EXPECT_EQ(Bnestcoarse[pointbed[i][j]],
                pointbed[expectedI[i - 2]][expectedJ[j - 6]])
          << "column " << i << "," << j;
  for (int b = block[1].bcellstart; b <= block[1].bcellend; ++b) EXPECT_EQ(Bnestcoarse[b], 0);
}

TEST_F(NestingMapsTest, CoarseGridPointsPointToTheFinerPointOnTop) {
  // Coarse point (i, j) at (2 (i - 1), 2 (j - 1)) coincides with the nested point
  // (2 i - 1, 2 j + 3). The nested block has no finer block, so its points point nowhere.
  build();
  for (int i = 0; i <= xnumber + 1; ++i)
    for (int j = 0; j <= ynumber + 1; ++j) pointnest[i][j][0] = 99;
  computeBnestcoarse();
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) {
      EXPECT_EQ(pointnest[i][j][0], 2 * i - 1) << i << "," << j;
      EXPECT_EQ(pointnest[i][j][1], 2 * j + 3) << i << "," << j;
    }
  for (int i = 1; i <= 5; ++i)
    for (int j = 5; j <= 9; ++j) EXPECT_EQ(pointnest[i][j][0], 0) << i << "," << j;
  EXPECT_EQ(pointnest[7][7][0], 99);  // outside every block
}

TEST_F(NestingMapsTest, PartnerIsTheCoarseCellBeneathBeforeAndAfterTheBedCells) {
  struct Case {
    const char* name;
    int threads, bedCells;
  };
  const Case cases[] = {{"nearest in space", 0, 0},
                        {"nearest in space, threads", 2, 0},
                        {"through the coarse bed cell", 0, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    start();
    NoProcessesSolver = c.threads;
    FlagOpenMP[11] = 0;
    build();
    computeBnestcoarse();
    const int beds = NoBCells;
    NoBCells = c.bedCells ? beds : 0;
    for (int x = 0; x <= NoCells; ++x) Cinterpolnest[x] = 0;
    computeCinterpolnest();
    expectPartnersBeneath();
    for (int x = block[1].cellstart; x <= block[1].cellend; ++x) EXPECT_EQ(Cinterpolnest[x], 0);
  }
}

TEST_F(NestingMapsTest, PartnerHeightIsTheNearestOfTheCoarseColumnLowestOnTies) {
  build();
  computeBnestcoarse();
  // Coarse cells at -3 and -1 under the nested columns (2,6) and (5,9).
  for (int cc : {bottom(2, 2), bottom(3, 3)}) {
    Czcenter[cc] = -3.0;
    Czcenter[cc + 1] = -1.0;
  }
  const int a = bottom(2, 6), z = bottom(5, 9);
  Czcenter[a] = -2.0;  // as near to -3 as to -1: the lower
  Czcenter[a + 1] = -0.5;
  Czcenter[z] = -3.5;
  Czcenter[z + 1] = -2.1;
  computeCinterpolnest();
  EXPECT_EQ(Cinterpolnest[a], bottom(2, 2));
  EXPECT_EQ(Cinterpolnest[a + 1], bottom(2, 2) + 1);
  EXPECT_EQ(Cinterpolnest[z], bottom(3, 3));
  EXPECT_EQ(Cinterpolnest[z + 1], bottom(3, 3));
}

TEST_F(NestingMapsTest, NestedColumnWithoutCoarseBedCellTakesTheNearestCoarseCell) {
  build();
  computeBnestcoarse();
  for (int x = 0; x <= NoCells; ++x) Cinterpolnest[x] = 0;
  // (4,8) loses its coarse column; (2,6) finds its coarse column dry.
  Bnestcoarse[pointbed[4][8]] = 0;
  Bcellt[pointbed[2][2]] = 0;
  computeCinterpolnest();
  expectPartnersBeneath();
}

TEST_F(NestingMapsTest, NestedBedLevelIsCopiedToTheCoarsePointInsideTheNestedBlock) {
  // Only coarse point (2,2) at (2, 2) lies strictly inside the nested block's 0..4 square;
  // the nearest nested bottom-cell centres are at 0.71 m, the first found being column (3,7).
  build();
  zval[3][7][1] = -7.25;
  Surfaces[1][3][7] = 0.3;
  nestbedinterpol();
  EXPECT_EQ(zval[2][2][1], -7.25);
  EXPECT_EQ(Surfaces[1][2][2], 0.3);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j)
      if (i != 2 || j != 2) {
        EXPECT_EQ(zval[i][j][1], -4.0) << i << "," << j;
      }
  EXPECT_EQ(zval[3][7][1], -7.25);
  EXPECT_EQ(zval[2][6][1], -4.0);
}

}  // namespace
}  // namespace qorva
