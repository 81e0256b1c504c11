// Data sets F 100 to F 149 of `control`: defaults, readers and range checks.
#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addFsets100_149(DataSetTable& t) { (void)t; }

}  // namespace qorva
