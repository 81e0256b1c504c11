// The sand slide: no bed slope stays steeper than the angle of repose (F 56 / F 270). The
// dispatcher by IterAvalanche; the corner relaxation in N sweeps for one grain size (corner
// levels only) or several on the two-layer bed (the active layers give and take the moved
// material); the top-layer slide of 203 on the layered bed. Every form places exactly the
// volume it takes. Reads and writes zval[..][..][1] and the layer stacks.
#include <algorithm>
#include <array>
#include <cmath>

#include "bed/bed.h"
#include "bed/bed_grid.h"
#include "bed/bed_slide.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_g.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// Volumes of each size taken by one corner move of the multi-size relaxation (m3); element 0
// their total.
std::array<double, 52> AvalMove{};
// Make-up of the material placed by m_rise, per size.
std::array<double, 52> deposit{};

// One edge test of the corner relaxation: the corners (ia, ja) and (ib, jb) of column (i, j),
// the neighbour across the edge and the side neighbours and diagonals that share each corner.
struct Edge {
  int ia, ja, ib, jb;
  double allowed;
  int across;
  int sideA, diagA, sideB, diagB;
};

// The level difference the angle of repose allows between grid points (p, q) and (r, s): the
// tangent times their horizontal distance. (The cell's half sizes are measured along the
// slope, so on a steep edge they would allow more than the angle of repose, and for a
// tangent of 1 or more no slope at all would count as too steep.)
double allowedBetween(int p, int q, int r, int s) {
  return AngleAvalanche * std::hypot(xval[p][q] - xval[r][s], yval[p][q] - yval[r][s]);
}

// The four tests of column (i, j) in their order: north, south, west, east sides.
std::array<Edge, 4> edgesOf(int i, int j, const bedgrid::Around& a) {
  return {{{i - 1, j, i, j, allowedBetween(i - 1, j, i, j), a.n, a.w, a.nw, a.e, a.ne},
           {i - 1, j - 1, i, j - 1, allowedBetween(i - 1, j - 1, i, j - 1), a.s, a.w, a.sw, a.e,
            a.se},
           {i - 1, j - 1, i - 1, j, allowedBetween(i - 1, j - 1, i - 1, j), a.w, a.s, a.sw, a.n,
            a.nw},
           {i, j - 1, i, j, allowedBetween(i, j - 1, i, j), a.e, a.s, a.se, a.n, a.ne}}};
}

// One size: the two corners move towards each other until they differ by the allowed
// difference, each by the share that keeps weight times level change equal on both sides.
void relaxSingle(int i, int j, const GridBlock& k, const bedgrid::Around& a, const Edge& e) {
  double& za = zval[e.ia][e.ja][1];
  double& zb = zval[e.ib][e.jb][1];
  const double excess = std::fabs(za - zb) - e.allowed;
  if (!(excess > 0)) return;
  const double wa = bedgrid::cornerWeight(i, j, i - e.ia, j - e.ja, k, a);
  const double wb = bedgrid::cornerWeight(i, j, i - e.ib, j - e.jb, k, a);
  const bool aHigh = za > zb;
  const double wh = aHigh ? wa : wb, wl = aHigh ? wb : wa;
  double& zh = aHigh ? za : zb;
  double& zl = aHigh ? zb : za;
  zh -= excess * wl / (wh + wl);
  zl += excess * wh / (wh + wl);
}

int bedOf(int cell) { return cell > 0 ? Cbed[cell] : 0; }

// Several sizes on the two-layer bed: the level to move, limited by the erodible thickness
// of the higher corner, goes through the active layers of the columns around both corners.
// The higher corner drops by m and the lower one rises by about m, so m is half the excess
// on every edge; half the difference less the whole allowed difference would leave slopes
// up to twice the angle of repose standing.
void relaxLayers(int c, const Edge& e) {
  const double za = zval[e.ia][e.ja][1], zb = zval[e.ib][e.jb][1];
  const double diff = std::fabs(za - zb);
  double m = 0.5 * (diff - e.allowed);
  if (!(m > 0)) return;
  const bool aHigh = za > zb;
  const int ih = aHigh ? e.ia : e.ib, jh = aHigh ? e.ja : e.jb;
  const int il = aHigh ? e.ib : e.ia, jl = aHigh ? e.jb : e.ja;
  m = std::min(m, zval[ih][jh][1] - Surfaces[3][ih][jh]);
  if (!(m > 1e-12)) return;
  const int sideH = aHigh ? e.sideA : e.sideB, diagH = aHigh ? e.diagA : e.diagB;
  const int sideL = aHigh ? e.sideB : e.sideA, diagL = aHigh ? e.diagB : e.diagA;
  m_updatebed(Cbed[c], bedOf(e.across), bedOf(sideH), bedOf(diagH), bedOf(sideL), bedOf(diagL), ih,
              jh, il, jl, m);
}

