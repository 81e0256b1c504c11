// Bed levels from survey points: a plane survey reproduced at every grid point, the quadrant
// weights on small point sets worked by hand, the survey file formats with their malformed
// records, the raster that is the grid, the gap filling, the plan predicates, and the same
// levels and log for any thread count.
#include <omp.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <string>

#include "grid/grid.h"
#include "driver/control.h"
#include "state/arrays.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/options_f100_149.h"
#include "state/options_f200_249.h"
#include "state/options_g.h"
#include "state/points.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/survey.h"
#include "support/scratch.h"

namespace qorva::test {
namespace {

double plane(double x, double y) { return 0.3 + 0.01 * x - 0.02 * y; }

class SurveyPoints : public Scratch {
 protected:
  void SetUp() override {
    Scratch::SetUp();
    fresh();
  }
  // The start of a run with a 10 x 10 x 3 grid of structured arrays and no survey file.
  static void fresh() {
    SetArraysZero();
    setDefaults();
    for (const char* name : {"geodata", "geodatk", "geodatm", "geodatn", "porlent", "boogie",
                             "boogie.bed"})
      std::filesystem::remove(name);
    xnumber = ynumber = 10;
    znumber = 3;
    ASSERT_EQ(sialloc(), 0);
  }
  void TearDown() override {
    SetArraysZero();
    Scratch::TearDown();
  }
  // Block 1 with grid points i = 1..4, j = 1..3 at x = i - 1, y = j - 1 (1 m spacing), levels
  // marked unset (-99).
  static void grid() {
    NoBlocks = 1;
    GridBlock& b = block[1];
    b.i1 = 2;
    b.i2 = 4;
    b.j1 = 2;
    b.j2 = 3;
    b.bedfollow = 1;
    for (int i = 0; i <= xnumber + 1; ++i)
      for (int j = 0; j <= ynumber + 1; ++j) {
        xval[i][j] = i - 1.0;
        yval[i][j] = j - 1.0;
        zval[i][j][1] = -99;
        armap[i][j] = 1.0;
      }
  }
  static double bed(int i, int j) { return zval[i][j][1]; }
  static std::string bedLog() { return read("boogie.bed"); }
};

// A survey of the plane z = 0.3 + 0.01 x - 0.02 y on a lattice half a metre off the grid
// lines, reaching past the grid: each grid point has its four nearest points at equal
// distances in the four quadrants, whose mean is the plane's value, with the inverse-distance
// and the diagonal weights alike. With points on the grid points themselves the point at
// distance 0 takes all the inverse-distance weight. (The diagonal form weighs a pair by the
// other pair's distances, so it does not give a coincident point's level.)
TEST_F(SurveyPoints, PlaneSurveyIsReproduced) {
  struct Case {
    int form;
    double offset;
  };
  for (const auto [form, offset] : {Case{0, 0.5}, Case{1, 0.5}, Case{0, 0.0}}) {
    fresh();
    grid();
    FlagBedInterpol = form;
    std::string s;
    for (double x = -2 + offset; x <= 5; x += 1.0)
      for (double y = -2 + offset; y <= 4; y += 1.0) s += strf("E %.3f %.3f %.17g\n", x, y, plane(x, y));
    write("geodata", s + "Z\n");
    EXPECT_EQ(bedinter(), 0);
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 3; ++j)
        EXPECT_NEAR(bed(i, j), plane(i - 1.0, j - 1.0), 1e-9)
            << "form " << form << ", offset " << offset << " at " << i << "," << j;
    EXPECT_EQ(bedLog().find("Warning"), std::string::npos) << bedLog();
  }
}

struct Pts {
  std::vector<std::array<double, 3>> p;
  std::string text() const {
    std::string s;
    for (const auto& q : p) s += strf("E %g %g %g\n", q[0], q[1], q[2]);
    return s;
  }
};

// The grid point (2, 2) at (1, 1), survey points around it.
TEST_F(SurveyPoints, QuadrantWeightsByHand) {
  struct Case {
    const char* what;
    Pts pts;
    double level;
    bool warned;
  };
  const Case cases[] = {
      {"four at equal distances", {{{2, 2, 1}, {0, 2, 2}, {0, 0, 3}, {2, 0, 4}}}, 2.5, false},
      // Quadrants 1 and 3 only: (d3 z1 + d1 z3) / (d1 + d3) with d1 = 2 sqrt 2, d3 = sqrt 2.
      {"a diagonal pair", {{{3, 3, 1}, {0, 0, 3}}}, 7.0 / 3.0, false},
      {"a single point", {{{1.5, 1.5, 4}}}, 4.0, true},
      // A point straight below the grid point belongs to quadrant 4.
      {"below in quadrant 4", {{{1, 0, 2}, {0, 2, 6}}}, (1.0 * 6 + std::sqrt(2.0) * 2) / (1 + std::sqrt(2.0)), false},
  };
  for (const Case& c : cases) {
    fresh();
    grid();
    write("geodata", c.pts.text());
    bedinter();
    EXPECT_NEAR(bed(2, 2), c.level, 1e-12) << c.what;
    const std::string log = bedLog();
    EXPECT_EQ(log.find("Warning, using approximate value for i,j=2 2\nWarning, scewed value for "
                       "i,j=2 2\n") != std::string::npos,
              c.warned)
        << c.what << "\n" << log;
  }
}

// In a window (F 47 second value at most 10000) a point straight below the grid point is used
// by no quadrant, and points outside the window not at all.
TEST_F(SurveyPoints, WindowOfTheSearch) {
  grid();
  InterALimit = 5;
  write("geodata", "E 1 0 2\nE 0 2 6\nE 9 9 100\n");
  bedinter();
  EXPECT_NEAR(bed(2, 2), 6.0, 1e-12);  // only the point of quadrant 2 is left
}

// Text may stand between the records; an E record without three numbers is skipped with a line
// in boogie naming the file and line, and the reading goes on; Z ends the data; F 225 scales.
TEST_F(SurveyPoints, GeodataRecords) {
  grid();
  ScaleGeodataMult = 2;
  ScaleGeodataAdd = 1;
  write("geodata",
        "survey of the reach, levels in m\n"
        "E 0 0 1\n"
        "E 5 x 3\n"
        "E 1 1 nan\n"
        "S 0 0 10 10\n"
        "E 0.5 0.5 2\n"
        "Z\n"
        "E 3 3 3\n");
  EXPECT_EQ(readGeodata(), 0.0);
  ASSERT_EQ(NoGeo, 2);
  EXPECT_EQ(xg[0], 1.0);
  EXPECT_EQ(zg[0], 3.0);
  EXPECT_EQ(xg[1], 2.0);
  EXPECT_EQ(zg[1], 5.0);
  EXPECT_EQ(FlagDigitScale, 1);
  EXPECT_EQ(digitscale[2], 10.0);
  EXPECT_NE(log().find("Warning: geodata line 3: an E record without three finite numbers is skipped\n"),
            std::string::npos)
      << log();
  EXPECT_NE(log().find("Warning: geodata line 4:"), std::string::npos) << log();
  EXPECT_NE(bedLog().find("Number of points read from geodata file: 2\n"), std::string::npos);
}

TEST_F(SurveyPoints, LineFormats) {
  struct Case {
    const char* file;
    const char* text;
  };
  const Case cases[] = {
      {"geodatk", "1,0.0,0.0,1.0,\n2,bad\n3,2.0,1.0,3.0,\n"},
      {"geodatm", "0.0,0.0,1.0\n\n2.0,1.0,3.0\n"},
      {"geodatn", "0 0 1\n2 1 3\n1 2\n"},
  };
  for (const Case& c : cases) {
    fresh();
    write(c.file, c.text);
    EXPECT_EQ(readGeodata(), 0.0) << c.file;
    ASSERT_EQ(NoGeo, 2) << c.file;
    EXPECT_EQ(xg[1], 2.0);
    EXPECT_EQ(yg[1], 1.0);
    EXPECT_EQ(zg[1], 3.0);
  }
}

// A raster of 3 x 2 levels is the grid when there is none yet: block 1 of columns i = 2..3,
// j = 2, its grid lines at the raster's x and y.
TEST_F(SurveyPoints, RasterIsTheGrid) {
  write("porlent", "3 2\n0.0 1.0\n0.0 5 6\n1.0 7 8\n2.0 9 10\n");
  EXPECT_EQ(readGeodata(), 0.0);
  EXPECT_EQ(NoGeo, 6);
  EXPECT_EQ(NoBlocks, 1);
  EXPECT_EQ(block[1].i1, 2);
  EXPECT_EQ(block[1].i2, 3);
  EXPECT_EQ(block[1].j1, 2);
  EXPECT_EQ(block[1].j2, 2);
  EXPECT_EQ(xval[3][2], 2.0);
  EXPECT_EQ(yval[3][2], 1.0);
  EXPECT_EQ(zval[2][1][1], 7.0);
  EXPECT_EQ(zval[3][2][1], 10.0);
}

TEST_F(SurveyPoints, RasterLargerThanTheGridIsRefused) {
  write("porlent", "12 2\n0.0 1.0\n");
  EXPECT_THROW(readGeodata(), RunEnd);
  EXPECT_NE(log().find("does not fit the G 1 grid"), std::string::npos) << log();
}

// With blocks present the raster gives points only: the grid lines stay.
TEST_F(SurveyPoints, RasterBesideAGrid) {
  grid();
  write("porlent", "2 2\n5.0 6.0\n0.0 5 6\n1.0 7 8\n");
  EXPECT_EQ(readGeodata(), 0.0);
  EXPECT_EQ(NoBlocks, 1);
  EXPECT_EQ(yval[1][1], 0.0);
  EXPECT_EQ(yval[1][2], 1.0);
}

TEST_F(SurveyPoints, NoSurveyFile) {
  EXPECT_EQ(readGeodata(), -2.0);
  grid();
  NoGeo = 0;
  EXPECT_THROW(bedinter(), RunEnd);
  EXPECT_NE(log().find("no survey points"), std::string::npos) << log();
}

// F 129 2: grid points farther than twice their column's size from every point get no value at
// first, then the value of their line j, linear in the index between the valued points.
TEST_F(SurveyPoints, GapsFilledAlongTheLine) {
  grid();
  for (int i = 0; i <= xnumber + 1; ++i)
    for (int j = 0; j <= ynumber + 1; ++j) armap[i][j] = 0.04;  // columns of 0.2 m
  FlagBedInterpol = 2;
  // With the debug letter D a point within F 47's 0.05 m gives the level exactly.
  debugging = 'D';
  // Points on the grid points i = 1 (level 1) and i = 4 (level 4) of every line only.
  write("geodata", "E 0 0 1\nE 0 1 1\nE 0 2 1\nE 3 0 4\nE 3 1 4\nE 3 2 4\n");
  bedinter();
  for (int j = 1; j <= 3; ++j) {
    EXPECT_NEAR(bed(2, j), 2.0, 1e-9) << j;
    EXPECT_NEAR(bed(3, j), 3.0, 1e-9) << j;
  }
}

TEST_F(SurveyPoints, SameLevelsAndLogForAnyThreadCount) {
  grid();
  debugging = 'D';
  std::string s;
  for (int k = 0; k < 40; ++k) s += strf("E %g %g %g\n", 0.37 * k - 1, std::fmod(0.71 * k, 3.5) - 0.5, 0.1 * k);
  write("geodata", s);
  const int threads0 = omp_get_max_threads();
  std::vector<double> first;
  std::string firstLog;
  for (int n : {0, 1, 3, 4}) {
    NoProcessesSolver = n;
    omp_set_num_threads(n > 0 ? n : 1);
    NoGeo = 0;
    grid();
    bedinter();
    std::vector<double> levels;
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 3; ++j) levels.push_back(bed(i, j));
    if (first.empty()) {
      first = levels;
      firstLog = bedLog();
    }
    EXPECT_EQ(levels, first) << n;
    EXPECT_EQ(bedLog(), firstLog) << n;
  }
  omp_set_num_threads(threads0);
}

