// Data sets S, N, I, H and L of `control` (sediment sizes, bed grain distribution, tables).
// Writes gsize, fallvelo, SedimentSample, SampleNo, FlagReadNdata, inflow, Bio, contourNo and
// contourLevels; reads lnumber (G 1, F 79) and FlagFlocDLL (F 260).
#include <algorithm>

#include "driver/rows.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"

namespace qorva {

namespace {

// S i: diameter and fall velocity of size i, coarsest size first.
void readS(DataSetReader& r) {
  const int i = r.number();
  r.require(i >= 1 && i <= lnumber + 1 && i < static_cast<int>(gsize.size()),
            "Input error for S in control: incorrect first integer\n");
  r.d(gsize[i]);
  r.d(fallvelo[i]);
  r.require(r.count() == 2 && in(gsize[i], 0, 1e6) && in(fallvelo[i], -1e6, 1e6),
            strf("Input error for S in control in second or third float for i=%d\n", i));
  // Flocculation changes the sizes during the run, so their order is free then.
  r.require(i == 1 || gsize[i] <= gsize[i - 1] || FlagFlocDLL != 0,
            strf("Input error for S %d in control file: The coarsest sediment sizes have to be given first\n", i));
}

// N n l: fraction of size l in bed sample n.
void readN(DataSetReader& r) {
  const int n = r.number();
  int l = 0;
  r.i(l);
  // An unread fraction leaves what the sample holds, as with any value that cannot be read.
  double fraction = 0;
  const bool inSamples = n >= 0 && n < kSedimentSamples;
  if (inSamples && l >= 0 && l < static_cast<int>(SedimentSample[0].size()))
    fraction = SedimentSample[n][l];
  r.d(fraction);
  r.require(inSamples,
            strf("Input error for N data set in control file, sample %d: only samples 0 to %d can be given\n",
                 n, kSedimentSamples - 1));
  if (n > 0)
    logf("Input error for N data set in control file: in Qorva 2 there is only\n"
         "one grain size distribution for the N data sets, and it has number 0.\n"
         "If you want a spatially varying grain size distribution, use the fracres file\n\n");
  r.require(in(l, 1, 49) && in(fraction, 0, 1),
            strf("Input error for N data set in control file, size %d, fraction %lf\n", l, fraction));
  SedimentSample[n][l] = fraction;
  ++FlagReadNdata;
  SampleNo = std::max(SampleNo, n);
}

// I l: inflow concentration of size l; nothing uses it any more, hence the warning.
void readI(DataSetReader& r) {
  const int l = r.number();
  r.require(l >= 0 && l <= lnumber && l < static_cast<int>(inflow.size()), "Input error for I in control");
  logf("Warning, the values on the I data set in the control file are not used in Qorva 2\n"
       "Use the timei file or the M data set instead\n\n");
  r.d(inflow[l]);
  r.input().skipSpace();
}

// H n: a table of up to 20 values with two codes each. Numbers above 14 have no table.
void readH(DataSetReader& r) {
  const int n = r.number();
  r.require(n >= 0, strf("Input error for H %d in control\nH data sets are numbered 0 to %d\n", n, kBioCurves - 1));
  if (n >= kBioCurves) return;
  BioCurve& b = Bio[n];
  int count = b.count;
  r.i(count);
  r.require(count <= kBioPoints, strf("Input error for H %d in control\nData points must not exceed %d\n", n, kBioPoints));
  b.count = count;
  for (int k = 0; k < count; ++k) {
    r.d(b.value[k]);
    r.i(b.firstCode[k]);
    r.i(b.secondCode[k]);
    r.require(in(b.firstCode[k], 0, 16) && in(b.secondCode[k], 0, 16), strf("Input error for H %d in control\n", n));
  }
}

// L count: the count is the data-set number, the levels follow.
void readL(DataSetReader& r) {
  const int count = r.number();
  r.require(count <= kContourLevels,
            strf("Input error for L %d in control\nContour levels must not exceed %d\n", count, kContourLevels));
  contourNo = count;
  for (int k = 0; k < contourNo; ++k) r.d(contourLevels[k]);
}

}  // namespace

void addSNIHLsets(DataSetTable& t) {
  t.push_back({'S', kAnyNumber,
               "Diameter (m) and fall velocity (m/s) of sediment size i, the coarsest size first",
               declared(gsize, fallvelo),
               readS});
  // FlagReadNdata starts with the run's status flags.
  t.push_back({'N', kAnyNumber,
               "Fraction of size l in the bed material of sample n; only sample 0 is used",
               declared(SedimentSample, SampleNo),
               readN});
  t.push_back({'I', kAnyNumber,
               "An inflow concentration per size; kept and written back, used by nothing else",
               declared(inflow), readI});
  t.push_back({'H', kAnyNumber,
               "A table of values with two codes each; kept, used by nothing else",
               declared(Bio), readH});
  t.push_back({'L', kAnyNumber, "Contour levels; kept, used by nothing else",
               declared(contourNo, contourLevels),
               readL});
}

}  // namespace qorva
