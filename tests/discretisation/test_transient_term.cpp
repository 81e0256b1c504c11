// The time terms against hand values for each form and option, and against exact solutions:
// the exponential decay of a single cell, the decay of a cosine mode of one-dimensional
// diffusion and the steady linear profile between two fixed ends, marched through the
// assembled equations (face coefficients, time term, central coefficient, direct solve), and
// the steady balance of second-order upwind convection reached under Crank-Nicolson.
// Also the side damping of block 1 and the central-coefficient floor of narrow cells.
#include <gtest/gtest.h>

#include <omp.h>

#include <cmath>
#include <functional>
#include <utility>
#include <vector>

#include "support/box_grid.h"
#include "discretisation/discretisation.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using test::makeBox;

constexpr double kTol = 1e-9;
const double kPi = std::acos(-1.0);

class TransientTerm : public test::Scratch {
 protected:
  void TearDown() override {
    Cf.pointOwn();
    Cf_old2.pointOwn();
    Scratch::TearDown();
  }
};

struct HandCase {
  const char* what;
  std::function<void()> set;
  double cap, source;  // of the middle cell
};

// Three cells in a row, 2 m3 each; with a time step of 4 s, t = 1000 x 2 / 4 = 500 kg/s.
// The middle cell: old value 2, older value 3, iterate 7, neighbours' old values 1 (west) and
// 4 (east) with coefficients 5 and 3, so the old operator sum a_nb (f_nb - f_P) is
// 3 x (4 - 2) + 5 x (1 - 2) = 1. An inner time step of 10 s gives tau = 200 kg/s.
TEST_F(TransientTerm, EachFormAgainstHandValues) {
  const std::vector<HandCase> cases = {
      {"first order", [] {}, 500, 1000},
      {"second order: 1.5 t, t (2 f_old - 0.5 f_old2)",
       [] { FlagTimeOrder = 1; Cf_old2.point(Cxvel_old2); }, 750, 500 * (4 - 1.5)},
      {"second order without an older level", [] { FlagTimeOrder = 1; }, 500, 1000},
      {"Crank-Nicolson 0.5", [] { CrankNicols = 0.5; }, 500, 1000 + 1},
      {"Crank-Nicolson 0.2", [] { CrankNicols = 0.2; }, 500, 1000 + 0.25},
      {"F 208 -1 without F 61 is first order", [] { FlagTimeOrder = -1; }, 500, 1000},
      {"F 208 1 with F 61 is Crank-Nicolson",
       [] { FlagTimeOrder = 1; CrankNicols = 0.5; Cf_old2.point(Cxvel_old2); }, 500, 1001},
      {"steady", [] { TimeStep = 1e-20; }, 0, 0},
      {"F 482 1 drops the physical term", [] { FlagPresStability = 1; }, 0, 0},
      {"F 482 1 keeps it for the mud flow",
       [] { FlagPresStability = 1; FlagThixoIsComputing = 1; }, 500, 1000},
      {"F 482 1 keeps the inner term",
       [] { FlagPresStability = 1; FlagInnerTimestep = 1; InnerTimestep = 10; }, 200, 1400},
      {"inner step 1", [] { FlagInnerTimestep = 1; InnerTimestep = 10; }, 700, 2400},
      {"inner step 1 in a steady run", [] { TimeStep = 1e-20; FlagInnerTimestep = 1;
                                            InnerTimestep = 10; }, 200, 1400},
      {"inner step 5, F 482 2", [] { FlagInnerTimestep = 5; InnerTimestep = 10;
                                     FlagPresStability = 2; }, 500, 1000},
      {"inner step 5, F 482 2, mud flow",
       [] { FlagInnerTimestep = 5; InnerTimestep = 10; FlagPresStability = 2;
            FlagThixoIsComputing = 1; }, 700, 2400},
      {"inner step 6 without mud flow", [] { FlagInnerTimestep = 6; InnerTimestep = 10; },
       500, 1000},
      {"inner step 6, mud flow",
       [] { FlagInnerTimestep = 6; InnerTimestep = 10; FlagThixoIsComputing = 1; }, 700, 2400},
      {"inner step 3 before the third iteration",
       [] { FlagInnerTimestep = 3; InnerTimestep = 10; Iter = 2; }, 500, 1000},
      {"inner step 3 from the third iteration",
       [] { FlagInnerTimestep = 3; InnerTimestep = 10; Iter = 3; }, 700, 2400},
      {"inner step 3 is for velocities only",
       [] { FlagInnerTimestep = 3; InnerTimestep = 10; Iter = 3; Equation = 5; }, 500, 1000},
      {"inner step 4, mud flow",
       [] { FlagInnerTimestep = 4; InnerTimestep = 10; FlagThixoIsComputing = 1; }, 700, 2400},
      {"inner step 2 at a wedge",
       [] { FlagInnerTimestep = 2; InnerTimestep = 10; Ctrekant[2] = 1; }, 700, 2400},
      {"inner step 2 elsewhere", [] { FlagInnerTimestep = 2; InnerTimestep = 10; }, 500, 1000},
      {"F 235 1 doubles the term at a wedge", [] { FlagCorrTrekant = 1; Ctrekant[2] = 3; },
       1000, 2000},
      {"F 235 1 before inner step 2",
       [] { FlagCorrTrekant = 1; Ctrekant[2] = 3; FlagInnerTimestep = 2; InnerTimestep = 10; },
       1000, 2000},
      {"F 235 1 for k", [] { FlagCorrTrekant = 1; Ctrekant[2] = 3; Equation = 5; }, 500, 1000},
      {"F 235 5 clears the source at a wedge", [] { FlagCorrTrekant = 5; Ctrekant[2] = 1; },
       500, 0},
  };
  for (const HandCase& k : cases) {
    SCOPED_TRACE(k.what);
    SetArraysZero();
    setDefaults();
    TimeStep = 4;
    FlagTimeOrder = 1;  // the older velocity level exists
    makeBox({2, 2, 2}, {1}, {1});
    FlagTimeOrder = 0;
    Equation = 1;
    Cf_old[1] = 1;
    Cf_old[2] = 2;
    Cf_old[3] = 4;
    Cxvel_old2[2] = 3;
    Cf[2] = 7;
    Cae[2] = 3;
    Caw[2] = 5;
    k.set();
    addTimestep(2, 2);
    EXPECT_NEAR(Cap[2], k.cap, kTol);
    EXPECT_NEAR(Csource[2], k.source, kTol);
    // Only the cells of the range take part.
    EXPECT_EQ(Cap[1], 0.0);
    EXPECT_EQ(Csource[3], 0.0);
  }
}

