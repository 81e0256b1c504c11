// Steps of this folder that are not built yet: each logs that it is not available and
// ends the run with status 1, so no run can take a missing step for a result.
#include "sediment/sediment.h"
#include "state/log.h"

namespace qorva {

int Components() { notAvailable("the water-quality components (task C)"); }
int concRijn() { notAvailable("the bed concentrations (task I)"); }
void morphology_tsc() { notAvailable("the sediment computation (task S)"); }

}  // namespace qorva
