// The mud-layer block: a structured block under the water block, on the same plan points, with
// one base cell per column below the mud bottom (Surfaces plane 5) and the mud cells between
// that bottom and the water block's bed. Reads block, xval, yval, zval of the water block,
// Surfaces planes 3 and 5, Bthixolev, Bcellth, pointbed, bedOutBlock, OutBlock, F 236, F 289,
// F 339, F 504; writes the mud block's record and grid lines, ant, antlin, antmin, antmax, num,
// Surfaces planes 3, 5, 7, the cells, surfaces and points (NoCells, NoSurfaces, NoPoints),
// NoBlocks, NoBCells, SurfUpdate and the working ranges.
#include <algorithm>
#include <cmath>

#include "bed/bed_modes.h"
#include "flow/flow.h"
#include "flow/flow_modes.h"
#include "grid/cell_template.h"
#include "grid/generator.h"
#include "grid/grid.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/mud.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// Planes of Surfaces: the non-erodible level, the mud bottom and the plane cleared at the
// first build.
constexpr int kFixedBed = 3;
constexpr int kMudBottom = 5;
constexpr int kClearedPlane = 7;

struct MudWindow {
  int w;       // the water block
  int m;       // the mud block, w + 1
  int i1, i2;  // columns in i (both blocks)
  int j1, j2;  // mud columns in j
  int shift;   // mud line (i, j) stands on water line (i, j - shift)
};

MudWindow windowOf(int w) {
  const GridBlock& b = block[w];
  MudWindow mw{};
  mw.w = w;
  mw.m = w + 1;
  mw.i1 = b.i1;
  mw.i2 = b.i2;
  mw.j1 = b.j2 + 3;
  mw.j2 = 2 * b.j2 + 3 - b.j1;
  mw.shift = mw.j1 - b.j1;
  return mw;
}

double& bedOf(int i, int j) { return zval[i][j][1]; }
double& topOf(int i, int j) { return zval[i][j][znumber]; }

// Mean Bthixolev of the bed cells of the four columns around water line (i, j) that `take`
// admits; `count` returns how many took part.
template <class Take>
double meanMudLevel(int i, int j, Take take, int& count) {
  double sum = 0;
  count = 0;
  const int cols[4][2] = {{i, j}, {i + 1, j}, {i, j + 1}, {i + 1, j + 1}};
  for (const auto& c : cols) {
    const int b = pointbed[c[0]][c[1]];
    if (b < 1 || b > NoBCells || !take(b)) continue;
    sum += Bthixolev[b];
    ++count;
  }
  return sum / (count + 1e-20);
}

// Mud bottom S5 of every mud line from the mud levels of the bed cells around its water line.
void mudBottomFromLevels(const MudWindow& mw) {
  if (!Bthixolev || !pointbed) return;
  const bool narrow = mw.i1 == mw.i2 || mw.j1 == mw.j2;
  for (int j = mw.j1 - 1; j <= mw.j2; ++j) {
    const int jw = j - mw.shift;
    if (narrow) {
      for (int i = mw.i1 - 1; i <= mw.i2; ++i) {
        int n = 0;
        Surfaces[kMudBottom][i][j] = meanMudLevel(i, jw, [](int) { return true; }, n);
      }
      continue;
    }
    const bool endLine = j == mw.j1 - 1 || j == mw.j2;
    for (int i = mw.i1; i <= mw.i2 - 1; ++i) {
      int groups = 0;
      for (int di = 0; di <= 1; ++di)
        for (int dj = 0; dj <= 1; ++dj) {
          const int b = pointbed[i + di][jw + dj];
          if (b >= 1 && b <= NoBCells && Bcellth && Bcellth[b] > 0) ++groups;
        }
      int n = 0;
      double s5 = meanMudLevel(i, jw, [](int) { return true; }, n);
      // Outside a slide group the mud reaches down to the bed only.
      if (groups < 3) s5 = bedOf(i, jw);
      Surfaces[kMudBottom][i][j] = std::max(s5, Surfaces[kFixedBed][i][jw]);
    }
    if (endLine)
      for (int i = mw.i1 - 1; i <= mw.i2; ++i)
        Surfaces[kMudBottom][i][j] =
            std::max(Surfaces[kMudBottom][i][j], Surfaces[kFixedBed][i][jw]);
    for (int i : {mw.i1 - 1, mw.i2})
      Surfaces[kMudBottom][i][j] = std::max(bedOf(i, jw), Surfaces[kFixedBed][i][jw]);
  }
}

