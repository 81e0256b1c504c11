// The small tables of the dispatcher on a generated grid: the cell table, the bed points, the
// wet outline, the depth and speed classes and the checks of boogie.spe, each read back and
// compared with values worked out by hand; and tables that cannot be written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <utility>
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
#include "state/surfaces.h"
#include "support/koosurf_grid.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using test::endStatus;

// The numbers of every line of a table.
std::vector<std::vector<double>> rowsOf(const std::string& text) {
  std::vector<std::vector<double>> rows;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream l(line);
    std::vector<double> v;
    for (double x; l >> x;) v.push_back(x);
    rows.push_back(v);
  }
  return rows;
}

class CellTables : public test::Scratch {
 protected:
  // nx x ny columns of 1 m x 1 m, water level 0, bed at -1 (or what `bed` gives), two cells a
  // column.
  static void grid(int nx, int ny, std::function<double(int, int)> bed = [](int, int) { return -1.0; }) {
    test::freshGridRun(nx + 3, ny + 3, 4, [] { lnumber = 1; });
    test::koosurfGrid(nx, ny, {std::move(bed), [](int, int) { return 0.0; }});
    ASSERT_EQ(NoCells, 2 * nx * ny);
  }
  static std::vector<int> bottoms() {
    std::vector<int> b;
    for (int c = 1; c <= NoCells; ++c)
      if (Ccellb[c] == 0) b.push_back(c);
    return b;
  }
  static int top(int c) {
    while (Ccellt[c] != 0) c = Ccellt[c];
    return c;
  }
};

TEST_F(CellTables, CellTableBedPointsAndOutline) {
  grid(3, 2);
  for (int c = 1; c <= NoCells; ++c) {
    Cxvel[c] = 0.25 * c;
    Cpres[c] = -c;
    Cconc[0][c] = 1e-5 * c;
  }
  ASSERT_EQ(endStatus([] {
              writeCellTable();
              EXPECT_TRUE(writeBedPoints());
              EXPECT_TRUE(writeWetOutline());
            }),
            1000)
      << log();

  const auto cells = rowsOf(read("TarpoPkt.dat"));
  ASSERT_EQ(cells.size(), static_cast<std::size_t>(NoCells));
  for (int c = 1; c <= NoCells; ++c) {
    ASSERT_EQ(cells[c - 1].size(), 11u);
    EXPECT_NEAR(cells[c - 1][0], Cxcenter[c], 1e-6);
    EXPECT_EQ(cells[c - 1][3], 0.25 * c);
    EXPECT_EQ(cells[c - 1][6], -c);
    EXPECT_NEAR(cells[c - 1][10], 1e-5 * c, 1e-11);
  }
  // Every cell centre lies at the middle of a 1 m column, in the lower or upper half metre.
  for (const auto& r : cells) {
    EXPECT_NEAR(r[0] - std::floor(r[0]), 0.5, 1e-6);
    EXPECT_NEAR(r[1] - std::floor(r[1]), 0.5, 1e-6);
    EXPECT_TRUE(std::fabs(r[2] + 0.75) < 1e-6 || std::fabs(r[2] + 0.25) < 1e-6) << r[2];
  }

  // One bed point per column: its centre at the bed, 1 m under the water.
  std::set<std::pair<double, double>> expected, got;
  for (double x : {0.5, 1.5, 2.5})
    for (double y : {0.5, 1.5}) expected.insert({x, y});
  for (const auto& r : rowsOf(read("beddata.sim"))) {
    ASSERT_EQ(r.size(), 3u);
    EXPECT_NEAR(r[2], -1.0, 1e-6);
    got.insert({r[0], r[1]});
  }
  EXPECT_EQ(got, expected);

  // The outline: the midpoints of the ten outer edges of the 3 m x 2 m block, each once.
  std::multiset<std::pair<double, double>> edges;
  for (const auto& r : rowsOf(read("zebrun"))) {
    ASSERT_EQ(r.size(), 2u);
    edges.insert({r[0], r[1]});
  }
  const std::multiset<std::pair<double, double>> outer = {
      {0.5, 0}, {1.5, 0}, {2.5, 0}, {0.5, 2}, {1.5, 2}, {2.5, 2}, {0, 0.5}, {0, 1.5}, {3, 0.5}, {3, 1.5}};
  EXPECT_EQ(edges, outer);
}

