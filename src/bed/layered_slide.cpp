// The sand slide on the layered bed (F 56 202, 204, 205, 206), one pass over the selected
// blocks comparing neighbouring columns with the level difference the angle of repose allows
// over the distance of their centres. 202 and 204 move half the excess of a steep pair from
// the higher stack to the lower one, size by size; 205 does the same in the pending bed change
// of the step (Bedmove, Bbedchange), and 206 hands the pending deposition of the higher column
// to the lower. The grains of each size are kept by every move. Reads the layer-built or the
// corner levels; writes the stacks or the pending change.
#include "bed/bed.h"
#include "bed/bed_grid.h"
#include "bed/bed_slide.h"
#include "state/options.h"
#include "state/options_f050_099.h"

namespace qorva::bedslide {

namespace {

// The compared level of column (i, j) with bed cell b.
double levelOf(int variant, int i, int j, int b) {
  if (variant == 206) return bedgrid::meanBed(i, j);
  const double l = bedgrid::layerLevel(i, j, b);
  return variant == 205 ? l + Bedmove[b] : l;
}

// 205: half the excess m moves in the pending change, each size as the top of the higher
// stack holds it. Bedmove moves by what the sizes carry, so that it stays their sum.
void movePending(int h, int w, double m) {
  double avail[52] = {};
  computeAvailableFractionMeters(h, avail, -m);
  const double k = areaRatio(h, w);
  double sum = 0;
  for (int l = 1; l <= lnumber; ++l) {
    Bbedchange[l][h] -= avail[l];
    Bbedchange[l][w] += avail[l] * k;
    sum += avail[l];
  }
  Bedmove[h] -= sum;
  Bedmove[w] += sum * k;
}

// 206: the pending deposition of h goes to w; pending erosion stays.
void handDeposition(int h, int w) {
  if (!(Bedmove[h] > 0)) return;
  const double k = areaRatio(h, w);
  Bedmove[w] += Bedmove[h] * k;
  Bedmove[h] = 0;
  // Without the layered bed (F 37 3) there is no per-size change to hand over.
  if (!Bbedchange) return;
  for (int l = 1; l <= lnumber; ++l) {
    Bbedchange[l][w] += Bbedchange[l][h] * k;
    Bbedchange[l][h] = 0;
  }
}

// The move of the variant from column (ih, jh) to (iw, jw) when the first stands higher than
// the second by more than the allowed difference; true when it moved.
bool slide(int variant, int ih, int jh, int iw, int jw) {
  const int h = pointbed[ih][jh], w = pointbed[iw][jw];
  if (h < 1 || w < 1) return false;
  const double excess = levelOf(variant, ih, jh, h) - levelOf(variant, iw, jw, w) -
                        AngleAvalanche * centreDistance(ih, jh, iw, jw);
  if (!(excess > 0)) return false;
  if (variant == 206) {
    handDeposition(h, w);
  } else if (variant == 205) {
    movePending(h, w, 0.5 * excess);
  } else {
    layOnStack(w, h, takeFromStack(h, 0.5 * excess), 1.0);
  }
  return true;
}

// 202: along j, then along i, each way forward and backward.
void bothWays(const GridBlock& k) {
  for (int i = k.i1; i <= k.i2; ++i) {
    for (int j = k.j1; j <= k.j2 - 1; ++j) slide(202, i, j, i, j + 1);
    for (int j = k.j2 - 1; j >= k.j1; --j) slide(202, i, j + 1, i, j);
  }
  for (int j = k.j1; j <= k.j2; ++j) {
    for (int i = k.i1; i <= k.i2 - 1; ++i) slide(202, i, j, i + 1, j);
    for (int i = k.i2 - 1; i >= k.i1; --i) slide(202, i + 1, j, i, j);
  }
}

// 204 to 206: one pass along i, both orientations tested per pair.
void alongI(int variant, const GridBlock& k) {
  for (int i = k.i1; i <= k.i2 - 1; ++i)
    for (int j = k.j1; j <= k.j2; ++j)
      if (!slide(variant, i, j, i + 1, j)) slide(variant, i + 1, j, i, j);
}

}  // namespace

void layeredSlide(int variant) {
  if (!BlayerTop) return;
  for (int bl = 1; bl <= NoBlocks; ++bl) {
    if (!bedgrid::selected(bl, false)) continue;
    const GridBlock& k = block[bl];
    if (variant == 202)
      bothWays(k);
    else
      alongI(variant, k);
  }
}

}  // namespace qorva::bedslide
