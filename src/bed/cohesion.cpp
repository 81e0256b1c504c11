// The cohesion of the bed layers at the start of a sediment run: InitValueCohesion (F 385) in
// every layer of every column of the used blocks (with F 385 4 only where the water is at most
// MinVertDist0 deep), then, with F 385 2, the records of the file `cohesion`: "i j c1 c0
// [c2 .. c(N-1)]", the cohesion of layers 1, 0, 2, ... of column (i, j). Reads the block table,
// zval, pointbed, F 94, F 134, F 385; writes Bcohesion.
#include <cstdio>
#include <string>

#include "bed/bed.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/log.h"
#include "state/options.h"
#include "state/safe_file.h"
#include "state/structured.h"

namespace qorva {

namespace {

void setColumn(int b, int layers, double value) {
  for (int k = 0; k < layers; ++k) Bcohesion[k][b] = value;
}

double meanDepth(int i, int j) {
  double water = 0, bed = 0;
  for (int di = -1; di <= 0; ++di)
    for (int dj = -1; dj <= 0; ++dj) {
      water += zval[i + di][j + dj][znumber];
      bed += zval[i + di][j + dj][1];
    }
  return 0.25 * (water - bed);
}

// The records of `cohesion`; -20 when the file cannot be opened or its first record cannot be
// read. A later record that cannot be read, or that names no water column of the grid, ends
// the run with the file and line.
int readCohesionFile() {
  RecordReader in("cohesion");
  if (!in.ok()) return -20;
  const int N = NoBedLayers;
  const int perRecord = 4 + (N > 2 ? N - 2 : 0);
  const long long most = (xnumber + 2LL) * (ynumber + 2LL) + 1;
  try {
    for (long long r = 0; r < most; ++r) {
      int i = 0, j = 0;
      double first = 0, second = 0;
      try {
        if (!in.record(perRecord, "column record %lld", r + 1)) break;
        i = in.i();
        j = in.i();
        first = in.d();
        second = in.d();
      } catch (const BadRecord&) {
        // A file that does not even start with a column record is not a cohesion file.
        if (r == 0) return -20;
        throw;
      }
      if (i < 0 || j < 0 || i > xnumber + 1 || j > ynumber + 1 || pointbed[i][j] < 1)
        in.refuse("column (%d,%d) has no bed cell in the grid", i, j);
      const int b = pointbed[i][j];
      Bcohesion[1][b] = first;
      Bcohesion[0][b] = second;
      for (int k = 2; k < N; ++k) Bcohesion[k][b] = in.d();
      in.end();
    }
  } catch (const BadRecord& e) {
    failf(1, "Error in the cohesion file, %s\n", e.text.c_str());
  }
  return 0;
}

}  // namespace

int setInitialCohesive() {
  if (FlagCohesion == 0 || !Bcohesion) return 0;
  for (int k = 1; k <= NoBlocks; ++k) {
    const GridBlock& blk = block[k];
    if (blk.flag2D != 0 || blk.skip != 0) continue;
    for (int i = blk.i1; i <= blk.i2; ++i)
      for (int j = blk.j1; j <= blk.j2; ++j) {
        const int b = pointbed[i][j];
        if (b < 1) continue;
        double value = InitValueCohesion;
        if (FlagCohesion == 4 && !(meanDepth(i, j) <= MinVertDist0)) value = 0;
        setColumn(b, NoBedLayers, value);
      }
  }
  if (FlagCohesion == 2) return readCohesionFile();
  return 1;
}

}  // namespace qorva
