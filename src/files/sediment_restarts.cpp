// The sediment and water-quality restarts: the bed fractions "fracres" (written by the print
// set as "fracres.new"), the suspended concentrations "con2res" (task F, written as
// "con2res.new") and the water-quality components "compres" (task E), and their reader
// readConRes (task O).
// Reads BSedDistrib, pointbed, the blocks, Cconc and Ccomp; the reader writes Ccomp, Cconc,
// Cconc_old, BSedDistrib and FlagReadFracres; the concentration writer sets Cconc[0] (the
// total over the sizes) of every cell.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "files/files.h"
#include "files/grid_sections.h"
#include "grid/grid.h"
#include "output/output.h"
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

using gridfile::logBadRecord;

// A block-division run reads its own restart files; with task A in the same walk FlagMPI is
// the number of divisions instead, and the plain names are read.
std::string readName(const char* base) {
  return FlagMPI >= 1 && FlagMPIkoosurf != 1 ? strf("%s.mpi%d", base, FlagMPI) : std::string(base);
}

bool layeredForm() { return FlagTSC >= 3 && NoBedLayers != 2; }
int layersInForm() { return layeredForm() ? NoBedLayers : 2; }

// ---- writing --------------------------------------------------------------------------------

std::string fracresName() {
  if (numberedResults())
    return numberedName(FlagMPI != 0 ? strf("fracres.mpi%d.", FlagMPI) : std::string("fracres_"),
                        {"0000%d.new", "000%d.new", "00%d.new", "0%d.new", "%d.new"});
  return FlagMPI != 0 ? strf("fracres.mpi%d.new", FlagMPI) : std::string("fracres.new");
}

// The rows name every water column of every block; a block or a layer stack that does not fit
// the tables ends the run instead of writing from past a table.
void requireFractionTables() {
  const char* head = "Error writing fracres file: ";
  if (!pointbed || !BSedDistrib || lnumber < 0 ||
      static_cast<long long>(BSedDistrib.dim(0)) < layersInForm() ||
      static_cast<long long>(BSedDistrib.dim(1)) <= lnumber)
    failf(1, "%sthe bed layers of %d sizes do not exist\n", head, lnumber);
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (k.i1 > k.i2 || k.j1 > k.j2) continue;
    if (k.i1 < 0 || k.j1 < 0 || k.i2 >= static_cast<long long>(pointbed.dim(0)) ||
        k.j2 >= static_cast<long long>(pointbed.dim(1)))
      failf(1, "%sblock %d with columns %d to %d and %d to %d does not lie in the G 1 grid\n",
            head, b, k.i1, k.i2, k.j1, k.j2);
    for (int i = k.i1; i <= k.i2; ++i)
      for (int j = k.j1; j <= k.j2; ++j)
        if (pointbed[i][j] < 0 || pointbed[i][j] >= static_cast<long long>(BSedDistrib.dim(2)))
          failf(1, "%scolumn %d %d has the bed cell %d\n", head, i, j, pointbed[i][j]);
  }
}

void writeFractionRows(OutFile& f) {
  const int layers = layersInForm();
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    for (int i = k.i1; i <= k.i2; ++i)
      for (int j = k.j1; j <= k.j2; ++j) {
        const int n = pointbed[i][j];
        f.printf("%d %d", i, j);
        for (int layer = layers - 1; layer >= 0; --layer)
          for (int l = 0; l <= lnumber; ++l) f.printf(" %lf", BSedDistrib[layer][l][n]);
        f.printf("\n");
      }
  }
}

// con2res and compres are numbered by P 9; block-division runs write their own con2res.
std::string concentrationName() {
  if (PrintComp != 0)
    return numberedName(FlagMPI != 0 ? strf("con2res.mpi%d", FlagMPI) : std::string("con2res"),
                        {".00%d", ".0%d", ".%d"});
  return FlagMPI != 0 ? strf("con2res.mpi%d.new", FlagMPI) : std::string("con2res.new");
}

