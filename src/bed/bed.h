// Bed change, slides and special bed processes. What other folders may call.
#pragma once

#include "bed/bed_modes.h"

namespace qorva {

// The bed-level update (bedchange, bedchange2 .. bedchange5 by F 255) and everything that moves
// the bed (slides, smoothing, bed layers) belong to this folder, subsystem 11; sediment/
// computes concentrations and transport and calls the bed change from here.

int computeSlidemovement();
void groundwater();
int computeSoilStress();
void computeSlideLocation();

// ---- Bed change, bed movement, bed layers, sand slide and bed smoothing ----
// The bed change of a sediment step, chosen by F 255 (the sediment loop calls one, none when
// F 68 is 2). Each moves the corner bed levels zval[i][j][1] (and Surfaces plane 1) of the
// selected blocks by Bedmove, books what the corners could not take in BedMoveDefectSum and
// BedMoveDefectAbs, then runs the common frame: bed smoothing (F 144), the copy to nested
// grids, the edge caps (F 222), the sand slide (F 56/F 270) and, every F 99 steps, the grid
// regenerated on the new bed (after the free surface under F 432 1) with its metrics, bed
// cells, carried-over fields and face fluxes; the suspended sediment the new cells gained or
// lost goes to SuspVolChangeDef. A grid that cannot be regenerated ends the run (status -1).
// bedchange (0): each column's change moves its four corners by area factors, reshaped by
// F 205, limited by the non-erodible level (F 163) and redistributed in passes (F 502, F 242).
void bedchange();
// bedchange2 (1): bedchangeCell for each column, deposition first, then the deep erosion,
// then the rest; bedchangeCell moves the corners of column (i, j) with bed cell b in the
// block of bounds i1..i2, j1..j2, and keeps the Froude limit of F 132.
void bedchange2();
void bedchangeCell(int i, int j, int b, int i1, int i2, int j1, int j2);
// bedchange3 (3): each grid point moves by the mean change of the wet columns of its block
// around it, not below the non-erodible level.
void bedchange3();
// bedchange4 (4): the grid points between the two edge lines in j of each block take the mean
// layer-built level (non-erodible base plus the stack) of the wet columns around them, the
// points on the edge lines move by Bedmove; plane 1 counts the moves when count is 1 (not in
// the first step). bedchange5 (5): after the sand slide and the smoothing by exchange, every
// grid point takes the mean layer-built level Bedlev of the wet columns around it. A NaN level
// ends the run (status -4).
void bedchange4(int count);
void bedchange5();
// F 451: a column above (below) the mean of its two neighbours along i or j by more than the
// allowed slope gives sediment to (takes it from) them, size by size through the stacks.
void bedSmooth4();

// Bedmove[b] and Bbedchange[l][b] of bed cell b from settling minus pick-up through the
// bottom surface of its column over one time step; adds the mass to SumBedChangeLoc.
void computeBedmove(int b);
// F 414: hands the deposition of a column of block 1 whose layer stack stands well above its
// corners to the neighbour that lies lowest under its stack.
void smoothBedchange();
// F 222: the corners at the outflow edge capped at the water level minus the column height
// (1, the removed mass in SumBedMoveDef), the edge corners held at the initial bed (2), or the
// outflow columns held there (3).
void computeBedBoundary();
// F 404: relaxed (or, with 5, summed) bed change in Surfaces plane 5 and the relaxed turning
// of the flow over the depth in plane 6, per column.
void computeMorphStatistics();

// The layer stack of bed cell b (BSedDistrib, Bsolidfraction, BlayerTop).
// Merges layer j (at least 1) into layer j - 1; needs BlayerTop[b] >= 1.
void JoinLayers(int b, int j);
// The layer to pass to JoinLayers when the stack is full; needs BlayerTop[b] >= 1.
int FindJoinLayer(int b);
// Joins away the empty layers of bed cell b; returns the number of joins of its main pass.
int removeZerolayers(int b);
// F 434: splits the highest layer thicker than three thickness scales in two.
void SplitLayers(int b);
// Takes the solid volume -d (d <= 0, per unit area) of size l out of layer j; returns the
// part of the demand the layer could not meet (<= 0, -0.0 when met).
double erodeLayerUnder(int b, int j, int l, double d);
// Moves the thickness a of layer `from` into layer `to`, mixing by solid volume.
void MoveSediment(int from, int to, int b, double a);
// The stack of bed cell b after the bed change dz (m, > 0 deposition, < 0 erosion, 0 only the
// clean-up), the per-size parts taken from Bbedchange[l][b] (m of bed): a deposit is a new top
// layer (two layers merged first when the stack is full), an erosion merges what is left of the
// layers it reaches into the new top layer; erosion of a size the surface lacks goes on into
// deeper layers as far as F 412 allows, and what none had is left in Bvolleft[l][b]. A broken
// stack ends the run (status -4). Touches only bed cell b, so threads may call it for
// different bed cells at once.
void ChangeLayers(int b, double dz);
// avail[l], l = 1..lnumber (avail holds lnumber + 1 entries): the solid volume per unit area
// of size l within the depth -dz below the surface of bed cell b (all zero for dz > 0), scaled
// by F 445 when that is below 1; the Meters form gives metres of bed instead.
void computeAvailableFraction(int b, double* avail, double dz);
void computeAvailableFractionMeters(int b, double* avail, double dz);

// The sand slide of F 56 / F 270 (IterAvalanche): 0 nothing; 200 and 201 each steep column
// turned about its centre to the angle of repose; 203 the top layer of the higher of two
// columns (one column wide in j) moved onto the lower; 202 and 204 half the excess of a steep
// pair through the layer stacks, 205 in the pending bed change, 206 the pending deposition of
// the higher column handed to the lower (205 and 206 from the sediment loop); any other
// positive N corner relaxation in N sweeps (one size, or several on the two-layer bed of F 37
// 1 and 2). The slide places exactly the volume it takes.
void computeSandSlide();
// The corner relaxation of several sizes: moves the level dz from grid point (iH, jH) to
// (iL, jL) through the active layers of the columns around them (b0 the column under test,
// b1 across the edge, b2 b3 also around the higher point, b4 b5 around the lower; 0 = none).
void m_updatebed(int b0, int b1, int b2, int b3, int b4, int b5, int iH, int jH, int iL, int jL,
                 double dz);
// Takes the thickness q off the active layer of b into the slide's collector, and puts the
// thickness q of the collected material onto it.
void m_shave(int b, double q);
void m_rise(int b, double q);

// Bed smoothing by F 144 (1, 3: diffusion along grid lines; 5: of Bedmove; 6: down-slope
// transport; 9..14: relaxation of spikes, maxima, warps and along fast flow).
void bedsmooth();
// Bank failure of F 266 (hook: not built yet).
void computeGLEA();
// The grid-split prevention of F 371 (third value) before the grid follows the bed; its
// service is not in this version yet (hook).
void gridSplitForBedChange();
// ---- end of bed change ----

// The mud flow (F 236) in the main flow driver. wall_thixo: the bed friction (F 338 viscosity
// over the half height) on Cap of the lowest mud cell of each column of the last mud block;
// ThixoVelDamp: the velocity damping of F 289 (fourth value, rules 1..7) in block 1, else 2,
// when marked as mud; ThixoDamp .. ThixoDamp3: the yield state of the mud of block `block` by
// F 289 0..3 at the start of an inner iteration: Cthixorat (driving over yield shear, the yield
// shear F 236 critical shear + friction slope x pressure), Cthixolev (0, 1 rest; 2 and more
// flow), Bthixolev (the mud level of each column). ThixoDamp1 and ThixoDamp2 are not in this
// version yet (hooks). computeAccHystatForce: the pressure integral of the column from `cell`
// down, over the part above the W 1 level, measured from height z.
void wall_thixo();
void ThixoVelDamp();
void ThixoDamp(int block);
void ThixoDamp1(int block);
void ThixoDamp2(int block);
void ThixoDamp3(int block);
double computeAccHystatForce(int cell, double z);

// What the sediment loop (task S) calls of this folder in each time step.
// Grain sizes of the two-layer bed after the concentrations of a step are solved (F 37 1, 2,
// and the grid with several side neighbours of F 137): the per-size exchange of every bed cell
// of WBStart..WBEnd becomes its bed change Bedmove (m) and kBedmove, and moves material between
// the active layer 1, which keeps the thickness Ta (m), and layer 0 beneath it. Erosion that the
// layers do not have is counted in bedLimDef and kLimDef. Warnings go to boogie; a negative
// active layer of the F 137 update ends the run with status -44.
void morphology_fractions(double Ta);
void morphology2_fractions(double Ta);
void morphology_QNfractions(double Ta);
// The start values of the cohesion Bcohesion of every layer (F 385, and the file `cohesion` of
// F 385 2): returns -20 when that file cannot be opened or its first record cannot be read, 0
// without F 385 and 1 otherwise; a later record that cannot be read, or names no water column,
// ends the run with status 1 naming its line.
int setInitialCohesive();

// The bed change by F 255 (0 bedchange, 1 bedchange2, 3 bedchange3, 4 bedchange4 with 0 at
// the first step and 1 later, 5 bedchange5): moves the corner bed levels and rebuilds the grid.
void bedchange();
void bedchange2();
void bedchange3();
void bedchange4(int counted);
void bedchange5();
// The grain sizes of the layered bed (F 37 3) once the solver has left the step's change in
// Bedmove and Bbedchange: each bed cell of WBStart..WBEnd (over the threads of F 206) gets its
// stack changed by ChangeLayers and its solid fractions by F 264 (-2 all SolidFrac, -1 from the
// mixture, above 0 the top layer kept Ta thick), Bedmove becomes the change of the stack's
// thickness, and the erosion the bed could not supply is added to Bvollefttot (kg).
void morphology3_fractions(double Ta);
void morphology3_fractions_parallel(int b, double Ta);
// A bed of more than two layers on the grid of F 137 (hook: not built yet).
void morphology_QNfractionsLayered(double Ta);
// Sand slide (F 56), smoothing of the bed change (F 414), morphological statistics (F 404),
// rigid slide blocks (F 236 3), dredging and dumping (F 386) and the bed-slope terms of the bed
// load of F 78 2..4, 21..29, 31..39 with F 37 3.
// The cohesion of the surface layer after each step's bed change (F 330 table or F 385 3..7).
void computeCohesion();
void computeSandSlide();
void smoothBedchange();
void computeMorphStatistics();
void computeSlideBlock();
void bagger();
// The bed-load slope terms (F 78 with F 37 3), added to Capm and Csourcem of the columns of
// block 1 before the solver: 2..4 an implicit outflow of a steep bottom cell shared by its two
// lowest side neighbours; 21..29 source, 31..39 central coefficient handed from a steep edge
// cell to its lowest neighbour. A cell without turbulent energy counts at the Shields floor of
// 0.02, so no term is unbounded.
void computeBedLoadVector();
void computeBedLoadVector3();
void computeBedLoadVector4();

}  // namespace qorva
