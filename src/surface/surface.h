// Free surface. What other folders may call.
#pragma once

#include "surface/surface_modes.h"

namespace qorva {

// The free-surface update between flow iterations (F 36 0 and 2 and the values that take the
// same road, F 323 0): refreshes the column quantities and the reference levels, moves the
// water levels zval[..][..][znumber] and [znumber + 1] of the worked blocks from the pressure
// of the top cells, applies the shared corrections and rebuilds the grid on the new levels
// (computeTailSurf, FlagGridChange 1). Other algorithms of F 36 and F 323 are hooks that end
// the run. Ends the run on a dry or missing reference column and on a pressure reference that
// is not a number (after writing alldata).
void surface();

// The common last stage of an update: outlet, edge and nested levels, the F 381 clamp, the
// grid-split rise (F 371) and pond reduction (F 379), then the current fields copied to the
// previous ones, the grid rebuilt (Unstructure, metric, BedMake, fluxes, F 168 levels) and the
// state of the old grid reset. Ends the run when the rebuild fails.
void computeTailSurf();

// Finds the reference columns of the water level (iPres, jPres and iPres2, jPres2) from the
// G 6 / G 62 cells or the G 6 outflow group, logs them, and checks that the reference cell
// lies in that group. Called once the grid is known.
void SetiPresjPres();

// The reference levels of one update: GlobZRef, GlobPresRef, GlobZRef2, GlobPresRef2 from the
// reference columns, the G 62 inflow group, the F 416 outflow group, the timei levels and the
// F 439 deposit offsets; counts the update (NoNumSurfUpdate, stimeWL1, stimeWL2) and finds the
// outlet group FlagDSO1. Returns the top cell of the reference column, or of the outlet column
// that stands in for a dry one; 0 only under F 36 3. Ends the run on a dry reference column
// without a usable outlet group (after writing alldata and the results for Error 2).
int computeSurfaceReferences();

// Pins of the water-level equation (rows at the columns' bottom cells): the reference columns
// and the boundary columns of the groups of G 6 / G 62 get Cap 1e20 and the wanted level change
// (the level itself for F 36 9) in Csource; F 36 9 adds the group discharges and starts Cf at
// GlobZRef.
void setSurfaceBoundary();

// Outlet levels: the open sides of the columns of outflow group FlagDSO1 take GlobZRef, with
// the upstream blending of F 353 10 or 11.
void computeSurfDownstream();

// Column quantities of bed cells first..last: Bdepth, BFroude, Bfly, the Froude-limited level
// BLevFroude (F 351 1) and the mean pressure Bpresavg (F 233 6, 7).
void computeBFroude(int first, int last);
// Depth Bdepth and Froude number BFroude of the columns of every unskipped block from the
// present flow, and nothing else: for the steps that weigh by the Froude number between the
// free-surface updates (the terrain pressure form of F 355 14).
void computeColumnFroude();
// Water volume (m3) of the columns of the worked blocks.
double computeVolRes();
// Mean water depth (m) over the wet grid lines of block 1.
double computeAvDepth();
// Mean bed rise at the upstream and downstream ends of block 1 (depthDepositIn, ..Out).
void computeDepthDeposit();

// The pressure-based node update in its plainest form (one or two references).
void computeSurfClassic();
// Depth (m) below which a supercritical column (Froude number Fr, mean speed U) with bottom
// cell c is not let run dry, by F 246 third value; 0 where no limit applies.
double computeLimdepth(int c, double Fr, double U);
// The pressure reset after a rebuild by F 128 (-1: zero; 2: critical-flow floor).
void computeSetPresZero();

// The one-dimensional backwater curve along block 1 (task Q, F 36 30, the scaling of F 477 and
// of F 36 4 with F 343 30): from GlobZRef (the W 1 level while unset) at the last grid line the
// level rises upstream by each cross-section's friction slope for the group 1 discharge (the
// W 1 discharge without flow); sets maxBackwater, Bd90 under F 475, and for F 36 30 or F 343 30
// the top levels of block 1 and Cf at its bottom cells. Ends the run without a grid.
void backwater();
// Start values of the level changes of block 1 from the mean top pressures of its grid lines
// (Cf at the bottom cells; F 36 4 with F 343 4).
void backwaterPres();
// Median top-cell pressure (Pa) at the faces of discharge group `group` (the first 49); ends the
// run when the group has none.
double findMedianPressure(int group);

// Edge levels of the tail by F 187: flat levels toward dry columns (1), the outlet group's
// open sides at `level` with the F lines inward raised to it (2..99), the east outlet blend
// (100, 101), the wet inflow edge (-1); other values do nothing.
void surfaceEdge(double level);
// Edge levels lifted where the flow leaves the wet area, by F 229: toward the Manning friction
// level (1) or above the dry depth in shallow one-column channels (2); other values do nothing.
void surfacePreventDiv();

// The transient free surface of F 36 1 and 11..19: moves the water levels of block `block` by
// one time step from the flux balance (or pressure, or kinematic form) of each column's top
// cell, imposes the timei levels and the outlet damping, smooths, and rebuilds the grid
// (unless a sediment run leaves that to the bed change, F 37 without F 166). copyFlag is
// always 0.
void surface_tfs(int copyFlag, int block);
// Slope-limited smoothing of block b's new levels (F 178 variants, F 361 slope bound).
void surface_smoother2(int b);
// Shared corrections of the tail: wet/dry corner smoothing of block 1 (F 425) and surface
// smoothing of the worked blocks (F 154).
void smoothNewCorners();
void surface_smoother();

// F 36 5 and 6: each column's level change from the side inflow of its top cell, coupled
// upwind to the inflow neighbours (one solve), put on the nodes as the mean of their columns.
void surface_continuity();
// F 36 10: absolute column levels carried upstream along the top velocity, supercritical
// columns held at the critical depth, the reference column (bottom cell below refCell) at
// zref; the nodes move by RelaxSurface toward the level plus pressure head of their columns.
void surfaceAlgo10(int refCell, double zref);
// F 36 50: the level change of each column of block 1 from its top cell's bottom flux over one
// time step, added up in Bdeltah (surface_LS); the changes put on the nodes as means of the
// columns around each node or weighted by VectorWeight (F 227 2), smoothed (F 154 1) and the
// grid rebuilt (surface_LS_update).
void surface_LS();
void surface_LS_update();
// Share weight of node (i, j) for the column of cell c: upstream nodes below Froude 0.5,
// downstream ones above 1.5, a linear passage between.
double VectorWeight(int c, int i, int j);
// Water levels of nested blocks from the surface of their coarse columns, smoothed (F 238 3, 5).
void interpolateSurfaceNested();
// The pressure of each nested block shifted so that its mean meets that of its coarse partner
// cells (F 238 4).
void scalePressureNested();
// Debug check of the water-level equation (F 369 1, debug letters D and E): logs the bottom
// cells of the worked blocks whose coefficients or values look wrong; `location` names the
// caller's place.
void surfaceBugtrap(int location);
// Sum of the mean pressures (Pa) of the cells c1..c4 and the cells below each (0 for a cell 0);
// the mean of c4's column in `fourth`. Kept beside the check; no step calls it.
double surfaceNonhydro(int c1, int c2, int c3, int c4, double& fourth);
// Pins the water-level equation to the timei downstream level at the reference column and
// the outflow groups of G 6 (the upstream level at the second reference column). Kept beside
// the check; no step calls it.
void surface_solver_downstream();

// Steps of the free surface that this version does not have yet (hooks: surface/pending.cpp
// ends the run with their "Not available" line).
// The slide fluxes of a mud layer (F 236 3), which the transient surface subtracts.
void thixoSlideFluxes();
// The separate-builder road of F 323 1 and the pressure-head road of F 323 2.
void surface2();
void surface3();
// Algorithms of the update's own road other than the pressure-based node update.
void surfaceShift();                 // F 36 3
void surfaceFivePoint(int cR);       // F 36 4 and 21; cR the reference column's bottom cell
void surfaceNinePoint(int cR);       // F 36 7 and 8

}  // namespace qorva
