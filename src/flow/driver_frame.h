// The frame of the flow drivers and the form that tells one driver from another. Private to
// flow/: the drivers of this folder are the frame run with their own form.
#pragma once

#include <string>

#include "flow/flow.h"

namespace qorva {

// The free-surface update at the end of an outer iteration. Main: the classic algorithms only
// with F 432 0 and not while the mud flow is computed, F 36 3 whatever the residual, the
// pressure of block 1 put relative to its reference cell first under F 481. Plain: none of
// these four.
enum class SurfaceTest { Main, Plain };

// Sums over the outer iterations of a driver's calls for the "Average max residual" line;
// cleared by the call that makes the first face fluxes. Each driver keeps its own.
struct DriverAverages {
  double maxResidual = 0.0;
  int innerIter = 0;
  int count = 0;
};

// What one flow driver does differently from another in the frame; every field is read by
// one phase (docs/ARCHITECTURE.md lists them with the phase that reads each). Plain function
// pointers: the frame calls them once per iteration, never per cell.
struct DriverForm {
  // Status text (mc_program) of inner iteration m, set before its steps run.
  std::string (*phaseText)(int m);
  // The steps of inner iteration m after its status text; 1 leaves the driver at once,
  // without the end of the inner or outer iteration (the free-surface hand-over of F 36 6).
  int (*innerSteps)(int m);
  // Set-up: BedMake on every entry; else only when the bed cells are missing and a step
  // needs them (and once more after startup for F 36 2..10).
  bool bedMakeEveryEntry;
  // Set-up: the reference column of the free surface (SetiPresjPres) when F 91 left none.
  bool referenceColumn;
  // Outer head: which iterations print their residual line (when F 37 is 0).
  PrintRule printRule;
  // Outer head: the steps of the mud flow of F 289 5 (groundwater, slide location, time step).
  bool mudSteps;
  // The inner-iteration count: fixed on entry (F 33, or F 489 when larger for a call entered
  // at Iter 1); else F 33 read again before every inner iteration.
  bool innerCountOnEntry;
  // End of an inner iteration: the grid repair of F 395 (ModifyGrid).
  bool gridRepair;
  // End of an outer iteration: the free-surface update.
  SurfaceTest surfaceTest;
  // End of an outer iteration: the loop ends once the time has passed F 335 (TimeEnd).
  bool endTimeTest;
  // The driver's own averages.
  DriverAverages* averages;
};

// The main driver's form (WaterSolve) and the restructured driver's (WaterSolveNew, F 328 1).
extern const DriverForm kMainForm;
extern const DriverForm kRestructuredForm;

// Runs a flow driver: entry checks, set-up, outer iterations of inner iterations, end steps.
void runFlowDriver(const DriverForm& form);

// One inner iteration m of the driver of `form`: its status text, then its steps. Returns what
// the steps return.
int runInnerIteration(const DriverForm& form, int m);

}  // namespace qorva
