// The cell template through which the grid builders hand a new cell to the cell makers.
#pragma once

namespace qorva {

// Arrays are indexed from 1; corners 1..4 at the bottom (south-west, south-east, north-east,
// north-west), 5..8 above them; sides 1 south, 2 east, 3 north, 4 west, 5 bottom, 6 top.
struct CellTemplate {
  double x[9];
  double y[9];
  double z[9];
  int cell[7];   // neighbour cell by side, 0 = none
  int flate[7];  // existing surface to reuse by side, 0 = make a new one
};

inline CellTemplate NewCell{};

}  // namespace qorva
