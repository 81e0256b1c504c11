// Steps of the bed that the sediment loop (task S) calls and that are not built yet: each logs
// that it is not available and ends the run with status 1, so no run can take a missing step
// for a result. The table below gives, for each, the settings under which a sediment run
// reaches it; the start-up check reads it.
#include "bed/bed.h"
#include "state/log.h"
#include "state/options.h"
#include "state/pending_steps.h"

namespace qorva {

namespace {

constexpr char kFractions3[] = "the grain sizes of the layered bed (morphology3_fractions)";
constexpr char kSlideBlock[] = "the rigid slide blocks of F 236 3 (computeSlideBlock)";
constexpr char kSlideMovement[] = "the slide movement of F 236 in the sediment loop (computeSlidemovement)";
constexpr char kQNLayers[] =
    "the grain sizes of a bed of more than two layers on the grid of F 137 (morphology_QNfractions)";
constexpr char kCohesion[] = "the cohesion of the surface layer of F 330 and F 385 3-7 (computeCohesion)";
constexpr char kBagger[] = "dredging and dumping of F 386 (bagger)";
constexpr char kBedLoadVector[] = "the bed-load slope terms of F 78 2-4 (computeBedLoadVector)";
constexpr char kBedLoadVector3[] = "the bed-load slope terms of F 78 21-29 (computeBedLoadVector3)";
constexpr char kBedLoadVector4[] = "the bed-load slope terms of F 78 31-39 (computeBedLoadVector4)";

bool steps(char t) { return reach::sedimentSteps(t); }
bool layered(char t) { return steps(t) && FlagTSC == 3; }

const PendingStep kSteps[] = {
    {[](char t) { return steps(t) && FlagThixo == 3; }, kSlideBlock},
    {[](char t) { return steps(t) && FlagThixo >= 2 && FlagThixo != 3 && FlagThixo != 100; },
     kSlideMovement},
    {[](char t) { return layered(t) && BedLoadVectorFlag >= 2 && BedLoadVectorFlag <= 4; },
     kBedLoadVector},
    {[](char t) { return layered(t) && BedLoadVectorFlag >= 21 && BedLoadVectorFlag <= 29; },
     kBedLoadVector3},
    {[](char t) { return layered(t) && BedLoadVectorFlag >= 31 && BedLoadVectorFlag <= 39; },
     kBedLoadVector4},
    {[](char t) { return steps(t) && FlagBagger >= 1 && FlagBagger <= 4; }, kBagger},
    {[](char t) { return layered(t) && QNFlag <= 0; }, kFractions3},
    {[](char t) { return steps(t) && QNFlag > 0 && lnumber >= 2 && NoBedLayers != 2; }, kQNLayers},
    {[](char t) { return steps(t) && (FlagCohesion > 2 || NoCohesiveDepth > 0); }, kCohesion},
};

}  // namespace

void morphology3_fractions(double) { notAvailable(kFractions3); }
void morphology_QNfractionsLayered(double) { notAvailable(kQNLayers); }
void computeSlideBlock() { notAvailable(kSlideBlock); }
void computeCohesion() { notAvailable(kCohesion); }
void bagger() { notAvailable(kBagger); }
void computeBedLoadVector() { notAvailable(kBedLoadVector); }
void computeBedLoadVector3() { notAvailable(kBedLoadVector3); }
void computeBedLoadVector4() { notAvailable(kBedLoadVector4); }

std::span<const PendingStep> bedLoopPendingSteps() { return kSteps; }

}  // namespace qorva
