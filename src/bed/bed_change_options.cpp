// Bed changes of F 255 1 and 3. Option 1 moves the corners of each column by bedchangeCell in
// three sweeps (deposition, deep erosion, the rest) with the Froude limit of F 132; option 3
// moves each grid point by the mean change of the columns around it. Then the common frame.
// Read Bedmove, the grid, the levels and the layer thicknesses; write zval[..][..][1] (and, under
// F 132 and F 105, the corner water levels), Surfaces plane 1 and the bed-change books.
#include <algorithm>
#include <cmath>

#include "bed/bed.h"
#include "bed/bed_change_column.h"
#include "bed/bed_frame.h"
#include "bed/bed_grid.h"
#include "grid/columns.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f100_149.h"
#include "state/options_f200_249.h"
#include "state/points.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

using bedcolumn::Column;

double constantOfRule() {
  switch (FlagSkewedBedchange) {
    case 1: return 1.5;
    case 2: return 2.0;
    case 3: return 5.0;
    case 4: return 10.0;
    default: return 50.0;
  }
}

// The F 205 reshaping of bedchangeCell: the level rule (1..4) with its fixed constant, the
// flow rule from the cell centre towards the corners (5 always, 6 for erosion).
void reshapeCell(Column& col) {
  const int rule = FlagSkewedBedchange;
  double t[4] = {1, 1, 1, 1};
  if (rule >= 1 && rule <= 4) {
    const double p = constantOfRule(), range = col.zmax - col.zmin + 1e-20;
    for (int k = 0; k < 4; ++k)
      t[k] = (col.dz < 0 ? col.zmax - col.z[k] : col.z[k] - col.zmin) / range + p;
  } else if (rule == 5 || (rule == 6 && col.dz < 0)) {
    const double u = Cxvel[col.ref], v = Cyvel[col.ref], su = std::hypot(u, v) + 1e-20;
    for (int k = 0; k < 4; ++k) {
      const int p = bedgrid::cellCorner(col.ref, k);
      const double x = Px[p] - Cxcenter[col.ref], y = Py[p] - Cycenter[col.ref];
      const double d = (u / su) * (x / (std::hypot(x, y) + 1e-20)) + (v / su) * (y / (std::hypot(x, y) + 1e-20));
      if (d > 0) t[k] = 1 + d;
    }
  } else {
    return;
  }
  bedcolumn::scaleFactors(col, t);
}

void reportCell(const Column& col) {
  logf("Warning in bed change, i,j,ii,Bedmove,rest,dz,area = %d %d %d %lg %lg %lg %lg\n", col.i,
       col.j, col.ii, Bedmove[col.b], col.rest, col.dz, col.A);
  bedcolumn::reportDetails(col);
  for (int k = 0; k < 4; ++k)
    logf("Corner %d, move, factor, minmove = %lg %lg %lg\n", k + 1, col.M[k], col.F[k], col.L[k]);
  for (int l = 1; l <= lnumber; ++l)
    logf("Cell P: Size %d, Conc: %lg, Fraction: %lg\n", l, Cconc[l][col.cell], BSedDistrib[1][l][col.b]);
}

// F 132: the water above the column is raised to the depth at which the flow of cell r has
// the largest Froude number; else, under F 105 above 10000, the rise since the last surface
// update shrinks by 3 per cent.
void froudeLimit(int i, int j, int r) {
  const double u = Cxvel[r], v = Cyvel[r];
  const double hc = (u * u + v * v) / (FroudeMaxSurface * FroudeMaxSurface * 9.81);
  double water = 0, bottom = 0;
  for (int k = 0; k < 4; ++k) {
    water += zval[i - bedcolumn::kDi[k]][j - bedcolumn::kDj[k]][znumber];
    bottom += Pz[bedgrid::cellCorner(r, k)];
  }
  const double h = 0.25 * (water - bottom);
  if (hc > h && h > 0) {
    for (int k = 0; k < 4; ++k) zval[i - bedcolumn::kDi[k]][j - bedcolumn::kDj[k]][znumber] += hc - h;
    return;
  }
  if (IterWaterUpdate > 10000 && h > 0)
    for (int k = 0; k < 4; ++k) {
      double* level = &zval[i - bedcolumn::kDi[k]][j - bedcolumn::kDj[k]][0];
      const double x = level[znumber] - level[znumber + 1];
      if (x > 0) level[znumber] = level[znumber + 1] + 0.97 * x;
    }
}

