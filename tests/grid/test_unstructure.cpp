// The grid generator on small blocks whose cells, surfaces, points and links are counted by
// hand: numbering, links both ways, shared faces, bed cells, capacity failures and the marks
// made after the build.
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "grid/generator.h"
#include "grid/grid.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva {
namespace {

void emptyFolder() {
  for (const auto& e : std::filesystem::directory_iterator(std::filesystem::current_path()))
    std::filesystem::remove_all(e.path());
}

// A block of 3 x 3 columns (i, j = 2..4) on the grid lines 1..4, one metre apart, in a grid
// of G 1 6 6 11. Depth of each grid line by `depth(i, j)`: the water surface lies at 0 and the
// bed at minus the depth, so a negative depth puts the bed above the water.
class UnstructureTest : public test::Scratch {
 protected:
  void SetUp() override {
    test::Scratch::SetUp();
    fresh();
  }
  void TearDown() override {
    gridHold = holdRunForever;
    test::Scratch::TearDown();
  }

  // Start state of a new run in an emptied folder, for each case of a table.
  void fresh() {
    emptyFolder();
    SetArraysZero();
    setDefaults();
    gridHold = holdRunForever;
    stimet = 0;
    xnumber = ynumber = 6;
    znumber = 11;
    MaxCeller = 1000;
    MaxFlater = 2000;
    MaxPunkter = 2000;
  }

  // Allocates the structured arrays and lays out the block with the given line depths.
  void layout(const std::function<double(int, int)>& depth) {
    ASSERT_EQ(sialloc(), 0);
    NoBlocks = 1;
    block[1].i1 = 2;
    block[1].i2 = 4;
    block[1].j1 = 2;
    block[1].j2 = 4;
    block[1].bedfollow = 1;
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 4; ++j) {
        xval[i][j] = i - 1;
        yval[i][j] = j - 1;
        zval[i][j][1] = -depth(i, j);
        zval[i][j][znumber] = 0;
      }
  }

  static int run() {
    try {
      return Unstructure();
    } catch (const RunEnd& e) {
      return 1000 + e.status;
    }
  }

  // Bottom cell of column (i, j).
  static int bottom(int i, int j) { return static_cast<int>(zval[i][j][0]); }

  // Every link between two cells holds both ways and goes through one surface whose two
  // slots hold the two cells in side order; a side without a neighbour has a surface of its
  // own with the cell in the slot its side gives.
  static void expectConsistentLinks() {
    for (int c = 1; c <= NoCells; ++c) {
      struct Side {
        const Table1<int>& nb;
        const Table1<int>& back;
        const Table1<int>& surf;
        const Table1<int>& backSurf;
        bool first;  // the cell sits in Fcell1 (east, north, top) or in Fcell2
      };
      const Side sides[6] = {{Ccelle, Ccellw, Cflatee, Cflatew, true},
                             {Ccellw, Ccelle, Cflatew, Cflatee, false},
                             {Ccelln, Ccells, Cflaten, Cflates, true},
                             {Ccells, Ccelln, Cflates, Cflaten, false},
                             {Ccellt, Ccellb, Cflatet, Cflateb, true},
                             {Ccellb, Ccellt, Cflateb, Cflatet, false}};
      for (const Side& s : sides) {
        const int d = s.nb[c];
        const int f = s.surf[c];
        ASSERT_GT(f, 0) << "cell " << c;
        ASSERT_LE(f, NoSurfaces);
        if (d > 0) {
          EXPECT_EQ(s.back[d], c) << "cell " << c << " neighbour " << d;
          EXPECT_EQ(s.backSurf[d], f) << "cell " << c << " neighbour " << d;
          EXPECT_EQ(Fcell1[f], s.first ? c : d);
          EXPECT_EQ(Fcell2[f], s.first ? d : c);
        } else {
          EXPECT_EQ(Fcell1[f], s.first ? c : 0) << "cell " << c;
          EXPECT_EQ(Fcell2[f], s.first ? 0 : c) << "cell " << c;
        }
      }
      if (Ccellt[c] > 0) {
        EXPECT_EQ(Ccellt[c], c + 1);
      }
    }
  }
};

