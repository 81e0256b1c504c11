// The trace of the free-surface updates, `boogie-t` (debugging C, D, E, and J every hundredth
// iteration): one line per update, begun by the driver and ended by the tail with the mean
// depth of the new grid. The trace is a diagnostic: a file that cannot be written skips its
// records, with one warning in boogie for the run. Reads the reference state, MaxResidual,
// stimet; writes boogie-t and the trace flags.
#include <cmath>
#include <string>

#include "files/files.h"
#include "output/output.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/safe_file.h"
#include "state/status.h"
#include "state/structured.h"
#include "surface/surface.h"
#include "surface/trace.h"
#include "surface/worked_blocks.h"

namespace qorva {

namespace {

constexpr char kTrace[] = "boogie-t";
constexpr char kHeader[] =
    "Time   dh  Czcenter  Ckdist  iSurfLocal  iPres  jPres   zval   GlobZRef GlobPresRef "
    "residualP BI1 dep1 dep2\n";

bool traced() {
  if (debugging == 'C' || debugging == 'D' || debugging == 'E') return true;
  return debugging == 'J' && std::fabs(std::fmod(Iter, 100.0)) < 0.001;
}

void warnOnce() {
  if (FlagSurfTraceWarned != 0) return;
  FlagSurfTraceWarned = 1;
  logf("Warning: the free-surface trace file '%s' cannot be written; its records are "
       "skipped\n",
       kTrace);
}

// Appends text to the trace; false when it did not reach the file.
bool append(const std::string& text) {
  File f(kTrace, "a");
  if (!f) return false;
  std::fputs(text.c_str(), f.get());
  return f.close();
}

}  // namespace

void traceUpdate(int cR) {
  FlagSurfTraceOpen = 0;
  if (!traced()) return;
  const bool node = onPlane(iPres, jPres);
  const double z = node ? zval[iPres][jPres][znumber] : 0.0;
  const double BI = computeBI();
  const std::string record =
      strf("%lf %lf %lf %lf %d %d %d %lf %lf %lf %lf %lf %lf ", stimet, GlobZRef - z,
           Czcenter[cR], Ckdist[cR], cR, iPres, jPres, z, GlobZRef, GlobPresRef,
           MaxResidual[4], BI, computeAvDepth());
  bool written;
  if (FlagSurfTraceHeader == 0) {
    OutFile f(kTrace);
    f.printf("%s", kHeader);
    f.printf("%s", record.c_str());
    written = f.commit();
    if (written) FlagSurfTraceHeader = 1;
  } else {
    written = append(record);
  }
  if (written)
    FlagSurfTraceOpen = 1;
  else
    warnOnce();
  // A braiding index this low after many iterations marks a flow worth keeping for a look.
  if (BI < 0.1 && iterWriteAllData < 0 && Iter > 1000) WriteAllData();
}

void traceEnd() {
  if (FlagSurfTraceOpen == 0) return;
  FlagSurfTraceOpen = 0;
  if (!append(strf("%lf\n", computeAvDepth()))) warnOnce();
}

}  // namespace qorva
