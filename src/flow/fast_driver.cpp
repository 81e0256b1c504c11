// The fast flow driver of F 170: the frame of the main driver with its own form, whose inner
// iteration assembles u, v, w, k and epsilon together on one set of face coefficients and
// sweeps them as five fields, then runs the main driver's pressure step and components.
// Reads the flow fields, the grid, the options of the steps; writes Cff, CinvApf, Csourcem,
// CinvAp, the flow fields, the residual arrays, MaxResidual[1..3, 5, 6], the work ranges.
#include <algorithm>
#include <cmath>

#include "discretisation/discretisation.h"
#include "flow/driver_frame.h"
#include "flow/flow.h"
#include "flow/water_solve.h"
#include "grid/grid.h"
#include "pressure/pressure.h"
#include "solvers/solvers.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "turbulence/turbulence.h"

namespace qorva {

namespace {

DriverAverages fastAverages;

constexpr int kFields = 5;

// Row k of the five fields: its variable, equation number, relaxation and residual array.
Table1<double>& fieldOf(int k) {
  Table1<double>* f[kFields] = {&Cxvel, &Cyvel, &Czvel, &Ckinen, &Cepsilon};
  return *f[k];
}
Table1<double>& oldOf(int k) {
  Table1<double>* f[kFields] = {&Cxvel_old, &Cyvel_old, &Czvel_old, &Ckinen_old, &Cepsilon_old};
  return *f[k];
}
Table1<double>& residualOf(int k) {
  Table1<double>* f[kFields] = {&Cxvel_res, &Cyvel_res, &Czvel_res, &Ckinen_res, &Cepsilon_res};
  return *f[k];
}
constexpr int kEquation[kFields] = {1, 2, 3, 5, 6};
double relaxationOf(int k) { return k < 3 ? relaxVelocity : k == 3 ? relaxK : relaxEpsilon; }

std::string fastPhaseText(int m) { return strf(" ZI-Deva fast %d          ", m); }

// The work ranges of an inner iteration: the whole grid, or with nesting surfaces up to the
// last block that is neither of nesting level 1 nor depth-averaged (the level-1 blocks after
// it are not solved).
void workRanges() {
  if (gridSequencing()) return;
  WCStart = WFStart = 1;
  WCEnd = NoCells;
  WFEnd = NoSurfaces;
  if (NoNestflater <= 0) return;
  for (int b = NoBlocks; b >= 1; --b)
    if (block[b].nestlevel != 1 && block[b].flag2D != 1) {
      WCEnd = block[b].cellend;
      WFEnd = block[b].surfend;
      return;
    }
}

// The five fields with their shared coefficients, time term, relaxation and inverse central
// coefficients; 1/Ap of u for the pressure correction.
void assembleFiveFields() {
  Equation = 1;
  GammaCalc(WCStart, WCEnd);
  for (Table1<double>* a : {&Cae, &Caw, &Can, &Cas, &Cat, &Cab})
    for (int c = WCStart; c <= WCEnd; ++c) (*a)[c] = 0.0;
  const bool second = sou[1] == 1 && Caee;
  if (second)
    for (Table1<double>* a : {&Caee, &Caww, &Cann, &Cass, &Catt, &Cabb})
      for (int c = WCStart; c <= WCEnd; ++c) (*a)[c] = 0.0;
  coeff_make(WFStart, WFEnd);
  // The gradients of the k production read the absent cell as still water.
  Cxvel[0] = Cyvel[0] = Czvel[0] = 0;
  for (int k = 0; k < kFields; ++k) {
    const Table1<double>& f = fieldOf(k);
    for (int c = 0; c <= NoCells; ++c) Cff[k][c] = f[c];
    for (int c = WCStart; c <= WCEnd; ++c) CinvApf[k][c] = Csourcem[k][c] = 0.0;
  }
  turbulenceFast();
  if (!(TurbulenceModel >= 4 && TurbulenceModel <= 7)) wallFast();
  presSourceFast();
  boundaryFast();
  if (TimeStep > 1e-8)
    for (int k = 0; k < kFields; ++k) {
      const Table1<double>& old = oldOf(k);
      for (int c = WCStart; c <= WCEnd; ++c) {
        const double t = 1000.0 * Cvol[c] / TimeStep;
        CinvApf[k][c] += t;
        Csourcem[k][c] += t * old[c];
      }
    }
  for (int c = WCStart; c <= WCEnd; ++c) {
    double s = Cae[c] + Caw[c] + Can[c] + Cas[c] + Cat[c] + Cab[c];
    if (second) s += Caee[c] + Caww[c] + Cann[c] + Cass[c] + Catt[c] + Cabb[c];
    for (int k = 0; k < kFields; ++k) CinvApf[k][c] += s;
  }
  for (int k = 0; k < kFields; ++k) {
    const double r = relaxationOf(k);
    const Table1<double>& f = fieldOf(k);
    for (int c = WCStart; c <= WCEnd; ++c) {
      CinvApf[k][c] /= r;
      Csourcem[k][c] += (1.0 - r) * f[c] * CinvApf[k][c];
    }
  }
  for (int k = 0; k < kFields; ++k)
    for (int c = WCStart; c <= WCEnd; ++c) {
      // The wall laws, sources and neighbours give every cell a positive central coefficient;
      // one that is not (a cell cut off from everything) keeps its value.
      const double ap = CinvApf[k][c];
      if (ap > 1e-30) {
        CinvApf[k][c] = 1.0 / ap;
      } else {
        CinvApf[k][c] = 1e-30;
        Csourcem[k][c] = 1e30 * fieldOf(k)[c];
      }
    }
  for (int c = WCStart; c <= WCEnd; ++c) CinvAp[c] = CinvApf[0][c];
  FlagInitializedInvAp = 1;
}

void fiveFieldStep() {
  assembleFiveFields();
  residualFast();
  solver();
  for (int k = 0; k < kFields; ++k) {
    Table1<double>& f = fieldOf(k);
    for (int c = 1; c <= NoCells; ++c) f[c] = Cff[k][c];
  }
  for (int c = WCStart; c <= WCEnd; ++c) {
    Ckinen[c] = std::max(Ckinen[c], ArtMinKinen);
    Cepsilon[c] = std::max(Cepsilon[c], 1e-16);
  }
}

int fastSteps(int m) {
  workRanges();
  if (FlagGridChange == 1) {
    FlagGridChange = 0;
    Equation = 1;
    metric();
    startup();
    boundary();
    waterflow(WFStart, WFEnd);
  }
  fiveFieldStep();
  if (pressureStep(m) != 0) return 1;
  if (NoComponents > 0) componentStep(m);
  return 0;
}

}  // namespace

void residualFast() {
  for (int e = 1; e <= 6; ++e)
    if (NormResidual[e] < 1e-10) failf(1, "Error, residual not set for equation no. %d\n", e);
  const bool second = (sou[Equation] == 1) && Caee;
  for (int k = 0; k < kFields; ++k) {
    const double* x = Cff[k].p;
    Table1<double>& store = residualOf(k);
    double sum = 0.0;
    for (int c = WCStart; c <= WCEnd; ++c) {
      // Cells fixed by a penalty (1/Ap of 1e-14 or less) count in no residual.
      if (!(CinvApf[k][c] > 1e-14)) continue;
      double s = Cae[c] * x[Ccelle[c]] + Caw[c] * x[Ccellw[c]] + Can[c] * x[Ccelln[c]] +
                 Cas[c] * x[Ccells[c]] + Cat[c] * x[Ccellt[c]] + Cab[c] * x[Ccellb[c]];
      if (second)
        s += Caee[c] * x[Ccelle[Ccelle[c]]] + Caww[c] * x[Ccellw[Ccellw[c]]] +
             Cann[c] * x[Ccelln[Ccelln[c]]] + Cass[c] * x[Ccells[Ccells[c]]] +
             Catt[c] * x[Ccellt[Ccellt[c]]] + Cabb[c] * x[Ccellb[Ccellb[c]]];
      const double r = (s + Csourcem[k][c]) * CinvApf[k][c] - x[c];
      sum += std::fabs(r);
      if (store) store[c] = r;
    }
    MaxResidual[kEquation[k]] = sum / NormResidual[kEquation[k]];
  }
}

const DriverForm kFastForm = {
    .phaseText = fastPhaseText,
    .innerSteps = fastSteps,
    .bedMakeEveryEntry = false,
    .referenceColumn = true,
    .printRule = PrintRule::WithoutJ,
    .mudSteps = true,
    .innerCountOnEntry = true,
    .gridRepair = true,
    .surfaceTest = SurfaceTest::Main,
    .endTimeTest = true,
    .averages = &fastAverages,
};

void WaterSolveFast() { runFlowDriver(kFastForm); }

}  // namespace qorva
