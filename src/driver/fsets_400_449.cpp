// Data sets F 400 to F 449 of `control`: defaults, readers and range checks. Writes the globals
// of state/options_f400_449.h, and the elastic moduli shared with F 247.
#include "driver/rows.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addFsets400_449(DataSetTable& t) {
  addValue(t, 400, "Option of the end report of the flow computation; sizes extra arrays",
           FlagHCB, 0);
  addValue(t, 401, "Grid option of the slide modification of the mud model", FlagThixoGrid2, 0);
  addValue(t, 402, "Read and checked; nothing uses it", ThixoMinSlideSize, 0);
  addSwitchValue(t, 403,
                 "Minimum-depth option of the transient free surface and the minimum depth (also "
                 "used by the slide movement)",
                 TFSminFlag, TFSminDepth, -kNoLimit, 0);
  addSwitchValue(t, 404,
                 "Statistics of the bed change (sizes structured arrays; written with the bed "
                 "graphics and `alldata`) and their relaxation",
                 FlagMorphStatistics, RelaxMorphStatistics, -kNoLimit, 0);
  addValue(t, 405, "Option of the free-surface algorithm 7", FlagTFS7, 0);
  addValue(t, 406, "Value added in the free-surface coefficients", AddValTFS7, 0);
  addValue(t, 407, "Critical-flow cross sections in the grid-split prevention",
           FlagCriticalCross, 0);
  addValue(t, 408, "Boundary option of the slide location", FlagBoundaryThixo, 0);
  addSwitchValue(t, 409, "Smallest wall distance for epsilon in the wall laws",
                 FlagMinDistEps, MinDistEps, 0, 1e-20);
  // The moduli themselves belong to F 247; F 410 gives them again with the slide option.
  t.push_back({'F', 410, "Elastic soil as F 247, with an option for the slide location",
               declared(FlagModulus),
               [](DataSetReader& r) {
                 r.d(EModulus); r.d(PoissonRatio); r.i(FlagModulus);
                 r.requireCount(3);
                 r.require(PoissonRatio >= 0 && PoissonRatio < 0.5);
                 r.require(in(EModulus, 100000, 5e10));
                 r.require(FlagModulus >= 0);
                 setElasticModuli();
               }});
  addOptionalValue(t, 411, "Cohesion of river banks in the van Rijn concentration computation",
                   BankCohesion, 0);
  // Slide variant 204 (F 56) moves more than one bed layer, so it needs the erosion under the
  // active layer that F 412 0 switches off.
  t.push_back({'F', 412, "Erosion under the active layer in the change of bed layers",
               declared(FlagErodeUnder),
               [](DataSetReader& r) {
                 r.i(FlagErodeUnder);
                 r.require(FlagErodeUnder >= 0);
                 r.require(!(FlagErodeUnder == 0 && IterAvalanche == 204),
                           "Error for combination of F 56 204 and F 412 in control file.\n"
                           "The slide will affect more than one layer.\n");
               }});
  addOptionalValue(t, 413, "Continuity correction of the flow driver and the sediment time loop",
                   FlagCorrectContinuity, 0);
  addOptionalValue(t, 414, "Smoothing of the bed change", FlagSmoothBedchange, 0);
  addOptionalValue(t, 415, "Side damping in the transient term", FlagSideDamp, 0);
  // Option 3 takes its interval as a second value.
  t.push_back({'F', 416,
               "Downstream pressure option of the surface reference levels and its interval",
               declared(FlagPresDownstream, IntervalPresDownstream),
               [](DataSetReader& r) {
                 r.i(FlagPresDownstream);
                 r.require(FlagPresDownstream >= 0);
                 if (FlagPresDownstream == 3) {
                   const bool got = r.d(IntervalPresDownstream);
                   r.require(got && IntervalPresDownstream >= 0, "Error for F 416 3 in control\n");
                 }
               }});
  addOptionalValue(t, 417,
                   "Plastics (particle) option: array allocation, interpolation to a new grid, the "
                   "sediment time loop and the VTK plan output",
                   FlagPlastics, 0);
  t.push_back({'F', 418, "Factor of the slide modification", declared(global_fac),
               [](DataSetReader& r) { r.d(global_fac); r.require(in(global_fac, 0, 10)); }});
  addValue(t, 419,
           "Damping of the surface pressure in the flow driver; its combinations with F 206 and F "
           "328 are tested after reading",
           FlagPresSurfDamp, 0);
  addValue(t, 420, "Depth limit of the flow path in the grid-split prevention", DepthBreakPath, 0);
  addValue(t, 421, "Fill limit of the sediment time loop", FillStop, 0);
  addValue(t, 422, "Neighbour test of the free-surface computation", FlagTestNB, 0);
  addValue(t, 423, "Raising of neighbour levels in the grid-split prevention",
           FlagRiseNeighbours, 0);
  addValue(t, 424, "Tracer arrays in the array allocation", FlagTracer, 0);
  addValue(t, 425,
           "Smoothing of new grid corners after a free-surface update (sizes structured arrays)",
           FlagSmoothNewCorners, 0);
  addValue(t, 426,
           "Pressure filter after the pressure step (1 Froude-based scaling of the column "
           "pressures, 2 a cap)",
           FlagPresFilter, 0);
  addValue(t, 427, "Fifth limiter of the free-surface computation", FlagSurfLimit5, 0);
  // The corner reduction works only inside free-surface algorithm 7, so F 36 7 must come first.
  t.push_back({'F', 428, "Reduction of corner levels in the free-surface computation",
               declared(reduceCornersSurf),
               [](DataSetReader& r) {
                 r.d(reduceCornersSurf);
                 r.requireCount(1);
                 r.require(in(reduceCornersSurf, 0, 1));
                 r.require(FlagTFS == 7);
               }});
  addValue(t, 429, "Read and checked; nothing uses it", FlagRidgeMetric, 0);
  addValue(t, 430, "Expansion limit of the second grid-stability check", FlagLimitExpansion, 0);
  addSwitchValue(t, 431,
                 "Added neighbour coefficient in shallow water in the free-surface computation, "
                 "and its value",
                 FlagAddAnbShallow, ValAddAnbShallow, 0);
  addValue(t, 432,
           "Nonzero suppresses the free-surface update at the end of each outer iteration of the "
           "flow driver (also read by the bed change)",
           FlagCallSurface, 0);
  t.push_back({'F', 433,
               "Output of the bed-layer fractions in the bed graphics, and the depth of the tracer "
               "layer",
               declared(FlagFractionsPrint, depthTracer),
               [](DataSetReader& r) {
                 r.i(FlagFractionsPrint); r.d(depthTracer);
                 r.require(r.count() >= 2 && FlagFractionsPrint >= 0 && in(depthTracer, 0, 1000),
                           "Error for F 433 in control. Are two numbers given?\n");
               }});
  addValue(t, 434, "Splitting of bed layers", FlagSplitLayers, 0);
  addValue(t, 435, "Update of the boundary discharges", FlagUpdateDischarge, 0);
  addValue(t, 436, "Fourth triangle correction in the flow driver", FlagCorrTrekant4, 0);
  addValue(t, 437, "Fifth triangle correction in the pressure-correction step",
           FlagCorrTrekant5, 0);
  addValue(t, 438, "Weighting option of the free-surface computation", FlagWeightComp, 0);
  addValue(t, 439, "Depth of deposits in the surface reference levels and the dune output",
           FlagDepthDeposit, 0);
  addValue(t, 440, "Vertical diffusion at triangle cells in the eddy-viscosity computation",
           VertDiffTrekant, 0);
  addValue(t, 441, "Flux limit of the transient bed-change solver", FlagMaxFlux, 0);
  addValue(t, 442,
           "Coefficient of the Meyer-Peter-Mueller option of the van Rijn concentration "
           "computation",
           MPMcoeff, 0);
  addValue(t, 443, "Version of the `fracres` file read and written", FlagFracresVersion, 0);
  addValue(t, 444, "Grid option of the grid-split prevention", FlagGrid13, 0);
  addValue(t, 445, "Relaxation of the available bed fractions", relaxAvailable, 0, 1);
  addValue(t, 446, "Read and checked; nothing uses it", NumRemoveLayers, 0);
  addValue(t, 447, "Armour-layer depth in the transient bed-change solvers", FlagArmourDepth, 0);
  addValue(t, 448, "Scaling of concentrations after a grid move in the sediment time loop",
           FlagDefectRatio, 0);
  // tracerJ1 of -10..0 selects a mode of its own; a positive one starts the range to tracerJ2.
  t.push_back({'F', 449, "Grid-line range of the tracer output of the result writer",
               declared(tracerJ1, tracerJ2),
               [](DataSetReader& r) {
                 r.i(tracerJ1); r.i(tracerJ2);
                 r.requireCount(2);
                 r.require(in(tracerJ1, -10, 0) || (tracerJ1 >= 1 && tracerJ1 <= tracerJ2));
               }});
}

}  // namespace qorva
