// Corrections of the face mass fluxes, the velocities or the u equation that keep the
// discharge through the cross-sections of block 1 near the inflow (F 360, F 413), and that tame
// the fluxes of wedge cells (F 235 8..23) and of the corner columns at the edge of the wet area
// (F 436).
// Reads block[1], zval, the cell topology, Farea, Ctrekant, DischargeStruct[1] and the options;
// writes Fflux, Cxvel, Csource.
#include <algorithm>
#include <cmath>
#include <vector>

#include "discretisation/discretisation.h"
#include "flow/flow.h"
#include "grid/columns.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// Ratios whose denominator is smaller than this (kg/s) are not formed: the section or cell
// carries no flow to scale.
constexpr double kTinyFlux = 1e-20;

// Calls body(c, level) for every cell of the cross-section at grid line i of block 1, column by
// column upward from the bottom cell (level 1).
template <class Body>
void forEachSectionCell(int i, Body&& body) {
  const GridBlock& k = block[1];
  for (int j = k.j1; j <= k.j2; ++j) {
    int level = 1;
    upColumn(columnBottom(i, j), [&](int c) { body(c, level++); });
  }
}

// The discharge of cross-section i: the sum of the fluxes through its cells' east surfaces.
double sectionDischarge(int i) {
  double q = 0;
  forEachSectionCell(i, [&q](int c, int) { q += Fflux[Cflatee[c]]; });
  return q;
}

double inflowDischarge() { return DischargeStruct[1].massDischarge; }

void scaleEast(int i, double factor) {
  forEachSectionCell(i, [factor](int c, int) {
    if (Cflatee[c] > 0) Fflux[Cflatee[c]] *= factor;
  });
}

void scaleWest(int i, double factor) {
  forEachSectionCell(i, [factor](int c, int) {
    if (Cflatew[c] > 0) Fflux[Cflatew[c]] *= factor;
  });
}

// Mode 1: a section whose discharge lies outside [Q1 / V, Q1 V] is scaled by the limit V, so
// that repeated calls bring it to the edge of the band.
void limitSection(int i, double V, double Q1) {
  const double Q = sectionDischarge(i);
  if (std::fabs(Q) < kTinyFlux) return;  // no flux to scale
  const double R = Q1 / Q;
  if (R > V)
    scaleEast(i, V);
  else if (R < 1 / V)
    scaleEast(i, 1 / V);
}

// Vertical over horizontal flux of a cell; infinite where the cell has no horizontal flux but
// a vertical one, and 0 where it has neither.
double verticalRatio(int c) {
  const double v = std::fabs(Fflux[Cflatet[c]] + Fflux[Cflateb[c]]);
  const double h = std::fabs(Fflux[Cflatee[c]] + Fflux[Cflatew[c]]);
  if (h < kTinyFlux) return v > 0 ? HUGE_VAL : 0.0;
  return v / h;
}

// Mode 2: a cell whose vertical flux exceeds V times its horizontal flux has its top and bottom
// fluxes cut towards that ratio, to 1 % at the least.
void limitVertical(int c, double V) {
  const double R = verticalRatio(c);
  if (!(R > V)) return;
  const double f = std::max(0.01, V / R);
  if (Cflatet[c] > 0) Fflux[Cflatet[c]] *= f;
  if (Cflateb[c] > 0) Fflux[Cflateb[c]] *= f;
}

// Mode 3: the east and west fluxes of a section brought towards each other.
void balanceSection(int i, double V) {
  double E = 0, W = 0;
  forEachSectionCell(i, [&](int c, int) {
    E += Fflux[Cflatee[c]];
    W += Fflux[Cflatew[c]];
  });
  if (std::fabs(E) >= kTinyFlux && W / E > V) scaleEast(i, W / E);
  if (std::fabs(W) >= kTinyFlux && E / W > V) scaleWest(i, E / W);
}

// Mode 4: from the 12th cell of a column upward, at least V m/s eastward.
void minimumEastward(int c, int level, double V) {
  if (level < 12) return;
  const int f = Cflatee[c];
  if (f > 0) Fflux[f] = std::max(Fflux[f], V * 1000 * Farea[f]);
  Cxvel[c] = std::max(Cxvel[c], V);
}

