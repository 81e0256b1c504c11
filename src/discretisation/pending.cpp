// Steps of this folder that are not built yet: each logs that it is not available and
// ends the run with status 1, so no run can take a missing step for a result.
#include "discretisation/discretisation.h"
#include "state/log.h"

namespace qorva {

int computeVegdataFromSTL() { notAvailable("vegetation data from an STL surface (task P)"); }
double coeff_bedform(int, int, int) { notAvailable("the bedform smoothing of F 176"); }
void QNGridCoeff() { notAvailable("the coefficients of cells with several neighbours (F 137)"); }

}  // namespace qorva
