// Steps of this folder that are not built yet: each logs that it is not available and ends the
// run with status 1, so no run can take a missing step for a result. The table below gives, for
// each, the settings under which a run reaches it; the start-up check reads it. It also holds
// the rows of the flow drivers and of the limiter correction that only the sediment loop
// reaches (task S); their stubs are in flow/pending.cpp and discretisation/pending.cpp.
#include <algorithm>

#include "flow/flow_modes.h"
#include "sediment/quality_terms.h"
#include "sediment/sediment.h"
#include "sediment/sediment_loop.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_f100_149.h"
#include "state/options_f150_199.h"
#include "state/options_f250_299.h"
#include "state/options_f300_349.h"
#include "state/options_f450_499.h"
#include "state/options_kw.h"
#include "state/options_qm.h"
#include "state/pending_steps.h"
#include "state/status.h"

namespace qorva {

namespace {

constexpr char kAlgae[] =
    "the algae and light terms of the water-quality components (Q 42, 51, 81, 113, 121, 131, 132, "
    "133, 151, 152, 161, 162, 221, 252, 261, 272, 281, 282, 291, 361, 371, 6100)";
constexpr char kCrankNicolson[] =
    "the Crank-Nicolson weight of F 61 with the bed-load vector of F 78 5..9 or the "
    "second-order scheme of F 63 1";
// Stubs elsewhere, reached here only through the sediment loop.
constexpr char kWaterSolveNew[] = "the water-flow computation of F 328 (WaterSolveNew)";
constexpr char kWaterSolveFast[] = "the fast water-flow computation of F 170 (WaterSolveFast)";
constexpr char kMGSsolver[] = "the grid-sequenced water-flow computation of F 152 (MGSsolver)";
constexpr char kHydrostatic[] = "the hydrostatic water-flow computation of F 68 1";
constexpr char kWaterSolve2D[] = "the depth-averaged water-flow computation of F 68 3";
constexpr char kCoupled[] = "the coupled nesting solve of F 261 (CoupledSolverNesting)";
constexpr char kLimiter[] = "the limited convection corrections of F 63 above 9 (coeff_make_source)";


bool steps(char t) { return reach::sedimentSteps(t); }

constexpr int kAlgaeCodes[] = {42,  51,  81,  113, 121, 131, 132, 133, 151, 152, 161,
                               162, 221, 252, 261, 272, 281, 282, 291, 361, 371, 6100};

bool algaeTerms() {
  const int n = std::min(NoTerms, static_cast<int>(QTerms.size()));
  for (int r = 0; r < n; ++r)
    for (int code : kAlgaeCodes)
      if (QTerms[r].code == code) return true;
  return false;
}

// The flow driver of a sediment step, in the order the loop picks it.
bool driver(char t) { return steps(t) && !restructuredDriver() && !fastDriver(); }

const PendingStep kSteps[] = {
    {[](char t) { return (t == 'C' || reach::componentStep(t)) && algaeTerms(); }, kAlgae},
    {[](char t) { return steps(t) && restructuredDriver(); }, kWaterSolveNew},
    {[](char t) { return steps(t) && !restructuredDriver() && fastDriver(); }, kWaterSolveFast},
    {[](char t) { return driver(t) && gridSequencing(); }, kMGSsolver},
    {[](char t) { return driver(t) && !gridSequencing() && hydrostaticDriver(); }, kHydrostatic},
    {[](char t) {
       return driver(t) && !gridSequencing() && (depthAveragedDriver() || depthAveragedThenMain());
     },
     kWaterSolve2D},
    {[](char t) {
       return steps(t) && TimeStep > 1e-8 && CrankNicols > 1e-8 &&
              ((BedLoadVectorFlag >= 5 && BedLoadVectorFlag <= 9) || sou[7] == 1);
     },
     kCrankNicolson},
    {[](char t) { return steps(t) && sou[7] > 1; }, kLimiter},
    {[](char t) { return steps(t) && FlagTSC == 2 && FlagCoupledNesting == 12; }, kCoupled},
};

}  // namespace

namespace quality {
void CompSourceAlgae() {
  if (algaeTerms()) notAvailable(kAlgae);
}
}  // namespace quality
void crankNicolsonOtherForms() { notAvailable(kCrankNicolson); }

std::span<const PendingStep> sedimentPendingSteps() { return kSteps; }

}  // namespace qorva
