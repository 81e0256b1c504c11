// The 3-D VTK result on a hand-made grid of three hexahedra: the file layout line by line,
// the averaging of cell values to the points, the value and name of every variable letter,
// the grid-point letters, wedge cells, block joints, file names and the failure to open.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "grid/grid.h"
#include "output/output.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/nests.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva {
namespace {

constexpr int kPoints = 17, kCells = 3;

// Block 1 with the columns (2, 2) and (3, 2) on the grid lines i = 1..3, j = 1..2, one metre
// apart. Column (2, 2) holds the cells 1 (z 0..1) and 2 (z 1..2), column (3, 2) the cell 3
// (z 0..1); bed cells 1 and 2. Points, bottom up:
//   z = 0: p1 (0,0) p2 (1,0) p3 (1,1) p4 (0,1) p5 (2,0) p6 (2,1)
//   z = 1: p7 (0,0) p8 (1,0) p9 (1,1) p10 (0,1) p11 (2,0) p12 (2,1)
//   z = 2: p13 (0,0) p14 (1,0) p15 (1,1) p16 (0,1)
// and p17 at (5, 5, 5), which no cell uses. So p1 takes the value of cell 1 alone, p13 that
// of cell 2 and p5 that of cell 3. Options that decide which arrays exist are set before.
void makeGrid(int levels = 4) {
  xnumber = 4;
  ynumber = 3;
  znumber = levels;
  lnumber = 2;
  MaxCeller = 12;
  MaxFlater = 12;
  MaxPunkter = 24;
  MaxConnFlate = 4;
  if (MaxNester > 4) MaxNester = 4;
  ASSERT_EQ(sialloc(), 0);
  ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
  std::remove("boogie");

  const double xyz[kPoints + 1][3] = {
      {0, 0, 0}, {0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 0, 0}, {2, 1, 0},
      {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}, {2, 0, 1}, {2, 1, 1},
      {0, 0, 2}, {1, 0, 2}, {1, 1, 2}, {0, 1, 2}, {5, 5, 5}};
  for (int p = 1; p <= kPoints; ++p) {
    Px[p] = xyz[p][0];
    Py[p] = xyz[p][1];
    Pz[p] = xyz[p][2];
  }
  NoPoints = kPoints;
  const int corners[kCells + 1][8] = {{0, 0, 0, 0, 0, 0, 0, 0},
                                      {1, 2, 3, 4, 7, 8, 9, 10},
                                      {7, 8, 9, 10, 13, 14, 15, 16},
                                      {2, 5, 6, 3, 8, 11, 12, 9}};
  Table1<int>* C[8] = {&Cpoint1, &Cpoint2, &Cpoint3, &Cpoint4,
                       &Cpoint5, &Cpoint6, &Cpoint7, &Cpoint8};
  for (int c = 1; c <= kCells; ++c)
    for (int m = 0; m < 8; ++m) (*C[m])[c] = corners[c][m];
  NoCells = kCells;
  Ccellt[1] = 2;
  Ccellb[2] = 1;
  Ccelle[1] = 3;
  Ccellw[3] = 1;
  for (int c = 1; c <= kCells; ++c) Ckdist[c] = 0.5;

  NoBlocks = 1;
  block[1].i1 = 2;
  block[1].i2 = 3;
  block[1].j1 = 2;
  block[1].j2 = 2;
  block[1].cellstart = 1;
  block[1].cellend = kCells;
  block[1].pointstart = 1;
  block[1].pointend = kPoints;
  zval[2][2][0] = 1;
  zval[3][2][0] = 3;

  NoBCells = 2;
  Bcellt[1] = 1;
  Bcellt[2] = 3;
  Bkooi[1] = 2;
  Bkooj[1] = 2;
  Bkooi[2] = 3;
  Bkooj[2] = 2;
  Cbed[1] = Cbed[2] = 1;
  Cbed[3] = 2;
}

void setTitle(const char* t) {
  Title = {};
  for (int k = 0; t[k] && k + 1 < static_cast<int>(Title.size()); ++k) Title[k + 1] = t[k];
}

void addRecord(char letter, int level = 0, int size = 0, int code = 0) {
  TecStruc[TecStrucNo++] = OutputVariable{level, size, code, letter};
}

// The point arrays of a file: name and value texts, in file order.
struct PointArray {
  std::string name;
  std::vector<std::string> values;
};

std::vector<PointArray> pointArrays(const std::string& text) {
  std::vector<PointArray> out;
  const std::string head = "\nSCALARS ";
  for (std::size_t at = text.find(head); at != std::string::npos; at = text.find(head, at + 1)) {
    const std::size_t nameStart = at + head.size();
    const std::size_t nameEnd = text.find(" float\nLOOKUP_TABLE default\n", nameStart);
    if (nameEnd == std::string::npos) break;
    PointArray a;
    a.name = text.substr(nameStart, nameEnd - nameStart);
    std::istringstream in(text.substr(text.find('\n', text.find('\n', nameEnd + 1) + 1) + 1));
    std::string v;
    for (int p = 0; p < kPoints && in >> v; ++p) a.values.push_back(v);
    out.push_back(a);
  }
  return out;
}

double num(const std::string& s) { return std::strtod(s.c_str(), nullptr); }

// Printed with six significant digits.
void expectValue(const std::string& printed, double expected) {
  EXPECT_NEAR(num(printed), expected, 1e-5 * std::fabs(expected) + 1e-12) << printed;
}

class Vtk3dTest : public test::Scratch {
 protected:
  static std::string written() { return read("ParaView3U.vtk"); }
};

TEST_F(Vtk3dTest, WritesGridAndVelocityOfBlockOneLineByLine) {
  makeGrid();
  setTitle("Flume run");
  stimet = 12.5;
  const double u[kCells + 1] = {0, 1, 3, 5};
  for (int c = 1; c <= kCells; ++c) {
    Cxvel[c] = u[c];
    Cyvel[c] = -1;
  }
  print_paraview3d();
  // Velocity x at a point: the mean of the cells around it (p2: cells 1 and 3; p7: cells 1
  // and 2; p8: cells 1, 2, 3); the unused p17 gets 0 0 0.
  const std::string expected =
      "# vtk DataFile Version 2.0\n"
      "Qorva 2 Flume run 12.500000 seconds\n"
      "ASCII\n"
      "DATASET UNSTRUCTURED_GRID\n"
      "POINTS 17 float\n"
      "0.000000 0.000000 0.000000\n"
      "1.000000 0.000000 0.000000\n"
      "1.000000 1.000000 0.000000\n"
      "0.000000 1.000000 0.000000\n"
      "2.000000 0.000000 0.000000\n"
      "2.000000 1.000000 0.000000\n"
      "0.000000 0.000000 1.000000\n"
      "1.000000 0.000000 1.000000\n"
      "1.000000 1.000000 1.000000\n"
      "0.000000 1.000000 1.000000\n"
      "2.000000 0.000000 1.000000\n"
      "2.000000 1.000000 1.000000\n"
      "0.000000 0.000000 2.000000\n"
      "1.000000 0.000000 2.000000\n"
      "1.000000 1.000000 2.000000\n"
      "0.000000 1.000000 2.000000\n"
      "5.000000 5.000000 5.000000\n"
      "\n"
      "CELLS 3 27\n"
      "8 0 1 2 3 6 7 8 9\n"
      "8 6 7 8 9 12 13 14 15\n"
      "8 1 4 5 2 7 10 11 8\n"
      "CELL_TYPES 3\n"
      "12\n"
      "12\n"
      "12\n"
      "POINT_DATA 17\n"
      "VECTORS Velocity float\n"
      "1.000000 -1.000000 0.000000\n"   // p1
      "3.000000 -1.000000 0.000000\n"   // p2
      "3.000000 -1.000000 0.000000\n"   // p3
      "1.000000 -1.000000 0.000000\n"   // p4
      "5.000000 -1.000000 0.000000\n"   // p5
      "5.000000 -1.000000 0.000000\n"   // p6
      "2.000000 -1.000000 0.000000\n"   // p7
      "3.000000 -1.000000 0.000000\n"   // p8
      "3.000000 -1.000000 0.000000\n"   // p9
      "2.000000 -1.000000 0.000000\n"   // p10
      "5.000000 -1.000000 0.000000\n"   // p11
      "5.000000 -1.000000 0.000000\n"   // p12
      "3.000000 -1.000000 0.000000\n"   // p13
      "3.000000 -1.000000 0.000000\n"   // p14
      "3.000000 -1.000000 0.000000\n"   // p15
      "3.000000 -1.000000 0.000000\n"   // p16
      "0.000000 0.000000 0.000000\n";   // p17
  EXPECT_EQ(written(), expected);
  // Structured indices of the points, from the column corners.
  const int pi[kPoints + 1] = {0, 1, 2, 2, 1, 3, 3, 1, 2, 2, 1, 3, 3, 1, 2, 2, 1, 0};
  const int pj[kPoints + 1] = {0, 1, 1, 2, 2, 1, 2, 1, 1, 2, 2, 1, 2, 1, 1, 2, 2, 0};
  for (int p = 1; p <= kPoints; ++p) {
    EXPECT_EQ(Pi[p], pi[p]) << p;
    EXPECT_EQ(Pj[p], pj[p]) << p;
    EXPECT_EQ(Pc[p], p) << p;
  }
}

TEST_F(Vtk3dTest, WritesOnlyTheCellsAndPointsOfBlockOne) {
  makeGrid();
  // A second block with one cell (4) on points 18..21 beyond those of block 1.
  NoBlocks = 2;
  block[2] = block[1];
  block[2].cellstart = block[2].cellend = 4;
  block[2].pointstart = 18;
  block[2].pointend = 21;
  NoCells = 4;
  NoPoints = 21;
  const int corners[8] = {18, 19, 20, 21, 18, 19, 20, 21};
  Table1<int>* C[8] = {&Cpoint1, &Cpoint2, &Cpoint3, &Cpoint4,
                       &Cpoint5, &Cpoint6, &Cpoint7, &Cpoint8};
  for (int m = 0; m < 8; ++m) (*C[m])[4] = corners[m];
  print_paraview3d();
  const std::string text = written();
  EXPECT_NE(text.find("POINTS 17 float\n"), std::string::npos);
  EXPECT_NE(text.find("CELLS 3 27\n"), std::string::npos);
  EXPECT_NE(text.find("CELL_TYPES 3\n"), std::string::npos);
  EXPECT_NE(text.find("POINT_DATA 17\n"), std::string::npos);
  EXPECT_EQ(text.find("8 17 18 19 20"), std::string::npos);
}

TEST_F(Vtk3dTest, EndsAfterTheVelocityWithoutVariablesAndTotalsTheConcentration) {
  makeGrid();
  const double c1[kCells + 1] = {0, 0.4, 0.1, 2.0}, c2[kCells + 1] = {0, 0.6, 0.3, 0.0};
  for (int c = 1; c <= kCells; ++c) {
    Cconc[1][c] = c1[c];
    Cconc[2][c] = c2[c];
  }
  print_paraview3d();
  const std::string text = written();
  EXPECT_EQ(text.find("SCALARS"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 27), "0.000000 0.000000 0.000000\n");
  EXPECT_DOUBLE_EQ(Cconc[0][1], 1.0);
  EXPECT_DOUBLE_EQ(Cconc[0][2], 0.4);
  EXPECT_DOUBLE_EQ(Cconc[0][3], 2.0);
}

// A cell value state whose column sums and percentiles are worked out by hand below.
void fillCellState() {
  const double u[] = {0, 3, 8, 0}, v[] = {0, 4, -6, 2}, w[] = {0, 0.1, 0.2, 0.3};
  const double k[] = {0, 0.02, 0.04, 0.01}, eps[] = {0, 0.001, 0.002, 0.003};
  const double gamma[] = {0, 0.11, 0.12, 0.13}, gammaV[] = {0, 0.21, 0.22, 0.23};
  const double pres[] = {0, 100, 200, 300};
  const double ures[] = {0, 0.3, 0, 0.6}, vres[] = {0, 0.4, 1, 0.8};
  const double epsres[] = {0, 7, 8, 9}, kres[] = {0, 4, 5, 6}, pres_res[] = {0, 1, 2, 3},
               wres[] = {0, -1, -2, -3};
  const double conc1[] = {0, 0.4, 0.1, 2.0}, conc2[] = {0, 0.6, 0.3, 0.0};
  for (int c = 1; c <= kCells; ++c) {
    Cxvel[c] = u[c];
    Cyvel[c] = v[c];
    Czvel[c] = w[c];
    Ckinen[c] = k[c];
    Cepsilon[c] = eps[c];
    Cgamma[c] = gamma[c];
    CgammaV[c] = gammaV[c];
    Cpres[c] = pres[c];
    Cxvel_res[c] = ures[c];
    Cyvel_res[c] = vres[c];
    Cepsilon_res[c] = epsres[c];
    Ckinen_res[c] = kres[c];
    Cpres_res[c] = pres_res[c];
    Czvel_res[c] = wres[c];
    Cconc[1][c] = conc1[c];
    Cconc[2][c] = conc2[c];
    Croughness[c] = c == 3 ? 0.07 : 0.05;
  }
  Cflateb[1] = 1;
  Fvz[1] = 0.5;  // bed of column (2, 2) tilted 60 degrees
  Cflateb[3] = 2;
  Fvz[2] = 1.0;
  Broughness[1] = 0.1;
  Broughness[2] = 0.0;
  Bedmove[1] = 0.01;
  Bedmove[2] = -0.02;
  Bfly[1] = -0.3;
  Bfly[2] = 0.2;
  Bedformheight[1] = 0.15;
  Bedformheight[2] = 0.25;
  Bconc[2][1] = 0.6;
  Bconc[2][2] = 0.7;
  // Layer 0: thickness and fractions of sizes 1, 2; layer 1 likewise.
  BSedDistrib[0][0][1] = 0.2;
  BSedDistrib[0][1][1] = 0.4;
  BSedDistrib[0][2][1] = 0.6;
  BSedDistrib[0][0][2] = 0.3;
  BSedDistrib[0][1][2] = 0.0;
  BSedDistrib[0][2][2] = 1.0;
  BSedDistrib[1][0][1] = 0.5;
  BSedDistrib[1][1][1] = 0.3;
  BSedDistrib[1][2][1] = 0.3;
  BSedDistrib[1][0][2] = 0.7;
  BSedDistrib[1][1][2] = 0.0;  // the allocation starts layers 0 and 1 all of size 1
  BSedDistrib[1][2][2] = 0.0;
  gsize[1] = 0.001;
  gsize[2] = 0.003;
}

struct LetterCase {
  char letter;
  int level, size, code;
  const char* name;
  double p1, p13, p5;  // cell 1, cell 2, cell 3
};

TEST_F(Vtk3dTest, ShowsEachVariableLetterUnderItsName) {
  const double deg = M_PI / 3.1415;  // degrees per 180/pi of a true degree
  const LetterCase cases[] = {
      // Column (2, 2): depth 2, speeds 5 and 10; column (3, 2): depth 1, speed 2.
      {'A', 0, 0, 0, "Reynolds_number", 1.5e7, 1.5e7, 2e6},
      {'B', 0, 0, 0, "Bed_slope", 60 * deg, 60 * deg, 0},
      // Bottom (3, 4) and top (8, -6) at right angles, clockwise upward.
      {'C', 0, 0, 0, "Secondary_current_angle", -90 * deg, -90 * deg, 0},
      {'D', 0, 0, 0, "Depth-averaged_velocity", 7.5, 7.5, 2},
      {'E', 0, 0, 0, "Residual_epsilon", 7, 8, 9},
      // 15 / (2 sqrt(9.81 x 2)) and 2 / sqrt(9.81).
      {'F', 0, 0, 0, "Froude_number", 1.6932136536964908, 1.6932136536964908,
       0.638550856814101},
      {'H', 0, 0, 0, "Residual_horizontal_velocity", 0.5, 1, 1},
      {'I', 0, 0, 0, "Error", 0.21, 0.22, 0.23},
      {'J', 0, 0, 0, "Error", 0.04, 0.04, 0.01},
      {'K', 0, 0, 0, "Residual_k", 4, 5, 6},
      {'L', 1, 0, 0, "Top_sediment_layer_thickness", 0.2, 0.2, 0.3},
      {'L', 2, 0, 0, "Top_sediment_layer_thickness", 0.5, 0.5, 0.7},
      {'O', 0, 2, 0, "Potential_bed_concentration", 0.6, 0.6, 0.7},
      {'R', 0, 0, 0, "Residual_pressure", 1, 2, 3},
      {'U', 0, 0, 0, "Bed_movement_in_time_step_[m]", 0.01, 0.01, -0.02},
      {'V', 0, 0, 0, "Horiz_velocity", 5, 10, 2},
      {'u', 0, 0, 0, "Horiz_velocity", 5, 10, 2},
      {'W', 0, 0, 0, "Residual_vertical_velocity", -1, -2, -3},
      {'Y', 0, 0, 0, "Error", 0.3, 0.3, 0.2},
      {'Z', 0, 2, 102, "Fraction_size_2_[]", 0.6, 0.75, 0},
      // Suspended fractions (0.4, 0.6), (0.25, 0.75), (1, 0) of the sizes 1 and 3 mm.
      {'Z', 0, 0, 103, "D50_of_concentration", 0.0022, 0.0025, 0.001},
      {'Z', 0, 0, 105, "Bed_concentration", 1.0, 1.0, 2.0},
      {'Z', 0, 0, 999, "Error", 0, 0, 0},
      // Bed fractions of layer 0: (0.4, 0.6) and (0, 1); of layer 1: (0.3, 0.3) and none.
      {'a', 1, 0, 0, "D50_level1", 0.0022, 0.0022, 0.003},
      {'a', 2, 0, 0, "D50_level2", 0.001, 0.001, 0.001},
      {'b', 0, 0, 0, "Bed_form_height", 0.15, 0.15, 0.25},
      {'c', 0, 1, 0, "Sediment_conc_size_1", 0.4, 0.1, 2.0},
      {'d', 0, 0, 0, "Eddy-viscosity", 0.11, 0.12, 0.13},
      {'e', 0, 0, 0, "Epsilon", 0.001, 0.002, 0.003},
      {'f', 1, 2, 0, "Bed_sediment_fraction_layer_0_size_2", 0.6, 0.6, 1.0},
      {'h', 0, 0, 0, "Roughness/Depth", 0.05, 0.1, 0},
      {'i', 0, 0, 0, "No_cells_vertical_direction", 2, 1, 1},
      {'k', 0, 0, 0, "Turbulent_k", 0.02, 0.04, 0.01},
      {'l', 0, 0, 0, "Bed_sediment_thickness", 0.7, 0.7, 1.0},
      {'m', 0, 0, 0, "Bed_shear", 6, 6, 3},
      {'o', 0, 0, 0, "Error", 1, 1, 0},
      {'p', 0, 0, 0, "Pressure", 100, 200, 300},
      {'r', 0, 0, 0, "Roughness", 0.1, 0.1, 0.07},
      {'w', 0, 0, 0, "Uz", 0.1, 0.2, 0.3},
      {'x', 0, 0, 0, "Temperature_gradient", 0, 0, 0},  // no stencil for 4 levels
      {'S', 0, 0, 0, "Error", 0, 0, 0},
  };
  for (const LetterCase& row : cases) {
    SCOPED_TRACE(std::string(1, row.letter) + " " + row.name);
    SetArraysZero();
    setDefaults();
    makeGrid();
    fillCellState();
    addRecord(row.letter, row.level, row.size, row.code);
    print_paraview3d();
    const auto arrays = pointArrays(written());
    ASSERT_EQ(arrays.size(), 1u);
    EXPECT_EQ(arrays[0].name, row.name);
    ASSERT_EQ(arrays[0].values.size(), static_cast<std::size_t>(kPoints));
    expectValue(arrays[0].values[0], row.p1);
    expectValue(arrays[0].values[12], row.p13);
    expectValue(arrays[0].values[4], row.p5);
    EXPECT_EQ(arrays[0].values[16], "0");  // p17: no cell
  }
}

// Letters whose array the run's options did not create, or a layer beyond the bed's layers:
// the file shows 0 instead of reading outside a table.
TEST_F(Vtk3dTest, ShowsZeroForArraysTheOptionsDidNotCreate) {
  const LetterCase cases[] = {
      {'G', 0, 0, 0, "Groundwater_level_[m]", 0, 0, 0},
      {'M', 0, 0, 0, "Sediment_slide_elevation_changes_[m]", 0, 0, 0},
      {'N', 1, 0, 0, "Error", 0, 0, 0},
      {'P', 0, 0, 0, "Porosity", 0, 0, 0},
      {'Q', 0, 0, 0, "Error", 0, 0, 0},
      {'T', 0, 0, 0, "Error", 0, 0, 0},
      {'Z', 0, 0, 100, "Averaged_secondary_current[]", 0, 0, 0},
      {'Z', 0, 0, 104, "Tracer_fraction", 0, 0, 0},
      {'Z', 0, 0, 107, "Bminwaterlevel", 0, 0, 0},
      {'f', 9, 1, 0, "Bed_sediment_fraction_layer_8_size_1", 0, 0, 0},
      {'j', 1, 0, 0, "Bed_cohesion_1", 0, 0, 0},
      {'q', 0, 1, 0, "Water_Quality_1", 0, 0, 0},
  };
  for (const LetterCase& row : cases) {
    SCOPED_TRACE(std::string(1, row.letter) + " " + row.name);
    SetArraysZero();
    setDefaults();
    makeGrid();
    fillCellState();
    addRecord(row.letter, row.level, row.size, row.code);
    print_paraview3d();
    const auto arrays = pointArrays(written());
    ASSERT_EQ(arrays.size(), 1u);
    EXPECT_EQ(arrays[0].name, row.name);
    for (const std::string& v : arrays[0].values) EXPECT_EQ(v, "0");
  }
}

TEST_F(Vtk3dTest, ReadsTheColumnPlanesWhenTheyExist) {
  FlagMorphStatistics = 1;  // planes 5..7 of Surfaces
  makeGrid();
  Surfaces[5][1][1] = 0.125;
  Surfaces[6][2][2] = 0.5;  // column (2, 2)
  Surfaces[6][3][2] = -0.25;
  Surfaces[7][2][2] = 3.0;
  Surfaces[7][3][2] = 4.0;
  addRecord('M');
  addRecord('Z', 0, 0, 100);
  addRecord('Z', 0, 0, 101);
  addRecord('X');
  print_paraview3d();
  const auto arrays = pointArrays(written());
  ASSERT_EQ(arrays.size(), 4u);
  EXPECT_EQ(arrays[0].name, "Sediment_slide_elevation_changes_[m]");
  EXPECT_EQ(arrays[0].values[0], "0.5");
  EXPECT_EQ(arrays[0].values[4], "-0.25");
  // p2 averages a cell of each column.
  EXPECT_EQ(arrays[0].values[1], "0.125");
  EXPECT_EQ(arrays[1].name, "Averaged_secondary_current[]");
  EXPECT_EQ(arrays[1].values[0], "0.5");
  EXPECT_EQ(arrays[2].name, "Error");
  EXPECT_EQ(arrays[2].values[0], "3");
  EXPECT_EQ(arrays[2].values[4], "4");
  EXPECT_EQ(arrays[3].name, "Averaged_bed_movements_[m]");
  EXPECT_EQ(arrays[3].values[0], "0.125000");  // p1 on grid line (1, 1)
  EXPECT_EQ(arrays[3].values[4], "0.000000");
}

TEST_F(Vtk3dTest, GridPointLettersReadTheGridLineOfThePoint) {
  makeGrid();
  for (int i = 0; i <= 5; ++i)
    for (int j = 0; j <= 4; ++j)
      if (i > 0 || j > 0) {
        zval[i][j][1] = 0.1 * i + 0.01 * j;
        zval[i][j][znumber] = 2 + 0.1 * i;
        Surfaces[1][i][j] = 0.5 * i;
        Surfaces[3][i][j] = -1;
      }
  for (char letter : {'z', 'y', 'v', 's', 't', 'X'}) addRecord(letter);
  print_paraview3d();
  const auto arrays = pointArrays(written());
  ASSERT_EQ(arrays.size(), 6u);
  struct Expect {
    const char* name;
    const char *p1, *p13, *p5, *p17;  // lines (1, 1), (1, 1), (3, 1), (0, 0)
  };
  const Expect expect[] = {
      {"Bed_level", "0.110000", "0.110000", "0.310000", "0.000000"},
      {"Depth", "1.990000", "1.990000", "1.990000", "0.000000"},
      {"Water_level", "2.100000", "2.100000", "2.300000", "0.000000"},
      {"Bed_movement", "0.500000", "0.500000", "1.500000", "0.000000"},
      {"Sediment_thickness", "1.110000", "1.110000", "1.310000", "0.000000"},
      {"Averaged_bed_movements_[m]", "0.000000", "0.000000", "0.000000", "0.000000"},
  };
  for (int k = 0; k < 6; ++k) {
    SCOPED_TRACE(expect[k].name);
    EXPECT_EQ(arrays[k].name, expect[k].name);
    EXPECT_EQ(arrays[k].values[0], expect[k].p1);
    EXPECT_EQ(arrays[k].values[12], expect[k].p13);
    EXPECT_EQ(arrays[k].values[4], expect[k].p5);
    EXPECT_EQ(arrays[k].values[16], expect[k].p17);
  }
}

TEST_F(Vtk3dTest, TemperatureStencilByLevelCount) {
  struct Case {
    int levels;
    double columnA, columnB;
  };
  // Component 0 is 10, 20, 30 in cells 1, 2, 3; below the bottom the stencil reads cell 0.
  const Case cases[] = {
      {12, -0.222 * 20 - 0.639 * 10, -0.222 * 30},
      {20, -0.1667 * 10, 0},
      {8, 0, 0},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.levels);
    SetArraysZero();
    setDefaults();
    NoComponents = 1;
    makeGrid(row.levels);
    Ccomp[0][1] = 10;
    Ccomp[0][2] = 20;
    Ccomp[0][3] = 30;
    addRecord('x');
    addRecord('q', 0, 0);
    print_paraview3d();
    const auto arrays = pointArrays(written());
    ASSERT_EQ(arrays.size(), 2u);
    expectValue(arrays[0].values[0], row.columnA);
    expectValue(arrays[0].values[12], row.columnA);
    expectValue(arrays[0].values[4], row.columnB);
    EXPECT_EQ(arrays[1].name, "Water_Quality_0");
    EXPECT_EQ(arrays[1].values[0], "10");
    EXPECT_EQ(arrays[1].values[12], "20");
    EXPECT_EQ(arrays[1].values[4], "30");
  }
}

