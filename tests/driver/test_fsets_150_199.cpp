// Data sets F 150 to F 199: defaults, accepted values with their copies, the optional values
// of F 174, failures with their texts, and the settings shared with F 7 and F 36.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "state/options.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using Fsets150Test = test::Scratch;

TEST_F(Fsets150Test, DefaultsBeforeReading) {
  EXPECT_EQ(MGSNo, 0);
  EXPECT_EQ(FlagFastWatersolve, 0);
  EXPECT_EQ(FlagResidual, 1);
  EXPECT_EQ(FlagSimpleCorrections, 0);
  EXPECT_EQ(FlagGravity, 0);
  EXPECT_EQ(FlagGridStab1, 1);
  EXPECT_EQ(FlagGridStab2, 0);
  EXPECT_EQ(FlagGridStab3, 0);
  EXPECT_EQ(FlagGridStab4, 1);
  EXPECT_EQ(FlagGridStab5, 0);
  EXPECT_EQ(ShearBedformLim, 2.0);
  EXPECT_DOUBLE_EQ(ShearBedformCoeff, 7.0 / 3.0);
  EXPECT_EQ(relaxCyclicS, 0.1);
  EXPECT_EQ(RelaxTFS, 0.1);
  EXPECT_EQ(FlagSurfUpwind, 1);
  EXPECT_EQ(FlagSurfDiffusive, 0);
  EXPECT_EQ(SurfEpsCoeff, 0.43);
  EXPECT_EQ(ConnectLimit, 1e-5);
  EXPECT_EQ(NestNoRatio, 1.0);
  EXPECT_EQ(SmallNumberUnstruc, 1e-8);
}

TEST_F(Fsets150Test, DefaultsAreRestoredAfterAValueWasRead) {
  ASSERT_EQ(scan("F 153 4 F 159 2 3 4 5 6 F 181 1 F 157 8 F 179 0 1 F 193 1e-6"), 1000);
  setDefaults();
  EXPECT_EQ(FlagResidual, 1);
  EXPECT_EQ(FlagGridStab1, 1);
  EXPECT_EQ(FlagGridStab2ori, 0);
  EXPECT_EQ(FlagGridStab5ori, 0);
  EXPECT_EQ(FlagGravity, 0);
  EXPECT_EQ(FlagSimpleCorrections, 0);
  EXPECT_EQ(FlagSurfUpwind, 1);
  EXPECT_EQ(SmallNumberUnstruc, 1e-8);
}

using test::Accepted;

