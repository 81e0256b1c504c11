// Face mass fluxes on small boxes: a uniform velocity with a linear pressure gives
// 1000 U.area in every variant of the pressure term; hand values of each variant on a row of
// uneven cells with a curved pressure; the limiter, wedge, thin-cell, Seiche2, Crank-Nicolson,
// piezometric and density-gradient rules; the steps after the surface loop; chunked calls.
#include <gtest/gtest.h>

#include <omp.h>

#include <cmath>
#include <functional>
#include <vector>

#include "support/box_grid.h"
#include "pressure/pressure.h"
#include "state/cells.h"
#include "state/nests.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using test::makeBox;

class FaceFlux : public test::Scratch {};

struct VariantCase {
  const char* what;
  std::function<void()> set;
};

const std::vector<VariantCase> kAllVariants = {
    {"default", [] {}},
    {"F 113 1", [] { FlagRhieChow = 1; }},
    {"F 113 2", [] { FlagRhieChow = 2; }},
    {"F 113 3", [] { FlagRhieChow = 3; }},
    {"F 113 4", [] { FlagRhieChow = 4; }},
    {"F 113 5", [] { FlagRhieChow = 5; }},
    {"F 113 6", [] { FlagRhieChow = 6; }},
    {"F 113 7", [] { FlagRhieChow = 7; }},
    {"F 113 8", [] { FlagRhieChow = 8; }},
    {"F 235 13", [] { FlagCorrTrekant = 13; }},
    {"F 36 11", [] { FlagTFS = 11; }},
    {"F 69 density gradients", [] { Seiche6 = 1; }},
};

TEST_F(FaceFlux, UniformVelocityGivesVelocityTimesArea) {
  // 3 x 3 x 3 cells of 2 m x 1 m x 0.5 m: faces of 0.5 m2 across x, 1 m2 across y, 2 m2
  // across z. With a linear pressure every form of the pressure term vanishes, next cells
  // present or not.
  const double u = 0.3, v = -0.2, w = 0.05;
  for (const VariantCase& k : kAllVariants) {
    SCOPED_TRACE(k.what);
    SetArraysZero();
    setDefaults();
    const test::Box b = makeBox({2, 2, 2}, {1, 1, 1}, {0.5, 0.5, 0.5});
    k.set();
    for (int c = 1; c <= NoCells; ++c) {
      Cxvel[c] = u;
      Cyvel[c] = v;
      Czvel[c] = w;
      Cpres[c] = 100 + 7 * Cxcenter[c] - 3 * Cycenter[c] - 9810 * Czcenter[c];
      CinvAp[c] = 2e-4;
    }
    waterflow(WFStart, WFEnd);
    for (int f = 1; f <= NoSurfaces; ++f) {
      const bool inner = Fcell1[f] > 0 && Fcell2[f] > 0;
      const double expected = inner ? 1000 * (u * Fax[f] + v * Fay[f] + w * Faz[f]) : 0.0;
      EXPECT_NEAR(Fflux[f], expected, 1e-9) << "surface " << f;
    }
    EXPECT_NEAR(Fflux[Cflatee[b.cell(0, 0, 0)]], 1000 * 0.3 * 0.5, 1e-9);
    EXPECT_NEAR(Fflux[Cflatet[b.cell(1, 1, 1)]], 1000 * 0.05 * 2, 1e-9);
    EXPECT_EQ(Fflux[Cflatet[b.cell(1, 1, 2)]], 0.0);  // the water surface
  }
}

// A row of four cells 1, 1, 3 and 1 m long with 1 m2 faces and u = 0.5 m/s (V = 0.5 m3/s),
// pressures 0, 10, 30, 70 Pa at the centres 0.5, 1.5, 3.5, 5.5, and 1/Ap = 1e-3 s/kg, so
// d = 1e-3 m4 s/kg x Pa. The inner faces: 1|2 (w = 1/2, no cell beyond cell 1),
// 2|3 (w = 3/4, G1 = 30, G2 = 60, p2 - p1 = 20), 3|4 (w = 1/4, no cell beyond cell 4).
struct RowCase {
  const char* what;
  std::function<void()> set;
  double f12, f23, f34;  // kg/s
};

