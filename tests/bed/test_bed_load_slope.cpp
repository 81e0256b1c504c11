// The bed-load slope terms of the layered bed against hand computations: the implicit outflow
// of a steep bottom cell shared by its two lowest neighbours (what leaves at the old
// concentration is what the neighbours receive), the source and the central coefficient handed
// from a steep edge cell to its lowest neighbour with their caps, and a cell without turbulent
// energy that gives a finite term.
#include <cmath>
#include <vector>

#include "bed/bed.h"
#include "bed/bed_fixture.h"
#include "state/options_f050_099.h"

namespace qorva {
namespace {

// A flat 3 x 3 patch whose bottom cells get heights by hand: every bottom cell spans 0..1 m
// unless a test lifts it, so no cell lies above a neighbour.
class BedLoadSlope : public test::BedGrid {
 protected:
  void SetUp() override {
    test::BedGrid::SetUp();
    FlagTSC = 3;
    lnumber = 2;
    TimeStep = 2.0;
    build(3, 3, test::flatBed, 5.0);
    gsize[1] = 0.001;
    gsize[2] = 0.004;
    density = 2.65;
    for (int i = 2; i <= 4; ++i)
      for (int j = 2; j <= 4; ++j) span(i, j, 0.0, 1.0);
  }
  static int cell(int i, int j) { return static_cast<int>(zval[i][j][0]); }
  // The bottom cell of column (i, j) spans bottom..top.
  static void span(int i, int j, double bottom, double top) {
    const int c = cell(i, j);
    Czcenter[c] = 0.5 * (bottom + top);
    Ckdist[c] = 0.5 * (top - bottom);
  }
  // Shields parameter theta of size 1 (0.001 m) in cell c; size 2 (0.004 m) has a quarter.
  static void shields(int c, double theta) { Ckinen[c] = theta * 1.65 * 0.001 * 9810 / 300; }
  struct Snapshot {
    std::vector<double> ap, source;
  };
  static Snapshot snap() {
    Snapshot s;
    for (int l = 1; l <= lnumber; ++l)
      for (int c = 1; c <= NoCells; ++c) {
        s.ap.push_back(Capm[l][c]);
        s.source.push_back(Csourcem[l][c]);
      }
    return s;
  }
  static double at(const std::vector<double>& v, int l, int c) { return v[(l - 1) * NoCells + c - 1]; }
};

// Column (3, 3): its bottom at 1.5 m above neighbour tops of 1.0 (west), 0.7 (east), 1.3
// (south) and 1.6 (north): drops 0.5, 0.8, 0.2, -0.1, so east is lowest and west second.
// Corner (3, 3) 0.5 m up: S = 0.5 / sqrt(1 m2). Speed 5 m/s, half height 0.5 m, P 0.6:
// a = 0.6 / g x 0.5 x 2 x 0.5 x 5 x 1000 = 1500 / g. Size 1 at theta 0.25, size 2 at 0.0625.
TEST_F(BedLoadSlope, ImplicitOutflowToTheTwoLowestNeighbours) {
  const int c = cell(3, 3), w = cell(2, 3), e = cell(4, 3), s = cell(3, 2), n = cell(3, 4);
  span(3, 3, 1.5, 2.5);
  span(2, 3, 0.5, 1.0);
  span(4, 3, 0.5, 0.7);
  span(3, 2, 0.5, 1.3);
  span(3, 4, 0.5, 1.6);
  zval[3][3][1] = 0.5;
  Cxvel[c] = 3;
  Cyvel[c] = 4;
  Cconc_old[1][c] = 0.01;
  Cconc_old[2][c] = 0.02;
  struct Case {
    int flag;
    double theta, g1, g2;
  };
  // g by the last digit of F 78: 4 sqrt(theta); 2 the same, not below sqrt(0.02); 3
  // sqrt(0.4 theta + 0.06). A cell without turbulent energy counts at the floor.
  const Case cases[] = {
      {4, 0.25, 0.5, 0.25},
      {2, 0.25, 0.5, 0.25},
      {2, 0.04, 0.2, std::sqrt(0.02)},
      {3, 0.25, 0.4, std::sqrt(0.085)},
      {4, 0.0, std::sqrt(0.02), std::sqrt(0.02)},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.flag);
    BedLoadVectorFlag = k.flag;
    BedLoadVectorParam = 0.6;
    shields(c, k.theta);
    const Snapshot before = snap();
    computeBedLoadVector();
    const Snapshot after = snap();
    const double g[3] = {0, k.g1, k.g2};
    for (int l = 1; l <= 2; ++l) {
      const double a = 1500.0 / g[l], out = a * Cconc_old[l][c];
      EXPECT_NEAR(at(after.ap, l, c) - at(before.ap, l, c), a, 1e-9 * a);
      EXPECT_NEAR(at(after.source, l, e) - at(before.source, l, e), out * 0.8 / 1.3, 1e-9 * out);
      EXPECT_NEAR(at(after.source, l, w) - at(before.source, l, w), out * 0.5 / 1.3, 1e-9 * out);
      EXPECT_EQ(at(after.source, l, s), at(before.source, l, s));
      EXPECT_EQ(at(after.source, l, n), at(before.source, l, n));
      // Nothing else changes: the other columns have no cell below them.
      double others = 0;
      for (int x = 1; x <= NoCells; ++x)
        if (x != c) others += std::fabs(at(after.ap, l, x) - at(before.ap, l, x));
      EXPECT_EQ(others, 0.0);
    }
  }
  // Corner levels within 0.02 times the square root of the area: no term.
  zval[3][3][1] = 0.019;
  const Snapshot before = snap();
  computeBedLoadVector();
  EXPECT_EQ(snap().ap, before.ap);
}

// Edge column (2, 3) (no west neighbour), bottom 1.5 m above neighbours of top 1.0: east is its
// lowest (the first of equal drops). Bed slope 0.5, speed 5 m/s, half height 0.5 m, time step
// 2 s, area 1 m2, P 0.6, theta 0.25 for size 1: 2 x 0.5 x 5 x 2 x 1 x 1000 x 0.6 / 0.5 x 0.5
// = 6000. Source: 6000 x 0.01 = 60, capped by the cell's own source; central coefficient:
// 6000 x 1000, capped at a fifth of the neighbour's.
TEST_F(BedLoadSlope, SteepEdgeCellHandsSourceOrCoefficientDown) {
  const int c = cell(2, 3), e = cell(3, 3), mid = cell(3, 3);
  span(2, 3, 1.5, 2.5);
  Cxvel[c] = 3;
  Cyvel[c] = 4;
  Cconc_old[1][c] = 0.01;
  shields(c, 0.25);
  BedLoadVectorParam = 0.6;
  Fvz[Cflateb[c]] = 1 / std::sqrt(1.25);
  // An interior cell, however steep, gets nothing.
  Fvz[Cflateb[mid]] = 0.2;
  span(3, 3, 0.5, 1.0);
  struct Case {
    int flag;
    double source, neighbourAp, move;
  };
  for (const Case& k : {Case{24, 100, 0, 60}, Case{24, 25, 0, 25}, Case{34, 0, 1e8, 6e6},
                        Case{34, 0, 1e6, 2e5}}) {
    SCOPED_TRACE(k.source);
    BedLoadVectorFlag = k.flag;
    for (int l = 1; l <= 2; ++l)
      for (int x = 1; x <= NoCells; ++x) Capm[l][x] = Csourcem[l][x] = 0;
    Csourcem[1][c] = k.source;
    Capm[1][e] = k.neighbourAp;
    if (k.flag == 24) {
      computeBedLoadVector3();
      EXPECT_NEAR(Csourcem[1][c], k.source - k.move, 1e-9);
      EXPECT_NEAR(Csourcem[1][e], k.move, 1e-9);
    } else {
      computeBedLoadVector4();
      EXPECT_NEAR(Capm[1][c], k.move, 1e-9 * k.move);
      EXPECT_NEAR(Capm[1][e], k.neighbourAp - k.move, 1e-9 * k.move);
    }
    EXPECT_EQ(Capm[1][cell(4, 3)], 0.0);
    EXPECT_EQ(Csourcem[1][cell(4, 3)], 0.0);
  }
}

}  // namespace
}  // namespace qorva
