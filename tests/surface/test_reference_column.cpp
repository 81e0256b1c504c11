// Reference columns of the water level on a block of 3 x 3 columns (i, j = 2..4, 1 m wide,
// grid lines x = i - 1, y = j - 1), 4 m deep with two cells per column: the column of a G 6
// cell, the column of the G 6 group's point, the second column of G 62, the logged line and
// the failures.
#include <filesystem>
#include <string>

#include "grid/grid.h"
#include "state/arrays.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "support/scratch.h"
#include "surface/surface.h"

namespace qorva {
namespace {

class ReferenceColumnTest : public test::Scratch {
 protected:
  void SetUp() override {
    test::Scratch::SetUp();
    xnumber = ynumber = 6;
    znumber = 4;
    MaxCeller = 1000;
    MaxFlater = MaxPunkter = 2000;
    ASSERT_EQ(sialloc(), 0);
    NoBlocks = 1;
    block[1].i1 = block[1].j1 = 2;
    block[1].i2 = block[1].j2 = 4;
    block[1].bedfollow = 1;
    block[1].aux4 = 1;  // a block of the main grid
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 4; ++j) {
        xval[i][j] = i - 1;
        yval[i][j] = j - 1;
        zval[i][j][1] = -4.0;
        zval[i][j][znumber] = 0.0;
      }
    ASSERT_EQ(Unstructure(), 1);
    metric();
    for (int i = 2; i <= 4; ++i)
      for (int j = 2; j <= 4; ++j) ASSERT_EQ(Ccellt[bottom(i, j)], top(i, j));
    std::filesystem::remove("boogie");
    resetDischargeGroups();
  }

  static int bottom(int i, int j) { return static_cast<int>(zval[i][j][0]); }
  static int top(int i, int j) { return bottom(i, j) + 1; }

  static int run() {
    try {
      SetiPresjPres();
    } catch (const RunEnd& e) {
      return e.status;
    }
    return 1000;
  }

