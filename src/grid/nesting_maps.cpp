// Maps between nested blocks and the coarser blocks they refine: the boundary surfaces of the
// nested blocks, the coarse partner of each nested cell, the coarse bed cell beneath each
// nested bed cell and the nearest finer grid point of each coarse grid point.
// Reads the blocks, zval, xval, yval, armap, pointbed, Bcellt and the cell geometry; writes
// Npcelle, Npflate, Npblock, NoNestflater, CflagDim, Cinterpolnest, Bnestcoarse, pointnest.
#include <omp.h>

#include <algorithm>
#include <cmath>

#include "grid/columns.h"
#include "grid/grid.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/nests.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {
namespace {

double sq(double x) { return x * x; }

// Search radius of the nearest-column searches of block B: the horizontal half sizes of the
// bottom cell of its middle column, or the square root of a column area when that is larger.
double searchRadius(const GridBlock& B) {
  const int c = columnBottom((B.i1 + B.i2) / 2, (B.j1 + B.j2) / 2);
  const double cell = c > 0 ? Cidist[c] + Cjdist[c] : 0.0;
  const int ia = B.i2 / 2 + 1, ja = B.j2 - B.j1 + 1;
  const double area = onPlane(ia, ja) ? armap[ia][ja] : 0.0;
  return std::max(cell, std::sqrt(std::max(area, 0.0)));
}

// Cell of the blocks 1..NoBlocks-1 at nesting level `level` whose centre is nearest to that of
// cell c in three dimensions, strictly inside the squared radius r2; 0 when none is.
int nearestCoarseCell(int c, int level, double r2) {
  int found = 0;
  double best = r2;
  for (int B = 1; B <= NoBlocks - 1; ++B) {
    if (block[B].nestlevel != level) continue;
    const int last = std::min(block[B].cellend, NoCells);
    for (int x = std::max(block[B].cellstart, 1); x <= last; ++x) {
      const double d2 = sq(Cxcenter[x] - Cxcenter[c]) + sq(Cycenter[x] - Cycenter[c]) +
                        sq(Czcenter[x] - Czcenter[c]);
      if (d2 < best) {
        best = d2;
        found = x;
      }
    }
  }
  return found;
}

double serialRadius(int c) {
  return sq(2 * Cidist[c]) + sq(2 * Cjdist[c]) + 10 * sq(2 * Ckdist[c]);
}

// Partner of every cell of nested block b by the three-dimensional search; a cell without a
// candidate keeps the partner it has.
void partnersBySearch(int b) {
  const GridBlock& k = block[b];
  const int first = std::max(k.cellstart, 1), last = std::min(k.cellend, NoCells);
  const int level = k.nestlevel - 1;
  if (NoProcessesSolver != 0 && FlagOpenMP[11] != 1) {
    const int threads = NoProcessesSolver > 0 ? NoProcessesSolver : omp_get_max_threads();
    // Contiguous ranges of cells, one per thread; each thread writes only its own cells.
#pragma omp parallel for schedule(static) num_threads(threads)
    for (int c = first; c <= last; ++c) {
      const double r2 = sq(2 * Cidist[c]) + sq(2 * Cjdist[c]) + sq(2 * Ckdist[c]);
      const int x = nearestCoarseCell(c, level, r2);
      if (x > 0) Cinterpolnest[c] = x;
    }
  } else {
    for (int c = first; c <= last; ++c) {
      const int x = nearestCoarseCell(c, level, serialRadius(c));
      if (x > 0) Cinterpolnest[c] = x;
    }
  }
}

// Among the coarse bottom cell c0 and its north, east and north-east neighbours, the one whose
// centre is nearest in plan to that of cell cn (c0 unless another is strictly nearer).
int nearestAround(int c0, int cn) {
  const int n = Ccelln[c0], e = Ccelle[c0];
  int ne = n > 0 ? Ccelle[n] : 0;
  if (ne == 0 && e > 0) ne = Ccelln[e];
  const int cand[4] = {c0, n, e, ne};
  int found = c0;
  double best = sq(Cxcenter[c0] - Cxcenter[cn]) + sq(Cycenter[c0] - Cycenter[cn]);
  for (int x : cand) {
    if (!isGridCell(x)) continue;
    const double d2 = sq(Cxcenter[x] - Cxcenter[cn]) + sq(Cycenter[x] - Cycenter[cn]);
    if (d2 < best) {
      best = d2;
      found = x;
    }
  }
  return found;
}

// Each cell of the nested column above cn takes the cell of the coarse column through cell cc
// whose centre height is nearest to its own (the lowest on ties).
void partnersByHeight(int cn, int cc) {
  const int bottom = bottomOf(cc);
  upColumn(cn, [bottom](int x) {
    int found = 0;
    double best = 0;
    upColumn(bottom, [&](int y) {
      const double d = std::fabs(Czcenter[y] - Czcenter[x]);
      if (found == 0 || d < best) {
        best = d;
        found = y;
      }
    });
    Cinterpolnest[x] = found;
  });
}

}  // namespace

