// The pressure step of the main flow driver on small closed boxes, with the face fluxes,
// pressure coefficients, continuity defect, solver and corrections of their own folders. The
// checks are relations that must hold after the step whatever those produce: the central
// coefficient as the floored sum of the neighbour coefficients (with the stabilising and
// free-surface terms of the options), the residual as the normalised defect, the anchored
// correction, the continuity sums, the pressure rule of the top cells, the pauses, the steps
// this version does not have, and the quadratic one-sided fluxes of the predictor.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "flow/flow.h"
#include "flow/water_solve.h"
#include "support/correction_grid.h"
#include "state/arrays.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using test::correctionGrid;

class PressureStep : public test::Scratch {
 protected:
  static void again() {
    SetArraysZero();
    fresh();
  }
  // A closed box with a velocity field that leaves a mass defect in every cell, 1/Ap and the
  // norms set, outer iteration 1 with one inner iteration.
  static void prepare(std::vector<double> dx, std::vector<double> dy, std::vector<double> dz) {
    correctionGrid(std::move(dx), std::move(dy), std::move(dz));
    for (int c = 1; c <= NoCells; ++c) {
      CinvAp[c] = 0.01;
      if (CinvApP) CinvApP[c] = 0.01;
      Cxvel[c] = 0.1 * c;
      Cyvel[c] = 0.05 * (c % 3);
      Czvel[c] = -0.02 * (c % 2);
      Cpres[c] = 100.0 * c;
    }
    NormResidual[4] = 1.0;
    Iter = 1;
    TransInnerIter = 1;
    WaterSolveResidual = 10000.0;
  }
  // Status of the run's end, or 1000 when the step returned.
  static int step(int m = 1) {
    try {
      pressureStep(m);
    } catch (const RunEnd& e) {
      return e.status;
    }
    return 1000;
  }
  static double neighbourSum(int c) { return Cae[c] + Caw[c] + Can[c] + Cas[c] + Cat[c] + Cab[c]; }
};

TEST_F(PressureStep, DefaultStepLeavesItsRelations) {
  prepare({1, 2, 1}, {1, 1}, {1, 0.5});
  ASSERT_EQ(step(), 1000) << log();
  EXPECT_EQ(Equation, 4);
  EXPECT_TRUE(Cf.isOwn());
  for (int c = 1; c <= NoCells; ++c) {
    SCOPED_TRACE(c);
    EXPECT_GT(neighbourSum(c), 1e-10);
    EXPECT_DOUBLE_EQ(Cap[c], neighbourSum(c));
  }
  // The correction is anchored at the last cell of the grid.
  EXPECT_EQ(Cf[NoCells], -0.001);
  // Continuity sums of the defect the step worked from.
  double sum = 0, largest = 0, magnitude = 0;
  int at = 1;
  for (int c = 1; c <= NoCells; ++c) {
    sum += Csource[c];
    magnitude += std::fabs(Csource[c]);
    if (std::fabs(Csource[c]) > largest) largest = std::fabs(Csource[c]), at = c;
  }
  EXPECT_GT(largest, 0.0);
  EXPECT_DOUBLE_EQ(GlobContinuity, sum);
  EXPECT_DOUBLE_EQ(GlobDefMax, largest);
  EXPECT_EQ(Glob_dmI, at);
  EXPECT_NEAR(MaxResidual[4], (magnitude - GlobFluxDefect) / NormResidual[4], 1e-12);
}

// Cells in number order whose value of `a` is wanted after a step.
std::vector<double> values(const std::function<double(int)>& a) {
  std::vector<double> v(NoCells + 1);
  for (int c = 1; c <= NoCells; ++c) v[c] = a(c);
  return v;
}

struct CentralCase {
  const char* name;
  std::vector<double> dx, dy, dz;
  double timeStep;
  std::function<void()> options;
  std::function<double(int)> extra;  // what cell c gets on top of its neighbour sum
};

