// Steps of this folder that are not built yet: each logs that it is not available and ends the
// run with status 1, so no run can take a missing step for a result. The table below gives, for
// each, the settings under which a run reaches it; the start-up check reads it.
#include "files/files.h"
#include "state/log.h"
#include "state/options.h"
#include "state/pending_steps.h"

namespace qorva {

namespace {

constexpr char kBedangle[] = "the bed angles of the bedangle file (F 274)";
constexpr char kAlpha1[] = "the water surface from the alpha1 file (F 349)";
constexpr char kBaggerCor[] = "the dredging tables written to bagger.cor (F 386)";

// Not in the table: bagger.cor, written with the point files only when a generation fails for
// lack of room (F 65).
const PendingStep kSteps[] = {
    // The readers of unstruc (U, in the first pass) and alldata (B) end with these.
    {[](char t) { return t == 'U' && FlagOpenFOAMsurface == 1; }, kAlpha1},
    {[](char t) { return (t == 'U' || t == 'B') && FlagBedAngles > 0; }, kBedangle},
};

}  // namespace

void readBedangle() { notAvailable(kBedangle); }
void OpenFOAM_MakeSurface() { notAvailable(kAlpha1); }
void writeBaggerCor() { notAvailable(kBaggerCor); }

std::span<const PendingStep> filesPendingSteps() { return kSteps; }

}  // namespace qorva
