// Column depth, Froude number and volume: the per-column quantities of the bed cells and the
// integral depths and volumes of the grid. Reads Bcellt, Bkooi, Bkooj, Barea, Ckdist, Cxvel,
// Cyvel, Cpres, Czcenter, zval, Surfaces; writes Bdepth, BFroude, Bfly, BLevFroude, Bpresavg,
// depthDepositIn, depthDepositOut (and NoDownstreamDeposit once).
#include <algorithm>
#include <cmath>

#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "surface/surface.h"
#include "surface/worked_blocks.h"

namespace qorva {

namespace {


double bed(int i, int j) { return zval[i][j][1]; }
double depth(int i, int j) { return zval[i][j][znumber] - zval[i][j][1]; }

// Bed twist of column (i, j): the difference of its two diagonals' bed levels over its width.
double bedTwist(int i, int j, double area) {
  return 0.5 * ((bed(i, j) + bed(i - 1, j - 1)) - bed(i, j - 1) - bed(i - 1, j)) /
         std::sqrt(area + 1e-20);
}

// Largest depth of the four corner lines of column (i, j).
double deepestCorner(int i, int j) {
  return std::max({depth(i, j), depth(i - 1, j), depth(i - 1, j - 1), depth(i, j - 1)});
}

// The Froude-limited level (F 36 9) or level change (F 36 7) of the column, from the square S
// of its mean speed: where the Froude number would equal the F 351 limit.
void froudeLevel(int b, int c, int i, int j, double S) {
  const double L = solverFroudeLimit;
  if (FlagTFS == 9) {
    const double z = S / (L * L * 9.81) + Czcenter[c] - Ckdist[c];
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

// Depth-averaged velocity and the cell pressures of the column from cell c up; sets the
// column's depth and Froude number in bed cell b.
struct ColumnMean {
  double U = 0, V = 0, P = 0;
  int n = 0;
};

ColumnMean columnMean(int b, int c) {
  ColumnMean m;
  double K = 0;
  upColumn(c, [&](int k) {
    K += Ckdist[k];
    m.U += Cxvel[k] * Ckdist[k];
    m.V += Cyvel[k] * Ckdist[k];
    m.P += Cpres[k];
    ++m.n;
  });
  K += 1e-20;
  m.U /= K;
  m.V /= K;
  Bdepth[b] = 2 * K;
  BFroude[b] = std::sqrt(m.U * m.U + m.V * m.V) / std::sqrt(9.81 * Bdepth[b]);
  return m;
}

}  // namespace

void computeBFroude(int first, int last) {
  const int limit =
      static_cast<int>(std::min<long long>(last, static_cast<long long>(Bcellt.size()) - 1));
  const bool meanPressure =
      (FlagNonHydrostaticSurf == 6 || FlagNonHydrostaticSurf == 7) && Bpresavg;
  for (int b = std::max(first, 1); b <= limit; ++b) {
    const int i = Bkooi[b], j = Bkooj[b];
    if (i >= 1 && j >= 1 && onPlane(i, j)) Bfly[b] = bedTwist(i, j, Barea[b]);
    const int c = Bcellt[b];
    if (!isGridCell(c)) {
      Bdepth[b] = 2e-20;
      BFroude[b] = 0;
      if (meanPressure) Bpresavg[b] = 0;
      continue;
    }
    const ColumnMean m = columnMean(b, c);
    const double S = m.U * m.U + m.V * m.V;
    if (solverFroude == 1 && BLevFroude && i >= 1 && j >= 1) froudeLevel(b, c, i, j, S);
    if (meanPressure) Bpresavg[b] = m.P / m.n;
  }
}

void computeColumnFroude() {
  for (int k = 1; k <= NoBlocks; ++k) {
    if (block[k].skip != 0) continue;
    const int last = static_cast<int>(
        std::min<long long>(block[k].bcellend, static_cast<long long>(Bcellt.size()) - 1));
    for (int b = std::max(block[k].bcellstart, 1); b <= last; ++b) {
      const int c = Bcellt[b];
      if (isGridCell(c)) {
        columnMean(b, c);
      } else {
        Bdepth[b] = 2e-20;
        BFroude[b] = 0;
      }
    }
  }
}

double computeVolRes() {
  double volume = 0;
  surf::forEachWorkedColumn([&volume](int i, int j) {
    const int c = columnBottom(i, j);
    if (c == 0) return;
    const double corners = std::max(0.0, depth(i, j)) + std::max(0.0, depth(i - 1, j)) +
                           std::max(0.0, depth(i - 1, j - 1)) + std::max(0.0, depth(i, j - 1));
    volume += Barea[Cbed[c]] * 0.25 * corners;
  });
  return volume;
}

double computeAvDepth() {
  if (NoBlocks < 1) return 0.0;
  const GridBlock& k = block[1];
  double sum = 0;
  long count = 0;
  for (int i = k.i1 - 1; i <= k.i2; ++i)
    for (int j = k.j1 - 1; j <= k.j2; ++j) {
      const double d = depth(i, j);
      if (d > 0) {
        sum += d;
        ++count;
      }
    }
  return sum / (count + 1e-20);
}

void computeDepthDeposit() {
  if (NoBlocks < 1 || !Surfaces) return;
  const GridBlock& k = block[1];
  if (NoDownstreamDeposit == 0) NoDownstreamDeposit = k.i2 / 6;
  // Mean rise of the bed above its plane-0 level over node lines ia..ib.
  auto meanRise = [&k](int ia, int ib) {
    double sum = 0;
    long n = 0;
    for (int i = std::max(ia, 0); i <= ib; ++i)
      for (int j = k.j1 - 1; j <= k.j2 - 1; ++j) {
        sum += bed(i, j) - Surfaces[0][i][j];
        ++n;
      }
    return n > 0 ? sum / n : 0.0;
  };
  depthDepositOut = std::max(0.0, meanRise(k.i2 - NoDownstreamDeposit, k.i2 - 1));
  const int ie = std::max(k.i2 / 5, k.i1 + 2);
  depthDepositIn = std::max(0.0, meanRise(k.i1, ie - 1));
}

}  // namespace qorva
