// The coarse grids of the grid-sequenced solution: cells, corners, shared surfaces, parents and
// children worked out by hand, and the refusals when they do not fit the arrays.
#include <string>

#include "solvers/column_grid.h"
#include "solvers/solvers.h"
#include "state/surfaces.h"

namespace qorva::test {
namespace {

class Sequencing : public Scratch {
 protected:
  // Corner points numbered by their structured position (i', j', k'), so that a level cell's
  // corners can be checked against the grid cells they come from.
  static int point(const Columns& g, int i, int j, int k) {
    return 1 + k + 10 * (j + (g.ny + 1) * i);
  }
  static void corners(const Columns& g) {
    for (int i = 0; i < g.nx; ++i)
      for (int j = 0; j < g.ny; ++j)
        for (int k = 0; k < g.cells(i, j); ++k) {
          const int c = g.cell(i, j, k);
          Cpoint1[c] = point(g, i, j, k);
          Cpoint2[c] = point(g, i + 1, j, k);
          Cpoint3[c] = point(g, i + 1, j + 1, k);
          Cpoint4[c] = point(g, i, j + 1, k);
          Cpoint5[c] = point(g, i, j, k + 1);
          Cpoint6[c] = point(g, i + 1, j, k + 1);
          Cpoint7[c] = point(g, i + 1, j + 1, k + 1);
          Cpoint8[c] = point(g, i, j + 1, k + 1);
        }
  }
  static int endStatus() {
    try {
      MGSCoarserGridMake2D();
    } catch (const RunEnd& e) {
      return e.status;
    }
    return 1000;
  }
};

// F 152 2: level 1 only, one cell per column of 2 cells, numbered j outer, i inner; a corner
// of the bottom cell below and of the top cell above; 3 x 2 cells share their lateral sides:
// 4 x 2 east-west and 3 x 3 north-south surfaces, plus a bottom and a top each: 29.
TEST_F(Sequencing, LevelOneCellsCornersAndSharedSurfaces) {
  MGSNo = 2;
  const Columns g = makeColumns(3, 2, 2, 10);
  corners(g);
  const int N = NoCells;
  MGSCoarserGridMake2D();
  EXPECT_EQ(NoBlocks, 2);
  EXPECT_EQ(NoCells, N + 6);
  EXPECT_EQ(NoSurfaces, 29);
  EXPECT_EQ(WCStart, N + 1);
  EXPECT_EQ(WCEnd, N + 6);
  const GridBlock& r = block[2];
  EXPECT_EQ(r.cellstart, N + 1);
  EXPECT_EQ(r.cellend, N + 6);
  EXPECT_EQ(r.surfstart, 1);
  EXPECT_EQ(r.surfend, 29);
  EXPECT_EQ(r.skip, 2);
  EXPECT_EQ(r.flag2D, 0);
  const int n10 = N + 2, n20 = N + 3, n11 = N + 5;  // columns (1,0), (2,0), (1,1)
  EXPECT_EQ(num[3][2][1], n10);
  EXPECT_EQ(Cisolve[n10], 3);
  EXPECT_EQ(Cjsolve[n10], 2);
  EXPECT_EQ(MGSCpoint[n10][0], 0);
  EXPECT_EQ(MGSCpoint[n10][1], g.cell(1, 0, 0));
  EXPECT_EQ(MGSCpoint[g.cell(1, 0, 0)][0], n10);
  EXPECT_EQ(MGSCpoint[g.cell(1, 0, 1)][0], n10);
  EXPECT_EQ(Cpoint1[n10], point(g, 1, 0, 0));
  EXPECT_EQ(Cpoint3[n10], point(g, 2, 1, 0));
  EXPECT_EQ(Cpoint5[n10], point(g, 1, 0, 2));
  EXPECT_EQ(Cpoint7[n10], point(g, 2, 1, 2));
  EXPECT_EQ(Ccelle[n10], n20);
  EXPECT_EQ(Ccelln[n10], n11);
  EXPECT_EQ(Ccellt[n10], 0);
  // The east side of (1,0) is the west side of (2,0), made once, from west to east.
  const int f = Cflatee[n10];
  EXPECT_EQ(Cflatew[n20], f);
  EXPECT_EQ(Fcell1[f], n10);
  EXPECT_EQ(Fcell2[f], n20);
  EXPECT_EQ(Fpoint1[f], Cpoint2[n10]);
  EXPECT_EQ(Fpoint2[f], Cpoint3[n10]);
  EXPECT_EQ(Fpoint3[f], Cpoint7[n10]);
  EXPECT_EQ(Fpoint4[f], Cpoint6[n10]);
  EXPECT_EQ(Cflates[n11], Cflaten[n10]);
  EXPECT_EQ(Fcell1[Cflateb[n10]], 0);
  EXPECT_EQ(Fcell2[Cflateb[n10]], n10);
  EXPECT_EQ(Fcell1[Cflatet[n10]], n10);
  EXPECT_EQ(Fcell2[Cflatet[n10]], 0);
}

// F 152 4 on 4 x 4 columns with column (3, 3) dry: level 2 makes the complete groups at
// (0,0), (0,2) and (2,0) only (numbered i outer, j inner); the level-1 cells of the incomplete group keep no parent;
// level 3 (stride 4) would need (2,2) and makes nothing.
TEST_F(Sequencing, CoarseLevelsOfCompleteGroups) {
  MGSNo = 4;
  std::vector<int> h(16, 1);
  h[3 * 4 + 3] = 0;
  const Columns g = makeColumns(4, 4, h, 40);
  corners(g);
  const int N = NoCells;  // 15 grid cells, 15 level-1 cells
  MGSCoarserGridMake2D();
  EXPECT_EQ(NoBlocks, 4);
  const GridBlock& two = block[3];
  ASSERT_EQ(two.cellend - two.cellstart + 1, 3);
  EXPECT_EQ(two.skip, 3);
  EXPECT_EQ(block[4].cellend - block[4].cellstart + 1, 0);
  EXPECT_EQ(block[4].skip, 4);
  const int m00 = num[2][2][2], m20 = num[4][2][2], m02 = num[2][4][2];
  EXPECT_EQ(m00, N + 16);
  EXPECT_EQ(m02, N + 17);
  EXPECT_EQ(m20, N + 18);
  EXPECT_EQ(num[4][4][2], 0);
  EXPECT_EQ(MGSCpoint[m00][1], num[2][2][1]);  // SW
  EXPECT_EQ(MGSCpoint[m00][2], num[2][3][1]);  // NW
  EXPECT_EQ(MGSCpoint[m00][3], num[3][3][1]);  // NE
  EXPECT_EQ(MGSCpoint[m00][4], num[3][2][1]);  // SE
  EXPECT_EQ(MGSCpoint[num[3][3][1]][0], m00);
  EXPECT_EQ(MGSCpoint[num[4][4][1]][0], 0);
  EXPECT_EQ(Ccelle[m00], m20);
  EXPECT_EQ(Ccelln[m00], m02);
  EXPECT_EQ(Ccelln[m20], 0);
  EXPECT_EQ(Cpoint1[m00], Cpoint1[num[2][2][1]]);
  EXPECT_EQ(Cpoint3[m00], Cpoint3[num[3][3][1]]);
  EXPECT_EQ(Cflatee[m00], Cflatew[m20]);
  // Level 1 keeps the top cell of its column in entry 4 when there are coarser levels.
  EXPECT_EQ(MGSCpoint[num[2][2][1]][4], g.cell(0, 0, 0));
  EXPECT_EQ(WCStart, block[4].cellstart);
  EXPECT_EQ(WCEnd, block[4].cellend);
}

// Levels that do not fit the arrays of F 65 end the run (the levels would be incomplete).
TEST_F(Sequencing, LevelsBeyondTheArraysEndTheRun) {
  struct Case {
    const char* name;
    int mgs;
    void (*shrink)();
    const char* message;
  };
  const Case cases[] = {
      {"surfaces of level 1", 2, [] { MaxFlater = 20; },
       "Error: Unstructured arrays are too small. Increase NoSurfaces with the F 65 data set.\n"
       " \t\t\t\t\tNoPoints, NoSurfaces, NoCells = "},
      {"cells of level 1", 2, [] { MaxCeller = NoCells + 5; },
       "Error: Unstructured arrays are too small. Increase cell numbers in the F 65 data set.\n"
       " \t\t\t\tNoPoints, NoSurfaces, NoCells = "},
      {"cells of level 2", 3, [] { MaxCeller = NoCells + 16 + 2 + 1; },
       "Error: Unstructured arrays are too small. Increase cell numbers in the F 65 data set.\n"
       " \t\t\t\tNoPoints, NoSurfaces, NoCells = "},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    SetArraysZero();
    setDefaults();
    MGSNo = k.mgs;
    const Columns g = makeColumns(4, 4, 1, 40);
    corners(g);
    k.shrink();
    EXPECT_EQ(endStatus(), 1);
    EXPECT_NE(read("boogie").find(k.message), std::string::npos) << read("boogie");
    std::remove("boogie");
  }
}

}  // namespace
}  // namespace qorva::test
