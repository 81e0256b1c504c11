// Scheme variants of the face coefficients: the implicit second-order upwind coefficients of the
// velocities (K 6 1 on u) and the explicit limited corrections of K 6 10..19 added to the source.
// Reads Fflux, Farea, Fdist1, Fdist2, Fcell1, Fcell2, Fcell11, Fcell22, Ftype1, Ftype2, Faz,
// Cgamma, CgammaV, the cell surfaces and neighbours, the transported field; writes Cae..Cab,
// Caee..Cabb (second order) or Csource / Csourcem (limited corrections).
#include <algorithm>
#include <cmath>

#include "discretisation/discretisation.h"
#include "discretisation/face_terms.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "turbulence/turbulence.h"

namespace qorva {

namespace {

using faces::sideCoefficient;
using faces::sideSecondCoefficient;

[[noreturn]] void wrongSide(int f, int c, int side, int status) {
  failf(status,
        "Error in the second-order coefficients of the velocities: surface %d lies on side %d "
        "of cell %d, where the grid has none of its kind\n",
        f, side, c);
}

// Diffusion conductance of the second-order velocity coefficients across a surface between two
// cells, with the effective diffusivity kept at or above MinGamma.
double sou2Diffusion(int f, int c1, int c2, double s) {
  const bool vertical = faces::isVertical(f);
  const double gamma = faces::faceGamma(f, c1, c2, vertical);
  const double D = faces::conductance(f, s, gamma);
  double T = vertical ? TDCvert : TDChoriz;
  if (vertical && TurbDensFlag == 1) T *= coeff_turbdens(c1, c2);
  double a = D * (gamma > 0 ? std::max(T, MinGamma / gamma) : T);
  if (FlagRBedformsmooth > 0) a += coeff_bedform(f, c1, c2);
  return a;
}

// Limiter psi(r) of K 6 10..19; values 20 and above name no limiter and correct nothing. A
// value that is not a number (0/0) counts as 0.
double limiter(int scheme, double r) {
  double psi;
  switch (scheme) {
    case 10: psi = 0.75 * r + 0.25; break;
    case 11: psi = (1.3333 * r + 0.666667) * 0.5; break;
    case 12: psi = std::max(0.0, std::min({2 * r, 0.75 * r + 0.25, 4.0})); break;
    case 13: psi = 2 * (r + std::fabs(r)) / (r + 3); break;
    case 14: psi = (r + std::fabs(r)) / (r + 1); break;
    case 15:
      if (r <= 0)
        psi = 0;
      else if (r < 0.5)
        psi = 2 * r;
      else if (r < 1)
        psi = 1;
      else if (r < 2)
        psi = r;
      else
        psi = 2;
      break;
    case 16: psi = std::max(0.0, std::min(r, 1.0)); break;
    case 17: psi = 1; break;
    case 19: psi = std::max(0.0, std::min({2 * r, (1 + r) / 2, 2.0})); break;
    default: psi = 0; break;
  }
  return std::isnan(psi) ? 0.0 : psi;
}

}  // namespace

// Second-order upwind on uniform weights: the downwind cell takes 1.5 |F| on its first and
// -0.5 |F| on its second neighbour; the upwind cell of an outflow takes 0.5 |F| towards the
// cell behind it. Every coefficient of a cell is written by the one surface on that side, so
// the routine is safe per chunk.
void coeff_make_sou2(int firstSurface, int lastSurface) {
  // Element 0 is the slot of the missing cell and surface: it must read 0 in every chunk.
#pragma omp atomic write
  Cidist[0] = 0.0;
#pragma omp atomic write
  Cjdist[0] = 0.0;
#pragma omp atomic write
  Fflux[0] = 0.0;
  const double s = faces::diffusionFactor();
  for (int f = firstSurface; f <= lastSurface; ++f) {
    const int c1 = Fcell1[f], c2 = Fcell2[f];
    const int t1 = Ftype1[f], t2 = Ftype2[f];
    if (c1 <= 0 || c2 <= 0) {
      // No diffusion and no convection through a boundary surface.
      if (c1 > 0)
        if (Table1<double>* p = sideCoefficient(t1)) (*p)[c1] = (*sideSecondCoefficient(t1))[c1] = 0;
      if (c2 > 0)
        if (Table1<double>* p = sideCoefficient(t2)) (*p)[c2] = (*sideSecondCoefficient(t2))[c2] = 0;
      continue;
    }
    const double Dp = sou2Diffusion(f, c1, c2, s);
    const double F = Fflux[f];
    if (t1 != 0) {
      int beyond, opposite;
      switch (t1) {
        case 2: beyond = Ccelle[c2], opposite = Cflatew[c1]; break;
        case 3: beyond = Ccelln[c2], opposite = Cflates[c1]; break;
        case 6: beyond = Ccellt[c2], opposite = Cflateb[c1]; break;
        default: wrongSide(f, c1, t1, -77);
      }
      double& a = (*sideCoefficient(t1))[c1];
      double& aa = (*sideSecondCoefficient(t1))[c1];
      if (beyond != 0) {
        a = Dp + std::max(-1.5 * F, 0.0);
        aa = F < 0 ? 0.5 * F : 0.0;
      } else {
        a = Dp + std::max(-F, 0.0);
        aa = 0;
      }
      a += std::max(-0.5 * Fflux[opposite], 0.0);
    }
    if (t2 != 0) {
      int beyond, opposite;
      switch (t2) {
        case 4: beyond = Ccellw[c1], opposite = Cflatee[c2]; break;
        case 1: beyond = Ccells[c1], opposite = Cflaten[c2]; break;
        case 5: beyond = Ccellb[c1], opposite = Cflatet[c2]; break;
        default: wrongSide(f, c2, t2, -78);
      }
      double& a = (*sideCoefficient(t2))[c2];
      double& aa = (*sideSecondCoefficient(t2))[c2];
      if (beyond != 0) {
        a = Dp + std::max(1.5 * F, 0.0);
        aa = F > 0 ? -0.5 * F : 0.0;
      } else {
        a = Dp + std::max(F, 0.0);
        aa = 0;
      }
      a += std::max(0.5 * Fflux[opposite], 0.0);
    }
    // F 362 folds the second neighbours back into the first: 3 in the vertical, 1 along x.
    if ((FlagSetPow == 3 && t1 == 6) || (FlagSetPow == 1 && t1 == 2)) {
      Table1<double>&a1 = *sideCoefficient(t1), &aa1 = *sideSecondCoefficient(t1);
      Table1<double>&a2 = *sideCoefficient(t2), &aa2 = *sideSecondCoefficient(t2);
      a1[c1] += aa1[c1];
      aa1[c1] = 0;
      a2[c2] += aa2[c2];
      aa2[c2] = 0;
    }
  }
}

// Explicit limited (TVD-type) correction of the upwind face value, phi_f = phi_U + psi(r)/2
// (phi_U - phi_UU), put into the sources of the two cells of each surface. Two surfaces of a
// cell both add to its source, so it runs serially.
template <class Field, class Source>
void limitedCorrections(const Field& phi, Source& source, int firstSurface, int lastSurface) {
  const int scheme = sou[Equation];
  for (int f = firstSurface; f <= lastSurface; ++f) {
    const int c1 = Fcell1[f], c2 = Fcell2[f];
    if (c1 <= 0 || c2 <= 0) continue;
    double F = Fflux[f];
    // The grains settle through the vertical surfaces besides the water flux.
    if (Equation == 7 && (Ftype1[f] == 6 || Ftype2[f] == 6))
      F -= 1000.0 * fallvelo[grainsize_number] * Faz[f];
    int U, UU, D;
    if (F > 0) {
      U = c1, UU = Fcell11[f], D = c2;
    } else if (F < 0) {
      U = c2, UU = Fcell22[f], D = c1;
    } else {
      continue;
    }
    if (UU <= 0) continue;
    const double r = (phi[D] - phi[U]) / (phi[U] - phi[UU] + 1e-30);
    const double Q = 0.5 * F * limiter(scheme, r) * (phi[U] - phi[UU]);
    source[c1] -= Q;
    source[c2] += Q;
  }
}

void coeff_make_source(int firstSurface, int lastSurface) {
  switch (Equation) {
    case 1: limitedCorrections(Cxvel, Csource, firstSurface, lastSurface); break;
    case 2: limitedCorrections(Cyvel, Csource, firstSurface, lastSurface); break;
    case 3: limitedCorrections(Czvel, Csource, firstSurface, lastSurface); break;
    case 5: limitedCorrections(Ckinen, Csource, firstSurface, lastSurface); break;
    case 6: limitedCorrections(Cepsilon, Csource, firstSurface, lastSurface); break;
    case 7:
      if (lnumber > 1) {
        auto source = Csourcem[grainsize_number];
        limitedCorrections(Cconc[grainsize_number], source, firstSurface, lastSurface);
      } else {
        limitedCorrections(Cconc[grainsize_number], Csource, firstSurface, lastSurface);
      }
      break;
    default: break;
  }
}

}  // namespace qorva
