// Data sets P of `control` (graphics and printing).
#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addPsets(DataSetTable& t) { (void)t; }

}  // namespace qorva