TEST_F(Vtk3dTest, NamesCarryTheLayerAndSizeOfTheirRecord) {
  struct Case {
    char letter;
    int level, size, code;
    double diGraph;
    const char* name;
  };
  const Case cases[] = {
      {'a', 2, 0, 0, 0.5, "D50_level2"},
      {'a', 0, 0, 0, 0.9, "D90_level1"},
      // A fraction below 0.1 keeps the name one word.
      {'a', 1, 0, 0, 0.05, "D05_level1"},
      {'c', 0, 2, 0, 0.5, "Sediment_conc_size_2"},
      {'f', 3, 1, 0, 0.5, "Bed_sediment_fraction_layer_2_size_1"},
      {'f', 0, 1, 0, 0.5, "Bed_sediment_fraction_layer_0_size_1"},
      {'j', 2, 0, 0, 0.5, "Bed_cohesion_2"},
      {'j', 0, 0, 0, 0.5, "Bed_cohesion_1"},
      {'q', 0, 1, 0, 0.5, "Water_Quality_1"},
      {'Z', 0, 1, 102, 0.5, "Fraction_size_1_[]"},
      {'Z', 0, 0, 106, 0.5, "Error"},
      {'g', 0, 0, 0, 0.5, "Error"},
  };
  makeGrid();
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    TecStrucNo = 0;
    di_graph = row.diGraph;
    addRecord(row.letter, row.level, row.size, row.code);
    print_paraview3d();
    const auto arrays = pointArrays(written());
    ASSERT_EQ(arrays.size(), 1u);
    EXPECT_EQ(arrays[0].name, row.name);
    EXPECT_EQ(lnodem, row.size);
    EXPECT_EQ(bnodem, row.level >= 1 ? row.level - 1 : 0);
  }
}

