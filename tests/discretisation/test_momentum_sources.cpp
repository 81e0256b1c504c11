// Momentum sources and scheme variants on hand-made box grids against hand values: the
// second-order upwind coefficients of the velocities, the limited corrections of K 6 10..19,
// the weights of F 181, the surface-slope and down-slope gravity, the dune and roughness-layer
// drag, the field derivatives and the normal stresses, and the vertical fluxes rebuilt from the
// continuity defects.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "discretisation/discretisation.h"
#include "grid/grid.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "support/box_grid.h"
#include "support/scratch.h"

namespace qorva::test {
namespace {

class MomentumSources : public Scratch {
 protected:
  static void clear() {
    for (int c = 0; c <= NoCells; ++c) Cap[c] = Csource[c] = 0;
  }
  // Bed cells numbered by column, block 1's cell range the whole box.
  static void bedCells(const Box& b) {
    NoBCells = b.nx * b.ny;
    for (int i = 0; i < b.nx; ++i)
      for (int j = 0; j < b.ny; ++j) {
        const int bc = i * b.ny + j + 1;
        Bcellt[bc] = b.cell(i, j, 0);
        for (int k = 0; k < b.nz; ++k) Cbed[b.cell(i, j, k)] = bc;
      }
    block[1].cellstart = 1;
    block[1].cellend = b.cells();
  }
};

// Upward flux F through a column: an interior cell takes 1.5 F + 0.5 F (its own outflow's
// share) from below, -0.5 F on its second neighbour below and only diffusion from above.
TEST_F(MomentumSources, SecondOrderVelocityCoefficientsOfAnUpwardFlow) {
  sou[1] = 1;
  makeBox({1.0}, {1.0}, {1.0, 1.0, 1.0, 1.0});
  const double F = 2.0;
  for (int c = 1; c <= 4; ++c) Fflux[Cflatet[c]] = F;
  Fflux[Cflateb[1]] = F;
  Equation = 1;
  coeff_make_sou2(WFStart, WFEnd);
  const double D = 0.001 * 1.0 / 1.0;  // MinGamma x area / distance: no eddy viscosity
  EXPECT_NEAR(Cab[3], D + 2 * F, 1e-12);
  EXPECT_NEAR(Cabb[3], -0.5 * F, 1e-12);
  EXPECT_NEAR(Cat[3], D, 1e-12);
  // The bed face carries nothing; the cell above the bottom cell has no second upwind cell
  // below cell 1: first-order upwind F, and 0.5 F for its own outflow.
  EXPECT_EQ(Cab[1], 0.0);
  EXPECT_EQ(Cabb[1], 0.0);
  EXPECT_NEAR(Cab[2], D + F + 0.5 * F, 1e-12);
  EXPECT_EQ(Cabb[2], 0.0);
  EXPECT_NEAR(Cat[1], D, 1e-12);
  // With F 362 3 the second neighbour folds into the first.
  FlagSetPow = 3;
  coeff_make_sou2(WFStart, WFEnd);
  EXPECT_NEAR(Cab[3], D + 1.5 * F, 1e-12);
  EXPECT_EQ(Cabb[3], 0.0);
}

TEST_F(MomentumSources, SecondOrderRefusesASurfaceOnTheWrongSide) {
  sou[1] = 1;
  makeBox({1.0, 1.0}, {1.0}, {1.0});
  const int f = Cflatee[1];
  Ftype1[f] = 4;  // Fcell1 must see the surface on its east, north or top side
  Equation = 1;
  EXPECT_EQ(endStatus([] { coeff_make_sou2(WFStart, WFEnd); }), -77);
  EXPECT_NE(log().find("surface " + std::to_string(f) + " lies on side 4 of cell 1"),
            std::string::npos)
      << log();
}

// Three cells in a row along x with u = 1, 2, phi_D; flow F > 0 through the surface between
// cells 2 and 3 only: r = (phi_D - 2) / (2 - 1), Q = F psi(r) / 2 leaves cell 2 for cell 3.
TEST_F(MomentumSources, LimitedCorrectionsByLimiter) {
  makeBox({1.0, 1.0, 1.0}, {1.0}, {1.0});
  struct Row {
    int scheme;
    double phiD, psi;
  } rows[] = {
      {10, 3.0, 1.0},  {11, 3.0, 0.9999835}, {12, 12.0, 4.0}, {12, 1.0, 0.0},
      {13, 3.0, 1.0},  {13, -1.0, 0.0},    {14, 3.0, 1.0},  {14, 1.0, 0.0},  // 0/0 counts as 0
      {15, 2.25, 0.5}, {15, 2.75, 1.0},    {15, 3.5, 1.5},  {15, 9.0, 2.0},
      {16, 2.5, 0.5},  {17, -5.0, 1.0},    {18, 3.0, 0.0},  {19, 2.5, 0.75},
      {25, 3.0, 0.0},  // no limiter named: no correction
  };
  const int f = Cflatee[2];
  for (const Row& r : rows) {
    SCOPED_TRACE(r.scheme * 100 + r.phiD);
    Equation = 1;
    sou[1] = r.scheme;
    Cxvel[1] = 1, Cxvel[2] = 2, Cxvel[3] = r.phiD;
    for (int g = 1; g <= NoSurfaces; ++g) Fflux[g] = 0;
    Fflux[f] = 4.0;
    clear();
    coeff_make_source(WFStart, WFEnd);
    EXPECT_NEAR(Csource[2], -0.5 * 4.0 * r.psi, 1e-9);
    EXPECT_NEAR(Csource[3], 0.5 * 4.0 * r.psi, 1e-9);
    EXPECT_EQ(Csource[1], 0.0);
  }
  // Negative flow through the same surface: cell 3 is upwind, cell beyond it missing.
  sou[1] = 17;
  Fflux[f] = -4.0;
  clear();
  coeff_make_source(WFStart, WFEnd);
  EXPECT_EQ(Csource[2], 0.0);
  // Through the surface between cells 1 and 2 backwards: U = 2, UU = 3, D = 1.
  Fflux[f] = 0;
  Fflux[Cflatee[1]] = -4.0;
  Cxvel[1] = 0, Cxvel[2] = 1, Cxvel[3] = 3;
  clear();
  coeff_make_source(WFStart, WFEnd);
  const double Q = 0.5 * -4.0 * 1.0 * (1 - 3);  // psi 1: face value 1 + (1 - 3)/2
  EXPECT_NEAR(Csource[1], -Q, 1e-12);
  EXPECT_NEAR(Csource[2], Q, 1e-12);
}

// A column of 1, 2, 1 m3 from the bed up and a one-cell column beside it.
TEST_F(MomentumSources, WeightOfTheCellsByForm) {
  makeBox({1.0}, {1.0}, {1.0, 2.0, 1.0});
  struct Row {
    int form;
    double bottom, middle, top;
  } rows[] = {
      {1, -4905.0 * 3, -9810.0 * 2, -4905.0 * 3},
      {2, -9810.0, -9810.0 * 2, -9810.0},
      {3, -4905.0 * 3, -2452.5 * 6, -4905.0 * 3},
      {4, 0, 0, 0},  // the down-slope form adds nothing to w
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.form);
    FlagGravity = r.form;
    Equation = 3;
    clear();
    GravityFunction(3, 1, 3);
    EXPECT_DOUBLE_EQ(Csource[1], r.bottom);
    EXPECT_DOUBLE_EQ(Csource[2], r.middle);
    EXPECT_DOUBLE_EQ(Csource[3], r.top);
    for (int e : {1, 2}) {
      Equation = e;
      clear();
      GravityFunction(e, 1, 3);
      for (int c = 1; c <= 3; ++c)
        EXPECT_DOUBLE_EQ(Csource[c], r.form == 4 && e == 1 ? 9810 * 0.015 * Cvol[c] : 0.0);
    }
  }
  // A lone cell keeps its own weight in forms 1 and 3; the mud model outside its computation
  // adds nothing at all.
  SetArraysZero();
  makeBox({1.0}, {1.0}, {2.0});
  for (int form : {1, 3}) {
    FlagGravity = form;
    clear();
    GravityFunction(3, 1, 1);
    EXPECT_DOUBLE_EQ(Csource[1], -9810.0 * 2);
  }
  FlagThixo = 1;
  clear();
  GravityFunction(3, 1, 1);
  EXPECT_EQ(Csource[1], 0.0);
}

// The water surface falling towards +x with unit normal (0.01, 0, ~1): every cell of the column
// gets 9810 x 0.01 x its volume along x.
TEST_F(MomentumSources, GravityAlongTheWaterSurface) {
  makeBox({1.0, 1.0}, {1.0}, {0.5, 1.5});
  FlagGravityTerm = 1;
  for (int c = 1; c <= NoCells; ++c) Fvx[Cflatet[c]] = Fvy[Cflatet[c]] = 0;
  Fvx[Cflatet[2]] = 0.01;  // the top of the first column
  Equation = 1;
  clear();
  GravityFunction(1, 1, NoCells);
  EXPECT_NEAR(Csource[1], 98.1 * 0.5, 1e-9);
  EXPECT_NEAR(Csource[2], 98.1 * 1.5, 1e-9);
  EXPECT_EQ(Csource[3], 0.0);  // a level surface
  EXPECT_EQ(Csource[4], 0.0);
  Equation = 2;
  clear();
  GravityFunction(2, 1, NoCells);
  EXPECT_EQ(Csource[1], 0.0);
}

// Dunes of height 0.2 m under 1 m of water moving at 1 m/s at the top: k = (1.1 H (1 -
// exp(-25 H / 7.3 h)))^0.333, drag k (U / n) 9810 / 676 / n on every cell of the column.
TEST_F(MomentumSources, DuneDragOfAColumn) {
  const Box b = makeBox({1.0, 1.0}, {1.0}, {0.5, 0.5});
  bedCells(b);
  Bedformheight[1] = 0.2;
  Bedformheight[2] = 0;  // no dunes, no drag
  Cxvel[1] = 0.4, Cxvel[2] = 0.6, Cyvel[2] = 0.8;
  clear();
  computeDragDune();
  const double k = std::pow(1.1 * 0.2 * (1 - std::exp(-25 * 0.2 / 7.3)), 0.333);
  const double d = k * (1.0 / 2) * 9810.0 / 676.0 / 2;
  EXPECT_NEAR(Cap[1], d, 1e-12);
  EXPECT_NEAR(Cap[2], d, 1e-12);
  EXPECT_EQ(Cap[3], 0.0);
  EXPECT_EQ(Cap[4], 0.0);
}

// Four cells of 0.1 m over a roughness of 0.25 m: centres 0.05, 0.15, 0.25 (inside) and 0.35
// (outside, its speed is U_ks). Each inside cell takes P Vol 1000 max(0, |U| - z/ks U_ks), a
// chunk of the column only its own cells.
TEST_F(MomentumSources, RoughnessLayerDrag) {
  makeBox({1.0}, {1.0}, {0.1, 0.1, 0.1, 0.1});
  for (int c = 1; c <= 4; ++c) Croughness[c] = 0.25;
  ParamBrenix = 2.0;
  const double u[] = {0, 0.5, 0.8, 1.1, 1.0};
  for (int c = 1; c <= 4; ++c) Cxvel[c] = u[c];
  const double expected[] = {0, 60.0, 40.0, 20.0, 0};  // 200 (0.3, 0.2, 0.1), the top none
  for (auto [first, last] : std::vector<std::pair<int, int>>{{1, 4}, {1, 2}, {3, 4}}) {
    SCOPED_TRACE(first * 10 + last);
    clear();
    computeBrenix(first, last);
    for (int c = 1; c <= 4; ++c)
      EXPECT_NEAR(Cap[c], c >= first && c <= last ? expected[c] : 0.0, 1e-9) << c;
  }
  // A bottom cell thicker than twice the roughness: nothing.
  for (int c = 1; c <= 4; ++c) Croughness[c] = 0.04;
  clear();
  computeBrenix(1, 4);
  for (int c = 1; c <= 4; ++c) EXPECT_EQ(Cap[c], 0.0);
  // All cells inside: no reference speed, the top cell gets no drag.
  for (int c = 1; c <= 4; ++c) Croughness[c] = 1.0;
  clear();
  computeBrenix(1, 4);
  EXPECT_NEAR(Cap[2], 2 * 0.1 * 1000 * 0.8, 1e-9);
  EXPECT_EQ(Cap[4], 0.0);
}

// A field linear in x, y and z has the exact derivatives in every cell, at the edges (one-sided)
// and across columns whose cells stand at other heights (interpolated to the cell's level).
TEST_F(MomentumSources, DerivativesOfALinearField) {
  // The horizontal derivatives are exact on even spacing (a one-sided difference is taken over
  // one cell width), the vertical ones on any.
  const Box b = makeBox({1.0, 1.0, 1.0}, {1.5, 1.5}, {0.5, 1.0, 0.5});
  bedCells(b);
  // Lift the middle line of columns by 0.3 m: its cells stand higher than their neighbours.
  for (int j = 0; j < b.ny; ++j)
    for (int k = 0; k < b.nz; ++k) Czcenter[b.cell(1, j, k)] += 0.3;
  Table1<double>& f = Cfn;
  for (int c = 1; c <= NoCells; ++c) f[c] = 2 * Cxcenter[c] - 3 * Cycenter[c] + 5 * Czcenter[c];
  for (int i = 0; i < b.nx; ++i)
    for (int j = 0; j < b.ny; ++j) {
      const int c = b.cell(i, j, 1);
      SCOPED_TRACE(c);
      if (i == 1) continue;  // the lifted cells read their neighbours above their own level
      EXPECT_NEAR(d_dx_orth_x(f, 1, c), 2.0, 1e-9);
      EXPECT_NEAR(d_dx_orth_x(f, 2, c), -3.0, 1e-9);
      EXPECT_NEAR(d_dx_orth_x(f, 3, c), 5.0, 1e-9);
      EXPECT_EQ(d_dx_orth_x(f, 4, c), 0.0);
    }
  // One-sided at the bed and at the surface.
  EXPECT_NEAR(d_dx_orth_x(f, 3, b.cell(0, 0, 0)), 5.0, 1e-9);
  EXPECT_NEAR(d_dx_orth_x(f, 3, b.cell(0, 0, 2)), 5.0, 1e-9);
  // The level of a neighbour column: a linear field comes back exactly.
  EXPECT_NEAR(interpolatevalue(f, b.cell(0, 0, 1), b.cell(1, 0, 1)),
              2 * Cxcenter[b.cell(1, 0, 1)] - 3 * Cycenter[b.cell(1, 0, 1)] + 5 * Czcenter[b.cell(0, 0, 1)], 1e-9);
}

// u = x in a row of three cells: du/dx = 1, the mean rate 1/3; form 1 takes -(1 - 1/3) x 0.5
// Cgamma x (Fax of east + west: two 1 m2 faces), form 2 +1 x 0.5 Cgamma x 2.
TEST_F(MomentumSources, NormalStressOfAStretchingFlow) {
  const Box b = makeBox({1.0, 1.0, 1.0}, {1.0}, {1.0});
  bedCells(b);
  for (int c = 1; c <= 3; ++c) {
    Cxvel[c] = Cxcenter[c];
    Cgamma[c] = 10.0;
  }
  Equation = 1;
  for (auto [form, expected] : std::vector<std::pair<int, double>>{
           {1, -(1 - 0.333333) * 0.5 * 10 * 2}, {2, 0.5 * 10 * 2}, {3, 0.0}}) {
    SCOPED_TRACE(form);
    FlagNormStress = form;
    clear();
    computeNormStress(1, 3);
    EXPECT_NEAR(Csource[2], expected, 1e-12);
  }
}

// A column of three cells (1 m2 faces) with defects S1, S2, S3 from the bed up.
TEST_F(MomentumSources, VerticalFluxesFromTheDefects) {
  makeBox({1.0, 1.0}, {1.0}, {1.0, 1.0, 1.0});
  const double S[] = {0, 3.0, -1.0, 2.0};
  auto reset = [&] {
    for (int c = 1; c <= NoCells; ++c) {
      Csource[c] = c <= 3 ? S[c] : 0.0;
      Czvel[c] = 0.1;
    }
    for (int f = 1; f <= NoSurfaces; ++f) Fflux[f] = 10.0;
  };
  const int bed = Cflateb[1], f12 = Cflatet[1], f23 = Cflatet[2], top = Cflatet[3];
  // Method 5: the top face of cell k carries S1 + .. + Sk; bed and surface keep theirs.
  Seiche4 = 5;
  reset();
  SeicheFunctions();
  EXPECT_EQ(Fflux[f12], 3.0);
  EXPECT_EQ(Fflux[f23], 2.0);
  EXPECT_EQ(Fflux[bed], 10.0);
  EXPECT_EQ(Fflux[top], 10.0);
  EXPECT_NEAR(Czvel[2], 0.0005 * (3.0 + 2.0), 1e-15);
  // Method 3: the bottom face of cell k from the top carries -(S_top + .. + S_k).
  Seiche4 = 3;
  reset();
  SeicheFunctions();
  EXPECT_EQ(Fflux[f23], -2.0);
  EXPECT_EQ(Fflux[f12], -1.0);
  EXPECT_EQ(Fflux[bed], -4.0);
  EXPECT_EQ(Fflux[top], 10.0);
  EXPECT_NEAR(Czvel[3], 0.0005 * (-2.0 + 10.0), 1e-15);
  // Method 1 blends 0.8 old with 0.2 new, fluxes and velocities.
  Seiche4 = 1;
  reset();
  SeicheFunctions();
  EXPECT_NEAR(Fflux[f23], 8.0 - 0.4, 1e-12);
  EXPECT_NEAR(Czvel[3], 0.0001 * (7.6 + 10.0) + 0.08, 1e-15);
  // Method 4: P = 5, N = 1, m = 3; the positive defects times 3/5, the negative times 3.
  Seiche4 = 4;
  reset();
  SeicheFunctions();
  EXPECT_NEAR(Csource[1], 1.8, 1e-9);
  EXPECT_NEAR(Csource[2], -3.0, 1e-9);
  EXPECT_NEAR(Csource[3], 1.2, 1e-9);
  EXPECT_NEAR(Fflux[f23], 0.8 * 10 + 0.2 * -1.2, 1e-9);
  // Method 2: each cell's velocity from its own defect, the faces between the mean.
  Seiche4 = 2;
  reset();
  SeicheFunctions();
  EXPECT_NEAR(Czvel[1], -0.003, 1e-15);
  EXPECT_NEAR(Fflux[f12], (-0.003 + 0.001) * 500, 1e-12);
  EXPECT_EQ(Fflux[bed], 10.0);
  // A column of one cell is left alone by every method.
  SetArraysZero();
  makeBox({1.0}, {1.0}, {1.0});
  for (int m = 1; m <= 5; ++m) {
    Seiche4 = m;
    Csource[1] = 5;
    Czvel[1] = 0.1;
    Fflux[Cflateb[1]] = 1;
    SeicheFunctions();
    EXPECT_EQ(Czvel[1], 0.1);
    EXPECT_EQ(Fflux[Cflateb[1]], 1.0);
  }
}

}  // namespace
}  // namespace qorva::test

