// Column quantities that the level algorithms and the sediment loop read: depth, Froude
// number, bed twist, Froude-limited level and mean pressure of every water column, and the
// mean deposition at the two ends of block 1. Reads Bcellt, Bkooi, Bkooj, Barea, Ckdist,
// Cxvel, Cyvel, Czcenter, Cpres, zval, Surfaces plane 0, Iter and F 36, F 233, F 351, F 463;
// writes Bdepth, BFroude, Bfly, BLevFroude, Bpresavg, depthDepositIn, depthDepositOut and
// NoDownstreamDeposit (its default from block 1).
#include <algorithm>
#include <cmath>

#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/options_f200_249.h"
#include "state/options_f350_399.h"
#include "state/options_f450_499.h"
#include "state/status.h"
#include "state/structured.h"
#include "surface/surface.h"

namespace qorva {

namespace {

double bed(int i, int j) { return zval[i][j][1]; }

// Largest depth (level minus bed) of the four corner nodes of column (i, j).
double deepestCorner(int i, int j) {
  double d = -1e20;
  for (int di = -1; di <= 0; ++di)
    for (int dj = -1; dj <= 0; ++dj) d = std::max(d, zval[i + di][j + dj][znumber] - bed(i + di, j + dj));
  return d;
}

// Mean of bed level minus plane 0 over the nodes i = ia..ib - 1, j = ja..jb - 1.
double meanRise(int ia, int ib, int ja, int jb) {
  double s = 0;
  int n = 0;
  for (int i = ia; i < ib; ++i)
    for (int j = ja; j < jb; ++j) {
      s += bed(i, j) - Surfaces[0][i][j];
      ++n;
    }
  return n > 0 ? s / n : 0.0;
}

}  // namespace

void computeBFroude(int first, int last) {
  for (int b = std::max(first, 1); b <= last; ++b) {
    const int c0 = Bcellt[b];
    if (c0 < 1) {
      Bdepth[b] = 2e-20;
      BFroude[b] = 0;
      continue;
    }
    double K = 1e-20, U = 0, V = 0, p = 0;
    int n = 0;
    for (int c = c0; c > 0; c = Ccellt[c]) {
      K += Ckdist[c];
      U += Cxvel[c] * Ckdist[c];
      V += Cyvel[c] * Ckdist[c];
      p += Cpres[c];
      ++n;
    }
    U /= K;
    V /= K;
    Bdepth[b] = 2 * K;
    const double S = U * U + V * V;
    BFroude[b] = std::sqrt(S) / std::sqrt(9.81 * Bdepth[b]);
    const int i = Bkooi[b], j = Bkooj[b];
    Bfly[b] = 0.5 * ((bed(i, j) + bed(i - 1, j - 1)) - bed(i, j - 1) - bed(i - 1, j)) /
              std::sqrt(Barea[b] + 1e-20);
    if (solverFroude == 1 && BLevFroude) {
      const double L = solverFroudeLimit;
      if (FlagTFS == 9) {
        const double z = S / (L * L * 9.81) + Czcenter[c0] - Ckdist[c0];
        BLevFroude[b] = Iter < 2 ? z : 0.1 * z + 0.9 * BLevFroude[b];
      } else if (FlagTFS == 7) {
        if (BFroude[b] >= 0.1) {
          double z = S / (L * L * 9.81) - deepestCorner(i, j);
          if (Iter > 1 && BLevFroude[b] >= -9) z = 0.1 * z + 0.9 * BLevFroude[b];
          BLevFroude[b] = z;
        } else {
          BLevFroude[b] = -10;
        }
      }
    }
    if ((FlagNonHydrostaticSurf == 6 || FlagNonHydrostaticSurf == 7) && Bpresavg)
      Bpresavg[b] = p / n;
  }
  if ((FlagNonHydrostaticSurf == 6 || FlagNonHydrostaticSurf == 7) && Bpresavg)
    for (int b = std::max(first, 1); b <= last; ++b)
      if (Bcellt[b] < 1) Bpresavg[b] = 0;
}

void computeDepthDeposit() {
  if (NoBlocks < 1) return;
  const GridBlock& k = block[1];
  if (NoDownstreamDeposit == 0) NoDownstreamDeposit = k.i2 / 6;
  depthDepositOut = std::max(meanRise(k.i2 - NoDownstreamDeposit, k.i2, k.j1 - 1, k.j2), 0.0);
  const int ie = std::max(k.i2 / 5, k.i1 + 2);
  depthDepositIn = std::max(meanRise(k.i1, ie, k.j1 - 1, k.j2), 0.0);
}

}  // namespace qorva
