// Data sets F 350 to F 399 of `control`: defaults, readers and range checks.
#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addFsets350_399(DataSetTable& t) { (void)t; }

}  // namespace qorva
