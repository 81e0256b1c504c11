// Pressure-correction coefficients on small boxes: hand values of every coefficient form on a
// box of two columns of two cells, boundary surfaces, the lone-cell floor, the transient
// free-surface form, a partial surface range, and sides with several neighbours.
#include <gtest/gtest.h>

#include <omp.h>

#include <cmath>
#include <functional>
#include <vector>

#include "support/box_grid.h"
#include "pressure/pressure.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using test::makeBox;

class PressureCoeff : public test::Scratch {};

// Two columns (x = 0..1 and 1..4) of two cells (z = 0..0.1 and 0.1..2), 4 m wide in y: cells
// 1 (lower) and 2 (upper) west, 3 and 4 east. Faces across x: 0.4 m2 below, 7.6 m2 above, the
// west cells 0.5 m and the east cells 1.5 m from them; faces across z: 4 m2 west, 12 m2 east,
// 0.05 m below and 0.95 m above them. 1/Ap is 1, 2, 3 and 5 e-3 s/kg.
test::Box twoColumns() {
  const test::Box b = makeBox({1, 3}, {4}, {0.1, 1.9});
  CinvAp[1] = 1e-3;
  CinvAp[2] = 2e-3;
  CinvAp[3] = 3e-3;
  CinvAp[4] = 5e-3;
  return b;
}

struct Coefficients {
  double lowerEast, upperEast, westColumn, eastColumn;
};

void expectCoefficients(const Coefficients& e) {
  // Both cells of a surface carry the same value, each in its own slot.
  EXPECT_NEAR(Cae[1], e.lowerEast, 1e-9);
  EXPECT_NEAR(Caw[3], e.lowerEast, 1e-9);
  EXPECT_NEAR(Cae[2], e.upperEast, 1e-9);
  EXPECT_NEAR(Caw[4], e.upperEast, 1e-9);
  EXPECT_NEAR(Cat[1], e.westColumn, 1e-9);
  EXPECT_NEAR(Cab[2], e.westColumn, 1e-9);
  EXPECT_NEAR(Cat[3], e.eastColumn, 1e-9);
  EXPECT_NEAR(Cab[4], e.eastColumn, 1e-9);
}

TEST_F(PressureCoeff, EveryFormOnTwoColumns) {
  // Interpolated 1/Ap: lower east (0.5 x 3 + 1.5 x 1)/2 e-3 = 1.5e-3, upper east
  // (0.5 x 5 + 1.5 x 2)/2 e-3 = 2.75e-3, west column 0.05 x 2 + 0.95 x 1 = 1.05e-3, east column
  // 0.05 x 5 + 0.95 x 3 = 3.1e-3; times 1000 A^2 (A^2 = 0.16, 57.76, 16, 144).
  const Coefficients plain{0.24, 158.84, 16.8, 446.4};
  struct Case {
    const char* what;
    int pcalg;
    Coefficients expected;
  };
  const std::vector<Case> cases = {
      {"interpolated 1/Ap", 0, plain},
      // One-cell columns only change F 184 2; here every column has two cells.
      {"F 184 2 without lone cells", 2, plain},
      // The larger 1/Ap of the two cells: 3e-3, 5e-3, 2e-3, 5e-3.
      {"F 184 3", 3, {0.48, 288.8, 32.0, 720.0}},
      // Floor 0.2 x mean(0.4, 7.6) = 0.8 m2 raises the lower east face: 1.5e-3 x 0.64 x 1000.
      {"F 184 1", 1, {0.96, 158.84, 16.8, 446.4}},
      // At least 0.3 x the top area of the second cell: 0.3 x 12 = 3.6 m2 for the lower east
      // face (1.5e-3 x 12.96 x 1000); 3.6 < 7.6, 1.2 < 4, 3.6 < 12 elsewhere.
      {"F 184 5", 5, {19.44, 158.84, 16.8, 446.4}},
  };
  for (const Case& k : cases) {
    for (int threads : {1, 3}) {
      SCOPED_TRACE(std::string(k.what) + ", threads " + std::to_string(threads));
      SetArraysZero();
      setDefaults();
      twoColumns();
      FlagPCalg = k.pcalg;
      const int before = omp_get_max_threads();
      omp_set_num_threads(threads);
      pressure_coeff();
      omp_set_num_threads(before);
      expectCoefficients(k.expected);
    }
  }
}

TEST_F(PressureCoeff, BoundarySurfacesLeaveZero) {
  twoColumns();
  for (int c = 1; c <= 4; ++c) Cae[c] = Caw[c] = Can[c] = Cas[c] = Cat[c] = Cab[c] = 99;
  pressure_coeff();
  // West, south, north and bottom of every cell, east of the east column, top of the upper
  // cells: boundary surfaces.
  for (int c = 1; c <= 4; ++c) {
    SCOPED_TRACE(c);
    EXPECT_EQ(Cas[c], 0.0);
    EXPECT_EQ(Can[c], 0.0);
  }
  EXPECT_EQ(Caw[1], 0.0);
  EXPECT_EQ(Caw[2], 0.0);
  EXPECT_EQ(Cae[3], 0.0);
  EXPECT_EQ(Cae[4], 0.0);
  EXPECT_EQ(Cab[1], 0.0);
  EXPECT_EQ(Cab[3], 0.0);
  EXPECT_EQ(Cat[2], 0.0);
  EXPECT_EQ(Cat[4], 0.0);
}