int computeNestedArrays() {
  NoNestflater = 0;
  // Entries 1..MaxNester-1 of the list exist.
  long long room = static_cast<long long>(MaxNester) - 1;
  room = std::min(room, static_cast<long long>(Npcelle.size()) - 1);
  auto append = [room](int c, int f, int b) {
    const int n = NoNestflater + 1;
    if (n > room) return false;
    Npcelle[n] = c;
    Npflate[n] = f;
    Npblock[n] = b;
    NoNestflater = n;
    return true;
  };
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (k.nestlevel <= 0) continue;
    const bool sides = FlagNestFluxInterpol != 3;
    for (int i = k.i1; i <= k.i2; ++i)
      for (int j = k.j1; j <= k.j2; ++j)
        for (int c = columnBottom(i, j), g = 0; isGridCell(c) && g < NoCells; c = Ccellt[c], ++g) {
          CflagDim[c] = 2;
          if (Ccelle[c] == 0 && i == k.i2 && sides && !append(c, Cflatee[c], b)) return -46;
          if (Ccells[c] == 0 && j == k.j1 && sides && !append(c, Cflates[c], b)) return -46;
          if (Ccellw[c] == 0 && i == k.i1 && !append(c, Cflatew[c], b)) return -46;
          if (Ccelln[c] == 0 && j == k.j2 && sides && !append(c, Cflaten[c], b)) return -46;
          if (Ccellt[c] == 0 && NestSurf == 1 && !append(c, Cflatet[c], b)) return -46;
        }
  }
  return 0;
}

void computeCinterpolnest() {
  if (!Cinterpolnest) return;
  if (NoBCells == 0) {
    for (int b = 1; b <= NoBlocks; ++b)
      if (block[b].nestlevel > 0) partnersBySearch(b);
    return;
  }
  const int nb = bedCellLimit();
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (k.nestlevel <= 0) continue;
    for (int bc = std::max(k.bcellstart, 1); bc <= std::min(k.bcellend, nb); ++bc) {
      const int cn = Bcellt[bc];
      if (!isGridCell(cn)) continue;
      const int coarse = Bnestcoarse ? Bnestcoarse[bc] : 0;
      const int c0 = coarse > 0 && coarse <= nb ? Bcellt[coarse] : 0;
      if (isGridCell(c0)) {
        partnersByHeight(cn, nearestAround(c0, cn));
      } else {
        // No wet coarse column beneath: the cells take their nearest coarse cell in space.
        upColumn(cn, [&k](int x) {
          Cinterpolnest[x] = nearestCoarseCell(x, k.nestlevel - 1, serialRadius(x));
        });
      }
    }
  }
}

