// Grid metrics on small hand-made grids: cell and surface geometry against hand-computed
// volumes, centres, half sizes, areas and normals; side codes, distances and cells beyond;
// flow flags; block joints; the bad-cell stops; nesting links; the cellvol histogram and the
// reports; the solving order; the topology check and the local deepening of F 395.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "grid/cell_template.h"
#include "grid/generator.h"
#include "grid/grid.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/nests.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva {
namespace {

constexpr double kTol = 1e-12;
const double kSqrt2 = std::sqrt(2.0);

struct Corner {
  double x, y, z;
};
using Corners = std::array<Corner, 8>;  // corners 1..8 at indexes 0..7

// Box with vertical edges: bottom corners counter-clockwise from the south-west at z0, the
// top corners above them at z1.
Corners box(double x0, double x1, double y0, double y1, double z0, double z1) {
  return {{{x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0},
           {x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}}};
}

// Surface corners of each side (1 south .. 6 top), as the cell makers lay them out.
constexpr int kSideCorners[7][4] = {{0, 0, 0, 0}, {1, 5, 6, 2}, {2, 3, 7, 6}, {4, 8, 7, 3},
                                     {1, 4, 8, 5}, {1, 2, 3, 4}, {5, 6, 7, 8}};

Table1<int>& surfaceOf(int side) {
  Table1<int>* t[7] = {&Cflates, &Cflates, &Cflatee, &Cflaten, &Cflatew, &Cflateb, &Cflatet};
  return *t[side];
}
Table1<int>& neighbourOf(int side) {
  Table1<int>* t[7] = {&Ccells, &Ccells, &Ccelle, &Ccelln, &Ccellw, &Ccellb, &Ccellt};
  return *t[side];
}
int opposite(int side) {
  constexpr int o[7] = {0, 3, 4, 1, 2, 6, 5};
  return o[side];
}

// Appends a cell with eight new points. Its surfaces are new except those given in `reuse`
// (by side); a new east, north or top surface has the cell in Fcell1, a new south, west or
// bottom surface in Fcell2; a reused surface takes the cell in its free slot.
int addCell(const Corners& k, std::array<int, 7> reuse = {}) {
  const int c = ++NoCells;
  int p[9] = {};
  for (int m = 1; m <= 8; ++m) {
    p[m] = ++NoPoints;
    Px[p[m]] = k[m - 1].x;
    Py[p[m]] = k[m - 1].y;
    Pz[p[m]] = k[m - 1].z;
  }
  Cpoint1[c] = p[1]; Cpoint2[c] = p[2]; Cpoint3[c] = p[3]; Cpoint4[c] = p[4];
  Cpoint5[c] = p[5]; Cpoint6[c] = p[6]; Cpoint7[c] = p[7]; Cpoint8[c] = p[8];
  for (int side = 1; side <= 6; ++side) {
    int f = reuse[side];
    if (f > 0) {
      if (Fcell1[f] != 0) Fcell2[f] = c; else Fcell1[f] = c;
    } else {
      f = ++NoSurfaces;
      Fpoint1[f] = p[kSideCorners[side][0]];
      Fpoint2[f] = p[kSideCorners[side][1]];
      Fpoint3[f] = p[kSideCorners[side][2]];
      Fpoint4[f] = p[kSideCorners[side][3]];
      const bool own1 = side == 2 || side == 3 || side == 6;
      (own1 ? Fcell1 : Fcell2)[f] = c;
    }
    surfaceOf(side)[c] = f;
  }
  return c;
}

// Neighbours both ways: b lies on side `side` of a.
void link(int a, int side, int b) {
  neighbourOf(side)[a] = b;
  neighbourOf(opposite(side))[b] = a;
}

void useWholeGrid() {
  WCStart = 1;
  WCEnd = NoCells;
  WFStart = 1;
  WFEnd = NoSurfaces;
}

// Status of the run's end, or 1000 when metric returned.
int runMetric() {
  try {
    metric();
  } catch (const RunEnd& e) {
    return e.status;
  }
  return 1000;
}

class Metrics : public test::Scratch {
 protected:
  void SetUp() override {
    Scratch::SetUp();
    xnumber = 4;
    ynumber = 3;
    znumber = 5;
    lnumber = 1;
    MaxCeller = 40;
    MaxFlater = 150;
    MaxPunkter = 330;
    MaxNester = 5;
    MaxConnFlate = 4;
    allocate();
    NoBlocks = 0;
    NoConnFlate = 0;
    WCStart = WCEnd = WFStart = WFEnd = 0;
    for (int& b : blocknested) b = 0;
    std::remove("boogie");
  }
  void TearDown() override {
    SetArraysZero();
    Scratch::TearDown();
  }
  // An empty grid, as a rebuild leaves it before the cells are made.
  static void fresh() {
    allocate();
    FlagHaveDoneMetric = 0;
  }
  static void allocate() {
    SetArraysZero();
    ASSERT_EQ(sialloc(), 0);
    ASSERT_GT(AllocateArrays(1, 1, 1), 0.0);
  }

