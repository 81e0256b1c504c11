// Eddy viscosity of every turbulence model.
#include "state/log.h"
#include "turbulence/turbulence.h"

namespace qorva {

void GammaCalc(int, int) { notAvailable("the eddy viscosity (GammaCalc)"); }
void GammaCalcRealizable(int, int) { notAvailable("the realizable eddy viscosity"); }
void computeEpsilon() { notAvailable("computeEpsilon"); }

}  // namespace qorva
