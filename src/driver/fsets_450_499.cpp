// Data sets F 450 to F 499 of `control`: defaults, readers, count and range checks. Writes the
// globals of state/options_f450_499.h, and TFSdampwall (F 58) and surfaceDownstreamDamp (F 353).
#include <algorithm>

#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

namespace {

bool in(double v, double lo, double hi) { return v >= lo && v <= hi; }

// The standard failure of this range, with a line end.
void need(const DataSetReader& r, bool ok) {
  if (!ok) r.failText(strf("Error for F %d in control\n", r.number()));
}

bool get(DataSetReader& r, int& v) { return r.i(v); }
bool get(DataSetReader& r, double& v) { return r.d(v); }

// A row of one value that must be given and not below `lo`.
template <typename T>
void addAtLeast(DataSetTable& t, int number, T& v, T def, T lo = 0) {
  T* p = &v;
  t.push_back({'F', number, [p, def] { *p = def; },
               [p, lo](DataSetReader& r) {
                 get(r, *p);
                 need(r, r.count() >= 1);
                 need(r, *p >= lo);
               }});
}

// A row of one value that must be given and lie in lo..hi.
template <typename T>
void addWithin(DataSetTable& t, int number, T& v, T def, T lo, T hi) {
  T* p = &v;
  t.push_back({'F', number, [p, def] { *p = def; },
               [p, lo, hi](DataSetReader& r) {
                 get(r, *p);
                 need(r, r.count() >= 1);
                 need(r, in(*p, lo, hi));
               }});
}

}  // namespace

