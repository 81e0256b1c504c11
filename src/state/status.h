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
// The rows of timei give a downstream (Hout) and an upstream (Hin) water level: H, I and J
// rows both, D and N rows the downstream one where a reference asks for it. A level may be
// 0 m or below (a sea-level datum); these say whether there is one.
inline bool TimeInHoutGiven = false, TimeInHinnGiven = false;
// The timei series carried wind rows (I, M or N records with the wind of F 52 read).
inline bool TimeInWind = false;
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
// Levels the two-dimensional multigrid solvers may use: the levels built by AlgMGMake are
// 1..NoMGlevels - 1.
inline int NoMGlevels = 0;
// 1 once the run has logged that the multigrid ran without its levels, or that the block
// correction does not apply to the form of an equation.
inline int FlagNotedNoLevels = 0, FlagNotedNoBlockCorrection = 0;
inline int BlockID = 1;
inline int RoughnessIter = 1;

// Status flags (0 = not yet).
inline int FlagGridChange = 0;
inline int FlagMPIkoosurf = 0;
inline int FlagInitialized = 0;
// 1 once a run has its whole starting state (set by the reader of alldata).
inline int FlagInitialFinished = 0;
inline int FlagInitializedInvAp = 0;
// 1 once the previous time level holds a field of this run (a time step or a read result).
inline int FlagOldLevelMade = 0;
inline int FlagHaveDoneMetric = 0;
inline int FlagGridHasChanged = 0;
inline int FlagNeedsToBeInterpolated = 0;
// 1 while the _carry arrays hold the fields of the grid being replaced (a steady run keeps
// them just before it rebuilds the grid); the transfer that reads them clears it.
inline int FlagFieldsCarried = 0;
inline int FlagReadAlldata = 0, FlagReadFracres = 0, FlagReadRes = 0, FlagReadUnstruc = 0;
inline int FlagReadNdata = 0;
inline int FlagHaveReadCyclic = 0, FlagHaveInitiatedCyclic = 0;
inline int FlagDischargeTime = 0, FlagJTime = 0;
inline int FlagErrorBreak = 0;
// The outer iteration at which the flow driver last said "Solution converged", 0 when it has not
// (the task driver tells a flow that ended at its iteration limit by it).
inline int IterConverged = 0;
// The outer iteration at which the flow driver stopped a steady run whose residuals had stopped
// falling ("Solution stalled"), 0 when it has not.
inline int IterStalled = 0;
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
// Sediment balance of the run (kg), largest error of the suspended sediment (percent), volume
// of bed change of the step (m3), the backwater scales of the free surface; the time series
// writes them. 1 once the time series has reported a cell the grid does not have.
inline double SumBedChange = 0, SumInflow = 0, SumOutflow = 0, PrintMaxErrorSuspSed = 0,
              SurfacesBM = 0, scaleBackwater = 0, scaleBackwater2 = 0;
