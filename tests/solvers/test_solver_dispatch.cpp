// The solver dispatch: which method runs, how many sweeps, the threaded sweep of F 206, the
// array that Cf designates, and ranges the arrays cannot hold.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "solvers/solver_systems.h"
#include "solvers/solvers.h"
#include "state/options_f200_249.h"
#include "state/options_f300_349.h"

namespace qorva::test {
namespace {

class SolverDispatch : public SolverSystem {
 protected:
  // Cells 1 and 2 side by side, Cap 2, coefficient 1 towards each other, no source, starting
  // from (0, 1). Each symmetric sweep takes (a, 2a) to (a/4, a/2), the first one to
  // (1/8, 1/4): after n sweeps x1 = 2^-(2n+1), x2 = 2^-2n, exactly.
  static void pair() {
    link({2, 1, 1});
    Cae[1] = Caw[2] = 1.0;
    Cap[1] = Cap[2] = 2.0;
    Csource[1] = Csource[2] = 0.0;
    Cf[1] = 0.0;
    Cf[2] = 1.0;
    WCStart = 1;
    WCEnd = 2;
  }
};

TEST_F(SolverDispatch, MethodForTheSettings) {
  struct Case {
    const char* what;
    int equation, fast, waterSolveNew, threads, openmp8, rap, thixo, thixoComputing;
    SolverMethod method;
  };
  using M = SolverMethod;
  const Case cases[] = {
      {"defaults", 1, 0, 0, 0, 0, 0, 0, 0, M::Serial},
      {"solver threads", 1, 0, 0, 2, 0, 0, 0, 0, M::Chunked},
      {"threads switched off by G 50", 1, 0, 0, 2, 1, 0, 0, 0, M::Serial},
      {"F 164 20 is no variant", 1, 0, 0, 0, 0, 20, 0, 0, M::Serial},
      {"F 164 21", 1, 0, 0, 0, 0, 21, 0, 0, M::Variants},
      {"F 164 27 with G 50", 4, 0, 0, 2, 1, 27, 0, 0, M::Variants},
      {"mud flow before F 164", 1, 0, 0, 2, 0, 31, 1, 1, M::Serial},
      {"mud model, mud flow not computing", 1, 0, 0, 0, 0, 31, 1, 0, M::Variants},
      {"fast driver, no threads", 1, 1, 0, 0, 0, 0, 0, 0, M::FiveField},
      // The five fields are swept whatever the thread settings, F 164 or the mud flow.
      {"fast driver with threads", 1, 1, 0, 2, 0, 0, 0, 0, M::FiveField},
      {"fast driver with G 50", 1, 1, 0, 0, 1, 0, 0, 0, M::FiveField},
      {"fast driver with threads and G 50", 1, 1, 0, 4, 1, 0, 0, 0, M::FiveField},
      {"fast driver with F 164 31", 1, 1, 0, 0, 0, 31, 0, 0, M::FiveField},
      {"fast driver in mud flow", 1, 1, 0, 0, 0, 0, 1, 1, M::FiveField},
      {"fast driver of F 170 2", 1, 2, 0, 0, 0, 0, 0, 0, M::FiveField},
      // The fast driver's pressure correction and components are solved in Cf.
      {"fast driver, pressure correction", 4, 1, 0, 0, 0, 0, 0, 0, M::Serial},
      {"fast driver, pressure correction, threads", 4, 1, 0, 2, 0, 0, 0, 0, M::Chunked},
      {"fast driver, component", 8, 1, 0, 0, 0, 0, 0, 0, M::Serial},
      {"F 170 negative", 1, -1, 0, 0, 0, 0, 0, 0, M::Serial},
      {"F 328 runs the restructured driver", 1, 1, 1, 0, 0, 0, 0, 0, M::Serial},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    Equation = k.equation;
    FlagFastWatersolve = k.fast;
    FlagWaterSolveNew = k.waterSolveNew;
    NoProcessesSolver = k.threads;
    FlagOpenMP[8] = k.openmp8;
    FlagRapSolver = k.rap;
    FlagThixo = k.thixo;
    FlagThixoIsComputing = k.thixoComputing;
    EXPECT_EQ(solverMethod(), k.method);
  }
}

TEST_F(SolverDispatch, SweepCountsPerEquation) {
  allocate();
  struct Case {
    const char* what;
    int equation, sweepsOfIt, threads, rap;
    int n;  // sweeps made
  };
  const Case cases[] = {
      {"default velocity", 1, 1, 0, 0, 1},
      {"K 4 velocity 5", 1, 5, 0, 0, 5},
      {"pressure correction 5 x 3", 4, 5, 0, 0, 15},
      {"pressure correction, serial variant", 4, 5, 0, 25, 15},
      {"epsilon 3", 6, 3, 0, 0, 3},
      // Fewer cells than chunks: one chunk, the serial sweep.
      {"pressure correction, 4 threads", 4, 2, 4, 0, 6},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    setDefaults();
    Equation = k.equation;
    sweeps[k.equation] = k.sweepsOfIt;
    FlagRapSolver = k.rap;
    useThreads(k.threads);
    pair();
    solver();
    EXPECT_EQ(Cf[1], std::ldexp(1.0, -(2 * k.n + 1)));
    EXPECT_EQ(Cf[2], std::ldexp(1.0, -2 * k.n));
  }
}

// A range of fewer cells than the threaded sweep has chunks is one chunk: the result is that
// of the serial sweep, to the last bit, whatever the thread count.
TEST_F(SolverDispatch, FewerCellsThanChunksIsTheSerialSweep) {
  allocate();
  const Block b{2, 2, 2};
  setUpBlock(b, false);
  sweeps[1] = 2;
  Gauss(1, b.cells(), 2);
  const std::vector<double> serial = solution(b.cells());
  setUpBlock(b, false);
  useThreads(12);
  solver();
  EXPECT_EQ(solution(b.cells()), serial);
}

TEST_F(SolverDispatch, EmptyRangeChangesNothing) {
  allocate();
  for (int threads : {0, 3}) {
    for (int rap : {0, 27, 31}) {
      SCOPED_TRACE(testing::Message() << threads << " threads, F 164 " << rap);
      pair();
      WCStart = 2;
      WCEnd = 1;
      useThreads(threads);
      FlagRapSolver = rap;
      solver();
      EXPECT_EQ(Cf[1], 0.0);
      EXPECT_EQ(Cf[2], 1.0);
    }
  }
}

// The drivers point Cf at the variable being solved; the solution stays in that array.
TEST_F(SolverDispatch, SolvesTheArrayThatCfDesignates) {
  allocate();
  pair();  // leaves (0, 1) in the own array
  Cxvel[1] = 0.0;
  Cxvel[2] = 1.0;
  Cf.point(Cxvel);
  solver();
  EXPECT_EQ(Cxvel[1], 0.125);
  EXPECT_EQ(Cxvel[2], 0.25);
  EXPECT_EQ(CfOwn[1], 0.0);
  EXPECT_EQ(CfOwn[2], 1.0);

  Cconc[1][1] = 0.0;
  Cconc[1][2] = 1.0;
  Cf.point(Cconc[1]);
  solver();
  EXPECT_EQ(Cconc[1][1], 0.125);
  EXPECT_EQ(Cconc[0][1], 0.0);
  EXPECT_EQ(Cxvel[1], 0.125);

  Cf.pointOwn();
  solver();
  EXPECT_EQ(CfOwn[1], 0.125);
  // Releasing the arrays takes the reference back to the own array.
  Cf.point(Cxvel);
  SetArraysZero();
  EXPECT_TRUE(Cf.isOwn());
  EXPECT_FALSE(Cf);
}

TEST_F(SolverDispatch, RangeOutsideTheArraysEndsTheRun) {
  allocate();
  struct Case {
    int first, last;
  };
  const Case cases[] = {{1, 200}, {0, 5}, {-3, 2}, {150, 400}};
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.first << ".." << k.last);
    std::remove("boogie");
    WCStart = k.first;
    WCEnd = k.last;
    try {
      solver();
      ADD_FAILURE() << "the run went on";
    } catch (const RunEnd& e) {
      EXPECT_EQ(e.status, 1);
    }
    EXPECT_EQ(log(), strf("Error: solver range %d to %d outside the cell arrays (200 cells)\n",
                          k.first, k.last));
  }
  // Not allocated at all.
  SetArraysZero();
  WCStart = 1;
  WCEnd = 2;
  std::remove("boogie");
  EXPECT_THROW(solver(), RunEnd);
}

}  // namespace
}  // namespace qorva::test
