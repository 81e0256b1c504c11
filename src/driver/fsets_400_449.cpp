// Data sets F 400 to F 449 of `control`: defaults, readers and range checks. Writes the globals
// of state/options_f400_449.h, and the elastic moduli shared with F 247.
#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

namespace {

bool in(double v, double lo, double hi) { return v >= lo && v <= hi; }

// The standard failure of this range: from F 410 on its text ends with a line end.
void need(const DataSetReader& r, bool ok) {
  if (ok) return;
  if (r.number() < 410) r.fail();
  r.failText(strf("Error for F %d in control\n", r.number()));
}

bool get(DataSetReader& r, int& v) { return r.i(v); }
bool get(DataSetReader& r, double& v) { return r.d(v); }

// A row of one value that must not be negative; `counted` rows also fail when it is missing,
// the others leave the setting as it was.
template <typename T>
void addNonNegative(DataSetTable& t, int number, T& v, T def, bool counted = true) {
  T* p = &v;
  t.push_back({'F', number, [p, def] { *p = def; },
               [p, counted](DataSetReader& r) {
                 get(r, *p);
                 if (counted) need(r, r.count() >= 1);
                 need(r, *p >= 0);
               }});
}

}  // namespace

void addFsets400_449(DataSetTable& t) {
  addNonNegative(t, 400, FlagHCB, 0);
  addNonNegative(t, 401, FlagThixoGrid2, 0);
  addNonNegative(t, 402, ThixoMinSlideSize, 0.0);
  t.push_back({'F', 403, [] { TFSminFlag = 1; TFSminDepth = 0.02; },
               [](DataSetReader& r) {
                 r.i(TFSminFlag); r.d(TFSminDepth);
                 need(r, r.count() >= 2);
                 need(r, TFSminDepth >= 0);
               }});
  t.push_back({'F', 404, [] { FlagMorphStatistics = 0; RelaxMorphStatistics = 0.1; },
               [](DataSetReader& r) {
                 r.i(FlagMorphStatistics); r.d(RelaxMorphStatistics);
                 need(r, r.count() >= 2);
                 need(r, RelaxMorphStatistics >= 0);
               }});
  addNonNegative(t, 405, FlagTFS7, 0);
  addNonNegative(t, 406, AddValTFS7, 0.0);
  addNonNegative(t, 407, FlagCriticalCross, 0);
  addNonNegative(t, 408, FlagBoundaryThixo, 0);
  t.push_back({'F', 409, [] { FlagMinDistEps = 0; MinDistEps = 0; },
               [](DataSetReader& r) {
                 r.i(FlagMinDistEps); r.d(MinDistEps);
                 need(r, r.count() >= 2);
                 need(r, FlagMinDistEps >= 0);
                 need(r, MinDistEps >= 1e-20);
               }});
  // The moduli themselves belong to F 247; F 410 gives them again with the slide option.
  t.push_back({'F', 410, [] { FlagModulus = 0; },
               [](DataSetReader& r) {
                 r.d(EModulus); r.d(PoissonRatio); r.i(FlagModulus);
                 need(r, r.count() >= 3);
                 need(r, PoissonRatio >= 0 && PoissonRatio < 0.5);
                 need(r, in(EModulus, 100000, 5e10));
                 need(r, FlagModulus >= 0);
                 setElasticModuli();
               }});
  addNonNegative(t, 411, BankCohesion, 0.0, false);
  // Slide variant 204 (F 56) moves more than one bed layer, so it needs the erosion under the
  // active layer that F 412 0 switches off.
  t.push_back({'F', 412, [] { FlagErodeUnder = 1; },
               [](DataSetReader& r) {
                 r.i(FlagErodeUnder);
                 need(r, FlagErodeUnder >= 0);
                 r.require(!(FlagErodeUnder == 0 && IterAvalanche == 204),
                           "Error for combination of F 56 204 and F 412 in control file.\n"
                           "The slide will affect more than one layer.\n");
               }});
  addNonNegative(t, 413, FlagCorrectContinuity, 0, false);
  addNonNegative(t, 414, FlagSmoothBedchange, 0, false);
  addNonNegative(t, 415, FlagSideDamp, 0, false);
  // Option 3 takes its interval as a second value.
  t.push_back({'F', 416, [] { FlagPresDownstream = 0; IntervalPresDownstream = 100.0; },
               [](DataSetReader& r) {
                 r.i(FlagPresDownstream);
                 need(r, FlagPresDownstream >= 0);
                 if (FlagPresDownstream == 3) {
                   const bool got = r.d(IntervalPresDownstream);
                   r.require(got && IntervalPresDownstream >= 0, "Error for F 416 3 in control\n");
                 }
               }});
  addNonNegative(t, 417, FlagPlastics, 0, false);
  t.push_back({'F', 418, [] { global_fac = 0.2; },
               [](DataSetReader& r) { r.d(global_fac); need(r, in(global_fac, 0, 10)); }});
  addNonNegative(t, 419, FlagPresSurfDamp, 0);
  addNonNegative(t, 420, DepthBreakPath, -1.0);
  addNonNegative(t, 421, FillStop, -100.0);
  addNonNegative(t, 422, FlagTestNB, 0);
  addNonNegative(t, 423, FlagRiseNeighbours, 0);
  addNonNegative(t, 424, FlagTracer, 0);
  addNonNegative(t, 425, FlagSmoothNewCorners, 0);
  addNonNegative(t, 426, FlagPresFilter, 0);
  addNonNegative(t, 427, FlagSurfLimit5, 0);
  // The corner reduction works only inside free-surface algorithm 7, so F 36 7 must come first.
  t.push_back({'F', 428, [] { reduceCornersSurf = -1.0; },
               [](DataSetReader& r) {
                 r.d(reduceCornersSurf);
                 need(r, r.count() >= 1);
                 need(r, in(reduceCornersSurf, 0, 1));
                 need(r, FlagTFS == 7);
               }});
  addNonNegative(t, 429, FlagRidgeMetric, 0);
  addNonNegative(t, 430, FlagLimitExpansion, 0);
  t.push_back({'F', 431, [] { FlagAddAnbShallow = 0; ValAddAnbShallow = 0; },
               [](DataSetReader& r) {
                 r.i(FlagAddAnbShallow); r.d(ValAddAnbShallow);
                 need(r, r.count() >= 2);
                 need(r, FlagAddAnbShallow >= 0);
               }});
  addNonNegative(t, 432, FlagCallSurface, 0);
  t.push_back({'F', 433, [] { FlagFractionsPrint = 0; depthTracer = 0.3; },
               [](DataSetReader& r) {
                 r.i(FlagFractionsPrint); r.d(depthTracer);
                 r.require(r.count() >= 2 && FlagFractionsPrint >= 0 && in(depthTracer, 0, 1000),
                           "Error for F 433 in control. Are two numbers given?\n");
               }});
  addNonNegative(t, 434, FlagSplitLayers, 0);
  addNonNegative(t, 435, FlagUpdateDischarge, 0);
  addNonNegative(t, 436, FlagCorrTrekant4, 0);
  addNonNegative(t, 437, FlagCorrTrekant5, 0);
  addNonNegative(t, 438, FlagWeightComp, 0);
  addNonNegative(t, 439, FlagDepthDeposit, 0);
  addNonNegative(t, 440, VertDiffTrekant, 0.0);
  addNonNegative(t, 441, FlagMaxFlux, 1);
  addNonNegative(t, 442, MPMcoeff, 0.25);
  addNonNegative(t, 443, FlagFracresVersion, 0);
  addNonNegative(t, 444, FlagGrid13, 0);
  t.push_back({'F', 445, [] { relaxAvailable = 1.0; },
               [](DataSetReader& r) {
                 r.d(relaxAvailable);
                 need(r, r.count() >= 1);
                 need(r, in(relaxAvailable, 0, 1));
               }});
  addNonNegative(t, 446, NumRemoveLayers, 1);
  addNonNegative(t, 447, FlagArmourDepth, 0);
  addNonNegative(t, 448, FlagDefectRatio, 0);
  // tracerJ1 of -10..0 selects a mode of its own; a positive one starts the range to tracerJ2.
  t.push_back({'F', 449, [] { tracerJ1 = 0; tracerJ2 = 0; },
               [](DataSetReader& r) {
                 r.i(tracerJ1); r.i(tracerJ2);
                 need(r, r.count() >= 2);
                 need(r, in(tracerJ1, -10, 0) || (tracerJ1 >= 1 && tracerJ1 <= tracerJ2));
               }});
}

}  // namespace qorva
