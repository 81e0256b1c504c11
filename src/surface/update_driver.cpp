// The free-surface update driver: column state and reference levels first, the trace, the
// backwater scaling, then the algorithm of F 323 and F 36, and the common tail that rebuilds
// the grid. Reads the options of the update and the reference state; writes mc_program,
// otime[72], scaleBackwater, scaleBackwater2, medianPressure1, medianPressure2, SurfVolDefect,
// GlobZRef2 (through the steps it calls) and the neighbour entries 0 of the cell tables.
#include <omp.h>

#include <algorithm>
#include <cmath>

#include "files/files.h"
#include "grid/grid.h"
#include "pressure/pressure.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "surface/surface.h"
#include "surface/trace.h"
#include "surface/update.h"
#include "surface/worked_blocks.h"

namespace qorva {

namespace {

// A pause of F 156 waits for somebody to release it, which never happens in a batch run: the
// pause is dropped with a note and the update goes on.
void pausePoint(int point) {
  if (PauseFlag != point) return;
  logf("Pause point %d (F 156) is not available in a batch run; the free-surface update goes "
       "on\n",
       point);
  PauseFlag = 0;
}

// An absent neighbour (cell 0) adds nothing to a sum and has no links.
void clearAbsentEntries() {
  Ccells[0] = Ccellw[0] = Ccelln[0] = Ccelle[0] = 0;
  Cpres[0] = 0;
  Fflux[0] = 0;
  if (Bpresavg) Bpresavg[0] = 0;
}

void columnFroude() {
  for (int b = 1; b <= NoBlocks; ++b)
    if (block[b].skip == 0) computeBFroude(block[b].bcellstart, block[b].bcellend);
}

void columnState() {
  // Methods 10 and 11 of the grid-split prevention read the columns' depths and Froude
  // numbers, so these are made from the present flow before it rather than after.
  const bool splitFroude = FlagNoGridSplit == 10 || FlagNoGridSplit == 11;
  if (splitFroude) columnFroude();
  if (FlagNoGridSplit > 0) NoGridSplit();
  clearAbsentEntries();
  GlobZRef2 = 0;
  if (FlagGlobFlux > 0) SurfVolDefect = computeVolRes();
  if (FlagNestTop == 4) scalePressureNested();
  const bool froude = levelEquationWithFroude() ||
                      ((FlagNonHydrostaticSurf == 6 || FlagNonHydrostaticSurf == 7) && Bpresavg);
  if (froude && !splitFroude) columnFroude();
  if (FlagPresMPIboundary == 8) limitPressureMPI();
}

// Head difference (m) between the median top pressures of discharge groups 1 and 2.
double medianHeadDrop() {
  medianPressure1 = findMedianPressure(1);
  medianPressure2 = findMedianPressure(2);
  return (medianPressure1 - medianPressure2) / 9810;
}

// A ratio clamped to 0..1; one that is not a number does not scale.
double unitRatio(double s) { return std::isnan(s) ? 1.0 : std::clamp(s, 0.0, 1.0); }

// The scale factors of the one-dimensional backwater curve (F 343 30 with F 36 4, F 477).
// False when F 477 1 finds the pressure field too far from the curve to move the surface.
bool backwaterScaling() {
  if (FlagTFS == 4 && BlockCasulli == 30) {
    if (maxBackwater < 0 || FlagScaleFreeSource > 0) backwater();
    medianPressure1 = findMedianPressure(1);
    medianPressure2 = findMedianPressure(2);
    scaleBackwater = maxBackwater / (std::max(std::fabs(medianPressure1 - medianPressure2) / 9810,
                                              maxBackwater) +
                                     1e-7);
  } else {
    if (FlagScaleFreeSource > 0) backwater();
    scaleBackwater = 1.0;
  }
  switch (FlagScaleFreeSource) {
    case 1: {
      const double s = maxBackwater / (medianHeadDrop() + 1e-7);
      if (s < updateRatioCriteria) return false;
      scaleBackwater2 = std::min(s, 1.0);
      break;
    }
    case 2: {
      const double D = medianHeadDrop();
      const GridBlock& k = block[1];
      const int jm = k.j2 / 2 + 1;
      const double dz = zval[k.i1 - 1][jm][znumber] - zval[k.i2][jm][znumber];
      scaleBackwater2 = unitRatio((maxBackwater - dz) / (D - dz + 1e-30));
      break;
    }
    case 3:
      scaleBackwater2 = unitRatio(maxBackwater / (medianHeadDrop() + 1e-30));
      break;
    default:
      scaleBackwater2 = 1.0;
      break;
  }
  return true;
}

void algorithm(const SurfaceReference& ref) {
  switch (FlagTFS) {
    case 3: surfaceShift(); break;
    case 4:
    case 21: surfaceFivePoint(ref.cR); break;
    case 5:
    case 6: surface_continuity(); break;
    case 7:
    case 8: surfaceNinePoint(ref.cR); break;
    case 10:
      GlobZRef -= 0.000101937 * Cpres[ref.cR];
      surfaceAlgo10(ref.cR, GlobZRef);
      break;
    case 30: backwater(); break;
    default: pressureNodeUpdate(ref); break;
  }
}

}  // namespace

int referenceBottomCell(int r) {
  int cR = columnBottom(iPres, jPres);
  if (cR == 0) cR = bottomOf(r);
  // Without a reference cell every pin would act on the dummy row 0 and the levels would be
  // tied to nothing: the update cannot go on.
  if (cR == 0)
    failf(-1, "Error 9 in surface computation, reference cell is zero. iPres=%d, jPres=%d, "
              "i=%d\n\n\n",
          iPres, jPres, r);
  return cR;
}

void surface() {
  mc_program = " Surface ";
  if (FlagExtraDebug == 1) logf("Start surface\n");
  if (debugging == 'P') otime[72] = omp_get_wtime();

  columnState();

  const int r = computeSurfaceReferences();
  SurfaceReference ref;
  ref.cR = referenceBottomCell(r);
  ref.cR2 = jSurf != 0 ? columnBottom(iPres2, jPres2) : 0;

  traceUpdate(ref.cR);
  if (std::isnan(GlobPresRef)) {
    logf("Stopped after %lf seconds due to NAN value for pressure reference\n\n", stimet);
    WriteAllData();
    endRun(-1);
  }
  pausePoint(311);

  if (!backwaterScaling()) return;
  if (FlagSurface2 == 1) {
    surface2();
    return;
  }
  if (FlagSurface2 == 2) {
    surface3();
    return;
  }
  algorithm(ref);

  pausePoint(303);
  computeTailSurf();
  if (FlagExtraDebug == 1) logf("End surface\n");
  pausePoint(304);
}

}  // namespace qorva
