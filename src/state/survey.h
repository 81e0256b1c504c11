// Survey points of the bed (geodata and its variants) and the small tables that go with them.
// Filled by the survey-point reader of grid/ (task V) and read by the roughness task K.
#pragma once

#include "state/table.h"

namespace qorva {

// Points 0..NoGeo-1 (NoGeo is in status.h): plan position, level, and 1 for a point deleted by
// the deletion triangle (0 = in use). Allocated by the first read with NoGeo + 5002 entries.
inline Table1<double> xg, yg, zg;
inline Table1<int> ig;

// Window of an S record of geodata (x1, y1, x2, y2); FlagDigitScale is 1 when one was read
// whole and in order. Kept only.
inline Fixed<double, 4> digitscale;
inline int FlagDigitScale = 0;

// Wall-clock share of the bed interpolation, reported with the timings.
inline double tBedInter = 0;

// Back to the start of a run: no points.
inline void resetSurveyPoints() {
  xg.release();
  yg.release();
  zg.release();
  ig.release();
  digitscale = {};
  FlagDigitScale = 0;
  tBedInter = 0;
}

}  // namespace qorva
