// Data sets F 500 to F 534 of `control`, the last F data sets: defaults, readers, count and
// range checks. Writes the globals of state/options_f500_534.h.
#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

namespace {

// The standard failure of this range, with a line end.
void need(const DataSetReader& r, bool ok) {
  if (!ok) r.failText(strf("Error for F %d in control\n", r.number()));
}

bool get(DataSetReader& r, int& v) { return r.i(v); }
bool get(DataSetReader& r, double& v) { return r.d(v); }

// A row of one value that must be given; with `nonNegative` it must not be negative either.
template <typename T>
void addOne(DataSetTable& t, int number, T& v, T def, bool nonNegative) {
  T* p = &v;
  t.push_back({'F', number, [p, def] { *p = def; },
               [p, nonNegative](DataSetReader& r) {
                 get(r, *p);
                 need(r, r.count() >= 1);
                 if (nonNegative) need(r, *p >= 0);
               }});
}

template <typename T>
void addCounted(DataSetTable& t, int number, T& v, T def) { addOne(t, number, v, def, false); }

template <typename T>
void addNonNegative(DataSetTable& t, int number, T& v, T def) { addOne(t, number, v, def, true); }

}  // namespace

void addFsets500_534(DataSetTable& t) {
  addNonNegative(t, 500, EHcoeff, 0.05);
  addNonNegative(t, 501, restCrit, 10.0);
  addNonNegative(t, 502, FlagBedMove, 0);
  addNonNegative(t, 503, FlagTriangle10, 0);
  addNonNegative(t, 504, ThixoGridDistCoeff, 0.6);
  addCounted(t, 505, GravitySlope, 0.015);
  addCounted(t, 506, FlagOrderRemovePonds, 1);
  // Levels 1..10 are read one by one; the message names the first level that is missing, and
  // the levels before it keep the values read.
  t.push_back({'F', 507, [] { for (double& v : ShearGridCoeff) v = 1.0; },
               [](DataSetReader& r) {
                 for (int j = 1; j <= 10; ++j)
                   if (!r.d(ShearGridCoeff[j])) r.failText(strf("Error for F 507 in control, j=%d\n", j));
               }});
  addCounted(t, 508, FlagGridStab9, 0);
  addCounted(t, 509, TurbThick, 1.0);
  addNonNegative(t, 510, GridDistCoeff2, 1.0);
  addNonNegative(t, 511, GridDistCoeff3, 1.0);
  t.push_back({'F', 512, [] { outflowFixShear = 0; outflowFixDepth = 0; },
               [](DataSetReader& r) {
                 r.d(outflowFixShear); r.d(outflowFixDepth);
                 need(r, r.count() >= 2);
                 need(r, outflowFixShear >= 0 && outflowFixDepth >= 0);
               }});
  addCounted(t, 513, momentumAddInflow, 0.0);
  t.push_back({'F', 514, [] { FlagSinkScour = 0; deltaSinkScour = 0; porosMultiplier = 1.0; },
               [](DataSetReader& r) {
                 r.i(FlagSinkScour); r.d(deltaSinkScour); r.d(porosMultiplier);
                 r.requireCount(3, "Error for F 514 in control: Default: F 514 0 0.0 1.0\n");
               }});
  addCounted(t, 515, FlagNewSurfUnstruc, 0);
  t.push_back({'F', 516, [] { ofGridI = 1; ofGridJ = 1; ofGridK = 1; },
               [](DataSetReader& r) {
                 r.i(ofGridI); r.i(ofGridJ); r.i(ofGridK);
                 need(r, r.count() >= 3);
                 need(r, ofGridI >= 1 && ofGridJ >= 1 && ofGridK >= 1);
               }});
  addCounted(t, 517, FlagScaleSurfFroude, 0);
  addCounted(t, 518, FlagScaleInterpol, 0);
  addCounted(t, 519, FlagFollowSurface, 0);
  addCounted(t, 520, NoMGloops, 3);
  addCounted(t, 521, FlagExtraDebug, 0);
  t.push_back({'F', 522, [] { FlagBarcelona = 0; CrossBarcelona = 0; },
               [](DataSetReader& r) {
                 r.i(FlagBarcelona); r.i(CrossBarcelona);
                 need(r, r.count() >= 2);
               }});
  addCounted(t, 523, FlagTestBugMetric, 0);
  addCounted(t, 524, FlagShapeInflow, 0);
  addCounted(t, 525, coeffTurbFlag5, 1.0);
  addCounted(t, 526, FlagTVertGrad, 0);
  addCounted(t, 527, coeffEpsilon, 1.0);
  addCounted(t, 528, FlagGridStab10, 0);
  addCounted(t, 529, FlagGridStab11, 0);
  addCounted(t, 530, FlagLimitSurf, 0);
  addNonNegative(t, 531, GridRoughnessParam, 0.0);
  // Times in seconds of the sediment computation; option 1 is refused.
  t.push_back({'F', 532, [] { varTimeInterval = 0; varTimeStart = 0; varTimeEnd = 0; },
               [](DataSetReader& r) {
                 r.i(varTimeInterval); r.d(varTimeStart); r.d(varTimeEnd);
                 need(r, r.count() >= 3 && varTimeInterval != 1);
                 need(r, varTimeStart <= varTimeEnd);
                 need(r, varTimeEnd >= 0);
               }});
  addCounted(t, 533, FlagHorMove, 1);
  addCounted(t, 534, coeffTurbC3e, -0.33);
}

}  // namespace qorva