TEST_F(PressureStep, CentralCoefficientTermsOfTheOptions) {
  // Top face area 1 x 1 = 1 and TimeStep 2: a = 1 / (2 * 9.81).
  const double a = 1.0 / (2.0 * 9.81);
  const CentralCase cases[] = {
      {"F 316 4", {1, 1}, {1}, {1, 1}, 0, [] { FlagPresMPIboundary = 4; },
       [](int) { return 1e-6; }},
      {"F 316 5", {1, 1}, {1}, {1, 1}, 0, [] { FlagPresMPIboundary = 5; },
       [](int) { return 0.001; }},
      {"F 316 6", {1, 1}, {1}, {1, 1}, 0, [] { FlagPresMPIboundary = 6; },
       [](int) { return 1.0; }},
      // a row of single-cell columns: the end cells have one side neighbour, volume 2
      {"F 104 at the ends of a row", {2, 1, 2}, {1}, {1}, 0, [] { FlagEndCorrect = 3; },
       [](int c) { return c == 2 ? 0.0 : 3.0 * 2.0; }},
      {"F 419 1 every cell", {1}, {1}, {1, 1, 1, 1}, 2.0,
       [] { FlagTFS = 1; FlagPresSurfDamp = 1; }, [a](int) { return a; }},
      {"F 419 2 the top cell", {1}, {1}, {1, 1, 1, 1}, 2.0,
       [] { FlagTFS = 1; FlagPresSurfDamp = 2; }, [a](int c) { return c == 4 ? a : 0.0; }},
      {"F 419 3 a quarter to each of four", {1}, {1}, {1, 1, 1, 1}, 2.0,
       [] { FlagTFS = 1; FlagPresSurfDamp = 3; }, [a](int) { return a / 4; }},
      {"F 419 3 all to a one-cell column", {1, 1}, {1}, {1}, 2.0,
       [] { FlagTFS = 1; FlagPresSurfDamp = 3; }, [a](int) { return a; }},
      // bottom face 1 x 1, relax[4] 0.2
      {"F 296 4 on the top cells", {1}, {1}, {1, 1}, 2.0,
       [] { FlagTFS = 1; FlagTimeSIMPLE = 4; },
       [](int c) { return c == 2 ? 1.0 * 9.81 * 1000.0 / 0.2 : 0.0; }},
      {"no free-surface terms without F 36", {1}, {1}, {1, 1}, 2.0,
       [] { FlagPresSurfDamp = 1; FlagTimeSIMPLE = 4; }, [](int) { return 0.0; }},
      // The storage terms of the surface divide by the time step: a steady run (step 0,
      // unbounded) has none, and a column without depth stores nothing.
      {"F 419 1 in a steady run", {1}, {1}, {1, 1}, 0, [] { FlagTFS = 2; FlagPresSurfDamp = 1; },
       [](int) { return 0.0; }},
      {"F 419 3 in a steady run", {1}, {1}, {1, 1}, 0, [] { FlagTFS = 2; FlagPresSurfDamp = 3; },
       [](int) { return 0.0; }},
      {"F 296 2 in a steady run", {1}, {1}, {1, 1}, 0, [] { FlagTFS = 2; FlagTimeSIMPLE = 2; },
       [](int) { return 0.0; }},
      {"F 296 3 on a column without depth", {1}, {1}, {1, 1}, 2.0,
       [] { FlagTFS = 2; FlagTimeSIMPLE = 3; }, [](int) { return 0.0; }},
  };
  // The serial step and the threaded one (two chunks) take the same terms.
  for (int threads : {0, 2})
    for (const CentralCase& k : cases) {
      SCOPED_TRACE(k.name);
      SCOPED_TRACE(threads);
      again();
      TimeStep = k.timeStep;
      k.options();
      prepare(k.dx, k.dy, k.dz);
      NoProcessesSolver = threads;
      deltac = threads > 0 ? (WCEnd - WCStart + 1) / threads : 0;
      deltaf = threads > 0 ? (WFEnd - WFStart + 1) / threads : 0;
      ASSERT_EQ(step(), 1000) << log();
      for (int c = 1; c <= NoCells; ++c) {
        SCOPED_TRACE(c);
        ASSERT_TRUE(std::isfinite(Cap[c])) << Cap[c];
        EXPECT_NEAR(Cap[c], neighbourSum(c) + k.extra(c), 1e-12 * Cap[c]);
      }
    }
}

