// Data sets F 300 to F 349 of `control`: defaults, readers and range checks. Writes the globals
// of state/options_f300_349.h. Every reader here checks the count of values first.
#include <string>

#include "driver/rows.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

namespace {

// F 317 and F 318: one entry n = 1..98 of a j-index list.
void jIndexEntry(DataSetTable& t, int number, const char* meaning, Fixed<int, 100>& list) {
  t.push_back({'F', number, meaning, declared(list),
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
  addValue(t, 301,
           "Divergence threshold: a largest residual above it (or not a number), once the allowed "
           "flushings are used up, ends the flow computation as diverged",
           MaxCrashDef, 0);
  addValue(t, 303, "Read and checked; nothing uses it", FlagFracVer, 0);
  addValue(t, 304, "Variant of the transient bed-change solvers", FlagBedVer, 0);
  addValue(t, 305, "Selects the alternative wall-law routine", FlagNewWall, 0);
  addValue(t, 306,
           "Use of the bed result file `bedres` by the reader of the sediment restart files and "
           "the sediment time loop",
           FlagUseBedres, 0);
  addValue(t, 308, "Number of blocks of the block division; needed before F 337 and G 27",
           FlagMPI, 0);
  addValue(t, 309, "Above 0, every result output also writes the interpolated results",
           FlagInterpolNew, 0);
  addValue(t, 310, "Fixed-bed option of the sediment time loop", FlagFixBed, 0);
  addValue(t, 311, "Shallow-water option (task letter L, the grid generator, array allocation)",
           FlagShallowWater, 0);
  addValue(t, 312, "Modified epsilon at walls in the wall laws", FlagModEpsilon, 0);
  addValue(t, 313, "Read and checked; nothing uses it", FlagKoordinaFix, 0);
  t.push_back({'F', 314,
               "Discharge groups made by the grid generator: a first value above 0 makes group 1 "
               "the inflow over the first cross-section, a second above 0 group 2 the outflow "
               "over the last",
               declared(FlagGenerateUpFlux, FlagGenerateDownFlux),
               [](DataSetReader& r) {
                 r.i(FlagGenerateUpFlux); r.i(FlagGenerateDownFlux);
                 r.requireCount(2);
                 r.require(in(FlagGenerateUpFlux, 0, 1000));
                 r.require(in(FlagGenerateDownFlux, 0, 10));
               }});
  addValue(t, 315, "Read and checked; nothing uses it", FlagGridMPIboundary, 0);
  addValue(t, 316,
           "Pressure coupling at block-division boundaries in the pressure step and the free "
           "surface",
           FlagPresMPIboundary, 0);
  jIndexEntry(t, 317,
              "Entry n of the j indexes of the pressure limit at the upstream side of a "
              "block-division boundary",
              jPresUp);
  jIndexEntry(t, 318, "Entry n of a list of j indexes; read and checked, nothing uses it",
              jPresDown);
  addValue(t, 319, "Read and checked; nothing uses it", FlagUnstrucMPI, 0);
  addValue(t, 320, "Zero-gradient sediment boundary in the concentration computation",
           FlagZeroGradSedim, 0);
  t.push_back({'F', 322, "Transient and momentum options of the free-surface computations",
               declared(FlagTimeSurf, FlagMomentSurf),
               [](DataSetReader& r) {
                 r.i(FlagTimeSurf); r.i(FlagMomentSurf);
                 r.requireCount(2);
                 r.require(FlagTimeSurf >= 0 && FlagMomentSurf >= 0);
               }});
  addValue(t, 323,
           "Second free-surface routine; F 36 9 is to be combined with F 323 1 (tested after "
           "reading)",
           FlagSurface2, 0);
  addValue(t, 324, "Normal-stress term of the source terms", FlagNormStress, 0);
  addValue(t, 325, "Slide option of the slide location and transient free surface", FlagSlide, 0);
  t.push_back({'F', 326, "Time step and iterations of the slide movement of the mud model",
               declared(TimeStepThixo, IterThixo),
               [](DataSetReader& r) {
                 r.d(TimeStepThixo); r.i(IterThixo);
                 r.requireCount(2);
                 r.require(IterThixo >= 0);
                 r.require(TimeStepThixo >= 0);
               }});
  addValue(t, 327, "Smoothing of the inverse central coefficients in the velocity step",
           FlagInvApSmooth, 0);
  addValue(t, 328,
           "The value 1 selects the restructured flow driver for the W task; also read by the "
           "sediment time loop",
           FlagWaterSolveNew, 0);
  // A list of output switches: it ends at the first word that is not an integer, at the first
  // value outside 0..199 (taken from the input but not stored) or after 20 values.
  t.push_back({'F', 329,
               "Output selection of the result writer: the value at position k switches output k",
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
               "Table of cohesion against depth below the bed surface (bed-change and slide "
               "computations, array allocation)",
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
  addValue(t, 331, "Read and checked; nothing uses it", znumberThixo, 2);
  addValue(t, 332, "Expansion factor of the mud fluxes and the transient free surface",
           ThixoExpansion, -0.001);
  addValue(t, 333, "Option of the transient free surface", FlagGT, 0);
  t.push_back({'F', 334,
               "Modifiers of the mud eddy viscosity and slide location, and of the cohesion in the "
               "slide safety factor",
               declared(ThixoSlideModifier, ThixoCohesiveModifier),
               [](DataSetReader& r) {
                 r.d(ThixoSlideModifier); r.d(ThixoCohesiveModifier);
                 r.requireCount(2);
                 r.require(ThixoSlideModifier >= -0.001);
                 r.require(ThixoCohesiveModifier >= 0);
               }});
  addValue(t, 335,
           "End time: the outer loop of the flow driver and the sediment time loop also end when "
           "the simulated time passes it",
           TimeEnd, -0.001);
  addValue(t, 336, "Time-step option of the mud flow in the flow driver", FlagThixoTimestep, 0);
  // Discharge of one group in one block of the block division; the division must be known.
  t.push_back({'F', 337,
               "Discharge of group g in block b of the block division (F 337 b g q; 100 blocks of "
               "20 groups)",
               declared(dischargesMPI),
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
  addValue(t, 338, "Smallest eddy viscosity of the mud (eddy viscosity and mud wall law)",
           ThixoMinGamma, 0);
  addValue(t, 339,
           "Mud grid option (grid generators, interpolation to a new grid, slide movement, array "
           "allocation)",
           FlagUnstrucThixo, 0);
  // The default 0 means "not given"; a given value must be 1..9.
  addValue(t, 340, "Outflow option of the reader of `unstruc` (the default 0 cannot be given)",
           FlagOutflow, 1, 9);
  addValue(t, 341, "Shallow-water damping in the velocity sources", FlagShallowDamp, 0, 9);
  addValue(t, 342, "Read and checked; nothing uses it", vectorIter, 0);
  // Blocks 3 and up of the water-level solver exist only with its multigrid (F 168).
  t.push_back({'F', 343,
               "Block of the water-level solver and its multigrid (array allocation, backwater)",
               declared(BlockCasulli),
               [](DataSetReader& r) {
                 r.i(BlockCasulli);
                 r.requireCount(1);
                 r.require(BlockCasulli >= 0);
                 r.require(BlockCasulli < 3 || Flag2DAccSolver != 0,
                           "Error for F 343 in control\n"
                           "This data set must only be used with the F 168 data set\n\n");
               }});
  addValue(t, 344,
           "After the multigrid solver: 1 a vertical line solution per water column with more than "
           "4 cells, 2 a line solution over the whole cell order",
           FlagSolverVertTDMA, 0);
  addValue(t, 345, "Residual limit of the water-level solver", residualCasulli, 0);
  addValue(t, 346, "Froude-number damping of the grid-level update after a free-surface change",
           FlagFroudeDamp, 0);
  addValue(t, 347, "Fixed surface during slides in the transient free surface",
           FlagFixSurfSlide, 0);
  addValue(t, 348,
           "Uneven block connections: connections of blocks with different cell counts and their "
           "flux correction",
           UnevenConnect, 0);
  addValue(t, 349, "Surface from an OpenFOAM result when `unstruc` is read",
           FlagOpenFOAMsurface, 0);
}

}  // namespace qorva
