// The k-epsilon sources and the log-law wall terms of the fast flow driver, which assembles
// u, v, w, k and epsilon together in five rows (0 u, 1 v, 2 w, 3 k, 4 epsilon) of CinvApf (the
// central coefficients) and Csourcem (the sources), cleared by the driver beforehand.
// Reads Cgamma, Ckinen, Cepsilon, the velocities, Cvol, Cidist..Ckdist, Croughness, the faces;
// writes CinvApf[0..4], Csourcem[0..4] over WCStart..WCEnd.
#include <algorithm>
#include <cmath>

#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "turbulence/turbulence.h"

namespace qorva {

namespace {

bool wallFace(int f) { return Fflagflow[f] == -1; }

bool hasWallFace(int c) {
  return wallFace(Cflatee[c]) || wallFace(Cflatew[c]) || wallFace(Cflaten[c]) ||
         wallFace(Cflates[c]) || wallFace(Cflatet[c]) || wallFace(Cflateb[c]);
}

double strainSquared(int c) {
  double g[3][3];
  velocityGradients(c, g);
  const double ux = g[0][0], uy = g[0][1], uz = g[0][2];
  const double vx = g[1][0], vy = g[1][1], vz = g[1][2];
  const double wx = g[2][0], wy = g[2][1], wz = g[2][2];
  return 2 * (ux * ux + vy * vy + wz * wz) + (uy + vx) * (uy + vx) + (uz + wx) * (uz + wx) +
         (vz + wy) * (vz + wy);
}

}  // namespace

void turbulenceFast() {
  if (TurbulenceModel >= 2 && TurbulenceModel <= 7) return;
  const int first = std::max(WCStart, 1);
  for (int c = first; c <= WCEnd; ++c)
    if (!hasWallFace(c)) Csourcem[3][c] = Cgamma[c] * Cvol[c] * strainSquared(c);
  for (int c = first; c <= WCEnd; ++c) {
    const double V = Cvol[c];
    const double r = Cepsilon[c] / (Ckinen[c] + 1e-20);
    CinvApf[3][c] = 1000.0 * V * r;
    CinvApf[4][c] = 1920.0 * V * r;
    Csourcem[4][c] = 1.44 * 1.3 * r * Csourcem[3][c];
  }
  if (TurbulenceModel == 1)
    for (int c = first; c <= WCEnd; ++c) Csourcem[3][c] *= 0.719;
}

void wallFast() {
  const double cmu = TurbulenceModel == 1 ? 0.0845 : 0.09;
  const double c25 = std::sqrt(cmu), c75 = std::pow(cmu, 0.75);
  // The roughness of the side walls and the lid is floored here only: the setting itself stays
  // as read, for the other wall laws of the run.
  const double kappa = 0.4, ksWall = std::max(XksWall, 0.0001);
  const int first = std::max(WCStart, 1);
  for (int c = first; c <= WCEnd; ++c) {
    if (!hasWallFace(c)) continue;
    for (int k = 0; k < 5; ++k) CinvApf[k][c] = Csourcem[k][c] = 0.0;
  }
  for (int c = first; c <= WCEnd; ++c) {
    const double k = Ckinen[c], kk = std::max(k, ArtMinKinen), V = Cvol[c];
    const double u = Cxvel[c], v = Cyvel[c], w = Czvel[c];
    // Faces in the order south, east, north, west, bottom, top with the half size across.
    const int faces[6] = {Cflates[c], Cflatee[c], Cflaten[c], Cflatew[c], Cflateb[c], Cflatet[c]};
    for (int side = 0; side < 6; ++side) {
      const int f = faces[side];
      if (!wallFace(f)) continue;
      const bool vertical = side >= 4;
      const double y =
          std::min(side == 1 || side == 3 ? Cidist[c] : side == 0 || side == 2 ? Cjdist[c]
                                                                                 : Ckdist[c],
                   1000.0);
      const double ks = side == 4 ? Croughness[c] : ksWall;
      const double yplus = std::sqrt(c25 * k) * y / 1e-6;
      // A roughness of 0 (a bed cell without one) or a cell of no height gives the floor.
      const double log = ks > 0 && y > 0 ? 2.5 * std::log(30.0 * y / ks) : MinUPlus;
      const double uplus = FlagWallLimiterU == 3 && yplus < 11.63
                               ? std::max(yplus, 1e-20)
                               : std::max(log, std::max(MinUPlus, 1e-20));
      const double A = Farea[f];
      const double root = std::sqrt(1000.0 * c25 * kk);
      const double cw = 31.62 * root * A / uplus;
      const double nx = Fvx[f], ny = Fvy[f], nz = vertical ? Fvz[f] : 0.0;
      const double un = u * nx + v * ny + w * nz;
      for (int row = 0; row < 3; ++row) CinvApf[row][c] += cw;
      Csourcem[0][c] += cw * un * nx;
      Csourcem[1][c] += cw * un * ny;
      if (vertical) Csourcem[2][c] += cw * un * nz;
      const double yk = std::max(y, 1e-20);
      CinvApf[3][c] += 1000.0 * c75 * std::sqrt(kk) * uplus / yk * V;
      Csourcem[3][c] += (31.62 * root / uplus) * (u * u + v * v + w * w) / yk * V;
      CinvApf[4][c] += 1e30;
      Csourcem[4][c] += c75 * 1e30 * std::pow(kk, 1.5) / (yk * kappa);
    }
  }
}

}  // namespace qorva
