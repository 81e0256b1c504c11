// Wall laws on hand-made box cells: the rough log law u+ = ln(30 y / ks) / 0.4 at the bed,
// side walls and roof, its limiters and floors, the k terms, the fixed epsilon and fixed k of
// wall cells, and the frame (clearing, laws switched off, turbulence model 3, thin columns).
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <utility>

#include "support/box_grid.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "support/scratch.h"
#include "turbulence/turbulence.h"

namespace qorva::test {
namespace {

// Sides as surfaceOn numbers them.
constexpr int kSouth = 1, kEast = 2, kNorth = 3, kWest = 4, kBottom = 5, kTop = 6;

// The one-cell state most tests use: a cell 2 m x 1 m x 0.4 m (half sizes 1, 0.5, 0.2, volume
// 0.8, bed area 2, east and west faces 0.4 m2), k = 0.003 (sqrt(300 k) = sqrt(0.9)),
// velocity (0.5, 0.2, 0.1) (U^2 = 0.3), bed roughness 0.06 (30 y / ks = 100 at the bed).
constexpr double kK = 0.003;
const double kUS = std::sqrt(0.9);
const double kUPlusBed = std::log(100.0) / 0.4;  // 11.5129...
constexpr double kC75k = 164.31676725154983;      // 1000 x 0.09^0.75
constexpr double kU2 = 0.3;
// The laminar friction 31.62 uS A / y+ is 0.001 A / y (give or take 31.62^2 / 1000), whatever
// k is: y+ = sqrt(0.001) uS y 1e6.
constexpr double kLaminarPerAOverY = 31.62 / 31622.776601683792;

class WallLaws : public Scratch {
 protected:
  // A box whose boundary surfaces are all closed without wall treatment (flag 0), with the
  // unit normals the box builder leaves out; walls are then opened side by side.
  static Box box(std::vector<double> dx, std::vector<double> dy, std::vector<double> dz) {
    SetArraysZero();
    Box b = makeBox(std::move(dx), std::move(dy), std::move(dz));
    for (int f = 1; f <= NoSurfaces; ++f) {
      Fvx[f] = Fax[f] / Farea[f];
      Fvy[f] = Fay[f] / Farea[f];
      Fvz[f] = Faz[f] / Farea[f];
      if (Fflagflow[f] == -1) Fflagflow[f] = 0;
    }
    for (int c = 1; c <= NoCells; ++c) Croughness[c] = 0.06;
    return b;
  }
  static void walls(int c, std::initializer_list<int> sides) {
    for (int s : sides) Fflagflow[surfaceOn(c, s)] = -1;
  }
  static void oneCell(std::initializer_list<int> sides) {
    box({2.0}, {1.0}, {0.4});
    walls(1, sides);
    flow(1);
  }
  static void flow(int c) {
    Ckinen[c] = kK;
    Cxvel[c] = 0.5;
    Cyvel[c] = 0.2;
    Czvel[c] = 0.1;
  }
  // Runs the law for one equation over all cells, after filling Cap and Csource with values
  // that a wall cell must lose.
  static void run(int equation) {
    for (int c = 1; c <= NoCells; ++c) {
      Cap[c] = 7;
      Csource[c] = 9;
    }
    Equation = equation;
    wall_laws(1, NoCells);
  }
};

// The bed retards u and v in full and w only in its wall-parallel part (none): the
// compensating source gives back cw n_z (n . U) = cw w in the w equation.
TEST_F(WallLaws, RoughBedFrictionReplacesTheSourcesOfAWallCell) {
  const double cw = 31.62 * kUS * 2 / kUPlusBed;
  EXPECT_NEAR(kUPlusBed, 11.512925464970229, 1e-12);
  EXPECT_NEAR(cw, 5.2110761900837, 1e-9);
  struct Row {
    int equation;
    double source;
  } rows[] = {{1, 0.0}, {2, 0.0}, {3, cw * 0.1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.equation);
    oneCell({kBottom});
    run(r.equation);
    EXPECT_NEAR(Cap[1], cw, 1e-12);
    EXPECT_NEAR(Csource[1], r.source, 1e-12);
  }
}

// u+ at the bed by roughness, limiter and floor; the friction is 31.62 uS A / u+ (A = 2).
TEST_F(WallLaws, BedVelocityLawLimitersAndFloors) {
  struct Row {
    const char* name;
    double ks;
    double minUPlus;
    int limiter;
    double limit;
    double conc;
    double k;
    double artMinKinen;
    double cw;
  } rows[] = {
      {"log law", 0.06, 1.0, 0, 0.1, 0, kK, 1e-20, 31.62 * kUS * 2 / kUPlusBed},
      // y < ks / 30: ln(0.5) / 0.4 < 0, the floor MinUPlus 1 holds.
      {"inside roughness", 12, 1.0, 0, 0.1, 0, kK, 1e-20, 31.62 * kUS * 2 / 1.0},
      // MinUPlus 0 used to leave a negative u+: the floor 0.025 holds instead.
      {"MinUPlus 0", 12, 0.0, 0, 0.1, 0, kK, 1e-20, 31.62 * kUS * 2 / 0.025},
      // y = 0.2 < 0.1 x 4: u+ = (0.2 / 0.4) ln(3).
      {"limiter 4", 4, 1.0, 4, 0.1, 0, kK, 1e-20, 31.62 * kUS * 2 / (0.5 * std::log(3.0))},
      // WallLimiterU 0.02 < 1/30: ln(0.6) < 0 used to make u+ negative.
      {"limiter 4 below 1/30", 12, 1.0, 4, 0.02, 0, kK, 1e-20, 31.62 * kUS * 2 / 0.025},
      // y < ks / 2: max(ln(2) / 0.4, 1 + 11.5 x 0.2 / 3).
      {"limiter 6", 3, 1.0, 6, 0.1, 0, kK, 1e-20, 31.62 * kUS * 2 / (1 + 11.5 * 0.2 / 3)},
      // A roughness of 0 (a roughness file may hold one) counts as 1e-6 m instead of
      // giving an infinite u+, which made the bed frictionless and the k dissipation infinite.
      {"roughness 0", 0.0, 1.0, 0, 0.1, 0, kK, 1e-20,
       31.62 * kUS * 2 / (std::log(30 * 0.2 / 1e-6) / 0.4)},
      {"concentration 0.2", 0.06, 1.0, 0, 0.1, 0.2, kK, 1e-20,
       31.62 * kUS * 2 / (kUPlusBed * 1.5)},
      // y+ = sqrt(0.3e-9) x 0.2e6 = 3.46: viscous sublayer, 0.001 A / y.
      {"laminar", 0.06, 1.0, 3, 0.1, 0, 1e-9, 1e-20, kLaminarPerAOverY * 2 / 0.2},
      // A k of 0 (G 18): y+ from the floored k, the same laminar shear instead of 0 / 0.
      {"laminar k 0", 0.06, 1.0, 3, 0.1, 0, 0.0, 1e-20, kLaminarPerAOverY * 2 / 0.2},
      // F 138 0 lets the floored k be 0 too: no friction velocity, no friction, no NaN.
      {"laminar k floor 0", 0.06, 1.0, 3, 0.1, 0, 0.0, 0.0, 0.0},
      // F 397 1 in a top cell with y < 10 ks: the thin water layer adds 1000 A y 1e-6 / 1e-10
      // min(0.01 ks / y, 1) = 1000 x 2 x 0.2 x 1e4 x 0.003 = 12000.
      {"thin layer", 0.06, 1.0, 1, 10, 0, kK, 1e-20, 31.62 * kUS * 2 / kUPlusBed + 12000},
      // y = 0.2 is not below 2 ks: no thin-layer term.
      {"thin layer deep", 0.06, 1.0, 1, 2, 0, kK, 1e-20, 31.62 * kUS * 2 / kUPlusBed},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    fresh();
    oneCell({kBottom});
    Croughness[1] = r.ks;
    MinUPlus = r.minUPlus;
    FlagWallLimiterU = r.limiter;
    WallLimiterU = r.limit;
    FlagConcProf = 1;
    Cconc[0][1] = r.conc;
    Ckinen[1] = r.k;
    ArtMinKinen = r.artMinKinen;
    run(1);
    EXPECT_TRUE(std::isfinite(Cap[1]));
    EXPECT_NEAR(Cap[1], r.cw, 1e-9 * (1 + r.cw));
    EXPECT_EQ(Csource[1], 0.0);
  }
}

// East and west walls: two friction terms (y = 1, ks = XksWall 0.01, A = 0.4), the normal
// (1, 0, 0) giving back cw u in the u equation only; one k term for the pair.
TEST_F(WallLaws, SideWallsOfAPairGiveTwoFrictionTermsAndOneKTerm) {
  const double uplus = std::log(3000.0) / 0.4;
  const double cw = 31.62 * kUS * 0.4 / uplus;
  struct Row {
    int equation;
    double cap, source;
  } rows[] = {
      {1, 2 * cw, 2 * cw * 0.5},
      {2, 2 * cw, 0.0},
      {3, 2 * cw, 0.0},  // w is retarded in full at a side wall
      {5, kC75k * std::sqrt(kK) * uplus / 1.0 * 0.8, 31.62 * kUS / uplus * kU2 / 1.0 * 0.8},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.equation);
    fresh();
    oneCell({kEast, kWest});
    XksWall = 0.01;
    run(r.equation);
    EXPECT_NEAR(Cap[1], r.cap, 1e-10 * r.cap);
    EXPECT_NEAR(Csource[1], r.source, 1e-10 * (1 + r.source));
  }
}

// F 273 at an east wall whose along-wall neighbours (north, south) have pressures 100 and 20 Pa:
// G = 80 / (4 x 0.5) = 40. With 1 the shear velocity grows to sqrt(300 k + G y); with 4 the von
// Karman coefficient becomes (0.6 P + 0.4) / (P + 1), P = G 3.16228e-5 / uS^3. The cell at the
// south end lacks a neighbour and keeps the plain law.
TEST_F(WallLaws, AlongWallPressureGradientAtASideWall) {
  const double lnY = std::log(30 * 1.0 / 0.01);
  const double P = 40 * 3.16228e-05 / std::pow(0.9, 1.5);
  const double kappa4 = (0.6 * P + 0.4) / (P + 1);
  struct Row {
    int genmix;
    int cell;
    double cw;
  } rows[] = {
      {1, 2, 31.62 * std::sqrt(0.9 + 40 * 1.0) * 0.4 / (lnY / 0.4)},
      {4, 2, 31.62 * kUS * 0.4 / (lnY / kappa4)},
      {1, 1, 31.62 * kUS * 0.4 / (lnY / 0.4)},
      {4, 1, 31.62 * kUS * 0.4 / (lnY / 0.4)},
  };
  EXPECT_NEAR(P, 1.4815e-3, 1e-7);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.genmix * 10 + r.cell);
    fresh();
    box({2.0}, {1.0, 1.0, 1.0}, {0.4});
    for (int c = 1; c <= 3; ++c) {
      walls(c, {kEast});
      flow(c);
    }
    Cpres[1] = 20;
    Cpres[3] = 100;
    XksWall = 0.01;
    FlagGENMIX = r.genmix;
    run(2);
    EXPECT_NEAR(Cap[r.cell], r.cw, 1e-12 * r.cw);
    EXPECT_EQ(Csource[r.cell], 0.0);  // v has no part along the normal (1, 0, 0)
  }
}

