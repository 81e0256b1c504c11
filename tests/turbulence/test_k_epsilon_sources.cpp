// Source terms of k and epsilon on the centre cell of a box of uneven cells with linear
// velocity fields: shear production in the plain and the Kato-Launder form, the dissipation
// sinks of the k-epsilon, RNG and k-omega models, the buoyancy terms of a stratified column,
// and the cells and options that take no sources.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/box_grid.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "support/scratch.h"
#include "turbulence/turbulence.h"

namespace qorva {
namespace {

using test::makeBox;

void expectNear(double actual, double expected) {
  EXPECT_NEAR(actual, expected, 1e-9 * std::fabs(expected) + 1e-13);
}

// A velocity field u_i = sum_j g[i][j] x_j.
struct Field {
  double g[3][3];
};

// 3 x 3 x 3 cells of sizes (1, 2, 1) x (1, 3, 1) x (1, 0.5, 1): the centre cell has volume
// 3 m3 and only inner faces; the column through it has cells 1 m, 0.5 m and 1 m high.
class KEpsilonSources : public test::Scratch {
 protected:
  void build() {
    box_ = makeBox({1, 2, 1}, {1, 3, 1}, {1, 0.5, 1});
    centre = box_.cell(1, 1, 1);
    below = box_.cell(1, 1, 0);
    above = box_.cell(1, 1, 2);
    for (int c = 1; c <= NoCells; ++c) {
      Ckinen[c] = 0.01;
      Cepsilon[c] = 0.001;
      Cgamma[c] = 5;
    }
  }
  void flow(const Field& f) {
    for (int c = 1; c <= NoCells; ++c) {
      const double x[3] = {Cxcenter[c], Cycenter[c], Czcenter[c]};
      double* v[3] = {&Cxvel[c], &Cyvel[c], &Czvel[c]};
      for (int i = 0; i < 3; ++i) *v[i] = f.g[i][0] * x[0] + f.g[i][1] * x[1] + f.g[i][2] * x[2];
    }
  }
  test::Box box_;
  int centre = 0, below = 0, above = 0;
};

// Fields with their S^2 and Omega^2 (hand values, 1/s^2):
const Field kShear = {{{0, 0, 2}, {0, 0, 0}, {0, 0, 0}}};      // u = 2z: S2 4, O2 4
const Field kAxial = {{{2, 0, 0}, {0, -2, 0}, {0, 0, 0}}};     // S2 2(4 + 4) = 16, O2 0
const Field kStrain = {{{0, 2, 0}, {2, 0, 0}, {0, 0, 0}}};     // S2 (2 + 2)^2 = 16, O2 0
const Field kRotation = {{{0, -2, 0}, {2, 0, 0}, {0, 0, 0}}};  // S2 0, O2 (2 + 2)^2 = 16
const Field kMixed = {{{0, 4, 0}, {2, 0, 0}, {0, 0, 0}}};      // S2 36, O2 (2 - 4)^2 = 4

TEST_F(KEpsilonSources, ShearProductionPlainAndKatoLaunder) {
  // Cgamma 5, V 3: plain 15 S2, Kato-Launder 15 sqrt(S2 O2).
  struct Case {
    const char* name;
    Field f;
    double plain, katoLaunder;
  };
  const std::vector<Case> cases = {
      {"shear", kShear, 60, 60},       {"axial", kAxial, 240, 0},
      {"strain", kStrain, 240, 0},     {"rotation", kRotation, 0, 0},
      {"mixed", kMixed, 540, 180},
  };
  build();
  FlagTurbDLL = 1;  // production only
  Equation = 5;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    flow(c.f);
    FlagKatoLaunder = 0;
    turbulence(centre, centre);
    expectNear(Csource[centre], c.plain);
    FlagKatoLaunder = 1;
    turbulence(centre, centre);
    expectNear(Csource[centre], c.katoLaunder);
  }
}

TEST_F(KEpsilonSources, SinksOfEachModel) {
  // Shear flow: production P = 60. k = 0.01, eps (or omega) = 0.001, r = 0.1, V = 3.
  struct Case {
    int model, equation;
    double k, eps;
    double cap, source;
  };
  const std::vector<Case> cases = {
      {0, 5, 0.01, 0.001, 1000 * 3 * 0.1, 60},                     // 300
      {0, 6, 0.01, 0.001, 1.92 * 300, 1.44 * 1.3 * 0.1 * 60},      // 576, 11.232
      {8, 6, 0.01, 0.001, 576, 11.232},
      {17, 6, 0.01, 0.001, 576, 11.232},
      {15, 5, 0.01, 0.001, 300, 60},                               // generic k sink
      {16, 5, 0.01, 0.001, 1000 * 0.09 * 0.001 * 3, 60},           // 0.27
      {15, 6, 0.01, 0.001, 1000 * 0.072 * 0.001 * 3, 60 * 0.052},  // 0.216, 3.12
      {16, 6, 0.01, 0.001, 0.216, 3.12},
      // RNG: S = sqrt(P / (Cgamma V)) = 2, eta = S k / eps = 2 with k = eps = 0.01 (r = 1):
      // C2* = 1.68 + 0.0845 x 8 x (1 - 2/4.38) / (1 + 0.096) = 2.0151498184.
      {1, 6, 0.01, 0.01, 2.0151498184 * 3000, 1.42 * 60},
      {1, 5, 0.01, 0.01, 3000, 60},
  };
  build();
  flow(kShear);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.model) + " " + std::to_string(c.equation));
    TurbulenceModel = c.model;
    Equation = c.equation;
    Ckinen[centre] = c.k;
    Cepsilon[centre] = c.eps;
    Cap[centre] = Csource[centre] = -1;
    turbulence(centre, centre);
    expectNear(Cap[centre], c.cap);
    expectNear(Csource[centre], c.source);
  }
}

