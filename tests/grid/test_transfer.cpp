// Transfer of the cell variables to a regenerated grid: hand-made columns that keep, gain or
// lose cells, worked out level by level; the sediment content of a column before and after a
// regeneration by the grid generator; deposits of columns that fall dry; the depth of the
// replaced grid when a step of the generator has borrowed the depth array.
#include <cmath>
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

class TransferTest : public test::Scratch {
 protected:
  void SetUp() override {
    test::Scratch::SetUp();
    fresh();
  }

  // A run with a time step, so the values of the previous time level exist.
  void fresh() {
    test::Scratch::fresh();
    SetArraysZero();
    xnumber = 4;
    ynumber = 3;
    znumber = 8;
    MaxCeller = 40;
    MaxFlater = MaxPunkter = 100;
    MaxNester = 10;
    MaxConnFlate = 10;
    TimeStep = 1.0;
    NoBlocks = 0;
  }

  static void allocate() {
    ASSERT_EQ(sialloc(), 0);
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
  }

  // One block of the columns i = 1..columns, j = 1.
  static void row(int columns) {
    NoBlocks = 1;
    block[1].i1 = block[1].j1 = block[1].j2 = 1;
    block[1].i2 = columns;
  }

  // Appends the cells of column (i, 1), bottom first, with the given heights (m) above a bed
  // at 0; an empty list leaves the column dry.
  static void column(int i, const std::vector<double>& heights) {
    zval[i][1][0] = heights.size() > 0 ? NoCells + 1 : 0;
    double z = 0;
    for (double h : heights) {
      const int c = ++NoCells;
      Ckdist[c] = 0.5 * h;
      Czcenter[c] = z + 0.5 * h;
      z += h;
      if (c > static_cast<int>(zval[i][1][0])) {
        Ccellb[c] = c - 1;
        Ccellt[c - 1] = c;
      }
    }
  }

  // What the generator leaves before it builds a new grid: no links, no cells.
  static void clearGrid() {
    for (int c = 0; c < MaxCeller; ++c) Ccellt[c] = Ccellb[c] = 0;
    for (int i = 0; i <= xnumber + 1; ++i) zval[i][1][0] = 0;
    NoCells = 0;
  }

  // The bed-cell index after a build: the generator raised both flags.
  static void indexAfterBuild() {
    FlagGridHasChanged = FlagNeedsToBeInterpolated = 1;
    BedMake();
  }

  // What the free-surface update does before it regenerates the grid: the current values
  // become the values of the previous time level.
  static void keepAsPrevious() {
    for (int c = 1; c <= NoCells; ++c) {
      Cxvel_old[c] = Cxvel[c];
      Cyvel_old[c] = Cyvel[c];
      Czvel_old[c] = Czvel[c];
      Cpres_old[c] = Cpres[c];
      Ckinen_old[c] = Ckinen[c];
      Cepsilon_old[c] = Cepsilon[c];
      CinvAp_old[c] = CinvAp[c];
      for (int l = 0; l <= lnumber; ++l) Cconc_old[l][c] = Cconc[l][c];
    }
  }

  // The seven values of cell c derived from one number, so one number per level describes
  // them all: u, -u, u/10, 10u, u/100, u/1000 and 5u.
  static void setLevel(int c, double u) {
    Cxvel[c] = u;
    Cyvel[c] = -u;
    Czvel[c] = 0.1 * u;
    Cpres[c] = 10 * u;
    Ckinen[c] = 0.01 * u;
    Cepsilon[c] = 0.001 * u;
    CinvAp[c] = 5 * u;
  }

  // The previous time level equals the transferred values (CinvAp_old excepted) and the
  // first concentration row is the sum of the sizes.
  static void expectOldEqualsCurrent() {
    for (int c = 1; c <= NoCells; ++c) {
      SCOPED_TRACE(testing::Message() << "cell " << c);
      EXPECT_EQ(Cxvel_old[c], Cxvel[c]);
      EXPECT_EQ(Cyvel_old[c], Cyvel[c]);
      EXPECT_EQ(Czvel_old[c], Czvel[c]);
      EXPECT_EQ(Cpres_old[c], Cpres[c]);
      EXPECT_EQ(Ckinen_old[c], Ckinen[c]);
      EXPECT_EQ(Cepsilon_old[c], Cepsilon[c]);
      double sum = 0;
      for (int l = 1; l <= lnumber; ++l) {
        EXPECT_EQ(Cconc_old[l][c], Cconc[l][c]);
        sum += Cconc[l][c];
      }
      EXPECT_DOUBLE_EQ(Cconc[0][c], sum);
    }
  }
};

