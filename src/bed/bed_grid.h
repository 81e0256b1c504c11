// What the files of bed/ share about the grid and the layer stack: the block selection, the
// corners and neighbours of a column, corner moves, corner weights and layer-built levels.
// Private to bed/.
#pragma once

#include <algorithm>

#include "grid/columns.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/options_snihl.h"
#include "state/structured.h"

namespace qorva::bedgrid {

// The blocks the bed routines work on: not the appended two-dimensional block, not skipped,
// in the work selection, and (where the routine asks) not a mud-layer block.
inline bool selected(int b, bool testMud) {
  const GridBlock& k = block[b];
  return k.flag2D == 0 && k.skip == 0 && k.inwork == 1 && (!testMud || k.thixo == 0);
}

// visit(i, j, c, k) for every column with a water column (bottom cell c) of the selected
// blocks k, blocks in order, i outer, j inner.
template <class Visit>
void eachWetColumn(bool testMud, Visit visit) {
  for (int b = 1; b <= NoBlocks; ++b) {
    if (!selected(b, testMud)) continue;
    const GridBlock& k = block[b];
    forEachColumnOf(b, [&](int i, int j) {
      if (const int c = columnBottom(i, j); c != 0) visit(i, j, c, k);
    });
  }
}

// The eight neighbour columns of a bottom cell c through the cell links, each given by its
// lowest cell (0 = none): the links cross block connections, where the index plane does not.
// A diagonal is reached through a side neighbour, the other side tried when the first has none.
struct Around {
  int e = 0, s = 0, w = 0, n = 0, se = 0, sw = 0, nw = 0, ne = 0;
};
inline Around around(int c) {
  Around a;
  a.e = Ccelle[c];
  a.s = Ccells[c];
  a.w = Ccellw[c];
  a.n = Ccelln[c];
  const auto diagonal = [](int first, int byFirst, int second, int bySecond) {
    const int d = first > 0 ? byFirst : 0;
    return d > 0 ? d : (second > 0 ? bySecond : 0);
  };
  a.se = diagonal(a.s, a.s > 0 ? Ccelle[a.s] : 0, a.e, a.e > 0 ? Ccells[a.e] : 0);
  a.sw = diagonal(a.s, a.s > 0 ? Ccellw[a.s] : 0, a.w, a.w > 0 ? Ccells[a.w] : 0);
  a.nw = diagonal(a.n, a.n > 0 ? Ccellw[a.n] : 0, a.w, a.w > 0 ? Ccelln[a.w] : 0);
  a.ne = diagonal(a.n, a.n > 0 ? Ccelle[a.n] : 0, a.e, a.e > 0 ? Ccelln[a.e] : 0);
  for (int* p : {&a.e, &a.s, &a.w, &a.n, &a.se, &a.sw, &a.nw, &a.ne}) *p = bottomOf(*p);
  return a;
}

// The bottom corner k of cell r, k = 0..3 for the column corners (i, j), (i, j-1), (i-1, j-1),
// (i-1, j).
inline int cellCorner(int r, int k) {
  switch (k) {
    case 0: return Cpoint3[r];
    case 1: return Cpoint2[r];
    case 2: return Cpoint1[r];
    default: return Cpoint4[r];
  }
}

// Plan area of the bed cell of cell c (0 for no cell).
inline double areaOfCell(int c) { return c > 0 ? Barea[Cbed[c]] : 0.0; }

// A corner of the grid: its bed level moves and the accumulated change of plane 1 with it.
inline void moveCorner(int i, int j, double m) {
  zval[i][j][1] += m;
  Surfaces[1][i][j] += m;
}

// Mean of the non-erodible level (plane 3) at the four corners of column (i, j).
inline double meanBase(int i, int j) {
  return 0.25 * (Surfaces[3][i][j] + Surfaces[3][i - 1][j] + Surfaces[3][i][j - 1] +
                 Surfaces[3][i - 1][j - 1]);
}
// Mean corner bed level of column (i, j).
inline double meanBed(int i, int j) {
  return 0.25 * (zval[i][j][1] + zval[i - 1][j][1] + zval[i][j - 1][1] + zval[i - 1][j - 1][1]);
}
// Thickness of the layers 0..top of bed cell b (none when top is below 0).
inline double stackThickness(int b, int top) {
  double t = 0;
  for (int layer = 0; layer <= top; ++layer) t += BSedDistrib[layer][0][b];
  return t;
}
// The layer-built bed level of column (i, j) with bed cell b: the non-erodible base and the
// layers of the stack on it.
inline double layerLevel(int i, int j, int b) {
  return meanBase(i, j) + stackThickness(b, BlayerTop[b]);
}

// Thickness scale of the layer operations and the active layer: F 106 when given, else the
// largest grain diameter.
inline double thicknessScale() {
  if (TopThickness > 0) return TopThickness;
  double s = 0;
  for (int l = 1; l <= lnumber; ++l) s = std::max(s, gsize[l]);
  return s;
}

// Solid fraction of a layer for a division: a layer that never got one (or lost it) counts
// with the solid fraction of new deposits, and no bed is looser than 1 % solids, so a bed
// change never divides by zero.
inline double solidFraction(int layer, int b) {
  double sf = Bsolidfraction && layer >= 0 ? Bsolidfraction[layer][b] : 0.0;
  if (!(sf >= 0.01)) sf = SolidFrac;
  return sf >= 0.01 ? sf : 0.01;
}

// Weight of corner (i - di, j - dj) (di, dj 0 or 1) of column (i, j) in block k: the plan
// area of the columns that share the point, with the bed cells across the block's edges that
// share it when the column lies on such an edge. A corner's move times its weight over 4 is
// the volume it places, so moves of equal weight-times-level keep the bed volume.
inline double cornerWeight(int i, int j, int di, int dj, const GridBlock& k, const Around& a) {
  const int p = i - di, q = j - dj;
  double w = armap[p][q] + armap[p + 1][q] + armap[p][q + 1] + armap[p + 1][q + 1];
  const bool edgeI = di == 0 ? i == k.i2 : i == k.i1;
  const bool edgeJ = dj == 0 ? j == k.j2 : j == k.j1;
  if (edgeI) w += areaOfCell(di == 0 ? a.e : a.w);
  if (edgeJ) w += areaOfCell(dj == 0 ? a.n : a.s);
  if (edgeI && edgeJ) w += areaOfCell(di == 0 ? (dj == 0 ? a.ne : a.se) : (dj == 0 ? a.nw : a.sw));
  return w;
}

}  // namespace qorva::bedgrid
