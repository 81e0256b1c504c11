// Data sets F 50 to F 99 of `control`: defaults, readers and range checks.
// Writes the globals of state/options_f050_099.h, and lnumber (F 79), sou (F 63) and
// QualityName (F 67) of other families.
#include <cmath>
#include <cstdio>

#include "driver/rows.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

namespace {

bool oneOf01(int v) { return v == 0 || v == 1; }

// Vertical methods whose dry-edge shaping refers to the cell itself rather than to the top
// cell of its column (TopBed 0).
bool topBedZero(int m) {
  switch (m) {
    case 3: case 4: case 8: case 10: case 11: case 12: case 13: case 33: case 38:
      return true;
    default:
      return m >= 100;
  }
}

}  // namespace

void addFsets050_099(DataSetTable& t) {
  t.push_back({'F', 50,
               "Number of water-quality components (sizes the component arrays; also raised by F "
               "67)",
               declared(NoComponents),
               [](DataSetReader& r) { r.i(NoComponents); r.require(in(NoComponents, 0, 10)); }});
  t.push_back({'F', 51,
               "Coriolis parameter; also sets `FlagCoriolis` to 1, which switches on the Coriolis "
               "source of the momentum equations",
               declared(Coriolis, FlagCoriolis),
               [](DataSetReader& r) {
                 r.d(Coriolis);
                 r.require(std::fabs(Coriolis) <= 2);
                 FlagCoriolis = 1;
               }});
  t.push_back({'F', 52,
               "Wind: speed and two direction components (also given by the I records of `timei`); "
               "read by the wind source",
               declared(Wind),
               [](DataSetReader& r) {
                 r.d(Wind[0]); r.d(Wind[1]); r.d(Wind[2]);
                 r.requireCount(3);
                 r.require(std::fabs(Wind[1]) + std::fabs(Wind[2]) <= 2);
                 r.require(in(Wind[0], 1e-7, 1000));
               }});
  t.push_back({'F', 53,
               "Print intervals in iterations: the residual line in `boogie` (iterations 1 to 9, "
               "the last and every multiple of this value), results, forces",
               declared(PrintIterBoogie, PrintIterRes, PrintIterForce, PrintIterTime),
               [](DataSetReader& r) {
                 r.i(PrintIterBoogie); r.i(PrintIterRes); r.i(PrintIterForce); r.i(PrintIterTime);
                 r.requireCount(4);
                 r.require(PrintIterBoogie >= 1);
                 r.require(PrintIterForce >= 1);
                 r.require(PrintIterTime >= 1);
               }});
  t.push_back({'F', 54,
               "Residual threshold: in a transient run the inner iterations of a time step stop as "
               "soon as the largest of the six normalised residuals is below it",
               declared(TimeBreakLimit),
               [](DataSetReader& r) { r.d(TimeBreakLimit); r.require(TimeBreakLimit >= 0); }});
  // The slide variants 202 to 205 need the transient sediment computation of F 37 3, which
  // must therefore stand earlier in the file.
  t.push_back({'F', 56,
               "Sand-slide computation: number of slide iterations or variant code, and the "
               "tangent of the angle of repose (not degrees)",
               declared(IterAvalanche, AngleAvalanche),
               [](DataSetReader& r) {
                 r.i(IterAvalanche); r.d(AngleAvalanche);
                 r.requireCount(2);
                 r.require(IterAvalanche >= 0);
                 r.require(in(AngleAvalanche, 0.01, 50));
                 r.require(!in(IterAvalanche, 202, 205) || FlagTSC == 3,
                           "Error for F 56/F 37 data sets: F 56 204/205 should only be used with F 37 3\n\n");
               }});
  t.push_back({'F', 58, "Parameters of the transient free-surface algorithm",
               declared(TFStimeterm, TFSpreszero, TFSmovewall, TFSfroudeforward, TFSdiffratio,
                        TFSdampwall, TFSdampobs, TFStopvelocity, TFSforcesource, TFSuslope),
               [](DataSetReader& r) {
                 r.i(TFStimeterm); r.i(TFSpreszero); r.i(TFSmovewall); r.i(TFSfroudeforward);
                 r.d(TFSdiffratio); r.d(TFSdampwall); r.d(TFSdampobs); r.d(TFStopvelocity);
                 r.d(TFSforcesource); r.d(TFSuslope);
                 r.require(TFSdiffratio >= 0);
                 r.require(TFSdampwall <= 5);
                 r.require(TFSdampobs <= 5);
                 r.require(TFSdampwall >= 0);
                 r.require(TFSdampobs >= 0);
                 r.require(oneOf01(TFStimeterm) && oneOf01(TFSpreszero));
                 r.require(in(TFStopvelocity, -0.0001, 5));
                 r.require(TFSforcesource >= -0.0001);
                 r.require(oneOf01(TFSmovewall) && oneOf01(TFSfroudeforward));
                 r.require(TFSforcesource <= 5);
                 r.require(TFSuslope >= 0);
               }});
  t.push_back({'F', 60,
               "Transient sediment options: `TSCbedrouse` selects a variant of the van Rijn "
               "concentration computation; `TSCbedforms` is not used",
               declared(TSCbedrouse, TSCbedforms),
               [](DataSetReader& r) {
                 r.i(TSCbedrouse); r.i(TSCbedforms);
                 r.requireCount(2);
                 r.require(in(TSCbedrouse, 0, 10) && in(TSCbedforms, 0, 10));
               }});
  // The transient term divides by 1 - CrankNicols, so a weight of 1 itself is refused.
  t.push_back({'F', 61, "Crank-Nicolson weight of the transient term", declared(CrankNicols),
               [](DataSetReader& r) {
                 r.d(CrankNicols);
                 r.requireCount(1);
                 r.require(CrankNicols >= 0 && CrankNicols < 1);
               }});
  t.push_back({'F', 62,
               "Switch read by the flow drivers for the transient computation of the water-quality "
               "components",
               declared(FlagTComp),
               [](DataSetReader& r) { r.i(FlagTComp); r.require(oneOf01(FlagTComp)); }});
  // Equations 8 and 9 are the first two water-quality components, 7 the sediment
  // concentration; the sediment equation follows only when F 37 came earlier.
  t.push_back({'F', 63, "Scheme for the component and sediment equations", declared(SouComp),
               [](DataSetReader& r) {
                 r.i(SouComp);
                 r.require(in(SouComp, 0, 100));
                 if (SouComp == 1) sou[8] = sou[9] = 1;
                 if (FlagTSC > 0) sou[7] = SouComp;
               }});
  t.push_back({'F', 64, "Vertical grid construction method of the grid generator",
               declared(UMethod, TopBed),
               [](DataSetReader& r) {
                 r.i(UMethod);
                 r.requireCount(1);
                 r.require(in(UMethod, 0, 500));
                 TopBed = topBedZero(UMethod) ? 0 : 1;
               }});
  t.push_back({'F', 65,
               "Sizes of the unstructured arrays: cells, surfaces, points, nesting entries, "
               "connection surfaces",
               declared(MaxCeller, MaxFlater, MaxPunkter, MaxNester, MaxConnFlate),
               [](DataSetReader& r) {
                 r.i(MaxCeller); r.i(MaxFlater); r.i(MaxPunkter); r.i(MaxNester); r.i(MaxConnFlate);
                 r.require(MaxPunkter >= 6 && MaxCeller >= 1 && MaxFlater >= 6,
                           "Error for F 65 in control: too low numbers");
                 r.requireCount(5, strf("Error for F 65 in control: Have only read %d numbers.", r.count()));
                 if (MaxNester < 2) MaxNester = 2;
                 if (MaxConnFlate < 2) MaxConnFlate = 2;
               }});
  t.push_back({'F', 66,
               "Relaxation of the interpolation between nested grids (pressure, water and metric "
               "computations)",
               declared(NestInterpolRelax),
               [](DataSetReader& r) { r.d(NestInterpolRelax); r.require(in(NestInterpolRelax, 0, 1)); }});
  // Temperature is always component 0; its name is padded with blanks to 19 characters.
  t.push_back({'F', 67, "Temperature computation", declared(TemperatureFlag),
               [](DataSetReader& r) {
                 r.i(TemperatureFlag);
                 r.require(oneOf01(TemperatureFlag));
                 if (TemperatureFlag == 1) {
                   std::snprintf(QualityName[0].data(), QualityName[0].size(), "%-19s", "Temperature");
                   if (NoComponents < 1) NoComponents = 1;
                 }
               }});
  addValue(t, 68,
           "Flow mode: for the W task, 1 selects the hydrostatic flow driver and 3 the "
           "depth-averaged one, 0 the full three-dimensional drivers",
           Hydrostatic, 0, 10);
  t.push_back({'F', 69,
               "Seven switches read by the density-gradient source, the pressure-correction and "
               "flux computations, the seiche functions and the start-up of the flow",
               declared(Seiche1, Seiche2, Seiche3, Seiche4, Seiche5, Seiche6, Seiche7),
               [](DataSetReader& r) {
                 r.i(Seiche1); r.i(Seiche2); r.i(Seiche3); r.i(Seiche4);
                 r.i(Seiche5); r.i(Seiche6); r.i(Seiche7);
                 r.requireCount(7);
               }});
  addValue(t, 70, "Wall option read by the metric computation and the writer of the OpenFOAM case",
           WallFlag, 0, 100);
  addValue(t, 71,
           "Density damping of turbulence: selector read by the coefficient builders, the "
           "turbulence computation and the array allocation",
           TurbDensFlag, 0, 100);
  addValue(t, 72,
           "Minimum eddy viscosity added in the eddy-viscosity computation and used by the "
           "coefficient builders",
           MinGamma, 0, 100);
  addValue(t, 73,
           "Wind option read by the wind source, the eddy-viscosity computation and the water "
           "solver",
           WindFlag, 0, 100);
  addValue(t, 74, "Relaxation variant of the transient velocity computation", TimeRelaxFlag, 0, 2);
  t.push_back({'F', 75,
               "Thermocline value for the velocity source terms; also sets `FlagThermocline` to 1",
               declared(Thermocline, FlagThermocline),
               [](DataSetReader& r) {
                 r.d(Thermocline);
                 r.requireCount(1);
                 r.require(in(Thermocline, -0.5, 40));
                 FlagThermocline = 1;
               }});
  t.push_back({'F', 76,
               "Horizontal and vertical diffusion multipliers of the coefficient builders "
               "(horizontal faces and bottom/top faces); `TDCdistrib` is not used",
               declared(TDChoriz, TDCvert, TDCdistrib),
               [](DataSetReader& r) {
                 r.d(TDChoriz); r.d(TDCvert); r.d(TDCdistrib);
                 r.requireCount(3);
                 r.require(TDChoriz >= 0);
                 r.require(TDCvert >= 0);
                 r.require(in(TDCdistrib, 0, 1) && TDChoriz <= 1000 && TDCvert <= 1000);
               }});
  t.push_back({'F', 77,
               "Horizontal and vertical diffusion values of the coefficient builders (the larger "
               "of each and the computed diffusivity is used)",
               declared(TChoriz, TCvert),
               [](DataSetReader& r) {
                 r.d(TChoriz); r.d(TCvert);
                 r.requireCount(2);
                 r.require(TChoriz >= 0 && TCvert >= 0);
               }});
  addSwitchValue(t, 78,
                 "Bed-load direction with bed-slope effect in the transient sediment computation "
                 "(F 37 3): the flag selects the slope function",
                 BedLoadVectorFlag, BedLoadVectorParam, 0);
  // lnumber takes its default from G 1, which sets it too.
  t.push_back({'F', 79,
               "`lnumber` is the number of sediment grain sizes (G 1 sets it too); `FlagBedCalc` "
               "is read by the array allocation",
               declared(FlagBedCalc),
               [](DataSetReader& r) {
                 r.i(FlagBedCalc); r.i(lnumber);
                 r.requireCount(2);
                 r.require(in(FlagBedCalc, 0, 10));
                 r.require(in(lnumber, 0, 50));
               }});
  // Coriolis takes its default from F 51.
  t.push_back({'F', 80, "Coriolis parameter and its relaxation; sets `FlagCoriolis` to 1",
               declared(relaxCoriolis),
               [](DataSetReader& r) {
                 r.d(Coriolis); r.d(relaxCoriolis);
                 r.requireCount(2);
                 r.require(relaxCoriolis >= 0);
                 r.require(std::fabs(Coriolis) <= 2);
                 FlagCoriolis = 1;
               }});
  addValue(t, 81, "Number of time entries that the arrays of the time series `timei` can hold",
           ArrayTimeSteps, 1);
  t.push_back({'F', 82,
               "Density damping of turbulence, of the form (1 + beta × Ri) to the power alpha: "
               "alpha and beta for the velocities, alpha and beta for k, epsilon and scalars",
               declared(TurbDensAlphaU, TurbDensBetaU, TurbDensAlphaT, TurbDensBetaT, TDvelo),
               [](DataSetReader& r) {
                 r.d(TurbDensAlphaU); r.d(TurbDensBetaU); r.d(TurbDensAlphaT); r.d(TurbDensBetaT);
                 r.d(TDvelo);
                 const std::string text =
                     strf("Error for F 82 in control, have read %d of 5 floating point numbers,", r.count());
                 r.requireCount(5, text);
                 r.require(TurbDensAlphaU <= 0 && TurbDensAlphaT <= 0, text);
                 r.require(TurbDensBetaU >= 0 && TurbDensBetaT >= 0, text);
                 r.require(TDvelo >= 0, text);
               }});
  t.push_back({'F', 83,
               "Parameters of van Rijn's bed-load formula: coefficient, exponent of T, exponent of "
               "D*, exponent of the grain size",
               declared(ConcFormBCoeff, ConcFormBTstar, ConcFormBDstar, ConcFormBD50),
               [](DataSetReader& r) {
                 r.d(ConcFormBCoeff); r.d(ConcFormBTstar); r.d(ConcFormBDstar); r.d(ConcFormBD50);
                 r.requireCount(4);
               }});
  addValue(t, 84,
           "Bed-load option of the van Rijn concentration computation and of the sediment time "
           "loop",
           BedLoadFlag, 0);
  addValue(t, 85,
           "Nonzero: a continuity defect at the end of an iteration does not stop the flow "
           "computation",
           ContinuityFlag, 0);
  // One minimum depth sets the three depth limits of the grid generator.
  t.push_back({'F', 86,
               "Minimum vertical distance (depth) used by the flow computations and the grid "
               "generator",
               declared(MinVertDist),
               [](DataSetReader& r) {
                 r.d(MinVertDist);
                 r.requireCount(1);
                 r.require(in(MinVertDist, 0, 10));
                 MinVertDist1 = MinVertDist;
                 MinVertDist0 = 0.25 * MinVertDist;
               }});
  addValue(t, 87,
           "Coefficient of the vertical grid distribution used by the grid generators when the "
           "number of levels of a grid column is computed",
           GridDistCoeff, 0, 10);
  addValue(t, 88, "Upper limit of the eddy viscosity", MaxGamma, 0, 1e308);
  addValue(t, 89,
           "Fraction used when the grid generator moves grid lines horizontally at dry edges",
           DistGridHoriz, 0.001, 1);
  addValue(t, 90,
           "Roughness option: source of the bed roughness (the file `bedrough`, start-up values, "
           "the concentration formulas)",
           FlagRoughness, 0, 10);
  t.push_back({'F', 91,
               "I and j index of the column whose water level is the reference of the free-surface "
               "computation (0: found from G 6 or G 62)",
               declared(iPres, jPres),
               [](DataSetReader& r) {
                 r.i(iPres); r.i(jPres);
                 r.requireCount(2);
                 r.require(iPres >= 0 && jPres >= 0);
               }});
  addValue(t, 92, "Porous-wall option of the wall laws", PorosWallFlag, 0);
  t.push_back({'F', 93,
               "The value is not used; the data set switches on the hydrostatic Froude form of the "
               "pressure computation",
               declared(FroudeHystat, FlagFroudeHystat),
               [](DataSetReader& r) {
                 r.d(FroudeHystat);
                 r.requireCount(1);
                 r.require(in(FroudeHystat, 0, 1000));
                 FlagFroudeHystat = 1;
               }});
  t.push_back({'F', 94,
               "Minimum depth for a wet grid line (`MinVertDist0`; negative: computed by the grid "
               "generator) and a second depth limit used by the dry-edge shaping and the",
               declared(MinVertDist0, MinVertDist1),
               [](DataSetReader& r) {
                 r.d(MinVertDist0); r.d(MinVertDist1);
                 r.requireCount(2);
                 r.require(MinVertDist1 >= 0);
                 MinVertDist = MinVertDist1;
               }});
  // The stability parameters mean the porous wall of option 2 unless F 92 chose one.
  t.push_back({'F', 95,
               "Two parameters of the stability function of the porous-wall option; if "
               "`PorosWallFlag` is still 0, it is set to 2",
               declared(BPWparam1, BPWparam2),
               [](DataSetReader& r) {
                 r.d(BPWparam1); r.d(BPWparam2);
                 r.requireCount(2);
                 r.require(BPWparam1 >= 0 && BPWparam2 >= 0);
                 if (PorosWallFlag == 0) PorosWallFlag = 2;
               }});
  addValue(t, 96, "Source in a single cell, read by the velocity and turbulence steps",
           OneCellSource, 0);
  addValue(t, 98, "Variant of the block-correction solver", BlockMethodFlag, 0);
  addValue(t, 99,
           "Interval in time steps at which the bed change rebuilds the grid on the moved bed",
           BedRecIter, 1);
}

}  // namespace qorva