struct ColumnCase {
  const char* name;
  std::function<void()> options;
  std::vector<double> oldHeights, newHeights;
  std::vector<double> oldU, oldConc;  // per old cell, bottom first
  std::vector<double> u, p, conc;     // expected per new cell
};

// One column of old cells with u = 1, 2, 3 ... and concentrations 0.1, 0.2, 0.3 ...; the
// depth ratio (old depth / new depth) and the velocity factor worked out by hand per case.
TEST_F(TransferTest, EachColumnCaseCarriesItsValuesLevelByLevel) {
  const auto none = [] {};
  const std::vector<ColumnCase> cases = {
      // Depth 2 -> 1: ratio 2, velocities as they are.
      {"same cells, shallower", none, {1, 1}, {0.5, 0.5}, {1, 2}, {0.1, 0.2},
       {1, 2}, {10, 20}, {0.2, 0.4}},
      {"same cells, shallower, velocity scaling", [] { FlagScaleInterpol = 1; }, {1, 1},
       {0.5, 0.5}, {1, 2}, {0.1, 0.2}, {1, 2}, {10, 20}, {0.2, 0.4}},
      // Depth 1 -> 2: ratio 0.5; scaled velocities fall by half, pressure stays.
      {"same cells, deeper, velocity scaling", [] { FlagScaleInterpol = 1; }, {0.5, 0.5},
       {1, 1}, {1, 2}, {0.1, 0.2}, {0.5, 1}, {10, 20}, {0.05, 0.1}},
      // Depth 1 -> 3: every new cell repeats the single old one, sediment x 1/3.
      {"grows from one cell", none, {1}, {1, 1, 1}, {4}, {0.3}, {4, 4, 4}, {40, 40, 40},
       {0.1, 0.1, 0.1}},
      // Depth 4 -> 2: column means u 2, p 20, concentration 0.2 x ratio 2.
      {"shrinks to one cell", none, {1, 1, 2}, {2}, {1, 2, 3}, {0.1, 0.2, 0.3}, {2}, {20},
       {0.4}},
      // Depth 1 -> 2: means x 0.5 (the pressure mean too), concentration 0.15 x 0.5 x 0.5.
      {"shrinks to one cell, deeper, velocity scaling", [] { FlagScaleInterpol = 1; },
       {0.5, 0.5}, {2}, {1, 2}, {0.1, 0.2}, {0.75}, {7.5}, {0.0375}},
      // 3 cells of 1 m -> 5 cells of 0.4 m. Old centres 0.5, 1.5, 2.5; new 0.2 .. 1.8. Middle
      // cells by height: weights of the lower old cell 0.9, 0.5, 0.1 (all below centre 1.5).
      {"more cells, by height", [] { ExtrapAlgo1 = 0; }, {1, 1, 1}, {0.4, 0.4, 0.4, 0.4, 0.4},
       {1, 2, 3}, {0.1, 0.2, 0.3}, {1, 1.1, 1.5, 1.9, 3}, {10, 11, 15, 19, 30},
       {0.1, 0.11, 0.15, 0.19, 0.3}},
      // New centres 0.1, 0.3, 1.6, 3.0, 3.35. Middle cells: 0.3 lies below the old bottom
      // centre (weight 1.2, capped at 1: old cell 1); 1.6 between 1.5 and 2.5 (weight 0.9 on
      // old 2); 3.0 above every old centre (old top cell). Nothing from outside the column.
      {"more cells, by height, beyond the old centres", [] { ExtrapAlgo1 = 0; }, {1, 1, 1},
       {0.2, 0.2, 2.4, 0.4, 0.3}, {1, 2, 3}, {0.1, 0.2, 0.3}, {1, 1, 2.1, 3, 3},
       {10, 10, 21, 30, 30}, {0.1, 0.1, 0.21, 0.3, 0.3}},
      // r = (k+1) 3/5 = 1.2, 1.8, 2.4 -> capped at 2: old 1-2 at 0.2, at 0.8, then old 2.
      {"more cells, by index", [] { ExtrapAlgo1 = 1; }, {1, 1, 1}, {0.4, 0.4, 0.4, 0.4, 0.4},
       {1, 2, 3}, {0.1, 0.2, 0.3}, {1, 1.2, 1.8, 2, 3}, {10, 12, 18, 20, 30},
       {0.1, 0.12, 0.18, 0.2, 0.3}},
      // r = (k+0.5) 3/5 + 0.5 = 1.4, 2.0, 2.6: u 1.4, 2, 2.6. Concentrations 0.1 .. 0.3 in the
      // same way hold 0.2 x (0.1 + 0.14 + 0.2 + 0.26 + 0.3) = 0.2 against 0.5 x 0.6 = 0.3 of
      // the old column, so every one is raised by 1.5.
      {"more cells, by index with the sediment kept", [] { ExtrapAlgo1 = 2; }, {1, 1, 1},
       {0.4, 0.4, 0.4, 0.4, 0.4}, {1, 2, 3}, {0.1, 0.2, 0.3}, {1, 1.4, 2, 2.6, 3},
       {10, 14, 20, 26, 30}, {0.15, 0.21, 0.3, 0.39, 0.45}},
      // A column without sediment stays without: 0 / (0 + guard), not 0 / 0.
      {"more cells, by index with the sediment kept, none there", [] { ExtrapAlgo1 = 2; },
       {1, 1, 1}, {0.4, 0.4, 0.4, 0.4, 0.4}, {1, 2, 3}, {0, 0, 0}, {1, 1.4, 2, 2.6, 3},
       {10, 14, 20, 26, 30}, {0, 0, 0, 0, 0}},
      // 4 cells of 1 m -> 2 cells of 2 m: bottom from bottom, top from top, no middle cells.
      // The old column holds 0.5 x (0.1 + 0.2 + 0.3 + 0.2) = 0.4, the two new cells as taken
      // 1 x (0.1 + 0.2) = 0.3, so both are raised by 4/3.
      {"fewer cells, by index with the sediment kept", [] { ExtrapAlgo1 = 2; }, {1, 1, 1, 1},
       {2, 2}, {1, 2, 3, 4}, {0.1, 0.2, 0.3, 0.2}, {1, 4}, {10, 40}, {0.4 / 3, 0.8 / 3}},
      // An unknown rule carries nothing: cells 1..3 keep what they held, 4 and 5 nothing.
      {"more cells, unknown rule", [] { ExtrapAlgo1 = 3; }, {1, 1, 1},
       {0.4, 0.4, 0.4, 0.4, 0.4}, {1, 2, 3}, {0.1, 0.2, 0.3}, {1, 2, 3, 0, 0},
       {10, 20, 30, 0, 0}, {0, 0, 0, 0, 0}},
  };
  for (const ColumnCase& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    k.options();
    allocate();
    row(1);
    column(1, k.oldHeights);
    indexAfterBuild();
    for (std::size_t m = 0; m < k.oldU.size(); ++m) {
      setLevel(1 + static_cast<int>(m), k.oldU[m]);
      Cconc[1][1 + m] = k.oldConc[m];
    }
    const std::vector<double> invApOld(CinvAp.data(), CinvAp.data() + MaxCeller);
    keepAsPrevious();

    clearGrid();
    column(1, k.newHeights);
    indexAfterBuild();

    ASSERT_EQ(NoCells, static_cast<int>(k.u.size()));
    for (int c = 1; c <= NoCells; ++c) {
      SCOPED_TRACE(testing::Message() << "new cell " << c);
      const double u = k.u[c - 1];
      EXPECT_NEAR(Cxvel[c], u, 1e-12);
      EXPECT_NEAR(Cyvel[c], -u, 1e-12);
      EXPECT_NEAR(Cpres[c], k.p[c - 1], 1e-11);
      // The other values follow the pressure, without the velocity factor.
      EXPECT_NEAR(Ckinen[c], 0.001 * k.p[c - 1], 1e-13);
      EXPECT_NEAR(CinvAp[c], 0.5 * k.p[c - 1], 1e-11);
      EXPECT_NEAR(Cconc[1][c], k.conc[c - 1], 1e-13);
      EXPECT_EQ(CinvAp_old[c], invApOld[c]);
    }
    expectOldEqualsCurrent();
    EXPECT_EQ(FlagNeedsToBeInterpolated, 0);
  }
}

