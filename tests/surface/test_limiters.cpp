// The limiting depth of supercritical columns and the pressure reset after a rebuild, on
// columns 1 m wide and 2 m deep, against the formulas worked out by hand.
#include <cmath>

#include "state/surfaces.h"
#include "support/surface_grid.h"
#include "surface/surface.h"

namespace qorva {
namespace {

class Limiters : public test::SurfaceGrid {};

double critical(double U, double Fr, double k) {
  return std::pow(U * U * U / (Fr * Fr * 9.81) / k, 2.0 / 3.0);
}

TEST_F(Limiters, LimitingDepthOnAFlatBed) {
  box(2, 2, 2, 2.0);
  const int c = bottom(2, 2);
  Croughness[c] = 0.01;
  ASSERT_NEAR(std::fabs(Fvz[Cflateb[c]]), 1.0, 1e-12);
  struct Case {
    int flag;
    double Fr, U, depth;
  };
  const double U = 2.0;
  const Case cases[] = {
      {0, 0.99, U, 0.0},
      {0, 1.0, U, critical(U, 1.0, 3.132091952673165)},  // exactly 1 is not below 1
      {0, 1.5, U, critical(U, 1.5, 3.132091952673165)},
      {1, 1.5, U, 0.0},
      {2, 0.9, U, 0.0},
      {2, 1.5, U, 0.25 * U * U / 9.81 * 0.5},  // a quarter of the velocity head, growing
      {2, 3.0, U, 0.25 * U * U / 9.81},
      {5, 1.5, U, 0.5 * U * U / 9.81},
      {9, 1.5, U, critical(U, 1.5, 3.132091952673165)},
      {10, 0.85, U, 0.0},
      // On a flat bed the normal depth has no slope to carry it: the cap U^2 / 39.24 holds,
      // scaled by 5 (Fr - 0.9) up to Fr 1.1.
      {10, 0.95, U, U * U / 39.24 * 0.25},
      {10, 1.5, U, U * U / 39.24},
      {11, 1.05, U, critical(U, 1.05, 6.26418390534633) * 0.5},
      {11, 2.0, U, critical(U, 2.0, 6.26418390534633)},
      {7, 2.0, U, 0.0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << "F 246 " << k.flag << ", Fr " << k.Fr);
    FlagSurfLimit3 = k.flag;
    EXPECT_NEAR(computeLimdepth(c, k.Fr, k.U), k.depth, 1e-9 * (1 + k.depth));
  }
}

TEST_F(Limiters, LimitingDepthOnASteepBed) {
  // The bed falls 1 m per metre along x: the bed face's normal leans 45 degrees and the
  // Manning-Strickler depth with that angle as the slope applies.
  build(2, 2, 2, [](int i, int) { return -2.0 - (i - 1); }, [](int, int) { return 1.0; });
  const int c = bottom(2, 2);
  Croughness[c] = 0.01;
  const double angle = std::acos(std::fabs(Fvz[Cflateb[c]]));
  ASSERT_NEAR(angle, M_PI / 4, 1e-9);
  auto manning = [angle](double U, double b, double e) {
    return std::pow(U / (std::sqrt(angle) * 26 / std::pow(b, e)), 1.5);
  };
  FlagSurfLimit3 = 0;
  EXPECT_NEAR(computeLimdepth(c, 1.5, 2.0), manning(2.0, 0.3333 * 0.01, 1.0 / 6), 1e-9);
  FlagSurfLimit3 = 9;
  EXPECT_NEAR(computeLimdepth(c, 1.5, 2.0), manning(2.0, 0.01, 0.1666666667), 1e-9);
}

class PressureReset : public test::SurfaceGrid {
 protected:
  void SetUp() override {
    test::SurfaceGrid::SetUp();
    box(3, 3, 2, 2.0);
    for (int c = 1; c <= NoCells; ++c) Cpres[c] = 1000;
    GlobZRef = 0;
    GlobPresRef = 0;
  }
  // East faces of column (2, 3) carry `flux` kg/s each (1 m2, 1 m high).
  static void eastFlux(double flux) {
    for (int c = bottom(2, 3); c > 0; c = Ccellt[c]) {
      ASSERT_NEAR(Farea[Cflatee[c]], 1.0, 1e-9);
      ASSERT_NEAR(Fdz[Cflatee[c]], 1.0, 1e-9);
      Fflux[Cflatee[c]] = flux;
    }
  }
};

TEST_F(PressureReset, MinusOneClearsThePressure) {
  FlagPresSetZero = -1;
  Cpres[0] = 5;
  computeSetPresZero();
  for (int c = 0; c <= NoCells; ++c) EXPECT_EQ(Cpres[c], 0.0);
}

TEST_F(PressureReset, CriticalFloorUpstreamOfASupercriticalFace) {
  FlagPresSetZero = 2;
  // 5 m/s through the faces of a 2 m deep column: Froude number 5 / sqrt(19.62) = 1.13. The
  // upstream column's top cell runs at 5 m/s too. The floor level is the bed (-2 m) plus
  // 1.5 q^2 / g less the velocity head: 0.549 m of head.
  struct Case {
    double flux;
    int i;  // the upstream column, which gets the floor
  };
  const double floor = (-2 + 1.5 * 25 / 9.81 - 25 / 19.62) * 9810;
  for (const Case k : {Case{5000, 2}, Case{-5000, 3}}) {
    SCOPED_TRACE(k.flux);
    for (int c = 1; c <= NoCells; ++c) Cpres[c] = 1000;
    eastFlux(k.flux);
    Cxvel[top(k.i, 3)] = 5;
    computeSetPresZero();
    for (int c = bottom(k.i, 3); c > 0; c = Ccellt[c]) EXPECT_NEAR(Cpres[c], floor, 1e-6);
    const int other = k.i == 2 ? 3 : 2;
    EXPECT_EQ(Cpres[top(other, 3)], 1000.0);
    Cxvel[top(k.i, 3)] = 0;
  }
  // 1 m/s is subcritical: nothing changes.
  for (int c = 1; c <= NoCells; ++c) Cpres[c] = 1000;
  eastFlux(1000);
  computeSetPresZero();
  for (int c = 1; c <= NoCells; ++c) EXPECT_EQ(Cpres[c], 1000.0);
}

}  // namespace
}  // namespace qorva
