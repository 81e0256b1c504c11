// What the files of the grid generator share: the state it leaves for the rest of the run,
// the per-block vertical method, the capacity test and the steps after the blocks.
#pragma once

#include "grid/cell_template.h"
#include "grid/columns.h"

namespace qorva {

// Builds the cells of block b by the default vertical method (F 64 11). Returns 0, or the
// negative result of the capacity failure when F 65 leaves no room for a cell.
int buildBlockDefault(int b);

// Builds the blocks by a vertical method of F 64 other than the default one, with D the
// largest depth of this build. Returns 0, or the negative result of the capacity failure.
// Methods not built yet reach their hook.
int buildBlocksByMethod(int method, double D);
// True for the F 64 values that buildBlocksByMethod builds or hooks, and for those it builds.
bool otherVerticalMethod(int m);
bool verticalMethodBuilt(int m);
// F 137: the grid whose top cells list several side neighbours (in place of F 64).
int buildSeveralNeighbourBlocks(double D);
// Methods 14 and 15: points made once per grid line, cells written without the template.
int buildSharedPointBlocks(int m, double D);
// Cells a steep column loses: the corner depths differ by e more than its plan size l; it
// loses e times the deepest corner's count over the largest depth, at most the spread of the
// corner counts.
int steepCut(int i, int j, double l);
// Plan distance between grid lines (i0, j0) and (i1, j1).
double planLength(int i0, int j0, int i1, int j1);

// Pieces of the default method that the other methods share.
// Neighbour of cell n (level k) of a column with A cells on the side facing column (ni, nj):
// the two bottom cells face each other, the other cells of the shorter column the cells at the
// same level of the taller one, whose cells between face nothing; 0 at a block edge.
int unevenNeighbour(int ni, int nj, int A, int n, int k, bool edge);
// Lower (zb) and upper (zt) level at a corner line of L levels, bed b and surface s, of cell n
// at level k: L levels spaced evenly from the surface down, the bottom cell stretched to the
// bed, the surplus cells of a short line with no height at its lowest level above the bed.
void defaultCornerLevels(int L, double b, double s, int k, int n, double& zb, double& zt);
// Surfaces cell (i, j, k) shares with cells made before it (west, south, bottom), into t.flate.
void sharedSurfaces(int i, int j, const Window& w, int k, CellTemplate& t);
// Makes cell c from NewCell (MakeCellNew when newMaker) once the tables hold the whole cell.
// False, with the result of the F 65 failure in `failure`, when they do not.
bool makeCheckedCell(int c, int i, int j, int k, bool newMaker, int& failure);

// Level counts of the vertical methods: levels of a grid line of the given depth under
// method m, D the largest depth of the build (at most znumber), and the counts of a block
// window: antlin and cleared num for its lines, ant for its columns (the largest corner minus
// 1, at most znumber - 1; 0 where the corners add up to less than 2 when `guard`).
int methodLineLevels(int m, double depth, double D);
void countMethodLines(int m, const Window& columns, double D);
void countMethodColumns(const Window& columns, bool guard);

// Every block must lie inside the grid lines of G 1, with the spare line on each side that
// the column and level tables keep: ends the run (status 1) naming block b when it does not.
void checkBlockInGrid(int b);

// True when the cell arrays hold cell c and the surface and point arrays have room for what
// the cell template in NewCell can still add; every count then stays below its capacity.
bool roomForCell(int c);
// True when a count has reached the last entry of its table (capacity minus 1), the margin
// the grid builders keep after every cell.
bool capacityReached();
// The F 65 report: writes the point files and control.new, logs the counts and returns
// minus the largest of NoCells, NoSurfaces and NoPoints.
int capacityFailure();

// Steps after the blocks.
void missingSideNeighbours();  // CcellAe..CcellAw for the pressure-gradient form F 114 20
void markDeadEnds();           // Conecell
void bedStatistics();          // the F 358 sums
void checkCrossSections();     // F 1 'D': ends the run with -77 on a dry cross-section
// Cell of a print-time item at column (i, j) and level L. False when the item is passed
// over: i not above 0, or a column outside the grid (then with a warning in boogie).
bool printItemCell(int i, int j, int level, int& cell);

// Stops the run at a debugging pause point of F 156 (or the bad-level stop of F 369): it never
// returns to the generator. Tests put a function here that throws.
[[noreturn]] void holdRunForever(int point);
inline void (*gridHold)(int point) = holdRunForever;

}  // namespace qorva
