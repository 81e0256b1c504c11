// Neighbour weights and wanted level differences of the water-level equations, and the column
// look-ups their builders share. Reads Cpres, Czcenter, Ckdist, Cxvel, Cyvel, Cxcenter,
// Cycenter, Fflux, Farea, the cell links and the options of F 36, F 278, F 154, F 406, F 351,
// F 246, F 477; writes the pinned rows of Cap and Csource (pinToLevel).
#include <algorithm>
#include <cmath>

#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "surface/level_equations.h"
#include "surface/worked_blocks.h"

namespace qorva {

namespace {


double sat(double x) { return std::min(std::max(x, 0.0), 1.0); }
double T(double x) { return 0.5 * (std::tanh(x) + 1); }

// c' of the base forms: small positive cosines count with their square.
double bent(double c) { return c < 0.1 ? 10 * c * c : c; }
// Upstream part of the base forms for supercritical flow.
double upstream(double c) { return c <= -0.2 ? -c : 5 * c * c; }

// F 278 0: downstream neighbours for subcritical flow, upstream ones for supercritical flow;
// F 36 7 fades both out towards critical flow.
double baseWeight(double c, double Fr) {
  if (FlagTFS == 7) {
    if (Fr > 1 && c < 0) return Fr < 2 ? upstream(c) * (Fr - 1) : upstream(c);
    if (Fr < 1 && c > 0) return (Fr < 0.75 ? bent(c) * (4 - 4 * Fr) : bent(c)) + 0.03;
    return 0;
  }
  if (Fr > 1 && c < 0) return Fr * upstream(c);
  if (Fr < 1 && c > 0) return 0.03 + bent(c) / Fr;
  return 0;
}

// F 278 13 to 18: a smooth downstream step, raised near and below critical flow.
double smoothStepWeight(double c, double Fr) {
  const int v = FlagTFS3;
  double r = v == 18 ? T(10 * (-c - 0.1)) : T(-20 * c);
  if (v == 14) return std::max(r, 1 / (Fr + 0.1));
  if (c <= 0) return r;
  if (v == 13) {
    if (Fr > 0.9 && Fr < 1.1) return std::max(r, 5 * (1.1 - Fr));
    if (Fr < 0.9) return std::max(r, 1 / (Fr + 0.1));
    return r;
  }
  if (v == 15) {
    const double L = solverFroudeLimit;
    if (Fr > 1 && Fr < L) return std::max(r, (L - Fr) / (L - 1 + 1e-8));
    if (Fr < 1) return std::max(r, 1.1 / (Fr + 0.1));
    return r;
  }
  if ((v == 16 || v == 18) && Fr > 1 && Fr < 1.1) r = std::max(r, 10 * (1.1 - Fr));
  else if (Fr < 1) r = std::max(r, 1.1 / (Fr + 0.1));
  return r;
}

double rampWeight(double c, double Fr) {
  const double m = 5 * std::max(0.2 - c, 1.2 - Fr);
  double r = m > 0 ? std::min(m, 1.0) : 0.0;
  if (FlagTFS3 == 20 && Fr < 1 && c > -0.1)
    r = std::max(r, 1.1 / (Fr + 0.1) * std::min(1.0, 5 * (c + 0.1)));
  return r;
}

double variantWeight(double c, double Fr) {
  switch (FlagTFS3) {
    case 1: return std::max((1 - Fr) * c, 0.0);
    case 2: {
      const double p = (1 - Fr) * c;
      return p > 0 ? p + 0.1 : 0.1;
    }
    case 3: return std::max((1.3 - Fr) * c, 0.0);
    case 4: return std::max((2 - Fr) * c, 0.0);
    case 5:
    case 9: return 1;
    case 6: return c >= -0.1 ? 1 : 0;
    case 7:
      if (c > -0.1 && Fr < 2) return std::min(2 - Fr, 1.0);
      if (c < -0.5 && Fr > 2) return c * c * (Fr - 1);
      return 0;
    case 8: return (Fr > 1 && c < 0) || (Fr < 1 && c > 0) ? 1 : 0;
    case 10: return 10 * sat(Fr - 0.2) + std::max(c, 0.0);
    case 11: return 10 * sat(Fr - 0.2) + std::max(c, 0.0) + 100 * sat(Fr - 1) * std::max(-c, 0.0);
    case 12: return Fr > 1 && c < 0 ? 0 : 10 * sat(Fr - 0.2) + std::max(c, 0.0);
    case 19:
    case 20: return rampWeight(c, Fr);
    case 21: return std::max(c, 0.0);
    default: return smoothStepWeight(c, Fr);  // 13 to 18
  }
}

double clipSlope(double s) { return std::clamp(s, -Diffslope, Diffslope); }

}  // namespace

void checkLevelWeightOptions() {
  if (FlagTFS3 < 0 || FlagTFS3 > 21)
    failf(1,
          "Error: F 278 %d selects no neighbour weight of the water-level equation; use 0 to "
          "21\n",
          FlagTFS3);
  if (FlagWeightComp < 0 || FlagWeightComp > 2)
    failf(1,
          "Error: F 438 %d selects no flow direction of the water-level equation; use 0, 1 or "
          "2\n",
          FlagWeightComp);
}

double computeCoeffSurf(double c, double Fr) {
  double r = FlagTFS3 == 0 ? baseWeight(c, Fr) : variantWeight(c, Fr);
  if (SurfSmoothFlag == 5) r += SurfSmoothVal;
  return r + AddValTFS7;
}

double computeDhSurf(int nb, int p, double d) {
  double s = (Cpres[p] - Cpres[nb]) / (9810 * d + 1e-20);
  if (FlagScaleFreeSource > 2) s *= scaleBackwater2;
  return clipSlope(s) * d - (topFace(p) - topFace(nb));
}

double computeDhMann(int a, int b, int s, int sign, double d, double M) {
  // A top face without area (a cell squeezed to nothing) must not turn the slope infinite.
  const double area = 0.5 * (Farea[Cflatet[a]] + Farea[Cflatet[b]]) + 1e-20;
  const double q = 0.001 * Fflux[s] / area;
  const double S = q * std::fabs(q) / (M * M * std::pow(Ckdist[a] + Ckdist[b], 1.33333) + 1e-20);
  return clipSlope(sign * S) * d - (topFace(b) - topFace(a));
}

namespace surf {

int link(const Table1<int>& to, int c) {
  if (!isGridCell(c)) return 0;
  const int n = to[c];
  return isGridCell(n) ? n : 0;
}

ColumnFlow columnFlow(int c) {
  ColumnFlow f;
  double s = 0;
  upColumn(c, [&](int k) {
    f.K += Ckdist[k];
    s += (Cxvel[k] * Cxvel[k] + Cyvel[k] * Cyvel[k]) * Ckdist[k];
  });
  f.h = 2 * f.K;
  f.Um = std::sqrt(s / (f.K + 1e-20));
  f.Fr = f.Um / std::sqrt(9.81 * f.h + 1e-20);
  return f;
}

double horizontalDistance(int a, int b) {
  const double dx = Cxcenter[b] - Cxcenter[a], dy = Cycenter[b] - Cycenter[a];
  return std::sqrt(dx * dx + dy * dy);
}

void ninePointNeighbours(int c, int (&nb)[9]) {
  const int n = link(Ccelln, c), w = link(Ccellw, c), s = link(Ccells, c), e = link(Ccelle, c);
  auto corner = [](const Table1<int>& first, int a, const Table1<int>& second, int b) {
    const int x = link(first, a);
    return x != 0 ? x : link(second, b);
  };
  nb[0] = isGridCell(c) ? c : 0;
  nb[1] = n;
  nb[2] = corner(Ccellw, n, Ccelln, w);
  nb[3] = w;
  nb[4] = corner(Ccellw, s, Ccells, w);
  nb[5] = s;
  nb[6] = corner(Ccelle, s, Ccells, e);
  nb[7] = e;
  nb[8] = corner(Ccelle, n, Ccelln, e);
}

void pinToLevel(int bottom, double level) {
  if (!isGridCell(bottom)) return;
  Cap[bottom] = 1e20;
  Csource[bottom] = (level - topFace(topOf(bottom))) * 1e20;
}

}  // namespace surf

}  // namespace qorva
