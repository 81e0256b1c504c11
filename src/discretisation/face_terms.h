// The pieces every face-coefficient generator of this folder shares: the coefficient array of a
// side code, the diffusion factor of the turbulence model, the face diffusivity and the
// power-law factor. Private to discretisation/.
#pragma once

#include <algorithm>

#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva::faces {

// The coefficient of a cell on side code 1 south .. 6 top; nullptr for 0 or any other code.
inline Table1<double>* sideCoefficient(int side) {
  switch (side) {
    case 1: return &Cas;
    case 2: return &Cae;
    case 3: return &Can;
    case 4: return &Caw;
    case 5: return &Cab;
    case 6: return &Cat;
    default: return nullptr;
  }
}
inline Table1<double>* sideSecondCoefficient(int side) {
  switch (side) {
    case 1: return &Cass;
    case 2: return &Caee;
    case 3: return &Cann;
    case 4: return &Caww;
    case 5: return &Cabb;
    case 6: return &Catt;
    default: return nullptr;
  }
}

// Scale of the turbulent diffusivity per equation: some models use a different Prandtl-Schmidt
// number for k, epsilon and the components than for momentum.
inline double diffusionFactor() {
  switch (TurbulenceModel) {
    case 15:
    case 16: return Equation > 3 ? 0.5 : 1.0;
    case 1: return Equation > 3 ? 1.3900472616068946 : 1.0;
    case 14: return Equation == 5 ? 1.5 : 1.0;
    default: return 1.0;
  }
}

inline bool isVertical(int f) { return Ftype1[f] == 5 || Ftype2[f] == 5; }

// Power-law factor max(0, (1 - 0.1 Pe)^5) of the diffusion at Peclet number Pe: 0 from Pe 10
// on. Multiplied out, since it is taken for every vertical surface of every equation.
inline double powerLawFactor(double Pe) {
  const double x = 1.0 - 0.1 * Pe;
  if (!(x > 0)) return 0.0;
  const double x2 = x * x;
  return x2 * x2 * x;
}

// Face diffusivity (kg/(m s)) of a surface between two cells, floored at MinGamma; with F 71 3
// the vertical surfaces carry no turbulent mixing at all.
inline double faceGamma(int f, int c1, int c2, bool vertical) {
  if (vertical && TurbDensFlag == 3) return MinGamma;
  double g;
  if (TurbulenceModel == 6) {
    g = vertical ? TCvert : TChoriz;
  } else {
    const Table1<double>& G = vertical ? CgammaV : Cgamma;
    g = (Fdist1[f] * G[c2] + Fdist2[f] * G[c1]) / (Fdist1[f] + Fdist2[f] + 1e-20);
  }
  return std::max(g, MinGamma);
}

// Diffusion conductance (kg/s) of a surface between two cells with face diffusivity gamma.
inline double conductance(int f, double s, double gamma) {
  return s * Farea[f] * gamma / (Fdist1[f] + Fdist2[f] + 1e-20);
}

}  // namespace qorva::faces
