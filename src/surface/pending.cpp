// Steps of this folder that are not built yet: each logs that it is not available and ends the
// run with status 1, so no run can take a missing step for a result. The table below gives, for
// each, the settings under which a run reaches it; the start-up check reads it.
#include "bed/bed_modes.h"
#include "state/log.h"
#include "state/options.h"
#include "state/pending_steps.h"
#include "surface/surface.h"

namespace qorva {

namespace {

constexpr char kThixoSlides[] =
    "the slide fluxes of the mud layer (F 236 3) in the transient free surface";
constexpr char kSurfaceLS[] = "the water-level equation of F 36 50 (surface_LS)";
constexpr char kSurfaceLSUpdate[] = "the water-level update of F 36 50";
constexpr char kNestedLevels[] =
    "the water levels of nested blocks from the coarse grid (F 238 3 and 5)";
constexpr char kContinuity[] = "the continuity-based surface movement of F 36 5 and 6";
constexpr char kAlgo10[] = "the velocity-direction level algorithm of F 36 10";
constexpr char kNestedPressure[] = "the pressure of nested blocks at the coarse level (F 238 4)";
constexpr char kSurfaceBugtrap[] = "the debug check of the water-level equation (F 369 1)";

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

// An algorithm of F 36 that the update's own road and the separate builders (F 323 1) both
// run through this folder's hooks.
bool algorithm(char t, int a, int b) {
  return surfaceReached(t) && FlagSurface2 != 2 && (FlagTFS == a || FlagTFS == b);
}
// Every road ends in the common tail.
bool tailReached(char t) { return surfaceReached(t); }

// The level equations that the solver's mode 4 solves, which checks them under F 369 1.
bool modeFourSolve(char t) {
  if (!surfaceReached(t) || FlagSurface2 == 2) return false;
  switch (FlagTFS) {
    case 4: return FlagSurface2 == 1 || solverFroude == 0;
    case 21: return FlagSurface2 != 1 && solverFroude == 0;
    case 9: return FlagSurface2 == 1 && solverFroude == 0;
    default: return false;
  }
}

// The check of the water-level equation: by the solver under F 369 1 (also for F 36 50), and
// after the solve of the level equations under the debug letters D and E (F 36 4 and 9) or E
// (F 36 7 and 8). The node update of F 36 0 and 2 solves none.
bool bugtrapReached(char t) {
  const bool bugFind =
      FlagBugFind == 1 &&
      (modeFourSolve(t) || (reach::pressureStep(t) && bedCellLevelScheme() && FlagRoof == 1));
  const bool DE = debugging == 'D' || debugging == 'E';
  const bool letters =
      (DE && (algorithm(t, 4, 4) || (surfaceReached(t) && FlagSurface2 == 1 && FlagTFS == 9))) ||
      (debugging == 'E' && algorithm(t, 7, 8));
  return bugFind || letters;
}

const PendingStep kSteps[] = {
    {[](char t) { return surfaceReached(t) && FlagNestTop == 4; }, kNestedPressure},
    {[](char t) { return algorithm(t, 5, 6); }, kContinuity},
    {[](char t) { return algorithm(t, 10, 10); }, kAlgo10},
    {[](char t) { return tailReached(t) && (FlagNestTop == 3 || FlagNestTop == 5); },
     kNestedLevels},
    {[](char t) { return reach::pressureStep(t) && bedCellLevelScheme() && FlagRoof == 1; },
     kSurfaceLS},
    {[](char t) {
       return reach::mainFlow(t) && bedCellLevelScheme() && reach::someIteration(IterWaterUpdate);
     },
     kSurfaceLSUpdate},
    {bugtrapReached,
     kSurfaceBugtrap},
};

}  // namespace

void thixoSlideFluxes() { notAvailable(kThixoSlides); }
void surface_LS() { notAvailable(kSurfaceLS); }
void surface_LS_update() { notAvailable(kSurfaceLSUpdate); }
void interpolateSurfaceNested() { notAvailable(kNestedLevels); }
void surface_continuity() { notAvailable(kContinuity); }
void surfaceAlgo10() { notAvailable(kAlgo10); }
void scalePressureNested() { notAvailable(kNestedPressure); }
void surfaceBugtrap(int) { notAvailable(kSurfaceBugtrap); }

std::span<const PendingStep> surfacePendingSteps() { return kSteps; }

bool reach::surfaceUpdate(char t) { return surfaceReached(t); }

}  // namespace qorva
