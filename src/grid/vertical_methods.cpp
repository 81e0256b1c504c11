// The vertical methods of F 64 that build their cells through the cell template: levels per
// corner line (2, 5, 6, 10, 12 and 30 to 36), cells counted from the bed (3, 4) and levels
// from the G 3 table (0, 1). Each is the default method's column loop with its own counts,
// corner levels, side neighbours and cell maker. Reads xval, yval, zval, zdistrib, the blocks,
// bedOutBlock and the depth thresholds; writes antlin, ant, num, zval[..][0] (and the levels
// of the table methods), the block ranges and, through the cell makers, the grid.
#include <algorithm>
#include <cmath>

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

double bedOf(int i, int j) { return zval[i][j][1]; }
double surfOf(int i, int j) { return zval[i][j][znumber]; }

// Fraction of the depth below the surface, with the limits every corner rule applies.
double limited(double f) {
  if (f > 0.99999) f = 1;
  if (f < 1e-10) f = 0;
  return f;
}

// What a method changes in the column loop.
struct TemplateForm {
  int method;
  bool newMaker;  // MakeCellNew instead of MakeCell
  bool bedUp;     // cells at levels 1..A instead of the top A levels
  // Lower and upper level of corner line (li, lj) for cell n (level k) of a column of A cells.
  void (*corners)(int li, int lj, int A, int n, int k, double& zb, double& zt);
  // Neighbour of cell n (level k) of a column of A cells across a side facing column (ni, nj).
  int (*neighbour)(int ni, int nj, int A, int n, int k, bool edge);
};

// Level of cell n's level k in a column of A cells.
int levelOf(const TemplateForm& f, int A, int n) { return f.bedUp ? n : znumber - A + n; }

// ---- corner rules -------------------------------------------------------------------------

void defaultCorners(int li, int lj, int, int n, int k, double& zb, double& zt) {
  defaultCornerLevels(antlin[li][lj], bedOf(li, lj), surfOf(li, lj), k, n, zb, zt);
}

// Fractions of the line's own level spacing from the surface down; a corner with fewer levels
// than the cell needs squeezes the cell onto its bed (method 2) or continues (method 5, where
// the limits keep it on the bed).
void fractionCorners(int li, int lj, int k, double D, bool squeezeOnBed, double& zb,
                     double& zt) {
  const double b = bedOf(li, lj), s = surfOf(li, lj);
  auto level = [&](double f) {
    f = limited(f);
    if (squeezeOnBed) return f * std::min(b, s) + (1 - f) * s;
    if (b > s) f = 0;
    return f * b + (1 - f) * s;
  };
  zb = level((znumber - k + 1) / D);
  zt = level((znumber - k) / D);
}

void cornersF2(int li, int lj, int, int, int k, double& zb, double& zt) {
  fractionCorners(li, lj, k, antlin[li][lj] - 1 + 1e-20, true, zb, zt);
}

void cornersF5(int li, int lj, int, int, int k, double& zb, double& zt) {
  fractionCorners(li, lj, k, antlin[li][lj] - 1 + 1e-10, false, zb, zt);
}

// Cells counted from the bed: each line's levels spaced evenly upward from its bed; cells
// above its count lie on its surface. Method 4 keeps every corner below the column's top cell
// at least one spacing under the surface.
void bedUpCorners(int li, int lj, int A, int n, bool floors, double& zb, double& zt) {
  const int L = antlin[li][lj];
  const double b = bedOf(li, lj), s = surfOf(li, lj);
  const double D = L - 1 + 1e-10;
  double fb = limited(1 - (n - 1) / D);
  double ft = limited(1 - n / D);
  if (floors && L > 2) {
    if (fb <= 1 / D) fb = 1 / D;
    if (n != A && L - 1 <= n && ft <= 1 / D) ft = 1 / D;
  }
  zb = std::min(s, (1 - fb) * s + fb * b);
  zt = std::min(s, (1 - ft) * s + ft * b);
}

void cornersB(int li, int lj, int A, int n, int, double& zb, double& zt) {
  bedUpCorners(li, lj, A, n, false, zb, zt);
}

void cornersB4(int li, int lj, int A, int n, int, double& zb, double& zt) {
  bedUpCorners(li, lj, A, n, true, zb, zt);
}

// The levels stored on the line by the table methods: cell k spans levels k - 1 and k.
void storedCorners(int li, int lj, int, int, int k, double& zb, double& zt) {
  zb = zval[li][lj][k - 1];
  zt = zval[li][lj][k];
}

