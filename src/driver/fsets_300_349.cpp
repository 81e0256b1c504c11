// Data sets F 300 to F 349 of `control`: defaults, readers and range checks. Writes the globals
// of state/options_f300_349.h. Every reader here checks the count of values first.
#include <string>

#include "driver/rows.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

namespace {

// F 317 and F 318: one entry n = 1..98 of a j-index list.
void jIndexEntry(DataSetTable& t, int number, Fixed<int, 100>& list) {
  t.push_back({'F', number, declared(list),
               [&list](DataSetReader& r) {
                 int n = 0, j = 0;
                 r.i(n); r.i(j);
                 r.requireCount(2);
                 r.require(in(n, 1, 98));
                 r.require(j >= 1);
                 list[n] = j;
               }});
}

}  // namespace

void addFsets300_349(DataSetTable& t) {
  addValue(t, 301, MaxCrashDef, 0);
  addValue(t, 303, FlagFracVer, 0);
  addValue(t, 304, FlagBedVer, 0);
  addValue(t, 305, FlagNewWall, 0);
  addValue(t, 306, FlagUseBedres, 0);
  addValue(t, 308, FlagMPI, 0);
  addValue(t, 309, FlagInterpolNew, 0);
  addValue(t, 310, FlagFixBed, 0);
  addValue(t, 311, FlagShallowWater, 0);
  addValue(t, 312, FlagModEpsilon, 0);
  addValue(t, 313, FlagKoordinaFix, 0);
  t.push_back({'F', 314, declared(FlagGenerateUpFlux, FlagGenerateDownFlux),
               [](DataSetReader& r) {
                 r.i(FlagGenerateUpFlux); r.i(FlagGenerateDownFlux);
                 r.requireCount(2);
                 r.require(in(FlagGenerateUpFlux, 0, 1000));
                 r.require(in(FlagGenerateDownFlux, 0, 10));
               }});
  addValue(t, 315, FlagGridMPIboundary, 0);
  addValue(t, 316, FlagPresMPIboundary, 0);
  jIndexEntry(t, 317, jPresUp);
  jIndexEntry(t, 318, jPresDown);
  addValue(t, 319, FlagUnstrucMPI, 0);
  addValue(t, 320, FlagZeroGradSedim, 0);
  t.push_back({'F', 322, declared(FlagTimeSurf, FlagMomentSurf),
               [](DataSetReader& r) {
                 r.i(FlagTimeSurf); r.i(FlagMomentSurf);
                 r.requireCount(2);
                 r.require(FlagTimeSurf >= 0 && FlagMomentSurf >= 0);
               }});
  addValue(t, 323, FlagSurface2, 0);
  addValue(t, 324, FlagNormStress, 0);
  addValue(t, 325, FlagSlide, 0);
  t.push_back({'F', 326, declared(TimeStepThixo, IterThixo),
               [](DataSetReader& r) {
                 r.d(TimeStepThixo); r.i(IterThixo);
                 r.requireCount(2);
                 r.require(IterThixo >= 0);
                 r.require(TimeStepThixo >= 0);
               }});
  addValue(t, 327, FlagInvApSmooth, 0);
  addValue(t, 328, FlagWaterSolveNew, 0);
  // A list of output switches: it ends at the first word that is not an integer, at the first
  // value outside 0..199 (taken from the input but not stored) or after 20 values.
  t.push_back({'F', 329,
               declared(PrintArrayFlags),
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
               declared(NoCohesiveDepth, cohesiveDepth, cohesiveArr),
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
  addValue(t, 331, znumberThixo, 2);
  addValue(t, 332, ThixoExpansion, -0.001);
  addValue(t, 333, FlagGT, 0);
  t.push_back({'F', 334, declared(ThixoSlideModifier, ThixoCohesiveModifier),
               [](DataSetReader& r) {
                 r.d(ThixoSlideModifier); r.d(ThixoCohesiveModifier);
                 r.requireCount(2);
                 r.require(ThixoSlideModifier >= -0.001);
                 r.require(ThixoCohesiveModifier >= 0);
               }});
  addValue(t, 335, TimeEnd, -0.001);
  addValue(t, 336, FlagThixoTimestep, 0);
  // Discharge of one group in one block of the block division; the division must be known.
  t.push_back({'F', 337, declared(dischargesMPI),
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
                 r.require(in(b, 0, 99));
                 dischargesMPI[g + 20 * b] = q;
               }});
  addValue(t, 338, ThixoMinGamma, 0);
  addValue(t, 339, FlagUnstrucThixo, 0);
  // The default 0 means "not given"; a given value must be 1..9.
  addValue(t, 340, FlagOutflow, 1, 9);
  addValue(t, 341, FlagShallowDamp, 0, 9);
  addValue(t, 342, vectorIter, 0);
  // Blocks 3 and up of the water-level solver exist only with its multigrid (F 168).
  t.push_back({'F', 343, declared(BlockCasulli),
               [](DataSetReader& r) {
                 r.i(BlockCasulli);
                 r.requireCount(1);
                 r.require(BlockCasulli >= 0);
                 r.require(BlockCasulli < 3 || Flag2DAccSolver != 0,
                           "Error for F 343 in control\n"
                           "This data set must only be used with the F 168 data set\n\n");
               }});
  addValue(t, 344, FlagSolverVertTDMA, 0);
  addValue(t, 345, residualCasulli, 0);
  addValue(t, 346, FlagFroudeDamp, 0);
  addValue(t, 347, FlagFixSurfSlide, 0);
  addValue(t, 348, UnevenConnect, 0);
  addValue(t, 349, FlagOpenFOAMsurface, 0);
}

}  // namespace qorva
