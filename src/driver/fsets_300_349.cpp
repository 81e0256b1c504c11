// Data sets F 300 to F 349 of `control`: defaults, readers and range checks. Writes the globals
// of state/options_f300_349.h. Every reader here checks the count of values first.
#include <string>

#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

namespace {

bool in(double v, double lo, double hi) { return v >= lo && v <= hi; }

// In this range the standard failure text ends with a line end.
std::string failText(const DataSetReader& r) { return strf("Error for F %d in control\n", r.number()); }
void check(const DataSetReader& r, bool ok) { r.require(ok, failText(r)); }
void checkCount(const DataSetReader& r, int n) { r.requireCount(n, failText(r)); }

// The common row: one int, at least 0.
void intAtLeast0(DataSetTable& t, int number, int& v, int def) {
  t.push_back({'F', number, [&v, def] { v = def; },
               [&v](DataSetReader& r) {
                 r.i(v);
                 checkCount(r, 1);
                 check(r, v >= 0);
               }});
}

void doubleAtLeast(DataSetTable& t, int number, double& v, double def, double lo) {
  t.push_back({'F', number, [&v, def] { v = def; },
               [&v, lo](DataSetReader& r) {
                 r.d(v);
                 checkCount(r, 1);
                 check(r, v >= lo);
               }});
}

// F 317 and F 318: one entry n = 1..98 of a j-index list.
void jIndexEntry(DataSetTable& t, int number, Fixed<int, 100>& list) {
  t.push_back({'F', number, [&list] { for (int& e : list) e = 0; },
               [&list](DataSetReader& r) {
                 int n = 0, j = 0;
                 r.i(n); r.i(j);
                 checkCount(r, 2);
                 check(r, in(n, 1, 98));
                 check(r, j >= 1);
                 list[n] = j;
               }});
}

}  // namespace