  // Columns of a block: column (i, j) spans xs[i-1]..xs[i] and ys[j-1]..ys[j] and has one cell
  // between each two consecutive levels of levels(i, j). Cells are numbered with j outer, i
  // inner and upward in a column; cells of neighbouring columns with the same bottom and top
  // are linked and share their surface, as are the cells of a column. Sets zval[i][j][0], the
  // bed cells and block 1.
  static void columns(const std::vector<double>& xs, const std::vector<double>& ys,
                      const std::function<std::vector<double>(int, int)>& levels) {
    const int nx = static_cast<int>(xs.size()) - 1, ny = static_cast<int>(ys.size()) - 1;
    const int first = NoCells + 1;
    int bed = 0;
    auto cellAt = [&levels](int i, int j, double z0, double z1) {
      if (i < 1 || j < 1) return 0;
      const int c0 = static_cast<int>(zval[i][j][0]);
      if (c0 == 0) return 0;
      const std::vector<double> l = levels(i, j);
      for (std::size_t k = 0; k + 1 < l.size(); ++k)
        if (l[k] == z0 && l[k + 1] == z1) return c0 + static_cast<int>(k);
      return 0;
    };
    for (int j = 1; j <= ny; ++j)
      for (int i = 1; i <= nx; ++i) {
        const std::vector<double> l = levels(i, j);
        ++bed;
        pointbed[i][j] = bed;
        Bkooi[bed] = i;
        Bkooj[bed] = j;
        for (std::size_t k = 0; k + 1 < l.size(); ++k) {
          const int w = cellAt(i - 1, j, l[k], l[k + 1]);
          const int s = cellAt(i, j - 1, l[k], l[k + 1]);
          const int below = k > 0 ? NoCells : 0;
          std::array<int, 7> reuse = {};
          if (w) reuse[4] = Cflatee[w];
          if (s) reuse[1] = Cflaten[s];
          if (below) reuse[5] = Cflatet[below];
          const int c = addCell(box(xs[i - 1], xs[i], ys[j - 1], ys[j], l[k], l[k + 1]), reuse);
          if (k == 0) zval[i][j][0] = c;
          if (w) link(c, 4, w);
          if (s) link(c, 1, s);
          if (below) link(c, 5, below);
          Cbed[c] = bed;
        }
      }
    NoBlocks = 1;
    block[1].i1 = 1;
    block[1].i2 = nx;
    block[1].j1 = 1;
    block[1].j2 = ny;
    block[1].bedfollow = 1;
    block[1].cellstart = first;
    block[1].cellend = NoCells;
    useWholeGrid();
  }
};

struct CellGeometry {
  const char* what;
  Corners corners;
  double xc, yc, zc;
  double dxdi, dydi, dzdi, dxdj, dydj, dzdj, dxdk, dydk, dzdk;
  double idist, jdist, kdist, areaz, vol, areay, areax;
};

// ---------------------------------------------------------------------------------------------
// Cells

TEST_F(Metrics, CellGeometryOfHandMadeCells) {
  // Wedge: corner 5 lies on corner 1 (the south-west vertical edge has collapsed); the top is
  // the bilinear surface z = x + y - xy over the unit square, so the volume is the mean corner
  // height, 0.75.
  Corners wedge = box(0, 1, 0, 1, 0, 1);
  wedge[4].z = 0;
  const double r17 = std::sqrt(17.0) / 8;
  const std::vector<CellGeometry> cases = {
      {"unit cube", box(0, 1, 0, 1, 0, 1), 0.5, 0.5, 0.5, 1, 0, 0, 0, 1, 0, 0, 0, 1,
       0.5, 0.5, 0.5, 1, 1, 1, 1},
      // Parallelogram base (0,0) (2,0) (3,1) (1,1), area 2, height 2: volume 4; a j face is
      // 2 wide and 2 high, an i face sqrt(2) wide and 2 high.
      {"sheared hexahedron",
       {{{0, 0, 0}, {2, 0, 0}, {3, 1, 0}, {1, 1, 0}, {0, 0, 2}, {2, 0, 2}, {3, 1, 2}, {1, 1, 2}}},
       1.5, 0.5, 1, 2, 0, 0, 1, 1, 0, 0, 0, 2, 1, kSqrt2 / 2, 1, 2, 4, 4, 2 * kSqrt2},
      {"wedge", wedge, 0.5, 0.5, 0.375, 1, 0, 0.25, 0, 1, 0.25, 0, 0, 0.75, r17, r17, 0.375, 1,
       0.75, 0.75, 0.75},
      // Box 2 x 3 x 0.5 away from the origin.
      {"box", box(10, 12, 20, 23, -1, -0.5), 11, 21.5, -0.75, 2, 0, 0, 0, 3, 0, 0, 0, 0.5, 1,
       1.5, 0.25, 6, 3, 1, 1.5},
  };
  for (const CellGeometry& g : cases) {
    SCOPED_TRACE(g.what);
    fresh();
    const int c = addCell(g.corners);
    ASSERT_EQ(runMetric(), 1000) << log();
    EXPECT_NEAR(Cxcenter[c], g.xc, kTol);
    EXPECT_NEAR(Cycenter[c], g.yc, kTol);
    EXPECT_NEAR(Czcenter[c], g.zc, kTol);
    EXPECT_NEAR(Cdxdi[c], g.dxdi, kTol);
    EXPECT_NEAR(Cdydi[c], g.dydi, kTol);
    EXPECT_NEAR(Cdzdi[c], g.dzdi, kTol);
    EXPECT_NEAR(Cdxdj[c], g.dxdj, kTol);
    EXPECT_NEAR(Cdydj[c], g.dydj, kTol);
    EXPECT_NEAR(Cdzdj[c], g.dzdj, kTol);
    EXPECT_NEAR(Cdxdk[c], g.dxdk, kTol);
    EXPECT_NEAR(Cdydk[c], g.dydk, kTol);
    EXPECT_NEAR(Cdzdk[c], g.dzdk, kTol);
    EXPECT_NEAR(Cidist[c], g.idist, kTol);
    EXPECT_NEAR(Cjdist[c], g.jdist, kTol);
    EXPECT_NEAR(Ckdist[c], g.kdist, kTol);
    EXPECT_NEAR(Careaz[c], g.areaz, kTol);
    EXPECT_NEAR(Cvol[c], g.vol, kTol);
    EXPECT_NEAR(Careay[c], g.areay, kTol);
    EXPECT_NEAR(Careax[c], g.areax, kTol);
  }
}

struct SurfaceGeometry {
  int side;
  double ax, ay, az, area;
  int type1, type2;
  double dist1, dist2, dz;
  int flag, in;
};

void expectSurfaces(int c, const std::vector<SurfaceGeometry>& want) {
  for (const SurfaceGeometry& w : want) {
    SCOPED_TRACE("side " + std::to_string(w.side));
    const int f = surfaceOf(w.side)[c];
    EXPECT_NEAR(Fax[f], w.ax, kTol);
    EXPECT_NEAR(Fay[f], w.ay, kTol);
    EXPECT_NEAR(Faz[f], w.az, kTol);
    EXPECT_NEAR(Farea[f], w.area, kTol);
    EXPECT_NEAR(Fvx[f], w.ax / w.area, 1e-9);
    EXPECT_NEAR(Fvy[f], w.ay / w.area, 1e-9);
    EXPECT_NEAR(Fvz[f], w.az / w.area, 1e-9);
    EXPECT_EQ(Ftype1[f], w.type1);
    EXPECT_EQ(Ftype2[f], w.type2);
    if (w.type1) {
      EXPECT_NEAR(Fdist1[f], w.dist1, kTol);
    }
    if (w.type2) {
      EXPECT_NEAR(Fdist2[f], w.dist2, kTol);
    }
    EXPECT_NEAR(Fdz[f], w.dz, kTol);
    EXPECT_EQ(Fflagflow[f], w.flag);
    EXPECT_EQ(Fin[f], w.in);
  }
}

// The normal of every surface points from its Fcell1 to its Fcell2, that is towards +i, +j
// or +k; a lone cell's east, north and top surfaces carry it in Fcell1, the others in Fcell2.
TEST_F(Metrics, SurfacesOfTheUnitCube) {
  const int c = addCell(box(0, 1, 0, 1, 0, 1));
  ASSERT_EQ(runMetric(), 1000);
  expectSurfaces(c, {
                        {1, 0, 1, 0, 1, 0, 1, 0, 0.5, 0, -1, 1},
                        {2, 1, 0, 0, 1, 2, 0, 0.5, 0, 1, -1, -1},
                        {3, 0, 1, 0, 1, 3, 0, 0.5, 0, 1, -1, -1},
                        {4, 1, 0, 0, 1, 0, 4, 0, 0.5, 0, -1, 1},
                        {5, 0, 0, 1, 1, 0, 5, 0, 0.5, 0, -1, 1},
                        {6, 0, 0, 1, 1, 6, 0, 0.5, 0, 0, 0, -1},
                    });
}

TEST_F(Metrics, SurfacesOfTheShearedHexahedronAndTheWedge) {
  const int h = addCell(
      {{{0, 0, 0}, {2, 0, 0}, {3, 1, 0}, {1, 1, 0}, {0, 0, 2}, {2, 0, 2}, {3, 1, 2}, {1, 1, 2}}});
  Corners wedge = box(5, 6, 0, 1, 0, 1);
  wedge[4].z = 0;
  const int w = addCell(wedge);
  ASSERT_EQ(runMetric(), 1000);
  // East and west faces run along (1, 1) in plan: sqrt(2) wide, 2 high, normal (1, -1)/sqrt(2).
  expectSurfaces(h, {
                        {1, 0, 4, 0, 4, 0, 1, 0, kSqrt2 / 2, 0, -1, 1},
                        {2, 2, -2, 0, 2 * kSqrt2, 2, 0, 1, 0, 2, -1, -1},
                        {4, 2, -2, 0, 2 * kSqrt2, 0, 4, 0, 1, 0, -1, 1},
                        {5, 0, 0, 2, 2, 0, 5, 0, 1, 0, -1, 1},
                    });
  // The wedge's south and west faces are triangles of area 0.5; its top is z = x + y - xy
  // over the unit square, whose area vector is (-0.5, -0.5, 1).
  const double r17 = std::sqrt(17.0) / 8;
  expectSurfaces(w, {
                        {1, 0, 0.5, 0, 0.5, 0, 1, 0, r17, 0, -1, 1},
                        {2, 1, 0, 0, 1, 2, 0, r17, 0, 1, -1, -1},
                        {4, 0.5, 0, 0, 0.5, 0, 4, 0, r17, 0, -1, 1},
                        {6, -0.5, -0.5, 1, std::sqrt(1.5), 6, 0, 0.375, 0, 0, 0, -1},
                    });
}

// Three cells in a row (widths 1, 2, 1) and a column of two: shared surfaces carry both
// cells' sides, distances and the cells beyond.
TEST_F(Metrics, SharedSurfacesGiveBothSidesAndTheCellsBeyond) {
  const int a = addCell(box(0, 1, 0, 1, 0, 1));
  const int b = addCell(box(1, 3, 0, 1, 0, 1), {0, 0, 0, 0, Cflatee[a], 0, 0});
  const int c = addCell(box(3, 4, 0, 1, 0, 1), {0, 0, 0, 0, Cflatee[b], 0, 0});
  link(a, 2, b);
  link(b, 2, c);
  const int lo = addCell(box(0, 1, 5, 6, 0, 1));
  const int up = addCell(box(0, 1, 5, 6, 1, 3), {0, 0, 0, 0, 0, Cflatet[lo], 0});
  link(up, 5, lo);
  useWholeGrid();
  ASSERT_EQ(runMetric(), 1000);
  EXPECT_EQ(NoSurfaces, 6 + 5 + 5 + 6 + 5);

  struct Shared {
    int f, cell1, cell2, type1, type2, beyond1, beyond2;
    double dist1, dist2;
    int in;
  };
  const std::vector<Shared> cases = {
      {Cflatee[a], a, b, 2, 4, 0, c, 0.5, 1.0, 1},
      {Cflatee[b], b, c, 2, 4, a, 0, 1.0, 0.5, 1},
      {Cflatet[lo], lo, up, 6, 5, 0, 0, 0.5, 1.0, 1},
  };
  for (const Shared& s : cases) {
    SCOPED_TRACE(s.f);
    EXPECT_EQ(Cflatew[s.cell2] == s.f || Cflateb[s.cell2] == s.f, true);
    EXPECT_EQ(Fcell1[s.f], s.cell1);
    EXPECT_EQ(Fcell2[s.f], s.cell2);
    EXPECT_EQ(Ftype1[s.f], s.type1);
    EXPECT_EQ(Ftype2[s.f], s.type2);
    EXPECT_EQ(Fcell11[s.f], s.beyond1);
    EXPECT_EQ(Fcell22[s.f], s.beyond2);
    EXPECT_NEAR(Fdist1[s.f], s.dist1, kTol);
    EXPECT_NEAR(Fdist2[s.f], s.dist2, kTol);
    EXPECT_NEAR(Farea[s.f], 1.0, kTol);
    EXPECT_EQ(Fflagflow[s.f], 1);
    EXPECT_EQ(Fin[s.f], s.in);
  }
  // The upper cell of the column: height 2, so its lateral faces have Fdz 2.
  EXPECT_NEAR(Fdz[Cflatee[up]], 2.0, kTol);
  EXPECT_NEAR(Fdz[Cflaten[up]], 2.0, kTol);
  EXPECT_NEAR(Cvol[b], 2.0, kTol);
  EXPECT_NEAR(Cvol[up], 2.0, kTol);
}

// A sloping column pair made by the cell maker itself: plan quadrilaterals that are neither
// rectangles nor parallelograms, bed z = 0.1 x + 0.2 y, a layer interface 1.5 m and a water
// surface 4 m above it. Column A has corners (0,0) (4,1) (3.5,3) (0.5,2.5), plan area 7.875 by
// the shoelace formula; column B (4,1) (7,0) (6.5,3.5) (3.5,3), plan area 8.125; they share the
// edge (4,1)-(3.5,3). Layers of constant thickness: a cell's volume is its plan area times its
// thickness, and the area vectors of its six faces, taken outward, sum to zero.
TEST_F(Metrics, DistortedSlopingColumnsFromTheCellMaker) {
  struct Plan {
    double x[5], y[5];
  };
  const Plan pa = {{0, 0, 4, 3.5, 0.5}, {0, 0, 1, 3, 2.5}};
  const Plan pb = {{0, 4, 7, 6.5, 3.5}, {0, 1, 0, 3.5, 3}};
  auto bed = [](double x, double y) { return 0.1 * x + 0.2 * y; };
  // Cell c from plan p between bed + lo and bed + hi; neighbours and reused surfaces by side.
  auto make = [&bed](int c, const Plan& p, double lo, double hi, std::array<int, 7> cell,
                     std::array<int, 7> reuse) {
    NewCell = CellTemplate{};
    for (int m = 1; m <= 4; ++m) {
      NewCell.x[m] = NewCell.x[m + 4] = p.x[m];
      NewCell.y[m] = NewCell.y[m + 4] = p.y[m];
      NewCell.z[m] = bed(p.x[m], p.y[m]) + lo;
      NewCell.z[m + 4] = bed(p.x[m], p.y[m]) + hi;
    }
    for (int s = 1; s <= 6; ++s) {
      NewCell.cell[s] = cell[s];
      NewCell.flate[s] = reuse[s];
    }
    MakeCell(c);
    NoCells = c;
  };
  // Sides: 1 south, 2 east, 3 north, 4 west, 5 bottom, 6 top.
  make(1, pa, 0, 1.5, {0, 0, 3, 0, 0, 0, 2}, {});
  make(2, pa, 1.5, 4, {0, 0, 4, 0, 0, 1, 0}, {0, 0, 0, 0, 0, Cflatet[1], 0});
  make(3, pb, 0, 1.5, {0, 0, 0, 0, 1, 0, 4}, {0, 0, 0, 0, Cflatee[1], 0, 0});
  make(4, pb, 1.5, 4, {0, 0, 0, 0, 2, 3, 0}, {0, 0, 0, 0, Cflatee[2], Cflatet[3], 0});
  ASSERT_EQ(NoSurfaces, 6 + 5 + 5 + 4);
  ASSERT_EQ(NoPoints, 8 + 4 + 4 + 2);
  useWholeGrid();
  ASSERT_EQ(runMetric(), 1000) << log();

  struct Cell {
    double area, thickness, xc, yc, zc;
  };
  // Centres: mean plan corner, and the mean bed level of the corners (0.525 for A, 0.9 for B)
  // plus the middle of the layer.
  const Cell want[5] = {{},
                        {7.875, 1.5, 2, 1.625, 0.525 + 0.75},
                        {7.875, 2.5, 2, 1.625, 0.525 + 2.75},
                        {8.125, 1.5, 5.25, 1.875, 0.9 + 0.75},
                        {8.125, 2.5, 5.25, 1.875, 0.9 + 2.75}};
  double total = 0;
  for (int c = 1; c <= 4; ++c) {
    SCOPED_TRACE(c);
    EXPECT_NEAR(Careaz[c], want[c].area, kTol);
    EXPECT_NEAR(Cvol[c], want[c].area * want[c].thickness, kTol);
    EXPECT_NEAR(Ckdist[c], 0.5 * want[c].thickness, kTol);
    EXPECT_NEAR(Cxcenter[c], want[c].xc, kTol);
    EXPECT_NEAR(Cycenter[c], want[c].yc, kTol);
    EXPECT_NEAR(Czcenter[c], want[c].zc, kTol);
    total += Cvol[c];
    double sum[3] = {0, 0, 0};
    for (int side = 1; side <= 6; ++side) {
      const int f = surfaceOf(side)[c];
      ASSERT_GT(f, 0);
      // The normal points from Fcell1 to Fcell2: outward for the cell in Fcell1.
      const double sign = Fcell1[f] == c ? 1.0 : -1.0;
      EXPECT_EQ(Fcell1[f] == c || Fcell2[f] == c, true) << side;
      sum[0] += sign * Fax[f];
      sum[1] += sign * Fay[f];
      sum[2] += sign * Faz[f];
    }
    for (const double v : sum) EXPECT_NEAR(v, 0, kTol);
  }
  EXPECT_NEAR(total, (7.875 + 8.125) * 4, kTol);

  // Column A's mean i edge is (3.5, 0.75) in plan and rises 0.1 * 3.5 + 0.2 * 0.75 = 0.5; its
  // mean j edge (0, 2.25) rises 0.45. Column B's mean i edge is (3, -0.25), rising 0.25.
  EXPECT_NEAR(Cdxdi[1], 3.5, kTol);
  EXPECT_NEAR(Cdydi[1], 0.75, kTol);
  EXPECT_NEAR(Cdzdi[1], 0.5, kTol);
  EXPECT_NEAR(Cdxdj[1], 0, kTol);
  EXPECT_NEAR(Cdydj[1], 2.25, kTol);
  EXPECT_NEAR(Cdzdj[1], 0.45, kTol);
  EXPECT_NEAR(Cdzdk[1], 1.5, kTol);
  EXPECT_NEAR(Cidist[1], 0.5 * std::sqrt(3.5 * 3.5 + 0.75 * 0.75 + 0.25), kTol);
  EXPECT_NEAR(Cjdist[1], 0.5 * std::sqrt(2.25 * 2.25 + 0.45 * 0.45), kTol);
  EXPECT_NEAR(Careay[1], std::sqrt(3.5 * 3.5 + 0.75 * 0.75) * 1.5, kTol);  // j face
  EXPECT_NEAR(Careax[1], 2.25 * 1.5, kTol);                                // i face
  EXPECT_NEAR(Cidist[3], 0.5 * std::sqrt(9 + 0.0625 + 0.0625), kTol);

  struct Face {
    const char* what;
    int f, cell1, cell2, type1, type2;
    double ax, ay, az, dist1, dist2, dz;
  };
  // The shared side of the lower cells runs along (-0.5, 2) in plan, 1.5 m high: area vector
  // 1.5 (2, 0.5, 0). A sloping plane over plan area A has the area vector A (-0.1, -0.2, 1).
  const std::vector<Face> faces = {
      {"A-B lower", Cflatee[1], 1, 3, 2, 4, 3, 0.75, 0, Cidist[1], Cidist[3], 1.5},
      {"A-B upper", Cflatee[2], 2, 4, 2, 4, 5, 1.25, 0, Cidist[2], Cidist[4], 2.5},
      {"A interface", Cflatet[1], 1, 2, 6, 5, -0.7875, -1.575, 7.875, 0.75, 1.25, 0},
      {"B water surface", Cflatet[4], 4, 0, 6, 0, -0.8125, -1.625, 8.125, 1.25, 0, 0},
      {"A bed", Cflateb[1], 0, 1, 0, 5, -0.7875, -1.575, 7.875, 0, 0.75, 0},
      {"A south", Cflates[1], 0, 1, 0, 1, -1.5, 6, 0, 0, Cjdist[1], 0},
      {"B north", Cflaten[3], 3, 0, 3, 0, -1.5 * 0.5, 1.5 * 3, 0, Cjdist[3], 0, 1.5},
  };
  for (const Face& t : faces) {
    SCOPED_TRACE(t.what);
    EXPECT_EQ(Fcell1[t.f], t.cell1);
    EXPECT_EQ(Fcell2[t.f], t.cell2);
    EXPECT_EQ(Ftype1[t.f], t.type1);
    EXPECT_EQ(Ftype2[t.f], t.type2);
    EXPECT_NEAR(Fax[t.f], t.ax, kTol);
    EXPECT_NEAR(Fay[t.f], t.ay, kTol);
    EXPECT_NEAR(Faz[t.f], t.az, kTol);
    const double area = std::sqrt(t.ax * t.ax + t.ay * t.ay + t.az * t.az);
    EXPECT_NEAR(Farea[t.f], area, kTol);
    EXPECT_NEAR(Fvx[t.f], t.ax / area, 1e-12);
    EXPECT_NEAR(Fvy[t.f], t.ay / area, 1e-12);
    EXPECT_NEAR(Fvz[t.f], t.az / area, 1e-12);
    if (t.type1) {
      EXPECT_NEAR(Fdist1[t.f], t.dist1, kTol);
    }
    if (t.type2) {
      EXPECT_NEAR(Fdist2[t.f], t.dist2, kTol);
    }
    EXPECT_NEAR(Fdz[t.f], t.dz, kTol);
  }
  EXPECT_EQ(Fcell11[Cflatee[1]], 0);  // west of A: nothing
  EXPECT_EQ(Fcell22[Cflatee[1]], 0);  // east of B: nothing
  EXPECT_EQ(Fcell11[Cflatet[1]], 0);  // below A's lower cell
  EXPECT_EQ(Fcell22[Cflateb[2]], 0);  // above A's upper cell
  EXPECT_EQ(Fcell11[Cflatet[4]], 3);
}

// ---------------------------------------------------------------------------------------------
// Bad cells

// A bad cell ends the run with -1 once the state is saved. While the alldata writer is not
// built, its placeholder ends the run (status 1) after the report has been logged.
void expectBadCellEnd(int status, const std::string& log, const std::string& report) {
  const auto at = log.find(report);
  ASSERT_NE(at, std::string::npos) << log;
  const auto missing = log.find("Not available in this version");
  if (missing != std::string::npos) {
    EXPECT_EQ(status, 1);
    EXPECT_LT(at, missing);
  } else {
    EXPECT_EQ(status, -1);
  }
}

TEST_F(Metrics, BadCellsStopTheRunWithTheirReport) {
  struct Case {
    const char* what;
    std::function<void(Corners&)> spoil;
    const char* report;
  };
  const std::vector<Case> cases = {
      {"corners 2 and 4 exchanged: clockwise in plan, volume -1",
       [](Corners& k) { std::swap(k[1], k[3]); std::swap(k[5], k[7]); },
       "\nIn metric, Error for cell 2, zero volume: -1.000000\n "},
      {"corners 3 and 4 exchanged: crossed in plan, volume 0",
       [](Corners& k) { std::swap(k[2], k[3]); std::swap(k[6], k[7]); },
       "\nIn metric, Error for cell 2, zero volume: 0.000000\n "},
      {"top on the bottom", [](Corners& k) { for (int m = 4; m < 8; ++m) k[m].z = 0; },
       "\nIn metric, Error for cell 2, zero volume: 0.000000\n "},
      {"top corner 7 moved 1e-6 in x", [](Corners& k) { k[6].x += 1e-6; },
       "\nIn metric, Error for cell 2, skewed in horizontal direction\n"},
      {"top corner 8 moved 1e-6 in y", [](Corners& k) { k[7].y -= 1e-6; },
       "\nIn metric, Error for cell 2, skewed in horizontal direction\n"},
      {"top below the bottom", [](Corners& k) { for (int m = 4; m < 8; ++m) k[m].z = -1; },
       "\nIn metric, Error for cell 2, negative vertical direction\n"},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.what);
    fresh();
    std::remove("boogie");
    addCell(box(5, 6, 5, 6, 0, 1));
    Corners k = box(0, 1, 0, 1, 0, 1);
    t.spoil(k);
    addCell(k);
    const int status = runMetric();
    expectBadCellEnd(status, log(), t.report);
    // The cells before the bad one are computed.
    EXPECT_NEAR(Cvol[1], 1.0, kTol);
  }
}

