// Data sets F 350 to F 399 of `control`: defaults, readers and range checks, and the check of
// the F 358 window after reading. Writes the globals of state/options_f350_399.h, and
// MaxDepthScour, FlagMinBedLev (F 375), FlagBedConcentration (F 376), FlagGridStab6 (F 383),
// surfaceDownstreamDamp (F 353). Every reader here checks the count of values first.
#include "driver/fsets_350_399.h"

#include <cmath>
#include <string>

#include "driver/rows.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

namespace {

// A row of one int that only has to be there, with its own text for a missing value.
void intCounted(DataSetTable& t, int number, const char* meaning, int& v, const char* missing) {
  t.push_back({'F', number, meaning, declared(v), [&v, missing](DataSetReader& r) {
                 r.i(v);
                 r.requireCount(1, missing);
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
               "Variable time step of the sediment time loop: largest and smallest step, reference "
               "discharge, exponent",
               declared(maxTimeStep, minTimeStep, QRefTimeStep, powTimeStep, FlagComputeTimestep),
               [](DataSetReader& r) {
                 r.d(maxTimeStep); r.d(minTimeStep); r.d(QRefTimeStep); r.d(powTimeStep);
                 r.requireCount(4);
                 r.require(minTimeStep <= maxTimeStep);
                 r.require(maxTimeStep >= 0 && minTimeStep >= 0 && QRefTimeStep >= 0 && powTimeStep >= 0);
                 FlagComputeTimestep = 1;
               }});
  addSwitchValue(t, 351,
                 "Froude-number option of the free-surface and backwater computations and of the "
                 "grid-split prevention, with its Froude limit",
                 solverFroude, solverFroudeLimit, 0, 0.0001);
  t.push_back({'F', 352, "Two options of the free-surface coefficients",
               declared(FlagTFS5, FlagTFS6),
               [](DataSetReader& r) {
                 r.i(FlagTFS5); r.i(FlagTFS6);
                 r.requireCount(2);
               }});
  addValue(t, 353, "Damping of the downstream water level (F 452 also sets it)",
           surfaceDownstreamDamp);
  t.push_back({'F', 354, "Grid line printed when the surface is made from an OpenFOAM result",
               declared(OpenFOAMprintI, OpenFOAMprintJ),
               [](DataSetReader& r) {
                 r.i(OpenFOAMprintI); r.i(OpenFOAMprintJ);
                 r.requireCount(2);
               }});
  addSwitchValue(t, 355, "Variant of the pressure-gradient source and its coefficient",
                 FlagPresSource, CoeffPresSource, 0);
  t.push_back({'F', 356,
               "Read and checked; nothing uses it (the value is also copied to `PointIntervalO`, "
               "which nothing reads either)",
               declared(PointInterval, PointIntervalO),
               [](DataSetReader& r) {
                 r.i(PointInterval);
                 r.requireCount(1);
                 r.require(PointInterval >= 0);
                 PointIntervalO = PointInterval;
               }});
  addSwitchValue(t, 357,
                 "Condition of the pressure-correction equation at the water surface (-1 none; 0 "
                 "and above fixed values at the top cells with the coefficient)",
                 FlagPresSurf, CoeffPresSurf, -10, 0);
  // Only the order of the i range can be checked here: G 1 may still change the grid sizes,
  // so the whole window is checked after reading (checkF358AfterReading).
  t.push_back({'F', 358,
               "Region and time window of the bed statistics of the sediment time loop (also sizes "
               "structured arrays)",
               declared(BedStatI1, BedStatI2, BedStatJ1, BedStatJ2, BedStatTime1, BedStatTime2),
               [](DataSetReader& r) {
                 r.i(BedStatI1); r.i(BedStatI2); r.i(BedStatJ1); r.i(BedStatJ2);
                 r.d(BedStatTime1); r.d(BedStatTime2);
                 r.requireCount(6);
                 r.require(BedStatI1 >= 1 && BedStatI1 <= BedStatI2);
               }});
  t.push_back({'F', 359,
               "Velocity limit and factor of the transient free surface and the mud fluxes",
               declared(SurfULimit, SurfUFactor),
               [](DataSetReader& r) {
                 r.d(SurfULimit); r.d(SurfUFactor);
                 r.requireCount(2);
                 r.require(SurfULimit >= -10);
                 r.require(SurfUFactor >= 0);
               }});
  addSwitchValue(t, 360, "Flux correction of the flow driver and its value",
                 FlagFluxCorr, FluxCorrVal, 0, 1e-5);
  t.push_back({'F', 361, "Imposed surface slope in the surface smoothing",
               declared(FlagSurfSlope, SurfSlopeVal),
               [](DataSetReader& r) {
                 r.i(FlagSurfSlope); r.d(SurfSlopeVal);
                 r.requireCount(2);
                 r.require(FlagSurfSlope >= 0);
                 r.require(std::fabs(SurfSlopeVal) <= 2);
               }});
  addValue(t, 362, "Power-law option of the second-order velocity coefficients", FlagSetPow, 0, 3);
  t.push_back({'F', 363,
               "Scale factors of x and y applied when `unstruc` is read; also sets `FlagGeoScale` "
               "to 1",
               declared(geoScaleX, geoScaleY, FlagGeoScale),
               [](DataSetReader& r) {
                 r.d(geoScaleX); r.d(geoScaleY);
                 r.requireCount(2);
                 FlagGeoScale = 1;
               }});
  t.push_back({'F', 364, "Read and checked; nothing uses it",
               declared(geoMin, geoMax, FlagGeoMaxMin),
               [](DataSetReader& r) {
                 r.d(geoMin); r.d(geoMax);
                 r.requireCount(2);
                 FlagGeoMaxMin = 1;
               }});
  addValue(t, 365, "Read and checked; nothing uses it", FlagViewInterpol);
  addValue(t, 366, "Boundary values without momentum at inflows", FlagNoImpulse);
  addValue(t, 367, "Kennedy source term at the boundaries (negative: off)", SourceKennedy);
  t.push_back({'F', 368,
               "Braiding index of the river: start iteration, total and three activity thresholds, "
               "cells; also sets `FlagBraidedIndex` to 1",
               declared(IBraidedStart, BraidedTot, BraidedActive, BraidedActive2, BraidedActive3,
                        BraidCells, FlagBraidedIndex),
               [](DataSetReader& r) {
                 r.i(IBraidedStart);
                 r.d(BraidedTot); r.d(BraidedActive); r.d(BraidedActive2); r.d(BraidedActive3);
                 r.i(BraidCells);
                 r.requireCount(6, "Error for F 368 in control: have not read 6 numbers\n");
                 FlagBraidedIndex = 1;
               }});
  intCounted(t, 369, "Extra diagnostics of the free-surface, solver and grid steps",
             FlagBugFind, "Error for F 369 in control: have not read 1 number\n");
  t.push_back({'F', 370, "Dune output: iteration interval, i range, grid line j and step",
               declared(WriteDuneIter, WriteDuneI1, WriteDuneI2, WriteDuneJ1, WriteDuneDI),
               [](DataSetReader& r) {
                 r.i(WriteDuneIter); r.i(WriteDuneI1); r.i(WriteDuneI2); r.i(WriteDuneJ1); r.i(WriteDuneDI);
                 r.requireCount(5, "Error for F 370 in control: have not read 5 integers\n");
                 r.require(WriteDuneI2 >= WriteDuneI1);
                 r.require(WriteDuneJ1 < ynumber - 1);
                 r.require(WriteDuneDI >= 1);
                 r.require(WriteDuneJ1 > 1, "Error for F370, 4th parameter must be larger than 1\n");
               }});
  // Options 8 to 11 take a Froude number as a fourth value.
  t.push_back({'F', 371,
               "Prevention of grid splits at dry edges: option, edge option, bed-move switch, and "
               "the Froude number of options 8 to 11",
               declared(FlagNoGridSplit, gridSplitKant, FlagGridsplitBedmove, FroudeSplit),
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
  intCounted(t, 372,
             "Clamp of the pressure correction before the corrections (1), or the variant with mud "
             "after them (2)",
             FlagFilterPressure, "Error for F 372 in control: have not read 1 number\n");
  intCounted(t, 373,
             "Above 1: the continuity defect of the pressure-correction equation is clamped to "
             "±0.01 times the value (kg/s); combinations tested after reading",
             FlagPresCorrStab, "Error for F 373 in control: have not read 1 number\n");
  t.push_back({'F', 374,
               "Iterations of the two-dimensional multigrid solver; also copied to `Iter2DMGori`, "
               "which nothing reads",
               declared(Iter2DMG, Iter2DMGori),
               [](DataSetReader& r) {
                 r.i(Iter2DMG);
                 r.requireCount(1, "Error for F 374 in control: have not read 1 number\n");
                 Iter2DMGori = Iter2DMG;
               }});
  // Same scour depth as F 41, applied by the `unstruc` reader in its own way; F 41 and F 42
  // give the defaults.
  t.push_back({'F', 375,
               "Maximum scour depth for the reader of `unstruc` (as F 41); sets `FlagMinBedLev` to "
               "375",
               {},
               [](DataSetReader& r) {
                 r.d(MaxDepthScour);
                 r.requireCount(1);
                 r.require(in(MaxDepthScour, 0, 10000));
                 FlagMinBedLev = 375;
               }});
  // The two values are kept only; the data set switches the bed concentration to option 3,
  // whose default belongs to F 285.
  t.push_back({'F', 376,
               "The two values have nothing uses it; the data set sets `FlagBedConcentration` to 3",
               declared(BfG_M, BfG_k),
               [](DataSetReader& r) {
                 r.d(BfG_M); r.d(BfG_k);
                 r.requireCount(2, "Error for F 376 in control: Have not read two numbers");
                 FlagBedConcentration = 3;
               }});
  intCounted(t, 377, "Start option of the cyclic inflow sediment",
             FlagCyclicSstart, "Error for F 377 in control: Have not read one number");
  intCounted(t, 378, "Thalweg output of the sediment time loop and the braiding writer",
             FlagThalweg, "Error for F 378 in control: Have not read one number");
  t.push_back({'F', 379, "Reduction of ponds in the regridding and its two limits",
               declared(FlagReducePonds, CritReducePonds, ShearReducePonds),
               [](DataSetReader& r) {
                 r.i(FlagReducePonds); r.d(CritReducePonds); r.d(ShearReducePonds);
                 r.requireCount(3, "Error for F 379 in control: Have not read three numbers");
               }});
  intCounted(t, 380, "Seventh grid-stability option (second grid-stability check)",
             FlagGridStab7, "Error for F 380 in control: Have not read one number");
  t.push_back({'F', 381,
               "Water-level range of the flushing clamp after a free-surface update; also sets "
               "`FlagFlushWaterLevel` to 1",
               declared(FlushWaterLevelMin, FlushWaterLevelMax, FlagFlushWaterLevel),
               [](DataSetReader& r) {
                 r.d(FlushWaterLevelMin); r.d(FlushWaterLevelMax);
                 r.requireCount(2);
                 r.require(FlushWaterLevelMin <= FlushWaterLevelMax);
                 FlagFlushWaterLevel = 1;
               }});
  intCounted(t, 382, "Extra central coefficient at triangle cells in the velocity step",
             FlagAddApTrekant, "Error for F 382 in control: Have not read one number");
  intCounted(t, 383, "Sixth grid-stability option (also set by F 245)",
             FlagGridStab6, "Error for F 383 in control: Have not read one number");
  t.push_back({'F', 384, "Read and checked; nothing uses it",
               declared(OpenFOAMalpha1X, OpenFOAMalpha1Z),
               [](DataSetReader& r) {
                 r.d(OpenFOAMalpha1X); r.d(OpenFOAMalpha1Z);
                 r.requireCount(2, "Error for F 384 in control: Have not read two numbers");
               }});
  t.push_back({'F', 385,
               "Cohesion of the bed: option (initial value in all layers, from the file "
               "`cohesion`, or only in shallow columns) and initial value",
               declared(FlagCohesion, InitValueCohesion),
               [](DataSetReader& r) {
                 r.i(FlagCohesion); r.d(InitValueCohesion);
                 r.requireCount(2, "Error for F 385 in control: Have not read two numbers");
               }});
  t.push_back({'F', 386,
               "Dredging: when in the sediment step the dredging is done (0 off), and the largest "
               "number of dredging operations (sizes structured arrays)",
               declared(FlagBagger, MaxNoBagger),
               [](DataSetReader& r) {
                 r.i(FlagBagger); r.i(MaxNoBagger);
                 r.requireCount(2, "Error for F 386 in control: Have not read two integers: Flag + MaxNo");
               }});
  addValue(t, 387, "Minimum depth of the grid generator (negative default: off)", MinDepthGrid, 0);
  addValue(t, 388, "Factor on the velocity correction of the pressure-correction step",
           relaxSimpleCorr, 0);
  // Any interval but 0; a negative one is accepted.
  t.push_back({'F', 389, "Iteration interval of the `alldata` output in sediment runs",
               declared(iterWriteAllData),
               [](DataSetReader& r) {
                 r.i(iterWriteAllData);
                 r.requireCount(1);
                 r.require(iterWriteAllData != 0);
               }});
  addValue(t, 390, "Fixed grid in the grid generators", FlagFixGrid, 0);
  addValue(t, 391, "Eighth grid-stability option", FlagGridStab8, 0);
  addValue(t, 392, "Resets the bed movement when `alldata` is read", FlagSetZeroBedmove, 0);
  addValue(t, 393, "Sets the initial bed limit when `alldata` is read", FlagSetLimBedOri, 0);
  addValue(t, 394, "Removal of ponds in the bed-level builder and the grid generators",
           FlagRemovePonds, 0);
  t.push_back({'F', 395,
               "Grid modification during the flow computation: called in an inner iteration when "
               "the largest residual exceeds `MaxModifyGrid`",
               declared(FlagModifyGrid, MaxModifyGrid, DzModifyGrid),
               [](DataSetReader& r) {
                 r.i(FlagModifyGrid); r.d(MaxModifyGrid); r.d(DzModifyGrid);
                 r.requireCount(3);
                 r.require(FlagModifyGrid >= 0 && MaxModifyGrid >= 0 && DzModifyGrid >= 0);
               }});
  addValue(t, 396, "Side option of the bed change", FlagNoSides, 0);
  t.push_back({'F', 397, "Limiters of the wall laws for velocity and k with their limits",
               declared(FlagWallLimiterU, FlagWallLimiterK, WallLimiterU, WallLimiterK),
               [](DataSetReader& r) {
                 r.i(FlagWallLimiterU); r.i(FlagWallLimiterK); r.d(WallLimiterU); r.d(WallLimiterK);
                 r.requireCount(4);
                 r.require(FlagWallLimiterU >= 0);
                 r.require(in(WallLimiterU, 1e-6, 1000));
                 r.require(FlagWallLimiterK >= 0);
                 r.require(in(WallLimiterK, 1e-6, 1000));
               }});
  addValue(t, 398,
           "Roughness coefficient of the bed-shear and concentration computations (multiplies the "
           "grain size)",
           coeffRoughRijn, 0);
  addValue(t, 399, "Tolerance of errors in the file `koomin` when `unstruc` is read",
           FlagErrorKoomin, 0);
}

}  // namespace qorva
