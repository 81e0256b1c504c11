// The bed smoothing of F 144 on small patches, against hand values: the values that do
// nothing, the diffusion of 1 (which keeps weight times level) and 3, the smoothing of the
// pending change (5), the down-slope transport (6) with and without turbulent energy, spikes
// (9), maxima (10), the relaxation of a grid one column wide (11), and the limited (13) and
// fast-flow (14) relaxations.
#include <cmath>
#include <string>
#include <vector>

#include "bed/bed.h"
#include "bed/bed_fixture.h"

namespace qorva {
namespace {

class BedSmooth : public test::BedGrid {
 protected:
  static std::vector<double> levels() {
    std::vector<double> v;
    for (int i = 1; i <= block[1].i2; ++i)
      for (int j = 1; j <= block[1].j2; ++j) v.push_back(level(i, j));
    return v;
  }
  // Sets point (i, j) and its plane 1 as if the bed change had put it there.
  static void raise(int i, int j, double z) { level(i, j) = z; }
  // Every cell moves at 1 m/s along i with concentration 0.001 over bed forms 0.1 m high.
  static void flow() {
    for (int c = 1; c <= NoCells; ++c) {
      Cxvel[c] = 1.0;
      Cconc[0][c] = 0.001;
    }
    for (int b = 1; b <= NoBCells; ++b) Bedformheight[b] = 0.1;
    TimeStep = 1.0;
  }
};

TEST_F(BedSmooth, ValuesWithoutAnAlgorithmLeaveTheBed) {
  for (int v : {0, 2, 4, 7, 8, 15}) {
    SCOPED_TRACE(v);
    SetArraysZero();
    setDefaults();
    build(3, 3, [](int i, int j) { return 0.1 * ((i * 7 + j * 3) % 5); });
    FlagBedSmooth = v;
    ParamBedSmooth = 0.5;
    flow();
    const std::vector<double> before = levels();
    bedsmooth();
    EXPECT_EQ(levels(), before);
  }
}

// Variant 1 moves each pair so that weight times level is kept: the weighted sum over the
// patch does not change, a level bed does not change, and no step is faster than F 144's
// factor over 20 time steps.
TEST_F(BedSmooth, DiffusionKeepsWeightTimesLevel) {
  FlagBedSmooth = 1;
  ParamBedSmooth = 1.0;
  build(3, 3, [](int i, int j) { return i == 2 && j == 3 ? 0.2 : 0.0; });
  flow();
  const auto weighted = [] {
    double s = 0;
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 4; ++j) {
        double w = 0;
        for (int di = 0; di <= 1; ++di)
          for (int dj = 0; dj <= 1; ++dj)
            if (zval[i + di][j + dj][0] > 0) w += Careaz[static_cast<int>(zval[i + di][j + dj][0])];
        s += w * level(i, j);
      }
    return s;
  };
  const double before = weighted();
  bedsmooth();
  EXPECT_NEAR(weighted(), before, 1e-15);
  EXPECT_LT(level(2, 3), 0.2);
  EXPECT_GE(level(2, 3), 0.2 * (1 - 4.0 / 20));  // four pairs, each at most 1/20
  EXPECT_EQ(Surfaces[1][2][3], 0.0);
}

// Variant 3 on two columns along i: only the grid line between them has a pair, and its two
// points move towards each other by k times their difference, whichever is higher.
TEST_F(BedSmooth, TheRateDiffusionMovesAPairTogether) {
  for (bool upperHigh : {true, false}) {
    SCOPED_TRACE(upperHigh);
    SetArraysZero();
    setDefaults();
    FlagBedSmooth = 3;
    ParamBedSmooth = 1000.0;
    build(2, 1, test::flatBed);
    flow();
    const int c = Bcellt[bed(2, 2)];
    double depth = 0;
    for (int k = c; k > 0; k = Ccellt[k]) depth += 2 * Ckdist[k];
    const double rate = 4 * 0.001 * Ckdist[c] * 1.0 * 1.0 * 0.1 / (0.5 * depth * 7.3 * Farea[Cflateb[c]]);
    const double k = 1000.0 * rate;
    ASSERT_LT(k, 0.5);
    raise(2, upperHigh ? 2 : 1, 0.1);
    bedsmooth();
    const double gap = upperHigh ? level(2, 2) - level(2, 1) : level(2, 1) - level(2, 2);
    EXPECT_NEAR(gap, 0.1 * (1 - k), 1e-12);
    EXPECT_NEAR(level(2, 2) + level(2, 1), 0.1, 1e-15);  // equal weights
  }
}

// Variant 5 in place, forward then backward, on two columns (3, 3) and (4, 3) with changes
// 0.01 and 0.02 m (F 144 factor 1): 0.01 + 0.02 / 8 = 0.0125, then 0.02 + 0.0125 / 8, back
// 0.02 + 2 x 0.0125 / 8 = 0.023125, then 0.0125 + 0.023125 / 8. A change of 1e-12 stays.
TEST_F(BedSmooth, ThePendingChangeIsSmoothedInPlace) {
  FlagBedSmooth = 5;
  ParamBedSmooth = 1.0;
  build(3, 3, test::flatBed);
  Bedmove[bed(3, 3)] = 0.01;
  Bedmove[bed(4, 3)] = 0.02;
  Bedmove[bed(2, 2)] = 1e-12;
  bedsmooth();
  EXPECT_NEAR(Bedmove[bed(3, 3)], 0.0125 + 0.023125 / 8, 1e-15);
  EXPECT_NEAR(Bedmove[bed(4, 3)], 0.023125, 1e-15);
  EXPECT_EQ(Bedmove[bed(2, 2)], 1e-12);
  EXPECT_EQ(Bedmove[bed(3, 2)], 0.0);
}

// Variant 6 on one column whose bed rises 0.1 m along i, the move capped at the active layer
// of 1 mm: the uphill corners drop and the downhill ones rise by cos 45 deg times 1 mm. In a
// cell without turbulent energy the size term stays finite and the same cap holds.
TEST_F(BedSmooth, DownSlopeTransportWithAndWithoutTurbulentEnergy) {
  for (double k : {0.01, 0.0}) {
    SCOPED_TRACE(k);
    SetArraysZero();
    setDefaults();
    FlagBedSmooth = 6;
    gsize[1] = 0.001;
    build(1, 1, [](int i, int) { return 0.1 * (i - 1); });
    const int b = bed(2, 2), c = Bcellt[b];
    ASSERT_GT(Fvz[Cflateb[c]], 0.9);  // the bottom normal points up
    Ckinen[c] = k;
    Cxvel[c] = 1.0;
    Cconc[1][c] = 0.01;
    BSedDistrib[1][0][b] = 0.001;
    TimeStep = 100;
    bedsmooth();
    const double m = std::sqrt(0.5) * 0.001;
    EXPECT_NEAR(level(2, 2) - 0.1, -m, 1e-9);
    EXPECT_NEAR(level(2, 1) - 0.1, -m, 1e-9);
    EXPECT_NEAR(level(1, 1), m, 1e-9);
    EXPECT_NEAR(Surfaces[1][1][2], m, 1e-9);
  }
}

// On a 4 x 4 grid a saw-tooth spike at (3, 3) (0.2 m over neighbours at 0 that lie below
// the next ring at 0.1 m) drops by half its height over their mean and hands a quarter of that
// to each (variant 9); a maximum without the tooth is left by 9 and taken by 10; a point equal
// to a neighbour is no maximum.
TEST_F(BedSmooth, SpikesAndMaxima) {
  struct Case {
    int variant;
    double ring, neighbour;
    double top;
  };
  const Case cases[] = {{9, 0.1, 0.0, 0.1}, {9, 0.0, 0.0, 0.2}, {10, 0.0, 0.0, 0.1}, {10, 0.0, 0.2, 0.2}};
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.variant << " " << k.ring << " " << k.neighbour);
    SetArraysZero();
    setDefaults();
    FlagBedSmooth = k.variant;
    ParamBedSmooth = 0.5;
    build(4, 4, [&k](int i, int j) {
      if (i == 3 && j == 3) return 0.2;
      if (i == 4 && j == 3) return k.neighbour;
      return (i == 1 || i == 5 || j == 1 || j == 5) ? k.ring : 0.0;
    });
    bedsmooth();
    EXPECT_NEAR(level(3, 3), k.top, 1e-15);
    if (k.top < 0.2) {
      EXPECT_NEAR(level(2, 3), 0.025, 1e-15);
      EXPECT_NEAR(Surfaces[1][3][3], -0.1, 1e-15);
    }
  }
}

