// The braiding index of block 1 on a block of 2 x 10 unit columns (cross-sections i = 2, 3,
// columns j = 2..11): active runs of bottom cells counted by hand.
#include <string>

#include "output/output.h"
#include "support/surface_grid.h"

namespace qorva {
namespace {

class BraidingIndex : public test::SurfaceGrid {
 protected:
  // One letter per column j = 2..11: A active (300 k = 1 Pa), T at rest (0.0005 Pa), M in
  // between (0.05 Pa).
  static void section(int i, const std::string& plan) {
    for (int j = 2; j <= 11; ++j) {
      const char a = plan[j - 2];
      Ckinen[bottom(i, j)] = (a == 'A' ? 1.0 : a == 'T' ? 0.0005 : 0.05) / 300;
    }
  }
};

TEST_F(BraidingIndex, ActiveChannelsPerCrossSection) {
  box(2, 10, 2, 2.0);
  // Section 2: a run of four ended by a column at rest, then two, one in between that
  // neither ends nor extends it, two more: open at the edge with four. Section 3: a run of
  // three (too short) and one of six open at the edge.
  section(2, "AAAATAAMAA");
  section(3, "AAATAAAAAA");
  EXPECT_DOUBLE_EQ(computeBI(), 3.0 / 2.0);
  // Four columns are needed (F 368); with five the first run of section 2 is too short.
  BraidCells = 5;
  EXPECT_DOUBLE_EQ(computeBI(), 1.0 / 2.0);
  // A dry column ends a run like one at rest.
  BraidCells = 4;
  zval[3][6][0] = 0;
  section(2, "AAAAAAAAAA");
  EXPECT_DOUBLE_EQ(computeBI(), (1.0 + 1.0) / 2.0);
  // No cross-section from IBraidedStart on.
  IBraidedStart = 4;
  EXPECT_EQ(computeBI(), 0.0);
}

}  // namespace
}  // namespace qorva
