// Pressure-gradient sources on small boxes: a linear pressure gives -grad(p) times the volume
// in the component of the equation, in every form; a hydrostatic pressure on a steep
// bed-following grid is balanced by the forms that account for the slope and gives the
// weight of the water in the vertical equation; hand values of the edge differences, of the
// terrain-following corrections, of the thin-face rule and of the fast solver's sources.
#include <gtest/gtest.h>

#include <omp.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "support/box_grid.h"
#include "pressure/pressure.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using test::Box;
using test::makeBox;

constexpr double kRhoG = 9810.0;

class PressureSource : public test::Scratch {
 protected:
  // Clears Csource and runs the source of one equation over the whole box.
  static void run(int eq) {
    for (int c = 0; c <= NoCells; ++c) Csource[c] = 0;
    Equation = eq;
    pressure_source(WCStart, WCEnd);
  }
  static void setPressure(const std::function<double(double, double, double)>& p) {
    for (int c = 1; c <= NoCells; ++c) Cpres[c] = p(Cxcenter[c], Cycenter[c], Czcenter[c]);
  }
  // One bed cell per column, numbered as the cells' columns.
  static void setBedCells(const Box& b) {
    int bed = 0;
    for (int i = 0; i < b.nx; ++i)
      for (int j = 0; j < b.ny; ++j) {
        ++bed;
        Bcellt[bed] = b.cell(i, j, 0);
        for (int k = 0; k < b.nz; ++k) Cbed[b.cell(i, j, k)] = bed;
      }
    NoBCells = bed;
  }
  // Tilts a box into a bed-following grid whose bed rises by sx per metre in x and sy in y:
  // every column is shifted up by its bed level, so side faces stay vertical and keep their
  // areas, and the bottom and top faces get the area vector (-sx, -sy, 1) dx dy.
  static void shear(double sx, double sy) {
    for (int c = 1; c <= NoCells; ++c) Czcenter[c] += sx * Cxcenter[c] + sy * Cycenter[c];
    const double len = std::sqrt(1 + sx * sx + sy * sy);
    for (int f = 1; f <= NoSurfaces; ++f) {
      if (Faz[f] == 0) {
        Fvx[f] = Fax[f] > 0 ? 1 : 0;
        Fvy[f] = Fay[f] > 0 ? 1 : 0;
        continue;
      }
      const double plan = Faz[f];
      Fax[f] = -sx * plan;
      Fay[f] = -sy * plan;
      Farea[f] = plan * len;
      Fvx[f] = -sx / len;
      Fvy[f] = -sy / len;
      Fvz[f] = 1 / len;
    }
  }
};

struct FormCase {
  const char* what;
  std::function<void()> set;
  double tolerance;
  bool cornersLoseHorizontal;  // the thin-face rule gives corner cells no horizontal force
};

const std::vector<FormCase> kForms = {
    {"F 114 0", [] {}, 1e-9, false},
    {"F 114 1 piezometric", [] { FlagPresGrad = 1; }, 1e-9, false},
    {"F 114 2 piezometric, second order", [] { FlagPresGrad = 2; }, 1e-9, false},
    {"F 114 3 second order", [] { FlagPresGrad = 3; }, 1e-9, false},
    // The angle of forms 4 and 7 uses 1.570796326 for pi/2: a vertical gradient of 9810 Pa/m
    // leaks about 1e-5 Pa into the horizontal difference.
    {"F 114 4 level derivative", [] { FlagPresGrad = 4; }, 1e-4, false},
    {"F 114 5 horizontal only", [] { FlagPresGrad = 5; }, 1e-9, false},
    {"F 114 7 without a mud layer", [] { FlagPresGrad = 7; }, 1e-4, false},
    {"F 114 8 F 355 0", [] { FlagPresGrad = 8; }, 1e-9, false},
    {"F 114 8 F 355 3", [] { FlagPresGrad = 8; FlagPresSource = 3; }, 1e-9, false},
    {"F 114 11 thin faces", [] { FlagPresGrad = 11; }, 1e-9, true},
    {"F 114 19 thin faces", [] { FlagPresGrad = 19; }, 1e-9, true},
    {"F 114 20 thin faces, replaced neighbours", [] { FlagPresGrad = 20; }, 1e-9, true},
    {"F 114 23 thin faces, no replacement tables", [] { FlagPresGrad = 23; }, 1e-9, true},
};

