// Convergence advice of a steady run: the note at its start that a long reach without an
// accelerator would converge faster with the block correction, and the watch over outer
// iterations that have stopped converging (the largest residual of each outer iteration
// against the lowest one so far) with the lines that say the run stalled and what to change.
// Reads MaxResidual, relax, blockcorr, Flag2DAccSolver, block, NoBlocks, Iter; writes
// IterStalled, mc_message.
#include <algorithm>
#include <cstdio>

#include "flow/flow.h"
#include "state/blocks.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"

namespace qorva {

void adviseAccelerator() {
  if (blockcorr[4] != 0 || Flag2DAccSolver > 0) return;
  int lines = 0;
  for (int b = 1; b <= NoBlocks; ++b)
    if (block[b].skip == 0)
      lines = std::max({lines, block[b].i2 - block[b].i1 + 1, block[b].j2 - block[b].j1 + 1});
  if (lines < kLongReachLines) return;
  logf("Note: a reach of %d grid lines and no accelerator: K 5 0 0 0 1 0 0 (the block "
       "correction of the pressure correction) converges a steady flow in far fewer outer "
       "iterations (the flume of examples/flume, 40 lines: 229 instead of 1834)\n",
       lines);
}

bool StallWatch::stalled(int iteration) {
  const bool first = lowestIteration == 0;
  for (int e = 1; e <= 6; ++e) {
    const double r = MaxResidual[e];
    if (!(r >= 0.0)) return false;  // a residual that is not a number is a divergence
    if (first || r < kStallFall * lowest[e]) {
      lowest[e] = r;
      lowestIteration = iteration;
    }
  }
  return iteration - lowestIteration >= kStallWindow;
}

void reportStall(const StallWatch& watch) {
  IterStalled = Iter;
  mc_message = "Solution stalled  ";
  logf("Solution stalled after %d outer iterations: no residual has fallen below its lowest "
       "value in the %d outer iterations since outer iteration %d\n",
       Iter, kStallWindow, watch.lowestIteration);
  logf("Residuals of u, v, w, p, k, epsilon: %8.2le %8.2le %8.2le %8.2le %8.2le %8.2le\n",
       MaxResidual[1], MaxResidual[2], MaxResidual[3], MaxResidual[4], MaxResidual[5],
       MaxResidual[6]);
  // A pressure relaxation near 1 - velocity relaxation or above overshoots: the flow swings
  // between two states from one outer iteration to the next and the residuals stop falling.
  logf("To converge, lower the relaxation of K 3 (now %g %g %g %g %g %g): the pressure to "
       "0.2 or less (K 3 0.8 0.8 0.8 0.2 0.9 0.9 converged fastest on a long channel)",
       relax[1], relax[2], relax[3], relax[4], relax[5], relax[6]);
  if (blockcorr[4] != 1) logf(", and add the block correction of K 5 0 0 0 1 0 0");
  logf("\nThe flow ends here as not converged\n");
}

}  // namespace qorva
