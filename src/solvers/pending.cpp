// Steps of this folder that are not built yet: each logs that it is not available and ends the
// run with status 1, so no run can take a missing step for a result. The table below gives, for
// each, the settings under which a run reaches it; the start-up check reads it.
#include "flow/flow_modes.h"
#include "solvers/solvers.h"
#include "state/log.h"
#include "state/options.h"
#include "state/pending_steps.h"

namespace qorva {

namespace {

constexpr char kGaussFast[] = "the five-field sweep of the fast flow solver (F 170)";

const PendingStep kSteps[] = {
    // The fast flow driver of F 170 sweeps its five fields together.
    {[](char t) {
       return t == 'W' && FlagTSC <= 0 && !restructuredDriver() && fastDriver();
     },
     kGaussFast},
};

}  // namespace

void GaussFast(int, int, int) { notAvailable(kGaussFast); }

std::span<const PendingStep> solversPendingSteps() { return kSteps; }

}  // namespace qorva