TEST_F(PressureSource, LinearPressureGivesMinusGradientTimesVolume) {
  // 3 x 3 x 3 cells of 2 m x 1 m x 0.5 m (volume 1 m3) and p = 100 + 7x - 3y - 9810z: the
  // force on every cell is -(7, -3, -9810) N, central and one-sided differences alike.
  const double grad[4] = {0, 7, -3, -kRhoG};
  for (const FormCase& k : kForms) {
    SCOPED_TRACE(k.what);
    SetArraysZero();
    setDefaults();
    k.set();  // before the arrays: form 20 has tables of its own
    const Box b = makeBox({2, 2, 2}, {1, 1, 1}, {0.5, 0.5, 0.5});
    setPressure([&](double x, double y, double z) {
      return 100 + grad[1] * x + grad[2] * y + grad[3] * z;
    });
    for (int eq = 1; eq <= 3; ++eq) {
      SCOPED_TRACE("equation " + std::to_string(eq));
      run(eq);
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
          for (int kk = 0; kk < 3; ++kk) {
            const int c = b.cell(i, j, kk);
            const bool corner = (i != 1) && (j != 1);
            const double expected =
                eq != 3 && corner && k.cornersLoseHorizontal ? 0.0 : -grad[eq] * Cvol[c];
            EXPECT_NEAR(Csource[c], expected, k.tolerance) << "cell " << i << j << kk;
          }
    }
  }
}

TEST_F(PressureSource, EdgeDifferencesOfACurvedPressure) {
  // A 4 x 4 plane of 1 m cubes, p = x^2 + y^2 at centres 0.5, 1.5, 2.5, 3.5: Pa 0.25, 2.25,
  // 6.25, 12.25 along each axis. Each face area is 1 m2, so the u source is -dI and the v
  // source -dJ. Central: 3 and 5. At the walls one-sided 2.25 - 0.25 = 2 and 12.25 - 6.25 = 6,
  // second order (4 * 2.25 - 3 * 0.25 - 6.25)/2 = 1 and (3 * 12.25 - 4 * 6.25 + 2.25)/2 = 7,
  // the exact derivatives.
  struct Case {
    const char* what;
    int form;
    double dI[4], dJ[4];
  };
  const Case cases[] = {
      {"first order", 0, {2, 3, 5, 6}, {2, 3, 5, 6}},
      {"piezometric, second order in i only", 2, {1, 3, 5, 7}, {2, 3, 5, 6}},
      {"second order", 3, {1, 3, 5, 7}, {1, 3, 5, 7}},
      {"horizontal only", 5, {2, 3, 5, 6}, {2, 3, 5, 6}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    SetArraysZero();
    setDefaults();
    const Box b = makeBox({1, 1, 1, 1}, {1, 1, 1, 1}, {1});
    FlagPresGrad = k.form;
    setPressure([](double x, double y, double) { return x * x + y * y; });
    for (int eq = 1; eq <= 3; ++eq) {
      run(eq);
      for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
          const int c = b.cell(i, j, 0);
          // A cell alone in its column gets no vertical force.
          const double expected = eq == 1 ? -k.dI[i] : eq == 2 ? -k.dJ[j] : 0.0;
          EXPECT_DOUBLE_EQ(Csource[c], expected) << "equation " << eq << " cell " << i << j;
        }
    }
  }
}

TEST_F(PressureSource, AddsToTheSourceOfItsRangeOnly) {
  const Box b = makeBox({1, 1, 1}, {1}, {1});
  setPressure([](double x, double, double) { return 10 * x; });
  for (int c = 0; c <= NoCells; ++c) Csource[c] = 5;
  Equation = 1;
  pressure_source(2, 2);
  EXPECT_DOUBLE_EQ(Csource[b.cell(0, 0, 0)], 5.0);
  EXPECT_DOUBLE_EQ(Csource[b.cell(1, 0, 0)], 5.0 - 10.0);
  EXPECT_DOUBLE_EQ(Csource[b.cell(2, 0, 0)], 5.0);
  // Only the momentum equations have a pressure force.
  for (int eq : {0, 4, 5, 7}) {
    Equation = eq;
    pressure_source(1, 3);
    EXPECT_DOUBLE_EQ(Csource[b.cell(1, 0, 0)], -5.0);
  }
  // A negative form switches the force off.
  FlagPresGrad = -1;
  Equation = 1;
  pressure_source(1, 3);
  EXPECT_DOUBLE_EQ(Csource[b.cell(1, 0, 0)], -5.0);
}