// The roof takes XksWall in the momentum law, and the laminar shear 0.001 A / y with F 397 5
// below an eddy viscosity of 0.0011.
TEST_F(WallLaws, RoofFriction) {
  struct Row {
    int limiter;
    double gamma;
    double cw;
  } rows[] = {
      {0, 0.0001, 31.62 * kUS * 2 / (std::log(30 * 0.2 / 0.01) / 0.4)},
      {5, 0.001, 0.001 * 2 / 0.2},
      {5, 0.0011, 31.62 * kUS * 2 / (std::log(30 * 0.2 / 0.01) / 0.4)},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.gamma);
    fresh();
    oneCell({kTop});
    XksWall = 0.01;
    FlagWallLimiterU = r.limiter;
    Cgamma[1] = r.gamma;
    run(3);
    EXPECT_NEAR(Cap[1], r.cw, 1e-12);
    EXPECT_NEAR(Csource[1], r.cw * 0.1, 1e-12);  // n = (0, 0, 1): the w part comes back
  }
}

// k at the bed: dissipation C75k sqrt(k) u+ / y V and production 31.62 uS / u+ U^2 / y V.
TEST_F(WallLaws, BedKTerms) {
  struct Row {
    const char* name;
    double ks;
    double minUPlusK;
    int limiter;
    double k;
    double uplus;  // as it enters the terms
  } rows[] = {
      {"log law", 0.06, 1.0, 0, kK, kUPlusBed},
      {"inside roughness", 12, 1.0, 0, kK, 1.0},
      // MinUPlusK 0 used to leave u+ = 2.5 ln(0.5) < 0: negative dissipation and production.
      {"MinUPlusK 0", 12, 0.0, 0, kK, 0.025},
      // y+ = 3.46 < 11.63.
      {"laminar", 0.06, 1.0, 3, 1e-9, std::sqrt(300 * 1e-9 * 0.001) * 0.2e6},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    fresh();
    oneCell({kBottom});
    Croughness[1] = r.ks;
    MinUPlusK = r.minUPlusK;
    FlagWallLimiterK = r.limiter;
    Ckinen[1] = r.k;
    run(5);
    const double cap = kC75k * std::sqrt(r.k) * r.uplus / 0.2 * 0.8;
    const double source = 31.62 * std::sqrt(300 * r.k) / r.uplus * kU2 / 0.2 * 0.8;
    EXPECT_NEAR(Cap[1], cap, 1e-10 * cap);
    EXPECT_NEAR(Csource[1], source, 1e-10 * source);
  }
  // Hand values of the plain log law.
  fresh();
  oneCell({kBottom});
  run(5);
  EXPECT_NEAR(Cap[1], 414.465316738928, 1e-9);
  EXPECT_NEAR(Csource[1], 3.12664571405021, 1e-12);
  // The laminar production is 0.001 / y U^2 / y V whatever k is.
  fresh();
  oneCell({kBottom});
  FlagWallLimiterK = 3;
  Ckinen[1] = 1e-9;
  run(5);
  EXPECT_NEAR(Csource[1], kLaminarPerAOverY / 0.2 * kU2 / 0.2 * 0.8, 1e-15);
}

