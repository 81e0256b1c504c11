// Steps of this folder that are not built yet: each logs that it is not available and ends the
// run with status 1, so no run can take a missing step for a result. The table below gives, for
// each, the settings under which a run reaches it; the start-up check reads it.
#include "discretisation/discretisation.h"
#include "state/log.h"
#include "state/options.h"
#include "state/pending_steps.h"

namespace qorva {

namespace {

constexpr char kVegdata[] = "vegetation data from an STL surface (task P)";
constexpr char kBedform[] = "the bedform smoothing of F 176";
constexpr char kExtraSource[] = "the vegetation and porosity sources of F 115 (extra_source)";
constexpr char kDragDune[] = "the dune form drag of F 498 (computeDragDune)";
constexpr char kBrenix[] = "the roughness-layer drag of F 189 (computeBrenix)";
constexpr char kGravity[] = "the gravity sources of F 181 and F 135 (GravityFunction)";
constexpr char kDensity[] = "the density-gradient sources of F 67 (DensityGradients)";
constexpr char kSou2[] = "the second-order upwind coefficients of the velocities (coeff_make_sou2)";
constexpr char kLimited[] = "the limited convection corrections of K 6 (coeff_make_source)";
constexpr char kNormStress[] = "the normal-stress term of F 324 (computeNormStress)";
constexpr char kSeiche[] = "the vertical velocities from continuity of F 69 (SeicheFunctions)";

// The steps that assemble the velocity equations: the momentum step and the pressure predictor
// of F 171 2, 4 and 5.
bool velocityEquations(char t) { return reach::momentumStep(t) || reach::predictor(t); }

// coeff_make runs in every inner iteration: the velocities, k and epsilon, the components.
bool faceCoefficients(char t) {
  return velocityEquations(t) || reach::turbulenceStep(t) || reach::componentStep(t);
}

const PendingStep kSteps[] = {
    {[](char t) { return t == 'P'; }, kVegdata},
    {[](char t) { return reach::momentumStep(t) && sou[1] == 1; }, kSou2},
    {[](char t) { return faceCoefficients(t) && FlagRBedformsmooth > 0; }, kBedform},
    {[](char t) { return reach::momentumStep(t) && FlagBrenix > 0; }, kBrenix},
    {[](char t) {
       return FlagDragDLL > 0 && (velocityEquations(t) || reach::turbulenceStep(t));
     },
     kExtraSource},
    {[](char t) { return velocityEquations(t) && FlagDragDune == 1; }, kDragDune},
    {[](char t) {
       return (reach::momentumStep(t) && (FlagGravity > 0 || FlagGravityTerm != 0)) ||
              (reach::predictor(t) && FlagGravity > 0);
     },
     kGravity},
    {[](char t) {
       return velocityEquations(t) && TemperatureFlag == 1 && FlagThermocline == 0;
     },
     kDensity},
    {[](char t) {
       for (int e = 1; e <= 3; ++e)
         if (reach::equationSolved(t, e) && sou[e] > 9) return true;
       return false;
     },
     kLimited},
    {[](char t) { return velocityEquations(t) && FlagNormStress > 0; }, kNormStress},
    {[](char t) { return reach::pressureStep(t) && Seiche4 > 0; }, kSeiche},
};

}  // namespace

int computeVegdataFromSTL() { notAvailable(kVegdata); }
double coeff_bedform(int, int, int) { notAvailable(kBedform); }
void extra_source() { notAvailable(kExtraSource); }
void computeDragDune() { notAvailable(kDragDune); }
void computeBrenix(int, int) { notAvailable(kBrenix); }
void GravityFunction(int, int, int) { notAvailable(kGravity); }
void DensityGradients() { notAvailable(kDensity); }
void coeff_make_sou2(int, int) { notAvailable(kSou2); }
void coeff_make_source(int, int) { notAvailable(kLimited); }
void computeNormStress(int, int) { notAvailable(kNormStress); }
void SeicheFunctions() { notAvailable(kSeiche); }

std::span<const PendingStep> discretisationPendingSteps() { return kSteps; }

}  // namespace qorva
