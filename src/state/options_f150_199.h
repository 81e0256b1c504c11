// Settings of F 150 to F 199.
#pragma once

#include "state/table.h"

namespace qorva {

inline int MGSNo = 0;  // F 152
inline int FlagFastWatersolve = 0;  // F 170

}  // namespace qorva
