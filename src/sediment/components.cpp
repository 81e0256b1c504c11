// Task C: the water-quality components carried by a frozen flow field, in their own time loop
// (or one steady pass). Reads the flow fields, Cgamma, Fflux, the Q and M settings; writes
// Ccomp, Ccomp_old, stimet, Equation, FlagInitialized and the equation arrays.
#include "discretisation/discretisation.h"
#include "flow/flow.h"
#include "grid/grid.h"
#include "pressure/pressure.h"
#include "sediment/sediment.h"
#include "solvers/solvers.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_kw.h"
#include "state/safe_file.h"
#include "state/status.h"
#include "turbulence/turbulence.h"

namespace qorva {

namespace {

// Task C carries its own time term whatever F 62 says; the flow drivers follow F 62.
bool inComponentTask = false;

struct TaskScope {
  TaskScope() { inComponentTask = true; }
  ~TaskScope() { inComponentTask = false; }
};

// Cap from the shared neighbour links, with the time term; the source from the old values.
void assembleComponent(int k, bool transient) {
  const bool second = sou[8] == 1 && Caee;
  for (int c = 1; c <= NoCells; ++c) {
    double a = Cae[c] + Caw[c] + Cat[c] + Cab[c] + Cas[c] + Can[c];
    if (second) a += Caee[c] + Cann[c] + Cass[c] + Caww[c];
    if (transient) a += 1000.0 * Cvol[c] / TimeStep;
    Cap[c] = a;
  }
  if (transient) {
    for (int c = 1; c <= NoCells; ++c) Csource[c] = 1000.0 * Cvol[c] * Ccomp_old[k][c] / TimeStep;
  } else {
    for (int c = WCStart; c <= WCEnd; ++c) Csource[c] = 0;
  }
}

}  // namespace

bool componentTimeTerm() {
  return TimeStep > 1e-8 && (inComponentTask || FlagTComp == 1);
}

int Components() {
  const TaskScope scope;
  logf("Started components\n");
  metric();
  startup();
  if (FlagInitialized == 0) {
    boundary();
    waterflow(WFStart, WFEnd);
  }
  FlagInitialized = 1;

  Equation = 8;
  GammaCalc(WCStart, WCEnd);
  stimet = 0;
  coeff_make(WFStart, WFEnd);
  // The water surface is closed: nothing passes through it but what the sources add.
  for (int c = 1; c <= NoCells; ++c)
    if (Ccellt[c] == 0) Cat[c] = 0;

  const bool transient = TimeStep > 1e-8;
  if (transient && !Ccomp_old)
    failf(1, "Error: the components of a transient run need their old time level, which was "
             "not allocated\n");
  if (transient)
    for (int k = 0; k < NoComponents; ++k)
      for (int c = 1; c <= NoCells; ++c) Ccomp[k][c] = 0;
  if (NoNestflater > 0) nestsource();
  if (transient && TimePrintNo > 0) OutFile("timeo").commitOrEnd(-3);

  const int outer = transient ? iterGlobalMax : 1;
  if (outer < 1) return 0;
  const FieldRef kept = Cf;
  for (int i = 0; i < outer; ++i) {
    if (transient) {
      for (int k = 0; k < NoComponents; ++k)
        for (int c = 1; c <= NoCells; ++c) Ccomp_old[k][c] = Ccomp[k][c];
      stimet += TimeStep;
    }
    for (int m = 0; m < TransInnerIter; ++m)
      for (int k = 0; k < NoComponents; ++k) {
        mc_message = strf("Loop0 %d %d %d", i, m, k);
        Equation = 8 + k;
        assembleComponent(k, transient);
        CompSource();
        if (NoNestflater > 0) nestsource();
        Cf.point(Ccomp[k]);
        solver();
        solver();
      }
  }
  Cf = kept;
  return 0;
}

}  // namespace qorva
