// The common frame that every bed-change option runs after its corner moves: smoothing, bank
// failure, the copy to nested grids, the edge caps, the sand slide and the grid regenerated
// on the new bed with the books of the suspended sediment. Private to bed/.
#pragma once

namespace qorva::bedframe {

// The options of F 255 that share the frame; each runs its own subset of the steps.
enum class Option { Columns = 0, Cells = 1, Points = 3, EdgeLines = 4, Layers = 5 };

// The steps after the corner moves of `option`, in their order. Without `countPlane1` the copy
// to the coarse grids leaves plane 1 of Surfaces as it is (the first step of option 4).
void afterCornerMoves(Option option, bool countPlane1 = true);

// The sand slide of a bed change: F 56 / F 270 from 1 up (not 205 and 206, which the sediment
// loop runs before the bed change), or F 198 with no slide chosen.
bool slideRuns();

// Wall-clock mark in otime[slot].
void mark(int slot);

}  // namespace qorva::bedframe
