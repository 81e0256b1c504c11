// Grid-split prevention (F 371): minimum water levels per bed cell of block 1 along the flow,
// so that the grid rebuilt on falling levels keeps the columns that carry the river, and the
// rise of the grid levels to them. Reads the velocities, pressures, fluxes and geometry of
// the cells, Bdepth, BFroude, zval and the F 371 companions (F 407, F 420, F 423, F 444,
// F 351); writes Bminwaterlevel, Bminlevdh, BLevFroude, rute, DepthBreakPath (once) and, in
// the rise, zval[..][..][znumber] and [znumber + 1].
#include <algorithm>
#include <cmath>
#include <vector>

#include "grid/columns.h"
#include "grid/grid.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// Longest route the path method keeps.
constexpr int kRoute = 10000;

const GridBlock& blockOne() { return block[1]; }

int bedCell(int i, int j) { return columnBedCell(i, j); }

double bed(int i, int j) { return zval[i][j][1]; }
double cornerSum(int i, int j) {
  return bed(i, j) + bed(i, j - 1) + bed(i - 1, j - 1) + bed(i - 1, j);
}
double lowestCorner(int i, int j) {
  return std::min({bed(i, j), bed(i, j - 1), bed(i - 1, j - 1), bed(i - 1, j)});
}

double speed(int c) { return std::sqrt(Cxvel[c] * Cxvel[c] + Cyvel[c] * Cyvel[c]); }

// Raises the minimum level of the bed cell of column (i, j) to at least z.
void atLeast(int i, int j, double z) {
  if (const int b = bedCell(i, j)) Bminwaterlevel[b] = std::max(Bminwaterlevel[b], z);
}

double increment() {
  const int m = FlagNoGridSplit;
  switch (m) {
    case 1: case 11: case 12: case 36: case 62: return 1.5 * MinVertDist0;
    case 2: case 13: case 65: return MinVertDist0;
    case 3: case 14: case 19: return 0.5 * MinVertDist0;
    case 5: case 15: case 25: return 3.0 * MinVertDist0;
    case 26: return 2 * MinVertDist0;
    case 61: return 1.1 * MinVertDist0;
    case 18: case 27: case 37: case 57: return MinVertDist1;
    case 4: case 17: case 28: case 38: case 58: return 2 * MinVertDist1;
    case 6: case 16: case 29: case 39: case 59: return 3.0 * MinVertDist1;
    case 63: return 10.0 * MinVertDist1;
    case 60: return 0.0;
    case 64:
      return std::pow(DischargeStruct[1].massDischarge * 0.001 / (solverFroudeLimit * 9.81),
                      0.33333333);
    default: return 0.05;
  }
}

void startValues() {
  const GridBlock& k = blockOne();
  for (int i = k.i1; i <= k.i2; ++i)
    for (int j = k.j1; j <= k.j2; ++j) {
      const int b = bedCell(i, j);
      if (b == 0) continue;
      if (FlagNoGridSplit != 9) Bminwaterlevel[b] = -1000.0;
      Bminlevdh[b] = -10.0;
      if (BLevFroude) BLevFroude[b] = -1000.0;
    }
}

// Methods 1 to 6: per cross-section, the third-lowest bed among the columns where the flow is
// faster than 0.1 m/s, raised by dh.
void lowestFastColumns(double dh) {
  const GridBlock& k = blockOne();
  for (int i = k.i1; i <= k.i2; ++i) {
    double low[3] = {100000.0, 100000.0, 100000.0}, wl[2] = {0, 0};
    double p = 0;
    for (int j = k.j1; j <= k.j2 - 1; ++j) {
      const double s = speed(columnBottom(i, j));
      const bool fast = std::max(p, s) > 0.1;
      p = s;
      if (!fast) continue;
      const double z = bed(i, j), w = zval[i][j][znumber];
      if (z < low[0]) {
        low[2] = low[1];
        low[1] = low[0];
        wl[1] = wl[0];
        low[0] = z;
        wl[0] = w;
      } else if (z < low[1]) {
        low[2] = low[1];
        low[1] = z;
        wl[1] = w;
      } else if (z < low[2]) {
        low[2] = z;
      }
    }
    if (low[2] > 99999.0) {
      low[2] = low[1] = -10.0;
      wl[1] = 0;
    }
    for (int j = k.j1; j <= k.j2; ++j)
      if (const int b = bedCell(i, j)) {
        Bminwaterlevel[b] = low[2] + dh;
        Bminlevdh[b] = low[1] + dh - wl[1];
      }
  }
}

