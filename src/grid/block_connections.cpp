// Block connections: the columns on the edges of touching blocks are linked through their two
// coincident side surfaces, which both stay in the grid and are paired in connFlate; the F 348
// joint links by cell heights and balances its fluxes. Reads Px, Py, Pz, the cell links and
// surfaces, block, zval, xval, yval, UMethod, ConnectLimit, UnevenConnect, MaxConnFlate;
// writes Ccells..Ccellw, Fcell1, Fcell2, connFlate, NoConnFlate and Fflux at the F 348 joint.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <vector>

#include "grid/columns.h"
#include "grid/grid.h"
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

// Lateral sides 1 south, 2 east, 3 north, 4 west (entry 0 unused).
Table1<int>& neighbour(int s) {
  Table1<int>* t[5] = {&Ccells, &Ccells, &Ccelle, &Ccelln, &Ccellw};
  return *t[s];
}
Table1<int>& surface(int s) {
  Table1<int>* t[5] = {&Cflates, &Cflates, &Cflatee, &Cflaten, &Cflatew};
  return *t[s];
}
// The two bottom corners of a side, in the order the joining pass hands them over.
int cornerA(int s, int c) {
  switch (s) {
    case 1: return Cpoint1[c];
    case 2: return Cpoint2[c];
    case 3: return Cpoint3[c];
    default: return Cpoint4[c];
  }
}
int cornerB(int s, int c) {
  switch (s) {
    case 1: return Cpoint2[c];
    case 2: return Cpoint3[c];
    case 3: return Cpoint4[c];
    default: return Cpoint1[c];
  }
}

// An east or north surface keeps its own cell first, as the cell makers create it.
bool ownCellFirst(int s) { return s == 2 || s == 3; }

// Links cell x across its side s to cell y: the neighbour entry and both slots of x's surface.
// Returns that surface.
int linkSide(int x, int s, int y) {
  neighbour(s)[x] = y;
  const int f = surface(s)[x];
  if (ownCellFirst(s)) {
    Fcell1[f] = x;
    Fcell2[f] = y;
  } else {
    Fcell1[f] = y;
    Fcell2[f] = x;
  }
  return f;
}

// Takes back the link of cell x across side s: only x's own cell stays on its surface.
void unlinkSide(int x, int s) {
  neighbour(s)[x] = 0;
  const int f = surface(s)[x];
  (ownCellFirst(s) ? Fcell2 : Fcell1)[f] = 0;
}

// The surface of the west or south cell comes first in a pair.
void writePair(int row, int sf, int fs, int sg) {
  connFlate[row][0] = ownCellFirst(fs) ? sf : sg;
  connFlate[row][1] = ownCellFirst(fs) ? sg : sf;
}

// Vertical methods whose joined columns may end at different levels; their two bottom cells
// are joined to each other.
bool joinsBottomCells(int m) { return (m >= 8 && m <= 13) || (m >= 30 && m <= 40) || m >= 100; }

// Rows 1..MaxConnFlate-1 of connFlate exist (fewer when the table was made smaller).
int lastPairRow() {
  const long long rows =
      std::min<long long>(MaxConnFlate, static_cast<long long>(connFlate.dim(0)));
  return static_cast<int>(rows) - 1;
}

// The pair table is full: the count stays on the last row that exists, so nothing reads or
// writes past the table, and the caller learns that this joint was not recorded.
int pairTableFull() {
  if (!appendToLog(strf("Error, increase 5th integer on F 65 data set, now at: %d\n", NoConnFlate + 1)))
    mc_message = "cannot open file 'boogie' ";
  return -47;
}

// ---------------------------------------------------------------------------------------------
// The F 348 joint: side A offers its east surfaces and neighbours, side B its west ones.

struct JointSide {
  int b;     // block
  int i;     // column index
  int line;  // grid line of the edge along which the positions are measured
};

void jointSides(JointSide& a, JointSide& b) {
  if (UnevenConnect == 1) {
    a = {1, block[1].i2, block[1].i2};
    b = {2, block[2].i1, block[2].i1 - 1};
  } else {
    a = {2, block[2].i1, block[2].i1};
    b = {1, block[1].i2, block[1].i2 - 1};
  }
}

