// Resistance of the bed in the horizontal momentum equations: the form drag of dunes (F 498),
// the drag inside the roughness layer (F 189), and the normal stresses of F 324.
// Reads block 1, the column links, Ckdist, Cvol, Cxvel, Cyvel, Czvel, Cgamma, Cbed,
// Bedformheight, Croughness, Fax, Fay, Faz; writes Cap (drags) and Csource (normal stresses).
#include <algorithm>
#include <cmath>

#include "discretisation/discretisation.h"
#include "grid/columns.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

double horizontalSpeed(int c) { return std::hypot(Cxvel[c], Cyvel[c]); }

}  // namespace

// The dune drag of a column takes the speed of its top cell and the form roughness of dunes
// 7.3 h long; the constant is 9810/676.
void computeDragDune() {
  for (int c = block[1].cellstart; c <= block[1].cellend; ++c) {
    if (!isBottomCell(c)) continue;
    int n = 0, top = c;
    double half = 0;
    upColumn(c, [&](int m) {
      ++n;
      half += Ckdist[m];
      top = m;
    });
    const double h = 2 * half, L = 7.3 * h;
    const double H = Cbed[c] > 0 ? Bedformheight[Cbed[c]] : 0.0;
    if (!(H > 0) || !(L > 0)) continue;  // no dunes, no form drag
    const double k = std::pow(1.1 * H * (1 - std::exp(-25 * H / L)), 0.333);
    const double d = k * (horizontalSpeed(top) / n) * 14.511834319526628 / n;
    upColumn(c, [d](int m) { Cap[m] += d; });
  }
}

// Inside the roughness layer (centres below ks) the flow is retarded towards the linear profile
// (z / ks) U_ks. A chunk of a parallel region writes only its own cells; each column is read
// whole, so the result does not depend on where the chunks cut it.
void computeBrenix(int firstCell, int lastCell) {
  forEachColumnIn(firstCell, lastCell, [&](int c0) {
    if (cellAbove(c0) == 0) return;
    const double ks = Croughness[c0];
    if (Ckdist[c0] > ks) return;
    double Uks = 0, z = 0;
    int prev = 0;
    upColumnWhile(c0, [&](int m) {
      z = prev == 0 ? Ckdist[m] : z + Ckdist[prev] + Ckdist[m];
      prev = m;
      if (z > ks) {
        Uks = horizontalSpeed(m);
        return false;
      }
      return true;
    });
    prev = 0;
    upColumnWhile(c0, [&](int m) {
      z = prev == 0 ? Ckdist[m] : z + Ckdist[prev] + Ckdist[m];
      prev = m;
      if (z > ks || cellAbove(m) == 0) return false;
      if (m >= firstCell && m <= lastCell)
        Cap[m] += ParamBrenix * Cvol[m] * 1000.0 *
                  std::max(0.0, horizontalSpeed(m) - (z / ks) * Uks);
      return true;
    });
  });
}

void computeNormStress(int firstCell, int lastCell) {
  if (FlagNormStress != 1 && FlagNormStress != 2) return;
  for (int c = firstCell; c <= lastCell; ++c) {
    const double D1 = d_dx_orth_x(Cxvel, 1, c), D2 = d_dx_orth_x(Cyvel, 2, c),
                 D3 = d_dx_orth_x(Czvel, 3, c);
    // Form 1 takes the deviatoric part, form 2 the whole rate, with the opposite sign.
    const double M = FlagNormStress == 1 ? (D1 + D2 + D3) * 0.333333 : 0.0;
    const double sign = FlagNormStress == 1 ? -1.0 : 1.0;
    const int e = Cflatee[c], w = Cflatew[c], s = Cflates[c], n = Cflaten[c];
    switch (Equation) {
      case 1:
        Csource[c] += sign * (D1 - M) * 0.5 * Cgamma[c] * (Fax[e] + Fax[w] + Fax[s] + Fax[n]);
        break;
      case 2:
        Csource[c] += sign * (D2 - M) * 0.5 * Cgamma[c] * (Fay[e] + Fay[w] + Fay[s] + Fay[n]);
        break;
      case 3: Csource[c] += sign * (D3 - M) * Cgamma[c] * Faz[Cflatet[c]]; break;
      default: break;
    }
  }
}

}  // namespace qorva
