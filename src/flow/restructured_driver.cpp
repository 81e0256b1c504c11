// The restructured flow driver of F 328 1: the frame of the main driver with its own form, and
// an inner iteration of the momentum, pressure and turbulence steps as separate SIMPLE steps.
// Reads the options of the frame and of the steps; writes what the frame and the steps write
// (the flow fields, MaxResidual, the driver's own averages).
#include <cstdio>

#include "flow/driver_frame.h"
#include "flow/flow.h"
#include "flow/water_solve.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "turbulence/turbulence.h"

namespace qorva {

namespace {

// Sums of this driver's own "Average max residual" line.
DriverAverages restructuredAverages;

std::string restructuredPhaseText(int m) { return strf(" ZI-Deva new %d     ", m); }

// The algebraic-epsilon models 18..20 solve k alone and take epsilon from it.
bool algebraicEpsilon() { return TurbulenceModel >= 18 && TurbulenceModel <= 20; }

// k and epsilon of inner iteration m: also while the mud flow is computed, not at all for the
// models 4..7.
void restructuredTurbulence(int m) {
  if (TurbulenceModel >= 4 && TurbulenceModel <= 7) return;
  SimpleTurbulence(5, m);
  if (algebraicEpsilon())
    computeEpsilon();
  else
    SimpleTurbulence(6, m);
}

int restructuredSteps(int m) { return innerStepsWith(m, restructuredTurbulence); }

}  // namespace

// Unlike the main driver's step, every cell of epsilon is relaxed, the wall cells fixed by the
// wall law's penalty included (their value moves there by the relaxation factor each inner
// iteration), and the factor is that of K 3 as read (relax[e]); the coupling of nested blocks
// of F 261 3 follows the solve of both k and epsilon.
void SimpleTurbulence(int e, int m) {
  turbulenceEquation(e, m, relax[e], false, FlagCoupledNesting == 3);
}

const DriverForm kRestructuredForm = {
    .phaseText = restructuredPhaseText,
    .innerSteps = restructuredSteps,
    .bedMakeEveryEntry = true,
    .referenceColumn = false,
    .printRule = PrintRule::WithoutJ,
    .mudSteps = false,
    .innerCountOnEntry = false,
    .gridRepair = false,
    .surfaceTest = SurfaceTest::Plain,
    .endTimeTest = false,
    .averages = &restructuredAverages,
};

void WaterSolveNew() { runFlowDriver(kRestructuredForm); }

}  // namespace qorva