TEST_F(PressureStep, WallClockMarksOfThePhases) {
  // Marks 10 (after the face fluxes) to 17 (end of the step), in the order of the phases; a
  // mud-flow computation keeps no marks, and the marks of the other steps stay as they were.
  for (int mud : {0, 1}) {
    SCOPED_TRACE(mud);
    again();
    prepare({1, 1}, {1}, {1});
    FlagThixoIsComputing = mud;
    for (int k = 0; k <= 32; ++k) otime[k] = -1.0;
    ASSERT_EQ(step(), 1000) << log();
    EXPECT_EQ(otime[9], -1.0);
    EXPECT_EQ(otime[18], -1.0);
    for (int k = 10; k <= 17; ++k) {
      SCOPED_TRACE(k);
      if (mud == 1) {
        EXPECT_EQ(otime[k], -1.0);
      } else {
        EXPECT_GE(otime[k], 0.0);
        if (k > 10) {
          EXPECT_GE(otime[k], otime[k - 1]);
        }
      }
    }
  }
}

TEST_F(PressureStep, SurfaceDampingOfTheColumnDepth) {
  // F 296 2: s = 2 Faz(bottom) / (TimeStep 9810 Bdepth) per column, times Ckdist per cell.
  // Columns of depth 2 (cells 1, 2) and of depth 4 (cells 3, 4); bottom faces 1 x 1.
  TimeStep = 2.0;
  FlagTFS = 2;
  FlagTimeSIMPLE = 2;
  prepare({1, 1}, {1}, {1, 1});
  Bdepth[1] = 2;
  Bdepth[2] = 4;
  ASSERT_EQ(step(), 1000) << log();
  const double s1 = 2.0 / (2.0 * 9810.0 * 2), s2 = 2.0 / (2.0 * 9810.0 * 4);
  const double expected[] = {0, s1 * 0.5, s1 * 0.5, s2 * 0.5, s2 * 0.5};
  for (int c = 1; c <= 4; ++c) EXPECT_NEAR(Cap[c], neighbourSum(c) + expected[c], 1e-15) << c;
}

TEST_F(PressureStep, SimplecFactorMakesTheCoefficientsAndBothKeepTheirContents) {
  // The coefficients are proportional to the inverse central coefficient they are made from:
  // with the SIMPLEC factor at twice 1/Ap they double.
  std::vector<double> plain, simplec;
  for (int variant = 0; variant < 2; ++variant) {
    again();
    FlagSIMPLE = variant;
    prepare({1, 1, 1}, {1}, {1});
    if (variant == 1)
      for (int c = 1; c <= NoCells; ++c) CinvApP[c] = 0.02;
    ASSERT_EQ(step(), 1000) << log();
    (variant == 0 ? plain : simplec) = values([](int c) { return Cae[c] + Caw[c]; });
    for (int c = 1; c <= NoCells; ++c) {
      EXPECT_EQ(CinvAp[c], 0.01);
      if (variant == 1) {
        EXPECT_EQ(CinvApP[c], 0.02);
      }
    }
  }
  for (int c = 1; c <= 3; ++c) EXPECT_NEAR(simplec[c], 2 * plain[c], 1e-12 * plain[c]) << c;
}

