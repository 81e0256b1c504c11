// Grid generation, geometry and regridding. What other folders may call.
#pragma once

namespace qorva {

int Unstructure();
void computeRoughness();
void bedinter();

}  // namespace qorva
