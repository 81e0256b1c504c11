// The frame of the flow drivers: entry checks, set-up, outer iterations as steady iterations or
// time steps, the inner iterations and the steps after each, relaxation reloads and the end
// steps, each phase as the driver's form (flow/driver_frame.h) has it; and the print rule.
// Reads the driver options (K 1, K 3, F 33, F 54, F 105, F 335 ...), MaxResidual, block;
// writes Iter, stimet, the relax... factors, FlagPrint, GlobInnerIter, the old time levels,
// FlagInitialized, the form's averages, the pressure-regression sums, mc_program and otime.
#include "flow/driver_frame.h"

#include <omp.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "bed/bed.h"
#include "flow/flow.h"
#include "flow/water_solve.h"
#include "grid/columns.h"
#include "grid/grid.h"
#include "output/output.h"
#include "pressure/pressure.h"
#include "solvers/solvers.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/safe_file.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/timeseries.h"
#include "surface/surface.h"

namespace qorva {

namespace {

// Iteration numbers are tested for divisibility as doubles; a zero interval never divides.
bool divisible(double a, double b) { return std::fabs(std::fmod(a, b)) < 0.001; }

void mark(int k) { otime[k] = omp_get_wtime(); }

bool transientRun() { return TimeStep > 1e-8; }

void checkEntry() {
  if (debugging == 'Q')
    failf(-5, "%s",
          "Error: The F 1 Q data set in the control file is only used when generating\n"
          "the grid. It is not used when running the program\n\n");
  if (FlagMPI > 0)
    logf("%s",
         "Error for F 308 data set in the control file. The data set should not be \n"
         "used when computing the water flow in a Qorva version that is not MPI enabled\n\n");
}

// Set-up of one call; returns the number of outer iterations.
int setUp(const DriverForm& form) {
  metric();
  // The bridge drag and the porous bed take the plan areas of the bed cells too, and the
  // Froude-weighted terrain form (F 114 8, F 355 14) the Froude number of each cell's column.
  const bool bedCellsNeeded = FlagRoughness > 0 || surfaceNeedsBedCellsFirst() ||
                              FlagDragDLL > 0 || BridgeNo > 0 || porousBedTerms(1) ||
                              porousBedTerms(5) || (FlagPresGrad == 8 && FlagPresSource == 14);
  if (form.bedMakeEveryEntry)
    BedMake();
  else if (NoBCells == 0 && bedCellsNeeded && (FlagTSC == 0 || Iter == 0))
    BedMake();
  startup();
  if (FlagTSC == 0 && !gridSequencing()) computeWCStart();
  if (FlagInitialized == 0) {
    waterflow(WFStart, WFEnd);
    *form.averages = DriverAverages{};
  }
  FlagInitialized = 1;
  if (!form.bedMakeEveryEntry && FlagTSC == 0 && surfaceDriverAlgorithm() &&
      NoBCells == 0)
    BedMake();
  if (form.referenceColumn && surfaceAlgorithmChosen() && jPres == 0 && kSurf > 0) SetiPresjPres();
  if (Cthixolev && stimet < 1e-9)
    for (int c = WCStart; c <= WCEnd; ++c) {
      Cthixolev[c] = 0;
      Cthixorat[c] = 0.0;
    }
  if (TurbDensFlag > 0)
    // Total concentration for the density damping.
    for (int c = WCStart; c <= WCEnd; ++c) {
      double sum = 0.0;
      for (int l = 1; l <= lnumber; ++l) sum += Cconc[l][c];
      Cconc[0][c] = sum;
    }
  if (TimePrintNo > 0 && FlagTSC == 0) {
    OutFile("timeo").commitOrEnd(-3);  // emptied for the print times of this run
  }
  const int N = gridSequencing() ? 300 : FlagTSC > 0 ? 1 : iterGlobalMax;
  if (FlagTSC == 0 && transientRun()) stimet = 0.0;
  if (Flag2DAccSolver > 0 && NoBlocks >= 1 && block[NoBlocks].flag2D != 1) AlgMGMake();
  if (FlagTSC == 0) mark(0);
  return N;
}

void reloadRelaxation() {
  relaxPressure = relax[4];
  relaxVelocity = relax[1];
  invRelaxVelocity = 1.0 / relax[1];
  relaxK = relax[5];
  relaxEpsilon = relax[6];
}

// The only place where the frame makes the old time levels.
void advanceTime() {
  if (!Cxvel_old || !Ckinen_old || !Cepsilon_old)
    failf(1, "Error: a time step (F 33) needs the arrays of the previous time level, which were "
             "not allocated\n");
  // The level before the old one; at the first step of a run there is no earlier field than
  // the present one (an unset old level would read as water at rest).
  if (FlagTimeOrder > 0 && Cxvel_old2) {
    const bool made = FlagOldLevelMade != 0;
    const Table1<double>& u = made ? Cxvel_old : Cxvel;
    const Table1<double>& v = made ? Cyvel_old : Cyvel;
    const Table1<double>& w = made ? Czvel_old : Czvel;
    for (int c = WCStart; c <= WCEnd; ++c) {
      Cxvel_old2[c] = u[c];
      Cyvel_old2[c] = v[c];
      Czvel_old2[c] = w[c];
    }
  }
  copyFlowToOld(WCStart, WCEnd, AlsoOld::None);
  FlagOldLevelMade = 1;
  if (FlagTComp == 1 && Ccomp_old)
    for (int k = 0; k < NoComponents; ++k)
      for (int c = WCStart; c <= WCEnd; ++c) Ccomp_old[k][c] = Ccomp[k][c];
  stimet += TimeStep;
}

void outerHead(const DriverForm& form, int i) {
  if (FlagTSC == 0 && !gridSequencing()) Iter = i;
  reloadRelaxation();
  if (NoProcessesSolver > 0) {
    deltac = (WCEnd - WCStart + 1) / NoProcessesSolver;
    deltaf = (WFEnd - WFStart + 1) / NoProcessesSolver;
  }
  if (FlagTSC == 0) setPrintFlag(form.printRule);
  if (transientRun()) advanceTime();
  if (TimePrintNo > 0 && FlagTSC == 0 && stimet >= TimePrint[0].time &&
      (divisible(Iter, PrintIterTime) || Iter == 2))
    TimePrintFunction();
  if (form.mudSteps && FlagThixoDamp == 5 && FlagTSC == 0) {
    if (FlagGroundwater == 2) groundwater();
    computeSlideLocation();
    if (FlagThixoTimestep == 1) computeChangeTimestep();
  }
}

// The inner-iteration count fixed on entry, or 0 when the form reads it afresh.
int innerCountOnEntry(const DriverForm& form) {
  if (!form.innerCountOnEntry) return 0;
  if (Iter == 1 && FirstIterNo > 0 && FlagThixoIsComputing == 0 && FirstIterNo > TransInnerIter)
    return FirstIterNo;
  return TransInnerIter;
}

int innerCount(const DriverForm& form, int onEntry) {
  return form.innerCountOnEntry ? onEntry : TransInnerIter;
}

// Largest residual of the six flow equations; a residual that is not a number makes R not a
// number too, so that no test on it passes.
double maxResidual() {
  double R = 0.0;
  for (int e = 1; e <= 6; ++e) {
    if (MaxResidual[e] < 1e-90) MaxResidual[e] = 0.0;
    if (std::isnan(MaxResidual[e])) return MaxResidual[e];
    if (MaxResidual[e] > R) R = MaxResidual[e];
  }
  return R;
}

bool validCell(int c) { return c >= 0 && static_cast<std::size_t>(c) < Ctrekant.size(); }

// Steps after inner iteration m; returns true when the driver must end at once.
bool endInner(const DriverForm& form, int m, double& R, const FieldRef& cf,
              const FieldRef& cfOld) {
  R = maxResidual();
  Cf = cf;
  Cf_old = cfOld;
  if (Ctrekant && m == TransInnerIter && validCell(Glob_dmI)) {
    const int code = Ctrekant[Glob_dmI];
    if (code > 0 && code < static_cast<int>(NoErrorsTrekant.size())) NoErrorsTrekant[code] += 1;
  }
  if (FlagCorrTrekant > 0 && debugging == 'D' && m == TransInnerIter && MaxResidual[4] < 0.03 &&
      Ctrekant && validCell(Glob_dmI) && Ctrekant[Glob_dmI] > 0 && Cpres_res &&
      std::fabs(Cpres_res[Glob_dmI]) > 0.003)
    printDebugTrekant(Glob_dmI, m);
  if (form.gridRepair && FlagModifyGrid > 0 && R > MaxModifyGrid && m > 10) ModifyGrid();
  if (printEndWaterSolve(m) == 1) return true;
  if (divisible(Iter, IterSurface) && iSurf > 0 && R < ConvSurface && FlagTFS == 0 && FlagRoof == 1)
    surface();
  return false;
}

// Per column of the unskipped blocks, the regression sums of the top-cell pressure over the
// sample number. The integer sum of squares passes the int range after about 1860 samples; a
// column then keeps the sums of the samples it has, all five over the same samples, instead of
// wrapping round.
void pressureRegression() {
  RegIter += 1;
  const long long square = static_cast<long long>(RegIter) * RegIter;
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (k.skip != 0) continue;
    for (int i = k.i1; i <= k.i2; ++i)
      for (int j = k.j1; j <= k.j2; ++j) {
        const int t = columnTop(i, j);
        if (t == 0) continue;
        if (PresRegresSumXX[i][j] + square > std::numeric_limits<int>::max()) continue;
        PresRegresN[i][j] += 1;
        PresRegresSumX[i][j] += RegIter;
        PresRegresSumXX[i][j] += static_cast<int>(square);
        PresRegresSumPres[i][j] += Cpres[t];
        PresRegresSumXPres[i][j] += RegIter * Cpres[t];
      }
  }
}

// Puts the pressure of block 1 relative to its reference cell before the surface moves.
void scalePressure() {
  int ref = 0;
  if (iPres > 0 && jPres > 0 && static_cast<std::size_t>(iPres) < zval.dim(0) &&
      static_cast<std::size_t>(jPres) < zval.dim(1))
    ref = static_cast<int>(zval[iPres][jPres][0]);
  if (ref < 1) ref = block[1].cellend;
  if (ref < 0 || ref > NoCells) return;
  const double p0 = Cpres[ref];
  for (int c = std::max(block[1].cellstart, 0); c <= block[1].cellend && c <= NoCells; ++c)
    Cpres[c] -= p0;
}

void surfaceUpdates(SurfaceTest test, double R) {
  const bool main = test == SurfaceTest::Main;
  if (surfaceBetweenOuterIterations() && (!main || FlagCallSurface == 0)) {
    if (FlagRoof == 1 && Iter != 0 && (!main || FlagThixoIsComputing == 0) &&
        divisible(Iter, IterWaterUpdate)) {
      if (R < SurfResCrit || (SurfResCrit < 0 && MaxResidual[4] < 0.001) || FlagMPI > 0 ||
          (main && FlagTFS == 3)) {
        if (main && FlagScalePressure > 0 && FlagThixoIsComputing == 0) scalePressure();
        surface();
      } else {
        NoNumNoSurfUpdate += 1;
      }
    }
  } else if (transientSurface()) {
    if (FlagRoof == 1 && Iter != 0 && !mudBlock()) surface_tfs(0, 1);
  }
  if (bedCellLevelScheme() && divisible(Iter, IterWaterUpdate)) surface_LS_update();
}

// Steps after the inner iterations of an outer iteration that did m of them.
void endOuter(const DriverForm& form, int m, double R) {
  if (FlagThixoIsComputing == 0) {
    if (PrintRes != 0 && divisible(Iter + 1, PrintRes))
      sprintflow();
    else if (PrintResAlways != 0 && Iter > PrintResAlways)
      sprintflow();
    mark(26);
  }
  DriverAverages& a = *form.averages;
  a.maxResidual += R;
  a.innerIter += m;
  a.count += 1;
  GlobInnerIter = m;
  if (FlagPrint == 0 && debugging == 'D')
    logf("Average max residual: %lf, Average number of inner iterations: %lf\n",
         a.maxResidual / (a.count + 1e-20), a.innerIter / (a.count + 1e-20));
  if (PresRegres > 0 && PresRegresN) pressureRegression();
  if (FlagThixoIsComputing == 0) {
    mark(27);
    otime[28] = otime[29] = otime[30] = otime[27];
  }
  surfaceUpdates(form.surfaceTest, R);
  if (FlagThixoIsComputing == 0) mark(31);
}

void endDriver() {
  if (FlagMPI > 0 && FlagPresMPIboundary == 8) limitPressureMPI();
  if (FlagMPI > 0 && FlagTSC == 0) {
    sprintflow();
    return;
  }
  gFlagFlow = 0;
  FlagRhieChow = OrigFlagRhieChow;
  reloadRelaxation();
  if (FlagThixoIsComputing == 0) mark(32);
}

}  // namespace

