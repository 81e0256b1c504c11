// Data sets F 450 to F 499 of `control`: defaults, readers and range checks.
#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addFsets450_499(DataSetTable& t) { (void)t; }

}  // namespace qorva