double flat(int, int) { return 10.0; }
// Lines i = 1, 2 are 2 m deep (5 levels), lines i = 3, 4 0.5 m (3 levels) with the depth
// scale held at 10 m: columns i = 2, 3 get 4 cells, columns i = 4 get 2.
double stepped(int i, int) { return i <= 2 ? 2.0 : 0.5; }

struct CountCase {
  const char* name;
  std::function<void()> options;
  std::function<double(int, int)> depth;
  int cells, surfaces, points;
};

TEST_F(UnstructureTest, CountsOfCellsSurfacesAndPointsFollowTheColumns) {
  const std::vector<CountCase> cases = {
      // 9 columns of 9 cells: faces 4*3*9 + 3*4*9 + 9*10, points 16 lines * 10 levels.
      {"flat bed", [] {}, flat, 81, 306, 160},
      {"rows numbered from the north", [] { FlagUnstrucDir = 1; }, flat, 81, 306, 160},
      // 24 + 6 cells; faces 39 horizontal, 14 per row in i, 16 + 16 + 8 in j.
      {"columns of 4 and 2 cells", [] { MaxDepth209 = 10; }, stepped, 30, 121, 72},
      // Column (3, 3) removed: 8 columns; the line (3, 3) gets its points twice, once from
      // the column east of the hole and once from the column north of it.
      {"removed column",
       [] {
         OutBlockNo = 1;
         OutBlock[1] = {0, 3, 3, 3, 3, 1, 11};
       },
       flat, 72, 296, 170},
      {"method without cells", [] { UMethod = 20; }, flat, 0, 0, 0},
  };
  for (const CountCase& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    k.options();
    layout(k.depth);
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(NoCells, k.cells);
    EXPECT_EQ(NoSurfaces, k.surfaces);
    EXPECT_EQ(NoPoints, k.points);
    EXPECT_EQ(NoCells0, k.cells);
    EXPECT_EQ(NoSurfaces0, k.surfaces);
    EXPECT_EQ(WCEnd, k.cells);
    EXPECT_EQ(WFEnd, k.surfaces);
    if (k.cells > 0) {
      EXPECT_EQ(block[1].cellstart, 1);
      EXPECT_EQ(block[1].cellend, k.cells);
      EXPECT_EQ(block[1].surfend, k.surfaces);
      EXPECT_EQ(block[1].pointend, k.points);
      EXPECT_EQ(block[1].inwork, 1);
    }
    expectConsistentLinks();
  }
}

TEST_F(UnstructureTest, ColumnsAreNumberedRowByRowFromTheBottomUp) {
  layout(flat);
  ASSERT_EQ(run(), 1);
  for (int j = 2; j <= 4; ++j)
    for (int i = 2; i <= 4; ++i) {
      const int first = ((j - 2) * 3 + (i - 2)) * 9 + 1;
      EXPECT_EQ(bottom(i, j), first) << i << "," << j;
      EXPECT_EQ(ant[i][j], 9);
      for (int k = 3; k <= 11; ++k) EXPECT_EQ(num[i][j][k], first + k - 3);
      EXPECT_EQ(num[i][j][2], 0);
      EXPECT_EQ(Ccellb[first], 0);
      EXPECT_EQ(Ccellt[first + 8], 0);
      // East and north neighbours at the same level, none beyond the block edge.
      EXPECT_EQ(Ccelle[first], i < 4 ? first + 9 : 0);
      EXPECT_EQ(Ccelln[first], j < 4 ? first + 27 : 0);
      EXPECT_EQ(Ccellw[first], i > 2 ? first - 9 : 0);
      EXPECT_EQ(Ccells[first], j > 2 ? first - 27 : 0);
    }
  // Dry spare lines around the block hold no cell.
  EXPECT_EQ(bottom(5, 3), 0);
  EXPECT_EQ(bottom(1, 1), 0);

  // Numbered from the north row down; the cells are still made from the south row up, so
  // the south row's cells 55.. hand their north faces to the middle row's cells 28...
  FlagUnstrucDir = 1;
  ASSERT_EQ(run(), 1);
  EXPECT_EQ(bottom(2, 4), 1);
  EXPECT_EQ(bottom(2, 3), 28);
  EXPECT_EQ(bottom(2, 2), 55);
  EXPECT_EQ(Ccelln[55], 28);
  EXPECT_EQ(Ccells[28], 55);
  EXPECT_EQ(Fcell1[Cflaten[55]], 55);
  EXPECT_EQ(Fcell2[Cflaten[55]], 28);
  EXPECT_EQ(block[1].cellstart, 1);
  EXPECT_EQ(block[1].cellend, 81);
}

