// The terrain form of the pressure gradient with the Froude weight (F 114 8, F 355 14) reads the
// Froude number of each column. It must be that of the flow being computed, also when no
// free-surface update computes it (here the surface does not move at all).
//
// The flume: 10 m long, 1.5 m wide, 0.3 m deep, 30 l/s. Continuity fixes the depth-averaged
// velocity, U = Q / (B h) = 0.0667 m/s, so the Froude number of every column is
// U / sqrt(9.81 h) = 0.0389.
#include <cmath>
#include <map>
#include <string>

#include "driver/driver.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/log.h"
#include "support/scratch.h"

namespace qorva {
namespace {

class TerrainFroude : public test::Scratch {};

TEST_F(TerrainFroude, ColumnFroudeNumbersFollowTheFlow) {
  std::string k;
  for (int i = 1; i <= 11; ++i)
    for (int j = 1; j <= 4; ++j) k += strf("%d %d %f %f 0.0 0.3\n", i, j, i - 1.0, 0.5 * (j - 1));
  write("koosurf", k);
  write("control", "T Flume with the Froude-weighted terrain form\nG 1 14 7 11 1\nF 314 1 1\n"
                   "F 237 1 0.03\nF 237 2 0.03\nF 114 8\nF 355 14 0.5\nK 1 300 50000\nF 2 YW\n");
  ASSERT_EQ(programMain() & 255, 1) << log();
  const double U = 0.03 / (1.5 * 0.3), Fr = U / std::sqrt(9.81 * 0.3);
  ASSERT_GE(block[1].bcellend, block[1].bcellstart);
  ASSERT_GT(block[1].bcellstart, 0) << log();
  // The side walls slow the outer columns and the middle one runs faster, but across each
  // cross-section the mean of the three columns' Froude numbers is continuity's.
  std::map<int, std::pair<double, int>> sections;
  for (int b = block[1].bcellstart; b <= block[1].bcellend; ++b) {
    SCOPED_TRACE(b);
    EXPECT_NEAR(Bdepth[b], 0.3, 1e-9);
    EXPECT_NEAR(BFroude[b], Fr, 0.15 * Fr);
    sections[Bkooi[b]].first += BFroude[b];
    sections[Bkooi[b]].second += 1;
  }
  ASSERT_EQ(sections.size(), 10u);
  for (const auto& [i, s] : sections) {
    ASSERT_EQ(s.second, 3) << i;
    EXPECT_NEAR(s.first / 3, Fr, 0.02 * Fr) << i;
  }
}

}  // namespace
}  // namespace qorva
