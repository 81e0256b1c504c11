// The 3-D result as a legacy VTK unstructured grid: the cells of block 1 as hexahedra, the
// velocity and the G 24 variables averaged from the cells to the grid points.
// Reads Px, Py, Pz, Cpoint1..8, Ccellt, Ccellb, zval, Surfaces, block[1], connFlate, TecStruc
// and the flow, turbulence, sediment and bed arrays; writes Pi, Pj, Pc, lnodem, bnodem and
// Cconc[0] (the total over the sizes) of the written cells.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "output/output.h"
#include "output/table_get.h"
#include "output/values.h"
#include "output/vtk_values.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
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

// G 24 may name an array that the run's options never created, or a layer or size beyond
// it; such a value shows as 0 instead of reading outside the table.
using namespace output_detail;


bool gridPointLetter(char letter) { return std::strchr("zyvstX", letter) && letter != '\0'; }

// Names of the G 24 letters whose name is fixed.
struct FixedName {
  char letter;
  const char* name;
};
constexpr FixedName kFixedNames[] = {
    {'z', "Bed_level"},
    {'y', "Depth"},
    {'v', "Water_level"},
    {'s', "Bed_movement"},
    {'t', "Sediment_thickness"},
    {'X', "Averaged_bed_movements_[m]"},
    {'A', "Reynolds_number"},
    {'B', "Bed_slope"},
    {'C', "Secondary_current_angle"},
    {'D', "Depth-averaged_velocity"},
    {'E', "Residual_epsilon"},
    {'F', "Froude_number"},
    {'G', "Groundwater_level_[m]"},
    {'H', "Residual_horizontal_velocity"},
    {'K', "Residual_k"},
    {'L', "Top_sediment_layer_thickness"},
    {'M', "Sediment_slide_elevation_changes_[m]"},
    {'O', "Potential_bed_concentration"},
    {'P', "Porosity"},
    {'R', "Residual_pressure"},
    {'U', "Bed_movement_in_time_step_[m]"},
    {'V', "Horiz_velocity"},
    {'u', "Horiz_velocity"},
    {'W', "Residual_vertical_velocity"},
    {'b', "Bed_form_height"},
    {'d', "Eddy-viscosity"},
    {'e', "Epsilon"},
    {'h', "Roughness/Depth"},
    {'i', "No_cells_vertical_direction"},
    {'k', "Turbulent_k"},
    {'l', "Bed_sediment_thickness"},
    {'m', "Bed_shear"},
    {'p', "Pressure"},
    {'r', "Roughness"},
    {'w', "Uz"},
    {'x', "Temperature_gradient"},
};

// The names of the Z records, chosen by their code.
std::string codedName(int code) {
  switch (code) {
    case 100: return "Averaged_secondary_current[]";
    case 102: return strf("Fraction_size_%d_[]", lnodem);
    case 103: return "D50_of_concentration";
    case 104: return "Tracer_fraction";
    case 105: return "Bed_concentration";
    case 107: return "Bminwaterlevel";
    default: return "Error";
  }
}

std::string arrayNameText(char letter, int code) {
  for (const FixedName& n : kFixedNames)
    if (n.letter == letter) return n.name;
  switch (letter) {
    case 'Z': return codedName(code);
    case 'a': return percentileTag() + strf("_level%d", bnodem + 1);
    case 'c': return strf("Sediment_conc_size_%d", lnodem);
    case 'f': return strf("Bed_sediment_fraction_layer_%d_size_%d", bnodem, lnodem);
    case 'j': return strf("Bed_cohesion_%d", bnodem + 1);
    case 'q': return strf("Water_Quality_%d", lnodem);
    default: return "Error";
  }
}

std::string arrayName(char letter, int code) { return oneWord(arrayNameText(letter, code)); }