TEST_F(Metrics, VerticalEdgesWithinTheToleranceAreAccepted) {
  for (const double dx : {0.0, 1e-7, -2e-7}) {
    SCOPED_TRACE(dx);
    fresh();
    Corners k = box(0, 1, 0, 1, 0, 1);
    k[6].x += dx;  // Cdxdk = dx / 4
    addCell(k);
    EXPECT_EQ(runMetric(), 1000) << log();
  }
}

TEST_F(Metrics, ZeroVolumeReportGivesTheColumn) {
  zval[1][1][1] = -2;
  zval[1][1][znumber] = 3;
  zval[1][0][1] = -2.5;
  Surfaces[3][0][1] = -7;
  columns({0, 1}, {0, 1}, [](int, int) { return std::vector<double>{0, 1}; });
  for (int m : {Cpoint5[1], Cpoint6[1], Cpoint7[1], Cpoint8[1]}) Pz[m] = 0;
  Iter = 4;
  const int status = runMetric();
  const std::string text = log();
  expectBadCellEnd(status, text, "\nIn metric, Error for cell 1, zero volume: 0.000000\n ");
  const std::string want =
      "Bed cell b=1\n"
      "Cell indexes: i=1, j=1, bed cell=1\n"
      "zval[1]: 0.000000 -2.500000 -2.000000 0.000000\n"
      "zval[znumber]: 0.000000 0.000000 3.000000 0.000000\n"
      "Surfaces[LB]: 0.000000 0.000000 0.000000 -7.000000\n"
      "Iter = 4\n"
      "idist,jdist,kdist = 0.500000 0.500000 0.000000\n"
      "Careax = 0.000000, Careay = 0.000000, Careaz = 1.000000\n"
      "Coordinates: x: 0.000000 1.000000 1.000000 0.000000\n"
      "Coordinates: x: 0.000000 1.000000 1.000000 0.000000\n"
      "Coordinates: y: 0.000000 0.000000 1.000000 1.000000\n"
      "Coordinates: y: 0.000000 0.000000 1.000000 1.000000\n"
      "Coordinates: z: 0.000000 0.000000 0.000000 0.000000\n"
      "Coordinates: z: 0.000000 0.000000 0.000000 0.000000\n";
  EXPECT_NE(text.find(want), std::string::npos) << text;
}

