// The change of one column of the transient free surface spread over its four corner nodes:
// equal shares, or shares that follow the flow (the upstream end of each diagonal in
// subcritical flow, the downstream end in supercritical flow), more weight at walls, and each
// share capped by the depth at its node. Reads the cell fields, links and corners, Px, Py,
// zval and the options of F 179, F 469, F 472, F 403, F 236, F 347, F 262, F 333; writes
// zval[..][znumber] of the corners, BFroude, Surfaces plane 6 and Bgroundwater.
#include <algorithm>
#include <cmath>

#include "bed/bed_modes.h"
#include "grid/columns.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/structured.h"
#include "surface/transient.h"

namespace qorva::surf {

namespace {

// Corner nodes in the order of the bottom corners 1..4 of a cell: SW, SE, NE, NW.
struct Corners {
  int i[4], j[4];
  double w[4];
};

// Raw flow-directed weights; sets BFroude of the column and may raise dh to keep the depth
// the velocity needs.
void flowWeights(int c0, double& dh, Corners& k) {
  double K = 0, su = 0, sv = 0;
  upColumn(c0, [&](int c) {
    K += Ckdist[c];
    su += Cxvel[c] * Ckdist[c];
    sv += Cyvel[c] * Ckdist[c];
  });
  const double um = su / K, vm = sv / K, U2 = um * um + vm * vm;
  const double Fr = std::sqrt(U2 / (19.62 * K + 1e-20));
  if (const int b = Cbed[c0]; b > 0 && b <= bedCellLimit()) BFroude[b] = Fr;
  double d = 0;
  switch (FlagSurfDiffusive) {
    case 1: d = 1 / (Fr + 0.0001); break;
    case 2: d = 1; break;
    case 3: d = 1 / ((Fr + 0.0001) * (Fr + 0.0001)); break;
    case 4: d = 1 / std::sqrt(Fr + 0.0001); break;
    default: break;
  }
  dh = std::max(dh, U2 / 981 - 2 * K);
  double du = um, dv = vm;
  if (FlagSurfUpwind == 2) {
    du = dv = 0;
    for (int c : {c0, Ccells[c0], Ccelln[c0], Ccellw[c0], Ccelle[c0]}) {
      if (!isGridCell(c)) continue;
      du += Cxvel[c];
      dv += Cyvel[c];
    }
  }
  const int p[4] = {Cpoint1[c0], Cpoint2[c0], Cpoint3[c0], Cpoint4[c0]};
  double toward[4];
  for (int n = 0; n < 4; ++n) {
    const int m = (n + 2) % 4;  // the other end of the diagonal
    toward[n] = std::max(0.0, du * (Px[p[n]] - Px[p[m]]) + dv * (Py[p[n]] - Py[p[m]]));
  }
  double sum = 0;
  for (int n = 0; n < 4; ++n) {
    k.w[n] = (Fr >= 1 ? toward[n] : toward[(n + 2) % 4]) + d;
    sum += k.w[n];
  }
  for (double& w : k.w) w /= sum + 1e-30;
}

void wallFactors(int c0, Corners& k) {
  const bool south = Ccells[c0] == 0, north = Ccelln[c0] == 0;
  if (FlagSideSurfDamp > 0 && (south || north))
    for (double& w : k.w) w = 0.25;
  const double f = TFSdampwall;
  if (south) k.w[0] *= f, k.w[1] *= f;
  if (north) k.w[2] *= f, k.w[3] *= f;
  if (Ccellw[c0] == 0) k.w[3] *= f, k.w[0] *= f;
  if (Ccelle[c0] == 0) k.w[2] *= f, k.w[1] *= f;
}

// The groundwater of a mud layer's column follows the shares (F 262, F 333).
void mudGroundwater(int i, int j, int bp, const double (&share)[4]) {
  if (!(FlagGroundwater > 0 && mudFlow() && FlagGT > 0) || bp == 0 || !Bgroundwater ||
      !Bthixolev || !(Bthixolev[bp] < Bgroundwater[bp]))
    return;
  const double zm = 0.25 * (zval[i][j][znumber] + zval[i - 1][j][znumber] +
                            zval[i][j - 1][znumber] + zval[i - 1][j - 1][znumber]);
  const double r = std::clamp(
      (Bgroundwater[bp] - Bthixolev[bp]) / (zm - Bthixolev[bp] + 1e-20), 0.0, 1.0);
  const double S = share[0] + share[1] + share[2] + share[3];
  if (FlagGT == 3) {
    Bgroundwater[bp] += 0.7 * 0.25 * S;
    return;
  }
  Bgroundwater[bp] += r * 0.25 * S;
  // The next bed cell exists only below the last one.
  if (FlagGT == 2 && bp + 1 <= bedCellLimit())
    Bgroundwater[bp] = std::max(Bgroundwater[bp], Bgroundwater[bp + 1]);
}

}  // namespace

void spreadToCorners(int b, int i, int j, int c0, int bp, double dh) {
  Corners k{{i - 1, i, i, i - 1}, {j - 1, j - 1, j, j}, {0.25, 0.25, 0.25, 0.25}};
  if (FlagSurfUpwind == 1 || FlagSurfUpwind == 2) flowWeights(c0, dh, k);
  wallFactors(c0, k);
  double share[4];
  for (int n = 0; n < 4; ++n) {
    share[n] = k.w[n] * dh;
    if (TFSminFlag == 1) {
      const double D = std::max(lineDepth(k.i[n], k.j[n]), 0.0);  // a dry node takes none
      share[n] = std::clamp(share[n], -0.1 * D, 0.1 * D);
    }
  }
  for (int n = 0; n < 4; ++n) zval[k.i[n]][k.j[n]][znumber] += share[n];

  // A slide or mud block b repeats its shares at the matching nodes of the water block b - 1.
  const int dJ = b >= 2 ? block[b].j2 - block[b - 1].j2 : 0;
  for (int n = 0; n < 4; ++n) {
    const int ii = k.i[n], jj = k.j[n];
    if (mudFlow() && Surfaces && Surfaces.dim(0) > 6) {
      Surfaces[6][ii][jj] += share[n];
      if (b >= 2 && onPlane(ii, jj - dJ)) Surfaces[6][ii][jj - dJ] += share[n];
    }
    if (FlagFixSurfSlide == 1 && b >= 2 && onPlane(ii, jj - dJ))
      zval[ii][jj - dJ][znumber] += share[n];
  }
  mudGroundwater(i, j, bp, share);
}

}  // namespace qorva::surf
