// Level corrections at the edges of the wet area, on the grid levels before the grid is rebuilt
// on them: flat levels toward dry columns, outlet lines pinned to the reference level, a wet
// inflow edge (F 187), and edge levels lifted where the flow leaves the wet area (F 229).
// Reads the cell links and geometry, Cxvel, Cyvel, BFroude, the discharge groups, F 187,
// F 229, MinVertDist0, ManningInit, TimeStep; writes zval[..][..][znumber] and [znumber + 1].
#include <algorithm>
#include <cmath>

#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/options.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "surface/surface.h"
#include "surface/worked_blocks.h"

namespace qorva {

namespace {

double& Z(int i, int j) { return zval[i][j][znumber]; }

// Every level set here is also the level of the last completed update.
void setLevel(int i, int j, double z) { zval[i][j][znumber] = zval[i][j][znumber + 1] = z; }
void raiseTo(int i, int j, double z) { setLevel(i, j, std::max(Z(i, j), z)); }

// A column counts as wet when its bottom cell has a bed cell.
bool wet(int i, int j) {
  const int c = columnBottom(i, j);
  return c != 0 && Cbed[c] >= 1;
}

// F 187 1: a wet column toward a dry one takes the levels of its wet side across, in j first.
void flatEdges() {
  for (int b = 1; b <= NoBlocks; ++b) {
    if (!surf::levelsMove(b)) continue;
    const GridBlock& k = block[b];
    for (int i = k.i1 - 1; i <= k.i2; ++i)
      for (int j = k.j1 - 1; j <= k.j2; ++j) {
        if (columnBottom(i, j) == 0) continue;
        const bool north = wet(i, j + 1), south = wet(i, j - 1);
        const bool east = wet(i + 1, j), west = wet(i - 1, j);
        if (!north && south) {
          setLevel(i, j, Z(i, j - 1));
          setLevel(i - 1, j, Z(i - 1, j - 1));
        } else if (!south && north) {
          setLevel(i, j - 1, Z(i, j));
          setLevel(i - 1, j - 1, Z(i - 1, j));
        } else if (!east && west) {
          setLevel(i, j, Z(i - 1, j));
          setLevel(i, j - 1, Z(i - 1, j - 1));
        } else if (!west && east) {
          setLevel(i - 1, j, Z(i, j));
          setLevel(i - 1, j - 1, Z(i, j - 1));
        }
      }
  }
}

// A column of a boundary surface: its bottom cell and indices, and the grid lines of the block
// that holds it (i1 - 1..i2, j1 - 1..j2), which bound every walk inward.
struct EdgeColumn {
  int cb = 0, i = 0, j = 0;
  int iLo = 0, iHi = -1, jLo = 0, jHi = -1;
};

bool edgeColumn(int s, EdgeColumn& e) {
  const int c = surf::boundaryCell(s);
  if (c == 0 || Ccellt[c] != 0) return false;
  e.cb = bottomOf(c);
  const int bed = Cbed[e.cb];
  if (bed < 1 || static_cast<std::size_t>(bed) >= Bkooi.size()) return false;
  e.i = Bkooi[bed];
  e.j = Bkooj[bed];
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (e.cb < k.cellstart || e.cb > k.cellend) continue;
    e.iLo = k.i1 - 1;
    e.iHi = k.i2;
    e.jLo = k.j1 - 1;
    e.jHi = k.j2;
    break;
  }
  // A column outside every block, or whose corners leave the plane, has no lines to set.
  return e.iLo <= e.i - 1 && e.i <= e.iHi && e.jLo <= e.j - 1 && e.j <= e.jHi &&
         onPlane(e.i, e.j) && onPlane(e.i - 1, e.j - 1);
}

// Calls f(s) for the listed surfaces of discharge group g.
template <class F>
void groupSurfaces(int g, F f) {
  if (g < 1 || g > 9) return;
  const DischargeGroup& d = DischargeStruct[g];
  const int n = surf::listedSurfaces(d);
  for (int e = 0; e < n; ++e) f(d.surfaceList[e]);
}

// F 187 2..99: the open sides of the outlet columns at zref, and the F lines inward from them
// at least at zref, no further than the block reaches.
void outletEdges(double zref, int F) {
  groupSurfaces(kSurf, [zref, F](int s) {
    EdgeColumn e;
    if (!edgeColumn(s, e)) return;
    const int i = e.i, j = e.j;
    if (Ccelle[e.cb] == 0) {
      setLevel(i, j - 1, zref);
      setLevel(i, j, zref);
      for (int l = i - 1; l >= std::max(i - F, e.iLo); --l) {
        raiseTo(l, j - 1, zref);
        raiseTo(l, j, zref);
      }
    }
    if (Ccellw[e.cb] == 0) {
      setLevel(i - 1, j - 1, zref);
      setLevel(i - 1, j, zref);
      for (int l = i; l <= std::min(i + F - 1, e.iHi); ++l) {
        raiseTo(l, j - 1, zref);
        raiseTo(l, j, zref);
      }
    }
    if (Ccelln[e.cb] == 0) {
      setLevel(i - 1, j, zref);
      setLevel(i, j, zref);
      for (int l = j - 1; l >= std::max(j - F, e.jLo); --l) {
        raiseTo(i - 1, l, zref);
        raiseTo(i, l, zref);
      }
    }
    if (Ccells[e.cb] == 0) {
      setLevel(i - 1, j - 1, zref);
      setLevel(i, j - 1, zref);
      for (int l = j; l <= std::min(j + F - 1, e.jHi); ++l) {
        raiseTo(i - 1, l, zref);
        raiseTo(i, l, zref);
      }
    }
  });
}

// F 187 100 and 101: at an outlet column without an east neighbour the east points take zref
// and the four lines upstream are blended toward it, the more the lower the column's j. The
// weight stays within 0..1: beyond, the blend would push the levels away from zref.
void outletBlend(double zref, bool fromLine5) {
  groupSurfaces(kSurf, [zref, fromLine5](int s) {
    EdgeColumn e;
    if (!edgeColumn(s, e) || Ccelle[e.cb] != 0) return;
    const int i = e.i, j = e.j;
    const double w = std::clamp((0.2 * j) * (0.2 * j), 0.0, 1.0);
    setLevel(i, j, zref);
    setLevel(i, j - 1, zref);
    const int source = std::max(i - 5, e.iLo);
    for (int l = i - 1; l >= std::max(i - 4, e.iLo); --l) {
      const int from = fromLine5 ? source : l;
      setLevel(l, j, w * Z(from, j) + (1 - w) * zref);
      setLevel(l, j - 1, w * Z(from, j - 1) + (1 - w) * zref);
    }
  });
}

// F 187 -1: an open side of an inflow column between two neighbours is kept wet.
void wetInflowEdge() {
  const DischargeGroup& g = DischargeStruct[1];
  if (g.inflowFlag != 1 || g.surfaceNo <= 0) return;
  const auto lift = [](int i, int j) { raiseTo(i, j, zval[i][j][1] + 1.0001 * MinVertDist0); };
  groupSurfaces(1, [&lift](int s) {
    EdgeColumn e;
    if (!edgeColumn(s, e)) return;
    const int i = e.i, j = e.j, cb = e.cb;
    const bool alongI = Ccelln[cb] != 0 && Ccells[cb] != 0;
    const bool alongJ = Ccelle[cb] != 0 && Ccellw[cb] != 0;
    if (Ccelle[cb] == 0 && alongI) lift(i, j - 1), lift(i, j);
    if (Ccellw[cb] == 0 && alongI) lift(i - 1, j - 1), lift(i - 1, j);
    if (Ccelln[cb] == 0 && alongJ) lift(i - 1, j), lift(i, j);
    if (Ccells[cb] == 0 && alongJ) lift(i - 1, j - 1), lift(i, j - 1);
  });
}

// Sides of a column in the order the corrections take them.
enum Side { West, South, East, North };

struct SideFace {
  int di, dj;           // neighbour column
  int i0, j0, i1, j1;   // its two grid points, relative to (i, j)
  bool outward;         // the face normal points out of the column
};

constexpr SideFace kSides[] = {
    {-1, 0, -1, -1, -1, 0, false},
    {0, -1, -1, -1, 0, -1, false},
    {1, 0, 0, -1, 0, 0, true},
    {0, 1, -1, 0, 0, 0, true},
};

int faceOf(int c, Side s) {
  switch (s) {
    case West: return Cflatew[c];
    case South: return Cflates[c];
    case East: return Cflatee[c];
    default: return Cflaten[c];
  }
}

// Calls f(i, j) for the columns of the worked blocks that are not on a block's border.
template <class F>
void interiorColumns(F f) {
  for (int b = 1; b <= NoBlocks; ++b) {
    if (!surf::levelsMove(b)) continue;
    const GridBlock& k = block[b];
    for (int i = k.i1 + 1; i <= k.i2 - 1; ++i)
      for (int j = k.j1 + 1; j <= k.j2 - 1; ++j) f(i, j);
  }
}

double columnDepth(int bottom) {
  double h = 0;
  upColumn(bottom, [&h](int c) { h += Ckdist[c]; });
  return 2 * h;
}

// F 229 1: where the flow leaves a column toward a dry one, the side's levels are raised
// toward the level that the Manning friction over the half cell asks below the centre.
void frictionEdges() {
  interiorColumns([](int i, int j) {
    const int bottom = columnBottom(i, j);
    if (bottom == 0) return;
    const int t = topOf(bottom);
    const double u = Cxvel[t], v = Cyvel[t];
    const double q = std::sqrt(u * u + v * v), r = 1 / (q + 1e-20);
    const double Zc = topFace(t), h = columnDepth(bottom);
    for (int s = West; s <= North; ++s) {
      const SideFace& f = kSides[s];
      if (columnBottom(i + f.di, j + f.dj) != 0) continue;
      const int face = faceOf(t, static_cast<Side>(s));
      const double un = (u * Fvx[face] + v * Fvy[face]) * r;
      if (f.outward ? !(un > 0.5) : !(un < -0.5)) continue;
      const double D = s == West || s == East ? Cidist[t] : Cjdist[t];
      const double g = std::pow(h, 0.666667) * ManningInit * r + 1e-20;
      const double target = Zc - D / (g * g);
      double a = std::fabs(un);
      const double courant = TimeStep * q / D;
      if (courant <= 1) a *= courant;
      for (const auto& [pi, pj] : {std::pair{i + f.i0, j + f.j0}, std::pair{i + f.i1, j + f.j1}})
        setLevel(pi, pj, Z(pi, pj) + a * std::max(0.0, target - Z(pi, pj)));
    }
  });
}

double deepestCorner(int i, int j) {
  double d = -1e300;
  for (int a = i - 1; a <= i; ++a)
    for (int b = j - 1; b <= j; ++b) d = std::max(d, Z(a, b) - zval[a][b][1]);
  return d;
}

// F 229 2: a shallow fast column between two dry ones, flowing across the line they form, is
// lifted above the dry depth so that it does not fall dry. A column lifted by the first test
// is not lifted again by the second.
void shallowChannels() {
  interiorColumns([](int i, int j) {
    const int c = columnBottom(i, j);
    if (c == 0 || Cbed[c] < 1 || !(BFroude[Cbed[c]] > 0.1)) return;
    const double u = Cxvel[c], v = Cyvel[c];
    const double speed = std::sqrt(u * u + v * v + 1e-20);
    const auto across = [&](int f1, int f2) {
      const double nx = Fvx[f1] + Fvx[f2], ny = Fvy[f1] + Fvy[f2];
      return (u * nx + v * ny) / speed > 0.5;
    };
    const auto lift = [&] {
      const double d = deepestCorner(i, j);
      if (!(d < MinVertDist0)) return;
      const double rise = MinVertDist0 - d + 0.00001;
      for (int a = i - 1; a <= i; ++a)
        for (int b = j - 1; b <= j; ++b) setLevel(a, b, Z(a, b) + rise);
    };
    if (columnBottom(i, j + 1) == 0 && columnBottom(i, j - 1) == 0 &&
        across(Cflaten[c], Cflates[c]))
      lift();
    if (columnBottom(i + 1, j) == 0 && columnBottom(i - 1, j) == 0 &&
        across(Cflatee[c], Cflatew[c]))
      lift();
  });
}

}  // namespace

void surfaceEdge(double zref) {
  const int F = FlagSurfEdge;
  if (F == 1) {
    flatEdges();
  } else if (F >= 2 && F <= 99) {
    if (kSurf > 0 && Bkooi) outletEdges(zref, F);
  } else if (F == 100 || F == 101) {
    if (kSurf > 0 && Bkooi) outletBlend(zref, F == 101);
  } else if (F == -1) {
    if (Bkooi) wetInflowEdge();
  }
}

void surfacePreventDiv() {
  if (FlagPreventDiv == 1) frictionEdges();
  if (FlagPreventDiv == 2) shallowChannels();
}

}  // namespace qorva
