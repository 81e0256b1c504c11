// Vertical methods 14 and 15: the points of every grid line are made once, evenly from its bed
// to its surface, and each cell is written from the points of its four corner lines, without
// the cell template; a corner line with fewer levels repeats its lowest point (14) or
// collapses the levels up to its second one (15, columns not reduced). Reads xval, yval, zval,
// the blocks and the depth thresholds; writes antlin, ant, num, numc, vv, zval[..][0], the
// points, cells and surfaces and the block ranges.
#include <algorithm>

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

// Points of the grid lines around the block's columns; false when F 65 has no room for them.
bool linePoints(int m, const Window& w, double D) {
  for (int j = w.j1 - 1; j <= w.j2; ++j)
    for (int i = w.i1 - 1; i <= w.i2; ++i) {
      for (int k = 1; k <= znumber; ++k) num[i][j][k] = numc[i][j][k] = 0;
      const int n = methodLineLevels(m, lineDepth(i, j), D);
      antlin[i][j] = n;
      if (NoPoints + n >= MaxPunkter - 1) return false;
      const int first = znumber - n + 1;
      const double zb = zval[i][j][1], zs = zval[i][j][znumber];
      for (int k = first; k <= znumber; ++k) {
        const int p = ++NoPoints;
        numc[i][j][k] = p;
        Px[p] = xval[i][j];
        Py[p] = yval[i][j];
        // A dry line has one point: at its water level, where the wet columns beside it end.
        Pz[p] = n > 1 ? zb + (zs - zb) * (k - first) / (n - 1) : zs;
      }
      for (int k = first - 1; k >= 1; --k) numc[i][j][k] = numc[i][j][first];
    }
  return true;
}

// Cells per column with the steep reduction, and their numbers; false when F 65 has no room.
bool numberColumns(int m, const Window& w) {
  for (int j = w.j1; j <= w.j2; ++j)
    for (int i = w.i1; i <= w.i2; ++i) {
      if (m == 15) vv[i][j] = 0;
      const int c1 = antlin[i - 1][j - 1], c2 = antlin[i][j - 1], c3 = antlin[i][j],
                c4 = antlin[i - 1][j];
      int a = std::min(std::max({c1, c2, c3, c4}) - 1, znumber - 1);
      ant[i][j] = 0;
      if (c1 + c2 + c3 + c4 < 2 || a <= 0) continue;
      const double l = std::min(planLength(i, j, i, j - 1), planLength(i, j, i - 1, j));
      const int cut = steepCut(i, j, l);
      a -= cut;
      if (m == 15) vv[i][j] = cut;
      // A column the reduction empties is dry: it keeps no bottom-cell number.
      if (a <= 0) continue;
      if (NoCells + a >= MaxCeller - 1) return false;
      ant[i][j] = a;
      zval[i][j][0] = NoCells + 1;
      for (int k = znumber - a + 1; k <= znumber; ++k) num[i][j][k] = ++NoCells;
    }
  return true;
}

// Corner points of cell (i, j, k): p[1..4] below, p[5..8] above.
void cornerPoints(int m, int i, int j, int k, int p[9]) {
  const CornerLines lines = cornerLines(i, j);
  const bool collapse = m == 15 && vv[i][j] == 0;
  const bool cellBelow = num[i][j][k - 1] != 0;
  for (int c = 1; c <= 4; ++c) {
    const int li = lines.i[c - 1], lj = lines.j[c - 1];
    p[c] = numc[li][lj][k - 1];
    p[c + 4] = numc[li][lj][k];
    if (!collapse) continue;
    const int second = znumber - antlin[li][lj] + 2;
    const int up = second <= znumber ? numc[li][lj][second] : 0;
    if (cellBelow) p[c] = std::max(p[c], up);
    p[c + 4] = std::max(p[c + 4], up);
  }
}

// A new surface between cell `first` and cell `second` (0 = none) with the given corners.
int newSurface(int first, int second, int a, int b, int c, int d) {
  const int s = ++NoSurfaces;
  Fcell1[s] = first;
  Fcell2[s] = second;
  Fpoint1[s] = a;
  Fpoint2[s] = b;
  Fpoint3[s] = c;
  Fpoint4[s] = d;
  return s;
}