// Arc length from the start of the block's side to the middle of each column's edge, for
// j = j1..j2 of the block (index 0 is j1).
std::vector<double> edgePositions(const JointSide& s) {
  std::vector<double> pos;
  double run = 0;
  for (int j = block[s.b].j1; j <= block[s.b].j2; ++j) {
    const double d = std::hypot(xval[s.line][j] - xval[s.line][j - 1],
                                yval[s.line][j] - yval[s.line][j - 1]);
    pos.push_back(run + 0.5 * d);
    run += d;
  }
  return pos;
}

std::vector<int> columnCells(int i, int j) {
  std::vector<int> cells;
  upColumn(columnBottom(i, j), [&](int c) { cells.push_back(c); });
  return cells;
}

// Height of the middle of a cell's face at the joint, from its own corner points: the east
// face (corners 2, 3, 6, 7) or the west face (corners 1, 4, 5, 8). The structured levels
// between bed and surface are not kept by every vertical method, the corner points always.
double eastFaceHeight(int c) {
  return 0.25 * (Pz[Cpoint2[c]] + Pz[Cpoint3[c]] + Pz[Cpoint6[c]] + Pz[Cpoint7[c]]);
}
double westFaceHeight(int c) {
  return 0.25 * (Pz[Cpoint1[c]] + Pz[Cpoint4[c]] + Pz[Cpoint5[c]] + Pz[Cpoint8[c]]);
}

// Index of the entry of h[0..n-1] nearest to z, the first one on ties.
std::size_t nearest(const std::vector<double>& h, std::size_t n, double z) {
  double best = 1e20;
  std::size_t k = 0;
  for (std::size_t m = 0; m < n; ++m) {
    const double d = std::fabs(h[m] - z);
    if (d < best) {
      best = d;
      k = m;
    }
  }
  return k;
}

// F 348 needs the two blocks it joins.
bool jointBlocksExist() { return NoBlocks >= 2; }

}  // namespace

int checkXY(double xa, double xb, double xc, double xd, double ya, double yb, double yc,
            double yd) {
  auto same = [](double x1, double y1, double x2, double y2) {
    return std::fabs(x1 - x2) < ConnectLimit && std::fabs(y1 - y2) < ConnectLimit;
  };
  if (same(xa, ya, xc, yc) && same(xb, yb, xd, yd)) return 1;
  if (same(xa, ya, xd, yd) && same(xb, yb, xc, yc)) return 2;
  return 0;
}

int Connect(int a, int b, int c, int s) {
  if (s < 1 || s > 4 || c < 1 || c > NoCells) return 0;
  const double xa = Px[a], ya = Py[a], xb = Px[b], yb = Py[b];

  int f = 0, fs = 0;
  const int first = std::max(WCStart, 1), last = std::min(WCEnd, NoCells);
  for (int d = first; d <= last && f == 0; ++d) {
    if (d == c || Ccellt[d] != 0) continue;
    for (int t = 1; t <= 4; ++t) {
      if (neighbour(t)[d] != 0) continue;
      const int p = cornerA(t, d), q = cornerB(t, d);
      if (checkXY(xa, xb, Px[p], Px[q], ya, yb, Py[p], Py[q]) != 0) {
        f = d;
        fs = t;
        break;
      }
    }
  }
  if (f == 0) return 0;

  // Both columns from the top down, cell by cell.
  int g = c;
  for (;;) {
    const int sf = linkSide(f, fs, g);
    const int sg = linkSide(g, s, f);
    if (NoConnFlate + 1 > lastPairRow()) return pairTableFull();
    ++NoConnFlate;
    writePair(NoConnFlate, sf, fs, sg);
    if (Ccellb[f] == 0 || Ccellb[g] == 0) break;
    f = Ccellb[f];
    g = Ccellb[g];
  }

  if (!joinsBottomCells(UMethod)) return 1;
  if (Ccellb[f] == 0 && Ccellb[g] == 0) return 1;
  // The longer column gives up the link of its current cell and joins its bottom cell to the
  // bottom cell of the shorter one instead; that pair takes the last row.
  if (Ccellb[f] != 0) {
    unlinkSide(f, fs);
    f = bottomOf(f);
  } else {
    unlinkSide(g, s);
    g = bottomOf(g);
  }
  const int sf = linkSide(f, fs, g);
  const int sg = linkSide(g, s, f);
  writePair(NoConnFlate, sf, fs, sg);
  return 1;
}