// ---- side neighbours ----------------------------------------------------------------------

int sameLevel(int ni, int nj, int, int, int k, bool edge) { return edge ? 0 : num[ni][nj][k]; }

// Method 4: above the bottom cell the top cells of two columns face each other, and a cell at
// or above the neighbour's count faces nothing.
int topCellsJoined(int ni, int nj, int A, int n, int k, bool edge) {
  if (edge) return 0;
  const int a = ant[ni][nj];
  if (n >= 2 && a > 0) {
    if (n == A) return num[ni][nj][a];
    if (k >= a) return 0;
  }
  return num[ni][nj][k];
}

// ---- the column loop ----------------------------------------------------------------------

bool hasCells(int i, int j) {
  const int a = ant[i][j];
  return a > 0 && num[i][j][znumber - a + 1] != 0;
}

// Method 12: two single-cell columns are not joined across a side whose two grid lines are
// almost dry together.
void nearlyDrySides(int i, int j, CellTemplate& t) {
  if (ant[i][j] != 1) return;
  const CornerLines c = cornerLines(i, j);
  const int ni[5] = {0, i, i + 1, i, i - 1}, nj[5] = {0, j - 1, j, j + 1, j};
  const int from[5] = {0, 0, 1, 2, 3}, to[5] = {0, 1, 2, 3, 0};
  for (int s = 1; s <= 4; ++s) {
    if (t.cell[s] == 0 || ant[ni[s]][nj[s]] != 1) continue;
    const double d = std::max(lineDepth(c.i[from[s]], c.j[from[s]]), 0.0) +
                     std::max(lineDepth(c.i[to[s]], c.j[to[s]]), 0.0);
    if (d < MinVertDist) t.cell[s] = 0;
  }
}

// Method 10: the dry corners of a bottom cell slide toward the waterline (or onto a
// neighbouring corner) where no cell lies beyond them. Corners 1..4 as in the template.
void fitWaterline(int i, int j, CellTemplate& t) {
  const CornerLines lines = cornerLines(i, j);
  double d[5], px[5], py[5];
  for (int c = 1; c <= 4; ++c) {
    d[c] = lineDepth(lines.i[c - 1], lines.j[c - 1]);
    px[c] = xval[lines.i[c - 1]][lines.j[c - 1]];
    py[c] = yval[lines.i[c - 1]][lines.j[c - 1]];
  }
  const int di[5] = {0, i - 1, i + 1, i + 1, i - 1}, dj[5] = {0, j - 1, j - 1, j + 1, j + 1};
  const int S = t.cell[1], E = t.cell[2], N = t.cell[3], W = t.cell[4];
  auto open = [&](int c) { return !hasCells(di[c], dj[c]); };
  auto move = [&](int c, int a) {
    const double f = std::min(-d[c] / (d[a] - d[c]), DistGridHoriz);
    t.x[c] = t.x[c + 4] = f * px[a] + (1 - f) * px[c];
    t.y[c] = t.y[c + 4] = f * py[a] + (1 - f) * py[c];
  };
  // Onto the nearer neighbouring corner; the first named wins a tie.
  auto collapse = [&](int c, int first, int second) {
    auto dist = [&](int a) {
      const double dx = t.x[a] - t.x[c], dy = t.y[a] - t.y[c];
      return dx * dx + dy * dy;
    };
    const int a = dist(first) <= dist(second) ? first : second;
    t.x[c] = t.x[c + 4] = t.x[a];
    t.y[c] = t.y[c + 4] = t.y[a];
  };
  if (open(1) && d[1] < 0 && d[4] > 0 && S == 0 && W > 0) move(1, 4);
  if (open(2) && d[2] < 0 && d[3] > 0 && S == 0 && E > 0) move(2, 3);
  if (open(4) && d[4] < 0 && d[1] > 0 && N == 0 && W > 0) move(4, 1);
  if (open(3) && d[3] < 0 && d[2] > 0 && N == 0 && E > 0) move(3, 2);
  if (open(1) && d[1] < 0 && d[2] > 0 && W == 0 && S > 0) move(1, 2);
  if (open(4) && d[4] < 0 && d[3] > 0 && W == 0 && N > 0) move(4, 3);
  if (open(2) && d[2] < 0 && d[1] > 0 && E == 0 && S > 0) move(2, 1);
  if (open(3) && d[3] < 0 && d[4] > 0 && E == 0 && N > 0) move(3, 4);
  // A corner with no neighbour on either of its sides: toward its one wet neighbouring
  // corner, or onto the nearer one when both are dry.
  auto alone = [&](int c, int a, int b, int tieFirst, int tieSecond) {
    if (d[a] > 0 && d[b] < 0) move(c, a);
    else if (d[a] < 0 && d[b] > 0) move(c, b);
    else if (d[a] < 0 && d[b] < 0) collapse(c, tieFirst, tieSecond);
  };
  if (open(1) && d[1] < 0 && S == 0 && W == 0) alone(1, 4, 2, 4, 2);
  if (open(2) && d[2] < 0 && S == 0 && E == 0) alone(2, 1, 3, 3, 1);
  if (open(3) && d[3] < 0 && N == 0 && E == 0) alone(3, 2, 4, 4, 2);
  if (open(4) && d[4] < 0 && N == 0 && W == 0) alone(4, 3, 1, 1, 3);
}

