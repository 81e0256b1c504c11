// The transient free surface of F 36 1 and 11..19: each wet column of one block moves by the
// level change its top cell's flow gives over one time step, spread to the column's corner
// nodes; then the boundary levels, the smoothing, the minimum outlet depth, the coupling of a
// mud layer to the water above it, and the grid rebuilt on the new levels.
// Reads Fflux, Farea, Fax..Faz, Fvx, Fvy, the cell fields and geometry, zval, the timei
// series and the options of the transient surface; writes zval[..][znumber] (and
// [znumber + 1] under F 325), Cxvel[0], Cyvel[0], Bsolidfraction, Bgroundwater, the bed of a
// water block over a mud layer and, through the rebuild, the grid and FlagGridChange.
#include <algorithm>
#include <cmath>

#include "bed/bed_modes.h"
#include "grid/columns.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "surface/surface.h"
#include "surface/transient.h"
#include "surface/update.h"

namespace qorva {

namespace {

double flux(int s) { return s > 0 ? Fflux[s] : 0.0; }

// Net horizontal inflow (kg/s) of cell c through its sides, and with its bottom.
double sideInflow(int c) {
  return flux(Cflatew[c]) - flux(Cflatee[c]) + flux(Cflates[c]) - flux(Cflaten[c]);
}
double netInflow(int c) { return sideInflow(c) + flux(Cflateb[c]); }

double kinematicForm(int t, double dt) {
  const int f = Cflatet[t];
  return (Cxvel[t] * Fax[f] + Cyvel[t] * Fay[f] + Czvel[t] * Faz[f]) / (Faz[f] + 1e-20) * dt;
}
double continuityForm(int t, double dt) {
  return netInflow(t) * 0.001 / (Faz[Cflatet[t]] + 1e-20) * dt;
}
// Net horizontal inflow of the bottom cell over the top area (forms 12 and 19).
double bottomSideForm(int c0, int t, double dt) {
  return sideInflow(c0) / (Farea[Cflatet[t]] * 1000) * dt;
}

// Form 17 and its mud adjustments (F 236): not below the non-erodible level, less the slide
// fluxes, and a rising mud surface expanded.
double mudForm(int c0, int t, int bp, double w, double dt) {
  double dh = w * continuityForm(t, dt) + (1 - w) * kinematicForm(t, dt);
  const double zt = topFace(t);
  if (mudFlow() && dh < 0 && Surfaces) {
    int i = 0, j = 0;
    if (isGridCell(c0) && bp > 0 && Bkooi && Bkooj) {
      i = Bkooi[bp];
      j = Bkooj[bp];
    }
    if (onPlane(i, j) && onPlane(i - 1, j - 1)) {
      const auto L = Surfaces[3];
      const double zL = 0.25 * (L[i][j] + L[i - 1][j] + L[i][j - 1] + L[i - 1][j - 1]);
      dh = zt >= zL ? std::max(dh, -(zt - zL)) : std::max(dh, 0.0);
    }
  }
  if (FlagThixo == 3) thixoSlideFluxes();
  if (mudBlock() && dh > 0 && Bsolidfraction && bp > 0) {
    const double s = Bsolidfraction[1][bp];
    const double H = zt - 1.8 + dh;
    Bsolidfraction[1][bp] = H * s / ((ThixoExpansion - 1) * dh + H * (1 - s) + H * s);
    dh *= ThixoExpansion;
  }
  return dh;
}

double form15(int t, double dt) { return 0.5 * (continuityForm(t, dt) + kinematicForm(t, dt)); }

double levelForm(int c0, int t, int bp, double w) {
  const double dt = TimeStep, R = RelaxTFS;
  switch (FlagTFS) {
    case 1: return (Cpres[t] / 9810 - Ckdist[t]) * R;
    case 11: return netInflow(t) / (Farea[Cflatet[t]] * 1000) * dt * R;
    case 12: return bottomSideForm(c0, t, dt);
    case 13: {
      const int f = Cflatet[t];
      return dt * R * (Cxvel[t] * Fvx[f] + Cyvel[t] * Fvy[f] + Czvel[t]);
    }
    case 14: return kinematicForm(t, dt);
    case 15: return form15(t, dt);
    case 16: return continuityForm(t, dt);
    case 18: {
      const double Qb = flux(Cflateb[t]);
      const double q = std::min(Qb, std::fabs(flux(Cflatee[t])) + std::fabs(flux(Cflatew[t])) +
                                        std::fabs(flux(Cflaten[t])) + std::fabs(flux(Cflates[t])));
      return (q + sideInflow(t)) * 0.001 / (Faz[Cflatet[t]] + 1e-20) * dt;
    }
    case 19: {
      double K = 0;
      upColumn(c0, [&K](int c) { K += Ckdist[c]; });
      const double r =
          3.33333 * std::sqrt(Cxvel[t] * Cxvel[t] + Cyvel[t] * Cyvel[t]) / (2 * K) - 1;
      const double side = bottomSideForm(c0, t, dt);
      if (r <= 0) return side;
      if (r >= 1) return form15(t, dt);
      return r * form15(t, dt) + (1 - r) * side;
    }
    default: return mudForm(c0, t, bp, w, dt);  // 17, and the mud layers' own values
  }
}

// Limits of a rise by the top velocity (F 359) and of the change by the top cell (F 530).
double limited(double dh, int t) {
  const double u = Cxvel[t], v = Cyvel[t], w = Czvel[t];
  if (SurfULimit > 0.001) {
    const double U = std::sqrt(u * u + v * v);
    dh = U > SurfULimit ? std::min(dh, (U - SurfULimit) * SurfUFactor * TimeStep)
                        : std::min(dh, 0.0);
  }
  const double k = Ckdist[t];
  if (FlagLimitSurf == 1) return std::clamp(dh, -k, k);
  if (FlagLimitSurf >= 2 && FlagLimitSurf <= 5) {
    static constexpr double kCourant[] = {0.2, 0.1, 0.3, 0.25};
    const double f = kCourant[FlagLimitSurf - 2] * Cidist[t] /
                     std::sqrt(u * u + v * v + w * w) / TimeStep;
    if (f <= 1) dh *= f;
    return std::clamp(dh, -k, k);
  }
  return dh;
}

// F 1 J: the discharges through two cross-sections of a one-column-wide block 1.
void crossSectionTrace() {
  if (debugging != 'J' || std::fabs(std::fmod(double(Iter), 100.0)) >= 0.001 || NoBlocks < 1)
    return;
  const GridBlock& k = block[1];
  if (k.j1 != k.j2) return;
  auto discharge = [](int i, int j) {
    double q = 0;
    upColumn(columnBottom(i, j), [&q](int c) { q += Fax[Cflatew[c]] * Cxvel[c]; });
    return q;
  };
  const int ia = surfaceDampSec > 0 ? surfaceDampSec + 1 : k.i2 / 4;
  logf("Cross-continuity = %lf ", discharge(ia, k.j1));
  logf("%lf m3/s\n", discharge(k.i2 / 2, k.j1));
}

double cornerMean(int i, int j, int slot) {
  return 0.25 * (zval[i][j][slot] + zval[i - 1][j][slot] + zval[i][j - 1][slot] +
                 zval[i - 1][j - 1][slot]);
}

// A mud layer (block b) under the water block b - 1: its surface becomes the water block's bed
// at the matching node j - dJ, and its groundwater follows the levels (F 262). Nodes whose
// match lies off the grid are left.
void mudLayerCoupling(int b) {
  if (b < 2) return;
  const GridBlock& k = block[b];
  const int dJ = k.j2 - block[b - 1].j2;
  if (FlagGroundwater > 0 && Bgroundwater && Bthixolev)
    for (int i = k.i1; i <= k.i2; ++i)
      for (int j = k.j1; j <= k.j2; ++j) {
        const int bp = columnBedCell(i, j);
        if (bp == 0 || !onPlane(i - 1, j - dJ - 1) || !onPlane(i, j - dJ)) continue;
        const double zs = cornerMean(i, j, znumber);
        const double zsw = cornerMean(i, j - dJ, znumber);
        const double zbw = cornerMean(i, j - dJ, 1);
        if (Bthixolev[bp] < Bgroundwater[bp]) Bgroundwater[bp] += 0.5 * (zs - zbw);
        Bgroundwater[bp] = zs < zsw ? zsw : std::min(Bgroundwater[bp], zs);
      }
  for (int i = k.i1 - 1; i <= k.i2; ++i)
    for (int j = k.j1 - 1; j <= k.j2; ++j)
      if (onPlane(i, j - dJ)) zval[i][j - dJ][1] = zval[i][j][znumber];
}

}  // namespace

double surf::columnLevelChange(int c0, int t, int bp, double w) {
  return limited(levelForm(c0, t, bp, w), t);
}

void surface_tfs(int, int b) {
  mc_program = " Surface_tfs ";
  if (b < 1 || b > NoBlocks) return;
  Cxvel[0] = Cyvel[0] = 0;
  // The slides of F 236 3 carry the whole surface with their fluxes: the continuity form alone.
  const double w = FlagThixo == 3 ? 1.0 : TFS17WeightPresCorr;
  const GridBlock& k = block[b];
  if (FlagSlide > 0)
    for (int i = k.i1 - 1; i <= k.i2; ++i)
      for (int j = k.j1 - 1; j <= k.j2; ++j) zval[i][j][znumber + 1] = zval[i][j][znumber];

  for (int i = k.i1; i <= k.i2; ++i)
    for (int j = k.j1; j <= k.j2; ++j) {
      const int bp = columnBedCell(i, j);
      if (FlagSlide >= 2 && bp > 0 && cellAbove(Bcellt[bp]) == 0) continue;
      const int c0 = columnBottom(i, j);
      if (c0 == 0) continue;
      const int t = topOf(c0);
      const double dh = surf::columnLevelChange(c0, t, bp, w);
      surf::spreadToCorners(b, i, j, c0, bp, dh);
    }

  if (FlagExtraDebug == 1) logf("In surface_tfs-1\n");
  if (k.thixo == 0) surf::transientBoundaryLevels(b);
  if (FlagExtraDebug == 1) logf("In surface_tfs-3\n");
  crossSectionTrace();
  if (FlagSurfSmooth > 0 || FlagSurfSlope > 0) surface_smoother2(b);
  if (SurfSmoothFlag > 0) surface_smoother();
  if (k.thixo == 0) surf::outletMinimumDepth();
  if (k.thixo > 0 && mudBlock()) mudLayerCoupling(b);

  if (!(FlagTSC != 0 && FlagSurfRegen != 1)) {
    rebuildOnNewLevels();
    FlagGridChange = 1;
  }
  if (FlagExtraDebug == 1) logf("End surface_tfs\n");
}

}  // namespace qorva