// Mode 5: a cell whose vertical flux exceeds V times its horizontal flux has its east and west
// fluxes raised by the excess of the ratio.
void raiseHorizontal(int c, double V) {
  const double h = std::fabs(Fflux[Cflatew[c]] + Fflux[Cflatee[c]]);
  if (h < kTinyFlux) return;
  const double R = std::fabs(Fflux[Cflateb[c]] + Fflux[Cflatet[c]]) / h;
  if (!(R > V)) return;
  const double f = R - V + 1;
  if (Cflatee[c] > 0) Fflux[Cflatee[c]] *= f;
  if (Cflatew[c] > 0) Fflux[Cflatew[c]] *= f;
}

}  // namespace

void fluxCorrFunction(int iFirst, int iEnd) {
  if (NoBlocks < 1) return;
  const double V = FluxCorrVal;
  const double Q1 = inflowDischarge();
  switch (FlagFluxCorr) {
    case 1:
      for (int i = iFirst; i < iEnd; ++i) limitSection(i, V, Q1);
      break;
    case 2:
      for (int i = iFirst; i < iEnd; ++i) forEachSectionCell(i, [V](int c, int) { limitVertical(c, V); });
      break;
    case 3:
      for (int i = iFirst + 1; i < iEnd - 1; ++i) balanceSection(i, V);
      break;
    case 4:
      for (int i = iFirst; i < iEnd; ++i)
        forEachSectionCell(i, [V](int c, int level) { minimumEastward(c, level, V); });
      break;
    case 5:
      for (int i = iFirst; i < iEnd; ++i) forEachSectionCell(i, [V](int c, int) { raiseHorizontal(c, V); });
      break;
    default: break;
  }
}

void correctContinuity2() {
  if (NoBlocks < 1 || (Equation != 1 && Equation != 4)) return;
  const double Q1 = inflowDischarge();
  const GridBlock& k = block[1];
  for (int i = k.i1; i <= std::min(surfaceDampSec, k.i2); ++i) {
    const double Q = sectionDischarge(i);
    if (Equation == 1) {
      // The u equation only ever raises a section's discharge, and at most threefold.
      const double R = std::clamp(Q1 / (Q + 1e-20), 1.0, 3.0);
      forEachSectionCell(i, [R](int c, int) { Csource[c] += Cap[c] * (R - 1); });
    } else if (std::fabs(Q) >= kTinyFlux) {
      // A section without discharge has no velocities to scale to Q1.
      const double R = Q1 / Q;
      forEachSectionCell(i, [R](int c, int) { Cxvel[c] *= R; });
    }
  }
}

// ---------------------------------------------------------------- wedge cells

