// The sediment of an inflow group put into the lower part of the section (F 455 the lowest
// cells of each column, F 497 the deepest columns) while the water enters over the whole
// section: by hand on a box of two columns across the inflow, three cells of 0.2, 0.3 and 0.5 m,
// widths 1 and 2 m. Whatever the option, the group brings in c_in times its discharge.
#include <cmath>
#include <vector>

#include "sediment/sediment_loop.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/options.h"
#include "state/options_f450_499.h"
#include "state/sediment_run.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "support/box_grid.h"
#include "support/scratch.h"

namespace qorva::test {
namespace {

constexpr double kQ = 600.0, kCin = 0.002;  // kg/s of water, volume concentration

class NearBedInflow : public Scratch {
 protected:
  void TearDown() override {
    SetArraysZero();
    Scratch::TearDown();
  }
  void build(std::vector<double> dz) {
    box_ = makeBox({1.0, 1.0}, {1.0, 2.0}, std::move(dz));
    lnumber = 2;
    TimeStep = 10;
    ASSERT_TRUE(Capm.allocate(3, MaxCeller));
    ASSERT_TRUE(Csourcem.allocate(3, MaxCeller));
    ASSERT_TRUE(Binout.allocate(MaxCeller));
    NoBCells = 0;
    for (int j = 0; j < 2; ++j) {
      const int b = ++NoBCells;
      for (int k = 0; k < box_.nz; ++k) Cbed[box_.cell(0, j, k)] = b;
      Bcellt[b] = box_.cell(0, j, 0);
    }
    DischargeGroup& d = DischargeStruct[1];
    d.inflowFlag = 1;
    d.surfaceNo = 0;
    d.area = 0;
    for (int j = 0; j < 2; ++j)
      for (int k = 0; k < box_.nz; ++k) {
        const int f = Cflatew[box_.cell(0, j, k)];
        d.surfaceList[d.surfaceNo++] = f;
        d.area += Farea[f];
      }
    DischargeArray[1] = kQ;
  }
  double totalSource(int l) const {
    double s = 0;
    for (int c = 1; c <= NoCells; ++c) s += Csourcem[l][c];
    return s;
  }
  void run(int l) {
    double cin[10] = {};
    cin[1] = kCin;
    inflowSedimentNearBed(l, cin);
  }
  Box box_;
};

// F 455 1: only the bottom cells take sediment, scaled by the group's area over the bottom
// cells' face areas: 3 m2 / (0.2 + 0.4) m2 = 5. G = 600 / 3 = 200 kg/s per m2.
TEST_F(NearBedInflow, LevelOptionFeedsTheBottomCells) {
  build({0.2, 0.3, 0.5});
  LevelInflowSed = 1;
  run(1);
  const double G = 200;
  for (int j = 0; j < 2; ++j) {
    const double w = j == 0 ? 1.0 : 2.0;
    EXPECT_NEAR(Csourcem[1][box_.cell(0, j, 0)], 0.2 * w * G * kCin * 5, 1e-12);
    EXPECT_EQ(Csourcem[1][box_.cell(0, j, 1)], 0.0);
    EXPECT_EQ(Csourcem[1][box_.cell(0, j, 2)], 0.0);
    // The water enters every cell through its own face.
    EXPECT_NEAR(Capm[1][box_.cell(0, j, 0)], 0.2 * w * G, 1e-12);
    EXPECT_NEAR(Capm[1][box_.cell(0, j, 1)], 0.3 * w * G, 1e-12);
    EXPECT_NEAR(Capm[1][box_.cell(0, j, 2)], 0.5 * w * G, 1e-12);
    EXPECT_NEAR(Binout[j + 1], 0.2 * w * G, 1e-12);
  }
  EXPECT_NEAR(totalSource(1), kQ * kCin, 1e-12);
  EXPECT_NEAR(kIn[1], kQ * kCin * TimeStep * density, 1e-9);
}

// F 455 2: the two lowest cells; the top cell is never fed. Only size 1 marks Binout.
TEST_F(NearBedInflow, LevelOptionTwoCellsAndTheOtherSizes) {
  build({0.2, 0.3, 0.5});
  LevelInflowSed = 5;  // more than the column has: stops below the top cell
  run(2);
  const double s = 3.0 / (0.5 + 1.0);
  EXPECT_NEAR(Csourcem[2][box_.cell(0, 0, 0)], 0.2 * 200 * kCin * s, 1e-12);
  EXPECT_NEAR(Csourcem[2][box_.cell(0, 0, 1)], 0.3 * 200 * kCin * s, 1e-12);
  EXPECT_EQ(Csourcem[2][box_.cell(0, 0, 2)], 0.0);
  EXPECT_NEAR(totalSource(2), kQ * kCin, 1e-12);
  EXPECT_EQ(Binout[1], 0.0);
}

// A column of one cell gets nothing from the level option but its Binout.
TEST_F(NearBedInflow, LevelOptionColumnOfOneCell) {
  build({1.0});
  LevelInflowSed = 1;
  run(1);
  EXPECT_EQ(totalSource(1), 0.0);
  EXPECT_NEAR(Binout[1], 200.0, 1e-12);
}

// F 497: the column whose bed lies higher (its bottom cell's centre at or above the top of the
// lowest bottom cell) takes no sediment; the deep column takes it all, each cell by its height.
TEST_F(NearBedInflow, DeepColumnOption) {
  build({0.2, 0.3, 0.5});
  FlagInflowConcVar = 1;
  // The limit is the lowest bottom cell's centre plus its height: 0.1 + 0.2 = 0.3 m. Column
  // j = 1 (2 m wide) stands on a bed 0.25 m higher: its bottom centre 0.35 m is above it.
  for (int k = 0; k < 3; ++k) Czcenter[box_.cell(0, 1, k)] += 0.25;
  run(1);
  const double G = 200, R = 3.0 / 1.0;  // all faces over the deep column's faces
  EXPECT_NEAR(Csourcem[1][box_.cell(0, 0, 0)], 0.2 * G * kCin * R, 1e-12);
  EXPECT_NEAR(Csourcem[1][box_.cell(0, 0, 1)], 0.3 * G * kCin * R, 1e-12);
  EXPECT_NEAR(Csourcem[1][box_.cell(0, 0, 2)], 0.5 * G * kCin * R, 1e-12);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(Csourcem[1][box_.cell(0, 1, k)], 0.0);
  EXPECT_NEAR(totalSource(1), kQ * kCin, 1e-12);
  EXPECT_NEAR(Capm[1][box_.cell(0, 1, 2)], 0.5 * 2 * G, 1e-12);
  EXPECT_NEAR(kIn[1], kQ * kCin * TimeStep * density, 1e-9);
}

// A bottom centre exactly at the limit takes nothing; equal beds share by area.
TEST_F(NearBedInflow, DeepColumnAtTheLimit) {
  build({0.2, 0.3, 0.5});
  FlagInflowConcVar = 1;
  for (int k = 0; k < 3; ++k) Czcenter[box_.cell(0, 1, k)] += 0.2;  // centre 0.3 = the limit
  run(1);
  EXPECT_EQ(Csourcem[1][box_.cell(0, 1, 0)], 0.0);
  EXPECT_NEAR(totalSource(1), kQ * kCin, 1e-12);
}

}  // namespace
}  // namespace qorva::test
