// Down-slope transfer of the near-bed sediment between neighbouring bottom cells (F 78 5 to 9):
// across every horizontal face of the lowest cell layer whose bed-level difference exceeds a
// slope of 0.01, an upwind transfer from the higher to the lower cell is added to the per-size
// equations, on top of the per-size face coefficients. Reads Fcell1, Fcell2, Ftype1, Ftype2,
// Fdist1, Fdist2, Farea, Czcenter, Ckdist, Cxvel, Cyvel, Ckinen, Ccellb, gsize and F 11, F 78;
// adds to Caem, Cawm, Canm, Casm, Capm.
#include <algorithm>
#include <cmath>

#include "sediment/sediment_loop.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// The per-size row of side code t (1 south, 2 east, 3 north, 4 west); none for other codes.
Row1<double> sideRow(int t, int l) {
  switch (t) {
    case 1: return Casm[l];
    case 2: return Caem[l];
    case 3: return Canm[l];
    case 4: return Cawm[l];
    default: return {};
  }
}

}  // namespace

double slopeTransfer(int f, int l) {
  const int c1 = Fcell1[f], c2 = Fcell2[f];
  if (c1 <= 0 || c2 <= 0 || Ccellb[c1] != 0 || Ccellb[c2] != 0) return 0.0;
  const double s = ((Czcenter[c2] - Ckdist[c2]) - (Czcenter[c1] - Ckdist[c1])) /
                   (Fdist1[f] + Fdist2[f]);
  if (!(std::fabs(s) > 0.01)) return 0.0;
  const double u = 0.5 * (Cxvel[c1] + Cxvel[c2]), v = 0.5 * (Cyvel[c1] + Cyvel[c2]);
  const double U = std::sqrt(u * u + v * v);
  const double k = 0.5 * (Ckinen[c1] + Ckinen[c2]);
  const double tau = k > 0 ? 300 * k : 0.0;
  double theta = tau / ((density - 1) * gsize[l] * 9810);
  if (BedLoadVectorFlag > 6) theta = 0.4 * theta + 0.06;
  // Without shear the grains lie still: no transfer (the factor would divide by zero).
  if (!(theta > 0)) return 0.0;
  double a = BedLoadVectorParam / std::sqrt(theta) * s;
  if (BedLoadVectorFlag <= 8) a = std::min(a, 1.0);
  return -Farea[f] * 1000 * U * a;
}

void coeff_make_bedvector(int first, int last) {
  for (int l = 1; l <= lnumber; ++l)
    for (int f = first; f <= last; ++f) {
      const double G = slopeTransfer(f, l);
      if (G == 0) continue;
      const int c1 = Fcell1[f], c2 = Fcell2[f];
      const Row1<double> r1 = sideRow(Ftype1[f], l), r2 = sideRow(Ftype2[f], l);
      if (r1.p) {
        r1[c1] += std::max(-G, 0.0);
        Capm[l][c2] += std::max(-G, 0.0);
      }
      if (r2.p) {
        r2[c2] += std::max(G, 0.0);
        Capm[l][c1] += std::max(G, 0.0);
      }
    }
}

}  // namespace qorva
