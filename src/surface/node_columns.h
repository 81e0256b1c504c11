// The four columns around a grid node, completed across block seams. Private to surface/.
#pragma once

#include "grid/columns.h"
#include "state/cells.h"

namespace qorva::surf {

// Bottom cells of the columns around node (i, j): [0] (i, j) south-west of the node's centre
// lines, [1] (i, j + 1), [2] (i + 1, j + 1), [3] (i + 1, j) (0 where absent). With `complete`
// a missing column is taken from a neighbour link of an adjacent one, in this order: [0] south
// of [1] or west of [3]; [1] north of [0] or west of [2]; [2] east of [1] or north of [3];
// [3] east of [0] or south of [2]; each step sees the columns found before it. Returns the
// number of columns found; 0 when none of the four is in zval.
inline int nodeColumns(int i, int j, bool complete, int (&c)[4]) {
  c[0] = columnBottom(i, j);
  c[1] = columnBottom(i, j + 1);
  c[2] = columnBottom(i + 1, j + 1);
  c[3] = columnBottom(i + 1, j);
  if (c[0] + c[1] + c[2] + c[3] < 1) return 0;
  auto via = [](const Table1<int>& to, int a) { return isGridCell(a) && isGridCell(to[a]) ? to[a] : 0; };
  if (complete) {
    if (c[0] == 0) c[0] = via(Ccells, c[1]) ? via(Ccells, c[1]) : via(Ccellw, c[3]);
    if (c[1] == 0) c[1] = via(Ccelln, c[0]) ? via(Ccelln, c[0]) : via(Ccellw, c[2]);
    if (c[2] == 0) c[2] = via(Ccelle, c[1]) ? via(Ccelle, c[1]) : via(Ccelln, c[3]);
    if (c[3] == 0) c[3] = via(Ccelle, c[0]) ? via(Ccelle, c[0]) : via(Ccells, c[2]);
  }
  int n = 0;
  for (int x : c) n += x != 0;
  return n;
}

}  // namespace qorva::surf
