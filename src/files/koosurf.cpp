// The point files of the structured grid: koosurf read as a new block, and written back.
#include "files/files.h"
#include "state/log.h"

namespace qorva {

void readKoosurf() { notAvailable("reading the koosurf point file (task Y)"); }
void writekoosurf() { notAvailable("writing the koosurf point files"); }
void writeMPIkoosurf() { notAvailable("writing the block-division point files (task A)"); }

}  // namespace qorva
