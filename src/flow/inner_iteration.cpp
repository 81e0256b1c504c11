// One inner iteration of the main flow driver, and its parallel phases.
#include "flow/water_solve.h"
#include "state/log.h"

namespace qorva {

void innerIteration(int) { notAvailable("the inner iteration of the flow driver"); }

}  // namespace qorva
