// The end of an inner iteration: the decisions converged, flushed, diverged, continuity error
// and debug stop as a table of (residuals, options) -> (result, log, status text), the
// residual line with its diagnostic lines, the history `tafnor`, and the pressure residual
// statistic.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "support/box_grid.h"
#include "flow/flow.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/arrays.h"
#include "state/log.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/structured.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using test::makeBox;

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// How a call ended: its result, or the status of the run's end.
struct Outcome {
  bool ended;
  int value;  // the result, or the status
};

Outcome close(int inner) {
  try {
    return {false, printEndWaterSolve(inner)};
  } catch (const RunEnd& e) {
    return {true, e.status};
  }
}

class EndInnerIteration : public test::Scratch {
 protected:
  void SetUp() override {
    Scratch::SetUp();
    start();
  }
  // One cell, outer iteration 7, a continuity norm that no defect reaches, no residual line.
  static void start() {
    makeBox({1}, {1}, {1});
    Iter = 7;
    NormResidual[4] = 1;
    FlagPrint = 1;
  }
  // A fresh start for the next case of a table: no arrays, default options, no log.
  static void again() {
    SetArraysZero();
    fresh();
  }
  static void residuals(std::vector<double> r) {
    for (int e = 1; e <= 6; ++e) MaxResidual[e] = r[e - 1];
  }
};

enum class End { Returns0, Returns1, Converged, CrashReport };

struct Decision {
  const char* name;
  std::vector<double> r;  // MaxResidual[1..6]
  double timeStep = 0;
  int stopTime = 0, mpi = 0, flush = 0, flushIter = 0;
  double prev = 0;  // the largest residual of the previous call
  double continuity = 0, norm4 = 1;
  int tfs = 0, continuityFlag = 0, presDebug = 0;
  End end;
  std::string log;  // what the decisions write (no residual line in these rows)
  std::string message;  // status text the decisions leave
  int errorBreak = 0;
};

const std::string kDiverged7 =
    "A possible reason is that an older version of the unstruc file is used\n"
    "and the corresponding koordina file is not read or the G 1 data set is changed\n\n";

// The old line, then the count of outer iterations a user looks for.
const std::string kConverged7 = "Solution converged\nSolution converged after 7 outer iterations\n";

