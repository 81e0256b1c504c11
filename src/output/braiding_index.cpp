// Braiding index of block 1: the mean number of active channels per cross-section. Reads
// block[1], zval[..][..][0], Ckinen and the F 368 thresholds; writes nothing.
#include "grid/columns.h"
#include "output/output.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"

namespace qorva {

namespace {

// Bed-shear activity 300 k of the bottom cell of column (i, j); a dry column has none.
double activity(int i, int j) {
  const int c = columnBottom(i, j);
  if (c == 0) return 0.0;
  return 300.0 * Ckinen[c];
}

}  // namespace

double computeBI() {
  if (NoBlocks < 1 || !zval || !Ckinen) return 0.0;
  const GridBlock& k = block[1];
  if (IBraidedStart > k.i2) return 0.0;
  long channels = 0;
  for (int i = IBraidedStart; i <= k.i2; ++i) {
    int run = 0;
    for (int j = k.j1; j <= k.j2; ++j) {
      const double a = activity(i, j);
      if (a > BraidedActive) {
        ++run;
      } else if (a <= BraidedTot) {
        if (run >= BraidCells) ++channels;
        run = 0;
      }
      // Between the two thresholds a column neither carries a channel on nor ends it.
    }
    if (run >= BraidCells) ++channels;
  }
  const int sections = k.i2 - IBraidedStart + 1;
  return channels / (sections + 1e-20);
}

}  // namespace qorva
