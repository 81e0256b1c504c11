// Values of a cell field at the level of another cell, and the derivatives of a cell field that
// the normal stresses and the soil stresses take.
// Reads Czcenter, Ckdist, Cvol, the neighbours and cell surfaces, Fax, Fay; writes nothing.
#include <algorithm>

#include "discretisation/discretisation.h"
#include "grid/columns.h"
#include "grid/grid.h"
#include "state/cells.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// A lateral neighbour of c, or, where c has none on that side, the neighbour of its column's
// bottom cell on the same side.
int lateral(const Table1<int>& side, int c) {
  if (side[c] > 0) return side[c];
  const int b = bottomOf(c);
  return b > 0 ? side[b] : 0;
}

// Centred difference across c from the values of its two neighbours at c's level, one-sided
// where one is missing.
double across(const Table1<double>& f, int c, int plus, int minus) {
  if (plus > 0 && minus > 0)
    return 0.5 * (interpolatevalue(f, c, plus) - interpolatevalue(f, c, minus));
  if (plus > 0) return interpolatevalue(f, c, plus) - f[c];
  if (minus > 0) return f[c] - interpolatevalue(f, c, minus);
  return 0.0;
}

}  // namespace

double d_dx_orth_x(const Table1<double>& f, int direction, int c) {
  if (direction == 3) {
    const int t = cellAbove(c), b = cellBelow(c);
    if (t > 0 && b > 0) return (f[t] - f[b]) / (Ckdist[t] + Ckdist[b] + 2 * Ckdist[c]);
    if (t > 0) return (f[t] - f[c]) / (Ckdist[t] + Ckdist[c]);
    if (b > 0) return (f[c] - f[b]) / (Ckdist[b] + Ckdist[c]);
    return 0.0;
  }
  if (direction != 1 && direction != 2) return 0.0;
  const Table1<double>& a = direction == 1 ? Fax : Fay;
  const double dEW = across(f, c, lateral(Ccelle, c), lateral(Ccellw, c));
  const double dNS = across(f, c, lateral(Ccelln, c), lateral(Ccells, c));
  return 0.5 * ((a[Cflatee[c]] + a[Cflatew[c]]) * dEW + (a[Cflaten[c]] + a[Cflates[c]]) * dNS) /
         Cvol[c];
}

}  // namespace qorva
