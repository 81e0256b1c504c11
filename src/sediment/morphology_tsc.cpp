// The sediment computation of task S: the start-up checks and files, the bed layers and mass
// counters, the time loop with its step head (print flag, alldata and time-series print times,
// the time step of F 350), the stop conditions (end time, step count, reservoir volume) and the
// end of the run. Reads the settings of the run and the grid; writes stimet, Iter, TimeStep,
// FlagPrint, the work ranges, block inwork, the counters of state/sediment_run.h, mc_message,
// mc_program, mc_v1, mc_v2, Surfaces plane 1 at alldata times, and the start files "barcelona",
// "barcelona_wl", "braided", "thalweg", "outconc", "inconc.res", "bootime" and "timeo".
#include <omp.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "bed/bed.h"
#include "files/files.h"
#include "flow/flow.h"
#include "grid/grid.h"
#include "output/output.h"
#include "sediment/sediment.h"
#include "sediment/capacity.h"
#include "sediment/sediment_loop.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_f100_149.h"
#include "state/options_f250_299.h"
#include "state/options_f300_349.h"
#include "state/options_f350_399.h"
#include "state/options_f400_449.h"
#include "state/options_f450_499.h"
#include "state/options_f500_534.h"
#include "state/options_g.h"
#include "state/options_kw.h"
#include "state/safe_file.h"
#include "state/sediment_run.h"
#include "state/side_files.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

using sedloop::Run;

bool divisible(double a, double n) { return std::fabs(std::fmod(a, n)) < 0.001; }

// Creates `name` empty, or with `text`; `failure` and `status` when it cannot.
void createFile(const char* name, const char* text, int status, const char* failure) {
  OutFile f(name);
  if (f.ok()) f.printf("%s", text);
  if (!f.ok() || !f.commit()) failf(status, "%s", failure);
}

void wholeGrid() {
  WCStart = WFStart = WBStart = 1;
  WCEnd = NoCells;
  WFEnd = NoSurfaces;
  WBEnd = NoBCells;
}

// What must hold before any per-size table or file is touched.
void firstChecks() {
  if (lnumber > 49) failf(1, "Error- Increase nsm in utsc and recompile\n");
  // The bed-slope transfer keeps every coefficient per size, and only the layered-bed solver
  // solves those rows: the other families would go on with horizontal coefficients nobody built.
  if (BedLoadVectorFlag >= 5 && BedLoadVectorFlag <= 9 && FlagTSC != 3)
    failf(1, "Error: F 78 %d (the bed-slope transfer) needs the layered bed of F 37 3, and F 37 is %d\n",
          BedLoadVectorFlag, FlagTSC);
  if (NoCells < 1 || NoBlocks < 1)
    failf(1, "Error: the sediment computation needs a grid: a task Y, U or B before S in F 2\n");
}

void startFiles() {
  if (FlagBarcelona > 0) {
    if (CrossBarcelona < 0 || CrossBarcelona > xnumber + 1)
      failf(1, "Error: the cross-section of F 522 (i = %d) is not a grid line of G 1\n", CrossBarcelona);
    createFile("barcelona", "", -1, "Error writing 'barcelona' file\n\n");
    createFile("barcelona_wl", "", -1, "Error writing 'barcelona_wl' file\n\n");
  }
  for (int b = 1; b <= NoBlocks; ++b) block[b].inwork = block[b].skip == 0 ? 1 : 0;
  if (debugging == 'D' && FlagTFS == 9) logf("Manning-Stricklers value of %lf is used\n", ManningInit);
  if (IterAvalanche >= 203 && IterAvalanche <= 206 && block[1].j2 > block[1].j1)
    failf(1, "Error for F 56 203-206: is only coded for a 2D case\n\n");
  if (TimeStep < 1e-15)
    logf("A time step (F 33) is needed in the control file to compute sediment transport (F 37)\n\n");
  if (FlagTSC != 0) otime[0] = omp_get_wtime();
  if (FlagBraidedIndex > 0) {
    createFile("braided",
               "Time, BIactive1, BIactive2, BIactive3,   BItotal,  BIcell,  BIdepth, sinuosity, sidesfrac\n\n",
               -1, "Error in opening braided file\n\n");
    if (FlagThalweg > 0)
      createFile("thalweg", "Thalweg file, time, x, y, z\n\n", -1, "Error in opening thalweg file\n\n");
  }
  if (FlagCyclicS > 1 || FlagCyclicSstart > 0 || FlagOutConc > 0)
    createFile("outconc", "", -1, "Error in opening outconc file\n\n");
  if (debugging == 'D' && FlagInspace > 0)
    createFile("inconc.res", "Time (sec), inflow (kg) for different sizes\n\n", -1,
               "Error in opening inconc file\n\n");
  if (debugging == 'H') {
    OutFile f("bootime");
    if (!f.ok() || !f.commit()) {
      mc_message = "cannot open file 'bootime' ";
      endRun(-3);
    }
  }
}

