// Data sets F 1 to F 49 of `control` (F 2 and F 7 belong to the reader frame): defaults,
// readers and range checks. Writes the globals of state/options.h.
#include <cmath>

#include "driver/rows.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

void addFsets001_049(DataSetTable& t) {
  t.push_back({'F', 1,
               "Debug letter: each diagnostic print tests its own letter (D, P, B, E, H, J, Q, S "
               "and others); I echoes every data set read; the default N selects none",
               declared(debugging), [](DataSetReader& r) { r.c(debugging); }});
  t.push_back({'F', 3, "Read and checked; nothing uses it",
               declared(convergence), [](DataSetReader& r) { r.d(convergence); }});
  t.push_back({'F', 4,
               "Bed-change (morphology) relaxation, iteration count and convergence limit; only "
               "`iter_morph` is used",
               declared(relax_morph, iter_morph, conv_morph),
               [](DataSetReader& r) { r.d(relax_morph); r.i(iter_morph); r.d(conv_morph); }});
  // The angle of repose is given in degrees and kept as its sine.
  t.push_back({'F', 5,
               "The value is an angle in degrees; the stored value is sin(3.1415926535897 × value "
               "/ 180)",
               declared(SinReposeAngle),
               [](DataSetReader& r) {
                 if (r.d(SinReposeAngle)) SinReposeAngle = std::sin(3.1415926535897 * SinReposeAngle / 180.0);
               }});
  t.push_back({'F', 6,
               "Parameters of van Rijn's suspended-load formula: coefficient, exponent of the "
               "transport-stage parameter T and exponent of the particle parameter D*",
               declared(ConcFormCoeff, ConcFormTstar, ConcFormDstar),
               [](DataSetReader& r) { r.d(ConcFormCoeff); r.d(ConcFormTstar); r.d(ConcFormDstar); }});
  t.push_back({'F', 8, "Read and checked; nothing uses it", declared(MaxBedChange),
               [](DataSetReader& r) { r.d(MaxBedChange); r.require(in(MaxBedChange, 0, 1)); }});
  t.push_back({'F', 9, "Read and checked; nothing uses it", declared(EddyMult),
               [](DataSetReader& r) { r.d(EddyMult); r.require(in(EddyMult, 0.1, 10)); }});
  t.push_back({'F', 10,
               "Sediment transport formula: R van Rijn, E Engelund-Hansen total load, I Einstein "
               "bed load, S Shen and Hung, A Ackers and White, Y Yang stream power",
               declared(SedimentFormula),
               [](DataSetReader& r) {
                 r.c(SedimentFormula);
                 const char f = SedimentFormula;
                 r.require(f == 'A' || f == 'E' || f == 'I' || f == 'M' || f == 'R' || f == 'S' || f == 'Y');
               }});
  t.push_back({'F', 11,
               "Relative density of the sediment grains, and the Shields coefficient (most users "
               "take its absolute value)",
               declared(density, shieldscoeff),
               [](DataSetReader& r) {
                 r.d(density); r.d(shieldscoeff);
                 r.require(shieldscoeff <= 1);
                 r.require(in(density, 1, 10));
               }});
  t.push_back({'F', 12,
               "Schmidt number that divides the eddy viscosity into the sediment diffusivity in "
               "the concentration equations",
               declared(Schmidt),
               [](DataSetReader& r) { r.d(Schmidt); r.require(Schmidt > 0 && Schmidt <= 5); }});
  t.push_back({'F', 13, "Read and checked; nothing uses it", declared(StressDiff),
               [](DataSetReader& r) { r.d(StressDiff); r.require(in(StressDiff, 0, 5)); }});
  t.push_back({'F', 14,
               "Artificial diffusion, used by the eddy-viscosity computation for the vertical eddy "
               "viscosity",
               declared(ArtDiff),
               [](DataSetReader& r) { r.d(ArtDiff); r.require(in(ArtDiff, 0, 5e10)); }});
  t.push_back({'F', 15,
               "Wall-law variant (rough, smooth or transitional log law for u+) used by the wall "
               "laws; F 120 sets the same global",
               declared(FlagWallAll),
               [](DataSetReader& r) { r.i(FlagWallAll); r.require(in(FlagWallAll, 0, 20)); }});
  t.push_back({'F', 16,
               "Roughness ks in metres of the bed and the walls (the wall laws use at least 1e-6); "
               "also the roughness at inflow boundaries",
               declared(XksWall, XksInflow),
               [](DataSetReader& r) {
                 r.d(XksWall);
                 r.require(in(XksWall, -3, 10));
                 XksInflow = XksWall;
               }});
  t.push_back({'F', 17, "Time step in seconds; the default 1e-20 marks a steady computation",
               declared(TimeStep),
               [](DataSetReader& r) { r.d(TimeStep); r.require(TimeStep >= 1e-10); }});
  t.push_back({'F', 18,
               "Density excess of a turbidity current, read by the turbidity-current source of the "
               "momentum equations and by the flow driver",
               declared(SourDens),
               [](DataSetReader& r) { r.d(SourDens); r.require(in(SourDens, 0.0001, 100)); }});
  t.push_back({'F', 19, "Read and checked; nothing uses it", declared(InitPres),
               [](DataSetReader& r) { r.d(InitPres); r.require(in(InitPres, 0, 10)); }});
  t.push_back({'F', 20, "Number of passes of the task driver over the F 2 letters",
               declared(IterF2),
               [](DataSetReader& r) { r.i(IterF2); r.require(IterF2 >= 1); }});
  t.push_back({'F', 21, "Relaxation of the Rhie-Chow interpolation of the face fluxes",
               declared(RelaxRhieChow),
               [](DataSetReader& r) { r.d(RelaxRhieChow); r.require(in(RelaxRhieChow, -1, 20)); }});
  t.push_back({'F', 22, "Read and checked; nothing uses it (F 25 sets the same values)",
               declared(MinPorosity, RelaxPorosity),
               [](DataSetReader& r) {
                 r.d(MinPorosity); r.d(RelaxPorosity);
                 r.require(in(MinPorosity, 0.001, 1));
                 r.require(in(RelaxPorosity, -1, 10));
               }});
  t.push_back({'F', 23, "Read and checked; nothing uses it", declared(FillPart, FillCriteria),
               [](DataSetReader& r) {
                 r.d(FillPart); r.d(FillCriteria);
                 r.require(in(FillPart, 0, 1));
                 r.require(FillCriteria >= 0);
               }});
  t.push_back({'F', 24, "Turbulence model of the eddy viscosity (0: the k-epsilon model)",
               declared(TurbulenceModel),
               [](DataSetReader& r) { r.i(TurbulenceModel); r.require(in(TurbulenceModel, 0, 20)); }});
  // F 25 sets the porosity limits of F 22 again, with the roughness and diameter options.
  t.push_back({'F', 25, "Read and checked; nothing uses it",
               declared(RoughPoros1, RoughPoros2, DiamPoros),
               [](DataSetReader& r) {
                 r.d(MinPorosity); r.d(RelaxPorosity); r.d(RoughPoros1); r.d(RoughPoros2); r.i(DiamPoros);
                 r.require(in(MinPorosity, 0.001, 1));
                 r.require(in(RoughPoros1, 0.001, 1));
                 r.require(in(RoughPoros2, 0.001, 1));
                 r.require(in(DiamPoros, 0, 7));
                 r.require(in(RelaxPorosity, -1, 10));
               }});
  t.push_back({'F', 26,
               "Solid fraction of the bed material, used by the bed-change and dredging "
               "computations",
               declared(SolidFrac),
               [](DataSetReader& r) { r.d(SolidFrac); r.require(in(SolidFrac, 0, 15)); }});
  t.push_back({'F', 27,
               "Read and checked; logs \"Using SOU scheme for sediment calculations\" whatever the "
               "value; nothing else uses it",
               declared(SedimentScheme),
               [](DataSetReader& r) {
                 r.i(SedimentScheme);
                 r.require(in(SedimentScheme, 0, 10));
                 logf("Using SOU scheme for sediment calculations\n");
               }});
  t.push_back({'F', 28, "Read and checked; nothing uses it",
               declared(ADFlag, ADSmearNo, ADConvNo, ADSmearLim),
               [](DataSetReader& r) {
                 r.i(ADFlag); r.i(ADSmearNo); r.i(ADConvNo); r.d(ADSmearLim);
                 r.require(ADFlag == 0 || ADFlag == 1);
                 r.require(ADSmearNo >= 0);
                 r.require(ADConvNo >= 0);
                 r.require(in(ADSmearLim, 0, 100));
               }});
  // Each bed flag is checked as soon as it is read; the ones after a bad value stay unread.
  t.push_back({'F', 30, "Bed option flags of the sediment time loop", declared(BedFlags),
               [](DataSetReader& r) {
                 for (int n = 0; n < 6; ++n) {
                   r.i(BedFlags[n]);
                   r.require(in(BedFlags[n], 0, 6));
                 }
               }});
  t.push_back({'F', 31, "Read and checked; nothing uses it", declared(PorosMult1, PorosMult2),
               [](DataSetReader& r) {
                 r.d(PorosMult1); r.d(PorosMult2);
                 r.require(in(PorosMult1, 0, 10) && in(PorosMult2, 0, 10));
               }});
  t.push_back({'F', 32, "Read and checked; nothing uses it", declared(twoDratio),
               [](DataSetReader& r) { r.d(twoDratio); r.require(in(twoDratio, 0, 1000)); }});
  t.push_back({'F', 33,
               "Time step in seconds (as F 17) and the number of inner iterations per outer "
               "iteration (per time step in a transient run)",
               declared(TransInnerIter),
               [](DataSetReader& r) {
                 r.d(TimeStep); r.i(TransInnerIter);
                 r.require(TimeStep >= 1e-20);
                 r.require(TransInnerIter >= 0);
                 r.requireCount(2, "Two numbers are required on F 33 data set\n");
               }});
  t.push_back({'F', 34,
               "Artificial eddy viscosity added to the computed eddy viscosity; also read by the "
               "residual computation",
               declared(ArtEddyVisc),
               [](DataSetReader& r) { r.d(ArtEddyVisc); r.require(ArtEddyVisc >= 0); }});
  t.push_back({'F', 35, "Read and checked; nothing uses it", declared(relaxBedShear),
               [](DataSetReader& r) { r.d(relaxBedShear); r.require(in(relaxBedShear, 0, 1)); }});
  t.push_back({'F', 36,
               "Free-surface algorithm: 0 a fixed surface (moved only through a G 6 reference "
               "cell), 2 the pressure-based update, 3 the shift, 4, 7, 8, 9 and 21 water-level "
               "equations, 30 the backwater curve",
               declared(FlagTFS),
               [](DataSetReader& r) {
                 r.i(FlagTFS);
                 r.require(in(FlagTFS, 0, 200));
                 if (FlagTFS == 1 || in(FlagTFS, 11, 19)) FlagGravity = 1;
                 if (FlagTFS == 11) FlagSimpleCorrections = 30;
               }});
  t.push_back({'F', 37,
               "Sediment computation of task S: 0 none, 1 a fixed bed-cell value, 2 a bed source, "
               "3 the layered bed with its active layer",
               declared(FlagTSC),
               [](DataSetReader& r) { r.i(FlagTSC); r.require(in(FlagTSC, 0, 3)); }});
  t.push_back({'F', 38,
               "Limit factor of the residual computation (multiplies the normalised residual)",
               declared(InputErrorLimit),
               [](DataSetReader& r) { r.d(InputErrorLimit); r.require(InputErrorLimit >= 0); }});
  t.push_back({'F', 39, "Read and checked; nothing uses it", declared(AccBedChange),
               [](DataSetReader& r) { r.d(AccBedChange); r.require(AccBedChange >= 0); }});
  t.push_back({'F', 40,
               "Relaxation of the density-gradient source terms in the momentum equations",
               declared(relaxDensityTurb),
               [](DataSetReader& r) { r.d(relaxDensityTurb); r.require(in(relaxDensityTurb, 0, 10)); }});
  t.push_back({'F', 41,
               "Maximum scour depth, applied by the reader of the grid file `unstruc`; also sets "
               "`FlagMinBedLev` to 41",
               declared(MaxDepthScour, FlagMinBedLev),
               [](DataSetReader& r) {
                 r.d(MaxDepthScour);
                 r.require(in(MaxDepthScour, 0, 10000));
                 FlagMinBedLev = 41;
               }});
  t.push_back({'F', 42,
               "Minimum bed level for scour, applied by the reader of `unstruc`; also sets "
               "`FlagMinBedLev` to 42",
               declared(MinLevScour),
               [](DataSetReader& r) {
                 r.d(MinLevScour);
                 r.require(in(MinLevScour, -10000, 10000));
                 FlagMinBedLev = 42;
               }});
  // The second limit is optional: it is taken only when a number follows.
  t.push_back({'F', 47, "Two limits of the interpolation of bed levels from survey points",
               declared(InterLimit, InterALimit),
               [](DataSetReader& r) {
                 r.d(InterLimit);
                 r.require(InterLimit >= 0);
                 r.d(InterALimit);
               }});
  t.push_back({'F', 48,
               "Output selector: 15 writes the flow result as the binary file `resultb` instead of "
               "the text file",
               declared(FlagInterpolVal),
               [](DataSetReader& r) { r.i(FlagInterpolVal); r.require(in(FlagInterpolVal, 0, 100)); }});
}

}  // namespace qorva
