// The bed shear of the capacity formulas: each form of F 279 on one bed cell, the smoothing of
// F 459 and the column factor of F 507, the shear table of F 499 by its rules, the roughness
// layer of F 189, and k carried to the boundary cells (F 320, F 512).
#include <cmath>
#include <functional>

#include "sediment/capacity.h"
#include "sediment/capacity_box.h"
#include "sediment/sediment.h"
#include "state/groups.h"
#include "state/options_f150_199.h"
#include "state/options_f250_299.h"
#include "state/options_f300_349.h"
#include "state/options_f350_399.h"
#include "state/options_f450_499.h"
#include "state/options_f500_534.h"
#include "state/options_kw.h"

namespace qorva::test {
namespace {

// 3 x 3 columns of three 0.1 m cells; the middle column is bed cell 5 with bottom cell 13.
class BedShear : public CapacityBox {
 protected:
  void SetUp() override {
    CapacityBox::SetUp();
    options();
    prepare();
  }
  // Options that decide which arrays exist, set before the box is built.
  virtual void options() {}
  // The box, the flow and the k of the middle column's neighbours.
  void prepare() {
    build({1.0, 1.0, 1.0}, {1.0, 1.0, 1.0}, {0.1, 0.1, 0.1});
    flow(1.0, 0.01);  // 300 k = 3 Pa everywhere
    Ckinen[cell(0, 1, 0)] = 0.005;  // west: 1.5 Pa
    Ckinen[cell(2, 1, 0)] = 0.004;  // east: 1.2 Pa
    Ckinen[cell(1, 0, 0)] = 0.006;  // south: 1.8 Pa
    Ckinen[cell(1, 2, 0)] = 0.012;  // north: 3.6 Pa
    Ckinen[cell(1, 1, 1)] = 0.015;  // above: 4.5 Pa
    for (int c = 1; c <= NoCells; ++c) Croughness[c] = 0.01;
  }
  static int middle() { return 5; }
  double tau() const { return capacity::bedCellOf(capacity::constants(), block[1], middle()).tau; }
};

// Manning's bed shear rho g n^2 U^2 / h^(1/3), n = 1 / M, of a 0.3 m column at 0.5 m/s.
double manning(double M, double U, double h) {
  return 1000 * 9.81 * U * U / (M * M * std::cbrt(h));
}

TEST_F(BedShear, FormsOfF279OnOneBedCell) {
  struct Case {
    const char* what;
    int form;
    std::function<void()> set;
    double tau, tol;
  };
  const Case cases[] = {
      {"300 k of the bottom cell", 0, [] {}, 3.0, 1e-12},
      {"the cell above shears more", 1, [] {}, 4.5, 1e-12},
      {"a flat bed face does not look at the neighbours", 2, [] {}, 3.0, 1e-12},
      {"a tilted bed face takes the largest neighbour", 2, [this] { Faz[Cflateb[13]] = 0.9; },
       3.6, 1e-12},
      {"no change", 3, [] {}, 3.0, 1e-12},
      // The surface falls 1 cm per metre along the flow: rho g h S = 9810 x 0.3 x 0.01.
      {"surface slope times depth", 4, [] { Fvx[Cflatet[15]] = 0.01; }, 29.43, 1e-6},
      {"Manning only in a bank column", 5, [this] { flow(0.5, 0.01); }, 3.0, 1e-12},
      {"Manning in a bank column", 5,
       [this] {
         flow(0.5, 0.01);
         dryColumn(2, 1);
       },
       manning(ManningInit, 0.5, 0.3), 1e-5 * 1.465},
      {"the deeper west column beside a dry east one", 6,
       [this] {
         dryColumn(2, 1);
         for (int k = 0; k < 3; ++k) Ccelle[cell(1, 1, k)] = 0;
         Bdepth[bed(0, 1)] = 0.5;
         Ckinen[cell(0, 1, 0)] = 0.005;
       },
       1.5, 1e-12},
      {"a shallower west column gives nothing", 6,
       [this] {
         dryColumn(2, 1);
         for (int k = 0; k < 3; ++k) Ccelle[cell(1, 1, k)] = 0;
         Ckinen[cell(0, 1, 0)] = 0.005;
       },
       3.0, 1e-12},
  };
  for (const Case& c : cases) {
    SetArraysZero();
    setDefaults();
    prepare();
    FlagShearNB = c.form;
    c.set();
    EXPECT_NEAR(tau(), c.tau, c.tol) << c.what;
  }
}

// Manning's shear of F 279 5 with the Strickler coefficient squared, for several M and depths.
TEST_F(BedShear, ManningShearOfBankColumns) {
  FlagShearNB = 5;
  dryColumn(2, 1);
  flow(2.0, 1.0);  // 300 Pa: Manning's shear is the smaller
  for (double M : {20.0, 50.0, 80.0}) {
    ManningInit = M;
    EXPECT_NEAR(tau(), manning(M, 2.0, 0.3), 1e-5 * manning(M, 2.0, 0.3)) << "M " << M;
  }
}

// F 459 with m the mean k of the west, south, north and east cells (0.00675) and F 507.
TEST_F(BedShear, SmoothingAndColumnFactor) {
  const double m = 300 * 0.00675;
  struct Case {
    int smooth;
    double tau;
  };
  for (const Case& c : {Case{1, 0.5 * 3 + 0.5 * m}, Case{2, 0.333 * 3 + 0.667 * m},
                        Case{3, 0.2 * 3 + 0.8 * m}, Case{4, 3.0}, Case{5, 3.6}}) {
    FlagShearSmooth = c.smooth;
    EXPECT_NEAR(tau(), c.tau, 1e-12) << "F 459 " << c.smooth;
  }
  FlagShearSmooth = 0;
  ShearGridCoeff[3] = 1.2;  // three cells in the column
  EXPECT_NEAR(tau(), 3.0, 1e-12);  // the first entry 1.0 leaves the factor off
  ShearGridCoeff[1] = 1.5;
  EXPECT_NEAR(tau(), 3.6, 1e-12);
}

TEST_F(BedShear, NegativeKIsNoShear) {
  Ckinen[13] = -0.001;
  EXPECT_EQ(tau(), 0.0);
}

class ShearTable : public BedShear {
 protected:
  void options() override { FlagDuneShearPartCross = 2; }  // creates the table
  // The log-law shear 1000 u^2 (0.4 / ln(30 zc / ks))^2 of a bottom cell at u = 1 m/s.
  static double logLaw(double zc, double ks) {
    const double f = 0.4 / std::log(30 * zc / ks);
    return 1000 * f * f;
  }
};

TEST_F(ShearTable, RulesOfF499) {
  // The face under the top cell falls 1 mm per metre: its normal's tangent is 0.001.
  const int face = Cflateb[15];
  Fvx[face] = 0.001 / std::sqrt(1 + 1e-6);
  Fvz[face] = 1 / std::sqrt(1 + 1e-6);
  const double tl = logLaw(0.05, 0.01), ts = 19600 * 0.3 * 0.001, k3 = 3.0;
  struct Case {
    int rule;
    double tau;
  };
  for (const Case& c : {Case{2, tl}, Case{3, ts}, Case{4, std::max(tl, k3)},
                        Case{5, std::sqrt(tl * k3)}, Case{6, 0.33333 * (k3 + tl + ts)}}) {
    FlagDuneShearPartCross = c.rule;
    computeBedshear();
    EXPECT_NEAR(bedshear[3][3], c.tau, 1e-9) << "rule " << c.rule;
    // concRijn takes the shear from the table.
    EXPECT_NEAR(tau(), c.tau, 1e-9) << "rule " << c.rule;
  }
}

// Where the cell centre lies within the roughness (30 zc / ks at or below e) the log law's
// factor stays at its value for ln = 1 instead of dividing by zero or turning negative.
TEST_F(ShearTable, LogLawWithinTheRoughness) {
  for (double ks : {1.5, 5.0}) {  // 30 zc / ks = 1 and 0.3
    for (int c = 1; c <= NoCells; ++c) Croughness[c] = ks;
    computeBedshear();
    EXPECT_NEAR(bedshear[3][3], 1000 * 0.16, 1e-9) << "ks " << ks;
  }
}

// Rule 1 splits the shear by the grain share of the roughness per cross-section, the mean
// factor of a cross-section staying 1: without bed forms exactly 300 k.
TEST_F(ShearTable, GrainShearPartitionOfACrossSection) {
  FlagDuneShearPartCross = 1;
  computeBedshear();
  for (int j = 2; j <= 4; ++j) EXPECT_NEAR(bedshear[2][j], 300 * Ckinen[cell(0, j - 2, 0)], 1e-12);
  // A bed form of 5 cm over d90 = 1 mm in one column of the cross-section i = 3.
  for (int b = 1; b <= NoBCells; ++b) Bd90[b] = 0.001;
  Bedformheight[bed(1, 0)] = 0.05;
  for (int j = 0; j < 3; ++j) Ckinen[cell(1, j, 0)] = 0.01;
  computeBedshear();
  const double kg = 3 * 0.001;
  const double form = 1.1 * 0.05 * (1 - std::exp(-25 * 0.05 / (7.3 * 0.3)));
  const double g = std::pow(kg / (kg + form), 0.25), scale = 3 / (g + 2);
  EXPECT_NEAR(bedshear[3][2], 3 * g * scale, 1e-9);
  EXPECT_NEAR(bedshear[3][3], 3 * scale, 1e-9);
  EXPECT_NEAR(bedshear[3][2] + bedshear[3][3] + bedshear[3][4], 9.0, 1e-9);
}

// F 189: the largest k of the cells whose centre lies within the roughness height, never the
// top cell.
TEST_F(ShearTable, RoughnessLayerShear) {
  const int c0 = cell(1, 1, 0);
  Ckinen[c0] = 0.01;
  Ckinen[c0 + 1] = 0.02;
  Ckinen[c0 + 2] = 0.05;
  struct Case {
    double ks, tau;
  };
  for (const Case& c : {Case{0.01, 3.0}, Case{0.12, 6.0}, Case{10.0, 6.0}}) {
    Croughness[c0] = c.ks;
    computeShearBrenix();
    EXPECT_NEAR(bedshear[3][3], c.tau, 1e-12) << "ks " << c.ks;
  }
}

// Both shear options must come together: F 189 fills the table F 499 makes, and an F 499 value
// without a rule fills nothing.
TEST_F(BedShear, ShearOptionsThatWouldNotAct) {
  FlagBrenix = 1;
  EXPECT_THROW(concRijn(), RunEnd);
  EXPECT_NE(log().find("F 189"), std::string::npos);
}

class BoundaryK : public BedShear {
 protected:
  // Inflow group 1 on the west faces of the bottom cells of the first cross-section, outflow
  // group 2 on the east faces of the last one.
  void SetUp() override {
    BedShear::SetUp();
    for (int g = 1; g <= 2; ++g) {
      DischargeGroup& grp = DischargeStruct[g];
      grp.inflowFlag = g == 1 ? 1 : 0;
      grp.surfaceNo = 3;
      for (int j = 0; j < 3; ++j)
        grp.surfaceList[j] = g == 1 ? Cflatew[cell(0, j, 0)] : Cflatee[cell(2, j, 0)];
    }
    for (int i = 0; i < 3; ++i) Ckinen[cell(i, 0, 0)] = 0.001 * (i + 1);
  }
  void TearDown() override {
    resetDischargeGroups();
    BedShear::TearDown();
  }
};

TEST_F(BoundaryK, KFromTheCellsInside) {
  FlagZeroGradSedim = 1;
  computeZeroGradSedim();
  EXPECT_EQ(Ckinen[cell(0, 0, 0)], 0.002);
  EXPECT_EQ(Ckinen[cell(2, 0, 0)], 0.003);  // outflows untouched
  FlagZeroGradSedim = 2;
  Ckinen[cell(0, 0, 0)] = 0.001;
  computeZeroGradSedim();
  EXPECT_EQ(Ckinen[cell(0, 0, 0)], 0.003);  // two cells in
  // 20: outflow cells lowered to their inner neighbour, never raised.
  FlagZeroGradSedim = 20;
  Ckinen[cell(2, 0, 0)] = 0.003;
  Ckinen[cell(2, 1, 0)] = 0.001;
  computeZeroGradSedim();
  EXPECT_EQ(Ckinen[cell(2, 0, 0)], 0.002);
  EXPECT_EQ(Ckinen[cell(2, 1, 0)], 0.001);
}

TEST_F(BoundaryK, ShallowOutflowCellsRaised) {
  outflowFixShear = 0.6;
  outflowFixDepth = 0.0;
  computeOutflowFix();
  EXPECT_EQ(Ckinen[cell(2, 0, 0)], 0.003);
  outflowFixDepth = 0.5;  // deeper than the 0.3 m columns
  computeOutflowFix();
  EXPECT_NEAR(Ckinen[cell(2, 0, 0)], 0.003 + 0.002, 1e-15);
  EXPECT_EQ(Ckinen[cell(0, 0, 0)], 0.001);
}

}  // namespace
}  // namespace qorva::test
