// Settings of F 450 to F 499. F 495 is no longer accepted: its two settings are built-ins
// (state/status.h).
#pragma once

#include "state/table.h"

namespace qorva {

inline int FlagGroyneArmour = 0;
inline double GroyneArmour = 0;  // F 450
inline int FlagBedSmooth4 = 0;  // F 451
inline double BedSmooth4 = 0;  // F 451
inline double surfaceDampFactor1 = 0.5, surfaceDampFactor2 = 0.5;  // F 452
inline int surfaceDampSec = 9;  // F 452
inline int surfaceDownstreamDamp = 1;  // set by F 353; F 452 raises it to at least 5
inline int FlagProfiles = 0;  // F 453
inline int skipWatersolve = 1;  // F 454
inline int LevelInflowSed = 0;  // F 455
inline int FlagMinLevCorner = 0;  // F 456
inline double cyclicIncreaseFactor = 1.0;  // F 457
inline int FlagInitiateBedlayers = 0;  // F 458
inline int FlagShearSmooth = 0;  // F 459
inline int FlagSmoothKs = 0;  // F 460
inline double ShiftSourceBed = 0;  // F 461
inline int FlagBedFractionsPrint = 0;  // F 462
inline int NoDownstreamDeposit = 0;  // F 463
inline int FlagOutConc = 0;  // F 464
inline int IterSlideHoriz = 200, IterSlideVert = 200;  // F 465
inline double relaxCasulli = 0;  // F 466
inline int FlagScaleGridMove = 1;  // F 467
inline int NoCasulliMG = 100;  // F 468
inline int FlagCasulliCoeff = 0;  // F 470
inline int FlagGridConnect = 0;  // F 471
inline int FlagSideSurfDamp = 0;  // F 472
inline int FlagCasulliLimit = 0;  // F 473
inline int FlagGradSurf = 0;  // F 474
inline int FlagFriction = 0;  // F 475
inline int FlagDuneFormula = 0;  // F 476
inline double KarimCoeff = 0.47;  // dune-height coefficient; F 476 2 sets 0.085
inline int FlagScaleFreeSource = 0;  // F 477
inline int FlagNewSurface = 0;  // F 478
inline double updateRatioCriteria = 0.05;  // F 479
inline int FlagDeltaSurface = 0;  // F 480
inline int FlagScalePressure = 0;  // F 481
inline int FlagPresStability = 0;  // F 482
inline int FlagLimitFallvel = 0;  // F 483
inline int FlagSumFractions = 0;  // F 484
inline int FlagExplicitBed = 0;  // F 485
inline int FlagMGSurf = 0;  // F 486
inline int FlagOldPres = 1;  // F 487
inline int UMethod2 = 0;  // F 488
inline int FirstIterNo = 0;  // F 489
inline int FlagPressureTest = 1;  // F 490
inline double PressureTestFactor = 0.2;  // F 490
inline double CoeffPonds = 0.01;  // F 491
inline int FlagGridStabFix1 = 0;  // F 492
inline int FlagTriangleAlgo = 0;  // F 493
inline int FlagConcProf = 0;  // F 494
inline int FlagPresLatSource = 0;  // F 496
inline int FlagInflowConcVar = 0;  // F 497
inline int FlagDragDune = 0;  // F 498
inline int FlagDuneShearPartCross = 0;  // F 499

}  // namespace qorva