// Variant 11 on a grid one column wide in j: the point (3, 2) at 0.2 m relaxes towards its
// neighbours along i only, forward (d = 0.1) and back (d = 0.025).
TEST_F(BedSmooth, OneColumnWideRelaxesAlongIOnly) {
  FlagBedSmooth = 11;
  ParamBedSmooth = 0.5;
  build(3, 1, [](int i, int j) { return i == 3 && j == 2 ? 0.2 : 0.0; });
  bedsmooth();
  EXPECT_NEAR(level(3, 2), 0.075, 1e-15);
  EXPECT_NEAR(level(2, 2), 0.0625, 1e-15);
  EXPECT_NEAR(level(4, 2), 0.0625, 1e-15);
  EXPECT_EQ(level(3, 1), 0.0);
}

// Variant 13 limits the move to the factor times the mean change of the four columns.
TEST_F(BedSmooth, RelaxationLimitedByThePendingChange) {
  FlagBedSmooth = 13;
  ParamBedSmooth = 1.0;
  build(3, 3, [](int i, int j) { return i == 3 && j == 3 ? 0.2 : 0.0; });
  for (int b = 1; b <= NoBCells; ++b) Bedmove[b] = 0.004;
  bedsmooth();
  // By hand, every move is clipped at 0.004 m (its axis neighbours move by a quarter of it):
  // forward (2,2) stays, (2,3) +0.004, (3,2) +0.004, (3,3) -0.004; backward (3,3) -0.004,
  // (3,2) +0.004, (2,3) +0.004, (2,2) +0.004. The peak ends 12 mm lower: 8 mm of its own moves
  // and four 1 mm quarters of its neighbours' moves; (2,2) loses four quarters and gains 4 mm.
  EXPECT_NEAR(level(3, 3), 0.188, 1e-12);
  EXPECT_NEAR(level(3, 2), 0.009, 1e-12);
  EXPECT_NEAR(level(2, 3), 0.009, 1e-12);
  EXPECT_NEAR(level(2, 2), 0.0, 1e-12);
}

// Variant 14: a point moves towards the neighbours joined to it by fast flow; with every
// Froude number at 0.6 or less nothing moves.
TEST_F(BedSmooth, RelaxationAlongFastFlow) {
  for (double froude : {0.6, 0.9}) {
    SCOPED_TRACE(froude);
    SetArraysZero();
    setDefaults();
    FlagBedSmooth = 14;
    ParamBedSmooth = 0.5;
    build(3, 3, [](int i, int j) { return i == 3 && j == 3 ? 0.2 : 0.0; });
    for (int b = 1; b <= NoBCells; ++b) BFroude[b] = froude;
    const std::vector<double> before = levels();
    bedsmooth();
    if (froude <= 0.6) {
      EXPECT_EQ(levels(), before);
    } else {
      EXPECT_LT(level(3, 3), 0.2);
    }
  }
}

}  // namespace
}  // namespace qorva