TEST_F(CellTables, DepthAndSpeedClasses) {
  struct Case {
    const char* what;
    double fast, slow;  // speed of the first column and of the others
    int fastClass, slowClass;
  };
  // Depth 1 m everywhere: class trunc(20 - 0.01) = 19. Speeds 1 and 0.5 m/s: classes 19 and
  // trunc(10 - 0.01) = 9. All at rest: 0/0 is no number and counts as class 0.
  for (const Case& k : {Case{"moving", 1.0, 0.5, 19, 9}, Case{"at rest", 0.0, 0.0, 0, 0}}) {
    SCOPED_TRACE(k.what);
    grid(3, 2);
    const std::vector<int> b = bottoms();
    for (int c : b)
      for (int m = c; m != 0; m = Ccellt[m]) Cxvel[m] = c == b[0] ? k.fast : k.slow;
    ASSERT_EQ(endStatus([] { EXPECT_TRUE(writeHabitat()); }), 1000) << log();
    const std::string text = read("habitat");
    EXPECT_EQ(text.substr(0, text.find('\n') + 1), "Depth (m), area (m2), velocity (m/s), area(m2)\n");
    auto rows = rowsOf(text.substr(text.find('\n') + 1));
    ASSERT_EQ(rows.size(), 20u);
    for (int n = 1; n <= 20; ++n) {
      const auto& r = rows[n - 1];
      EXPECT_NEAR(r[0], n / 20.0, 1e-6);
      EXPECT_NEAR(r[1], n - 1 == 19 ? 6.0 : 0.0, 1e-6);
      EXPECT_NEAR(r[2], n * k.fast / 20, 1e-6);
      const double speedArea =
          (n - 1 == k.fastClass ? 1.0 : 0.0) + (n - 1 == k.slowClass ? 5.0 : 0.0);
      EXPECT_NEAR(r[3], speedArea, 1e-6) << n;
    }
  }
}

TEST_F(CellTables, SlopingFraction) {
  struct Case {
    const char* what;
    double slope;  // bed drop per metre in x
    double u;      // surface velocity in x
    double fraction;
  };
  // A bed that drops 0.5 m per metre in x is atan(0.5) = 0.46 rad steep, more than 0.2967:
  // flow down the slope counts it as sloping, flow up the slope (cosine -1) and flow across
  // it (cosine 0) do not; a level bed is never sloping.
  for (const Case& k : {Case{"level bed", 0.0, 1.0, 0.0}, Case{"down the slope", 0.5, 1.0, 1.0},
                        Case{"up the slope", 0.5, -1.0, 0.0}}) {
    SCOPED_TRACE(k.what);
    grid(3, 2, [&](int i, int) { return -1.0 - k.slope * (i - 1); });
    for (int c = 1; c <= NoCells; ++c) Cxvel[c] = k.u;
    ASSERT_EQ(endStatus([] { EXPECT_TRUE(writeSlopingFraction()); }), 1000) << log();
    EXPECT_EQ(read("boogie.spe"), strf("Fraction of sloping area: %lf\n", k.fraction));
  }
}

TEST_F(CellTables, DischargeAcrossTheColumnLine) {
  // 5 x 6 columns: block 1 has i2 = 6 and j2 = 7, so the check starts at column (2, 2) and
  // takes the whole line i = 2 from south to north: 6 columns of 2 cells, each 1 m wide and
  // 0.5 m high. At 0.5 m/s the line carries 0.5 m/s x 6 m2 = 3000 l/s.
  grid(5, 6);
  ASSERT_EQ(block[1].i2, 6);
  ASSERT_EQ(block[1].j2, 7);
  for (int c = 1; c <= NoCells; ++c) Cxvel[c] = 0.5;
  for (int s = 1; s <= NoSurfaces; ++s) Fflux[s] = 0.0;
  int crossed = 0;
  for (int c = 1; c <= NoCells; ++c)
    if (std::fabs(Cxcenter[c] - 0.5) < 1e-9) {
      Fflux[Cflatee[c]] = 250.0;  // kg/s through the east face of each of the 12 cells
      ++crossed;
    }
  ASSERT_EQ(crossed, 12);
  ASSERT_EQ(endStatus([] { EXPECT_TRUE(writeDischargeCheck()); }), 1000) << log();
  const std::string text = read("boogie.spe");
  double flux = 0, va = 0;
  ASSERT_EQ(std::sscanf(text.c_str(), "Discharge (l/s): flux: %lf, velocity*area: %lf", &flux, &va), 2)
      << text;
  EXPECT_NEAR(flux, 3000.0, 1e-6);
  EXPECT_NEAR(va, 3000.0, 1e-3);
}

