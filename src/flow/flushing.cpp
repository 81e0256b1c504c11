// Flushing of a flow computation whose residual explodes (F 219): the fields of the working
// range restart from the previous time level, clamped, or in a steady run from the fields the
// computation started from; then the remedy of the k-th flushing of the driver call: halved
// relaxation, a grid rebuilt with another stability option, another Rhie-Chow form, or a
// single multigrid level.
// Reads the _old fields, relax factors, F 113, F 159, F 168; writes the flow fields of the
// working range (and their _old level), relaxPressure, relaxVelocity, invRelaxVelocity, relaxK,
// relaxEpsilon, FlagGridStab2, FlagGridStab5, FlagRhieChow, Flag2DAccSolver, FlagGridChange.
#include <algorithm>

#include "discretisation/discretisation.h"
#include "flow/flow.h"
#include "flow/water_solve.h"
#include "grid/grid.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"

namespace qorva {

namespace {

bool haveOldLevel() {
  return Cxvel_old && Cyvel_old && Czvel_old && Ckinen_old && Cepsilon_old;
}

// Velocities of at most 1 m/s horizontally and 0.1 m/s vertically.
double clampHorizontal(double v) { return v <= -1 ? -1.0 : std::min(v, 1.0); }
double clampVertical(double v) { return v <= -0.1 ? -0.1 : std::min(v, 0.1); }

// The whole working range at rest with k = epsilon = 1e-4, the previous time level too.
void restartAtRest() {
  const bool old = haveOldLevel();
  for (int c = WCStart; c <= WCEnd; ++c) {
    Cpres[c] = Cxvel[c] = Cyvel[c] = Czvel[c] = 0;
    Ckinen[c] = Cepsilon[c] = 1e-4;
    if (!old) continue;
    Cxvel_old[c] = Cyvel_old[c] = Czvel_old[c] = 0;
    Ckinen_old[c] = Cepsilon_old[c] = 1e-4;
  }
}

// The previous time level, or in a steady run (which keeps none) the start values, with the
// velocities clamped and the pressure at 0.
void restartFromLevel() {
  if (haveOldLevel()) {
    for (int c = WCStart; c <= WCEnd; ++c) {
      Cxvel[c] = clampHorizontal(Cxvel_old[c]);
      Cyvel[c] = clampHorizontal(Cyvel_old[c]);
      Czvel[c] = clampVertical(Czvel_old[c]);
      Ckinen[c] = Ckinen_old[c];
      Cepsilon[c] = Cepsilon_old[c];
      Cpres[c] = 0;
    }
    return;
  }
  const FlowStart s = flowStartValues();
  for (int c = WCStart; c <= WCEnd; ++c) {
    Cxvel[c] = clampHorizontal(s.u);
    Cyvel[c] = clampHorizontal(s.v);
    Czvel[c] = clampVertical(s.w);
    Ckinen[c] = s.k;
    Cepsilon[c] = s.epsilon;
    Cpres[c] = 0;
  }
}

void resetFields() {
  if (Flag2DAccSolver >= 2)
    restartAtRest();
  else
    restartFromLevel();
}

// The grid made again with the present options. The bed-cell index carries the fields over to
// the new grid when a previous time level exists; a steady run has none, and its fields, just
// restarted from uniform start values, take those values on the new grid, with the discharge
// groups placed on it anew. The next inner iteration recomputes metrics and fluxes.
void rebuildGrid() {
  const bool carried = haveOldLevel();
  // A generator that fails (its arrays too small) has logged why; the metric must not run on
  // the half-built grid.
  if (const int built = Unstructure(); built < 0)
    failf(1, "Error: the grid could not be generated again after the divergence (result %d)\n",
          built);
  metric();
  BedMake();
  if (!carried) {
    resetFields();
    if (FlagGenerateUpFlux > 0 || FlagGenerateDownFlux > 0)
      setFluxes();
    else
      InterpolateBoundary();
    FlagNeedsToBeInterpolated = 0;
  }
  FlagGridChange = 1;
}

void halveRelaxation() {
  relaxPressure *= 0.5;
  relaxVelocity *= 0.5;
  relaxK *= 0.5;
  relaxEpsilon *= 0.5;
  invRelaxVelocity *= 2;
}

void remedy(int k) {
  switch (k) {
    case 2:
      if (FlagGridStab5 != 2)
        FlagGridStab5 = 2;
      else if (FlagGridStab2 != 9)
        FlagGridStab2 = 9;
      rebuildGrid();
      break;
    case 3:
      if (FlagGridStab2 == 0) FlagGridStab2 = 9;
      rebuildGrid();
      break;
    case 4: FlagRhieChow = FlagRhieChow == 0 ? 7 : 0; break;
    case 5:
      if (Flag2DAccSolver > 1)
        Flag2DAccSolver = 1;
      else
        halveRelaxation();
      break;
    default: halveRelaxation(); break;
  }
}

}  // namespace

void flushFunction(int k) {
  resetFields();
  remedy(k);
  // A 9 of F 159's second option acts on the rebuild of its own flushing only.
  if (FlagGridStab2 != FlagGridStab2ori) {
    FlagGridStab2 = FlagGridStab2ori;
    FlagGridStab5 = FlagGridStab5ori;
  }
}

}  // namespace qorva
