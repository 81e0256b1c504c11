// Default vertical method of the grid generator: levels spaced evenly on every grid line from
// the surface down, cells per column from the deepest corner, columns of different heights
// joined level by level from the top. Reads zval, xval, yval, antlin, ant, OutBlock,
// pointbed, Bminwaterlevel; writes num, zval[..][0], vv, NoCells and, through the cell
// maker, the cells, surfaces and points of the block.
#include <algorithm>
#include <cmath>

#include "grid/cell_template.h"
#include "grid/columns.h"
#include "grid/generator.h"
#include "grid/grid.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

double bedOf(int i, int j) { return zval[i][j][1]; }
double surfOf(int i, int j) { return zval[i][j][znumber]; }

// Removed regions of G 13, cut to the column table so that a region reaching past the grid
// only clears what exists.
void clearRemovedRegions() {
  const int imax = static_cast<int>(ant.dim(0)) - 1;
  const int jmax = static_cast<int>(ant.dim(1)) - 1;
  for (int r = 1; r <= OutBlockNo; ++r) {
    const int a1 = std::max(OutBlock[r].i1, 0), a2 = std::min(OutBlock[r].i2, imax);
    const int b1 = std::max(OutBlock[r].j1, 0), b2 = std::min(OutBlock[r].j2, jmax);
    for (int i = a1; i <= a2; ++i)
      for (int j = b1; j <= b2; ++j) ant[i][j] = 0;
  }
}

// A column whose bed cell carries a minimum water level of the grid-split prevention keeps at
// least one cell. The guard acts on the block being built, whose cells are made next; acting
// on block 1 while another block is built would change counts of cells already made.
void gridSplitGuard(const Window& w) {
  if (FlagNoGridSplit <= 50 || NoBCells <= 0 || !Bminwaterlevel) return;
  for (int i = w.i1; i <= w.i2; ++i)
    for (int j = w.j1; j <= w.j2; ++j) {
      const int b = pointbed[i][j];
      if (b > 0 && static_cast<std::size_t>(b) < Bminwaterlevel.size() &&
          Bminwaterlevel[b] > -10.0)
        ant[i][j] = std::max(ant[i][j], 1);
    }
}

void numberCells(const Window& w) {
  const bool down = FlagUnstrucDir != 0;
  for (int jj = w.j1; jj <= w.j2; ++jj) {
    const int j = down ? w.j2 - (jj - w.j1) : jj;
    for (int i = w.i1; i <= w.i2; ++i) {
      // A column has at most znumber - 1 cells: its lowest cell needs a level below it.
      if (ant[i][j] > znumber - 1) ant[i][j] = znumber - 1;
      const int a = ant[i][j];
      if (a <= 0) continue;
      zval[i][j][0] = NoCells + 1;
      for (int k = znumber - a + 1; k <= znumber; ++k) num[i][j][k] = ++NoCells;
    }
  }
}

// Marks the higher end of every steep edge (slope above 0.37) in vv.
void markSteepPoints(const Window& w) {
  for (int j = w.j1; j <= w.j2; ++j)
    for (int i = w.i1; i <= w.i2; ++i) {
      double dx = xval[i][j] - xval[i - 1][j], dy = yval[i][j] - yval[i - 1][j];
      double slope = (bedOf(i, j) - bedOf(i - 1, j)) / std::sqrt(dx * dx + dy * dy + 1e-20);
      if (slope > 0.37) vv[i][j] = 1;
      else if (slope < -0.37) vv[i - 1][j] = 1;
      dx = xval[i][j] - xval[i][j - 1];
      dy = yval[i][j] - yval[i][j - 1];
      slope = (bedOf(i, j) - bedOf(i, j - 1)) / std::sqrt(dx * dx + dy * dy + 1e-20);
      if (slope > 0.37) vv[i][j] = 1;
      else if (slope < -0.37) vv[i][j - 1] = 1;
    }
}

// Per-column data of the slope extension (FlagGridStab5 4): the count by which each corner's
// levels continue below its bed, and the level step there.
struct Extension {
  int m[5] = {0, 0, 0, 0, 0};
  double delta[5] = {0, 0, 0, 0, 0};
};

