// Settings of the G data sets (grid sizes, regions, sources, output selection) and the records
// they fill. WorkBlock (G 25) lives with the block table in state/blocks.h.
#pragma once

#include "state/table.h"

namespace qorva {

// G 1: grid lines in i, j, levels in k, and grain sizes (F 79 sets lnumber too).
inline int xnumber = 300, ynumber = 300, znumber = 11, lnumber = 1;

// G 2: an index window, read and checked only.
inline int iblok1 = 0, iblok2 = 0, jblok1 = 0, jblok2 = 0;

// G 3, G 30: vertical levels 1..znumber, increasing with k; G 3 also copies level 1 into 0.
inline Fixed<double, 5000> zdistrib{{0, 0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1.0}};
inline int FlagReadG3 = 0;  // G 3

// G 4, G 5: a point source (or a box of them) with one value per grain size 1..lnumber.
inline int i_pointsource = 0, j_pointsource = 0, k_pointsource = 0;
inline int i2_pointsource = 0, j2_pointsource = 0, k2_pointsource = 0;
inline Fixed<double, 51> pointsource;

// G 6, G 62: free-surface reference cells, fixed-level groups, relaxation and residual limit.
inline int iSurf = 0, jSurf = 0, kSurf = 0, kSurf2 = 0;
inline double RelaxSurface = 0.1, ConvSurface = 0.01;

// G 7: record n describes discharge group n (records 1..IONo).
struct InOutRecord {
  Fixed<int, 8> flag;  // flag[0] 0: the group's discharge is added to the outflow, else subtracted
  Fixed<double, 4> value;
};
inline int IONo = 0;  // G 7
inline Fixed<InOutRecord, 20> IO;  // G 7

// G 9: a cross-section number, read and checked only.
inline int SpecEnergy = 0;

// G 10, G 11: volume sources over an index box (records 1..VolSourceNo, shared by both).
struct VolumeSource {
  int i1, i2, j1, j2, k1, k2;
  double value;
  double value2;  // 2.0 on G 10, read on G 11
};
inline int VolSourceNo = 0;  // G 10
inline Fixed<VolumeSource, 20> VolSource;  // G 10

// G 12: sediment sources (records 1..SedSourceNo).
struct SedimentSource {
  int number;                        // 1..9
  Fixed<double, 51> concentration;  // one per grain size 1..50; 0 unused
};
inline int SedSourceNo = 0;  // G 12
inline Fixed<SedimentSource, 20> SedSource;  // G 12

// G 13: regions taken out of the grid (records 1..OutBlockNo).
struct RemovedRegion {
  int type;    // 0..4
  int i1, i2;  // cross-sections
  int j1, j2;  // along the cross-section
  int k1, k2;  // levels
};
inline int OutBlockNo = 0;  // G 13
inline Fixed<RemovedRegion, 500> OutBlock;  // G 13

// G 14: debugging points (records 1..DebugDumpNo).
struct DebugPoint {
  int type;  // 1..6
  int i, j, k;
};
inline int DebugDumpNo = 0;  // G 14
inline Fixed<DebugPoint, 30> DebugDump;  // G 14

// G 18: initial flow values (records 1..UInitNo); [1..3] velocities, [4] pressure, [5] k,
// [6] epsilon, [0] unused.
using InitialFlowValues = Fixed<double, 7>;
inline int UInitNo = 0;  // G 18
inline Fixed<InitialFlowValues, 20> UInit;  // G 18

// G 22: bridges (records 1..BridgeNo): drag on the part of each cell between the two levels.
struct BridgeRecord {
  int i1, i2, j1, j2;
  double lowerLevel;
  double upperLevel;
  double dragCoeff;
};
inline int BridgeNo = 0;  // G 22
inline Fixed<BridgeRecord, 20> Bridge;  // G 22

// G 24: output variables of the graphics writers (records 0..TecStrucNo-1).
struct OutputVariable {
  int level;     // grid level or bed layer
  int sizeNo;    // grain size 0..lnumber
  int extraInt;  // only for the letter Z: 100..1000
  char variable;
};
inline int TecStrucNo = 0;  // G 24
inline Fixed<OutputVariable, 300> TecStruc;  // G 24

// G 25: number of blocks the computation works in (the block numbers are WorkBlock[1..]).
inline int WorkBlockNo = 0;

// G 26: the free surface moves only in blocks b with SurfUpdate[b] = 1.
inline int FlagSurfaceUpdate = 0;
inline constinit Fixed<int, 100> SurfUpdate = [] {
  Fixed<int, 100> s;
  for (int b = 1; b <= 98; ++b) s.v[b] = 1;
  return s;
}();

// G 27: first cross-section of each part of the block division; [1] = -1 means none given.
inline Fixed<int, 1000> divisionMPI{{0, -1}};

// G 28: weirs (records 0..NoWeirs-1): level at the weir line = crest + (Q / C)^(1/n).
struct WeirRecord {
  int i1, i2, j1, j2;
  double crestLevel;
  double C;  // 1..3
  double n;  // 1..3
};
inline int NoWeirs = 0;  // G 28
inline Fixed<WeirRecord, 20> Weirs;  // G 28

// G 29: window of the deposited-volume report of the sediment computation.
inline int i1Iff = 0, i2Iff = 0, j1Iff = 0, j2Iff = 0;

// G 31: multipliers of the inflow sediment concentrations.
inline Fixed<double, 51> inflowMult{{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}};

// G 40, G 41: vertical profiles, pairs of (level, value).
struct ProfilePair {
  double level;
  double value;
};
inline int NoVerttemp = 0;  // G 40
inline Fixed<ProfilePair, 50> Verttemp;  // G 40
inline int NoQI = 0;  // G 41
inline Fixed<int, 10> NoVariable;  // G 41: water-quality component of profile q
inline Fixed<int, 10> NoVertInit;  // G 41: pairs in profile q
inline Fixed<Fixed<ProfilePair, 50>, 10> VertQInit;  // G 41

// G 42: profile locations for graphics (i, j).
inline int NoOGLprofs = 0;
inline Fixed<Fixed<int, 2>, 20> OglProf;

// G 50: 1 runs that parallel region serially (regions 0..9).
inline Fixed<int, 40> FlagOpenMP{{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1}};

// Read by the G checks, set by F data sets of other families.
inline int NoBedLayers = 2;          // set by F 134
inline int FlagMPI = 0;              // set by F 308
inline int FlagCohesion = 0;         // set by F 385
inline int FlagMorphStatistics = 0;  // set by F 404

}  // namespace qorva
