// The grid file unstruc (versions 2, 3 and 4) with its side files koomin.bed, koosurf.t, the
// block-division overlap and koordina.si1/.si2, and the numbered version-1 snapshots
// unstruc.N of a moving grid. Reads the grid arrays, the blocks, the discharge groups and the
// structured grid; writes only files, the log and mc_message.
#include <cmath>
#include <cstdio>
#include <string>

#include "files/files.h"
#include "files/grid_sections.h"
#include "grid/columns.h"
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

using namespace gridfile;

namespace {

// Largest number a table of `size` entries holds when entry 0 is the empty slot.
long long lastSlot(std::size_t size) { return static_cast<long long>(size) - 1; }

bool lineInGrid(int i, int j) { return i >= 0 && i <= xnumber + 1 && j >= 0 && j <= ynumber + 1; }

bool structuredFits() {
  return xval && yval && zval && znumber >= 1 &&
         static_cast<long long>(xval.dim(0)) >= xnumber + 2LL &&
         static_cast<long long>(xval.dim(1)) >= ynumber + 2LL &&
         static_cast<long long>(yval.dim(0)) >= xnumber + 2LL &&
         static_cast<long long>(yval.dim(1)) >= ynumber + 2LL &&
         static_cast<long long>(zval.dim(0)) >= xnumber + 2LL &&
         static_cast<long long>(zval.dim(1)) >= ynumber + 2LL &&
         static_cast<long long>(zval.dim(2)) >= znumber + 2LL;
}

}  // namespace