Extension slopeExtension(int i, int j) {
  Extension e;
  // Corners 1..4 (entry 0 unused) and their grid lines.
  const CornerLines lines = cornerLines(i, j);
  int ci[5], cj[5];
  double px[5], py[5], pz[5];
  for (int c = 1; c <= 4; ++c) {
    ci[c] = lines.i[c - 1];
    cj[c] = lines.j[c - 1];
    px[c] = xval[ci[c]][cj[c]];
    py[c] = yval[ci[c]][cj[c]];
    pz[c] = bedOf(ci[c], cj[c]);
  }
  const double d1[3] = {px[3] - px[1], py[3] - py[1], pz[3] - pz[1]};
  const double d2[3] = {px[2] - px[4], py[2] - py[4], pz[2] - pz[4]};
  double n[3] = {d1[1] * d2[2] - d1[2] * d2[1], d1[2] * d2[0] - d1[0] * d2[2],
                 d1[0] * d2[1] - d1[1] * d2[0]};
  const double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]) + 1e-20;
  for (double& v : n) v /= len;
  if (n[2] >= 0.93969) return e;
  // Lowest bed corner, taken in the order 4, 3, 2, 1; a later corner only when strictly lower.
  int p = 4;
  for (int c = 3; c >= 1; --c)
    if (pz[c] < pz[p]) p = c;
  int largest = 0;
  for (int c = 1; c <= 4; ++c) {
    const int L = antlin[ci[c]][cj[c]];
    const double s = surfOf(ci[c], cj[c]), b = pz[c];
    double hc = 0;
    if (n[2] != 0) {
      const double zp =
          (n[0] * px[p] + n[1] * py[p] + n[2] * pz[p] - n[0] * px[c] - n[1] * py[c]) / n[2];
      hc = std::max(b - zp, 0.0);
    }
    const double step = L > 1 ? (s - b) / (L - 1) : 0.0;
    // A line without a positive level step gets no extension; the count is kept within int.
    const double mc = step > 0 ? std::min(hc / step, 1e6) : 0.0;
    e.m[c] = static_cast<int>(mc);
    e.delta[c] = L > 1 ? std::max(s - b, 0.0) / L : 0.0;
    largest = std::max(largest, e.m[c]);
  }
  vv[i][j] = largest;
  return e;
}

// Surface of a side of an earlier cell; 0 for a number the cell arrays do not hold.
int surfaceOf(const Table1<int>& side, int cell) {
  return cell > 0 && cell < MaxCeller ? side[cell] : 0;
}

// Bottom cell of column (i, j) (0 when it has none).
int bottomCell(int i, int j) { return ant[i][j] > 0 ? num[i][j][znumber] - ant[i][j] + 1 : 0; }

// Side threshold of the wall options (second F 159 integer); false when the option is off.
bool wallDepth(double& d) {
  switch (FlagGridStab2) {
    case 9: d = MinVertDist0; return true;
    case 10: d = 0; return true;
    case 13: d = MinVertDist1; return true;
    default: return false;
  }
}

// Depth scale of the level counts. The F 238 nesting options first put the surface or the
// bed of every grid line of a nested block on their level.
double depthScale(const GridBlock& blk, const Window& w) {
  const bool nested = blk.nestlevel >= 1;
  if ((FlagNestTop == 1 || FlagNestTop == 2) && nested) {
    const int level = FlagNestTop == 1 ? znumber : 1;
    for (int i = w.i1 - 1; i <= w.i2; ++i)
      for (int j = w.j1 - 1; j <= w.j2; ++j) zval[i][j][level] = LevelNestTop;
    return 1 / (MaxDepth + 1e-10);
  }
  return (blk.nestlevel > 0 ? 1.0 : NestNoRatio) / (MaxDepth + 1e-10);
}

// Levels per grid line and cells per column, with the stability checks between them, then
// the removed regions and the grid-split guard.
void countLevels(const Window& w, double scale) {
  MakeAntlin(w.i1, w.i2, w.j1, w.j2, scale);
  if (FlagRemovePonds > 1000) makeRidge();
  Grid1Stability(w.i1, w.i2, w.j1, w.j2);
  MakeAnt(w.i1, w.i2, w.j1, w.j2);
  if (FlagRemovePonds > 0) removePonds();
  Grid2Stability(w.i1, w.i2, w.j1, w.j2);
  clearRemovedRegions();
  gridSplitGuard(w);
}

