// Settings of F 500 to F 534.
#pragma once

#include "state/table.h"

namespace qorva {


}  // namespace qorva
