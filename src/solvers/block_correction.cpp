// Block correction: every grid line of a block (all cells of the columns with one structured
// index) is shifted by one value, chosen so that the sum of its cell equations holds; the
// shifts of neighbouring lines are coupled and solved as one tridiagonal system, first for
// the lines of constant j, then for those of constant i. F 98 0 solves block by block, F 98 1
// chains the lines of all blocks. Reads Cap, Cae..Cab, Csource, the neighbour arrays, the
// block table, zval[..][..][0], sou, QNFlag, BlockMethodFlag, NoProcessesSolver; writes Cf,
// Spt, Sqt.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "grid/columns.h"
#include "solvers/solvers.h"
#include "solvers/sweep_kernels.h"
#include "state/blocks.h"
#include "state/log.h"
#include "state/options_f050_099.h"
#include "state/status.h"
#include "state/structured.h"

namespace qorva {

namespace {

// Values fixed by the penalty stay out of the sums (they still move with their line).
constexpr double kFixed = 1e15;

// Lines of constant j are corrected along j (their cross neighbours lie south and north),
// lines of constant i along i (west and east).
enum class Dir { J, I };

// Sums of one line: AP, the cross sums towards the lower (AS or AW) and the higher line (AN or
// AE), and the residual R.
struct Sums {
  double ap = 0, lo = 0, hi = 0, r = 0;
};

// Adds the cells of column (i, j) to the sums of its line. `lowEnd` and `highEnd` say that the
// column is at the line's first or last index, where the in-line coupling leaves the line.
void addColumn(int i, int j, Dir d, bool lowEnd, bool highEnd, Sums& s) {
  const double* f = Cf.data();
  upColumn(columnBottom(i, j), [&](int c) {
    const double ap = Cap[c];
    if (ap >= kFixed) return;
    double a = ap - Cat[c] - Cab[c];
    if (d == Dir::J) {
      if (!highEnd) a -= Cae[c];
      if (!lowEnd) a -= Caw[c];
      s.lo += Cas[c];
      s.hi += Can[c];
    } else {
      if (!highEnd) a -= Can[c];
      if (!lowEnd) a -= Cas[c];
      s.lo += Caw[c];
      s.hi += Cae[c];
    }
    s.ap += a;
    s.r += Csource[c] - ap * f[c] + Cat[c] * f[Ccellt[c]] + Cab[c] * f[Ccellb[c]] +
           Caw[c] * f[Ccellw[c]] + Cae[c] * f[Ccelle[c]] + Cas[c] * f[Ccells[c]] +
           Can[c] * f[Ccelln[c]];
  });
}

void shiftColumn(int i, int j, double delta) {
  upColumn(columnBottom(i, j), [delta](int c) { Cf[c] += delta; });
}

// Forward elimination of the line at position `pos` after the line before it left (p, q).
// A line without cells, or one whose elimination is singular, gets P = Q = 0: no shift, and
// no coupling across it.
void eliminate(const Sums& s, int pos, double& p, double& q) {
  if (pos < 0 || static_cast<std::size_t>(pos) >= Spt.size() ||
      static_cast<std::size_t>(pos) >= Sqt.size())
    failf(1,
          "Error: the block correction of K 5 reaches line %d, beyond its work arrays of %zu "
          "lines\n",
          pos, std::min(Spt.size(), Sqt.size()));
  double d = s.ap - s.lo * p;
  if (std::fabs(d / (s.ap + 1e-20)) < 1e-10) d = 1e30;
  q = (s.r + s.lo * q) / d;
  p = s.hi / d;
  Spt[pos] = p;
  Sqt[pos] = q;
}

bool qualifies(const GridBlock& k) { return k.flag2D == 0 && k.inwork == 1; }

// The lines j = j1..j2 of block b, each over i1..i2.
Sums jLine(const GridBlock& k, int j) {
  Sums s;
  for (int i = k.i1; i <= k.i2; ++i) addColumn(i, j, Dir::J, i == k.i1, i == k.i2, s);
  return s;
}
void shiftJLine(const GridBlock& k, int j, double delta) {
  for (int i = k.i1; i <= k.i2; ++i) shiftColumn(i, j, delta);
}
Sums iLine(const GridBlock& k, int i) {
  Sums s;
  for (int j = k.j1; j <= k.j2; ++j) addColumn(i, j, Dir::I, j == k.j1, j == k.j2, s);
  return s;
}
void shiftILine(const GridBlock& k, int i, double delta) {
  for (int j = k.j1; j <= k.j2; ++j) shiftColumn(i, j, delta);
}

// The work of a line system, kept between calls: the sums and the shift of every line. Each
// line's sum adds its own columns in a fixed order and each shift moves only its own columns,
// so the lines may be shared among threads and give the same bits for any thread count; only
// the elimination along the lines is serial.
std::vector<Sums> lineSums;
std::vector<double> lineShift;

// Threads share the lines when the run has solver threads; a system of one line has nothing
// to share.
bool sharedLines(int count) { return NoProcessesSolver > 0 && count > 1; }

// Solves the system of `count` lines whose n-th line is at position first + n of Spt and Sqt:
// sum(n) gives its sums, shift(n, delta) moves its columns.
template <class Sum, class Shift>
void solveLines(int count, int first, Sum sum, Shift shift) {
  if (count <= 0) return;
  if (lineSums.size() < static_cast<std::size_t>(count)) {
    lineSums.resize(count);
    lineShift.resize(count);
  }
  Sums* sums = lineSums.data();
  double* delta = lineShift.data();
#pragma omp parallel for schedule(static) if (sharedLines(count))
  for (int n = 0; n < count; ++n) sums[n] = sum(n);
  double p = 0, q = 0;
  for (int n = 0; n < count; ++n) eliminate(sums[n], first + n, p, q);
  double d = 0;
  for (int n = count - 1; n >= 0; --n) {
    d = Spt[first + n] * d + Sqt[first + n];
    delta[n] = d;
  }
#pragma omp parallel for schedule(static) if (sharedLines(count))
  for (int n = 0; n < count; ++n) shift(n, delta[n]);
}

// F 98 0: each qualifying block is solved and shifted on its own, j-lines at positions j, then
// i-lines at positions i.
void perBlock() {
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (!qualifies(k) || k.j1 > k.j2) continue;
    solveLines(
        k.j2 - k.j1 + 1, k.j1, [&k](int n) { return jLine(k, k.j1 + n); },
        [&k](int n, double d) { shiftJLine(k, k.j1 + n, d); });
  }
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (!qualifies(k) || k.i1 > k.i2) continue;
    solveLines(
        k.i2 - k.i1 + 1, k.i1, [&k](int n) { return iLine(k, k.i1 + n); },
        [&k](int n, double d) { shiftILine(k, k.i1 + n, d); });
  }
}

