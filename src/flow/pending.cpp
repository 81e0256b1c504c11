// Steps of this folder that are not built yet: each logs that it is not available and ends the
// run with status 1, so no run can take a missing step for a result. The table below gives, for
// each, the settings under which a run reaches it; the start-up check reads it.
#include "flow/flow.h"
#include "state/log.h"
#include "state/options.h"
#include "state/pending_steps.h"

namespace qorva {

namespace {

constexpr char kShallowWater[] = "the shallow-water computation (task L)";
// Settings the restructured driver of F 328 has no use for: they would be read and do nothing.
constexpr char kNewFirstInner[] =
    "the first inner iterations of F 489 with the restructured driver of F 328";
constexpr char kNewModifyGrid[] = "the grid repair of F 395 with the restructured driver of F 328";
constexpr char kNewEndTime[] = "the end time of F 335 with the restructured driver of F 328";
constexpr char kNewSurfaceCall[] =
    "the surface switches of F 432 and F 481 with the restructured driver of F 328";
constexpr char kNewPredictor[] =
    "the pressure predictor of F 171 2, 4 and 5 with the restructured driver of F 328";
constexpr char kMGSsolver[] = "the grid-sequenced water-flow computation of F 152 (MGSsolver)";
constexpr char kHydrostatic[] = "the hydrostatic water-flow computation of F 68 1";
constexpr char kWaterSolve2D[] = "the depth-averaged water-flow computation of F 68 3";
constexpr char kNestsource[] = "the nesting sources (nestsource)";
constexpr char kCoupled[] = "the coupled nesting solve of F 261 (CoupledSolverNesting)";
constexpr char kCoupled2[] = "the coupled nesting solve of F 261 (CoupledSolver2Nesting)";
// The velocity reset that reads the profiles is built, but no step calls it: the profiles
// would be read and act on nothing.
constexpr char kVProfiles[] =
    "the velocity reset at the vertical profiles of P 17 (setVelocitiesZero)";
constexpr char kFroude[] = "the Froude-number switch of F 93 (FroudeHystatFunction)";

// The driver the task W runs; F 37 ends the task before any (the walk stops there).
bool flowTask(char t, FlowDriver d) {
  return t == 'W' && FlagTSC <= 0 && chooseFlowDriver(FlowCaller::Task) == d;
}

// The restructured driver runs for the task W or in the time steps of the sediment loop.
bool restructuredRun(char t) {
  return restructuredDriver() && ((t == 'W' && FlagTSC <= 0) || reach::sedimentSteps(t));
}

// Not in the table: nestsource (reached when the grid file has nested blocks).
const PendingStep kSteps[] = {
    {[](char t) { return t == 'L'; }, kShallowWater},
    {[](char t) { return restructuredRun(t) && FirstIterNo > 0; }, kNewFirstInner},
    {[](char t) { return restructuredRun(t) && FlagModifyGrid > 0; }, kNewModifyGrid},
    {[](char t) { return restructuredRun(t) && TimeEnd < 1e49 && TimeStep > 1e-8; }, kNewEndTime},
    {[](char t) { return restructuredRun(t) && (FlagCallSurface != 0 || FlagScalePressure > 0); },
     kNewSurfaceCall},
    {[](char t) {
       return restructuredRun(t) && (FlagSIMPLE == 2 || FlagSIMPLE == 4 || FlagSIMPLE == 5);
     },
     kNewPredictor},
    {[](char t) { return flowTask(t, FlowDriver::GridSequencing); }, kMGSsolver},
    {[](char t) { return flowTask(t, FlowDriver::Hydrostatic); }, kHydrostatic},
    {[](char t) { return flowTask(t, FlowDriver::DepthAveraged); }, kWaterSolve2D},
    {[](char t) {
       return (reach::momentumStep(t) && FlagCoupledNesting >= 11 && FlagCoupledNesting <= 19) ||
              (reach::turbulenceStep(t) && FlagCoupledNesting == 13);
     },
     kCoupled2},
    {[](char t) {
       return (reach::momentumStep(t) && FlagCoupledNesting >= 1 && FlagCoupledNesting <= 9) ||
              (reach::turbulenceStep(t) && FlagCoupledNesting == 3);
     },
     kCoupled},
    {[](char t) { return reach::pressureStep(t) && FlagFroudeHystat == 1; }, kFroude},
    // No step calls the reset yet; the profiles of P 17 have no other use.
    {[](char t) { return reach::mainFlow(t) && NoVProfiles > 0; }, kVProfiles},
};

}  // namespace

int shallowWater() { notAvailable(kShallowWater); }
void MGSsolver() { notAvailable(kMGSsolver); }
void WaterSolveHydrostatic() { notAvailable(kHydrostatic); }
void WaterSolve2D() { notAvailable(kWaterSolve2D); }
void nestsource() { notAvailable(kNestsource); }
void CoupledSolverNesting() { notAvailable(kCoupled); }
void CoupledSolver2Nesting() { notAvailable(kCoupled2); }
void FroudeHystatFunction() { notAvailable(kFroude); }

std::span<const PendingStep> flowPendingSteps() { return kSteps; }

}  // namespace qorva
