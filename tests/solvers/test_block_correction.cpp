// Block correction: line sums and the tridiagonal solve against hand values, the balance of
// every line after the last pass, the shape of the correction (one value per j-line plus one
// per i-line), and the settings that switch it off.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "solvers/column_grid.h"
#include "solvers/solvers.h"

namespace qorva::test {
namespace {

class BlockCorr : public Scratch {
 protected:
  // Residual of cell c: Csource + sum a f_nb - Cap f.
  static double residualOf(int c) {
    return Csource[c] - Cap[c] * Cf[c] + Cae[c] * Cf[Ccelle[c]] + Caw[c] * Cf[Ccellw[c]] +
           Can[c] * Cf[Ccelln[c]] + Cas[c] * Cf[Ccells[c]] + Cat[c] * Cf[Ccellt[c]] +
           Cab[c] * Cf[Ccellb[c]];
  }
  static double sizeOf(int c) {
    return std::fabs(Csource[c]) + std::fabs(Cap[c] * Cf[c]) + 1.0;
  }

  // A vertical coupling of 1 inside each column, lateral couplings of 1 to the cells north and
  // south (none east or west), Cap 4, Cf 0.
  static void columnsCoupledAlongJ(const Columns& g, bool lateral) {
    for (int c = 1; c <= NoCells; ++c) {
      Cat[c] = Ccellt[c] ? 1.0 : 0.0;
      Cab[c] = Ccellb[c] ? 1.0 : 0.0;
      Can[c] = lateral && Ccelln[c] ? 1.0 : 0.0;
      Cas[c] = lateral && Ccells[c] ? 1.0 : 0.0;
      Cap[c] = 4.0;
      Cf[c] = 0.0;
    }
    (void)g;
  }

  // Couplings that differ by cell and side, Cap their sum + 0.5, and a start field far from
  // the solution. A cell at the edge of the block couples by 0.5 to a fixed 0 outside it; a
  // cell next to a dry or shorter column has no coupling there (a wall), as in a grid.
  static void variedSystem(const Columns& g) {
    Table1<double>* a[6] = {&Cae, &Caw, &Can, &Cas, &Cat, &Cab};
    Table1<int>* nb[6] = {&Ccelle, &Ccellw, &Ccelln, &Ccells, &Ccellt, &Ccellb};
    for (int i = 0; i < g.nx; ++i)
      for (int j = 0; j < g.ny; ++j)
        for (int z = 0; z < g.cells(i, j); ++z) {
          const int c = g.cell(i, j, z);
          const bool edge[4] = {i == g.nx - 1, i == 0, j == g.ny - 1, j == 0};
          double sum = 0;
          for (int d = 0; d < 6; ++d) {
            const double v = (*nb[d])[c]        ? 1.0 + 0.25 * ((c + 3 * d) % 4)
                             : d < 4 && edge[d] ? 0.5
                                                : 0.0;
            (*a[d])[c] = v;
            sum += v;
          }
          Cap[c] = sum + 0.5;
          Csource[c] = 1.0 + 0.5 * (c % 5);
          Cf[c] = std::sin(0.7 * c);
        }
  }

  // One block per line of columns i, each one column wide.
  static void blocksSideBySide(int n) {
    for (int b = 1; b <= n; ++b) {
      block[b] = block[1];
      block[b].i1 = block[b].i2 = b + 1;
    }
    NoBlocks = n;
  }

  // The cells of every i-line together satisfy their equations.
  static void expectILinesBalanced(const Columns& g) {
    for (int i = 0; i < g.nx; ++i) {
      std::vector<std::pair<int, int>> line;
      for (int j = 0; j < g.ny; ++j) line.push_back({i, j});
      EXPECT_LT(lineImbalance(g, line), 1e-13) << "i-line " << i;
    }
  }

