// The wall laws besides the rough log law, each over cells first..last after the frame of
// wall_laws has cleared the wall cells: smooth walls (F 15 5), the roughness function of the
// transitional regime (8), that function with flow through the bed (9), and smooth side walls
// with a rough bed and roof (19).
// Reads velocities, k, pressure, CgammaV, Cgamma, geometry, Croughness, Cconc row 0 and the
// options of F 24, F 139, F 185, F 273, F 312, F 397, F 494; adds to Cap and Csource of the
// range only.
#include <algorithm>
#include <cmath>

#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "turbulence/turbulence.h"
#include "turbulence/wall_terms.h"

namespace qorva {

namespace {

using namespace wall;

// The faces of a cell in the order the velocity terms take them, with the wall distance
// across each face (uncapped) and the along-wall neighbours of the side faces.
struct Face {
  int f;
  double y;
  int n1, n2;     // along-wall neighbours (side faces); 0 at the bed and roof
  double along;   // half size along the wall, the distance of the pressure gradient
  bool side, top;
};

template <class Body>
void forEachWallFace(int c, Body&& body) {
  const Face faces[6] = {
      {Cflatee[c], Cidist[c], Ccelln[c], Ccells[c], Cjdist[c], true, false},
      {Cflatew[c], Cidist[c], Ccelln[c], Ccells[c], Cjdist[c], true, false},
      {Cflates[c], Cjdist[c], Ccelle[c], Ccellw[c], Cidist[c], true, false},
      {Cflaten[c], Cjdist[c], Ccelle[c], Ccellw[c], Cidist[c], true, false},
      {Cflatet[c], Ckdist[c], 0, 0, 1.0, false, true},
      {Cflateb[c], Ckdist[c], 0, 0, 1.0, false, false},
  };
  for (const Face& face : faces)
    if (isWall(face.f)) body(face);
}

// The friction of a wall face with wall coefficient cw: at a side wall the horizontal part of
// the normal only.
void faceFriction(const CellFlow& cf, const Face& face, double cw) {
  if (face.side)
    addFriction(cf, face.f, cw, sideNormalOfEquation(face.f), true);
  else
    addFriction(cf, face.f, cw, normalOfEquation(face.f), false);
}

// The laminar friction 31.62 uS A / y+, with y+ kept above 0.
double laminarFriction(const CellFlow& cf, double A, double yp) {
  return 31.62 * cf.uS * A / std::max(yp, kMinYPlus);
}

// ---------------------------------------------------------------- epsilon

// The wall epsilon of laws 5, 8, 9 and 19. `kappaSide` gives the von Karman coefficient and
// the distance of a side pair (law 19 changes them); the bed and roof value carries the
// concentration factor always, or under F 494 1 only (`concentrationAlways` false).
template <class KappaSide>
void epsilonWalls(const Constants& K, int first, int last, bool surfaceValue,
                  bool concentrationAlways, KappaSide kappaSide) {
  if (TurbulenceModel == 14 || TurbulenceModel == 15) return;
  const bool omega = TurbulenceModel == 16;
  // The free-surface value of the k-omega model goes to every top cell, wall cell or not.
  const bool surface = omega && surfaceValue && FlagSurfEps == 1;
  for (int c = first; c <= last; ++c) {
    const Pairs p = wallPairs(c);
    if (!p.any() && !(surface && Ccellt[c] == 0)) continue;
    const CellFlow cf = cellFlow(K.s, c);
    if (omega) {
      omegaWallValues(cf, p);
      if (surface) surfaceDepthEpsilon(cf);
      continue;
    }
    const double k15 = cf.k15();
    if (p.ew) {
      double y = capped(Cidist[c]);
      const double ke = kappaSide(cf, true, y);
      fix(c, kFixEps, K.c75 * k15 / (ke * y));
    }
    if (p.ns) {
      double y = capped(Cjdist[c]);
      const double ke = kappaSide(cf, false, y);
      fix(c, kFixEps, K.c75 * k15 / (ke * y));
    }
    if (p.tb) {
      double value = K.c75 * k15 / (K.kappa * capped(Ckdist[c]));
      if (concentrationAlways || FlagConcProf == 1) value *= 1 + 2.5 * concentration(c);
      fix(c, kFixEps, value);
    }
  }
}

// The side pairs of laws 5, 8 and 9 take the plain von Karman coefficient.
auto plainKappa(const Constants& K) {
  return [kappa = K.kappa](const CellFlow&, bool, double&) { return kappa; };
}

// ---------------------------------------------------------------- law 5

void smoothMomentum(const Constants& K, int first, int last) {
  for (int c = first; c <= last; ++c) {
    if (!isWallCell(c)) continue;
    const CellFlow cf = cellFlow(K.s, c);
    forEachWallFace(c, [&](const Face& face) {
      const double yp = cf.yplus(capped(face.y));
      const double A = Farea[face.f];
      // The laminar limit of the velocities is 11.626, where ln(9 y+) / 0.4 = y+.
      const double cw = yp >= 11.626 ? 31.62 * cf.uS * K.kappa * A / std::log(9 * yp)
                                     : laminarFriction(cf, A, yp);
      faceFriction(cf, face, cw);
    });
  }
}

// u+ of the smooth law in the k equation: laminar below y+ 11.63, else 2.5 ln(9 y+).
double smoothKUPlus(double yp) {
  return yp < kLaminarYPlus ? std::max(yp, kMinYPlus) : 2.5 * std::log(9 * yp);
}

void smoothK(const Constants& K, int first, int last) {
  for (int c = first; c <= last; ++c) {
    const Pairs p = wallPairs(c);
    if (!p.any()) continue;
    const CellFlow cf = cellFlow(K.s, c);
    auto term = [&](double y, double extra) {
      const double uplus = smoothKUPlus(cf.yplus(y));
      addKTerms(K.c75k, cf, uplus, 31.62 * cf.uS / uplus + extra, y);
    };
    if (p.ew) term(capped(Cidist[c]), 0.0);
    if (p.ns) {
      // The along-wall pressure gradient raises the production at south and north walls only.
      const double y = capped(Cjdist[c]);
      double G = 0;
      const bool both = alongWallGradient(Ccelle[c], Ccellw[c], Cidist[c], G);
      term(y, FlagGENMIX == 1 && both ? G * y : 0.0);
    }
    if (p.tb) term(capped(Ckdist[c]), 0.0);
  }
}

// ---------------------------------------------------------------- laws 8 and 9

// The roughness function of the transitional regime: u+ at the dimensionless distance y+ of a
// wall with roughness ks, for the friction velocity ustar (m/s) and the von Karman coefficient
// kappa. Hydraulically smooth below a roughness Reynolds number ks+ of 2.25, fully rough above
// 90, between them the Nikuradse transition; the viscous sublayer below y+ 11.7 scales u+ down
// linearly. `correction` changes u+ before its floor (law 9 at the bed).
template <class Correction>
double transitionalUPlus(double yp, double ustar, double ks, double kappa, Correction correction) {
  const double Y = yp <= 11.7 ? 11.7 : yp;
  const double ksPlus = 1e6 * ustar * ks;
  double uplus;
  if (ksPlus < 2.25) {
    uplus = std::log(9 * Y) / kappa;
  } else if (ksPlus > 90) {
    // The distance at which y+ is Y: the wall distance itself outside the sublayer.
    const double yr = 1e-6 * Y / ustar;
    uplus = std::log(30 * yr / ks) / kappa;
  } else {
    uplus = std::log(Y) / kappa + 5.5 +
            std::sin(0.4258 * (std::log(ksPlus) - 0.811)) * (3.0 - std::log(ksPlus) / kappa);
  }
  if (yp < 11.7) uplus *= yp / 11.7;
  uplus = correction(uplus);
  return std::max(uplus, kMinUPlus);
}

double noCorrection(double uplus) { return uplus; }

// Law 9 at the bed: the velocity through the bed over the friction velocity, s, raises u+
// (blowing, s > 0) or lowers it (suction): u+ + a u+^2 with a = s / 4 between -0.025 and 0.1.
auto throughBed(const CellFlow& cf, int f) {
  const double ustar = cf.ustar();
  const double un = cf.u * Fvx[f] + cf.v * Fvy[f] + cf.w * Fvz[f];
  // Without a friction velocity there is no friction to correct.
  const double s = ustar > 0 ? un / ustar : 0.0;
  const double a = s <= -0.1 ? -0.025 : s >= 0.4 ? 0.1 : 0.25 * s;
  return [a](double uplus) { return uplus + a * uplus * uplus; };
}

// Von Karman coefficient of a bed term: lowered by the sediment concentration under F 494 1.
double bedKappa(const Constants& K, int c) {
  return FlagConcProf == 1 ? K.kappa / (1 + 2.5 * concentration(c)) : K.kappa;
}

void transitionalMomentum(const Constants& K, int first, int last, bool bedFlow) {
  for (int c = first; c <= last; ++c) {
    if (!isWallCell(c)) continue;
    const CellFlow cf = cellFlow(K.s, c);
    const double ustar = cf.ustar(), ks = Croughness[c];
    forEachWallFace(c, [&](const Face& face) {
      const double yp = cf.yplus(face.y);
      const bool bed = !face.side && !face.top;
      const double kappa = bed ? bedKappa(K, c) : K.kappa;
      const double uplus = bed && bedFlow
                               ? transitionalUPlus(yp, ustar, ks, kappa, throughBed(cf, face.f))
                               : transitionalUPlus(yp, ustar, ks, kappa, noCorrection);
      faceFriction(cf, face, 31.62 * cf.uS * Farea[face.f] / uplus);
    });
  }
}

void transitionalK(const Constants& K, int first, int last, bool bedFlow) {
  for (int c = first; c <= last; ++c) {
    const Pairs p = wallPairs(c);
    if (!p.any()) continue;
    const CellFlow cf = cellFlow(K.s, c);
    const double ustar = cf.ustar(), ks = Croughness[c];
    auto term = [&](double y, double kappa, auto correction) {
      const double uplus = transitionalUPlus(cf.yplus(y), ustar, ks, kappa, correction);
      addKTerms(K.c75k, cf, uplus, 31.62 * cf.uS / uplus, y);
    };
    if (p.ew) term(Cidist[c], K.kappa, noCorrection);
    if (p.ns) term(Cjdist[c], K.kappa, noCorrection);
    if (!bedFlow) {
      // The pair belongs to the bed when its bottom face is a wall.
      if (p.tb) term(Ckdist[c], isWall(Cflateb[c]) ? bedKappa(K, c) : K.kappa, noCorrection);
      continue;
    }
    // Law 9 takes the roof and the bed apart, the bed with the flow through it.
    if (isWall(Cflatet[c])) term(Ckdist[c], K.kappa, noCorrection);
    if (isWall(Cflateb[c])) term(Ckdist[c], bedKappa(K, c), throughBed(cf, Cflateb[c]));
  }
}

void transitionalLaw(int first, int last, bool bedFlow) {
  const Constants K = frameConstants();
  switch (Equation) {
    case 1:
    case 2:
    case 3: transitionalMomentum(K, first, last, bedFlow); break;
    case 5: transitionalK(K, first, last, bedFlow); break;
    case 6: epsilonWalls(K, first, last, false, true, plainKappa(K)); break;
    default: break;
  }
}

// ---------------------------------------------------------------- law 19

// uS and the von Karman coefficient of a smooth side wall under the along-wall pressure
// gradient of F 273 1 (a larger shear) and 4 (a larger coefficient).
struct SideShear {
  double uS, kappa, G;
  bool both;
};
SideShear sideShear(const Constants& K, const CellFlow& cf, const Face& face, double y) {
  SideShear s{cf.uS, K.kappa, 0.0, false};
  s.both = alongWallGradient(face.n1, face.n2, face.along, s.G);
  if (!s.both) return s;
  if (FlagGENMIX == 1) s.uS = std::sqrt(K.s * cf.kk + s.G * y);
  if (FlagGENMIX == 4) s.kappa = gradientKappa(gradientP(s.G * 3.16228e-05, s.uS * s.uS * s.uS));
  return s;
}

// The rough log-law friction 31.62 uS A / u+ with u+ = ln(30 y / ks) / 0.4, at least MinUPlus.
double roughFriction(const Constants& K, const CellFlow& cf, double A, double y, double ks) {
  const double uplus = std::max(std::log(30 * y / ks) / K.kappa, std::max(MinUPlus, kMinUPlus));
  return 31.62 * cf.uS * A / uplus;
}

void law19Momentum(const Constants& K, int first, int last) {
  for (int c = first; c <= last; ++c) {
    if (!isWallCell(c)) continue;
    const CellFlow cf = cellFlow(K.s, c);
    forEachWallFace(c, [&](const Face& face) {
      const double y = capped(face.y);
      const double yp = cf.yplus(y);
      const double A = Farea[face.f];
      double cw;
      if (face.side) {
        const SideShear s = sideShear(K, cf, face, y);
        cw = yp >= kLaminarYPlus ? 31.62 * s.uS * s.kappa * A / std::log(9 * yp)
                                 : 31.62 * s.uS * A / std::max(yp, kMinYPlus);
      } else if (face.top) {
        const bool laminar = (FlagWallLimiterU == 3 && yp < kLaminarYPlus) ||
                             (FlagWallLimiterU == 5 && Cgamma[c] < 0.0011);
        cw = laminar ? laminarFriction(cf, A, yp) : roughFriction(K, cf, A, y, XksWall);
      } else {
        const bool laminar = FlagWallLimiterU == 3 && yp < kLaminarYPlus;
        cw = laminar ? laminarFriction(cf, A, yp) : roughFriction(K, cf, A, y, wall::roughness(c));
      }
      faceFriction(cf, face, cw);
    });
  }
}

// Smooth side walls: laminar below y+ 11.63, the smooth log law above it.
void law19SidePairK(const Constants& K, const CellFlow& cf, double y, int n1, int n2,
                    double along) {
  sideWallK(K.c75k, cf, y, n1, n2, along, [](double kinv, double yp) {
    if (yp < kLaminarYPlus) return std::max(yp, kMinYPlus);
    return std::max(kinv * std::log(9 * yp), std::max(MinUPlusK, kMinUPlus));
  });
}

void law19K(const Constants& K, int first, int last) {
  for (int c = first; c <= last; ++c) {
    const Pairs p = wallPairs(c);
    if (!p.any()) continue;
    const CellFlow cf = cellFlow(K.s, c);
    if (p.ew) law19SidePairK(K, cf, capped(Cidist[c]), Ccelln[c], Ccells[c], Cjdist[c]);
    if (p.ns) law19SidePairK(K, cf, capped(Cjdist[c]), Ccelle[c], Ccellw[c], Cidist[c]);
    if (!p.tb) continue;
    // Bed and roof take the cell's roughness; the laminar switch is the velocity option.
    const double y = capped(Ckdist[c]);
    const double yp = cf.yplus(y);
    const bool laminar =
        (FlagWallLimiterU == 3 || FlagWallLimiterU == 5) && yp < kLaminarYPlus;
    double uplus = laminar ? yp : 2.5 * std::log(30 * y / wall::roughness(c));
    if (FlagConcProf == 1) uplus *= 1 + 2.5 * concentration(c);
    uplus = std::max(std::max(uplus, MinUPlusK), laminar ? kMinYPlus : kMinUPlus);
    addKTerms(K.c75k, cf, uplus, 31.62 * cf.uS / uplus, y);
  }
}

// The side-wall epsilon of law 19: the pressure-gradient coefficient of F 273 4 and 5, and
// under F 312 a longer distance where the flow next to the wall reverses across it.
auto law19Kappa(const Constants& K) {
  return [&K](const CellFlow& cf, bool eastWest, double& y) {
    const int c = cf.c;
    double kappa = K.kappa;
    const int n1 = eastWest ? Ccelln[c] : Ccelle[c];
    const int n2 = eastWest ? Ccells[c] : Ccellw[c];
    const double along = eastWest ? Cjdist[c] : Cidist[c];
    double G = 0;
    if ((FlagGENMIX == 4 || FlagGENMIX == 5) && alongWallGradient(n1, n2, along, G))
      kappa = gradientKappa(gradientP(3.16228e-05 * G, 5196.1 * cf.k15()));
    if (FlagModEpsilon > 0) {
      int m = eastWest ? Ccelle[c] : Ccells[c];
      if (m == 0) m = eastWest ? Ccellw[c] : Ccelln[c];
      const double d = Cxvel[c] * Cxvel[m] + Cyvel[c] * Cyvel[m];
      if (d < 0) {
        const double cosine =
            d / std::sqrt((Cxvel[c] * Cxvel[c] + Cyvel[c] * Cyvel[c]) *
                          (Cxvel[m] * Cxvel[m] + Cyvel[m] * Cyvel[m]));
        if (cosine < -0.7) y *= 1.1 - cosine;
      }
    }
    return kappa;
  };
}

}  // namespace

void smoothWallLaw(int first, int last) {
  const Constants K = frameConstants();
  switch (Equation) {
    case 1:
    case 2:
    case 3: smoothMomentum(K, first, last); break;
    case 5: smoothK(K, first, last); break;
    case 6: epsilonWalls(K, first, last, true, true, plainKappa(K)); break;
    default: break;
  }
}

void transitionalWallLaw(int first, int last) { transitionalLaw(first, last, false); }

void throughBedWallLaw(int first, int last) { transitionalLaw(first, last, true); }

void wallLaw19(int first, int last) {
  const Constants K = frameConstants();
  switch (Equation) {
    case 1:
    case 2:
    case 3: law19Momentum(K, first, last); break;
    case 5: law19K(K, first, last); break;
    case 6: epsilonWalls(K, first, last, true, false, law19Kappa(K)); break;
    default: break;
  }
}

}  // namespace qorva
