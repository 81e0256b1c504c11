// Wall laws at the bed, side walls and roof.
#include "state/log.h"
#include "turbulence/turbulence.h"

namespace qorva {

void wall_laws(int, int) { notAvailable("the wall laws (wall_laws)"); }

}  // namespace qorva