TEST_F(KEpsilonSources, EpsilonConstantsOfF275) {
  build();
  flow(kShear);
  Equation = 6;
  EpsilonCs1 = 1.5;
  EpsilonCs2 = 2;
  turbulence(centre, centre);
  expectNear(Cap[centre], 2 * 300);
  expectNear(Csource[centre], 1.5 * 1.3 * 0.1 * 60);
}

TEST_F(KEpsilonSources, WallCellsTakeTheSinkButNoProduction) {
  // The bottom cell of the column has a wall face: no production, the sink of its own volume
  // 2 x 3 x 1 = 6 m3, 1000 x 6 x 0.1 = 600.
  TurbDensFlag = 5;
  build();
  flow(kShear);
  FlagTSC = 1;
  for (int equation : {5, 6}) {
    SCOPED_TRACE(equation);
    Equation = equation;
    Csource[below] = 7;
    turbulence(below, below);
    EXPECT_EQ(Csource[below], 0);
    expectNear(Cap[below], equation == 5 ? 600 : 1.92 * 600);
    EXPECT_EQ(CdampDensity[below], 0);  // never reached by the damping factor
  }
}

// Buoyancy in the column through the centre: sediment of relative density 2.65 in the cells
// below and above, 1.5 m apart (0.5 + 0.5 + the 0.5 m centre cell). Shear flow: P = V S2 = 12.
// Stable: concentration 0.002 below, 0 above: B = 9.81 x (-0.0053) / 1.5 = -0.034662,
// B V = -0.103986.
struct BuoyancyCase {
  const char* name;
  int flag, equation;
  double concBelow, concAbove;
  double c5;
  double source;
};

