// A hand-made box grid for the coefficient, time-term and face-flux tests: nx x ny x nz
// hexahedral cells with given sizes per index, every surface with its cells, side codes, cells
// beyond, distances, areas and area vector, laid out as the grid builder lays them out.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <utility>
#include <vector>

#include "state/arrays.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/nests.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva::test {

struct Box {
  std::vector<double> dx, dy, dz;
  int nx = 0, ny = 0, nz = 0;

  // Cells are numbered column by column (i lines ascending, j fastest), upward in a column,
  // as the grid builder numbers them; 0 outside the box.
  int cell(int i, int j, int k) const {
    if (i < 0 || j < 0 || k < 0 || i >= nx || j >= ny || k >= nz) return 0;
    return (i * ny + j) * nz + k + 1;
  }
  int cells() const { return nx * ny * nz; }
};

namespace detail {

inline double lower(const std::vector<double>& d, int n) {
  double s = 0;
  for (int m = 0; m < n; ++m) s += d[m];
  return s;
}

// Appends the surface between c1 (Fcell1, sees it on side t1) and c2 (Fcell2, side t2) along
// axis a (0 x, 1 y, 2 z); b1 and b2 are the cells beyond c1 and c2.
inline int addSurface(int c1, int c2, int t1, int t2, int b1, int b2, double d1, double d2,
                      int axis, double area, double height) {
  const int f = ++NoSurfaces;
  Fcell1[f] = c1;
  Fcell2[f] = c2;
  Ftype1[f] = c1 > 0 ? t1 : 0;
  Ftype2[f] = c2 > 0 ? t2 : 0;
  Fcell11[f] = c1 > 0 ? b1 : 0;
  Fcell22[f] = c2 > 0 ? b2 : 0;
  Fdist1[f] = c1 > 0 ? d1 : 0;
  Fdist2[f] = c2 > 0 ? d2 : 0;
  Farea[f] = area;
  Fax[f] = axis == 0 ? area : 0;
  Fay[f] = axis == 1 ? area : 0;
  Faz[f] = axis == 2 ? area : 0;
  Fdz[f] = axis == 2 ? 0 : height;
  Fflagflow[f] = c1 > 0 && c2 > 0 ? 1 : -1;
  return f;
}

}  // namespace detail

// Allocates the arrays of a small grid of nx x ny columns of at most nz cells with room for
// `cells` cells and `surfaces` surfaces (index 0 included), one grain size and no points;
// the options that decide which arrays exist must be set before. The allocation report is not
// kept in boogie.
inline void allocateSmallGrid(int nx, int ny, int nz, int cells, int surfaces) {
  xnumber = nx + 3;
  ynumber = ny + 3;
  znumber = nz + 2;
  lnumber = 1;
  MaxCeller = cells;
  MaxFlater = surfaces;
  MaxPunkter = 8;
  if (MaxNester > 4) MaxNester = 4;
  MaxConnFlate = 2;
  EXPECT_EQ(sialloc(), 0);
  EXPECT_GT(AllocateArrays(1, 1, 1), 0.0);
  std::remove("boogie");
}