void addFsets450_499(DataSetTable& t) {
  t.push_back({'F', 450, [] { FlagGroyneArmour = 0; GroyneArmour = 0; },
               [](DataSetReader& r) {
                 r.i(FlagGroyneArmour); r.d(GroyneArmour);
                 need(r, r.count() >= 2);
                 need(r, FlagGroyneArmour >= 0 && GroyneArmour >= 0);
               }});
  // The fourth smoothing reaches below the active layer: it needs the erosion there (no F 412 0)
  // and the bed layers of the transient sediment computation (F 37 3), both given earlier.
  t.push_back({'F', 451, [] { FlagBedSmooth4 = 0; BedSmooth4 = 0; },
               [](DataSetReader& r) {
                 r.i(FlagBedSmooth4); r.d(BedSmooth4);
                 need(r, r.count() >= 2);
                 need(r, FlagBedSmooth4 >= 0 && BedSmooth4 >= 0);
                 r.require(FlagErodeUnder != 0,
                           "Error for combination of F 451 and F 412 in control file.\n"
                           "The smoothing will affect more than one layer.\n");
                 r.require(FlagTSC == 3,
                           "The F 451 data set is only used in combination with the F 37 3 data set\n"
                           "An alternative is the F 144 data set\n\n");
               }});
  // The sector damping needs at least damping mode 5 of the downstream level.
  t.push_back({'F', 452, [] { surfaceDampFactor1 = 0.5; surfaceDampFactor2 = 0.5; surfaceDampSec = 9; },
               [](DataSetReader& r) {
                 r.d(surfaceDampFactor1); r.d(surfaceDampFactor2); r.i(surfaceDampSec);
                 need(r, r.count() >= 3);
                 need(r, surfaceDampFactor1 >= 0 && surfaceDampFactor2 >= 0);
                 need(r, surfaceDampSec >= 1);
                 surfaceDownstreamDamp = std::max(surfaceDownstreamDamp, 5);
               }});
  t.push_back({'F', 453, [] { FlagProfiles = 0; },
               [](DataSetReader& r) {
                 r.i(FlagProfiles);
                 need(r, r.count() >= 1);
                 need(r, FlagProfiles >= 0);
                 r.require(FlagProfiles == 0 || FlagTSC == 3,
                           "Error for F 453 in control: The option can only be used with F 37 3\n");
               }});
  addAtLeast(t, 454, skipWatersolve, 1, 1);
  addAtLeast(t, 455, LevelInflowSed, 0);
  addAtLeast(t, 456, FlagMinLevCorner, 0);
  addAtLeast(t, 457, cyclicIncreaseFactor, 1.0, 0.01);
  addAtLeast(t, 458, FlagInitiateBedlayers, 0);
  addAtLeast(t, 459, FlagShearSmooth, 0);
  addAtLeast(t, 460, FlagSmoothKs, 0);
  addAtLeast(t, 461, ShiftSourceBed, 0.0);
  addAtLeast(t, 462, FlagBedFractionsPrint, 0);
  addAtLeast(t, 463, NoDownstreamDeposit, 0);
  addAtLeast(t, 464, FlagOutConc, 0);
  t.push_back({'F', 465, [] { IterSlideHoriz = 200; IterSlideVert = 200; },
               [](DataSetReader& r) {
                 r.i(IterSlideHoriz); r.i(IterSlideVert);
                 need(r, r.count() >= 2);
                 need(r, IterSlideHoriz >= 1 && IterSlideVert >= 1);
               }});
  addWithin(t, 466, relaxCasulli, 0.0, 0.0, 1.0);
  addAtLeast(t, 467, FlagScaleGridMove, 1);
  addAtLeast(t, 468, NoCasulliMG, 100);
  // TFSdampwall belongs to F 58, which gives its default; F 469 narrows its range.
  t.push_back({'F', 469, nullptr,
               [](DataSetReader& r) {
                 r.d(TFSdampwall);
                 need(r, r.count() >= 1);
                 need(r, in(TFSdampwall, 0.9, 2.1));
               }});
  addWithin(t, 470, FlagCasulliCoeff, 0, 0, 10);
  addAtLeast(t, 471, FlagGridConnect, 0);
  addAtLeast(t, 472, FlagSideSurfDamp, 0);
  addAtLeast(t, 473, FlagCasulliLimit, 0);
  addAtLeast(t, 474, FlagGradSurf, 0);
  addAtLeast(t, 475, FlagFriction, 0);
  // Dune formulas 2 and 3 bring their own coefficient.
  t.push_back({'F', 476, [] { FlagDuneFormula = 0; KarimCoeff = 0.47; },
               [](DataSetReader& r) {
                 r.i(FlagDuneFormula);
                 need(r, r.count() >= 1);
                 need(r, FlagDuneFormula >= 0);
                 if (FlagDuneFormula == 2) KarimCoeff = 0.085;
                 if (FlagDuneFormula == 3) KarimCoeff = 0.47;
               }});
  addAtLeast(t, 477, FlagScaleFreeSource, 0);
  addAtLeast(t, 478, FlagNewSurface, 0);
  addAtLeast(t, 479, updateRatioCriteria, 0.05);
  addAtLeast(t, 480, FlagDeltaSurface, 0);
  addAtLeast(t, 481, FlagScalePressure, 0);
  addAtLeast(t, 482, FlagPresStability, 0);
  addAtLeast(t, 483, FlagLimitFallvel, 0);
  addAtLeast(t, 484, FlagSumFractions, 0);
  addAtLeast(t, 485, FlagExplicitBed, 0);
  addAtLeast(t, 486, FlagMGSurf, 0);
  addAtLeast(t, 487, FlagOldPres, 1);
  addAtLeast(t, 488, UMethod2, 0);
  addAtLeast(t, 489, FirstIterNo, 0);
  t.push_back({'F', 490, [] { FlagPressureTest = 1; PressureTestFactor = 0.2; },
               [](DataSetReader& r) {
                 r.i(FlagPressureTest); r.d(PressureTestFactor);
                 need(r, r.count() >= 2);
                 need(r, FlagPressureTest >= 0 && PressureTestFactor >= 0);
               }});
  addWithin(t, 491, CoeffPonds, 0.01, 0.0, 1.0);
  addAtLeast(t, 492, FlagGridStabFix1, 0);
  addAtLeast(t, 493, FlagTriangleAlgo, 0);
  addAtLeast(t, 494, FlagConcProf, 0);
  // The second grid-stability fix broke the removal of ponds and is no longer accepted: the
  // values are read only to choose the message, and the built-in settings stay as they are.
  t.push_back({'F', 495, nullptr,
               [](DataSetReader& r) {
                 int flag = 0;
                 double depth = 0;
                 r.i(flag); r.d(depth);
                 r.require(!(r.count() >= 2 && flag >= 0),
                           "F 495 data set is discontinued from 14. nov. 2023 as it will break the "
                           "ponds algorithm\n\n");
                 need(r, false);
               }});
  addAtLeast(t, 496, FlagPresLatSource, 0);
  addAtLeast(t, 497, FlagInflowConcVar, 0);
  addAtLeast(t, 498, FlagDragDune, 0);
  addAtLeast(t, 499, FlagDuneShearPartCross, 0);
}

}  // namespace qorva
