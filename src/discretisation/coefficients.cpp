// Convection-diffusion face coefficients of the transported variables: power law, or implicit
// second-order upwind when sou[Equation] is 1.
// Reads Fflux, Farea, Fdist1, Fdist2, Fcell1, Fcell2, Ftype1, Ftype2, Fqndum, Cgamma, CgammaV,
// Cidist, Cjdist, Ckdist and the neighbours; writes Cae..Cab and, second order, Caee..Cabb.
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

using faces::diffusionFactor;
using faces::faceGamma;
using faces::isVertical;
using faces::powerLawFactor;
using faces::sideCoefficient;
using faces::sideSecondCoefficient;

int scheme() { return Equation >= 0 && Equation < 50 ? sou[Equation] : 0; }

// Share of every face coefficient that stays implicit: with Crank-Nicolson (F 61) in a
// transient run the transient term puts the rest at the old time level.
double implicitShare() {
  return TimeStep > 1e-8 && CrankNicols > 1e-8 ? 1.0 - CrankNicols : 1.0;
}

// Power-law coefficients of the surfaces, each already multiplied by the implicit share.
void powerLawFaces(int first, int last, double s, double share) {
  for (int f = first; f <= last; ++f) {
    const int c1 = Fcell1[f], c2 = Fcell2[f];
    const double F = Fflux[f];
    double Dp = 0;
    if (c1 > 0 && c2 > 0) {
      const bool vertical = isVertical(f);
      const double gamma = faceGamma(f, c1, c2, vertical);
      const double D = s * Farea[f] * gamma / (Fdist1[f] + Fdist2[f] + 1e-20);
      if (vertical) {
        const double Pe = std::fabs(F) / (D + 1e-20);
        const double A = powerLawFactor(Pe);
        Dp = D * A * TDCvert;
        if (TurbDensFlag == 1) Dp *= coeff_turbdens(c1, c2);
      } else {
        // Lateral surfaces take the full conductance besides the upwind part.
        Dp = D * TDChoriz;
      }
      if (FlagRBedformsmooth > 0) Dp += coeff_bedform(f, c1, c2);
    }
    if (Table1<double>* p = sideCoefficient(Ftype1[f]))
      (*p)[c1] = (Dp + std::max(-F, 0.0)) * share;
    if (Table1<double>* p = sideCoefficient(Ftype2[f]))
      (*p)[c2] = (Dp + std::max(F, 0.0)) * share;
  }
}

// Diffusion part of the second-order scheme; the second-neighbour coefficients start at 0.
void secondOrderDiffusion(int first, int last, double s, double share) {
  for (int f = first; f <= last; ++f) {
    const int c1 = Fcell1[f], c2 = Fcell2[f];
    double a = 0;
    if (c1 > 0 && c2 > 0) {
      const bool vertical = isVertical(f);
      const double gamma = faceGamma(f, c1, c2, vertical);
      const double D = s * Farea[f] * gamma / (Fdist1[f] + Fdist2[f] + 1e-20);
      double T = vertical ? TDCvert : TDChoriz;
      if (vertical && TurbDensFlag == 1) T *= coeff_turbdens(c1, c2);
      // Keeps the effective diffusivity at or above MinGamma whatever the factor.
      a = D * (gamma > 0 ? std::max(T, MinGamma / gamma) : T);
      if (FlagRBedformsmooth > 0) a += coeff_bedform(f, c1, c2);
      a *= share;
    }
    if (Table1<double>* p = sideCoefficient(Ftype1[f])) {
      (*p)[c1] = a;
      (*sideSecondCoefficient(Ftype1[f]))[c1] = 0;
    }
    if (Table1<double>* p = sideCoefficient(Ftype2[f])) {
      (*p)[c2] = a;
      (*sideSecondCoefficient(Ftype2[f]))[c2] = 0;
    }
  }
}

