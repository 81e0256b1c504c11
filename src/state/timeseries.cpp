// Interpolation of the timei series in time. Reads TimeInNo and TimeInTime.
#include "state/timeseries.h"

#include <algorithm>

#include "state/status.h"

namespace qorva {

TimeSeriesPoint timeSeriesPoint(double t) {
  const int n = std::min(TimeInNo, static_cast<int>(TimeInTime.size()));
  if (n <= 1) return {0, 0, 0.0};
  int i = 1;
  if (!(t < TimeInTime[1])) {
    i = 2;
    while (i < n && !(TimeInTime[i] > t)) ++i;
    i = std::min(i, n - 1);
  } else if (!(TimeInTime[1] > TimeInTime[0])) {
    // Two first rows at one time (a step at the start of the series) give no line to extend
    // back: its slope would be the jump over 1e-20 s. Before them the first row holds.
    return {1, 0, 1.0};
  }
  const double w =
      std::max(TimeInTime[i] - t, 0.0) / (TimeInTime[i] - TimeInTime[i - 1] + 1e-20);
  return {i, i - 1, w};
}

double timeSeriesValue(const Table1<double>& x, double t) {
  if (!x) return 0.0;
  const TimeSeriesPoint p = timeSeriesPoint(t);
  return (1 - p.w) * x[p.row] + p.w * x[p.prev];
}

double timeSeriesValue(const Table2<double>& x, int column, double t) {
  if (!x) return 0.0;
  const TimeSeriesPoint p = timeSeriesPoint(t);
  return (1 - p.w) * x[p.row][column] + p.w * x[p.prev][column];
}

}  // namespace qorva
