// Steps of this folder that are not built yet: each logs that it is not available and
// ends the run with status 1, so no run can take a missing step for a result.
#include "files/files.h"
#include "state/log.h"

namespace qorva {

int ReadAllData() { notAvailable("reading the restart file alldata (task B)"); }
int writeConqRes() { notAvailable("writing the component results compres (task E)"); }
int writeConcRes() { notAvailable("writing the concentration results con2res (task F)"); }
void WriteAllData() { notAvailable("writing the restart file alldata (task J)"); }
int readConRes() { notAvailable("reading compres, con2res and fracres (task O)"); }
void readres() { notAvailable("reading result and bedres (task R)"); }

}  // namespace qorva
