// Turbulence models and wall laws. What other folders may call.
#pragma once

namespace qorva {

// Damping factor (1 + beta Ri)^alpha of the turbulent diffusion across the vertical surface
// between a cell and the cell above it (F 71 1); 1 for neutral or unstable layering.
double coeff_turbdens(int lowerCell, int upperCell);

// Eddy viscosity Cgamma of cells first..last by the turbulence model of F 24.
void GammaCalc(int first, int last);
void GammaCalcRealizable(int first, int last);
void computeEpsilon();
// Source terms of the k and epsilon equations (Equation 5 or 6) of cells first..last.
void turbulence(int first, int last);
// Density damping of the turbulent diffusion (F 71).
void densityDamp();
// Wall laws at the bed, side walls and roof for cells first..last of the current Equation.
void wall_laws(int first, int last);

}  // namespace qorva
