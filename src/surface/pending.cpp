// Steps of this folder that are not built yet: each logs that it is not available and ends the
// run with status 1, so no run can take a missing step for a result. The table below gives, for
// each, the settings under which a run reaches it; the start-up check reads it.
#include "state/log.h"
#include "state/options.h"
#include "state/pending_steps.h"
#include "surface/surface.h"

namespace qorva {

namespace {

constexpr char kBackwater[] = "the backwater curve (task Q)";
constexpr char kSurface[] = "the free-surface update (surface)";
constexpr char kSurfaceTfs[] = "the transient free-surface update of F 36 1 and 11..19";
constexpr char kSurfaceLS[] = "the water-level equation of F 36 50 (surface_LS)";
constexpr char kSurfaceLSUpdate[] = "the water-level update of F 36 50";
constexpr char kNestedLevels[] =
    "the water levels of nested blocks from the coarse grid (F 238 3 and 5)";
constexpr char kSurfaceBugtrap[] = "the debug check of the water-level equation (F 369 1)";

// F 36 values whose update the main driver makes between outer iterations.
bool classicSurface() {
  return (FlagTFS >= 2 && FlagTFS <= 5) || (FlagTFS >= 7 && FlagTFS <= 10) || FlagTFS == 21 ||
         FlagTFS == 30;
}

// The calls of surface(): the F 36 update between outer iterations, the update of the G 6
// surface cell after an inner iteration (F 36 0) and the hand-over of F 36 6 in the pressure
// step. The residual tests in front of them only delay the update.
bool surfaceReached(char t) {
  const bool outer = reach::mainFlow(t) && classicSurface() && FlagCallSurface == 0 &&
                     FlagRoof == 1 && FlagThixo <= 0 && reach::someIteration(IterWaterUpdate);
  const bool cell = reach::innerIterations(t) && FlagTFS == 0 && iSurf > 0 && FlagRoof == 1 &&
                    reach::someIteration(IterSurface);
  const bool handOver = reach::pressureStep(t) && FlagTFS == 6 && FlagRoof == 1;
  return outer || cell || handOver;
}

// Nested levels: only when a koordina file is read (the file decides), so no row.
const PendingStep kSteps[] = {
    {[](char t) { return t == 'Q'; }, kBackwater},
    {surfaceReached, kSurface},
    {[](char t) {
       return reach::mainFlow(t) && reach::outerIterations() >= 1 &&
              (FlagTFS == 1 || (FlagTFS >= 11 && FlagTFS <= 19)) && FlagRoof == 1 &&
              FlagThixo <= 1;
     },
     kSurfaceTfs},
    {[](char t) { return reach::pressureStep(t) && FlagTFS == 50 && FlagRoof == 1; }, kSurfaceLS},
    {[](char t) {
       return reach::mainFlow(t) && FlagTFS == 50 && reach::someIteration(IterWaterUpdate);
     },
     kSurfaceLSUpdate},
    // The water-level solver checks its equation under F 369 1 wherever a surface update
    // solves one.
    {[](char t) { return FlagBugFind == 1 && surfaceReached(t); }, kSurfaceBugtrap},
};

}  // namespace

void backwater() { notAvailable(kBackwater); }
void surface() { notAvailable(kSurface); }
void surface_tfs(int, int) { notAvailable(kSurfaceTfs); }
void surface_LS() { notAvailable(kSurfaceLS); }
void surface_LS_update() { notAvailable(kSurfaceLSUpdate); }
void interpolateSurfaceNested() { notAvailable(kNestedLevels); }
void surfaceBugtrap(int) { notAvailable(kSurfaceBugtrap); }

std::span<const PendingStep> surfacePendingSteps() { return kSteps; }

}  // namespace qorva