// "ParaView3U.vtk", or the first free name of the numbered series when results are kept
// (P 10, P 15) or alldata times are given.
std::string fileName() {
  if (!numberedResults() && NoAlldataPrintout < 1)
    return FlagMPI == 0 ? "ParaView3U.vtk" : strf("ParaView3U.mpi%d.dat", FlagMPI);
  return numberedName(FlagMPI == 0 ? std::string("paru3_") : strf("paru.mpi%d.", FlagMPI),
                      {"0000%d.vtk", "000%d.vtk", "00%d.vtk", "0%d.vtk", "%d.vtk"});
}


// The cells whose value a point averages, point by point: cells[start[p] .. start[p+1]-1].
struct PointCells {
  std::vector<int> start, cells;
  int maxCell = 0;
};

PointCells pointCells(int np) {
  struct Column {
    int di, dj;
    const Table1<int>* a;
    const Table1<int>* b;
  };
  const Column columns[4] = {{1, 1, &Cpoint1, &Cpoint5},
                             {0, 0, &Cpoint3, &Cpoint7},
                             {0, 1, &Cpoint2, &Cpoint6},
                             {1, 0, &Cpoint4, &Cpoint8}};
  PointCells pc;
  pc.start.assign(static_cast<std::size_t>(np) + 2, 0);
  pc.cells.reserve(static_cast<std::size_t>(np) * 8);
  for (int p = 1; p <= np; ++p) {
    pc.start[p] = static_cast<int>(pc.cells.size());
    const int i = Pi[p], j = Pj[p], q = Pc[p];
    for (const Column& col : columns)
      upColumn(columnBottom(i + col.di, j + col.dj), [&](int c) {
        if ((*col.a)[c] == q || (*col.b)[c] == q) {
          pc.cells.push_back(c);
          pc.maxCell = std::max(pc.maxCell, c);
        }
      });
  }
  pc.start[np + 1] = static_cast<int>(pc.cells.size());
  return pc;
}

double average(const PointCells& pc, const std::vector<double>& value, int p) {
  double sum = 0;
  int count = 0;
  for (int m = pc.start[p]; m < pc.start[p + 1]; ++m) {
    sum += value[pc.cells[m]];
    ++count;
  }
  return sum / (count + 1e-20);
}

template <class F>
std::vector<double> cellValues(int maxCell, F f) {
  std::vector<double> v(static_cast<std::size_t>(maxCell) + 1, 0.0);
  for (int c = 1; c <= maxCell; ++c) v[c] = f(c);
  return v;
}

// Last point and cell of block 1, within the tables.
int lastOf(int end, std::size_t tableSize) {
  if (NoBlocks < 1 || tableSize == 0) return 0;
  return std::clamp<long long>(end, 0, static_cast<long long>(tableSize) - 1);
}

}  // namespace

