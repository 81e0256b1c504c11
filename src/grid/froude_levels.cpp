// Froude-limited minimum water levels of the grid-split prevention (F 371 7 to 9): the level
// at which a cross-section of block 1, or each wet run of it, would carry its discharge at the
// F 371 Froude number. Reads the cell geometry, the fluxes, Bcellt, zval, xval, yval,
// DischargeArray; writes Bminwaterlevel; logs the warnings of the iteration.
#include <algorithm>
#include <cmath>

#include "grid/columns.h"
#include "grid/grid.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

int bedCell(int i, int j) { return columnBedCell(i, j); }

// A column is wet when its bed cell has a bottom cell.
bool wetBedColumn(int i, int j) {
  const int b = bedCell(i, j);
  return b != 0 && isGridCell(Bcellt[b]);
}

double meanOf4(int i, int j, int k) {
  return 0.25 * (zval[i][j][k] + zval[i][j - 1][k] + zval[i - 1][j - 1][k] + zval[i - 1][j][k]);
}

double lineLength(int i, int ja, int jb) {
  const double dx = xval[i][ja] - xval[i][jb], dy = yval[i][ja] - yval[i][jb];
  return std::sqrt(dx * dx + dy * dy);
}

double faceFlux(int f) { return f > 0 ? Fflux[f] : 0.0; }

// Sums of a wet run of a cross-section: area across it, discharge through it (kg/s), width
// and the sum of its columns' water levels.
struct Run {
  double A = 0, Q = 0, B = 0, S = 0;
  int count = 0, first = 0;
};

// The level at which the run carries its discharge at the F 371 Froude number, over all its
// columns. A run without flow takes its mean water level less its mean depth.
void closeRun(int i, int last, const Run& r) {
  const double h = r.A / (r.B + 1e-30);
  const double F =
      std::fabs(r.Q * 0.001 / (r.A + 1e-30)) / std::sqrt(9.81 * (r.A + 1e-30) / (r.B + 1e-30));
  double level = r.S / r.count - h;
  if (F > 0) {
    const double ratio = std::pow(FroudeSplit / F, 0.666667);
    level = r.S / r.count - (1 - 1 / (ratio + 1e-30)) * h;
  }
  for (int j = r.first; j <= last; ++j)
    if (const int b = bedCell(i, j)) Bminwaterlevel[b] = level;
}

}  // namespace

double computeFroude(int i, double Q, double level) {
  if (NoBlocks < 1) return 0.0;
  const GridBlock& k = block[1];
  double A = 0, B = 0;
  for (int j = k.j1; j <= k.j2; ++j) {
    // The segment across the column between the mid-points of its two side edges.
    const double xa = 0.5 * (xval[i - 1][j - 1] + xval[i][j - 1]);
    const double ya = 0.5 * (yval[i - 1][j - 1] + yval[i][j - 1]);
    const double xb = 0.5 * (xval[i - 1][j] + xval[i][j]);
    const double yb = 0.5 * (yval[i - 1][j] + yval[i][j]);
    const double L = std::sqrt((xb - xa) * (xb - xa) + (yb - ya) * (yb - ya));
    const double da = level - 0.5 * (zval[i - 1][j - 1][1] + zval[i][j - 1][1]);
    const double db = level - 0.5 * (zval[i - 1][j][1] + zval[i][j][1]);
    if (da > 0 && db > 0) {
      A += L * 0.5 * (da + db);
      B += L;
    } else if (da > 0 || db > 0) {
      const double wet = std::max(da, db), dry = std::min(da, db);
      const double f = wet / (wet - dry);
      B += f * L;
      A += 0.5 * f * L * wet;
    }
  }
  return Q / (A + 1e-20) / std::sqrt(1e-20 + 9.81 * A / (B + 1e-20));
}

void computeMinwaterlevel2() {
  if (NoBlocks < 1) return;
  const GridBlock& k = block[1];
  for (int i = k.i1; i <= k.i2; ++i) {
    Run r;
    bool open = false;
    for (int j = k.j1; j <= k.j2; ++j) {
      if (!wetBedColumn(i, j)) {
        if (open) closeRun(i, j - 1, r);
        open = false;
        continue;
      }
      if (!open) {
        r = Run{};
        r.first = j;
        open = true;
      }
      ++r.count;
      upColumn(Bcellt[bedCell(i, j)], [&r](int c) {
        r.A += 4 * Ckdist[c] * Cjdist[c];
        r.Q += 0.5 * (faceFlux(Cflatee[c]) + faceFlux(Cflatew[c]));
        if (Ccellt[c] == 0) {
          r.B += 2 * Cjdist[c];
          r.S += Czcenter[c] + Ckdist[c];
        }
      });
    }
    if (open) closeRun(i, k.j2, r);
  }
}

void computeMinwaterlevel4() {
  if (NoBlocks < 1) return;
  const GridBlock& k = block[1];
  const double Q = 0.001 * DischargeArray[1];
  for (int i = k.i2; i >= k.i1; --i) {
    double zmin = 1e20, W = 0;
    int wet = 0, usable = 0;
    for (int j = k.j1; j <= k.j2; ++j) {
      if (columnBottom(i, j) == 0) continue;
      ++wet;
      zmin = std::min(zmin, meanOf4(i, j, 1));
      W += lineLength(i, j - 1, j);
      const double surface = meanOf4(i, j, znumber);
      if (surface > 10000.0)
        logf("Warning, F 371 9 has too high water level as input for time %lf cross-section "
             "%d, point %d, wlevel = %lf\n",
             stimet, i, j, surface);
      else
        ++usable;
    }
    // A cross-section without water has no bed to measure a depth from.
    if (wet == 0) continue;
    if (usable == 0) W += lineLength(i, k.j2 / 2, k.j2 / 2 + 1);
    const double q = Q / W;
    const double hc = std::pow(q * q / (9.81 * FroudeSplit * FroudeSplit), 0.333333333);
    double level = std::max(zmin + 2 * hc, zmin + 2 * MinVertDist0);
    const double maxdepth = level - zmin;
    double step = 0.1 * maxdepth, F = 0, F2 = 0, change = 0;
    bool converged = false;
    for (int n = 0; n < 100; ++n) {
      F = computeFroude(i, Q, level);
      if (std::fabs(F - FroudeSplit) < 0.01) {
        converged = true;
        break;
      }
      if (F > FroudeSplit) {
        F2 = computeFroude(i, Q, level + step);
        const double t = (F - FroudeSplit) / (std::fabs(F - F2) + 0.01);
        change = t < 1 ? t * step : step;
        level += change;
      } else {
        F2 = computeFroude(i, Q, level - step);
        const double t = (FroudeSplit - F) / (std::fabs(F2 - F) + 0.01);
        change = -(t < 1 ? t * step : step);
        level += change;
        step = std::max(0.9 * step, 0.01 * maxdepth);
      }
    }
    if (!converged) {
      logf("Warning, F 371 9 algorithm failed for time %lf cross-section %d, wlevel = %lf "
           "Froude1 = %lf, Froude2 = %lf, weight = %lf, zmin = %lf, deltaz = %lf, maxdepth = "
           "%lf\n",
           stimet, i, level, F, F2, change, zmin, step, maxdepth);
      level = zmin + 2 * MinVertDist0;
    }
    for (int j = k.j1; j <= k.j2; ++j)
      if (const int b = bedCell(i, j)) Bminwaterlevel[b] = level;
  }
}

}  // namespace qorva
