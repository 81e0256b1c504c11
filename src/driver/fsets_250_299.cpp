// Data sets F 250 to F 299 of `control`: defaults, readers and range checks, and the residual
// file `tafnor` that F 293 starts. Writes the globals of state/options_f250_299.h,
// IterAvalanche and AngleAvalanche; reads FlagTSC, NoProcessesSolver, Flag2DAccSolver and
// FlagMinLevUnstruc of data sets given earlier.
#include <cstdio>

#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

namespace {

bool in(double v, double lo, double hi) { return v >= lo && v <= hi; }

// The failure text of this range ends with a line end, except for F 270.
std::string errorText(int number) {
  return strf("Error for F %d in control%s", number, number == 270 ? "" : "\n");
}

// Ends the run with this data set's failure text unless ok.
void check(const DataSetReader& r, bool ok) { r.require(ok, errorText(r.number())); }
void checkCount(const DataSetReader& r, int n) { check(r, r.count() >= n); }

// A data set of one integer that must be 0 or more.
void nonNegativeIntRow(DataSetTable& t, int number, int& v, int def) {
  t.push_back({'F', number, [&v, def] { v = def; },
               [&v](DataSetReader& r) { r.i(v); checkCount(r, 1); check(r, v >= 0); }});
}

// A data set of one double that must be 0 or more.
void nonNegativeDoubleRow(DataSetTable& t, int number, double& v, double def) {
  t.push_back({'F', number, [&v, def] { v = def; },
               [&v](DataSetReader& r) { r.d(v); checkCount(r, 1); check(r, v >= 0); }});
}

// A data set of a non-negative integer option and a non-negative double (F 261, 262, 281).
void intDoubleRow(DataSetTable& t, int number, int& flag, int flagDef, double& value, double valueDef) {
  t.push_back({'F', number, [&flag, flagDef, &value, valueDef] { flag = flagDef; value = valueDef; },
               [&flag, &value](DataSetReader& r) {
                 r.i(flag); r.d(value);
                 checkCount(r, 2);
                 check(r, flag >= 0 && value >= 0);
               }});
}

// Starts the residual history: the flow driver appends one line per iteration.
void startTafnor() {
  std::FILE* f = std::fopen("tafnor", "w");
  if (!f) failf(-4, "Error, cannot open file 'tafnor'\n");
  std::fprintf(f, "Iteration, Residuals: Ux, Uy, Uz, Continuity, k, epsilon\n");
  std::fclose(f);
}

}  // namespace