// Writes cell c at (i, j, k); false when F 65 has no room for its surfaces.
bool writeCell(int m, const Window& w, int i, int j, int k) {
  const int c = num[i][j][k];
  int p[9];
  cornerPoints(m, i, j, k, p);
  // Beyond the block's east and north edges lie other blocks, which the block connections join.
  const int west = num[i - 1][j][k], east = i < w.i2 ? num[i + 1][j][k] : 0,
            south = num[i][j - 1][k], north = j < w.j2 ? num[i][j + 1][k] : 0, below = num[i][j][k - 1], above = num[i][j][k + 1];
  auto full = [&](int a) { return p[a] != p[a + 4]; };
  // A side with a collapsed vertical edge is a triangle and gets no surface.
  const bool makeWest = full(1) && full(4), makeSouth = full(1) && full(2);
  const bool makeTop = k == znumber, makeEast = east == 0 && full(2) && full(3);
  const bool makeNorth = north == 0 && full(3) && full(4);
  const int faces = 1 + makeWest + makeSouth + makeTop + makeEast + makeNorth;
  if (NoSurfaces + faces >= MaxFlater - 1) return false;

  Table1<int>* const corner[9] = {nullptr,  &Cpoint1, &Cpoint2, &Cpoint3, &Cpoint4,
                                  &Cpoint5, &Cpoint6, &Cpoint7, &Cpoint8};
  for (int a = 1; a <= 8; ++a) (*corner[a])[c] = p[a];
  Ccellw[c] = west;
  Ccelle[c] = east;
  Ccells[c] = south;
  Ccelln[c] = north;
  Ccellb[c] = below;
  Ccellt[c] = above;

  int s = newSurface(below, c, p[1], p[2], p[3], p[4]);
  Cflateb[c] = s;
  if (below) Cflatet[below] = s;
  if (makeWest) {
    s = newSurface(west, c, p[1], p[4], p[8], p[5]);
    Cflatew[c] = s;
    if (west) Cflatee[west] = s;
  }
  if (makeSouth) {
    s = newSurface(south, c, p[1], p[5], p[6], p[2]);
    Cflates[c] = s;
    if (south) Cflaten[south] = s;
  }
  if (makeTop) Cflatet[c] = newSurface(c, 0, p[5], p[6], p[7], p[8]);
  if (makeEast) Cflatee[c] = newSurface(c, 0, p[2], p[3], p[7], p[6]);
  if (makeNorth) Cflaten[c] = newSurface(c, 0, p[4], p[8], p[7], p[3]);
  return true;
}

// Method 15: the bottom cells of neighbouring unreduced columns of different heights are
// joined directly; the taller column's cell at the shorter one's bottom level lets go. Only
// columns of the same block are joined: a column beyond the block edge belongs to another
// block, which the block connections join.
void joinBottomCells(const Window& w) {
  for (int j = w.j1; j <= w.j2; ++j)
    for (int i = w.i1; i <= w.i2; ++i) {
      const int a = ant[i][j];
      if (vv[i][j] != 0 || a <= 0) continue;
      const int c = static_cast<int>(zval[i][j][0]);
      auto join = [&](int ni, int nj, Table1<int>& toNear, Table1<int>& toFar,
                      Table1<int>& nearFace, Table1<int>& farFace) {
        // toNear: the link of c toward the neighbour (west or south); toFar: the reverse.
        const int b = ant[ni][nj];
        if (b <= 0 || b == a || vv[ni][nj] != 0) return;
        const int cn = static_cast<int>(zval[ni][nj][0]);
        // The cell that lets go keeps the face it shared as a wall of its own: a face that
        // still named both cells would carry flow that neither cell's side counts.
        if (a < b) {
          if (toNear[c] > 0) {
            toFar[toNear[c]] = 0;
            if (nearFace[c] > 0) Fcell2[nearFace[c]] = 0;
          }
          nearFace[c] = farFace[cn];
          if (nearFace[c] > 0) Fcell2[nearFace[c]] = c;
        } else {
          if (toFar[cn] > 0) {
            toNear[toFar[cn]] = 0;
            if (farFace[cn] > 0) Fcell1[farFace[cn]] = 0;
          }
          farFace[cn] = nearFace[c];
          if (farFace[cn] > 0) Fcell1[farFace[cn]] = cn;
        }
        toNear[c] = cn;
        toFar[cn] = c;
      };
      if (i > w.i1) join(i - 1, j, Ccellw, Ccelle, Cflatew, Cflatee);
      if (j > w.j1) join(i, j - 1, Ccells, Ccelln, Cflates, Cflaten);
    }
}

}  // namespace

int buildSharedPointBlocks(int m, double D) {
  for (int b = 1; b <= NoBlocks; ++b) {
    GridBlock& blk = block[b];
    if (blk.flag2D == 1) continue;
    blk.cellstart = NoCells + 1;
    blk.surfstart = NoSurfaces + 1;
    blk.pointstart = NoPoints + 1;
    const Window w{blk.i1, blk.i2, blk.j1, blk.j2};
    if (!linePoints(m, w, D) || !numberColumns(m, w)) return capacityFailure();
    for (int j = w.j1; j <= w.j2; ++j)
      for (int i = w.i1; i <= w.i2; ++i)
        for (int k = 1; k <= znumber; ++k)
          if (num[i][j][k] > 0 && !writeCell(m, w, i, j, k)) return capacityFailure();
    if (m == 15) joinBottomCells(w);
    blk.cellend = NoCells;
    blk.surfend = NoSurfaces;
    blk.pointend = NoPoints;
    blk.inwork = 1;
  }
  return 0;
}

}  // namespace qorva
