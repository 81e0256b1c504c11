// SIMPLE corrections of fluxes, velocities and pressure.
#include "pressure/pressure.h"
#include "state/log.h"

namespace qorva {

void SimpleCorrections(int, int, int, int, int) { notAvailable("the SIMPLE corrections"); }
void FilterPressure() { notAvailable("FilterPressure"); }

}  // namespace qorva
