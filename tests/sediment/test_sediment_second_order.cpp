// The second-order upwind coefficients of the sediment equations (F 63 1), by hand on a row of
// cells: the face value w phi(U) + (1 - w) phi(UU) with w = (2 dU + dUU) / (dU + dUU), 1.5 on
// uniform cells and otherwise from the half sizes; first-order upwinding where no second
// upwind cell exists; the settling flux on vertical faces; and the horizontal rebuild.
#include <cmath>
#include <vector>

#include "sediment/sediment_loop.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/surfaces.h"
#include "support/box_grid.h"
#include "support/scratch.h"

namespace qorva::test {
namespace {

class SecondOrder : public Scratch {
 protected:
  void TearDown() override {
    SetArraysZero();
    Scratch::TearDown();
  }
  // A row of cells along x (one wide, one high), no diffusion, a mass flux F through every
  // x face (inflow and outflow faces included).
  void build(std::vector<double> dx, std::vector<double> dz, double F) {
    SetArraysZero();  // a test may build several rows
    box_ = makeBox(std::move(dx), {1.0}, std::move(dz));
    for (Table1<double>* t : {&Caee, &Caww, &Cass, &Cann, &Catt, &Cabb})
      ASSERT_TRUE(t->allocate(MaxCeller));
    sou[7] = 1;
    for (int f = 1; f <= NoSurfaces; ++f)
      if (Fax[f] != 0) Fflux[f] = F;
  }
  Box box_;
};

// The link of a cell to its upwind neighbour, its second-neighbour link and the upwind cell's
// correction, for a flux F from west to east through the face between cells i - 1 and i.
struct Expected {
  double link, second, correction;
};

Expected byHand(const std::vector<double>& dx, int i, double F) {
  if (i < 2) return {F, 0, 0};  // no cell beyond the upwind one: first order
  const double dU = dx[i - 1] / 2, dUU = dx[i - 2] / 2;
  const double w = (2 * dU + dUU) / (dU + dUU);
  return {w * F, (1 - w) * F, (w - 1) * F};
}

TEST_F(SecondOrder, WeightsOnUniformAndStretchedRows) {
  const double F = 3.0;
  const std::vector<std::vector<double>> rows = {{1, 1, 1, 1, 1}, {0.5, 0.8, 1.3, 2.1, 3.4}};
  for (const std::vector<double>& dx : rows) {
    build(dx, {1.0}, F);
    coeff_make1(WFStart, WFEnd);
    for (int i = 1; i < 5; ++i) {
      const int c = box_.cell(i, 0, 0), up = box_.cell(i - 1, 0, 0);
      const Expected e = byHand(dx, i, F);
      EXPECT_NEAR(Caww[c], e.second, 1e-12) << "cell " << i;
      // Its link to the upwind cell, plus the correction it pays as the upwind cell of the next
      // face (the outflow face of the last cell has none).
      const double next = i + 1 < 5 ? byHand(dx, i + 1, F).correction : 0.0;
      EXPECT_NEAR(Caw[c], e.link + next, 1e-12) << "cell " << i;
      EXPECT_EQ(Cae[up], 0.0) << "cell " << i - 1;
    }
    // Uniform cells: 1.5 F, -0.5 F and +0.5 F.
    if (dx[0] == dx[1]) {
      const int c = box_.cell(3, 0, 0);
      EXPECT_NEAR(Caww[c], -0.5 * F, 1e-12);
    }
  }
}

// The balance of a cell is what leaves through its downstream face at that face's
// extrapolated value minus what enters at the upstream face's: worked out by hand for an
// arbitrary field on a stretched row, and zero for a uniform field, with the central
// coefficient formed as the time loop forms it.
TEST_F(SecondOrder, TheBalanceOfEveryCellIsItsFaceFluxes) {
  const std::vector<double> dx = {0.5, 0.8, 1.3, 2.1, 3.4};
  const double F = 2.0;
  build(dx, {1.0}, F);
  coeff_make1(WFStart, WFEnd);
  auto w = [&](int i) {  // weight of the face between cells i - 1 and i
    const double dU = dx[i - 1] / 2, dUU = dx[i - 2] / 2;
    return (2 * dU + dUU) / (dU + dUU);
  };
  for (const std::vector<double>& phi : {std::vector<double>{0, 1.0, 0.7, 0.4, 0.35, 0.1},
                                         std::vector<double>{0, 0.3, 0.3, 0.3, 0.3, 0.3}}) {
    for (int i = 2; i <= 3; ++i) {
      const int c = box_.cell(i, 0, 0), U = Ccellw[c], UU = Ccellw[U], E = Ccelle[c];
      const double balance = sedloop::centralLinks(c) * phi[c] - Caw[c] * phi[U] - Caww[c] * phi[UU] -
                             Cae[c] * phi[E];
      const double out = F * (w(i + 1) * phi[c] + (1 - w(i + 1)) * phi[U]);
      const double in = F * (w(i) * phi[U] + (1 - w(i)) * phi[UU]);
      EXPECT_NEAR(balance, out - in, 1e-12) << "cell " << i;
    }
  }
}

// Vertical faces carry the settling flux: in a column at rest grains falling at 1 cm/s through
// 1 m2 make F = -10 kg/s downward; the lower cell takes 1.5 x 10 from the cell above and -0.5 x
// 10 from the one above that; the cell above pays the correction 0.5 x 10 toward its own upper
// neighbour. No diffusion (no eddy viscosity).
TEST_F(SecondOrder, SettlingOnAUniformColumn) {
  build({1.0}, {0.5, 0.5, 0.5, 0.5}, 0.0);
  fallvelo[1] = 0.01;
  coeff_make1(WFStart, WFEnd);
  EXPECT_NEAR(Cat[1], 1.5 * 10, 1e-12);
  EXPECT_NEAR(Catt[1], -0.5 * 10, 1e-12);
  EXPECT_NEAR(Cat[2], 1.5 * 10 + 0.5 * 10, 1e-12);
  EXPECT_NEAR(Cat[3], 10 + 0.5 * 10, 1e-12);  // first order below the top cell, plus correction
  EXPECT_EQ(Catt[3], 0.0);
  // Through the water surface the top cell takes clear water at the settling rate, so that
  // what it passes down leaves it.
  EXPECT_NEAR(Cat[4], 10, 1e-12);
  EXPECT_EQ(Catt[4], 0.0);
}

// The horizontal rebuild takes the face fluxes alone (no settling) and clears the
// second-neighbour links of the cells it touches first.
TEST_F(SecondOrder, HorizontalRebuild) {
  build({1, 1, 1, 1}, {1.0}, 4.0);
  for (int c = 1; c <= 4; ++c) Caee[c] = Cass[c] = 9;
  coeff_make1H(WFStart, WFEnd);
  EXPECT_NEAR(Caw[3], 1.5 * 4 + 0.5 * 4, 1e-12);
  EXPECT_NEAR(Caww[3], -0.5 * 4, 1e-12);
  EXPECT_NEAR(Caw[2], 4 + 0.5 * 4, 1e-12);  // first order from cell 1, plus its correction
  for (int c = 1; c <= 4; ++c) {
    EXPECT_EQ(Caee[c], 0.0);
    EXPECT_EQ(Cass[c], 0.0);
  }
}

// ---- Down-slope transfer between bottom cells (F 78 5..9) ----

class SlopeTransfer : public Scratch {
 protected:
  void TearDown() override {
    SetArraysZero();
    Scratch::TearDown();
  }
  // Two bottom cells 1 m apart on 1 m2 faces, the second one's bed `rise` higher; speed 0.5 m/s,
  // k = 0.002 (tau = 0.6 Pa), grains of 1 mm.
  void build(double rise, double k = 0.002, double dx = 1.0) {
    SetArraysZero();  // a test may build several
    makeBox({dx, dx}, {1.0}, {1.0});
    lnumber = 1;
    gsize[1] = 0.001;
    for (int c = 1; c <= 2; ++c) {
      Cxvel[c] = 0.5;
      Ckinen[c] = k;
    }
    Czcenter[2] += rise;
    for (Table2<double>* t : {&Caem, &Cawm, &Canm, &Casm, &Capm}) ASSERT_TRUE(t->allocate(2, MaxCeller));
  }
  static int face() {
    for (int f = 1; f <= NoSurfaces; ++f)
      if (Fcell1[f] == 1 && Fcell2[f] == 2) return f;
    return 0;
  }
};

TEST_F(SlopeTransfer, FlagsAndLimits) {
  const double theta = 0.6 / (1.65 * 0.001 * 9810);  // 0.0371
  struct Case {
    int flag;
    double rise, G;  // G by hand, kg/s
  };
  auto G = [](double th, double slope, bool limit) {
    double a = 0.6 / std::sqrt(th) * slope;
    if (limit) a = std::min(a, 1.0);
    return -1.0 * 1000 * 0.5 * a;
  };
  const double th7 = 0.4 * theta + 0.06;
  const Case cases[] = {
      {5, 0.05, G(theta, 0.05, true)},   {6, -0.05, G(theta, -0.05, true)},
      {5, 0.5, -500},                     // a = 1.56, cut to 1: at most Farea 1000 U
      {7, 0.05, G(th7, 0.05, true)},     {9, 0.5, G(th7, 0.5, false)},
      {5, 0.0, 0.0},
  };
  for (const Case& c : cases) {
    build(c.rise);
    BedLoadVectorFlag = c.flag;
    EXPECT_NEAR(slopeTransfer(face(), 1), c.G, 1e-9 * std::fabs(c.G) + 1e-12)
        << "F 78 " << c.flag << ", rise " << c.rise;
  }
  // A slope of 0.01 exactly (0.015625 m over 1.5625 m, both exact in binary) moves nothing.
  build(0.015625, 0.002, 1.5625);
  BedLoadVectorFlag = 5;
  EXPECT_EQ(slopeTransfer(face(), 1), 0.0);
  build(0.016, 0.002, 1.5625);
  EXPECT_LT(slopeTransfer(face(), 1), 0.0);
}

// Without shear grains lie still under flags 5 and 6; 7 to 9 keep theta = 0.06.
TEST_F(SlopeTransfer, NoShear) {
  build(0.05, 0.0);
  BedLoadVectorFlag = 5;
  EXPECT_EQ(slopeTransfer(face(), 1), 0.0);
  BedLoadVectorFlag = 7;
  EXPECT_NEAR(slopeTransfer(face(), 1), -1000 * 0.5 * 0.6 / std::sqrt(0.06) * 0.05, 1e-9);
}

// The cell with the higher bed gives: the lower cell's link toward it and the giver's central
// coefficient grow by |G|; the vertical faces and faces to no cell are left alone.
TEST_F(SlopeTransfer, UpwindTransferIntoThePerSizeRows) {
  build(0.05);
  BedLoadVectorFlag = 5;
  const double G = std::fabs(slopeTransfer(face(), 1));
  coeff_make_bedvector(WFStart, WFEnd);
  EXPECT_NEAR(Caem[1][1], G, 1e-12);  // cell 1 (lower) receives from its east neighbour
  EXPECT_NEAR(Capm[1][2], G, 1e-12);  // cell 2 (higher) gives
  EXPECT_EQ(Cawm[1][2], 0.0);
  EXPECT_EQ(Capm[1][1], 0.0);
}

}  // namespace
}  // namespace qorva::test
