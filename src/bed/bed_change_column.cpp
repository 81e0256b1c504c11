// One column of the bed changes of F 255 0 and 1: levels, limits, the limited passes, the
// books of the rest and the report of the column. Reads the corner levels, Surfaces plane 3,
// the layer thicknesses and the column's cell; writes BedMoveDefectSum and BedMoveDefectAbs.
#include "bed/bed_change_column.h"

#include <algorithm>
#include <cmath>

#include "grid/columns.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f150_199.h"
#include "state/options_f200_249.h"
#include "state/options_g.h"
#include "state/sediment_run.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva::bedcolumn {

void fill(Column& col, int i, int j, int b) {
  col.i = i;
  col.j = j;
  col.b = b;
  col.cell = Bcellt[b];
  col.dz = Bedmove[b];
  col.zmax = -1e30;
  col.zmin = 1e30;
  col.top = -1e30;
  for (int k = 0; k < 4; ++k) {
    const int p = i - kDi[k], q = j - kDj[k];
    col.z[k] = zval[p][q][1];
    col.s[k] = zval[p][q][znumber];
    col.zmax = std::max(col.zmax, col.z[k]);
    col.zmin = std::min(col.zmin, col.z[k]);
    col.top = std::max(col.top, col.s[k]);
  }
  col.low = col.zmin;
}

bool start(Column& col, int i, int j) {
  const int c = columnBottom(i, j);
  if (c <= 0) return false;
  const int b = Cbed[c];
  if (Bcellt[b] < 1 || !(std::fabs(Bedmove[b]) > 1e-12)) return false;
  fill(col, i, j, b);
  col.cell = c;
  return true;
}

int neighbourCell(const bedgrid::Around& a, int dx, int dy) {
  if (dy == 0) return dx > 0 ? a.e : a.w;
  if (dx == 0) return dy > 0 ? a.n : a.s;
  if (dx > 0) return dy > 0 ? a.ne : a.se;
  return dy > 0 ? a.nw : a.sw;
}

void areaFactors(Column& col, int i1, int i2, int j1, int j2) {
  const auto area = [&](int dx, int dy) {
    const bool inside = (dx == 0 || (dx > 0 ? col.i < i2 : col.i > i1)) &&
                        (dy == 0 || (dy > 0 ? col.j < j2 : col.j > j1));
    return inside ? armap[col.i + dx][col.j + dy]
                  : bedgrid::areaOfCell(neighbourCell(col.nb, dx, dy));
  };
  for (int k = 0; k < 4; ++k) {
    const int dx = kDi[k] == 0 ? 1 : -1, dy = kDj[k] == 0 ? 1 : -1;
    col.F[k] = col.G[k] = col.A + area(dx, 0) + area(0, dy) + area(dx, dy);
  }
}

void scaleFactors(Column& col, const double t[4]) {
  // A pass places sum_k W_k R G_k / (4 F_k); with F_k = G_k t_k s that is R when s is the
  // weighted mean of 1 / t_k. Rescaling the factors to their former sum instead would create
  // or lose sediment wherever the t_k differ.
  double inverse = 0, weights = 0;
  for (int k = 0; k < 4; ++k) {
    inverse += col.W[k] / t[k];
    weights += col.W[k];
  }
  const double s = inverse / weights;
  for (int k = 0; k < 4; ++k) col.F[k] = col.G[k] * t[k] * s;
}

void limits(Column& col) {
  for (int k = 0; k < 4; ++k) {
    double l = 1000;
    if (FlagBedChange != 2) {
      if (col.dz < 0)
        l = col.z[k] - Surfaces[3][col.i - kDi[k]][col.j - kDj[k]];
      else if (FlagBedChange == 1)
        l = col.s[k] - col.z[k];
      if (!(l > 0)) l = 0;
    }
    col.L[k] = l;
  }
}

void limitedPasses(Column& col, double evenStop, double oddStop) {
  const bool even = col.ref % 2 == 0;
  col.ii = even ? 5 : 3;
  col.passes = 0;
  for (double& m : col.M) m = 0;
  if (NumMoveBedchange < 1) {
    col.rest = std::fabs(col.dz);
    return;
  }
  // The order changes only the rounding of the rest.
  static constexpr int kEven[4] = {0, 1, 2, 3}, kOdd[4] = {1, 0, 3, 2};
  const int* order = even ? kEven : kOdd;
  const double stop = even ? evenStop : oddStop;
  double r = std::fabs(col.dz) * col.A;
  for (int pass = 1; pass <= NumMoveBedchange; ++pass) {
    for (int k = 0; k < 4; ++k) col.M[k] += col.W[k] * r / col.F[k];
    double rest = 0;
    for (int n = 0; n < 4; ++n) {
      const int k = order[n];
      if (col.M[k] > col.L[k]) {
        rest += (col.M[k] - col.L[k]) * col.G[k] * 0.25 / col.A;
        col.M[k] = col.L[k];
      }
    }
    col.rest = rest;
    r = rest * col.A;
    if (rest >= 1e-9) ++col.passes;
    if (rest < stop) break;
  }
}

void book(const Column& col) {
  const double mass = col.rest * col.A * SolidFrac * 1000.0 * density;
  BedMoveDefectSum += col.dz / std::fabs(col.dz + 1e-20) * mass;
  BedMoveDefectAbs += mass;
}

void reportDetails(const Column& col) {
  const int c = col.cell, b = col.b;
  const double top = BSedDistrib[1][0][b], bed = BSedDistrib[0][0][b];
  logf("Iter: %d, Thickness top: %lg bottom: %lg\n", Iter, top, bed);
  logf("Velocity, pressure, bedshear: %lg m/s, %lg m/s, %lg m/s, %lg Pa, %lg Pa\n", Cxvel[c],
       Cyvel[c], Czvel[c], Cpres[c], 300.0 * Ckinen[c]);
  for (int l = 1; l <= lnumber; ++l) logf(" Conc[%d] = %lg", l, Cconc[l][c]);
  logf("\n");
  double available = 0, moved = 0, minmove = 0, move = 0;
  for (int k = 0; k < 4; ++k) {
    available += col.L[k] * col.G[k] / 4;
    moved += col.M[k] * col.G[k] / 4;
    minmove += col.L[k] / 4;
    move += col.M[k] / 4;
  }
  logf("Volume available: %lg, eroded: %lg, supp_eroded: %lg, avl_box_2: %lg, avl_box_1: %lg\n",
       available, moved, col.dz * col.A, col.A * minmove, top * col.A);
  const auto flux = [](int f) { return f > 0 ? Fflux[f] : 0.0; };
  logf("Fluxes through cell (tenws): %e %e %e %e %e\n", flux(Cflatet[c]), flux(Cflatee[c]),
       flux(Cflaten[c]), flux(Cflatew[c]), flux(Cflates[c]));
  logf("Neighbour cell indexes (tenws): %d %d %d %d %d\n", Ccellt[c], Ccelle[c], Ccelln[c],
       Ccellw[c], Ccells[c]);
  logf("Distances: i: %lf j: %lf k: %lf\n", Cidist[c], Cjdist[c], Ckdist[c]);
  logf("Barea: %lf, m_armap: %lf, Careaz: %lf\n", Barea[b], armap[col.i][col.j], Careaz[c]);
  logf("Distances: av_minmove: %lg, av_move: %lg, vaval/area: %lg, BSedDistrib[TOP]: %lg, "
       "BSedDistrib[BED]: %lg, dz: %lg\n",
       minmove, move, available / col.A, top, bed, col.dz);
}

}  // namespace qorva::bedcolumn
