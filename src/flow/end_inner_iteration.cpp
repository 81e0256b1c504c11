// End of an inner iteration: residual line, convergence, divergence, continuity and reports.
#include "flow/flow.h"
#include "state/log.h"

namespace qorva {

int printEndWaterSolve(int) { notAvailable("the end of an inner iteration (printEndWaterSolve)"); }
void computePresResStat() { notAvailable("the pressure residual statistics"); }

}  // namespace qorva
