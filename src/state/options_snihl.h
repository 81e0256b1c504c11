// Settings of the S, N, I, H and L data sets (sediment sizes, bed grain distribution, tables).
#pragma once

#include "state/table.h"

namespace qorva {

// S: diameter and fall velocity of sediment size i = 1..lnumber+1. With lnumber up to 50 the
// highest index is 51, so the tables hold 52 entries.
inline Fixed<double, 52> gsize;
inline Fixed<double, 52> fallvelo;

// N: fraction of size l (1..49) in bed sample n (0..19); only sample 0 is used. FlagReadNdata
// (status.h) counts the N data sets read.
inline constexpr int kSedimentSamples = 20;
// Without N data sets, sample 0 is all of size 1.
inline constinit Fixed<Fixed<double, 51>, kSedimentSamples> SedimentSample{{{{0, 1.0}}}};
// Highest sample number of the N data sets read; the fraction sums are checked for 0..SampleNo.
inline int SampleNo = 0;

// I: an inflow concentration per size l = 0..lnumber; kept and written back only.
inline Fixed<double, 51> inflow;

// H: tables of values with two codes each (codes 0..16, at most 20 points); kept only.
struct BioCurve {
  Fixed<double, 21> value;
  Fixed<int, 21> firstCode;
  Fixed<int, 21> secondCode;
  int count;  // points used, 0..count-1
};
inline constexpr int kBioCurves = 15;
inline constexpr int kBioPoints = 20;
// Without H data sets, only the last table holds values: seven points from -1 to 100.
inline constinit Fixed<BioCurve, kBioCurves> Bio = [] {
  Fixed<BioCurve, kBioCurves> b;
  const double values[] = {-1.0, -0.1, -0.01, 0.01, 0.1, 1.0, 100.0};
  const int codes[] = {3, 1, 2, 4, 8, 5, 7};
  BioCurve& last = b.v[kBioCurves - 1];
  last.count = 7;
  for (int k = 0; k < 7; ++k) {
    last.value.v[k] = values[k];
    last.firstCode.v[k] = codes[k];
    last.secondCode.v[k] = 2;
  }
  return b;
}();

// L: contour levels; kept only.
inline constexpr int kContourLevels = 20;
inline int contourNo = 0;
inline Fixed<double, kContourLevels> contourLevels;

}  // namespace qorva
