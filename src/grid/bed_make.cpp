// The bed-cell index: one bed cell per water column of the blocks that carry water columns,
// numbered once per run, and the per-column view of the current grid built on it; after a
// regeneration it hands the cell variables to the transfer. Reads block, zval[..][0], armap,
// Ccellt, Ckdist, Czcenter; writes NoBCells, pointbed, Bkooi, Bkooj, Barea, Bcellt, Bnocells,
// Bdepth and their _old snapshots, Cbed, the blocks' bcellstart/bcellend, the groups' bed-cell
// lists and the geometry kept for the next regeneration.
#include <omp.h>

#include <algorithm>

#include "discretisation/discretisation.h"
#include "grid/generator.h"
#include "grid/grid.h"
#include "grid/transfer.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {
namespace {

bool carriesColumns(const GridBlock& k) { return k.flag2D == 0 && k.skip == 0; }

// Highest bed cell the bed-cell tables hold.
long long bedCapacity() { return static_cast<long long>(Bkooi.size()) - 1; }

// Walks the columns of bed cells 1..NoBCells in their numbering order.
template <class F>
void forEachColumn(F f) {
  for (int n = 1; n <= NoBlocks; ++n) {
    const GridBlock& k = block[n];
    if (!carriesColumns(k)) continue;
    for (int i = k.i1; i <= k.i2; ++i)
      for (int j = k.j1; j <= k.j2; ++j) f(i, j);
  }
}

// Bottom cell of column (i, j) as the generator left it in zval[i][j][0].
int bottomCellOf(int i, int j) { return static_cast<int>(zval[i][j][0]); }

// A cell number that the per-cell tables hold.
bool inCellTables(int c) { return c >= 1 && c < static_cast<long long>(Cbed.size()); }

// The numbering and the column walks index the structured tables by the blocks' ranges.
void checkBlockRanges() {
  for (int n = 1; n <= NoBlocks; ++n) {
    const GridBlock& k = block[n];
    if (carriesColumns(k) && k.i1 <= k.i2 && k.j1 <= k.j2) checkBlockInGrid(n);
  }
}

// Cbed of every cell from the columns, cleared over the whole table first; with `columns`
// also the bottom cell, cell count and depth of each column.
void indexColumns(bool columns) {
  const int limit = static_cast<int>(Cbed.size());
  for (int c = 0; c < limit; ++c) Cbed[c] = 0;
  forEachColumn([limit, columns](int i, int j) {
    const int b = pointbed[i][j];
    if (b < 1) return;  // a block added after the numbering has no bed cells
    const int bottom = bottomCellOf(i, j);
    int cells = 0;
    double half = 0;
    // The count bound only guards against a broken upward link.
    for (int c = bottom; c > 0 && c < limit && cells < limit; c = Ccellt[c]) {
      Cbed[c] = b;
      ++cells;
      half += Ckdist[c];
    }
    if (columns) {
      Bcellt[b] = bottom;
      Bnocells[b] = cells;
      Bdepth[b] = 2.0 * half;
    }
  });
  Cbed[0] = 0;
}

// Walks the columns in the numbering order and hands each its bed cell; Bkooi and Bkooj
// follow. Returns the number of columns. Ends the run before a number would pass the bed-cell
// tables.
template <class F>
int numberColumns(F f) {
  long long total = 0;
  for (int n = 1; n <= NoBlocks; ++n)
    if (carriesColumns(block[n]) && block[n].i1 <= block[n].i2 && block[n].j1 <= block[n].j2)
      total += static_cast<long long>(block[n].i2 - block[n].i1 + 1) *
               (block[n].j2 - block[n].j1 + 1);
  if (total > bedCapacity())
    failf(1, "Error: the grid blocks hold more columns than the %lld bed cells\n",
          bedCapacity());
  int b = 0;
  forEachColumn([&b, &f](int i, int j) {
    ++b;
    Bkooi[b] = i;
    Bkooj[b] = j;
    f(i, j, b);
  });
  Bkooi[0] = Bkooj[0] = 0;
  return b;
}

// The bed cells of the discharge groups' bottom cells, which seed the pond removal. The list
// holds 9,999 cells after its count; a group with more bottom cells keeps the first 9,999.
void groupBedCells() {
  const int room = static_cast<int>(DischargeStruct[1].bedCellList.size()) - 1;
  const long long surfaces = static_cast<long long>(Fcell1.size());
  for (int g = 1; g <= 9; ++g) {
    DischargeGroup& d = DischargeStruct[g];
    if (d.surfaceNo < 1) continue;
    // The surface list counts from 0, as every other reader of it does.
    const int count =
        std::min<long long>(d.surfaceNo, static_cast<long long>(d.surfaceList.size()));
    int n = 0;
    bool full = false;
    // The surface list holds entries 0..surfaceNo-1, as every group builder fills it.
    for (int e = 0; e < count; ++e) {
      const int s = d.surfaceList[e];
      if (s < 1 || s >= surfaces) continue;
      const int c = Fcell1[s] != 0 ? Fcell1[s] : Fcell2[s];
      if (!inCellTables(c) || Ccellb[c] != 0) continue;
      if (n == room) {
        full = true;
        break;
      }
      d.bedCellList[++n] = Cbed[c];
    }
    d.bedCellList[0] = n;
    if (full)
      logf("Warning: discharge group %d has more than %d bottom cells; the pond removal "
           "starts from the first %d\n",
           g, room, room);
  }
}

// Cell bed cells of the depth-averaged block: its builders keep each column's single cell in
// num[i][j][1]; that cell stands for the water column (i, j) and takes its bed cell.
void depthAveragedCells() {
  if (NoBlocks < 1 || !num) return;
  const GridBlock& k = block[NoBlocks];
  if (k.flag2D != 1) return;
  for (int i = std::max(k.i1, 0); i <= std::min(k.i2, xnumber + 1); ++i)
    for (int j = std::max(k.j1, 0); j <= std::min(k.j2, ynumber + 1); ++j) {
      const int c = num[i][j][1];
      if (c >= k.cellstart && c <= k.cellend && inCellTables(c)) Cbed[c] = pointbed[i][j];
    }
}

}  // namespace

