// A small grid generated on given corner bed levels, for the tests of the bed change, the
// sand slide and the bed smoothing: nx x ny columns of dx x dy m (columns i = 2..nx+1,
// j = 2..ny+1, grid points 1..nx+1, 1..ny+1), the water level flat, the non-erodible level
// 10 m below the bed, the bed-cell index made.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "grid/generator.h"
#include "grid/grid.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/points.h"
#include "state/sediment_run.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva::test {

class BedGrid : public Scratch {
 protected:
  void TearDown() override {
    gridHold = holdRunForever;
    SetArraysZero();
    Scratch::TearDown();
  }

  // Options that decide which arrays exist (F 37, F 255, F 404, F 274 ...) must be set before.
  void build(int nx, int ny, const std::function<double(int, int)>& bed, double water = 1.0,
             double dx = 1.0, double dy = 1.0) {
    nx_ = nx;
    ny_ = ny;
    xnumber = nx + 3;
    ynumber = ny + 3;
    znumber = 6;
    MaxCeller = 40 * nx * ny + 50;
    MaxFlater = MaxPunkter = 200 * nx * ny + 200;
    MaxNester = 4;
    MaxConnFlate = 4;
    // Grids one column wide are all dead ends, which F 159 would dry out.
    FlagGridStab1 = 0;
    NoBlocks = 1;
    ASSERT_EQ(sialloc(), 0);
    block[1].i1 = 2;
    block[1].i2 = nx + 1;
    block[1].j1 = 2;
    block[1].j2 = ny + 1;
    block[1].bedfollow = 1;
    for (int i = 1; i <= nx + 1; ++i)
      for (int j = 1; j <= ny + 1; ++j) {
        xval[i][j] = (i - 1) * dx;
        yval[i][j] = (j - 1) * dy;
        zval[i][j][1] = bed(i, j);
        zval[i][j][znumber] = zval[i][j][znumber + 1] = water;
        Surfaces[0][i][j] = bed(i, j);
        Surfaces[3][i][j] = bed(i, j) - 10;
      }
    ASSERT_GE(Unstructure(), 0);
    metric();
    BedMake();
    Iter = 1;
    std::remove("boogie");
  }

  int nx() const { return nx_; }
  int ny() const { return ny_; }
  static int bed(int i, int j) { return pointbed[i][j]; }
  static double& level(int i, int j) { return zval[i][j][1]; }

  // Volume of the bed above z = 0 over the columns of block 1: each column's plan area times
  // the mean of its corner levels.
  static double bedVolume() {
    double v = 0;
    for (int i = block[1].i1; i <= block[1].i2; ++i)
      for (int j = block[1].j1; j <= block[1].j2; ++j)
        v += armap[i][j] * 0.25 *
             (zval[i][j][1] + zval[i - 1][j][1] + zval[i][j - 1][1] + zval[i - 1][j - 1][1]);
    return v;
  }

  // The bed change volume the columns ask for (m3 of bed).
  static double askedVolume() {
    double v = 0;
    for (int b = 1; b <= NoBCells; ++b) v += Bedmove[b] * Barea[b];
    return v;
  }

 private:
  int nx_ = 0, ny_ = 0;
};

inline double flatBed(int, int) { return 0.0; }

}  // namespace qorva::test
