// The layered bed as legacy VTK files: a vertical section along a grid row ("ParaBed2D.vtk",
// writeParaBed3) or a column line ("ParaBed2DC.vtk", writeParaBed5), one polygon per layer of
// each column, and all layers of a block as flat slabs ("ParaBed3D.vtk", writeParaBed4); and
// the continuity test file "bedtest" of F 404 5.
// Reads the blocks, pointbed, BlayerTop, BSedDistrib, Surfaces, xval, yval, gsize, Bedmove,
// Bcellt and the bottom cells' flow values; writes mc_message and FlagBedtestMade.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "output/output.h"
#include "output/table_get.h"
#include "output/vtk_values.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/safe_file.h"
#include "state/status.h"
#include "state/structured.h"

namespace qorva {

namespace {

using output_detail::get;
using output_detail::geti;

// The grid-point tables hold (i, j).
bool isGridPoint(long long i, long long j) {
  return xval && yval && i >= 0 && j >= 0 && static_cast<std::size_t>(i) < xval.dim(0) &&
         static_cast<std::size_t>(j) < xval.dim(1) && static_cast<std::size_t>(i) < yval.dim(0) &&
         static_cast<std::size_t>(j) < yval.dim(1);
}
double gx(long long i, long long j) { return isGridPoint(i, j) ? xval[i][j] : 0.0; }
double gy(long long i, long long j) { return isGridPoint(i, j) ? yval[i][j] : 0.0; }

int bedCellOf(long long i, long long j) {
  return pointbed && i >= 0 && j >= 0 && static_cast<std::size_t>(i) < pointbed.dim(0) &&
                 static_cast<std::size_t>(j) < pointbed.dim(1)
             ? pointbed[i][j]
             : 0;
}

// Layers 0..count-1 of bed cell b: BlayerTop + 1, none when negative, never more than the
// stack holds.
int layerCount(int b) {
  if (!BlayerTop || !BSedDistrib || b < 0 || static_cast<std::size_t>(b) >= BlayerTop.size())
    return 0;
  const long long n = static_cast<long long>(BlayerTop[b]) + 1;
  return static_cast<int>(std::clamp<long long>(n, 0, static_cast<long long>(BSedDistrib.dim(0))));
}

// Base of column (i, j)'s stack: the mean non-erodible level of its corners.
double baseLevel(int i, int j) {
  return (get(Surfaces, 3, i, j) + get(Surfaces, 3, i - 1, j) + get(Surfaces, 3, i, j - 1) +
          get(Surfaces, 3, i - 1, j - 1)) /
         4;
}
double thickness(int layer, int b) { return get(BSedDistrib, layer, 0, b); }
double fraction(int layer, int l, int b) { return get(BSedDistrib, layer, l, b); }

// The sizes whose share of a layer the tracer array shows. Only the size sets of 18 and 10
// sizes carry a tracer; with other numbers of sizes the array shows 0.
double tracerFraction(int layer, int b) {
  static constexpr int k18[] = {2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 16, 17};
  static constexpr int k10[] = {3, 5, 7, 9};
  double s = 0;
  if (lnumber == 18)
    for (int l : k18) s += fraction(layer, l, b);
  else if (lnumber == 10)
    for (int l : k10) s += fraction(layer, l, b);
  return s;
}

// gsize of the size with the largest fraction (the first of equal ones; gsize[0] when none is
// above 0).
double dominantSize(int layer, int b) {
  int best = 0;
  double most = 0;
  for (int l = 1; l <= lnumber; ++l)
    if (fraction(layer, l, b) > most) {
      most = fraction(layer, l, b);
      best = l;
    }
  return best < static_cast<int>(gsize.size()) ? gsize[best] : 0.0;
}

// One column of a section or of the slab file.
struct StackColumn {
  int i, j, b, layers;
  double aw, bw, ae, be;  // the section's horizontal coordinates of its west and east edges
};

int elementCount(const std::vector<StackColumn>& cols) {
  int p = 0;
  for (const StackColumn& c : cols) p += c.layers;
  return p;
}

std::string title() {
  return std::string(Title.data() + 1, strnlen(Title.data() + 1, Title.size() - 1));
}

// A layer file that cannot be written ends the run; an older copy stays.
void openOrEnd(const OutFile& file) {
  if (file.ok()) return;
  mc_message = strf("cannot open file '%s' ", file.name().c_str());
  failWrite(file.name(), file.reason().c_str(), -3);
}
void commitOrEnd(OutFile& file) {
  if (file.commit()) return;
  mc_message = strf("cannot open file '%s' ", file.name().c_str());
  failWrite(file.name(), file.reason().c_str(), -3);
}

// A value line per column, one value per layer.
template <class V>
void layerArray(OutFile& f, const std::string& name, const std::vector<StackColumn>& cols,
                const char* format, V value) {
  f.printf("\nSCALARS %s float 1\n", name.c_str());
  f.printf("LOOKUP_TABLE default\n");
  for (const StackColumn& c : cols) {
    for (int L = 0; L < c.layers; ++L) f.printf(format, value(L, c.b));
    f.printf("\n");
  }
}
// " %lg", or " 0.0" for a value that only rounding keeps from 0.
template <class V>
void smallZeroArray(OutFile& f, const std::string& name, const std::vector<StackColumn>& cols,
                    const char* format, const char* zero, V value) {
  f.printf("\nSCALARS %s float 1\n", name.c_str());
  f.printf("LOOKUP_TABLE default\n");
  for (const StackColumn& c : cols) {
    for (int L = 0; L < c.layers; ++L) {
      const double v = value(L, c.b);
      if (std::fabs(v) < 1e-14)
        f.printf("%s", zero);
      else
        f.printf(format, v);
    }
    f.printf("\n");
  }
}

void writeSection(const std::string& name, const std::vector<StackColumn>& cols) {
  OutFile f(name);
  openOrEnd(f);
  const int P = elementCount(cols);
  f.printf("# vtk DataFile Version 2.0\n");
  f.printf("Qorva 2 2D bed file %s \n", title().c_str());
  f.printf("ASCII\n");
  f.printf("DATASET POLYDATA\n");
  f.printf("POINTS %d float\n", 4 * P);
  for (const StackColumn& c : cols) {
    double z = baseLevel(c.i, c.j);
    for (int L = 0; L < c.layers; ++L) {
      const double t = thickness(L, c.b);
      f.printf("%lf %lf %lf  %lf %lf %lf  ", c.aw, c.bw, z, c.ae, c.be, z);
      f.printf("%lf %lf %lf  %lf %lf %lf\n", c.ae, c.be, z + t, c.aw, c.bw, z + t);
      z += t;
    }
  }
  f.printf("\nPOLYGONS %d %d\n", P, 5 * P);
  for (int k = 0; k < P; ++k) f.printf("4 %d %d %d %d\n", 4 * k, 4 * k + 1, 4 * k + 2, 4 * k + 3);
  f.printf("\nCELL_DATA %d\n", P);
  smallZeroArray(f, "D50", cols, " %lg", " 0.0",
                 [](int L, int b) { return output_detail::layerPercentile(L, b, 0.5); });
  if (FlagBedFractionsPrint >= 1)
    for (int l = 1; l <= lnumber; ++l)
      smallZeroArray(f, strf("Sediment_fraction_%d", l), cols, " %lg", " 0.0",
                     [l](int L, int b) { return fraction(L, l, b); });
  layerArray(f, "Dominant_size", cols, " %lf", dominantSize);
  if (FlagFractionsPrint >= 1) layerArray(f, "Tracer", cols, " %lf", tracerFraction);
  commitOrEnd(f);
  mc_message = "have written ParaBed file  ";
}

// The block's columns cut by a row or line: 0 picks the middle, and 1, a negative number or
// one past the block's last gives nothing.
int sectionLine(int n, int first, int last) {
  if (n == 1 || n < 0 || n > last) return -1;
  return n == 0 ? (first + last) / 2 : n;
}

bool validBlock(int b) { return b >= 1 && b <= NoBlocks && b < static_cast<int>(block.size()); }

// One line of bedtest per column of the block: the defect of the layer sums against the bed
// change, and the flow in the column's bottom cell.
void appendBedtest(int blockNo) {
  const char* name = "bedtest";
  if (FlagBedtestMade == 0) {
    OutFile head(name);
    if (head.ok())
      head.printf("Continuity test file: Bed defect, Bedmove[b],Sum BSedDistrib[0], "
                  "Surf[OR]-Surf[LB], Cxvel, Cyvel, Ckinen\n\n");
    if (!head.ok() || !head.commit()) {
      logf("Warning: could not write the file 'bedtest'; the bed-layer sections go on\n");
      return;
    }
    FlagBedtestMade = 1;
  }
  File f(name, "a");
  if (!f) {
    logf("Warning: could not write the file 'bedtest'; the bed-layer sections go on\n");
    return;
  }
  std::fprintf(f.get(), "\nIter %d\n\n", Iter);
  const GridBlock& k = block[blockNo];
  for (int i = k.i1; i <= k.i2; ++i)
    for (int j = k.j1; j <= k.j2; ++j) {
      const int b = bedCellOf(i, j);
      double S = 0;
      for (int L = 0; L < layerCount(b); ++L) S += thickness(L, b);
      const double zb = baseLevel(i, j);
      const double D = (get(Surfaces, 0, i, j) + get(Surfaces, 0, i - 1, j) +
                        get(Surfaces, 0, i, j - 1) + get(Surfaces, 0, i - 1, j - 1)) /
                           4 -
                       zb;
      const double m = get(Surfaces, 5, i, j);
      const int c = geti(Bcellt, b);
      std::fprintf(f.get(), "%lf %lf %lf %lf %lf %lf", m - S + D, m, S - D, S, D, zb);
      std::fprintf(f.get(), " %lf %lf %lf\n", get(Cxvel, c), get(Czvel, c), get(Ckinen, c));
    }
  if (!f.close()) logf("Warning: could not write the file 'bedtest'; the bed-layer sections go on\n");
}

}  // namespace

void writeParaBed3(int blockNo, int j) {
  if (!validBlock(blockNo)) return;
  const GridBlock& k = block[blockNo];
  j = sectionLine(j, k.j1, k.j2);
  if (j < 0) return;
  std::vector<StackColumn> cols;
  double s = 0;
  for (int i = k.i1; i <= k.i2; ++i) {
    const double len = std::hypot(gx(i, j) - gx(i - 1, j), gy(i, j) - gy(i - 1, j));
    const int b = bedCellOf(i, j);
    cols.push_back({i, j, b, layerCount(b), s, (gy(i - 1, j) + gy(i - 1, j - 1)) / 2, s + len,
                    (gy(i, j) + gy(i, j - 1)) / 2});
    s += len;
  }
  const std::string name =
      PrintRes != 0 ? numberedName(strf("pab2_%d_", j),
                                   {"0000%d.vtk", "000%d.vtk", "00%d.vtk", "0%d.vtk", "%d.vtk"})
                    : std::string("ParaBed2D.vtk");
  writeSection(name, cols);
  if (FlagMorphStatistics == 5) appendBedtest(blockNo);
}

void writeParaBed5(int blockNo, int i) {
  if (!validBlock(blockNo)) return;
  const GridBlock& k = block[blockNo];
  i = sectionLine(i, k.i1, k.i2);
  if (i < 0) return;
  std::vector<StackColumn> cols;
  for (int j = k.j1; j <= k.j2; ++j) {
    const int b = bedCellOf(i, j);
    cols.push_back({i, j, b, layerCount(b), (gx(i, j - 1) + gx(i - 1, j - 1)) / 2, gy(i, j - 1),
                    (gx(i, j) + gx(i - 1, j)) / 2, gy(i, j)});
  }
  const std::string name =
      PrintRes != 0 ? numberedName(strf("pabc2_%d_", i),
                                   {"0000%d.vtk", "000%d.vtk", "00%d.vtk", "0%d.vtk", "%d.vtk"})
                    : std::string("ParaBed2DC.vtk");
  writeSection(name, cols);
}

void writeParaBed4(int blockNo) {
  if (!validBlock(blockNo)) return;
  const GridBlock& k = block[blockNo];
  std::vector<StackColumn> cols;
  for (int j = k.j1; j <= k.j2; ++j)
    for (int i = k.i1; i <= k.i2; ++i) {
      const int b = bedCellOf(i, j);
      cols.push_back({i, j, b, layerCount(b), 0, 0, 0, 0});
    }
  const std::string name =
      PrintRes != 0
          ? numberedName("pab3_", {"0000%d.vtk", "000%d.vtk", "00%d.vtk", "0%d.vtk", "%d.vtk"})
          : std::string("ParaBed3D.vtk");
  OutFile f(name);
  openOrEnd(f);
  const int P = elementCount(cols);
  f.printf("# vtk DataFile Version 2.0\n");
  f.printf("Qorva 2 3D bed file %s \n", title().c_str());
  f.printf("ASCII\n");
  f.printf("DATASET UNSTRUCTURED_GRID\n");
  f.printf("POINTS %d float\n", 8 * P);
  for (const StackColumn& c : cols) {
    const int ci[4] = {c.i - 1, c.i, c.i, c.i - 1}, cj[4] = {c.j - 1, c.j - 1, c.j, c.j};
    double z = baseLevel(c.i, c.j);
    for (int L = 0; L < c.layers; ++L) {
      for (double level : {z, z + thickness(L, c.b)})
        for (int m = 0; m < 4; ++m)
          f.printf(m < 3 ? "%lf %lf %lf  " : "%lf %lf %lf\n", gx(ci[m], cj[m]), gy(ci[m], cj[m]),
                   level);
      z += thickness(L, c.b);
    }
  }
  f.printf("\nCELLS %d %d\n", P, 9 * P);
  for (int e = 0; e < P; ++e) {
    f.printf("8");
    for (int m = 0; m < 8; ++m) f.printf(" %d", 8 * e + m);
    f.printf("\n");
  }
  f.printf("\nCELL_TYPES %d\n", P);
  for (int e = 0; e < P; ++e) f.printf("12\n");
  f.printf("\nCELL_DATA %d\n", P);
  if (FlagFractionsPrint != 0)
    smallZeroArray(f, "Tracer", cols, "%lg ", "0.0 ", tracerFraction);
  else if (lnumber > 0)
    for (int l = 1; l <= lnumber; ++l)
      smallZeroArray(f, strf("Sediment_fraction_%d", l), cols, "%lg ", "0.0 ",
                     [l](int L, int b) { return fraction(L, l, b); });
  commitOrEnd(f);
  mc_message = "have written ParaBed file  ";
}

}  // namespace qorva
