// Pressure correction: face mass fluxes, pressure-correction coefficients and sources, the
// corrections and the pressure-gradient sources. What other folders may call.
#pragma once

namespace qorva {

// Mass fluxes Fflux (kg/s) of surfaces firstSurface..lastSurface from the interpolated cell
// velocities plus the Rhie-Chow pressure term of F 113 (or F 36 11, F 235 13, F 69), then the
// nesting surfaces, the multi-neighbour sums and the uneven block joint. Outside a parallel
// region one call does everything. Called per chunk from a parallel region (one call per
// thread), each call does its own surfaces, and the caller runs waterflowAfterChunks once
// after the region for the steps that concern the whole grid.
void waterflow(int firstSurface, int lastSurface);
void waterflowAfterChunks();

}  // namespace qorva
