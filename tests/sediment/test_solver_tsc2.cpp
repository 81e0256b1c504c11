// The erosion rate of the second solver family (F 37 2), by hand on one column: the settling
// flux of the equilibrium concentration, at most the settling flux of the present
// concentration plus what the active layer delivers in a step; the options of F 304 and F 484;
// and the factor that lifts a column's capacities when its suspension lies below them.
#include <cmath>

#include "sediment/capacity_box.h"
#include "sediment/sediment_loop.h"
#include "state/options.h"
#include "state/options_f300_349.h"
#include "state/options_f450_499.h"

namespace qorva::test {
namespace {

// One column of 1 m2, grains of 0.2 mm falling at 2 cm/s: W = 1 x 0.02 x 1000 = 20 kg/s per unit
// concentration; a step of 100 s; solid fraction 0.5.
class ErosionRate : public CapacityBox {
 protected:
  void build(int sizes) {
    CapacityBox::build({1.0}, {1.0}, {0.5, 0.5}, sizes, 0.0002, 0.02);
    ASSERT_TRUE(Cconc.allocate(sizes + 1LL, MaxCeller));
    TimeStep = 100;
    SolidFrac = 0.5;
  }
  static constexpr double W = 20;
};

TEST_F(ErosionRate, OneSize) {
  build(1);
  struct Case {
    double layer, C, Bc;  // active-layer thickness, concentration, equilibrium concentration
    double e;             // by hand, kg/s
  };
  // Supply of the layer: thickness x 1 m2 x 1000 x 0.5 / 100 s = 5 x thickness.
  const Case cases[] = {
      {1.0, 0.001, 0.01, 0.2},            // W ce = 0.2 < C W + 5
      {0.0, 0.001, 0.01, 0.02},           // an empty layer gives back what settles: C W
      {0.001, 0.0, 0.01, 0.005},          // the layer's 1 mm delivers 0.005
      {1.0, 0.003, 0.0, 0.0},             // no capacity, no erosion
  };
  for (const Case& c : cases) {
    BSedDistrib[1][0][1] = c.layer;
    Cconc[1][1] = c.C;
    Bconc[1][1] = c.Bc;
    EXPECT_NEAR(erosionRate(1, 1, true), c.e, 1e-12) << c.layer << " " << c.C << " " << c.Bc;
  }
  // F 304 1 lets the equilibrium rise to the present concentration.
  FlagBedVer = 1;
  BSedDistrib[1][0][1] = 1.0;
  Cconc[1][1] = 0.02;
  Bconc[1][1] = 0.01;
  EXPECT_NEAR(erosionRate(1, 1, true), W * 0.02, 1e-12);
  // A cohesive size the shear cannot move: nothing.
  FlagBedVer = 0;
  cohesive[1] = 0.5;
  Ckinen[1] = 0.001;  // 0.3 Pa
  EXPECT_EQ(erosionRate(1, 1, true), 0.0);
  Ckinen[1] = 0.002;  // 0.6 Pa
  EXPECT_NEAR(erosionRate(1, 1, true), 0.2, 1e-12);
}

// Two sizes: each takes its fraction of its capacity; F 484 3 the whole capacity.
TEST_F(ErosionRate, SeveralSizesAndTheirFractions) {
  build(2);
  bedOf(1.0, {0.25, 0.75});
  Bconc[1][1] = 0.004;
  Bconc[2][1] = 0.008;
  EXPECT_NEAR(erosionRate(1, 1, false), W * 0.25 * 0.004, 1e-12);
  EXPECT_NEAR(erosionRate(2, 1, false), W * 0.75 * 0.008, 1e-12);
  FlagSumFractions = 3;
  EXPECT_NEAR(erosionRate(1, 1, false), W * 0.004, 1e-12);
  // F 484 2: the larger of the fraction's share and the suspension's share of the capacity.
  FlagSumFractions = 2;
  Cconc[1][1] = 0.003;
  Cconc[2][1] = 0.001;
  Cconc[0][1] = 0.004;
  EXPECT_NEAR(erosionRate(1, 1, false), W * 0.75 * 0.004, 1e-12);
}

// The suspension summed relative to capacity: 0.5 gives 2; 0.01 and 1.2 give 1.
TEST_F(ErosionRate, SuspensionFraction) {
  build(2);
  Bconc[1][1] = 0.01;
  Bconc[2][1] = 1e-9;  // below 1e-8: not counted
  Cconc[2][1] = 5;
  struct Case {
    double C, factor;
  };
  for (const Case& c : {Case{0.005, 2.0}, Case{0.0001, 1.0}, Case{0.012, 1.0}}) {
    Cconc[1][1] = c.C;
    EXPECT_NEAR(findSuspFraction(1), c.factor, 1e-12) << c.C;
  }
}

}  // namespace
}  // namespace qorva::test
