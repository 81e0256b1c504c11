// Data sets F 400 to F 449 of `control`: defaults, readers and range checks. Writes the globals
// of state/options_f400_449.h, and the elastic moduli shared with F 247.
#include "driver/rows.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addFsets400_449(DataSetTable& t) {
  addValue(t, 400, FlagHCB, 0);
  addValue(t, 401, FlagThixoGrid2, 0);
  addValue(t, 402, ThixoMinSlideSize, 0);
  addSwitchValue(t, 403, TFSminFlag, TFSminDepth, -kNoLimit, 0);
  addSwitchValue(t, 404, FlagMorphStatistics, RelaxMorphStatistics, -kNoLimit, 0);
  addValue(t, 405, FlagTFS7, 0);
  addValue(t, 406, AddValTFS7, 0);
  addValue(t, 407, FlagCriticalCross, 0);
  addValue(t, 408, FlagBoundaryThixo, 0);
  addSwitchValue(t, 409, FlagMinDistEps, MinDistEps, 0, 1e-20);
  // The moduli themselves belong to F 247; F 410 gives them again with the slide option.
  t.push_back({'F', 410, declared(FlagModulus),
               [](DataSetReader& r) {
                 r.d(EModulus); r.d(PoissonRatio); r.i(FlagModulus);
                 r.requireCount(3);
                 r.require(PoissonRatio >= 0 && PoissonRatio < 0.5);
                 r.require(in(EModulus, 100000, 5e10));
                 r.require(FlagModulus >= 0);
                 setElasticModuli();
               }});
  addOptionalValue(t, 411, BankCohesion, 0);
  // Slide variant 204 (F 56) moves more than one bed layer, so it needs the erosion under the
  // active layer that F 412 0 switches off.
  t.push_back({'F', 412, declared(FlagErodeUnder),
               [](DataSetReader& r) {
                 r.i(FlagErodeUnder);
                 r.require(FlagErodeUnder >= 0);
                 r.require(!(FlagErodeUnder == 0 && IterAvalanche == 204),
                           "Error for combination of F 56 204 and F 412 in control file.\n"
                           "The slide will affect more than one layer.\n");
               }});
  addOptionalValue(t, 413, FlagCorrectContinuity, 0);
  addOptionalValue(t, 414, FlagSmoothBedchange, 0);
  addOptionalValue(t, 415, FlagSideDamp, 0);
  // Option 3 takes its interval as a second value.
  t.push_back({'F', 416, declared(FlagPresDownstream, IntervalPresDownstream),
               [](DataSetReader& r) {
                 r.i(FlagPresDownstream);
                 r.require(FlagPresDownstream >= 0);
                 if (FlagPresDownstream == 3) {
                   const bool got = r.d(IntervalPresDownstream);
                   r.require(got && IntervalPresDownstream >= 0, "Error for F 416 3 in control\n");
                 }
               }});
  addOptionalValue(t, 417, FlagPlastics, 0);
  t.push_back({'F', 418, declared(global_fac),
               [](DataSetReader& r) { r.d(global_fac); r.require(in(global_fac, 0, 10)); }});
  addValue(t, 419, FlagPresSurfDamp, 0);
  addValue(t, 420, DepthBreakPath, 0);
  addValue(t, 421, FillStop, 0);
  addValue(t, 422, FlagTestNB, 0);
  addValue(t, 423, FlagRiseNeighbours, 0);
  addValue(t, 424, FlagTracer, 0);
  addValue(t, 425, FlagSmoothNewCorners, 0);
  addValue(t, 426, FlagPresFilter, 0);
  addValue(t, 427, FlagSurfLimit5, 0);
  // The corner reduction works only inside free-surface algorithm 7, so F 36 7 must come first.
  t.push_back({'F', 428, declared(reduceCornersSurf),
               [](DataSetReader& r) {
                 r.d(reduceCornersSurf);
                 r.requireCount(1);
                 r.require(in(reduceCornersSurf, 0, 1));
                 r.require(FlagTFS == 7);
               }});
  addValue(t, 429, FlagRidgeMetric, 0);
  addValue(t, 430, FlagLimitExpansion, 0);
  addSwitchValue(t, 431, FlagAddAnbShallow, ValAddAnbShallow, 0);
  addValue(t, 432, FlagCallSurface, 0);
  t.push_back({'F', 433, declared(FlagFractionsPrint, depthTracer),
               [](DataSetReader& r) {
                 r.i(FlagFractionsPrint); r.d(depthTracer);
                 r.require(r.count() >= 2 && FlagFractionsPrint >= 0 && in(depthTracer, 0, 1000),
                           "Error for F 433 in control. Are two numbers given?\n");
               }});
  addValue(t, 434, FlagSplitLayers, 0);
  addValue(t, 435, FlagUpdateDischarge, 0);
  addValue(t, 436, FlagCorrTrekant4, 0);
  addValue(t, 437, FlagCorrTrekant5, 0);
  addValue(t, 438, FlagWeightComp, 0);
  addValue(t, 439, FlagDepthDeposit, 0);
  addValue(t, 440, VertDiffTrekant, 0);
  addValue(t, 441, FlagMaxFlux, 0);
  addValue(t, 442, MPMcoeff, 0);
  addValue(t, 443, FlagFracresVersion, 0);
  addValue(t, 444, FlagGrid13, 0);
  addValue(t, 445, relaxAvailable, 0, 1);
  addValue(t, 446, NumRemoveLayers, 0);
  addValue(t, 447, FlagArmourDepth, 0);
  addValue(t, 448, FlagDefectRatio, 0);
  // tracerJ1 of -10..0 selects a mode of its own; a positive one starts the range to tracerJ2.
  t.push_back({'F', 449, declared(tracerJ1, tracerJ2),
               [](DataSetReader& r) {
                 r.i(tracerJ1); r.i(tracerJ2);
                 r.requireCount(2);
                 r.require(in(tracerJ1, -10, 0) || (tracerJ1 >= 1 && tracerJ1 <= tracerJ2));
               }});
}

}  // namespace qorva
