// The Crank-Nicolson weight of the concentration equations (F 61): the face links carry the new
// half (1 - w), the old half adds w times the old operator, so a state in balance with its
// sources stays as it is, and the old half is that of the links before scaling.
#include <gtest/gtest.h>

#include "sediment/sediment_loop.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/status.h"
#include "support/box_grid.h"
#include "support/scratch.h"

namespace qorva::test {
namespace {

class CrankNicolson : public Scratch {};

// Three cells in a row with diffusion links a = 10 kg/s and a source S in the middle cell:
// the steady middle value satisfies a (c1 + c3 - 2 c2) + S = 0. One time step with the weight
// w, the middle cell's equation (2 a' + ap0) c2 = a' (c1 + c3) + ap0 c2_old + S + old half, with
// a' = (1 - w) a, keeps c2 for every w (1e-12); without the old half it would move.
TEST_F(CrankNicolson, SteadyStateIsKept) {
  TimeStep = 100.0;
  makeBox({1.0, 1.0, 1.0}, {1.0}, {1.0});
  if (!Cconc_old) Cconc_old.allocate(2, NoCells + 1);
  const double a = 10.0, S = 40.0;
  const double c1 = 1.0, c3 = 3.0, c2 = (a * (c1 + c3) + S) / (2 * a);
  Cconc_old[1][1] = c1;
  Cconc_old[1][2] = c2;
  Cconc_old[1][3] = c3;
  for (double w : {0.25, 0.5, 0.9}) {
    SCOPED_TRACE(w);
    CrankNicols = w;
    for (int c = 1; c <= NoCells; ++c) Cae[c] = Caw[c] = Can[c] = Cas[c] = Cat[c] = Cab[c] = 0;
    Cae[2] = Caw[2] = (1 - w) * a;
    const double ap0 = 1000.0 * Cvol[2] / TimeStep;
    Csource[2] = ap0 * c2 + S;
    crankNicolsonSediment(true);
    // The old half: w a (c1 + c3 - 2 c2) = -w S.
    EXPECT_NEAR(Csource[2], ap0 * c2 + S - w * S, 1e-9);
    const double next = (Cae[2] * c3 + Caw[2] * c1 + Csource[2]) / (Cae[2] + Caw[2] + ap0);
    EXPECT_NEAR(next, c2, 1e-12);
  }
}

}  // namespace
}  // namespace qorva::test
