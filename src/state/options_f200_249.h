// Settings of F 200 to F 249.
#pragma once

#include "state/table.h"

namespace qorva {

inline int FlagThixo = 0;  // F 236
inline int FlagSoilStress = 0;  // F 248

}  // namespace qorva
