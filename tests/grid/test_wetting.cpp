// Starting values of newly wet columns on hand-made rows of columns: each variant against sums
// and means worked out by hand, the line fill of block 1, the column fill, and the reports of
// the pressure test.
#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "grid/grid.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "support/scratch.h"

namespace qorva {
namespace {

constexpr double kTol = 1e-12;

// A water column (i, j) with its cell count in the new grid and in the replaced one.
struct Col {
  int i, j, now, old;
};

// The seven values a cell carries over a regeneration.
struct Values {
  double p, k, e, u, v, w, invAp;
};

class WettingTest : public test::Scratch {
 protected:
  void SetUp() override {
    test::Scratch::SetUp();
    xnumber = ynumber = 8;
    znumber = 6;
    lnumber = 2;
    MaxCeller = MaxFlater = MaxPunkter = 200;
    TimeStep = 1.0;  // the values of the replaced grid exist only in runs with a time step
    ASSERT_EQ(sialloc(), 0);
    ASSERT_GE(AllocateArrays(1, 1, 1), 0.0);
    std::filesystem::remove("boogie");  // the allocation report
  }

  // Lays out the columns in the order given (which is the bed-cell order): the cells of each
  // column numbered from the bottom up, on the top levels, linked to the cells of the
  // neighbouring columns at the same level. The replaced grid numbered its columns in the same
  // order. Every cell starts with the values `junk` and concentration 0.5 in every row.
  void build(const std::vector<Col>& cols, Values junk = {7, 7, 7, 7, 7, 7, 7}) {
    std::map<std::pair<int, int>, std::map<int, int>> at;  // (i, j) -> level -> cell
    int cell = 0, oldCell = 0;
    NoBCells = 0;
    for (const Col& c : cols) {
      const int b = ++NoBCells;
      pointbed[c.i][c.j] = b;
      Bkooi[b] = c.i;
      Bkooj[b] = c.j;
      Bnocells[b] = c.now;
      Bcellt[b] = c.now > 0 ? cell + 1 : 0;
      Bnocells_old[b] = c.old;
      Bcellt_old[b] = c.old > 0 ? oldCell + 1 : 0;
      oldCell += c.old;
      zval[c.i][c.j][0] = Bcellt[b];
      for (int m = 0; m < c.now; ++m) {
        const int x = ++cell;
        at[{c.i, c.j}][znumber - c.now + 1 + m] = x;
        Ccellb[x] = m > 0 ? x - 1 : 0;
        Ccellt[x] = m < c.now - 1 ? x + 1 : 0;
        Cbed[x] = b;
        Cidist[x] = Cjdist[x] = Ckdist[x] = 0.5;
        set(x, junk);
        for (int l = 0; l <= lnumber; ++l) Cconc[l][x] = 0.5;
      }
    }
    NoCells = cell;
    auto link = [&](int i, int j, int di, int dj, Table1<int>& side) {
      auto here = at.find({i, j});
      auto there = at.find({i + di, j + dj});
      if (here == at.end() || there == at.end()) return;
      for (auto [level, x] : here->second) {
        auto y = there->second.find(level);
        if (y != there->second.end()) side[x] = y->second;
      }
    };
    for (const Col& c : cols) {
      link(c.i, c.j, 1, 0, Ccelle);
      link(c.i, c.j, -1, 0, Ccellw);
      link(c.i, c.j, 0, 1, Ccelln);
      link(c.i, c.j, 0, -1, Ccells);
    }
  }

