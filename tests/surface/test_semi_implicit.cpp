// The semi-implicit water-level equation and its weirs on a block of 3 x 3 unit columns, 2 m
// deep in two cells of 1 m: the Manning-Strickler conductance of a face, the time term, the
// weir law over a line across and along the flow, and a weir with its discharge running
// against the grid's axis.
#include <cmath>
#include <string>

#include "state/log.h"
#include "support/surface_grid.h"
#include "surface/level_equations.h"
#include "surface/surface.h"

namespace qorva {
namespace {

class SemiImplicit : public test::SurfaceGrid {
 protected:
  void SetUp() override {
    test::SurfaceGrid::SetUp();
    FlagTFS = 9;
    box(3, 3, 2, 2.0);
  }
  static void flow(double u, double v) {
    for (int c = 1; c <= NoCells; ++c) {
      Cxvel[c] = u;
      Cyvel[c] = v;
    }
  }
};

TEST_F(SemiImplicit, ConductanceOfAFace) {
  // 0.5 m/s through every west face: Q = 1 m3/s through the 2 m x 1 m face of a column.
  for (int c = 1; c <= NoCells; ++c) Fflux[Cflatew[c]] = 1000 * 0.5 * Farea[Cflatew[c]];
  ManningInit = 50;
  computeCoeffCasulli();
  // a = Af M^2 H^1.33333 / (U dx) with Af = 2 m2, H = 2 m, U = 0.5 m/s, dx = 1 m, over the
  // 1 m2 column.
  const double a = 2 * 50 * 50 * std::pow(2.0, 1.33333) / (0.5 * 1);
  const int c = bottom(3, 3);
  EXPECT_NEAR(armap[3][3], 1.0, 1e-12);
  EXPECT_NEAR(Caw[c], a, 1e-6 * a);
  EXPECT_NEAR(Cae[bottom(2, 3)], a, 1e-6 * a);
  // No flux across the flow: the speed floor 0.0001 m/s gives the south face its conductance.
  const double as = 2 * 50 * 50 * std::pow(2.0, 1.33333) / (0.0001 * 1);
  EXPECT_NEAR(Cas[c], as, 1e-6 * as);
  EXPECT_NEAR(Cap[c], Caw[c] + Cae[c] + Cas[c] + Can[c], 1e-6 * as);
  // The start value is the column's level, the mean of its corners.
  EXPECT_EQ(Cf[c], 0.0);
  // A time term ties the level to the present one.
  FlagTimeSurf = 1;
  TimeStep = 10;
  zval[2][2][znumber] = zval[2][3][znumber] = zval[3][2][znumber] = zval[3][3][znumber] = 0.4;
  computeCoeffCasulli();
  EXPECT_NEAR(Cf[c], 0.4, 1e-12);
  EXPECT_NEAR(Csource[c], 0.4 * 0.1, 1e-12);
}

// The time term adds r to the central coefficient and r times the present level to the
// source, r = 1 over the time F 322 names. A steady run has no time step (its marker 1e-20 s
// would give r = 1e20 and freeze every level as firmly as a reference pin): the run stops.
TEST_F(SemiImplicit, TimeTermNeedsATimeStep) {
  struct Case {
    int flag;
    double step, inner, r;  // r 0: the run stops with status 1
  };
  const Case cases[] = {
      {1, 10, 0, 0.1},     {4, 10, 0, 0.01},   {2, 1e-20, 4, 0.25}, {3, 4, 1, 0.5},
      {5, 10, 0, 0.1},     {1, 1e-20, 0, 0},   {1, 0, 0, 0},        {4, 1e-20, 0, 0},
      {2, 10, 0, 0},       {2, 10, 1e-20, 0},  {3, 1e-20, 1, 0},
  };
  zval[2][2][znumber] = zval[2][3][znumber] = zval[3][2][znumber] = zval[3][3][znumber] = 0.4;
  const int c = bottom(3, 3);
  for (const Case& k : cases) {
    SCOPED_TRACE(strf("F 322 %d, time step %g, inner %g", k.flag, k.step, k.inner));
    FlagTimeSurf = k.flag;
    TimeStep = k.step;
    InnerTimestep = k.inner;
    if (k.r == 0) {
      EXPECT_EQ(status([] { computeCoeffCasulli(); }), 1);
      continue;
    }
    computeCoeffCasulli();
    // Still water: the faces carry the speed floor, and F 322 5 adds nothing below Froude 0.1.
    EXPECT_NEAR(Csource[c], 0.4 * k.r, 1e-12);
    EXPECT_NEAR(Cap[c] - (Caw[c] + Cae[c] + Cas[c] + Can[c]), k.r, 1e-12 * Cap[c]);
  }
}

TEST_F(SemiImplicit, WeirLaw) {
  // Q = C (h - crest)^n
  EXPECT_NEAR(weirLevel(1.0, 2.0, 1.5, 0.5), 1.0 + std::pow(0.25, 1 / 1.5), 1e-12);
  EXPECT_NEAR(weirLevel(1.0, 2.0, 1.0, 0.0), 1.0, 1e-12);
  // The discharge may run against the axis: the head is that of its amount, never a root of
  // a negative number.
  EXPECT_NEAR(weirLevel(1.0, 2.0, 1.5, -0.5), weirLevel(1.0, 2.0, 1.5, 0.5), 1e-12);
}

// A weir pins its columns to the level of the discharge that crosses its line: a line of
// constant i is crossed through the west and east faces, one of constant j through the south
// and north faces. 1 m/s through six cells of 1 m2 is 6 m3/s.
TEST_F(SemiImplicit, WeirsAcrossAndAlongTheFlow) {
  struct Case {
    const char* what;
    int i1, i2, j1, j2;
    double u, v, Q;
  };
  const Case cases[] = {
      {"line of constant i, flow along i", 3, 3, 2, 4, 1, 0, 6},
      {"line of constant i, flow along j", 3, 3, 2, 4, 0, 1, 0},
      {"line of constant j, flow along j", 2, 4, 3, 3, 0, 1, 6},
      {"line of constant j, flow along i", 2, 4, 3, 3, 1, 0, 0},
      {"line of constant i, flow against i", 3, 3, 2, 4, -1, 0, 6},
      {"one column, flow along i", 3, 3, 3, 3, 1, 0, 2},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    flow(k.u, k.v);
    for (int c = 1; c <= NoCells; ++c) Cap[c] = Csource[c] = 0;
    NoWeirs = 1;
    Weirs[0] = WeirRecord{k.i1, k.i2, k.j1, k.j2, 0.5, 2.0, 1.5};
    computeWeirs();
    const double zw = 0.5 + std::pow(k.Q / 2.0, 1 / 1.5);
    for (int i = k.i1; i <= k.i2; ++i)
      for (int j = k.j1; j <= k.j2; ++j) {
        EXPECT_EQ(Cap[bottom(i, j)], 1e30);
        EXPECT_NEAR(Csource[bottom(i, j)] / 1e30, zw, 1e-9);
      }
    EXPECT_EQ(Cap[bottom(2, 2)], 0.0);  // off the line
  }
  // A weir over a block of columns is passed over.
  for (int c = 1; c <= NoCells; ++c) Cap[c] = 0;
  Weirs[0] = WeirRecord{2, 3, 2, 3, 0.5, 2.0, 1.5};
  computeWeirs();
  EXPECT_EQ(Cap[bottom(2, 2)], 0.0);
}

}  // namespace
}  // namespace qorva
