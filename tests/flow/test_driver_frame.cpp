// The frame of the flow drivers run with forms that differ from the main driver's in one field
// each, on the straight flume (grid and settings from task Y, no flow computed before): the
// status text, a replaced inner iteration, BedMake, the reference column, the print rule, the
// mud steps, the inner-iteration count, the grid repair, the surface-update test, the end-time
// test and the driver's own averages. Most forms replace the inner iteration by a stand-in
// that only records its calls and sets the residuals, so that each runs in milliseconds.
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "flow/driver_frame.h"
#include "flow/flow.h"
#include "grid/grid.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "support/flume.h"

namespace qorva {
namespace {

// What the stand-in inner iterations saw: m and the status text of each call.
std::vector<int> calls;
std::vector<std::string> texts;
// The stand-in hands over (returns 1) at this m; 0 never.
int handOverAt = 0;
// The stand-in sets TransInnerIter to this value after its first call; 0 leaves it.
int countAfterFirst = 0;
// The stand-in gives this cell a k residual of 1; 0 none.
int kResidualCell = 0;

// Residuals of 0.5: no convergence, no divergence, no early end of a time step below F 54.
int standIn(int m) {
  calls.push_back(m);
  texts.push_back(mc_program);
  for (int e = 1; e <= 6; ++e) MaxResidual[e] = 0.5;
  if (kResidualCell > 0) Ckinen_res[kResidualCell] = 1.0;
  if (countAfterFirst > 0 && calls.size() == 1) TransInnerIter = countAfterFirst;
  return m == handOverAt ? 1 : 0;
}

std::string testText(int m) { return strf(" test driver %d ", m); }

class DriverFrame : public test::Flume {
 protected:
  // The flume's grid and settings (`extra` data sets of control), no flow yet; one outer
  // iteration of no inner iteration unless a test sets more, steady unless `timeStep` (s) is
  // above 1e-8.
  void flume(const std::string& extra = "", const char* timeStep = "1e-20") {
    std::filesystem::remove("boogie");
    SetArraysZero();
    setDefaults();
    std::string control = test::flumeControl(extra + "F 33 " + timeStep + " 0\nK 1 1 50000\n");
    control.replace(control.rfind("F 2 YW\n"), std::string::npos, "F 2 Y\n");
    write("koosurf", test::flumeGeometry());
    write("control", control);
    ASSERT_EQ(programMain() & 255, 1) << log();
    std::filesystem::remove("boogie");
    calls.clear();
    texts.clear();
    handOverAt = 0;
    countAfterFirst = 0;
    kResidualCell = 0;
  }

  // The main form with the stand-in inner iteration.
  static DriverForm standInForm() {
    DriverForm f = kMainForm;
    f.innerSteps = standIn;
    return f;
  }

