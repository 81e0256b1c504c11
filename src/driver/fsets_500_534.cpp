// Data sets F 500 to F 534 of `control`, the last F data sets: defaults, readers, count and
// range checks. Writes the globals of state/options_f500_534.h.
#include "driver/rows.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addFsets500_534(DataSetTable& t) {
  addValue(t, 500,
           "Coefficient of the Engelund-Hansen option of the van Rijn concentration computation",
           EHcoeff, 0);
  addValue(t, 501, "Rest criterion of the bed move and the bed change", restCrit, 0);
  addValue(t, 502,
           "1: the bed change of a column is distributed over its corners in a single pass",
           FlagBedMove, 0);
  addValue(t, 503, "Triangle option of the two-layer grid generator", FlagTriangle10, 0);
  addValue(t, 504, "Vertical distribution coefficient of the mud grid", ThixoGridDistCoeff, 0);
  addValue(t, 505, "Slope of the gravity source along the bed", GravitySlope);
  addValue(t, 506, "Order of pond removal in the two-layer grid generator", FlagOrderRemovePonds);
  // Levels 1..10 are read one by one; the message names the first level that is missing, and
  // the levels before it keep the values read.
  t.push_back({'F', 507,
               "Ten coefficients of the bed shear per grid level, used by the van Rijn "
               "concentration computation",
               declared(ShearGridCoeff),
               [](DataSetReader& r) {
                 for (int j = 1; j <= 10; ++j)
                   if (!r.d(ShearGridCoeff[j])) r.failText(strf("Error for F 507 in control, j=%d\n", j));
               }});
  addValue(t, 508, "Ninth grid-stability option (first grid-stability check)", FlagGridStab9);
  addValue(t, 509,
           "Thickness used when the unstructured arrays of the two-layer generator are cleared",
           TurbThick);
  addValue(t, 510,
           "Vertical distribution coefficient of the upper layer of the two-layer grid generator",
           GridDistCoeff2, 0);
  addValue(t, 511,
           "Vertical distribution coefficient of the lower layer of the two-layer grid generator",
           GridDistCoeff3, 0);
  t.push_back({'F', 512, "Fixed bed shear and depth at the outflow of the sediment computation",
               declared(outflowFixShear, outflowFixDepth),
               [](DataSetReader& r) {
                 r.d(outflowFixShear); r.d(outflowFixDepth);
                 r.requireCount(2);
                 r.require(outflowFixShear >= 0 && outflowFixDepth >= 0);
               }});
  addValue(t, 513, "Momentum added at inflows in the boundary values and the source terms",
           momentumAddInflow);
  t.push_back({'F', 514,
               "Scour at sinks: switch, level step and porosity multiplier of the source terms",
               declared(FlagSinkScour, deltaSinkScour, porosMultiplier),
               [](DataSetReader& r) {
                 r.i(FlagSinkScour); r.d(deltaSinkScour); r.d(porosMultiplier);
                 r.requireCount(3, "Error for F 514 in control: Default: F 514 0 0.0 1.0\n");
               }});
  addValue(t, 515, "Read and checked; nothing uses it", FlagNewSurfUnstruc);
  t.push_back({'F', 516, "Refinement of the grid written for OpenFOAM in i, j and k",
               declared(ofGridI, ofGridJ, ofGridK),
               [](DataSetReader& r) {
                 r.i(ofGridI); r.i(ofGridJ); r.i(ofGridK);
                 r.requireCount(3);
                 r.require(ofGridI >= 1 && ofGridJ >= 1 && ofGridK >= 1);
               }});
  addValue(t, 517, "Froude scaling of the free-surface computation", FlagScaleSurfFroude);
  addValue(t, 518, "Scaling in the interpolation of variables to a new grid", FlagScaleInterpol);
  addValue(t, 519, "Grid lines that follow the water surface in the two-layer grid generator",
           FlagFollowSurface);
  addValue(t, 520, "Number of cycles of the multigrid solver", NoMGloops);
  addValue(t, 521,
           "Extra diagnostic output of the metric, bed-level and grid computations and several "
           "others",
           FlagExtraDebug);
  t.push_back({'F', 522,
               "Cross-section level output to the files `barcelona` and `barcelona_wl` in the "
               "sediment time loop and the result writer: switch and cross section",
               declared(FlagBarcelona, CrossBarcelona),
               [](DataSetReader& r) {
                 r.i(FlagBarcelona); r.i(CrossBarcelona);
                 r.requireCount(2);
               }});
  addValue(t, 523, "Diagnostic test of the metric computation", FlagTestBugMetric);
  addValue(t, 524, "Shaped inflow profile in the boundary values and the face fluxes",
           FlagShapeInflow);
  addValue(t, 525, "Coefficient of the density-damping variant of the k and epsilon sources",
           coeffTurbFlag5);
  addValue(t, 526, "Vertical-gradient option of the density damping of turbulence", FlagTVertGrad);
  addValue(t, 527, "Coefficient of the algebraic epsilon of the turbulence models 18 to 20",
           coeffEpsilon);
  addValue(t, 528, "Tenth grid-stability option (first grid-stability check)", FlagGridStab10);
  addValue(t, 529, "Eleventh grid-stability option (second grid-stability check)", FlagGridStab11);
  addValue(t, 530, "Surface limiter of the transient free surface", FlagLimitSurf);
  addValue(t, 531,
           "Roughness parameter of the level counts of the grid columns and the two-layer "
           "generator",
           GridRoughnessParam, 0);
  // Times in seconds of the sediment computation; option 1 is refused.
  t.push_back({'F', 532,
               "Variable time interval of the sediment time loop: option, start and end time",
               declared(varTimeInterval, varTimeStart, varTimeEnd),
               [](DataSetReader& r) {
                 r.i(varTimeInterval); r.d(varTimeStart); r.d(varTimeEnd);
                 r.require(r.count() >= 3 && varTimeInterval != 1);
                 r.require(varTimeStart <= varTimeEnd);
                 r.require(varTimeEnd >= 0);
               }});
  addValue(t, 533, "Horizontal move of grid lines in the grid generators", FlagHorMove);
  addValue(t, 534, "Coefficient C3 of the buoyancy term of the epsilon equation", coeffTurbC3e);
}

}  // namespace qorva
