// Per-surface arrays (prefix F), sized by MaxFlater (F 65): surfaces numbered from 1.
#pragma once

#include "state/table.h"

namespace qorva {

inline int NoSurfaces = 0;

// The two cells of the surface (0 = none): a surface made as the east, north or top side of a
// cell has that cell as Fcell1, one made as its west, south or bottom side has it as Fcell2.
// Fcell11 and Fcell22 are the cells beyond Fcell1 and Fcell2 on the far side from the surface.
inline Table1<int> Fcell1, Fcell2, Fcell11, Fcell22;
// The side of Fcell1 (Ftype1) and of Fcell2 (Ftype2) on which the surface lies: 1 south,
// 2 east, 3 north, 4 west, 5 bottom, 6 top, 0 none.
inline Table1<int> Ftype1, Ftype2;
// The flow mark: 1 between two cells and on a discharge-group surface; -1 a wall; 0 closed
// without wall treatment (the free-surface top, a cut or removed face); 2 a degenerate
// lateral face above a connected bottom cell (beside a wedge cell).
inline Table1<int> Fflagflow;
// The four corners; the area vector is half of (P1 - P3) x (P2 - P4).
inline Table1<int> Fpoint1, Fpoint2, Fpoint3, Fpoint4;
// Fin: +1 when Ftype2 is 1, 4 or 5 (Fcell2 lies on the higher-index side), -1 otherwise.
inline Table1<int> Fin;
// Fqndum: 1 for a side surface of a top cell with a list of several neighbours (F 137).
inline Table1<int> Fqndum;

// Mass flux (kg/s), the baroclinic pressure difference across the surface (Pa, see Cdensgradi),
// geometry: area vector, its length, unit normal, centre-to-face distances.
inline Table1<double> Fflux, Fdgrad, Fdz, Farea, Fdist1, Fdist2;
inline Table1<double> Fax, Fay, Faz, Fvx, Fvy, Fvz;

// Shallow-water fluxes [0..3][surface].
inline Table2<double> FF, FG;

}  // namespace qorva
