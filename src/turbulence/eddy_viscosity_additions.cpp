// The last steps of the eddy viscosity: additions for bed forms (F 281) and bed smoothing
// (F 144), and the viscosity of mud-layer blocks (F 236). Reads velocities, Ckdist, the bed
// cells' depth, Froude number, bed-form height, mud and groundwater levels, kSF[0] and the
// block records; adds to or sets Cgamma and CgammaV.
#include <algorithm>
#include <cmath>

#include "bed/bed_modes.h"
#include "grid/columns.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "turbulence/turbulence.h"

namespace qorva {

namespace {

double horizontalSpeed(int c) { return std::sqrt(Cxvel[c] * Cxvel[c] + Cyvel[c] * Cyvel[c]); }

// A range may cut a water column (the chunks of the parallel regions). The column additions are
// then formed over the whole column, which no call writes, but written only into the cells of
// the range: a cell outside it is not rewritten by this call, so an addition there would pile
// up call after call, and in a parallel region it would race with the chunk that owns it.

// Mean horizontal speed over the cells of the column that starts at bottom cell c0.
double columnMeanSpeed(int c0) {
  double sum = 0;
  int n = 0;
  upColumn(c0, [&](int c) {
    sum += horizontalSpeed(c);
    ++n;
  });
  return n > 0 ? sum / n : 0.0;
}

// Bed forms raise the eddy viscosity of each column of the range, formed at its bottom cell
// and added to every cell of the column. At most one F 281 value applies.
void bedFormAddition(int first, int last) {
  const int mode = FlagDuneEddy;
  if (mode < 1 || mode > 6) return;
  const double F = DuneEddyFactor;
  const bool froude = BFroude && Bedformheight;
  const bool idle = FlagThixoIsComputing == 0;
  const bool momentum = Equation <= 3;
  bool applies = false;
  switch (mode) {
    case 1: applies = froude && momentum; break;
    case 2: applies = froude; break;
    case 3: applies = froude && idle; break;
    case 4: applies = static_cast<bool>(Bedformheight) && idle && momentum; break;
    case 5: applies = idle && momentum; break;
    default: applies = idle; break;
  }
  if (!applies) return;
  const bool horizontalToo = mode == 2 || mode == 3;
  // Once per column that has a cell in the range, at its bottom cell.
  forEachColumnIn(first, last, [&](int c0) {
    const int b = Cbed[c0];
    if (b <= 0) return;
    const double h = Bdepth[b];
    double amount = 0;
    if (mode <= 3) {
      if (!(h > 0)) return;  // a dry column has no bed-form mixing
      const double Fr = BFroude[b], delta = Bedformheight[b];
      if (mode == 3)
        amount = F * 1000 * delta * Fr * std::sqrt(9.81 * h);
      else
        amount = F * delta * 1000 * Fr * std::sqrt(9.81 * h) / (28.8 * h * Ckdist[c0]);
    } else {
      const double meanU = columnMeanSpeed(c0);
      if (mode == 4)
        amount = meanU * F * 1000 * Bedformheight[b];
      else
        amount = meanU * F * 1000 * 0.5 * h;
      if (mode == 6 && Equation == 6) amount *= 0.7692;
    }
    upColumn(c0, [&](int up) {
      if (up < first || up > last) return;
      CgammaV[up] += amount;
      if (horizontalToo) Cgamma[up] += amount;
    });
  });
}

// Bed smoothing: extra viscosity proportional to the horizontal speed, at the bottom cells
// (F 144 2, 4) or in every cell (7, and 8 with a Froude-number ramp from 0.2 to 1).
void bedSmoothingAddition(int first, int last) {
  const int mode = FlagBedSmooth;
  const double P = ParamBedSmooth;
  if (mode == 2 || mode == 4) {
    for (int c = first; c <= last; ++c) {
      if (Ccellb[c] != 0) continue;
      const int fb = Cflateb[c];
      if (fb <= 0 || !(Farea[fb] > 0)) continue;
      const double amount = P / std::sqrt(Farea[fb]) * horizontalSpeed(c);
      Cgamma[c] += amount;
      if (mode == 4) CgammaV[c] += amount;
    }
  } else if (mode == 7 || (mode == 8 && BFroude)) {
    for (int c = first; c <= last; ++c) {
      double f = 1;
      if (mode == 8) {
        const int b = Cbed[c];
        const double Fr = b > 0 ? BFroude[b] : 0.0;
        f = Fr < 0.2 ? 0.0 : Fr <= 1 ? std::sqrt((Fr - 0.2) / 0.8) : 1.0;
      }
      const double amount = 2 * Ckdist[c] * P * 1000 * horizontalSpeed(c) * f;
      Cgamma[c] += amount;
      CgammaV[c] += amount;
    }
  }
}

// Viscosity of a mud-layer block: a given constant, or a Bingham-type value from the yield
// stress of the layer (critical shear stress plus the friction slope times the weight over
// the groundwater level) against its shear rate.
double mudViscosity(const GridBlock& blk) {
  if (blk.cellend - blk.cellstart == blk.bcellend - blk.bcellstart)
    return ThixoEddyvisc > 0 ? ThixoEddyvisc : 1e7;  // one cell per column
  if (ThixoEddyvisc > 0) return ThixoEddyvisc;
  const bool levels = Bthixolev && Bgroundwater;
  int n = 0;
  double sK = 0, sU = 0, S1 = 0, S2 = 0;
  for (int beta = blk.bcellstart; beta <= blk.bcellend; ++beta) {
    const int c0 = Bcellt[beta];
    if (c0 <= 0) continue;
    const int c1 = Ccellt[c0];
    if (c1 <= 0) continue;
    ++n;
    sK += Ckdist[c1];
    sU += std::fabs(Cxvel[c1]);
    double H = 0;
    upColumn(c1, [&H](int c) { H += Ckdist[c]; });
    H *= 2;
    // Without both levels there is no part of the layer above the groundwater.
    const double d = levels ? Bthixolev[beta] - Bgroundwater[beta] : 0.0;
    double g = 0;
    if (d > 0) {
      H -= d;
      g = 1.36 * d;
    }
    const double a = H <= 0 ? 0.0 : 0.825 * H;
    const double Hp = H <= 0 ? 0.0 : 1.825 * H;
    const int fb = Cflateb[c1];
    const double A = fb > 0 ? Faz[fb] : 0.0;
    S1 += ((a + g) * 9810 * ThixoMySlope + ThixoCritshear) * A;
    S2 += (Hp + g) * A * 9810;
  }
  if (n == 0) return std::fabs(ThixoEddyvisc);
  const double m = std::max(ThixoSlideModifier - kSF[0], 0.0);
  return (sK / n * S1) / (m * TimeStep * S1 / (S2 + 1e-8) + 1e-8 + sU / n) + ThixoMinGamma;
}

// The bottom cell of each column of a mud-layer block and the cell above it take the mud
// viscosity, every cell higher up ten times that. A serial call sets them only when its range
// ends at NoCells, wherever they lie. While a chunk runs the other chunks are rewriting their
// cells from the model at the same time, so every chunk of a working range that ends at
// NoCells sets its own cells, and the last chunk also those outside the working range: the
// same result as a serial call over the whole range, and no cell written by two threads.
void mudLayerViscosity(int first, int last, Share share) {
  if (!(mudFlow() && NoBlocks > 0)) return;
  const bool chunked = share == Share::Chunk;
  if ((chunked ? WCEnd : last) != NoCells) return;
  const auto mine = [&](int c) {
    return !chunked || (c >= first && c <= last) ||
           (last == WCEnd && (c < WCStart || c > WCEnd));
  };
  for (int nb = 1; nb <= NoBlocks && nb < static_cast<int>(block.size()); ++nb) {
    const GridBlock& blk = block[nb];
    if (blk.thixo != 1) continue;
    const double mu = mudViscosity(blk);
    for (int beta = blk.bcellstart; beta <= blk.bcellend; ++beta) {
      int level = 0;
      upColumn(Bcellt[beta], [&](int c) {
        if (mine(c)) Cgamma[c] = CgammaV[c] = level < 2 ? mu : 10 * mu;
        ++level;
      });
    }
  }
}

}  // namespace

void GammaCalcAdditions(int first, int last, Share share) {
  bedFormAddition(first, last);
  bedSmoothingAddition(first, last);
  mudLayerViscosity(first, last, share);
}

}  // namespace qorva
