// Settings of the G data sets (grid sizes, regions, sources, output selection).
#pragma once

#include "state/table.h"

namespace qorva {

// G 1: grid lines in i, j, levels in k, and grain sizes (F 79 sets lnumber too).
inline int xnumber = 300, ynumber = 300, znumber = 11, lnumber = 1;

}  // namespace qorva