void computeBnestcoarse() {
  if (!Bnestcoarse) return;
  const int nb = bedCellLimit();
  for (int b = 0; b <= nb; ++b) Bnestcoarse[b] = 0;

  for (int n = 1; n <= NoBlocks; ++n) {
    const GridBlock& N = block[n];
    if (N.nestlevel <= 0) continue;
    for (int B = 1; B <= NoBlocks; ++B) {
      const GridBlock& C = block[B];
      if (C.nestlevel != N.nestlevel - 1) continue;
      const double R = searchRadius(C);
      for (int i = N.i1; i <= N.i2; ++i)
        for (int j = N.j1; j <= N.j2; ++j) {
          const int own = pointbed[i][j];
          if (own <= 0 || own > nb) continue;
          int found = 0;
          double best = R * R;
          for (int ii = C.i1; ii <= C.i2; ++ii)
            for (int jj = C.j1; jj <= C.j2; ++jj) {
              if (columnBottom(ii, jj) == 0) continue;
              const double d2 = sq(xval[ii][jj] - xval[i][j]) + sq(yval[ii][jj] - yval[i][j]);
              if (d2 < best) {
                best = d2;
                found = pointbed[ii][jj];
              }
            }
          if (found > 0) Bnestcoarse[own] = found;
        }
    }
  }

  if (!pointnest) return;
  for (int b = 1; b <= NoBlocks; ++b)
    for (int i = block[b].i1 - 1; i <= block[b].i2; ++i)
      for (int j = block[b].j1 - 1; j <= block[b].j2; ++j)
        if (onPlane(i, j)) pointnest[i][j][0] = 0;

  for (int a = 1; a <= NoBlocks; ++a) {
    const GridBlock& A = block[a];
    if (A.nestlevel != 0 && A.nestlevel != 1) continue;
    if (columnBottom((A.i1 + A.i2) / 2, (A.j1 + A.j2) / 2) == 0) continue;
    const double R = searchRadius(A);
    for (int i = A.i1 - 1; i <= A.i2; ++i)
      for (int j = A.j1 - 1; j <= A.j2; ++j) {
        if (!onPlane(i, j)) continue;
        int fi = -1, fj = -1;
        double best = R * R;
        for (int f = 1; f <= NoBlocks; ++f) {
          const GridBlock& F = block[f];
          if (F.nestlevel != A.nestlevel + 1) continue;
          for (int ii = F.i1 - 1; ii <= F.i2; ++ii)
            for (int jj = F.j1 - 1; jj <= F.j2; ++jj) {
              if (!onPlane(ii, jj)) continue;
              const double d2 = sq(xval[ii][jj] - xval[i][j]) + sq(yval[ii][jj] - yval[i][j]);
              if (d2 < best) {
                best = d2;
                fi = ii;
                fj = jj;
              }
            }
        }
        if (fi >= 0) {
          pointnest[i][j][0] = fi;
          pointnest[i][j][1] = fj;
        }
      }
  }
}

void nestbedinterpol() {
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& N = block[b];
    if (N.nestlevel <= 0 || N.skip != 0) continue;
    const int ci[4] = {N.i1 - 1, N.i1 - 1, N.i2, N.i2};
    const int cj[4] = {N.j1 - 1, N.j2, N.j1 - 1, N.j2};
    double xmin = 1e300, xmax = -1e300, ymin = 1e300, ymax = -1e300;
    for (int k = 0; k < 4; ++k) {
      if (!onPlane(ci[k], cj[k])) continue;
      xmin = std::min(xmin, xval[ci[k]][cj[k]]);
      xmax = std::max(xmax, xval[ci[k]][cj[k]]);
      ymin = std::min(ymin, yval[ci[k]][cj[k]]);
      ymax = std::max(ymax, yval[ci[k]][cj[k]]);
    }
    for (int B = 1; B <= NoBlocks; ++B) {
      const GridBlock& C = block[B];
      if (B == b || C.skip != 0 || C.nestlevel >= N.nestlevel) continue;
      for (int i = C.i1 - 1; i <= C.i2; ++i)
        for (int j = C.j1 - 1; j <= C.j2; ++j) {
          if (!onPlane(i, j)) continue;
          const double x = xval[i][j], y = yval[i][j];
          if (!(x > xmin && x < xmax && y > ymin && y < ymax)) continue;
          int fi = -1, fj = -1;
          double best = 1e6;
          for (int ii = N.i1; ii <= N.i2; ++ii)
            for (int jj = N.j1; jj <= N.j2; ++jj) {
              const int c = columnBottom(ii, jj);
              if (c == 0) continue;
              const double d2 = sq(Cxcenter[c] - x) + sq(Cycenter[c] - y);
              if (d2 < best) {
                best = d2;
                fi = ii;
                fj = jj;
              }
            }
          const int own = columnBottom(i, j);
          const double limit = own > 0 ? 2 * (Cidist[own] + Cjdist[own]) : 0.0;
          if (fi < 0 || !(std::sqrt(best) < limit)) continue;
          zval[i][j][1] = zval[fi][fj][1];
          if (Surfaces) Surfaces[1][i][j] = Surfaces[1][fi][fj];
        }
    }
  }
}

}  // namespace qorva
