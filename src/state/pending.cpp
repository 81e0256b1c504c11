// The start-up check for missing steps, and where a run's settings lead its tasks.
// Reads the settings of `control` (run, IterF2 and the options of the rows); writes nothing
// but `boogie` when it ends the run.
#include "state/pending_steps.h"

#include <cmath>

#include "bed/bed_modes.h"
#include "flow/flow_modes.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"

namespace qorva {

namespace reach {

bool mainFlow(char t) {
  // The restructured driver of F 328 runs the main driver's inner iteration (its own k and
  // epsilon step aside), so it reaches the same steps; it wins over every other choice.
  if (restructuredDriver()) return (t == 'W' && FlagTSC <= 0) || sedimentSteps(t);
  // F 152 below 0 runs no flow driver at all: the main driver needs F 152 0 exactly.
  const bool other = restructuredDriver() || fastDriver() || MGSNo != 0;
  if (t == 'S') return sedimentSteps(t) && !other && (Hydrostatic == 0 || depthAveragedThenMain());
  return t == 'W' && FlagTSC <= 0 && !other && Hydrostatic == 0;
}

bool sedimentLoop(char t) { return t == 'S' && FlagTSC > 0 && TimeStep >= 1e-8 && lnumber <= 49; }
bool sedimentSteps(char t) { return sedimentLoop(t) && iterGlobalMax >= 1; }

int outerIterations() {
  int n = iterGlobalMax;
  if (TimeStep > 1e-8) {
    // The loop ends after the outer iteration whose time passes TimeEnd; the time advances by
    // TimeStep at the head of each, from 0.
    const double steps = std::floor(TimeEnd / TimeStep) + 1.0;
    if (steps < n) n = steps < 1.0 ? 1 : static_cast<int>(steps);
  }
  return n;
}

bool someIteration(int interval) {
  // Iteration numbers are tested for divisibility as doubles, and 0 divides none.
  if (interval == 0) return false;
  return std::fabs(static_cast<double>(interval)) <= outerIterations();
}

bool innerIterations(char t) { return mainFlow(t) && outerIterations() >= 1 && TransInnerIter >= 1; }

bool momentumStep(char t) { return innerIterations(t) && FlagSIMPLE != 5; }
bool pressureStep(char t) { return momentumStep(t) && FlagSIMPLE != 4; }
bool predictor(char t) {
  return innerIterations(t) && (FlagSIMPLE == 2 || FlagSIMPLE == 4 || FlagSIMPLE == 5);
}
// The task of W computes the mud flow (FlagThixoIsComputing 1) whenever F 236 is set, and the
// mud flow has no k and epsilon.
bool turbulenceStep(char t) {
  return innerIterations(t) && !(TurbulenceModel >= 4 && TurbulenceModel <= 7) && !mudFlow();
}
bool componentStep(char t) { return innerIterations(t) && NoComponents > 0; }

bool equationSolved(char t, int e) {
  if (e == 1 || e == 2) return momentumStep(t);
  if (e == 3) return momentumStep(t) && Seiche4 == 0;
  if (e == 4) return pressureStep(t) || predictor(t);
  if (e == 5 || e == 6) return turbulenceStep(t);
  return false;
}

bool gridGeneration(char t) {
  return t == 'Y' || (t == 'B' && FlagNewGrid == 2) || (t == 'U' && FlagNewGrid == 1);
}

bool resultsWritten(char t) { return t == 'M' || innerIterations(t); }

}  // namespace reach

namespace {

// The task of this letter ends the run before any step of it: X with status 0, W under F 37
// (a sediment setting in a flow task), A without the block division of F 308, and S without
// F 37, a time step or with too many sizes (its start-up checks).
bool walkEndsAt(char t) {
  return t == 'X' || (t == 'W' && FlagTSC > 0) || (t == 'A' && FlagMPI <= 0) ||
         (t == 'S' && !reach::sedimentLoop(t));
}

void stopAt(const PendingStep& row) {
  if (row.number) notAvailable(strf(row.what, row.number()).c_str());
  notAvailable(row.what);
}

}  // namespace

void stopOnPendingSteps() {
  if (IterF2 < 1) return;
  const std::span<const PendingStep> tables[] = {
      gridPendingSteps(),     filesPendingSteps(),          flowPendingSteps(),
      solversPendingSteps(),  bedPendingSteps(),            bedLoopPendingSteps(),
      discretisationPendingSteps(),
      pressurePendingSteps(), turbulencePendingSteps(),     surfacePendingSteps(),
      sedimentPendingSteps(), outputPendingSteps()};
  // A later pass walks the same letters (U only in the first), so the first pass meets every
  // step that any pass would.
  for (int i = 0; i < 10; ++i) {
    const char t = run[i];
    if (t < 'A' || t > 'Z') continue;
    if (walkEndsAt(t)) return;
    for (const std::span<const PendingStep>& table : tables)
      for (const PendingStep& row : table)
        if (row.reached(t)) stopAt(row);
  }
}

}  // namespace qorva
