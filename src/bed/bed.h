// Bed change, slides and special bed processes. What other folders may call.
#pragma once

namespace qorva {

int computeSlidemovement();
void groundwater();
int computeSoilStress();
void computeSlideLocation();

}  // namespace qorva