namespace qorva::test {
namespace {

// Two columns of four 0.5 m cells on 2 m2 (centres 0.25, 0.75, 1.25, 1.75 m) under the
// profiles of `vegdata` (F 115).
class Vegetation : public MomentumSources {
 protected:
  void grid(int drag, const std::string& vegdata) {
    SetArraysZero();
    FlagDragDLL = drag;
    const Box b = makeBox({2.0, 2.0}, {1.0}, {0.5, 0.5, 0.5, 0.5});
    bedCells(b);
    write("vegdata", vegdata);
  }
  static void velocity(double u) {
    for (int c = 1; c <= NoCells; ++c) Cxvel[c] = Cyvel[c] = Czvel[c] = u;
  }
};

// The profile rule: the lowest value below the profile, linear between levels, 0 above it.
// Implicit drag Cap += dz 1000 |u| P, explicit Csource += dz 1000 u |u| P (dz the half height
// 0.25 m, none in w); A records multiply by the bottom area of the cell (2 m2).
TEST_F(Vegetation, DragOfTheProfileAtTheCellCentres) {
  const double P[] = {0, 2.0, 2.0, 1.5, 0.5, 4.0, 4.0, 4.0, 0.0};
  for (int drag : {1, 2})
    for (char letter : {'V', 'A'}) {
      SCOPED_TRACE(std::string(1, letter) + std::to_string(drag));
      setDefaults();
      grid(drag, std::string(1, letter) + " 2 2 0.5 1.0 1.5 2.0  2 2 1 0\n" + letter +
                     " 3 2 0 0.5 1.0 1.5  4 4 4 4\n");
      velocity(-0.8);
      const double area = letter == 'A' ? 2.0 : 1.0;
      for (int e : {1, 2, 3}) {
        Equation = e;
        clear();
        extra_source();
        for (int c = 1; c <= 8; ++c) {
          EXPECT_NEAR(Cporosity[c], P[c], 1e-9) << c;
          const double drag1 = 0.25 * 1000 * 0.8 * P[c] * area;
          EXPECT_NEAR(Cap[c], drag == 1 ? drag1 : 0.0, 1e-9) << c;
          EXPECT_NEAR(Csource[c], drag == 2 && e != 3 ? -0.8 * drag1 : 0.0, 1e-9) << c;
        }
      }
    }
}

// Two time rows: between their times the porosity mixes the two profiles by time; after the
// last time the last row holds, before the first the first.
TEST_F(Vegetation, ProfilesInTime) {
  VegVars = 1, VegLevels = 2, VegTimes = 2;
  grid(1, "U 1 2 2\nT 0\nV 2 2 0 2 1 1\nV 3 2 0 2 1 1\nT 100\nV 2 2 0 2 3 3\nV 3 2 0 2 3 3\n");
  Equation = 1;
  for (auto [t, p] : std::vector<std::pair<double, double>>{
           {-5, 1.0}, {0, 1.0}, {25, 1.5}, {100, 3.0}, {500, 3.0}}) {
    stimet = t;
    extra_source();
    EXPECT_NEAR(Cporosity[2], p, 1e-9) << t;
  }
}

// The distributed momentum of F 513 under F 115 101: every column carries 1000 x F 513 in
// proportion to the porous volume of its cells, also when its top cell lies above the
// vegetation (porosity 0 there), where a division by the last cell's porous volume would give
// infinities.
TEST_F(Vegetation, DistributedMomentumPerColumn) {
  grid(101, "V 2 2 0.5 1.0 1.5 2.0  2 2 1 0\nV 3 2 0 0.5 1.0 1.5  4 4 4 4\n");
  momentumAddInflow = 0.3;
  Equation = 1;
  clear();
  extra_source();
  double column1 = 0, column2 = 0;
  for (int c = 1; c <= 4; ++c) column1 += Csource[c];
  for (int c = 5; c <= 8; ++c) column2 += Csource[c];
  EXPECT_NEAR(column1, 300.0, 1e-9);
  EXPECT_NEAR(column2, 300.0, 1e-9);
  EXPECT_NEAR(Csource[1] / Csource[4], 2.0 / 0.5, 1e-9);
  EXPECT_EQ(Csource[8], 0.0);
  Equation = 2;
  clear();
  extra_source();
  EXPECT_EQ(Csource[1], 0.0);
}

// N records block the cells inside the structure (1000 inside, F 514 scaling levels and
// values): Cap += Vol 1000 P; the open cells right above and below take the wall laws of k and
// epsilon, epsilon fixed by a penalty.
TEST_F(Vegetation, BlockedCells) {
  porosMultiplier = 2.0;
  grid(1, "N 2 2 0 0.25 0.5 10 500 500 0 0\n");  // levels 0 0.5 1 20 after scaling
  velocity(0.5);
  Equation = 1;
  clear();
  extra_source();
  EXPECT_NEAR(Cporosity[1], 1000.0, 1e-9);      // z 0.25
  EXPECT_NEAR(Cporosity[2], 500.0, 1e-9);       // z 0.75: halfway from 1000 to 0
  EXPECT_NEAR(Cporosity[3], 0.0 + 0.0, 1e-9);   // z 1.25, the profile 0 from 1 m up
  EXPECT_NEAR(Cap[1], 1.0 * 1000 * 1000, 1e-6);
  EXPECT_EQ(Cap[3], 0.0);
  for (int c = 1; c <= NoCells; ++c) Ckinen[c] = 0.01;
  XksWall = 0.01;
  Equation = 6;
  clear();
  extra_source();
  EXPECT_EQ(Cap[3], 1e30);  // above the blocked cell 2
  EXPECT_NEAR(Csource[3], std::pow(0.01, 1.5) * 1.643e29 / (0.4 * 0.25), 1e12);
  EXPECT_EQ(Cap[4], 0.0);
  Equation = 5;
  clear();
  extra_source();
  const double uplus = 2.5 * std::log(30 * 0.25 / 0.01);
  EXPECT_NEAR(Cap[3], std::sqrt(0.01) * 164.31676725154983 * uplus / 0.25 * 1.0, 1e-9);
  EXPECT_NEAR(Csource[3], std::sqrt(3.0) * 31.62 / uplus * 0.75 / 0.25, 1e-9);
}

TEST_F(Vegetation, RefusesWhatItCannotRead) {
  struct Row {
    const char* name;
    const char* vegdata;  // nullptr: no file
    int vars, levels, times;
    int status;
    const char* message;
  } rows[] = {
      {"no file", nullptr, 1, 4, 1, -4, "Could not read 'vegdata' file"},
      {"sizes differ", "U 1 4 2\n", 1, 4, 1, -5, "U data set does not correspond"},
      {"no sizes", "V 2 2 0 1 2 3 1 1 1 1\n", 1, 2, 1, -6, "U data set is missing"},
      {"levels not rising", "V 2 2 0 1 1 3 1 1 1 1\n", 1, 4, 1, -8,
       "Levels must be given in rising order"},
      {"values short", "V 2 2 0 1 2 3 1 1\n", 1, 4, 1, -8,
       "Have not read sufficient number of vegparam values"},
      {"column off the grid", "V 9 2 0 1 2 3 1 1 1 1\n", 1, 4, 1, -4, "names no column"},
      {"C column off the grid", "C 2 -1 0 1 2 3 1 1 1 1\n", 1, 4, 1, -4, "names no column"},
      {"C value missing", "C 2 2 0 1 2 3 1 1\n", 1, 4, 1, -7,
       "Error in Vegdata file, line i=2, j=2, timestep=0, var=1, level=2"},
      {"too many times", "U 1 4 1\nT 0\nT 1\n", 1, 4, 1, -4, "number of time steps is larger"},
      {"too few times", "U 1 4 2\nT 0\n", 1, 4, 2, -8, "1 time steps given, while the"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    setDefaults();
    std::remove("boogie");
    std::remove("vegdata");
    VegVars = r.vars, VegLevels = r.levels, VegTimes = r.times;
    grid(1, r.vegdata ? r.vegdata : "");
    if (!r.vegdata) std::remove("vegdata");
    Equation = 1;
    EXPECT_EQ(endStatus([] { extra_source(); }), r.status);
    EXPECT_NE(log().find(r.message), std::string::npos) << log();
  }
}

}  // namespace
}  // namespace qorva::test
