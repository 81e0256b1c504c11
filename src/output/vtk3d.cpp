// The 3-D result as a legacy VTK unstructured grid: the cells of block 1 as hexahedra, the
// velocity and the G 24 variables averaged from the cells to the grid points, and in a sediment
// run the concentration of every size.
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

// Radians to degrees as the result files have always shown angles (180 / 3.1415).
constexpr double kDegrees = 57.29746936176985;

// G 24 may name an array that the run's options never created, or a layer or size beyond
// it; such a value shows as 0 instead of reading outside the table.
using output_detail::get;
using output_detail::geti;

bool isCell(int c) { return c >= 1 && static_cast<std::size_t>(c) < Ccellt.size(); }
bool isPoint(int p) { return p >= 1 && static_cast<std::size_t>(p) < Pc.size(); }
bool isGridPoint(long long i, long long j) {
  return zval && i >= 0 && j >= 0 && static_cast<std::size_t>(i) < zval.dim(0) &&
         static_cast<std::size_t>(j) < zval.dim(1);
}
double zlevel(long long i, long long j, long long k) {
  return isGridPoint(i, j) && k >= 0 && static_cast<std::size_t>(k) < zval.dim(2) ? zval[i][j][k]
                                                                                  : 0.0;
}
// Bottom cell of column (i, j), 0 when it has none (or no such column).
int bottomCell(long long i, long long j) {
  if (!isGridPoint(i, j)) return 0;
  const double c = zval[i][j][0];
  return c >= 1 && c < static_cast<double>(Ccellt.size()) ? static_cast<int>(c) : 0;
}

// Column walks; the step limit only guards against links that form a loop.
int below(int c) { return isCell(c) ? Ccellb[c] : 0; }
int above(int c) { return isCell(c) ? Ccellt[c] : 0; }
int columnBottom(int c) {
  for (std::size_t n = 0; n < Ccellb.size() && isCell(below(c)); ++n) c = Ccellb[c];
  return c;
}
int columnTop(int c) {
  for (std::size_t n = 0; n < Ccellt.size() && isCell(above(c)); ++n) c = Ccellt[c];
  return c;
}
// Calls f(c) for c and the cells above it.
template <class F>
void upFrom(int c, F f) {
  for (std::size_t n = 0; n < Ccellt.size() && isCell(c); ++n) {
    f(c);
    c = Ccellt[c];
  }
}

double speed(int c) {
  const double u = get(Cxvel, c), v = get(Cyvel, c);
  return std::sqrt(u * u + v * v);
}

// Grain size at the fraction di_graph of a composition f(1..lnumber), interpolated between
// the midpoints of the size classes, walking from the coarsest size down.
template <class F>
double percentileSize(F f, double d = di_graph) {
  const int L = lnumber;
  if (L < 0 || L >= static_cast<int>(gsize.size())) return 0.0;
  if (L < 1) return gsize[L];
  double S = f(L) / 2;
  if (S > d) return gsize[L];
  int l = L - 1;
  bool passed = false;
  for (; l >= 1; --l) {
    S = S + f(l + 1) / 2 + f(l) / 2;
    if (S > d) {
      passed = true;
      break;
    }
  }
  if (!passed) l = 1;
  if (L == 1) return gsize[L];
  if (S < d) return gsize[1];
  double t = 2 * (S - d) / (f(l + 1) + f(l) + 1e-20);
  t = std::clamp(t, 0.0, 1.0);
  return (1 - t) * gsize[l] + t * gsize[l + 1];
}

// Stencil of the vertical gradient of component 0 near the surface, for the level counts
// whose spacing it was made for.
double temperatureGradient(int c) {
  int t[8];
  t[0] = columnTop(c);
  for (int m = 1; m < 8; ++m) t[m] = below(t[m - 1]);
  auto C = [&](int m) { return get(Ccomp, 0, t[m]); };
  if (znumber == 12) return -0.222 * C(0) - 0.639 * C(1) + 0.444 * C(2) + 0.417 * C(3);
  if (znumber == 20)
    return -0.1667 * C(1) - 0.5 * C(2) - 0.3333 * C(3) + 0.4167 * C(4) + 0.0833 * C(5) +
           0.4167 * C(6) + 0.0833 * C(7);
  return 0.0;
}

