// Discretisation: face coefficients, source terms and boundary conditions. What other folders may call.
#pragma once

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
// implicit share (1 - CrankNicols) of each coefficient. Outside a parallel region one
// call does everything. Called per chunk from a parallel region (one call per thread), each
// call does its own surfaces only, and the caller runs coeff_makeAfterChunks over the whole
// range once after the region: the second-order convective pass and the multi-neighbour step
// need every chunk done.
void coeff_make(int firstSurface, int lastSurface);
void coeff_makeAfterChunks(int firstSurface, int lastSurface);

// Time terms of the current Equation for cells firstCell..lastCell, added to Cap and Csource.
// Per chunk from a parallel region, the side damping of block 1 (F 415) waits for
// addTimestepAfterChunks, run once after the region.
void addTimestep(int firstCell, int lastCell);
void addTimestepAfterChunks();
// Raises Cap of cells with one or two horizontal neighbours to their neighbours' Cap scaled by
// the height ratio, in ascending cell order. The result depends on that order, so a call from
// inside a parallel region does nothing and addApAfterChunks does the whole range afterwards.
void addAp(int firstCell, int lastCell);
void addApAfterChunks(int firstCell, int lastCell);

// Extra horizontal diffusion (kg/s) over bedforms of F 176 across a surface between two cells.
double coeff_bedform(int surface, int cell1, int cell2);
// Coefficients of cells with several neighbours on one side (F 137), over WCStart..WCEnd.
void QNGridCoeff();

// Power-law face coefficients with closed boundary surfaces for the surfaces first..last.
void coeff_make_pow(int firstSurface, int lastSurface);

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

}  // namespace qorva