// The mud grid lines on the water lines: plan position, top at the water bed, bottom below the
// mud bottom; at the first build the mud starts at the bed.
void mudLines(const MudWindow& mw) {
  for (int j = mw.j1 - 1; j <= mw.j2; ++j)
    for (int i = mw.i1 - 1; i <= mw.i2; ++i) {
      const int jw = j - mw.shift;
      xval[i][j] = xval[i][jw];
      yval[i][j] = yval[i][jw];
      const double bed = bedOf(i, jw);
      topOf(i, j) = bed;
      const double fixed = Surfaces[kFixedBed][i][jw];
      if (!MudBlockBuilt) {
        Surfaces[kMudBottom][i][j] = Surfaces[kMudBottom][i][jw] = bed;
        Surfaces[kClearedPlane][i][j] = Surfaces[kClearedPlane][i][jw] = 0;
        bedOf(i, j) = std::min(fixed, bed - 0.001);
      } else {
        const double s5 = std::min(Surfaces[kMudBottom][i][j], bed);
        Surfaces[kMudBottom][i][j] = Surfaces[kMudBottom][i][jw] = s5;
        bedOf(i, j) = std::min(fixed, s5 - 0.001);
      }
      Surfaces[kFixedBed][i][j] = fixed;
    }
  MudBlockBuilt = true;
}

// Level count of a mud line of thickness t. The count stays at most znumber - 1, so the mud
// cells (count - 1 of them, from the top level down) never reach the base cell at level 2.
int mudLevelCount(double t) {
  int count;
  if (FlagThixo == 3) {
    count = t > MinVertDist1 ? 2 : 1;
  } else if (t < MinVertDist1) {
    count = 1;
  } else {
    const double s = NestNoRatio / (MaxDepth + 1e-10);
    const double x =
        std::min(std::pow(t * s, ThixoGridDistCoeff) * (znumber - 3), double(znumber - 3));
    count = x > 2.0 ? static_cast<int>(x) + 2 : 4;
  }
  return std::min(count, znumber - 1);
}

void countLevels(const MudWindow& mw) {
  for (int j = mw.j1 - 1; j <= mw.j2; ++j)
    for (int i = mw.i1 - 1; i <= mw.i2; ++i) {
      antlin[i][j] = mudLevelCount(topOf(i, j) - Surfaces[kMudBottom][i][j]);
      antmin[i][j] = 2;
      for (int k = 1; k <= znumber; ++k) num[i][j][k] = 0;
    }
  for (int j = mw.j1; j <= mw.j2; ++j)
    for (int i = mw.i1; i <= mw.i2; ++i) {
      const int a = antlin[i - 1][j - 1], b = antlin[i][j - 1], c = antlin[i][j],
                d = antlin[i - 1][j];
      ant[i][j] = std::max({a, b, c, d}) - 1;
      antmax[i][j] = 1;
      if (a + b + c + d < 2) ant[i][j] = 0;
      if (bedOutBlock[i][j] == 1) ant[i][j] = antmax[i][j] = 0;
    }
  Grid2Stability(mw.i1, mw.i2, mw.j1, mw.j2);
  // A region taken out of the water block takes out the mud under it too.
  for (int r = 1; r <= OutBlockNo; ++r) {
    const RemovedRegion& o = OutBlock[r];
    for (int j = std::max(o.j1 + mw.shift, mw.j1); j <= std::min(o.j2 + mw.shift, mw.j2); ++j)
      for (int i = std::max(o.i1, mw.i1); i <= std::min(o.i2, mw.i2); ++i)
        ant[i][j] = antmax[i][j] = 0;
  }
}

bool worked(int i, int j) { return antmax[i][j] >= 1 || ant[i][j] >= 1; }

// Cell numbers: the base cell at level 2 and the mud cells at the top levels. False when a
// number would pass the cell tables.
bool numberCells(const MudWindow& mw) {
  int next = NoCells;
  auto give = [&next](int& slot) {
    if (next + 1 > MaxCeller - 1) return false;
    slot = ++next;
    return true;
  };
  auto base = [&](int i, int j) {
    if (!give(num[i][j][2])) return false;
    zval[i][j][0] = num[i][j][2];
    return true;
  };
  auto mud = [&](int i, int j) {
    for (int k = znumber - ant[i][j] + 1; k <= znumber; ++k)
      if (!give(num[i][j][k])) return false;
    return true;
  };
  if (FlagUnstrucThixo != 0) {
    for (int j = mw.j1; j <= mw.j2; ++j)
      for (int i = mw.i1; i <= mw.i2; ++i)
        if (!base(i, j)) return false;
    for (int j = mw.j1; j <= mw.j2; ++j)
      for (int i = mw.i1; i <= mw.i2; ++i)
        if (ant[i][j] > 0 && !mud(i, j)) return false;
  } else {
    for (int j = mw.j1; j <= mw.j2; ++j)
      for (int i = mw.i1; i <= mw.i2; ++i)
        if (!base(i, j) || (ant[i][j] > 0 && !mud(i, j))) return false;
  }
  return true;
}