TEST_F(KEpsilonSources, BuoyancyOfTheProduction) {
  const std::vector<BuoyancyCase> cases = {
      // k: the sink is bounded by 0.001 P = 0.012 (and by c5 P): 5 x (12 - 0.012).
      {"4 stable", 4, 5, 0.002, 0, 1, 59.94},
      {"6 stable k", 6, 5, 0.002, 0, 1, 59.94},
      // A weak layering stays under the bound: B V = -0.0051993.
      {"4 weak", 4, 5, 0.0001, 0, 1, 5 * (12 - 0.0051993)},
      {"4 c5", 4, 5, 0.002, 0, 0.0002, 5 * (12 - 0.0024)},
      {"4 unstable", 4, 5, 0, 0.002, 1, 60},
      {"4 epsilon", 4, 6, 0.002, 0, 1, 60},
      // Epsilon: P + B V (-0.33) = 12 + 0.03431538.
      {"6 epsilon", 6, 6, 0.002, 0, 1, 5 * (12 + 0.03431538)},
      {"6 epsilon unstable", 6, 6, 0, 0.002, 1, 60},
      // The damping factor leaves the production as it is.
      {"5", 5, 5, 0.002, 0, 1, 60},
  };
  TurbDensFlag = 4;  // allocates the density-current tables
  build();
  flow(kShear);
  FlagTSC = 1;
  FlagTurbDLL = 1;  // production only
  for (const BuoyancyCase& b : cases) {
    SCOPED_TRACE(b.name);
    TurbDensFlag = b.flag;
    Equation = b.equation;
    coeffTurbFlag5 = b.c5;
    Cconc[0][below] = b.concBelow;
    Cconc[0][above] = b.concAbove;
    Cap[centre] = -1;
    turbulence(centre, centre);
    expectNear(Csource[centre], b.source);
    EXPECT_EQ(Cap[centre], -1);
  }
}

TEST_F(KEpsilonSources, KatoLaunderGivesWayToBuoyancy) {
  TurbDensFlag = 4;
  build();
  flow(kMixed);
  FlagTSC = 1;
  FlagTurbDLL = 1;
  FlagKatoLaunder = 1;
  Equation = 5;
  turbulence(centre, centre);
  expectNear(Csource[centre], 540);  // 5 x 3 x 36: the plain form
}

TEST_F(KEpsilonSources, DampingFactorOfTheEddyViscosity) {
  // N = (P + Bn)^2, D = (P - 0.33 Bn) P with P = 12:
  //  stable Bn = -0.103986: N/D = 11.896014^2 / (12.0343154 x 12) = 0.9799418345;
  //  neutral: 1; so strong (concentration 1 below) that P + Bn < 0: N = 1e-40, the floor 0.001.
  struct Case {
    const char* name;
    double concBelow, c5;
    double factor;
  };
  const std::vector<Case> cases = {
      {"stable", 0.002, 1, 0.9799418345},
      {"stable squared", 0.002, 2, 0.9602859990},
      {"neutral", 0, 1, 1},
      {"strong", 1, 1, 0.001},
  };
  TurbDensFlag = 5;
  build();
  flow(kShear);
  FlagTSC = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    coeffTurbFlag5 = c.c5;
    Cconc[0][below] = c.concBelow;
    Equation = 5;
    turbulence(centre, centre);
    expectNear(CdampDensity[centre], c.factor);
    expectNear(Csource[centre], 60);
    // The epsilon equation leaves the factor alone.
    CdampDensity[centre] = 0.5;
    Equation = 6;
    turbulence(centre, centre);
    EXPECT_EQ(CdampDensity[centre], 0.5);
  }
}

TEST_F(KEpsilonSources, ModelsWithoutSourcesAndOptionsThatSkipSinks) {
  build();
  flow(kShear);
  Equation = 5;
  for (int model = 2; model <= 7; ++model) {
    SCOPED_TRACE(model);
    TurbulenceModel = model;
    Cap[centre] = Csource[centre] = -1;
    turbulence(1, NoCells);
    EXPECT_EQ(Cap[centre], -1);
    EXPECT_EQ(Csource[centre], -1);
  }
  // F 121: production only, Cap as it was.
  TurbulenceModel = 0;
  FlagTurbDLL = 1;
  turbulence(centre, centre);
  EXPECT_EQ(Cap[centre], -1);
  expectNear(Csource[centre], 60);
  // Another equation number takes the production alone.
  FlagTurbDLL = 0;
  Equation = 7;
  turbulence(centre, centre);
  EXPECT_EQ(Cap[centre], -1);
  expectNear(Csource[centre], 60);
}

}  // namespace
}  // namespace qorva