inline int FlagTimeoWarned = 0;
inline double GlobFluxDefect = 0, SurfVolDefect = 0;
// Reference level (m) and pressure (Pa) of the free surface at the reference column, and at
// the second reference column or inflow group (0 when there is none); -1e20 = not yet set.
inline double GlobZRef = -1e20;
inline double GlobPresRef = 0, GlobZRef2 = 0, GlobPresRef2 = 0;
// The reference levels the pressure-based node update keeps when no series gives them: the
// first levels found (-1e20 = not yet).
inline double GlobZRefHeld = -1e20, GlobZRef2Held = -1e20;
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
// Route of the flow path of the grid-split prevention: bed cells in path order, ended by 0.
inline Fixed<int, 10000> rute;
// Trace file boogie-t of the free surface: its header is written (1), a record of the present
// update waits for its end from the tail (1), a failed write has been reported (1).
inline int FlagSurfTraceHeader = 0, FlagSurfTraceOpen = 0, FlagSurfTraceWarned = 0;

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
// The run's time step (s) that the mud-flow step rule of F 336 returns to: taken from TimeStep
// at the rule's first call of the run, below 0 until then.
inline double ThixoTimeStepBase = -1.0;
// Equation being assembled and solved (1..3 velocities, 4 pressure correction, 5 k,
// 6 epsilon, 7 sediment, 8 + c components), set by the flow drivers.
inline int Equation = 0;
// 1/relax[1] of the momentum equations, set by the flow drivers each outer iteration (doubled
// while they flush a divergence); the Rhie-Chow term of the face fluxes scales with it.
inline double invRelaxVelocity = 1.0;
// Exponent (<= 0) and coefficient (>= 0) of the stratification damping (1 + beta Ri)^alpha in
// force: the flow drivers set them from F 82 before the momentum and before the k and
// epsilon equations.
inline double TDalpha = 0, TDbeta = 0;
// Normalised residuals of the current inner iteration, index = equation number.
inline Fixed<double, 50> MaxResidual;
// Relaxation factors of the flow drivers in force (from relax[], reset every outer iteration,
// halved by flushing).
inline double relaxVelocity = 0.8, relaxPressure = 0.2, relaxK = 0.5, relaxEpsilon = 0.5;
// Residual norm of each equation (index = equation number), set by startup.
inline Fixed<double, 50> NormResidual;
// 0: the residual line of this outer iteration is printed.
inline int FlagPrint = 1;
// Inner iterations of the last outer iteration of the main driver.
inline int GlobInnerIter = 0;
// Cell of the largest mass defect, that defect and the total continuity defect of the last
// inner iteration; flushings made in the current driver call.
inline int Glob_dmI = 0;
inline double GlobDefMax = 0, GlobContinuity = 0;
inline int FlagFlushIter = 0;
// Largest residual of the last inner iteration that ended, and of the one before it (the
// growth test of the flushing compares them, also across driver calls).
inline double ResMax = 0, ResMaxPrev = 0;
// Set while a flow driver may hand over to the free-surface step; 0 when a driver ends.
inline int gFlagFlow = 0;
// 1 while the output dispatcher writes its files.
inline int gFlagWriteR = 0;
// 1 once the profile appended to boogie.spe over the run has its heading.
inline int FlagFirstP = 0;
// 1 once the continuity test file bedtest of the bed-layer sections has been started.
inline int FlagBedtestMade = 0;
// Samples of the pressure-regression sums.
inline int RegIter = 0;
// Chunk sizes (cells, surfaces) of the parallel regions of the flow drivers.
inline int deltac = 0, deltaf = 0;
// Discharge groups whose inflow side has no area (dry) and has been reported once for it,
// and the one report of cyclic groups 1 and 2 with lists of different length.
inline Fixed<int, 10> FlagDryGroupWarned;
inline int FlagCyclicPairsWarned = 0;
// Discharge groups whose share of the continuity source had nothing to be spread over (no
// area, no weight or no outward flow) and have been reported once for it.
inline Fixed<int, 10> FlagShareGroupWarned;
// Largest nesting level over the blocks of the last grid build.
inline int nestlevmax = 0;
// The three-dimensional grid as it stood before the depth-averaged block was appended; the
// grid and result writers use these counts.
inline int NoCells0 = 0, NoSurfaces0 = 0, NoBlocks0 = 0, NoConnect0 = 0, NoConnFlate0 = 0;
// Working ranges of cells and surfaces the flow solution works on.
inline int WCStart = 0, WCEnd = 0, WFStart = 0, WFEnd = 0;
// Working range of bed cells.
inline int WBStart = 0, WBEnd = 0;
// Level-count ratio of the unnested blocks in the two-layer grid.
inline double NestNoRatioLoc = 1.0;
// Von Karman constant of the wall laws, stored by them on every call (0.4).
inline double Xkappa = 0.4;
// Safety factor of each slide (index = slide 0..2999); the mud-layer viscosity reads slide 0.
inline Fixed<double, 3000> kSF;

// Wall-clock marks of the flow drivers (seconds, OpenMP clock).
inline Fixed<double, 80> otime;

// Puts every global of this family back to its start value.
void setBuiltins();

}  // namespace qorva
