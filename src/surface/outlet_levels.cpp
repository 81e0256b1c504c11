// Outlet levels: after an update the open sides of the outlet columns (outflow group
// FlagDSO1) take the reference level, with the upstream blending of F 353 10 and 11. Reads the
// group's surfaces, Cbed, Bkooi, Bkooj, xval, the blocks; writes zval[..][..][znumber].
#include <algorithm>
#include <cmath>

#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "surface/surface.h"
#include "surface/worked_blocks.h"

namespace qorva {

namespace {

using surf::boundaryCell;
using surf::listedSurfaces;

// Nodes the blending reaches upstream of an outlet node line.
constexpr int kBlendLines = 10;

double& nodeLevel(int i, int j) { return zval[i][j][znumber]; }

// The block (not the depth-averaged one) that holds column (i, j); 0 when none does.
int blockOf(int i, int j) {
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (k.flag2D == 0 && i >= k.i1 && i <= k.i2 && j >= k.j1 && j <= k.j2) return b;
  }
  return 0;
}

// Node lines the blending can reach from node line i inward, kept inside the block's first
// node line i1 - 1: at most ten.
int linesInward(int i, const GridBlock& k) { return std::min(kBlendLines, i - (k.i1 - 1)); }

// F 353 10: the nodes of the lines between the outlet line i and the far line i - L take a
// straight blend from the far line's level to the reference level. L is ten lines, fewer where
// the block is shorter, so that the walk never leaves the block.
void blendInward(int i, int j, const GridBlock& k) {
  const int L = linesInward(i, k);
  if (L < 2) return;
  for (int jj : {j, j - 1}) {
    const double far = nodeLevel(i - L, jj);
    for (int n = 1; n < L; ++n) {
      const double w = static_cast<double>(n) / L;
      nodeLevel(i - n, jj) = w * far + (1 - w) * GlobZRef;
    }
  }
}

// F 353 11: on every node line of block 1, a parabola through the outlet level and the level
// ten node lines upstream (fewer in a shorter block), with zero slope at the upstream end.
void parabolaInward() {
  if (NoBlocks < 1) return;
  const GridBlock& k = block[1];
  const int L = linesInward(k.i2, k);
  if (L < 2) return;
  for (int j = k.j1 - 1; j <= k.j2; ++j) {
    const double x0 = xval[k.i2][j], z0 = nodeLevel(k.i2, j);
    const double x10 = xval[k.i2 - L][j], z10 = nodeLevel(k.i2 - L, j);
    const double dx = x0 - x10;
    if (!(std::fabs(dx) > 1e-12)) continue;  // no length along the flume to bend over
    const double a = (z0 - z10) / (dx * dx);
    const double b = -2 * a * x10;
    const double c = z0 - a * x0 * x0 - b * x0;
    for (int i = k.i2 - 1; i > k.i2 - L; --i) {
      const double x = xval[i][j];
      nodeLevel(i, j) = a * x * x + b * x + c;
    }
  }
}

}  // namespace

void computeSurfDownstream() {
  const int g = FlagDSO1;
  if (g < 1 || g > 9 || !Bkooi || !Cbed) return;
  const DischargeGroup& d = DischargeStruct[g];
  const int n = listedSurfaces(d);
  for (int s = 0; s < n; ++s) {
    const int c = boundaryCell(d.surfaceList[s]);
    if (c == 0 || Ccellt[c] != 0) continue;
    const int b0 = bottomOf(c);
    const int bed = Cbed[b0];
    if (bed < 1 || bed > NoBCells) continue;
    const int i = Bkooi[bed], j = Bkooj[bed];
    if (i < 1 || j < 1 || !onPlane(i, j)) continue;
    if (Ccelle[b0] == 0) nodeLevel(i, j - 1) = nodeLevel(i, j) = GlobZRef;
    if (Ccellw[b0] == 0) nodeLevel(i - 1, j - 1) = nodeLevel(i - 1, j) = GlobZRef;
    if (Ccelln[b0] == 0) nodeLevel(i - 1, j) = nodeLevel(i, j) = GlobZRef;
    if (Ccells[b0] == 0) nodeLevel(i - 1, j - 1) = nodeLevel(i, j - 1) = GlobZRef;
    if (surfaceDownstreamDamp == 10 && Ccelle[b0] == 0) {
      const int kb = blockOf(i, j);
      if (kb > 0) blendInward(i, j, block[kb]);
    }
  }
  if (surfaceDownstreamDamp == 11) parabolaInward();
}

}  // namespace qorva
