// The grid generator: builds the unstructured cells, surfaces, points and bed cells of every
// block from the structured grid, checks the array capacities and reports. Reads the blocks,
// xval, yval, zval and the F 64/F 65 settings; writes the cell, surface, point and bed-cell
// tables, the column tables, the counts and their snapshots.
#include "grid/generator.h"

#include <omp.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "bed/bed_modes.h"
#include "discretisation/discretisation.h"
#include "files/files.h"
#include "flow/flow_modes.h"
#include "grid/cell_template.h"
#include "grid/grid.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/control_new.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/nests.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "state/timeseries.h"

namespace qorva {

namespace {

// F 64 values that take the default vertical method.
bool defaultMethod(int m) { return m == 8 || m == 11 || m == 13 || m == 38 || m > 99; }

void checkBlocks() {
  if (NoBlocks < 0 || NoBlocks > 99)
    failf(1, "Error: %d grid blocks given, at most 99 can be used\n", NoBlocks);
  for (int b = 1; b <= NoBlocks; ++b) checkBlockInGrid(b);
}

void resetGrid() {
  NoPoints = NoCells = NoSurfaces = 0;
  FlagGridHasChanged = 1;
  FlagNeedsToBeInterpolated = 1;
  for (int i = 0; i <= xnumber + 1; ++i)
    for (int j = 0; j <= ynumber + 1; ++j) {
      antlin[i][j] = ant[i][j] = antmin[i][j] = antmax[i][j] = vv[i][j] = 0;
      for (int k = 0; k <= znumber + 1; ++k) num[i][j][k] = 0;
    }
  if (UMethod == 9 && crackI)
    for (int i = 0; i <= xnumber; ++i)
      for (int j = 0; j <= ynumber; ++j) crackI[i][j] = crackJ[i][j] = vn[i][j] = 0;
  for (int k = 0; k < MaxConnFlate; ++k) connFlate[k][0] = connFlate[k][1] = 0;
  for (int c = 0; c < MaxCeller; ++c) {
    Cflatee[c] = Cflatew[c] = Cflates[c] = Cflaten[c] = Cflatet[c] = Cflateb[c] = 0;
    Ccelle[c] = Ccellw[c] = Ccells[c] = Ccelln[c] = Ccellt[c] = Ccellb[c] = 0;
    CflagDim[c] = Conecell[c] = Ctrekant[c] = 0;
  }
  if (QNFlag > 0 && Cncells)
    for (int c = 0; c < MaxCeller; ++c) {
      Cncells[c] = Cncelle[c] = Cncelln[c] = Cncellw[c] = 0;
      for (int k = 0; k < znumber; ++k)
        Cqncells[c][k] = Cqncelle[c][k] = Cqncelln[c][k] = Cqncellw[c][k] = 0;
    }
  for (int f = 0; f < MaxFlater; ++f) Fcell1[f] = Fcell2[f] = Fcell11[f] = Fcell22[f] = Fqndum[f] = 0;
}

bool badLevel(double z) { return std::isnan(z) || z < -1000.0 || z > 10000.0; }

// Largest depth over the grid lines of the active three-dimensional blocks.
double largestDepth() {
  double d = 0;
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (k.flag2D != 0 || k.skip != 0) continue;
    for (int i = k.i1 - 1; i <= k.i2; ++i)
      for (int j = k.j1 - 1; j <= k.j2; ++j) {
        const double bed = zval[i][j][1], surf = zval[i][j][znumber];
        d = std::max(d, surf - bed);
        if (FlagBugFind == 1 && (badLevel(bed) || badLevel(surf))) {
          logf("Bug found for z values in grid: (%d,%d), Iter = %d\n", i, j, Iter);
          logf("Z levels: %lf %lf\n", bed, surf);
          logf("Iter = %d\n", Iter);
          PauseFlag = 40;
          gridHold(PauseFlag);
        }
      }
  }
  return d;
}

// Bed cells: the builds before the flow has started lay the numbering of the blocks over the
// columns, every build gives the cells their column's bed cell; the dry-edge shaping needs
// both before the bed-cell index has run.
void bedCells() {
  if (!Cbed) return;
  if (Iter < 2) renumberBedColumns();
  setCellBedCells();
  zval[0][0][1] = 0;
  zval[0][0][znumber] = 0;
}

bool dryEdgeShapingSelected() {
  if (FlagMinLevUnstruc <= 0) return false;
  const int m = UMethod;
  const bool method = m == 2 || m == 3 || m == 4 || m == 11 || m == 12 || m == 13 ||
                      (m >= 30 && m <= 40) || m > 99;
  if (!method) return false;
  return FlagHorMove > 0 || (FlagTriangleAlgo >= 0 && FlagTriangleAlgo <= 6) ||
         (FlagCorrTrekant >= 1 && FlagCorrTrekant <= 30) || FlagFixGrid == 1;
}

// With F 1 'P' the build is timed; the start is kept in otime[70].
double startClock() {
  if (debugging != 'P') return 0;
  const double start = omp_get_wtime();
  otime[70] = start;
  return start;
}

void announceBuild() {
  if (stimet < 0.001 || debugging == 'D')
    logf("Generating grid with F 64 %d algorithm. \n", UMethod);
  if (FlagMPI > 0 && MaxDepth209 < 0)
    logf("Error: the F 209 data set has to be used when generating mpi grids\n");
}

// The first build allocates the unstructured arrays; false (logged) when memory ran out.
bool unstructuredArraysExist() {
  if (Cxvel || AllocateArrays(1, 1, 1) >= -0.01) return true;
  logf("Error in allocation of arrays. The array size is probably\n");
  logf("larger than what is available of memory on your computer\n\n");
  mc_message = " Error in array allocation       ";
  return false;
}

// The depth scale of the level counts: the largest depth so far, or the F 209 depth. Returns
// the largest depth of this build, the scale of the other vertical methods.
double updateMaxDepth() {
  const double depth = largestDepth();
  MaxDepth = std::max(MaxDepth, depth);
  if (MaxDepth209 > 0) MaxDepth = MaxDepth209;
  return depth;
}

// The level counts of the new build read the bottom cells of the previous one.
void keepPreviousBottomCells() {
  for (int i = 0; i <= xnumber; ++i)
    for (int j = 0; j <= ynumber; ++j) {
      pointcell_old[i][j] = static_cast<int>(zval[i][j][0]);
      zval[i][j][0] = 0;
    }
}

// Set-up before the blocks: nesting depth, the empty grid, the depth scale, plan areas and
// depth thresholds, and the block list without last build's mud block. Returns the largest
// depth of this build.
double prepareBuild() {
  nestlevmax = 0;
  for (int b = 1; b <= NoBlocks; ++b) nestlevmax = std::max(nestlevmax, block[b].nestlevel);
  if (PauseFlag == 1 || PauseFlag == 30) gridHold(PauseFlag);
  resetGrid();
  const double depth = updateMaxDepth();
  keepPreviousBottomCells();
  ArmapMake();
  if (MinVertDist0 < 0) computeF94();
  // The mud block of the last build is built again after the water block.
  if (mudLayerGrid() && NoBlocks > 1 && block[NoBlocks].thixo == 1) --NoBlocks;
  if (TetI1 > 0 && NoBlocks <= 8) UnstrucTett();
  return depth;
}

// The cells, surfaces and points of every three-dimensional block by the vertical method of
// F 64, D the largest depth of this build. Returns 0, or the negative result of the F 65
// failure.
int buildBlocks(double D) {
  if (QNFlag > 0) return buildSeveralNeighbourBlocks(D);
  if (otherVerticalMethod(UMethod)) return buildBlocksByMethod(UMethod, D);
  if (!defaultMethod(UMethod)) return 0;
  for (int b = 1; b <= NoBlocks; ++b) {
    if (block[b].flag2D == 1) continue;
    block[b].cellstart = NoCells + 1;
    block[b].surfstart = NoSurfaces + 1;
    block[b].pointstart = NoPoints + 1;
    const int r = buildBlockDefault(b);
    if (r < 0) return r;
  }
  return 0;
}

// Links beyond the cells' own columns: missing side neighbours, the nesting lists, the working
// ranges of the whole grid and the joints between blocks.
void linkCells() {
  if (FlagPresGrad == 20) missingSideNeighbours();
  // A full nesting list would leave nested blocks without their boundary: callers go on with
  // the grid whatever the generator returns, so the run ends here.
  const int nestResult = computeNestedArrays();
  if (nestResult != 0)
    failf(nestResult,
          "Error: too many surfaces between nested and coarse blocks, %d entries can be held. "
          "Increase the fourth integer of the F 65 data set.\n\n",
          MaxNester - 1);
  NoConnFlate = 0;
  WCStart = 1;
  WCEnd = NoCells;
  WFStart = 1;
  WFEnd = NoSurfaces;
  if (NoConnect > 0 && NoCells > 0) connectBlocks(1, NoCells);
  NoConnFlate0 = NoConnFlate;
  if (UnevenConnect > 0) connectUneven();
}

// Dry-edge shaping, the mud block, the snapshots of the three-dimensional grid and the
// depth-averaged block after them.
void addSpecialBlocks() {
  if (Cbed && dryEdgeShapingSelected()) dryEdgeShaping();
  if (mudLayerGrid()) {
    if (FlagGroundwater > 0 && FlagThixo == 0)
      logf("Warning: F 262 data is set without setting slide data set F 236\n\n");
    mudLayerBlock();
  }
  NoCells0 = NoCells;
  NoBlocks0 = NoBlocks;
  NoSurfaces0 = NoSurfaces;
  NoConnect0 = NoConnect;
  if (depthAveragedBlock()) HydroStaticMake();
  else if (FlagShallowWater == 1) HydroStaticMake2();
  else if (NoBlocks > 0 && block[NoBlocks].flag2D == 1) --NoBlocks;
}

// Marks of the finished grid: dead ends, the cells of the print-time items, bed statistics.
void markBuiltGrid() {
  markDeadEnds();
  for (int r = 0; r < TimePrintNo; ++r)
    for (int m = 0; m < TimePrint[r].itemNo; ++m) {
      int cell = 0;
      if (printItemCell(TimePrint[r].i[m], TimePrint[r].j[m], TimePrint[r].level[m], cell))
        TimePrint[r].cell[m] = cell;
    }
  if (BedStatI1 > 0 && BedStatTime1 < stimet && stimet < BedStatTime2) bedStatistics();
}

// Reports and checks of the finished grid: the counts (F 1 'Q', F 299), an empty grid, a
// block on the last row of G 1, and the dry cross-sections of F 1 'D'.
void checkBuiltGrid() {
  if (debugging == 'Q' || FlagUnstrucWedge > 0) {
    int lines = 0;
    if (NoBlocks >= 1)
      for (int i = block[1].i1 - 1; i <= block[1].i2; ++i)
        for (int j = block[1].j1 - 1; j <= block[1].j2; ++j) lines += antlin[i][j];
    logf("End of Unstructure, Iter = %d, NoCells = %d\n", Iter, NoCells);
    logf("Number of antlin points: %d, NoPoints: %d\n", lines, NoPoints);
  }
  if (NoCells == 0) {
    logf("Warning: No cells were generated in grid\n");
    mc_message = "Warning: No cells generated in grid. For 2D: remember F 159";
    if (FlagGridStab1 == 1)
      logf("If you are generating a 2D width-averaged grid, you need need to modify the F 159 "
           "data set so that the 4th integer is 1\n");
  } else {
    for (int b = 1; b <= NoBlocks; ++b)
      if (block[b].j2 >= ynumber)
        failf(-44, "Error in allocation of blocks: increase 2nd integer on G 1 data set\n\n");
  }
  if (debugging == 'D') checkCrossSections();
}

void finishBuild(double start) {
  if (stimet < 0.001 || debugging == 'D') logf("End Unstructure %d cells\n", NoCells);
  if (debugging == 'P') {
    const double used = omp_get_wtime() - start;
    logf("Grid genereation time: %lf seconds at %lf seconds\n", used, start - otime[0]);
    otimeGridsolve += used;
  }
  FlagHaveDoneMetric = 0;  // the metric must run on the new grid
}

}  // namespace

