// The near-bed equilibrium concentration of every grain size in every wet bed cell of the work
// range (task I, and the capacity step of the sediment loop for formula letter R): the bed-cell
// quantities (top layer, bank flag, depth, d90, d50, bed shear and effective shear, velocity
// ratio), then per size the critical shear and the formula of F 84, then bed forms and
// roughness. Reads the block table, the bed-cell and cell arrays and the sediment options;
// writes Bconc, Bd90, Bedformheight, Broughness (and what the shear steps write).
#include <algorithm>
#include <cmath>

#include "grid/columns.h"
#include "grid/grid.h"
#include "sediment/capacity.h"
#include "sediment/sediment.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_f150_199.h"
#include "state/options_f250_299.h"
#include "state/options_f300_349.h"
#include "state/options_f450_499.h"
#include "state/options_f500_534.h"
#include "state/options_g.h"
#include "state/options_kw.h"
#include "state/options_snihl.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

using capacity::BedCell;

double speed(int c) { return std::sqrt(Cxvel[c] * Cxvel[c] + Cyvel[c] * Cyvel[c]); }

// A column beside a column without cells, looked at only inside the column's block.
bool bankColumn(const GridBlock& k, int i, int j) {
  return (i != k.i1 && !wetColumn(i - 1, j)) || (i != k.i2 && !wetColumn(i + 1, j)) ||
         (j != k.j1 && !wetColumn(i, j - 1)) || (j != k.j2 && !wetColumn(i, j + 1));
}

void fractionCheck(const BedCell& x) {
  const int b = x.b, L = x.L;
  auto four = [&](int l) {
    return strf("%lf %lf %lf %lf\n", BSedDistrib[L][l][b], BSedDistrib[L][0][b],
                BSedDistrib[0][l][b], BSedDistrib[0][0][b]);
  };
  double sum = 0;
  for (int l = 1; l <= lnumber; ++l) {
    sum += x.f[l];
    if (x.f[l] > 1.01) {
      logf("Error 1 in concRijn: One size fraction is above unity\n");
      logf("At iteration %d, bed cell %d, cell %d, size %d, 2d index (%d,%d), Top=%d\n", Iter, b,
           x.c, l, x.i, x.j, L);
      logf("BSedDistrib[%d,%d] = %s", l, b, four(l).c_str());
    }
  }
  if ((sum < 0.99 || sum > 1.01) && BSedDistrib[L][0][b] > 1e-15) {
    logf("Error 2 in concRijn. Fractions do not sum up to unity but to %lf\n", sum);
    logf("At iteration %d, bed cell %d, cell no %d, 2d cell no (%d,%d)\n", Iter, b, x.c, x.i, x.j);
    for (int l = 1; l <= lnumber; ++l)
      logf("BSedDistrib[%d], size[%d] = %s", b, l, four(l).c_str());
  }
}

// Mean k and largest k of the existing west, south, north and east neighbours of c.
void neighbourK(int c, double& mean, double& most) {
  double sum = 0;
  int n = 0;
  most = 0;
  for (int e : {Ccellw[c], Ccells[c], Ccelln[c], Ccelle[c]})
    if (e > 0) {
      sum += Ckinen[e];
      most = std::max(most, Ckinen[e]);
      ++n;
    }
  mean = sum / (n + 1e-20);
}

// The bed shear of the bed cell by F 499, F 279, F 459 and F 507; never negative.
double bedShear(const BedCell& x) {
  const int c = x.c, b = x.b;
  double tau = FlagDuneShearPartCross > 0 ? bedshear[x.i][x.j] : 300 * Ckinen[c];
  switch (FlagShearNB) {
    case 1:
      if (Ccellt[c] > 0) tau = std::max(tau, 300 * Ckinen[Ccellt[c]]);
      break;
    case 2:
      if (Faz[Cflateb[c]] < 0.95 * Barea[b])
        for (int e : {Ccellw[c], Ccelle[c], Ccelln[c], Ccells[c]})
          if (e > 0) tau = std::max(tau, 300 * Ckinen[e]);
      break;
    case 4: {
      const int t = topOf(c);
      const double u = Cxvel[t], v = Cyvel[t];
      const int f = Cflatet[t];
      tau = std::max(tau, ((Fvx[f] * u + Fvy[f] * v) / std::sqrt(u * u + v * v + 1e-10)) *
                              Bdepth[b] * 9810);
      break;
    }
    case 5:
      // Manning's shear rho g U^2 / (M^2 h^(1/3)) with the Strickler coefficient M of W 1.
      if (x.bank && Bdepth[b] > 0) {
        const int t = topOf(c);
        const double u2 = Cxvel[t] * Cxvel[t] + Cyvel[t] * Cyvel[t];
        tau = std::min(tau, 9810 * Bdepth[b] * u2 /
                                (std::pow(Bdepth[b], 1.33333) * ManningInit * ManningInit));
      }
      break;
    case 6:
      if (x.bank) {
        auto deeper = [&](int e) { return e > 0 && Bdepth[b] < Bdepth[Cbed[e]]; };
        const int e = Ccelle[c], w = Ccellw[c], s = Ccells[c], n = Ccelln[c];
        if (e == 0 && deeper(w))
          tau = std::min(tau, 300 * Ckinen[w]);
        else if (w == 0 && deeper(e))
          tau = std::min(tau, 300 * Ckinen[e]);
        if (s == 0 && deeper(n))
          tau = std::min(tau, 300 * Ckinen[n]);
        else if (n == 0 && deeper(s))
          tau = std::min(tau, 300 * Ckinen[s]);
      }
      break;
    default: break;
  }
  if (FlagShearSmooth >= 1 && FlagShearSmooth <= 5) {
    double m = 0, most = 0;
    neighbourK(c, m, most);
    switch (FlagShearSmooth) {
      case 1: tau = 0.5 * tau + 0.5 * 300 * m; break;
      case 2: tau = 0.333 * tau + 0.667 * 300 * m; break;
      case 3: tau = 0.2 * tau + 0.8 * 300 * m; break;
      case 4: tau = std::max(tau, 300 * m); break;
      default: tau = std::max(tau, 300 * most); break;
    }
  }
  if (ShearGridCoeff[1] > 1.0) tau *= ShearGridCoeff[std::clamp(ant[x.i][x.j], 1, 10)];
  // A negative k means no shear: the formulas then give no transport.
  return tau > 0 ? tau : 0.0;
}

