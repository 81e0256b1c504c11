// Reading a stored grid: the grid file unstruc (versions 0 to 4), the point levels of
// koordina, the non-erodible levels of koomink or koomin, and the bed roughness of bedrough;
// then the derived grid data are rebuilt (metrics, groups, bed cells, plan areas).
// Writes the grid arrays, the blocks, conn, connFlate, the discharge groups, the nesting
// arrays, xval, yval, zval, Surfaces planes 0, 3 and 5, roughness, XksWall and the counts.
#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "discretisation/discretisation.h"
#include "files/files.h"
#include "files/grid_sections.h"
#include "grid/grid.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/nests.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "surface/surface.h"

namespace qorva {

namespace gridfile {

void logBadRecord(const RecordReader& in, const BadRecord& e) {
  logf("Error in '%s' file, %s\n", in.name().c_str(), e.text.c_str());
}

void requireRef(const RecordReader& in, const char* owner, int n, const char* what, int value, int count) {
  if (value < 0 || value > count)
    in.refuse("%s %d refers to %s %d, outside 0..%d", owner, n, what, value, count);
}

void readPoints(RecordReader& in) {
  for (int p = 1; p <= NoPoints; ++p) {
    if (!in.record(3, "point %lld", p)) in.refuse("the file ends before point %d", p);
    Px[p] = in.d();
    Py[p] = in.d();
    Pz[p] = in.d();
    in.end();
  }
}

void readCellTopology(RecordReader& in, int c) {
  if (!in.record(20, "cell %lld", c)) in.refuse("the file ends before cell %d", c);
  int v[20];
  for (int& x : v) x = in.i();
  in.end();
  for (int k = 0; k < 8; ++k) requireRef(in, "cell", c, "point", v[k], NoPoints);
  for (int k = 8; k < 14; ++k) requireRef(in, "cell", c, "surface", v[k], NoSurfaces);
  for (int k = 14; k < 20; ++k) requireRef(in, "cell", c, "cell", v[k], NoCells);
  Table1<int>* to[20] = {&Cpoint1, &Cpoint2, &Cpoint3, &Cpoint4, &Cpoint5, &Cpoint6, &Cpoint7,
                         &Cpoint8, &Cflates, &Cflatee, &Cflaten, &Cflatew, &Cflateb, &Cflatet,
                         &Ccells,  &Ccelle,  &Ccelln,  &Ccellw,  &Ccellb,  &Ccellt};
  for (int k = 0; k < 20; ++k) (*to[k])[c] = v[k];
}

void readSurfaces(RecordReader& in) {
  for (int s = 1; s <= NoSurfaces; ++s) {
    if (!in.record(6, "surface %lld", s)) in.refuse("the file ends before surface %d", s);
    int v[6];
    for (int& x : v) x = in.i();
    in.end();
    for (int k = 0; k < 4; ++k) requireRef(in, "surface", s, "point", v[k], NoPoints);
    for (int k = 4; k < 6; ++k) requireRef(in, "surface", s, "cell", v[k], NoCells);
    Fpoint1[s] = v[0];
    Fpoint2[s] = v[1];
    Fpoint3[s] = v[2];
    Fpoint4[s] = v[3];
    Fcell1[s] = v[4];
    Fcell2[s] = v[5];
  }
}

void scanBlock(RecordReader& in, int b) {
  GridBlock& k = block[b];
  if (!in.record(19, "block %lld", b)) in.refuse("the file ends before block %d", b);
  int* const ints[17] = {&k.i1,       &k.i2,      &k.j1,        &k.j2,      &k.nestlevel, &k.bedfollow,
                         &k.boxcells, &k.aux2,    &k.aux3,      &k.aux4,    &k.cellstart, &k.cellend,
                         &k.surfstart, &k.surfend, &k.pointstart, &k.pointend, &k.flag2D};
  for (int* v : ints) *v = in.i();
  k.boxheight = in.d();
  k.boxtop = in.d();
  in.end();
}

void checkBlock(const RecordReader& in, int b) {
  const GridBlock& k = block[b];
  // Grid line i1-1 (j1-1) is the block's first line: it must exist.
  if (k.i1 < 1 || k.j1 < 1) in.refuse("block %d starts at column (%d,%d); columns start at 1", b, k.i1, k.j1);
  // A block without cells starts one above its end.
  const struct {
    const char* what;
    int first, last, count;
  } ranges[] = {{"cells", k.cellstart, k.cellend, NoCells},
                {"surfaces", k.surfstart, k.surfend, NoSurfaces},
                {"points", k.pointstart, k.pointend, NoPoints}};
  for (const auto& r : ranges)
    if (r.first < 0 || r.last < 0 || r.first > r.count + 1LL || r.last > r.count)
      in.refuse("block %d holds the %s %d to %d of a grid of %d", b, r.what, r.first, r.last, r.count);
}

void readConnections(RecordReader& in) {
  for (int c = 0; c < NoConnect; ++c) {
    BlockConnection& k = conn[c];
    if (!in.record(4, "block connection %lld", c)) in.refuse("the file ends before block connection %d", c);
    k.i1 = in.i();
    k.i2 = in.i();
    k.j1 = in.i();
    k.j2 = in.i();
    in.end();
    if (k.i1 < 0 || k.i2 < 0 || k.j1 < 0 || k.j2 < 0 || k.i1 > xnumber + 1LL || k.i2 > xnumber + 1LL ||
        k.j1 > ynumber + 1LL || k.j2 > ynumber + 1LL)
      in.refuse("block connection %d joins the grid points (%d,%d) and (%d,%d), outside the G 1 grid", c,
                k.i1, k.j1, k.i2, k.j2);
  }
  for (int n = 1; n <= NoConnFlate; ++n) {
    if (!in.record(2, "block joint pair %lld", n)) in.refuse("the file ends before block joint pair %d", n);
    const int a = in.i(), b = in.i();
    in.end();
    for (int s : {a, b})
      if (s < 1 || s > NoSurfaces)
        in.refuse("block joint pair %d refers to surface %d, outside 1..%d", n, s, NoSurfaces);
    connFlate[n][0] = a;
    connFlate[n][1] = b;
  }
}

void readGroupLine(RecordReader& in, int g, int version) {
  DischargeGroup& d = DischargeStruct[g];
  if (!in.record(version == 0 ? 8 : 9, "discharge group %lld", g))
    in.refuse("the file ends before discharge group %d", g);
  d.inflowFlag = in.i();
  d.bcType = in.i();
  d.componentNo = in.i();
  d.lowLevel = in.i();
  d.topLevel = in.i();
  d.surfaceNo = in.i();
  d.xyNo = version == 0 ? 0 : in.i();
  d.massDischarge = in.d();
  d.inflowConc = in.d();
  in.end();
  if (d.surfaceNo < 0 || d.surfaceNo > static_cast<int>(d.surfaceList.size()))
    in.refuse("discharge group %d has %d surfaces, at most %d can be used", g, d.surfaceNo,
              static_cast<int>(d.surfaceList.size()));
  if (d.xyNo < 0 || d.xyNo > static_cast<int>(d.x.size()))
    in.refuse("discharge group %d has %d x-y points, at most %d can be used", g, d.xyNo,
              static_cast<int>(d.x.size()));
}

void readGroupLists(RecordReader& in, int g, bool keepShortList) {
  DischargeGroup& d = DischargeStruct[g];
  // Lists run from index 0, as the writer writes them; an empty list is an empty line.
  if (d.surfaceNo > 0) {
    if (!in.record(d.surfaceNo, "the surface list of discharge group %lld", g))
      in.refuse("the file ends before the surface list of discharge group %d", g);
    for (int s = 0; s < d.surfaceNo; ++s) {
      int v = 0;
      if (keepShortList && !in.tryInt(v)) {
        logf("Warning: the '%s' file lists %d of the %d surfaces of discharge group %d on line %lld; "
             "the group keeps those\n",
             in.name().c_str(), s, d.surfaceNo, g, in.line());
        d.surfaceNo = s;
        in.skipLine();
        break;
      }
      if (!keepShortList) v = in.i();
      requireRef(in, "discharge group", g, "surface", v, NoSurfaces);
      d.surfaceList[s] = v;
    }
    in.end();
  }
  for (int p = 0; p < d.xyNo; ++p) {
    if (!in.record(2, "x-y point %lld of discharge group %lld", p, g))
      in.refuse("the file ends before the x-y points of discharge group %d", g);
    d.x[p] = in.d();
    d.y[p] = in.d();
    in.end();
  }
}

void readSurfaceGroups(RecordReader& in) {
  for (int g = 0; g < 10; ++g) {
    SurfaceDischargeGroup& s = SurfDischargeStruct[g];
    if (!in.record(-1, "surface discharge group %lld", g))
      in.refuse("the file ends before surface discharge group %d", g);
    s.id = in.i();
    s.count = in.i();
    s.load = in.d();
    if (s.count < 0 || s.count > static_cast<int>(s.cells.size()))
      in.refuse("surface discharge group %d has %d cells, at most %d can be used", g, s.count,
                static_cast<int>(s.cells.size()));
    for (int e = 0; e < s.count; ++e) {
      s.cells[e] = in.i();
      requireRef(in, "surface discharge group", g, "cell", s.cells[e], NoCells);
    }
    in.end();
  }
}

void readNesting(RecordReader& in, int version) {
  for (int n = 1; n <= NoNestflater; ++n) {
    // The version-4 writer leaves the nesting records out; the grid is regenerated anyway.
    if (!in.record(5, "nesting record %lld", n)) {
      if (version == 4 && n == 1) return;
      in.refuse("the file ends before nesting record %d", n);
    }
    const int wall = in.i(), surface = in.i(), cell = in.i(), blk = in.i();
    const double flux = in.d();
    in.end();
    requireRef(in, "nesting record", n, "surface", surface, NoSurfaces);
    requireRef(in, "nesting record", n, "cell", cell, NoCells);
    requireRef(in, "nesting record", n, "block", blk, NoBlocks);
    Ninoutwall[n] = wall;
    Npflate[n] = surface;
    Npcelle[n] = cell;
    Npblock[n] = blk;
    Nflux[n] = flux;
    for (int k = 0; k < 4; ++k) {
      if (!in.record(5, "interpolation line %lld of nesting record %lld", k, n))
        in.refuse("the file ends before the interpolation lines of nesting record %d", n);
      const int c = in.i();
      Nweight[n][k] = in.d();
      for (int x = 0; x < 3; ++x) Nvect[n][k][x] = in.d();
      in.end();
      requireRef(in, "nesting record", n, "cell", c, NoCells);
      Ncell[n][k] = c;
    }
  }
}

}  // namespace gridfile

using namespace gridfile;

namespace {

// Results of ReadUnstructure that the task driver reports.
constexpr int kAllocationFailed = -1;
constexpr int kBadGridFile = -2;  // missing or damaged: "Error reading unstruc file"
constexpr int kJTooLarge = -54;
constexpr int kITooLarge = -55;
constexpr int kLevelPointOffGrid = -58;

long long lastSlot(std::size_t size) { return static_cast<long long>(size) - 1; }

bool structuredFits() {
  const bool planes = Surfaces && Surfaces.dim(0) > 3 &&
                      static_cast<long long>(Surfaces.dim(1)) >= xnumber + 2LL &&
                      static_cast<long long>(Surfaces.dim(2)) >= ynumber + 2LL;
  return planes && xval && yval && zval && znumber >= 1 && xnumber >= 1 && ynumber >= 1 &&
         static_cast<long long>(xval.dim(0)) >= xnumber + 2LL &&
         static_cast<long long>(xval.dim(1)) >= ynumber + 2LL &&
         static_cast<long long>(yval.dim(0)) >= xnumber + 2LL &&
         static_cast<long long>(yval.dim(1)) >= ynumber + 2LL &&
         static_cast<long long>(zval.dim(0)) >= xnumber + 2LL &&
         static_cast<long long>(zval.dim(1)) >= ynumber + 2LL &&
         static_cast<long long>(zval.dim(2)) >= znumber + 2LL;
}

// Plan extent of the grid points read with the columns; the koomink tolerance scales with it.
struct Extent {
  double xmin = 1e30, xmax = -1e30, ymin = 1e30, ymax = -1e30;
  void add(double x, double y) {
    xmin = std::min(xmin, x);
    xmax = std::max(xmax, x);
    ymin = std::min(ymin, y);
    ymax = std::max(ymax, y);
  }
  double width() const { return xmax < xmin ? 0.0 : std::max(xmax - xmin, ymax - ymin); }
};

// Name of a file that block-division runs number, unless task A runs in the same walk.
std::string divisionName(const char* plain, const char* divided) {
  return FlagMPI != 0 && FlagMPIkoosurf != 1 ? strf(divided, FlagMPI) : std::string(plain);
}

// ---- unstruc sections ------------------------------------------------------------------------

// The first line; returns the version (0 for the old header without one). What follows the
// counts on the line is not read.
int readHeader(RecordReader& in) {
  if (!in.record(-1, "the header")) in.refuse("the file is empty");
  int first[7];
  for (int& v : first) v = in.i();
  int version = 0;
  NoPoints = first[0];
  if (first[0] <= 10) {
    version = first[0];
    if (version < 1 || version > 4) in.refuse("unknown version %d on the first line", version);
    NoPoints = in.i();
  }
  NoCells = first[1];
  NoSurfaces = first[2];
  NoBlocks = first[3];
  NoConnect = first[4];
  NoConnFlate = first[5];
  NoNestflater = first[6];
  int fileX = 0, fileY = 0;
  if (version == 2) {
    fileX = in.i();
    fileY = in.i();
  }
  in.skipLine();

  NoBlocks0 = NoBlocks;
  NoCells0 = NoCells;
  NoSurfaces0 = NoSurfaces;
  NoConnect0 = NoConnect;
  NoConnFlate0 = NoConnFlate;
  FlagReadUnstruc = version;

  if (FlagThixo >= 0 && WorkBlockNo > NoBlocks + (FlagThixo > 0 ? 1 : 0))
    failf(1, "Error on first integer on G 25 data set in control file\n");
  if (version == 2 && (fileX != xnumber || fileY != ynumber)) {
    logf("Error: The two first integers on the G 1 data set in the control file\n");
    failf(1, "must be the same as when the unstruc file was created (G 1 %d %d ..).\n", fileX, fileY);
  }
  return version;
}

// Every count must fit its table; entry 0 of each table is the empty slot.
void checkCounts(const RecordReader& in) {
  if (NoCells < 0)
    failf(-1, "Error in reading unstruc file. Have only read %d cells, while supposed to read %d cells\n",
          0, NoCells);
  const struct {
    const char* what;
    int n;
  } counts[] = {{"points", NoPoints},   {"surfaces", NoSurfaces},         {"blocks", NoBlocks},
                {"block connections", NoConnect}, {"block joint pairs", NoConnFlate},
                {"nesting surfaces", NoNestflater}};
  for (const auto& c : counts)
    if (c.n < 0) in.refuse("the first line gives %d %s", c.n, c.what);
  requireReadTables(in, " Error reading unstruc file - arrays ", "'" + in.name() + "'");
}

// Returns 0, or the result -54 or -55 for a block that reaches the last grid line.
int readBlocks(RecordReader& in) {
  for (int b = 1; b <= NoBlocks; ++b) {
    scanBlock(in, b);
    GridBlock& k = block[b];
    if (k.i2 > 2) k.inwork = 1;
    if (k.j2 >= ynumber) return kJTooLarge;
    if (k.i2 >= xnumber) return kITooLarge;
    checkBlock(in, b);
  }
  readConnections(in);
  return 0;
}

void readGroups(RecordReader& in, int version) {
  for (int g = 1; g <= 9; ++g) {
    readGroupLine(in, g, version);
    DischargeGroup& d = DischargeStruct[g];
    if (d.topLevel < znumber && FlagInOutLevels == 1) {
      d.topLevel = znumber;
    } else if (d.topLevel <= znumber && d.massDischarge > 1e-20) {
      logf("Warning, low value on TO integer in dialog box for discharge group %d\n", g);
      if (version == 0) {
        logf("Advice: if you are not sure what you are doing: increase number to at least %d,\n", znumber + 2);
        logf("Regenerate the discharge groups and make a new unstruc file\n\n");
      } else {
        logf("Advice: if you are not sure what you are doing: increase number to at least %d \n", znumber + 2);
      }
    }
    readGroupLists(in, g, false);
  }
  readSurfaceGroups(in);
}

void setBottomCell(int i, int j, int c) { zval[i][j][0] = c; }

// Grid point (i, j) takes plan position and bed level from point p.
void bedCorner(int i, int j, int p) {
  xval[i][j] = Px[p];
  yval[i][j] = Py[p];
  zval[i][j][1] = Pz[p];
  Surfaces[0][i][j] = Pz[p];
}

void waterCorner(int i, int j, int p) {
  zval[i][j][znumber] = Pz[p];
  zval[i][j][znumber + 1] = Pz[p];
}

// The corner lines of column (i, j) from its bottom cell c and the top cell of its column.
void cornersFromCells(const RecordReader& in, int i, int j, int c, Extent& extent) {
  bedCorner(i - 1, j - 1, Cpoint1[c]);
  bedCorner(i, j - 1, Cpoint2[c]);
  bedCorner(i, j, Cpoint3[c]);
  bedCorner(i - 1, j, Cpoint4[c]);
  int top = c;
  for (int n = 0; Ccellt[top] > 0; ++n) {
    if (n >= NoCells) in.refuse("the cells above cell %d of column (%d,%d) do not end", c, i, j);
    top = Ccellt[top];
  }
  waterCorner(i - 1, j - 1, Cpoint5[top]);
  waterCorner(i, j - 1, Cpoint6[top]);
  waterCorner(i, j, Cpoint7[top]);
  waterCorner(i - 1, j, Cpoint8[top]);
  extent.add(xval[i][j], yval[i][j]);
}

// Versions 0 to 2: the bottom cell of every column, one row per i line; a row may end early
// (its last value and the columns after it have no cells), and the matrix may end with the
// file (the rows after it have none).
void readBottomMatrix(RecordReader& in, Extent& extent) {
  const auto clearFrom = [](int i0, int j0) {
    for (int i = i0; i <= xnumber + 1; ++i)
      for (int j = i == i0 ? j0 : 1; j <= ynumber + 1; ++j) setBottomCell(i, j, 0);
  };
  for (int i = 1; i <= xnumber + 1; ++i) {
    if (!in.record(ynumber + 1, "row %lld of the bottom-cell matrix", i)) {
      clearFrom(i, 1);
      return;
    }
    for (int j = 1; j <= ynumber + 1; ++j) {
      const int c = in.i();
      if (c < 0 || c > NoCells)
        in.refuse("column (%d,%d) has the bottom cell %d, outside 0..%d", i, j, c, NoCells);
      setBottomCell(i, j, c);
      if (c > 0) cornersFromCells(in, i, j, c, extent);
      if (in.more()) continue;
      if (in.lastLineOpen()) {  // the file ends right after this value
        clearFrom(i, j + 1);
        return;
      }
      // A short row: its last value and the columns after it have no cells.
      if (j <= ynumber)
        for (int k = j; k <= ynumber + 1; ++k) setBottomCell(i, k, 0);
      break;
    }
    in.end();
  }
}

// Versions 3 and 4: one record per grid line of each block; the extent is that of the last
// block read.
void readColumnRecords(RecordReader& in, Extent& extent) {
  for (int b = 1; b <= NoBlocks0; ++b) {
    extent = Extent{};
    const GridBlock& k = block[b];
    for (int i = k.i1 - 1; i <= k.i2; ++i)
      for (int j = k.j1 - 1; j <= k.j2; ++j) {
        if (!in.record(5, "the column record of grid line (%lld,%lld)", i, j))
          in.refuse("the file ends before the column record of grid line (%d,%d) of block %d", i, j, b);
        const int c = in.i();
        const double bed = in.d(), water = in.d(), x = in.d(), y = in.d();
        in.end();
        if (c < 0 || c > NoCells)
          in.refuse("grid line (%d,%d) has the bottom cell %d, outside 0..%d", i, j, c, NoCells);
        setBottomCell(i, j, c);
        zval[i][j][1] = bed;
        Surfaces[0][i][j] = bed;
        zval[i][j][znumber] = water;
        zval[i][j][znumber + 1] = water;
        xval[i][j] = x;
        yval[i][j] = y;
        extent.add(x, y);
      }
  }
}

// ---- after the grid file -----------------------------------------------------------------------

void applyControlOverrides() {
  for (int g = 1; g <= 9; ++g) {
    DischargeGroup& d = DischargeStruct[g];
    if (discharges[g] > 0) d.massDischarge = 1000.0 * discharges[g];
    if (updates[g] >= 0) d.bcType = updates[g];
  }
  if (FlagOutflow >= 1 && FlagOutflow <= 9) DischargeStruct[FlagOutflow].inflowFlag = 1;
}

// Marks the columns of the G 13 regions; returns how many marks were made.
int markRemovedRegions() {
  int marked = 0;
  for (int n = 1; n <= OutBlockNo && n < static_cast<int>(OutBlock.size()); ++n) {
    const RemovedRegion& o = OutBlock[n];
    for (int i = std::max(o.i1, 0); i <= std::min(o.i2, xnumber + 1); ++i)
      for (int j = std::max(o.j1, 0); j <= std::min(o.j2, ynumber + 1); ++j) {
        bedOutBlock[i][j] = 1;
        ++marked;
      }
  }
  return marked;
}

bool noCells(int i, int j) { return static_cast<int>(zval[i][j][0]) == 0; }

// Grid points that no column covers are moved to the mean of their four neighbours, so the
// grid stays smooth where the file gave them no position.
void smoothUncovered(int passes) {
  for (int pass = 0; pass < passes; ++pass)
    for (int b = 1; b <= NoBlocks; ++b) {
      const GridBlock& k = block[b];
      for (int i = k.i1 + 1; i <= k.i2 - 1; ++i)
        for (int j = k.j1 + 1; j <= k.j2 - 1; ++j)
          if (noCells(i, j) && noCells(i + 1, j) && noCells(i, j + 1) && noCells(i + 1, j + 1)) {
            xval[i][j] = 0.25 * (xval[i - 1][j] + xval[i + 1][j] + xval[i][j - 1] + xval[i][j + 1]);
            yval[i][j] = 0.25 * (yval[i - 1][j] + yval[i + 1][j] + yval[i][j - 1] + yval[i][j + 1]);
          }
    }
}

void reportGroups() {
  for (int g = 1; g <= 9; ++g) {
    const DischargeGroup& d = DischargeStruct[g];
    if (d.massDischarge <= 1e-20) continue;
    logf("In ReadUnstructure:\n");
    logf("Group %d, surfaces %d, xyno %d, discharge %lf l/s", g, d.surfaceNo, d.xyNo, d.massDischarge);
    if (d.bcType == 0) logf(" Dirichlet boundary condition");
    else if (d.bcType == 1) logf(" zero gradient boundary condition");
    logf("\n");
  }
}

// The point records of a level file, one a line, at most 5 x xnumber x ynumber of them; a
// record that cannot be read ends the run with `status`. `read` takes one record.
template <class Read>
void readPointRecords(RecordReader& in, int values, int status, Read read) {
  try {
    const long long limit = 5LL * xnumber * ynumber;
    for (long long r = 1; r <= limit && in.record(values, "point record %lld", r); ++r) read(r);
  } catch (const BadRecord& e) {
    logBadRecord(in, e);
    endRun(status);
  }
}

// koordina: new positions and levels of grid points.
void overlayKoordina() {
  RecordReader in(divisionName("koordina", "koordina.mpi%d"));
  if (!in.ok()) {
    mc_message = strf("have not used %s file ", in.name().c_str());
    return;
  }
  readPointRecords(in, 6, 1, [&in](long long r) {
    const int i = in.i(), j = in.i();
    const double x = in.d(), y = in.d(), bed = in.d(), water = in.d();
    in.end();
    if (i < 0 || j < 0)
      in.refuse("point record %lld gives the grid point (%d,%d); grid indexes start at 0", r, i, j);
    if (i > xnumber + 1 || j > ynumber + 1) return;
    xval[i][j] = x;
    yval[i][j] = y;
    zval[i][j][1] = bed;
    Surfaces[0][i][j] = bed;
    zval[i][j][znumber] = water;
    zval[i][j][znumber + 1] = water;
  });
  if (FlagNewGrid == 0) {
    logf("\n\nWarning: if you start a computation with a new water level given in the koordina file,\n");
    logf("you should specify an F 112 1 option in the control file. Otherwise, the metric is not\n");
    logf("correct initially.\n\n\n");
  }
  if (FlagNestTop == 3 || FlagNestTop == 5) interpolateSurfaceNested();
}

// Block divisions after the first keep the two first grid lines of block 1 fixed: they are
// the overlap with the division before.
void fixOverlapColumns() {
  if (FlagMPI < 2 || NoBlocks < 1) return;
  const GridBlock& k = block[1];
  const int last = static_cast<int>(iFast.size()) - 1;
  for (int i = k.i1 - 1; i <= k.i1; ++i)
    for (int j = k.j1; j <= k.j2 + 1; ++j) {
      bool listed = false;
      for (int n = 1; n <= FastNo && !listed; ++n) listed = iFast[n] == i && jFast[n] == j;
      if (listed) continue;
      if (FastNo >= last) failf(1, "Error, too many W 6 data sets: the fixed grid points of the block division exceed %d\n", last);
      ++FastNo;
      iFast[FastNo] = i;
      jFast[FastNo] = j;
    }
}

// Non-erodible level of grid point (i, j): never above the bed unless F 249 allows it.
void setNonErodible(int i, int j, double level, const char* file) {
  if (level > zval[i][j][1]) {
    logf("Warning, %s levels above koordina levels at grid line intersection (%d,%d).\n", file, i, j);
    if (FlagAllowNegatveSedimentthickness == 0) {
      logf("Lowering %s level from %lf m. to %lf m. at this point.\n", file, level, zval[i][j][1]);
      level = zval[i][j][1];
    }
  }
  Surfaces[3][i][j] = level;
  if (FlagThixo > 0) Surfaces[5][i][j] = level + 0.1;
}

// A level file record must name a grid point of the blocks: lines 0..xnumber-1, 0..ynumber-1
// (the lines that koomin.bed writes included).
void requireLevelPoint(const char* file, int i, int j) {
  if (i < 0 || j < 0) {
    logf("Error reading %s file.\n", file);
    failf(-1, "One of the indexes (%d,%d) in the %s file is negative\n\n", i, j, file);
  }
  if (i > xnumber - 1 || j > ynumber - 1) {
    logf("Error reading %s file.\n", file);
    logf("One of the indexes (%d,%d) in the %s file is larger\n", i, j, file);
    failf(-1, "than the G 1 data set values in the control file\n\n");
  }
}

bool offGrid(const char* file, int i, int j, double x, double y, double tolerance) {
  if (std::fabs(x - xval[i][j]) <= tolerance && std::fabs(y - yval[i][j]) <= tolerance) return false;
  logf("Error in %s file for point (%d,%d)\n", file, i, j);
  logf("X-values: grid: %lf, koomin: %lf\n", xval[i][j], x);
  logf("Y-values: grid: %lf, koomin: %lf\n", yval[i][j], y);
  return true;
}

// Reads the levels of an open koomink (six values a record) or koomin (five); 0, or -58 for
// a point off the grid.
int readLevelFile(RecordReader& in, const char* file, bool six, double tolerance, bool testXY) {
  bool off = false;
  readPointRecords(in, six ? 6 : 5, -1, [&](long long) {
    if (off) return;
    const int i = in.i(), j = in.i();
    const double x = in.d(), y = in.d(), level = in.d();
    if (six) in.d();
    in.end();
    requireLevelPoint(file, i, j);
    if (testXY && offGrid(file, i, j, x, y, tolerance)) {
      off = true;
      return;
    }
    setNonErodible(i, j, level, file);
  });
  return off ? kLevelPointOffGrid : 0;
}

// No level file: the non-erodible level follows from the options of F 41, F 42, F 375, F 450.
void defaultNonErodible(const std::string& minName) {
  mc_message = strf("Have not used %s file", minName.c_str());
  const auto bed = [](int i, int j) { return zval[i][j][1]; };
  if (FlagMinBedLev == 375) {
    if (NoBlocks >= 1) {
      // A horizontal length of the grid: the diagonal of a square on the first two grid lines
      // at the middle of the grid.
      const int jm = ynumber / 2;
      const double dx = xval[2][jm] - xval[1][jm];
      const double length = std::sqrt(2.0 * dx * dx);
      const GridBlock& k = block[1];
      for (int i = k.i1 - 1; i <= k.i2; ++i)
        for (int j = k.j1 - 1; j <= k.j2; ++j) {
          const int lines = std::min(j - (k.j1 - 1), k.j2 - j);
          Surfaces[3][i][j] = bed(i, j) - std::min(lines * 0.2 * length, MaxDepthScour);
        }
    }
  } else {
    for (int i = 1; i <= xnumber; ++i)
      for (int j = 1; j <= ynumber; ++j)
        Surfaces[3][i][j] = FlagMinBedLev == 41   ? bed(i, j) - MaxDepthScour
                            : FlagMinBedLev == 42 ? MinLevScour
                                                  : bed(i, j) - 10.0;
  }
  for (int i = 1; i <= xnumber; ++i)
    for (int j = 1; j <= ynumber; ++j) {
      if (FlagGroyneArmour == 1) {
        const double d = zval[i][j][znumber] - bed(i, j) - GroyneArmour;
        Surfaces[3][i][j] = bed(i, j) - std::clamp(d, 0.0, std::max(MaxDepthScour, 0.0));
      }
      if (FlagThixo > 0) Surfaces[5][i][j] = std::max(Surfaces[3][i][j], 0.1);
    }
}

// Non-erodible levels from koomink, else koomin, else the defaults; 0 or -58.
int nonErodibleLevels(const Extent& extent) {
  if (FlagThixo > 0 && Surfaces.dim(0) <= 5)
    failf(1, "Error: the level planes of the mud model do not exist\n");
  {
    RecordReader in("koomink");
    if (in.ok()) return readLevelFile(in, "koomink", true, 1e-5 * extent.width(), true);
  }
  RecordReader in(divisionName("koomin", "koomin.mpi%d"));
  if (in.ok()) return readLevelFile(in, "koomin", false, 0.01, FlagErrorKoomin == 0);
  defaultNonErodible(in.name());
  return 0;
}

// The grid file itself; 0, -54 or -55. Ends the run on counts beyond the arrays and on
// wrong G 1 or G 25 values; throws BadRecord on a damaged file.
int readGridFile(RecordReader& in, int& version, Extent& extent) {
  version = readHeader(in);
  checkCounts(in);
  if (version != 4) {
    readPoints(in);
    for (int c = 1; c <= NoCells; ++c) readCellTopology(in, c);
    readSurfaces(in);
  }
  const int blocks = readBlocks(in);
  if (blocks != 0) return blocks;
  readGroups(in, version);
  if (version <= 2) readBottomMatrix(in, extent);
  else readColumnRecords(in, extent);
  readNesting(in, version);
  return 0;
}

}  // namespace

namespace gridfile {

void requireReadTables(const RecordReader& in, const char* mcMessage, const std::string& fileLabel) {
  if (NoBlocks > lastSlot(block.size()))
    in.refuse("%d blocks, at most %lld can be used", NoBlocks, lastSlot(block.size()));
  if (NoConnect > static_cast<int>(conn.size()))
    in.refuse("%d block connections, at most %d can be used", NoConnect, static_cast<int>(conn.size()));

  const auto fits = [](int n, bool allocated, std::size_t size) {
    return n == 0 || (allocated && n <= lastSlot(size));
  };
  if (!fits(NoPoints, static_cast<bool>(Px), Px.size()) ||
      !fits(NoCells, static_cast<bool>(Cpoint1), Cpoint1.size()) ||
      !fits(NoSurfaces, static_cast<bool>(Fpoint1), Fpoint1.size()) ||
      !fits(NoConnFlate, static_cast<bool>(connFlate), connFlate ? connFlate.dim(0) : 0) ||
      !fits(NoNestflater, static_cast<bool>(Npflate), Npflate.size())) {
    mc_message = mcMessage;
    logf("Error reading the %s file: the allocated arrays are smaller than the \n", fileLabel.c_str());
    logf("data in the file. Increase the values on the F 65 data set in the control\n");
    failf(-5, "file and try again\n\n");
  }
}

}  // namespace gridfile

void readBedrough() {
  if (XksWall < 0) XksWall = std::pow(26.0 / ManningInit, 6.0);
  XksWall = std::max(XksWall, 1e-5);
  if (roughness)
    for (int i = 2; i <= xnumber && i < static_cast<int>(roughness.dim(0)); ++i)
      for (int j = 2; j <= ynumber && j < static_cast<int>(roughness.dim(1)); ++j) roughness[i][j] = XksWall;

  RecordReader in(divisionName("bedrough", "bedrough.mpi%d"));
  if (!in.ok()) {
    mc_message = strf("have not used %s file ", in.name().c_str());
    if (FlagRoughness == 1) failf(-5, "Error: bedrough file not found when using F 90 1\n\n");
    return;
  }
  int used = 0;
  // Records the grid has no column for, and columns given again, are not refused (a file made
  // for a larger grid still serves its part), but the user hears of them once each.
  long long offGrid = 0, again = 0, firstOff = 0, firstAgain = 0;
  std::vector<char> given;
  if (xnumber > 0 && ynumber > 0 && roughness) {
    given.assign(static_cast<std::size_t>(xnumber + 1) * (ynumber + 1), 0);
    readPointRecords(in, 4, -5, [&](long long) {
      if (in.word() != "B") in.refuse("a roughness record starts with the letter B");
      const int i = in.i(), j = in.i();
      const double ks = in.d();
      in.end();
      if (i < 1 || i > xnumber - 1 || j < 1 || j > ynumber - 1) {
        if (offGrid++ == 0) firstOff = in.line();
        return;
      }
      char& seen = given[static_cast<std::size_t>(i) * (ynumber + 1) + j];
      if (seen && again++ == 0) firstAgain = in.line();
      seen = 1;
      roughness[i][j] = ks;
      ++used;
    });
  }
  logf("Have read %d roughness points from bedrough file\n", used);
  if (offGrid > 0)
    logf("Warning: %lld records of %s name a column the grid does not have (the first on line "
         "%lld; columns 1..%d, 1..%d); they are not used\n",
         offGrid, in.name().c_str(), firstOff, xnumber - 1, ynumber - 1);
  if (again > 0)
    logf("Warning: %lld records of %s give a column a second time (the first on line %lld); the "
         "last value given holds\n",
         again, in.name().c_str(), firstAgain);
}

int ReadUnstructure() {
  if (!Cflatee && AllocateArrays(1, 1, 1) < -0.01) {
    logf("Error in allocation of arrays. The array size is probably\n");
    logf("larger than what is available of memory on your computer\n\n");
    mc_message = " Error in array allocation       ";
    return kAllocationFailed;
  }
  if (!structuredFits())
    failf(1, "Error, the grid arrays of the G 1 sizes do not exist, can not read unstruc file\n");

  int version = 0;
  Extent extent;
  {
    RecordReader in(divisionName("unstruc", "unstruc.mpi%d"));
    if (!in.ok()) {
      mc_message = strf("have not read '%s' file", in.name().c_str());
      logf("Error: can not open '%s' file\n", in.name().c_str());
      return kBadGridFile;
    }
    try {
      const int r = readGridFile(in, version, extent);
      if (r != 0) return r;
    } catch (const BadRecord& e) {
      logBadRecord(in, e);
      return kBadGridFile;
    }
  }

  applyControlOverrides();
  const int marked = markRemovedRegions();
  if (version <= 2) smoothUncovered(NoBlocks >= 2 ? std::max(marked, 10) : marked);

  // The whole grid is the working range, as after a generation.
  WCStart = 1;
  WCEnd = NoCells;
  WFStart = 1;
  WFEnd = NoSurfaces;
  FlagHaveDoneMetric = 0;
  if (version != 4) metric();
  mc_message = " Have read unstruc file       ";

  if ((FlagGenerateUpFlux > 0 || FlagGenerateDownFlux > 0) && DischargeStruct[1].surfaceNo <= 0) setFluxes();
  SetiPresjPres();
  reportGroups();
  overlayKoordina();
  fixOverlapColumns();
  if (const int r = nonErodibleLevels(extent); r != 0) return r;

  if (FlagOpenFOAMsurface == 1) {
    metric();
    OpenFOAM_MakeSurface();
  }
  readBedrough();
  ArmapMake();

  if (version == 4 || FlagNewGrid == 1) {
    if (NoBlocks >= 1) {
      const GridBlock& k = block[1];
      for (int i = k.i1 - 1; i <= k.i2; ++i)
        for (int j = k.j1 - 1; j <= k.j2; ++j) {
          if (FlagGeoScale != 0) {
            xval[i][j] *= geoScaleX;
            yval[i][j] *= geoScaleY;
          }
          if (FlagNewSurface != 0) zval[i][j][znumber] = zval[i][j][znumber + 1] = level;
        }
    }
    if (Unstructure() < 0) return kBadGridFile;
    metric();
  }

  BedMake();
  if (FlagThixo == 1) block[1].thixo = 1;
  if (FlagThixo == 2 && FlagGridStab1 == 1) block[2].aux1 = 0;
  if (NoCells > 100000) graph = 'Z';
  if (FlagTFS2 > 0 && Bdeltah)
    for (int b = 1; b <= NoBCells && b < static_cast<int>(Bdeltah.size()); ++b) Bdeltah[b] = 0;
  if (FlagBedAngles > 0) readBedangle();

  nestlevmax = 0;
  for (int b = 1; b <= NoBlocks; ++b) nestlevmax = std::max(nestlevmax, block[b].nestlevel);
  return 0;
}

}  // namespace qorva
