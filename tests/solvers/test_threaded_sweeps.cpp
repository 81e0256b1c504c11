// The sweep methods of F 164 (GaussN): hand-worked single sweeps that tell the methods apart,
// exact solutions for every method and thread count, methods whose results cannot depend on
// the thread count, and the column-aligned chunk tables.
#include <vector>

#include "solvers/solver_systems.h"
#include "solvers/solvers.h"

namespace qorva::test {
namespace {

class SolverThreaded : public SolverSystem {
 protected:
  // Cells 1 and 2 with Cap 2, a coefficient 1 towards each other and no source, starting from
  // (0, 1): side by side in two columns, or stacked in one column.
  static void pair(bool stacked) {
    link(stacked ? Block{1, 1, 2} : Block{2, 1, 1});
    for (int c = 1; c <= 2; ++c) {
      Cae[c] = Ccelle[c] ? 1.0 : 0.0;
      Caw[c] = Ccellw[c] ? 1.0 : 0.0;
      Cat[c] = Ccellt[c] ? 1.0 : 0.0;
      Cab[c] = Ccellb[c] ? 1.0 : 0.0;
      Cap[c] = 2.0;
      Csource[c] = 0.0;
    }
    Cf[0] = 0.0;
    Cf[1] = 0.0;
    Cf[2] = 1.0;
  }

  // Result of `sweeps` sweeps of variant `rap` with `threads` solver threads on the block.
  static std::vector<double> run(const Block& b, bool second, int rap, int threads, int sweeps) {
    setUpBlock(b, second);
    FlagRapSolver = rap;
    useThreads(threads);
    GaussN(WCStart, WCEnd, sweeps);
    return solution(b.cells());
  }
};

// One sweep from (0, 1). Gauss-Seidel: forward x1 = 1/2, x2 = 1/4; backward x2 = 1/4,
// x1 = 1/8. Jacobi: x1 = 1/2, x2 = 0, then x1 = 0, x2 = 1/4. Column half-steps are
// Gauss-Seidel along a column and Jacobi across columns.
TEST_F(SolverThreaded, OneSweepByHand) {
  allocate();
  struct Case {
    int rap;
    bool stacked;
    double x1, x2;
  };
  const Case cases[] = {
      {25, false, 0.125, 0.25}, {25, true, 0.125, 0.25},  {28, false, 0.125, 0.25},
      {27, false, 0.0, 0.25},   {27, true, 0.0, 0.25},    {29, false, 0.0, 0.25},
      {30, false, 0.0, 0.25},   {30, true, 0.125, 0.25},  {31, false, 0.0, 0.25},
      {31, true, 0.125, 0.25},  {32, true, 0.125, 0.25},  {33, false, 0.0, 0.25},
      {21, true, 0.125, 0.25},  {40, false, 0.125, 0.25},
  };
  useThreads(1);
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message()
                 << "F 164 " << k.rap << (k.stacked ? " stacked" : " side by side"));
    pair(k.stacked);
    FlagRapSolver = k.rap;
    GaussN(1, 2, 1);
    EXPECT_EQ(Cf[1], k.x1);
    EXPECT_EQ(Cf[2], k.x2);
  }
}

// With the second-order scheme F 164 28 makes serial Jacobi pairs instead of Gauss-Seidel in
// each thread's block. From (0, 1): forward step (1/2, 0), backward step (0, 1/4); a second
// sweep gives (1/8, 0), then (0, 1/16). Gauss-Seidel would give (1/8, 1/4) after one sweep.
TEST_F(SolverThreaded, SecondOrderMethod28IsTheSerialJacobiPair) {
  sou[1] = 1;
  allocate();
  struct Case {
    int sweeps, threads;
    double x1, x2;
  };
  const Case cases[] = {{1, 1, 0.0, 0.25}, {1, 2, 0.0, 0.25}, {2, 2, 0.0, 0.0625}};
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.sweeps << " sweeps, " << k.threads << " threads");
    pair(false);
    FlagRapSolver = 28;
    useThreads(k.threads);
    GaussN(1, 2, k.sweeps);
    EXPECT_EQ(Cf[1], k.x1);
    EXPECT_EQ(Cf[2], k.x2);
    EXPECT_EQ(CnInvAp[1], 0.5);
  }
}

