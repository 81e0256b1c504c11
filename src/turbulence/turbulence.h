// Turbulence models and wall laws. What other folders may call.
#pragma once

#include "state/team.h"

namespace qorva {

// Damping factor (1 + beta Ri)^alpha of the turbulent diffusion across the vertical surface
// between a cell and the cell above it (F 71 1); 1 for neutral or unstable layering.
double coeff_turbdens(int lowerCell, int upperCell);

// Eddy viscosity Cgamma of cells first..last by the turbulence model of F 24. On a chunk
// (Share::Chunk) the wind model of F 24 5 takes its value from the column where the working
// range begins, and the mud layers write only the chunk's own cells, as a call over the whole
// range would.
void GammaCalc(int first, int last, Share share = Share::Whole);
void GammaCalcRealizable(int first, int last);
void computeEpsilon();
// The last steps of GammaCalc over the same range: bed-form (F 281) and bed-smoothing (F 144)
// additions and the mud-layer viscosity (F 236); nothing at their defaults.
void GammaCalcAdditions(int first, int last, Share share = Share::Whole);
// Velocity gradients of cell c: g[i][j] = d u_i / d x_j (1/s) from the face values in the
// three grid directions and the mean face vectors, divided by the volume.
void velocityGradients(int c, double g[3][3]);
// Source terms of the k and epsilon equations (Equation 5 or 6) of cells first..last.
void turbulence(int first, int last);
// The fast flow driver's five rows (0 u, 1 v, 2 w, 3 k, 4 epsilon of CinvApf and Csourcem,
// cleared by the driver) over WCStart..WCEnd: turbulenceFast the k and epsilon production and
// sinks (none for F 24 2..7; fixed constants 1.44, 1.3, 1.92; model 1 scales the k production
// by 0.719), wallFast the log law of every wall face on all five rows (friction on the
// wall-parallel velocity, k terms, epsilon fixed by a penalty of 1e30).
void turbulenceFast();
void wallFast();
// 9.81 x (density of the upper cell - density of the lower cell) / their vertical distance,
// the density relative to water; negative when the upper cell is lighter.
double densityDamp(int lowerCell, int upperCell);
// Wall laws at the bed, side walls and roof for cells first..last of the current Equation.
void wall_laws(int first, int last);

// u+ of the wall laws per wall surface (F 305 1) for the y+ of a cell and its relative wall
// distance r = y / ks: the rough law (F 15 0), the smooth law with its viscous sublayer (5) or
// the transitional roughness function (8). Never below 0.025.
double wall_laws_uplus(double yplus, double r);
// Porous thin bed (F 7 P, F 92, F 95): raises Cap of the velocity equations (eq 1..3) or of
// the k equation (5) in the thin bottom cells and the roughness layer of the columns of the
// bed cells WBStart..WBEnd; to be called once the equation's central coefficients are formed.
void TSCstabilityFunction(int eq);

}  // namespace qorva