void connectBlocks(int firstCell, int lastCell) {
  const int first = std::max(firstCell, 1), last = std::min(lastCell, NoCells);
  for (int c = first; c <= last; ++c) {
    if (Ccellt[c] != 0) continue;
    for (int s = 1; s <= 4; ++s) {
      if (neighbour(s)[c] != 0) continue;
      // Joints past the pair table would be lost to the metric: the run stops here.
      if (Connect(cornerA(s, c), cornerB(s, c), c, s) == -47) endRun(-47);
    }
  }
}

void connectUneven() {
  if (UnevenConnect <= 0) return;
  if (!jointBlocksExist())
    failf(1, "Error: F 348 joins grid blocks 1 and 2, but the grid has %d block(s)\n", NoBlocks);
  JointSide A, B;
  jointSides(A, B);
  const std::vector<double> sA = edgePositions(A), sB = edgePositions(B);
  if (sA.empty() || sB.empty()) return;

  for (std::size_t ja = 0; ja < sA.size(); ++ja) {
    const int j = block[A.b].j1 + static_cast<int>(ja);
    const int jb = block[B.b].j1 + static_cast<int>(nearest(sB, sB.size(), sA[ja]));
    const std::vector<int> cellsA = columnCells(A.i, j), cellsB = columnCells(B.i, jb);
    // A single cell leaves the other column without a candidate below its top: both columns
    // then keep the links of the joining pass.
    if (cellsA.size() < 2 || cellsB.size() < 2) continue;
    const std::size_t nA = cellsA.size() - 1, nB = cellsB.size() - 1;  // below the top cells
    std::vector<double> hA(nA), hB(nB);
    for (std::size_t m = 0; m < nA; ++m) hA[m] = eastFaceHeight(cellsA[m]);
    for (std::size_t m = 0; m < nB; ++m) hB[m] = westFaceHeight(cellsB[m]);
    for (std::size_t m = 0; m < nA; ++m) {
      const int a = cellsA[m], b = cellsB[nearest(hB, nB, hA[m])];
      Ccelle[a] = b;
      Fcell2[Cflatee[a]] = b;
    }
    for (std::size_t m = 0; m < nB; ++m) {
      const int b = cellsB[m], a = cellsA[nearest(hA, nA, hB[m])];
      Ccellw[b] = a;
      Fcell1[Cflatew[b]] = a;
    }
  }
}

void correctFluxUneven() {
  if (UnevenConnect <= 0 || !jointBlocksExist() || !Fflux) return;
  JointSide A, B;
  jointSides(A, B);
  auto sum = [](const JointSide& s, const Table1<int>& faces) {
    double q = 0;
    for (int j = block[s.b].j1; j <= block[s.b].j2; ++j)
      upColumn(columnBottom(s.i, j), [&](int c) { q += Fflux[faces[c]]; });
    return q;
  };
  const double qa = sum(A, Cflatee), qb = sum(B, Cflatew);
  // Without flux on one side there is no factor that brings it to the mean; both stay.
  if (std::fabs(qa) < 1e-20 || std::fabs(qb) < 1e-20) return;
  const double q = (qa + qb) * 0.5;
  auto scale = [](const JointSide& s, const Table1<int>& faces, double factor) {
    for (int j = block[s.b].j1; j <= block[s.b].j2; ++j)
      upColumn(columnBottom(s.i, j), [&](int c) { Fflux[faces[c]] *= factor; });
  };
  scale(A, Cflatee, q / qa);
  scale(B, Cflatew, q / qb);
}

}  // namespace qorva
