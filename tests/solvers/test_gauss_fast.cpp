// The five-field sweep of the fast flow driver: five fields that share their neighbour
// coefficients, each with its own central coefficient and source, against a direct solve of
// each field's system; and a sweep count of zero.
#include <cmath>
#include <vector>

#include "solvers/solver_systems.h"
#include "solvers/solvers.h"

namespace qorva::test {
namespace {

class GaussFastSweep : public SolverSystem {
 protected:
  void SetUp() override {
    SolverSystem::SetUp();
    FlagFastWatersolve = 1;
  }

  // Field k's system on block b: the shared coefficients, a central coefficient of Cap times
  // (1 + k/4) and a source that differs from field to field.
  static void fields(const Block& b) {
    for (int k = 0; k < 5; ++k)
      for (int c = 1; c <= b.cells(); ++c) {
        CinvApf[k][c] = 1.0 / (Cap[c] * (1.0 + 0.25 * k));
        Csourcem[k][c] = std::sin(0.7 * c + k) + k;
        Cff[k][c] = 0.0;
      }
  }

  // The dense matrix of field k, solved by Gaussian elimination with partial pivoting.
  static std::vector<double> direct(const Block& b, int k, bool second) {
    const int n = b.cells();
    std::vector<std::vector<double>> a(n, std::vector<double>(n + 1, 0.0));
    Table1<double>* first[6] = {&Cae, &Caw, &Can, &Cas, &Cat, &Cab};
    Table1<double>* beyond[6] = {&Caee, &Caww, &Cann, &Cass, &Catt, &Cabb};
    Table1<int>* nb[6] = {&Ccelle, &Ccellw, &Ccelln, &Ccells, &Ccellt, &Ccellb};
    for (int c = 1; c <= n; ++c) {
      std::vector<double>& row = a[c - 1];
      row[c - 1] = 1.0 / CinvApf[k][c];
      row[n] = Csourcem[k][c];
      for (int d = 0; d < 6; ++d) {
        const int m = (*nb[d])[c];
        if (m > 0) row[m - 1] -= (*first[d])[c];
        if (second && m > 0 && (*nb[d])[m] > 0) row[(*nb[d])[m] - 1] -= (*beyond[d])[c];
      }
    }
    for (int p = 0; p < n; ++p) {
      int best = p;
      for (int r = p + 1; r < n; ++r)
        if (std::fabs(a[r][p]) > std::fabs(a[best][p])) best = r;
      std::swap(a[p], a[best]);
      for (int r = p + 1; r < n; ++r) {
        const double f = a[r][p] / a[p][p];
        for (int q = p; q <= n; ++q) a[r][q] -= f * a[p][q];
      }
    }
    std::vector<double> x(n + 1, 0.0);
    for (int p = n - 1; p >= 0; --p) {
      double s = a[p][n];
      for (int q = p + 1; q < n; ++q) s -= a[p][q] * x[q + 1];
      x[p + 1] = s / a[p][p];
    }
    return x;
  }
};

TEST_F(GaussFastSweep, EachFieldReachesItsDirectSolution) {
  inBothForms([](bool second) {
    const Block b{3, 2, 3};
    link(b);
    coefficients(b, second);
    fields(b);
    GaussFast(1, b.cells(), 200);
    for (int k = 0; k < 5; ++k) {
      SCOPED_TRACE(k);
      const std::vector<double> x = direct(b, k, second);
      for (int c = 1; c <= b.cells(); ++c) EXPECT_NEAR(Cff[k][c], x[c], 1e-10) << "cell " << c;
    }
  });
}

// One forward pass by hand on two cells side by side, coefficient 1 between them, central
// coefficient 4 and sources 4 and 8 for field 0 (then 8 and 4 for field 1): cell 1 takes
// 4/4 = 1, cell 2 (8 + 1)/4 = 2.25; the backward pass gives cell 1 (4 + 2.25)/4 = 1.5625.
// No sweep at all leaves the fields as they are.
TEST_F(GaussFastSweep, OneSweepByHandAndNoSweep) {
  allocate();
  link({2, 1, 1});
  Cae[1] = Caw[2] = 1.0;
  for (int c = 1; c <= 2; ++c)
    for (int k = 0; k < 5; ++k) {
      CinvApf[k][c] = 0.25;
      Cff[k][c] = 0.0;
    }
  Csourcem[0][1] = 4.0, Csourcem[0][2] = 8.0;
  Csourcem[1][1] = 8.0, Csourcem[1][2] = 4.0;
  GaussFast(1, 2, 0);
  EXPECT_EQ(Cff[0][1], 0.0);
  GaussFast(1, 2, 1);
  EXPECT_DOUBLE_EQ(Cff[0][2], 2.25);
  EXPECT_DOUBLE_EQ(Cff[0][1], 1.5625);
  EXPECT_DOUBLE_EQ(Cff[1][2], 1.5);  // (4 + 2) / 4
  EXPECT_DOUBLE_EQ(Cff[1][1], 2.375);  // (8 + 1.5) / 4
  EXPECT_EQ(Cff[2][1], 0.0);
}

}  // namespace
}  // namespace qorva::test
