// The two-dimensional levels of the multigrid solvers: level 1 has one cell per wet water
// column of the flow blocks, each further level one cell per group of 2 x 2 cells below. The
// level cells are numbered after the grid's cells and stored as block records after NoBlocks.
// Reads the block table, zval[..][..][0], Ccellt, Cbed, Bkooi, Bkooj, connFlate, Fcell1,
// Fcell2, Ftype1, Ftype2, FlagThixo, Cthixolev, MaxCeller; writes NoMGlevels, the level
// records, num, MGSCpoint, CflagDim and the lateral neighbours of the level cells.
#include <algorithm>
#include <cmath>
#include <cstddef>

#include "bed/bed_modes.h"
#include "grid/columns.h"
#include "solvers/levels.h"
#include "solvers/solvers.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/nests.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// The block table holds records 1..99.
constexpr int kLastRecord = static_cast<int>(decltype(block)::size()) - 1;

bool qualifies(const GridBlock& k) { return k.flag2D == 0 && k.inwork == 1 && k.thixo == 0; }

[[noreturn]] void tooManyCells() {
  logf("%s", "Error: Number of cells in the unstructured arrays are too small\n");
  logf("%s", "when using the multi-grid solver, as it needs extra arrays. \n");
  logf("%s", "Increase the array sizes on the F 65 data set.\n");
  failf(-1, "Current value that needs increase: %d\n", MaxCeller);
}

// The next level-cell number after `last`; a number must stay below MaxCeller.
int nextCell(int& last) {
  if (last + 1 >= MaxCeller) tooManyCells();
  return ++last;
}

// A fresh level cell: no parent yet, no neighbours (a link is made only where a neighbour
// qualifies), none above or below.
void newLevelCell(int n) {
  CflagDim[n] = 1;
  MGSCpoint[n][0] = 0;
  Ccelle[n] = Ccellw[n] = Ccelln[n] = Ccells[n] = 0;
  Ccellt[n] = Ccellb[n] = 0;
}

// ln of the largest block extent + 3: the number of levels the solvers may use (one more than
// the levels built).
int levelCount() {
  int m = 0;
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (qualifies(k)) m = std::max({m, k.i2 - k.i1 + 2, k.j2 - k.j1 + 2});
  }
  // Without a qualifying block, level 1 alone (and empty).
  return m >= 1 ? static_cast<int>(std::log(static_cast<double>(m))) + 3 : 2;
}

[[noreturn]] void blockExtent() {
  failf(-44, "%s", "Error in allocation of blocks: increase 2nd integer on G 1 data set\n\n");
}

void checkRoom(int levels) {
  if (!MGSCpoint || MGSCpoint.dim(1) < 5 || !CflagDim)
    failf(1, "%s",
          "Error: the multigrid levels of F 168 have no parent/child table: it was not "
          "allocated for these settings\n");
  if (NoBlocks + levels - 1 > kLastRecord)
    failf(-1,
          "Error: the %d multigrid levels of F 168 do not fit in the block table after the %d "
          "blocks of the grid (%d records)\n",
          levels - 1, NoBlocks, kLastRecord);
  const std::size_t planes = static_cast<std::size_t>(std::max(znumber, levels)) + 2;
  if (num.dim(2) < planes || num.dim(0) < static_cast<std::size_t>(xnumber) + 2 ||
      num.dim(1) < static_cast<std::size_t>(ynumber) + 2)
    failf(-1,
          "Error: the %d multigrid levels of F 168 need %zu planes in the structured index "
          "table, which has %zu\n",
          levels - 1, planes, num.dim(2));
  // The level links of a column read its neighbours at i - 1 .. i + 1, j - 1 .. j + 1.
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (k.j2 > ynumber) blockExtent();
    if (!qualifies(k) || k.i1 > k.i2 || k.j1 > k.j2) continue;
    if (k.i1 < 1 || k.j1 < 1 || k.i2 > xnumber)
      failf(-1,
            "Error: block %d (i %d..%d, j %d..%d) lies outside the structured grid of G 1 "
            "(%d x %d)\n",
            b, k.i1, k.i2, k.j1, k.j2, xnumber, ynumber);
  }
}

// The first cell of a column that the levels take: its bottom cell, or in a mud-flow run the
// lowest cell above the mud (0 when the whole column is mud).
int firstCellOf(int bottom) {
  if (!(mudLevelColumns() && Cthixolev)) return bottom;
  int first = 0;
  upColumnWhile(bottom, [&first](int c) {
    if (Cthixolev[c] > 1) first = c;
    return first == 0;
  });
  return first;
}