// One column being built: its place, its cell count A, its corner lines and, under the slope
// extension, the extension counts of its corners and its own count E.
struct Column {
  int i, j, A;
  CornerLines lines;
  Extension ext;
  int E;
};

Column columnAt(int i, int j) {
  Column col{i, j, ant[i][j], cornerLines(i, j), Extension{}, 0};
  if (FlagGridStab5 == 4) {
    col.ext = slopeExtension(i, j);
    col.E = vv[i][j];
  }
  return col;
}

// x, y and z of the eight corners of cell n (level k): corners 1..4 at the cell's lower level
// of each corner line, 5..8 at its upper level.
void cellCorners(const Column& col, int n, int k, CellTemplate& t) {
  for (int m = 1; m <= 4; ++m) {
    const int li = col.lines.i[m - 1], lj = col.lines.j[m - 1];
    t.x[m] = t.x[m + 4] = xval[li][lj];
    t.y[m] = t.y[m + 4] = yval[li][lj];
    double bl = bedOf(li, lj);
    const double sl = surfOf(li, lj);
    double su = sl;
    if (FlagGridStab5 == 2) bl = std::min(bl, sl - MinDepthGrid);
    if (FlagGridStab5 == 3 && vv[li][lj] != 0) bl = std::min(bl, sl - MinVertDist1);
    if (FlagGridStab5 == 8) su = std::max(sl, bl + MinDepthGrid);
    double zb, zt;
    defaultCornerLevels(antlin[li][lj], bl, su, k, n, zb, zt);
    const int em = col.ext.m[m];
    if (FlagGridStab5 == 4 && em > 0 && n <= em) {
      zb -= (em - n + 1) * col.ext.delta[m];
      zt -= (em - n) * col.ext.delta[m];
    }
    t.z[m] = zb;
    t.z[m + 4] = zt;
  }
}

// Side neighbours by the uneven-column rule, then the cells below and above.
void cellNeighbours(const Column& col, const Window& w, int n, int k, CellTemplate& t) {
  const int i = col.i, j = col.j, A = col.A;
  t.cell[1] = unevenNeighbour(i, j - 1, A, n, k, j == w.j1);
  t.cell[2] = unevenNeighbour(i + 1, j, A, n, k, i == w.i2);
  t.cell[3] = unevenNeighbour(i, j + 1, A, n, k, j == w.j2);
  t.cell[4] = unevenNeighbour(i - 1, j, A, n, k, i == w.i1);
  t.cell[5] = num[i][j][k - 1];
  t.cell[6] = num[i][j][k + 1];
}

// Slope extension (FlagGridStab5 4): the cells up to E + 1 link to the extended cells of the
// neighbouring columns instead.
void extensionNeighbours(const Column& col, const Window& w, int n, CellTemplate& t) {
  if (n > col.E + 1) return;
  const int i = col.i, j = col.j;
  const int ni[5] = {0, i, i + 1, i, i - 1};
  const int nj[5] = {0, j - 1, j, j + 1, j};
  const bool edge[5] = {false, j == w.j1, i == w.i2, j == w.j2, i == w.i1};
  for (int s = 1; s <= 4; ++s) {
    const int bn = edge[s] ? 0 : bottomCell(ni[s], nj[s]);
    if (bn == 0) {
      t.cell[s] = 0;
      continue;
    }
    // The extension count of the neighbour may exceed its cells; the link then goes to its
    // top cell instead of into the next column.
    const int en = std::min(vv[ni[s]][nj[s]], ant[ni[s]][nj[s]] - 1);
    if (n == col.E + 1) t.cell[s] = bn + en;
    else t.cell[s] = vv[ni[s]][nj[s]] < n ? 0 : bn + en;
  }
}

