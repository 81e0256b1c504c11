// Settings of the S, N, I, H and L data sets (sediment sizes, bed grain distribution, tables).
#pragma once

#include "state/table.h"

namespace qorva {


}  // namespace qorva
