// What the files of the main flow driver share: the steps of one inner iteration.
#pragma once

namespace qorva {

// The velocities, k and epsilon a flow computation starts from, as the last startup() found
// them: the G 18 record, or water at rest with the k and epsilon of the inflows, the wind or
// F 200.
struct FlowStart {
  double u, v, w, k, epsilon;
};
FlowStart flowStartValues();

// One inner iteration m of WaterSolve: momentum, pressure step, k and epsilon, components,
// in their fixed order, serial or in the parallel phases. Returns 1 when the driver must
// return at once without its end-of-iteration steps (the free-surface hand-over of F 36 6 in
// the pressure step), else 0. innerIteration sets the status text of the main driver first;
// innerSteps is what follows it, the inner iteration of the main form.
int innerIteration(int m);
int innerSteps(int m);
// The same steps with `turbulence` in place of the main driver's k-epsilon step (which runs
// unless F 24 is 4..7 or the mud flow is computed); the restructured driver's inner iteration.
int innerStepsWith(int m, void (*turbulence)(int m));

// The pressure-correction step of inner iteration m (Equation 4) with the SIMPLE variants of
// F 171 (the second corrector of F 171 3 included), after the momentum step. Returns 1 when
// it has handed over to the free surface (F 36 6) and the driver must return at once, else 0.
int pressureStep(int m);

// The pressure predictor of F 171 2, 4 and 5, before the momentum step of iteration m.
void pressurePredictor(int m);

// The steps of an inner iteration, in their order: the momentum step (u, v, w), then, after
// the pressure step, k and epsilon, then the water-quality components.
void momentumStep(int m);
void turbulenceStep(int m);
// k (e = 5) or epsilon (6) of inner iteration m: eddy viscosity, sources, wall laws, face
// coefficients, time term and relaxation by r, residual, accelerators, solve, lower limit
// (ArtMinKinen for k, 1e-16 for epsilon). With `keepPenalised` cells whose value a wall law
// fixes by a penalty are not relaxed; with `coupleAfter` the nested blocks return their values
// to the coarse grid after the solve (CoupledSolverNesting).
void turbulenceEquation(int e, int m, double r, bool keepPenalised, bool coupleAfter);
// The residuals of the fast driver's five fields over the work range: per row the change one
// point update would make, summed over |.| and normalised into MaxResidual[1, 2, 3, 5, 6],
// each cell's change kept in its residual array (Cxvel_res ...) when that exists.
void residualFast();
// The turbulence step of the restructured driver for k (e = 5) or epsilon (6).
void SimpleTurbulence(int e, int m);
void componentStep(int m);
// Velocity limit of the mud block after the momentum step of a mud-flow computation.
void mudVelocityLimit();

// Ends the run on an invalid central coefficient of the u equation in cell c: a report of the
// cell in `boogie`, FlagErrorBreak = 1, status 1.
[[noreturn]] void printErrorAp(int c);

// Phases of an inner iteration run as parallel regions (F 206). Each cuts the working range of
// cells or surfaces into NoProcessesSolver chunks of deltac cells or deltaf surfaces, the last
// chunk ending at WCEnd or WFEnd, hands the chunks to the threads and returns when all are
// done; an end of the run met inside a region is carried out after it.
// Momentum set-up of Equation 1: eddy viscosity and cleared neighbour coefficients.
void momentumSetupRegion();
// Face fluxes of the surface chunks (waterflow).
void faceFluxRegion();
// Face coefficients of the surface chunks: coeff_make, or with `momentum` the generator the
// scheme of the u equation asks for.
void coefficientRegion(bool momentum);
// Momentum wall laws and pressure gradient: Cap and Csource cleared, wall_laws,
// pressure_source and the roughness-layer drag per cell chunk.
void momentumWallRegion();
// Set-up of k (Equation 5) or epsilon (6): eddy viscosity, cleared coefficients, k-epsilon
// sources and wall laws per cell chunk.
void turbulenceSetupRegion();
// Pressure central coefficient, option terms and residual of Equation 4 per cell chunk; Cf
// cleared. Returns the summed residual.
double pressureCentralRegion();
// The parts of the pressure central coefficient that both forms share: the floored sum of
// the neighbour coefficients of cells first..last, and the whole-range terms of the options
// (pressureCentralOptionsOn tells whether any is switched on).
void pressureCentralCells(int first, int last);
bool pressureCentralOptionsOn();
void pressureCentralOptions();
// Corrections of inner iteration m per pair of surface and cell chunks.
void correctionsRegion(int m);

// The finishing of a momentum equation (Equation 1..3, Cf pointing at its velocity): time
// term, one-cell term, SIMPLEC factor, neighbour sums, relaxation, diagonal doubling, 1/Ap
// with its check and column smoothing (u only), residual into MaxResidual[Equation]. Over the
// whole working range on this thread, or per chunk in a region when `parallel`.
void momentumFinish(bool parallel);
// The same for k or epsilon with relaxation factor r; with `keepPenalised` cells whose Cap
// holds a fixed-value penalty (1e20 or more) are not relaxed. Both forms end with the nesting
// coupling of F 261 11..19 (velocities) and 13 (k).
void turbulenceFinish(bool parallel, double r, bool keepPenalised);

// R of the running WaterSolve call: its largest residual after the last inner iteration, 10000
// until the first one has ended. WaterSolve keeps it here for the free-surface hand-overs of
// the pressure step (F 36 6 and 50), which test R < 1e6.
inline double WaterSolveResidual = 10000.0;

// Cap += the neighbour coefficients of cells c1..c2: the six first neighbours, with `second`
// the six second neighbours, with `lists` the non-conforming neighbour lists (twice with
// `second`).
void neighbourSum(int c1, int c2, bool second, bool lists);
// Density of water (t/m3) at temperature x (degrees C), for the thermocline buoyancy of F 75.
double waterDensity(double x);

// The porous thin-bed terms (F 7 P, F 92 2 and 3) apply to equation e.
bool porousBedTerms(int e);

// Plan area of cell c's bed cell over the vertical projection of its bottom face; 0 where the
// cell has no bed cell or the face no vertical projection.
double dampingRatio(int c);

}  // namespace qorva
