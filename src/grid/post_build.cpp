// Marks and checks made after the grid generator has built the cells: neighbours across
// missing sides, dead-end cells, print-item cells, bed statistics and the cross-section check.
// Reads the cell links, zval, Cinout, Fflux, Faz, Cxvel, Cyvel; writes CcellAe..CcellAw,
// Conecell and the bedStat sums.
#include <algorithm>
#include <cmath>
#include <cstddef>

#include "files/files.h"
#include "grid/columns.h"
#include "grid/generator.h"
#include "output/output.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {

void missingSideNeighbours() {
  if (!CcellAe) return;
  for (int c = 0; c < MaxCeller; ++c) CcellAe[c] = CcellAn[c] = CcellAs[c] = CcellAw[c] = 0;
  for (int c = 1; c <= NoCells; ++c) {
    if (Ccellb[c] <= 0) continue;
    const int bottom = bottomOf(c);
    if (Ccelln[c] == 0) CcellAn[c] = Ccelln[bottom];
    if (Ccells[c] == 0) CcellAs[c] = Ccells[bottom];
    if (Ccellw[c] == 0) CcellAw[c] = Ccellw[bottom];
    if (Ccelle[c] == 0) CcellAe[c] = Ccelle[bottom];
  }
}

// Dead ends are peeled from their closed end inward, one layer or more per sweep, since a
// mark set earlier in a sweep already counts for the cells after it.
void markDeadEnds() {
  for (int sweep = 0; sweep < 21; ++sweep)
    for (int c = 1; c <= NoCells; ++c) {
      if (Conecell[c] == 1) continue;
      const int links[6] = {Ccells[c], Ccelln[c], Ccelle[c], Ccellw[c], Ccellt[c], Ccellb[c]};
      int open = 0;
      for (int d : links)
        if (d > 0 && Conecell[d] == 0) ++open;
      if (open == 0 || (open == 1 && Cinout[c] == 0)) Conecell[c] = 1;
    }
}

bool printItemCell(int i, int j, int level, int& cell) {
  if (i <= 0) return false;
  if (static_cast<std::size_t>(i) >= zval.dim(0) || j < 0 ||
      static_cast<std::size_t>(j) >= zval.dim(1)) {
    logf("Warning: print item at column (%d,%d) lies outside the grid and is skipped\n", i, j);
    return false;
  }
  int c = static_cast<int>(zval[i][j][0]);
  if (c > 0 && level >= 0) c = cellUp(c, level + 1);
  cell = c;
  return true;
}

void bedStatistics() {
  if (!bedStatDepth) return;
  // The window is cut to the sums' tables and to the grid lines that exist.
  const int i2 = std::min<long long>({BedStatI2, static_cast<long long>(bedStatDepth.dim(0)) - 1,
                                      xnumber + 1LL});
  const int j2 = std::min<long long>({BedStatJ2, static_cast<long long>(bedStatDepth.dim(1)) - 1,
                                      ynumber + 1LL});
  const int i1 = std::max(BedStatI1, 0), j1 = std::max(BedStatJ1, 0);
  if (BedStatNo == 0)
    for (int i = i1; i <= i2; ++i)
      for (int j = j1; j <= j2; ++j)
        bedStatDepth[i][j] = bedStatBed[i][j] = bedStatDev[i][j] = bedStatK[i][j] = 0;
  for (int i = i1; i <= i2; ++i)
    for (int j = j1; j <= j2; ++j) {
      const double b = zval[i][j][1], s = zval[i][j][znumber];
      bedStatDepth[i][j] += s - b;
      bedStatBed[i][j] += b;
      if (Surfaces) bedStatDev[i][j] += std::fabs(b - Surfaces[0][i][j]);
      double q = 0, v = 0;
      for (int c = static_cast<int>(zval[i][j][0]); c > 0 && Ccellt[c] > 0; c = Ccellt[c]) {
        const int f = Cflatet[c];
        if (Faz[f] != 0) q += std::fabs(Fflux[f] / Faz[f]);
        v += std::sqrt(Cxvel[c] * Cxvel[c] + Cyvel[c] * Cyvel[c]);
      }
      // A column without flow below its top cell (dry, a single cell, or water at rest)
      // gives no ratio; it adds nothing instead of 0/0.
      if (v > 0) bedStatK[i][j] += q / v;
    }
  ++BedStatNo;
}

void checkCrossSections() {
  if (NoBlocks < 1) return;
  const GridBlock& b = block[1];
  bool split = false;
  for (int i = b.i1; i <= b.i2; ++i) {
    bool dry = true;
    for (int j = b.j1; j <= b.j2; ++j)
      if (static_cast<int>(zval[i][j][0]) != 0) dry = false;
    if (!dry) continue;
    split = true;
    logf("Error: Grid split for cross-section no %d\n", i);
    logf("Cross-section profile: zval[1],zval[i][znumber],zval[i-1][znumber],Bminwaterlevel\n");
    for (int j = b.j1; j <= b.j2; ++j) {
      const int bed = pointbed[i][j];
      if (FlagNoGridSplit < 1 || !Bminwaterlevel || bed < 0 ||
          static_cast<std::size_t>(bed) >= Bminwaterlevel.size())
        logf("%d %d %d %lf %lf %lf\n", j, bed, ant[i][j], zval[i][j][1], zval[i][j][znumber],
             zval[i - 1][j][znumber]);
      else
        logf("%d %d %d %lf %lf %lf %lf\n", j, bed, ant[i][j], zval[i][j][1],
             zval[i][j][znumber], zval[i - 1][j][znumber], Bminwaterlevel[bed]);
    }
  }
  if (!split) return;
  sprintflow();
  FlagCrashGrid = 2;
  WriteUnstructure();
  endRun(-77);
}

}  // namespace qorva
