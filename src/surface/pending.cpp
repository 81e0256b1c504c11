// Steps of this folder that are not built yet: each logs that it is not available and ends the
// run with status 1, so no run can take a missing step for a result. The table below gives, for
// each, the settings under which a run reaches it; the start-up check reads it.
#include <span>

#include "bed/bed_modes.h"
#include "state/log.h"
#include "state/options.h"
#include "state/pending_steps.h"
#include "surface/surface.h"

namespace qorva {

namespace {

constexpr char kThixoSlides[] =
    "the slide fluxes of the mud layer (F 236 3) in the transient free surface";

// The calls of surface(): the F 36 update between outer iterations, the update of the G 6
// surface cell after an inner iteration (F 36 0) and the hand-over of F 36 6 in the pressure
// step. The residual tests in front of them only delay the update.
bool surfaceReached(char t) {
  const bool outer = reach::mainFlow(t) && surfaceBetweenOuterIterations() && FlagCallSurface == 0 &&
                     FlagRoof == 1 && !mudFlow() && reach::someIteration(IterWaterUpdate);
  const bool cell = reach::innerIterations(t) && FlagTFS == 0 && iSurf > 0 && FlagRoof == 1 &&
                    reach::someIteration(IterSurface);
  const bool handOver = reach::pressureStep(t) && FlagTFS == 6 && FlagRoof == 1;
  return outer || cell || handOver;
}

}  // namespace

// Only the slide routines, which this version does not have, call the transient surface with
// the mud layer of F 236 3: no run reaches it, so it has no row.
void thixoSlideFluxes() { notAvailable(kThixoSlides); }

std::span<const PendingStep> surfacePendingSteps() { return {}; }

bool reach::surfaceUpdate(char t) { return surfaceReached(t); }

}  // namespace qorva
