// The coarse grids of the grid-sequenced flow solution (F 152): level 1 has one depth-spanning
// cell per wet water column, each further level one cell per complete group of 2 x 2 cells
// below. Unlike the solver levels these are real cells, with corner points of the grid,
// surfaces and block records, joined to other blocks through Connect. Reads MGSNo, the block
// table, zval[..][..][0], Ccellt and the corner points of the grid cells; writes the level
// cells (corners, neighbours, surfaces), their surfaces, MGSCpoint, num, CflagDim, Cisolve,
// Cjsolve, the block records, NoBlocks, NoCells, NoSurfaces, NoConnect, NoConnFlate, WCStart,
// WCEnd.
#include <algorithm>
#include <cstddef>

#include "grid/columns.h"
#include "grid/grid.h"
#include "solvers/solvers.h"
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

constexpr int kLastRecord = static_cast<int>(decltype(block)::size()) - 1;

// The messages name the level: level 1 with five tabs before the counts, the others six.
[[noreturn]] void tooFewSurfaces(int L) {
  failf(1,
        "Error: Unstructured arrays are too small. Increase NoSurfaces with the F 65 data "
        "set.\n %sNoPoints, NoSurfaces, NoCells = %d %d %d\n",
        L == 1 ? "\t\t\t\t\t" : "\t\t\t\t\t\t", NoPoints, NoSurfaces, NoCells);
}

[[noreturn]] void tooFewCells() {
  failf(1,
        "Error: Unstructured arrays are too small. Increase cell numbers in the F 65 data "
        "set.\n \t\t\t\tNoPoints, NoSurfaces, NoCells = %d %d %d\n",
        NoPoints, NoSurfaces, NoCells);
}

// The next cell number; it and the cells' arrays must stay below MaxCeller - 2.
int newCell() {
  if (NoCells >= MaxCeller - 2 || static_cast<std::size_t>(NoCells) + 1 >= Ccelle.size())
    tooFewCells();
  const int n = ++NoCells;
  // A level cell starts with no neighbours and no surfaces; the sides are made below.
  Ccelle[n] = Ccellw[n] = Ccelln[n] = Ccells[n] = Ccellt[n] = Ccellb[n] = 0;
  Cflatee[n] = Cflatew[n] = Cflaten[n] = Cflates[n] = Cflatet[n] = Cflateb[n] = 0;
  CflagDim[n] = 0;
  MGSCpoint[n][0] = 0;
  return n;
}

// num of level L at (i, j); 0 outside the table (groups at the end of the index range).
int numAt(int i, int j, int L) {
  if (i < 0 || j < 0 || static_cast<std::size_t>(i) >= num.dim(0) ||
      static_cast<std::size_t>(j) >= num.dim(1))
    return 0;
  return num[i][j][L];
}

int surface(int L) {
  if (NoSurfaces + 1 >= MaxFlater - 1 || static_cast<std::size_t>(NoSurfaces) + 1 >= Fcell1.size())
    tooFewSurfaces(L);
  return ++NoSurfaces;
}

void setSurface(int s, int c1, int c2, int p1, int p2, int p3, int p4) {
  Fcell1[s] = c1;
  Fcell2[s] = c2;
  Fpoint1[s] = p1;
  Fpoint2[s] = p2;
  Fpoint3[s] = p3;
  Fpoint4[s] = p4;
}

// The six sides of cell n; a lateral side that its neighbour has made already keeps it.
void makeSurfaces(int n, int L) {
  const int e = Ccelle[n], w = Ccellw[n], so = Ccells[n], no = Ccelln[n];
  if (Cflatee[n] == 0) {
    const int s = surface(L);
    Cflatee[n] = s;
    if (e > 0) Cflatew[e] = s;
    setSurface(s, n, e, Cpoint2[n], Cpoint3[n], Cpoint7[n], Cpoint6[n]);
  }
  if (Cflatew[n] == 0) {
    const int s = surface(L);
    Cflatew[n] = s;
    if (w > 0) Cflatee[w] = s;
    setSurface(s, w, n, Cpoint1[n], Cpoint4[n], Cpoint8[n], Cpoint5[n]);
  }
  if (Cflates[n] == 0) {
    const int s = surface(L);
    Cflates[n] = s;
    if (so > 0) Cflaten[so] = s;
    setSurface(s, so, n, Cpoint2[n], Cpoint1[n], Cpoint5[n], Cpoint6[n]);
  }
  if (Cflaten[n] == 0) {
    const int s = surface(L);
    Cflaten[n] = s;
    if (no > 0) Cflates[no] = s;
    setSurface(s, n, no, Cpoint3[n], Cpoint4[n], Cpoint8[n], Cpoint7[n]);
  }
  int s = surface(L);
  Cflateb[n] = s;
  setSurface(s, 0, n, Cpoint1[n], Cpoint2[n], Cpoint3[n], Cpoint4[n]);
  s = surface(L);
  Cflatet[n] = s;
  setSurface(s, n, 0, Cpoint5[n], Cpoint6[n], Cpoint7[n], Cpoint8[n]);
}