void addFsets300_349(DataSetTable& t) {
  doubleAtLeast(t, 301, MaxCrashDef, 1e10, 0);
  intAtLeast0(t, 303, FlagFracVer, 0);
  intAtLeast0(t, 304, FlagBedVer, 0);
  intAtLeast0(t, 305, FlagNewWall, 0);
  intAtLeast0(t, 306, FlagUseBedres, 0);
  intAtLeast0(t, 308, FlagMPI, 0);
  intAtLeast0(t, 309, FlagInterpolNew, 0);
  intAtLeast0(t, 310, FlagFixBed, 0);
  intAtLeast0(t, 311, FlagShallowWater, 0);
  intAtLeast0(t, 312, FlagModEpsilon, 0);
  intAtLeast0(t, 313, FlagKoordinaFix, 0);
  t.push_back({'F', 314, [] { FlagGenerateUpFlux = 0; FlagGenerateDownFlux = 0; },
               [](DataSetReader& r) {
                 r.i(FlagGenerateUpFlux); r.i(FlagGenerateDownFlux);
                 checkCount(r, 2);
                 check(r, in(FlagGenerateUpFlux, 0, 1000));
                 check(r, in(FlagGenerateDownFlux, 0, 10));
               }});
  intAtLeast0(t, 315, FlagGridMPIboundary, 0);
  intAtLeast0(t, 316, FlagPresMPIboundary, 0);
  jIndexEntry(t, 317, jPresUp);
  jIndexEntry(t, 318, jPresDown);
  intAtLeast0(t, 319, FlagUnstrucMPI, 0);
  intAtLeast0(t, 320, FlagZeroGradSedim, 0);
  t.push_back({'F', 322, [] { FlagTimeSurf = 0; FlagMomentSurf = 0; },
               [](DataSetReader& r) {
                 r.i(FlagTimeSurf); r.i(FlagMomentSurf);
                 checkCount(r, 2);
                 check(r, FlagTimeSurf >= 0 && FlagMomentSurf >= 0);
               }});
  intAtLeast0(t, 323, FlagSurface2, 0);
  intAtLeast0(t, 324, FlagNormStress, 0);
  intAtLeast0(t, 325, FlagSlide, 0);
  t.push_back({'F', 326, [] { TimeStepThixo = 1.0; IterThixo = 0; },
               [](DataSetReader& r) {
                 r.d(TimeStepThixo); r.i(IterThixo);
                 checkCount(r, 2);
                 check(r, IterThixo >= 0);
                 check(r, TimeStepThixo >= 0);
               }});
  intAtLeast0(t, 327, FlagInvApSmooth, 0);
  intAtLeast0(t, 328, FlagWaterSolveNew, 0);
  // A list of output switches: it ends at the first word that is not an integer, at the first
  // value outside 0..199 (taken from the input but not stored) or after 20 values.
  t.push_back({'F', 329,
               [] {
                 for (int& f : PrintArrayFlags) f = 0;
                 PrintArrayFlags[0] = 1;
                 PrintArrayFlags[1] = 1;
               },
               [](DataSetReader& r) {
                 int stored = 0;
                 while (stored < 20) {
                   int v = 0;
                   if (!r.i(v) || !in(v, 0, 199)) break;
                   PrintArrayFlags[stored++] = v;
                 }
                 logf("Have read %d integers from the F 329 data set\n", stored);
               }});
  // Cohesion against depth: the count, then that many (depth, cohesion) pairs.
  t.push_back({'F', 330,
               [] {
                 NoCohesiveDepth = 0;
                 for (double& x : cohesiveDepth) x = 0;
                 for (double& x : cohesiveArr) x = 0;
               },
               [](DataSetReader& r) {
                 r.i(NoCohesiveDepth);
                 const std::string first = "Error for F 330 in control - first integer\n";
                 r.requireCount(1, first);
                 r.require(in(NoCohesiveDepth, 1, 99), first);
                 for (int i = 0; i < NoCohesiveDepth; ++i) {
                   const int before = r.count();
                   r.d(cohesiveDepth[i]); r.d(cohesiveArr[i]);
                   r.require(r.count() - before == 2 && in(cohesiveArr[i], 0, 1e8) && cohesiveDepth[i] >= 0,
                             strf("Error for F 330 in control, %d parameter\n", i));
                 }
               }});
  t.push_back({'F', 331, [] { znumberThixo = 2; },
               [](DataSetReader& r) {
                 r.i(znumberThixo);
                 checkCount(r, 1);
                 check(r, znumberThixo >= 2);
               }});
  doubleAtLeast(t, 332, ThixoExpansion, 1.0, -0.001);
  intAtLeast0(t, 333, FlagGT, 0);
  t.push_back({'F', 334, [] { ThixoSlideModifier = 1.0; ThixoCohesiveModifier = 0.2; },
               [](DataSetReader& r) {
                 r.d(ThixoSlideModifier); r.d(ThixoCohesiveModifier);
                 checkCount(r, 2);
                 check(r, ThixoSlideModifier >= -0.001);
                 check(r, ThixoCohesiveModifier >= 0);
               }});
  doubleAtLeast(t, 335, TimeEnd, 1e50, -0.001);
  intAtLeast0(t, 336, FlagThixoTimestep, 0);
  // Discharge of one group in one block of the block division; the division must be known.
  t.push_back({'F', 337, [] { for (double& q : dischargesMPI) q = 0; },
               [](DataSetReader& r) {
                 r.require(FlagMPI != 0,
                           "Error in control file. The F 337 data set can only be used\n"
                           "when preceded by an F 308 (MPI) data set\n\n",
                           -1);
                 int b = 0, g = 0;
                 double q = 0;
                 r.i(b); r.i(g); r.d(q);
                 r.requireCount(3, "Error for F 337 in control: have not read three numbers\n");
                 r.require(in(g, 1, 9), "Error for F 337 in control: 2nd integer not between 1 and 9\n");
                 r.require(q >= 0, strf("Error for F 337, group %d, block %d: discharge is too low\n", g, b));
                 // The table holds 100 blocks of 20 groups; any other block lies outside it.
                 check(r, in(b, 0, 99));
                 dischargesMPI[g + 20 * b] = q;
               }});
  doubleAtLeast(t, 338, ThixoMinGamma, 1000.0, 0);
  intAtLeast0(t, 339, FlagUnstrucThixo, 0);
  // The default 0 means "not given"; a given value must be 1..9.
  t.push_back({'F', 340, [] { FlagOutflow = 0; },
               [](DataSetReader& r) {
                 r.i(FlagOutflow);
                 checkCount(r, 1);
                 check(r, in(FlagOutflow, 1, 9));
               }});
  t.push_back({'F', 341, [] { FlagShallowDamp = 0; },
               [](DataSetReader& r) {
                 r.i(FlagShallowDamp);
                 checkCount(r, 1);
                 check(r, in(FlagShallowDamp, 0, 9));
               }});
  intAtLeast0(t, 342, vectorIter, 1);
  // Blocks 3 and up of the water-level solver exist only with its multigrid (F 168).
  t.push_back({'F', 343, [] { BlockCasulli = 0; },
               [](DataSetReader& r) {
                 r.i(BlockCasulli);
                 checkCount(r, 1);
                 check(r, BlockCasulli >= 0);
                 r.require(BlockCasulli < 3 || Flag2DAccSolver != 0,
                           "Error for F 343 in control\n"
                           "This data set must only be used with the F 168 data set\n\n");
               }});
  intAtLeast0(t, 344, FlagSolverVertTDMA, 0);
  doubleAtLeast(t, 345, residualCasulli, 1e-5, 0);
  intAtLeast0(t, 346, FlagFroudeDamp, 0);
  intAtLeast0(t, 347, FlagFixSurfSlide, 0);
  intAtLeast0(t, 348, UnevenConnect, 0);
  intAtLeast0(t, 349, FlagOpenFOAMsurface, 0);
}

}  // namespace qorva
