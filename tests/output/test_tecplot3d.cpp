// The Tecplot 3-D file on a generated grid: the zone header and node lines, the velocity of a
// node against every cell that has it as a corner, the grid-point letters at and between grid
// points (also far from every grid point), the bed layer left by the plan view, the node and
// cell ranges of F 268, the names and the failure to open.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "output/output.h"
#include "output/plan_grid.h"
#include "state/log.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using test::addVariable;
using test::lines;
using test::numbers;

class Tecplot3dTest : public test::Scratch {};

const Table1<int>* const kCorners[8] = {&Cpoint1, &Cpoint2, &Cpoint3, &Cpoint4,
                                        &Cpoint5, &Cpoint6, &Cpoint7, &Cpoint8};

TEST_F(Tecplot3dTest, NodesCarryTheMeanOfTheCellsAroundThem) {
  test::makePlanGrid();
  test::setPlanTitle("Flume");
  stimet = 2;
  DischargeArray[1] = 30;
  addVariable('k');
  for (int c = 1; c <= NoCells; ++c) Ckinen[c] = 0.01 * c * c;
  print_tecplot3d(0);
  const auto text = lines(read("tecplfe.dat"));
  ASSERT_EQ(text.size(), 3u + NoPoints + NoCells);
  EXPECT_EQ(text[0], "TITLE = \"FE_Flume 2.000000 sec. \"");
  EXPECT_EQ(text[1], "VARIABLES=\"X1\",\"X2\",\"X3\",\"Ux\",\"Uy\",\"No\",\"Turbulent_k_0\"");
  EXPECT_EQ(text[2], "ZONE T=\"Discharge: 30.000000 l/s, time: 2.000000 sec\" N=" +
                         std::to_string(NoPoints) + ",E=" + std::to_string(NoCells) +
                         ",F=FEPOINT, ET=BRICK");
  for (int p = 1; p <= NoPoints; ++p) {
    SCOPED_TRACE(p);
    // Every cell that has p as a corner, found by scanning all cells.
    double u = 0, v = 0, k = 0;
    int n = 0;
    for (int c = 1; c <= NoCells; ++c)
      for (const auto* t : kCorners)
        if ((*t)[c] == p) {
          u += Cxvel[c];
          v += Cyvel[c];
          k += Ckinen[c];
          ++n;
          break;
        }
    ASSERT_GT(n, 0);
    const auto line = numbers(text[2 + p]);
    ASSERT_EQ(line.size(), 7u);
    EXPECT_NEAR(line[0], Px[p], 1e-6);
    EXPECT_NEAR(line[1], Py[p], 1e-6);
    EXPECT_NEAR(line[2], Pz[p], 1e-6);
    EXPECT_NEAR(line[3], u / n, 1e-6);
    EXPECT_NEAR(line[4], v / n, 1e-6);
    EXPECT_EQ(line[5], 0.0);
    EXPECT_NEAR(line[6], k / n, 1e-6 * k / n);
  }
  for (int c = 1; c <= NoCells; ++c) {
    const auto line = numbers(text[2 + NoPoints + c]);
    ASSERT_EQ(line.size(), 8u);
    for (int m = 0; m < 8; ++m) EXPECT_EQ(line[m], (*kCorners[m])[c]);
  }
}

// The bed letters come from the grid points: the node's own one, or the two nearest by
// |dx| + |dy| weighted by distance. The search starts at no distance limit, so a node far from
// every grid point still takes the nearest ones.
TEST_F(Tecplot3dTest, GridPointLettersReadTheNearestGridPoints) {
  test::makePlanGrid();
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 3; ++j) Surfaces[1][i][j] = i + 3.0 * (j - 1);
  addVariable('z');
  addVariable('s');
  addVariable('y');
  // Node 1 half a metre east of grid point (1, 1): nearest (1, 1) at 0.5, next (1, 2) and
  // (2, 1) both at 1.5, of which (1, 2) comes first in the scan.
  const double x1 = Px[1], y1 = Py[1];
  ASSERT_EQ(x1, 0.0);
  ASSERT_EQ(y1, 0.0);
  Px[1] = 0.5;
  // Node 2 five kilometres east: nearest (4, 1) at 4994 m, next (4, 2) at 4995 m.
  Px[2] = 5000;
  Py[2] = 0;
  print_tecplot3d(0);
  const auto text = lines(read("tecplfe.dat"));
  const double w1 = 0.5 / 2.0, w2 = 4994.0 / (4994 + 4995);
  const auto first = numbers(text[3]), second = numbers(text[4]);
  ASSERT_EQ(first.size(), 9u);
  EXPECT_NEAR(first[6], test::planBed(1), 1e-6);
  EXPECT_NEAR(first[7], (1 - w1) * 1 + w1 * 4, 1e-6);
  EXPECT_NEAR(second[6], test::planBed(4), 1e-6);
  EXPECT_NEAR(second[7], (1 - w2) * 4 + w2 * 7, 1e-6);
  // Every other node lies on its grid point.
  for (int p = 3; p <= NoPoints; ++p) {
    const int i = static_cast<int>(std::lround(Px[p] / 2)) + 1;
    const int j = static_cast<int>(std::lround(Py[p])) + 1;
    const auto v = numbers(text[2 + p]);
    EXPECT_NEAR(v[6], test::planBed(i), 1e-6) << p;
    EXPECT_NEAR(v[7], i + 3.0 * (j - 1), 1e-6) << p;
    EXPECT_NEAR(v[8], test::planSurface(i) - test::planBed(i), 1e-6) << p;
  }
}

