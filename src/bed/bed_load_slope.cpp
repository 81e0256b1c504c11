// Bed-load slope terms of the layered bed (F 37 3, F 78): sediment near a steep bed moves down
// the slope, added to the concentration equations of the sizes before they are solved. 2..4:
// an implicit outflow of the bottom cell shared by its one or two lowest side neighbours;
// 21..29: source handed from a steep edge cell to its lowest neighbour; 31..39: central
// coefficient handed over likewise. Columns of block 1. Reads the cells, corner levels and
// Cconc_old; writes Capm and Csourcem.
#include <algorithm>
#include <cmath>

#include "bed/bed.h"
#include "bed/bed_grid.h"
#include "grid/columns.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_snihl.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

constexpr double kShieldsFloor = 0.02;

// The factor g of the slope term for size l in cell c, by the last digit of F 78: 2 the
// square root of the Shields parameter, not below that of 0.02; 3 sqrt(0.4 theta + 0.06);
// otherwise the plain square root. A cell without turbulent energy has no Shields parameter:
// it counts at the floor of 0.02, so the term stays finite.
double slopeFactor(int c, int l) {
  const double theta = 300.0 * std::max(Ckinen[c], 0.0) / ((density - 1.0) * gsize[l] * 9810.0);
  const int digit = BedLoadVectorFlag % 10;
  if (digit == 3) return std::sqrt(0.4 * std::max(theta, 0.0) + 0.06);
  if (digit == 2 || !(theta > 0)) return theta > kShieldsFloor ? std::sqrt(theta) : std::sqrt(kShieldsFloor);
  return std::sqrt(theta);
}

double speed(int c) { return std::hypot(Cxvel[c], Cyvel[c]); }

// How far the bottom of c lies above the top of its side neighbour x.
double drop(int c, int x) { return (Czcenter[c] - Ckdist[c]) - (Czcenter[x] + Ckdist[x]); }

struct Lowest {
  int n1 = 0, n2 = 0;
  double d1 = 0, d2 = 0;
};

// The side neighbour with the largest drop (above 0), then the one with the largest drop
// between 0 and that; west, east, south, north, a later one winning only when strictly larger.
Lowest lowestNeighbours(int c) {
  const int sides[4] = {Ccellw[c], Ccelle[c], Ccells[c], Ccelln[c]};
  Lowest w;
  for (int x : sides)
    if (x > 0 && drop(c, x) > w.d1) {
      w.n1 = x;
      w.d1 = drop(c, x);
    }
  for (int x : sides) {
    if (x <= 0 || x == w.n1) continue;
    const double d = drop(c, x);
    if (d > 0 && d < w.d1 && d > w.d2) {
      w.n2 = x;
      w.d2 = d;
    }
  }
  return w;
}

// Tangent of the slope of the bottom surface of c.
double bedSlope(int c) { return std::tan(std::acos(std::clamp(Fvz[Cflateb[c]], -1.0, 1.0))); }

bool edgeCell(int c) { return Ccellw[c] <= 0 || Ccelle[c] <= 0 || Ccells[c] <= 0 || Ccelln[c] <= 0; }

// visit(c, b, i, j) for every column of block 1 with a bottom cell.
template <class Visit>
void eachColumnOfBlock1(Visit visit) {
  if (NoBlocks < 1) return;
  forEachColumnOf(1, [&](int i, int j) {
    if (const int c = columnBottom(i, j); c != 0) visit(c, pointbed[i][j], i, j);
  });
}

// The steep edge cells of 21..39 with their lowest neighbour and the factor common to the
// sizes, 2 Ckdist |u| dt sqrt(area) 1000 P t (without 1 / g).
template <class Term>
void steepEdges(Term term) {
  eachColumnOfBlock1([&](int c, int b, int, int) {
    const double t = bedSlope(c);
    if (!(t > 0.1) || !edgeCell(c)) return;
    const Lowest w = lowestNeighbours(c);
    if (!(w.d1 > 1e-6)) return;
    const double common = 2.0 * Ckdist[c] * speed(c) * TimeStep * std::sqrt(std::max(Barea[b], 0.0)) *
                          1000.0 * BedLoadVectorParam * t;
    for (int l = 1; l <= lnumber; ++l) term(c, w.n1, l, common / slopeFactor(c, l));
  });
}

}  // namespace

void computeBedLoadVector() {
  eachColumnOfBlock1([](int c, int b, int i, int j) {
    const double z[4] = {zval[i][j][1], zval[i - 1][j][1], zval[i][j - 1][1], zval[i - 1][j - 1][1]};
    const double R = *std::max_element(z, z + 4) - *std::min_element(z, z + 4);
    if (!(Barea[b] > 0)) return;
    const double S = R / std::sqrt(Barea[b]);
    if (!(S > 0.02)) return;
    const Lowest w = lowestNeighbours(c);
    if (!(w.d1 > 1e-6)) return;
    const double share1 = w.d1 / (w.d1 + w.d2), share2 = w.d2 / (w.d1 + w.d2);
    for (int l = 1; l <= lnumber; ++l) {
      const double a = BedLoadVectorParam / slopeFactor(c, l) * S * 2.0 * Ckdist[c] * speed(c) * 1000.0;
      Capm[l][c] += a;
      Csourcem[l][w.n1] += a * Cconc_old[l][c] * share1;
      if (w.n2 > 0) Csourcem[l][w.n2] += a * Cconc_old[l][c] * share2;
    }
  });
}

void computeBedLoadVector3() {
  steepEdges([](int c, int n, int l, double a) {
    // Never more source than the cell has.
    const double m = std::min(a * Cconc_old[l][c], std::max(Csourcem[l][c], 0.0));
    Csourcem[l][c] -= m;
    Csourcem[l][n] += m;
  });
}

void computeBedLoadVector4() {
  steepEdges([](int c, int n, int l, double a) {
    const double m = std::min(a * 1000.0, 0.2 * Capm[l][n]);
    Capm[l][c] += m;
    Capm[l][n] -= m;
  });
}

}  // namespace qorva
