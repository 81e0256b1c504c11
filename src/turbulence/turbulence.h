// Turbulence models and wall laws. What other folders may call.
#pragma once

namespace qorva {

// Damping factor (1 + beta Ri)^alpha of the turbulent diffusion across the vertical surface
// between a cell and the cell above it (F 71 1); 1 for neutral or unstable layering.
double coeff_turbdens(int lowerCell, int upperCell);

}  // namespace qorva
