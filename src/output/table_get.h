// Checked reads of the tables for the output writers. Private to src/output.
#pragma once

#include <cstddef>

#include "state/table.h"

namespace qorva::output_detail {

// Entry of a table, or 0 when the table is not allocated or the index lies outside it.
inline double get(const Table1<double>& t, long long i) {
  return t && i >= 0 && static_cast<std::size_t>(i) < t.size() ? t[i] : 0.0;
}
inline double get(const Table2<double>& t, long long r, long long i) {
  return t && r >= 0 && i >= 0 && static_cast<std::size_t>(r) < t.dim(0) &&
                 static_cast<std::size_t>(i) < t.dim(1)
             ? t[r][i]
             : 0.0;
}
inline double get(const Table3<double>& t, long long a, long long r, long long i) {
  return t && a >= 0 && r >= 0 && i >= 0 && static_cast<std::size_t>(a) < t.dim(0) &&
                 static_cast<std::size_t>(r) < t.dim(1) && static_cast<std::size_t>(i) < t.dim(2)
             ? t[a][r][i]
             : 0.0;
}
inline int geti(const Table1<int>& t, long long i) {
  return t && i >= 0 && static_cast<std::size_t>(i) < t.size() ? t[i] : 0;
}

}  // namespace qorva::output_detail
