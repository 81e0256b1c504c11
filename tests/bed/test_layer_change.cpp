// The layer change after a bed change against hand values: deposits as new top layers, on a
// full stack, with a size eroded at the same time; erosion through two layers, of exactly the
// top layer, deeper than the stack; what a stack holds within a depth; a broken stack.
#include <cmath>
#include <string>

#include "bed/bed.h"
#include "bed/layer_stack.h"
#include "state/options_f400_449.h"

namespace qorva {
namespace {

using test::LayerStack;

// 3 cm of size 1 and 1 cm of size 2 on a single layer: a new top layer 4 cm thick of 3/4 and
// 1/4, solid fraction of new deposits; nothing left unmet.
TEST_F(LayerStack, DepositIsANewTopLayerOfTheDepositedMixture) {
  stack({{0.5, 0.5, 0.5, 0.6}});
  change(0.03, 0.01);
  ChangeLayers(1, 0.04);
  ASSERT_EQ(BlayerTop[1], 1);
  EXPECT_NEAR(t(1), 0.04, 1e-15);
  EXPECT_NEAR(f(1, 1), 0.75, 1e-15);
  EXPECT_NEAR(f(1, 2), 0.25, 1e-15);
  EXPECT_EQ(Bsolidfraction[1][1], 0.5);
  EXPECT_EQ(t(0), 0.5);
  EXPECT_EQ(Bvolleft[1][1], 0.0);
  EXPECT_EQ(Bvolleft[2][1], 0.0);
}

// Four slots all in use: the thin layer under the top (below 1.5 x 0.1 m) takes the top layer
// in first, so the deposit lands in slot 3 and the stack never outgrows its slots.
TEST_F(LayerStack, DepositOnAFullStackJoinsAPairFirst) {
  stack({{1.0, 0.5, 0.5, 0.5}, {0.3, 1.0, 0.0, 0.5}, {0.1, 0.0, 1.0, 0.5}, {0.1, 1.0, 0.0, 0.5}});
  change(0.02, 0.0);
  ChangeLayers(1, 0.02);
  ASSERT_EQ(BlayerTop[1], 3);
  EXPECT_NEAR(t(2), 0.2, 1e-15);
  EXPECT_NEAR(f(2, 1), 0.5, 1e-15);
  EXPECT_NEAR(t(3), 0.02, 1e-15);
  EXPECT_NEAR(total(), 1.52, 1e-14);
}

// The bed rises by 4 cm of size 1 while size 2 loses 2 cm of bed (0.01 m3/m2 of grains at
// solid fraction 0.5). The top layer (1 cm, half size 2, solid fraction 0.5) holds 0.0025 of
// it (leaving 0.0025 of size 1 at 0.5: 5 mm); with F 412 1 the rest, 0.0075, comes from layer 0 (0.25 of size 2); with F 412 0 it is
// left unmet in Bvolleft.
TEST_F(LayerStack, DepositWithOneSizeErodedReachesDownByF412) {
  struct Case {
    int erodeUnder;
    double left, layer0Size2;
  };
  for (const Case& k : {Case{1, 0.0, 0.25 - 0.0075}, Case{0, -0.0075, 0.25}}) {
    SCOPED_TRACE(k.erodeUnder);
    FlagErodeUnder = k.erodeUnder;
    stack({{1.0, 0.5, 0.5, 0.5}, {0.01, 0.5, 0.5, 0.5}});
    Bvolleft[2][1] = 0;
    change(0.04, -0.02);
    ChangeLayers(1, 0.02);
    ASSERT_EQ(BlayerTop[1], 2);
    EXPECT_NEAR(Bvolleft[2][1], k.left, 1e-15);
    // The old top layer lost all of its size 2: what is left of it is size 1.
    EXPECT_NEAR(t(1), 0.005, 1e-15);
    EXPECT_NEAR(f(1, 1), 1.0, 1e-12);
    EXPECT_NEAR(t(2), 0.04, 1e-15);
    EXPECT_EQ(f(2, 2), 0.0);
    EXPECT_NEAR(solid(2), k.layer0Size2, 1e-14);
  }
}

// Erosion of 12 cm through two layers: the top layer (5 cm of size 1) is taken whole, the
// second (10 cm, 0.2 / 0.8) is cut into. Demands at the top's solid fraction 0.5: size 1
// 0.045, size 2 0.015 m3/m2 of grains. Collected: size 1 0.025 + 0.01 = 0.035, size 2 0.04.
// Size 1 is 0.01 short, which layer 0 gives (0.25 -> 0.24 of size 1, 1 m -> 0.98 m); the new
// top layer holds the 0.025 of size 2 left, 5 cm thick. The bed falls by exactly 12 cm.
TEST_F(LayerStack, ErosionThroughTwoLayersKeepsTheBooks) {
  stack({{1.0, 0.5, 0.5, 0.5}, {0.1, 0.2, 0.8, 0.5}, {0.05, 1.0, 0.0, 0.5}});
  const double s1 = solid(1), s2 = solid(2);
  change(-0.09, -0.03);
  ChangeLayers(1, -0.12);
  ASSERT_EQ(BlayerTop[1], 1);
  EXPECT_NEAR(t(0), 0.98, 1e-14);
  EXPECT_NEAR(f(0, 1), 0.24 / 0.49, 1e-14);
  EXPECT_NEAR(f(0, 2), 0.25 / 0.49, 1e-14);
  EXPECT_NEAR(t(1), 0.05, 1e-14);
  EXPECT_NEAR(f(1, 1), 0.0, 1e-12);
  EXPECT_NEAR(f(1, 2), 1.0, 1e-12);
  EXPECT_EQ(t(2), 0.0);
  EXPECT_NEAR(total(), 1.15 - 0.12, 1e-14);
  EXPECT_NEAR(s1 - solid(1), 0.045, 1e-14);
  EXPECT_NEAR(s2 - solid(2), 0.015, 1e-14);
  EXPECT_EQ(Bvolleft[1][1], 0.0);
}

// An erosion of exactly the top layer's thickness collects the layer below as well (the depth
// must be exceeded to stop), and what is left of both is the new top at index 0.
TEST_F(LayerStack, ErosionOfExactlyTheTopLayerMergesTheLayerBelow) {
  stack({{0.5, 0.5, 0.5, 0.5}, {0.1, 1.0, 0.0, 0.5}});
  change(-0.1, 0.0);
  ChangeLayers(1, -0.1);
  ASSERT_EQ(BlayerTop[1], 0);
  EXPECT_NEAR(t(0), 0.5, 1e-15);
  EXPECT_NEAR(f(0, 1), 0.5, 1e-15);
  EXPECT_NEAR(f(0, 2), 0.5, 1e-15);
}

// 30 cm asked of a 10 cm stack: a single empty layer 0 stays, and each size's shortfall,
// 0.075 - 0.025 m3/m2 of grains, is left in Bvolleft.
TEST_F(LayerStack, ErosionDeeperThanTheStackLeavesTheShortfall) {
  stack({{0.1, 0.5, 0.5, 0.5}});
  change(-0.15, -0.15);
  ChangeLayers(1, -0.3);
  EXPECT_EQ(BlayerTop[1], 0);
  EXPECT_EQ(t(0), 0.0);
  EXPECT_NEAR(Bvolleft[1][1], -0.05, 1e-15);
  EXPECT_NEAR(Bvolleft[2][1], -0.05, 1e-15);
}

// A layer of 10 cm of size 1 at solid fraction 0.5 on 1 m of an even mixture at 0.6. Within
// 15 cm lie 0.1 m of the top layer and 5 cm of the lower one: 0.05 + 0.015 m3/m2 of size-1
// grains and 0.015 of size 2; in metres of bed 0.125 and 0.025. Deeper than the stack: all of
// it; a deposit: nothing; F 445 scales.
TEST_F(LayerStack, AvailableWithinADepth) {
  struct Case {
    double dz, relax;
    bool meters;
    double a1, a2;
  };
  const Case cases[] = {
      {-0.15, 1.0, false, 0.065, 0.015},  {-0.15, 1.0, true, 0.125, 0.025},
      {-5.0, 1.0, false, 0.35, 0.3},      {-5.0, 1.0, true, 0.6, 0.5},
      {0.1, 1.0, false, 0.0, 0.0},        {0.0, 1.0, true, 0.0, 0.0},
      {-0.15, 0.5, false, 0.0325, 0.0075},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.dz);
    relaxAvailable = k.relax;
    stack({{1.0, 0.5, 0.5, 0.6}, {0.1, 1.0, 0.0, 0.5}});
    double avail[3] = {7, 7, 7};
    if (k.meters)
      computeAvailableFractionMeters(1, avail, k.dz);
    else
      computeAvailableFraction(1, avail, k.dz);
    EXPECT_NEAR(avail[1], k.a1, 1e-15);
    EXPECT_NEAR(avail[2], k.a2, 1e-15);
    EXPECT_EQ(avail[0], 7);  // only the sizes are written
  }
}

// A layer whose fractions sum to 0.5 is a broken stack: the run ends with status -4 and names
// the layer, its sizes and its thickness.
TEST_F(LayerStack, ABrokenStackEndsTheRun) {
  stack({{0.2, 0.25, 0.25, 0.5}});
  change(0, 0);
  EXPECT_EQ(test::endStatus([] { ChangeLayers(1, 0.0); }), -4);
  const std::string text = log();
  EXPECT_NE(text.find("Error in function ChangeLayers: sum of grain sizes layer 0 = 0.500000 for bedcell 1\n"
                      "size=1, fraction=0.25\nsize=2, fraction=0.25\n"
                      "Thickness of active layer: 0.2 meters, movement = 0 meters.\n"
                      "Number of top layer: 0, removed layers = 0\n"),
            std::string::npos)
      << text;
}

// A layer without a solid fraction (never set) counts with that of new deposits, so its
// grains are not lost to a zero factor.
TEST_F(LayerStack, ALayerWithoutASolidFractionCountsWithThatOfDeposits) {
  stack({{1.0, 0.5, 0.5, 0.0}});
  double avail[3] = {};
  computeAvailableFraction(1, avail, -0.2);
  EXPECT_NEAR(avail[1], 0.05, 1e-15);
  change(-0.1, -0.1);
  ChangeLayers(1, -0.2);
  EXPECT_NEAR(t(0), 0.8, 1e-14);
}

}  // namespace
}  // namespace qorva