TEST_F(UnstructureTest, LevelsAreSpacedEvenlyFromTheSurfaceToTheBed) {
  layout(flat);
  ASSERT_EQ(run(), 1);
  // 10 levels on every line of a 10 m column: cell n spans -10 + 10(n-1)/9 .. -10 + 10n/9.
  const int c0 = bottom(3, 3);
  for (int n = 1; n <= 9; ++n) {
    const int c = c0 + n - 1;
    const int lower[4] = {Cpoint1[c], Cpoint2[c], Cpoint3[c], Cpoint4[c]};
    const int upper[4] = {Cpoint5[c], Cpoint6[c], Cpoint7[c], Cpoint8[c]};
    for (int m = 0; m < 4; ++m) {
      EXPECT_NEAR(Pz[lower[m]], -10 + 10.0 * (n - 1) / 9, 1e-6) << "cell " << n;
      EXPECT_NEAR(Pz[upper[m]], -10 + 10.0 * n / 9, 1e-6) << "cell " << n;
    }
  }
  // Corner 1 of column (3, 3) on grid line (2, 2), corner 3 on grid line (3, 3).
  EXPECT_DOUBLE_EQ(Px[Cpoint1[c0]], 1.0);
  EXPECT_DOUBLE_EQ(Py[Cpoint1[c0]], 1.0);
  EXPECT_DOUBLE_EQ(Px[Cpoint3[c0]], 2.0);
  EXPECT_DOUBLE_EQ(Py[Cpoint3[c0]], 2.0);
}

TEST_F(UnstructureTest, ColumnsOfDifferentHeightsJoinAtTheBottomAndFromTheTop) {
  MaxDepth209 = 10;
  layout(stepped);
  ASSERT_EQ(run(), 1);
  // Row j = 2: column (2,2) cells 1-4, (3,2) cells 5-8, (4,2) cells 9-10.
  ASSERT_EQ(bottom(3, 2), 5);
  ASSERT_EQ(bottom(4, 2), 9);
  EXPECT_EQ(ant[4][2], 2);
  const int east[4] = {9, 0, 0, 10};
  for (int n = 0; n < 4; ++n) EXPECT_EQ(Ccelle[5 + n], east[n]) << "cell " << 5 + n;
  EXPECT_EQ(Ccellw[9], 5);
  EXPECT_EQ(Ccellw[10], 8);
  EXPECT_EQ(Ccelln[9], 19);
  // The shared faces carry both cells; the faces of the cells between have one.
  EXPECT_EQ(Cflatee[5], Cflatew[9]);
  EXPECT_EQ(Cflatee[8], Cflatew[10]);
  EXPECT_EQ(Fcell2[Cflatee[6]], 0);
  EXPECT_EQ(Fcell2[Cflatee[7]], 0);
  // On the 3-level line (3, 1) the bottom cell of the 4-cell column reaches half the depth
  // and the two cells above it have no height there; on the 5-level line (2, 1) the levels
  // lie a quarter of the depth apart.
  EXPECT_NEAR(Pz[Cpoint2[5]], -0.5, 1e-9);
  EXPECT_NEAR(Pz[Cpoint6[5]], -0.25, 1e-9);
  for (int c : {6, 7}) {
    EXPECT_NEAR(Pz[Cpoint2[c]], -0.25, 1e-9);
    EXPECT_NEAR(Pz[Cpoint6[c]], -0.25, 1e-9);
  }
  EXPECT_NEAR(Pz[Cpoint6[8]], 0.0, 1e-9);
  EXPECT_NEAR(Pz[Cpoint1[5]], -2.0, 1e-9);
  EXPECT_NEAR(Pz[Cpoint5[5]], -1.5, 1e-9);
  EXPECT_NEAR(Pz[Cpoint5[7]], -0.5, 1e-9);
}