namespace gridfile {

// Every count written must lie inside the table it indexes, and every block inside the grid
// lines: a file is never written from rows past a table.
void requireTables(const char* name, const Counts& n) {
  const auto fits = [](int count, long long last) { return count >= 0 && count <= last; };
  const auto fail = [name](const char* what, int count) {
    failf(1, "Error writing %s file: %d %s, more than the arrays hold\n", name, count, what);
  };
  if (!structuredFits())
    failf(1, "Error writing %s file: the grid arrays of the G 1 sizes do not exist\n", name);
  if (n.points > 0 && !(Px && fits(n.points, lastSlot(Px.size())))) fail("points", n.points);
  if (n.cells > 0 && !(Cpoint1 && fits(n.cells, lastSlot(Cpoint1.size())))) fail("cells", n.cells);
  if (n.surfaces > 0 && !(Fpoint1 && fits(n.surfaces, lastSlot(Fpoint1.size()))))
    fail("surfaces", n.surfaces);
  if (!fits(n.blocks, lastSlot(block.size()))) fail("blocks", n.blocks);
  if (!fits(n.connect, static_cast<long long>(conn.size()))) fail("block connections", n.connect);
  if (n.connFlate > 0 && !(connFlate && fits(n.connFlate, lastSlot(connFlate.dim(0)))))
    fail("block joint pairs", n.connFlate);
  if (n.nests > 0 && !(Npflate && fits(n.nests, lastSlot(Npflate.size())))) fail("nesting surfaces", n.nests);
  if (n.points < 0 || n.cells < 0 || n.surfaces < 0 || n.connFlate < 0 || n.nests < 0)
    failf(1, "Error writing %s file: a negative grid count\n", name);
  for (int b = 1; b <= n.blocks; ++b) {
    const GridBlock& k = block[b];
    if (!lineInGrid(k.i1 - 1, k.j1 - 1) || !lineInGrid(k.i2, k.j2))
      failf(1, "Error writing %s file: block %d with grid lines %d to %d and %d to %d does not lie in the G 1 grid\n",
            name, b, k.i1 - 1, k.i2, k.j1 - 1, k.j2);
  }
  for (int g = 1; g <= 9; ++g) {
    const DischargeGroup& d = DischargeStruct[g];
    if (d.surfaceNo < 0 || d.surfaceNo > static_cast<int>(d.surfaceList.size()) || d.xyNo < 0 ||
        d.xyNo > static_cast<int>(d.x.size()))
      failf(1, "Error writing %s file: discharge group %d holds %d surfaces and %d points\n", name, g,
            d.surfaceNo, d.xyNo);
  }
  for (int g = 0; g < 10; ++g) {
    const SurfaceDischargeGroup& s = SurfDischargeStruct[g];
    if (s.count < 0 || s.count > static_cast<int>(s.cells.size()))
      failf(1, "Error writing %s file: surface discharge group %d holds %d cells\n", name, g, s.count);
  }
}

void writePoints(std::FILE* f, int points) {
  for (int p = 1; p <= points; ++p) std::fprintf(f, "%lf %lf %lf\n", Px[p], Py[p], Pz[p]);
}

void writeCellTopology(std::FILE* f, int c) {
  const int v[20] = {Cpoint1[c], Cpoint2[c], Cpoint3[c], Cpoint4[c], Cpoint5[c], Cpoint6[c],
                     Cpoint7[c], Cpoint8[c], Cflates[c], Cflatee[c], Cflaten[c], Cflatew[c],
                     Cflateb[c], Cflatet[c], Ccells[c], Ccelle[c],  Ccelln[c], Ccellw[c],
                     Ccellb[c],  Ccellt[c]};
  for (int x : v) std::fprintf(f, "%d ", x);
  std::fprintf(f, "\n");
}

void writeSurfaces(std::FILE* f, int surfaces) {
  for (int s = 1; s <= surfaces; ++s) {
    const int v[6] = {Fpoint1[s], Fpoint2[s], Fpoint3[s], Fpoint4[s], Fcell1[s], Fcell2[s]};
    for (int x : v) std::fprintf(f, "%d ", x);
    std::fprintf(f, "\n");
  }
}

void writeLinks(std::FILE* f, const Counts& n) {
  for (int b = 1; b <= n.blocks; ++b) {
    const GridBlock& k = block[b];
    std::fprintf(f, "%d %d %d %d %d %d %d %d %d %d %d %d %d %d %d %d %d %lf %lf\n", k.i1, k.i2, k.j1,
                 k.j2, k.nestlevel, k.bedfollow, k.boxcells, k.aux2, k.aux3, k.aux4, k.cellstart,
                 k.cellend, k.surfstart, k.surfend, k.pointstart, k.pointend, k.flag2D,
                 k.boxheight, k.boxtop);
  }
  for (int c = 0; c < n.connect; ++c)
    std::fprintf(f, "%d %d %d %d\n", conn[c].i1, conn[c].i2, conn[c].j1, conn[c].j2);
  for (int k = 1; k <= n.connFlate; ++k) std::fprintf(f, "%d %d\n", connFlate[k][0], connFlate[k][1]);
  for (int g = 1; g <= 9; ++g) {
    const DischargeGroup& d = DischargeStruct[g];
    std::fprintf(f, "%d %d %d %d %d %d %d %lf %lf\n", d.inflowFlag, d.bcType, d.componentNo,
                 d.lowLevel, d.topLevel, d.surfaceNo, d.xyNo, d.massDischarge, d.inflowConc);
    for (int s = 0; s < d.surfaceNo; ++s) std::fprintf(f, "%d ", d.surfaceList[s]);
    std::fprintf(f, "\n");
    for (int p = 0; p < d.xyNo; ++p) std::fprintf(f, "%lf %lf\n", d.x[p], d.y[p]);
  }
  for (int g = 0; g < 10; ++g) {
    const SurfaceDischargeGroup& s = SurfDischargeStruct[g];
    std::fprintf(f, "%d %d %lf ", s.id, s.count, s.load);
    for (int e = 0; e < s.count; ++e) std::fprintf(f, "%d ", s.cells[e]);
    std::fprintf(f, "\n");
  }
}

void writeNesting(std::FILE* f, int nests) {
  for (int n = 1; n <= nests; ++n) {
    std::fprintf(f, "%d %d %d %d %lf\n", Ninoutwall[n], Npflate[n], Npcelle[n], Npblock[n], Nflux[n]);
    for (int k = 0; k < 4; ++k)
      std::fprintf(f, "%d %lf %lf %lf %lf\n", Ncell[n][k], Nweight[n][k], Nvect[n][k][0],
                   Nvect[n][k][1], Nvect[n][k][2]);
  }
}

}  // namespace gridfile

