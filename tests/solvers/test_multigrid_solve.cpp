// The multigrid solve on the two-dimensional levels: a cycle on a pressure-correction system
// whose solution is known, the correction form of the other equations by hand, Gauss2D and its
// threaded forms against the solution of a level system, and the solve without levels.
#include <omp.h>

#include <cmath>
#include <string>
#include <vector>

#include "solvers/column_grid.h"
#include "solvers/solvers.h"

namespace qorva::test {
namespace {

class Multigrid : public Scratch {
 protected:
  void SetUp() override {
    Scratch::SetUp();
    threads_ = omp_get_max_threads();
  }
  void TearDown() override {
    omp_set_num_threads(threads_);
    Scratch::TearDown();
  }

  // A pressure-correction system (Cap the sum of the six couplings) on uniform columns whose
  // solution is the same in every cell of a column: phi(i, j). Lateral couplings differ by
  // cell; the cells of the west edge couple to a fixed 0 outside, which makes the system (and
  // its column sums) regular. The vertical terms cancel in a uniform column, so the column
  // sums of these equations are exactly the level-1 equations, solved by phi too.
  template <class Phi>
  static void pressureSystem(const Columns& g, int nz, Phi phi) {
    for (int i = 0; i < g.nx; ++i)
      for (int j = 0; j < g.ny; ++j)
        for (int k = 0; k < nz; ++k) {
          const int c = g.cell(i, j, k);
          Cae[c] = Ccelle[c] ? 1.0 + 0.25 * ((c + j) % 3) : 0.0;
          Caw[c] = Ccellw[c] ? 1.0 + 0.25 * ((c + 2 * i) % 3) : (i == 0 ? 2.0 : 0.0);
          Can[c] = Ccelln[c] ? 0.5 + 0.25 * (c % 2) : 0.0;
          Cas[c] = Ccells[c] ? 0.75 : 0.0;
          Cat[c] = Ccellt[c] ? 3.0 : 0.0;
          Cab[c] = Ccellb[c] ? 3.0 : 0.0;
          Cap[c] = Cae[c] + Caw[c] + Can[c] + Cas[c] + Cat[c] + Cab[c];
          Cf[c] = 0.0;
        }
    // Couplings must agree between the two sides of a face.
    for (int c = 1; c <= NoCells; ++c) {
      if (Ccelle[c]) Caw[Ccelle[c]] = Cae[c];
      if (Ccelln[c]) Cas[Ccelln[c]] = Can[c];
    }
    for (int c = 1; c <= NoCells; ++c) Cap[c] = Cae[c] + Caw[c] + Can[c] + Cas[c] + Cat[c] + Cab[c];
    for (int i = 0; i < g.nx; ++i)
      for (int j = 0; j < g.ny; ++j)
        for (int k = 0; k < nz; ++k) {
          const int c = g.cell(i, j, k);
          Csource[c] = Cae[c] * (phi(i, j) - phi(i + 1, j)) * (Ccelle[c] != 0) +
                       Caw[c] * (phi(i, j) - (Ccellw[c] ? phi(i - 1, j) : 0.0)) +
                       Can[c] * (phi(i, j) - phi(i, j + 1)) * (Ccelln[c] != 0) +
                       Cas[c] * (phi(i, j) - phi(i, j - 1)) * (Ccells[c] != 0);
        }
  }

  static double largestError(const Columns& g, int nz, double (*phi)(int, int)) {
    double e = 0;
    for (int i = 0; i < g.nx; ++i)
      for (int j = 0; j < g.ny; ++j)
        for (int k = 0; k < nz; ++k) e = std::max(e, std::fabs(Cf[g.cell(i, j, k)] - phi(i, j)));
    return e;
  }

