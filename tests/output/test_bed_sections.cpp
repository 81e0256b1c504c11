// The bed-layer sections and slabs and the cross section on a generated grid: the polygons,
// slabs and arrays read back and compared with the layer stack and the grid worked out by
// hand; the rows and lines that give no file. Two tests also leave sample files for the VTK
// reader check (tests/output/read_vtk_cells.py).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "output/output.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/structured.h"
#include "support/koosurf_grid.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using test::endStatus;

// The lines after the line that starts with `head`, up to the next empty line.
std::vector<std::string> linesAfter(const std::string& text, const std::string& head) {
  std::vector<std::string> out;
  const std::size_t at = text.find(head);
  if (at == std::string::npos) return out;
  std::istringstream in(text.substr(text.find('\n', at) + 1));
  for (std::string line; std::getline(in, line) && !line.empty();) out.push_back(line);
  return out;
}
// The value lines of array `name`.
std::vector<std::string> arrayLines(const std::string& text, const std::string& name) {
  const std::size_t at = text.find("SCALARS " + name + " ");
  if (at == std::string::npos) return {};
  const std::size_t start = text.find("LOOKUP_TABLE default\n", at) + 21;
  std::size_t end = text.find("\nSCALARS", start);
  if (end == std::string::npos) end = text.size();
  std::vector<std::string> out;
  std::istringstream in(text.substr(start, end - start));
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}
std::vector<double> numbers(const std::string& line) {
  std::istringstream in(line);
  std::vector<double> v;
  for (double x; in >> x;) v.push_back(x);
  return v;
}

// Copies a written file to where the reader check finds it (when the test build asks).
void keepSample(const char* file, const char* variable) {
  if (const char* to = std::getenv(variable))
    std::filesystem::copy_file(file, to, std::filesystem::copy_options::overwrite_existing);
}

class BedSections : public test::Scratch {
 protected:
  // 3 x 2 columns of 1 m on a non-erodible level of -2 m; along row j = 2 the column i = 2
  // has three layers (pure size 1, half and half, pure size 2; 0.25, 0.5, 0.75 m thick),
  // i = 3 none and i = 4 one (pure size 2); the row j = 3 has two layers of pure size 1.
  static void layeredBed() {
    test::freshGridRun(6, 5, 4, [] {
      lnumber = 2;
      FlagTSC = 3;
      NoBedLayers = 3;
    });
    test::koosurfGrid(3, 2, {[](int, int) { return -1.0; }, [](int, int) { return 0.0; }});
    gsize[0] = 0.0;
    gsize[1] = 0.001;
    gsize[2] = 0.003;
    for (int i = 0; i <= xnumber; ++i)
      for (int j = 0; j <= ynumber; ++j) Surfaces[3][i][j] = -2.0;
    const double f1[3] = {1.0, 0.5, 0.0};
    for (int i = 2; i <= 4; ++i)
      for (int j = 2; j <= 3; ++j) {
        const int b = pointbed[i][j];
        BlayerTop[b] = j == 3 ? 1 : i == 2 ? 2 : i == 3 ? -1 : 0;
        for (int L = 0; L < 3; ++L) {
          BSedDistrib[L][0][b] = 0.25 * (L + 1);
          const double f = j == 3 ? 1.0 : i == 4 ? 0.0 : f1[L];
          BSedDistrib[L][1][b] = f;
          BSedDistrib[L][2][b] = 1 - f;
        }
      }
  }
};

TEST_F(BedSections, RowSection) {
  layeredBed();
  FlagBedFractionsPrint = 1;
  ASSERT_EQ(endStatus([] { writeParaBed3(1, 0); }), 1000) << log();
  EXPECT_EQ(mc_message, "have written ParaBed file  ");
  keepSample("ParaBed2D.vtk", "QORVA_PARABED_ROW");
  const std::string text = read("ParaBed2D.vtk");
  EXPECT_EQ(text.substr(0, text.find("POINTS")),
            "# vtk DataFile Version 2.0\nQorva 2 2D bed file  \nASCII\nDATASET POLYDATA\n");
  // Four layer polygons; the column without layers still takes its metre of the distance.
  EXPECT_NE(text.find("POINTS 16 float\n"), std::string::npos);
  const auto pts = linesAfter(text, "POINTS");
  ASSERT_EQ(pts.size(), 4u);
  const std::vector<std::vector<double>> expected = {
      {0, 0.5, -2, 1, 0.5, -2, 1, 0.5, -1.75, 0, 0.5, -1.75},
      {0, 0.5, -1.75, 1, 0.5, -1.75, 1, 0.5, -1.25, 0, 0.5, -1.25},
      {0, 0.5, -1.25, 1, 0.5, -1.25, 1, 0.5, -0.5, 0, 0.5, -0.5},
      {2, 0.5, -2, 3, 0.5, -2, 3, 0.5, -1.75, 2, 0.5, -1.75}};
  for (std::size_t n = 0; n < 4; ++n) {
    const auto v = numbers(pts[n]);
    ASSERT_EQ(v.size(), 12u);
    for (std::size_t m = 0; m < 12; ++m) EXPECT_NEAR(v[m], expected[n][m], 1e-9) << n << " " << m;
  }
  EXPECT_NE(text.find("\nPOLYGONS 4 20\n4 0 1 2 3\n4 4 5 6 7\n4 8 9 10 11\n4 12 13 14 15\n\nCELL_DATA 4\n"),
            std::string::npos);
  // D50: pure size 1 gives its size, half and half the middle of the two, pure size 2 its size.
  EXPECT_EQ(arrayLines(text, "D50"), (std::vector<std::string>{" 0.001 0.002 0.003", "", " 0.003"}));
  EXPECT_EQ(arrayLines(text, "Sediment_fraction_1"),
            (std::vector<std::string>{" 1 0.5 0.0", "", " 0.0"}));
  // The first of equal largest fractions wins.
  EXPECT_EQ(arrayLines(text, "Dominant_size"),
            (std::vector<std::string>{" 0.001000 0.001000 0.003000", "", " 0.003000"}));
  EXPECT_TRUE(arrayLines(text, "Tracer").empty());
}

