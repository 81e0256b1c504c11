// How a step runs over threads (F 206): the runner that cuts the working range into chunks and
// hands them to the threads of a parallel region, the capture of an end of the run met inside
// it, and the sums the threads share. Every folder may use it; it reads only the working
// ranges, the chunk sizes deltac and deltaf and NoProcessesSolver.
#pragma once

#include <omp.h>

#include <algorithm>
#include <atomic>
#include <exception>

#include "state/options.h"
#include "state/status.h"

namespace qorva {

// What a kernel's range is: the whole working range of a serial call, or one chunk of a range
// that the runner has split between threads. A kernel called on a chunk leaves the steps that
// need every cell or surface of the range done (steps that read other chunks' results, or
// depend on the order of the whole range) to its AfterChunks form, which the caller runs once
// after the region.
enum class Share { Whole, Chunk };

// The first exception met by the threads of a region. Nothing may leave a region by an
// exception (an end of the run included), so each thread records it here, the others skip
// their remaining work, and the owner throws it again once the region is over.
class Failure {
 public:
  bool failed() const { return failed_.load(std::memory_order_relaxed); }
  void capture() {
#pragma omp critical(qorva_region_failure)
    {
      if (!first_) first_ = std::current_exception();
    }
    failed_.store(true);
  }
  void rethrow() const {
    if (first_) std::rethrow_exception(first_);
  }

 private:
  std::atomic<bool> failed_{false};
  std::exception_ptr first_;
};

// Adds v to a sum shared by the threads of a region by compare-and-swap: no lock, and each
// thread adds once.
inline void sharedAdd(std::atomic<double>& sum, double v) {
  double seen = sum.load();
  while (!sum.compare_exchange_weak(seen, seen + v)) {
  }
}

// Keeps the lowest cell number handed to it (0 = none yet).
inline void lowestCell(std::atomic<int>& lowest, int c) {
  int seen = lowest.load();
  while ((seen == 0 || c < seen) && !lowest.compare_exchange_weak(seen, c)) {
  }
}

// What one thread does of a phase: its chunks of the working ranges, the steps that need all
// chunks done (run by one thread between barriers), and the capture of failures. The serial
// form is a team of one with one chunk, the whole range, and no region around it.
//
// Chunk i of NoProcessesSolver is cells WCStart + i deltac onward (surfaces WFStart + i
// deltaf), the last chunk ending at WCEnd (WFEnd). Unlike the chunk tables of the solvers,
// these chunks may split a water column: a kernel that works on whole columns takes them by
// their bottom cell.
class Team {
 public:
  // The serial form on the calling thread.
  Team() = default;

  // The member of the current region that the calling thread is. A region with one thread
  // works as the serial form does, one chunk over the whole range, and its kernels are told
  // Share::Whole: the chunk steps in order make the whole range anyway.
  static Team member(Failure& failure) {
    Team t;
    t.failure_ = &failure;
    if (omp_in_parallel() == 0) return t;
    const int n = std::max(NoProcessesSolver, 1);
    const int threads = omp_get_num_threads(), me = omp_get_thread_num();
    const int q = n / threads, r = n % threads;
    t.chunks_ = n;
    t.first_ = me < r ? me * (q + 1) : r + me * q;
    t.count_ = q + (me < r ? 1 : 0);
    t.chunked_ = true;
    return t;
  }

  // True when the chunks run on several threads at once: the kernels called per chunk leave
  // their whole-range steps to their AfterChunks forms.
  bool chunked() const { return chunked_; }
  // What to tell a kernel about the range it is handed.
  Share share() const { return chunked_ ? Share::Chunk : Share::Whole; }

  template <class Body>
  void cells(Body&& body) {
    each(WCStart, WCEnd, deltac, body);
  }
  template <class Body>
  void surfaces(Body&& body) {
    each(WFStart, WFEnd, deltaf, body);
  }
  // Surface chunk i together with cell chunk i; one of the two may be empty.
  template <class Body>
  void pairs(Body&& body) {
    for (int i = first_; i < first_ + count_; ++i) {
      int f1 = 0, f2 = -1, c1 = 0, c2 = -1;
      bounds(i, WFStart, WFEnd, deltaf, f1, f2);
      bounds(i, WCStart, WCEnd, deltac, c1, c2);
      if (f1 > f2 && c1 > c2) continue;
      guard([&] { body(f1, f2, c1, c2); });
    }
  }

  // A step over the whole range after every chunk of the steps before it is done, and before
  // any chunk of the steps after it starts. It runs on one thread: the kernels it calls are
  // told Share::Whole.
  template <class Step>
  void once(Step&& step) {
    if (!chunked_) {
      guard(step);
      return;
    }
#pragma omp barrier
#pragma omp single
    guard(step);
  }
  // Every chunk of the steps before is done before any chunk of the steps after starts.
  void sync() const {
    if (chunked_) {
#pragma omp barrier
    }
  }

 private:
  // Chunk i of first..last with chunk size `size`: first + i size onward, the last chunk
  // ending at `last`. Bounds beyond the range (chunk sizes of an earlier, larger range) are
  // cut back to it, so no chunk reaches past `last`.
  void bounds(int i, int first, int last, int size, int& lo, int& hi) const {
    if (chunks_ == 1) {
      lo = first;
      hi = last;
      return;
    }
    const long long s = std::max(size, 0);
    long long a = first + i * s;
    long long b = i == chunks_ - 1 ? last : a + s - 1;
    if (b > last) b = last;
    if (a > static_cast<long long>(last) + 1) a = static_cast<long long>(last) + 1;
    lo = static_cast<int>(a);
    hi = static_cast<int>(b);
  }

  template <class Body>
  void each(int first, int last, int size, Body& body) {
    for (int i = first_; i < first_ + count_; ++i) {
      int lo = 0, hi = -1;
      bounds(i, first, last, size, lo, hi);
      if (lo > hi) continue;
      guard([&] { body(lo, hi); });
    }
  }

  template <class Step>
  void guard(Step&& step) {
    if (!failure_) {
      step();
      return;
    }
    if (failure_->failed()) return;
    try {
      step();
    } catch (...) {
      failure_->capture();
    }
  }

  Failure* failure_ = nullptr;
  int chunks_ = 1, first_ = 0, count_ = 1;
  bool chunked_ = false;
};

// Runs fn(team) on every thread of a parallel region with the default thread count (set from
// F 206 when the control file is read), then throws what a thread met, an end of the run
// included. The steps after the region (the kernels' AfterChunks forms) belong to the caller.
template <class Fn>
void runRegion(Fn&& fn) {
  Failure failure;
#pragma omp parallel
  {
    Team team = Team::member(failure);
    fn(team);
  }
  failure.rethrow();
}

// runRegion when `parallel`, else fn on a serial team on the calling thread.
template <class Fn>
void runForm(bool parallel, Fn&& fn) {
  if (parallel) {
    runRegion(fn);
  } else {
    Team serial;
    fn(serial);
  }
}

}  // namespace qorva