 private:
  int threads_ = 1;
};

// Constant on the 2 x 2 groups of level 2: the level-2 equations (sums of the level-1 ones)
// are solved exactly by the group values, so the coarse smoothing, copied down, starts level 1
// at its solution and a single level-1 sweep keeps it there. Level 1 alone, one sweep from 0,
// is far from it. The levels are found after the grid's blocks, however many there are.
double groups(int i, int j) { return 1.0 + (i / 2) + 2.0 * (j / 2); }
double smooth(int i, int j) { return 1.0 + 0.5 * i + 0.25 * j * j; }

TEST_F(Multigrid, PressureCycleReachesAKnownSolution) {
  struct Case {
    const char* name;
    int acc, loops, iter2d, blocks, threads;
    double (*phi)(int, int);
    double tolerance;  // 0: the error must exceed 0.1
    int serialSolver = 0;  // G 50 entry 8
  };
  const Case cases[] = {
      {"coarse level exact, one level-1 sweep", 3, 200, 1, 1, 0, groups, 1e-10},
      {"levels after 20 blocks", 3, 200, 1, 20, 0, groups, 1e-10},
      {"level 1 alone, one sweep", 1, 200, 1, 1, 0, groups, 0},
      {"level 1 to convergence", 1, 3, 2000, 1, 0, smooth, 1e-9},
      {"F 206 2 with G 50 entry 8: serial, to convergence", 3, 3, 2000, 1, 2, smooth, 1e-9, 1},
      {"level 1 by 2 threads, to convergence", 1, 3, 2000, 1, 2, smooth, 1e-9},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    SetArraysZero();
    setDefaults();
    Flag2DAccSolver = k.acc;
    NoMGloops = k.loops;
    Iter2DMG = k.iter2d;
    NoProcessesSolver = k.threads;
    FlagOpenMP[8] = k.serialSolver;
    omp_set_num_threads(k.threads > 0 ? k.threads : 1);
    const Columns g = makeColumns(4, 4, 3, 40);
    for (int b = 2; b <= k.blocks; ++b) block[b] = GridBlock{};
    NoBlocks = k.blocks;
    pressureSystem(g, 3, [&](int i, int j) { return k.phi(i, j); });
    Equation = 4;
    AlgMGMake();
    ASSERT_EQ(NoMGlevels, 3);  // levels of 16 and 4 cells (the single cell of level 3 dropped)
    AlgMGSolve();
    if (k.tolerance > 0)
      EXPECT_LT(largestError(g, 3, k.phi), k.tolerance);
    else
      EXPECT_GT(largestError(g, 3, k.phi), 0.1);
    // Every cell of a column holds the column's level-1 value.
    for (int c = 1; c <= NoCells; ++c) EXPECT_EQ(Cf[c], Cf[MGSCpoint[c][0]]) << c;
  }
}

// Other equations: the level-1 equation of a column is 2A psi = sum a psi_nb + A rbar, with A
// the summed lateral couplings and rbar the mean point residual of the column; psi is added to
// every cell of the column. Two columns of two cells, column 0 coupled east by 1 per cell
// (A0 = 2), column 1 west by 2 per cell (A1 = 4). Residuals (0.3, 0.5) and (-0.2, 0.6):
// rbar = 0.4 and 0.2, sources 0.8 and 0.8, Cap 4 and 8. One sweep from 0, forward:
// psi0 = 0.8 / 4 = 0.2, psi1 = (4 * 0.2 + 0.8) / 8 = 0.2; backward: psi1 = 0.2,
// psi0 = (2 * 0.2 + 0.8) / 4 = 0.3. With the top cell of column 0 fixed (its stale residual 100
// left out): rbar0 = 0.15, source 0.3: psi0 = 0.075, psi1 = 1.1 / 8 = 0.1375, then
// psi0 = (0.275 + 0.3) / 4 = 0.14375. Residuals all 0 change nothing.
TEST_F(Multigrid, CorrectionOfTheOtherEquationsByHand) {
  struct Case {
    const char* name;
    bool fixedTop;
    double r[4];
    double add0, add1;
  };
  const Case cases[] = {
      {"two columns", false, {0.3, 0.5, -0.2, 0.6}, 0.3, 0.2},
      {"fixed cell", true, {0.3, 100.0, -0.2, 0.6}, 0.14375, 0.1375},
      {"no residual", false, {0, 0, 0, 0}, 0, 0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    SetArraysZero();
    setDefaults();
    Flag2DAccSolver = 1;
    const Columns g = makeColumns(2, 1, 2, 10);
    for (int z = 0; z < 2; ++z) {
      const int a = g.cell(0, 0, z), b = g.cell(1, 0, z);
      Cae[a] = 1.0;
      Caw[b] = 2.0;
      Cap[a] = Cap[b] = 10.0;
      Cxvel_res[a] = k.r[z];
      Cxvel_res[b] = k.r[2 + z];
      Cxvel[a] = Cxvel[b] = 1.0;
    }
    if (k.fixedTop) Cap[g.cell(0, 0, 1)] = 1e20;
    Cf.point(Cxvel);
    Equation = 1;
    AlgMGMake();
    AlgMGSolve();
    for (int z = 0; z < 2; ++z) {
      EXPECT_NEAR(Cxvel[g.cell(0, 0, z)], 1.0 + k.add0, 1e-14);
      EXPECT_NEAR(Cxvel[g.cell(1, 0, z)], 1.0 + k.add1, 1e-14);
    }
  }
}

// Without levels for the present grid (never built, or built before the grid changed) the
// solve leaves the multigrid out, says so once, and still makes the line solve of F 344.
TEST_F(Multigrid, WithoutLevelsOnlyTheLineSolveRuns) {
  Flag2DAccSolver = 2;
  FlagSolverVertTDMA = 2;
  const Columns g = makeColumns(3, 2, 3, 20);
  pressureSystem(g, 3, smooth);
  Equation = 4;
  AlgMGSolve();
  std::vector<double> once(NoCells + 1);
  for (int c = 1; c <= NoCells; ++c) once[c] = Cf[c];
  for (int c = 1; c <= NoCells; ++c) Cf[c] = 0;
  solverTDMA();
  for (int c = 1; c <= NoCells; ++c) EXPECT_EQ(once[c], Cf[c]) << c;
  EXPECT_GT(std::fabs(once[1]), 1e-6);
  // Levels of an older grid: the cell count has changed since.
  AlgMGMake();
  NoCells -= 1;
  for (int c = 1; c <= NoCells; ++c) Cf[c] = 0;
  AlgMGSolve();
  const std::string b = read("boogie");
  const std::string line =
      "Warning: the multigrid levels of F 168 are not built for this grid; the multigrid "
      "solve of K 5 runs without them\n";
  EXPECT_EQ(b, line);
}

// Gauss2D on a level system (one cell per column, lateral couplings only) whose solution is
// known: the serial sweeps and the threaded Jacobi forms of F 164 27 and 29 reach it, and the
// threaded forms give the same values on 1 and 3 threads.
TEST_F(Multigrid, Gauss2DFormsReachTheLevelSolution) {
  struct Case {
    int rap, nx, ny, sweeps;
  };
  for (const Case& k : {Case{0, 5, 4, 300}, Case{27, 5, 4, 600}, Case{29, 20, 16, 8000}}) {
    SCOPED_TRACE(k.rap);
    std::vector<double> first;
    for (int threads : {1, 3}) {
      SetArraysZero();
      setDefaults();
      FlagRapSolver = k.rap;
      omp_set_num_threads(threads);
      const Columns g = makeColumns(k.nx, k.ny, 1, 0);
      pressureSystem(g, 1, smooth);
      Gauss2D(1, NoCells, k.sweeps);
      EXPECT_LT(largestError(g, 1, smooth), 1e-9);
      std::vector<double> v(Cf.data() + 1, Cf.data() + NoCells + 1);
      if (first.empty())
        first = v;
      else
        EXPECT_EQ(v, first);
    }
  }
}

// The F 206 threads sweep level 1 in coloured chunks: a few sweeps, far from the solution,
// give the same bits at every thread count, and another order than the serial sweep. Both
// multigrid solves (of the cell equations and of the water level) smooth level 1 this way.
TEST_F(Multigrid, LevelOneGivesTheSameBitsForAnyThreadCount) {
  std::vector<double> serial, first;
  for (int threads : {0, 1, 2, 3, 8}) {
    SCOPED_TRACE(threads);
    SetArraysZero();
    setDefaults();
    Flag2DAccSolver = 1;
    Iter2DMG = 3;
    NoProcessesSolver = threads;
    omp_set_num_threads(threads > 0 ? threads : 1);
    const Columns g = makeColumns(12, 8, 2, 200);  // 96 level-1 cells: 32 chunks of 3
    pressureSystem(g, 2, smooth);
    Equation = 4;
    AlgMGMake();
    AlgMGSolve();
    std::vector<double> v(Cf.data() + 1, Cf.data() + NoCells + 1);
    EXPECT_GT(largestError(g, 2, smooth), 1e-3);
    if (threads == 0)
      serial = v;
    else if (first.empty())
      first = v;
    else
      EXPECT_EQ(v, first);
  }
  EXPECT_NE(first, serial);
}

// With several neighbours per side (F 137) Gauss2D makes one symmetric sweep, whatever it is
// asked for.
TEST_F(Multigrid, Gauss2DMakesOneSweepWithSeveralNeighboursPerSide) {
  QNFlag = 1;
  const Columns g = makeColumns(4, 3, 1, 0);
  pressureSystem(g, 1, smooth);
  Gauss2D(1, NoCells, 1);
  std::vector<double> one(Cf.data() + 1, Cf.data() + NoCells + 1);
  for (int c = 1; c <= NoCells; ++c) Cf[c] = 0;
  Gauss2D(1, NoCells, 5);
  EXPECT_EQ(std::vector<double>(Cf.data() + 1, Cf.data() + NoCells + 1), one);
  EXPECT_GT(largestError(g, 1, smooth), 1e-3);
}

}  // namespace
}  // namespace qorva::test
