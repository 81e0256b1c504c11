// Additions to the eddy viscosity for bed forms (F 281), bed smoothing (F 144) and the
// viscosity of mud-layer blocks (F 236), on hand-made columns.
#include <gtest/gtest.h>

#include <cmath>

#include "discretisation/box_grid.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "support/scratch.h"
#include "turbulence/turbulence.h"

namespace qorva::test {
namespace {

class EddyViscosityAdditions : public Scratch {
 protected:
  // One column of two cells, 2 m x 2 m in plan (bed face 4 m2), 0.6 m and 0.4 m high
  // (Ckdist 0.3 and 0.2), horizontal speeds 0.5 and 1.0 (mean 0.75); its bed cell 1 has a
  // depth of 1 m, Froude number 0.5 and bed forms 0.1 m high. Cgamma 10, CgammaV 20.
  static void column() {
    SetArraysZero();
    makeBox({2.0}, {2.0}, {0.6, 0.4});
    Cxvel[1] = 0.3;
    Cyvel[1] = 0.4;
    Cxvel[2] = 0.6;
    Cyvel[2] = 0.8;
    Cbed[1] = Cbed[2] = 1;
    Bcellt[1] = 1;
    Bdepth[1] = 1.0;
    BFroude[1] = 0.5;
    Bedformheight[1] = 0.1;
    for (int c = 1; c <= 2; ++c) {
      Cgamma[c] = 10;
      CgammaV[c] = 20;
    }
  }

  // Two columns of three 1 m cells (cells 1-3 and 4-6, bed cells 1 and 2) forming mud-layer
  // block 1. Column 1 has its mud level 0.5 m above the groundwater, column 2 0.5 m below.
  static void mudBlock() {
    SetArraysZero();
    makeBox({1.0, 1.0}, {1.0}, {1.0, 1.0, 1.0});
    Bcellt[1] = 1;
    Bcellt[2] = 4;
    for (int c = 1; c <= 6; ++c) Cbed[c] = c <= 3 ? 1 : 2;
    Cxvel[2] = 0.2;
    Cxvel[5] = -0.4;
    block[1].cellstart = 1;
    block[1].cellend = 6;
    block[1].bcellstart = 1;
    block[1].bcellend = 2;
    block[1].thixo = 1;
    ASSERT_TRUE(Bthixolev.allocate(8));
    ASSERT_TRUE(Bgroundwater.allocate(8));
    Bthixolev[1] = 1.5;
    Bgroundwater[1] = 1.0;
    Bthixolev[2] = 0.5;
    Bgroundwater[2] = 1.0;
    FlagThixo = 1;
    ThixoCritshear = 100;
    ThixoMySlope = 0.8;
    ThixoSlideModifier = 1.0;
    kSF[0] = 0.4;
    TimeStep = 10;
    ThixoMinGamma = 1000;
    for (int c = 1; c <= 6; ++c) Cgamma[c] = CgammaV[c] = 3;
  }
  static void expectColumn(int bottom, double mu) {
    for (int k = 0; k < 3; ++k) {
      const double expected = k < 2 ? mu : 10 * mu;
      EXPECT_NEAR(Cgamma[bottom + k], expected, 1e-9 * expected) << bottom + k;
      EXPECT_NEAR(CgammaV[bottom + k], expected, 1e-9 * expected) << bottom + k;
    }
  }
};

// F 281 (factor F = 2): 1 and 2 add F delta 1000 Fr sqrt(9.81 h) / (28.8 h Ckdist(bottom)) =
// 100 sqrt(9.81) / 8.64; 3 adds F 1000 delta Fr sqrt(9.81 h) = 100 sqrt(9.81); 4 adds
// mean U F 1000 delta = 150; 5 and 6 add mean U F 1000 h / 2 = 750, 6 times 0.7692 for
// epsilon. Every cell of the column gets the amount of its bottom cell.
TEST_F(EddyViscosityAdditions, BedFormsRaiseTheWholeColumn) {
  const double a12 = 100 * std::sqrt(9.81) / 8.64;  // 36.2510...
  const double a3 = 100 * std::sqrt(9.81);          // 313.209...
  struct Row {
    int mode, equation, thixoComputing;
    double addHorizontal, addVertical;
  } rows[] = {
      {1, 1, 0, 0, a12},      {1, 5, 0, 0, 0},        {2, 6, 0, a12, a12},
      {3, 5, 0, a3, a3},      {3, 1, 1, 0, 0},        {4, 3, 0, 0, 150},
      {4, 6, 0, 0, 0},        {5, 1, 0, 0, 750},      {5, 5, 0, 0, 0},
      {5, 1, 1, 0, 0},        {6, 6, 0, 0, 576.9},    {6, 5, 0, 0, 750},
      {7, 1, 0, 0, 0},
  };
  EXPECT_NEAR(a12, 36.2510642670505, 1e-10);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.mode * 100 + r.equation * 10 + r.thixoComputing);
    fresh();
    column();
    FlagDuneEddy = r.mode;
    DuneEddyFactor = 2;
    Equation = r.equation;
    FlagThixoIsComputing = r.thixoComputing;
    GammaCalcAdditions(1, 2);
    for (int c = 1; c <= 2; ++c) {
      EXPECT_NEAR(Cgamma[c], 10 + r.addHorizontal, 1e-10) << c;
      EXPECT_NEAR(CgammaV[c], 20 + r.addVertical, 1e-10) << c;
    }
  }
}

