// The point files of the structured grid: koosurf read as a new block; block 1 written back as
// it is, refined, coarsened and divided along i for the block-division runs.
// Reads and writes xval, yval, zval (levels 1, znumber, znumber+1), Surfaces plane 3, pointbed,
// BSedDistrib layer 0, the block table, divisionMPI.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "files/files.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/log.h"
#include "state/options.h"
#include "state/safe_file.h"
#include "state/status.h"
#include "state/structured.h"

namespace qorva {

namespace {

// A guard against a file without an end; a koosurf with more records than this is refused
// rather than cut short.
constexpr int kMaxPointRecords = 10000000;

struct PointRecord {
  int i, j;
  double x, y, bed, water;
};

// True when xval, yval and zval hold every grid line i = 0..xnumber+1, j = 0..ynumber+1 and
// every level k = 0..znumber+1.
bool structuredArraysFit() {
  const auto fits = [](std::size_t have, long long need) {
    return need >= 0 && static_cast<long long>(have) >= need;
  };
  return xval && yval && zval && fits(xval.dim(0), xnumber + 2LL) &&
         fits(xval.dim(1), ynumber + 2LL) && fits(yval.dim(0), xnumber + 2LL) &&
         fits(yval.dim(1), ynumber + 2LL) && fits(zval.dim(0), xnumber + 2LL) &&
         fits(zval.dim(1), ynumber + 2LL) && fits(zval.dim(2), znumber + 2LL) && znumber >= 1;
}

bool lineInGrid(int i, int j) { return i >= 0 && i <= xnumber + 1 && j >= 0 && j <= ynumber + 1; }

// Reads every point record of koosurf, one record a line, and hands it to `use`. Blank lines
// are passed over. A line without six finite numbers ends the run: read as one stream, a record
// cut short would take its missing values from the next line and shift every record after it.
// Grid points start at line 1 (i1 - 1 of the new block).
template <class Use>
void scanKoosurf(Use use) {
  RecordReader in("koosurf");
  if (!in.ok()) failf(-4, "Error, can not open koosurf file\n");
  try {
    PointRecord r{};
    for (int records = 1; in.record(6, "the point record"); ++records) {
      if (records > kMaxPointRecords) in.refuse("more than %d point records", kMaxPointRecords);
      r.i = in.i();
      r.j = in.i();
      r.x = in.d();
      r.y = in.d();
      r.bed = in.d();
      r.water = in.d();
      in.end();
      if (r.i < 1 || r.j < 1) in.refuse("i = %d, j = %d, both must be at least 1", r.i, r.j);
      use(r);
    }
  } catch (const BadRecord& e) {
    failf(-4, "Error reading koosurf file, %s\n", e.text.c_str());
  }
}

void writePoint(std::FILE* f, int i, int j, double x, double y, double bed, double water) {
  std::fprintf(f, "%d %d %lf %lf %lf %lf\n", i, j, x, y, bed, water);
}

// Block 1's grid lines i1-1..i2, j1-1..j2 must lie in the structured arrays before any point
// of it is read.
void requireBlockOneInGrid(const char* what) {
  const GridBlock& b = block[1];
  const bool planes = Surfaces && Surfaces.dim(0) > 3 &&
                      static_cast<long long>(Surfaces.dim(1)) >= xnumber + 2LL &&
                      static_cast<long long>(Surfaces.dim(2)) >= ynumber + 2LL;
  if (!structuredArraysFit() || !planes || !lineInGrid(b.i1 - 1, b.j1 - 1) || !lineInGrid(b.i2, b.j2))
    failf(1, "Error writing %s: block 1 with grid lines %d to %d and %d to %d does not lie in the G 1 grid\n",
          what, b.i1 - 1, b.i2, b.j1 - 1, b.j2);
}

// The corner values of grid point (i, j) that the refined file averages.
struct Corner {
  double x, y, a, b;
};

Corner cornerAt(int i, int j, bool nonErodible) {
  if (nonErodible) return {xval[i][j], yval[i][j], Surfaces[3][i][j], 0.0};
  return {xval[i][j], yval[i][j], zval[i][j][1], zval[i][j][znumber]};
}

void writeCorner(std::FILE* f, int i, int j, const Corner& c, bool nonErodible) {
  if (nonErodible)
    std::fprintf(f, "%d %d %lf %lf %lf\n", i, j, c.x, c.y, c.a);
  else
    writePoint(f, i, j, c.x, c.y, c.a, c.b);
}

// Twice the resolution: point (i, j) becomes (2i-1, 2j-1); the points between are the means
// of their two or four neighbours.
void writeRefined(std::FILE* f, const GridBlock& b, bool nonErodible) {
  for (int i = b.i1 - 1; i <= b.i2; ++i)
    for (int j = b.j1 - 1; j <= b.j2; ++j) {
      const Corner p = cornerAt(i, j, nonErodible);
      writeCorner(f, 2 * i - 1, 2 * j - 1, p, nonErodible);
      const bool east = i < b.i2, north = j < b.j2;
      if (east) {
        const Corner e = cornerAt(i + 1, j, nonErodible);
        writeCorner(f, 2 * i, 2 * j - 1,
                    {0.5 * (p.x + e.x), 0.5 * (p.y + e.y), 0.5 * (p.a + e.a), 0.5 * (p.b + e.b)},
                    nonErodible);
      }
      if (north) {
        const Corner n = cornerAt(i, j + 1, nonErodible);
        writeCorner(f, 2 * i - 1, 2 * j,
                    {0.5 * (p.x + n.x), 0.5 * (p.y + n.y), 0.5 * (p.a + n.a), 0.5 * (p.b + n.b)},
                    nonErodible);
      }
      if (east && north) {
        const Corner e = cornerAt(i + 1, j, nonErodible), n = cornerAt(i, j + 1, nonErodible),
                     ne = cornerAt(i + 1, j + 1, nonErodible);
        writeCorner(f, 2 * i, 2 * j,
                    {0.25 * (p.x + e.x + n.x + ne.x), 0.25 * (p.y + e.y + n.y + ne.y),
                     0.25 * (p.a + e.a + n.a + ne.a), 0.25 * (p.b + e.b + n.b + ne.b)},
                    nonErodible);
      }
    }
}

// Half the resolution: every second grid line from the first one, numbered 1, 2, ...
void writeCoarse(std::FILE* f, const GridBlock& b) {
  for (int i = b.i1 - 1, ic = 1; i <= b.i2; i += 2, ++ic)
    for (int j = b.j1 - 1, jc = 1; j <= b.j2; j += 2, ++jc)
      writePoint(f, ic, jc, xval[i][j], yval[i][j], zval[i][j][1], zval[i][j][znumber]);
}

// Bed cell of column (i, j); 0 beyond the structured arrays.
int bedCellAt(int i, int j) {
  if (!pointbed || i < 0 || j < 0 || static_cast<std::size_t>(i) >= pointbed.dim(0) ||
      static_cast<std::size_t>(j) >= pointbed.dim(1))
    return 0;
  return pointbed[i][j];
}

// The bed fractions of the coarse columns (two fine columns each way), in the fraction-only
// row form, coarse columns numbered from 2 like the columns of a block.
void writeCoarseFractions(std::FILE* f, const GridBlock& b) {
  for (int i = b.i1, ic = 2; i <= b.i2; i += 2, ++ic)
    for (int j = b.j1, jc = 2; j <= b.j2; j += 2, ++jc) {
      const int ne = bedCellAt(i + 1, j + 1);
      if (ne == 0) break;
      const int cells[4] = {bedCellAt(i, j), bedCellAt(i + 1, j), bedCellAt(i, j + 1), ne};
      std::fprintf(f, "%d %d", ic, jc);
      for (int l = 1; l <= lnumber; ++l) {
        double sum = 0.0;
        for (int c : cells) sum += BSedDistrib[0][l][c];
        std::fprintf(f, " %lf", 0.25 * sum);
      }
      std::fprintf(f, "\n");
    }
}

}  // namespace

void readKoosurf() {
  if (!fileExists("koosurf")) failf(-4, "Error, can not open koosurf file\n");
  if (!structuredArraysFit())
    failf(-4, "Error, the grid arrays of the G 1 sizes do not exist, can not read koosurf file\n");

  int maxi = 0, maxj = 0;
  scanKoosurf([&](const PointRecord& r) {
    maxi = std::max(maxi, r.i);
    maxj = std::max(maxj, r.j);
  });
  if (maxi >= xnumber - 1 || maxj >= ynumber - 1) {
    logf("Error, increase the G 1 values in control file and try again\n");
    // In 64 bits: the largest index may be the largest int.
    failf(-4, "The two first integers on G 1 data set should be at least %lld %lld\n", maxi + 2LL, maxj + 2LL);
  }
  // The block's columns are 2..max i and 2..max j: without a second grid line each way there
  // is no column to build.
  if (maxi < 2 || maxj < 2)
    failf(-4, "Error in koosurf file: largest i %d, largest j %d, both must be at least 2\n", maxi, maxj);
  if (NoBlocks + 1 >= static_cast<int>(block.size()))
    failf(-4, "Error, can not add the koosurf block: %d blocks exist already\n", NoBlocks);

  ++NoBlocks;
  BlockID = NoBlocks;
  GridBlock& b = block[NoBlocks];
  b.i1 = 2;
  b.i2 = maxi;
  b.j1 = 2;
  b.j2 = maxj;
  b.nestlevel = 0;
  b.bedfollow = 1;
  b.boxcells = znumber;
  b.aux1 = 1;
  b.aux2 = 1;
  b.aux3 = 0;
  b.aux4 = 1;
  b.boxheight = 0.0;
  b.boxtop = 0.0;

  scanKoosurf([](const PointRecord& r) {
    xval[r.i][r.j] = r.x;
    yval[r.i][r.j] = r.y;
    zval[r.i][r.j][1] = r.bed;
    zval[r.i][r.j][znumber] = r.water;
    zval[r.i][r.j][znumber + 1] = r.water;
  });
  logf("Have read koosurf file: max i: %d, max j: %d\n\n", maxi, maxj);
  mc_message = "have read 'koosurf' file ";
}

void writekoosurf() {
  // The dredging module fills the tables of bagger.cor; it is not part of this version.
  if (FlagBagger >= 1) writeBaggerCor();
  requireBlockOneInGrid("koosurf files");
  const GridBlock& b = block[1];

  enum { kAsIs, kFine, kMinFine, kCoarse, kFracres, kAsIsJ, kFiles };
  const char* names[kFiles] = {"koosurf.1", "koosurf.fin", "koomin.fin", "koosurf.cor",
                               "fracres.cor", "koosurf.2"};
  const bool fractions = FlagReadFracres > 0;
  if (fractions && (!BSedDistrib || static_cast<long long>(BSedDistrib.dim(1)) <= lnumber))
    failf(1, "Error writing fracres.cor file: the bed fractions do not exist\n");
  const bool wanted[kFiles] = {true, true, true, true, fractions, true};
  // All files are opened before any is written, so a failure leaves no half-written set, and
  // each is written under a temporary name, so a failure keeps the previous copy.
  std::vector<std::unique_ptr<OutFile>> files(kFiles);
  for (int n = 0; n < kFiles; ++n) {
    if (!wanted[n]) continue;
    files[n] = std::make_unique<OutFile>(names[n]);
    if (!files[n]->ok()) {
      logf("Error, can not open %s file\n", names[n]);
      failWrite(names[n], files[n]->reason().c_str(), -4);
    }
  }

  for (int i = b.i1 - 1; i <= b.i2; ++i)
    for (int j = b.j1 - 1; j <= b.j2; ++j)
      writePoint(files[kAsIs]->get(), i, j, xval[i][j], yval[i][j], zval[i][j][1], zval[i][j][znumber]);
  writeRefined(files[kFine]->get(), b, false);
  writeRefined(files[kMinFine]->get(), b, true);
  writeCoarse(files[kCoarse]->get(), b);
  if (wanted[kFracres]) writeCoarseFractions(files[kFracres]->get(), b);
  for (int j = b.j1 - 1; j <= b.j2; ++j)
    for (int i = b.i1 - 1; i <= b.i2; ++i)
      writePoint(files[kAsIsJ]->get(), i, j, xval[i][j], yval[i][j], zval[i][j][1], zval[i][j][znumber]);
  for (auto& f : files)
    if (f) f->commitOrEnd(-4);
  mc_message = " Have written koosurf files";
}

void writeMPIkoosurf() {
  const int divisions = FlagMPI;
  if (divisions <= 0) failf(-123, "Error writing MPI koosurf files, %d MPI blocks specified\n\n", divisions);
  if (divisions >= static_cast<int>(divisionMPI.size())) {
    logf("Error writing MPI koosurf files, %d MPI blocks specified\n\n", divisions);
    failf(-123, "Error for MPI parameters: recompile with increased divisionMPI array\n\n");
  }
  const GridBlock& b = block[1];
  if (!structuredArraysFit())
    failf(-123, "Error writing MPI koosurf files, the grid arrays of the G 1 sizes do not exist\n\n");
  if (!lineInGrid(0, b.j1 - 1) || !lineInGrid(0, b.j2))
    failf(-123, "Error writing MPI koosurf files, block 1 with grid lines %d to %d in j does not lie in the G 1 grid\n\n",
          b.j1 - 1, b.j2);

  divisionMPI[0] = 2;
  divisionMPI[divisions] = b.i2;
  if (divisionMPI[1] == -1 && divisions >= 2) {
    const int s = (b.i2 - b.i1) / divisions;
    for (int k = 1; k < divisions; ++k) divisionMPI[k] = k * s + 1;
  }
  // Every division needs at least one column inside the grid; checked for all before any file
  // is written, so a bad division leaves no partial set behind.
  for (int k = 1; k <= divisions; ++k) {
    const int first = divisionMPI[k - 1] - 1, last = divisionMPI[k];
    if (first < 0 || last > xnumber + 1 || first >= last)
      failf(-123, "Error writing MPI koosurf files, MPI block %d would hold grid lines %d to %d of the grid lines 0 to %d\n\n",
            k, first, last, xnumber + 1);
  }

  for (int k = 1; k <= divisions; ++k) {
    const std::string name = strf("koosurf.mpi%d", k);
    OutFile f(name);
    if (!f.ok()) {
      logf("Error, can not open %s file\n", name.c_str());
      failWrite(name, f.reason().c_str(), -4);
    }
    const int first = divisionMPI[k - 1] - 1;
    for (int i = first; i <= divisionMPI[k]; ++i)
      for (int j = b.j1 - 1; j <= b.j2; ++j)
        writePoint(f.get(), i - first + 1, j, xval[i][j], yval[i][j], zval[i][j][1], zval[i][j][znumber]);
    f.commitOrEnd(-4);
  }
  mc_message = " Have written MPI koosurf files";
}

}  // namespace qorva