TEST_F(UnstructureTest, BothDryEndLinesMakeAWallUnderTheSecondGridOption) {
  // Lines (2, 2) and (2, 3) have their bed above the water: the side between columns (2, 3)
  // and (3, 3) has both end lines dry.
  auto depth = [](int i, int j) { return i == 2 && (j == 2 || j == 3) ? -0.5 : 10.0; };
  for (int option : {0, 10}) {
    SCOPED_TRACE(option);
    fresh();
    FlagGridStab2 = option;
    layout(depth);
    ASSERT_EQ(run(), 1);
    const int west = bottom(2, 3), east = bottom(3, 3);
    ASSERT_EQ(ant[2][3], 9);
    ASSERT_EQ(ant[3][3], 9);
    for (int n = 0; n < 9; ++n) {
      EXPECT_EQ(Ccelle[west + n], option == 10 ? 0 : east + n);
      EXPECT_EQ(Ccellw[east + n], option == 10 ? 0 : west + n);
    }
    EXPECT_EQ(NoSurfaces, option == 10 ? 315 : 306);
    expectConsistentLinks();
  }
}

TEST_F(UnstructureTest, SlopeExtensionLinksStayInsideTheNeighbouringColumn) {
  // Grid line (3, 3) is 1 m deep (4 levels) among 10 m lines. Column (3, 3) has it as its
  // north-east corner: the plane through its lowest corner leaves that corner 4.5 m above
  // it, 13 level steps of 1/3 m, so the column's extension count is 13 while it has 9
  // cells. Column (4, 3) east of it also counts 13 and links all its cells to it: to its top
  // cell 45, not to 13 cells above its bottom cell 37, which would be cell 50 of column
  // (4, 3) itself. Column (3, 4) north of it counts 0 (its plane runs through the raised
  // corner): its bottom cell links to cell 45 likewise, the others level by level.
  FlagGridStab5 = 4;
  layout([](int i, int j) { return i == 3 && j == 3 ? 1.0 : 10.0; });
  ASSERT_EQ(run(), 1);
  ASSERT_EQ(bottom(3, 3), 37);
  ASSERT_EQ(ant[3][3], 9);
  EXPECT_EQ(vv[3][3], 13);
  EXPECT_EQ(vv[4][3], 13);
  EXPECT_EQ(vv[3][4], 0);
  for (int n = 0; n < 9; ++n) {
    EXPECT_EQ(Ccellw[bottom(4, 3) + n], 45) << n;
    EXPECT_EQ(Ccells[bottom(3, 4) + n], n == 0 ? 45 : 37 + n) << n;
  }
  // Every link of every cell goes into the column on that side.
  for (int i = 2; i <= 4; ++i)
    for (int j = 2; j <= 4; ++j)
      for (int c = bottom(i, j); c < bottom(i, j) + ant[i][j]; ++c) {
        const struct {
          int d, ni, nj;
        } sides[4] = {{Ccelle[c], i + 1, j}, {Ccellw[c], i - 1, j}, {Ccelln[c], i, j + 1},
                      {Ccells[c], i, j - 1}};
        for (const auto& s : sides)
          if (s.d > 0) {
            EXPECT_GE(s.d, bottom(s.ni, s.nj)) << "cell " << c;
            EXPECT_LT(s.d, bottom(s.ni, s.nj) + ant[s.ni][s.nj]) << "cell " << c;
          }
      }
}

TEST_F(UnstructureTest, BedCellsAreNumberedOnceAndCarriedByEveryCellOfTheColumn) {
  layout(flat);
  ASSERT_EQ(run(), 1);
  for (int i = 2; i <= 4; ++i)
    for (int j = 2; j <= 4; ++j) {
      const int b = (i - 2) * 3 + (j - 2) + 1;  // i outer, j inner
      EXPECT_EQ(pointbed[i][j], b);
      EXPECT_EQ(Bkooi[b], i);
      EXPECT_EQ(Bkooj[b], j);
      for (int c = bottom(i, j); c < bottom(i, j) + 9; ++c) EXPECT_EQ(Cbed[c], b);
    }
  EXPECT_EQ(Cbed[0], 0);
  // A later build keeps the numbering and only refreshes the cells' bed cells.
  pointbed[2][2] = 7;
  Iter = 5;
  ASSERT_EQ(run(), 1);
  EXPECT_EQ(pointbed[2][2], 7);
  EXPECT_EQ(Cbed[bottom(2, 2)], 7);
  Iter = 0;
  ASSERT_EQ(run(), 1);
  EXPECT_EQ(pointbed[2][2], 1);
  EXPECT_EQ(Cbed[bottom(2, 2)], 1);
}

