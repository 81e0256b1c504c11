// Grid metrics, face flags and the topology check of the unstructured grid.
#pragma once

#include "state/table.h"

namespace qorva {

// 1 for a block whose nesting level is 1 (blocks 1..NoBlocks); set by metric under F 126.
inline Fixed<int, 100> blocknested;

// Cell centres, volumes, half sizes, face areas, normals, distances and flow flags of the
// present grid, then the nesting links, the solving order and the reports of F 212. Does
// nothing while FlagHaveDoneMetric is 1 (unless F 523 is set). Ends the run with status -1
// on a cell of zero volume, skewed vertical edges or a negative vertical direction.
void metric();

// Flow flag of a small boundary surface f at a wedge: 2 when the bottom cell of its column has
// a neighbour on that side, else 0.
int findFlagflowTriangle(int f);

// Logs every mismatch between the cells' surfaces and the surfaces' cells and side codes in
// the working ranges. Returns UMethod2 when it is at least 1 (nothing checked), else 0.
int CheckFparam();
// The check itself, for callers that have already tested UMethod2.
int CheckFparamBody();

// Lowers the bottom corners of the bed cell with the largest k residual (F 395), then metric.
void ModifyGrid();

}  // namespace qorva
