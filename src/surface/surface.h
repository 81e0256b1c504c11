// Free surface. What other folders may call.
#pragma once

namespace qorva {

void backwater();

// Steps of the free surface that this version does not have yet (hooks: surface/pending.cpp
// ends the run with their "Not available" line).
// The free-surface update of F 36 (2..10, 21, 30) and of the G 6 surface cell: moves the water
// levels zval[..][..][znumber] from the pressure field or by continuity, and regenerates the
// grid (FlagGridChange 1). The main flow driver calls it between outer iterations, and at the
// last inner iteration of an outer iteration with F 36 6.
void surface();
// The transient free surface of F 36 1 and 11..19 for block `block`.
void surface_tfs(int copyFlag, int block);
// The water-level equation of F 36 50 (first stage, in the pressure step) and its level update
// between outer iterations.
void surface_LS();
void surface_LS_update();
// Water levels of nested blocks from the coarse grid (F 238 3 and 5), after koordina is read.
void interpolateSurfaceNested();
// Debug check of the water-level equation (F 369 1): logs the bottom cells of the taking-part
// blocks whose coefficients or values look wrong; `location` names the caller's place.
void surfaceBugtrap(int location);

// Finds the reference columns of the water level (iPres, jPres and iPres2, jPres2) from the
// G 6 / G 62 cells or the G 6 outflow group, logs them, and checks that the reference cell
// lies in that group. Called once the grid is known.
void SetiPresjPres();

// Column quantities of the bed cells first..last: depth Bdepth (twice the sum of Ckdist),
// Froude number BFroude of the depth-averaged velocity, bed twist Bfly, the Froude-limited level
// BLevFroude (F 351 with F 36 7 and 9) and the mean column pressure Bpresavg (F 233 6, 7).
void computeBFroude(int first, int last);
// The mean bed rise over the upstream and the downstream cross-sections of block 1 since the
// start (depthDepositIn, depthDepositOut, never negative; F 439, F 463).
void computeDepthDeposit();

}  // namespace qorva