TEST_F(UnstructureTest, DepthScaleIsTheRunningLargestDepthUnlessFixed) {
  layout(flat);
  ASSERT_EQ(run(), 1);
  EXPECT_DOUBLE_EQ(MaxDepth, 10.0);
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 4; ++j) zval[i][j][1] = -6.0;
  ASSERT_EQ(run(), 1);
  EXPECT_DOUBLE_EQ(MaxDepth, 10.0);
  MaxDepth209 = 5.0;
  ASSERT_EQ(run(), 1);
  EXPECT_DOUBLE_EQ(MaxDepth, 5.0);
}

struct CapacityCase {
  const char* name;
  int maxCeller, maxFlater, maxPunkter;
  int result, surfaces, points;
};

// The flat block needs 81 cells, 306 surfaces and 160 points; the first column (cells 1-9)
// makes 46 surfaces and 40 points, the second one 37 and 20 more, the first cell of the
// third 5 and 4; the last cell adds 3 surfaces and 1 point. A count may not reach the last
// entry of its table (capacity - 1): the build stops after the cell that reaches it, or before
// a cell that would not fit at all. The 81 cells of the block are counted before its first
// cell is made (6 surfaces, 8 points), so too few cells stop the build right after that cell.
TEST_F(UnstructureTest, TooSmallArraysStopAtTheLastEntryOrBeforeACellThatWouldNotFit) {
  const std::vector<CapacityCase> cases = {
      {"surfaces: cell 10 needs 5 more than the 46 made", 1000, 50, 2000, -81, 46, 40},
      {"points: cell 10 needs 4 more than the 40 made", 1000, 2000, 44, -81, 46, 40},
      {"cells: 81 counted against 20", 20, 2000, 2000, -81, 6, 8},
      {"cells: 81 counted reach the last entry 81", 82, 2000, 2000, -81, 6, 8},
      {"surfaces: one short for the last cell", 1000, 306, 2000, -303, 303, 159},
      {"points: cell 80 reaches the last entry 159", 1000, 2000, 160, -303, 303, 159},
      {"surfaces: the last cell reaches the last entry 306", 1000, 307, 2000, -306, 306, 160},
      {"points: the last cell reaches the last entry 160", 1000, 2000, 161, -306, 306, 160},
      {"counts two below every capacity fit", 83, 308, 162, 1, 306, 160},
  };
  for (const CapacityCase& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    MaxCeller = k.maxCeller;
    MaxFlater = k.maxFlater;
    MaxPunkter = k.maxPunkter;
    layout(flat);
    EXPECT_EQ(run(), k.result);
    EXPECT_EQ(NoSurfaces, k.surfaces);
    EXPECT_EQ(NoPoints, k.points);
    EXPECT_LT(NoSurfaces, MaxFlater);
    EXPECT_LT(NoPoints, MaxPunkter);
    const std::string report = log();
    if (k.result < 0) {
      EXPECT_NE(report.find("Error: Unstructured arrays are too small. Increase with the F 65 "
                            "data set.\n"),
                std::string::npos);
      EXPECT_NE(report.find(strf("NoPoints=%d, MaxPoints=%d\n", k.points, k.maxPunkter)),
                std::string::npos);
      EXPECT_NE(report.find(strf("NoSurface=%d, MaxFlater=%d\n", k.surfaces, k.maxFlater)),
                std::string::npos);
      EXPECT_NE(report.find(strf("NoCells=81, MaxCeller=%d\n", k.maxCeller)), std::string::npos);
      EXPECT_NE(report.find("the control file.\n\n"), std::string::npos);
      EXPECT_TRUE(fileExists("koosurf.1"));
      EXPECT_TRUE(fileExists("control.new"));
    } else {
      EXPECT_EQ(report.find("arrays are too small"), std::string::npos);
    }
  }
}