TEST_F(Vtk3dTest, RepeatedLettersWriteRepeatedArrays) {
  makeGrid();
  for (int c = 1; c <= kCells; ++c) Ckinen[c] = 0.01 * c;
  addRecord('k');
  addRecord('I');
  addRecord('k');
  addRecord('J');
  print_paraview3d();
  const auto arrays = pointArrays(written());
  ASSERT_EQ(arrays.size(), 4u);
  EXPECT_EQ(arrays[0].name, "Turbulent_k");
  EXPECT_EQ(arrays[1].name, "Error");
  EXPECT_EQ(arrays[2].name, "Turbulent_k");
  EXPECT_EQ(arrays[3].name, "Error");
  EXPECT_EQ(arrays[0].values, arrays[2].values);
  // p8 averages the three cells.
  EXPECT_EQ(arrays[0].values[7], "0.02");
}

// A cell whose vertical edge at corner 1 collapsed (corner 5 = corner 1, as the wedge option
// of the cell makers leaves it) stays a hexahedron with the point repeated, and counts once
// at that point.
TEST_F(Vtk3dTest, WedgeCellRepeatsItsCollapsedCornerAndCountsOnce) {
  makeGrid();
  Cpoint5[3] = Cpoint1[3];  // p2 instead of p8
  const double u[kCells + 1] = {0, 1, 3, 5};
  for (int c = 1; c <= kCells; ++c) Cxvel[c] = u[c];
  print_paraview3d();
  const std::string text = written();
  EXPECT_NE(text.find("CELLS 3 27\n8 0 1 2 3 6 7 8 9\n8 6 7 8 9 12 13 14 15\n8 1 4 5 2 1 10 11 8\n"
                      "CELL_TYPES 3\n12\n12\n12\n"),
            std::string::npos);
  const std::size_t vectors = text.find("VECTORS Velocity float\n");
  ASSERT_NE(vectors, std::string::npos);
  std::istringstream in(text.substr(vectors + 23));
  std::vector<double> ux;
  double x, y, z;
  while (in >> x >> y >> z) ux.push_back(x);
  ASSERT_EQ(ux.size(), static_cast<std::size_t>(kPoints));
  EXPECT_DOUBLE_EQ(ux[1], 3.0);  // p2: cells 1 and 3, once each
  EXPECT_DOUBLE_EQ(ux[7], 2.0);  // p8: cells 1 and 2; the wedge no longer uses it
}

