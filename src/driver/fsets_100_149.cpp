// Data sets F 100 to F 149 of `control`: defaults, readers and range checks.
// Writes the globals of state/options_f100_149.h (and FlagWallAll for F 120).
#include <cmath>

#include "driver/rows.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addFsets100_149(DataSetTable& t) {
  // The sediment loop writes transfer files at the shortest of the four intervals given.
  t.push_back({'F', 101, declared(TransWriteFiles),
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
  addValue(t, 102, FlagMinLevUnstruc, 0);
  addValue(t, 103, Flag2BedRoughness, 0);
  addValue(t, 104, FlagEndCorrect, 0);
  addValue(t, 105, IterWaterUpdate, 1);
  t.push_back({'F', 106, declared(TopThickness),
               [](DataSetReader& r) {
                 r.d(TopThickness);
                 r.requireCount(1);
                 r.require(in(std::fabs(TopThickness), 1e-10, 100000));
               }});
  t.push_back({'F', 109, declared(BedCritTanSlopeUp, BedCritTanSlopeDown, BedCritMinDamp),
               [](DataSetReader& r) {
                 r.d(BedCritTanSlopeUp); r.d(BedCritTanSlopeDown); r.d(BedCritMinDamp);
                 r.requireCount(3);
                 r.require(BedCritTanSlopeUp >= 0 && BedCritTanSlopeDown >= 0);
                 r.require(in(BedCritMinDamp, 0, 1));
               }});
  // The parameters belong to the bed-rouse variant only, so that variant must be chosen first.
  t.push_back({'F', 110, declared(HRzmax, HRmulmin),
               [](DataSetReader& r) {
                 r.d(HRzmax); r.d(HRmulmin);
                 r.requireCount(2);
                 r.require(TSCbedrouse == 1);
                 r.require(HRzmax >= 0);
                 r.require(in(HRmulmin, 0, 1));
               }});
  // The option is checked but no longer acted on: it always ends up 0.
  t.push_back({'F', 111, declared(FlagBedDLL),
               [](DataSetReader& r) {
                 r.i(FlagBedDLL);
                 r.requireCount(1);
                 r.require(FlagBedDLL == 0 || FlagBedDLL == 1);
                 FlagBedDLL = 0;
               }});
  t.push_back({'F', 112, declared(FlagNewGrid),
               [](DataSetReader& r) {
                 r.i(FlagNewGrid);
                 r.require(in(FlagNewGrid, 0, 100));
                 r.requireCount(1);
               }});
  t.push_back({'F', 113, declared(FlagRhieChow, OrigFlagRhieChow),
               [](DataSetReader& r) {
                 r.i(FlagRhieChow);
                 r.requireCount(1);
                 r.require(in(FlagRhieChow, 0, 100));
                 OrigFlagRhieChow = FlagRhieChow;
               }});
  t.push_back({'F', 114, declared(FlagPresGrad),
               [](DataSetReader& r) {
                 r.i(FlagPresGrad);
                 r.requireCount(1);
                 r.require(in(FlagPresGrad, 0, 100));
                 if (FlagPresGrad == 4 && FlagTSC > 0)
                   logf("Warning: F 114 4 is based on a special algorithm for slides, and may give instabilities\n\n");
               }});
  t.push_back({'F', 115, declared(FlagDragDLL),
               [](DataSetReader& r) {
                 r.i(FlagDragDLL);
                 r.require(in(FlagDragDLL, 0, 500));
                 r.requireCount(1);
               }});
  addValue(t, 116, FlagSurfDLL, 0);
  // The value itself is not used; giving the data set switches every wall to the same law.
  t.push_back({'F', 120, declared(FlagWallDLL),
               [](DataSetReader& r) {
                 r.i(FlagWallDLL);
                 r.requireCount(1);
                 r.require(FlagWallDLL >= 0);
                 FlagWallAll = 1000;
               }});
  addValue(t, 121, FlagTurbDLL, 0);
  addValue(t, 125, FlagTSCDLL, 0);
  addValue(t, 126, FlagNestDLL, 0);
  addValue(t, 128, FlagPresSetZero);
  addValue(t, 129, FlagBedInterpol, 0);
  // The region is checked against the grid sizes read so far: G 1 after F 130 is not seen.
  t.push_back({'F', 130, declared(TetI1, TetI2, TetJ1, TetJ2),
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
  t.push_back({'F', 131, declared(cohesive),
               [](DataSetReader& r) {
                 int n = 0;
                 const bool got = r.i(n);
                 r.require(got && in(n, 1, 20), "Error for F 131 in control - index\n");
                 const bool value = r.d(cohesive[n]);
                 r.require(value && cohesive[n] >= 0, "Error for F 131 in control - negative cohesion\n");
               }});
  t.push_back({'F', 132, declared(FroudeMaxSurface),
               [](DataSetReader& r) {
                 r.d(FroudeMaxSurface);
                 r.require(r.count() >= 1 && FroudeMaxSurface >= 0,
                           "Error for F 132 in control - negative value\n");
               }});
  // More than the two standard bed layers only with the transient sediment computation.
  t.push_back({'F', 134, declared(NoBedLayers),
               [](DataSetReader& r) {
                 r.i(NoBedLayers);
                 r.requireCount(1);
                 r.require(in(NoBedLayers, 2, 5000));
                 r.require(NoBedLayers == 2 || FlagTSC == 3);
               }});
  addValue(t, 135, FlagGravityTerm, 0);
  addValue(t, 136, PresGradMax, 0);
  addValue(t, 137, QNFlag, 0);
  addValue(t, 138, ArtMinKinen, 0);
  // Each value is checked as soon as it is read, with its own text.
  t.push_back({'F', 139, declared(MinUPlus, MinUPlusK),
               [](DataSetReader& r) {
                 r.d(MinUPlus);
                 r.require(r.count() >= 1 && MinUPlus >= 0, "Error for F 139 in control, 1st. parameter\n");
                 r.d(MinUPlusK);
                 r.require(r.count() >= 2 && MinUPlusK >= 0, "Error for F 139 in control, 2nd. parameter\n");
               }});
  addValue(t, 140, FlagEpsWallLim, 0);
  addValue(t, 141, MaxEpsLim, 0);
  addValue(t, 143, PresRegres, 0);
  addSwitchValue(t, 144, FlagBedSmooth, ParamBedSmooth, 0);
  t.push_back({'F', 147,
               declared(ExtrapIter, ExtrapAlgo1, ExtrapAlgo2, ExtrapRelVel, ExtrapRelK, ExtrapRelE),
               [](DataSetReader& r) {
                 r.i(ExtrapIter); r.i(ExtrapAlgo1); r.i(ExtrapAlgo2);
                 r.d(ExtrapRelVel); r.d(ExtrapRelK); r.d(ExtrapRelE);
                 r.requireCount(6);
                 r.require(ExtrapIter >= 0);
                 r.require(ExtrapRelVel >= 0 && ExtrapRelK >= 0 && ExtrapRelE >= 0);
               }});
  addValue(t, 148, MaxSurfSlope, 0);
  t.push_back({'F', 149, declared(TurbMultVert, TurbMultHor),
               [](DataSetReader& r) {
                 r.d(TurbMultVert); r.d(TurbMultHor);
                 r.requireCount(2);
                 r.require(TurbMultVert >= 0 && TurbMultHor >= 0);
               }});
}

}  // namespace qorva
