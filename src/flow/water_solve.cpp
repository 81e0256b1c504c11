// The main flow driver: the frame of flow/driver_frame.cpp with the main form; and the time
// step of the mud-flow model.
// Writes the main driver's averages (through the frame) and TimeStep with ThixoTimeStepBase
// (computeChangeTimestep).
#include "flow/driver_frame.h"
#include "flow/flow.h"
#include "flow/water_solve.h"
#include "state/blocks.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"

namespace qorva {

namespace {

// Sums over every outer iteration of the run (a sediment run included): the largest residual
// and the inner iterations done; cleared only by the first call that makes the flow fields.
DriverAverages mainAverages;

std::string mainPhaseText(int m) {
  return strf(" ZI-Deva %d %d           ", FlagThixoIsComputing, m);
}

}  // namespace

const DriverForm kMainForm = {
    .phaseText = mainPhaseText,
    .innerSteps = innerSteps,
    .bedMakeEveryEntry = false,
    .referenceColumn = true,
    .printRule = PrintRule::WithJ,
    .mudSteps = true,
    .innerCountOnEntry = true,
    .gridRepair = true,
    .surfaceTest = SurfaceTest::Main,
    .endTimeTest = true,
    .averages = &mainAverages,
};

void WaterSolve() { runFlowDriver(kMainForm); }

// The mud-flow time step: the step of the run, or a tenth of it while the working range lies
// beyond block 1 (the mud-flow block alone). The run's step is taken on the first call of the
// run (ThixoTimeStepBase, cleared with the state).
void computeChangeTimestep() {
  if (ThixoTimeStepBase < 0.0) ThixoTimeStepBase = TimeStep;
  TimeStep = ThixoTimeStepBase;
  if (WCStart > block[1].cellend) TimeStep = 0.1 * ThixoTimeStepBase;
}

}  // namespace qorva
