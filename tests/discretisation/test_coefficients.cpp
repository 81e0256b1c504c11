// Face coefficients on small boxes against hand values: the power law across a vertical face
// below, at and above a Peclet number of 10, the full conductance of lateral faces, the face
// diffusivity options, the Crank-Nicolson share, second-order upwind along a line of uneven
// cells in each direction, the refusals, and chunked calls against one call.
#include <gtest/gtest.h>

#include <omp.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "support/box_grid.h"
#include "discretisation/discretisation.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using test::Box;
using test::makeBox;
using test::surfaceOn;

constexpr double kTol = 1e-12;

class Coefficients : public test::Scratch {
 protected:
  // Status of the run's end, or 1000 when coeff_make returned.
  static int run(int first, int last) {
    try {
      coeff_make(first, last);
    } catch (const RunEnd& e) {
      return e.status;
    }
    return 1000;
  }
};

// Two cells stacked in a 2 m x 2 m column, 1 m high each: the surface between them has area
// 4 m2 and centre distances 0.5 + 0.5 m, so with CgammaV = 1 its conductance D is 4 kg/s.
struct ColumnCase {
  double F;       // flux through the face between the cells, upward positive
  double lowerT;  // Cat of the lower cell
  double upperB;  // Cab of the upper cell
};

TEST_F(Coefficients, PowerLawAcrossAVerticalFace) {
  // Pe = |F| / 4; A = max(0, (1 - Pe/10)^5), 0 from Pe 10 on; each cell adds its upwind inflow.
  const std::vector<ColumnCase> cases = {
      {0, 4, 4},                                // Pe 0: A = 1
      {10, 0.94921875, 10.94921875},            // Pe 2.5: A = 0.75^5
      {20, 0.125, 20.125},                      // Pe 5: A = 0.5^5
      {36, 4 * 1e-5, 36 + 4 * 1e-5},            // Pe 9: A = 0.1^5
      {40, 0, 40},                              // Pe 10: A = 0
      {-60, 60, 0},                             // Pe 15: (1 - 1.5)^5 < 0, A = 0
      {100, 0, 100},                            // Pe 25: beyond 20, A = 0
  };
  for (const ColumnCase& k : cases) {
    SCOPED_TRACE(k.F);
    SetArraysZero();
    setDefaults();
    makeBox({2}, {2}, {1, 1});
    Equation = 1;
    CgammaV[1] = CgammaV[2] = 1.0;
    Cgamma[1] = Cgamma[2] = 50.0;  // lateral viscosity, not used across a vertical face
    Fflux[Cflatet[1]] = k.F;
    Fflux[Cflateb[1]] = 3.0;   // inflow at the bed into the lower cell
    Fflux[Cflatet[2]] = -2.0;  // inflow through the top into the upper cell
    ASSERT_EQ(run(1, NoSurfaces), 1000);
    EXPECT_NEAR(Cat[1], k.lowerT, kTol);
    EXPECT_NEAR(Cab[2], k.upperB, kTol);
    // Boundary surfaces give their one cell the upwind inflow and no diffusion.
    EXPECT_EQ(Cab[1], 3.0);
    EXPECT_EQ(Cat[2], 2.0);
    for (int c : {1, 2}) {
      EXPECT_EQ(Cae[c], 0.0);
      EXPECT_EQ(Caw[c], 0.0);
      EXPECT_EQ(Can[c], 0.0);
      EXPECT_EQ(Cas[c], 0.0);
    }
  }
}

TEST_F(Coefficients, LateralFacesKeepTheFullConductance) {
  // Two cells side by side, 1 m long, 2 m x 2 m faces: D = Cgamma 1 x 4 m2 / 1 m = 4 kg/s,
  // and no power-law factor on a lateral face at any Peclet number.
  const std::vector<ColumnCase> cases = {{20, 4, 24}, {40, 4, 44}, {-60, 64, 4}, {100, 4, 104}};
  for (const ColumnCase& k : cases) {
    SCOPED_TRACE(k.F);
    SetArraysZero();
    setDefaults();
    makeBox({1, 1}, {2}, {2});
    Equation = 2;
    Cgamma[1] = Cgamma[2] = 1.0;
    CgammaV[1] = CgammaV[2] = 100.0;
    Fflux[Cflatee[1]] = k.F;
    ASSERT_EQ(run(1, NoSurfaces), 1000);
    EXPECT_NEAR(Cae[1], k.lowerT, kTol);
    EXPECT_NEAR(Caw[2], k.upperB, kTol);
  }
}

