// Inflow terms of the discharge groups on a small flume: the central and source terms of each
// equation per inflow face, the marks of the boundary cells, the discharges of a time series,
// the outflow balance, and the shaped, logarithmic, multigrid-level, cyclic and profile-file
// inflows. Every inflow puts its whole discharge into the central coefficients.
#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "discretisation/discretisation.h"
#include "grid/grid.h"
#include "state/arrays.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/inflow_profiles.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "state/timeseries.h"
#include "support/scratch.h"

namespace qorva {
namespace {

constexpr double kTol = 1e-6;

// A flume of 4 x 2 columns (i = 2..5, j = 2..3) on grid lines 1 m apart in x and 2 m in y,
// flat bed at -3 m, water at 0: three 1 m cells per column, numbered row by row (j outer, i
// inner) from the bottom cell up. Group 1 flows in through the six west faces (2 m2 each,
// 12 m2) with 6 m3/s = 6000 kg/s: 500 kg/s per m2, 1000 kg/s and 0.5 m/s per face. Group 2
// takes the water out through the six east faces.
class InflowTermsTest : public test::Scratch {
 protected:
  void SetUp() override {
    test::Scratch::SetUp();
    fresh();
  }

  static void fresh() {
    SetArraysZero();
    setDefaults();
    resetSideFiles();
    std::filesystem::remove("boogie");
    xnumber = 8;
    ynumber = 5;
    znumber = 5;
    MaxCeller = 200;
    MaxFlater = 600;
    MaxPunkter = 400;
  }

  // Builds the flume, then places groups 1 and 2 (the options that decide about the level
  // lists must be set before).
  static void buildFlume(double discharge = 6000) {
    ASSERT_EQ(sialloc(), 0);
    NoBlocks = 1;
    block[1].i1 = 2;
    block[1].i2 = 5;
    block[1].j1 = 2;
    block[1].j2 = 3;
    block[1].bedfollow = 1;
    for (int i = 1; i <= 5; ++i)
      for (int j = 1; j <= 3; ++j) {
        xval[i][j] = i - 1;
        yval[i][j] = 2.0 * (j - 1);
        zval[i][j][1] = -3;
        zval[i][j][znumber] = 0;
      }
    ASSERT_EQ(Unstructure(), 1);
    metric();
    DischargeGroup& in = DischargeStruct[1];
    in.massDischarge = discharge;
    in.inflowK = 0.01;
    in.inflowEps = 0.002;
    in.xyNo = 2;
    in.x[0] = 0, in.y[0] = 1, in.x[1] = 0, in.y[1] = 3;
    DischargeGroup& out = DischargeStruct[2];
    out.inflowFlag = 0;
    out.massDischarge = 6000;
    out.xyNo = 2;
    out.x[0] = 4, out.y[0] = 1, out.x[1] = 4, out.y[1] = 3;
    InterpolateBoundary();
    std::filesystem::remove("boogie");
    ASSERT_EQ(in.surfaceNo, in.lowLevel == 2 ? 4 : 6);
    ASSERT_EQ(out.surfaceNo, 6);
  }

  static int cellAt(int i, int j, int level) { return ((j - 2) * 4 + (i - 2)) * 3 + level; }
  static bool isInflowCell(int c) { return c == 1 || c == 2 || c == 3 || (c >= 13 && c <= 15); }
  static bool isOutflowCell(int c) { return (c >= 10 && c <= 12) || (c >= 22 && c <= 24); }
  static int level(int c) { return (c - 1) % 3 + 1; }

  static void clearTerms() {
    for (int c = 0; c <= NoCells; ++c) Cap[c] = Csource[c] = 0;
  }

  static int run(const std::function<void()>& step) {
    try {
      step();
    } catch (const RunEnd& e) {
      return e.status;
    }
    return 1000;
  }

  static double sumCap() {
    double s = 0;
    for (int c = 1; c <= NoCells; ++c) s += Cap[c];
    return s;
  }

  // Marks: +1 on the inflow cells that `inflowMarked` accepts, -2 on the outflow cells, 0 on
  // the rest.
  static void expectMarks(const std::function<bool(int)>& inflowMarked) {
    for (int c = 1; c <= NoCells; ++c) {
      const int mark = isOutflowCell(c) ? -2 : isInflowCell(c) && inflowMarked(c) ? 1 : 0;
      EXPECT_EQ(Cinout[c], mark) << "cell " << c;
    }
  }

