// Pressure terms of the momentum equations from the pressures of the neighbouring columns
// interpolated to the level of a cell's centre (F 114 6, 9 and 10): on a grid that follows a
// sloping bed the neighbours do not lie at the cell's height, and a plain difference between
// them mixes the vertical pressure gradient into the horizontal one.
// Reads Cpres, Czcenter, Cidist, Ckdist, the neighbours and cell surfaces, Fax, Fay, Faz, Fvx,
// F 355; writes nothing.
#include <algorithm>
#include <cmath>

#include "discretisation/discretisation.h"
#include "grid/columns.h"
#include "grid/grid.h"
#include "pressure/pressure.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// The pressure of n's column at the level of c. Above the centre of the column's top cell it
// falls linearly to 0 at that cell's top face, the water surface, and is 0 above it.
double I(int c, int n) {
  const double z = Czcenter[c], zn = Czcenter[n];
  if (zn < z && cellAbove(n) == 0)
    return Ckdist[n] > 0 ? Cpres[n] * std::max(0.0, Ckdist[n] - (z - zn)) / Ckdist[n] : 0.0;
  return interpolatevalue(Cpres, c, n);
}

// How a missing lateral neighbour is replaced by the neighbour of the column's bottom cell:
// the cell above it (form 6, the level of the cell above the bed), or that neighbour itself.
enum class Replace { Above, Same };

// The lateral neighbours of c after replacement: east and west only in a cell with a cell
// below, north and south in every cell. A replacement of 0 leaves the side missing.
struct Sides {
  int e, w, n, s;
};
Sides sides(int c, Replace how) {
  const int b0 = bottomOf(c);
  auto beside = [&](const Table1<int>& side, bool replace) {
    if (side[c] > 0 || !replace || b0 == 0) return side[c];
    const int n = side[b0];
    if (how == Replace::Same || n <= 0) return n;
    return cellAbove(n);
  };
  const bool below = cellBelow(c) != 0;
  return {beside(Ccelle, below), beside(Ccellw, below), beside(Ccelln, true),
          beside(Ccells, true)};
}

// Centred difference of the interpolated pressures, one-sided where a side is missing.
double interpolated(int c, int plus, int minus) {
  if (plus > 0 && minus > 0) return 0.5 * (I(c, plus) - I(c, minus));
  if (plus > 0) return I(c, plus) - Cpres[c];
  if (minus > 0) return Cpres[c] - I(c, minus);
  return 0.0;
}

// First-order vertical difference of the pressure.
double vertical(int c) {
  const int t = cellAbove(c), b = cellBelow(c);
  if (t > 0 && b > 0) return 0.5 * (Cpres[t] - Cpres[b]);
  if (t > 0) return Cpres[t] - Cpres[c];
  if (b > 0) return Cpres[c] - Cpres[b];
  return 0.0;
}

const Table1<double>& areas(int eq) { return eq == 1 ? Fax : Fay; }

double sumI(int eq, int c) { return areas(eq)[Cflatee[c]] + areas(eq)[Cflatew[c]]; }
double sumJ(int eq, int c) { return areas(eq)[Cflaten[c]] + areas(eq)[Cflates[c]]; }
double sumK(int eq, int c) { return areas(eq)[Cflatet[c]] + areas(eq)[Cflateb[c]]; }

// The i difference of forms 9 and 10: plain with one neighbour, a blend of the level difference
// L and the grid difference G with both, `blend(L, G)`.
template <class Blend>
double alongI(int c, const Sides& n, Blend blend) {
  if (n.e > 0 && n.w > 0) return blend(I(c, n.e) - I(c, n.w), Cpres[n.e] - Cpres[n.w]);
  if (n.e > 0) return Cpres[n.e] - Cpres[c];
  if (n.w > 0) return Cpres[c] - Cpres[n.w];
  return 0.0;
}

// The derivative of forms 9 and 10: `blend(L, G, dK)` gives the i difference of two neighbours
// and may change the vertical difference dK.
template <class Blend>
double antiForm(int eq, int c, Blend blend) {
  double dK = vertical(c);
  if (eq == 3) return dK * Faz[Cflatet[c]];
  if (eq != 1 && eq != 2) return 0.0;
  const Sides n = sides(c, Replace::Same);
  const double dI = alongI(c, n, [&](double L, double G) { return blend(L, G, dK); });
  const double dJ = interpolated(c, n.n, n.s);
  return 0.5 * (dI * sumI(eq, c) + dJ * sumJ(eq, c) + dK * sumK(eq, c));
}

}  // namespace

double d_di_orth_Pres(int eq, int c) {
  if (eq == 3) return vertical(c) * Faz[Cflatet[c]];
  if (eq != 1 && eq != 2) return 0.0;
  const Sides n = sides(c, Replace::Above);
  return 0.5 * (interpolated(c, n.e, n.w) * sumI(eq, c) + interpolated(c, n.n, n.s) * sumJ(eq, c));
}

// The blend weight W comes from the bed slope across the cell: 1 on a flat bed, 0 once the beds
// of the two neighbouring columns differ by 4 C times the half width of the bottom cell.
double d_di_anti_Pres(int eq, int c) {
  const double C = CoeffPresSource;
  return antiForm(eq, c, [&](double L, double G, double& dK) {
    const Sides n = sides(c, Replace::Same);
    const int b0 = bottomOf(c);
    const double slope =
        std::fabs(Czcenter[bottomOf(n.e)] - Czcenter[bottomOf(n.w)]) / (4 * Cidist[b0]);
    // A coefficient of 0 or less leaves the grid difference alone, where the weight would
    // divide by it.
    const double W = C > 0 ? std::max(0.0, (C - slope) / C) : 0.0;
    if (FlagPresSource == 10) return ((L / 2 + G / 2) * W + G * (1 - W)) / 2;
    if (FlagPresSource == 11) {
      dK *= 1 - W;
    } else if (FlagPresSource == 12) {
      const double d = 2 * (-0.7 - Fvx[Cflatet[c]]);
      if (d < 0) dK = 0;
      else if (d <= 1) dK *= d;
    } else {
      dK = 0;
    }
    return (L * W + G * (1 - W)) / 2;
  });
}

// The blend weight t comes from the slope of the top surface, the x component f of its unit
// normal.
double d_di_anti_Pres2(int eq, int c) {
  const double C = CoeffPresSource;
  return antiForm(eq, c, [&](double L, double G, double& dK) {
    const double f = Fvx[Cflatet[c]];
    double t;
    switch (FlagPresSource) {
      case 20:
        t = 2 * (-f - C);
        if (t < 0) {
          dK = 0;
          t = 0;
        } else if (t <= 1) {
          dK *= std::fabs(t);
        } else {
          t = 1;
        }
        break;
      case 21:
        if (f < 0) {
          dK *= std::fabs(f);
          t = -f;
        } else {
          dK = 0;
          t = 0;
        }
        break;
      case 22:
        dK *= std::fabs(f);
        t = -f;
        break;
      default:
        t = std::fabs(f);
        dK *= t;
        break;
    }
    return (L * (1 - t) + G * t) / 2;
  });
}

}  // namespace qorva
