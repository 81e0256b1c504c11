// Settings of F 350 to F 399.
#pragma once

#include "state/table.h"

namespace qorva {

// F 350: variable time step of the sediment time loop.
inline double maxTimeStep = 0, minTimeStep = 0, QRefTimeStep = 0, powTimeStep = 0;
inline int FlagComputeTimestep = 0;     // 1 once F 350 is given
inline int solverFroude = 0;            // F 351
inline double solverFroudeLimit = 1.0;  // F 351
inline int FlagTFS5 = 0, FlagTFS6 = 0;  // F 352
// surfaceDownstreamDamp (F 353) is declared with F 452, which raises it.
inline int OpenFOAMprintI = 0, OpenFOAMprintJ = 0;  // F 354
inline int FlagPresSource = 0;          // F 355
inline double CoeffPresSource = 0.5;    // F 355
inline int PointInterval = 0;           // F 356
inline int PointIntervalO = 1;          // F 356 copy
inline int FlagPresSurf = 0;            // F 357
inline double CoeffPresSurf = 1e30;     // F 357
// F 358: window of grid lines and time window of the bed statistics (off while BedStatI1 is 0).
inline int BedStatI1 = 0, BedStatI2 = 0, BedStatJ1 = 0, BedStatJ2 = 0;
inline double BedStatTime1 = 0, BedStatTime2 = 0;
inline double SurfULimit = 0, SurfUFactor = 0.001;  // F 359
inline int FlagFluxCorr = 0;            // F 360
inline double FluxCorrVal = 1.1;        // F 360
inline int FlagSurfSlope = 0;           // F 361
inline double SurfSlopeVal = 0;         // F 361
inline int FlagSetPow = 0;              // F 362
inline double geoScaleX = 1.0, geoScaleY = 1.0;  // F 363
inline int FlagGeoScale = 0;            // 1 once F 363 is given
inline double geoMin = 0, geoMax = 0;   // F 364
inline int FlagGeoMaxMin = 0;           // 1 once F 364 is given
inline int FlagViewInterpol = 0;        // F 365
inline int FlagNoImpulse = 0;           // F 366
inline double SourceKennedy = -1.0;     // F 367: negative is off
// F 368: braiding index.
inline int IBraidedStart = 2;
inline double BraidedTot = 0.001, BraidedActive = 0.1, BraidedActive2 = 0.2, BraidedActive3 = 0.3;
inline int BraidCells = 4;
inline int FlagBraidedIndex = 0;        // 1 once F 368 is given
inline int FlagBugFind = 0;             // F 369
// F 370: dune output.
inline int WriteDuneIter = 0, WriteDuneI1 = 0, WriteDuneI2 = 0, WriteDuneJ1 = 0, WriteDuneDI = 0;
// F 371: grid-split prevention.
inline int FlagNoGridSplit = 0, gridSplitKant = 0, FlagGridsplitBedmove = 0;
inline double FroudeSplit = 1.0;
inline int FlagFilterPressure = 0;      // F 372
inline int FlagPresCorrStab = 0;        // F 373
inline int Iter2DMG = 1;                // F 374
inline int Iter2DMGori = 0;             // F 374 copy
inline double BfG_M = 0, BfG_k = 0;     // F 376
inline int FlagCyclicSstart = 0;        // F 377
inline int FlagThalweg = 0;             // F 378
inline int FlagReducePonds = 0;         // F 379
inline double CritReducePonds = 5.0, ShearReducePonds = 0.001;  // F 379
inline int FlagGridStab7 = 0;           // F 380
inline double FlushWaterLevelMin = 0, FlushWaterLevelMax = 0;  // F 381
inline int FlagFlushWaterLevel = 0;     // 1 once F 381 is given
inline int FlagAddApTrekant = 0;        // F 382
// FlagGridStab6 (F 383) is declared with F 245, which sets it too.
inline double OpenFOAMalpha1X = -1e20, OpenFOAMalpha1Z = -1e20;  // F 384
// FlagCohesion (F 385) is declared with the G data sets that test it.
inline double InitValueCohesion = 0;    // F 385
inline int FlagBagger = 0, MaxNoBagger = 0;  // F 386
inline double MinDepthGrid = -1.0;      // F 387: negative is off
inline double relaxSimpleCorr = 1.0;    // F 388
inline int iterWriteAllData = 1000000;  // F 389
inline int FlagFixGrid = 0;             // F 390
inline int FlagGridStab8 = 0;           // F 391
inline int FlagSetZeroBedmove = 0;      // F 392
inline int FlagSetLimBedOri = 0;        // F 393
inline int FlagRemovePonds = 0;         // F 394
inline int FlagModifyGrid = 0;          // F 395
inline double MaxModifyGrid = 0, DzModifyGrid = 0;  // F 395
inline int FlagNoSides = 0;             // F 396
inline int FlagWallLimiterU = 0, FlagWallLimiterK = 0;  // F 397
inline double WallLimiterU = 0.1, WallLimiterK = 0.1;   // F 397
inline double coeffRoughRijn = 3.0;     // F 398
inline int FlagErrorKoomin = 0;         // F 399

}  // namespace qorva
