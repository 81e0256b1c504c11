// Data sets G of `control` (grid sizes, regions, sources, output selection).
#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addGsets(DataSetTable& t) { (void)t; }

}  // namespace qorva