TEST_F(PressureSource, HydrostaticPressureOnASteepGrid) {
  // 3 x 3 x 3 cells of 1 m x 1 m x 0.5 m whose bed rises 1 m per metre in x and 0.5 m in y,
  // p = 50000 - 9810 z. The weight of the water is balanced by the pressure on the tilted top
  // and bottom faces: the w source is rho g V = 4905 N in every cell, and no form that
  // accounts for the slope pushes the water sideways.
  struct Case {
    const char* what;
    std::function<void()> set;
    // u source of the middle cell and of the cell at the west wall (middle in j and k);
    // NAN where the form gives no simple value there.
    double uMiddle, uWest;
    double tolerance;
  };
  const double V = 0.5;
  const Case cases[] = {
      {"first order", [] {}, 0, 0, 1e-9},
      {"piezometric", [] { FlagPresGrad = 1; }, 0, 0, 1e-9},
      {"piezometric, second order", [] { FlagPresGrad = 2; }, 0, 0, 1e-9},
      {"second order", [] { FlagPresGrad = 3; }, 0, 0, 1e-9},
      {"level derivative", [] { FlagPresGrad = 4; }, 0, 0, 1e-4},
      // Without the vertical term only the difference along the sloping line is left:
      // -0.5 * (-9810 * 1 m) * 2 * 0.5 m2 = 9810 V.
      {"horizontal only", [] { FlagPresGrad = 5; }, kRhoG * V, kRhoG * V, 1e-9},
      // Terrain-following, C = 0.5: the central difference is balanced; at the wall
      // -9810 - (1 / 0.5) * (-4905) * 0.5 = -4905 is left: -0.5 * (-4905) * (2 * 0.5 m2).
      {"terrain-following", [] { FlagPresGrad = 8; }, 0, 0.5 * 4905 * 1.0, 1e-9},
      {"thin faces", [] { FlagPresGrad = 11; }, 0, 0, 1e-9},
      // Interpolated levels blended with the grid difference by the bed slope: beds 2 m apart
      // across 1 m cells leave the grid difference alone (weight 0) and no vertical term:
      // -0.5 * (-9810 * 2 m / 2) * (2 * 0.5 m2) = 9810 V. At the wall the one-sided grid
      // difference keeps its vertical term and balances.
      {"interpolated levels, bed-slope blend", [] { FlagPresGrad = 9; }, kRhoG * V, 0, 1e-9},
      // Blended by the slope of the top face, t = |Fvx|: the level difference is 0, the grid
      // difference t (-9810 * 2 m) / 2 meets the vertical term scaled by t.
      {"interpolated levels, surface-slope blend", [] { FlagPresGrad = 10; }, 0, 0, 1e-9},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    SetArraysZero();
    setDefaults();
    const Box b = makeBox({1, 1, 1}, {1, 1, 1}, {0.5, 0.5, 0.5});
    shear(1.0, 0.5);
    k.set();
    setPressure([](double, double, double z) { return 50000 - kRhoG * z; });
    run(1);
    EXPECT_NEAR(Csource[b.cell(1, 1, 1)], k.uMiddle, k.tolerance);
    EXPECT_NEAR(Csource[b.cell(0, 1, 1)], k.uWest, k.tolerance);
    run(3);
    for (int c = 1; c <= NoCells; ++c) EXPECT_NEAR(Csource[c], kRhoG * V, 1e-9) << c;
  }
}

