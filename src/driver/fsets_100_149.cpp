// Data sets F 100 to F 149 of `control`: defaults, readers and range checks.
// Writes the globals of state/options_f100_149.h (and FlagWallAll for F 120).
#include <cmath>

#include "driver/rows.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addFsets100_149(DataSetTable& t) {
  // The sediment loop writes transfer files at the shortest of the four intervals given.
  t.push_back({'F', 101, "Intervals for writing transfer files", declared(TransWriteFiles),
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
  addValue(t, 102, "Minimum-level option of the dry-edge grid shaping of the grid generator",
           FlagMinLevUnstruc, 0);
  addValue(t, 103,
           "Second bed-roughness option of the concentration formulas (van Rijn, Engelund-Hansen)",
           Flag2BedRoughness, 0);
  addValue(t, 104, "End correction of the pressure step, read by the flow drivers",
           FlagEndCorrect, 0);
  addValue(t, 105, "Number of outer iterations between free-surface updates in the flow drivers",
           IterWaterUpdate, 1);
  t.push_back({'F', 106,
               "Thickness of the active top layer of the bed and thickness scale for joining and "
               "splitting bed layers; a value of 0 or below means the largest grain size",
               declared(TopThickness),
               [](DataSetReader& r) {
                 r.d(TopThickness);
                 r.requireCount(1);
                 r.require(in(std::fabs(TopThickness), 1e-10, 100000));
               }});
  t.push_back({'F', 109,
               "Slope correction of the critical bed shear stress: tangents of the limiting slopes "
               "upwards and downwards and the smallest damping factor",
               declared(BedCritTanSlopeUp, BedCritTanSlopeDown, BedCritMinDamp),
               [](DataSetReader& r) {
                 r.d(BedCritTanSlopeUp); r.d(BedCritTanSlopeDown); r.d(BedCritMinDamp);
                 r.requireCount(3);
                 r.require(BedCritTanSlopeUp >= 0 && BedCritTanSlopeDown >= 0);
                 r.require(in(BedCritMinDamp, 0, 1));
               }});
  // The parameters belong to the bed-rouse variant only, so that variant must be chosen first.
  t.push_back({'F', 110,
               "Two parameters of the bed-rouse variant of the van Rijn concentration computation",
               declared(HRzmax, HRmulmin),
               [](DataSetReader& r) {
                 r.d(HRzmax); r.d(HRmulmin);
                 r.requireCount(2);
                 r.require(TSCbedrouse == 1);
                 r.require(HRzmax >= 0);
                 r.require(in(HRmulmin, 0, 1));
               }});
  // The option is checked but no longer acted on: it always ends up 0.
  t.push_back({'F', 111, "Whatever the value, `FlagBedDLL` is then set to 0", declared(FlagBedDLL),
               [](DataSetReader& r) {
                 r.i(FlagBedDLL);
                 r.requireCount(1);
                 r.require(FlagBedDLL == 0 || FlagBedDLL == 1);
                 FlagBedDLL = 0;
               }});
  t.push_back({'F', 112,
               "Option of the readers of `unstruc` and `alldata` for building a new grid",
               declared(FlagNewGrid),
               [](DataSetReader& r) {
                 r.i(FlagNewGrid);
                 r.require(in(FlagNewGrid, 0, 100));
                 r.requireCount(1);
               }});
  t.push_back({'F', 113, "Form of the Rhie-Chow term of the face fluxes",
               declared(FlagRhieChow, OrigFlagRhieChow),
               [](DataSetReader& r) {
                 r.i(FlagRhieChow);
                 r.requireCount(1);
                 r.require(in(FlagRhieChow, 0, 100));
                 OrigFlagRhieChow = FlagRhieChow;
               }});
  t.push_back({'F', 114,
               "Form of the pressure-gradient source of the momentum equations (0 central "
               "differences)",
               declared(FlagPresGrad),
               [](DataSetReader& r) {
                 r.i(FlagPresGrad);
                 r.requireCount(1);
                 r.require(in(FlagPresGrad, 0, 100));
                 if (FlagPresGrad == 4 && FlagTSC > 0)
                   logf("Warning: F 114 4 is based on a special algorithm for slides, and may give instabilities\n\n");
               }});
  t.push_back({'F', 115,
               "Drag option read by the boundary, source and turbulence steps and the array "
               "allocation",
               declared(FlagDragDLL),
               [](DataSetReader& r) {
                 r.i(FlagDragDLL);
                 r.require(in(FlagDragDLL, 0, 500));
                 r.requireCount(1);
               }});
  addValue(t, 116, "Option of the alternative depth-averaged free-surface computation",
           FlagSurfDLL, 0);
  // The value itself is not used; giving the data set switches every wall to the same law.
  t.push_back({'F', 120,
               "The value is not used; the data set sets the wall-law variant (F 15) to 1000",
               declared(FlagWallDLL),
               [](DataSetReader& r) {
                 r.i(FlagWallDLL);
                 r.requireCount(1);
                 r.require(FlagWallDLL >= 0);
                 FlagWallAll = 1000;
               }});
  addValue(t, 121, "Option of the turbulence and eddy-viscosity computations", FlagTurbDLL, 0);
  addValue(t, 125, "Read and checked; nothing uses it", FlagTSCDLL, 0);
  addValue(t, 126, "Option of the nesting source and the metric computation", FlagNestDLL, 0);
  addValue(t, 128, "Pressure adjustment after a free-surface update: -1 sets the pressure to zero",
           FlagPresSetZero);
  addValue(t, 129, "Variant of the bed interpolation from survey points", FlagBedInterpol, 0);
  // The region is checked against the grid sizes read so far: G 1 after F 130 is not seen.
  t.push_back({'F', 130,
               "Index region i1..i2, j1..j2 of the structured grid in which the grid generator "
               "builds its special cells",
               declared(TetI1, TetI2, TetJ1, TetJ2),
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
  t.push_back({'F', 131,
               "Cohesion parameter of grain size n, read by the sediment and bed-change "
               "computations",
               declared(cohesive),
               [](DataSetReader& r) {
                 int n = 0;
                 const bool got = r.i(n);
                 r.require(got && in(n, 1, 20), "Error for F 131 in control - index\n");
                 const bool value = r.d(cohesive[n]);
                 r.require(value && cohesive[n] >= 0, "Error for F 131 in control - negative cohesion\n");
               }});
  t.push_back({'F', 132,
               "Froude-number limit of the classic free-surface computation, also read by the cell "
               "bed change",
               declared(FroudeMaxSurface),
               [](DataSetReader& r) {
                 r.d(FroudeMaxSurface);
                 r.require(r.count() >= 1 && FroudeMaxSurface >= 0,
                           "Error for F 132 in control - negative value\n");
               }});
  // More than the two standard bed layers only with the transient sediment computation.
  t.push_back({'F', 134, "Number of bed layers of the sediment computation", declared(NoBedLayers),
               [](DataSetReader& r) {
                 r.i(NoBedLayers);
                 r.requireCount(1);
                 r.require(in(NoBedLayers, 2, 5000));
                 r.require(NoBedLayers == 2 || FlagTSC == 3);
               }});
  addValue(t, 135, "Gravity source along the slope in the momentum equations", FlagGravityTerm, 0);
  addValue(t, 136,
           "Limit of the pressure gradient in units of rho × g used by the pressure correction in "
           "cells with no cell above or below and at most two lateral neighbours",
           PresGradMax, 0);
  addValue(t, 137,
           "Non-matching (QN) grid option: cells with several neighbours on a side; sizes extra "
           "arrays and changes the coefficient builders, solvers and bed computations",
           QNFlag, 0);
  addValue(t, 138, "Smallest turbulent kinetic energy used by the wall laws", ArtMinKinen, 0);
  // Each value is checked as soon as it is read, with its own text.
  t.push_back({'F', 139, "Smallest u+ of the wall laws for the velocities and for k",
               declared(MinUPlus, MinUPlusK),
               [](DataSetReader& r) {
                 r.d(MinUPlus);
                 r.require(r.count() >= 1 && MinUPlus >= 0, "Error for F 139 in control, 1st. parameter\n");
                 r.d(MinUPlusK);
                 r.require(r.count() >= 2 && MinUPlusK >= 0, "Error for F 139 in control, 2nd. parameter\n");
               }});
  addValue(t, 140, "Read and checked; nothing uses it", FlagEpsWallLim, 0);
  addValue(t, 141, "Read and checked; nothing uses it", MaxEpsLim, 0);
  addValue(t, 143,
           "Pressure regression option of the free-surface computations, the start-up and the "
           "structured-array allocation",
           PresRegres, 0);
  addSwitchValue(t, 144,
                 "Bed smoothing option and its parameter (bed change, bed smoothing, eddy "
                 "viscosity)",
                 FlagBedSmooth, ParamBedSmooth, 0);
  t.push_back({'F', 147,
               "Extrapolation into newly wetted cells after regridding: iterations, two algorithm "
               "numbers and relaxations for velocity, k and epsilon",
               declared(ExtrapIter, ExtrapAlgo1, ExtrapAlgo2, ExtrapRelVel, ExtrapRelK, ExtrapRelE),
               [](DataSetReader& r) {
                 r.i(ExtrapIter); r.i(ExtrapAlgo1); r.i(ExtrapAlgo2);
                 r.d(ExtrapRelVel); r.d(ExtrapRelK); r.d(ExtrapRelE);
                 r.requireCount(6);
                 r.require(ExtrapIter >= 0);
                 r.require(ExtrapRelVel >= 0 && ExtrapRelK >= 0 && ExtrapRelE >= 0);
               }});
  addValue(t, 148,
           "Limit of the water-surface slope in the classic free-surface computation; a value not "
           "above 0, such as the default, means no limit",
           MaxSurfSlope, 0);
  t.push_back({'F', 149, "Multipliers of the vertical and horizontal eddy viscosity",
               declared(TurbMultVert, TurbMultHor),
               [](DataSetReader& r) {
                 r.d(TurbMultVert); r.d(TurbMultHor);
                 r.requireCount(2);
                 r.require(TurbMultVert >= 0 && TurbMultHor >= 0);
               }});
}

}  // namespace qorva
