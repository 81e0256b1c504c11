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
void computePresResStat();
// Normalised residuals of the current Equation over cells first..last into MaxResidual.
void residual(int first, int last);
void residualN(int first, int last);

}  // namespace qorva