TEST_F(PressureSource, TerrainFollowingBalanceHoldsForAnySlope) {
  // Middle cell of 3 x 3 x 3 cubes of 1 m; hydrostatic pressure; form 8 with F 355 0 and C =
  // 0.5: the corrected differences vanish in i and in j, and so do the u and v sources.
  for (double slope : {0.05, 1.0, 4.0, -3.0}) {
    SCOPED_TRACE(slope);
    SetArraysZero();
    setDefaults();
    const Box b = makeBox({1, 1, 1}, {1, 1, 1}, {1, 1, 1});
    shear(slope, -0.5 * slope);
    FlagPresGrad = 8;
    FlagOldPres = 0;  // keep the vertical term, which the tilted faces turn sideways
    setPressure([](double, double, double z) { return 1e5 - kRhoG * z; });
    const int c = b.cell(1, 1, 1);
    run(1);
    // Only the vertical term is left: -0.5 * (-9810) * (2 * -slope) = -9810 slope.
    EXPECT_NEAR(Csource[c], -kRhoG * slope, 1e-6);
    run(2);
    EXPECT_NEAR(Csource[c], kRhoG * 0.5 * slope, 1e-6);
    FlagOldPres = 1;
    run(1);
    EXPECT_NEAR(Csource[c], 0.0, 1e-6);
    run(2);
    EXPECT_NEAR(Csource[c], 0.0, 1e-6);
  }
}

TEST_F(PressureSource, TerrainFollowingCorrections) {
  // Middle cell of 3 x 3 x 3 cells of 1 m x 1 m x 0.5 m, bed rising 1 m per metre in x and
  // 0.5 in y, p = 50000 - 9810 z. Along i: dPi = (Pe - Pw)/2 = -9810, dzi = 2; vertical:
  // dPk = -4905 over dzk = 0.5, so R = 4; along j: dPj = -4905, dzj = 1. The east and west
  // faces are 0.5 m2 (S_i = 1), the tilted top and bottom have Fax = -1, Fay = -0.5, and the
  // top's unit normal is (-2/3, -1/3, 2/3).
  // u = -0.5 * (dPk' * S_k + dPi' * S_i), S_k = -2 for u.
  struct Case {
    const char* what;
    int option;
    double C;
    int oldPres;
    double dPiCorrected, dPkFactor;
  };
  const double dPi = -kRhoG, dPk = -4905, R = 4;
  const Case cases[] = {
      {"0", 0, 0.5, 1, dPi - R * dPk * 0.5, 0},
      {"0 with C 0.25", 0, 0.25, 1, dPi - R * dPk * 0.25, 0},
      {"1: power of R", 1, 0.5, 1, dPi - 2 * dPk / 2, 0},
      {"2", 2, 0.5, 1, dPi - 0.25 * 2 * dPk, 0},
      {"3: R/2 limited", 3, 0.5, 1, dPi - 0.5 * dPk, 0},
      {"6: R/2 limited", 6, 3.0, 1, dPi - 2 * dPk, 0},
      // A negative C bounds the ratio by its size, as the positive one does.
      {"3: R/2 limited by a negative C", 3, -0.5, 1, dPi - 0.5 * dPk, 0},
      {"6: R/2 within a negative C", 6, -3.0, 1, dPi - 2 * dPk, 0},
      {"7", 7, 0.5, 0, dPi - 2 * dPk, 0.5},
      {"8: min(R, C)", 8, 0.5, 1, dPi - 0.5 * dPk, 0},
      {"8: min(R, C), C large", 8, 9.0, 1, dPi - 4 * dPk, 0},
      {"9: uncapped", 9, 0.1, 1, dPi - 2 * dPk, 0},
      {"9: capped", 9, -0.1, 1, 4 * kRhoG * 0.5 * -0.1, 0},
      {"10", 10, 0.5, 1, dPi - 2 * dPk, 0},
      {"11", 11, 0.5, 1, dPi - 2 * dPk * 1.0, 0},
      {"12: no correction", 12, 0.5, 1, dPi, 0},
      {"4: top normal damping", 4, 0.5, 0, dPi - 2 * dPk, 2 * (-0.5 + 2.0 / 3)},
      {"4: damping below 0", 4, 0.9, 0, dPi - 2 * dPk, 0},
      {"0, F 487 2", 0, 0.5, 2, 0, 1 - 2.0 / 3 - 0.1},
      {"0, F 487 0", 0, 0.5, 0, 0, 1},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    SetArraysZero();
    setDefaults();
    const Box b = makeBox({1, 1, 1}, {1, 1, 1}, {0.5, 0.5, 0.5});
    shear(1.0, 0.5);
    FlagPresGrad = 8;
    FlagPresSource = k.option;
    CoeffPresSource = k.C;
    FlagOldPres = k.oldPres;
    setPressure([](double, double, double z) { return 50000 - kRhoG * z; });
    run(1);
    const double expected = -0.5 * (dPk * k.dPkFactor * -2 + k.dPiCorrected * 1.0);
    EXPECT_NEAR(Csource[b.cell(1, 1, 1)], expected, 1e-6);
    EXPECT_TRUE(std::filesystem::exists("boogie") == false);
  }

  // F 355 5: the vertical term scaled by |2 F_bottom / (F_west + F_east)| - C, limited to
  // [0, 1] (left alone above 1); the corrected dPi is 0 here.
  struct FluxCase {
    double bottom, factor;
  };
  for (const FluxCase& k : {FluxCase{0.3, 0.0}, FluxCase{1.0, 0.5}, FluxCase{1.6, 1.0}}) {
    SCOPED_TRACE(k.bottom);
    SetArraysZero();
    setDefaults();
    const Box b = makeBox({1, 1, 1}, {1, 1, 1}, {0.5, 0.5, 0.5});
    shear(1.0, 0.5);
    FlagPresGrad = 8;
    FlagPresSource = 5;
    FlagOldPres = 0;
    setPressure([](double, double, double z) { return 50000 - kRhoG * z; });
    const int c = b.cell(1, 1, 1);
    Fflux[Cflateb[c]] = k.bottom;
    Fflux[Cflatew[c]] = 1;
    Fflux[Cflatee[c]] = 1;
    run(1);
    EXPECT_NEAR(Csource[c], -0.5 * (dPk * k.factor * -2), 1e-6);
  }

  // F 355 14: the correction weighted by 4 times the column's Froude number, up to 1.
  for (double froude : {0.1, 0.5}) {
    SCOPED_TRACE(froude);
    SetArraysZero();
    setDefaults();
    const Box b = makeBox({1, 1, 1}, {1, 1, 1}, {0.5, 0.5, 0.5});
    setBedCells(b);
    shear(1.0, 0.5);
    FlagPresGrad = 8;
    FlagPresSource = 14;
    setPressure([](double, double, double z) { return 50000 - kRhoG * z; });
    const int c = b.cell(1, 1, 1);
    BFroude[Cbed[c]] = froude;
    run(1);
    const double F = std::min(1.0, 4 * froude);
    EXPECT_NEAR(Csource[c], -0.5 * (dPi - R * dPk * 0.5 * F), 1e-6);
  }
}