void setPrintFlag(PrintRule rule) {
  const double it = Iter;
  const bool print = debugging == 'D' || debugging == 'E' || Iter < 10 || Iter == iterGlobalMax ||
                     (Iter < 100 && divisible(it, 10)) || divisible(it, PrintIterBoogie) ||
                     (rule == PrintRule::WithJ && debugging == 'J' && divisible(it, 100));
  FlagPrint = print ? 0 : 1;
}

int runInnerIteration(const DriverForm& form, int m) {
  mc_program = form.phaseText(m);
  return form.innerSteps(m);
}

void runFlowDriver(const DriverForm& form) {
  // The pressure-correction field and its old level, as found on entry: the inner iteration
  // points Cf and Cf_old elsewhere and each inner iteration ends by pointing them back.
  const FieldRef cf = Cf;
  const FieldRef cfOld = Cf_old;

  Glob_dmI = 0;
  GlobContinuity = 0.0;
  FlagFlushIter = 0;
  const int n = innerCountOnEntry(form);
  checkEntry();

  const int N = setUp(form);
  // Only a steady run of its own outer iterations can stall; a time step or a sediment step
  // ends after its iterations anyway.
  const bool watchStall = FlagTSC == 0 && !transientRun() && !gridSequencing() && FlagMPI == 0;
  StallWatch stall;
  if (watchStall && N >= 1) adviseAccelerator();
  if (N >= 1) {
    double R = 10000.0;
    for (int i = 1; i <= N; ++i) {
      outerHead(form, i);
      int m = 1;  // also when no inner iteration runs
      for (int k = 1; k <= innerCount(form, n); ++k) {
        m = k;
        // The pressure step's free-surface calls look at the largest residual so far.
        WaterSolveResidual = R;
        // The free-surface hand-over of F 36 6 leaves the driver from the pressure step.
        if (runInnerIteration(form, m) == 1) return;
        if (endInner(form, m, R, cf, cfOld)) return;
        const bool goOn = !transientRun() || R >= TimeBreakLimit || FlagMPI != 0;
        if (!goOn) break;
      }
      endOuter(form, m, R);
      if (form.endTimeTest && stimet > TimeEnd) break;
      if (watchStall && stall.stalled(i)) {
        reportStall(stall);
        break;
      }
    }
  }
  endDriver();
}

}  // namespace qorva
