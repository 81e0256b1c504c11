// Settings of F 400 to F 449.
#pragma once

#include "state/table.h"

namespace qorva {

inline int FlagHCB = 0;
inline int FlagThixoGrid2 = 0;
inline double ThixoMinSlideSize = 0;
inline int TFSminFlag = 1;
inline double TFSminDepth = 0.02;  // metres
// FlagMorphStatistics (F 404) is declared with the G data sets, whose G 24 tests it.
inline double RelaxMorphStatistics = 0.1;
inline int FlagTFS7 = 0;
inline double AddValTFS7 = 0;
inline int FlagCriticalCross = 0;
inline int FlagBoundaryThixo = 0;
inline int FlagMinDistEps = 0;
inline double MinDistEps = 0;  // metres
// Elastic soil: F 247 owns these and F 410 sets them again with FlagModulus.
inline double EModulus = 6.5e7, PoissonRatio = 0.4;  // set by F 247
inline double GModulus = 6.5e7, LModulus = 0;        // set by F 247
inline int FlagModulus = 0;
inline double BankCohesion = 0;
inline int FlagErodeUnder = 1;
inline int FlagCorrectContinuity = 0;
inline int FlagSmoothBedchange = 0;
inline int FlagSideDamp = 0;
inline int FlagPresDownstream = 0;
inline double IntervalPresDownstream = 100.0;
inline int FlagPlastics = 0;
inline double global_fac = 0.2;
inline int FlagPresSurfDamp = 0;
inline double DepthBreakPath = -1.0;
inline double FillStop = -100.0;
inline int FlagTestNB = 0;
inline int FlagRiseNeighbours = 0;
inline int FlagTracer = 0;
inline int FlagSmoothNewCorners = 0;
inline int FlagPresFilter = 0;
inline int FlagSurfLimit5 = 0;
inline double reduceCornersSurf = -1.0;
inline int FlagRidgeMetric = 0;
inline int FlagLimitExpansion = 0;
inline int FlagAddAnbShallow = 0;
inline double ValAddAnbShallow = 0;
inline int FlagCallSurface = 0;
inline int FlagFractionsPrint = 0;
inline double depthTracer = 0.3;  // metres
inline int FlagSplitLayers = 0;
inline int FlagUpdateDischarge = 0;
inline int FlagCorrTrekant4 = 0;
inline int FlagCorrTrekant5 = 0;
inline int FlagWeightComp = 0;
inline int FlagDepthDeposit = 0;
inline double VertDiffTrekant = 0;
inline int FlagMaxFlux = 1;
inline double MPMcoeff = 0.25;
inline int FlagFracresVersion = 0;
inline int FlagGrid13 = 0;
inline double relaxAvailable = 1.0;
inline int NumRemoveLayers = 1;
inline int FlagArmourDepth = 0;
inline int FlagDefectRatio = 0;
// Grid lines of the tracer output: -10..0 in tracerJ1, or the range tracerJ1..tracerJ2.
inline int tracerJ1 = 0, tracerJ2 = 0;

// Shear modulus and Lame's first parameter from E and the Poisson ratio. The ratio must stay
// below 0.5: an incompressible soil has no finite Lame parameter.
inline void setElasticModuli() {
  GModulus = EModulus / (2.0 * (1.0 + PoissonRatio));
  LModulus = EModulus * PoissonRatio / ((1.0 - 2.0 * PoissonRatio) * (1.0 + PoissonRatio));
}

}  // namespace qorva
