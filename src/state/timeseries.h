// Tables of the time series `timei` (transient runs, entries 0..ArrayTimeSteps) and the
// print-time items.
#pragma once

#include "state/table.h"

namespace qorva {

inline Table1<double> TimeInTime, TimeInTimStep, TimeInHinn, TimeInHout, Irradi, AirTemp;
// Inflow concentrations [entry][0..19], wind [entry][0..2], discharges [entry][0..9].
inline Table2<double> Cinn, Winn, QDinn;

// Print-time items [0..19][0..24].
inline Table2<int> TimePrinti, TimePrintl;
inline Table2<char> TimePrintVar;

}  // namespace qorva