TEST_F(UnstructureTest, EmptyGridAndBlockAtTheLastRowAreReported) {
  layout(flat);
  UMethod = 20;
  EXPECT_EQ(run(), 1);
  EXPECT_NE(log().find("Warning: No cells were generated in grid\n"), std::string::npos);
  EXPECT_NE(log().find("you need need to modify the F 159 data set"), std::string::npos);
  EXPECT_EQ(mc_message, "Warning: No cells generated in grid. For 2D: remember F 159");

  fresh();
  ynumber = 4;
  layout(flat);
  EXPECT_EQ(run(), 1000 - 44);
  EXPECT_NE(log().find("Error in allocation of blocks: increase 2nd integer on G 1 data set\n"),
            std::string::npos);
}

TEST_F(UnstructureTest, BlockOutsideTheGridEndsTheRunBeforeAnyCell) {
  layout(flat);
  block[1].i2 = 7;
  EXPECT_EQ(run(), 1001);
  EXPECT_NE(log().find("Error: grid block 1 (i 2..7, j 2..4) lies outside the grid"),
            std::string::npos);
  EXPECT_EQ(NoCells, 0);
}

TEST_F(UnstructureTest, PausePointsHoldTheRunBeforeAndAfterTheBuild) {
  struct Held {};
  for (int point : {1, 30, 2}) {
    SCOPED_TRACE(point);
    fresh();
    gridHold = [](int) { throw Held{}; };
    PauseFlag = point;
    layout(flat);
    EXPECT_THROW(Unstructure(), Held);
    EXPECT_EQ(NoCells, point == 2 ? 81 : 0);
  }
}

TEST_F(UnstructureTest, CellsBesideAShorterColumnSeeTheNeighbourOfTheirBottomCell) {
  FlagPresGrad = 20;
  MaxDepth209 = 10;
  layout(stepped);
  ASSERT_EQ(run(), 1);
  // Cells 6 and 7 of column (3, 2) have no east neighbour; their bottom cell 5 sees cell 9.
  EXPECT_EQ(CcellAe[6], 9);
  EXPECT_EQ(CcellAe[7], 9);
  // Cell 8 has its own east neighbour; the bottom cell is not an upper cell.
  EXPECT_EQ(CcellAe[8], 0);
  EXPECT_EQ(CcellAe[5], 0);
  // Sides that the bottom cell has no neighbour on either stay 0.
  EXPECT_EQ(CcellAs[6], 0);
  EXPECT_EQ(CcellAw[6], 0);
}

// Hand-made links for the marks that need no generated grid.
class UnstructurePostBuild : public test::Scratch {
 protected:
  void SetUp() override {
    test::Scratch::SetUp();
    fresh();
  }
  void fresh() {
    emptyFolder();
    SetArraysZero();
    setDefaults();
    xnumber = ynumber = 6;
    znumber = 11;
    MaxCeller = 50;
    MaxFlater = 100;
    MaxPunkter = 100;
    ASSERT_EQ(sialloc(), 0);
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
  }
  static void stack(int first, int count) {
    for (int c = first; c < first + count - 1; ++c) {
      Ccellt[c] = c + 1;
      Ccellb[c + 1] = c;
    }
  }
};

TEST_F(UnstructurePostBuild, DeadEndsArePeeledFromTheirClosedEnd) {
  // A column of three cells closed on every side: all three are dead ends.
  NoCells = 3;
  stack(1, 3);
  markDeadEnds();
  for (int c = 1; c <= 3; ++c) EXPECT_EQ(Conecell[c], 1) << c;
}

TEST_F(UnstructurePostBuild, OneOpenNeighbourMarksACellUnlessItIsOnADischargeGroup) {
  // Cells 2, 3 over each other beside cells 4, 5: every one has two open neighbours. Cell 1
  // lies below cell 2 and has that one neighbour only.
  for (int inout : {0, 1}) {
    SCOPED_TRACE(inout);
    fresh();
    NoCells = 5;
    stack(1, 3);
    stack(4, 2);
    Ccelle[2] = 4; Ccellw[4] = 2;
    Ccelle[3] = 5; Ccellw[5] = 3;
    Cinout[1] = inout;
    markDeadEnds();
    EXPECT_EQ(Conecell[1], inout == 1 ? 0 : 1);
    for (int c = 2; c <= 5; ++c) EXPECT_EQ(Conecell[c], 0) << c;
  }
}

