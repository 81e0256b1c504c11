// Source terms of the k equation (Equation 5) and the epsilon or omega equation (6): shear
// production, buoyancy of a stratified flow, and the dissipation sinks.
// Reads Cgamma, Ckinen, Cepsilon, velocities, Cvol, faces and neighbours; sets Cap and Csource
// afresh, and CdampDensity under F 71 5.
#include <algorithm>
#include <cmath>

#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "turbulence/turbulence.h"

namespace qorva {

namespace {

bool hasWallFace(int c) {
  return Fflagflow[Cflatee[c]] == -1 || Fflagflow[Cflatew[c]] == -1 ||
         Fflagflow[Cflaten[c]] == -1 || Fflagflow[Cflates[c]] == -1 ||
         Fflagflow[Cflatet[c]] == -1 || Fflagflow[Cflateb[c]] == -1;
}

// Production of cell c into Csource; the wall laws set the cells with a wall face.
void production(int c) {
  if (hasWallFace(c)) {
    Csource[c] = 0;
    return;
  }
  double g[3][3];
  velocityGradients(c, g);
  const double ux = g[0][0], uy = g[0][1], uz = g[0][2];
  const double vx = g[1][0], vy = g[1][1], vz = g[1][2];
  const double wx = g[2][0], wy = g[2][1], wz = g[2][2];
  const double S2 = 2 * (ux * ux + vy * vy + wz * wz) + (uy + vx) * (uy + vx) +
                    (uz + wx) * (uz + wx) + (vz + wy) * (vz + wy);
  const double V = Cvol[c];

  if (TurbDensFlag <= 0) {
    if (FlagKatoLaunder == 0) {
      Csource[c] = Cgamma[c] * V * S2;
    } else if (FlagKatoLaunder == 1) {
      const double O2 =
          (vx - uy) * (vx - uy) + (wx - uz) * (wx - uz) + (wy - vz) * (wy - vz);
      Csource[c] = Cgamma[c] * V * std::sqrt(std::fabs(S2 * O2));
    }
    return;
  }

  double P = V * S2;
  const int below = Ccellb[c], above = Ccellt[c];
  const double B = densityDamp(below > 0 ? below : c, above > 0 ? above : c);
  if (Equation == 5 && (TurbDensFlag == 4 || TurbDensFlag == 6)) {
    double Bp = std::min(B, 0.0) * V;
    Bp = std::max(Bp, -coeffTurbFlag5 * P);
    Bp = std::max(Bp, -0.001 * P);
    P += Bp;
  } else if (Equation == 5 && TurbDensFlag == 5) {
    const double Bn = std::min(B * V, 0.0);
    const double X = P + Bn;
    const double N = X >= 1e-20 ? X * X : 1e-40;
    const double Y = P + coeffTurbC3e * Bn;
    double D;
    if (Y >= 1e-20)
      D = std::max(Y * std::max(P, 1e-20), 1e-40);
    else if (P > 1e-20)
      D = std::max(1e-20 * P, 1e-40);
    else
      D = 1e-40;
    if (CdampDensity) CdampDensity[c] = std::max(0.001, std::pow(N / D, coeffTurbFlag5));
  } else if (Equation == 6 && TurbDensFlag == 6) {
    P += std::min(B, 0.0) * V * coeffTurbC3e;
  }
  Csource[c] = Cgamma[c] * P;
}

// Dissipation sink into Cap and the epsilon (omega) source from the production.
void sinks(int c) {
  const double k = Ckinen[c], eps = Cepsilon[c], V = Cvol[c];
  const double r = eps / (k + 1e-20);
  const int m = TurbulenceModel;
  if (Equation == 5) {
    Cap[c] = m == 16 ? 1000 * 0.09 * eps * V : 1000 * V * r;
  } else if (Equation == 6) {
    if (m == 15 || m == 16) {
      Cap[c] = 1000 * 0.072 * eps * V;
      Csource[c] *= 0.52 * eps / (k + 1e-20);
    } else if (m == 1) {
      // RNG: eta = S k / epsilon with S from the production; a cell without production or
      // viscosity has eta 0.
      const double gv = Cgamma[c] * V;
      const double eta =
          gv > 0 && Csource[c] > 0 ? std::sqrt(Csource[c] / gv) * k / (eps + 1e-20) : 0.0;
      const double eta3 = eta * eta * eta;
      const double C2 = 1.68 + 0.0845 * eta3 * (1 - eta / 4.38) / (1 + 0.012 * eta3);
      Cap[c] = C2 * 1000 * V * r;
      Csource[c] *= 1.42 * r;
    } else {
      Cap[c] = EpsilonCs2 * 1000 * V * r;
      Csource[c] = EpsilonCs1 * 1.3 * r * Csource[c];
    }
  }
}

}  // namespace

void turbulence(int first, int last) {
  if (TurbulenceModel >= 2 && TurbulenceModel <= 7) return;
  first = std::max(first, 1);
  for (int c = first; c <= last; ++c) production(c);
  if (FlagTurbDLL > 0) return;
  if (Equation != 5 && Equation != 6) return;
  for (int c = first; c <= last; ++c) sinks(c);
}

}  // namespace qorva
