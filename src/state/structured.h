// Arrays indexed by the structured grid lines (i, j) of G 1, with one spare index on each
// side: i = 0..xnumber+1, j = 0..ynumber+1, k = 0..znumber+1. Created by sialloc, except the
// column and level tables of the grid generator, which AllocateArrays creates.
#pragma once

#include "state/table.h"

namespace qorva {

// Coordinates of the grid lines; zval[i][j][1] is the bed level, zval[i][j][znumber] the
// water level and zval[i][j][0] the bottom cell of the column stored as a double.
inline Table2<double> xval, yval;
inline Table3<double> zval;
inline Table2<double> P, Q;
// Bed-level planes [0..4] (or [0..7] with F 236 or F 404) per grid line.
inline Table3<double> Surfaces;
// Plan area of column (i, j) in m2, bed roughness.
inline Table2<double> armap, roughness;
// Bed cell of a column; 1 where a G 13 region removes the column.
inline Table2<int> pointbed, bedOutBlock;
// Bottom cell of a column in the present and in the previous grid (0 = dry).
inline Table2<int> pointcell, pointcell_old;
// Coarse-grid column of a nested column [i][j][0..1].
inline Table3<int> pointnest;
// Corner smoothing (F 425): 0 a corner of a column without cells, 1 an ordinary point, 2 a point
// to be smoothed.
inline Table2<int> wetdryCornerFlag;
// Bed statistics over the F 358 region [0..BedStatI2+1][0..BedStatJ2+1].
inline Table2<double> bedStatDepth, bedStatBed, bedStatDev, bedStatK;
// Dredging targets per operation [0..MaxNoBagger-1][i][j], amounts, and fractions per size.
inline Table3<double> baggerZval;
inline Table1<double> zugabeZval;
inline Table2<double> zugabeFractions;
// Regression sums of the surface pressure.
inline Table2<double> PresRegresSumPres, PresRegresSumXPres;
inline Table2<int> PresRegresSumX, PresRegresSumXX, PresRegresN;
// Inflow concentrations in space by time: [time row][size][point], and the row times.
inline Table3<double> Tinspace;
inline Table1<double> TinspaceTime;

// Column tables of the grid generator: levels per grid line (antlin, 1 = dry), cells per
// column (ant), their bounds and work counts.
inline Table2<int> ant, antlin, antmin, antmax, vv;
// Cracks in the bed (F 64 9).
inline Table2<int> crackI, crackJ, vn;
// Ridges of the pond removal (F 394 above 1000).
inline Table2<int> ridgeI, ridgeJ;
// Two-layer grid generator (F 488).
inline Table2<int> antlinT, antT, pointint, intSurfI, intSurfJ, intSurfK, TurbFlag;
inline Table2<double> thickturb, thickturbIJ, TurbTop;
// Dune shear per column (F 499).
inline Table2<double> bedshear;
// Structured cell (i, j, k) -> unstructured cell; numc for the methods F 64 14 and 15.
inline Table3<int> num, numc;

}  // namespace qorva
