// Debug prints and bug traps: the cell dump of F 218, the pressure-correction dump of F 183
// with its stop, the coefficient trap of F 223, and the grid consistency test of F 1 A on a
// consistent box and on broken links.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "flow/flow.h"
#include "grid/grid.h"
#include "state/arrays.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "support/box_grid.h"
#include "support/scratch.h"

namespace qorva::test {
namespace {

class DebugPrints : public Scratch {
 protected:
  void SetUp() override {
    Scratch::SetUp();
    makeBox({1.0, 2.0}, {1.0}, {1.0});
    Cf.point(Cpres);
  }
};

TEST_F(DebugPrints, CellDump) {
  Iter = 4;
  Equation = 2;
  PrintDebugBoogie = 2;
  Cpres[2] = 0.5;
  Cap[2] = 3;
  Csource[2] = 1.5;
  Caw[2] = 0.25;
  Cxvel[2] = 0.1;
  Cgamma[2] = 0.002;
  Ckinen[2] = 1e-3;
  Cepsilon[2] = 1e-4;
  CinvAp[1] = 0.125;
  CinvAp[2] = 0.5;
  printDebug(1);
  const int w = Cflatew[2], e = Cflatee[2], s = Cflates[2], n = Cflaten[2], t = Cflatet[2],
            b = Cflateb[2];
  const std::string expected =
      "Bugtrap, values for Iter = 4, cellno = 2, Equation = 2, InnerIter = 1\n"
      "Cf = 0.500000, Cap = 3.000000, Csource = 1.500000\n"
      "Velocities: 0.100000 0.000000 0.000000, Diffusion, k, epsilon: 0.002000 1.000000e-03 "
      "1.000000e-04, Volume: 2.000000\n"
      "Neigbours id: wsentb: 1 0 0 0 0 0\n"
      "Neigbours anb: wsentb: 2.500000e-01 0.000000e+00 0.000000e+00 0.000000e+00 "
      "0.000000e+00 0.000000e+00\n" +
      strf("Neigbour surfaces id: %d %d %d %d %d %d\n", w, s, e, n, t, b) +
      "Neigbour surfaces neighbours id 1: 1 0 2 2 2 0\n"
      "Neigbour surfaces neighbours id 2: 2 2 0 0 0 2\n"
      "Neigbours areas: wsen: 1.000000e+00 2.000000e+00 1.000000e+00 2.000000e+00\n"
      "Neigbours fluxes: wsentb: 0.000000e+00 0.000000e+00 0.000000e+00 0.000000e+00 "
      "0.000000e+00 0.000000e+00\n"
      "invAp: lwsentb: 0.500000 0.125000 0.000000 0.000000 0.000000 0.000000 0.000000\n";
  EXPECT_EQ(log(), expected);
  // A cell the grid does not have is named, not read.
  std::filesystem::remove("boogie");
  PrintDebugBoogie = 9;
  printDebug(1);
  EXPECT_EQ(log(), "Bugtrap: cell 9 of F 218 is not a cell of the grid (1..2)\n");
}

// F 183: every cell with |p'| above 1e5 or Cap below 0.001 is dumped; 1 then becomes 99, the
// stop of the end of the inner iteration; 2 to 98 dump without stopping.
TEST_F(DebugPrints, PressureCorrectionDump) {
  struct Row {
    int flag;
    double p, cap;
    bool dumped;
    int after;
  } rows[] = {{1, 2e5, 1, true, 99}, {1, 10, 1, false, 1}, {2, 10, 1e-4, true, 2}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.flag * 10 + r.dumped);
    std::filesystem::remove("boogie");
    FlagPresDebug = r.flag;
    Cpres[1] = r.p;
    Cap[1] = r.cap;
    Cap[2] = 1;
    Cpres[2] = 0;
    printDebug2();
    EXPECT_EQ(log().rfind("Debug, Pressure-correction, l=1\n", 0) == 0, r.dumped) << log();
    EXPECT_EQ(log().find("l=2"), std::string::npos);
    EXPECT_EQ(FlagPresDebug, r.after);
  }
}

// F 223: the neighbour coefficients are pre-filled with -10; those the builder leaves are
// reported with 1.
TEST_F(DebugPrints, CoefficientBugTrap) {
  Iter = 3;
  ompbugtrapFunction(1, 2);
  EXPECT_EQ(Cae[2], -10.0);
  for (int c = 1; c <= 2; ++c) Cab[c] = Cat[c] = Cas[c] = Cae[c] = Caw[c] = Can[c] = 0;
  Can[2] = -10;
  computeOmpbugtrap();
  EXPECT_EQ(log(), "Error in setting coefficients: Can[2] = -10.000000 for Iter = 3\n");
}

// A consistent grid gives no line; each broken link gives its check number.
TEST_F(DebugPrints, GridTest) {
  gridTest();
  EXPECT_FALSE(std::filesystem::exists("boogie")) << log();
  mc_message = "unchanged";
  Ccellw[2] = 2;  // cell 2 names itself as its west neighbour: check 4 of cell 1
  gridTest();
  EXPECT_EQ(log(), "Error 4 in grid for cell 1\n");
  EXPECT_EQ(mc_message, "Error 4 in grid for cell 1 ");
  std::filesystem::remove("boogie");
  Ccellw[2] = 1;
  Fcell1[Cflatee[2]] = 1;  // the east surface of cell 2 names another cell
  gridTest();
  EXPECT_EQ(log(), "Error 7 in grid for cell 2\n");
  // An empty range tests nothing.
  std::filesystem::remove("boogie");
  WCStart = 3;
  WCEnd = 2;
  gridTest();
  EXPECT_FALSE(std::filesystem::exists("boogie"));
  // A log that cannot be opened ends the run with -3.
  WCStart = 1;
  std::filesystem::create_directory("boogie");
  try {
    gridTest();
    ADD_FAILURE() << "the run went on";
  } catch (const RunEnd& e) {
    EXPECT_EQ(e.status, -3);
  }
}

}  // namespace
}  // namespace qorva::test
