// Bed change, slides and special bed processes. What other folders may call.
#pragma once

namespace qorva {

// The bed-level update (bedchange, bedchange2 .. bedchange5 by F 255) and everything that moves
// the bed (slides, smoothing, bed layers) belong to this folder, subsystem 11; sediment/
// computes concentrations and transport and calls the bed change from here.

int computeSlidemovement();
void groundwater();
int computeSoilStress();
void computeSlideLocation();
// Joins away the empty layers of bed cell b; returns the number of joins.
int removeZerolayers(int b);

// The mud flow (F 236) in the main flow driver (hooks: not built yet). wall_thixo: the bed
// friction of the mud block in place of the pressure gradient of the momentum equations;
// ThixoVelDamp: the velocity damping of F 289 after the pressure step; ThixoDamp .. ThixoDamp3:
// the yield state of the mud of block `block` by F 289 0..3, at the start of an inner iteration.
void wall_thixo();
void ThixoVelDamp();
void ThixoDamp(int block);
void ThixoDamp1(int block);
void ThixoDamp2(int block);
void ThixoDamp3(int block);

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

// Steps of the sediment loop that this version does not have yet (hooks: bed/sediment_hooks.cpp
// ends the run with their "Not available" line). The bed change by F 255 (0 bedchange, 1
// bedchange2, 3 bedchange3, 4 bedchange4 with 0 at the first step and 1 later, 5 bedchange5):
// moves the corner bed levels by Bedmove and rebuilds the grid.
void bedchange();
void bedchange2();
void bedchange3();
void bedchange4(int counted);
void bedchange5();
// The grain sizes of the layered bed (F 37 3), and of a bed of more than two layers on the grid
// of F 137.
void morphology3_fractions(double Ta);
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
void computeBedLoadVector();
void computeBedLoadVector3();
void computeBedLoadVector4();

}  // namespace qorva
