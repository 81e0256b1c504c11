// Data sets F 500 to F 534 of `control`, the last F data sets: defaults, readers, count and
// range checks. Writes the globals of state/options_f500_534.h.
#include "driver/rows.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addFsets500_534(DataSetTable& t) {
  addValue(t, 500, EHcoeff, 0);
  addValue(t, 501, restCrit, 0);
  addValue(t, 502, FlagBedMove, 0);
  addValue(t, 503, FlagTriangle10, 0);
  addValue(t, 504, ThixoGridDistCoeff, 0);
  addValue(t, 505, GravitySlope);
  addValue(t, 506, FlagOrderRemovePonds);
  // Levels 1..10 are read one by one; the message names the first level that is missing, and
  // the levels before it keep the values read.
  t.push_back({'F', 507, declared(ShearGridCoeff),
               [](DataSetReader& r) {
                 for (int j = 1; j <= 10; ++j)
                   if (!r.d(ShearGridCoeff[j])) r.failText(strf("Error for F 507 in control, j=%d\n", j));
               }});
  addValue(t, 508, FlagGridStab9);
  addValue(t, 509, TurbThick);
  addValue(t, 510, GridDistCoeff2, 0);
  addValue(t, 511, GridDistCoeff3, 0);
  t.push_back({'F', 512, declared(outflowFixShear, outflowFixDepth),
               [](DataSetReader& r) {
                 r.d(outflowFixShear); r.d(outflowFixDepth);
                 r.requireCount(2);
                 r.require(outflowFixShear >= 0 && outflowFixDepth >= 0);
               }});
  addValue(t, 513, momentumAddInflow);
  t.push_back({'F', 514, declared(FlagSinkScour, deltaSinkScour, porosMultiplier),
               [](DataSetReader& r) {
                 r.i(FlagSinkScour); r.d(deltaSinkScour); r.d(porosMultiplier);
                 r.requireCount(3, "Error for F 514 in control: Default: F 514 0 0.0 1.0\n");
               }});
  addValue(t, 515, FlagNewSurfUnstruc);
  t.push_back({'F', 516, declared(ofGridI, ofGridJ, ofGridK),
               [](DataSetReader& r) {
                 r.i(ofGridI); r.i(ofGridJ); r.i(ofGridK);
                 r.requireCount(3);
                 r.require(ofGridI >= 1 && ofGridJ >= 1 && ofGridK >= 1);
               }});
  addValue(t, 517, FlagScaleSurfFroude);
  addValue(t, 518, FlagScaleInterpol);
  addValue(t, 519, FlagFollowSurface);
  addValue(t, 520, NoMGloops);
  addValue(t, 521, FlagExtraDebug);
  t.push_back({'F', 522, declared(FlagBarcelona, CrossBarcelona),
               [](DataSetReader& r) {
                 r.i(FlagBarcelona); r.i(CrossBarcelona);
                 r.requireCount(2);
               }});
  addValue(t, 523, FlagTestBugMetric);
  addValue(t, 524, FlagShapeInflow);
  addValue(t, 525, coeffTurbFlag5);
  addValue(t, 526, FlagTVertGrad);
  addValue(t, 527, coeffEpsilon);
  addValue(t, 528, FlagGridStab10);
  addValue(t, 529, FlagGridStab11);
  addValue(t, 530, FlagLimitSurf);
  addValue(t, 531, GridRoughnessParam, 0);
  // Times in seconds of the sediment computation; option 1 is refused.
  t.push_back({'F', 532, declared(varTimeInterval, varTimeStart, varTimeEnd),
               [](DataSetReader& r) {
                 r.i(varTimeInterval); r.d(varTimeStart); r.d(varTimeEnd);
                 r.require(r.count() >= 3 && varTimeInterval != 1);
                 r.require(varTimeStart <= varTimeEnd);
                 r.require(varTimeEnd >= 0);
               }});
  addValue(t, 533, FlagHorMove);
  addValue(t, 534, coeffTurbC3e);
}

}  // namespace qorva