// The layer letters use the layer the last plan view left; label and value follow it.
TEST_F(Tecplot3dTest, LayerLettersUseTheLayerOfTheLastPlanView) {
  test::makePlanGrid();
  addVariable('L');
  addVariable('a', 1);
  for (int b = 1; b <= NoBCells; ++b) {
    BSedDistrib[1][0][b] = 0.25;
    BSedDistrib[2][0][b] = 0.75;
  }
  print_tecplot3d(0);
  auto text = lines(read("tecplfe.dat"));
  EXPECT_EQ(text[1], "VARIABLES=\"X1\",\"X2\",\"X3\",\"Ux\",\"Uy\",\"No\",\"Top_sediment_layer_"
                     "thickness\",\"D50_layer_2\"");
  EXPECT_NEAR(numbers(text[3])[6], 0.25, 1e-9);
  TecStrucNo = 0;
  addVariable('k', 3);
  print_tecplot2d(0, 0);
  EXPECT_EQ(bnodem, 2);
  TecStrucNo = 0;
  addVariable('L');
  addVariable('a', 1);
  print_tecplot3d(0);
  text = lines(read("tecplfe.dat"));
  EXPECT_NE(text[1].find("\"D50_layer_3\""), std::string::npos);
  EXPECT_NEAR(numbers(text[3])[6], 0.75, 1e-9);
}

// F 268: the whole grid, the base grid only, or the last group of nested blocks with its point
// numbers shifted to start at 1; nodes past the base grid are marked in "No".
TEST_F(Tecplot3dTest, NodeAndCellRangesOfTheNestedView) {
  test::makePlanGrid();
  // Pretend the last column line is a nested block of its own.
  const int baseCells = NoCells - 10, basePoints = NoPoints - 12;
  block[1].cellend = baseCells;
  block[1].pointend = basePoints;
  NoBlocks = 2;
  block[2] = block[1];
  block[2].nestlevel = 1;
  block[2].cellstart = baseCells + 1;
  block[2].cellend = NoCells;
  block[2].pointstart = basePoints + 1;
  block[2].pointend = NoPoints;
  struct Case {
    int view, nodes, cells, firstNode, shift;
  };
  const Case cases[] = {
      {0, NoPoints, NoCells, 1, 0},
      {1, basePoints, baseCells, 1, 0},
      {2, NoPoints - basePoints, NoCells - baseCells, basePoints + 1, Cpoint1[baseCells + 1] - 1},
      {5, NoPoints, NoCells, 1, 0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.view);
    FlagViewNested = k.view;
    print_tecplot3d(0);
    const auto text = lines(read("tecplfe.dat"));
    ASSERT_EQ(text.size(), 3u + k.nodes + k.cells);
    EXPECT_NE(text[2].find(" N=" + std::to_string(k.nodes) + ",E=" + std::to_string(k.cells) + ","),
              std::string::npos);
    for (int n = 0; n < k.nodes; ++n) {
      const int p = k.firstNode + n;
      const auto v = numbers(text[3 + n]);
      EXPECT_EQ(v[0], Px[p]);
      EXPECT_EQ(v[5], p > basePoints ? 1.0 : 0.0) << p;
    }
    const int firstCell = k.view == 2 ? baseCells + 1 : 1;
    EXPECT_EQ(numbers(text[3 + k.nodes])[0], Cpoint1[firstCell] - k.shift);
  }
}

TEST_F(Tecplot3dTest, ChoosesTheNameByNumberingAndBlockDivision) {
  struct Case {
    int printRes, printResAlways, mpi;
    std::vector<std::string> present;
    const char* name;
  };
  const Case cases[] = {
      {0, 0, 0, {}, "tecplfe.dat"},
      {0, 0, 4, {}, "tecplfe.mpi4.dat"},
      {1, 0, 0, {"tec3_00000.dat"}, "tec3_00001.dat"},
      {0, 1, 4, {}, "tec3_00000.dat"},
  };
  test::makePlanGrid();
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    for (const auto& e : std::filesystem::directory_iterator("."))
      std::filesystem::remove_all(e.path());
    PrintRes = k.printRes;
    PrintResAlways = k.printResAlways;
    FlagMPI = k.mpi;
    for (const std::string& f : k.present) write(f, "kept");
    print_tecplot3d(0);
    EXPECT_EQ(read(k.name).rfind("TITLE = ", 0), 0u);
    for (const std::string& f : k.present) EXPECT_EQ(read(f), "kept");
  }
}

TEST_F(Tecplot3dTest, FileThatCannotBeCreatedEndsTheRunWithStatusMinus3) {
  test::makePlanGrid();
  std::filesystem::create_directory("tecplfe.dat");
  EXPECT_EQ(test::endStatus([] { print_tecplot3d(0); }), -3);
  EXPECT_EQ(mc_message, "cannot open file 'tecplfe.dat' ");
}

}  // namespace
}  // namespace qorva
