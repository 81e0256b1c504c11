// Working ranges of cells and surfaces: the whole grid, the water blocks or the work blocks.
#include "flow/flow.h"
#include "state/log.h"

namespace qorva {

void computeWCStart() { notAvailable("the working ranges of the water-flow computation"); }

}  // namespace qorva