// Numbers the cells of the block; false when the cell table has no room for them.
bool numberColumns(const Window& w, const TemplateForm& f) {
  for (int j = w.j1; j <= w.j2; ++j)
    for (int i = w.i1; i <= w.i2; ++i) {
      const int a = ant[i][j];
      if (a <= 0) continue;
      if (NoCells + a >= MaxCeller - 1) return false;
      zval[i][j][0] = NoCells + 1;
      for (int n = 1; n <= a; ++n) num[i][j][levelOf(f, a, n)] = ++NoCells;
    }
  return true;
}

// The cells of the block window from the bottom of each column up. Returns 0, or the result
// of the F 65 failure.
int buildColumns(const Window& w, const TemplateForm& f) {
  if (!numberColumns(w, f)) return capacityFailure();
  CellTemplate& t = NewCell;
  for (int j = w.j1; j <= w.j2; ++j)
    for (int i = w.i1; i <= w.i2; ++i) {
      const int A = ant[i][j];
      if (A <= 0) continue;
      const CornerLines lines = cornerLines(i, j);
      double px[9], py[9];
      for (int m = 1; m <= 4; ++m)
        px[m] = px[m + 4] = xval[lines.i[m - 1]][lines.j[m - 1]],
        py[m] = py[m + 4] = yval[lines.i[m - 1]][lines.j[m - 1]];
      for (int n = 1; n <= A; ++n) {
        const int k = levelOf(f, A, n);
        for (int m = 1; m <= 8; ++m) {
          t.x[m] = px[m];
          t.y[m] = py[m];
        }
        for (int m = 1; m <= 4; ++m)
          f.corners(lines.i[m - 1], lines.j[m - 1], A, n, k, t.z[m], t.z[m + 4]);
        t.cell[1] = f.neighbour(i, j - 1, A, n, k, j == w.j1);
        t.cell[2] = f.neighbour(i + 1, j, A, n, k, i == w.i2);
        t.cell[3] = f.neighbour(i, j + 1, A, n, k, j == w.j2);
        t.cell[4] = f.neighbour(i - 1, j, A, n, k, i == w.i1);
        t.cell[5] = num[i][j][k - 1];
        t.cell[6] = num[i][j][k + 1];
        if (f.method == 12) nearlyDrySides(i, j, t);
        // The corners the bottom cell moves toward the waterline hold for the whole column.
        if (f.method == 10 && n == 1) {
          fitWaterline(i, j, t);
          for (int m = 1; m <= 8; ++m) {
            px[m] = t.x[m];
            py[m] = t.y[m];
          }
        }
        sharedSurfaces(i, j, w, k, t);
        int failure = 0;
        if (!makeCheckedCell(num[i][j][k], i, j, k, f.newMaker, failure)) return failure;
      }
    }
  return 0;
}

// ---- level counts of the block ------------------------------------------------------------

}  // namespace

int steepCut(int i, int j, double l) {
  const int ci[4] = {i - 1, i, i, i - 1}, cj[4] = {j, j, j - 1, j - 1};
  int deepest = 0;
  double dmax = lineDepth(ci[0], cj[0]), dmin = dmax;
  int lmax = antlin[ci[0]][cj[0]], lmin = lmax;
  for (int c = 1; c < 4; ++c) {
    const double d = lineDepth(ci[c], cj[c]);
    // (i, j) wins a tie with (i - 1, j); the two southern lines only when strictly deeper.
    if (c == 1 ? d >= dmax : d > dmax) deepest = c;
    dmax = std::max(dmax, d);
    dmin = std::min(dmin, d);
    lmax = std::max(lmax, antlin[ci[c]][cj[c]]);
    lmin = std::min(lmin, antlin[ci[c]][cj[c]]);
  }
  const int ld = antlin[ci[deepest]][cj[deepest]];
  const double e = dmax - dmin - l;
  if (e <= 0 || dmax <= 0 || ld <= 0) return 0;
  const int r = std::min(static_cast<int>(e * ld / (dmax + 1e-20)), lmax - lmin);
  return std::max(r, 0);
}

