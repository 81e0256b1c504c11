// Face coefficients of the suspended-sediment equations (Equation 7): the power-law scheme
// with the settling of the grains in the mass flux of every vertical face, the eddy viscosity
// turned into a diffusivity by the Schmidt number, for one size, every size with shared
// horizontal coefficients, every size with all coefficients per size, and the horizontal faces
// alone. Reads Fcell1, Fcell2, Ftype1, Ftype2, Fflux, Fdist1, Fdist2, Farea, Faz, Cgamma,
// CgammaV, fallvelo, NoProcessesSolver and F 12, F 24, F 61, F 63, F 71, F 72, F 76, F 77, F 137;
// writes Cae, Caw, Can, Cas, Cat, Cab, Catm, Cabm, Caem, Cawm, Canm, Casm and, under
// second-order upwinding, Caee, Caww, Cann, Cass, Catt, Cabb, Cattm, Cabbm, Caeem, Cawwm, Cannm,
// Cassm.
#include <algorithm>
#include <cmath>

#include "discretisation/discretisation.h"
#include "sediment/sediment_loop.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_f100_149.h"
#include "state/options_kw.h"
#include "state/options_snihl.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "turbulence/turbulence.h"

namespace qorva {

namespace {

// The arrays a size writes, by side code 1 south .. 6 top (index 0 unused): the links to the
// first neighbours and, under second-order upwinding, to the second neighbours beyond them.
struct Sides {
  Row1<double> a[7];
  Row1<double> second[7];
};

Row1<double> rowOf(const Table1<double>& t) { return {t.data(), t.size(), t.label()}; }

Sides sharedSides() {
  return {{{}, rowOf(Cas), rowOf(Cae), rowOf(Can), rowOf(Caw), rowOf(Cab), rowOf(Cat)},
          {{}, rowOf(Cass), rowOf(Caee), rowOf(Cann), rowOf(Caww), rowOf(Cabb), rowOf(Catt)}};
}

// The shared horizontal arrays with the vertical rows of size l: its fall velocity makes its
// vertical links, and the second-order links beyond them, its own.
Sides sizeSides(int l) {
  Sides s = sharedSides();
  s.a[5] = Cabm[l];
  s.a[6] = Catm[l];
  if (sou[7] == 1) {
    s.second[5] = Cabbm[l];
    s.second[6] = Cattm[l];
  }
  return s;
}

Sides allPerSize(int l) {
  Sides s{{{}, Casm[l], Caem[l], Canm[l], Cawm[l], Cabm[l], Catm[l]}, {}};
  if (sou[7] == 1) {
    const Row1<double> second[7] = {{}, Cassm[l], Caeem[l], Cannm[l], Cawwm[l], Cabbm[l], Cattm[l]};
    for (int t = 1; t <= 6; ++t) s.second[t] = second[t];
  }
  return s;
}

void put(const Sides& s, int side, int cell, double value) {
  if (cell > 0 && side >= 1 && side <= 6) s.a[side][cell] = value;
}

bool vertical(int t1, int t2) { return t1 == 6 || t2 == 6; }

// The mass flux through surface f that carries the grains: on a vertical face the grains
// fall at ws (m/s) through it.
double carryingFlux(int f, double ws) {
  double F = Fflux[f];
  if (vertical(Ftype1[f], Ftype2[f])) F -= 1000.0 * ws * Faz[f];
  return F;
}

// The diffusion coefficient of surface f (kg/s) against the carrying flux F; 0 for a face with
// a missing cell. `damped`: the power-law factor acts on horizontal faces too (the second-order
// scheme), not only on vertical ones.
double faceDiffusion(int f, double F, bool damped) {
  const int c1 = Fcell1[f], c2 = Fcell2[f], t1 = Ftype1[f], t2 = Ftype2[f];
  if (c1 <= 0 || c2 <= 0) return 0.0;
  const bool vert = vertical(t1, t2);
  const double r = 1.0 / (Fdist1[f] + Fdist2[f] + 1e-20);
  const bool bottomSide = t1 == 5 || t2 == 5;
  double gamma;
  if (TurbulenceModel == 6) {
    gamma = vert ? TCvert : TChoriz;
  } else {
    const Table1<double>& X = bottomSide ? CgammaV : Cgamma;
    gamma = (Fdist1[f] * X[c2] + Fdist2[f] * X[c1]) * r;
  }
  if (TurbDensFlag == 3 && vert) gamma = MinGamma;
  const double D = Farea[f] * gamma * r / Schmidt;
  const double P = std::fabs(F) / (D + 1e-20);
  const double A = P > 20 ? 0.0 : std::max(0.0, std::pow(1.0 - 0.1 * P, 5));
  // In the power-law scheme horizontal faces keep their full diffusion at any Peclet number.
  double phi = vert ? A * TDCvert : (damped ? A : 1.0) * TDChoriz;
  if (TurbDensFlag == 1 && bottomSide) phi *= coeff_turbdens(c1, c2);
  phi = std::max(phi, MinGamma / (gamma + 1e-20));
  return D * phi;
}

// Power-law coefficients of surface f for a grain falling at ws (m/s).
void powerLawFace(int f, double ws, const Sides& s) {
  const double F = carryingFlux(f, ws);
  const double D = faceDiffusion(f, F, false);
  put(s, Ftype1[f], Fcell1[f], D + std::max(-F, 0.0));
  put(s, Ftype2[f], Fcell2[f], D + std::max(F, 0.0));
}

// Diffusion of the horizontal rebuild: no Schmidt number, no power-law factor.
double horizontalDiffusion(int f) {
  const int c1 = Fcell1[f], c2 = Fcell2[f];
  if (c1 <= 0 || c2 <= 0) return 0.0;
  const double r = 1.0 / (Fdist1[f] + Fdist2[f] + 1e-20);
  const double gamma =
      TurbulenceModel == 6 ? TChoriz : (Fdist1[f] * Cgamma[c2] + Fdist2[f] * Cgamma[c1]) * r;
  return Farea[f] * gamma * r * std::max(TDChoriz, MinGamma / (gamma + 1e-20));
}

// powerLawFace over the surfaces first..last. Each surface writes only the side slots of its
// own two cells, so the solver threads share the surfaces and give the serial bits; with
// several neighbours per side (F 137) surfaces share a slot, and the loop stays serial.
void powerLawFaces(int first, int last, double ws, const Sides& s) {
#pragma omp parallel for schedule(static) if (NoProcessesSolver > 0 && QNFlag <= 0)
  for (int f = first; f <= last; ++f) powerLawFace(f, ws, s);
}

bool crankNicolson() { return TimeStep > 1e-8 && CrankNicols > 1e-8; }

template <class... Row>
void scaleCells(const Row&... rows) {
  const double w = 1.0 - CrankNicols;
  for (int c = 1; c <= NoCells; ++c) ((rows[c] *= w), ...);
}

// ---- Second-order upwind (F 63 1) ----
// The face value is extrapolated from the upwind cell U and the cell UU beyond it:
// w phi(U) + (1 - w) phi(UU), w = (2 dU + dUU) / (dU + dUU) with dU, dUU their half sizes across
// the face. The downstream cell links to U by w |F| and to UU by (1 - w) |F|; U's own link to UU
// grows by (w - 1) |F|, so that U loses through the face what the downstream cell gains.

// The arrays of one upwind case: the downstream cell's link to U, its second-neighbour array,
// and U's link to UU.
struct Upwind {
  int down = 0, U = 0, UU = 0;
  double dU = 0, dUU = 0;
  Row1<double> link{}, second{}, correction{};
};

void addUpwind(const Upwind& u, double G) {
  if (u.UU == 0) {
    u.link[u.down] += G;
    u.second[u.down] = 0;
    return;
  }
  const double w = (2 * u.dU + u.dUU) / (u.dU + u.dUU);
  u.link[u.down] += w * G;
  u.second[u.down] = (1 - w) * G;
  u.correction[u.U] += (w - 1) * G;
}

// The upwind case of surface f with carrying flux F, if the face has one; `horizontalOnly`
// leaves the vertical cases out.
bool upwindCase(int f, double F, const Sides& s, bool horizontalOnly, Upwind& u) {
  const int c1 = Fcell1[f], c2 = Fcell2[f], t1 = Ftype1[f], t2 = Ftype2[f];
  const Row1<double> Cw = s.a[4], Cs = s.a[1], Cb = s.a[5], Ce = s.a[2], Cn = s.a[3], Ct = s.a[6];
  // A grain settling in through the water surface comes from no cell: the cell below takes
  // clear water at the first-order rate, as in the power-law scheme, so that what it passes on
  // downward leaves its own balance.
  if (!horizontalOnly && F < 0 && c2 <= 0 && c1 > 0 && t1 == 6) {
    u.down = c1;
    u.U = 0;
    u.UU = 0;
    u.link = Ct;
    u.second = s.second[6];
    return true;
  }
  if (F >= 0) {
    if (c2 <= 0 || c1 <= 0) return false;
    u.down = c2;
    u.U = c1;
    u.dU = 0;
    if (t2 == 4 && Ccellw[c2] != 0) {
      u.UU = Ccellw[c1];
      u.dU = Cidist[c1];
      u.dUU = t1 == 2 ? Cidist[u.UU] : Cjdist[u.UU];
      u.link = Cw;
      u.second = s.second[4];
      u.correction = t1 == 2 ? Cw : Cs;
      return true;
    }
    if (t2 == 1 && Ccells[c2] != 0) {
      u.UU = Ccells[c1];
      u.dU = Cjdist[c1];
      u.dUU = t1 == 3 ? Cjdist[u.UU] : Cidist[u.UU];
      u.link = Cs;
      u.second = s.second[1];
      u.correction = t1 == 3 ? Cs : Cw;
      return true;
    }
    if (!horizontalOnly && t2 == 5 && Ccellb[c2] != 0) {
      u.UU = Ccellb[c1];
      u.dU = Ckdist[c1];
      u.dUU = Ckdist[u.UU];
      u.link = Cb;
      u.second = s.second[5];
      u.correction = Cb;
      return true;
    }
    return false;
  }
  if (c1 <= 0 || c2 <= 0) return false;
  u.down = c1;
  u.U = c2;
  if (t1 == 2 && Ccelle[c1] != 0) {
    u.UU = Ccelle[c2];
    u.dU = Cidist[c2];
    u.dUU = t2 == 4 ? Cidist[u.UU] : Cjdist[u.UU];
    u.link = Ce;
    u.second = s.second[2];
    u.correction = Ce;
    return true;
  }
  if (t1 == 3 && Ccelln[c1] != 0) {
    u.UU = Ccelln[c2];
    u.dU = Cjdist[c2];
    u.dUU = t2 == 1 ? Cjdist[u.UU] : Cidist[u.UU];
    u.link = Cn;
    u.second = s.second[3];
    u.correction = Cn;
    return true;
  }
  if (!horizontalOnly && t1 == 6 && Ccellt[c1] != 0) {
    u.UU = Ccellt[c2];
    u.dU = Ckdist[c2];
    u.dUU = Ckdist[u.UU];
    u.link = Ct;
    u.second = s.second[6];
    u.correction = Ct;
    return true;
  }
  return false;
}

// The convection pass; it adds to links of other faces' cells, so it runs after the whole
// diffusion pass.
void upwindPass(int first, int last, const Sides& s, double ws, bool horizontalOnly) {
  for (int f = first; f <= last; ++f) {
    if (horizontalOnly && vertical(Ftype1[f], Ftype2[f])) continue;
    const double F = horizontalOnly ? Fflux[f] : carryingFlux(f, ws);
    Upwind u;
    if (upwindCase(f, F, s, horizontalOnly, u)) addUpwind(u, std::fabs(F));
  }
}

void secondOrderFaces(int first, int last, const Sides& s, double ws) {
  for (int f = first; f <= last; ++f) {
    const double F = carryingFlux(f, ws);
    const double D = faceDiffusion(f, F, true);
    put(s, Ftype1[f], Fcell1[f], D);
    put(s, Ftype2[f], Fcell2[f], D);
  }
  upwindPass(first, last, s, ws, false);
}

void secondOrderHorizontal(int first, int last) {
  const Sides s = sharedSides();
  for (int f = first; f <= last; ++f) {
    if (vertical(Ftype1[f], Ftype2[f])) continue;
    for (int c : {Fcell1[f], Fcell2[f]})
      if (c > 0) Caee[c] = Caww[c] = Cass[c] = Cann[c] = 0;
  }
  for (int f = first; f <= last; ++f) {
    const int t1 = Ftype1[f], t2 = Ftype2[f];
    if (vertical(t1, t2)) continue;
    const double D = horizontalDiffusion(f);
    if (t1 >= 1 && t1 <= 4) put(s, t1, Fcell1[f], D);
    if (t2 >= 1 && t2 <= 4) put(s, t2, Fcell2[f], D);
  }
  upwindPass(first, last, s, 0.0, true);
}

}  // namespace

void coeff_make1(int first, int last) {
  if (sou[7] == 1) {
    secondOrderFaces(first, last, sharedSides(), fallvelo[1]);
  } else {
    const Sides s = sharedSides();
    powerLawFaces(first, last, fallvelo[1], s);
    if (crankNicolson()) scaleCells(Cae, Caw, Can, Cas, Cat, Cab);
  }
  if (QNFlag > 0) QNGridCoeff();
}

void coeff_make2(int first, int last) {
  if (sou[7] == 1) {
    for (int l = 1; l <= lnumber; ++l) secondOrderFaces(first, last, sizeSides(l), fallvelo[l]);
  } else {
    for (int l = 1; l <= lnumber; ++l) {
      const Sides s = sizeSides(l);
      powerLawFaces(first, last, fallvelo[l], s);
      if (crankNicolson())
        scaleCells(Cae, Caw, Can, Cas, Catm[l], Cabm[l]);
    }
  }
  if (QNFlag > 0) QNGridCoeff();
}

void coeff_make2m(int first, int last) {
  for (int l = 1; l <= lnumber; ++l) {
    const Sides s = allPerSize(l);
    // Second-order upwinding is built here too: leaving the rows as they were would solve the
    // sizes with the coefficients of an earlier step or of none.
    if (sou[7] == 1)
      secondOrderFaces(first, last, s, fallvelo[l]);
    else
      powerLawFaces(first, last, fallvelo[l], s);
  }
}

void coeff_make1H(int first, int last) {
  if (sou[7] == 1) {
    secondOrderHorizontal(first, last);
    return;
  }
  const Sides s = sharedSides();
  for (int f = first; f <= last; ++f) {
    const int t1 = Ftype1[f], t2 = Ftype2[f];
    if (t1 == 6 || t2 == 6) continue;
    const double D = horizontalDiffusion(f), F = Fflux[f];
    if (t1 >= 1 && t1 <= 4) put(s, t1, Fcell1[f], D + std::max(-F, 0.0));
    if (t2 >= 1 && t2 <= 4) put(s, t2, Fcell2[f], D + std::max(F, 0.0));
  }
}

}  // namespace qorva
