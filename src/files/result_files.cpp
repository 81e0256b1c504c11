// The flow result file (print_result: text "result.end" or raw "resultb") and the restart from
// it (readres, task R), which first regenerates the grid on the bed of "bedres" when present.
// print_result reads the flow fields, counts and residuals; readres writes zval, Surfaces, the
// bed-cell arrays, MaxDepth, the flow fields with their previous-time copies, Cgamma, CgammaV,
// FlagReadRes and FlagInitialized.
#include <algorithm>
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
#include "state/nests.h"
#include "state/options.h"
#include "state/points.h"
#include "state/safe_file.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

using gridfile::logBadRecord;

bool fitsCells(long long n) { return n >= 0 && Cxvel && n < static_cast<long long>(Cxvel.size()); }
bool fitsSurfaces(long long n) {
  return n >= 0 && Fflux && n < static_cast<long long>(Fflux.size());
}

// The six cell fields of the result, in the file's order.
Table1<double>* const kFields[6] = {&Cxvel, &Cyvel, &Czvel, &Ckinen, &Cepsilon, &Cpres};

void writeText(std::FILE* f) {
  // Title from position 0 is empty: the reader takes a line that starts with C, F or U as a
  // record, so no title text may stand there.
  std::fprintf(f, "%s %lf seconds\n", Title.data(), stimet);
  std::fprintf(f, "Results, iter = %d\n", Iter);
  std::fprintf(f, "Residuals: %lf %lf %lf %lf %lf %lf\n", MaxResidual[1], MaxResidual[2],
               MaxResidual[3], MaxResidual[4], MaxResidual[5], MaxResidual[6]);
  std::fprintf(f, "Roughness : %lf\n", XksWall);
  std::fprintf(f, "U %d %d %d %d %d %d\n", NoPoints, NoCells0, NoSurfaces0, NoBlocks0, NoConnect0,
               NoConnFlate0);
  std::fprintf(f, " i     u     v     w     k    e     p\n");
  for (int n = 1; n <= NoCells0; ++n) {
    std::fprintf(f, "C %d %14.8e %14.8e %14.8e", n, Cxvel[n], Cyvel[n], Czvel[n]);
    std::fprintf(f, " %14.8e %14.8e %14.8e\n", Ckinen[n], Cepsilon[n], Cpres[n]);
  }
  for (int n = 1; n <= NoSurfaces0; ++n) std::fprintf(f, "F %d %14.8e\n", n, Fflux[n]);
}

void writeBinary(OutFile& f) {
  const std::size_t cells = static_cast<std::size_t>(NoCells) + 1;
  for (Table1<double>* a : kFields) f.write(a->data(), sizeof(double), cells);
  f.write(Fflux.data(), sizeof(double), static_cast<std::size_t>(NoSurfaces) + 1);
}

// ---- readres: the bed file ------------------------------------------------------------------

// A block-division run reads its own restart files; with task A in the same walk FlagMPI is
// the number of divisions instead, and the plain names are read.
bool divisionNames() { return FlagMPI >= 1 && FlagMPIkoosurf != 1; }

std::string bedFileName() {
  return divisionNames() ? strf("bedres.mpi%d", FlagMPI) : std::string("bedres");
}

// The second line of the bed file: its letter (H: one layer per bed cell), and the grid sizes
// and size count, which must be those of the control file.
char readBedHeader(RecordReader& in) {
  if (!in.record(-1, "the header line")) in.refuse("the file is empty");
  in.skipLine();  // the header is not compared
  if (!in.record(8, "the second line")) in.refuse("the file ends after its header line");
  const std::string letter = in.word();
  if (letter.size() != 1) in.refuse("'%s' is no format letter", letter.c_str());
  const int xn = in.i(), yn = in.i(), zn = in.i(), ln = in.i();
  in.i();  // the bed-cell count is not compared
  MaxDepth = in.d();
  in.i();  // nor the cell count
  in.end();
  if (xn != xnumber || yn != ynumber || zn != znumber || ln != lnumber) {
    logf("Error in reading bedres file: array size is not correct\n");
    if (xn != xnumber)
      logf("Number of bedres grid lines in i direction is %d, and in control file %d.\n", xn, xnumber);
    if (yn != ynumber)
      logf("Number of bedres grid lines in j direction is %d, and in control file %d.\n", yn, ynumber);
    if (zn != znumber)
      logf("Number of bedres grid lines in k direction is %d, and in control file %d.\n", zn, znumber);
    if (ln != lnumber) logf("Number of bedres sediment sizes is %d, and in control file %d.\n", ln, lnumber);
    endRun(-3);
  }
  return letter[0];
}

