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

constexpr char kTecplot2d[] = "the Tecplot plan view (print_tecplot2d)";
constexpr char kTecplot3d[] = "the Tecplot 3-D file (print_tecplot3d)";
constexpr char kParaview2d[] = "the VTK plan view (print_paraview2d)";
constexpr char kInterres[] = "the interpolated results (print_interres)";
constexpr char kWeirSTL[] = "writing the weir as STL (task Z)";

// The dispatcher writes one of these outputs for the task of letter t.
bool writes(char t, std::initializer_list<Output> outputs) {
  if (!reach::resultsWritten(t)) return false;
  const std::vector<Output> selected = selectedOutputs();
  for (Output o : outputs)
    if (std::find(selected.begin(), selected.end(), o) != selected.end()) return true;
  return false;
}

const PendingStep kSteps[] = {
    {[](char t) { return writes(t, {Output::TecplotPlan, Output::TecplotPlanPerBlock}); },
     kTecplot2d},
    {[](char t) { return writes(t, {Output::Tecplot3d}); }, kTecplot3d},
    {[](char t) { return writes(t, {Output::VtkPlan, Output::VtkPlanPerBlock}); }, kParaview2d},
    {[](char t) { return writes(t, {Output::Interpolated}); }, kInterres},
    {[](char t) { return t == 'Z'; }, kWeirSTL},
};

}  // namespace

void print_tecplot2d(int, int) { notAvailable(kTecplot2d); }
void print_tecplot3d(int) { notAvailable(kTecplot3d); }
void print_paraview2d(int, int) { notAvailable(kParaview2d); }
void print_interres(int) { notAvailable(kInterres); }
int makeWeirSTL() { notAvailable(kWeirSTL); }

std::span<const PendingStep> outputPendingSteps() { return kSteps; }

}  // namespace qorva
