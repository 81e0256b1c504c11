// Discharge groups on the grid: the boundary surfaces that each group's plan points mark,
// their area, the marks of the cells behind them, and the automatic groups of F 314.
// Reads DischargeStruct, block, xval, yval, zval, the cell links and surfaces, Farea; writes
// the groups' surfaceList, levelList, surfaceNo, area, Cinout and Fflagflow.
#include <algorithm>
#include <cmath>

#include "discretisation/discretisation.h"
#include "grid/columns.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

constexpr int kSouth = 1, kEast = 2, kNorth = 3, kWest = 4;
constexpr int kMaxSurfaces = static_cast<int>(decltype(DischargeGroup::surfaceList)::size());
constexpr int kMaxPoints = static_cast<int>(decltype(DischargeGroup::x)::size());


// The surface on one side (1 south .. 4 west) of cell c.
int sideSurface(int c, int side) {
  switch (side) {
    case kSouth: return Cflates[c];
    case kEast: return Cflatee[c];
    case kNorth: return Cflaten[c];
    default: return Cflatew[c];
  }
}

// A block's edge lines i1-1..i2, j1-1..j2 lie inside the structured tables.
bool blockInTables(const GridBlock& k) {
  return k.i1 >= 1 && k.j1 >= 1 && k.i2 < static_cast<int>(zval.dim(0)) &&
         k.j2 < static_cast<int>(zval.dim(1)) && k.i2 >= k.i1 - 1 && k.j2 >= k.j1 - 1;
}

// The nearest block edge segment so far: its distance, the bottom cell of its column, the
// side of the column it lies on.
struct Nearest {
  double dist = 1e10;
  int cell = 0;
  int side = 0;
};

// Segment between grid points (ia, ja) and (ib, jb), belonging to column (ci, cj) on `side`;
// only a strictly nearer segment replaces the one found before.
void consider(Nearest& best, double px, double py, int ia, int ja, int ib, int jb, int ci, int cj,
              int side) {
  const double xm = 0.5 * (xval[ia][ja] + xval[ib][jb]);
  const double ym = 0.5 * (yval[ia][ja] + yval[ib][jb]);
  const double d = std::fabs(px - xm) + std::fabs(py - ym);
  if (d < best.dist) {
    best.dist = d;
    best.cell = columnBottom(ci, cj);
    best.side = side;
  }
}

// Searches the outer edges of every block with cells (mud blocks excepted) for the segment
// nearest to (px, py). The acceptance distance is a tenth of the square root of twice the
// area of the last such block's last grid cell; a left-handed cell gives none.
Nearest nearestSegment(double px, double py, double& threshold) {
  Nearest best;
  threshold = 1e-20;
  for (int b = 1; b <= NoBlocks && b < static_cast<int>(block.size()); ++b) {
    const GridBlock& k = block[b];
    if (k.cellend <= 0 || k.thixo != 0 || !blockInTables(k)) continue;
    const int i1 = k.i1, i2 = k.i2, j1 = k.j1, j2 = k.j2;
    if (i2 >= 1 && j2 >= 1) {
      const double cross = (yval[i2 - 1][j2] - yval[i2][j2 - 1]) * (xval[i2][j2] - xval[i2 - 1][j2 - 1]) -
                           (xval[i2 - 1][j2] - xval[i2][j2 - 1]) * (yval[i2][j2] - yval[i2 - 1][j2 - 1]);
      threshold = cross >= 0 ? 0.1 * std::sqrt(cross) : -1.0;
    }
    if (j1 <= j2) {
      for (int j = j1; j <= j2; ++j) consider(best, px, py, i1 - 1, j - 1, i1 - 1, j, i1, j, kWest);
      for (int j = j1; j <= j2; ++j) consider(best, px, py, i2, j - 1, i2, j, i2, j, kEast);
    }
    if (i1 <= i2) {
      for (int i = i1; i <= i2; ++i) consider(best, px, py, i - 1, j1 - 1, i, j1 - 1, i, j1, kSouth);
      for (int i = i1; i <= i2; ++i) consider(best, px, py, i - 1, j2, i, j2, i, j2, kNorth);
    }
  }
  return best;
}

