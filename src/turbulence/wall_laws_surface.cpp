// The wall laws per wall surface (F 305 1): friction of each wall face, the k terms and the
// fixed epsilon of each wall pair, with u+ from one function in which F 15 chooses the rough,
// the smooth or the transitional law. Cmu is 0.09 and every wall takes the cell's roughness.
// Reads velocities, k, geometry, Croughness and the options of F 15, F 24, F 138, F 139; adds
// to Cap and Csource of the range only.
#include <algorithm>
#include <cmath>

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

constexpr double kS = 300.0;                    // 1000 sqrt(0.09)
constexpr double kC75k = 164.31676725154983;   // 1000 x 0.09^0.75

// What the per-surface terms use of cell c across a wall at distance d (m).
struct Across {
  CellFlow cf;
  double y;   // min(d, 1000)
  double yp;  // y+
  double r;   // y / ks
};

Across across(int c, double d) {
  Across a{cellFlow(kS, c), std::min(d, 1000.0), 0.0, 0.0};
  a.yp = a.cf.yplus(a.y);
  a.r = a.y / (Croughness[c] + 1e-20);
  return a;
}

void surfaceU(int c, int f, double d) {
  const Across a = across(c, d);
  const double uplus = wall_laws_uplus(a.yp, a.r);
  // Every face, side walls included, gives back the normal part of all three components.
  addFriction(a.cf, f, 31.62 * a.cf.uS * Farea[f] / uplus, normalOfEquation(f), false);
}

void surfaceK(int c, double d) {
  const Across a = across(c, d);
  const double uplus = wall_laws_uplus(a.yp, a.r);
  addKTerms(kC75k, a.cf, uplus, 31.62 * a.cf.uS / uplus, a.y);
}

void surfaceEps(int c, double d) {
  if (TurbulenceModel == 14 || TurbulenceModel == 15) return;
  const Across a = across(c, d);
  if (TurbulenceModel == 16)
    fix(c, kFixEps, a.cf.k15() / (0.21908 * a.y + 1e-20));
  else
    fix(c, kFixEps, 0.1643 * a.cf.k15() / (0.4 * a.y));
}

}  // namespace

double wall_laws_uplus(double yplus, double r) {
  switch (FlagWallAll) {
    case 0:
      return std::max(2.5 * std::log(30 * r), std::max(MinUPlus, kMinUPlus));
    case 5:
      return yplus < kLaminarYPlus ? std::max(yplus, kMinYPlus) : 2.5 * std::log(9 * yplus);
    case 8: {
      // X = y+ / r is the roughness Reynolds number u* ks / nu. Inside the viscous sublayer
      // the law is taken at its edge, y+ = 11.7, and scaled down linearly, as the per-cell
      // law does: the logarithm at y+ itself would fall to a fraction of the sublayer value
      // and below 0 (the floor) under y+ = 1/9. A y+ of 0 (no friction velocity) takes the
      // floor.
      const double yp = std::max(yplus, kMinYPlus);
      const double X = yp / r;
      const double Y = std::max(yp, 11.7);
      double uplus;
      if (X < 2.25)
        uplus = 2.5 * std::log(9 * Y);
      else if (X > 90)
        uplus = 2.5 * std::log(30 * r * Y / yp);
      else
        uplus = 2.5 * std::log(Y) + 5.5 +
                (3.0 - 2.5 * std::log(X)) * std::sin(0.4258 * (std::log(X) - 0.811));
      if (yp < 11.7) uplus *= yp / 11.7;
      return std::max(uplus, kMinUPlus);
    }
    default:
      // The control check refuses F 305 with any other F 15 law; a call that gets here anyway
      // must not divide by a u+ it does not have.
      failf(1, "Error for F 305 in control: the wall laws per wall surface take F 15 0, 5 or 8, "
               "not %d\n",
            FlagWallAll);
  }
}

void wall_laws_new(int first, int last) {
  clearWallCells(first, last);
  const int e = Equation;
  for (int c = first; c <= last; ++c) {
    if (e >= 1 && e <= 3) {
      const int faces[6] = {Cflatee[c], Cflatew[c], Cflates[c], Cflaten[c], Cflatet[c], Cflateb[c]};
      const double dist[6] = {Cidist[c], Cidist[c], Cjdist[c], Cjdist[c], Ckdist[c], Ckdist[c]};
      for (int k = 0; k < 6; ++k)
        if (isWall(faces[k])) surfaceU(c, faces[k], dist[k]);
    } else if (e == 5 || e == 6) {
      const Pairs p = wallPairs(c);
      auto pair = e == 5 ? surfaceK : surfaceEps;
      if (p.ew) pair(c, Cidist[c]);
      if (p.ns) pair(c, Cjdist[c]);
      if (p.tb) pair(c, Ckdist[c]);
    }
  }
}

}  // namespace qorva