// Solves Cap f = Cae f_e + Caw f_w + Csource along a row of cells 1..n in x (direct
// tridiagonal elimination), into Cf.
void solveRow(int n) {
  std::vector<double> P(n + 1, 0.0), Q(n + 1, 0.0);
  for (int c = 1; c <= n; ++c) {
    const double den = Cap[c] - Caw[c] * P[c - 1];
    P[c] = Cae[c] / den;
    Q[c] = (Csource[c] + Caw[c] * Q[c - 1]) / den;
  }
  double next = 0;
  for (int c = n; c >= 1; --c) {
    next = P[c] * next + Q[c];
    Cf[c] = next;
  }
}

// The same with the second neighbours of the second-order scheme (Caee, Caww): Gaussian
// elimination with partial pivoting of the whole small system.
void solveRowWithSecondNeighbours(int n) {
  std::vector<std::vector<double>> m(n, std::vector<double>(n + 1, 0.0));
  const auto put = [&](int row, int col, double v) {
    if (col >= 1 && col <= n) m[row - 1][col - 1] -= v;
  };
  for (int c = 1; c <= n; ++c) {
    m[c - 1][c - 1] = Cap[c];
    m[c - 1][n] = Csource[c];
    put(c, c + 1, Cae[c]);
    put(c, c - 1, Caw[c]);
    put(c, c + 2, Caee[c]);
    put(c, c - 2, Caww[c]);
  }
  for (int k = 0; k < n; ++k) {
    int p = k;
    for (int r = k + 1; r < n; ++r)
      if (std::fabs(m[r][k]) > std::fabs(m[p][k])) p = r;
    std::swap(m[k], m[p]);
    for (int r = k + 1; r < n; ++r) {
      const double q = m[r][k] / m[k][k];
      for (int col = k; col <= n; ++col) m[r][col] -= q * m[k][col];
    }
  }
  for (int k = n - 1; k >= 0; --k) {
    double v = m[k][n];
    for (int col = k + 1; col < n; ++col) v -= m[k][col] * Cf[col + 1];
    Cf[k + 1] = v / m[k][k];
  }
}

