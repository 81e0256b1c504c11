// The flow drivers that F 328, F 170, F 152 and F 68 choose, named once. Every folder asks
// these instead of testing the settings against values; they read the settings alone, so any
// floor may include this header (flow.h includes it for the folders above). Which driver runs
// when several are set is the caller's order: the task driver and the sediment loop each keep
// their own.
#pragma once

#include "state/options_f050_099.h"
#include "state/options_f150_199.h"
#include "state/options_f300_349.h"

namespace qorva {

// The restructured driver WaterSolveNew (F 328 1).
inline bool restructuredDriver() { return FlagWaterSolveNew == 1; }

// The fast driver WaterSolveFast (F 170 above 0).
inline bool fastDriver() { return FlagFastWatersolve > 0; }

// The grid-sequencing driver MGSsolver with its coarser grid levels (F 152 above 0).
inline bool gridSequencing() { return MGSNo > 0; }

// The hydrostatic driver WaterSolveHydrostatic (F 68 1).
inline bool hydrostaticDriver() { return Hydrostatic == 1; }

// The depth-averaged driver WaterSolve2D (F 68 3; in the sediment loop also 4, followed there
// by the main driver).
inline bool depthAveragedDriver() { return Hydrostatic == 3; }

// The sediment loop runs the depth-averaged driver and then the main driver (F 68 4).
inline bool depthAveragedThenMain() { return Hydrostatic == 4; }

// The flow is frozen (F 68 2): the sediment loop computes no flow and no bed change.
inline bool frozenFlow() { return Hydrostatic == 2; }

// The grid carries the depth-averaged block of the hydrostatic and depth-averaged drivers
// (F 68 1, and 3 and above).
inline bool depthAveragedBlock() { return Hydrostatic == 1 || Hydrostatic > 2; }

}  // namespace qorva
