// The grid generator: builds the unstructured cells, surfaces, points and bed cells of every
// block from the structured grid, checks the array capacities and reports.
#include "grid/grid.h"
#include "state/log.h"

namespace qorva {

int Unstructure() { notAvailable("generating the unstructured grid (task Y)"); }

}  // namespace qorva
