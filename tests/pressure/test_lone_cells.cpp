// Limits after the corrections: the pressure of one-cell columns against their closest
// neighbour, the vertical velocity and flux against the horizontal speed, and the pressure of
// triangular corner columns from their two neighbouring columns.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "support/correction_grid.h"
#include "pressure/pressure.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using test::correctionGrid;

class LoneCells : public test::Scratch {
 protected:
  static void restart() {
    SetArraysZero();
    setDefaults();
  }
};

struct LimitCase {
  const char* what;
  double presGradMax;
  std::vector<double> before, after;  // Cpres of cells 1..4
};

TEST_F(LoneCells, PressureFollowsTheClosestNeighbour) {
  // Four one-cell columns 1 m long in a row (Cidist 0.5): L = PresGradMax x 9810 x 1 m.
  // With 0.01, L = 98.1 Pa. Cell 1 has one neighbour (0 Pa): 1000 falls to 98.1. Cell 2:
  // neighbours 98.1 and 500, the first closer: 0 lies within 98.1 +- 98.1. Cell 3: neighbours 0
  // and 2000: 500 falls to 98.1. Cell 4 sees the limited 98.1 of cell 3: 2000 falls to 196.2.
  const std::vector<LimitCase> cases = {
      {"F 136 0.01", 0.01, {1000, 0, 500, 2000}, {98.1, 0, 98.1, 196.2}},
      {"F 136 0 (off)", 0, {1000, 0, 500, 2000}, {1000, 0, 500, 2000}},
      {"F 136 1e-20 (off)", 1e-20, {1000, 0, 500, 2000}, {1000, 0, 500, 2000}},
      {"F 136 1e-19", 1e-19, {1000, 0, 500, 2000}, {9810e-19, 0, 9810e-19, 2 * 9810e-19}},
      // Cell 3 lies 1000 Pa from both neighbours: a tie, left alone. Cell 2 follows cell 1
      // (equal), cell 4 its one neighbour.
      {"tie", 0.01, {0, 0, 1000, 2000}, {0, 0, 1000, 1098.1}},
  };
  for (const LimitCase& k : cases) {
    SCOPED_TRACE(k.what);
    restart();
    correctionGrid({1, 1, 1, 1}, {1}, {1});
    PresGradMax = k.presGradMax;
    for (int c = 1; c <= 4; ++c) Cpres[c] = k.before[c - 1];
    CorrSimpleCorrections();
    for (int c = 1; c <= 4; ++c) EXPECT_NEAR(Cpres[c], k.after[c - 1], 1e-12) << "cell " << c;
  }
}

TEST_F(LoneCells, NorthSouthNeighboursUseTheHalfWidths) {
  // A column of three one-cell columns along j, 2 m wide (Cjdist 1): L = 0.01 x 9810 x 2.
  correctionGrid({1}, {2, 2, 2}, {1});
  PresGradMax = 0.01;
  Cpres[1] = 0;
  Cpres[2] = 50;
  Cpres[3] = 1000;
  CorrSimpleCorrections();
  EXPECT_DOUBLE_EQ(Cpres[1], 0);
  EXPECT_DOUBLE_EQ(Cpres[2], 50);
  EXPECT_DOUBLE_EQ(Cpres[3], 50 + 196.2);
}

TEST_F(LoneCells, OnlyOneCellColumnsWithAtMostTwoNeighbours) {
  // 3 x 3 one-cell columns: the corners (two neighbours) are limited, the edges (three) and
  // the centre (four) are not. Then a grid of two-cell columns: nothing is limited.
  correctionGrid({1, 1, 1}, {1, 1, 1}, {1});
  PresGradMax = 0.01;
  for (int c = 1; c <= 9; ++c) Cpres[c] = 1000.0 * c * c;
  const std::vector<double> before(Cpres.data() + 1, Cpres.data() + 10);
  CorrSimpleCorrections();
  for (int c : {2, 4, 5, 6, 8}) EXPECT_EQ(Cpres[c], before[c - 1]) << "cell " << c;
  // Corner 1 (1000): neighbours 2 (4000) and 4 (16000): follows 2 up to 4000 - 98.1.
  EXPECT_NEAR(Cpres[1], 4000 - 98.1, 1e-9);
  // Corner 9 (81000): neighbours 8 (64000) and 6 (36000): follows 8 down to 64000 + 98.1.
  EXPECT_NEAR(Cpres[9], 64000 + 98.1, 1e-9);

  restart();
  correctionGrid({1, 1}, {1}, {0.5, 0.5});
  PresGradMax = 0.01;
  for (int c = 1; c <= 4; ++c) Cpres[c] = 5000.0 * c;
  CorrSimpleCorrections();
  for (int c = 1; c <= 4; ++c) EXPECT_EQ(Cpres[c], 5000.0 * c);
}

