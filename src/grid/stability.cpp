// Grid quality checks of a block window: level and cell counts corrected before cells are made.
#include "grid/grid.h"
#include "state/log.h"

namespace qorva {

void Grid1Stability(int, int, int, int) { notAvailable("the first grid check (Grid1Stability)"); }
void Grid2Stability(int, int, int, int) { notAvailable("the second grid check (Grid2Stability)"); }

}  // namespace qorva
