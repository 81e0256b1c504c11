// What the files of the grid generator share: the state it leaves for the rest of the run,
// the per-block vertical method, the capacity test and the steps after the blocks.
#pragma once

namespace qorva {

// Builds the cells of block b by the default vertical method (F 64 11). Returns 0, or the
// negative result of the capacity failure when F 65 leaves no room for a cell.
int buildBlockDefault(int b);

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