std::string componentName() {
  return PrintComp != 0 ? numberedName("compres", {".00%d", ".0%d", ".%d"}) : std::string("compres");
}

// A restart that cannot be written must not pass for one: the run ends with the reason in the
// log, and an older copy stays.
void commitRestart(OutFile& file) {
  if (file.commit()) return;
  mc_message = strf("cannot open file '%s' ", file.name().c_str());
  failWrite(file.name(), file.reason().c_str(), -4);
}

void requireOpen(const OutFile& file) {
  if (file.ok()) return;
  mc_message = strf("cannot open file '%s' ", file.name().c_str());
  failWrite(file.name(), file.reason().c_str(), -4);
}

// The per-cell table `t` must hold rows 0..rows-1 for cells 1..NoCells.
bool holdsCells(const Table2<double>& t, long long rows) {
  return t && static_cast<long long>(t.dim(0)) >= rows && NoCells >= 0 &&
         static_cast<long long>(t.dim(1)) > NoCells;
}

int writeComponents() {
  if (!holdsCells(Ccomp, NoComponents))
    failf(1, "Error writing compres file: the %d water-quality components of %d cells do not exist\n",
          NoComponents, NoCells);
  const std::string name = componentName();
  OutFile file(name);
  requireOpen(file);
  for (int c = 1; c <= NoCells; ++c) {
    for (int k = 0; k < NoComponents; ++k) file.printf("%e ", Ccomp[k][c]);
    file.printf("\n");
  }
  commitRestart(file);
  mc_message = "have written 'compres' file ";
  return 0;
}

// ---- reading --------------------------------------------------------------------------------

void readComponents() {
  RecordReader in("compres");
  if (!in.ok()) {
    mc_message = "could not open 'compres' file ";
    logf("Warning: could not open the 'compres' file; the water-quality components keep their values\n");
    return;
  }
  if (!holdsCells(Ccomp, NoComponents))
    failf(-1, "Error reading compres file: the %d water-quality components of %d cells do not exist\n",
          NoComponents, NoCells);
  for (int c = 1; c <= NoCells; ++c) {
    if (!in.record(NoComponents, "the components of cell %lld", c))
      in.refuse("the file ends before cell %d of %d", c, NoCells);
    for (int k = 0; k < NoComponents; ++k) Ccomp[k][c] = in.d();
    in.end();
  }
  mc_message = "have read 'compres' file ";
}

void readConcentrations() {
  const std::string name = readName("con2res");
  RecordReader in(name);
  // Nothing to read: the concentrations keep their values and the bed fractions still follow.
  if (!in.ok()) {
    mc_message = strf("have not used file '%s' ", name.c_str());
    logf("Have not used file '%s'\n", name.c_str());
    return;
  }
  if (!in.record(2, "the header line")) in.refuse("the file is empty");
  const int cells = in.i(), sizes = in.i();
  in.end();
  if (cells != NoCells || sizes != lnumber) {
    logf("Error reading %s file\n", name.c_str());
    logf("con2res: No. cells = %d, no. sizes = %d\n", cells, sizes);
    logf("Unstruc/control file: No. cells = %d, no. sizes = %d\n", NoCells, lnumber);
    endRun(-1);
  }
  if (!holdsCells(Cconc, lnumber + 1LL))
    failf(-1, "Error reading %s file: the concentrations of %d cells do not exist\n", name.c_str(),
          NoCells);
  const bool old = holdsCells(Cconc_old, lnumber + 1LL);
  for (int c = 1; c <= NoCells; ++c) {
    if (!in.record(lnumber + 1, "the concentrations of cell %lld", c))
      in.refuse("the file ends before cell %d of %d", c, NoCells);
    for (int l = 0; l <= lnumber; ++l) {
      Cconc[l][c] = in.d();
      if (old) Cconc_old[l][c] = Cconc[l][c];
    }
    in.end();
  }
  mc_message = strf("have read '%s' file ", name.c_str());
}