TEST_F(PressureSource, TerrainFollowingLateralForms) {
  // As above; v = -0.5 * (dPj' * S_j) with S_j = 2 * 0.5 m2 and the vertical term dropped.
  // F 496 0: -4905 - (1 / 0.5) * (-4905) * 0.5 = 0; F 496 1: -4905 + 2^0.5 * 4905 / 2.
  const double dPj = -4905, dPk = -4905;
  struct Case {
    int lateral;
    double dPjCorrected;
  };
  for (const Case& k : {Case{0, 0.0}, Case{1, dPj - std::sqrt(2.0) * dPk / 2}}) {
    SCOPED_TRACE(k.lateral);
    SetArraysZero();
    setDefaults();
    const Box b = makeBox({1, 1, 1}, {1, 1, 1}, {0.5, 0.5, 0.5});
    shear(1.0, 0.5);
    FlagPresGrad = 8;
    FlagPresLatSource = k.lateral;
    setPressure([](double, double, double z) { return 50000 - kRhoG * z; });
    run(2);
    EXPECT_NEAR(Csource[b.cell(1, 1, 1)], -0.5 * k.dPjCorrected * 1.0, 1e-6);
  }
  // A grid line that falls in j: the ratio is negative, and its power keeps the sign instead
  // of turning the source into NaN.
  {
    SetArraysZero();
    setDefaults();
    const Box b = makeBox({1, 1, 1}, {1, 1, 1}, {0.5, 0.5, 0.5});
    shear(1.0, -0.5);
    FlagPresGrad = 8;
    FlagPresLatSource = 1;
    FlagPresSource = 1;
    setPressure([](double, double, double z) { return 50000 - kRhoG * z; });
    run(2);
    // dPj = +4905, dzj/dzk = -2: 4905 - (-(2^0.5)) * (-4905) / 2.
    const double corrected = 4905 - std::sqrt(2.0) * 4905 / 2;
    EXPECT_NEAR(Csource[b.cell(1, 1, 1)], -0.5 * corrected, 1e-6);
    run(1);
    // dPi = -9810, R = 4: -9810 - 2 * (-4905) / 2.
    EXPECT_NEAR(Csource[b.cell(1, 1, 1)], -0.5 * (-kRhoG + 4905), 1e-6);
    for (int c = 1; c <= NoCells; ++c) EXPECT_TRUE(std::isfinite(Csource[c])) << c;
  }
  // Other lateral forms are not available: one line per cell with a j neighbour, the
  // computation goes on with the uncorrected difference.
  {
    SetArraysZero();
    setDefaults();
    const Box b = makeBox({1, 1}, {1, 1}, {0.5});
    shear(1.0, 0.5);
    FlagPresGrad = 8;
    FlagPresLatSource = 2;
    setPressure([](double, double, double z) { return 50000 - kRhoG * z; });
    run(2);
    std::string expected;
    for (int c = 0; c < 4; ++c) expected += "Error for gradients in j-direction: not coded yet\n\n";
    EXPECT_EQ(log(), expected);
    // South-west cell: dPj = Pn - Pc = -4905 uncorrected; S_j = 2 * 0.5.
    EXPECT_NEAR(Csource[b.cell(0, 0, 0)], -0.5 * (-4905 * 1.0), 1e-6);
  }
}

