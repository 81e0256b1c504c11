// Settings of the K (solver) and W (initial flow, grid-generation points) data sets.
#pragma once

#include "state/table.h"

namespace qorva {


}  // namespace qorva
