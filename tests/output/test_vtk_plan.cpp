// The VTK plan view on a generated grid: the structured grid and its arrays against the grid,
// the default array without a G 24 list, the printing of values near zero, the bed letters
// from the bed cells, per-block files that each show their own block, the one-word names, the
// file names and the failure to open.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>
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

class VtkPlanTest : public test::Scratch {};

// Grid lines and column of plan index n of a block of columns first..last.
struct Lines {
  int a, b, column;
};
Lines linesOf(int n, int first, int last) {
  if (n < first) return {first - 1, first - 1, first};
  if (n > last) return {last, last, last};
  return {n, n - 1, n};
}

// The value lines of the array `name`, one a row.
std::vector<std::string> arrayRows(const std::vector<std::string>& text, const std::string& name,
                                   int rows) {
  for (std::size_t k = 0; k + 2 < text.size(); ++k)
    if (text[k] == "SCALARS " + name + " float") {
      EXPECT_EQ(text[k + 1], "LOOKUP_TABLE default");
      return std::vector<std::string>(text.begin() + k + 2, text.begin() + k + 2 + rows);
    }
  ADD_FAILURE() << "no array " << name;
  return {};
}

TEST_F(VtkPlanTest, WritesTheBlockAsAStructuredGridWithItsColumnValues) {
  test::makePlanGrid();
  test::setPlanTitle("Plan");
  stimet = 1.25;
  addVariable('y');
  addVariable('V', 2);
  print_paraview2d(0, 0);
  EXPECT_EQ(mc_message, "have written ParaView 2D file  ");
  const auto text = lines(read("ParaView2.vtk"));
  ASSERT_GT(text.size(), 30u);
  EXPECT_EQ(text[0], "# vtk DataFile Version 2.0");
  EXPECT_EQ(text[1], "Qorva 2 Plan 1.250000 seconds.");
  EXPECT_EQ(text[2], "ASCII");
  EXPECT_EQ(text[3], "DATASET STRUCTURED_GRID");
  EXPECT_EQ(text[4], "DIMENSIONS 5 4 1");
  EXPECT_EQ(text[5], "POINTS 20 float");
  EXPECT_EQ(text[26], "");
  EXPECT_EQ(text[27], "POINT_DATA 20");
  const auto depth = arrayRows(text, "Depth", 4);
  const auto speed = arrayRows(text, "Horiz_velocity", 4);
  ASSERT_EQ(depth.size(), 4u);
  std::size_t vectors = 0;
  while (vectors < text.size() && text[vectors] != "VECTORS Velocities float") ++vectors;
  ASSERT_EQ(text.size(), vectors + 1 + 20);
  int n = 0;
  for (int jj = 1; jj <= 4; ++jj) {
    const auto d = numbers(depth[jj - 1]), s = numbers(speed[jj - 1]);
    ASSERT_EQ(d.size(), 5u);
    ASSERT_EQ(s.size(), 5u);
    EXPECT_EQ(depth[jj - 1].front(), ' ');
    for (int ii = 1; ii <= 5; ++ii, ++n) {
      SCOPED_TRACE(std::to_string(ii) + " " + std::to_string(jj));
      const Lines li = linesOf(ii, 2, 4), lj = linesOf(jj, 2, 3);
      const auto point = numbers(text[6 + n]);
      EXPECT_NEAR(point[0], (2.0 * (li.a - 1) + 2.0 * (li.b - 1)) / 2, 1e-6);
      EXPECT_NEAR(point[1], (1.0 * (lj.a - 1) + 1.0 * (lj.b - 1)) / 2, 1e-6);
      EXPECT_NEAR(point[2], (test::planBed(li.a) + test::planBed(li.b)) / 2, 1e-6);
      const double h = (test::planSurface(li.a) - test::planBed(li.a) + test::planSurface(li.b) -
                        test::planBed(li.b)) /
                       2;
      EXPECT_NEAR(d[ii - 1], h, 1e-5 * h);
      // The level cell of the nearest column of the block.
      const int c = columnCells(li.column, lj.column)[1];
      EXPECT_NEAR(s[ii - 1], std::hypot(Cxvel[c], Cyvel[c]), 1e-5);
      // The vectors show the column (ii, jj) itself: nothing outside the block.
      const auto u = numbers(text[vectors + 1 + n]);
      const bool inside = ii >= 2 && ii <= 4 && jj >= 2 && jj <= 3;
      EXPECT_NEAR(u[0], inside ? Cxvel[c] : 0.0, 1e-6);
      EXPECT_NEAR(u[1], inside ? Cyvel[c] : 0.0, 1e-6);
      EXPECT_NEAR(u[2], inside ? Czvel[c] : 0.0, 1e-6);
    }
  }
}

TEST_F(VtkPlanTest, WithoutAListShowsTheLetterOfP4) {
  test::makePlanGrid();
  print_paraview2d(0, 0);
  const auto text = lines(read("ParaView2.vtk"));
  const auto rows = arrayRows(text, "Error", 4);
  ASSERT_EQ(rows.size(), 4u);
  for (const std::string& r : rows) EXPECT_EQ(r, " 0.0 0.0 0.0 0.0 0.0");
}