struct DiffusivityCase {
  const char* what;
  std::function<void()> set;
  double coefficient;  // both cells, no flux
};

TEST_F(Coefficients, FaceDiffusivityOptions) {
  // Column of a 2 m x 2 m cell 1 m high under a cell 3 m high: centre distances 0.5 and 1.5,
  // area 4. Weighted mean (0.5 G_upper + 1.5 G_lower) / 2: the nearer cell weighs more.
  const std::vector<DiffusivityCase> cases = {
      {"weighted mean of CgammaV", [] {}, 4 * (0.5 * 5 + 1.5 * 1) / 2 / 2},
      {"floor MinGamma",
       [] { CgammaV[1] = CgammaV[2] = 1e-5; }, 4 * 0.001 / 2},
      {"F 72 floor", [] { CgammaV[1] = CgammaV[2] = 1e-5; MinGamma = 0.01; }, 4 * 0.01 / 2},
      {"F 71 3 drops turbulent mixing", [] { TurbDensFlag = 3; }, 4 * 0.001 / 2},
      {"F 76 vertical factor", [] { TDCvert = 0.5; TDChoriz = 7; }, 0.5 * 4 * 2 / 2},
      {"model 6 constant viscosity", [] { TurbulenceModel = 6; TCvert = 3; TChoriz = 9; },
       4 * 3.0 / 2},
      {"model 1, k", [] { TurbulenceModel = 1; Equation = 5; }, 1.3900472616068946 * 4 * 2 / 2},
      {"model 1, component", [] { TurbulenceModel = 1; Equation = 9; },
       1.3900472616068946 * 4 * 2 / 2},
      {"model 1, velocity", [] { TurbulenceModel = 1; Equation = 3; }, 4 * 2 / 2},
      {"model 15, epsilon", [] { TurbulenceModel = 15; Equation = 6; }, 0.5 * 4 * 2 / 2},
      {"model 16, velocity", [] { TurbulenceModel = 16; Equation = 1; }, 4 * 2 / 2},
      {"model 14, k", [] { TurbulenceModel = 14; Equation = 5; }, 1.5 * 4 * 2 / 2},
      {"model 14, epsilon", [] { TurbulenceModel = 14; Equation = 6; }, 4 * 2 / 2},
  };
  for (const DiffusivityCase& k : cases) {
    SCOPED_TRACE(k.what);
    SetArraysZero();
    setDefaults();
    makeBox({2}, {2}, {1, 3});
    Equation = 1;
    CgammaV[1] = 1.0;
    CgammaV[2] = 5.0;
    Cgamma[1] = Cgamma[2] = 1000.0;
    k.set();
    ASSERT_EQ(run(1, NoSurfaces), 1000);
    EXPECT_NEAR(Cat[1], k.coefficient, kTol);
    EXPECT_NEAR(Cab[2], k.coefficient, kTol);
  }
}

TEST_F(Coefficients, CrankNicolsonKeepsTheImplicitShareOnce) {
  struct Case {
    double timeStep, crankNicols, lowerT, upperB;
  };
  // The vertical face at Pe 5 (0.125 + upwind 20), and the lateral boundary inflow 6.
  const std::vector<Case> cases = {
      {1.0, 0.5, 0.0625, 10.0625},
      {1.0, 0.25, 0.09375, 15.09375},
      {1e-8, 0.5, 0.125, 20.125},  // steady: no scaling whatever F 61 says
      {1.0, 0.0, 0.125, 20.125},
  };
  for (const Case& k : cases) {
    for (int calls : {1, 2}) {
      SCOPED_TRACE(testing::Message() << k.crankNicols << " " << k.timeStep << " " << calls);
      SetArraysZero();
      setDefaults();
      makeBox({2}, {2}, {1, 1});
      Equation = 1;
      CgammaV[1] = CgammaV[2] = 1.0;
      Fflux[Cflatet[1]] = 20;
      Fflux[Cflatew[1]] = 6;
      TimeStep = k.timeStep;
      CrankNicols = k.crankNicols;
      // A second assembly of the same equation scales afresh, not twice.
      for (int n = 0; n < calls; ++n) ASSERT_EQ(run(1, NoSurfaces), 1000);
      EXPECT_NEAR(Cat[1], k.lowerT, kTol);
      EXPECT_NEAR(Cab[2], k.upperB, kTol);
      EXPECT_NEAR(Caw[1], 6 * (k.lowerT / 0.125), kTol);
    }
  }
}

