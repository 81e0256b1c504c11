// Steps of this folder that are not built yet: each logs that it is not available and ends the
// run with status 1, so no run can take a missing step for a result. The table below gives, for
// each, the settings under which a run reaches it; the start-up check reads it.
#include "discretisation/discretisation.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/pending_steps.h"

namespace qorva {

namespace {

constexpr char kVegdata[] = "vegetation data from an STL surface (task P)";
constexpr char kBedform[] = "the bedform smoothing of F 176";
constexpr char kDensity[] =
    "the density-gradient sources on layers that follow the local surface (F 69 second value 3)";

// The steps that assemble the velocity equations: the momentum step and the pressure predictor
// of F 171 2, 4 and 5.
bool velocityEquations(char t) { return reach::momentumStep(t) || reach::predictor(t); }

// coeff_make runs in every inner iteration: the velocities, k and epsilon, the components.
bool faceCoefficients(char t) {
  return velocityEquations(t) || reach::turbulenceStep(t) || reach::componentStep(t);
}

const PendingStep kSteps[] = {
    {[](char t) { return t == 'P'; }, kVegdata},
    {[](char t) { return faceCoefficients(t) && FlagRBedformsmooth > 0; }, kBedform},
    {[](char t) {
       return velocityEquations(t) && TemperatureFlag == 1 && FlagThermocline == 0 &&
              relaxDensityTurb > 0 && Seiche2 == 3;
     },
     kDensity},
};

}  // namespace

int computeVegdataFromSTL() { notAvailable(kVegdata); }
double coeff_bedform(int, int, int) { notAvailable(kBedform); }
void densityGradientsFollowingSurface() { notAvailable(kDensity); }

std::span<const PendingStep> discretisationPendingSteps() { return kSteps; }

}  // namespace qorva
