// Settings of F 450 to F 499. F 495 is no longer accepted: its two settings are built-ins
// (state/status.h).
#pragma once

#include "state/table.h"

namespace qorva {

inline int FlagGroyneArmour = 0;
inline double GroyneArmour = 0;
inline int FlagBedSmooth4 = 0;
inline double BedSmooth4 = 0;
inline double surfaceDampFactor1 = 0.5, surfaceDampFactor2 = 0.5;
inline int surfaceDampSec = 9;
inline int surfaceDownstreamDamp = 1;  // set by F 353; F 452 raises it to at least 5
inline int FlagProfiles = 0;
inline int skipWatersolve = 1;
inline int LevelInflowSed = 0;
inline int FlagMinLevCorner = 0;
inline double cyclicIncreaseFactor = 1.0;
inline int FlagInitiateBedlayers = 0;
inline int FlagShearSmooth = 0;
inline int FlagSmoothKs = 0;
inline double ShiftSourceBed = 0;
inline int FlagBedFractionsPrint = 0;
inline int NoDownstreamDeposit = 0;
inline int FlagOutConc = 0;
inline int IterSlideHoriz = 200, IterSlideVert = 200;
inline double relaxCasulli = 0;
inline int FlagScaleGridMove = 1;
inline int NoCasulliMG = 100;
inline int FlagCasulliCoeff = 0;
inline int FlagGridConnect = 0;
inline int FlagSideSurfDamp = 0;
inline int FlagCasulliLimit = 0;
inline int FlagGradSurf = 0;
inline int FlagFriction = 0;
inline int FlagDuneFormula = 0;
inline double KarimCoeff = 0.47;  // dune-height coefficient; F 476 2 sets 0.085
inline int FlagScaleFreeSource = 0;
inline int FlagNewSurface = 0;
inline double updateRatioCriteria = 0.05;
inline int FlagDeltaSurface = 0;
inline int FlagScalePressure = 0;
inline int FlagPresStability = 0;
inline int FlagLimitFallvel = 0;
inline int FlagSumFractions = 0;
inline int FlagExplicitBed = 0;
inline int FlagMGSurf = 0;
inline int FlagOldPres = 1;
inline int UMethod2 = 0;
inline int FirstIterNo = 0;
inline int FlagPressureTest = 1;
inline double PressureTestFactor = 0.2;
inline double CoeffPonds = 0.01;
inline int FlagGridStabFix1 = 0;
inline int FlagTriangleAlgo = 0;
inline int FlagConcProf = 0;
inline int FlagPresLatSource = 0;
inline int FlagInflowConcVar = 0;
inline int FlagDragDune = 0;
inline int FlagDuneShearPartCross = 0;

}  // namespace qorva
