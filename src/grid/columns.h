// The water-column vocabulary of every folder: a column's bottom and top cell, the cell above
// and below, the walks up and down a column, a cell's level in it, and each column of the
// blocks a step works on. Cells of a column are linked by Ccellb (down) and Ccellt (up), 0 at
// the ends; zval[i][j][0] holds the bottom cell of column (i, j).
// Every look-up keeps to the tables: a cell is a grid cell only within 1..NoCells (and the
// cell tables), a walk stops at the first link that leaves them and after NoCells steps at the
// most, so a damaged link can neither take it past a table nor loop for ever. Other folders
// add no column helpers of their own.
#pragma once

#include <algorithm>
#include <cstddef>

#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"

namespace qorva {

// An index window i1..i2, j1..j2: the columns of a block, or the grid lines around them.
struct Window {
  int i1, i2, j1, j2;
};

// A cell of the present grid (1..NoCells) that the per-cell tables hold.
inline bool isGridCell(long long c) {
  return c >= 1 && c <= NoCells && c < static_cast<long long>(Ccellt.size()) &&
         c < static_cast<long long>(Ccellb.size());
}

// Grid line or column (i, j) of the structured plane that zval holds, spare lines included.
inline bool onPlane(long long i, long long j) {
  return zval && i >= 0 && j >= 0 && static_cast<std::size_t>(i) < zval.dim(0) &&
         static_cast<std::size_t>(j) < zval.dim(1);
}

// Bottom cell of column (i, j) in the present grid; 0 for a dry column or one off the plane.
inline int columnBottom(long long i, long long j) {
  if (!onPlane(i, j)) return 0;
  const double z = zval[i][j][0];
  // The cell number is stored as a double; one outside the grid (or not a number) is none.
  if (!(z >= 1 && z <= NoCells)) return 0;
  const int c = static_cast<int>(z);
  return isGridCell(c) ? c : 0;
}

// Column (i, j) holds cells.
inline bool wetColumn(long long i, long long j) { return columnBottom(i, j) != 0; }

// The cell above and below c; 0 at the top and the bottom of its column, for a link that
// leaves the grid, and for c itself outside it.
inline int cellAbove(int c) { return isGridCell(c) && isGridCell(Ccellt[c]) ? Ccellt[c] : 0; }
inline int cellBelow(int c) { return isGridCell(c) && isGridCell(Ccellb[c]) ? Ccellb[c] : 0; }

// c is the bottom (top) cell of its column.
inline bool isBottomCell(int c) { return isGridCell(c) && cellBelow(c) == 0; }
inline bool isTopCell(int c) { return isGridCell(c) && cellAbove(c) == 0; }

// Top and bottom cell of the column of cell c (c itself at its end); 0 for no cell.
inline int topOf(int c) {
  if (!isGridCell(c)) return 0;
  for (int n = 0; n < NoCells && cellAbove(c) != 0; ++n) c = Ccellt[c];
  return c;
}
inline int bottomOf(int c) {
  if (!isGridCell(c)) return 0;
  for (int n = 0; n < NoCells && cellBelow(c) != 0; ++n) c = Ccellb[c];
  return c;
}

// Top cell of column (i, j), 0 for a dry column.
inline int columnTop(long long i, long long j) { return topOf(columnBottom(i, j)); }

// Calls f(c) for cell c and the cells above it, upward (from a bottom cell: the whole column),
// and for c and the cells below it, downward.
template <class F>
void upColumn(int c, F f) {
  for (int n = 0; isGridCell(c) && n < NoCells; c = Ccellt[c], ++n) f(c);
}
template <class F>
void downColumn(int c, F f) {
  for (int n = 0; isGridCell(c) && n < NoCells; c = Ccellb[c], ++n) f(c);
}

// The cell `steps` cells above c, or the top cell of its column when that is nearer; 0 for no
// cell.
inline int cellUp(int c, int steps) {
  if (!isGridCell(c)) return 0;
  for (int n = 0; n < steps && n < NoCells && cellAbove(c) != 0; ++n) c = Ccellt[c];
  return c;
}

// The upward walk that f can end: f(c) returns false to stop after cell c.
template <class F>
void upColumnWhile(int c, F f) {
  for (int n = 0; isGridCell(c) && n < NoCells; c = Ccellt[c], ++n)
    if (!f(c)) return;
}

// Cells from c up to the top of its column, c included (the whole column from its bottom).
inline int cellsUpFrom(int c) {
  int n = 0;
  upColumn(c, [&n](int) { ++n; });
  return n;
}

// Level of cell c in its column: 1 for the bottom cell, 0 for no cell.
inline int levelOfCell(int c) {
  int n = 0;
  downColumn(c, [&n](int) { ++n; });
  return n;
}

// Level of the top face of cell c (m).
inline double topFace(int c) { return Czcenter[c] + Ckdist[c]; }

// Highest bed cell of the present grid that the bed-cell tables hold.
inline int bedCellLimit() {
  const long long cap = static_cast<long long>(Bcellt.size()) - 1;
  return NoBCells < cap ? NoBCells : static_cast<int>(cap);
}

// Bed cell of column (i, j) (pointbed), 0 where it has none or the bed cells are not numbered.
inline int columnBedCell(long long i, long long j) {
  if (!onPlane(i, j) || !pointbed || static_cast<std::size_t>(i) >= pointbed.dim(0) ||
      static_cast<std::size_t>(j) >= pointbed.dim(1))
    return 0;
  const int b = pointbed[i][j];
  return b >= 1 && b <= bedCellLimit() ? b : 0;
}

// Calls f(c0) once for the bottom cell c0 of every column that has a cell in first..last, in
// the order of those cells. The range may cut a column (the chunks of a parallel region): the
// column is then met at its first cell in the range.
template <class F>
void forEachColumnIn(int first, int last, F f) {
  for (int c = first; c <= last; ++c) {
    const int b = cellBelow(c);
    if (c != first && b != 0 && b >= first && b <= last) continue;
    if (const int c0 = bottomOf(c); c0 != 0) f(c0);
  }
}

// Calls f(i, j) for the columns i = i1..i2, j = j1..j2 of block b.
template <class F>
void forEachColumnOf(int b, F f) {
  const GridBlock& k = block[b];
  for (int i = k.i1; i <= k.i2; ++i)
    for (int j = k.j1; j <= k.j2; ++j) f(i, j);
}

// Calls f(i, j) for each column of the blocks 1..NoBlocks that keep(b) admits: the worked
// columns of a step that works on some blocks only.
template <class Keep, class F>
void forEachColumn(Keep keep, F f) {
  for (int b = 1; b <= NoBlocks; ++b)
    if (keep(b)) forEachColumnOf(b, f);
}

// Water depth of grid line (i, j); negative where the bed lies above the surface.
inline double lineDepth(int i, int j) { return zval[i][j][znumber] - zval[i][j][1]; }

// Mean water depth of the four corner lines of column (i, j).
inline double columnMeanDepth(int i, int j) {
  return 0.25 * (lineDepth(i - 1, j - 1) + lineDepth(i, j - 1) + lineDepth(i, j) +
                 lineDepth(i - 1, j));
}

// Grid lines of the corners of column (i, j), entries 0..3 in the order of the cell corners
// 1..4: south-west (i-1, j-1), south-east (i, j-1), north-east (i, j), north-west (i-1, j).
struct CornerLines {
  int i[4], j[4];
};
inline CornerLines cornerLines(int i, int j) {
  return {{i - 1, i, i, i - 1}, {j - 1, j - 1, j, j}};
}

// Index range lo..hi cut to first..n-1, so that a window reaching past a table of n entries
// is only walked where the table has them.
inline void cutRange(int& lo, int& hi, std::size_t n, int first) {
  lo = std::max(lo, first);
  hi = static_cast<int>(std::min<long long>(hi, static_cast<long long>(n) - 1));
}

}  // namespace qorva
