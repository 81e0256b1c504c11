// Settings of F 500 to F 534.
#pragma once

#include "state/table.h"

namespace qorva {

inline double EHcoeff = 0.05;  // F 500
inline double restCrit = 10.0;  // F 501
inline int FlagBedMove = 0;  // F 502
inline int FlagTriangle10 = 0;  // F 503
inline double ThixoGridDistCoeff = 0.6;  // F 504
inline double GravitySlope = 0.015;  // F 505
inline int FlagOrderRemovePonds = 1;  // F 506
// Bed-shear coefficients per grid level, levels 1..10 (index 0 is kept at 1.0 as well).
inline constinit Fixed<double, 11> ShearGridCoeff = [] {  // F 507
  Fixed<double, 11> a;
  for (double& v : a.v) v = 1.0;
  return a;
}();
inline int FlagGridStab9 = 0;  // F 508
inline double TurbThick = 1.0;  // F 509
inline double GridDistCoeff2 = 1.0;  // F 510
inline double GridDistCoeff3 = 1.0;  // F 511
inline double outflowFixShear = 0, outflowFixDepth = 0;  // F 512
inline double momentumAddInflow = 0;  // F 513
inline int FlagSinkScour = 0;  // F 514
inline double deltaSinkScour = 0, porosMultiplier = 1.0;  // F 514
inline int FlagNewSurfUnstruc = 0;  // F 515
// Refinement of the OpenFOAM grid in i, j and k.
inline int ofGridI = 1, ofGridJ = 1, ofGridK = 1;  // F 516
inline int FlagScaleSurfFroude = 0;  // F 517
inline int FlagScaleInterpol = 0;  // F 518
inline int FlagFollowSurface = 0;  // F 519
inline int NoMGloops = 3;  // F 520
inline int FlagExtraDebug = 0;  // F 521
inline int FlagBarcelona = 0, CrossBarcelona = 0;  // F 522
inline int FlagTestBugMetric = 0;  // F 523
inline int FlagShapeInflow = 0;  // F 524
inline double coeffTurbFlag5 = 1.0;  // F 525
inline int FlagTVertGrad = 0;  // F 526
inline double coeffEpsilon = 1.0;  // F 527
inline int FlagGridStab10 = 0;  // F 528
inline int FlagGridStab11 = 0;  // F 529
inline int FlagLimitSurf = 0;  // F 530
inline double GridRoughnessParam = 0;  // F 531
inline int varTimeInterval = 0;  // F 532
inline double varTimeStart = 0, varTimeEnd = 0;  // F 532
inline int FlagHorMove = 1;  // F 533
inline double coeffTurbC3e = -0.33;  // F 534

}  // namespace qorva
