// The default bed change (F 255 0): the change Bedmove of each column moves its four corner
// bed levels by area factors (reshaped by F 205), within the limits of F 163, in passes that
// hand what a limited corner cannot take to the others (F 502, F 242); what no corner takes is
// booked. Then the common frame. Reads Bedmove, the grid and the levels; writes zval[..][..][1],
// Surfaces plane 1, BedMoveDefectSum and BedMoveDefectAbs.
#include <cmath>

#include "bed/bed.h"
#include "bed/bed_change_column.h"
#include "bed/bed_frame.h"
#include "bed/bed_grid.h"
#include "grid/columns.h"
#include "grid/grid.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_f100_149.h"
#include "state/options_f150_199.h"
#include "state/options_f200_249.h"
#include "state/options_f350_399.h"
#include "state/options_f450_499.h"
#include "state/options_f500_534.h"
#include "state/points.h"
#include "state/sediment_run.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

using bedgrid::Around;
using bedcolumn::Column;

// (zmax - z_k) / range + p for `fromTop`, else (z_k - zmin) / range + p; never below 0.001,
// so that no factor vanishes (a zero factor would put an infinite move on its corner).
double levelFactor(const Column& col, int k, bool fromTop, double p) {
  const double range = col.zmax - col.zmin + 1e-20;
  const double x = fromTop ? (col.zmax - col.z[k]) / range : (col.z[k] - col.zmin) / range;
  return std::max(0.001, x + p);
}

void levelRule(Column& col, bool fromTop) {
  double t[4];
  for (int k = 0; k < 4; ++k) t[k] = levelFactor(col, k, fromTop, f205param);
  bedcolumn::scaleFactors(col, t);
}

// Corners that the flow runs towards from the cell centre take less.
void flowRule(Column& col) {
  double t[4];
  for (int k = 0; k < 4; ++k) {
    const int p = bedgrid::cellCorner(col.ref, k);
    const double d = dotproduct(Cxvel[col.ref], Cyvel[col.ref], Cxcenter[col.ref] - Px[p],
                                Cycenter[col.ref] - Py[p]);
    t[k] = d > 0 ? 1 + d : 1;
  }
  bedcolumn::scaleFactors(col, t);
}

// F 205 3: the column's warp against the mean warp of its side neighbours.
bool warpedAgainstNeighbours(const Column& col) {
  const double mine = Bfly[col.b];
  const auto warp = [](int n) { return n > 0 ? Bfly[Cbed[n]] : 0.0; };
  const double around = 0.25 * (warp(col.nb.e) + warp(col.nb.s) + warp(col.nb.w) + warp(col.nb.n));
  return (mine > 0.03 && around < -0.03) || (mine < -0.03 && around > 0.03);
}

// F 205 9: weights from the slope of the bottom surface.
void bedNormalRule(Column& col, bool deposition) {
  const int f = Cflateb[col.ref];
  const double s = deposition ? std::min(Fvz[f] / BedCritTanSlopeUp, 1.0) : -1.0;
  double sum = 0;
  for (int k = 0; k < 4; ++k) {
    const int p = bedgrid::cellCorner(col.ref, k);
    const double e = dotproduct(Fvx[f], Fvy[f], Px[p] - Cxcenter[col.ref], Py[p] - Cycenter[col.ref]);
    col.W[k] = s * e + 1;
    sum += col.W[k];
  }
  for (int k = 0; k < 4; ++k) col.W[k] *= 4 / (sum + 1e-20);
}

// The weight rules: x_k per corner, its range, rescaled to `total`.
struct Term {
  double x[4];
  double range;
};

void weightRule(Column& col, const Term& term, double total) {
  const double g = term.range > 1e-10 ? 1 / term.range : 1e10;
  double sum = 0;
  for (int k = 0; k < 4; ++k) {
    col.W[k] *= std::max(0.001, std::max(0.0, term.x[k]) * g + f205param);
    sum += col.W[k];
  }
  for (int k = 0; k < 4; ++k) col.W[k] *= total / sum;
}

