// The threaded sweep of F 206: the fixed chunks and their colours worked out by hand, the order
// of the cells it gives, the same bits for any thread count, and the solution of the system.
#include <cmath>
#include <vector>

#include "solvers/solver_systems.h"
#include "solvers/solvers.h"
#include "solvers/sweep_kernels.h"

namespace qorva::test {
namespace {

class ColouredSweep : public SolverSystem {
 protected:
  // Cuts first..last and notes, for every cell, the cells the sweeps may read when they update
  // it: its first neighbours, the cells beyond them with `second`, the listed neighbours with
  // `lists`.
  static void colourChunks(ColouredChunks& chunks, int first, int last, bool second,
                           int sweeps = 1, bool lists = false) {
    chunks.cut(first, last);
    const kernel::Reads reads = kernel::readsOf(second, lists);
    for (int p = 1; p <= chunks.count(); ++p) chunks.noteReads(p, reads);
    chunks.colour(sweeps);
  }

  // Result of `n` sweeps of the threaded sweep with `threads` F 206 threads, from 0.
  static std::vector<double> threaded(const Block& b, bool second, int threads, int n) {
    setUpBlock(b, second);
    sweeps[1] = n;
    useThreads(threads);
    solver();
    return solution(b.cells());
  }
};

// 64 single-cell columns in a row: 32 chunks of two cells, each reading its two neighbouring
// chunks, so the colours alternate. Two sweeps take colour 0 up, 1 up, 1 down, 0 down, twice;
// the steps of one colour in a row merge.
TEST_F(ColouredSweep, ChunksOfARowAlternateTwoColours) {
  allocate();
  link({64, 1, 1});
  ColouredChunks chunks;
  colourChunks(chunks, 1, 64, false, 2);
  ASSERT_EQ(chunks.count(), 32);
  ASSERT_EQ(chunks.colours(), 2);
  for (int p = 1; p <= 32; ++p) {
    EXPECT_EQ(chunks.lo(p), 2 * p - 1);
    EXPECT_EQ(chunks.hi(p), 2 * p);
    EXPECT_EQ(chunks.colourOf(p), (p - 1) % 2) << "chunk " << p;
  }
  struct Step {
    int colour, steps;
    bool up;
  };
  const Step expected[] = {{0, 1, true}, {1, 2, true}, {0, 2, false}, {1, 2, true}, {0, 1, false}};
  ASSERT_EQ(chunks.phases().size(), std::size(expected));
  for (std::size_t s = 0; s < std::size(expected); ++s) {
    EXPECT_EQ(chunks.phases()[s].colour, expected[s].colour) << "phase " << s;
    EXPECT_EQ(chunks.phases()[s].steps, expected[s].steps) << "phase " << s;
    EXPECT_EQ(chunks.phases()[s].up, expected[s].up) << "phase " << s;
  }
}

TEST_F(ColouredSweep, ColoursOfSmallChunks) {
  allocate();
  struct Case {
    const char* what;
    Block grid;
    bool second;
    int colours;
    int (*colourOf)(int p);  // chunk p holds cell p
  };
  const Case cases[] = {
      // 8 x 4 single cells: chunk p is cell p = 4i + j + 1, a checkerboard.
      {"checkerboard", {8, 4, 1}, false, 2, [](int p) { return ((p - 1) / 4 + (p - 1) % 4) % 2; }},
      // A row of 32 cells that also reads the cells two away: three colours in turn.
      {"second neighbours", {32, 1, 1}, true, 3, [](int p) { return (p - 1) % 3; }},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    link(k.grid);
    ColouredChunks chunks;
    colourChunks(chunks, 1, 32, k.second);
    ASSERT_EQ(chunks.count(), 32);
    EXPECT_EQ(chunks.colours(), k.colours);
    for (int p = 1; p <= 32; ++p) {
      ASSERT_EQ(chunks.lo(p), p);
      EXPECT_EQ(chunks.colourOf(p), k.colourOf(p)) << "chunk " << p;
    }
  }
}

// Columns stay whole; a chunk never shares a colour with a chunk it reads or that reads it;
// cells outside the range (here column 0 and the last column) make no conflict.
TEST_F(ColouredSweep, ChunksKeepColumnsWholeAndColoursApart) {
  allocate();
  const Block b{10, 3, 4};  // 30 columns of four cells
  link(b);
  ColouredChunks chunks;
  colourChunks(chunks, 5, 116, true);
  int cells = 0;
  for (int p = 1; p <= chunks.count(); ++p) {
    if (chunks.lo(p) > chunks.hi(p)) {
      EXPECT_EQ(chunks.colourOf(p), -1);
      continue;
    }
    cells += chunks.hi(p) - chunks.lo(p) + 1;
    EXPECT_EQ((chunks.lo(p) - 1) % 4, 0) << "chunk " << p << " starts inside a column";
    EXPECT_EQ(chunks.hi(p) % 4, 0) << "chunk " << p << " ends inside a column";
    for (int q = 1; q < p; ++q) {
      if (chunks.lo(q) > chunks.hi(q) || chunks.colourOf(q) != chunks.colourOf(p)) continue;
      for (int c = chunks.lo(p); c <= chunks.hi(p); ++c)
        for (const Table1<int>* d : {&Ccelle, &Ccellw, &Ccelln, &Ccells}) {
          for (int m : {(*d)[c], (*d)[(*d)[c]]}) {
            EXPECT_FALSE(m >= chunks.lo(q) && m <= chunks.hi(q))
                << "chunks " << q << " and " << p << " share colour " << chunks.colourOf(p);
          }
        }
    }
  }
  EXPECT_EQ(cells, 112);
}

// Each cell takes its west neighbour's value; cell 1 holds the source 1. A serial forward pass
// carries the 1 through the whole row. The threaded sweep takes the 32 chunks of two cells
// by colour: colour 0 up (chunk 3, cells 5 and 6, still sees 0 in cell 4), colour 1 up and
// down (chunk 2 carries the 1 to cell 4), colour 0 down (cell 5 takes cell 4's 1, after cell 6
// took cell 5's old 0). The 1 moves four cells per sweep: cells 1 .. 4n + 1 after n sweeps,
// whatever the thread count.
TEST_F(ColouredSweep, OrderOfTheCellsByHand) {
  allocate();
  link({64, 1, 1});
  for (int sweepCount : {1, 3}) {
    for (int threads : {1, 2, 3, 8}) {
      SCOPED_TRACE(testing::Message() << sweepCount << " sweeps, " << threads << " threads");
      for (int c = 1; c <= 64; ++c) {
        Caw[c] = Ccellw[c] ? 1.0 : 0.0;
        Cae[c] = Can[c] = Cas[c] = Cat[c] = Cab[c] = 0.0;
        Cap[c] = 1.0;
        Csource[c] = c == 1 ? 1.0 : 0.0;
        Cf[c] = 0.0;
      }
      WCStart = 1;
      WCEnd = 64;
      sweeps[1] = sweepCount;
      useThreads(threads);
      solver();
      for (int c = 1; c <= 64; ++c)
        EXPECT_EQ(Cf[c], c <= 4 * sweepCount + 1 ? 1.0 : 0.0) << "cell " << c;
    }
  }
}

// Two sweeps, far from converged, give the same bits at every thread count, in the seven- and
// the thirteen-point form, and another order than the serial sweep.
TEST_F(ColouredSweep, SameFieldForAnyThreadCount) {
  const Block b{8, 5, 3};
  inBothForms([&](bool second) {
    const std::vector<double> one = threaded(b, second, 1, 2);
    for (int threads : {2, 3, 8}) EXPECT_EQ(threaded(b, second, threads, 2), one) << threads;
    setUpBlock(b, second);
    Gauss(1, b.cells(), 2);
    EXPECT_NE(solution(b.cells()), one);
  });
}

// The multi-neighbour form (F 137) reads listed cells that may lie in any chunk. 32 chunks of
// one column of two cells; the colours of 16 x 2 columns repeat every four chunks as 0, 1, 1,
// 0, so chunk 29 (cells 57 and 58) shares colour 0 with chunk 1. Once cell 1's east side lists
// cells 57 and 58, chunk 29 meets colour 0 in chunk 1 and colour 1 in chunk 27: it takes
// colour 2. The sweep makes one pass pair whatever the sweep count, the same for any thread
// count.
TEST_F(ColouredSweep, ListedNeighboursInFarChunks) {
  QNFlag = 1;
  allocate();
  const Block b{16, 2, 2};
  link(b);
  for (bool lists : {false, true}) {
    SCOPED_TRACE(lists ? "listed" : "single neighbours");
    Cncelle[1] = lists ? 2 : 0;
    Cqncelle[1][0] = 57;
    ColouredChunks chunks;
    colourChunks(chunks, 1, 64, false, 1, true);
    ASSERT_EQ(chunks.count(), 32);
    ASSERT_EQ(chunks.lo(29), 57);
    EXPECT_EQ(chunks.colourOf(1), 0);
    EXPECT_EQ(chunks.colourOf(27), 1);
    EXPECT_EQ(chunks.colourOf(29), lists ? 2 : 0);
  }
  std::vector<double> one;
  for (int threads : {1, 2, 3, 8}) {
    for (int n : {1, 3}) {
      SCOPED_TRACE(testing::Message() << threads << " threads, " << n << " sweeps");
      setUpBlock(b, false);
      Cncelle[1] = 2;
      Cqncelle[1][0] = 57;
      Cqnae[1][0] = 0.5;
      Cqnae[1][1] = 0.25;
      Cf[57] = 4.0;
      Cf[58] = 8.0;
      sweeps[1] = n;
      useThreads(threads);
      solver();
      if (one.empty())
        one = solution(b.cells());
      else
        EXPECT_EQ(solution(b.cells()), one);
    }
  }
}

// Repeated calls, as the outer iterations make them, reach the exact solution of the system
// (made from a chosen field) at every thread count, in both forms.
TEST_F(ColouredSweep, ReachesTheExactSolution) {
  inBothForms([&](bool second) {
    const Block b{6, 4, 3};
    for (int threads : {1, 2, 3, 8}) {
      SCOPED_TRACE(testing::Message()
                   << (second ? "thirteen" : "seven") << "-point, " << threads << " threads");
      const std::vector<double> x = setUpBlock(b, second);
      sweeps[1] = 2;
      useThreads(threads);
      for (int call = 0; call < 30; ++call) solver();
      EXPECT_LT(maxError(x), 1e-10);
    }
  });
}

// Cells 1..66 in a row, only 2..65 solved: cells 1 and 66 hold 1 and 66 and keep them, and are
// read, so the solution of Cap 2, east and west 1, no source, is the cell number.
TEST_F(ColouredSweep, NeighboursOutsideTheRangeAreReadNotWritten) {
  allocate();
  laplaceRow(66);
  Cf[1] = 1.0;
  Cf[66] = 66.0;
  WCStart = 2;
  WCEnd = 65;
  sweeps[1] = 20;
  useThreads(3);
  for (int call = 0; call < 500; ++call) solver();
  EXPECT_EQ(Cf[1], 1.0);
  EXPECT_EQ(Cf[66], 66.0);
  for (int c = 2; c <= 65; ++c) EXPECT_NEAR(Cf[c], c, 1e-9) << "cell " << c;
}

}  // namespace
}  // namespace qorva::test
