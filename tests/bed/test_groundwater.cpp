// The groundwater under a strip of dry bank between two wet reaches: the steady state of Darcy
// flow over an impervious base (straight between the held levels for the fixed transmissivity
// of the base cells, and within 2 % of the depth of the Dupuit-Forchheimer parabola for this
// small drop), the level held at the water level under wet columns, and the wlinit records.
#include <cmath>
#include <vector>

#include "bed/bed.h"
#include "state/mud.h"
#include "state/surfaces.h"
#include "support/mud_grid.h"

namespace qorva {
namespace {

class Groundwater : public test::Scratch {
 protected:
  test::MudGrid g;

  // Ten columns in i (2..11) and three in j (the middle row is checked); the lines 1, 2 and 10, 11 under water (bed 1 m,
  // levels 2.0 and 1.6 m), the bank between them dry at 3 m; the impervious base at 0.
  void build() {
    g.i2 = 11;
    g.j2 = 4;
    g.fixedBed = 0.0;
    g.bed = [](int i, int) { return i <= 2 || i >= 10 ? 1.0 : 3.0; };
    g.water = [](int i, int) { return i <= 2 ? 2.0 : i >= 10 ? 1.6 : 3.0; };
    g.prepare();
    FlagGroundwater = 1;
    g.layout();
    ASSERT_EQ(test::MudGrid::generate(), 1) << log();
    test::MudGrid::finish();
  }

  int column(int i) const { return pointbed[i][3 + g.shift()]; }
  int waterColumn(int i) const { return pointbed[i][3]; }
  static double top(int b) {
    int c = Bcellt[b];
    while (Ccellt[c] > 0) c = Ccellt[c];
    return Czcenter[c] + Ckdist[c];
  }
};

TEST_F(Groundwater, ReachesTheSteadySeepageBetweenTwoWetReaches) {
  build();
  TimeStep = 1e12;  // no storage: the steady state
  iterGlobalMax = 99;
  Conductivity = 1e-4;
  ASSERT_EQ(test::endStatus([] { groundwater(); }), 1000) << log();
  // Wet columns hold the level of the water above them.
  int a = 0, b = 0;  // the last wet column on the left, the first on the right
  for (int i = 2; i <= 11; ++i) {
    if (Bcellt[waterColumn(i)] == 0) continue;
    EXPECT_NEAR(Bgroundwater[column(i)], top(waterColumn(i)), 1e-12) << i;
    EXPECT_NEAR(Bgroundwater[waterColumn(i)], Bgroundwater[column(i)], 1e-12) << i;
    if (i <= 6) a = i;
    else if (b == 0) b = i;
  }
  ASSERT_GT(a, 0);
  ASSERT_GT(b, a + 2);
  const double h1 = Bgroundwater[column(a)], h2 = Bgroundwater[column(b)];
  const double L = b - a;
  for (int i = a + 1; i < b; ++i) {
    const double x = i - a;
    const double h = Bgroundwater[column(i)];
    // The base cells have one transmissivity: a straight line.
    EXPECT_NEAR(h, h1 + (h2 - h1) * x / L, 1e-6) << i;
    // Dupuit-Forchheimer over the impervious base at 0.
    const double dupuit = std::sqrt(h1 * h1 - (h1 * h1 - h2 * h2) * x / L);
    EXPECT_LT(std::fabs(h - dupuit), 0.02 * dupuit) << i;
  }
  // The same Darcy flux through every face of the bank: K A dh / dx with A = 3 m x 1 m.
  const double flux = Conductivity * 3.0 * (h1 - h2) / L;
  for (int i = a + 1; i < b - 1; ++i)
    EXPECT_NEAR(Conductivity * 3.0 * (Bgroundwater[column(i)] - Bgroundwater[column(i + 1)]),
                flux, 1e-12);
  EXPECT_NEAR(stimet, 99 * 1e12, 1.0);
}

TEST_F(Groundwater, StartsFromWlinitAndSkipsColumnsOutsideTheGrid) {
  build();
  const int i = 6, j = 3 + g.shift();
  write("wlinit", "6 " + std::to_string(j) + " 2.25\n0 0 9.0\n99 3 9.0\n");
  TimeStep = 1e-6;  // storage holds the level: one iteration changes it by little
  FlagGroundwater = 2;
  ASSERT_EQ(test::endStatus([] { groundwater(); }), 1000) << log();
  EXPECT_NE(log().find("Have read 1 water level points from wlinit file"), std::string::npos)
      << log();
  EXPECT_NE(log().find("wlinit line 2: column (0,0) has no bed cell"), std::string::npos);
  EXPECT_NE(log().find("wlinit line 3: column (99,3) has no bed cell"), std::string::npos);
  EXPECT_NEAR(Bgroundwater[pointbed[i][j]], 2.25, 1e-3);
}

TEST_F(Groundwater, RefusesAnUnreadableWlinitRecord) {
  build();
  write("wlinit", "6 10 2.25\n6 x 1\n");
  TimeStep = 1.0;
  FlagGroundwater = 2;
  EXPECT_EQ(test::endStatus([] { groundwater(); }), 1);
  EXPECT_NE(log().find("Error in the wlinit file, line 2"), std::string::npos) << log();
}

TEST_F(Groundwater, WithoutAMudLayerBlockEndsWithItsReason) {
  test::MudGrid plain;
  plain.prepare();
  plain.layout();
  ASSERT_EQ(test::MudGrid::generate(), 1);
  FlagGroundwater = 2;
  Bgroundwater.allocate(NoBCells + 1);
  EXPECT_EQ(test::endStatus([] { groundwater(); }), -9);
  EXPECT_NE(log().find("groundwater grid not generated"), std::string::npos);
  // A later call, with the start levels taken, says why too.
  GroundwaterStarted = true;
  EXPECT_EQ(test::endStatus([] { groundwater(); }), -8);
  EXPECT_NE(log().find("the groundwater block is missing"), std::string::npos);
}

}  // namespace
}  // namespace qorva
