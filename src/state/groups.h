// Discharge groups 1..9 (record 0 only receives the defaults and is never placed).
#pragma once

#include "state/table.h"

namespace qorva {

struct DischargeGroup {
  int inflowFlag;     // 1 inflow, 0 outflow
  int bcType;         // 0 Dirichlet, 1 zero gradient
  int componentNo;    // component whose inflow concentration the group carries
  int lowLevel;       // lowest cell level of the group
  int topLevel;       // highest cell level of the group
  int surfaceNo;      // entries in surfaceList
  int xyNo;           // plan points in x, y
  double massDischarge;  // kg/s
  double inflowConc;
  double inflowK;
  double inflowEps;
  double area;        // m2
  Fixed<double, 5000> x;
  Fixed<double, 5000> y;
  Fixed<int, 1000000> surfaceList;
  Fixed<int, 1000000> levelList;
  Fixed<int, 10000> bedCellList;  // entry 0 is the count
};

inline Fixed<DischargeGroup, 10> DischargeStruct;

// Surface discharge groups 0..9 (all used), filled only from the grid files: the component
// `id` that receives `load`, spread over the cells cells[0..count-1].
struct SurfaceDischargeGroup {
  int id;
  int count;  // at most 100
  double load;
  Fixed<int, 100> cells;
};
inline Fixed<SurfaceDischargeGroup, 10> SurfDischargeStruct;

// Every group back to its start: inflow, type 0, levels 1..151, nothing placed; the surface
// discharge groups empty.
void resetDischargeGroups();

}  // namespace qorva
