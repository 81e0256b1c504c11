// One inner iteration of the main flow driver: u, v and w, the pressure step, k and epsilon
// and the water-quality components, in this order, each serial or in parallel phases.
// Reads the flow fields, the grid and the options of the steps; writes the flow fields, the
// coefficients, Cf, Cf_old, Cf_old2, Equation, CinvAp, MaxResidual[1..6] and otime[1..9, 18..25].
#include <omp.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "bed/bed.h"
#include "bed/bed_modes.h"
#include "discretisation/discretisation.h"
#include "files/files.h"
#include "flow/driver_frame.h"
#include "flow/flow.h"
#include "flow/water_solve.h"
#include "grid/columns.h"
#include "grid/grid.h"
#include "pressure/pressure.h"
#include "sediment/sediment.h"
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

// Wall-clock mark k of the driver's time report.
void mark(int k) {
  if (FlagThixoIsComputing == 0) otime[k] = omp_get_wtime();
}

bool divisible(double a, double b) { return std::fabs(std::fmod(a, b)) < 0.001; }

void clearRange(Table1<double>& a, int first, int last) {
  for (int c = first; c <= last; ++c) a[c] = 0;
}

// The equation's variable and its earlier time levels for the time term.
void pointAt(Table1<double>& f, Table1<double>& old, Table1<double>& old2) {
  Cf.point(f);
  Cf_old.point(old);
  if (FlagTimeOrder > 0) Cf_old2.point(old2);
}

// Cell dump of F 218 after a solve.
void debugDump(int m) {
  if (StopIter + 1 == Iter && PrintDebugBoogie != 0 && m < 3) printDebug(m);
}

// Block correction and multigrid before the solve of equation e (K 5). The momentum equations
// run the multigrid also in the first inner iteration (11) or the first iteration of all (12);
// k and epsilon only every time (10).
void accelerators(int e, int m, bool turbulenceEquation) {
  const int b = blockcorr[e];
  const bool multigrid =
      b == 10 || (!turbulenceEquation && ((b == 11 && m == 1) || (b == 12 && m == 1 && Iter == 1)));
  if (Flag2DAccSolver > 0 && multigrid) AlgMGSolve();
  if (b == 1 || (b == 2 && m == 1) || (b == 3 && m == 1 && Iter == 1)) BlockCorrection();
}

// The yield state of the mud by F 289 0..3, in block 2 when its mud-flow field is set, else in
// block 1.
void mudYieldState() {
  const int k = NoBlocks >= 2 && block[2].thixo > 0 ? 2 : 1;
  switch (FlagThixoDamp) {
    case 0: ThixoDamp(k); break;
    case 1: ThixoDamp1(k); break;
    case 2: ThixoDamp2(k); break;
    case 3: ThixoDamp3(k); break;
    default: break;
  }
}

void head(int m) {
  mark(1);
  if (FlagGridChange == 1) {
    Equation = 1;
    FlagGridChange = 0;
    metric();
    startup();
    boundary();
    waterflow(WFStart, WFEnd);
  }
  if (FlagThixoIsComputing == 1 && mudBlock() && (m != 1 || Iter == 1)) mudYieldState();
  if (TurbDensFlag > 0) {
    TDalpha = TurbDensAlphaU;
    TDbeta = TurbDensBetaU;
  }
}

// ---- Momentum ----

void clearNeighbourCoefficients(bool second) {
  for (Table1<double>* a : {&Cae, &Caw, &Can, &Cas, &Cat, &Cab}) clearRange(*a, WCStart, WCEnd);
  if (second && Caee)
    for (Table1<double>* a : {&Caee, &Caww, &Cann, &Cass, &Catt, &Cabb})
      clearRange(*a, WCStart, WCEnd);
}

void fluxCorrections() {
  if (FlagCorrTrekant >= 8 && FlagCorrTrekant <= 23) TrekantFluxCorr(WCStart, WCEnd);
  if (FlagCorrTrekant4 > 0) TrekantFluxCorr4(WCStart, WCEnd);
}

