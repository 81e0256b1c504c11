// The grid with several side neighbours (F 137): every grid line spaces its lower levels by
// the smallest cell count of the columns around it and divides only the top layer further, so
// the top cell of a shorter column faces several cells of a deeper one. Reads xval, yval,
// zval, the blocks, bedOutBlock and the depth thresholds; writes antlin, ant, antmin, antmax,
// num, zval[..][0], the block ranges, the grid through MakeCell and the lists Cncell..,
// Cqncell.. and Fqndum.
#include <algorithm>

#include "grid/cell_template.h"
#include "grid/columns.h"
#include "grid/generator.h"
#include "grid/grid.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// Smallest and largest positive count of the four columns around grid line (i, j).
void lineRange(const Window& w) {
  for (int j = w.j1 - 1; j <= w.j2; ++j)
    for (int i = w.i1 - 1; i <= w.i2; ++i) {
      int lo = 0, hi = 0;
      for (const int a : {ant[i][j], ant[i + 1][j], ant[i + 1][j + 1], ant[i][j + 1]}) {
        if (a <= 0) continue;
        lo = lo == 0 ? a : std::min(lo, a);
        hi = std::max(hi, a);
      }
      antmin[i][j] = lo;
      antmax[i][j] = hi;
    }
}

// Fraction of the depth above the bed of cell level k's lower (top = false) or upper face at
// a corner line, in a column of A cells (levels 2..A + 1).
double fraction(int li, int lj, int A, int k, bool top) {
  const int L = antlin[li][lj], lo = antmin[li][lj], hi = antmax[li][lj];
  if (top ? (L < 2 || k == A + 1) : L <= 1) return 1;
  const int t = std::min(k, A);
  const int off = top ? 1 : 2;
  double f = lo < t ? 1 - static_cast<double>(hi - k + off) / ((hi - lo + 1) * lo)
                    : (k - off) / (lo + 1e-10);
  if (f > 0.99999) f = 1;
  if (f < 1e-10) f = 0;
  return f;
}

// Neighbour of cell level k of a column with A cells across a side facing column (ni, nj):
// a cell above the neighbour's top faces its top cell.
int sideNeighbour(int ni, int nj, int k, bool edge) {
  const int a = ant[ni][nj];
  if (edge || a == 0) return 0;
  return a < k ? num[ni][nj][a + 1] : num[ni][nj][k];
}

// The face toward (ni, nj) is shared only where the neighbour found lies at the same level
// and has the same extent.
bool sharesFace(int A, int ni, int nj, int k) {
  const int a = ant[ni][nj];
  return a == A || (a > A && k <= A) || (a < A && k <= a);
}

int buildBlock(const Window& w, double D) {
  countMethodLines(12, w, D);
  countMethodColumns(w, true);
  for (int j = w.j1; j <= w.j2; ++j)
    for (int i = w.i1; i <= w.i2; ++i)
      if (bedOutBlock[i][j] == 1) ant[i][j] = 0;
  lineRange(w);
  for (int j = w.j1; j <= w.j2; ++j)
    for (int i = w.i1; i <= w.i2; ++i) {
      const int a = ant[i][j];
      if (a <= 0) continue;
      if (NoCells + a >= MaxCeller - 1) return capacityFailure();
      zval[i][j][0] = NoCells + 1;
      for (int k = 2; k <= a + 1; ++k) num[i][j][k] = ++NoCells;
    }
  CellTemplate& t = NewCell;
  for (int j = w.j1; j <= w.j2; ++j)
    for (int i = w.i1; i <= w.i2; ++i) {
      const int A = ant[i][j];
      const CornerLines lines = cornerLines(i, j);
      for (int k = 2; k <= A + 1; ++k) {
        for (int m = 1; m <= 4; ++m) {
          const int li = lines.i[m - 1], lj = lines.j[m - 1];
          const double b = zval[li][lj][1], s = zval[li][lj][znumber];
          t.x[m] = t.x[m + 4] = xval[li][lj];
          t.y[m] = t.y[m + 4] = yval[li][lj];
          const double fb = fraction(li, lj, A, k, false), ft = fraction(li, lj, A, k, true);
          t.z[m] = fb * s + (1 - fb) * b;
          t.z[m + 4] = ft * s + (1 - ft) * b;
        }
        t.cell[1] = sideNeighbour(i, j - 1, k, j == w.j1);
        t.cell[2] = sideNeighbour(i + 1, j, k, i == w.i2);
        t.cell[3] = sideNeighbour(i, j + 1, k, j == w.j2);
        t.cell[4] = sideNeighbour(i - 1, j, k, i == w.i1);
        t.cell[5] = num[i][j][k - 1];
        t.cell[6] = num[i][j][k + 1];
        sharedSurfaces(i, j, w, k, t);
        if (!sharesFace(A, i - 1, j, k)) t.flate[4] = 0;
        if (!sharesFace(A, i, j - 1, k)) t.flate[1] = 0;
        int failure = 0;
        if (!makeCheckedCell(num[i][j][k], i, j, k, false, failure)) return failure;
      }
    }
  return 0;
}