TEST_F(VtkPlanTest, ValuesNearZeroAreWrittenAsZero) {
  test::makePlanGrid();
  znode = 1;
  const double k[] = {1e-15, -1e-15, 1e-13};
  for (int i = 2; i <= 4; ++i) Ckinen[columnCells(i, 2)[0]] = k[i - 2];
  addVariable('k');
  print_paraview2d(0, 0);
  const auto rows = arrayRows(lines(read("ParaView2.vtk")), "Turbulent_k_0", 4);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[1], " 0.0 0.0 0.0 1e-13 1e-13");
}

// The bed letters come from the bed cell of the column; the ring repeats the outer columns.
TEST_F(VtkPlanTest, BedLettersComeFromTheBedCells) {
  test::makePlanGrid();
  for (int b = 1; b <= NoBCells; ++b) Bedmove[b] = 0.001 * Bkooi[b] + 0.0001 * Bkooj[b];
  addVariable('U');
  print_paraview2d(0, 0);
  const auto rows = arrayRows(lines(read("ParaView2.vtk")), "Bed_movement_in_time_step_[m]", 4);
  ASSERT_EQ(rows.size(), 4u);
  for (int jj = 1; jj <= 4; ++jj) {
    const auto v = numbers(rows[jj - 1]);
    for (int ii = 1; ii <= 5; ++ii) {
      const int I = linesOf(ii, 2, 4).column, J = linesOf(jj, 2, 3).column;
      EXPECT_NEAR(v[ii - 1], 0.001 * I + 0.0001 * J, 1e-9) << ii << " " << jj;
    }
  }
}

// F 329 index 7: one file per block, each showing its own block.
TEST_F(VtkPlanTest, PerBlockFilesShowTheirOwnBlock) {
  test::makePlanGrid();
  NoBlocks = 2;
  block[2] = block[1];
  block[2].i1 = 2;
  block[2].i2 = 3;
  block[2].j1 = block[2].j2 = 4;
  PrintArrayFlags[0] = PrintArrayFlags[1] = 0;
  PrintArrayFlags[7] = 1;
  sprintflow();
  EXPECT_EQ(lines(read("ParaView2_n1.vtk"))[4], "DIMENSIONS 5 4 1");
  EXPECT_EQ(lines(read("ParaView2_n2.vtk"))[4], "DIMENSIONS 4 3 1");
}

TEST_F(VtkPlanTest, NamesAreOneWordWithTheirLevelLayerAndSize) {
  struct Case {
    char letter;
    int level, size, code;
    double diGraph;
    const char* name;
  };
  const Case cases[] = {
      {'a', 1, 0, 0, 0.05, "D05_level_1"},
      {'a', 3, 0, 0, 0.5, "D50_level_3"},
      {'q', 0, 1, 0, 0.5, "Water_Quality_1"},
      {'c', 2, 1, 0, 0.5, "Sediment_conc_lev_2_size_1"},
      {'L', 3, 0, 0, 0.5, "Sediment_layer_thickness_level_3"},
      {'L', 0, 0, 0, 0.5, "Sediment_layer_thickness_level_1"},
      {'O', 0, 1, 0, 0.5, "Potential_sediment_concentration_1"},
      {'Z', 0, 0, 105, 0.5, "Bed_concentration"},
      {'Z', 0, 0, 106, 0.5, "Error"},
      {'B', 0, 0, 0, 0.5, "Error"},
  };
  test::makePlanGrid();
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    TecStrucNo = 0;
    di_graph = k.diGraph;
    addVariable(k.letter, k.level, k.size, k.code);
    print_paraview2d(0, 0);
    EXPECT_EQ(arrayRows(lines(read("ParaView2.vtk")), k.name, 4).size(), 4u);
  }
}

TEST_F(VtkPlanTest, ChoosesTheNameByBlockNumberingAndBlockDivision) {
  struct Case {
    int numbered, block, printRes, mpi;
    std::vector<std::string> present;
    const char* name;
  };
  const Case cases[] = {
      {0, 0, 0, 0, {}, "ParaView2.vtk"},
      {0, 0, 0, 3, {}, "ParaView2.mpi3.vtk"},
      {1, 0, 0, 0, {"pav2_00000.vtk"}, "pav2_00001.vtk"},
      {0, 0, 1, 2, {}, "pav2.mpi2.00000.vtk"},
      {1, 2, 0, 0, {}, "ParaView2_n2.vtk"},
      {0, 2, 0, 5, {}, "ParaView2_n2.mpi5.vtk"},
      {0, 1, 1, 0, {"pav2_n1_00000.vtk"}, "pav2_n1_00001.vtk"},
  };
  test::makePlanGrid();
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    for (const auto& e : std::filesystem::directory_iterator("."))
      std::filesystem::remove_all(e.path());
    PrintRes = k.printRes;
    FlagMPI = k.mpi;
    for (const std::string& f : k.present) write(f, "kept");
    print_paraview2d(k.numbered, k.block);
    EXPECT_EQ(read(k.name).rfind("# vtk DataFile Version 2.0\n", 0), 0u);
    for (const std::string& f : k.present) EXPECT_EQ(read(f), "kept");
  }
}

TEST_F(VtkPlanTest, FileThatCannotBeCreatedEndsTheRunWithStatusMinus3) {
  test::makePlanGrid();
  std::filesystem::create_directory("ParaView2.vtk");
  EXPECT_EQ(test::endStatus([] { print_paraview2d(0, 0); }), -3);
  EXPECT_EQ(mc_message, "cannot open file 'ParaView2.vtk' ");
}

}  // namespace
}  // namespace qorva
