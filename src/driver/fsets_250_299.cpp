// Data sets F 250 to F 299 of `control`: defaults, readers and range checks.
#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addFsets250_299(DataSetTable& t) { (void)t; }

}  // namespace qorva