void row(double invAp) {
  makeBox({1, 1, 3, 1}, {1}, {1});
  const double p[5] = {0, 0, 10, 30, 70};
  for (int c = 1; c <= 4; ++c) {
    Cxvel[c] = 0.5;
    Cpres[c] = p[c];
    CinvAp[c] = invAp;
  }
}

// `before` sets what decides which arrays exist.
void expectRow(const std::vector<RowCase>& cases, double invAp,
               const std::function<void()>& before = [] {}) {
  for (const RowCase& k : cases) {
    SCOPED_TRACE(k.what);
    SetArraysZero();
    setDefaults();
    before();
    row(invAp);
    k.set();
    waterflow(WFStart, WFEnd);
    EXPECT_NEAR(Fflux[Cflatee[1]], k.f12, 1e-9);
    EXPECT_NEAR(Fflux[Cflatee[2]], k.f23, 1e-9);
    EXPECT_NEAR(Fflux[Cflatee[3]], k.f34, 1e-9);
    EXPECT_EQ(Fflux[Cflatew[1]], 0.0);
    EXPECT_EQ(Fflux[Cflatee[4]], 0.0);
  }
}

TEST_F(FaceFlux, PressureTermOfEachVariantOnARow) {
  // Central, distance weights: 2|3: d (0.5 x 0.75 x 30 + 0.5 x 0.25 x 60 - 20) = -1.25e-3;
  // the end faces need both next cells and carry none.
  // Central, weights 1/2: 2|3: d (7.5 + 15 - 20) = 2.5e-3.
  // First-order one-sided: 1|2: g1 = 10, g2 = 15, d (5 + 7.5 - 10) = 2.5e-3;
  //   3|4: g1 = 30, g2 = 40, d (7.5 + 30 - 40) = -2.5e-3.
  // Second-order one-sided: 1|2: G1 = 4 x 10 - 0 - 30 = 10, d (2.5 + 7.5 - 10) = 0;
  //   3|4: G2 = 3 x 70 - 4 x 30 + 10 = 100, weights 1/4, 3/4: d (7.5 + 37.5 - 40) = 5e-3,
  //   weights 1/2: d (15 + 25 - 40) = 0.
  expectRow(
      {
          {"default", [] {}, 500, 498.75, 500},
          {"F 113 1", [] { FlagRhieChow = 1; }, 500, 498.75, 500},
          {"F 113 2", [] { FlagRhieChow = 2; }, 500, 498.75, 500},
          {"F 235 13", [] { FlagCorrTrekant = 13; }, 500, 498.75, 500},
          {"F 36 11 at equal levels", [] { FlagTFS = 11; }, 500, 498.75, 500},
          {"F 113 7", [] { FlagRhieChow = 7; }, 500, 502.5, 500},
          {"F 113 8", [] { FlagRhieChow = 8; }, 500, 502.5, 500},
          {"F 113 3", [] { FlagRhieChow = 3; }, 502.5, 498.75, 497.5},
          {"F 113 4", [] { FlagRhieChow = 4; }, 502.5, 498.75, 497.5},
          {"F 113 5", [] { FlagRhieChow = 5; }, 500, 498.75, 505},
          {"F 113 6", [] { FlagRhieChow = 6; }, 500, 502.5, 500},
          {"F 69 without density gradients", [] { Seiche6 = 2; }, 500, 498.75, 505},
          {"F 113 9 with F 69", [] { FlagRhieChow = 9; Seiche6 = 1; }, 500, 498.75, 505},
          {"F 113 4 before F 69", [] { FlagRhieChow = 4; Seiche6 = 1; }, 502.5, 498.75, 497.5},
          // Density gradients of 4 Pa across each cell in i and Fdgrad 3 Pa: half of each
          // gradient joins g1 and g2 on these east-west faces, and Fdgrad is taken off once:
          // 1|2: d (0.5 x 7 + 0.5 x 17 - 10 - 3) = -1e-3; 2|3: d (0.75 x 17 + 0.25 x 32 - 23)
          // = -2.25e-3; 3|4: d (0.25 x 32 + 0.75 x 52 - 43) = 4e-3.
          {"F 69 with density gradients",
           [] {
             Seiche6 = 1;
             for (int c = 1; c <= 4; ++c) Cdensgradi[c] = 4, Cdensgradj[c] = 100;
             for (int f = 1; f <= NoSurfaces; ++f) Fdgrad[f] = 3;
           },
           499, 497.75, 504},
          // Rhie-Chow factor: |F 21|, and 1/relax of the velocities.
          {"F 21 -1", [] { RelaxRhieChow = -1; }, 500, 498.75, 500},
          {"F 21 0", [] { RelaxRhieChow = 0; }, 500, 500, 500},
          {"velocity relaxation 0.5", [] { invRelaxVelocity = 2; }, 500, 497.5, 500},
          // F 235 13 doubles d next to a wedge cell.
          {"F 235 13 at a wedge", [] { FlagCorrTrekant = 13; Ctrekant[2] = 1; }, 500, 497.5, 500},
          {"F 113 1 at a wedge", [] { FlagRhieChow = 1; Ctrekant[2] = 1; }, 500, 498.75, 500},
          // F 113 2: a side face lower than MinVertDist carries nothing.
          {"F 113 2 thin face", [] { FlagRhieChow = 2; Fdz[Cflatee[2]] = 0.0005; }, 500, 0, 500},
          {"F 113 1 thin face", [] { FlagRhieChow = 1; Fdz[Cflatee[2]] = 0.0005; },
           500, 498.75, 500},
          // F 113 5: one-cell columns thinner than MinVertDist0 (0.5 m < 1 m) carry no term.
          {"F 113 5 thin columns", [] { FlagRhieChow = 5; MinVertDist0 = 1; }, 500, 500, 500},
          {"F 113 5 thick columns", [] { FlagRhieChow = 5; MinVertDist0 = 0.4; },
           500, 498.75, 505},
          // Seiche2 acts on vertical faces only.
          {"F 69 Seiche2 10", [] { Seiche2 = 10; }, 500, 498.75, 500},
      },
      1e-3);
}

