// The common frame of the bed-change options: smoothing (F 144), bank failure (F 266), the
// copy of the nested bed to the coarse grid, the edge caps (F 222), the sand slide, and every
// F 99 steps the grid regenerated on the new bed, with the suspended sediment the new cells
// gained or lost booked in SuspVolChangeDef. Reads and writes zval[..][..][1], Surfaces plane 1
// and, through the grid services, the whole unstructured grid.
#include "bed/bed_frame.h"

#include <omp.h>

#include <algorithm>
#include <cmath>

#include "bed/bed.h"
#include "flow/flow_modes.h"
#include "grid/grid.h"
#include "pressure/pressure.h"
#include "solvers/solvers.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_f100_149.h"
#include "state/options_f150_199.h"
#include "state/options_f200_249.h"
#include "state/options_f250_299.h"
#include "state/options_f350_399.h"
#include "state/options_f400_449.h"
#include "state/options_f450_499.h"
#include "state/options_f500_534.h"
#include "state/options_g.h"
#include "state/options_kw.h"
#include "state/sediment_run.h"
#include "state/status.h"
#include "state/structured.h"
#include "surface/surface.h"

namespace qorva::bedframe {

namespace {

// F 144 values smoothed after the corner moves; option 3 takes only 1 and 3.
bool smoothsAfter(Option option) {
  const int f = FlagBedSmooth;
  if (option == Option::Points) return f == 1 || f == 3;
  return f == 1 || f == 3 || f == 6 || f > 8;
}

// Option 0 copies through the nested grid points of the coarse blocks.
void copyByPointnest() {
  if (!pointnest || NoNestflater < 2) return;
  for (int bl = NoBlocks; bl >= 1; --bl) {
    const GridBlock& k = block[bl];
    if (k.nestlevel > 1) continue;
    for (int i = k.i1 - 1; i <= k.i2; ++i)
      for (int j = k.j1 - 1; j <= k.j2; ++j) {
        const int p = pointnest[i][j][0], q = pointnest[i][j][1];
        if (p <= 0) continue;
        zval[i][j][1] = zval[p][q][1];
        Surfaces[1][i][j] = Surfaces[1][p][q];
      }
  }
}

// The other options copy through the coarse bed cell of every nested bed cell.
void copyByBnestcoarse(bool countPlane1) {
  if (!Bnestcoarse || NoNestflater < 2) return;
  for (int b = 1; b <= NoBCells; ++b) {
    const int c = Bnestcoarse[b];
    if (c <= 0) continue;
    const int i = Bkooi[c], j = Bkooj[c], p = Bkooi[b], q = Bkooj[b];
    zval[i][j][1] = zval[p][q][1];
    if (countPlane1) Surfaces[1][i][j] = Surfaces[1][p][q];
  }
}

// Volume of suspended sediment in the cells of the work range (m3 of grains).
double suspendedVolume() {
  double s = 0;
  for (int l = 1; l <= lnumber; ++l)
    for (int c = WCStart; c <= WCEnd; ++c) s += Cvol[c] * Cconc[l][c];
  return s;
}

// F 432 1: the free surface follows before the grid does, at its own intervals and when the
// flow has converged well enough.
void surfaceFirst() {
  if (FlagCallSurface != 1) return;
  if (!surfaceBetweenOuterIterationsBut21() || FlagRoof != 1 || Iter == 0 ||
      FlagThixoIsComputing != 0 ||
      !(std::fabs(std::fmod(static_cast<double>(Iter), IterWaterUpdate)) < 0.001))
    return;
  double rmax = 0;
  for (int e = 1; e <= 6; ++e) rmax = std::max(rmax, MaxResidual[e]);
  if (SurfResCrit > rmax || (SurfResCrit < 0 && MaxResidual[4] < 0.001) || FlagMPI > 0 ||
      FlagTFS == 3)
    surface();
  else
    ++NoNumNoSurfUpdate;
}

// F 371 third value: the minimum water levels follow the bed before the grid-split prevention.
void gridSplit() {
  if (FlagNoGridSplit <= 0 || FlagGridsplitBedmove <= 0) return;
  if (FlagGridsplitBedmove == 2 && Bminwaterlevel && NoBlocks >= 1) {
    const GridBlock& k = block[1];
    for (int i = k.i1; i <= k.i2; ++i)
      for (int j = k.j1; j <= k.j2; ++j) {
        const int b = pointbed[i][j];
        if (Bminwaterlevel[b] > -10) Bminwaterlevel[b] += Bedmove[b];
      }
  }
  if (FlagExtraDebug == 1) logf("Before NoGridSplit\n");
  gridSplitForBedChange();
  if (FlagExtraDebug == 1) logf("After NoGridSplit\n");
}

// The grid, its metrics, bed cells, carried-over fields and face fluxes on the new bed. The
// full form (option 0) first lets the free surface and the grid-split prevention act.
void regenerate(bool full, bool marks) {
  if (!(std::fabs(std::fmod(static_cast<double>(Iter - 1), BedRecIter)) < 0.001)) return;
  if (full) {
    surfaceFirst();
    gridSplit();
  }
  if (marks) mark(41);
  const int built = Unstructure();
  if (built < 0) {
    // Going on would run the flow and the next bed change on a half-built grid.
    failf(-1, "Error in bed change: the grid could not be generated on the new bed levels "
              "(Iter = %d, result %d)\n", Iter, built);
  }
  if (marks) mark(42);
  if (gridSequencing()) {
    // The coarse levels are rebuilt on the new grid. They leave the cell range on their last
    // level; the rest of this frame (fields, face fluxes, the suspended sediment) works on
    // the grid itself.
    const int first = WCStart, last = WCEnd;
    MGSCoarserGridMake2D();
    WCStart = first;
    WCEnd = last;
  }
  if (marks) mark(43);
  metric();
  if (marks) mark(48);
  if (full && Iter == 1 && UMethod2 == 0) CheckFparam();
  BedMake();
  if (marks) mark(51);
  for (int c = WCStart; c <= WCEnd; ++c) CinvAp[c] = 0;
  waterflow(WFStart, WFEnd);
}

}  // namespace

void mark(int slot) { otime[slot] = omp_get_wtime(); }

bool slideRuns() {
  return (IterAvalanche >= 1 && IterAvalanche != 205 && IterAvalanche != 206) ||
         (IterAvalanche < 1 && FlagSlideDLL > 0);
}

void afterCornerMoves(Option option, bool countPlane1) {
  const bool marks = option != Option::Points;
  if (smoothsAfter(option)) bedsmooth();
  if (option == Option::Columns && FlagGLEA > 0) computeGLEA();
  if (option == Option::Columns)
    copyByPointnest();
  else
    copyByBnestcoarse(countPlane1);
  if (FlagBedDownstream != 0) computeBedBoundary();
  // Option 5 runs the slide and the smoothing by exchange before it builds the corners.
  if (option != Option::Layers && slideRuns()) computeSandSlide();
  if (option == Option::EdgeLines && FlagBedSmooth4 > 0) bedSmooth4();
  const double before = suspendedVolume();
  if (marks) {
    mark(39);
    mark(40);
  }
  regenerate(option == Option::Columns, marks);
  SuspVolChangeDef += density * 1000.0 * (before - suspendedVolume());
}

}  // namespace qorva::bedframe
