// The task driver: reads `control`, allocates the unstructured arrays and carries out the
// task letters of F 2 in order, IterF2 times. Reads run, IterF2, TimeStep, the driver flags.
#include <omp.h>

#include <cstdio>

#include "bed/bed.h"
#include "discretisation/discretisation.h"
#include "driver/control.h"
#include "driver/driver.h"
#include "driver/run_report.h"
#include "files/files.h"
#include "flow/flow.h"
#include "grid/grid.h"
#include "output/output.h"
#include "sediment/sediment.h"
#include "state/arrays.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/pending_steps.h"
#include "state/safe_file.h"
#include "state/status.h"
#include "surface/surface.h"

namespace qorva {

namespace {

// Transient runs read `timei` before the tasks that run in time; false when it failed.
bool timeSeriesPreRead() {
  if (TimeStep > 1e-8 && ReadTimes() > 0) return false;
  return true;
}

// Returns false when the driver must stop walking (the run then ends with status 1).
bool waterFlowTask() {
  if (!timeSeriesPreRead()) return false;
  if (FlagTSC > 0)
    failf(-5,
          "Error in control file. The F 37 data set should not be used\n"
          "when computing only water flow (F 2 W)\n\n");
  if (MGSNo == 0) computeWCStart();
  if (FlagThixo > 0) FlagThixoIsComputing = 1;
  callFlowDriver(FlowCaller::Task);
  return true;
}

// The grid reader's failures stop the walk with their own message.
bool readGridTask() {
  const int r = ReadUnstructure();
  if (r >= 0) return true;
  switch (r) {
    case -58:
      logf("Error in x or y values in koomin file\n\n");
      mc_message = " Error in x or y values in koomin file       ";
      break;
    case -54:
      logf("Error on 2nd integer, G 1 data set \n\n");
      mc_message = " Error on 2nd integer, G 1 data set ";
      break;
    case -55:
      logf("Error on 1st integer, G 1 data set \n\n");
      mc_message = " Error on 1st integer, G 1 data set ";
      break;
    default:
      logf("Error reading unstruc file\n\n");
      mc_message = " Error reading unstruc file  ";
      break;
  }
  return false;
}

// Carries out the task of one letter; false when the driver must return.
bool runTask(char letter, int pass) {
  switch (letter) {
    case 'A': writeMPIkoosurf(); break;
    case 'B': ReadAllData(); break;
    case 'C':
      if (!timeSeriesPreRead()) return false;
      Components();
      break;
    case 'D': computeSlidemovement(); break;
    case 'E':
      if (NoComponents != 0) writeConqRes();
      break;
    case 'F': writeConcRes(); break;
    case 'G':
      if (!timeSeriesPreRead()) return false;
      if (FlagGroundwater == 1) groundwater();
      break;
    case 'H': WriteUnstructure(); break;
    case 'I':
      concRijn();
      if (FlagTSC > 0 && Cconc_old)
        for (int l = 1; l <= lnumber; ++l)
          for (int c = 1; c <= NoCells; ++c) Cconc_old[l][c] = Cconc[l][c];
      break;
    case 'J': WriteAllData(); break;
    case 'K': computeRoughness(); break;
    case 'L': shallowWater(); break;
    case 'M':
      mc_v1 = "Written from initial";
      sprintflow();
      break;
    case 'N':
      if (FlagSoilStress == 1) {
        startup();
        computeSoilStress();
      } else if (FlagSoilStress == 2) {
        startup();
        computeSlideLocation();
      }
      break;
    case 'O': readConRes(); break;
    case 'P': computeVegdataFromSTL(); break;
    case 'Q': backwater(); break;
    case 'R': readres(); break;
    case 'S':
      if (!timeSeriesPreRead()) return false;
      morphology_tsc();
      break;
    case 'T': break;
    case 'U':
      if (pass == 1 && !readGridTask()) return false;
      break;
    case 'V': bedinter(); break;
    case 'W': return waterFlowTask();
    case 'X': endRun(0);
    case 'Y':
      readKoosurf();
      // The generator has logged why it failed; a partial grid must not reach later tasks.
      if (Unstructure() < 0) return false;
      break;
    case 'Z': makeWeirSTL(); break;
    default: break;
  }
  return true;
}

}  // namespace

void InitialFunction() {
  kread();
  // A run that needs a step this version does not have ends here, before any computing.
  stopOnPendingSteps();
  if (AllocateArrays(1, 1, 1) < -0.01) {
    logf("Error in allocation of arrays. The array size is probably\n");
    logf("larger than what is available of memory on your computer\n\n");
    mc_message = " Error in array allocation       ";
    return;
  }
  FlagMPIkoosurf = 0;
  for (int i = 0; i < 10; ++i)
    if (run[i] == 'A') FlagMPIkoosurf = 1;

  for (int pass = 1; pass <= IterF2; ++pass) {
    for (int i = 0; i < 10; ++i) {
      const char letter = run[i];
      if (letter < 'A' || letter > 'Z') continue;
      if (letter == 'W') beforeFlowTask();
      if (!runTask(letter, pass)) return;
      if (letter == 'W') afterFlowTask(i, pass);
    }
  }

  mc_message = " Initial run finished       ";
  if (FlagTSC > 0 && FlagDischargeTime > 0 && CompInflowNo > 0)
    failf(-6,
          "Error: Sediment inflow can not be specified in both the timei file and\n"
          "on the M data sets in the control file\n\n");
}

int programMain() {
  const double start = omp_get_wtime();
  FlagGridChange = 0;
  SetArraysZero();
  if (!fileExists("control")) {
    // When it cannot be written, reading it reports the missing file.
    OutFile f("control");
    f.printf("no values given\n");
    f.commit();
  }
  int status = 1;
  try {
    InitialFunction();
  } catch (const RunEnd& e) {
    status = e.status;
  }
  logRunEnd(status, start);
  return status;
}

}  // namespace qorva
