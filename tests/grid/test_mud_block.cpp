// The mud-layer block under a 3 x 3 water block: the base cell under each water column on the
// water block's plan points, the level counts and corner levels of the mud cells, the cap of
// the level count on a grid of few levels, and the refusals (several water blocks, a G 1 too
// narrow, F 65 too small).
#include <cmath>
#include <string>

#include "state/points.h"
#include "state/surfaces.h"
#include "support/mud_grid.h"

namespace qorva {
namespace {

class MudBlock : public test::Scratch {
 protected:
  test::MudGrid g;

  void SetUp() override {
    test::Scratch::SetUp();
    g.prepare();
    FlagThixo = 2;
  }

  // Base cell under water column (i, j) and its mud cells at the top levels.
  int base(int i, int j) const { return num[i][j + g.shift()][2]; }
  int mudCells(int i, int j) const { return ant[i][j + g.shift()]; }
  int mudCell(int i, int j, int k) const { return num[i][j + g.shift()][k]; }

  static double cornerZ(int c, int n) {
    const Table1<int>* p[9] = {nullptr,   &Cpoint1, &Cpoint2, &Cpoint3, &Cpoint4,
                               &Cpoint5, &Cpoint6, &Cpoint7, &Cpoint8};
    return Pz[(*p[n])[c]];
  }
  static double cornerX(int c, int n) {
    const Table1<int>* p[5] = {nullptr, &Cpoint1, &Cpoint2, &Cpoint3, &Cpoint4};
    return Px[(*p[n])[c]];
  }
  static double cornerY(int c, int n) {
    const Table1<int>* p[5] = {nullptr, &Cpoint1, &Cpoint2, &Cpoint3, &Cpoint4};
    return Py[(*p[n])[c]];
  }
};

TEST_F(MudBlock, FirstBuildPutsOneBaseCellUnderEachWaterColumn) {
  for (const bool groundwaterOnly : {false, true}) {
    SCOPED_TRACE(groundwaterOnly ? "F 262 without F 236" : "F 236 2");
    g.prepare();
    FlagThixo = groundwaterOnly ? 0 : 2;
    FlagGroundwater = groundwaterOnly ? 2 : 0;
    g.layout();
    ASSERT_EQ(test::MudGrid::generate(), 1) << log();
    ASSERT_EQ(NoBlocks, 2);
    const GridBlock& m = block[2];
    EXPECT_EQ(m.thixo, 1);
    EXPECT_EQ(m.i1, 2);
    EXPECT_EQ(m.i2, 4);
    EXPECT_EQ(m.j1, 7);
    EXPECT_EQ(m.j2, 9);
    EXPECT_EQ(SurfUpdate[2], 0);
    // The mud starts at the bed: nine base cells and no mud cells.
    EXPECT_EQ(m.cellend - m.cellstart + 1, 9);
    EXPECT_EQ(m.cellend, NoCells);
    for (int i = 2; i <= 4; ++i)
      for (int j = 2; j <= 4; ++j) {
        const int c = base(i, j);
        ASSERT_GE(c, m.cellstart);
        EXPECT_EQ(static_cast<int>(zval[i][j + g.shift()][0]), c);
        EXPECT_EQ(mudCells(i, j), 0);
        // On the plan points of the water column, from the non-erodible level to the bed.
        EXPECT_DOUBLE_EQ(cornerX(c, 1), i - 2.0);
        EXPECT_DOUBLE_EQ(cornerY(c, 1), j - 2.0);
        EXPECT_DOUBLE_EQ(cornerX(c, 3), i - 1.0);
        EXPECT_DOUBLE_EQ(cornerY(c, 3), j - 1.0);
        for (int n = 1; n <= 4; ++n) {
          EXPECT_DOUBLE_EQ(cornerZ(c, n), -3.0);
          EXPECT_DOUBLE_EQ(cornerZ(c, n + 4), -1.0);
        }
        EXPECT_EQ(Ccelle[c], i < 4 ? base(i + 1, j) : 0);
        EXPECT_EQ(Ccelln[c], j < 4 ? base(i, j + 1) : 0);
      }
    // Neighbouring base cells share their side surface and its points.
    const int a = base(2, 3), b = base(3, 3);
    EXPECT_EQ(Cflatee[a], Cflatew[b]);
    EXPECT_EQ(Cpoint2[a], Cpoint1[b]);
  }
}

TEST_F(MudBlock, MudCellsSpanTheMudBottomToTheBed) {
  // Four levels: the count 4 of a thick mud line is capped at 3, so the two mud cells lie at
  // levels 3 and 4 and leave level 2 to the base cell.
  g.levels = 4;
  g.prepare();
  FlagThixo = 2;
  g.layout();
  ASSERT_EQ(test::MudGrid::generate(), 1) << log();
  test::MudGrid::finish();
  // The slide group and mud level of every water column: the mud bottom 1 m below the bed.
  for (int b = 1; b <= NoBCells; ++b) {
    Bcellth[b] = 1;
    Bthixolev[b] = -2.0;
  }
  ASSERT_EQ(test::MudGrid::generate(), 1) << log();
  ASSERT_EQ(NoBlocks, 2);
  // The mud lines inside the block (water lines i, j = 2, 3) have 1 m of mud: count 3.
  const int s = g.shift();
  EXPECT_EQ(antlin[2][2 + s], 3);
  EXPECT_EQ(antlin[3][3 + s], 3);
  EXPECT_EQ(antlin[1][2 + s], 1);  // a side line keeps the mud at the bed
  EXPECT_DOUBLE_EQ(Surfaces[5][2][2 + s], -2.0);
  EXPECT_DOUBLE_EQ(Surfaces[5][2][2], -2.0);  // also at the water line
  ASSERT_EQ(mudCells(3, 3), 2);
  const int low = mudCell(3, 3, 3), high = mudCell(3, 3, 4), c = base(3, 3);
  EXPECT_NE(low, c);
  EXPECT_NE(high, c);
  for (int n = 1; n <= 4; ++n) {
    EXPECT_DOUBLE_EQ(cornerZ(c, n + 4), -2.0);
    EXPECT_DOUBLE_EQ(cornerZ(low, n), -2.0);
    EXPECT_NEAR(cornerZ(low, n + 4), -1.5, 1e-9);  // the fractions carry 1e-10
    EXPECT_NEAR(cornerZ(high, n), -1.5, 1e-9);
    EXPECT_DOUBLE_EQ(cornerZ(high, n + 4), -1.0);
  }
  // The base cell sees the mud above it; the mud keeps a closed bottom.
  EXPECT_EQ(Ccellt[c], low);
  EXPECT_EQ(Ccellb[low], 0);
  EXPECT_EQ(Ccellt[low], high);
  EXPECT_EQ(block[2].cellend, NoCells);
}

TEST_F(MudBlock, RefusesWhatItCannotBuild) {
  struct Case {
    const char* what;
    std::function<void()> set;
    int status;
    const char* text;
  };
  const Case cases[] = {
      {"two water blocks",
       [] {
         NoBlocks = 2;
         block[2] = block[1];
         block[1].j2 = 2;
         block[2].j1 = 3;
       },
       1001, "needs exactly one water block, the grid has 2"},
      {"G 1 too narrow for the mud window", [] { ynumber = 9; }, 1000 - 44,
       "increase the 2nd integer of the G 1 data set to at least 10"},
      {"F 65 too small", [] { MaxCeller = 0; }, 999,
       "Error: Unstructured arrays are too small. Increase with the F 65 data set."},
  };
  // The cells of the water block alone.
  g.layout();
  FlagThixo = 0;
  ASSERT_EQ(test::MudGrid::generate(), 1);
  const int waterCells = NoCells;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    g.prepare();
    FlagThixo = 2;
    g.layout();
    k.set();
    // Room for the water block and four base cells.
    if (MaxCeller == 0) MaxCeller = waterCells + 6;
    EXPECT_EQ(test::MudGrid::generate(), k.status);
    EXPECT_NE(log().find(k.text), std::string::npos) << log();
  }
}

TEST(InterpolateValue, TakesTheValueAtTheHeightOfTheCellBetweenItsTwoNeighbours) {
  SetArraysZero();
  MaxCeller = 10;
  NoCells = 6;
  for (auto* t : {&Czcenter, &Ckdist}) t->allocate(10);
  for (auto* t : {&Ccellt, &Ccellb}) t->allocate(10);
  Table1<double> f;
  f.allocate(10);
  // Column 1..3 with centres 0.5, 1.5, 2.5; column 4..6 with centres 0.25, 0.75, 1.25.
  const double z[7] = {0, 0.5, 1.5, 2.5, 0.25, 0.75, 1.25};
  const double half[7] = {0, 0.5, 0.5, 0.5, 0.25, 0.25, 0.25};
  for (int c = 1; c <= 6; ++c) {
    Czcenter[c] = z[c];
    Ckdist[c] = half[c];
    f[c] = 10.0 * z[c];  // a linear field
  }
  Ccellt[1] = 2, Ccellt[2] = 3, Ccellb[2] = 1, Ccellb[3] = 2;
  Ccellt[4] = 5, Ccellt[5] = 6, Ccellb[5] = 4, Ccellb[6] = 5;
  EXPECT_NEAR(interpolatevalue(f, 5, 3), 7.5, 1e-12);  // down the first column
  EXPECT_NEAR(interpolatevalue(f, 3, 4), 25.0, 1e-12);  // up the second, extrapolated
  EXPECT_NEAR(interpolatevalue(f, 2, 4), 15.0, 1e-12);
  EXPECT_DOUBLE_EQ(interpolatevalue(f, 1, 1), 5.0);     // the same height
  SetArraysZero();
}

}  // namespace
}  // namespace qorva
