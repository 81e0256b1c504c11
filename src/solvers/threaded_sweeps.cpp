// The sweep methods of F 164 above 20 (GaussN): Jacobi half-steps, Gauss-Seidel in each
// thread's block, column half-steps on blocks or on column-aligned chunks, and the serial
// variants that multiply by 1/Cap. Reads the equation arrays, FlagRapSolver, QNFlag,
// NoProcessesSolver and FlagOpenMP[8]; writes the array that Cf designates, Cfn and CnInvAp.
#include <omp.h>

#include <algorithm>
#include <cstring>

#include "solvers/solvers.h"
#include "solvers/sweep_kernels.h"
#include "state/options_f100_149.h"
#include "state/options_f150_199.h"

namespace qorva {

namespace {

using namespace kernel;

// Kept between calls and rebuilt by every call that uses it.
ChunkTable gaussNChunks;

// The two-copy methods read some neighbours from Cfn. Those outside first..last are never
// written by the sweep, so they take their current values from the solved array here, as in
// Gauss; with the whole grid as the range this copies element 0 only.
void mirrorOutsideRange(const double* f, double* fn, int first, int last) {
  const long long n = std::min<long long>(
      {static_cast<long long>(Cf.size()), static_cast<long long>(Cfn.size()), NoCells + 1LL});
  const long long below = std::min<long long>(first, n);
  if (below > 0) std::memcpy(fn, f, static_cast<std::size_t>(below) * sizeof(double));
  const long long above = std::max<long long>(last + 1LL, 0);
  if (above < n)
    std::memcpy(fn + above, f + above, static_cast<std::size_t>(n - above) * sizeof(double));
}

// Cells of the static share of the calling thread: [lo, hi) offsets into a range of `count`.
void myShare(int count, int& lo, int& hi) {
  staticBlock(count, omp_get_num_threads(), omp_get_thread_num(), lo, hi);
}

// --- Jacobi half-steps: target from the source copy, every neighbour from the source. ---

template <bool Th>
void jacobiCells(const System& s, const double* from, double* to, int lo, int hi) {
  for (int c = lo; c <= hi; ++c) to[c] = neighbourSum<Plain, Th>(s, c, from, from, from) / s.ap[c];
}

// One region for all sweeps, a barrier after each half-step.
template <bool Th>
void jacobiOneRegion(const System& s, double* f, double* fn, int first, int last, int sweeps) {
  if (sweeps <= 0 || first > last) return;
  mirrorOutsideRange(f, fn, first, last);
  const int count = last - first + 1;
#pragma omp parallel
  {
    int lo, hi;
    myShare(count, lo, hi);
    for (int k = 0; k < sweeps; ++k) {
      jacobiCells<Th>(s, f, fn, first + lo, first + hi - 1);
#pragma omp barrier
      jacobiCells<Th>(s, fn, f, first + lo, first + hi - 1);
#pragma omp barrier
    }
  }
}

// One region per half-step.
template <bool Th>
void jacobiRegions(const System& s, double* f, double* fn, int first, int last, int sweeps) {
  if (sweeps <= 0 || first > last) return;
  mirrorOutsideRange(f, fn, first, last);
  if (!Th) fn[0] = 0;
  const int count = last - first + 1;
  for (int k = 0; k < sweeps; ++k) {
#pragma omp parallel
    {
      int lo, hi;
      myShare(count, lo, hi);
      jacobiCells<Th>(s, f, fn, first + lo, first + hi - 1);
    }
#pragma omp parallel
    {
      int lo, hi;
      myShare(count, lo, hi);
      jacobiCells<Th>(s, fn, f, first + lo, first + hi - 1);
    }
  }
}

// --- Gauss-Seidel in place within each thread's block (seven-point form). ---

void blockGaussSeidel(const System& s, double* f, int first, int last, int sweeps) {
  if (sweeps <= 0 || first > last) return;
  const int count = last - first + 1;
#pragma omp parallel
  {
    int lo, hi;
    myShare(count, lo, hi);
    for (int k = 0; k < sweeps; ++k) {
      for (int c = first + lo; c < first + hi; ++c)
        Shared::put(f, c, neighbourSum<Shared, false>(s, c, f, f, f) / s.ap[c]);
#pragma omp barrier
      // The reversed range: the first thread takes the highest cells.
      for (int i = lo; i < hi; ++i) {
        const int c = last - i;
        Shared::put(f, c, neighbourSum<Shared, false>(s, c, f, f, f) / s.ap[c]);
      }
#pragma omp barrier
    }
  }
}

// --- Column half-steps: the column below (ascending) or above (descending) implicit, the
// horizontal neighbours from the other copy. ---

template <class A, bool Th>
void ascendCells(const System& s, const double* f, double* fn, int lo, int hi) {
  for (int c = lo; c <= hi; ++c) A::put(fn, c, neighbourSum<A, Th>(s, c, f, f, fn) / s.ap[c]);
}

template <class A, bool Th>
void descendCells(const System& s, double* f, const double* fn, int lo, int hi) {
  for (int c = hi; c >= lo; --c) A::put(f, c, neighbourSum<A, Th>(s, c, fn, f, fn) / s.ap[c]);
}

void copyRange(const double* f, double* fn, int first, int last) {
  const int count = last - first + 1;
#pragma omp parallel
  {
    int lo, hi;
    myShare(count, lo, hi);
    if (hi > lo)
      std::memcpy(fn + first + lo, f + first + lo,
                  static_cast<std::size_t>(hi - lo) * sizeof(double));
  }
}

// Half-steps on equal blocks of cells; a column split between two blocks is read across the
// split while its other part is being written.
template <bool Th>
void columnBlocks(const System& s, double* f, double* fn, int first, int last, int sweeps) {
  f[0] = fn[0] = 0;
  mirrorOutsideRange(f, fn, first, last);
  copyRange(f, fn, first, last);
  const int count = last - first + 1;
  for (int k = 0; k < sweeps; ++k) {
#pragma omp parallel
    {
      int lo, hi;
      myShare(count, lo, hi);
      ascendCells<Shared, Th>(s, f, fn, first + lo, first + hi - 1);
    }
#pragma omp parallel
    {
      int lo, hi;
      myShare(count, lo, hi);
      // Reversed range: this thread's cells are last - hi + 1 .. last - lo.
      descendCells<Shared, Th>(s, f, fn, last - hi + 1, last - lo);
    }
  }
}

// Half-steps on column-aligned chunks: each column lies in one chunk, so a thread reads the
// array it writes only within its own chunks. With `reverseDown` the descending half-step
// hands out the chunks in reversed order.
template <bool Th>
void columnChunks(const System& s, double* f, double* fn, int first, int last, int sweeps,
                  const ChunkTable& chunks, bool reverseDown) {
  f[0] = fn[0] = 0;
  mirrorOutsideRange(f, fn, first, last);
  copyRange(f, fn, first, last);
  const int n = chunks.count();
  for (int k = 0; k < sweeps; ++k) {
#pragma omp parallel
    {
      int lo, hi;
      myShare(n, lo, hi);
      for (int p = lo; p < hi; ++p)
        ascendCells<Plain, Th>(s, f, fn, chunks.lo(p + 1), chunks.hi(p + 1));
    }
#pragma omp parallel
    {
      int lo, hi;
      myShare(n, lo, hi);
      for (int j = lo; j < hi; ++j) {
        const int p = reverseDown ? n - j : j + 1;
        descendCells<Plain, Th>(s, f, fn, chunks.lo(p), chunks.hi(p));
      }
    }
  }
}

// --- Serial variants: the reciprocal of Cap taken once, then multiplied. ---

template <bool Th>
void jacobiInv(const System& s, const double* inv, const double* f, double* fn, int c) {
  fn[c] = neighbourSum<Plain, Th>(s, c, f, f, f) * inv[c];
}

void copyBack(const double* fn, double* f, int first, int last);

// One forward and one backward Jacobi step with the multi-neighbour terms.
template <bool Th>
void qnJacobiPair(const System& s, const double* inv, double* f, double* fn, int first, int last) {
  const QnLists l = qnLists();
  for (int c = first; c <= last; ++c) fn[c] = qnSum<Plain, Th>(s, l, c, f) * inv[c];
  copyBack(fn, f, first, last);
  for (int c = last; c >= first; --c) fn[c] = qnSum<Plain, Th>(s, l, c, f) * inv[c];
  copyBack(fn, f, first, last);
}

void copyBack(const double* fn, double* f, int first, int last) {
  if (last >= first)
    std::memcpy(f + first, fn + first, static_cast<std::size_t>(last - first + 1) * sizeof(double));
}

template <bool Th>
void serialVariants(const System& s, double* f, double* fn, int first, int last, int sweeps) {
  double* inv = CnInvAp.data();
  for (int c = first; c <= last; ++c) inv[c] = 1.0 / s.ap[c];

  if (QNFlag > 0 && haveQnLists()) {
    if (Th && haveQnSecondRows())
      qnJacobiPair<true>(s, inv, f, fn, first, last);
    else
      qnJacobiPair<false>(s, inv, f, fn, first, last);
    return;
  }
  if constexpr (!Th) {
    for (int k = 0; k < sweeps; ++k) {
      for (int c = first; c <= last; ++c) f[c] = neighbourSum<Plain, false>(s, c, f, f, f) * inv[c];
      for (int c = last; c >= first; --c) f[c] = neighbourSum<Plain, false>(s, c, f, f, f) * inv[c];
    }
  } else {
    for (int k = 0; k < sweeps; ++k) {
      for (int c = first; c <= last; ++c) jacobiInv<true>(s, inv, f, fn, c);
      copyBack(fn, f, first, last);
      for (int c = last; c >= first; --c) jacobiInv<true>(s, inv, f, fn, c);
      copyBack(fn, f, first, last);
    }
  }
}

template <bool Th>
void variants(int first, int last, int sweeps) {
  const System s = systemArrays();
  double* f = Cf.data();
  double* fn = Cfn.data();
  // Chunks of the column variants: one per solver thread, one when G 50 switch 8 turns the
  // solver threading off (the regions still run, one thread finds the work).
  int chunks = NoProcessesSolver > 0 ? NoProcessesSolver : 1;
  if (FlagOpenMP[8] == 1) chunks = 1;

  switch (FlagRapSolver) {
    case 27:
      jacobiOneRegion<Th>(s, f, fn, first, last, sweeps);
      break;
    case 28:
      if constexpr (Th)
        serialVariants<Th>(s, f, fn, first, last, sweeps);
      else
        blockGaussSeidel(s, f, first, last, sweeps);
      break;
    case 29:
      jacobiRegions<Th>(s, f, fn, first, last, sweeps);
      break;
    case 30:
      columnBlocks<Th>(s, f, fn, first, last, sweeps);
      break;
    case 31:
    case 33: {
      const long long cells = static_cast<long long>(last) - first + 1;
      gaussNChunks.build(first, last, chunks, static_cast<int>(cells / chunks));
      columnChunks<Th>(s, f, fn, first, last, sweeps, gaussNChunks, false);
      break;
    }
    case 32:
      gaussNChunks.buildSixteenths(first, last);
      columnChunks<Th>(s, f, fn, first, last, sweeps, gaussNChunks, true);
      break;
    default:
      serialVariants<Th>(s, f, fn, first, last, sweeps);
      break;
  }
}

}  // namespace

void GaussN(int first, int last, int sweeps) {
  if (thirteenPointForm())
    variants<true>(first, last, sweeps);
  else
    variants<false>(first, last, sweeps);
}

}  // namespace qorva
