// What the files of the free surface share beside the grid's column look-ups (grid/columns.h):
// the blocks whose levels may move and their columns, and the cells of the discharge groups'
// boundary surfaces, in namespace surf. Each keeps its indexes inside the tables, so that a
// cell number read from a group list cannot take a walk past them. Private to surface/.
#pragma once

#include "grid/columns.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/surfaces.h"

namespace qorva::surf {

// Cell of boundary surface s: Fcell1, or Fcell2 where Fcell1 is 0; 0 for a surface that the
// tables do not hold or a cell outside the grid.
inline int boundaryCell(int s) {
  if (s <= 0 || s >= static_cast<long long>(Fcell1.size())) return 0;
  const int c = Fcell1[s] != 0 ? Fcell1[s] : Fcell2[s];
  return isGridCell(c) ? c : 0;
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
  forEachColumn(levelsMove, f);
}

}  // namespace qorva::surf
