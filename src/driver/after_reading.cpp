// Completion of the configuration after the scan of `control`: derived settings, the log
// lines of the thread count and title, and the warnings on unusual values.
// Reads TurbulenceModel, NoProcessesSolver, Title, ArtDiff, FillPart; writes mc_message.
#include <omp.h>

#include <cmath>

#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"

namespace qorva {

void afterReading() {
  logf("TurbulenceModel = %d (F 24)\n", TurbulenceModel);
  if (NoProcessesSolver == 0) {
    omp_set_num_threads(1);
    omp_set_dynamic(0);
  }
  logf("Number of threads: %d (F 206)\n", NoProcessesSolver);

  logf("%s\n\n", Title.data() + 1);

  if (std::fabs(ArtDiff) > 1e-20) logf("Warning: using artificial viscosity of %e\n", ArtDiff);
  if (FillPart > 1e-10) logf("Using accellertated deposition routine\n");

  mc_message = " Have read data file    ";
}

}  // namespace qorva
