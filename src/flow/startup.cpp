// Start-up of a flow computation: initial fields, inflow k and epsilon, residual norms,
// relaxation factors and roughness.
#include "flow/flow.h"
#include "state/log.h"

namespace qorva {

void startup() { notAvailable("the start-up of a flow or soil computation"); }

}  // namespace qorva
