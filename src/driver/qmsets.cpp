// Data sets Q (water-quality terms) and M (inflow concentrations) of `control`.
#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addQMsets(DataSetTable& t) { (void)t; }

}  // namespace qorva
