// Start values of the globals that no data set sets: counters, status flags, accumulated
// values and the block and discharge-group tables.
#include <algorithm>
#include <initializer_list>

#include "state/blocks.h"
#include "state/groups.h"
#include "state/mud.h"
#include "state/sediment_run.h"
#include "state/status.h"
#include "state/survey.h"

namespace qorva {

void resetBlocks() {
  for (GridBlock& b : block) {
    b = GridBlock{};
    b.aux1 = 1;
  }
  for (int& w : WorkBlock) w = 0;
  for (int& n : blocknested) n = 0;
  for (BlockConnection& c : conn) c = BlockConnection{};
  NoBlocks = 0;
}

void resetDischargeGroups() {
  for (DischargeGroup& g : DischargeStruct) {
    // The long lists are cleared up to their counts only; a count outside its list means the
    // record was never consistent, and then the whole list is cleared.
    const auto clearUsed = [](auto& list, long long used) {
      const long long n = static_cast<long long>(list.size());
      std::fill(list.begin(), list.begin() + (used >= 0 && used < n ? used + 1 : n), 0);
    };
    clearUsed(g.surfaceList, g.surfaceNo);
    clearUsed(g.levelList, g.surfaceNo);
    clearUsed(g.x, g.xyNo);
    clearUsed(g.y, g.xyNo);
    clearUsed(g.bedCellList, g.bedCellList[0]);
    g.inflowFlag = 1;
    g.bcType = 0;
    g.componentNo = 0;
    g.lowLevel = 1;
    g.topLevel = 151;
    g.surfaceNo = 0;
    g.xyNo = 0;
    g.massDischarge = 0;
    g.inflowConc = 0;
    g.inflowK = 0;
    g.inflowEps = 0;
    g.area = 0;
  }
  for (SurfaceDischargeGroup& s : SurfDischargeStruct) s = SurfaceDischargeGroup{};
}

void resetSedimentRun() {
  for (SizeCounters* t : {&kIn, &kUt, &kSusp, &kSuspo, &kLayer1, &kLayer2, &kBedmove,
                          &Bvollefttot, &kDefectRatio, &bedLimDef, &suspDef, &totalsusp})
    for (double& v : *t) v = 0;
  for (double& v : concBuffer) v = -1.0;
  kLimDef = SumBedMoveDef = SuspVolChangeDef = BedMoveDefectAbs = BedMoveDefectSum = 0;
  SumBedChangeLoc = 0;
  bechStanddev = 0;
  mc_v2.clear();
  gFlagSedim = 0;
  SedStepsDone = 0;
  SedTimeDone = 0;
  FlagSedRestart = RestartSedStep = 0;
  RestartSedTime = 0;
}

void setBuiltins() {
  resetSedimentRun();
  mc_message.clear();
  mc_program.clear();
  mc_v1.clear();

  Iter = 0;
  NoBCells = 0;
  NoConnect = 0;
  NoNestflater = 0;
  NoCyclesDone = 0;
  FlushedNo = 0;
  NoNumSurfUpdate = NoNumNoSurfUpdate = 0;
  TimeInNo = TimePrintNo = 0;
  TimeInHoutGiven = TimeInHinnGiven = false;
  TimeInWind = false;
  InspaceTimeNo = 0;
  NoAlldataPrintout = 0;
  AlldataPrintout = {};
  NoGeo = 0;
  resetSurveyPoints();
  resetMudState();
  NoInterpol = -1;
  NoBaggerTimes = -1;
  NoBdatasets = -1;
  for (int& b : Bdatasets) b = 0;
  NoDepthTimeo = 0;
  BedStatNo = 0;
  for (int& n : NoErrorsTrekant) n = 0;
  NoCellsUpMPI = NoCellsDownMPI = 0;
  grainsize_number = 1;
  MGSGrid = 0;
  NoMGlevels = 0;
  FlagNotedNoLevels = 0;
  FlagNotedNoBlockCorrection = 0;
  BlockID = 1;
  RoughnessIter = 1;

  FlagGridChange = 0;
  FlagMPIkoosurf = 0;
  FlagInitialized = 0;
  FlagInitialFinished = 0;
  FlagInitializedInvAp = 0;
  FlagOldLevelMade = 0;
  FlagHaveDoneMetric = 0;
  FlagGridHasChanged = 0;
  FlagNeedsToBeInterpolated = 0;
  FlagFieldsCarried = 0;
  FlagReadAlldata = FlagReadFracres = FlagReadRes = FlagReadUnstruc = 0;
  FlagReadNdata = 0;
  FlagHaveReadCyclic = FlagHaveInitiatedCyclic = 0;
  FlagDischargeTime = FlagJTime = 0;
  FlagErrorBreak = 0;
  IterConverged = 0;
  IterStalled = 0;
  FlagThixoIsComputing = 0;
  FlagWhatsRunning = FlagWantToPrint = 0;
  FlagBechInt = 0;
  FlagInspace = 0;
  FlagInitPoros = MorphInitiated = 0;
  FlagFracVer0 = FlagImplicitMPI = FlagAngleType = 0;
  FlagDSO1 = -1;

  AvDepthTimeo = AvShearTimeo1 = AvShearTimeo2 = AvShearTimeo3 = AvShearTimeo4 = 0;
  SumBedChange = SumInflow = SumOutflow = PrintMaxErrorSuspSed = SurfacesBM = 0;
  BedMoveDefectSum = BedMoveDefectAbs = SuspVolChangeDef = SumBedMoveDef = SumBedChangeLoc = 0;
  scaleBackwater = scaleBackwater2 = 0;
  FlagTimeoWarned = 0;
  GlobFluxDefect = SurfVolDefect = 0;
  GlobZRef = -1e20;
  GlobPresRef = GlobZRef2 = GlobPresRef2 = 0;
  GlobZRefHeld = GlobZRef2Held = -1e20;
  maxBackwater = -1e20;
  medianPressure1 = medianPressure2 = 0;
  depthDepositIn = depthDepositOut = 0;
  stimeWL1 = stimeWL2 = 0;
  otimeWatersolve = otimeSedimsolve = otimeSlidesolve = otimeSurfsolve = otimeGridsolve =
      otimeSlideVertSolve = 0;
  bechMeasAv = 0;
  MaxDepth = 0;
  iPres2 = jPres2 = 0;
  inflowj = inflowk = 0;
  GlobVolDefect = 0;
  for (int& r : rute) r = 0;
  FlagSurfTraceHeader = FlagSurfTraceOpen = FlagSurfTraceWarned = 0;

  resetDischargeGroups();
  resetBlocks();
  for (double& d : DischargeArray) d = -1.0;
  for (double& b : bechint) b = 1e20;
  for (auto& row : inspace) for (double& s : row) s = 0;
  for (double& x : xDelGeo) x = 0;
  for (double& y : yDelGeo) y = 0;
  FlagGridStabFix2 = 0;
  GridDepthFix2 = 0;

  stimet = 0;
  ThixoTimeStepBase = -1.0;
  Equation = 0;
  invRelaxVelocity = 1.0;
  TDalpha = TDbeta = 0;
  for (double& r : MaxResidual) r = 0;
  relaxVelocity = 0.8;
  relaxPressure = 0.2;
  relaxK = relaxEpsilon = 0.5;
  for (double& r : NormResidual) r = 0;
  FlagPrint = 1;
  GlobInnerIter = 0;
  Glob_dmI = 0;
  GlobDefMax = GlobContinuity = 0;
  FlagFlushIter = 0;
  ResMax = ResMaxPrev = 0;
  gFlagFlow = 0;
  gFlagWriteR = 0;
  FlagFirstP = FlagBedtestMade = 0;
  RegIter = 0;
  deltac = deltaf = 0;
  for (int& w : FlagDryGroupWarned) w = 0;
  FlagCyclicPairsWarned = 0;
  for (int& w : FlagShareGroupWarned) w = 0;
  nestlevmax = 0;
  NoCells0 = NoSurfaces0 = NoBlocks0 = NoConnect0 = NoConnFlate0 = 0;
  WCStart = WCEnd = WFStart = WFEnd = 0;
  WBStart = WBEnd = 0;
  NestNoRatioLoc = 1.0;
  Xkappa = 0.4;
  for (double& f : kSF) f = 0;

  bnodem = lnodem = 1;
  graphN = 0;
  for (double& t : otime) t = 0;
}

}  // namespace qorva
