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
// The last steps of GammaCalc over the same range: bed-form (F 281) and bed-smoothing (F 144)
// additions and the mud-layer viscosity (F 236); nothing at their defaults.
void GammaCalcAdditions(int first, int last);
// Velocity gradients of cell c: g[i][j] = d u_i / d x_j (1/s) from the face values in the
// three grid directions and the mean face vectors, divided by the volume.
void velocityGradients(int c, double g[3][3]);
// Source terms of the k and epsilon equations (Equation 5 or 6) of cells first..last.
void turbulence(int first, int last);
// 9.81 x (density of the upper cell - density of the lower cell) / their vertical distance,
// the density relative to water; negative when the upper cell is lighter.
double densityDamp(int lowerCell, int upperCell);
// Wall laws at the bed, side walls and roof for cells first..last of the current Equation.
void wall_laws(int first, int last);

}  // namespace qorva