// A point on a block joint takes the cells that use its partner point.
TEST_F(Vtk3dTest, JointPointIsMatchedAgainstItsPartner) {
  makeGrid();
  const double k[kCells + 1] = {0, 2, 10, 4};
  for (int c = 1; c <= kCells; ++c) Ckinen[c] = k[c];
  // Surface 5 (corners p3) joined to surface 6 (corners p9).
  NoConnFlate = 1;
  connFlate[1][0] = 5;
  connFlate[1][1] = 6;
  Fpoint1[5] = Fpoint2[5] = Fpoint3[5] = Fpoint4[5] = 3;
  Fpoint1[6] = Fpoint2[6] = Fpoint3[6] = Fpoint4[6] = 9;
  addRecord('k');
  print_paraview3d();
  EXPECT_EQ(Pc[3], 9);
  const auto arrays = pointArrays(written());
  ASSERT_EQ(arrays.size(), 1u);
  // p3 alone would average cells 1 and 3 (3); matched against p9 it averages cells 1, 2, 3.
  expectValue(arrays[0].values[2], 16.0 / 3);
  expectValue(arrays[0].values[8], 16.0 / 3);
  expectValue(arrays[0].values[1], 3);  // p2 unchanged
}

TEST_F(Vtk3dTest, ChoosesTheNameByNumberingAndBlockDivision) {
  struct Case {
    int printRes, printResAlways, alldata, mpi;
    std::vector<std::string> present;
    const char* name;
  };
  const Case cases[] = {
      {0, 0, 0, 0, {}, "ParaView3U.vtk"},
      {0, 0, 0, 3, {}, "ParaView3U.mpi3.dat"},
      {1, 0, 0, 0, {}, "paru3_00000.vtk"},
      {0, 1, 0, 0, {"paru3_00000.vtk", "paru3_00001.vtk"}, "paru3_00002.vtk"},
      {0, 0, 2, 0, {"paru3_00000.vtk", "paru3_00002.vtk"}, "paru3_00001.vtk"},
      {1, 0, 0, 2, {"paru.mpi2.00000.vtk"}, "paru.mpi2.00001.vtk"},
      {1, 0, 0, 0, {"ParaView3U.vtk"}, "paru3_00000.vtk"},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    for (const auto& e : std::filesystem::directory_iterator("."))
      std::filesystem::remove_all(e.path());
    SetArraysZero();
    setDefaults();
    makeGrid();
    PrintRes = row.printRes;
    PrintResAlways = row.printResAlways;
    NoAlldataPrintout = row.alldata;
    FlagMPI = row.mpi;
    for (const std::string& f : row.present) write(f, "kept");
    print_paraview3d();
    ASSERT_TRUE(std::filesystem::exists(row.name));
    EXPECT_EQ(read(row.name).rfind("# vtk DataFile Version 2.0\n", 0), 0u);
    for (const std::string& f : row.present) EXPECT_EQ(read(f), "kept") << f;
  }
}

