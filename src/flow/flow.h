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

}  // namespace qorva
