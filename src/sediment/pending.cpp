// Steps of this folder that are not built yet: each logs that it is not available and ends the
// run with status 1, so no run can take a missing step for a result. The table below gives, for
// each, the settings under which a run reaches it; the start-up check reads it.
#include "sediment/sediment.h"
#include "state/log.h"
#include "state/pending_steps.h"

namespace qorva {

namespace {

constexpr char kComponents[] = "the water-quality components (task C)";
constexpr char kMorphology[] = "the sediment computation (task S)";
constexpr char kCompSource[] = "the sources of the water-quality components (CompSource)";

const PendingStep kSteps[] = {
    {[](char t) { return t == 'C'; }, kComponents},
    {[](char t) { return t == 'S'; }, kMorphology},
    {reach::componentStep, kCompSource},
};

}  // namespace

int Components() { notAvailable(kComponents); }
void morphology_tsc() { notAvailable(kMorphology); }
void CompSource() { notAvailable(kCompSource); }

std::span<const PendingStep> sedimentPendingSteps() { return kSteps; }

}  // namespace qorva
