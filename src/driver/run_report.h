// Lines the task driver adds to `boogie` around its tasks, so that a run that stops, computes
// nothing or writes nothing says why: private to driver/.
#pragma once

namespace qorva {

// Before the flow task W: forgets an earlier convergence, and names a missing grid (a flow
// on no grid ends with the residual error of its first equation).
void beforeFlowTask();

// After the flow task W at position `position` of F 2 in pass `pass`: when the flow ended
// without converging and nothing writes its results (no task M follows, no print interval),
// says that no result was written and which letter writes it.
void afterFlowTask(int position, int pass);

// The last line of a run: its exit status and its wall-clock time since `startSeconds` (an
// omp_get_wtime reading). Never ends the run itself: a log that cannot be written is left.
void logRunEnd(int status, double startSeconds);

}  // namespace qorva
