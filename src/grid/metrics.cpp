// Grid metrics: cell centres, derivatives, half sizes, volumes and projected areas; surface area
// vectors, normals, side codes, distances and flow flags; nesting links and the solving order.
// Reads Px, Py, Pz, Cpoint1..Cpoint8, the cell-surface links and the face-flag options; writes
// Cxcenter.., Cd?d?, Cidist..Ckdist, Cvol, Careax..Careaz, Fax..Fvz, Farea, Ftype1/2,
// Fcell11/22, Fdist1/2, Fdz, Fflagflow, Fin, Cisolve, Ncell, Nvect, blocknested.
#include "grid/grid.h"

#include <omp.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "files/files.h"
#include "grid/columns.h"
#include "grid/generator.h"
#include "output/output.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/nests.h"
#include "state/options.h"
#include "state/points.h"
#include "state/safe_file.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {
namespace {

// Highest cell and surface number the tables hold; the loops never go past them.
int cellLimit(int n) {
  const long long cap = static_cast<long long>(Cpoint1.size()) - 1;
  return n < cap ? n : static_cast<int>(cap);
}
int surfaceLimit(int n) {
  const long long cap = static_cast<long long>(Fpoint1.size()) - 1;
  return n < cap ? n : static_cast<int>(cap);
}

// ---------------------------------------------------------------------------------------------
// Reports of a bad cell

// Column (i, j) of cell c through its bed cell, when the bed-cell index holds it and the four
// corner lines i-1..i, j-1..j lie in the structured tables.
bool columnOf(int c, int& i, int& j) {
  const int b = Cbed ? Cbed[c] : 0;
  if (!Bkooi || !Bkooj || !zval || b <= 0 || static_cast<std::size_t>(b) >= Bkooi.size())
    return false;
  i = Bkooi[b];
  j = Bkooj[b];
  return i >= 1 && j >= 1 && static_cast<std::size_t>(i) < zval.dim(0) &&
         static_cast<std::size_t>(j) < zval.dim(1);
}

void corners(int c, int p[8]) {
  p[0] = Cpoint1[c]; p[1] = Cpoint2[c]; p[2] = Cpoint3[c]; p[3] = Cpoint4[c];
  p[4] = Cpoint5[c]; p[5] = Cpoint6[c]; p[6] = Cpoint7[c]; p[7] = Cpoint8[c];
}

// The state that led to the failure goes to disk before the run ends.
[[noreturn]] void endBadCell(bool results) {
  WriteAllData();
  if (results) sprintflow();
  endRun(-1);
}

[[noreturn]] void zeroVolume(int c) {
  std::string s = strf("\nIn metric, Error for cell %d, zero volume: %lf\n ", c, Cvol[c]);
  s += strf("Bed cell b=%d\n", Cbed ? Cbed[c] : 0);
  int i = 0, j = 0;
  if (columnOf(c, i, j)) {
    const CornerLines lines = cornerLines(i, j);
    const int *li = lines.i, *lj = lines.j;
    s += strf("Cell indexes: i=%d, j=%d, bed cell=%d\n", i, j, static_cast<int>(zval[i][j][0]));
    s += strf("zval[1]: %lf %lf %lf %lf\n", zval[li[0]][lj[0]][1], zval[li[1]][lj[1]][1],
              zval[li[2]][lj[2]][1], zval[li[3]][lj[3]][1]);
    s += strf("zval[znumber]: %lf %lf %lf %lf\n", zval[li[0]][lj[0]][znumber],
              zval[li[1]][lj[1]][znumber], zval[li[2]][lj[2]][znumber],
              zval[li[3]][lj[3]][znumber]);
    // Plane 3: the non-erodible bed level.
    if (Surfaces && Surfaces.dim(0) > 3)
      s += strf("Surfaces[LB]: %lf %lf %lf %lf\n", Surfaces[3][li[0]][lj[0]],
                Surfaces[3][li[1]][lj[1]], Surfaces[3][li[2]][lj[2]], Surfaces[3][li[3]][lj[3]]);
  }
  s += strf("Iter = %d\n", Iter);
  s += strf("idist,jdist,kdist = %lf %lf %lf\n", Cidist[c], Cjdist[c], Ckdist[c]);
  s += strf("Careax = %lf, Careay = %lf, Careaz = %lf\n", Careax[c], Careay[c], Careaz[c]);
  int p[8];
  corners(c, p);
  const Table1<double>* xyz[3] = {&Px, &Py, &Pz};
  const char* name[3] = {"x", "y", "z"};
  for (int d = 0; d < 3; ++d)
    for (int h = 0; h < 8; h += 4)
      s += strf("Coordinates: %s: %lf %lf %lf %lf\n", name[d], (*xyz[d])[p[h]],
                (*xyz[d])[p[h + 1]], (*xyz[d])[p[h + 2]], (*xyz[d])[p[h + 3]]);
  if (UMethod2 > 0)
    s += strf("Point numbers: %d %d %d %d %d %d %d %d\n", p[0], p[1], p[2], p[3], p[4], p[5],
              p[6], p[7]);
  logf("%s", s.c_str());
  endBadCell(false);
}

// Corners in the order of the vertical edges: 1, 5, 2, 6, 3, 7, 4, 8.
constexpr int kEdgeOrder[8] = {1, 5, 2, 6, 3, 7, 4, 8};

[[noreturn]] void skewed(int c) {
  std::string s = strf("\nIn metric, Error for cell %d, skewed in horizontal direction\n", c);
  s += strf("Iter = %d\n", Iter);
  s += strf("Cdxdk,Cdydk = %lf %lf\n", Cdxdk[c], Cdydk[c]);
  s += "Both these numbers should have very small values\n";
  s += "This error may be due to too large numbers in the geometry data\n";
  s += "A correction is to use a local coordinate system,\n";
  s += "with origo close to the work area\n";
  s += "Another cause of the error may be incorrect data in the input files\n";
  s += "Then check that pairs of coordinates below are identical:\n";
  s += "Coordinates: x and y values for the eight corners of the cell: \n";
  int p[8];
  corners(c, p);
  for (int k : kEdgeOrder) s += strf("Point %d: %lf %lf\n", k, Px[p[k - 1]], Py[p[k - 1]]);
  s += "Indexes for pointers to cells: \n";
  for (int k = 1; k <= 8; ++k) s += strf("Point %d: %d\n", k, p[k - 1]);
  int i = 0, j = 0;
  if (columnOf(c, i, j)) s += strf("Grid indexes: (%d,%d)\n", i, j);
  s += "Neighbour cells: \n";
  s += strf("North: %d, South: %d, East: %d, West: %d, Top: %d, Bottom: %d\n", Ccelln[c],
            Ccells[c], Ccelle[c], Ccellw[c], Ccellt[c], Ccellb[c]);
  logf("%s", s.c_str());
  endBadCell(true);
}

[[noreturn]] void negativeVertical(int c) {
  std::string s = strf("\nIn metric, Error for cell %d, negative vertical direction\n", c);
  s += strf("Iter = %d\n", Iter);
  s += strf("Cdzdk = %le, Ckdist = %le\n", Cdzdk[c], Ckdist[c]);
  s += strf("Ccellb = %d, Ccellt = %d\n", Ccellb[c], Ccellt[c]);
  s += strf("Cdzdk[Ccellt[ll]] = %le\n", Cdzdk[Ccellt[c]]);
  int p[8];
  corners(c, p);
  for (int k : kEdgeOrder)
    s += strf("Point %d: %lf %lf %le\n", k, Px[p[k - 1]], Py[p[k - 1]], Pz[p[k - 1]]);
  int i = 0, j = 0;
  // The neighbouring columns i-1..i+1, j-1..j+1 must lie in the tables as well.
  if (columnOf(c, i, j) && i > 1 && j > 1 && static_cast<std::size_t>(i + 1) < zval.dim(0) &&
      static_cast<std::size_t>(j + 1) < zval.dim(1) && ant && antlin && pointbed) {
    const CornerLines lines = cornerLines(i, j);
    const int *li = lines.i, *lj = lines.j;
    double bed = 0, top = 0;
    for (int n = 0; n < 4; ++n) {
      bed += zval[li[n]][lj[n]][1];
      top += zval[li[n]][lj[n]][znumber];
    }
    s += strf("2D cell indexes: %d %d, depth = %lf meters.\n", i, j, 0.25 * (top - bed));
    s += strf("ant = %d, antlin = %d, %d, %d, %d\n", ant[i][j], antlin[li[0]][lj[0]],
              antlin[li[1]][lj[1]], antlin[li[2]][lj[2]], antlin[li[3]][lj[3]]);
    const char* label[4] = {"zval[i-1][j-1]", "zval[i][j-1]", "zval[i][j]", "zval[i-1][j]"};
    for (int n = 0; n < 4; ++n)
      s += strf("%s = %lf %lf\n", label[n], zval[li[n]][lj[n]][1], zval[li[n]][lj[n]][znumber]);
    s += strf("Bed neighbours (senw): %d %d %d %d\n", pointbed[i][j - 1], pointbed[i + 1][j],
              pointbed[i][j + 1], pointbed[i - 1][j]);
    s += strf("Cell neighbours (senw): %d %d %d %d\n", static_cast<int>(zval[i][j - 1][0]),
              static_cast<int>(zval[i + 1][j][0]), static_cast<int>(zval[i][j + 1][0]),
              static_cast<int>(zval[i - 1][j][0]));
    s += strf("zval[0] = %d\n", static_cast<int>(zval[i][j][0]));
  }
  logf("%s", s.c_str());
  endBadCell(false);
}

// ---------------------------------------------------------------------------------------------
// Steps of metric

void cellGeometry(int nc) {
  for (int c = 1; c <= nc; ++c) {
    const int p1 = Cpoint1[c], p2 = Cpoint2[c], p3 = Cpoint3[c], p4 = Cpoint4[c];
    const int p5 = Cpoint5[c], p6 = Cpoint6[c], p7 = Cpoint7[c], p8 = Cpoint8[c];
    const double x1 = Px[p1], x2 = Px[p2], x3 = Px[p3], x4 = Px[p4];
    const double x5 = Px[p5], x6 = Px[p6], x7 = Px[p7], x8 = Px[p8];
    const double y1 = Py[p1], y2 = Py[p2], y3 = Py[p3], y4 = Py[p4];
    const double y5 = Py[p5], y6 = Py[p6], y7 = Py[p7], y8 = Py[p8];
    const double z1 = Pz[p1], z2 = Pz[p2], z3 = Pz[p3], z4 = Pz[p4];
    const double z5 = Pz[p5], z6 = Pz[p6], z7 = Pz[p7], z8 = Pz[p8];

    // Sums of the four edge vectors along i, j and k.
    const double xi = (x2 + x3 + x6 + x7) - (x1 + x4 + x5 + x8);
    const double yi = (y2 + y3 + y6 + y7) - (y1 + y4 + y5 + y8);
    const double zi = (z2 + z3 + z6 + z7) - (z1 + z4 + z5 + z8);
    const double xj = (x3 + x4 + x7 + x8) - (x1 + x2 + x5 + x6);
    const double yj = (y3 + y4 + y7 + y8) - (y1 + y2 + y5 + y6);
    const double zj = (z3 + z4 + z7 + z8) - (z1 + z2 + z5 + z6);
    const double xk = (x5 + x6 + x7 + x8) - (x1 + x2 + x3 + x4);
    const double yk = (y5 + y6 + y7 + y8) - (y1 + y2 + y3 + y4);
    const double zk = (z5 + z6 + z7 + z8) - (z1 + z2 + z3 + z4);

    Cdxdi[c] = 0.25 * xi; Cdydi[c] = 0.25 * yi; Cdzdi[c] = 0.25 * zi;
    Cdxdj[c] = 0.25 * xj; Cdydj[c] = 0.25 * yj; Cdzdj[c] = 0.25 * zj;
    Cdxdk[c] = 0.25 * xk; Cdydk[c] = 0.25 * yk; Cdzdk[c] = 0.25 * zk;

    Cxcenter[c] = 0.125 * (x1 + x2 + x3 + x4 + x5 + x6 + x7 + x8);
    Cycenter[c] = 0.125 * (y1 + y2 + y3 + y4 + y5 + y6 + y7 + y8);
    Czcenter[c] = 0.125 * (z1 + z2 + z3 + z4 + z5 + z6 + z7 + z8);

    Cidist[c] = 0.125 * std::sqrt(xi * xi + yi * yi + zi * zi);
    Cjdist[c] = 0.125 * std::sqrt(xj * xj + yj * yj + zj * zj);
    const double kd = 0.125 * std::sqrt(xk * xk + yk * yk + zk * zk);
    Ckdist[c] = kd;

    const double az = 0.5 * ((x1 - x3) * (y2 - y4) - (y1 - y3) * (x2 - x4));
    Careaz[c] = az;
    Cvol[c] = 2.0 * az * kd;
    Careay[c] = 2.0 * std::sqrt(Cdxdi[c] * Cdxdi[c] + Cdydi[c] * Cdydi[c]) * kd;
    Careax[c] = 2.0 * std::sqrt(Cdxdj[c] * Cdxdj[c] + Cdydj[c] * Cdydj[c]) * kd;

    if (!(Cvol[c] >= 1e-30)) zeroVolume(c);  // also not a number
    if (std::fabs(Cdxdk[c]) > 1e-7 || std::fabs(Cdydk[c]) > 1e-7) skewed(c);
    if (Cdzdk[c] < 1e-30) negativeVertical(c);
  }
}

void surfaceGeometry(int nf) {
  for (int f = 1; f <= nf; ++f) {
    const int p1 = Fpoint1[f], p2 = Fpoint2[f], p3 = Fpoint3[f], p4 = Fpoint4[f];
    const double ax = Px[p1] - Px[p3], ay = Py[p1] - Py[p3], az = Pz[p1] - Pz[p3];
    const double bx = Px[p2] - Px[p4], by = Py[p2] - Py[p4], bz = Pz[p2] - Pz[p4];
    const double cx = ay * bz - az * by;
    const double cy = az * bx - ax * bz;
    const double cz = ax * by - ay * bx;
    Fax[f] = 0.5 * cx;
    Fay[f] = 0.5 * cy;
    Faz[f] = 0.5 * cz;
    Farea[f] = std::sqrt(Fax[f] * Fax[f] + Fay[f] * Fay[f] + Faz[f] * Faz[f]);
    const double len = std::sqrt(cx * cx + cy * cy + cz * cz) + 1e-20;
    Fvx[f] = cx / len;
    Fvy[f] = cy / len;
    Fvz[f] = cz / len;

    Ftype1[f] = 0;
    Ftype2[f] = 0;
    Fdz[f] = 0;
    // A later match overwrites an earlier one (a side listed twice on one cell).
    const int c1 = Fcell1[f];
    if (c1 > 0) {
      if (Cflates[c1] == f) { Ftype1[f] = 1; Fcell11[f] = Ccelln[c1]; Fdist1[f] = Cjdist[c1]; }
      if (Cflatee[c1] == f) { Ftype1[f] = 2; Fcell11[f] = Ccellw[c1]; Fdist1[f] = Cidist[c1]; }
      if (Cflaten[c1] == f) { Ftype1[f] = 3; Fcell11[f] = Ccells[c1]; Fdist1[f] = Cjdist[c1]; }
      if (Cflatew[c1] == f) { Ftype1[f] = 4; Fcell11[f] = Ccelle[c1]; Fdist1[f] = Cidist[c1]; }
      if (Cflateb[c1] == f) { Ftype1[f] = 5; Fcell11[f] = Ccellt[c1]; Fdist1[f] = Ckdist[c1]; }
      if (Cflatet[c1] == f) { Ftype1[f] = 6; Fcell11[f] = Ccellb[c1]; Fdist1[f] = Ckdist[c1]; }
      // Mean height of the face: its vertical edges are corners 1-2 and 4-3 on a south or
      // north face, 1-4 and 2-3 on an east or west face.
      const int t = Ftype1[f];
      if (t == 1 || t == 3)
        Fdz[f] = 0.5 * ((Pz[p2] + Pz[p3]) - (Pz[p1] + Pz[p4]));
      else if (t == 2 || t == 4)
        Fdz[f] = 0.5 * ((Pz[p4] + Pz[p3]) - (Pz[p1] + Pz[p2]));
    }
    const int c2 = Fcell2[f];
    if (c2 > 0) {
      if (Cflates[c2] == f) { Ftype2[f] = 1; Fcell22[f] = Ccelln[c2]; Fdist2[f] = Cjdist[c2]; }
      if (Cflatee[c2] == f) { Ftype2[f] = 2; Fcell22[f] = Ccellw[c2]; Fdist2[f] = Cidist[c2]; }
      if (Cflaten[c2] == f) { Ftype2[f] = 3; Fcell22[f] = Ccells[c2]; Fdist2[f] = Cjdist[c2]; }
      if (Cflatew[c2] == f) { Ftype2[f] = 4; Fcell22[f] = Ccelle[c2]; Fdist2[f] = Cidist[c2]; }
      if (Cflateb[c2] == f) { Ftype2[f] = 5; Fcell22[f] = Ccellt[c2]; Fdist2[f] = Ckdist[c2]; }
      if (Cflatet[c2] == f) { Ftype2[f] = 6; Fcell22[f] = Ccellb[c2]; Fdist2[f] = Ckdist[c2]; }
    }
  }
}

void wedgeCorrections(int nc) {
  if (FlagCorrTrekant != 2 && FlagCorrTrekant != 3 && FlagCorrTrekant != 22) return;
  for (int c = 1; c <= nc; ++c) {
    if (Ctrekant[c] == 0) continue;
    if (FlagCorrTrekant == 2) {
      if (Ccelle[c] > 0) Farea[Cflatee[c]] *= 2.0;
      if (Ccelln[c] > 0) Farea[Cflaten[c]] *= 2.0;
      if (Ccells[c] > 0) Farea[Cflates[c]] *= 2.0;
      if (Ccellw[c] > 0) Farea[Cflatew[c]] *= 2.0;
    } else if (FlagCorrTrekant == 3) {
      Cvol[c] *= 2.0;
    } else {
      Careax[c] = std::fmax(Farea[Cflatee[c]], Farea[Cflatew[c]]);
      Careay[c] = std::fmax(Farea[Cflates[c]], Farea[Cflaten[c]]);
    }
  }
}

// Partners m = 0..count-1 of one side of cell c, within the list's width.
template <class F>
void partners(const Table1<int>& count, const Table2<int>& list, int c, F f) {
  const int n = count[c];
  const int width = static_cast<int>(list.dim(1));
  for (int m = 0; m < n && m < width; ++m)
    if (list[c][m] > 0) f(list[c][m]);
}

// A cell that faces several cells of a deeper neighbouring column gives each of their facing
// surfaces its own side.
void unevenNeighbours(int nc) {
  if (QNFlag <= 0 || !Cncelle || !Cqncelle) return;
  for (int c = 1; c <= nc; ++c) {
    if (Cncelle[c] > 0) {
      partners(Cncelle, Cqncelle, c, [c](int p) {
        const int s = Cflatew[p];
        Fcell1[s] = c; Fdist1[s] = Cidist[c]; Fcell11[s] = Ccellw[c]; Ftype1[s] = 2;
      });
      const int e = Ccelle[c];
      if (e > 0) Fdist2[Cflatew[e]] = Cidist[e];
    }
    if (Cncellw[c] > 0) {
      partners(Cncellw, Cqncellw, c, [c](int p) {
        const int s = Cflatee[p];
        Fcell2[s] = c; Fdist2[s] = Cidist[c]; Fcell22[s] = Ccelle[c]; Ftype2[s] = 4;
      });
      const int w = Ccellw[c];
      if (w > 0) Fdist1[Cflatee[w]] = Cidist[w];
    }
    if (Cncelln[c] > 0) {
      partners(Cncelln, Cqncelln, c, [c](int p) {
        const int s = Cflates[p];
        Fcell1[s] = c; Fdist1[s] = Cjdist[c]; Fcell11[s] = Ccells[c]; Ftype1[s] = 3;
      });
      const int n = Ccelln[c];
      if (n > 0) Fdist2[Cflates[n]] = Cjdist[n];
    }
    if (Cncells[c] > 0) {
      partners(Cncells, Cqncells, c, [c](int p) {
        const int s = Cflaten[p];
        Fcell2[s] = c; Fdist2[s] = Cjdist[c]; Fcell22[s] = Ccelln[c]; Ftype2[s] = 1;
      });
      const int s = Ccells[c];
      if (s > 0) Fdist1[Cflaten[s]] = Cjdist[s];
    }
  }
}

// Side surfaces tilted towards the slope of the water surface above them (F 230).
void tiltSurfaces(int nf) {
  if (FlagTiltSurf != 1) return;
  for (int f = 1; f <= nf; ++f) {
    const int c1 = Fcell1[f], c2 = Fcell2[f];
    if (!(Fvz[f] < 0.01) || c1 <= 0 || c2 <= 0) continue;
    const double t = 0.5 * (Fvz[Cflatet[c1]] + Fvz[Cflatet[c2]]);
    const double s = std::sqrt(std::fmax(0.0, 1.0 - t * t));
    const double len = std::sqrt(Fvx[f] * Fvx[f] + Fvy[f] * Fvy[f] + s * s);
    if (len <= 0) continue;
    Fvx[f] /= len;
    Fvy[f] /= len;
    Fvz[f] = s / len;
    Fax[f] = Farea[f] * Fvx[f];
    Fay[f] = Farea[f] * Fvy[f];
    Faz[f] = Farea[f] * Fvz[f];
  }
}

// The two surfaces of a block joint each know the side of their own cell only; each gets the
// partner's side in its other slot.
void blockJoints() {
  if (NoConnFlate <= 0) return;
  // Rows 1..MaxConnFlate-1 exist; a count beyond them means joints were lost on the way.
  if (!connFlate || NoConnFlate >= MaxConnFlate ||
      static_cast<std::size_t>(NoConnFlate) >= connFlate.dim(0))
    failf(1, "Error, increase 5th integer on F 65 data set, now at: %d\n", NoConnFlate);
  struct Side {
    int type, beyond;
    double dist;
  };
  auto known = [](int f) {
    return Ftype1[f] != 0 ? Side{Ftype1[f], Fcell11[f], Fdist1[f]}
                          : Side{Ftype2[f], Fcell22[f], Fdist2[f]};
  };
  auto receive = [](int f, const Side& s) {
    if (Ftype1[f] != 0) {
      Ftype2[f] = s.type; Fcell22[f] = s.beyond; Fdist2[f] = s.dist;
    } else {
      Ftype1[f] = s.type; Fcell11[f] = s.beyond; Fdist1[f] = s.dist;
    }
  };
  for (int n = 1; n <= NoConnFlate; ++n) {
    const int a = connFlate[n][0], b = connFlate[n][1];
    if (a <= 0 || b <= 0 || a > NoSurfaces || b > NoSurfaces ||
        static_cast<std::size_t>(a) >= Fpoint1.size() ||
        static_cast<std::size_t>(b) >= Fpoint1.size())
      failf(1, "Error in block joint %d: surfaces %d and %d are not in the grid\n", n, a, b);
    const Side sa = known(a), sb = known(b);
    receive(a, sb);
    receive(b, sa);
  }
}

void flowFlags(int nf) {
  for (int f = 1; f <= nf; ++f) {
    int flag;
    if (Fcell1[f] > 0 && Fcell2[f] > 0) {
      flag = 1;
    } else if (WallFlag == 5) {
      flag = Ftype1[f] == 6 && Fcell2[f] == 0 ? -1 : 0;
    } else if (Ftype1[f] == 6 && Fcell2[f] == 0 && WallFlag != 4) {
      flag = 0;
    } else if (Fcell1[f] == 0 && Ftype2[f] == 5) {
      flag = -1;
    } else if (Farea[f] >= SmallNumberUnstruc) {
      flag = WallFlag == 0 || WallFlag == 3 || WallFlag == 4 ? -1 : 0;
    } else {
      flag = findFlagflowTriangle(f);
    }
    Fflagflow[f] = flag;
    const int t2 = Ftype2[f];
    Fin[f] = t2 == 1 || t2 == 4 || t2 == 5 ? 1 : -1;
  }
}

// Block division (F 308): the outer sides of block 1 are open to the neighbouring block.
void blockDivisionSides() {
  if (FlagMPI <= 0 || NoBlocks < 1) return;
  const GridBlock& b = block[1];
  for (int j = b.j1; j <= b.j2; ++j) {
    upColumn(columnBottom(b.i1, j), [](int c) {
      if (Fflagflow[Cflatew[c]] == -1) Fflagflow[Cflatew[c]] = 0;
    });
    upColumn(columnBottom(b.i2, j), [](int c) {
      if (Fflagflow[Cflatee[c]] == -1) Fflagflow[Cflatee[c]] = 0;
    });
  }
}

// Cuts the links of cell c across a side of the given type.
void cutSide(int c, int type) {
  switch (type) {
    case 1: Ccells[c] = 0; break;
    case 2: Ccelle[c] = 0; break;
    case 3: Ccelln[c] = 0; break;
    case 4: Ccellw[c] = 0; break;
    default: break;
  }
}

// F 159 5 or 6: a face between two cells too small to carry flow is closed on both sides.
void cutSmallFaces(int nf) {
  if (FlagGridStab5 != 5 && FlagGridStab5 != 6) return;
  for (int f = 1; f <= nf; ++f) {
    if (Fcell1[f] <= 0 || Fcell2[f] <= 0 || !(Farea[f] < SmallNumberUnstruc)) continue;
    cutSide(Fcell1[f], Ftype1[f]);
    cutSide(Fcell2[f], Ftype2[f]);
    Fflagflow[f] = 0;
    Fcell1[f] = 0;
    Fcell2[f] = 0;
  }
}

int nestCount() {
  const long long cap = Npflate ? static_cast<long long>(Npflate.size()) - 1 : 0;
  return NoNestflater < cap ? NoNestflater : static_cast<int>(cap);
}

// Only the bottom surfaces of bed-following nested blocks keep their flag.
void nestedBoundaryFlags(int nf) {
  const int nn = nestCount();
  for (int n = 1; n <= nn; ++n) {
    const int f = Npflate[n], b = Npblock[n];
    if (f <= 0 || f > nf) continue;
    const bool bottom = Ftype1[f] == 5 || Ftype2[f] == 5;
    const bool follows = b >= 1 && b < 100 && block[b].bedfollow == 1;
    if (!(bottom && follows)) Fflagflow[f] = 0;
  }
}

// Level of each boundary surface's cell in its column, for the inflow profiles.
void dischargeLevels(int nf) {
  if (FlagCyclic == 0 && inflowj <= 0) return;
  for (int g = 1; g <= 9; ++g) {
    DischargeGroup& d = DischargeStruct[g];
    // The lists hold entries 0..surfaceNo-1, as everywhere else.
    const int n = std::min(d.surfaceNo, static_cast<int>(d.surfaceList.size()));
    for (int m = 0; m < n; ++m) {
      const int f = d.surfaceList[m];
      int c = f > 0 && f <= nf ? Fcell1[f] : 0;
      if (c == 0 && f > 0 && f <= nf) c = Fcell2[f];
      d.levelList[m] = levelOfCell(c);
    }
  }
}

struct Point3 {
  double x, y, z;
};

Point3 surfaceCentre(int f) {
  return {0.25 * (Px[Fpoint1[f]] + Px[Fpoint2[f]] + Px[Fpoint3[f]] + Px[Fpoint4[f]]),
          0.25 * (Py[Fpoint1[f]] + Py[Fpoint2[f]] + Py[Fpoint3[f]] + Py[Fpoint4[f]]),
          0.25 * (Pz[Fpoint1[f]] + Pz[Fpoint2[f]] + Pz[Fpoint3[f]] + Pz[Fpoint4[f]])};
}

// Cell of first..last above the level of point s whose centre is nearest to it; 0 when none.
int nearestCellAbove(const Point3& s, int first, int last) {
  int found = 0;
  double best = 1e300;
  for (int c = first; c <= last; ++c) {
    if (!(Czcenter[c] > s.z)) continue;
    const double dx = Cxcenter[c] - s.x, dy = Cycenter[c] - s.y, dz = Czcenter[c] - s.z;
    const double d = dx * dx + dy * dy + dz * dz;
    if (d < best) {
      best = d;
      found = c;
    }
  }
  return found;
}

// The four top cells of first..last nearest in plan to the centre s of side surface f, on its
// outer side, nearest first; a later cell at the same distance goes behind an earlier one.
// Entries without a cell are 0.
void nearestTopCells(int f, const Point3& s, int first, int last, int cell[4]) {
  const double sign = Fcell1[f] == 0 ? -1.0 : 1.0;
  double dist[4] = {1e300, 1e300, 1e300, 1e300};
  for (int k = 0; k < 4; ++k) cell[k] = 0;
  for (int c = first; c <= last; ++c) {
    if (Ccellt[c] != 0) continue;
    const double dx = Cxcenter[c] - s.x, dy = Cycenter[c] - s.y;
    if (!(sign * (dx * Fvx[f] + dy * Fvy[f]) > 0)) continue;
    const double d = dx * dx + dy * dy;
    int k = 4;
    while (k > 0 && d < dist[k - 1]) --k;
    if (k == 4) continue;
    for (int m = 3; m > k; --m) {
      dist[m] = dist[m - 1];
      cell[m] = cell[m - 1];
    }
    dist[k] = d;
    cell[k] = c;
  }
}

// The cell of the column below top cell `top` whose centre is nearest to level z; the lower
// cell on ties.
int nearestInColumn(int top, double z) {
  int best = top;
  double bd = std::fabs(Czcenter[best] - z);
  downColumn(cellBelow(top), [&](int c) {
    const double d = std::fabs(Czcenter[c] - z);
    if (d <= bd) {
      bd = d;
      best = c;
    }
  });
  return best;
}

// Unit vectors from the centre s of nesting surface n to the centres of its coarse cells.
void unitVectors(int n, const Point3& s) {
  for (int k = 0; k < 4; ++k) {
    const int c = Ncell[n][k];
    if (c <= 0) continue;
    const double dx = Cxcenter[c] - s.x, dy = Cycenter[c] - s.y, dz = Czcenter[c] - s.z;
    const double len = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (len <= 0) continue;
    Nvect[n][k][0] = dx / len;
    Nvect[n][k][1] = dy / len;
    Nvect[n][k][2] = dz / len;
  }
}

// Four coarse cells of block 1 around each nested boundary surface, and the unit vectors to
// them: a top surface (with F 241) takes the nearest cell above it; a side surface the four
// nearest top cells in plan on its outer side, each moved down its column to the surface's
// level.
void nestLinks(int nf) {
  if (NoNestflater <= 1) return;
  if (FlagNestDLL >= 1) {
    for (int b = 1; b <= NoBlocks && b < 100; ++b) blocknested[b] = block[b].nestlevel == 1;
    return;
  }
  if (NoBlocks < 1 || !Ncell || !Nvect) return;
  const int first = std::max(block[1].cellstart, 1);
  const int last = std::min(block[1].cellend, NoCells);
  const int nn = static_cast<int>(
      std::min<long long>(nestCount(), static_cast<long long>(Ncell.dim(0)) - 1));
  for (int n = 1; n <= nn; ++n) {
    const int f = Npflate[n];
    for (int k = 0; k < 4; ++k) Ncell[n][k] = 0;
    if (f <= 0 || f > nf) continue;
    const Point3 s = surfaceCentre(f);
    if (NestSurf >= 1 && Ftype1[f] == 6) {
      Ncell[n][0] = nearestCellAbove(s, first, last);
    } else {
      int cell[4];
      nearestTopCells(f, s, first, last, cell);
      for (int k = 0; k < 4; ++k) Ncell[n][k] = cell[k] > 0 ? nearestInColumn(cell[k], s.z) : 0;
    }
    unitVectors(n, s);
  }
}

void nestInterpolation(int nc) {
  if (Cinterpolnest)
    for (int c = 1; c <= nc; ++c) Cinterpolnest[c] = 0;
  if (NestInterpolRelax > 1e-8 || (FlagCoupledNesting > 0 && FlagCoupledNesting != 10) ||
      FlagNestTop == 4)
    computeCinterpolnest();
}

// Histogram of the cell bottoms of the bed cells and, when geodata exists, of the survey
// levels, in 101 bins between the lowest cell bottom and the highest cell centre.
void writeCellvol(int nc) {
  double zmin = 10000, zmax = -100000;
  for (int c = 1; c <= nc; ++c) {
    zmin = std::fmin(zmin, Czcenter[c] - Ckdist[c]);
    zmax = std::fmax(zmax, Czcenter[c]);
  }
  const double width = (zmax - zmin) / 100.0;
  // Bin of a level, or -1 for a level outside the 101 bins (a survey point below the lowest
  // cell bottom or above the highest cell centre).
  auto bin = [zmin, width](double z) {
    const double v = (z - zmin) / width + 1e-6;
    return v > -1.0 && v < 101.0 ? static_cast<int>(v) : -1;
  };
  double count[101] = {};
  for (int c = 1; c <= nc; ++c) {
    if (Ccellb[c] != 0) continue;
    const int k = bin(Czcenter[c] - Ckdist[c]);
    if (k >= 0) count[k] += 1.0;
  }
  // Written whole (both tables) or not at all.
  OutFile file("cellvol");
  if (!file.ok()) {
    mc_message = "cannot open file 'cellvol' ";
    failWrite("cellvol", file.reason().c_str(), -3);
  }
  std::FILE* out = file.get();
  for (int k = 0; k <= 100; ++k) std::fprintf(out, "%lf %lf\n", zmin + k * width, count[k]);

  std::FILE* geo = std::fopen("geodata", "r");
  if (!geo) {
    file.commitOrEnd(-3);
    return;
  }
  for (double& n : count) n = 0;
  long used = 0;
  double x, y, z;
  for (long read = 0; read < 1000000000L; ++read) {
    if (std::fscanf(geo, "E %lf %lf %lf\n", &x, &y, &z) != 3) break;
    const int k = bin(z);
    if (k < 0) continue;
    count[k] += 1.0;
    ++used;
  }
  std::fclose(geo);
  std::fprintf(out, "No. points used in geodata file: %ld\n", used);
  for (int k = 0; k <= 100; ++k) std::fprintf(out, "%lf %lf\n", zmin + k * width, count[k]);
  file.commitOrEnd(-3);
}

void reports(int nc) {
  if (FlagWriteSpecial == 12) writeCellvol(nc);
  if (FlagWriteSpecial == 15) {
    // Cdzdk is the mean length of the four vertical edges, the height of the cell itself.
    double hmax = 0, hmin = 1e7, sum = 0;
    for (int c = 1; c <= nc; ++c) {
      const double h = Cdzdk[c];
      hmax = std::fmax(hmax, h);
      hmin = std::fmin(hmin, h);
      sum += h;
    }
    logf("Vertical cell size: Max: %lf, Min: %lf, Average: %lf m\n\n", hmax, hmin,
         nc > 0 ? sum / nc : 0.0);
  }
  if (FlagWriteSpecial == 16) {
    double sum = 0;
    for (int c = 1; c <= nc; ++c) sum += Ckdist[c] / std::sqrt(Cidist[c] * Cjdist[c] + 1e-20);
    logf("Average cell height/width = %lf\n", nc > 0 ? sum / nc : 0.0);
  }
}

// Cells of the three-dimensional blocks column by column, from index 1, ended by 0.
void solvingOrder() {
  if (!Cisolve) return;
  const int last = static_cast<int>(Cisolve.size()) - 1;
  int n = 0;
  Cisolve[0] = 0;
  for (int b = 1; b <= NoBlocks && b < 100; ++b) {
    const GridBlock& k = block[b];
    if (k.flag2D != 0 || k.i1 > k.i2) continue;
    for (int i = k.i1; i <= k.i2; ++i)
      for (int j = k.j1; j <= k.j2; ++j)
        upColumn(columnBottom(i, j), [&n, last](int c) {
          if (n + 1 < last) Cisolve[++n] = c;
        });
  }
  Cisolve[n + 1] = 0;
}

}  // namespace