  static void allocateSeries(const std::vector<std::pair<double, double>>& rows, int group) {
    ASSERT_TRUE(TimeInTime.allocate(10));
    ASSERT_TRUE(QDinn.allocate(10, 10));
    TimeInNo = static_cast<int>(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
      TimeInTime[r] = rows[r].first;
      QDinn[r][group] = rows[r].second;
    }
    FlagDischargeTime = 1;
  }
};

struct EquationCase {
  const char* name;
  int equation;
  std::function<void()> options;
  double source;  // per inflow cell
};

TEST_F(InflowTermsTest, StandardInflowGivesEachEquationItsInflowValue) {
  // Per face: 1000 kg/s into Cap; u: 0.5 m/s x 1000 kg/s; k: 0.01 x 1000; eps: 0.002 x 1000.
  const std::vector<EquationCase> cases = {
      {"u", 1, {}, 500},
      {"v: the faces face east", 2, {}, 0},
      {"w: no inflow value", 3, {}, 0},
      {"k", 5, {}, 10},
      {"epsilon", 6, {}, 2},
      {"a water-quality component", 9, {}, 0},
      {"u without inflow momentum", 1, [] { FlagNoImpulse = 1; }, 0},
      // 120 kg m/s2 spread by area: 120 x 2 / 12 = 20 per face.
      {"u with extra momentum", 1, [] { momentumAddInflow = 120; }, 520},
      {"extra momentum switched off by the extra sources", 1,
       [] {
         momentumAddInflow = 120;
         FlagDragDLL = 1;
       },
       500},
      {"k with extra momentum", 5, [] { momentumAddInflow = 120; }, 10},
  };
  for (const EquationCase& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    buildFlume();
    if (k.options) k.options();
    Equation = k.equation;
    for (int c = 1; c <= NoCells; ++c) Cinout[c] = 5;
    boundary();
    for (int c = 1; c <= NoCells; ++c) {
      EXPECT_NEAR(Cap[c], isInflowCell(c) ? 1000 : 0, kTol) << "cell " << c;
      EXPECT_NEAR(Csource[c], isInflowCell(c) ? k.source : 0, kTol) << "cell " << c;
    }
    expectMarks([](int) { return true; });
    EXPECT_DOUBLE_EQ(DischargeArray[1], 6000.0);
    EXPECT_DOUBLE_EQ(DischargeArray[2], 6000.0);
    EXPECT_NEAR(sumCap(), 6000, 1e-6);  // the whole discharge enters
    EXPECT_EQ(log(), "");
  }
}

TEST_F(InflowTermsTest, TermsAreAddedToWhatTheCoefficientsHold) {
  buildFlume();
  Equation = 1;
  Cap[1] = 7;
  Csource[1] = 3;
  boundary();
  EXPECT_NEAR(Cap[1], 1007, kTol);
  EXPECT_NEAR(Csource[1], 503, kTol);
}

TEST_F(InflowTermsTest, OnlyAPositiveDischargeFlowsIn) {
  struct Case {
    const char* name;
    double discharge;
    int mark;
  };
  const std::vector<Case> cases = {
      {"negative: marked like an outflow", -6000, -1},
      {"zero: nothing", 0, 0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    buildFlume(1);  // placed with a discharge, which then changes
    DischargeStruct[1].massDischarge = k.discharge;
    Equation = 1;
    boundary();
    EXPECT_NEAR(sumCap(), 0, kTol);
    for (int c = 1; c <= NoCells; ++c)
      EXPECT_EQ(Cinout[c], isInflowCell(c) ? k.mark : isOutflowCell(c) ? -2 : 0) << "cell " << c;
  }
}

TEST_F(InflowTermsTest, ADrySideGetsNoInflowAndOneWarning) {
  buildFlume();
  DischargeStruct[1].area = 0;  // the faces fell dry
  Equation = 1;
  boundary();
  boundary();
  EXPECT_NEAR(sumCap(), 0, kTol);
  for (int c = 1; c <= NoCells; ++c) EXPECT_TRUE(std::isfinite(Csource[c]));
  EXPECT_EQ(log(), "Warning: discharge group 1 has no inflow area (a dry side); it gets no inflow\n");
  // Wet again, then dry again: a new warning.
  DischargeStruct[1].area = 12;
  boundary();
  DischargeStruct[1].area = 0;
  boundary();
  EXPECT_EQ(log(),
            "Warning: discharge group 1 has no inflow area (a dry side); it gets no inflow\n"
            "Warning: discharge group 1 has no inflow area (a dry side); it gets no inflow\n");
}

struct SeriesCase {
  const char* name;
  std::vector<std::pair<double, double>> rows;  // time (s), m3/s of group 1
  double time;
  double discharge;  // kg/s
};

TEST_F(InflowTermsTest, SeriesDischargesAreInterpolatedInTime) {
  const std::vector<std::pair<double, double>> rows = {{0, 2}, {100, 4}, {200, 8}};
  const std::vector<SeriesCase> cases = {
      {"before the first row the first two rows are extended", rows, -50, 1000},
      {"on the first row", rows, 0, 2000},
      {"between rows 0 and 1", rows, 50, 3000},
      {"on row 1", rows, 100, 4000},
      {"between rows 1 and 2", rows, 150, 6000},
      {"after the last row the last value holds", rows, 300, 8000},
      {"a single row is a constant", {{100, 5}}, 0, 5000},
      {"a single row, later", {{100, 5}}, 900, 5000},
  };
  for (const SeriesCase& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    buildFlume();
    allocateSeries(k.rows, 1);
    stimet = k.time;
    DischargeArray[4] = 123;  // no surfaces: keeps its value
    Equation = 1;
    boundary();
    EXPECT_NEAR(DischargeArray[1], k.discharge, 1e-9);
    EXPECT_NEAR(DischargeArray[2], 0, 1e-9);  // group 2 is recomputed: 0 in the series
    EXPECT_DOUBLE_EQ(DischargeArray[4], 123);
    EXPECT_DOUBLE_EQ(DischargeStruct[1].massDischarge, 6000);
    EXPECT_NEAR(sumCap(), k.discharge, 1e-6);
  }
}

TEST_F(InflowTermsTest, SeriesDischargeUpdatesTheGroupAndIsLoggedWhenAsked) {
  buildFlume();
  allocateSeries({{0, 2}, {100, 4}}, 1);
  stimet = 50;
  FlagUpdateDischarge = 1;
  debugging = 'H';
  Equation = 1;
  boundary();
  EXPECT_DOUBLE_EQ(DischargeStruct[1].massDischarge, 3000);
  EXPECT_EQ(log(), "Discharge for group 1 = 3000.000000, stimet = 50.000000\n"
                   "Discharge for group 2 = 0.000000, stimet = 50.000000\n");
}

struct BalanceCase {
  const char* name;
  int option;
  double lim1, lim2, outflow, expected;
};

TEST_F(InflowTermsTest, OutflowBalanceAgainstTheInflow) {
  // Group 1 brings 6000 kg/s, so the balance is 6000 kg/s.
  const std::vector<BalanceCase> cases = {
      {"no balance", 0, 0.5, 2.0, 4000, 4000},
      {"the balance itself", 2, 0.5, 2.0, 4000, 6000},
      {"never below the balance", 3, 0.5, 2.0, 4000, 6000},
      {"above the balance stays", 3, 0.5, 2.0, 8000, 8000},
      {"option 7 as option 3", 7, 0.5, 2.0, 4000, 6000},
      {"never above the balance", 4, 0.5, 2.0, 8000, 6000},
      {"below the balance stays", 4, 0.5, 2.0, 4000, 4000},
      {"limits 0.5 and 2 give the balance", 5, 0.5, 2.0, 4000, 6000},
      // min(6000, 2 x 4000) = 6000, then max(6000, 1.5 x 6000).
      {"lower limit above 1", 6, 1.5, 2.0, 4000, 9000},
      // min(6000, 1.2 x 4000) = 4800, then max(6000, 0.5 x 4800).
      {"upper limit cuts first", 6, 0.5, 1.2, 4000, 6000},
  };
  for (const BalanceCase& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    buildFlume();
    DischargeStruct[2].massDischarge = k.outflow;
    FlagGlobFlux = k.option;
    GlobFluxLim1 = k.lim1;
    GlobFluxLim2 = k.lim2;
    Equation = 1;
    boundary();
    EXPECT_DOUBLE_EQ(DischargeArray[2], k.expected);
    EXPECT_DOUBLE_EQ(DischargeArray[1], 6000);
  }
}

TEST_F(InflowTermsTest, BalancedOutflowCarriesWhatFlowsIn) {
  // Two inflow groups and one outflow: mass in = mass out.
  buildFlume(2500);
  DischargeGroup& side = DischargeStruct[3];
  side.massDischarge = 1500;
  side.xyNo = 1;
  side.x[0] = 1.5, side.y[0] = 0;  // south face of column (3, 2)
  InterpolateBoundary();
  FlagGlobFlux = 2;
  Equation = 3;
  boundary();
  EXPECT_DOUBLE_EQ(DischargeArray[2], 4000);
  EXPECT_NEAR(sumCap(), DischargeArray[2], 1e-6);
}

struct OutflowCase {
  const char* name;
  std::function<void()> state;
  double expected;
};

TEST_F(InflowTermsTest, OutflowIsTheSumOfTheOtherGroupsAndTheReleasedWater) {
  const auto groups = [] {
    DischargeStruct[1].surfaceNo = 6;
    DischargeStruct[3].surfaceNo = 3;
    DischargeStruct[4].surfaceNo = 2;
    DischargeArray[1] = 6000;
    DischargeArray[2] = 777;  // the group itself is left out
    DischargeArray[3] = 1000;
    DischargeArray[4] = 500;
    DischargeArray[5] = -1;  // no surfaces: brings nothing into the grid
    IO[4].flag[0] = 1;       // taken out
  };
  const std::vector<OutflowCase> cases = {
      {"added and subtracted groups", groups, 6500},
      // 0.5 m3 over the 20 s between the last two updates: 25 kg/s.
      {"water released by the surface",
       [&] {
         groups();
         SurfVolDefect = 0.5;
         TimeStep = 10;
         stimeWL1 = 100;
         stimeWL2 = 120;
       },
       6525},
      {"over a time step longer than the update interval",
       [&] {
         groups();
         SurfVolDefect = 0.5;
         TimeStep = 100;
         stimeWL1 = 100;
         stimeWL2 = 120;
       },
       6505},
      // A steady run has no time between updates: the released water is not a rate.
      {"water released in a steady run",
       [&] {
         groups();
         SurfVolDefect = 0.5;
         TimeStep = 1e-20;
         stimeWL1 = stimeWL2 = 0;
       },
       6500},
      {"more taken out than brought in",
       [&] {
         groups();
         IO[1].flag[0] = 1;
       },
       0},
  };
  for (const OutflowCase& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    k.state();
    EXPECT_DOUBLE_EQ(computeOutflow(2), k.expected);
  }
}

TEST_F(InflowTermsTest, ShapedInflowFallsToZeroAtTheTop) {
  // Group height 3 m (-3..0): f = 2(0 - z)/3 is 5/3, 1 and 1/3 at the centres -2.5, -1.5,
  // -0.5. Weighted area 2 x 2 m2 x (1 + 1 + 1/3) = 28/3 m2, G = 6000 / (28/3) = 4500/7: the
  // two lower faces take 2G = 9000/7 kg/s, the top face 3000/7 kg/s.
  const double G = 4500.0 / 7;
  const double g[4] = {0, G, G, G / 3};
  for (int equation : {1, 5}) {
    SCOPED_TRACE(equation);
    fresh();
    buildFlume();
    FlagShapeInflow = 1;
    Equation = equation;
    boundary();
    for (int c = 1; c <= NoCells; ++c) {
      if (!isInflowCell(c)) {
        EXPECT_DOUBLE_EQ(Cap[c], 0);
        continue;
      }
      const double gs = g[level(c)];
      EXPECT_NEAR(Cap[c], 2 * gs, kTol) << "cell " << c;
      EXPECT_NEAR(Csource[c], equation == 1 ? 0.001 * gs * gs * 2 : 0.01 * gs * 2, kTol);
    }
    EXPECT_NEAR(sumCap(), 6000, 1e-6);
    expectMarks([](int) { return true; });
  }
}

TEST_F(InflowTermsTest, LogarithmicInflowFollowsTheHeightAboveTheBed) {
  // ks = 0.03 m: weight ln(1000 h) with h the centre's height above the bed.
  struct Case {
    const char* name;
    int flag, low;
    std::vector<int> levels;  // levels that take inflow
  };
  const std::vector<Case> cases = {
      {"lowest bed of the group", 1, 1, {1, 2, 3}},
      {"each column's own bed", 2, 1, {1, 2, 3}},
      {"a group above the bottom cells still finds the bed", 1, 2, {2, 3}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    DischargeStruct[1].lowLevel = k.low;
    buildFlume();
    FlagLogInflow = k.flag;
    XksInflow = 0.03;
    double weights = 0;  // over one column
    for (int lev : k.levels) weights += std::log(1000 * (lev - 0.5));
    const double S = 2 * 2 * weights;  // two columns of 2 m2 faces
    for (int equation : {1, 6}) {
      clearTerms();
      Equation = equation;
      boundary();
      for (int c = 1; c <= NoCells; ++c) {
        const bool in = isInflowCell(c) && level(c) >= k.low;
        const double Gl = in ? std::log(1000 * (level(c) - 0.5)) * 6000 / S : 0;
        EXPECT_NEAR(Cap[c], 2 * Gl, kTol) << "cell " << c;
        EXPECT_NEAR(Csource[c], equation == 1 ? 0.001 * Gl * Gl * 2 : 0.002 * Gl * 2, kTol)
            << "cell " << c;
      }
      EXPECT_NEAR(sumCap(), 6000, 1e-6);
    }
  }
}

TEST_F(InflowTermsTest, LogarithmicInflowNeedsAPositiveRoughness) {
  struct Case {
    const char* name;
    double ks;
  };
  for (const Case& k : std::vector<Case>{{"zero from F 202", 0.0}, {"the default of F 16", -2.0}}) {
    SCOPED_TRACE(k.name);
    fresh();
    buildFlume();
    FlagLogInflow = 1;
    XksInflow = k.ks;
    Equation = 1;
    EXPECT_EQ(run(boundary), 1);
    EXPECT_EQ(log(), strf("Error for F 202 in control: the roughness of the logarithmic inflow "
                          "must be above 0, now %lf\n",
                          k.ks));
  }
}

TEST_F(InflowTermsTest, MultigridLevelTermsGoToTheLevelCells) {
  buildFlume();
  ASSERT_TRUE(MGSCpoint.allocate(MaxCeller, 5));
  // Grid cell c lies in cell c + 100 of level 2, which lies in cell c + 150 of level 3.
  for (int c = 1; c <= NoCells; ++c) {
    MGSCpoint[c][0] = c + 100;
    MGSCpoint[c + 100][0] = c + 150;
  }
  MGSGrid = 3;
  FlagNoImpulse = 1;  // the level inflow carries its momentum all the same
  Equation = 1;
  boundary();
  for (int c = 1; c <= NoCells; ++c) {
    EXPECT_DOUBLE_EQ(Cap[c], 0);
    EXPECT_NEAR(Cap[c + 150], isInflowCell(c) ? 1000 : 0, kTol) << "cell " << c;
    EXPECT_NEAR(Csource[c + 150], isInflowCell(c) ? 500 : 0, kTol) << "cell " << c;
    EXPECT_EQ(Cinout[c + 150], isInflowCell(c) ? 1 : isOutflowCell(c) ? -2 : 0);
    EXPECT_EQ(Cinout[c], 0);
  }
}

TEST_F(InflowTermsTest, StoredCyclicProfileGivesEachLevelItsValues) {
  FlagCyclic = 3;  // level lists are filled at placement
  buildFlume();
  FlagReadRes = 1;
  const double u[4] = {0, 0.4, 0.6, 0.8}, k[4] = {0, 0.01, 0.02, 0.03};
  for (int lev = 1; lev <= 3; ++lev) {
    cyclicU[lev] = u[lev];
    cyclicK[lev] = k[lev];
  }
  // G = 500 kg/s/m2 from the group's own discharge; u: value x 500 x 2 m2.
  for (int equation : {1, 2, 5}) {
    SCOPED_TRACE(equation);
    clearTerms();
    Equation = equation;
    boundary();
    for (int c = 1; c <= NoCells; ++c) {
      const bool in = isInflowCell(c);
      const double value = equation == 1 ? u[level(c)] : equation == 5 ? k[level(c)] : 0;
      EXPECT_NEAR(Cap[c], in ? 1000 : 0, kTol) << "cell " << c;
      EXPECT_NEAR(Csource[c], in ? value * 1000 : 0, kTol) << "cell " << c;
    }
    expectMarks([](int) { return true; });
  }
}

TEST_F(InflowTermsTest, CyclicCouplingTakesTheOutflowValuesAfterIterationN) {
  struct Case {
    const char* name;
    int iter;
    double source;  // u source per inflow cell
  };
  // Coupled: u = (0.2 + 0.6)/2 = 0.4 at 1000 kg/s; before: the standard 0.5 m/s.
  const std::vector<Case> cases = {{"iteration N: standard", 3, 500}, {"iteration N + 1", 4, 400}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    FlagCyclic = 3;
    buildFlume();
    for (int c = 1; c <= NoCells; ++c) {
      Cxvel[c] = isInflowCell(c) ? 0.2 : isOutflowCell(c) ? 0.6 : 9;
      Ckinen[c] = isInflowCell(c) ? 0.01 : 0.03;
    }
    Iter = k.iter;
    Equation = 1;
    boundary();
    for (int c = 1; c <= NoCells; ++c) {
      EXPECT_NEAR(Cap[c], isInflowCell(c) ? 1000 : 0, kTol) << "cell " << c;
      EXPECT_NEAR(Csource[c], isInflowCell(c) ? k.source : 0, kTol) << "cell " << c;
    }
    expectMarks([](int) { return true; });
    clearTerms();
    Equation = 5;
    boundary();
    // k: the group's 0.01, or (0.01 + 0.03)/2 coupled, times 1000 kg/s.
    for (int c : {1, 15}) EXPECT_NEAR(Csource[c], k.iter > 3 ? 20 : 10, kTol);
  }
}

// A bed change or a surface update can leave the outflow columns with fewer cells than the
// inflow columns. Every inflow face still takes its share of the discharge, with the value of
// the outflow cell at the nearest height relative to its column: here the outflow columns keep
// their two lower cells (relative heights 1/6 and 1/2) and the inflow cells at 1/6, 1/2 and
// 5/6 take the values of levels 1, 2 and 2.
TEST_F(InflowTermsTest, CyclicCouplingOfEndsWithOtherCellCountsFeedsEveryInflowFace) {
  FlagCyclic = 3;
  buildFlume();
  DischargeGroup& out = DischargeStruct[2];
  int kept = 0;
  for (int k = 0; k < out.surfaceNo; ++k) {
    const int s = out.surfaceList[k];
    const int c = Fcell1[s] != 0 ? Fcell1[s] : Fcell2[s];
    if (level(c) == 3) continue;
    out.surfaceList[kept] = s;
    out.levelList[kept] = out.levelList[k];
    ++kept;
  }
  out.surfaceNo = kept;
  ASSERT_EQ(kept, 4);
  for (int c = 1; c <= NoCells; ++c) Cxvel[c] = isOutflowCell(c) ? 0.1 * level(c) : 0.2;
  Iter = 4;
  Equation = 1;
  boundary();
  double inflow = 0;
  for (int c = 1; c <= NoCells; ++c) {
    if (!isInflowCell(c)) continue;
    inflow += Cap[c];
    const double partnerLevel = level(c) == 1 ? 1 : 2;
    EXPECT_NEAR(Cap[c], 1000, kTol) << "cell " << c;
    EXPECT_NEAR(Csource[c], 1000 * 0.5 * (0.2 + 0.1 * partnerLevel), kTol) << "cell " << c;
  }
  EXPECT_NEAR(inflow, 6000, kTol);
  EXPECT_NE(log().find("cyclic discharge groups 1 and 2 hold 6 and 4 cells in 2 and 2 columns"),
            std::string::npos)
      << log();
}

TEST_F(InflowTermsTest, CyclicProfileIsFormedFromTheOutflowOnceConverged) {
  struct Case {
    const char* name;
    int equation, done;
    double residual;
    bool formed;
  };
  const std::vector<Case> cases = {
      {"converged u equation", 1, 0, 0.001, true},
      {"residual too large", 1, 0, 0.02, false},
      {"as many profiles as asked", 1, 2, 0.001, false},
      {"not the u equation", 5, 0, 0.001, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    FlagCyclic = -2;
    buildFlume();
    NoCyclesDone = k.done;
    for (int e = 1; e <= 6; ++e) MaxResidual[e] = k.residual / e;
    // Outflow cells: u 0.2/0.4 at level 1, 0.5/0.7 at level 2, 0.8/1.0 at level 3 in the
    // two columns; k and epsilon follow u.
    for (int c = 1; c <= NoCells; ++c) {
      const double second = c > 12 ? 0.2 : 0;
      Cxvel[c] = 0.3 * level(c) - 0.1 + second;
      Ckinen[c] = Cxvel[c] / 10;
      Cepsilon[c] = Cxvel[c] / 100;
    }
    Equation = k.equation;
    boundary();
    const double mean[4] = {0, 0.3, 0.6, 0.9};
    for (int lev = 1; lev <= 3; ++lev) {
      EXPECT_NEAR(cyclicU[lev], k.formed ? mean[lev] : 0, 1e-12);
      EXPECT_NEAR(cyclicK[lev], k.formed ? mean[lev] / 10 : 0, 1e-12);
      EXPECT_NEAR(cyclicE[lev], k.formed ? mean[lev] / 100 : 0, 1e-12);
    }
    EXPECT_EQ(FlagHaveInitiatedCyclic, k.formed ? 1 : 0);
    EXPECT_EQ(NoCyclesDone, k.done + (k.formed ? 1 : 0));
    if (k.formed) {
      EXPECT_EQ(log(), "Cyclic values, stimet = 0.000000\n"
                       "U, K, E (1) = 0.300000 0.030000 0.003000\n"
                       "U, K, E (2) = 0.600000 0.060000 0.006000\n"
                       "U, K, E (3) = 0.900000 0.090000 0.009000\n"
                       "U, K, E (4) = 0.000000 0.000000 0.000000\n"
                       "U, K, E (5) = 0.000000 0.000000 0.000000\n");
      // The same call uses the new profile: u source = mean x 1000 kg/s.
      for (int c : {1, 2, 3, 13, 14, 15}) EXPECT_NEAR(Csource[c], mean[level(c)] * 1000, kTol);
    }
  }
}

TEST_F(InflowTermsTest, AnyProfileCountOfTheDataSetIsSafe) {
  // F 174 takes any integer. With 2^30 profiles the log interval 100 x 2^30 is a multiple of
  // 2^32, and -INT_MIN is 2^31: neither fits in an int.
  for (int cyclic : {-(1 << 30), std::numeric_limits<int>::min()}) {
    SCOPED_TRACE(cyclic);
    fresh();
    FlagCyclic = cyclic;
    buildFlume();
    for (int e = 1; e <= 6; ++e) MaxResidual[e] = 0.001;
    for (int c = 1; c <= NoCells; ++c) Cxvel[c] = 0.5;
    Iter = 1;  // not a multiple of the interval: no log
    Equation = 1;
    boundary();
    EXPECT_EQ(FlagHaveInitiatedCyclic, 1);
    EXPECT_EQ(NoCyclesDone, 1);
    for (int lev = 1; lev <= 3; ++lev) EXPECT_NEAR(cyclicU[lev], 0.5, 1e-12);
    EXPECT_EQ(log(), "");
  }
}

TEST_F(InflowTermsTest, ProfileFileFeedsItsColumnsOfGroupOne) {
  // The file counts columns and levels as the structured grid does, from 2: the group's first
  // column (cells 1..3) reads file column 2, its second (cells 13..15) column 3, and the bottom
  // cell reads level 2. Column 1 of the file belongs to no cell.
  struct Case {
    const char* name;
    int columns;  // inflowj
    std::function<void()> options;
    double u[2][4];  // u source per column of the group and cell level: value x 500 x 2 m2
  };
  const auto logarithmic = [] {
    FlagLogInflow = 1;
    XksInflow = 0.03;
  };
  const std::vector<Case> cases = {
      {"a file that ends at column 2 leaves the second column out", 2, {},
       {{0, 300, 500, 0}, {0, 0, 0, 0}}},
      {"each column reads its own", 3, {}, {{0, 300, 500, 0}, {0, 400, 600, 0}}},
      {"the logarithmic inflow does not add to it", 2, logarithmic,
       {{0, 300, 500, 0}, {0, 0, 0, 0}}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    inflowj = k.columns;
    inflowk = 3;
    buildFlume();
    if (k.options) k.options();
    for (int lev = 0; lev < 5; ++lev) inflowu[1][lev] = inflowki[1][lev] = 9;  // never read
    inflowu[2][2] = 0.3;
    inflowu[2][3] = 0.5;
    inflowu[2][4] = 0.7;  // beyond inflowk: not used
    inflowu[3][2] = 0.4;
    inflowu[3][3] = 0.6;
    inflowki[2][2] = 0.02;
    inflowki[3][2] = 0.04;
    Equation = 1;
    boundary();
    const auto column = [&](int c) { return c <= 3 ? 0 : c >= 13 && c <= 15 ? 1 : -1; };
    const auto fed = [&](int c) { return column(c) == 0 || (column(c) == 1 && k.columns >= 3); };
    for (int c = 1; c <= NoCells; ++c) {
      EXPECT_NEAR(Cap[c], fed(c) ? 1000 : 0, kTol) << "cell " << c;
      EXPECT_NEAR(Csource[c], fed(c) ? k.u[column(c)][level(c)] : 0, kTol) << "cell " << c;
    }
    expectMarks(fed);
    clearTerms();
    Equation = 5;
    boundary();
    EXPECT_NEAR(Csource[1], 0.02 * 1000, kTol);
    EXPECT_NEAR(Csource[2], 0, kTol);
    EXPECT_NEAR(Csource[13], k.columns >= 3 ? 0.04 * 1000 : 0, kTol);
  }
}

TEST_F(InflowTermsTest, KennedySourceStaysOnTheColumnsTheGridHas) {
  buildFlume();
  SourceKennedy = 2;
  for (int equation : {3, 1}) {
    SCOPED_TRACE(equation);
    clearTerms();
    Equation = equation;
    boundary();
    // Row j = 2 has columns i = 2..5 with bottom cells 1, 4, 7, 10; nothing past them.
    for (int c = 1; c <= NoCells; ++c) {
      const bool row = c == 1 || c == 4 || c == 7 || c == 10;
      const double inflow = equation == 1 && isInflowCell(c) ? 500 : 0;
      EXPECT_NEAR(Csource[c], (equation == 3 && row ? 2 : 0) + inflow, kTol) << "cell " << c;
    }
  }
}

TEST_F(InflowTermsTest, FastSolverTermsForAllFiveVariables) {
  struct Case {
    const char* name;
    std::function<void()> state;
    double flux;  // per inflow face, kg/s
  };
  const std::vector<Case> cases = {
      {"stored discharge", {}, 1000},
      {"negative stored discharge brings nothing", [] { DischargeStruct[1].massDischarge = -6000; },
       0},
      {"series discharge",
       [] {
         ASSERT_TRUE(TimeInTime.allocate(10));
         ASSERT_TRUE(QDinn.allocate(10, 10));
         TimeInNo = 2;
         TimeInTime[1] = 100;
         QDinn[0][1] = 3;
         QDinn[1][1] = 3;
         FlagDischargeTime = 1;
       },
       500},
      {"a negative series value falls back to the stored discharge",
       [] {
         ASSERT_TRUE(TimeInTime.allocate(10));
         ASSERT_TRUE(QDinn.allocate(10, 10));
         TimeInNo = 1;
         QDinn[0][1] = -3;
         FlagDischargeTime = 1;
       },
       1000},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    buildFlume();
    ASSERT_TRUE(CinvApf.allocate(5, MaxCeller));
    ASSERT_TRUE(Csourcem.allocate(5, MaxCeller));
    if (k.state) k.state();
    boundaryFast();
    const double G = k.flux / 2;  // kg/s per m2
    for (int c = 1; c <= NoCells; ++c) {
      const bool in = isInflowCell(c) && k.flux > 0;
      for (int v = 0; v < 5; ++v) EXPECT_NEAR(CinvApf[v][c], in ? k.flux : 0, kTol);
      EXPECT_NEAR(Csourcem[0][c], in ? 0.001 * G * G * 2 : 0, kTol) << "cell " << c;
      EXPECT_NEAR(Csourcem[1][c], 0, kTol);
      EXPECT_NEAR(Csourcem[2][c], 0, kTol);
      EXPECT_NEAR(Csourcem[3][c], in ? 0.01 * k.flux : 0, kTol);
      EXPECT_NEAR(Csourcem[4][c], in ? 0.002 * k.flux : 0, kTol);
    }
    expectMarks([&](int) { return k.flux > 0; });
  }
}

TEST_F(InflowTermsTest, FastSolverWithoutItsTablesStops) {
  buildFlume();
  EXPECT_EQ(run(boundaryFast), 1);
  EXPECT_EQ(log(), "Error: the fast flow solver (F 170) has no tables for its inflow terms\n");
}

}  // namespace
}  // namespace qorva
