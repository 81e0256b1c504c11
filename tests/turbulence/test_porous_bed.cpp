// The porous thin bed: the drag of thin bottom cells at the edge of the wet area (F 7 P), the
// pull of their k towards the roughness value, and the drag of the roughness layer of every
// column (F 95, F 92 2 and 3), against hand values.
#include <gtest/gtest.h>

#include <cmath>

#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "support/box_grid.h"
#include "support/scratch.h"
#include "turbulence/turbulence.h"

namespace qorva::test {
namespace {

class PorousBed : public Scratch {
 protected:
  // Two columns side by side, each of plan area 4 m2 (2 m x 2 m), with the given cell heights;
  // the bed cells are numbered 1 and 2.
  static void columns(std::vector<double> dz) {
    SetArraysZero();
    fresh();
    makeBox({2.0, 2.0}, {2.0}, std::move(dz));
    NoBCells = 2;
    for (int b = 1; b <= 2; ++b) {
      Bcellt[b] = b == 1 ? 1 : 1 + NoCells / 2;
      Barea[b] = 4.0;
    }
    for (int c = 1; c <= NoCells; ++c) {
      Cxvel[c] = 0.3;
      Cyvel[c] = -0.4;
      Czvel[c] = 0.1;
      Cap[c] = 10;
      Croughness[c] = 0.05;
    }
  }
};

// A thin cell: a bottom cell thinner than half of MinVertDist, alone in its column, at an edge
// (here both columns lack three side neighbours). It takes |q| 1000 0.3 dz/2 sqrt(A) for the
// velocity q of its equation.
TEST_F(PorousBed, ThinCellsTakeTheDragOfTheirVelocity) {
  columns({0.0004});
  FlagBedPoros = 1;
  MinVertDist = 0.001;
  const double base = 1000 * 0.3 * 0.0002 * 2;
  const double q[4] = {0, 0.3, 0.4, 0.1};
  for (int eq = 1; eq <= 3; ++eq) {
    SCOPED_TRACE(eq);
    for (int c = 1; c <= 2; ++c) Cap[c] = 10;
    TSCstabilityFunction(eq);
    EXPECT_NEAR(Cap[1], 10 + q[eq] * base, 1e-12);
    EXPECT_NEAR(Cap[2], 10 + q[eq] * base, 1e-12);
  }
  // The pressure correction and epsilon take nothing.
  for (int eq : {4, 6}) {
    Cap[1] = 10;
    TSCstabilityFunction(eq);
    EXPECT_EQ(Cap[1], 10.0);
  }
}

// A bottom cell with a cell above it is never thin, however small; nor is one at half of
// MinVertDist.
TEST_F(PorousBed, OnlyThinLoneCellsAreThin) {
  auto options = [] {
    FlagBedPoros = 1;
    MinVertDist = 0.001;
  };
  columns({0.0002, 0.0002});
  options();
  TSCstabilityFunction(1);
  for (int c = 1; c <= NoCells; ++c) EXPECT_EQ(Cap[c], 10.0) << c;
  columns({0.001});
  options();
  TSCstabilityFunction(1);
  EXPECT_EQ(Cap[1], 10.0);
}

// k of a thin cell: with kt = 0.47453 h (ks / h)^(1/3), Cap grows by (k - kt) Cap / kt, so that
// k = 2 kt doubles it and k at or below kt leaves it.
TEST_F(PorousBed, ThinCellKIsPulledToTheRoughnessValue) {
  const double h = 0.0004;
  const double kt = 0.47453 * h * std::pow(0.05 / h, 0.333333);
  for (const double k : {2 * kt, kt, 0.5 * kt}) {
    SCOPED_TRACE(k / kt);
    columns({h});
    FlagBedPoros = 1;
    MinVertDist = 0.001;
    Ckinen[1] = k;
    TSCstabilityFunction(5);
    EXPECT_NEAR(Cap[1], k > kt ? 20.0 : 10.0, 1e-9);
  }
}

// The roughness layer (F 95): every cell whose centre lies less than BPWparam1 times its
// roughness above the bed takes dz 1000 |q| BPWparam2 sqrt(A), q the velocity of the equation
// (F 92 2) or the horizontal speed for all three (3).
TEST_F(PorousBed, RoughnessLayerDrag) {
  // Cells 0.02 m high: centres at 0.01, 0.03, 0.05 m; the layer reaches 0.5 x 0.05 = 0.025 m.
  struct Row {
    int flag, eq;
    double q;
  } rows[] = {{2, 1, 0.3}, {2, 2, 0.4}, {2, 3, 0.1}, {3, 1, 0.5}, {3, 3, 0.5}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.flag * 10 + r.eq);
    columns({0.02, 0.02, 0.02});
    PorosWallFlag = r.flag;
    TSCstabilityFunction(r.eq);
    const double drag = 0.02 * 1000 * r.q * 0.2 * 2;
    EXPECT_NEAR(Cap[1], 10 + drag, 1e-12);
    EXPECT_EQ(Cap[2], 10.0);
    EXPECT_EQ(Cap[3], 10.0);
    EXPECT_NEAR(Cap[4], 10 + drag, 1e-12);
  }
}

}  // namespace
}  // namespace qorva::test