TEST_F(PressureSource, UnwritableLogEndsTheRunWithStatusMinus3) {
  // The line of a lateral form that is not coded cannot be written: the run ends with -3 and
  // says why, in the serial call and in chunks alike, instead of aborting the program.
  for (int chunks : {0, 2}) {
    SCOPED_TRACE(chunks);
    SetArraysZero();
    setDefaults();
    mc_message.clear();
    std::filesystem::remove_all("boogie");
    makeBox({1, 1}, {1, 1}, {0.5});
    shear(1.0, 0.5);
    FlagPresGrad = 8;
    FlagPresLatSource = 2;
    setPressure([](double, double, double z) { return 50000 - kRhoG * z; });
    std::filesystem::create_directory("boogie");  // a folder cannot be opened for appending
    Equation = 2;
    int status = 0;
    if (chunks == 0) {
      try {
        pressure_source(WCStart, WCEnd);
      } catch (const RunEnd& e) {
        status = e.status;
      }
    } else {
      int failed = 0;
#pragma omp parallel for num_threads(chunks) reduction(+ : failed)
      for (int t = 0; t < chunks; ++t) {
        try {
          pressure_source(1 + 2 * t, 2 + 2 * t);
        } catch (const RunEnd& e) {
          failed += e.status == -3;
        }
      }
      status = failed == chunks ? -3 : failed;
    }
    EXPECT_EQ(status, -3);
    EXPECT_EQ(mc_message, "cannot open file 'boogie' ");
  }
  std::filesystem::remove_all("boogie");
}

TEST_F(PressureSource, MudInterfaceBlendsTheVerticalDifference) {
  // A column of three 1 m cubes with Pa 30, 20, 4 from the bottom. The w source of the middle
  // cell is -dPk * 1 m2: plain (4 - 30)/2 = -13; in mud flowing over still mud (ratio 1.5 over
  // 0.8, f = 0.7) 0.7 * (4 - 20) + 0.3 * (-13) = -15.1.
  struct Case {
    int form;
    double ratioMiddle, ratioBelow, dPk;
  };
  const Case cases[] = {
      {4, 1.5, 0.8, -13},
      {7, 1.5, 0.8, 0.7 * (4 - 20) + 0.3 * -13},
      {7, 2.5, 0.2, 4 - 20.0},  // f limited to 1
      {7, 0.9, 0.8, -13},       // the cell does not move
      {7, 1.5, 1.2, -13},       // nor is it over still mud
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.form);
    SetArraysZero();
    setDefaults();
    FlagThixo = 1;  // the mud arrays
    const Box b = makeBox({1}, {1}, {1, 1, 1});
    FlagPresGrad = k.form;
    Cpres[1] = 30;
    Cpres[2] = 20;
    Cpres[3] = 4;
    Cthixorat[1] = k.ratioBelow;
    Cthixorat[2] = k.ratioMiddle;
    Cthixorat[3] = 3;
    run(3);
    EXPECT_NEAR(Csource[b.cell(0, 0, 1)], -k.dPk, 1e-12);
  }
}

