// What the files of the free surface share: look-ups of water columns, their cells and the
// blocks whose levels may move, in namespace surf (apart from the grid's own look-ups). Each
// keeps its indexes inside the tables, so that a cell number read from zval or a group list
// cannot take a walk past them. Private to surface/.
#pragma once

#include <cstddef>

#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva::surf {

// A cell of the present grid (1..NoCells) that the per-cell tables hold.
inline bool surfaceCell(int c) {
  return c >= 1 && c <= NoCells && c < static_cast<long long>(Ccellt.size());
}

// Grid line or column (i, j) of the structured plane, spare lines included.
inline bool onSurfacePlane(int i, int j) {
  return zval && i >= 0 && j >= 0 && static_cast<std::size_t>(i) < zval.dim(0) &&
         static_cast<std::size_t>(j) < zval.dim(1);
}

// Bottom cell of column (i, j); 0 for a dry column or one off the plane.
inline int columnBottom(int i, int j) {
  if (!onSurfacePlane(i, j)) return 0;
  const int c = static_cast<int>(zval[i][j][0]);
  return surfaceCell(c) ? c : 0;
}

// Top and bottom cell of the column of cell c (c itself at its end); 0 for no cell. At most
// NoCells steps, so that a broken link cannot loop for ever.
inline int topOf(int c) {
  if (!surfaceCell(c)) return 0;
  for (int n = 0; surfaceCell(Ccellt[c]) && n < NoCells; ++n) c = Ccellt[c];
  return c;
}
inline int bottomOf(int c) {
  if (!surfaceCell(c)) return 0;
  for (int n = 0; surfaceCell(Ccellb[c]) && n < NoCells; ++n) c = Ccellb[c];
  return c;
}

// Top cell of column (i, j), 0 for a dry column.
inline int columnTop(int i, int j) { return topOf(columnBottom(i, j)); }

// Level of the top face of cell c (m).
inline double topFace(int c) { return Czcenter[c] + Ckdist[c]; }

// Cell of boundary surface s: Fcell1, or Fcell2 where Fcell1 is 0; 0 for a surface that the
// tables do not hold or a cell outside the grid.
inline int boundaryCell(int s) {
  if (s <= 0 || s >= static_cast<long long>(Fcell1.size())) return 0;
  const int c = Fcell1[s] != 0 ? Fcell1[s] : Fcell2[s];
  return surfaceCell(c) ? c : 0;
}

// Entries of a group's surface list that the list holds.
template <class Group>
int listedSurfaces(const Group& g) {
  const long long n = g.surfaceNo < 0 ? 0 : g.surfaceNo;
  const long long room = static_cast<long long>(g.surfaceList.size());
  return static_cast<int>(n < room ? n : room);
}

// Blocks whose levels the free surface moves: not skipped, and G 26 leaves them on.
inline bool levelsMove(int b) { return block[b].skip == 0 && SurfUpdate[b] == 1; }

// Calls f(i, j) for the columns i = i1..i2, j = j1..j2 of every block whose levels move.
template <class F>
void forEachWorkedColumn(F f) {
  for (int b = 1; b <= NoBlocks; ++b) {
    if (!levelsMove(b)) continue;
    const GridBlock& k = block[b];
    for (int i = k.i1; i <= k.i2; ++i)
      for (int j = k.j1; j <= k.j2; ++j) f(i, j);
  }
}

// Calls f(c) for the cells of a column from its bottom cell upward.
template <class F>
void upColumn(int bottom, F f) {
  for (int c = bottom, n = 0; surfaceCell(c) && n < NoCells; c = Ccellt[c], ++n) f(c);
}

}  // namespace qorva::surf