TEST_F(PressureStep, WedgeCellsHalveTheirDefectAndSmoothTheirCorrection) {
  // The same state without and with the wedge options; cell 2 of a row of four is a wedge cell.
  // F 235 7: its defect is halved. F 235 6: its correction becomes 1/8 of the four side
  // neighbours plus 3/4 of its own, before the anchoring shift that both runs share (the last
  // cell, 4, is not a wedge cell).
  struct Run {
    std::vector<double> source, correction;
  };
  auto run = [this](int trekant) {
    again();
    FlagCorrTrekant = trekant;
    prepare({1, 1, 1, 1}, {1}, {1});
    Ctrekant[2] = 1;
    EXPECT_EQ(step(), 1000) << log();
    return Run{values([](int c) { return Csource[c]; }), values([](int c) { return Cf[c]; })};
  };
  const Run plain = run(0), halved = run(7), smoothed = run(6);
  ASSERT_NE(plain.source[2], 0.0);
  ASSERT_NE(smoothed.correction[2], plain.correction[2]);
  for (int c = 1; c <= 4; ++c) {
    EXPECT_DOUBLE_EQ(halved.source[c], c == 2 ? 0.5 * plain.source[c] : plain.source[c]) << c;
    if (c != 2) {
      EXPECT_DOUBLE_EQ(smoothed.correction[c], plain.correction[c]) << c;
    }
  }
  // Before the shift each value was its shifted value + r + 0.001 = shifted - anchor.
  const double anchor = plain.correction[4];  // -0.001 in both runs
  auto before = [anchor](double v) { return v - anchor; };
  const std::vector<double>& p = plain.correction;
  const double expected =
      0.125 * (before(p[1]) + before(p[3])) + 0.75 * before(p[2]);  // no north and south cells
  EXPECT_NEAR(before(smoothed.correction[2]), expected, 1e-12);
}

TEST_F(PressureStep, TopCellsTakeTheInterpolatedPressureWithF36From13To19) {
  FlagTFS = 13;
  prepare({1, 1}, {1}, {1, 0.5, 2});
  ASSERT_EQ(step(), 1000) << log();
  for (int top : {3, 6}) {
    const int b = Ccellb[top];
    EXPECT_NEAR(Cpres[top], Cpres[b] * Ckdist[top] / (2 * Ckdist[top] + Ckdist[b]), 1e-12)
        << top;
  }
}

TEST_F(PressureStep, PausesAreNotAvailableInABatchRun) {
  struct Row {
    int before, after;
    std::string log;
  };
  const Row rows[] = {
      {3, 0,
       "Pause point 3 (F 156) is not available in a batch run; the flow computation goes on\n"},
      {4, 0,
       "Pause point 4 (F 156) is not available in a batch run; the flow computation goes on\n"},
      {100, 3, ""},  // armed for the next pressure step
      {101, 1, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.before);
    again();
    prepare({1, 1}, {1}, {1});
    PauseFlag = r.before;
    EXPECT_EQ(step(), 1000);
    EXPECT_EQ(PauseFlag, r.after);
    EXPECT_EQ(std::filesystem::exists("boogie") ? log() : "", r.log);
  }
}

struct MissingCase {
  const char* name;
  std::function<void()> options;
  std::string message;  // "" when the step goes on
};

TEST_F(PressureStep, StepsOfOtherOptionsThatThisVersionDoesNotHave) {
  const MissingCase cases[] = {
      {"F 360 goes on", [] { FlagFluxCorr = 1; }, ""},
      // The hand-over runs the free-surface update, which reaches the algorithm of F 36 6
      // once it has its reference column.
      {"F 36 6 on the last inner iteration", [] { FlagTFS = 6; iPres = jPres = 2; }, ""},
      {"F 36 6 with R of 1e6 goes on", [] { FlagTFS = 6; WaterSolveResidual = 1e6; }, ""},
      {"F 36 6 in outer iteration 0 goes on", [] { FlagTFS = 6; Iter = 0; }, ""},
      {"F 36 6 without a roof goes on", [] { FlagTFS = 6; FlagRoof = 0; }, ""},
      {"F 36 6 with F 37 between updates goes on",
       [] { FlagTFS = 6; FlagTSC = 1; Iter = 15; }, ""},
      {"F 36 6 with F 37 at an update",
       [] { FlagTFS = 6; FlagTSC = 1; Iter = 20; iPres = jPres = 2; }, ""},
      {"F 36 50", [] { FlagTFS = 50; }, ""},
      {"K 5 block correction goes on", [] { blockcorr[4] = 1; }, ""},
      {"K 5 multigrid without F 168 goes on", [] { blockcorr[4] = 10; }, ""},
      {"F 218 debug print goes on", [] { StopIter = 0; PrintDebugBoogie = 1; }, ""},
      {"F 183 debug print goes on", [] { FlagPresDebug = 5; }, ""},
      {"F 93", [] { FlagFroudeHystat = 1; },
       "the Froude-number switch of F 93 (FroudeHystatFunction)"},
      {"F 413 3 goes on", [] { FlagCorrectContinuity = 3; }, ""},
  };
  for (const MissingCase& k : cases) {
    SCOPED_TRACE(k.name);
    again();
    prepare({1, 1}, {1}, {1});
    k.options();
    const int status = step();
    if (k.message.empty()) {
      EXPECT_EQ(status, 1000) << log();
    } else {
      EXPECT_EQ(status, 1);
      EXPECT_EQ(log(), "Not available in this version: " + k.message + "\n");
    }
  }
}