// The lists of several neighbours of the top cells of the block's columns.
void severalNeighbours(const Window& w) {
  struct Side {
    int di, dj;
    Table1<int>& count;
    Table2<int>& list;
    Table1<int>& farFace;   // the listed cell's surface facing the top cell
    bool farSecond;         // the top cell goes to Fcell2 of that surface (else Fcell1)
    Table1<int>& ownFace;   // the top cell's own surface on this side
  };
  Side sides[4] = {{0, -1, Cncells, Cqncells, Cflaten, true, Cflates},
                   {1, 0, Cncelle, Cqncelle, Cflatew, false, Cflatee},
                   {0, 1, Cncelln, Cqncelln, Cflates, false, Cflaten},
                   {-1, 0, Cncellw, Cqncellw, Cflatee, true, Cflatew}};
  for (int j = w.j1; j <= w.j2; ++j)
    for (int i = w.i1; i <= w.i2; ++i) {
      const int A = ant[i][j];
      if (A <= 0) continue;
      const int c = num[i][j][A + 1];
      for (Side& s : sides) {
        const int ni = i + s.di, nj = j + s.dj;
        if (ni < w.i1 || ni > w.i2 || nj < w.j1 || nj > w.j2) continue;
        const int a = ant[ni][nj];
        if (a <= A) continue;
        const int n = a - A + 1;
        s.count[c] = n;
        const int first = num[ni][nj][A + 1];
        for (int m = 0; m < n; ++m) {
          const int cell = first + m;
          s.list[c][m] = cell;
          const int f = s.farFace[cell];
          if (f <= 0) continue;
          if (s.farSecond) Fcell2[f] = c;
          else Fcell1[f] = c;
        }
        // The top cell's own surface keeps one of the listed cells beyond it: entry
        // (A + 1) / 2 where the list reaches it, else the middle of the list.
        const int entry = (A + 1) / 2 <= n - 1 ? (A + 1) / 2 : (n - 1) / 2;
        const int f = s.ownFace[c];
        if (f > 0) {
          if (s.farSecond) Fcell1[f] = first + entry;
          else Fcell2[f] = first + entry;
          Fqndum[f] = 1;
        }
      }
    }
}

}  // namespace

int buildSeveralNeighbourBlocks(double D) {
  for (int b = 1; b <= NoBlocks; ++b) {
    GridBlock& blk = block[b];
    if (blk.flag2D == 1) continue;
    blk.cellstart = NoCells + 1;
    blk.surfstart = NoSurfaces + 1;
    blk.pointstart = NoPoints + 1;
    if (blk.bedfollow == 1) {
      const int r = buildBlock(Window{blk.i1, blk.i2, blk.j1, blk.j2}, D);
      if (r < 0) return r;
    }
    blk.cellend = NoCells;
    blk.surfend = NoSurfaces;
    blk.pointend = NoPoints;
    blk.inwork = 1;
  }
  for (int b = 1; b <= NoBlocks; ++b)
    if (block[b].flag2D != 1)
      severalNeighbours(Window{block[b].i1, block[b].i2, block[b].j1, block[b].j2});
  return 0;
}

}  // namespace qorva
