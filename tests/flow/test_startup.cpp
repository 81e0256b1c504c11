// Start-up of a flow computation on a box of 2 x 1 columns of two cells (2 m by 5 m in plan,
// layers 0.5 m and 1.5 m thick): residual norms and inflow turbulence from the discharge
// groups and the wind, relaxation factors, initial fields, vertical profiles and roughness,
// each worked out by hand from the box's areas and levels.
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "support/box_grid.h"
#include "flow/flow.h"
#include "state/bedcells.h"
#include "state/groups.h"
#include "support/scratch.h"

namespace qorva {
namespace {

// Cells: column west 1 (bottom, centre 0.25 m) and 2 (top, centre 1.25 m), column east 3
// and 4 likewise. West side faces 2.5 + 7.5 = 10 m2, east side faces the same, top faces of the
// two top cells 10 m2 each.
class StartupTest : public test::Scratch {
 protected:
  void SetUp() override {
    test::Scratch::SetUp();
    fresh();
  }

  // A fresh start with the options that decide the arrays set by `options` first.
  void fresh(const std::function<void()>& options = [] {}) {
    SetArraysZero();
    setDefaults();
    std::remove("boogie");
    options();
    test::makeBox({2, 2}, {5}, {0.5, 1.5});
    block[1].cellstart = 1;
    block[1].cellend = 4;
  }

  // Group g with its flag, discharge (kg/s) and the side faces of the west (or east) column.
  static void group(int g, int inflow, double Q, bool west) {
    DischargeGroup& d = DischargeStruct[g];
    d.inflowFlag = inflow;
    d.massDischarge = Q;
    d.surfaceNo = 2;
    d.surfaceList[0] = west ? Cflatew[1] : Cflatee[3];
    d.surfaceList[1] = west ? Cflatew[2] : Cflatee[4];
  }