TEST_F(Metrics, SkewReportListsCornersAndNeighbours) {
  columns({0, 1, 2}, {0, 1}, [](int, int) { return std::vector<double>{0, 1}; });
  Px[Cpoint7[2]] += 0.001;
  const int status = runMetric();
  const std::string text = log();
  expectBadCellEnd(status, text, "\nIn metric, Error for cell 2, skewed in horizontal direction\n");
  const std::string want =
      "Cdxdk,Cdydk = 0.000250 0.000000\n"
      "Both these numbers should have very small values\n";
  EXPECT_NE(text.find(want), std::string::npos) << text;
  const std::string corners =
      "Coordinates: x and y values for the eight corners of the cell: \n"
      "Point 1: 1.000000 0.000000\n"
      "Point 5: 1.000000 0.000000\n"
      "Point 2: 2.000000 0.000000\n"
      "Point 6: 2.000000 0.000000\n"
      "Point 3: 2.000000 1.000000\n"
      "Point 7: 2.001000 1.000000\n"
      "Point 4: 1.000000 1.000000\n"
      "Point 8: 1.000000 1.000000\n"
      "Indexes for pointers to cells: \n"
      "Point 1: 9\n";
  EXPECT_NE(text.find(corners), std::string::npos) << text;
  const std::string tail =
      "Grid indexes: (2,1)\n"
      "Neighbour cells: \n"
      "North: 0, South: 0, East: 0, West: 1, Top: 0, Bottom: 0\n";
  EXPECT_NE(text.find(tail), std::string::npos) << text;
}

