// The bed-cell level scheme (F 36 50): the level change of each column accumulated over the
// time steps from the flux into its top cell (surface_LS), then put on the grid nodes as the
// mean of the columns around each node or with weights by flow direction and Froude number
// (surface_LS_update, F 227), smoothed and rebuilt. Reads Fflux, Barea, the cell links and
// fields, BFroude, xval, yval; writes Bdeltah, zval[..][znumber] and [znumber + 1] and,
// through the rebuild, the grid and FlagGridChange.
#include <algorithm>
#include <cmath>

#include "grid/columns.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "surface/node_columns.h"
#include "surface/surface.h"
#include "surface/update.h"

namespace qorva {

double VectorWeight(int c, int i, int j) {
  const double Fr = BFroude[Cbed[c]];
  const double dx = xval[i][j] - Cxcenter[c], dy = yval[i][j] - Cycenter[c];
  const double r = std::sqrt(dx * dx + dy * dy);
  const double u = Cxvel[c], v = Cyvel[c], U = std::sqrt(u * u + v * v + 1e-20);
  const double cosine = (dx * u + dy * v) / (r * U);
  const double wu = 0.5 * (1 - cosine), wd = 1 - wu;
  if (Fr > 1.5) return wd;
  if (Fr < 0.5) return wu;
  return wu + (wd - wu) * (Fr - 0.5);
}

void surface_LS() {
  if (!Bdeltah || NoBlocks < 1) return;
  Bdeltah[0] = 0;
  const GridBlock& k = block[1];
  for (int c = std::max(k.cellstart, 1); c <= k.cellend && c <= NoCells; ++c) {
    if (!isBottomCell(c)) continue;
    const int b = Cbed[c];
    if (b < 1 || b > bedCellLimit()) continue;
    const double q = Fflux[Cflateb[topOf(c)]];
    Bdeltah[b] += q * 0.001 * TimeStep / Barea[b];
  }
}

void surface_LS_update() {
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (k.skip != 0) continue;
    const bool weighted = TFSfroudeforward == 2;
    if (weighted) computeBFroude(k.bcellstart, k.bcellend);
    for (int i = k.i1 - 1; i <= k.i2; ++i)
      for (int j = k.j1 - 1; j <= k.j2; ++j) {
        int c[4];
        const int n = surf::nodeColumns(i, j, true, c);
        if (n == 0 || TFSfroudeforward > 2) continue;
        double dz = 0;
        if (!weighted) {
          for (int x : c) dz += x ? Bdeltah[Cbed[x]] : 0.0;
          dz /= n;
        } else {
          double s = 0, sw = 0;
          for (int x : c) {
            if (x == 0) continue;
            const double w = VectorWeight(x, i, j);
            s += Bdeltah[Cbed[x]] * w;
            sw += w;
          }
          // Weights that all vanish give no direction: the node stays.
          dz = sw > 0 ? s / (n * sw) : 0.0;
        }
        zval[i][j][znumber] += dz;
        zval[i][j][znumber + 1] = zval[i][j][znumber];
      }
  }
  if (SurfSmoothFlag == 1) surface_smoother();
  if (FlagTSC == 0 || FlagSurfRegen == 1) {
    rebuildOnNewLevels();
    FlagGridChange = 1;
  }
}

}  // namespace qorva
