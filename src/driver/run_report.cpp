// Lines of the task driver around its tasks: the missing grid of a flow task, the flow that
// ended without converging and wrote no result, and the status and wall time at the run's end.
// Reads run, IterF2, NoCells, Iter, iterGlobalMax, IterConverged, IterStalled, ResMax,
// FlagErrorBreak, TimeStep, the print intervals (P 10, P 15, timei print times) and the
// selected outputs; writes IterConverged and IterStalled (cleared before a flow task).
#include "driver/run_report.h"

#include <omp.h>

#include <string>

#include "output/output.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/pending_steps.h"
#include "state/status.h"

namespace qorva {

namespace {

// Task M among the letters the walk still reaches after position `position` of this pass.
bool resultTaskFollows(int position) {
  for (int i = position + 1; i < 10; ++i) {
    if (run[i] == 'X') return false;
    if (run[i] == 'M') return true;
  }
  return false;
}

}  // namespace

void beforeFlowTask() {
  IterConverged = 0;
  IterStalled = 0;
  if (NoCells < 1)
    logf("The flow task W has no grid to compute on: F 2 needs Y (generate it from koosurf), U "
         "(read unstruc) or B (read alldata) before W\n");
}

void afterFlowTask(int position, int pass) {
  // Only the main flow driver reports its convergence; a run stopped by an error has said why.
  // The lines do not quote the convergence line, which users and scripts search for.
  if (!reach::mainFlow('W') || !reach::innerIterations('W') || NoCells < 1) return;
  if (IterConverged > 0 || FlagErrorBreak != 0) return;
  // A later pass, a task M, or a print interval writes results of its own.
  if (pass < IterF2 || resultTaskFollows(position)) return;
  if (PrintRes != 0 || PrintResAlways != 0 || TimePrintNo > 0 || selectedOutputs().empty()) return;
  if (TimeStep > 1e-8)
    logf("No result was written: the flow ended after %d time steps (K 1 %d) and no task M "
         "follows W in F 2\n",
         Iter, iterGlobalMax);
  else if (IterStalled > 0)
    logf("No result was written: the flow stalled at outer iteration %d before it converged "
         "(largest residual %.2e), and no task M follows W in F 2\n",
         IterStalled, ResMax);
  else
    logf("No result was written: the flow ended at its iteration limit, K 1 %d, before it "
         "converged (largest residual %.2e), and no task M follows W in F 2\n",
         iterGlobalMax, ResMax);
  if (IterStalled > 0)
    logf("Task M after W (F 2 YWM or UWM) writes the results of the last iteration\n\n");
  else
    logf("Task M after W (F 2 YWM or UWM) writes the results of the last iteration; more "
         "iterations (K 1) or an accelerator (K 5 0 0 0 1 0 0) let a steady flow converge\n\n");
}

void logRunEnd(int status, double startSeconds) {
  const double seconds = omp_get_wtime() - startSeconds;
  // A negative status ends the process with 256 + status: both are named.
  const std::string code =
      status < 0 ? strf("%d (%d)", status & 255, status) : strf("%d", status);
  appendToLog(strf("Run ended with exit status %s after %.2f seconds (wall-clock time)\n",
                   code.c_str(), seconds));
}

}  // namespace qorva