// Methods 10 and 11: where a column is faster than F 371's Froude number, the depth at which
// its unit discharge would flow at that Froude number, over the column and (60 %) its sides.
void froudeDepths(bool lowWeighted) {
  const GridBlock& k = blockOne();
  for (int i = k.i1; i <= k.i2; ++i)
    for (int j = k.j1; j <= k.j2; ++j) {
      const int b = bedCell(i, j);
      if (b == 0 || columnBottom(i, j) == 0) continue;
      const double F = std::min(BFroude[b], 3.0);
      if (F <= FroudeSplit) continue;
      const double h =
          std::pow(std::pow(Bdepth[b], 1.5) * F * 3.132 / (3.132 * FroudeSplit), 0.6666666667);
      const double base = lowWeighted ? 0.5 * lowestCorner(i, j) + 0.125 * cornerSum(i, j)
                                      : 0.25 * cornerSum(i, j);
      Bminwaterlevel[b] = std::max(Bminwaterlevel[b], base + h);
      for (auto [a, c] : {std::pair{i + 1, j}, {i - 1, j}, {i, j + 1}, {i, j - 1}})
        atLeast(a, c, base + 0.6 * h);
    }
}

// Methods 12 to 23: a band of nine columns around the fastest column of each cross-section,
// dh above its base level at the centre and falling off by a fifth a column. A cross-section
// without a wet column in the searched range takes the previous one's fastest column; the
// first cross-section without one is left alone.
void fastestBand(double dh) {
  const GridBlock& k = blockOne();
  int jmax = 0;
  for (int i = k.i1; i <= k.i2; ++i) {
    double best = -1;
    int found = 0;
    for (int j = k.j1 + gridSplitKant; j <= k.j2 - gridSplitKant; ++j) {
      const int c = columnBottom(i, j);
      if (c == 0) continue;
      const double s = std::sqrt(Cxvel[c] * Cxvel[c] + Cyvel[c] * Cyvel[c] + 0.00001);
      if (s > best) {
        best = s;
        found = j;
      }
    }
    if (found != 0) jmax = found;
    if (jmax == 0) continue;
    const int c = columnBottom(i, jmax);
    const double corners = 0.25 * cornerSum(i, jmax);
    // The base of a dry column (one taken over from the previous cross-section) is its bed.
    const double face = c != 0 ? Czcenter[c] - Ckdist[c] : corners;
    const double L = FlagGrid13 == 1 ? corners : FlagGrid13 == 2 ? 0.5 * (corners + face) : face;
    for (int n = std::max(jmax - 4, k.j1); n <= std::min(jmax + 4, k.j2); ++n) {
      const double value = (1 - std::fabs(0.2 * (n - jmax))) * dh + L;
      if (const int b = bedCell(i, n)) Bminwaterlevel[b] = value;
      if (i < k.i2)
        if (const int b = bedCell(i + 1, n)) Bminwaterlevel[b] = value;
      if (i > k.i1) atLeast(i - 1, n, value);
    }
  }
}

bool oneCellColumn(int c) { return c != 0 && Ccellt[c] == 0; }

// Speed through face f (m/s).
double faceSpeed(int f) { return f > 0 ? Fflux[f] * 0.001 / (Farea[f] + 1e-20) : 0.0; }

// Methods 24 to 35: over single-cell columns, the lower edge of the face plus the velocity
// head through it (at most dh). A dry column east of one gives nothing.
void velocityHeads(double dh) {
  const GridBlock& k = blockOne();
  for (int i = k.i1; i <= k.i2 - 1; ++i)
    for (int j = k.j1 + gridSplitKant; j <= k.j2 - gridSplitKant - 1; ++j) {
      const int c = columnBottom(i, j);
      if (!oneCellColumn(c)) continue;
      const double U = faceSpeed(Cflatew[c]);
      const double z1 = std::min(Pz[Cpoint2[c]], Pz[Cpoint3[c]]) + std::min(U * U / 9.81, dh);
      atLeast(i, j, z1);
      const int c2 = columnBottom(i + 1, j);
      if (oneCellColumn(c2)) atLeast(i + 1, j, z1);
      if (c2 == 0) continue;
      const double U2 = faceSpeed(Cflaten[c2]);
      const double z2 = std::min(Pz[Cpoint4[c2]], Pz[Cpoint3[c2]]) + std::min(U2 * U2 / 9.81, dh);
      atLeast(i + 1, j, z2);
      if (oneCellColumn(columnBottom(i, j + 1))) atLeast(i, j + 1, z2);
    }
}

