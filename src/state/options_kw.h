// Settings of the K (solver) and W (initial flow, grid-generation points) data sets.
#pragma once

#include "state/table.h"

namespace qorva {

// Per-equation tables of the K data sets, indexed by equation number (1..3 velocities, 4
// pressure correction, 5 k, 6 epsilon, 7 sediment, 8+c component c). K 3 to K 6 set 1..6.
inline Fixed<double, 50> relax{{0.0, 0.8, 0.8, 0.8, 0.2, 0.5, 0.5}};
inline constinit Fixed<int, 50> sweeps = [] {  // K 4
  Fixed<int, 50> s;
  for (int& v : s.v) v = 1;
  s.v[4] = 5;
  return s;
}();
inline Fixed<int, 50> blockcorr;  // K 5
inline Fixed<int, 50> sou;  // K 6

// K 1: global iterations of the flow solution, iterations between free-surface updates.
inline int iterGlobalMax = 40000, IterSurface = 50000;
// K 2: wall and roof switches (0 or 1).
inline int FlagWall = 0, FlagRoof = 1;

// W 1: roughness coefficient, discharge and water level of the initial flow.
inline double ManningInit = 50.0, discharge = 1.0, level = 1.0;
// 1 once a W 1 data set was met; without it the water level comes from the survey points.
inline int FlagReadW1 = 0;

// W 2: a rising list of cross-sections, entries 1..initnumber (at most 299).
inline int initnumber = 0;
inline Fixed<int, 300> initarray;

// W 4: a moving-wall plane of constant i (dir 1), j (dir 2) or k (dir 3) at index node, on
// side posneg (-1, 0, 1). The ranges a1..a2 and b1..b2 run over the two other indexes in
// their order (dir 1: j, k; dir 2: i, k; dir 3: i, j).
struct MovingWallRecord {
  int dir;
  int posneg;
  int node;
  int a1, a2;
  int b1, b2;
};
inline int MWallNo = 0;  // W 4
inline Fixed<MovingWallRecord, 30> MWall;  // W 4: records 1..MWallNo, at most 29

// W 6: fixed grid points (i, j), entries 1..FastNo (at most 19999); the grid reader and the
// line insertion of the grid generator append to the same list.
inline int FastNo = 0;
inline Fixed<int, 20000> iFast;
inline Fixed<int, 20000> jFast;

// W 7: attraction points of the elliptic grid smoothing; type 0..3 selects the direction and
// form of the pull, amplitude and decay its strength.
struct AttractionPoint {
  int i;
  int j;
  int type;
  double amplitude;
  double decay;
};
inline int AttractNo = 0;  // W 7
inline Fixed<AttractionPoint, 2000> Attract;  // W 7: records 1..AttractNo, at most 199

}  // namespace qorva