TEST_F(UnstructurePostBuild, PrintItemsFindTheirCellByLevelAlongTheColumn) {
  // Column (3, 3) holds cells 4, 5, 6 from the bottom up; column (4, 3) is dry.
  NoCells = 6;
  stack(4, 3);
  zval[3][3][0] = 4;
  struct Item {
    int i, j, level;
    bool used;
    int cell;
  };
  const Item items[] = {
      {3, 3, -1, true, 4}, {3, 3, 0, true, 5}, {3, 3, 1, true, 6},
      {3, 3, 2, true, 6},  {3, 3, 9, true, 6}, {4, 3, 0, true, 0},
      {0, 3, 0, false, -7}, {8, 3, 0, false, -7}, {3, -1, 0, false, -7},
  };
  for (const Item& it : items) {
    int cell = -7;
    EXPECT_EQ(printItemCell(it.i, it.j, it.level, cell), it.used)
        << it.i << "," << it.j << " level " << it.level;
    EXPECT_EQ(cell, it.cell) << it.i << "," << it.j << " level " << it.level;
  }
  EXPECT_NE(log().find("Warning: print item at column (8,3) lies outside the grid"),
            std::string::npos);
  EXPECT_EQ(log().find("column (0,3)"), std::string::npos);
}

TEST_F(UnstructurePostBuild, BedStatisticsSumDepthBedDeviationAndFluxRatio) {
  BedStatI1 = BedStatI2 = 2;
  BedStatJ1 = BedStatJ2 = 2;
  SetArraysZero();
  ASSERT_EQ(sialloc(), 0);
  ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
  // Grid line (2, 2): bed 1, surface 4, reference bed 1.5. Column of cells 5, 6, 7: the top
  // surfaces of 5 and 6 carry |2 / 1| + |-3 / 1.5| = 4 per unit area; speeds 5 and 0.
  zval[2][2][1] = 1.0;
  zval[2][2][znumber] = 4.0;
  Surfaces[0][2][2] = 1.5;
  zval[2][2][0] = 5;
  stack(5, 3);
  Cflatet[5] = 11;
  Cflatet[6] = 12;
  Fflux[11] = 2.0; Faz[11] = 1.0;
  Fflux[12] = -3.0; Faz[12] = 1.5;
  Cxvel[5] = 3.0; Cyvel[5] = 4.0;
  bedStatistics();
  bedStatistics();
  EXPECT_EQ(BedStatNo, 2);
  EXPECT_DOUBLE_EQ(bedStatDepth[2][2], 6.0);
  EXPECT_DOUBLE_EQ(bedStatBed[2][2], 2.0);
  EXPECT_DOUBLE_EQ(bedStatDev[2][2], 1.0);
  EXPECT_DOUBLE_EQ(bedStatK[2][2], 1.6);
  // Water at rest gives no ratio to add.
  Cxvel[5] = Cyvel[5] = 0;
  bedStatistics();
  EXPECT_DOUBLE_EQ(bedStatK[2][2], 1.6);
  EXPECT_DOUBLE_EQ(bedStatDepth[2][2], 9.0);
}

TEST_F(UnstructureTest, DryCrossSectionInDebugModeLogsItsProfileAndEndsTheRun) {
  // Lines i = 2 and 3 have their bed 0.5 m above the water, so the columns i = 3 are dry.
  debugging = 'D';
  FlagGridStab1 = 0;
  layout([](int i, int) { return i == 2 || i == 3 ? -0.5 : 10.0; });
  EXPECT_GT(run(), 1000 - 100);  // the run ends
  const std::string report = log();
  EXPECT_NE(report.find("Error: Grid split for cross-section no 3\n"
                        "Cross-section profile: zval[1],zval[i][znumber],zval[i-1][znumber],"
                        "Bminwaterlevel\n"
                        "2 4 0 0.500000 0.000000 0.000000\n"
                        "3 5 0 0.500000 0.000000 0.000000\n"
                        "4 6 0 0.500000 0.000000 0.000000\n"),
            std::string::npos);
  EXPECT_EQ(report.find("cross-section no 2\n"), std::string::npos);
  EXPECT_EQ(report.find("cross-section no 4\n"), std::string::npos);
}

}  // namespace
}  // namespace qorva
