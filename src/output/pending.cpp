// Steps of this folder that are not built yet: each logs that it is not available and ends the
// run with status 1, so no run can take a missing step for a result. The table below gives, for
// each, the settings under which a run reaches it; the start-up check reads it.
#include <algorithm>

#include "output/output.h"
#include "state/log.h"
#include "state/options.h"
#include "state/pending_steps.h"

namespace qorva {

namespace {

constexpr char kInterres[] = "the interpolated results (print_interres)";
constexpr char kWeirSTL[] = "writing the weir as STL (task Z)";
constexpr char kBraided[] = "the braiding statistics of F 368 (writeBraided)";
constexpr char kDune[] = "the dune statistics of F 370 (writeDune)";
constexpr char kFractions[] = "the bed fractions at the interpolation points (print_fractions)";
constexpr char kFractionsPrint[] = "the bed-fraction print of F 433 (make_Bfractionsprint)";
constexpr char kProfiles[] = "the longitudinal profile of F 453 (print_profiles)";

// The dispatcher writes one of these outputs for the task of letter t.
bool writes(char t, std::initializer_list<Output> outputs) {
  if (!reach::resultsWritten(t)) return false;
  const std::vector<Output> selected = selectedOutputs();
  for (Output o : outputs)
    if (std::find(selected.begin(), selected.end(), o) != selected.end()) return true;
  return false;
}

const PendingStep kSteps[] = {
    {[](char t) { return writes(t, {Output::Interpolated}); }, kInterres},
    {[](char t) { return t == 'Z'; }, kWeirSTL},
    // The writers of the sediment loop (task S), at their step intervals.
    {[](char t) { return reach::sedimentSteps(t) && FlagBraidedIndex > 0 && reach::someIteration(100); },
     kBraided},
    {[](char t) {
       return reach::sedimentSteps(t) && WriteDuneI1 > 0 && reach::someIteration(WriteDuneIter);
     },
     kDune},
    {[](char t) {
       return reach::sedimentSteps(t) && (FlagInterpolVal == 30 || PrintArrayFlags[10] == 130);
     },
     kFractions},
    {[](char t) { return reach::sedimentSteps(t) && FlagFractionsPrint > 0; }, kFractionsPrint},
    {[](char t) {
       return reach::sedimentSteps(t) && FlagProfiles > 0 && reach::someIteration(FlagProfiles);
     },
     kProfiles},
};

}  // namespace

void print_interres(int) { notAvailable(kInterres); }
int makeWeirSTL() { notAvailable(kWeirSTL); }
void writeBraided() { notAvailable(kBraided); }
void writeDune() { notAvailable(kDune); }
void print_fractions() { notAvailable(kFractions); }
void make_Bfractionsprint() { notAvailable(kFractionsPrint); }
void print_profiles() { notAvailable(kProfiles); }

std::span<const PendingStep> outputPendingSteps() { return kSteps; }

}  // namespace qorva
