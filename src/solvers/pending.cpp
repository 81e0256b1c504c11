// Steps of this folder that are not built yet: each logs that it is not available and ends the
// run with status 1, so no run can take a missing step for a result. The table below gives, for
// each, the settings under which a run reaches it; the start-up check reads it.
#include "solvers/solvers.h"
#include "state/log.h"
#include "state/options.h"
#include "state/pending_steps.h"

namespace qorva {

namespace {

constexpr char kGaussFast[] = "the five-field sweep of the fast flow solver (F 170)";
constexpr char kBlockCorrection[] = "the block correction of K 5 (BlockCorrection)";
constexpr char kAlgMGMake[] = "the two-dimensional multigrid levels of F 168 (AlgMGMake)";
constexpr char kAlgMGSolve[] = "the multigrid solve of K 5 (AlgMGSolve)";
constexpr char kSolverTDMA[] = "the line solver of F 186 (solverTDMA)";

// K 5 asks for the multigrid of equation e in the first inner iteration of the first outer
// iteration at least: 10 always, 11 in the first inner iterations, 12 in the very first one.
// k and epsilon take it only with 10, and the pressure correction of the mud flow (F 236) and
// of the predictor of F 171 not at all (the second corrector of F 171 3 does).
bool multigridOf(char t, int e) {
  const int b = blockcorr[e];
  if (e == 5 || e == 6) return reach::equationSolved(t, e) && b == 10;
  const bool asked = b == 10 || b == 11 || b == 12;
  if (e == 4) return asked && reach::pressureStep(t) && (FlagThixo <= 0 || FlagSIMPLE == 3);
  return asked && reach::equationSolved(t, e);
}

const PendingStep kSteps[] = {
    // The fast flow driver of F 170 sweeps its five fields together.
    {[](char t) {
       return t == 'W' && FlagTSC <= 0 && FlagWaterSolveNew != 1 && FlagFastWatersolve > 0;
     },
     kGaussFast},
    // The driver builds the levels on entry, unless the grid ends with a depth-averaged block
    // (F 68 1 or above 2, F 311).
    {[](char t) {
       return reach::mainFlow(t) && Flag2DAccSolver > 0 &&
              !(Hydrostatic == 1 || Hydrostatic > 2) && FlagShallowWater != 1;
     },
     kAlgMGMake},
    {[](char t) {
       if (Flag2DAccSolver <= 0) return false;
       for (int e = 1; e <= 6; ++e)
         if (multigridOf(t, e)) return true;
       return false;
     },
     kAlgMGSolve},
    {[](char t) {
       for (int e = 1; e <= 6; ++e)
         if (reach::equationSolved(t, e) && blockcorr[e] >= 1 && blockcorr[e] <= 3) return true;
       return false;
     },
     kBlockCorrection},
    {[](char t) { return reach::turbulenceStep(t) && FlagTDMA == 1; }, kSolverTDMA},
};

}  // namespace

void GaussFast(int, int, int) { notAvailable(kGaussFast); }
void BlockCorrection() { notAvailable(kBlockCorrection); }
void AlgMGMake() { notAvailable(kAlgMGMake); }
void AlgMGSolve() { notAvailable(kAlgMGSolve); }
void solverTDMA() { notAvailable(kSolverTDMA); }

std::span<const PendingStep> solversPendingSteps() { return kSteps; }

}  // namespace qorva