int findFlagflowTriangle(int f) {
  const int c1 = Fcell1[f];
  if (c1 > 0 && Ccellb[c1] > 0) {
    const int b = bottomOf(c1);
    if (Ftype1[f] == 2) return Ccelle[b] > 0 ? 2 : 0;
    if (Ftype1[f] == 3) return Ccelln[b] > 0 ? 2 : 0;
  }
  const int c2 = Fcell2[f];
  if (c2 > 0 && Ccellb[c2] > 0) {
    const int b = bottomOf(c2);
    if (Ftype2[f] == 1) return Ccells[b] > 0 ? 2 : 0;
    if (Ftype2[f] == 4) return Ccellw[b] > 0 ? 2 : 0;
  }
  return 0;
}

void metric() {
  if (FlagExtraDebug == 1) logf("In start of metric %d\n", FlagHaveDoneMetric);
  if (FlagHaveDoneMetric == 1 && FlagTestBugMetric == 0) return;

  const int nc = cellLimit(NoCells);
  const int nf = surfaceLimit(NoSurfaces);
  cellGeometry(nc);
  surfaceGeometry(nf);
  wedgeCorrections(nc);
  unevenNeighbours(nc);
  tiltSurfaces(nf);
  otime[44] = omp_get_wtime();
  blockJoints();
  flowFlags(nf);
  blockDivisionSides();
  cutSmallFaces(nf);
  nestedBoundaryFlags(nf);
  dischargeLevels(nf);
  otime[45] = omp_get_wtime();
  nestLinks(nf);
  otime[46] = omp_get_wtime();
  nestInterpolation(nc);
  otime[47] = omp_get_wtime();
  reports(nc);
  solvingOrder();

  FlagHaveDoneMetric = 1;
  if (FlagExtraDebug == 1) logf("End metric\n");
}