void checkBlockInGrid(int b) {
  const GridBlock& k = block[b];
  if (k.i1 < 1 || k.j1 < 1 || k.i2 > xnumber || k.j2 > ynumber)
    failf(1,
          "Error: grid block %d (i %d..%d, j %d..%d) lies outside the grid of the G 1 "
          "data set (%d %d)\n",
          b, k.i1, k.i2, k.j1, k.j2, xnumber, ynumber);
}

[[noreturn]] void holdRunForever(int point) {
  // A batch run has nobody to release a hold, so the pause point ends the run here, with the
  // state of this point left in the log.
  mc_message = strf("PauseFlag %d: grid generation held", point);
  failf(1, "Run stopped at pause point %d (F 156)\n", point);
}

bool roomForCell(int c) {
  if (c < 1 || c > MaxCeller - 1) return false;
  // Corners that the surfaces handed over already carry; the others may become new points.
  static const int corners[7][4] = {{0, 0, 0, 0}, {1, 5, 6, 2}, {2, 3, 7, 6}, {4, 8, 7, 3},
                                    {1, 4, 8, 5}, {1, 2, 3, 4}, {5, 6, 7, 8}};
  bool known[9] = {};
  int newSurfaces = 0;
  for (int s = 1; s <= 6; ++s) {
    if (NewCell.flate[s] > 0) {
      for (int m : corners[s]) known[m] = true;
    } else {
      ++newSurfaces;
    }
  }
  int newPoints = 0;
  for (int m = 1; m <= 8; ++m) newPoints += known[m] ? 0 : 1;
  return NoSurfaces + newSurfaces <= MaxFlater - 1 && NoPoints + newPoints <= MaxPunkter - 1;
}

