// The cell makers: surfaces and points made or reused per side, their cell slots and corner
// order, sharing with the west and south columns, and the wedge corners of flat vertical edges.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <initializer_list>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "grid/cell_template.h"
#include "grid/grid.h"
#include "state/arrays.h"
#include "state/cells.h"
#include "state/options_f050_099.h"
#include "state/options_f250_299.h"
#include "state/options_g.h"
#include "state/points.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva {
namespace {

enum class Maker { Make, New };

const char* name(Maker m) { return m == Maker::Make ? "MakeCell" : "MakeCellNew"; }

// Per-side views of the cell and surface arrays, by side code 1 south .. 6 top.
Table1<int>* const kCflate[7] = {nullptr, &Cflates, &Cflatee, &Cflaten,
                                 &Cflatew, &Cflateb, &Cflatet};
Table1<int>* const kCcell[7] = {nullptr, &Ccells, &Ccelle, &Ccelln, &Ccellw, &Ccellb, &Ccellt};
Table1<int>* const kCpoint[9] = {nullptr,  &Cpoint1, &Cpoint2, &Cpoint3, &Cpoint4,
                                 &Cpoint5, &Cpoint6, &Cpoint7, &Cpoint8};
Table1<int>* const kFpoint[4] = {&Fpoint1, &Fpoint2, &Fpoint3, &Fpoint4};
// The cell corners that Fpoint1..Fpoint4 of each side hold.
const int kSideCorners[7][4] = {{0, 0, 0, 0}, {1, 5, 6, 2}, {2, 3, 7, 6}, {4, 8, 7, 3},
                                {1, 4, 8, 5}, {1, 2, 3, 4}, {5, 6, 7, 8}};

std::array<int, 8> corners(int c) {
  std::array<int, 8> p{};
  for (int m = 1; m <= 8; m++) p[m - 1] = (*kCpoint[m])[c];
  return p;
}

std::array<int, 4> surfacePoints(int f) {
  return {Fpoint1[f], Fpoint2[f], Fpoint3[f], Fpoint4[f]};
}

class MakeCellTest : public test::Scratch {
 protected:
  void SetUp() override {
    Scratch::SetUp();
    xnumber = 3;
    ynumber = 3;
    znumber = 4;
    MaxCeller = 40;
    MaxFlater = 100;
    MaxPunkter = 100;
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
  }

  // Grid line (i, j) at level k lies at x = i, y = j, z = level(i, j, k).
  std::function<double(int, int, int)> level = [](int, int, int k) { return double(k); };

  // A template for the cell of column (i, j) at level k, with no neighbours or surfaces.
  void fillCorners(int i, int j, int k) {
    NewCell = CellTemplate{};
    const int li[5] = {0, i - 1, i, i, i - 1};
    const int lj[5] = {0, j - 1, j - 1, j, j};
    for (int m = 1; m <= 4; m++) {
      NewCell.x[m] = NewCell.x[m + 4] = li[m];
      NewCell.y[m] = NewCell.y[m + 4] = lj[m];
      NewCell.z[m] = level(li[m], lj[m], k - 1);
      NewCell.z[m + 4] = level(li[m], lj[m], k);
    }
  }