// The grid-point lines of the writer's blocks; each line's own i and j place its values.
void readBedPoints(RecordReader& in) {
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (k.skip != 0 || k.flag2D != 0) continue;
    for (int i = k.i1 - 1; i <= k.i2; ++i)
      for (int j = k.j1 - 1; j <= k.j2; ++j) {
        if (!in.record(7, "the grid point line of (%lld,%lld)", i, j))
          in.refuse("the file ends before the grid point (%d,%d)", i, j);
        const int ii = in.i(), jj = in.i();
        double v[5];
        for (double& x : v) x = in.d();
        in.end();
        if (ii < 0 || jj < 0 || ii > xnumber + 1LL || jj > ynumber + 1LL)
          in.refuse("grid point %d %d lies outside the grid", ii, jj);
        zval[ii][jj][0] = v[0];
        zval[ii][jj][1] = v[1];
        // The level of the last surface update is the level read, as with every grid reader.
        zval[ii][jj][znumber] = zval[ii][jj][znumber + 1] = v[2];
        Surfaces[3][ii][jj] = v[3];
        Surfaces[1][ii][jj] = v[4];
      }
  }
}

// The bed-cell lines: roughness, bed-form height and the layers in the writer's order.
void readBedCells(RecordReader& in, char letter) {
  const bool layered = BlayerTop && NoBedLayers > 2 && FlagTSC == 3;
  const int layers = layered ? NoBedLayers : 2;
  if (NoBCells >= static_cast<long long>(Bcellt.size()) ||
      static_cast<long long>(BSedDistrib.dim(0)) < layers ||
      static_cast<long long>(BSedDistrib.dim(1)) <= lnumber)
    failf(-3, "Error in reading bedres file: %d bed cells, more than the arrays hold\n", NoBCells);
  // The one-layer variant (letter H) holds only layer 1.
  const int written = letter == 'H' ? 1 : layers;
  for (int n = 1; n <= NoBCells; ++n) {
    if (!in.record(5 + written * (lnumber + 1), "bed cell %lld", n))
      in.refuse("the file ends before bed cell %d of %d", n, NoBCells);
    in.i();  // the bed-cell number is not used
    const int bottom = in.i();
    if (bottom < 0 || bottom > NoCells) in.refuse("bed cell %d has the cell %d", n, bottom);
    Bcellt[n] = bottom;
    Broughness[n] = in.d();
    Croughness[bottom] = in.d();
    Bedformheight[n] = in.d();
    const auto readLayer = [&](int layer) {
      for (int l = 0; l <= lnumber; ++l) BSedDistrib[layer][l][n] = in.d();
    };
    if (letter == 'H') {
      readLayer(1);
    } else if (layered) {
      for (int layer = NoBedLayers - 1; layer >= 0; --layer) readLayer(layer);
    } else {
      readLayer(1);
      readLayer(0);
    }
    in.end();
  }
}

// Reads "bedres" (or its block-division name) when present, regenerates the grid on the bed
// levels read and takes the bed cells' values. A line that cannot be read ends the run with -1.
void readBedFile() {
  RecordReader in(bedFileName());
  if (!in.ok()) {
    logf("Have not used 'bedres' file\n");
    return;
  }
  if (!zval || !Surfaces || Surfaces.dim(0) < 4)
    failf(-3, "Error in reading bedres file: the grid arrays of the G 1 sizes do not exist\n");
  try {
    const char letter = readBedHeader(in);
    readBedPoints(in);
    // A grid that cannot be built on these levels must not take the flow result.
    if (Unstructure() < 0)
      failf(1, "Error in reading bedres file: no grid could be generated on its bed levels\n");
    metric();
    BedMake();
    readBedCells(in, letter);
  } catch (const BadRecord& e) {
    logBadRecord(in, e);
    endRun(-1);
  }
}

// ---- readres: the flow result ---------------------------------------------------------------

