// Settings of F 300 to F 349.
#pragma once

#include "state/table.h"

namespace qorva {

inline double MaxCrashDef = 1e10;       // F 301: residual above which the flow run has diverged
inline int FlagFracVer = 0;             // F 303
inline int FlagBedVer = 0;              // F 304
inline int FlagNewWall = 0;             // F 305
inline int FlagUseBedres = 0;           // F 306
// FlagMPI (F 308, blocks of the block division) is declared with the G data sets that test it.
inline int FlagInterpolNew = 0;         // F 309
inline int FlagFixBed = 0;              // F 310
inline int FlagShallowWater = 0;        // F 311
inline int FlagModEpsilon = 0;          // F 312
inline int FlagKoordinaFix = 0;         // F 313
inline int FlagGenerateUpFlux = 0, FlagGenerateDownFlux = 0;  // F 314
inline int FlagGridMPIboundary = 0;     // F 315
inline int FlagPresMPIboundary = 0;     // F 316
// F 317 / F 318: j indices of the pressure limit at block-division boundaries, entries 1..98.
inline Fixed<int, 100> jPresUp;
inline Fixed<int, 100> jPresDown;
inline int FlagUnstrucMPI = 0;          // F 319
inline int FlagZeroGradSedim = 0;       // F 320
inline int FlagTimeSurf = 0, FlagMomentSurf = 0;  // F 322
inline int FlagSurface2 = 0;            // F 323
inline int FlagNormStress = 0;          // F 324
inline int FlagSlide = 0;               // F 325
inline double TimeStepThixo = 1.0;      // F 326
inline int IterThixo = 0;               // F 326
inline int FlagInvApSmooth = 0;         // F 327
inline int FlagWaterSolveNew = 0;       // F 328
// F 329: output switches of the result writer; the data set fills entries 0..19.
inline constinit Fixed<int, 51> PrintArrayFlags{{1, 1}};
// F 330: cohesion against depth below the bed surface, entries 0..NoCohesiveDepth-1 (at most 99).
inline int NoCohesiveDepth = 0;
inline Fixed<double, 100> cohesiveDepth;
inline Fixed<double, 100> cohesiveArr;
inline int znumberThixo = 2;            // F 331
inline double ThixoExpansion = 1.0;     // F 332
inline int FlagGT = 0;                  // F 333
inline double ThixoSlideModifier = 1.0, ThixoCohesiveModifier = 0.2;  // F 334
inline double TimeEnd = 1e50;           // F 335: simulated time at which the time loops end
inline int FlagThixoTimestep = 0;       // F 336
// F 337: discharge of group g (1..9) in block b (0..99) of the block division at [g + 20 * b].
inline Fixed<double, 2000> dischargesMPI;
inline double ThixoMinGamma = 1000.0;   // F 338
inline int FlagUnstrucThixo = 0;        // F 339
inline int FlagOutflow = 0;             // F 340
inline int FlagShallowDamp = 0;         // F 341
inline int vectorIter = 1;              // F 342
inline int BlockCasulli = 0;            // F 343
inline int FlagSolverVertTDMA = 0;      // F 344
inline double residualCasulli = 1e-5;   // F 345
inline int FlagFroudeDamp = 0;          // F 346
inline int FlagFixSurfSlide = 0;        // F 347
inline int UnevenConnect = 0;           // F 348
inline int FlagOpenFOAMsurface = 0;     // F 349

}  // namespace qorva
