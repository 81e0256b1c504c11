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
constexpr char kWaterSolveNew[] = "the water-flow computation of F 328 (WaterSolveNew)";
constexpr char kWaterSolveFast[] = "the fast water-flow computation of F 170 (WaterSolveFast)";
constexpr char kMGSsolver[] = "the grid-sequenced water-flow computation of F 152 (MGSsolver)";
constexpr char kHydrostatic[] = "the hydrostatic water-flow computation of F 68 1";
constexpr char kWaterSolve2D[] = "the depth-averaged water-flow computation of F 68 3";
constexpr char kNestsource[] = "the nesting sources (nestsource)";
constexpr char kCoupled[] = "the coupled nesting solve of F 261 (CoupledSolverNesting)";
constexpr char kCoupled2[] = "the coupled nesting solve of F 261 (CoupledSolver2Nesting)";
constexpr char kFluxCorr[] = "the cross-section flux corrections of F 360 (fluxCorrFunction)";
constexpr char kContinuity2[] = "the continuity correction of F 413 (correctContinuity2)";
constexpr char kTrekant[] = "the wedge-cell flux correction of F 235 (TrekantFluxCorr)";
constexpr char kTrekant4[] = "the wedge-cell flux correction of F 436 (TrekantFluxCorr4)";
constexpr char kFroude[] = "the Froude-number switch of F 93 (FroudeHystatFunction)";
constexpr char kGridTest[] = "the grid consistency test of F 1 A (gridTest)";
constexpr char kPrintDebug[] = "the cell dump of F 218 (printDebug)";
constexpr char kPrintDebug2[] = "the pressure debug print of F 183 (printDebug2)";
constexpr char kBugTrap[] = "the coefficient bug trap of F 223 (ompbugtrapFunction)";
constexpr char kTrekantReport[] = "the wedge-cell debug report (printDebugTrekant)";
constexpr char kFlush[] = "flushing a diverging flow computation (flushFunction)";
constexpr char kCrash[] = "the crash report of a diverged flow computation (printAtCrash)";

// The task W picks its driver in this order; F 37 ends it before any (the walk stops there).
bool flowTask(char t) { return t == 'W' && FlagTSC <= 0; }

// The cell dump of the iteration after StopIter, in its first two inner iterations, after the
// solves of the momentum, pressure and k steps.
bool cellDump(char t) {
  const bool solves = reach::momentumStep(t) || reach::pressureStep(t) || reach::turbulenceStep(t);
  return solves && PrintDebugBoogie != 0 && StopIter + 1 >= 1 &&
         StopIter + 1 <= reach::outerIterations();
}

// Not in the table: nestsource (reached when the grid file has nested blocks), the wedge-cell
// report (reached on a residual pattern), flushing and the crash report (reached when a
// computation diverges).
const PendingStep kSteps[] = {
    {[](char t) { return t == 'L'; }, kShallowWater},
    {[](char t) { return flowTask(t) && FlagWaterSolveNew == 1; }, kWaterSolveNew},
    {[](char t) { return flowTask(t) && FlagWaterSolveNew != 1 && FlagFastWatersolve > 0; },
     kWaterSolveFast},
    {[](char t) {
       return flowTask(t) && FlagWaterSolveNew != 1 && FlagFastWatersolve <= 0 && MGSNo > 0;
     },
     kMGSsolver},
    {[](char t) {
       return flowTask(t) && FlagWaterSolveNew != 1 && FlagFastWatersolve <= 0 && MGSNo <= 0 &&
              Hydrostatic == 1;
     },
     kHydrostatic},
    {[](char t) {
       return flowTask(t) && FlagWaterSolveNew != 1 && FlagFastWatersolve <= 0 && MGSNo <= 0 &&
              Hydrostatic == 3;
     },
     kWaterSolve2D},
    {[](char t) { return reach::innerIterations(t) && debugging == 'A'; }, kGridTest},
    {[](char t) { return reach::momentumStep(t) && ompbugtrap > 0; }, kBugTrap},
    {[](char t) {
       return reach::momentumStep(t) && FlagCorrTrekant >= 8 && FlagCorrTrekant <= 23;
     },
     kTrekant},
    {[](char t) { return reach::momentumStep(t) && FlagCorrTrekant4 > 0; }, kTrekant4},
    {[](char t) {
       return (reach::momentumStep(t) && FlagCorrectContinuity == 2) ||
              (reach::pressureStep(t) && FlagCorrectContinuity == 3);
     },
     kContinuity2},
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
    {cellDump, kPrintDebug},
    {[](char t) { return reach::pressureStep(t) && FlagFluxCorr > 0; }, kFluxCorr},
    {[](char t) { return reach::pressureStep(t) && FlagPresDebug >= 1 && FlagPresDebug <= 99; },
     kPrintDebug2},
    {[](char t) { return reach::pressureStep(t) && FlagFroudeHystat == 1; }, kFroude},
};

}  // namespace

int shallowWater() { notAvailable(kShallowWater); }
void WaterSolveNew() { notAvailable(kWaterSolveNew); }
void WaterSolveFast() { notAvailable(kWaterSolveFast); }
void MGSsolver() { notAvailable(kMGSsolver); }
void WaterSolveHydrostatic() { notAvailable(kHydrostatic); }
void WaterSolve2D() { notAvailable(kWaterSolve2D); }
void nestsource() { notAvailable(kNestsource); }
void CoupledSolverNesting() { notAvailable(kCoupled); }
void CoupledSolver2Nesting() { notAvailable(kCoupled2); }
void fluxCorrFunction(int, int) { notAvailable(kFluxCorr); }
void correctContinuity2() { notAvailable(kContinuity2); }
void TrekantFluxCorr(int, int) { notAvailable(kTrekant); }
void TrekantFluxCorr4(int, int) { notAvailable(kTrekant4); }
void FroudeHystatFunction() { notAvailable(kFroude); }
void gridTest() { notAvailable(kGridTest); }
void printDebug(int) { notAvailable(kPrintDebug); }
void printDebug2() { notAvailable(kPrintDebug2); }
void ompbugtrapFunction(int, int) { notAvailable(kBugTrap); }
void printDebugTrekant(int, int) { notAvailable(kTrekantReport); }
void flushFunction(int) { notAvailable(kFlush); }
void printAtCrash() { notAvailable(kCrash); }

std::span<const PendingStep> flowPendingSteps() { return kSteps; }

}  // namespace qorva
