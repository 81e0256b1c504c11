// Completion of the configuration once `control` has been scanned, in a fixed order: index
// checks against the final sizes, derived settings, combinations of data sets that cannot work
// together, the structured arrays, the B data sets (a second pass over `control`), removed
// regions, a provisional unit grid, and the side files `cyclic`, `inflow` and `inspace`.
// Writes NoComponents, level, zdistrib, FlagReadNdata, Bdatasets, NoBdatasets, bedOutBlock,
// xval, yval, zval, Surfaces, TimePrint, TimePrintNo, mc_message.
#include <omp.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "driver/control.h"
#include "driver/fsets_350_399.h"
#include "driver/gsets.h"
#include "driver/kwsets.h"
#include "driver/side_files.h"
#include "state/arrays.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/timeseries.h"
#include "surface/surface_modes.h"

namespace qorva {

namespace {

// Combinations that cannot work together end the run: the message goes to the log and the
// status is 1, as for any other error in `control`.
[[noreturn]] void combinationError(const char* text) { failf(1, "%s", text); }

void checkCombinations() {
  if (FlagTriangleAlgo == 5 && UMethod2 == 0)
    combinationError("Error in control file: F 493 5 is only used with F 488 > 0\n\n");
  if (FlagTriangleAlgo == 0 && UMethod2 > 0)
    logf("Warning: possible problem in control file: F 488 > 0 has only been tested in "
         "combination with F 493 5\n\n");

  if (FlagReadNdata == 0 && FlagTSC > 0 && lnumber > 1)
    combinationError(
        "For sediment computations (F 37) it is necessary to specify N data sets\n"
        "in the control file, or use a 'fracres' file with an 'O' in the F 2 data set\n");

  if (FlagFlowDirCor == 1 && NoProcessesSolver > 0)
    combinationError(
        "The combination F 206 > 0 and F 7 E will give inconsistent results in the\n"
        "pressure-correction function\n\n");

  // Only advice: the run goes on, and the checks below still write to the log.
  if (FlagTFS == 9 && FlagSurface2 != 1)
    logf("Using F 36 9 in the control file should only be done in combination with F 323 1\n\n");

  if (Flag2DAccSolver > 0 && topCellPressureRule() && FlagPresSurf != -1)
    combinationError(
        "The combination of values on the F 168 and F 36 data sets in the control file \n"
        "will not work. It is recommended to set the F 168 data set to zero when using \n"
        "your choise of F 36 data set.\n\n");

  // Data sets that need serial or parallel runs.
  if (FlagTimeSIMPLE > 0 && NoProcessesSolver != 0)
    combinationError("Error in control file: F 296 data set only works for F 206 0\n\n");
  if (FlagPresSurfDamp > 0 && (NoProcessesSolver > 0 || FlagWaterSolveNew > 0))
    combinationError("Error in control file: F 419 data set only works with F 206 = 0 and F 328 = 0\n\n");
  if (FlagEndCorrect > 0 && NoProcessesSolver > 0)
    combinationError("Error in control file: F 104 data set only works with F 206 = 0\n\n");
  if (FlagPresMPIboundary > 0 && NoProcessesSolver > 0)
    combinationError("Error in control file: F 316 only works with F 206 = 0\n\n");
  if (FlagPresCorrStab > 0 && (NoProcessesSolver == 0 || FlagWaterSolveNew > 0))
    combinationError(
        "Error in control file: F 373 data set will only work with F 206 > 0 and F 328 = 0\n\n");

  // The per-surface wall laws have a u+ only for the rough, smooth and transitional laws.
  if (FlagNewWall == 1 && FlagWallAll != 0 && FlagWallAll != 5 && FlagWallAll != 8)
    combinationError(
        "Error in control file: the wall laws per wall surface (F 305 1) work only with F 15 0, "
        "5 or 8\n\n");

  if (FlagLogInflow > 0 && FlagCyclic != 0)
    combinationError(
        "Error in control file: F 202 and (F 174 1st integer != 0) must not be used together\n\n");
}

void checkSedimentSettings() {
  if (IONo < 0) failf(-1, "Input error for G 7 in control\nError = %d\n", IONo);
  if (FlagTSC > 0 && UMethod == 0)
    failf(-1,
          "Error in control file: When the F 37 data set is used, the F 64 data set must also be "
          "given\n"
          "Often F 64 11 is used in combination with F 37\n");
  if (FlagBedchangeOption > 0 && (FlagSkewedBedchange > 0 || FlagGLEA > 0 || FlagBedSmooth > 0))
    logf("Warning: possible problem in control file: combination of the F 255 data with one of "
         "the F 144, F 205 or F 266 data sets\n\n");
  if (FlagBedchangeOption == 0 && FlagTSC == 3) failf(-1, "Error: Use F 255 5 data set with F 37 3\n");
  if (FlagLogInflow > 0 && FlagShapeInflow > 0)
    failf(-1, "Error: Both F 524 and F 202 are used in the control file. Only one can be used\n\n");

  if (std::fabs(ArtDiff) > 1e-20) logf("Warning: using artificial viscosity of %e\n", ArtDiff);
  if (FillPart > 1e-10) logf("Using accellertated deposition routine\n");

  // Without sediment sizes there are no fractions to sum: a pure flow run (G 1 with 0 sizes)
  // must not fail on them.
  for (int s = 0; lnumber >= 1 && s <= SampleNo && s < kSedimentSamples; ++s) {
    double sum = 0;
    for (int l = 1; l <= lnumber; ++l) sum += SedimentSample[s][l];
    if (std::fabs(sum - 1.0) > 0.0001)
      failf(-4,
            "Error, N - data sets : Sum of fractions = %e\n"
            "Number of N data sets read: %d\n\n",
            sum, FlagReadNdata);
  }
}

// Task S is among the letters the walk reaches (those up to an X).
bool sedimentTaskRuns() {
  for (int i = 0; i < 10; ++i) {
    if (run[i] == 'X') return false;
    if (run[i] == 'S') return true;
  }
  return false;
}

// In a sediment run the free-surface update moves the water levels of the grid lines, but the
// grid is rebuilt on them only with F 166 1 or by the bed change; otherwise the cells keep the
// start surface, and a run with F 36 looks as if the setting did nothing. Said once, with the
// setting that moves it.
void noteSurfaceInSedimentRun() {
  const bool classic = surfaceBetweenOuterIterations() || (FlagTFS == 0 && iSurf > 0);
  if (!classic || FlagTSC == 0 || FlagRoof != 1 || FlagSurfRegen == 1 || FlagMPI > 0 ||
      !sedimentTaskRuns())
    return;
  logf("Note: in the sediment computation (task S) the free-surface updates of F 36 %d move the "
       "water levels but not the grid: the cells keep their start surface until the bed change "
       "rebuilds the grid (F 255, every F 99 time steps); F 166 1 rebuilds it after every "
       "surface update\n",
       FlagTFS);
  if (FlagBedchangeOption == 2)
    logf("With F 255 2 the bed change never rebuilds the grid, so without F 166 1 the surface "
         "stays at its start level for the whole run\n");
  logf("\n");
}

// --- Second pass over `control` for the B data sets -------------------------------------------
//
// The first pass does not know the letter B, so the B data sets are found in a pass of their
// own. It walks the text the way the first pass does: a data-set letter with its number is one
// step, and where a reader of the first pass takes characters as text (the T title, the F 2 and
// F 7 letters, the letters of F 1, F 10, P 4, P 7 and G 24, the names of Q 0) those characters
// are passed over in the same way, so that a B in them is never taken for a data set. Numbers
// need no such care, as no number holds a capital letter that starts a data set. A new reader
// that takes words or letters must be added to skipTextValues.

// As far as the first pass reads, so that no B data set it reaches is passed over.
constexpr int kBScanLimit = 30000;
constexpr int kMaxBdatasets = 20;
constexpr int kBFields = 5;

// G 24: the count, then per item a letter (blanks before it passed over, at most ten
// characters), the extra integer of Z, the level and the size number.
void skipG24(ControlInput& in) {
  int n = 0;
  if (!in.readInt(n) || n < 0) return;
  for (int m = 0; m < n; ++m) {
    int letter = -1;
    for (int c = 0; c < 10; ++c) {
      letter = in.get();
      if (letter != ' ') break;
    }
    int value = 0;
    if (letter == 'Z' && !in.readInt(value)) return;
    if (!in.readInt(value) || !in.readInt(value)) return;
  }
}

void skipTextValues(ControlInput& in, char letter, int number) {
  std::array<char, 20> letters{};
  char c = 0;
  std::string word;
  int value = 0;
  switch (letter) {
    case 'F':
      if (number == 2) readLetters(in, letters.data(), static_cast<int>(letters.size()));
      else if (number == 7) readLetters(in, letters.data(), 8);
      else if (number == 1 || number == 10) in.readLetter(c);
      break;
    case 'P':
      if (number == 4 || number == 7) in.readLetter(c);
      break;
    case 'G':
      if (number == 24) skipG24(in);
      break;
    case 'Q':
      if (number == 0 && in.readInt(value)) in.readWord(word, 40);
      break;
    default:
      break;
  }
}

void passDataSet(ControlInput& in, char letter) {
  if (letter == 'T') {
    std::array<char, 80> title{};
    readTitle(in, title);
    return;
  }
  int number = 0;
  if (!in.readInt(number)) return;
  if (letter == 'H' || letter == 'K' || letter == 'P' || letter == 'W') in.skipSpace();
  if (findDataSet(letter, number)) skipTextValues(in, letter, number);
}

void readBDataSet(ControlInput& in) {
  int v[kBFields];
  // A B that no number follows is text, as any data-set letter without a number.
  if (!in.readInt(v[0])) return;
  for (int f = 1; f < kBFields; ++f)
    if (!in.readInt(v[f])) failf(1, "Input error for B in control");
  int& type = v[0];
  int& i1 = v[1];
  int& i2 = v[2];
  int& j1 = v[3];
  int& j2 = v[4];
  if (type == 0) {
    i1 = 2;
    i2 = xnumber;
    j1 = 2;
    j2 = ynumber;
  }
  if (type < 0 || type > 19 || i1 > xnumber || i2 < 2 || j1 > ynumber || j2 < 2 || j1 > j2 || i1 > i2)
    failf(1, "Input error for B in control");
  if (NoBdatasets + 1 >= kMaxBdatasets)
    failf(1, "Input error for B in control\nData sets must not exceed %d\n", kMaxBdatasets);
  ++NoBdatasets;
  for (int f = 0; f < kBFields; ++f) Bdatasets[NoBdatasets * kBFields + f] = v[f];
}

void readBDataSets() {
  std::string text;
  if (!readControlFile(text)) {
    mc_message = "cannot open file 'control' ";
    failf(-3, "Error, cannot open file 'control'\n");
  }
  ControlInput in(std::move(text));
  for (int top = 0; top < kBScanLimit; ++top) {
    const int ch = in.get();
    if (ch < 0 || ch == 255) break;
    if (ch == 'B') readBDataSet(in);
    else if (isDataSetLetter(ch)) passDataSet(in, static_cast<char>(ch));
  }
}

// ---------------------------------------------------------------------------------------------

void markRemovedRegions() {
  for (int n = 1; n <= OutBlockNo; ++n) {
    const RemovedRegion& o = OutBlock[n];
    for (int i = o.i1; i <= o.i2; ++i)
      for (int j = o.j1; j <= o.j2; ++j) bedOutBlock[i][j] = 1;
  }
}

// A unit grid with the water level of W 1 (or the survey points) until a grid task replaces it.
void makeUnitGrid() {
  for (int i = 1; i <= xnumber + 1; ++i) {
    for (int j = 1; j <= ynumber + 1; ++j) {
      xval[i][j] = i;
      yval[i][j] = j;
      for (int k = 0; k <= znumber - 1; ++k) zval[i][j][k + 1] = k * level / (znumber - 1);
      zval[i][j][znumber + 1] = zval[i][j][znumber];
      Surfaces[3][i][j] = zval[i][j][1] - 10;  // non-erodible bed
    }
  }
}

void clearPrintTimes() {
  TimePrintNo = 0;
  for (TimePrintRecord& r : TimePrint) {
    r.time = 0;
    r.itemNo = 0;
    for (char& c : r.var) c = ' ';
    r.level = {};
    r.i = {};
    r.j = {};
    r.extra = {};
    r.cell = {};
  }
}

}  // namespace

void afterReading() {
  // G 1 may follow the data sets whose indexes depend on it: check them against the final sizes
  // before any table is sized or written from them.
  checkGIndexesAfterReading();
  checkKWIndexesAfterReading();
  checkF358AfterReading();

  if (FlagHCB > 0) NoComponents = std::max(lnumber + 1, NoComponents);
  if (FlagReadW1 == 0) preScanGeodata();

  logf("TurbulenceModel = %d (F 24)\n", TurbulenceModel);
  if (NoProcessesSolver == 0) {
    omp_set_num_threads(1);
    omp_set_dynamic(0);
  }
  logf("Number of threads: %d (F 206)\n", NoProcessesSolver);

  if (FlagReadNdata == 0) {
    const std::string fracres = FlagMPI != 0 ? strf("fracres.mpi%d", FlagMPI) : "fracres";
    if (fileExists(fracres)) FlagReadNdata = -1;
  }

  checkCombinations();

  if (sialloc() != 0) failf(-3, "Could not allocate enough memory");
  logf("%s\n\n", Title.data() + 1);

  checkSedimentSettings();
  noteSurfaceInSedimentRun();

  readBDataSets();
  markRemovedRegions();
  makeUnitGrid();

  if (WriteDuneI2 > xnumber)
    logf("Error in control file: index on F 370 data set larger than number of cross-sections on "
         "W 1 data set\n");

  if (FlagHaveReadCyclic == 0 && FlagCyclic > 0) readCyclicFile();
  readInflowFile();
  clearPrintTimes();
  readInspaceFile();

  mc_message = " Have read data file    ";
}

}  // namespace qorva
