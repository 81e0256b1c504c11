// Point Gauss-Seidel sweeps: hand-worked passes, exact solutions of small systems, and the
// multi-neighbour form.
#include <vector>

#include "solvers/solver_systems.h"
#include "solvers/solvers.h"

namespace qorva::test {
namespace {

class SolverGauss : public SolverSystem {
 protected:
  // Cells 1..5 in a row (-u'' = 0) with u = 0 west of cell 1 and u = 6 east of cell 5 given
  // through the sources: the exact solution is u_i = i.
  static void laplaceLine() {
    laplaceRow(5);
    Csource[5] = 6.0;
  }
};

TEST_F(SolverGauss, LaplaceLineByHandAndToItsExactSolution) {
  allocate();
  struct Case {
    int sweeps;
    std::vector<double> u;  // cells 1..5 afterwards
    double tolerance;
  };
  // One sweep from 0: the forward pass only reaches cell 5 (u5 = 6/2); the backward pass
  // carries it down halving each time: 3, (3+0)/2, (1.5+0)/2, ...
  const Case cases[] = {
      {0, {0, 0, 0, 0, 0}, 0.0},
      {-2, {0, 0, 0, 0, 0}, 0.0},
      {1, {0.1875, 0.375, 0.75, 1.5, 3.0}, 0.0},
      {200, {1, 2, 3, 4, 5}, 1e-12},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.sweeps);
    laplaceLine();
    Gauss(1, 5, k.sweeps);
    for (int c = 1; c <= 5; ++c) EXPECT_NEAR(Cf[c], k.u[c - 1], k.tolerance) << "cell " << c;
  }
}

// A column of four cells: 4 x_k - x_(k-1) - x_(k+1) = b_k with b = (2, 4, 6, 13) is solved by
// x = (1, 2, 3, 4) (row 1: 4 - 2; row 2: 8 - 1 - 3; row 3: 12 - 2 - 4; row 4: 16 - 3).
TEST_F(SolverGauss, TridiagonalColumnReachesItsSolution) {
  allocate();
  link({1, 1, 4});
  const double b[] = {2, 4, 6, 13};
  for (int c = 1; c <= 4; ++c) {
    Cat[c] = Ccellt[c] ? 1.0 : 0.0;
    Cab[c] = Ccellb[c] ? 1.0 : 0.0;
    Cap[c] = 4.0;
    Csource[c] = b[c - 1];
  }
  Gauss(1, 4, 100);
  for (int c = 1; c <= 4; ++c) EXPECT_NEAR(Cf[c], c, 1e-13);
}

TEST_F(SolverGauss, BlockOfColumnsInBothFormsReachesTheChosenSolution) {
  inBothForms([&](bool second) {
    const Block b{3, 2, 3};
    const std::vector<double> x = setUpBlock(b, second);
    Gauss(WCStart, WCEnd, 80);
    EXPECT_LT(maxError(x), 1e-11);
  });
}

// The thirteen-point form with a second-neighbour term that a seven-point sweep would not see:
// cells 1..3 in a row, only cell 1 is swept.
TEST_F(SolverGauss, ThirteenPointFormAddsTheCellsBeyond) {
  sou[1] = 1;
  allocate();
  link({3, 1, 1});
  Cf[2] = 4.0;
  Cf[3] = 8.0;
  Cap[1] = 4.0;
  Cae[1] = 0.5;
  Caee[1] = 0.25;
  Csource[1] = 1.0;
  Gauss(1, 1, 1);
  EXPECT_DOUBLE_EQ(Cf[1], (0.5 * 4 + 0.25 * 8 + 1) / 4);  // 1.25
  sou[1] = 0;
  Gauss(1, 1, 1);
  EXPECT_DOUBLE_EQ(Cf[1], (0.5 * 4 + 1) / 4);  // 0.75
}

// A scheme switched to second order after the arrays were made has no second-neighbour
// coefficients: the sweep uses the seven-point form instead of reading absent arrays.
TEST_F(SolverGauss, MissingSecondNeighbourArraysCountAsZero) {
  allocate();
  ASSERT_FALSE(Caee);
  sou[1] = 1;
  laplaceLine();
  Gauss(1, 5, 1);
  const double u[] = {0.1875, 0.375, 0.75, 1.5, 3.0};
  for (int c = 1; c <= 5; ++c) EXPECT_EQ(Cf[c], u[c - 1]);
}

TEST_F(SolverGauss, RangeEdges) {
  allocate();
  // An empty range changes nothing.
  laplaceLine();
  Cf[3] = 7.0;
  Gauss(4, 3, 5);
  EXPECT_EQ(Cf[3], 7.0);
  EXPECT_EQ(Cf[4], 0.0);
  // One cell: both passes give it (u2 + u4) / 2 from the neighbours outside the range, which
  // keep their values.
  laplaceLine();
  Cf[2] = 10.0;
  Cf[4] = 20.0;
  Gauss(3, 3, 1);
  EXPECT_EQ(Cf[3], 15.0);
  EXPECT_EQ(Cf[2], 10.0);
  EXPECT_EQ(Cf[4], 20.0);
}

// Cell 1 faces, on its east side, the two listed cells 17 and 18 of another column; its west
// side has the single neighbour 5, its south side a count of -1 (nothing, although Ccells and
// Cas are set), its north side nothing; above it lies cell 9, above that cell 10.
class SolverGaussQn : public SolverSystem {
 protected:
  void SetUp() override {
    SolverSystem::SetUp();
    QNFlag = 1;
    sou[1] = 1;
    allocate();
    NoCells = 18;
    Cap[1] = 2.0;
    Csource[1] = 1.0;
    Ccellt[1] = 9;
    Cat[1] = 0.25;
    Ccellt[9] = 10;
    Catt[1] = 1.0;  // the multi-neighbour form keeps the first vertical neighbours only
    Cncelle[1] = 2;
    Cqncelle[1][0] = 17;
    Cqnae[1][0] = 0.5;
    Cqnae[1][1] = 0.25;
    Ccelle[17] = 7;
    Cqnaee[1][0] = 0.25;
    Ccellw[1] = 5;
    Caw[1] = 0.5;
    Ccellw[5] = 8;
    Caww[1] = 0.5;
    Cncells[1] = -1;
    Ccells[1] = 6;
    Cas[1] = 1.0;
    const double values[][2] = {{5, 6}, {6, 100},   {7, 8},  {8, 4},
                                {9, 4}, {10, 1000}, {17, 4}, {18, 8}};
    for (const auto& v : values) Cf[static_cast<int>(v[0])] = v[1];
    WCStart = WCEnd = 1;
  }
};

TEST_F(SolverGaussQn, OnePassPairWhateverTheSweepCount) {
  // Seven-point: r = 0.25*4 (top) + 0 (bottom) + 1 (source) + (0.5*4 + 0.25*8) (east list)
  //   + 0.5*6 (west) = 9, u = 4.5.
  // Thirteen-point: adds 0.25*Cf[7] = 2 beyond cell 17 (nothing beyond 18) and
  //   Caww*Cf[8] = 2 beyond the west neighbour: r = 13, u = 6.5.
  struct Case {
    int scheme;
    int sweeps;
    double u;
  };
  const Case cases[] = {{0, 0, 4.5}, {0, 3, 4.5}, {0, -1, 4.5}, {1, 0, 6.5}, {1, 3, 6.5}};
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << "sou " << k.scheme << " sweeps " << k.sweeps);
    sou[1] = k.scheme;
    Cf[1] = -3.0;
    Gauss(1, 1, k.sweeps);
    EXPECT_DOUBLE_EQ(Cf[1], k.u);
    EXPECT_EQ(Cf[17], 4.0);
    EXPECT_EQ(Cf[6], 100.0);
  }
  // Without the lists the same cell sees its single neighbours and sweeps as asked.
  QNFlag = 0;
  sou[1] = 0;
  Cf[1] = -3.0;
  Gauss(1, 1, 0);
  EXPECT_EQ(Cf[1], -3.0);
}

}  // namespace
}  // namespace qorva::test