double columnSurfaceValue(int plane, int b) {
  const int i = geti(Bkooi, b), j = geti(Bkooj, b);
  return get(Surfaces, plane, i, j);
}

// Values of the water column of cell c (from its bottom cell, or from c upward).
bool columnValue(char letter, int c, double& v) {
  switch (letter) {
    case 'A': {
      double sum = 0, h = 0;
      int n = 0;
      upFrom(columnBottom(c), [&](int k) {
        h += 2 * Ckdist[k];
        sum += speed(k);
        ++n;
      });
      v = sum * 1000000 / (n + 1e-20) * h;
      return true;
    }
    case 'B': v = std::acos(get(Fvz, geti(Cflateb, columnBottom(c)))) * kDegrees; return true;
    case 'C': {
      const int bot = columnBottom(c), top = columnTop(c);
      const double ub = get(Cxvel, bot), vb = get(Cyvel, bot);
      const double ut = get(Cxvel, top), vt = get(Cyvel, top);
      v = std::asin((ub * vt - vb * ut) / std::sqrt((ut * ut + vt * vt) * (ub * ub + vb * vb) + 1e-20)) *
          kDegrees;
      return true;
    }
    case 'D': {
      double sum = 0, dk = 0;
      upFrom(columnBottom(c), [&](int k) {
        sum += Ckdist[k] * speed(k);
        dk += Ckdist[k];
      });
      v = sum / (dk + 1e-20);
      return true;
    }
    case 'F': {
      double sum = 0, h = 0;
      int n = 0;
      upFrom(columnBottom(c), [&](int k) {
        h += 2 * Ckdist[k];
        sum += speed(k);
        ++n;
      });
      v = sum / (n * std::sqrt(9.81 * h) + 1e-20);
      return true;
    }
    case 'J': {
      double k = 0;
      upFrom(c, [&](int m) { k = std::max(k, Ckinen[m]); });
      v = k;
      return true;
    }
    case 'h': {
      double h = 0;
      upFrom(c, [&](int m) { h += 2 * Ckdist[m]; });
      v = get(Broughness, geti(Cbed, c)) / (h + 1e-20);
      return true;
    }
    case 'i': {
      int n = 0;
      upFrom(c, [&](int) { ++n; });
      v = n;
      return true;
    }
    case 'x': v = temperatureGradient(c); return true;
    default: return false;
  }
}

// The size with the largest fraction in layer 1 of bed cell b.
int mostFrequentSize(int b) {
  int best = 0;
  double most = 0;
  for (int l = 1; l <= lnumber; ++l) {
    const double f = get(BSedDistrib, 1, l, b);
    if (f > most) {
      most = f;
      best = l;
    }
  }
  return best;
}

// Values of the bed cell b under cell c; layer and size come from bnodem and lnodem.
bool bedValue(char letter, int b, double& v) {
  const int layer = bnodem, size = lnodem;
  switch (letter) {
    case 'G': v = get(Bgroundwater, b); return true;
    case 'L': v = get(BSedDistrib, layer, 0, b); return true;
    // The plan view shows M from the slide plane of the column; the 3-D file shows the same.
    case 'M': v = columnSurfaceValue(6, b); return true;
    case 'N': v = get(Bsolidfraction, layer, b); return true;
    case 'O': v = get(Bconc, size, b); return true;
    case 'Q': v = get(Bdefect, b); return true;
    case 'U': v = get(Bedmove, b); return true;
    case 'Y': v = std::fabs(get(Bfly, b)); return true;
    case 'a': v = percentileSize([&](int l) { return get(BSedDistrib, layer, l, b); }); return true;
    case 'b': v = get(Bedformheight, b); return true;
    case 'f': v = get(BSedDistrib, layer, size, b); return true;
    case 'j': v = get(Bcohesion, layer, b); return true;
    case 'l': {
      double sum = 0;
      for (int m = 0; m < NoBedLayers; ++m) sum += get(BSedDistrib, m, 0, b);
      v = sum;
      return true;
    }
    case 'm': v = 300 * get(Ckinen, geti(Bcellt, b)); return true;
    case 'o': v = mostFrequentSize(b); return true;
    default: return false;
  }
}