// A grid generated from koosurf (task Y) has no initial bed level from a grid file: the bed at
// the start of the run is the level the bed changes are measured from.
void initialBedPlane() {
  if (FlagReadUnstruc != 0 || FlagReadAlldata != 0) return;
  for (int i = 0; i <= xnumber + 1; ++i)
    for (int j = 0; j <= ynumber + 1; ++j)
      if (Surfaces[0][i][j] != 0) return;
  for (int i = 0; i <= xnumber + 1; ++i)
    for (int j = 0; j <= ynumber + 1; ++j) Surfaces[0][i][j] = zval[i][j][1];
}

void checks() {
  if (FlagReadNdata < 1 && FlagReadFracres == 0 && FlagUseBedres == 0 && FlagReadAlldata == 0) {
    logf("Error in input data: it is necessary to specify the grain size distribution\n");
    logf("on the bed. This is done with an N data set in the control file or with a \n");
    failf(-8, "fracres file read with the F 2 O option\n\n");
  }
  if (FlagTSC == 0) {
    logf("In Qorva 2 you have to specify a value on the F 37 data set \n");
    failf(-9, "in the control file to compute sediment transport\n\n");
  }
  if (TimePrintNo > 0) createFile("timeo", "", -3, "cannot open file 'timeo' \n");
  if (TimeStep < 1e-8) {
    logf("Error in control file. To do a transient sediment computation you have\n");
    logf("to include a time step in the control file, for example by using the \n");
    failf(-7, "F 33 data set\n\n");
  }
  if (FlagBedDefect == 2 && FlagProfiles == 0)
    failf(-5, "Error in control file: If you use F 277 2, you also have to use F 453 with an integer above zero\n");
  // Settings that would otherwise be read and then do nothing.
  if (LevelInflowSed > 0 && FlagInflowConcVar > 0)
    failf(1, "Error in control file: F 455 and F 497 cannot be used together: the sediment "
             "inflow would be left out\n");
  if ((LevelInflowSed > 0 || FlagInflowConcVar > 0) && lnumber == 1 && FlagTSC <= 2)
    failf(1, "Error in control file: F 455 and F 497 act on the equations of several sizes (or "
             "F 37 3); with one size use neither\n");
  if ((LevelInflowSed > 0 || FlagInflowConcVar > 0) && FlagInspace != 0)
    failf(1, "Error in control file: F 455 and F 497 do not act with an inspace file\n");
  if (FlagInspace > 1)
    failf(1, "Error in the inspace file: the A data set gives %d; the sediment inflow takes only 1\n",
          FlagInspace);
  for (int n = 1; n <= sedloop::numberOfWorkBlocks(); ++n) {
    bool found = false;
    for (int b = 1; b <= WorkBlockNo && b <= NoBlocks; ++b) found = found || WorkBlock[b] == n;
    if (WorkBlockNo > 0 && !found) failf(1, "Error: work block %d of G 25 holds no block\n", n);
  }
}

void formulaLine() {
  if (FlagBedDLL != 0) {
    logf("Using sediment transport formula in DLL\n\n");
    return;
  }
  switch (BedLoadFlag) {
    case 0: logf("Using van Rijns suspended load formula\n\n"); break;
    case 1: logf("Using van Rijns bed load formula\n\n"); break;
    case 2: logf("Using van Rijns suspended and bed load formulas\n\n"); break;
    case 3: logf("Using Wu's sediment transport formula\n\n"); break;
    case 5: logf("Using Mayer-Peter and M\xfcllers sediment transport formula\n\n"); break;
    case 6: logf("Using Engelund-Hansens sediment transport formula\n\n"); break;
    case 7: logf("Using Hillebrands sediment transport formulas\n\n"); break;
    case 8: logf("Using Engelund-Hansens formula modified for critical shear\n\n"); break;
    case 9: logf("Using Engelund-Hansens formula modified for d50 and critical shear\n\n"); break;
    case 11: logf("Using Engelund-Hansens formula modified for d50\n\n"); break;
    default: break;
  }
}

void startMessages(const Run& run) {
  logf("\n ***** In morphology_tsc **********\n\n");
  logf("FlagTSC = %d, Hydrostatic = %d, NoBlocks = %d, iterGlobalMax = %d\n", FlagTSC, Hydrostatic,
       NoBlocks, iterGlobalMax);
  logf("Volume of geometry: %20.14e qubic meters\n", run.initialVolume);
  logf("Bed concentration flags: %d %d %d %d %d %d\n", BedFlags[0], BedFlags[1], BedFlags[2],
       BedFlags[3], BedFlags[4], BedFlags[5]);
  if (debugging == 'D' && i1Iff > 0) {
    double v = 0;
    for (int i = i1Iff; i <= i2Iff; ++i)
      for (int j = j1Iff; j <= j2Iff; ++j)
        v += sedloop::gridSedimentThickness(i, j) * Barea[pointbed[i][j]];
    logf("G 29 data set sediment thickness: %lf m3\n", v);
  }
}

