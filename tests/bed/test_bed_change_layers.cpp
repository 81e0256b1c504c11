// Bed changes of F 255 4 and 5 on a small patch against hand values: the corners on the mean of
// the layer-built levels of the wet columns around them, the edge lines of option 4 moved by the
// change, plane 1 counted or not, narrow blocks, dry columns, a NaN level.
#include <cmath>
#include <limits>
#include <string>

#include "bed/bed.h"
#include "bed/bed_fixture.h"
#include "state/arrays.h"
#include "state/log.h"

namespace qorva {
namespace {

// A 3 x 3 patch of 1 m columns (or narrower) on the layered bed, bed at 0, non-erodible level
// 10 m below: every stack is one layer, 10 m thick unless a test says otherwise.
class LayerBedChange : public test::BedGrid {
 protected:
  // Each call starts a new patch: arrays of an earlier one in the same test are dropped.
  void make(int nx, int ny, int option) {
    SetArraysZero();
    FlagTSC = 3;
    FlagBedchangeOption = option;
    NoBedLayers = 3;
    lnumber = 1;
    FlagBedDownstream = 0;
    build(nx, ny, test::flatBed, 5.0);
    for (int b = 1; b <= NoBCells; ++b) stackOf(b, 10.0);
  }
  static void stackOf(int b, double t) {
    BlayerTop[b] = 0;
    BSedDistrib[0][0][b] = t;
    BSedDistrib[0][1][b] = 1.0;
    Bsolidfraction[0][b] = SolidFrac;
  }
  static int run(void (*f)()) { return test::endStatus(f); }
};

// Column (3, 3) stands 0.4 m higher in its layers. Its four corners are each shared by four
// wet columns: (0.4 + 0 + 0 + 0) / 4 = 0.1 m; all other points stay at 0, the grid's corner
// with one column and its edges with two included. The bed volume of the corners, 0.4 m3,
// is that of the layers.
TEST_F(LayerBedChange, OptionFivePutsEveryCornerOnTheLayers) {
  make(3, 3, 5);
  const int b = bed(3, 3);
  stackOf(b, 10.4);
  Bbedchange[1][b] = 0.7;
  ASSERT_EQ(run(bedchange5), 1000) << log();
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 4; ++j) {
      const bool around = (i == 2 || i == 3) && (j == 2 || j == 3);
      EXPECT_NEAR(level(i, j), around ? 0.1 : 0.0, 1e-13) << i << " " << j;
      EXPECT_NEAR(Surfaces[1][i][j], around ? 0.1 : 0.0, 1e-13) << i << " " << j;
    }
  EXPECT_NEAR(Bedlev[b], 0.4, 1e-13);
  EXPECT_EQ(Bbedchange[1][b], 0.0);
  EXPECT_NEAR(bedVolume(), 0.4, 1e-12);
}

// A point whose columns are all dry keeps its level; a column with an empty stack stands on its
// base; a NaN stack ends the run (status -4) with the column named.
TEST_F(LayerBedChange, OptionFiveDryColumnsEmptyStacksAndNaN) {
  make(3, 3, 5);
  zval[1][1][1] = 0.3;
  Bcellt[bed(2, 2)] = 0;
  BlayerTop[bed(4, 4)] = -1;
  ASSERT_EQ(run(bedchange5), 1000) << log();
  EXPECT_EQ(level(1, 1), 0.3);
  EXPECT_NEAR(level(4, 4), -10.0, 1e-13);
  EXPECT_NEAR(level(3, 3), -2.5, 1e-13);

  make(3, 3, 5);
  BSedDistrib[0][0][bed(3, 2)] = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(run(bedchange5), -4);
  EXPECT_NE(log().find("Error in bedchange5: NAN5: nan\nIter = 1, b=" + std::to_string(bed(3, 2)) +
                       ", i,j = (3,2)\nBSedDistrib[0][b] = nan nan\n"),
            std::string::npos)
      << log();
}

// Option 4: the south edge line moves by the change of the columns of row 2: the block's
// corner point by that of column (2, 2), 0.04 m, the next by the mean of columns 2 and 3,
// 0.02 m. The points between the edge lines take the layers as in option 5. Plane 1 counts
// the moves only with count 1.
TEST_F(LayerBedChange, OptionFourMovesTheEdgeLinesByTheChange) {
  for (int count : {1, 0}) {
    SCOPED_TRACE(count);
    make(3, 3, 4);
    stackOf(bed(3, 3), 10.4);
    Bedmove[bed(2, 2)] = 0.04;
    Bedmove[bed(4, 4)] = 0.08;
    ASSERT_EQ(test::endStatus([count] { bedchange4(count); }), 1000) << log();
    const double south[4] = {0.04, 0.02, 0.0, 0.0}, north[4] = {0.0, 0.0, 0.04, 0.08};
    for (int i = 1; i <= 4; ++i) {
      EXPECT_NEAR(level(i, 1), south[i - 1], 1e-15) << i;
      EXPECT_NEAR(level(i, 4), north[i - 1], 1e-15) << i;
      EXPECT_NEAR(Surfaces[1][i][1], count * south[i - 1], 1e-15) << i;
      for (int j = 2; j <= 3; ++j) EXPECT_NEAR(level(i, j), i == 2 || i == 3 ? 0.1 : 0.0, 1e-13);
    }
    EXPECT_NEAR(Surfaces[1][3][3], count * 0.1, 1e-13);
  }
}

// Option 4 on a block one column wide in j: no edge-line moves, every point takes the layers;
// one column wide in i: both points of each edge line move by the whole change of the column.
TEST_F(LayerBedChange, OptionFourOnNarrowBlocks) {
  make(3, 1, 4);
  stackOf(bed(3, 2), 10.4);
  Bedmove[bed(2, 2)] = 0.04;
  ASSERT_EQ(test::endStatus([] { bedchange4(1); }), 1000) << log();
  const double row[4] = {0.0, 0.2, 0.2, 0.0};
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 2; ++j) EXPECT_NEAR(level(i, j), row[i - 1], 1e-13) << i << " " << j;

  make(1, 3, 4);
  Bedmove[bed(2, 2)] = 0.04;
  Bedmove[bed(2, 4)] = -0.02;
  ASSERT_EQ(test::endStatus([] { bedchange4(1); }), 1000) << log();
  EXPECT_NEAR(level(1, 1), 0.04, 1e-15);
  EXPECT_NEAR(level(2, 1), 0.04, 1e-15);
  EXPECT_NEAR(level(1, 4), -0.02, 1e-15);
  EXPECT_NEAR(level(2, 4), -0.02, 1e-15);
}

// Option 4 with a NaN stack: status -4 and the first of the four columns named.
TEST_F(LayerBedChange, OptionFourStopsOnANaNLevel) {
  make(3, 3, 4);
  BSedDistrib[0][0][bed(3, 3)] = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(test::endStatus([] { bedchange4(1); }), -4);
  EXPECT_NE(log().find("Error in bedchange4: NAN4: nan\nIter = 1, b=" + std::to_string(bed(3, 3)) +
                       ", i,j = (2,2)\n"),
            std::string::npos)
      << log();
}

}  // namespace
}  // namespace qorva
