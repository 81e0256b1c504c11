// Additions to the eddy viscosity for bed forms (F 281), bed smoothing (F 144) and the
// viscosity of mud-layer blocks (F 236), on hand-made columns.
#include <gtest/gtest.h>

#include <omp.h>

#include <cmath>

#include "support/box_grid.h"
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

// A range that cuts the column (a chunk of a parallel region) gets, in its own cells only, the
// amount formed over the whole column at its bottom cell: F 281 2 adds 100 sqrt(9.81) / 8.64
// (Ckdist of the bottom cell 0.3), F 281 5 adds mean U F 1000 h / 2 = 0.75 x 2 x 1000 x 0.5.
TEST_F(EddyViscosityAdditions, BedFormsOnARangeThatCutsTheColumn) {
  const double a2 = 100 * std::sqrt(9.81) / 8.64;
  struct Row {
    int mode, first, last;
    double add1, add2;  // additions to CgammaV of cells 1 and 2
  } rows[] = {
      {2, 1, 1, a2, 0},
      {2, 2, 2, 0, a2},
      {5, 1, 1, 750, 0},
      {5, 2, 2, 0, 750},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.mode * 100 + r.first * 10 + r.last);
    fresh();
    column();
    FlagDuneEddy = r.mode;
    DuneEddyFactor = 2;
    Equation = 1;
    GammaCalcAdditions(r.first, r.last);
    EXPECT_NEAR(CgammaV[1], 20 + r.add1, 1e-10);
    EXPECT_NEAR(CgammaV[2], 20 + r.add2, 1e-10);
    EXPECT_NEAR(Cgamma[1], 10 + (r.mode == 2 ? r.add1 : 0), 1e-10);
    EXPECT_NEAR(Cgamma[2], 10 + (r.mode == 2 ? r.add2 : 0), 1e-10);
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

// A layered mud block none of whose columns has a cell above its bottom cell has no Bingham
// value: its bottom cells take |ThixoEddyvisc|.
TEST_F(EddyViscosityAdditions, MudLayerWithoutCellsAboveTheBottom) {
  mudBlock();
  Ccellt[1] = Ccellt[4] = 0;
  ThixoEddyvisc = -5;
  GammaCalcAdditions(1, 6);
  for (int c = 1; c <= 6; ++c) {
    const double expected = c == 1 || c == 4 ? 5.0 : 3.0;
    EXPECT_EQ(Cgamma[c], expected) << c;
    EXPECT_EQ(CgammaV[c], expected) << c;
  }
}

// In a parallel region each chunk of a working range that ends at NoCells sets the mud
// viscosity of its own cells, and the last chunk those outside the working range; running one
// chunk alone shows that it leaves the other chunk's cells (3) alone. mu as in
// MudLayerBinghamViscosity, 10 mu in the top cell of each column.
TEST_F(EddyViscosityAdditions, MudLayerInAParallelRegion) {
  const double mu = 6145.141445419944;
  struct Row {
    int wcStart, split;  // chunks wcStart..split and split + 1..6
    bool runFirst, runLast;
  } rows[] = {
      {1, 3, true, false}, {1, 3, false, true}, {1, 2, true, false},
      {1, 2, false, true}, {1, 2, true, true},  {4, 5, true, false},
      {4, 5, false, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.wcStart * 100 + r.split * 10 + r.runFirst * 2 + r.runLast);
    fresh();
    mudBlock();
    WCStart = r.wcStart;
    WCEnd = 6;
    bool twoThreads = true;
#pragma omp parallel num_threads(2)
    {
      if (omp_get_num_threads() != 2) {
#pragma omp atomic write
        twoThreads = false;
      } else if (omp_get_thread_num() == 0) {
        if (r.runFirst) GammaCalcAdditions(r.wcStart, r.split, Share::Chunk);
      } else {
        if (r.runLast) GammaCalcAdditions(r.split + 1, 6, Share::Chunk);
      }
    }
    if (!twoThreads) GTEST_SKIP() << "no second thread";
    for (int c = 1; c <= 6; ++c) {
      const bool firstChunk = c >= r.wcStart && c <= r.split;
      const bool set = firstChunk ? r.runFirst : r.runLast;
      const double expected = !set ? 3.0 : (c - 1) % 3 < 2 ? mu : 10 * mu;
      EXPECT_NEAR(Cgamma[c], expected, 1e-9 * expected) << c;
      EXPECT_NEAR(CgammaV[c], expected, 1e-9 * expected) << c;
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
