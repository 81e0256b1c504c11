// Bank-erosion factors of a column beside a dry row of columns, with the flow near the surface
// turned toward the bank: the shear and concentration factors and the added concentration by
// hand, and the cases that stay neutral.
#include <cmath>

#include "sediment/capacity.h"
#include "sediment/capacity_box.h"
#include "state/options_f200_249.h"

namespace qorva::test {
namespace {

constexpr double kPi = 3.141592652;

// 3 x 3 columns of three 0.1 m cells; the north row is dry, so the middle column (bed cell 5)
// is a bank column whose neighbourhood holds 6 of the 9 cells. The bed face of its bottom cell
// slopes 0.3 rad.
class BankFactors : public CapacityBox {
 protected:
  void SetUp() override {
    CapacityBox::SetUp();
    build({1.0, 1.0, 1.0}, {1.0, 1.0, 1.0}, {0.1, 0.1, 0.1});
    for (int i = 0; i < 3; ++i) {
      dryColumn(i, 2);
      for (int k = 0; k < 3; ++k) Ccelln[cell(i, 1, k)] = 0;
    }
    const int f = Cflateb[cell(1, 1, 0)];
    Fvx[f] = std::sin(0.3);
    Fvz[f] = std::cos(0.3);
    turn(0.2);
  }
  // Bottom cells flow along x at 1 m/s, top cells at 1 m/s turned by `angle` toward the bank.
  void turn(double angle) const {
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) {
        Cxvel[cell(i, j, 0)] = 1;
        Cyvel[cell(i, j, 0)] = 0;
        Cxvel[cell(i, j, 2)] = std::cos(angle);
        Cyvel[cell(i, j, 2)] = std::sin(angle);
      }
  }
  static capacity::BedCell middle() {
    return capacity::bedCellOf(capacity::constants(), block[1], 5);
  }
};

// Every cell turns by a = 0.2 rad; every speed is 1, so P2 = 1; the bed slope 0.3 rad exceeds
// the thresholds.
TEST_F(BankFactors, FactorsByHand) {
  FlagLEA2 = 1;
  CoeffLEA2_teta = 10;
  CoeffLEA2_k2 = 0.5;
  CoeffLEA2_k3 = 0.2;
  CoeffLEA2_k4 = 0.3;
  FlagLEA3 = 1;
  CoeffLEA3 = 2;
  FlagLEA4 = 1;
  CoeffLEA4_teta = 5;
  FlagLEA5 = 1;
  CoeffLEA5_Ub = 0.01;
  CoeffLEA5_teta = 5;
  TimeStep = 2;
  const double h = 0.3, a = 0.2;
  const double P1 = (std::tan(0.3 - 10 * kPi / 180) + h) / h;
  const capacity::BedCell x = middle();
  ASSERT_TRUE(x.bank);
  EXPECT_NEAR(x.f2, 1 + 0.3 * 1.0, 1e-9);
  EXPECT_NEAR(x.f1, (1 + 0.2) * (1 + 0.5 * P1) * (1 + 2 * std::sin(a)), 1e-9);
  const double t = std::tan(0.3 - 5 * kPi / 180);
  const double a2 = t * 0.5 / 0.5 / 0.1 + t * 0.01 * 2 / 0.5 / 0.1;
  EXPECT_NEAR(x.a2, a2, 1e-9);
}

// F 214 2 weighs both numbers by W = (|a| / 30) |sp|, sp the sine of the side: cos(a / 2) here.
TEST_F(BankFactors, WeightedByTheTurning) {
  FlagLEA2 = 2;
  CoeffLEA2_teta = 10;
  CoeffLEA2_k2 = 0.5;
  CoeffLEA2_k4 = 0.3;
  const double W = (0.2 / 30) * std::cos(0.1);
  const double P1 = (std::tan(0.3 - 10 * kPi / 180) + 0.3) / 0.3;
  const capacity::BedCell x = middle();
  EXPECT_NEAR(x.f2, 1 + 0.3 * W, 1e-9);
  EXPECT_NEAR(x.f1, 1 + 0.5 * P1 * W, 1e-9);
}

TEST_F(BankFactors, NeutralCases) {
  FlagLEA2 = 1;
  CoeffLEA2_k2 = 0.5;
  CoeffLEA2_k4 = 0.3;
  FlagLEA4 = 1;
  auto neutral = [](const capacity::BedCell& x, const char* what) {
    EXPECT_EQ(x.f1, 1.0) << what;
    EXPECT_EQ(x.f2, 1.0) << what;
    EXPECT_EQ(x.a2, 0.0) << what;
  };
  // A bank slope flatter than the thresholds: t = 0, P1 = 1, no added concentration.
  CoeffLEA2_teta = 30;
  CoeffLEA4_teta = 30;
  capacity::BedCell x = middle();
  EXPECT_NEAR(x.f1, 1 + 0.5 * 1.0, 1e-9);
  EXPECT_EQ(x.a2, 0.0);
  // No turning between bottom and top.
  turn(0.0);
  neutral(middle(), "straight flow");
  // Turning away from the bank.
  turn(-0.2);
  neutral(middle(), "turning away");
  // No dry neighbour: not a bank column.
  turn(0.2);
  for (int i = 0; i < 3; ++i) zval[i + 2][4][0] = cell(i, 2, 0);
  neutral(middle(), "no bank");
}

}  // namespace
}  // namespace qorva::test
