// Steps of this folder that are not built yet: each logs that it is not available and ends the
// run with status 1, so no run can take a missing step for a result. The table below gives, for
// each, the settings under which a run reaches it; the start-up check reads it.
#include "bed/bed.h"
#include "flow/flow_modes.h"
#include "state/log.h"
#include "state/options.h"
#include "state/pending_steps.h"

namespace qorva {

namespace {

constexpr char kSlideMovement[] = "the slide movement (task D)";
constexpr char kSoilStress[] = "the soil stress (task N)";
constexpr char kSlideLocation[] = "the slide location (task N)";
constexpr char kBankFailure[] = "the bank failure of F 266 (computeGLEA)";
constexpr char kGridSplit[] =
    "the grid-split prevention before the grid follows the bed (F 371 third value)";
constexpr char kThixoDamp1[] = "the mud-flow yield state of F 289 1 (ThixoDamp1)";
constexpr char kThixoDamp2[] = "the mud-flow yield state of F 289 2 (ThixoDamp2)";

// The main flow driver of a mud-flow run updates the slide location (and the groundwater of
// F 262 2) at the head of every outer iteration under F 289 5.
bool slideHead(char t) { return reach::mainFlow(t) && reach::outerIterations() >= 1 && FlagThixoDamp == 5; }

// The yield state of the mud at the start of each inner iteration (F 236 above 1).
bool yieldState(char t, int form) {
  return reach::innerIterations(t) && mudBlock() && FlagThixoDamp == form;
}

// The sediment computation runs the bed change of F 255 in every step, none with F 68 2.
bool bedChange(char t, int option) {
  return t == 'S' && !frozenFlow() && FlagBedchangeOption == option;
}

const PendingStep kSteps[] = {
    {[](char t) { return t == 'D'; }, kSlideMovement},
    {[](char t) { return t == 'N' && FlagSoilStress == 1; }, kSoilStress},
    {[](char t) { return (t == 'N' && FlagSoilStress == 2) || slideHead(t); }, kSlideLocation},
    {[](char t) { return bedChange(t, 0) && FlagGLEA > 0; }, kBankFailure},
    {[](char t) {
       return bedChange(t, 0) && FlagNoGridSplit > 0 && FlagGridsplitBedmove > 0;
     },
     kGridSplit},
    {[](char t) { return yieldState(t, 1); }, kThixoDamp1},
    {[](char t) { return yieldState(t, 2); }, kThixoDamp2},
};

}  // namespace

int computeSlidemovement() { notAvailable(kSlideMovement); }
int computeSoilStress() { notAvailable(kSoilStress); }
void computeSlideLocation() { notAvailable(kSlideLocation); }
void computeGLEA() { notAvailable(kBankFailure); }
void gridSplitForBedChange() { notAvailable(kGridSplit); }
void ThixoDamp1(int) { notAvailable(kThixoDamp1); }
void ThixoDamp2(int) { notAvailable(kThixoDamp2); }

std::span<const PendingStep> bedPendingSteps() { return kSteps; }


// Steps of the bed that the sediment loop (task S) calls and that are not built yet, with the
// settings under which a sediment run reaches each.
namespace {

constexpr char kSlideBlock[] = "the rigid slide blocks of F 236 3 (computeSlideBlock)";
constexpr char kLoopSlideMovement[] = "the slide movement of F 236 in the sediment loop (computeSlidemovement)";
constexpr char kQNLayers[] =
    "the grain sizes of a bed of more than two layers on the grid of F 137 (morphology_QNfractions)";
constexpr char kCohesion[] = "the cohesion of the surface layer of F 330 and F 385 3-7 (computeCohesion)";
constexpr char kBagger[] = "dredging and dumping of F 386 (bagger)";

bool loopSteps(char t) { return reach::sedimentSteps(t); }

const PendingStep kLoopSteps[] = {
    {[](char t) { return loopSteps(t) && FlagThixo == 3; }, kSlideBlock},
    {[](char t) { return loopSteps(t) && slidesMove() && FlagThixo != 3; },
     kLoopSlideMovement},
    {[](char t) { return loopSteps(t) && FlagBagger >= 1 && FlagBagger <= 4; }, kBagger},
    {[](char t) { return loopSteps(t) && QNFlag > 0 && lnumber >= 2 && NoBedLayers != 2; }, kQNLayers},
    {[](char t) { return loopSteps(t) && (FlagCohesion > 2 || NoCohesiveDepth > 0); }, kCohesion},
};

}  // namespace

void morphology_QNfractionsLayered(double) { notAvailable(kQNLayers); }
void computeSlideBlock() { notAvailable(kSlideBlock); }
void computeCohesion() { notAvailable(kCohesion); }
void bagger() { notAvailable(kBagger); }

std::span<const PendingStep> bedLoopPendingSteps() { return kLoopSteps; }

}  // namespace qorva
