// Data sets F 100 to F 149: defaults, accepted values with their side effects, failures with
// their texts, and the rows whose checks depend on data sets read before them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "state/options.h"
#include "support/scratch.h"

namespace qorva {
namespace {

class Fsets100Test : public test::Scratch {
 protected:
  // TSCbedrouse and the grid sizes belong to other data sets; whatever a test sets them to
  // is put back so that no later test sees it.
  void SetUp() override {
    test::Scratch::SetUp();
    savedRouse_ = TSCbedrouse;
    savedX_ = xnumber;
    savedY_ = ynumber;
  }
  void TearDown() override {
    TSCbedrouse = savedRouse_;
    xnumber = savedX_;
    ynumber = savedY_;
    test::Scratch::TearDown();
  }
 private:
  int savedRouse_ = 0, savedX_ = 0, savedY_ = 0;
};

TEST_F(Fsets100Test, DefaultsBeforeReading) {
  for (int n = 0; n <= 4; ++n) EXPECT_EQ(TransWriteFiles[n], 0) << n;
  EXPECT_EQ(IterWaterUpdate, 10);
  EXPECT_EQ(TopThickness, -1.0);
  EXPECT_EQ(BedCritTanSlopeUp, 1.23);
  EXPECT_EQ(BedCritTanSlopeDown, 0.78);
  EXPECT_EQ(BedCritMinDamp, 0.2);
  EXPECT_EQ(HRzmax, 2.0);
  EXPECT_EQ(HRmulmin, 0.01);
  EXPECT_EQ(NoBedLayers, 2);
  EXPECT_EQ(ArtMinKinen, 1e-20);
  EXPECT_EQ(MinUPlus, 1.0);
  EXPECT_EQ(MinUPlusK, 1.0);
  EXPECT_EQ(MaxEpsLim, 100.0);
  EXPECT_EQ(ExtrapIter, 20);
  EXPECT_EQ(ExtrapAlgo1, 2);
  EXPECT_EQ(ExtrapAlgo2, 2);
  EXPECT_EQ(ExtrapRelVel, 0.2);
  EXPECT_EQ(ExtrapRelK, 1.0);
  EXPECT_EQ(ExtrapRelE, 1.0);
  EXPECT_EQ(MaxSurfSlope, -0.1);
  EXPECT_EQ(TurbMultVert, 1.0);
  EXPECT_EQ(TurbMultHor, 1.0);
  EXPECT_EQ(TetI1 + TetI2 + TetJ1 + TetJ2, 0);
  for (int n = 0; n < 50; ++n) EXPECT_EQ(cohesive[n], 0.0) << n;
}

TEST_F(Fsets100Test, DefaultsAreRestoredAfterAValueWasRead) {
  ASSERT_EQ(scan("F 105 3 F 147 1 1 1 0.5 0.5 0.5 F 131 4 2.5 F 101 1 2 3 4"), 1000);
  setDefaults();
  EXPECT_EQ(IterWaterUpdate, 10);
  EXPECT_EQ(ExtrapIter, 20);
  EXPECT_EQ(ExtrapRelVel, 0.2);
  EXPECT_EQ(cohesive[4], 0.0);
  EXPECT_EQ(TransWriteFiles[0], 0);
  EXPECT_EQ(TransWriteFiles[4], 0);
}

using test::Accepted;

TEST_F(Fsets100Test, AcceptedValuesAreStored) {
  const std::vector<Accepted> cases = {
      {"F 101 0 50 -3 20",
       [] {
         EXPECT_EQ(TransWriteFiles[0], 20);
         EXPECT_EQ(TransWriteFiles[1], 0);
         EXPECT_EQ(TransWriteFiles[2], 50);
         EXPECT_EQ(TransWriteFiles[3], -3);
         EXPECT_EQ(TransWriteFiles[4], 20);
       }},
      {"F 101 7 3 9 3", [] { EXPECT_EQ(TransWriteFiles[0], 3); }},
      {"F 101 0 0 0 0", [] { EXPECT_EQ(TransWriteFiles[0], 1000000); }},
      {"F 101 -1 -5 0 -2", [] { EXPECT_EQ(TransWriteFiles[0], 1000000); }},
      {"F 102 3", [] { EXPECT_EQ(FlagMinLevUnstruc, 3); }},
      {"F 103 0", [] { EXPECT_EQ(Flag2BedRoughness, 0); }},
      {"F 104 2", [] { EXPECT_EQ(FlagEndCorrect, 2); }},
      {"F 105 1", [] { EXPECT_EQ(IterWaterUpdate, 1); }},
      {"F 106 0.2", [] { EXPECT_EQ(TopThickness, 0.2); }},
      {"F 106 -100000", [] { EXPECT_EQ(TopThickness, -100000.0); }},
      {"F 106 1e-10", [] { EXPECT_EQ(TopThickness, 1e-10); }},
      {"F 109 0 2.5 1",
       [] {
         EXPECT_EQ(BedCritTanSlopeUp, 0.0);
         EXPECT_EQ(BedCritTanSlopeDown, 2.5);
         EXPECT_EQ(BedCritMinDamp, 1.0);
       }},
      {"F 111 1", [] { EXPECT_EQ(FlagBedDLL, 0); }},
      {"F 112 100", [] { EXPECT_EQ(FlagNewGrid, 100); }},
      {"F 113 7",
       [] {
         EXPECT_EQ(FlagRhieChow, 7);
         EXPECT_EQ(OrigFlagRhieChow, 7);
       }},
      {"F 114 4", [] { EXPECT_EQ(FlagPresGrad, 4); }},
      {"F 115 500", [] { EXPECT_EQ(FlagDragDLL, 500); }},
      {"F 116 1", [] { EXPECT_EQ(FlagSurfDLL, 1); }},
      {"F 120 0",
       [] {
         EXPECT_EQ(FlagWallDLL, 0);
         EXPECT_EQ(FlagWallAll, 1000);
       }},
      {"F 121 2", [] { EXPECT_EQ(FlagTurbDLL, 2); }},
      {"F 125 1", [] { EXPECT_EQ(FlagTSCDLL, 1); }},
      {"F 126 1", [] { EXPECT_EQ(FlagNestDLL, 1); }},
      {"F 128 -1", [] { EXPECT_EQ(FlagPresSetZero, -1); }},
      {"F 129 4", [] { EXPECT_EQ(FlagBedInterpol, 4); }},
      {"F 130 2 300 5 5",
       [] {
         EXPECT_EQ(TetI1, 2);
         EXPECT_EQ(TetI2, 300);
         EXPECT_EQ(TetJ1, 5);
         EXPECT_EQ(TetJ2, 5);
       }},
      {"F 131 1 0.5 F 131 20 0", [] {
         EXPECT_EQ(cohesive[1], 0.5);
         EXPECT_EQ(cohesive[20], 0.0);
       }},
      {"F 132 0.8", [] { EXPECT_EQ(FroudeMaxSurface, 0.8); }},
      {"F 134 2", [] { EXPECT_EQ(NoBedLayers, 2); }},
      {"F 135 1", [] { EXPECT_EQ(FlagGravityTerm, 1); }},
      {"F 136 3.5", [] { EXPECT_EQ(PresGradMax, 3.5); }},
      {"F 137 2", [] { EXPECT_EQ(QNFlag, 2); }},
      {"F 138 0", [] { EXPECT_EQ(ArtMinKinen, 0.0); }},
      {"F 139 0.5 2",
       [] {
         EXPECT_EQ(MinUPlus, 0.5);
         EXPECT_EQ(MinUPlusK, 2.0);
       }},
      {"F 140 1", [] { EXPECT_EQ(FlagEpsWallLim, 1); }},
      {"F 141 0", [] { EXPECT_EQ(MaxEpsLim, 0.0); }},
      {"F 143 1", [] { EXPECT_EQ(PresRegres, 1); }},
      {"F 144 2 -0.5",
       [] {
         EXPECT_EQ(FlagBedSmooth, 2);
         EXPECT_EQ(ParamBedSmooth, -0.5);
       }},
      {"F 147 5 -1 3 0 0.5 2",
       [] {
         EXPECT_EQ(ExtrapIter, 5);
         EXPECT_EQ(ExtrapAlgo1, -1);
         EXPECT_EQ(ExtrapAlgo2, 3);
         EXPECT_EQ(ExtrapRelVel, 0.0);
         EXPECT_EQ(ExtrapRelK, 0.5);
         EXPECT_EQ(ExtrapRelE, 2.0);
       }},
      {"F 148 0", [] { EXPECT_EQ(MaxSurfSlope, 0.0); }},
      {"F 149 0 3",
       [] {
         EXPECT_EQ(TurbMultVert, 0.0);
         EXPECT_EQ(TurbMultHor, 3.0);
       }},
  };
  expectAccepted(cases);
}

using test::Refusal;

TEST_F(Fsets100Test, RefusedValuesEndTheRunWithTheirText) {
  const std::vector<Refusal> cases = {
      {"F 101 1 2 3", 1, "Error for F 101 in control"},
      {"F 102 -1", 1, "Error for F 102 in control"},
      {"F 102", 1, "Error for F 102 in control"},
      {"F 103 -2", 1, "Error for F 103 in control"},
      {"F 104 -1", 1, "Error for F 104 in control"},
      {"F 105 0", 1, "Error for F 105 in control"},
      {"F 106 0", 1, "Error for F 106 in control"},
      {"F 106 100001", 1, "Error for F 106 in control"},
      {"F 106 -100001", 1, "Error for F 106 in control"},
      {"F 106 x", 1, "Error for F 106 in control"},
      {"F 109 1 1", 1, "Error for F 109 in control"},
      {"F 109 -0.1 1 0.5", 1, "Error for F 109 in control"},
      {"F 109 1 -0.1 0.5", 1, "Error for F 109 in control"},
      {"F 109 1 1 1.5", 1, "Error for F 109 in control"},
      {"F 109 1 1 -0.5", 1, "Error for F 109 in control"},
      {"F 110 2.0 0.01", 1, "Error for F 110 in control"},
      {"F 111 2", 1, "Error for F 111 in control"},
      {"F 111 -1", 1, "Error for F 111 in control"},
      {"F 112 101", 1, "Error for F 112 in control"},
      {"F 112 -1", 1, "Error for F 112 in control"},
      {"F 112 x", 1, "Error for F 112 in control"},
      {"F 113 101", 1, "Error for F 113 in control"},
      {"F 114 -1", 1, "Error for F 114 in control"},
      {"F 115 501", 1, "Error for F 115 in control"},
      {"F 116 -1", 1, "Error for F 116 in control"},
      {"F 120 -1", 1, "Error for F 120 in control"},
      {"F 121 -1", 1, "Error for F 121 in control"},
      {"F 125 -1", 1, "Error for F 125 in control"},
      {"F 126 -1", 1, "Error for F 126 in control"},
      {"F 128", 1, "Error for F 128 in control"},
      {"F 129 -1", 1, "Error for F 129 in control"},
      {"F 130 2 5 2", 1, "Error for F 130 in control"},
      {"F 130 1 5 2 5", 1, "Error for F 130 in control"},
      {"F 130 2 301 2 5", 1, "Error for F 130 in control"},
      {"F 130 2 5 1 5", 1, "Error for F 130 in control"},
      {"F 130 2 5 2 301", 1, "Error for F 130 in control"},
      {"F 130 6 5 2 5", 1, "Error for F 130 in control"},
      {"F 130 2 5 6 5", 1, "Error for F 130 in control"},
      {"F 131 21 0.5", 1, "Error for F 131 in control - index\n"},
      {"F 131 0 0.5", 1, "Error for F 131 in control - index\n"},
      {"F 131 -3 0.5", 1, "Error for F 131 in control - index\n"},
      {"F 131 x", 1, "Error for F 131 in control - index\n"},
      {"F 131 3 -1", 1, "Error for F 131 in control - negative cohesion\n"},
      {"F 131 3", 1, "Error for F 131 in control - negative cohesion\n"},
      {"F 132 -0.1", 1, "Error for F 132 in control - negative value\n"},
      {"F 132", 1, "Error for F 132 in control - negative value\n"},
      {"F 134 3", 1, "Error for F 134 in control\n"},
      {"F 134 1", 1, "Error for F 134 in control\n"},
      {"F 134", 1, "Error for F 134 in control\n"},
      {"F 37 3 F 134 5001", 1, "Error for F 134 in control\n"},
      {"F 135 -1", 1, "Error for F 135 in control\n"},
      {"F 136 -1", 1, "Error for F 136 in control\n"},
      {"F 137 -1", 1, "Error for F 137 in control\n"},
      {"F 138 -1e-20", 1, "Error for F 138 in control\n"},
      {"F 139 -0.5 1", 1, "Error for F 139 in control, 1st. parameter\n"},
      {"F 139", 1, "Error for F 139 in control, 1st. parameter\n"},
      {"F 139 0.5 -1", 1, "Error for F 139 in control, 2nd. parameter\n"},
      {"F 139 0.5", 1, "Error for F 139 in control, 2nd. parameter\n"},
      {"F 140 -1", 1, "Error for F 140 in control\n"},
      {"F 141 -1", 1, "Error for F 141 in control\n"},
      {"F 143 -1", 1, "Error for F 143 in control\n"},
      {"F 144 1", 1, "Error for F 144 in control\n"},
      {"F 144 -1 0.5", 1, "Error for F 144 in control\n"},
      {"F 147 20 2 2 0.2 1", 1, "Error for F 147 in control\n"},
      {"F 147 -1 2 2 0.2 1 1", 1, "Error for F 147 in control\n"},
      {"F 147 20 2 2 -0.2 1 1", 1, "Error for F 147 in control\n"},
      {"F 147 20 2 2 0.2 -1 1", 1, "Error for F 147 in control\n"},
      {"F 147 20 2 2 0.2 1 -1", 1, "Error for F 147 in control\n"},
      {"F 148 -0.1", 1, "Error for F 148 in control\n"},
      {"F 149 1", 1, "Error for F 149 in control\n"},
      {"F 149 -1 1", 1, "Error for F 149 in control\n"},
      {"F 149 1 -1", 1, "Error for F 149 in control\n"},
  };
  expectRefusals(cases);
}

TEST_F(Fsets100Test, HandlerlessNumbersAreSkipped) {
  // The values of a number without a reader are scanned as text, so the F 105 that follows
  // is still read.
  for (int n : {100, 107, 108, 117, 118, 119, 122, 123, 124, 127, 133, 142, 145, 146}) {
    SCOPED_TRACE(n);
    fresh();
    EXPECT_EQ(scan("F " + std::to_string(n) + " -5 F 105 4"), 1000);
    EXPECT_EQ(IterWaterUpdate, 4);
  }
}

TEST_F(Fsets100Test, BedRouseParametersNeedTheBedRouseVariantFirst) {
  TSCbedrouse = 2;
  EXPECT_EQ(scan("F 110 2.0 0.01"), 1);
  EXPECT_EQ(log(), "Error for F 110 in control");

  fresh();
  TSCbedrouse = 1;  // as F 60 1 0 earlier in the file leaves it
  EXPECT_EQ(scan("F 110 3.5 0.2"), 1000);
  EXPECT_EQ(HRzmax, 3.5);
  EXPECT_EQ(HRmulmin, 0.2);

  for (const char* text : {"F 110 3.5", "F 110 -1 0.2", "F 110 3.5 1.2", "F 110 3.5 -0.2"}) {
    SCOPED_TRACE(text);
    fresh();
    TSCbedrouse = 1;
    EXPECT_EQ(scan(text), 1);
    EXPECT_EQ(log(), "Error for F 110 in control");
  }
}

TEST_F(Fsets100Test, RefinementRegionIsCheckedAgainstTheGridSizesReadSoFar) {
  xnumber = 40;
  ynumber = 30;
  EXPECT_EQ(scan("F 130 2 41 2 10"), 1);
  EXPECT_EQ(log(), "Error for F 130 in control");

  fresh();
  xnumber = 40;
  ynumber = 30;
  EXPECT_EQ(scan("F 130 2 10 2 31"), 1);

  fresh();
  xnumber = 40;
  ynumber = 30;
  EXPECT_EQ(scan("F 130 3 40 4 30"), 1000);
  EXPECT_EQ(TetI2, 40);
  EXPECT_EQ(TetJ2, 30);
}

TEST_F(Fsets100Test, MoreBedLayersOnlyAfterTheTransientSedimentComputation) {
  EXPECT_EQ(scan("F 134 3 F 37 3"), 1);
  EXPECT_EQ(log(), "Error for F 134 in control\n");

  fresh();
  EXPECT_EQ(scan("F 37 3 F 134 3"), 1000);
  EXPECT_EQ(NoBedLayers, 3);

  fresh();
  EXPECT_EQ(scan("F 37 3 F 134 5000"), 1000);
  EXPECT_EQ(NoBedLayers, 5000);

  fresh();
  EXPECT_EQ(scan("F 37 2 F 134 3"), 1);
}

TEST_F(Fsets100Test, SlidePressureGradientWarnsWithTheTransientSediment) {
  EXPECT_EQ(scan("F 37 1 F 114 4"), 1000);
  EXPECT_EQ(FlagPresGrad, 4);
  EXPECT_EQ(log(), "Warning: F 114 4 is based on a special algorithm for slides, and may give instabilities\n\n");

  fresh();
  EXPECT_EQ(scan("F 37 1 F 114 3"), 1000);
  EXPECT_FALSE(std::filesystem::exists("boogie"));

  fresh();
  EXPECT_EQ(scan("F 114 4 F 37 1"), 1000);  // F 37 later: no warning
  EXPECT_FALSE(std::filesystem::exists("boogie"));
}

TEST_F(Fsets100Test, FirstWallParameterIsKeptWhenTheSecondIsRefused) {
  EXPECT_EQ(scan("F 139 0.5 -1"), 1);
  EXPECT_EQ(MinUPlus, 0.5);
}

TEST_F(Fsets100Test, CohesionOfSeveralSizesAccumulates) {
  EXPECT_EQ(scan("F 131 3 0.4 F 131 7 1.5 F 131 3 0.6"), 1000);
  EXPECT_EQ(cohesive[3], 0.6);
  EXPECT_EQ(cohesive[7], 1.5);
  EXPECT_EQ(cohesive[1], 0.0);
  EXPECT_EQ(cohesive[21], 0.0);
}

TEST_F(Fsets100Test, LaterOccurrenceWinsAndKeepsTheRhieChowCopy) {
  EXPECT_EQ(scan("F 113 3 F 113 0"), 1000);
  EXPECT_EQ(FlagRhieChow, 0);
  EXPECT_EQ(OrigFlagRhieChow, 0);
}

}  // namespace
}  // namespace qorva
