// The plan view of a block as a legacy VTK structured grid: a point at every column centre (at
// the bed) and on the block outline, one array per G 24 variable and the velocity of one cell
// per column.
// Reads the block table, xval, yval, zval, Surfaces, pointbed, the flow, turbulence, sediment
// and bed arrays, TecStruc, graph, lnode, znode, di_graph, FlagViewNested, Title and stimet;
// writes lnodem, bnodem, the velocity of cell 0 (the absent cell, shown as at rest) and
// mc_message.
#include <cmath>
#include <cstdio>
#include <string>

#include "output/output.h"
#include "output/table_get.h"
#include "output/values.h"
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

using namespace output_detail;

std::string codedName(int code) {
  switch (code) {
    case 104: return FlagFractionsPrint == 1 ? "Tracer_fractions" : "Error";
    case 105: return "Bed_concentration";
    case 106: return FlagPlastics >= 1 ? "Plastic_deposits" : "Error";
    case 107: return "Bminwaterlevel";
    default: return "Error";
  }
}

struct FixedName {
  char letter;
  const char* name;
};
constexpr FixedName kFixedNames[] = {
    {'A', "Reynolds_number"},
    {'C', "Secondary_current_angle"},
    {'D', "Depth-averaged_velocity"},
    {'F', "Froude_number"},
    {'G', "Groundwater_level_[m]"},
    {'J', "Max_kinetic_energy"},
    {'M', "Sediment_slide_elevation_changes_[m]"},
    {'U', "Bed_movement_in_time_step_[m]"},
    {'V', "Horiz_velocity"},
    {'u', "Horiz_velocity"},
    {'X', "Bed_movement_averaged_[m]"},
    {'b', "Bed_form_height"},
    {'e', "Epsilon"},
    {'h', "Roughness/Depth"},
    {'i', "No_cells_vertical_direction"},
    {'l', "Bed_sediment_thickness"},
    {'m', "Bed_shear"},
    {'r', "Roughness"},
    {'s', "Bed_movement"},
    {'t', "Sediment_thickness"},
    {'v', "Water_level"},
    {'x', "Temperature_gradient"},
    {'y', "Depth"},
    {'z', "Bed_level"},
};

// The array name of record r; the layer and size are bnodem and lnodem, set from it.
std::string arrayName(const OutputVariable& r) {
  for (const FixedName& f : kFixedNames)
    if (f.letter == r.variable) return f.name;
  const int n = r.level, layer = bnodem, size = lnodem;
  switch (r.variable) {
    case 'E': return strf("Residual_epsilon_%d", n);
    case 'H': return strf("Residual_horizontal_velocity_%d", n);
    case 'K': return strf("Residual_k_%d", n);
    case 'L': return strf("Sediment_layer_thickness_level_%d", layer + 1);
    case 'N': return strf("Bed_sediment_fraction_layer_%d", n);
    case 'O': return strf("Potential_sediment_concentration_%d", size);
    case 'P': return strf("Porosity_%d", n);
    case 'R': return strf("Residual_pressure_%d", n);
    case 'W': return strf("Residual_vertical_velocity_%d", n);
    case 'Z': return codedName(r.extraInt);
    case 'a': return percentileTag() + strf("_level_%d", layer + 1);
    case 'c': return strf("Sediment_conc_lev_%d_size_%d", n, size);
    case 'd': return strf("Eddy-viscosity_%d", n);
    case 'f': return strf("Bed_sediment_fraction_layer_%d_size_%d", n, size);
    case 'j': return strf("Bed_cohesion_%d", layer + 1);
    case 'k': return strf("Turbulent_k_%d", n);
    case 'p': return strf("Pressure_%d", n);
    case 'q': return strf("Water_Quality_%d", size);
    case 'w': return strf("Uz_%d", n);
    default: return "Error";
  }
}

bool gridLetter(char letter) {
  switch (letter) {
    case 'z':
    case 'y':
    case 'v':
    case 's':
    case 'M':
    case 't': return true;
    default: return false;
  }
}

bool bedLetter(char letter) {
  switch (letter) {
    case 'D':
    case 'G':
    case 'L':
    case 'N':
    case 'O':
    case 'S':
    case 'U':
    case 'a':
    case 'b':
    case 'f':
    case 'j':
    case 'l':
    case 'm':
    case 'r': return true;
    case 'Z': return FlagFractionsPrint == 1;
    default: return false;
  }
}

// The plastic deposits of bed cell b (F 417), 0 without them.
double plastics(int size, int b) {
  return FlagPlastics >= 1 ? output_detail::get(BplasticDeposits, size, b) : 0.0;
}

// Record r from the bed cell b of the column; c is the column's level cell.
double bedCellValue(const OutputVariable& r, int b, int c) {
  const char letter = r.variable;
  const int bottom = geti(Bcellt, b);
  switch (letter) {
    case 'D':
    case 'm': return isGridCell(bottom) ? cellValue(letter, 0, bottom, b, bnodem, lnodem) : 0.0;
    case 'S': return 0.0;
    case 'Z':
      switch (r.extraInt) {
        case 104: return get(Bfractionsprint, b);
        case 105: return get(Cconc, 0, bottom);
        case 106: return plastics(lnodem, b);
        case 107: return get(Bminwaterlevel, b);
        default: return 0.0;
      }
    default: return cellValue(letter, 0, c, b, bnodem, lnodem);
  }
}

// Record r from the level cell c of the column of plan point (ii, jj).
double levelCellValue(const OutputVariable& r, int c, int ii, int jj) {
  const char letter = r.variable;
  switch (letter) {
    case 'A':
    case 'D':
    case 'F':
    case 'J':
      if (c == 0) return 0.0;
      break;
    case 'Z':
      if (r.extraInt == 106) return plastics(lnodem, bedCellAt(ii, jj));
      break;
    default: break;
  }
  return cellValue(letter, r.extraInt, c, geti(Cbed, c), bnodem, lnodem);
}

