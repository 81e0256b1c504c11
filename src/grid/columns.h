// Column and grid-line look-ups that the grid files share. Each keeps its indexes inside the
// tables, so that a count or a cell number read from the state cannot take a loop past them.
#pragma once

#include <algorithm>
#include <cstddef>

#include "state/bedcells.h"
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
inline bool isGridCell(int c) {
  return c >= 1 && c <= NoCells && c < static_cast<long long>(Ccellt.size());
}

// Grid line or column (i, j) of the structured plane, spare lines included.
inline bool onPlane(int i, int j) {
  return i >= 0 && j >= 0 && i <= xnumber + 1 && j <= ynumber + 1;
}

// Bottom cell of column (i, j) in the present grid; 0 for a dry column or one off the plane.
inline int columnBottom(int i, int j) {
  if (!onPlane(i, j)) return 0;
  const int c = static_cast<int>(zval[i][j][0]);
  return isGridCell(c) ? c : 0;
}

// Highest bed cell of the present grid that the bed-cell tables hold.
inline int bedCellLimit() {
  const long long cap = static_cast<long long>(Bcellt.size()) - 1;
  return NoBCells < cap ? NoBCells : static_cast<int>(cap);
}

// Bed cell of column (i, j) (pointbed), 0 where it has none or the bed cells are not numbered.
inline int columnBedCell(int i, int j) {
  if (!onPlane(i, j) || !pointbed) return 0;
  const int b = pointbed[i][j];
  return b >= 1 && b <= bedCellLimit() ? b : 0;
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

// Calls f(c) for the cells of a column from its bottom cell upward along Ccellt. At most
// NoCells steps, so that a broken top link cannot loop for ever.
template <class F>
void upColumn(int bottom, F f) {
  for (int c = bottom, n = 0; isGridCell(c) && n < NoCells; c = Ccellt[c], ++n) f(c);
}

// Index range lo..hi cut to first..n-1, so that a window reaching past a table of n entries
// is only walked where the table has them.
inline void cutRange(int& lo, int& hi, std::size_t n, int first) {
  lo = std::max(lo, first);
  hi = static_cast<int>(std::min<long long>(hi, static_cast<long long>(n) - 1));
}

}  // namespace qorva
