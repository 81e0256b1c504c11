// Settings of F 100 to F 149.
#pragma once

#include "state/table.h"

namespace qorva {

// Read by F 110 to decide whether the bed-rouse parameters may be given.
inline int TSCbedrouse = 0;  // set by F 60

// F 101: [1..4] the intervals as read; [0] the smallest positive one (1000000 when none is),
// the interval of the transfer files of the sediment loop.
inline Fixed<int, 5> TransWriteFiles;
inline int FlagMinLevUnstruc = 0;  // F 102
inline int Flag2BedRoughness = 0;  // F 103
inline int FlagEndCorrect = 0;  // F 104
inline int IterWaterUpdate = 10;  // F 105
inline double TopThickness = -1.0;  // F 106; 0 or below: the largest grain size
inline double BedCritTanSlopeUp = 1.23, BedCritTanSlopeDown = 0.78, BedCritMinDamp = 0.2;  // F 109
inline double HRzmax = 2.0, HRmulmin = 0.01;  // F 110
inline int FlagBedDLL = 0;  // F 111
inline int FlagNewGrid = 0;  // F 112
// F 113; the flow drivers switch FlagRhieChow while flushing and restore it from the copy.
inline int FlagRhieChow = 0, OrigFlagRhieChow = 0;
inline int FlagPresGrad = 0;  // F 114
inline int FlagDragDLL = 0;  // F 115
inline int FlagSurfDLL = 0;  // F 116
inline int FlagWallDLL = 0;  // F 120
inline int FlagTurbDLL = 0;  // F 121
inline int FlagTSCDLL = 0;  // F 125
inline int FlagNestDLL = 0;  // F 126
inline int FlagPresSetZero = 0;  // F 128
inline int FlagBedInterpol = 0;  // F 129
// F 130: columns i1..i2, j1..j2 of the refinement region.
inline int TetI1 = 0, TetI2 = 0, TetJ1 = 0, TetJ2 = 0;
// F 131: cohesion of grain size 1..20. The sediment steps look it up for every size of the
// run (up to 49), so the table covers them all; sizes above 20 stay non-cohesive.
inline Fixed<double, 50> cohesive;
inline double FroudeMaxSurface = 0;  // F 132
// NoBedLayers (F 134) is declared with the G data sets, which check levels against it.
inline int FlagGravityTerm = 0;  // F 135
inline double PresGradMax = 0;  // F 136; in units of rho g, 0 = no limit
inline int QNFlag = 0;  // F 137
inline double ArtMinKinen = 1e-20;  // F 138
inline double MinUPlus = 1.0, MinUPlusK = 1.0;  // F 139
inline int FlagEpsWallLim = 0;  // F 140
inline double MaxEpsLim = 100.0;  // F 141
inline int PresRegres = 0;  // F 143
inline int FlagBedSmooth = 0;  // F 144
inline double ParamBedSmooth = 0;  // F 144
// F 147: extrapolation into newly wetted cells.
inline int ExtrapIter = 20, ExtrapAlgo1 = 2, ExtrapAlgo2 = 2;
inline double ExtrapRelVel = 0.2, ExtrapRelK = 1.0, ExtrapRelE = 1.0;
inline double MaxSurfSlope = -0.1;  // F 148; not above 0: no limit
inline double TurbMultVert = 1.0, TurbMultHor = 1.0;  // F 149

}  // namespace qorva
