// Settings of the K (solver) and W (initial flow, grid-generation points) data sets.
#pragma once

#include "state/table.h"

namespace qorva {

// Per-equation tables of the K data sets, indexed by equation number (1..3 velocities, 4
// pressure correction, 5 k, 6 epsilon, 7 sediment, 8+c component c).
inline Fixed<double, 50> relax;
inline Fixed<int, 50> sweeps;
inline Fixed<int, 50> blockcorr;
inline Fixed<int, 50> sou;

// W 1: roughness coefficient, discharge and water level of the initial flow.
inline double ManningInit = 50.0, discharge = 1.0, level = 1.0;

}  // namespace qorva