void print_paraview3d() {
  const std::string name = fileName();
  // Written under a temporary name: a run that ends while it writes keeps the previous file.
  OutFile file(name);
  std::FILE* f = file.get();
  if (!f) {
    mc_message = strf("cannot open file '%s' ", name.c_str());
    failWrite(name, file.reason().c_str(), -3);
  }
  const int np = lastOf(block[1].pointend, std::min(Px.size(), Pc.size()));
  const int nc = lastOf(block[1].cellend, Cpoint1.size());
  setPointIndices(np, block[1].i1, block[1].i2, block[1].j1, block[1].j2);

  const std::string title = caseTitle();
  std::fprintf(f, "# vtk DataFile Version 2.0\n");
  std::fprintf(f, "Qorva 2 %s %lf seconds\n", title.c_str(), stimet);
  std::fprintf(f, "ASCII\n");
  std::fprintf(f, "DATASET UNSTRUCTURED_GRID\n");
  std::fprintf(f, "POINTS %d float\n", np);
  for (int p = 1; p <= np; ++p) std::fprintf(f, "%lf %lf %lf\n", Px[p], Py[p], Pz[p]);
  std::fprintf(f, "\n");
  std::fprintf(f, "CELLS %d %d\n", nc, 9 * nc);
  for (int c = 1; c <= nc; ++c)
    std::fprintf(f, "8 %d %d %d %d %d %d %d %d\n", Cpoint1[c] - 1, Cpoint2[c] - 1,
                 Cpoint3[c] - 1, Cpoint4[c] - 1, Cpoint5[c] - 1, Cpoint6[c] - 1, Cpoint7[c] - 1,
                 Cpoint8[c] - 1);

  if (nc >= 1 && Cconc && static_cast<std::size_t>(lnumber) < Cconc.dim(0)) {
    const int last = static_cast<int>(std::min<std::size_t>(nc, Cconc.dim(1) - 1));
    for (int c = 1; c <= last; ++c) {
      double sum = 0;
      for (int l = 1; l <= lnumber; ++l) sum += Cconc[l][c];
      Cconc[0][c] = sum;
    }
  }
  std::fprintf(f, "CELL_TYPES %d\n", nc);
  for (int c = 1; c <= nc; ++c) std::fprintf(f, "12\n");

  setMatchingPoints(np);
  const PointCells pc = pointCells(np);
  std::fprintf(f, "POINT_DATA %d\n", np);
  std::fprintf(f, "VECTORS Velocity float\n");
  {
    const auto u = cellValues(pc.maxCell, [](int c) { return get(Cxvel, c); });
    const auto v = cellValues(pc.maxCell, [](int c) { return get(Cyvel, c); });
    const auto w = cellValues(pc.maxCell, [](int c) { return get(Czvel, c); });
    for (int p = 1; p <= np; ++p)
      std::fprintf(f, "%lf %lf %lf\n", average(pc, u, p), average(pc, v, p), average(pc, w, p));
  }

  for (int r = 0; r < TecStrucNo && r < static_cast<int>(TecStruc.size()); ++r) {
    const OutputVariable& rec = TecStruc[r];
    lnodem = rec.sizeNo;
    bnodem = rec.level >= 1 ? rec.level - 1 : 0;
    const char letter = rec.variable;
    const int code = rec.extraInt;
    std::fprintf(f, "\nSCALARS %s float\n", arrayName(letter, code).c_str());
    std::fprintf(f, "LOOKUP_TABLE default\n");
    if (gridPointLetter(letter)) {
      for (int p = 1; p <= np; ++p) std::fprintf(f, "%lf\n", gridPointValue(letter, Pi[p], Pj[p]));
    } else {
      const auto value = cellValues(pc.maxCell, [&](int c) {
        return cellValue(letter, code, c, geti(Cbed, c), bnodem, lnodem);
      });
      for (int p = 1; p <= np; ++p) std::fprintf(f, "%lg\n", average(pc, value, p));
    }
  }
  // A sediment run shows the concentration of every size, whether G 24 names it or not.
  if (FlagTSC > 0 && Cconc)
    for (int l = 1; l <= lnumber && static_cast<std::size_t>(l) < Cconc.dim(0); ++l) {
      bool named = false;
      for (int r = 0; r < TecStrucNo && r < static_cast<int>(TecStruc.size()); ++r)
        named = named || (TecStruc[r].variable == 'c' && TecStruc[r].sizeNo == l);
      if (named) continue;
      std::fprintf(f, "\nSCALARS Sediment_conc_size_%d float\n", l);
      std::fprintf(f, "LOOKUP_TABLE default\n");
      const auto value = cellValues(pc.maxCell, [&](int c) { return get(Cconc, l, c); });
      for (int p = 1; p <= np; ++p) std::fprintf(f, "%lg\n", average(pc, value, p));
    }
  if (!file.commit()) {
    mc_message = strf("cannot open file '%s' ", name.c_str());
    failWrite(name, file.reason().c_str(), -3);
  }
}

// The letters of G 24 as the other VTK writers show them (output/vtk_values.h).
namespace output_detail {
double vtkCellValue(char letter, int code, int c) {
  return cellValue(letter, code, c, geti(Cbed, c), bnodem, lnodem);
}
double vtkGridPointValue(char letter, int i, int j) { return gridPointValue(letter, i, j); }
bool vtkGridPointLetter(char letter) { return gridPointLetter(letter); }
std::string vtkArrayName(char letter, int code) { return arrayName(letter, code); }
}  // namespace output_detail

}  // namespace qorva
