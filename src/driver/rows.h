// Helpers shared by the data-set files of the reader: the range test and the makers of the rows
// that recur (one value with a count and a range check, a switch with its parameter).
#pragma once

#include <limits>

#include "driver/control.h"

namespace qorva {

// v within lo..hi, both ends included. Integer values and index limits formed in 64 bits
// (xnumber + 4) are exact in a double.
inline bool in(double v, double lo, double hi) { return v >= lo && v <= hi; }

inline constexpr double kNoLimit = std::numeric_limits<double>::infinity();

// Reads one value of the target's type.
inline bool get(DataSetReader& r, int& v) { return r.i(v); }
inline bool get(DataSetReader& r, double& v) { return r.d(v); }

// F data set `number` of one value that must be read and lie within lo..hi; a failure ends the
// run with the data set's standard text.
template <typename T>
void addValue(DataSetTable& t, int number, const char* meaning, T& v, double lo = -kNoLimit,
              double hi = kNoLimit) {
  T* p = &v;
  t.push_back({'F', number, meaning, declared(v), [p, lo, hi](DataSetReader& r) {
                 get(r, *p);
                 r.requireCount(1);
                 r.require(in(*p, lo, hi));
               }});
}

// The same, but a missing value is no failure: the setting keeps what it had, and that is
// checked against the limits.
template <typename T>
void addOptionalValue(DataSetTable& t, int number, const char* meaning, T& v,
                      double lo = -kNoLimit, double hi = kNoLimit) {
  T* p = &v;
  t.push_back({'F', number, meaning, declared(v), [p, lo, hi](DataSetReader& r) {
                 get(r, *p);
                 r.require(in(*p, lo, hi));
               }});
}

// F data set `number` of a switch and its parameter, both required; each must be at least its
// lower limit.
inline void addSwitchValue(DataSetTable& t, int number, const char* meaning, int& flag,
                           double& value, double flagLo = -kNoLimit,
                           double valueLo = -kNoLimit) {
  int* f = &flag;
  double* v = &value;
  t.push_back({'F', number, meaning, declared(flag, value),
               [f, v, flagLo, valueLo](DataSetReader& r) {
                 r.i(*f);
                 r.d(*v);
                 r.requireCount(2);
                 r.require(*f >= flagLo && *v >= valueLo);
               }});
}

}  // namespace qorva
