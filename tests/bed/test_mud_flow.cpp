// The mud flow on small hand-made states: the velocity damping rules of F 289, the bed friction
// of the lowest mud cells, the pressure integral of a column and the forward sweep over the
// flowing mud only.
#include <cmath>
#include <functional>

#include "bed/bed.h"
#include "solvers/solvers.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva {
namespace {

class MudFlow : public test::Scratch {
 protected:
  // Two columns of three cells side by side (1..3 west, 4..6 east), block 1 marked as mud.
  void SetUp() override {
    test::Scratch::SetUp();
    SetArraysZero();
    setDefaults();
    MaxCeller = 10;
    NoCells = 6;
    for (auto* t : {&Cxvel, &Cyvel, &Czvel, &Cthixorat, &Czcenter, &Ckdist, &Cpres, &Cap, &Cae,
                    &Caw, &Can, &Cas, &Cat, &Cab, &Csource, &Cxvel_old})
      t->allocate(10);
    for (auto* t : {&Cthixolev, &Ccellt, &Ccellb, &Ccelle, &Ccellw, &Ccelln, &Ccells, &Cflateb,
                    &Cflatew, &Cbed})
      t->allocate(10);
    Farea.allocate(20);
    Faz.allocate(20);
    Cjdist.allocate(10);
    Fflux.allocate(20);
    Bcellt.allocate(4);
    Bthixolev.allocate(4);
    NoBlocks = 1;
    block[1].thixo = 1;
    block[1].cellstart = 1;
    block[1].cellend = 6;
    block[1].bcellstart = 1;
    block[1].bcellend = 2;
    NoBCells = 2;
    for (int c = 1; c <= 6; ++c) {
      const int k = (c - 1) % 3;  // level in the column
      Czcenter[c] = 0.5 + k;
      Ckdist[c] = 0.5;
      Ccellt[c] = k < 2 ? c + 1 : 0;
      Ccellb[c] = k > 0 ? c - 1 : 0;
      Ccelle[c] = c <= 3 ? c + 3 : 0;
      Ccellw[c] = c > 3 ? c - 3 : 0;
      Cbed[c] = c <= 3 ? 1 : 2;
      Cflateb[c] = c;
      Cflatew[c] = 10 + c;
      Farea[c] = 2.0;
      Cxvel[c] = Cyvel[c] = Czvel[c] = 1.0;
    }
    Bcellt[1] = 1;
    Bcellt[2] = 4;
  }
  void TearDown() override {
    Cf.point(CfOwn);
    SetArraysZero();
    test::Scratch::TearDown();
  }
};

TEST_F(MudFlow, VelocityDampingRules) {
  struct Case {
    int rule;
    std::function<void()> set;
    double expected[7];  // Cxvel of cells 1..6 after the damping (entry 0 unused)
  };
  const Case cases[] = {
      {1, [] { Cthixolev[2] = 1; Cthixolev[5] = 2; Cthixolev[1] = 0; }, {0, 0, 1, 1, 1, 1, 1}},
      {2, [] { for (int c = 1; c <= 6; ++c) Cthixorat[c] = c == 3 ? -0.1 : 0.5; },
       {0, 1, 1, 0, 1, 1, 1}},
      {3, [] { for (int c = 1; c <= 6; ++c) Cthixorat[c] = c % 2 ? 0.5 : 1.5; },
       {0, 0, 1, 0, 1, 0, 1}},
      {4, [] { for (int c = 1; c <= 6; ++c) Cthixorat[c] = c * 0.25; },
       {0, 0.25, 0.5, 0.75, 1, 1, 1}},
      // Cell 4: its own 1, the west neighbour's 0.5 when the west face carries inflow.
      {5, [] { for (int c = 1; c <= 6; ++c) Cthixorat[c] = c <= 3 ? 0.5 : 2.0; Fflux[14] = 1.0; },
       {0, 0.0625, 0.0625, 0.0625, 0.0625, 1, 1}},
      {6, [] { Bthixolev[1] = 1.0; Bthixolev[2] = 2.0; }, {0, 0, 1, 1, 0, 0, 1}},
      {7, [] {}, {0, 0, 1, 1, 0, 1, 1}},
      {8, [] {}, {0, 1, 1, 1, 1, 1, 1}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.rule);
    for (int c = 1; c <= 6; ++c) {
      Cxvel[c] = Cyvel[c] = Czvel[c] = 1.0;
      Cthixorat[c] = 1.0;
      Cthixolev[c] = 1;
      Fflux[10 + c] = 0;
    }
    k.set();
    FlagThixoDampVel = k.rule;
    ThixoVelDamp();
    for (int c = 1; c <= 6; ++c) {
      EXPECT_NEAR(Cxvel[c], k.expected[c], 1e-12) << c;
      EXPECT_DOUBLE_EQ(Czvel[c], Cxvel[c]) << c;
    }
  }
  // A grid without a mud block is left alone.
  block[1].thixo = 0;
  FlagThixoDampVel = 7;
  Cxvel[1] = 3.0;
  ThixoVelDamp();
  EXPECT_DOUBLE_EQ(Cxvel[1], 3.0);
}

TEST_F(MudFlow, BedFrictionActsOnTheCellAboveTheBottomCell) {
  ThixoMinGamma = 1000.0;
  wall_thixo();
  // A viscous shear over the half height: area 2 m2 x 1000 / 0.5 m.
  for (int c = 1; c <= 6; ++c)
    EXPECT_DOUBLE_EQ(Cap[c], c == 2 || c == 5 ? 4000.0 : 0.0) << c;
}

TEST_F(MudFlow, PressureIntegralOfAColumnAboveTheWaterLevel) {
  // Cells 1..3 span 0..3 m; the W 1 level at 1.5 m; the pressure 1000 Pa in each cell.
  level = 1.5;
  for (int c = 1; c <= 3; ++c) Cpres[c] = 1000.0;
  // From the top cell (bottom 2 above the level): 1 m x 1000, then cell 2 (top 2 above the
  // level) adds (2 - 0.5) x 1000, and cell 1 (top 1 below) ends the walk.
  EXPECT_DOUBLE_EQ(computeAccHystatForce(3, 0.5), 1000.0 + 1500.0);
  EXPECT_DOUBLE_EQ(computeAccHystatForce(0, 0.5), 0.0);
}

TEST_F(MudFlow, ForwardSweepMovesOnlyFlowingMud) {
  // x_c = (x_top + 1) / 2 in each cell: a chain solved from the top down.
  Equation = 1;
  for (int c = 1; c <= 6; ++c) {
    Cap[c] = 2.0;
    Cat[c] = 1.0;
    Csource[c] = 1.0;
    Cxvel[c] = 5.0;
  }
  Cf.point(Cxvel);
  for (int c = 1; c <= 6; ++c) Cthixorat[c] = c == 2 ? 2.0 : 0.5;
  sou[Equation] = 0;
  GaussThixo(1, 6, 1);
  EXPECT_DOUBLE_EQ(Cxvel[2], 0.5 * (5.0 + 1.0));  // cell 3 is zeroed after it
  EXPECT_DOUBLE_EQ(Cxvel[1], 0.0);
  EXPECT_DOUBLE_EQ(Cxvel[3], 0.0);
  // The thirteen-point scheme keeps the resting cells' values.
  for (int c = 1; c <= 6; ++c) {
    Cxvel[c] = 5.0;
    Cthixolev[c] = c == 2 ? 2 : 1;
  }
  sou[Equation] = 1;
  GaussThixo(1, 6, 1);
  EXPECT_DOUBLE_EQ(Cxvel[2], 0.5 * (5.0 + 1.0));
  EXPECT_DOUBLE_EQ(Cxvel[1], 5.0);
  EXPECT_DOUBLE_EQ(Cxvel[3], 5.0);
}

TEST_F(MudFlow, AYieldRatioFarAboveOneGivesABoundedStateGain) {
  // No critical shear and no pressure: the yield shear is 1e-20 and the ratio of the inertia
  // term about 1e23, which no int state can count.
  ThixoCritshear = 0;
  TimeStep = 1.0;
  for (int c = 1; c <= 6; ++c) {
    Cxvel_old[c] = 1.0;
    Cpres[c] = 0.0;
    Faz[c] = 1.0;
    Cjdist[c] = 0.5;
    Cthixolev[c] = 0;
  }
  ThixoDamp3(1);
  EXPECT_GT(Cthixorat[2], 1e20);
  EXPECT_EQ(Cthixolev[2], 1000000);
  EXPECT_EQ(Cthixolev[3], 1000000);
  // The bottom cell rests; the mud level moves toward the face above it, below its centre.
  EXPECT_NEAR(Bthixolev[1], 0.1, 1e-12);
  EXPECT_EQ(Cthixolev[1], 1);
}

}  // namespace
}  // namespace qorva
