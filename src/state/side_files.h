// Profiles read from the side files `cyclic` and `inflow` after `control`, and the print-time
// records that are cleared then (the time-series reader of `timei` fills them later).
#pragma once

#include "state/table.h"

namespace qorva {

// `cyclic`: inflow profile per level k = 1..znumber (velocity, k, epsilon); levels 0..499.
inline constexpr int kCyclicLevels = 500;
inline Fixed<double, kCyclicLevels> cyclicU, cyclicK, cyclicE;

// `inflow`: profile per cross-section point j = 0..499 and level k = 0..49: three velocity
// components, k and epsilon. inflowj and inflowk (status.h) hold the largest j and k read.
inline constexpr int kInflowPoints = 501, kInflowLevels = 51;
using InflowTable = Fixed<Fixed<double, kInflowLevels>, kInflowPoints>;
inline InflowTable inflowu, inflowv, infloww, inflowki, inflowe;

// A print time of `timei` with its output items (records 0..TimePrintNo-1 of TimePrint).
inline constexpr int kTimePrintRecords = 20, kTimePrintItems = 25;
struct TimePrintRecord {
  double time;
  int itemNo;                             // items 0..itemNo-1
  Fixed<char, kTimePrintItems> var;       // item letters
  Fixed<int, kTimePrintItems> level;      // the integer given after the letter
  Fixed<int, kTimePrintItems> i, j;       // grid line of column items
  Fixed<int, kTimePrintItems> extra;      // size or component index
  Fixed<int, kTimePrintItems> cell;       // set by the grid generator
};
// Filled by the time-series reader of `timei`; cleared once `control` has been read.
inline Fixed<TimePrintRecord, kTimePrintRecords> TimePrint;

// Back to the start state (all zero), so a test can read the side files again.
inline void resetSideFiles() {
  cyclicU = cyclicK = cyclicE = {};
  inflowu = inflowv = infloww = inflowki = inflowe = {};
  TimePrint = {};
}

}  // namespace qorva
