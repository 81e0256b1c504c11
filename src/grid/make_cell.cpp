// Cell makers: a cell handed over in NewCell becomes points, surfaces and a cell with its
// neighbour and side links.
#include "grid/cell_template.h"
#include "grid/grid.h"
#include "state/log.h"

namespace qorva {

int MakeCell(int) { notAvailable("the cell maker (MakeCell)"); }
int MakeCellNew(int, int, int, int) { notAvailable("the cell maker (MakeCellNew)"); }

}  // namespace qorva
