// The frame of the main flow driver on a generated block of 2 x 2 columns of three cells, run
// with no inner iterations (F 33 0) so that only the driver's own steps act: entry checks,
// outer iterations as steady iterations or time steps, the old time levels, the print flag,
// the relaxation reloads, the end-of-iteration sums and the end steps; and the time step of the
// mud-flow model.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "flow/flow.h"
#include "grid/generator.h"
#include "grid/grid.h"
#include "state/arrays.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/inflow_profiles.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "support/flume.h"
#include "support/scratch.h"

namespace qorva {
namespace {

const char* const kRelaxationLine = "Relaxation: 0.800000 0.200000 0.500000 0.500000\n";

int countOf(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t p = text.find(part); p != std::string::npos; p = text.find(part, p + 1)) ++n;
  return n;
}

class WaterSolveTest : public test::Scratch {
 protected:
  void TearDown() override {
    resetSideFiles();
    test::Scratch::TearDown();
  }

  // Block 1: columns i, j = 2..3 on the grid lines 1..3, one metre apart, 2 m deep, three
  // cells each: the bottom cells of (2, 2), (3, 2), (2, 3), (3, 3) are 1, 4, 7, 10. `options`
  // sets what decides the arrays (time step, F 208, ...) before they are made. The driver then
  // runs no inner iteration unless a test asks for one.
  void grid(const std::function<void()>& options = [] {}) {
    SetArraysZero();
    setDefaults();
    xnumber = ynumber = 5;
    znumber = 5;
    MaxCeller = 200;
    MaxFlater = 600;
    MaxPunkter = 400;
    options();
    ASSERT_EQ(sialloc(), 0);
    NoBlocks = 1;
    block[1].i1 = 2;
    block[1].i2 = 3;
    block[1].j1 = 2;
    block[1].j2 = 3;
    block[1].bedfollow = 1;
    for (int i = 1; i <= 3; ++i)
      for (int j = 1; j <= 3; ++j) {
        xval[i][j] = i - 1;
        yval[i][j] = j - 1;
        zval[i][j][1] = -2.0;
        zval[i][j][znumber] = 0.0;
      }
    ASSERT_EQ(Unstructure(), 1);
    ASSERT_EQ(NoCells, 12);
    std::filesystem::remove("boogie");
    TransInnerIter = 0;
  }

