// Grid blocks of the structured index plane, the work-block selection and block connections.
#pragma once

#include "state/table.h"

namespace qorva {

struct GridBlock {
  int i1, i2, j1, j2;
  int bcellstart, bcellend;
  int nestlevel;
  int flag2D;
  int bedfollow;
  int boxcells;
  int skip;
  int inwork;
  int aux1;
  int thixo;
  int aux2, aux3, aux4;
  int cellstart, cellend;
  int surfstart, surfend;
  int pointstart, pointend;
  double boxheight;
  double boxtop;
};

// Record 0 is never used; blocks are 1..NoBlocks.
inline Fixed<GridBlock, 100> block;
inline int NoBlocks = 0;
inline Fixed<int, 100> WorkBlock;  // G 25: the blocks the computation works in, 1..WorkBlockNo
// 1 for a block whose nesting level is 1; set by the grid metrics under F 126.
inline Fixed<int, 100> blocknested;

// Connection points on block sides, entries 0..NoConnect-1: the first and the second grid
// point (i1, j1) and (i2, j2), in the order the grid files hold them (i1, i2, j1, j2).
struct BlockConnection {
  int i1, i2, j1, j2;
};
inline Fixed<BlockConnection, 200> conn;

// Puts the block table back to its start state: no blocks, every field 0 but aux1 = 1; conn
// cleared.
void resetBlocks();

}  // namespace qorva
