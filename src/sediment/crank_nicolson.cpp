// The old half of the Crank-Nicolson time term of the concentration equations (F 61): the face
// coefficients carry the new half (1 - CrankNicols), this adds the old operator with the weight
// CrankNicols, so that a steady concentration field stays steady. Reads the links of every size,
// Cconc_old; adds to Csource (one size) or Csourcem.
#include "sediment/sediment_loop.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/status.h"

namespace qorva {

namespace {

// Sum of a_nb (old_nb - old_P) over the six sides of cell c, with the vertical links given.
template <class Top, class Bottom>
double oldOperator(Row1<double> old, const Top& top, const Bottom& bottom, int c) {
  const double p = old[c];
  return Cae[c] * (old[Ccelle[c]] - p) + Caw[c] * (old[Ccellw[c]] - p) +
         Can[c] * (old[Ccelln[c]] - p) + Cas[c] * (old[Ccells[c]] - p) +
         top[c] * (old[Ccellt[c]] - p) + bottom[c] * (old[Ccellb[c]] - p);
}

}  // namespace

void crankNicolsonSediment(bool single) {
  // The links hold the new half, so the old one is CrankNicols / (1 - CrankNicols) of them.
  const double share = CrankNicols / (1.0 - CrankNicols);
  if (single) {
    for (int c = WCStart; c <= WCEnd; ++c)
      Csource[c] += share * oldOperator(Cconc_old[1], Cat, Cab, c);
    return;
  }
  for (int l = 1; l <= lnumber; ++l) {
    const Row1<double> source = Csourcem[l];
    for (int c = WCStart; c <= WCEnd; ++c)
      source[c] += share * oldOperator(Cconc_old[l], Catm[l], Cabm[l], c);
  }
}

}  // namespace qorva