void reportCountMismatch(const int u[6]) {
  logf("Error reading result file, array size is not the same as in the grid\n");
  logf("Number of cells in grid is %d, and number of cells in result file is %d\n", NoCells, u[1]);
  if (u[0] != NoPoints)
    logf("No. points in grid: %d, no. points in result file: %d\n", NoPoints, u[0]);
  if (u[1] != NoCells) logf("No. cells in grid: %d, no. cells in result file: %d\n", NoCells, u[1]);
  if (u[2] != NoSurfaces)
    logf("No. surfaces in grid: %d, no. surfaces in result file: %d\n", NoSurfaces, u[2]);
  if (u[3] != NoBlocks)
    logf("No. blocks in grid: %d, no. blocks in result file: %d\n", NoBlocks, u[3]);
  if (u[4] != NoConnect)
    logf("No. connections in grid: %d, no. connections in result file: %d\n", NoConnect, u[4]);
  if (u[5] != NoConnFlate)
    logf("No. connecting surfaces in grid: %d, in result file: %d\n", NoConnFlate, u[5]);
  logf("MaxDepth = %lf\n", MaxDepth);
  logf("\nAdvice for fixing the problem: \n");
  logf("If you are not using an F 112 data set in the control file, then the error \n");
  logf("comes from you are reading a result file prodeuced from a different grid.\n");
  logf("If you are using an F 112 data set in the control file, you can try to \n");
  logf("Add an F 209 data set in the control file, with the same value as.\n");
  logf("the floating point number on the second line on the bedres file\n");
  logf("If you are reading a bedres file, check that the result and bedres files \n");
  logf("are written at the same time\n");
  logf("If you are reading the 'result' file together with the \n");
  logf("'bedres' file, remember the 'bedres' file will only be \n");
  logf("read if the F 37 data set is larger than zero\n");
  logf("If you are reading an unstruc file that is written at the same time as the result file,\n");
  logf("then the F 112 data set should be removed from the control file\n");
  logf("Otherwise, the F 112 1 data set should be in the control file\n");
  logf("Another cause of this error can be if you are using an F 99 data set\n");
  logf("with an integer above 1\n");
  logf("If none of these methods work, you can write the whole grid in the unstruc file by using\n");
  logf("an H at the end of the F 2 data set. Then read this file before reading the result file\n");
}

// The text result as read, before any of it is stored: a result that is refused leaves the
// flow fields as they were.
struct TextResult {
  int u[6] = {};
  bool haveU = false;
  std::vector<double> cells;     // six values a cell, cells 1..u[1]
  std::vector<double> fluxes;    // surfaces 1..u[2]
  std::vector<char> cellSeen, surfaceSeen;
  int cellCount = 0, surfaceCount = 0;
};

// The U line: the counts of the grid the result was written from. False (after the advice in
// the log) when they are not those of the present grid.
bool takeCounts(RecordReader& in, TextResult& r) {
  in.describe(7, "the U line");
  if (r.haveU) in.refuse("a second U line");
  for (int& v : r.u) v = in.i();
  in.end();
  // A result written before the mud block was appended to block 1 fits the grid as well.
  const bool beforeMudBlock = r.u[1] == block[1].cellend && block[2].thixo > 0;
  const bool differs = r.u[0] != NoPoints || r.u[1] != NoCells || r.u[2] != NoSurfaces ||
                       r.u[3] != NoBlocks || r.u[4] != NoConnect || r.u[5] != NoConnFlate;
  if (differs && !beforeMudBlock) {
    reportCountMismatch(r.u);
    mc_message = " Error reading result file           ";
    return false;
  }
  if (r.u[1] < 0 || r.u[2] < 0 || r.u[1] > NoCells || r.u[2] > NoSurfaces || !fitsCells(r.u[1]) ||
      !fitsSurfaces(r.u[2]))
    in.refuse("the U line gives %d cells and %d surfaces, the grid has %d and %d", r.u[1], r.u[2],
              NoCells, NoSurfaces);
  r.haveU = true;
  r.cells.assign(6 * (static_cast<std::size_t>(r.u[1]) + 1), 0.0);
  r.fluxes.assign(static_cast<std::size_t>(r.u[2]) + 1, 0.0);
  r.cellSeen.assign(static_cast<std::size_t>(r.u[1]) + 1, 0);
  r.surfaceSeen.assign(static_cast<std::size_t>(r.u[2]) + 1, 0);
  return true;
}

