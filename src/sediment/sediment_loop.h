// The sediment time loop (task S) as the files of this folder share it: the work ranges and
// time step, the face coefficients of the concentration equations, the inflow and outflow
// terms, the first solver family, the start-up of the bed layers and the mass account.
// Internal to src/sediment (and its tests).
#pragma once

#include <array>

#include "state/cells.h"
#include "state/groups.h"

namespace qorva {

// ---- Work ranges, time step, mass corrections -------------------------------------------

// The work ranges of work block n (G 25), or the whole grid without work blocks. A work block
// that holds no block gives empty ranges (first above last), never a range from cell 0.
void computeWorkBlocks(int n);
// TimeStep from the discharge of group 1 (F 350). A discharge that is not positive gives no
// step: TimeStep stays as it was.
void computeTimestep();
// Scales the east-face fluxes of every i line of block 1 to the discharge of group 1 (F 413 1).
void correctContinuity();
// The suspended volume per size before the bed moves the grid, and the rescaling after it.
void scaleConcGridMove1();
void scaleConcGridMove2();
// Height, discharge and time scale of the near-bed density current, columns iFirst..iLast of
// block 1 (F 71).
void computeDensityStat(int iFirst, int iLast);

// ---- Face coefficients of the concentration equations ------------------------------------

// Power-law coefficients with the fall velocity on vertical faces, over the surfaces
// first..last: size 1 into Cae..Cab (coeff_make1); every size, the horizontal ones shared and
// the vertical ones into Catm[l], Cabm[l] (coeff_make2); every coefficient per size
// (coeff_make2m); and the horizontal ones alone without fall velocity (coeff_make1H).
void coeff_make1(int first, int last);
void coeff_make2(int first, int last);
void coeff_make2m(int first, int last);
void coeff_make1H(int first, int last);

// F 78 5..9: the down-slope transfer between the bottom cells on either side of the faces
// first..last, added to the per-size rows (a receiving cell's link to the giver and the giver's
// central coefficient); slopeTransfer is its mass rate G (kg/s per unit concentration) across
// surface f for size l, negative when the bed of Fcell2 is the higher, 0 where the face is not
// between two bottom cells, the slope is not above 0.01 or nothing moves.
void coeff_make_bedvector(int first, int last);
double slopeTransfer(int f, int l);

// ---- Inflow and outflow terms ------------------------------------------------------------

// Sediment carried in by the inflow groups, for size 1 of the one-size equation (Cap,
// Csource) or size l of the per-size equations (Capm[l], Csourcem[l]); counts kIn, SumInflow.
void InflowSediment();
void InflowSedimentM(int l);
// F 455 / F 497 (one of them; several sizes): the inflow of size l with the concentrations
// cin[g] of the groups g = 1..9 fed into the lowest cells of each column or the deepest columns;
// the water enters over the whole section.
void inflowSedimentNearBed(int l, const double* cin);
// The cell behind boundary surface s (0 when none) and the number of surfaces of group d.
int inflowFaceCell(int s);
int inflowFaceCount(const DischargeGroup& d);
// Outflow of the bottom cells through the outflow groups and to a coarser nesting grid, added
// to Bap[l] (and to Binout for size 1).
void MakeAp(int l);

// ---- First solver family (F 37 1) --------------------------------------------------------

void morphology_tsc_solver_tsc1_single();
void morphology_tsc_solver_tsc1_multiple();
// The transverse-slope transport of size l added to the sources of the bottom cells.
void BedVectorSourceCalc(int l);
// The concentration of the bottom cell c of bed cell b for size l from the bed-cell balance,
// the deposition, the supply of the active layer and the equilibrium concentration; the cell
// is then fixed at it. `single` selects the one-size arrays.
void bedCellConcentration(int l, int b, bool single);

// What the active layer (layer 1 of the two-layer bed) of bed cell b can deliver of size l in
// one time step, in kg/s per unit concentration: thickness (times the size's fraction with
// several sizes) x area x 1000 x SolidFrac / TimeStep; with F 160 and several sizes a weighted
// mean over the bed cell and its neighbours.
double activeLayerSupply(int l, int b, bool single);

// ---- Second solver family (F 37 2) -------------------------------------------------------

void morphology_tsc_solver_tsc2_single();
void morphology_tsc_solver_tsc2_multiple();
// The erosion rate (kg/s) of size l at bed cell b, which has a bottom cell: the settling flux
// of the equilibrium concentration (by F 484 and F 304), at most the settling flux of the
// present concentration plus the active layer's supply; 0 for a cohesive size the shear cannot
// move.
double erosionRate(int l, int b, bool single);
// The factor that lifts the equilibrium concentrations of a column whose suspension, summed
// relative to capacity over the sizes, lies between 0.02 and 1 (F 484 1); 1 otherwise.
double findSuspFraction(int b);

// ---- Layered-bed solver (F 37 3) ---------------------------------------------------------

void morphology_tsc_solver_tsc3_standard();
// The active depth of bed cell b by the rule of F 447 with the active-layer thickness ta: the
// negative depth (0 or below); Barmourthick[b] takes the layer in which it ends (0 when the
// layers down to layer 1 all fit in it, BlayerTop[b] when that is below 1).
double computeArmourDepth(double ta, int b);

// The old half of the Crank-Nicolson weight of F 61 over WCStart..WCEnd, after the time term:
// the one-size equation (`single`) or every size's row.
void crankNicolsonSediment(bool single);

// ---- Steps that this version does not have yet (hooks: sediment/pending.cpp) -------------

// The Crank-Nicolson weight of F 61 under the coefficients of the bed-load vector (F 78 5..9)
// or the second-order scheme (F 63 1), which carry no implicit share.
void crankNicolsonOtherForms();

// ---- The loop itself ---------------------------------------------------------------------

namespace sedloop {

// What the loop keeps for one run.
struct Run {
  int firstStep = 1;        // number of the first step (after the steps of a restarted run)
  double Ta = 0;            // active-layer thickness, m
  int workBlocks = 1;       // number of work blocks
  double initialVolume = 0; // water volume at the start, m3
  int nextAlldata = 0;      // next alldata print time
  bool timeAdvanced = false;  // a flow driver or a skipped solve moved stimet this step
};

// The active-layer thickness: TopThickness when above 0, else the largest grain size.
double activeLayerThickness();
// The largest work-block number of G 25, at least 1.
int numberOfWorkBlocks();

// Start-up of the bed layers and masses, in the order of the run's start.
void resetCounters();          // per-size counters, negative concentrations cut, kSuspo
void initialBedLayers(double Ta);  // every column's stack, checks, solid fractions
void fixNonErodibleLevel();    // F 310 2 with a bed file read
// Mass of size l in the bed layers of the bed-cell range: two-layer or layered form.
double layerMass(int l);
void initialLayerMasses();
void emptyActiveLayer();       // BedFlags[0] 2, and Cconc_old cleared

// The grid thickness of sediment of column (i, j): mean corner bed minus non-erodible level.
double gridSedimentThickness(int i, int j);

// The time step of the timei series (F 1 J rows) and of F 532 at the present step.
void stepLength();
// The horizontal coefficients from the bottom velocities turned by the bed-load direction
// (F 84 10, F 78 1 with one size); the velocities are given back.
void bedLoadDirection();

// One time step (the steps after the head of the step); false when the run must return.
// `savedCf` is what Cf designated when the run started; the solvers re-point Cf.
bool timeStep(Run& run, const FieldRef& savedCf);
// The step's mass sums, report and debugging files; the end-of-run report.
void stepMassSums();
void continuityReport();
void stepDebugFiles();
void crossSectionFiles();
void endOfRunReport();

// The central coefficient of the one-size equation of cell c without its time term: the sum of
// its links, the second-order links of F 63 1 included.
double centralLinks(int c);
// The same for size l of the per-size equations: its own vertical links (and, with every
// coefficient per size, its own horizontal ones), second-order links included.
double sizeCentralLinks(int l, int c);

// Water volume over the cell range.
double waterVolume();
// Forgets the period averages of "outconc" (a new run).
void resetInflowState();

// The watch over the bed change of the steps (a new run forgets what it saw). watchBedChange,
// after the bed change of a step is known (Bedmove) and before the grid moves, keeps the column
// and step of the largest change of the run and, where the bed moves (F 255), warns of a step
// whose change exceeds a tenth of a column's water depth (the first ten such steps; the rest are
// counted for bedWatchSummary at the end) and notes once an inflow column that erodes more than
// a fiftieth of its depth in a step, with what the user can set. reportBedAtFailure says, when
// the flow of a step fails, in which step and column the bed had moved most.
void resetBedWatch();
void watchBedChange();
void bedWatchSummary();
void reportBedAtFailure();

}  // namespace sedloop

}  // namespace qorva