// Face fluxes and face coefficients shared by u, v and w, after the eddy viscosity.
void momentumSetup() {
  Equation = 1;
  if (NoProcessesSolver != 0 && FlagOpenMP[1] != 1) {
    momentumSetupRegion();
    if (FlagInitializedInvAp == 1) faceFluxRegion();
    fluxCorrections();
    coefficientRegion(true);
  } else {
    GammaCalc(WCStart, WCEnd);
    clearNeighbourCoefficients(sou[1] == 1);
    if (ompbugtrap > 0) ompbugtrapFunction(WCStart, WCEnd);
    if (FlagInitializedInvAp == 1) waterflow(WFStart, WFEnd);
    fluxCorrections();
    if (sou[1] == 1)
      coeff_make_sou2(WFStart, WFEnd);
    else
      coeff_make(WFStart, WFEnd);
  }
  // Both forms pre-fill the coefficients of F 223, so both report what stayed unwritten.
  if (ompbugtrap == 1) computeOmpbugtrap();
}

// Buoyancy of the w equation from the temperature in component 0 against the thermocline
// temperature of F 75.
void thermoclineBuoyancy() {
  if (!Ccomp)
    failf(1,
          "Error, the thermocline of F 75 needs the water temperature as component 0, but no "
          "components are computed\n");
  const double reference = waterDensity(Thermocline);
  for (int c = WCStart; c <= WCEnd; ++c)
    Csource[c] += Cvol[c] * 1000.0 * (reference - waterDensity(Ccomp[0][c]));
}

// Boundary values and sources of velocity equation e after the wall laws and the pressure
// gradient. Both forms add the same terms, so results do not depend on the thread count.
void momentumSources(int e, bool parallel) {
  boundary();
  if (FlagDragDLL > 0) extra_source();
  if (FlagDragDune == 1) computeDragDune();
  if (!parallel) mark(5);
  if (FlagGravity > 0 || FlagGravityTerm != 0) GravityFunction(e, WCStart, WCEnd);
  if (NoNestflater > 0) nestsource();
  if (Wind[0] > 1e-10 && e != 3) WindFunction(e);
  if (TemperatureFlag == 1 && FlagThermocline == 0) DensityGradients();
  if (FlagThermocline == 1 && e == 3) thermoclineBuoyancy();
  if (FlagCoriolis == 1) CoriolisFunction();
  if (SourDens > 0.001 && e == 3) turbiditycurrentSource();
  if (sou[e] > 9) coeff_make_source(WFStart, WFEnd);
  if (FlagNormStress > 0) computeNormStress(WCStart, WCEnd);
  if (FlagShallowDamp > 0) sourceShallowDamp();
  if (BridgeNo > 0) sourceBridge();
  if (parallel) mark(6);
}

// The mud-flow blocks take the pressure gradient in the form of F 114 6 while `step` runs;
// the setting is put back however it ends.
template <class Step>
void mudPressureGradient(Step step) {
  const int presGrad = FlagPresGrad;
  FlagPresGrad = 6;
  try {
    step();
  } catch (...) {
    FlagPresGrad = presGrad;
    throw;
  }
  FlagPresGrad = presGrad;
}

void serialMomentumEquation(int e) {
  clearRange(Cap, WCStart, WCEnd);
  clearRange(Csource, WCStart, WCEnd);
  wall_laws(WCStart, WCEnd);
  if (FlagThixo == 0 || FlagThixoIsComputing == 0) {
    pressure_source(WCStart, WCEnd);
  } else {
    wall_thixo();
    mudPressureGradient([] { pressure_source(WCStart, WCEnd); });
  }
  if (FlagBrenix > 0 && e < 3) computeBrenix(WCStart, WCEnd);
  momentumSources(e, false);
  momentumFinish(false);
}