  static void set(int c, const Values& v) {
    Cpres[c] = v.p;
    Ckinen[c] = v.k;
    Cepsilon[c] = v.e;
    Cxvel[c] = v.u;
    Cyvel[c] = v.v;
    Czvel[c] = v.w;
    CinvAp[c] = v.invAp;
  }
  static void setOld(int c, const Values& v) {
    Cpres_old[c] = v.p;
    Ckinen_old[c] = v.k;
    Cepsilon_old[c] = v.e;
    Cxvel_old[c] = v.u;
    Cyvel_old[c] = v.v;
    Czvel_old[c] = v.w;
    CinvAp_old[c] = v.invAp;
  }
  static void expectValues(int c, const Values& v) {
    SCOPED_TRACE("cell " + std::to_string(c));
    EXPECT_NEAR(Cpres[c], v.p, kTol);
    EXPECT_NEAR(Ckinen[c], v.k, kTol);
    EXPECT_NEAR(Cepsilon[c], v.e, kTol);
    EXPECT_NEAR(Cxvel[c], v.u, kTol);
    EXPECT_NEAR(Cyvel[c], v.v, kTol);
    EXPECT_NEAR(Czvel[c], v.w, kTol);
    EXPECT_NEAR(CinvAp[c], v.invAp, kTol);
  }
  // Every cell of bed cell b's column holds v and no sediment in any row.
  static void expectColumn(int b, const Values& v) {
    for (int c = Bcellt[b]; c < Bcellt[b] + Bnocells[b]; ++c) {
      expectValues(c, v);
      for (int l = 0; l <= lnumber; ++l) EXPECT_EQ(Cconc[l][c], 0.0) << "cell " << c;
    }
  }
};

// Columns (2,2) wet before and now, (3,2) newly wet, (4,2) wet before and now; two cells each.
// New cells: 1, 2 | 3, 4 | 5, 6; old bottom cells 1 and 3.
const std::vector<Col> kTwoSides = {{2, 2, 2, 2}, {3, 2, 2, 0}, {4, 2, 2, 2}};

TEST_F(WettingTest, FirstVariantAveragesTheNeighboursValuesBeforeTheRegeneration) {
  ExtrapAlgo2 = 0;
  ExtrapRelK = 0.5;
  ExtrapRelE = 2.0;  // ExtrapRelVel stays 0.2
  build(kTwoSides);
  setOld(1, {1000, 0.01, 0.001, 1.0, 0.1, 0.01, 0.5});
  setOld(3, {3000, 0.03, 0.003, 2.0, 0.3, 0.02, 1.5});
  WettingExtrapolation1();
  // Means of p, k, e, CinvAp with their factors; the velocities 0.2 x the sum.
  expectColumn(2, {2000, 0.04 * 0.5 / 2, 2.0 * 0.004 / 2, 0.2 * 3.0, 0.2 * 0.4, 0.2 * 0.03,
                   1.0});
  // The columns that were wet keep what the transfer gave them.
  expectValues(1, {7, 7, 7, 7, 7, 7, 7});
  EXPECT_EQ(Cconc[1][5], 0.5);
}

TEST_F(WettingTest, FirstVariantTakesOnlyNeighboursThatAreWetAndJoinedOnThatSide) {
  struct Case {
    const char* name;
    void (*change)();
    Values expected;
  };
  const Case cases[] = {
      {"both sides", [] {}, {2000, 0.02, 0.002, 0.6, 0.08, 0.006, 1.0}},
      // A wall between the new column and its west neighbour: only the east one counts.
      {"no west link", [] { Ccellw[3] = 0; }, {3000, 0.03, 0.003, 0.4, 0.06, 0.004, 1.5}},
      // The east column has fallen dry in the new grid.
      {"east column dry now", [] { Bcellt[3] = 0; }, {1000, 0.01, 0.001, 0.2, 0.02, 0.002, 0.5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    build(kTwoSides);
    setOld(1, {1000, 0.01, 0.001, 1.0, 0.1, 0.01, 0.5});
    setOld(3, {3000, 0.03, 0.003, 2.0, 0.3, 0.02, 1.5});
    c.change();
    WettingExtrapolation1();
    expectColumn(2, c.expected);
  }
}

TEST_F(WettingTest, FirstVariantSpreadsIntoWiderAreasOnlyWithItsOwnExtension) {
  // (2,2) was wet; (3,2) and (4,2) are newly wet. Old bottom cell 1: p 1000, u 1.
  struct Case {
    int algo, passes;
    double u2, p3, u3;
  };
  const Case cases[] = {
      {0, 2, 0.2, 0.0, 7.0},      // (4,2) has no neighbour that was wet: only its pressure is 0
      {1, 1, 0.2, 0.0, 7.0},      // current values are used from the second pass on
      {1, 2, 0.2, 1000, 0.04},    // pass 2: (4,2) from the filled (3,2)
      {1, 3, 0.208, 1000, 0.0416},  // pass 3: (3,2) sees (4,2) too: 0.2 (1 + 0.04)
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("F 147 " + std::to_string(c.passes) + " x " + std::to_string(c.algo));
    ExtrapAlgo2 = c.algo;
    ExtrapIter = c.passes;
    build({{2, 2, 1, 1}, {3, 2, 1, 0}, {4, 2, 1, 0}});
    setOld(1, {1000, 0, 0, 1.0, 0, 0, 0});
    WettingExtrapolation1();
    EXPECT_NEAR(Cpres[2], 1000, kTol);
    EXPECT_NEAR(Cxvel[2], c.u2, kTol);
    EXPECT_NEAR(Cpres[3], c.p3, kTol);
    EXPECT_NEAR(Cxvel[3], c.u3, kTol);
  }
}

TEST_F(WettingTest, FirstVariantWithoutPassesOnlyClearsThePressure) {
  ExtrapAlgo2 = 0;
  ExtrapIter = 0;
  build(kTwoSides);
  setOld(1, {1000, 0.01, 0.001, 1.0, 0.1, 0.01, 0.5});
  WettingExtrapolation1();
  expectValues(3, {0, 7, 7, 7, 7, 7, 7});
  expectValues(4, {0, 7, 7, 7, 7, 7, 7});
  EXPECT_EQ(Cconc[1][3], 0.5);
  expectValues(1, {7, 7, 7, 7, 7, 7, 7});
}

TEST_F(WettingTest, SecondVariantSweepsForwardThenBackward) {
  // (2,2) wet, (3,2) and (4,2) newly wet, (5,2) wet; the transfer left p 1000, u 1 in the
  // first and p 3000, u 2 in the last. Forward: (3,2) from (2,2): 1000, 0.2; (4,2) from (5,2)
  // and (3,2): 2000, 0.2 (2 + 0.2) = 0.44. Backward: (4,2) the same again; (3,2) from (4,2)
  // and (2,2): 1500, 0.2 (0.44 + 1) = 0.288.
  ExtrapIter = 1;
  build({{2, 2, 2, 2}, {3, 2, 2, 0}, {4, 2, 2, 0}, {5, 2, 2, 2}});
  for (int c : {1, 2}) set(c, {1000, 0.01, 0.001, 1.0, 0, 0, 0.5});
  for (int c : {7, 8}) set(c, {3000, 0.03, 0.003, 2.0, 0, 0, 1.5});
  WettingExtrapolation2();
  expectColumn(2, {1500, (0.02 + 0.01) / 2, (0.002 + 0.001) / 2, 0.288, 0, 0, (1.0 + 0.5) / 2});
  expectColumn(3, {2000, 0.02, 0.002, 0.44, 0, 0, 1.0});
}

TEST_F(WettingTest, SecondAndThirdVariantsClearColumnsWithoutFilledNeighbours) {
  // (3,3) is newly wet and all around it is dry: it ends with zeros and no sediment, whatever
  // its cells held and however many passes are allowed.
  for (int variant : {2, 5}) {
    for (int passes : {0, 20}) {
      SCOPED_TRACE(std::to_string(variant) + " with passes " + std::to_string(passes));
      ExtrapAlgo2 = variant;
      ExtrapIter = passes;
      build({{2, 2, 0, 1}, {3, 3, 3, 0}});
      variant == 2 ? WettingExtrapolation2() : WettingExtrapolation5();
      expectColumn(2, {0, 0, 0, 0, 0, 0, 0});
    }
  }
}

TEST_F(WettingTest, LineFillGivesThePressureOfTheNearestColumnThatWasWetOnTheCrossSection) {
  // Block 1 is one cross-section, i = 2, j = 2..6; j2 / 2 + 1 = 4. Columns j = 2 (p 1000) and
  // j = 6 (p 6000) were wet. Searching toward the middle: j = 3 and 4 look north and find
  // j = 6, j = 5 looks south and finds j = 2. With passes, the sweeps run in j order over
  // the pressures of the south and north neighbours.
  struct Case {
    int algo, iter, passes;
    double p3, p4, p5;
  };
  const Case cases[] = {
      {4, 1, 0, 6000, 6000, 1000},
      {3, 1, 0, 6000, 6000, 1000},
      {4, 0, 0, 0, 0, 0},  // no line fill before the first outer iteration
      {2, 1, 0, 0, 0, 0},  // and none in variant 2 itself
      // Passes first: forward 1000, 1000, 3500; backward 3500, 2250, 1625; then the fill.
      {3, 1, 1, 6000, 6000, 1000},
      // Fill first: 6000, 6000, 1000; forward 3500, 2250, 4125; backward 4125, 3812.5, 2406.25.
      {4, 1, 1, 2406.25, 3812.5, 4125},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("variant " + std::to_string(c.algo) + ", Iter " + std::to_string(c.iter) +
                 ", passes " + std::to_string(c.passes));
    ExtrapAlgo2 = c.algo;
    Iter = c.iter;
    ExtrapIter = c.passes;
    NoBlocks = 1;
    block[1].i1 = block[1].i2 = 2;
    block[1].j1 = 2;
    block[1].j2 = 6;
    build({{2, 2, 2, 2}, {2, 3, 2, 0}, {2, 4, 2, 0}, {2, 5, 2, 0}, {2, 6, 2, 2}});
    for (int x : {1, 2}) set(x, {1000, 0, 0, 0, 0, 0, 0});
    for (int x : {9, 10}) set(x, {6000, 0, 0, 0, 0, 0, 0});
    WettingExtrapolation2();
    const double p[] = {c.p3, c.p4, c.p5};
    for (int b = 2; b <= 4; ++b)
      for (int x = Bcellt[b]; x < Bcellt[b] + 2; ++x)
        EXPECT_NEAR(Cpres[x], p[b - 2], kTol) << "cell " << x;
  }
}

TEST_F(WettingTest, LineFillTakesNothingFromAColumnThatHasFallenDry) {
  // j = 3 is newly wet and looks north; j = 4 was wet but is dry now, so it has no pressure
  // to give and the search stops there.
  ExtrapAlgo2 = 4;
  Iter = 1;
  ExtrapIter = 0;
  NoBlocks = 1;
  block[1].i1 = block[1].i2 = 2;
  block[1].j1 = 2;
  block[1].j2 = 6;
  build({{2, 2, 0, 0}, {2, 3, 2, 0}, {2, 4, 0, 2}, {2, 5, 0, 0}, {2, 6, 2, 2}});
  Cpres[0] = 123;  // what a read of "no cell" would find
  set(3, {6000, 0, 0, 0, 0, 0, 0});
  WettingExtrapolation2();
  EXPECT_EQ(Cpres[1], 0.0);
  EXPECT_EQ(Cpres[2], 0.0);
}

TEST_F(WettingTest, ThirdVariantTakesTheBottomCellsOfTheNeighbourColumns) {
  // (2,2) was wet with three cells (p 300 at the bottom, 100 at the top); (3,2) is newly wet
  // with one cell at the top level. The link at that level reaches the top cell of (2,2); the
  // third variant takes the bottom cell named by zval instead.
  struct Case {
    int variant;
    double p;
  };
  for (const Case& c : {Case{2, 100}, Case{5, 300}}) {
    SCOPED_TRACE(c.variant);
    ExtrapAlgo2 = c.variant;
    build({{2, 2, 3, 3}, {3, 2, 1, 0}});
    set(1, {300, 0, 0, 1.0, 0, 0, 0});
    set(2, {200, 0, 0, 1.0, 0, 0, 0});
    set(3, {100, 0, 0, 1.0, 0, 0, 0});
    ASSERT_EQ(Ccellw[4], 3);
    c.variant == 2 ? WettingExtrapolation2() : WettingExtrapolation5();
    EXPECT_NEAR(Cpres[4], c.p, kTol);
    EXPECT_NEAR(Cxvel[4], 0.2, kTol);
  }
}

TEST_F(WettingTest, ThirdVariantFindsNeighboursWithoutCellLinks) {
  // The same row with the links between the columns removed: only the third variant still
  // reaches the wet column.
  for (int variant : {2, 5}) {
    SCOPED_TRACE(variant);
    ExtrapAlgo2 = variant;
    build(kTwoSides);
    for (int c = 1; c <= NoCells; ++c) Ccelle[c] = Ccellw[c] = 0;
    set(1, {1000, 0, 0, 0, 0, 0, 0});
    set(5, {3000, 0, 0, 0, 0, 0, 0});
    variant == 2 ? WettingExtrapolation2() : WettingExtrapolation5();
    EXPECT_NEAR(Cpres[3], variant == 5 ? 2000 : 0, kTol);
    EXPECT_NEAR(Cpres[4], variant == 5 ? 2000 : 0, kTol);
  }
}

// Pressure test on kTwoSides at outer iteration 3: the old pressures are 1000 (west) and 3000
// (east), the present bottom pressures 1100 and 3100; all half widths 0.5 m.
class PressureTestTest : public WettingTest {
 protected:
  // A factor that no jump in these rows reaches, for the tests of the missing pressure (the
  // empty cell 3 lies 0.31 below its east neighbour).
  void SetUp() override {
    WettingTest::SetUp();
    PressureTestFactor = 1.0;
  }
  void prepare(double newPressure) {
    Iter = 3;
    debugging = 'D';
    build(kTwoSides);
    Cpres_old[1] = 1000;
    Cpres_old[3] = 3000;
    Cpres[1] = 1100;
    Cpres[5] = 3100;
    Cpres[3] = Cpres[4] = newPressure;
  }
};

const char* const kMissing =
    "Error in extrapolation, non-interpolated pressure\n"
    "BCell = 2, pointbed = 2, Cellno = 3\n"  // no pond marks without F 394
    "Pres = 0.000000, Pres_old = 0.000000\n"
    "Iter 3, Grid no. [3,2]\n"
    "Bcellt_old(2) = 0, Bnocells_old = 0, Bnocells = 2\n"
    "Bcellt_old, Pres_old, Pres, n = 0, 0.000000 0.000000\n"
    "Bcellt_old, Pres_old, Pres, s = 0, 0.000000 0.000000\n"
    "Bcellt_old, Pres_old, Pres, e = 3, 3000.000000 3100.000000\n"
    "Bcellt_old, Pres_old, Pres, w = 1, 1000.000000 1100.000000\n"
    "\n";

TEST_F(PressureTestTest, ReportsANewlyWetColumnLeftWithoutPressure) {
  prepare(0.0);
  PressureTest();
  EXPECT_EQ(log(), kMissing);
}

TEST_F(PressureTestTest, PointsToTheF147ChoiceForTheFirstVariant) {
  ExtrapAlgo2 = 1;
  prepare(0.0);
  PressureTest();
  std::string expected = kMissing;
  const std::string first = "Error in extrapolation, non-interpolated pressure\n";
  expected.insert(first.size(),
                  "The problem could be due to the choise on the F 147 data set in the control "
                  "file.\n");
  EXPECT_EQ(log(), expected);
}

TEST_F(PressureTestTest, StaysSilentOutsideDebugModeAndForExemptMudColumns) {
  prepare(0.0);
  debugging = 'N';
  PressureTest();
  EXPECT_FALSE(std::filesystem::exists("boogie"));
  // With a mud layer and no G 7 groups the columns before block 2 are not tested.
  debugging = 'D';
  FlagThixo = 1;
  block[2].bcellstart = 3;
  PressureTest();
  EXPECT_FALSE(std::filesystem::exists("boogie"));
  block[2].bcellstart = 2;  // bed cell 2 is no longer below block 2
  PressureTest();
  EXPECT_EQ(log(), kMissing);
}

TEST_F(PressureTestTest, ReportsEachSideWhosePressureJumpIsTooSteep) {
  // Cell 3 holds 5000: west |1100 - 5000| 0.0001 / (0.5 + 0.5) = 0.39, east 0.19.
  auto report = [](const char* side, char tag, double grad, double p) {
    return strf("Warning in extrapolation, too high pressure gradients-%s\n", side) +
           strf("BCell = 2, pointbed = 2, Cellno = 3, grad = %f\n", grad) +
           strf("Pres = 5000.000000, Pres_old = 0.000000, Pres_%c = %f\n", tag, p) +
           "Iter 3, Grid no. [3,2]\n"
           "Bcellt_old(2) = 0, Bnocells_old = 0, Bnocells = 2\n"
           "Bcellt_old, Pres_old, n = 0, 0.000000\n"
           "Bcellt_old, Pres_old, s = 0, 0.000000\n"
           "Bcellt_old, Pres_old, e = 3, 3000.000000\n"
           "Bcellt_old, Pres_old, w = 1, 1000.000000\n"
           "\n";
  };
  struct Case {
    double factor;
    std::string expected;
  };
  const Case cases[] = {
      {0.2, report("west", 'w', 0.39, 1100)},
      {0.1, report("east", 'e', 0.19, 3100) + report("west", 'w', 0.39, 1100)},
      {0.4, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.factor);
    std::filesystem::remove("boogie");
    PressureTestFactor = c.factor;
    prepare(5000.0);
    PressureTest();
    EXPECT_EQ(log(), c.expected);
  }
}

}  // namespace
}  // namespace qorva
