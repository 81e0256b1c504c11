// The Tecplot plan view on a generated grid: the layout line by line against the grid, the
// zone counts of blocks that start anywhere, the level of the base variables, the one-word
// labels, per-block files that each show their own block, the names and the failure to open.
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
using test::columnCells;
using test::lines;
using test::numbers;

class TecplotPlanTest : public test::Scratch {
 protected:
  void SetUp() override { test::Scratch::SetUp(); }
};

// The height of cell c from its corners, and its centre level.
double cellHeight(int c) {
  return (Pz[Cpoint5[c]] + Pz[Cpoint6[c]] + Pz[Cpoint7[c]] + Pz[Cpoint8[c]] - Pz[Cpoint1[c]] -
          Pz[Cpoint2[c]] - Pz[Cpoint3[c]] - Pz[Cpoint4[c]]) /
         4;
}
double cellMiddle(int c) {
  double z = 0;
  for (const auto* t : {&Cpoint1, &Cpoint2, &Cpoint3, &Cpoint4, &Cpoint5, &Cpoint6, &Cpoint7,
                        &Cpoint8})
    z += Pz[(*t)[c]];
  return z / 8;
}

// Column and grid lines of plan point (ii, jj) of a block of columns i1..i2, j1..j2.
struct Lines {
  int a, b, column;
};
Lines linesOf(int n, int first, int last) {
  if (n < first) return {first - 1, first - 1, first};
  if (n > last) return {last, last, last};
  return {n, n - 1, n};
}

TEST_F(TecplotPlanTest, WritesEveryPointOfTheBlockWithItsColumnValues) {
  test::makePlanGrid();
  test::setPlanTitle("Plan");
  mc_v1 = "Written from initial";
  stimet = 3.5;
  addVariable('y');
  addVariable('D');
  print_tecplot2d(0, 0);
  const auto text = lines(read("tecplot2.dat"));
  ASSERT_EQ(text.size(), 4u + 5 * 4);
  EXPECT_EQ(text[0], "TITLE = \"PLAN-2_Plan Written from initial\"");
  EXPECT_EQ(text[1], "VARIABLES=\"X1\",\"X2\",\"X3\",\"Ux\",\"Uy\",\"Depth\",\"Depth-averaged_velocity\"");
  EXPECT_EQ(text[2], "ZONE I=5,J=4,F=POINT");
  EXPECT_EQ(text[3], "SOLUTIONTIME=3.500000");
  int row = 4;
  for (int jj = 1; jj <= 4; ++jj)
    for (int ii = 1; ii <= 5; ++ii, ++row) {
      SCOPED_TRACE(std::to_string(ii) + " " + std::to_string(jj));
      const Lines li = linesOf(ii, 2, 4), lj = linesOf(jj, 2, 3);
      const std::vector<int> cells = columnCells(li.column, lj.column);
      ASSERT_GE(cells.size(), 2u);
      const int level = cells[1];
      double hu = 0, h = 0;
      for (int c : cells) {
        hu += cellHeight(c) * std::hypot(Cxvel[c], Cyvel[c]);
        h += cellHeight(c);
      }
      const double depth = (test::planSurface(li.a) - test::planBed(li.a) +
                            test::planSurface(li.b) - test::planBed(li.b)) /
                           2;
      const auto v = numbers(text[row]);
      ASSERT_EQ(v.size(), 7u);
      EXPECT_NEAR(v[0], (2.0 * (li.a - 1) + 2.0 * (li.b - 1)) / 2, 1e-6);
      EXPECT_NEAR(v[1], (1.0 * (lj.a - 1) + 1.0 * (lj.b - 1)) / 2, 1e-6);
      EXPECT_NEAR(v[2], cellMiddle(level), 1e-6);
      EXPECT_NEAR(v[3], Cxvel[level], 1e-6);
      EXPECT_NEAR(v[4], Cyvel[level], 1e-6);
      EXPECT_NEAR(v[5], depth, 1e-6 * depth);
      EXPECT_NEAR(v[6], hu / h, 1e-6 * hu / h);
    }
}

