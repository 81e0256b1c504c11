// The chunk runner of the threaded phases: every cell of the working range in exactly one
// chunk whatever the thread count, the serial form as one chunk, the whole-range steps once,
// and an end of the run met in a chunk thrown again after the region.
#include <gtest/gtest.h>

#include <omp.h>

#include <atomic>
#include <vector>

#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/team.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using TeamTest = test::Scratch;

class Threads {
 public:
  explicit Threads(int n) : old_(omp_get_max_threads()) { omp_set_num_threads(n); }
  ~Threads() { omp_set_num_threads(old_); }
  Threads(const Threads&) = delete;
  Threads& operator=(const Threads&) = delete;

 private:
  int old_;
};

// Cells 3..40 in NoProcessesSolver chunks of the drivers' size.
void range(int chunks) {
  WCStart = 3;
  WCEnd = 40;
  NoProcessesSolver = chunks;
  deltac = (WCEnd - WCStart + 1) / chunks;
}

TEST_F(TeamTest, EveryCellOnceWhateverTheThreads) {
  struct Case {
    int chunks, threads;
  };
  for (const Case k : {Case{1, 1}, Case{3, 1}, Case{3, 2}, Case{5, 2}, Case{8, 8}, Case{7, 3}}) {
    SCOPED_TRACE(testing::Message() << k.chunks << " chunks, " << k.threads << " threads");
    range(k.chunks);
    Threads threads(k.threads);
    std::vector<std::atomic<int>> seen(WCEnd + 1);
    std::atomic<int> whole{0}, size{0};
    runRegion([&](Team& team) {
      size = omp_get_num_threads();
      team.cells([&](int c1, int c2) {
        if (team.share() == Share::Whole) whole += 1;
        for (int c = c1; c <= c2; ++c) seen[c] += 1;
      });
    });
    for (int c = 0; c <= WCEnd; ++c) EXPECT_EQ(seen[c].load(), c >= WCStart ? 1 : 0) << c;
    // A region of one thread is the serial form: one chunk over the whole range.
    EXPECT_EQ(whole.load(), size.load() == 1 ? 1 : 0);
  }
}

TEST_F(TeamTest, SerialFormIsOneChunkOverTheWholeRange) {
  range(4);
  Team serial;
  int calls = 0, first = 0, last = 0;
  serial.cells([&](int c1, int c2) {
    ++calls;
    first = c1;
    last = c2;
    EXPECT_EQ(serial.share(), Share::Whole);
  });
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(first, 3);
  EXPECT_EQ(last, 40);
}

TEST_F(TeamTest, OnceRunsOneStepAfterEveryChunk) {
  range(4);
  Threads threads(4);
  std::atomic<int> done{0}, steps{0}, seenAtStep{-1};
  runRegion([&](Team& team) {
    team.cells([&](int c1, int c2) { done += c2 - c1 + 1; });
    team.once([&] {
      steps += 1;
      seenAtStep = done.load();
    });
  });
  EXPECT_EQ(steps.load(), 1);
  EXPECT_EQ(seenAtStep.load(), 38);
}

TEST_F(TeamTest, AnEndOfTheRunInAChunkIsThrownAfterTheRegion) {
  range(4);
  Threads threads(2);
  std::atomic<int> after{0};
  int status = 1000;
  try {
    runRegion([&](Team& team) {
      team.cells([&](int c1, int) {
        if (c1 == WCStart) endRun(7);
      });
      team.once([&] { after += 1; });
    });
  } catch (const RunEnd& e) {
    status = e.status;
  }
  EXPECT_EQ(status, 7);
  EXPECT_EQ(after.load(), 0);  // the steps after the failure are skipped
}

TEST_F(TeamTest, SharedSumAndLowestCell) {
  range(8);
  Threads threads(4);
  std::atomic<double> sum{0.0};
  std::atomic<int> lowest{0};
  runRegion([&](Team& team) {
    double part = 0;
    team.cells([&](int c1, int c2) {
      for (int c = c1; c <= c2; ++c) {
        part += c;
        if (c % 7 == 0) lowestCell(lowest, c);
      }
    });
    sharedAdd(sum, part);
  });
  EXPECT_EQ(sum.load(), (3 + 40) * 38 / 2);
  EXPECT_EQ(lowest.load(), 7);
}

}  // namespace
}  // namespace qorva