double recordValue(const OutputVariable& r, const PlanPoint& p, int ii, int jj, bool bedCells) {
  const char letter = r.variable;
  if (gridLetter(letter)) return cornerMean(p, letter);
  if (letter == 'X') return gridPointValue('X', p.I, p.J);
  const int c = cellUp(columnBottom(p.I, p.J), znode - 1);
  if (bedCells && bedLetter(letter)) return bedCellValue(r, bedCellAt(p.I, p.J), c);
  return levelCellValue(r, c, ii, jj);
}

// The block a call shows: its own block for a per-block file; for the whole-grid file the
// highest nested block under F 268 1, else block 1.
int shownBlock(int blockNo) {
  if (blockNo >= 1 && blockNo <= NoBlocks) return blockNo;
  if (FlagViewNested == 1)
    for (int b = NoBlocks; b >= 1; --b)
      if (block[b].nestlevel > 0) return b;
  return 1;
}

std::string fileName(int numbered, int blockNo) {
  const std::initializer_list<const char*> five = {"0000%d.vtk", "000%d.vtk", "00%d.vtk",
                                                   "0%d.vtk", "%d.vtk"};
  if (blockNo >= 1) {
    if (PrintRes != 0) return numberedName(strf("pav2_n%d_", blockNo), five);
    return FlagMPI != 0 ? strf("ParaView2_n%d.mpi%d.vtk", blockNo, FlagMPI)
                        : strf("ParaView2_n%d.vtk", blockNo);
  }
  if (numbered != 0 || PrintRes != 0)
    return numberedName(FlagMPI != 0 ? strf("pav2.mpi%d.", FlagMPI) : std::string("pav2_"),
                        five);
  return FlagMPI != 0 ? strf("ParaView2.mpi%d.vtk", FlagMPI) : std::string("ParaView2.vtk");
}

void fail(const std::string& name, const OutFile& file) {
  mc_message = strf("cannot open file '%s' ", name.c_str());
  failWrite(name, file.reason().c_str(), -3);
}

}  // namespace

void print_paraview2d(int numbered, int blockNo) {
  const std::string name = fileName(numbered, blockNo);
  OutFile file(name);
  std::FILE* f = file.get();
  if (!f) fail(name, file);

  const GridBlock& k = block[shownBlock(blockNo)];
  const int nI = k.i2 - k.i1 + 3, nJ = k.j2 - k.j1 + 3;
  std::fprintf(f, "# vtk DataFile Version 2.0\n");
  std::fprintf(f, "Qorva 2 %s %lf seconds.\n", caseTitle().c_str(), stimet);
  std::fprintf(f, "ASCII\n");
  std::fprintf(f, "DATASET STRUCTURED_GRID\n");
  std::fprintf(f, "DIMENSIONS %d %d %d\n", nI, nJ, 1);
  std::fprintf(f, "POINTS %d float\n", nI * nJ);
  for (int jj = k.j1 - 1; jj <= k.j2 + 1; ++jj)
    for (int ii = k.i1 - 1; ii <= k.i2 + 1; ++ii) {
      const PlanPoint p = planPoint(k.i1, k.i2, k.j1, k.j2, ii, jj);
      std::fprintf(f, "%lf %lf %lf\n", cornerMean(p, xAt), cornerMean(p, yAt), cornerMean(p, 'z'));
    }
  std::fprintf(f, "\n");
  std::fprintf(f, "POINT_DATA %d\n", nI * nJ);

  // Without a G 24 list the plan view shows the P 4 letter.
  OutputVariable fallback{TecStruc[0].level, lnode, 0, graph};
  const int count = TecStrucNo > 0 && TecStrucNo <= static_cast<int>(TecStruc.size()) ? TecStrucNo : 1;
  const bool bedCells = NoBCells != 0 && bedCellAt(k.i1, k.j1) != 0;
  for (int n = 0; n < count; ++n) {
    const OutputVariable& r = TecStrucNo > 0 ? TecStruc[n] : fallback;
    lnodem = r.sizeNo;
    bnodem = (r.level >= 1 ? r.level : 1) - 1;
    std::fprintf(f, "\nSCALARS %s float\n", oneWord(arrayName(r)).c_str());
    std::fprintf(f, "LOOKUP_TABLE default\n");
    for (int jj = k.j1 - 1; jj <= k.j2 + 1; ++jj) {
      for (int ii = k.i1 - 1; ii <= k.i2 + 1; ++ii) {
        const PlanPoint p = planPoint(k.i1, k.i2, k.j1, k.j2, ii, jj);
        const double v = recordValue(r, p, ii, jj, bedCells);
        if (std::fabs(v) < 1e-14)
          std::fprintf(f, " 0.0");
        else
          std::fprintf(f, " %lg", v);
      }
      std::fprintf(f, "\n");
    }
  }

  // Points whose column has no cells show cell 0, which is at rest.
  if (Cxvel && Cyvel && Czvel) Cxvel[0] = Cyvel[0] = Czvel[0] = 0.0;
  std::fprintf(f, "\nVECTORS Velocities float\n");
  for (int jj = k.j1 - 1; jj <= k.j2 + 1; ++jj)
    for (int ii = k.i1 - 1; ii <= k.i2 + 1; ++ii) {
      const int c = cellUp(columnBottom(ii, jj), znode - 1);
      std::fprintf(f, "%lf %lf %lf\n", get(Cxvel, c), get(Cyvel, c), get(Czvel, c));
    }
  if (!file.commit()) fail(name, file);
  mc_message = "have written ParaView 2D file  ";
}

}  // namespace qorva
