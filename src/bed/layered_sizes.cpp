// Grain sizes of the layered bed (F 37 3) after the sediment solver of a step: the stack of
// every bed cell follows the step's per-size change, its solid fractions follow F 264, and
// Bedmove becomes the change of the stack's thickness. Erosion the bed could not supply goes to
// the run totals. Reads Bbedchange, Bcellt, Barea; writes BSedDistrib, Bsolidfraction,
// BlayerTop, Bvolleft, Bedmove and Bvollefttot.
#include <omp.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "bed/bed.h"
#include "bed/bed_grid.h"
#include "sediment/sediment.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f250_299.h"
#include "state/sediment_run.h"
#include "state/status.h"
#include "state/team.h"

namespace qorva {

namespace {

double& thickness(int layer, int b) { return BSedDistrib[layer][0][b]; }

// F 264 -1: the solid fraction of each layer from the spread of its mixture, the solid volume
// of the layer kept.
void mixtureSolidFractions(int b) {
  for (int j = BlayerTop[b]; j >= 0; --j) {
    double f[52] = {};
    for (int l = 1; l <= lnumber; ++l) f[l] = BSedDistrib[j][l][b];
    const double p = mixtureSolidFraction(f);
    thickness(j, b) *= bedgrid::solidFraction(j, b) / p;
    Bsolidfraction[j][b] = p;
  }
}

// F 264 above 0: a stack thicker than Ta keeps its top layer Ta thick by exchange with the
// layer below. A single layer has nothing to exchange with and stays as it is; the layer below
// gives at most what it holds.
void keepTopThickness(int b, double Ta) {
  const int top = BlayerTop[b];
  if (top < 1 || !(bedgrid::stackThickness(b, top) > Ta)) return;
  const double e = thickness(top, b) - Ta;
  if (e > 0) {
    MoveSediment(top, top - 1, b, e);
  } else if (e < 0) {
    const double a = std::min(-e, thickness(top - 1, b));
    if (a > 0) MoveSediment(top - 1, top, b, a);
  }
}

void solidFractions(int b, double Ta) {
  if (FlagDensityAlgo == -2 && Bsolidfraction) {
    for (int j = 0; j <= BlayerTop[b]; ++j) Bsolidfraction[j][b] = SolidFrac;
  } else if (FlagDensityAlgo == -1 && Bsolidfraction) {
    mixtureSolidFractions(b);
  } else if (FlagDensityAlgo > 0) {
    keepTopThickness(b, Ta);
  }
}

// F 1 D: every layer whose fractions do not sum to 1 or whose thickness is negative is
// reported; the run goes on.
void checkStack(int b) {
  std::string s;
  for (int j = BlayerTop[b]; j >= 0; --j) {
    double sum = 0;
    for (int l = 1; l <= lnumber; ++l) sum += BSedDistrib[j][l][b];
    const double T = thickness(j, b);
    if (!((sum < 0.99 || sum > 1.01) && T > 1e-5) && !(T < -1e-10)) continue;
    s += strf("Error after function morphology3_fractions sum of grain sizes active layer = %lf for bedcell %d\n",
              sum, b);
    for (int l = 1; l <= lnumber; ++l) s += strf("size=%d, fraction=%lg\n", l, BSedDistrib[j][l][b]);
    s += strf("Thickness of layer %d: %lg meters\n", j, T);
  }
  if (s.empty()) return;
  bool written = false;
#pragma omp critical(qorva_bed_log)
  written = appendToLog(s);
  if (!written) endLogFailed();
}

}  // namespace

void morphology3_fractions_parallel(int b, double Ta) {
  for (int l = 1; l <= lnumber; ++l) Bvolleft[l][b] = 0;
  if (Bcellt[b] < 1) return;
  const double dz = Bedmove[b];
  Bedmove[b] = -bedgrid::stackThickness(b, BlayerTop[b]);
  ChangeLayers(b, dz);
  solidFractions(b, Ta);
  if (debugging == 'D') checkStack(b);
  Bedmove[b] += bedgrid::stackThickness(b, BlayerTop[b]);
}

void morphology3_fractions(double Ta) {
  const int first = WBStart, last = WBEnd;
  if (NoProcessesSolver != 0) {
    Failure failure;
#pragma omp parallel
    {
      // Whole bed cells per thread, consecutive, the first n mod T threads one more.
      const int n = std::max(last - first + 1, 0), T = omp_get_num_threads(), me = omp_get_thread_num();
      const int q = n / T, r = n % T;
      const int lo = first + (me < r ? me * (q + 1) : r + me * q);
      const int count = q + (me < r ? 1 : 0);
      for (int b = lo; b < lo + count && !failure.failed(); ++b) {
        try {
          morphology3_fractions_parallel(b, Ta);
        } catch (...) {
          failure.capture();
        }
      }
    }
    failure.rethrow();
  } else {
    char status[64];
    for (int b = first; b <= last; ++b) {
      std::snprintf(status, sizeof status, " Morphology_fractions cell b=%d         ", b);
      mc_message.assign(status);
      morphology3_fractions_parallel(b, Ta);
    }
  }
  // The totals are summed after the cells in their order, so they do not depend on how the
  // cells were shared between threads.
  for (int b = first; b <= last; ++b)
    for (int l = 1; l <= lnumber; ++l) Bvollefttot[l] += Bvolleft[l][b] * Barea[b] * 1000.0 * density;
}

}  // namespace qorva
