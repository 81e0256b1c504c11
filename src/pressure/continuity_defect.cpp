// Continuity defect and boundary mass fluxes.
#include "pressure/pressure.h"
#include "state/log.h"

namespace qorva {

void pressure_fluxes() { notAvailable("the continuity defect (pressure_fluxes)"); }

}  // namespace qorva
