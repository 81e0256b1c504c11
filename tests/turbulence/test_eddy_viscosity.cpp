// Eddy viscosity of each turbulence model on hand-made cells against its formula: the
// k-epsilon family with its additions, the wind-driven forms and their time series, the
// realizable model on linear velocity fields, the near-bed forms of the vertical viscosity,
// the options that damp, raise and scale it, and the algebraic epsilon.
#include <gtest/gtest.h>
#include <omp.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/box_grid.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "state/timeseries.h"
#include "support/scratch.h"
#include "turbulence/turbulence.h"

namespace qorva {
namespace {

using test::makeBox;

constexpr double kRel = 1e-9;

void expectNear(double actual, double expected) {
  EXPECT_NEAR(actual, expected, kRel * std::fabs(expected) + 1e-15);
}

class EddyViscosity : public test::Scratch {
 protected:
  // Status of the run's end, or 1000 when the call returned.
  template <class F>
  static int ends(F f) {
    try {
      f();
    } catch (const RunEnd& e) {
      return e.status;
    }
    return 1000;
  }
};

// One cell with k = 0.01 m2/s2 and epsilon 0.001 m2/s3: the standard value is
// 90 k^2/eps = 9 plus MinGamma 0.001; the RNG coefficient 84.5 gives 8.45.
struct ModelCase {
  int model;
  int equation;
  double artEddy, maxGamma;
  double expected;
};

TEST_F(EddyViscosity, ModelTableOnOneCell) {
  const std::vector<ModelCase> cases = {
      {0, 1, 0, 1000, 9.001},
      {0, 1, 0.5, 1000, 9.501},         // ArtEddyVisc added with MinGamma
      {0, 1, 0, 5, 5},                  // capped by MaxGamma
      {1, 1, 0, 1000, 8.451},           // RNG: 84.5 k^2/eps + 0.001
      {1, 1, 0, 8, 8},
      {2, 1, 0, 1000, 9.001},
      {3, 1, 0, 1000, 9.001},
      {14, 1, 0, 1000, 9.001},
      {18, 1, 0, 1000, 9.001},
      {4, 1, 0.25, 1000, 0.251},        // constant MinGamma + ArtEddyVisc
      {6, 1, 0, 1000, 0.001},
      {5, 1, 0, 1000, 0.001},           // wind models without wind: the constant
      {7, 1, 0.25, 1000, 0.251},
      {15, 1, 0.5, 5, 10},              // k/omega = 0.01/0.001, no 1000, no additions, no cap
      {16, 1, 0, 1000, 10},
      // Epsilon equation: Prandtl number 1.3 for 0, 2 and 8..13 only.
      {0, 6, 0, 1000, 9.001 * 0.7692},
      {2, 6, 0, 1000, 9.001 * 0.7692},
      {8, 6, 0, 1000, 9.001 * 0.7692},
      {1, 6, 0, 1000, 8.451},
      {3, 6, 0, 1000, 9.001},
      {14, 6, 0, 1000, 9.001},
      {18, 6, 0, 1000, 9.001},
      {15, 6, 0, 1000, 10},
      {4, 6, 0, 1000, 0.001},
  };
  makeBox({1}, {1}, {1});
  for (const ModelCase& m : cases) {
    SCOPED_TRACE("model " + std::to_string(m.model) + " equation " +
                 std::to_string(m.equation));
    TurbulenceModel = m.model;
    Equation = m.equation;
    ArtEddyVisc = m.artEddy;
    MaxGamma = m.maxGamma;
    Ckinen[1] = 0.01;
    Cepsilon[1] = 0.001;
    Cgamma[1] = CgammaV[1] = -1;
    GammaCalc(1, 1);
    expectNear(Cgamma[1], m.expected);
    // The near-bed models form their own vertical value (tested below).
    if (m.model != 8) {
      EXPECT_EQ(CgammaV[1], Cgamma[1]);
    }
  }
}

TEST_F(EddyViscosity, BlendWithPreviousValueUnderCorrTrekant24) {
  // The blend 0.5 x standard + 0.5 x the held value reaches every model past the first four
  // selection steps; the RNG, constant, k-omega and wind forms stay as they are.
  struct Case {
    int model;
    double expected;
  };
  // 0.5 x 9.001 + 0.5 x 2 = 5.5005.
  const std::vector<Case> cases = {
      {0, 5.5005}, {2, 5.5005}, {11, 5.5005}, {17, 5.5005}, {18, 5.5005}, {5, 5.5005},
      {7, 5.5005}, {1, 8.451},  {4, 0.001},   {6, 0.001},   {15, 10},
  };
  makeBox({1}, {1}, {1});
  FlagCorrTrekant = 24;
  Equation = 1;
  for (const Case& m : cases) {
    SCOPED_TRACE(m.model);
    TurbulenceModel = m.model;
    Ckinen[1] = 0.01;
    Cepsilon[1] = 0.001;
    Cgamma[1] = 2;
    GammaCalc(1, 1);
    expectNear(Cgamma[1], m.expected);
  }
}

TEST_F(EddyViscosity, HeldVerticalViscosityWithTurbDLL) {
  makeBox({1}, {1}, {1});
  FlagTurbDLL = 1;
  Ckinen[1] = 0.01;
  Cepsilon[1] = 0.001;
  CgammaV[1] = 7;
  GammaCalc(1, 1);
  expectNear(Cgamma[1], 9.001);
  EXPECT_EQ(CgammaV[1], 7);
}

// Wind factors W2 by F 73, worked by hand: 0: W^2 up to 5.6 m/s, at 10 m/s
// 100 (1 + 1.9 x 0.44^2) = 136.784; 1: 1.1 W^2; 2: 1.25 W^1.5 below 1 (0.5 -> 0.4419417),
// 0.5 W^2.5 below 15 (4 -> 16), 2.6 W^2 from 15 (20 -> 1040); 3: W itself.
struct WindCase {
  int flag;
  double W;
  double W2;
};

TEST_F(EddyViscosity, WindModelSevenPerColumn) {
  const std::vector<WindCase> cases = {
      {0, 5, 25},      {0, 10, 136.784}, {1, 10, 110}, {2, 0.5, 0.44194173824159},
      {2, 4, 16},      {2, 20, 1040},    {3, 10, 10},  {7, 10, 10},
  };
  // Two columns of two cells; the second column is deepened by hand to 1 + 3 m.
  makeBox({1, 1}, {1}, {1, 1});
  Ckdist[3] = 0.5;
  Ckdist[4] = 1.5;
  TurbulenceModel = 7;
  Equation = 1;
  ArtEddyVisc = 0.01;
  for (const WindCase& w : cases) {
    SCOPED_TRACE(std::to_string(w.flag) + " " + std::to_string(w.W));
    WindFlag = w.flag;
    Wind[0] = w.W;
    GammaCalc(1, 4);
    const double ustar = std::sqrt(0.0012 * w.W2 * 0.001);
    // 0.11 u* x depth x 1000 with the depth 2 D of each column (2 m and 4 m).
    const double first = 0.011 + 0.11 * ustar * 2.0 * 1000;
    const double second = 0.011 + 0.11 * ustar * 4.0 * 1000;
    expectNear(Cgamma[1], first);
    expectNear(Cgamma[2], first);
    expectNear(Cgamma[3], second);
    expectNear(Cgamma[4], second);
    expectNear(CgammaV[4], second);
  }
}

TEST_F(EddyViscosity, WindModelFiveTakesTheTopCellOfTheRange) {
  // Column of cells 1 m and 3 m high: the top cell's half height 1.5 m sets one value for
  // the range, 400 x 0.5477 x 1.5 x u*, W = 5: u* = sqrt(0.0012 x 25 x 0.001).
  makeBox({1}, {1}, {1, 3});
  TurbulenceModel = 5;
  Equation = 1;
  Wind[0] = 5;
  const double expected = 0.001 + 400 * 0.5477 * 1.5 * std::sqrt(0.0012 * 25 * 0.001);
  GammaCalc(1, 2);
  expectNear(Cgamma[1], expected);
  expectNear(Cgamma[2], expected);
  // A range that holds only the bottom cell still takes its column's top cell.
  Cgamma[1] = 0;
  GammaCalc(1, 1);
  expectNear(Cgamma[1], expected);
}

TEST_F(EddyViscosity, WindModelFiveIsOneValueWhateverTheThreads) {
  // Two columns of two cells whose top cells are 1 m and 3 m high. The working range begins
  // in the first column, so its top half height 0.5 m sets the value of every cell, also when
  // the range is cut into chunks that run on two threads: W = 5, u* = sqrt(0.0012 x 25 x
  // 0.001), 0.001 + 400 x 0.5477 x 0.5 x u*.
  makeBox({1, 1}, {1}, {1, 1});
  Ckdist[4] = 1.5;
  TurbulenceModel = 5;
  Equation = 1;
  Wind[0] = 5;
  const double expected = 0.001 + 400 * 0.5477 * 0.5 * std::sqrt(0.0012 * 25 * 0.001);
  struct Chunks {
    int split;  // first chunk 1..split, second split + 1..4
  };
  for (const Chunks& ch : std::vector<Chunks>{{2}, {3}, {1}}) {
    SCOPED_TRACE(ch.split);
    for (int c = 1; c <= 4; ++c) Cgamma[c] = -1;
    bool twoThreads = true;
#pragma omp parallel num_threads(2)
    {
      if (omp_get_num_threads() != 2) {
#pragma omp atomic write
        twoThreads = false;
      } else if (omp_get_thread_num() == 0) {
        GammaCalc(1, ch.split, Share::Chunk);
      } else {
        GammaCalc(ch.split + 1, 4, Share::Chunk);
      }
    }
    if (!twoThreads) GTEST_SKIP() << "no second thread";
    for (int c = 1; c <= 4; ++c) expectNear(Cgamma[c], expected);
  }
}

TEST_F(EddyViscosity, WindFromTheTimeSeries) {
  // Rows of timei carry the wind; the F 52 speed only switches the wind model on.
  TimeStep = 1;
  makeBox({1}, {1}, {2});
  TurbulenceModel = 7;
  Equation = 1;
  WindFlag = 1;  // W2 = 1.1 W^2
  Wind[0] = 1;
  struct Case {
    std::vector<double> times, winds;
    double t;
    double W;
  };
  const std::vector<Case> cases = {
      {{0}, {8}, 500, 8},                  // one row: a constant, never a row before it
      {{0}, {8}, 0, 8},
      {{0, 100}, {4, 12}, 25, 6},          // a quarter of the way from 4 to 12
      {{0, 100, 200}, {4, 12, 2}, 150, 7}, // half-way between rows 1 and 2
      {{0, 100, 200}, {4, 12, 2}, 900, 2}, // after the last row: the last value
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.t);
    TimeInNo = static_cast<int>(c.times.size());
    TimeInWind = true;
    for (int r = 0; r < TimeInNo; ++r) {
      TimeInTime[r] = c.times[r];
      Winn[r][0] = c.winds[r];
    }
    stimet = c.t;
    GammaCalc(1, 1);
    const double ustar = std::sqrt(0.0012 * 1.1 * c.W * c.W * 0.001);
    expectNear(Cgamma[1], 0.001 + 0.11 * ustar * 2.0 * 1000);
  }
  // No wind on F 52: the constant, whatever the rows carry.
  Wind[0] = 1e-10;
  GammaCalc(1, 1);
  expectNear(Cgamma[1], 0.001);
}

// Realizable model on the centre cell of a 3 x 3 x 3 box of uneven cells, with linear
// velocity fields (the face interpolation is then exact): k = 0.01, eps = 0.001.
//  - shear u = z: S~^2 = 1/2, R = 1/4, U* = sqrt(3)/2, W = 0, phi = 0.333333 pi/2,
//    As = 2.54 cos(phi) = 2.1997052, Cmu = 1/(4.04 + As x 10 U*) = 0.0433088, 43.3088 k^2/eps;
//  - u = x, v = y, w = -2z: S~^2 = 6, W = -6/6^1.5, 2.54 W < -1 so a = -1,
//    As = 2.54 cos(0.333333 pi) = 1.2700023, Cmu = 1/(4.04 + As x 10 sqrt 6) = 0.0284507;
//  - the opposite field: a = 1, As = 2.54, Cmu = 1/(4.04 + 25.4 sqrt 6) = 0.0150927;
//  - no motion: U* = 0, Cmu = 1/4.04 above 0.09, so the coefficient 90.
TEST_F(EddyViscosity, RealizableOnLinearFields) {
  struct Case {
    const char* name;
    double ux, uy, uz;  // u = ux x + uy y + uz z, and so on
    double vx, vy, vz;
    double wx, wy, wz;
    double expected;
  };
  const std::vector<Case> cases = {
      {"shear", 0, 0, 1, 0, 0, 0, 0, 0, 0, 4.330878088319},
      {"axial a=-1", 1, 0, 0, 0, 1, 0, 0, 0, -2, 2.845065460138},
      {"axial a=1", -1, 0, 0, 0, -1, 0, 0, 0, 2, 1.509273592737},
      {"rest", 0, 0, 0, 0, 0, 0, 0, 0, 0, 9.0},
  };
  const test::Box b = makeBox({1, 2, 1}, {1, 3, 1}, {1, 0.5, 1});
  TurbulenceModel = 17;
  Equation = 1;
  MaxGamma = 1;  // the realizable value carries no cap
  const int centre = b.cell(1, 1, 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (int n = 1; n <= NoCells; ++n) {
      const double x = Cxcenter[n], y = Cycenter[n], z = Czcenter[n];
      Cxvel[n] = c.ux * x + c.uy * y + c.uz * z;
      Cyvel[n] = c.vx * x + c.vy * y + c.vz * z;
      Czvel[n] = c.wx * x + c.wy * y + c.wz * z;
      Ckinen[n] = 0.01;
      Cepsilon[n] = 0.001;
    }
    GammaCalc(centre, centre);
    expectNear(Cgamma[centre], c.expected);
  }
}

TEST_F(EddyViscosity, RealizableUnderVeryWeakStrain) {
  // Velocity gradients of 1e-110 /s: the strain norm cubed is below the smallest double, yet
  // the strain still has a direction. U* is then far too small to matter: Cmu = 1/4.04, the
  // coefficient 90, and 90 x 0.01^2 / 0.001 = 9.
  struct Case {
    const char* name;
    double ux, uz, vy, wz;  // u = ux x + uz z, v = vy y, w = wz z
  };
  const std::vector<Case> cases = {
      {"shear", 0, 1e-110, 0, 0},
      {"axial", 1e-110, 0, 1e-110, -2e-110},
  };
  const test::Box b = makeBox({1, 2, 1}, {1, 3, 1}, {1, 0.5, 1});
  TurbulenceModel = 17;
  Equation = 1;
  const int centre = b.cell(1, 1, 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (int n = 1; n <= NoCells; ++n) {
      Cxvel[n] = c.ux * Cxcenter[n] + c.uz * Czcenter[n];
      Cyvel[n] = c.vy * Cycenter[n];
      Czvel[n] = c.wz * Czcenter[n];
      Ckinen[n] = 0.01;
      Cepsilon[n] = 0.001;
    }
    GammaCalc(centre, centre);
    expectNear(Cgamma[centre], 9.0);
  }
}

TEST_F(EddyViscosity, VelocityGradientsOfALinearField) {
  // u = 2x + 3y - z, v = -x + 4z, w = 5y - 6z on uneven cells: the centre cell recovers the
  // nine derivatives.
  const test::Box b = makeBox({1, 2, 1}, {1, 3, 1}, {1, 0.5, 1});
  for (int n = 1; n <= NoCells; ++n) {
    const double x = Cxcenter[n], y = Cycenter[n], z = Czcenter[n];
    Cxvel[n] = 2 * x + 3 * y - z;
    Cyvel[n] = -x + 4 * z;
    Czvel[n] = 5 * y - 6 * z;
  }
  double g[3][3];
  velocityGradients(b.cell(1, 1, 1), g);
  const double expected[3][3] = {{2, 3, -1}, {-1, 0, 4}, {0, 5, -6}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(g[i][j], expected[i][j], 1e-12) << i << j;
}

TEST_F(EddyViscosity, VelocityGradientsWithMissingNeighbours) {
  // Two columns of two cells, 1 m and 3 m wide, 2 m long, 0.5 m and 1.5 m high: every cell
  // has one neighbour in x, one in z and none in y. A missing neighbour's face takes the
  // cell's own value, so on a linear field the difference spans only the half cell towards
  // the neighbour: half the x and z derivatives, whatever the cell sizes (the face value
  // between two unequal cells lies exactly on the line). u = 2x + 3y - z, v = -x + 4z,
  // w = 5y - 6z; y is the same in every cell.
  const test::Box b = makeBox({1, 3}, {2}, {0.5, 1.5});
  for (int n = 1; n <= NoCells; ++n) {
    const double x = Cxcenter[n], y = Cycenter[n], z = Czcenter[n];
    Cxvel[n] = 2 * x + 3 * y - z;
    Cyvel[n] = -x + 4 * z;
    Czvel[n] = 5 * y - 6 * z;
  }
  const double expected[3][3] = {{1, 0, -0.5}, {-0.5, 0, 2}, {0, 0, -3}};
  for (int i = 0; i < 2; ++i)
    for (int k = 0; k < 2; ++k) {
      SCOPED_TRACE(std::to_string(i) + std::to_string(k));
      double g[3][3];
      velocityGradients(b.cell(i, 0, k), g);
      for (int r = 0; r < 3; ++r)
        for (int s = 0; s < 3; ++s) EXPECT_NEAR(g[r][s], expected[r][s], 1e-12) << r << s;
    }
}

// Near-bed vertical viscosity on one column of two cells 0.1 m high (half heights 0.05):
// the bottom cell has k = 3e-8, eps = 1e-9 (Cgamma 90 x 9e-16/1e-9 + 0.001 = 0.001081), the
// upper one k = 1e-3, eps = 1e-4 (Cgamma 0.901). u* = sqrt(0.3 x 3e-8) = 9.486833e-5,
// D = 0.1, G = 0.11 u* 0.2 x 1000 = 0.0020871033; z = 0.05 and 0.15, so y+ = 4.7434165 and
// 14.2302495; u = 0.01 m/s gives Re = 2 x 0.1 x 0.01 / 1e-6 = 2000.
//  - model 8: (1 - exp(-0.0002 y+ - 0.00065 y+^2)) Cgamma + 0.001 = 0.0010167047, 0.1143654544;
//  - model 9: R_T = k^2/(1e-6 eps) = 0.9 and 1e4,
//    (1 + 4.1 R_T^-0.75)(1 - exp(-0.03846 y+))^2 Cgamma + 0.001 = 0.0011634449, 0.1617205753;
//  - sqrt(Cgamma G) + 0.001 = 0.0025020515, 0.0443645020; G + 0.001 = 0.0030871033.
struct NearBedCase {
  int model;
  double width;  // plan size of the column (m)
  double lower, upper;
};

TEST_F(EddyViscosity, NearBedVerticalForms) {
  const double copy0 = 0.001081, copy1 = 0.901;
  const double root0 = 0.0025020514703, root1 = 0.0443645019964, col = 0.0030871032557;
  const std::vector<NearBedCase> cases = {
      {8, 1, 0.0010167047369, 0.1143654543588},
      {9, 1, 0.0011634449019, 0.1617205752714},
      {10, 0.5, copy0, copy1},   // r = 0.1/0.5 = 0.2
      {10, 1.5, root0, root1},   // r = 0.0667
      {10, 4, root0, root1},     // r = 0.025: model 10 has no column value
      {11, 1.5, root0, root1},
      {11, 4, col, col},
      {12, 0.4, copy0, copy1},   // r2 = 0.25
      {12, 0.75, root0, root1},  // r1 = r2 = 0.1333
      {12, 4, col, col},
      {13, 4, col, col},         // the column has no side neighbours: as model 12
  };
  for (const NearBedCase& m : cases) {
    SCOPED_TRACE(std::to_string(m.model) + " " + std::to_string(m.width));
    SetArraysZero();
    setDefaults();
    makeBox({m.width}, {m.width}, {0.1, 0.1});
    Cbed[1] = Cbed[2] = 1;
    Barea[1] = m.width * m.width;
    TurbulenceModel = m.model;
    Equation = 1;
    Ckinen[1] = 3e-8;
    Cepsilon[1] = 1e-9;
    Ckinen[2] = 1e-3;
    Cepsilon[2] = 1e-4;
    Cxvel[1] = Cxvel[2] = 0.01;
    GammaCalc(1, 2);
    expectNear(Cgamma[1], copy0);
    expectNear(Cgamma[2], copy1);
    expectNear(CgammaV[1], m.lower);
    expectNear(CgammaV[2], m.upper);
    // A range that cuts the column gives each cell what the whole column gives it.
    CgammaV[1] = CgammaV[2] = 0;
    GammaCalc(2, 2);
    GammaCalc(1, 1);
    expectNear(CgammaV[1], m.lower);
    expectNear(CgammaV[2], m.upper);
  }
}

TEST_F(EddyViscosity, NearBedFormsAboveTheReynoldsLimitCopy) {
  // Cells 0.5 m high, u = 0.003 m/s: Re = 2 x 0.5 x 0.003 / 1e-6 = 3000 exactly, not below.
  for (int model : {8, 9}) {
    SCOPED_TRACE(model);
    SetArraysZero();
    setDefaults();
    makeBox({1}, {1}, {0.5, 0.5});
    TurbulenceModel = model;
    Equation = 1;
    Ckinen[1] = Ckinen[2] = 1e-3;
    Cepsilon[1] = Cepsilon[2] = 1e-4;
    Cxvel[1] = Cxvel[2] = 0.003;
    FlagTurbDLL = 1;  // the near-bed forms are formed whatever F 121
    GammaCalc(1, 2);
    expectNear(CgammaV[1], 0.901);
    expectNear(CgammaV[2], 0.901);
  }
}

TEST_F(EddyViscosity, ModelThirteenCopiesInsideTheFlow) {
  // Centre column of a 3 x 3 box of 4 m cells: its top cell has all four side neighbours,
  // so it copies, while a corner column takes the column value of model 12.
  const test::Box b = makeBox({4, 4, 4}, {4, 4, 4}, {0.1, 0.1});
  TurbulenceModel = 13;
  Equation = 1;
  for (int c = 1; c <= NoCells; ++c) {
    Cbed[c] = 1;
    Ckinen[c] = 3e-8;
    Cepsilon[c] = 1e-9;
    Cxvel[c] = 0.01;
  }
  Barea[1] = 16;
  GammaCalc(1, NoCells);
  const int centre = b.cell(1, 1, 1), corner = b.cell(0, 0, 1);
  expectNear(CgammaV[centre], 0.001081);
  expectNear(CgammaV[corner], 0.0030871032557);
}

TEST_F(EddyViscosity, StratificationDampingOfTheHorizontalViscosity) {
  // One column of three 1 m cells with sediment of relative density 2.65: concentrations
  // 0.003, 0.002, 0.001 upward, u = 0, 0.1, 0.3 m/s; alpha -0.5, beta 10.
  // Bottom cell (pair 1, 2): drho = -0.00265, dz = 1, s = 1/(0.1 + 1e-6),
  //   Ri = 9.81 x 0.00265 s^2 = 2.5995980, factor (1 + 25.995980)^-0.5 = 0.1924644.
  // Middle cell (pair 1, 3): drho = -0.0053, dz = 2, s = 2/(0.3 + 1e-6),
  //   Ri = 9.81 x 0.00265 x s^2 = 1.1553923, factor (1 + 11.553923)^-0.5 = 0.2822346.
  // Top cell (pair 2, 3): as the bottom cell with du = 0.2: Ri = 0.6499060, factor 0.3651713.
  // Model 0 with k = 0.01, eps = 0.001: 9.001 before the damping.
  makeBox({1}, {1}, {1, 1, 1});
  TurbDensFlag = 2;
  FlagTSC = 1;
  TDalpha = -0.5;
  TDbeta = 10;
  TurbulenceModel = 0;
  Equation = 1;
  const double conc[3] = {0.003, 0.002, 0.001}, u[3] = {0, 0.1, 0.3};
  for (int c = 1; c <= 3; ++c) {
    Cconc[0][c] = conc[c - 1];
    Cxvel[c] = u[c - 1];
    Ckinen[c] = 0.01;
    Cepsilon[c] = 0.001;
  }
  GammaCalc(1, 3);
  const double ri1 = 9.81 * 0.00265 / ((0.1 + 1e-6) * (0.1 + 1e-6));
  const double ri2 = 9.81 * 0.00265 * 4 / ((0.3 + 1e-6) * (0.3 + 1e-6));
  const double ri3 = 9.81 * 0.00265 / ((0.2 + 1e-6) * (0.2 + 1e-6));
  expectNear(Cgamma[1], 9.001 / std::sqrt(1 + 10 * ri1));
  expectNear(Cgamma[2], 9.001 / std::sqrt(1 + 10 * ri2));
  expectNear(Cgamma[3], 9.001 / std::sqrt(1 + 10 * ri3));
  expectNear(CgammaV[2], Cgamma[2]);

  // The floor MinGamma + ArtEddyVisc: a weak model value damped below it is raised to it.
  Ckinen[1] = Ckinen[2] = Ckinen[3] = 1e-4;  // 90 x 1e-8 / 1e-3 = 0.0009, + 0.001
  GammaCalc(1, 3);
  expectNear(Cgamma[1], 0.001);
  expectNear(Cgamma[2], 0.001);
}

TEST_F(EddyViscosity, StratificationDampingSkipsOneCellColumnsButKeepsTheFloor) {
  makeBox({1}, {1}, {1});
  TurbDensFlag = 2;
  FlagTSC = 1;
  TDalpha = -0.5;
  TDbeta = 10;
  TurbulenceModel = 4;
  MinGamma = 0.002;
  ArtEddyVisc = 0.003;
  GammaCalc(1, 1);
  expectNear(Cgamma[1], 0.005);
}

TEST_F(EddyViscosity, DampingFactorOfTheKSources) {
  TurbDensFlag = 5;
  makeBox({1}, {1}, {1, 1});
  Ckinen[1] = Ckinen[2] = 0.01;
  Cepsilon[1] = Cepsilon[2] = 0.001;
  CdampDensity[1] = 0.25;
  CdampDensity[2] = 0;  // a wall cell the k sources never reached
  GammaCalc(1, 2);
  expectNear(Cgamma[1], 9.001 * 0.25);
  EXPECT_EQ(Cgamma[2], 0);
}

TEST_F(EddyViscosity, MudLayerBlocks) {
  // Blocks 1 (cells 1-2) and 2 (cells 3-4); |ThixoEddyvisc| = 3.
  makeBox({1, 1}, {1}, {1, 1});
  NoBlocks = 2;
  block[1].cellstart = 1;
  block[1].cellend = 2;
  block[2].cellstart = 3;
  block[2].cellend = 4;
  ThixoEddyvisc = -3;
  Ckinen[1] = Ckinen[2] = Ckinen[3] = Ckinen[4] = 0.01;
  Cepsilon[1] = Cepsilon[2] = Cepsilon[3] = Cepsilon[4] = 0.001;

  FlagThixo = 1;  // block 1, whatever the range
  GammaCalc(3, 4);
  EXPECT_EQ(Cgamma[1], 3);
  EXPECT_EQ(Cgamma[2], 3);
  expectNear(Cgamma[3], 9.001);

  // While the mud flow is computed, the marked last block instead.
  Cgamma[1] = Cgamma[2] = 0;
  FlagThixoIsComputing = 1;
  block[2].thixo = 2;
  GammaCalc(1, 4);
  expectNear(Cgamma[1], 9.001);
  EXPECT_EQ(Cgamma[3], 3);
  EXPECT_EQ(CgammaV[4], 3);
}

TEST_F(EddyViscosity, AdditionsAndMultipliers) {
  struct Case {
    double artDiff, multVert, multHor;
    double horizontal, vertical;
  };
  const std::vector<Case> cases = {
      {0, 1, 1, 9.001, 9.001},
      {0.001, 1.005, 0.995, 9.001, 9.001},      // inside the dead bands: no change
      {0.5, 1, 1, 9.501, 9.501},
      {0, 2, 1, 9.001, 18.002},
      {0, 0.5, 3, 27.003, 4.5005},
      {0.5, 2, 3, 28.503, 19.002},              // ArtDiff first, then the multipliers
  };
  makeBox({1}, {1}, {1});
  for (const Case& m : cases) {
    SCOPED_TRACE(std::to_string(m.artDiff) + " " + std::to_string(m.multVert) + " " +
                 std::to_string(m.multHor));
    ArtDiff = m.artDiff;
    TurbMultVert = m.multVert;
    TurbMultHor = m.multHor;
    Ckinen[1] = 0.01;
    Cepsilon[1] = 0.001;
    GammaCalc(1, 1);
    expectNear(Cgamma[1], m.horizontal);
    expectNear(CgammaV[1], m.vertical);
  }
}

TEST_F(EddyViscosity, CornerColumnsAreMultiplied) {
  // 3 x 3 columns of two cells: only the four corner columns lack a neighbour in both
  // directions.
  const test::Box b = makeBox({1, 1, 1}, {1, 1, 1}, {1, 1});
  VertDiffTrekant = 4;
  for (int c = 1; c <= NoCells; ++c) {
    Ckinen[c] = 0.01;
    Cepsilon[c] = 0.001;
  }
  GammaCalc(1, NoCells);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      const bool corner = (i != 1) && (j != 1);
      for (int k = 0; k < 2; ++k) {
        SCOPED_TRACE(std::to_string(i) + std::to_string(j) + std::to_string(k));
        const int c = b.cell(i, j, k);
        expectNear(Cgamma[c], corner ? 4 * 9.001 : 9.001);
        expectNear(CgammaV[c], 9.001);
      }
    }
}

TEST_F(EddyViscosity, BedFormsRaiseTheVerticalViscosityOfMomentum) {
  // Column of two cells on bed cell 1, depth 2 m, bed forms 0.5 m, coefficient 12:
  // factor max(1, 12 x 0.5 / 2) = 3 for the momentum equations only.
  struct Case {
    int equation;
    double coefficient;
    double factor;
  };
  const std::vector<Case> cases = {{1, 12, 3}, {3, 12, 3}, {5, 12, 1}, {1, 2, 1}};
  makeBox({1}, {1}, {1, 1});
  Cbed[1] = Cbed[2] = 1;
  Bdepth[1] = 2;
  Bedformheight[1] = 0.5;
  for (const Case& m : cases) {
    SCOPED_TRACE(std::to_string(m.equation) + " " + std::to_string(m.coefficient));
    Equation = m.equation;
    GammaVertCoeff1 = m.coefficient;
    Ckinen[1] = Ckinen[2] = 0.01;
    Cepsilon[1] = Cepsilon[2] = 0.001;
    GammaCalc(1, 2);
    expectNear(Cgamma[2], 9.001);
    expectNear(CgammaV[1], 9.001 * m.factor);
    expectNear(CgammaV[2], 9.001 * m.factor);
  }
}

TEST_F(EddyViscosity, ChunksThatCutColumnsGiveTheResultOfOneCall) {
  // Two columns of three cells; every split point of 1..6 into two chunks must give each
  // cell what one call over the whole range gives it, for the column steps.
  struct Case {
    int model;
    double wind, cornerFactor, bedFormCoeff;
  };
  const std::vector<Case> cases = {{7, 8, 0, 0}, {11, 0, 0, 0}, {0, 0, 3, 0}, {12, 0, 0, 12}};
  for (const Case& m : cases) {
    SCOPED_TRACE(m.model);
    SetArraysZero();
    setDefaults();
    makeBox({3, 5}, {4}, {0.1, 0.2, 0.3});
    TurbulenceModel = m.model;
    Wind[0] = m.wind;
    VertDiffTrekant = m.cornerFactor;
    GammaVertCoeff1 = m.bedFormCoeff;
    Equation = 1;
    for (int c = 1; c <= NoCells; ++c) {
      Cbed[c] = c <= 3 ? 1 : 2;
      Ckinen[c] = 1e-4 * c;
      Cepsilon[c] = 1e-5 * (7 - c);
      Cxvel[c] = 0.01 * c;
    }
    Barea[1] = 12;
    Barea[2] = 20;
    Bdepth[1] = Bdepth[2] = 0.6;
    Bedformheight[1] = 0.1;
    Bedformheight[2] = 0.2;
    GammaCalc(1, NoCells);
    std::vector<double> h(NoCells + 1), v(NoCells + 1);
    for (int c = 1; c <= NoCells; ++c) {
      h[c] = Cgamma[c];
      v[c] = CgammaV[c];
    }
    for (int split = 1; split < NoCells; ++split) {
      SCOPED_TRACE(split);
      for (int c = 1; c <= NoCells; ++c) Cgamma[c] = CgammaV[c] = -1;
      GammaCalc(split + 1, NoCells);
      GammaCalc(1, split);
      for (int c = 1; c <= NoCells; ++c) {
        EXPECT_EQ(Cgamma[c], h[c]) << c;
        EXPECT_EQ(CgammaV[c], v[c]) << c;
      }
    }
  }
}

TEST_F(EddyViscosity, AlgebraicEpsilon) {
  // k = 0.04: k^2 = 0.0016, k^1.5 = 0.008; coefficient 2.
  struct Case {
    int model;
    double expected;
  };
  TurbDensFlag = 1;  // the density-current heights exist
  makeBox({1}, {1}, {1});
  Cbed[1] = 1;
  BTheight[1] = 0.5;
  Bdepth[1] = 4;
  coeffEpsilon = 2;
  for (const Case& m : std::vector<Case>{{18, 2 * 0.0016 / 0.8}, {19, 2 * 0.008 / 0.5},
                                         {20, 2 * 0.008 / 4}}) {
    SCOPED_TRACE(m.model);
    TurbulenceModel = m.model;
    Ckinen[1] = 0.04;
    Cgamma[1] = 0.8;
    Cepsilon[1] = -1;
    computeEpsilon();
    expectNear(Cepsilon[1], m.expected);
  }
}

TEST_F(EddyViscosity, AlgebraicEpsilonRefusesOtherModels) {
  const std::string message = "Error in combination of F 24 and F 328 in control file\n\n";
  makeBox({1}, {1}, {1});  // TurbDensFlag 0: no density-current heights
  for (int model : {0, 17, 19}) {
    SCOPED_TRACE(model);
    fresh();
    TurbulenceModel = model;
    Cepsilon[1] = 5;
    EXPECT_EQ(ends([] { computeEpsilon(); }), -8);
    EXPECT_EQ(log(), message);
    EXPECT_EQ(Cepsilon[1], 5);
  }
}

}  // namespace
}  // namespace qorva