  // A small builder in the generator's manner: cells[j-1][i-1] cells per column on the top
  // levels, numbered j outer, i inner, bottom up; then made in the same order, each with the
  // neighbours at its level and the south, west and bottom surfaces of those neighbours.
  void build(const std::vector<std::vector<int>>& cells, Maker maker) {
    const int ny = static_cast<int>(cells.size());
    const int nx = static_cast<int>(cells[0].size());
    int n = 0;
    for (int j = 1; j <= ny; j++)
      for (int i = 1; i <= nx; i++)
        for (int k = znumber - cells[j - 1][i - 1] + 1; k <= znumber; k++) num[i][j][k] = ++n;
    for (int j = 1; j <= ny; j++)
      for (int i = 1; i <= nx; i++)
        for (int k = znumber - cells[j - 1][i - 1] + 1; k <= znumber; k++) {
          const int c = num[i][j][k];
          fillCorners(i, j, k);
          NewCell.cell[1] = num[i][j - 1][k];
          NewCell.cell[2] = num[i + 1][j][k];
          NewCell.cell[3] = num[i][j + 1][k];
          NewCell.cell[4] = num[i - 1][j][k];
          NewCell.cell[5] = num[i][j][k - 1];
          NewCell.cell[6] = num[i][j][k + 1];
          if (j > 1 && NewCell.cell[1] != 0) NewCell.flate[1] = Cflaten[NewCell.cell[1]];
          if (i > 1 && NewCell.cell[4] != 0) NewCell.flate[4] = Cflatee[NewCell.cell[4]];
          if (NewCell.cell[5] != 0) NewCell.flate[5] = Cflatet[NewCell.cell[5]];
          make(maker, c, i, j, k);
        }
    cellCount = n;
  }

  static void make(Maker maker, int c, int i, int j, int k) {
    const int r = maker == Maker::Make ? MakeCell(c) : MakeCellNew(c, i, j, k);
    EXPECT_EQ(r, 0);
  }

  // Points at different places; with no duplicates this is NoPoints.
  static int distinctPlaces() {
    std::set<std::tuple<double, double, double>> seen;
    for (int q = 1; q <= NoPoints; q++) seen.insert({Px[q], Py[q], Pz[q]});
    return static_cast<int>(seen.size());
  }

  // Every cell lists each of its surfaces with the same corner points as the surface itself,
  // and is one of the surface's two cells; every surface slot is filled by exactly one cell side.
  void expectConsistent() const {
    int slots = 0;
    for (int f = 1; f <= NoSurfaces; f++) slots += (Fcell1[f] != 0) + (Fcell2[f] != 0);
    EXPECT_EQ(slots, 6 * cellCount);
    for (int c = 1; c <= cellCount; c++)
      for (int s = 1; s <= 6; s++) {
        const int f = (*kCflate[s])[c];
        ASSERT_GT(f, 0) << "cell " << c << " side " << s;
        EXPECT_TRUE(Fcell1[f] == c || Fcell2[f] == c) << "cell " << c << " side " << s;
        for (int n = 0; n < 4; n++)
          EXPECT_EQ((*kFpoint[n])[f], (*kCpoint[kSideCorners[s][n]])[c])
              << "cell " << c << " side " << s << " slot " << n + 1;
      }
  }

