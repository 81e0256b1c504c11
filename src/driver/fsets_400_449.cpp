// Data sets F 400 to F 449 of `control`: defaults, readers and range checks.
#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addFsets400_449(DataSetTable& t) { (void)t; }

}  // namespace qorva