// Fflux of a surface from the predictor velocities by the quadratic one-sided rule, or NaN
// when the rule does not apply to it.
double oneSided(int f) {
  const int c1 = Fcell1[f], c2 = Fcell2[f], c11 = Fcell11[f], c22 = Fcell22[f];
  if (c1 <= 0 || c2 <= 0) return NAN;
  int near, far, beyond;
  if (c11 > 0 && c22 == 0)
    near = c1, far = c2, beyond = c11;
  else if (c11 == 0 && c22 > 0)
    near = c2, far = c1, beyond = c22;
  else
    return NAN;
  auto q = [&](const Table1<double>& v) {
    return 0.75 * v[near] + 0.375 * v[far] - 0.125 * v[beyond];
  };
  return 1000.0 * (q(CxvelP) * Fax[f] + q(CyvelP) * Fay[f] + q(CzvelP) * Faz[f]);
}

TEST_F(PressureStep, PredictorGivesTheSurfacesNextToAWallQuadraticFluxes) {
  FlagSIMPLE = 2;
  prepare({1, 1, 1, 1}, {1, 1}, {1});
  FlagInitializedInvAp = 1;
  try {
    pressurePredictor(1);
  } catch (const RunEnd& e) {
    FAIL() << e.status << "\n" << log();
  }
  EXPECT_EQ(Equation, 4);
  EXPECT_TRUE(Cf.isOwn());
  int checked = 0;
  for (int f = 1; f <= NoSurfaces; ++f) {
    const double q = oneSided(f);
    if (std::isnan(q)) continue;
    EXPECT_NEAR(Fflux[f], q, 1e-9 * (1 + std::fabs(q))) << f;
    ++checked;
  }
  // In x the surfaces 1|2 and 3|4 of each of the two rows; in y none (two cells across).
  EXPECT_EQ(checked, 4);
  for (int c = 1; c <= NoCells; ++c) EXPECT_NE(CxvelP[c], 0.0) << c;
}

TEST_F(PressureStep, ExplicitPredictorLeavesTheDefectOfItsVelocities) {
  FlagSIMPLE = 5;
  prepare({1, 1, 1}, {1}, {1, 1});
  FlagInitializedInvAp = 1;
  try {
    pressurePredictor(1);
  } catch (const RunEnd& e) {
    FAIL() << e.status << "\n" << log();
  }
  double magnitude = 0;
  for (int c = 1; c <= NoCells; ++c) {
    const double defect = -(Fflux[Cflatee[c]] - Fflux[Cflatew[c]] + Fflux[Cflaten[c]] -
                            Fflux[Cflates[c]] + Fflux[Cflatet[c]] - Fflux[Cflateb[c]]);
    EXPECT_DOUBLE_EQ(Csource[c], defect) << c;
    magnitude += std::fabs(defect);
  }
  EXPECT_NEAR(MaxResidual[4], (magnitude - GlobFluxDefect) / NormResidual[4], 1e-12);
}