// Grid lines of the corners 1..4 (south-west, south-east, north-east, north-west) of column
// (i, j).
void cornerLines(int i, int j, int li[5], int lj[5]) {
  li[1] = i - 1, lj[1] = j - 1;
  li[2] = i, lj[2] = j - 1;
  li[3] = i, lj[3] = j;
  li[4] = i - 1, lj[4] = j;
}

void planCorners(int i, int j, CellTemplate& t) {
  int li[5], lj[5];
  cornerLines(i, j, li, lj);
  for (int n = 1; n <= 4; ++n) {
    t.x[n] = t.x[n + 4] = xval[li[n]][lj[n]];
    t.y[n] = t.y[n + 4] = yval[li[n]][lj[n]];
  }
}

// Fraction of the mud bottom in a corner level, with the system's clamps.
double clampFraction(double f) {
  if (f > 0.99999) return 1.0;
  if (f < 1e-10) return 0.0;
  return f;
}

double cornerLevel(int li, int lj, double f) {
  const double s5 = Surfaces[kMudBottom][li][lj];
  const double top = topOf(li, lj);
  if (s5 > top) return top;
  return f * s5 + (1.0 - f) * top;
}

// Neighbour of a mud cell at level k (position p from the lowest) in the column beside it.
int sideNeighbour(int i, int j, int ni, int nj, bool edge, int k, int p) {
  const int a = ant[i][j];
  const int an = edge ? 0 : ant[ni][nj];
  if (an == 0) return 0;
  if (an == a) return num[ni][nj][k];
  if (p == 1) return num[ni][nj][znumber - an + 1];
  if (a - an >= 1 && a - an >= p - 1) return 0;
  return num[ni][nj][k];
}

int surfaceOfCell(const Table1<int>& side, int cell) {
  return cell > 0 && cell < MaxCeller ? side[cell] : 0;
}

// Makes cell c from NewCell when the whole cell fits the F 65 tables. False with the failure
// result when it does not.
bool makeChecked(int c, int& failure) {
  if (roomForCell(c)) {
    MakeCell(c);
    if (c > NoCells) NoCells = c;
    if (!capacityReached()) return true;
  }
  failure = capacityFailure();
  return false;
}

bool buildColumn(const MudWindow& mw, int i, int j, int& failure) {
  CellTemplate& t = NewCell;
  int li[5], lj[5];
  cornerLines(i, j, li, lj);
  const bool west = i > mw.i1, south = j > mw.j1;
  const int baseCell = num[i][j][2];

  // The base cell, from the block's bottom up to the mud bottom.
  t = CellTemplate{};
  planCorners(i, j, t);
  for (int n = 1; n <= 4; ++n) {
    t.z[n] = bedOf(li[n], lj[n]);
    t.z[n + 4] = Surfaces[kMudBottom][li[n]][lj[n]];
  }
  t.cell[1] = south ? num[i][j - 1][2] : 0;
  t.cell[2] = i < mw.i2 ? num[i + 1][j][2] : 0;
  t.cell[3] = j < mw.j2 ? num[i][j + 1][2] : 0;
  t.cell[4] = west ? num[i - 1][j][2] : 0;
  t.cell[5] = 0;
  t.cell[6] = num[i][j][3];
  if (west) t.flate[4] = surfaceOfCell(Cflatee, t.cell[4]);
  if (south) t.flate[1] = surfaceOfCell(Cflaten, t.cell[1]);
  if (!makeChecked(baseCell, failure)) return false;

  const int a = ant[i][j];
  for (int p = 1; p <= a; ++p) {
    const int k = znumber - a + p;
    const int c = num[i][j][k];
    t = CellTemplate{};
    planCorners(i, j, t);
    const int L = znumber - k + 1;
    for (int n = 1; n <= 4; ++n) {
      const double span = antlin[li[n]][lj[n]] - 1 + 1e-10;
      double fb = L / span;
      if (p > 1) fb = std::min(fb, 1.0 - 1.0 / span);
      const double ft = std::min((L - 1) / span, 1.0 - 1.0 / span);
      t.z[n] = cornerLevel(li[n], lj[n], clampFraction(fb));
      t.z[n + 4] = cornerLevel(li[n], lj[n], clampFraction(ft));
    }
    t.cell[1] = sideNeighbour(i, j, i, j - 1, !south, k, p);
    t.cell[2] = sideNeighbour(i, j, i + 1, j, i >= mw.i2, k, p);
    t.cell[3] = sideNeighbour(i, j, i, j + 1, j >= mw.j2, k, p);
    t.cell[4] = sideNeighbour(i, j, i - 1, j, !west, k, p);
    t.cell[5] = num[i][j][k - 1];
    t.cell[6] = k < znumber ? num[i][j][k + 1] : 0;
    if (west && t.cell[4] != 0) t.flate[4] = surfaceOfCell(Cflatee, t.cell[4]);
    if (south && t.cell[1] != 0) t.flate[1] = surfaceOfCell(Cflaten, t.cell[1]);
    t.flate[5] = surfaceOfCell(Cflatet, t.cell[5]);
    if (!makeChecked(c, failure)) return false;
    // The base cell sees the mud column above it; the lowest mud cell keeps a closed bottom.
    if (p == 1 && t.cell[5] == 0) Ccellt[baseCell] = c;
    if (t.cell[5] == baseCell) {
      Ccellb[c] = 0;
      const int s = Cflateb[c];
      if (s > 0 && s < MaxFlater) Fcell2[s] = 0;
    }
  }
  return true;
}

}  // namespace

