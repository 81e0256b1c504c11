// The column look-ups the grid files share, on a plane of 4 x 3 grid lines (i 0..5, j 0..4
// with the spare lines) holding one column of three cells: the bottom cell of a column, the
// walk up a column and its bound, the bed-cell limit, line and column depths, corner lines and
// the window cut.
#include <vector>

#include "grid/columns.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "support/scratch.h"

namespace qorva {
namespace {

class ColumnsTest : public test::Scratch {
 protected:
  void SetUp() override {
    test::Scratch::SetUp();
    xnumber = 4;
    ynumber = 3;
    znumber = 4;
    MaxCeller = 10;
    MaxFlater = MaxPunkter = 40;
    ASSERT_EQ(sialloc(), 0);
    ASSERT_GE(AllocateArrays(1, 1, 1), 0.0);
    // Column (2, 2): cells 1, 2, 3 from the bottom up.
    NoCells = 3;
    zval[2][2][0] = 1;
    Ccellt[1] = 2;
    Ccellt[2] = 3;
  }
  void TearDown() override {
    SetArraysZero();
    test::Scratch::TearDown();
  }
};

TEST_F(ColumnsTest, BottomCellOfAColumnOrZero) {
  EXPECT_EQ(columnBottom(2, 2), 1);
  EXPECT_EQ(columnBottom(3, 2), 0);  // dry
  EXPECT_EQ(columnBottom(-1, 2), 0);
  EXPECT_EQ(columnBottom(xnumber + 2, 2), 0);
  EXPECT_EQ(columnBottom(2, ynumber + 2), 0);
  zval[3][2][0] = 4;  // a number beyond the present grid
  EXPECT_EQ(columnBottom(3, 2), 0);
  EXPECT_TRUE(onPlane(xnumber + 1, ynumber + 1));
  EXPECT_FALSE(onPlane(0, -1));
}

TEST_F(ColumnsTest, WalkUpAColumnStopsAtTheTopAndAfterNoCellsSteps) {
  std::vector<int> seen;
  upColumn(columnBottom(2, 2), [&](int c) { seen.push_back(c); });
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
  // A top link back into the column: the walk ends after NoCells cells instead of looping.
  Ccellt[3] = 1;
  seen.clear();
  upColumn(1, [&](int c) { seen.push_back(c); });
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
  seen.clear();
  upColumn(0, [&](int c) { seen.push_back(c); });
  EXPECT_TRUE(seen.empty());
}

TEST_F(ColumnsTest, BedCellLimitIsTheCountOrTheLastEntryOfTheTables) {
  NoBCells = 5;
  EXPECT_EQ(bedCellLimit(), 5);
  NoBCells = 1000;  // (4 + 3)(3 + 3) = 42 bed cells are held, 0..41
  EXPECT_EQ(bedCellLimit(), 41);
}

TEST_F(ColumnsTest, DepthsOfLinesAndColumns) {
  // Column (2, 2) has the corner lines (1, 1), (2, 1), (2, 2), (1, 2).
  const double bed[4] = {1.0, 2.0, 3.0, 4.0};
  const CornerLines c = cornerLines(2, 2);
  const int ei[4] = {1, 2, 2, 1}, ej[4] = {1, 1, 2, 2};
  for (int n = 0; n < 4; ++n) {
    EXPECT_EQ(c.i[n], ei[n]);
    EXPECT_EQ(c.j[n], ej[n]);
    zval[c.i[n]][c.j[n]][1] = bed[n];
    zval[c.i[n]][c.j[n]][znumber] = 5.0;
  }
  EXPECT_DOUBLE_EQ(lineDepth(2, 1), 3.0);
  EXPECT_DOUBLE_EQ(columnMeanDepth(2, 2), (4.0 + 3.0 + 2.0 + 1.0) / 4);
  zval[1][2][1] = 6.0;  // bed above the surface: a dry line of negative depth
  EXPECT_DOUBLE_EQ(lineDepth(1, 2), -1.0);
}

TEST_F(ColumnsTest, WindowIsCutToTheTable) {
  struct Case {
    int lo, hi, first;
    int cutLo, cutHi;
  };
  const Case cases[] = {{0, 3, 1, 1, 3}, {-2, 9, 0, 0, 5}, {2, 4, 1, 2, 4}, {7, 9, 1, 7, 5}};
  for (const Case& k : cases) {
    int lo = k.lo, hi = k.hi;
    cutRange(lo, hi, 6, k.first);
    EXPECT_EQ(lo, k.cutLo) << k.lo << ".." << k.hi;
    EXPECT_EQ(hi, k.cutHi) << k.lo << ".." << k.hi;
  }
}

}  // namespace
}  // namespace qorva
