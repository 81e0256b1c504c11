// Grid quality checks of a block window: level and cell counts corrected before cells are made.
// Reads and writes antlin, antlinT, antmin, ant and the bed and water levels of zval; reads
// pointcell_old, pointbed, Broughness, gsize, xval, yval and the F 159 family of options.
#include <algorithm>
#include <cmath>
#include <cstddef>

#include "grid/columns.h"
#include "grid/grid.h"
#include "state/bedcells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"

namespace qorva {
namespace {

// Lines and columns one beyond a window may lie outside the tables; there they read as
// count 0 (thin, dry, no cells), as would an entry that nothing computed.
bool inside(int i, int j) {
  return i >= 0 && j >= 0 && static_cast<std::size_t>(i) < antlin.dim(0) &&
         static_cast<std::size_t>(j) < antlin.dim(1);
}
int lin(int i, int j) { return inside(i, j) ? antlin[i][j] : 0; }
int cells(int i, int j) { return inside(i, j) ? ant[i][j] : 0; }

// Keeps the window's columns (i1..i2, j1..j2) and corner lines inside the tables.
void cutWindow(int& i1, int& i2, int& j1, int& j2) {
  cutRange(i1, i2, antlin.dim(0), 1);
  cutRange(j1, j2, antlin.dim(1), 1);
}
double positive(double d) { return d > 0 ? d : 0.0; }

// Bed lowered so that the line has at least depth h; raised so that it has at most h.
void lowerBed(int i, int j, double h) {
  zval[i][j][1] = std::min(zval[i][j][1], zval[i][j][znumber] - h);
}
void raiseBed(int i, int j, double h) {
  zval[i][j][1] = std::max(zval[i][j][1], zval[i][j][znumber] - h);
}

int maxCorner(int i, int j) {
  return std::max({antlin[i - 1][j - 1], antlin[i][j - 1], antlin[i][j], antlin[i - 1][j]});
}
int minCorner(int i, int j) {
  return std::min({antlin[i - 1][j - 1], antlin[i][j - 1], antlin[i][j], antlin[i - 1][j]});
}
double positiveSum(int i, int j) {
  return positive(lineDepth(i - 1, j - 1)) + positive(lineDepth(i, j - 1)) +
         positive(lineDepth(i, j)) + positive(lineDepth(i - 1, j));
}

void limit(int i, int j, int n) { antlin[i][j] = std::min(antlin[i][j], n); }

// ---------------------------------------------------------------------------------------------
// Grid1Stability steps

// Thin diagonal pairs of corners cap the other diagonal (1), or every interior line is capped
// by the shallowest column around it (2).
void limitByCorners(int i1, int i2, int j1, int j2) {
  const double d0 = MinVertDist0;
  if (FlagGridStab6 == 1) {
    for (int j = j1; j <= j2; ++j)
      for (int i = i1; i <= i2; ++i) {
        if (maxCorner(i, j) <= 1) continue;
        if (lineDepth(i, j) < d0 && lineDepth(i - 1, j - 1) < d0) {
          limit(i, j - 1, 2);
          limit(i - 1, j, 2);
        }
        if (lineDepth(i - 1, j) < d0 && lineDepth(i, j - 1) < d0) {
          limit(i, j, 2);
          limit(i - 1, j - 1, 2);
        }
      }
  } else if (FlagGridStab6 == 2) {
    for (int j = j1; j <= j2; ++j)
      for (int i = i1; i <= i2; ++i) antmin[i][j] = minCorner(i, j);
    for (int j = j1; j <= j2 - 1; ++j)
      for (int i = i1; i <= i2 - 1; ++i) {
        const int m = std::min({antmin[i][j], antmin[i + 1][j], antmin[i][j + 1],
                                antmin[i + 1][j + 1]});
        const int s = m + antlin[i][j];
        limit(i, j, s <= 5 ? 2 : s / 2);
      }
    for (int j = j1; j <= j2; ++j)
      for (int i = i1; i <= i2; ++i) antmin[i][j] = 0;
  }
}

// Line C between neighbours L and R (first the i-, then the j-neighbours).
void followThinNeighbours(int i, int j) {
  const int nb[2][4] = {{i - 1, j, i + 1, j}, {i, j - 1, i, j + 1}};
  for (const auto& n : nb) {
    const int l = lin(n[0], n[1]), r = lin(n[2], n[3]);
    const bool lThin = l < 2, rThin = r < 2;
    int& c = antlin[i][j];
    if (lThin && !rThin) {
      c = std::min(c, r);
    } else if (rThin && !lThin) {
      c = std::min(c, l);
    } else if (lThin && rThin) {
      if (r > 0) c = std::min(c, r);
      if (l > 0) c = std::min(c, l);
    }
  }
}

// A line between a thin and a deep neighbour gets at least one cell.
void bridgeThinNeighbours(int i, int j) {
  const int nb[2][4] = {{i - 1, j, i + 1, j}, {i, j - 1, i, j + 1}};
  for (const auto& n : nb) {
    const int l = lin(n[0], n[1]), r = lin(n[2], n[3]);
    if ((l < 2 && r > 2) || (r < 2 && l > 2)) antlin[i][j] = std::max(antlin[i][j], 2);
  }
}

template <class Rule>
void sweepLines(int ia, int ib, int ja, int jb, bool backward, Rule rule) {
  if (!backward) {
    for (int j = ja; j <= jb; ++j)
      for (int i = ia; i <= ib; ++i) rule(i, j);
  } else {
    for (int j = jb; j >= ja; --j)
      for (int i = ib; i >= ia; --i) rule(i, j);
  }
}

void thinLines(int i1, int i2, int j1, int j2) {
  switch (FlagGridStab9) {
    case 1:
      sweepLines(i1 - 1, i2, j1 - 1, j2, false, followThinNeighbours);
      break;
    case 2:
      sweepLines(i1, i2 - 1, j1, j2 - 1, false, followThinNeighbours);
      break;
    case 3:
      sweepLines(i1 - 1, i2, j1 - 1, j2, false, followThinNeighbours);
      sweepLines(i1 - 1, i2, j1 - 1, j2, true, followThinNeighbours);
      break;
    case 4:
      sweepLines(i1 - 1, i2, j1 - 1, j2, false, bridgeThinNeighbours);
      sweepLines(i1 - 1, i2, j1 - 1, j2, true, bridgeThinNeighbours);
      break;
    default:
      break;
  }
}

// Two neighbouring lines (a, b) and the lines beside and beyond them.
struct Pair {
  int ai, aj, bi, bj;
  int side1[2][2], side2[2][2];  // two lines on each side
  int beyond[2][2];
};

Pair pairAlongI(int i, int j) {
  return {i, j, i + 1, j,
          {{i, j - 1}, {i + 1, j - 1}}, {{i, j + 1}, {i + 1, j + 1}},
          {{i - 1, j}, {i + 2, j}}};
}
Pair pairAlongJ(int i, int j) {
  return {i, j, i, j + 1,
          {{i - 1, j}, {i - 1, j + 1}}, {{i + 1, j}, {i + 1, j + 1}},
          {{i, j - 1}, {i, j + 2}}};
}

// Pairs along i first, then along j, over the ranges the dry-pair rules use.
template <class Rule>
void sweepPairs(int i1, int i2, int j1, int j2, Rule rule) {
  for (int j = j1 + 1; j <= j2 - 1; ++j)
    for (int i = i1 + 1; i <= i2; ++i) rule(pairAlongI(i, j));
  for (int j = j1 + 1; j <= j2; ++j)
    for (int i = i1 + 1; i <= i2 - 1; ++i) rule(pairAlongJ(i, j));
}

bool dry(const Pair& p) { return lin(p.ai, p.aj) == 1 && lin(p.bi, p.bj) == 1; }
bool allWet(const int s[2][2]) { return lin(s[0][0], s[0][1]) >= 2 && lin(s[1][0], s[1][1]) >= 2; }
bool anyWet(const int s[2][2]) { return lin(s[0][0], s[0][1]) >= 2 || lin(s[1][0], s[1][1]) >= 2; }

void openPair(const Pair& p) {
  const double h = MinVertDist0 + 0.000001;
  antlin[p.ai][p.aj] = 2;
  antlin[p.bi][p.bj] = 2;
  lowerBed(p.ai, p.aj, h);
  lowerBed(p.bi, p.bj, h);
}

void openDryPairs(int i1, int i2, int j1, int j2) {
  const int f = FlagGridStab2;
  if (f != 2 && f != 3 && f != 11 && f != 12 && f != 14) return;
  if (f == 2 || f == 3 || f == 11)
    sweepPairs(i1, i2, j1, j2, [](const Pair& p) {
      if (dry(p) && allWet(p.side1) && allWet(p.side2)) openPair(p);
    });
  if (f == 3)
    sweepPairs(i1, i2, j1, j2, [](const Pair& p) {
      // A dry pair has both lines inside the tables; these pairs need their depths.
      if (!inside(p.ai, p.aj) || !inside(p.bi, p.bj)) return;
      const double d1 = lineDepth(p.ai, p.aj), d2 = lineDepth(p.bi, p.bj);
      if (d1 * d2 < 0 && d1 + d2 < 0.1 * MinVertDist0) {
        antlin[p.ai][p.aj] = 1;
        antlin[p.bi][p.bj] = 1;
      }
    });
  if (f == 11 || f == 12)
    sweepPairs(i1, i2, j1, j2, [](const Pair& p) {
      if (dry(p) && lin(p.beyond[0][0], p.beyond[0][1]) <= 1 &&
          lin(p.beyond[1][0], p.beyond[1][1]) <= 1 && anyWet(p.side1) && anyWet(p.side2))
        openPair(p);
    });
  if (f == 14)
    sweepPairs(i1, i2, j1, j2, [](const Pair& p) {
      if (dry(p) && anyWet(p.side1) && anyWet(p.side2)) openPair(p);
    });
}

void dropIsolatedLines(int i1, int i2, int j1, int j2) {
  for (int j = j1 - 1; j <= j2; ++j)
    for (int i = i1 - 1; i <= i2; ++i)
      if (antlin[i][j] >= 2 && lin(i - 1, j) <= 1 && lin(i + 1, j) <= 1 && lin(i, j - 1) <= 1 &&
          lin(i, j + 1) <= 1)
        antlin[i][j] = 1;
}

// A dry line with water between two wet neighbours gets one cell in both layers.
void wetGaps(int i1, int i2, int j1, int j2) {
  if (FlagGridStab10 != 1 || !antlinT) return;
  auto rule = [](int i, int j) {
    if (antlin[i][j] != 1 || lineDepth(i, j) <= 0) return;
    if ((antlin[i - 1][j] > 1 && antlin[i + 1][j] > 1) ||
        (antlin[i][j - 1] > 1 && antlin[i][j + 1] > 1)) {
      antlin[i][j] = 2;
      antlinT[i][j] = 2;
    }
  };
  sweepLines(i1, i2 - 1, j1, j2 - 1, false, rule);
  sweepLines(i1, i2 - 1, j1, j2 - 1, true, rule);
}

void raiseEdgeLines(int i1, int i2, int j1, int j2) {
  for (int j = j1; j <= j2; ++j)
    for (int i = i1; i <= i2; ++i) {
      if (i == i1) antlin[i1 - 1][j] = std::max(antlin[i1 - 1][j], antlin[i1][j]);
      if (i == i2) antlin[i2][j] = std::max(antlin[i2][j], antlin[i2 - 1][j]);
      if (j == j1) antlin[i][j1 - 1] = std::max(antlin[i][j1 - 1], antlin[i][j1]);
      if (j == j2) antlin[i][j2] = std::max(antlin[i][j2], antlin[i][j2 - 1]);
    }
}

// ---------------------------------------------------------------------------------------------
// Grid2Stability steps

template <class Rule>
void sweepColumns(int i1, int i2, int j1, int j2, Rule rule) {
  for (int j = j1; j <= j2; ++j)
    for (int i = i1; i <= i2; ++i) rule(i, j);
}

void dropByMeanDepth(int i1, int i2, int j1, int j2) {
  if (UMethod != 111 && UMethod != 112 && UMethod != 113) return;
  const double least = UMethod == 112 ? MinVertDist2 : 0.0;
  sweepColumns(i1, i2, j1, j2, [least](int i, int j) {
    if (ant[i][j] > 0 && columnMeanDepth(i, j) < least) ant[i][j] = 0;
  });
}

// Roughness scale of a column: its bed roughness, at least three times the coarsest grain.
double roughnessScale(int i, int j) {
  const int b = pointbed[i][j];
  const double kb =
      b > 0 && static_cast<std::size_t>(b) < Broughness.size() ? Broughness[b] : 0.0;
  return std::max(kb, 3.0 * gsize[lnumber]);
}

// The water levels of a newly wet column's corners held close to that of its deepest corner.
void flattenNewColumn(int i, int j) {
  const int ci[4] = {i, i - 1, i, i - 1}, cj[4] = {j, j, j - 1, j - 1};
  int best = -1;
  double deepest = 0;
  for (int c = 0; c < 4; ++c)
    if (lineDepth(ci[c], cj[c]) > deepest) {
      deepest = lineDepth(ci[c], cj[c]);
      best = c;
    }
  if (best < 0) return;  // no wet corner: nothing to level against
  const double ref = zval[ci[best]][cj[best]][znumber];
  const double dx = xval[i][j] - xval[i - 1][j - 1], dy = yval[i][j] - yval[i - 1][j - 1];
  const double d = 0.02 * std::sqrt(dx * dx + dy * dy);
  for (int c = 0; c < 4; ++c) {
    double& z = zval[ci[c]][cj[c]][znumber];
    z = std::clamp(z, ref - d, ref + d);
  }
}

void shallowColumns(int i1, int i2, int j1, int j2) {
  const double d0 = MinVertDist0;
  switch (FlagGridStab7) {
    case 1:
      sweepColumns(i1, i2, j1, j2, [](int i, int j) {
        if (ant[i][j] > 0 && ((lineDepth(i, j) < 0 && lineDepth(i - 1, j - 1) < 0) ||
                              (lineDepth(i - 1, j) < 0 && lineDepth(i, j - 1) < 0)))
          ant[i][j] = 0;
      });
      break;
    case 2:
      if (Iter < 2) break;
      sweepColumns(i1, i2, j1, j2, [](int i, int j) {
        const double r = roughnessScale(i, j);
        if (ant[i][j] > 0 && r > 0 && positiveSum(i, j) / r < 0.4) ant[i][j] = 0;
      });
      break;
    case 3:
      sweepColumns(i1, i2, j1, j2, [](int i, int j) {
        const double r = roughnessScale(i, j);
        if (ant[i][j] > 0 && r > 0 && 0.25 * positiveSum(i, j) / r < 0.1) ant[i][j] = 0;
      });
      break;
    case 4:
      sweepColumns(i1, i2, j1, j2, [d0](int i, int j) {
        if (ant[i][j] > 0 && columnMeanDepth(i, j) < d0) ant[i][j] = 0;
      });
      break;
    case 5:
      sweepColumns(i1, i2, j1, j2, [](int i, int j) {
        if (ant[i][j] > 0 && pointcell_old[i][j] == 0) flattenNewColumn(i, j);
      });
      break;
    case 6:
      sweepColumns(i1, i2, j1, j2, [d0](int i, int j) {
        const CornerLines c = cornerLines(i, j);
        int thin = 0;
        for (int n = 0; n < 4; ++n) thin += lineDepth(c.i[n], c.j[n]) < d0;
        if (thin < 3) return;
        for (int n = 0; n < 4; ++n)
          if (lineDepth(c.i[n], c.j[n]) >= d0) raiseBed(c.i[n], c.j[n], d0);
      });
      break;
    case 7:
      sweepColumns(i1, i2, j1, j2, [](int i, int j) {
        if (ant[i][j] > 0 && columnMeanDepth(i, j) < 0) ant[i][j] = 0;
      });
      break;
    case 8:
      sweepColumns(i1, i2, j1, j2, [d0](int i, int j) {
        if (ant[i][j] > 0 && 0.25 * positiveSum(i, j) < d0) ant[i][j] = 0;
      });
      break;
    default:
      break;
  }
}

void dropThreeDryCorners(int i1, int i2, int j1, int j2) {
  sweepColumns(i1, i2, j1, j2, [](int i, int j) {
    if (ant[i][j] <= 0) return;
    const int thin = (antlin[i - 1][j - 1] < 2) + (antlin[i][j - 1] < 2) + (antlin[i][j] < 2) +
                     (antlin[i - 1][j] < 2);
    if (thin < 3) return;
    const bool east = cells(i + 1, j) > 0 && antlin[i][j - 1] <= 1 && antlin[i][j] <= 1;
    const bool west = cells(i - 1, j) == 0 && antlin[i - 1][j - 1] <= 1 && antlin[i - 1][j] <= 1;
    const bool north = cells(i, j + 1) == 0 && antlin[i - 1][j] <= 1 && antlin[i][j] <= 1;
    const bool south = cells(i, j - 1) == 0 && antlin[i - 1][j - 1] <= 1 && antlin[i][j - 1] <= 1;
    if (east || west || north || south) ant[i][j] = 0;
  });
}

// Sides of column (i, j): east, west, north, south, each the neighbouring column and the two
// lines of the side.
struct Side {
  int ni, nj, ai, aj, bi, bj;
};
void sides(int i, int j, Side s[4]) {
  s[0] = {i + 1, j, i, j - 1, i, j};
  s[1] = {i - 1, j, i - 1, j - 1, i - 1, j};
  s[2] = {i, j + 1, i - 1, j, i, j};
  s[3] = {i, j - 1, i - 1, j - 1, i, j - 1};
}

void dropDeadEnds(int i1, int i2, int j1, int j2) {
  for (int sweep = 0; sweep < 30; ++sweep)
    sweepColumns(i1, i2, j1, j2, [](int i, int j) {
      Side s[4];
      sides(i, j, s);
      int openSides = 0;
      for (const Side& e : s)
        openSides += cells(e.ni, e.nj) > 0 && (antlin[e.ai][e.aj] > 1 || antlin[e.bi][e.bj] > 1);
      if (openSides < 2) ant[i][j] = 0;
    });
}

void dropIsolatedColumns(int i1, int i2, int j1, int j2) {
  auto rule = [](int i, int j) {
    if (ant[i][j] <= 0) return;
    Side s[4];
    sides(i, j, s);
    for (const Side& e : s)
      if (cells(e.ni, e.nj) > 0 && (antlin[e.ai][e.aj] >= 2 || antlin[e.bi][e.bj] >= 2)) return;
    ant[i][j] = 0;
  };
  long long previous = 0;
  for (int pass = 0; pass < 15; ++pass) {
    sweepColumns(i1, i2, j1, j2, rule);
    for (int j = j2; j >= j1; --j)
      for (int i = i2; i >= i1; --i) rule(i, j);
    long long sum = 0;
    for (int j = j1; j <= j2; ++j)
      for (int i = i1; i <= i2; ++i) sum += ant[i][j];
    if (sum == previous) break;
    previous = sum;
  }
}

// Face between two columns with cells: its two lines, the two columns and the column beyond
// each of them on the far side from the face.
struct Face {
  int ai, aj, bi, bj;  // lines
  int c[2][2];         // columns
  int far[2][2];       // columns beyond
};

// Depth a thin connection is given with the rules 5, 6 and 8: the start value, raised to a
// sixteenth of the corner-depth sum of each single-cell column that ends in a dry column.
double connectionDepth(const Face& f, double start, bool always) {
  double h = start;
  for (int n = 0; n < 2; ++n) {
    const int i = f.c[n][0], j = f.c[n][1];
    const bool counts = always || (ant[i][j] == 1 && cells(f.far[n][0], f.far[n][1]) == 0);
    if (!counts) continue;
    const double s =
        lineDepth(i - 1, j - 1) + lineDepth(i, j - 1) + lineDepth(i, j) + lineDepth(i - 1, j);
    h = std::max(h, s / 16.0);
  }
  return h;
}

void deepenConnection(const Face& f) {
  const double d0 = MinVertDist0, d1 = MinVertDist1;
  const double da = lineDepth(f.ai, f.aj), db = lineDepth(f.bi, f.bj);
  const double sum = da + db;
  switch (FlagGridStab2) {
    case 1:
      if (sum < 1.6 * d0) { lowerBed(f.ai, f.aj, 0.8 * d0); lowerBed(f.bi, f.bj, 0.8 * d0); }
      break;
    case 4:
      if (sum < 4.0 * d0) { lowerBed(f.ai, f.aj, 2 * d0); lowerBed(f.bi, f.bj, 2 * d0); }
      break;
    case 7:
      if (sum < d1) { lowerBed(f.ai, f.aj, d1); lowerBed(f.bi, f.bj, d1); }
      break;
    case 5:
    case 6: {
      const double h = connectionDepth(f, d0, FlagGridStab2 == 6);
      if (0.5 * sum < h) { lowerBed(f.ai, f.aj, h); lowerBed(f.bi, f.bj, h); }
      break;
    }
    case 8: {
      const double h = connectionDepth(f, d1, false);
      if (0.5 * sum < h) {
        if (antlin[f.ai][f.aj] > 1) lowerBed(f.ai, f.aj, h);
        if (antlin[f.bi][f.bj] > 1) lowerBed(f.bi, f.bj, h);
      }
      break;
    }
    default:
      break;
  }
}

void deepenConnections(int i1, int i2, int j1, int j2) {
  const int f = FlagGridStab2;
  if (f != 1 && f != 4 && f != 5 && f != 6 && f != 7 && f != 8) return;
  for (int j = j1; j <= j2 - 1; ++j)
    for (int i = i1; i <= i2; ++i) {
      if (ant[i][j] <= 0 || ant[i][j + 1] <= 0) continue;
      deepenConnection({i - 1, j, i, j, {{i, j}, {i, j + 1}}, {{i, j - 1}, {i, j + 2}}});
    }
  for (int j = j1; j <= j2; ++j)
    for (int i = i1; i <= i2 - 1; ++i) {
      if (ant[i][j] <= 0 || ant[i + 1][j] <= 0) continue;
      deepenConnection({i, j - 1, i, j, {{i, j}, {i + 1, j}}, {{i - 1, j}, {i + 2, j}}});
    }
}

void deepenWetCorners(int i1, int i2, int j1, int j2) {
  sweepColumns(i1, i2, j1, j2, [](int i, int j) {
    if (ant[i][j] <= 0) return;
    const CornerLines c = cornerLines(i, j);
    for (int n = 0; n < 4; ++n)
      if (antlin[c.i[n]][c.j[n]] > 1) lowerBed(c.i[n], c.j[n], MinVertDist1);
  });
}

// A column whose only deep corner lies between two sides facing dry columns keeps one cell.
void thinOuterCorners(int i1, int i2, int j1, int j2) {
  sweepColumns(i1, i2, j1, j2, [](int i, int j) {
    if (ant[i][j] <= 0) return;
    const bool eDry = cells(i + 1, j) == 0, wDry = cells(i - 1, j) == 0;
    const bool nDry = cells(i, j + 1) == 0, sDry = cells(i, j - 1) == 0;
    const struct {
      bool open;
      int ci, cj;
    } cases[4] = {{eDry && nDry, i, j},
                  {wDry && sDry, i - 1, j - 1},
                  {wDry && nDry, i - 1, j},
                  {eDry && sDry, i, j - 1}};
    const CornerLines c = cornerLines(i, j);
    for (const auto& k : cases) {
      if (!k.open || antlin[k.ci][k.cj] <= 2) continue;
      bool only = true;
      for (int n = 0; n < 4; ++n)
        if ((c.i[n] != k.ci || c.j[n] != k.cj) && antlin[c.i[n]][c.j[n]] > 2) only = false;
      if (!only) continue;
      antlin[k.ci][k.cj] = 2;
      ant[i][j] = 1;
      break;
    }
  });
}

void limitExpansion(int i1, int i2, int j1, int j2) {
  sweepColumns(i1 + 1, i2 - 1, j1 + 1, j2 - 1, [](int i, int j) {
    if (ant[i][j] > 0 && pointcell_old[i + 1][j] == 0 && pointcell_old[i - 1][j] == 0 &&
        pointcell_old[i][j + 1] == 0 && pointcell_old[i][j - 1] == 0)
      ant[i][j] = 0;
  });
}

void holdNewShallowColumns(int i1, int i2, int j1, int j2) {
  sweepColumns(i1, i2, j1, j2, [](int i, int j) {
    if (pointcell_old[i][j] == 0 && columnMeanDepth(i, j) < MinVertDist2) ant[i][j] = 0;
  });
}

}  // namespace

void Grid1Stability(int i1, int i2, int j1, int j2) {
  cutWindow(i1, i2, j1, j2);
  if (i1 > i2 || j1 > j2) return;
  limitByCorners(i1, i2, j1, j2);
  thinLines(i1, i2, j1, j2);
  openDryPairs(i1, i2, j1, j2);
  // F 159's third value names a limit that never binds (the largest corner count against the
  // larger of itself and a neighbour): it leaves the counts as they are.
  if (FlagPresDebug != 2) dropIsolatedLines(i1, i2, j1, j2);
  wetGaps(i1, i2, j1, j2);
  if (FlagGridStab4 == 2) raiseEdgeLines(i1, i2, j1, j2);
  // With F 64 114, a column already holding cells whose mean corner depth is negative keeps at
  // most one cell per corner line. The generators derive the cell counts after this check, so
  // on their path no column holds cells yet and nothing changes.
  if (UMethod == 114)
    sweepColumns(i1, i2, j1, j2, [](int i, int j) {
      if (ant[i][j] <= 0 || columnMeanDepth(i, j) >= 0) return;
      const CornerLines c = cornerLines(i, j);
      for (int n = 0; n < 4; ++n) limit(c.i[n], c.j[n], 2);
    });
  if (UMethod2 > 0 && antlinT)
    for (int j = j1 - 1; j <= j2; ++j)
      for (int i = i1 - 1; i <= i2; ++i) antlinT[i][j] = std::min(antlinT[i][j], antlin[i][j]);
}

void Grid2Stability(int i1, int i2, int j1, int j2) {
  cutWindow(i1, i2, j1, j2);
  if (i1 > i2 || j1 > j2) return;
  dropByMeanDepth(i1, i2, j1, j2);
  shallowColumns(i1, i2, j1, j2);
  if (FlagGridStab4 == 5) dropThreeDryCorners(i1, i2, j1, j2);
  if (FlagGridStab1 == 1) dropDeadEnds(i1, i2, j1, j2);
  if ((FlagGridStab4 == 1 || FlagGridStab4 >= 5) && j1 < j2 && i1 < i2)
    dropIsolatedColumns(i1, i2, j1, j2);
  deepenConnections(i1, i2, j1, j2);
  if (FlagGridStab5 == 1) deepenWetCorners(i1, i2, j1, j2);
  if (FlagGridStab8 > 0) thinOuterCorners(i1, i2, j1, j2);
  if (FlagLimitExpansion > 0) limitExpansion(i1, i2, j1, j2);
  if (FlagGridStab11 == 1) holdNewShallowColumns(i1, i2, j1, j2);
}

}  // namespace qorva