TEST_F(Fsets150Test, AcceptedValuesAreStored) {
  const std::vector<Accepted> cases = {
      {"F 152 10", [] { EXPECT_EQ(MGSNo, 10); }},
      {"F 153 0", [] { EXPECT_EQ(FlagResidual, 0); }},
      {"F 154 1 0.5",
       [] {
         EXPECT_EQ(SurfSmoothFlag, 1);
         EXPECT_EQ(SurfSmoothVal, 0.5);
       }},
      {"F 156 3", [] { EXPECT_EQ(PauseFlag, 3); }},
      {"F 157 30", [] { EXPECT_EQ(FlagSimpleCorrections, 30); }},
      {"F 159 2 9 0 0 2",
       [] {
         EXPECT_EQ(FlagGridStab1, 2);
         EXPECT_EQ(FlagGridStab2, 9);
         EXPECT_EQ(FlagGridStab3, 0);
         EXPECT_EQ(FlagGridStab4, 0);
         EXPECT_EQ(FlagGridStab5, 2);
         EXPECT_EQ(FlagGridStab2ori, 9);
         EXPECT_EQ(FlagGridStab5ori, 2);
       }},
      {"F 160 1", [] { EXPECT_EQ(FlagBedVol, 1); }},
      {"F 162 0.05", [] { EXPECT_EQ(MinVertDist2, 0.05); }},
      {"F 163 2", [] { EXPECT_EQ(FlagBedChange, 2); }},
      {"F 164 21", [] { EXPECT_EQ(FlagRapSolver, 21); }},
      {"F 165 -1", [] { EXPECT_EQ(FlagUnstrucDir, -1); }},
      {"F 166 1", [] { EXPECT_EQ(FlagSurfRegen, 1); }},
      {"F 168 3",
       [] {
         EXPECT_EQ(Flag2DAccSolver, 3);
         EXPECT_EQ(Flag2DAccSolverOri, 3);
       }},
      {"F 169 1 0.8",
       [] {
         EXPECT_EQ(FlagHideEx, 1);
         EXPECT_EQ(HideExParam, 0.8);
       }},
      {"F 170 1", [] { EXPECT_EQ(FlagFastWatersolve, 1); }},
      {"F 171 2", [] { EXPECT_EQ(FlagSIMPLE, 2); }},
      {"F 172 0 2 2.33",
       [] {
         EXPECT_EQ(FlagShearBedform, 0);
         EXPECT_EQ(ShearBedformLim, 2.0);
         EXPECT_EQ(ShearBedformCoeff, 2.33);
       }},
      {"F 175 0.3", [] { EXPECT_EQ(RelaxTFS, 0.3); }},
      {"F 176 1 0.25",
       [] {
         EXPECT_EQ(FlagRBedformsmooth, 1);
         EXPECT_EQ(RBedformsmooth, 0.25);
       }},
      {"F 177 1", [] { EXPECT_EQ(FlagHastGrad, 1); }},
      {"F 178 2", [] { EXPECT_EQ(FlagSurfSmooth, 2); }},
      {"F 179 0 1",
       [] {
         EXPECT_EQ(FlagSurfUpwind, 0);
         EXPECT_EQ(FlagSurfDiffusive, 1);
       }},
      {"F 180 1", [] { EXPECT_EQ(FlagSurfDownstream, 1); }},
      {"F 181 1", [] { EXPECT_EQ(FlagGravity, 1); }},
      {"F 182 1", [] { EXPECT_EQ(FlagBedslopeCorrection, 1); }},
      {"F 183 1", [] { EXPECT_EQ(FlagPresDebug, 1); }},
      {"F 184 3", [] { EXPECT_EQ(FlagPCalg, 3); }},
      {"F 185 1 0.5",
       [] {
         EXPECT_EQ(FlagSurfEps, 1);
         EXPECT_EQ(SurfEpsCoeff, 0.5);
       }},
      {"F 186 1", [] { EXPECT_EQ(FlagTDMA, 1); }},
      {"F 187 1", [] { EXPECT_EQ(FlagSurfEdge, 1); }},
      {"F 188 1", [] { EXPECT_EQ(FlagWorkSedim, 1); }},
      {"F 189 1 0.05",
       [] {
         EXPECT_EQ(FlagBrenix, 1);
         EXPECT_EQ(ParamBrenix, 0.05);
       }},
      {"F 191 0.001", [] { EXPECT_EQ(ConnectLimit, 0.001); }},
      {"F 192 0.5", [] { EXPECT_EQ(NestNoRatio, 0.5); }},
      {"F 193 1e-6", [] { EXPECT_EQ(SmallNumberUnstruc, 1e-6); }},
      {"F 198 1", [] { EXPECT_EQ(FlagSlideDLL, 1); }},
  };
  expectAccepted(cases);
}

using test::Refusal;

TEST_F(Fsets150Test, RefusedValuesEndTheRunWithTheirText) {
  const std::string gridStab = "Error for F 159 in control\nDefault F 159: 1 0 0 1 0\n";
  const std::vector<Refusal> cases = {
      {"F 152 11", 1, "Error for F 152 in control\n"},
      {"F 152 -1", 1, "Error for F 152 in control\n"},
      {"F 152", 1, "Error for F 152 in control\n"},
      {"F 153 11", 1, "Error for F 153 in control\n"},
      {"F 153 -1", 1, "Error for F 153 in control\n"},
      {"F 154 0 0.5", 1, "Error for F 154 in control\n"},
      {"F 154 1", 1, "Error for F 154 in control\n"},
      {"F 156 -1", 1, "Error for F 156 in control\n"},
      {"F 157 -1", 1, "Error for F 157 in control\n"},
      {"F 159 1 0 0 1", 1, gridStab},
      {"F 159 1 -1 0 1 0", 1, gridStab},
      {"F 159 1 0 0 1 -2", 1, gridStab},
      {"F 160 -1", 1, "Error for F 160 in control\n"},
      {"F 172 -1 2 2.33", 1, "Error for F 172 in control\n"},
      {"F 172 0 2", 1, "Error for F 172 in control\n"},
      {"F 174", 1, "Error for F 174 in control\n"},
      {"F 174 1 5 1.5", 1, "Error for F 174 x 5 in control\n"},
      {"F 174 1 5 -0.1", 1, "Error for F 174 x 5 in control\n"},
      {"F 174 1 5", 1, "Error for F 174 x 5 in control\n"},
      {"F 176 1", 1, "Error for F 176 in control\n"},
      {"F 179 1", 1, "Error for F 179 in control\n"},
      {"F 169 1", 1, "Error for F 169 in control\n"},
      {"F 185 1", 1, "Error for F 185 in control\n"},
      {"F 189 1", 1, "Error for F 189 in control\n"},
  };
  expectRefusals(cases);
}

