// What the mud-layer block and the groundwater keep for the whole run: whether the mud block
// has been built before (its first build starts the mud at the bed) and whether the groundwater
// has taken its start levels (from wlinit or the water levels).
#pragma once

namespace qorva {

inline bool MudBlockBuilt = false;      // written by grid/mud_block
inline bool GroundwaterStarted = false; // written by bed/groundwater

// Back to the start of a run.
inline void resetMudState() {
  MudBlockBuilt = false;
  GroundwaterStarted = false;
}

}  // namespace qorva