TEST_F(FaceFlux, LimiterKeepsThePressureTermWithinAFifthOfTheFlux) {
  // With 1/Ap = 1 the terms are a thousand times larger; the limit is 0.2 x 0.5 = 0.1 m3/s.
  expectRow(
      {
          {"F 113 4", [] { FlagRhieChow = 4; }, 600, 400, 400},
          {"F 113 3 has no limit", [] { FlagRhieChow = 3; }, 3000, -750, -2000},
          {"F 113 7", [] { FlagRhieChow = 7; }, 500, 600, 500},
          {"F 113 8 away from wedges", [] { FlagRhieChow = 8; }, 500, 3000, 500},
          {"F 113 8 at a wedge", [] { FlagRhieChow = 8; Ctrekant[3] = 2; }, 500, 600, 500},
          {"F 113 4 without flow",
           [] { FlagRhieChow = 4; for (int c = 1; c <= 4; ++c) Cxvel[c] = 0; }, 0, 0, 0},
      },
      1.0);
}

TEST_F(FaceFlux, PiezometricTermVanishesForAHydrostaticPressure) {
  // Cells at 0, 0.1, 0.3 and 0.7 m with p = 1000 - 9810 z: no piezometric gradient, while the
  // plain central term sees the pressure change: 2|3 with p = 19, -1943, and beyond them
  // 1000 and -5867: d (0.375 x -2943 + 0.125 x -5886 + 1962) = 0.122625.
  const double z[5] = {0, 0, 0.1, 0.3, 0.7};
  const auto hydrostatic = [z] {
    for (int c = 1; c <= 4; ++c) {
      Czcenter[c] = z[c];
      Cpres[c] = 1000 - 9810 * z[c];
    }
  };
  expectRow(
      {
          {"F 36 11", [&] { FlagTFS = 11; hydrostatic(); }, 500, 500, 500},
          {"central", hydrostatic, 500, 622.625, 500},
      },
      1e-3);
}