namespace {

struct Relax {
  double r;
  // Surface f relaxed towards +m (sign 1) or -m (sign -1), from its value before the update.
  void toward(int f, double m, int sign) const {
    if (f <= 0) return;  // no surface there: nothing to relax
    Fflux[f] = (1 - r) * Fflux[f] + sign * r * m;
  }
};

double F(int f) { return Fflux[f]; }

// The two sides of the cell that carry the flow (codes 1..4).
void firstPass(int c, const Relax& x) {
  const int e = Cflatee[c], w = Cflatew[c], n = Cflaten[c], s = Cflates[c];
  switch (Ctrekant[c]) {
    case 1: {
      const double m = (F(n) - F(e)) / 2;
      x.toward(n, m, 1);
      x.toward(e, m, -1);
      break;
    }
    case 2: {
      const double m = (F(n) + F(w)) / 2;
      x.toward(n, m, 1);
      x.toward(w, m, 1);
      break;
    }
    case 3: {
      const double m = (F(s) - F(w)) / 2;
      x.toward(s, m, 1);
      x.toward(w, m, -1);
      break;
    }
    case 4: {
      const double m = (F(s) + F(e)) / 2;
      x.toward(s, m, 1);
      x.toward(e, m, 1);
      break;
    }
    default: break;
  }
}

// Configurations that involve a neighbour's surface (codes 5 to 22).
void secondPass(int c, const Relax& x) {
  const int e = Cflatee[c], w = Cflatew[c], n = Cflaten[c], s = Cflates[c];
  const int E = Ccelle[c], W = Ccellw[c], N = Ccelln[c], S = Ccells[c];
  const int nE = Cflaten[E], wN = Cflatew[N], sW = Cflates[W], eS = Cflatee[S];
  const int eN = Cflatee[N], nW = Cflaten[W], wS = Cflatew[S], sE = Cflates[E];
  auto apply = [&x](double m, std::initializer_list<int> plus, std::initializer_list<int> minus) {
    for (int f : plus) x.toward(f, m, 1);
    for (int f : minus) x.toward(f, m, -1);
  };
  switch (Ctrekant[c]) {
    case 5: apply(0.3333 * (F(n) - F(e) - F(nE)), {n}, {e, nE}); break;
    case 7: apply(0.3333 * (F(n) + F(w) - F(wN)), {w, n}, {wN}); break;
    case 9: apply(0.3333 * (F(s) - F(w) - F(sW)), {s}, {w, sW}); break;
    case 11: apply(0.3333 * (F(s) + F(e) - F(eS)), {e, s}, {eS}); break;
    case 13: apply(0.5 * (F(eN) - F(nE)), {eN, n}, {nE, e}); break;
    case 16: apply(0.5 * (F(nW) + F(wN)), {nW, wN}, {n, w}); break;
    case 19: apply(0.5 * (F(wS) - F(sW)), {wS, s}, {sW, w}); break;
    case 22: apply(0.5 * (F(sE) + F(eS)), {sE, eS}, {e, s}); break;
    default: break;
  }
}

// Sums over a column of the fluxes and areas of one side.
struct SideSums {
  double flux = 0, area = 0;
};

SideSums sideSums(int c0, const Table1<int>& side) {
  SideSums s;
  upColumn(c0, [&](int c) {
    const int f = side[c];
    if (f <= 0) return;
    s.flux += Fflux[f];
    s.area += Farea[f];
  });
  return s;
}

// Every cell's surface on this side set to 0.1 F + sign m A / (the column's area on the side).
void spread(int c0, const Table1<int>& side, const SideSums& sums, double m, int sign) {
  if (!(sums.area > 0)) return;
  upColumn(c0, [&](int c) {
    const int f = side[c];
    if (f > 0) Fflux[f] = 0.1 * Fflux[f] + sign * m * Farea[f] / sums.area;
  });
}

// A corner column open on sides a and b passes 90 % of the mean of their column fluxes from
// one to the other.
void cornerColumn(int c, const Table1<int>& a, int signA, const Table1<int>& b, int signB) {
  const SideSums sa = sideSums(c, a), sb = sideSums(c, b);
  const double m = 0.9 * (sb.flux + signA * signB * sa.flux) / 2;
  spread(c, a, sa, m, signA);
  spread(c, b, sb, m, signB);
}

}  // namespace

void TrekantFluxCorr(int firstCell, int lastCell) {
  if (!Ctrekant) return;
  const Relax x{relaxTrekant2};
  for (int c = firstCell; c <= lastCell; ++c) firstPass(c, x);
  if (FlagCorrTrekant > 8 && FlagRapSolver < 20)
    for (int c = firstCell; c <= lastCell; ++c) secondPass(c, x);
}

void TrekantFluxCorr4(int, int) {
  if (NoBlocks < 1) return;
  const GridBlock& k = block[1];
  for (int i = k.i1 + 1; i < k.i2; ++i)
    for (int j = k.j1 + 1; j < k.j2; ++j) {
      const int c = columnBottom(i, j);
      if (c <= 0) continue;
      // Open west and north: m = 0.9 (Sn + Sw) / 2.
      if (Ccelle[c] == 0 && Ccells[c] == 0) cornerColumn(c, Cflatew, 1, Cflaten, 1);
      // Open east and north: m = 0.9 (Sn - Se) / 2.
      if (Ccellw[c] == 0 && Ccells[c] == 0) cornerColumn(c, Cflatee, -1, Cflaten, 1);
      // Open west and south: m = 0.9 (Ss - Sw) / 2.
      if (Ccelle[c] == 0 && Ccelln[c] == 0) cornerColumn(c, Cflatew, -1, Cflates, 1);
      // Open east and south: m = 0.9 (Ss + Se) / 2.
      if (Ccellw[c] == 0 && Ccelln[c] == 0) cornerColumn(c, Cflatee, 1, Cflates, 1);
    }
}

}  // namespace qorva
