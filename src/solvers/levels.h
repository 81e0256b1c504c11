// The multigrid levels as the solvers of this folder read them: level L lies in the block
// record NoBlocks + L (built by AlgMGMake), its cells first..last, their children in
// MGSCpoint[c][1..4] (SW, NW, NE, SE) and, on level 1, their column in MGSCpoint[c][1..2].
// Internal to this folder.
#pragma once

namespace qorva::levels {

struct Level {
  int first = 0, last = -1;  // cells; empty when first > last
  int skip = 0;              // the record's skip field: above 2 on the coarse levels
};

// Level L (1 .. NoMGlevels - 1) of the last build.
Level level(int L);

// The levels exist for the present grid: AlgMGMake has run since the grid got its cells.
bool built();

// Once per run, a line in boogie saying that `what` runs without the levels.
void noteMissing(const char* what);

// Sets the neighbour coefficients of cell 0 to 0, so that an absent child or neighbour adds
// nothing, and clears on the level cells what no level builder fills (the second-neighbour
// coefficients, the multi-neighbour counts), so that the sweeps of the levels see only their
// four lateral couplings.
void prepare();

// The summed lateral coefficients of coarse cell c from its children:
// Caw = Caw[SW] + Caw[NW], Cas = Cas[SW] + Cas[SE], Can = Can[NW] + Can[NE],
// Cae = Cae[NE] + Cae[SE], times `factor`. Returns their sum.
double sumChildCouplings(int c, double factor = 1.0);

// Smooths the coarse levels `from` down to 2 (those whose record's skip field is above 2)
// with `sweeps` sweeps of Gauss2D each, and starts every child at its parent's value.
void smoothDown(int from, int sweeps);

// The level-1 sweeps: Gauss2D when NoProcessesSolver is 0, G 50 entry 8 is 1 or F 164 is 27
// or above; otherwise the sweeps of Gauss2D by the F 206 threads over coloured chunks of the
// level (the same numbers for any thread count).
void smoothLevelOne(int first, int last, int sweeps);

}  // namespace qorva::levels