  static void near(double actual, double expected, const char* what) {
    EXPECT_NEAR(actual, expected, 1e-6 * std::fabs(expected) + 1e-300) << what;
  }
};

struct NormCase {
  const char* name;
  std::function<void()> setup;
  double nv, np, n5, n6;  // NormResidual[1..3], [4], [5], [6]
  double k, epsilon;      // initial k and epsilon of every cell
};

TEST_F(StartupTest, NormsAndInflowTurbulenceFromDischargesAndWind) {
  // One inflow of 1000 kg/s through 10 m2: v = 1 / 10.00001 m/s, k = 0.0025 v^2,
  // epsilon = 0.8 k sqrt(k / 10); NP = 10 + 1000.
  const double k1 = 2.4999950000075e-05, e1 = 3.162268173338563e-08;
  // A second inflow of 500 kg/s through 10 m2 stands as the last group: NP = 1510.
  const double k2 = 6.249987500018752e-06, e2 = 3.952835216673204e-09;
  // Wind 10 m/s over 20 m2: k = 10^2.5 * 0.0033333 * 1.2 * 0.5 * 0.001,
  // epsilon = sqrt(k) * 0.164317 * 2.5 / 0.25 (half height of cell 1).
  const double kw = 6.324492074783557e-04, ew = 0.041323331154836766;
  const std::vector<NormCase> cases = {
      {"no inflow and no wind", [] {}, 0.1, 10.0, 0.0, 0.0, 0.0, 0.0},
      {"one inflow, an outflow beside it",
       [] {
         group(1, 1, 1000, true);
         group(2, 0, 1000, false);
       },
       100.0999000001, 1010, 1010 * k1, 1010 * e1, k1, e1},
      {"two inflows: the last one gives k and epsilon",
       [] {
         group(1, 1, 1000, true);
         group(2, 1, 500, false);
       },
       125.09987500012501, 1510, 1510 * k2, 1510 * e2, k2, e2},
      {"a discharge too small for k: the floor 1e-6",
       [] { group(1, 1, 1, true); },
       0.10009999990000011, 11, 11 * 1e-6, 11 * 2.5298221281220544e-10, 1e-6,
       2.5298221281220544e-10},
      {"F 200 1: given k and epsilon",
       [] {
         FlagNormSet = 1;
         NormK = 0.002;
         NormEps = 0.0003;
         group(1, 1, 1000, true);
       },
       100.0999000001, 1010, 2.02, 0.303, 0.002, 0.0003},
      {"F 200 2: given norms",
       [] {
         FlagNormSet = 2;
         NormK = 0.002;
         NormEps = 0.0003;
         NormVel = 0.5;
         NormPres = 0.7;
         group(1, 1, 1000, true);
       },
       0.5, 0.7, 0.002, 0.0003, 0.002, 0.0003},
      {"block division: group 1 alone",
       [] {
         FlagMPI = 1;
         group(1, 1, 1000, true);
         group(2, 1, 500, false);
       },
       1000, 1000, 10, 10, 0.01, 0.01},
      {"wind 10 m/s", [] { Wind[0] = 10; }, 2000.1, 210, 210 * kw, 210 * ew, kw, ew},
      {"weak wind", [] { Wind[0] = 1e-6; }, 0.102, 10.0002, 1.00002e-3, 1.00002e-3, 1.99998e-11,
       3.599928e-17},
      {"wind with F 200 1: the given k stays",
       [] {
         FlagNormSet = 1;
         NormK = 0.002;
         NormEps = 0.0003;
         Wind[0] = 10;
         group(1, 1, 1000, true);
       },
       2100.0999000001, 1210, 2.42, 0.363, 0.002, 0.0003},
  };
  for (const NormCase& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    k.setup();
    startup();
    for (int e = 1; e <= 3; ++e) near(NormResidual[e], k.nv, "velocity norm");
    near(NormResidual[4], k.np, "pressure norm");
    near(NormResidual[5], k.n5, "k norm");
    near(NormResidual[6], k.n6, "epsilon norm");
    for (int c = 0; c <= 4; ++c) {
      near(Ckinen[c], k.k, "k");
      near(Cepsilon[c], k.epsilon, "epsilon");
    }
  }
}

TEST_F(StartupTest, GroupAreasAndInflowValues) {
  group(1, 1, 1000, true);
  group(2, 0, -1000, false);
  group(3, 1, 0, false);  // no discharge: no area, no inflow values
  DischargeStruct[3].area = 99;
  startup();
  EXPECT_DOUBLE_EQ(DischargeStruct[1].area, 10.0);
  EXPECT_DOUBLE_EQ(DischargeStruct[2].area, 10.0);
  EXPECT_DOUBLE_EQ(DischargeStruct[3].area, 99.0);
  near(DischargeStruct[1].inflowK, 2.4999950000075e-05, "inflow k");
  near(DischargeStruct[1].inflowEps, 3.162268173338563e-08, "inflow epsilon");
  EXPECT_EQ(DischargeStruct[2].inflowK, 0.0);
  EXPECT_EQ(DischargeStruct[3].inflowK, 0.0);

  // F 200 1: every inflow group takes the given values.
  fresh();
  FlagNormSet = 1;
  NormK = 0.002;
  NormEps = 0.0003;
  group(1, 1, 1000, true);
  group(2, 1, 500, false);
  startup();
  for (int g = 1; g <= 2; ++g) {
    EXPECT_EQ(DischargeStruct[g].inflowK, 0.002);
    EXPECT_EQ(DischargeStruct[g].inflowEps, 0.0003);
  }
}

struct RelaxCase {
  const char* name;
  std::function<void()> setup;
  double velocity, inverse, pressure, k, epsilon;
  const char* line;  // the relaxation line of the log
};

TEST_F(StartupTest, RelaxationFactorsAndTheirLogLine) {
  const std::vector<RelaxCase> cases = {
      {"defaults", [] {}, 0.8, 1.25, 0.2, 0.5, 0.5,
       "Relaxation: 0.800000 0.200000 0.500000 0.500000\n"},
      {"velocity at the upper limit", [] { relax[1] = 2.0; }, 0.001, 1000, 0.2, 0.5, 0.5,
       "Relaxation: 0.001000 0.200000 0.500000 0.500000\n"},
      {"velocity at the lower limit", [] { relax[1] = 0.001; }, 0.001, 1000, 0.2, 0.5, 0.5,
       "Relaxation: 0.001000 0.200000 0.500000 0.500000\n"},
      {"within the limits",
       [] {
         relax[1] = 1.6;
         relax[4] = 1.2;
         relax[5] = 1.5;
         relax[6] = 0.02;
       },
       1.6, 0.625, 1.2, 1.5, 0.02, "Relaxation: 1.600000 1.200000 1.500000 0.020000\n"},
      {"pressure, k and epsilon out of their ranges",
       [] {
         relax[4] = 3.0;
         relax[5] = 0.01;
         relax[6] = 2.5;
       },
       0.8, 1.25, 0.001, 0.01, 0.01, "Relaxation: 0.800000 0.001000 0.010000 0.010000\n"},
  };
  for (const RelaxCase& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    k.setup();
    startup();
    EXPECT_DOUBLE_EQ(relaxVelocity, k.velocity);
    EXPECT_DOUBLE_EQ(invRelaxVelocity, k.inverse);
    EXPECT_DOUBLE_EQ(relaxPressure, k.pressure);
    EXPECT_DOUBLE_EQ(relaxK, k.k);
    EXPECT_DOUBLE_EQ(relaxEpsilon, k.epsilon);
    EXPECT_EQ(log(), k.line);
  }

  // The region switches follow with threads and F 1 D; a later call logs nothing.
  fresh();
  NoProcessesSolver = 2;
  debugging = 'D';
  FlagOpenMP[3] = 1;
  startup();
  EXPECT_EQ(log(),
            "Relaxation: 0.800000 0.200000 0.500000 0.500000\n"
            "OpenMP G 50 0 0 0 1 0 0 0 0 0 0\n");
  std::remove("boogie");
  FlagInitialized = 1;
  startup();
  EXPECT_EQ(log(), "");
}

TEST_F(StartupTest, InitialFieldsOnTheFirstCallOnly) {
  // Hydrostatic pressure at each cell centre: 9810 * 0.75 in the top cell,
  // 9810 * (1.5 + 0.25) in the bottom cell.
  const double top = 7357.5, bottom = 17167.5;
  FlagGravity = 1;
  group(1, 1, 1000, true);
  for (int c = 0; c <= 4; ++c) Cxvel[c] = Cyvel[c] = Czvel[c] = CinvAp[c] = Cconc[0][c] = 3.0;
  for (int f = 0; f <= NoSurfaces; ++f) Fflux[f] = 4.0;
  startup();
  const double pres[5] = {0, bottom, top, bottom, top};
  for (int c = 1; c <= 4; ++c) {
    EXPECT_DOUBLE_EQ(Cpres[c], pres[c]) << c;
    EXPECT_EQ(Cxvel[c], 0.0);
    EXPECT_EQ(Cyvel[c], 0.0);
    EXPECT_EQ(Czvel[c], 0.0);
    EXPECT_EQ(CinvAp[c], 0.0);
    EXPECT_EQ(Cconc[0][c], 0.0);
  }
  for (int f = 0; f <= NoSurfaces; ++f) EXPECT_EQ(Fflux[f], 0.0);
  EXPECT_EQ(block[0].cellstart, 1);
  EXPECT_EQ(block[0].cellend, 4);

  // A later call keeps the fields and renews the norms.
  FlagInitialized = 1;
  Cxvel[2] = 0.7;
  Ckinen[2] = 0.05;
  Cpres[2] = 11.0;
  group(1, 1, 500, true);
  startup();
  EXPECT_EQ(Cxvel[2], 0.7);
  EXPECT_EQ(Ckinen[2], 0.05);
  EXPECT_EQ(Cpres[2], 11.0);
  EXPECT_DOUBLE_EQ(NormResidual[4], 510.0);
}

struct RecordCase {
  const char* name;
  double pressure;  // field 4 of the G 18 record
  double expectedTop, expectedBottom;
};

TEST_F(StartupTest, InitialValuesOfTheLastG18Record) {
  const std::vector<RecordCase> cases = {
      {"no pressure: the hydrostatic field stays", 0.0, 7357.5, 17167.5},
      {"a pressure replaces it", 5000.0, 5000.0, 5000.0},
  };
  for (const RecordCase& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    FlagGravity = 1;
    UInitNo = 2;
    UInit[1] = {{0, 9, 9, 9, 9, 9, 9}};
    UInit[2] = {{0, 0.5, -0.2, 0.01, k.pressure, 0.003, 0.0004}};
    startup();
    for (int c = 1; c <= 4; ++c) {
      EXPECT_EQ(Cxvel[c], 0.5);
      EXPECT_EQ(Cyvel[c], -0.2);
      EXPECT_EQ(Czvel[c], 0.01);
      EXPECT_EQ(Ckinen[c], 0.003);
      EXPECT_EQ(Cepsilon[c], 0.0004);
      EXPECT_DOUBLE_EQ(Cpres[c], c % 2 == 0 ? k.expectedTop : k.expectedBottom);
    }
  }
}

// F 236 1: the columns of block 1 take the weight of the water again on top of the
// hydrostatic field; F 71 5 starts the damping factor at 1 whichever way the fields start.
TEST_F(StartupTest, MudBlockPressureAndDampingFactor) {
  fresh([] {
    FlagThixo = 1;
    TurbDensFlag = 5;
  });
  FlagGravity = 1;
  startup();
  EXPECT_DOUBLE_EQ(Cpres[1], 2 * 17167.5);
  EXPECT_DOUBLE_EQ(Cpres[2], 2 * 7357.5);
  for (int c = 1; c <= 4; ++c) EXPECT_EQ(CdampDensity[c], 1.0);

  fresh([] { TurbDensFlag = 5; });
  UInitNo = 1;
  UInit[1] = {{0, 0.5, 0, 0, 0, 0.003, 0.0004}};
  startup();
  for (int c = 1; c <= 4; ++c) EXPECT_EQ(CdampDensity[c], 1.0);
}

struct ProfileCase {
  const char* name;
  std::vector<ProfilePair> pairs;  // from the highest level downward
  double at025, at125;             // values at the two cell centres
};

// Temperature from a G 40 profile at the cell centres 0.25 m and 1.25 m.
TEST_F(StartupTest, TemperatureProfileAtTheCellCentres) {
  const std::vector<ProfileCase> cases = {
      // 1.25 lies between 2.5 and 1.0: w = 1.25 / 1.5, 10 w + 20 (1 - w); 0.25 lies below the
      // table and takes the last value.
      {"two pairs", {{2.5, 20}, {1.0, 10}}, 10.0, 10.0 * (1.25 / 1.5) + 20.0 * (0.25 / 1.5)},
      // Segment 2.0..1.0: w = 0.75, 0.75 * 10 + 0.25 * 16.
      {"three pairs", {{2.5, 20}, {2.0, 16}, {1.0, 10}}, 10.0, 11.5},
      // Both centres lie above the first level: its value.
      {"table below the cells", {{0.2, 7}, {0.1, 5}}, 7.0, 7.0},
      // A single pair is a constant.
      {"one pair", {{1.0, 12}}, 12.0, 12.0},
  };
  for (const ProfileCase& k : cases) {
    SCOPED_TRACE(k.name);
    fresh([] {
      TemperatureFlag = 1;
      NoComponents = 1;
    });
    NoVerttemp = static_cast<int>(k.pairs.size());
    for (int p = 0; p < NoVerttemp; ++p) Verttemp[p] = k.pairs[p];
    startup();
    for (int c = 1; c <= 4; ++c)
      EXPECT_NEAR(Ccomp[0][c], c % 2 == 1 ? k.at025 : k.at125, 1e-12) << c;
  }

  // A later call writes the profile again over the transported values.
  FlagInitialized = 1;
  for (int c = 1; c <= 4; ++c) Ccomp[0][c] = 99;
  startup();
  EXPECT_EQ(Ccomp[0][1], 12.0);
  EXPECT_EQ(Ccomp[0][2], 12.0);
}

TEST_F(StartupTest, ComponentProfilesAndTheirOldLevel) {
  fresh([] {
    NoComponents = 2;
    TimeStep = 1.0;
  });
  NoQI = 1;
  NoVariable[0] = 1;
  NoVertInit[0] = 2;
  VertQInit[0][0] = {2.25, 1.0};
  VertQInit[0][1] = {0.25, 0.2};
  startup();
  // 1.25 is halfway: 0.6; 0.25 sits on the last level: w = 1, the last value.
  for (int c = 1; c <= 4; ++c) {
    const double v = c % 2 == 1 ? 0.2 : 0.6;
    EXPECT_NEAR(Ccomp[1][c], v, 1e-12) << c;
    EXPECT_NEAR(Ccomp_old[1][c], v, 1e-12) << c;
    EXPECT_EQ(Ccomp[0][c], 0.0);
  }

  // A profile for a component that does not exist is refused instead of writing past the table.
  fresh([] { NoComponents = 2; });
  NoQI = 1;
  NoVariable[0] = 2;
  NoVertInit[0] = 1;
  VertQInit[0][0] = {1.0, 1.0};
  try {
    startup();
    ADD_FAILURE() << "no end of the run";
  } catch (const RunEnd& e) {
    EXPECT_EQ(e.status, 1);
  }
  EXPECT_NE(
      log().find("Input error for G 41 in control: component 2 does not exist (2 components)\n"),
      std::string::npos);
}

TEST_F(StartupTest, TwoLayerTemperatureFields) {
  // F 69 7th value 1: by cell number within the block, cells 1..1 + 3/2 cold, the rest warm.
  fresh([] {
    TemperatureFlag = 1;
    NoComponents = 1;
  });
  Seiche7 = 1;
  startup();
  const double byNumber[5] = {0, 10, 10, 20, 20};
  for (int c = 1; c <= 4; ++c) EXPECT_EQ(Ccomp[0][c], byNumber[c]) << c;

  // 7th value 2: warm within 2 m of the water level 2.5 (centre 1.25), cold below (0.25).
  fresh([] {
    TemperatureFlag = 1;
    NoComponents = 1;
  });
  Seiche7 = 2;
  level = 2.5;
  startup();
  const double byLevel[5] = {0, 10, 20, 10, 20};
  for (int c = 1; c <= 4; ++c) EXPECT_EQ(Ccomp[0][c], byLevel[c]) << c;
}

struct RoughnessCase {
  const char* name;
  double xks, manning;
  double expected;
};

TEST_F(StartupTest, RoughnessOfEveryCell) {
  const std::vector<RoughnessCase> cases = {
      {"default: (26 / 50)^6 = 0.52^6", -2.0, 50.0, 0.019770609664},
      {"Strickler 26 gives 1 m", -1.0, 26.0, 1.0},
      {"zero is raised to 1e-5", 0.0, 50.0, 1e-5},
      {"a given height", 0.05, 50.0, 0.05},
  };
  for (const RoughnessCase& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    XksWall = k.xks;
    ManningInit = k.manning;
    startup();
    EXPECT_NEAR(XksWall, k.expected, 1e-12);
    for (int c = 1; c <= 4; ++c) EXPECT_NEAR(Croughness[c], k.expected, 1e-12) << c;
  }
}

TEST_F(StartupTest, BedRoughnessPerColumnAndPerBedCell) {
  // F 90 1: the bottom cell of column (2, 2) and (3, 2) and their bed cells take the map.
  XksWall = 0.05;
  FlagRoughness = 1;
  Cbed[1] = 1;
  Cbed[3] = 2;
  roughness[2][2] = 0.3;
  roughness[3][2] = 0.4;
  startup();
  const double byCell[5] = {0, 0.3, 0.05, 0.4, 0.05};
  for (int c = 1; c <= 4; ++c) EXPECT_EQ(Croughness[c], byCell[c]) << c;
  EXPECT_EQ(Broughness[1], 0.3);
  EXPECT_EQ(Broughness[2], 0.4);

  // F 90 2 on a later call: bed cells with a roughness give it to their bottom cell.
  fresh();
  XksWall = 0.05;
  FlagRoughness = 2;
  FlagInitialized = 1;
  NoBCells = 2;
  WBStart = 1;
  WBEnd = 2;
  Bcellt[1] = 1;
  Bcellt[2] = 3;
  Broughness[1] = 0.07;
  Broughness[2] = 1e-11;
  startup();
  const double byBed[5] = {0, 0.07, 0.05, 0.05, 0.05};
  for (int c = 1; c <= 4; ++c) EXPECT_EQ(Croughness[c], byBed[c]) << c;
}

TEST_F(StartupTest, PressureRegressionSumsStartAfresh) {
  fresh([] { PresRegres = 1; });
  RegIter = 12;
  PresRegresN[2][2] = 4;
  PresRegresSumXX[3][2] = 30;
  PresRegresSumPres[3][2] = 8.5;
  FlagNeedsToBeInterpolated = 1;
  startup();
  EXPECT_EQ(RegIter, 0);
  EXPECT_EQ(PresRegresN[2][2], 0);
  EXPECT_EQ(PresRegresSumXX[3][2], 0);
  EXPECT_EQ(PresRegresSumPres[3][2], 0.0);
  EXPECT_EQ(FlagNeedsToBeInterpolated, 0);

  // Not on a later call.
  RegIter = 5;
  PresRegresN[2][2] = 4;
  FlagNeedsToBeInterpolated = 1;
  FlagInitialized = 1;
  startup();
  EXPECT_EQ(RegIter, 5);
  EXPECT_EQ(PresRegresN[2][2], 4);
  EXPECT_EQ(FlagNeedsToBeInterpolated, 1);
}

}  // namespace
}  // namespace qorva
