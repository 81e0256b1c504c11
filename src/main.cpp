// Qorva: three-dimensional water flow, sediment transport and bed change. Run without
// arguments in a case folder that holds `control`.
#include <cstdlib>
#include <unistd.h>

#include "driver/driver.h"

namespace {

// OpenMP threads that wait at a barrier spin before they sleep. The runtime's own spin is long:
// on a machine that also runs other work the spinning threads take the cores that the working
// threads need, and a run at 8 threads became several times slower than on 1. A short spin
// (about as fast as sleeping at once on a loaded machine, and as fast as a long spin on a quiet
// one) is set here unless the user chose a wait policy. The runtime reads its settings when the
// program is loaded, before main, so the run restarts itself once with the setting in place;
// if that fails it goes on with the runtime's defaults.
constexpr const char* kSpinCount = "10000";

void setThreadWaiting(char** argv) {
  if (std::getenv("OMP_WAIT_POLICY") || std::getenv("GOMP_SPINCOUNT")) return;
  if (setenv("GOMP_SPINCOUNT", kSpinCount, 1) != 0) return;
  execv("/proc/self/exe", argv);
}

}  // namespace

int main(int, char** argv) {
  setThreadWaiting(argv);
  return qorva::programMain();
}
