// Data sets F 350 to F 399 of `control`: defaults, readers and range checks, and the check of
// the F 358 window after reading. Writes the globals of state/options_f350_399.h, and
// MaxDepthScour, FlagMinBedLev (F 375), FlagBedConcentration (F 376), FlagGridStab6 (F 383),
// surfaceDownstreamDamp (F 353). Every reader here checks the count of values first.
#include "driver/fsets_350_399.h"

#include <cmath>
#include <string>

#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

namespace {

bool in(double v, double lo, double hi) { return v >= lo && v <= hi; }

// F 350 to F 367 and F 381 end their standard failure text with a line end; F 375 and F 387
// on use the reader's standard text without it.
std::string failText(const DataSetReader& r) { return strf("Error for F %d in control\n", r.number()); }
void check(const DataSetReader& r, bool ok) { r.require(ok, failText(r)); }
void checkCount(const DataSetReader& r, int n) { r.requireCount(n, failText(r)); }

// A row of one int that only has to be there, with its own text for a missing value.
void intCounted(DataSetTable& t, int number, int& v, int def, const char* missing) {
  t.push_back({'F', number, [&v, def] { v = def; },
               [&v, missing](DataSetReader& r) {
                 r.i(v);
                 r.requireCount(1, missing);
               }});
}

// F 387 on: one value at least 0, standard text without a line end.
void intAtLeast0(DataSetTable& t, int number, int& v, int def) {
  t.push_back({'F', number, [&v, def] { v = def; },
               [&v](DataSetReader& r) {
                 r.i(v);
                 r.requireCount(1);
                 r.require(v >= 0);
               }});
}

void doubleAtLeast0(DataSetTable& t, int number, double& v, double def) {
  t.push_back({'F', number, [&v, def] { v = def; },
               [&v](DataSetReader& r) {
                 r.d(v);
                 r.requireCount(1);
                 r.require(v >= 0);
               }});
}

}  // namespace

void checkF358AfterReading() {
  if (BedStatI1 <= 0) return;
  const bool ok = BedStatI1 <= BedStatI2 && BedStatI2 <= xnumber && BedStatJ1 >= 1 &&
                  BedStatJ1 <= BedStatJ2 && BedStatJ2 <= ynumber;
  if (!ok) failf(1, "Error for F 358 in control\n");
}

