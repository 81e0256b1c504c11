// The fixed, coloured chunks of the threaded sweep: cutting, colouring and the order of the
// phases. Reads Ccellt and znumber (through ChunkTable).
#include <algorithm>

#include "solvers/solvers.h"

namespace qorva {

void ColouredChunks::cut(int first, int last) {
  first_ = first;
  last_ = last;
  const long long cells = static_cast<long long>(last) - first + 1;
  table_.build(first, last, kChunks, static_cast<int>(std::max(0LL, cells / kChunks)));
  const std::size_t n = static_cast<std::size_t>(count()) + 1;
  reads_.assign(n * n, 0);
}

// Chunks are few: a binary search over the bounds finds the chunk of m.
int ColouredChunks::mark(int p, int m) {
  int a = 1, b = count();
  while (a < b) {
    const int mid = (a + b) / 2;
    if (hi(mid) < m)
      a = mid + 1;
    else
      b = mid;
  }
  reads_[static_cast<std::size_t>(p) * (count() + 1) + a] = 1;
  return a;
}

void ColouredChunks::colour(int sweeps) {
  const int n = count();
  const std::size_t row = static_cast<std::size_t>(n) + 1;
  colour_.assign(row, -1);
  members_.clear();
  std::vector<char> taken;
  for (int p = 1; p <= n; ++p) {
    if (lo(p) > hi(p)) continue;
    taken.assign(members_.size() + 1, 0);
    for (int q = 1; q < p; ++q)
      if (colour_[q] >= 0 && (reads_[p * row + q] || reads_[q * row + p])) taken[colour_[q]] = 1;
    const int k = static_cast<int>(std::find(taken.begin(), taken.end(), 0) - taken.begin());
    if (k == static_cast<int>(members_.size())) members_.emplace_back();
    colour_[p] = k;
    members_[k].push_back(p);
  }

  // Each sweep: colours 0..K-1 ascending, then K-1..0 descending. Neighbouring steps of one
  // colour form one phase: its chunks touch no other chunk of the colour, so each may make
  // both passes in a row.
  phases_.clear();
  const int colours = this->colours();
  auto step = [&](int k, bool up) {
    if (!phases_.empty() && phases_.back().colour == k)
      ++phases_.back().steps;
    else
      phases_.push_back({k, 1, up});
  };
  for (int s = 0; s < sweeps; ++s) {
    for (int k = 0; k < colours; ++k) step(k, true);
    for (int k = colours - 1; k >= 0; --k) step(k, false);
  }
}

}  // namespace qorva
