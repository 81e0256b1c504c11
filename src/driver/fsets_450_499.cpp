// Data sets F 450 to F 499 of `control`: defaults, readers, count and range checks. Writes the
// globals of state/options_f450_499.h, and TFSdampwall (F 58) and surfaceDownstreamDamp (F 353).
#include <algorithm>

#include "driver/rows.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addFsets450_499(DataSetTable& t) {
  addSwitchValue(t, 450, FlagGroyneArmour, GroyneArmour, 0, 0);
  // The fourth smoothing reaches below the active layer: it needs the erosion there (no F 412 0)
  // and the bed layers of the transient sediment computation (F 37 3), both given earlier.
  t.push_back({'F', 451, declared(FlagBedSmooth4, BedSmooth4),
               [](DataSetReader& r) {
                 r.i(FlagBedSmooth4); r.d(BedSmooth4);
                 r.requireCount(2);
                 r.require(FlagBedSmooth4 >= 0 && BedSmooth4 >= 0);
                 r.require(FlagErodeUnder != 0,
                           "Error for combination of F 451 and F 412 in control file.\n"
                           "The smoothing will affect more than one layer.\n");
                 r.require(FlagTSC == 3,
                           "The F 451 data set is only used in combination with the F 37 3 data set\n"
                           "An alternative is the F 144 data set\n\n");
               }});
  // The sector damping needs at least damping mode 5 of the downstream level.
  t.push_back({'F', 452, declared(surfaceDampFactor1, surfaceDampFactor2, surfaceDampSec),
               [](DataSetReader& r) {
                 r.d(surfaceDampFactor1); r.d(surfaceDampFactor2); r.i(surfaceDampSec);
                 r.requireCount(3);
                 r.require(surfaceDampFactor1 >= 0 && surfaceDampFactor2 >= 0);
                 r.require(surfaceDampSec >= 1);
                 surfaceDownstreamDamp = std::max(surfaceDownstreamDamp, 5);
               }});
  t.push_back({'F', 453, declared(FlagProfiles),
               [](DataSetReader& r) {
                 r.i(FlagProfiles);
                 r.requireCount(1);
                 r.require(FlagProfiles >= 0);
                 r.require(FlagProfiles == 0 || FlagTSC == 3,
                           "Error for F 453 in control: The option can only be used with F 37 3\n");
               }});
  addValue(t, 454, skipWatersolve, 1);
  addValue(t, 455, LevelInflowSed, 0);
  addValue(t, 456, FlagMinLevCorner, 0);
  addValue(t, 457, cyclicIncreaseFactor, 0.01);
  addValue(t, 458, FlagInitiateBedlayers, 0);
  addValue(t, 459, FlagShearSmooth, 0);
  addValue(t, 460, FlagSmoothKs, 0);
  addValue(t, 461, ShiftSourceBed, 0);
  addValue(t, 462, FlagBedFractionsPrint, 0);
  addValue(t, 463, NoDownstreamDeposit, 0);
  addValue(t, 464, FlagOutConc, 0);
  t.push_back({'F', 465, declared(IterSlideHoriz, IterSlideVert),
               [](DataSetReader& r) {
                 r.i(IterSlideHoriz); r.i(IterSlideVert);
                 r.requireCount(2);
                 r.require(IterSlideHoriz >= 1 && IterSlideVert >= 1);
               }});
  addValue(t, 466, relaxCasulli, 0.0, 1.0);
  addValue(t, 467, FlagScaleGridMove, 0);
  addValue(t, 468, NoCasulliMG, 0);
  // TFSdampwall belongs to F 58, which gives its default; F 469 narrows its range.
  t.push_back({'F', 469, {},
               [](DataSetReader& r) {
                 r.d(TFSdampwall);
                 r.requireCount(1);
                 r.require(in(TFSdampwall, 0.9, 2.1));
               }});
  addValue(t, 470, FlagCasulliCoeff, 0, 10);
  addValue(t, 471, FlagGridConnect, 0);
  addValue(t, 472, FlagSideSurfDamp, 0);
  addValue(t, 473, FlagCasulliLimit, 0);
  addValue(t, 474, FlagGradSurf, 0);
  addValue(t, 475, FlagFriction, 0);
  // Dune formulas 2 and 3 bring their own coefficient; there is no formula above 3.
  t.push_back({'F', 476, declared(FlagDuneFormula, KarimCoeff),
               [](DataSetReader& r) {
                 r.i(FlagDuneFormula);
                 r.requireCount(1);
                 r.require(FlagDuneFormula >= 0 && FlagDuneFormula <= 3);
                 if (FlagDuneFormula == 2) KarimCoeff = 0.085;
                 if (FlagDuneFormula == 3) KarimCoeff = 0.47;
               }});
  addValue(t, 477, FlagScaleFreeSource, 0);
  addValue(t, 478, FlagNewSurface, 0);
  addValue(t, 479, updateRatioCriteria, 0);
  addValue(t, 480, FlagDeltaSurface, 0);
  addValue(t, 481, FlagScalePressure, 0);
  addValue(t, 482, FlagPresStability, 0);
  addValue(t, 483, FlagLimitFallvel, 0);
  addValue(t, 484, FlagSumFractions, 0);
  addValue(t, 485, FlagExplicitBed, 0);
  addValue(t, 486, FlagMGSurf, 0);
  addValue(t, 487, FlagOldPres, 0);
  addValue(t, 488, UMethod2, 0);
  addValue(t, 489, FirstIterNo, 0);
  addSwitchValue(t, 490, FlagPressureTest, PressureTestFactor, 0, 0);
  addValue(t, 491, CoeffPonds, 0.0, 1.0);
  addValue(t, 492, FlagGridStabFix1, 0);
  addValue(t, 493, FlagTriangleAlgo, 0);
  addValue(t, 494, FlagConcProf, 0);
  // The second grid-stability fix broke the removal of ponds and is no longer accepted: the
  // values are read only to choose the message, and the built-in settings stay as they are.
  t.push_back({'F', 495, {},
               [](DataSetReader& r) {
                 int flag = 0;
                 double depth = 0;
                 r.i(flag); r.d(depth);
                 r.require(!(r.count() >= 2 && flag >= 0),
                           "F 495 data set is discontinued from 14. nov. 2023 as it will break the "
                           "ponds algorithm\n\n");
                 r.require(false);
               }});
  addValue(t, 496, FlagPresLatSource, 0);
  addValue(t, 497, FlagInflowConcVar, 0);
  addValue(t, 498, FlagDragDune, 0);
  addValue(t, 499, FlagDuneShearPartCross, 0);
}

}  // namespace qorva
