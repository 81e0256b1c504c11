// Boundary levels of the transient free surface: the outlet and inlet levels of the timei
// series on the boundary nodes of the discharge groups, the outlet damping of F 353 along the
// node lines behind each boundary (a normal-flow slope by Manning-Strickler, W 1), and the
// minimum depth at the outlet (F 403). Every walk inward keeps to the node lines of the block
// that holds the boundary column. Reads DischargeStruct, the surfaces' cells and sides, the
// top cells' velocities and sizes, the timei series and the deposit depths; writes
// zval[..][znumber] of the boundary nodes and of the lines behind them.
#include <algorithm>
#include <cmath>

#include "grid/columns.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "state/timeseries.h"
#include "surface/transient.h"
#include "surface/worked_blocks.h"

namespace qorva::surf {

namespace {

// One grid line from a boundary node inward: node k is (i + k di, j + k dj), k = 0..last.
struct Line {
  int i, j, di, dj, last;
  double& z(int k) const {
    k = std::min(k, last);
    return zval[i + k * di][j + k * dj][znumber];
  }
};

// The two boundary lines of side `side` (1 south .. 4 west) of column (i, j), cut to the node
// lines of the block that holds the column; false when no block holds it.
bool sideLines(int i, int j, int side, Line (&l)[2]) {
  int b = 0;
  for (int n = 1; n <= NoBlocks && b == 0; ++n) {
    const GridBlock& k = block[n];
    if (i >= k.i1 && i <= k.i2 && j >= k.j1 && j <= k.j2) b = n;
  }
  if (b == 0) return false;
  const GridBlock& k = block[b];
  auto line = [&k](int ni, int nj, int di, int dj) {
    const int last = di > 0 ? k.i2 - ni : di < 0 ? ni - (k.i1 - 1) : dj > 0 ? k.j2 - nj
                                                                             : nj - (k.j1 - 1);
    return Line{ni, nj, di, dj, std::max(last, 0)};
  };
  switch (side) {
    case 1: l[0] = line(i, j - 1, 0, 1); l[1] = line(i - 1, j - 1, 0, 1); return true;
    case 2: l[0] = line(i, j - 1, -1, 0); l[1] = line(i, j, -1, 0); return true;
    case 3: l[0] = line(i, j, 0, -1); l[1] = line(i - 1, j, 0, -1); return true;
    case 4: l[0] = line(i - 1, j, 1, 0); l[1] = line(i - 1, j - 1, 1, 0); return true;
    default: return false;
  }
}

// Side code of boundary surface s as its cell sees it.
int sideOf(int s) { return Fcell1[s] != 0 ? Ftype1[s] : Ftype2[s]; }

// Calls f(c, side, lines) for each listed surface of group g whose cell passes `keep`.
template <class Keep, class F>
void forEachBoundary(const DischargeGroup& g, Keep keep, F f) {
  const int n = listedSurfaces(g);
  for (int e = 0; e < n; ++e) {
    const int s = g.surfaceList[e];
    const int c = boundaryCell(s);
    if (c == 0 || !keep(c)) continue;
    const int bp = Cbed[c];
    if (bp < 1 || bp > bedCellLimit() || !Bkooi || !Bkooj) continue;
    Line l[2];
    if (sideLines(Bkooi[bp], Bkooj[bp], sideOf(s), l)) f(c, sideOf(s), l);
  }
}

// The first outflow group (lowest record) with surfaces; -1 for none.
int firstOutflowGroup() {
  for (int g = 0; g < 10; ++g)
    if (DischargeStruct[g].inflowFlag == 0 && listedSurfaces(DischargeStruct[g]) > 0) return g;
  return -1;
}

void setLevel(const DischargeGroup& g, double level) {
  forEachBoundary(g, isBottomCell, [level](int, int, const Line(&l)[2]) {
    for (const Line& x : l) x.z(0) = level;
  });
}

// The actions of the damping on one line; D the level step of one node line.
void set(const Line& x, double D) {
  if (x.last >= 1) x.z(0) = x.z(1) - D;
}
void extrapolate(const Line& x, double D) {
  if (x.last < 1) return;
  x.z(0) = 0.5 * (x.z(1) - D) + 0.3 * (x.z(2) - 2 * D) + 0.15 * (x.z(3) - 3 * D) +
           0.05 * (x.z(4) - 4 * D);
}
void chainedBlend(const Line& x, double D) {
  for (int k = 1; k <= std::min(9, x.last); ++k) {
    const double f = (10 - k) / 10.0;
    x.z(k) = f * (x.z(k - 1) + D) + (1 - f) * x.z(k);
  }
}
void forwardBlend(const Line& x, double D) {
  for (int k = 1; k <= std::min(9, x.last - 1); ++k) {
    const double f = (10 - k) / 10.0;
    x.z(k) = f * (x.z(k + 1) - D) + (1 - f) * x.z(k);
  }
}
void smoothFirstLine(const Line& x) {
  if (x.last >= 2) x.z(1) = 0.25 * (x.z(0) + x.z(2)) + 0.5 * x.z(1);
}
void sectionSmoothing(const Line& x, bool cap) {
  const double F1 = surfaceDampFactor1, F2 = surfaceDampFactor2;
  for (int k = 1; k <= std::min(surfaceDampSec, x.last - 1); ++k) {
    x.z(k) = (1 - F2) * F1 * x.z(k + 1) + F2 * x.z(k) + (1 - F1) * (1 - F2) * x.z(k - 1);
    if (cap) x.z(k) = std::min(x.z(k), x.z(0));
  }
}

// The damping of one boundary side by F 353.
void damp(int mode, bool inflow, int side, const Line& x, double D, const SeriesLevels& s) {
  const bool west = side == 4, east = side == 2;
  switch (mode) {
    case 1:
      if (east && s.out) return;
      inflow ? extrapolate(x, D) : set(x, D);
      return;
    case 2:
    case 3:
      if (inflow) {
        extrapolate(x, D);
        if (west) smoothFirstLine(x);
      } else {
        east ? chainedBlend(x, D) : set(x, D);
      }
      return;
    case 4:
      if (inflow) {
        if (west) forwardBlend(x, D);
      } else if (east) {
        chainedBlend(x, D);
      } else if (west) {
        forwardBlend(x, D);
        set(x, D);
      } else {
        set(x, D);
      }
      return;
    case 5:
    case 6:
      if (inflow) {
        if (!west) return;
        if (!s.in) set(x, D);
        sectionSmoothing(x, mode == 6);
      } else if (east) {
        chainedBlend(x, D);
      } else if (west) {
        if (!s.in) set(x, D);
        sectionSmoothing(x, mode == 6);
        set(x, D);
      } else {
        set(x, D);
      }
      return;
    default: return;
  }
}

void outletDamping(const SeriesLevels& s) {
  const int mode = surfaceDownstreamDamp;
  if (mode < 1 || mode > 6) return;
  const double M = ManningInit;
  for (int g = 0; g < 10; ++g) {
    const DischargeGroup& grp = DischargeStruct[g];
    const bool inflow = grp.inflowFlag == 1;
    forEachBoundary(grp, isTopCell, [&](int c, int side, const Line(&l)[2]) {
      double K = 0;
      upColumn(bottomOf(c), [&K](int cc) { K += Ckdist[cc]; });
      const double h = 2 * K, u = Cxvel[c], v = Cyvel[c];
      double S = (u * u + v * v) / (M * M * std::pow(h, 1.333) + (mode >= 2 ? 1e-20 : 0.0));
      if (inflow) S = -S;
      const double D = (side == 1 || side == 3 ? 2 * Cjdist[c] : 2 * Cidist[c]) * S;
      for (const Line& x : l) damp(mode, inflow, side, x, D, s);
    });
  }
}

}  // namespace

SeriesLevels seriesLevels() {
  SeriesLevels s;
  if (TimeInNo < 1 || !TimeInHout || !TimeInHinn) return s;
  s.out = TimeInHoutGiven;
  s.in = TimeInHinnGiven;
  const double out = depthDepositOut, in = depthDepositIn;
  switch (FlagDepthDeposit) {
    case 3: s.Hout = 0.5 * (out + in) + TimeInHout[0]; break;
    case 4: s.Hout = out + in + TimeInHout[0]; break;
    default:
      s.Hout = FlagDepthDeposit <= 0 ? timeSeriesValue(TimeInHout, stimet) : TimeInHout[0] + out;
      break;
  }
  switch (FlagDepthDeposit) {
    case 2: s.Hin = TimeInHinn[0] + in; break;
    case 3: s.Hin = 0.5 * (out + in) + TimeInHinn[0]; break;
    case 4: s.Hin = out + in + TimeInHinn[0]; break;
    default: s.Hin = timeSeriesValue(TimeInHinn, stimet); break;
  }
  return s;
}

void transientBoundaryLevels(int) {
  const SeriesLevels s = seriesLevels();
  if (s.out)
    if (const int g = firstOutflowGroup(); g >= 0) setLevel(DischargeStruct[g], s.Hout);
  if (FlagExtraDebug == 1) logf("In surface_tfs-2\n");
  if (s.in)
    for (int g = 0; g < 10; ++g)
      if (DischargeStruct[g].inflowFlag == 1 && listedSurfaces(DischargeStruct[g]) > 0)
        setLevel(DischargeStruct[g], s.Hin);
  outletDamping(s);
}

void outletMinimumDepth() {
  const int g = firstOutflowGroup();
  if (g < 0) return;
  forEachBoundary(DischargeStruct[g], isBottomCell, [](int, int, const Line(&l)[2]) {
    for (const Line& x : l) x.z(0) = std::max(x.z(0), zval[x.i][x.j][1] + TFSminDepth);
  });
}

}  // namespace qorva::surf
