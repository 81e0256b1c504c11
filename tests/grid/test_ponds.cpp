// Ponds on a block of 5 x 3 unit columns, 2 m deep (columns i = 2..6, j = 2..4): the removal
// of F 394 keeps the columns that wet columns connect to discharge group 1, the ridge marks of
// F 394 above 1000 let the connection pass only across a wet grid-line segment, and the
// reduction of F 379 lowers shallow, still grid points.
#include <string>
#include <vector>

#include "grid/grid.h"
#include "state/bedcells.h"
#include "state/groups.h"
#include "state/surfaces.h"
#include "support/surface_grid.h"

namespace qorva {
namespace {

class Ponds : public test::SurfaceGrid {
 protected:
  void make(int flag) {
    FlagRemovePonds = flag;
    box(5, 3, 2, 2.0);
    resetDischargeGroups();
  }
  // The wet columns of a plan drawn row by row from j = 4 (top) down to j = 2, 'W' wet.
  static void wet(const std::vector<std::string>& rows) {
    for (int r = 0; r < 3; ++r)
      for (int i = 2; i <= 6; ++i) ant[i][4 - r] = rows[r][i - 2] == 'W' ? 2 : 0;
  }
  // Group 1 holds the west faces of column (2, 3); BedMake lists their bottom cells' bed cells.
  static void inflowAtTheWest() {
    DischargeGroup& d = DischargeStruct[1];
    d.surfaceNo = 0;
    for (int c = bottom(2, 3); c > 0; c = Ccellt[c]) d.surfaceList[d.surfaceNo++] = Cflatew[c];
    d.bedCellList[0] = 0;
    BedMake();
  }
  static std::vector<std::string> kept() {
    std::vector<std::string> rows;
    for (int j = 4; j >= 2; --j) {
      std::string r;
      for (int i = 2; i <= 6; ++i) r += ant[i][j] > 0 ? 'W' : '.';
      rows.push_back(r);
    }
    return rows;
  }
};

TEST_F(Ponds, GroupListTakesItsFirstSurface) {
  make(2);
  inflowAtTheWest();
  // The list holds the bed cell of the bottom cell, whose face is the list's first entry.
  EXPECT_EQ(DischargeStruct[1].bedCellList[0], 1);
  EXPECT_EQ(DischargeStruct[1].bedCellList[1], pointbed[2][3]);
}

TEST_F(Ponds, HollowsCutOffFromTheRiverLoseTheirCells) {
  struct Case {
    const char* name;
    std::vector<std::string> plan, kept;
  };
  const Case cases[] = {
      {"separated by dry columns",
       {"WW.WW", "WWW.W", "....W"},
       {"WW...", "WWW..", "....."}},
      {"connected through one wet column",
       {"WW.WW", "WWWWW", "....W"},
       {"WW.WW", "WWWWW", "....W"}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    make(2);
    inflowAtTheWest();
    wet(k.plan);
    removePonds();
    EXPECT_EQ(kept(), k.kept);
    EXPECT_EQ(Bponds[pointbed[6][2]], k.kept[2][4] == 'W' ? 1 : 0);
    EXPECT_EQ(mc_message, "End removePonds");
  }
}

TEST_F(Ponds, NothingRemovedWithoutListedBedCells) {
  make(2);
  wet({"WW.WW", "WWW.W", "....W"});
  removePonds();
  EXPECT_EQ(kept(), (std::vector<std::string>{"WW.WW", "WWW.W", "....W"}));
}

TEST_F(Ponds, WindingConnectionNeedsMorePasses) {
  // From the inflow at (2, 4) east along the top row, down at i = 4 and east again along the
  // bottom row, then up at i = 6. A pass sweeps forward (j, i rising) and back (falling): the
  // turn east after coming down is met only by the next pass.
  const std::vector<std::string> plan = {"WWW..", "..W.W", "..WWW"};
  for (int passes : {1, 2}) {
    SCOPED_TRACE(passes);
    make(passes);
    DischargeGroup& d = DischargeStruct[1];
    d.surfaceNo = 0;
    for (int c = bottom(2, 4); c > 0; c = Ccellt[c]) d.surfaceList[d.surfaceNo++] = Cflatew[c];
    BedMake();
    wet(plan);
    removePonds();
    const std::vector<std::string> once = {"WWW..", "..W..", "..WW."};
    EXPECT_EQ(kept(), passes == 1 ? once : plan);
  }
}

TEST_F(Ponds, RidgeMarksNeedAWetSegment) {
  // The river runs along the last row j = 4 only. Across the grid line i = 4 between the
  // columns (4, 4) and (5, 4) it passes while an end of that segment is wet.
  for (bool ridge : {false, true}) {
    SCOPED_TRACE(ridge);
    make(1002);
    DischargeGroup& d = DischargeStruct[1];
    d.surfaceNo = 0;
    for (int c = bottom(2, 4); c > 0; c = Ccellt[c]) d.surfaceList[d.surfaceNo++] = Cflatew[c];
    BedMake();
    if (ridge) antlin[4][3] = antlin[4][4] = 1;
    makeRidge();
    wet({"WWWWW", ".....", "....."});
    removePonds();
    EXPECT_EQ(kept()[0], ridge ? "WWW.." : "WWWWW");
  }
}

TEST_F(Ponds, ReductionLowersShallowStillPoints) {
  make(0);
  FlagReducePonds = 1;
  ShearReducePonds = 0.001;
  CritReducePonds = 5.0;  // 5 x 0.005 m
  for (int c = 1; c <= NoCells; ++c) Ckinen[c] = 0.0005 / 300;  // 300 k = 0.0005 Pa
  zval[3][3][znumber] = -2 + 0.02;   // shallow and still: lowered
  zval[4][3][znumber] = -2 + 0.03;   // deeper than the limit
  zval[5][3][znumber] = -2 + 0.001;  // already lower: never raised
  reducePonds();
  EXPECT_NEAR(level(3, 3), -2 + 0.0025, 1e-12);
  EXPECT_NEAR(level(4, 3), -2 + 0.03, 1e-12);
  EXPECT_NEAR(level(5, 3), -2 + 0.001, 1e-12);
  EXPECT_NEAR(zval[3][3][znumber + 1], 0.0, 1e-12);  // the copy is not changed

  // Water at rest (no shear at all) or too fast is left alone.
  for (double k : {0.0, 0.01 / 300}) {
    for (int c = 1; c <= NoCells; ++c) Ckinen[c] = k;
    zval[3][3][znumber] = -2 + 0.02;
    reducePonds();
    EXPECT_NEAR(level(3, 3), -2 + 0.02, 1e-12);
  }
}

}  // namespace
}  // namespace qorva