TEST_F(SurveyPoints, DeletedPointsTakeNoPart) {
  grid();
  write("geodata", "E 2 2 1\nE 0 2 2\nE 0 0 3\nE 2 0 4\nE 1.5 1.5 100\n");
  ASSERT_EQ(readGeodata(), 0.0);
  // The triangle around (1.5, 1.5), counter-clockwise.
  xDelGeo[1] = 1.2;
  yDelGeo[1] = 1.2;
  xDelGeo[2] = 1.8;
  yDelGeo[2] = 1.2;
  xDelGeo[3] = 1.5;
  yDelGeo[3] = 1.9;
  EXPECT_EQ(delGeodataValues(), 0);
  EXPECT_EQ(ig[4], 1);
  EXPECT_EQ(ig[0], 0);
  bedinter();
  EXPECT_NEAR(bed(2, 2), 2.5, 1e-12);
  // Clockwise corners are refused.
  std::swap(xDelGeo[2], xDelGeo[3]);
  std::swap(yDelGeo[2], yDelGeo[3]);
  EXPECT_EQ(delGeodataValues(), -1);
}

TEST(PlanGeometry, Predicates) {
  EXPECT_NEAR(dotproduct(1, 0, 1, 1), 1 / std::sqrt(2.0), 1e-15);
  EXPECT_EQ(dotproduct(0, 0, 1, 1), 0.0);
  EXPECT_EQ(crossproduct(1, 2, 3, 4), 1 * 4 - 2 * 3);
  // The plane through (1, 0, 1) and (0, 1, 0) rises 45 degrees along x.
  EXPECT_NEAR(slopeangle(1, 0, 1, 0, 1), std::atan(1.0), 1e-15);
  // Clockwise unit square: strictly inside only.
  EXPECT_EQ(insideQuad(0.5, 0.5, 0, 0, 0, 1, 1, 1, 1, 0), 1);
  EXPECT_EQ(insideQuad(1.0, 0.5, 0, 0, 0, 1, 1, 1, 1, 0), 0);
  EXPECT_EQ(insideQuad(0.5, 0.5, 0, 0, 1, 0, 1, 1, 0, 1), 0);  // counter-clockwise
}

TEST_F(SurveyPoints, PointInTheCellsPlan) {
  MaxCeller = 3;
  MaxPunkter = 6;
  MaxFlater = 2;
  ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
  const double corners[5][2] = {{0, 0}, {0, 0}, {2, 0}, {2, 1}, {0, 1}};
  for (int p = 1; p <= 4; ++p) {
    Px[p] = corners[p][0];
    Py[p] = corners[p][1];
  }
  Cpoint1[1] = 1;
  Cpoint2[1] = 2;
  Cpoint3[1] = 3;
  Cpoint4[1] = 4;
  write("geodatn", "1 0.5 0\n2 0.5 0\n3 0.5 0\n");
  ASSERT_EQ(readGeodata(), 0.0);
  EXPECT_EQ(insideQuadCellGeo(0, 1), 1);
  EXPECT_EQ(insideQuadCellGeo(1, 1), 0);  // on the edge
  EXPECT_EQ(insideQuadCellGeo(2, 1), 0);
}

}  // namespace
}  // namespace qorva::test
