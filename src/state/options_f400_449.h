// Settings of F 400 to F 449.
#pragma once

#include "state/table.h"

namespace qorva {

inline int FlagHCB = 0;  // F 400
inline int FlagThixoGrid2 = 0;  // F 401
inline double ThixoMinSlideSize = 0;  // F 402
inline int TFSminFlag = 1;  // F 403
inline double TFSminDepth = 0.02;  // F 403: metres
// FlagMorphStatistics (F 404) is declared with the G data sets, whose G 24 tests it.
inline double RelaxMorphStatistics = 0.1;
inline int FlagTFS7 = 0;  // F 405
inline double AddValTFS7 = 0;  // F 406
inline int FlagCriticalCross = 0;  // F 407
inline int FlagBoundaryThixo = 0;  // F 408
inline int FlagMinDistEps = 0;  // F 409
inline double MinDistEps = 0;  // F 409: metres
// Elastic soil: F 247 owns these and F 410 sets them again with FlagModulus.
inline double EModulus = 6.5e7, PoissonRatio = 0.4;  // set by F 247
inline double GModulus = 6.5e7, LModulus = 0;        // set by F 247
inline int FlagModulus = 0;
inline double BankCohesion = 0;  // F 411
inline int FlagErodeUnder = 1;  // F 412
inline int FlagCorrectContinuity = 0;  // F 413
inline int FlagSmoothBedchange = 0;  // F 414
inline int FlagSideDamp = 0;  // F 415
inline int FlagPresDownstream = 0;  // F 416
inline double IntervalPresDownstream = 100.0;  // F 416
inline int FlagPlastics = 0;  // F 417
inline double global_fac = 0.2;  // F 418
inline int FlagPresSurfDamp = 0;  // F 419
inline double DepthBreakPath = -1.0;  // F 420
inline double FillStop = -100.0;  // F 421
inline int FlagTestNB = 0;  // F 422
inline int FlagRiseNeighbours = 0;  // F 423
inline int FlagTracer = 0;  // F 424
inline int FlagSmoothNewCorners = 0;  // F 425
inline int FlagPresFilter = 0;  // F 426
inline int FlagSurfLimit5 = 0;  // F 427
inline double reduceCornersSurf = -1.0;  // F 428
inline int FlagRidgeMetric = 0;  // F 429
inline int FlagLimitExpansion = 0;  // F 430
inline int FlagAddAnbShallow = 0;  // F 431
inline double ValAddAnbShallow = 0;  // F 431
inline int FlagCallSurface = 0;  // F 432
inline int FlagFractionsPrint = 0;  // F 433
inline double depthTracer = 0.3;  // F 433: metres
inline int FlagSplitLayers = 0;  // F 434
inline int FlagUpdateDischarge = 0;  // F 435
inline int FlagCorrTrekant4 = 0;  // F 436
inline int FlagCorrTrekant5 = 0;  // F 437
inline int FlagWeightComp = 0;  // F 438
inline int FlagDepthDeposit = 0;  // F 439
inline double VertDiffTrekant = 0;  // F 440
inline int FlagMaxFlux = 1;  // F 441
inline double MPMcoeff = 0.25;  // F 442
inline int FlagFracresVersion = 0;  // F 443
inline int FlagGrid13 = 0;  // F 444
inline double relaxAvailable = 1.0;  // F 445
inline int NumRemoveLayers = 1;  // F 446
inline int FlagArmourDepth = 0;  // F 447
inline int FlagDefectRatio = 0;  // F 448
// Grid lines of the tracer output: -10..0 in tracerJ1, or the range tracerJ1..tracerJ2.
inline int tracerJ1 = 0, tracerJ2 = 0;  // F 449

// Shear modulus and Lame's first parameter from E and the Poisson ratio. The ratio must stay
// below 0.5: an incompressible soil has no finite Lame parameter.
inline void setElasticModuli() {
  GModulus = EModulus / (2.0 * (1.0 + PoissonRatio));
  LModulus = EModulus * PoissonRatio / ((1.0 - 2.0 * PoissonRatio) * (1.0 + PoissonRatio));
}

}  // namespace qorva