// Wall options of the second F 159 integer: a side whose two end lines are both dry (surface
// minus bed below the threshold) becomes a wall.
void wallSides(int i, int j, double dryDepth, CellTemplate& t) {
  auto dry = [&](int a, int b) { return lineDepth(a, b) < dryDepth; };
  if (dry(i, j)) {
    if (dry(i - 1, j)) t.cell[3] = 0;
    if (dry(i, j - 1)) t.cell[2] = 0;
  }
  if (dry(i - 1, j - 1)) {
    if (dry(i - 1, j)) t.cell[4] = 0;
    if (dry(i, j - 1)) t.cell[1] = 0;
  }
}

// The cells of one column from the bottom up. False when F 65 leaves no room for a cell, with
// the result of the failure in `failure`.
bool buildColumn(const Column& col, const Window& w, bool walls, double dryDepth, int& failure) {
  for (int n = 1; n <= col.A; ++n) {
    const int k = znumber - col.A + n;
    const int c = num[col.i][col.j][k];
    CellTemplate& t = NewCell;
    cellCorners(col, n, k, t);
    cellNeighbours(col, w, n, k, t);
    if (FlagGridStab5 == 4) extensionNeighbours(col, w, n, t);
    if (walls) wallSides(col.i, col.j, dryDepth, t);
    sharedSurfaces(col.i, col.j, w, k, t);
    if (!makeCheckedCell(c, col.i, col.j, k, false, failure)) return false;
  }
  return true;
}

}  // namespace

int unevenNeighbour(int ni, int nj, int A, int n, int k, bool edge) {
  if (edge) return 0;
  const int a = ant[ni][nj];
  if (a == 0) return 0;
  if (a == A) return num[ni][nj][k];
  if (n == 1) return num[ni][nj][znumber] - a + 1;
  if (A - a > 0 && n <= A - a + 1) return 0;
  return num[ni][nj][k];
}

void defaultCornerLevels(int L, double b, double s, int k, int n, double& zb, double& zt) {
  const double D = L - 1 + 1e-10;
  double fb = (znumber - k + 1) / D;
  if (n != 1 && fb >= 1 - 1 / D) fb = 1 - 1 / D;
  double ft = (znumber - k) / D;
  if (ft >= 1 - 1 / D) ft = 1 - 1 / D;
  auto level = [&](double f) {
    if (f > 0.99999) f = 1;
    if (f < 1e-10) f = 0;
    if (b > s) f = 0;
    return f * b + (1 - f) * s;
  };
  zb = level(fb);
  zt = level(ft);
}

void sharedSurfaces(int i, int j, const Window& w, int k, CellTemplate& t) {
  for (int s = 0; s <= 6; ++s) t.flate[s] = 0;
  if (i > w.i1 && t.cell[4] != 0) t.flate[4] = surfaceOf(Cflatee, t.cell[4]);
  if (j > w.j1 && t.cell[1] != 0) t.flate[1] = surfaceOf(Cflaten, t.cell[1]);
  if (k > 1) t.flate[5] = surfaceOf(Cflatet, num[i][j][k - 1]);
}

bool makeCheckedCell(int c, int i, int j, int k, bool newMaker, int& failure) {
  // Room for the whole cell first, so that the cell maker never writes past a table; after
  // it the margin of one entry that every grid builder keeps.
  if (roomForCell(c)) {
    if (newMaker) MakeCellNew(c, i, j, k);
    else MakeCell(c);
    if (!capacityReached()) return true;
  }
  failure = capacityFailure();
  return false;
}

int buildBlockDefault(int b) {
  GridBlock& blk = block[b];
  const Window w{blk.i1, blk.i2, blk.j1, blk.j2};

  if (MinDepthGrid < 0) MinDepthGrid = MinVertDist0;
  countLevels(w, depthScale(blk, w));
  numberCells(w);
  if (FlagGridStab5 == 3) markSteepPoints(w);

  double dryDepth = 0;
  const bool walls = wallDepth(dryDepth);
  for (int j = w.j1; j <= w.j2; ++j)
    for (int i = w.i1; i <= w.i2; ++i) {
      if (ant[i][j] <= 0) continue;
      int failure = 0;
      if (!buildColumn(columnAt(i, j), w, walls, dryDepth, failure)) return failure;
    }

  blk.cellend = NoCells;
  blk.surfend = NoSurfaces;
  blk.pointend = NoPoints;
  blk.inwork = 1;
  return 0;
}

}  // namespace qorva
