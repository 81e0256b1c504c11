// The two grid quality checks of a block window: each rule on a small window whose counts,
// beds and water levels before and after are worked out by hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/grid.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using Map = std::vector<std::string>;

class GridStability : public test::Scratch {
 protected:
  // A plane of 10 by 10 grid lines (0..9) with 11 levels, every line 1 m deep (water level 0).
  // Options that decide which arrays exist (F 488) are set before.
  void allocate() {
    xnumber = 8;
    ynumber = 8;
    znumber = 11;
    MaxCeller = MaxFlater = MaxPunkter = 100;
    MaxNester = 10;
    MaxConnFlate = 10;
    ASSERT_EQ(sialloc(), 0);
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
    for (int i = 0; i <= 9; ++i)
      for (int j = 0; j <= 9; ++j) setDepth(i, j, 1.0);
  }
  // The rules that act with the default options switched off, so that the rule under test
  // acts alone.
  static void onlyRule() {
    FlagGridStab1 = 0;
    FlagGridStab4 = 0;
    FlagPresDebug = 2;
  }
  static void setDepth(int i, int j, double depth) { setLevels(i, j, 0.0, -depth); }
  static void setLevels(int i, int j, double water, double bed) {
    zval[i][j][znumber] = water;
    zval[i][j][1] = bed;
  }
  static double depthOf(int i, int j) { return zval[i][j][znumber] - zval[i][j][1]; }

  // Maps of counts: rows from north to south, so row r of n is j = j0 + n - 1 - r, and
  // character x of a row is i = i0 + x.
  static void put(Table2<int>& t, int i0, int j0, const Map& rows) {
    const int n = static_cast<int>(rows.size());
    for (int r = 0; r < n; ++r)
      for (int x = 0; x < static_cast<int>(rows[r].size()); ++x)
        t[i0 + x][j0 + n - 1 - r] = rows[r][x] - '0';
  }
  static Map get(const Table2<int>& t, int i0, int j0, int width, int height) {
    Map rows;
    for (int r = 0; r < height; ++r) {
      std::string s;
      for (int x = 0; x < width; ++x) s += static_cast<char>('0' + t[i0 + x][j0 + height - 1 - r]);
      rows.push_back(s);
    }
    return rows;
  }
  static void fillLines(int n) {
    for (int i = 0; i <= 9; ++i)
      for (int j = 0; j <= 9; ++j) antlin[i][j] = n;
  }
};

// ---------------------------------------------------------------------------------------------
// Grid1Stability

TEST_F(GridStability, IsolatedWetLinesDryWithTheDefaults) {
  allocate();
  // Window of columns 2..5 by 2..4: lines 1..5 by 1..4; the map shows lines 0..6 by 0..5.
  const Map before = {"0000000",
                      "0111132",
                      "0131115",
                      "0111420",
                      "0211111",
                      "0000000"};
  // (2,3) and (1,1) stand alone; (4,2)-(5,2) hold each other; (5,4) has a wet neighbour (6,4)
  // beyond the window, which itself is left alone, as is (6,3).
  const Map after = {"0000000",
                     "0111132",
                     "0111115",
                     "0111420",
                     "0111111",
                     "0000000"};
  struct Case {
    int presDebug;
    const Map& expected;
  } cases[] = {{0, after}, {2, before}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.presDebug);
    FlagPresDebug = k.presDebug;
    put(antlin, 0, 0, before);
    Grid1Stability(2, 5, 2, 4);
    EXPECT_EQ(get(antlin, 0, 0, 7, 6), k.expected);
  }
}