void addFsets250_299(DataSetTable& t) {
  nonNegativeIntRow(t, 250, kSurf2, 0);
  nonNegativeIntRow(t, 251, FlagShields, 0);
  nonNegativeDoubleRow(t, 252, relaxOutFlux, 0.9);
  nonNegativeIntRow(t, 253, FlagImplicitSedim, 0);
  t.push_back({'F', 254, [] { TFS17WeightPresCorr = 0.5; },
               [](DataSetReader& r) { r.d(TFS17WeightPresCorr); checkCount(r, 1); }});
  nonNegativeIntRow(t, 255, FlagBedchangeOption, 0);
  t.push_back({'F', 256, [] { MaxBedConc = 0.1; },
               [](DataSetReader& r) {
                 r.d(MaxBedConc);
                 r.requireCount(1, "Error for F 256 in control\nHave not read any floating point number\n");
                 check(r, MaxBedConc >= 0);
               }});
  nonNegativeIntRow(t, 257, FlagCrashGrid, 0);
  nonNegativeIntRow(t, 258, FlagStressTerm, 0);
  nonNegativeIntRow(t, 259, FlagStressStrain, 9);
  // Flocculation needs a transient sediment computation, which F 37 must have chosen before.
  t.push_back({'F', 260, [] { FlagFlocDLL = 0; },
               [](DataSetReader& r) {
                 r.i(FlagFlocDLL);
                 checkCount(r, 1);
                 check(r, FlagFlocDLL >= 0);
                 if (FlagFlocDLL != 0 && FlagTSC <= 1)
                   logf("Error in control file. The F 260 data set will only work\n"
                        "when the F 37 data set is set to 2 or 3\n\n");
               }});
  // Coupling modes 16 and 18 give wrong residuals when the loops run on threads.
  t.push_back({'F', 261, [] { FlagCoupledNesting = 0; RelaxCoupledNesting = 0.5; },
               [](DataSetReader& r) {
                 r.i(FlagCoupledNesting); r.d(RelaxCoupledNesting);
                 checkCount(r, 2);
                 check(r, FlagCoupledNesting >= 0 && RelaxCoupledNesting >= 0);
                 if (NoProcessesSolver >= 1 && (FlagCoupledNesting == 16 || FlagCoupledNesting == 18))
                   logf("Warning: The combination of F 206 and F 261 data sets in the control file will\n"
                        "give incorrect residuals\n");
               }});
  intDoubleRow(t, 262, FlagGroundwater, 0, Conductivity, 5.3e-6);
  // One data set per discharge group; groups not given keep -1.
  t.push_back({'F', 263, [] { for (int& u : updates) u = -1; },
               [](DataSetReader& r) {
                 int g = 0, u = 0;
                 r.i(g); r.i(u);
                 checkCount(r, 2);
                 check(r, in(g, 1, 9));
                 check(r, u >= 0);
                 updates[g] = u;
               }});
  t.push_back({'F', 264, [] { FlagDensityAlgo = 0; },
               [](DataSetReader& r) { r.i(FlagDensityAlgo); checkCount(r, 1); }});
  t.push_back({'F', 265, [] { di_graph = 0.5; },
               [](DataSetReader& r) {
                 r.d(di_graph);
                 checkCount(r, 1);
                 check(r, in(di_graph, 0.001, 0.999));
               }});
  t.push_back({'F', 266, [] { FlagGLEA = 0; SlopeGLEA = 0.65; CohesionGLEA = 0; },
               [](DataSetReader& r) {
                 r.i(FlagGLEA); r.d(SlopeGLEA); r.d(CohesionGLEA);
                 checkCount(r, 3);
                 check(r, FlagGLEA >= 0 && SlopeGLEA >= 0 && CohesionGLEA >= 0);
               }});
  nonNegativeIntRow(t, 267, FlagNoContour, 0);
  nonNegativeIntRow(t, 268, FlagViewNested, 0);
  // Switches 10 and 11; G 50 gives 0..9 and leaves these alone.
  t.push_back({'F', 269, [] { FlagOpenMP[10] = 1; FlagOpenMP[11] = 1; },
               [](DataSetReader& r) {
                 r.i(FlagOpenMP[10]); r.i(FlagOpenMP[11]);
                 r.requireCount(2, strf("Error for F 269 in control\n%s",
                                        r.count() == 1 ? "The data set needs two integers. Default F 269 1 1\n" : ""));
                 check(r, FlagOpenMP[10] >= 0 && FlagOpenMP[11] >= 0);
               }});
  // F 56 defaults IterAvalanche and AngleAvalanche.
  t.push_back({'F', 270, [] { AngleAvalancheUp = 0; },
               [](DataSetReader& r) {
                 r.i(IterAvalanche); r.d(AngleAvalancheUp); r.d(AngleAvalanche);
                 checkCount(r, 3);
                 check(r, IterAvalanche >= 0);
                 check(r, in(AngleAvalanche, 0.01, 70));
                 check(r, in(AngleAvalancheUp, 0.01, 70));
               }});
  nonNegativeIntRow(t, 271, FlagTFS2, 0);
  nonNegativeIntRow(t, 272, FlagKatoLaunder, 0);
  // Only the variant 2 takes an epsilon coefficient.
  t.push_back({'F', 273, [] { FlagGENMIX = 0; coeffEps = 1.0; },
               [](DataSetReader& r) {
                 r.i(FlagGENMIX);
                 checkCount(r, 1);
                 check(r, FlagGENMIX >= 0);
                 if (FlagGENMIX == 2) {
                   r.d(coeffEps);
                   r.require(r.count() >= 2 && coeffEps >= 0,
                             "Error for 2nd parameter on F 273 data set in control file\n");
                 }
               }});
  nonNegativeIntRow(t, 274, FlagBedAngles, 0);
  t.push_back({'F', 275, [] { EpsilonCs1 = 1.44; EpsilonCs2 = 1.92; },
               [](DataSetReader& r) {
                 r.d(EpsilonCs1); r.d(EpsilonCs2);
                 checkCount(r, 2);
                 check(r, EpsilonCs1 >= 0 && EpsilonCs2 >= 0);
               }});
  nonNegativeIntRow(t, 276, FlagInOutLevels, 1);
  nonNegativeIntRow(t, 277, FlagBedDefect, 0);
  nonNegativeIntRow(t, 278, FlagTFS3, 0);
  nonNegativeIntRow(t, 279, FlagShearNB, 0);
  nonNegativeIntRow(t, 280, FlagNestFluxInterpol, 0);
  intDoubleRow(t, 281, FlagDuneEddy, 0, DuneEddyFactor, 1.0);
  nonNegativeIntRow(t, 282, FlagUpdateDownwind, 0);
  nonNegativeIntRow(t, 283, FlagSurfLimit4, 0);
  nonNegativeIntRow(t, 284, FlagTFS4, 0);
  t.push_back({'F', 285, [] { FlagBedConcentration = 0; FlagBedSlope = 0; },
               [](DataSetReader& r) {
                 r.i(FlagBedConcentration); r.i(FlagBedSlope);
                 checkCount(r, 2);
                 check(r, FlagBedConcentration >= 0 && FlagBedSlope >= 0);
               }});
  // Only the variant 6 takes the two limits.
  t.push_back({'F', 287, [] { FlagGlobFlux = 0; GlobFluxLim1 = 0.5; GlobFluxLim2 = 2.0; },
               [](DataSetReader& r) {
                 r.i(FlagGlobFlux);
                 checkCount(r, 1);
                 check(r, FlagGlobFlux >= 0);
                 if (FlagGlobFlux == 6) {
                   r.d(GlobFluxLim1); r.d(GlobFluxLim2);
                   r.require(r.count() >= 3 && GlobFluxLim1 >= 0 && GlobFluxLim1 <= GlobFluxLim2,
                             "Error for F 287 6 in control\n");
                 }
               }});
  t.push_back({'F', 289,
               [] { FlagThixoDamp = FlagThixoGrid = FlagThixoDampAp = FlagThixoDampVel = 0; },
               [](DataSetReader& r) {
                 r.i(FlagThixoDamp); r.i(FlagThixoGrid); r.i(FlagThixoDampAp); r.i(FlagThixoDampVel);
                 r.requireCount(4, strf("Error for F 289 in control\n"
                                        "There should be four integers on the data set. Now there is %d\n",
                                        r.count()));
                 check(r, FlagThixoDamp >= 0 && FlagThixoGrid >= 0 && FlagThixoDampAp >= 0 &&
                              FlagThixoDampVel >= 0);
               }});
  t.push_back({'F', 290, [] { GammaVertCoeff1 = 0; GammaVertCoeff2 = 0; },
               [](DataSetReader& r) {
                 r.d(GammaVertCoeff1); r.d(GammaVertCoeff2);
                 checkCount(r, 2);
                 check(r, GammaVertCoeff1 >= 0);
               }});
  // The damping options are not made for the threaded loops, hence the standing warning.
  t.push_back({'F', 291, [] { FlagDamp1 = FlagDamp2 = FlagDamp3 = 0; },
               [](DataSetReader& r) {
                 r.i(FlagDamp1); r.i(FlagDamp2); r.i(FlagDamp3);
                 checkCount(r, 3);
                 check(r, FlagDamp1 >= 0 && FlagDamp2 >= 0 && FlagDamp3 >= 0);
                 logf("Warning: The F 291 data set parameters will mostly only work\n"
                      "with F 206 0\n\n");
               }});
  // Inner time steps with the accelerated water-level solver and minimum-level shaping
  // (F 168 and F 102 given before) tend to blow up; the value 5 asks for it deliberately.
  t.push_back({'F', 292, [] { FlagInnerTimestep = 0; InnerTimestep = 0; },
               [](DataSetReader& r) {
                 r.i(FlagInnerTimestep); r.d(InnerTimestep);
                 checkCount(r, 2);
                 check(r, FlagInnerTimestep >= 0);
                 check(r, InnerTimestep >= 1e-20);
                 r.require(!(FlagInnerTimestep == 1 && Flag2DAccSolver >= 1 && FlagMinLevUnstruc >= 1),
                           "Warning for F 292 and F 168 and F 102 in control file\n"
                           "Combining these three data sets can lead to instabilities\n"
                           "If you still want to do this, use an integer 5 instead of 1 on the F 292 data set\n\n");
               }});
  // The file is started whatever the value, so the flow driver can always append to it.
  t.push_back({'F', 293, [] { FlagTafnor = 0; },
               [](DataSetReader& r) {
                 r.i(FlagTafnor);
                 checkCount(r, 1);
                 check(r, FlagTafnor >= 0);
                 startTafnor();
               }});
  nonNegativeIntRow(t, 294, InspaceAlloc, 0);
  nonNegativeDoubleRow(t, 295, RoughnessFactor, 1.0);
  nonNegativeIntRow(t, 296, FlagTimeSIMPLE, 0);
  t.push_back({'F', 297, [] { FlagWriteUnstruc = 3; },
               [](DataSetReader& r) {
                 r.i(FlagWriteUnstruc);
                 checkCount(r, 1);
                 check(r, in(FlagWriteUnstruc, 2, 4));
               }});
  t.push_back({'F', 298, [] { OpenFOAMsides = 0; OpenFOAMinLevel = 1e20; OpenFOAMoutLevel = 1e20; },
               [](DataSetReader& r) {
                 r.i(OpenFOAMsides); r.d(OpenFOAMinLevel); r.d(OpenFOAMoutLevel);
                 checkCount(r, 3);
                 check(r, OpenFOAMsides >= 0);
                 check(r, OpenFOAMinLevel <= 2e20 && OpenFOAMoutLevel <= 2e20);
               }});
  nonNegativeIntRow(t, 299, FlagUnstrucWedge, 0);
}

}  // namespace qorva