// Three cells in a row along one axis, 1, 2 and 1 m long, 1 m2 faces, viscosity 1: the two
// inner faces have centre distances 0.5 + 1 and 1 + 0.5, so D = 1 / 1.5 = 2/3 on both.
// Flow of 10 kg/s along the row. Downstream of the long cell the face value is extrapolated
// from the long cell U (half size 1) and the short cell UU behind it (0.5):
// w = (2 x 1 + 0.5) / 1.5 = 5/3, so D gets 2/3 + 50/3 on its first and -20/3 on its second
// neighbour, and U gets (w - 1) x 10 = 20/3 towards UU. The first inner face has no UU and is
// plain upwind (2/3 + 10 for its downwind cell). With Crank-Nicolson every coefficient keeps
// its implicit share only, as in the power law.
struct SecondOrderCase {
  const char* what;
  int axis;  // 0 x, 1 y, 2 z
  double F;
  // Per cell 1..3: the coefficient towards the upstream end, towards the downstream end, and
  // the second-neighbour coefficient towards the upstream end.
  std::vector<double> up, down, upSecond;
  double crankNicols = 0;  // F 61, in a transient run of 1 s steps
};

TEST_F(Coefficients, SecondOrderUpwindAlongALine) {
  const double a = 2.0 / 3;
  const std::vector<SecondOrderCase> cases = {
      {"east", 0, 10, {0, 52.0 / 3, 52.0 / 3}, {a, a, 0}, {0, 0, -20.0 / 3}},
      {"north", 1, 10, {0, 52.0 / 3, 52.0 / 3}, {a, a, 0}, {0, 0, -20.0 / 3}},
      {"up", 2, 10, {0, 52.0 / 3, 52.0 / 3}, {a, a, 0}, {0, 0, -20.0 / 3}},
      // Reversed flow: the same values mirrored onto the east, north and top coefficients.
      {"west", 0, -10, {0, a, a}, {52.0 / 3, 52.0 / 3, 0}, {-20.0 / 3, 0, 0}},
      {"south", 1, -10, {0, a, a}, {52.0 / 3, 52.0 / 3, 0}, {-20.0 / 3, 0, 0}},
      {"down", 2, -10, {0, a, a}, {52.0 / 3, 52.0 / 3, 0}, {-20.0 / 3, 0, 0}},
      // No flow: diffusion only.
      {"still", 0, 0, {0, a, a}, {a, a, 0}, {0, 0, 0}},
      // Crank-Nicolson 0.5 halves each of them, 0.25 keeps three quarters.
      {"east, Crank-Nicolson 0.5", 0, 10, {0, 26.0 / 3, 26.0 / 3}, {a / 2, a / 2, 0},
       {0, 0, -10.0 / 3}, 0.5},
      {"down, Crank-Nicolson 0.25", 2, -10, {0, a * 0.75, a * 0.75}, {13, 13, 0}, {-5, 0, 0},
       0.25},
  };
  for (const SecondOrderCase& k : cases) {
    SCOPED_TRACE(k.what);
    SetArraysZero();
    setDefaults();
    sou[8] = 1;  // the first component: the second-neighbour arrays exist
    const std::vector<double> row = {1, 2, 1}, one = {1};
    makeBox(k.axis == 0 ? row : one, k.axis == 1 ? row : one, k.axis == 2 ? row : one);
    Equation = 8;
    for (int c = 1; c <= 3; ++c) Cgamma[c] = CgammaV[c] = 1.0;
    // Upstream side of a cell along the axis (west, south, bottom) and downstream side.
    const int upSide = k.axis == 0 ? 4 : k.axis == 1 ? 1 : 5;
    const int downSide = k.axis == 0 ? 2 : k.axis == 1 ? 3 : 6;
    for (int c = 1; c <= 3; ++c) Fflux[surfaceOn(c, upSide)] = k.F;
    Fflux[surfaceOn(3, downSide)] = k.F;
    TimeStep = 1;
    CrankNicols = k.crankNicols;
    ASSERT_EQ(run(1, NoSurfaces), 1000);
    Table1<double>* up[3] = {&Caw, &Cas, &Cab};
    Table1<double>* down[3] = {&Cae, &Can, &Cat};
    Table1<double>* upSecond[3] = {&Caww, &Cass, &Cabb};
    Table1<double>* downSecond[3] = {&Caee, &Cann, &Catt};
    for (int c = 1; c <= 3; ++c) {
      SCOPED_TRACE(c);
      EXPECT_NEAR((*up[k.axis])[c], k.up[c - 1], kTol);
      EXPECT_NEAR((*down[k.axis])[c], k.down[c - 1], kTol);
      // Reversed flow puts the second neighbour downstream.
      const double second = k.F < 0 ? (*downSecond[k.axis])[c] : (*upSecond[k.axis])[c];
      EXPECT_NEAR(second, k.upSecond[c - 1], kTol);
      EXPECT_EQ(k.F < 0 ? (*upSecond[k.axis])[c] : (*downSecond[k.axis])[c], 0.0);
      // The sides across the line are boundaries: neither diffusion nor convection.
      for (int other = 0; other < 3; ++other)
        if (other != k.axis) {
          EXPECT_EQ((*up[other])[c], 0.0);
          EXPECT_EQ((*down[other])[c], 0.0);
        }
    }
  }
}

