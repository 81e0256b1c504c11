// Pressure limits in lone cells, vertical-velocity limits and triangular corner columns.
#include "pressure/pressure.h"
#include "state/log.h"

namespace qorva {

void TrekantPresCorr() { notAvailable("TrekantPresCorr"); }
void CorrSimpleCorrections() { notAvailable("CorrSimpleCorrections"); }

}  // namespace qorva