int UnstrucThixo3(int w) {
  const MudWindow mw = windowOf(w);
  GridBlock& m = block[mw.m];
  if (m.thixo != 1) {
    NoBCells = 0;
    ++NoBlocks;
  } else if (w == NoBlocks) {
    NoBlocks = w + 1;
  }
  NoCells = block[w].cellend;
  NoSurfaces = block[w].surfend;
  NoPoints = block[w].pointend;
  m = GridBlock{};
  m.aux1 = 1;
  m.i1 = mw.i1;
  m.i2 = mw.i2;
  m.j1 = mw.j1;
  m.j2 = mw.j2;
  m.nestlevel = block[w].nestlevel;
  m.thixo = 1;
  m.cellstart = NoCells + 1;
  m.surfstart = NoSurfaces + 1;
  m.pointstart = NoPoints + 1;
  SurfUpdate[mw.m] = 0;

  mudBottomFromLevels(mw);
  mudLines(mw);
  countLevels(mw);
  if (!numberCells(mw)) return capacityFailure();
  for (int j = mw.j1; j <= mw.j2; ++j)
    for (int i = mw.i1; i <= mw.i2; ++i) {
      if (!worked(i, j)) continue;
      int failure = 0;
      if (!buildColumn(mw, i, j, failure)) return failure;
    }
  m.cellend = NoCells;
  m.surfend = NoSurfaces;
  m.pointend = NoPoints;
  m.inwork = 1;
  if (!gridSequencing()) computeWCStart();
  return 0;
}

void mudLayerBlock() {
  // The mud block takes the block number after the water block and the index plane after it:
  // with a second water block it would overwrite it.
  int water = 0;
  for (int b = 1; b <= NoBlocks; ++b)
    if (block[b].thixo != 1 && block[b].flag2D == 0) ++water;
  if (water != 1)
    failf(1,
          "Error: the mud-layer block of F 236 and F 262 needs exactly one water block, the "
          "grid has %d\n",
          water);
  if (block[1].thixo == 1 || block[1].flag2D != 0)
    failf(1, "Error: the mud-layer block of F 236 and F 262 must follow water block 1\n");
  if (znumber < 3)
    failf(1, "Error: the mud-layer block needs at least 3 levels on the G 1 data set, %d given\n",
          znumber);
  const MudWindow mw = windowOf(1);
  if (mw.j2 >= ynumber)
    failf(-44,
          "Error: the mud-layer block needs grid lines up to j = %d: increase the 2nd integer "
          "of the G 1 data set to at least %d\n",
          mw.j2, mw.j2 + 1);
  if (!Bthixolev || Surfaces.dim(0) <= static_cast<std::size_t>(kClearedPlane))
    failf(1, "Error: the mud-layer block has no mud level arrays\n");
  if (FlagThixoGrid != 0) {
    UnstrucThixo2(1);
    return;
  }
  if (UnstrucThixo3(1) != 0) failf(-1, "Error: the mud-layer block could not be built\n");
}

}  // namespace qorva

namespace qorva {

double interpolatevalue(const Table1<double>& f, int c, int n) {
  const double z = Czcenter[c];
  const double zn = Czcenter[n];
  if (zn == z) return f[n];
  // Down (or up) the column of n to the first cell past the height of c, or the column's end;
  // a column that ends first extrapolates from its last pair of cells.
  const bool down = zn > z;
  const Table1<int>& next = down ? Ccellb : Ccellt;
  const Table1<int>& back = down ? Ccellt : Ccellb;
  if (next[n] == 0) return f[n];
  int q = n;
  for (int steps = 0; steps < NoCells; ++steps) {
    const bool past = down ? Czcenter[q] < z : Czcenter[q] > z;
    if (past || next[q] == 0) break;
    q = next[q];
  }
  const int o = back[q];
  if (o == 0) return f[q];
  const double t = (down ? z - Czcenter[q] : Czcenter[q] - z) / (Ckdist[q] + Ckdist[o]);
  return (1.0 - t) * f[q] + t * f[o];
}

}  // namespace qorva
