// Around the bed change, against hand values: the change of a bed cell from settling and
// pick-up, the hand-over of deposition from a column whose stack stands high, the caps of the
// edges on 3 x 3 patches, and the statistics of the bed change and of the turning flow.
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "bed/bed.h"
#include "bed/bed_fixture.h"

namespace qorva {
namespace {

class BedMovement : public test::BedGrid {};

// One 1 m2 bed cell, one step of 10 s, fall velocity 0.02 m/s, bed of solid fraction 0.5:
// settling of concentration C places C 0.02 10 m3 of grains, twice that as bed level; pick-up
// of P kg/s takes 0.001 P 10 m3 of grains.
TEST_F(BedMovement, TheChangeOfABedCellFromSettlingAndPickUp) {
  struct Case {
    const char* name;
    double conc, pickup, sf;
    int top;
    double dz;
  };
  const Case cases[] = {
      {"settling", 0.001, 0.0, 0.5, 1, 0.0004},
      {"pick-up", 0.0, 0.02, 0.5, 1, -0.0004},
      {"both", 0.001, 0.02, 0.5, 1, 0.0},
      {"a change below 1e-15 is none", 5e-17, 0.0, 0.5, 1, 0.0},
      {"a top layer without solid fraction counts with F 26", 0.001, 0.0, 0.0, 1, 0.0004},
      {"an empty stack reads the bottom layer", 0.001, 0.0, 0.5, -1, 0.0004},
  };
  FlagTSC = 3;
  build(1, 1, test::flatBed);
  const int b = bed(2, 2), c = Bcellt[b];
  ASSERT_NEAR(std::fabs(Faz[Cflateb[c]]), 1.0, 1e-12);
  TimeStep = 10;
  fallvelo[1] = 0.02;
  SolidFrac = 0.5;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    SumBedChangeLoc = 0;
    Cconc[1][c] = k.conc / std::fabs(Faz[Cflateb[c]]);
    Bupflux[1][b] = k.pickup;
    BlayerTop[b] = k.top;
    Bsolidfraction[0][b] = Bsolidfraction[1][b] = k.sf;
    computeBedmove(b);
    EXPECT_NEAR(Bedmove[b], k.dz, 1e-15);
    EXPECT_EQ(Bbedchange[1][b], Bedmove[b]);
    EXPECT_NEAR(SumBedChangeLoc, k.dz * 0.5 * 2650, 1e-12);
  }
  // A bed cell without a water column changes nothing.
  Bcellt[b] = 0;
  computeBedmove(b);
  EXPECT_EQ(Bedmove[b], 0.0);
  EXPECT_EQ(Bbedchange[1][b], 0.0);
}

// F 414: the middle column of a 3 x 3 patch deposits 0.01 m on a stack 1 m thick over a base at
// -1 m, while its corners lie at -0.5 m: its stack stands 0.5 m above them. The deposition goes
// to the side neighbour whose stack lies lowest under its own grid bed.
class SmoothChange : public test::BedGrid {
 protected:
  void SetUp() override {
    test::BedGrid::SetUp();
    FlagTSC = 3;
    FlagSmoothBedchange = 1;
    TopThickness = 0.01;
    build(3, 3, [](int, int) { return -0.5; });
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 4; ++j) Surfaces[3][i][j] = -1.0;
    for (int b = 1; b <= NoBCells; ++b) {
      BlayerTop[b] = 1;
      BSedDistrib[0][0][b] = 0.5;
      BSedDistrib[1][0][b] = 0.5;
    }
  }
};

TEST_F(SmoothChange, DepositionGoesToTheLowestNeighbour) {
  const int m = bed(3, 3);
  Bedmove[m] = 0.01;
  Bbedchange[1][m] = 0.01;
  // The south neighbour's lower layers are thinnest: it lies lowest.
  BSedDistrib[0][0][bed(3, 2)] = 0.2;
  smoothBedchange();
  EXPECT_EQ(Bedmove[m], 0.0);
  EXPECT_EQ(Bbedchange[1][m], 0.0);
  EXPECT_NEAR(Bedmove[bed(3, 2)], 0.01, 1e-15);
  EXPECT_NEAR(Bbedchange[1][bed(3, 2)], 0.01, 1e-15);
}

TEST_F(SmoothChange, NothingMovesWhereTheRulesDoNotHold) {
  struct Case {
    const char* name;
    std::function<void()> set;
  };
  const Case cases[] = {
      {"erosion", [] { Bedmove[pointbed[3][3]] = -0.01; }},
      {"the stack no higher than two scales above the corners",
       [] {
         Bedmove[pointbed[3][3]] = 0.01;
         BSedDistrib[1][0][pointbed[3][3]] = 0.005;
         BSedDistrib[0][0][pointbed[3][3]] = 0.5;
       }},
      {"no neighbour with a water column",
       [] {
         Bedmove[pointbed[3][3]] = 0.01;
         const int c = Bcellt[pointbed[3][3]];
         Ccellw[c] = Ccells[c] = Ccelle[c] = Ccelln[c] = 0;
       }},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    for (int b = 1; b <= NoBCells; ++b) Bedmove[b] = 0;
    k.set();
    const std::vector<double> before(&Bedmove[0], &Bedmove[0] + NoBCells + 1);
    smoothBedchange();
    EXPECT_EQ(std::vector<double>(&Bedmove[0], &Bedmove[0] + NoBCells + 1), before);
  }
}

