// The second family of concentration solvers (F 37 2): the bottom cell of every water column is
// solved like every other cell, and the bed enters as a source of the bottom cell: the erosion
// rate is the settling flux of the equilibrium concentration, never more than the settling flux
// of the present concentration plus what the active layer can deliver in one step. The erosion
// rate of the last sweep is left in Bsource for the grain sizes of the bed. Reads the assembled
// equations, Bsource, Bconc, the active layer, cohesive, fallvelo, Ckinen and F 4, F 78, F 160,
// F 261, F 304, F 484; writes Cconc, Csource, Csourcem, Bsource, Cf and mc_message.
#include <algorithm>

#include "flow/flow.h"
#include "sediment/sediment_loop.h"
#include "solvers/solvers.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_f100_149.h"
#include "state/options_f250_299.h"
#include "state/options_f300_349.h"
#include "state/options_f450_499.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

void cutSmall(const Row1<double>& C) {
  for (int c = WCStart; c <= WCEnd; ++c)
    if (C[c] < 1e-30) C[c] = 0;
}

// The erosion rates of size l over the bed cells of the range, added to the sources of the
// bottom cells; in the last sweep they replace Bsource.
void erosionRates(int l, bool single, bool last) {
  for (int b = WBStart; b <= WBEnd; ++b) {
    const int c = Bcellt[b];
    if (c < 1) continue;
    const double e = erosionRate(l, b, single);
    if (single)
      Csource[c] = Bsource[1][b] + e;
    else
      Csourcem[l][c] = Bsource[l][b] + e;
    if (last) Bsource[l][b] = e;
  }
}

bool lateralSweep(int s) {
  return (BedLoadVectorFlag == 1 && s == 1) || (BedLoadVectorFlag == 3 && s == iter_morph / 2);
}

}  // namespace

double findSuspFraction(int b) {
  const int c = Bcellt[b];
  if (c < 1) return 1.0;
  double s = 0;
  for (int l = 1; l <= lnumber; ++l)
    if (Bconc[l][b] > 1e-8) s += Cconc[l][c] / Bconc[l][b];
  return s > 0.02 && s < 1 ? 1 / s : 1.0;
}

double erosionRate(int l, int b, bool single) {
  const int c = Bcellt[b];
  const double C = Cconc[l][c];
  const double W = Faz[Cflateb[c]] * fallvelo[l] * 1000.0;
  double R = C * W + activeLayerSupply(l, b, single);
  if (cohesive[l] > 1e-10 && cohesive[l] > 300.0 * Ckinen[c]) R = 0;
  double ce;
  if (single) {
    ce = Bconc[1][b];
  } else {
    ce = BSedDistrib[1][l][b] * Bconc[l][b];
    if (FlagSumFractions == 1) {
      ce *= findSuspFraction(b);
    } else if (FlagSumFractions == 2) {
      const double total = 1e-30 + Cconc[0][c];
      ce = std::max(ce, C / total * Bconc[l][b]);
    } else if (FlagSumFractions == 3) {
      ce = Bconc[l][b];
    }
  }
  if (FlagBedVer > 0) {
    ce = std::max(ce, C);
    if (FlagBedVer != 1) ce = std::min(ce, Bconc[l][b]);
  }
  double e = std::min(R, W * ce);
  if (!single && e < 1e-30) e = 0;
  return e;
}

void morphology_tsc_solver_tsc2_single() {
  for (int s = 0; s < iter_morph; ++s) {
    erosionRates(1, true, s == iter_morph - 1);
    mc_message = strf("Iter, %d   ", s);
    if (BedLoadVectorFlag == 3 && s == iter_morph / 2) BedVectorSourceCalc(1);
    if (FlagCoupledNesting == 12) CoupledSolverNesting();
    Cf.point(Cconc[1]);
    solver();
    cutSmall(Cconc[1]);
  }
  if (FlagCoupledNesting == 2) CoupledSolverNesting();
}

void morphology_tsc_solver_tsc2_multiple() {
  for (int s = 0; s < iter_morph; ++s) {
    mc_message = strf(" Sediment iter %d         ", s);
    for (int l = 1; l <= lnumber; ++l) erosionRates(l, false, s == iter_morph - 1);
    for (int l = 1; l <= lnumber; ++l) {
      if (lateralSweep(s)) BedVectorSourceCalc(l);
      Cf.point(Cconc[l]);
      solver2(l);
      cutSmall(Cconc[l]);
    }
  }
  if (FlagCoupledNesting == 2)
    for (int l = 1; l <= lnumber; ++l) {
      Cf.point(Cconc[l]);
      CoupledSolverNesting();
    }
}

}  // namespace qorva