// The drivers' order for one time step of a passive quantity along the row: face
// coefficients, extra central terms, time term, central coefficient completed with the sum of
// the neighbour coefficients (the second neighbours too under second-order upwind), solve;
// then the levels move on.
void step(int n, const std::function<void()>& extra, Table1<double>& older) {
  for (int c = 1; c <= n; ++c) Cap[c] = Csource[c] = 0;
  coeff_make(WFStart, WFEnd);
  extra();
  addTimestep(1, n);
  for (int c = 1; c <= n; ++c) Cap[c] += Cae[c] + Caw[c] + Can[c] + Cas[c] + Cat[c] + Cab[c];
  if (sou[Equation] == 1) {
    for (int c = 1; c <= n; ++c)
      Cap[c] += Caee[c] + Caww[c] + Cann[c] + Cass[c] + Catt[c] + Cabb[c];
    solveRowWithSecondNeighbours(n);
  } else {
    solveRow(n);
  }
  for (int c = 1; c <= n; ++c) {
    older[c] = Cf_old[c];
    Cf_old[c] = Cf[c];
  }
}

struct Scheme {
  const char* what;
  int timeOrder;
  double crankNicols;
  double order;   // of the error in the time step
  int upwind = 0;  // K 6 of the component: 1 second-order upwind, else the power law
};

const std::vector<Scheme> kSchemes = {
    {"first order", 0, 0.0, 1},
    {"three-level backward", 1, 0.0, 2},
    {"Crank-Nicolson", 0, 0.5, 2},
};

// Error at time T of a run with n steps.
using ErrorOfRun = std::function<double(const Scheme&, int)>;

void expectOrder(const ErrorOfRun& run, int steps, const std::vector<Scheme>& schemes) {
  for (const Scheme& s : schemes) {
    SCOPED_TRACE(s.what);
    const double e1 = run(s, steps), e2 = run(s, 2 * steps), e3 = run(s, 4 * steps);
    EXPECT_LT(e3, e2);
    EXPECT_NEAR(std::log2(e1 / e2), s.order, 0.1);
    EXPECT_NEAR(std::log2(e2 / e3), s.order, 0.1);
  }
}

// One cell of 1 m3 with a loss rate of 1/s, f' = -f from f(0) = 1, marched to t = 1; the
// older level starts at the exact value one step back. Returns f(1).
double decay(const Scheme& s, int steps) {
  SetArraysZero();
  setDefaults();
  TimeStep = 1.0 / steps;
  FlagTimeOrder = s.timeOrder;
  CrankNicols = s.crankNicols;
  makeBox({1}, {1}, {1});
  Equation = 8;
  Table1<double> older;
  older.allocate(MaxCeller);
  Cf_old2.point(older);
  Cf_old[1] = 1;
  older[1] = std::exp(TimeStep);
  for (int n = 0; n < steps; ++n) step(1, [] { Cap[1] += 1000.0 * 1.0; }, older);
  const double f = Cf[1];
  Cf_old2.pointOwn();
  return f;
}

TEST_F(TransientTerm, SingleCellDecaysExponentially) {
  // The loss is implicit, so only the first-order and the three-level forms apply here.
  expectOrder([](const Scheme& s, int n) { return std::fabs(decay(s, n) - std::exp(-1.0)); },
              10, {kSchemes[0], kSchemes[1]});
  // By hand: first order gives 1/(1 + dt) per step; the backward form's first step is
  // (2 - 0.5 exp(dt)) / (1.5 + dt).
  EXPECT_NEAR(decay(kSchemes[0], 10), std::pow(1 / 1.1, 10), 1e-12);
  EXPECT_NEAR(decay(kSchemes[1], 1), (2 - 0.5 * std::exp(1.0)) / 2.5, 1e-12);
}

TEST_F(TransientTerm, DiffusionModeDecaysAtItsRate) {
  // Eight 1 m cells in a row, closed ends, viscosity 1000 kg/(m s): neighbour coefficients
  // D = 1000 kg/s, cell mass M = 1000 kg. The mode cos(pi (i - 1/2) / 8) of the closed row
  // decays as exp(-mu t) with mu = 2 D (1 - cos(pi / 8)) / M.
  const int n = 8;
  const double mu = 2 * (1 - std::cos(kPi / n));
  const double T = 2.0;
  const auto mode = [n](int c) { return std::cos(kPi * (c - 0.5) / n); };
  const ErrorOfRun run = [&](const Scheme& s, int steps) {
    SetArraysZero();
    setDefaults();
    TimeStep = T / steps;
    FlagTimeOrder = s.timeOrder;
    CrankNicols = s.crankNicols;
    sou[8] = s.upwind;
    makeBox(std::vector<double>(n, 1.0), {1}, {1});
    Equation = 8;
    for (int c = 1; c <= n; ++c) Cgamma[c] = CgammaV[c] = 1000;
    Table1<double> older;
    older.allocate(MaxCeller);
    Cf_old2.point(older);
    for (int c = 1; c <= n; ++c) {
      Cf_old[c] = mode(c);
      older[c] = mode(c) * std::exp(mu * TimeStep);
    }
    for (int k = 0; k < steps; ++k) step(n, [] {}, older);
    Cf_old2.pointOwn();
    double e = 0;
    for (int c = 1; c <= n; ++c) e = std::max(e, std::fabs(Cf[c] - mode(c) * std::exp(-mu * T)));
    return e;
  };
  expectOrder(run, 10, kSchemes);
  // The second-order upwind coefficients are pure diffusion without flow: the same rates.
  expectOrder(run, 10,
              {{"first order, second-order upwind", 0, 0.0, 1, 1},
               {"Crank-Nicolson, second-order upwind", 0, 0.5, 2, 1}});
}

