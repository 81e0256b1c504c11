// Gravity in the momentum equations: the weight of the cells in the w equation (F 181 1-3),
// gravity along the tilted water surface (F 135), a given down-slope gravity along x (F 181 4)
// and the weight of the mud block while the mud flow is computed (F 236).
// Reads Cvol, the column links, Cflatet, Fvx, Fvy, Cbed, Bcellt, block 1 and 2; writes Csource.
#include "bed/bed_modes.h"
#include "discretisation/discretisation.h"
#include "grid/columns.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// rho g (N/m3) and its half and quarter, shared between a column's end cells and neighbours.
constexpr double kWeight = 9810.0, kHalf = 4905.0, kQuarter = 2452.5;

// The weight of cell c in the w equation by F 181 1..3 (N, downward negative). Forms 1 and 3
// share the weight of the end cells with their neighbours, so a column's total is not its
// weight; they are kept as users have set them.
double cellWeight(int c) {
  const int t = Ccellt[c], b = Ccellb[c];
  const double V = Cvol[c];
  const bool top = t == 0 && b >= 1, bottom = t >= 1 && b == 0;
  switch (FlagGravity) {
    case 1:
      if (top) return -kHalf * (V + Cvol[b]);
      if (bottom) return -kHalf * (V + Cvol[t]);
      return -kWeight * V;
    case 2: return -kWeight * V;
    case 3:
      if (top) return -kHalf * (V + Cvol[b]);
      if (bottom) return -kHalf * (V + Cvol[t]);
      if (t >= 1 && b >= 1) return -kQuarter * (2 * V + Cvol[t] + Cvol[b]);
      return -kWeight * V;
    default: return 0.0;
  }
}

// The weight of the cells of the mud flow in the w equation.
void mudWeight() {
  if (FlagThixo == 1) {
    const int f = block[1].cellstart;
    for (int c = f; c <= block[1].cellend; ++c) {
      const int t = Ccellt[c], b = Ccellb[c];
      const double V = Cvol[c];
      if (t > f)
        Csource[c] += b != 0 ? -kWeight * V : -kHalf * (V + Cvol[t]);
      else
        Csource[c] += b >= 1 && t < f ? -kHalf * (V + Cvol[b]) : -kWeight * V;
    }
    return;
  }
  if (!mudBlock() || NoBlocks < 2 || block[2].thixo <= 0) return;
  const int f = block[2].cellstart;
  for (int c = f; c <= block[2].cellend; ++c) {
    if (Cbed[c] <= 0 || c <= Bcellt[Cbed[c]]) continue;  // the bottom cell of a mud column
    const int t = Ccellt[c], b = Ccellb[c];
    const double V = Cvol[c];
    if (t > f) {
      if (b == 0) Csource[c] += -kHalf * (Cvol[t] + V);
      if (b >= 1) Csource[c] += -kWeight * V;
    } else if (b >= 1) {
      // The top cell of a mud column: its cell above lies outside the block.
      Csource[c] += t < f ? -kHalf * (Cvol[b] + V) : -kWeight * V;
    }
  }
}

}  // namespace

void GravityFunction(int equation, int firstCell, int lastCell) {
  if (mudFlow() && FlagThixoIsComputing == 0) return;
  if (FlagGravityTerm > 0 && (equation == 1 || equation == 2)) {
    const Table1<double>& normal = equation == 1 ? Fvx : Fvy;
    for (int c = firstCell; c <= lastCell; ++c) {
      if (!isTopCell(c)) continue;
      // Gravity along the water surface above the column, from its unit normal.
      const double g = kWeight * normal[Cflatet[c]];
      downColumn(c, [g](int j) { Csource[j] += Cvol[j] * g; });
    }
  }
  if (equation == 3 && FlagThixo == 0)
    for (int c = firstCell; c <= lastCell; ++c) Csource[c] += cellWeight(c);
  if (Equation == 3 && mudFlow()) mudWeight();
  if (FlagGravity == 4 && Equation == 1 && FlagThixo == 0)
    for (int c = firstCell; c <= lastCell; ++c) Csource[c] += kWeight * GravitySlope * Cvol[c];
}

}  // namespace qorva
