// Per-point arrays (prefix P), sized by MaxPunkter (F 65): grid corners numbered from 1.
#pragma once

#include "state/table.h"

namespace qorva {

inline int NoPoints = 0;

inline Table1<double> Px, Py, Pz;
// Cell and structured indices of the point.
inline Table1<int> Pc, Pi, Pj;

}  // namespace qorva