void parallelMomentumEquation(int e) {
  if (FlagThixo != 0 && FlagThixoIsComputing > 0) wall_thixo();
  if (FlagThixoIsComputing > 0)
    mudPressureGradient(momentumWallRegion);
  else
    momentumWallRegion();
  mark(5);
  momentumSources(e, true);
  momentumFinish(true);
}

// Pulls the solved velocity back towards its previous time level in wedge cells (F 235 10)
// and in cells much steeper than their bed cell (F 291).
void dampAfterSolve() {
  if (!Cf_old) return;
  if (FlagCorrTrekant == 10)
    for (int c = WCStart; c <= WCEnd; ++c)
      if (Ctrekant[c] > 0) Cf[c] = (1.0 - relaxTrekant1) * Cf[c] + relaxTrekant1 * Cf_old[c];
  if (FlagDamp1 == 1)
    for (int c = WCStart; c <= WCEnd; ++c)
      if (dampingRatio(c) > 1.1) Cf[c] = 0.5 * Cf[c] + 0.5 * Cf_old[c];
  if (FlagDamp1 == 2)
    for (int c = WCStart; c <= WCEnd; ++c)
      if (Ccellb[c] == 0 && Ccellt[c] == 0 && dampingRatio(c) > 1.1)
        Cf[c] = 0.2 * Cf[c] + 0.8 * Cf_old[c];
}

void momentumSolve(int e, int m) {
  FlagInitializedInvAp = 1;
  if (FlagCorrectContinuity == 2 && e == 1) correctContinuity2();
  debugDump(m);
  accelerators(e, m, false);
  mark(8);
  solver();
  dampAfterSolve();
  if (FlagCoupledNesting >= 1 && FlagCoupledNesting <= 9) CoupledSolverNesting();
  // The mud layer sticks to the bed.
  if (FlagThixoIsComputing == 1 && Bcellt && Cbed)
    for (int c = WCStart; c <= WCEnd; ++c)
      if (Cbed[c] > 0 && Bcellt[Cbed[c]] == c) Cf[c] = 0;
  mark(9);
}

// ---- k and epsilon ----

void turbulenceSetup(int e) {
  const int region = e == 5 ? FlagOpenMP[5] : FlagOpenMP[6];
  if (NoProcessesSolver == 0 || region == 1) {
    GammaCalc(WCStart, WCEnd);
    clearNeighbourCoefficients(sou[e] == 1);
    if (TurbulenceModel < 2 || TurbulenceModel > 7) turbulence(WCStart, WCEnd);
    wall_laws(WCStart, WCEnd);
    Cidist[0] = Cjdist[0] = Fflux[0] = 0;
    coeff_make(WFStart, WFEnd);
    return;
  }
  turbulenceSetupRegion();
  Cidist[0] = Cjdist[0] = Fflux[0] = 0;
  // k and epsilon take the same coefficients as the serial step, so the number of threads
  // does not change the computed flow; G 50 entry 0 makes the k coefficients serial.
  if (e == 5 && FlagOpenMP[0] != 0)
    coeff_make(WFStart, WFEnd);
  else
    coefficientRegion(false);
}

void turbulenceSources(int e) {
  boundary();
  if (e == 5) mark(20);
  if (FlagDragDLL > 0) extra_source();
  if (NoNestflater > 0) nestsource();
  if (OneCellSource == 1)
    for (int c = WCStart; c <= WCEnd; ++c)
      if (Conecell[c] == 1) Cap[c] += 1000.0 * Cvol[c];
  if (Wind[0] > 1e-10) WindFunction(e);
  if (e == 5) mark(21);
}

// Raises the solved field to at least `least`, cell by cell over the solver threads.
void floorField(Table1<double>& field, double least) {
  runForm(NoProcessesSolver > 0, [&field, least](Team& team) {
    team.cells([&field, least](int c1, int c2) {
      for (int c = c1; c <= c2; ++c) field[c] = std::max(field[c], least);
    });
  });
}