TEST_F(EndInnerIteration, DecisionsInTheirOrder) {
  const std::vector<double> small{1e-4, 5e-4, 0, 2e-4, 1e-95, 3e-4};
  const Decision rows[] = {
      {"steady below 0.001 converges", small, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, End::Converged,
       kConverged7, "Solution converged  ", 0},
      {"transient does not", small, 1.0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, End::Returns0, "",
       "7 ResMax: 5.00e-04 for eq: 2", 0},
      {"transient with F 221 1 does", small, 1.0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, End::Converged,
       kConverged7, "Solution converged  ", 0},
      {"block division never converges", small, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0,
       End::Returns0, "", "7 ResMax: 5.00e-04 for eq: 2", 0},
      {"converged is not tested for continuity", small, 0, 0, 0, 0, 0, 0, 0.02, 1010, 0, 0, 0,
       End::Converged, kConverged7, "Solution converged  ", 0},
      {"2e10 diverges", {2e10, 0, 0, 0, 0, 0}, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0,
       End::CrashReport,
       "Solution diverged after 3 inner and 7 outer iterations\nMax residual is 2.000000e+10\n" +
           kDiverged7,
       "Solution diverged  ", 1},
      {"5e9 goes on", {0, 5e9, 0, 0, 0, 0}, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, End::Returns0, "",
       "7 ResMax: 5.00e+09 for eq: 2", 0},
      {"not a number diverges", {0.5, kNaN, 0, 0, 0, 0}, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0,
       End::CrashReport,
       "Solution diverged after 3 inner and 7 outer iterations\nMax residual is nan\n" +
           kDiverged7,
       "Solution diverged  ", 1},
      // Flushing restarts the fields, halves the relaxation and goes on to the later tests.
      {"growing past 5e8 flushes", {0, 0, 0, 6e8, 0, 0}, 0, 0, 0, 2, 0, 1e8, 0, 1, 0, 0, 0,
       End::Returns0,
       "Solution flushed at Iter=7, InnerIter=3, Residual=600000000.000000, relax=0.200000, "
       "TotalFlushings = 1\n",
       "7 ResMax: 6.00e+08 for eq: 4", 0},
      {"not growing, flushings left: neither", {3e10, 0, 0, 0, 0, 0}, 0, 0, 0, 2, 1, 4e10, 0, 1,
       0, 0, 0, End::Returns0, "", "7 ResMax: 3.00e+10 for eq: 1", 0},
      {"no flushing left diverges", {3e10, 0, 0, 0, 0, 0}, 0, 0, 0, 2, 2, 1e10, 0, 1, 0, 0, 0,
       End::CrashReport,
       "Solution diverged after 3 inner and 7 outer iterations\nMax residual is 3.000000e+10\n" +
           kDiverged7,
       "Solution diverged  ", 1},
      {"continuity 0.02 of 1010 stops", {0.5, 0, 0, 0, 0, 0}, 0, 0, 0, 0, 0, 0, 0.02, 1010, 0, 0,
       0, End::Returns1, "Error in continuity, WaterSolve. Defect = 0.020000 l/s\n",
       "Error in continuity  ", 1},
      {"the defect keeps its sign", {0.5, 0, 0, 0, 0, 0}, 0, 0, 0, 0, 0, 0, -0.02, 1010, 0, 0, 0,
       End::Returns1, "Error in continuity, WaterSolve. Defect = -0.020000 l/s\n",
       "Error in continuity  ", 1},
      {"continuity 0.0005 of 1010 goes on", {0.5, 0, 0, 0, 0, 0}, 0, 0, 0, 0, 0, 0, 0.0005, 1010,
       0, 0, 0, End::Returns0, "", "7 ResMax: 5.00e-01 for eq: 1", 0},
      {"F 85 lets continuity pass", {0.5, 0, 0, 0, 0, 0}, 0, 0, 0, 0, 0, 0, 0.02, 1010, 0, 1, 0,
       End::Returns0, "", "7 ResMax: 5.00e-01 for eq: 1", 0},
      {"a free surface lets continuity pass", {0.5, 0, 0, 0, 0, 0}, 0, 0, 0, 0, 0, 0, 0.02, 1010,
       1, 0, 0, End::Returns0, "", "7 ResMax: 5.00e-01 for eq: 1", 0},
      {"debug stop", {0.5, 0, 0, 0, 0, 0}, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 99, End::Converged, "",
       "Stopped for debug info    ", 1},
      {"ties keep the lower equation", {0.25, 0.5, 0, 0, 0.5, 0}, 1.0, 0, 0, 0, 0, 0, 0, 1, 0, 0,
       0, End::Returns0, "", "7 ResMax: 5.00e-01 for eq: 2", 0},
      {"all zero: equation 0", {0, 0, 1e-95, 0, 0, 0}, 1.0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0,
       End::Returns0, "", "7 ResMax: 0.00e+00 for eq: 0", 0},
      {"a negative residual counts as 0", {0, -3, 0, 0, 0, 0}, 1.0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0,
       End::Returns0, "", "7 ResMax: 0.00e+00 for eq: 0", 0},
  };
  for (const Decision& d : rows) {
    SCOPED_TRACE(d.name);
    again();
    start();
    residuals(d.r);
    TimeStep = d.timeStep;
    FlagStopTime = d.stopTime;
    FlagMPI = d.mpi;
    FlagFlush = d.flush;
    FlagFlushIter = d.flushIter;
    ResMax = d.prev;
    GlobContinuity = d.continuity;
    NormResidual[4] = d.norm4;
    FlagTFS = d.tfs;
    ContinuityFlag = d.continuityFlag;
    FlagPresDebug = d.presDebug;
    const Outcome o = close(3);
    std::string text = log();
    switch (d.end) {
      case End::Returns0:
      case End::Returns1:
        EXPECT_FALSE(o.ended);
        EXPECT_EQ(o.value, d.end == End::Returns1 ? 1 : 0);
        EXPECT_EQ(text, d.log);
        break;
      case End::Converged:
        // The results of the print set follow; the output step may end the run when it
        // cannot write them.
        EXPECT_TRUE(o.ended || o.value == 1);
        EXPECT_EQ(text.substr(0, d.log.size()), d.log);
        break;
      case End::CrashReport: {
        // The crash report follows the decision: the report, the plan view of the failed
        // field and the grid check; then the step says the solution diverged.
        EXPECT_FALSE(o.ended);
        EXPECT_EQ(o.value, 1);
        ASSERT_EQ(text.substr(0, d.log.size()), d.log);
        EXPECT_EQ(text.substr(d.log.size(), 10), "Iter: 7, R");
        EXPECT_NE(text.find("Have checked grid from surface"), std::string::npos);
        EXPECT_TRUE(std::filesystem::exists("ParaView2.vtk") ||
                    std::filesystem::exists("pav2_00000.vtk"));
        break;
      }
    }
    // The output step that follows a convergence, a debug stop or the crash report writes its
    // own status text.
    if (d.end != End::Converged && d.end != End::CrashReport) {
      EXPECT_EQ(mc_message, d.message);
    }
    EXPECT_EQ(FlagErrorBreak, d.errorBreak);
    // The task driver tells a flow that converged from one that ran out of iterations by it.
    EXPECT_EQ(IterConverged, d.log == kConverged7 ? 7 : 0);
  }
}