TEST_F(PressureCoeff, SurfacesOutsideTheRangeKeepTheirCoefficients) {
  twoColumns();
  const int lowerEast = Cflatee[1];
  const int upperEast = Cflatee[2];
  Cae[2] = Caw[4] = 99;
  WFStart = WFEnd = lowerEast;
  pressure_coeff();
  EXPECT_NEAR(Cae[1], 0.24, 1e-12);
  EXPECT_NEAR(Caw[3], 0.24, 1e-12);
  EXPECT_NE(lowerEast, upperEast);
  EXPECT_EQ(Cae[2], 99.0);
  EXPECT_EQ(Caw[4], 99.0);
}

TEST_F(PressureCoeff, LoneCellsCoupleAtLeastLikeAShallowWave) {
  // Two one-cell columns 1 m long, 4 m wide, 0.5 m high: face 2 m2, Fdz 0.5 m. With F 184 2
  // the coefficient is at least A / sqrt(9810 x 0.5) = 2 / 70.0357 = 0.028557.
  struct Case {
    double invAp;
    int pcalg;
    double expected;
  };
  const double floor = 2 / std::sqrt(4905.0);
  const std::vector<Case> cases = {
      {1e-6, 2, floor},   // 1e-6 x 4 x 1000 = 0.004 is raised
      {1e-3, 2, 4.0},     // 1e-3 x 4 x 1000 = 4 is above the floor
      {1e-6, 0, 0.004},   // no floor without F 184 2
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.invAp);
    SCOPED_TRACE(k.pcalg);
    SetArraysZero();
    setDefaults();
    makeBox({1, 1}, {4}, {0.5});
    CinvAp[1] = CinvAp[2] = k.invAp;
    FlagPCalg = k.pcalg;
    pressure_coeff();
    EXPECT_NEAR(Cae[1], k.expected, 1e-9);
    EXPECT_NEAR(Caw[2], k.expected, 1e-9);
  }

  // A side face without height has no wave speed to floor it: the plain 0.004, not infinity.
  SetArraysZero();
  setDefaults();
  makeBox({1, 1}, {4}, {0.5});
  CinvAp[1] = CinvAp[2] = 1e-6;
  FlagPCalg = 2;
  Fdz[Cflatee[1]] = 0;
  pressure_coeff();
  EXPECT_NEAR(Cae[1], 0.004, 1e-12);
  EXPECT_NEAR(Caw[2], 0.004, 1e-12);
}

TEST_F(PressureCoeff, TransientFreeSurfaceAddsStorageOnSideSurfaces) {
  twoColumns();
  TimeStep = 10;
  FlagTFS2 = 1;
  FlagPCalg = 3;  // ignored by the transient form
  Cbed[1] = Cbed[2] = 1;
  Cbed[3] = Cbed[4] = 2;
  Bnocells[1] = Bnocells[2] = 2;
  pressure_coeff();
  // Side faces: (top area of c2 + top area of c1) / 8 / (9.81 x 10) / 2 cells. Lower east:
  // (12 + 4) / 8 / 98.1 / 2 = 1 / 98.1; upper east: the same top faces (12 m2 above cell 4,
  // 4 m2 above cell 2). Faces inside a column carry none.
  const double storage = 1 / 98.1;
  expectCoefficients({0.24 + storage, 158.84 + storage, 16.8, 446.4});
}

TEST_F(PressureCoeff, StorageOnEverySideSurfaceOfATransientRunOnly) {
  // Two one-cell columns 1 m x 4 m x 0.5 m: the side face between cells 1 and 2 (numbered one
  // after the other, yet side by side) is 2 m2, 1/Ap 1e-3 gives 1e-3 x 4 x 1000 = 4; each top
  // is 4 m2, so the storage is (4 + 4) / 8 / (9.81 x 10) / 1 cell = 1 / 98.1 with a 10 s step.
  // The steady default step 1e-20 s stores nothing.
  struct Case {
    const char* what;
    double timeStep;
    double expected;
  };
  const std::vector<Case> cases = {
      {"transient", 10, 4 + 1 / 98.1},
      {"steady", 1e-20, 4},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    SetArraysZero();
    setDefaults();
    makeBox({1, 1}, {4}, {0.5});
    CinvAp[1] = CinvAp[2] = 1e-3;
    Cbed[1] = 1;
    Cbed[2] = 2;
    Bnocells[1] = Bnocells[2] = 1;
    FlagTFS2 = 1;
    TimeStep = k.timeStep;
    pressure_coeff();
    EXPECT_NEAR(Cae[1], k.expected, 1e-9);
    EXPECT_NEAR(Caw[2], k.expected, 1e-9);
  }

  // The two columns of two cells in a steady run: the plain coefficients, none swamped.
  SetArraysZero();
  setDefaults();
  twoColumns();
  Cbed[1] = Cbed[2] = 1;
  Cbed[3] = Cbed[4] = 2;
  Bnocells[1] = Bnocells[2] = 2;
  FlagTFS2 = 1;
  pressure_coeff();
  expectCoefficients({0.24, 158.84, 16.8, 446.4});
}

