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
  t.push_back({'F', 50, declared(NoComponents),
               [](DataSetReader& r) { r.i(NoComponents); r.require(in(NoComponents, 0, 10)); }});
  t.push_back({'F', 51, declared(Coriolis, FlagCoriolis),
               [](DataSetReader& r) {
                 r.d(Coriolis);
                 r.require(std::fabs(Coriolis) <= 2);
                 FlagCoriolis = 1;
               }});
  t.push_back({'F', 52, declared(Wind),
               [](DataSetReader& r) {
                 r.d(Wind[0]); r.d(Wind[1]); r.d(Wind[2]);
                 r.requireCount(3);
                 r.require(std::fabs(Wind[1]) + std::fabs(Wind[2]) <= 2);
                 r.require(in(Wind[0], 1e-7, 1000));
               }});
  t.push_back({'F', 53,
               declared(PrintIterBoogie, PrintIterRes, PrintIterForce, PrintIterTime),
               [](DataSetReader& r) {
                 r.i(PrintIterBoogie); r.i(PrintIterRes); r.i(PrintIterForce); r.i(PrintIterTime);
                 r.requireCount(4);
                 r.require(PrintIterBoogie >= 1);
                 r.require(PrintIterForce >= 1);
                 r.require(PrintIterTime >= 1);
               }});
  t.push_back({'F', 54, declared(TimeBreakLimit),
               [](DataSetReader& r) { r.d(TimeBreakLimit); r.require(TimeBreakLimit >= 0); }});
  // The slide variants 202 to 205 need the transient sediment computation of F 37 3, which
  // must therefore stand earlier in the file.
  t.push_back({'F', 56, declared(IterAvalanche, AngleAvalanche),
               [](DataSetReader& r) {
                 r.i(IterAvalanche); r.d(AngleAvalanche);
                 r.requireCount(2);
                 r.require(IterAvalanche >= 0);
                 r.require(in(AngleAvalanche, 0.01, 50));
                 r.require(!in(IterAvalanche, 202, 205) || FlagTSC == 3,
                           "Error for F 56/F 37 data sets: F 56 204/205 should only be used with F 37 3\n\n");
               }});
  t.push_back({'F', 58,
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
  t.push_back({'F', 60, declared(TSCbedrouse, TSCbedforms),
               [](DataSetReader& r) {
                 r.i(TSCbedrouse); r.i(TSCbedforms);
                 r.requireCount(2);
                 r.require(in(TSCbedrouse, 0, 10) && in(TSCbedforms, 0, 10));
               }});
  // The transient term divides by 1 - CrankNicols, so a weight of 1 itself is refused.
  t.push_back({'F', 61, declared(CrankNicols),
               [](DataSetReader& r) {
                 r.d(CrankNicols);
                 r.requireCount(1);
                 r.require(CrankNicols >= 0 && CrankNicols < 1);
               }});
  t.push_back({'F', 62, declared(FlagTComp),
               [](DataSetReader& r) { r.i(FlagTComp); r.require(oneOf01(FlagTComp)); }});
  // Equations 8 and 9 are the first two water-quality components, 7 the sediment
  // concentration; the sediment equation follows only when F 37 came earlier.
  t.push_back({'F', 63, declared(SouComp),
               [](DataSetReader& r) {
                 r.i(SouComp);
                 r.require(in(SouComp, 0, 100));
                 if (SouComp == 1) sou[8] = sou[9] = 1;
                 if (FlagTSC > 0) sou[7] = SouComp;
               }});
  t.push_back({'F', 64, declared(UMethod, TopBed),
               [](DataSetReader& r) {
                 r.i(UMethod);
                 r.requireCount(1);
                 r.require(in(UMethod, 0, 500));
                 TopBed = topBedZero(UMethod) ? 0 : 1;
               }});
  t.push_back({'F', 65,
               declared(MaxCeller, MaxFlater, MaxPunkter, MaxNester, MaxConnFlate),
               [](DataSetReader& r) {
                 r.i(MaxCeller); r.i(MaxFlater); r.i(MaxPunkter); r.i(MaxNester); r.i(MaxConnFlate);
                 r.require(MaxPunkter >= 6 && MaxCeller >= 1 && MaxFlater >= 6,
                           "Error for F 65 in control: too low numbers");
                 r.requireCount(5, strf("Error for F 65 in control: Have only read %d numbers.", r.count()));
                 if (MaxNester < 2) MaxNester = 2;
                 if (MaxConnFlate < 2) MaxConnFlate = 2;
               }});
  t.push_back({'F', 66, declared(NestInterpolRelax),
               [](DataSetReader& r) { r.d(NestInterpolRelax); r.require(in(NestInterpolRelax, 0, 1)); }});
  // Temperature is always component 0; its name is padded with blanks to 19 characters.
  t.push_back({'F', 67, declared(TemperatureFlag),
               [](DataSetReader& r) {
                 r.i(TemperatureFlag);
                 r.require(oneOf01(TemperatureFlag));
                 if (TemperatureFlag == 1) {
                   std::snprintf(QualityName[0].data(), QualityName[0].size(), "%-19s", "Temperature");
                   if (NoComponents < 1) NoComponents = 1;
                 }
               }});
  addValue(t, 68, Hydrostatic, 0, 10);
  t.push_back({'F', 69,
               declared(Seiche1, Seiche2, Seiche3, Seiche4, Seiche5, Seiche6, Seiche7),
               [](DataSetReader& r) {
                 r.i(Seiche1); r.i(Seiche2); r.i(Seiche3); r.i(Seiche4);
                 r.i(Seiche5); r.i(Seiche6); r.i(Seiche7);
                 r.requireCount(7);
               }});
  addValue(t, 70, WallFlag, 0, 100);
  addValue(t, 71, TurbDensFlag, 0, 100);
  addValue(t, 72, MinGamma, 0, 100);
  addValue(t, 73, WindFlag, 0, 100);
  addValue(t, 74, TimeRelaxFlag, 0, 2);
  t.push_back({'F', 75, declared(Thermocline, FlagThermocline),
               [](DataSetReader& r) {
                 r.d(Thermocline);
                 r.requireCount(1);
                 r.require(in(Thermocline, -0.5, 40));
                 FlagThermocline = 1;
               }});
  t.push_back({'F', 76, declared(TDChoriz, TDCvert, TDCdistrib),
               [](DataSetReader& r) {
                 r.d(TDChoriz); r.d(TDCvert); r.d(TDCdistrib);
                 r.requireCount(3);
                 r.require(TDChoriz >= 0);
                 r.require(TDCvert >= 0);
                 r.require(in(TDCdistrib, 0, 1) && TDChoriz <= 1000 && TDCvert <= 1000);
               }});
  t.push_back({'F', 77, declared(TChoriz, TCvert),
               [](DataSetReader& r) {
                 r.d(TChoriz); r.d(TCvert);
                 r.requireCount(2);
                 r.require(TChoriz >= 0 && TCvert >= 0);
               }});
  addSwitchValue(t, 78, BedLoadVectorFlag, BedLoadVectorParam, 0);
  // lnumber takes its default from G 1, which sets it too.
  t.push_back({'F', 79, declared(FlagBedCalc),
               [](DataSetReader& r) {
                 r.i(FlagBedCalc); r.i(lnumber);
                 r.requireCount(2);
                 r.require(in(FlagBedCalc, 0, 10));
                 r.require(in(lnumber, 0, 50));
               }});
  // Coriolis takes its default from F 51.
  t.push_back({'F', 80, declared(relaxCoriolis),
               [](DataSetReader& r) {
                 r.d(Coriolis); r.d(relaxCoriolis);
                 r.requireCount(2);
                 r.require(relaxCoriolis >= 0);
                 r.require(std::fabs(Coriolis) <= 2);
                 FlagCoriolis = 1;
               }});
  addValue(t, 81, ArrayTimeSteps, 1);
  t.push_back({'F', 82,
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
               declared(ConcFormBCoeff, ConcFormBTstar, ConcFormBDstar, ConcFormBD50),
               [](DataSetReader& r) {
                 r.d(ConcFormBCoeff); r.d(ConcFormBTstar); r.d(ConcFormBDstar); r.d(ConcFormBD50);
                 r.requireCount(4);
               }});
  addValue(t, 84, BedLoadFlag, 0);
  addValue(t, 85, ContinuityFlag, 0);
  // One minimum depth sets the three depth limits of the grid generator.
  t.push_back({'F', 86, declared(MinVertDist),
               [](DataSetReader& r) {
                 r.d(MinVertDist);
                 r.requireCount(1);
                 r.require(in(MinVertDist, 0, 10));
                 MinVertDist1 = MinVertDist;
                 MinVertDist0 = 0.25 * MinVertDist;
               }});
  addValue(t, 87, GridDistCoeff, 0, 10);
  addValue(t, 88, MaxGamma, 0, 1e308);
  addValue(t, 89, DistGridHoriz, 0.001, 1);
  addValue(t, 90, FlagRoughness, 0, 10);
  t.push_back({'F', 91, declared(iPres, jPres),
               [](DataSetReader& r) {
                 r.i(iPres); r.i(jPres);
                 r.requireCount(2);
                 r.require(iPres >= 0 && jPres >= 0);
               }});
  addValue(t, 92, PorosWallFlag, 0);
  t.push_back({'F', 93, declared(FroudeHystat, FlagFroudeHystat),
               [](DataSetReader& r) {
                 r.d(FroudeHystat);
                 r.requireCount(1);
                 r.require(in(FroudeHystat, 0, 1000));
                 FlagFroudeHystat = 1;
               }});
  t.push_back({'F', 94, declared(MinVertDist0, MinVertDist1),
               [](DataSetReader& r) {
                 r.d(MinVertDist0); r.d(MinVertDist1);
                 r.requireCount(2);
                 r.require(MinVertDist1 >= 0);
                 MinVertDist = MinVertDist1;
               }});
  // The stability parameters mean the porous wall of option 2 unless F 92 chose one.
  t.push_back({'F', 95, declared(BPWparam1, BPWparam2),
               [](DataSetReader& r) {
                 r.d(BPWparam1); r.d(BPWparam2);
                 r.requireCount(2);
                 r.require(BPWparam1 >= 0 && BPWparam2 >= 0);
                 if (PorosWallFlag == 0) PorosWallFlag = 2;
               }});
  addValue(t, 96, OneCellSource, 0);
  addValue(t, 98, BlockMethodFlag, 0);
  addValue(t, 99, BedRecIter, 1);
}

}  // namespace qorva