// Fractions of sizes 1..lnumber of one layer, summed.
double fractionSum(int layer, int n) {
  double s = 0;
  for (int l = 1; l <= lnumber; ++l) s += BSedDistrib[layer][l][n];
  return s;
}

void readLayer(RecordReader& in, int layer, int n) {
  for (int l = 0; l <= lnumber; ++l) BSedDistrib[layer][l][n] = in.d();
}

// Two-layer and layered rows: every layer whole, its fractions summing to 1.
void readLayerRow(RecordReader& in, int i, int j, int n) {
  const bool layered = layeredForm();
  for (int layer = layersInForm() - 1; layer >= 0; --layer) {
    readLayer(in, layer, n);
    const double sum = fractionSum(layer, n);
    if (sum < 0.999 || sum > 1.001) {
      if (layered)
        logf("Error in fracres, i=%d,j=%d, layer %d, sum of fractions = %lf\n", i, j, layer, sum);
      else
        logf("Error in fracres, i=%d,j=%d, sum of fractions = %lf\n", i, j, sum);
      endRun(-3);
    }
  }
}

// Depth of erodible bed over column (i, j): its corner bed levels above their non-erodible
// levels.
double erodibleDepth(int i, int j) {
  double d = 0;
  for (int di = -1; di <= 0; ++di)
    for (int dj = -1; dj <= 0; ++dj) d += zval[i + di][j + dj][1] - Surfaces[3][i + di][j + dj];
  return d / 4;
}

// A version-1 row: the fractions only, scaled to sum 1 and given to every layer. Their sums per
// size go to `total`.
void readVersion1Row(RecordReader& in, int i, int j, int n, std::vector<double>& total) {
  for (int l = 1; l <= lnumber; ++l) BSedDistrib[0][l][n] = in.d();
  const double sum = fractionSum(0, n);
  if (std::fabs(sum - 1.0) > 0.0001) {
    logf("Error in fracres, i=%d,j=%d, sum of fractions = %lf\n", i, j, sum);
    endRun(-3);
  }
  const int layers = static_cast<int>(BSedDistrib.dim(0));
  for (int l = 1; l <= lnumber; ++l) {
    const double f = BSedDistrib[0][l][n] / sum;
    for (int layer = 0; layer < layers; ++layer) BSedDistrib[layer][l][n] = f;
    total[l] += f;
  }
  if (FlagTSC == 2 && layers >= 2) {
    double top = TopThickness;
    if (top <= 0)
      for (int l = 1; l <= lnumber; ++l) top = std::max(top, gsize[l]);
    const double d = erodibleDepth(i, j);
    BSedDistrib[1][0][n] = d > 0 ? std::min(d, top) : 0.0;
    BSedDistrib[0][0][n] = d > 0 ? d - BSedDistrib[1][0][n] : 0.0;
  }
}

void logVersion1Means(const std::vector<double>& total, long long rows) {
  logf("Computed grain size distribution from fracres file: \n");
  for (int l = 1; l <= lnumber; ++l)
    logf("%d %lf %lf\n", l, gsize[l], total[l] / static_cast<double>(rows));
}

