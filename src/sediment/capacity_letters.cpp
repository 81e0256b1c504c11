// The capacity formulas chosen by the formula letter of F 10 (E Engelund-Hansen, A Ackers-White,
// S Shen-Hung, Y Yang, I Einstein-Brown, M Meyer-Peter-Mueller): per bed cell of the work range
// and size a transport per unit width, turned into the bottom cell's equilibrium concentration
// by dividing by the water flux that a Rouse profile of unit concentration in the bottom cell
// carries over the column; then the bed-form height and the roughness. The total-load formulas
// (A, S, Y) give a concentration of the whole flow, which the depth-mean water flux U h turns
// into a transport. Reads Bcellt, BlayerTop, BSedDistrib, Ckinen, Ckdist, Cxvel, Cyvel, Ccellt,
// Croughness, gsize, fallvelo and F 10, F 11, F 16, F 90, F 103, F 134, F 398; writes Bconc,
// Bd90, Bedformheight, Broughness.
#include <algorithm>
#include <cmath>

#include "grid/columns.h"
#include "sediment/capacity.h"
#include "sediment/sediment.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f100_149.h"
#include "state/options_f350_399.h"
#include "state/options_g.h"
#include "state/options_snihl.h"
#include "state/status.h"

namespace qorva {

namespace capacity {

namespace {

// Messages that would repeat for every bed cell and step are written once per run.
bool ackersWhiteSaid = false, yangSaid = false;

// Yang's critical velocity holds for particle Reynolds numbers from 1.2 on; below that its
// denominator falls to zero and turns negative.
constexpr double kYangLowestR = 1.2;

}  // namespace

void resetLetterWarnings() { ackersWhiteSaid = yangSaid = false; }

double letterTransport(char letter, const LetterInput& in) {
  const double s = density, d = in.d, ws = in.ws, U = in.U, h = in.h, tau = in.tau;
  const double us = in.us, slope = in.slope;
  if (!(tau > 0) || !(us > 0) || !(d > 0)) return 0.0;
  const double th = tau / ((s - 1) * 9.81 * 1000 * d);
  switch (letter) {
    case 'E':
      return 0.05 * U * U * std::sqrt(d / ((s - 1) * 9.81)) * std::pow(th, 1.5);
    case 'M':
      if (tau - in.tc < 0) return 0.0;
      return 0.02578 * (s / (s - 1)) * std::pow(tau - in.tc, 1.5) / (s * 1000);
    case 'I': {
      // Einstein-Brown: Phi = 40 F theta^3 with Rubey's fall factor F.
      const double Kv = 3.6e-11 / (d * d * d * 9.81 * (s - 1));
      const double F = std::sqrt(0.66667 + Kv) - std::sqrt(Kv);
      return 40 * th * th * th * F * std::sqrt((s - 1) * 9.81 * d * d * d);
    }
    case 'A': {
      const double Dgr = d * std::pow((s - 1) * 9.81, 0.33333) * 9999.907897020428;
      double n = 0, Aw = 0.17, m = 1.5, C = 0.025;
      if (Dgr <= 60) {
        const double lg = std::log10(Dgr);
        n = 1 - 0.56 * lg;
        Aw = 0.23 / std::sqrt(Dgr) + 0.14;
        m = 9.66 / Dgr + 1.34;
        C = std::pow(10.0, 2.86 * lg - lg * lg - 3.53);
        if (Dgr < 1) {
          if (!ackersWhiteSaid)
            logf("Ackers/White formula not valid for this situation\n"
                 "  (dimensionless grain size %lf below 1: the exponent n = 1 is used; said once "
                 "per run)\n",
                 Dgr);
          ackersWhiteSaid = true;
          n = 1;
        }
      }
      const double rough = U / (5.656854249492381 * std::log10(10 * h / d));
      const double Fgr = std::pow(us, n) / std::sqrt((s - 1) * 9.81 * d) *
                         std::pow(std::max(rough, 0.0), 1 - n);
      if (!(Fgr / Aw - 1 >= 0)) return 0.0;
      // X: sediment flux over water flux, by weight.
      const double X = C * std::pow(Fgr / Aw - 1, m) * s * d * std::pow(U / us, n) / h;
      return X / s * U * h;
    }
    case 'S': {
      if (!(ws > 0)) return 0.0;
      const double Y = std::pow(U * 3.28 * std::pow(slope, 0.57) / std::pow(ws * 3.28, 0.32), 0.0075);
      const double ppm = std::pow(10.0, -107404.5 + 324214.7 * Y - 326309.6 * Y * Y + 109503.9 * Y * Y * Y);
      return ppm * 1e-6 / s * U * h;
    }
    case 'Y': {
      if (!(ws > 0)) return 0.0;
      double R = us * d / 1e-6;
      if (R < kYangLowestR) {
        if (!yangSaid)
          logf("Yang's formula: the particle Reynolds number u* d / nu = %lg lies below %g, where "
               "its critical velocity is not defined; the critical velocity at %g is used (said "
               "once per run)\n",
               R, kYangLowestR, kYangLowestR);
        yangSaid = true;
        R = kYangLowestR;
      }
      const double Vc = R < 70 ? ws * (2.5 / (std::log10(R) - 0.06) + 0.66) : 2.05 * ws;
      if (U <= Vc) return 0.0;
      const double a = std::log10(ws * d / 1e-6), b = std::log10(us / ws);
      const double lgCt = 5.435 - 0.286 * a - 0.457 * b +
                          (1.799 - 0.409 * a - 0.314 * b) * std::log10((U - Vc) * slope / ws);
      return std::pow(10.0, lgCt) * 1e-6 / s * U * h;
    }
    default:
      return 0.0;
  }
}

}  // namespace capacity

namespace {

double speedOf(int c) { return std::sqrt(Cxvel[c] * Cxvel[c] + Cyvel[c] * Cyvel[c]); }

// Water flux per unit width (m2/s) that a Rouse profile with unit concentration in the bottom
// cell c carries, for Rouse number z = ws / (0.4 u*).
double profileFlux(int c, double h, double z) {
  const double zc = Ckdist[c];
  double q = 0, below = 0;
  upColumn(c, [&](int k) {
    const double zk = below + Ckdist[k];
    q += 2 * Ckdist[k] * speedOf(k) * std::pow(((h - zk) / zk) * (zc / (h - zc)), z);
    below += 2 * Ckdist[k];
  });
  return q;
}

void bedFormAndRoughness(int b, int L, double h, double d90, double dm, double Tm) {
  double He = Tm <= 25 ? 0.11 * h * std::pow(dm / h, 0.3) * (1 - std::exp(-0.5 * Tm)) * (25 - Tm) : 0.0;
  const double t = BSedDistrib[L][0][b] + BSedDistrib[0][0][b];
  He = std::min({He, t / 2, 3 * h});
  Bedformheight[b] = He;
  const double kd = d90 * coeffRoughRijn + 1.1 * He * (1 - std::exp(-25 * He / (7.3 * h)));
  const double kg = coeffRoughRijn * d90;
  const double thin = Flag2BedRoughness == 0 ? std::max(XksWall, coeffRoughRijn * t) : XksWall;
  if (Flag2BedRoughness != 0 && Flag2BedRoughness != 1) return;
  if (FlagRoughness == 2)
    Broughness[b] = t <= d90 ? thin : kg;
  else if (FlagRoughness >= 3 && FlagRoughness <= 6)
    Broughness[b] = d90 < t ? kd : thin;
}

void bedCellLetters(int b, char letter) {
  const int c = Bcellt[b];
  const int L = NoBedLayers == 2 ? 1 : BlayerTop[b];
  capacity::BedCell x;
  for (int l = 1; l <= lnumber; ++l) x.f[l] = BSedDistrib[L][l][b];
  capacity::diameters(x);
  Bd90[b] = x.d90;
  double h = 0, sumU = 0;
  upColumn(c, [&](int k) {
    h += Ckdist[k];
    sumU += speedOf(k) * Ckdist[k];
  });
  const double U = sumU / (h + 1e-30);
  h *= 2;
  double tau = 300 * Ckinen[c] + 1e-20;
  // No shear (or a turbulence model that leaves k negative): nothing moves.
  const bool still = !(Ckinen[c] > 0);
  const double us = still ? 0.0 : std::sqrt(0.001 * tau);
  const double slope = tau / (9810 * h + 1e-20);
  if (FlagRoughness == 4 || FlagRoughness == 5) tau *= capacity::grainFactor(x.d90, c);
  const double s = density;
  double Tsum = 0;
  for (int l = 1; l <= lnumber; ++l) {
    const double d = gsize[l], ws = fallvelo[l];
    const double tc0 = shieldscoeff > 0
                           ? std::fabs(shieldscoeff) * (s - 1) * 9810
                           : (s - 1) * 9810 * capacity::shieldsCurve(0, us * d / 1e-6);
    const double tc = d * tc0 + 1e-20;
    if (still) {
      Bconc[l][b] = 0;
      continue;
    }
    const double q = profileFlux(c, h, ws / (0.4 * us));
    if ((tau - tc) / tc > 0) Tsum += (tau - tc) / tc;
    if (q < 1e-10) {
      Bconc[l][b] = 0;
      continue;
    }
    capacity::LetterInput in;
    in.tau = tau;
    in.us = us;
    in.slope = slope;
    in.tc = tc;
    in.d = d;
    in.ws = ws;
    in.U = U;
    in.h = h;
    const double G = capacity::letterTransport(letter, in);
    if (letter == 'I') {
      // Einstein-Brown is a bed load: it goes into the bottom cell's own flux.
      const double qc = 2 * Ckdist[c] * speedOf(c);
      if (qc <= 1e-20) failf(1, "Einsteins formula not valid for this situation");
      Bconc[l][b] = G / qc;
      continue;
    }
    Bconc[l][b] = G / q;
    if (letter == 'E' && Bconc[l][b] > 2.65) {
      logf("Error Engelund Bconc(%d,%d) = %e\n", l, b, Bconc[l][b]);
      logf("  engelund,konc,eqshear = %e %e %e\n", G, q, tc);
      logf("  velocity,slope,partfroude = %e %e %e\n", U, slope, tau / ((s - 1) * 9.81 * 1000 * d));
    }
  }
  double dm = 0;
  for (int l = 1; l <= lnumber; ++l) dm += x.f[l] * gsize[l];
  bedFormAndRoughness(b, L, h, x.d90, dm, Tsum / lnumber);
}

}  // namespace

void concEngelund() {
  if (lnumber < 1 || lnumber > 49)
    failf(1, "Error in concEngelund: %d sediment sizes, 1 to 49 are possible\n", lnumber);
  const char letter = SedimentFormula;
  for (int b = WBStart; b <= WBEnd; ++b)
    if (Bcellt[b] > 0) bedCellLetters(b, letter);
}

}  // namespace qorva
