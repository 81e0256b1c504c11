// Settings of the P data sets (graphics and printing).
#pragma once

#include "state/table.h"

namespace qorva {


}  // namespace qorva