// Convective part of the second-order scheme: the face value is extrapolated linearly from the
// upwind cell U and the cell UU behind it, giving the downwind cell D a first- and a
// second-neighbour coefficient and U a correction towards UU (its central coefficient then
// grows by the same amount when the drivers sum the neighbour coefficients). A surface is
// regular when U sees it on the side opposite to D's side, as inside an undistorted block;
// otherwise UU's half size is taken across.
void secondOrderConvection(int first, int last, double share) {
  for (int f = first; f <= last; ++f) {
    if (Fqndum[f] != 0) continue;
    const int c1 = Fcell1[f], c2 = Fcell2[f];
    if (c1 <= 0 && c2 <= 0) continue;
    const double F = Fflux[f], aF = std::fabs(F) * share;  // the implicit part of |F|
    const bool forward = F >= 0;
    const int U = forward ? c1 : c2, D = forward ? c2 : c1;
    // Positive flow enters Fcell2 through its west, south or bottom side, negative flow
    // Fcell1 through its east, north or top side; any other side adds no convective part.
    const int side = forward ? Ftype2[f] : Ftype1[f];
    if (forward ? side != 4 && side != 1 && side != 5 : side != 2 && side != 3 && side != 6)
      continue;
    int UU;
    bool regular;
    const Table1<double>*along, *across;  // half sizes of U and UU along the flow
    Table1<double>*first1, *second, *upwind;
    switch (side) {
      case 4:  // flow enters D from the west
        if (Ccellw[D] == 0) continue;
        UU = Ccellw[U];
        regular = Ftype1[f] == 2;
        along = &Cidist, across = &Cjdist;
        first1 = &Caw, second = &Caww, upwind = regular ? &Caw : &Cas;
        break;
      case 1:  // from the south
        if (Ccells[D] == 0) continue;
        UU = Ccells[U];
        regular = Ftype1[f] == 3;
        along = &Cjdist, across = &Cidist;
        first1 = &Cas, second = &Cass, upwind = regular ? &Cas : &Caw;
        break;
      case 5:  // from below
        if (Ccellb[D] == 0) continue;
        UU = Ccellb[U];
        regular = true;
        along = across = &Ckdist;
        first1 = &Cab, second = &Cabb, upwind = &Cab;
        break;
      case 2:  // from the east
        if (Ccelle[D] == 0) continue;
        UU = Ccelle[U];
        regular = Ftype2[f] == 4;
        along = &Cidist, across = &Cjdist;
        first1 = &Cae, second = &Caee, upwind = &Cae;
        break;
      case 3:  // from the north
        if (Ccelln[D] == 0) continue;
        UU = Ccelln[U];
        regular = Ftype2[f] == 1;
        along = &Cjdist, across = &Cidist;
        first1 = &Can, second = &Cann, upwind = &Can;
        break;
      case 6:  // from above
        if (Ccellt[D] == 0) continue;
        UU = Ccellt[U];
        regular = true;
        along = across = &Ckdist;
        first1 = &Cat, second = &Catt, upwind = &Cat;
        break;
      default: continue;
    }
    if (UU == 0) {
      // No second upwind cell: first-order upwind for this surface.
      (*first1)[D] += aF;
      (*second)[D] = 0;
      continue;
    }
    const double dU = (*along)[U], dUU = regular ? (*along)[UU] : (*across)[UU];
    const double w = (2 * dU + dUU) / (dU + dUU);
    (*first1)[D] += w * aF;
    (*second)[D] = (1 - w) * aF;
    (*upwind)[U] += (w - 1) * aF;
  }
}

void secondOrderArraysPresent() {
  if (Caee && Caww && Cann && Cass && Catt && Cabb) return;
  failf(1,
        "Error, second-order upwind (K 6) for equation %d needs the second-neighbour "
        "coefficients, which only the scheme for equation 1, 3 or 8 or F 63 1 provides\n",
        Equation);
}

}  // namespace