  // Group g holds the surfaces on one side of the cells of column (i, j).
  static void sideGroup(int g, const Table1<int>& side, int i, int j) {
    DischargeGroup& d = DischargeStruct[g];
    d.inflowFlag = 0;
    d.surfaceNo = 0;
    for (int c = bottom(i, j); c <= top(i, j); ++c) d.surfaceList[d.surfaceNo++] = side[c];
  }
  static void westGroup(int g, int i, int j) { sideGroup(g, Cflatew, i, j); }
  static void points(int g, std::initializer_list<std::pair<double, double>> xy) {
    DischargeGroup& d = DischargeStruct[g];
    d.xyNo = 0;
    for (auto [x, y] : xy) {
      d.x[d.xyNo] = x;
      d.y[d.xyNo] = y;
      ++d.xyNo;
    }
  }
};

TEST_F(ReferenceColumnTest, WithoutG6NothingIsSearched) {
  for (int tfs : {0, 1, 9}) {
    SCOPED_TRACE(tfs);
    std::filesystem::remove("boogie");
    FlagTFS = tfs;
    EXPECT_EQ(run(), 1000);
    EXPECT_EQ(log(), "G 6/62 2D reference indexes: 0 0 0 0\n");
    EXPECT_EQ(iPres, 0);
    EXPECT_EQ(jPres, 0);
    EXPECT_EQ(iSurf, 0);
  }
}

TEST_F(ReferenceColumnTest, G6CellGivesItsColumnAndMovesToTheBottomCell) {
  struct Case {
    const char* name;
    int tfs, cell, iPresGiven;
    int iPres, jPres, iSurf;
  };
  const int b = bottom(3, 4), t = top(3, 4);
  const Case cases[] = {
      {"surface cell", 9, t, 0, 3, 4, b},
      {"bottom cell", 2, b, 0, 3, 4, b},
      // Free-surface algorithms 0 and 1 do not search for a given cell.
      {"algorithm 1", 1, t, 0, 0, 0, t},
      // A column given on F 91 is kept.
      {"F 91 given", 9, t, 2, 2, 0, t},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove("boogie");
    FlagTFS = c.tfs;
    iSurf = c.cell;
    iPres = c.iPresGiven;
    jPres = 0;
    EXPECT_EQ(run(), 1000);
    EXPECT_EQ(iPres, c.iPres);
    EXPECT_EQ(jPres, c.jPres);
    EXPECT_EQ(iSurf, c.iSurf);
    EXPECT_EQ(log(), strf("G 6/62 2D reference indexes: %d %d 0 0\n", c.iPres, c.jPres));
  }
}

TEST_F(ReferenceColumnTest, CellOutsideTheGridEndsTheRun) {
  // The reader accepts cell numbers up to F 65's MaxCeller, past the last cell and past the
  // cell tables.
  const int cells[] = {NoCells + 1, MaxCeller, 5000};
  for (int cell : cells) {
    SCOPED_TRACE(cell);
    std::filesystem::remove("boogie");
    FlagTFS = 9;
    iSurf = cell;
    iPres = jPres = 0;
    EXPECT_EQ(run(), -1);
    EXPECT_EQ(log(), strf("Error in algorithm for G 6/62 data set. Have not found (i,j) indexes\n"
                          "for cell number %d, first integer on the data set.\n"
                          "Searched areas i=1,6; j=1,6\n\n",
                          cell));
  }
}

TEST_F(ReferenceColumnTest, SecondCellGivesTheSecondColumn) {
  FlagTFS = 9;
  iSurf = top(3, 4);
  jSurf = top(4, 2);
  EXPECT_EQ(run(), 1000);
  EXPECT_EQ(iPres2, 4);
  EXPECT_EQ(jPres2, 2);
  EXPECT_EQ(jSurf, bottom(4, 2));
  EXPECT_EQ(log(), "G 6/62 2D reference indexes: 3 4 4 2\n");

  // Algorithms above 10 have no second column.
  std::filesystem::remove("boogie");
  FlagTFS = 11;
  iPres = jPres = iPres2 = jPres2 = 0;
  iSurf = top(3, 4);
  EXPECT_EQ(run(), 1000);
  EXPECT_EQ(log(), "G 6/62 2D reference indexes: 3 4 0 0\n");

  std::filesystem::remove("boogie");
  FlagTFS = 9;
  iPres = jPres = iPres2 = jPres2 = 0;
  jSurf = NoCells + 3;
  EXPECT_EQ(run(), -1);
  EXPECT_EQ(log(), strf("Error in algorithm for G 6/62 data set. Have not found (i,j) indexes\n"
                        "for cell number %d, second integer on data set.\n\n",
                        NoCells + 3));
}

TEST_F(ReferenceColumnTest, G6CellMustLieInTheOutflowGroup) {
  // The G 6 cell lies in column (2,3); the group holds the west faces of column (2,2) or of
  // column (2,3), whose cells sit in the second slot of their west faces.
  struct Case {
    const char* name;
    int groupJ, readUnstruc, status;
  };
  const Case cases[] = {{"other column", 2, 0, -4},
                        {"its column", 3, 0, 1000},
                        {"unstruc of version 4", 2, 4, 1000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove("boogie");
    FlagTFS = 9;
    iSurf = top(2, 3);
    iPres = jPres = 0;
    kSurf = 1;
    FlagReadUnstruc = c.readUnstruc;
    westGroup(1, 2, c.groupJ);
    EXPECT_EQ(run(), c.status);
    std::string expected = "G 6/62 2D reference indexes: 2 3 0 0\n";
    if (c.status == -4)
      expected += strf(
          "Error in G 6 or G 62 data set: Cell number %d is not in discharge group 1\n"
          "This error can be caused by a too low 'to' value the 'Vertical level' \n"
          "part in the input dialog box of the discharge editor, when the unstruc file was "
          "made.\n",
          bottom(2, 3));
    EXPECT_EQ(log(), expected);
  }
}

TEST_F(ReferenceColumnTest, GroupPointOnABlockEdgeGivesTheColumnNextToIt) {
  // Points on the west grid line x = 0 at the midpoints of its segments; the first point takes
  // no part. The points 1..3 span y 0.5..2.5, so the one nearest the middle is (0, 1.5), the
  // midpoint of the segment of column (2, 3).
  for (int tfs : {0, 9}) {
    SCOPED_TRACE(tfs);
    std::filesystem::remove("boogie");
    FlagTFS = tfs;
    iSurf = iPres = jPres = 0;
    kSurf = 1;
    points(1, {{3.0, 0.5}, {0.0, 0.5}, {0.0, 1.5}, {0.0, 2.5}});
    westGroup(1, 2, 3);
    EXPECT_EQ(run(), 1000);
    EXPECT_EQ(iPres, 2);
    EXPECT_EQ(jPres, 3);
    EXPECT_EQ(iSurf, top(2, 3));
    EXPECT_EQ(log(), "G 6/62 2D reference indexes: 2 3 0 0\n");
  }
}

TEST_F(ReferenceColumnTest, GroupWithOnePointSearchesForIt) {
  // The group holds the boundary faces of the column on that edge.
  struct Case {
    const char* name;
    double x, y;
    int iPres, jPres;
    const Table1<int>& side;
  };
  const Case cases[] = {
      {"east edge", 3.0, 0.5, 4, 2, Cflatee},
      {"north edge", 1.5, 3.0, 3, 4, Cflaten},
      {"south edge", 0.5, 0.0, 2, 2, Cflates},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove("boogie");
    iSurf = iPres = jPres = 0;
    kSurf = 1;
    points(1, {{c.x, c.y}});
    sideGroup(1, c.side, c.iPres, c.jPres);
    EXPECT_EQ(run(), 1000) << log();
    EXPECT_EQ(iPres, c.iPres);
    EXPECT_EQ(jPres, c.jPres);
  }
}

TEST_F(ReferenceColumnTest, GroupPointOffEveryEdgeFailsTheGroupCheck) {
  iSurf = iPres = jPres = 0;
  kSurf = 2;
  points(2, {{1.5, 1.5}});  // inside the block
  westGroup(2, 2, 2);
  EXPECT_EQ(run(), -4);
  EXPECT_EQ(iPres, 0);
  const std::string text = log();
  EXPECT_EQ(text.rfind("G 6/62 2D reference indexes: 0 0 0 0\n"
                       "Error in G 6 or G 62 data set: Cell number 0 is not in discharge group 2\n",
                       0),
            0u);
}

TEST_F(ReferenceColumnTest, GroupNumberAboveNineEndsTheRun) {
  // Only groups 1..9 exist; the reader accepts any group number from 0.
  iSurf = 0;
  kSurf = 12;
  EXPECT_EQ(run(), -4);
  EXPECT_EQ(log(),
            "Error in G 6 or G 62 data set: discharge group 12 does not exist, the groups are "
            "numbered 1 to 9\n");
}

TEST_F(ReferenceColumnTest, UnwritableLogEndsTheRunBeforeAnySearch) {
  std::filesystem::create_directory("boogie");
  FlagTFS = 9;
  iSurf = top(3, 4);
  EXPECT_EQ(run(), -3);
  EXPECT_EQ(mc_message, "cannot open file 'boogie' ");
  EXPECT_EQ(iPres, 0);
  std::filesystem::remove("boogie");
}

}  // namespace
}  // namespace qorva
