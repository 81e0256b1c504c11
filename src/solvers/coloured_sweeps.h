// Symmetric sweeps for any cell update: in cell order, or by the F 206 threads over coloured
// chunks (ColouredChunks, solvers.h). There the chunks of one colour are handed to the threads
// as they come free, and a barrier separates the colours. A chunk reads only its own cells and
// those of other colours, which no thread writes meanwhile, so the result depends on neither
// the thread count nor the timing. Internal to this folder.
#pragma once

#include "solvers/solvers.h"

namespace qorva {

// `sweeps` symmetric sweeps of first..last in cell order: pass(lo, hi, up) sweeps cells lo..hi
// once, ascending or descending.
template <class Pass>
void serialSweeps(int first, int last, int sweeps, Pass pass) {
  for (int k = 0; k < sweeps; ++k) {
    pass(first, last, true);
    pass(first, last, false);
  }
}

// `sweeps` symmetric sweeps of first..last. reads(c, visit) calls visit(m) for every cell m
// that the update of c may read; pass(lo, hi, up) sweeps cells lo..hi once, ascending or
// descending. Called from the single thread of control.
template <class Reads, class Pass>
void colouredSweeps(ColouredChunks& chunks, int first, int last, int sweeps, Reads reads,
                    Pass pass) {
  if (first > last || sweeps <= 0) return;
  chunks.cut(first, last);
  const int n = chunks.count();
#pragma omp parallel
  {
#pragma omp for schedule(dynamic, 1)
    for (int p = 1; p <= n; ++p) chunks.noteReads(p, reads);
#pragma omp single
    chunks.colour(sweeps);
    for (const ColouredChunks::Phase& phase : chunks.phases()) {
      const std::vector<int>& members = chunks.members(phase.colour);
      const int count = static_cast<int>(members.size());
#pragma omp for schedule(dynamic, 1)
      for (int q = 0; q < count; ++q) {
        const int p = members[q];
        bool up = phase.up;
        for (int k = 0; k < phase.steps; ++k, up = !up) pass(chunks.lo(p), chunks.hi(p), up);
      }
    }
  }
}

}  // namespace qorva