TEST_F(Vtk3dTest, RepeatedCallsWriteTheNextNumbers) {
  makeGrid();
  NoAlldataPrintout = 1;
  for (int n = 0; n < 3; ++n) print_paraview3d();
  EXPECT_TRUE(std::filesystem::exists("paru3_00000.vtk"));
  EXPECT_TRUE(std::filesystem::exists("paru3_00001.vtk"));
  EXPECT_TRUE(std::filesystem::exists("paru3_00002.vtk"));
  EXPECT_FALSE(std::filesystem::exists("ParaView3U.vtk"));
}

TEST_F(Vtk3dTest, FileThatCannotBeCreatedEndsTheRunWithStatusMinus3) {
  makeGrid();
  std::filesystem::create_directory("ParaView3U.vtk");
  try {
    print_paraview3d();
    FAIL() << "the run went on";
  } catch (const RunEnd& e) {
    EXPECT_EQ(e.status, -3);
  }
  EXPECT_EQ(mc_message, "cannot open file 'ParaView3U.vtk' ");
  // The text that only the status buffer held goes to the log as well.
  EXPECT_EQ(read("boogie"),
            "Error: could not write file 'ParaView3U.vtk' (Is a directory); the previous copy is kept.\n");
}

// Writes a file with several kinds of arrays for the check that opens it with a VTK reader;
// the path comes from QORVA_VTK_SAMPLE (set by the CTest entry that runs the reader).
TEST_F(Vtk3dTest, SampleFileForTheReader) {
  NoComponents = 1;
  makeGrid();
  setTitle("sample");
  fillCellState();
  for (char letter : {'z', 'k', 'h', 'V'}) addRecord(letter);
  addRecord('c', 0, 1);
  addRecord('q', 0, 0);
  addRecord('Z', 0, 2, 102);
  addRecord('a', 1, 0);
  print_paraview3d();
  const auto arrays = pointArrays(written());
  EXPECT_EQ(arrays.size(), 8u);
  if (const char* target = std::getenv("QORVA_VTK_SAMPLE"))
    std::filesystem::copy_file("ParaView3U.vtk", target,
                               std::filesystem::copy_options::overwrite_existing);
}

