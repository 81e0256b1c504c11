// Edge levels of the free surface (F 187) and the lifts where the flow leaves the wet area
// (F 229), on small blocks of unit columns. A column counts as dry here when it has no cells;
// some tests take a column's cells away in zval (its bottom cell 0) to make one.
#include <cmath>
#include <string>

#include "state/bedcells.h"
#include "state/groups.h"
#include "state/surfaces.h"
#include "support/surface_grid.h"
#include "surface/surface.h"

namespace qorva {
namespace {

class EdgeLevels : public test::SurfaceGrid {
 protected:
  // Distinct levels on every grid line of the block and on the spare lines around it.
  void numberLevels() {
    for (int i = 0; i <= nx_ + 2; ++i)
      for (int j = 0; j <= ny_ + 2; ++j) zval[i][j][znumber] = zval[i][j][znumber + 1] = start(i, j);
  }
  static double start(int i, int j) { return -0.01 * i - 0.001 * j; }
  static void dry(int i, int j) { zval[i][j][0] = 0; }
  static void expectLevel(int i, int j, double z) {
    SCOPED_TRACE(strf("point %d %d", i, j));
    EXPECT_NEAR(zval[i][j][znumber], z, 1e-12);
    EXPECT_EQ(zval[i][j][znumber + 1], zval[i][j][znumber]);
  }
  // Group g lists one face of the top cell of column (i, j).
  static void listFace(int g, int face) {
    DischargeGroup& d = DischargeStruct[g];
    d.surfaceList[d.surfaceNo++] = face;
  }
};

// Two by two columns: each takes the levels of its wet j-neighbour's side across its dry side,
// so the outer lines j = 1 and 3 take the levels of the middle line; the i-direction copy,
// which would make line 1 the level of line 2, does not come on top.
TEST_F(EdgeLevels, FlatEdgesCopyAcrossTowardDryColumns) {
  box(2, 2, 1, 1.0);
  numberLevels();
  FlagSurfEdge = 1;
  surfaceEdge(0.0);
  for (int i = 1; i <= 3; ++i) {
    expectLevel(i, 1, start(i, 2));
    expectLevel(i, 2, start(i, 2));
    expectLevel(i, 3, start(i, 2));
  }
}

// One row of three wet columns (j = 3) between dry rows: dry on both j sides, so only the i
// copy acts at both ends; the middle column, wet on both i sides, keeps its levels.
TEST_F(EdgeLevels, FlatEdgesAlongARow) {
  box(3, 3, 1, 1.0);
  numberLevels();
  for (int i = 2; i <= 4; ++i) dry(i, 2), dry(i, 4);
  FlagSurfEdge = 1;
  surfaceEdge(0.0);
  for (int j = 2; j <= 3; ++j) {
    expectLevel(1, j, start(2, j));
    expectLevel(2, j, start(2, j));
    expectLevel(3, j, start(3, j));
    expectLevel(4, j, start(3, j));
  }
}

TEST_F(EdgeLevels, OtherValuesChangeNothing) {
  box(2, 2, 1, 1.0);
  numberLevels();
  for (int F : {0, 102, -2}) {
    FlagSurfEdge = F;
    surfaceEdge(1.0);
  }
  for (int i = 0; i <= 4; ++i)
    for (int j = 0; j <= 4; ++j) expectLevel(i, j, start(i, j));
}

// Two rows of six columns; the outlet column (7, 2) has its east face in group 2 and no
// south neighbour: those open sides take zref = 0.5 and the points up to F lines inward are
// raised to it; a higher point keeps its level. No walk leaves the block: F 99 raises every
// line of it and nothing beyond.
TEST_F(EdgeLevels, OutletSidesAndTheLinesInward) {
  struct Case {
    int F, lastRaised;  // the east walk reaches line lastRaised
  };
  for (const Case& k : {Case{5, 2}, Case{99, 1}}) {
    SCOPED_TRACE(k.F);
    SetArraysZero();
    setDefaults();
    box(6, 2, 2, 1.0);
    numberLevels();
    zval[4][2][znumber] = zval[4][2][znumber + 1] = 2.0;
    kSurf = 2;
    DischargeStruct[2].surfaceNo = 0;
    listFace(2, Cflatee[top(7, 2)]);
    FlagSurfEdge = k.F;
    surfaceEdge(0.5);
    for (int i = 0; i <= 8; ++i)
      for (int j = 0; j <= 4; ++j) {
        const bool east = j >= 1 && j <= 2 && i >= k.lastRaised && i <= 7;
        const bool south = (i == 6 || i == 7) && j >= 1 && j <= 3;
        if (i == 4 && j == 2)
          expectLevel(i, j, 2.0);
        else
          expectLevel(i, j, east || south ? 0.5 : start(i, j));
      }
  }
}

// F 187 100 and 101 at an outlet column without an east neighbour: the east points take zref,
// the four lines upstream are blended with the weight (0.2 j)^2, j the column index, at most 1.
TEST_F(EdgeLevels, OutletBlend) {
  struct Case {
    int F, column;
    double w;
  };
  const double zref = 0.5;
  for (const Case& k : {Case{100, 2, 0.16}, Case{100, 5, 1.0}, Case{100, 6, 1.0},
                        Case{101, 2, 0.16}, Case{101, 6, 1.0}}) {
    SCOPED_TRACE(strf("F 187 %d column j %d", k.F, k.column));
    SetArraysZero();
    setDefaults();
    box(6, 5, 1, 1.0);
    numberLevels();
    kSurf = 2;
    DischargeStruct[2].surfaceNo = 0;
    listFace(2, Cflatee[top(7, k.column)]);
    FlagSurfEdge = k.F;
    surfaceEdge(zref);
    for (int j : {k.column - 1, k.column}) {
      expectLevel(7, j, zref);
      for (int i = 3; i <= 6; ++i) {
        const double from = start(k.F == 101 ? 2 : i, j);
        expectLevel(i, j, k.w * from + (1 - k.w) * zref);
      }
      expectLevel(2, j, start(2, j));
    }
  }
}

// The inflow column (2, 3) of a 3 x 3 block has its west side open and both j-neighbours:
// its west points are kept at least 1.0001 times the dry depth above the bed. The corner
// column (2, 2) has no south neighbour and is left alone; an outflow group changes nothing.
TEST_F(EdgeLevels, WetInflowEdge) {
  for (int inflow : {1, 0}) {
    SCOPED_TRACE(inflow);
    SetArraysZero();
    setDefaults();
    box(3, 3, 1, 1.0);
    numberLevels();
    MinVertDist0 = 0.1;
    for (int j : {1, 2}) zval[1][j][znumber] = zval[1][j][znumber + 1] = -0.95;
    DischargeGroup& d = DischargeStruct[1];
    d.inflowFlag = inflow;
    d.surfaceNo = 0;
    listFace(1, Cflatew[top(2, 3)]);
    listFace(1, Cflatew[top(2, 2)]);
    FlagSurfEdge = -1;
    surfaceEdge(0.5);
    expectLevel(1, 2, inflow ? -1 + 0.10001 : -0.95);
    expectLevel(1, 3, start(1, 3));
    expectLevel(1, 1, -0.95);
  }
}

// F 229 1 at the middle column of 3 x 3 columns, 1 m deep, flowing east at 1 m/s into a dry
// column: the friction level at the east side is 0.5 m (half the cell) times the Manning slope
// (1 / (1^(2/3) 50))^2 below the surface at 0, -0.0002 m. With a time step of 0.25 s the
// Courant number 0.5 scales the relaxation: a point at -0.01 moves half way up; a point above
// the target stays. In a steady run (time step 1e-20) nothing visible moves.
TEST_F(EdgeLevels, PreventDivergenceRaisesTowardTheFrictionLevel) {
  struct Case {
    double dt, relax;
  };
  for (const Case& k : {Case{0.25, 0.5}, Case{1e-20, 2e-20}}) {
    SCOPED_TRACE(k.dt);
    SetArraysZero();
    setDefaults();
    box(3, 3, 2, 1.0);
    for (int c = 1; c <= NoCells; ++c) Cxvel[c] = 1.0;
    dry(4, 3);
    TimeStep = k.dt;
    zval[3][2][znumber] = -0.01;
    FlagPreventDiv = 1;
    surfacePreventDiv();
    const double target = -0.5 / (50.0 * 50.0);
    expectLevel(3, 2, -0.01 + k.relax * (target + 0.01));
    expectLevel(3, 3, 0.0);
    expectLevel(2, 2, 0.0);
  }
}

// F 229 2: a fast column (Fr > 0.1) between two dry j-neighbours, shallower than the dry depth
// at every corner and flowing across its north and south faces, is lifted until its deepest
// corner is 0.00001 above the dry depth. With dry i-neighbours too it is lifted once only; a
// column already deep enough, or a slow one, stays.
TEST_F(EdgeLevels, PreventDivergenceLiftsShallowChannels) {
  struct Case {
    const char* what;
    double deepest, froude;
    bool allSides, lifted;
  };
  for (const Case& k : {Case{"shallow", 0.05, 0.5, false, true},
                        Case{"dry on all sides", 0.05, 0.5, true, true},
                        Case{"deep enough", 0.12, 0.5, false, false},
                        Case{"slow", 0.05, 0.05, false, false}}) {
    SCOPED_TRACE(k.what);
    SetArraysZero();
    setDefaults();
    box(3, 3, 1, 1.0);
    const int c = bottom(3, 3);
    Cxvel[c] = Cyvel[c] = 1.0;
    BFroude[Cbed[c]] = k.froude;
    dry(3, 4);
    dry(3, 2);
    if (k.allSides) dry(2, 3), dry(4, 3);
    MinVertDist0 = 0.1;
    const double corner[2][2] = {{-1 + k.deepest, -0.97}, {-0.97, -0.98}};
    for (int a = 0; a < 2; ++a)
      for (int b = 0; b < 2; ++b) zval[2 + a][2 + b][znumber] = corner[a][b];
    FlagPreventDiv = 2;
    surfacePreventDiv();
    const double rise = k.lifted ? 0.1 - k.deepest + 0.00001 : 0.0;
    for (int a = 0; a < 2; ++a)
      for (int b = 0; b < 2; ++b) EXPECT_NEAR(zval[2 + a][2 + b][znumber], corner[a][b] + rise, 1e-12);
  }
}

}  // namespace
}  // namespace qorva
