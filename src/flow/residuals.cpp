// Normalised residuals of the equations.
#include "flow/flow.h"
#include "state/log.h"

namespace qorva {

void residual(int, int) { notAvailable("the residuals (residual)"); }
void residualN(int, int) { notAvailable("the residuals (residualN)"); }

}  // namespace qorva
