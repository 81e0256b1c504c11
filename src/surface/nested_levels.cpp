// Levels and pressures of nested blocks from the coarse grid they lie in: the grid levels of
// each nested block taken from the surface of its coarse columns and smoothed (F 238 3, 5), and
// the pressure of each nested block shifted to the mean of its coarse partner cells (F 238 4).
// Reads Bnestcoarse, Cinterpolnest, the column links and the top faces; writes
// zval[..][znumber] of nested blocks and Cpres of nested blocks.
#include <algorithm>

#include "grid/columns.h"
#include "grid/grid.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "surface/surface.h"

namespace qorva {

namespace {

// Coarse bed cell of column (i, j) of a nested block, 0 for none.
int coarseOf(int i, int j) {
  const int c = columnBottom(i, j);
  if (c == 0) return 0;
  const int b = Cbed[c];
  if (b < 1 || b >= static_cast<long long>(Bnestcoarse.size())) return 0;
  const int bc = Bnestcoarse[b];
  return bc >= 1 && bc <= bedCellLimit() ? bc : 0;
}

void smoothNested(const GridBlock& k, bool forward) {
  auto at = [](int i, int j) -> double& { return zval[i][j][znumber]; };
  auto point = [&at](int i, int j) {
    at(i, j) = 0.125 * (at(i - 1, j) + at(i, j - 1) + at(i + 1, j) + at(i, j + 1)) +
               0.5 * at(i, j);
  };
  if (forward) {
    for (int j = k.j1; j <= k.j2 - 1; ++j)
      for (int i = k.i1; i <= k.i2 - 1; ++i) point(i, j);
  } else {
    for (int j = k.j2 - 1; j >= k.j1; --j)
      for (int i = k.i2 - 1; i >= k.i1; --i) point(i, j);
  }
}

}  // namespace

void interpolateSurfaceNested() {
  if (!Bnestcoarse) return;  // a grid without nesting maps has no nested block
  if (FlagNestTop == 5) computeBnestcoarse();
  for (int b = 2; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (k.nestlevel <= 0) continue;
    for (int j = k.j1 - 1; j <= k.j2; ++j)
      for (int i = k.i1 - 1; i <= k.i2; ++i) {
        const int ic = std::max(i, k.i1), jc = std::max(j, k.j1);
        int bc = coarseOf(ic, jc);
        for (auto [a, d] : {std::pair{ic + 1, jc}, {ic - 1, jc}, {ic, jc + 1}, {ic, jc - 1}})
          if (bc == 0) bc = coarseOf(a, d);
        if (bc >= 1 && Bcellt[bc] >= 1) zval[i][j][znumber] = topFace(topOf(Bcellt[bc]));
      }
    if (k.i1 < k.i2 && k.j1 < k.j2) {
      smoothNested(k, true);
      smoothNested(k, false);
    }
  }
}

void scalePressureNested() {
  if (!Cinterpolnest) return;
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (k.nestlevel <= 0) continue;
    const int first = std::max(k.cellstart, 1), last = std::min(k.cellend, NoCells);
    double pf = 0, pc = 0;
    int n = 0;
    for (int c = first; c <= last; ++c) {
      const int m = Cinterpolnest[c];
      if (m <= 0 || m > NoCells) continue;
      pf += Cpres[c];
      pc += Cpres[m];
      ++n;
    }
    if (n == 0) continue;
    const double shift = pc / n - pf / n;
    for (int c = first; c <= last; ++c) Cpres[c] += shift;
  }
}

}  // namespace qorva
