// The equilibrium concentration of one grain size by the formula of F 84: van Rijn's reference
// concentration and bed load, Wu, a linear law, Meyer-Peter-Mueller, Engelund-Hansen and the
// sand-silt-clay mixture, with the exceedance factor of F 90 5, the bank factors and the limit
// of F 256; and the multi-size rescaling of F 84 9 and 11. Reads gsize, fallvelo, Croughness,
// Bcohesion, Bconc and the options of F 6, F 11, F 60, F 83, F 84, F 90, F 110, F 214, F 215,
// F 256, F 385, F 411, F 442, F 500; writes Bconc (rescaling).
#include <algorithm>
#include <cmath>

#include "sediment/capacity.h"
#include "sediment/sediment.h"
#include "state/bedcells.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_f100_149.h"
#include "state/options_f200_249.h"
#include "state/options_f250_299.h"
#include "state/options_f400_449.h"
#include "state/options_f500_534.h"
#include "state/options_g.h"
#include "state/options_snihl.h"

namespace qorva::capacity {

Constants constants() {
  Constants k;
  const double s = density;
  k.tc0 = std::fabs(shieldscoeff) * (s - 1) * 9810;
  // g / nu^2 = 9.81e12 with the viscosity 1e-6 m2/s; the exponent is kept at 0.3333.
  k.Df = std::pow((s - 1) * 9810000000000.0, 0.3333);
  k.sq = std::sqrt((s - 1) * 9.81);
  k.bankSwitch = FlagLEA2 > 0 || FlagLEA3 > 0 || FlagLEA4 > 0 || FlagLEA5 > 0;
  k.cohesionSwitch = BankCohesion > 1e-20 || FlagCohesion > 0;
  return k;
}

namespace {

// Standard normal cumulative distribution (Abramowitz and Stegun 26.2.17), x >= 0.
double normalCdf(double x) {
  const double t = 1 / (1 + 0.2316419 * x);
  const double poly =
      t * (0.319381530 + t * (-0.356563782 + t * (1.781477937 + t * (-1.821255978 + t * 1.330274429))));
  return 1 - 0.3989422804 * std::exp(-x * x / 2) * poly;
}

bool engelundHansenFamily(int v) { return v == 6 || v == 8 || v == 9 || v == 11 || v == 12; }

// Reference concentration of van Rijn at level a, carried to the cell centre along the Rouse
// profile when the reference level lies apart from it (F 60 1).
double referenceConcentration(const Constants& k, const BedCell& x, double d, double ws,
                              double T, double a) {
  double c0 = ConcFormCoeff * d * std::pow(T, ConcFormTstar) /
              (std::pow(k.Df * d, ConcFormDstar) * a);
  if (TSCbedrouse != 1) return c0;
  const double us = std::sqrt(x.tau * 0.001 + 1e-20);
  const double Z = std::min(2.5 * ws / us, HRzmax);
  const double h = x.h, zc = x.zc;
  // A reference level at or above the surface has no profile above it: the factor takes its
  // lower limit.
  auto limited = [&](double base) {
    return std::clamp(std::pow(std::max(base, 0.0), Z), HRmulmin, 1.0);
  };
  if (zc - a > 1e-5) c0 *= limited(((h - zc) / zc) * (a / (h - a)));
  else if (zc - a < -1e-5) c0 /= limited(((h - a) / a) * (zc / (h - zc)));
  return c0;
}

}  // namespace

double grainFactor(double d90, int c) {
  const double ks = Croughness[c];
  if (!(ks > 0)) return 1.0;
  return std::pow(std::min(3 * d90 / ks, 1.0), 0.25);
}

double engelundHansen(const Constants& k, const BedCell& x, double d, double K, double hf,
                      double coeff) {
  if (!(x.tau > 0)) return 0.0;
  const double s = density;
  double D = K * hf * d * (s - 1) * 1000 * 9.81;
  if (k.cohesionSwitch) {
    double cohesion = FlagCohesion > 0 ? Bcohesion[1][x.b] : 0.0;
    if (x.bank && BankCohesion > 1e-20) cohesion += BankCohesion;
    D += 21.3 * cohesion;
  }
  return coeff * x.r * x.r * x.uc * std::sqrt(d / ((s - 1) * 9.81)) * std::pow(x.tau / D, 1.5) /
         (2 * x.zc);
}

double sizeConcentration(const Constants& k, const BedCell& x, int l, const Critical& cr,
                         double& stages) {
  const int v = BedLoadFlag;
  const double d = gsize[l], ws = fallvelo[l], s = density, tc = cr.tc;
  double c0 = 0;
  if (engelundHansenFamily(v)) {
    c0 = engelundHansen(k, x, d, cr.K, cr.hf, EHcoeff);
    if (v == 12 && !(x.tau / tc >= cr.K)) c0 = 0;
  }
  if (v == 7) {
    MixtureInput m;
    m.tau = x.tau;
    m.tc = tc;
    m.d = d;
    m.zc = x.zc;
    m.h = x.h;
    m.Df = k.Df;
    m.ks = Croughness[x.c];
    m.ws = ws;
    m.d50 = x.d50;
    m.sf = x.sf;
    m.fractions = x.f.data();
    c0 = computeConcentrationMelvox(m);
  }

  double X = x.tau - tc, Xe = x.taue - tc;
  if (FlagRoughness == 6) {
    const double g6 = grainFactor(x.d90, x.c);
    X *= g6;
    Xe *= g6;
  }
  if (X > 1e-6) stages += X / tc;
  if (FlagLEA2 > 0 || FlagLEA3 > 0) Xe = x.f1 * x.taue - tc;

  if (Xe <= 1e-6) {
    if (v == 8 || v == 9) c0 = 0;
  } else {
    const double T = Xe / tc, Dstar = k.Df * d;
    const double a = TSCbedrouse == 1 ? std::max({3 * x.d90, x.H / 2, 0.01 * x.h}) : x.zc;
    const double flux = 2 * x.zc * x.uc;  // water flux per unit width of the bottom cell / u
    auto bedLoad = [&] {
      return ConcFormBCoeff * std::pow(d, ConcFormBD50) * std::pow(T, ConcFormBTstar) * k.sq /
             (flux * std::pow(Dstar, ConcFormBDstar) + 1e-20);
    };
    switch (v) {
      case 0: c0 = referenceConcentration(k, x, d, ws, T, a); break;
      case 1: c0 = bedLoad(); break;
      case 2: c0 = referenceConcentration(k, x, d, ws, T, a) + bedLoad(); break;
      case 3: c0 = 0.0053 * std::pow(T, 2.2) * std::sqrt((s - 1) * 9.81 * d * d * d) / flux; break;
      case 4: c0 = T * ConcFormBCoeff; break;
      case 5:
        c0 = std::pow(Xe, 1.5) / ((s - 1) * std::pow(10 * MPMcoeff, 1.5) * 9810 * flux);
        break;
      default: break;
    }
    if (FlagRoughness == 5) c0 *= normalCdf(std::fabs((tc / x.tau - 1) / 0.45));
  }
  if (k.bankSwitch) c0 = c0 * x.f2 + x.a2;
  return std::min(c0, MaxBedConc);
}

void rescaleSizes(const Constants& k, const BedCell& x, const Critical& last) {
  const double target = engelundHansen(k, x, x.d50, last.K, last.hf, 0.05);
  double sum = 0;
  for (int l = 1; l <= lnumber; ++l) sum += Bconc[l][x.b] * x.f[l];
  const double F = std::min(target / (sum + 1e-20), 10.0);
  for (int l = 1; l <= lnumber; ++l) Bconc[l][x.b] *= F;
}

}  // namespace qorva::capacity
