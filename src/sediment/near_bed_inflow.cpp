// The inflowing sediment of several sizes put into the lower part of each inflow section while
// the water still enters over the whole section: into the lowest F 455 cells of each water
// column (level option), or into the columns deeper than the shallowest bottom cell of the
// group (deep-column option, F 497). Either way the group brings in c_in times its discharge. Reads DischargeStruct, DischargeArray, Farea, Cflatew,
// Czcenter, Ckdist, Ccellt, Ccellb, Cbed and F 11, F 33, F 455, F 497; adds to Capm, Csourcem,
// Binout, kIn, SumInflow.
#include <algorithm>

#include "grid/columns.h"
#include "sediment/sediment_loop.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/options.h"
#include "state/options_f450_499.h"
#include "state/sediment_run.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

double westArea(int c) { return Farea[Cflatew[c]]; }

// Sediment of size l for cell c: source and the mass counters.
void feed(int l, int c, double q, double cin, double scale) {
  Csourcem[l][c] += q * cin * scale;
  const double mass = q * TimeStep * cin * density * scale;
  SumInflow += mass;
  kIn[l] += mass;
}

void levelOption(int g, int l, double cin) {
  const DischargeGroup& d = DischargeStruct[g];
  const int n = inflowFaceCount(d);
  const int L = LevelInflowSed;
  // The lowest L cells of a column, never its top cell; calls `each` with every one and returns
  // the last one walked (0 when none).
  auto walk = [L](int c, auto each) {
    int last = 0, k = 0;
    upColumnWhile(c, [&](int w) {
      if (k >= L || isTopCell(w)) return false;
      each(w);
      last = w;
      ++k;
      return true;
    });
    return last;
  };
  double B = 0;
  for (int k = 0; k < n; ++k) {
    const int c = inflowFaceCell(d.surfaceList[k]);
    if (c > 0 && isBottomCell(c)) walk(c, [&](int w) { B += westArea(w); });
  }
  const double G = DischargeArray[g] / (d.area + 1e-30), s = d.area / (B + 1e-30);
  for (int k = 0; k < n; ++k) {
    const int f = d.surfaceList[k], c = inflowFaceCell(f);
    if (c <= 0 || !isBottomCell(c)) continue;
    const int last = walk(c, [&](int w) {
      Capm[l][w] += westArea(w) * G;
      feed(l, w, westArea(w) * G, cin, s);
    });
    // The water still enters the upper cells, each through its own face.
    if (last > 0)
      upColumn(cellAbove(last), [&](int up) { Capm[l][up] += westArea(up) * G; });
    if (l == 1 && Cbed[c] >= 1) Binout[Cbed[c]] += Farea[f] * G;
  }
}

// The face area of the column of bottom cell c on the side of its face f: the cells' faces on one
// side share the width and have their own heights.
double columnFaceArea(int f, int c) {
  double h = 0;
  upColumn(c, [&h](int k) { h += Ckdist[k]; });
  return Farea[f] * h / Ckdist[c];
}

void deepColumnOption(int g, int l, double cin) {
  const DischargeGroup& d = DischargeStruct[g];
  const int n = inflowFaceCount(d);
  double zLim = 1e20;
  for (int k = 0; k < n; ++k) {
    const int c = inflowFaceCell(d.surfaceList[k]);
    if (c > 0 && isBottomCell(c)) zLim = std::min(zLim, Czcenter[c] + 2 * Ckdist[c]);
  }
  double A = 0, B = 0;
  for (int k = 0; k < n; ++k) {
    const int f = d.surfaceList[k], c = inflowFaceCell(f);
    if (c <= 0 || !isBottomCell(c)) continue;
    const double a = columnFaceArea(f, c);
    A += a;
    if (zLim > Czcenter[c]) B += a;
  }
  const double G = DischargeArray[g] / (d.area + 1e-30), R = A / (B + 1e-30);
  for (int k = 0; k < n; ++k) {
    const int f = d.surfaceList[k], c = inflowFaceCell(f);
    if (c <= 0) continue;
    Capm[l][c] += Farea[f] * G;
    if (!isBottomCell(c)) continue;
    if (l == 1 && Cbed[c] >= 1) Binout[Cbed[c]] += Farea[f] * G;
    if (zLim > Czcenter[c])
      upColumn(c, [&](int up) { feed(l, up, Farea[f] * Ckdist[up] / Ckdist[c] * G, cin, R); });
  }
}

}  // namespace

void inflowSedimentNearBed(int l, const double* cin) {
  // The start-up refuses both options together: one of them is set here.
  const bool level = LevelInflowSed > 0;
  for (int g = 1; g <= 9; ++g) {
    const DischargeGroup& d = DischargeStruct[g];
    if (d.inflowFlag != 1 || d.surfaceNo < 1) continue;
    if (level)
      levelOption(g, l, cin[g]);
    else
      deepColumnOption(g, l, cin[g]);
  }
}

}  // namespace qorva