// A steady run has no previous time level: the free-surface update keeps the fields for the
// transfer (keepFieldsForTransfer) before it rebuilds the grid. Three columns of 1 m cells with
// the values 10 x column + level (11, 12 | 21, 22, 23 | 31, 32); the first column gains or loses
// a cell at the same depth, so every cell of the columns after it changes its number. Each
// column must carry its own values: a column that keeps its count copies them level by level;
// 2 -> 3 cells gives bottom, r = (1.5 x 2) / 3 + 0.5 = 1.5 (the mean of the two old cells),
// top; 3 -> 2 cells gives bottom and top.
TEST_F(TransferTest, ASteadyRunCarriesEveryColumnWhenOneGainsOrLosesACell) {
  struct Case {
    const char* name;
    std::vector<double> oldFirst, newFirst;  // heights of the first column's cells
    std::vector<double> first;               // its expected values, bottom first
  };
  const Case cases[] = {
      {"the first column gains a cell", {1, 1}, {2.0 / 3, 2.0 / 3, 2.0 / 3}, {11, 11.5, 12}},
      {"the first column loses a cell", {1, 1, 1}, {1.5, 1.5}, {11, 13}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    TimeStep = 0;
    FlagTFS = 2;
    lnumber = 1;
    allocate();
    ASSERT_FALSE(Cxvel_old);
    ASSERT_TRUE(Cxvel_carry);
    row(3);
    column(1, k.oldFirst);
    column(2, {1, 1, 1});
    column(3, {1, 1});
    indexAfterBuild();
    for (int b = 1; b <= 3; ++b)
      for (int m = 0; m < Bnocells[b]; ++m) {
        setLevel(Bcellt[b] + m, 10 * b + m + 1);
        Cconc[1][Bcellt[b] + m] = 0.001 * (10 * b + m + 1);
      }
    keepFieldsForTransfer();
    EXPECT_EQ(FlagFieldsCarried, 1);

    clearGrid();
    column(1, k.newFirst);
    column(2, {1, 1, 1});
    column(3, {1, 1});
    indexAfterBuild();
    EXPECT_EQ(FlagFieldsCarried, 0);  // the kept fields are spent
    EXPECT_EQ(FlagNeedsToBeInterpolated, 0);
    const std::vector<std::vector<double>> expected = {k.first, {21, 22, 23}, {31, 32}};
    for (int b = 1; b <= 3; ++b) {
      ASSERT_EQ(Bnocells[b], static_cast<int>(expected[b - 1].size()));
      for (int m = 0; m < Bnocells[b]; ++m) {
        SCOPED_TRACE(testing::Message() << "column " << b << ", level " << m);
        const int c = Bcellt[b] + m;
        const double u = expected[b - 1][m];
        EXPECT_NEAR(Cxvel[c], u, 1e-12);
        EXPECT_NEAR(Cyvel[c], -u, 1e-12);
        EXPECT_NEAR(Czvel[c], 0.1 * u, 1e-12);
        EXPECT_NEAR(Cpres[c], 10 * u, 1e-11);
        EXPECT_NEAR(Ckinen[c], 0.01 * u, 1e-13);
        EXPECT_NEAR(Cepsilon[c], 0.001 * u, 1e-14);
        EXPECT_NEAR(CinvAp[c], 5 * u, 1e-11);
        if (b > 1) {
          EXPECT_NEAR(Cconc[1][c], 0.001 * u, 1e-15);
        }
        EXPECT_DOUBLE_EQ(Cconc[0][c], Cconc[1][c]);
      }
    }
    // The first column keeps its sediment, concentration x half height summed over its cells.
    double before = 0, after = 0;
    for (std::size_t m = 0; m < k.oldFirst.size(); ++m)
      before += 0.001 * (11 + static_cast<double>(m)) * 0.5 * k.oldFirst[m];
    for (int m = 0; m < Bnocells[1]; ++m) after += Cconc[1][Bcellt[1] + m] * Ckdist[Bcellt[1] + m];
    EXPECT_NEAR(after, before, 1e-15);

    // A later regeneration for which nothing kept the fields carries nothing: the cells keep
    // what they hold.
    const double held = Cxvel[4];
    clearGrid();
    column(1, k.oldFirst);
    column(2, {1, 1, 1});
    column(3, {1, 1});
    indexAfterBuild();
    EXPECT_EQ(Cxvel[4], held);
  }
}

// The free-surface update regenerates the grid with new water levels; the pond removal has
// written the mean depth of the new levels into Bdepth before the index is refreshed. The
// transfer must still take the depth of the replaced grid: 2 m -> 1 m doubles the
// concentrations, and the column keeps 0.2 x 1 + 0.4 x 1 = 0.6 of sediment per unit area.
TEST_F(TransferTest, TheDepthOfTheReplacedGridSurvivesABorrowedDepthArray) {
  allocate();
  row(1);
  column(1, {1, 1});
  indexAfterBuild();
  Cconc[1][1] = 0.2;
  Cconc[1][2] = 0.4;
  keepAsPrevious();

  clearGrid();
  column(1, {0.5, 0.5});
  Bdepth[1] = 1.0;  // what the pond removal leaves there: the new mean depth
  indexAfterBuild();
  EXPECT_NEAR(Cconc[1][1], 0.4, 1e-15);
  EXPECT_NEAR(Cconc[1][2], 0.8, 1e-15);
  EXPECT_NEAR(Cconc[1][1] * 0.5 + Cconc[1][2] * 0.5, 0.6, 1e-15);
}

// Three columns: the first keeps its two cells, the second falls dry, the third becomes wet.
// The dry column leaves 2 x c x h/2 x density x 1000 per size on the bed, c and h/2 those of
// its former bottom cell (0.3 and 0.5 m) where the half heights of the replaced grid are
// kept, else the mean half height of its old column (4 m over 2 cells: 1 m).
TEST_F(TransferTest, AColumnThatFallsDryLeavesItsBottomSedimentAndANewColumnStartsClean) {
  struct Case {
    int rule;
    double deposit1, deposit2;
  };
  const Case cases[] = {{2, 2 * 0.3 * 0.5 * 2650, 2 * 0.05 * 0.5 * 2650},
                        {1, 2 * 0.3 * 1.0 * 2650, 2 * 0.05 * 1.0 * 2650}};
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << "F 147 rule " << k.rule);
    fresh();
    ExtrapAlgo1 = k.rule;
    FlagPlastics = 1;
    lnumber = 2;
    allocate();
    row(3);
    column(1, {1, 1});  // cells 1, 2
    column(2, {1, 3});  // cells 3, 4
    column(3, {});
    indexAfterBuild();
    setLevel(1, 1);
    setLevel(2, 2);
    setLevel(3, 3);
    setLevel(4, 4);
    for (int c = 1; c <= 4; ++c) Cconc[1][c] = 0.1 * c, Cconc[2][c] = 0.05;
    BplasticDeposits[1][2] = 7.0;  // what earlier columns left
    keepAsPrevious();

    clearGrid();
    column(1, {1, 1});  // cells 1, 2: the same
    column(2, {});
    column(3, {0.5});  // cell 3
    indexAfterBuild();
    EXPECT_NEAR(BplasticDeposits[1][2], 7.0 + k.deposit1, 1e-9);
    EXPECT_NEAR(BplasticDeposits[2][2], k.deposit2, 1e-9);
    for (int b : {1, 3}) EXPECT_EQ(BplasticDeposits[1][b], 0.0) << b;
    // The first column as it was; the new one without sediment.
    EXPECT_EQ(Cxvel[1], 1.0);
    EXPECT_EQ(Cxvel[2], 2.0);
    EXPECT_NEAR(Cconc[1][2], 0.2, 1e-15);
    for (int l = 0; l <= 2; ++l) EXPECT_EQ(Cconc[l][3], 0.0) << l;
    expectOldEqualsCurrent();
  }
}