TEST_F(Metrics, NegativeVerticalReportGivesTheColumnAndItsNeighbours) {
  for (int i = 0; i <= xnumber + 1; ++i)
    for (int j = 0; j <= ynumber + 1; ++j) {
      zval[i][j][1] = -1;
      zval[i][j][znumber] = 1;
    }
  // Columns (2..3, 2..3); the bad cell is the bottom cell of column (2, 2).
  columns({0, 1, 2, 3}, {0, 1, 2, 3}, [](int i, int j) {
    return i >= 2 && j >= 2 ? std::vector<double>{0, 1, 2} : std::vector<double>{};
  });
  const int c = static_cast<int>(zval[2][2][0]);
  ASSERT_EQ(c, 1);
  for (int m : {Cpoint5[c], Cpoint6[c], Cpoint7[c], Cpoint8[c]}) Pz[m] = -1;
  const int status = runMetric();
  const std::string text = log();
  expectBadCellEnd(status, text, "\nIn metric, Error for cell 1, negative vertical direction\n");
  const std::string want =
      "Cdzdk = -1.000000e+00, Ckdist = 5.000000e-01\n"
      "Ccellb = 0, Ccellt = 2\n"
      "Cdzdk[Ccellt[ll]] = 0.000000e+00\n"
      "Point 1: 1.000000 1.000000 0.000000e+00\n"
      "Point 5: 1.000000 1.000000 -1.000000e+00\n";
  EXPECT_NE(text.find(want), std::string::npos) << text;
  const std::string column =
      "2D cell indexes: 2 2, depth = 2.000000 meters.\n"
      "ant = 0, antlin = 0, 0, 0, 0\n"
      "zval[i-1][j-1] = -1.000000 1.000000\n"
      "zval[i][j-1] = -1.000000 1.000000\n"
      "zval[i][j] = -1.000000 1.000000\n"
      "zval[i-1][j] = -1.000000 1.000000\n"
      "Bed neighbours (senw): 2 6 8 4\n"
      "Cell neighbours (senw): 0 3 5 0\n"
      "zval[0] = 1\n";
  EXPECT_NE(text.find(column), std::string::npos) << text;
}

// ---------------------------------------------------------------------------------------------
// Recomputation

TEST_F(Metrics, SecondCallRecomputesOnlyAfterARebuildOrWithF523) {
  addCell(box(0, 1, 0, 1, 0, 1));
  ASSERT_EQ(runMetric(), 1000);
  EXPECT_EQ(FlagHaveDoneMetric, 1);
  Pz[Cpoint5[1]] = Pz[Cpoint6[1]] = Pz[Cpoint7[1]] = Pz[Cpoint8[1]] = 3;
  ASSERT_EQ(runMetric(), 1000);
  EXPECT_NEAR(Cvol[1], 1.0, kTol);  // unchanged geometry assumed
  FlagTestBugMetric = 1;
  ASSERT_EQ(runMetric(), 1000);
  EXPECT_NEAR(Cvol[1], 3.0, kTol);
  FlagTestBugMetric = 0;
  FlagHaveDoneMetric = 0;  // as a rebuild leaves it
  Pz[Cpoint5[1]] = Pz[Cpoint6[1]] = Pz[Cpoint7[1]] = Pz[Cpoint8[1]] = 2;
  ASSERT_EQ(runMetric(), 1000);
  EXPECT_NEAR(Cvol[1], 2.0, kTol);
}

TEST_F(Metrics, ExtraDebugLogsStartAndEnd) {
  FlagExtraDebug = 1;
  addCell(box(0, 1, 0, 1, 0, 1));
  ASSERT_EQ(runMetric(), 1000);
  ASSERT_EQ(runMetric(), 1000);
  EXPECT_EQ(log(), "In start of metric 0\nEnd metric\nIn start of metric 1\n");
}

// ---------------------------------------------------------------------------------------------
// Flow flags

TEST_F(Metrics, FlowFlagsOfBoundarySurfacesByWallFlag) {
  struct Case {
    int wall;
    int south, east, north, west, bottom, top;
  };
  const std::vector<Case> cases = {
      {0, -1, -1, -1, -1, -1, 0}, {1, 0, 0, 0, 0, -1, 0},     {2, 0, 0, 0, 0, -1, 0},
      {3, -1, -1, -1, -1, -1, 0}, {4, -1, -1, -1, -1, -1, -1}, {5, 0, 0, 0, 0, 0, -1},
  };
  addCell(box(0, 1, 0, 1, 0, 1));
  const int b = addCell(box(1, 2, 0, 1, 0, 1), {0, 0, 0, 0, Cflatee[1], 0, 0});
  link(1, 2, b);
  for (const Case& t : cases) {
    SCOPED_TRACE(t.wall);
    WallFlag = t.wall;
    FlagHaveDoneMetric = 0;
    ASSERT_EQ(runMetric(), 1000);
    EXPECT_EQ(Fflagflow[Cflates[1]], t.south);
    EXPECT_EQ(Fflagflow[Cflatee[b]], t.east);
    EXPECT_EQ(Fflagflow[Cflaten[1]], t.north);
    EXPECT_EQ(Fflagflow[Cflatew[1]], t.west);
    EXPECT_EQ(Fflagflow[Cflateb[1]], t.bottom);
    EXPECT_EQ(Fflagflow[Cflatet[1]], t.top);
    EXPECT_EQ(Fflagflow[Cflatee[1]], 1);  // between the two cells
  }
}

// Column A (x 0..1) has two cells, the upper one with its east (or, for column B, west) edge
// collapsed to a height of `edge`; the bottom cell of A may have an east neighbour.
TEST_F(Metrics, SmallSideSurfacesAboveAConnectedBottomCell) {
  struct Case {
    const char* what;
    double edge;
    bool neighbour;
    int east, west;
  };
  const std::vector<Case> cases = {
      {"degenerate, bottom cells joined", 1e-9, true, 2, 2},
      {"degenerate, bottom cells apart", 1e-9, false, 0, 0},
      {"full faces", 1.0, true, -1, -1},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.what);
    fresh();
    const int a1 = addCell(box(0, 1, 0, 1, 0, 1));
    Corners k = box(0, 1, 0, 1, 1, 2);
    k[5].z = k[6].z = 1 + t.edge;  // corners 6 and 7 (east)
    const int a2 = addCell(k, {0, 0, 0, 0, 0, Cflatet[a1], 0});
    link(a2, 5, a1);
    const int b1 = addCell(box(3, 4, 0, 1, 0, 1));
    Corners m = box(3, 4, 0, 1, 1, 2);
    m[4].z = m[7].z = 1 + t.edge;  // corners 5 and 8 (west)
    const int b2 = addCell(m, {0, 0, 0, 0, 0, Cflatet[b1], 0});
    link(b2, 5, b1);
    if (t.neighbour) {
      Ccelle[a1] = b1;  // joined across the gap, as a block joint would
      Ccellw[b1] = a1;
    }
    ASSERT_EQ(runMetric(), 1000);
    EXPECT_EQ(Fflagflow[Cflatee[a2]], t.east);
    // The function itself does not look at the area.
    EXPECT_EQ(findFlagflowTriangle(Cflatee[a2]), t.neighbour ? 2 : 0);
    EXPECT_EQ(findFlagflowTriangle(Cflatew[b2]), t.neighbour ? 2 : 0);
    EXPECT_EQ(Fflagflow[Cflatew[b2]], t.west);
  }
}

TEST_F(Metrics, SmallSurfaceOfABottomCellIsClosed) {
  Corners k = box(0, 1, 0, 1, 0, 1);
  k[1].z = k[2].z = 1 - 1e-9;  // east edge collapsed near the top
  const int c = addCell(k);
  ASSERT_EQ(runMetric(), 1000);
  EXPECT_LT(Farea[Cflatee[c]], 1e-8);
  EXPECT_EQ(Fflagflow[Cflatee[c]], 0);
}

TEST_F(Metrics, BlockDivisionOpensTheOuterSidesOfBlock1) {
  columns({0, 1, 2}, {0, 1}, [](int i, int) {
    return i == 1 ? std::vector<double>{0, 1, 2} : std::vector<double>{1, 2};
  });
  FlagMPI = 2;
  ASSERT_EQ(runMetric(), 1000);
  // Column 1 holds cells 1 and 2, column 2 cell 3.
  EXPECT_EQ(Fflagflow[Cflatew[1]], 0);
  EXPECT_EQ(Fflagflow[Cflatew[2]], 0);
  EXPECT_EQ(Fflagflow[Cflatee[3]], 0);
  EXPECT_EQ(Fflagflow[Cflatee[1]], -1);  // below column 2's cell: a wall
  EXPECT_EQ(Fflagflow[Cflates[1]], -1);
  EXPECT_EQ(Fflagflow[Cflaten[3]], -1);
  EXPECT_EQ(Fflagflow[Cflatee[2]], 1);
}

