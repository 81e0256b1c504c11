// Bank-erosion factors of the equilibrium concentration in a column beside a dry one: a factor
// on the effective shear, a factor on the concentration and an added concentration, acting
// only where the flow turns toward the bank. Reads Cxcenter, Cycenter, Cxvel, Cyvel, the
// neighbour links, Cflateb, Farea, Fvz, Cvol, TimeStep, SolidFrac and F 214 to F 217.
#include <algorithm>
#include <cmath>

#include "grid/columns.h"
#include "sediment/capacity.h"
#include "state/options.h"
#include "state/options_f200_249.h"
#include "state/surfaces.h"

namespace qorva::capacity {

namespace {

constexpr double kPi = 3.141592652;

// tan(be - teta degrees) where that angle is positive, else 0.
double excessSlope(double be, double tetaDegrees) {
  const double angle = be - tetaDegrees * kPi / 180;
  return angle > 0 ? std::tan(angle) : 0.0;
}

}  // namespace

void bankFactors(BedCell& x) {
  x.f1 = x.f2 = 1;
  x.a2 = 0;
  const int c = x.c;
  // c and its eight neighbours around the column; a diagonal one is reached through either of
  // its two sides.
  auto first = [](int a, const Table1<int>& toA, int b, const Table1<int>& toB) {
    const int via = a > 0 ? toA[a] : 0;
    return via > 0 ? via : (b > 0 ? toB[b] : 0);
  };
  const int S = Ccells[c], E = Ccelle[c], N = Ccelln[c], W = Ccellw[c];
  const int cells[9] = {c,
                        S,
                        first(S, Ccelle, E, Ccells),
                        E,
                        first(E, Ccelln, N, Ccelle),
                        N,
                        first(N, Ccellw, W, Ccelln),
                        W,
                        first(W, Ccells, S, Ccellw)};
  int m = 0, mt = 0;
  double Dx = 0, Dy = 0, Ux = 0, Uy = 0, Asum = 0, Ssum = 0, sc = 0;
  for (int k = 0; k < 9; ++k) {
    const int e = cells[k];
    if (e <= 0) continue;
    ++m;
    Dx += Cxcenter[c] - Cxcenter[e];
    Dy += Cycenter[c] - Cycenter[e];
    double u = Cxvel[e], v = Cyvel[e];
    double speed = std::sqrt(u * u + v * v);
    if (Ccellt[e] > 0) {
      ++mt;
      const int t = topOf(e);
      const double ut = Cxvel[t], vt = Cyvel[t];
      speed = 0.5 * std::sqrt(ut * ut + vt * vt) + 0.5 * speed;
      const double s = (u * vt - v * ut) / std::sqrt((u * u + v * v) * (ut * ut + vt * vt) + 1e-20);
      Asum += std::asin(std::clamp(s, -1.0, 1.0));
      u = (u + ut) / 2;
      v = (v + vt) / 2;
    }
    Ux += u;
    Uy += v;
    Ssum += speed;
    if (k == 0) sc = speed;
  }
  if (m == 9) return;
  const double a = mt > 0 ? Asum / mt : 0.0;
  const double sp = (Ux * Dy - Uy * Dx) / (std::sqrt((Dx * Dx + Dy * Dy) * (Ux * Ux + Uy * Uy)) + 1e-30);
  if (a * sp <= 0) return;

  const int f = Cflateb[c];
  const double Af = Farea[f];
  const double be = std::acos(std::clamp(Fvz[f], -1.0, 1.0));
  const double W2 = (std::fabs(a) / 30) * std::fabs(sp);
  if (FlagLEA2 > 0) {
    double P1 = (excessSlope(be, CoeffLEA2_teta) * std::sqrt(Af) + x.h) / (x.h + 1e-30);
    double P2 = (Ssum / m) / (sc + 1e-30);
    if (FlagLEA2 == 2) {
      P1 *= W2;
      P2 *= W2;
    }
    x.f2 = 1 + CoeffLEA2_k4 * P2;
    x.f1 = (1 + CoeffLEA2_k3 * P2 * P2) * (1 + CoeffLEA2_k2 * P1);
  }
  if (FlagLEA3 == 1) x.f1 *= 1 + CoeffLEA3 * std::fabs(std::sin(a));
  if (FlagLEA3 == 2) x.f1 *= 1 + CoeffLEA3 * std::fabs(std::cos(sp));
  if (FlagLEA4 > 0) {
    double add = Af * excessSlope(be, CoeffLEA4_teta) * std::sqrt(Af) * 0.5 / SolidFrac;
    if (FlagLEA4 == 2) add *= W2;
    x.a2 = add / Cvol[c];
  }
  if (FlagLEA5 > 0) {
    double v = excessSlope(be, CoeffLEA5_teta) * CoeffLEA5_Ub * TimeStep * Af / SolidFrac;
    if (FlagLEA4 == 5) v *= W2;
    x.a2 += v / Cvol[c];
  }
}

}  // namespace qorva::capacity
