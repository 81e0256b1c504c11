// The sand slide against hand values and conservation: an edge steeper than the angle of
// repose relaxed to it, a pile relaxed to the angle of repose everywhere with its volume kept
// to 1e-12 of the moved volume, the several-size relaxation through the active layers, the
// plane rotation of a tilted column, and the top-layer slide of the layered bed.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "bed/bed.h"
#include "bed/bed_fixture.h"

namespace qorva {
namespace {

class SandSlide : public test::BedGrid {
 protected:
  // Largest excess of a corner difference over the allowed one (the tangent times the
  // horizontal length of the edge), over every column edge.
  static double steepest(double tangent) {
    double worst = -1e30;
    for (int i = block[1].i1; i <= block[1].i2; ++i)
      for (int j = block[1].j1; j <= block[1].j2; ++j) {
        const double ai = (xval[i][j] - xval[i - 1][j]) * tangent;
        const double aj = (yval[i][j] - yval[i][j - 1]) * tangent;
        worst = std::max({worst, std::fabs(level(i, j) - level(i - 1, j)) - ai,
                          std::fabs(level(i, j - 1) - level(i - 1, j - 1)) - ai,
                          std::fabs(level(i, j) - level(i, j - 1)) - aj,
                          std::fabs(level(i - 1, j) - level(i - 1, j - 1)) - aj});
      }
    return worst;
  }
  // Sum of the absolute corner moves weighted by the plan area they act on (m3): the volume
  // a slide moved, up and down.
  static double movedVolume(const std::vector<double>& before) {
    double v = 0;
    size_t n = 0;
    for (int i = 1; i <= block[1].i2; ++i)
      for (int j = 1; j <= block[1].j2; ++j) {
        const double w = armap[i][j] + armap[i + 1][j] + armap[i][j + 1] + armap[i + 1][j + 1];
        v += std::fabs(level(i, j) - before[n++]) * w / 4;
      }
    return v;
  }
  static std::vector<double> levels() {
    std::vector<double> v;
    for (int i = 1; i <= block[1].i2; ++i)
      for (int j = 1; j <= block[1].j2; ++j) v.push_back(level(i, j));
    return v;
  }
};

// One column of 1 m: its east corners 1.5 m above its west ones, tan phi 1. Each of the
// north and south edges is relaxed to exactly 1 m, each corner moving by the weight of the
// other: the one column weighs the same at every corner, so 0.25 m each way. With two sizes
// on the two-layer bed (F 37 1) the column's active layer gives and takes the same 0.25 m.
TEST_F(SandSlide, AnEdgeSteeperThanTheAngleOfReposeIsRelaxedToIt) {
  for (int sizes : {1, 2}) {
    SCOPED_TRACE(sizes);
    SetArraysZero();
    setDefaults();
    IterAvalanche = 1;
    AngleAvalanche = 1.0;
    lnumber = sizes;
    FlagTSC = sizes == 2 ? 1 : 0;
    TopThickness = 0.1;
    build(1, 1, [](int i, int) { return i == 2 ? 1.5 : 0.0; }, 3.0);
    BSedDistrib[1][0][1] = 0.1;
    BSedDistrib[0][0][1] = 2.0;
    for (int layer : {0, 1})
      for (int l = 1; l <= sizes; ++l) BSedDistrib[layer][l][1] = l == 1 ? 0.4 : 0.6;
    computeSandSlide();
    EXPECT_NEAR(level(2, 2) - level(1, 2), 1.0, 1e-15);
    EXPECT_NEAR(level(2, 1) - level(1, 1), 1.0, 1e-15);
    EXPECT_NEAR(level(2, 2), 1.25, 1e-15);
    EXPECT_NEAR(level(1, 1), 0.25, 1e-15);
    EXPECT_NEAR(BSedDistrib[1][0][1] + BSedDistrib[0][0][1], 2.1, 1e-15);
  }
}

// Corners of unequal weight: of two 1 m columns along i only the east one is steep (its east
// corners 3 m up, tan phi 0.5, allowed 0.5 m). Its west corners are shared with the flat
// column and weigh twice its east corners, so they move half as far; weight times move is the
// same on both sides, and the bed keeps its volume. The flat column's own edges stay.
TEST_F(SandSlide, TheHeavierCornerMovesLess) {
  IterAvalanche = 1;
  AngleAvalanche = 0.5;
  build(2, 1, [](int i, int) { return i == 3 ? 3.0 : 0.0; }, 5.0);
  const std::vector<double> before = levels();
  const double v0 = bedVolume();
  computeSandSlide();
  EXPECT_NEAR(bedVolume(), v0, 1e-12 * movedVolume(before));
  EXPECT_EQ(level(1, 1), 0.0);
  const double up = level(2, 2), down = 3.0 - level(3, 2);
  EXPECT_NEAR(up, 2.5 / 3, 1e-15);
  EXPECT_NEAR(down, 5.0 / 3, 1e-15);
}

// A pile on a flat bed: 0.8 m at one grid point of a 6 x 6 grid of 1 m columns, tan phi 0.3.
// Enough sweeps bring every edge to the angle of repose, and the bed keeps its volume to 1e-12
// of the volume moved.
TEST_F(SandSlide, APileSlidesToTheAngleOfReposeAndKeepsItsVolume) {
  IterAvalanche = 200 - 1;  // sweeps
  AngleAvalanche = 0.3;
  build(6, 6, [](int i, int j) { return i == 4 && j == 4 ? 0.8 : 0.0; }, 3.0);
  ASSERT_NEAR(steepest(0.3), 0.5, 1e-12);
  const std::vector<double> before = levels();
  const double v0 = bedVolume();
  computeSandSlide();
  EXPECT_LT(steepest(0.3), 1e-9);
  const double moved = movedVolume(before);
  EXPECT_GT(moved, 0.1);
  EXPECT_NEAR(bedVolume(), v0, 1e-12 * moved);
  EXPECT_LT(level(4, 4), 0.8);
}

TEST_F(SandSlide, NoSlideChosenLeavesTheBed) {
  struct Case {
    const char* name;
    int iter, sizes, tsc, dll;
  };
  const Case cases[] = {{"F 56 0", 0, 1, 0, 0},
                        {"F 56 0 with F 198", 0, 1, 0, 1},
                        {"sweeps with several sizes on the layered bed", 5, 2, 3, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetArraysZero();
    setDefaults();
    IterAvalanche = c.iter;
    FlagSlideDLL = c.dll;
    FlagTSC = c.tsc;
    lnumber = c.sizes;
    build(2, 2, [](int i, int j) { return i == 2 && j == 2 ? 2.0 : 0.0; }, 3.0);
    const std::vector<double> before = levels();
    computeSandSlide();
    EXPECT_EQ(levels(), before);
  }
}

// Two sizes on the two-layer bed (F 37 1): the slide moves bed through the active layers,
// and the grains of each size in the layers are kept; a higher corner already at its
// non-erodible level gives nothing.
TEST_F(SandSlide, SeveralSizesMoveThroughTheActiveLayers) {
  for (bool fixed : {false, true}) {
    SCOPED_TRACE(fixed);
    SetArraysZero();
    setDefaults();
    FlagTSC = 1;
    lnumber = 2;
    IterAvalanche = 3;
    AngleAvalanche = 0.5;
    TopThickness = 0.1;
    build(3, 1, [](int i, int) { return i == 2 ? 1.0 : 0.0; }, 3.0);
    if (fixed)
      for (int j = 1; j <= 2; ++j) Surfaces[3][2][j] = 1.0;
    for (int b = 1; b <= NoBCells; ++b) {
      BSedDistrib[1][0][b] = 0.1;
      BSedDistrib[1][1][b] = 0.7;
      BSedDistrib[1][2][b] = 0.3;
      BSedDistrib[0][0][b] = 2.0;
      BSedDistrib[0][1][b] = b == 1 ? 0.2 : 0.5;
      BSedDistrib[0][2][b] = b == 1 ? 0.8 : 0.5;
    }
    const auto grains = [](int l) {
      double v = 0;
      for (int b = 1; b <= NoBCells; ++b)
        for (int layer = 0; layer <= 1; ++layer)
          v += Barea[b] * BSedDistrib[layer][0][b] * BSedDistrib[layer][l][b];
      return v;
    };
    const double g1 = grains(1), g2 = grains(2), v0 = bedVolume();
    const std::vector<double> before = levels();
    computeSandSlide();
    if (fixed) {
      EXPECT_EQ(level(2, 1), 1.0);
      EXPECT_EQ(level(2, 2), 1.0);
      continue;
    }
    EXPECT_LT(level(2, 1), 1.0);
    EXPECT_LT(level(2, 2), 1.0);
    EXPECT_NEAR(grains(1), g1, 1e-12);
    EXPECT_NEAR(grains(2), g2, 1e-12);
    EXPECT_NEAR(bedVolume(), v0, 1e-12 * std::max(1.0, movedVolume(before)));
  }
}

// Plane rotation of one 1 m column whose bed rises 2 m along i (tan phi 1): it turns about its
// centre to a slope of 1 in the same direction, keeping its mean level of 1 m.
TEST_F(SandSlide, ATiltedColumnTurnsToTheAngleOfRepose) {
  IterAvalanche = 200;
  AngleAvalanche = 1.0;
  build(1, 1, [](int i, int) { return 2.0 * (i - 1); }, 5.0);
  computeSandSlide();
  EXPECT_NEAR(level(1, 1), 0.5, 1e-12);
  EXPECT_NEAR(level(1, 2), 0.5, 1e-12);
  EXPECT_NEAR(level(2, 1), 1.5, 1e-12);
  EXPECT_NEAR(level(2, 2), 1.5, 1e-12);
  EXPECT_NEAR(Surfaces[1][2][2], -0.5, 1e-12);
}

// The cases that stay: a column gentler than the angle of repose, and one whose least
// erodible thickness is below 2 tan(alpha - beta) sqrt(L).
TEST_F(SandSlide, GentleOrShallowColumnsAreNotTurned) {
  for (double base : {-20.0, 1.9}) {
    for (double slope : {0.5, 2.0}) {
      SCOPED_TRACE(testing::Message() << base << " " << slope);
      SetArraysZero();
      setDefaults();
      IterAvalanche = 200;
      AngleAvalanche = 1.0;
      build(1, 1, [slope](int i, int) { return slope * (i - 1); }, 5.0);
      for (int i = 1; i <= 2; ++i)
        for (int j = 1; j <= 2; ++j) Surfaces[3][i][j] = std::min(base, level(i, j));
      const std::vector<double> before = levels();
      computeSandSlide();
      if (slope == 2.0 && base < 0)
        EXPECT_NE(levels(), before);
      else
        EXPECT_EQ(levels(), before);
    }
  }
}

// In a grid of unequal columns the turn keeps the bed volume, not the column's mean: the
// corners on the grid's edge act on less area than the inner ones.
TEST_F(SandSlide, TheTurnOfAnEdgeColumnKeepsTheBedVolume) {
  IterAvalanche = 200;
  AngleAvalanche = 0.5;
  build(3, 3, [](int i, int) { return 1.0 * (i - 1); }, 6.0);
  const std::vector<double> before = levels();
  const double v0 = bedVolume();
  computeSandSlide();
  const double moved = movedVolume(before);
  EXPECT_GT(moved, 0.1);
  EXPECT_NEAR(bedVolume(), v0, 1e-12 * moved);
}

// Variant 201 with F 270 never given: a column whose flow runs against its downhill normal
// takes the second tangent, 0, and is turned level.
TEST_F(SandSlide, AgainstTheFlowTheSecondAngleApplies) {
  IterAvalanche = 201;
  AngleAvalanche = 1.0;
  build(1, 1, [](int i, int) { return 2.0 * (i - 1); }, 5.0);
  const int c = Bcellt[bed(2, 2)], f = Cflateb[c];
  ASSERT_GT(std::fabs(Fvx[f]), 0.5);  // the bed normal leans along x
  Cxvel[c] = -Fvx[f];                 // the flow runs against it
  Cyvel[c] = -Fvy[f];
  computeSandSlide();
  for (int i = 1; i <= 2; ++i)
    for (int j = 1; j <= 2; ++j) EXPECT_NEAR(level(i, j), 1.0, 1e-9);
}

// With bedangle read, the same column turns to the angle of repose of its own bed cell.
TEST_F(SandSlide, PerColumnAnglesOfRepose) {
  for (double tangent : {0.5, 0.25}) {
    SCOPED_TRACE(tangent);
    SetArraysZero();
    setDefaults();
    FlagBedAngles = 1;
    IterAvalanche = 200;
    AngleAvalanche = 1.0;
    build(1, 1, [](int i, int) { return 2.0 * (i - 1); }, 5.0);
    FlagBedAngles = 2;
    Bavalanche[bed(2, 2)] = tangent;
    computeSandSlide();
    EXPECT_NEAR(level(2, 2) - level(1, 2), tangent, 1e-12);
  }
}

// Variant 203 on a layered bed one column wide in j.
class TopLayerSlide : public test::BedGrid {
 protected:
  void SetUp() override {
    test::BedGrid::SetUp();
    FlagTSC = 3;
    NoBedLayers = 3;
    lnumber = 1;
    IterAvalanche = 203;
    AngleAvalanche = 0.5;
    build(2, 1, test::flatBed, 5.0);
    for (int i = 1; i <= 3; ++i)
      for (int j = 1; j <= 2; ++j) Surfaces[3][i][j] = 0;
  }
  static void layers(int b, const std::vector<double>& t, double sf) {
    BlayerTop[b] = static_cast<int>(t.size()) - 1;
    for (size_t j = 0; j < t.size(); ++j) {
      BSedDistrib[j][0][b] = t[j];
      BSedDistrib[j][1][b] = 1.0;
      Bsolidfraction[j][b] = sf;
    }
  }
};

// The west column stands 1.5 m higher than the east one, 1 m apart (allowed 0.5 m): its top
// layer, with its solid fraction, becomes the east column's new top layer.
TEST_F(TopLayerSlide, TheTopLayerMovesWithItsSolidFraction) {
  const int w = bed(2, 2), e = bed(3, 2);
  layers(w, {1.0, 0.5, 0.5}, 0.7);
  Bsolidfraction[2][w] = 0.35;
  layers(e, {0.5}, 0.6);
  computeSandSlide();
  EXPECT_EQ(BlayerTop[w], 1);
  EXPECT_EQ(BlayerTop[e], 1);
  EXPECT_EQ(BSedDistrib[1][0][e], 0.5);
  EXPECT_EQ(Bsolidfraction[1][e], 0.35);
  EXPECT_EQ(BSedDistrib[2][0][w], 0.0);
}

// A higher column with a single layer keeps it: the stack is never left empty, and the bed
// change after it divides by a real solid fraction.
TEST_F(TopLayerSlide, TheLastLayerStays) {
  const int w = bed(2, 2), e = bed(3, 2);
  layers(w, {2.0}, 0.6);
  layers(e, {0.1}, 0.6);
  computeSandSlide();
  EXPECT_EQ(BlayerTop[w], 0);
  EXPECT_EQ(BSedDistrib[0][0][w], 2.0);
  EXPECT_EQ(BlayerTop[e], 0);
  TimeStep = 1;
  computeBedmove(w);
  EXPECT_TRUE(std::isfinite(Bedmove[w]));
}

// Onto a full stack: two of its layers merge first, and the moved layer becomes the top layer
// at the last slot.
TEST_F(TopLayerSlide, OntoAFullStackTwoLayersMergeFirst) {
  const int w = bed(2, 2), e = bed(3, 2);
  layers(w, {2.0, 0.2}, 0.6);
  layers(e, {0.1, 0.1, 0.1}, 0.5);
  computeSandSlide();
  EXPECT_EQ(BlayerTop[e], 2);
  EXPECT_EQ(BSedDistrib[2][0][e], 0.2);
  EXPECT_EQ(Bsolidfraction[2][e], 0.6);
  EXPECT_NEAR(BSedDistrib[0][0][e] + BSedDistrib[1][0][e], 0.3, 1e-15);
}

}  // namespace
}  // namespace qorva