namespace {

// Sections 2 to 9: points, cells, surfaces, blocks, connections, joint pairs, discharge groups
// and surface discharge groups. `geometry` is false for version 4, which leaves out the first
// three.
void writeBody(std::FILE* f, const Counts& n, bool geometry) {
  if (geometry) {
    writePoints(f, n.points);
    for (int c = 1; c <= n.cells; ++c) writeCellTopology(f, c);
    writeSurfaces(f, n.surfaces);
  }
  writeLinks(f, n);
}

// The bottom cell of every column i = 1..xnumber+1, j = 1..ynumber+1, one row per i line.
void writeBottomMatrix(std::FILE* f, bool blankAfter) {
  for (int i = 1; i <= xnumber + 1; ++i) {
    for (int j = 1; j <= ynumber + 1; ++j)
      std::fprintf(f, blankAfter ? "%d " : " %d", columnBottom(i, j));
    std::fprintf(f, "\n");
  }
}

void writeColumnRecords(std::FILE* f, int blocks) {
  for (int b = 1; b <= blocks; ++b)
    for (int i = block[b].i1 - 1; i <= block[b].i2; ++i)
      for (int j = block[b].j1 - 1; j <= block[b].j2; ++j)
        std::fprintf(f, "%d %lf %lf %lf %lf \n", columnBottom(i, j), zval[i][j][1],
                     zval[i][j][znumber], xval[i][j], yval[i][j]);
}

// Columns of the blocks 1..NoBlocks without a bottom cell.
int dryColumns() {
  int dry = 0;
  for (int b = 1; b <= NoBlocks && b < static_cast<int>(block.size()); ++b) {
    const GridBlock& k = block[b];
    if (!lineInGrid(k.i1, k.j1) || !lineInGrid(k.i2, k.j2)) continue;
    for (int i = k.i1; i <= k.i2; ++i)
      for (int j = k.j1; j <= k.j2; ++j)
        if (columnBottom(i, j) < 1) ++dry;
  }
  return dry;
}

std::string divisionName(const char* plain, const char* divided) {
  return FlagMPI != 0 ? strf(divided, FlagMPI) : std::string(plain);
}

// Grid lines i1-1..i2, j1-1..j2 of block b, when the block exists and lies in the grid.
template <class Point>
void blockLines(int b, Point point) {
  if (b > NoBlocks) return;
  const GridBlock& k = block[b];
  if (!lineInGrid(k.i1 - 1, k.j1 - 1) || !lineInGrid(k.i2, k.j2)) return;
  for (int i = k.i1 - 1; i <= k.i2; ++i)
    for (int j = k.j1 - 1; j <= k.j2; ++j) point(i, j);
}

void writeSixFields(std::FILE* f, int i, int iOut, int j) {
  std::fprintf(f, "%d %d %lf %lf %lf %lf\n", iOut, j, xval[i][j], yval[i][j], zval[i][j][1],
               zval[i][j][znumber]);
}

// A side file of the grid file: written whole or not at all. One that cannot be written ends
// the run with -4, like the grid file: a stale koomin.bed or koosurf.t next to a new unstruc
// would describe another grid.
template <class Write>
void writeSideFile(const std::string& name, Write write) {
  OutFile f(name);
  if (!f.ok()) {
    mc_message = strf("have not written '%s' file", name.c_str());
    failWrite(name, f.reason().c_str(), -4);
  }
  write(f.get());
  f.commitOrEnd(-4);
}

// The side files, in their order.
void writeSideFiles() {
  writeSideFile(divisionName("koomin.bed", "koomin.mpi%d.bed"), [](std::FILE* f) {
    for (int i = 1; i <= xnumber - 1; ++i)
      for (int j = 1; j <= ynumber - 1; ++j)
        std::fprintf(f, "%d %d %lf %lf %lf\n", i, j, xval[i][j], yval[i][j], zval[i][j][1]);
  });
  writeSideFile(divisionName("koosurf.t", "koosurf.mpi%d.t"), [](std::FILE* f) {
    blockLines(1, [&](int i, int j) { writeSixFields(f, i, i, j); });
  });
  if (FlagMPI > 0) {
    // The last two grid lines of block 1 are the overlap that the next division takes over.
    writeSideFile(strf("koordina.mpi%d.m", FlagMPI + 1), [](std::FILE* f) {
      const int i2 = NoBlocks >= 1 ? block[1].i2 : 0;
      if (NoBlocks >= 1 && lineInGrid(i2 - 1, 1) && lineInGrid(i2, ynumber - 1))
        for (int i = i2 - 1; i <= i2; ++i)
          for (int j = 1; j <= ynumber - 1; ++j) writeSixFields(f, i, i, j);
    });
  }
  const auto fiveFields = [](std::FILE* f, int i, int j, int jOut) {
    std::fprintf(f, "%d %d %lf %lf %lf\n", i, jOut, xval[i][j], yval[i][j], zval[i][j][1]);
  };
  writeSideFile("koordina.si1", [&](std::FILE* f) {
    blockLines(1, [&](int i, int j) { fiveFields(f, i, j, j); });
  });
  if (NoBlocks < 2) return;
  writeSideFile("koordina.si2", [&](std::FILE* f) {
    const int shift = block[1].j2;
    blockLines(2, [&](int i, int j) { fiveFields(f, i, j, j - shift); });
  });
}

}  // namespace

