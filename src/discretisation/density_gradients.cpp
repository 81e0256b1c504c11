// Density-driven sources of the momentum equations when the temperature is computed: the
// baroclinic pressure force of the horizontal velocities (layer by layer, or split into a
// depth-mean and a layer part), with its depth mean removed column by column, and the damping
// of vertical motion in stable stratification.
// Reads Ccomp[0], Ckdist, Czcenter, Cvol, Czvel, the links, Fax, Fay; adds to Csource (and Cap
// for w); the layer-wise form writes Cdensgradi, Cdensgradj, Fdgrad.
#include <cmath>

#include "discretisation/discretisation.h"
#include "grid/columns.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_g.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva {

double waterDensity(double x) {
  return 0.9999726 * (1.0 - 9.297173e-6 * std::pow(std::fabs(x - 4.029325), 1.894816));
}

namespace {

// Half head of cell x: relative density times half the cell height (m); 0 for no cell.
// Pressure (Pa) of one metre of water.
constexpr double kHeadToPascal = 9810.0;

double halfHead(int x) { return x >= 1 ? waterDensity(Ccomp[0][x]) * Ckdist[x] : 0.0; }

// Difference east (north) minus west (south) of a cell whose neighbours are present or not:
// central with both, one-sided with one, none without.
double gradientRule(double ve, double vw, double vc, int e, int w) {
  if (e >= 1 && w >= 1) return (ve - vw) / 2;
  if (w == 0 && e >= 1) return ve - vc;
  if (e == 0 && w >= 1) return vc - vw;
  return 0.0;
}

// The x (Equation 1) or y (Equation 2) component of a surface's area vector.
double areaComponent(int f) { return Equation == 1 ? Fax[f] : Fay[f]; }

// Force (N) on cell c from the head differences sx (east - west) and sy (north - south).
double cellForce(int c, double sx, double sy) {
  return ((areaComponent(Cflatee[c]) + areaComponent(Cflatew[c])) * sx +
          (areaComponent(Cflaten[c]) + areaComponent(Cflates[c])) * sy) *
         9810.0 * 0.5;
}

// Whether any present horizontal neighbour of c lies at another height.
bool misaligned(int c) {
  for (int n : {Ccelle[c], Ccellw[c], Ccelln[c], Ccells[c]})
    if (n != 0 && std::fabs(Czcenter[n] - Czcenter[c]) > 1e-7) return true;
  return false;
}

// Growth of the hydrostatic head from the level above down to the centre of c, in its own
// column and in the four neighbouring ones.
struct Increments {
  int e, w, n, s;
  double pe, pw, pn, ps, pc;
};

Increments increments(int c) {
  const int above = Ccellt[c] >= 1 ? Ccellt[c] : 0;
  auto sideAbove = [above](const Table1<int>& side) { return above >= 1 ? side[above] : 0; };
  Increments i{Ccelle[c], Ccellw[c], Ccelln[c], Ccells[c], 0, 0, 0, 0, 0};
  i.pe = halfHead(i.e) + halfHead(sideAbove(Ccelle));
  i.pw = halfHead(i.w) + halfHead(sideAbove(Ccellw));
  i.pn = halfHead(i.n) + halfHead(sideAbove(Ccelln));
  i.ps = halfHead(i.s) + halfHead(sideAbove(Ccells));
  i.pc = halfHead(c) + halfHead(above);
  return i;
}

// Walks the column of top cell c0 downward, each cell with its running head differences
// (sx, sy) and increments; stops before a misaligned level when `aligned` asks it.
template <class F>
void walkLayers(int c0, bool aligned, F f) {
  double sx = 0, sy = 0;
  int steps = 0;
  for (int c = c0; c >= 1 && steps < NoCells; c = Ccellb[c], ++steps) {
    if (aligned && misaligned(c)) return;
    const Increments i = increments(c);
    sx += gradientRule(i.pe, i.pw, i.pc, i.e, i.w);
    sy += gradientRule(i.pn, i.ps, i.pc, i.n, i.s);
    f(c, sx, sy, i);
  }
}

// The layer-wise force of each cell less its depth mean; stores the head differences read by
// the face fluxes under F 69 (sixth value).
void layerWise(int c0) {
  double H = 0, Ix = 0, Iy = 0, Fcol = 0, De = 0, He = 0, Me = 0, Dn = 0, Hn = 0, Mn = 0;
  walkLayers(c0, true, [&](int c, double sx, double sy, const Increments& i) {
    H += Ckdist[c];
    Ix += sx * Ckdist[c];
    Iy += sy * Ckdist[c];
    Fcol += cellForce(c, sx, sy);
    if (i.e >= 1) {
      De += i.pe - i.pc;
      He += Ckdist[c];
      Me += De * Ckdist[c];
    }
    if (i.n >= 1) {
      Dn += i.pn - i.pc;
      Hn += Ckdist[c];
      Mn += Dn * Ckdist[c];
    }
  });
  if (H <= 0) return;
  const double mx = Ix / H, my = Iy / H;
  double aE = -Me / (He + 1e-30), aN = -Mn / (Hn + 1e-30);
  walkLayers(c0, true, [&](int c, double sx, double sy, const Increments& i) {
    Csource[c] -= relaxDensityTurb * (cellForce(c, sx, sy) - Ckdist[c] * Fcol / H);
    // The heads are metres of water; the face fluxes add these to pressure differences (Pa).
    Cdensgradi[c] = kHeadToPascal * (sx - mx);
    Cdensgradj[c] = kHeadToPascal * (sy - my);
    if (i.e >= 1) {
      aE += i.pe - i.pc;
      Fdgrad[Cflatee[c]] = kHeadToPascal * aE;
    }
    if (i.n >= 1) {
      aN += i.pn - i.pc;
      Fdgrad[Cflaten[c]] = kHeadToPascal * aN;
    }
  });
}

// The force split into a depth-mean part from the depth-mean densities of the column and its
// neighbours, and the layer part (scaled under F 69 3 by the ratio of the two).
void depthMean(int c0) {
  double hc = 0, H = 0, hx[4] = {0, 0, 0, 0}, Hx[4] = {0, 0, 0, 0};
  int side[4] = {Ccelle[c0], Ccellw[c0], Ccelln[c0], Ccells[c0]};
  int b = c0;
  int steps = 0;
  for (int c = c0; c >= 1 && steps < NoCells; c = Ccellb[c], ++steps) {
    b = c;
    hc += halfHead(c);
    H += Ckdist[c];
    for (int k = 0; k < 4; ++k) {
      const int x = side[k];
      if (x < 1) continue;
      hx[k] += halfHead(x);
      Hx[k] += Ckdist[x];
      side[k] = Ccellb[x] >= 1 ? Ccellb[x] : 0;
    }
  }
  if (H <= 0) return;
  double mean[4];
  for (int k = 0; k < 4; ++k) mean[k] = hx[k] / (Hx[k] + 1e-30);
  const double own = hc / H;
  // A side present at the bottom cell whose column the top cell does not reach has no mean:
  // it counts as absent rather than as water of density 0.
  const int e = Hx[0] > 0 ? Ccelle[b] : 0, w = Hx[1] > 0 ? Ccellw[b] : 0;
  const int n = Hx[2] > 0 ? Ccelln[b] : 0, s = Hx[3] > 0 ? Ccells[b] : 0;
  const double dx = gradientRule(mean[0], mean[1], own, e, w);
  const double dy = gradientRule(mean[2], mean[3], own, n, s);
  const double Favg =
      (dx * (areaComponent(Cflatee[b]) + areaComponent(Cflatew[b])) +
       dy * (areaComponent(Cflaten[b]) + areaComponent(Cflates[b]))) *
      9810.0 * H * 0.5 * H / Ckdist[b];
  double phi = 1.0;
  if (Seiche1 == 3) {
    double L = 0;
    walkLayers(c0, false, [&](int c, double sx, double sy, const Increments&) {
      L -= relaxDensityTurb * cellForce(c, sx, sy);
    });
    const double r = -Favg / (L + 1e-30);
    phi = r <= 0.1 ? 0.1 : (r < 1.0 ? r : 1.0);
  }
  walkLayers(c0, false, [&](int c, double sx, double sy, const Increments&) {
    Csource[c] -= relaxDensityTurb * (phi * cellForce(c, sx, sy) - Ckdist[c] * Favg / H);
  });
}

// Damping of w in stable stratification: the sink -K w goes into Cap as far as it would
// carry Csource past zero, the rest stays explicit.
void stratificationDamping() {
  for (int c = WCStart; c <= WCEnd; ++c) {
    const int t = Ccellt[c], b = Ccellb[c];
    double G = 0;
    if (t == 0 && b != 0)
      G = (waterDensity(Ccomp[0][b]) - waterDensity(Ccomp[0][c])) / (Ckdist[b] + Ckdist[c]);
    else if (t != 0 && b == 0)
      G = (waterDensity(Ccomp[0][c]) - waterDensity(Ccomp[0][t])) / (Ckdist[t] + Ckdist[c]);
    else if (t != 0 && b != 0)
      G = (waterDensity(Ccomp[0][b]) - waterDensity(Ccomp[0][t])) / (Czcenter[t] - Czcenter[b]);
    double K = Cvol[c] * TimeStep * G * 1000.0 * 9.81;
    if (!(K > 0)) K = 0;
    const double w = Czvel[c], S = Csource[c];
    const double r = S / (w * K + 1e-10);
    if (r <= 0) {
      Cap[c] += K;
    } else if (r < 1) {
      Csource[c] = S - r * K * w;
      Cap[c] += (1 - r) * K;
    } else {
      Csource[c] = S - K * w;
    }
  }
}

template <class F>
void eachTopCell(F f) {
  for (int c = WCStart; c <= WCEnd; ++c)
    if (Ccellt[c] == 0) f(c);
}

}  // namespace

void DensityGradients() {
  if (TemperatureFlag != 1 || !(relaxDensityTurb > 0)) return;
  if (!Ccomp)
    failf(1, "Error, the density sources of F 40 need the water temperature as component 0, "
             "but no components are computed\n");
  if (Equation == 1 || Equation == 2) {
    if (Seiche2 == 3) {
      densityGradientsFollowingSurface();
    } else if (Seiche1 == 2 || Seiche1 == 3) {
      eachTopCell(depthMean);
    } else if (Seiche1 <= 1) {
      if (UMethod != 0)
        failf(1, "Error: the density sources of F 40 by layers need the grid of F 64 0; with "
                 "F 64 %d give the depth-mean form (F 69 2 or 3)\n", UMethod);
      eachTopCell(layerWise);
    } else {
      failf(1, "Error: F 69 %d selects no form of the density sources of F 40\n", Seiche1);
    }
  } else if (Equation == 3 && Seiche1 >= 1 && NoVerttemp > 0) {
    stratificationDamping();
  }
}

}  // namespace qorva