void coeff_make(int firstSurface, int lastSurface, Share range) {
  const bool chunk = range == Share::Chunk;
  if (chunk) {
    // Element 0 is the slot of the missing cell: it must read 0 in every chunk.
#pragma omp atomic write
    Cidist[0] = 0.0;
#pragma omp atomic write
    Cjdist[0] = 0.0;
#pragma omp atomic write
    Cxvel[0] = 0.0;
#pragma omp atomic write
    Cyvel[0] = 0.0;
  } else {
    Cidist[0] = Cjdist[0] = Cxvel[0] = Cyvel[0] = 0;
  }
  // On grids of the sequenced solution (F 152) a generator of their own would write these
  // same coefficients first, and the face loop below overwrites every one of them; it is
  // therefore not run.
  const double s = diffusionFactor();
  // The Crank-Nicolson share is applied as each coefficient is set, so every coefficient is
  // scaled exactly once however the surface range is split; the explicit share enters
  // through the transient term. The second-order coefficients take it as well: the transient
  // term puts the rest of every neighbour coefficient at the old level, and unscaled ones
  // would count the convection and diffusion more than once.
  const double share = implicitShare();
  if (scheme() == 1) {
    secondOrderArraysPresent();
    secondOrderDiffusion(firstSurface, lastSurface, s, share);
    if (chunk) return;
    secondOrderConvection(firstSurface, lastSurface, share);
  } else {
    powerLawFaces(firstSurface, lastSurface, s, share);
    if (chunk) return;
  }
  if (QNFlag > 0) QNGridCoeff();
}

// Power-law coefficients with the boundary surfaces closed: the threaded k step of the main
// driver builds its face coefficients here. Every coefficient is written by the one surface on
// that side of its cell, so the routine is safe to run per chunk.
void coeff_make_pow(int firstSurface, int lastSurface) {
  Cidist[0] = Cjdist[0] = Cxvel[0] = Cyvel[0] = 0;
  const double s = diffusionFactor();
  for (int f = firstSurface; f <= lastSurface; ++f) {
    const int c1 = Fcell1[f], c2 = Fcell2[f];
    const int t1 = Ftype1[f], t2 = Ftype2[f];
    if (c1 <= 0 || c2 <= 0) {
      if (c1 > 0)
        if (Table1<double>* p = sideCoefficient(t1)) (*p)[c1] = 0;
      if (c2 > 0)
        if (Table1<double>* p = sideCoefficient(t2)) (*p)[c2] = 0;
      continue;
    }
    const double F = Fflux[f];
    const bool vertical = isVertical(f);
    const double gamma = faceGamma(f, c1, c2, vertical);
    const double D = s * Farea[f] * gamma / (Fdist1[f] + Fdist2[f] + 1e-20);
    double T = TDChoriz;
    if (vertical) {
      const double Pe = std::fabs(F) / (D + 1e-20);
      const double A = powerLawFactor(Pe);
      T = TDCvert * A;
      if (TurbDensFlag == 1) T *= coeff_turbdens(c1, c2);
    }
    // T enters twice: inside the floor of the diffusivity and as a factor of its own.
    double Dp = D * T * std::max(T, MinGamma / gamma);
    if (FlagRBedformsmooth > 0) Dp += coeff_bedform(f, c1, c2);
    if (t1 == 2 || t1 == 3 || t1 == 6)
      (*sideCoefficient(t1))[c1] = Dp + std::max(-F, 0.0);
    else
      logf("Error in coefficient1 computation, surface %d, cells %d %d, type %d, area %lf\n", f, c1,
           c2, t1, Farea[f]);
    if (t2 == 1 || t2 == 4 || t2 == 5)
      (*sideCoefficient(t2))[c2] = Dp + std::max(F, 0.0);
    else
      logf("Error in coefficient2 computation, surface %d, cells %d %d, type %d, area %lf\n", f, c1,
           c2, t2, Farea[f]);
  }
}

void coeff_makeAfterChunks(int firstSurface, int lastSurface) {
  if (scheme() == 1) secondOrderConvection(firstSurface, lastSurface, implicitShare());
  if (QNFlag > 0) QNGridCoeff();
}

}  // namespace qorva
