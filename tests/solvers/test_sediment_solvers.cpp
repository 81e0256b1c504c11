// The solvers of the sediment sizes and of the bed-cell fields against a direct solve of small
// systems, the same result for every thread count, the per-size rows kept apart, the bottom
// cells alone for solver2bed, the implicit pick-up from the bed and the bound of solverB.
#include <cmath>
#include <vector>

#include "solvers/solver_systems.h"
#include "solvers/solvers.h"
#include "state/bedcells.h"
#include "state/options_f250_299.h"
#include "state/options_f450_499.h"
#include "state/options_snihl.h"

namespace qorva::test {
namespace {

// Dense Gaussian elimination with partial pivoting: A x = r, A n x n by rows.
std::vector<double> directSolve(std::vector<std::vector<double>> A, std::vector<double> r) {
  const std::size_t n = r.size();
  for (std::size_t k = 0; k < n; ++k) {
    std::size_t p = k;
    for (std::size_t i = k + 1; i < n; ++i)
      if (std::fabs(A[i][k]) > std::fabs(A[p][k])) p = i;
    std::swap(A[k], A[p]);
    std::swap(r[k], r[p]);
    for (std::size_t i = k + 1; i < n; ++i) {
      const double m = A[i][k] / A[k][k];
      for (std::size_t j = k; j < n; ++j) A[i][j] -= m * A[k][j];
      r[i] -= m * r[k];
    }
  }
  std::vector<double> x(n);
  for (std::size_t k = n; k-- > 0;) {
    double s = r[k];
    for (std::size_t j = k + 1; j < n; ++j) s -= A[k][j] * x[j];
    x[k] = s / A[k][k];
  }
  return x;
}

class SedimentSolvers : public SolverSystem {
 protected:
  static constexpr int kSizes = 3;

  void SetUp() override {
    SolverSystem::SetUp();
    lnumber = kSizes;
    Equation = 7;
  }

  // The per-size system of size l over block b: shared lateral coefficients (or per size, for
  // solver2m), vertical and central coefficients and source per size; with `second` also the
  // links to the second neighbours (the vertical ones per size, the lateral ones shared or per
  // size like the first). Returns the exact solution by a direct solve, cell 0 included as 0.
  std::vector<double> sizeSystem(const Block& b, int l, bool allPerSize, bool bottomOnly = false,
                                 bool second = false) {
    link(b);
    const int n = b.cells();
    // The size's own coefficients differ from size to size; shared ones are the same for all.
    auto own = [&](int d) { return allPerSize || d >= 4 ? l : 0; };
    // Negative, as second-order upwinding makes them.
    auto beyond = [&](int c, int d, const Table1<int>& nb) {
      const int m = nb[c];
      return second && m && nb[m] ? -(0.1 + 0.05 * ((2 * c + d + own(d)) % 3)) : 0.0;
    };
    for (int c = 1; c <= n; ++c) {
      auto a = [&](int m, int d) { return m ? 1.0 + 0.25 * ((c + 3 * d + own(d)) % 4) : 0.0; };
      const double e = a(Ccelle[c], 0), w = a(Ccellw[c], 1), nn = a(Ccelln[c], 2), s = a(Ccells[c], 3);
      const double t = a(Ccellt[c], 4), bb = a(Ccellb[c], 5);
      const double ee = beyond(c, 0, Ccelle), ww = beyond(c, 1, Ccellw), nnn = beyond(c, 2, Ccelln),
                   ss = beyond(c, 3, Ccells), tt = beyond(c, 4, Ccellt), bbb = beyond(c, 5, Ccellb);
      if (second) {
        Cattm[l][c] = tt;
        Cabbm[l][c] = bbb;
        if (allPerSize) {
          Caeem[l][c] = ee;
          Cawwm[l][c] = ww;
          Cannm[l][c] = nnn;
          Cassm[l][c] = ss;
        } else {
          Caee[c] = ee;
          Caww[c] = ww;
          Cann[c] = nnn;
          Cass[c] = ss;
        }
      }
      if (allPerSize) {
        Caem[l][c] = e;
        Cawm[l][c] = w;
        Canm[l][c] = nn;
        Casm[l][c] = s;
      } else {
        Cae[c] = e;
        Caw[c] = w;
        Can[c] = nn;
        Cas[c] = s;
      }
      Catm[l][c] = t;
      Cabm[l][c] = bb;
      Capm[l][c] = 2.0 * (e + w + nn + s + t + bb) + 1.0 + 0.5 * l;
      Csourcem[l][c] = 0.3 * c + l;
    }
    WCStart = 1;
    WCEnd = n;
    // The matrix of the update the solver makes.
    std::vector<std::vector<double>> A(n, std::vector<double>(n, 0.0));
    std::vector<double> r(n);
    for (int c = 1; c <= n; ++c) {
      A[c - 1][c - 1] = Capm[l][c];
      r[c - 1] = Csourcem[l][c];
      if (bottomOnly && Ccellb[c] != 0) {
        A[c - 1][c - 1] = 1;  // kept at its start value 0
        r[c - 1] = 0;
        continue;
      }
      auto put = [&](int m, double coeff) {
        if (m) A[c - 1][m - 1] -= coeff;
      };
      put(Ccelle[c], allPerSize ? Caem[l][c] : Cae[c]);
      put(Ccellw[c], allPerSize ? Cawm[l][c] : Caw[c]);
      put(Ccelln[c], allPerSize ? Canm[l][c] : Can[c]);
      put(Ccells[c], allPerSize ? Casm[l][c] : Cas[c]);
      if (!bottomOnly) {
        put(Ccellt[c], Catm[l][c]);
        put(Ccellb[c], Cabm[l][c]);
      }
      if (!second) continue;
      put(Ccelle[Ccelle[c]], allPerSize ? Caeem[l][c] : Caee[c]);
      put(Ccellw[Ccellw[c]], allPerSize ? Cawwm[l][c] : Caww[c]);
      put(Ccelln[Ccelln[c]], allPerSize ? Cannm[l][c] : Cann[c]);
      put(Ccells[Ccells[c]], allPerSize ? Cassm[l][c] : Cass[c]);
      put(Ccellt[Ccellt[c]], Cattm[l][c]);
      put(Ccellb[Ccellb[c]], Cabbm[l][c]);
    }
    const std::vector<double> x = directSolve(A, r);
    std::vector<double> out(n + 1, 0.0);
    for (int c = 1; c <= n; ++c) out[c] = x[c - 1];
    return out;
  }

