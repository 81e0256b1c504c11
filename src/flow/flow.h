// Water-flow solution drivers. What other folders may call.
#pragma once

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

// Time step of a transient run from the flow (F 210 and the like); WaterSolve calls it.
void computeChangeTimestep();
// Closes every inner iteration m: residual line, tafnor, convergence, divergence and stops.
// Returns 1 when the driver must end at once, 0 when the iterations go on.
int printEndWaterSolve(int m);
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
// the run with their "Not available" line).
// Nesting (F 261 and nested blocks): the coupling terms of the current Equation over the
// nesting surfaces, and the two-way coupling of the nested grids after a solve.
void nestsource();
void CoupledSolverNesting();
void CoupledSolver2Nesting();
// Corrections: the cross-section fluxes of F 360 over the sections iFirst..iEnd-1, the
// continuity correction of F 413 2 and 3, the wedge-cell flux corrections of F 235 8..23 and
// F 436, and the Froude-number switch of F 93.
void fluxCorrFunction(int iFirst, int iEnd);
void correctContinuity2();
void TrekantFluxCorr(int firstCell, int lastCell);
void TrekantFluxCorr4(int firstCell, int lastCell);
void FroudeHystatFunction();
// Diagnostics: the grid test of F 1 A, the cell dump of F 218 (inner iterations 1 and 2 of
// iteration StopIter + 1), the pressure dump of F 183, the coefficient bug trap of F 223 and the
// wedge-cell report of F 1 D.
void gridTest();
void printDebug(int innerIter);
void printDebug2();
void ompbugtrapFunction(int first, int last);
void printDebugTrekant(int cell, int innerIter);
// After a blow-up: flushing number k of the driver call (F 219), and the crash report.
void flushFunction(int k);
void printAtCrash();

}  // namespace qorva
