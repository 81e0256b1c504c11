// The Tecplot plan view: one ordered zone with a point at every column centre of a block and on
// its outline, the velocity at the P 3 level and the G 24 variables.
// Reads the block table, xval, yval, zval, Surfaces, the flow, turbulence, sediment and bed
// arrays, TecStruc, znode, ynode, di_graph, FlagViewNested, Title, mc_v1 and stimet; writes
// bnodem and lnodem (the layer and size of the last variable, which the Tecplot 3-D file reads).
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

// The label of a G 24 record in the variable list.
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
    case 'I': return strf("Eddy-viscosity-vert%d", n);
    case 'K': return strf("Residual k %d", n);
    case 'L': return strf("Sediment layer %d thickness", n);
    case 'N': return strf("Bed solid fraction layer %d", n);
    case 'O': return "Potential bed concentration";
    case 'P': return strf("Porosity %d", n);
    case 'R': return strf("Residual pressure %d", n);
    case 'V':
    case 'u': return "Horiz. velocity";
    case 'W': return strf("Residual vertical velocity %d", n);
    case 'a': return percentileTag() + strf(" level %d", n);
    case 'b': return "Bed form height";
    case 'c': return strf("Sediment conc. lev %d size %d", n, s);
    case 'd': return strf("Eddy-viscosity-horiz %d", n);
    case 'e': return "Epsilon";
    case 'f': return strf("Bed sediment fraction, size %d, level %d", s, n);
    case 'h': return "Roughness/Depth";
    case 'i': return "No. cells vertical direction";
    case 'k': return strf("Turbulent k %d", n);
    case 'l': return "Bed sediment thickness";
    case 'm': return "Bed shear";
    case 'o': return "Maximum size fraction";
    case 'p': return strf("Pressure %d", n);
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

// The value of record r at plan point p whose column has the bottom cell c0.
double value(const OutputVariable& r, const PlanPoint& p, int c0) {
  const char letter = r.variable;
  const int n = r.level;
  const int layer = n >= 1 ? n - 1 : 0;
  const int cL = cellUp(c0, n - 1);
  const int b = geti(Cbed, cL), b0 = geti(Cbed, c0);
  switch (letter) {
    case 's':
    case 't':
    case 'v':
    case 'y':
    case 'z': return cornerMean(p, letter);
    case 'X': return gridPointValue('X', geti(Bkooi, b), geti(Bkooj, b));
    // The level of N is the bed layer itself.
    case 'N': return cellValue('N', 0, cL, b0, n, r.sizeNo);
    case 'q': return cellValue('q', 0, cL, b, layer, 0);
    case 'M':
    case 'S':
    case 'g':
    case 'n': return 0.0;
    default: return cellValue(letter, r.extraInt, cL, b, layer, r.sizeNo);
  }
}

// The block a call shows: its own block for a per-block file; for the whole-grid file block 1,
// or with F 268 b >= 2 the nested block b when it has cells.
int shownBlock(int blockNo) {
  if (blockNo >= 1 && blockNo <= NoBlocks) return blockNo;
  const int b = FlagViewNested;
  if (b >= 2 && b <= NoBlocks && block[b].cellend >= 2) return b;
  return 1;
}

std::string fileName(int blockNo) {
  const bool numbered = numberedResults();
  const std::initializer_list<const char*> five = {"0000%d.dat", "000%d.dat", "00%d.dat",
                                                   "0%d.dat", "%d.dat"};
  if (blockNo >= 1) {
    // Each block has its own file: under one name the last block's file would replace the
    // others.
    if (numbered) return numberedName(strf("tec2_n%d_", blockNo), five);
    return FlagMPI != 0 ? strf("tecplot2_n%d.mpi%d.dat", blockNo, FlagMPI)
                        : strf("tecplot2_n%d.dat", blockNo);
  }
  if (numbered)
    return numberedName(FlagMPI != 0 ? strf("tec2.mpi%d.", FlagMPI) : std::string("tec2_"),
                        five);
  return FlagMPI != 0 ? strf("tecplot2.mpi%d.dat", FlagMPI) : std::string("tecplot2.dat");
}

void fail(const std::string& name, const OutFile& file) {
  mc_message = strf("cannot open file '%s' ", name.c_str());
  failWrite(name, file.reason().c_str(), -3);
}

}  // namespace

void print_tecplot2d(int, int blockNo) {
  const std::string name = fileName(blockNo);
  OutFile file(name);
  std::FILE* f = file.get();
  if (!f) fail(name, file);

  const GridBlock& k = block[shownBlock(blockNo)];
  const int count = TecStrucNo < static_cast<int>(TecStruc.size()) ? TecStrucNo : 0;
  std::fprintf(f, "TITLE = \"PLAN-%d_%s %s\"\n", ynode, caseTitle().c_str(), mc_v1.c_str());
  std::fprintf(f, "VARIABLES=\"X1\",\"X2\",\"X3\",\"Ux\",\"Uy\"");
  for (int r = 0; r < count; ++r)
    std::fprintf(f, ",\"%s\"", oneWord(label(TecStruc[r])).c_str());
  std::fprintf(f, "\n");
  // The counts of the points written, whatever index the block starts at.
  std::fprintf(f, "ZONE I=%d,J=%d,F=POINT\n", k.i2 - k.i1 + 3, k.j2 - k.j1 + 3);
  std::fprintf(f, "SOLUTIONTIME=%lf\n", stimet);

  for (int jj = k.j1 - 1; jj <= k.j2 + 1; ++jj)
    for (int ii = k.i1 - 1; ii <= k.i2 + 1; ++ii) {
      const PlanPoint p = planPoint(k.i1, k.i2, k.j1, k.j2, ii, jj);
      const int c0 = columnBottom(p.I, p.J);
      const int cz = cellUp(c0, znode - 1);
      double x3;
      if (znode == znumber + 1)
        x3 = cornerMean(p, 'v');
      else if (znode == 1 || c0 == 0)
        x3 = cornerMean(p, 'z');
      else
        x3 = get(Czcenter, cz);
      std::fprintf(f, "%lf %lf %lf %lf %lf", cornerMean(p, xAt), cornerMean(p, yAt), x3,
                   get(Cxvel, cz), get(Cyvel, cz));
      for (int r = 0; r < count; ++r) std::fprintf(f, " %le", value(TecStruc[r], p, c0));
      std::fprintf(f, "\n");
    }
  if (count > 0) {
    const OutputVariable& last = TecStruc[count - 1];
    bnodem = last.variable == 'N' ? last.level : (last.level >= 1 ? last.level - 1 : 0);
    lnodem = last.sizeNo;
  }
  if (!file.commit()) fail(name, file);
}

}  // namespace qorva
