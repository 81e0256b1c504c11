// Wall laws at the bed, side walls and roof: friction of the velocity components, the k terms
// and the fixed epsilon of wall cells by the rough-wall log law u+ = ln(30 y / ks) / 0.4.
// Reads velocities, k, pressure, geometry, Croughness, Cconc row 0, Bdepth and the options of
// F 15, F 92, F 139, F 185, F 273, F 397, F 409, F 494; adds to Cap and Csource of the range
// only; stores Xkappa and XksWall.
#include <algorithm>
#include <cmath>
#include <limits>

#include "grid/columns.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "turbulence/turbulence.h"
#include "turbulence/wall_terms.h"

namespace qorva {

namespace {

using namespace wall;

// ---------------------------------------------------------------- momentum (Equation 1..3)

void sideFaceMomentum(const Constants& K, const CellFlow& cf, int f, double y, int n1, int n2,
                      double along) {
  double G = 0;
  const bool both = alongWallGradient(n1, n2, along, G);
  double T = K.s * cf.kk;
  if (FlagGENMIX == 1 && both) T += G * y;
  const double uS = std::sqrt(T);
  double ke = K.kappa;
  if (FlagGENMIX == 4 && both) ke = gradientKappa(gradientP(G * 3.16228e-05, uS * uS * uS));
  const double yp = cf.yplus(y);
  double uplus;
  if (FlagWallLimiterU == 3 && yp < kLaminarYPlus)
    uplus = std::max(yp, kMinYPlus);
  else
    uplus = std::max(std::max(std::log(30 * y / XksWall) / ke, MinUPlus), kMinUPlus);
  const double cw = 31.62 * uS * Farea[f] / uplus;
  addFriction(cf, f, cw, sideNormalOfEquation(f), true);
}

void roofMomentum(const Constants& K, const CellFlow& cf, int f) {
  const int c = cf.c;
  const double y = capped(Ckdist[c]);
  const double yp = cf.yplus(y);
  const double A = Farea[f];
  double cw;
  if (FlagWallLimiterU == 3 && yp < kLaminarYPlus)
    cw = 31.62 * cf.uS * A / std::max(yp, kMinYPlus);
  else if (FlagWallLimiterU == 5 && Cgamma[c] < 0.0011)
    cw = 0.001 * A / y;  // laminar shear with the molecular viscosity of water
  else
    cw = 31.62 * cf.uS * A /
         std::max(std::max(std::log(30 * y / XksWall) / K.kappa, MinUPlus), kMinUPlus);
  addFriction(cf, f, cw, normalOfEquation(f), false);
}

void bedMomentum(const Constants& K, const CellFlow& cf, int f) {
  const int c = cf.c;
  const double y = capped(Ckdist[c]);
  const double ks = wall::roughness(c);
  const double A = Farea[f];
  double uplus = std::max(std::log(30 * y / ks) / K.kappa, MinUPlus);
  if (FlagWallLimiterU == 4 && y < WallLimiterU * ks)
    uplus = (y / (WallLimiterU * ks)) * K.l4;
  else if (FlagWallLimiterU == 6 && y < 0.5 * ks)
    uplus = std::max(uplus, 1 + 11.5 * y / ks);
  const double C = concentration(c);
  if (FlagConcProf == 1 && C > 0) uplus *= 1 + 2.5 * C;
  uplus = std::max(uplus, kMinUPlus);
  double cw = 31.62 * cf.uS * A / uplus;
  const double yp = cf.yplus(y);
  if (FlagWallLimiterU == 3 && yp < kLaminarYPlus)
    cw = 31.62 * cf.uS * A / std::max(yp, kMinYPlus);
  addFriction(cf, f, cw, normalOfEquation(f), false);
  // The thin layer of water on the bed of a top cell resists in addition.
  if (FlagWallLimiterU == 1 && Ccellt[c] == 0 && y < WallLimiterU * ks) {
    const double ratio = std::min(std::pow(10.0, -std::log10(y / ks) - 2), 1.0);
    Cap[c] += 1000 * A * y * 1e-6 / 1e-10 * ratio;
  }
}

void momentumLaw(const Constants& K, int first, int last) {
  for (int c = first; c <= last; ++c) {
    const int fe = Cflatee[c], fw = Cflatew[c], fs = Cflates[c], fn = Cflaten[c];
    const int ft = Cflatet[c], fb = Cflateb[c];
    const bool we = isWall(fe), ww = isWall(fw), ws = isWall(fs), wn = isWall(fn);
    const bool wt = isWall(ft), wb = isWall(fb);
    if (!(we || ww || ws || wn || wt || wb)) continue;
    const CellFlow cf = cellFlow(K.s, c);
    const double yi = capped(Cidist[c]), yj = capped(Cjdist[c]);
    if (we) sideFaceMomentum(K, cf, fe, yi, Ccelln[c], Ccells[c], Cjdist[c]);
    if (ww) sideFaceMomentum(K, cf, fw, yi, Ccelln[c], Ccells[c], Cjdist[c]);
    if (ws) sideFaceMomentum(K, cf, fs, yj, Ccelle[c], Ccellw[c], Cidist[c]);
    if (wn) sideFaceMomentum(K, cf, fn, yj, Ccelle[c], Ccellw[c], Cidist[c]);
    if (wt) roofMomentum(K, cf, ft);
    if (wb) bedMomentum(K, cf, fb);
  }
}

// ---------------------------------------------------------------- k (Equation 5)

// The rough law of the side walls, with the roughness of F 16 and the laminar branch of F 397.
void sidePairK(const Constants& K, const CellFlow& cf, double y, int n1, int n2, double along) {
  sideWallK(K.c75k, cf, y, n1, n2, along, [y](double kinv, double yp) {
    if (FlagWallLimiterK == 3 && yp < kLaminarYPlus) return std::max(yp, kMinYPlus);
    return std::max(std::max(kinv * std::log(30 * y / XksWall), MinUPlusK), kMinUPlus);
  });
}

void verticalPairK(const Constants& K, const CellFlow& cf) {
  const int c = cf.c;
  const double y = capped(Ckdist[c]);
  const double ks = wall::roughness(c);  // the roof too takes the cell's roughness here
  const double yp = cf.yplus(y);
  double uplus = std::max(2.5 * std::log(30 * y / ks), MinUPlusK);
  const bool laminar = (FlagWallLimiterK == 3 || FlagWallLimiterK == 5) && yp < kLaminarYPlus;
  if (laminar) {
    uplus = yp;
  } else if (FlagWallLimiterK == 6) {
    if (y < 0.5 * ks) uplus = std::max(uplus, 1 + 11.5 * y / ks);
  } else if (FlagWallLimiterK == 1) {
    // U / u* of the Manning-Strickler law for a water depth of 2y (0.31927 = 1 / sqrt(9.81)).
    if (Ccellt[c] == 0 && y < ks * WallLimiterK)
      uplus = std::max(uplus, ManningInit * std::pow(2 * y, 0.16666667) * 0.31927);
  } else if (FlagWallLimiterK == 2) {
    if (y < ks * WallLimiterK) {
      const int b = Cbed[c];
      const double hb = Bdepth && b > 0 ? Bdepth[b] : 0.0;
      uplus = std::max(uplus, ManningInit * std::pow(hb, 0.16666667) * 0.31927);
    }
  }
  const double C = concentration(c);
  if (FlagConcProf == 1 && C > 0) uplus *= 1 + 2.5 * C;
  uplus = std::max(uplus, laminar ? kMinYPlus : kMinUPlus);
  addKTerms(K.c75k, cf, uplus, 31.62 * cf.uS / uplus, y);
}

// The k value 3.33333 (|U| / u+)^2 fixed in a wall cell (F 15 11).
void fixedKPair(const CellFlow& cf, double y, bool vertical) {
  const int c = cf.c;
  const double yp = cf.yplus(y);
  double uplus;
  bool laminar;
  if (vertical) {
    laminar = (FlagWallLimiterK == 3 || FlagWallLimiterK == 5) && yp < kLaminarYPlus;
    uplus = laminar ? yp : 2.5 * std::log(30 * y / wall::roughness(c));
    const double C = concentration(c);
    if (FlagConcProf == 1 && C > 0) uplus *= 1 + 2.5 * C;
    uplus = std::max(uplus, MinUPlusK);
  } else {
    laminar = FlagWallLimiterK == 3 && yp < kLaminarYPlus;
    uplus = laminar ? yp : std::max(2.5 * std::log(30 * y / XksWall), MinUPlusK);
  }
  uplus = std::max(uplus, laminar ? kMinYPlus : kMinUPlus);
  const double r = std::sqrt(cf.u2) / uplus;
  fix(c, kFixK, 3.33333 * r * r);
}

void kLaw(const Constants& K, int first, int last, bool fixedK) {
  for (int c = first; c <= last; ++c) {
    const Pairs p = wallPairs(c);
    const bool ew = p.ew, ns = p.ns, tb = p.tb;
    if (!p.any()) continue;
    const CellFlow cf = cellFlow(K.s, c);
    const double yi = capped(Cidist[c]), yj = capped(Cjdist[c]), yk = capped(Ckdist[c]);
    if (fixedK) {
      if (ew) fixedKPair(cf, yi, false);
      if (ns) fixedKPair(cf, yj, false);
      if (tb) fixedKPair(cf, yk, true);
    } else {
      if (ew) sidePairK(K, cf, yi, Ccelln[c], Ccells[c], Cjdist[c]);
      if (ns) sidePairK(K, cf, yj, Ccelle[c], Ccellw[c], Cidist[c]);
      if (tb) verticalPairK(K, cf);
    }
  }
}

// ---------------------------------------------------------------- epsilon (Equation 6)

// Von Karman coefficient of the wall epsilon at a side pair under F 273 2, 4 or 5. eastWest:
// the wall is east or west, the along-wall neighbours north and south.
double epsilonKappa(const Constants& K, const CellFlow& cf, double y, bool eastWest) {
  const int c = cf.c;
  const int n1 = eastWest ? Ccelln[c] : Ccelle[c];
  const int n2 = eastWest ? Ccells[c] : Ccellw[c];
  const double along = eastWest ? Cjdist[c] : Cidist[c];
  if (n1 <= 0 || n2 <= 0) return K.kappa;
  if (FlagGENMIX == 2) {
    const double Q = 300 * Ckinen[c] * (Cpres[n1] - Cpres[n2]) * y / (2 * along);
    const int fa = eastWest ? Cflaten[c] : Cflatew[c];
    const int fb = eastWest ? Cflates[c] : Cflatee[c];
    const double V = (Fvx[fa] + Fvx[fb]) * cf.u + (Fvy[fa] + Fvy[fb]) * cf.v;
    const double Qp = V > 0 ? std::max(Q, 0.0) : std::max(-Q, 0.0);
    return K.kappa / (1 + coeffEps * Qp);
  }
  if (FlagGENMIX == 4 || FlagGENMIX == 5) {
    const double G = std::fabs(Cpres[n1] - Cpres[n2]) / (4 * along);
    return gradientKappa(gradientP(3.16228e-05 * G, 5196.1 * cf.k15()));
  }
  return K.kappa;
}

void surfaceEpsilon(const CellFlow& cf) {
  const int c = cf.c;
  if (Ccellt[c] != 0) return;
  if (FlagSurfEps == 1) {
    surfaceDepthEpsilon(cf);
  } else if (FlagSurfEps == 3) {
    const int b = Ccellb[c];
    if (b <= 0) return;
    const int bb = Ccellb[b];
    if (bb <= 0) return;
    const double D = 0.5 * ((Ckinen[c] - Ckinen[b]) * (CgammaV[c] + CgammaV[b]) -
                            (Ckinen[b] - Ckinen[bb]) * (CgammaV[b] + CgammaV[bb]));
    fix(c, kFixEps, std::max(D, 0.0));
  }
}

void epsilonLaw(const Constants& K, int first, int last) {
  if (TurbulenceModel == 14 || TurbulenceModel == 15) return;
  const bool omega = TurbulenceModel == 16;
  for (int c = first; c <= last; ++c) {
    const Pairs p = wallPairs(c);
    const bool ew = p.ew, ns = p.ns, tb = p.tb;
    const bool top = Ccellt[c] == 0;
    const bool surface = top && (FlagSurfEps == 1 || (!omega && FlagSurfEps == 3));
    if (!(p.any() || surface)) continue;
    const CellFlow cf = cellFlow(K.s, c);
    const double k15 = cf.k15();
    const double yi = capped(Cidist[c]), yk = capped(Ckdist[c]);
    double yj = capped(Cjdist[c]);
    if (omega) {
      omegaWallValues(cf, p);
      if (FlagSurfEps == 1) surfaceEpsilon(cf);
      continue;
    }
    if (FlagMinDistEps == 1) yj = std::max(yj, MinDistEps);
    if (ew) fix(c, kFixEps, K.c75 * k15 / (epsilonKappa(K, cf, yi, true) * yi));
    if (ns) fix(c, kFixEps, K.c75 * k15 / (epsilonKappa(K, cf, yj, false) * yj));
    if (tb) {
      double value = K.c75 * k15 / (K.kappa * yk);
      if (FlagConcProf == 1) value *= 1 + 2.5 * concentration(c);
      fix(c, kFixEps, value);
    }
    surfaceEpsilon(cf);
  }
}

// ---------------------------------------------------------------- TurbulenceModel 3

// Every cell of the range takes the wall form of k and epsilon, with half its horizontal size
// as the distance; the results replace what the cell holds.
void allCellsForm(const Constants& K, int first, int last) {
  for (int c = first; c <= last; ++c) {
    const CellFlow cf = cellFlow(K.s, c);
    const double y = std::min(0.5 * std::sqrt(Cvol[c] / (2 * Ckdist[c] + 1e-20)), 1000.0);
    if (Equation == 5) {
      const double yp = cf.yplus(y);
      const bool laminar = FlagWallLimiterU == 3 && yp < kLaminarYPlus;
      double uplus = laminar ? yp : std::max(2.5 * std::log(30 * y / XksWall), MinUPlusK);
      uplus = std::max(uplus, laminar ? kMinYPlus : kMinUPlus);
      Cap[c] = K.c75k * std::sqrt(cf.kk) * uplus / y * Cvol[c];
      Csource[c] = 31.62 * cf.uS / uplus * (cf.u2 * cf.u2) / y * Cvol[c];
    } else {
      Cap[c] = kFixEps;
      Csource[c] = kFixEps * K.c75 * cf.k15() / (K.kappa * y);
    }
  }
}

// ---------------------------------------------------------------- thin columns (F 92 1)

// Columns thinner than MinVertDist: every cell of such a column feels the bed, at the height
// of its centre, with the roughness and concentration of the bottom cell. A call treats the
// cells of its own range only, with the heights taken from the whole column: the threaded
// chunks may cut a column, and a chunk that wrote the cells above its last cell would race
// with the chunk that clears and fills them.
void thinColumnPass(const Constants& K, int first, int last) {
  auto inRange = [first, last](int c) { return c > 0 && c >= first && c <= last; };
  for (int s = first; s <= last; ++s) {
    // The lowest cell of the range in its column starts the walk up; the others are on it.
    if (inRange(Ccellb[s])) continue;
    const int b = bottomOf(s);
    double height = 0;
    upColumn(b, [&height](int d) { height += Ckdist[d]; });
    if (!(height < MinVertDist)) continue;
    const double ks = wall::roughness(b);
    const double C = concentration(b);
    double y = 0;
    upColumnWhile(b, [&](int d) {
      if (d == s) return false;
      y += Ckdist[d];
      y += Ckdist[d];
      return true;
    });
    upColumnWhile(s, [&](int d) {
      if (!inRange(d)) return false;
      y += Ckdist[d];
      const CellFlow cf = cellFlow(K.s, d);
      const double yp = cf.yplus(y);
      const bool laminar = FlagWallLimiterU == 3 && yp < kLaminarYPlus;
      if (Equation >= 1 && Equation <= 3) {
        const int f = Cflateb[d];
        if (f > 0) {
          double uplus = laminar ? yp : std::max(std::log(30 * y / ks) / K.kappa, MinUPlus);
          uplus = std::max(uplus, laminar ? kMinYPlus : kMinUPlus);
          addFriction(cf, f, 31.62 * cf.uS * Farea[f] / uplus, normalOfEquation(f), false);
        }
      } else if (Equation == 5) {
        double uplus = laminar ? yp : std::log(30 * y / ks);
        uplus *= 2.5;
        if (FlagConcProf == 1 && C > 0) uplus *= 1 + 2.5 * C;
        uplus = std::max(std::max(uplus, MinUPlusK), laminar ? kMinYPlus : kMinUPlus);
        addKTerms(K.c75k, cf, uplus, 31.62 * cf.uS / uplus, y);
      } else if (Equation == 6) {
        fix(d, kFixEps, (1 + 2.5 * C) * K.c75 * cf.k15() / (K.kappa * y));
      }
      y += Ckdist[d];
      return true;
    });
  }
}

}  // namespace

void wall_laws(int first, int last) {
  if (FlagNewWall == 1) {
    wall_laws_new(first, last);
    return;
  }

  const Constants K = frameConstants();
  // Written only when they change, so that parallel calls on disjoint ranges only read them.
  if (Xkappa != K.kappa) Xkappa = K.kappa;
  if (!(XksWall >= 1e-6)) XksWall = 1e-6;

  if (TurbulenceModel == 3 && (Equation == 5 || Equation == 6)) {
    allCellsForm(K, first, last);
    return;
  }
  if (PorosWallFlag == 1)
    for (int c = first; c <= last; ++c)
      if (Ckdist[c] < MinVertDist) Cap[c] = Csource[c] = 0;
  clearWallCells(first, last);

  switch (FlagWallAll) {
    case 0:
    case 11:
      break;
    case 5:
      smoothWallLaw(first, last);
      return;
    case 8:
      transitionalWallLaw(first, last);
      return;
    case 9:
      throughBedWallLaw(first, last);
      return;
    case 19:
      wallLaw19(first, last);
      return;
    default:
      return;  // no wall law: wall cells keep Cap = Csource = 0
  }
  switch (Equation) {
    case 1:
    case 2:
    case 3:
      momentumLaw(K, first, last);
      break;
    case 5:
      kLaw(K, first, last, FlagWallAll == 11);
      break;
    case 6:
      epsilonLaw(K, first, last);
      break;
    default:
      return;
  }
  if (PorosWallFlag == 1) thinColumnPass(K, first, last);
}

}  // namespace qorva
