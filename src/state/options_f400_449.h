// Settings of F 400 to F 449.
#pragma once

#include "state/table.h"

namespace qorva {


}  // namespace qorva
