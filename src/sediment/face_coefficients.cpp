// Face coefficients of the suspended-sediment equations (Equation 7): the power-law scheme
// with the settling of the grains in the mass flux of every vertical face, the eddy viscosity
// turned into a diffusivity by the Schmidt number, for one size, every size with shared
// horizontal coefficients, every size with all coefficients per size, and the horizontal faces
// alone. Reads Fcell1, Fcell2, Ftype1, Ftype2, Fflux, Fdist1, Fdist2, Farea, Faz, Cgamma,
// CgammaV, fallvelo, NoProcessesSolver and F 12, F 24, F 61, F 63, F 71, F 72, F 76, F 77, F 137;
// writes Cae, Caw, Can, Cas, Cat, Cab, Catm, Cabm, Caem, Cawm, Canm, Casm.
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

// The arrays a size writes, by side code 1 south .. 6 top (index 0 unused).
struct Sides {
  Row1<double> a[7];
};

Row1<double> rowOf(const Table1<double>& t) { return {t.data(), t.size(), t.label()}; }

Sides sharedSides() {
  return {{{}, rowOf(Cas), rowOf(Cae), rowOf(Can), rowOf(Caw), rowOf(Cab), rowOf(Cat)}};
}

// The shared horizontal arrays with the vertical rows of size l.
Sides sizeSides(int l) {
  Sides s = sharedSides();
  s.a[5] = Cabm[l];
  s.a[6] = Catm[l];
  return s;
}

Sides allPerSize(int l) {
  return {{{}, Casm[l], Caem[l], Canm[l], Cawm[l], Cabm[l], Catm[l]}};
}

void put(const Sides& s, int side, int cell, double value) {
  if (cell > 0 && side >= 1 && side <= 6) s.a[side][cell] = value;
}

bool vertical(int t1, int t2) { return t1 == 6 || t2 == 6; }

// Power-law coefficients of surface f for a grain falling at ws (m/s).
void powerLawFace(int f, double ws, const Sides& s) {
  const int c1 = Fcell1[f], c2 = Fcell2[f], t1 = Ftype1[f], t2 = Ftype2[f];
  double F = Fflux[f];
  const bool vert = vertical(t1, t2);
  if (vert) F -= 1000.0 * ws * Faz[f];
  double D = 0;
  if (c1 > 0 && c2 > 0) {
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
    D = Farea[f] * gamma * r / Schmidt;
    const double P = std::fabs(F) / (D + 1e-20);
    const double A = P > 20 ? 0.0 : std::max(0.0, std::pow(1.0 - 0.1 * P, 5));
    // Horizontal faces keep their full diffusion at any Peclet number.
    double phi = vert ? A * TDCvert : TDChoriz;
    if (TurbDensFlag == 1 && bottomSide) phi *= coeff_turbdens(c1, c2);
    phi = std::max(phi, MinGamma / (gamma + 1e-20));
    D *= phi;
  }
  put(s, t1, c1, D + std::max(-F, 0.0));
  put(s, t2, c2, D + std::max(F, 0.0));
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

}  // namespace

void coeff_make1(int first, int last) {
  if (sou[7] == 1) {
    coeff_make_sou7(first, last);
  } else {
    const Sides s = sharedSides();
    powerLawFaces(first, last, fallvelo[1], s);
    if (crankNicolson()) scaleCells(Cae, Caw, Can, Cas, Cat, Cab);
  }
  if (QNFlag > 0) QNGridCoeff();
}

void coeff_make2(int first, int last) {
  if (sou[7] == 1) {
    coeff_make_sou7(first, last);
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
  if (sou[7] == 1) return;
  for (int l = 1; l <= lnumber; ++l) {
    const Sides s = allPerSize(l);
    powerLawFaces(first, last, fallvelo[l], s);
  }
}

void coeff_make1H(int first, int last) {
  if (sou[7] == 1) {
    coeff_make_sou7(first, last);
    return;
  }
  const Sides s = sharedSides();
  for (int f = first; f <= last; ++f) {
    const int c1 = Fcell1[f], c2 = Fcell2[f], t1 = Ftype1[f], t2 = Ftype2[f];
    if (t1 == 6 || t2 == 6) continue;
    double D = 0;
    if (c1 > 0 && c2 > 0) {
      const double r = 1.0 / (Fdist1[f] + Fdist2[f] + 1e-20);
      const double gamma =
          TurbulenceModel == 6 ? TChoriz : (Fdist1[f] * Cgamma[c2] + Fdist2[f] * Cgamma[c1]) * r;
      D = Farea[f] * gamma * r * std::max(TDChoriz, MinGamma / (gamma + 1e-20));
    }
    const double F = Fflux[f];
    if (t1 >= 1 && t1 <= 4) put(s, t1, c1, D + std::max(-F, 0.0));
    if (t2 >= 1 && t2 <= 4) put(s, t2, c2, D + std::max(F, 0.0));
  }
}

}  // namespace qorva