TEST_F(TransientTerm, CrankNicolsonSettlesAtTheSteadyProfile) {
  // Six cells in a row, the first held at 0 and the last at 1: the steady state is linear in
  // the cell centres, f_i = (i - 1) / 5, whatever the time scheme. Without the old central
  // term in the explicit half the row settles elsewhere.
  const int n = 6;
  for (double cn : {0.5, 0.3, 0.7}) {
    SCOPED_TRACE(cn);
    SetArraysZero();
    setDefaults();
    TimeStep = 1;
    CrankNicols = cn;
    makeBox(std::vector<double>(n, 1.0), {1}, {1});
    Equation = 8;
    for (int c = 1; c <= n; ++c) Cgamma[c] = 1000;
    const auto ends = [] {
      Cap[1] += 1e20;
      Cap[6] += 1e20;
      Csource[6] += 1e20 * 1.0;
    };
    Table1<double> older;
    older.allocate(MaxCeller);
    for (int k = 0; k < 300; ++k) step(n, ends, older);
    for (int c = 1; c <= n; ++c) EXPECT_NEAR(Cf[c], (c - 1) / 5.0, 1e-9) << "cell " << c;
  }
}

TEST_F(TransientTerm, CrankNicolsonWithSecondOrderUpwindSettlesAtTheSteadyBalance) {
  // Seven 1 m cells in a row, viscosity 1000 kg/(m s) (D = 1000 kg/s per face) and a flux
  // F = 1000 kg/s eastward, the first cell held at 0 and the last at 1. In the steady state the
  // face value of the upwind cell U is extrapolated as 1.5 f_U - 0.5 f_UU (equal cells), so
  // the balance of cell i, inflow minus outflow of convection plus diffusion, reads
  //   F (1.5 f_i-1 - 0.5 f_i-2) - F (1.5 f_i - 0.5 f_i-1) + D (f_i-1 - f_i) + D (f_i+1 - f_i)
  // for i = 3..6, and for cell 2, whose inflow face has no cell behind it (plain upwind),
  //   F f_1 - F (1.5 f_2 - 0.5 f_1) + D (f_1 - f_2) + D (f_3 - f_2).
  // Whatever the time scheme, the march must end where these vanish.
  // (Weights above 0.5 put more on the old level than on the new and are stable only for
  // short steps.)
  const int n = 7;
  const double D = 1000, F = 1000;
  for (double cn : {0.5, 0.3}) {
    SCOPED_TRACE(cn);
    SetArraysZero();
    setDefaults();
    TimeStep = 1;
    CrankNicols = cn;
    sou[8] = 1;
    makeBox(std::vector<double>(n, 1.0), {1}, {1});
    Equation = 8;
    for (int c = 1; c <= n; ++c) Cgamma[c] = 1000;
    for (int c = 1; c <= n; ++c) Fflux[Cflatee[c]] = F;
    const auto ends = [] {
      Cap[1] += 1e20;
      Cap[7] += 1e20;
      Csource[7] += 1e20 * 1.0;
    };
    Table1<double> older;
    older.allocate(MaxCeller);
    for (int k = 0; k < 400; ++k) step(n, ends, older);
    const auto f = [](int c) { return Cf[c]; };
    EXPECT_NEAR(f(1), 0.0, 1e-12);
    EXPECT_NEAR(f(7), 1.0, 1e-12);
    EXPECT_NEAR(F * f(1) - F * (1.5 * f(2) - 0.5 * f(1)) + D * (f(1) - f(2)) + D * (f(3) - f(2)),
                0.0, 1e-6);
    for (int i = 3; i <= 6; ++i)
      EXPECT_NEAR(F * (1.5 * f(i - 1) - 0.5 * f(i - 2)) - F * (1.5 * f(i) - 0.5 * f(i - 1)) +
                      D * (f(i - 1) - f(i)) + D * (f(i + 1) - f(i)),
                  0.0, 1e-6)
          << "cell " << i;
  }
}

