// Settings of the Q (water-quality terms) and M (inflow concentrations) data sets.
#pragma once

#include "state/table.h"

namespace qorva {

inline int CompInflowNo = 0;  // M data sets

}  // namespace qorva
