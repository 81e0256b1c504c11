// The layer stack of a bed cell follows a bed change: a deposit becomes a new top layer, an
// erosion takes the top of the stack and merges what is left of the layers it cut into, and
// the per-size erosion that the surface cannot supply is taken from deeper layers as far as
// F 412 allows. Also the sediment of each size within a given depth below the surface.
// Reads and writes BSedDistrib, Bsolidfraction, BlayerTop and Bvolleft of one bed cell; reads
// Bbedchange.
#include <algorithm>
#include <cmath>
#include <string>

#include "bed/bed.h"
#include "bed/bed_grid.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f400_449.h"
#include "state/status.h"

namespace qorva {

namespace {

double& thickness(int layer, int b) { return BSedDistrib[layer][0][b]; }

// Whether the per-size erosion that went on into layer k stops there.
bool erosionStopsAt(int k, int b, double unmet) {
  if (unmet > -1e-15 || k <= 0 || FlagErodeUnder == 0) return true;
  return FlagErodeUnder == 2 && Barmourthick && k <= Barmourthick[b];
}

// Takes the solid volume -d (d < 0) of size l from layer `from` down; returns what stays unmet.
double erodeDown(int b, int from, int l, double d) {
  for (int k = from; k >= 0; --k) {
    d = erodeLayerUnder(b, k, l, d);
    if (erosionStopsAt(k, b, d)) break;
  }
  return d;
}

void clearSlot(int layer, int b) {
  for (int l = 0; l <= lnumber; ++l) BSedDistrib[layer][l][b] = 0.0;
}

void deposit(int b) {
  if (BlayerTop[b] >= NoBedLayers - 1) JoinLayers(b, FindJoinLayer(b));
  const int top = BlayerTop[b];
  double S = 0;
  for (int l = 1; l <= lnumber; ++l) {
    const double x = Bbedchange[l][b];
    if (x < 0)
      Bvolleft[l][b] = erodeDown(b, top, l, SolidFrac * x);
    else
      S += x;
  }
  const int t = top + 1;
  thickness(t, b) = S;
  for (int l = 1; l <= lnumber; ++l)
    BSedDistrib[t][l][b] = Bbedchange[l][b] >= 0 ? Bbedchange[l][b] / (S + 1e-80) : 0.0;
  if (Bsolidfraction) Bsolidfraction[t][b] = SolidFrac;
  BlayerTop[b] = t;
}

void erode(int b, double D) {
  const int top = BlayerTop[b];
  const double sfTop = bedgrid::solidFraction(top, b);
  double v[52] = {};
  double run = 0;
  int j = top;
  for (; j >= 0; --j) {
    const double sf = bedgrid::solidFraction(j, b), T = thickness(j, b);
    for (int l = 1; l <= lnumber; ++l) v[l] += BSedDistrib[j][l][b] * T * sf;
    run += T;
    if (run > D) break;
    thickness(j, b) = 0.0;
  }
  const int now = std::max(j, 0);
  for (int k = now + 1; k <= top; ++k) clearSlot(k, b);
  BlayerTop[b] = now;
  double S = 0;
  for (int l = 1; l <= lnumber; ++l) {
    v[l] -= -Bbedchange[l][b] * sfTop;
    if (v[l] < 0 && j >= 1 && FlagErodeUnder > 0) v[l] = erodeDown(b, j - 1, l, v[l]);
    if (std::fabs(v[l]) < 1e-15) {
      v[l] = 0;
    } else if (v[l] < 0) {
      Bvolleft[l][b] = v[l];
      v[l] = 0;
    }
    S += v[l];
  }
  thickness(now, b) = S / bedgrid::solidFraction(now, b);
  for (int l = 1; l <= lnumber; ++l) BSedDistrib[now][l][b] = v[l] / (S + 1e-80);
}

// The first layer whose fractions do not sum to 1 (while it holds sediment) or that is empty
// above the bottom; -1 when the stack is sound.
int wrongLayer(int b) {
  for (int j = 0; j <= BlayerTop[b]; ++j) {
    double sum = 0;
    for (int l = 1; l <= lnumber; ++l) sum += BSedDistrib[j][l][b];
    const double T = thickness(j, b);
    if ((std::fabs(sum - 1) > 1e-6 && T > 1e-5) || (T < 1e-15 && BlayerTop[b] != 0)) return j;
  }
  return -1;
}

// Ends the run on a broken stack. The text is written whole in one piece, so that threads that
// fail at once do not interleave their reports; the end itself is left to the region's guard.
[[noreturn]] void stackError(int b, int j, double dz, int removed) {
  double sum = 0;
  for (int l = 1; l <= lnumber; ++l) sum += BSedDistrib[j][l][b];
  std::string s =
      strf("Error in function ChangeLayers: sum of grain sizes layer %d = %lf for bedcell %d\n", j, sum, b);
  for (int l = 1; l <= lnumber; ++l) s += strf("size=%d, fraction=%lg\n", l, BSedDistrib[j][l][b]);
  s += strf("Thickness of active layer: %lg meters, movement = %lg meters.\n", thickness(j, b), dz);
  s += strf("Number of top layer: %d, removed layers = %d\n", BlayerTop[b], removed);
  bool written = false;
#pragma omp critical(qorva_bed_log)
  written = appendToLog(s);
  if (!written) endLogFailed();
  endRun(-4);
}

}  // namespace

void ChangeLayers(int b, double dz) {
  // An empty stack (a column that lost its last layer) is taken as one empty layer 0.
  if (BlayerTop[b] < 0) {
    BlayerTop[b] = 0;
    clearSlot(0, b);
  }
  if (dz > 0)
    deposit(b);
  else if (dz < 0)
    erode(b, -dz);
  const int removed = removeZerolayers(b);
  if (FlagSplitLayers > 0 && BlayerTop[b] < NoBedLayers - 2) SplitLayers(b);
  const int j = wrongLayer(b);
  if (j >= 0) stackError(b, j, dz, removed);
}

namespace {

// Solid volume (withSolid) or metres of bed of each size within the depth -dz below the
// surface of bed cell b.
void available(int b, double* avail, double dz, bool withSolid) {
  for (int l = 1; l <= lnumber; ++l) avail[l] = 0;
  if (dz > 0) return;
  const double D = -dz;
  double run = 0;
  for (int j = BlayerTop[b]; j >= 0; --j) {
    const double sf = withSolid ? bedgrid::solidFraction(j, b) : 1.0, T = thickness(j, b);
    run += T;
    // Only the part of the layer that lies above the depth counts.
    const double within = run > D ? T - (run - D) : T;
    for (int l = 1; l <= lnumber; ++l) avail[l] += BSedDistrib[j][l][b] * within * sf;
    if (run > D) break;
  }
  if (relaxAvailable < 0.999999)
    for (int l = 1; l <= lnumber; ++l) avail[l] *= relaxAvailable;
}

}  // namespace

void computeAvailableFraction(int b, double* avail, double dz) { available(b, avail, dz, true); }

void computeAvailableFractionMeters(int b, double* avail, double dz) {
  available(b, avail, dz, false);
}

}  // namespace qorva