TEST_F(EndInnerIteration, ConvergenceNamesWhereTheResultsComeFrom) {
  residuals({1e-4, 0, 0, 0, 0, 0});
  close(1);
  EXPECT_EQ(mc_v1, "Written from watersolver due to convergence");
}

TEST_F(EndInnerIteration, TinyResidualsBecomeZeroAndTheMaximumIsKept) {
  TimeStep = 1.0;
  residuals({1e-95, 0.5, 2e-91, 0.25, 1e-89, 0});
  ResMax = 7;
  EXPECT_EQ(close(1).value, 0);
  EXPECT_EQ(MaxResidual[1], 0.0);
  EXPECT_EQ(MaxResidual[3], 0.0);
  EXPECT_EQ(MaxResidual[5], 1e-89);
  EXPECT_EQ(ResMaxPrev, 7);
  EXPECT_EQ(ResMax, 0.5);
}

TEST_F(EndInnerIteration, FlushingCountsInTheCallAndTheRun) {
  // The first flushing of this call, the fifth of the run, growing from 6e8 to 7e8; it halves
  // the relaxation, and the iterations go on.
  FlagFlush = 2;
  FlagFlushIter = 0;
  FlushedNo = 4;
  ResMax = 6e8;
  residuals({7e8, 0, 0, 0, 0, 0});
  const Outcome o = close(2);
  EXPECT_FALSE(o.ended);
  EXPECT_EQ(o.value, 0);
  EXPECT_EQ(FlagFlushIter, 1);
  EXPECT_EQ(FlushedNo, 5);
  EXPECT_EQ(relaxPressure, 0.1);
  const std::string line =
      "Solution flushed at Iter=7, InnerIter=2, Residual=700000000.000000, relax=0.200000, "
      "TotalFlushings = 5\n";
  EXPECT_EQ(log(), line);
}

