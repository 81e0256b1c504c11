// The layer stack of one bed cell against hand values: merging, the choice of the pair to
// merge, removing empty layers, splitting, eroding one size (into a second layer when the first
// runs out), moving bed between layers, and bookkeeping of the solid volume throughout.
#include <cmath>
#include <string>
#include <vector>

#include "bed/bed.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/log.h"
#include "state/options.h"
#include "support/scratch.h"

namespace qorva {
namespace {

// Two sizes, four layer slots, bed cell 1; thickness scale 0.1 m (F 106).
class BedLayers : public test::Scratch {
 protected:
  void SetUp() override {
    test::Scratch::SetUp();
    lnumber = 2;
    NoBedLayers = 4;
    TopThickness = 0.1;
    ASSERT_TRUE(BSedDistrib.allocate(NoBedLayers + 1, lnumber + 1, 3));
    ASSERT_TRUE(Bsolidfraction.allocate(NoBedLayers + 1, 3));
    ASSERT_TRUE(BlayerTop.allocate(3));
  }
  void TearDown() override {
    SetArraysZero();
    test::Scratch::TearDown();
  }
  struct Layer {
    double t, f1, f2, sf;
  };
  // Lays the stack from the bottom up.
  static void stack(const std::vector<Layer>& layers) {
    for (int j = 0; j <= NoBedLayers; ++j) {
      for (int l = 0; l <= lnumber; ++l) BSedDistrib[j][l][1] = 0;
      Bsolidfraction[j][1] = 0;
    }
    for (size_t j = 0; j < layers.size(); ++j) {
      BSedDistrib[j][0][1] = layers[j].t;
      BSedDistrib[j][1][1] = layers[j].f1;
      BSedDistrib[j][2][1] = layers[j].f2;
      Bsolidfraction[j][1] = layers[j].sf;
    }
    BlayerTop[1] = static_cast<int>(layers.size()) - 1;
  }
  static double t(int j) { return BSedDistrib[j][0][1]; }
  static double f(int j, int l) { return BSedDistrib[j][l][1]; }
  // Solid volume of size l in the stack, per unit area.
  static double solid(int l) {
    double v = 0;
    for (int j = 0; j <= BlayerTop[1]; ++j) v += t(j) * Bsolidfraction[j][1] * f(j, l);
    return v;
  }
};

// 0.2 m of size 1 on 0.6 m of an even mixture: the merged 0.8 m holds 0.625 / 0.375 and the
// solid fraction weighted by thickness, (0.2 x 0.4 + 0.6 x 0.6) / 0.8 = 0.55; the layer above
// moves down and the freed slot is empty.
TEST_F(BedLayers, JoiningMixesByThicknessAndClosesTheGap) {
  stack({{0.6, 0.5, 0.5, 0.6}, {0.2, 1.0, 0.0, 0.4}, {0.05, 0.0, 1.0, 0.5}});
  const double s1 = solid(1), s2 = solid(2);
  JoinLayers(1, 1);
  EXPECT_EQ(BlayerTop[1], 1);
  EXPECT_NEAR(t(0), 0.8, 1e-15);
  EXPECT_NEAR(f(0, 1), 0.625, 1e-15);
  EXPECT_NEAR(f(0, 2), 0.375, 1e-15);
  EXPECT_NEAR(Bsolidfraction[0][1], 0.55, 1e-15);
  EXPECT_NEAR(t(1), 0.05, 1e-15);
  EXPECT_EQ(f(1, 2), 1.0);
  EXPECT_EQ(t(2), 0.0);
  EXPECT_EQ(f(2, 2), 0.0);
  // Joining layers of different solid fractions keeps the thickness, not the grains: the
  // grains of the merged layer are counted with the mean solid fraction.
  EXPECT_NEAR(solid(1) + solid(2), s1 + s2, 1e-15);
}

TEST_F(BedLayers, JoiningAnEmptyLayerOrEqualSolidFractionsChangesNothingElse) {
  stack({{0.3, 0.2, 0.8, 0.6}, {0.0, 1.0, 0.0, 0.6}});
  JoinLayers(1, 0);  // taken as 1
  EXPECT_EQ(BlayerTop[1], 0);
  EXPECT_NEAR(f(0, 1), 0.2, 1e-15);
  EXPECT_NEAR(f(0, 2), 0.8, 1e-15);
  EXPECT_NEAR(Bsolidfraction[0][1], 0.6, 1e-15);
  EXPECT_NEAR(t(0), 0.3, 1e-15);
}

TEST_F(BedLayers, TheLayerToJoinWhenTheStackIsFull) {
  struct Case {
    const char* name;
    std::vector<Layer> layers;
    int join;
  };
  const Case cases[] = {
      {"the layer below the top is thinner than 1.5 scales",
       {{0.3, 1, 0, 0.5}, {0.3, 0, 1, 0.5}, {0.1, 1, 0, 0.5}, {0.3, 0.5, 0.5, 0.5}}, 3},
      {"a near-empty pair before the most similar one",
       {{0.3, 1, 0, 0.5}, {4e-8, 0, 1, 0.5}, {4e-8, 0.5, 0.5, 0.5}, {0.3, 0, 1, 0.5}, {0.3, 0, 1, 0.5}}, 2},
      {"the most similar neighbours",
       {{0.3, 1, 0, 0.5}, {0.3, 0, 1, 0.5}, {0.3, 0.1, 0.9, 0.5}, {0.3, 0.6, 0.4, 0.5}}, 2},
      {"a tie goes to the lowest",
       {{0.3, 1, 0, 0.5}, {0.3, 0, 1, 0.5}, {0.3, 1, 0, 0.5}, {0.3, 0, 1, 0.5}}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    stack(c.layers);
    EXPECT_EQ(FindJoinLayer(1), c.join);
  }
}

TEST_F(BedLayers, EmptyLayersAreJoinedAway) {
  // Layers 1..3 all thinner than 1e-10: one layer 0 holding their sum, three joins counted.
  stack({{0.2, 1, 0, 0.5}, {5e-11, 0, 1, 0.5}, {5e-11, 0, 1, 0.5}, {5e-11, 0, 1, 0.5}});
  EXPECT_EQ(removeZerolayers(1), 3);
  EXPECT_EQ(BlayerTop[1], 0);
  EXPECT_NEAR(t(0), 0.2 + 1.5e-10, 1e-18);
  // A single layer is left as it is.
  EXPECT_EQ(removeZerolayers(1), 0);
  EXPECT_EQ(BlayerTop[1], 0);
  // An empty bottom layer takes the one above it, without being counted.
  stack({{0.0, 0, 0, 0.5}, {0.2, 0.3, 0.7, 0.5}});
  EXPECT_EQ(removeZerolayers(1), 0);
  EXPECT_EQ(BlayerTop[1], 0);
  EXPECT_NEAR(t(0), 0.2, 1e-15);
  EXPECT_NEAR(f(0, 1), 0.3, 1e-15);
}

// A layer of four scales splits into three and one (F 434 1) or two halves (2), both pieces
// with its distribution; other values name no split and stop the run.
TEST_F(BedLayers, SplittingAThickLayer) {
  for (int form : {1, 2}) {
    SCOPED_TRACE(form);
    FlagSplitLayers = form;
    stack({{0.4, 0.3, 0.7, 0.55}, {0.05, 1, 0, 0.5}});
    SplitLayers(1);
    EXPECT_EQ(BlayerTop[1], 2);
    EXPECT_NEAR(t(0), form == 1 ? 0.3 : 0.2, 1e-15);
    EXPECT_NEAR(t(1), form == 1 ? 0.1 : 0.2, 1e-15);
    EXPECT_EQ(f(1, 1), 0.3);
    EXPECT_EQ(Bsolidfraction[1][1], 0.55);
    EXPECT_NEAR(t(2), 0.05, 1e-15);
  }
  FlagSplitLayers = 3;
  stack({{0.4, 0.3, 0.7, 0.55}});
  try {
    SplitLayers(1);
    ADD_FAILURE() << "a split of F 434 3 went on";
  } catch (const RunEnd& e) {
    EXPECT_EQ(e.status, 1);
  }
  EXPECT_NE(log().find("Error for F 434 in control file"), std::string::npos);
}

// Erosion of size 1 from a layer of 0.1 m, solid fraction 0.5, half size 1: it holds 0.025 m3
// per m2 of that size. A demand of 0.01 is met: the layer keeps 0.04 m3 of grains, 0.015 of
// size 1. A demand of 0.04 takes all 0.025 and returns the unmet 0.015, which the layer below
// then gives: the erosion reaches the second layer, and the grains taken are exactly those
// asked for.
TEST_F(BedLayers, ErosionOfOneSizeReachesTheSecondLayer) {
  stack({{0.1, 0.5, 0.5, 0.5}, {0.1, 0.5, 0.5, 0.5}});
  double left = erodeLayerUnder(1, 1, 1, -0.01);
  EXPECT_EQ(left, 0.0);
  EXPECT_TRUE(std::signbit(left));
  EXPECT_NEAR(t(1), 0.08, 1e-15);
  EXPECT_NEAR(f(1, 1), 0.015 / 0.04, 1e-15);
  EXPECT_NEAR(f(1, 1) + f(1, 2), 1.0, 1e-15);

  stack({{0.1, 0.5, 0.5, 0.5}, {0.1, 0.5, 0.5, 0.5}});
  const double before = solid(1);
  left = erodeLayerUnder(1, 1, 1, -0.04);
  EXPECT_NEAR(left, -0.015, 1e-15);
  EXPECT_EQ(f(1, 1), 0.0);
  EXPECT_NEAR(f(1, 2), 1.0, 1e-15);
  left = erodeLayerUnder(1, 0, 1, left);
  EXPECT_EQ(left, 0.0);
  EXPECT_NEAR(before - solid(1), 0.04, 1e-15);
}

// A layer without a solid fraction counts with that of new deposits (F 26), so erosion leaves a
// finite thickness.
TEST_F(BedLayers, ErosionOfALayerWithoutSolidFraction) {
  SolidFrac = 0.5;
  stack({{0.1, 0.5, 0.5, 0.0}});
  erodeLayerUnder(1, 0, 1, -0.01);
  EXPECT_NEAR(t(0), 0.08, 1e-15);
}

// 0.05 m of a layer of size 1 (solid fraction 0.4) mixed into 0.15 m of size 2 (0.6): solid
// fraction (0.02 + 0.09) / 0.2 = 0.55, fractions by grains 0.02 / 0.11 and 0.09 / 0.11.
TEST_F(BedLayers, MovingBedMixesByGrains) {
  stack({{0.15, 0, 1, 0.6}, {0.2, 1, 0, 0.4}});
  const double s1 = solid(1), s2 = solid(2);
  MoveSediment(1, 0, 1, 0.05);
  EXPECT_NEAR(Bsolidfraction[0][1], 0.55, 1e-15);
  EXPECT_NEAR(f(0, 1), 0.02 / 0.11, 1e-12);
  EXPECT_NEAR(f(0, 2), 0.09 / 0.11, 1e-12);
  EXPECT_NEAR(t(0), 0.2, 1e-15);
  EXPECT_NEAR(t(1), 0.15, 1e-15);
  EXPECT_NEAR(solid(1), s1, 1e-12);
  EXPECT_NEAR(solid(2), s2, 1e-12);
}

}  // namespace
}  // namespace qorva
