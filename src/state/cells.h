// Per-cell arrays (prefix C), sized by MaxCeller (F 65); cells are numbered from 1.
#pragma once

#include "state/table.h"

namespace qorva {

inline int NoCells = 0;

// Cell topology.
inline Table1<int> Cflatee, Cflatew, Cflates, Cflaten, Cflatet, Cflateb;

// Flow variables.
inline Table1<double> Cxvel;

// Concentration per grain size l = 0..lnumber and cell.
inline Table2<double> Cconc, Cconc_old;

}  // namespace qorva
