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

constexpr char kParaBed3[] = "the bed-layer row section (writeParaBed3)";
constexpr char kParaBed4[] = "the bed-layer slabs (writeParaBed4)";
constexpr char kParaBed5[] = "the bed-layer column section (writeParaBed5)";
constexpr char kInterres[] = "the interpolated results (print_interres)";
constexpr char kCellTable[] = "the cell table TarpoPkt.dat";
constexpr char kBedPoints[] = "the bed points beddata.sim";
constexpr char kWetOutline[] = "the wet-area outline zebrun";
constexpr char kHabitat[] = "the depth and velocity classes habitat";
constexpr char kSloping[] = "the fraction of sloping bed area (boogie.spe)";
constexpr char kDischargeCheck[] = "the discharge check (boogie.spe)";
constexpr char kLevelProfile[] = "the water, mud and groundwater profile (boogie.spe)";
constexpr char kWeirSTL[] = "writing the weir as STL (task Z)";

// The dispatcher writes one of these outputs for the task of letter t.
bool writes(char t, std::initializer_list<Output> outputs) {
  if (!reach::resultsWritten(t)) return false;
  const std::vector<Output> selected = selectedOutputs();
  for (Output o : outputs)
    if (std::find(selected.begin(), selected.end(), o) != selected.end()) return true;
  return false;
}

// The bed-layer sections after the VTK 3-D grid, for more than two bed layers; the sections of
// other F 449 ranges depend on the size of block 1 and are met when it is known.
bool layerSections(char t) { return NoBedLayers > 2 && writes(t, {Output::Vtk3d}); }

const PendingStep kSteps[] = {
    {[](char t) {
       return (layerSections(t) && (tracerJ2 == 0 || tracerJ2 == -8)) ||
              writes(t, {Output::BedLayerSection});
     },
     kParaBed3},
    {[](char t) { return layerSections(t) && tracerJ2 == -10; }, kParaBed4},
    {[](char t) {
       return layerSections(t) && ((FlagBarcelona > 0 && CrossBarcelona > 0) || tracerJ2 == -8);
     },
     kParaBed5},
    {[](char t) { return writes(t, {Output::CellTable}); }, kCellTable},
    {[](char t) { return writes(t, {Output::BedPoints}); }, kBedPoints},
    {[](char t) { return writes(t, {Output::Interpolated}); }, kInterres},
    {[](char t) { return writes(t, {Output::WetOutline}); }, kWetOutline},
    {[](char t) { return writes(t, {Output::Habitat}); }, kHabitat},
    {[](char t) { return writes(t, {Output::SlopingFraction}); }, kSloping},
    {[](char t) { return writes(t, {Output::DischargeCheck}); }, kDischargeCheck},
    {[](char t) { return writes(t, {Output::LevelProfile, Output::LevelProfileAppended}); },
     kLevelProfile},
    {[](char t) { return t == 'Z'; }, kWeirSTL},
};

}  // namespace

void writeParaBed3(int, int) { notAvailable(kParaBed3); }
void writeParaBed4(int) { notAvailable(kParaBed4); }
void writeParaBed5(int, int) { notAvailable(kParaBed5); }
void print_interres(int) { notAvailable(kInterres); }
void writeCellTable() { notAvailable(kCellTable); }
void writeBedPoints() { notAvailable(kBedPoints); }
void writeWetOutline() { notAvailable(kWetOutline); }
bool writeHabitat() { notAvailable(kHabitat); }
bool writeSlopingFraction() { notAvailable(kSloping); }
bool writeDischargeCheck() { notAvailable(kDischargeCheck); }
bool writeLevelProfile(bool) { notAvailable(kLevelProfile); }
int makeWeirSTL() { notAvailable(kWeirSTL); }

std::span<const PendingStep> outputPendingSteps() { return kSteps; }

}  // namespace qorva