  static int run() {
    try {
      WaterSolve();
    } catch (const RunEnd& e) {
      return e.status;
    }
    return 1000;
  }
};

TEST_F(WaterSolveTest, F1QIsRefusedOnEntry) {
  debugging = 'Q';
  EXPECT_EQ(run(), -5);
  EXPECT_EQ(log(),
            "Error: The F 1 Q data set in the control file is only used when generating\n"
            "the grid. It is not used when running the program\n\n");
}

TEST_F(WaterSolveTest, F308IsReportedAndTheComputationGoesOn) {
  grid();
  FlagMPI = 1;
  iterGlobalMax = 0;
  run();  // ends with the result output of a block-division run
  const std::string text = log();
  const std::string warning =
      "Error for F 308 data set in the control file. The data set should not be \n"
      "used when computing the water flow in a Qorva version that is not MPI enabled\n\n";
  EXPECT_EQ(text.rfind(warning, 0), 0u) << text;
  EXPECT_NE(text.find("Relaxation: ", warning.size()), std::string::npos) << text;
}

// Without inner iterations every outer iteration adds R = 10000 and m = 1 to the averages;
// the relaxation factors come from relax[] as they are, although startup bounds them.
TEST_F(WaterSolveTest, SteadyOuterIterationsAndTheEndSteps) {
  grid();
  iterGlobalMax = 3;
  debugging = 'D';
  relax[1] = 3.0;
  relax[5] = 0.001;
  stimet = 5.0;
  FlagRhieChow = 2;
  OrigFlagRhieChow = 1;
  gFlagFlow = 1;
  Glob_dmI = 7;
  GlobContinuity = 0.5;
  FlagFlushIter = 3;
  for (int f = 0; f <= NoSurfaces; ++f) Fflux[f] = 1.0;
  ASSERT_EQ(run(), 1000);
  EXPECT_EQ(Iter, 3);
  EXPECT_EQ(GlobInnerIter, 1);
  EXPECT_EQ(stimet, 5.0);  // steady: the time is neither reset nor advanced
  EXPECT_EQ(FlagInitialized, 1);
  EXPECT_EQ(relaxVelocity, 3.0);
  EXPECT_DOUBLE_EQ(invRelaxVelocity, 1.0 / 3.0);
  EXPECT_EQ(relaxK, 0.001);
  EXPECT_EQ(relaxPressure, 0.2);
  EXPECT_EQ(relaxEpsilon, 0.5);
  EXPECT_EQ(FlagRhieChow, 1);
  EXPECT_EQ(gFlagFlow, 0);
  EXPECT_EQ(Glob_dmI, 0);
  EXPECT_EQ(GlobContinuity, 0.0);
  EXPECT_EQ(FlagFlushIter, 0);
  // The first face fluxes come from the still water.
  for (int f = 1; f <= NoSurfaces; ++f) EXPECT_EQ(Fflux[f], 0.0) << f;
  const std::string text = log();
  // startup bounded the factors for the set-up.
  EXPECT_EQ(text.rfind("Relaxation: 0.001000 0.200000 0.010000 0.500000\n", 0), 0u) << text;
  EXPECT_EQ(countOf(text, "Average max residual: 10000.000000, Average number of inner "
                          "iterations: 1.000000\n"),
            3)
      << text;
}

TEST_F(WaterSolveTest, NoOuterIterationOnlySetsUpAndEnds) {
  grid();
  iterGlobalMax = 0;
  relax[1] = 3.0;
  Iter = 9;
  ASSERT_EQ(run(), 1000);
  EXPECT_EQ(Iter, 9);
  EXPECT_EQ(GlobInnerIter, 0);
  EXPECT_EQ(FlagInitialized, 1);
  EXPECT_EQ(relaxVelocity, 3.0);
  EXPECT_EQ(WCStart, 1);
  EXPECT_EQ(WCEnd, 12);
}

struct StepCase {
  const char* name;
  double timeStep;
  int outer;        // iterGlobalMax
  double timeEnd;
  int lastIter;
  double lastTime;  // stimet after the call, from 7.0 on entry
};

TEST_F(WaterSolveTest, TimeStepsAdvanceTheTimeUntilTheEnd) {
  const std::vector<StepCase> cases = {
      {"four steps", 0.5, 4, 1e50, 4, 2.0},
      {"the step that passes the end time is the last", 0.5, 4, 1.2, 3, 1.5},
      {"an end time reached exactly does not stop", 0.5, 4, 1.5, 4, 2.0},
      {"a step of 1e-8 is steady", 1e-8, 2, 1e50, 2, 7.0},
  };
  for (const StepCase& k : cases) {
    SCOPED_TRACE(k.name);
    grid([&] { TimeStep = k.timeStep; });
    iterGlobalMax = k.outer;
    TimeEnd = k.timeEnd;
    stimet = 7.0;
    ASSERT_EQ(run(), 1000);
    EXPECT_EQ(Iter, k.lastIter);
    EXPECT_DOUBLE_EQ(stimet, k.lastTime);
  }
}

// The old time level is made at the head of every time step from the current fields; with
// F 208 the level before it moves one back first.
TEST_F(WaterSolveTest, OldTimeLevelsAtTheHeadOfATimeStep) {
  grid([] {
    TimeStep = 0.5;
    FlagTimeOrder = 1;
  });
  iterGlobalMax = 1;
  FlagInitialized = 1;  // fields from a restart: kept by startup
  FlagOldLevelMade = 1;  // and the restart's old level
  for (int c = 1; c <= NoCells; ++c) {
    Cxvel[c] = 0.3;
    Cyvel[c] = -0.1;
    Czvel[c] = 0.01;
    Ckinen[c] = 0.02;
    Cepsilon[c] = 0.001;
    Cxvel_old[c] = 0.1;
    Cyvel_old[c] = 0.2;
  }
  ASSERT_EQ(run(), 1000);
  EXPECT_EQ(FlagOldLevelMade, 1);
  for (int c = 1; c <= NoCells; ++c) {
    EXPECT_EQ(Cxvel_old2[c], 0.1) << c;
    EXPECT_EQ(Cyvel_old2[c], 0.2) << c;
    EXPECT_EQ(Cxvel_old[c], 0.3) << c;
    EXPECT_EQ(Cyvel_old[c], -0.1) << c;
    EXPECT_EQ(Czvel_old[c], 0.01) << c;
    EXPECT_EQ(Ckinen_old[c], 0.02) << c;
    EXPECT_EQ(Cepsilon_old[c], 0.001) << c;
  }
}

// The first step of a run has no level before the present fields: the level before the old
// one is the present field too, not an unset array that reads as water at rest (which pulled
// the three-level time term towards 4/3 of the start velocities).
TEST_F(WaterSolveTest, FirstStepOfARunTakesThePresentFieldForBothOldLevels) {
  grid([] {
    TimeStep = 0.5;
    FlagTimeOrder = 1;
  });
  iterGlobalMax = 1;
  FlagInitialized = 1;
  ASSERT_EQ(FlagOldLevelMade, 0);
  for (int c = 1; c <= NoCells; ++c) {
    Cxvel[c] = 0.3;
    Cyvel[c] = -0.1;
    Czvel[c] = 0.01;
  }
  ASSERT_EQ(run(), 1000);
  EXPECT_EQ(FlagOldLevelMade, 1);
  for (int c = 1; c <= NoCells; ++c) {
    EXPECT_EQ(Cxvel_old2[c], 0.3) << c;
    EXPECT_EQ(Cyvel_old2[c], -0.1) << c;
    EXPECT_EQ(Czvel_old2[c], 0.01) << c;
    EXPECT_EQ(Cxvel_old[c], 0.3) << c;
  }
}

// A call from the sediment loop (F 37): one time step on the caller's range, Iter and the
// print flag as the caller left them.
TEST_F(WaterSolveTest, SedimentLoopCallDoesOneStepOnTheCallersRange) {
  grid([] { TimeStep = 0.5; });
  FlagTSC = 1;
  FlagInitialized = 1;
  Iter = 7;
  FlagPrint = 1;
  stimet = 3.0;
  WCStart = 4;
  WCEnd = 6;
  for (int c = 1; c <= NoCells; ++c) Cxvel[c] = 0.3;
  ASSERT_EQ(run(), 1000);
  EXPECT_EQ(Iter, 7);
  EXPECT_EQ(FlagPrint, 1);
  EXPECT_EQ(stimet, 3.5);
  EXPECT_EQ(WCStart, 4);
  EXPECT_EQ(WCEnd, 6);
  for (int c = 1; c <= NoCells; ++c) EXPECT_EQ(Cxvel_old[c], c >= 4 && c <= 6 ? 0.3 : 0.0) << c;
}

struct PrintCase {
  const char* name;
  double timeEnd;  // time steps of 1 s: the call ends at Iter = timeEnd + 0.5
  int outer;
  char debug;
  int printIter;   // PrintIterBoogie
  int expected;    // FlagPrint of the last outer iteration
};

TEST_F(WaterSolveTest, PrintFlagOfTheLastOuterIteration) {
  const std::vector<PrintCase> cases = {
      {"iteration 5: below 10", 4.5, 1000, 'N', 100, 0},
      {"iteration 10: a tenth below 100", 9.5, 1000, 'N', 100, 0},
      {"iteration 11", 10.5, 1000, 'N', 100, 1},
      {"iteration 11 with a print interval of 11", 10.5, 1000, 'N', 11, 0},
      {"iteration 11 with F 1 E", 10.5, 1000, 'E', 100, 0},
      {"iteration 200", 199.5, 1000, 'N', 1000, 1},
      {"iteration 200 with F 1 J", 199.5, 1000, 'J', 1000, 0},
      {"iteration 150 with F 1 J", 149.5, 1000, 'J', 1000, 1},
      {"the last of K 1", 1e50, 15, 'N', 100, 0},
  };
  for (const PrintCase& k : cases) {
    SCOPED_TRACE(k.name);
    grid([] { TimeStep = 1.0; });
    iterGlobalMax = k.outer;
    TimeEnd = k.timeEnd;
    debugging = k.debug;
    PrintIterBoogie = k.printIter;
    ASSERT_EQ(run(), 1000);
    EXPECT_EQ(FlagPrint, k.expected);
  }
}

struct SurfaceCase {
  const char* name;
  double surfResCrit;
  double continuity;  // MaxResidual[4]
  int refused;
};

// F 36 2 updates the surface every F 105 outer iterations only while the residual is small;
// R stays 10000 without inner iterations, so each due update is refused and counted.
TEST_F(WaterSolveTest, RefusedSurfaceUpdatesAreCounted) {
  const std::vector<SurfaceCase> cases = {
      {"residual above F 224", 100.0, 0.0, 2},
      {"negative F 224 and a continuity residual above 0.001", -1.0, 0.002, 2},
  };
  for (const SurfaceCase& k : cases) {
    SCOPED_TRACE(k.name);
    grid();
    FlagTFS = 2;
    IterWaterUpdate = 2;
    iterGlobalMax = 5;
    SurfResCrit = k.surfResCrit;
    MaxResidual[4] = k.continuity;
    ASSERT_EQ(run(), 1000);
    EXPECT_EQ(NoNumNoSurfUpdate, k.refused);
  }
}

// F 143: per column, the sums of the sample number, its square and the top-cell pressure.
TEST_F(WaterSolveTest, PressureRegressionSumsPerColumn) {
  grid([] { PresRegres = 1; });
  iterGlobalMax = 3;
  FlagInitialized = 1;
  for (int c = 1; c <= NoCells; ++c) Cpres[c] = c;
  ASSERT_EQ(run(), 1000);
  EXPECT_EQ(RegIter, 3);
  struct Column {
    int i, j, top;
  };
  for (const Column& k : {Column{2, 2, 3}, Column{3, 2, 6}, Column{2, 3, 9}, Column{3, 3, 12}}) {
    SCOPED_TRACE(k.top);
    EXPECT_EQ(PresRegresN[k.i][k.j], 3);
    EXPECT_EQ(PresRegresSumX[k.i][k.j], 1 + 2 + 3);
    EXPECT_EQ(PresRegresSumXX[k.i][k.j], 1 + 4 + 9);
    EXPECT_DOUBLE_EQ(PresRegresSumPres[k.i][k.j], 3.0 * k.top);
    EXPECT_DOUBLE_EQ(PresRegresSumXPres[k.i][k.j], 6.0 * k.top);
  }
  EXPECT_EQ(PresRegresN[4][4], 0);
}

// The sum of squares of the sample numbers passes the int range at sample 1861
// (1^2 + ... + 1860^2 = 2146682110, and 1861^2 = 3463321 more is above 2147483647): such a
// column keeps its sums as they are, all five over the same samples; a sum that reaches the
// largest int exactly still takes the sample.
TEST_F(WaterSolveTest, PressureRegressionSumsStopBeforeTheIntRange) {
  grid([] { PresRegres = 1; });
  iterGlobalMax = 1;
  FlagInitialized = 1;  // keeps the sums of the earlier samples
  for (int c = 1; c <= NoCells; ++c) Cpres[c] = c;
  RegIter = 1860;
  PresRegresN[2][2] = 1860;
  PresRegresSumX[2][2] = 1730730;
  PresRegresSumXX[2][2] = 2146682110;
  PresRegresSumPres[2][2] = 5580.0;
  PresRegresSumXPres[2][2] = 5192190.0;
  PresRegresSumXX[3][2] = 2147483647 - 3463321;
  ASSERT_EQ(run(), 1000);
  EXPECT_EQ(RegIter, 1861);
  EXPECT_EQ(PresRegresN[2][2], 1860);
  EXPECT_EQ(PresRegresSumX[2][2], 1730730);
  EXPECT_EQ(PresRegresSumXX[2][2], 2146682110);
  EXPECT_EQ(PresRegresSumPres[2][2], 5580.0);
  EXPECT_EQ(PresRegresSumXPres[2][2], 5192190.0);
  EXPECT_EQ(PresRegresSumXX[3][2], 2147483647);
  EXPECT_EQ(PresRegresN[3][2], 1);
  EXPECT_EQ(PresRegresSumPres[3][2], 6.0);
  // A column with room: the first sample, number 1861, top cell 9.
  EXPECT_EQ(PresRegresN[2][3], 1);
  EXPECT_EQ(PresRegresSumX[2][3], 1861);
  EXPECT_EQ(PresRegresSumXX[2][3], 3463321);
  EXPECT_DOUBLE_EQ(PresRegresSumXPres[2][3], 1861.0 * 9);
}

TEST_F(WaterSolveTest, TimeSeriesFileIsEmptiedOnEntry) {
  grid();
  iterGlobalMax = 0;
  TimePrintNo = 1;
  TimePrint[0].time = 1e30;
  write("timeo", "an older run\n");
  ASSERT_EQ(run(), 1000);
  EXPECT_TRUE(std::filesystem::exists("timeo"));
  EXPECT_EQ(read("timeo"), "");

  // A time-series file that cannot be written ends the run, and the log says why.
  grid();
  iterGlobalMax = 0;
  TimePrintNo = 1;
  std::filesystem::remove("timeo");
  std::filesystem::create_directory("timeo");
  EXPECT_EQ(run(), -3);
  EXPECT_EQ(log(), std::string(kRelaxationLine) +
                       "Error: could not write file 'timeo' (Is a directory); the previous copy is kept.\n");
}

struct SetUpCase {
  const char* name;
  double time;
  double level;  // Cthixolev after the set-up, from 3
};

// Set-up over the working range: the mud levels start at 0 at the start of the time, and with
// F 71 the total concentration is the sum of the sizes.
TEST_F(WaterSolveTest, SetUpFieldsOverTheWorkingRange) {
  const std::vector<SetUpCase> cases = {
      {"time 0: mud levels cleared", 0.0, 0.0},
      {"later: kept", 1.0, 3.0},
  };
  for (const SetUpCase& k : cases) {
    SCOPED_TRACE(k.name);
    grid([] {
      FlagSoilStress = 1;
      lnumber = 2;
    });
    iterGlobalMax = 0;
    TurbDensFlag = 1;
    FlagInitialized = 1;
    stimet = k.time;
    for (int c = 1; c <= NoCells; ++c) {
      Cthixolev[c] = 3;
      Cthixorat[c] = 0.5;
      Cconc[1][c] = 0.1;
      Cconc[2][c] = 0.25;
    }
    ASSERT_EQ(run(), 1000);
    for (int c = 1; c <= NoCells; ++c) {
      EXPECT_EQ(Cthixolev[c], k.level) << c;
      EXPECT_EQ(Cthixorat[c], k.level > 0 ? 0.5 : 0.0) << c;
      EXPECT_DOUBLE_EQ(Cconc[0][c], 0.35) << c;
    }
  }
}

// Inner iterations of an outer iteration, counted on the flume from rest: a steady iteration
// always does the F 33 count; a time step stops once the largest residual is below F 54; a
// call entered at Iter 1 (a second W task after one outer iteration) does F 489 when larger.
class WaterSolveFlume : public test::Flume {
 protected:
  int runTasks(const std::string& extra, const std::string& tasks) {
    std::filesystem::remove("boogie");
    SetArraysZero();
    setDefaults();
    std::string control = test::flumeControl(extra);
    control.replace(control.rfind("F 2 YW\n"), std::string::npos, "F 2 " + tasks + "\n");
    write("koosurf", test::flumeGeometry());
    write("control", control);
    return programMain() & 255;
  }
};

struct InnerCase {
  const char* name;
  std::string extra;
  std::string tasks;
  int inner;  // inner iterations of the last outer iteration
};

TEST_F(WaterSolveFlume, InnerIterationsPerOuterIteration) {
  const std::vector<InnerCase> cases = {
      {"time steps below a large F 54: one each", "F 33 10 4\nK 1 2 50000\nF 54 1e9\n", "YW", 1},
      {"time steps with F 54 0: all four", "F 33 10 4\nK 1 2 50000\nF 54 0\n", "YW", 4},
      {"steady: all three whatever F 54", "F 33 1e-20 3\nK 1 2 50000\nF 54 1e9\n", "YW", 3},
      {"second call at Iter 1 with F 489 5", "F 33 1e-20 2\nK 1 1 50000\nF 489 5\n", "YWW",
       5},
      {"F 489 below F 33 changes nothing", "F 33 1e-20 2\nK 1 1 50000\nF 489 1\n", "YWW", 2},
      {"F 489 on the first call: Iter 0 on entry", "F 33 1e-20 2\nK 1 1 50000\nF 489 5\n",
       "YW", 2},
  };
  for (const InnerCase& k : cases) {
    SCOPED_TRACE(k.name);
    ASSERT_EQ(runTasks(k.extra, k.tasks), 1) << log();
    EXPECT_FALSE(test::contains(log(), "Solution converged")) << log();
    EXPECT_EQ(GlobInnerIter, k.inner);
  }
}

// The run's time step is taken once; a tenth of it while the range lies beyond block 1.
TEST_F(WaterSolveTest, MudFlowTimeStep) {
  NoBlocks = 2;
  block[1].cellend = 10;
  TimeStep = 2.0;
  WCStart = 11;
  computeChangeTimestep();
  EXPECT_DOUBLE_EQ(TimeStep, 0.2);
  WCStart = 1;
  computeChangeTimestep();
  EXPECT_DOUBLE_EQ(TimeStep, 2.0);
  TimeStep = 5.0;
  computeChangeTimestep();
  EXPECT_DOUBLE_EQ(TimeStep, 2.0);
  WCStart = 10;
  computeChangeTimestep();
  EXPECT_DOUBLE_EQ(TimeStep, 2.0);
}

// The step the rule returns to belongs to the run: after the state is reset (a new run in the
// same process) the rule takes the new run's step, not the one of the run before.
TEST_F(WaterSolveTest, MudFlowTimeStepOfANewRunIsItsOwn) {
  for (const double step : {2.0, 3.0}) {
    SCOPED_TRACE(step);
    setDefaults();
    NoBlocks = 2;
    block[1].cellend = 10;
    TimeStep = step;
    WCStart = 11;
    computeChangeTimestep();
    EXPECT_DOUBLE_EQ(TimeStep, 0.1 * step);
    WCStart = 1;
    computeChangeTimestep();
    EXPECT_DOUBLE_EQ(TimeStep, step);
  }
}

}  // namespace
}  // namespace qorva
