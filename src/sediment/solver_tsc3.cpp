// The layered-bed concentration solver (F 37 3): each sweep takes, at every bed cell, the
// erosion flux of each size from the sediment available within the active depth below the bed
// surface, solves every size with those fluxes as sources of the bottom cells, and then turns
// deposition minus erosion into the bed change of the step so far, which moves the active depth
// of the next sweep. Reads the assembled per-size equations, Bsource, Bconc, the layer stacks,
// cohesive, Bcohesion, fallvelo, gsize, Ckinen and F 4, F 78, F 106, F 304, F 385, F 441, F 447;
// writes Cconc, Csourcem, Bupflux, Bedmove, Bbedchange, Barmourthick, SumBedChangeLoc,
// SumBedChange, Cf and mc_message.
#include <algorithm>
#include <array>

#include "bed/bed.h"
#include "sediment/sediment_loop.h"
#include "solvers/solvers.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_f100_149.h"
#include "state/options_f300_349.h"
#include "state/options_f350_399.h"
#include "state/options_f400_449.h"
#include "state/sediment_run.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// Room for every size a run may have, indexed 1..lnumber.
using PerSize = std::array<double, 52>;

double layerThickness(int layer, int b) { return BSedDistrib[layer][0][b]; }

// Total thickness of the stack of bed cell b.
double stackThickness(int b) {
  double T = 0;
  for (int j = BlayerTop[b]; j >= 0; --j) T += layerThickness(j, b);
  return T;
}

// The erosion fluxes of every size at bed cell b (with bottom cell c) into the sources of c.
void erosionFluxes(int b, int c, double ta) {
  const double T = stackThickness(b);
  const double depth =
      FlagArmourDepth == 0 ? std::max(Bedmove[b] - ta, -T) : std::max(computeArmourDepth(ta, b), -T);
  PerSize avail{};
  computeAvailableFraction(b, avail.data(), depth);
  double S = 0;
  for (int l = 1; l <= lnumber; ++l) S += avail[l];
  const bool eroding = Bedmove[b] < 0;
  const double shear = 300.0 * Ckinen[c];
  const bool cohesiveBed = FlagCohesion == 2 && Bcohesion && Bcohesion[BlayerTop[b]][b] > shear;
  for (int l = 1; l <= lnumber; ++l) {
    const double C = Cconc[l][c];
    const double W = Faz[Cflateb[c]] * fallvelo[l] * 1000.0;
    double M = avail[l] * Barea[b] * 1000.0 / TimeStep;
    M = FlagMaxFlux == 1 ? M + C * W : std::max(M, C * W);
    if (eroding && ((cohesive[l] > 1e-10 && cohesive[l] > shear) || cohesiveBed)) M = 0;
    double ce = avail[l] / (S + 1e-30) * Bconc[l][b];
    if (FlagBedVer > 0) {
      ce = std::max(ce, C);
      if (FlagBedVer != 1) ce = std::min(ce, Bconc[l][b]);
    }
    double e = std::min(M, W * ce);
    if (e < 1e-30) e = 0;
    Csourcem[l][c] = Bsource[l][b] + e;
    Bupflux[l][b] = e;
  }
}

void cutSmall(const Row1<double>& C) {
  for (int c = WCStart; c <= WCEnd; ++c)
    if (C[c] < 1e-30) C[c] = 0;
}

}  // namespace

double computeArmourDepth(double ta, int b) {
  const int k = BlayerTop[b];
  const double move = Bedmove[b], d1 = gsize[1];
  auto sizeDepth = [&](int l) {
    return (gsize[l] - Bbedchange[l][b]) * 0.5 / (BSedDistrib[k][l][b] + 0.05);
  };
  double D;
  switch (FlagArmourDepth) {
    case 0: D = ta - move; break;
    case 1: D = d1 - move; break;
    case 2: D = std::max(-move, d1); break;
    case 3: D = std::max(-move, ta); break;
    case 4: D = (d1 - Bbedchange[1][b]) * 0.5; break;
    // With one size the second size's term does not exist.
    case 5: D = lnumber >= 2 ? std::min(sizeDepth(1), sizeDepth(2)) : sizeDepth(1); break;
    case 6: D = d1; break;
    case 8: D = k >= 0 ? layerThickness(k, b) : 0.0; break;
    case 9:
      D = k >= 0 ? layerThickness(k, b) : 0.0;
      if (k >= 1) D += layerThickness(k - 1, b);
      break;
    default: D = ta; break;
  }
  if (!(D > 0)) D = 0;
  if (k < 1) {
    Barmourthick[b] = k;
  } else {
    Barmourthick[b] = 0;
    double sum = 0;
    for (int j = k; j >= 1; --j) {
      sum += layerThickness(j, b);
      if (sum > D) {
        Barmourthick[b] = j;
        break;
      }
    }
  }
  return -D;
}

void morphology_tsc_solver_tsc3_standard() {
  const double ta = sedloop::activeLayerThickness();
  for (int b = WBStart; b <= WBEnd; ++b) {
    Bedmove[b] = 0;
    for (int l = 1; l <= lnumber; ++l) Bupflux[l][b] = 0;
  }
  const bool perSize = BedLoadVectorFlag >= 5 && BedLoadVectorFlag <= 9;
  for (int s = 0; s < iter_morph; ++s) {
    mc_message = strf("Iter, %d   ", s);
    for (int b = WBStart; b <= WBEnd; ++b)
      if (Bcellt[b] > 0) erosionFluxes(b, Bcellt[b], ta);
    for (int l = 1; l <= lnumber; ++l) {
      if (BedLoadVectorFlag == 1 && s == 1) BedVectorSourceCalc(l);
      Cf.point(Cconc[l]);
      if (perSize)
        solver2m(l);
      else
        solver2(l);
      cutSmall(Cconc[l]);
    }
    SumBedChangeLoc = 0;
    for (int b = WBStart; b <= WBEnd; ++b) computeBedmove(b);
  }
  SumBedChange += SumBedChangeLoc;
}

}  // namespace qorva
