// The families of the mud-flow model F 236 (FlagThixo), named once. Every folder asks these
// instead of testing F 236 against a range of values; they read the setting alone, so any
// floor may include this header (bed.h includes it for the folders above).
#pragma once

#include "state/options_f200_249.h"
#include "state/options_f250_299.h"

namespace qorva {

// The grid carries the mud-layer block under the water block: for the mud of F 236 2 and above
// or for the groundwater of F 262, which flows in the same block.
inline bool mudLayerGrid() { return FlagThixo > 1 || FlagGroundwater > 0; }

// The mud (thixotropic) flow model is on (F 236 above 0): its arrays, the mud steps of the
// flow driver and the mud planes of the bed.
inline bool mudFlow() { return FlagThixo > 0; }

// The mud layer is a block of its own under the water block (F 236 2 and above): the grid
// builds the mud block, the damping variants of F 289 run, and the transient surface leaves
// block 1 to the slide steps.
inline bool mudBlock() { return FlagThixo > 1; }

// The sediment loop moves the slides each step (F 236 2 and above, but 100): the slide blocks
// of F 236 3, the slide movement otherwise.
inline bool slidesMove() { return FlagThixo > 1 && FlagThixo != 100; }

// A column of the mud flow starts at its lowest cell with mud levels above 1 (F 236 6 and
// above, but 100), for the column sums of the multigrid.
inline bool mudLevelColumns() { return FlagThixo >= 6 && FlagThixo != 100; }

// The two plain mud models, mud in block 1 or in the mud block (F 236 1 and 2): the bottom
// cells of the marked blocks rest before results are written.
inline bool plainMudModel() { return FlagThixo == 1 || FlagThixo == 2; }

}  // namespace qorva
