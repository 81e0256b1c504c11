// The porous thin bed: a stronger central coefficient in the thin bottom cells of a porous bed
// (F 7 P) and in the roughness layer of every column (F 95), to keep very thin or rough-bed
// cells stable.
// Reads Bcellt, Barea, Ckdist, Croughness, Ckinen, the velocities and neighbours, and the
// options of F 7, F 86, F 92, F 95; adds to Cap of the cells of the bed cells' columns.
#include <algorithm>
#include <cmath>

#include "grid/columns.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "turbulence/turbulence.h"

namespace qorva {

namespace {

// The bottom cell of bed cell b when it is a thin cell: thinner than half of MinVertDist,
// alone in its column, and at an edge of the wet area (a side neighbour missing); else 0.
int thinCell(int b) {
  const int c = Bcellt[b];
  if (c <= 0 || !(Ckdist[c] < 0.5 * MinVertDist) || Ccellt[c] != 0) return 0;
  const bool edge = Ccelle[c] == 0 || Ccellw[c] == 0 || Ccelln[c] == 0 || Ccells[c] == 0;
  return edge ? c : 0;
}

// |q| of a velocity equation: the component solved, or the horizontal speed (F 92 3).
double speed(int eq, int c, bool horizontal) {
  if (horizontal) return std::sqrt(Cxvel[c] * Cxvel[c] + Cyvel[c] * Cyvel[c]);
  return std::fabs(eq == 1 ? Cxvel[c] : eq == 2 ? Cyvel[c] : Czvel[c]);
}

// The roughness layer: the cells of the column whose centres lie less than BPWparam1 times
// their roughness above the bed, each with the drag of its height.
void roughnessLayer(int eq, int b, bool horizontal) {
  const double root = std::sqrt(Barea[b]);
  double s = 0;
  upColumnWhile(Bcellt[b], [&](int c) {
    s += Ckdist[c];
    if (!(s < Croughness[c] * BPWparam1)) return false;
    Cap[c] += Ckdist[c] * 2 * 1000 * speed(eq, c, horizontal) * BPWparam2 * root;
    s += Ckdist[c];
    return true;
  });
}

// k of a thin cell is pulled down to kt = 0.47453 h (ks / h)^(1/3), h the cell height.
void thinCellK(int c) {
  const double h = 2 * Ckdist[c];
  const double kt = 0.47453 * h * std::pow(Croughness[c] / h, 0.333333);
  if (!(kt > 0)) return;  // no roughness: no layer to hold k down
  Cap[c] += std::max(Ckinen[c] - kt, 0.0) * Cap[c] / kt;
}

template <class Body>
void forEachBedCell(Body&& body) {
  if (!Bcellt || !Barea) return;
  const int last = std::min(NoBCells, static_cast<int>(Bcellt.size()) - 1);
  if (WBEnd >= 1) {
    for (int b = std::max(WBStart, 1); b <= std::min(WBEnd, last); ++b) body(b);
    return;
  }
  // Outside the sediment loop no bed-cell range is set: the columns of the working range.
  for (int b = 1; b <= last; ++b)
    if (Bcellt[b] >= WCStart && Bcellt[b] <= WCEnd) body(b);
}

}  // namespace

void TSCstabilityFunction(int eq) {
  if (eq >= 1 && eq <= 3) {
    if (FlagBedPoros == 1) {
      // The velocity of the w equation is w, as the roughness-layer terms take it.
      forEachBedCell([eq](int b) {
        if (const int c = thinCell(b))
          Cap[c] += speed(eq, c, false) * 1000 * 0.3 * Ckdist[c] * std::sqrt(Barea[b]);
      });
    } else if (PorosWallFlag == 2 || PorosWallFlag == 3) {
      const bool horizontal = PorosWallFlag == 3;
      forEachBedCell([eq, horizontal](int b) { roughnessLayer(eq, b, horizontal); });
    }
  } else if (eq == 5 && FlagBedPoros == 1) {
    forEachBedCell([](int b) {
      if (const int c = thinCell(b)) thinCellK(c);
    });
  }
}

}  // namespace qorva
