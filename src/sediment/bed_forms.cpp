// Bed-form height and bed roughness of a bed cell: the equilibrium height of F 476 from the
// transport stages, its adaptation in time (F 103 2), the roughness from d90, the bed forms and
// the thickness of the movable bed (F 90, F 103), and the smoothing of the roughness (F 460).
// Reads BSedDistrib, Bconc, Bd90, pointbed, the block table and TimeStep; writes
// Bedformheight and Broughness.
#include <algorithm>
#include <cmath>
#include <vector>

#include "sediment/capacity.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_f100_149.h"
#include "state/options_f350_399.h"
#include "state/options_f450_499.h"
#include "state/options_g.h"
#include "state/structured.h"

namespace qorva::capacity {

namespace {

// Thickness of the movable bed: the top layer and layer 0.
double movableThickness(const BedCell& x) {
  return BSedDistrib[x.L][0][x.b] + BSedDistrib[0][0][x.b];
}

// Roughness of F 90 and F 103 from the bed-form height H; false for the combinations that
// leave it as it is.
bool roughnessOf(const BedCell& x, double H, double& ks) {
  const int fr = FlagRoughness, f2 = Flag2BedRoughness;
  if (fr < 2 || fr > 6 || f2 < 0 || f2 > 3) return false;
  const double d90 = x.d90, t = movableThickness(x), coeff = coeffRoughRijn;
  const double kg = coeff * d90;
  const double kd = d90 * coeff + 1.1 * H * (1 - std::exp(-25 * H / (7.3 * x.h)));
  // Where the movable bed is thinner than its grains the roughness comes from the wall.
  double thin = 0;
  if (f2 == 1)
    thin = XksWall;
  else if (f2 == 3)
    thin = std::max(XksWall, coeff * t);
  else
    thin = std::max(std::min(d90, XksWall), coeff * t);
  if (fr == 2)
    ks = t <= d90 ? thin : kg;
  else
    ks = d90 < t ? kd : thin;
  return true;
}

}  // namespace

double equilibriumBedForm(const BedCell& x, double stages) {
  const double h = x.h, dm = x.dm;
  if (FlagDuneFormula == 0 || FlagDuneFormula == 1) {
    const double Tm = stages / lnumber;
    double He = Tm <= 25
                    ? 0.11 * h * std::pow(dm / h, 0.3) * (1 - std::exp(-0.5 * Tm)) * (25 - Tm)
                    : 0.0;
    if (FlagDuneFormula == 0) {
      He = std::min(He, movableThickness(x) / 2);
      He = std::min(He, 3 * h);
    }
    return He;
  }
  // Karim's form, 2 and 3 (the reader refuses other values).
  const double F = x.r / std::sqrt(9.81 * h), F2 = F * F;
  const double S = std::max(0.0, x.tau / (9810 * h) - 0.0168 * std::pow(dm / h, 0.33) * F2);
  return h * std::min(2.0, std::pow(std::pow(6.28 * F2, 1.2) * S / (KarimCoeff * F2), 0.73));
}

void bedFormAndRoughness(const BedCell& x, double stages) {
  const int b = x.b;
  const double He = equilibriumBedForm(x, stages);
  double H = He;
  if (Flag2BedRoughness == 2) {
    // The bed forms move toward their equilibrium by the share of half a dune (length 7.3 h)
    // that the bed material passing in one step makes up.
    double P = 0;
    for (int l = 1; l <= lnumber; ++l) P += Bconc[l][b] * x.f[l];
    const double q = P * 2 * x.zc * x.uc * TimeStep / (0.5 * 7.3 * He * x.h + 1e-30);
    if (q < 1) H = He - (He - Bedformheight[b]) * (1 - q);
  }
  Bedformheight[b] = H;
  double ks = 0;
  if (roughnessOf(x, H, ks)) Broughness[b] = ks;
}

void smoothRoughness() {
  const int mode = FlagSmoothKs;
  if (mode != 1 && mode != 2) return;
  for (int n = 1; n <= NoBlocks; ++n) {
    const GridBlock& k = block[n];
    if (k.inwork != 1) continue;
    const int first = k.bcellstart, last = k.bcellend;
    if (k.j1 == k.j2) {
      if (last - first < 2) {
        if (mode == 2 && last > first) Broughness[first] = Broughness[first + 1];
        continue;
      }
      if (mode == 1) {
        std::vector<double> old(static_cast<std::size_t>(last - first + 1));
        for (int b = first; b <= last; ++b) old[b - first] = Broughness[b];
        for (int b = first + 1; b <= last - 1; ++b) {
          const double mean = 0.33333 * (old[b - first - 1] + old[b - first] + old[b - first + 1]);
          if (mean > 1e-20) Broughness[b] = mean;
        }
      } else {
        for (int b = first + 1; b <= last - 1; ++b)
          Broughness[b] = 0.33333333 * (Broughness[b - 1] + Broughness[b] + Broughness[b + 1]);
        for (int b = last - 1; b >= first + 2; --b)
          Broughness[b] = 0.33333333 * (Broughness[b - 1] + Broughness[b] + Broughness[b + 1]);
        Broughness[first] = Broughness[first + 1];
      }
      continue;
    }
    if (mode != 2 || k.j2 < k.j1) continue;
    auto ks = [](int i, int j) -> double& { return Broughness[pointbed[i][j]]; };
    auto smooth = [&](int i, int j) {
      if (pointbed[i][j] < 1) return;
      ks(i, j) = 0.125 * (4 * ks(i, j) + ks(i + 1, j) + ks(i - 1, j) + ks(i, j + 1) + ks(i, j - 1));
    };
    for (int i = k.i1 + 1; i <= k.i2 - 1; ++i)
      for (int j = k.j1 + 1; j <= k.j2 - 1; ++j) smooth(i, j);
    for (int i = k.i2 - 1; i >= k.i1 + 1; --i)
      for (int j = k.j2 - 1; j >= k.j1 + 1; --j) smooth(i, j);
  }
}

}  // namespace qorva::capacity