  static int run(const DriverForm& form) {
    try {
      runFlowDriver(form);
    } catch (const RunEnd& e) {
      return e.status;
    }
    return 1000;
  }
};

TEST_F(DriverFrame, StatusTextOfTheFormBeforeEachInnerIteration) {
  flume();
  TransInnerIter = 2;
  DriverForm form = standInForm();
  ASSERT_EQ(run(form), 1000) << log();
  EXPECT_EQ(texts, (std::vector<std::string>{" ZI-Deva 0 1           ", " ZI-Deva 0 2           "}));

  flume();
  TransInnerIter = 2;
  form.phaseText = testText;
  ASSERT_EQ(run(form), 1000) << log();
  EXPECT_EQ(texts, (std::vector<std::string>{" test driver 1 ", " test driver 2 "}));
}

// A replaced inner iteration runs inside the frame's loops and end steps; the main driver's
// momentum step never runs, so the flume's water stays at rest.
TEST_F(DriverFrame, ReplacedInnerIterationRunsInTheFrame) {
  flume();
  TransInnerIter = 3;
  iterGlobalMax = 2;
  gFlagFlow = 1;
  ASSERT_EQ(run(standInForm()), 1000) << log();
  EXPECT_EQ(calls, (std::vector<int>{1, 2, 3, 1, 2, 3}));
  EXPECT_EQ(Iter, 2);
  EXPECT_EQ(GlobInnerIter, 3);
  EXPECT_EQ(gFlagFlow, 0);  // the end steps ran
  EXPECT_EQ(ResMax, 0.5);   // the end-of-inner-iteration report saw its residuals
  for (int c = 1; c <= NoCells; ++c) ASSERT_EQ(Cxvel[c], 0.0) << c;
}

// An inner iteration that hands over (the free surface of F 36 6) leaves the driver at once:
// no end of the inner or the outer iteration, no end steps.
TEST_F(DriverFrame, InnerIterationThatHandsOverLeavesAtOnce) {
  flume();
  TransInnerIter = 3;
  iterGlobalMax = 2;
  handOverAt = 2;
  gFlagFlow = 1;
  GlobInnerIter = -1;
  ResMax = -1;
  ASSERT_EQ(run(standInForm()), 1000) << log();
  EXPECT_EQ(calls, (std::vector<int>{1, 2}));
  EXPECT_EQ(GlobInnerIter, -1);
  EXPECT_EQ(ResMax, 0.5);  // the report of inner iteration 1 only
  EXPECT_EQ(gFlagFlow, 1);
}

struct BedCase {
  const char* name;
  bool everyEntry;
  bool indexed;  // the bed cells made before the call, and the column index of bed cell 1 lost
  bool made;     // the bed cells are there after the call, with that index
};

// The flume's flow needs no bed cells (no roughness file, no transient surface, no drag): the
// main form makes none on a grid without them and leaves those it finds alone; the form of
// every entry makes them, and indexes the columns again over what an earlier call left.
TEST_F(DriverFrame, BedMakeOnEveryEntryOrOnlyWhenMissingAndNeeded) {
  const std::vector<BedCase> cases = {
      {"main form, none and none needed: skipped", false, false, false},
      {"main form, a stale index: kept", false, true, false},
      {"every entry, none: made", true, false, true},
      {"every entry, a stale index: made again", true, true, true},
  };
  for (const BedCase& k : cases) {
    SCOPED_TRACE(k.name);
    flume();
    iterGlobalMax = 0;
    int bottom = 0;
    if (k.indexed) {
      BedMake();
      ASSERT_EQ(NoBCells, 30);
      bottom = Bcellt[1];
      ASSERT_GT(bottom, 0);
      Bcellt[1] = 0;
    }
    ASSERT_EQ(NoBCells, k.indexed ? 30 : 0);
    DriverForm form = standInForm();
    form.bedMakeEveryEntry = k.everyEntry;
    ASSERT_EQ(run(form), 1000) << log();
    EXPECT_EQ(NoBCells, k.made || k.indexed ? 30 : 0);
    if (k.indexed) {
      EXPECT_EQ(Bcellt[1], k.made ? bottom : 0);
    }
  }
}

// F 36 2 with the G 6 cell in the last cross-section (group 2, the outflow the flume's F 314
// makes) and no F 91 column: the main form finds the column of the cell on entry; a form
// without the reference column leaves it to its driver.
TEST_F(DriverFrame, ReferenceColumnOnEntry) {
  for (const bool reference : {true, false}) {
    SCOPED_TRACE(reference ? "main form" : "without the reference column");
    flume();
    iterGlobalMax = 0;
    FlagTFS = 2;
    metric();
    int cell = 0;
    for (int c = 1; c <= NoCells && cell == 0; ++c)
      if (Cxcenter[c] > 9.0 && Ccellb[c] == 0) cell = c;
    ASSERT_GT(cell, 0);
    kSurf = 2;
    iSurf = cell;
    DriverForm form = standInForm();
    form.referenceColumn = reference;
    ASSERT_EQ(run(form), 1000) << log();
    EXPECT_EQ(iPres > 0 && jPres > 0, reference) << iPres << " " << jPres;
    EXPECT_EQ(test::contains(log(), "G 6/62 2D reference indexes"), reference) << log();
  }
}

struct PrintRuleCase {
  const char* name;
  int iter;
  char debug;
  int withJ, withoutJ;  // FlagPrint
};

TEST(PrintRule, WithAndWithoutTheHundredthsOfF1J) {
  const std::vector<PrintRuleCase> cases = {
      {"iteration 5", 5, 'N', 0, 0},
      {"iteration 30: a tenth below 100", 30, 'N', 0, 0},
      {"iteration 31", 31, 'N', 1, 1},
      {"iteration 300: the F 53 interval of 150", 300, 'N', 0, 0},
      {"iteration 200 with F 1 J", 200, 'J', 0, 1},
      {"iteration 250 with F 1 J", 250, 'J', 1, 1},
      {"iteration 31 with F 1 D", 31, 'D', 0, 0},
      {"the last of K 1", 999, 'N', 0, 0},
  };
  for (const PrintRuleCase& k : cases) {
    SCOPED_TRACE(k.name);
    setDefaults();
    iterGlobalMax = 999;
    PrintIterBoogie = 150;
    Iter = k.iter;
    debugging = k.debug;
    setPrintFlag(PrintRule::WithJ);
    EXPECT_EQ(FlagPrint, k.withJ);
    setPrintFlag(PrintRule::WithoutJ);
    EXPECT_EQ(FlagPrint, k.withoutJ);
  }
  setDefaults();
}

// The form's rule decides the print flag at the head of every outer iteration: time steps of
// 1 s up to F 335 199.5 end at iteration 200, which prints under F 1 J with the main form's
// rule and not without the hundredths.
TEST_F(DriverFrame, PrintRuleOfTheForm) {
  for (const PrintRule rule : {PrintRule::WithJ, PrintRule::WithoutJ}) {
    SCOPED_TRACE(rule == PrintRule::WithJ ? "with J" : "without J");
    flume("F 335 199.5\n", "1");
    iterGlobalMax = 1000;
    PrintIterBoogie = 1000;
    debugging = 'J';
    DriverForm form = standInForm();
    form.printRule = rule;
    ASSERT_EQ(run(form), 1000) << log();
    EXPECT_EQ(Iter, 200);
    EXPECT_EQ(FlagPrint, rule == PrintRule::WithJ ? 0 : 1);
  }
}

// F 289 5: the main form updates the slide location at the head of every outer iteration (a
// step this version does not have, so the run stops there); a form without the mud steps
// goes on.
TEST_F(DriverFrame, MudStepsOfF289) {
  flume();
  FlagThixoDamp = 5;
  EXPECT_EQ(run(standInForm()), 1);
  EXPECT_TRUE(test::contains(log(), "Not available in this version")) << log();

  flume();
  FlagThixoDamp = 5;
  DriverForm form = standInForm();
  form.mudSteps = false;
  EXPECT_EQ(run(form), 1000) << log();
  EXPECT_FALSE(test::contains(log(), "Not available")) << log();
}

struct CountCase {
  const char* name;
  bool onEntry;
  int transInner, firstIterNo, iterOnEntry, changedTo;
  int calls;  // inner iterations of the one outer iteration
};

TEST_F(DriverFrame, InnerCountFixedOnEntryOrReadBeforeEveryInnerIteration) {
  const std::vector<CountCase> cases = {
      {"on entry: F 489 at Iter 1", true, 1, 3, 1, 0, 3},
      {"on entry: F 33 after Iter 1", true, 1, 3, 2, 0, 1},
      {"read again: no F 489", false, 1, 3, 1, 0, 1},
      {"on entry: a change of F 33 waits for the next call", true, 2, 0, 0, 4, 2},
      {"read again: a change of F 33 acts at once", false, 2, 0, 0, 4, 4},
  };
  for (const CountCase& k : cases) {
    SCOPED_TRACE(k.name);
    flume();
    TransInnerIter = k.transInner;
    FirstIterNo = k.firstIterNo;
    Iter = k.iterOnEntry;
    countAfterFirst = k.changedTo;
    DriverForm form = standInForm();
    form.innerCountOnEntry = k.onEntry;
    ASSERT_EQ(run(form), 1000) << log();
    EXPECT_EQ(static_cast<int>(calls.size()), k.calls);
    EXPECT_EQ(GlobInnerIter, k.calls);
  }
}

// F 395: after the tenth inner iteration of an outer iteration, a residual above the limit
// lowers the corner points of the bottom cell with the largest k residual to 0.35 m below the
// water level, 5 cm below the flume's bed; a form without the grid repair leaves them alone.
TEST_F(DriverFrame, GridRepairAfterTheTenthInnerIteration) {
  for (const bool repair : {true, false}) {
    SCOPED_TRACE(repair ? "main form" : "without the grid repair");
    flume();
    BedMake();  // the repair finds the column of the cell through its bed cell
    ASSERT_TRUE(Ckinen_res && Bkooi);
    TransInnerIter = 11;
    FlagModifyGrid = 1;
    MaxModifyGrid = 0.1;
    DzModifyGrid = 0.35;
    kResidualCell = 1;  // a bottom cell
    const std::vector<double> before(&Pz[0], &Pz[0] + NoPoints + 1);
    DriverForm form = standInForm();
    form.gridRepair = repair;
    ASSERT_EQ(run(form), 1000) << log();
    ASSERT_EQ(calls.size(), 11u);
    int lowered = 0;
    for (int p = 1; p <= NoPoints; ++p)
      if (Pz[p] != before[p]) {
        ++lowered;
        EXPECT_LT(Pz[p], before[p]) << p;
      }
    EXPECT_EQ(lowered > 0, repair);
  }
}

struct SurfaceTestCase {
  const char* name;
  SurfaceTest test;
  int callSurface;  // F 432
  int mud;          // FlagThixoIsComputing
  int refused;      // NoNumNoSurfUpdate after two outer iterations
};

// F 36 2 every outer iteration with R = 10000 (no inner iteration) above F 224: every due
// update is refused and counted. The main test has no update at all under F 432 or while the
// mud flow is computed; the plain one has neither exception.
TEST_F(DriverFrame, SurfaceUpdateTestMainOrPlain) {
  const std::vector<SurfaceTestCase> cases = {
      {"main", SurfaceTest::Main, 0, 0, 2},
      {"main with F 432", SurfaceTest::Main, 1, 0, 0},
      {"main while the mud flow is computed", SurfaceTest::Main, 0, 1, 0},
      {"plain with F 432", SurfaceTest::Plain, 1, 0, 2},
      {"plain while the mud flow is computed", SurfaceTest::Plain, 0, 1, 2},
  };
  for (const SurfaceTestCase& k : cases) {
    SCOPED_TRACE(k.name);
    flume();
    FlagTFS = 2;
    IterWaterUpdate = 1;
    iterGlobalMax = 2;
    FlagCallSurface = k.callSurface;
    FlagThixoIsComputing = k.mud;
    DriverForm form = standInForm();
    form.surfaceTest = k.test;
    ASSERT_EQ(run(form), 1000) << log();
    EXPECT_EQ(NoNumNoSurfUpdate, k.refused);
  }
}

// F 36 3 is updated whatever the residual by the main test only (surface() runs, and with no
// reference column it stops the run); the plain test refuses and counts it like the others.
TEST_F(DriverFrame, SurfaceUpdateOfF36ThreeOnlyByTheMainTest) {
  for (const SurfaceTest test : {SurfaceTest::Main, SurfaceTest::Plain}) {
    SCOPED_TRACE(test == SurfaceTest::Main ? "main" : "plain");
    flume();
    FlagTFS = 3;
    IterWaterUpdate = 1;
    iterGlobalMax = 2;
    DriverForm form = standInForm();
    form.surfaceTest = test;
    const bool main = test == SurfaceTest::Main;
    ASSERT_EQ(run(form), main ? -1 : 1000) << log();
    EXPECT_EQ(test::contains(log(), "in surface computation, reference cell is zero"), main)
        << log();
    EXPECT_EQ(NoNumNoSurfUpdate, main ? 0 : 2);
  }
}

struct EndTimeCase {
  const char* name;
  bool test;
  int lastIter;
  double lastTime;
};

// Time steps of 1 s and F 335 1.5: the main form ends after the step that passes it; a form
// without the end-time test runs its K 1 count.
TEST_F(DriverFrame, EndTimeTest) {
  const std::vector<EndTimeCase> cases = {
      {"main form", true, 2, 2.0},
      {"without the end-time test", false, 4, 4.0},
  };
  for (const EndTimeCase& k : cases) {
    SCOPED_TRACE(k.name);
    flume("F 335 1.5\n", "1");
    iterGlobalMax = 4;
    DriverForm form = standInForm();
    form.endTimeTest = k.test;
    ASSERT_EQ(run(form), 1000) << log();
    EXPECT_EQ(Iter, k.lastIter);
    EXPECT_DOUBLE_EQ(stimet, k.lastTime);
  }
}

// Each driver sums its own outer iterations: the first call clears the form's sums only, and
// another driver's calls do not add to them.
TEST_F(DriverFrame, EachDriverKeepsItsOwnAverages) {
  flume();
  iterGlobalMax = 2;
  debugging = 'D';
  DriverAverages own{5.0, 5, 5};
  DriverForm form = standInForm();
  form.averages = &own;
  ASSERT_EQ(run(form), 1000) << log();  // the first call: the fluxes are made, sums cleared
  EXPECT_EQ(own.count, 2);
  EXPECT_EQ(own.innerIter, 2);
  EXPECT_EQ(own.maxResidual, 20000.0);
  EXPECT_TRUE(test::contains(log(), "Average max residual: 10000.000000, Average number of "
                                    "inner iterations: 1.000000\n"))
      << log();

  ASSERT_EQ(run(standInForm()), 1000) << log();  // the main driver's own sums
  EXPECT_EQ(own.count, 2);
  ASSERT_EQ(run(form), 1000) << log();
  EXPECT_EQ(own.count, 4);
}

// The largest residual of outer iteration Iter for the stall cases; every equation gets it.
double (*residualOf)(int) = nullptr;

int sequenceStandIn(int m) {
  calls.push_back(m);
  for (int e = 1; e <= 6; ++e) MaxResidual[e] = residualOf(Iter);
  return 0;
}

struct StallCase {
  const char* name;
  double (*residual)(int);
  const char* timeStep;
  int stalledAt;  // 0: runs to its limit of 1000 outer iterations
};

// A steady run none of whose residuals makes a new low (1 % below its lowest so far) in 300
// outer iterations stops there as not converged and says why; a slow fall, a bump that falls
// again or a time-stepping run goes on to its limit.
TEST_F(DriverFrame, StalledSteadyRunStopsAndSaysSo) {
  const std::vector<StallCase> cases = {
      {"flat", [](int) { return 0.5; }, "1e-20", 301},
      {"swinging between two states", [](int i) { return i % 2 ? 2.0 : 0.5; }, "1e-20", 302},
      {"falls, then rises and stays", [](int i) { return i < 40 ? std::pow(0.9, i) : 140.0; },
       "1e-20", 339},
      {"slow fall", [](int i) { return 10.0 * std::pow(0.999, i); }, "1e-20", 0},
      {"bump that falls again",
       [](int i) { return i <= 50 ? 1.0 : i <= 250 ? 100.0 : 0.9 * std::pow(0.999, i - 250); },
       "1e-20", 0},
      {"time steps", [](int) { return 0.5; }, "1", 0},
  };
  for (const StallCase& k : cases) {
    SCOPED_TRACE(k.name);
    flume("", k.timeStep);
    iterGlobalMax = 1000;
    TransInnerIter = 1;
    TimeBreakLimit = 0.0;
    residualOf = k.residual;
    DriverForm form = standInForm();
    form.innerSteps = sequenceStandIn;
    ASSERT_EQ(run(form), 1000) << log();
    const std::string text = log();
    if (k.stalledAt == 0) {
      EXPECT_EQ(Iter, 1000);
      EXPECT_EQ(IterStalled, 0);
      EXPECT_FALSE(test::contains(text, "stalled")) << text;
      continue;
    }
    EXPECT_EQ(Iter, k.stalledAt);
    EXPECT_EQ(IterStalled, k.stalledAt);
    EXPECT_EQ(static_cast<int>(calls.size()), k.stalledAt);
    const std::string first = strf("Solution stalled after %d outer iterations", k.stalledAt);
    EXPECT_TRUE(test::contains(text, first)) << text;
    const double r = k.residual(k.stalledAt);
    EXPECT_TRUE(test::contains(
        text, strf("Residuals of u, v, w, p, k, epsilon: %8.2le %8.2le %8.2le %8.2le %8.2le "
                   "%8.2le\n", r, r, r, r, r, r)))
        << text;
    EXPECT_TRUE(test::contains(text, "lower the relaxation of K 3 (now 0.8 0.8 0.8 0.2 0.5 0.5)"))
        << text;
    EXPECT_TRUE(test::contains(text, "add the block correction of K 5 0 0 0 1 0 0")) << text;
    EXPECT_TRUE(test::contains(text, "The flow ends here as not converged\n")) << text;
    EXPECT_FALSE(test::contains(text, "Solution converged")) << text;
  }
}

}  // namespace
}  // namespace qorva
