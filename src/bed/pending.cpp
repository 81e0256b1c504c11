// Steps of this folder that are not built yet: each logs that it is not available and
// ends the run with status 1, so no run can take a missing step for a result.
#include "bed/bed.h"
#include "state/log.h"

namespace qorva {

int computeSlidemovement() { notAvailable("the slide movement (task D)"); }
void groundwater() { notAvailable("the groundwater computation (task G)"); }
int computeSoilStress() { notAvailable("the soil stress (task N)"); }
void computeSlideLocation() { notAvailable("the slide location (task N)"); }
int removeZerolayers(int) { notAvailable("removing the empty bed layers of a bed cell"); }

}  // namespace qorva