TEST_F(Coefficients, SecondOrderLeavesMarkedSurfacesToTheirOwnGenerator) {
  sou[1] = 1;
  makeBox({1, 2, 1}, {1}, {1});
  Equation = 5;
  sou[5] = 1;
  for (int c = 1; c <= 3; ++c) Cgamma[c] = 1.0;
  for (int c = 1; c <= 3; ++c) Fflux[Cflatew[c]] = 10;
  Fflux[Cflatee[3]] = 10;
  Fqndum[Cflatew[3]] = 1;
  ASSERT_EQ(run(1, NoSurfaces), 1000);
  // The marked face between cells 2 and 3 keeps its diffusion only, on both sides.
  EXPECT_NEAR(Caw[3], 2.0 / 3, kTol);
  EXPECT_EQ(Caww[3], 0.0);
  EXPECT_NEAR(Caw[2], 2.0 / 3 + 10, kTol);
  // A missing second-neighbour array is refused with a message instead of written past.
  SetArraysZero();
  setDefaults();
  makeBox({1, 1}, {1}, {1});
  Equation = 6;
  sou[6] = 1;
  EXPECT_EQ(run(1, NoSurfaces), 1);
  EXPECT_EQ(log(),
            "Error, second-order upwind (K 6) for equation 6 needs the second-neighbour "
            "coefficients, which only the scheme for equation 1, 3 or 8 or F 63 1 provides\n");
}

TEST_F(Coefficients, OptionsWhoseStepsAreMissingEndTheRun) {
  struct Case {
    std::function<void()> set;
    const char* message;
  };
  const std::vector<Case> cases = {
      {[] { FlagRBedformsmooth = 1; },
       "Not available in this version: the bedform smoothing of F 176\n"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.message);
    SetArraysZero();
    setDefaults();
    k.set();
    makeBox({1}, {1}, {1, 1});
    Equation = 1;
    EXPECT_EQ(run(1, NoSurfaces), 1);
    EXPECT_EQ(log(), k.message);
  }
}

// The stratification damping of F 71 1 is built: the coefficients are made (its factors are
// checked with the turbulence tests).
TEST_F(Coefficients, StratificationDampingRuns) {
  TurbDensFlag = 1;
  makeBox({1}, {1}, {1, 1});
  Equation = 1;
  EXPECT_EQ(run(1, NoSurfaces), 1000) << log();
}

// Fills the box with uneven fluxes and viscosities so that every face differs.
void unevenFields() {
  for (int f = 1; f <= NoSurfaces; ++f) Fflux[f] = std::sin(1.7 * f) * 30;
  for (int c = 1; c <= NoCells; ++c) {
    Cgamma[c] = 1 + 0.3 * c;
    CgammaV[c] = 0.5 + 0.1 * (c % 4);
  }
}

std::vector<double> allCoefficients() {
  std::vector<double> v;
  for (Table1<double>* t : {&Cae, &Caw, &Can, &Cas, &Cat, &Cab, &Caee, &Caww, &Cann, &Cass,
                            &Catt, &Cabb})
    for (int c = 1; c <= NoCells; ++c) v.push_back((*t)[c]);
  return v;
}

