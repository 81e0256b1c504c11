// Settings of F 100 to F 149.
#pragma once

#include "state/table.h"

namespace qorva {


}  // namespace qorva