TEST_F(GridStability, ThinDiagonalsCapTheOtherCorners) {
  allocate();
  onlyRule();
  MinVertDist0 = 0.001;
  // Column (2,2): corners (1,1), (2,1), (2,2), (1,2); the maps show lines 1..2 by 1..2.
  struct Case {
    const char* what;
    int option;
    Map counts;
    double sw, se, ne, nw;  // depths
    Map expected;
  } cases[] = {
      {"SW-NE thin caps SE and NW", 1, {"55", "55"}, 0.0002, 1.0, 0.0005, 1.0, {"25", "52"}},
      {"SE-NW thin caps SW and NE", 1, {"55", "55"}, 1.0, 0.0002, 1.0, 0.0005, {"52", "25"}},
      {"both diagonals thin", 1, {"55", "55"}, 0.0005, 0.0005, 0.0005, 0.0005, {"22", "22"}},
      {"dry column untouched", 1, {"11", "11"}, 0.0005, 0.0005, 0.0005, 0.0005, {"11", "11"}},
      {"option off", 0, {"55", "55"}, 0.0005, 0.0005, 0.0005, 0.0005, {"55", "55"}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    FlagGridStab6 = k.option;
    put(antlin, 1, 1, k.counts);
    setDepth(1, 1, k.sw);
    setDepth(2, 1, k.se);
    setDepth(2, 2, k.ne);
    setDepth(1, 2, k.nw);
    Grid1Stability(2, 2, 2, 2);
    EXPECT_EQ(get(antlin, 1, 1, 2, 2), k.expected);
  }
}

TEST_F(GridStability, InteriorLinesCappedByTheShallowestColumnAround) {
  allocate();
  onlyRule();
  FlagGridStab6 = 2;
  // Window of columns 2..3 by 2..3: lines 1..3 by 1..3, one interior line (2,2).
  struct Case {
    const char* what;
    Map before, after;
  } cases[] = {
      // smallest corners of the four columns: 4, 5, 5, 6; 4 + 9 = 13 gives 13 / 2 = 6
      {"deep: half the sum", {"678", "596", "457"}, {"678", "566", "457"}},
      {"sum 5 gives one cell", {"222", "232", "222"}, {"222", "222", "222"}},
      {"sum 6 gives 3 levels", {"222", "242", "222"}, {"222", "232", "222"}},
      {"a dry corner: 1 + 4 = 5", {"222", "242", "122"}, {"222", "222", "122"}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    put(antlin, 1, 1, k.before);
    Grid1Stability(2, 3, 2, 3);
    EXPECT_EQ(get(antlin, 1, 1, 3, 3), k.after);
    for (int i = 0; i <= 9; ++i)
      for (int j = 0; j <= 9; ++j) EXPECT_EQ(antmin[i][j], 0);
  }
}

TEST_F(GridStability, LinesFollowTheirThinNeighbours) {
  allocate();
  onlyRule();
  // Window of columns 3..5 by 2: lines 2..5 by 1..2; the maps show lines 1..6 by 0..3.
  const Map limit = {"555555",
                     "555255",
                     "514555",
                     "555155"};
  // (4,1) is limited to 2 by its j-neighbours; on the backward sweep (3,1), beside the thin
  // (2,1), follows it down to 2.
  const Map limitOnce = {"555555",
                         "555255",
                         "514255",
                         "555155"};
  const Map limitTwice = {"555555",
                          "555255",
                          "512255",
                          "555155"};
  // A thin and a deep neighbour: (2,1) and (5,1) get one cell; (3,1) does not, as its west
  // neighbour has just become 2.
  const Map bridge = {"555555",
                      "555555",
                      "511311",
                      "555555"};
  const Map bridged = {"555555",
                       "555555",
                       "521321",
                       "555555"};
  struct Case {
    const char* what;
    int option;
    const Map& before;
    const Map& after;
  } cases[] = {
      {"one forward sweep", 1, limit, limitOnce},
      {"forward and backward sweeps", 3, limit, limitTwice},
      {"interior lines only: a one-row window has none", 2, limit, limit},
      {"one cell between thin and deep", 4, bridge, bridged},
      {"option off", 0, limit, limit},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    FlagGridStab9 = k.option;
    put(antlin, 1, 0, k.before);
    Grid1Stability(3, 5, 2, 2);
    EXPECT_EQ(get(antlin, 1, 0, 6, 4), k.after);
  }
}

TEST_F(GridStability, InteriorThinLineRuleLeavesTheWindowEdge) {
  allocate();
  onlyRule();
  FlagGridStab9 = 2;
  // Window of columns 2..4 by 2..3: interior lines 2..3 by 2. Map of lines 0..5 by 1..3.
  // (2,2) lies between two thin lines and takes 1; (4,2) would too but is on the edge.
  put(antlin, 0, 1, {"555555", "214150", "555555"});
  Grid1Stability(2, 4, 2, 3);
  EXPECT_EQ(get(antlin, 0, 1, 6, 3), (Map{"555555", "211150", "555555"}));
}

TEST_F(GridStability, DryPairsBetweenWetLinesOpen) {
  allocate();
  onlyRule();
  MinVertDist0 = 0.01;
  // Window of columns 2..5 by 2..4; maps of lines 1..6 by 1..5. The pair (3,3)-(4,3) is dry.
  const Map allSides = {"111111",
                        "113311",
                        "111111",
                        "113211",
                        "111111"};
  const Map oneEachSide = {"111111",
                           "111311",
                           "111111",
                           "113111",
                           "111111"};
  const Map wetBeyond = {"111111",
                         "111311",
                         "111121",
                         "113111",
                         "111111"};
  struct Case {
    const char* what;
    int option;
    const Map& before;
    bool opens;
  } cases[] = {
      {"all four lines beside wet", 2, allSides, true},
      {"all four beside wet, rule 3", 3, allSides, true},
      {"all four beside wet, rule 11", 11, allSides, true},
      {"all four beside wet, rule 12", 12, allSides, true},
      {"all four beside wet, rule 14", 14, allSides, true},
      {"one wet line each side", 2, oneEachSide, false},
      {"one wet line each side, rule 3", 3, oneEachSide, false},
      {"one wet line each side, dry beyond, rule 11", 11, oneEachSide, true},
      {"one wet line each side, dry beyond, rule 12", 12, oneEachSide, true},
      {"one wet line each side, rule 14", 14, oneEachSide, true},
      {"wet line beyond, rule 11", 11, wetBeyond, false},
      {"wet line beyond, rule 12", 12, wetBeyond, false},
      {"wet line beyond, rule 14", 14, wetBeyond, true},
      {"option of the second check only", 5, allSides, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    FlagGridStab2 = k.option;
    put(antlin, 1, 1, k.before);
    for (int i = 0; i <= 9; ++i)
      for (int j = 0; j <= 9; ++j) setDepth(i, j, 0.0005);
    setDepth(4, 3, 1.0);  // already deep enough: its bed stays
    Grid1Stability(2, 5, 2, 4);
    Map expected = k.before;
    if (k.opens) expected[2][2] = expected[2][3] = '2';  // lines (3,3) and (4,3)
    EXPECT_EQ(get(antlin, 1, 1, 6, 5), expected);
    EXPECT_DOUBLE_EQ(depthOf(3, 3), k.opens ? 0.010001 : 0.0005);
    EXPECT_DOUBLE_EQ(depthOf(4, 3), 1.0);
    EXPECT_DOUBLE_EQ(depthOf(5, 3), 0.0005);
  }
}

TEST_F(GridStability, PairsAcrossTheWaterlineDryWithRule3) {
  allocate();
  onlyRule();
  MinVertDist0 = 0.01;  // pairs whose depths sum below 0.001 dry
  fillLines(2);
  setDepth(3, 3, -0.5);
  setDepth(4, 3, 0.4);   // with (3,3): sum -0.1, dries
  setDepth(5, 3, -0.2);  // with (4,3): sum 0.2; with (6,3): sum 0.1
  setDepth(6, 3, 0.3);
  for (int option : {3, 2}) {
    SCOPED_TRACE(option);
    FlagGridStab2 = option;
    fillLines(2);
    Grid1Stability(2, 5, 2, 4);
    EXPECT_EQ(get(antlin, 1, 3, 6, 1), Map{option == 3 ? "221122" : "222222"});
    EXPECT_EQ(get(antlin, 1, 4, 6, 1), Map{"222222"});
  }
}

TEST_F(GridStability, DryLinesBetweenWetNeighboursWetInBothLayers) {
  UMethod2 = 1;  // creates antlinT
  allocate();
  onlyRule();
  // Window of columns 2..4 by 2..4: interior lines 2..3 by 2..3; maps of lines 1..4 by 1..4.
  struct Case {
    const char* what;
    int option;
    Map before;
    double depth33;
    Map after;
  } cases[] = {
      // (3,2) takes one cell from its j-neighbours; the backward sweep then gives (2,2) one
      // from its i-neighbours (1,2) and (3,2).
      {"backward sweep", 1, {"1111", "1131", "3111", "1131"}, 0.5,
       {"1111", "1131", "3221", "1131"}},
      // (2,2) from (1,2) and (3,2), then (2,3) from (2,2) and (2,4); (3,3) has no water.
      {"dry bed stays dry", 1, {"1311", "1113", "3131", "1111"}, -0.2,
       {"1311", "1213", "3231", "1111"}},
      {"option off", 0, {"1111", "1131", "3111", "1131"}, 0.5,
       {"1111", "1131", "3111", "1131"}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    FlagGridStab10 = k.option;
    for (int i = 0; i <= 9; ++i)
      for (int j = 0; j <= 9; ++j) setDepth(i, j, 0.5);
    setDepth(3, 3, k.depth33);
    put(antlin, 1, 1, k.before);
    put(antlinT, 1, 1, k.before);
    Grid1Stability(2, 4, 2, 4);
    EXPECT_EQ(get(antlin, 1, 1, 4, 4), k.after);
    EXPECT_EQ(get(antlinT, 1, 1, 4, 4), k.after);
  }
}

TEST_F(GridStability, DryLinesBetweenWetNeighboursNeedTheLowerLayer) {
  allocate();  // no antlinT without the two-layer grid
  onlyRule();
  FlagGridStab10 = 1;
  put(antlin, 1, 1, {"1111", "1131", "3111", "1131"});
  Grid1Stability(2, 4, 2, 4);
  EXPECT_EQ(get(antlin, 1, 1, 4, 4), (Map{"1111", "1131", "3111", "1131"}));
}

TEST_F(GridStability, WindowEdgeLinesRaisedToTheirInnerNeighbours) {
  allocate();
  onlyRule();
  FlagGridStab4 = 2;
  // Window of columns 2..3 by 2..3: lines 1..3 by 1..3. Column by column (j outer): (1,2) and
  // (2,1) take 5 from (2,2); (3,2) and then (3,1) take 5; (1,3) takes 2 from (2,3) before
  // (2,3) takes 5 from (2,2); (3,3) takes 5. The corner (1,1) is no column's edge line.
  put(antlin, 1, 1, {"121", "154", "311"});
  Grid1Stability(2, 3, 2, 3);
  EXPECT_EQ(get(antlin, 1, 1, 3, 3), (Map{"255", "555", "355"}));
}

TEST_F(GridStability, LowerLayerNeverCountsMoreThanTheLine) {
  UMethod2 = 1;
  allocate();
  onlyRule();
  for (int i = 0; i <= 9; ++i)
    for (int j = 0; j <= 9; ++j) antlinT[i][j] = 3;
  // Window of columns 2..3 by 2: lines 1..3 by 1..2; line (4,1) lies beyond it.
  put(antlin, 1, 1, {"1520", "4140"});
  Grid1Stability(2, 3, 2, 2);
  EXPECT_EQ(get(antlinT, 1, 1, 4, 2), (Map{"1323", "3133"}));
}

TEST_F(GridStability, Method114CapsCornersOfColumnsBelowTheWater) {
  allocate();
  onlyRule();
  UMethod = 114;
  struct Case {
    const char* what;
    int cells;
    double sw;  // depth of (1,1); the others 0.5, 0.25, 0 give a mean of (sw + 0.75) / 4
    const char* after;
  } cases[] = {
      {"cells and a negative mean", 3, -1.0, "22"},
      {"no cells", 0, -1.0, "55"},
      {"mean zero", 3, -0.75, "55"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    put(antlin, 1, 1, {"55", "55"});
    ant[2][2] = k.cells;
    setDepth(1, 1, k.sw);
    setDepth(2, 1, 0.5);
    setDepth(2, 2, 0.25);
    setDepth(1, 2, 0.0);
    Grid1Stability(2, 2, 2, 2);
    EXPECT_EQ(get(antlin, 1, 1, 2, 2), (Map{k.after, k.after}));
  }
}

// ---------------------------------------------------------------------------------------------
// Grid2Stability

TEST_F(GridStability, LoneWetColumnLosesItsCellsWithTheDefaults) {
  allocate();
  fillLines(1);
  put(antlin, 2, 2, {"33", "33"});  // corners of column (3,3)
  ant[3][3] = 2;
  Grid2Stability(2, 5, 2, 5);
  EXPECT_EQ(ant[3][3], 0);
}

TEST_F(GridStability, DeadEndChannelIsEatenBackToItsPool) {
  allocate();
  fillLines(1);
  // Pool of columns 2..3 by 2..3 and a channel of columns 4..6 in row 3; every corner line of
  // a wet column holds 3 levels. Maps of columns 1..7 by 1..5.
  put(antlin, 1, 1, {"333", "333", "333"});  // lines 1..3 by 1..3
  put(antlin, 3, 2, {"3333", "3333"});       // lines 3..6 by 2..3
  put(ant, 1, 1, {"0000000", "0000000", "0222220", "0220000", "0000000"});
  // One sweep removes (6,3), the next (5,3), the third (4,3); the pool columns keep two open
  // sides each.
  Grid2Stability(1, 7, 1, 5);
  EXPECT_EQ(get(ant, 1, 1, 7, 5),
            (Map{"0000000", "0000000", "0220000", "0220000", "0000000"}));
}

TEST_F(GridStability, ChannelBetweenTwoPoolsStays) {
  allocate();
  fillLines(1);
  // Pools of columns 1..2 and 6..7 by 2..3, joined by a channel of columns 3..5 in row 3.
  put(antlin, 0, 1, {"33333333", "33333333", "33311333"});  // lines 0..7 by 1..3
  put(ant, 1, 1, {"0000000", "2222222", "2200022", "0000000"});
  const Map before = get(ant, 1, 1, 7, 4);
  Grid2Stability(1, 8, 1, 4);
  EXPECT_EQ(get(ant, 1, 1, 7, 4), before);
}

TEST_F(GridStability, IsolatedColumnsLoseTheirCells) {
  allocate();
  FlagGridStab1 = 0;  // no dead-end sweeps: only the isolated columns go
  // Column (2,2) alone; (4,2) and (5,2) hold each other; (2,4) and (3,4) touch only through
  // a dry side, lines (2,3) and (2,4).
  struct Case {
    const char* what;
    int option, i1, i2;
    Map after;  // columns 1..6 by 1..4
  } cases[] = {
      {"isolated columns go", 1, 1, 6, {"000000", "000000", "000220", "000000"}},
      {"so they do with option 6", 6, 1, 6, {"000000", "000000", "000220", "000000"}},
      {"a window one column wide keeps them", 1, 2, 2, {"022000", "000000", "020220", "000000"}},
      {"option off", 0, 1, 6, {"022000", "000000", "020220", "000000"}},
      {"option 2 is not this rule", 2, 1, 6, {"022000", "000000", "020220", "000000"}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    FlagGridStab4 = k.option;
    fillLines(1);
    put(antlin, 1, 4, {"313"});         // (1,4) and (3,4) wet, (2,4) and (2,3) dry
    put(antlin, 1, 1, {"33", "33"});    // corners of (2,2)
    put(antlin, 3, 1, {"333", "333"});  // corners of (4,2) and (5,2)
    put(ant, 1, 1, {"022000", "000000", "020220", "000000"});
    Grid2Stability(k.i1, k.i2, 1, 4);
    EXPECT_EQ(get(ant, 1, 1, 6, 4), k.after);
  }
}

TEST_F(GridStability, ColumnsBelowTheWaterLoseTheirCellsByMethod) {
  allocate();
  onlyRule();
  struct Case {
    const char* what;
    int method;
    double d2, sw, se, ne, nw;
    int cells;
  } cases[] = {
      {"111: mean -0.25", 111, 0.0, 1.0, -2.0, -1.0, 1.0, 0},
      {"113: mean -0.25", 113, 0.0, 1.0, -2.0, -1.0, 1.0, 0},
      {"111: mean 0.125", 111, 0.0, 1.0, -2.0, -1.0, 2.5, 2},
      {"112: mean 0.125 below 0.2", 112, 0.2, 0.125, 0.125, 0.125, 0.125, 0},
      {"112: mean 0.125 above 0.1", 112, 0.1, 0.125, 0.125, 0.125, 0.125, 2},
      {"default method", 11, 0.0, 1.0, -2.0, -1.0, 1.0, 2},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    UMethod = k.method;
    MinVertDist2 = k.d2;
    setDepth(2, 2, k.sw);
    setDepth(3, 2, k.se);
    setDepth(3, 3, k.ne);
    setDepth(2, 3, k.nw);
    ant[3][3] = 2;
    Grid2Stability(3, 3, 3, 3);
    EXPECT_EQ(ant[3][3], k.cells);
  }
}

TEST_F(GridStability, ShallowColumnsLoseTheirCellsByRule) {
  allocate();
  onlyRule();
  MinVertDist0 = 0.25;
  // Roughness scale of column (3,3): the larger of its bed roughness 0.1 and 3 * 0.05.
  pointbed[3][3] = 1;
  Broughness[1] = 0.1;
  gsize[lnumber] = 0.05;
  struct Case {
    const char* what;
    int rule, iter;
    double sw, se, ne, nw;
    int cells;
  } cases[] = {
      {"1: SW-NE below water", 1, 0, -1.0, 1.0, -0.5, 1.0, 0},
      {"1: SE-NW below water", 1, 0, 1.0, -1.0, 1.0, -0.5, 0},
      {"1: one side below water", 1, 0, -1.0, -1.0, 1.0, 1.0, 2},
      {"2: first iteration waits", 2, 1, 0.02, 0.02, 0.01, -0.5, 2},
      {"2: 0.05 / 0.15 below 0.4", 2, 2, 0.02, 0.02, 0.01, -0.5, 0},
      {"2: 0.07 / 0.15 above 0.4", 2, 2, 0.03, 0.03, 0.01, -0.5, 2},
      {"3: 0.0125 / 0.15 below 0.1", 3, 0, 0.02, 0.02, 0.01, -0.5, 0},
      {"3: 0.0175 / 0.15 above 0.1", 3, 0, 0.03, 0.03, 0.01, 0.0, 2},
      {"4: mean 0.21875 below 0.25", 4, 0, 0.125, 0.25, 0.25, 0.25, 0},
      {"4: mean exactly 0.25", 4, 0, 0.25, 0.25, 0.25, 0.25, 2},
      {"4: mean 0.0625", 4, 0, 1.0, -1.0, 0.25, 0.0, 0},
      {"7: mean -0.0625", 7, 0, 0.5, -1.0, 0.25, 0.0, 0},
      {"7: mean 0.0625", 7, 0, 1.0, -1.0, 0.25, 0.0, 2},
      {"8: wet mean 0.1875", 8, 0, 0.5, -1.0, 0.25, 0.0, 0},
      {"8: wet mean 0.3125", 8, 0, 1.0, -1.0, 0.25, 0.0, 2},
      {"off", 0, 0, -1.0, -1.0, -1.0, -1.0, 2},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    FlagGridStab7 = k.rule;
    Iter = k.iter;
    setDepth(2, 2, k.sw);
    setDepth(3, 2, k.se);
    setDepth(3, 3, k.ne);
    setDepth(2, 3, k.nw);
    ant[3][3] = 2;
    Grid2Stability(3, 3, 3, 3);
    EXPECT_EQ(ant[3][3], k.cells);
  }
}

TEST_F(GridStability, ShallowColumnsWithoutRoughnessScaleKeepTheirCells) {
  allocate();
  onlyRule();
  // No bed cell, no roughness and no grain size: the ratio to the roughness scale has no
  // meaning, and the column is left as it is rather than judged by a division by zero.
  gsize[lnumber] = 0.0;
  Iter = 2;
  for (int rule : {2, 3}) {
    SCOPED_TRACE(rule);
    FlagGridStab7 = rule;
    for (int i = 2; i <= 3; ++i)
      for (int j = 2; j <= 3; ++j) setDepth(i, j, 0.0);
    ant[3][3] = 2;
    Grid2Stability(3, 3, 3, 3);
    EXPECT_EQ(ant[3][3], 2);
  }
}

TEST_F(GridStability, NewlyWetColumnKeepsItsWaterLevelsTogether) {
  allocate();
  onlyRule();
  FlagGridStab7 = 5;
  // Diagonal of column (3,3) from (2,2) to (3,3): 3 m by 4 m, so 5 m and d = 0.1 m.
  for (int i = 0; i <= 9; ++i)
    for (int j = 0; j <= 9; ++j) {
      xval[i][j] = 3.0 * i;
      yval[i][j] = 4.0 * j;
    }
  struct Case {
    const char* what;
    int cells, oldBottom;
    double ne[2], nw[2], se[2], sw[2];  // water, bed
    double after[4];                     // water levels NE, NW, SE, SW
  } cases[] = {
      // NW (1.5 m) is the deepest: levels into 10.3 +- 0.1
      {"deepest corner leads", 2, 0, {10.0, 9.0}, {10.3, 8.8}, {9.5, 9.4}, {10.05, 10.2},
       {10.2, 10.3, 10.2, 10.2}},
      // NE and NW equally deep: NE, taken first, leads: 10.0 +- 0.1
      {"first of equals leads", 2, 0, {10.0, 8.5}, {10.25, 8.75}, {9.5, 9.4}, {10.05, 10.2},
       {10.0, 10.1, 9.9, 10.05}},
      {"wet before", 2, 4, {10.0, 9.0}, {10.3, 8.8}, {9.5, 9.4}, {10.05, 10.2},
       {10.0, 10.3, 9.5, 10.05}},
      {"no cells", 0, 0, {10.0, 9.0}, {10.3, 8.8}, {9.5, 9.4}, {10.05, 10.2},
       {10.0, 10.3, 9.5, 10.05}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    ant[3][3] = k.cells;
    pointcell_old[3][3] = k.oldBottom;
    setLevels(3, 3, k.ne[0], k.ne[1]);
    setLevels(2, 3, k.nw[0], k.nw[1]);
    setLevels(3, 2, k.se[0], k.se[1]);
    setLevels(2, 2, k.sw[0], k.sw[1]);
    Grid2Stability(3, 3, 3, 3);
    EXPECT_NEAR(zval[3][3][znumber], k.after[0], 1e-12);
    EXPECT_NEAR(zval[2][3][znumber], k.after[1], 1e-12);
    EXPECT_NEAR(zval[3][2][znumber], k.after[2], 1e-12);
    EXPECT_NEAR(zval[2][2][znumber], k.after[3], 1e-12);
    EXPECT_EQ(zval[2][3][1], k.nw[1]);  // beds stay
    EXPECT_EQ(ant[3][3], k.cells);
  }
}

TEST_F(GridStability, MostlyThinColumnRaisesItsDeepCorners) {
  allocate();
  onlyRule();
  FlagGridStab7 = 6;
  MinVertDist0 = 0.25;
  struct Case {
    const char* what;
    double ne;       // depth of (3,3); SW 0.125, SE 0, NW 2 (water 5, bed 3)
    double nwBed;
  } cases[] = {
      {"three thin corners", -1.0, 4.75},
      {"two thin corners", 1.0, 3.0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    setDepth(2, 2, 0.125);
    setDepth(3, 2, 0.0);
    setDepth(3, 3, k.ne);
    setLevels(2, 3, 5.0, 3.0);
    ant[3][3] = 0;  // the rule looks at columns without cells too
    Grid2Stability(3, 3, 3, 3);
    EXPECT_DOUBLE_EQ(zval[2][3][1], k.nwBed);
    EXPECT_DOUBLE_EQ(depthOf(2, 2), 0.125);
    EXPECT_DOUBLE_EQ(depthOf(3, 3), k.ne);
  }
}

TEST_F(GridStability, ColumnsWithThreeDryCornersByTheirSides) {
  allocate();
  onlyRule();
  FlagGridStab4 = 5;
  // Column (3,3) with one cell, corners SW (2,2), SE (3,2), NE (3,3), NW (2,3); its
  // neighbours E (4,3), W (2,3), N (3,4), S (3,2) lie outside the one-column window.
  struct Case {
    const char* what;
    Map corners;  // lines 2..3 by 2..3
    int e, w, n, s;
    int cells;
  } cases[] = {
      {"dry east side onto a wet column", {"31", "11"}, 1, 1, 1, 1, 0},
      {"all sides onto wet columns but the east", {"31", "11"}, 0, 1, 1, 1, 1},
      {"dry south side onto a dry column", {"31", "11"}, 0, 1, 1, 0, 0},
      {"dry west side onto a dry column", {"11", "13"}, 0, 0, 1, 1, 0},
      {"dry north side onto a dry column", {"11", "13"}, 0, 1, 0, 1, 0},
      {"two wet corners", {"33", "11"}, 1, 0, 0, 0, 1},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    fillLines(1);
    put(antlin, 2, 2, k.corners);
    ant[3][3] = 1;
    ant[4][3] = k.e;
    ant[2][3] = k.w;
    ant[3][4] = k.n;
    ant[3][2] = k.s;
    Grid2Stability(3, 3, 3, 3);
    EXPECT_EQ(ant[3][3], k.cells);
  }
}

TEST_F(GridStability, ThinConnectionsBetweenWetColumnsDeepen) {
  allocate();
  onlyRule();
  MinVertDist0 = 0.25;
  MinVertDist1 = 1.0;
  // Columns (3,3) and (4,3) meet on lines (3,2) and (3,3). Corner depths of (3,3): (2,2) and
  // (2,3) 2 m; of (4,3): (4,2) and (4,3) 4 m. (2,3) and (5,3) are the columns beyond.
  struct Case {
    const char* what;
    int rule;
    double a, b;  // depths of (3,2), (3,3)
    int west, cells33, cells43;
    double a2, b2;
  } cases[] = {
      {"1: sum 0.25 below 0.4", 1, 0.125, 0.125, 0, 1, 2, 0.2, 0.2},
      {"1: sum 0.5", 1, 0.125, 0.375, 0, 1, 2, 0.125, 0.375},
      {"4: sum 0.75 below 1", 4, 0.125, 0.625, 0, 1, 2, 0.5, 0.625},
      {"7: sum 0.75 below 1", 7, 0.125, 0.625, 0, 1, 2, 1.0, 1.0},
      // (3,3) has one cell and nothing beyond: h = 4.25 / 16
      {"5: single-cell end column", 5, 0.125, 0.125, 0, 1, 2, 0.265625, 0.265625},
      {"5: column beyond has cells", 5, 0.125, 0.125, 1, 1, 2, 0.25, 0.25},
      // both columns count: h = max(4.25, 8.25) / 16
      {"6: both columns", 6, 0.125, 0.125, 1, 2, 2, 0.515625, 0.515625},
      // h from 1 m; only (3,2), which has 2 levels, is deepened
      {"8: wet lines only", 8, 0.125, 0.125, 0, 1, 2, 1.0, 0.125},
      {"5: one side dry", 5, 0.125, 0.125, 0, 1, 0, 0.125, 0.125},
      {"off", 0, 0.125, 0.125, 0, 1, 2, 0.125, 0.125},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    FlagGridStab2 = k.rule;
    fillLines(1);
    antlin[3][2] = 2;
    setDepth(2, 2, 2.0);
    setDepth(2, 3, 2.0);
    setDepth(4, 2, 4.0);
    setDepth(4, 3, 4.0);
    setDepth(3, 2, k.a);
    setDepth(3, 3, k.b);
    ant[2][3] = k.west;
    ant[3][3] = k.cells33;
    ant[4][3] = k.cells43;
    Grid2Stability(3, 4, 3, 3);
    EXPECT_DOUBLE_EQ(depthOf(3, 2), k.a2);
    EXPECT_DOUBLE_EQ(depthOf(3, 3), k.b2);
    EXPECT_DOUBLE_EQ(depthOf(2, 2), 2.0);
  }
}

TEST_F(GridStability, ThinConnectionsDeepenAcrossNorthFacesToo) {
  allocate();
  onlyRule();
  MinVertDist0 = 0.25;
  FlagGridStab2 = 1;
  // Columns (3,3) and (3,4) meet on lines (2,3) and (3,3).
  setDepth(2, 3, 0.125);
  setDepth(3, 3, 0.125);
  ant[3][3] = ant[3][4] = 1;
  Grid2Stability(3, 3, 3, 4);
  EXPECT_DOUBLE_EQ(depthOf(2, 3), 0.2);
  EXPECT_DOUBLE_EQ(depthOf(3, 3), 0.2);
  EXPECT_DOUBLE_EQ(depthOf(3, 2), 1.0);
}

TEST_F(GridStability, WetCornersOfWetColumnsDeepen) {
  allocate();
  onlyRule();
  FlagGridStab5 = 1;
  MinVertDist1 = 1.0;
  for (int cells : {2, 0}) {
    SCOPED_TRACE(cells);
    put(antlin, 2, 2, {"22", "31"});  // NW 2, NE 2, SW 3, SE 1
    setDepth(2, 2, 0.5);
    setDepth(3, 2, 0.5);
    setDepth(3, 3, 2.0);
    setDepth(2, 3, 0.25);
    ant[3][3] = cells;
    Grid2Stability(3, 3, 3, 3);
    EXPECT_DOUBLE_EQ(depthOf(2, 2), cells ? 1.0 : 0.5);
    EXPECT_DOUBLE_EQ(depthOf(3, 2), 0.5);  // dry line
    EXPECT_DOUBLE_EQ(depthOf(3, 3), 2.0);  // deep enough
    EXPECT_DOUBLE_EQ(depthOf(2, 3), cells ? 1.0 : 0.25);
  }
}

TEST_F(GridStability, OuterCornerColumnKeepsOneCell) {
  allocate();
  onlyRule();
  FlagGridStab8 = 1;
  // Column (3,3) with 3 cells; corners shown as lines 2..3 by 2..3 (NW NE / SW SE).
  struct Case {
    const char* what;
    Map before;
    int e, w, n, s;
    Map after;
    int cells;
  } cases[] = {
      {"north-east corner", {"14", "22"}, 0, 1, 0, 1, {"12", "22"}, 1},
      {"south-west corner", {"21", "42"}, 1, 0, 1, 0, {"21", "22"}, 1},
      {"north-west corner", {"41", "22"}, 1, 0, 0, 1, {"21", "22"}, 1},
      {"south-east corner", {"21", "24"}, 0, 1, 1, 0, {"21", "22"}, 1},
      {"a second deep corner", {"14", "32"}, 0, 1, 0, 1, {"14", "32"}, 3},
      {"deep corner away from the dry sides", {"12", "42"}, 0, 1, 0, 1, {"12", "42"}, 3},
      {"no dry sides", {"14", "22"}, 1, 1, 1, 1, {"14", "22"}, 3},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    put(antlin, 2, 2, k.before);
    ant[3][3] = 3;
    ant[4][3] = k.e;
    ant[2][3] = k.w;
    ant[3][4] = k.n;
    ant[3][2] = k.s;
    Grid2Stability(3, 3, 3, 3);
    EXPECT_EQ(get(antlin, 2, 2, 2, 2), k.after);
    EXPECT_EQ(ant[3][3], k.cells);
  }
}

TEST_F(GridStability, WetAreaGrowsByOneColumnPerRebuild) {
  allocate();
  onlyRule();
  // Window of columns 1..5 by 1..5; only (3,2) was wet in the previous grid.
  pointcell_old[3][2] = 7;
  const Map before = {"00002", "00020", "00200", "02000", "20000"};  // columns 1..5 by 1..5
  for (int option : {1, 0}) {
    SCOPED_TRACE(option);
    FlagLimitExpansion = option;
    put(ant, 1, 1, before);
    Grid2Stability(1, 5, 1, 5);
    // (4,4) has no wet neighbour before; (2,2) and (3,3) touch (3,2); (1,1) and (5,5) lie on
    // the window edge.
    EXPECT_EQ(get(ant, 1, 1, 5, 5),
              (option ? Map{"00002", "00000", "00200", "02000", "20000"} : before));
  }
}

TEST_F(GridStability, NewlyWetColumnNeedsTheMeanDepth) {
  allocate();
  onlyRule();
  MinVertDist2 = 0.5;
  struct Case {
    const char* what;
    int option, oldBottom;
    double depth;
    int cells;
  } cases[] = {
      {"dry before, shallow", 1, 0, 0.25, 0},
      {"wet before", 1, 4, 0.25, 2},
      {"deep enough", 1, 0, 0.75, 2},
      {"option off", 0, 0, 0.25, 2},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    FlagGridStab11 = k.option;
    pointcell_old[3][3] = k.oldBottom;
    for (int i = 2; i <= 3; ++i)
      for (int j = 2; j <= 3; ++j) setDepth(i, j, k.depth);
    ant[3][3] = 2;
    Grid2Stability(3, 3, 3, 3);
    EXPECT_EQ(ant[3][3], k.cells);
  }
}

// ---------------------------------------------------------------------------------------------
// Both checks with the level counts, and windows at the table edges

TEST_F(GridStability, LevelCountsAndChecksTogether) {
  allocate();
  MinVertDist0 = 0.001;
  MinVertDist1 = 0.01;
  struct Case {
    const char* what;
    std::vector<std::pair<int, int>> wetLines;  // 1 m deep, 4 levels at the scale 0.1
    int wetColumns;
  } cases[] = {
      {"a lone wet line dries", {{3, 3}}, 0},
      // The 3 by 3 columns around the square each keep at least two open sides.
      {"a square of wet lines", {{3, 3}, {4, 3}, {3, 4}, {4, 4}}, 9},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    for (int i = 0; i <= 9; ++i)
      for (int j = 0; j <= 9; ++j) setDepth(i, j, 0.0);
    for (const auto& [i, j] : k.wetLines) setDepth(i, j, 1.0);
    MakeAntlin(1, 6, 1, 6, 0.1);
    Grid1Stability(1, 6, 1, 6);
    MakeAnt(1, 6, 1, 6);
    Grid2Stability(1, 6, 1, 6);
    int wet = 0;
    for (int i = 1; i <= 6; ++i)
      for (int j = 1; j <= 6; ++j) {
        if (ant[i][j] == 0) continue;
        ++wet;
        EXPECT_EQ(ant[i][j], 3);
        EXPECT_TRUE(i >= 3 && i <= 5 && j >= 3 && j <= 5) << i << " " << j;
      }
    EXPECT_EQ(wet, k.wetColumns);
  }
}

TEST_F(GridStability, WindowsAtAndPastTheTableEdgesReadNothingBeyond) {
  allocate();
  // Lines 0..9 are all the table has; neighbours at -1 and 10 count as 0.
  for (int thin : {3, 0}) {
    SCOPED_TRACE(thin);
    FlagGridStab9 = thin;
    FlagGridStab2 = 14;
    fillLines(1);
    antlin[0][0] = 3;
    antlin[9][9] = 3;
    antlin[9][0] = 2;
    Grid1Stability(1, 9, 1, 9);
    for (int i = 0; i <= 9; ++i)
      for (int j = 0; j <= 9; ++j) EXPECT_EQ(antlin[i][j], 1) << i << " " << j;
  }

  FlagGridStab2 = 5;
  FlagGridStab4 = 5;
  MinVertDist0 = 0.25;
  fillLines(3);
  for (int i = 1; i <= 9; ++i)
    for (int j = 1; j <= 9; ++j) ant[i][j] = 2;
  Grid2Stability(1, 30, -5, 9);
  for (int i = 1; i <= 9; ++i)
    for (int j = 1; j <= 9; ++j) EXPECT_EQ(ant[i][j], 2) << i << " " << j;
  for (int i = 0; i <= 9; ++i)
    for (int j = 0; j <= 9; ++j) EXPECT_DOUBLE_EQ(depthOf(i, j), 1.0);
}

}  // namespace
}  // namespace qorva