// The near-bed limiters of the k law raise u+ (F 397 second flag): 6 towards the sublayer value
// 1 + 11.5 y / ks inside half the roughness, 1 and 2 to the Manning-Strickler ratio U / u* =
// M h^(1/6) / sqrt(9.81) with M = 50 and h = 2y (top cell) or the column depth.
TEST_F(WallLaws, NearBedLimitersOfTheKLaw) {
  // The exponent is 1/6 as 0.16666667.
  const double manningCell = 50 * std::pow(0.4, 0.16666667) * 0.31927;
  EXPECT_NEAR(manningCell, 13.70, 0.01);
  struct Row {
    const char* name;
    int limiter;
    double ks, limit, depth;
    double uplus;
  } rows[] = {
      // y = 0.2 < 1.5: max(2.5 ln(2), 1 + 11.5 x 0.2 / 3).
      {"6 inside", 6, 3, 0.1, 0, 1 + 11.5 * 0.2 / 3},
      {"6 outside", 6, 0.06, 0.1, 0, kUPlusBed},
      {"1 top cell", 1, 0.06, 10, 0, manningCell},
      {"1 beyond the limit", 1, 0.06, 2, 0, kUPlusBed},
      {"2 column depth", 2, 0.06, 10, 1.0, 50 * 0.31927},
  };
  EXPECT_GT(1 + 11.5 * 0.2 / 3, 2.5 * std::log(2.0));
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    fresh();
    oneCell({kBottom});
    ASSERT_TRUE(Bdepth && Cbed);
    Cbed[1] = 1;
    Bdepth[1] = r.depth;
    Croughness[1] = r.ks;
    FlagWallLimiterK = r.limiter;
    WallLimiterK = r.limit;
    run(5);
    const double cap = kC75k * std::sqrt(kK) * r.uplus / 0.2 * 0.8;
    const double source = 31.62 * kUS / r.uplus * kU2 / 0.2 * 0.8;
    EXPECT_NEAR(Cap[1], cap, 1e-10 * cap);
    EXPECT_NEAR(Csource[1], source, 1e-10 * source);
  }
}