// Level 1: one cell per wet column of the qualifying blocks, j outer, i inner.
void levelOne(int& last) {
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (!qualifies(k)) continue;
    for (int j = k.j1; j <= k.j2; ++j)
      for (int i = k.i1; i <= k.i2; ++i) {
        const int bottom = columnBottom(i, j);
        if (bottom == 0) continue;
        const int first = firstCellOf(bottom);
        if (first <= 0) continue;
        const int n = nextCell(last);
        num[i][j][1] = n;
        newLevelCell(n);
        int top = first;
        upColumn(first, [&](int c) {
          MGSCpoint[c][0] = n;
          top = c;
        });
        MGSCpoint[n][1] = first;
        MGSCpoint[n][2] = top;
        MGSCpoint[n][3] = MGSCpoint[n][4] = 0;
      }
  }
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (!qualifies(k)) continue;
    for (int j = k.j1; j <= k.j2; ++j)
      for (int i = k.i1; i <= k.i2; ++i) {
        const int n = num[i][j][1];
        if (n <= 0) continue;
        Ccelle[n] = num[i + 1][j][1];
        Ccellw[n] = num[i - 1][j][1];
        Ccells[n] = num[i][j - 1][1];
        Ccelln[n] = num[i][j + 1][1];
      }
  }
}

// The neighbour array of side 1 south, 2 east, 3 north, 4 west; null for 5 and 6.
Table1<int>* sideArray(int side) {
  switch (side) {
    case 1: return &Ccells;
    case 2: return &Ccelle;
    case 3: return &Ccelln;
    case 4: return &Ccellw;
    default: return nullptr;
  }
}

// Level-1 cells of columns whose grid cells meet a neighbour in another block (found through
// the bed-cell index of that neighbour) take the neighbour's level-1 cell.
void levelOneAcrossBlocks() {
  if (NoBlocks <= 1 || !Cbed || !Bkooi || !Bkooj) return;
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (k.flag2D != 0 || k.inwork != 1) continue;
    for (int j = k.j1; j <= k.j2; ++j)
      for (int i = k.i1; i <= k.i2; ++i) {
        const int n = num[i][j][1];
        const int c = columnBottom(i, j);
        if (n <= 0 || c == 0) continue;
        for (int side = 1; side <= 4; ++side) {
          Table1<int>& a = *sideArray(side);
          const int m = a[c];
          if (a[n] != 0 || m <= 0) continue;
          const int bed = Cbed[m];
          if (bed <= 0) continue;
          a[n] = num[Bkooi[bed]][Bkooj[bed]][1];
        }
      }
  }
}

// Level L >= 2 from level L - 1: strides s = 2^(L-1), groups of up to four children.
void coarseLevel(int L, int& last) {
  const int s = 1 << (L - 1), h = s / 2;
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (!qualifies(k)) continue;
    for (int j = k.j1; j <= k.j2; j += s)
      for (int i = k.i1; i <= k.i2; i += s) {
        const bool north = j + h <= k.j2, east = i + h <= k.i2;
        const int sw = num[i][j][L - 1];
        const int nw = north ? num[i][j + h][L - 1] : 0;
        const int se = east ? num[i + h][j][L - 1] : 0;
        const int ne = north && east ? num[i + h][j + h][L - 1] : 0;
        if (sw <= 0 && nw <= 0 && se <= 0 && ne <= 0) continue;
        const int n = nextCell(last);
        num[i][j][L] = n;
        newLevelCell(n);
        for (int child : {sw, nw, ne, se})
          if (child > 0) MGSCpoint[child][0] = n;
        MGSCpoint[n][1] = sw;
        MGSCpoint[n][2] = nw;
        MGSCpoint[n][3] = ne;
        MGSCpoint[n][4] = se;
        // West and south links where the children face each other; east and north links are
        // made from the cell east or north when it is made.
        if (i - s > 0) {
          const int w = num[i - s][j][L];
          if (w > 0 && ((sw > 0 && MGSCpoint[w][4] > 0) || (nw > 0 && MGSCpoint[w][3] > 0))) {
            Ccellw[n] = w;
            Ccelle[w] = n;
          }
        }
        if (j - s > 0) {
          const int v = num[i][j - s][L];
          if (v > 0 && ((sw > 0 && MGSCpoint[v][2] > 0) || (se > 0 && MGSCpoint[v][3] > 0))) {
            Ccells[n] = v;
            Ccelln[v] = n;
          }
        }
      }
  }
}

int parentOf(int c) { return c > 0 ? MGSCpoint[c][0] : 0; }

// The levels follow the connections between blocks: the two cells of a connection surface
// link their level cells on every level, up to where both have no parent.
void linksAcrossConnections() {
  for (int k = 1; k <= NoConnFlate; ++k) {
    const int f = connFlate[k][0];
    int c1 = Fcell1[f], c2 = Fcell2[f];
    if (Ccellb[c1] != 0 && Ccellb[c2] != 0) continue;
    Table1<int>* side1 = sideArray(Ftype1[f]);
    Table1<int>* side2 = sideArray(Ftype2[f]);
    for (int L = 1; L <= NoMGlevels; ++L) {
      const int p1 = parentOf(c1), p2 = parentOf(c2);
      if (side1 && p1 > 0) (*side1)[p1] = p2;
      if (side2 && p2 > 0) (*side2)[p2] = p1;
      if (p1 == 0 && p2 == 0) break;
      c1 = p1;
      c2 = p2;
    }
  }
}

}  // namespace