TEST_F(FaceFlux, CrankNicolsonAveragesTheTwoVelocityLevels) {
  // Old velocity 1.5 m/s, new 0.5: the face velocity is their plain mean 1.0 whatever F 61
  // says, in the variants that use the old level.
  const auto old = [] {
    CrankNicols = 0.3;
    for (int c = 1; c <= 4; ++c) Cxvel_old[c] = 1.5;
  };
  expectRow(
      {
          {"default", old, 1000, 998.75, 1000},
          {"F 113 6", [&] { old(); FlagRhieChow = 6; }, 1000, 1002.5, 1000},
          {"F 113 5 ignores it", [&] { old(); FlagRhieChow = 5; }, 500, 498.75, 505},
          {"F 113 8 ignores it", [&] { old(); FlagRhieChow = 8; }, 500, 502.5, 500},
          {"F 235 13 ignores it", [&] { old(); FlagCorrTrekant = 13; }, 500, 498.75, 500},
      },
      1e-3, [] { TimeStep = 1; });
}

// A column of four 1 m cells with 1 m2 faces, w = 0.5 m/s, pressures 0, 10, 30, 70 Pa from the
// bottom: the middle vertical face carries d (7.5 + 15 - 20) = 2.5e-3 m3/s of pressure term.
TEST_F(FaceFlux, VerticalFacesAndTheWaterSurface) {
  struct Case {
    const char* what;
    std::function<void()> set;
    double middle, top;
  };
  const std::vector<Case> cases = {
      {"default", [] {}, 502.5, 0},
      {"Seiche2 10 removes the term", [] { Seiche2 = 10; }, 500, 0},
      {"Seiche2 9 keeps it", [] { Seiche2 = 9; }, 502.5, 0},
      {"F 113 8 ignores Seiche2", [] { Seiche2 = 10; FlagRhieChow = 8; }, 502.5, 0},
      {"F 235 13 ignores Seiche2", [] { Seiche2 = 10; FlagCorrTrekant = 13; }, 502.5, 0},
      {"F 113 5 obeys Seiche2", [] { Seiche2 = 10; FlagRhieChow = 5; }, 500, 0},
      // The water surface takes the top cell's own velocity (0.5 x 1 m2); the faces inside
      // the column keep their interpolated flux.
      {"F 226 1", [] { FlagSurfFlux = 1; }, 502.5, 500},
      {"F 36 50", [] { FlagTFS = 50; }, 502.5, 500},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    SetArraysZero();
    setDefaults();
    makeBox({1}, {1}, {1, 1, 1, 1});
    const double p[5] = {0, 0, 10, 30, 70};
    for (int c = 1; c <= 4; ++c) {
      Czvel[c] = 0.5;
      Cpres[c] = p[c];
      CinvAp[c] = 1e-3;
    }
    k.set();
    waterflow(WFStart, WFEnd);
    EXPECT_NEAR(Fflux[Cflatet[2]], k.middle, 1e-9);
    EXPECT_NEAR(Fflux[Cflatet[1]], 500, 1e-9);  // no cell below 1: no term
    EXPECT_NEAR(Fflux[Cflatet[3]], 500, 1e-9);  // no cell above 4: no term
    EXPECT_NEAR(Fflux[Cflatet[4]], k.top, 1e-9);
    EXPECT_EQ(Fflux[Cflateb[1]], 0.0);
  }
}

TEST_F(FaceFlux, FlatCellsLimitTheVerticalFlux) {
  // Cells 100 m x 100 m and 1 m high: aspect ratio (0.5 + 0.5) / 200 = 0.005 below 0.01;
  // u = 1 m/s in both, so L = 1000 x 10000 m2 x 1 m/s x 0.005 = 50000 kg/s.
  struct Case {
    double w, height, expected;
  };
  const std::vector<Case> cases = {
      {10, 1, 50000}, {-10, 1, -50000}, {0.001, 1, 10000}, {10, 100, 1e8}};
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.w << " " << k.height);
    SetArraysZero();
    setDefaults();
    makeBox({100}, {100}, {k.height, k.height});
    FlagVertVelStab = 4;
    for (int c = 1; c <= 2; ++c) {
      Cxvel[c] = 1;
      Czvel[c] = k.w;
    }
    waterflow(WFStart, WFEnd);
    EXPECT_NEAR(Fflux[Cflatet[1]], k.expected, 1e-6);
  }
}

