// The tridiagonal line solvers against a direct solve (Gaussian elimination of each column's
// system with the lateral terms moved to the source), and their ranges and orders.
#include <cmath>
#include <string>
#include <vector>

#include "solvers/column_grid.h"
#include "solvers/solvers.h"

namespace qorva::test {
namespace {

class LineSolvers : public Scratch {
 protected:
  void SetUp() override {
    Scratch::SetUp();
    FlagTDMA = 1;  // brings the work arrays
  }

  // Couplings that differ by cell and side, a central coefficient above their sum, sources and
  // a start field; `lateral` = false leaves the columns uncoupled.
  static void system(bool lateral) {
    Table1<double>* a[6] = {&Cae, &Caw, &Can, &Cas, &Cat, &Cab};
    Table1<int>* nb[6] = {&Ccelle, &Ccellw, &Ccelln, &Ccells, &Ccellt, &Ccellb};
    for (int c = 1; c <= NoCells; ++c) {
      double sum = 0;
      for (int d = 0; d < 6; ++d) {
        const bool on = (*nb[d])[c] != 0 && (lateral || d >= 4);
        (*a[d])[c] = on ? 1.0 + 0.5 * ((c + 2 * d) % 3) : 0.0;
        sum += (*a[d])[c];
      }
      Cap[c] = sum + 1.0 + 0.1 * (c % 4);
      Csource[c] = 2.0 + std::cos(1.3 * c);
      Cf[c] = 0.5 * std::sin(0.9 * c);
    }
  }

  // The column from `bottom` upward solved directly: its rows Cap x - Cat x_up - Cab x_down =
  // Csource + the lateral terms from `f`.
  static std::vector<double> directColumn(int bottom, int n, const std::vector<double>& f) {
    std::vector<std::vector<double>> m(n, std::vector<double>(n + 1, 0.0));
    for (int r = 0; r < n; ++r) {
      const int c = bottom + r;
      m[r][r] = Cap[c];
      if (r + 1 < n) m[r][r + 1] = -Cat[c];
      if (r > 0) m[r][r - 1] = -Cab[c];
      m[r][n] = Csource[c] + Cae[c] * f[Ccelle[c]] + Caw[c] * f[Ccellw[c]] +
                Can[c] * f[Ccelln[c]] + Cas[c] * f[Ccells[c]];
    }
    for (int p = 0; p < n; ++p) {
      int best = p;
      for (int r = p + 1; r < n; ++r)
        if (std::fabs(m[r][p]) > std::fabs(m[best][p])) best = r;
      std::swap(m[p], m[best]);
      for (int r = p + 1; r < n; ++r) {
        const double q = m[r][p] / m[p][p];
        for (int k = p; k <= n; ++k) m[r][k] -= q * m[p][k];
      }
    }
    std::vector<double> x(n);
    for (int r = n - 1; r >= 0; --r) {
      double s = m[r][n];
      for (int k = r + 1; k < n; ++k) s -= m[r][k] * x[k];
      x[r] = s / m[r][r];
    }
    return x;
  }

