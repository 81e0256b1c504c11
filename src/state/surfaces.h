// Per-surface arrays (prefix F), sized by MaxFlater (F 65): surfaces numbered from 1.
#pragma once

#include "state/table.h"

namespace qorva {

inline int NoSurfaces = 0;

// The two cells of the surface and the cells beyond them, the side of each cell the surface
// lies on (1 south .. 6 top), the flow mark, the four corners.
inline Table1<int> Fcell1, Fcell2, Fcell11, Fcell22, Ftype1, Ftype2, Fflagflow;
inline Table1<int> Fpoint1, Fpoint2, Fpoint3, Fpoint4, Fin, Fqndum;

// Mass flux (kg/s), geometry: area vector, its length, unit normal, centre-to-face distances.
inline Table1<double> Fflux, Fdgrad, Fdz, Farea, Fdist1, Fdist2;
inline Table1<double> Fax, Fay, Faz, Fvx, Fvy, Fvz;

// Shallow-water fluxes [0..3][surface].
inline Table2<double> FF, FG;

}  // namespace qorva