// Appends the side surface of cell c to group g and marks the surface and the cell.
// Returns false when the list is full.
bool take(int g, int c, int side) {
  DischargeGroup& d = DischargeStruct[g];
  const int s = sideSurface(c, side);
  if (s <= 0 || s > NoSurfaces) return true;
  if (d.surfaceNo >= kMaxSurfaces) return false;
  d.surfaceList[d.surfaceNo] = s;
  ++d.surfaceNo;
  Fflagflow[s] = 1;
  Cinout[c] = d.inflowFlag == 1 ? g : -g;
  return true;
}

// Takes the cells of the column above bottom cell `bottom` that lie in the group's level
// range, from the top cell down. Returns false when the list is full.
bool takeColumn(int g, int bottom, int side) {
  const DischargeGroup& d = DischargeStruct[g];
  if (d.topLevel == 2) return take(g, bottom, side);  // the bottom cell alone
  int c = topOf(bottom);
  for (int k = cellsUpFrom(bottom); k >= 1 && isGridCell(c); --k) {
    if (k >= d.lowLevel && k <= d.topLevel && !take(g, c, side)) return false;
    c = Ccellb[c];
  }
  return true;
}

void zeroAreaWarning(int g) {
  const DischargeGroup& d = DischargeStruct[g];
  const bool haveBed = Bkooi && Bkooi.size() > 3 && Bkooj && Bkooj.size() > 3;
  logf("\nWarning: Zero inflow/outflow area for discharge group no. %d\n", g);
  logf("Possible problem: levels in discharge struct below bed\n");
  logf("Top level group %d: %d, top node: %d\n", g, d.topLevel, znumber);
  logf("Low level group %d: %d\n", g, d.lowLevel);
  logf("Bkooi[3] = %d, Bkooj[3] = %d\n\n", haveBed ? Bkooi[3] : 0, haveBed ? Bkooj[3] : 0);
}

void fillLevelList(int g) {
  DischargeGroup& d = DischargeStruct[g];
  const int n = std::min(d.surfaceNo, kMaxSurfaces);
  for (int m = 0; m < n; ++m) {
    const int s = d.surfaceList[m];
    int c = 0;
    if (s > 0 && s <= NoSurfaces) c = Fcell1[s] != 0 ? Fcell1[s] : Fcell2[s];
    d.levelList[m] = levelOfCell(c);
  }
}

bool levelListsWanted() { return FlagCyclic != 0 || inflowj >= 1; }

// Level range and points of an automatic group.
struct AutoGroup {
  int low, top;
  bool wet;         // only the segments with water at their ends
  bool keepPoints;  // place the points of the first build again
};

bool upFluxGroup(int v, AutoGroup& a) {
  switch (v) {
    case 1: a = {1, 999, false, false}; return true;
    case 2: a = {1, 999, true, false}; return true;
    case 3: a = {19, 20, true, false}; return true;
    // Later builds keep the points of the first; a first build that found the whole edge dry
    // left none to keep, and keeping none would shut the inflow for the rest of the run.
    case 4: a = {1, 999, true, Iter >= 1 && DischargeStruct[1].xyNo > 0}; return true;
    case 5: a = {17, 19, true, false}; return true;
    case 6: a = {1, 36, true, false}; return true;
    case 7: a = {1, 70, true, false}; return true;
    default:
      if (v <= 10) return false;
      a = {v, v, false, false};
      return true;
  }
}

bool downFluxGroup(int v, AutoGroup& a) {
  switch (v) {
    case 1: a = {1, 999, false, false}; return true;
    case 2: a = {1, 999, true, false}; return true;
    case 3: a = {2, 2, false, false}; return true;
    default: return false;
  }
}

double depthAt(int i, int j) { return zval[i][j][znumber] - zval[i][j][1]; }