void addFsets350_399(DataSetTable& t) {
  t.push_back({'F', 350,
               [] {
                 maxTimeStep = minTimeStep = QRefTimeStep = powTimeStep = 0;
                 FlagComputeTimestep = 0;
               },
               [](DataSetReader& r) {
                 r.d(maxTimeStep); r.d(minTimeStep); r.d(QRefTimeStep); r.d(powTimeStep);
                 checkCount(r, 4);
                 check(r, minTimeStep <= maxTimeStep);
                 check(r, maxTimeStep >= 0 && minTimeStep >= 0 && QRefTimeStep >= 0 && powTimeStep >= 0);
                 FlagComputeTimestep = 1;
               }});
  t.push_back({'F', 351, [] { solverFroude = 0; solverFroudeLimit = 1.0; },
               [](DataSetReader& r) {
                 r.i(solverFroude); r.d(solverFroudeLimit);
                 checkCount(r, 2);
                 check(r, solverFroude >= 0);
                 check(r, solverFroudeLimit >= 0.0001);
               }});
  t.push_back({'F', 352, [] { FlagTFS5 = 0; FlagTFS6 = 0; },
               [](DataSetReader& r) {
                 r.i(FlagTFS5); r.i(FlagTFS6);
                 checkCount(r, 2);
               }});
  t.push_back({'F', 353, [] { surfaceDownstreamDamp = 1; },
               [](DataSetReader& r) {
                 r.i(surfaceDownstreamDamp);
                 checkCount(r, 1);
               }});
  t.push_back({'F', 354, [] { OpenFOAMprintI = 0; OpenFOAMprintJ = 0; },
               [](DataSetReader& r) {
                 r.i(OpenFOAMprintI); r.i(OpenFOAMprintJ);
                 checkCount(r, 2);
               }});
  t.push_back({'F', 355, [] { FlagPresSource = 0; CoeffPresSource = 0.5; },
               [](DataSetReader& r) {
                 r.i(FlagPresSource); r.d(CoeffPresSource);
                 checkCount(r, 2);
                 check(r, FlagPresSource >= 0);
               }});
  t.push_back({'F', 356, [] { PointInterval = 0; PointIntervalO = 1; },
               [](DataSetReader& r) {
                 r.i(PointInterval);
                 checkCount(r, 1);
                 check(r, PointInterval >= 0);
                 PointIntervalO = PointInterval;
               }});
  t.push_back({'F', 357, [] { FlagPresSurf = 0; CoeffPresSurf = 1e30; },
               [](DataSetReader& r) {
                 r.i(FlagPresSurf); r.d(CoeffPresSurf);
                 checkCount(r, 2);
                 check(r, FlagPresSurf >= -10);
                 check(r, CoeffPresSurf >= 0);
               }});
  // Only the order of the i range can be checked here: G 1 may still change the grid sizes,
  // so the whole window is checked after reading (checkF358AfterReading).
  t.push_back({'F', 358,
               [] {
                 BedStatI1 = BedStatI2 = BedStatJ1 = BedStatJ2 = 0;
                 BedStatTime1 = BedStatTime2 = 0;
               },
               [](DataSetReader& r) {
                 r.i(BedStatI1); r.i(BedStatI2); r.i(BedStatJ1); r.i(BedStatJ2);
                 r.d(BedStatTime1); r.d(BedStatTime2);
                 checkCount(r, 6);
                 check(r, BedStatI1 >= 1 && BedStatI1 <= BedStatI2);
               }});
  t.push_back({'F', 359, [] { SurfULimit = 0; SurfUFactor = 0.001; },
               [](DataSetReader& r) {
                 r.d(SurfULimit); r.d(SurfUFactor);
                 checkCount(r, 2);
                 check(r, SurfULimit >= -10);
                 check(r, SurfUFactor >= 0);
               }});
  t.push_back({'F', 360, [] { FlagFluxCorr = 0; FluxCorrVal = 1.1; },
               [](DataSetReader& r) {
                 r.i(FlagFluxCorr); r.d(FluxCorrVal);
                 checkCount(r, 2);
                 check(r, FlagFluxCorr >= 0);
                 check(r, FluxCorrVal >= 1e-5);
               }});
  t.push_back({'F', 361, [] { FlagSurfSlope = 0; SurfSlopeVal = 0; },
               [](DataSetReader& r) {
                 r.i(FlagSurfSlope); r.d(SurfSlopeVal);
                 checkCount(r, 2);
                 check(r, FlagSurfSlope >= 0);
                 check(r, std::fabs(SurfSlopeVal) <= 2);
               }});
  t.push_back({'F', 362, [] { FlagSetPow = 0; },
               [](DataSetReader& r) {
                 r.i(FlagSetPow);
                 checkCount(r, 1);
                 check(r, in(FlagSetPow, 0, 3));
               }});
  t.push_back({'F', 363, [] { geoScaleX = 1.0; geoScaleY = 1.0; FlagGeoScale = 0; },
               [](DataSetReader& r) {
                 r.d(geoScaleX); r.d(geoScaleY);
                 checkCount(r, 2);
                 FlagGeoScale = 1;
               }});
  t.push_back({'F', 364, [] { geoMin = 0; geoMax = 0; FlagGeoMaxMin = 0; },
               [](DataSetReader& r) {
                 r.d(geoMin); r.d(geoMax);
                 checkCount(r, 2);
                 FlagGeoMaxMin = 1;
               }});
  t.push_back({'F', 365, [] { FlagViewInterpol = 0; },
               [](DataSetReader& r) { r.i(FlagViewInterpol); checkCount(r, 1); }});
  t.push_back({'F', 366, [] { FlagNoImpulse = 0; },
               [](DataSetReader& r) { r.i(FlagNoImpulse); checkCount(r, 1); }});
  t.push_back({'F', 367, [] { SourceKennedy = -1.0; },
               [](DataSetReader& r) { r.d(SourceKennedy); checkCount(r, 1); }});
  t.push_back({'F', 368,
               [] {
                 IBraidedStart = 2;
                 BraidedTot = 0.001; BraidedActive = 0.1; BraidedActive2 = 0.2; BraidedActive3 = 0.3;
                 BraidCells = 4;
                 FlagBraidedIndex = 0;
               },
               [](DataSetReader& r) {
                 r.i(IBraidedStart);
                 r.d(BraidedTot); r.d(BraidedActive); r.d(BraidedActive2); r.d(BraidedActive3);
                 r.i(BraidCells);
                 r.requireCount(6, "Error for F 368 in control: have not read 6 numbers\n");
                 FlagBraidedIndex = 1;
               }});
  intCounted(t, 369, FlagBugFind, 0, "Error for F 369 in control: have not read 1 number\n");
  t.push_back({'F', 370,
               [] { WriteDuneIter = WriteDuneI1 = WriteDuneI2 = WriteDuneJ1 = WriteDuneDI = 0; },
               [](DataSetReader& r) {
                 r.i(WriteDuneIter); r.i(WriteDuneI1); r.i(WriteDuneI2); r.i(WriteDuneJ1); r.i(WriteDuneDI);
                 r.requireCount(5, "Error for F 370 in control: have not read 5 integers\n");
                 check(r, WriteDuneI2 >= WriteDuneI1);
                 check(r, WriteDuneJ1 < ynumber - 1);
                 check(r, WriteDuneDI >= 1);
                 r.require(WriteDuneJ1 > 1, "Error for F370, 4th parameter must be larger than 1\n");
               }});
  // Options 8 to 11 take a Froude number as a fourth value.
  t.push_back({'F', 371,
               [] { FlagNoGridSplit = gridSplitKant = FlagGridsplitBedmove = 0; FroudeSplit = 1.0; },
               [](DataSetReader& r) {
                 r.i(FlagNoGridSplit); r.i(gridSplitKant); r.i(FlagGridsplitBedmove);
                 r.requireCount(3, "Error for F 371 in control: have not read 3 integers\n");
                 if (in(FlagNoGridSplit, 8, 11)) {
                   const bool read = r.d(FroudeSplit);
                   r.require(read && in(FroudeSplit, 0.01, 10),
                             strf("Error for F 371 in control: Error for fourth parameter: FroudeSplit = %lf\n\n",
                                  FroudeSplit));
                 }
               }});
  intCounted(t, 372, FlagFilterPressure, 0, "Error for F 372 in control: have not read 1 number\n");
  intCounted(t, 373, FlagPresCorrStab, 0, "Error for F 373 in control: have not read 1 number\n");
  t.push_back({'F', 374, [] { Iter2DMG = 1; Iter2DMGori = 0; },
               [](DataSetReader& r) {
                 r.i(Iter2DMG);
                 r.requireCount(1, "Error for F 374 in control: have not read 1 number\n");
                 Iter2DMGori = Iter2DMG;
               }});
  // Same scour depth as F 41, applied by the `unstruc` reader in its own way; F 41 and F 42
  // give the defaults.
  t.push_back({'F', 375, nullptr,
               [](DataSetReader& r) {
                 r.d(MaxDepthScour);
                 r.requireCount(1);
                 r.require(in(MaxDepthScour, 0, 10000));
                 FlagMinBedLev = 375;
               }});
  // The two values are kept only; the data set switches the bed concentration to option 3,
  // whose default belongs to F 285.
  t.push_back({'F', 376, [] { BfG_M = 0; BfG_k = 0; },
               [](DataSetReader& r) {
                 r.d(BfG_M); r.d(BfG_k);
                 r.requireCount(2, "Error for F 376 in control: Have not read two numbers");
                 FlagBedConcentration = 3;
               }});
  intCounted(t, 377, FlagCyclicSstart, 0, "Error for F 377 in control: Have not read one number");
  intCounted(t, 378, FlagThalweg, 0, "Error for F 378 in control: Have not read one number");
  t.push_back({'F', 379, [] { FlagReducePonds = 0; CritReducePonds = 5.0; ShearReducePonds = 0.001; },
               [](DataSetReader& r) {
                 r.i(FlagReducePonds); r.d(CritReducePonds); r.d(ShearReducePonds);
                 r.requireCount(3, "Error for F 379 in control: Have not read three numbers");
               }});
  intCounted(t, 380, FlagGridStab7, 0, "Error for F 380 in control: Have not read one number");
  t.push_back({'F', 381,
               [] { FlushWaterLevelMin = 0; FlushWaterLevelMax = 0; FlagFlushWaterLevel = 0; },
               [](DataSetReader& r) {
                 r.d(FlushWaterLevelMin); r.d(FlushWaterLevelMax);
                 checkCount(r, 2);
                 check(r, FlushWaterLevelMin <= FlushWaterLevelMax);
                 FlagFlushWaterLevel = 1;
               }});
  intCounted(t, 382, FlagAddApTrekant, 0, "Error for F 382 in control: Have not read one number");
  intCounted(t, 383, FlagGridStab6, 0, "Error for F 383 in control: Have not read one number");
  t.push_back({'F', 384, [] { OpenFOAMalpha1X = -1e20; OpenFOAMalpha1Z = -1e20; },
               [](DataSetReader& r) {
                 r.d(OpenFOAMalpha1X); r.d(OpenFOAMalpha1Z);
                 r.requireCount(2, "Error for F 384 in control: Have not read two numbers");
               }});
  t.push_back({'F', 385, [] { FlagCohesion = 0; InitValueCohesion = 0; },
               [](DataSetReader& r) {
                 r.i(FlagCohesion); r.d(InitValueCohesion);
                 r.requireCount(2, "Error for F 385 in control: Have not read two numbers");
               }});
  t.push_back({'F', 386, [] { FlagBagger = 0; MaxNoBagger = 0; },
               [](DataSetReader& r) {
                 r.i(FlagBagger); r.i(MaxNoBagger);
                 r.requireCount(2, "Error for F 386 in control: Have not read two integers: Flag + MaxNo");
               }});
  doubleAtLeast0(t, 387, MinDepthGrid, -1.0);
  doubleAtLeast0(t, 388, relaxSimpleCorr, 1.0);
  // Any interval but 0; a negative one is accepted.
  t.push_back({'F', 389, [] { iterWriteAllData = 1000000; },
               [](DataSetReader& r) {
                 r.i(iterWriteAllData);
                 r.requireCount(1);
                 r.require(iterWriteAllData != 0);
               }});
  intAtLeast0(t, 390, FlagFixGrid, 0);
  intAtLeast0(t, 391, FlagGridStab8, 0);
  intAtLeast0(t, 392, FlagSetZeroBedmove, 0);
  intAtLeast0(t, 393, FlagSetLimBedOri, 0);
  intAtLeast0(t, 394, FlagRemovePonds, 0);
  t.push_back({'F', 395, [] { FlagModifyGrid = 0; MaxModifyGrid = 0; DzModifyGrid = 0; },
               [](DataSetReader& r) {
                 r.i(FlagModifyGrid); r.d(MaxModifyGrid); r.d(DzModifyGrid);
                 r.requireCount(3);
                 r.require(FlagModifyGrid >= 0 && MaxModifyGrid >= 0 && DzModifyGrid >= 0);
               }});
  intAtLeast0(t, 396, FlagNoSides, 0);
  t.push_back({'F', 397,
               [] { FlagWallLimiterU = 0; FlagWallLimiterK = 0; WallLimiterU = 0.1; WallLimiterK = 0.1; },
               [](DataSetReader& r) {
                 r.i(FlagWallLimiterU); r.i(FlagWallLimiterK); r.d(WallLimiterU); r.d(WallLimiterK);
                 r.requireCount(4);
                 r.require(FlagWallLimiterU >= 0);
                 r.require(in(WallLimiterU, 1e-6, 1000));
                 r.require(FlagWallLimiterK >= 0);
                 r.require(in(WallLimiterK, 1e-6, 1000));
               }});
  doubleAtLeast0(t, 398, coeffRoughRijn, 3.0);
  intAtLeast0(t, 399, FlagErrorKoomin, 0);
}

}  // namespace qorva