Run startUp() {
  firstChecks();
  if (FlagReadAlldata == 0) stimet = 0;
  BedMoveDefectAbs = BedMoveDefectSum = SumBedChange = SumInflow = SumOutflow = SuspVolChangeDef = 0;
  for (double& c : concBuffer) c = -1.0;
  sedloop::resetInflowState();
  sedloop::resetBedWatch();
  capacity::resetLetterWarnings();
  wholeGrid();
  startFiles();
  // The volumes of the cells, for the masses at the start.
  metric();
  initialBedPlane();
  Run run;
  run.Ta = sedloop::activeLayerThickness();
  run.workBlocks = sedloop::numberOfWorkBlocks();
  sedloop::resetCounters();
  scaleConcGridMove1();
  BedMake();
  WBEnd = NoBCells;
  checks();
  logf("Relaxation: %lf %lf %lf %lf\n", relax[1], relax[4], relax[5], relax[6]);
  formulaLine();
  for (int g = 1; g <= 9; ++g) {
    const DischargeGroup& d = DischargeStruct[g];
    if (d.massDischarge > 1e-20)
      logf("Discharge group %d: Discharge = %lf, Area = %lf, surfaces = %d\n", g, d.massDischarge,
           d.area, d.surfaceNo);
  }
  if (FlagCohesion > 0 && setInitialCohesive() == -20)
    failf(1, "\nError: F 385 2 data set is specified in 'control' file and 'cohesion' file can not be read\n\n");
  sedloop::initialBedLayers(run.Ta);
  sedloop::fixNonErodibleLevel();
  sedloop::initialLayerMasses();
  run.initialVolume = sedloop::waterVolume();
  startMessages(run);
  sedloop::emptyActiveLayer();
  return run;
}

void alldataPrintTime(Run& run) {
  if (run.nextAlldata >= NoAlldataPrintout || !(AlldataPrintout[run.nextAlldata] < stimet)) return;
  mc_message = "Writing alldata file";
  WriteAllData();
  print_paraview3d();
  for (int k = 1; k <= NoBlocks; ++k) {
    const GridBlock& blk = block[k];
    if (blk.flag2D != 0 || blk.skip != 0) continue;
    for (int i = blk.i1 - 1; i <= blk.i2; ++i)
      for (int j = blk.j1 - 1; j <= blk.j2; ++j) Surfaces[1][i][j] = 0;
  }
  mc_message = "Have written alldata file";
  ++run.nextAlldata;
}

void stepHead(Run& run) {
  setPrintFlag(PrintRule::WithJ);
  if (FlagExtraDebug == 1) logf("Start Iter = %d, zval = %lf\n", Iter, zval[1][1][znumber]);
  if (iterWriteAllData > 0 && divisible(Iter, iterWriteAllData) && Iter > 1) WriteAllData();
  alldataPrintTime(run);
  if (TimePrintNo > 0 && !(TimePrint[0].time > stimet) && stimet > 1e-10 &&
      (divisible(Iter, PrintIterTime) || Iter == 2))
    TimePrintFunction();
  if (FlagComputeTimestep == 1) computeTimestep();
}

void endOfRun() {
  mc_v2 = strf("Max time %lf sec.", stimet);
  mc_message = "Sediment calculation finished";
  sedloop::endOfRunReport();
  sedloop::bedWatchSummary();
  mc_v1 = "Written from end of morphology";
  sprintflow();
}

}  // namespace

void morphology_tsc() {
  const FieldRef savedCf = Cf;
  gFlagSedim = 1;
  Run run = startUp();
  // Kept open for reading to the end of the run (F 1 H); nothing reads from it.
  File bootimeo(debugging == 'H' ? std::fopen("bootimeo", "r") : nullptr);
  if (debugging == 'H' && !bootimeo) mc_message = "have not open file 'bootimeo' ";
  Iter = 1;
  if (iterGlobalMax >= 1) {
    do {
      stepHead(run);
      if (!sedloop::timeStep(run, savedCf)) return;
      if (FillStop > 0) {
        const double ratio = sedloop::waterVolume() / run.initialVolume;
        if (ratio < FillStop) {
          logf("Stopped due to %lf percent left of reservoir volume\n\n", 100 * ratio);
          break;
        }
      }
    } while (!(stimet > TimeEnd) && ++Iter <= iterGlobalMax);
  }
  endOfRun();
  bootimeo.close();
  gFlagSedim = 0;
}

}  // namespace qorva