// Values of the cell itself.
bool ownValue(char letter, int c, double& v) {
  const int size = lnodem;
  switch (letter) {
    case 'E': v = get(Cepsilon_res, c); return true;
    case 'H': {
      const double u = get(Cxvel_res, c), w = get(Cyvel_res, c);
      v = std::sqrt(u * u + w * w);
      return true;
    }
    case 'I': v = get(CgammaV, c); return true;
    case 'K': v = get(Ckinen_res, c); return true;
    case 'P': v = get(Cporosity, c); return true;
    case 'R': v = get(Cpres_res, c); return true;
    case 'T': v = get(Cstress, 0, c); return true;
    case 'V':
    case 'u': v = speed(c); return true;
    case 'W': v = get(Czvel_res, c); return true;
    case 'c': v = get(Cconc, size, c); return true;
    case 'd': v = get(Cgamma, c); return true;
    case 'e': v = get(Cepsilon, c); return true;
    case 'k': v = get(Ckinen, c); return true;
    case 'p': v = get(Cpres, c); return true;
    case 'q': v = get(Ccomp, size, c); return true;
    case 'r': {
      const double r = get(Broughness, geti(Cbed, c));
      v = r < 1e-15 ? get(Croughness, c) : r;
      return true;
    }
    case 'w': v = get(Czvel, c); return true;
    default: return false;
  }
}

// The Z records of G 24, chosen by their code.
double codedValue(int code, int b, int c) {
  const int size = lnodem;
  switch (code) {
    case 100: return columnSurfaceValue(6, b);
    case 101: return columnSurfaceValue(7, b);
    case 102: return get(Cconc, size, c) / (get(Cconc, 0, c) + 1e-20);
    case 103: {
      const double total = get(Cconc, 0, c) + 1e-20;
      return percentileSize([&](int l) { return get(Cconc, l, c) / total; });
    }
    case 104: return get(Bfractionsprint, b);
    case 105: {
      const int bottom = geti(Bcellt, b);
      double sum = 0;
      for (int l = 1; l <= lnumber; ++l) sum += get(Cconc, l, bottom);
      return sum;
    }
    case 107: return get(Bminwaterlevel, b);
    default: return 0.0;
  }
}

// The value of a G 24 record in cell c; layer and size come from bnodem and lnodem.
double cellValue(char letter, int code, int c) {
  const int b = geti(Cbed, c);
  if (letter == 'Z') return codedValue(code, b, c);
  double v = 0.0;
  if (columnValue(letter, c, v) || bedValue(letter, b, v) || ownValue(letter, c, v)) return v;
  return 0.0;
}

bool gridPointLetter(char letter) { return std::strchr("zyvstX", letter) && letter != '\0'; }

// Letters that read the structured grid line of the point instead of averaging cells. Plane 5
// exists only with F 236 or F 404; without it X shows 0.
double gridPointValue(char letter, int i, int j) {
  switch (letter) {
    case 'z': return zlevel(i, j, 1);
    case 'y': return zlevel(i, j, znumber) - zlevel(i, j, 1);
    case 'v': return zlevel(i, j, znumber);
    case 's': return get(Surfaces, 1, i, j);
    case 't': return zlevel(i, j, 1) - get(Surfaces, 3, i, j);
    case 'X': return get(Surfaces, 5, i, j);
    default: return 0.0;
  }
}

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