// The grid blocks that an i-line of F 98 1 runs through at index i. Blocks side by side in i
// share no column of one index, and the levels of the grid sequencing (skip field set) stand
// over the same columns as the grid: taking either would count a column twice.
bool crossesILine(const GridBlock& k, int i) {
  return k.flag2D == 0 && k.skip == 0 && i >= k.i1 && i <= k.i2;
}

Sums acrossILine(int i) {
  Sums s;
  const int jLast = block[NoBlocks].j2;
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (!crossesILine(k, i)) continue;
    for (int j = k.j1; j <= k.j2; ++j) addColumn(i, j, Dir::I, j == 2, j == jLast, s);
  }
  return s;
}

void shiftAcrossILine(int i, double delta) {
  for (int b = 1; b <= NoBlocks; ++b)
    if (crossesILine(block[b], i)) shiftILine(block[b], i, delta);
}

// The j-lines of F 98 1 in their chained order: block by block, j1..j2 within a block.
struct ChainedLine {
  int b, j;
};
std::vector<ChainedLine> chainedLines;

// F 98 1: the j-lines of all qualifying blocks form one system at positions 2, 3, ...; the
// i-lines run across the whole grid at positions i = 2..imax.
void chained() {
  chainedLines.clear();
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (!qualifies(k)) continue;
    for (int j = k.j1; j <= k.j2; ++j) chainedLines.push_back({b, j});
  }
  const ChainedLine* lines = chainedLines.data();
  solveLines(
      static_cast<int>(chainedLines.size()), 2,
      [lines](int n) { return jLine(block[lines[n].b], lines[n].j); },
      [lines](int n, double d) { shiftJLine(block[lines[n].b], lines[n].j, d); });

  int imax = 2;
  for (int b = 1; b <= NoBlocks; ++b)
    if (qualifies(block[b])) imax = std::max(imax, block[b].i2);
  solveLines(
      imax - 1, 2, [](int n) { return acrossILine(2 + n); },
      [](int n, double d) { shiftAcrossILine(2 + n, d); });
}

}  // namespace

void BlockCorrection() {
  // Uniform line shifts suit the seven-point system only.
  if (kernel::thirteenPointForm() || QNFlag > 0) {
    if (FlagNotedNoBlockCorrection == 0) {
      FlagNotedNoBlockCorrection = 1;
      logf("Warning: the block correction of K 5 does not apply to equation %d with the "
           "second-order scheme (K 6 1) or several neighbours per side (F 137); it is solved "
           "without it\n",
           Equation);
    }
    return;
  }
  if (BlockMethodFlag == 0)
    perBlock();
  else if (BlockMethodFlag == 1)
    chained();
}

}  // namespace qorva
