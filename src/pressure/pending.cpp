// Steps of this folder that are not built yet: each logs that it is not available and ends the
// run with status 1, so no run can take a missing step for a result. The table below gives, for
// each, the settings under which a run reaches it; the start-up check reads it.
#include "bed/bed_modes.h"
#include "pressure/pressure.h"
#include "state/log.h"
#include "state/options.h"
#include "state/pending_steps.h"

namespace qorva {

namespace {

constexpr char kDamped[] = "the damped velocity correction of F 291";
constexpr char kHorizontal[] = "the velocity correction without its vertical part (F 69 third integer %d)";
constexpr char kForm[] = "the velocity correction of F 157 %d";

// The corrections of the pressure step choose their velocity form; F 258 takes none.
bool missingCorrection(char t) {
  return reach::pressureStep(t) && FlagStressTerm <= 0 && velocityCorrectionMissing();
}
bool damped() { return FlagDamp3 > 0 && FlagSimpleCorrections != 50; }

const PendingStep kSteps[] = {
    {[](char t) { return missingCorrection(t) && damped(); }, kDamped},
    {[](char t) { return missingCorrection(t) && !damped() && FlagSimpleCorrections == 0; },
     kHorizontal, [] { return Seiche3; }},
    {[](char t) { return missingCorrection(t) && !damped() && FlagSimpleCorrections != 0; },
     kForm, [] { return FlagSimpleCorrections; }},
};

}  // namespace

void dampedVelocityCorrection(int, int) { notAvailable(kDamped); }
void horizontalVelocityCorrection(int, int) { notAvailable(strf(kHorizontal, Seiche3).c_str()); }
void velocityCorrectionForm(int form, int, int) { notAvailable(strf(kForm, form).c_str()); }

std::span<const PendingStep> pressurePendingSteps() { return kSteps; }

}  // namespace qorva
