// The pressure step of an inner iteration of the main flow driver (Equation 4) with the SIMPLE
// variants of F 171: SIMPLEC factor, pressure predictor from pseudo-velocities, second corrector.
// Reads the coefficient arrays, Fflux, CinvAp, the grid; writes Cf (the pressure correction),
// Cap, Csource, Cpres, the velocities through the corrections, MaxResidual[4], GlobContinuity,
// GlobDefMax, Glob_dmI, otime[10..17].
#include <omp.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "bed/bed.h"
#include "discretisation/discretisation.h"
#include "flow/flow.h"
#include "flow/water_solve.h"
#include "grid/columns.h"
#include "pressure/pressure.h"
#include "solvers/solvers.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "state/team.h"
#include "surface/surface.h"
#include "turbulence/turbulence.h"

namespace qorva {

namespace {

bool transient() { return TimeStep > 1e-8; }

// Wall-clock mark k of the driver's time report (F 1 P): 10 to 17 time the pressure step.
void mark(int k) {
  if (FlagThixoIsComputing == 0) otime[k] = omp_get_wtime();
}

// |fmod(a, b)| < 0.001 on doubles: a is a multiple of b.
bool divisible(double a, double b) { return std::fabs(std::fmod(a, b)) < 0.001; }

// The pressure-correction field: the arrays the drivers' Cf and Cf_old are pointed back to.
void pointAtCorrection() {
  Cf.pointOwn();
  Cf_old.pointOwn();
}

// The mud-flow block is the last block; its first cell must lie in the working range.
bool mudBlockInRange() {
  return NoBlocks >= 1 && block[NoBlocks].thixo > 0 && block[NoBlocks].cellstart < WCEnd;
}

}  // namespace

// Central coefficient of the pressure correction in cells first..last: the sum of the
// neighbour coefficients, with 1 where nothing couples the cell (a floor of 1e-10 there would
// blow its correction up by 1e10) and 1e-10 as the floor elsewhere; F 373 first raises weak
// side coefficients to 0.05 of that sum. Cell by cell, so chunks may run it side by side.
void pressureCentralCells(int first, int last) {
  for (int c = first; c <= last; ++c) {
    const double s = Can[c] + Cas[c] + Cae[c] + Caw[c] + Cat[c] + Cab[c];
    // A sum that is not a number fails both tests and gets the floor.
    Cap[c] = s < 1e-30 ? 1.0 : s > 1e-10 ? s : 1e-10;
  }
  if (FlagPresCorrStab == 1)
    for (int c = first; c <= last; ++c) {
      const double a = 0.05 * Cap[c];
      if (Ccellw[c] > 0 && Caw[c] < a) Caw[c] = a;
      if (Ccells[c] > 0 && Cas[c] < a) Cas[c] = a;
      if (Ccelle[c] > 0 && Cae[c] < a) Cae[c] = a;
      if (Ccelln[c] > 0 && Can[c] < a) Can[c] = a;
      const double s = Can[c] + Cas[c] + Cae[c] + Caw[c] + Cat[c] + Cab[c];
      Cap[c] = s > 1e-10 ? s : 1e-10;
    }
}

bool pressureCentralOptionsOn() {
  return FlagPresMPIboundary == 4 || FlagPresMPIboundary == 5 || FlagPresMPIboundary == 6 ||
         FlagPCalg == 4 || FlagGravity > 0 || (FlagThixoIsComputing == 1 && mudBlockInRange()) ||
         surfaceAlgorithmChosen() || FlagEndCorrect != 0;
}

namespace {

// The boundary lift of F 316 4, 5 and 6.
void boundaryLift() {
  const double lift = FlagPresMPIboundary == 4   ? 1e-6
                      : FlagPresMPIboundary == 5 ? 0.001
                      : FlagPresMPIboundary == 6 ? 1.0
                                                 : 0.0;
  if (lift != 0.0)
    for (int c = WCStart; c <= WCEnd; ++c) Cap[c] += lift;
}

// F 184 4: a lone cell of a column in a corner of the grid (two adjacent sides open) takes at
// least a tenth of the central coefficient of its two neighbours.
void raiseCornerCells() {
  for (int c = WCStart; c <= WCEnd; ++c) {
    if (Ccellt[c] != 0 || Ccellb[c] != 0) continue;
    const int e = Ccelle[c], w = Ccellw[c], n = Ccelln[c], s = Ccells[c];
    auto raise = [c](int a, int b) {
      Cap[c] = std::max(Cap[c], 0.1 * Cap[a]);
      Cap[c] = std::max(Cap[c], 0.1 * Cap[b]);
    };
    if (e == 0) {
      if (s == 0) raise(n, w);
      if (n == 0) raise(w, s);
    }
    if (w == 0) {
      if (s == 0) raise(e, n);
      if (n == 0) raise(e, s);
    }
  }
}

// The storage term of the water surface by F 296. It divides by the time step: a steady run
// has none (its time step is unbounded), as it has no time term in the other equations;
// dividing by its zero step would make Cap infinite and freeze the correction of those cells.
void surfaceStorage() {
  if (FlagTimeSIMPLE == 1) {
    for (int c = WCStart; c <= WCEnd; ++c) Csource[c] = 0.5 * Csource[c];
  } else if ((FlagTimeSIMPLE == 2 || FlagTimeSIMPLE == 3) && FlagTFS != 1 && Bdepth &&
             transient()) {
    const double times = FlagTimeSIMPLE == 3 ? double(TransInnerIter) * IterWaterUpdate : 1.0;
    double s = 0.0;
    for (int c = WCStart; c <= WCEnd; ++c) {
      if (Ccellb[c] == 0) {
        const double depth = Bdepth[Cbed[c]];  // a column without depth stores no water
        s = depth > 0.0 ? times * 2.0 * Faz[Cflateb[c]] / (TimeStep * 9810.0 * depth) : 0.0;
      }
      Cap[c] += s * Ckdist[c];
    }
  } else if (FlagTimeSIMPLE == 4) {
    for (int c = WCStart; c <= WCEnd; ++c)
      if (Ccellt[c] == 0) Cap[c] += Faz[Cflateb[c]] * 9.81 * 1000.0 / relax[4];
  }
}

// The surface damping of a transient run by FlagPresSurfDamp: on every cell (1), on the top
// cells (2), or the top cell's share spread over its column (3).
void surfaceDamping() {
  if (!transient()) return;
  auto damping = [](int c) { return Farea[Cflatet[c]] / (TimeStep * 9.81); };
  if (FlagPresSurfDamp == 1) {
    for (int c = WCStart; c <= WCEnd; ++c) Cap[c] += damping(c);
  } else if (FlagPresSurfDamp == 2) {
    for (int c = WCStart; c <= WCEnd; ++c)
      if (Ccellt[c] == 0) Cap[c] += damping(c);
  } else if (FlagPresSurfDamp == 3) {
    for (int c = WCStart; c <= WCEnd; ++c) {
      if (Ccellt[c] != 0) continue;
      // The share of each cell of the column below the top cell.
      const double share = damping(c) / levelOfCell(c);
      downColumn(c, [share](int x) { Cap[x] += share; });
    }
  }
}

// F 104: lone cells with fewer than two lateral neighbours get the volume term.
void endCells() {
  for (int c = WCStart; c <= WCEnd; ++c) {
    if (Ccellt[c] != 0 || Ccellb[c] != 0) continue;
    const int sides = (Ccelle[c] > 0) + (Ccells[c] > 0) + (Ccelln[c] > 0) + (Ccellw[c] > 0);
    if (sides < 2) Cap[c] += FlagEndCorrect * Cvol[c];
  }
}

}  // namespace

// The terms of the options that read neighbouring cells or whole columns: the boundary lift
// of F 316, the corner-cell raise of F 184 4, the surface conditions, the storage terms of
// the water surface and the end-cell term of F 104. Serial, over the working range, after
// every cell has its central coefficient.
void pressureCentralOptions() {
  boundaryLift();
  if (FlagPCalg == 4) raiseCornerCells();
  if (FlagGravity > 0) presSurfFunction(WCStart, WCEnd);
  if (FlagThixoIsComputing == 1 && mudBlockInRange())
    presSurfFunction(block[NoBlocks].cellstart, block[NoBlocks].cellend);
  if (surfaceAlgorithmChosen()) {
    surfaceStorage();
    surfaceDamping();
  }
  if (FlagEndCorrect != 0) endCells();
}

namespace {

// Serial central coefficient of the pressure correction with its stabilising and free-surface
// terms, then the residual; the correction starts from 0.
void serialCentralCoefficient() {
  pressureCentralCells(WCStart, WCEnd);
  if (pressureCentralOptionsOn()) pressureCentralOptions();
  MaxResidual[4] = 0;
  residual(WCStart, WCEnd);
  for (int c = WCStart; c <= WCEnd; ++c) Cf[c] = 0.0;
}

// Block correction and multigrid of the pressure correction by blockcorr[4] (K 5).
void accelerators(int m, bool multigrid) {
  const int b = blockcorr[4];
  if (multigrid && Flag2DAccSolver > 0 &&
      (b == 10 || (b == 11 && m == 1) || (b == 12 && m == 1 && Iter == 1)))
    AlgMGSolve();
  if (b == 1 || (b == 2 && m == 1) || (b == 3 && m == 1 && Iter == 1)) BlockCorrection();
}

// Cells without a top neighbour take the pressure interpolated between the surface (zero) and
// the centre of the cell below.
void topCellPressure(int first, int last) {
  for (int c = first; c <= last; ++c) {
    const int b = Ccellb[c];
    if (Ccellt[c] == 0 && b > 0) Cpres[c] = Cpres[b] * Ckdist[c] / (2.0 * Ckdist[c] + Ckdist[b]);
  }
}

// A pause of F 156 waits for somebody to release it, which never happens in a batch run: the
// pause is dropped with a note and the computation goes on.
void pausePoint(int point) {
  if (PauseFlag != point) return;
  logf("Pause point %d (F 156) is not available in a batch run; the flow computation goes on\n",
       point);
  PauseFlag = 0;
}

// -(net mass outflow) of cell c from the face fluxes.
double massDefect(int c) {
  return -(Fflux[Cflatee[c]] - Fflux[Cflatew[c]] + Fflux[Cflaten[c]] - Fflux[Cflates[c]] +
           Fflux[Cflatet[c]] - Fflux[Cflateb[c]]);
}

void continuitySums() {
  double sum = 0.0, largest = 0.0;
  int at = 1;
  for (int c = WCStart; c <= WCEnd; ++c) {
    sum += Csource[c];
    const double d = std::fabs(Csource[c]);
    if (d > largest) {
      largest = d;
      at = c;
    }
  }
  GlobContinuity = sum;
  GlobDefMax = largest;
  Glob_dmI = at;
}

// Second corrector of F 171 3: a further correction from the defect the first one left.
void secondCorrector(int m) {
  for (int c = WCStart; c <= WCEnd; ++c) {
    CxvelP[c] -= Cxvel[c];
    CyvelP[c] -= Cyvel[c];
    CzvelP[c] -= Czvel[c];
    Cpres[c] += relaxPressure * Cf[c];
  }
  Equation = 1;
  coeff_make(WFStart, WFEnd);
  Equation = 4;
  for (int c = WCStart; c <= WCEnd; ++c) {
    Csource[c] = massDefect(c);
    Cf[c] = 0.0;
  }
  pressure_coeff();
  pressure_fluxes();
  accelerators(m, true);
  solver();
  SimpleCorrections(m, WFStart, WFEnd, WCStart, WCEnd);
  CorrSimpleCorrections();
  for (int c = WCStart; c <= WCEnd; ++c) Cpres[c] += relaxPressure * Cf[c];
}

// Exchanges 1/Ap and the SIMPLEC factor, so that the pressure coefficients are made from the
// latter (F 171 1).
void swapInvAp() {
  if (CinvAp && CinvApP) std::swap(CinvAp, CinvApP);
}

// ---------------------------------------------------------------------------------------------
// Predictor.

Table1<double>& velocity(int e) { return e == 1 ? Cxvel : e == 2 ? Cyvel : Czvel; }
Table1<double>& predicted(int e) { return e == 1 ? CxvelP : e == 2 ? CyvelP : CzvelP; }

// The sum of the neighbour coefficients into Cap, with the second neighbours of the
// second-order scheme and the multi-neighbour lists of F 137.
void neighbourSum() {
  const bool second = sou[Equation] == 1 && Caee && Caww && Cann && Cass && Catt && Cabb;
  const bool lists = QNFlag > 0 && Cncelle && Cncellw && Cncelln && Cncells && Cqnae && Cqnaw &&
                     Cqnan && Cqnas;
  const int rows = lists ? static_cast<int>(Cqnae.dim(1)) : 0;
  for (int c = WCStart; c <= WCEnd; ++c) {
    Cap[c] += Cae[c] + Caw[c] + Can[c] + Cas[c] + Cat[c] + Cab[c];
    if (second) Cap[c] += Caee[c] + Caww[c] + Cann[c] + Cass[c] + Catt[c] + Cabb[c];
    if (lists) {
      double q = 0.0;
      const std::pair<const Table1<int>*, const Table2<double>*> sides[4] = {
          {&Cncelle, &Cqnae}, {&Cncellw, &Cqnaw}, {&Cncelln, &Cqnan}, {&Cncells, &Cqnas}};
      for (const auto& [count, a] : sides)
        for (int k = 0; k < std::min((*count)[c], rows); ++k) q += (*a)[c][k];
      Cap[c] += sou[Equation] == 1 ? 2.0 * q : q;
    }
  }
}

// Cf, Cf_old and Cf_old2 at velocity e and its earlier time levels.
void pointAtVelocity(int e) {
  Cf.point(velocity(e));
  if (!transient()) return;
  Table1<double>& old = e == 1 ? Cxvel_old : e == 2 ? Cyvel_old : Czvel_old;
  if (old) Cf_old.point(old);
  Table1<double>& old2 = e == 1 ? Cxvel_old2 : e == 2 ? Cyvel_old2 : Czvel_old2;
  if (FlagTimeOrder > 0 && old2) Cf_old2.point(old2);
}

// Wall laws, boundary values and the source terms of velocity equation e, on cleared Cap and
// Csource: everything of the momentum step but the pressure gradient.
void predictorSources(int e) {
  for (int c = WCStart; c <= WCEnd; ++c) Cap[c] = Csource[c] = 0.0;
  wall_laws(WCStart, WCEnd);
  boundary();
  if (FlagDragDLL > 0) extra_source();
  if (FlagDragDune == 1) computeDragDune();
  if (FlagGravity > 0) GravityFunction(e, WCStart, WCEnd);
  if (NoNestflater > 0) nestsource();
  if (Wind[0] > 1e-10 && e != 3) WindFunction(e);
  if (TemperatureFlag == 1 && FlagThermocline == 0) DensityGradients();
  if (FlagThermocline == 1 && e == 3) {
    if (!Ccomp) failf(1, "The thermocline of F 75 needs the water temperature (component 0)\n");
    const double top = waterDensity(Thermocline);
    for (int c = WCStart; c <= WCEnd; ++c)
      Csource[c] += Cvol[c] * 1000.0 * (top - waterDensity(Ccomp[0][c]));
  }
  if (FlagCoriolis == 1) CoriolisFunction();
  // The terms the momentum step takes last, so that the predicted velocities feel them too.
  if (FlagNormStress > 0) computeNormStress(WCStart, WCEnd);
  if (FlagShallowDamp > 0) sourceShallowDamp();
  if (BridgeNo > 0) sourceBridge();
}

// Time term, one-cell term, neighbour sum and relaxation of velocity equation e into Cap and
// Csource; for u also 1/Ap.
void predictorCentral(int e, const Table1<double>& phi) {
  if (TimeRelaxFlag == 0 && transient()) addTimestep(WCStart, WCEnd);
  if (OneCellSource == 1)
    for (int c = WCStart; c <= WCEnd; ++c)
      if (Conecell[c] == 1) Cap[c] += 1000.0 * Cvol[c];
  neighbourSum();
  for (int c = WCStart; c <= WCEnd; ++c) {
    Cap[c] = Cap[c] * invRelaxVelocity;
    Csource[c] += (1.0 - relaxVelocity) * phi[c] * Cap[c];
  }
  if (TimeRelaxFlag != 0 && transient()) addTimestep(WCStart, WCEnd);
  if (e != 1) return;
  // 1/Ap of the whole equation, the late time term included as in the momentum step: the
  // predictor velocity below divides the source, which holds that term, by it.
  for (int c = WCStart; c <= WCEnd; ++c) {
    if (Cap[c] < 1e-30 || Cap[c] > 1e20) printErrorAp(c);
    CinvAp[c] = 1.0 / Cap[c];
  }
  // 1/Ap now exists. F 171 5 solves no momentum equation, so without this its predictor
  // would never make the fluxes of the predictor velocities and would take the stale fluxes
  // of the last explicit update for the pressure equation.
  FlagInitializedInvAp = 1;
}

// The pseudo-velocity of equation e: its neighbour sum and source over Ap.
void predictedVelocity(int e, const Table1<double>& phi) {
  const bool second = sou[e] == 1 && Caee && Caww && Cann && Cass && Catt && Cabb;
  Table1<double>& p = predicted(e);
  for (int c = WCStart; c <= WCEnd; ++c) {
    double s = Cae[c] * phi[Ccelle[c]] + Caw[c] * phi[Ccellw[c]] + Can[c] * phi[Ccelln[c]] +
               Cas[c] * phi[Ccells[c]] + Cat[c] * phi[Ccellt[c]] + Cab[c] * phi[Ccellb[c]];
    if (second)
      s += Caee[c] * phi[Ccelle[Ccelle[c]]] + Caww[c] * phi[Ccellw[Ccellw[c]]] +
           Cann[c] * phi[Ccelln[Ccelln[c]]] + Cass[c] * phi[Ccells[Ccells[c]]] +
           Catt[c] * phi[Ccellt[Ccellt[c]]] + Cabb[c] * phi[Ccellb[Ccellb[c]]];
    p[c] = (s + Csource[c]) * CinvAp[c];
  }
}

// The velocity equation e of the predictor, assembled without the pressure gradient, and its
// pseudo-velocity.
void predictorEquation(int e) {
  Equation = e;
  pointAtVelocity(e);
  if (e >= 2 && sou[e] != sou[e - 1]) coeff_make(WFStart, WFEnd);
  predictorSources(e);
  const Table1<double>& phi = velocity(e);
  predictorCentral(e, phi);
  predictedVelocity(e, phi);
}

// Exchanges the velocity fields with the predictor velocities, so that the face fluxes are made
// from the latter.
void swapPredicted() {
  std::swap(Cxvel, CxvelP);
  std::swap(Cyvel, CyvelP);
  std::swap(Czvel, CzvelP);
}

// Quadratic one-sided fluxes of the surfaces whose one side has no cell beyond.
void oneSidedFluxes() {
  for (int f = WFStart; f <= WFEnd; ++f) {
    const int c1 = Fcell1[f], c2 = Fcell2[f], c11 = Fcell11[f], c22 = Fcell22[f];
    if (c1 <= 0 || c2 <= 0) continue;
    int near, far, beyond;
    if (c11 > 0 && c22 == 0) {
      near = c1, far = c2, beyond = c11;
    } else if (c11 == 0 && c22 > 0) {
      near = c2, far = c1, beyond = c22;
    } else {
      continue;
    }
    auto face = [&](const Table1<double>& v) {
      return 0.75 * v[near] + 0.375 * v[far] - 0.125 * v[beyond];
    };
    Fflux[f] = 1000.0 * (face(CxvelP) * Fax[f] + face(CyvelP) * Fay[f] + face(CzvelP) * Faz[f]);
  }
}

}  // namespace

namespace {

// The pressure-correction field, and the velocities from which the second corrector of
// F 171 3 measures its change.
void startCorrection() {
  if (FlagSIMPLE == 3)
    for (int c = WCStart; c <= WCEnd; ++c) {
      CxvelP[c] = Cxvel[c];
      CyvelP[c] = Cyvel[c];
      CzvelP[c] = Czvel[c];
    }
  Equation = 4;
  pointAtCorrection();
}

// Face fluxes of the new velocities, with the cross-section corrections of F 360; the mud flow
// closes the top faces of its bottom cells.
void faceFluxes() {
  if (NoProcessesSolver == 0 || FlagOpenMP[3] == 1)
    waterflow(WFStart, WFEnd);
  else
    faceFluxRegion();
  mark(10);
  if (FlagFluxCorr > 0) fluxCorrFunction(block[1].i1, block[1].i2);
  if (FlagThixoIsComputing == 1)
    for (int c = WCStart; c <= WCEnd; ++c)
      if (Ccellb[c] == 0) Fflux[Cflatet[c]] = 0.0;
}

// F 36 6 moves the surface at the last inner iteration of an outer iteration, and the driver
// returns at once, without the pressure correction of that iteration.
bool surfaceHandOver(int m) {
  if (FlagTFS != 6 || !(WaterSolveResidual < 1e6) || FlagRoof != 1 || m != TransInnerIter ||
      Iter == 0)
    return false;
  if (FlagTSC != 0 && !divisible(Iter, IterWaterUpdate)) return false;
  surface();
  return true;
}

// The coefficients of the pressure-correction equation and its source, the continuity defect
// (with the SIMPLEC factor in place of 1/Ap under F 171 1). F 36 50 first makes the defect for
// its water-level equation.
void coefficientsAndDefect(int m) {
  if (FlagSIMPLE == 1) swapInvAp();
  if (bedCellLevelScheme() && WaterSolveResidual < 1e6 && FlagRoof == 1 && m == TransInnerIter) {
    pressure_fluxes();
    surface_LS();
  }
  pressure_coeff();
  pressure_fluxes();
  mark(11);
  if (FlagCorrTrekant == 7)
    for (int c = 1; c <= NoCells; ++c)
      if (Ctrekant[c] != 0) Csource[c] = 0.5 * Csource[c];
  if (FlagSIMPLE == 1) swapInvAp();
  if (NoNestflater > 0) nestsource();
  mark(12);
}

// The central coefficient with its option terms and the residual of Equation 4, serial or in
// the threaded phase.
void centralCoefficient() {
  if (NoProcessesSolver == 0 || FlagOpenMP[7] == 1) {
    serialCentralCoefficient();
  } else {
    MaxResidual[4] = pressureCentralRegion();
    endAfterResidualN();
  }
}

void solveCorrection(int m) {
  accelerators(m, FlagThixoIsComputing == 0);
  mark(13);
  if (FlagStressTerm == 0) solver();
  mark(14);
}

// After the solve: the wedge-cell smoothing of F 235 6, the debug prints, the anchoring of the
// correction and the Froude switch of F 93; then the pause points of F 156.
void settleCorrection(int m) {
  if (FlagCorrTrekant == 6) {
    Cf[0] = 0.0;
    for (int c = 1; c <= NoCells; ++c)
      if (Ctrekant[c] != 0)
        Cf[c] = 0.125 * (Cf[Ccells[c]] + Cf[Ccelln[c]] + Cf[Ccelle[c]] + Cf[Ccellw[c]]) +
                0.75 * Cf[c];
  }
  if (StopIter + 1 == Iter && PrintDebugBoogie != 0 && m < 3) printDebug(m);
  if (FlagPresDebug >= 1 && FlagPresDebug <= 99) {
    printDebug2();
  } else if (FlagPresDebug == 0 && FlagGravity == 0) {
    // The correction is fixed only up to a constant; the last cell of the grid anchors it at
    // -0.001. Taking r off first keeps that value exact.
    const double r = Cf[NoCells];
    runForm(NoProcessesSolver > 0, [r](Team& team) {
      team.cells([r](int c1, int c2) {
        for (int c = c1; c <= c2; ++c) Cf[c] = (Cf[c] - r) - 0.001;
      });
    });
  }
  if (FlagFroudeHystat == 1) FroudeHystatFunction();

  if (PauseFlag == 3)
    pausePoint(3);
  else if (PauseFlag == 100)
    PauseFlag = 3;
  else if (PauseFlag == 101)
    PauseFlag = 1;
}

// The SIMPLE corrections of fluxes, velocities and pressure, serial or per chunk pair.
void correct(int m) {
  mark(15);
  if (NoProcessesSolver == 0 || FlagOpenMP[4] == 1)
    SimpleCorrections(m, WFStart, WFEnd, WCStart, WCEnd);
  else
    correctionsRegion(m);
  CorrSimpleCorrections();
  mark(16);
  pausePoint(4);
}

// What follows the corrections: vertical velocities from continuity (F 69), the top-cell
// pressures of F 36 13..19 and of the mud block, the pressure filter, the mud-flow damping,
// the continuity correction of F 413 3 and the relaxation of nested cells to their partners.
void afterCorrection() {
  if (Seiche4 > 0) SeicheFunctions();
  if (topCellPressureRule()) topCellPressure(WCStart, WCEnd);
  if (FlagPresFilter > 0) pressureFilter();
  if (mudBlockInRange() && NoBlocks >= 2) topCellPressure(block[2].cellstart, block[2].cellend);
  if (FlagThixoIsComputing > 0 && FlagThixoDampVel > 0) ThixoVelDamp();
  if (FlagCorrectContinuity == 3) correctContinuity2();
  if (NoNestflater > 0 && NestInterpolRelax > 1e-8 && Cinterpolnest) {
    const double r = NestInterpolRelax;
    for (int c = 1; c <= NoCells; ++c) {
      const int s = Cinterpolnest[c];
      if (s == 0) continue;
      Cxvel[c] = r * Cxvel[s] + (1.0 - r) * Cxvel[c];
      Cyvel[c] = r * Cyvel[s] + (1.0 - r) * Cyvel[c];
      Czvel[c] = r * Czvel[s] + (1.0 - r) * Czvel[c];
    }
  }
}

}  // namespace

int pressureStep(int m) {
  startCorrection();
  faceFluxes();
  if (surfaceHandOver(m)) return 1;
  coefficientsAndDefect(m);
  centralCoefficient();
  solveCorrection(m);
  settleCorrection(m);
  correct(m);
  afterCorrection();
  continuitySums();
  mark(17);
  if (FlagSIMPLE == 3) secondCorrector(m);
  return 0;
}

void pressurePredictor(int m) {
  Equation = 1;
  GammaCalc(WCStart, WCEnd);
  coeff_make(WFStart, WFEnd);
  const int components = Seiche4 != 0 ? 2 : 3;
  for (int e = 1; e <= components; ++e) predictorEquation(e);

  // The pressure itself from the predictor velocities.
  Equation = 4;
  Cf.point(Cpres);
  Cf_old.pointOwn();
  const double rhieChow = RelaxRhieChow;
  RelaxRhieChow = 0.0;
  swapPredicted();
  if (FlagInitializedInvAp == 1) waterflow(WFStart, WFEnd);
  swapPredicted();
  RelaxRhieChow = rhieChow;
  oneSidedFluxes();
  pressure_coeff();
  pressure_fluxes();
  if (NoNestflater > 0) nestsource();
  for (int c = WCStart; c <= WCEnd; ++c) {
    const double s = Cae[c] + Caw[c] + Can[c] + Cas[c] + Cat[c] + Cab[c];
    Cap[c] = s > 1e-10 ? s : 1e-10;
  }
  accelerators(m, false);
  solver();
  pointAtCorrection();

  if (FlagSIMPLE != 5) return;
  // Velocities from the predictor and the explicit pressure force; no momentum solve follows.
  for (int e = 1; e <= 3; ++e) {
    Equation = e;
    for (int c = WCStart; c <= WCEnd; ++c) Csource[c] = 0.0;
    pressure_source(WCStart, WCEnd);
    Table1<double>& phi = velocity(e);
    const Table1<double>& p = predicted(e);
    for (int c = WCStart; c <= WCEnd; ++c) phi[c] = Csource[c] * CinvAp[c] + p[c];
  }
  Equation = 4;
  waterflow(WFStart, WFEnd);
  for (int c = WCStart; c <= WCEnd; ++c) Csource[c] = massDefect(c);
  MaxResidual[4] = 0;
  residual(WCStart, WCEnd);
}

}  // namespace qorva