// Two cells whose shared face has collapsed to 1e-9 m2 (both cells are wedges towards it).
TEST_F(Metrics, TinyFaceBetweenTwoCellsIsCutWithF159) {
  for (const int stab : {0, 5, 6}) {
    SCOPED_TRACE(stab);
    fresh();
    FlagGridStab5 = stab;
    Corners k = box(0, 1, 0, 1, 0, 1);
    k[5].z = k[6].z = 1e-9;
    const int a = addCell(k);
    Corners m = box(1, 2, 0, 1, 0, 1);
    m[4].z = m[7].z = 1e-9;
    const int b = addCell(m, {0, 0, 0, 0, Cflatee[a], 0, 0});
    link(a, 2, b);
    ASSERT_EQ(runMetric(), 1000);
    const int f = Cflatee[a];
    const bool cut = stab != 0;
    EXPECT_EQ(Fflagflow[f], cut ? 0 : 1);
    EXPECT_EQ(Ccelle[a], cut ? 0 : b);
    EXPECT_EQ(Ccellw[b], cut ? 0 : a);
    EXPECT_EQ(Fcell1[f], cut ? 0 : a);
    EXPECT_EQ(Fcell2[f], cut ? 0 : b);
  }
}

// ---------------------------------------------------------------------------------------------
// Corrections

TEST_F(Metrics, WedgeCorrectionsOfF235) {
  struct Case {
    int flag;
    double vol, areax, areay, east;
  };
  // The wedge: corner 5 on corner 1; volume 0.75, Careax = Careay = 0.75; its south and west
  // faces are triangles (0.5), its east and north faces unit squares. Its east neighbour
  // shares the east face.
  const std::vector<Case> cases = {
      {0, 0.75, 0.75, 0.75, 1}, {2, 0.75, 0.75, 0.75, 2}, {3, 1.5, 0.75, 0.75, 1},
      {22, 0.75, 1, 1, 1},      {1, 0.75, 0.75, 0.75, 1},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.flag);
    fresh();
    FlagCorrTrekant = t.flag;
    Corners k = box(0, 1, 0, 1, 0, 1);
    k[4].z = 0;
    const int w = addCell(k);
    const int b = addCell(box(1, 2, 0, 1, 0, 1), {0, 0, 0, 0, Cflatee[w], 0, 0});
    link(w, 2, b);
    Ctrekant[w] = 1;
    ASSERT_EQ(runMetric(), 1000);
    EXPECT_NEAR(Cvol[w], t.vol, kTol);
    EXPECT_NEAR(Careax[w], t.areax, kTol);
    EXPECT_NEAR(Careay[w], t.areay, kTol);
    EXPECT_NEAR(Farea[Cflatee[w]], t.east, kTol);
    EXPECT_NEAR(Farea[Cflatew[w]], 0.5, kTol);  // no neighbour there
    EXPECT_NEAR(Cvol[b], 1.0, kTol);
  }
}

// A one-cell column A (x 0..2, z 0..2) faces the two cells of column B (x 2..3).
TEST_F(Metrics, CellFacingSeveralCellsOfADeeperColumn) {
  QNFlag = 1;
  allocate();
  const int a = addCell(box(0, 2, 0, 1, 0, 2));
  const int b1 = addCell(box(2, 3, 0, 1, 0, 1));
  const int b2 = addCell(box(2, 3, 0, 1, 1, 2), {0, 0, 0, 0, 0, Cflatet[b1], 0});
  link(b2, 5, b1);
  Ccelle[a] = b1;
  Ccellw[b1] = a;
  Cncelle[a] = 2;
  Cqncelle[a][0] = b1;
  Cqncelle[a][1] = b2;
  ASSERT_EQ(runMetric(), 1000);
  for (const int p : {b1, b2}) {
    const int s = Cflatew[p];
    SCOPED_TRACE(p);
    EXPECT_EQ(Fcell1[s], a);
    EXPECT_EQ(Ftype1[s], 2);
    EXPECT_NEAR(Fdist1[s], 1.0, kTol);  // Cidist of A
    EXPECT_EQ(Fcell11[s], 0);
    EXPECT_EQ(Fcell2[s], p);
    EXPECT_EQ(Ftype2[s], 4);
    EXPECT_NEAR(Fdist2[s], 0.5, kTol);
    EXPECT_EQ(Fflagflow[s], 1);
  }
}

// The shared side surface of two cells under water surfaces of slope 0.75 (top normals with
// z component 0.8) leans to (1, 0, 0.6)/sqrt(1.36).
TEST_F(Metrics, SideSurfacesTiltWithTheWaterSurfaceOfF230) {
  for (const int tilt : {0, 1}) {
    SCOPED_TRACE(tilt);
    fresh();
    FlagTiltSurf = tilt;
    Corners k = box(0, 1, 0, 1, 0, 1);
    k[5].z = k[6].z = 1.75;
    const int a = addCell(k);
    Corners m = box(1, 2, 0, 1, 0, 1.75);
    m[5].z = m[6].z = 2.5;
    const int b = addCell(m, {0, 0, 0, 0, Cflatee[a], 0, 0});
    link(a, 2, b);
    ASSERT_EQ(runMetric(), 1000);
    EXPECT_NEAR(Fvz[Cflatet[a]], 0.8, kTol);
    const int f = Cflatee[a];
    const double n = std::sqrt(1.36);
    const double vx = tilt ? 1 / n : 1, vz = tilt ? 0.6 / n : 0;
    EXPECT_NEAR(Fvx[f], vx, kTol);
    EXPECT_NEAR(Fvy[f], 0, kTol);
    EXPECT_NEAR(Fvz[f], vz, kTol);
    EXPECT_NEAR(Farea[f], 1.75, kTol);
    EXPECT_NEAR(Fax[f], 1.75 * vx, kTol);
    EXPECT_NEAR(Faz[f], 1.75 * vz, kTol);
    EXPECT_NEAR(Fvz[Cflatew[a]], 0, kTol);  // one cell only: untouched
  }
}

// ---------------------------------------------------------------------------------------------
// Block joints

// Cell A (x 0..1) of one block and cell B (x 1..3) of the next, with C east of B. Each has its
// own surface at x = 1, both listing A and B, as the joining pass leaves them.
class MetricsJoint : public Metrics {
 protected:
  void SetUp() override {
    Metrics::SetUp();
    a = addCell(box(0, 1, 0, 1, 0, 1));
    b = addCell(box(1, 3, 0, 1, 0, 1));
    c = addCell(box(3, 4, 0, 1, 0, 1), {0, 0, 0, 0, Cflatee[b], 0, 0});
    link(b, 2, c);
    link(a, 2, b);
    sa = Cflatee[a];
    sb = Cflatew[b];
    Fcell2[sa] = b;
    Fcell1[sb] = a;
  }
  int a = 0, b = 0, c = 0, sa = 0, sb = 0;
};

TEST_F(MetricsJoint, EachSurfaceOfAJointGetsThePartnersSide) {
  NoConnFlate = 1;
  connFlate[1][0] = sa;
  connFlate[1][1] = sb;
  ASSERT_EQ(runMetric(), 1000);
  for (const int f : {sa, sb}) {
    SCOPED_TRACE(f);
    EXPECT_EQ(Ftype1[f], 2);
    EXPECT_EQ(Fcell11[f], 0);
    EXPECT_NEAR(Fdist1[f], 0.5, kTol);
    EXPECT_EQ(Ftype2[f], 4);
    EXPECT_EQ(Fcell22[f], c);
    EXPECT_NEAR(Fdist2[f], 1.0, kTol);
    EXPECT_EQ(Fflagflow[f], 1);
    EXPECT_EQ(Fin[f], 1);
  }
}

TEST_F(MetricsJoint, WithoutThePairEachSurfaceKnowsOneSide) {
  ASSERT_EQ(runMetric(), 1000);
  EXPECT_EQ(Ftype1[sa], 2);
  EXPECT_EQ(Ftype2[sa], 0);
  EXPECT_EQ(Ftype1[sb], 0);
  EXPECT_EQ(Ftype2[sb], 4);
}