TEST_F(EndInnerIteration, ResidualLineWhenItIsDue) {
  struct Row {
    const char* name;
    int print, inner, mpi;
    double timeStep;
    std::vector<double> r;
    bool line;
  };
  const Row rows[] = {
      {"last inner iteration", 0, 3, 0, 0, {0.0012, 0.25, 3, 40, 1e-5, 600}, true},
      {"not printed this outer iteration", 1, 3, 0, 0, {0.0012, 0.25, 3, 40, 1e-5, 600}, false},
      {"steady, not the last", 0, 2, 0, 0, {0.0012, 0.25, 3, 40, 1e-5, 600}, false},
      {"transient, under the time-step limit", 0, 1, 0, 1.0, {0.0012, 0, 0, 0, 0, 0.0015}, true},
      {"transient, above it", 0, 1, 0, 1.0, {0.0012, 0, 0, 0, 0, 0.0025}, false},
      {"transient, block division", 0, 1, 1, 1.0, {0.0012, 0, 0, 0, 0, 0.0015}, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    again();
    start();
    TransInnerIter = 3;
    FlagPrint = r.print;
    FlagMPI = r.mpi;
    TimeStep = r.timeStep;
    residuals(r.r);
    EXPECT_EQ(close(r.inner).value, 0);
    std::string expected;
    if (r.line)
      expected = strf("Iter: 7, Resid: %s\n", r.timeStep > 0
                                                  ? "1.20e-03 0.00e+00 0.00e+00 0.00e+00 "
                                                    "0.00e+00 1.50e-03"
                                                  : "1.20e-03 2.50e-01 3.00e+00 4.00e+01 "
                                                    "1.00e-05 6.00e+02");
    EXPECT_EQ(log(), expected);
  }
}

TEST_F(EndInnerIteration, TafnorGetsALineWithEachResidualLine) {
  const std::string header = "Iteration, Residuals: Ux, Uy, Uz, Continuity, k, epsilon\n";
  for (int flag : {1, 2}) {
    again();
    start();
    write("tafnor", header);
    FlagTafnor = flag;
    FlagPrint = 0;
    residuals({0.0012, 0.25, 3, 40, 1e-5, 600});
    close(1);
    EXPECT_EQ(read("tafnor"),
              flag == 1 ? header + "7 0.001200 0.250000 3.000000 40.000000 0.000010 600.000000\n"
                        : header);
  }
}

TEST_F(EndInnerIteration, DebuggingDAddsDefectAndDischargeLines) {
  debugging = 'D';
  FlagPrint = 0;
  TimeStep = 2.0;
  TimeInNo = 1;
  stimet = 12.5;
  ContinuityFlag = 1;
  NoPoints = 8;
  residuals({0.5, 0, 0, 0, 0, 0});
  GlobContinuity = 0.5;
  GlobDefMax = 0.25;
  Glob_dmI = 1;
  Cxvel[1] = 1;
  Cyvel[1] = 2;
  Czvel[1] = -0.5;
  DischargeArray[1] = 1000;
  DischargeArray[2] = -250;
  DischargeArray[3] = 5;
  DischargeArray[5] = 7;  // after a gap: not listed
  DischargeStruct[1].surfaceNo = 4;
  DischargeStruct[2].surfaceNo = 2;
  EXPECT_EQ(close(1).value, 0);
  EXPECT_EQ(log(),
            "Iter: 7, Resid: 5.00e-01 0.00e+00 0.00e+00 0.00e+00 0.00e+00 0.00e+00\n"
            "Cont: 5.00000000e-01, DefMax: 2.50000000e-01, U,V,W(1): 1.00000000e+00 "
            "2.00000000e+00 -5.00000000e-01\n"
            "Time: 12.500000 seconds\n"
            "Water discharge (l/s), group 1: 1000.000000, surfno: 4\n"
            "Water discharge (l/s), group 2: -250.000000, surfno: 2\n"
            "Water discharge (l/s), group 3: 5.000000\n"
            "NoCells = 1, NoSurfaces = 6, NoPoints = 8, InnerIter = 1\n");
}

TEST_F(EndInnerIteration, DebuggingPListsTheWallClockMarks) {
  debugging = 'P';
  FlagPrint = 0;
  residuals({0.5, 0, 0, 0, 0, 0});
  for (int k = 0; k <= 32; ++k) otime[k] = 10.0 + 0.5 * k;
  close(1);
  const std::string text = log();
  EXPECT_NE(text.find("\nOpenMP 1 = 0.5,         0.500000\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nOpenMP 32 = 16,         0.500000\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("OpenMP 33"), std::string::npos);
}

TEST_F(EndInnerIteration, SpecialLinesOverAColumnOfTwoCells) {
  struct Row {
    int specials, components;
    std::string line;
  };
  const Row rows[] = {
      {1, 2, "Amount: 5.000000e+00\n"},
      {1, 1, ""},
      {2, 1, "Average surface conc.: 1.000000e+01\n"},
      {2, 0, ""},
      {3, 0, "Average top velocity: 5.000000e+00\n"},
      {4, 0, "Number of cells: 2, surfaces: 11, points: 0\n"},
      {5, 0, "x,z_bed,z_surf,shear\n0.500000 0.000000 2.500000 3.000000\n"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.specials);
    again();
    NoComponents = r.components;
    makeBox({1}, {1}, {1, 1.5});  // cell 1 from 0 to 1, cell 2 from 1 to 2.5
    Iter = 7;
    NormResidual[4] = 1;
    FlagPrint = 0;
    PrintSpecials = r.specials;
    residuals({0.5, 0, 0, 0, 0, 0});
    if (r.components > 0) {
      Ccomp[0][1] = 99;  // not a top cell
      Ccomp[0][2] = 10;  // the top cell, volume 1.5
    }
    if (r.components > 1) {
      Ccomp[1][1] = 2;  // volume 1
      Ccomp[1][2] = 2;  // volume 1.5
    }
    Cxvel[2] = 3;
    Cyvel[2] = 4;
    Cxvel[1] = 100;  // not a top cell
    Ckinen[1] = 0.01;
    close(1);
    EXPECT_EQ(log(), "Iter: 7, Resid: 5.00e-01 0.00e+00 0.00e+00 0.00e+00 0.00e+00 0.00e+00\n" +
                         r.line);
  }
}

TEST_F(EndInnerIteration, DivergenceReportOfTheCellWithTheLargestDefect) {
  debugging = 'D';
  FlagReadUnstruc = 2;  // a current grid file: no hint about older ones
  residuals({2e10, 0, 0, 0, 0, 0});
  Glob_dmI = 1;
  for (int p = 0; p < 4; ++p) {
    (p == 0 ? Cpoint1 : p == 1 ? Cpoint2 : p == 2 ? Cpoint3 : Cpoint4)[1] = p;
    (p == 0 ? Cpoint5 : p == 1 ? Cpoint6 : p == 2 ? Cpoint7 : Cpoint8)[1] = p + 4;
    Pz[p] = 0.5 * p;
    Pz[p + 4] = 1.0 + p;
  }
  Cbed[1] = 1;
  Bkooi[1] = 2;
  Bkooj[1] = 2;
  const int ci[4] = {1, 2, 2, 1}, cj[4] = {1, 1, 2, 2};
  for (int k = 0; k < 4; ++k) {
    zval[ci[k]][cj[k]][1] = 0.1 * (k + 1);
    zval[ci[k]][cj[k]][znumber] = 1.0 + 0.1 * (k + 1);
    Surfaces[3][ci[k]][cj[k]] = -(k + 1.0);
  }
  Cepsilon[1] = 0.25;
  Csource[1] = 2;
  Cap[1] = 4;
  const Outcome o = close(5);
  // The crash report follows and returns; the step says the solution diverged.
  EXPECT_FALSE(o.ended);
  EXPECT_EQ(o.value, 1);
  const std::string expected =
      "Solution diverged after 5 inner and 7 outer iterations\n"
      "Max residual is 2.000000e+10\n"
      "Max. water defect in cell 1\n"
      "Corner heights Pz(1-4): 1.000000 1.500000 2.000000 2.500000\n\n"
      "Corner zval[1]:       0.100000 0.200000 0.300000 0.400000\n"
      "Corner zval[znumber]: 1.100000 1.200000 1.300000 1.400000\n"
      "Corner Surfaces[LB]:  -1.000000 -2.000000 -3.000000 -4.000000\n"
      "Epsilon = 0.250000, Source = 2.000000, Cap = 4.000000, S/Cap = 0.500000\n";
  EXPECT_EQ(log().substr(0, expected.size()), expected);
}

TEST_F(EndInnerIteration, DivergenceReportWithoutALocatedCell) {
  debugging = 'D';
  FlagReadUnstruc = 2;
  residuals({2e10, 0, 0, 0, 0, 0});
  Glob_dmI = 0;
  close(5);
  const std::string expected =
      "Solution diverged after 5 inner and 7 outer iterations\n"
      "Max residual is 2.000000e+10\n"
      "Max. water defect in cell 0\n"
      "Iter: 7, Resid: ";
  EXPECT_EQ(log().substr(0, expected.size()), expected);
}

TEST_F(EndInnerIteration, LogThatCannotBeOpenedEndsWithMinusThree) {
  std::filesystem::create_directory("boogie");
  residuals({0.5, 0, 0, 0, 0, 0});
  const Outcome o = close(1);
  EXPECT_TRUE(o.ended);
  EXPECT_EQ(o.value, -3);
  EXPECT_EQ(mc_message, "cannot open file 'boogie' ");
}

TEST_F(EndInnerIteration, PressureResidualStatisticIsThreeMeanMagnitudes) {
  again();
  makeBox({1, 1}, {1}, {1});
  Cpres_res[1] = -3;
  Cpres_res[2] = 1;
  EXPECT_DOUBLE_EQ(computePresResStat(), 6.0);
}

}  // namespace
}  // namespace qorva
