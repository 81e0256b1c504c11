// The face coefficients of the sediment equations, worked out by hand on small boxes: the
// settling flux on the vertical faces, the power-law factor on vertical faces only, the floor
// of the diffusivity, the per-size rows, the horizontal rebuild and the Crank-Nicolson scaling.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sediment/sediment_loop.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/surfaces.h"
#include "support/box_grid.h"
#include "support/scratch.h"

namespace qorva::test {
namespace {

class SedimentCoefficients : public Scratch {
 protected:
  void TearDown() override {
    SetArraysZero();
    Scratch::TearDown();
  }
  // Eddy viscosity 1 kg/(m s) in every cell, no flow.
  void build(std::vector<double> dx, std::vector<double> dz) {
    box_ = makeBox(std::move(dx), {1.0}, std::move(dz));
    for (int c = 1; c <= NoCells; ++c) Cgamma[c] = CgammaV[c] = 1.0;
  }
  Box box_;
};

// One column of two cells 0.5 m high on 1 m2, grains falling at 1 cm/s. The face between them:
// settling flux F = -1000 x 0.01 x 1 = -10 kg/s, D = 1 x 1 / 0.5 = 2, Peclet 5, power-law factor
// (1 - 0.5)^5 = 1/32, so D = 1/16. The lower cell takes the settling from above (D + 10), the
// upper one only the diffusion (D). The water surface carries the settling as its top
// coefficient, the bed face nothing.
TEST_F(SedimentCoefficients, FallVelocityOnATwoCellColumn) {
  build({1.0}, {0.5, 0.5});
  fallvelo[1] = 0.01;
  coeff_make1(WFStart, WFEnd);
  EXPECT_NEAR(Cat[1], 1.0 / 16 + 10, 1e-12);
  EXPECT_NEAR(Cab[2], 1.0 / 16, 1e-12);
  EXPECT_NEAR(Cat[2], 10, 1e-12);
  EXPECT_EQ(Cab[1], 0.0);
  for (int c : {1, 2}) {
    EXPECT_EQ(Cae[c], 0.0);
    EXPECT_EQ(Caw[c], 0.0);
    EXPECT_EQ(Can[c], 0.0);
    EXPECT_EQ(Cas[c], 0.0);
  }
}

// With the parabolic eddy viscosity of a uniform open-channel flow, eps = 0.4 u* z (1 - z/h),
// settling and diffusion balance in Rouse's profile c / c_a = ((h - z) / z a / (h - a))^Z,
// Z = ws / (0.4 u*). A column of 30 cells without flow: at rest every face passes no net flux,
// so the coefficients fix the ratio of the concentrations on its two sides, Cab of the upper
// cell over Cat of the lower one; their product is the column's profile, within 10 % of
// Rouse's up to 0.9 h for Z = 0.5, 1 and 2. The reference level a is the centre of the fourth
// cell (0.12 h): below it a cell is as high as its distance from the bed, and one cell cannot
// follow the 1/z of the profile there (from the first centre to the second the exact drop is
// exp(-Z ln 3), a cell gives about exp(-Z)), whatever the number of cells.
TEST_F(SedimentCoefficients, ColumnAtRestFollowsRouse) {
  const int n = 30;
  const double h = 0.3, dz = h / n, ustar = 0.05;
  build({1.0}, std::vector<double>(n, dz));
  for (int k = 0; k < n; ++k) {
    const double z = (k + 0.5) * dz;
    CgammaV[k + 1] = Cgamma[k + 1] = 1000 * 0.4 * ustar * z * (1 - z / h);
  }
  const int ref = 3;
  const double a = (ref + 0.5) * dz;
  for (double Z : {0.5, 1.0, 2.0}) {
    SCOPED_TRACE(Z);
    fallvelo[1] = Z * 0.4 * ustar;
    coeff_make1(WFStart, WFEnd);
    double c = 1, worst = 0;
    for (int k = ref + 1; k < n; ++k) {
      c *= Cab[k + 1] / Cat[k];
      const double z = (k + 0.5) * dz;
      if (z > 0.9 * h) break;
      const double rouse = std::pow((h - z) / z * a / (h - a), Z);
      EXPECT_NEAR(c, rouse, 0.1 * rouse) << "z = " << z;
      worst = std::max(worst, std::fabs(c / rouse - 1));
    }
    std::printf("[ figures  ] Rouse Z = %.1f: largest difference up to 0.9 h %.1f %%\n", Z, 100 * worst);
  }
}

// Each size its own vertical row; the horizontal rows are shared and equal for every size.
TEST_F(SedimentCoefficients, EverySizeItsOwnVerticalRows) {
  build({1.0, 1.0}, {0.5, 0.5});
  lnumber = 2;
  ASSERT_TRUE(Catm.allocate(3, MaxCeller));
  ASSERT_TRUE(Cabm.allocate(3, MaxCeller));
  fallvelo[1] = 0.01;
  fallvelo[2] = 0.0;
  coeff_make2(WFStart, WFEnd);
  EXPECT_NEAR(Catm[1][1], 1.0 / 16 + 10, 1e-12);
  EXPECT_NEAR(Cabm[1][2], 1.0 / 16, 1e-12);
  // Without fall velocity the face keeps its whole diffusion.
  EXPECT_NEAR(Catm[2][1], 2.0, 1e-12);
  EXPECT_NEAR(Cabm[2][2], 2.0, 1e-12);
  EXPECT_NEAR(Cae[1], 0.5, 1e-12);  // 0.5 m2 x 1 / 1 m
  EXPECT_NEAR(Caw[3], 0.5, 1e-12);
}

// Peclet numbers of 10 and 20 on a vertical face leave only the floor MinGamma / gamma; a
// horizontal face with the same flux keeps D x TDChoriz plus its upwind part.
TEST_F(SedimentCoefficients, PowerLawOnVerticalFacesOnly) {
  build({1.0, 1.0}, {0.5, 0.5});
  for (double P : {10.0, 20.0}) {
    SCOPED_TRACE(P);
    for (int f = 1; f <= NoSurfaces; ++f) Fflux[f] = 0;
    const int vertical = Cflatet[1], horizontal = Cflatee[1];
    Fflux[vertical] = 2.0 * P;     // D = 2 on the vertical face
    Fflux[horizontal] = 0.5 * P;   // D = 0.5 on the horizontal face (0.5 m2 over 1 m)
    fallvelo[1] = 0;
    coeff_make1(WFStart, WFEnd);
    EXPECT_NEAR(Cab[2], 2.0 * 0.001 + 2.0 * P, 1e-12);
    EXPECT_NEAR(Cat[1], 2.0 * 0.001, 1e-12);
    EXPECT_NEAR(Cae[1], 0.5, 1e-12);
    EXPECT_NEAR(Caw[3], 0.5 + 0.5 * P, 1e-12);
  }
}

TEST_F(SedimentCoefficients, SchmidtNumberAndTheConstantModel) {
  build({1.0}, {0.5, 0.5});
  fallvelo[1] = 0;
  Schmidt = 0.5;
  coeff_make1(WFStart, WFEnd);
  EXPECT_NEAR(Cat[1], 4.0, 1e-12);
  Schmidt = 1.0;
  TurbulenceModel = 6;
  TCvert = 3.0;
  coeff_make1(WFStart, WFEnd);
  EXPECT_NEAR(Cat[1], 6.0, 1e-12);
}

// The horizontal rebuild takes neither the Schmidt number nor the settling, and leaves the
// vertical coefficients as they were.
TEST_F(SedimentCoefficients, HorizontalRebuild) {
  build({1.0, 1.0}, {0.5, 0.5});
  Schmidt = 0.5;
  Cat[1] = 7.0;
  Fflux[Cflatee[1]] = 3.0;
  coeff_make1H(WFStart, WFEnd);
  EXPECT_NEAR(Cae[1], 0.5, 1e-12);
  EXPECT_NEAR(Caw[3], 0.5 + 3.0, 1e-12);
  EXPECT_EQ(Cat[1], 7.0);
}

TEST_F(SedimentCoefficients, CrankNicolsonHalvesEveryCoefficientOnce) {
  TimeStep = 10;
  build({1.0}, {0.5, 0.5});
  fallvelo[1] = 0;
  CrankNicols = 0.5;
  coeff_make1(WFStart, WFEnd);
  EXPECT_NEAR(Cat[1], 1.0, 1e-12);
  EXPECT_NEAR(Cab[2], 1.0, 1e-12);
}

// Under second-order upwinding the all-per-size member builds every size's links, those to
// the second neighbours included, as the one-size generator builds them for that size: a
// column of four cells with grains falling at 1 cm/s and 3 cm/s.
TEST_F(SedimentCoefficients, AllPerSizeMemberBuildsTheSecondOrderLinksOfEverySize) {
  build({1.0}, {0.5, 0.4, 0.6, 0.5});
  for (Table1<double>* t : {&Caee, &Caww, &Cass, &Cann, &Catt, &Cabb})
    ASSERT_TRUE(t->allocate(MaxCeller));
  for (auto* t : {&Caem, &Cawm, &Canm, &Casm, &Catm, &Cabm, &Caeem, &Cawwm, &Cannm, &Cassm,
                  &Cattm, &Cabbm})
    ASSERT_TRUE(t->allocate(3, MaxCeller));
  sou[7] = 1;
  lnumber = 2;
  const double ws[3] = {0, 0.01, 0.03};
  fallvelo[1] = ws[1];
  fallvelo[2] = ws[2];
  coeff_make2m(WFStart, WFEnd);
  for (int l = 1; l <= 2; ++l) {
    lnumber = 1;
    fallvelo[1] = ws[l];
    for (int c = 0; c <= NoCells; ++c) Caee[c] = Caww[c] = Cass[c] = Cann[c] = Catt[c] = Cabb[c] = 0;
    coeff_make1(WFStart, WFEnd);
    for (int c = 1; c <= NoCells; ++c) {
      EXPECT_NEAR(Catm[l][c], Cat[c], 1e-12) << "size " << l << ", cell " << c;
      EXPECT_NEAR(Cabm[l][c], Cab[c], 1e-12) << "size " << l << ", cell " << c;
      EXPECT_NEAR(Cattm[l][c], Catt[c], 1e-12) << "size " << l << ", cell " << c;
      EXPECT_NEAR(Cabbm[l][c], Cabb[c], 1e-12) << "size " << l << ", cell " << c;
    }
  }
  // The second size falls faster: its links from above are larger.
  EXPECT_GT(Catm[2][1], Catm[1][1]);
  EXPECT_LT(Cattm[2][1], Cattm[1][1]);
}

}  // namespace
}  // namespace qorva::test