// The pair table holds rows 1..MaxConnFlate-1: a count beyond it, or a pair naming no surface,
// ends the run with a message instead of reading past the table.
TEST_F(MetricsJoint, PairTableIsNeverReadPastItsRows) {
  struct Case {
    int count, s1, s2;
    const char* message;
  };
  const std::vector<Case> cases = {
      {4, 0, 0, "Error, increase 5th integer on F 65 data set, now at: 4\n"},
      {1000, 0, 0, "Error, increase 5th integer on F 65 data set, now at: 1000\n"},
      {1, 0, 1, "Error in block joint 1: surfaces 0 and 1 are not in the grid\n"},
      {1, 1, 99, "Error in block joint 1: surfaces 1 and 99 are not in the grid\n"},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.count);
    std::remove("boogie");
    FlagHaveDoneMetric = 0;
    NoConnFlate = t.count;
    connFlate[1][0] = t.s1;
    connFlate[1][1] = t.s2;
    EXPECT_EQ(runMetric(), 1);
    EXPECT_EQ(log(), t.message);
  }
  NoConnFlate = 3;  // the last row the table holds
  connFlate[1][0] = connFlate[2][0] = connFlate[3][0] = sa;
  connFlate[1][1] = connFlate[2][1] = connFlate[3][1] = sb;
  FlagHaveDoneMetric = 0;
  EXPECT_EQ(runMetric(), 1000);
}

// ---------------------------------------------------------------------------------------------
// Nesting

// Block 1: 3 x 2 columns of unit plan size with cells z 0..1 and 1..2 (cells 1..12, j outer,
// i inner); block 2: one nested cell 13 at x 0..1, y 0..1, z 0..1.
class MetricsNest : public Metrics {
 protected:
  void SetUp() override {
    Metrics::SetUp();
    columns({0, 1, 2, 3}, {0, 1, 2}, [](int, int) { return std::vector<double>{0, 1, 2}; });
    nested = addCell(box(0, 1, 0, 1, 0, 1));
    NoBlocks = 2;
    block[2].nestlevel = 1;
    block[2].cellstart = block[2].cellend = nested;
    NoNestflater = 2;
    Npcelle[1] = Npcelle[2] = nested;
    Npflate[1] = Cflatee[nested];
    Npflate[2] = Cflatet[nested];
    Npblock[1] = Npblock[2] = 2;
  }
  int nested = 0;
};

TEST_F(MetricsNest, FourCoarseCellsOutsideANestedSideSurface) {
  ASSERT_EQ(runMetric(), 1000);
  // East face centre (1, 0.5, 0.5); top cells beyond x = 1 by plan distance: 4 (0.25),
  // 10 (1.25), 6 (2.25), 12 (3.25); each replaced by the cell at the face's level below it.
  const int want[4] = {3, 9, 5, 11};
  const double v[4][3] = {{1, 0, 0},
                          {0.5 / std::sqrt(1.25), 1 / std::sqrt(1.25), 0},
                          {1, 0, 0},
                          {1.5 / std::sqrt(3.25), 1 / std::sqrt(3.25), 0}};
  for (int k = 0; k < 4; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(Ncell[1][k], want[k]);
    for (int d = 0; d < 3; ++d) EXPECT_NEAR(Nvect[1][k][d], v[k][d], kTol);
  }
  // The top face has no horizontal normal: no cell lies on its outer side.
  for (int k = 0; k < 4; ++k) EXPECT_EQ(Ncell[2][k], 0);
  // Side and top faces of a flat-box nested block are closed.
  EXPECT_EQ(Fflagflow[Cflatee[nested]], 0);
  EXPECT_EQ(Fflagflow[Cflatet[nested]], 0);
}

TEST_F(MetricsNest, TopSurfaceTakesTheNearestCellAboveWithF241) {
  NestSurf = 1;
  ASSERT_EQ(runMetric(), 1000);
  EXPECT_EQ(Ncell[2][0], 2);  // centre (0.5, 0.5, 1.5) above the face centre (0.5, 0.5, 1)
  EXPECT_EQ(Ncell[2][1], 0);
  EXPECT_EQ(Ncell[2][2], 0);
  EXPECT_EQ(Ncell[2][3], 0);
  EXPECT_NEAR(Nvect[2][0][2], 1.0, kTol);
  EXPECT_EQ(Ncell[1][0], 3);
}

TEST_F(MetricsNest, NestedSurfacesKeepTheirFlagOnlyAsBottomsOfBedFollowingBlocks) {
  struct Case {
    int side, bedfollow, flag;
  };
  const std::vector<Case> cases = {{5, 1, -1}, {5, 0, 0}, {2, 1, 0}, {4, 1, 0}};
  for (const Case& t : cases) {
    SCOPED_TRACE(t.side * 10 + t.bedfollow);
    FlagHaveDoneMetric = 0;
    NoNestflater = 1;
    Npflate[1] = surfaceOf(t.side)[nested];
    block[2].bedfollow = t.bedfollow;
    ASSERT_EQ(runMetric(), 1000);
    EXPECT_EQ(Fflagflow[Npflate[1]], t.flag);
  }
}

TEST_F(MetricsNest, F126MarksTheBlocksOfNestingLevel1) {
  FlagNestDLL = 1;
  NoBlocks = 3;
  block[3].nestlevel = 2;
  ASSERT_EQ(runMetric(), 1000);
  EXPECT_EQ(blocknested[1], 0);
  EXPECT_EQ(blocknested[2], 1);
  EXPECT_EQ(blocknested[3], 0);
  EXPECT_EQ(Ncell[1][0], 0);
}

TEST_F(MetricsNest, InterpolationMapIsClearedAndBuiltWhenAsked) {
  Cinterpolnest[3] = 7;
  ASSERT_EQ(runMetric(), 1000);
  EXPECT_EQ(Cinterpolnest[3], 0);
  // With the nesting relaxation the map is built (its contents are tested with the maps).
  FlagHaveDoneMetric = 0;
  NestInterpolRelax = 0.5;
  EXPECT_EQ(runMetric(), 1000) << log();
  EXPECT_EQ(log().find("Not available in this version: "), std::string::npos);
}

// ---------------------------------------------------------------------------------------------
// Levels of discharge-group surfaces

TEST_F(Metrics, DischargeGroupSurfacesGetTheLevelOfTheirCell) {
  columns({0, 1}, {0, 1}, [](int, int) { return std::vector<double>{0, 1, 2, 3}; });
  DischargeGroup& g = DischargeStruct[2];
  g.surfaceNo = 3;
  g.surfaceList[0] = Cflatee[3];  // Fcell1 = 3, the third cell from the bed
  g.surfaceList[1] = Cflatew[1];  // Fcell1 = 0, Fcell2 = 1
  g.surfaceList[2] = Cflates[2];
  ASSERT_EQ(runMetric(), 1000);
  EXPECT_EQ(g.levelList[0], 0);  // neither F 174 nor an inflow profile
  for (const int mode : {1, 2}) {
    SCOPED_TRACE(mode);
    FlagCyclic = mode == 1;
    inflowj = mode == 2 ? 3 : 0;
    FlagHaveDoneMetric = 0;
    ASSERT_EQ(runMetric(), 1000);
    // Entries 0..surfaceNo-1, as the group lists are counted everywhere.
    EXPECT_EQ(g.levelList[0], 3);
    EXPECT_EQ(g.levelList[1], 1);
    EXPECT_EQ(g.levelList[2], 2);
    EXPECT_EQ(g.levelList[3], 0);
  }
}

// ---------------------------------------------------------------------------------------------
// Reports

// Column (1, 1): cells z 0..1 and 1..3; column (2, 1): one cell z 1..2. Lowest cell bottom 0,
// highest centre 2: 101 bins of 0.02 m; the bed cells' bottoms 0 and 1 fall in bins 0 and 50.
class MetricsReport : public Metrics {
 protected:
  void SetUp() override {
    Metrics::SetUp();
    columns({0, 1, 2}, {0, 1}, [](int i, int) {
      return i == 1 ? std::vector<double>{0, 1, 3} : std::vector<double>{1, 2};
    });
  }
  static std::string histogram(const std::vector<std::pair<int, int>>& counts) {
    std::string s;
    for (int k = 0; k <= 100; ++k) {
      int n = 0;
      for (const auto& [bin, count] : counts)
        if (bin == k) n = count;
      s += strf("%lf %lf\n", 0.02 * k, static_cast<double>(n));
    }
    return s;
  }
};

TEST_F(MetricsReport, CellvolHistogramOfCellBottoms) {
  FlagWriteSpecial = 12;
  ASSERT_EQ(runMetric(), 1000);
  EXPECT_EQ(read("cellvol"), histogram({{0, 1}, {50, 1}}));
}

// Survey levels below the lowest cell bottom or above the highest bin are left out.
TEST_F(MetricsReport, CellvolHistogramOfSurveyPointsSkipsLevelsOutsideTheBins) {
  FlagWriteSpecial = 12;
  write("geodata",
        "E 0 0 0.3\nE 1 1 -5\nE 2 2 2.0\nE 3 3 40\nE 4 4 0.31\nE 5 5 -1e300\nE 6 6 1e300\n");
  ASSERT_EQ(runMetric(), 1000);
  EXPECT_EQ(read("cellvol"), histogram({{0, 1}, {50, 1}}) +
                                 "No. points used in geodata file: 3\n" +
                                 histogram({{15, 2}, {100, 1}}));
}

