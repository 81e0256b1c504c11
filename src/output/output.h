// Result output. What other folders may call.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

namespace qorva {

void sprintflow();
int makeWeirSTL();

// The outputs of the dispatcher, in the order sprintflow produces them.
enum class Output {
  FlowResult,           // print_result
  TecplotPlan,          // print_tecplot2d, whole grid
  TecplotPlanPerBlock,  // print_tecplot2d, once per block
  Tecplot3d,            // print_tecplot3d
  Vtk3d,                // print_paraview3d, then the bed-layer sections
  BedLayerSection,      // writeParaBed3 of the middle row
  VtkPlan,              // print_paraview2d, whole grid
  VtkPlanPerBlock,      // print_paraview2d, once per block
  BedFractions,         // print_fracres
  CellTable,            // TarpoPkt.dat
  BedPoints,            // beddata.sim
  Interpolated,         // print_interres
  WetOutline,           // zebrun
  BedResult,            // bedres
  Habitat,              // habitat
  SlopingFraction,      // boogie.spe
  DischargeCheck,       // boogie.spe
  LevelProfile,         // boogie.spe, numbered
  LevelProfileAppended  // boogie.spe, appended over the run
};
// What the output options (F 329, F 48, F 212, F 309) and the bed state select now.
std::vector<Output> selectedOutputs();

// One bed-layer section of block 1: writeParaBed3 (row j), writeParaBed4 (all layers) or
// writeParaBed5 (column line i).
struct BedSection {
  int writer;   // 3, 4 or 5
  int section;  // j for 3, i for 5, 0 for 4
};
// The sections written after the VTK 3-D grid (none with two bed layers or fewer).
std::vector<BedSection> bedLayerSections();

// Numbered result names (P 10, P 15): name N is stem + the pattern of N's range formatted
// with N, patterns[0] for N = 0..9, [1] for 10..99, and so on, the last one for every larger
// N. The first N whose file cannot be opened for reading is taken; when every name up to
// `last` exists, `last` is taken again.
std::string numberedName(const std::string& stem, std::initializer_list<const char*> patterns,
                         int last = 999998);
// True when P 10 or P 15 asks for numbered result names.
bool numberedResults();

// Writers the dispatcher calls (graphics, sections, interpolated results, small tables).
void print_tecplot2d(int ignored, int blockNo);
void print_tecplot3d(int ignored);
void print_paraview2d(int numbered, int blockNo);
void writeParaBed3(int blockNo, int j);
void writeParaBed4(int blockNo);
void writeParaBed5(int blockNo, int i);
void print_interres(int numbered);
// The cross section of block `blockNo` along column line i ("ParaCross_<block>_<i>.vtk" or the
// parc series).
void print_cross3d(int blockNo, int i);
// Every cell with its centre and flow values ("TarpoPkt.dat" or the tarpo series); a file that
// cannot be written ends the run with -3.
void writeCellTable();
// The tables below return false when their file cannot be written; the dispatcher logs it and
// goes on with the other outputs.
bool writeBedPoints();
bool writeWetOutline();
bool writeHabitat();
bool writeSlopingFraction();
bool writeDischargeCheck();
bool writeLevelProfile(bool appended);

// The 3-D result of block 1 as a legacy VTK file ("ParaView3U.vtk" or the paru3 series).
void print_paraview3d();
// Appends the line of the present time to the time series `timeo`.
void TimePrintFunction();
// Writers of the sediment loop that this version does not have yet (hooks: output/pending.cpp
// ends the run with their "Not available" line): braiding statistics (F 368), dune statistics
// (F 370), the bed fractions at the interpolation points (F 48 30, F 329), the bed-fraction
// print (F 433) and the longitudinal profile (F 453).
void writeBraided();
void writeDune();
void print_fractions();
void make_Bfractionsprint();
void print_profiles();

// Braiding index of block 1: the active channels (runs of at least F 368 BraidCells bottom
// cells with 300 k above BraidedActive, ended by one at or below BraidedTot) per
// cross-section i = IBraidedStart..i2; 0 when there is no such section. Reads only.
double computeBI();

}  // namespace qorva