// Epsilon is fixed at Cmu^0.75 k^1.5 / (0.4 y): 0.0009^1.5 / (0.4 y) = 2.7e-5 / (0.4 y). Walls in
// two pairs fix two values with equal coefficients, so the cell settles at their mean.
TEST_F(WallLaws, FixedEpsilonOfWallCells) {
  struct Row {
    const char* name;
    std::initializer_list<int> sides;
    double cap, value;
  } rows[] = {
      {"bed", {kBottom}, 1e30, 2.7e-5 / (0.4 * 0.2)},
      {"east and west", {kEast, kWest}, 1e30, 2.7e-5 / (0.4 * 1.0)},
      {"south", {kSouth}, 1e30, 2.7e-5 / (0.4 * 0.5)},
      {"bed and east", {kBottom, kEast}, 2e30, (2.7e-5 / 0.08 + 2.7e-5 / 0.4) / 2},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    fresh();
    oneCell(r.sides);
    run(6);
    EXPECT_EQ(Cap[1], r.cap);
    EXPECT_NEAR(Csource[1] / Cap[1], r.value, 1e-12 * r.value);
  }
  EXPECT_NEAR(2.7e-5 / 0.08, 3.375e-4, 1e-18);
}

// The wall epsilon by turbulence model and option, on the one cell (y = 1, 0.5 and 0.2 east,
// south and bed; k^1.5 = 0.003^1.5, Cmu^0.75 k^1.5 = 2.7e-5): k-omega fixes omega at
// k^1.5 / (0.21908 y), with the bed concentration factor 1 + 2.5 C whatever F 494; models 14
// and 15 fix nothing; F 409 raises the distance at south and north walls only.
TEST_F(WallLaws, WallEpsilonByModelAndOption) {
  const double k15 = std::pow(kK, 1.5);
  struct Row {
    const char* name;
    int model;
    std::initializer_list<int> sides;
    int concProf;
    int minDistFlag;
    double minDist;
    double cap, value;
  } rows[] = {
      {"k-omega bed", 16, {kBottom}, 0, 0, 0, 1e30, 1.5 * k15 / (0.21908 * 0.2)},
      {"k-omega east", 16, {kEast}, 0, 0, 0, 1e30, k15 / (0.21908 * 1.0)},
      {"k-omega bed and south", 16, {kBottom, kSouth}, 0, 0, 0, 2e30,
       (1.5 * k15 / (0.21908 * 0.2) + k15 / (0.21908 * 0.5)) / 2},
      {"k-omega ignores F 409", 16, {kSouth}, 0, 1, 0.8, 1e30, k15 / (0.21908 * 0.5)},
      {"model 14", 14, {kBottom}, 0, 0, 0, 0, 0},
      {"model 15", 15, {kEast}, 0, 0, 0, 0, 0},
      {"bed concentration", 0, {kBottom}, 1, 0, 0, 1e30, 1.5 * 2.7e-5 / (0.4 * 0.2)},
      {"F 409 raises south", 0, {kSouth}, 0, 1, 0.8, 1e30, 2.7e-5 / (0.4 * 0.8)},
      {"F 409 below half size", 0, {kSouth}, 0, 1, 0.3, 1e30, 2.7e-5 / (0.4 * 0.5)},
      {"F 409 not at east", 0, {kEast}, 0, 1, 5, 1e30, 2.7e-5 / (0.4 * 1.0)},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    fresh();
    oneCell(r.sides);
    TurbulenceModel = r.model;
    FlagConcProf = r.concProf;
    Cconc[0][1] = 0.2;
    FlagMinDistEps = r.minDistFlag;
    MinDistEps = r.minDist;
    run(6);
    EXPECT_EQ(Cap[1], r.cap);
    if (r.cap > 0)
      EXPECT_NEAR(Csource[1] / Cap[1], r.value, 1e-12 * r.value);
    else
      EXPECT_EQ(Csource[1], 0.0);
  }
}

