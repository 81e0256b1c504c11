// The water-level solver on small level equations whose solution is known: the modes and
// their orders, the lower limits, the multigrid pre-cycles, and the line accelerators of
// block 1 against hand values.
#include <filesystem>
#include <cmath>
#include <string>
#include <vector>

#include "solvers/column_grid.h"
#include "solvers/solvers.h"

namespace qorva::test {
namespace {

class LevelEquation : public Scratch {
 protected:
  // The level equation at the bottom cells of nx x ny columns of two cells: five-point
  // couplings (and with `nine` four corner couplings) that differ by column, Cap their sum plus
  // `extra`, and Csource made from the chosen levels x(i, j), so that x solves it exactly. The
  // upper cells hold values the solver must not touch.
  Columns setUp(int nx, int ny, bool nine, double extra, double (*x)(int, int)) {
    g_ = makeColumns(nx, ny, 2, 200);
    x_ = x;
    for (int i = 0; i < nx; ++i)
      for (int j = 0; j < ny; ++j) {
        const int c = bottom(i, j);
        Cae[c] = Ccelle[c] ? 1.0 + 0.25 * ((i + 2 * j) % 3) : 0.0;
        Can[c] = Ccelln[c] ? 0.75 + 0.25 * ((2 * i + j) % 2) : 0.0;
        Cf[c + 1] = 7.0;
      }
    for (int i = 0; i < nx; ++i)
      for (int j = 0; j < ny; ++j) {
        const int c = bottom(i, j);
        Caw[c] = i > 0 ? Cae[bottom(i - 1, j)] : 0.0;
        Cas[c] = j > 0 ? Can[bottom(i, j - 1)] : 0.0;
      }
    for (int i = 0; i < nx; ++i)
      for (int j = 0; j < ny; ++j) {
        const int c = bottom(i, j);
        double sum = Cae[c] + Caw[c] + Can[c] + Cas[c];
        double nb = Cae[c] * level(i + 1, j) + Caw[c] * level(i - 1, j) +
                    Can[c] * level(i, j + 1) + Cas[c] * level(i, j - 1);
        if (nine) {
          Caee[c] = corner(i + 1, j + 1) ? 0.3 : 0.0;
          Cass[c] = corner(i + 1, j - 1) ? 0.2 : 0.0;
          Cann[c] = corner(i - 1, j + 1) ? 0.25 : 0.0;
          Caww[c] = corner(i - 1, j - 1) ? 0.35 : 0.0;
          sum += Caee[c] + Cass[c] + Cann[c] + Caww[c];
          nb += Caee[c] * level(i + 1, j + 1) + Cass[c] * level(i + 1, j - 1) +
                Cann[c] * level(i - 1, j + 1) + Caww[c] * level(i - 1, j - 1);
        }
        Cap[c] = sum + extra;
        Csource[c] = Cap[c] * x(i, j) - nb;
      }
    return g_;
  }
  int bottom(int i, int j) const { return g_.cell(i, j, 0); }
  bool corner(int i, int j) const { return g_.cells(i, j) > 0; }
  double level(int i, int j) const { return corner(i, j) ? x_(i, j) : 0.0; }
  double largestError() const {
    double e = 0;
    for (int i = 0; i < g_.nx; ++i)
      for (int j = 0; j < g_.ny; ++j) e = std::max(e, std::fabs(Cf[bottom(i, j)] - x_(i, j)));
    return e;
  }
  void upperCellsUntouched() const {
    for (int i = 0; i < g_.nx; ++i)
      for (int j = 0; j < g_.ny; ++j) EXPECT_EQ(Cf[bottom(i, j) + 1], 7.0);
  }