Term belowTop(const Column& col, double top) {
  Term t{};
  for (int k = 0; k < 4; ++k) t.x[k] = top - col.z[k];
  t.range = top - col.low;
  return t;
}
Term aboveLow(const Column& col, double low) {
  Term t{};
  for (int k = 0; k < 4; ++k) t.x[k] = col.z[k] - low;
  return t;
}
Term fromMin(const Column& col) {
  Term t = aboveLow(col, col.zmin);
  t.range = col.zmax - col.zmin;
  return t;
}
Term fromMax(const Column& col) {
  Term t{};
  for (int k = 0; k < 4; ++k) t.x[k] = col.zmax - col.z[k];
  t.range = col.zmax - col.zmin;
  return t;
}
// Rule 15 and its kin: erosion by the height above the lowest corner, deposition by the
// depth below the highest water level.
Term byWater(const Column& col, bool deposition) {
  if (deposition) return belowTop(col, col.top);
  Term t = aboveLow(col, col.low);
  t.range = col.top - col.low;
  return t;
}

// F 205 17: deposition larger than the smallest corner depth.
void shallowRule(Column& col) {
  double dmin = 1e30, zlow = 1e30;
  for (int k = 0; k < 4; ++k) {
    dmin = std::min(dmin, col.s[k] - col.z[k]);
    zlow = std::min(zlow, col.z[k]);
  }
  if (!(col.dz > dmin)) return;
  const double lo = std::min(zlow, dmin - MinVertDist0);
  Term t{};
  for (int k = 0; k < 4; ++k) t.x[k] = dmin - col.z[k];
  t.range = dmin - lo;
  weightRule(col, t, 4);
}

double meanWaterDepth(const Column& col) {
  double s = 0;
  for (int k = 0; k < 4; ++k) s += col.s[k] - col.z[k];
  return 0.25 * s;
}

// The F 205 rule that reshapes the area factors (kind F) or the corner weights (kind W).
void reshape(Column& col) {
  const bool dep = col.dz > 0;
  switch (FlagSkewedBedchange) {
    case 1: levelRule(col, !dep); break;
    case 2: if (!dep) levelRule(col, true); break;
    case 3: if (warpedAgainstNeighbours(col)) levelRule(col, !dep); break;
    case 4: levelRule(col, dep); break;
    case 5: flowRule(col); break;
    case 6: if (!dep) flowRule(col); break;
    case 9: bedNormalRule(col, dep); break;
    case 11: if (!dep && meanWaterDepth(col) > MinVertDist1) levelRule(col, true); break;
    case 13:
    case 18: weightRule(col, belowTop(col, std::max(col.top, col.low)), 4); break;
    case 14: weightRule(col, dep ? fromMax(col) : fromMin(col), 4); break;
    case 15: weightRule(col, byWater(col, dep), 4); break;
    case 16: weightRule(col, dep ? byWater(col, true) : fromMin(col), 4); break;
    case 17: shallowRule(col); break;
    case 19: if (dep) weightRule(col, belowTop(col, std::max(col.top, col.low)), 4); break;
    case 20: {
      const bool dry = std::min(col.top, col.s[2] - col.z[2]) < 0;
      weightRule(col, byWater(col, dep || dry), 4);
      break;
    }
    case 21: weightRule(col, byWater(col, dep), 1); break;
    default: break;
  }
}

void areaFactors(Column& col, const GridBlock& k) {
  if (FlagNoSides != 0)
    for (int c = 0; c < 4; ++c) col.F[c] = col.G[c] = 4 * col.A;
  else
    bedcolumn::areaFactors(col, k.i1, k.i2, k.j1, k.j2);
}

// The one pass of F 502 1: every corner takes its share, nothing is limited or booked.
void singlePass(Column& col) {
  const double r = std::fabs(col.dz) * col.A;
  for (int k = 0; k < 4; ++k) col.M[k] = col.W[k] * r / col.F[k];
  col.rest = 0;
  col.passes = 0;
}

// F 369 1: a corner move that is not a number is reported; the run goes on.
void reportNaN(const Column& col) {
  for (int k = 0; k < 4; ++k) {
    if (!std::isnan(col.M[k])) continue;
    logf("Bug in bedchange: i,j=(%d,%d), move(%d) = %lf\n", col.i, col.j, k + 1, col.M[k]);
    logf("factor = %lf, minmove = %lf, arp = %lf\n", col.F[k], col.L[k], col.A);
    if (FlagSkewedBedchange > 0) logf("This could be due to the F 205 data set\n");
  }
}

void reportRest(const Column& col) {
  logf("Warning in bed change, i,j,b,ii,l,Bedmove,rest,dz,area = %d %d %d %d %d %lg %lg %lg %lg\n",
       col.i, col.j, col.b, col.ii, col.passes, Bedmove[col.b], col.rest, Bedmove[col.b], col.A);
  bedcolumn::reportDetails(col);
  for (int k = 0; k < 4; ++k)
    logf("Corner %d, move, factor, minmove, weight = %lg %lg %lg %lg\n", k + 1, col.M[k], col.F[k],
         col.L[k], col.W[k]);
  for (int l = 1; l <= lnumber; ++l)
    logf("Cell P: Size %d, Conc: %lg, Fraction: %lg, Bbedmove %lg, Bsource %lg\n", l,
         Cconc[l][col.cell], BSedDistrib[1][l][col.b], Bbedchange ? Bbedchange[l][col.b] : 0.0,
         Bsource[l][col.b]);
}