// A grid of 3 x 3 columns from the generator, flat 10 m deep (9 cells a column), then the bed
// rises to 2 m under the grid lines i <= 2 and 0.5 m elsewhere with the depth scale held at
// 10 m: columns i = 2, 3 get 4 cells, columns i = 4 get 2. With the default F 147 rule each
// column keeps the content of each size, sum of concentration x cell volume, to rounding
// (relative 1e-12), and its velocities follow the levels: bottom from bottom, top from top,
// 4 cells take r = (k + 0.5) 9 / 4 + 0.5 = 3.875 and 6.125 for their middle cells.
TEST_F(TransferTest, AColumnKeepsItsSedimentWhenTheGeneratorChangesItsCellCount) {
  xnumber = ynumber = 6;
  znumber = 11;
  MaxCeller = 1000;
  MaxFlater = MaxPunkter = 2000;
  lnumber = 2;
  MaxDepth209 = 10;
  ASSERT_EQ(sialloc(), 0);
  NoBlocks = 1;
  block[1].i1 = block[1].j1 = 2;
  block[1].i2 = block[1].j2 = 4;
  block[1].bedfollow = 1;
  const auto levels = [](const std::function<double(int)>& depth) {
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 4; ++j) {
        xval[i][j] = i - 1;
        yval[i][j] = j - 1;
        zval[i][j][1] = -depth(i);
        zval[i][j][znumber] = 0;
      }
  };
  const auto build = [] {
    ASSERT_EQ(Unstructure(), 1);
    metric();
    BedMake();
  };
  levels([](int) { return 10.0; });
  build();
  ASSERT_EQ(NoBCells, 9);
  std::vector<double> content1(10), content2(10);
  for (int b = 1; b <= 9; ++b) {
    ASSERT_EQ(Bnocells[b], 9);
    for (int k = 0; k < 9; ++k) {
      const int c = Bcellt[b] + k;
      setLevel(c, k + 1);
      Cconc[1][c] = 0.001 * (k + 1) * b;
      Cconc[2][c] = 0.02 - 0.001 * k;
      content1[b] += Cconc[1][c] * Cvol[c];
      content2[b] += Cconc[2][c] * Cvol[c];
    }
  }
  keepAsPrevious();

  levels([](int i) { return i <= 2 ? 2.0 : 0.5; });
  build();
  for (int b = 1; b <= 9; ++b) {
    SCOPED_TRACE(testing::Message() << "bed cell " << b);
    const int n = Bnocells[b];
    ASSERT_EQ(n, Bkooi[b] == 4 ? 2 : 4);
    double after1 = 0, after2 = 0;
    for (int k = 0; k < n; ++k) {
      const int c = Bcellt[b] + k;
      after1 += Cconc[1][c] * Cvol[c];
      after2 += Cconc[2][c] * Cvol[c];
    }
    EXPECT_NEAR(after1, content1[b], 1e-12 * content1[b]);
    EXPECT_NEAR(after2, content2[b], 1e-12 * content2[b]);
    const std::vector<double> u = n == 4 ? std::vector<double>{1, 3.875, 6.125, 9}
                                         : std::vector<double>{1, 9};
    for (int k = 0; k < n; ++k) EXPECT_NEAR(Cxvel[Bcellt[b] + k], u[k], 1e-12) << k;
  }
  expectOldEqualsCurrent();
}