// A side where cell `single` faces the three cells of the other column: surfaces of 1, 2 and
// 0.5 m2, the west (south) cells 0.5 m and the east (north) cells 1.5 m from them.
struct SideCase {
  const char* what;
  bool alongY;
  bool fromWestOrSouth;  // the single cell lies west (south) of its neighbours
};

TEST_F(PressureCoeff, SeveralNeighboursOnOneSide) {
  const std::vector<SideCase> cases = {
      {"east", false, true}, {"west", false, false}, {"north", true, true}, {"south", true, false}};
  for (const SideCase& k : cases) {
    SCOPED_TRACE(k.what);
    SetArraysZero();
    setDefaults();
    QNFlag = 1;
    if (k.alongY)
      makeBox({1}, {1, 3}, {1, 2, 0.5});
    else
      makeBox({1, 3}, {1}, {1, 2, 0.5});
    // Cells 1..3 (bottom up) form the first column, 4..6 the second.
    for (int c = 1; c <= 6; ++c) CinvAp[c] = 1e-3;
    const int single = k.fromWestOrSouth ? 1 : 4;
    const int first = k.fromWestOrSouth ? 4 : 1;
    CinvAp[first] = 2e-3;
    CinvAp[first + 1] = 4e-3;
    CinvAp[first + 2] = 1e-3;
    CinvAp[single] = 2e-3;
    Table1<int>& count = k.alongY ? (k.fromWestOrSouth ? Cncelln : Cncells)
                                  : (k.fromWestOrSouth ? Cncelle : Cncellw);
    Table2<int>& list = k.alongY ? (k.fromWestOrSouth ? Cqncelln : Cqncells)
                                 : (k.fromWestOrSouth ? Cqncelle : Cqncellw);
    Table2<double>& row = k.alongY ? (k.fromWestOrSouth ? Cqnan : Cqnas)
                                   : (k.fromWestOrSouth ? Cqnae : Cqnaw);
    count[single] = 3;
    list[single][0] = first;
    pressure_coeff();

    // Each neighbour k across its own surface: the cell on whose east (north) side the face
    // lies is weighted by the 1.5 m of the other one, the other by 0.5 m, over 2 m.
    // single west/south (1/Ap 2e-3 at 0.5 m from the faces):
    //   (2 x 0.5 + 2 x 1.5)/2 e-3 = 2e-3 x 1 x 1000 = 2; (4 x 0.5 + 2 x 1.5)/2 = 2.5e-3 x 4000
    //   = 10; (1 x 0.5 + 2 x 1.5)/2 = 1.75e-3 x 250 = 0.4375.
    // single east/north (1/Ap 2e-3 at 1.5 m from the faces):
    //   (2 x 0.5 + 2 x 1.5)/2 = 2; (2 x 0.5 + 4 x 1.5)/2 = 3.5e-3 x 4000 = 14;
    //   (2 x 0.5 + 1 x 1.5)/2 = 1.25e-3 x 250 = 0.3125.
    const std::vector<double> expected =
        k.fromWestOrSouth ? std::vector<double>{2.0, 10.0, 0.4375}
                          : std::vector<double>{2.0, 14.0, 0.3125};
    const int facing = k.alongY ? (k.fromWestOrSouth ? 1 : 3) : (k.fromWestOrSouth ? 4 : 2);
    const int own = k.alongY ? (k.fromWestOrSouth ? 3 : 1) : (k.fromWestOrSouth ? 2 : 4);
    for (int m = 0; m < 3; ++m) {
      const int n = first + m;
      SCOPED_TRACE(n);
      const double slot = facing == 1 ? Cas[n] : facing == 2 ? Cae[n] : facing == 3 ? Can[n]
                                                                                   : Caw[n];
      EXPECT_NEAR(slot, expected[m], 1e-9);
      EXPECT_NEAR(row[single][m], expected[m], 1e-9);
    }
    const double ownSlot = own == 1 ? Cas[single] : own == 2 ? Cae[single] : own == 3
                                                                               ? Can[single]
                                                                               : Caw[single];
    EXPECT_EQ(ownSlot, 0.0);
  }
}

}  // namespace
}  // namespace qorva
