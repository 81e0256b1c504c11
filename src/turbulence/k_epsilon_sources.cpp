// Source terms of the k and epsilon equations.
#include "state/log.h"
#include "turbulence/turbulence.h"

namespace qorva {

void turbulence(int, int) { notAvailable("the k and epsilon source terms (turbulence)"); }

}  // namespace qorva