TEST_F(PressureSource, ThinFacesAndCorners) {
  // 3 x 3 plane of 1 m cubes, p = x^2 (Pa 0.25, 2.25, 6.25 along i): u = -dI. A side face is
  // thin when 0.5 * area / (half width) < min(0.2 * 0.5, 0.1 * 0.001) = 1e-4 m.
  struct Case {
    const char* what;
    bool westThin, eastThin;
    double dI;
  };
  const Case cases[] = {
      {"no thin face", false, false, 3},
      {"west face thin: east side only", true, false, 6.25 - 2.25},
      {"east face thin: west side only", false, true, 2.25 - 0.25},
      {"both thin: the west face wins", true, true, 6.25 - 2.25},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    SetArraysZero();
    setDefaults();
    const Box b = makeBox({1, 1, 1}, {1, 1, 1}, {1});
    FlagPresGrad = 12;
    setPressure([](double x, double, double) { return x * x; });
    const int c = b.cell(1, 1, 0);
    if (k.westThin) Farea[Cflatew[c]] = 0.9e-4;  // h = 0.5 * 0.9e-4 / 0.5 = 0.9e-4 m
    if (k.eastThin) Farea[Cflatee[c]] = 1e-6;
    run(1);
    EXPECT_DOUBLE_EQ(Csource[c], -k.dI);
  }
  {
    // A face just at the threshold is not thin.
    SetArraysZero();
    setDefaults();
    const Box b = makeBox({1, 1, 1}, {1, 1, 1}, {1});
    FlagPresGrad = 12;
    setPressure([](double x, double, double) { return x * x; });
    const int c = b.cell(1, 1, 0);
    Farea[Cflatew[c]] = 1e-4;
    run(1);
    EXPECT_DOUBLE_EQ(Csource[c], -3.0);
  }
  {
    // Corners have no horizontal force; wall cells between corners use the one-sided value.
    SetArraysZero();
    setDefaults();
    const Box b = makeBox({1, 1, 1}, {1, 1, 1}, {1});
    FlagPresGrad = 11;
    setPressure([](double x, double y, double) { return x * x + 10 * y; });
    run(1);
    for (int i : {0, 2})
      for (int j : {0, 2}) EXPECT_EQ(Csource[b.cell(i, j, 0)], 0.0) << i << j;
    EXPECT_DOUBLE_EQ(Csource[b.cell(0, 1, 0)], -2.0);
    EXPECT_DOUBLE_EQ(Csource[b.cell(2, 1, 0)], -4.0);
    run(2);
    EXPECT_EQ(Csource[b.cell(2, 2, 0)], 0.0);
    EXPECT_DOUBLE_EQ(Csource[b.cell(1, 0, 0)], -10.0);
  }
  {
    // From 20 on a missing side takes the replacement neighbour: the south-west corner with a
    // west replacement of Pa 6.25 is no corner any more: dI = (2.25 - 6.25)/2.
    SetArraysZero();
    setDefaults();
    FlagPresGrad = 20;
    const Box b = makeBox({1, 1, 1}, {1, 1, 1}, {1});
    setPressure([](double x, double, double) { return x * x; });
    const int c = b.cell(0, 0, 0);
    CcellAw[c] = b.cell(2, 2, 0);
    run(1);
    EXPECT_DOUBLE_EQ(Csource[c], 2.0);
  }
}

// Form 6 on the steep grid of the hydrostatic test: the pressures of the neighbouring columns
// taken at the level of each cell's centre (extrapolated beyond their end cells) are equal, so
// no cell is pushed sideways, at the walls neither; the w equation carries the weight, but not
// in the bed cells, which form 6 gives no pressure source.
TEST_F(PressureSource, InterpolatedLevelsBalanceAHydrostaticPressure) {
  const Box b = makeBox({1, 1, 1}, {1, 1, 1}, {0.5, 0.5, 0.5});
  setBedCells(b);
  shear(1.0, 0.5);
  FlagPresGrad = 6;
  setPressure([](double, double, double z) { return 50000 - kRhoG * z; });
  // The top cells are left out: a top cell of this sheared box stands above the top face of its
  // lower neighbour column, where that column's pressure counts as 0 (its water surface).
  for (int eq : {1, 2}) {
    run(eq);
    for (int c = 1; c <= NoCells; ++c)
      if (Ccellt[c] != 0) {
        EXPECT_NEAR(Csource[c], 0.0, 1e-9) << eq << " " << c;
      }
  }
  run(3);
  for (int c = 1; c <= NoCells; ++c)
    EXPECT_NEAR(Csource[c], Ccellb[c] == 0 ? 0.0 : kRhoG * 0.5, 1e-9) << c;
  // A plain difference between the columns would push: the east neighbour of the middle cell
  // stands 1 m higher, 9810 Pa lower.
  const int c = b.cell(1, 1, 1);
  EXPECT_NEAR(Cpres[Ccelle[c]] - Cpres[c], -kRhoG, 1e-9);
}