struct VerticalCase {
  const char* what;
  int flag;
  std::vector<double> dz;
  double w1, w2, w3;        // Czvel of cells 1..3 after
  double flux12, flux23;    // fluxes of the two vertical surfaces after
};

TEST_F(LoneCells, VerticalVelocityLimitedByTheHorizontalSpeed) {
  // One column of three cells 1 m x 1 m; horizontal speeds 0, 2 (u 1.2, v 1.6) and 10
  // (u 6, v 8); w = 1 m/s everywhere and 1000 kg/s through every surface (1 m2 faces, so a
  // limit U bounds the flux at 1000 U).
  // F 203 1: surface 1|2 Uh = 1, U = 0.1; surface 2|3 Uh = 6, U = 0.6. Cell 2 is clamped by
  // both, the tighter first.
  // F 203 2: U = Ckdist/Cidist x Uh of the lower cell = (0.25/0.5) x Uh: 0.5 and 3.
  // F 203 3: r = (Ck1 + Ck2)/(Ci1 + Ci2 + Cj1 + Cj2) = 0.01/2 = 0.005 < 0.01 with cells 1 cm
  // high: U = 0.005 and 0.03; with cells 0.5 m high r = 0.25: untouched.
  const std::vector<VerticalCase> cases = {
      {"F 203 1", 1, {0.5, 0.5, 0.5}, 0.1, 0.1, 0.6, 100, 600},
      {"F 203 2", 2, {0.5, 0.5, 0.5}, 0.5, 0.5, 1, 500, 1000},
      {"F 203 3, flat cells", 3, {0.01, 0.01, 0.01}, 0.005, 0.005, 0.03, 5, 30},
      {"F 203 3, deep cells", 3, {0.5, 0.5, 0.5}, 1, 1, 1, 1000, 1000},
      {"F 203 4 (a face-flux form)", 4, {0.5, 0.5, 0.5}, 1, 1, 1, 1000, 1000},
      {"F 203 0", 0, {0.5, 0.5, 0.5}, 1, 1, 1, 1000, 1000},
  };
  for (const VerticalCase& k : cases) {
    SCOPED_TRACE(k.what);
    restart();
    correctionGrid({1}, {1}, k.dz);
    FlagVertVelStab = k.flag;
    Cxvel[2] = 1.2, Cyvel[2] = 1.6;
    Cxvel[3] = 6, Cyvel[3] = 8;
    for (int c = 1; c <= 3; ++c) Czvel[c] = 1;
    for (int f = 1; f <= NoSurfaces; ++f) Fflux[f] = 1000;
    CorrSimpleCorrections();
    EXPECT_NEAR(Czvel[1], k.w1, 1e-12);
    EXPECT_NEAR(Czvel[2], k.w2, 1e-12);
    EXPECT_NEAR(Czvel[3], k.w3, 1e-12);
    EXPECT_NEAR(Fflux[Cflatet[1]], k.flux12, 1e-9);
    EXPECT_NEAR(Fflux[Cflatet[2]], k.flux23, 1e-9);
    // The bed and the water surface have one cell each: untouched.
    EXPECT_EQ(Fflux[Cflateb[1]], 1000.0);
    EXPECT_EQ(Fflux[Cflatet[3]], 1000.0);
  }
}