// The zone holds as many points as are written, wherever the block starts in the grid.
TEST_F(TecplotPlanTest, ZoneCountsAreThePointsWritten) {
  struct Case {
    int i1, i2, j1, j2;
  };
  for (const Case& k : {Case{2, 4, 2, 3}, Case{3, 5, 4, 4}, Case{4, 4, 2, 6}}) {
    SCOPED_TRACE(std::to_string(k.i1) + " " + std::to_string(k.j1));
    SetArraysZero();
    setDefaults();
    test::makePlanGrid(k.i1, k.i2, k.j1, k.j2);
    print_tecplot2d(0, 0);
    const auto text = lines(read("tecplot2.dat"));
    const int I = k.i2 - k.i1 + 3, J = k.j2 - k.j1 + 3;
    ASSERT_GE(text.size(), 4u);
    EXPECT_EQ(text[2], "ZONE I=" + std::to_string(I) + ",J=" + std::to_string(J) + ",F=POINT");
    EXPECT_EQ(text.size(), 4u + static_cast<std::size_t>(I * J));
    // The first point is the corner of the block, the last the opposite corner.
    EXPECT_EQ(numbers(text[4])[0], 2.0 * (k.i1 - 2));
    EXPECT_EQ(numbers(text.back())[1], 1.0 * (k.j2 - 1));
  }
}

TEST_F(TecplotPlanTest, LevelOfTheBaseVariables) {
  struct Case {
    int znode;
    const char* what;
  };
  test::makePlanGrid();
  const std::vector<int> cells = columnCells(2, 2);
  const double bed = (test::planBed(1) + test::planBed(2)) / 2;
  const double surface = (test::planSurface(1) + test::planSurface(2)) / 2;
  for (const Case& k : {Case{1, "bed"}, Case{znumber + 1, "surface"}, Case{40, "above the top"}}) {
    SCOPED_TRACE(k.what);
    znode = k.znode;
    print_tecplot2d(0, 0);
    const auto v = numbers(lines(read("tecplot2.dat"))[4 + 5 + 1]);  // point (2, 2)
    ASSERT_EQ(v.size(), 5u);
    const int cell = k.znode == 1 ? cells.front() : cells.back();
    EXPECT_NEAR(v[2], k.znode == 1 ? bed : (k.znode == znumber + 1 ? surface : cellMiddle(cell)),
                1e-6);
    EXPECT_NEAR(v[3], Cxvel[cell], 1e-6);
  }
}

TEST_F(TecplotPlanTest, LabelsAreOneWordWithTheirLevelAndSize) {
  struct Case {
    char letter;
    int level, size;
    double diGraph;
    const char* label;
  };
  const Case cases[] = {
      {'K', 3, 0, 0.5, "Residual_k_3"},
      {'I', 2, 0, 0.5, "Eddy-viscosity-vert2"},
      {'a', 1, 0, 0.05, "D05_level_1"},
      {'a', 2, 0, 0.9, "D90_level_2"},
      {'f', 2, 1, 0.5, "Bed_sediment_fraction_size_1_level_2"},
      {'c', 2, 1, 0.5, "Sediment_conc._lev_2_size_1"},
      {'V', 0, 0, 0.5, "Horiz._velocity"},
      {'q', 1, 0, 0.5, "Water_Quality_1"},
      {'i', 0, 0, 0.5, "No._cells_vertical_direction"},
      {'G', 0, 0, 0.5, "Error"},
  };
  test::makePlanGrid();
  for (const Case& k : cases) {
    SCOPED_TRACE(k.label);
    TecStrucNo = 0;
    di_graph = k.diGraph;
    addVariable(k.letter, k.level, k.size);
    print_tecplot2d(0, 0);
    EXPECT_EQ(lines(read("tecplot2.dat"))[1],
              std::string("VARIABLES=\"X1\",\"X2\",\"X3\",\"Ux\",\"Uy\",\"") + k.label + "\"");
  }
}

