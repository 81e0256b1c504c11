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
// 9.81 x (density of the upper cell - density of the lower cell) / their vertical distance,
// the density relative to water; negative when the upper cell is lighter.
double densityDamp(int lowerCell, int upperCell);
// Wall laws at the bed, side walls and roof for cells first..last of the current Equation.
void wall_laws(int first, int last);

// Wall laws that this version does not have yet (hooks: turbulence/pending.cpp ends the run with
// their "Not available" line). wall_laws_new does all of wall_laws per wall surface (F 305 1);
// the others are the laws of F 15 5 (smooth walls), 8 (transitional roughness), 9 (law 8 with
// flow through the bed) and 19 (smooth sides, rough bed and roof), each over cells first..last
// after the frame of wall_laws.
void wall_laws_new(int first, int last);
void smoothWallLaw(int first, int last);
void transitionalWallLaw(int first, int last);
void throughBedWallLaw(int first, int last);
void wallLaw19(int first, int last);

}  // namespace qorva
