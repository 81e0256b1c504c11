// Data sets F 50 to F 99: defaults, accepted values with their side effects, failures with
// their texts, and the rows whose checks or effects depend on data sets read before them.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "state/options.h"
#include "support/scratch.h"

namespace qorva {
namespace {

class Fsets050Test : public test::Scratch {
 protected:
  // lnumber, sou and QualityName belong to other data sets but are written here; whatever a
  // case leaves in them is put back so that no later case or test sees it.
  void SetUp() override {
    test::Scratch::SetUp();
    savedL_ = lnumber;
    savedSou_ = sou;
    savedNames_ = QualityName;
  }
  void TearDown() override {
    restore();
    test::Scratch::TearDown();
  }
  void restore() {
    lnumber = savedL_;
    sou = savedSou_;
    QualityName = savedNames_;
  }
  // Each case of a table starts from the defaults with no log.
  void fresh() {
    restore();
    setDefaults();
    std::filesystem::remove("boogie");
  }

 private:
  int savedL_ = 0;
  Fixed<int, 50> savedSou_;
  Fixed<std::array<char, 40>, 40> savedNames_;
};

TEST_F(Fsets050Test, DefaultsBeforeReading) {
  EXPECT_EQ(NoComponents, 0);
  EXPECT_EQ(Coriolis, 0.0);
  EXPECT_EQ(FlagCoriolis, 0);
  EXPECT_EQ(Wind[0] + Wind[1] + Wind[2], 0.0);
  EXPECT_EQ(PrintIterBoogie, 100);
  EXPECT_EQ(PrintIterRes, 100);
  EXPECT_EQ(PrintIterForce, 1);
  EXPECT_EQ(PrintIterTime, 1);
  EXPECT_EQ(TimeBreakLimit, 0.002);
  EXPECT_EQ(IterAvalanche, 0);
  EXPECT_EQ(AngleAvalanche, 1.0);
  EXPECT_EQ(TFStimeterm, 1);
  EXPECT_EQ(TFSpreszero, 0);
  EXPECT_EQ(TFSmovewall, 0);
  EXPECT_EQ(TFSfroudeforward, 1);
  EXPECT_EQ(TFSdiffratio, 0.02);
  EXPECT_EQ(TFSdampwall, 2.0);
  EXPECT_EQ(TFSdampobs, 2.0);
  EXPECT_EQ(TFStopvelocity, 0.0);
  EXPECT_EQ(TFSforcesource, 1.0);
  EXPECT_EQ(TFSuslope, 0.0);
  EXPECT_EQ(TSCbedrouse, 0);
  EXPECT_EQ(TSCbedforms, 0);
  EXPECT_EQ(CrankNicols, 0.0);
  EXPECT_EQ(UMethod, 11);
  EXPECT_EQ(TopBed, 0);  // the default method 11 builds from the surface
  EXPECT_EQ(MaxCeller, 50000);
  EXPECT_EQ(MaxFlater, 80000);
  EXPECT_EQ(MaxPunkter, 50000);
  EXPECT_EQ(MaxNester, 10000);
  EXPECT_EQ(MaxConnFlate, 1000);
  EXPECT_EQ(Hydrostatic, 0);
  EXPECT_EQ(MinGamma, 0.001);
  EXPECT_EQ(TDChoriz, 1.0);
  EXPECT_EQ(TCvert, 1.0);
  EXPECT_EQ(BedLoadVectorParam, 0.6);
  EXPECT_EQ(ArrayTimeSteps, 200);
  EXPECT_EQ(TurbDensAlphaU, -0.5);
  EXPECT_EQ(TurbDensBetaU, 10.0);
  EXPECT_EQ(TurbDensAlphaT, -1.5);
  EXPECT_EQ(TurbDensBetaT, 3.33);
  EXPECT_EQ(TDvelo, 1e-6);
  EXPECT_EQ(ConcFormBCoeff, 0.053);
  EXPECT_EQ(ConcFormBTstar, 2.1);
  EXPECT_EQ(ConcFormBDstar, 0.3);
  EXPECT_EQ(ConcFormBD50, 1.5);
  EXPECT_EQ(MinVertDist, 0.001);
  EXPECT_EQ(MinVertDist0, -0.001);
  EXPECT_EQ(MinVertDist1, 0.01);
  EXPECT_EQ(GridDistCoeff, 0.6);
  EXPECT_EQ(MaxGamma, 1000.0);
  EXPECT_EQ(DistGridHoriz, 0.5);
  EXPECT_EQ(FroudeHystat, 1.0);
  EXPECT_EQ(FlagFroudeHystat, 0);
  EXPECT_EQ(BPWparam1, 0.5);
  EXPECT_EQ(BPWparam2, 0.2);
  EXPECT_EQ(BedRecIter, 1);
}

TEST_F(Fsets050Test, DefaultsAreRestoredAfterAValueWasRead) {
  ASSERT_EQ(scan("F 51 1 F 64 14 F 65 100 200 300 0 0 F 86 0.004 F 93 5 F 95 1 1 F 99 3"), 1000);
  setDefaults();
  EXPECT_EQ(FlagCoriolis, 0);
  EXPECT_EQ(TopBed, 0);
  EXPECT_EQ(MaxNester, 10000);
  EXPECT_EQ(MinVertDist, 0.001);
  EXPECT_EQ(MinVertDist0, -0.001);
  EXPECT_EQ(MinVertDist1, 0.01);
  EXPECT_EQ(FlagFroudeHystat, 0);
  EXPECT_EQ(PorosWallFlag, 0);
  EXPECT_EQ(BedRecIter, 1);
}

using test::Accepted;

TEST_F(Fsets050Test, AcceptedValuesAreStored) {
  const std::vector<Accepted> cases = {
      {"F 50 10", [] { EXPECT_EQ(NoComponents, 10); }},
      {"F 51 -2",
       [] {
         EXPECT_EQ(Coriolis, -2.0);
         EXPECT_EQ(FlagCoriolis, 1);
       }},
      {"F 52 5 1 -1",
       [] {
         EXPECT_EQ(Wind[0], 5.0);
         EXPECT_EQ(Wind[1], 1.0);
         EXPECT_EQ(Wind[2], -1.0);
       }},
      {"F 52 1e-7 0 0", [] { EXPECT_EQ(Wind[0], 1e-7); }},
      {"F 53 1 0 1 1",
       [] {
         EXPECT_EQ(PrintIterBoogie, 1);
         EXPECT_EQ(PrintIterRes, 0);
         EXPECT_EQ(PrintIterForce, 1);
         EXPECT_EQ(PrintIterTime, 1);
       }},
      {"F 54 0", [] { EXPECT_EQ(TimeBreakLimit, 0.0); }},
      {"F 56 201 0.6",
       [] {
         EXPECT_EQ(IterAvalanche, 201);
         EXPECT_EQ(AngleAvalanche, 0.6);
       }},
      {"F 56 206 50", [] { EXPECT_EQ(IterAvalanche, 206); }},
      {"F 37 3 F 56 204 0.01", [] { EXPECT_EQ(IterAvalanche, 204); }},
      {"F 58 0 1 1 0 0 5 0 -0.0001 5 0",
       [] {
         EXPECT_EQ(TFStimeterm, 0);
         EXPECT_EQ(TFSpreszero, 1);
         EXPECT_EQ(TFSmovewall, 1);
         EXPECT_EQ(TFSfroudeforward, 0);
         EXPECT_EQ(TFSdiffratio, 0.0);
         EXPECT_EQ(TFSdampwall, 5.0);
         EXPECT_EQ(TFSdampobs, 0.0);
         EXPECT_EQ(TFStopvelocity, -0.0001);
         EXPECT_EQ(TFSforcesource, 5.0);
         EXPECT_EQ(TFSuslope, 0.0);
       }},
      // No count check: what is not given keeps its value.
      {"F 58 0 1",
       [] {
         EXPECT_EQ(TFStimeterm, 0);
         EXPECT_EQ(TFSpreszero, 1);
         EXPECT_EQ(TFSdampwall, 2.0);
       }},
      {"F 60 10 0",
       [] {
         EXPECT_EQ(TSCbedrouse, 10);
         EXPECT_EQ(TSCbedforms, 0);
       }},
      {"F 61 0.999", [] { EXPECT_EQ(CrankNicols, 0.999); }},
      {"F 61 0", [] { EXPECT_EQ(CrankNicols, 0.0); }},
      {"F 62 1", [] { EXPECT_EQ(FlagTComp, 1); }},
      {"F 65 100 200 300 0 0",
       [] {
         EXPECT_EQ(MaxCeller, 100);
         EXPECT_EQ(MaxFlater, 200);
         EXPECT_EQ(MaxPunkter, 300);
         EXPECT_EQ(MaxNester, 2);
         EXPECT_EQ(MaxConnFlate, 2);
       }},
      {"F 65 1 6 6 5 -7",
       [] {
         EXPECT_EQ(MaxCeller, 1);
         EXPECT_EQ(MaxNester, 5);
         EXPECT_EQ(MaxConnFlate, 2);
       }},
      {"F 66 1", [] { EXPECT_EQ(NestInterpolRelax, 1.0); }},
      {"F 68 10", [] { EXPECT_EQ(Hydrostatic, 10); }},
      {"F 69 1 2 3 4 5 6 7",
       [] {
         EXPECT_EQ(Seiche1, 1);
         EXPECT_EQ(Seiche4, 4);
         EXPECT_EQ(Seiche7, 7);
       }},
      {"F 70 100", [] { EXPECT_EQ(WallFlag, 100); }},
      {"F 71 0", [] { EXPECT_EQ(TurbDensFlag, 0); }},
      {"F 72 100", [] { EXPECT_EQ(MinGamma, 100.0); }},
      {"F 73 100", [] { EXPECT_EQ(WindFlag, 100); }},
      {"F 74 2", [] { EXPECT_EQ(TimeRelaxFlag, 2); }},
      {"F 75 -0.5",
       [] {
         EXPECT_EQ(Thermocline, -0.5);
         EXPECT_EQ(FlagThermocline, 1);
       }},
      {"F 76 1000 0 1",
       [] {
         EXPECT_EQ(TDChoriz, 1000.0);
         EXPECT_EQ(TDCvert, 0.0);
         EXPECT_EQ(TDCdistrib, 1.0);
       }},
      {"F 77 0 3",
       [] {
         EXPECT_EQ(TChoriz, 0.0);
         EXPECT_EQ(TCvert, 3.0);
       }},
      {"F 78 2 -1",
       [] {
         EXPECT_EQ(BedLoadVectorFlag, 2);
         EXPECT_EQ(BedLoadVectorParam, -1.0);
       }},
      {"F 79 10 50",
       [] {
         EXPECT_EQ(FlagBedCalc, 10);
         EXPECT_EQ(lnumber, 50);
       }},
      {"F 79 0 0", [] { EXPECT_EQ(lnumber, 0); }},
      {"F 80 -1.5 0",
       [] {
         EXPECT_EQ(Coriolis, -1.5);
         EXPECT_EQ(relaxCoriolis, 0.0);
         EXPECT_EQ(FlagCoriolis, 1);
       }},
      {"F 81 1", [] { EXPECT_EQ(ArrayTimeSteps, 1); }},
      {"F 82 0 0 0 0 0",
       [] {
         EXPECT_EQ(TurbDensAlphaU, 0.0);
         EXPECT_EQ(TurbDensBetaT, 0.0);
         EXPECT_EQ(TDvelo, 0.0);
       }},
      {"F 83 1 2 3 4",
       [] {
         EXPECT_EQ(ConcFormBCoeff, 1.0);
         EXPECT_EQ(ConcFormBD50, 4.0);
       }},
      {"F 84 0", [] { EXPECT_EQ(BedLoadFlag, 0); }},
      {"F 85 3", [] { EXPECT_EQ(ContinuityFlag, 3); }},
      {"F 86 0.004",
       [] {
         EXPECT_EQ(MinVertDist, 0.004);
         EXPECT_EQ(MinVertDist1, 0.004);
         EXPECT_EQ(MinVertDist0, 0.001);
       }},
      {"F 86 0.004 F 94 -0.5 0.02",
       [] {
         EXPECT_EQ(MinVertDist, 0.02);
         EXPECT_EQ(MinVertDist0, -0.5);
         EXPECT_EQ(MinVertDist1, 0.02);
       }},
      {"F 87 10", [] { EXPECT_EQ(GridDistCoeff, 10.0); }},
      {"F 88 0", [] { EXPECT_EQ(MaxGamma, 0.0); }},
      {"F 89 0.001", [] { EXPECT_EQ(DistGridHoriz, 0.001); }},
      {"F 90 10", [] { EXPECT_EQ(FlagRoughness, 10); }},
      {"F 91 3 0",
       [] {
         EXPECT_EQ(iPres, 3);
         EXPECT_EQ(jPres, 0);
       }},
      {"F 93 0.5",
       [] {
         EXPECT_EQ(FroudeHystat, 0.5);
         EXPECT_EQ(FlagFroudeHystat, 1);
       }},
      {"F 95 0.5 0.2", [] { EXPECT_EQ(PorosWallFlag, 2); }},
      {"F 92 1 F 95 0 0", [] { EXPECT_EQ(PorosWallFlag, 1); }},
      {"F 96 5", [] { EXPECT_EQ(OneCellSource, 5); }},
      {"F 98 1", [] { EXPECT_EQ(BlockMethodFlag, 1); }},
      {"F 99 1", [] { EXPECT_EQ(BedRecIter, 1); }},
  };
  expectAccepted(cases, [this](const Accepted&) { fresh(); });
}

using test::Refusal;

TEST_F(Fsets050Test, RefusedValuesEndTheRunWithTheirText) {
  const std::vector<Refusal> cases = {
      {"F 50 11", 1, "Error for F 50 in control"},
      {"F 50 -1", 1, "Error for F 50 in control"},
      {"F 51 2.01", 1, "Error for F 51 in control"},
      {"F 51 -2.5", 1, "Error for F 51 in control"},
      {"F 52 5 1", 1, "Error for F 52 in control"},
      {"F 52 5 1.5 -0.6", 1, "Error for F 52 in control"},
      {"F 52 0 0 0", 1, "Error for F 52 in control"},
      {"F 52 1001 0 0", 1, "Error for F 52 in control"},
      {"F 53 1 1 1", 1, "Error for F 53 in control"},
      {"F 53 0 1 1 1", 1, "Error for F 53 in control"},
      {"F 53 1 1 0 1", 1, "Error for F 53 in control"},
      {"F 53 1 1 1 0", 1, "Error for F 53 in control"},
      {"F 54 -0.1", 1, "Error for F 54 in control"},
      {"F 56 5", 1, "Error for F 56 in control"},
      {"F 56 -1 0.6", 1, "Error for F 56 in control"},
      {"F 56 5 0.009", 1, "Error for F 56 in control"},
      {"F 56 5 50.1", 1, "Error for F 56 in control"},
      // The slide variants 202 to 205 need F 37 3 earlier in the file.
      {"F 56 204 0.6", 1, "Error for F 56/F 37 data sets: F 56 204/205 should only be used with F 37 3\n\n"},
      {"F 56 202 0.6", 1, "Error for F 56/F 37 data sets: F 56 204/205 should only be used with F 37 3\n\n"},
      {"F 37 2 F 56 205 0.6", 1, "Error for F 56/F 37 data sets: F 56 204/205 should only be used with F 37 3\n\n"},
      {"F 56 204 0.6 F 37 3", 1, "Error for F 56/F 37 data sets: F 56 204/205 should only be used with F 37 3\n\n"},
      {"F 58 1 0 0 1 -0.1 2 2 0 1 0", 1, "Error for F 58 in control"},
      {"F 58 1 0 0 1 0.02 5.1 2 0 1 0", 1, "Error for F 58 in control"},
      {"F 58 1 0 0 1 0.02 2 -0.1 0 1 0", 1, "Error for F 58 in control"},
      {"F 58 2 0 0 1 0.02 2 2 0 1 0", 1, "Error for F 58 in control"},
      {"F 58 1 0 0 1 0.02 2 2 5.1 1 0", 1, "Error for F 58 in control"},
      {"F 58 1 0 0 1 0.02 2 2 0 -0.01 0", 1, "Error for F 58 in control"},
      {"F 58 1 0 0 2 0.02 2 2 0 1 0", 1, "Error for F 58 in control"},
      {"F 58 1 0 0 1 0.02 2 2 0 5.1 0", 1, "Error for F 58 in control"},
      {"F 58 1 0 0 1 0.02 2 2 0 1 -1", 1, "Error for F 58 in control"},
      {"F 60 11 0", 1, "Error for F 60 in control"},
      {"F 60 0 -1", 1, "Error for F 60 in control"},
      {"F 60 1", 1, "Error for F 60 in control"},
      {"F 61 1", 1, "Error for F 61 in control"},
      {"F 61 1.5", 1, "Error for F 61 in control"},
      {"F 61 -0.1", 1, "Error for F 61 in control"},
      {"F 61", 1, "Error for F 61 in control"},
      {"F 62 2", 1, "Error for F 62 in control"},
      {"F 63 101", 1, "Error for F 63 in control"},
      {"F 63 -1", 1, "Error for F 63 in control"},
      {"F 64 -1", 1, "Error for F 64 in control"},
      {"F 64 501", 1, "Error for F 64 in control"},
      {"F 64", 1, "Error for F 64 in control"},
      {"F 65 1000 2000 5 100 100", 1, "Error for F 65 in control: too low numbers"},
      {"F 65 0 6 6 1 1", 1, "Error for F 65 in control: too low numbers"},
      {"F 65 1 5 6 1 1", 1, "Error for F 65 in control: too low numbers"},
      {"F 65 1000 2000 3000 1 F 1 N", 1, "Error for F 65 in control: Have only read 4 numbers."},
      {"F 66 1.01", 1, "Error for F 66 in control"},
      {"F 67 2", 1, "Error for F 67 in control"},
      {"F 68 11", 1, "Error for F 68 in control"},
      {"F 68", 1, "Error for F 68 in control"},
      {"F 69 1 2 3 4 5 6", 1, "Error for F 69 in control"},
      {"F 70 101", 1, "Error for F 70 in control"},
      {"F 71 -1", 1, "Error for F 71 in control"},
      {"F 72 100.5", 1, "Error for F 72 in control"},
      {"F 73 101", 1, "Error for F 73 in control"},
      {"F 74 3", 1, "Error for F 74 in control"},
      {"F 75 40.1", 1, "Error for F 75 in control"},
      {"F 75 -0.6", 1, "Error for F 75 in control"},
      {"F 76 -1 1 0", 1, "Error for F 76 in control"},
      {"F 76 1 1 1.5", 1, "Error for F 76 in control"},
      {"F 76 1 1001 0", 1, "Error for F 76 in control"},
      {"F 76 1 1", 1, "Error for F 76 in control"},
      {"F 77 -1 1", 1, "Error for F 77 in control"},
      {"F 77 1", 1, "Error for F 77 in control"},
      {"F 78 -1 0.6", 1, "Error for F 78 in control"},
      {"F 78 1", 1, "Error for F 78 in control"},
      {"F 79 11 1", 1, "Error for F 79 in control"},
      {"F 79 0 51", 1, "Error for F 79 in control"},
      {"F 79 0 -1", 1, "Error for F 79 in control"},
      {"F 79 1", 1, "Error for F 79 in control"},
      {"F 80 0 -1", 1, "Error for F 80 in control"},
      {"F 80 2.5 0", 1, "Error for F 80 in control"},
      {"F 80 1", 1, "Error for F 80 in control"},
      {"F 81 0", 1, "Error for F 81 in control"},
      {"F 82 -0.5 10 -1.5 3.33", 1, "Error for F 82 in control, have read 4 of 5 floating point numbers,"},
      {"F 82 0.1 10 -1.5 3.33 1e-6", 1, "Error for F 82 in control, have read 5 of 5 floating point numbers,"},
      {"F 82 -0.5 10 -1.5 -1 1e-6", 1, "Error for F 82 in control, have read 5 of 5 floating point numbers,"},
      {"F 82 -0.5 10 -1.5 3.33 -1", 1, "Error for F 82 in control, have read 5 of 5 floating point numbers,"},
      {"F 83 1 2 3", 1, "Error for F 83 in control"},
      {"F 84 -1", 1, "Error for F 84 in control"},
      {"F 85 -1", 1, "Error for F 85 in control"},
      {"F 86 10.5", 1, "Error for F 86 in control"},
      {"F 86", 1, "Error for F 86 in control"},
      {"F 87 -0.1", 1, "Error for F 87 in control"},
      {"F 88 -1", 1, "Error for F 88 in control"},
      {"F 89 0.0009", 1, "Error for F 89 in control"},
      {"F 89 1.1", 1, "Error for F 89 in control"},
      {"F 90 11", 1, "Error for F 90 in control"},
      {"F 91 -1 0", 1, "Error for F 91 in control"},
      {"F 91 0", 1, "Error for F 91 in control"},
      {"F 92 -1", 1, "Error for F 92 in control"},
      {"F 93 1001", 1, "Error for F 93 in control"},
      {"F 94 0 -0.1", 1, "Error for F 94 in control"},
      {"F 94 0", 1, "Error for F 94 in control"},
      {"F 95 -1 0", 1, "Error for F 95 in control"},
      {"F 96 -1", 1, "Error for F 96 in control"},
      {"F 98 -1", 1, "Error for F 98 in control"},
      {"F 99 0", 1, "Error for F 99 in control"},
  };
  expectRefusals(cases, [this](const Refusal&) { fresh(); });
}

// The transient term divides by 1 - CrankNicols: a weight of 1 must never get through.
TEST_F(Fsets050Test, CrankNicolsonWeightOfOneIsRefused) {
  ASSERT_EQ(scan("F 61 0.5"), 1000);
  EXPECT_EQ(scan("F 61 1.0"), 1);
  EXPECT_EQ(log(), "Error for F 61 in control");
}

TEST_F(Fsets050Test, HandlerlessNumbersAreSkipped) {
  for (int n : {55, 57, 59, 97}) EXPECT_EQ(findDataSet('F', n), nullptr) << n;
  ASSERT_EQ(scan("F 55 3 F 57 4 F 59 1 F 97 2 F 50 2"), 1000);
  EXPECT_EQ(NoComponents, 2);
  // Each skipped number is said once.
  std::string said;
  for (int n : {55, 57, 59, 97})
    said += strf("Warning: control holds F %d (line 1), a data set this version does not read; "
                 "it is skipped (docs/CONTROL.md lists the data sets)\n",
                 n);
  EXPECT_EQ(log(), said);
}

TEST_F(Fsets050Test, VerticalMethodSetsTheTopBedFlag) {
  struct Case {
    int method;
    int topBed;
  };
  const std::vector<Case> cases = {
      {3, 0},  {4, 0},  {8, 0},  {10, 0}, {11, 0},  {12, 0},  {13, 0},  {33, 0},  {38, 0},
      {100, 0}, {120, 0}, {500, 0}, {0, 1},  {1, 1},   {9, 1},   {14, 1},  {37, 1},  {99, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method);
    fresh();
    ASSERT_EQ(scan("F 64 " + std::to_string(c.method)), 1000);
    EXPECT_EQ(UMethod, c.method);
    EXPECT_EQ(TopBed, c.topBed);
  }
}

TEST_F(Fsets050Test, SchemeOfTheComponentsAndOfTheSediment) {
  sou[7] = sou[8] = sou[9] = 0;
  ASSERT_EQ(scan("F 63 1"), 1000);
  EXPECT_EQ(sou[8], 1);
  EXPECT_EQ(sou[9], 1);
  EXPECT_EQ(sou[7], 0);  // no transient sediment computation yet

  sou[7] = sou[8] = sou[9] = 0;
  ASSERT_EQ(scan("F 37 2 F 63 4"), 1000);
  EXPECT_EQ(SouComp, 4);
  EXPECT_EQ(sou[7], 4);
  EXPECT_EQ(sou[8], 0);
  EXPECT_EQ(sou[9], 0);
}

TEST_F(Fsets050Test, TemperatureIsComponentZero) {
  const std::string name = "Temperature        ";  // padded with blanks to 19 characters
  ASSERT_EQ(name.size(), 19u);
  ASSERT_EQ(scan("F 67 1"), 1000);
  EXPECT_EQ(std::string(QualityName[0].data()), name);
  EXPECT_EQ(NoComponents, 1);

  fresh();
  ASSERT_EQ(scan("F 50 3 F 67 1"), 1000);
  EXPECT_EQ(NoComponents, 3);

  fresh();
  QualityName[0][0] = '\0';
  ASSERT_EQ(scan("F 67 0"), 1000);
  EXPECT_EQ(QualityName[0][0], '\0');
  EXPECT_EQ(NoComponents, 0);
}

TEST_F(Fsets050Test, TooLowSizesAreReportedBeforeAShortCount) {
  // F 65 tests its sizes before it counts them: too-low values win over a short data set.
  EXPECT_EQ(scan("F 65 1 2 F 1 N"), 1);
  EXPECT_EQ(log(), "Error for F 65 in control: too low numbers");
  EXPECT_EQ(MaxCeller, 1);
  EXPECT_EQ(MaxFlater, 2);
  EXPECT_EQ(MaxPunkter, 50000);
}

}  // namespace
}  // namespace qorva
