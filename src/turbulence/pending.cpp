// Steps of this folder that are not built yet: each logs that it is not available and ends the
// run with status 1, so no run can take a missing step for a result. The table below gives, for
// each, the settings under which a run reaches it; the start-up check reads it.
#include "state/log.h"
#include "state/options.h"
#include "state/pending_steps.h"
#include "turbulence/turbulence.h"

namespace qorva {

namespace {

constexpr char kNewWall[] = "the wall laws per wall surface of F 305";
constexpr char kSmooth[] = "the smooth-wall law of F 15 5";
constexpr char kTransitional[] = "the transitional-roughness wall law of F 15 8";
constexpr char kThroughBed[] = "the wall law with flow through the bed of F 15 9";
constexpr char kLaw19[] = "the wall law of F 15 19";

// wall_laws runs for the velocities (momentum step and predictor) and for k and epsilon.
bool wallLaws(char t) {
  return reach::momentumStep(t) || reach::predictor(t) || reach::turbulenceStep(t);
}

// The laws of F 15 act after the frame; the velocity equations always reach them.
bool wallLaw(char t, int law) { return wallLaws(t) && FlagNewWall != 1 && FlagWallAll == law; }

const PendingStep kSteps[] = {
    {[](char t) { return wallLaws(t) && FlagNewWall == 1; }, kNewWall},
    {[](char t) { return wallLaw(t, 5); }, kSmooth},
    {[](char t) { return wallLaw(t, 8); }, kTransitional},
    {[](char t) { return wallLaw(t, 9); }, kThroughBed},
    {[](char t) { return wallLaw(t, 19); }, kLaw19},
};

}  // namespace

void wall_laws_new(int, int) { notAvailable(kNewWall); }
void smoothWallLaw(int, int) { notAvailable(kSmooth); }
void transitionalWallLaw(int, int) { notAvailable(kTransitional); }
void throughBedWallLaw(int, int) { notAvailable(kThroughBed); }
void wallLaw19(int, int) { notAvailable(kLaw19); }

std::span<const PendingStep> turbulencePendingSteps() { return kSteps; }

}  // namespace qorva