TEST_F(PressureStep, PredictorTimeTermBeforeOrAfterTheRelaxationAgreesWithoutRelaxation) {
  // With the relaxation factor 1 the time term added before the relaxation (F 74 0) or after it
  // (F 74 1) gives the same equation, so the same 1/Ap and the same predictor velocities. The
  // predictor must therefore take 1/Ap after the late time term, whose source it divides.
  struct Result {
    std::vector<double> invAp, u, v, w;
  };
  auto run = [](int late) {
    again();
    TimeStep = 0.5;
    FlagSIMPLE = 2;
    TimeRelaxFlag = late;
    prepare({1, 2, 1}, {1, 1}, {1, 0.5});
    relaxVelocity = invRelaxVelocity = 1.0;
    for (int c = 1; c <= NoCells; ++c) {
      Cxvel_old[c] = 0.3 - 0.05 * c;
      Cyvel_old[c] = 0.02 * c;
      Czvel_old[c] = 0.01 * (c % 2);
    }
    try {
      pressurePredictor(1);
    } catch (const RunEnd& e) {
      ADD_FAILURE() << e.status << "\n" << log();
    }
    return Result{values([](int c) { return CinvAp[c]; }), values([](int c) { return CxvelP[c]; }),
                  values([](int c) { return CyvelP[c]; }), values([](int c) { return CzvelP[c]; })};
  };
  const Result early = run(0), late = run(1);
  for (int c = 1; c <= 12; ++c) {
    SCOPED_TRACE(c);
    // Time term 1000 Cvol / TimeStep of at least 1000 * 0.5 / 0.5 in every cell.
    EXPECT_LT(early.invAp[c], 1.0 / 1000.0);
    EXPECT_NEAR(late.invAp[c], early.invAp[c], 1e-12 * early.invAp[c]);
    EXPECT_NEAR(late.u[c], early.u[c], 1e-12);
    EXPECT_NEAR(late.v[c], early.v[c], 1e-12);
    EXPECT_NEAR(late.w[c], early.w[c], 1e-12);
  }
}

TEST_F(PressureStep, ThermoclineWithoutATemperatureIsRefused) {
  FlagSIMPLE = 2;
  FlagThermocline = 1;
  Thermocline = 10;
  prepare({1, 1}, {1}, {1});
  int status = 1000;
  try {
    pressurePredictor(1);
  } catch (const RunEnd& e) {
    status = e.status;
  }
  EXPECT_EQ(status, 1);
  EXPECT_EQ(log(), "The thermocline of F 75 needs the water temperature (component 0)\n");
}

TEST_F(PressureStep, SecondCorrectorStartsFromWhatTheFirstCorrectionLeft) {
  // The same state with plain SIMPLE and with the second corrector: up to the first
  // corrections both runs are alike, so the predictor arrays of the second hold minus the
  // velocity correction the first made, and its pressure gets the second correction on top.
  std::vector<double> u0, u1, p1;
  again();
  prepare({1, 1, 1}, {1}, {1, 1});
  u0 = values([](int c) { return Cxvel[c]; });
  ASSERT_EQ(step(), 1000) << log();
  u1 = values([](int c) { return Cxvel[c]; });
  p1 = values([](int c) { return Cpres[c]; });

  again();
  FlagSIMPLE = 3;
  prepare({1, 1, 1}, {1}, {1, 1});
  ASSERT_EQ(step(), 1000) << log();
  for (int c = 1; c <= NoCells; ++c) {
    SCOPED_TRACE(c);
    EXPECT_NEAR(CxvelP[c], u0[c] - u1[c], 1e-12);
    EXPECT_NEAR(Cpres[c], p1[c] + relaxPressure * Cf[c], 1e-9 * std::fabs(p1[c]));
  }
}

TEST_F(PressureStep, ThreadedPhasesGiveTheSerialCoefficientsAndResidual) {
  // Seven cells in three chunks (2, 2 and the remainder 3); the solver's own threading may
  // change the correction, not the central coefficient or the residual before the solve.
  std::vector<double> cap[2];
  double residual4[2];
  for (int threads : {0, 3}) {
    again();
    prepare({1, 1, 1, 1, 1, 1, 1}, {1}, {1});
    NoProcessesSolver = threads;
    deltac = (WCEnd - WCStart + 1) / 3;
    deltaf = (WFEnd - WFStart + 1) / 3;
    ASSERT_EQ(step(), 1000) << log();
    cap[threads > 0] = values([](int c) { return Cap[c]; });
    residual4[threads > 0] = MaxResidual[4];
  }
  for (int c = 1; c <= 7; ++c) EXPECT_EQ(cap[1][c], cap[0][c]) << c;
  EXPECT_NEAR(residual4[1], residual4[0], 1e-12 * residual4[0]);
  EXPECT_GT(residual4[0], 0.0);
}

}  // namespace
}  // namespace qorva
