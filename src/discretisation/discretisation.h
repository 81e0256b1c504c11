// Discretisation: face coefficients, source terms and boundary conditions. What other folders may call.
#pragma once

namespace qorva {

int computeVegdataFromSTL();

}  // namespace qorva
