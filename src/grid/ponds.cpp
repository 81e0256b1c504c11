// Ponds: water left in hollows of the bed that no longer connect to the river. The pond
// removal of the grid generator (F 394) keeps cells only in the columns of block 1 that wet
// columns connect to a discharge group; the pond reduction before a free-surface rebuild
// (F 379) lowers shallow, still grid points to just above the bed. Reads the groups' bed-cell
// lists, zval, antlin, ant, Ckinen; writes Bponds, Bdepth (as scratch), ant, ridgeI, ridgeJ,
// mc_message and, in the reduction, zval[..][..][znumber].
#include <algorithm>

#include "grid/columns.h"
#include "grid/grid.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"

namespace qorva {

namespace {

// Listed bed cells of group g that the bed-cell tables hold.
int listedBedCells(const DischargeGroup& d) {
  const int room = static_cast<int>(d.bedCellList.size()) - 1;
  return std::clamp(d.bedCellList[0], 0, room);
}

bool seedGroup(const DischargeGroup& d) { return d.surfaceNo >= 1; }

bool inBedTables(int b) { return b >= 0 && b <= bedCellLimit(); }

// May the mark pass from column (i, j) to (a, c)? The column needs a bed cell and a cell; with
// ridge marks the grid-line segment between the two must have a wet end.
bool passes(int i, int j, int a, int c, bool ridges) {
  if (!onPlane(a, c) || columnBedCell(a, c) == 0 || ant[a][c] <= 0) return false;
  if (!ridges) return true;
  if (a == i + 1) return ridgeI[i][j] == 1;
  if (a == i - 1) return ridgeI[i - 1][j] == 1;
  if (c == j + 1) return ridgeJ[i][j] == 1;
  return ridgeJ[i][j - 1] == 1;
}

void spreadFrom(int i, int j, bool ridges) {
  const int b = columnBedCell(i, j);
  if (b == 0 || Bponds[b] != 1) return;
  for (auto [a, c] : {std::pair{i + 1, j}, {i - 1, j}, {i, j + 1}, {i, j - 1}})
    if (passes(i, j, a, c, ridges)) Bponds[columnBedCell(a, c)] = 1;
}

}  // namespace

void removePonds() {
  mc_message = "Function removePonds";
  if (NoBlocks < 1 || !Bponds || listedBedCells(DischargeStruct[1]) == 0) {
    mc_message = "End removePonds";
    return;
  }
  const GridBlock& k = block[1];
  const int nb = bedCellLimit();
  for (int b = 0; b <= nb; ++b) Bponds[b] = 0;

  // Mean depth of every column of block 1 on the new levels.
  for (int j = k.j1; j <= k.j2; ++j)
    for (int i = k.i1; i <= k.i2; ++i)
      if (const int b = columnBedCell(i, j)) Bdepth[b] = columnMeanDepth(i, j);

  double dmax = -1e7;
  for (int g = 1; g <= 9; ++g) {
    const DischargeGroup& d = DischargeStruct[g];
    if (!seedGroup(d)) continue;
    for (int e = 1; e <= listedBedCells(d); ++e)
      if (inBedTables(d.bedCellList[e])) dmax = std::max(dmax, Bdepth[d.bedCellList[e]]);
  }
  const double T = dmax * CoeffPonds;
  for (int g = 1; g <= 9; ++g) {
    const DischargeGroup& d = DischargeStruct[g];
    if (!seedGroup(d)) continue;
    for (int e = 1; e <= listedBedCells(d); ++e) {
      const int b = d.bedCellList[e];
      if (b >= 1 && inBedTables(b) && (T < 0.01 || Bdepth[b] > T)) Bponds[b] = 1;
    }
  }

  const bool ridges = FlagRemovePonds > 1000;
  const int passesNo = ridges ? FlagRemovePonds - 1000 : FlagRemovePonds;
  for (int p = 0; p < passesNo; ++p) {
    for (int j = k.j1; j <= k.j2; ++j)
      for (int i = k.i1; i <= k.i2; ++i) spreadFrom(i, j, ridges);
    for (int j = k.j2; j >= k.j1; --j)
      for (int i = k.i2; i >= k.i1; --i) spreadFrom(i, j, ridges);
  }

  for (int i = k.i1; i <= k.i2; ++i)
    for (int j = k.j1; j <= k.j2; ++j)
      if (Bponds[columnBedCell(i, j)] != 1) ant[i][j] = 0;
  mc_message = "End removePonds";
}

void makeRidge() {
  for (std::size_t i = 0; i < ridgeI.dim(0); ++i)
    for (std::size_t j = 0; j < ridgeI.dim(1); ++j) ridgeI[i][j] = ridgeJ[i][j] = 0;
  if (NoBlocks < 1) return;
  const GridBlock& k = block[1];
  // Column (i, j) reaches (i + 1, j) across grid line i between points (i, j - 1) and (i, j),
  // and (i, j + 1) across grid line j between points (i - 1, j) and (i, j). Every column of
  // the block gets both marks: a channel along the last row or the last cross-section must
  // connect like any other.
  for (int i = k.i1; i <= k.i2; ++i)
    for (int j = k.j1; j <= k.j2; ++j) {
      ridgeI[i][j] = antlin[i][j - 1] > 1 || antlin[i][j] > 1 ? 1 : 0;
      ridgeJ[i][j] = antlin[i - 1][j] > 1 || antlin[i][j] > 1 ? 1 : 0;
    }
}

void reducePonds() {
  if (FlagReducePonds != 1) return;
  for (int n = 1; n <= NoBlocks; ++n) {
    const GridBlock& k = block[n];
    if (k.skip != 0 || SurfUpdate[n] != 1) continue;
    for (int i = k.i1 - 1; i <= k.i2; ++i)
      for (int j = k.j1 - 1; j <= k.j2; ++j) {
        // The largest bed-shear estimate (300 k, Pa) of the wet columns around the point.
        double s = -1e20;
        for (auto [a, c] : {std::pair{i, j}, {i + 1, j}, {i, j + 1}, {i + 1, j + 1}})
          if (const int bottom = columnBottom(a, c)) s = std::max(s, 300 * Ckinen[bottom]);
        const double bedLevel = zval[i][j][1];
        if (s > 0 && s < ShearReducePonds &&
            zval[i][j][znumber] - bedLevel < CritReducePonds * MinVertDist0)
          zval[i][j][znumber] = std::min(zval[i][j][znumber], bedLevel + 0.5 * MinVertDist0);
      }
  }
}

}  // namespace qorva