TEST_F(CellTables, WaterMudAndGroundwaterProfile) {
  grid(3, 2);
  Title[1] = 'R';
  Title[2] = 'u';
  Title[3] = 'n';
  stimet = 60;
  // Without a mud block only the headings are written.
  ASSERT_EQ(endStatus([] { EXPECT_TRUE(writeLevelProfile(false)); }), 1000) << log();
  EXPECT_EQ(read("boogie.spe"), "Run time: 60.000000 seconds\nX, Zsurf, Zthixo, Zgroundwater\n\n");

  // Block 1 as a mud block: its middle row j = (2 + 3) / 2 = 2, columns i = 2..4 at x = 0.5,
  // 1.5, 2.5 with the water at 0.
  block[1].thixo = 1;
  ASSERT_EQ(endStatus([] {
              EXPECT_TRUE(writeLevelProfile(true));
              stimet = 120;
              EXPECT_TRUE(writeLevelProfile(true));
            }),
            1000)
      << log();
  const std::string rows = "0.500000 0.000000 0.000000 0.000000\n"
                           "1.500000 0.000000 0.000000 0.000000\n"
                           "2.500000 0.000000 0.000000 0.000000\n";
  const std::string appended = "Run\nX, Zsurf, Zthixo, Zgroundwater\n\n\nTime: 60.000000 seconds\n" +
                               rows + "\nTime: 120.000000 seconds\n" + rows;
  std::string text = read("boogie.spe");
  // -0.000000 is the same level as 0.000000.
  for (std::size_t p; (p = text.find("-0.000000")) != std::string::npos;) text.erase(p, 1);
  EXPECT_EQ(text, appended);

  // A new run starts the appended profile again.
  setDefaults();
  block[1].thixo = 1;
  ASSERT_EQ(endStatus([] { EXPECT_TRUE(writeLevelProfile(true)); }), 1000);
  EXPECT_EQ(read("boogie.spe").find("\nTime: 120"), std::string::npos);
}

// A table that cannot be written gives one warning and the other outputs follow; the cell
// table, which a later step may read, ends the run.
TEST_F(CellTables, TablesThatCannotBeWritten) {
  grid(3, 2);
  PrintArrayFlags[9] = PrintArrayFlags[11] = PrintArrayFlags[12] = PrintArrayFlags[13] = 1;
  for (const char* name : {"beddata.sim", "habitat"})
    std::filesystem::create_directories(std::string(name) + "/in-the-way");
  ASSERT_EQ(endStatus(sprintflow), 1000) << log();
  EXPECT_EQ(log(),
            "Warning: could not open the file 'beddata.sim'; the other outputs are written\n"
            "Warning: could not open the file 'habitat'; the other outputs are written\n");
  for (const char* name : {"result.end", "zebrun", "bedres.t", "boogie.spe"})
    EXPECT_TRUE(std::filesystem::is_regular_file(name)) << name;
  EXPECT_EQ(mc_message, "have written output files  ");

  std::filesystem::create_directories("TarpoPkt.dat/in-the-way");
  EXPECT_EQ(endStatus(writeCellTable), -3);
  EXPECT_NE(log().find("Error: could not write file 'TarpoPkt.dat'"), std::string::npos) << log();
  EXPECT_EQ(mc_message, "cannot open file 'TarpoPkt.dat' ");
}

}  // namespace
}  // namespace qorva
