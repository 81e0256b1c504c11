// Water-flow solution drivers. What other folders may call.
#pragma once

#include "flow/flow_modes.h"

namespace qorva {

int shallowWater();
void computeWCStart();
void startup();
void WaterSolveNew();
void WaterSolveFast();
void MGSsolver();
void WaterSolveHydrostatic();
void WaterSolve2D();
void WaterSolve();

// The flow drivers, and which one a caller runs. The task W and the sediment loop test F 328,
// F 170, F 152 and F 68 in different orders (flow/driver_choice.cpp keeps both tables).
enum class FlowDriver {
  None,                   // no flow is computed (an option combination no row takes)
  Main,                   // WaterSolve
  Restructured,           // WaterSolveNew, F 328 1
  Fast,                   // WaterSolveFast, F 170
  GridSequencing,         // MGSsolver, F 152
  Hydrostatic,            // WaterSolveHydrostatic, F 68 1
  DepthAveraged,          // WaterSolve2D, F 68 3
  DepthAveragedThenMain,  // WaterSolve2D then WaterSolve, F 68 4 (sediment loop only)
  Frozen,                 // no solution, the group areas follow the grid, F 68 2 (sediment loop)
};
enum class FlowCaller { Task, SedimentLoop };
FlowDriver chooseFlowDriver(FlowCaller caller);
// Runs the driver chooseFlowDriver(caller) gives. The frozen flow of F 68 2 writes the area
// of every discharge group with a discharge: the sum of Farea over its surfaces.
void callFlowDriver(FlowCaller caller);

// Which iterations print their residual line: FlagPrint 0 with F 1 D or E, below iteration 10,
// at the last of K 1, at every tenth below 100 and every F 53 (PrintIterBoogie); WithJ also
// every hundredth under F 1 J. Divisibility of Iter is tested on doubles (|fmod| < 0.001).
// The main driver and the sediment loop take WithJ.
enum class PrintRule { WithJ, WithoutJ };
void setPrintFlag(PrintRule rule);

// Time step of a transient run from the flow (F 210 and the like); WaterSolve calls it.
void computeChangeTimestep();
// Closes every inner iteration m: residual line, tafnor, convergence, divergence and stops.
// Returns 1 when the driver must end at once, 0 when the iterations go on.
int printEndWaterSolve(int m);
// The watch over a steady run that has stopped converging: stalled(i) takes the residuals of
// the six equations (MaxResidual) after outer iteration i and is true when none of them has
// fallen below kStallFall times its own lowest value in the last kStallWindow outer
// iterations. reportStall logs the stall, the residuals and the relaxation to change, and
// sets IterStalled: the driver then ends its outer iterations as at its iteration limit, not
// converged.
inline constexpr int kStallWindow = 300;
inline constexpr double kStallFall = 0.99;
struct StallWatch {
  double lowest[7] = {};
  int lowestIteration = 0;  // the last outer iteration that brought a residual to a new low
  bool stalled(int iteration);
};
void reportStall(const StallWatch& watch);
// At the start of a steady run without an accelerator (K 5 fourth value 0, no multigrid of
// F 168) whose longest block has kLongReachLines grid lines or more in i or j: one line in
// `boogie` naming the block correction that converges it faster.
inline constexpr int kLongReachLines = 20;
void adviseAccelerator();
// 3 times the mean |Cpres_res| over the cells 1..NoCells.
double computePresResStat();
// Normalised residual of the current Equation over cells first..last, added to
// MaxResidual[Equation]; returns the new MaxResidual[Equation].
double residual(int first, int last);
// The same for one chunk of a threaded phase: returns the chunk's share and stores nothing.
// It never ends the run itself, since the other chunks are still working: after every region
// that calls it, the owner calls endAfterResidualN, which ends the run when a call met an
// unset norm or could not log.
double residualN(int first, int last);
void endAfterResidualN();

// Steps of the flow drivers that this version does not have yet (hooks: flow/pending.cpp ends
// the run with their "Not available" line): nesting, and the Froude-number switch below.
// Nesting (F 261 and nested blocks): the coupling terms of the current Equation over the
// nesting surfaces, and the two-way coupling of the nested grids after a solve.
void nestsource();
void CoupledSolverNesting();
void CoupledSolver2Nesting();
// The Froude-number switch of F 93, and the velocity reset at the vertical profiles of P 17.
void FroudeHystatFunction();
void setVelocitiesZero();

// Corrections of block 1's cross-sections (the cells of the columns (i, j1..j2)):
// fluxCorrFunction limits the fluxes of sections iFirst..iEnd-1 by F 360 (1 the section
// discharge within [Q1 / V, Q1 V] of group 1's, 2 and 5 the vertical against the horizontal
// flux of each cell, 3 the east against the west fluxes, 4 a least eastward velocity from the
// 12th cell up); correctContinuity2 pulls the discharge of sections i1..F 452 towards Q1, in
// the u equation (Equation 1) or by the velocities (4). A ratio whose denominator is below
// 1e-20 kg/s is not formed.
void fluxCorrFunction(int iFirst, int iEnd);
void correctContinuity2();
// Flux relaxation in wedge cells by their Ctrekant code (F 235 8..23, F 244), and the flux
// balance of the corner columns of block 1 (F 436).
void TrekantFluxCorr(int firstCell, int lastCell);
void TrekantFluxCorr4(int firstCell, int lastCell);

// Diagnostics in `boogie`: the dump of cell F 218 (inner iterations 1 and 2 of iteration
// StopIter + 1), the dump of suspicious pressure-correction cells (F 183; 1 then stops the run
// through FlagPresDebug 99), the wedge-cell dump (F 1 D with F 235), and the coefficient bug
// trap of F 223: ompbugtrapFunction pre-fills the neighbour coefficients of cells first..last
// with -10 before they are built, computeOmpbugtrap reports those still below -0.01 after.
void printDebug(int innerIter);
void printDebug2();
void printDebugTrekant(int cell, int innerIter);
void ompbugtrapFunction(int first, int last);
void computeOmpbugtrap();

// After a blow-up: flushing number k of the driver call (F 219): the fields of the working
// range restart from the previous time level (in a steady run from the start values), then
// the k-th remedy. The crash report of a diverged computation, with the restart files of
// F 257 and the plan view of the failure.
void flushFunction(int k);
void printAtCrash();

}  // namespace qorva
