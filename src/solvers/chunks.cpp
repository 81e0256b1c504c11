// Column-aligned chunk tables: bounds of cell chunks moved up to the top of the water column
// they fall in, so that each column lies in one chunk. Reads Ccellt and znumber.
#include <cmath>

#include "solvers/solvers.h"
#include "state/cells.h"
#include "state/options_g.h"

namespace qorva {

// The table has one entry per chunk plus entry 0, however many chunks the thread count asks
// for. A bound never passes `last`, so no chunk reaches beyond the range even when the range
// ends inside a column.
template <class Start>
void ChunkTable::fill(int first, int last, int n, Start start) {
  if (n < 1) n = 1;
  entry_.resize(static_cast<std::size_t>(n) + 1);
  entry_[0] = first - 1;
  const int* ct = Ccellt.data();
  const long long cells = static_cast<long long>(Ccellt.size());
  for (int t = 1; t < n; ++t) {
    long long e = start(t);
    if (e > last) e = last;
    if (e < first - 1) e = first - 1;
    // A column has fewer than znumber cells, so znumber steps reach its top.
    for (int k = 0; k < znumber && e >= 0 && e < last && e < cells && ct[e] > 0; ++k) ++e;
    entry_[t] = static_cast<int>(e);
  }
  entry_[n] = last;
}

void ChunkTable::build(int first, int last, int n, int size) {
  fill(first, last, n, [&](int t) { return first - 1 + static_cast<long long>(t) * size; });
}

void ChunkTable::buildSixteenths(int first, int last) {
  const double cells = static_cast<double>(last) - first + 1;
  fill(first, last, 16,
       [&](int t) { return first - 1 + static_cast<long long>(std::trunc(t * cells * 0.0625)); });
}

}  // namespace qorva
