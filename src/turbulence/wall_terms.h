// What the wall laws of this folder share: the constants of the frame, what a law uses of one
// cell, the tests of wall faces, the fixing of a value and the friction on the wall-parallel
// velocity. Included by the wall-law files of turbulence/ only.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

#include "grid/columns.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva::wall {

// Penalties that fix a value in a cell: epsilon, and k of the fixed-k law.
inline constexpr double kFixEps = 1e30;
inline constexpr double kFixK = 1e20;
// Viscous sublayer: u+ = y+ below this y+.
inline constexpr double kLaminarYPlus = 11.63;
// u+ of a law never falls below this, whatever MinUPlus, MinUPlusK or WallLimiterU say: a floor
// of 0 inside the roughness (y < ks / 30), or a WallLimiterU below 1/30, would give a u+ of 0
// or below, and the friction and the k production divide by it.
inline constexpr double kMinUPlus = 0.025;
// The laminar branches divide by y+; y+ comes from the floored k, which is 0 only when F 138
// allows a k of 0, and then the friction velocity above the division is 0 as well.
inline constexpr double kMinYPlus = 1e-20;
// Roughness heights below this count as this where a law divides by them: ln(30 y / ks) must
// stay finite.
inline constexpr double kMinRoughness = 1e-6;

struct Constants {
  double c75;    // Cmu^0.75
  double c75k;   // 1000 Cmu^0.75
  double s;      // 1000 sqrt(Cmu)
  double kappa;  // 0.4
  double l4;     // ln(30 WallLimiterU), the near-bed limiter of F 397 4
};

// The constants of the frame: Cmu is 0.0845 under the turbulence model of F 24 1, else 0.09.
inline Constants frameConstants() {
  const double cmu = TurbulenceModel == 1 ? 0.0845 : 0.09;
  Constants K;
  K.c75 = std::pow(cmu, 0.75);
  K.c75k = 1000 * K.c75;
  K.s = 1000 * std::sqrt(cmu);
  K.kappa = 0.4;
  K.l4 = std::log(30 * WallLimiterU);
  return K;
}

// What the laws use of one cell.
struct CellFlow {
  int c;
  double kk;  // k floored at ArtMinKinen
  double u, v, w;
  double u2;   // u^2 + v^2 + w^2
  double uS;   // sqrt(1000) u* = sqrt(S kk)
  double yp1;  // y+ per metre of wall distance, from the floored k (viscosity 1e-6 m2/s)
  double yplus(double y) const { return yp1 * y; }
  double k15() const { return kk * std::sqrt(kk); }  // kk^1.5
  double ustar() const { return uS / std::sqrt(1000.0); }
};

inline CellFlow cellFlow(double s, int c) {
  CellFlow f;
  f.c = c;
  f.kk = std::max(Ckinen[c], ArtMinKinen);
  f.u = Cxvel[c];
  f.v = Cyvel[c];
  f.w = Czvel[c];
  f.u2 = f.u * f.u + f.v * f.v + f.w * f.w;
  f.uS = std::sqrt(s * f.kk);
  f.yp1 = std::sqrt(s * f.kk * 0.001) * 1e6;
  return f;
}

inline bool isWall(int f) { return f > 0 && Fflagflow[f] == -1; }

inline bool isWallCell(int c) {
  return isWall(Cflatee[c]) || isWall(Cflatew[c]) || isWall(Cflates[c]) ||
         isWall(Cflaten[c]) || isWall(Cflatet[c]) || isWall(Cflateb[c]);
}

// The wall pairs of a cell: a pair counts once when one or both of its faces are walls.
struct Pairs {
  bool ew, ns, tb;
  bool any() const { return ew || ns || tb; }
};
inline Pairs wallPairs(int c) {
  return {isWall(Cflatee[c]) || isWall(Cflatew[c]), isWall(Cflaten[c]) || isWall(Cflates[c]),
          isWall(Cflatet[c]) || isWall(Cflateb[c])};
}

inline void clearWallCells(int first, int last) {
  for (int c = first; c <= last; ++c)
    if (isWallCell(c)) Cap[c] = Csource[c] = 0;
}

inline double capped(double d) { return std::min(d, 1000.0); }

inline double roughness(int c) { return std::max(Croughness[c], kMinRoughness); }

// Sediment concentration of the cell (row 0 of Cconc; 0 while nothing fills it).
inline double concentration(int c) { return Cconc ? Cconc[0][c] : 0.0; }

inline void fix(int c, double penalty, double value) {
  Cap[c] += penalty;
  Csource[c] += penalty * value;
}

// The along-wall pressure gradient |p1 - p2| / (4 d) between the two along-wall neighbours;
// false (and G = 0) unless both exist.
inline bool alongWallGradient(int n1, int n2, double d, double& G) {
  G = 0;
  if (n1 <= 0 || n2 <= 0) return false;
  G = std::fabs(Cpres[n1] - Cpres[n2]) / (4 * d);
  return true;
}

