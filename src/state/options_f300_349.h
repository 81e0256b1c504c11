// Settings of F 300 to F 349.
#pragma once

#include "state/table.h"

namespace qorva {

inline int FlagWaterSolveNew = 0;  // F 328

}  // namespace qorva