void takeCell(RecordReader& in, TextResult& r) {
  in.describe(8, "a C record");
  if (!r.haveU) in.refuse("a C record before the U line");
  const int n = in.i();
  if (n < 1 || n > r.u[1]) in.refuse("cell %d of a result of %d cells", n, r.u[1]);
  if (r.cellSeen[n]) in.refuse("cell %d is given a second time", n);
  for (int q = 0; q < 6; ++q) r.cells[6 * static_cast<std::size_t>(n) + q] = in.d();
  in.end();
  r.cellSeen[n] = 1;
  ++r.cellCount;
}

// Returns true after the flux of the last surface.
bool takeFlux(RecordReader& in, TextResult& r) {
  in.describe(3, "an F record");
  if (!r.haveU) in.refuse("an F record before the U line");
  const int n = in.i();
  if (n < 1 || n > r.u[2]) in.refuse("surface %d of a result of %d surfaces", n, r.u[2]);
  if (r.surfaceSeen[n]) in.refuse("surface %d is given a second time", n);
  r.fluxes[n] = in.d();
  in.end();
  r.surfaceSeen[n] = 1;
  ++r.surfaceCount;
  return n == r.u[2];
}

// The first entry of 1..n that `seen` lacks.
int firstMissing(const std::vector<char>& seen, int n) {
  for (int k = 1; k <= n; ++k)
    if (!seen[k]) return k;
  return 0;
}

// Reads the records C, F and U (one a line; other lines are text); false when the file gives
// no U line, another grid's counts, a record that cannot be read, or not every cell and surface
// once: the reason is in the log.
bool scanTextResult(RecordReader& in, TextResult& r) {
  try {
    while (in.record(-1, "a line")) {
      const std::string w = in.word();
      if (w == "U") {
        if (!takeCounts(in, r)) return false;
      } else if (w == "C") {
        takeCell(in, r);
      } else if (w == "F") {
        if (takeFlux(in, r)) break;
      } else {
        in.skipLine();
      }
    }
  } catch (const BadRecord& e) {
    logBadRecord(in, e);
    logf("The restart from the '%s' file is refused\n", in.name().c_str());
    mc_message = " Error reading result file           ";
    return false;
  }
  if (!r.haveU || r.cellCount != r.u[1] || r.surfaceCount != r.u[2]) {
    if (!r.haveU)
      logf("Error reading result file '%s': it has no U line with the counts of its grid\n", in.name().c_str());
    else
      logf("Error reading result file '%s': it holds %d of its %d cells (the first missing is %d) and "
           "%d of its %d surfaces (the first missing is %d)\n",
           in.name().c_str(), r.cellCount, r.u[1], firstMissing(r.cellSeen, r.u[1]), r.surfaceCount, r.u[2],
           firstMissing(r.surfaceSeen, r.u[2]));
    logf("The restart from the '%s' file is refused\n", in.name().c_str());
    mc_message = " Error reading result file           ";
    return false;
  }
  return true;
}

// Reads the text result; false when it is missing (logged): the flow fields then keep their
// values. One of another grid, or that cannot be read whole, ends the run with -1 (logged).
bool readTextResult(int& records, std::string& name) {
  logf(" In readres \n\n");
  mc_program = " Readres-reading results ";
  name = divisionNames() ? strf("result.mpi%d", FlagMPI) : std::string("result");
  RecordReader in(name);
  if (!in.ok()) {
    mc_message = strf("cannot open file %s ", name.c_str());
    logf("Warning: have not been able to open the file '%s' for reading ", name.c_str());
    return false;
  }
  TextResult r;
  if (!scanTextResult(in, r)) {
    // A restart that was asked for and refused must not pass for one: the run would compute
    // from its start values and end as a restarted run does.
    logf("The run stops: the restart it asks for (task R) was refused, and a run from the "
         "start values would pass for a restarted one\n");
    endRun(-1);
  }
  for (int n = 1; n <= r.u[1]; ++n) {
    const double* v = &r.cells[6 * static_cast<std::size_t>(n)];
    for (int q = 0; q < 6; ++q) (*kFields[q])[n] = v[q];
    const double k = v[3], e = v[4];
    Cgamma[n] = CgammaV[n] = std::min(MaxGamma, 90.0 * k * k / (e + 1e-20) + MinGamma + ArtEddyVisc);
  }
  for (int n = 1; n <= r.u[2]; ++n) Fflux[n] = r.fluxes[n];
  records = r.u[1];
  FlagReadRes = 1;
  return true;
}

