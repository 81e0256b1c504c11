// Settings of F 450 to F 499.
#pragma once

#include "state/table.h"

namespace qorva {


}  // namespace qorva