// Values that only the plan view defines: the grid-point letters averaged over the four
// corners, the level walk of the cell letters, and the letters that show nothing here.
TEST_F(TecplotPlanTest, ValuesOfThePlanLetters) {
  test::makePlanGrid();
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 3; ++j) Surfaces[1][i][j] = 0.1 * i + 0.01 * j;
  for (int c = 1; c <= NoCells; ++c) Ckinen[c] = 0.001 * c;
  const std::vector<int> cells = columnCells(2, 2);
  addVariable('s');
  addVariable('k', 2);
  addVariable('i', 3);
  addVariable('M');
  addVariable('z');
  print_tecplot2d(0, 0);
  const auto v = numbers(lines(read("tecplot2.dat"))[4 + 5 + 1]);  // point (2, 2)
  ASSERT_EQ(v.size(), 10u);
  EXPECT_NEAR(v[5], (0.1 + 0.2 + 0.1 + 0.2) / 4 + (0.01 + 0.01 + 0.02 + 0.02) / 4, 1e-9);
  EXPECT_NEAR(v[6], Ckinen[cells[1]], 1e-9);
  // From the third cell up, or the top cell of a shorter column.
  EXPECT_EQ(v[7], cells.size() >= 3 ? static_cast<double>(cells.size() - 2) : 1.0);
  EXPECT_EQ(v[8], 0.0);
  EXPECT_NEAR(v[9], (test::planBed(1) + test::planBed(2)) / 2, 1e-9);
  // The layer and size of the last variable stay for the 3-D file.
  EXPECT_EQ(bnodem, 0);
}

// F 329 index 3: one file per block, each showing its own block.
TEST_F(TecplotPlanTest, PerBlockFilesShowTheirOwnBlock) {
  test::makePlanGrid();
  NoBlocks = 2;
  block[2] = block[1];
  block[2].i1 = 2;
  block[2].i2 = 3;
  block[2].j1 = block[2].j2 = 4;
  for (int i = 1; i <= 3; ++i) {
    xval[i][4] = 2.0 * (i - 1);
    yval[i][4] = 3.0;
  }
  PrintArrayFlags[0] = PrintArrayFlags[1] = 0;
  PrintArrayFlags[3] = 1;
  sprintflow();
  const auto one = lines(read("tecplot2_n1.dat"));
  const auto two = lines(read("tecplot2_n2.dat"));
  EXPECT_FALSE(std::filesystem::exists("tecplot2.dat"));
  ASSERT_GE(one.size(), 5u);
  ASSERT_GE(two.size(), 5u);
  EXPECT_EQ(one[2], "ZONE I=5,J=4,F=POINT");
  EXPECT_EQ(two[2], "ZONE I=4,J=3,F=POINT");
  EXPECT_EQ(two.size(), 4u + 12);
  EXPECT_EQ(numbers(two.back())[1], 3.0);
}

TEST_F(TecplotPlanTest, ChoosesTheNameByBlockNumberingAndBlockDivision) {
  struct Case {
    int block, printRes, mpi;
    std::vector<std::string> present;
    const char* name;
  };
  const Case cases[] = {
      {0, 0, 0, {}, "tecplot2.dat"},
      {0, 0, 3, {}, "tecplot2.mpi3.dat"},
      {0, 1, 0, {"tec2_00000.dat"}, "tec2_00001.dat"},
      {0, 1, 3, {}, "tec2.mpi3.00000.dat"},
      {1, 0, 0, {}, "tecplot2_n1.dat"},
      {1, 0, 2, {}, "tecplot2_n1.mpi2.dat"},
      {1, 1, 0, {"tec2_n1_00000.dat"}, "tec2_n1_00001.dat"},
  };
  test::makePlanGrid();
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    for (const auto& e : std::filesystem::directory_iterator("."))
      std::filesystem::remove_all(e.path());
    PrintRes = k.printRes;
    FlagMPI = k.mpi;
    for (const std::string& f : k.present) write(f, "kept");
    print_tecplot2d(0, k.block);
    EXPECT_EQ(read(k.name).rfind("TITLE = ", 0), 0u);
    for (const std::string& f : k.present) EXPECT_EQ(read(f), "kept");
  }
}

TEST_F(TecplotPlanTest, FileThatCannotBeCreatedEndsTheRunWithStatusMinus3) {
  test::makePlanGrid();
  std::filesystem::create_directory("tecplot2.dat");
  EXPECT_EQ(test::endStatus([] { print_tecplot2d(0, 0); }), -3);
  EXPECT_EQ(mc_message, "cannot open file 'tecplot2.dat' ");
}

}  // namespace
}  // namespace qorva