// A grid point on the edge of a block exists once more in the block across that edge and
// takes the same move there, so the edge stays closed.
void moveAcrossEdges(const Column& col, const GridBlock& k) {
  const Around& a = col.nb;
  const auto at = [](int n, int di, int dj, double m) {
    const int b = Cbed[n];
    if (b > 0) bedgrid::moveCorner(Bkooi[b] + di, Bkooj[b] + dj, m);
  };
  const double* m = col.M;
  const bool ie = col.i == k.i2, iw = col.i == k.i1, js = col.j == k.j1, jn = col.j == k.j2;
  if (ie && a.e > 0) { at(a.e, -1, 0, m[0]); at(a.e, -1, -1, m[1]); }
  if (js && a.s > 0) { at(a.s, -1, 0, m[2]); at(a.s, 0, 0, m[1]); }
  if (iw && a.w > 0) { at(a.w, 0, 0, m[3]); at(a.w, 0, -1, m[2]); }
  if (jn && a.n > 0) { at(a.n, 0, -1, m[0]); at(a.n, -1, -1, m[3]); }
  if ((js && !ie && a.s == 0) || (ie && !js && a.e == 0)) at(a.se, -1, 0, m[1]);
  if ((js && !iw && a.s == 0) || (iw && !js && a.w == 0)) at(a.sw, 0, 0, m[2]);
  if ((jn && !iw && a.n == 0) || (iw && !jn && a.w == 0)) at(a.nw, 0, -1, m[3]);
  if ((jn && !ie && a.n == 0) || (ie && !jn && a.e == 0)) at(a.ne, -1, -1, m[0]);
}

void moveColumn(int i, int j, const GridBlock& k) {
  Column col;
  if (!bedcolumn::start(col, i, j)) return;
  if (FlagSkewedBedchange == 12)
    failf(-3, "Error in F 205 data set. Option 12 is discontinued due to bug\n");
  col.ref = TopBed == 1 ? topOf(col.cell) : col.cell;
  col.A = armap[i][j] + 1e-20;
  col.nb = bedgrid::around(col.cell);
  areaFactors(col, k);
  reshape(col);
  bedcolumn::limits(col);
  if (FlagBedMove == 1)
    singlePass(col);
  else
    bedcolumn::limitedPasses(col, 1e-9, 1e-9);
  bedcolumn::book(col);
  if (std::fabs(col.rest) > restCrit) reportRest(col);
  if (col.dz < 0)
    for (double& m : col.M) m = -m;
  if (FlagBugFind == 1) reportNaN(col);
  for (int c = 0; c < 4; ++c) bedgrid::moveCorner(i - bedcolumn::kDi[c], j - bedcolumn::kDj[c], col.M[c]);
  if (NoBlocks >= 2) moveAcrossEdges(col, k);
}

}  // namespace

void bedchange() {
  const bool marks = debugging == 'P';
  if (marks) bedframe::mark(37);
  Barea[0] = 0;
  Cbed[0] = 0;
  Bcellt[0] = 0;
  if (FlagGridConnect == 1 && mudFlow() && Surfaces.dim(0) >= 7)
    for (int bl = 1; bl <= NoBlocks; ++bl) {
      if (!bedgrid::selected(bl, true)) continue;
      for (int i = block[bl].i1 - 1; i <= block[bl].i2; ++i)
        for (int j = block[bl].j1 - 1; j <= block[bl].j2; ++j)
          zval[i][j][1] = Surfaces[0][i][j] + Surfaces[1][i][j] + Surfaces[6][i][j];
    }
  if (FlagBedSmooth == 5) bedsmooth();
  for (int bl = 1; bl <= NoBlocks; ++bl) {
    if (!bedgrid::selected(bl, true)) continue;
    const GridBlock& k = block[bl];
    for (int i = k.i1; i <= k.i2; ++i)
      for (int j = k.j1; j <= k.j2; ++j) moveColumn(i, j, k);
  }
  if (marks) bedframe::mark(38);
  bedframe::afterCornerMoves(bedframe::Option::Columns);
}

}  // namespace qorva