namespace qorva {
namespace {

// Every allowed size (49) and many layer slots: deposits fill the stack, which joins pairs to
// stay within its slots, an erosion reaches down through many layers, and every size's grains
// are kept in the books (what the stack lost is what was asked).
TEST_F(LayerStack, EverySizeAndManyLayers) {
  lnumber = 49;
  NoBedLayers = 60;
  SetArraysZero();
  cells(1);
  for (int l = 1; l <= lnumber; ++l) gsize[l] = 0.0001 * (50 - l);
  stack({{1.0, 0.0, 0.0, 0.5}});
  for (int l = 1; l <= lnumber; ++l) BSedDistrib[0][l][1] = 1.0 / lnumber;
  for (int step = 0; step < 150; ++step) {
    double dz = 0;
    for (int l = 1; l <= lnumber; ++l) {
      Bbedchange[l][1] = l == 1 + step % lnumber ? 0.01 : 0.0;
      dz += Bbedchange[l][1];
    }
    ChangeLayers(1, dz);
    ASSERT_LE(BlayerTop[1], NoBedLayers - 1);
  }
  EXPECT_EQ(BlayerTop[1], NoBedLayers - 1);
  EXPECT_NEAR(total(), 2.5, 1e-12);
  double before[50] = {}, avail[50] = {};
  for (int l = 1; l <= lnumber; ++l) before[l] = solid(l);
  computeAvailableFraction(1, avail, -1.2);
  for (int l = 1; l <= lnumber; ++l) Bbedchange[l][1] = -avail[l] / 0.5;
  ChangeLayers(1, -1.2);
  EXPECT_NEAR(total(), 1.3, 1e-12);
  for (int l = 1; l <= lnumber; ++l) EXPECT_NEAR(before[l] - solid(l), avail[l], 1e-14) << l;
}

}  // namespace
}  // namespace qorva
