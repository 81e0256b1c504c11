// Steps of this folder that are not built yet: each logs that it is not available and
// ends the run with status 1, so no run can take a missing step for a result.
#include "flow/flow.h"
#include "state/log.h"

namespace qorva {

int shallowWater() { notAvailable("the shallow-water computation (task L)"); }
void WaterSolveNew() { notAvailable("the water-flow computation of F 328 (WaterSolveNew)"); }
void WaterSolveFast() { notAvailable("the fast water-flow computation of F 170 (WaterSolveFast)"); }
void MGSsolver() { notAvailable("the grid-sequenced water-flow computation of F 152 (MGSsolver)"); }
void WaterSolveHydrostatic() { notAvailable("the hydrostatic water-flow computation of F 68 1"); }
void WaterSolve2D() { notAvailable("the depth-averaged water-flow computation of F 68 3"); }

}  // namespace qorva
