// Discretisation: face coefficients, source terms and boundary conditions. What other folders may call.
#pragma once

#include <vector>

#include "state/team.h"

namespace qorva {

int computeVegdataFromSTL();

// Discharge groups on the grid. InterpolateBoundaryInner2(g) places group g 1..9 (its
// surface list, area, and the Fflagflow and Cinout marks); InterpolateBoundary() clears
// Cinout and places every group with a discharge and points; setFluxes() builds groups 1
// and 2 on block 1 from F 314 and places them.
void InterpolateBoundaryInner2(int g);
void InterpolateBoundary();
void setFluxes();

// Inflow terms of the discharge groups for the current Equation: the discharges of the step
// in DischargeArray, the outflow balance of F 287, Cinout, and the inflow terms added to Cap
// and Csource. boundaryFast() adds all five variables of the fast flow solver at once.
void boundary();
void boundaryFast();
// Discharge (kg/s, never negative) that outflow group g must carry to balance the others.
double computeOutflow(int g);

// Face coefficients of the transported variables for surfaces firstSurface..lastSurface:
// power law, or second-order upwind when sou[Equation] is 1; with Crank-Nicolson (F 61) the
// implicit share (1 - CrankNicols) of each coefficient. A call on the whole range does
// everything. A call on a chunk (Share::Chunk) does its own surfaces only, and the caller runs
// coeff_makeAfterChunks over the whole range once after the region: the second-order
// convective pass and the multi-neighbour step need every chunk done.
void coeff_make(int firstSurface, int lastSurface, Share share = Share::Whole);
void coeff_makeAfterChunks(int firstSurface, int lastSurface);

// Time terms of the current Equation for cells firstCell..lastCell, added to Cap and Csource.
// On a chunk (Share::Chunk) the side damping of block 1 (F 415) waits for
// addTimestepAfterChunks, run once after every chunk is done.
void addTimestep(int firstCell, int lastCell, Share share = Share::Whole);
void addTimestepAfterChunks();
// Raises Cap of cells with one or two horizontal neighbours to their neighbours' Cap scaled by
// the height ratio, in ascending cell order. The result depends on that order, so a call on a
// chunk does nothing and addApAfterChunks does the whole range afterwards.
void addAp(int firstCell, int lastCell, Share share = Share::Whole);
void addApAfterChunks(int firstCell, int lastCell);

// Extra horizontal diffusion (kg/s) over bedforms of F 176 across a surface between two cells.
double coeff_bedform(int surface, int cell1, int cell2);
// Coefficients of cells with several neighbours on one side (F 137), over WCStart..WCEnd.
void QNGridCoeff();

// Power-law face coefficients with closed boundary surfaces for the surfaces first..last.
void coeff_make_pow(int firstSurface, int lastSurface);

// Terms of the momentum, k and epsilon equations that this version does not have yet (hooks:
// discretisation/pending.cpp ends the run with their "Not available" line). Each adds to Cap
// and Csource of the current Equation over WCStart..WCEnd unless it takes a range.
// Vegetation, porosity and the other extra sources of F 115.
void extra_source();
// Dune form drag (F 498) and roughness-layer drag (F 189) of the momentum equations.
void computeDragDune();
void computeBrenix(int firstCell, int lastCell);
// Gravity along slopes (F 181, F 135) of momentum equation `equation`.
void GravityFunction(int equation, int firstCell, int lastCell);
// Density gradients (F 67).
void DensityGradients();
// Face coefficients: second-order upwind of the velocities (K 6 1 on u), and the limited
// convection corrections of K 6 above 9 added to the source.
void coeff_make_sou2(int firstSurface, int lastSurface);
void coeff_make_source(int firstSurface, int lastSurface);
// The normal stresses of F 324 in the velocity equations, cells firstCell..lastCell.
void computeNormStress(int firstCell, int lastCell);
// Vertical velocities from the continuity defect (F 69 Seiche4), after the pressure step.
void SeicheFunctions();

// Forcing and damping terms over WCStart..WCEnd unless said otherwise, added to Cap and Csource.
// WindFunction(eq): the wind stress of F 52 (or of the timei wind rows) at the top cells for
// eq 1 and 2, the surface k (eq 5) and epsilon (eq 6) it keeps up fixed by a penalty; nothing
// for eq 3. windDragFactor(W): the W^2 of the drag law of F 73 for the wind speed W (m/s).
// CoriolisFunction(): the Coriolis force of F 51 / F 80 on Equation 1 and 2.
// sourceShallowDamp(): the damping of F 341 at faces between the columns of block 1 where the
// water is shallower than the bottom cells are high. sourceBridge(): the drag of the G 22
// obstructions on every cell they cover, whatever the working range.
// turbiditycurrentSource(): the weight of the suspended sediment (F 18) in the w equation.
void WindFunction(int eq);
double windDragFactor(double W);
void CoriolisFunction();
void sourceShallowDamp();
void sourceBridge();
void turbiditycurrentSource();

// The logarithmic inflow profile of discharge group g (F 202): a cell's weight is
// ln(30 (z - zb) / XksInflow), at least 1e-7, with zb the lowest bed of the group (F 202 1) or
// the bed of the cell's own column (2); areaSum is the weight times Farea summed over the
// group's surfaces. The caller checks that XksInflow is positive.
struct LogInflowProfile {
  double lowest = 100000;  // lowest bed level under the group's cells (m)
  double areaSum = 0;
  double bed(int c) const;     // zb of cell c
  double weight(int c) const;
};
LogInflowProfile logInflowProfile(int g);

// The shaped inflow profile of discharge group g (F 524): full weight in the lower half of the
// group's height, falling linearly to 0 at its top; areaSum is the weight times Farea summed
// over the group's surfaces (0 for a group without height).
struct ShapedInflowProfile {
  double top = -100000, bottom = 100000;  // extent of the group's cells (m)
  double areaSum = 0;
  double height() const { return top - bottom; }
  double weight(int c) const;
};
ShapedInflowProfile shapedInflowProfile(int g);

// For each entry of inflow group 1, the entry of outflow group 2 whose values the cyclic
// coupling of F 174 feeds back (-1 for an entry without a cell, or when group 2 has none).
// Two ends with the same columns of the same cell counts pair entry by entry; a grid that
// gives the ends other counts (a bed change, a surface update) pairs each inflow face with
// the outflow face at the same place: the column at the same rank across the section, the
// cell at the nearest height relative to its column. Said once in boogie when the ends differ.
std::vector<int> cyclicPartners();

}  // namespace qorva
