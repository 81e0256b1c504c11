// Qorva: three-dimensional water flow, sediment transport and bed change. Run without
// arguments in a case folder that holds `control`.
#include <cstdlib>
#include <unistd.h>

#include "driver/driver.h"

namespace {

// OpenMP threads that wait at a barrier spin before they sleep. A spinning thread takes a core
// that a working thread of this or another program needs: with the runtime's long spin a run
// at 8 threads on a machine that also runs other work became many times slower than on 1, and
// even a short spin (GOMP_SPINCOUNT 10000) cost more than sleeping at once on a quiet machine
// (bench/run-flow-bench, README "Speed"). So threads wait passively unless the user chose a
// wait policy or a spin count. The runtime reads its settings when the program is loaded,
// before main, so the run restarts itself once with the setting in place; if that fails it goes
// on with the runtime's defaults.
void setThreadWaiting(char** argv) {
  if (std::getenv("OMP_WAIT_POLICY") || std::getenv("GOMP_SPINCOUNT")) return;
  if (setenv("OMP_WAIT_POLICY", "passive", 1) != 0) return;
  execv("/proc/self/exe", argv);
}

}  // namespace

int main(int, char** argv) {
  setThreadWaiting(argv);
  return qorva::programMain();
}