// Every method reaches the exact solution. The methods whose threads read values that other
// threads are writing (Gauss-Seidel in place per block, column half-steps on plain blocks)
// do so with any thread count; the others cannot depend on it (next test).
TEST_F(SolverThreaded, EveryMethodReachesTheChosenSolution) {
  const Block b{4, 3, 3};
  struct Case {
    int rap, threads;
  };
  const Case cases[] = {{21, 1}, {25, 1}, {27, 1}, {28, 1}, {28, 2}, {28, 8}, {29, 1}, {30, 1},
                        {30, 2}, {30, 8}, {31, 1}, {31, 3}, {32, 1}, {33, 1}, {34, 1}};
  inBothForms([&](bool second) {
    for (const Case& k : cases) {
      SCOPED_TRACE(testing::Message() << (second ? "thirteen" : "seven") << "-point, F 164 "
                                      << k.rap << ", " << k.threads << " threads");
      const std::vector<double> x = chosen(b);
      run(b, second, k.rap, k.threads, 30);
      EXPECT_LT(maxError(x), 1e-9);
    }
  });
}

// Jacobi half-steps and column half-steps on column-aligned chunks are free of races: a few
// sweeps (far from converged) give the same numbers with any thread count, and the chunked
// column variants the same as the column half-steps of one thread on one block.
TEST_F(SolverThreaded, RaceFreeMethodsDoNotDependOnTheThreadCount) {
  const Block b{4, 3, 3};
  inBothForms([&](bool second) {
    const std::vector<double> jacobi = run(b, second, 27, 1, 2);
    const std::vector<double> columns = run(b, second, 30, 1, 2);
    EXPECT_NE(jacobi, columns);
    for (int threads : {1, 2, 8}) {
      SCOPED_TRACE(threads);
      EXPECT_EQ(run(b, second, 27, threads, 2), jacobi);
      EXPECT_EQ(run(b, second, 29, threads, 2), jacobi);
      EXPECT_EQ(run(b, second, 31, threads, 2), columns);
      EXPECT_EQ(run(b, second, 32, threads, 2), columns);
      EXPECT_EQ(run(b, second, 33, threads, 2), columns);
    }
    // G 50 switch 8 leaves one chunk for a full team.
    FlagOpenMP[8] = 1;
    EXPECT_EQ(run(b, second, 31, 8, 2), columns);
    FlagOpenMP[8] = 0;
  });
}

// More solver threads than the 32 chunks a fixed table of 33 entries could describe: 40
// threads over 40 columns of two cells give 40 chunks of one column each.
TEST_F(SolverThreaded, MoreThan32ThreadsGetAChunkEach) {
  allocate();
  const Block b{8, 5, 2};
  const std::vector<double> columns = run(b, false, 30, 1, 2);
  EXPECT_EQ(run(b, false, 31, 40, 2), columns);
  EXPECT_EQ(run(b, false, 33, 40, 2), columns);
  const std::vector<double> x = chosen(b);
  run(b, false, 31, 40, 30);
  EXPECT_LT(maxError(x), 1e-9);

  ChunkTable t;
  t.build(1, 80, 40, 2);
  ASSERT_EQ(t.count(), 40);
  for (int p = 1; p <= 40; ++p) {
    EXPECT_EQ(t.lo(p), 2 * p - 1);
    EXPECT_EQ(t.hi(p), 2 * p);
  }
}

// Cells 1..5 in a row, only 2..4 solved: cells 1 and 5 hold 1 and 5 and keep them, so the
// solution is 2, 3, 4. The second copy holds stale numbers from earlier use; the two-copy
// methods must still see the current values of the cells outside the range.
TEST_F(SolverThreaded, NeighboursOutsideTheRangeKeepTheirCurrentValues) {
  allocate();
  for (int rap : {21, 25, 27, 28, 29, 30, 31, 32, 33})
    for (int threads : {1, 2}) {
      SCOPED_TRACE(testing::Message() << "F 164 " << rap << ", " << threads << " threads");
      laplaceRow(5);
      Cf[1] = 1.0;
      Cf[5] = 5.0;
      for (int c = 1; c <= 5; ++c) Cfn[c] = 1e6;
      FlagRapSolver = rap;
      useThreads(threads);
      GaussN(2, 4, 60);
      EXPECT_EQ(Cf[1], 1.0);
      EXPECT_EQ(Cf[5], 5.0);
      for (int c = 2; c <= 4; ++c) EXPECT_NEAR(Cf[c], c, 1e-12) << "cell " << c;
    }
}

TEST_F(SolverThreaded, NoSweepsLeaveTheSolutionAlone) {
  allocate();
  const Block b{3, 2, 2};
  for (int rap : {21, 27, 28, 29, 30, 31, 32, 33})
    for (int sweeps : {0, -1}) {
      SCOPED_TRACE(testing::Message() << "F 164 " << rap << ", sweeps " << sweeps);
      setUpBlock(b, false);
      for (int c = 1; c <= b.cells(); ++c) Cf[c] = 0.5 * c;
      FlagRapSolver = rap;
      useThreads(2);
      GaussN(1, b.cells(), sweeps);
      for (int c = 1; c <= b.cells(); ++c) EXPECT_EQ(Cf[c], 0.5 * c);
    }
}