// From the third outer iteration on, a newly wet column that no neighbour could fill is
// reported in debug mode; the pond marks are printed only in runs that have them (F 394), and
// a run without them must not read them.
TEST_F(TransferTest, APressureReportWithoutPondMarksReadsNoMissingTable) {
  debugging = 'D';
  allocate();
  ASSERT_FALSE(Bponds);
  row(1);
  column(1, {});
  indexAfterBuild();
  Iter = 3;
  clearGrid();
  column(1, {1});
  indexAfterBuild();
  EXPECT_NE(log().find("Error in extrapolation, non-interpolated pressure\n"),
            std::string::npos)
      << log();
  EXPECT_EQ(log().find("Bponds"), std::string::npos) << log();
}

// In debug mode concentrations that the transfer leaves outside 0..1 are reported; the run
// goes on. 0.8 in a column whose depth halves becomes 1.6.
TEST_F(TransferTest, ConcentrationsAboveOneAreReportedInDebugMode) {
  allocate();
  row(1);
  column(1, {2});
  indexAfterBuild();
  Cconc[1][1] = 0.8;
  keepAsPrevious();
  debugging = 'D';
  clearGrid();
  column(1, {1});
  indexAfterBuild();
  const std::string lines = "Error in extrapolation of concentrations, Cconc[0][1] = 1.600000\n"
                            "Error in extrapolation of concentrations, Cconc[1][1] = 1.600000\n";
  EXPECT_NE(log().find(lines), std::string::npos) << log();
}