// Reads "resultb": the six cell fields and the fluxes of exactly the present grid.
void readBinaryResult() {
  File file("resultb", "rb");
  if (!file) {
    mc_message = "cannot open file 'resultb' ";
    logf(" cannot open file 'resultb' for reading ");
    endRun(-3);
  }
  std::FILE* f = file.get();
  const long long cells = NoCells + 1LL, surfaces = NoSurfaces + 1LL;
  if (!fitsCells(NoCells) || !fitsSurfaces(NoSurfaces))
    failf(-4, "Error reading 'resultb' file");
  // A file of another grid would put every value in the wrong cell: its length must match.
  const long long wanted = (6 * cells + surfaces) * static_cast<long long>(sizeof(double));
  long long length = -1;
  if (std::fseek(f, 0, SEEK_END) == 0) length = std::ftell(f);
  std::rewind(f);
  if (length != wanted) {
    logf("The file 'resultb' holds %lld bytes, the grid needs %lld\n", length, wanted);
    failf(-4, "Error reading 'resultb' file");
  }
  for (Table1<double>* a : kFields)
    if (std::fread(a->data(), sizeof(double), static_cast<std::size_t>(cells), f) !=
        static_cast<std::size_t>(cells))
      failf(-4, "Error reading 'resultb' file");
  if (std::fread(Fflux.data(), sizeof(double), static_cast<std::size_t>(surfaces), f) !=
      static_cast<std::size_t>(surfaces))
    failf(-4, "Error reading 'resultb' file");
}

}  // namespace

void print_result(int) {
  const bool binary = FlagInterpolVal == 15;
  std::string name;
  bool plainMessage = false;  // the names whose failure names the file 'result'
  if (FlagCrashGrid == 2) {
    name = "result.csh";
    plainMessage = true;
  } else if (numberedResults()) {
    name = numberedName(FlagMPI != 0 ? strf("result.mpi%d", FlagMPI) : std::string("result"),
                        {".000%d", ".00%d", ".0%d", ".%d"});
  } else if (binary) {
    name = "resultb";
    plainMessage = true;
  } else if (FlagMPI != 0) {
    name = strf("result.mpi%d", FlagMPI);
  } else {
    name = "result.end";
  }

  // The counts written must lie inside the tables.
  if (binary ? !(fitsCells(NoCells) && fitsSurfaces(NoSurfaces))
             : !(fitsCells(NoCells0) && fitsSurfaces(NoSurfaces0)))
    failf(1, "Error writing %s file: the cell or surface count is more than the arrays hold\n",
          name.c_str());

  // Written under a temporary name: a run that ends while it writes keeps the previous result.
  OutFile file(name, binary);
  if (binary)
    writeBinary(file);
  else if (file.ok())
    writeText(file.get());
  if (!file.commit()) {
    mc_message = plainMessage ? std::string("cannot open file 'result' ")
                              : strf("cannot open file '%s' ", name.c_str());
    failWrite(name, file.reason().c_str(), -3);
  }
}

void readres() {
  logf("%s", "");  // ends the run with -3 now when the log cannot be opened
  readBedFile();

  int records = 0;
  std::string textName;
  if (FlagInterpolVal == 15) {
    readBinaryResult();
  } else if (!readTextResult(records, textName)) {
    return;
  }

  Table1<double>* const old[6] = {&Cxvel_old, &Cyvel_old, &Czvel_old,
                                  &Ckinen_old, &Cepsilon_old, &Cpres_old};
  for (int q = 0; q < 6; ++q) {
    Table1<double>& o = *old[q];
    if (!o) continue;
    const int last = std::min<long long>(NoCells, static_cast<long long>(o.size()) - 1);
    for (int c = 1; c <= last; ++c) o[c] = (*kFields[q])[c];
  }
  if (Cxvel_old) FlagOldLevelMade = 1;

  logf("Have read %d cell values from %s file\n", records,
       FlagInterpolVal == 15 ? bedFileName().c_str() : textName.c_str());
  mc_message = " Have finished reading 'result'";
  FlagInitialized = 1;
}

}  // namespace qorva
