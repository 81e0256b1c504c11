// The main flow driver: entry checks, set-up, outer iterations as steady iterations or time
// steps, relaxation reloads and the end steps.
#include "flow/flow.h"
#include "flow/water_solve.h"
#include "state/log.h"

namespace qorva {

void WaterSolve() { notAvailable("the water-flow computation (WaterSolve)"); }
void computeChangeTimestep() { notAvailable("the time step from the flow (computeChangeTimestep)"); }

}  // namespace qorva