// Mud layer (F 236): after the transfer, cells whose centre lies above the mud level of their
// column are marked as inside the layer (TransInnerIter / 2 = 2, factor 1.2), the others
// -2 and 0; and the last block, here the only one, gets the hydrostatic pressure of its
// columns from the top down: 9810 x depth of the cell centre (0.5, 1.5, 2.5 m).
TEST_F(TransferTest, MudLayerMarksAndHydrostaticPressureFollowTheTransfer) {
  FlagThixo = 1;
  TransInnerIter = 5;
  allocate();
  ASSERT_TRUE(Cthixolev);
  row(1);
  block[1].thixo = 1;
  block[1].cellstart = 1;
  block[1].cellend = 3;
  column(1, {1, 1, 1});
  indexAfterBuild();
  for (int c = 1; c <= 3; ++c) setLevel(c, c);
  keepAsPrevious();
  Iter = 1;
  Bthixolev[1] = 1.0;
  clearGrid();
  column(1, {1, 1, 1});
  indexAfterBuild();
  const int level[] = {0, -2, 2, 2};
  const double rate[] = {0, 0.0, 1.2, 1.2};
  const double pres[] = {0, 24525, 14715, 4905};
  for (int c = 1; c <= 3; ++c) {
    SCOPED_TRACE(testing::Message() << "cell " << c);
    EXPECT_EQ(Cthixolev[c], level[c]);
    EXPECT_EQ(Cthixorat[c], rate[c]);
    EXPECT_NEAR(Cpres[c], pres[c], 1e-9);
    EXPECT_EQ(Cxvel[c], c);
  }
  expectOldEqualsCurrent();
}