TEST_F(FaceFlux, StepsAfterTheSurfaceLoop) {
  // F 113 9 without F 69 computes no face: the fluxes stay, but the nesting surface is cleared.
  MaxNester = 3;
  makeBox({1, 1, 1}, {1}, {1});
  FlagRhieChow = 9;
  for (int f = 1; f <= NoSurfaces; ++f) Fflux[f] = 123;
  NoNestflater = 1;
  Npflate[1] = Cflatee[2];
  waterflow(WFStart, WFEnd);
  for (int f = 1; f <= NoSurfaces; ++f) EXPECT_EQ(Fflux[f], f == Cflatee[2] ? 0.0 : 123.0);

  // A cell facing two cells on its east side takes the sum of their west faces' fluxes. In a
  // 2 x 2 plan of 1 m cells, cell 1 (south-west) is made to face cells 3 and 4.
  SetArraysZero();
  setDefaults();
  QNFlag = 1;
  const test::Box b = makeBox({1, 1}, {1, 1}, {1});
  const double u[5] = {0, 1, 1, 3, 5};
  for (int c = 1; c <= 4; ++c) Cxvel[c] = u[c];
  Cncelle[1] = 2;
  Cqncelle[1][0] = b.cell(1, 0, 0);
  waterflow(WFStart, WFEnd);
  // Faces 1|3: 1000 x (1 + 3) / 2 = 2000, 2|4: 1000 x (1 + 5) / 2 = 3000.
  EXPECT_NEAR(Fflux[Cflatee[1]], 5000, 1e-9);
  EXPECT_NEAR(Fflux[Cflatee[2]], 3000, 1e-9);
}

TEST_F(FaceFlux, ChunksGiveTheResultOfOneCall) {
  for (const VariantCase& k : kAllVariants) {
    SCOPED_TRACE(k.what);
    SetArraysZero();
    setDefaults();
    MaxNester = 3;
    makeBox({1, 2, 1.5}, {1, 0.5, 2}, {0.5, 1, 0.7});
    k.set();
    FlagSurfFlux = 1;
    for (int c = 1; c <= NoCells; ++c) {
      Cxvel[c] = std::sin(c);
      Cyvel[c] = std::cos(2.0 * c);
      Czvel[c] = 0.1 * std::sin(3.0 * c);
      Cpres[c] = 50 * std::sin(0.7 * c) - 9810 * Czcenter[c];
      CinvAp[c] = 1e-3 * (1 + 0.1 * c);
    }
    NoNestflater = 2;
    Npflate[1] = 5;
    Npflate[2] = NoSurfaces - 3;
    waterflow(WFStart, WFEnd);
    std::vector<double> serial(Fflux.data() + 1, Fflux.data() + NoSurfaces + 1);
    for (int f = 1; f <= NoSurfaces; ++f) Fflux[f] = -1;
    const int first = WFStart, last = WFEnd;
    int teams = 0;
#pragma omp parallel num_threads(4)
    {
      const int t = omp_get_thread_num(), n = omp_get_num_threads();
      const int per = (last - first + 1) / n;
      const int a = first + t * per, b = t == n - 1 ? last : a + per - 1;
#pragma omp single
      teams = omp_in_parallel() != 0 ? n : 0;
      waterflow(a, b, Share::Chunk);
    }
    waterflowAfterChunks();
    EXPECT_EQ(teams, 4);
    EXPECT_EQ(std::vector<double>(Fflux.data() + 1, Fflux.data() + NoSurfaces + 1), serial);
  }
}

}  // namespace
}  // namespace qorva