bool parallelTurbulenceFinish() { return NoProcessesSolver >= 1 && FlagOpenMP[9] == 0; }

// ---- Components ----

// The working ranges as they were, put back however the component step ends.
class KeptRanges {
 public:
  KeptRanges() : wc1_(WCStart), wc2_(WCEnd), wf1_(WFStart), wf2_(WFEnd) {}
  ~KeptRanges() {
    WCStart = wc1_;
    WCEnd = wc2_;
    WFStart = wf1_;
    WFEnd = wf2_;
  }
  KeptRanges(const KeptRanges&) = delete;
  KeptRanges& operator=(const KeptRanges&) = delete;

 private:
  int wc1_, wc2_, wf1_, wf2_;
};

}  // namespace

// No velocity of the mud block moves more than half a cell, or the mud depth, in one time step.
void mudVelocityLimit() {
  if (NoBlocks < 2 || !Bcellth || !Bcellt || !Bthixolev) return;
  for (int b = block[2].bcellstart; b >= 1 && b <= block[2].bcellend; ++b) {
    if (Bcellth[b] <= 0) continue;
    const int c0 = Bcellt[b];
    if (c0 <= 0) continue;
    const int t = topOf(c0);
    if (t == 0) continue;
    const double d = std::min(Cidist[c0], Cjdist[c0]);
    const double h = std::max(Ckdist[t], Czcenter[t] + Ckdist[t] - Bthixolev[b]);
    const double vmax = std::min(d, h) / TimeStep;
    upColumn(c0, [vmax](int c) {
      for (Table1<double>* v : {&Cxvel, &Cyvel, &Czvel}) (*v)[c] = std::clamp((*v)[c], -vmax, vmax);
    });
  }
}

void momentumStep(int m) {
  mark(2);
  // The terrain form of the pressure gradient weighs its correction by the Froude number of
  // each column (F 355 14): it must be that of the present flow, not what the last surface
  // update happened to leave (nothing at all when no update computes it).
  if (FlagPresGrad == 8 && FlagPresSource == 14) computeColumnFroude();
  momentumSetup();
  mark(3);
  const int last = Seiche4 != 0 ? 2 : 3;
  for (int e = 1; e <= last; ++e) {
    Equation = e;
    if (e == 1) pointAt(Cxvel, Cxvel_old, Cxvel_old2);
    if (e == 2) pointAt(Cyvel, Cyvel_old, Cyvel_old2);
    if (e == 3) pointAt(Czvel, Czvel_old, Czvel_old2);
    if (e >= 2 && sou[e] != sou[e - 1]) {
      if (NoProcessesSolver != 0 && FlagOpenMP[1] != 1 && sou[e] != 1)
        coefficientRegion(false);
      else
        coeff_make(WFStart, WFEnd);
    }
    mark(4);
    if (NoProcessesSolver > 0 && FlagOpenMP[2] == 0)
      parallelMomentumEquation(e);
    else
      serialMomentumEquation(e);
    mark(7);
    momentumSolve(e, m);
  }
}

void turbulenceEquation(int e, int m, double r, bool keepPenalised, bool coupleAfter) {
  if (e == 5) {
    mark(18);
    if (TurbDensFlag > 0) {
      TDalpha = TurbDensAlphaT;
      TDbeta = TurbDensBetaT;
    }
    Cxvel[0] = Cyvel[0] = Czvel[0] = 0;
  }
  Equation = e;
  if (e == 5)
    pointAt(Ckinen, Ckinen_old, Ckinen_old);
  else
    pointAt(Cepsilon, Cepsilon_old, Cepsilon_old);
  turbulenceSetup(e);
  if (e == 5) mark(19);
  turbulenceSources(e);
  turbulenceFinish(parallelTurbulenceFinish(), r, keepPenalised);
  accelerators(e, m, true);
  if (e == 5) mark(22);
  if (e == 6 && FlagTDMA == 1)
    solverTDMA();
  else
    solver();
  if (e == 5) mark(23);
  if (coupleAfter) CoupledSolverNesting();
  debugDump(m);
  if (e == 5)
    floorField(Ckinen, ArtMinKinen);
  else
    floorField(Cepsilon, 1e-16);
  if (e == 5) mark(24);
}

