// Free surface. What other folders may call.
#pragma once

namespace qorva {

void backwater();

}  // namespace qorva
