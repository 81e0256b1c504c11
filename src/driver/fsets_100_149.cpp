// Data sets F 100 to F 149 of `control`: defaults, readers and range checks.
// Writes the globals of state/options_f100_149.h (and FlagWallAll for F 120).
#include <cmath>

#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

namespace {

bool in(double v, double lo, double hi) { return v >= lo && v <= hi; }

// From F 134 on, the standard failure text ends with a line end.
void check(const DataSetReader& r, bool ok) {
  r.require(ok, strf("Error for F %d in control\n", r.number()));
}

// A single integer that must be read and lie at or above `lo`.
void intAtLeast(DataSetTable& t, int number, int& v, int def, int lo) {
  int* p = &v;
  t.push_back({'F', number, [p, def] { *p = def; },
               [p, lo](DataSetReader& r) {
                 r.i(*p);
                 r.requireCount(1);
                 r.require(*p >= lo);
               }});
}

}  // namespace

void addFsets100_149(DataSetTable& t) {
  // The sediment loop writes transfer files at the shortest of the four intervals given.
  t.push_back({'F', 101, [] { for (int& v : TransWriteFiles) v = 0; },
               [](DataSetReader& r) {
                 for (int n = 1; n <= 4; ++n) r.i(TransWriteFiles[n]);
                 r.requireCount(4);
                 int least = 1000000;
                 bool any = false;
                 for (int n = 1; n <= 4; ++n) {
                   if (TransWriteFiles[n] > 0 && (!any || TransWriteFiles[n] < least)) {
                     least = TransWriteFiles[n];
                     any = true;
                   }
                 }
                 TransWriteFiles[0] = least;
               }});
  intAtLeast(t, 102, FlagMinLevUnstruc, 0, 0);
  intAtLeast(t, 103, Flag2BedRoughness, 0, 0);
  intAtLeast(t, 104, FlagEndCorrect, 0, 0);
  intAtLeast(t, 105, IterWaterUpdate, 10, 1);
  t.push_back({'F', 106, [] { TopThickness = -1.0; },
               [](DataSetReader& r) {
                 r.d(TopThickness);
                 r.requireCount(1);
                 r.require(in(std::fabs(TopThickness), 1e-10, 100000));
               }});
  t.push_back({'F', 109, [] { BedCritTanSlopeUp = 1.23; BedCritTanSlopeDown = 0.78; BedCritMinDamp = 0.2; },
               [](DataSetReader& r) {
                 r.d(BedCritTanSlopeUp); r.d(BedCritTanSlopeDown); r.d(BedCritMinDamp);
                 r.requireCount(3);
                 r.require(BedCritTanSlopeUp >= 0 && BedCritTanSlopeDown >= 0);
                 r.require(in(BedCritMinDamp, 0, 1));
               }});
  // The parameters belong to the bed-rouse variant only, so that variant must be chosen first.
  t.push_back({'F', 110, [] { HRzmax = 2.0; HRmulmin = 0.01; },
               [](DataSetReader& r) {
                 r.d(HRzmax); r.d(HRmulmin);
                 r.requireCount(2);
                 r.require(TSCbedrouse == 1);
                 r.require(HRzmax >= 0);
                 r.require(in(HRmulmin, 0, 1));
               }});
  // The option is checked but no longer acted on: it always ends up 0.
  t.push_back({'F', 111, [] { FlagBedDLL = 0; },
               [](DataSetReader& r) {
                 r.i(FlagBedDLL);
                 r.requireCount(1);
                 r.require(FlagBedDLL == 0 || FlagBedDLL == 1);
                 FlagBedDLL = 0;
               }});
  t.push_back({'F', 112, [] { FlagNewGrid = 0; },
               [](DataSetReader& r) {
                 r.i(FlagNewGrid);
                 r.require(in(FlagNewGrid, 0, 100));
                 r.requireCount(1);
               }});
  t.push_back({'F', 113, [] { FlagRhieChow = 0; OrigFlagRhieChow = 0; },
               [](DataSetReader& r) {
                 r.i(FlagRhieChow);
                 r.requireCount(1);
                 r.require(in(FlagRhieChow, 0, 100));
                 OrigFlagRhieChow = FlagRhieChow;
               }});
  t.push_back({'F', 114, [] { FlagPresGrad = 0; },
               [](DataSetReader& r) {
                 r.i(FlagPresGrad);
                 r.requireCount(1);
                 r.require(in(FlagPresGrad, 0, 100));
                 if (FlagPresGrad == 4 && FlagTSC > 0)
                   logf("Warning: F 114 4 is based on a special algorithm for slides, and may give instabilities\n\n");
               }});
  t.push_back({'F', 115, [] { FlagDragDLL = 0; },
               [](DataSetReader& r) {
                 r.i(FlagDragDLL);
                 r.require(in(FlagDragDLL, 0, 500));
                 r.requireCount(1);
               }});
  intAtLeast(t, 116, FlagSurfDLL, 0, 0);
  // The value itself is not used; giving the data set switches every wall to the same law.
  t.push_back({'F', 120, [] { FlagWallDLL = 0; },
               [](DataSetReader& r) {
                 r.i(FlagWallDLL);
                 r.requireCount(1);
                 r.require(FlagWallDLL >= 0);
                 FlagWallAll = 1000;
               }});
  intAtLeast(t, 121, FlagTurbDLL, 0, 0);
  intAtLeast(t, 125, FlagTSCDLL, 0, 0);
  intAtLeast(t, 126, FlagNestDLL, 0, 0);
  t.push_back({'F', 128, [] { FlagPresSetZero = 0; },
               [](DataSetReader& r) {
                 r.i(FlagPresSetZero);
                 r.requireCount(1);
               }});
  intAtLeast(t, 129, FlagBedInterpol, 0, 0);
  // The region is checked against the grid sizes read so far: G 1 after F 130 is not seen.
  t.push_back({'F', 130, [] { TetI1 = TetI2 = TetJ1 = TetJ2 = 0; },
               [](DataSetReader& r) {
                 r.i(TetI1); r.i(TetI2); r.i(TetJ1); r.i(TetJ2);
                 r.requireCount(4);
                 r.require(TetI1 >= 2);
                 r.require(TetI2 <= xnumber);
                 r.require(TetJ1 >= 2);
                 r.require(TetJ2 <= ynumber);
                 r.require(TetI1 <= TetI2);
                 r.require(TetJ1 <= TetJ2);
               }});
  // One grain size per data set; the index is checked before its value is stored.
  t.push_back({'F', 131, [] { for (double& v : cohesive) v = 0; },
               [](DataSetReader& r) {
                 int n = 0;
                 const bool got = r.i(n);
                 r.require(got && in(n, 1, 20), "Error for F 131 in control - index\n");
                 const bool value = r.d(cohesive[n]);
                 r.require(value && cohesive[n] >= 0, "Error for F 131 in control - negative cohesion\n");
               }});
  t.push_back({'F', 132, [] { FroudeMaxSurface = 0; },
               [](DataSetReader& r) {
                 r.d(FroudeMaxSurface);
                 r.require(r.count() >= 1 && FroudeMaxSurface >= 0,
                           "Error for F 132 in control - negative value\n");
               }});
  // More than the two standard bed layers only with the transient sediment computation.
  t.push_back({'F', 134, [] { NoBedLayers = 2; },
               [](DataSetReader& r) {
                 r.i(NoBedLayers);
                 check(r, r.count() >= 1);
                 check(r, in(NoBedLayers, 2, 5000));
                 check(r, NoBedLayers == 2 || FlagTSC == 3);
               }});
  t.push_back({'F', 135, [] { FlagGravityTerm = 0; },
               [](DataSetReader& r) {
                 r.i(FlagGravityTerm);
                 check(r, r.count() >= 1 && FlagGravityTerm >= 0);
               }});
  t.push_back({'F', 136, [] { PresGradMax = 0; },
               [](DataSetReader& r) {
                 r.d(PresGradMax);
                 check(r, r.count() >= 1 && PresGradMax >= 0);
               }});
  t.push_back({'F', 137, [] { QNFlag = 0; },
               [](DataSetReader& r) {
                 r.i(QNFlag);
                 check(r, r.count() >= 1 && QNFlag >= 0);
               }});
  t.push_back({'F', 138, [] { ArtMinKinen = 1e-20; },
               [](DataSetReader& r) {
                 r.d(ArtMinKinen);
                 check(r, r.count() >= 1 && ArtMinKinen >= 0);
               }});
  // Each value is checked as soon as it is read, with its own text.
  t.push_back({'F', 139, [] { MinUPlus = 1.0; MinUPlusK = 1.0; },
               [](DataSetReader& r) {
                 r.d(MinUPlus);
                 r.require(r.count() >= 1 && MinUPlus >= 0, "Error for F 139 in control, 1st. parameter\n");
                 r.d(MinUPlusK);
                 r.require(r.count() >= 2 && MinUPlusK >= 0, "Error for F 139 in control, 2nd. parameter\n");
               }});
  t.push_back({'F', 140, [] { FlagEpsWallLim = 0; },
               [](DataSetReader& r) {
                 r.i(FlagEpsWallLim);
                 check(r, r.count() >= 1 && FlagEpsWallLim >= 0);
               }});
  t.push_back({'F', 141, [] { MaxEpsLim = 100.0; },
               [](DataSetReader& r) {
                 r.d(MaxEpsLim);
                 check(r, r.count() >= 1 && MaxEpsLim >= 0);
               }});
  t.push_back({'F', 143, [] { PresRegres = 0; },
               [](DataSetReader& r) {
                 r.i(PresRegres);
                 check(r, r.count() >= 1 && PresRegres >= 0);
               }});
  t.push_back({'F', 144, [] { FlagBedSmooth = 0; ParamBedSmooth = 0; },
               [](DataSetReader& r) {
                 r.i(FlagBedSmooth); r.d(ParamBedSmooth);
                 check(r, r.count() >= 2);
                 check(r, FlagBedSmooth >= 0);
               }});
  t.push_back({'F', 147,
               [] {
                 ExtrapIter = 20; ExtrapAlgo1 = 2; ExtrapAlgo2 = 2;
                 ExtrapRelVel = 0.2; ExtrapRelK = 1.0; ExtrapRelE = 1.0;
               },
               [](DataSetReader& r) {
                 r.i(ExtrapIter); r.i(ExtrapAlgo1); r.i(ExtrapAlgo2);
                 r.d(ExtrapRelVel); r.d(ExtrapRelK); r.d(ExtrapRelE);
                 check(r, r.count() >= 6);
                 check(r, ExtrapIter >= 0);
                 check(r, ExtrapRelVel >= 0 && ExtrapRelK >= 0 && ExtrapRelE >= 0);
               }});
  t.push_back({'F', 148, [] { MaxSurfSlope = -0.1; },
               [](DataSetReader& r) {
                 r.d(MaxSurfSlope);
                 check(r, r.count() >= 1 && MaxSurfSlope >= 0);
               }});
  t.push_back({'F', 149, [] { TurbMultVert = 1.0; TurbMultHor = 1.0; },
               [](DataSetReader& r) {
                 r.d(TurbMultVert); r.d(TurbMultHor);
                 check(r, r.count() >= 2);
                 check(r, TurbMultVert >= 0 && TurbMultHor >= 0);
               }});
}

}  // namespace qorva