  Columns g_;
  double (*x_)(int, int) = nullptr;
};

double slope(int i, int j) { return 10.0 - 0.01 * i - 0.004 * j * j; }
// Constant on the 2 x 2 groups of columns.
double groups(int i, int j) { return 10.0 - 0.02 * (i / 2) - 0.05 * (j / 2); }

// Modes 4 and 43 sweep to F 345, modes 8 and 83 make F 239 iterations of four passes: given
// enough, each reaches the solution of its equation (five- or nine-point); mode 42 makes three
// iterations only, enough for a strongly dominant equation but not for a weak one.
TEST_F(LevelEquation, ModesReachTheSolution) {
  struct Case {
    int mode;
    bool nine;
    double extra;
    double tolerance;  // negative: the error must exceed -tolerance
  };
  const Case cases[] = {
      {4, false, 0.05, 1e-9}, {43, false, 0.05, 1e-9}, {8, true, 0.05, 1e-9},
      {83, true, 0.05, 1e-9}, {42, false, 500.0, 1e-6}, {42, false, 0.05, -1e-3},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.mode);
    SCOPED_TRACE(k.extra);
    SetArraysZero();
    setDefaults();
    FlagTFS = 7;  // the corner coefficients
    solverFroude = 1;
    residualCasulli = 1e-14;
    iterSurfSolv1 = 400;
    iterSurfSolv2 = 3000;
    setUp(6, 5, k.nine, k.extra, slope);
    for (int b = 1; b <= NoBCells; ++b) BLevFroude[b] = -10.0;  // no floor
    surfaceSolver(k.mode);
    if (k.tolerance > 0)
      EXPECT_LT(largestError(), k.tolerance);
    else
      EXPECT_GT(largestError(), -k.tolerance);
    upperCellsUntouched();
  }
}

// Modes 83 and 43 never leave a level below the Froude floor of its bed cell; modes 8 and 4
// may. The floor sits 0.5 above the solution of one column.
TEST_F(LevelEquation, FroudeFloorHoldsInModes43And83) {
  for (int mode : {4, 43, 8, 83}) {
    SCOPED_TRACE(mode);
    SetArraysZero();
    setDefaults();
    FlagTFS = 7;
    solverFroude = 1;
    setUp(5, 4, mode == 8 || mode == 83, 0.05, slope);
    for (int b = 1; b <= NoBCells; ++b) BLevFroude[b] = -10.0;
    const int c = bottom(2, 1);
    const double floor = slope(2, 1) + 0.5;
    BLevFroude[Cbed[c]] = floor;
    surfaceSolver(mode);
    if (mode == 43 || mode == 83)
      EXPECT_GE(Cf[c], floor);
    else
      EXPECT_LT(Cf[c], floor - 0.4);
  }
}

// F 371: after any mode every wet column of block 1 stands at least at its grid-split limit.
TEST_F(LevelEquation, GridSplitFloorAfterAnyMode) {
  for (int mode : {4, 99}) {
    SCOPED_TRACE(mode);
    SetArraysZero();
    setDefaults();
    FlagNoGridSplit = 1;
    setUp(4, 3, false, 0.05, slope);
    for (int b = 1; b <= NoBCells; ++b) Bminlevdh[b] = 9.5;
    Bminlevdh[Cbed[bottom(1, 1)]] = 11.0;
    surfaceSolver(mode);
    EXPECT_EQ(Cf[bottom(1, 1)], 11.0);
    if (mode == 99) {
      EXPECT_EQ(Cf[bottom(0, 0)], 9.5);  // from 0, raised to the limit only
    }
  }
}

// Mode 4 with the multigrid pre-cycle (F 168, F 343 above 2) reaches the same solution. The
// pre-cycle alone, on levels whose equations the solution satisfies exactly (constant on the
// groups of level 2), brings the levels much closer than the level-1 sweep alone does (F 168 2:
// level 1 only).
TEST_F(LevelEquation, MultigridPreCycle) {
  double alone = 0;
  for (int acc : {2, 4}) {
    SCOPED_TRACE(acc);
    SetArraysZero();
    setDefaults();
    Flag2DAccSolver = acc;
    BlockCasulli = 3;
    setUp(8, 8, false, 1.0, groups);
    AlgMGMake();
    ASSERT_EQ(NoMGlevels, 4);  // levels of 64, 16 and 4 cells; F 168 4 uses 1 and 2
    AlgMGSurf();
    if (acc == 2)
      alone = largestError();
    else
      EXPECT_LT(largestError(), 0.1 * alone);
    residualCasulli = 1e-14;
    surfaceSolver(4);
    EXPECT_LT(largestError(), 1e-9);
    upperCellsUntouched();
  }
}

// F 168 1 leaves no level for the pre-cycle: nothing changes.
TEST_F(LevelEquation, PreCycleWithOneLevelDoesNothing) {
  Flag2DAccSolver = 1;
  setUp(8, 8, false, 0.2, groups);
  AlgMGMake();
  std::vector<double> before(Cf.data(), Cf.data() + NoCells + 1);
  AlgMGSurf();
  EXPECT_EQ(std::vector<double>(Cf.data(), Cf.data() + NoCells + 1), before);
}

// The semi-implicit form (F 36 9) with the reference column pinned at its level: the
// pre-cycle of AlgMGSurfCasulli with the tie of F 343 3, then the sweeps of mode 4.
TEST_F(LevelEquation, SemiImplicitPreCycleWithAPinnedReference) {
  FlagTFS = 9;
  Flag2DAccSolver = 4;
  BlockCasulli = 3;
  residualCasulli = 1e-14;
  setUp(8, 8, false, 0.2, groups);
  const int r = bottom(7, 3);
  Cap[r] = 1e20;
  Csource[r] = 1e20 * groups(7, 3);
  iPres = Columns::I(7);
  jPres = Columns::J(3);
  for (int i = 0; i < 8; ++i)
    for (int j = 0; j < 8; ++j) Cf[bottom(i, j)] = 9.0;
  AlgMGMake();
  surfaceSolver(4);
  EXPECT_LT(largestError(), 1e-9);
}

// F 369 1 asks mode 4 for the debug check of the level equation before and after its
// multigrid pre-cycles: on a sound equation it logs nothing and the solve goes on.
TEST_F(LevelEquation, DebugCheckOfASoundEquationLogsNothing) {
  FlagBugFind = 1;
  setUp(3, 3, false, 0.05, slope);
  EXPECT_NO_THROW(surfaceSolver(4));
  EXPECT_FALSE(std::filesystem::exists("boogie")) << read("boogie");
}

// Line correction of block 1 (F 343 2) on two i-lines of two columns each, Cf 0:
// line 0: Cap 5, Can 1 / Cas 1 inside, sources 2 and 4: AP = 4 + 4 = 8, R = 6;
// line 1: Cap 6, Can 2 / Cas 2, sources 1 and 3: AP = 8, R = 4.
// Uncoupled (AW = AE = 0): d = R / AP = 0.75 and 0.5. Coupled by Cae = Caw = 1 in the south
// columns (AE0 = AW1 = 1): 8 d0 - d1 = 6, 8 d1 - d0 = 4: d0 = 52/63, d1 = 38/63.
TEST_F(LevelEquation, LineCorrectionOfBlockOneByHand) {
  for (bool coupled : {false, true}) {
    SCOPED_TRACE(coupled);
    SetArraysZero();
    setDefaults();
    BlockCasulli = 2;
    const Columns g = makeColumns(2, 2, 1);
    const int a = g.cell(0, 0, 0), b = g.cell(0, 1, 0), c = g.cell(1, 0, 0), d = g.cell(1, 1, 0);
    Cap[a] = Cap[b] = 5;
    Can[a] = Cas[b] = 1;
    Csource[a] = 2;
    Csource[b] = 4;
    Cap[c] = Cap[d] = 6;
    Can[c] = Cas[d] = 2;
    Csource[c] = 1;
    Csource[d] = 3;
    if (coupled) Cae[a] = Caw[c] = 1;
    computeBlockCasulli();
    const double d0 = coupled ? 52.0 / 63 : 0.75, d1 = coupled ? 38.0 / 63 : 0.5;
    EXPECT_NEAR(Cf[a], d0, 1e-14);
    EXPECT_NEAR(Cf[b], d0, 1e-14);
    EXPECT_NEAR(Cf[c], d1, 1e-14);
    EXPECT_NEAR(Cf[d], d1, 1e-14);
  }
}

// The line multigrid of block 1 (F 343 1) gives every column of a line one level. With the
// lines uncoupled in i the sweeps of the finest level settle each line at Csource / AP
// (the source, not the residual), whatever the coarse levels made of them: 1 line (no coarse
// level can be made), 5 (one of 2 lines, not swept), 6 and 7 (one of 3), 8 (4 and 2).
TEST_F(LevelEquation, LineMultigridOfBlockOne) {
  for (int nx : {1, 5, 6, 7, 8}) {
    SCOPED_TRACE(nx);
    SetArraysZero();
    setDefaults();
    const Columns g = makeColumns(nx, 2, 1);
    for (int i = 0; i < nx; ++i) {
      const int s = g.cell(i, 0, 0), n = g.cell(i, 1, 0);
      Cap[s] = Cap[n] = 4.0 + i;
      Can[s] = Cas[n] = 1.0;
      Csource[s] = 1.0 + i;
      Csource[n] = 2.0;
      Cf[s] = Cf[n] = 5.0;
    }
    computeBlockCasulliMG();
    for (int i = 0; i < nx; ++i) {
      const double ap = 2 * (4.0 + i - 1.0), r = 3.0 + i;
      EXPECT_NEAR(Cf[g.cell(i, 0, 0)], r / ap, 1e-14) << i;
      EXPECT_NEAR(Cf[g.cell(i, 1, 0)], r / ap, 1e-14) << i;
    }
  }
}

}  // namespace
}  // namespace qorva::test