// The shear that moves the grains past the bed forms of the previous call (F 172) and, for
// F 90 4 and 5, the grains' share of the roughness. A bed form reaching half the depth or more
// makes the factor its limit F 172 gives, instead of dividing by zero or less.
double effectiveShear(const BedCell& x) {
  double taue = x.tau;
  const int v = FlagShearBedform;
  if (v >= 1 && v <= 3) {
    const double h = x.h, H = x.H;
    const double rest = v == 1 ? h - (x.d90 + H) / 2 : h - H / 2;
    double q = rest > 0 ? h / rest : HUGE_VAL;
    if (v == 3) q = std::max(q - 0.25, 1.0);
    taue *= std::pow(std::max(std::min(q, ShearBedformLim), 0.0), ShearBedformCoeff);
  }
  if (FlagRoughness == 4 || FlagRoughness == 5) {
    const double ks = Croughness[x.c];
    if (ks > 0) taue *= std::pow(std::min(3 * x.d90 / ks, 1.0), 0.25);
  }
  return taue;
}

// Depth-mean speed over the bottom cell's speed, 0.01..20.
double velocityRatio(const BedCell& x) {
  const double uc = speed(x.c);
  if (uc == 0) return 20;
  double sum = 0;
  upColumn(x.c, [&sum](int c) { sum += Ckdist[c] * speed(c); });
  const double r = sum / (x.h / 2) / uc;
  return std::clamp(r, 0.01, 20.0);
}

void bedCellCapacity(const capacity::Constants& k, const GridBlock& blk, int b) {
  const BedCell x = capacity::bedCellOf(k, blk, b);
  double stages = 0;
  capacity::Critical last;
  for (int l = 1; l <= lnumber; ++l) {
    last = capacity::criticalShear(k, x, l);
    Bconc[l][b] = capacity::sizeConcentration(k, x, l, last, stages);
  }
  if (BedLoadFlag == 9 || BedLoadFlag == 11) capacity::rescaleSizes(k, x, last);
  capacity::bedFormAndRoughness(x, stages);
}

// What the loop indexes: every table it reads per bed cell and size, and the shear options
// that would read a table no step fills.
void checkState() {
  if (FlagDuneShearPartCross > 6 && FlagBrenix <= 0)
    failf(1,
          "Error: F 499 %d gives no rule for the bed shear table (1 to 6, or F 189 to fill it)\n",
          FlagDuneShearPartCross);
  if (FlagBrenix > 0 && FlagDuneShearPartCross <= 0)
    failf(1,
          "Error: the bed shear of F 189 is used through the shear table of F 499, which is not "
          "given\n");
  if (lnumber < 1 || lnumber >= capacity::kSizeRoom - 1)
    failf(1, "Error in concRijn: %d sediment sizes, 1 to %d are possible\n", lnumber,
          capacity::kSizeRoom - 2);
  const bool ok = Bcellt && Bkooi && Bkooj && BlayerTop && Bconc && Bd90 && Bedformheight &&
                  Broughness && Bdepth && Barea && BSedDistrib && Bconc.dim(0) > static_cast<std::size_t>(lnumber) &&
                  BSedDistrib.dim(1) > static_cast<std::size_t>(lnumber) && BSedDistrib.dim(0) >= 2 &&
                  zval && ant && pointbed && Ckinen && Cxvel && Cyvel && Ckdist && Croughness;
  if (!ok) failf(1, "Error in concRijn: the bed-cell arrays of the grid do not exist\n");
  const long long beds = static_cast<long long>(
      std::min({Bcellt.size(), Bconc.dim(1), BSedDistrib.dim(2), Bd90.size(), Broughness.size()}));
  for (int n = 1; n <= NoBlocks; ++n) {
    const GridBlock& k = block[n];
    if (k.inwork != 1 || k.bcellstart > k.bcellend) continue;
    if (k.bcellstart < 1 || k.bcellend >= beds)
      failf(1, "Error in concRijn: block %d has the bed cells %d to %d, the tables hold %lld\n", n,
            k.bcellstart, k.bcellend, beds - 1);
  }
}

}  // namespace

