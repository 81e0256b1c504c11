// The start-up check for steps this version does not have: a run whose settings and task
// letters reach one ends with that step's line before anything is allocated or computed, and
// a run that reaches none goes on.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "driver/driver.h"
#include "state/log.h"
#include "state/options.h"
#include "state/pending_steps.h"
#include "state/status.h"
#include "support/scratch.h"

namespace qorva {
namespace {

// The check alone, on settings made in place.
struct Case {
  const char* what;
  std::function<void()> settings;
  const char* line;  // "" when the run goes on
};

class PendingSteps : public test::Scratch {
 protected:
  static void expectCases(const std::vector<Case>& cases) {
    for (const Case& k : cases) {
      SCOPED_TRACE(k.what);
      SetArraysZero();
      fresh();
      k.settings();
      int status = 1000;
      try {
        stopOnPendingSteps();
      } catch (const RunEnd& e) {
        status = e.status;
      }
      const std::string l = log();
      if (*k.line == '\0') {
        EXPECT_EQ(status, 1000) << l;
        EXPECT_EQ(l, "");
      } else {
        EXPECT_EQ(status, 1);
        EXPECT_EQ(l, std::string("Not available in this version: ") + k.line + "\n");
      }
    }
  }
};

bool contains(const std::string& s, const std::string& part) {
  return s.find(part) != std::string::npos;
}

// The flume of the shipped example: its grid is never read, since every case ends first.
constexpr const char* kFlume =
    "T Straight flume\nG 1 43 11 11 1\nW 1 50 0.76 0.5\nF 314 1 1\nF 237 1 0.76\nF 237 2 0.76\n";

// One case of each kind of hook: the sets added to the flume, the task letters, and the line.
struct Stop {
  const char* kind;
  const char* sets;
  const char* letters;
  const char* line;
};

TEST_F(PendingSteps, ARunThatReachesAMissingStepEndsBeforeAnyComputing) {
  const Stop cases[] = {
      {"free surface", "F 36 10\n", "YW", "the velocity-direction level algorithm of F 36 10"},
      // F 36 1 asks for the gravity sources too, which the inner iteration would meet first.
      {"gravity sources", "F 36 1\n", "YW",
       "the gravity sources of F 181 and F 135 (GravityFunction)"},
      {"transient free surface", "F 36 1\nF 181 0\n", "YW",
       "the transient free-surface update of F 36 1 and 11..19"},
      {"water-level equation", "F 36 50\n", "YW",
       "the water-level equation of F 36 50 (surface_LS)"},
      {"flow driver", "F 152 1\n", "YW",
       "the grid-sequenced water-flow computation of F 152 (MGSsolver)"},
      {"forcing source", "F 498 1\n", "YW", "the dune form drag of F 498 (computeDragDune)"},
      {"source no step calls yet", "F 324 1\n", "YW",
       "the normal-stress term of F 324 (computeNormStress)"},
      {"setting no step uses yet", "P 17 2 3 1 2 3 1\n", "YW",
       "the velocity reset at the vertical profiles of P 17 (setVelocitiesZero)"},
      {"pressure gradient", "F 114 9\n", "YW",
       "the interpolated-level pressure derivative of F 114 9 (d_di_anti_Pres)"},
      {"velocity correction", "F 157 7\n", "YW", "the velocity correction of F 157 7"},
      {"water quality", "F 50 1\n", "YW",
       "the sources of the water-quality components (CompSource)"},
      // The mud blocks take their pressure gradient by F 114 6.
      {"mud flow", "F 236 1 0.001 0 0.8\n", "YW",
       "the interpolated-level pressure derivative of F 114 6 (d_di_orth_Pres)"},
      {"output", "F 309 1\n", "YW", "the interpolated results (print_interres)"},
      {"grid file", "F 274 1\n", "UW", "the bed angles of the bedangle file (F 274)"},
      {"grid generator", "F 488 1\n", "YW", "the two-layer grid generator (F 488)"},
      {"vertical method", "F 64 9\n", "YW", "the vertical grid method F 64 9"},
      {"task letter after the flow", "", "YWC", "the water-quality components (task C)"},
      {"bed change of a sediment run", "F 37 1\nF 33 10 20\nN 0 1 1\nF 266 1 0.5 0\n", "YS",
       "the bank failure of F 266 (computeGLEA)"},
      // Y comes first in the walk, so its step is the one the run would have met.
      {"first in the walk", "F 36 7\nF 488 1\n", "YW", "the two-layer grid generator (F 488)"},
  };
  for (const Stop& k : cases) {
    SCOPED_TRACE(k.kind);
    SetArraysZero();
    setDefaults();
    std::filesystem::remove("boogie");
    write("control", std::string(kFlume) + k.sets + "F 2 " + k.letters + "\n");
    EXPECT_EQ(programMain(), 1);
    const std::string l = log();
    const std::string line = std::string("Not available in this version: ") + k.line + "\n";
    // The line is the last one before the closing line of the run.
    const std::size_t end = l.rfind("Run ended with exit status 1 after ");
    ASSERT_NE(end, std::string::npos) << l;
    ASSERT_GE(end, line.size()) << l;
    EXPECT_EQ(l.substr(end - line.size(), line.size()), line) << l;
    EXPECT_FALSE(contains(l, "unstructured arrays")) << l;
    EXPECT_FALSE(contains(l, "koosurf")) << l;
    EXPECT_FALSE(std::filesystem::exists("result.end"));
  }
}

void letters(const char* f2) {
  run.fill('\0');
  for (int i = 0; f2[i] != '\0' && i < 10; ++i) run[i + 1] = f2[i];
}

TEST_F(PendingSteps, TheWalkStopsWhereTheRunWould) {
  expectCases({
      {"nothing after X", [] { letters("XC"); }, ""},
      {"X at position 10 is never walked", [] { letters("TTTTTTTTTC"); }, ""},
      {"lower-case letters are skipped", [] { letters("c"); }, ""},
      {"no walk without a pass", [] { letters("C"); IterF2 = 0; }, ""},
      // W under F 37 and A without F 308 end the run with their own errors.
      {"F 37 ends the walk at W", [] { letters("WC"); FlagTSC = 1; }, ""},
      {"A without block division", [] { letters("AC"); }, ""},
      {"A with it goes on", [] { letters("AC"); FlagMPI = 2; },
       "the water-quality components (task C)"},
      {"the first letter that reaches a step", [] { letters("QC"); },
       "the water-quality components (task C)"},
      // S ends the run at its own checks without F 37 or a time step.
      {"S without F 37", [] { letters("SC"); }, ""},
      {"S without a time step", [] { letters("SC"); FlagTSC = 1; }, ""},
      {"S with more than 49 sizes", [] { letters("SC"); FlagTSC = 1; TimeStep = 10; lnumber = 50; }, ""},
  });
}

TEST_F(PendingSteps, ConditionsFollowTheCallSites) {
  expectCases({
      // The update between outer iterations comes every F 105 iterations (10 by default).
      {"surface within K 1", [] { letters("W"); FlagTFS = 10; iterGlobalMax = 10; },
       "the velocity-direction level algorithm of F 36 10"},
      {"K 1 ends first", [] { letters("W"); FlagTFS = 10; iterGlobalMax = 9; }, ""},
      {"F 335 ends first", [] {
         letters("W");
         FlagTFS = 10;
         TimeStep = 2;
         TimeEnd = 17;  // the loop ends after the ninth step (18 s)
       },
       ""},
      {"F 335 after the tenth step", [] {
         letters("W");
         FlagTFS = 10;
         TimeStep = 2;
         TimeEnd = 19;
       },
       "the velocity-direction level algorithm of F 36 10"},
      {"surface called by another driver", [] { letters("W"); FlagTFS = 10; FlagCallSurface = 1; },
       ""},
      {"F 36 6 hands over in the pressure step", [] { letters("W"); FlagTFS = 6; },
       "the continuity-based surface movement of F 36 5 and 6"},
      {"the update of the G 6 cell", [] {
         letters("W");
         iSurf = 5;
         IterSurface = 10;
         FlagSurface2 = 1;
         SurfSmoothFlag = 1;
       },
       "the surface smoothing (F 154)"},
      {"a correction of the tail", [] { letters("W"); FlagTFS = 2; SurfSmoothFlag = 1; },
       "the surface smoothing (F 154)"},
      {"a tail correction on the road of F 323 2", [] {
         letters("W");
         FlagTFS = 2;
         FlagSurface2 = 2;
         SurfSmoothFlag = 1;
       },
       "the surface smoothing (F 154)"},
      {"the check of the level equation under the debug letter E", [] {
         letters("W");
         FlagTFS = 8;
         debugging = 'E';
       },
       "the debug check of the water-level equation (F 369 1)"},
      {"no check of the level equation under the debug letter D for F 36 8", [] {
         letters("W");
         FlagTFS = 8;
         debugging = 'D';
       },
       ""},
      {"no pressure step under F 171 4", [] { letters("W"); FlagTFS = 6; FlagSIMPLE = 4; }, ""},
      {"W with no driver (F 68 2)", [] {
         letters("W");
         Wind[0] = 3;
         Hydrostatic = 2;
       },
       ""},
      {"no inner iteration", [] { letters("W"); Wind[0] = 3; TransInnerIter = 0; }, ""},
      {"the predictor of F 171 5 has no momentum step", [] {
         letters("W");
         FlagSIMPLE = 5;
         FlagBrenix = 1;
       },
       ""},
      {"a form of F 157 that exists", [] { letters("W"); FlagSimpleCorrections = 51; }, ""},
      {"the form without its vertical part", [] { letters("W"); Seiche3 = 1; },
       "the velocity correction without its vertical part (F 69 third integer 1)"},
      {"F 69 2 corrects no velocity", [] { letters("W"); Seiche3 = 2; }, ""},
      {"the weir of task Z", [] { letters("Z"); }, "writing the weir as STL (task Z)"},
      {"results of task M", [] { letters("M"); FlagInterpolNew = 1; },
       "the interpolated results (print_interres)"},
      {"grid generated again by the alldata reader", [] { letters("B"); FlagNewGrid = 2; UMethod = 9; },
       "the vertical grid method F 64 9"},
      {"the route of the grid-split prevention", [] {
         letters("W");
         FlagTFS = 2;
         FlagNoGridSplit = 48;
         FlagCriticalCross = 1;
       },
       "the critical cross-sections along the route (F 407)"},
      {"the node update solves no level equation to check (F 369 1)", [] {
         letters("W");
         FlagTFS = 2;
         FlagBugFind = 1;
       },
       ""},
      {"no route without the free surface", [] {
         letters("W");
         FlagNoGridSplit = 48;
         FlagCriticalCross = 1;
       },
       ""},
  });
}

// A run with the defaults reaches a missing step only through a task that is itself missing.
TEST_F(PendingSteps, DefaultsReachOnlyTheMissingTasks) {
  std::set<char> reached;
  const std::span<const PendingStep> tables[] = {
      gridPendingSteps(),       filesPendingSteps(),          flowPendingSteps(),
      solversPendingSteps(),    discretisationPendingSteps(), pressurePendingSteps(),
      turbulencePendingSteps(), surfacePendingSteps(),        sedimentPendingSteps(),
      bedPendingSteps(),        bedLoopPendingSteps(),        outputPendingSteps()};
  for (char t = 'A'; t <= 'Z'; ++t)
    for (const auto& table : tables)
      for (const PendingStep& row : table) {
        EXPECT_NE(row.what[0], '\0');
        if (row.reached(t)) reached.insert(t);
      }
  EXPECT_EQ(reached, (std::set<char>{'C', 'D', 'K', 'L', 'P', 'Z'}));
}

}  // namespace
}  // namespace qorva
