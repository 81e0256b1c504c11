// The last stage of a free-surface update: the corrections every algorithm shares act on the
// new levels, the fields are kept as previous values, the grid is rebuilt on the levels and
// the state tied to the old grid is reset. The order is fixed: the rebuild carries the
// variables over from the previous-value arrays (in a steady run from the fields grid/ keeps),
// so they are filled first. Reads the levels and options; writes zval[..][..][znumber]
// (corrections), the previous-value arrays, the grid (through grid/), Fflux, Bdeltah,
// SurfVolDefect, FlagGridChange, the regression sums.
#include <algorithm>

#include "grid/grid.h"
#include "pressure/pressure.h"
#include "solvers/solvers.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "surface/surface.h"
#include "surface/trace.h"
#include "surface/update.h"
#include "surface/worked_blocks.h"

namespace qorva {

namespace {

// F 381: the levels of block 1 held inside the flushing band (the copy of the last update at
// znumber + 1 keeps the unclamped level).
void flushClamp() {
  if (NoBlocks < 1) return;
  const GridBlock& k = block[1];
  for (int i = k.i1 - 1; i <= k.i2; ++i)
    for (int j = k.j1 - 1; j <= k.j2; ++j) {
      double& z = zval[i][j][znumber];
      z = std::max(FlushWaterLevelMin, std::min(FlushWaterLevelMax, z));
    }
}

// The fields of the moment of the update become the previous values over the working range,
// the older ones moving back one level first under second-order time stepping; 1/Ap goes with
// them, so that the rebuilt grid's fluxes keep their pressure term. A steady run has no
// previous values: grid/ keeps the fields for the transfer instead.
void keepPreviousValues() {
  if (!Cxvel_old) {
    keepFieldsForTransfer();
    return;
  }
  if (Cxvel_old2)
    for (int c = WCStart; c <= WCEnd; ++c) {
      Cxvel_old2[c] = Cxvel_old[c];
      Cyvel_old2[c] = Cyvel_old[c];
      Czvel_old2[c] = Czvel_old[c];
    }
  copyFlowToOld(WCStart, WCEnd, AlsoOld::PressureAndInvAp);
}

// The grid on the new levels with its geometry, bed cells and the variables carried over;
// fluxes from the carried velocities and pressures with the carried 1/Ap. Dropping the
// pressure term of the fluxes (1/Ap zero) would change the fluxes of a converged flow even when
// the levels have not moved, and the flow would have to settle again after every update: a
// settled surface would then never let the residuals fall below the convergence limit.
// A generator that fails (its arrays too small) has logged why; the flow must not go on on a
// broken grid.
void rebuildGrid() {
  const int built = Unstructure();
  if (built < 1)
    failf(1,
          "Error: the grid could not be generated on the new water levels (result %d); the "
          "free-surface update stops the run\n",
          built);
  metric();
  BedMake();
  waterflow(WFStart, WFEnd);
  if (Flag2DAccSolver > 0 && NoBlocks >= 1 && block[NoBlocks].flag2D == 0) AlgMGMake();
}

}  // namespace

void rebuildOnNewLevels() {
  keepPreviousValues();
  rebuildGrid();
}

namespace {

void restartRegression() {
  RegIter = 0;
  if (!PresRegresN) return;
  surf::forEachWorkedColumn([](int i, int j) {
    PresRegresSumX[i][j] = PresRegresSumXX[i][j] = PresRegresN[i][j] = 0;
    PresRegresSumPres[i][j] = PresRegresSumXPres[i][j] = 0.0;
  });
}

}  // namespace

void computeTailSurf() {
  if (FlagDSO1 > 0 && Bkooi) computeSurfDownstream();
  if (FlagSurfEdge != 0) surfaceEdge(GlobZRef);
  if (FlagNestTop == 3 || FlagNestTop == 5) interpolateSurfaceNested();
  if (FlagFlushWaterLevel == 1) flushClamp();
  if (FlagSmoothNewCorners > 0) smoothNewCorners();
  if (SurfSmoothFlag > 0) surface_smoother();
  if (FlagNoGridSplit > 0 && solverFroude != 2) NoGridSplitRise();
  if (FlagReducePonds == 1) reducePonds();

  // A sediment run moves the grid with the bed unless F 166 (or block division) asks here.
  const bool rebuild = !(FlagTSC != 0 && FlagSurfRegen != 1 && FlagMPI <= 0);
  if (rebuild) rebuildOnNewLevels();

  if (FlagTFS2 > 0 && Bdeltah)
    for (int b = 1; b <= NoBCells; ++b) Bdeltah[b] = 0;
  if (FlagGlobFlux > 0) SurfVolDefect -= computeVolRes();
  FlagGridChange = 1;
  if (FlagPresSetZero != 0) computeSetPresZero();
  if (PresRegres > 0) restartRegression();
  traceEnd();
}

}  // namespace qorva
