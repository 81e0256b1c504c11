// Data sets F 450 to F 499 of `control`: defaults, readers, count and range checks. Writes the
// globals of state/options_f450_499.h, and TFSdampwall (F 58) and surfaceDownstreamDamp (F 353).
#include <algorithm>

#include "driver/rows.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addFsets450_499(DataSetTable& t) {
  addSwitchValue(t, 450, "Armour at groynes, applied by the reader of `unstruc`",
                 FlagGroyneArmour, GroyneArmour, 0, 0);
  // The fourth smoothing reaches below the active layer: it needs the erosion there (no F 412 0)
  // and the bed layers of the transient sediment computation (F 37 3), both given earlier.
  t.push_back({'F', 451, "Fourth bed-smoothing variant of the bed change and its value",
               declared(FlagBedSmooth4, BedSmooth4),
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
  t.push_back({'F', 452,
               "Damping factors and sector of the transient free surface; also raises "
               "`surfaceDownstreamDamp` to at least 5",
               declared(surfaceDampFactor1, surfaceDampFactor2, surfaceDampSec),
               [](DataSetReader& r) {
                 r.d(surfaceDampFactor1); r.d(surfaceDampFactor2); r.i(surfaceDampSec);
                 r.requireCount(3);
                 r.require(surfaceDampFactor1 >= 0 && surfaceDampFactor2 >= 0);
                 r.require(surfaceDampSec >= 1);
                 surfaceDownstreamDamp = std::max(surfaceDownstreamDamp, 5);
               }});
  t.push_back({'F', 453, "Iteration interval of the profile output of the sediment time loop",
               declared(FlagProfiles),
               [](DataSetReader& r) {
                 r.i(FlagProfiles);
                 r.requireCount(1);
                 r.require(FlagProfiles >= 0);
                 r.require(FlagProfiles == 0 || FlagTSC == 3,
                           "Error for F 453 in control: The option can only be used with F 37 3\n");
               }});
  addValue(t, 454, "Interval at which the sediment time loop recomputes the water flow",
           skipWatersolve, 1);
  addValue(t, 455, "Level option of the inflow sediment", LevelInflowSed, 0);
  addValue(t, 456, "Minimum corner level of the dry-edge shaping", FlagMinLevCorner, 0);
  addValue(t, 457, "Increase factor of the cyclic inflow sediment", cyclicIncreaseFactor, 0.01);
  addValue(t, 458, "Initialisation of the bed layers in the sediment time loop",
           FlagInitiateBedlayers, 0);
  addValue(t, 459, "Smoothing of the bed shear in the van Rijn concentration computation",
           FlagShearSmooth, 0);
  addValue(t, 460, "Smoothing of the roughness in the van Rijn concentration computation",
           FlagSmoothKs, 0);
  addValue(t, 461, "Read and checked; nothing uses it", ShiftSourceBed, 0);
  addValue(t, 462, "Output of the bed fractions in the bed graphics", FlagBedFractionsPrint, 0);
  addValue(t, 463,
           "Number of downstream cross sections averaged for the depth of deposits (0: one sixth "
           "of the i range of block 1)",
           NoDownstreamDeposit, 0);
  addValue(t, 464, "Output of inflow concentrations to `outconc`", FlagOutConc, 0);
  t.push_back({'F', 465, "Horizontal and vertical iterations of the slide location",
               declared(IterSlideHoriz, IterSlideVert),
               [](DataSetReader& r) {
                 r.i(IterSlideHoriz); r.i(IterSlideVert);
                 r.requireCount(2);
                 r.require(IterSlideHoriz >= 1 && IterSlideVert >= 1);
               }});
  addValue(t, 466, "Relaxation of the grid-level update after the water-level solver",
           relaxCasulli, 0.0, 1.0);
  addValue(t, 467, "Scaling of concentrations after a grid move in the sediment time loop",
           FlagScaleGridMove, 0);
  addValue(t, 468, "Multigrid cycles of the water-level solver", NoCasulliMG, 0);
  // TFSdampwall belongs to F 58, which gives its default; F 469 narrows its range.
  t.push_back({'F', 469,
               "Wall damping of the transient free surface (also the sixth value of F 58)",
               {},
               [](DataSetReader& r) {
                 r.d(TFSdampwall);
                 r.requireCount(1);
                 r.require(in(TFSdampwall, 0.9, 2.1));
               }});
  addValue(t, 470, "Coefficient variant of the water-level solver", FlagCasulliCoeff, 0, 10);
  addValue(t, 471, "Grid-connection option of the bed change", FlagGridConnect, 0);
  addValue(t, 472, "Side damping of the transient free surface", FlagSideSurfDamp, 0);
  addValue(t, 473, "Limiter of the water-level solver coefficients", FlagCasulliLimit, 0);
  addValue(t, 474, "Surface-gradient option of the free-surface computation", FlagGradSurf, 0);
  addValue(t, 475, "Friction option of the backwater computation", FlagFriction, 0);
  // Dune formulas 2 and 3 bring their own coefficient; there is no formula above 3.
  t.push_back({'F', 476, "Dune-height formula of the van Rijn concentration computation",
               declared(FlagDuneFormula, KarimCoeff),
               [](DataSetReader& r) {
                 r.i(FlagDuneFormula);
                 r.requireCount(1);
                 r.require(FlagDuneFormula >= 0 && FlagDuneFormula <= 3);
                 if (FlagDuneFormula == 2) KarimCoeff = 0.085;
                 if (FlagDuneFormula == 3) KarimCoeff = 0.47;
               }});
  addValue(t, 477, "Scaling of the free-surface source in the surface and backwater computations",
           FlagScaleFreeSource, 0);
  addValue(t, 478, "New-surface option of the reader of `unstruc`", FlagNewSurface, 0);
  addValue(t, 479, "Update criterion of the free-surface computation", updateRatioCriteria, 0);
  addValue(t, 480, "Surface-change option of the free-surface computation", FlagDeltaSurface, 0);
  addValue(t, 481,
           "Above 0, the pressure of the reference cell is subtracted from all pressures before "
           "the surface update at the end of an outer iteration",
           FlagScalePressure, 0);
  addValue(t, 482, "Pressure stabilisation in the transient term", FlagPresStability, 0);
  addValue(t, 483, "Read and checked; nothing uses it", FlagLimitFallvel, 0);
  addValue(t, 484, "Sum of fractions in the transient bed-change solver", FlagSumFractions, 0);
  addValue(t, 485, "Read and checked; nothing uses it", FlagExplicitBed, 0);
  addValue(t, 486, "Multigrid option of the water-level solver", FlagMGSurf, 0);
  addValue(t, 487, "Old-pressure option of the pressure-gradient source", FlagOldPres, 0);
  addValue(t, 488,
           "Vertical grid method of the two-layer grid generator (0: not used); sizes structured "
           "and unstructured arrays; its combination with F 493 is tested after reading",
           UMethod2, 0);
  addValue(t, 489,
           "Number of inner iterations of the first outer iteration of the flow driver when larger "
           "than `TransInnerIter`",
           FirstIterNo, 0);
  addSwitchValue(t, 490, "Pressure test after interpolation to a new grid, and its factor",
                 FlagPressureTest, PressureTestFactor, 0, 0);
  addValue(t, 491, "Coefficient of the removal of ponds", CoeffPonds, 0.0, 1.0);
  addValue(t, 492, "Grid-stability fix of the dry-edge shaping and the two-layer generator",
           FlagGridStabFix1, 0);
  addValue(t, 493,
           "Triangle algorithm of the grid generators; 5 needs F 488 above 0 (tested after "
           "reading)",
           FlagTriangleAlgo, 0);
  addValue(t, 494, "Concentration-profile option of the wall laws", FlagConcProf, 0);
  // The second grid-stability fix broke the removal of ponds and is no longer accepted: the
  // values are read only to choose the message, and the built-in settings stay as they are.
  t.push_back({'F', 495,
               "The data set is no longer accepted; the two settings therefore keep their defaults",
               {},
               [](DataSetReader& r) {
                 int flag = 0;
                 double depth = 0;
                 r.i(flag); r.d(depth);
                 r.require(!(r.count() >= 2 && flag >= 0),
                           "F 495 data set is discontinued from 14. nov. 2023 as it will break the "
                           "ponds algorithm\n\n");
                 r.require(false);
               }});
  addValue(t, 496, "Lateral pressure source of the pressure-gradient source", FlagPresLatSource, 0);
  addValue(t, 497, "Variable inflow concentration of the inflow sediment", FlagInflowConcVar, 0);
  addValue(t, 498, "Dune drag in the velocity sources", FlagDragDune, 0);
  addValue(t, 499,
           "Dune shear per cross section in the bed shear and the van Rijn concentration "
           "computation; sizes extra arrays",
           FlagDuneShearPartCross, 0);
}

}  // namespace qorva
