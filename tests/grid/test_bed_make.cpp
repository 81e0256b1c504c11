// The bed-cell index on small hand-made grids whose columns, cells and depths are counted by
// hand: the numbering of the columns, the bed cell of every cell, the column arrays, the
// discharge groups' bed-cell lists, and calls that must change nothing.
#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <utility>
#include <vector>

#include "grid/grid.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva {
namespace {

void setBlock(int n, int i1, int i2, int j1, int j2) {
  block[n].i1 = i1;
  block[n].i2 = i2;
  block[n].j1 = j1;
  block[n].j2 = j2;
  NoBlocks = std::max(NoBlocks, n);
}

class BedMakeTest : public test::Scratch {
 protected:
  void SetUp() override {
    test::Scratch::SetUp();
    sizes();
  }

  static void sizes() {
    xnumber = 5;
    ynumber = 4;
    znumber = 6;
    MaxCeller = 60;
    MaxFlater = MaxPunkter = 100;
    MaxNester = 10;
    MaxConnFlate = 10;
    NoBlocks = 0;
  }

  static void allocate() {
    ASSERT_EQ(sialloc(), 0);
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
    std::filesystem::remove("boogie");  // the allocation report
    for (int i = 0; i <= xnumber + 1; ++i)
      for (int j = 0; j <= ynumber + 1; ++j) armap[i][j] = 10.0 * i + j;
  }

