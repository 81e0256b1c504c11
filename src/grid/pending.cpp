// Steps of this folder that are not built yet: each logs that it is not available and ends the
// run with status 1, so no run can take a missing step for a result. The table below gives, for
// each, the settings under which a run reaches it; the start-up check reads it.
#include "bed/bed_modes.h"
#include "flow/flow_modes.h"
#include "grid/generator.h"
#include "grid/grid.h"
#include "state/log.h"
#include "state/options.h"
#include "state/pending_steps.h"

namespace qorva {

namespace {

constexpr char kRoughness[] = "bed roughness from survey points (task K)";
constexpr char kTwoLayer[] = "the two-layer grid generator (F 488)";
constexpr char kRefinement[] = "the refinement blocks (F 130)";
constexpr char kMethod[] = "the vertical grid method F 64 %d";
constexpr char kDryEdge[] = "the dry-edge shaping of the grid (F 102)";
constexpr char kMud[] = "the mud-layer block on its own levels (F 289 second value)";
constexpr char kDepthAveraged[] = "the depth-averaged block (F 68)";
constexpr char kShallow[] = "the shallow-water block (F 311)";
constexpr char kCriticalCross[] = "the critical cross-sections along the route (F 407)";

// The generator's choices, as Unstructure makes them.
bool generates(char t) { return reach::gridGeneration(t) && UMethod2 <= 0; }
bool otherMethod() { return otherVerticalMethod(UMethod) && !verticalMethodBuilt(UMethod); }
bool dryEdge() {
  if (FlagMinLevUnstruc <= 0) return false;
  const int m = UMethod;
  const bool method = m == 2 || m == 3 || m == 4 || m == 11 || m == 12 || m == 13 ||
                      (m >= 30 && m <= 40) || m > 99;
  return method && (FlagHorMove > 0 || (FlagTriangleAlgo >= 0 && FlagTriangleAlgo <= 6) ||
                    (FlagCorrTrekant >= 1 && FlagCorrTrekant <= 30) || FlagFixGrid == 1);
}

const PendingStep kSteps[] = {
    {[](char t) { return t == 'K'; }, kRoughness},
    {[](char t) { return reach::gridGeneration(t) && UMethod2 > 0; }, kTwoLayer},
    // The koosurf read of Y gives the run its blocks, so no more than 8 exist there.
    {[](char t) { return t == 'Y' && UMethod2 <= 0 && TetI1 > 0; }, kRefinement},
    {[](char t) { return generates(t) && QNFlag <= 0 && otherMethod(); }, kMethod,
     [] { return UMethod; }},
    {[](char t) { return generates(t) && dryEdge(); }, kDryEdge},
    {[](char t) { return generates(t) && mudLayerGrid() && FlagThixoGrid != 0; }, kMud},
    {[](char t) { return generates(t) && depthAveragedBlock(); }, kDepthAveraged},
    {[](char t) { return generates(t) && !depthAveragedBlock() && FlagShallowWater == 1; },
     kShallow},
    // The grid-split prevention runs at the start of every free-surface update.
    {[](char t) {
       return reach::surfaceUpdate(t) && FlagNoGridSplit > 0 && FlagCriticalCross == 1;
     },
     kCriticalCross},
};

}  // namespace

void computeRoughness() { notAvailable(kRoughness); }
int Unstructure2() { notAvailable(kTwoLayer); }
void UnstrucTett() { notAvailable(kRefinement); }
void UnstructureMethod(int method) { notAvailable(strf(kMethod, method).c_str()); }
void dryEdgeShaping() { notAvailable(kDryEdge); }
void UnstrucThixo2(int) { notAvailable(kMud); }
void HydroStaticMake() { notAvailable(kDepthAveraged); }
void HydroStaticMake2() { notAvailable(kShallow); }
void computeCriticalCross() { notAvailable(kCriticalCross); }

std::span<const PendingStep> gridPendingSteps() { return kSteps; }

}  // namespace qorva
