// Settings of F 500 to F 534.
#pragma once

#include "state/table.h"

namespace qorva {

inline double EHcoeff = 0.05;
inline double restCrit = 10.0;
inline int FlagBedMove = 0;
inline int FlagTriangle10 = 0;
inline double ThixoGridDistCoeff = 0.6;
inline double GravitySlope = 0.015;
inline int FlagOrderRemovePonds = 1;
// Bed-shear coefficients per grid level, levels 1..10 (index 0 is kept at 1.0 as well).
inline constinit Fixed<double, 11> ShearGridCoeff = [] {
  Fixed<double, 11> a;
  for (double& v : a.v) v = 1.0;
  return a;
}();
inline int FlagGridStab9 = 0;
inline double TurbThick = 1.0;
inline double GridDistCoeff2 = 1.0;
inline double GridDistCoeff3 = 1.0;
inline double outflowFixShear = 0, outflowFixDepth = 0;
inline double momentumAddInflow = 0;
inline int FlagSinkScour = 0;
inline double deltaSinkScour = 0, porosMultiplier = 1.0;
inline int FlagNewSurfUnstruc = 0;
// Refinement of the OpenFOAM grid in i, j and k.
inline int ofGridI = 1, ofGridJ = 1, ofGridK = 1;
inline int FlagScaleSurfFroude = 0;
inline int FlagScaleInterpol = 0;
inline int FlagFollowSurface = 0;
inline int NoMGloops = 3;
inline int FlagExtraDebug = 0;
inline int FlagBarcelona = 0, CrossBarcelona = 0;
inline int FlagTestBugMetric = 0;
inline int FlagShapeInflow = 0;
inline double coeffTurbFlag5 = 1.0;
inline int FlagTVertGrad = 0;
inline double coeffEpsilon = 1.0;
inline int FlagGridStab10 = 0;
inline int FlagGridStab11 = 0;
inline int FlagLimitSurf = 0;
inline double GridRoughnessParam = 0;
inline int varTimeInterval = 0;
inline double varTimeStart = 0, varTimeEnd = 0;
inline int FlagHorMove = 1;
inline double coeffTurbC3e = -0.33;

}  // namespace qorva
