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
// The same for one chunk of a parallel region: returns the chunk's share and stores nothing.
// Inside a region it cannot end the run: after every region that calls it, the owner calls
// endAfterResidualN, which ends the run when a call met an unset norm or could not log.
double residualN(int first, int last);
void endAfterResidualN();

}  // namespace qorva