void turbulenceStep(int m) {
  turbulenceEquation(5, m, relaxK, false, FlagCoupledNesting == 3);
  turbulenceEquation(6, m, relaxEpsilon, true, false);
}

void componentStep(int m) {
  // Components are computed on the whole grid; the flow equations keep their own ranges.
  const KeptRanges kept;
  WCStart = 1;
  WCEnd = NoCells;
  WFStart = 1;
  WFEnd = NoSurfaces;
  if (NoNestflater > 0 && Cinterpolnest)
    for (int c = 1; c <= NoCells; ++c) {
      const int s = Cinterpolnest[c];
      if (s == 0) continue;
      for (Table1<double>* v : {&Cxvel, &Cyvel, &Czvel, &Ckinen, &Cepsilon, &Cpres, &Cgamma})
        (*v)[c] = (*v)[s];
    }
  // One set of face coefficients serves all components.
  Equation = 8;
  GammaCalc(1, NoCells);
  waterflow(WFStart, WFEnd);
  coeff_make(WFStart, WFEnd);
  const bool transient = TimeStep > 1e-8;
  for (int k = 0; k < NoComponents; ++k) {
    clearRange(Cap, WCStart, WCEnd);
    clearRange(Csource, WCStart, WCEnd);
    // The scheme flag is that of the equation number current when the component starts.
    neighbourSum(WCStart, WCEnd, sou[Equation] == 1 && Caee, QNFlag > 0 && Cncelle);
    Equation = 8 + k;
    if (NoNestflater > 0) nestsource();
    CompSource();
    if (transient) {
      Cf_old.point(Ccomp_old[k]);
      for (int c = WCStart; c <= WCEnd; ++c) {
        const double t = 1000.0 * Cvol[c] / TimeStep;
        Cap[c] += t;
        Csource[c] += t * Ccomp_old[k][c];
      }
    }
    Cf.point(Ccomp[k]);
    solver();
    solver();
  }
  if (FlagTSC == 0 && PrintComp != 0 && m == TransInnerIter && divisible(Iter, PrintComp) &&
      NoComponents != 0)
    writeConqRes();
}

int innerIteration(int m) { return runInnerIteration(kMainForm, m); }

int innerSteps(int m) {
  return innerStepsWith(m, [](int n) {
    if (!(TurbulenceModel >= 4 && TurbulenceModel <= 7) && FlagThixoIsComputing == 0)
      turbulenceStep(n);
  });
}

int innerStepsWith(int m, void (*turbulence)(int m)) {
  head(m);
  if (FlagSIMPLE == 2 || FlagSIMPLE == 4 || FlagSIMPLE == 5) pressurePredictor(m);
  if (debugging == 'A') gridTest();
  if (FlagSIMPLE != 5) {
    momentumStep(m);
    if (FlagSIMPLE != 4) {
      if (FlagThixoIsComputing == 1) mudVelocityLimit();
      if (pressureStep(m) != 0) return 1;
    }
  }
  turbulence(m);
  mark(25);
  if (NoComponents > 0) componentStep(m);
  return 0;
}

double waterDensity(double x) {
  return 0.9999726 * (1.0 - 9.297173e-6 * std::pow(std::fabs(x - 4.029325), 1.894816));
}

// ---- Report of an invalid central coefficient ----