TEST_F(PressureSource, FormSixGivesBedCellsNoPressureSource) {
  // Two one-cell columns: each cell is the bed cell of its column.
  makeBox({1, 1}, {1}, {1});
  for (int c = 1; c <= 2; ++c) {
    Cbed[c] = c;
    Bcellt[c] = c;
    Csource[c] = 7;
  }
  FlagPresGrad = 6;
  Equation = 2;
  pressure_source(WCStart, WCEnd);
  EXPECT_EQ(Csource[1], 7);
  EXPECT_EQ(Csource[2], 7);
}

TEST_F(PressureSource, ChunksGiveTheSerialResult) {
  makeBox({1, 2, 1, 3}, {1, 1, 2}, {0.5, 1, 0.25});
  setPressure([](double x, double y, double z) { return x * x * y - 9810 * z + 3 * x * z; });
  for (int form : {0, 3, 8, 11}) {
    FlagPresGrad = form;
    for (int eq = 1; eq <= 3; ++eq) {
      run(eq);
      const std::vector<double> serial(Csource.data(), Csource.data() + NoCells + 1);
      for (int c = 0; c <= NoCells; ++c) Csource[c] = 0;
      const int n = NoCells, chunks = 3, per = n / chunks;
#pragma omp parallel for num_threads(chunks)
      for (int t = 0; t < chunks; ++t)
        pressure_source(1 + t * per, t == chunks - 1 ? n : (t + 1) * per);
      for (int c = 1; c <= n; ++c)
        EXPECT_EQ(Csource[c], serial[c]) << form << " " << eq << " " << c;
    }
  }
}

TEST_F(PressureSource, FastSolverSourcesOfAllThreeComponents) {
  // 4 x 4 x 2 cubes of 1 m, p = x^2 + 2 y^2 - 9810 z: at the edges dI is 2 (first order) or 1
  // (second order, F 69 Seiche5) and 6 or 7 at the other end; in j twice that.
  struct Case {
    int seiche5;
    double dI[4];
  };
  for (const Case& k : {Case{0, {2, 3, 5, 6}}, Case{1, {1, 3, 5, 7}}}) {
    SCOPED_TRACE(k.seiche5);
    SetArraysZero();
    setDefaults();
    const Box b = makeBox({1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1});
    ASSERT_TRUE(Csourcem.allocate(5, MaxCeller));
    Seiche5 = k.seiche5;
    setPressure([](double x, double y, double z) { return x * x + 2 * y * y - kRhoG * z; });
    for (int c = 0; c <= NoCells; ++c) Csourcem[0][c] = Csourcem[1][c] = Csourcem[2][c] = 1;
    presSourceFast();
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j)
        for (int kk = 0; kk < 2; ++kk) {
          const int c = b.cell(i, j, kk);
          EXPECT_DOUBLE_EQ(Csourcem[0][c], 1 - k.dI[i]);
          EXPECT_DOUBLE_EQ(Csourcem[1][c], 1 - 2 * k.dI[j]);
          EXPECT_DOUBLE_EQ(Csourcem[2][c], 1 + kRhoG);
        }
    EXPECT_EQ(Csourcem[3][b.cell(1, 1, 1)], 0.0);
  }
  {
    // Without the fast solver's tables the run ends with a message.
    SetArraysZero();
    setDefaults();
    std::filesystem::remove("boogie");
    makeBox({1}, {1}, {1});
    ASSERT_FALSE(Csourcem);
    try {
      presSourceFast();
      ADD_FAILURE() << "the run goes on";
    } catch (const RunEnd& e) {
      EXPECT_EQ(e.status, 1);
    }
    EXPECT_EQ(log(),
              "Error: the fast flow solver (F 170) has no tables for its pressure sources\n");
  }
}

}  // namespace
}  // namespace qorva
