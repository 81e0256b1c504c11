// Free surface. What other folders may call.
#pragma once

namespace qorva {

void backwater();

// Finds the reference columns of the water level (iPres, jPres and iPres2, jPres2) from the
// G 6 / G 62 cells or the G 6 outflow group, logs them, and checks that the reference cell
// lies in that group. Called once the grid is known.
void SetiPresjPres();

}  // namespace qorva