TEST_F(MetricsReport, CellSizeReports) {
  FlagWriteSpecial = 15;
  ASSERT_EQ(runMetric(), 1000);
  // Cell heights 1, 2 and 1.
  EXPECT_EQ(log(), "Vertical cell size: Max: 2.000000, Min: 1.000000, Average: 1.333333 m\n\n");
  std::remove("boogie");
  FlagWriteSpecial = 16;
  FlagHaveDoneMetric = 0;
  ASSERT_EQ(runMetric(), 1000);
  // Heights over the plan half sizes 0.5 x 0.5: 1, 2 and 1.
  EXPECT_EQ(log(), "Average cell height/width = 1.333333\n");
}

// ---------------------------------------------------------------------------------------------
// Solving order

TEST_F(Metrics, SolvingOrderRunsColumnsWithIOuterAndJInner) {
  // Columns (1,1): cell 1; (2,1): cell 2; (1,2): cell 3; (2,2): cells 4, 5; (3,*) dry.
  columns({0, 1, 2, 3}, {0, 1, 2}, [](int i, int j) {
    if (i == 3) return std::vector<double>{};
    return i == 2 && j == 2 ? std::vector<double>{0, 1, 2} : std::vector<double>{0, 1};
  });
  // A depth-averaged block and an empty block over the same columns are passed over.
  NoBlocks = 3;
  block[2] = block[1];
  block[2].flag2D = 1;
  block[3] = block[1];
  block[3].i1 = 3;
  block[3].i2 = 2;
  Cisolve[7] = 9;
  ASSERT_EQ(runMetric(), 1000);
  const std::vector<int> want = {0, 1, 3, 2, 4, 5, 0};
  for (std::size_t n = 0; n < want.size(); ++n) EXPECT_EQ(Cisolve[n], want[n]) << n;
}

// ---------------------------------------------------------------------------------------------
// Topology check

TEST_F(Metrics, CheckFparamOnAConsistentGrid) {
  columns({0, 1, 2}, {0, 1}, [](int, int) { return std::vector<double>{0, 1, 2}; });
  ASSERT_EQ(runMetric(), 1000);
  EXPECT_EQ(CheckFparam(), 0);
  EXPECT_EQ(log(), strf("Have checked grid from cell 1 to 4\n"
                        "Have checked grid from surface 1 to %d\n\n",
                        NoSurfaces));
}

TEST_F(Metrics, CheckFparamLogsEachMismatch) {
  columns({0, 1, 2}, {0, 1}, [](int, int) { return std::vector<double>{0, 1}; });
  ASSERT_EQ(runMetric(), 1000);
  const int f = Cflatee[1];
  Fcell1[f] = 0;    // the east surface of cell 1 lost its cell
  Ftype2[f] = 3;    // and claims to be the north side of cell 2
  const int t = Cflatet[2];
  Ftype1[t] = 5;    // the top of cell 2 claims to be its bottom
  EXPECT_EQ(CheckFparam(), 0);
  const std::string want =
      strf("Grid error for cell 1 e, Fcell1[%d] = 0\n", f) +
      strf("Grid error for cell 2 w, Ftype2[%d] = 3\n", f) +
      strf("Grid error for cell 2 t, Ftype1[%d] = 5\n", t) +
      strf("Grid error for surface %d, type = 3, cell 2\n", f) +
      strf("Grid error for surface %d, type = 5, cell 2\n", t) +
      strf("Have checked grid from cell 1 to 2\nHave checked grid from surface 1 to %d\n\n",
           NoSurfaces);
  EXPECT_EQ(log(), want);

  // With cut faces (F 159 5) the cell slots are not checked.
  std::remove("boogie");
  FlagGridStab5 = 5;
  EXPECT_EQ(CheckFparam(), 0);
  EXPECT_EQ(log().find("Fcell1"), std::string::npos);
  EXPECT_NE(log().find("Ftype2"), std::string::npos);
}

TEST_F(Metrics, CheckFparamStaysOutOfTheTwoLayerGrid) {
  columns({0, 1}, {0, 1}, [](int, int) { return std::vector<double>{0, 1}; });
  UMethod2 = 2;
  EXPECT_EQ(CheckFparam(), 2);
  EXPECT_FALSE(fileExists("boogie"));
}

// ---------------------------------------------------------------------------------------------
// Local deepening (F 395)

// Two one-cell columns (1, 1) and (2, 1) with cells z 0.8..1; the water level of grid line
// (i, j) is 1 + 0.1 i + 0.01 j. Cell 2 has the larger k residual.
class MetricsModify : public Metrics {
 protected:
  void SetUp() override {
    Metrics::SetUp();
    for (int i = 0; i <= xnumber + 1; ++i)
      for (int j = 0; j <= ynumber + 1; ++j) zval[i][j][znumber] = 1 + 0.1 * i + 0.01 * j;
    columns({0, 1, 2}, {0, 1}, [](int, int) { return std::vector<double>{0.8, 1}; });
    Ckinen_res[1] = 1;
    Ckinen_res[2] = 3;
    ASSERT_EQ(runMetric(), 1000);
  }
  static std::vector<double> bottom(int c) {
    return {Pz[Cpoint1[c]], Pz[Cpoint2[c]], Pz[Cpoint3[c]], Pz[Cpoint4[c]]};
  }
  static void expectLevels(const std::vector<double>& got, const std::vector<double>& want) {
    for (std::size_t n = 0; n < want.size(); ++n) EXPECT_NEAR(got[n], want[n], kTol) << n;
  }
};

TEST_F(MetricsModify, LowersTheBottomCornersOfTheCellWithTheLargestResidual) {
  struct Case {
    int flag;
    double dz;
    std::vector<double> cell2, cell1;
    double volume2;  // cell 2 from its mean bottom to 1, over its unit plan area
  };
  const std::vector<Case> cases = {
      // Corner lines of cell 2: (1,0) (2,0) (2,1) (1,1); of cell 1's west side (0,0), (0,1).
      {1, 0.5, {0.6, 0.7, 0.71, 0.61}, {0.8, 0.8, 0.8, 0.8}, 1 - 0.655},
      {2, 0.5, {0.6, 0.7, 0.71, 0.61}, {0.5, 0.8, 0.8, 0.51}, 1 - 0.655},
      {2, 0.1, {0.8, 0.8, 0.8, 0.8}, {0.8, 0.8, 0.8, 0.8}, 0.2},  // never raised
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.flag * 10 + t.dz);
    for (int c = 1; c <= 2; ++c)
      for (int m : {Cpoint1[c], Cpoint2[c], Cpoint3[c], Cpoint4[c]}) Pz[m] = 0.8;
    FlagModifyGrid = t.flag;
    DzModifyGrid = t.dz;
    ModifyGrid();
    expectLevels(bottom(2), t.cell2);
    expectLevels(bottom(1), t.cell1);
    // The geometry follows the moved points, although metric had run before.
    EXPECT_NEAR(Cvol[2], t.volume2, 1e-12);
  }
}

TEST_F(MetricsModify, RecomputesWithF523AndLogsWithDebugging) {
  FlagModifyGrid = 1;
  DzModifyGrid = 0.5;
  FlagTestBugMetric = 1;
  debugging = 'D';
  ModifyGrid();
  // Cell 2 now reaches from the mean bottom 0.655 to 1.
  EXPECT_NEAR(Cvol[2], 1 - 0.655, 1e-12);
  EXPECT_EQ(log(), "ModifyGrid algorithm: 2 cells, maxresidualcell = 3.000000\n");
}

TEST_F(MetricsModify, NothingToDoWithoutAPositiveResidualOrWorkRange) {
  DzModifyGrid = 0.5;
  struct Case {
    const char* what;
    std::function<void()> set;
  };
  const std::vector<Case> cases = {
      {"no positive residual", [] { Ckinen_res[1] = Ckinen_res[2] = 0; }},
      {"empty work range", [] { WCStart = 3; WCEnd = 2; }},
      {"residual only above the bed", [] { Ccellb[2] = 1; Ckinen_res[1] = 0; }},
      {"no bed-cell index", [] { Cbed[2] = 0; Ckinen_res[1] = 0; }},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.what);
    Ckinen_res[1] = 1;
    Ckinen_res[2] = 3;
    Ccellb[2] = 0;
    Cbed[2] = 2;
    useWholeGrid();
    t.set();
    ModifyGrid();
    expectLevels(bottom(1), {0.8, 0.8, 0.8, 0.8});
    expectLevels(bottom(2), {0.8, 0.8, 0.8, 0.8});
  }
}

}  // namespace
}  // namespace qorva