// Methods 36 to 47: where the pressure jumps between a bottom cell and its neighbours, the
// column and (half as much) its sides are kept at dh above the lowest corner bed; dh is
// lowered by the jumps it meets for the rest of the computation.
void pressureJumps(double dh) {
  const GridBlock& k = blockOne();
  for (int i = k.i1; i <= k.i2; ++i)
    for (int j = k.j1 + gridSplitKant; j <= k.j2 - gridSplitKant - 1; ++j) {
      const int c = columnBottom(i, j);
      if (c == 0) continue;
      double G = 0, last = 0;
      bool any = false;
      auto gradient = [&](int n, double half) {
        if (!isGridCell(n)) return;
        last = std::fabs(Cpres[n] - Cpres[c]) / (20.0 * half * 9810);
        G = std::max(G, last);
        any = true;
      };
      gradient(Ccelle[c], Cidist[c]);
      gradient(Ccellw[c], Cidist[c]);
      gradient(Ccelln[c], Cjdist[c]);
      gradient(Ccells[c], Cjdist[c]);
      if (!any || !(last > dh)) continue;
      dh = std::min(dh, G - dh);
      const double base = lowestCorner(i, j);
      atLeast(i, j, dh + base);
      for (auto [a, b] : {std::pair{i + 1, j}, {i - 1, j}, {i, j + 1}, {i, j - 1}})
        atLeast(a, b, 0.5 * dh + base);
    }
}

}  // namespace

void riseNeighbours(int i, int j, double bedLevel, double dh) {
  const double level = bedLevel + 0.8 * dh;
  for (auto [a, b] : {std::pair{i - 1, j}, {i + 1, j}, {i, j - 1}, {i, j + 1}})
    atLeast(a, b, level);
  if (FlagRiseNeighbours > 1)
    for (auto [a, b] : {std::pair{i - 1, j - 1}, {i + 1, j + 1}, {i + 1, j - 1}, {i - 1, j + 1}})
      atLeast(a, b, level);
}

namespace {

// The flow path (method 48 and above): from the column of block 1's first cross-section that
// carries most flow, step by step to the neighbour the flow leads to (or, past the F 420 depth,
// the deepest), keeping every column of the path dh above its mean bed, until the last
// cross-section. Dead ends are stepped back from; columns left behind lose their requirement.
// A column may join the path once. Whether it has is kept apart from its minimum level: the
// neighbours raised under F 423 are not on the path and must stay open to it.
class FlowPath {
 public:
  explicit FlowPath(double dh)
      : dh_(dh), visited_(static_cast<std::size_t>(bedCellLimit()) + 1, 0) {}

  void walk() {
    const GridBlock& k = blockOne();
    if (DepthBreakPath < 0) DepthBreakPath = 10 * MinVertDist0;
    const int j0 = startColumn();
    const int clear = std::min(5 * k.i2, kRoute);
    for (int n = 0; n < clear; ++n) rute[n] = 0;
    if (static_cast<long long>(k.j2) * k.i2 <= 0) return;
    // A first cross-section without flow gives the path no start.
    if (j0 == 0) return;
    const int limit =
        static_cast<int>(std::min<long long>(static_cast<long long>(k.j2) * k.i2, kRoute));
    int i = k.i1, j = j0, n = 0, steps = 0, deepest = 0;
    for (;;) {
      ++steps;
      mark(i, j, n);
      if (i == k.i2) {
        cleanUp(n, deepest);
        return;
      }
      int ni = 0, nj = 0;
      if (choose(i, j, n, ni, nj)) {
        i = ni;
        j = nj;
        deepest = std::max(deepest, ++n);
      } else {
        if (--n < 0 || rute[n] <= 0) return;
        i = Bkooi[rute[n]];
        j = Bkooj[rute[n]];
      }
      if (steps > 20000 || n >= limit) {
        if (n > 0 && i == k.i2) cleanUp(n, deepest);
        return;
      }
    }
  }

 private:
  double dh_;
  std::vector<char> visited_;

  int startColumn() const {
    const GridBlock& k = blockOne();
    double best = 0;
    int j0 = 0;
    for (int j = k.j1; j <= k.j2; ++j) {
      double sum = 0;
      upColumn(columnBottom(k.i1, j), [&sum](int c) { sum += Ckdist[c] * speed(c); });
      if (sum > best) {
        best = sum;
        j0 = j;
      }
    }
    return j0;
  }

  void mark(int i, int j, int n) {
    const int b = bedCell(i, j);
    rute[n] = b;
    visited_[b] = 1;
    const double L = 0.25 * cornerSum(i, j);
    if (b) Bminwaterlevel[b] = L + dh_;
    if (FlagRiseNeighbours > 0) riseNeighbours(i, j, L, dh_);
    if (FlagRiseNeighbours > 2 && n > 0 && rute[n - 1] > 0)
      Bminwaterlevel[rute[n - 1]] = std::max(Bminwaterlevel[rute[n - 1]], L + dh_);
  }

