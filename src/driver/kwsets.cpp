// Data sets K (solver settings) and W (initial flow, grid-generation points) of `control`.
#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addKWsets(DataSetTable& t) { (void)t; }

}  // namespace qorva
