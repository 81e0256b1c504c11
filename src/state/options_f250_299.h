// Settings of F 250 to F 299.
#pragma once

#include "state/table.h"

namespace qorva {

inline int FlagGroundwater = 0;  // F 262

}  // namespace qorva