// F 144 with P = 0.01: 2 and 4 add P / sqrt(A_bed) |u_h| = 0.0025 at the bottom cell; 7 adds
// 2 Ckdist P 1000 |u_h| to every cell (3 and 4); 8 the same times sqrt((Fr - 0.2) / 0.8)
// between Froude numbers 0.2 and 1.
TEST_F(EddyViscosityAdditions, BedSmoothing) {
  struct Row {
    int mode;
    double froude;
    double h1, v1, h2, v2;  // additions to Cgamma and CgammaV of cells 1 and 2
  } rows[] = {
      {2, 0.5, 0.0025, 0, 0, 0},
      {4, 0.5, 0.0025, 0.0025, 0, 0},
      {7, 0.5, 3, 3, 4, 4},
      {8, 0.1, 0, 0, 0, 0},
      {8, 0.2, 0, 0, 0, 0},
      {8, 0.6, 3 * std::sqrt(0.5), 3 * std::sqrt(0.5), 4 * std::sqrt(0.5), 4 * std::sqrt(0.5)},
      {8, 1.0, 3, 3, 4, 4},
      {8, 2.0, 3, 3, 4, 4},
      {5, 0.5, 0, 0, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.mode * 10 + r.froude);
    fresh();
    column();
    FlagBedSmooth = r.mode;
    ParamBedSmooth = 0.01;
    BFroude[1] = r.froude;
    GammaCalcAdditions(1, 2);
    EXPECT_NEAR(Cgamma[1], 10 + r.h1, 1e-12);
    EXPECT_NEAR(CgammaV[1], 20 + r.v1, 1e-12);
    EXPECT_NEAR(Cgamma[2], 10 + r.h2, 1e-12);
    EXPECT_NEAR(CgammaV[2], 20 + r.v2, 1e-12);
  }
}

// Without Froude numbers F 144 8 adds nothing, and F 281 1 to 3 add nothing.
TEST_F(EddyViscosityAdditions, OptionsThatNeedAbsentBedFieldsAddNothing) {
  for (int option : {8, 1, 2, 3}) {
    SCOPED_TRACE(option);
    fresh();
    column();
    BFroude.release();
    if (option == 8) {
      FlagBedSmooth = 8;
      ParamBedSmooth = 0.01;
    } else {
      FlagDuneEddy = option;
    }
    Equation = 1;
    GammaCalcAdditions(1, 2);
    EXPECT_EQ(Cgamma[1], 10.0);
    EXPECT_EQ(CgammaV[2], 20.0);
  }
}

// Bingham value of a layered mud block: per column the cell above the bottom cell gives
// H = 2 m of layer, less the 0.5 m above groundwater in column 1 (H = 1.5, g = 0.68):
// S1 = ((0.825 H + g) 9810 x 0.8 + 100) A summed = 28197.74, S2 = ((1.825 H + g) 9810) A summed
// = 69332.175; with m = 1 - 0.4, dt = 10, mean Ckdist 0.5 and mean |u| 0.3:
// mu = 0.5 S1 / (6 S1 / S2 + 0.3) + 1000 = 6145.1414...
TEST_F(EddyViscosityAdditions, MudLayerBinghamViscosity) {
  mudBlock();
  GammaCalcAdditions(1, 6);
  expectColumn(1, 6145.141445419944);
  expectColumn(4, 6145.141445419944);
}

TEST_F(EddyViscosityAdditions, MudLayerVariants) {
  struct Row {
    const char* name;
    int last;
    int marker;
    double eddyvisc;
    bool levels;
    double mu;  // 0: nothing changes
  } rows[] = {
      {"range short of the last cell", 5, 1, 0, true, 0},
      {"not a mud-layer block", 6, 2, 0, true, 0},
      {"given viscosity", 6, 1, 50, true, 50},
      // Without mud and groundwater levels no part of the layer lies above groundwater:
      // S1 = 2 (1.65 x 7848 + 100), S2 = 2 x 3.65 x 9810.
      {"no levels", 6, 1, 0, false, 6247.766554983125},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    fresh();
    mudBlock();
    block[1].thixo = r.marker;
    ThixoEddyvisc = r.eddyvisc;
    if (!r.levels) {
      Bthixolev.release();
      Bgroundwater.release();
    }
    GammaCalcAdditions(1, r.last);
    if (r.mu == 0) {
      for (int c = 1; c <= 6; ++c) EXPECT_EQ(Cgamma[c], 3.0) << c;
    } else {
      expectColumn(1, r.mu);
      expectColumn(4, r.mu);
    }
  }
}

// A mud block of one cell per column takes ThixoEddyvisc when it is above 0, else 1e7.
TEST_F(EddyViscosityAdditions, MudLayerOfOneCellPerColumn) {
  for (double given : {0.0, -5.0, 40.0}) {
    SCOPED_TRACE(given);
    fresh();
    SetArraysZero();
    makeBox({1.0, 1.0}, {1.0}, {1.0});
    Bcellt[1] = 1;
    Bcellt[2] = 2;
    block[1].cellstart = 1;
    block[1].cellend = 2;
    block[1].bcellstart = 1;
    block[1].bcellend = 2;
    block[1].thixo = 1;
    FlagThixo = 1;
    ThixoEddyvisc = given;
    GammaCalcAdditions(1, 2);
    const double mu = given > 0 ? given : 1e7;
    for (int c = 1; c <= 2; ++c) {
      EXPECT_EQ(Cgamma[c], mu);
      EXPECT_EQ(CgammaV[c], mu);
    }
  }
}

}  // namespace
}  // namespace qorva::test