double planLength(int i0, int j0, int i1, int j1) {
  const double dx = xval[i1][j1] - xval[i0][j0], dy = yval[i1][j1] - yval[i0][j0];
  return std::sqrt(dx * dx + dy * dy);
}

namespace {

// Plan size of method 1: the root of the column's area.
double rootArea(int i, int j) {
  const double a = ((yval[i - 1][j] - yval[i][j - 1]) * (xval[i][j] - xval[i - 1][j - 1]) -
                    (xval[i - 1][j] - xval[i][j - 1]) * (yval[i][j] - yval[i - 1][j - 1])) /
                   2;
  return std::sqrt(std::fabs(a));
}

void reduceSteep(const Window& w, int method) {
  for (int j = w.j1; j <= w.j2; ++j)
    for (int i = w.i1; i <= w.i2; ++i) {
      if (ant[i][j] <= 0) continue;
      const double l = method == 1 || method == 31
                           ? rootArea(i, j)
                           : std::min(planLength(i, j, i, j - 1), planLength(i, j, i - 1, j));
      ant[i][j] = std::max(ant[i][j] - steepCut(i, j, l), 0);
    }
}

// Methods 3 and 4 under F 231 1: lines that both lie within the smaller count of the two
// columns beside their edge are evened, the deeper raised to that count.
void evenEdges(const Window& w) {
  for (int j = w.j1; j <= w.j2 - 1; ++j)
    for (int i = w.i1; i <= w.i2 - 1; ++i) {
      auto even = [&](int ai, int aj, int bi, int bj, int m) {
        if (antlin[ai][aj] > m || antlin[bi][bj] > m) return;
        const bool firstDeeper = lineDepth(ai, aj) >= lineDepth(bi, bj);
        int& L = firstDeeper ? antlin[ai][aj] : antlin[bi][bj];
        L = std::max(L, m);
      };
      even(i, j - 1, i, j, std::min(ant[i][j], ant[i + 1][j]));
      even(i - 1, j, i, j, std::min(ant[i][j], ant[i][j + 1]));
    }
  countMethodColumns(w, false);
}

// Levels of the G 3 table on the lines of a bed-following block (methods 0 and 1).
void tableLevels(const Window& w, int method) {
  const bool snap = method == 0 || method == 30;
  for (int j = w.j1 - 1; j <= w.j2; ++j)
    for (int i = w.i1 - 1; i <= w.i2; ++i) {
      for (int k = 1; k <= znumber; ++k) num[i][j][k] = 0;
      double* z = &zval[i][j][0];
      const double bed = z[1];
      int L = 0;
      for (int k = znumber; k >= (snap ? 1 : 2); --k) {
        z[k] = zdistrib[k];
        if (snap && (zdistrib[k] < bed + 1e-8 || k == 1)) {
          // The bed snaps down to the table level at or just below it.
          L = znumber + 1 - k;
          for (int m = 1; m <= k; ++m) z[m] = zdistrib[k];
          break;
        }
        if (!snap && zdistrib[k] < bed + 1e-6) {
          L = znumber + 1 - k;
          for (int m = 2; m <= k; ++m) z[m] = bed;
          break;
        }
      }
      // A bed below the second table level keeps the layer between them as the lowest cell.
      if (L == 0) L = znumber;
      antlin[i][j] = L;
    }
}

// Corners of method 0: every level of a column's cells takes the lowest value of its four
// corner lines, so the cells of a column lie in flat layers.
void levelCorners(const Window& w) {
  for (int j = w.j1; j <= w.j2; ++j)
    for (int i = w.i1; i <= w.i2; ++i) {
      const CornerLines c = cornerLines(i, j);
      for (int k = znumber; k >= std::max(znumber - ant[i][j], 1); --k) {
        double low = zval[c.i[0]][c.j[0]][k];
        for (int m = 1; m < 4; ++m) low = std::min(low, zval[c.i[m]][c.j[m]][k]);
        for (int m = 0; m < 4; ++m) zval[c.i[m]][c.j[m]][k] = low;
      }
    }
}

// A flat box block of the table methods: boxcells cells per column, evenly from
// boxtop - boxheight up to boxtop.
void boxLevels(const Window& w, const GridBlock& blk) {
  const int n = std::clamp(blk.boxcells, 0, znumber - 1);
  for (int j = w.j1 - 1; j <= w.j2; ++j)
    for (int i = w.i1 - 1; i <= w.i2; ++i) {
      for (int k = 1; k <= znumber; ++k) num[i][j][k] = 0;
      antlin[i][j] = n + 1;
      for (int m = 0; m <= n && n > 0; ++m)
        zval[i][j][znumber - n + m] = blk.boxtop - blk.boxheight + blk.boxheight * m / n;
    }
  for (int j = w.j1; j <= w.j2; ++j)
    for (int i = w.i1; i <= w.i2; ++i) ant[i][j] = n;
}

void removeRegions(const Window& w) {
  for (int j = w.j1; j <= w.j2; ++j)
    for (int i = w.i1; i <= w.i2; ++i)
      if (bedOutBlock[i][j] == 1) ant[i][j] = 0;
}

// Counts of one block by method m. False when the block gets no cells.
bool countBlock(int m, const GridBlock& blk, const Window& w, double D) {
  const bool follows = blk.bedfollow == 1;
  switch (m) {
    case 0: case 30: case 1: case 31:
      if (!follows) {
        boxLevels(w, blk);
        return true;
      }
      tableLevels(w, m);
      countMethodColumns(w, false);
      if (m == 0 || m == 30) {
        removeRegions(w);
        levelCorners(w);
      } else {
        reduceSteep(w, m);
      }
      return true;
    case 3: case 33: case 4:
      countMethodLines(m, w, D);
      Grid1Stability(w.i1, w.i2, w.j1, w.j2);
      countMethodColumns(w, false);
      if (FlagGridIter == 1) evenEdges(w);
      Grid2Stability(w.i1, w.i2, w.j1, w.j2);
      return true;
    default:
      // A flat box block has no depth rule of its own in these methods: it gets no cells.
      if (!follows) return false;
      countMethodLines(m, w, D);
      countMethodColumns(w, m == 10 || m == 12);
      if (m == 2 || m == 32) reduceSteep(w, m);
      return true;
  }
}

TemplateForm formOf(int m) {
  switch (m) {
    case 0: case 30: return {m, true, false, storedCorners, sameLevel};
    case 1: case 31: return {m, false, false, storedCorners, sameLevel};
    case 2: case 32: return {m, true, false, cornersF2, sameLevel};
    case 3: case 33: return {m, false, true, cornersB, sameLevel};
    case 4: return {m, false, true, cornersB4, topCellsJoined};
    case 5: case 35: return {m, false, false, cornersF5, sameLevel};
    default: return {m, false, false, defaultCorners, unevenNeighbour};  // 6, 36, 10, 12
  }
}

bool templateMethod(int m) {
  return (m >= 0 && m <= 6) || (m >= 30 && m <= 33) || m == 35 || m == 36 || m == 10 ||
         m == 12;
}

int buildTemplateBlocks(int m, double D) {
  const TemplateForm form = formOf(m);
  for (int b = 1; b <= NoBlocks; ++b) {
    GridBlock& blk = block[b];
    if (blk.flag2D == 1) continue;
    blk.cellstart = NoCells + 1;
    blk.surfstart = NoSurfaces + 1;
    blk.pointstart = NoPoints + 1;
    const Window w{blk.i1, blk.i2, blk.j1, blk.j2};
    if (countBlock(m, blk, w, D)) {
      const int r = buildColumns(w, form);
      if (r < 0) return r;
    }
    blk.cellend = NoCells;
    blk.surfend = NoSurfaces;
    blk.pointend = NoPoints;
    // The block correction and the multigrid work the blocks marked here.
    blk.inwork = 1;
  }
  return 0;
}

}  // namespace

bool otherVerticalMethod(int m) {
  return (m >= 0 && m <= 7) || (m >= 30 && m <= 33) || (m >= 35 && m <= 37) || m == 9 ||
         m == 10 || m == 12 || m == 14 || m == 15;
}

bool verticalMethodBuilt(int m) { return templateMethod(m) || m == 14 || m == 15; }

int buildBlocksByMethod(int m, double D) {
  if (templateMethod(m)) return buildTemplateBlocks(m, D);
  if (m == 14 || m == 15) return buildSharedPointBlocks(m, D);
  UnstructureMethod(m);
  return 0;
}

}  // namespace qorva