// Allocates the arrays for the box (options that decide which arrays exist, such as sou,
// TimeStep or QNFlag, must be set before) and builds it. The working ranges cover it all,
// block 1 holds it with its columns at i = 2.., j = 2.., and zval[i][j][0] their bottom cells.
inline Box makeBox(std::vector<double> dx, std::vector<double> dy, std::vector<double> dz) {
  Box b;
  b.dx = std::move(dx);
  b.dy = std::move(dy);
  b.dz = std::move(dz);
  b.nx = static_cast<int>(b.dx.size());
  b.ny = static_cast<int>(b.dy.size());
  b.nz = static_cast<int>(b.dz.size());
  const int n = b.cells();
  allocateSmallGrid(b.nx, b.ny, b.nz, n + 2,
                    3 * n + b.ny * b.nz + b.nx * b.nz + b.nx * b.ny + 2);

  NoCells = n;
  NoSurfaces = 0;
  for (int i = 0; i < b.nx; ++i)
    for (int j = 0; j < b.ny; ++j)
      for (int k = 0; k < b.nz; ++k) {
        const int c = b.cell(i, j, k);
        Cidist[c] = b.dx[i] / 2;
        Cjdist[c] = b.dy[j] / 2;
        Ckdist[c] = b.dz[k] / 2;
        Cvol[c] = b.dx[i] * b.dy[j] * b.dz[k];
        Cxcenter[c] = detail::lower(b.dx, i) + b.dx[i] / 2;
        Cycenter[c] = detail::lower(b.dy, j) + b.dy[j] / 2;
        Czcenter[c] = detail::lower(b.dz, k) + b.dz[k] / 2;
        Ccelle[c] = b.cell(i + 1, j, k);
        Ccellw[c] = b.cell(i - 1, j, k);
        Ccelln[c] = b.cell(i, j + 1, k);
        Ccells[c] = b.cell(i, j - 1, k);
        Ccellt[c] = b.cell(i, j, k + 1);
        Ccellb[c] = b.cell(i, j, k - 1);
      }
  for (int i = 0; i < b.nx; ++i)
    for (int j = 0; j < b.ny; ++j)
      for (int k = 0; k < b.nz; ++k) {
        const int c = b.cell(i, j, k);
        const double ax = b.dy[j] * b.dz[k], ay = b.dx[i] * b.dz[k], az = b.dx[i] * b.dy[j];
        const double h = b.dz[k];
        if (i == 0)
          Cflatew[c] = detail::addSurface(0, c, 2, 4, 0, b.cell(i + 1, j, k), 0, b.dx[i] / 2,
                                          0, ax, h);
        if (j == 0)
          Cflates[c] = detail::addSurface(0, c, 3, 1, 0, b.cell(i, j + 1, k), 0, b.dy[j] / 2,
                                          1, ay, h);
        if (k == 0)
          Cflateb[c] = detail::addSurface(0, c, 6, 5, 0, b.cell(i, j, k + 1), 0, b.dz[k] / 2,
                                          2, az, h);
        const int e = b.cell(i + 1, j, k), nn = b.cell(i, j + 1, k), t = b.cell(i, j, k + 1);
        const int fe = detail::addSurface(c, e, 2, 4, b.cell(i - 1, j, k), b.cell(i + 2, j, k),
                                          b.dx[i] / 2, e ? b.dx[i + 1] / 2 : 0, 0, ax, h);
        Cflatee[c] = fe;
        if (e) Cflatew[e] = fe;
        const int fn = detail::addSurface(c, nn, 3, 1, b.cell(i, j - 1, k), b.cell(i, j + 2, k),
                                          b.dy[j] / 2, nn ? b.dy[j + 1] / 2 : 0, 1, ay, h);
        Cflaten[c] = fn;
        if (nn) Cflates[nn] = fn;
        const int ft = detail::addSurface(c, t, 6, 5, b.cell(i, j, k - 1), b.cell(i, j, k + 2),
                                          b.dz[k] / 2, t ? b.dz[k + 1] / 2 : 0, 2, az, h);
        Cflatet[c] = ft;
        if (t) Cflateb[t] = ft;
      }

  WCStart = 1;
  WCEnd = n;
  WFStart = 1;
  WFEnd = NoSurfaces;
  NoBlocks = 1;
  block[1].i1 = 2;
  block[1].i2 = b.nx + 1;
  block[1].j1 = 2;
  block[1].j2 = b.ny + 1;
  for (int i = 0; i < b.nx; ++i)
    for (int j = 0; j < b.ny; ++j) zval[i + 2][j + 2][0] = b.cell(i, j, 0);
  return b;
}

// The surface on side `side` (1 south .. 6 top) of cell c.
inline int surfaceOn(int c, int side) {
  switch (side) {
    case 1: return Cflates[c];
    case 2: return Cflatee[c];
    case 3: return Cflaten[c];
    case 4: return Cflatew[c];
    case 5: return Cflateb[c];
    default: return Cflatet[c];
  }
}

}  // namespace qorva::test