TEST_F(BedSections, RowsAndLinesThatGiveNoFile) {
  layeredBed();
  // Row 1, a negative row and one past j2 = 3 give nothing; nor do lines 1, -1 and i2 + 1.
  ASSERT_EQ(endStatus([] {
              writeParaBed3(1, 1);
              writeParaBed3(1, -2);
              writeParaBed3(1, 4);
              writeParaBed5(1, 1);
              writeParaBed5(1, -1);
              writeParaBed5(1, 5);
            }),
            1000);
  EXPECT_FALSE(std::filesystem::exists("ParaBed2D.vtk"));
  EXPECT_FALSE(std::filesystem::exists("ParaBed2DC.vtk"));
}

TEST_F(BedSections, ColumnLineSectionAndNumberedNames) {
  layeredBed();
  PrintRes = 1;
  // Line i = 3: the column (3, 2) without layers and (3, 3) with two.
  ASSERT_EQ(endStatus([] {
              writeParaBed5(1, 3);
              writeParaBed5(1, 3);
              writeParaBed3(1, 3);
            }),
            1000)
      << log();
  EXPECT_TRUE(std::filesystem::exists("pabc2_3_00000.vtk"));
  EXPECT_TRUE(std::filesystem::exists("pab2_3_00000.vtk"));
  const std::string text = read("pabc2_3_00001.vtk");
  const auto pts = linesAfter(text, "POINTS");
  ASSERT_EQ(pts.size(), 2u);
  // West edge at the mean of x of lines 2 and 3 on j = 2 (x = 1.5), y of (3, 2); east edge
  // on j = 3.
  const auto v = numbers(pts[0]);
  const std::vector<double> first = {1.5, 1, -2, 1.5, 2, -2, 1.5, 2, -1.75, 1.5, 1, -1.75};
  ASSERT_EQ(v.size(), 12u);
  for (std::size_t m = 0; m < 12; ++m) EXPECT_NEAR(v[m], first[m], 1e-9) << m;
  EXPECT_EQ(arrayLines(text, "D50"), (std::vector<std::string>{"", " 0.001 0.001"}));
}

TEST_F(BedSections, LayerSlabs) {
  layeredBed();
  FlagFractionsPrint = 0;
  ASSERT_EQ(endStatus([] { writeParaBed4(1); }), 1000) << log();
  keepSample("ParaBed3D.vtk", "QORVA_PARABED_SLABS");
  const std::string text = read("ParaBed3D.vtk");
  // Row j = 2: 3 + 0 + 1 slabs; row j = 3: 2 + 2 + 2.
  EXPECT_NE(text.find("POINTS 80 float\n"), std::string::npos);
  EXPECT_NE(text.find("\nCELLS 10 90\n8 0 1 2 3 4 5 6 7\n"), std::string::npos);
  EXPECT_NE(text.find("\nCELL_TYPES 10\n12\n"), std::string::npos);
  const auto pts = linesAfter(text, "POINTS");
  ASSERT_EQ(pts.size(), 20u);
  // The first slab: column (2, 2) from -2 to -1.75 over its corners (1,1) (2,1) (2,2) (1,2).
  const std::vector<double> bottom = {0, 0, -2, 1, 0, -2, 1, 1, -2, 0, 1, -2};
  const auto v = numbers(pts[0]), w = numbers(pts[1]);
  ASSERT_EQ(v.size(), 12u);
  for (std::size_t m = 0; m < 12; ++m) {
    EXPECT_NEAR(v[m], bottom[m], 1e-9);
    EXPECT_NEAR(w[m], m % 3 == 2 ? -1.75 : bottom[m], 1e-9);
  }
  // No D50 or dominant size; the fractions of both sizes, one line per column.
  EXPECT_EQ(text.find("D50"), std::string::npos);
  EXPECT_EQ(arrayLines(text, "Sediment_fraction_2"),
            (std::vector<std::string>{"0.0 0.5 1 ", "", "1 ", "0.0 0.0 ", "0.0 0.0 ", "0.0 0.0 "}));
  // With F 433 the tracer instead (no tracer sizes for two sizes: 0).
  FlagFractionsPrint = 1;
  writeParaBed4(1);
  EXPECT_EQ(arrayLines(read("ParaBed3D.vtk"), "Tracer").size(), 6u);
  EXPECT_EQ(read("ParaBed3D.vtk").find("Sediment_fraction"), std::string::npos);
}

