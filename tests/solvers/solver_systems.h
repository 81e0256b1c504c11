// Small hand-made equation systems for the solver tests: cells of a block of water columns
// linked through Ccelle..Ccellb, coefficients in Cae..Cab (and Caee..Cabb), and a source made
// from a chosen solution x so that Cap x = sum a x_nb + Csource holds exactly.
#pragma once

#include <omp.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "state/arrays.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/options_f100_149.h"
#include "state/options_f150_199.h"
#include "state/options_g.h"
#include "state/options_kw.h"
#include "state/status.h"
#include "support/scratch.h"

namespace qorva::test {

class SolverSystem : public Scratch {
 protected:
  void SetUp() override {
    Scratch::SetUp();
    threads0_ = omp_get_max_threads();
    xnumber = ynumber = 4;
    znumber = 6;
    lnumber = 1;
    MaxCeller = 200;
    MaxFlater = 10;
    MaxPunkter = 10;
    MaxNester = 1;
    MaxConnFlate = 1;
    Equation = 1;
  }
  void TearDown() override {
    omp_set_num_threads(threads0_);
    SetArraysZero();
    Scratch::TearDown();
  }

  // Creates the arrays for the present settings (sou[1] = 1 brings the second-neighbour
  // arrays, QNFlag > 0 the multi-neighbour lists).
  static void allocate() {
    SetArraysZero();
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
  }

  // Runs body(second) in the seven-point form (false) and the thirteen-point form (true) of
  // Equation 1, the arrays created for each.
  template <class Body>
  static void inBothForms(Body body) {
    for (bool second : {false, true}) {
      SCOPED_TRACE(second ? "thirteen-point" : "seven-point");
      sou[1] = second ? 1 : 0;
      allocate();
      body(second);
    }
  }

  // The solver threads of F 206, and the team the parallel regions get.
  static void useThreads(int n) {
    NoProcessesSolver = n;
    omp_set_num_threads(n > 0 ? n : 1);
  }

  // nx x ny columns of nz cells: column (i, j) holds cells col * nz + 1 .. col * nz + nz,
  // numbered upward, col = i * ny + j; east is i + 1, north j + 1.
  struct Block {
    int nx, ny, nz;
    int cell(int i, int j, int k) const { return (i * ny + j) * nz + k + 1; }
    int cells() const { return nx * ny * nz; }
  };

  static void link(const Block& b) {
    NoCells = b.cells();
    for (int i = 0; i < b.nx; ++i)
      for (int j = 0; j < b.ny; ++j)
        for (int k = 0; k < b.nz; ++k) {
          const int c = b.cell(i, j, k);
          Ccelle[c] = i + 1 < b.nx ? b.cell(i + 1, j, k) : 0;
          Ccellw[c] = i > 0 ? b.cell(i - 1, j, k) : 0;
          Ccelln[c] = j + 1 < b.ny ? b.cell(i, j + 1, k) : 0;
          Ccells[c] = j > 0 ? b.cell(i, j - 1, k) : 0;
          Ccellt[c] = k + 1 < b.nz ? c + 1 : 0;
          Ccellb[c] = k > 0 ? c - 1 : 0;
        }
  }

  // Cells 1..n in a row (-u'' = 0): Cap 2, a coefficient 1 towards each neighbour, no source,
  // Cf 0.
  static void laplaceRow(int n) {
    link({n, 1, 1});
    for (int c = 1; c <= n; ++c) {
      Cae[c] = Ccelle[c] ? 1.0 : 0.0;
      Caw[c] = Ccellw[c] ? 1.0 : 0.0;
      Cap[c] = 2.0;
      Csource[c] = 0.0;
      Cf[c] = 0.0;
    }
  }

  // Coefficients that differ from cell to cell and side to side (0 towards a missing
  // neighbour), and a central coefficient of twice their sum and more, so that every method
  // converges (Jacobi by more than half an order of magnitude per sweep). `second` also fills
  // the second-neighbour coefficients.
  static void coefficients(const Block& b, bool second) {
    Table1<double>* first[6] = {&Cae, &Caw, &Can, &Cas, &Cat, &Cab};
    Table1<double>* beyond[6] = {&Caee, &Caww, &Cann, &Cass, &Catt, &Cabb};
    Table1<int>* nb[6] = {&Ccelle, &Ccellw, &Ccelln, &Ccells, &Ccellt, &Ccellb};
    for (int c = 1; c <= b.cells(); ++c) {
      double sum = 0;
      for (int d = 0; d < 6; ++d) {
        const int m = (*nb[d])[c];
        const double a = m ? 1.0 + 0.25 * ((c + 3 * d) % 4) : 0.0;
        (*first[d])[c] = a;
        sum += a;
        if (second) {
          const double a2 = m && (*nb[d])[m] ? 0.5 + 0.125 * ((2 * c + d) % 3) : 0.0;
          (*beyond[d])[c] = a2;
          sum += a2;
        }
      }
      Cap[c] = 2.0 * sum + 1.5;
    }
  }

  // The chosen solution: linear in i, j, k; cell 0 holds 0.
  static std::vector<double> chosen(const Block& b) {
    std::vector<double> x(static_cast<std::size_t>(b.cells()) + 1, 0.0);
    for (int i = 0; i < b.nx; ++i)
      for (int j = 0; j < b.ny; ++j)
        for (int k = 0; k < b.nz; ++k) x[b.cell(i, j, k)] = 0.5 + i + 2.0 * j + 3.0 * k;
    return x;
  }

  // Csource[c] = Cap x_c - sum of the neighbour terms at x, with the second neighbours when
  // `second`: then x solves the system exactly.
  static void sourceFor(const Block& b, const std::vector<double>& x, bool second) {
    Table1<double>* first[6] = {&Cae, &Caw, &Can, &Cas, &Cat, &Cab};
    Table1<double>* beyond[6] = {&Caee, &Caww, &Cann, &Cass, &Catt, &Cabb};
    Table1<int>* nb[6] = {&Ccelle, &Ccellw, &Ccelln, &Ccells, &Ccellt, &Ccellb};
    for (int c = 1; c <= b.cells(); ++c) {
      double r = Cap[c] * x[c];
      for (int d = 0; d < 6; ++d) {
        const int m = (*nb[d])[c];
        r -= (*first[d])[c] * x[m];
        if (second) r -= (*beyond[d])[c] * x[(*nb[d])[m]];
      }
      Csource[c] = r;
    }
  }

  // The whole system at once; Cf starts at 0 everywhere.
  static std::vector<double> setUpBlock(const Block& b, bool second) {
    link(b);
    coefficients(b, second);
    const std::vector<double> x = chosen(b);
    sourceFor(b, x, second);
    for (int c = 0; c <= b.cells(); ++c) Cf[c] = 0;
    WCStart = 1;
    WCEnd = b.cells();
    return x;
  }

  static double maxError(const std::vector<double>& x) {
    double e = 0;
    for (std::size_t c = 1; c < x.size(); ++c) e = std::max(e, std::fabs(Cf[c] - x[c]));
    return e;
  }

  static std::vector<double> solution(int n) {
    std::vector<double> v(static_cast<std::size_t>(n) + 1);
    for (int c = 0; c <= n; ++c) v[c] = Cf[c];
    return v;
  }

 private:
  int threads0_ = 1;
};

}  // namespace qorva::test
