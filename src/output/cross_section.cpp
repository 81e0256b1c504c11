// A vertical cross section of the 3-D result along one grid column line of a block, as a
// legacy VTK polygon file: each cell a quadrilateral over the distance along the line and the
// elevation, with the flow across the section as a vector and the G 24 variables as cell data.
// Reads the blocks, zval, xval, yval, Ccellt, Cpoint1/4/5/8, Pz, the velocities, Cflaten with
// Fvx, Fvy, TecStruc and the arrays of the letters; writes lnodem, bnodem and mc_message.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "grid/columns.h"
#include "output/output.h"
#include "output/table_get.h"
#include "output/vtk_values.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/points.h"
#include "state/safe_file.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

using output_detail::get;
using output_detail::geti;

bool isGridPoint(long long i, long long j) {
  return xval && yval && zval && i >= 0 && j >= 0 && static_cast<std::size_t>(i) < xval.dim(0) &&
         static_cast<std::size_t>(j) < xval.dim(1) && static_cast<std::size_t>(i) < zval.dim(0) &&
         static_cast<std::size_t>(j) < zval.dim(1);
}

// The cells of one column of the section, from its bottom cell up, and the distances along the
// line before and after it.
struct SectionColumn {
  int i, j;
  double sw, se;
  std::vector<int> cells;
};

std::vector<SectionColumn> sectionColumns(const GridBlock& k, int i) {
  std::vector<SectionColumn> cols;
  double s = 0;
  for (int j = k.j1; j <= k.j2; ++j) {
    SectionColumn col{i, j, s, s, {}};
    if (isGridPoint(i, j) && isGridPoint(i, j - 1)) {
      col.se = s + std::hypot(xval[i][j] - xval[i][j - 1], yval[i][j] - yval[i][j - 1]);
      upColumn(columnBottom(i, j), [&col](int c) { col.cells.push_back(c); });
    }
    s = col.se;
    cols.push_back(std::move(col));
  }
  return cols;
}

std::string fileName(int blockNo, int i) {
  if (PrintRes == 0 && PrintResAlways == 0 && NoAlldataPrintout < 1)
    return FlagMPI == 0 ? strf("ParaCross_%d_%d.vtk", blockNo, i)
                        : strf("ParaCross.mpi%d_%d_%d.vtk", FlagMPI, blockNo, i);
  return numberedName(FlagMPI == 0 ? strf("parc%d_%d_", blockNo, i) : strf("parc.mpi%d.", FlagMPI),
                      {"0000%d.vtk", "000%d.vtk", "00%d.vtk", "0%d.vtk", "%d.vtk"});
}

// Names as in the 3-D result, except Z and j, which the section does not name.
std::string sectionName(char letter, int code) {
  if (letter == 'Z' || letter == 'j') return "Error";
  return output_detail::vtkArrayName(letter, code);
}

// The value of a letter in cell c of column (i, j): the grid-point letters show the column's
// corner (i, j) (X that of the bed cell's own indices); Z, which the section does not name,
// shows 0.
double sectionValue(char letter, int code, int c, int i, int j) {
  if (letter == 'Z') return 0.0;
  if (letter == 'X') {
    const int b = geti(Cbed, c);
    return output_detail::vtkGridPointValue('X', geti(Bkooi, b), geti(Bkooj, b));
  }
  if (output_detail::vtkGridPointLetter(letter)) return output_detail::vtkGridPointValue(letter, i, j);
  return output_detail::vtkCellValue(letter, code, c);
}

}  // namespace

void print_cross3d(int blockNo, int i) {
  if (blockNo < 1 || blockNo > NoBlocks || blockNo >= static_cast<int>(block.size())) return;
  const GridBlock& k = block[blockNo];
  const std::vector<SectionColumn> cols = sectionColumns(k, i);
  int N = 0;
  double U = 0, V = 0;
  for (const SectionColumn& col : cols)
    for (int c : col.cells) {
      ++N;
      U += get(Cxvel, c);
      V += get(Cyvel, c);
    }
  const double d = N > 0 ? std::sqrt(U * U + V * V + 1e-20) : 1e-10;

  const std::string name = fileName(blockNo, i);
  OutFile f(name);
  if (!f.ok()) {
    mc_message = strf("cannot open file '%s' ", name.c_str());
    failWrite(name, f.reason().c_str(), -3);
  }
  const std::string title(Title.data() + 1, strnlen(Title.data() + 1, Title.size() - 1));
  f.printf("# vtk DataFile Version 2.0\n");
  f.printf("Qorva 2 2D cross-section file %s \n", title.c_str());
  f.printf("ASCII\n");
  f.printf("DATASET POLYDATA\n");
  f.printf("POINTS %d float\n", 4 * N);
  for (const SectionColumn& col : cols)
    for (int c : col.cells)
      f.printf("%lf %lf %lf  %lf %lf %lf  %lf %lf %lf  %lf %lf %lf\n", col.sw, 0.0,
               get(Pz, geti(Cpoint1, c)), col.se, 0.0, get(Pz, geti(Cpoint4, c)), col.se, 0.0,
               get(Pz, geti(Cpoint8, c)), col.sw, 0.0, get(Pz, geti(Cpoint5, c)));
  f.printf("\nPOLYGONS %d %d\n", N, 5 * N);
  for (int m = 0; m < N; ++m) f.printf("4 %d %d %d %d\n", 4 * m, 4 * m + 1, 4 * m + 2, 4 * m + 3);
  f.printf("\nCELL_DATA %d\n", N);
  f.printf("VECTORS Velocity float\n");
  for (const SectionColumn& col : cols) {
    if (col.cells.empty()) continue;
    for (int c : col.cells) {
      const int n = geti(Cflaten, c);
      const double u = get(Cxvel, c), v = get(Cyvel, c);
      const double across = k.thixo != 0 ? u * get(Fvx, n) + v * get(Fvy, n) : (U * v - V * u) / d;
      f.printf("%lf 0.0 %lf   ", across, get(Czvel, c));
    }
    f.printf("\n");
  }
  for (int r = 0; r < TecStrucNo && r < static_cast<int>(TecStruc.size()); ++r) {
    const OutputVariable& rec = TecStruc[r];
    lnodem = rec.sizeNo;
    bnodem = rec.level >= 1 ? rec.level - 1 : 0;
    f.printf("\nSCALARS %s float\n", sectionName(rec.variable, rec.extraInt).c_str());
    f.printf("LOOKUP_TABLE default\n");
    for (const SectionColumn& col : cols) {
      if (col.cells.empty()) continue;
      for (int c : col.cells) {
        const double v = sectionValue(rec.variable, rec.extraInt, c, col.i, col.j);
        if (std::fabs(v) < 1e-14)
          f.printf("0.0 ");
        else
          f.printf("%lg ", v);
      }
      f.printf("\n");
    }
  }
  if (!f.commit()) {
    mc_message = strf("cannot open file '%s' ", name.c_str());
    failWrite(name, f.reason().c_str(), -3);
  }
  mc_message = "have written ParaCross file  ";
}

}  // namespace qorva
