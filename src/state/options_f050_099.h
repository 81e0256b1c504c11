// Settings of F 50 to F 99.
#pragma once

#include "state/table.h"

namespace qorva {

inline int NoComponents = 0;  // F 50, F 67
inline int Hydrostatic = 0;  // F 68
// F 65: capacities of the unstructured arrays.
inline int MaxCeller = 50000, MaxFlater = 80000, MaxPunkter = 50000, MaxNester = 10000,
           MaxConnFlate = 1000;

}  // namespace qorva
