// The near-bed equilibrium concentration as the files of this folder share it: the quantities
// of one bed cell, the critical shear of a size, the formulas of F 84, the bed forms and the
// bank factors. Internal to src/sediment.
#pragma once

#include <array>

#include "state/blocks.h"
#include "state/cells.h"

namespace qorva::capacity {

// Room for every size a run may have (lnumber up to 50), indexed 1..lnumber.
inline constexpr int kSizeRoom = 52;

// Settings of one call, taken once.
struct Constants {
  double tc0 = 0;             // |shieldscoeff| (s - 1) 9810: critical shear per metre of grain
  double Df = 0;              // D* = Df d
  double sq = 0;              // sqrt((s - 1) 9.81)
  bool bankSwitch = false;    // any of F 214..F 217
  bool cohesionSwitch = false;  // F 411 or F 385: cohesion in the Engelund-Hansen denominator
};
Constants constants();

// One bed cell as the driver gathers it before the sizes.
struct BedCell {
  int b = 0, c = 0, i = 0, j = 0;
  int L = 1;          // top bed layer
  bool bank = false;  // a neighbouring column has no cells
  double h = 0;       // column depth, m
  double d90 = 0, d50 = 0, dm = 0;
  double tau = 0;     // bed shear, Pa, never negative
  double taue = 0;    // effective shear, Pa
  double r = 20;      // depth-mean speed over the bottom cell's speed, 0.01..20
  double uc = 0;      // horizontal speed of the bottom cell, m/s
  double zc = 0;      // half height of the bottom cell, m
  double H = 0;       // bed-form height of the previous call, m
  double f1 = 1, f2 = 1, a2 = 0;  // bank factors: shear, concentration, added concentration
  double sf = 0.5;    // solid fraction of the top layer
  std::array<double, kSizeRoom> f{};  // fractions of the top layer, sizes 1..lnumber
};

// Critical shear of one size and the factors it was made with.
struct Critical {
  double tc = 0;  // Pa
  double K = 1;   // bed-slope factor
  double hf = 1;  // hiding/exposure factor
};

// The quantities of bed cell b of block `blk` before the sizes: top layer and its fractions
// (logging the fraction checks), bank flag, depth, d90 (stored in Bd90), d50, dm, the bed
// shear (F 279, F 459, F 499, F 507), the effective shear (F 172, F 90 4 and 5), the bank
// factors and the velocity ratio.
BedCell bedCellOf(const Constants& k, const GridBlock& blk, int b);

// d90, d50 and dm of the top layer's fractions x.f (one size: its diameter for all three).
void diameters(BedCell& x);
// Grain-roughness factor of the shear in cell c: min(3 d90 / ks, 1)^0.25 with ks the cell's
// roughness; 1 where no roughness is known.
double grainFactor(double d90, int c);

// Twice the sum of the half heights of cell c and the cells above it: the depth of its column
// from c up.
double depthFrom(int c);

// Dimensionless critical shear of Shields curve `curve` (0..3) at the particle Reynolds number R.
double shieldsCurve(int curve, double R);
// Bed-slope factor of variant 1..10 of F 182 at slope angle th (rad) with cosA the cosine
// between the plan bed normal and the flow (+1 down the slope), ct the coefficient of the
// flow direction; `up` is F 109's first value, `minDamp` its lower bound of K.
double slopeFactor(int variant, double th, double cosA, double ct, double up, double minDamp);
Critical criticalShear(const Constants& k, const BedCell& x, int l);

// The concentration of size l (before the multi-size rescaling), adding its transport stage
// to `stages` when the size moves.
double sizeConcentration(const Constants& k, const BedCell& x, int l, const Critical& cr,
                         double& stages);
// F 84 9 and 11: all sizes of x.b scaled to the Engelund-Hansen load of d50.
void rescaleSizes(const Constants& k, const BedCell& x, const Critical& last);
// Engelund-Hansen concentration of grain size d in the bottom cell, with coefficient `coeff`.
double engelundHansen(const Constants& k, const BedCell& x, double d, double K, double hf,
                      double coeff);

// Bank factors f1, f2, a2 of a bank column.
void bankFactors(BedCell& x);

// Equilibrium bed-form height of F 476 from the sum of the transport stages.
double equilibriumBedForm(const BedCell& x, double stages);
// Bed-form height (with the time adaptation of F 103 2) and roughness of x.b.
void bedFormAndRoughness(const BedCell& x, double stages);
// Smoothing of Broughness over the blocks in the work range (F 460).
void smoothRoughness();

// ---- The formulas of the formula letter of F 10 ------------------------------------------

// One size in one column, as the letter formulas take it.
struct LetterInput {
  double tau = 0;  // bed shear, Pa (with the grain share of F 90 4 and 5)
  double us = 0;   // shear velocity of the whole shear, m/s
  double slope = 0;  // energy slope of the whole shear, tau / (rho g h)
  double tc = 0;   // critical shear of the size, Pa
  double d = 0;    // grain diameter, m
  double ws = 0;   // fall velocity, m/s
  double U = 0;    // depth-mean speed, m/s
  double h = 0;    // depth, m
};
// Volumetric transport per unit width (m2/s) of letter E, M, I, A, S or Y (0 for any other
// letter, and for no shear).
double letterTransport(char letter, const LetterInput& in);
// Forgets the once-per-run messages of the letter formulas (a new run).
void resetLetterWarnings();

}  // namespace qorva::capacity
