// Pressure-gradient sources of the momentum equations.
#include "pressure/pressure.h"
#include "state/log.h"

namespace qorva {

void pressure_source(int, int) { notAvailable("the pressure-gradient sources (pressure_source)"); }
void presSourceFast() { notAvailable("presSourceFast"); }

}  // namespace qorva