std::string arrayName(char letter, int code) {
  for (const FixedName& n : kFixedNames)
    if (n.letter == letter) return n.name;
  switch (letter) {
    case 'Z': return codedName(code);
    // Zero-padded: a blank inside the name (a fraction below 0.1) would end the name early
    // for every reader of the file.
    case 'a': return strf("D%02d_level%d", static_cast<int>(di_graph * 100), bnodem + 1);
    case 'c': return strf("Sediment_conc_size_%d", lnodem);
    case 'f': return strf("Bed_sediment_fraction_layer_%d_size_%d", bnodem, lnodem);
    case 'j': return strf("Bed_cohesion_%d", bnodem + 1);
    case 'q': return strf("Water_Quality_%d ", lnodem);
    default: return "Error";
  }
}

// "ParaView3U.vtk", or the first free name of the numbered series when results are kept
// (P 10, P 15) or alldata times are given.
std::string fileName() {
  if (!numberedResults() && NoAlldataPrintout < 1)
    return FlagMPI == 0 ? "ParaView3U.vtk" : strf("ParaView3U.mpi%d.dat", FlagMPI);
  return numberedName(FlagMPI == 0 ? std::string("paru3_") : strf("paru.mpi%d.", FlagMPI),
                      {"0000%d.vtk", "000%d.vtk", "00%d.vtk", "0%d.vtk", "%d.vtk"});
}

// Structured indices of the points of block 1, from the corners of its columns.
void setPointIndices(int np) {
  for (int p = 1; p <= np; ++p) Pi[p] = Pj[p] = 0;
  const GridBlock& k = block[1];
  auto mark = [](int p, int i, int j) {
    if (isPoint(p)) {
      Pi[p] = i;
      Pj[p] = j;
    }
  };
  for (int i = k.i1; i <= k.i2; ++i)
    for (int j = k.j1; j <= k.j2; ++j)
      upFrom(bottomCell(i, j), [&](int c) {
        mark(Cpoint1[c], i - 1, j - 1);
        mark(Cpoint5[c], i - 1, j - 1);
        mark(Cpoint2[c], i, j - 1);
        mark(Cpoint6[c], i, j - 1);
        mark(Cpoint3[c], i, j);
        mark(Cpoint7[c], i, j);
        mark(Cpoint4[c], i - 1, j);
        mark(Cpoint8[c], i - 1, j);
      });
}

// A point on a block joint is matched against the partner point of the joined surface.
void setMatchingPoints(int np) {
  for (int p = 1; p <= np; ++p) Pc[p] = p;
  if (!connFlate) return;
  const Table1<int>* corners[4] = {&Fpoint1, &Fpoint2, &Fpoint3, &Fpoint4};
  const long long rows = static_cast<long long>(connFlate.dim(0));
  for (long long k = 1; k <= NoConnFlate && k < rows; ++k) {
    const int f0 = connFlate[k][0], f1 = connFlate[k][1];
    for (const Table1<int>* F : corners) {
      const int p = geti(*F, f0);
      if (isPoint(p)) Pc[p] = geti(*F, f1);
    }
  }
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
      upFrom(bottomCell(i + col.di, j + col.dj), [&](int c) {
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
  setPointIndices(np);

  const std::size_t titleLength = strnlen(Title.data() + 1, Title.size() - 1);
  const std::string title(Title.data() + 1, titleLength);
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
      const auto value = cellValues(pc.maxCell, [&](int c) { return cellValue(letter, code, c); });
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
double vtkCellValue(char letter, int code, int c) { return cellValue(letter, code, c); }
double vtkGridPointValue(char letter, int i, int j) { return gridPointValue(letter, i, j); }
bool vtkGridPointLetter(char letter) { return gridPointLetter(letter); }
std::string vtkArrayName(char letter, int code) { return arrayName(letter, code); }
double layerPercentile(int layer, int b, double fraction) {
  return percentileSize([&](int l) { return get(BSedDistrib, layer, l, b); }, fraction);
}
}  // namespace output_detail

}  // namespace qorva
