// Surface condition of the pressure-correction equation, and the filters and limits of the
// corrected pressure. Reads Ccellt, Ccellb, Ckdist, Cbed, Bcellt, Cxvel, Cyvel, zval, block 1,
// jPresUp; writes Cap, Cab, Csource (Equation 4) and Cpres.
#include <omp.h>

#include <algorithm>
#include <cmath>

#include "grid/columns.h"
#include "pressure/pressure.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"

namespace qorva {

namespace {

constexpr double kRhoG = 9810.0;

inline bool has(int n) { return n >= 1; }

// Position of cell c below its column's top (1 for the top cell) and the cell count of the
// column, following the links so that a chunk needs nothing from its neighbours.
void placeInColumn(int c, int& fromTop, int& cells) {
  fromTop = cellsUpFrom(c);
  cells = fromTop + levelOfCell(c) - 1;
}

// Springs below the surface: the k-th cell from the top of a column of at least three cells,
// for k up to FlagPresSurf and above the two lowest cells.
void springs(int firstCell, int lastCell) {
  for (int c = firstCell; c <= lastCell; ++c) {
    int k = 0, n = 0;
    placeInColumn(c, k, n);
    if (n < 3 || k > FlagPresSurf || k > n - 2) continue;
    Cap[c] += CoeffPresSurf;
    Cab[c] += CoeffPresSurf * (2.0 * k - 1) / (2.0 * k + 1);
  }
}


// Pulls the pressures of a slow column down toward the hydrostatic value (never up).
void froudeScaling(int bottom) {
  double H = 0, U = 0;
  int n = 0;
  upColumn(bottom, [&](int c) {
    H += Ckdist[c];
    U += std::sqrt(Cxvel[c] * Cxvel[c] + Cyvel[c] * Cyvel[c]);
    ++n;
  });
  const double D = 2 * H, Pb = Cpres[bottom];
  // A column without depth has no hydrostatic value; a bottom pressure of zero or below lies
  // at or under it already, and a ratio to it would flip or blow up the column.
  if (n == 0 || !(D > 0) || !(Pb > 0)) return;
  U /= n;
  const double x = 3 * U / std::sqrt(9.81 * D);
  const double Ph = kRhoG * D;
  double ratio = 1;
  if (x >= 1)
    ratio = 1;
  else if (x > 0)
    ratio = (x * Pb + (1 - x) * Ph) / Pb;
  else
    ratio = Ph / Pb;
  const double factor = std::min(1.0, ratio);
  upColumn(bottom, [factor](int c) { Cpres[c] *= factor; });
}

// At most twice the hydrostatic pressure at the depth of each cell centre.
void hydrostaticCap(int bottom) {
  double above = 0;  // thickness of the cells above
  // From the top cell down to `bottom`, the bottom cell of the column.
  downColumn(topOf(bottom), [&above](int c) {
    const double d = above + Ckdist[c];
    Cpres[c] = std::min(Cpres[c], 2 * kRhoG * d);
    above += 2 * Ckdist[c];
  });
}

// At most 39240 Pa per metre (four times rho g) of increase downward from the cell above.
void increaseCap(int bottom) {
  int upper = topOf(bottom);
  downColumn(cellBelow(upper), [&upper](int lower) {
    Cpres[lower] = std::min(Cpres[lower], Cpres[upper] + 39240 * Ckdist[lower]);
    upper = lower;
  });
}

}  // namespace

void presSurfFunction(int firstCell, int lastCell) {
  const int form = FlagPresSurf;
  if (form >= 3) {
    springs(firstCell, lastCell);
    return;
  }
  if (form == -2) {
    for (int c = firstCell; c <= lastCell; ++c) {
      if (has(Ccellt[c]) || !has(Ccellb[c]) || !(Ckdist[c] > 0)) continue;
      const double f = std::pow(Cpres[c] / (kRhoG * Ckdist[c]), 4);
      Cap[c] = Cap[c] * (1 + CoeffPresSurf * f);
      Cab[c] += f * CoeffPresSurf * Cap[c] * 0.3333333333;
    }
    return;
  }
  if (form != 0 && form != 1 && form != 2 && form != -3) return;

  for (int c = firstCell; c <= lastCell; ++c) {
    const bool top = !has(Ccellt[c]);
    const int b = Ccellb[c];
    if (top && has(b)) {
      // The correction of c is that of b scaled by the ratio of their centre depths, so that
      // it falls linearly to zero at the water surface.
      Cap[c] = 1e20;
      Cab[c] = Ckdist[c] * 1e20 / (2 * Ckdist[c] + Ckdist[b]);
      if (form == -3) {
        // b may belong to the neighbouring chunk.
        const double s = Csource[c];
#pragma omp atomic
        Csource[b] += s;
      }
    }
    if (form == 1 && top) Csource[c] = 0;
    if (form == 2) {
      const int bed = Cbed[c];
      if (bed >= 1 && Bcellt[bed] == c) Csource[c] = 0;
    }
  }
}

void pressureFilter() {
  const int form = FlagPresFilter;
  if (form < 1 || form > 3 || NoBlocks < 1) return;
  const long long beds = static_cast<long long>(Bcellt.size());
  const int first = std::max(block[1].bcellstart, 1);
  const int last = static_cast<int>(std::min<long long>(block[1].bcellend, beds - 1));
  for (int bed = first; bed <= last; ++bed) {
    const int bottom = Bcellt[bed];
    if (!has(bottom)) continue;  // a dry column
    if (form == 1) froudeScaling(bottom);
    else if (form == 2) hydrostaticCap(bottom);
    else increaseCap(bottom);
  }
}

void limitPressureMPI() {
  const int j = jPresUp[1];
  if (j == 0) return;
  if (NoBlocks < 1 || !zval) return;
  const int i = block[1].i1;
  const long long iMax = static_cast<long long>(zval.dim(0)) - 1;
  const long long jMax = static_cast<long long>(zval.dim(1)) - 1;
  if (j < 1 || j > jMax)
    failf(1, "Error for F 317 in control: grid index j %d lies outside the grid (1..%lld)\n", j,
          jMax);
  if (i < 0 || i > iMax) return;
  // A dry reference column gives no bed pressure to compare with.
  const int ref = columnBottom(i, j);
  if (ref == 0) return;
  const double pref = Cpres[ref];
  for (int c = WCStart; c <= WCEnd; ++c)
    if (Cpres[c] > pref + kRhoG) Cpres[c] = pref;
}

// Block-division exchanges of the pressure sources; an undivided run has nothing to exchange.
void pressure_sourceMPI() {}
void pressure_sourceMPI2() {}
void pressure_transferMPI() {}

}  // namespace qorva