  // The summed residual of the cells of the given columns, against the size of its terms.
  static double lineImbalance(const Columns& g, const std::vector<std::pair<int, int>>& cols) {
    double r = 0, size = 0;
    for (auto [i, j] : cols)
      for (int k = 0; k < g.cells(i, j); ++k) {
        const int c = g.cell(i, j, k);
        if (Cap[c] >= 1e15) continue;
        r += residualOf(c);
        size += sizeOf(c);
      }
    return std::fabs(r) / size;
  }
};

// One column of cells 1..3 in a line of its own, the middle one fixed by the penalty at 5:
// the sums leave it out, AP = (4 - Cat 1) + (4 - Cab 1) = 6, R = (1 + 1 * 5) + (1 + 1 * 5) = 12,
// delta = R / AP = 2 for all three cells, the fixed one too. The i-pass then finds the line
// balanced and adds nothing.
TEST_F(BlockCorr, FixedCellIsLeftOutOfTheSumsButShifted) {
  makeColumns(1, 1, 3);
  Cap[1] = 4;
  Cat[1] = 1;
  Csource[1] = 1;
  Cap[2] = 1e20;
  Csource[2] = 5e20;
  Cf[2] = 5;
  Cat[2] = Cab[2] = 1;
  Cap[3] = 4;
  Cab[3] = 1;
  Csource[3] = 1;
  BlockCorrection();
  EXPECT_NEAR(Cf[1], 2.0, 1e-14);
  EXPECT_NEAR(Cf[2], 7.0, 1e-14);
  EXPECT_NEAR(Cf[3], 2.0, 1e-14);
}

// Three columns of two cells along j (nx = 1), each its own j-line: AP = 2 (4 - 1) = 6 per line,
// R = the sum of the sources (Cf = 0): 3, 6 and 4.
// - Coupled north-south by 1 per cell: AS = (0, 2, 2), AN = (2, 2, 0):
//   6 d0 - 2 d1 = 3, -2 d0 + 6 d1 - 2 d2 = 6, -2 d1 + 6 d2 = 4 gives d1 = 25/14,
//   d0 = (3 + 2 d1)/6 = 23/21, d2 = (4 + 2 d1)/6 = 53/42 (forward: P = 1/3, 3/8, 0;
//   Q = 1/2, 21/16, 53/42).
// - Not coupled (all cross-line sums 0): d = R / AP = 1/2, 1, 2/3.
// - The middle column dry: its line has no cells and separates the others, d = R / AP.
// In each case the j-pass leaves every line balanced, so the single i-line adds nothing.
TEST_F(BlockCorr, LineSumsAndTridiagonalSolveByHand) {
  struct Case {
    const char* name;
    std::vector<int> heights;
    bool lateral;
    std::vector<double> delta;  // per column
  };
  const Case cases[] = {
      {"coupled", {2, 2, 2}, true, {23.0 / 21, 25.0 / 14, 53.0 / 42}},
      {"uncoupled", {2, 2, 2}, false, {0.5, 1.0, 4.0 / 6}},
      {"dry middle", {2, 0, 2}, true, {0.5, 0.0, 4.0 / 6}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    SetArraysZero();
    setDefaults();
    const Columns g = makeColumns(1, 3, k.heights);
    columnsCoupledAlongJ(g, k.lateral);
    const double sources[3][2] = {{1, 2}, {3, 3}, {0, 4}};
    for (int j = 0; j < 3; ++j)
      for (int z = 0; z < g.cells(0, j); ++z) Csource[g.cell(0, j, z)] = sources[j][z];
    BlockCorrection();
    for (int j = 0; j < 3; ++j)
      for (int z = 0; z < g.cells(0, j); ++z)
        EXPECT_NEAR(Cf[g.cell(0, j, z)], k.delta[j], 1e-13) << "column " << j;
  }
}

// On a block of uneven columns with a dry one, the correction is one value per j-line plus one
// per i-line, and the i-pass, solved last and exactly, balances every i-line.
TEST_F(BlockCorr, CorrectionIsUniformAlongLinesAndBalancesTheLastPass) {
  const Columns g = makeColumns(4, 3, {3, 2, 4, 3, 0, 2, 1, 3, 3, 2, 2, 4});
  variedSystem(g);
  std::vector<double> before(NoCells + 1);
  for (int c = 1; c <= NoCells; ++c) before[c] = Cf[c];
  BlockCorrection();
  // d(i, j) = a_j + b_i: uniform in each column, and its mixed differences vanish.
  auto shift = [&](int i, int j) {
    const int c = g.cell(i, j, 0);
    return Cf[c] - before[c];
  };
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 3; ++j)
      for (int z = 1; z < g.cells(i, j); ++z)
        EXPECT_NEAR(Cf[g.cell(i, j, z)] - before[g.cell(i, j, z)], shift(i, j), 1e-12);
  // Column (1, 1) is dry; compare among the wet ones.
  EXPECT_NEAR(shift(0, 0) - shift(2, 0) - shift(0, 2) + shift(2, 2), 0.0, 1e-12);
  EXPECT_NEAR(shift(3, 0) - shift(0, 0) - shift(3, 1) + shift(0, 1), 0.0, 1e-12);
  EXPECT_GT(std::fabs(shift(0, 0)), 1e-3);
  expectILinesBalanced(g);
}

// With one block the chained form (F 98 1) is the same system as the form per block.
TEST_F(BlockCorr, ChainedFormOfOneBlockEqualsThePerBlockForm) {
  BlockMethodFlag = 1;
  const Columns g = makeColumns(3, 4, {2, 3, 1, 2, 2, 2, 0, 3, 1, 2, 2, 2});
  variedSystem(g);
  std::vector<double> start(NoCells + 1);
  for (int c = 0; c <= NoCells; ++c) start[c] = Cf[c];
  BlockCorrection();
  std::vector<double> chained(NoCells + 1);
  for (int c = 1; c <= NoCells; ++c) chained[c] = Cf[c];
  for (int c = 0; c <= NoCells; ++c) Cf[c] = start[c];
  BlockMethodFlag = 0;
  BlockCorrection();
  for (int c = 1; c <= NoCells; ++c) EXPECT_DOUBLE_EQ(Cf[c], chained[c]) << c;
}

// Four blocks side by side in i, one column wide and 3 lines long: F 98 1 chains 12 j-lines
// (positions 2..13), more than max(xnumber, ynumber, znumber) + 2 = 9 lines. Its work arrays
// are sized for the chained lines when F 98 1 is set; the i-lines across the grid cross one
// block each and end balanced.
TEST_F(BlockCorr, ChainedLinesOfBlocksSideBySide) {
  BlockMethodFlag = 1;
  const Columns g = makeColumns(4, 3, 2);
  ASSERT_GE(Spt.size(), 14u);
  blocksSideBySide(4);
  variedSystem(g);
  BlockCorrection();
  expectILinesBalanced(g);
}

// Work arrays made for F 98 0 that are then asked to chain more lines than they hold: the run
// ends with a message instead of writing past them.
TEST_F(BlockCorr, ChainBeyondItsWorkArraysEndsTheRun) {
  const Columns g = makeColumns(4, 3, 2);
  ASSERT_EQ(Spt.size(), 9u);
  blocksSideBySide(4);
  variedSystem(g);
  BlockMethodFlag = 1;
  int status = 0;
  try {
    BlockCorrection();
  } catch (const RunEnd& e) {
    status = e.status;
  }
  EXPECT_EQ(status, 1);
  EXPECT_NE(read("boogie").find("beyond its work arrays"), std::string::npos);
}

// Settings under which the line shifts do not apply: Cf stays as it was, and the forms the
// correction does not suit are named once in boogie (F 98 2 switches it off by choice).
TEST_F(BlockCorr, SettingsThatLeaveCfUnchanged) {
  struct Case {
    const char* name;
    void (*set)();
    bool noted;
  };
  const Case cases[] = {
      {"F 137 several neighbours per side", [] { QNFlag = 1; }, true},
      {"F 98 2", [] { BlockMethodFlag = 2; }, false},
      {"second-order scheme with its arrays", [] { sou[1] = 1; }, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    SetArraysZero();
    setDefaults();
    Equation = 1;
    k.set();
    const Columns g = makeColumns(3, 2, 2);
    variedSystem(g);
    std::vector<double> start(NoCells + 1);
    for (int c = 1; c <= NoCells; ++c) start[c] = Cf[c];
    BlockCorrection();
    BlockCorrection();
    for (int c = 1; c <= NoCells; ++c) EXPECT_EQ(Cf[c], start[c]) << c;
    const std::string note =
        "Warning: the block correction of K 5 does not apply to equation 1 with the "
        "second-order scheme (K 6 1) or several neighbours per side (F 137); it is solved "
        "without it\n";
    EXPECT_EQ(std::filesystem::exists("boogie") ? read("boogie") : "", k.noted ? note : "");
    std::remove("boogie");
  }
}

}  // namespace
}  // namespace qorva::test