  static std::vector<double> field() { return std::vector<double>(Cf.data(), Cf.data() + NoCells + 2); }
};

// Each column of a block solved directly with the lateral values from before the call: what
// solverTDMA gives for the whole range as one line (the columns do not couple through it).
TEST_F(LineSolvers, WholeRangeIsEveryColumnSolvedWithTheOldLateralValues) {
  const Columns g = makeColumns(3, 2, {5, 3, 1, 4, 0, 6});
  system(true);
  const std::vector<double> before = field();
  std::vector<double> expect = before;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 2; ++j) {
      if (g.cells(i, j) == 0) continue;
      const std::vector<double> x = directColumn(g.cell(i, j, 0), g.cells(i, j), before);
      for (int k = 0; k < g.cells(i, j); ++k) expect[g.cell(i, j, k)] = x[k];
    }
  solverTDMA();
  for (int c = 1; c <= NoCells; ++c) EXPECT_NEAR(Cf[c], expect[c], 1e-12) << c;
}

// solverVertTDMA solves the columns of more than four cells one after the other, i from the
// last line down, j up, each with the values of the columns solved before it; shorter
// columns keep their values.
TEST_F(LineSolvers, ColumnsInTurnSeeTheColumnsSolvedBefore) {
  const Columns g = makeColumns(3, 2, {5, 4, 6, 5, 7, 3});
  system(true);
  std::vector<double> expect = field();
  for (int i = 2; i >= 0; --i)
    for (int j = 0; j < 2; ++j) {
      if (g.cells(i, j) <= 4) continue;
      const std::vector<double> x = directColumn(g.cell(i, j, 0), g.cells(i, j), expect);
      for (int k = 0; k < g.cells(i, j); ++k) expect[g.cell(i, j, k)] = x[k];
    }
  const std::vector<double> before = field();
  solverVertTDMA();
  for (int c = 1; c <= NoCells; ++c) EXPECT_NEAR(Cf[c], expect[c], 1e-12) << c;
  // The columns of four and three cells are untouched.
  for (int k = 0; k < 4; ++k) EXPECT_EQ(Cf[g.cell(0, 1, k)], before[g.cell(0, 1, k)]);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(Cf[g.cell(2, 1, k)], before[g.cell(2, 1, k)]);
}

// An uncoupled column is solved exactly by either solver in one call: every row holds.
TEST_F(LineSolvers, UncoupledColumnIsSolvedExactly) {
  for (bool vertical : {false, true}) {
    SCOPED_TRACE(vertical);
    SetArraysZero();
    setDefaults();
    FlagTDMA = 1;
    makeColumns(1, 1, 7);
    system(false);
    vertical ? solverVertTDMA() : solverTDMA();
    for (int c = 1; c <= 7; ++c) {
      const double row = Cap[c] * Cf[c] - Cat[c] * Cf[Ccellt[c]] - Cab[c] * Cf[Ccellb[c]];
      EXPECT_NEAR(row, Csource[c], 1e-12) << c;
    }
  }
}

// The ranges: the thirteen-point form solves the whole grid whatever the working range; an
// empty working range changes nothing; a block with its skip field set is left alone.
TEST_F(LineSolvers, RangesAndSkippedBlocks) {
  struct Case {
    const char* name;
    void (*set)();
    void (*solve)();
    int changedFirst, changedLast;  // cells that change (the grid has 12)
    bool secondOrder;               // K 6 1 before the arrays are made
  };
  const Case cases[] = {
      {"working range", [] { WCStart = 4; WCEnd = 6; }, solverTDMA, 4, 6, false},
      {"thirteen-point form", [] { WCStart = 4; WCEnd = 6; }, solverTDMA, 1, 12, true},
      {"empty working range", [] { WCStart = 7; WCEnd = 6; }, solverTDMA, 1, 0, false},
      {"skipped block", [] { block[1].skip = 1; }, solverVertTDMA, 1, 0, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    SetArraysZero();
    setDefaults();
    FlagTDMA = 1;
    Equation = 1;
    if (k.secondOrder) sou[1] = 1;
    makeColumns(2, 1, 6);
    system(true);
    k.set();
    const std::vector<double> before = field();
    k.solve();
    for (int c = 1; c <= 12; ++c) {
      if (c >= k.changedFirst && c <= k.changedLast)
        EXPECT_NE(Cf[c], before[c]) << c;
      else
        EXPECT_EQ(Cf[c], before[c]) << c;
    }
  }
}

// Without the work arrays (no setting asked for a line solver) the run ends with a message.
TEST_F(LineSolvers, MissingWorkArraysEndTheRun) {
  FlagTDMA = 0;
  makeColumns(1, 1, 5);
  ASSERT_FALSE(Cpt);
  int status = 0;
  try {
    solverTDMA();
  } catch (const RunEnd& e) {
    status = e.status;
  }
  EXPECT_EQ(status, 1);
  EXPECT_NE(read("boogie").find("line solver"), std::string::npos);
}

}  // namespace
}  // namespace qorva::test