// F 273 at east walls along a row of three cells with pressures 20 and 100 Pa south and north
// of the middle one. 2: Q = 300 k (p_north - p_south) y / (2 Cjdist) = 0.9 x 80 = 72 counts when
// the flow runs towards the higher pressure (v > 0, against the gradient) and lowers kappa to
// 0.4 / (1 + 72); with the flow reversed it does not count. 4 and 5: kappa = (0.6 P + 0.4) /
// (P + 1), P = 3.16228e-5 G / (5196.1 k^1.5), G = 80 / (4 x 0.5). The end cells lack a
// neighbour and keep 0.4.
TEST_F(WallLaws, WallEpsilonUnderAnAlongWallPressureGradient) {
  const double P = 3.16228e-05 * 40 / (5196.1 * std::pow(kK, 1.5));
  const double kappa4 = (0.6 * P + 0.4) / (P + 1);
  struct Row {
    int genmix;
    double v;
    double kappa;
  } rows[] = {{2, 0.2, 0.4 / 73}, {2, -0.2, 0.4}, {4, 0.2, kappa4}, {5, -0.2, kappa4}};
  EXPECT_NEAR(P, 1.4815e-3, 1e-7);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.genmix * 10 + (r.v > 0));
    fresh();
    box({2.0}, {1.0, 1.0, 1.0}, {0.4});
    for (int c = 1; c <= 3; ++c) {
      walls(c, {kEast});
      flow(c);
      Cyvel[c] = r.v;
    }
    Cpres[1] = 20;
    Cpres[3] = 100;
    FlagGENMIX = r.genmix;
    run(6);
    EXPECT_NEAR(Csource[2] / Cap[2], 2.7e-5 / r.kappa, 1e-12 * 2.7e-5 / r.kappa);
    EXPECT_NEAR(Csource[1] / Cap[1], 2.7e-5 / 0.4, 1e-15);
    EXPECT_NEAR(Csource[3] / Cap[3], 2.7e-5 / 0.4, 1e-15);
  }
}