// Builds group g on grid line `line` of block 1 and places it.
void buildAutoGroup(int g, int line, const AutoGroup& a) {
  DischargeGroup& d = DischargeStruct[g];
  const GridBlock& k = block[1];
  d.inflowFlag = g == 1 ? 1 : 0;
  d.lowLevel = a.low;
  d.topLevel = a.top;
  if (updates[g] < 0) d.bcType = 0;
  if (discharges[g] > 0 && d.massDischarge < 1e-20) d.massDischarge = 1000 * discharges[g];
  d.surfaceNo = 0;
  d.inflowConc = 0;
  if (!a.keepPoints) {
    int n = 0;
    for (int j = k.j1; j <= k.j2 && n < kMaxPoints; ++j) {
      if (a.wet && !(depthAt(line, j - 1) + depthAt(line, j) > MinVertDist0)) continue;
      d.x[n] = 0.5 * (xval[line][j - 1] + xval[line][j]);
      d.y[n] = 0.5 * (yval[line][j - 1] + yval[line][j]);
      ++n;
    }
    d.xyNo = n;
  }
  InterpolateBoundaryInner2(g);
  if (levelListsWanted()) fillLevelList(g);
}

}  // namespace

void InterpolateBoundaryInner2(int g) {
  DischargeGroup& d = DischargeStruct[g];
  d.surfaceNo = 0;
  const int points = std::min(d.xyNo, kMaxPoints);
  bool full = false;
  for (int p = 0; p < points && !full; ++p) {
    double threshold = 0;
    const Nearest best = nearestSegment(d.x[p], d.y[p], threshold);
    if (!isGridCell(best.cell) || !(best.dist < threshold)) continue;
    full = !takeColumn(g, best.cell, best.side);
  }
  if (full)
    logf("Warning: discharge group %d would hold more than %d surfaces; the rest are left out\n",
         g, kMaxSurfaces);

  if (d.surfaceNo >= 1) {
    double area = 0;
    for (int m = 0; m < d.surfaceNo; ++m) area += Farea[d.surfaceList[m]];
    d.area = area;
  } else {
    d.area = 0;
    zeroAreaWarning(g);
  }

  if (debugging == 'D' && FlagMPI >= 1) {
    logf("Have interpolated %d surfaces for discharge group %d\n", d.surfaceNo, g);
    for (int m = 0; m < d.surfaceNo; ++m) {
      const int s = d.surfaceList[m];
      if (Fcell1[s] != 0 || Fcell2[s] != 0) continue;
      logf("Error setting boundary conditions for surface %d %d\n", m, s);
      logf("Farea = %lf, Ftype1 = %d, Ftype2 = %d, Px1 = %lf, Py1 = %lf\n", Farea[s], Ftype1[s],
           Ftype2[s], Px[Fpoint1[s]], Py[Fpoint1[s]]);
    }
  }
}

// The groups are placed one after another: each pass is a short scan of the block edges, and
// the serial order keeps the marks of cells shared by two groups as they would be in order.
void InterpolateBoundary() {
  if (Cinout)
    for (int c = 1; c <= NoCells && c < static_cast<int>(Cinout.size()); ++c) Cinout[c] = 0;
  for (int g = 1; g <= 9; ++g) {
    DischargeGroup& d = DischargeStruct[g];
    if (!(std::fabs(d.massDischarge) > 1e-20) || d.xyNo < 1) continue;
    d.surfaceNo = 0;
    InterpolateBoundaryInner2(g);
  }
  if (levelListsWanted())
    for (int g = 1; g <= 9; ++g)
      if (DischargeStruct[g].surfaceNo > 0) fillLevelList(g);
}

void setFluxes() {
  if (NoBlocks < 1 || !blockInTables(block[1])) return;
  AutoGroup a;
  if (upFluxGroup(FlagGenerateUpFlux, a)) buildAutoGroup(1, block[1].i1 - 1, a);
  if (downFluxGroup(FlagGenerateDownFlux, a)) buildAutoGroup(2, block[1].i2, a);
}

}  // namespace qorva
