// Result output. What other folders may call.
#pragma once

namespace qorva {

void sprintflow();
int makeWeirSTL();

}  // namespace qorva