void cornerRelaxation(int sweeps, bool layers) {
  for (int sweep = 0; sweep < sweeps; ++sweep)
    bedgrid::eachWetColumn(false, [layers](int i, int j, int c, const GridBlock& k) {
      const bedgrid::Around a = bedgrid::around(c);
      const std::array<Edge, 4> edges = edgesOf(i, j, a);
      for (const Edge& e : edges) {
        if (layers)
          relaxLayers(c, e);
        else
          relaxSingle(i, j, k, a, e);
      }
    });
}

double activeThickness(int b) { return BSedDistrib[1][0][b]; }

}  // namespace

void computeSandSlide() {
  const int n = IterAvalanche;
  if (n < 1) return;
  switch (n) {
    case 200:
    case 201: bedslide::planeRotation(n); return;
    case 203: bedslide::topLayerSlide(); return;
    case 202:
    case 204:
    case 205:
    case 206: bedslide::layeredSlide(n); return;
    default: break;
  }
  if (lnumber == 1)
    cornerRelaxation(n, false);
  else if (FlagTSC == 1 || FlagTSC == 2)
    cornerRelaxation(n, true);
}

void m_updatebed(int b0, int b1, int b2, int b3, int b4, int b5, int iH, int jH, int iL, int jL,
                 double dz) {
  for (double& v : AvalMove) v = 0;
  const double q = dz / 4;
  double areaHigh = 0;
  for (int b : {b0, b1, b2, b3})
    if (b > 0) {
      m_shave(b, q);
      areaHigh += Barea[b];
    }
  for (int l = 1; l <= lnumber; ++l) AvalMove[0] += AvalMove[l];
  const double total = AvalMove[0];
  double areaLow = 0;
  for (int b : {b0, b1, b4, b5})
    if (b > 0) areaLow += Barea[b];
  // The higher corner drops by what its columns gave, which is dz unless an active layer ran
  // short, and the lower one rises by the same volume.
  zval[iH][jH][1] -= areaHigh > 0 ? 4 * total / areaHigh : 0.0;
  if (!(areaLow > 0)) return;
  zval[iL][jL][1] += 4 * total / areaLow;
  for (int l = 1; l <= lnumber; ++l) deposit[l] = total > 0 ? AvalMove[l] / total : 0.0;
  // Each column around the lower corner takes the thickness that holds the collected volume.
  const double rise = total / areaLow;
  for (int b : {b0, b1, b4, b5})
    if (b > 0) m_rise(b, rise);
}

void m_shave(int b, double q) {
  const double t1 = activeThickness(b), t0 = BSedDistrib[0][0][b];
  const double d = std::min(q, t1);
  for (int l = 1; l <= lnumber; ++l) AvalMove[l] += BSedDistrib[1][l][b] * d * Barea[b];
  const double e = std::min(d, t0);
  BSedDistrib[0][0][b] = t0 > d ? t0 - e : 0.0;
  // The active layer keeps its thickness with what the layer below gave up; when that layer
  // runs out, the active layer is thinner by what nothing replaced.
  const double kept = t1 - d;
  for (int l = 1; l <= lnumber; ++l) {
    const double v = BSedDistrib[1][l][b] * kept + BSedDistrib[0][l][b] * e;
    if (kept + e > 0) BSedDistrib[1][l][b] = v / (kept + e);
  }
  BSedDistrib[1][0][b] = kept + e;
}

void m_rise(int b, double q) {
  const double t1 = activeThickness(b), t0 = BSedDistrib[0][0][b];
  const double a = std::min(q, bedgrid::thicknessScale() - t1);
  const double d = t1 + a + 1e-20;
  const double r = std::min(q, d), k = std::min(t1, std::max(0.0, d - q)), o = std::max(0.0, q - d);
  for (int l = 1; l <= lnumber; ++l) {
    const double f1 = BSedDistrib[1][l][b], f0 = BSedDistrib[0][l][b];
    BSedDistrib[1][l][b] = (deposit[l] * r + f1 * k) / d;
    BSedDistrib[0][l][b] = (f0 * t0 + f1 * (t1 - k) + deposit[l] * o) / (q - a + t0 + 1e-20);
  }
  BSedDistrib[1][0][b] = t1 + a;
  BSedDistrib[0][0][b] = t0 + q - a;
}

}  // namespace qorva
