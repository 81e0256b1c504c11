// Data sets S, N, I, H and L of `control` (sediment sizes, bed grain distribution, tables).
#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addSNIHLsets(DataSetTable& t) { (void)t; }

}  // namespace qorva
