// Data sets F 50 to F 99 of `control`: defaults, readers and range checks.
// Writes the globals of state/options_f050_099.h, and lnumber (F 79), sou (F 63) and
// QualityName (F 67) of other families.
#include <cmath>
#include <cstdio>

#include "driver/control.h"
#include "state/log.h"
#include "state/options.h"

namespace qorva {

namespace {

bool in(double v, double lo, double hi) { return v >= lo && v <= hi; }
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

// A data set of one int with a count check and a range.
void addInt1(DataSetTable& t, int number, int& target, int def, int lo, int hi) {
  int* p = &target;
  t.push_back({'F', number, [p, def] { *p = def; },
               [p, lo, hi](DataSetReader& r) {
                 r.i(*p);
                 r.requireCount(1);
                 r.require(in(*p, lo, hi));
               }});
}

// The same for one double.
void addDouble1(DataSetTable& t, int number, double& target, double def, double lo, double hi) {
  double* p = &target;
  t.push_back({'F', number, [p, def] { *p = def; },
               [p, lo, hi](DataSetReader& r) {
                 r.d(*p);
                 r.requireCount(1);
                 r.require(in(*p, lo, hi));
               }});
}

constexpr int kNoLimit = 2147483647;
constexpr double kHuge = 1e308;

}  // namespace

void addFsets050_099(DataSetTable& t) {
  t.push_back({'F', 50, [] { NoComponents = 0; },
               [](DataSetReader& r) { r.i(NoComponents); r.require(in(NoComponents, 0, 10)); }});
  t.push_back({'F', 51, [] { Coriolis = 0; FlagCoriolis = 0; },
               [](DataSetReader& r) {
                 r.d(Coriolis);
                 r.require(std::fabs(Coriolis) <= 2);
                 FlagCoriolis = 1;
               }});
  t.push_back({'F', 52, [] { Wind[0] = Wind[1] = Wind[2] = 0; },
               [](DataSetReader& r) {
                 r.d(Wind[0]); r.d(Wind[1]); r.d(Wind[2]);
                 r.requireCount(3);
                 r.require(std::fabs(Wind[1]) + std::fabs(Wind[2]) <= 2);
                 r.require(in(Wind[0], 1e-7, 1000));
               }});
  t.push_back({'F', 53,
               [] { PrintIterBoogie = 100; PrintIterRes = 100; PrintIterForce = 1; PrintIterTime = 1; },
               [](DataSetReader& r) {
                 r.i(PrintIterBoogie); r.i(PrintIterRes); r.i(PrintIterForce); r.i(PrintIterTime);
                 r.requireCount(4);
                 r.require(PrintIterBoogie >= 1);
                 r.require(PrintIterForce >= 1);
                 r.require(PrintIterTime >= 1);
               }});
  t.push_back({'F', 54, [] { TimeBreakLimit = 0.002; },
               [](DataSetReader& r) { r.d(TimeBreakLimit); r.require(TimeBreakLimit >= 0); }});
  // The slide variants 202 to 205 need the transient sediment computation of F 37 3, which
  // must therefore stand earlier in the file.
  t.push_back({'F', 56, [] { IterAvalanche = 0; AngleAvalanche = 1.0; },
               [](DataSetReader& r) {
                 r.i(IterAvalanche); r.d(AngleAvalanche);
                 r.requireCount(2);
                 r.require(IterAvalanche >= 0);
                 r.require(in(AngleAvalanche, 0.01, 50));
                 r.require(!in(IterAvalanche, 202, 205) || FlagTSC == 3,
                           "Error for F 56/F 37 data sets: F 56 204/205 should only be used with F 37 3\n\n");
               }});
  t.push_back({'F', 58,
               [] {
                 TFStimeterm = 1; TFSpreszero = 0; TFSmovewall = 0; TFSfroudeforward = 1;
                 TFSdiffratio = 0.02; TFSdampwall = 2.0; TFSdampobs = 2.0; TFStopvelocity = 0;
                 TFSforcesource = 1.0; TFSuslope = 0;
               },
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
  t.push_back({'F', 60, [] { TSCbedrouse = 0; TSCbedforms = 0; },
               [](DataSetReader& r) {
                 r.i(TSCbedrouse); r.i(TSCbedforms);
                 r.requireCount(2);
                 r.require(in(TSCbedrouse, 0, 10) && in(TSCbedforms, 0, 10));
               }});
  // The transient term divides by 1 - CrankNicols, so a weight of 1 itself is refused.
  t.push_back({'F', 61, [] { CrankNicols = 0; },
               [](DataSetReader& r) {
                 r.d(CrankNicols);
                 r.requireCount(1);
                 r.require(CrankNicols >= 0 && CrankNicols < 1);
               }});
  t.push_back({'F', 62, [] { FlagTComp = 0; },
               [](DataSetReader& r) { r.i(FlagTComp); r.require(oneOf01(FlagTComp)); }});
  // Equations 8 and 9 are the first two water-quality components, 7 the sediment
  // concentration; the sediment equation follows only when F 37 came earlier.
  t.push_back({'F', 63, [] { SouComp = 0; },
               [](DataSetReader& r) {
                 r.i(SouComp);
                 r.require(in(SouComp, 0, 100));
                 if (SouComp == 1) sou[8] = sou[9] = 1;
                 if (FlagTSC > 0) sou[7] = SouComp;
               }});
  t.push_back({'F', 64, [] { UMethod = 11; TopBed = 0; },
               [](DataSetReader& r) {
                 r.i(UMethod);
                 r.requireCount(1);
                 r.require(in(UMethod, 0, 500));
                 TopBed = topBedZero(UMethod) ? 0 : 1;
               }});
  t.push_back({'F', 65,
               [] { MaxCeller = 50000; MaxFlater = 80000; MaxPunkter = 50000; MaxNester = 10000; MaxConnFlate = 1000; },
               [](DataSetReader& r) {
                 r.i(MaxCeller); r.i(MaxFlater); r.i(MaxPunkter); r.i(MaxNester); r.i(MaxConnFlate);
                 r.require(MaxPunkter >= 6 && MaxCeller >= 1 && MaxFlater >= 6,
                           "Error for F 65 in control: too low numbers");
                 r.requireCount(5, strf("Error for F 65 in control: Have only read %d numbers.", r.count()));
                 if (MaxNester < 2) MaxNester = 2;
                 if (MaxConnFlate < 2) MaxConnFlate = 2;
               }});
  t.push_back({'F', 66, [] { NestInterpolRelax = 0; },
               [](DataSetReader& r) { r.d(NestInterpolRelax); r.require(in(NestInterpolRelax, 0, 1)); }});
  // Temperature is always component 0; its name is padded with blanks to 19 characters.
  t.push_back({'F', 67, [] { TemperatureFlag = 0; },
               [](DataSetReader& r) {
                 r.i(TemperatureFlag);
                 r.require(oneOf01(TemperatureFlag));
                 if (TemperatureFlag == 1) {
                   std::snprintf(QualityName[0].data(), QualityName[0].size(), "%-19s", "Temperature");
                   if (NoComponents < 1) NoComponents = 1;
                 }
               }});
  addInt1(t, 68, Hydrostatic, 0, 0, 10);
  t.push_back({'F', 69,
               [] { Seiche1 = Seiche2 = Seiche3 = Seiche4 = Seiche5 = Seiche6 = Seiche7 = 0; },
               [](DataSetReader& r) {
                 r.i(Seiche1); r.i(Seiche2); r.i(Seiche3); r.i(Seiche4);
                 r.i(Seiche5); r.i(Seiche6); r.i(Seiche7);
                 r.requireCount(7);
               }});
  addInt1(t, 70, WallFlag, 0, 0, 100);
  addInt1(t, 71, TurbDensFlag, 0, 0, 100);
  addDouble1(t, 72, MinGamma, 0.001, 0, 100);
  addInt1(t, 73, WindFlag, 0, 0, 100);
  addInt1(t, 74, TimeRelaxFlag, 0, 0, 2);
  t.push_back({'F', 75, [] { Thermocline = 0; FlagThermocline = 0; },
               [](DataSetReader& r) {
                 r.d(Thermocline);
                 r.requireCount(1);
                 r.require(in(Thermocline, -0.5, 40));
                 FlagThermocline = 1;
               }});
  t.push_back({'F', 76, [] { TDChoriz = 1.0; TDCvert = 1.0; TDCdistrib = 0; },
               [](DataSetReader& r) {
                 r.d(TDChoriz); r.d(TDCvert); r.d(TDCdistrib);
                 r.requireCount(3);
                 r.require(TDChoriz >= 0);
                 r.require(TDCvert >= 0);
                 r.require(in(TDCdistrib, 0, 1) && TDChoriz <= 1000 && TDCvert <= 1000);
               }});
  t.push_back({'F', 77, [] { TChoriz = 1.0; TCvert = 1.0; },
               [](DataSetReader& r) {
                 r.d(TChoriz); r.d(TCvert);
                 r.requireCount(2);
                 r.require(TChoriz >= 0 && TCvert >= 0);
               }});
  t.push_back({'F', 78, [] { BedLoadVectorFlag = 0; BedLoadVectorParam = 0.6; },
               [](DataSetReader& r) {
                 r.i(BedLoadVectorFlag); r.d(BedLoadVectorParam);
                 r.requireCount(2);
                 r.require(BedLoadVectorFlag >= 0);
               }});
  // lnumber takes its default from G 1, which sets it too.
  t.push_back({'F', 79, [] { FlagBedCalc = 0; },
               [](DataSetReader& r) {
                 r.i(FlagBedCalc); r.i(lnumber);
                 r.requireCount(2);
                 r.require(in(FlagBedCalc, 0, 10));
                 r.require(in(lnumber, 0, 50));
               }});
  // Coriolis takes its default from F 51.
  t.push_back({'F', 80, [] { relaxCoriolis = 0; },
               [](DataSetReader& r) {
                 r.d(Coriolis); r.d(relaxCoriolis);
                 r.requireCount(2);
                 r.require(relaxCoriolis >= 0);
                 r.require(std::fabs(Coriolis) <= 2);
                 FlagCoriolis = 1;
               }});
  addInt1(t, 81, ArrayTimeSteps, 200, 1, kNoLimit);
  t.push_back({'F', 82,
               [] {
                 TurbDensAlphaU = -0.5; TurbDensBetaU = 10.0; TurbDensAlphaT = -1.5;
                 TurbDensBetaT = 3.33; TDvelo = 1e-6;
               },
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
               [] { ConcFormBCoeff = 0.053; ConcFormBTstar = 2.1; ConcFormBDstar = 0.3; ConcFormBD50 = 1.5; },
               [](DataSetReader& r) {
                 r.d(ConcFormBCoeff); r.d(ConcFormBTstar); r.d(ConcFormBDstar); r.d(ConcFormBD50);
                 r.requireCount(4);
               }});
  addInt1(t, 84, BedLoadFlag, 0, 0, kNoLimit);
  addInt1(t, 85, ContinuityFlag, 0, 0, kNoLimit);
  // One minimum depth sets the three depth limits of the grid generator.
  t.push_back({'F', 86, [] { MinVertDist = 0.001; },
               [](DataSetReader& r) {
                 r.d(MinVertDist);
                 r.requireCount(1);
                 r.require(in(MinVertDist, 0, 10));
                 MinVertDist1 = MinVertDist;
                 MinVertDist0 = 0.25 * MinVertDist;
               }});
  addDouble1(t, 87, GridDistCoeff, 0.6, 0, 10);
  addDouble1(t, 88, MaxGamma, 1000.0, 0, kHuge);
  addDouble1(t, 89, DistGridHoriz, 0.5, 0.001, 1);
  addInt1(t, 90, FlagRoughness, 0, 0, 10);
  t.push_back({'F', 91, [] { iPres = 0; jPres = 0; },
               [](DataSetReader& r) {
                 r.i(iPres); r.i(jPres);
                 r.requireCount(2);
                 r.require(iPres >= 0 && jPres >= 0);
               }});
  addInt1(t, 92, PorosWallFlag, 0, 0, kNoLimit);
  t.push_back({'F', 93, [] { FroudeHystat = 1.0; FlagFroudeHystat = 0; },
               [](DataSetReader& r) {
                 r.d(FroudeHystat);
                 r.requireCount(1);
                 r.require(in(FroudeHystat, 0, 1000));
                 FlagFroudeHystat = 1;
               }});
  t.push_back({'F', 94, [] { MinVertDist0 = -0.001; MinVertDist1 = 0.01; },
               [](DataSetReader& r) {
                 r.d(MinVertDist0); r.d(MinVertDist1);
                 r.requireCount(2);
                 r.require(MinVertDist1 >= 0);
                 MinVertDist = MinVertDist1;
               }});
  // The stability parameters mean the porous wall of option 2 unless F 92 chose one.
  t.push_back({'F', 95, [] { BPWparam1 = 0.5; BPWparam2 = 0.2; },
               [](DataSetReader& r) {
                 r.d(BPWparam1); r.d(BPWparam2);
                 r.requireCount(2);
                 r.require(BPWparam1 >= 0 && BPWparam2 >= 0);
                 if (PorosWallFlag == 0) PorosWallFlag = 2;
               }});
  addInt1(t, 96, OneCellSource, 0, 0, kNoLimit);
  addInt1(t, 98, BlockMethodFlag, 0, 0, kNoLimit);
  addInt1(t, 99, BedRecIter, 1, 1, kNoLimit);
}

}  // namespace qorva
