// Pressure-correction coefficients: for every surface, the mass flux (kg/s) that a unit
// difference of the pressure correction drives through it, from 1/Ap interpolated to the
// surface times 1000 A^2. Reads WFStart..WFEnd, WCStart..WCEnd, the surface geometry, CinvAp,
// the column links and the multi-neighbour lists; writes Cae, Caw, Can, Cas, Cat, Cab and Cqnae,
// Cqnaw, Cqnan, Cqnas. Cap is left to the flow drivers.
#include <algorithm>
#include <cmath>

#include "pressure/pressure.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// 1/Ap of the two cells interpolated to the surface: each cell weighted by the distance of
// the other cell's centre. A surface without distances takes the plain mean.
double interpolatedInvAp(int f, int c1, int c2) {
  const double sum = Fdist1[f] + Fdist2[f];
  if (!(sum > 0)) return 0.5 * (CinvAp[c1] + CinvAp[c2]);
  return (Fdist1[f] * CinvAp[c2] + Fdist2[f] * CinvAp[c1]) / sum;
}

bool loneCell(int c) { return Ccellb[c] == 0 && Ccellt[c] == 0; }

// F 184 1: the area floor, a fifth of the mean area of the east and north surfaces between two
// cells. A range without such surfaces has no mean and gets no floor.
double areaFloor(int first, int last) {
  double sum = 0;
  long long n = 0;
  for (int f = first; f <= last; ++f) {
    if (Fcell1[f] < 1 || Fcell2[f] < 1 || (Ftype1[f] != 2 && Ftype1[f] != 3)) continue;
    sum += Farea[f];
    ++n;
  }
  return n > 0 ? 0.2 * sum / static_cast<double>(n) : 0.0;
}

double standardCoefficient(int f, int c1, int c2, double floorArea) {
  const double A = Farea[f];
  const double d = interpolatedInvAp(f, c1, c2);
  switch (FlagPCalg) {
    case 1: {
      const double a = std::max(A, floorArea);
      return d * a * 1000 * a;
    }
    case 3: return std::max(CinvAp[c2], CinvAp[c1]) * A * 1000 * A;
    case 5: {
      const int top = Cflatet[c2];
      const double a = std::max(A, 0.3 * (top > 0 ? Farea[top] : 0.0));
      return d * a * 1000 * a;
    }
    default: break;
  }
  double a = d * A * 1000 * A;
  // F 184 2: a lone cell of a shallow column couples at least like a shallow-water wave
  // across the surface.
  if (FlagPCalg == 2 && Ftype1[f] >= 1 && Ftype1[f] <= 4 && Fdz[f] > 0 &&
      (loneCell(c2) || loneCell(c1)))
    a = std::max(a, A / std::sqrt(9810 * Fdz[f]));
  return a;
}

double topArea(int c) { return Cflatet[c] > 0 ? Farea[Cflatet[c]] : 0.0; }

// F 271 1: a side surface also carries the storage of the moving water surface of its two
// columns, shared among the cells of the column of c1. Only the surface between a cell and
// the one above it is left out: two one-cell columns numbered one after the other are side
// neighbours although c2 = c1 + 1. A steady run (no time step) stores nothing, as it has no
// time term elsewhere; dividing by its zero step would swamp the coefficient.
double transientCoefficient(int f, int c1, int c2) {
  const double A = Farea[f];
  double a = interpolatedInvAp(f, c1, c2) * A * 1000 * A;
  if (Ccellt[c1] != c2 && TimeStep > 1e-8) {
    const int b = Cbed[c1];
    const int cells = b > 0 && b < static_cast<int>(Bnocells.size()) ? Bnocells[b] : 1;
    a += (topArea(c2) + topArea(c1)) * 0.125 / (9.81 * TimeStep) / std::max(cells, 1);
  }
  return a;
}

double* slot(int c, int side) {
  switch (side) {
    case 1: return &Cas[c];
    case 2: return &Cae[c];
    case 3: return &Can[c];
    case 4: return &Caw[c];
    case 5: return &Cab[c];
    case 6: return &Cat[c];
    default: return nullptr;
  }
}

// Several surfaces of a multi-neighbour side write the same slot of the larger cell from
// different threads; the multi-neighbour step sets that slot afterwards.
void store(int c, int side, double a) {
  double* p = slot(c, side);
  if (p == nullptr) return;
#pragma omp atomic write
  *p = a;
}

void surfaceLoop(int first, int last) {
  const bool transient = FlagTFS2 == 1;
  const double floorArea = !transient && FlagPCalg == 1 ? areaFloor(first, last) : 0.0;
#pragma omp parallel for schedule(static)
  for (int f = first; f <= last; ++f) {
    const int c1 = Fcell1[f], c2 = Fcell2[f];
    double a = 0;
    if (c1 >= 1 && c2 >= 1)
      a = transient ? transientCoefficient(f, c1, c2) : standardCoefficient(f, c1, c2, floorArea);
    if (c1 >= 0) store(c1, Ftype1[f], a);
    if (c2 >= 0) store(c2, Ftype2[f], a);
  }
}

// One multi-neighbour side of cell c: n neighbours from first, each across its own surface
// (ownSide of the neighbour). `cellIsFirst` when c is Fcell1 of those surfaces (its east or
// north side), so that the value of the cell on whose east or north side the surface lies is
// weighted by Fdist2. The neighbour's facing slot and the list entry get the coefficient, c's
// own slot of that side 0.
void multiSide(int c, const Table1<int>& count, const Table2<int>& list,
               const Table1<int>& ownSide, Table1<double>& neighbourSlot, Table2<double>& row,
               Table1<double>& cellSlot, bool cellIsFirst) {
  const int n = count[c];
  if (n <= 0) return;
  const int first = list[c][0];
  const int entries = std::min(n, static_cast<int>(row.dim(1)));
  for (int m = 0; m < entries; ++m) {
    const int k = first + m;
    if (k < 1 || k > NoCells) break;
    const int s = ownSide[k];
    if (s < 1 || s > NoSurfaces) continue;
    const double sum = Fdist1[s] + Fdist2[s];
    const double here = cellIsFirst ? Fdist2[s] : Fdist1[s];
    const double there = cellIsFirst ? Fdist1[s] : Fdist2[s];
    const double d = sum > 0 ? (CinvAp[k] * there + CinvAp[c] * here) / sum
                             : 0.5 * (CinvAp[k] + CinvAp[c]);
    const double A = Farea[s];
    const double a = d * A * 1000 * A;
    neighbourSlot[k] = a;
    row[c][m] = a;
  }
  cellSlot[c] = 0;
}

void multiNeighbourStep() {
  if (!Cncelle || !Cqncelle || !Cqnae) return;
  const int last = std::min(WCEnd, NoCells);
  for (int c = std::max(WCStart, 1); c <= last; ++c) {
    multiSide(c, Cncelle, Cqncelle, Cflatew, Caw, Cqnae, Cae, true);
    multiSide(c, Cncellw, Cqncellw, Cflatee, Cae, Cqnaw, Caw, false);
    multiSide(c, Cncelln, Cqncelln, Cflates, Cas, Cqnan, Can, true);
    multiSide(c, Cncells, Cqncells, Cflaten, Can, Cqnas, Cas, false);
  }
}

}  // namespace

void pressure_coeff() {
  const int first = std::max(WFStart, 1), last = std::min(WFEnd, NoSurfaces);
  if (first <= last) surfaceLoop(first, last);
  if (QNFlag > 0) multiNeighbourStep();
}

}  // namespace qorva
