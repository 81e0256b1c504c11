// Small services of the sediment time loop: the work ranges of a work block, the time step
// that follows the discharge, the continuity correction of the east-face fluxes, the
// rescaling of the suspended sediment after the grid moved, and the near-bed density-current
// statistics. Reads the block table, WorkBlock, DischargeArray, the cell arrays and the F 350,
// F 448 options; writes the work ranges, block inwork, TimeStep, Fflux, Cconc, Cconc_old,
// totalsusp and BTheight, BTdischarge, BTugrad.
#include <algorithm>
#include <cmath>

#include "grid/columns.h"
#include "sediment/sediment_loop.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_f350_399.h"
#include "state/options_f400_449.h"
#include "state/options_g.h"
#include "state/sediment_run.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

void inWorkUnlessSkipped(int first, int last) {
  for (int b = first; b <= last; ++b) block[b].inwork = block[b].skip == 0 ? 1 : 0;
}

}  // namespace

void computeWorkBlocks(int n) {
  if (WorkBlockNo == 0) {
    const bool mud = NoBlocks >= 1 && block[NoBlocks].thixo > 0;
    WCStart = WFStart = WBStart = 1;
    if (!mud || NoBlocks < 2) {
      WCEnd = NoCells;
      WFEnd = NoSurfaces;
      WBEnd = NoBCells;
      inWorkUnlessSkipped(1, NoBlocks);
    } else {
      // Everything but the mud block, which is the last one; its flag stays as it is.
      const GridBlock& k = block[NoBlocks - 1];
      WCEnd = k.cellend;
      WFEnd = k.surfend;
      WBEnd = k.bcellend;
      inWorkUnlessSkipped(1, NoBlocks - 1);
    }
    return;
  }
  for (int b = 1; b <= NoBlocks; ++b) block[b].inwork = 0;
  bool found = false;
  const int listed = std::min(WorkBlockNo, static_cast<int>(WorkBlock.size()) - 1);
  for (int b = 1; b <= listed && b <= NoBlocks; ++b) {
    if (WorkBlock[b] != n) continue;
    const GridBlock& k = block[b];
    block[b].inwork = 1;
    if (!found) {
      WCStart = k.cellstart;
      WFStart = k.surfstart;
      WBStart = k.bcellstart;
      found = true;
    }
    WCEnd = k.cellend;
    WFEnd = k.surfend;
    WBEnd = k.bcellend;
  }
  if (!found) {
    // No block in this work block: nothing to work on. Loops over these ranges do nothing,
    // and none starts at the absent cell 0.
    WCStart = WFStart = WBStart = 1;
    WCEnd = WFEnd = WBEnd = 0;
  }
}

void computeTimestep() {
  const double Q = DischargeArray[1];
  if (!(Q > 0)) {
    // Without discharge the rule has no bound; the step of the run holds.
    logf("Warning: F 350 finds no discharge in group 1; the time step stays %lf seconds\n",
         TimeStep);
    return;
  }
  TimeStep = std::max(maxTimeStep * std::pow(1000.0 * QRefTimeStep / Q, powTimeStep), minTimeStep);
}

void correctContinuity() {
  if (NoBlocks < 1) return;
  const GridBlock& k = block[1];
  const double Q = DischargeStruct[1].massDischarge;
  for (int i = k.i1; i <= k.i2; ++i) {
    double S = 0;
    for (int j = k.j1; j <= k.j2; ++j)
      upColumn(columnBottom(i, j), [&S](int c) { S += Fflux[Cflatee[c]]; });
    const double f = Q / (S + 1e-20);
    for (int j = k.j1; j <= k.j2; ++j)
      upColumn(columnBottom(i, j), [f](int c) {
        if (Cflatee[c] > 0) Fflux[Cflatee[c]] *= f;
      });
  }
}

void scaleConcGridMove1() {
  for (int l = 1; l <= lnumber; ++l) {
    double s = 1e-30;
    for (int c = 1; c <= NoCells; ++c) s += Cconc[l][c] * Cvol[c];
    totalsusp[l] = s;
  }
}

void scaleConcGridMove2() {
  for (int l = 1; l <= lnumber; ++l) {
    double s = 1e-30;
    for (int c = 1; c <= NoCells; ++c) {
      s += Cconc[l][c] * Cvol[c];
      if (std::isnan(s)) failf(-99, "Error in scaleConcGridMove2, l=%d\n\n", l);
    }
    double f = totalsusp[l] / s;
    if (FlagDefectRatio > 0) f *= std::clamp(1.0 + kDefectRatio[l], 0.9, 1.1);
    for (int c = 1; c <= NoCells; ++c) {
      Cconc[l][c] *= f;
      if (Cconc_old) Cconc_old[l][c] *= f;
    }
  }
}

void computeDensityStat(int iFirst, int iLast) {
  if (NoBlocks < 1 || !BTheight) return;
  const GridBlock& k = block[1];
  for (int i = iFirst; i <= iLast; ++i)
    for (int j = k.j1; j <= k.j2; ++j) {
      const int b = pointbed[i][j];
      const int c0 = columnBottom(i, j);
      if (c0 == 0) {
        BTheight[b] = BTdischarge[b] = BTugrad[b] = 0;
        continue;
      }
      double h = 0, q = 0, umax = 0;
      upColumnWhile(c0, [&](int c) {
        h += Ckdist[c];
        q += Ckdist[c] * Cxvel[c];
        umax = std::max(umax, Cxvel[c]);
        // The current ends at the first cell that flows back over a cell that flows forward.
        return !(c != c0 && Cxvel[c] < 0 && Cxvel[Ccellb[c]] > 0);
      });
      BTheight[b] = 2 * h;
      BTdischarge[b] = 2 * q;
      BTugrad[b] = 2 * h / std::max(umax, TDvelo);
    }
}

}  // namespace qorva
