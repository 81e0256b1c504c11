// The trace file boogie-t of the free-surface updates. Private to surface/.
#pragma once

namespace qorva {

// Begins the record of this update (reference bottom cell cR) when the debugging letter asks
// for it; the first record of the run creates the file with its header.
void traceUpdate(int cR);
// Ends the record begun by this update with the mean depth after the rebuild.
void traceEnd();

}  // namespace qorva
