// The driver of the equilibrium concentration: which bed cells it works on, the quantities of a
// bed cell (diameters of the bed curve, depth-mean speed ratio, effective shear), the checks of
// the bed fractions, and every allowed grain size reaching the mixture formula.
#include <cmath>

#include "sediment/capacity.h"
#include "sediment/capacity_box.h"
#include "sediment/sediment.h"
#include "state/options_f050_099.h"
#include "state/options_f150_199.h"
#include "state/options_f500_534.h"

namespace qorva::test {
namespace {

class ConcRijn : public CapacityBox {
 protected:
  capacity::BedCell bedCell(int b) const {
    return capacity::bedCellOf(capacity::constants(), block[1], b);
  }
};

// One column of four 0.1 m cells: depth 0.4 m, the bottom cell's centre 0.05 m up.
class OneColumn : public ConcRijn {
 protected:
  void SetUp() override {
    ConcRijn::SetUp();
    build({1.0}, {1.0}, {0.1, 0.1, 0.1, 0.1}, sizes());
    flow(1.0, 0.01);
  }
  virtual int sizes() const { return 1; }
};

class ThreeSizes : public OneColumn {
 protected:
  int sizes() const override { return 3; }
};

TEST_F(OneColumn, OneSizeIsItsOwnCurve) {
  const capacity::BedCell x = bedCell(1);
  EXPECT_EQ(x.d90, 0.0003);
  EXPECT_EQ(x.d50, 0.0003);
  EXPECT_EQ(x.dm, 0.0003);
  EXPECT_NEAR(x.h, 0.4, 1e-15);
  EXPECT_NEAR(x.tau, 3.0, 1e-12);
}

// The curve of the top layer from the finest size up, each size's point at the middle of its
// fraction, read linearly in the diameter between the points.
TEST_F(ThreeSizes, DiametersOfTheBedCurve) {
  gsize[1] = 0.002;
  gsize[2] = 0.001;
  gsize[3] = 0.0002;
  struct Case {
    std::vector<double> f;
    double d50, d90, dm;
  };
  const Case cases[] = {
      // Points 0.3, 0.75, 0.95: d50 between sizes 3 and 2 (w = 0.5 / 0.9), d90 between 2 and 1.
      {{0.1, 0.3, 0.6}, (0.5 / 0.9) * 0.0002 + (0.4 / 0.9) * 0.001, 0.25 * 0.001 + 0.75 * 0.002,
       0.1 * 0.002 + 0.3 * 0.001 + 0.6 * 0.0002},
      // All in the finest size: d50 the finest, d90 a fifth of the way to the next coarser.
      {{0.0, 0.0, 1.0}, 0.0002, 0.2 * 0.0002 + 0.8 * 0.001, 0.0002},
      // The curve never passes 0.9 (points 0.1, 0.45, 0.85): d90 the coarsest size.
      {{0.3, 0.5, 0.2}, 0.875 * 0.001 + 0.125 * 0.002, 0.002, 0.3 * 0.002 + 0.5 * 0.001 + 0.2 * 0.0002},
  };
  for (const Case& c : cases) {
    bedOf(1.0, c.f);
    const capacity::BedCell x = bedCell(1);
    EXPECT_NEAR(x.d50, c.d50, 1e-15) << c.f[0] << " " << c.f[1];
    EXPECT_NEAR(x.d90, c.d90, 1e-15) << c.f[0] << " " << c.f[1];
    EXPECT_NEAR(x.dm, c.dm, 1e-15) << c.f[0] << " " << c.f[1];
  }
  concRijn();
  EXPECT_NEAR(Bd90[1], 0.002, 1e-15);
}

// Depth-mean speed over the bottom cell's speed, at most 20; 20 for a bottom cell at rest.
TEST_F(OneColumn, VelocityRatio) {
  BedLoadFlag = 6;
  for (int k = 0; k < 4; ++k) Cxvel[cell(0, 0, k)] = 0.5 * (k + 1);
  EXPECT_NEAR(bedCell(1).r, (0.05 * (0.5 + 1 + 1.5 + 2) / 0.2) / 0.5, 1e-12);
  Cxvel[1] = 0.001;
  EXPECT_EQ(bedCell(1).r, 20.0);
  Cxvel[1] = 0;
  EXPECT_EQ(bedCell(1).r, 20.0);
}

// F 172: tau (h / (h - H / 2))^(7/3) up to the limit 2; a bed form of half the depth or more
// takes the limit instead of dividing by zero or less.
TEST_F(OneColumn, EffectiveShearOfBedForms) {
  FlagShearBedform = 2;
  const double c = 7.0 / 3.0;
  struct Case {
    int form;
    double H, factor;
  };
  const Case cases[] = {
      {2, 0.0, 1.0},
      {2, 0.2, std::pow(0.4 / 0.3, c)},
      {2, 0.79, std::pow(2.0, c)},
      {2, 0.8, std::pow(2.0, c)},
      {2, 5.0, std::pow(2.0, c)},
      {1, 0.2, std::pow(0.4 / (0.4 - 0.10015), c)},
      {3, 0.2, std::pow(0.4 / 0.3 - 0.25, c)},
      {3, 0.02, 1.0},
      {1, 0.7997, std::pow(2.0, c)},
  };
  for (const Case& k : cases) {
    FlagShearBedform = k.form;
    Bedformheight[1] = k.H;
    const capacity::BedCell x = bedCell(1);
    EXPECT_NEAR(x.taue, 3.0 * k.factor, 1e-9) << "F 172 " << k.form << ", H " << k.H;
    EXPECT_TRUE(std::isfinite(x.taue));
  }
  // F 90 4: the grains' share of the roughness, (3 d90 / ks)^0.25.
  FlagShearBedform = 0;
  FlagRoughness = 4;
  Croughness[1] = 0.0036;
  EXPECT_NEAR(bedCell(1).taue, 3.0 * std::pow(0.25, 0.25), 1e-12);
}

TEST_F(OneColumn, FractionChecks) {
  bedOf(1e-16, {0.98});
  concRijn();
  EXPECT_EQ(log().find("Error"), std::string::npos) << log();
  bedOf(0.1, {0.98});
  concRijn();
  EXPECT_NE(log().find("Error 2 in concRijn. Fractions do not sum up to unity but to 0.980000\n"
                       "At iteration 0, bed cell 1, cell no 1, 2d cell no (2,2)\n"
                       "BSedDistrib[1], size[1] = 0.980000 0.100000 0.980000 0.100000\n"),
            std::string::npos)
      << log();
  // The computation goes on with the fractions as they are.
  EXPECT_GT(Bconc[1][1], 0.0);
  std::remove("boogie");
  bedOf(0.1, {1.2});
  concRijn();
  EXPECT_NE(log().find("Error 1 in concRijn: One size fraction is above unity\n"
                       "At iteration 0, bed cell 1, cell 1, size 1, 2d index (2,2), Top=1\n"
                       "BSedDistrib[1,1] = 1.200000 0.100000 1.200000 0.100000\n"),
            std::string::npos)
      << log();
}

TEST_F(OneColumn, StartAndEndLines) {
  FlagExtraDebug = 1;
  concRijn();
  EXPECT_EQ(log(), "Start concRijn\nEnd concRijn\n");
}

// Bed cells without cells, and blocks outside the work range, keep what they had.
TEST_F(ConcRijn, OnlyWetBedCellsOfTheWorkRange) {
  build({1.0, 1.0}, {1.0}, {0.1, 0.1});
  flow(1.0, 0.01);
  FlagRoughness = 3;
  for (int b = 1; b <= 2; ++b) {
    Bconc[1][b] = 7;
    Bd90[b] = Bedformheight[b] = Broughness[b] = 7;
  }
  Bcellt[2] = 0;
  concRijn();
  EXPECT_NE(Bconc[1][1], 7.0);
  EXPECT_NE(Bd90[1], 7.0);
  EXPECT_NE(Broughness[1], 7.0);
  for (double v : {Bconc[1][2], Bd90[2], Bedformheight[2], Broughness[2]}) EXPECT_EQ(v, 7.0);
  Bconc[1][1] = 7;
  block[1].inwork = 0;
  concRijn();
  EXPECT_EQ(Bconc[1][1], 7.0);
}

// A column is a bank column when a neighbouring column inside its block has no cells; the
// block's edges look at no neighbour.
TEST_F(ConcRijn, BankColumns) {
  build({1.0, 1.0, 1.0}, {1.0, 1.0}, {0.1});
  EXPECT_FALSE(bedCell(bed(1, 0)).bank);
  dryColumn(1, 1);
  EXPECT_TRUE(bedCell(bed(1, 0)).bank);
  EXPECT_TRUE(bedCell(bed(0, 1)).bank);
  EXPECT_FALSE(bedCell(bed(0, 0)).bank);
}

// 49 sizes, the most a sediment run takes, with the sand-silt-clay formula (F 84 7): the clay of
// the finest size counts in every size's clay content. The mud law then holds for every size:
// (tau / tm - 1) 4e-6 / ws / 2650 with tm = (0.029 / d50 + 51796.8 d50) / 77.5 for a bed of
// solid fraction 0.5 (Fb = 1).
class FortyNineSizes : public OneColumn {
 protected:
  int sizes() const override { return 49; }
};

TEST_F(FortyNineSizes, EverySizeSeesTheClay) {
  BedLoadFlag = 7;
  for (int l = 1; l <= 48; ++l) gsize[l] = 0.001;
  gsize[49] = 1.5e-6;
  std::vector<double> f(49, 0.0);
  f[0] = 0.9;
  f[48] = 0.1;
  bedOf(1.0, f);
  concRijn();
  const double d50 = 0.001, tm = (0.029 / d50 + 51796.8 * d50) / 77.5;
  const double cm = (3.0 / tm - 1) * 4e-6 / 0.03 / 2650;
  for (int l = 1; l <= 49; ++l) EXPECT_NEAR(Bconc[l][1], cm, 1e-12 * cm) << "size " << l;
}

}  // namespace
}  // namespace qorva::test