// Block 1 of five columns across (j1 = 2 .. j2 = 6), three along, two cells high.
TEST_F(TransientTerm, SideDampingStiffensTheSideRowsOnce) {
  struct Case {
    const char* what;
    int ny, equation, flag;
    std::vector<double> factor;  // by column j - j1
    bool chunks;
  };
  const std::vector<Case> cases = {
      {"velocities", 5, 2, 1, {4, 2, 1, 2, 4}, false},
      {"velocities, chunked", 5, 3, 1, {4, 2, 1, 2, 4}, true},
      {"k", 5, 5, 2, {4, 2, 1, 2, 4}, false},
      {"k is not damped by 1", 5, 5, 1, {1, 1, 1, 1, 1}, false},
      {"velocities are not damped by 2", 5, 1, 2, {1, 1, 1, 1, 1}, false},
      {"three columns: the middle one twice", 3, 1, 1, {4, 4, 4}, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    SetArraysZero();
    setDefaults();
    test::Box b = makeBox({1, 1, 1}, std::vector<double>(k.ny, 1.0), {1, 1});
    Equation = k.equation;
    FlagSideDamp = k.flag;
    for (int c = 1; c <= NoCells; ++c) Cap[c] = 1;
    if (k.chunks) {
#pragma omp parallel num_threads(2)
      {
        const int t = omp_get_thread_num(), n = omp_get_num_threads();
        const int per = NoCells / n;
        addTimestep(1 + t * per, t == n - 1 ? NoCells : (t + 1) * per, Share::Chunk);
      }
      addTimestepAfterChunks();
    } else {
      addTimestep(1, NoCells);
    }
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < k.ny; ++j)
        for (int z = 0; z < 2; ++z)
          EXPECT_EQ(Cap[b.cell(i, j, z)], k.factor[j]) << i << " " << j << " " << z;
  }
}

TEST_F(TransientTerm, NarrowCellsTakeTheirNeighboursCentralCoefficient) {
  struct Case {
    const char* what;
    std::vector<double> cap, kdist, expected;  // cells 1..3 of a row
  };
  const std::vector<Case> cases = {
      // Cell 1 has one neighbour, half its height: at least 10 x 0.5 / 1.
      {"raised", {1, 10, 0}, {0.5, 1, 1}, {5, 10, 10}},
      {"kept when larger", {7, 10, 0}, {0.5, 1, 1}, {7, 14, 14}},
      // In ascending order cell 1 reads cell 2 before cell 2 is raised by cell 3.
      {"ascending order", {1, 1, 100}, {1, 1, 1}, {1, 100, 100}},
  };
  for (const Case& k : cases) {
    for (bool chunks : {false, true}) {
      SCOPED_TRACE(testing::Message() << k.what << (chunks ? ", chunked" : ""));
      SetArraysZero();
      setDefaults();
      makeBox({1, 1, 1}, {1}, {1});
      for (int c = 1; c <= 3; ++c) {
        Cap[c] = k.cap[c - 1];
        Ckdist[c] = k.kdist[c - 1];
      }
      if (chunks) {
#pragma omp parallel num_threads(3)
        addAp(omp_get_thread_num() + 1, omp_get_thread_num() + 1, Share::Chunk);
        addApAfterChunks(1, 3);
      } else {
        addAp(1, 3);
      }
      for (int c = 1; c <= 3; ++c) EXPECT_NEAR(Cap[c], k.expected[c - 1], 1e-12) << c;
    }
  }
  // A cell with three horizontal neighbours keeps its tiny central coefficient, and so does
  // one with four.
  SetArraysZero();
  setDefaults();
  test::Box b = makeBox({1, 1, 1}, {1, 1, 1}, {1});
  for (int c = 1; c <= NoCells; ++c) Cap[c] = 100;
  const int edge = b.cell(1, 0, 0), middle = b.cell(1, 1, 0), corner = b.cell(0, 0, 0);
  Cap[edge] = Cap[middle] = Cap[corner] = 1e-3;
  addAp(1, NoCells);
  EXPECT_EQ(Cap[edge], 1e-3);
  EXPECT_EQ(Cap[middle], 1e-3);
  EXPECT_EQ(Cap[corner], 100);
}

}  // namespace
}  // namespace qorva
