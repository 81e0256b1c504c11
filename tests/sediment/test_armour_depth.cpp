// The active depth of the layered bed by the rules of F 447, and the layer in which it ends,
// worked out by hand on one bed cell with a stack of four layers.
#include <cmath>

#include "sediment/capacity_box.h"
#include "sediment/sediment_loop.h"
#include "state/options_f400_449.h"

namespace qorva::test {
namespace {

class ArmourDepth : public CapacityBox {
 protected:
  // Layers 0..3 of 1.0, 0.5, 0.3 and 0.2 m (top 3); sizes 1 mm and 0.2 mm, the top layer a
  // quarter of the first.
  void SetUp() override {
    CapacityBox::SetUp();
    NoBedLayers = 4;
    FlagTSC = 3;
    build({1.0}, {1.0}, {1.0}, 2, 0.001, 0.1);
    gsize[2] = 0.0002;
    ASSERT_TRUE(Bedmove.allocate(2));
    ASSERT_TRUE(Barmourthick.allocate(2));
    ASSERT_TRUE(Bbedchange.allocate(3, 2));
    const double t[4] = {1.0, 0.5, 0.3, 0.2};
    for (int k = 0; k < 4; ++k) layerOf(1, k, t[k], {0.5, 0.5});
    layerOf(1, 3, 0.2, {0.25, 0.75});
    BlayerTop[1] = 3;
  }
};

TEST_F(ArmourDepth, RulesOfF447) {
  const double ta = 0.05;
  struct Case {
    int rule;
    double move, change1, change2;  // Bedmove, Bbedchange of sizes 1 and 2
    double D;                       // by hand
    int layer;                      // where it ends
  };
  const Case cases[] = {
      {0, -0.01, 0, 0, 0.06, 3},
      {1, -0.01, 0, 0, 0.011, 3},
      {2, -0.01, 0, 0, 0.01, 3},       // max(0.01, 0.001)
      {3, 0.02, 0, 0, 0.05, 3},        // max(-0.02, 0.05)
      {4, 0, -0.003, 0, 0.002, 3},     // (0.001 + 0.003) / 2
      // (0.001 + 0.003) / 2 / 0.3 = 0.00667 against (0.0002 - 0.0) / 2 / 0.8 = 0.000125
      {5, 0, -0.003, 0, 0.000125, 3},
      {6, 0, 0, 0, 0.001, 3},
      {7, 0, 0, 0, 0.05, 3},
      {8, 0, 0, 0, 0.2, 2},            // the top layer exactly: it ends in the one below
      {9, 0, 0, 0, 0.5, 1},            // 0.2 + 0.3: ends in layer 1
      {0, 0.1, 0, 0, 0.0, 3},          // deposition above ta: no depth
      {3, -2.5, 0, 0, 2.5, 0},         // deeper than layers 3..1: 0
  };
  for (const Case& c : cases) {
    FlagArmourDepth = c.rule;
    Bedmove[1] = c.move;
    Bbedchange[1][1] = c.change1;
    Bbedchange[2][1] = c.change2;
    EXPECT_NEAR(computeArmourDepth(ta, 1), -c.D, 1e-12) << "F 447 " << c.rule << " " << c.move;
    EXPECT_EQ(Barmourthick[1], c.layer) << "F 447 " << c.rule << " " << c.move;
  }
}

}  // namespace
}  // namespace qorva::test