void numberBedCells() {
  checkBlockRanges();
  for (int i = 0; i <= xnumber + 1; ++i)
    for (int j = 0; j <= ynumber + 1; ++j) pointbed[i][j] = 0;
  const int count = numberColumns([](int i, int j, int b) {
    pointbed[i][j] = b;
    Barea[b] = armap[i][j];
  });
  int b = 0;
  for (int n = 1; n <= NoBlocks; ++n) {
    GridBlock& k = block[n];
    k.bcellstart = b + 1;
    if (carriesColumns(k) && k.i1 <= k.i2 && k.j1 <= k.j2)
      b += (k.i2 - k.i1 + 1) * (k.j2 - k.j1 + 1);
    k.bcellend = b;
  }
  if (count > 0) NoBCells = count;
  for (int c = 0; c <= NoBCells; ++c) {
    Bcellt[c] = Bnocells[c] = 0;
    Bdepth[c] = Bdepth_old[c] = 0.0;
    Binout[c] = 0.0;
    Bcellth[c] = 0;
  }
  Cbed[0] = 0;
}

void renumberBedColumns() {
  if (!Bkooi || !pointbed) return;
  checkBlockRanges();
  numberColumns([](int i, int j, int b) { pointbed[i][j] = b; });
}

void setCellBedCells() {
  if (!Cbed || !pointbed) return;
  checkBlockRanges();
  indexColumns(false);
}

void BedMake() {
  if (!Bcellt || !Cbed || !pointbed) return;
  checkBlockRanges();
  const bool numbered = NoBCells > 0;
  if (FlagExtraDebug == 1) logf("Start BedMake\n");
  if (PauseFlag == 5) gridHold(PauseFlag);
  if (!numbered) numberBedCells();

  // The column view of the grid being replaced. Its depth is not taken from Bdepth, which
  // other steps may borrow between two calls (the pond removal computes its depths there);
  // Bdepth_old has held that depth since the call that indexed the replaced grid.
  if (FlagGridHasChanged == 1)
    for (int b = 1; b <= NoBCells; ++b) {
      Bcellt_old[b] = Bcellt[b];
      Bnocells_old[b] = Bnocells[b];
    }
  FlagGridHasChanged = 0;

  indexColumns(true);

  if (Bnestcoarse && NoNestflater > 1 && !numbered) computeBnestcoarse();
  if (Hydrostatic == 1 || Hydrostatic > 2) depthAveragedCells();
  if (Bdeltah)
    for (int b = 1; b <= NoBCells; ++b) Bdeltah[b] = 0.0;

  if (Bnocells && FlagNeedsToBeInterpolated == 1 && transferSource()) {
    otime[49] = omp_get_wtime();
    InterpolateGrid();
    if (FlagGenerateUpFlux > 0 || FlagGenerateDownFlux > 0)
      setFluxes();
    else
      InterpolateBoundary();
    FlagNeedsToBeInterpolated = 0;
    otime[50] = omp_get_wtime();
  }

  if (FlagRemovePonds > 0 && DischargeStruct[1].bedCellList[0] == 0) groupBedCells();

  if (PauseFlag == 6) gridHold(PauseFlag);
  // What the next regeneration needs of the grid it will replace.
  const int nc = std::min<long long>(NoCells, static_cast<long long>(Ckdist.size()) - 1);
  if (ExtrapAlgo1 == 0 && Czcenter_old)
    for (int c = 1; c <= nc; ++c) Czcenter_old[c] = Czcenter[c];
  if (ExtrapAlgo1 == 2 && Ckdist_old)
    for (int c = 1; c <= nc; ++c) Ckdist_old[c] = Ckdist[c];
  for (int b = 1; b <= NoBCells; ++b) Bdepth_old[b] = Bdepth[b];
  if (FlagExtraDebug == 1) logf("End BedMake\n");
}

}  // namespace qorva
