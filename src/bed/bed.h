// Bed change, slides and special bed processes. What other folders may call.
#pragma once

namespace qorva {

int computeSlidemovement();
void groundwater();
int computeSoilStress();
void computeSlideLocation();
// Joins away the empty layers of bed cell b; returns the number of joins.
int removeZerolayers(int b);

}  // namespace qorva