// The same from a grid made by the grid generator: a block of 3 x 3 columns on the grid lines
// 1..4, one metre apart, water surface at 0, the bed 2 m deep on the lines i = 1, 2 and 0.5 m
// on i = 3, 4, with the depth scale held at 10 m: columns i = 2, 3 get 4 cells and i = 4 get 2
// (30 cells); water volume 3 x 2 + 3 x 1.25 + 3 x 0.5 = 11.25 m3. The reader checks that every
// generated hexahedron has its corners in its order. Path from QORVA_VTK_GENERATED.
TEST_F(Vtk3dTest, GeneratedGridFileForTheReader) {
  xnumber = ynumber = 6;
  znumber = 11;
  MaxCeller = 1000;
  MaxFlater = 2000;
  MaxPunkter = 2000;
  MaxDepth209 = 10;
  ASSERT_EQ(sialloc(), 0);
  NoBlocks = 1;
  block[1].i1 = 2;
  block[1].i2 = 4;
  block[1].j1 = 2;
  block[1].j2 = 4;
  block[1].bedfollow = 1;
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 4; ++j) {
      xval[i][j] = i - 1;
      yval[i][j] = j - 1;
      zval[i][j][1] = i <= 2 ? -2.0 : -0.5;
      zval[i][j][znumber] = 0;
    }
  ASSERT_EQ(Unstructure(), 1);
  ASSERT_EQ(NoCells, 30);
  for (int c = 1; c <= NoCells; ++c) Cxvel[c] = 1;
  addRecord('i');
  print_paraview3d();
  const std::string text = written();
  EXPECT_NE(text.find("CELLS 30 270\n"), std::string::npos);
  const auto arrays = pointArrays(text);
  ASSERT_EQ(arrays.size(), 1u);
  EXPECT_EQ(arrays[0].name, "No_cells_vertical_direction");
  if (const char* target = std::getenv("QORVA_VTK_GENERATED"))
    std::filesystem::copy_file("ParaView3U.vtk", target,
                               std::filesystem::copy_options::overwrite_existing);
}

}  // namespace
}  // namespace qorva
