// The pressure step of an inner iteration with the SIMPLE variants.
#include "flow/water_solve.h"
#include "state/log.h"

namespace qorva {

void pressureStep(int) { notAvailable("the pressure step of the flow driver"); }
void pressurePredictor(int) { notAvailable("the pressure predictor (F 171)"); }

}  // namespace qorva
