// Direct tridiagonal line solvers: the vertical couplings of each water column implicit, the
// four lateral ones explicit from Cf. Reads Cap, Cae..Cab, Csource, the neighbour arrays, the
// block table and zval[..][..][0]; writes Cf and the elimination coefficients Cpt, Cqt.
#include <algorithm>
#include <cstddef>

#include "grid/columns.h"
#include "solvers/solvers.h"
#include "solvers/sweep_kernels.h"
#include "state/blocks.h"
#include "state/log.h"
#include "state/structured.h"

namespace qorva {

namespace {

// Raw views of the arrays a line solve reads and writes.
struct Line {
  const double *ap, *ae, *aw, *an, *as, *at, *ab, *su;
  const int *ce, *cw, *cn, *cs;
  double *f, *p, *q;
  std::size_t cells;  // entries of the smallest of these arrays
};

Line lineArrays() {
  if (!Cpt || !Cqt)
    failf(1, "%s",
          "Error: the tridiagonal line solver (F 186 1, or F 344 with F 168) has no work "
          "arrays: they were not allocated for these settings\n");
  const std::size_t n = std::min({Cap.size(), Cf.size(), Cpt.size(), Cqt.size()});
  return {Cap.data(),    Cae.data(),    Caw.data(),    Can.data(),    Cas.data(),
          Cat.data(),    Cab.data(),    Csource.data(), Ccelle.data(), Ccellw.data(),
          Ccelln.data(), Ccells.data(), Cf.data(),     Cpt.data(),    Cqt.data(),
          n};
}

// Forward elimination of cell c after the cell below it in the line had (pPrev, qPrev).
inline void eliminate(const Line& l, int c, double pPrev, double qPrev) {
  const double d = l.ap[c] - l.ab[c] * pPrev + 1e-20;
  l.p[c] = l.at[c] / d;
  l.q[c] = (l.an[c] * l.f[l.cn[c]] + l.as[c] * l.f[l.cs[c]] + l.ae[c] * l.f[l.ce[c]] +
            l.aw[c] * l.f[l.cw[c]] + l.su[c] + l.ab[c] * qPrev) /
           d;
}

// Forward over first..last, then back from last to first. The cell after the line contributes
// what it holds now; a top cell has P = 0, so a line that ends at a column top needs nothing.
void solveLine(const Line& l, int first, int last) {
  double p = 0.0, q = 0.0;
  for (int c = first; c <= last; ++c) {
    eliminate(l, c, p, q);
    p = l.p[c];
    q = l.q[c];
  }
  double above = static_cast<std::size_t>(last) + 1 < l.cells ? l.f[last + 1] : 0.0;
  for (int c = last; c >= first; --c) {
    l.f[c] = l.p[c] * above + l.q[c];
    above = l.f[c];
  }
}

void checkLine(const Line& l, int first, int last) {
  if (first > last) return;
  if (first < 1 || static_cast<std::size_t>(last) >= l.cells)
    failf(1, "Error: line solver range %d to %d outside the cell arrays (%zu cells)\n", first,
          last, l.cells);
}

}  // namespace

void solverTDMA() {
  const Line l = lineArrays();
  // The thirteen-point form is solved over the whole grid, whatever the working range.
  const bool whole = kernel::thirteenPointForm();
  const int first = whole ? 1 : WCStart, last = whole ? NoCells : WCEnd;
  checkLine(l, first, last);
  if (first >= 1 && static_cast<std::size_t>(first - 1) < l.cells) {
    l.p[first - 1] = 0.0;
    l.q[first - 1] = 0.0;
  }
  // One line through the whole range: a bottom cell has Cab 0 and a top cell Cat 0, so the
  // columns do not couple through it.
  if (first <= last) solveLine(l, first, last);
}

void solverVertTDMA() {
  const Line l = lineArrays();
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (k.skip != 0) continue;
    // Columns one after the other, i descending: each sees the columns solved before it.
    for (int i = k.i2; i >= k.i1; --i)
      for (int j = k.j1; j <= k.j2; ++j) {
        const int bottom = columnBottom(i, j);
        if (bottom == 0) continue;
        const int top = topOf(bottom);
        if (top - bottom <= 3) continue;  // four cells or fewer: left to the point solver
        checkLine(l, bottom, top);
        solveLine(l, bottom, top);
      }
  }
}

}  // namespace qorva
