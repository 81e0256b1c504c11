// Face mass fluxes: interpolated cell velocities plus a Rhie-Chow pressure term that couples
// each flux to the pressure difference across its surface.
// Reads Cxvel, Cyvel, Czvel (and their old levels), Cpres, CinvAp, Czcenter, Ctrekant, the
// half sizes, Cdensgradi, Cdensgradj, the surface geometry and cells; writes Fflux.
#include <algorithm>
#include <cmath>

#include "grid/grid.h"
#include "pressure/pressure.h"
#include "state/cells.h"
#include "state/nests.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "surface/surface_modes.h"

namespace qorva {

namespace {

constexpr double kRhoG = 9810.0;

// How the pressure gradient across a surface is estimated from the cells on both sides.
enum class Form {
  Central,          // central differences over two spacings, both next cells needed
  FirstOneSided,    // one-sided first-order difference where a next cell is missing
  SecondOneSided,   // one-sided second-order difference where a next cell is missing
  Piezometric,      // central on p + rho g z across side surfaces (F 36 11)
  DensityGradient,  // second-order one-sided plus the density-gradient terms (F 69)
};

struct Variant {
  bool active = false;
  Form form = Form::Central;
  bool halfWeights = false;     // gradient weights 1/2, 1/2 instead of the distance weights
  bool oldVelocities = true;    // Crank-Nicolson: mean of the new and old velocities
  bool seiche2 = true;          // F 69 Seiche2 > 9 removes the term on vertical surfaces
  int limiter = 0;              // 1: |RC| <= 0.2 |V|; 2: the same at wedge cells only
  bool thinSides = false;       // side surfaces lower than MinVertDist carry no flux
  bool thinColumns = false;     // no term in one-cell columns thinner than MinVertDist0
  bool doubleAtWedges = false;  // twice the term next to wedge cells
};

Variant selectVariant() {
  Variant v;
  v.active = true;
  if (FlagTFS == 11) {
    v.form = Form::Piezometric;
    return v;
  }
  if (FlagCorrTrekant == 13) {
    v.oldVelocities = false;
    v.seiche2 = false;
    v.doubleAtWedges = true;
    return v;
  }
  if (FlagRhieChow == 0 && Seiche6 == 0) return v;
  switch (FlagRhieChow) {
    case 1: return v;
    case 2: v.thinSides = true; return v;
    case 3: v.form = Form::FirstOneSided; return v;
    case 4: v.form = Form::FirstOneSided; v.limiter = 1; return v;
    case 5:
      v.form = Form::SecondOneSided;
      v.oldVelocities = false;
      v.thinColumns = true;
      return v;
    case 6: v.form = Form::SecondOneSided; v.halfWeights = true; return v;
    case 7: v.halfWeights = true; v.limiter = 1; return v;
    case 8:
      v.halfWeights = true;
      v.oldVelocities = false;
      v.seiche2 = false;
      v.limiter = 2;
      return v;
    default: break;
  }
  if (Seiche6 > 0) {
    v.form = Form::DensityGradient;
    return v;
  }
  v.active = false;  // no form: the fluxes of the range stay as they are
  return v;
}

bool isWedge(int c) { return Ctrekant[c] > 0; }

// Rhie-Chow term (m3/s) of surface f between c1 and c2, with interpolation weight w of c1 and
// volume flux V, before the limiter and the Seiche2 rule.
double rhieChow(const Variant& v, int f, int c1, int c2, double w) {
  const int n11 = Fcell11[f] > 0 ? Fcell11[f] : 0;
  const int n22 = Fcell22[f] > 0 ? Fcell22[f] : 0;
  const bool has11 = n11 > 0, has22 = n22 > 0;
  double d = (w * CinvAp[c1] + (1 - w) * CinvAp[c2]) * invRelaxVelocity *
             std::fabs(RelaxRhieChow) * Farea[f] * Farea[f];
  if (v.doubleAtWedges && (isWedge(c1) || isWedge(c2))) d *= 2;
  const double p1 = Cpres[c1], p2 = Cpres[c2], p11 = Cpres[n11], p22 = Cpres[n22];
  // Pressure differences over two cell spacings across c1 and across c2.
  double G1 = p2 - p11, G2 = p22 - p1;
  const double a1 = v.halfWeights ? 0.5 : w, a2 = v.halfWeights ? 0.5 : 1 - w;
  const double dp = p2 - p1;

  Form form = v.form;
  if (form == Form::Piezometric && Ftype1[f] > 4) form = Form::Central;
  switch (form) {
    case Form::Central:
      if (!has11 || !has22) return 0;
      return d * (0.5 * a1 * G1 + 0.5 * a2 * G2 - dp);
    case Form::FirstOneSided: {
      if (!has11 && !has22) return 0;
      const double g1 = has11 ? 0.5 * G1 : dp, g2 = has22 ? 0.5 * G2 : dp;
      return d * (w * g1 + (1 - w) * g2 - dp);
    }
    case Form::SecondOneSided:
      if (!has11 && !has22) return 0;
      if (!has11) G1 = 4 * p2 - 3 * p1 - p22;
      if (!has22) G2 = 3 * p2 - 4 * p1 + p11;
      return d * (0.5 * a1 * G1 + 0.5 * a2 * G2 - dp);
    case Form::Piezometric: {
      if (!has11 || !has22) return 0;
      const double z1 = Czcenter[c1], z2 = Czcenter[c2], z11 = Czcenter[n11],
                   z22 = Czcenter[n22];
      return d * (w * (G1 + kRhoG * (z2 - z11)) / 2 + (1 - w) * (G2 + kRhoG * (z22 - z1)) / 2 -
                  dp - kRhoG * (z2 - z1));
    }
    case Form::DensityGradient: {
      if (!has11 && !has22) return 0;
      if (!has11) G1 = 4 * p2 - 3 * p1 - p22;
      if (!has22) G2 = 3 * p2 - 4 * p1 + p11;
      double g1 = 0.5 * G1, g2 = 0.5 * G2;
      int n = 0;
      if (Ftype1[f] == 1 || Ftype2[f] == 1) {
        g1 += 0.5 * Cdensgradj[c1];
        g2 += 0.5 * Cdensgradj[c2];
        ++n;
      }
      if (Ftype1[f] == 2 || Ftype2[f] == 2) {
        g1 += 0.5 * Cdensgradi[c1];
        g2 += 0.5 * Cdensgradi[c2];
        ++n;
      }
      return d * (w * g1 + (1 - w) * g2 - dp - n * Fdgrad[f]);
    }
  }
  return 0;
}

void surfaceFluxes(const Variant& v, int first, int last) {
  const bool cn = v.oldVelocities && CrankNicols > 1e-8 && Cxvel_old && Cyvel_old && Czvel_old;
  for (int f = first; f <= last; ++f) {
    const int c1 = Fcell1[f], c2 = Fcell2[f];
    if (c1 <= 0 || c2 <= 0) {
      // Boundary discharges enter the continuity defect separately.
      Fflux[f] = 0;
      continue;
    }
    const double sum = Fdist1[f] + Fdist2[f];
    const double w = sum > 0 ? Fdist2[f] / sum : 0.5;
    double u = w * Cxvel[c1] + (1 - w) * Cxvel[c2];
    double vv = w * Cyvel[c1] + (1 - w) * Cyvel[c2];
    double ww = w * Czvel[c1] + (1 - w) * Czvel[c2];
    if (cn) {
      // The plain mean of the two time levels, whatever the value of CrankNicols.
      u = 0.5 * (u + w * Cxvel_old[c1] + (1 - w) * Cxvel_old[c2]);
      vv = 0.5 * (vv + w * Cyvel_old[c1] + (1 - w) * Cyvel_old[c2]);
      ww = 0.5 * (ww + w * Czvel_old[c1] + (1 - w) * Czvel_old[c2]);
    }
    const double V = u * Fax[f] + vv * Fay[f] + ww * Faz[f];
    double RC = rhieChow(v, f, c1, c2, w);
    if (v.thinColumns && Ccellb[c1] == 0 && Ccellt[c1] == 0 && Ccellb[c2] == 0 &&
        Ccellt[c2] == 0 && (Ckdist[c2] < MinVertDist0 || Ckdist[c1] < MinVertDist0))
      RC = 0;
    if (v.limiter == 1 || (v.limiter == 2 && (isWedge(c1) || isWedge(c2)))) {
      const double lim = 0.2 * std::fabs(V);
      if (std::fabs(RC) > lim) RC = std::copysign(lim, RC);
    }
    if (v.seiche2 && Seiche2 > 9 && (Ftype1[f] == 5 || Ftype2[f] == 5)) RC = 0;
    Fflux[f] = 1000.0 * (V + RC);
    if (v.thinSides && Ftype1[f] <= 4 && Fdz[f] < MinVertDist) Fflux[f] = 0;
  }
}

double horizontalSpeed(int c) { return std::sqrt(Cxvel[c] * Cxvel[c] + Cyvel[c] * Cyvel[c]); }

// F 203 4: the vertical flux between two flat cells is kept within what their horizontal
// speed times the aspect ratio could carry.
void limitFlatVerticalFluxes(int first, int last) {
  for (int f = first; f <= last; ++f) {
    const int c1 = Fcell1[f], c2 = Fcell2[f];
    if (c1 <= 0 || c2 <= 0 || (Ftype1[f] != 6 && Ftype2[f] != 6)) continue;
    const double r = (Ckdist[c1] + Ckdist[c2]) /
                     (Cidist[c1] + Cidist[c2] + Cjdist[c1] + Cjdist[c2]);
    if (!(r < 0.01)) continue;
    const double L = 1000.0 * Farea[f] * 0.5 * (horizontalSpeed(c1) + horizontalSpeed(c2)) * r;
    Fflux[f] = std::clamp(Fflux[f], -L, L);
  }
}

// F 36 50 or F 226 1: the top surface of each water column carries the flux of its cell's
// velocity. Only the surface with no cell above is meant: a surface between two cells of a
// column is also the top surface of the lower one, and keeps its interpolated flux.
void topSurfaceFluxes(int first, int last) {
  const bool cn = CrankNicols > 1e-8 && Cxvel_old && Cyvel_old && Czvel_old;
  for (int f = first; f <= last; ++f) {
    const int c = Fcell1[f];
    if (c <= 0 || Fcell2[f] > 0 || Cflatet[c] != f) continue;
    double u = Cxvel[c], v = Cyvel[c], w = Czvel[c];
    if (cn) {
      u = 0.5 * (u + Cxvel_old[c]);
      v = 0.5 * (v + Cyvel_old[c]);
      w = 0.5 * (w + Czvel_old[c]);
    }
    Fflux[f] = 1000.0 * (u * Fax[f] + v * Fay[f] + w * Faz[f]);
  }
}

// The flux of a cell's own surface on a side where it faces several cells is the sum of the
// fluxes through their facing surfaces.
void sumSide(int c, const Table1<int>& count, const Table2<int>& firstCell,
             const Table1<int>& ownSurface, const Table1<int>& facingSurface) {
  const int n = count[c];
  if (n <= 0) return;
  const int first = firstCell[c][0];
  if (first < 1 || first + n - 1 > NoCells) return;
  double sum = 0;
  for (int k = 0; k < n; ++k) sum += Fflux[facingSurface[first + k]];
  Fflux[ownSurface[c]] = sum;
}

void zeroNestingSurfaces() {
  if (!Npflate) return;
  for (int i = 1; i <= NoNestflater && i < static_cast<int>(Npflate.size()); ++i)
    Fflux[Npflate[i]] = 0;
}

void sumMultiNeighbourSides() {
  if (QNFlag <= 0 || !Cncelle) return;
  for (int c = 1; c <= NoCells; ++c) {
    sumSide(c, Cncelle, Cqncelle, Cflatee, Cflatew);
    sumSide(c, Cncellw, Cqncellw, Cflatew, Cflatee);
    sumSide(c, Cncells, Cqncells, Cflates, Cflaten);
    sumSide(c, Cncelln, Cqncelln, Cflaten, Cflates);
  }
}

}  // namespace

void waterflow(int firstSurface, int lastSurface, Share share) {
  const Variant v = selectVariant();
  if (v.active) surfaceFluxes(v, firstSurface, lastSurface);
  const bool chunk = share == Share::Chunk;
  if (!chunk) {
    zeroNestingSurfaces();
    sumMultiNeighbourSides();
  }
  if (FlagVertVelStab == 4) limitFlatVerticalFluxes(firstSurface, lastSurface);
  if (bedCellLevelScheme() || FlagSurfFlux == 1) topSurfaceFluxes(firstSurface, lastSurface);
  if (!chunk && UnevenConnect > 0) correctFluxUneven();
}

void waterflowAfterChunks() {
  zeroNestingSurfaces();
  sumMultiNeighbourSides();
  if (UnevenConnect > 0) correctFluxUneven();
}

}  // namespace qorva