// F 185 3: the top cell of a column of three takes epsilon = the rise of the vertical diffusion
// flux of k below it, 0.5 ((k3 - k2)(G3 + G2) - (k2 - k1)(G2 + G1)), with G = CgammaV 1, 2, 3;
// a falling flux gives 0.
TEST_F(WallLaws, FreeSurfaceEpsilonFromTheDiffusionOfK) {
  struct Row {
    double k1, k2, k3;
    double value;
  } rows[] = {
      {0.001, 0.002, 0.004, 0.5 * (0.002 * 5 - 0.001 * 3)},  // 0.0035
      {0.001, 0.004, 0.002, 0.0},                            // 0.5 (-0.01 - 0.009) < 0
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.value);
    fresh();
    box({1.0}, {1.0}, {1.0, 1.0, 1.0});
    walls(1, {kBottom});
    for (int c = 1; c <= 3; ++c) {
      flow(c);
      CgammaV[c] = c;
    }
    Ckinen[1] = r.k1;
    Ckinen[2] = r.k2;
    Ckinen[3] = r.k3;
    FlagSurfEps = 3;
    run(6);
    EXPECT_EQ(Cap[3], 7 + 1e30);
    EXPECT_NEAR(Csource[3] / 1e30, r.value, 1e-15);
    EXPECT_EQ(Cap[2], 7.0);
  }
}

