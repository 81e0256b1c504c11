// Pressure correction: face mass fluxes, pressure-correction coefficients and sources, the
// corrections and the pressure-gradient sources. What other folders may call.
#pragma once

#include "state/team.h"

namespace qorva {

// Mass fluxes Fflux (kg/s) of surfaces firstSurface..lastSurface from the interpolated cell
// velocities plus the Rhie-Chow pressure term of F 113 (or F 36 11, F 235 13, F 69), then the
// nesting surfaces, the multi-neighbour sums and the uneven block joint. A call on the whole
// range does everything. A call on a chunk (Share::Chunk) does its own surfaces, and the
// caller runs waterflowAfterChunks once after every chunk is done for the steps that concern
// the whole grid.
void waterflow(int firstSurface, int lastSurface, Share share = Share::Whole);
void waterflowAfterChunks();

// Pressure-correction coefficients of Equation 4 from 1/Ap.
void pressure_coeff();
// Continuity defect of every cell (with storage terms and group discharges) as the source of
// the pressure-correction equation, and the boundary mass fluxes.
void pressure_fluxes();
// Pressure-gradient sources of the momentum equation Equation for cells first..last.
void pressure_source(int firstCell, int lastCell);
void presSourceFast();
// Surface condition of Equation 4 (F 357) on cells firstCell..lastCell (the work range, or a
// chunk of it from a parallel body).
void presSurfFunction(int firstCell, int lastCell);
// Filter of the corrected pressure in the columns of block 1 (F 426), and the reset of
// pressures above the bed pressure of the reference column of F 317 (serial).
void pressureFilter();
void limitPressureMPI();
// Block-division exchanges of the pressure sources: nothing to do in an undivided run.
void pressure_sourceMPI();
void pressure_sourceMPI2();
void pressure_transferMPI();
// Corrections of fluxes, velocities and pressure after the pressure-correction solve.
void SimpleCorrections(int innerIter, int firstSurface, int lastSurface, int firstCell, int lastCell);
void FilterPressure();
void TrekantPresCorr();
void CorrSimpleCorrections();
// Threaded corrections: SimpleCorrectionsBeforeChunks() once before the parallel region (it
// clamps p' under F 372 1 and puts SimpleCorrections into chunk mode), SimpleCorrections once
// per chunk inside it, then CorrSimpleCorrections() after it, which starts with
// SimpleCorrectionsAfterChunks(): the flow-direction repair and the pressure steps that need
// every chunk done, over the union of the chunks' cell ranges.
void SimpleCorrectionsBeforeChunks();
void SimpleCorrectionsAfterChunks();
// True when F 157, F 291 and F 69 choose a form of the velocity correction that this version
// does not have (the corrections then end the run with the line of its hook).
bool velocityCorrectionMissing();

// The pressure term of cell c of momentum equation eq from the pressures of the neighbouring
// columns interpolated at the level of its centre (F 114 6, 9, 10; F 355 picks the blend of 9
// and 10 with the plain grid difference); the caller subtracts it from Csource[c].
double d_di_orth_Pres(int eq, int c);
double d_di_anti_Pres(int eq, int c);
double d_di_anti_Pres2(int eq, int c);

// Steps that this version does not have yet (hooks: pressure/pending.cpp ends the run with
// their "Not available" line).
// Velocity corrections of cells firstCell..lastCell in the forms this version does not have:
// the damped form of F 291, the form without its vertical part (F 157 0 with F 69 Seiche3 set)
// and the forms of F 157 `form`.
void dampedVelocityCorrection(int firstCell, int lastCell);
void horizontalVelocityCorrection(int firstCell, int lastCell);
void velocityCorrectionForm(int form, int firstCell, int lastCell);

}  // namespace qorva
