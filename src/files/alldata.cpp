// The full-state restart file: the grid in the sections of unstruc, the flow field and the
// concentrations of every cell, the levels and bed layers of every grid point, the nesting
// records and, with F 404, the morphology statistics. WriteAllData writes the numbered
// snapshots alldata.N; ReadAllData (task B) restores everything from alldata and rebuilds
// what depends on the grid. Reads and writes the grid arrays, the blocks, the groups, xval,
// yval, zval, Surfaces planes 0..3 and 5, pointbed, Cbed, Bkooi, Bkooj, BlayerTop,
// BSedDistrib, Cxvel..Cepsilon, Cconc, stimet and the counts.
#include <cmath>
#include <cstdio>
#include <string>

#include "bed/bed.h"
#include "files/files.h"
#include "files/grid_sections.h"
#include "grid/grid.h"
#include "pressure/pressure.h"
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
#include "surface/surface.h"

namespace qorva {

using namespace gridfile;

namespace {

long long lastSlot(std::size_t size) { return static_cast<long long>(size) - 1; }

// The structured tables hold every grid line 0..xnumber+1, 0..ynumber+1 and the level
// planes 0..3 (and the statistics plane 5 when it is written or read).
bool structuredFits(bool statistics) {
  const auto holds = [](std::size_t n, long long want) { return static_cast<long long>(n) >= want; };
  const long long nx = xnumber + 2LL, ny = ynumber + 2LL;
  return xnumber >= 1 && ynumber >= 1 && znumber >= 1 && xval && yval && zval && pointbed &&
         Surfaces && holds(xval.dim(0), nx) && holds(xval.dim(1), ny) && holds(yval.dim(0), nx) &&
         holds(yval.dim(1), ny) && holds(zval.dim(0), nx) && holds(zval.dim(1), ny) &&
         holds(zval.dim(2), znumber + 2LL) && holds(pointbed.dim(0), nx) &&
         holds(pointbed.dim(1), ny) && holds(Surfaces.dim(0), statistics ? 6 : 4) &&
         holds(Surfaces.dim(1), nx) && holds(Surfaces.dim(2), ny);
}

// The per-cell values and the bed-layer table: every size 0..lnumber and the layers that the
// form of NoBedLayers writes.
bool stateFits() {
  const int layers = NoBedLayers == 2 ? 2 : NoBedLayers + 1;
  return Cxvel && Cyvel && Czvel && Cpres && Ckinen && Cepsilon && Cconc && Cbed && BlayerTop &&
         BSedDistrib && lnumber >= 0 && NoBedLayers >= 0 &&
         static_cast<long long>(Cconc.dim(0)) >= lnumber + 1LL &&
         static_cast<long long>(BSedDistrib.dim(0)) >= layers &&
         static_cast<long long>(BSedDistrib.dim(1)) >= lnumber + 1LL;
}

// Largest bed-cell number that every bed table holds.
long long lastBedCell() {
  long long last = lastSlot(BSedDistrib.dim(2));
  for (std::size_t n : {BlayerTop.size(), Bkooi ? Bkooi.size() : BlayerTop.size(),
                        Bkooj ? Bkooj.size() : BlayerTop.size()})
    if (lastSlot(n) < last) last = lastSlot(n);
  return last;
}

// Grid lines i1-1..i2, j1-1..j2 of blocks 1..blocks, in the order of the file.
template <class Point>
void eachPoint(int blocks, Point point) {
  for (int b = 1; b <= blocks; ++b)
    for (int i = block[b].i1 - 1; i <= block[b].i2; ++i)
      for (int j = block[b].j1 - 1; j <= block[b].j2; ++j) point(i, j);
}

int bottomCell(int i, int j) { return static_cast<int>(zval[i][j][0]); }

// ---- writing ----------------------------------------------------------------------------------

// Before the file is opened: every bed cell and top layer of the grid points indexes its
// tables, so no row past a table is written.
void requireBedTables(const Counts& n) {
  if (!structuredFits(FlagMorphStatistics == 1))
    failf(1, "Error writing alldata file: the grid arrays of the G 1 sizes do not exist\n");
  if (!stateFits())
    failf(1, "Error writing alldata file: the flow, concentration or bed-layer arrays do not exist\n");
  const long long lastBed = lastBedCell();
  eachPoint(n.blocks, [&](int i, int j) {
    const int b = pointbed[i][j];
    if (b < 0 || b > lastBed)
      failf(1, "Error writing alldata file: grid point (%d,%d) has the bed cell %d, outside 0..%lld\n", i,
            j, b, lastBed);
    if (NoBedLayers != 2 && b > 0 &&
        (BlayerTop[b] < 0 || BlayerTop[b] >= static_cast<int>(BSedDistrib.dim(0))))
      failf(1, "Error writing alldata file: bed cell %d has the top layer %d, outside 0..%d\n", b,
            BlayerTop[b], static_cast<int>(BSedDistrib.dim(0)) - 1);
  });
}

// The first free name of the series; the last number is reused when every one is taken.
std::string nextAllDataName() {
  const auto numbered = [](int k) {
    return FlagMPI != 0 ? strf("alldata.mpi%d.%d", FlagMPI, k) : strf("alldata.%d", k);
  };
  for (int k = 0; k < 999998; ++k) {
    const std::string name = numbered(k);
    if (!fileExists(name)) return name;
  }
  return numbered(999998);
}

void writeCells(std::FILE* f, int cells) {
  for (int c = 1; c <= cells; ++c) {
    writeCellTopology(f, c);
    const double flow[6] = {Cxvel[c], Cyvel[c], Czvel[c], Cpres[c], Ckinen[c], Cepsilon[c]};
    for (double v : flow) std::fprintf(f, "%lf ", v);
    for (int l = 0; l <= lnumber; ++l) std::fprintf(f, "%lg ", Cconc[l][c]);
    std::fprintf(f, "\n");
  }
}

void writePlanes(std::FILE* f, int i, int j) {
  for (int p = 0; p < 4; ++p) std::fprintf(f, "%lf ", Surfaces[p][i][j]);
}

void writeGridPoints(std::FILE* f, int blocks) {
  eachPoint(blocks, [f](int i, int j) {
    const int b = pointbed[i][j];
    if (NoBedLayers == 2) {
      std::fprintf(f, "%d %lf %lf %lf %lf ", bottomCell(i, j), zval[i][j][1], zval[i][j][znumber],
                   xval[i][j], yval[i][j]);
      writePlanes(f, i, j);
      std::fprintf(f, "%d \n", b);
      for (int layer : {1, 0})
        for (int l = 0; l <= lnumber; ++l) std::fprintf(f, " %lf", BSedDistrib[layer][l][b]);
      std::fprintf(f, "\n");
      return;
    }
    std::fprintf(f, "%d %d %lf %lf %lf %lf ", b, bottomCell(i, j), zval[i][j][1],
                 zval[i][j][znumber], xval[i][j], yval[i][j]);
    writePlanes(f, i, j);
    if (b <= 0) return;  // the next point follows on this line
    std::fprintf(f, "%d\n", BlayerTop[b]);
    for (int layer = BlayerTop[b]; layer >= 0; --layer) {
      for (int l = 0; l <= lnumber; ++l) std::fprintf(f, "%lf ", BSedDistrib[layer][l][b]);
      std::fprintf(f, "\n");
    }
  });
}

// ---- reading ----------------------------------------------------------------------------------

// The header; returns the version.
int readHeader(RecordReader& in) {
  if (!in.record(8, "the header")) in.refuse("the file is empty");
  int h[8];
  for (int& v : h) v = in.i();
  in.end();
  const int version = h[0];
  if (version != 3 && version != 4) in.refuse("unknown version %d on the first line", version);
  NoCells = NoCells0 = h[1];
  NoSurfaces = NoSurfaces0 = h[2];
  NoBlocks = NoBlocks0 = h[3];
  NoConnect = NoConnect0 = h[4];
  NoConnFlate = NoConnFlate0 = h[5];
  NoNestflater = h[6];
  NoPoints = h[7];
  if (version == 4 && FlagMorphStatistics == 0)
    failf(-55, "Error, it is necessary to use F 404 with this alldata file\n\n");
  return version;
}

// Every count must fit its table; entry 0 of each table is the empty slot.
void checkCounts(const RecordReader& in) {
  const struct {
    const char* what;
    int n;
  } counts[] = {{"cells", NoCells},
                {"surfaces", NoSurfaces},
                {"blocks", NoBlocks},
                {"block connections", NoConnect},
                {"block joint pairs", NoConnFlate},
                {"nesting surfaces", NoNestflater},
                {"points", NoPoints}};
  for (const auto& c : counts)
    if (c.n < 0) in.refuse("the first line gives %d %s", c.n, c.what);
  requireReadTables(in, " Error reading alldata file - arrays ", "alldata");
}

// The sizes, the layer count and the time.
void readSecondLine(RecordReader& in) {
  if (!in.record(3, "the second line")) in.refuse("the file ends after the first line");
  const int sizes = in.i(), layers = in.i();
  const double time = in.d();
  in.end();
  if (sizes != lnumber || layers != NoBedLayers) {
    logf("Error in reading alldata file\n");
    logf("The number of sediment sizes in allfile is %d. The number in the control file is %d.\n", sizes,
         lnumber);
    failf(-5, "The number of bed layers in allfile is %d. The number in the control file is %d.\n", layers,
          NoBedLayers);
  }
  stimet = time;
}

// Each cell: its topology line, then a line of six flow values and lnumber + 1 concentrations.
void readCells(RecordReader& in) {
  for (int c = 1; c <= NoCells; ++c) {
    readCellTopology(in, c);
    if (!in.record(7 + lnumber, "the flow values of cell %lld", c))
      in.refuse("the file ends before the flow values of cell %d", c);
    for (Table1<double>* v : {&Cxvel, &Cyvel, &Czvel, &Cpres, &Ckinen, &Cepsilon}) (*v)[c] = in.d();
    for (int l = 0; l <= lnumber; ++l) Cconc[l][c] = in.d();
    in.end();
  }
}

void readBlocks(RecordReader& in) {
  for (int b = 1; b <= NoBlocks; ++b) {
    scanBlock(in, b);
    GridBlock& k = block[b];
    if (k.i2 > 2) k.inwork = 1;
    if (b == 1 && (k.j2 < 2 || k.i2 < 2))
      logf("Error reading alldata file. Block 1 not properly defined: %d %d %d %d\n\n", k.i1, k.i2, k.j1, k.j2);
    checkBlock(in, b);
    if (k.i2 > xnumber + 1LL || k.j2 > ynumber + 1LL)
      in.refuse("block %d reaches the grid line (%d,%d), outside the G 1 grid", b, k.i2, k.j2);
  }
  readConnections(in);
}

void readGroups(RecordReader& in) {
  for (int g = 1; g <= 9; ++g) {
    readGroupLine(in, g, 3);
    readGroupLists(in, g, true);
  }
  readSurfaceGroups(in);
}

// The fractions of sizes 1..lnumber of a bed layer sum to one: a layer without thickness (or
// without any fraction) is an even mixture, any other layer is scaled to the sum.
void rescaleLayer(int layer, int b) {
  double sum = 0;
  for (int l = 1; l <= lnumber; ++l) sum += BSedDistrib[layer][l][b];
  if (std::fabs(sum - 1.0) <= 1e-10) return;
  const bool even = BSedDistrib[layer][0][b] <= 1e-20 || !(sum > 0);
  for (int l = 1; l <= lnumber; ++l) {
    if (even) BSedDistrib[layer][l][b] = 1.0 / lnumber;
    else BSedDistrib[layer][l][b] /= sum;
  }
}

// The lnumber + 1 values of one bed layer, from the current line.
void readLayer(RecordReader& in, int layer, int b) {
  for (int l = 0; l <= lnumber; ++l) BSedDistrib[layer][l][b] = in.d();
}

struct PointRecord {
  int bottom, bed;
  double level, water, x, y;
  double planes[4];
};

// Grid point (i, j) and the column whose bottom cell and bed cell it names.
void storePoint(const RecordReader& in, int i, int j, const PointRecord& r) {
  if (r.bottom < 0 || r.bottom > NoCells)
    in.refuse("grid point (%d,%d) has the bottom cell %d, outside 0..%d", i, j, r.bottom, NoCells);
  const long long lastBed = lastBedCell();
  if (r.bed < 0 || r.bed > lastBed)
    in.refuse("grid point (%d,%d) has the bed cell %d, outside 0..%lld", i, j, r.bed, lastBed);
  zval[i][j][0] = r.bottom;
  zval[i][j][1] = r.level;
  zval[i][j][znumber] = zval[i][j][znumber + 1] = r.water;
  xval[i][j] = r.x;
  yval[i][j] = r.y;
  for (int p = 0; p < 4; ++p) Surfaces[p][i][j] = r.planes[p];
  if (FlagSetZeroBedmove == 1) Surfaces[1][i][j] = 0.0;
  if (FlagSetLimBedOri == 1) Surfaces[3][i][j] = Surfaces[0][i][j];
  pointbed[i][j] = r.bed;
  // Element 0 stays the empty slot.
  if (r.bottom > 0) Cbed[r.bottom] = r.bed;
  if (r.bed > 0 && Bkooi && Bkooj) {
    Bkooi[r.bed] = i;
    Bkooj[r.bed] = j;
  }
}

// The levels, the position and the four planes of a grid point, in the order of the file.
void readLevels(RecordReader& in, PointRecord& r) {
  r.level = in.d();
  r.water = in.d();
  r.x = in.d();
  r.y = in.d();
  for (double& p : r.planes) p = in.d();
}

// Two-layer form: a line with the bottom cell, levels, position, planes and bed cell; a line
// with layer 1 and layer 0.
void readTwoLayerPoint(RecordReader& in, int i, int j) {
  PointRecord r{};
  if (!in.record(10, "grid point (%lld,%lld)", i, j)) in.refuse("the file ends before grid point (%d,%d)", i, j);
  r.bottom = in.i();
  readLevels(in, r);
  r.bed = in.i();
  in.end();
  storePoint(in, i, j, r);
  if (!in.record(2 * (lnumber + 1), "the bed layers of grid point (%lld,%lld)", i, j))
    in.refuse("the file ends before the bed layers of grid point (%d,%d)", i, j);
  readLayer(in, 1, r.bed);
  readLayer(in, 0, r.bed);
  in.end();
  rescaleLayer(1, r.bed);
  rescaleLayer(0, r.bed);
}

// Layered form: the bed cell, bottom cell, levels, position and planes; with a bed cell, its
// top layer on the same line and one line per layer. A point without bed cell ends no line:
// the next record follows on the same one.
void readLayeredPoint(RecordReader& in, int i, int j) {
  PointRecord r{};
  if (!in.record(-1, "grid point (%lld,%lld)", i, j)) in.refuse("the file ends before grid point (%d,%d)", i, j);
  try {
    r.bed = in.i();
    r.bottom = in.i();
    r.level = in.d();
    r.water = in.d();
    r.x = in.d();
    r.y = in.d();
  } catch (const BadRecord& e) {
    // The form of older files, which these records cannot be read from.
    logBadRecord(in, e);
    failf(-99,
          "Error reading 'alldata' file with more than two layers. The file must be made with version 353 or later\n\n");
  }
  for (double& p : r.planes) p = in.d();
  storePoint(in, i, j, r);
  if (r.bed <= 0) return;
  const int top = in.i();
  in.end();
  if (top < 0 || top > NoBedLayers)
    in.refuse("bed cell %d has the top layer %d, outside 0..%d", r.bed, top, NoBedLayers);
  BlayerTop[r.bed] = top;
  for (int layer = top; layer >= 0; --layer) {
    if (!in.record(lnumber + 1, "bed layer %lld of bed cell %lld", layer, r.bed))
      in.refuse("the file ends before bed layer %d of grid point (%d,%d)", layer, i, j);
    readLayer(in, layer, r.bed);
    in.end();
    rescaleLayer(layer, r.bed);
  }
  removeZerolayers(r.bed);
}

void readStatistics(RecordReader& in) {
  eachPoint(NoBlocks0, [&in](int, int) {
    if (!in.record(3, "a statistics line")) in.refuse("the file ends before the statistics are complete");
    const int i = in.i(), j = in.i();
    const double value = in.d();
    in.end();
    if (i < 0 || i > xnumber + 1 || j < 0 || j > ynumber + 1)
      in.refuse("the statistics of grid point (%d,%d) lie outside the G 1 grid", i, j);
    Surfaces[5][i][j] = 0.001 * value;
  });
}

void readFile(RecordReader& in) {
  const int version = readHeader(in);
  checkCounts(in);
  readSecondLine(in);
  readPoints(in);
  readCells(in);
  readSurfaces(in);
  readBlocks(in);
  readGroups(in);
  eachPoint(NoBlocks0, [&in](int i, int j) {
    if (NoBedLayers == 2) readTwoLayerPoint(in, i, j);
    else readLayeredPoint(in, i, j);
  });
  readNesting(in, 3);
  if (version == 4) readStatistics(in);
}

}  // namespace

void WriteAllData() {
  const Counts n{NoCells0, NoSurfaces0, NoBlocks0, NoConnect0, NoConnFlate0, NoNestflater, NoPoints};
  requireTables("alldata", n);
  requireBedTables(n);

  const int version = FlagMorphStatistics == 1 ? 4 : 3;
  const std::string name = nextAllDataName();
  OutFile f(name);
  if (!f.ok()) failWrite(name, f.reason().c_str(), -4);
  std::FILE* out = f.get();
  std::fprintf(out, "%d %d %d %d %d %d %d %d\n", version, n.cells, n.surfaces, n.blocks, n.connect,
               n.connFlate, n.nests, n.points);
  std::fprintf(out, "%d %d %lf\n", lnumber, NoBedLayers, stimet);
  writePoints(out, n.points);
  writeCells(out, n.cells);
  writeSurfaces(out, n.surfaces);
  writeLinks(out, n);
  writeGridPoints(out, n.blocks);
  writeNesting(out, n.nests);
  if (version == 4)
    eachPoint(n.blocks, [out](int i, int j) {
      std::fprintf(out, "%d %d %lf\n", i, j, 1000.0 * Surfaces[5][i][j]);
    });
  f.commitOrEnd(-4);
  mc_message = strf("have written '%s' file ", name.c_str());
}

int ReadAllData() {
  if (!Cflatee || !Cpoint1 || !Fpoint1 || !Px)
    failf(1, "Error, the unstructured arrays do not exist, can not read alldata file\n");
  if (!structuredFits(FlagMorphStatistics != 0) || !stateFits())
    failf(1, "Error, the grid, flow or bed-layer arrays of the control file do not exist, can not read alldata file\n");

  {
    RecordReader in("alldata");
    if (!in.ok()) failf(1, "Error, have not been able to open alldata file\n");
    try {
      readFile(in);
    } catch (const BadRecord& e) {
      logBadRecord(in, e);
      // The input-error status, so that a batch script can tell it from a normal end.
      endRun(-1);
    }
  }

  // The control file's discharges (m3/s) and boundary types win over the stored ones.
  for (int g = 1; g <= 9; ++g) {
    DischargeGroup& d = DischargeStruct[g];
    if (discharges[g] > 0) d.massDischarge = 1000.0 * discharges[g];
    if (updates[g] >= 0) d.bcType = updates[g];
  }
  FlagReadAlldata = 1;
  mc_message = "have read 'alldata' file ";

  // The whole grid is the working range, as after a generation.
  WCStart = 1;
  WCEnd = NoCells;
  WFStart = 1;
  WFEnd = NoSurfaces;
  FlagHaveDoneMetric = 0;
  if (FlagNewGrid == 2 && Unstructure() < 0) endRun(1);  // the generator has logged why
  metric();
  ArmapMake();
  SetiPresjPres();
  readBedrough();
  if (FlagBedAngles > 0) readBedangle();
  BedMake();
  if (NoBlocks >= 1) waterflow(block[1].surfstart, block[1].surfend);
  FlagInitialized = 1;
  FlagInitialFinished = 1;
  return 0;
}

}  // namespace qorva