// F 15 11 fixes k at 3.33333 (|U| / u+)^2 in wall cells with the penalty 1e20.
TEST_F(WallLaws, FixedKOfWallCells) {
  oneCell({kBottom});
  FlagWallAll = 11;
  run(5);
  EXPECT_EQ(Cap[1], 1e20);
  EXPECT_NEAR(Csource[1] / 1e20, 3.33333 * kU2 / (kUPlusBed * kUPlusBed), 1e-12);
  EXPECT_NEAR(Csource[1] / 1e20, 0.0075444603, 1e-10);
}

// A wall law that is switched off leaves wall cells with nothing; other cells keep what the
// caller assembled. Equations without a law only clear the wall cells.
TEST_F(WallLaws, WithoutALawWallCellsAreClearedAndOthersKeepTheirSources) {
  struct Row {
    int wallAll;
    int equation;
  } rows[] = {{3, 1}, {3, 5}, {3, 6}, {1000, 2}, {0, 4}, {0, 7}, {11, 9}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.wallAll * 100 + r.equation);
    fresh();
    box({1.0}, {1.0}, {0.4, 0.4});
    walls(1, {kBottom});
    flow(1);
    flow(2);
    FlagWallAll = r.wallAll;
    run(r.equation);
    EXPECT_EQ(Cap[1], 0.0);
    EXPECT_EQ(Csource[1], 0.0);
    EXPECT_EQ(Cap[2], 7.0);
    EXPECT_EQ(Csource[2], 9.0);
  }
}

// Turbulence model 3: every cell of the range, wall cell or not, gets the wall forms of k and
// epsilon with y = half the horizontal size, sqrt(V / (2 Ckdist)) / 2 = sqrt(2) / 2 here.
TEST_F(WallLaws, TurbulenceModel3SetsEveryCell) {
  box({2.0}, {1.0}, {0.4, 0.4});
  flow(1);
  flow(2);
  TurbulenceModel = 3;
  XksWall = 0.01;
  const double y = std::sqrt(2.0) / 2;
  run(6);
  for (int c = 1; c <= 2; ++c) {
    EXPECT_EQ(Cap[c], 1e30);
    EXPECT_NEAR(Csource[c] / 1e30, 2.7e-5 / (0.4 * y), 1e-15);
  }
  run(5);
  const double uplus = 2.5 * std::log(30 * y / 0.01);
  EXPECT_NEAR(Cap[2], kC75k * std::sqrt(kK) * uplus / y * 0.8, 1e-9);
  // The production takes the square of U^2 here.
  EXPECT_NEAR(Csource[2], 31.62 * kUS / uplus * kU2 * kU2 / y * 0.8, 1e-12);
}

// F 185 1: the top cell of a column (not a wall cell) also gets epsilon fixed at
// k^1.5 / (0.43 h), h = 2 x (0.25 + 0.5 + 0.5) = 2.5 m.
TEST_F(WallLaws, FreeSurfaceEpsilon) {
  box({1.0}, {1.0}, {1.0, 1.0, 0.5});
  walls(1, {kBottom});
  for (int c = 1; c <= 3; ++c) flow(c);
  FlagSurfEps = 1;
  run(6);
  EXPECT_EQ(Cap[3], 7 + 1e30);
  EXPECT_NEAR(Csource[3] / 1e30, std::pow(kK, 1.5) / (0.43 * 2.5), 1e-15);
  EXPECT_EQ(Cap[2], 7.0);  // neither wall nor surface
  EXPECT_NEAR(Csource[1] / Cap[1], 2.7e-5 / (0.4 * 0.5), 1e-15);
}

