// The one-dimensional backwater curve on small blocks of unit columns (grid line i at x = i - 1,
// the outlet at the last line), the start levels from the top pressures and the median surface
// pressure of a group. Expected values are worked out by hand from the Manning-Strickler law,
// Sf = U^2 / (M^2 R^(4/3)), on the cross-sections the beds give.
#include <cmath>
#include <filesystem>
#include <string>

#include "grid/grid.h"
#include "state/bedcells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/surfaces.h"
#include "support/surface_grid.h"
#include "surface/surface.h"

namespace qorva {
namespace {

// Friction slope of a rectangular section of width B and depth h carrying Q, Strickler M; the
// wetted perimeter is the bed alone.
double rectangleSlope(double Q, double B, double h, double M) {
  const double U = Q / (B * h);
  return U * U / (M * M * std::pow(h, 1.33333));
}

class Backwater : public test::SurfaceGrid {
 protected:
  // A flat box of nx x 2 columns, bed at -1, water at 0: a rectangle 2 m wide, 1 m deep.
  void flatBox(int nx) { box(nx, 2, 2, 1.0); }
  static double lineLevel(int i) { return level(i, 2); }
};

TEST_F(Backwater, EachLineRisesByTheFrictionSlopeOfItsSection) {
  flatBox(3);
  FlagTFS = 30;
  qorva::level = 0;       // W 1: the start level while GlobZRef is unset
  discharge = 1;   // W 1: no discharge of group 1 yet
  ManningInit = 50;
  backwater();
  // Line 4 is the outlet; each line upstream takes its section at the level of the line below.
  double z = 0, expected[5] = {};
  expected[4] = 0;
  for (int i = 3; i >= 1; --i) {
    z += rectangleSlope(1, 2, 1 + z, 50) * 1.0;
    expected[i] = z;
  }
  EXPECT_NEAR(expected[3], 1e-4, 1e-12);
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 3; ++j) {
      SCOPED_TRACE(strf("%d %d", i, j));
      EXPECT_NEAR(zval[i][j][znumber], expected[i], 1e-12);
      EXPECT_EQ(zval[i][j][znumber + 1], zval[i][j][znumber]);
    }
  EXPECT_NEAR(maxBackwater, expected[1], 1e-12);
  // The start values of the level equation: the mean corner level of each column.
  for (int i = 2; i <= 4; ++i)
    for (int j = 2; j <= 3; ++j)
      EXPECT_NEAR(Cf[bottom(i, j)], 0.5 * (expected[i - 1] + expected[i]), 1e-12);
}

TEST_F(Backwater, LevelsChangeOnlyForTheBackwaterAlgorithms) {
  struct Case {
    int tfs, casulli;
    bool sets;
  };
  for (const Case& k : {Case{30, 0, true}, Case{4, 30, true}, Case{2, 0, false},
                        Case{4, 4, false}}) {
    SCOPED_TRACE(strf("F 36 %d F 343 %d", k.tfs, k.casulli));
    SetArraysZero();
    setDefaults();
    flatBox(2);
    qorva::level = 0.5;
    for (int i = 1; i <= 3; ++i)
      for (int j = 1; j <= 3; ++j) zval[i][j][znumber] = zval[i][j][znumber + 1] = 0;
    FlagTFS = k.tfs;
    BlockCasulli = k.casulli;
    backwater();
    // The curve from 0.5 m over a 1.5 m deep rectangle.
    const double z1 = 0.5 + rectangleSlope(1, 2, 1.5, 50);
    EXPECT_NEAR(maxBackwater, z1 - 0.5 + rectangleSlope(1, 2, 1.5 + (z1 - 0.5), 50), 1e-12);
    EXPECT_EQ(lineLevel(3), k.sets ? 0.5 : 0.0);
    EXPECT_EQ(lineLevel(2), k.sets ? z1 : 0.0);
  }
}

TEST_F(Backwater, StartsFromTheReferenceLevelAndTheGroupDischarge) {
  flatBox(2);
  FlagTFS = 30;
  qorva::level = 5;  // not used: the reference level is set
  GlobZRef = 0.2;
  DischargeArray[1] = 3000;  // kg/s
  discharge = 1;
  backwater();
  EXPECT_EQ(lineLevel(3), 0.2);
  EXPECT_NEAR(lineLevel(2), 0.2 + rectangleSlope(3, 2, 1.2, 50), 1e-12);
}

// Bed -1 at j = 1 and 2, +1 at j = 3: at level 0 the section is 1 m at full depth and the wet
// half of the bank, A = 1 + 0.25 m2, P = 1 + sqrt(0.5^2 + 1) m.
TEST_F(Backwater, PartlyWetSectionTakesItsWetPart) {
  build(2, 2, 2, [](int, int j) { return j == 3 ? 1.0 : -1.0; }, [](int, int) { return 0.0; });
  ASSERT_NE(bottom(3, 2), 0);
  FlagTFS = 30;
  qorva::level = 0;
  discharge = 1;
  backwater();
  const double A = 1.25, P = 1 + std::sqrt(1.25), U = 1 / A;
  const double Sf = U * U / (2500 * std::pow(A / P, 1.33333));
  EXPECT_NEAR(2 * Cidist[bottom(3, 2)], 1.0, 1e-9);
  EXPECT_NEAR(lineLevel(2), Sf, 1e-12);
}

// A line whose bed lies above the running level has no section to carry the discharge: it
// keeps the level, with a warning, instead of dividing by its empty section.
TEST_F(Backwater, DryLineKeepsTheLevel) {
  build(3, 2, 2, [](int i, int) { return i == 1 ? 0.5 : -1.0; },
        [](int i, int) { return i == 1 ? 0.5 : 0.0; });
  FlagTFS = 30;
  qorva::level = 0;
  discharge = 1;
  backwater();
  const double z3 = rectangleSlope(1, 2, 1, 50);
  const double z2 = z3 + rectangleSlope(1, 2, 1 + z3, 50);
  EXPECT_NEAR(lineLevel(3), z3, 1e-12);
  EXPECT_NEAR(lineLevel(2), z2, 1e-12);
  EXPECT_EQ(lineLevel(1), lineLevel(2));
  EXPECT_EQ(maxBackwater, lineLevel(1));
  EXPECT_NE(log().find("Warning: the backwater curve finds grid line 1 of block 1 dry at level"),
            std::string::npos)
      << log();
}

TEST_F(Backwater, SingleLineBlockSetsOnlyItsOutletLine) {
  flatBox(2);
  block[1].i2 = block[1].i1 - 1;  // one grid line: i1 - 1 = i2
  FlagTFS = 30;
  qorva::level = 0.25;
  backwater();
  EXPECT_EQ(maxBackwater, 0.0);
  EXPECT_EQ(lineLevel(1), 0.25);
  EXPECT_EQ(lineLevel(2), 0.0);
}

// Froude limit: a rectangle 2 m wide and 1 m deep with 1 m3/s flows at Fr = 0.5 / sqrt(9.81)
// = 0.160; half a hydraulic radius higher (1.5 m deep) at 0.087.
TEST_F(Backwater, FroudeLimitRaisesTheLevel) {
  const auto froude = [](double h) { return (1 / (2 * h)) / std::sqrt(9.81 * h); };
  struct Case {
    double limit;
    bool fullStep;
  };
  for (const Case& k : {Case{0.1, false}, Case{0.05, true}}) {
    SCOPED_TRACE(k.limit);
    SetArraysZero();
    setDefaults();
    flatBox(2);
    FlagTFS = 30;
    qorva::level = 0;
    discharge = 1;
    solverFroude = 1;
    solverFroudeLimit = k.limit;
    backwater();
    const double z = rectangleSlope(1, 2, 1, 50);  // the friction step, R = 1 m
    const double Fr = froude(1 + z), Fr2 = froude(1.5 + z);
    const double rise = k.fullStep ? 0.5 : 0.5 * (Fr - k.limit) / (Fr - Fr2);
    EXPECT_NEAR(lineLevel(2), z + rise, 1e-9);
    if (!k.fullStep) {
      // Linear between the two: close to the level of the limit.
      EXPECT_NEAR(froude(1 + z + rise), k.limit, 0.01);
    }
  }
}

// Grain roughness (F 475 1): fractions 0.1 coarse (1 cm) and 0.9 fine (1 mm). The fraction finer
// than the centre of the fine size is 0.45, of the coarse one 0.95, so d90 lies a tenth of the
// way from 1 cm to 1 mm: 0.0091 m, M = 26 / d90^(1/6).
TEST_F(Backwater, GrainRoughnessFromTheBedD90) {
  lnumber = 2;
  flatBox(2);
  ASSERT_TRUE(BSedDistrib);
  gsize[1] = 0.01;
  gsize[2] = 0.001;
  for (int b = 1; b <= NoBCells; ++b) {
    BSedDistrib[1][1][b] = 0.1;
    BSedDistrib[1][2][b] = 0.9;
  }
  FlagFriction = 1;
  FlagTFS = 30;
  Iter = 1;
  qorva::level = 0;
  discharge = 1;
  backwater();
  for (int b = 1; b <= NoBCells; ++b) EXPECT_NEAR(Bd90[b], 0.0091, 1e-12);
  const double M = 26 / std::pow(0.0091, 1.0 / 6.0);
  EXPECT_NEAR(lineLevel(2), rectangleSlope(1, 2, 1, M), 1e-6 * rectangleSlope(1, 2, 1, M));
}

TEST_F(Backwater, NeedsAGrid) {
  EXPECT_EQ(status([] { backwater(); }), 1);
  EXPECT_EQ(log(), "Error: the backwater curve needs a grid with block 1 (give a grid task such "
                   "as Y or U before it)\n");
}

// Three lines of two columns each, top pressures 3000, 2000, 1000 Pa from upstream: each
// line's value is its head over the line downstream less its surface's height above the
// reference.
TEST_F(Backwater, StartLevelsFromTheTopPressures) {
  box(3, 2, 2, 1.0);
  GlobZRef = -0.1;
  for (int i = 2; i <= 4; ++i)
    for (int j = 2; j <= 3; ++j) Cpres[top(i, j)] = 1000.0 * (5 - i);
  backwaterPres();
  for (int j = 2; j <= 3; ++j) {
    EXPECT_EQ(Cf[bottom(4, j)], 0.0);
    // The surface lies at 0, 0.1 above the reference.
    EXPECT_NEAR(Cf[bottom(3, j)], 1000.0 / 9810 - 0.1, 1e-12);
    EXPECT_NEAR(Cf[bottom(2, j)], 1000.0 / 9810 - 0.1, 1e-12);
  }
}

class MedianPressure : public test::SurfaceGrid {
 protected:
  // Group 1 lists the top faces of the first n columns, which carry the pressures p(k).
  template <class P>
  void group(int n, P p) {
    DischargeGroup& d = DischargeStruct[1];
    d.surfaceNo = 0;
    for (int j = 2; j <= ny_ + 1; ++j)
      for (int i = 2; i <= nx_ + 1 && d.surfaceNo < n; ++i) {
        const int t = top(i, j);
        Cpres[t] = p(d.surfaceNo);
        d.surfaceList[d.surfaceNo++] = Cflatet[t];
      }
  }
};

TEST_F(MedianPressure, MiddleOfTheSortedPressures) {
  box(10, 5, 1, 1.0);
  struct Case {
    int n;
    double median;
  };
  // Pressures 100 (k mod 7): odd count the middle, even count the upper middle.
  for (const Case& k : {Case{5, 300}, Case{4, 300}, Case{1, 0}}) {
    SCOPED_TRACE(k.n);
    group(k.n, [](int m) { return 100.0 * (m % 7 == 0 ? 0 : (m * 3) % 7); });
    EXPECT_EQ(findMedianPressure(1), k.median);
  }
  // 50 faces: the 50th (the highest pressure) is not counted, so the median of 0..48.
  group(50, [](int m) { return 10.0 * m; });
  EXPECT_EQ(findMedianPressure(1), 240.0);
}

TEST_F(MedianPressure, GroupWithoutSurfaceCellStops) {
  box(2, 2, 2, 1.0);
  DischargeGroup& d = DischargeStruct[2];
  d.surfaceNo = 1;
  d.surfaceList[0] = Cflatew[bottom(2, 2)];  // a side face of a bottom cell: no top cell
  EXPECT_EQ(status([] { findMedianPressure(2); }), 1);
  EXPECT_EQ(log(), "Error: the backwater scaling needs the surface pressure of discharge group "
                   "2, which has no face at a top cell\n");
}

}  // namespace
}  // namespace qorva
