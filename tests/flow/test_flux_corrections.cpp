// The discharge and flux corrections of block 1's cross-sections (F 360, F 413), of wedge cells
// (F 235) and of corner columns (F 436) on hand-set fluxes of box grids, against hand values.
#include <gtest/gtest.h>

#include <cmath>

#include "flow/flow.h"
#include "state/arrays.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "support/box_grid.h"
#include "support/scratch.h"

namespace qorva::test {
namespace {

class FluxCorrections : public Scratch {
 protected:
  // Three cross-sections (grid lines i = 2, 3, 4) of two columns of one cell each, group 1
  // bringing 100 kg/s.
  Box sections() {
    SetArraysZero();
    fresh();
    Box b = makeBox({1.0, 1.0, 1.0}, {1.0, 1.0}, {1.0});
    DischargeStruct[1].massDischarge = 100;
    return b;
  }
  // Sets the east fluxes of the two cells of section i (0-based x index).
  static void eastFluxes(const Box& b, int i, double f0, double f1) {
    Fflux[Cflatee[b.cell(i, 0, 0)]] = f0;
    Fflux[Cflatee[b.cell(i, 1, 0)]] = f1;
  }
  static double eastFlux(const Box& b, int i, int j) { return Fflux[Cflatee[b.cell(i, j, 0)]]; }
};

// F 360 1: a section whose discharge Q lies outside [Q1 / V, Q1 V] is scaled by V or 1 / V;
// within the band it is left alone, and a section without flux stays without.
TEST_F(FluxCorrections, SectionDischargeIsLimitedToTheBand) {
  struct Row {
    double f0, f1;
    double factor;
  } rows[] = {{40, 40, 1.1}, {60, 60, 1 / 1.1}, {50, 45, 1.0}, {0, 0, 1.0}, {-10, 0, 1 / 1.1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.f0 + r.f1);
    const Box b = sections();
    FlagFluxCorr = 1;
    eastFluxes(b, 0, r.f0, r.f1);
    eastFluxes(b, 1, 50, 50);
    fluxCorrFunction(block[1].i1, block[1].i2);
    EXPECT_NEAR(eastFlux(b, 0, 0), r.f0 * r.factor, 1e-12);
    EXPECT_NEAR(eastFlux(b, 0, 1), r.f1 * r.factor, 1e-12);
    EXPECT_EQ(eastFlux(b, 1, 0), 50.0);
  }
}

// F 360 3: east and west fluxes of a section brought together; a section without east or west
// flux has no ratio to scale by and is left as it is.
TEST_F(FluxCorrections, EastAndWestFluxesOfASection) {
  struct Row {
    double east, west;  // per cell of the middle section
    double eastAfter, westAfter;
  } rows[] = {{10, 20, 20, 20},    // W / E = 2 > 1.1: east scaled by 2 (then E / W = 0.5)
              {20, 10, 20, 20},    // E / W = 2: west scaled by 2
              {10, 10.5, 10, 10.5},  // within 1.1
              {0, 20, 0, 20},      // no east flux: no ratio W / E
              {20, 0, 20, 0}};     // no west flux: no ratio E / W
  for (const Row& r : rows) {
    SCOPED_TRACE(r.east * 100 + r.west);
    const Box b = sections();
    FlagFluxCorr = 3;
    // The middle section's west surfaces are the east surfaces of the first.
    eastFluxes(b, 0, r.west, r.west);
    eastFluxes(b, 1, r.east, r.east);
    fluxCorrFunction(block[1].i1, block[1].i2 + 1);
    EXPECT_NEAR(eastFlux(b, 1, 0), r.eastAfter, 1e-12);
    EXPECT_NEAR(eastFlux(b, 0, 1), r.westAfter, 1e-12);
  }
}

// F 360 2 and 5: a cell whose vertical flux exceeds V times its horizontal flux has its top and
// bottom fluxes cut (2, to 1 % at the least) or its east and west fluxes raised by R - V + 1
// (5); a cell without horizontal flux is left alone by 5.
TEST_F(FluxCorrections, VerticalAgainstHorizontalFluxOfACell) {
  struct Row {
    int mode;
    double east, west, top;
    double eastAfter, topAfter;
  } rows[] = {
      {2, 1, 1, 6, 1, 6 * 1.1 / 3},  // R = 3: top cut by V / R
      {2, 1, 1, 2, 1, 2},            // R = 1: nothing
      {2, 0, 0, 6, 0, 6 * 0.01},     // no horizontal flux: to 1 %
      {5, 1, 1, 6, 1 * 2.9, 6},      // R = 3: east and west times 2.9
      {5, 0, 0, 6, 0, 6},            // no horizontal flux: no ratio
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.mode * 100 + r.east + r.top);
    SetArraysZero();
    fresh();
    const Box b = makeBox({1.0, 1.0, 1.0}, {1.0}, {1.0, 1.0});
    FlagFluxCorr = r.mode;
    const int c = b.cell(1, 0, 0);  // middle section, bottom cell
    Fflux[Cflatee[c]] = r.east;
    Fflux[Cflatew[c]] = r.west;
    Fflux[Cflatet[c]] = r.top;
    // The cell above carries horizontal flux, so that its own ratio leaves the shared face.
    Fflux[Cflatee[c + 1]] = Fflux[Cflatew[c + 1]] = 1;
    fluxCorrFunction(block[1].i1, block[1].i2);
    EXPECT_NEAR(Fflux[Cflatee[c]], r.eastAfter, 1e-12);
    EXPECT_NEAR(Fflux[Cflatet[c]], r.topAfter, 1e-12);
  }
}

// F 360 4: from the 12th cell of a column upward, at least V m/s eastward.
TEST_F(FluxCorrections, LeastEastwardVelocityHighUpInTheColumn) {
  SetArraysZero();
  fresh();
  const Box b = makeBox({1.0, 1.0}, {1.0}, std::vector<double>(13, 0.1));
  FlagFluxCorr = 4;
  FluxCorrVal = 0.2;
  fluxCorrFunction(block[1].i1, block[1].i2);
  for (int k = 0; k < 13; ++k) {
    const int c = b.cell(0, 0, k);
    const double v = k >= 11 ? 0.2 : 0.0;
    EXPECT_NEAR(Cxvel[c], v, 1e-12) << k;
    EXPECT_NEAR(Fflux[Cflatee[c]], v * 1000 * 0.1, 1e-12) << k;
  }
}

// F 413: the u equation raises a section's discharge towards Q1 (at most threefold, never
// down); after the pressure step the velocities are scaled by Q1 / Q, not in a section without
// discharge.
TEST_F(FluxCorrections, ContinuityCorrection) {
  struct Row {
    int equation;
    double q;  // per cell of the first section
    double sourceFactor, velocityFactor;
  } rows[] = {{1, 25, 1.0, 1.0},   // R = 2
              {1, 10, 2.0, 1.0},   // R = 5, limited to 3
              {1, 80, 0.0, 1.0},   // R = 0.625, raised to 1
              {4, 25, 0.0, 2.0},   // R = 2
              {4, 0, 0.0, 1.0}};   // no discharge: nothing to scale
  for (const Row& r : rows) {
    SCOPED_TRACE(r.equation * 1000 + r.q);
    const Box b = sections();
    surfaceDampSec = 2;  // the first section only
    eastFluxes(b, 0, r.q, r.q);
    const int c = b.cell(0, 0, 0);
    Cap[c] = 10;
    Csource[c] = 0;
    Cxvel[c] = 0.5;
    Equation = r.equation;
    correctContinuity2();
    EXPECT_NEAR(Csource[c], 10 * r.sourceFactor, 1e-9);
    EXPECT_NEAR(Cxvel[c], 0.5 * r.velocityFactor, 1e-9);
    EXPECT_EQ(Cxvel[b.cell(1, 0, 0)], 0.0);
  }
}

// F 235 8..23: a wedge cell relaxes the fluxes of its two open sides towards their common
// value by F 244 (0.8): code 1 with F_n = 2, F_e = 4 gives m = -1, F_n = 0.2 x 2 - 0.8 = -0.4,
// F_e = 0.2 x 4 + 0.8 = 1.6. Codes of the second pass only above F 235 8.
TEST_F(FluxCorrections, WedgeCellFluxRelaxation) {
  struct Row {
    int flag, code;
    double n, e;
  } rows[] = {{8, 1, -0.4, 1.6}, {8, 2, 0.2 * 2 + 0.8 * 3, 4}, {8, 5, 2, 4}, {9, 5, 0, 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.flag * 100 + r.code);
    SetArraysZero();
    fresh();
    const Box b = makeBox({1.0, 1.0}, {1.0, 1.0}, {1.0});
    const int c = b.cell(0, 0, 0), E = b.cell(1, 0, 0);
    FlagCorrTrekant = r.flag;
    Ctrekant[c] = r.code;
    Fflux[Cflaten[c]] = 2;
    Fflux[Cflatee[c]] = 4;
    Fflux[Cflatew[c]] = 4;
    Fflux[Cflaten[E]] = 1;
    TrekantFluxCorr(1, NoCells);
    if (r.flag == 9 && r.code == 5) {
      // m = 0.3333 (2 - 4 - 1): F_n towards +m, F_e and F_n(E) towards -m.
      const double m = 0.3333 * (2 - 4 - 1);
      EXPECT_NEAR(Fflux[Cflaten[c]], 0.2 * 2 + 0.8 * m, 1e-12);
      EXPECT_NEAR(Fflux[Cflatee[c]], 0.2 * 4 - 0.8 * m, 1e-12);
      EXPECT_NEAR(Fflux[Cflaten[E]], 0.2 * 1 - 0.8 * m, 1e-12);
      continue;
    }
    EXPECT_NEAR(Fflux[Cflaten[c]], r.n, 1e-12);
    EXPECT_NEAR(Fflux[Cflatee[c]], r.e, 1e-12);
  }
}

// F 436: an interior column of block 1 without east and south neighbours is a corner open to
// the west and north: 90 % of the mean of the two column fluxes passes through, the rest keeps
// a tenth, each cell by its share of the side's area.
TEST_F(FluxCorrections, CornerColumnBalance) {
  SetArraysZero();
  fresh();
  const Box b = makeBox({1.0, 1.0, 1.0}, {1.0, 1.0, 1.0}, {1.0, 3.0});
  const int c0 = b.cell(1, 1, 0), c1 = b.cell(1, 1, 1);
  for (int c : {c0, c1}) Ccelle[c] = Ccells[c] = 0;
  Fflux[Cflatew[c0]] = 2;  // west areas 1 and 3
  Fflux[Cflatew[c1]] = 6;
  Fflux[Cflaten[c0]] = 1;  // north areas 1 and 3
  Fflux[Cflaten[c1]] = 3;
  TrekantFluxCorr4(1, NoCells);
  const double m = 0.9 * (4 + 8) / 2;
  EXPECT_NEAR(Fflux[Cflatew[c0]], 0.2 + m * 1 / 4, 1e-12);
  EXPECT_NEAR(Fflux[Cflatew[c1]], 0.6 + m * 3 / 4, 1e-12);
  EXPECT_NEAR(Fflux[Cflaten[c0]], 0.1 + m * 1 / 4, 1e-12);
  EXPECT_NEAR(Fflux[Cflaten[c1]], 0.3 + m * 3 / 4, 1e-12);
}

}  // namespace
}  // namespace qorva::test