int CheckFparamBody() {
  std::string log;  // the report, appended to `boogie` whole at the end
  const int c0 = std::max(WCStart, 1), c9 = cellLimit(WCEnd);
  if (FlagGridStab5 != 5 && FlagGridStab5 != 6) {
    for (int c = c0; c <= c9; ++c) {
      auto own = [&log, c](const char* side, const char* slot, const Table1<int>& cell, int f) {
        if (cell[f] != c) log += strf("Grid error for cell %d %s, %s[%d] = %d\n", c, side,
                                       slot, f, cell[f]);
      };
      own("e", "Fcell1", Fcell1, Cflatee[c]);
      own("w", "Fcell2", Fcell2, Cflatew[c]);
      own("s", "Fcell2", Fcell2, Cflates[c]);
      own("n", "Fcell1", Fcell1, Cflaten[c]);
      own("b", "Fcell2", Fcell2, Cflateb[c]);
      own("t", "Fcell1", Fcell1, Cflatet[c]);
    }
  }
  for (int c = c0; c <= c9; ++c) {
    auto type = [&log, c](const char* side, const char* slot, const Table1<int>& t, int f,
                         int want) {
      if (t[f] != want)
        log += strf("Grid error for cell %d %s, %s[%d] = %d\n", c, side, slot, f, t[f]);
    };
    type("s", "Ftype2", Ftype2, Cflates[c], 1);
    type("e", "Ftype1", Ftype1, Cflatee[c], 2);
    type("n", "Ftype1", Ftype1, Cflaten[c], 3);
    type("w", "Ftype2", Ftype2, Cflatew[c], 4);
    type("b", "Ftype2", Ftype2, Cflateb[c], 5);
    type("t", "Ftype1", Ftype1, Cflatet[c], 6);
  }
  auto surfaceOf = [](int c, int type) {
    switch (type) {
      case 1: return Cflates[c];
      case 2: return Cflatee[c];
      case 3: return Cflaten[c];
      case 4: return Cflatew[c];
      case 5: return Cflateb[c];
      default: return Cflatet[c];
    }
  };
  const int f0 = std::max(WFStart, 1), f9 = surfaceLimit(WFEnd);
  const int ncell = cellLimit(NoCells);
  for (int f = f0; f <= f9; ++f) {
    const int sides[2][2] = {{Fcell1[f], Ftype1[f]}, {Fcell2[f], Ftype2[f]}};
    for (const auto& s : sides) {
      const int c = s[0], t = s[1];
      if (c < 1 || c > ncell || t < 1 || t > 6) continue;
      if (surfaceOf(c, t) != f)
        log += strf("Grid error for surface %d, type = %d, cell %d\n", f, t, c);
    }
  }
  log += strf("Have checked grid from cell %d to %d\n", WCStart, WCEnd);
  log += strf("Have checked grid from surface %d to %d\n\n", WFStart, WFEnd);
  // Grid errors that did not reach the log would read as a clean check.
  if (!appendToLog(log)) endLogFailed();
  return 0;
}