// F 92 1: a column thinner than MinVertDist feels the bed in every cell at the height of the
// cell centre (0.05 and 0.15 m here), with the concentration factor of its bottom cell.
TEST_F(WallLaws, ThinColumnPass) {
  box({1.0}, {1.0}, {0.1, 0.1});
  walls(1, {kBottom});
  flow(1);
  flow(2);
  PorosWallFlag = 1;
  MinVertDist = 0.5;
  Cconc[0][1] = 0.2;
  run(6);
  // The bottom cell: the bed value and the same value of the pass.
  EXPECT_EQ(Cap[1], 2e30);
  EXPECT_NEAR(Csource[1] / 2e30, (2.7e-5 / (0.4 * 0.05) + 1.5 * 2.7e-5 / (0.4 * 0.05)) / 2,
              1e-15);
  // The cell above was cleared as a thin cell and holds the pass value only.
  EXPECT_EQ(Cap[2], 1e30);
  EXPECT_NEAR(Csource[2] / 1e30, 1.5 * 2.7e-5 / (0.4 * 0.15), 1e-15);
}

// The thin-column terms of the cell above the bed cell (y = 0.05 + 0.05 + 0.05 = 0.15 m,
// 30 y / ks = 75, bed area 1, volume 0.1, concentration 0.2 at the bed cell), whether one call
// takes the column or two calls share it, as the threaded chunks do when they cut a column:
// the cell must not lose the pass of the chunk below to the clearing of its own chunk.
TEST_F(WallLaws, ThinColumnPassOfAColumnCutByTheRange) {
  const double lnY = std::log(75.0);
  const double cw = 31.62 * kUS * 1.0 / (lnY / 0.4);
  const double uplusK = 2.5 * lnY * 1.5;
  struct Row {
    int equation;
    double cap, source;
  } rows[] = {
      {3, cw, cw * 0.1},  // n = (0, 0, 1): the w part comes back
      {5, kC75k * std::sqrt(kK) * uplusK / 0.15 * 0.1, 31.62 * kUS / uplusK * kU2 / 0.15 * 0.1},
      {6, 1e30, 1e30 * 1.5 * 2.7e-5 / (0.4 * 0.15)},
  };
  for (const Row& r : rows)
    for (bool cut : {false, true}) {
      SCOPED_TRACE(r.equation * 10 + cut);
      fresh();
      box({1.0}, {1.0}, {0.1, 0.1});
      walls(1, {kBottom});
      flow(1);
      flow(2);
      PorosWallFlag = 1;
      MinVertDist = 0.5;
      FlagConcProf = 1;
      Cconc[0][1] = 0.2;
      for (int c = 1; c <= 2; ++c) {
        Cap[c] = 7;
        Csource[c] = 9;
      }
      Equation = r.equation;
      if (cut) {
        wall_laws(1, 1);
        wall_laws(2, 2);
      } else {
        wall_laws(1, 2);
      }
      EXPECT_NEAR(Cap[2], r.cap, 1e-12 * r.cap);
      EXPECT_NEAR(Csource[2], r.source, 1e-12 * r.source);
    }
}

// An empty range changes no cell but stores the von Karman constant and the side-wall
// roughness raised to 1e-6 m.
TEST_F(WallLaws, EveryCallStoresKappaAndTheSideWallRoughness) {
  oneCell({kBottom});
  Xkappa = 0;
  EXPECT_EQ(XksWall, -2.0);
  Cap[1] = 7;
  Equation = 1;
  wall_laws(2, 1);
  EXPECT_EQ(Cap[1], 7.0);
  EXPECT_EQ(Xkappa, 0.4);
  EXPECT_EQ(XksWall, 1e-6);
}

}  // namespace
}  // namespace qorva::test
