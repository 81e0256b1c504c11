// The inflow profiles read from the side files `cyclic` and `inflow` after `control`.
#pragma once

#include "state/table.h"
#include "state/timeseries.h"

namespace qorva {

// `cyclic`: inflow profile per level k = 1..znumber (velocity, k, epsilon); levels 0..499.
inline constexpr int kCyclicLevels = 500;
inline Fixed<double, kCyclicLevels> cyclicU, cyclicK, cyclicE;

// `inflow`: profile per cross-section point j = 0..499 and level k = 0..49: three velocity
// components, k and epsilon. inflowj and inflowk (status.h) hold the largest j and k read.
inline constexpr int kInflowPoints = 501, kInflowLevels = 51;
using InflowTable = Fixed<Fixed<double, kInflowLevels>, kInflowPoints>;
inline InflowTable inflowu, inflowv, infloww, inflowki, inflowe;

// Back to the start state (all zero), with the print-time records of timei that are cleared
// after `control` too, so a test can read the side files again.
inline void resetSideFiles() {
  cyclicU = cyclicK = cyclicE = {};
  inflowu = inflowv = infloww = inflowki = inflowe = {};
  TimePrint = {};
}

}  // namespace qorva
