// Sediment and water-quality transport. What other folders may call.
#pragma once

namespace qorva {

// The bed-level update (bedchange and its variants of F 255) belongs to bed/ (subsystem 11);
// the sediment loop calls it from there and writes no bed level itself.

int Components();
void morphology_tsc();

// What the second neighbours of bottom cell c bring into it under second-order upwinding of the
// sediment (F 63 1), size l (`single`: the one-size equation); 0 under the power-law scheme.
// The bed-cell balance of F 37 1 adds it to what the first neighbours bring.
double secondNeighbourInflow(int l, int c, bool single);

// Sources and boundary values of the current water-quality component (Equation 8 + k), called
// with Cap holding the neighbour links (and the time term) and Csource the old level: adds the
// first-step loads, the inflow concentrations (implicitly, into Cap), the Q terms and the heat
// exchange with the air; a term that pins a value replaces the cell's equation.
void CompSource();

// Whether the component equations carry a time term: a transient run of task C, or a transient
// flow with F 62 1 (with F 62 0 the components of a transient flow are solved steady at each
// step, and their old level is not kept).
bool componentTimeTerm();

// The near-bed equilibrium concentration Bconc[l][b] of every size l in every bed cell b with
// cells of the blocks in the work range (block inwork 1), by the formula of F 84, with the
// critical shear of each size (Shields value or curve of F 11 and F 251, hiding of F 169, bed
// slope of F 182, cohesion), the bed shear of F 279, F 459, F 499, F 507 and the effective
// shear of F 172 and F 90, the bank factors of F 214..F 217; also Bd90, Bedformheight (F 476,
// F 103) and Broughness (F 90, F 103, smoothed by F 460). Task I, and the capacity step of the
// sediment loop for formula letter R. Logs the fraction checks; ends the run with status 1 on
// shear options that fill no shear and on bed-cell tables that do not hold the blocks.
void concRijn();

// The near-bed equilibrium concentration Bconc[l][b] of every size in the bed cells of the work
// range by the formula letter of F 10 (A Ackers-White, E Engelund-Hansen, I Einstein-Brown,
// M Meyer-Peter-Mueller, S Shen-Hung, Y Yang), with Bd90, Bedformheight and Broughness; the
// capacity step of the sediment loop for those letters. No shear gives no transport.
void concEngelund();

// The shear steps that concRijn takes first, by their options: k of the bottom cells at the
// boundaries from the cells inside (F 320), the per-column shear table bedshear of block 1 by
// the rule of F 499 (1 grain-shear partition per cross-section, 2 log law, 3 slope, 4, 5, 6
// their combinations with 300 k; a column of a single cell takes the log-law shear for the
// slope shear), k raised in shallow outflow cells (F 512), and bedshear from the largest k
// within the roughness height (F 189).
void computeZeroGradSedim();
void computeBedshear();
void computeOutflowFix();
void computeShearBrenix();

// What the sand-silt-clay formula needs of a bed cell and a size.
struct MixtureInput {
  double tau = 0;   // bed shear, Pa
  double tc = 0;    // critical shear of the size, Pa
  double d = 0;     // grain size, m
  double zc = 0;    // height of the bottom cell's centre, m
  double h = 0;     // depth, m
  double Df = 0;    // D* = Df d
  double ks = 0;    // roughness of the bottom cell, m
  double ws = 0;    // fall velocity, m/s
  double d50 = 0;   // of the top layer, m
  double sf = 0.5;  // solid fraction of the top layer
  const double* fractions = nullptr;  // of the top layer, sizes 1..lnumber
};
// Equilibrium concentration (volume fraction) of one size in a bed of sand, silt and clay: the
// cohesive erosion law above 8 % clay (sizes of 2 micrometres or less), van Rijn's reference
// concentration with Egiazaroff's hiding at 5 % or less, a linear blend between. A negative
// result is logged to the file `test` and returned as 0.
double computeConcentrationMelvox(const MixtureInput& in);
// Solid fraction of a grain mixture (fractions of sizes 1..lnumber) for F 264 -1: closer packed
// the wider the spread of the sizes.
double mixtureSolidFraction(const double* fractions);

}  // namespace qorva