bool capacityReached() {
  return NoPoints >= MaxPunkter - 1 || NoSurfaces >= MaxFlater - 1 || NoCells >= MaxCeller - 1;
}

int capacityFailure() {
  const int result = -std::max({NoCells, NoSurfaces, NoPoints});
  // A log that cannot be written ends the search here: the caller reports the status.
  if (!appendToLog("")) {
    mc_message = "cannot open file 'boogie' ";
    return result;
  }
  writekoosurf();
  writeControl();
  logf("Error: Unstructured arrays are too small. Increase with the F 65 data set.\n");
  logf("NoPoints=%d, MaxPoints=%d\n", NoPoints, MaxPunkter);
  logf("NoSurface=%d, MaxFlater=%d\n", NoSurfaces, MaxFlater);
  logf("NoCells=%d, MaxCeller=%d\n", NoCells, MaxCeller);
  logf("The coordinates are written to the koosurf file. This can be imported in \n");
  logf("the Grid Editor (Add block from koosurf)\n");
  logf("The NoMovePoints are written to the control.new file on the W 6 data sets.\n");
  logf("You may copy the W 6 data sets from control.new file into your control file.\n");
  logf("The control.new file does not contain all data sets, so don't use it to replace \n");
  logf("the control file.\n\n");
  return result;
}

int Unstructure() {
  const double start = startClock();
  if (UMethod2 > 0) return Unstructure2();
  announceBuild();
  if (!unstructuredArraysExist()) return -1;
  checkBlocks();

  const double depth = prepareBuild();
  const int built = buildBlocks(depth);
  if (built < 0) return built;

  linkCells();
  bedCells();
  addSpecialBlocks();
  markBuiltGrid();
  if (PauseFlag == 2) gridHold(PauseFlag);
  checkBuiltGrid();
  if ((FlagGenerateUpFlux > 0 || FlagGenerateDownFlux > 0) && DischargeStruct[1].surfaceNo <= 0)
    setFluxes();
  finishBuild(start);
  return 1;
}

}  // namespace qorva
