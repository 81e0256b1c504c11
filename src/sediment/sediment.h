// Sediment and water-quality transport. What other folders may call.
#pragma once

namespace qorva {

int Components();
int concRijn();
void morphology_tsc();

}  // namespace qorva
