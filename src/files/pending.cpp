// Steps of this folder that are not built yet: each logs that it is not available and
// ends the run with status 1, so no run can take a missing step for a result.
#include "files/files.h"
#include "state/log.h"

namespace qorva {

int writeConqRes() { notAvailable("writing the component results compres (task E)"); }
int writeConcRes() { notAvailable("writing the concentration results con2res (task F)"); }
int readConRes() { notAvailable("reading compres, con2res and fracres (task O)"); }
void print_fracres(int) { notAvailable("writing the bed fractions fracres (print_fracres)"); }

}  // namespace qorva