TEST_F(LoneCells, VerticalLimitAtRestAndLateralFaces) {
  // Two columns of two cells at rest: F 203 1 sets w and the vertical fluxes to 0 and leaves
  // the lateral faces between the columns alone.
  correctionGrid({1, 1}, {1}, {0.5, 0.5});
  FlagVertVelStab = 1;
  for (int c = 1; c <= 4; ++c) Czvel[c] = -0.3;
  for (int f = 1; f <= NoSurfaces; ++f) Fflux[f] = -70;
  CorrSimpleCorrections();
  for (int c = 1; c <= 4; ++c) EXPECT_EQ(Czvel[c], 0.0);
  EXPECT_EQ(Fflux[Cflatet[1]], 0.0);
  EXPECT_EQ(Fflux[Cflatet[3]], 0.0);
  EXPECT_EQ(Fflux[Cflatee[1]], -70.0);
  EXPECT_EQ(Fflux[Cflatee[2]], -70.0);
}

struct CornerCase {
  const char* what;
  bool east, south, north, west;  // lateral neighbours kept for the centre bottom cell
  double expected;                // pressure of the centre column after, NaN = unchanged
};

TEST_F(LoneCells, TriangularCornerColumnTakesTheMeanOfItsTwoNeighbours) {
  // 3 x 3 columns of two cells; the centre column (cells 9, 10) is the only one inside block
  // 1's bounds. Column means: east (15, 16) 10, south (7, 8) 20, north (11, 12) 50, west
  // (3, 4) 1. Only the bottom cell's links decide.
  const double unchanged = std::nan("");
  const std::vector<CornerCase> cases = {
      {"east and south", true, true, false, false, 15},
      {"east and north", true, false, true, false, 30},
      {"north and west", false, false, true, true, 25.5},
      {"south and west", false, true, false, true, 10.5},
      {"all four", true, true, true, true, unchanged},
      {"east and west (opposite)", true, false, false, true, unchanged},
      {"east only", true, false, false, false, unchanged},
  };
  for (const CornerCase& k : cases) {
    SCOPED_TRACE(k.what);
    restart();
    correctionGrid({1, 1, 1}, {1, 1, 1}, {0.5, 0.5});
    const double p[19] = {0, 100, 100, 0, 2, 100, 100, 30, 10, 400, 404,
                          40, 60, 100, 100, 5, 15, 100, 100};
    for (int c = 1; c <= 18; ++c) Cpres[c] = p[c];
    if (!k.east) Ccelle[9] = 0;
    if (!k.south) Ccells[9] = 0;
    if (!k.north) Ccelln[9] = 0;
    if (!k.west) Ccellw[9] = 0;
    TrekantPresCorr();
    if (std::isnan(k.expected)) {
      EXPECT_EQ(Cpres[9], 400.0);
      EXPECT_EQ(Cpres[10], 404.0);
    } else {
      EXPECT_DOUBLE_EQ(Cpres[9], k.expected);
      EXPECT_DOUBLE_EQ(Cpres[10], k.expected);
    }
    // The columns on the block's edge are never treated, corner ones included.
    for (int c = 1; c <= 18; ++c)
      if (c != 9 && c != 10) {
        EXPECT_EQ(Cpres[c], p[c]) << "cell " << c;
      }
  }
}

TEST_F(LoneCells, CornerPressureAfterTheUpdateOfTheCorrections) {
  // F 437 makes the corrections set the corner column after every cell has its new pressure:
  // p' 100 everywhere, relaxPressure 0.2, so the neighbour means rise by 20 first.
  correctionGrid({1, 1, 1}, {1, 1, 1}, {0.5, 0.5});
  FlagCorrTrekant5 = 1;
  for (int c = 1; c <= 18; ++c) {
    Cf[c] = 100;
    CinvAp[c] = 1e-3;
    Cpres[c] = 0;
  }
  Cpres[15] = 5, Cpres[16] = 15;  // east, mean 10
  Cpres[7] = 30, Cpres[8] = 10;   // south, mean 20
  Ccelln[9] = 0;
  Ccellw[9] = 0;
  SimpleCorrections(1, WFStart, WFEnd, WCStart, WCEnd);
  EXPECT_DOUBLE_EQ(Cpres[9], 35);
  EXPECT_DOUBLE_EQ(Cpres[10], 35);
}

}  // namespace
}  // namespace qorva