// num / den of the pressure-gradient parameter P; a friction velocity of 0 (a k of 0) makes
// P infinite when there is a gradient at all.
inline double gradientP(double num, double den) {
  if (den > 0) return num / den;
  return num > 0 ? std::numeric_limits<double>::infinity() : 0.0;
}

// Von Karman coefficient under an adverse pressure gradient, 0.4 without it, 0.6 at most.
inline double gradientKappa(double P) {
  return std::isinf(P) ? 0.6 : (0.6 * P + 0.4) / (P + 1);
}
// Its inverse as the k law takes it: 2.5 without a gradient, 1 / 0.6 at most.
inline double gradientKInverse(double P) {
  return std::isinf(P) ? 1 / 0.6 : (1 + P) / (0.6 * P + 0.4);
}

// Component of the face normal along the velocity being solved.
inline double normalOfEquation(int f) {
  switch (Equation) {
    case 1: return Fvx[f];
    case 2: return Fvy[f];
    case 3: return Fvz[f];
    default: return 0.0;
  }
}
// The same at a side wall, where only the horizontal part of the normal enters and w is
// retarded in full.
inline double sideNormalOfEquation(int f) {
  return Equation == 1 ? Fvx[f] : Equation == 2 ? Fvy[f] : 0.0;
}

// Friction cw on the wall-parallel part of the velocity: the compensating source puts the
// normal part back.
inline void addFriction(const CellFlow& cf, int f, double cw, double neq, bool horizontalOnly) {
  const double un = horizontalOnly ? Fvx[f] * cf.u + Fvy[f] * cf.v
                                   : Fvx[f] * cf.u + Fvy[f] * cf.v + Fvz[f] * cf.w;
  Cap[cf.c] += cw;
  Csource[cf.c] += cw * neq * un;
}

// The k terms of one wall pair: dissipation C75k sqrt(kk) u+ / y V and production
// cp U^2 / y V.
inline void addKTerms(double c75k, const CellFlow& cf, double uplus, double cp, double y) {
  const int c = cf.c;
  Cap[c] += c75k * std::sqrt(cf.kk) * uplus / y * Cvol[c];
  Csource[c] += cp * cf.u2 / y * Cvol[c];
}

// The k terms of a side-wall pair at distance y under the along-wall pressure gradient of
// F 273 between the neighbours n1 and n2 (half size `along` apart): the inverse von Karman
// coefficient is 2.5, or larger under F 273 4, and `uplusOf(kinv, yplus)` gives u+ with it;
// F 273 1 raises the production by G y.
template <class UPlus>
void sideWallK(double c75k, const CellFlow& cf, double y, int n1, int n2, double along,
               UPlus uplusOf) {
  double G = 0;
  const bool both = alongWallGradient(n1, n2, along, G);
  double kinv = 2.5;
  if (FlagGENMIX == 4 && both)
    kinv = gradientKInverse(gradientP(G * 3.16228e-05, cf.uS * cf.uS * cf.uS));
  const double uplus = uplusOf(kinv, cf.yplus(y));
  double cp = 31.62 * cf.uS / uplus;
  if (FlagGENMIX == 1 && both) cp += G * y;
  addKTerms(c75k, cf, uplus, cp, y);
}

// Water depth at the column of a top cell: twice the half heights of it and all cells below.
inline double depthBelow(int c) {
  double h = Ckdist[c];
  downColumn(cellBelow(c), [&h](int b) { h += Ckdist[b]; });
  return 2 * h;
}

// The free-surface epsilon kk^1.5 / (SurfEpsCoeff h) of a top cell (F 185 1), h the water depth.
inline void surfaceDepthEpsilon(const CellFlow& cf) {
  if (Ccellt[cf.c] != 0) return;
  fix(cf.c, kFixEps, cf.k15() / (SurfEpsCoeff * depthBelow(cf.c) + 1e-20));
}

// The wall epsilon of the k-omega model 16: kk^1.5 / (0.4 x 0.09^0.25 y) at each wall pair,
// bed and roof first with the concentration factor, the distance at most 1000 m.
inline void omegaWallValues(const CellFlow& cf, const Pairs& p) {
  const int c = cf.c;
  const double k15 = cf.k15();
  auto value = [k15](double y) {
    return y < 1000 ? k15 / (0.21908 * y + 1e-20) : k15 / (0.21908 * 1000);
  };
  if (p.tb) fix(c, kFixEps, (1 + 2.5 * concentration(c)) * value(Ckdist[c]));
  if (p.ew) fix(c, kFixEps, value(Cidist[c]));
  if (p.ns) fix(c, kFixEps, value(Cjdist[c]));
}

}  // namespace qorva::wall

namespace qorva {

// The laws that wall_laws hands a range to after its frame (F 15 5, 8, 9, 19) and the
// per-surface form of F 305 1 that replaces the frame.
void smoothWallLaw(int first, int last);
void transitionalWallLaw(int first, int last);
void throughBedWallLaw(int first, int last);
void wallLaw19(int first, int last);
void wall_laws_new(int first, int last);

}  // namespace qorva
