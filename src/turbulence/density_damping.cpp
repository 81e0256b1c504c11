// Density damping of turbulent diffusion.
#include "state/log.h"
#include "turbulence/turbulence.h"

namespace qorva {

void densityDamp() { notAvailable("the density damping of turbulence (densityDamp)"); }

}  // namespace qorva
