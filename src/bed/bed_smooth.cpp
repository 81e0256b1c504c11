// Bed smoothing by F 144: diffusion of corner levels along grid lines at a rate from the bed
// forms (1, 3), smoothing of the pending change Bedmove (5), down-slope transport (6), removal
// of saw-tooth spikes (9) and local maxima (10), relaxation everywhere (11), where the bed is
// warped (12), within the pending change (13) and along fast flow (14). Updates are in place,
// so each point sees the changes made before it. Reads the flow, the concentrations, bed forms
// and the bed change; writes zval[..][..][1], Surfaces plane 1 (6, 9..14) or Bedmove (5).
#include <algorithm>
#include <cmath>

#include "bed/bed.h"
#include "bed/bed_grid.h"
#include "grid/columns.h"
#include "grid/grid.h"
#include "state/options.h"
#include "state/options_f100_149.h"
#include "state/options_g.h"
#include "state/options_snihl.h"
#include "state/points.h"
#include "state/surfaces.h"

namespace qorva {

namespace {


// Shields number below which a cell without turbulent energy is taken: keeps the size term
// theta^(-1/2) of the down-slope transport finite (the active layer caps the move anyway).
constexpr double kThetaFloor = 1e-6;

double& z(int i, int j) { return zval[i][j][1]; }

// The four columns around grid point (i, j) hold water.
bool wetAround(int i, int j) {
  return wetColumn(i, j) && wetColumn(i + 1, j) && wetColumn(i, j + 1) && wetColumn(i + 1, j + 1);
}

// Depth, speed, concentration and bed-form height of a wet column, for the rates of 1 and 3.
struct ColumnFlow {
  int c;
  double depth, speed, conc, height;
};
ColumnFlow flowOf(int i, int j) {
  const int c = columnBottom(i, j);
  double depth = 0;
  upColumn(c, [&depth](int k) { depth += 2 * Ckdist[k]; });
  return {c, depth, std::hypot(Cxvel[c], Cyvel[c]), Cconc[0][c], Bedformheight[Cbed[c]]};
}

// Variant 1: the bed-form time scale of a column; variant 3: the bed-form transport rate.
double timeScale(const ColumnFlow& f) {
  return f.depth * f.height * 7.3 * 0.5 /
         (2 * Ckdist[f.c] * f.conc * SolidFrac * f.speed + 1e-10);
}
double transportRate(const ColumnFlow& f) {
  return 4 * f.conc * Ckdist[f.c] * f.speed * TimeStep * f.height /
         (SolidFrac * f.depth * 7.3 * Farea[Cflateb[f.c]] + 1e-20);
}

// Plan area of the wet columns around grid point (i, j).
double pointWeight(int i, int j) {
  double w = 0;
  for (int di = 0; di <= 1; ++di)
    for (int dj = 0; dj <= 1; ++dj)
      if (wetColumn(i + di, j + dj)) w += Careaz[columnBottom(i + di, j + dj)];
  return w;
}

// One pair of points on the grid line between the wet columns (i1, j1) and (i2, j2).
void diffusePair(int variant, int ci, int cj, int di, int dj, int pi, int pj, int qi, int qj) {
  const ColumnFlow a = flowOf(ci, cj), b = flowOf(ci + di, cj + dj);
  double k;
  if (variant == 1)
    k = TimeStep * ParamBedSmooth / std::max((timeScale(a) + timeScale(b)) / 2, 20 * TimeStep);
  else
    k = ParamBedSmooth * (transportRate(a) + transportRate(b)) / 2;
  const double delta = k * (z(pi, pj) - z(qi, qj));
  const double wp = pointWeight(pi, pj), wq = pointWeight(qi, qj), sum = wp + wq;
  if (!(sum > 0)) return;
  if (variant == 1) {
    z(pi, pj) -= delta * wq / sum;
    z(qi, qj) += delta * wp / sum;
  } else {
    z(pi, pj) -= delta * wp / sum;
    z(qi, qj) += delta * wq / sum;
  }
}

void diffusion(int variant, const GridBlock& k) {
  if (k.i1 < k.i2)
    for (int i = k.i1; i <= k.i2 - 1; ++i)
      for (int j = k.j1; j <= k.j2; ++j)
        if (wetColumn(i, j) && wetColumn(i + 1, j)) diffusePair(variant, i, j, 1, 0, i, j, i, j - 1);
  for (int i = k.i1; i <= k.i2; ++i)
    for (int j = k.j1; j <= k.j2 - 1; ++j)
      if (wetColumn(i, j) && wetColumn(i, j + 1)) diffusePair(variant, i, j, 0, 1, i, j, i - 1, j);
}

void smoothColumnChange(int i, int j) {
  if (!wetColumn(i, j)) return;
  const int b = pointbed[i][j];
  if (Bcellt[b] <= 0 || !(std::fabs(Bedmove[b]) > 1e-12)) return;
  Bedmove[b] += ParamBedSmooth * 0.125 *
                (Bedmove[pointbed[i + 1][j]] + Bedmove[pointbed[i - 1][j]] +
                 Bedmove[pointbed[i][j + 1]] + Bedmove[pointbed[i][j - 1]]);
}

void pendingChange(const GridBlock& k) {
  for (int i = k.i1; i <= k.i2; ++i)
    for (int j = k.j1; j <= k.j2; ++j) smoothColumnChange(i, j);
  for (int i = k.i2; i >= k.i1; --i)
    for (int j = k.j2; j >= k.j1; --j) smoothColumnChange(i, j);
}

void downSlope(const GridBlock& k) {
  for (int i = k.i1; i <= k.i2; ++i)
    for (int j = k.j1; j <= k.j2; ++j) {
      if (!wetColumn(i, j)) continue;
      const int c = columnBottom(i, j), b = Cbed[c], f = Cflateb[c];
      const double sine = std::sqrt(std::max(0.0, 1 - Fvz[f] * Fvz[f]));
      double s = 0;
      for (int l = 1; l <= lnumber; ++l) {
        double theta = 300 * std::max(Ckinen[c], 0.0) /
                       (std::fabs(shieldscoeff) * gsize[l] * (density - 1) * 9810);
        if (!(theta > kThetaFloor)) theta = kThetaFloor;
        s += 0.6 / std::sqrt(theta) * sine * Cconc[l][c];
      }
      const double speed = std::hypot(Cxvel[c], Cyvel[c]);
      const double q = std::min(s * 2 * speed * Ckdist[c] * TimeStep / SolidFrac, BSedDistrib[1][0][b]);
      const int corners[4][2] = {{i, j}, {i, j - 1}, {i - 1, j - 1}, {i - 1, j}};
      for (const auto& p : corners) {
        const double d = dotproduct(Fvx[f], Fvy[f], xval[p[0]][p[1]] - Cxcenter[c],
                                    yval[p[0]][p[1]] - Cycenter[c]);
        bedgrid::moveCorner(p[0], p[1], d * q);
      }
    }
}

double axisMean(int i, int j) { return 0.25 * (z(i + 1, j) + z(i - 1, j) + z(i, j + 1) + z(i, j - 1)); }

// The point drops by d and each of its four axis neighbours rises by d / 4.
void relaxPoint(int i, int j, double d) {
  bedgrid::moveCorner(i, j, -d);
  bedgrid::moveCorner(i + 1, j, d / 4);
  bedgrid::moveCorner(i - 1, j, d / 4);
  bedgrid::moveCorner(i, j + 1, d / 4);
  bedgrid::moveCorner(i, j - 1, d / 4);
}

bool aboveAxisNeighbours(int i, int j) {
  const double h = z(i, j);
  return h > z(i + 1, j) && h > z(i - 1, j) && h > z(i, j + 1) && h > z(i, j - 1);
}

// A spike: a maximum whose neighbours are minima along each line.
bool sawTooth(int i, int j) {
  return aboveAxisNeighbours(i, j) && z(i + 1, j) < z(i + 2, j) && z(i - 1, j) < z(i - 2, j) &&
         z(i, j + 1) < z(i, j + 2) && z(i, j - 1) < z(i, j - 2);
}

void spikes(const GridBlock& k, bool tooth) {
  const int last_i = tooth ? k.i2 - 2 : k.i2 - 1, last_j = tooth ? k.j2 - 2 : k.j2 - 1;
  for (int i = k.i1 + 1; i <= last_i; ++i)
    for (int j = k.j1 + 1; j <= last_j; ++j)
      if (wetAround(i, j) && (tooth ? sawTooth(i, j) : aboveAxisNeighbours(i, j)))
        relaxPoint(i, j, ParamBedSmooth * (z(i, j) - axisMean(i, j)));
}

// Forward and backward sweeps over i1..i2, j1..j2 (points), calling visit(i, j, forward).
template <class Visit>
void bothWays(int i1, int i2, int j1, int j2, Visit visit) {
  for (int i = i1; i <= i2; ++i)
    for (int j = j1; j <= j2; ++j) visit(i, j, true);
  for (int i = i2; i >= i1; --i)
    for (int j = j2; j >= j1; --j) visit(i, j, false);
}

// A grid one column wide in j: each of the two lines moves towards its neighbours along i.
void relaxAlongI(const GridBlock& k, int j2) {
  const auto visit = [j2](int i, int, bool) {
    if (!wetColumn(i, j2) || !wetColumn(i + 1, j2)) return;
    for (int j : {j2, j2 - 1}) {
      const double d = ParamBedSmooth * (z(i, j) - (z(i + 1, j) + z(i - 1, j)) / 2);
      bedgrid::moveCorner(i, j, -d);
      bedgrid::moveCorner(i + 1, j, d / 2);
      bedgrid::moveCorner(i - 1, j, d / 2);
    }
  };
  bothWays(k.i1 + 1, k.i2 - 1, 0, 0, visit);
}

void relaxEverywhere(const GridBlock& k) {
  if (block[1].j2 > block[1].j1) {
    bothWays(k.i1 + 1, k.i2 - 1, k.j1 + 1, k.j2 - 1, [](int i, int j, bool) {
      if (wetAround(i, j)) relaxPoint(i, j, ParamBedSmooth * (z(i, j) - axisMean(i, j)));
    });
  } else if (block[1].j2 == block[1].j1) {
    relaxAlongI(k, k.j2);
  }
}

bool warped(int i, int j, bool forward) {
  for (int di = 0; di <= 1; ++di)
    for (int dj = 0; dj <= 1; ++dj) {
      const double w = Bfly[pointbed[i + di][j + dj]];
      if (!(forward ? std::fabs(w) > ParamBedSmooth : w > ParamBedSmooth)) return false;
    }
  return true;
}

void relaxWarped(const GridBlock& k) {
  bothWays(k.i1 + 1, k.i2 - 1, k.j1 + 1, k.j2 - 1, [](int i, int j, bool forward) {
    if (wetAround(i, j) && warped(i, j, forward))
      relaxPoint(i, j, ParamBedSmooth * (z(i, j) - axisMean(i, j)));
  });
}

void relaxWithinChange(const GridBlock& k) {
  bothWays(k.i1, k.i2 - 1, k.j1, k.j2 - 1, [](int i, int j, bool) {
    double change = 0;
    for (int di = 0; di <= 1; ++di)
      for (int dj = 0; dj <= 1; ++dj) change += std::fabs(Bedmove[pointbed[i + di][j + dj]]);
    const double limit = ParamBedSmooth * change / 4;
    relaxPoint(i, j, std::clamp(z(i, j) - axisMean(i, j), -limit, limit));
  });
}

double froudeOf(int i, int j) { return wetColumn(i, j) ? BFroude[pointbed[i][j]] : 0.0; }

void relaxAlongFastFlow(const GridBlock& k) {
  bothWays(k.i1 - 1, k.i2, k.j1 - 1, k.j2, [](int i, int j, bool) {
    const double fa = froudeOf(i, j), fb = froudeOf(i + 1, j), fc = froudeOf(i + 1, j + 1),
                 fd = froudeOf(i, j + 1);
    double sum = 0;
    int n = 0;
    const auto take = [&](bool fast, int p, int q) {
      if (!fast) return;
      sum += z(p, q);
      ++n;
    };
    take(wetColumn(i, j) && (fa > 0.6 || fb > 0.6), i, j - 1);
    take(fb > 0.6 || fc > 0.6, i + 1, j);
    take(fc > 0.6 || fd > 0.6, i, j + 1);
    take(fd > 0.6 || fa > 0.6, i - 1, j);
    if (n > 0) bedgrid::moveCorner(i, j, ParamBedSmooth * (sum / n - z(i, j)));
  });
}

void smoothBlock(const GridBlock& k) {
  switch (FlagBedSmooth) {
    case 1: diffusion(1, k); break;
    case 3: diffusion(3, k); break;
    case 5: pendingChange(k); break;
    case 6: downSlope(k); break;
    case 9: spikes(k, true); break;
    case 10: spikes(k, false); break;
    case 11: relaxEverywhere(k); break;
    case 12: relaxWarped(k); break;
    case 13: relaxWithinChange(k); break;
    case 14: relaxAlongFastFlow(k); break;
    default: break;
  }
}

}  // namespace

void bedsmooth() {
  const int v = FlagBedSmooth;
  if (v == 5 || v == 6 || v == 9 || v == 10 || v == 13) Bedmove[0] = 0;
  if (v == 14) {
    Cbed[0] = 0;
    BFroude[0] = 0;
  }
  for (int bl = 1; bl <= NoBlocks; ++bl)
    if (bedgrid::selected(bl, false)) smoothBlock(block[bl]);
}

}  // namespace qorva