// F 222 1 on a 3 x 3 patch whose east columns are outflow: the east corners of the middle one
// (one open side) drop to the water level minus the column height where they lie above it, and
// the mass is booked; the corner columns (two open sides) are left alone.
TEST_F(BedMovement, TheOutflowCapOnAPatch) {
  build(3, 3, test::flatBed, 1.0);
  for (int j = 2; j <= 4; ++j) Binout[bed(4, j)] = -1.0;
  const int b = bed(4, 3);
  // After the corner moves the east corners of (4, 3) rose by 0.1 and 0.05 m; the column is
  // still 1 m high, so they must go back to 0. Corner (4, 4) belongs to the corner column (4, 4)
  // alone among the outflow columns, which has two open sides and is not capped.
  level(4, 3) = 0.1;
  level(4, 2) = 0.05;
  level(4, 4) = 0.2;
  FlagBedDownstream = 1;
  computeBedBoundary();
  EXPECT_NEAR(level(4, 3), 0.0, 1e-12);
  EXPECT_NEAR(level(4, 2), 0.0, 1e-12);
  EXPECT_NEAR(SumBedMoveDef, 0.15 * Barea[b] * 0.25 * 1000 * 2.65 * 0.5, 1e-9);
  EXPECT_NEAR(level(4, 4), 0.2, 1e-12);
  EXPECT_EQ(Surfaces[1][4][3], 0.0);
}

// A corner already below the water level minus the column height is not raised.
TEST_F(BedMovement, TheOutflowCapNeverRaises) {
  build(3, 3, test::flatBed, 1.0);
  for (int j = 2; j <= 4; ++j) Binout[bed(4, j)] = -1.0;
  level(4, 3) = -0.1;
  FlagBedDownstream = 1;
  computeBedBoundary();
  EXPECT_EQ(level(4, 3), -0.1);
  EXPECT_EQ(SumBedMoveDef, 0.0);
}

// F 222 2 holds the edge corners of inflow and outflow columns at the initial bed; F 222 3
// holds all four corners of the outflow columns.
TEST_F(BedMovement, FixedEdgesAndFixedOutflowOnAPatch) {
  for (int mode : {2, 3}) {
    SCOPED_TRACE(mode);
    SetArraysZero();
    setDefaults();
    build(3, 3, test::flatBed, 1.0);
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 4; ++j) level(i, j) = 0.3;
    Binout[bed(4, 3)] = -1.0;
    FlagBedDownstream = mode;
    computeBedBoundary();
    EXPECT_EQ(level(4, 3), 0.0);
    EXPECT_EQ(level(4, 2), 0.0);
    EXPECT_EQ(level(3, 3), mode == 3 ? 0.0 : 0.3);
    EXPECT_EQ(level(2, 2), 0.3);
  }
}

// F 404 with r = 1: plane 5 holds the last change and plane 6 the last turning angle between
// the bottom and the top cell of each column; the angle uses 180 / 3.1415 per radian.
TEST_F(BedMovement, StatisticsOfTheChangeAndTheTurningFlow) {
  FlagMorphStatistics = 1;
  RelaxMorphStatistics = 1.0;
  build(1, 1, test::flatBed, 1.0);
  const int b = bed(2, 2), c = Bcellt[b];
  int t = c;
  while (Ccellt[t] > 0) t = Ccellt[t];
  ASSERT_NE(t, c);
  Bedmove[b] = 0.02;
  Cxvel[c] = 1.0;
  Cyvel[t] = 1.0;
  computeMorphStatistics();
  EXPECT_EQ(Surfaces[5][2][2], 0.02);
  EXPECT_NEAR(Surfaces[6][2][2], 57.29746936176985 * std::asin(1.0), 1e-9);
  EXPECT_NEAR(Surfaces[6][2][2], 90.0026, 1e-4);
  // Equal velocities over the depth: no turning. F 404 5 sums the change.
  Cxvel[t] = 1.0;
  Cyvel[t] = 0.0;
  FlagMorphStatistics = 5;
  computeMorphStatistics();
  EXPECT_EQ(Surfaces[6][2][2], 0.0);
  EXPECT_NEAR(Surfaces[5][2][2], 0.04, 1e-15);
}

}  // namespace
}  // namespace qorva