void AlgMGMake() {
  const int levels = levelCount();
  checkRoom(levels);
  NoMGlevels = levels;
  const int B = NoBlocks;

  // Parents of the grid cells are given afresh: a cell outside every level (a dry or mud
  // column, a block that does not qualify) has none.
  for (int c = 0; c <= NoCells; ++c) MGSCpoint[c][0] = 0;
  for (int i = 0; i < static_cast<int>(num.dim(0)); ++i)
    for (int j = 0; j < static_cast<int>(num.dim(1)); ++j)
      for (int k = 0; k < static_cast<int>(num.dim(2)); ++k) num[i][j][k] = 0;

  GridBlock& one = block[B + 1];
  one.cellstart = NoCells + 1;
  one.surfstart = NoSurfaces + 1;
  one.pointstart = NoPoints;
  one.nestlevel = 0;
  one.flag2D = 2;
  one.skip = 2;
  one.inwork = 0;
  int last = NoCells;
  levelOne(last);
  levelOneAcrossBlocks();
  one.cellend = last;
  one.surfend = NoSurfaces;
  one.pointend = NoPoints;

  for (int L = 2; L <= NoMGlevels - 1; ++L) {
    GridBlock& r = block[B + L];
    r.cellstart = last + 1;
    coarseLevel(L, last);
    r.cellend = last;
    r.skip = L + 1;
    r.flag2D = 2;
  }

  // A coarsest level of one cell adds nothing to the levels below it.
  GridBlock& top = block[B + NoMGlevels - 1];
  if (top.cellstart == top.cellend) {
    --NoMGlevels;
    top.flag2D = 0;
    top.skip = 0;
  }

  linksAcrossConnections();

  for (int b = 1; b <= NoBlocks; ++b)
    if (block[b].j2 >= ynumber) blockExtent();
}

namespace levels {

Level level(int L) {
  const GridBlock& r = block[NoBlocks + L];
  return {r.cellstart, r.cellend, r.skip};
}

bool built() {
  if (NoMGlevels < 2 || NoBlocks + NoMGlevels - 1 > kLastRecord) return false;
  const GridBlock& one = block[NoBlocks + 1];
  if (one.flag2D != 2 || one.skip != 2 || one.cellstart != NoCells + 1) return false;
  const int last = block[NoBlocks + NoMGlevels - 1].cellend;
  return last < MaxCeller && static_cast<std::size_t>(last) < Cap.size() && MGSCpoint &&
         MGSCpoint.dim(1) >= 5;
}

void noteMissing(const char* what) {
  if (FlagNotedNoLevels != 0) return;
  FlagNotedNoLevels = 1;
  logf("Warning: the multigrid levels of F 168 are not built for this grid; %s runs without "
       "them\n",
       what);
}

void prepare() {
  Cae[0] = Caw[0] = Can[0] = Cas[0] = 0.0;
  const int first = level(1).first, last = level(NoMGlevels - 1).last;
  if (Caee && Caww && Cann && Cass)
    for (int c = first; c <= last; ++c) Caee[c] = Caww[c] = Cann[c] = Cass[c] = 0.0;
  if (Cncelle && Cncellw && Cncelln && Cncells)
    for (int c = first; c <= last; ++c) Cncelle[c] = Cncellw[c] = Cncelln[c] = Cncells[c] = 0;
}

double sumChildCouplings(int c, double factor) {
  const int sw = MGSCpoint[c][1], nw = MGSCpoint[c][2], ne = MGSCpoint[c][3],
            se = MGSCpoint[c][4];
  Caw[c] = factor * (Caw[sw] + Caw[nw]);
  Cas[c] = factor * (Cas[sw] + Cas[se]);
  Can[c] = factor * (Can[nw] + Can[ne]);
  Cae[c] = factor * (Cae[ne] + Cae[se]);
  return Caw[c] + Can[c] + Cas[c] + Cae[c];
}

void smoothDown(int from, int sweeps) {
  for (int L = from; L >= 2; --L) {
    const Level v = level(L);
    if (v.skip <= 2) continue;
    Gauss2D(v.first, v.last, sweeps);
    for (int c = v.first; c <= v.last; ++c)
      for (int q = 1; q <= 4; ++q)
        if (const int k = MGSCpoint[c][q]; k > 0) Cf[k] = Cf[c];
  }
}

}  // namespace levels

}  // namespace qorva
