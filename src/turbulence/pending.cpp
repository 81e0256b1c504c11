// Steps of this folder that are not built yet: each logs that it is not available and
// ends the run with status 1, so no run can take a missing step for a result.
#include "state/log.h"
#include "turbulence/turbulence.h"

namespace qorva {

}  // namespace qorva