  // Cf at the size's row of Cconc, from 0.
  static void pointAt(int l, int n) {
    Cf.point(Cconc[l]);
    for (int c = 0; c <= n; ++c) Cf[c] = 0;
  }

  // `calls` calls of `solve(l)`, each 5 sweeps.
  template <class Solve>
  static std::vector<double> run(Solve solve, int l, int n, int calls) {
    pointAt(l, n);
    for (int k = 0; k < calls; ++k) solve(l);
    return solution(n);
  }

  static double maxDiff(const std::vector<double>& a, const std::vector<double>& b) {
    double e = 0;
    for (std::size_t c = 1; c < a.size(); ++c) e = std::max(e, std::fabs(a[c] - b[c]));
    return e;
  }
};

TEST_F(SedimentSolvers, Solver2ReachesTheDirectSolution) {
  allocate();
  const Block b{2, 2, 3};
  for (int rap : {0, 25, 31, 33}) {
    FlagRapSolver = rap;
    for (int l = 1; l <= kSizes; ++l) {
      const std::vector<double> x = sizeSystem(b, l, false);
      EXPECT_LT(maxDiff(run(solver2, l, b.cells(), 30), x), 1e-12) << "F 164 " << rap << ", size " << l;
    }
  }
}

TEST_F(SedimentSolvers, Solver2mReachesTheDirectSolution) {
  FlagTSC = 3;
  BedLoadVectorFlag = 5;
  allocate();
  const Block b{2, 3, 2};
  for (int rap : {0, 31}) {
    FlagRapSolver = rap;
    const std::vector<double> x = sizeSystem(b, 2, true);
    EXPECT_LT(maxDiff(run(solver2m, 2, b.cells(), 30), x), 1e-12) << "F 164 " << rap;
  }
}

// Only the bottom cells, on their lateral stencil; the cells above keep their values.
TEST_F(SedimentSolvers, Solver2bedSolvesTheBottomCells) {
  allocate();
  const Block b{3, 2, 2};
  for (int rap : {0, 31}) {
    FlagRapSolver = rap;
    const std::vector<double> x = sizeSystem(b, 1, false, true);
    EXPECT_LT(maxDiff(run(solver2bed, 1, b.cells(), 30), x), 1e-12) << "F 164 " << rap;
    for (int c = 1; c <= b.cells(); ++c)
      if (Ccellb[c] != 0) {
        EXPECT_EQ(Cf[c], 0.0) << c;
      }
  }
}

// One call of each method for 1, 2, 3 and 8 solver threads: bit for bit the same field.
TEST_F(SedimentSolvers, SameResultForEveryThreadCount) {
  FlagTSC = 3;
  BedLoadVectorFlag = 5;
  allocate();
  const Block b{4, 3, 5};
  struct Method {
    const char* name;
    void (*solve)(int);
    bool allPerSize, bottomOnly;
    int rap;
  };
  const Method methods[] = {
      {"solver2", solver2, false, false, 0},     {"solver2 31", solver2, false, false, 31},
      {"solver2m", solver2m, true, false, 0},    {"solver2m 33", solver2m, true, false, 33},
      {"solver2bed", solver2bed, false, true, 0}, {"solver2bed 31", solver2bed, false, true, 31},
  };
  for (const Method& m : methods) {
    FlagRapSolver = m.rap;
    sizeSystem(b, 2, m.allPerSize, m.bottomOnly);
    useThreads(1);
    const std::vector<double> one = run(m.solve, 2, b.cells(), 1);
    for (int threads : {0, 2, 3, 8}) {
      // solver2bed would share its in-place sweeps among 20 to 30 threads.
      useThreads(threads == 8 && m.bottomOnly ? 24 : threads);
      EXPECT_EQ(run(m.solve, 2, b.cells(), 1), one) << m.name << ", " << threads << " threads";
    }
  }
}

// Second-order upwinding: each size is solved with its own thirteen-point system, its own
// vertical second-neighbour links (solver2) or all of them (solver2m), whatever size was set
// up last; the shared one-size system is not touched.
TEST_F(SedimentSolvers, SecondOrderSolvesEachSizeWithItsOwnRows) {
  SouComp = 1;  // creates the second-neighbour arrays
  FlagTSC = 3;
  BedLoadVectorFlag = 5;
  sou[7] = 1;
  allocate();
  ASSERT_TRUE(Cattm && Cabbm && Caeem && Cassm);
  const Block b{3, 3, 4};
  struct Method {
    const char* name;
    void (*solve)(int);
    bool allPerSize;
  };
  for (const Method& m : {Method{"solver2", solver2, false}, Method{"solver2m", solver2m, true}})
    for (int rap : {0, 31}) {
      FlagRapSolver = rap;
      // Every size set up before any is solved.
      std::vector<std::vector<double>> x(kSizes + 1);
      for (int l = 1; l <= kSizes; ++l) x[l] = sizeSystem(b, l, m.allPerSize, false, true);
      for (int l = 1; l <= kSizes; ++l) {
        EXPECT_LT(maxDiff(run(m.solve, l, b.cells(), 40), x[l]), 1e-12)
            << m.name << ", F 164 " << rap << ", size " << l;
      }
    }
}

class ImplicitPickUp : public SedimentSolvers {
 protected:
  // One column of two cells over bed cell 1 of 2 m2; bed layer 1 of h m holds a fraction 0.4 of
  // size 1, whose capacity concentration is 0.002 and fall velocity 0.01 m/s.
  void column(double h, double clearWater) {
    allocate();
    FlagImplicitSedim = 1;
    TimeStep = 10;
    link(Block{1, 1, 2});
    Cbed[1] = Cbed[2] = 1;
    Barea[1] = 2;
    BSedDistrib[1][1][1] = 0.4;
    BSedDistrib[1][0][1] = h;
    Bconc[1][1] = 0.002;
    fallvelo[1] = 0.01;
    for (int c = 1; c <= 2; ++c) {
      Catm[1][c] = Ccellt[c] ? 1.0 : 0.0;
      Cabm[1][c] = Ccellb[c] ? 1.0 : 0.0;
      Capm[1][c] = 100.0;
      Csourcem[1][c] = 0.0;
    }
    WCStart = 1;
    WCEnd = 2;
    pointAt(1, 2);
    Cf[1] = clearWater;
    Cf[2] = clearWater;
  }
};

// The pick-up is the smaller of the capacity f c_eq w A rho and the supply (settling plus what
// bed layer 1 can give in a step); the bottom cell's source takes it and Bsource keeps it.
TEST_F(ImplicitPickUp, CapacityBelowSupply) {
  column(0.5, 0.0);
  const double E = 0.4 * 0.002 * 0.01 * 2 * 1000;  // 0.016 kg/s
  solver2(1);
  EXPECT_NEAR(Bsource[1][1], E, 1e-15);
  // The solution of Cap c1 = c2 + E, Cap c2 = c1: c1 = 100 E / (100^2 - 1).
  const std::vector<double> x = {0, 100 * E / 9999, E / 9999};
  for (int k = 0; k < 10; ++k) solver2(1);
  EXPECT_LT(maxError(x), 1e-15);
}

TEST_F(ImplicitPickUp, EmptyLayerAndClearWaterGiveNothing) {
  column(0.0, 0.0);
  solver2(1);
  EXPECT_EQ(Bsource[1][1], 0.0);
  EXPECT_EQ(Cf[1], 0.0);
  EXPECT_EQ(Cf[2], 0.0);
}

// A field over the bed cells of 3 x 2 columns (bed cells numbered i outer, j inner); the upper
// bound holds in every sweep; a column without cells keeps its value.
TEST_F(SedimentSolvers, SolverBOverTheBedCells) {
  allocate();
  const Block b{3, 2, 1};
  link(b);
  const int n = 6;
  for (int c = 1; c <= n; ++c) {
    Cbed[c] = c;
    Bcellt[c] = c;
    Cae[c] = Ccelle[c] ? 1.0 : 0.0;
    Caw[c] = Ccellw[c] ? 1.0 : 0.0;
    Can[c] = Ccelln[c] ? 0.5 : 0.0;
    Cas[c] = Ccells[c] ? 0.5 : 0.0;
    Cap[c] = 2 * (Cae[c] + Caw[c] + Can[c] + Cas[c]) + 1;
    Csource[c] = c;
  }
  std::vector<std::vector<double>> A(n, std::vector<double>(n, 0.0));
  std::vector<double> r(n);
  for (int c = 1; c <= n; ++c) {
    A[c - 1][c - 1] = Cap[c];
    r[c - 1] = Csource[c];
    for (auto [m, a] : {std::pair{Ccelle[c], Cae[c]}, std::pair{Ccellw[c], Caw[c]},
                        std::pair{Ccelln[c], Can[c]}, std::pair{Ccells[c], Cas[c]}})
      if (m) A[c - 1][m - 1] -= a;
  }
  const std::vector<double> x = directSolve(A, r);
  std::vector<double> field(Bcellt.size(), 0.0);
  for (int k = 0; k < 20; ++k) solverB(field.data(), 1, n, 1e30);
  for (int c = 1; c <= n; ++c) EXPECT_NEAR(field[c], x[c - 1], 1e-12) << c;

  std::fill(field.begin(), field.end(), 0.0);
  for (int c = 1; c <= n; ++c) Csource[c] = -c;  // a negative solution everywhere
  Csource[3] = 50;
  solverB(field.data(), 1, n, 0.0);
  for (int c = 1; c <= n; ++c) EXPECT_LE(field[c], 0.0) << c;
  Bcellt[4] = 0;
  field[4] = 9;
  solverB(field.data(), 1, n, 0.0);
  EXPECT_EQ(field[4], 9.0);
}

TEST_F(SedimentSolvers, CallsOutsideTheirArrays) {
  allocate();
  link(Block{1, 1, 2});
  Cf.point(Cconc[1]);
  WCStart = 1;
  WCEnd = 2;
  EXPECT_THROW(solver2(kSizes + 1), RunEnd);
  WCEnd = MaxCeller;
  EXPECT_THROW(solver2(1), RunEnd);
  std::vector<double> field(4, 0.0);
  EXPECT_THROW(solverB(field.data(), 0, 2, 1.0), RunEnd);
}

}  // namespace
}  // namespace qorva::test