int CheckFparam() {
  if (UMethod2 >= 1) return UMethod2;
  return CheckFparamBody();
}

void ModifyGrid() {
  if (!Bkooi || !Bkooj || !Cbed || !Ckinen_res || !zval) return;
  const int c0 = std::max(WCStart, 1), c9 = cellLimit(WCEnd);
  if (c0 > c9) return;
  int best = 0;
  double most = 0;
  for (int c = c0; c <= c9; ++c)
    if (Ccellb[c] == 0 && Ckinen_res[c] > most) {
      most = Ckinen_res[c];
      best = c;
    }
  if (best == 0) return;
  int i = 0, j = 0;
  if (!columnOf(best, i, j)) return;

  // Point p lowered to the water level of grid line (li, lj) minus DzModifyGrid, never raised.
  auto lower = [](int p, int li, int lj) {
    if (p <= 0 || !onPlane(li, lj)) return;
    Pz[p] = std::fmin(Pz[p], zval[li][lj][znumber] - DzModifyGrid);
  };
  lower(Cpoint1[best], i - 1, j - 1);
  lower(Cpoint2[best], i, j - 1);
  lower(Cpoint3[best], i, j);
  lower(Cpoint4[best], i - 1, j);
  if (FlagModifyGrid > 1) {
    if (const int e = Ccelle[best]; e > 0) {
      lower(Cpoint2[e], i + 1, j - 1);
      lower(Cpoint3[e], i + 1, j);
    }
    if (const int w = Ccellw[best]; w > 0) {
      lower(Cpoint1[w], i - 2, j - 1);
      lower(Cpoint4[w], i - 2, j);
    }
    if (const int s = Ccells[best]; s > 0) {
      lower(Cpoint1[s], i - 1, j - 2);
      lower(Cpoint2[s], i, j - 2);
    }
    if (const int n = Ccelln[best]; n > 0) {
      lower(Cpoint3[n], i, j + 1);
      lower(Cpoint4[n], i - 1, j + 1);
    }
  }
  // The points have moved: the geometry must follow, whether or not metric has run before.
  FlagHaveDoneMetric = 0;
  metric();
  if (debugging == 'D')
    logf("ModifyGrid algorithm: %d cells, maxresidualcell = %lf\n", best, most);
}

}  // namespace qorva
