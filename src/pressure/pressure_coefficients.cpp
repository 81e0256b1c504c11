// Pressure-correction coefficients.
#include "pressure/pressure.h"
#include "state/log.h"

namespace qorva {

void pressure_coeff() { notAvailable("the pressure-correction coefficients (pressure_coeff)"); }

}  // namespace qorva