GridBlock& openLevel(int record, int L) {
  if (record > kLastRecord)
    failf(1,
          "Error: the %d grid-sequencing levels of F 152 do not fit in the block table after "
          "the %d blocks of the grid (%d records)\n",
          MGSNo - 1, NoBlocks0, kLastRecord);
  GridBlock& r = block[record];
  r = GridBlock{};
  r.cellstart = NoCells + 1;
  r.surfstart = NoSurfaces + 1;
  r.pointstart = r.pointend = NoPoints;
  r.skip = L + 1;
  return r;
}

// Last cell and surface of the level; the working range becomes its cells, and the open sides
// join the level cells of other blocks.
void closeLevel(GridBlock& r) {
  r.cellend = NoCells;
  r.surfend = NoSurfaces;
  r.pointend = NoPoints;
  WCStart = r.cellstart;
  WCEnd = r.cellend;
  if (NoConnect <= 0) return;
  for (int n = r.cellstart; n <= r.cellend; ++n) {
    const int sides[4][3] = {{Cpoint1[n], Cpoint2[n], 1},
                             {Cpoint2[n], Cpoint3[n], 2},
                             {Cpoint3[n], Cpoint4[n], 3},
                             {Cpoint4[n], Cpoint1[n], 4}};
    const Table1<int>* nb[4] = {&Ccells, &Ccelle, &Ccelln, &Ccellw};
    for (int s = 0; s < 4; ++s) {
      if ((*nb[s])[n] != 0) continue;
      // A joint past the pair table would be lost to the level's flow.
      if (Connect(sides[s][0], sides[s][1], n, sides[s][2]) == -47) endRun(-47);
    }
  }
}

void levelOne() {
  GridBlock& r = openLevel(NoBlocks0 + 1, 1);
  const bool tops = MGSNo >= 3;
  for (int b = 1; b <= NoBlocks0; ++b) {
    const GridBlock& k = block[b];
    if (k.skip != 0) continue;
    for (int j = k.j1; j <= k.j2; ++j)
      for (int i = k.i1; i <= k.i2; ++i) {
        const int c = columnBottom(i, j);
        if (c == 0) continue;
        const int n = newCell();
        num[i][j][1] = n;
        MGSCpoint[n][1] = c;
        int t = c;
        upColumn(c, [&](int x) {
          MGSCpoint[x][0] = n;
          t = x;
        });
        if (tops) MGSCpoint[n][4] = t;
        Cisolve[n] = i;
        Cjsolve[n] = j;
      }
    for (int j = k.j1; j <= k.j2; ++j)
      for (int i = k.i1; i <= k.i2; ++i) {
        const int n = num[i][j][1];
        const int c = columnBottom(i, j);
        if (n <= 0 || c == 0) continue;
        const int t = topOf(c);
        Cpoint1[n] = Cpoint1[c];
        Cpoint2[n] = Cpoint2[c];
        Cpoint3[n] = Cpoint3[c];
        Cpoint4[n] = Cpoint4[c];
        Cpoint5[n] = Cpoint5[t];
        Cpoint6[n] = Cpoint6[t];
        Cpoint7[n] = Cpoint7[t];
        Cpoint8[n] = Cpoint8[t];
        Ccells[n] = num[i][j - 1][1];
        Ccelln[n] = num[i][j + 1][1];
        Ccelle[n] = num[i + 1][j][1];
        Ccellw[n] = num[i - 1][j][1];
        makeSurfaces(n, 1);
      }
  }
  NoBlocks = NoBlocks0 + 1;
  closeLevel(r);
}

