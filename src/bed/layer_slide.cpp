// The sand slide of F 56 203 on the layered bed of a grid one column wide in j: where a column
// stands higher than its neighbour along i by more than the angle of repose allows, its top
// layer moves onto the neighbour as that one's new top layer. Reads the layer-built levels;
// writes the layer stacks (BSedDistrib, Bsolidfraction, BlayerTop).
#include "bed/bed.h"
#include "bed/bed_grid.h"
#include "bed/bed_slide.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_g.h"

namespace qorva::bedslide {

namespace {

// Moves the top layer of bed cell h onto bed cell w.
void moveTopLayer(int h, int w) {
  const int from = BlayerTop[h];
  // A column keeps its last layer: an empty stack has no level and no solid fraction for the
  // bed change to divide by.
  if (from < 1) return;
  if (BlayerTop[w] >= NoBedLayers - 1) JoinLayers(w, FindJoinLayer(w));
  const int to = BlayerTop[w] + 1;
  // The layer keeps its volume where the two columns differ in area.
  BSedDistrib[to][0][w] = BSedDistrib[from][0][h] * areaRatio(h, w);
  for (int l = 1; l <= lnumber; ++l) BSedDistrib[to][l][w] = BSedDistrib[from][l][h];
  if (Bsolidfraction) Bsolidfraction[to][w] = Bsolidfraction[from][h];
  for (int l = 0; l <= lnumber; ++l) BSedDistrib[from][l][h] = 0.0;
  BlayerTop[h] = from - 1;
  BlayerTop[w] = to;
}

// Moves the top layer from column (ih, j) to (iw, j) when the first stands higher by more than
// the angle of repose allows over the distance of their centres.
void slidePair(int ih, int iw, int j) {
  const int h = pointbed[ih][j], w = pointbed[iw][j];
  if (h < 1 || w < 1) return;
  const double dist = centreDistance(ih, j, iw, j);
  if (bedgrid::layerLevel(ih, j, h) - bedgrid::layerLevel(iw, j, w) > AngleAvalanche * dist)
    moveTopLayer(h, w);
}

}  // namespace

void topLayerSlide() {
  if (!BlayerTop) return;
  for (int bl = 1; bl <= NoBlocks; ++bl) {
    if (!bedgrid::selected(bl, false)) continue;
    const GridBlock& k = block[bl];
    for (int j = k.j1; j <= k.j2; ++j) {
      for (int i = k.i1; i <= k.i2 - 1; ++i) slidePair(i, i + 1, j);
      for (int i = k.i2 - 1; i >= k.i1; --i) slidePair(i + 1, i, j);
    }
  }
}

}  // namespace qorva::bedslide
