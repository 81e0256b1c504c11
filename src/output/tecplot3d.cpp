// The 3-D result as a Tecplot finite-element file: the grid points as nodes with the velocity
// and the G 24 variables averaged from the cells around them, then the corners of every cell.
// Reads Px, Py, Pz, Cpoint1..8, the cell links, zval, xval, yval, Surfaces, the block table,
// connFlate, TecStruc, bnodem, DischargeArray, FlagViewNested, Title and stimet; writes Pi, Pj
// and Pc.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "output/output.h"
#include "output/table_get.h"
#include "output/values.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/points.h"
#include "state/safe_file.h"
#include "state/status.h"
#include "state/structured.h"

namespace qorva {

namespace {

using namespace output_detail;

std::string label(const OutputVariable& r) {
  const int n = r.level, s = r.sizeNo;
  switch (r.variable) {
    case 'A': return "Reynolds number";
    case 'B': return "Bed slope";
    case 'C': return "Secondary current angle";
    case 'D': return "Depth-averaged velocity";
    case 'E': return strf("Residual epsilon %d", n);
    case 'F': return "Froude number";
    case 'H': return strf("Residual horizontal velocity %d", n);
    case 'I': return strf("Eddy-viscosity-vert %d", n);
    case 'K': return strf("Residual k %d", n);
    case 'L': return "Top sediment layer thickness";
    case 'O': return "Potential bed concentration";
    case 'P': return strf("Porosity %d", n);
    case 'R': return strf("Residual pressure %d", n);
    case 'V':
    case 'u': return "Horiz. velocity";
    case 'W': return strf("Residual vertical velocity %d", n);
    case 'a': return percentileTag() + strf(" layer %d", bnodem + 1);
    case 'b': return "Bed form height";
    case 'c': return strf("Sediment conc. lev %d size %d", n, s);
    case 'd': return strf("Eddy-viscosity-horiz %d", n);
    case 'e': return "Epsilon";
    case 'f': return strf("Bed sediment fraction, size %d", s);
    case 'g': return "Water_level";
    case 'h': return "Roughness/Depth";
    case 'i': return "No_cells vertical direction";
    case 'k': return strf("Turbulent k %d", n);
    case 'l': return "Bed sediment thickness";
    case 'm': return "Bed_shear";
    case 'p': return strf("Pressure_%d", n);
    case 'q': return strf("Water Quality %d", n);
    case 'r': return "Roughness";
    case 's': return "Bed movement";
    case 't': return "Sediment thickness";
    case 'v': return "Water level";
    case 'w': return strf("Uz %d", n);
    case 'x': return "Temperature gradient";
    case 'y': return "Depth";
    case 'z': return "Bed level";
    default: return "Error";
  }
}

bool cornerLetter(char letter) {
  return letter == 's' || letter == 't' || letter == 'v' || letter == 'y' || letter == 'z';
}

// The value of record r in cell c; the bed layer of every layer letter is bnodem, left by the
// last plan view.
double cellRecordValue(const OutputVariable& r, int c) {
  const int b = geti(Cbed, c);
  switch (r.variable) {
    case 'X': return gridPointValue('X', geti(Bkooi, b), geti(Bkooj, b));
    case 'q': return cellValue('q', 0, c, b, bnodem, 0);
    case 'M':
    case 'S':
    case 'g':
    case 'n': return 0.0;
    default: return cellValue(r.variable, r.extraInt, c, b, bnodem, r.sizeNo);
  }
}



// The nodes, cells and the shift of the point numbers that F 268 chooses.
struct Range {
  int firstNode = 1, lastNode = 0;
  int firstCell = 1, lastCell = 0;
  int shift = 0;
  int baseEnd = 0;  // nodes above it belong to nested blocks
};

int within(int v, std::size_t size) {
  return std::clamp<long long>(v, 0, static_cast<long long>(size) - 1);
}

Range chooseRange() {
  Range r;
  const int points = within(NoPoints, std::min({Px.size(), Pc.size(), Pi.size()}));
  const int cells = within(NoCells, Cpoint1.size());
  int lastBase = 0;
  for (int b = 1; b <= NoBlocks; ++b)
    if (block[b].nestlevel == 0) lastBase = b;
  r.baseEnd = lastBase > 0 ? within(block[lastBase].pointend, Px.size()) : points;
  r.lastNode = points;
  r.lastCell = cells;
  if (FlagViewNested == 1 && lastBase > 0) {
    r.lastNode = std::min(r.baseEnd, points);
    r.lastCell = std::min(within(block[lastBase].cellend, Cpoint1.size()), cells);
  } else if (FlagViewNested == 2) {
    int last = 0, first = 0;
    for (int b = 1; b <= NoBlocks; ++b)
      if (block[b].nestlevel > 0) {
        last = b;
        if (b == 1 || block[b - 1].nestlevel == 0) first = b;
      }
    if (last > 0) {
      r.firstNode = std::max(1, block[first].pointstart);
      r.lastNode = std::min(block[last].pointend, points);
      r.firstCell = std::max(1, block[first].cellstart);
      r.lastCell = std::min(block[last].cellend, cells);
      if (r.firstCell <= r.lastCell) r.shift = Cpoint1[r.firstCell] - 1;
    }
  }
  // Other F 268 values show the whole grid.
  return r;
}

// The cells around node p that have its matching point at the corners the column expects.
void nodeCells(int p, std::vector<int>& cells) {
  cells.clear();
  const int q = Pc[p], i = Pi[p], j = Pj[p];
  // North-east, south-west, north-west, south-east of the grid point, with their corners.
  const int ci[4] = {i + 1, i, i, i + 1}, cj[4] = {j + 1, j, j + 1, j};
  const Table1<int>* lower[4] = {&Cpoint1, &Cpoint3, &Cpoint2, &Cpoint4};
  const Table1<int>* upper[4] = {&Cpoint5, &Cpoint7, &Cpoint6, &Cpoint8};
  int c0[4];
  for (int m = 0; m < 4; ++m) c0[m] = columnBottom(ci[m], cj[m]);
  if (NoBlocks > 1) {
    // A column of another block is reached from the diagonally opposite column.
    const auto link = [](const Table1<int>& t, int c) { return isGridCell(c) ? t[c] : 0; };
    const auto step = [&](const Table1<int>& a, const Table1<int>& b, int x) {
      return link(a, link(b, x));
    };
    const int sw = c0[1], ne = c0[0], se = c0[3], nw = c0[2];
    if (c0[0] == 0) c0[0] = step(Ccelle, Ccelln, sw);
    if (c0[1] == 0) {
      c0[1] = step(Ccellw, Ccells, ne);
      if (c0[1] == 0) c0[1] = step(Ccells, Ccellw, ne);
    }
    if (c0[2] == 0) {
      c0[2] = step(Ccellw, Ccelln, se);
      if (c0[2] == 0) c0[2] = step(Ccelln, Ccellw, se);
    }
    if (c0[3] == 0) {
      c0[3] = step(Ccelle, Ccells, nw);
      if (c0[3] == 0) c0[3] = step(Ccells, Ccelle, nw);
    }
  }
  for (int m = 0; m < 4; ++m)
    upColumn(c0[m], [&](int c) {
      if ((*lower[m])[c] == q || (*upper[m])[c] == q) cells.push_back(c);
    });
}

// The grid points of the blocks sorted by x, to find the nearest ones to a
// node without scanning them all; `order` is the place in the i-then-j scan, which decides
// between equally near points.
struct GridPoint {
  double x, y;
  int i, j;
  long long order;
};

// Only the grid lines of the blocks count: the spare lines of G 1 lie at the origin with no
// levels, and would pull the nodes near it towards 0.
std::vector<GridPoint> gridPoints() {
  std::vector<GridPoint> g;
  std::vector<char> inBlock(static_cast<std::size_t>(xnumber + 1) * (ynumber + 1), 0);
  for (int b = 1; b <= NoBlocks; ++b)
    for (int i = std::max(1, block[b].i1 - 1); i <= std::min(xnumber, block[b].i2); ++i)
      for (int j = std::max(1, block[b].j1 - 1); j <= std::min(ynumber, block[b].j2); ++j)
        inBlock[static_cast<std::size_t>(i) * (ynumber + 1) + j] = 1;
  long long order = 0;
  for (int i = 1; i <= xnumber; ++i)
    for (int j = 1; j <= ynumber; ++j, ++order)
      if (inBlock[static_cast<std::size_t>(i) * (ynumber + 1) + j] && isGridPoint(i, j))
        g.push_back({xAt(i, j), yAt(i, j), i, j, order});
  std::sort(g.begin(), g.end(), [](const GridPoint& a, const GridPoint& b) { return a.x < b.x; });
  return g;
}

// The nearest grid point to (x, y) in the distance |dx| + |dy|, the first in scan order of
// equally near ones, leaving out the point of order `skip`; -1 when there is none.
int nearest(const std::vector<GridPoint>& g, double x, double y, long long skip, double& d) {
  d = std::numeric_limits<double>::infinity();
  int best = -1;
  const auto consider = [&](int k) {
    const GridPoint& p = g[k];
    if (p.order == skip) return;
    const double e = std::fabs(p.x - x) + std::fabs(p.y - y);
    if (e < d || (e == d && best >= 0 && p.order < g[best].order)) {
      d = e;
      best = k;
    }
  };
  const int n = static_cast<int>(g.size());
  const int start = static_cast<int>(
      std::lower_bound(g.begin(), g.end(), x, [](const GridPoint& p, double v) { return p.x < v; }) -
      g.begin());
  for (int k = start; k < n && std::fabs(g[k].x - x) <= d; ++k) consider(k);
  for (int k = start - 1; k >= 0 && std::fabs(g[k].x - x) <= d; --k) consider(k);
  return best;
}

// The corner letter at node (x, y): the nearest grid point's value, or between the two
// nearest by distance when the node lies on none.
double cornerValue(const std::vector<GridPoint>& g, char letter, double x, double y) {
  double d1 = 0, d2 = 0;
  const int k1 = nearest(g, x, y, -1, d1);
  if (k1 < 0) return 0.0;
  const double v1 = gridPointValue(letter, g[k1].i, g[k1].j);
  if (d1 < 0.001) return v1;
  const int k2 = nearest(g, x, y, g[k1].order, d2);
  if (k2 < 0) return v1;
  const double w = d1 / (d1 + d2);
  return (1 - w) * v1 + w * gridPointValue(letter, g[k2].i, g[k2].j);
}

std::string fileName() {
  if (numberedResults())
    return numberedName("tec3_", {"0000%d.dat", "000%d.dat", "00%d.dat", "0%d.dat", "%d.dat"});
  return FlagMPI != 0 ? strf("tecplfe.mpi%d.dat", FlagMPI) : std::string("tecplfe.dat");
}

void fail(const std::string& name, const OutFile& file) {
  mc_message = strf("cannot open file '%s' ", name.c_str());
  failWrite(name, file.reason().c_str(), -3);
}

}  // namespace

void print_tecplot3d(int) {
  const std::string name = fileName();
  OutFile file(name);
  std::FILE* f = file.get();
  if (!f) fail(name, file);

  const int count = TecStrucNo < static_cast<int>(TecStruc.size()) ? TecStrucNo : 0;
  const Range range = chooseRange();
  setPointIndices(range.lastNode, 2, xnumber, 2, ynumber);
  setMatchingPoints(range.lastNode);
  bool corners = false;
  for (int r = 0; r < count; ++r) corners = corners || cornerLetter(TecStruc[r].variable);
  const std::vector<GridPoint> grid = corners ? gridPoints() : std::vector<GridPoint>();

  const int nodes = std::max(0, range.lastNode - range.firstNode + 1);
  const int elements = std::max(0, range.lastCell - range.firstCell + 1);
  std::fprintf(f, "TITLE = \"FE_%s %lf sec. \"\n", caseTitle().c_str(), stimet);
  std::fprintf(f, "VARIABLES=\"X1\",\"X2\",\"X3\",\"Ux\",\"Uy\",\"No\"");
  for (int r = 0; r < count; ++r)
    std::fprintf(f, ",\"%s\"", oneWord(label(TecStruc[r])).c_str());
  std::fprintf(f, "\n");
  std::fprintf(f, "ZONE T=\"Discharge: %lf l/s, time: %lf sec\" N=%d,E=%d,F=FEPOINT, ET=BRICK\n",
               DischargeArray[1], stimet, nodes, elements);

  std::vector<int> cells;
  cells.reserve(16);
  std::vector<double> sums(static_cast<std::size_t>(count), 0.0);
  for (int p = range.firstNode; p <= range.lastNode; ++p) {
    nodeCells(p, cells);
    const double n = cells.empty() ? 1.0 : static_cast<double>(cells.size());
    double u = 0, v = 0;
    std::fill(sums.begin(), sums.end(), 0.0);
    for (int c : cells) {
      u += Cxvel[c];
      v += Cyvel[c];
      for (int r = 0; r < count; ++r)
        if (!cornerLetter(TecStruc[r].variable)) sums[r] += cellRecordValue(TecStruc[r], c);
    }
    std::fprintf(f, "%lf %lf %lf %lf %lf %d", Px[p], Py[p], Pz[p], u / n, v / n,
                 p > range.baseEnd ? 1 : 0);
    for (int r = 0; r < count; ++r) {
      const char letter = TecStruc[r].variable;
      const double value = cornerLetter(letter) ? cornerValue(grid, letter, Px[p], Py[p])
                                                : sums[r] / n;
      std::fprintf(f, " %le", value);
    }
    std::fprintf(f, "\n");
  }
  for (int c = range.firstCell; c <= range.lastCell; ++c)
    std::fprintf(f, "%d %d %d %d %d %d %d %d\n", Cpoint1[c] - range.shift, Cpoint2[c] - range.shift,
                 Cpoint3[c] - range.shift, Cpoint4[c] - range.shift, Cpoint5[c] - range.shift,
                 Cpoint6[c] - range.shift, Cpoint7[c] - range.shift, Cpoint8[c] - range.shift);
  if (!file.commit()) fail(name, file);
}

}  // namespace qorva
