// Working ranges of the flow computation on a grid of three blocks whose cell and surface
// ranges are set by hand: the whole grid, the water blocks before a mud-flow block, and the
// span of the chosen work blocks.
#include <vector>

#include "flow/flow.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva {
namespace {

class WorkRangesTest : public test::Scratch {
 protected:
  // Blocks 1..3: cells 1-10, 11-20, 21-25; surfaces 1-30, 31-60, 61-75.
  static void threeBlocks() {
    NoBlocks = 3;
    NoCells = 25;
    NoSurfaces = 75;
    const int cells[4][2] = {{0, 0}, {1, 10}, {11, 20}, {21, 25}};
    const int surfs[4][2] = {{0, 0}, {1, 30}, {31, 60}, {61, 75}};
    for (int b = 1; b <= 3; ++b) {
      block[b].cellstart = cells[b][0];
      block[b].cellend = cells[b][1];
      block[b].surfstart = surfs[b][0];
      block[b].surfend = surfs[b][1];
    }
    // Values that no rule produces, to see a range left unchanged.
    WCStart = 7;
    WCEnd = 8;
    WFStart = 9;
    WFEnd = 10;
  }
};

struct RangeCase {
  const char* name;
  int flagTSC;
  int mudField;  // mud-flow field of the last block
  std::vector<int> workBlocks;  // WorkBlock[1..]; empty: WorkBlockNo 0
  int workBlockNo;              // used when workBlocks is empty
  int wcStart, wcEnd, wfStart, wfEnd;
};

TEST_F(WorkRangesTest, RangeFollowsTheMudBlockAndTheWorkBlocks) {
  const std::vector<RangeCase> cases = {
      {"no work blocks, no sediment run: the whole grid with the mud block", 0, 1, {}, 0,
       1, 25, 1, 75},
      {"no work blocks, sediment run, mud block last: the water blocks", 1, 1, {}, 0,
       1, 20, 1, 60},
      {"no work blocks, sediment run, no mud block: the whole grid", 2, 0, {}, 0, 1, 25, 1, 75},
      {"no work blocks, sediment run, negative mud field: unchanged", 1, -1, {}, 0, 7, 8, 9, 10},
      {"blocks 1 and 3: one span over block 2 too", 0, 0, {1, 0, 1}, 0, 1, 25, 1, 75},
      {"blocks 2 and 3", 0, 0, {0, 1, 1}, 0, 11, 25, 31, 75},
      {"block 2 alone, any positive value", 0, 0, {0, 20}, 0, 11, 20, 31, 60},
      {"work blocks and a mud block last: the list is ignored", 0, 1, {0, 0, 1}, 0,
       1, 20, 1, 60},
      {"negative count: unchanged", 0, 0, {}, -1, 7, 8, 9, 10},
      // The slide step may leave a list without a work block: an empty range results.
      {"no listed block above 0: start above end", 0, 0, {0, 0}, 0, 25, 1, 75, 1},
      {"a listed block beyond the grid holds no cells", 0, 0, {0, 1, 0, 0, 1}, 0,
       11, 20, 31, 60},
  };
  for (const RangeCase& k : cases) {
    SCOPED_TRACE(k.name);
    setDefaults();
    threeBlocks();
    FlagTSC = k.flagTSC;
    block[3].thixo = k.mudField;
    WorkBlockNo = k.workBlocks.empty() ? k.workBlockNo : static_cast<int>(k.workBlocks.size());
    for (std::size_t b = 0; b < k.workBlocks.size(); ++b) WorkBlock[b + 1] = k.workBlocks[b];
    computeWCStart();
    EXPECT_EQ(WCStart, k.wcStart);
    EXPECT_EQ(WCEnd, k.wcEnd);
    EXPECT_EQ(WFStart, k.wfStart);
    EXPECT_EQ(WFEnd, k.wfEnd);
  }
}

// F 236 1 marks block 1 itself as the mud-flow block: with no block before it the sediment run
// works on the whole grid instead of reading the record in front of block 1.
TEST_F(WorkRangesTest, SingleMudBlockKeepsTheWholeGrid) {
  NoBlocks = 1;
  NoCells = 12;
  NoSurfaces = 40;
  block[1] = GridBlock{};
  block[1].cellstart = 1;
  block[1].cellend = 12;
  block[1].surfstart = 1;
  block[1].surfend = 40;
  block[1].thixo = 1;
  FlagTSC = 1;
  computeWCStart();
  EXPECT_EQ(WCStart, 1);
  EXPECT_EQ(WCEnd, 12);
  EXPECT_EQ(WFStart, 1);
  EXPECT_EQ(WFEnd, 40);
}

}  // namespace
}  // namespace qorva
