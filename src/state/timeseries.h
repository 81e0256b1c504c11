// Tables of the time series `timei` (transient runs, entries 0..ArrayTimeSteps), their
// interpolation in time, and the print-time items.
#pragma once

#include "state/table.h"

namespace qorva {

inline Table1<double> TimeInTime, TimeInTimStep, TimeInHinn, TimeInHout, Irradi, AirTemp;
// Inflow concentrations [entry][0..19], wind [entry][0..2], discharges [entry][0..9].
inline Table2<double> Cinn, Winn, QDinn;

// Where time t (s) falls in the rows 0..TimeInNo-1 of the timei series: a series X is
// (1 - w) X[row] + w X[prev]. Before the first row the line through rows 0 and 1 goes on,
// after the last row the last value holds, and one row (or none) is a constant (row 0).
struct TimeSeriesPoint {
  int row, prev;
  double w;
};
TimeSeriesPoint timeSeriesPoint(double t);
// The series X[row] (levels, irradiance) or X[row][column] (discharges, wind,
// concentrations) at time t.
double timeSeriesValue(const Table1<double>& x, double t);
double timeSeriesValue(const Table2<double>& x, int column, double t);

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

// Print-time items [0..19][0..24].
inline Table2<int> TimePrinti, TimePrintl;
inline Table2<char> TimePrintVar;

}  // namespace qorva
