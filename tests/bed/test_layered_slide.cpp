// The sand slide on the layered bed (F 56 202, 204, 205, 206) and the smoothing by sediment
// exchange (F 451) against hand values and conservation: half the excess of a steep pair moved
// size by size, a pile relaxed to the angle of repose with the grains of each size kept, the
// pending change handed over, a bump and a dip evened out.
#include <algorithm>
#include <cmath>
#include <vector>

#include "bed/bed.h"
#include "bed/bed_fixture.h"
#include "state/arrays.h"
#include "state/options_f050_099.h"
#include "state/options_f450_499.h"

namespace qorva {
namespace {

// Columns of 1 m on the layered bed with two sizes, non-erodible level at 0, each stack one
// layer of an even mixture unless a test lays its own.
class LayeredBed : public test::BedGrid {
 protected:
  // Each call starts a new patch: arrays of an earlier one in the same test are dropped.
  void make(int nx, int ny) {
    SetArraysZero();
    FlagTSC = 3;
    NoBedLayers = 5;
    lnumber = 2;
    TopThickness = 0.1;
    SolidFrac = 0.5;
    AngleAvalanche = 0.5;
    build(nx, ny, test::flatBed, 5.0);
    for (int i = 1; i <= nx + 1; ++i)
      for (int j = 1; j <= ny + 1; ++j) Surfaces[3][i][j] = 0;
    for (int b = 1; b <= NoBCells; ++b) lay(b, {{0.5, 0.5, 0.5, 0.5}});
  }
  struct Layer {
    double t, f1, f2, sf;
  };
  static void lay(int b, const std::vector<Layer>& layers) {
    for (int j = 0; j <= NoBedLayers; ++j)
      for (int l = 0; l <= lnumber; ++l) BSedDistrib[j][l][b] = 0;
    for (size_t j = 0; j < layers.size(); ++j) {
      BSedDistrib[j][0][b] = layers[j].t;
      BSedDistrib[j][1][b] = layers[j].f1;
      BSedDistrib[j][2][b] = layers[j].f2;
      Bsolidfraction[j][b] = layers[j].sf;
    }
    BlayerTop[b] = static_cast<int>(layers.size()) - 1;
  }
  static double stack(int b) {
    double t = 0;
    for (int j = 0; j <= BlayerTop[b]; ++j) t += BSedDistrib[j][0][b];
    return t;
  }
  // Grains of size l in the whole bed (m3).
  static double grains(int l) {
    double v = 0;
    for (int b = 1; b <= NoBCells; ++b)
      for (int j = 0; j <= BlayerTop[b]; ++j)
        v += Barea[b] * BSedDistrib[j][0][b] * Bsolidfraction[j][b] * BSedDistrib[j][l][b];
    return v;
  }
};

// Two columns 1 m apart, 1.5 m and 0.5 m of bed (allowed 0.5 m): half the excess of 0.5 m,
// 0.25 m, leaves the higher stack with its make-up 0.6 / 0.4 (0.15 and 0.1 m) and becomes a new
// top layer of the lower one; the pair ends exactly at the angle of repose. 205 does the same in
// the pending change and leaves the stacks alone.
TEST_F(LayeredBed, HalfTheExcessMovesSizeBySize) {
  for (int variant : {202, 204, 205}) {
    SCOPED_TRACE(variant);
    make(2, 1);
    IterAvalanche = variant;
    const int w = bed(2, 2), e = bed(3, 2);
    lay(w, {{1.5, 0.6, 0.4, 0.5}});
    computeSandSlide();
    if (variant == 205) {
      EXPECT_NEAR(Bedmove[w], -0.25, 1e-15);
      EXPECT_NEAR(Bedmove[e], 0.25, 1e-15);
      EXPECT_NEAR(Bbedchange[1][w], -0.15, 1e-15);
      EXPECT_NEAR(Bbedchange[2][e], 0.1, 1e-15);
      EXPECT_EQ(stack(w), 1.5);
      continue;
    }
    EXPECT_NEAR(stack(w), 1.25, 1e-14);
    ASSERT_EQ(BlayerTop[e], 1);
    EXPECT_NEAR(BSedDistrib[1][0][e], 0.25, 1e-14);
    EXPECT_NEAR(BSedDistrib[1][1][e], 0.6, 1e-14);
    EXPECT_NEAR(stack(w) - stack(e), 0.5, 1e-14);
  }
}

// A pair that differs by exactly the allowed difference does not move (206 compares the mean
// corner levels, 1.0 + 0 + 1.0 + 0 over 4 against 0).
TEST_F(LayeredBed, ExactlyAtTheAngleNothingMoves) {
  for (int variant : {202, 204, 205, 206}) {
    SCOPED_TRACE(variant);
    make(2, 1);
    IterAvalanche = variant;
    lay(bed(2, 2), {{1.0, 0.5, 0.5, 0.5}});
    level(1, 1) = level(1, 2) = 1.0;
    Bedmove[bed(2, 2)] = variant == 206 ? 0.1 : 0.0;
    computeSandSlide();
    EXPECT_EQ(stack(bed(2, 2)), 1.0);
    EXPECT_EQ(stack(bed(3, 2)), 0.5);
    EXPECT_EQ(Bedmove[bed(2, 2)], variant == 206 ? 0.1 : 0.0);
  }
}

// A pile of 3 m in the middle of a 5 x 5 patch, its top layer coarse (solid fraction 0.45) on
// a finer one (0.6), the columns around of different areas: after passes of 202 no pair is
// steeper than the angle of repose, and the grains of each size are the same to 1e-12 of the
// moved volume.
TEST_F(LayeredBed, APileRelaxesToTheAngleOfReposeKeepingEachSize) {
  make(5, 5);
  IterAvalanche = 202;
  lay(bed(4, 4), {{2.0, 0.2, 0.8, 0.6}, {1.0, 0.9, 0.1, 0.45}});
  for (int b = 1; b <= NoBCells; ++b) Barea[b] = 1.0 + 0.05 * (b % 3);
  const double g1 = grains(1), g2 = grains(2);
  const double moved = 3.0 - 0.5;
  for (int pass = 0; pass < 200; ++pass) computeSandSlide();
  EXPECT_NEAR(grains(1), g1, 1e-12 * moved);
  EXPECT_NEAR(grains(2), g2, 1e-12 * moved);
  double worst = 0;
  for (int i = 2; i <= 6; ++i)
    for (int j = 2; j <= 6; ++j) {
      const double z = stack(bed(i, j));
      if (i < 6) worst = std::max(worst, std::fabs(z - stack(bed(i + 1, j))) - 0.5);
      if (j < 6) worst = std::max(worst, std::fabs(z - stack(bed(i, j + 1))) - 0.5);
    }
  EXPECT_LT(worst, 1e-6);
  EXPECT_LT(stack(bed(4, 4)), 2.0);
}

// 205 over columns of different areas: the pending volume is kept, Bedmove stays the sum of
// its sizes, and a stack thinner than the move gives only what it holds.
TEST_F(LayeredBed, PendingSlideKeepsTheVolume) {
  make(3, 1);
  IterAvalanche = 205;
  const int a = bed(2, 2), b = bed(3, 2), c = bed(4, 2);
  lay(a, {{0.2, 0.5, 0.5, 0.5}});
  Bedmove[a] = 2.0;
  Bbedchange[1][a] = 2.0;
  Barea[a] = 2.0;
  Barea[b] = 1.0;
  Barea[c] = 0.5;
  computeSandSlide();
  double v = 0;
  for (int x : {a, b, c}) {
    v += Barea[x] * Bedmove[x];
    EXPECT_NEAR(Bedmove[x], Bbedchange[1][x] + Bbedchange[2][x], 1e-15);
  }
  EXPECT_NEAR(v, 4.0, 1e-14);
  EXPECT_NEAR(Bedmove[a], 2.0 - 0.2, 1e-15);
}

// 206: the higher column's pending deposition goes to the lower one; pending erosion stays.
TEST_F(LayeredBed, PendingDepositionIsHandedDown) {
  make(2, 1);
  IterAvalanche = 206;
  const int w = bed(2, 2), e = bed(3, 2);
  level(1, 1) = level(1, 2) = 2.0;
  for (double pending : {0.1, -0.1}) {
    SCOPED_TRACE(pending);
    Bedmove[w] = pending;
    Bbedchange[1][w] = pending;
    Bedmove[e] = Bbedchange[1][e] = 0.02;
    computeSandSlide();
    EXPECT_NEAR(Bedmove[w], pending > 0 ? 0.0 : pending, 1e-15);
    EXPECT_NEAR(Bedmove[e], pending > 0 ? 0.12 : 0.02, 1e-15);
    EXPECT_NEAR(Bbedchange[1][e], Bedmove[e], 1e-15);
  }
}

// Smoothing by exchange along i on a row of three 1 m columns: the allowed difference is F 451
// times |P(i,j) + P(i,j-1) - P(i-1,j) - P(i-1,j-1)| = 0.1 x 2 m. A bump of 1 m over 0.5 m
// neighbours (excess 0.3) gives 0.15 m, 0.075 m to each; a dip of 0.2 m under 0.6 m (excess
// 0.2) takes 0.05 m from each. Exactly at the allowed difference, nothing. Grains kept.
TEST_F(LayeredBed, SmoothingByExchangeEvensBumpsAndDips) {
  struct Case {
    double centre, side, centreAfter, sideAfter;
  };
  for (const Case& k : {Case{1.0, 0.5, 0.85, 0.575}, Case{0.2, 0.6, 0.3, 0.55}, Case{0.7, 0.5, 0.7, 0.5}}) {
    SCOPED_TRACE(k.centre);
    make(3, 1);
    FlagBedSmooth4 = 1;
    BedSmooth4 = 0.1;
    lay(bed(2, 2), {{k.side, 1.0, 0.0, 0.5}});
    lay(bed(3, 2), {{k.centre, 0.3, 0.7, 0.5}});
    lay(bed(4, 2), {{k.side, 0.0, 1.0, 0.5}});
    const double g1 = grains(1), g2 = grains(2);
    bedSmooth4();
    EXPECT_NEAR(stack(bed(3, 2)), k.centreAfter, 1e-14);
    EXPECT_NEAR(stack(bed(2, 2)), k.sideAfter, 1e-14);
    EXPECT_NEAR(stack(bed(4, 2)), k.sideAfter, 1e-14);
    EXPECT_NEAR(grains(1), g1, 1e-15);
    EXPECT_NEAR(grains(2), g2, 1e-15);
  }
}

}  // namespace
}  // namespace qorva