// The rows of fracres.
int readFractionRows(RecordReader& in) {
  const bool version1 = FlagFracresVersion == 1;
  if (!BSedDistrib || !pointbed || lnumber < 0 ||
      static_cast<long long>(BSedDistrib.dim(1)) <= lnumber ||
      static_cast<long long>(BSedDistrib.dim(0)) < layersInForm() ||
      (version1 && FlagTSC == 2 && (!zval || !Surfaces || Surfaces.dim(0) < 4)))
    failf(-3, "Error reading %s file: the bed layers of %d sizes do not exist\n", in.name().c_str(),
          lnumber);
  const int values = version1 ? lnumber : layersInForm() * (lnumber + 1);
  // Sized for every allowed number of sizes.
  std::vector<double> total(static_cast<std::size_t>(lnumber) + 1, 0.0);
  const long long most = 20LL * xnumber * ynumber;
  long long rows = 0;
  for (; rows < most && in.record(2 + values, "the row"); ++rows) {
    const int i = in.i(), j = in.i();
    in.describe(2 + values, "the row of column %lld %lld", i, j);
    // Every row after it would be left unread and the bed would keep its start fractions.
    if (i > xnumber + 1LL || j > ynumber + 1LL)
      in.refuse("column %d %d lies past the grid of %d x %d grid lines", i, j, xnumber, ynumber);
    // Only the columns of the grid have a bed cell: below index 1 there is none.
    if (i < 1 || j < 1 || i >= static_cast<long long>(pointbed.dim(0)) ||
        j >= static_cast<long long>(pointbed.dim(1)))
      in.refuse("column %d %d lies outside the grid", i, j);
    const int n = pointbed[i][j];
    if (n < 0 || n >= static_cast<long long>(BSedDistrib.dim(2)))
      in.refuse("column %d %d has the bed cell %d", i, j, n);
    if (version1 && FlagTSC == 2 && (i < 2 || j < 2))
      in.refuse("column %d %d has no corner points", i, j);
    if (version1)
      readVersion1Row(in, i, j, n, total);
    else
      readLayerRow(in, i, j, n);
    in.end();
  }
  FlagReadFracres = 1;
  if (version1 && rows > 0 && debugging == 'D') logVersion1Means(total, rows);
  return 0;
}

int readFractions() {
  const std::string name = readName("fracres");
  RecordReader in(name);
  if (!in.ok()) {
    mc_message = strf("cannot open file %s ", name.c_str());
    return 2;
  }
  if (NoBCells == 0) BedMake();
  try {
    return readFractionRows(in);
  } catch (const BadRecord& e) {
    logBadRecord(in, e);
    endRun(-1);
  }
}

}  // namespace

void print_fracres(int) {
  const std::string name = fracresName();
  requireFractionTables();
  OutFile file(name);
  if (!file.ok()) {
    mc_message = strf("cannot open file '%s' ", name.c_str());
    failWrite(name, file.reason().c_str(), -3);
  }
  writeFractionRows(file);
  if (!file.commit()) {
    mc_message = strf("cannot open file '%s' ", name.c_str());
    failWrite(name, file.reason().c_str(), -3);
  }
}

int writeConcRes() {
  if (!holdsCells(Cconc, lnumber + 1LL) || lnumber < 0)
    failf(1, "Error writing con2res file: the concentrations of %d sizes in %d cells do not exist\n",
          lnumber, NoCells);
  for (int c = 1; c <= NoCells; ++c) {
    double sum = 0;
    for (int l = 1; l <= lnumber; ++l) sum += Cconc[l][c];
    Cconc[0][c] = sum;
  }
  const std::string name = concentrationName();
  OutFile file(name);
  requireOpen(file);
  file.printf("%d %d\n", NoCells, lnumber);
  for (int c = 1; c <= NoCells; ++c) {
    for (int l = 0; l <= lnumber; ++l) file.printf("%e ", Cconc[l][c]);
    file.printf("\n");
  }
  commitRestart(file);
  mc_message = "have written 'con2res' file ";
  return 0;
}

int writeConqRes() { return NoComponents != 0 ? writeComponents() : -1; }

int readConRes() {
  // A grid just generated carries the fields of the grid it replaced over at its first
  // indexing, and its columns count as newly wet there: their concentrations are set to 0.
  // That indexing comes first, so that it cannot wipe the concentrations read here.
  if (FlagNeedsToBeInterpolated == 1) BedMake();
  try {
    if (NoComponents != 0) readComponents();
  } catch (const BadRecord& e) {
    logf("Error in 'compres' file, %s\n", e.text.c_str());
    endRun(-1);
  }
  if (FlagTSC > 0) {
    try {
      readConcentrations();
    } catch (const BadRecord& e) {
      logf("Error in '%s' file, %s\n", readName("con2res").c_str(), e.text.c_str());
      endRun(-1);
    }
  }
  if (FlagUseBedres > 0) return 0;
  return readFractions();
}

}  // namespace qorva
