// Data sets F 250 to F 299 of `control`: defaults, readers and range checks, and the residual
// file `tafnor` that F 293 starts. Writes the globals of state/options_f250_299.h,
// IterAvalanche and AngleAvalanche; reads FlagTSC, NoProcessesSolver, Flag2DAccSolver and
// FlagMinLevUnstruc of data sets given earlier.
#include <cstdio>

#include "driver/rows.h"
#include "state/log.h"
#include "state/options.h"
#include "state/safe_file.h"

namespace qorva {

namespace {

// Starts the residual history: the flow driver appends one line per iteration.
void startTafnor() {
  OutFile f("tafnor");
  if (!f.ok()) failf(-4, "Error, cannot open file 'tafnor'\n");
  f.printf("Iteration, Residuals: Ux, Uy, Uz, Continuity, k, epsilon\n");
  f.commitOrEnd(-4);
}

}  // namespace

void addFsets250_299(DataSetTable& t) {
  addValue(t, 250,
           "Inflow discharge group whose mean level and pressure give the second reference level "
           "of the free-surface computation (G 62 also sets it)",
           kSurf2, 0);
  addValue(t, 251, "Shields-curve option of the van Rijn concentration computation",
           FlagShields, 0, 3);  // Shields curves 0 to 3
  addValue(t, 252, "Relaxation of the outflow flux in the sediment equation coefficients",
           relaxOutFlux, 0);
  addValue(t, 253, "Implicit variant of the sediment solver", FlagImplicitSedim, 0);
  addValue(t, 254, "Weight of the pressure correction in the transient free-surface algorithm",
           TFS17WeightPresCorr);
  addValue(t, 255,
           "Bed-change option of the sediment time loop; its combinations are checked after "
           "reading",
           FlagBedchangeOption, 0);
  t.push_back({'F', 256,
               "Largest bed concentration used by the van Rijn concentration computation and the "
               "sediment time loop",
               declared(MaxBedConc),
               [](DataSetReader& r) {
                 r.d(MaxBedConc);
                 r.requireCount(1, "Error for F 256 in control\nHave not read any floating point number\n");
                 r.require(MaxBedConc >= 0);
               }});
  addValue(t, 257,
           "Diagnostic grid output: 2 and above write the grid to `unstruc.dbg`; exactly 2 also "
           "writes the result to `result.csh`",
           FlagCrashGrid, 0);
  addValue(t, 258, "Stress term of the pressure and correction steps", FlagStressTerm, 0);
  addValue(t, 259, "Variant of the stress-strain computation of the soil model",
           FlagStressStrain, 0);
  // Flocculation needs a transient sediment computation, which F 37 must have chosen before.
  t.push_back({'F', 260, "Read and checked; nothing uses it", declared(FlagFlocDLL),
               [](DataSetReader& r) {
                 r.i(FlagFlocDLL);
                 r.requireCount(1);
                 r.require(FlagFlocDLL >= 0);
                 if (FlagFlocDLL != 0 && FlagTSC <= 1)
                   logf("Error in control file. The F 260 data set will only work\n"
                        "when the F 37 data set is set to 2 or 3\n\n");
               }});
  // Coupling modes 16 and 18 give wrong residuals when the loops run on threads.
  t.push_back({'F', 261, "Two-way coupling of nested grids: coupling mode and relaxation",
               declared(FlagCoupledNesting, RelaxCoupledNesting),
               [](DataSetReader& r) {
                 r.i(FlagCoupledNesting); r.d(RelaxCoupledNesting);
                 r.requireCount(2);
                 r.require(FlagCoupledNesting >= 0 && RelaxCoupledNesting >= 0);
                 if (NoProcessesSolver >= 1 && (FlagCoupledNesting == 16 || FlagCoupledNesting == 18))
                   logf("Warning: The combination of F 206 and F 261 data sets in the control file will\n"
                        "give incorrect residuals\n");
               }});
  addSwitchValue(t, 262,
                 "Groundwater computation (task letter G, slide safety) and the hydraulic "
                 "conductivity",
                 FlagGroundwater, Conductivity, 0, 0);
  // One data set per discharge group; groups not given keep -1.
  t.push_back({'F', 263, "Free-surface update setting u of discharge group g", declared(updates),
               [](DataSetReader& r) {
                 int g = 0, u = 0;
                 r.i(g); r.i(u);
                 r.requireCount(2);
                 r.require(in(g, 1, 9));
                 r.require(u >= 0);
                 updates[g] = u;
               }});
  addValue(t, 264, "Density algorithm of the bed-layer fractions in the sediment time loop",
           FlagDensityAlgo);
  addValue(t, 265, "Graphics parameter of the Tecplot and VTK writers", di_graph, 0.001, 0.999);
  t.push_back({'F', 266, "Slope-stability option of the bed change with its slope and cohesion",
               declared(FlagGLEA, SlopeGLEA, CohesionGLEA),
               [](DataSetReader& r) {
                 r.i(FlagGLEA); r.d(SlopeGLEA); r.d(CohesionGLEA);
                 r.requireCount(3);
                 r.require(FlagGLEA >= 0 && SlopeGLEA >= 0 && CohesionGLEA >= 0);
               }});
  addValue(t, 267, "Read and checked; nothing uses it", FlagNoContour, 0);
  addValue(t, 268, "Whether the Tecplot and VTK writers show the nested blocks", FlagViewNested, 0);
  // Switches 10 and 11; G 50 gives 0..9 and leaves these alone.
  t.push_back({'F', 269,
               "Two switches of the parallel regions of the flow solver (G 50 sets the others)",
               declared(FlagOpenMP[10], FlagOpenMP[11]),
               [](DataSetReader& r) {
                 r.i(FlagOpenMP[10]); r.i(FlagOpenMP[11]);
                 r.requireCount(2, strf("Error for F 269 in control\n%s",
                                        r.count() == 1 ? "The data set needs two integers. Default F 269 1 1\n" : ""));
                 r.require(FlagOpenMP[10] >= 0 && FlagOpenMP[11] >= 0);
               }});
  // F 56 defaults IterAvalanche and AngleAvalanche.
  t.push_back({'F', 270,
               "Sand slides with separate angles: iterations and the tangents of the angles of "
               "repose upwards and downwards (F 56 sets the first and last)",
               declared(AngleAvalancheUp),
               [](DataSetReader& r) {
                 r.i(IterAvalanche); r.d(AngleAvalancheUp); r.d(AngleAvalanche);
                 r.requireCount(3);
                 r.require(IterAvalanche >= 0);
                 r.require(in(AngleAvalanche, 0.01, 70));
                 r.require(in(AngleAvalancheUp, 0.01, 70));
               }});
  addValue(t, 271,
           "Second free-surface option of the pressure coefficients, fluxes and corrections",
           FlagTFS2, 0);
  addValue(t, 272, "Kato-Launder modification of the production of k", FlagKatoLaunder, 0);
  // Only the variant 2 takes an epsilon coefficient.
  t.push_back({'F', 273, "Alternative wall-law variant and its epsilon coefficient",
               declared(FlagGENMIX, coeffEps),
               [](DataSetReader& r) {
                 r.i(FlagGENMIX);
                 r.requireCount(1);
                 r.require(FlagGENMIX >= 0);
                 if (FlagGENMIX == 2) {
                   r.d(coeffEps);
                   r.require(r.count() >= 2 && coeffEps >= 0,
                             "Error for 2nd parameter on F 273 data set in control file\n");
                 }
               }});
  addValue(t, 274,
           "Bed angles per bed cell read from the file `bedangle` (sand slides, critical shear)",
           FlagBedAngles, 0);
  t.push_back({'F', 275, "Constants C1 and C2 of the epsilon equation",
               declared(EpsilonCs1, EpsilonCs2),
               [](DataSetReader& r) {
                 r.d(EpsilonCs1); r.d(EpsilonCs2);
                 r.requireCount(2);
                 r.require(EpsilonCs1 >= 0 && EpsilonCs2 >= 0);
               }});
  addValue(t, 276, "Inflow and outflow levels option of the reader of `unstruc`",
           FlagInOutLevels, 0);
  addValue(t, 277, "Bed-defect option of the sediment time loop and the profile output",
           FlagBedDefect, 0);
  addValue(t, 278, "Third free-surface option of the surface coefficients", FlagTFS3, 0);
  addValue(t, 279, "Neighbour-averaged bed shear in the van Rijn concentration computation",
           FlagShearNB, 0);
  addValue(t, 280, "Flux interpolation of the nesting source and the nesting maps",
           FlagNestFluxInterpol, 0);
  addSwitchValue(t, 281, "Dune effect on the eddy viscosity and its factor",
                 FlagDuneEddy, DuneEddyFactor, 0, 0);
  addValue(t, 282, "Downwind update of the free surface", FlagUpdateDownwind, 0);
  addValue(t, 283, "Fourth limiter of the free-surface computations", FlagSurfLimit4, 0);
  addValue(t, 284,
           "Form of the free-surface storage term in the continuity source of the flux computation "
           "(transient runs only)",
           FlagTFS4, 0);
  t.push_back({'F', 285,
               "Bed-concentration option of the sediment time loop (F 376 also sets it); "
               "`FlagBedSlope` is not used",
               declared(FlagBedConcentration, FlagBedSlope),
               [](DataSetReader& r) {
                 r.i(FlagBedConcentration); r.i(FlagBedSlope);
                 r.requireCount(2);
                 r.require(FlagBedConcentration >= 0 && FlagBedSlope >= 0);
               }});
  // Only the variant 6 takes the two limits.
  t.push_back({'F', 287, "Global flux correction at the boundaries and its two limits",
               declared(FlagGlobFlux, GlobFluxLim1, GlobFluxLim2),
               [](DataSetReader& r) {
                 r.i(FlagGlobFlux);
                 r.requireCount(1);
                 r.require(FlagGlobFlux >= 0);
                 if (FlagGlobFlux == 6) {
                   r.d(GlobFluxLim1); r.d(GlobFluxLim2);
                   r.require(r.count() >= 3 && GlobFluxLim1 >= 0 && GlobFluxLim1 <= GlobFluxLim2,
                             "Error for F 287 6 in control\n");
                 }
               }});
  t.push_back({'F', 289,
               "Damping of the thixotropic (mud) flow: damping variant, grid option, coefficient "
               "damping (not used) and velocity damping",
               declared(FlagThixoDamp, FlagThixoGrid, FlagThixoDampAp, FlagThixoDampVel),
               [](DataSetReader& r) {
                 r.i(FlagThixoDamp); r.i(FlagThixoGrid); r.i(FlagThixoDampAp); r.i(FlagThixoDampVel);
                 r.requireCount(4, strf("Error for F 289 in control\n"
                                        "There should be four integers on the data set. Now there is %d\n",
                                        r.count()));
                 r.require(FlagThixoDamp >= 0 && FlagThixoGrid >= 0 && FlagThixoDampAp >= 0 &&
                              FlagThixoDampVel >= 0);
               }});
  t.push_back({'F', 290,
               "Coefficient of the vertical eddy viscosity; the second value is not used",
               declared(GammaVertCoeff1, GammaVertCoeff2),
               [](DataSetReader& r) {
                 r.d(GammaVertCoeff1); r.d(GammaVertCoeff2);
                 r.requireCount(2);
                 r.require(GammaVertCoeff1 >= 0);
               }});
  // The damping options are not made for the threaded loops, hence the standing warning.
  t.push_back({'F', 291,
               "Damping options of the velocity step, the velocity sources and the corrections",
               declared(FlagDamp1, FlagDamp2, FlagDamp3),
               [](DataSetReader& r) {
                 r.i(FlagDamp1); r.i(FlagDamp2); r.i(FlagDamp3);
                 r.requireCount(3);
                 r.require(FlagDamp1 >= 0 && FlagDamp2 >= 0 && FlagDamp3 >= 0);
                 logf("Warning: The F 291 data set parameters will mostly only work\n"
                      "with F 206 0\n\n");
               }});
  // Inner time steps with the accelerated water-level solver and minimum-level shaping
  // (F 168 and F 102 given before) tend to blow up; the value 5 asks for it deliberately.
  t.push_back({'F', 292, "Inner time step of the transient term and of the water-level solver",
               declared(FlagInnerTimestep, InnerTimestep),
               [](DataSetReader& r) {
                 r.i(FlagInnerTimestep); r.d(InnerTimestep);
                 r.requireCount(2);
                 r.require(FlagInnerTimestep >= 0);
                 r.require(InnerTimestep >= 1e-20);
                 r.require(!(FlagInnerTimestep == 1 && Flag2DAccSolver >= 1 && FlagMinLevUnstruc >= 1),
                           "Warning for F 292 and F 168 and F 102 in control file\n"
                           "Combining these three data sets can lead to instabilities\n"
                           "If you still want to do this, use an integer 5 instead of 1 on the F 292 data set\n\n");
               }});
  // The file is started whatever the value, so the flow driver can always append to it.
  t.push_back({'F', 293, "1: the residuals of every iteration are written to the file tafnor",
               declared(FlagTafnor),
               [](DataSetReader& r) {
                 r.i(FlagTafnor);
                 r.requireCount(1);
                 r.require(FlagTafnor >= 0);
                 startTafnor();
               }});
  addValue(t, 294, "Size used by the structured-array allocation for the `inspace` data",
           InspaceAlloc, 0);
  addValue(t, 295, "Factor of the roughness computed from survey points (task letter K)",
           RoughnessFactor, 0);
  addValue(t, 296,
           "Transient SIMPLE variant of the pressure step; its combinations are checked after "
           "reading",
           FlagTimeSIMPLE, 0);
  addValue(t, 297, "Header version of the grid file `unstruc` when it is written",
           FlagWriteUnstruc, 2, 4);
  t.push_back({'F', 298, "Side option and inflow and outflow levels of the OpenFOAM case writer",
               declared(OpenFOAMsides, OpenFOAMinLevel, OpenFOAMoutLevel),
               [](DataSetReader& r) {
                 r.i(OpenFOAMsides); r.d(OpenFOAMinLevel); r.d(OpenFOAMoutLevel);
                 r.requireCount(3);
                 r.require(OpenFOAMsides >= 0);
                 r.require(OpenFOAMinLevel <= 2e20 && OpenFOAMoutLevel <= 2e20);
               }});
  addValue(t, 299, "Wedge (triangular) cells in the grid generator and cell creation",
           FlagUnstrucWedge, 0);
}

}  // namespace qorva
