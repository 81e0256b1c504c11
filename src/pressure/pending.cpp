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

constexpr char kOrth[] = "the interpolated-level pressure derivative of F 114 6 (d_di_orth_Pres)";
constexpr char kAnti[] = "the interpolated-level pressure derivative of F 114 9 (d_di_anti_Pres)";
constexpr char kAnti2[] =
    "the interpolated-level pressure derivative of F 114 10 (d_di_anti_Pres2)";
constexpr char kDamped[] = "the damped velocity correction of F 291";
constexpr char kHorizontal[] = "the velocity correction without its vertical part (F 69 third integer %d)";
constexpr char kForm[] = "the velocity correction of F 157 %d";

// The pressure gradient of the velocity equations: every momentum step and the velocities of
// F 171 5. The mud flow (F 236, computed by the task W) takes form 6 after its bed friction.
bool pressureGradient(char t, int form) {
  const bool mud = form == 6 && mudFlow() && reach::momentumStep(t);
  return mud || ((reach::momentumStep(t) || (reach::predictor(t) && FlagSIMPLE == 5)) &&
                 FlagPresGrad == form);
}

// The corrections of the pressure step choose their velocity form; F 258 takes none.
bool missingCorrection(char t) {
  return reach::pressureStep(t) && FlagStressTerm <= 0 && velocityCorrectionMissing();
}
bool damped() { return FlagDamp3 > 0 && FlagSimpleCorrections != 50; }

const PendingStep kSteps[] = {
    {[](char t) { return pressureGradient(t, 6); }, kOrth},
    {[](char t) { return pressureGradient(t, 9); }, kAnti},
    {[](char t) { return pressureGradient(t, 10); }, kAnti2},
    {[](char t) { return missingCorrection(t) && damped(); }, kDamped},
    {[](char t) { return missingCorrection(t) && !damped() && FlagSimpleCorrections == 0; },
     kHorizontal, [] { return Seiche3; }},
    {[](char t) { return missingCorrection(t) && !damped() && FlagSimpleCorrections != 0; },
     kForm, [] { return FlagSimpleCorrections; }},
};

}  // namespace

double d_di_orth_Pres(int, int) { notAvailable(kOrth); }
double d_di_anti_Pres(int, int) { notAvailable(kAnti); }
double d_di_anti_Pres2(int, int) { notAvailable(kAnti2); }
void dampedVelocityCorrection(int, int) { notAvailable(kDamped); }
void horizontalVelocityCorrection(int, int) { notAvailable(strf(kHorizontal, Seiche3).c_str()); }
void velocityCorrectionForm(int form, int, int) { notAvailable(strf(kForm, form).c_str()); }

std::span<const PendingStep> pressurePendingSteps() { return kSteps; }

}  // namespace qorva