// Mud layer as a block of its own (F 236 above 1, F 339): block 1 holds column (1, 1) with one
// cell, block 2 the mud column (2, 1), three cells of 1 m (cells 2, 3, 4; old u = 2, 3, 4,
// p = 10u). The cells above the mud column's bottom cell are carried from `so`, the cell that
// lay above the former bottom cell:
// - same count, so = 2: cells 3 and 4 take old cells 2 and 3;
// - two new cells, so = 3: cell 3 takes the mean of old cells 3 and 4 (u 3.5), the bottom
//   cell stops; the pressures stay those of the ordinary transfer (bottom 20, top 40);
// - two new cells, so = 1: both at rest, hydrostatic from the top: 9810 x 0.5 in the upper
//   cell, 9810 x 1.5 in the bottom cell.
// Afterwards `so` of the mud column is the cell above its former bottom cell number in the new
// grid (cell 3), and block 1's is cleared.
TEST_F(TransferTest, MudBlockColumnsAreCarriedAboveTheirBottomCell) {
  struct Case {
    const char* name;
    int so;
    std::vector<double> newHeights, u, p;  // u and p of cells 2 .. of the new mud column
  };
  const Case cases[] = {
      {"same count", 2, {1, 1, 1}, {2, 2, 3}, {20, 20, 30}},
      {"fewer cells, old cells above", 3, {1, 1}, {0, 3.5}, {20, 40}},
      {"fewer cells, none above", 1, {1, 1}, {0, 0}, {14715, 4905}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    FlagThixo = 2;
    FlagUnstrucThixo = 1;
    allocate();
    ASSERT_TRUE(Bcelltt_old);
    NoBlocks = 2;
    block[1].i1 = block[1].i2 = 1;
    block[2].i1 = block[2].i2 = 2;
    block[1].j1 = block[1].j2 = block[2].j1 = block[2].j2 = 1;
    column(1, {1});
    column(2, {1, 1, 1});
    indexAfterBuild();
    ASSERT_EQ(block[2].bcellstart, 2);
    for (int c = 1; c <= 4; ++c) setLevel(c, c);
    keepAsPrevious();
    Bcelltt_old[1] = 9;
    Bcelltt_old[2] = k.so;

    clearGrid();
    column(1, {1});
    column(2, k.newHeights);
    indexAfterBuild();
    for (std::size_t m = 0; m < k.u.size(); ++m) {
      const int c = 2 + static_cast<int>(m);
      SCOPED_TRACE(testing::Message() << "cell " << c);
      EXPECT_NEAR(Cxvel[c], k.u[m], 1e-12);
      EXPECT_NEAR(Cyvel[c], -k.u[m], 1e-12);
      EXPECT_NEAR(Czvel[c], 0.1 * k.u[m], 1e-12);
      EXPECT_NEAR(Cpres[c], k.p[m], 1e-9);
    }
    EXPECT_EQ(Cxvel[1], 1.0);  // the water column is not touched
    EXPECT_EQ(Bcelltt_old[1], 0);
    EXPECT_EQ(Bcelltt_old[2], 3);
    expectOldEqualsCurrent();
  }
}
}  // namespace
}  // namespace qorva