void printErrorAp(int c) {
  const int nb[6] = {Ccellt[c], Ccellb[c], Ccelle[c], Ccelln[c], Ccellw[c], Ccells[c]};
  const int sf[6] = {Cflatet[c], Cflateb[c], Cflatee[c], Cflaten[c], Cflatew[c], Cflates[c]};
  // The far surface of each neighbour on the same side.
  const int far[6] = {Cflatet[nb[0]], Cflateb[nb[1]], Cflatee[nb[2]],
                      Cflaten[nb[3]], Cflatew[nb[4]], Cflates[nb[5]]};
  logf("Error 2, Cap(%d) = %e\n", c, Cap[c]);
  logf("Velocities: %e %e %e\n", Cxvel[c], Cyvel[c], Czvel[c]);
  logf("Volume = %e, Ckdist = %e\n", Cvol[c], Ckdist[c]);
  logf("Neighbour indexes: %d %d %d %d %d %d\n", nb[0], nb[1], nb[2], nb[3], nb[4], nb[5]);
  logf("Ftype1: %d %d %d %d %d %d\n", Ftype1[sf[0]], Ftype1[sf[1]], Ftype1[sf[2]], Ftype1[sf[3]],
       Ftype1[sf[4]], Ftype1[sf[5]]);
  logf("Ftype2: %d %d %d %d %d %d\n", Ftype2[sf[0]], Ftype2[sf[1]], Ftype2[sf[2]], Ftype2[sf[3]],
       Ftype2[sf[4]], Ftype2[sf[5]]);
  logf("Neighbour anb: %e %e %e %e %e %e\n", Cat[c], Cab[c], Cae[c], Can[c], Caw[c], Cas[c]);
  if (Catt && Cabb && Caee && Cann && Caww && Cass)
    logf("Neighbour anbb: %e %e %e %e %e %e\n", Catt[c], Cabb[c], Caee[c], Cann[c], Caww[c],
         Cass[c]);
  logf("Cidist, l+nb: %e %e %e %e %e %e %e\n", Cidist[c], Cidist[nb[0]], Cidist[nb[1]],
       Cidist[nb[2]], Cidist[nb[3]], Cidist[nb[4]], Cidist[nb[5]]);
  logf("Cjdist, l+nb: %e %e %e %e %e %e %e\n", Cjdist[c], Cjdist[nb[0]], Cjdist[nb[1]],
       Cjdist[nb[2]], Cjdist[nb[3]], Cjdist[nb[4]], Cjdist[nb[5]]);
  logf("Side fluxes (tbenws): %e %e %e %e %e %e\n", Fflux[sf[0]], Fflux[sf[1]], Fflux[sf[2]],
       Fflux[sf[3]], Fflux[sf[4]], Fflux[sf[5]]);
  logf("Side-side fluxes (tbenws): %e %e %e %e %e %e\n", Fflux[far[0]], Fflux[far[1]],
       Fflux[far[2]], Fflux[far[3]], Fflux[far[4]], Fflux[far[5]]);
  logf("Side areas (tbenws): %e %e %e %e %e %e\n", Farea[sf[0]], Farea[sf[1]], Farea[sf[2]],
       Farea[sf[3]], Farea[sf[4]], Farea[sf[5]]);
  logf("Gammas: l+anbb: %e %e %e %e %e %e %e\n", Cgamma[c], CgammaV[nb[0]], CgammaV[nb[1]],
       Cgamma[nb[2]], Cgamma[nb[3]], Cgamma[nb[4]], Cgamma[nb[5]]);
  const int low = bottomOf(c), top = topOf(c);
  logf("Bed level: %e\n", Czcenter[low] - Ckdist[low]);
  const int b = Cbed ? Cbed[low] : 0;
  if (b > 0 && Bkooi && Bkooj) logf("b = %d, i = %d, j = %d\n", b, Bkooi[b], Bkooj[b]);
  logf("Water level: %e\n", Czcenter[top] + Ckdist[top]);
  mc_message = strf("Error, Cap(%d) = %e\n", c, Cap[c]);
  FlagErrorBreak = 1;
  // A run that stops on a broken equation has failed.
  endRun(1);
}

}  // namespace qorva