void coarserLevel(int L) {
  GridBlock& r = openLevel(NoBlocks + 1, L);
  ++NoBlocks;
  const int s = 1 << (L - 1), h = 1 << (L - 2);
  for (int b = 1; b <= NoBlocks - 1; ++b) {
    const GridBlock& k = block[b];
    if (k.skip != 0) continue;
    for (int i = k.i1; i <= k.i2; i += s)
      for (int j = k.j1; j <= k.j2; j += s) {
        const int sw = numAt(i, j, L - 1), nw = numAt(i, j + h, L - 1),
                  ne = numAt(i + h, j + h, L - 1), se = numAt(i + h, j, L - 1);
        if (sw <= 0 || nw <= 0 || ne <= 0 || se <= 0) continue;
        const int n = newCell();
        num[i][j][L] = n;
        for (int child : {sw, nw, ne, se}) MGSCpoint[child][0] = n;
        MGSCpoint[n][1] = sw;
        MGSCpoint[n][2] = nw;
        MGSCpoint[n][3] = ne;
        MGSCpoint[n][4] = se;
      }
    for (int i = k.i1; i <= k.i2; i += s)
      for (int j = k.j1; j <= k.j2; j += s) {
        const int n = numAt(i, j, L);
        if (n <= 0) continue;
        const int sw = MGSCpoint[n][1], nw = MGSCpoint[n][2], ne = MGSCpoint[n][3],
                  se = MGSCpoint[n][4];
        Cpoint1[n] = Cpoint1[sw];
        Cpoint2[n] = Cpoint2[se];
        Cpoint3[n] = Cpoint3[ne];
        Cpoint4[n] = Cpoint4[nw];
        Cpoint5[n] = Cpoint5[sw];
        Cpoint6[n] = Cpoint6[se];
        Cpoint7[n] = Cpoint7[ne];
        Cpoint8[n] = Cpoint8[nw];
        Ccells[n] = numAt(i, std::max(j - s, 0), L);
        Ccelln[n] = numAt(i, std::min(j + s, ynumber + 1), L);
        Ccellw[n] = numAt(std::max(i - s, 0), j, L);
        Ccelle[n] = numAt(std::min(i + s, xnumber + 1), j, L);
        makeSurfaces(n, L);
      }
  }
  closeLevel(r);
}

void checkTables() {
  if (!MGSCpoint || MGSCpoint.dim(1) < (MGSNo >= 3 ? 5u : 2u) || !Cisolve || !Cjsolve)
    failf(1, "%s",
          "Error: the grid-sequencing levels of F 152 have no parent/child table: it was not "
          "allocated for these settings\n");
  const std::size_t planes = static_cast<std::size_t>(std::max(MGSNo, 2));
  if (num.dim(2) < planes)
    failf(1,
          "Error: the %d grid-sequencing levels of F 152 need %zu planes in the structured "
          "index table, which has %zu\n",
          MGSNo - 1, planes, num.dim(2));
  for (int b = 1; b <= NoBlocks0; ++b) {
    const GridBlock& k = block[b];
    if (k.skip != 0 || k.i1 > k.i2 || k.j1 > k.j2) continue;
    if (k.i1 < 1 || k.j1 < 1 || k.i2 > xnumber || k.j2 > ynumber)
      failf(1,
            "Error: block %d (i %d..%d, j %d..%d) lies outside the structured grid of G 1 "
            "(%d x %d)\n",
            b, k.i1, k.i2, k.j1, k.j2, xnumber, ynumber);
  }
}

}  // namespace

void MGSCoarserGridMake2D() {
  checkTables();
  NoBlocks = NoBlocks0;
  NoSurfaces = NoSurfaces0;
  NoConnect = NoConnect0;
  NoConnFlate = NoConnFlate0;
  for (std::size_t i = 0; i < num.dim(0); ++i)
    for (std::size_t j = 0; j < num.dim(1); ++j)
      for (std::size_t k = 0; k < num.dim(2); ++k) num[i][j][k] = 0;
  levelOne();
  for (int L = 2; L <= MGSNo - 1; ++L) coarserLevel(L);
}

}  // namespace qorva
