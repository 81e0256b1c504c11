// Data sets F 300 to F 349 of `control`: defaults, readers and range checks.
#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addFsets300_349(DataSetTable& t) { (void)t; }

}  // namespace qorva
