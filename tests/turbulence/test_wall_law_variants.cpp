// The wall laws besides the rough log law, checked against the laws of the turbulent boundary
// layer: the viscous sublayer u+ = y+, the smooth log law u+ = 2.5 ln y+ + 5.5, the fully
// rough law u+ = 2.5 ln(y / ks) + 8.5, Nikuradse's sand-grain transition between them, and the
// local-equilibrium epsilon u*^3 / (0.4 y) next to a wall.
//
// One cell on a bed wall of 1 m2 with k = 0.003 m2/s2: u* = 0.09^0.25 sqrt(k) = 0.03 m/s, so
// y+ = u* y / 1e-6 = 3e4 y and ks+ = 3e4 ks. The laws put the friction cw = 1000 u* A / u+
// (written 31.62 sqrt(1000 sqrt(Cmu) k) A / u+) into Cap of the velocity equations, the
// dissipation C75k sqrt(k) u+ / y V into Cap of the k equation, and fix epsilon by a penalty.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>

#include "state/arrays.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "support/box_grid.h"
#include "support/scratch.h"
#include "turbulence/turbulence.h"

namespace qorva::test {
namespace {

constexpr int kSouth = 1, kEast = 2, kBottom = 5, kTop = 6;
constexpr double kK = 0.003;
constexpr double kUStar = 0.03;                 // m/s
const double kUS = std::sqrt(0.9);              // sqrt(300 k)
constexpr double kC75k = 164.31676725154983;    // 1000 x 0.09^0.75

// The smooth and the fully rough log laws, with the von Karman constant 0.4.
double smoothLaw(double yplus) { return 2.5 * std::log(yplus) + 5.5; }
double roughLaw(double yOverKs) { return 2.5 * std::log(yOverKs) + 8.5; }

class WallLawVariants : public Scratch {
 protected:
  // One cell with the given half sizes, its walls opened on `sides`, k = 0.003 and the velocity
  // (0.5, 0.2, w).
  static void cell(double halfX, double halfY, double halfZ, std::initializer_list<int> sides,
                   double w = 0.0) {
    SetArraysZero();
    makeBox({2 * halfX}, {2 * halfY}, {2 * halfZ});
    for (int f = 1; f <= NoSurfaces; ++f) {
      Fvx[f] = Fax[f] / Farea[f];
      Fvy[f] = Fay[f] / Farea[f];
      Fvz[f] = Faz[f] / Farea[f];
      Fflagflow[f] = 0;
    }
    for (int s : sides) Fflagflow[surfaceOn(1, s)] = -1;
    Ckinen[1] = kK;
    Cxvel[1] = 0.5;
    Cyvel[1] = 0.2;
    Czvel[1] = w;
  }
  // A bed cell 1 m x 1 m whose centre lies at y+ from the bed of roughness ks+.
  static void bedCell(double yplus, double ksplus, double w = 0.0) {
    cell(0.5, 0.5, yplus / 3e4, {kBottom}, w);
    Croughness[1] = ksplus / 3e4;
  }
  static void run(int equation) {
    Cap[1] = 7;
    Csource[1] = 9;
    Equation = equation;
    wall_laws(1, 1);
  }
  // u+ of the velocity law at the one wall face of area A.
  static double velocityUPlus(double A = 1.0) {
    run(1);
    return 31.62 * kUS * A / Cap[1];
  }
  // u+ of the k law of the one wall pair at distance y.
  static double kUPlus(double y) {
    run(5);
    return Cap[1] / (kC75k * std::sqrt(kK) / y * Cvol[1]);
  }
};

// Each law's u+ at y+ of 1, 11.6, 30 and 300: the smooth walls of F 15 5, and the
// transitional roughness function of F 15 8 at ks+ of 1 (hydraulically smooth), 20 and 200
// (fully rough). Nikuradse's sand-grain measurements (Schlichting, Boundary-Layer Theory,
// fig. 20.21) put the constant B of u+ = 2.5 ln(y / ks) + B at about 9.4 for ks+ = 20; 0.3 is
// the scatter of his data about the curve there.
TEST_F(WallLawVariants, VelocityAndKLawsFollowTheBoundaryLayer) {
  struct Row {
    const char* name;
    int law;
    double yplus, ksplus;
    double uplus;  // the reference
    double tol;
  } rows[] = {
      {"smooth, sublayer", 5, 1, 0, 1.0, 1e-9},
      {"smooth, sublayer edge", 5, 11.6, 0, 11.6, 1e-9},
      {"smooth, log layer", 5, 30, 0, smoothLaw(30), 0.01},
      {"smooth, far", 5, 300, 0, smoothLaw(300), 0.01},
      // The sublayer of law 8 is the law at y+ 11.7 scaled down linearly.
      {"ks+ 1, sublayer", 8, 1, 1, 1.0, 0.01},
      {"ks+ 1, sublayer edge", 8, 11.6, 1, 11.6, 0.07},
      {"ks+ 1, log layer", 8, 30, 1, smoothLaw(30), 0.01},
      {"ks+ 1, far", 8, 300, 1, smoothLaw(300), 0.01},
      {"ks+ 20, log layer", 8, 30, 20, 2.5 * std::log(30.0 / 20) + 9.4, 0.3},
      {"ks+ 20, far", 8, 300, 20, 2.5 * std::log(300.0 / 20) + 9.4, 0.3},
      {"ks+ 200, log layer", 8, 30, 200, roughLaw(30.0 / 200), 0.01},
      {"ks+ 200, far", 8, 300, 200, roughLaw(300.0 / 200), 0.01},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    fresh();
    bedCell(r.yplus, r.ksplus);
    FlagWallAll = r.law;
    EXPECT_NEAR(velocityUPlus(), r.uplus, r.tol);
    // The k law takes the same u+ (law 5 switches to the log law at 11.63, as the velocities
    // do at 11.626).
    const double y = r.yplus / 3e4;
    EXPECT_NEAR(kUPlus(y), r.uplus, r.tol);
    // Production = friction velocity times the shear stress over y: 1000 u* / u+ U^2 / y V.
    const double uplus = kUPlus(y);
    EXPECT_NEAR(Csource[1], 31.62 * kUS / uplus * 0.29 / y * Cvol[1], 1e-9 * Csource[1]);
  }
}

// Next to a wall epsilon is u*^3 / (0.4 y) in every law, the bed value raised by 1 + 2.5 C
// (F 494 1 in law 19 only; always in laws 5, 8 and 9).
TEST_F(WallLawVariants, WallEpsilonIsTheLocalEquilibriumValue) {
  struct Row {
    int law;
    int concProf;
    double factor;
  } rows[] = {{5, 0, 1.25}, {8, 0, 1.25}, {9, 0, 1.25}, {19, 0, 1.0}, {19, 1, 1.25}};
  for (double yplus : {1.0, 11.6, 30.0, 300.0})
    for (const Row& r : rows) {
      SCOPED_TRACE(std::to_string(r.law) + " at " + std::to_string(yplus));
      fresh();
      bedCell(yplus, 1);
      FlagWallAll = r.law;
      FlagConcProf = r.concProf;
      Cconc[0][1] = 0.1;
      run(6);
      const double y = yplus / 3e4;
      const double eps = std::pow(kUStar, 3) / (0.4 * y) * r.factor;
      EXPECT_NEAR(Cap[1], 1e30, 1e16);
      EXPECT_NEAR(Csource[1] / Cap[1], eps, 1e-6 * eps);
    }
}

// Law 9 corrects u+ at the bed by the flow through it: with s = w / u* the velocity out of the
// bed over the friction velocity, u+ + a u+^2 with a = s / 4 between -0.025 and 0.1.
TEST_F(WallLawVariants, FlowThroughTheBedChangesUPlus) {
  struct Row {
    double s, a;
  } rows[] = {{1.0, 0.1}, {-1.0, -0.025}, {0.2, 0.05}, {-0.1, -0.025}, {0.4, 0.1}, {0.0, 0.0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.s);
    fresh();
    bedCell(300, 1, r.s * kUStar);
    FlagWallAll = 8;
    const double u8 = velocityUPlus();
    const double k8 = kUPlus(300 / 3e4);
    FlagWallAll = 9;
    EXPECT_NEAR(velocityUPlus(), u8 + r.a * u8 * u8, 1e-9 * u8);
    EXPECT_NEAR(kUPlus(300 / 3e4), k8 + r.a * k8 * k8, 1e-9 * k8);
  }
  // The example of a u+ of 10 raised by a quarter of s = 0.2: 10 + 0.05 x 100 = 15.
  EXPECT_DOUBLE_EQ(10 + 0.25 * 0.2 * 100, 15.0);
  // Strong suction would drive u+ below 0: the floor 0.025 holds.
  fresh();
  bedCell(3e6, 1, -kUStar);
  FlagWallAll = 9;
  EXPECT_NEAR(velocityUPlus(), 0.025, 1e-12);
}

// Law 19: smooth side walls (the log law in y+), a bed rough with the cell's roughness and a
// roof rough with F 16; laws 8 and 9 take the cell's roughness at side walls too.
TEST_F(WallLawVariants, Law19SmoothSidesRoughBedAndRoof) {
  // An east wall at y+ 300 (y = 0.01 m), the face 0.02 m high and 1 m long.
  fresh();
  cell(0.01, 0.5, 0.01, {kEast});
  Croughness[1] = 0.05;  // large: a rough law would give a much smaller u+
  FlagWallAll = 19;
  EXPECT_NEAR(velocityUPlus(0.02), smoothLaw(300), 0.01);
  // Law 8 at the same wall feels the cell's roughness (ks+ 1500, fully rough).
  FlagWallAll = 8;
  EXPECT_NEAR(velocityUPlus(0.02), roughLaw(0.01 / 0.05), 0.01);
  // Bed and roof of law 19: rough, with ks = Croughness and XksWall.
  const struct {
    int side;
    double ksCell, ksWall;
  } faces[] = {{kBottom, 0.001, 0.5}, {kTop, 0.5, 0.001}};
  for (const auto& f : faces) {
    SCOPED_TRACE(f.side);
    fresh();
    cell(0.5, 0.5, 0.01, {f.side});
    Croughness[1] = f.ksCell;
    XksWall = f.ksWall;
    FlagWallAll = 19;
    EXPECT_NEAR(velocityUPlus(), roughLaw(0.01 / 0.001), 0.01);
  }
}

// At a side wall the friction acts on the wall-parallel velocity only: the east wall gives back
// the normal part cw u in the u equation and retards v and w in full.
TEST_F(WallLawVariants, SideWallFrictionLeavesTheNormalVelocity) {
  for (int law : {5, 8, 9, 19})
    for (int e : {1, 2, 3}) {
      SCOPED_TRACE(law * 10 + e);
      fresh();
      cell(0.01, 0.5, 0.01, {kEast}, 0.1);
      FlagWallAll = law;
      run(e);
      EXPECT_GT(Cap[1], 0.0);
      EXPECT_NEAR(Csource[1], e == 1 ? Cap[1] * 0.5 : 0.0, 1e-12 * Cap[1]);
    }
}

// A cell with walls in two pairs (south and bottom) fixes two epsilon values with equal
// penalties and so takes their mean; east and west walls of one pair count once.
TEST_F(WallLawVariants, TwoWallPairsGiveTheMeanEpsilon) {
  for (int law : {5, 8, 9, 19}) {
    SCOPED_TRACE(law);
    fresh();
    cell(0.5, 0.02, 0.01, {kSouth, kBottom});
    FlagWallAll = law;
    run(6);
    const double u3 = std::pow(kUStar, 3);
    const double bed = u3 / (0.4 * 0.01), side = u3 / (0.4 * 0.02);
    EXPECT_NEAR(Cap[1], 2e30, 1e16);
    EXPECT_NEAR(Csource[1] / Cap[1], (bed + side) / 2, 1e-9 * bed);
  }
}

// The k-omega model of F 24 16 takes its own wall value k^1.5 / (0.21908 y) at each pair, and
// in laws 5 and 19 with F 185 1 the free-surface value k^1.5 / (0.43 h) in top cells; the
// models 14 and 15 take none.
TEST_F(WallLawVariants, OmegaModelsAndTheFreeSurfaceValue) {
  const double k15 = kK * std::sqrt(kK);
  struct Row {
    int law, model;
    bool wallValue, surfaceValue;
  } rows[] = {{5, 16, true, true}, {19, 16, true, true}, {8, 16, true, false},
              {9, 16, true, false}, {5, 14, false, false}, {8, 15, false, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.law * 100 + r.model);
    fresh();
    bedCell(300, 1);
    FlagWallAll = r.law;
    TurbulenceModel = r.model;
    FlagSurfEps = 1;
    run(6);
    const double wall = k15 / (0.21908 * 0.01 + 1e-20);
    const double surface = k15 / (0.43 * 0.02 + 1e-20);
    double penalty = 0, source = 0;
    if (r.wallValue) penalty += 1e30, source += 1e30 * wall;
    if (r.surfaceValue) penalty += 1e30, source += 1e30 * surface;
    if (penalty == 0) {
      EXPECT_EQ(Cap[1], 0.0);
      EXPECT_EQ(Csource[1], 0.0);
    } else {
      EXPECT_NEAR(Cap[1], penalty, 1e16);
      EXPECT_NEAR(Csource[1] / Cap[1], source / penalty, 1e-9 * source / penalty);
    }
  }
}

// No law divides by a u+ of 0 or a k of 0: F 139 0 inside the roughness and F 138 0 with k 0
// leave finite coefficients in every law.
TEST_F(WallLawVariants, ZeroFloorsAndZeroKStayFinite) {
  for (int law : {5, 8, 9, 19})
    for (int e : {1, 5, 6}) {
      SCOPED_TRACE(law * 10 + e);
      fresh();
      cell(0.5, 0.5, 0.001, {kBottom, kTop, kEast});
      Croughness[1] = 1.0;
      XksWall = 1.0;
      MinUPlus = MinUPlusK = 0;
      ArtMinKinen = 0;
      Ckinen[1] = 0;
      FlagWallAll = law;
      run(e);
      EXPECT_TRUE(std::isfinite(Cap[1]));
      EXPECT_TRUE(std::isfinite(Csource[1]));
    }
}

// ---------------------------------------------------------------- per wall surface (F 305 1)

// u+ of the per-surface laws: the rough law (F 15 0), the smooth law with its sublayer (5) and
// the transitional roughness function (8), against the same references.
TEST_F(WallLawVariants, PerSurfaceUPlus) {
  struct Row {
    const char* name;
    int law;
    double yplus, r;  // r = y / ks
    double uplus, tol;
  } rows[] = {
      {"rough", 0, 300, 1.5, roughLaw(1.5), 0.01},
      {"rough, floor", 0, 300, 0.01, 1.0, 1e-12},
      {"smooth 1", 5, 1, 1, 1.0, 1e-12},
      {"smooth 11.6", 5, 11.6, 1, 11.6, 1e-12},
      {"smooth 30", 5, 30, 1, smoothLaw(30), 0.01},
      {"smooth 300", 5, 300, 1, smoothLaw(300), 0.01},
      // ks+ = y+ / r.
      {"ks+ 1 at y+ 1", 8, 1, 1, 1.0, 0.01},
      {"ks+ 1 at y+ 11.6", 8, 11.6, 11.6, 11.6, 0.07},
      {"ks+ 1 at y+ 300", 8, 300, 300, smoothLaw(300), 0.01},
      {"ks+ 20 at y+ 300", 8, 300, 15, 2.5 * std::log(15.0) + 9.4, 0.3},
      {"ks+ 200 at y+ 300", 8, 300, 1.5, roughLaw(1.5), 0.01},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    FlagWallAll = r.law;
    EXPECT_NEAR(wall_laws_uplus(r.yplus, r.r), r.uplus, r.tol);
  }
  // Deep in the sublayer of law 8 u+ stays y+, not the floor: ln(9 y+) < 0 below y+ = 1/9.
  FlagWallAll = 8;
  EXPECT_NEAR(wall_laws_uplus(0.05, 0.05), 0.05, 0.001);
  // A law the per-surface form does not have ends the run instead of dividing by nothing.
  FlagWallAll = 2;
  EXPECT_THROW(wall_laws_uplus(30, 1), RunEnd);
}

// The per-surface form: Cmu 0.09 and the cell's roughness at every wall; the friction of a face
// gives back the normal part of all three velocity components, one k term and one epsilon
// value 0.1643 k^1.5 / (0.4 y) per pair.
TEST_F(WallLawVariants, PerSurfaceTerms) {
  fresh();
  cell(0.01, 0.5, 0.01, {kEast});
  Croughness[1] = 0.01 / 1.5;
  FlagNewWall = 1;
  XksWall = -2;
  TurbulenceModel = 1;  // would change Cmu in the per-cell laws
  const double uplus = 2.5 * std::log(30 * 1.5);
  const double cw = 31.62 * kUS * 0.02 / uplus;
  run(1);
  EXPECT_NEAR(Cap[1], cw, 1e-9 * cw);
  EXPECT_NEAR(Csource[1], cw * 0.5, 1e-9 * cw);
  EXPECT_EQ(XksWall, -2.0);  // not stored by this form
  run(5);
  EXPECT_NEAR(Cap[1], kC75k * std::sqrt(kK) * uplus / 0.01 * Cvol[1], 1e-9 * Cap[1]);
  run(6);
  EXPECT_NEAR(Csource[1] / Cap[1], 0.1643 * kK * std::sqrt(kK) / (0.4 * 0.01), 1e-9);
}

}  // namespace
}  // namespace qorva::test