// Which of the three sweeps of option 1 moves the column: 1 deposition, 2 erosion deeper than
// nine tenths of the two top layers, 3 the other erosion; 0 none.
int sweepOf(int b) {
  const double dz = Bedmove[b];
  if (dz > 1e-12) return 1;
  if (!(dz < -1e-12)) return 0;
  const double e = -dz / (BSedDistrib[0][0][b] + BSedDistrib[1][0][b] + 1e-20);
  return e > 0.9 ? 2 : 3;
}

// Mean change of the columns of block k around grid point (i, j) that have a bottom cell;
// columns outside the block are left out.
bool meanAround(int i, int j, const GridBlock& k, double& mean) {
  int n = 0;
  double sum = 0;
  for (int di = 0; di <= 1; ++di)
    for (int dj = 0; dj <= 1; ++dj) {
      const int x = i + di, y = j + dj;
      if (x < k.i1 || x > k.i2 || y < k.j1 || y > k.j2) continue;
      const int c = columnBottom(x, y);
      if (c <= 0) continue;
      sum += Bedmove[Cbed[c]];
      ++n;
    }
  if (n == 0) return false;
  mean = sum / n;
  return true;
}

}  // namespace

void bedchangeCell(int i, int j, int b, int i1, int i2, int j1, int j2) {
  Barea[0] = 0;
  Column col;
  bedcolumn::fill(col, i, j, b);
  col.ref = TopBed == 1 ? topOf(col.cell) : col.cell;
  col.nb = bedgrid::around(col.ref);
  col.A = armap[i][j];
  bedcolumn::areaFactors(col, i1, i2, j1, j2);
  reshapeCell(col);
  bedcolumn::limits(col);
  bedcolumn::limitedPasses(col, 1e-9, 1e-10);
  bedcolumn::book(col);
  if (std::fabs(col.rest) > 1e-6 && debugging == 'S') reportCell(col);
  if (col.dz < 0)
    for (double& m : col.M) m = -m;
  for (int c = 0; c < 4; ++c) bedgrid::moveCorner(i - bedcolumn::kDi[c], j - bedcolumn::kDj[c], col.M[c]);
  if (FroudeMaxSurface > 0.5) froudeLimit(i, j, col.ref);
}

void bedchange2() {
  bedframe::mark(38);
  Barea[0] = 0;
  if (FlagBedSmooth == 5) bedsmooth();
  for (int bl = 1; bl <= NoBlocks; ++bl) {
    if (!bedgrid::selected(bl, false)) continue;
    const GridBlock& k = block[bl];
    for (int sweep = 1; sweep <= 3; ++sweep)
      for (int i = k.i1; i <= k.i2; ++i)
        for (int j = k.j1; j <= k.j2; ++j) {
          const int c = columnBottom(i, j);
          if (c <= 0) continue;
          const int b = Cbed[c];
          if (sweepOf(b) == sweep) bedchangeCell(i, j, b, k.i1, k.i2, k.j1, k.j2);
        }
  }
  bedframe::afterCornerMoves(bedframe::Option::Cells);
}

void bedchange3() {
  Barea[0] = 0;
  if (FlagBedSmooth == 5) bedsmooth();
  for (int bl = 1; bl <= NoBlocks; ++bl) {
    if (!bedgrid::selected(bl, false)) continue;
    const GridBlock& k = block[bl];
    for (int i = k.i1 - 1; i <= k.i2; ++i)
      for (int j = k.j1 - 1; j <= k.j2; ++j) {
        double m = 0;
        if (!meanAround(i, j, k, m)) continue;
        const double z = zval[i][j][1];
        const double moved = std::max(Surfaces[3][i][j], z + m);
        zval[i][j][1] = moved;
        Surfaces[1][i][j] += moved - z;
      }
  }
  bedframe::afterCornerMoves(bedframe::Option::Points);
}

}  // namespace qorva