// The serial variants keep 1/Cap for the range and multiply by it.
TEST_F(SolverThreaded, SerialVariantsKeepTheReciprocals) {
  allocate();
  const Block b{2, 2, 2};
  setUpBlock(b, false);
  FlagRapSolver = 25;
  GaussN(2, 7, 1);
  EXPECT_EQ(CnInvAp[1], 0.0);
  EXPECT_EQ(CnInvAp[8], 0.0);
  for (int c = 2; c <= 7; ++c) EXPECT_EQ(CnInvAp[c], 1.0 / Cap[c]);
}

// The serial variants with multi-neighbour lists make one forward and one backward Jacobi
// step with the listed neighbours; the threaded ones do not read the lists. Cell 1 faces the
// listed cells 3 and 4 (values 4 and 8, coefficients 0.5 and 0.25) on its east side while its
// single east neighbour is cell 2 (value 100, coefficient 1).
TEST_F(SolverThreaded, MultiNeighbourListsOnlyInTheSerialVariants) {
  QNFlag = 1;
  allocate();
  struct Case {
    int rap;
    double u;
  };
  // Serial: (1 + 0.5*4 + 0.25*8) / 2 = 2.5; threaded: (1 + 1*100) / 2 = 50.5.
  const Case cases[] = {{21, 2.5},  {25, 2.5},  {34, 2.5}, {27, 50.5},
                        {29, 50.5}, {30, 50.5}, {31, 50.5}};
  useThreads(2);
  for (const Case& k : cases) {
    SCOPED_TRACE(k.rap);
    NoCells = 4;
    Cap[1] = 2.0;
    Csource[1] = 1.0;
    Ccelle[1] = 2;
    Cae[1] = 1.0;
    Cncelle[1] = 2;
    Cqncelle[1][0] = 3;
    Cqnae[1][0] = 0.5;
    Cqnae[1][1] = 0.25;
    Cf[1] = 0.0;
    Cf[2] = 100.0;
    Cf[3] = 4.0;
    Cf[4] = 8.0;
    FlagRapSolver = k.rap;
    GaussN(1, 1, 3);
    EXPECT_EQ(Cf[1], k.u);
  }
}

class SolverChunks : public SolverSystem {};

TEST_F(SolverChunks, BoundsMoveUpToTheTopOfTheirColumn) {
  allocate();
  struct Case {
    const char* what;
    Block grid;
    int first, last, n, size;
    std::vector<int> entries;
  };
  const Case cases[] = {
      // Bound 1 starts at 3 and moves up to 5; bound 2 starts at 6 and moves up to 10; the
      // third chunk is empty.
      {"two columns of five, three chunks", {2, 1, 5}, 1, 10, 3, 3, {0, 5, 10, 10}},
      // More chunks than cells: every bound but the last stays at first - 1.
      {"size 0", {2, 1, 2}, 1, 4, 6, 0, {0, 0, 0, 0, 0, 0, 4}},
      // A range that ends inside a column: no bound passes the end of the range.
      {"range ends inside a column", {1, 1, 6}, 1, 4, 2, 2, {0, 4, 4}},
      {"range starts in the second column", {3, 1, 3}, 4, 9, 2, 3, {3, 6, 9}},
      {"one chunk", {2, 1, 3}, 1, 6, 1, 6, {0, 6}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    link(k.grid);
    ChunkTable t;
    t.build(k.first, k.last, k.n, k.size);
    ASSERT_EQ(t.count() + 1, static_cast<int>(k.entries.size()));
    for (int e = 0; e <= t.count(); ++e) EXPECT_EQ(t.entry(e), k.entries[e]) << "entry " << e;
  }
}

TEST_F(SolverChunks, SixteenEqualShares) {
  allocate();
  // 100 single-cell columns: bound t = trunc(6.25 t), no moves.
  link({100, 1, 1});
  ChunkTable t;
  t.buildSixteenths(1, 100);
  const int entries[] = {0, 6, 12, 18, 25, 31, 37, 43, 50, 56, 62, 68, 75, 81, 87, 93, 100};
  ASSERT_EQ(t.count(), 16);
  for (int e = 0; e <= 16; ++e) EXPECT_EQ(t.entry(e), entries[e]) << "entry " << e;
  // Columns of four (cells 1..4, 5..8, ...), range 11..50: bound t starts at
  // 10 + trunc(2.5 t) and moves up to the next multiple of 4.
  link({13, 1, 4});
  t.buildSixteenths(11, 50);
  const int moved[] = {10, 12, 16, 20, 20, 24, 28, 28, 32, 32, 36, 40, 40, 44, 48, 48, 50};
  for (int e = 0; e <= 16; ++e) EXPECT_EQ(t.entry(e), moved[e]) << "entry " << e;
}

}  // namespace
}  // namespace qorva::test
