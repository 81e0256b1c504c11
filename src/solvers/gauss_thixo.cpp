// Forward Gauss-Seidel sweeps restricted to the flowing cells of the mud layer. Reads Cap,
// Cae..Cab, Caee..Cabb, Csource, the cell links, Cthixolev, Cthixorat, sou; writes the cells
// first..last of the array that Cf designates.
#include "solvers/solvers.h"
#include "solvers/sweep_kernels.h"
#include "state/options_kw.h"

namespace qorva {

void GaussThixo(int first, int last, int sweeps) {
  using namespace kernel;
  if (!Cthixolev || !Cthixorat) return;
  const System s = systemArrays();
  double* f = Cf.data();
  // The scheme of the equation picks the rule; the second neighbours count only where their
  // arrays exist (else they are zero, the seven-point sum).
  const bool scheme13 = sou[Equation] == 1;
  const bool thirteen = thirteenPointForm();
  for (int n = 0; n < sweeps; ++n)
    for (int c = first; c <= last; ++c) {
      if (scheme13) {
        if (Cthixolev[c] <= 1) continue;
        f[c] = (thirteen ? neighbourSum<Plain, true>(s, c, f, f, f)
                         : neighbourSum<Plain, false>(s, c, f, f, f)) /
               s.ap[c];
      } else {
        // Resting mud has no velocity.
        f[c] = Cthixorat[c] > 1.0 ? neighbourSum<Plain, false>(s, c, f, f, f) / s.ap[c] : 0.0;
      }
    }
}

}  // namespace qorva
