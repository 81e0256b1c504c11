// Status texts, run counters, status flags and accumulated values of the run: the globals
// that no data set of `control` sets. Start values are assigned by setBuiltins().
#pragma once

#include <array>
#include <string>

#include "state/table.h"

namespace qorva {

// Last status or error text, and the operation running; some outputs take mc_v1 as title.
inline std::string mc_message;
inline std::string mc_program;
inline std::string mc_v1;

// Counters of the run.
inline int Iter = 0;
inline int NoBCells = 0;
inline int NoConnect = 0;
inline int NoNestflater = 0;
inline int NoCyclesDone = 0;
inline int FlushedNo = 0;
inline int NoNumSurfUpdate = 0, NoNumNoSurfUpdate = 0;
inline int TimeInNo = 0, TimePrintNo = 0;
inline int InspaceTimeNo = 0;
inline int NoAlldataPrintout = 0;
// Times (s) at which the sediment loop writes alldata, from the A records of `timei`.
inline Fixed<double, 100> AlldataPrintout;
inline int NoGeo = 0;
inline int NoInterpol = -1;
inline int NoBaggerTimes = -1;
inline int NoBdatasets = -1;
inline Fixed<int, 100> Bdatasets;
inline int NoDepthTimeo = 0;
inline int BedStatNo = 0;
inline Fixed<int, 27> NoErrorsTrekant;
inline int NoCellsUpMPI = 0, NoCellsDownMPI = 0;
inline int grainsize_number = 1;
inline int MGSGrid = 0;
inline int BlockID = 1;
inline int RoughnessIter = 1;

// Status flags (0 = not yet).
inline int FlagGridChange = 0;
inline int FlagMPIkoosurf = 0;
inline int FlagInitialized = 0;
inline int FlagInitializedInvAp = 0;
inline int FlagHaveDoneMetric = 0;
inline int FlagGridHasChanged = 0;
inline int FlagNeedsToBeInterpolated = 0;
inline int FlagReadAlldata = 0, FlagReadFracres = 0, FlagReadRes = 0, FlagReadUnstruc = 0;
inline int FlagReadNdata = 0;
inline int FlagHaveReadCyclic = 0, FlagHaveInitiatedCyclic = 0;
inline int FlagDischargeTime = 0, FlagJTime = 0;
inline int FlagErrorBreak = 0;
inline int FlagThixoIsComputing = 0;
inline int FlagWhatsRunning = 0, FlagWantToPrint = 0;
inline int FlagBechInt = 0;
inline int FlagInspace = 0;
inline int FlagInitPoros = 0, MorphInitiated = 0;
inline int FlagFracVer0 = 0, FlagImplicitMPI = 0, FlagAngleType = 0;
inline int FlagDSO1 = -1;

// Accumulated values and reference levels.
inline double AvDepthTimeo = 0, AvShearTimeo1 = 0, AvShearTimeo2 = 0, AvShearTimeo3 = 0,
              AvShearTimeo4 = 0;
inline double GlobFluxDefect = 0, SurfVolDefect = 0;
inline double GlobZRef = -1e20;
inline double maxBackwater = -1e20;
inline double medianPressure1 = 0, medianPressure2 = 0;
inline double depthDepositIn = 0, depthDepositOut = 0;
inline double stimeWL1 = 0, stimeWL2 = 0;
inline double otimeWatersolve = 0, otimeSedimsolve = 0, otimeSlidesolve = 0, otimeSurfsolve = 0,
              otimeGridsolve = 0, otimeSlideVertSolve = 0;
inline double bechMeasAv = 0;
inline double MaxDepth = 0;
inline int iPres2 = 0, jPres2 = 0;
inline int inflowj = 0, inflowk = 0;
inline double GlobVolDefect = 0;

// Tables without a data set.
inline Fixed<double, 20> DischargeArray;
inline Fixed<double, 10000> bechint;
// Inflow concentrations in space per size s and point p (the `inspace` file).
inline Fixed<Fixed<double, 20>, 20> inspace;
inline Fixed<double, 5> xDelGeo, yDelGeo;
inline int FlagGridStabFix2 = 0;
inline double GridDepthFix2 = 0;

// Fixed settings kept for the whole run; the graphics writers read the first three.
inline int bnodem = 1, lnodem = 1;
inline int graphN = 0;

// Simulated time of the run (s).
inline double stimet = 0;
// Equation being assembled and solved (1..3 velocities, 4 pressure correction, 5 k,
// 6 epsilon, 7 sediment, 8 + c components), set by the flow drivers.
inline int Equation = 0;
// 1/relax[1] of the momentum equations, set by the flow drivers each outer iteration (doubled
// while they flush a divergence); the Rhie-Chow term of the face fluxes scales with it.
inline double invRelaxVelocity = 1.0;
// Normalised residuals of the current inner iteration, index = equation number.
inline Fixed<double, 50> MaxResidual;
// Discharge groups whose inflow side has no area (dry) and has been reported once for it,
// and the one report of cyclic groups 1 and 2 with lists of different length.
inline Fixed<int, 10> FlagDryGroupWarned;
inline int FlagCyclicPairsWarned = 0;
// Largest nesting level over the blocks of the last grid build.
inline int nestlevmax = 0;
// The three-dimensional grid as it stood before the depth-averaged block was appended; the
// grid and result writers use these counts.
inline int NoCells0 = 0, NoSurfaces0 = 0, NoBlocks0 = 0, NoConnect0 = 0, NoConnFlate0 = 0;
// Working ranges of cells and surfaces the flow solution works on.
inline int WCStart = 0, WCEnd = 0, WFStart = 0, WFEnd = 0;
// Level-count ratio of the unnested blocks in the two-layer grid.
inline double NestNoRatioLoc = 1.0;

// Wall-clock marks of the flow drivers (seconds, OpenMP clock).
inline Fixed<double, 80> otime;

// Puts every global of this family back to its start value.
void setBuiltins();

}  // namespace qorva