void clearCoefficients() {
  for (Table1<double>* t : {&Cae, &Caw, &Can, &Cas, &Cat, &Cab, &Caee, &Caww, &Cann, &Cass,
                            &Catt, &Cabb})
    for (int c = 0; c <= NoCells; ++c) (*t)[c] = -99;
}

TEST_F(Coefficients, ChunksGiveTheResultOfOneCall) {
  for (int scheme : {0, 1}) {
    SCOPED_TRACE(scheme);
    SetArraysZero();
    setDefaults();
    sou[3] = 1;  // the second-neighbour arrays exist in both runs
    makeBox({1, 2, 1.5}, {1, 0.5, 2}, {0.5, 1, 0.7});
    Equation = 3;
    sou[3] = scheme;
    TimeStep = 2;
    CrankNicols = 0.4;
    unevenFields();
    clearCoefficients();
    coeff_make(WFStart, WFEnd);
    const std::vector<double> serial = allCoefficients();

    clearCoefficients();
    const int first = WFStart, last = WFEnd;
    int teams = 0;
#pragma omp parallel num_threads(3)
    {
      // The drivers' split: equal chunks by integer division, the last one taking the rest.
      const int t = omp_get_thread_num(), n = omp_get_num_threads();
      const int per = (last - first + 1) / n;
      const int a = first + t * per, b = t == n - 1 ? last : a + per - 1;
#pragma omp single
      teams = omp_in_parallel() != 0 ? n : 0;
      coeff_make(a, b, Share::Chunk);
    }
    coeff_makeAfterChunks(first, last);
    EXPECT_EQ(teams, 3);
    EXPECT_EQ(allCoefficients(), serial);
  }
}

}  // namespace
}  // namespace qorva

namespace qorva {
namespace {

// Power law with closed boundary surfaces. Two cells stacked in a 2 m x 2 m column, 1 m high:
// the face between them has D = 4 kg/s with CgammaV = 1; T = TDCvert A on that vertical face
// enters twice, D' = D T max(T, MinGamma / gamma).
TEST_F(Coefficients, ClosedPowerLawForTheThreadedKStep) {
  struct Case {
    double tdcVert, flux;
    double lowerT, upperB;
  };
  const std::vector<Case> cases = {
      // A = 1 (no flux): D' = 4 * 0.5 * max(0.5, 0.001) = 1.
      {0.5, 0.0, 1.0, 1.0},
      // Pe = 2.5, A = 0.75^5 = 0.2373046875, T = A: D' = 4 A^2; the upward flux 10 goes to the
      // upper cell.
      {1.0, 10.0, 4 * 0.2373046875 * 0.2373046875, 4 * 0.2373046875 * 0.2373046875 + 10},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.tdcVert);
    SetArraysZero();
    setDefaults();
    makeBox({2}, {2}, {1, 1});
    Equation = 5;
    TDCvert = k.tdcVert;
    CgammaV[1] = CgammaV[2] = 1.0;
    Fflux[Cflatet[1]] = k.flux;
    Fflux[Cflateb[1]] = 3.0;  // boundary faces get nothing, not even their inflow
    Cab[1] = Cat[2] = 7.0;
    Cae[1] = 7.0;
    coeff_make_pow(1, NoSurfaces);
    EXPECT_NEAR(Cat[1], k.lowerT, 1e-12);
    EXPECT_NEAR(Cab[2], k.upperB, 1e-12);
    EXPECT_EQ(Cab[1], 0.0);
    EXPECT_EQ(Cat[2], 0.0);
    EXPECT_EQ(Cae[1], 0.0);
  }
}

TEST_F(Coefficients, ClosedPowerLawLogsAWrongSideAndKeepsThatCoefficient) {
  makeBox({2}, {2}, {1, 1});
  Equation = 5;
  CgammaV[1] = CgammaV[2] = 1.0;
  const int f = Cflatet[1];
  Ftype1[f] = 5;  // the lower cell cannot see its top face as its bottom
  Cab[1] = 7.0;
  coeff_make_pow(f, f);
  EXPECT_EQ(Cab[1], 7.0);
  EXPECT_NE(log().find(strf("Error in coefficient1 computation, surface %d, cells 1 2, type 5, "
                            "area 4.000000\n", f)),
            std::string::npos)
      << log();
}

}  // namespace
}  // namespace qorva