  int cellCount = 0;
};

// ---------------------------------------------------------------------------------------------
// One cell on an empty grid

TEST_F(MakeCellTest, OneCellMakesSixSurfacesAndEightPoints) {
  struct Case {
    Maker maker;
    std::array<int, 8> cpoint;              // point of corners 1..8
    std::array<std::array<int, 4>, 6> fpoint;  // Fpoint1..4 of surfaces 1..6 (S E N W B T)
  };
  // MakeCell numbers new corners 1 2 5 6 (south), 3 7 (east), 4 8 (north); MakeCellNew
  // 1 5 6 2, 3 7, 4 8. Each surface lists its corners in the side's fixed order.
  const Case cases[] = {
      {Maker::Make,
       {1, 2, 5, 7, 3, 4, 6, 8},
       {{{1, 3, 4, 2}, {2, 5, 6, 4}, {7, 8, 6, 5}, {1, 7, 8, 3}, {1, 2, 5, 7}, {3, 4, 6, 8}}}},
      {Maker::New,
       {1, 4, 5, 7, 2, 3, 6, 8},
       {{{1, 2, 3, 4}, {4, 5, 6, 3}, {7, 8, 6, 5}, {1, 7, 8, 2}, {1, 4, 5, 7}, {2, 3, 6, 8}}}},
  };
  const double x[5] = {0, 10, 12, 12, 10}, y[5] = {0, 20, 20, 23, 23};
  const double zb[5] = {0, 1.0, 1.1, 1.2, 1.3};
  for (const Case& t : cases) {
    SCOPED_TRACE(name(t.maker));
    SetArraysZero();
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
    const int c = 7;  // the caller's number; the makers do not count cells
    num[1][1][znumber] = c;
    NewCell = CellTemplate{};
    for (int m = 1; m <= 4; m++) {
      NewCell.x[m] = NewCell.x[m + 4] = x[m];
      NewCell.y[m] = NewCell.y[m + 4] = y[m];
      NewCell.z[m] = zb[m];
      NewCell.z[m + 4] = zb[m] + 1.0;
    }
    for (int s = 1; s <= 6; s++) NewCell.cell[s] = 10 + s;
    make(t.maker, c, 1, 1, znumber);

    EXPECT_EQ(NoPoints, 8);
    EXPECT_EQ(NoSurfaces, 6);
    EXPECT_EQ(NoCells, 0);
    EXPECT_EQ(corners(c), t.cpoint);
    for (int m = 1; m <= 8; m++) {
      const int q = t.cpoint[m - 1];
      EXPECT_EQ(Px[q], NewCell.x[m]) << "corner " << m;
      EXPECT_EQ(Py[q], NewCell.y[m]) << "corner " << m;
      EXPECT_EQ(Pz[q], NewCell.z[m]) << "corner " << m;
    }
    for (int s = 1; s <= 6; s++) {
      SCOPED_TRACE(s);
      EXPECT_EQ((*kCflate[s])[c], s);  // made south, east, north, west, bottom, top
      EXPECT_EQ(surfacePoints(s), t.fpoint[s - 1]);
      // East, north and top surfaces take their maker cell in Fcell1, the others in Fcell2.
      const bool first = s == 2 || s == 3 || s == 6;
      EXPECT_EQ(Fcell1[s], first ? c : 0);
      EXPECT_EQ(Fcell2[s], first ? 0 : c);
      EXPECT_EQ((*kCcell[s])[c], 10 + s);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Columns and blocks

TEST_F(MakeCellTest, UpperCellOfAColumnReusesTheTopSurfaceOfTheLowerOne) {
  struct Case {
    Maker maker;
    std::array<int, 8> lower, upper;
  };
  // The upper cell's bottom corners are the lower cell's top corners; its own top corners are
  // new: 5 and 6 with the south surface, 7 with the east one, 8 with the north one.
  const Case cases[] = {
      {Maker::Make, {1, 2, 5, 7, 3, 4, 6, 8}, {3, 4, 6, 8, 9, 10, 11, 12}},
      {Maker::New, {1, 4, 5, 7, 2, 3, 6, 8}, {2, 3, 6, 8, 9, 10, 11, 12}},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(name(t.maker));
    SetArraysZero();
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
    build({{2}}, t.maker);
    EXPECT_EQ(NoPoints, 12);
    EXPECT_EQ(NoSurfaces, 11);  // 6 + 5: no second surface between the two cells
    EXPECT_EQ(corners(1), t.lower);
    EXPECT_EQ(corners(2), t.upper);
    EXPECT_EQ(Cflatet[1], 6);
    EXPECT_EQ(Cflateb[2], 6);
    EXPECT_EQ(Fcell1[6], 1);
    EXPECT_EQ(Fcell2[6], 2);
    EXPECT_EQ(Ccellt[1], 2);
    EXPECT_EQ(Ccellb[2], 1);
    EXPECT_EQ(Ccellb[1], 0);
    EXPECT_EQ(Ccellt[2], 0);
    expectConsistent();
  }
}

TEST_F(MakeCellTest, BlockCountsMatchTheGridLinesAndFaces) {
  struct Case {
    int nx, ny, nz;
    int points, surfaces;
  };
  // Points: (nx+1)(ny+1)(nz+1). Surfaces: (nx+1) ny nz + nx (ny+1) nz + nx ny (nz+1).
  const Case cases[] = {
      {1, 1, 1, 8, 6},   {2, 1, 1, 12, 11},  {1, 2, 1, 12, 11},
      {2, 2, 1, 18, 20}, {2, 2, 2, 27, 36},  {3, 2, 3, 48, 75},
  };
  struct Variant {
    Maker maker;
    int method;
  };
  // F 64 = 2 makes the lowest cells' bottoms first but must not change what is shared.
  const Variant variants[] = {{Maker::Make, 11}, {Maker::New, 11}, {Maker::New, 2}};
  for (const Case& t : cases)
    for (const Variant& v : variants) {
      SCOPED_TRACE(testing::Message() << t.nx << "x" << t.ny << "x" << t.nz << " "
                                      << name(v.maker) << " F 64 " << v.method);
      SetArraysZero();
      UMethod = v.method;
      ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
      build(std::vector<std::vector<int>>(t.ny, std::vector<int>(t.nx, t.nz)), v.maker);
      EXPECT_EQ(NoPoints, t.points);
      EXPECT_EQ(NoSurfaces, t.surfaces);
      EXPECT_EQ(distinctPlaces(), t.points);
      expectConsistent();
    }
}

TEST_F(MakeCellTest, TwoByTwoBlockSharesTheInnerGridLine) {
  for (Maker maker : {Maker::Make, Maker::New}) {
    SCOPED_TRACE(name(maker));
    SetArraysZero();
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
    build({{1, 1}, {1, 1}}, maker);
    // Cells 1 (1,1), 2 (2,1), 3 (1,2), 4 (2,2). Grid line (1,1) is corner 3 of cell 1, 4 of
    // cell 2, 2 of cell 3 and 1 of cell 4; cell 1 numbers it 5 at the bottom, 6 at the top.
    for (auto [c, m] : std::initializer_list<std::pair<int, int>>{{1, 3}, {2, 4}, {3, 2}, {4, 1}}) {
      EXPECT_EQ((*kCpoint[m])[c], 5) << "cell " << c;
      EXPECT_EQ((*kCpoint[m + 4])[c], 6) << "cell " << c;
    }
    // Cell 4 reuses the west and south surfaces: only its corners 3 and 7 are new.
    EXPECT_EQ(Cflatew[4], Cflatee[3]);
    EXPECT_EQ(Cflates[4], Cflaten[2]);
    EXPECT_EQ(Cpoint3[4], 17);
    EXPECT_EQ(Cpoint7[4], 18);
    EXPECT_EQ(NoPoints, 18);
    // Shared surfaces keep the first cell in Fcell1 and take the second in Fcell2.
    EXPECT_EQ(Fcell1[Cflatee[1]], 1);
    EXPECT_EQ(Fcell2[Cflatee[1]], 2);
    EXPECT_EQ(Fcell1[Cflaten[1]], 1);
    EXPECT_EQ(Fcell2[Cflaten[1]], 3);
    EXPECT_EQ(Fcell2[Cflates[4]], 4);
    EXPECT_EQ(Fcell2[Cflatew[4]], 4);
    EXPECT_EQ(Ccelle[1], 2);
    EXPECT_EQ(Ccellw[2], 1);
    EXPECT_EQ(Ccelln[2], 4);
    EXPECT_EQ(Ccells[4], 2);
  }
}

// ---------------------------------------------------------------------------------------------
// Surfaces given in the template

TEST_F(MakeCellTest, GivenSurfaceTakesTheCellInItsFreeSlot) {
  struct Case {
    Maker maker;
    int side;
    int cell1, cell2;    // the surface's cells before the call
    int want1, want2;    // and after it, the new cell being 3
  };
  const Case cases[] = {
      {Maker::Make, 5, 5, 0, 5, 3},
      {Maker::Make, 5, 0, 0, 3, 0},
      {Maker::Make, 6, 0, 5, 3, 5},
      {Maker::Make, 1, 0, 5, 3, 5},
      {Maker::Make, 4, 5, 0, 5, 3},
      // MakeCellNew puts the cell below a given bottom in Fcell2 and above a given top in
      // Fcell1 without looking at the other slot.
      {Maker::New, 5, 0, 0, 0, 3},
      {Maker::New, 6, 5, 0, 3, 0},
      {Maker::New, 1, 5, 0, 5, 3},
      {Maker::New, 4, 0, 5, 3, 5},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(testing::Message() << name(t.maker) << " side " << t.side);
    SetArraysZero();
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
    fillCorners(1, 1, 2);
    NoSurfaces = 1;
    NoPoints = 4;
    for (int n = 0; n < 4; n++) (*kFpoint[n])[1] = n + 1;
    Fcell1[1] = t.cell1;
    Fcell2[1] = t.cell2;
    NewCell.flate[t.side] = 1;
    make(t.maker, 3, 1, 1, 2);
    EXPECT_EQ(Fcell1[1], t.want1);
    EXPECT_EQ(Fcell2[1], t.want2);
    EXPECT_EQ((*kCflate[t.side])[3], 1);
    EXPECT_EQ(NoSurfaces, 6);
    EXPECT_EQ(NoPoints, 8);  // four corners came with the surface
    for (int n = 0; n < 4; n++) EXPECT_EQ((*kCpoint[kSideCorners[t.side][n]])[3], n + 1);
  }
}

TEST_F(MakeCellTest, LaterGivenSideWinsASharedCorner) {
  for (Maker maker : {Maker::Make, Maker::New}) {
    SCOPED_TRACE(name(maker));
    SetArraysZero();
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
    fillCorners(1, 1, 2);
    // Surface 1 given as the west side (corners 1 4 8 5), surface 2 as the bottom (1 2 3 4).
    NoSurfaces = 2;
    NoPoints = 8;
    for (int n = 0; n < 4; n++) {
      (*kFpoint[n])[1] = n + 1;
      (*kFpoint[n])[2] = n + 5;
    }
    NewCell.flate[4] = 1;
    NewCell.flate[5] = 2;
    make(maker, 1, 1, 1, 2);
    EXPECT_EQ(corners(1), (std::array<int, 8>{5, 6, 7, 8, 4, 9, 10, 3}));
  }
}

// ---------------------------------------------------------------------------------------------
// MakeCellNew: corner points of the west and south columns without shared surfaces

TEST_F(MakeCellTest, NewMakerSharesCornersWithHigherStartingNeighbours) {
  struct Case {
    const char* what;
    std::vector<std::vector<int>> cells;  // [j-1][i-1]
    int pointsNew, pointsMake, places, surfaces;
    std::array<int, 8> secondNew, thirdNew;  // MakeCellNew's cells 2 and 3, when given
  };
  // The cells of a taller column below the neighbour's lowest cell have no surface towards
  // that column; their top corners on the shared grid line are the neighbour's bottom corners.
  const Case cases[] = {
      {"west neighbour one cell shorter", {{1, 2}}, 16, 18, 16, 16,
       {9, 11, 12, 14, 4, 10, 13, 5}, {4, 10, 13, 5, 3, 15, 16, 6}},
      {"south neighbour one cell shorter", {{1}, {2}}, 16, 18, 16, 16,
       {9, 10, 11, 13, 7, 5, 12, 14}, {7, 5, 12, 14, 8, 6, 15, 16}},
      // Corner 5 comes with the south surface, so the west column's points are not taken and
      // corner 8 is made again.
      {"south surface given, west neighbour shorter", {{2, 2}, {1, 2}}, 27, 27, 26, 33, {}, {}},
      // The west column's points fill corner 5, so the south column's are not taken and
      // corner 6 is made again.
      {"west and south neighbours shorter", {{1, 1}, {1, 2}}, 23, 25, 22, 25, {}, {}},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.what);
    for (Maker maker : {Maker::Make, Maker::New}) {
      SCOPED_TRACE(name(maker));
      SetArraysZero();
      ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
      build(t.cells, maker);
      EXPECT_EQ(NoPoints, maker == Maker::New ? t.pointsNew : t.pointsMake);
      EXPECT_EQ(NoSurfaces, t.surfaces);
      EXPECT_EQ(distinctPlaces(), t.places);
      if (maker == Maker::New && t.secondNew[0] != 0) {
        EXPECT_EQ(corners(2), t.secondNew);
        EXPECT_EQ(corners(3), t.thirdNew);
      }
    }
  }
}

// ---------------------------------------------------------------------------------------------
// F 64 = 2: bottom surface first and wedge corners

TEST_F(MakeCellTest, LowestCellUnderMethodTwoMakesItsBottomFirst) {
  struct Case {
    int method;
    double edge1;              // height of the vertical edge at corner 1
    int points;
    std::array<int, 8> cpoint;
    int south, bottom;         // surface numbers
    int given5;                // flate[5] of the template after the call
    std::array<int, 4> southPoints;
  };
  const Case cases[] = {
      {2, 1.0, 8, {1, 2, 3, 4, 5, 6, 7, 8}, 2, 1, 1, {1, 5, 6, 2}},
      // A flat edge of the lowest cell collapses whatever F 299 says; the south surface then
      // lists the same point twice.
      {2, 0.0, 7, {1, 2, 3, 4, 1, 5, 6, 7}, 2, 1, 1, {1, 1, 5, 2}},
      {2, 1e-8, 8, {1, 2, 3, 4, 5, 6, 7, 8}, 2, 1, 1, {1, 5, 6, 2}},
      // Method 32 builds like method 2 elsewhere but takes none of these steps.
      {32, 1.0, 8, {1, 4, 5, 7, 2, 3, 6, 8}, 1, 5, 0, {1, 2, 3, 4}},
      {32, 0.0, 8, {1, 4, 5, 7, 2, 3, 6, 8}, 1, 5, 0, {1, 2, 3, 4}},
      {11, 1.0, 8, {1, 4, 5, 7, 2, 3, 6, 8}, 1, 5, 0, {1, 2, 3, 4}},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(testing::Message() << "F 64 " << t.method << " edge " << t.edge1);
    SetArraysZero();
    UMethod = t.method;
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
    num[1][1][znumber] = 1;
    level = [&](int i, int j, int k) {
      return (i == 0 && j == 0 && k == znumber) ? t.edge1 : (k - znumber + 1.0);
    };
    fillCorners(1, 1, znumber);
    ASSERT_EQ(NewCell.z[1], 0.0);
    make(Maker::New, 1, 1, 1, znumber);
    EXPECT_EQ(NoPoints, t.points);
    EXPECT_EQ(NoSurfaces, 6);
    EXPECT_EQ(corners(1), t.cpoint);
    EXPECT_EQ(Cflates[1], t.south);
    EXPECT_EQ(Cflateb[1], t.bottom);
    EXPECT_EQ(NewCell.flate[5], t.given5);
    EXPECT_EQ(Fcell1[t.bottom], 0);
    EXPECT_EQ(Fcell2[t.bottom], 1);
    EXPECT_EQ(surfacePoints(t.south), t.southPoints);
    EXPECT_EQ(surfacePoints(t.bottom), (std::array<int, 4>{t.cpoint[0], t.cpoint[1],
                                                           t.cpoint[2], t.cpoint[3]}));
  }
}

TEST_F(MakeCellTest, MethodTwoJoinsTheNeighboursLowestPointIntoAWedge) {
  struct Case {
    const char* what;
    std::vector<std::vector<int>> cells;
    int flatI, flatJ;  // the grid line whose level 2 lies on level 3
    int method;
    int points;
    std::array<int, 8> second;  // cell 2, the lower cell of the taller column
  };
  // The shared grid line has no height between levels 2 and 3; the taller column's lower cell
  // has a flat edge there and takes the neighbour's bottom point for both of its corners.
  // Grid lines and distinct levels: 15 places in both layouts.
  const Case cases[] = {
      {"south", {{1}, {2}}, 0, 1, 2, 15, {4, 9, 10, 11, 4, 3, 12, 13}},
      {"south", {{1}, {2}}, 0, 1, 32, 16, {9, 10, 11, 13, 7, 5, 12, 14}},
      {"west", {{1, 2}}, 1, 1, 2, 15, {9, 10, 11, 3, 2, 12, 13, 3}},
      {"west", {{1, 2}}, 1, 1, 32, 16, {9, 11, 12, 14, 4, 10, 13, 5}},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(testing::Message() << t.what << " F 64 " << t.method);
    SetArraysZero();
    UMethod = t.method;
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
    level = [&](int i, int j, int k) {
      return (i == t.flatI && j == t.flatJ && k < 3) ? 3.0 : double(k);
    };
    build(t.cells, Maker::New);
    EXPECT_EQ(NoPoints, t.points);
    EXPECT_EQ(NoSurfaces, 16);
    EXPECT_EQ(distinctPlaces(), 15);
    EXPECT_EQ(corners(2), t.second);
  }
}

// ---------------------------------------------------------------------------------------------
// F 299: flat vertical edges above known bottom corners

TEST_F(MakeCellTest, WedgeOptionMergesFlatEdgesAboveKnownCorners) {
  struct Case {
    int wedge;      // F 299
    double height;  // of the upper cell's edge at corner 1
    bool merged;
  };
  const Case cases[] = {
      {1, 0.0, true}, {1, 5e-9, true}, {1, 1e-8, false}, {1, -1.0, true}, {0, 0.0, false},
  };
  for (const Case& t : cases)
    for (Maker maker : {Maker::Make, Maker::New}) {
      SCOPED_TRACE(testing::Message() << name(maker) << " F 299 " << t.wedge << " height "
                                      << t.height);
      SetArraysZero();
      FlagUnstrucWedge = t.wedge;
      ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
      // Level 3, the upper cell's bottom, lies at 0 so that the edge height is exact.
      level = [&](int i, int j, int k) {
        return (i == 0 && j == 0 && k == 4) ? t.height : double(k - 3);
      };
      build({{2}}, maker);
      // The upper cell knows its bottom corners from the lower cell's top surface.
      EXPECT_EQ(Cpoint1[2], Cpoint5[1]);
      EXPECT_EQ(Cpoint5[2] == Cpoint1[2], t.merged);
      EXPECT_EQ(NoPoints, t.merged ? 11 : 12);
      EXPECT_EQ(NoSurfaces, 11);
    }
}

TEST_F(MakeCellTest, WedgeOptionKeepsTopCornersOfAGivenTopSurface) {
  // A cell made below an existing one, with the upper cell's bottom given as its top surface and
  // a flat edge at corner 1 whose bottom corner is not known: corner 5 stays the point of the
  // given surface, so the cell and that surface agree; corner 1 is made anew.
  for (Maker maker : {Maker::Make, Maker::New}) {
    SCOPED_TRACE(name(maker));
    SetArraysZero();
    FlagUnstrucWedge = 1;
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
    level = [](int i, int j, int k) { return (i == 0 && j == 0 && k == 2) ? 3.0 : double(k); };
    num[1][1][3] = 1;
    num[1][1][4] = 2;
    fillCorners(1, 1, 4);
    make(maker, 2, 1, 1, 4);
    ASSERT_EQ(NoPoints, 8);
    const int top = Cflateb[2];

    fillCorners(1, 1, 3);
    ASSERT_EQ(NewCell.z[1], NewCell.z[5]);
    NewCell.cell[6] = 2;
    NewCell.flate[6] = top;
    make(maker, 1, 1, 1, 3);
    EXPECT_EQ(NoPoints, 12);
    EXPECT_EQ(Cflatet[1], top);
    EXPECT_EQ(Fcell1[top], 1);
    EXPECT_EQ(Fcell2[top], 2);
    EXPECT_EQ(Cpoint5[1], Cpoint1[2]);
    EXPECT_EQ(surfacePoints(top), (std::array<int, 4>{Cpoint5[1], Cpoint6[1], Cpoint7[1],
                                                      Cpoint8[1]}));
    EXPECT_NE(Cpoint1[1], Cpoint5[1]);
  }
}

}  // namespace
}  // namespace qorva