namespace capacity {

namespace {

// The diameter at which the cumulative curve of the top layer, built from the finest size up
// with each size's point at the middle of its fraction, passes p; linear in the diameter between
// the two points around it. A curve that never passes p gives the coarsest size for d90, and
// for the median the line through the two coarsest points.
double percentile(const BedCell& x, double p, bool median) {
  const int n = lnumber;
  const double tiny = median ? 1e-30 : 0.0;
  double below = 0;  // fractions of the sizes finer than l
  for (int l = n; l >= 1; --l) {
    const double P = below + x.f[l] / 2;
    if (P > p) {
      if (l == n) return gsize[n];
      const double w = 2 * (P - p) / (x.f[l] + x.f[l + 1] + tiny);
      return w * gsize[l + 1] + (1 - w) * gsize[l];
    }
    below += x.f[l];
  }
  if (!median) return gsize[1];
  const double P1 = below - x.f[1] / 2;
  const double w = 2 * (P1 - p) / (x.f[1] + x.f[2] + tiny);
  return w * gsize[2] + (1 - w) * gsize[1];
}

}  // namespace

void diameters(BedCell& x) {
  if (lnumber == 1) {
    x.d90 = x.d50 = x.dm = gsize[1];
    return;
  }
  x.dm = 0;
  for (int l = 1; l <= lnumber; ++l) x.dm += x.f[l] * gsize[l];
  x.d90 = percentile(x, 0.9, false);
  x.d50 = percentile(x, 0.5, true);
}


BedCell bedCellOf(const Constants& k, const GridBlock& blk, int b) {
  BedCell x;
  x.b = b;
  x.c = Bcellt[b];
  x.i = Bkooi[b];
  x.j = Bkooj[b];
  x.L = NoBedLayers == 2 && FlagTSC != 3 ? 1 : BlayerTop[b];
  if (x.L < 0 || static_cast<std::size_t>(x.L) >= BSedDistrib.dim(0))
    failf(1, "Error in concRijn: bed cell %d has the top layer %d, outside layers 0 to %d\n", b,
          x.L, static_cast<int>(BSedDistrib.dim(0)) - 1);
  for (int l = 1; l <= lnumber; ++l) x.f[l] = BSedDistrib[x.L][l][b];
  fractionCheck(x);
  x.bank = bankColumn(blk, x.i, x.j);
  x.h = depthFrom(x.c);
  diameters(x);
  Bd90[b] = x.d90;
  x.tau = bedShear(x);
  x.H = Bedformheight[b];
  x.taue = effectiveShear(x);
  x.uc = speed(x.c);
  x.zc = Ckdist[x.c];
  if (k.bankSwitch && x.bank) bankFactors(x);
  x.sf = Bsolidfraction ? Bsolidfraction[x.L][b] : SolidFrac;
  const int v = BedLoadFlag;
  if (v == 6 || v == 8 || v == 9 || v == 11 || v == 12 || FlagDuneFormula >= 2)
    x.r = velocityRatio(x);
  return x;
}

}  // namespace capacity

namespace {

// The bed cells of a grid that no step has indexed yet (a flow run that did not need them):
// the index of the present grid, which holds the present flow, so nothing is carried over.
void indexBedCells() {
  if (NoBCells > 0 || NoCells <= 0) return;
  metric();
  const int carry = FlagNeedsToBeInterpolated;
  FlagNeedsToBeInterpolated = 0;
  BedMake();
  FlagNeedsToBeInterpolated = carry;
}

}  // namespace

void concRijn() {
  if (FlagExtraDebug == 1) logf("Start concRijn\n");
  indexBedCells();
  checkState();
  if (FlagZeroGradSedim > 0) computeZeroGradSedim();
  if (FlagDuneShearPartCross > 0) computeBedshear();
  if (outflowFixShear > 1e-20) computeOutflowFix();
  if (FlagBrenix > 0) computeShearBrenix();

  const capacity::Constants k = capacity::constants();
  for (int n = 1; n <= NoBlocks; ++n) {
    const GridBlock& blk = block[n];
    if (blk.inwork != 1) continue;
    for (int b = blk.bcellstart; b <= blk.bcellend; ++b)
      if (Bcellt[b] > 0) bedCellCapacity(k, blk, b);
  }
  if (FlagRoughness > 1) capacity::smoothRoughness();
  if (FlagExtraDebug == 1) logf("End concRijn\n");
}

}  // namespace qorva
