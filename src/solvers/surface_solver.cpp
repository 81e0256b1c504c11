// The solver of the two-dimensional water-level equation, one unknown per water column at its
// bottom cell: the sweep orders and stopping rules of the modes, the multigrid pre-cycles on
// the levels of AlgMGMake, the line accelerators of the semi-implicit algorithm, and the lower
// limits of the result. Reads Cap, Cae..Cas, Caee..Cass (nine-point), Csource, the neighbour
// arrays, the block table, zval[..][..][0], Cbed, BLevFroude, Bminlevdh and the options of
// F 239, F 345, F 168, F 343, F 486, F 468, F 369, F 371, G 26; writes Cf, Cpt, Cqt and the
// equations of the level cells.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "grid/columns.h"
#include "solvers/levels.h"
#include "solvers/solvers.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "surface/surface.h"

namespace qorva {

namespace {

constexpr double kPinned = 1e15;

bool takesPart(int b) { return block[b].skip == 0 && SurfUpdate[b] == 1; }

// (Caw f[w] + Cae f[e] + Cas f[s] + Can f[n] + Csource) / Cap of column cell c.
double fivePoint(int c) {
  return (Caw[c] * Cf[Ccellw[c]] + Cae[c] * Cf[Ccelle[c]] + Cas[c] * Cf[Ccells[c]] +
          Can[c] * Cf[Ccelln[c]] + Csource[c]) /
         Cap[c];
}

// The corner column reached by two lateral steps: first a then b, or b then a when the first
// path has no cell.
int corner(const Table1<int>& first, const Table1<int>& second, int a, int b) {
  const int x = first[a];
  return x != 0 ? x : second[b];
}

// The nine-point form, the corner coefficients in Caee (north-east), Cass (south-east), Cann
// (north-west) and Caww (south-west).
double ninePoint(int c) {
  const int n = Ccelln[c], s = Ccells[c], e = Ccelle[c], w = Ccellw[c];
  const int ne = corner(Ccelle, Ccelln, n, e), se = corner(Ccelle, Ccells, s, e);
  const int nw = corner(Ccellw, Ccelln, n, w), sw = corner(Ccellw, Ccells, s, w);
  return (Cae[c] * Cf[e] + Caw[c] * Cf[w] + Can[c] * Cf[n] + Cas[c] * Cf[s] +
          Caee[c] * Cf[ne] + Cass[c] * Cf[se] + Cann[c] * Cf[nw] + Caww[c] * Cf[sw] +
          Csource[c]) /
         Cap[c];
}

// The Froude-limited level (F 351) as a floor of the level of column cell c.
double froudeFloor(int c, double v) { return std::max(v, BLevFroude[Cbed[c]]); }

void needNinePoint() {
  if (!Caee || !Caww || !Cann || !Cass)
    failf(1, "%s",
          "Error: the nine-point water-level equation has no corner coefficients: they were "
          "not allocated for these settings\n");
}

void needFroude() {
  if (!BLevFroude || !Cbed)
    failf(1, "%s",
          "Error: the Froude limit of the water level (F 351) has no level array: it was not "
          "allocated for these settings\n");
}

// One structured pass over the columns of every taking-part block, i and j ascending or
// descending, updating each wet column.
template <class Update>
void structuredPass(bool iUp, bool jUp, Update update) {
  for (int b = 1; b <= NoBlocks; ++b) {
    if (!takesPart(b)) continue;
    const GridBlock& k = block[b];
    for (int ii = 0; ii <= k.i2 - k.i1; ++ii) {
      const int i = iUp ? k.i1 + ii : k.i2 - ii;
      for (int jj = 0; jj <= k.j2 - k.j1; ++jj) {
        const int j = jUp ? k.j1 + jj : k.j2 - jj;
        const int c = columnBottom(i, j);
        if (c > 0) update(c);
      }
    }
  }
}

// Modes 8 and 83: four passes per iteration in the four orders.
void nineSweeps(bool froude) {
  needNinePoint();
  if (froude) needFroude();
  auto update = [froude](int c) {
    const double v = ninePoint(c);
    Cf[c] = froude ? froudeFloor(c, v) : v;
  };
  for (int it = 0; it < iterSurfSolv1; ++it) {
    structuredPass(true, true, update);
    structuredPass(true, false, update);
    structuredPass(false, true, update);
    structuredPass(false, false, update);
  }
}

// Mode 42: three iterations; per block i from i2 down to i1, each i with j up, then j down.
void lineOrderSweeps() {
  for (int it = 0; it < 3; ++it)
    for (int b = 1; b <= NoBlocks; ++b) {
      if (!takesPart(b)) continue;
      const GridBlock& k = block[b];
      for (int i = k.i2; i >= k.i1; --i) {
        for (int j = k.j1; j <= k.j2; ++j)
          if (const int c = columnBottom(i, j); c > 0) Cf[c] = fivePoint(c);
        for (int j = k.j2; j >= k.j1; --j)
          if (const int c = columnBottom(i, j); c > 0) Cf[c] = fivePoint(c);
      }
    }
}

// Modes 4 and 43: forward and backward passes over the bottom cells of the taking-part blocks
// in cell order, until the backward pass changes the levels by less than F 345 on average.
void cellOrderSweeps(bool froude) {
  if (froude) needFroude();
  for (int it = 0; it < iterSurfSolv2; ++it) {
    for (int b = 1; b <= NoBlocks; ++b) {
      if (!takesPart(b)) continue;
      for (int c = block[b].cellstart; c <= block[b].cellend; ++c) {
        if (c <= 0 || Ccellb[c] != 0) continue;
        const double v = fivePoint(c);
        Cf[c] = froude ? froudeFloor(c, v) : v;
      }
    }
    double change = 0;
    int count = 0;
    for (int b = 1; b <= NoBlocks; ++b) {
      if (!takesPart(b)) continue;
      for (int c = block[b].cellend; c >= block[b].cellstart; --c) {
        if (c <= 0 || Ccellb[c] != 0) continue;
        const double old = Cf[c];
        const double v = fivePoint(c);
        Cf[c] = froude ? froudeFloor(c, v) : v;
        change += std::fabs(Cf[c] - old);
        ++count;
      }
    }
    if (residualCasulli > change / (count + 1e-15)) break;
  }
}

// F 371: no level of block 1 below the level that keeps the grid from splitting.
void gridSplitFloor() {
  if (FlagNoGridSplit < 1 || NoBlocks < 1) return;
  if (!Bminlevdh || !Cbed)
    failf(1, "%s",
          "Error: the grid-split limit of the water level (F 371) has no level array: it was "
          "not allocated for these settings\n");
  const GridBlock& k = block[1];
  for (int i = k.i1; i <= k.i2; ++i)
    for (int j = k.j1; j <= k.j2; ++j)
      if (const int c = columnBottom(i, j); c > 0) Cf[c] = std::max(Cf[c], Bminlevdh[Cbed[c]]);
}

// ---- Multigrid pre-cycles ----

int cells(const levels::Level& v) { return v.last - v.first + 1; }

// The levels the pre-cycle uses, 1..Lmax - 1: no more than F 168 asks for, and without the
// coarsest one or two when they hold fewer than 10 cells. 0 when the levels are missing.
int usableLevels() {
  if (!levels::built()) {
    levels::noteMissing("the multigrid pre-cycle of the water-level solver");
    return 0;
  }
  int lmax = std::min(NoMGlevels, Flag2DAccSolver);
  if (lmax - 1 >= 1 && cells(levels::level(lmax - 1)) < 10) {
    if (lmax - 2 >= 1 && cells(levels::level(lmax - 2)) < 10)
      lmax -= 2;
    else
      lmax -= 1;
  }
  return lmax;
}

// Couplings between the children of coarse cell c, inside its group.
double innerCouplings(int sw, int nw, int ne, int se) {
  return Caw[se] + Caw[ne] + Can[sw] + Can[se] + Cae[sw] + Cae[nw] + Cas[nw] + Cas[ne];
}

// The level-1 cells take the equations of their columns' bottom cells; `casulli` also their
// values, and a pinned column keeps only its couplings.
void columnEquations(bool casulli) {
  const levels::Level one = levels::level(1);
  for (int c = one.first; c <= one.last; ++c) {
    const int b = MGSCpoint[c][1];
    Cae[c] = Cae[b];
    Caw[c] = Caw[b];
    Can[c] = Can[b];
    Cas[c] = Cas[b];
    Csource[c] = Csource[b];
    Cap[c] = Cap[b];
    Cf[c] = 0;
    if (casulli) {
      Cf[c] = Cf[b];
      if (Cap[b] > kPinned) {
        Csource[c] = 0;
        Cap[c] = Caw[c] + Cae[c] + Can[c] + Cas[c];
      }
    }
  }
}

// The coarse levels 2..lmax - 1 from their children: sources and central coefficients summed,
// less the couplings inside the group. The semi-implicit form (`casulli`): pinned children add
// no equation, the value is the mean of the children that have one, each coupling is half that
// of the two children on its side, half the outer couplings also leave the central
// coefficient, and on levels above F 468 the north and south couplings are dropped.
void coarseEquations(int lmax, bool casulli) {
  for (int L = 2; L <= lmax - 1; ++L) {
    const levels::Level v = levels::level(L);
    if (v.last <= 0 || v.first > v.last) continue;
    for (int c = v.first; c <= v.last; ++c) {
      const int sw = MGSCpoint[c][1], nw = MGSCpoint[c][2], ne = MGSCpoint[c][3],
                se = MGSCpoint[c][4];
      double su = 0, ap = 0, f = 0;
      int m = 0;
      for (int k : {sw, nw, ne, se}) {
        if (k <= 0) continue;
        if (!casulli || Cap[k] < kPinned) {
          su += Csource[k];
          ap += Cap[k];
        }
        if (casulli && Cap[k] > 1e-14) {
          f += Cf[k];
          ++m;
        }
      }
      const double inner = innerCouplings(sw, nw, ne, se);
      const double outer = casulli ? 0.5 * (Caw[sw] + Cas[sw] + Can[nw] + Cae[ne] + Caw[nw] +
                                            Cas[se] + Can[ne] + Cae[se])
                                   : 0.0;
      levels::sumChildCouplings(c, casulli ? 0.5 : 1.0);
      Csource[c] = su;
      Cap[c] = std::max(ap - inner - outer, 1e-15);
      Cf[c] = m > 0 ? f / m : 0.0;
      if (casulli && L - 1 > NoCasulliMG) {
        Cap[c] -= Can[c];
        Can[c] = 0;
        Cap[c] -= Cas[c];
        Cas[c] = 0;
      }
    }
  }
}

// F 343 3: the level cell over the reference column is tied, on every level, to the fixed
// level of that column through an east coupling where it has none.
void tieToReference(int lmax) {
  if (iPres < 0 || jPres < 0 || iPres > xnumber + 1 || jPres > ynumber + 1) return;
  const int r = columnBottom(iPres, jPres);
  if (r <= 0) return;
  Cf[r] = Csource[r] / Cap[r];
  int c = r;
  for (int L = 1; L <= lmax - 1; ++L) {
    const GridBlock& rec = block[NoBlocks + L];
    if (rec.inwork != 0 || rec.cellend < 1) continue;
    c = c > 0 ? MGSCpoint[c][0] : 0;
    if (c > 0 && Caw[c] > 0 && Cae[c] < 1e-15) {
      Cae[c] = Caw[c];
      Cap[c] += Caw[c];
      Ccelle[c] = r;
    }
  }
}

void preCycle(bool casulli) {
  const int lmax = usableLevels();
  if (lmax < 2) return;
  levels::prepare();
  columnEquations(casulli);
  coarseEquations(lmax, casulli);
  if (casulli && BlockCasulli == 3) tieToReference(lmax);
  if (Flag2DAccSolver > 1 && lmax > 2) levels::smoothDown(lmax - 1, 6);
  const levels::Level one = levels::level(1);
  levels::smoothLevelOne(one.first, one.last, 1);
  for (int c = one.first; c <= one.last; ++c) Cf[MGSCpoint[c][1]] = Cf[c];
}

// ---- Line accelerators of block 1 ----

// Sums of the i-line of block 1 over its wet columns.
struct LineSums {
  double ae = 0, aw = 0, ap = 0, r = 0, v = 0;
  int wet = 0;
};

template <class Residual>
LineSums lineSums(const GridBlock& k, int i, Residual residual) {
  LineSums s;
  for (int j = k.j1; j <= k.j2; ++j) {
    const int c = columnBottom(i, j);
    if (c <= 0) continue;
    s.ae += Cae[c];
    s.aw += Caw[c];
    s.ap += Cap[c] - Can[c] - Cas[c];
    s.r += residual(c);
    s.v += Cf[c];
    ++s.wet;
  }
  return s;
}

void shiftLine(const GridBlock& k, int i, double d, bool set) {
  for (int j = k.j1; j <= k.j2; ++j)
    if (const int c = columnBottom(i, j); c > 0) Cf[c] = set ? d : Cf[c] + d;
}

// Symmetric line sweeps of V over positions lo..hi; a neighbour outside them counts as 0.
void lineSweeps(std::vector<double>& V, const std::vector<double>& AE,
                const std::vector<double>& AW, const std::vector<double>& AP,
                const std::vector<double>& R, int lo, int hi, int sweeps) {
  auto update = [&](int p) {
    const double east = p < hi ? V[p + 1] : 0.0, west = p > lo ? V[p - 1] : 0.0;
    V[p] = (AE[p] * east + AW[p] * west + R[p]) / (AP[p] + 1e-30);
  };
  for (int k = 0; k < sweeps; ++k) {
    for (int p = lo; p <= hi; ++p) update(p);
    for (int p = hi; p >= lo; --p) update(p);
  }
}

}  // namespace

void AlgMGSurf() { preCycle(false); }
void AlgMGSurfCasulli() { preCycle(true); }

void surfaceSolver(int mode) {
  switch (mode) {
    case 8:
    case 83:
      nineSweeps(mode == 83);
      break;
    case 42:
      lineOrderSweeps();
      break;
    case 4:
      if (FlagBugFind == 1) surfaceBugtrap(8);
      if (Flag2DAccSolver > 0 && BlockCasulli > 2) {
        if (FlagTFS == 9 && FlagMGSurf == 0)
          AlgMGSurfCasulli();
        else
          AlgMGSurf();
      }
      if (FlagBugFind == 1) surfaceBugtrap(9);
      cellOrderSweeps(false);
      break;
    case 43:
      if (Flag2DAccSolver > 0 && (iterSurfSolv2 <= 9 || BlockCasulli == 3)) AlgMGSurf();
      cellOrderSweeps(true);
      break;
    default:
      break;
  }
  gridSplitFloor();
}

void computeBlockCasulli() {
  if (NoBlocks < 1) return;
  if (!Cpt || !Cqt)
    failf(1, "%s",
          "Error: the line correction of F 343 2 has no work arrays: they were not allocated "
          "for these settings\n");
  const GridBlock& k = block[1];
  if (k.i1 > k.i2) return;
  auto residual = [](int c) {
    return Can[c] * Cf[Ccelln[c]] + Cas[c] * Cf[Ccells[c]] + Cae[c] * Cf[Ccelle[c]] +
           Caw[c] * Cf[Ccellw[c]] + Csource[c] - Cap[c] * Cf[c];
  };
  double p = 0, q = 0;
  for (int i = k.i1; i <= k.i2; ++i) {
    const LineSums s = lineSums(k, i, residual);
    const double d = s.ap - s.aw * p - 1e-30;
    q = (s.r + s.aw * q) / d;
    p = s.ae / d;
    Cpt[i] = p;
    Cqt[i] = q;
  }
  double d = 0;
  for (int i = k.i2; i >= k.i1; --i) {
    d = Cpt[i] * d + Cqt[i];
    shiftLine(k, i, d, false);
  }
}

void computeBlockCasulliMG() {
  if (NoBlocks < 1) return;
  const GridBlock& k = block[1];
  if (k.i1 > k.i2 || k.i1 < 0 || k.i2 > xnumber + 1) return;
  const std::size_t size = 3 * static_cast<std::size_t>(std::max(xnumber, 0)) + 6;
  std::vector<double> AE(size), AW(size), AP(size), R(size), V(size);
  for (int i = k.i1; i <= k.i2; ++i) {
    const LineSums s = lineSums(k, i, [](int c) { return Csource[c]; });
    AE[i] = s.ae;
    AW[i] = s.aw;
    AP[i] = s.ap;
    R[i] = s.r;
    V[i] = s.wet > 0 ? s.v / s.wet : 0.0;
  }
  // Line levels: level 0 the lines of the block, each further one half as many lines at the
  // positions after the last one; at most 10 coarse levels, and none after one of 3 lines or
  // fewer. A level without lines is not made.
  int lo[12], hi[12];
  lo[0] = k.i1;
  hi[0] = k.i2;
  int top = 0;
  while (top < 10) {
    const int n = (hi[top] - lo[top] + 1) / 2;
    if (n < 1) break;
    const int c0 = hi[top] + 1, c1 = c0 + n - 1;
    const int f0 = lo[top], f1 = hi[top];
    for (int x = 0; x <= f1 - f0; ++x) {
      const int f = f0 + x, p = std::min(c1, c0 + x / 2);
      R[p] += R[f];
      AP[p] += AP[f];
      if (x % 2 == 0) {
        AW[p] = 0.5 * AW[f];
        AP[p] -= AE[f] + 0.5 * AW[f];
        V[p] = V[f];
      } else {
        AE[p] = 0.5 * AE[f];
        AP[p] -= AW[f] + 0.5 * AE[f];
      }
    }
    if ((f1 - f0 + 1) % 2 == 0) AE[c1] = AE[f1];
    ++top;
    lo[top] = c0;
    hi[top] = c1;
    if (n <= 3) break;
  }
  for (int L = top; L >= 1; --L) {
    if (hi[L] - lo[L] + 1 < 3) continue;
    lineSweeps(V, AE, AW, AP, R, lo[L], hi[L], 2);
    for (int x = 0; x <= hi[L - 1] - lo[L - 1]; ++x)
      V[lo[L - 1] + x] = V[std::min(lo[L] + x / 2, hi[L])];
  }
  lineSweeps(V, AE, AW, AP, R, lo[0], hi[0], 2);
  for (int i = k.i1; i <= k.i2; ++i) shiftLine(k, i, V[i], true);
}

}  // namespace qorva
