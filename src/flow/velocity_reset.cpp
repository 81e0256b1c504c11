// The velocity reset at the vertical profiles of P 17: every velocity goes to its previous time
// level and to rest, except in the bottom and top cells of the profile columns.
// Reads VProfiles, zval[i][j][0] (the bottom cell of a column); writes Cxvel..Czvel and their
// previous time levels.
#include "flow/flow.h"
#include "grid/columns.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"

namespace qorva {

void setVelocitiesZero() {
  if (!Cxvel_old || !Cyvel_old || !Czvel_old) return;
  for (int c = 1; c <= NoCells; ++c) {
    Cxvel_old[c] = Cxvel[c];
    Cyvel_old[c] = Cyvel[c];
    Czvel_old[c] = Czvel[c];
    Cxvel[c] = Cyvel[c] = Czvel[c] = 0.0;
  }
  for (int n = 1; n <= NoVProfiles; ++n) {
    const VerticalProfile& p = VProfiles[n];
    // A step of 0 or below would never reach the end of its range: such a record is passed by.
    if (p.istep <= 0 || p.jstep <= 0) continue;
    for (int i = p.i1; i <= p.i2; i += p.istep)
      for (int j = p.j1; j <= p.j2; j += p.jstep) {
        if (!onPlane(i, j)) continue;
        const int b = columnBottom(i, j), t = columnTop(i, j);
        if (b <= 0 || b >= t) continue;
        for (int c : {b, t}) {
          Cxvel[c] = Cxvel_old[c];
          Cyvel[c] = Cyvel_old[c];
          Czvel[c] = Czvel_old[c];
        }
      }
  }
}

}  // namespace qorva