  // Columns of the path beyond the position it ended at lose their requirement.
  void cleanUp(int n, int deepest) {
    if (n <= 0) return;
    for (int m = n + 1; m <= deepest && m < kRoute; ++m) {
      if (rute[m] > 0) Bminwaterlevel[rute[m]] = -100.0;
      rute[m] = 0;
    }
  }

  // The next column of the path from (i, j); false when every neighbour is on it already.
  bool choose(int i, int j, int n, int& ni, int& nj) const {
    const GridBlock& k = blockOne();
    const int c = columnBottom(i, j);
    const int top = topOf(c);
    const double u = top ? Cxvel[top] : 0.0, v = top ? Cyvel[top] : 0.0;
    double bestScore = -1e8, bestDepth = -1e30;
    int score = -1, deep = -1;
    const std::pair<int, int> around[4] = {{i, j - 1}, {i + 1, j}, {i, j + 1}, {i - 1, j}};
    for (int m = 0; m < 4; ++m) {
      const auto [a, b] = around[m];
      if (a < k.i1 || a > k.i2 || b < k.j1 || b > k.j2) continue;
      const int bc = bedCell(a, b);
      if (bc == 0 || visited_[bc] != 0) continue;
      const int ck = columnBottom(a, b);
      double s = 0;
      if (ck != 0 && c != 0) {
        const int t = topOf(ck);
        const double q = speed(t) * Ckdist[t];
        const double d = std::min(0.1, (Cxcenter[ck] - Cxcenter[c]) * u +
                                           (Cycenter[ck] - Cycenter[c]) * v);
        s = q * d;
      }
      if (s > bestScore) {
        bestScore = s;
        score = m;
      }
      if (Bdepth[bc] > bestDepth) {
        bestDepth = Bdepth[bc];
        deep = m;
      }
    }
    if (score < 0) return false;
    const int m = n > 0 && bestDepth > DepthBreakPath ? deep : score;
    ni = around[m].first;
    nj = around[m].second;
    return true;
  }
};

// Froude levels along the route: `level` less the water depth of each wet column on it.
void computeSurfLevFroude(int level) {
  if (!BLevFroude) return;
  const int most = std::min(5 * blockOne().i2, kRoute);
  for (int n = 0; n < most; ++n) {
    const int b = rute[n];
    if (b <= 0 || b > bedCellLimit()) return;
    const int c = columnBottom(Bkooi[b], Bkooj[b]);
    if (c == 0) return;
    int t = c;
    upColumn(c, [&t](int x) { t = x; });
    BLevFroude[b] = level - (Czcenter[t] + Ckdist[t] - Czcenter[c] + Ckdist[c]);
  }
}

}  // namespace

void NoGridSplit() {
  if (NoBlocks < 1 || !Bminwaterlevel || !Bminlevdh) return;
  rute[0] = 0;
  double dh = increment();
  Cxvel[0] = Cyvel[0] = 0;
  const GridBlock& k = blockOne();
  const bool start = k.i1 <= k.i2;
  if (start) startValues();
  const int m = FlagNoGridSplit;
  if (m >= 1 && m <= 6) {
    if (start) lowestFastColumns(dh);
  } else if (m == 7 || m == 8) {
    computeMinwaterlevel2();
  } else if (m == 9) {
    computeMinwaterlevel4();
  } else if (m == 10 || m == 11) {
    froudeDepths(m == 10);
  } else if (m >= 12 && m <= 23) {
    fastestBand(dh);
  } else if (m >= 24 && m <= 35) {
    velocityHeads(dh);
  } else if (m >= 36 && m <= 47) {
    pressureJumps(dh);
  } else if (m >= 48) {
    FlowPath(dh).walk();
  }
  if (FlagCriticalCross == 1) {
    if (rute[0] <= 0) return;
    computeCriticalCross();
  }
  if (solverFroude == 2 && rute[0] > 0) computeSurfLevFroude(static_cast<int>(dh));
}

void NoGridSplitRise() {
  if (FlagNoGridSplit <= 0 || NoBlocks < 1 || !Bminwaterlevel) return;
  const GridBlock& k = blockOne();
  for (int i = k.i1 - 1; i <= k.i2; ++i)
    for (int j = k.j1 - 1; j <= k.j2; ++j) {
      double m = -1e20;
      for (auto [a, b] : {std::pair{i, j}, {i + 1, j}, {i, j + 1}, {i + 1, j + 1}}) {
        const int bc = bedCell(a, b);
        if (bc != 0 && columnBottom(a, b) != 0) m = std::max(m, Bminwaterlevel[bc]);
      }
      if (m > -100.0) {
        const double z = std::max(zval[i][j][znumber], m);
        zval[i][j][znumber] = z;
        zval[i][j][znumber + 1] = z;
      }
    }
}

}  // namespace qorva
