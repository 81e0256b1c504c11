// Surface condition, pressure filters and limits.
#include "pressure/pressure.h"
#include "state/log.h"

namespace qorva {

void presSurfFunction() { notAvailable("the pressure surface condition (presSurfFunction)"); }
void pressureFilter() { notAvailable("the pressure filter (pressureFilter)"); }

}  // namespace qorva
