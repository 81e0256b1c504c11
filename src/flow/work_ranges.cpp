// Working ranges of cells and surfaces: the whole grid, the water blocks or the work blocks.
// Reads WorkBlockNo, WorkBlock, FlagTSC, block, NoBlocks, NoCells, NoSurfaces; writes WCStart,
// WCEnd, WFStart, WFEnd.
#include <algorithm>

#include "flow/flow.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

void wholeGrid() {
  WCStart = 1;
  WCEnd = NoCells;
  WFStart = 1;
  WFEnd = NoSurfaces;
}

// The mud-flow block is appended after every water block, so the blocks before it hold every
// water cell and no mud-flow cell. A grid of one block (F 236 1 marks block 1 itself as the
// mud-flow block) has no block before it: its water and mud share the block, and the range is
// the whole grid, as block record 0 spans it.
void allBlocksButTheLast() {
  if (NoBlocks < 2) {
    wholeGrid();
    return;
  }
  WCStart = 1;
  WFStart = 1;
  WCEnd = block[NoBlocks - 1].cellend;
  WFEnd = block[NoBlocks - 1].surfend;
}

// One contiguous range from the lowest first cell to the highest last cell of the work blocks:
// a block numbered between two work blocks lies inside it too.
void unionOfWorkBlocks() {
  WCStart = NoCells;
  WCEnd = 1;
  WFStart = NoSurfaces;
  WFEnd = 1;
  const int n = std::min(WorkBlockNo, static_cast<int>(WorkBlock.size()) - 1);
  for (int k = 1; k <= n; ++k) {
    // A listed block without a record (beyond NoBlocks) holds no cells.
    if (WorkBlock[k] <= 0 || k > NoBlocks) continue;
    WCStart = std::min(WCStart, block[k].cellstart);
    WCEnd = std::max(WCEnd, block[k].cellend);
    WFStart = std::min(WFStart, block[k].surfstart);
    WFEnd = std::max(WFEnd, block[k].surfend);
  }
}

}  // namespace

void computeWCStart() {
  // Mud-flow field of the last block; without blocks there is none.
  const int m = NoBlocks >= 1 ? block[NoBlocks].thixo : 0;
  if (WorkBlockNo == 0) {
    if (FlagTSC == 0 || m == 0)
      wholeGrid();
    else if (m > 0)
      allBlocksButTheLast();
    return;  // m < 0 in a sediment run: the ranges stay as they are
  }
  if (m >= 1)
    allBlocksButTheLast();
  else if (WorkBlockNo > 0)
    unionOfWorkBlocks();
}

}  // namespace qorva