TEST_F(Fsets150Test, EverySingleValueIsRequired) {
  // Each of these rows takes one value and has no range; a word in its place is a failure.
  for (int n : {162, 163, 164, 165, 166, 168, 170, 171, 175, 177, 178, 180, 181, 182, 183,
                184, 186, 187, 188, 191, 192, 193, 198}) {
    SCOPED_TRACE(n);
    fresh();
    EXPECT_EQ(scan("F " + std::to_string(n) + " x"), 1);
    EXPECT_EQ(log(), "Error for F " + std::to_string(n) + " in control\n");
  }
}

TEST_F(Fsets150Test, HandlerlessNumbersAreSkipped) {
  for (int n : {150, 151, 155, 158, 161, 167, 173, 190, 194, 195, 196, 197, 199}) {
    SCOPED_TRACE(n);
    fresh();
    EXPECT_EQ(scan("F " + std::to_string(n) + " -5 F 153 4"), 1000);
    EXPECT_EQ(FlagResidual, 4);
  }
}

TEST_F(Fsets150Test, CyclicSedimentModeIsOptional) {
  FlagCyclicS = 3;  // as an earlier F 174 1 3 leaves it
  EXPECT_EQ(scan("F 174 1\nF 153 2"), 1000);
  EXPECT_EQ(FlagCyclic, 1);
  EXPECT_EQ(FlagCyclicS, 0);
  EXPECT_EQ(FlagResidual, 2);  // the next data set is read as usual

  fresh();
  EXPECT_EQ(scan("F 174 -3 2"), 1000);
  EXPECT_EQ(FlagCyclic, -3);
  EXPECT_EQ(FlagCyclicS, 2);
  EXPECT_EQ(relaxCyclicS, 0.1);

  fresh();
  EXPECT_EQ(scan("F 174 1 5 0.3"), 1000);
  EXPECT_EQ(FlagCyclicS, 5);
  EXPECT_EQ(relaxCyclicS, 0.3);

  fresh();
  EXPECT_EQ(scan("F 174 1 5 1"), 1000);
  EXPECT_EQ(relaxCyclicS, 1.0);
}

TEST_F(Fsets150Test, GridStabilityCopiesAreTakenOnlyAfterTheChecks) {
  EXPECT_EQ(scan("F 159 1 4 0 1 -1"), 1);
  EXPECT_EQ(FlagGridStab2, 4);
  EXPECT_EQ(FlagGridStab2ori, 0);
}

TEST_F(Fsets150Test, SettingsSharedWithEarlierDataSetsFollowTheFileOrder) {
  // F 36 11 switches gravity and the SIMPLE corrections on; later F 157 and F 181 overrule it.
  EXPECT_EQ(scan("F 36 11 F 157 2 F 181 0"), 1000);
  EXPECT_EQ(FlagSimpleCorrections, 2);
  EXPECT_EQ(FlagGravity, 0);

  fresh();
  EXPECT_EQ(scan("F 157 2 F 181 0 F 36 11"), 1000);
  EXPECT_EQ(FlagSimpleCorrections, 30);
  EXPECT_EQ(FlagGravity, 1);

  fresh();
  EXPECT_EQ(scan("F 7 B\nF 182 0"), 1000);
  EXPECT_EQ(FlagBedslopeCorrection, 0);
}

}  // namespace
}  // namespace qorva