  // Appends the cells of column (i, j), bottom first, with the given heights (m) above a bed
  // at 0, linked upward as the generator links them.
  static void column(int i, int j, std::initializer_list<double> heights) {
    const int first = NoCells + 1;
    zval[i][j][0] = first;
    double z = 0;
    for (double h : heights) {
      const int c = ++NoCells;
      Ckdist[c] = 0.5 * h;
      Czcenter[c] = z + 0.5 * h;
      z += h;
      if (c > first) {
        Ccellb[c] = c - 1;
        Ccellt[c - 1] = c;
      }
    }
  }
};

// Block 1 (columns i 1..2, j 1..3), a block passed over by the multigrid (skip 2), block 3
// (i 3..4, j 2..3) and a depth-averaged block over everything: ten bed cells, i outer, j inner.
void fourBlocks() {
  setBlock(1, 1, 2, 1, 3);
  setBlock(2, 3, 3, 1, 1);
  block[2].skip = 2;
  setBlock(3, 3, 4, 2, 3);
  setBlock(4, 1, 4, 1, 3);
  block[4].flag2D = 1;
}

TEST_F(BedMakeTest, ColumnsAreNumberedBlockByBlockWithIOuterAndJInner) {
  allocate();
  fourBlocks();
  BedMake();

  struct Expect {
    int i, j, b;
  };
  const Expect numbered[] = {{1, 1, 1}, {1, 2, 2}, {1, 3, 3}, {2, 1, 4}, {2, 2, 5},
                             {2, 3, 6}, {3, 2, 7}, {3, 3, 8}, {4, 2, 9}, {4, 3, 10}};
  EXPECT_EQ(NoBCells, 10);
  for (const Expect& e : numbered) {
    SCOPED_TRACE(testing::Message() << "column " << e.i << "," << e.j);
    EXPECT_EQ(pointbed[e.i][e.j], e.b);
    EXPECT_EQ(Bkooi[e.b], e.i);
    EXPECT_EQ(Bkooj[e.b], e.j);
    EXPECT_DOUBLE_EQ(Barea[e.b], 10.0 * e.i + e.j);
  }
  // The column of the skipped block, (4, 1) outside every block and the spare lines: none.
  for (const auto& [i, j] : std::vector<std::pair<int, int>>{{3, 1}, {4, 1}, {5, 2}, {0, 0}})
    EXPECT_EQ(pointbed[i][j], 0) << i << "," << j;
  const int starts[] = {0, 1, 7, 7, 11}, ends[] = {0, 6, 6, 10, 10};
  for (int n = 1; n <= 4; ++n) {
    EXPECT_EQ(block[n].bcellstart, starts[n]) << "block " << n;
    EXPECT_EQ(block[n].bcellend, ends[n]) << "block " << n;
  }
}

TEST_F(BedMakeTest, EveryCellCarriesTheBedCellOfItsColumnAndEachColumnItsCellsAndDepth) {
  allocate();
  fourBlocks();
  column(1, 2, {0.5, 1.0, 1.5});  // cells 1..3, bed cell 2, depth 3
  column(2, 3, {2.0});            // cell 4, bed cell 6
  column(3, 1, {1.0, 1.0});       // cells 5, 6 in the skipped block: no bed cell
  column(4, 3, {0.25, 0.25});     // cells 7, 8, bed cell 10
  FlagGridHasChanged = FlagNeedsToBeInterpolated = 1;
  BedMake();

  const int cellBed[] = {0, 2, 2, 2, 6, 0, 0, 10, 10};
  for (int c = 0; c <= 8; ++c) EXPECT_EQ(Cbed[c], cellBed[c]) << "cell " << c;
  struct Col {
    int b, bottom, cells;
    double depth;
  };
  const Col cols[] = {{2, 1, 3, 3.0}, {6, 4, 1, 2.0}, {10, 7, 2, 0.5}, {1, 0, 0, 0.0},
                      {9, 0, 0, 0.0}};
  for (const Col& k : cols) {
    SCOPED_TRACE(testing::Message() << "bed cell " << k.b);
    EXPECT_EQ(Bcellt[k.b], k.bottom);
    EXPECT_EQ(Bnocells[k.b], k.cells);
    EXPECT_DOUBLE_EQ(Bdepth[k.b], k.depth);
  }
  // The first call takes every column as newly wet; both flags are down afterwards.
  for (int b = 1; b <= 10; ++b) {
    EXPECT_EQ(Bnocells_old[b], 0);
    EXPECT_EQ(Bcellt_old[b], 0);
  }
  EXPECT_EQ(FlagGridHasChanged, 0);
}

TEST_F(BedMakeTest, LaterCallsKeepTheNumberingAndSnapshotTheReplacedColumns) {
  allocate();
  setBlock(1, 1, 2, 1, 2);  // bed cells (1,1) 1, (1,2) 2, (2,1) 3, (2,2) 4
  column(1, 1, {1.0, 1.0});
  column(2, 2, {3.0});
  FlagGridHasChanged = 1;
  BedMake();
  EXPECT_EQ(Bcellt[1], 1);
  EXPECT_EQ(Bcellt[4], 3);

  // A regeneration: (1, 1) falls dry, (2, 2) gets two cells, (1, 2) becomes wet. The blocks
  // now cover more columns, but the numbering of the first call stays.
  for (int c = 1; c <= NoCells; ++c) Ccellt[c] = Ccellb[c] = 0;
  NoCells = 0;
  zval[1][1][0] = 0;
  column(1, 2, {0.5});
  column(2, 2, {1.0, 2.0});
  setBlock(1, 1, 3, 1, 2);
  FlagGridHasChanged = 1;
  BedMake();
  EXPECT_EQ(NoBCells, 4);
  EXPECT_EQ(pointbed[3][1], 0);
  const int oldBottom[] = {0, 1, 0, 0, 3}, oldCount[] = {0, 2, 0, 0, 1};
  const int bottom[] = {0, 0, 1, 0, 2}, count[] = {0, 0, 1, 0, 2};
  const double depth[] = {0, 0, 0.5, 0, 3.0};
  for (int b = 1; b <= 4; ++b) {
    SCOPED_TRACE(testing::Message() << "bed cell " << b);
    EXPECT_EQ(Bcellt_old[b], oldBottom[b]);
    EXPECT_EQ(Bnocells_old[b], oldCount[b]);
    EXPECT_EQ(Bcellt[b], bottom[b]);
    EXPECT_EQ(Bnocells[b], count[b]);
    EXPECT_DOUBLE_EQ(Bdepth[b], depth[b]);
    // Kept for the next regeneration: the depth of the grid just indexed.
    EXPECT_DOUBLE_EQ(Bdepth_old[b], depth[b]);
  }
  EXPECT_EQ(Cbed[1], 2);
  EXPECT_EQ(Cbed[2], 4);
  EXPECT_EQ(Cbed[3], 4);
  EXPECT_EQ(Cbed[4], 0);
}

TEST_F(BedMakeTest, DischargeGroupsListTheBedCellsOfTheirBottomCellsOnce) {
  FlagRemovePonds = 1;
  allocate();
  setBlock(1, 1, 2, 1, 2);
  column(1, 1, {1.0, 1.0});  // cells 1, 2; bed cell 1
  column(2, 1, {1.0});       // cell 3; bed cell 3
  column(2, 2, {1.0, 1.0});  // cells 4, 5; bed cell 4
  // Surfaces 1..4: west of cell 1 (cell in the second slot), west of cell 2 (not a bottom
  // cell), east of cell 3, east of cell 4; surface 5 has no cell.
  Fcell2[1] = 1;
  Fcell2[2] = 2;
  Fcell1[3] = 3;
  Fcell1[4] = 4;
  DischargeGroup& g1 = DischargeStruct[1];
  // The lists hold entries 0..surfaceNo-1, as the group builders fill them.
  g1.surfaceNo = 3;
  g1.surfaceList[0] = 1;
  g1.surfaceList[1] = 2;
  g1.surfaceList[2] = 3;
  g1.surfaceList[3] = 4;  // past the count: not read
  DischargeGroup& g2 = DischargeStruct[2];
  g2.surfaceNo = 2;
  g2.surfaceList[0] = 5;
  g2.surfaceList[1] = 4;
  BedMake();
  EXPECT_EQ(g1.bedCellList[0], 2);
  EXPECT_EQ(g1.bedCellList[1], 1);
  EXPECT_EQ(g1.bedCellList[2], 3);
  EXPECT_EQ(g2.bedCellList[0], 1);
  EXPECT_EQ(g2.bedCellList[1], 4);
  EXPECT_EQ(DischargeStruct[3].bedCellList[0], 0);

  // Built once: the lists stay while group 1's is not empty.
  g2.surfaceList[1] = 3;
  BedMake();
  EXPECT_EQ(g2.bedCellList[1], 4);
}

TEST_F(BedMakeTest, WithoutPondRemovalTheGroupsGetNoBedCellList) {
  allocate();
  setBlock(1, 1, 1, 1, 1);
  column(1, 1, {1.0});
  Fcell1[1] = 1;
  DischargeStruct[1].surfaceNo = 1;
  DischargeStruct[1].surfaceList[0] = 1;
  BedMake();
  EXPECT_EQ(DischargeStruct[1].bedCellList[0], 0);
}

TEST_F(BedMakeTest, ACallWithoutRegenerationChangesNoCellVariable) {
  TimeStep = 1.0;  // a run with a time step keeps the _old arrays
  FlagTFS2 = 1;    // and the water-level changes per column
  lnumber = 2;
  allocate();
  setBlock(1, 1, 2, 1, 2);
  column(1, 1, {1.0, 1.0});
  column(1, 2, {0.5, 0.5, 1.0});
  column(2, 2, {2.0});
  // The state a finished transfer leaves: flags down, _old equal to the current values.
  BedMake();
  std::vector<Table1<double>*> fields = {&Cxvel,     &Cyvel,      &Czvel,     &Cpres,
                                         &Ckinen,    &Cepsilon,   &CinvAp,    &Cxvel_old,
                                         &Cyvel_old, &Czvel_old,  &Cpres_old, &Ckinen_old,
                                         &Cepsilon_old, &CinvAp_old};
  for (int c = 1; c <= NoCells; ++c) {
    for (std::size_t f = 0; f < fields.size(); ++f) (*fields[f])[c] = 0.1 * c + f;
    for (int l = 0; l <= 2; ++l) Cconc[l][c] = Cconc_old[l][c] = 0.01 * c + 0.001 * l;
  }
  FlagGridHasChanged = FlagNeedsToBeInterpolated = 0;
  auto snapshot = [&] {
    std::vector<double> v;
    for (int c = 0; c < MaxCeller; ++c) {
      for (auto* t : fields) v.push_back((*t)[c]);
      for (int l = 0; l <= 2; ++l) v.push_back(Cconc[l][c]), v.push_back(Cconc_old[l][c]);
      v.push_back(Cbed[c]);
    }
    for (int b = 0; b <= NoBCells; ++b)
      v.insert(v.end(), {double(Bcellt[b]), double(Bnocells[b]), Bdepth[b], double(Bcellt_old[b]),
                         double(Bnocells_old[b])});
    return v;
  };
  const std::vector<double> before = snapshot();
  for (int b = 1; b <= NoBCells; ++b) Bdeltah[b] = 0.3;
  BedMake();
  BedMake();
  EXPECT_EQ(snapshot(), before);
  for (int b = 1; b <= NoBCells; ++b) EXPECT_EQ(Bdeltah[b], 0.0) << b;
}

TEST_F(BedMakeTest, TooManyColumnsForTheBedCellTablesEndTheRun) {
  allocate();
  // 8 x 7 bed cells can be held ((xnumber+3)(ynumber+3) - 1 = 55); three overlapping blocks of
  // 20 columns need 60.
  for (int n = 1; n <= 3; ++n) setBlock(n, 1, 5, 1, 4);
  try {
    BedMake();
    FAIL() << "the run goes on";
  } catch (const RunEnd& e) {
    EXPECT_EQ(e.status, 1);
  }
  EXPECT_EQ(log(), "Error: the grid blocks hold more columns than the 55 bed cells\n");
}

TEST_F(BedMakeTest, ABlockOutsideTheGridEndsTheRunBeforeAnyIndexIsWritten) {
  allocate();
  setBlock(1, 1, 6, 1, 2);
  try {
    BedMake();
    FAIL() << "the run goes on";
  } catch (const RunEnd& e) {
    EXPECT_EQ(e.status, 1);
  }
  EXPECT_EQ(NoBCells, 0);
  EXPECT_EQ(log(),
            "Error: grid block 1 (i 1..6, j 1..2) lies outside the grid of the G 1 data set "
            "(5 4)\n");
}


// Debug lines of F 520 and the pause points of F 156: 5 stops before the numbering, 6 after
// the index and before the geometry is kept for the next regeneration.
TEST_F(BedMakeTest, DebugLinesAndPausePoints) {
  struct Case {
    int pause;
    int bedCells;
    double keptHalfHeight;
    const char* log;
  };
  const Case cases[] = {
      {0, 1, 0.5, "Start BedMake\nEnd BedMake\n"},
      {5, 0, 0.0, "Start BedMake\nRun stopped at pause point 5 (F 156)\n"},
      {6, 1, 0.0, "Start BedMake\nRun stopped at pause point 6 (F 156)\n"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << "pause " << k.pause);
    SetArraysZero();
    fresh();
    sizes();
    allocate();
    FlagExtraDebug = 1;
    PauseFlag = k.pause;
    setBlock(1, 1, 1, 1, 1);
    column(1, 1, {1.0});
    int status = 1000;
    try {
      BedMake();
    } catch (const RunEnd& e) {
      status = e.status;
    }
    EXPECT_EQ(status, k.pause == 0 ? 1000 : 1);
    EXPECT_EQ(NoBCells, k.bedCells);
    EXPECT_EQ(Ckdist_old[1], k.keptHalfHeight);
    EXPECT_EQ(log(), k.log);
  }
}

// The depth-averaged block appended last stands for the water columns below it: its cell of
// column (i, j), kept in num[i][j][1], carries the bed cell of that column.
TEST_F(BedMakeTest, DepthAveragedCellsCarryTheBedCellOfTheirColumn) {
  Hydrostatic = 1;
  allocate();
  setBlock(1, 1, 2, 1, 1);
  column(1, 1, {1.0, 1.0});  // cells 1, 2; bed cell 1
  column(2, 1, {1.0});       // cell 3; bed cell 2
  setBlock(2, 1, 2, 1, 1);
  block[2].flag2D = 1;
  block[2].cellstart = 4;
  block[2].cellend = 5;
  num[1][1][1] = 5;  // numbered j outer, i inner, so not in the order of the bed cells
  num[2][1][1] = 4;
  NoCells = 5;
  BedMake();
  EXPECT_EQ(NoBCells, 2);
  EXPECT_EQ(Cbed[5], 1);
  EXPECT_EQ(Cbed[4], 2);
  EXPECT_EQ(Bnocells[1], 2);  // the depth-averaged cell is no cell of the column
}
}  // namespace
}  // namespace qorva