int WriteUnstructure() {
  const int version = FlagWriteUnstruc;
  if (version < 2 || version > 4)
    failf(1, "Error writing unstruc file: version %d, the writer knows 2, 3 and 4\n", version);
  const Counts n{NoCells0, NoSurfaces0, NoBlocks0, NoConnect0, NoConnFlate0, NoNestflater, NoPoints};
  requireTables("unstruc", n);

  const int dry = version < 3 ? dryColumns() : 0;
  if (dry != 0) {
    logf("WARNING: You are writing an unstruc file which does not cover the whole domain\n");
    logf("This unstruc file should not be used as a start for a wetting/drying computation\n");
    logf("It should only be used for debugging purposes and display of graphics\n\n");
  }
  std::string name = divisionName("unstruc", "unstruc.mpi%d");
  const bool special = FlagCrashGrid >= 2 || dry != 0;
  if (FlagCrashGrid >= 2) name = "unstruc.dbg";
  else if (dry != 0) name = "unstruc.dry";

  // Written under a temporary name: a run that ends while it writes keeps the previous grid.
  OutFile f(name);
  if (!f.ok()) {
    if (special) mc_message = strf("cannot open file '%s' ", name.c_str());
    else logf("Error: can not open '%s' file\n", name.c_str());
    failWrite(name, f.reason().c_str(), -4);
  }
  if (version == 2)
    std::fprintf(f.get(), "%d %d %d %d %d %d %d %d %d %d\n", 2, n.cells, n.surfaces, n.blocks,
                 n.connect, n.connFlate, n.nests, n.points, xnumber, ynumber);
  else
    std::fprintf(f.get(), "%d %d %d %d %d %d %d %d\n", version, n.cells, n.surfaces, n.blocks,
                 n.connect, n.connFlate, n.nests, n.points);
  writeBody(f.get(), n, version != 4);
  if (version == 2) writeBottomMatrix(f.get(), false);
  else writeColumnRecords(f.get(), n.blocks);
  if (version != 4) writeNesting(f.get(), n.nests);
  f.commitOrEnd(-4);
  mc_message = " Have written unstruc file       ";

  writeSideFiles();
  return dry;
}

void WriteTransFiles() {
  const double every = TransWriteFiles[1];
  // Not a multiple (a zero interval gives NaN, which is never within the margin).
  if (!(std::fabs(std::fmod(static_cast<double>(Iter), every)) <= 0.001)) return;
  const Counts n{NoCells, NoSurfaces, NoBlocks, NoConnect, NoConnFlate, NoNestflater, NoPoints};
  requireTables("unstruc.N", n);

  std::string name;
  for (int k = 0; k <= 999998 && name.empty(); ++k) {
    const std::string candidate = strf("unstruc.%d", k);
    if (!fileExists(candidate)) name = candidate;
  }
  if (name.empty()) failf(1, "Error: the grid snapshots unstruc.0 to unstruc.999998 exist already\n");
  OutFile f(name);
  if (!f.ok()) failWrite(name, f.reason().c_str(), -4);
  std::fprintf(f.get(), "%d %d %d %d %d %d %d %d\n", 1, n.cells, n.surfaces, n.blocks, n.connect,
               n.connFlate, n.nests, n.points);
  writeBody(f.get(), n, true);
  writeBottomMatrix(f.get(), true);
  writeNesting(f.get(), n.nests);
  f.commitOrEnd(-4);
}

}  // namespace qorva