TEST_F(BedSections, ContinuityTestFile) {
  layeredBed();
  FlagMorphStatistics = 5;
  Iter = 7;
  ASSERT_EQ(endStatus([] {
              writeParaBed3(1, 0);
              writeParaBed3(1, 0);
            }),
            1000)
      << log();
  const std::string text = read("bedtest");
  EXPECT_EQ(text.find("Continuity test file: Bed defect,"), 0u);
  EXPECT_EQ(text.find("Continuity", 1), std::string::npos);
  // Two blocks of six column lines; column (2, 2): S = 1.5 m of layers over the base -2.
  std::size_t blocks = 0;
  for (std::size_t p = 0; (p = text.find("\nIter 7\n\n", p)) != std::string::npos; ++p) ++blocks;
  EXPECT_EQ(blocks, 2u);
  const auto first = numbers(text.substr(text.find("Iter 7\n\n") + 8));
  ASSERT_GE(first.size(), 9u);
  EXPECT_NEAR(first[3], 1.5, 1e-9);   // S
  EXPECT_NEAR(first[5], -2.0, 1e-9);  // zb
}

TEST_F(BedSections, CrossSection) {
  layeredBed();
  TecStrucNo = 2;
  TecStruc[0].variable = 'k';
  TecStruc[1].variable = 'z';
  for (int c = 1; c <= NoCells; ++c) {
    Cxvel[c] = 1.0;
    Cyvel[c] = 0.0;
    Czvel[c] = 0.01 * c;
    Ckinen[c] = 0.5 * c;
  }
  // A line of one column carrying a cross flow: at i = 3 the cells of column (3, 3) move north.
  for (int c = static_cast<int>(zval[3][3][0]); c != 0; c = Ccellt[c]) Cyvel[c] = 1.0;
  ASSERT_EQ(endStatus([] { print_cross3d(1, 3); }), 1000) << log();
  EXPECT_EQ(mc_message, "have written ParaCross file  ");
  keepSample("ParaCross_1_3.vtk", "QORVA_CROSS_SECTION");
  const std::string text = read("ParaCross_1_3.vtk");
  // Two columns of two cells each.
  EXPECT_NE(text.find("POINTS 16 float\n"), std::string::npos);
  EXPECT_NE(text.find("\nPOLYGONS 4 20\n"), std::string::npos);
  const auto pts = linesAfter(text, "POINTS");
  ASSERT_EQ(pts.size(), 4u);
  // The lower cell of column (3, 2): from the bed -1 to -0.5, over the distance 0..1.
  const std::vector<double> first = {0, 0, -1, 1, 0, -1, 1, 0, -0.5, 0, 0, -0.5};
  const auto v = numbers(pts[0]);
  ASSERT_EQ(v.size(), 12u);
  for (std::size_t m = 0; m < 12; ++m) EXPECT_NEAR(v[m], first[m], 1e-9) << m;
  // U = 4, V = 2: across the mean flow (U v - V u) / |(U, V)| = -2 / sqrt(20) in the first
  // column and (4 - 2) / sqrt(20) in the second.
  const auto vec = linesAfter(text, "VECTORS Velocity float");
  ASSERT_GE(vec.size(), 2u);
  const auto a = numbers(vec[0]), b = numbers(vec[1]);
  ASSERT_EQ(a.size(), 6u);
  EXPECT_NEAR(a[0], -2 / std::sqrt(20.0), 1e-6);
  EXPECT_NEAR(b[0], 2 / std::sqrt(20.0), 1e-6);
  const int c0 = static_cast<int>(zval[3][2][0]);
  EXPECT_NEAR(a[2], 0.01 * c0, 1e-6);
  EXPECT_EQ(numbers(arrayLines(text, "Turbulent_k")[0]), (std::vector<double>{0.5 * c0, 0.5 * (c0 + 1)}));
  EXPECT_EQ(arrayLines(text, "Bed_level")[0], "-1 -1 ");
}

}  // namespace
}  // namespace qorva
