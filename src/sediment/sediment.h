// Sediment and water-quality transport. What other folders may call.
#pragma once

namespace qorva {

// The bed-level update (bedchange and its variants of F 255) belongs to bed/ (subsystem 11);
// the sediment loop calls it from there and writes no bed level itself.

int Components();
int concRijn();
void morphology_tsc();

// Sources and boundary values of the current water-quality component (Equation 8 + k), called
// by the component step of the main flow driver for every component (hook: not built yet).
void CompSource();

}  // namespace qorva
