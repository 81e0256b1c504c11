// The families of the free-surface algorithm F 36 (FlagTFS), named once. Every folder asks
// these instead of testing F 36 against a range of values; they read the setting alone, so
// any floor may include this header (surface.h includes it for the folders above).
#pragma once

#include "state/options.h"

namespace qorva {

// The algorithms whose update surface() makes between the outer iterations of the flow driver
// (F 36 2..5, 7..10, 21 and 30): the node updates, the shift, the level equations and the
// backwater curve.
inline bool surfaceBetweenOuterIterations() {
  return (FlagTFS >= 2 && FlagTFS <= 5) || (FlagTFS >= 7 && FlagTFS <= 10) || FlagTFS == 21 ||
         FlagTFS == 30;
}

// The algorithms the bed change lets move the surface before it regenerates the grid (F 432
// 1): the set above without 21, the per-column absolute-level equation, which the bed change
// has never called.
inline bool surfaceBetweenOuterIterationsBut21() {
  return surfaceBetweenOuterIterations() && FlagTFS != 21;
}

// The transient free surface surface_tfs (F 36 1 and 11..19): the drivers move the top levels
// of block 1 from the flow each outer iteration; it also turns the gravity form of the
// pressure on (F 181).
inline bool transientSurface() { return FlagTFS == 1 || (FlagTFS >= 11 && FlagTFS <= 19); }

// The transient surfaces whose outflow groups take the free-velocity or critical-flow rules of
// F 180 (F 36 1 and 15..19).
inline bool freeSurfaceOutflow() { return FlagTFS == 1 || (FlagTFS >= 15 && FlagTFS <= 19); }

// The transient surfaces whose pressure step sets the pressure of every top cell from the cell
// below it (F 36 13..19). F 36 11 does so in its own place, the SIMPLE corrections.
inline bool topCellPressureRule() { return FlagTFS >= 13 && FlagTFS <= 19; }

// The bed-cell level scheme (F 36 50): surface_LS in the pressure step of the last inner
// iteration, surface_LS_update between outer iterations, the level change per bed cell kept
// in Bdeltah and its top fluxes in the face fluxes.
inline bool bedCellLevelScheme() { return FlagTFS == 50; }

// Any algorithm of F 36 at all (above 0): the storage and damping terms of the pressure
// correction and the reference column before the first iteration.
inline bool surfaceAlgorithmChosen() { return FlagTFS > 0; }

// F 36 above 1: the first value of G 6 names the reference cell, whose column is searched;
// with 0 and 1 a reference given in any form is taken as it stands.
inline bool referenceFromSurfaceCell() { return FlagTFS > 1; }

// The algorithms of the update driver's own table (F 36 2..10): the second reference column
// of G 6 and the bed cells that the main driver makes on entry are theirs.
inline bool surfaceDriverAlgorithm() { return FlagTFS >= 2 && FlagTFS <= 10; }

// The algorithms that need the bed cells before the flow start-up (F 36 1 and above 10).
inline bool surfaceNeedsBedCellsFirst() { return FlagTFS == 1 || FlagTFS > 10; }

// The level equations that refresh the columns' Froude numbers and depths before they are
// built (F 36 4, 7, 8 and 9).
inline bool levelEquationWithFroude() {
  return FlagTFS == 4 || FlagTFS == 7 || FlagTFS == 8 || FlagTFS == 9;
}

// The algorithms whose level equations reach the diagonal columns, which need the
// second-neighbour coefficients (F 36 7..10).
inline bool levelEquationSecondNeighbours() { return FlagTFS >= 7 && FlagTFS <= 10; }

// The level equations whose debug check also logs the mean row of the worked columns (F 36 4
// and 7).
inline bool levelEquationMeanLogged() { return FlagTFS == 4 || FlagTFS == 7; }

}  // namespace qorva
