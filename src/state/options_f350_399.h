// Settings of F 350 to F 399.
#pragma once

#include "state/table.h"

namespace qorva {


}  // namespace qorva
