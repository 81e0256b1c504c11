// What the files of the main flow driver share: the steps of one inner iteration.
#pragma once

namespace qorva {

// One inner iteration m of WaterSolve: momentum, pressure step, k and epsilon, components,
// in their fixed order, serial or in the parallel phases.
void innerIteration(int m);

// The pressure-correction step of inner iteration m (Equation 4) with the SIMPLE variants of
// F 171, after the momentum step.
void pressureStep(int m);

// The pressure predictor of F 171 2, 4 and 5, before the momentum step of iteration m.
void pressurePredictor(int m);

}  // namespace qorva
