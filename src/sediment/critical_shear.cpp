// Critical bed shear of a grain size: the Shields value (a constant coefficient or a Shields
// curve of the particle Reynolds number), the hiding/exposure factor of mixtures, the bed-slope
// factor and the cohesion. Reads gsize, BSedDistrib, BlayerTop, Bcohesion, BrooksUp..Limit,
// Fvx, Fvy, Fvz, Cflateb, the neighbour links, Cidist, Cjdist, Cxvel, Cyvel and the options of
// F 11, F 84, F 106, F 109, F 131, F 169, F 182, F 204, F 251, F 274, F 330, F 385, F 411;
// writes BedCritTanSlopeUp, BedCritTanSlopeDown, BedCritMinDamp under F 274 above 1.
#include <algorithm>
#include <cmath>

#include "grid/grid.h"
#include "sediment/capacity.h"
#include "state/bedcells.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_f100_149.h"
#include "state/options_f150_199.h"
#include "state/options_f200_249.h"
#include "state/options_f250_299.h"
#include "state/options_f300_349.h"
#include "state/options_f400_449.h"
#include "state/options_g.h"
#include "state/options_snihl.h"
#include "state/surfaces.h"

namespace qorva::capacity {

double shieldsCurve(int curve, double R) {
  if (curve == 0) {
    if (R > 500) return 0.0624927;
    if (R < 0.2) return 0.6;
    const double x = std::log10(R);
    return std::pow(10.0, -0.99863612 - 0.92539586 * x + 0.54283631 * x * x -
                              0.084544063 * x * x * x);
  }
  R = std::clamp(R, 0.01, 100000.0);
  const double tail = 1 - 0.699 * std::exp(-0.015 * R);
  switch (curve) {
    case 1: return 0.075 / (R + 0.5) + 0.03 * tail;
    case 2: return 0.028 / (R + 1.2) + 0.075 * tail;
    default: return 0.188 / (R + 1) + 0.0475 * tail;
  }
}

double slopeFactor(int variant, double th, double cosA, double ct, double up, double minDamp) {
  switch (variant) {
    case 1:
    case 2:
    case 3:
    case 4: {
      const double s1 = -std::sin(th) * cosA * ct;
      const double t = std::tan(th) * ct, c = std::cos(th);
      const double s2 = (1 - t * t) * c * c + s1 * s1;
      const double root = s2 < 0.01 ? 0.1 : std::sqrt(s2);
      return std::max(s1 + root, minDamp);
    }
    case 5:
    case 6: {
      const double phi = std::atan(1 / ct), a = std::fabs(cosA);
      const double K = 0.954 * std::pow(std::max(0.0, 1 - th * a / phi), 0.745) *
                       std::pow(std::max(0.0, 1 - (1 - a) * th / phi), 0.372);
      return std::min(std::max(K, minDamp), 1.0);
    }
    case 7:
    case 8:
      return std::max(std::cos(th) * std::sqrt(std::max(0.0, 1 - ct * std::tan(th))), minDamp);
    case 9:
    case 10: {
      const double x = 1 - th / std::atan(up);
      const double K = x <= 0 ? (minDamp >= 0 ? minDamp : 0.0) : std::max(std::pow(x, 0.372), minDamp);
      return std::min(K, 1.0);
    }
    default: return 1.0;
  }
}

namespace {

// Calls f(m) for the bed layers from the top one down that the hiding of a layered bed takes:
// down to the layer where their thickness passes TopThickness, never layer 0.
template <class F>
void hidingLayers(int b, F f) {
  double T = 0;
  for (int m = BlayerTop[b]; m >= 1; --m) {
    f(m);
    T += BSedDistrib[m][0][b];
    if (T > TopThickness || m - 1 == 0) break;
  }
}

// Hiding/exposure factor of grain size d; 1 where the bed holds no material to hide behind.
double hidingFactor(const BedCell& x, double d) {
  const double p = HideExParam;
  const bool layered = NoBedLayers > 2;
  if (FlagHideEx == 2) {
    double ref = x.d50;
    if (layered) {
      double T = 0, S = 0;
      hidingLayers(x.b, [&](int m) {
        double mean = 0;
        for (int j = 1; j <= lnumber; ++j) mean += BSedDistrib[m][j][x.b] * gsize[j];
        T += BSedDistrib[m][0][x.b];
        S += BSedDistrib[m][0][x.b] * mean;
      });
      ref = S / (T + 1e-30);
    }
    return ref > 0 ? std::pow(d / ref, p) : 1.0;
  }
  if (FlagHideEx == 4) {
    double A = 0, B = 0;
    auto add = [&](double w, auto fraction) {
      for (int j = 1; j <= lnumber; ++j) {
        const double g = gsize[j];
        A += w * fraction(j) * d / (g + d);
        B += w * fraction(j) * g / (g + d);
      }
    };
    if (layered)
      hidingLayers(x.b, [&](int m) {
        add(BSedDistrib[m][0][x.b], [&](int j) { return BSedDistrib[m][j][x.b]; });
      });
    else
      add(1.0, [&](int j) { return x.f[j]; });
    return A > 0 && B > 0 ? std::pow(A / B, p) : 1.0;
  }
  return 1.0;
}

// Slope angle of the bed averaged over sizeBedCritCorr along the bed rows through c: the
// half-width-weighted mean of the bed normals' vertical parts.
double averagedSlope(int c) {
  double S = 0, len = 0;
  auto walk = [&](int start, const Table1<int>& next, const Table1<double>& half) {
    double L = 0;
    for (int e = start, n = 0; e > 0 && n <= NoCells; e = next[e], ++n) {
      S += Fvz[Cflateb[e]] * half[e];
      L += 2 * half[e];
      if (L >= sizeBedCritCorr) break;
    }
    len += L / 2;
  };
  walk(c, Ccellw, Cidist);
  walk(Ccelle[c], Ccelle, Cidist);
  walk(c, Ccells, Cjdist);
  walk(Ccelln[c], Ccelln, Cjdist);
  return std::acos(std::clamp(S / (len + 1e-20), -1.0, 1.0));
}

// The bed-slope factor of F 182 for bed cell x, 1 when no variant acts on it.
double bedSlopeFactor(const BedCell& x, bool& acts) {
  acts = false;
  const int v = FlagBedslopeCorrection;
  if (v < 1 || v > 10) return 1.0;
  if (v % 2 == 0 && !x.bank) return 1.0;
  if (BSedDistrib[1][0][x.b] + BSedDistrib[0][0][x.b] <= gsize[1]) return 1.0;
  acts = true;
  const int f = Cflateb[x.c];
  const double nz = std::clamp(Fvz[f], -1.0, 1.0);
  double th = std::acos(nz);
  const double cosA = dotproduct(Fvx[f], Fvy[f], Cxvel[x.c], Cyvel[x.c]);
  if (v <= 2) {
    if (FlagBedAngles > 1) {
      BedCritTanSlopeUp = BrooksUp[x.b];
      BedCritTanSlopeDown = BrooksDown[x.b];
      BedCritMinDamp = BrooksLimit[x.b];
    }
    if (sizeBedCritCorr >= 1e-7) th = averagedSlope(x.c);
  }
  const double w = (1 + cosA) / 2;
  const double ct = (1 - w) * BedCritTanSlopeUp + w * BedCritTanSlopeDown;
  return slopeFactor(v, th, cosA, ct, BedCritTanSlopeUp, BedCritMinDamp);
}

}  // namespace

Critical criticalShear(const Constants& k, const BedCell& x, int l) {
  Critical cr;
  const double d = gsize[l], s = density;
  const double ustar = std::sqrt(x.tau * 0.001);
  double tc0 = k.tc0, thc = 0;
  if (shieldscoeff <= 0) {
    thc = shieldsCurve(FlagShields, ustar * d / 1e-6);
    tc0 = thc * (s - 1) * 9810;
  }
  cr.tc = d * tc0 + 1e-20;
  if (BedLoadFlag == 7) {
    const double thc50 = shieldsCurve(0, ustar * x.d50 / 1e-6);
    cr.tc = (s - 1) * thc50 * x.d50 * 9810 + 1e-20;
  }
  if (lnumber > 1) cr.hf = hidingFactor(x, d);
  cr.tc *= cr.hf;

  bool acts = false;
  cr.K = bedSlopeFactor(x, acts);
  if (acts) cr.tc = tc0 * d * cr.K * cr.hf + 1e-20;

  if (l < static_cast<int>(cohesive.size()) && cohesive[l] > 1e-10) cr.tc += cohesive[l];
  if (FlagCohesion > 0 || NoCohesiveDepth > 0) cr.tc += Bcohesion[x.L][x.b];
  if (BankCohesion > 1e-20 && x.bank) cr.tc += BankCohesion;
  return cr;
}

}  // namespace qorva::capacity
