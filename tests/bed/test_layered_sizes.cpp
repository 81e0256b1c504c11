// The grain sizes of the layered bed after a step against hand values: Bedmove as the change of
// the stack, the unmet erosion in the run totals, a column without water left alone, the solid
// fractions of F 264, the check of F 1 D, and the same result serially and on 8 threads.
#include <omp.h>

#include <cmath>
#include <string>
#include <vector>

#include "bed/bed.h"
#include "bed/layer_stack.h"
#include "state/options_f250_299.h"
#include "state/sediment_run.h"

namespace qorva {
namespace {

using test::LayerStack;

class LayeredSizes : public LayerStack {
 protected:
  void SetUp() override {
    LayerStack::SetUp();
    cells(3);
  }
};

class Threads {
 public:
  explicit Threads(int n) : old_(omp_get_max_threads()) { omp_set_num_threads(n); }
  ~Threads() { omp_set_num_threads(old_); }

 private:
  int old_;
};

// Bed cell 1 is asked to fall 30 cm but holds 10 cm: it falls 10 cm, and the 0.05 m3/m2 of
// grains of each size it lacked are 0.05 x 1 m2 x 1000 x 2.65 = 132.5 kg in the run totals.
// Bed cell 2 has no water column: Bedmove and layers stay, its Bvolleft is cleared. Bed cell
// 3 rises by its 4 cm deposit.
TEST_F(LayeredSizes, BedmoveBecomesTheChangeOfTheStack) {
  stack({{0.1, 0.5, 0.5, 0.5}}, 1);
  stack({{0.7, 0.5, 0.5, 0.5}}, 2);
  stack({{0.2, 0.5, 0.5, 0.5}}, 3);
  Bedmove[1] = -0.3;
  change(-0.15, -0.15, 1);
  Bcellt[2] = 0;
  Bedmove[2] = 0.7;
  change(0.7, 0.0, 2);
  Bvolleft[1][2] = -9;
  Bedmove[3] = 0.04;
  change(0.03, 0.01, 3);
  morphology3_fractions(0.1);
  EXPECT_NEAR(Bedmove[1], -0.1, 1e-15);
  EXPECT_EQ(BlayerTop[1], 0);
  EXPECT_EQ(Bedmove[2], 0.7);
  EXPECT_EQ(t(0, 2), 0.7);
  EXPECT_EQ(BlayerTop[2], 0);
  EXPECT_EQ(Bvolleft[1][2], 0.0);
  EXPECT_NEAR(Bedmove[3], 0.04, 1e-15);
  EXPECT_EQ(BlayerTop[3], 1);
  EXPECT_NEAR(Bvollefttot[1], -132.5, 1e-10);
  EXPECT_NEAR(Bvollefttot[2], -132.5, 1e-10);
}

// F 264 -1: the solid fraction 1 - (0.36 - 0.06 v) with v the spread of the log2 sizes. Two
// sizes a factor 4 apart, half and half: v = 1, 0.70; the same size twice: v = 0, 0.64. The
// grains stay: thickness times solid fraction is 0.5 before and after.
TEST_F(LayeredSizes, MixtureSolidFractionKeepsTheGrains) {
  FlagDensityAlgo = -1;
  struct Case {
    double d2, sf;
  };
  for (const Case& k : {Case{0.001, 0.70}, Case{0.004, 0.64}}) {
    gsize[2] = k.d2;
    stack({{1.0, 0.5, 0.5, 0.5}});
    Bedmove[1] = 0;
    change(0, 0);
    morphology3_fractions(0.1);
    EXPECT_NEAR(Bsolidfraction[0][1], k.sf, 1e-14);
    EXPECT_NEAR(t(0) * Bsolidfraction[0][1], 0.5, 1e-14);
    EXPECT_NEAR(Bedmove[1], 0.5 / k.sf - 1.0, 1e-14);
  }
}

// F 264 above 0 with Ta = 0.1 m: a top layer of 30 cm gives 20 cm to the layer below (which
// then holds (0.2 x 0.5 + 1 x 0.5 x 0.5) / 0.6 of size 1); one of 5 cm takes 5 cm from below
// (0.75 of size 1); a stack of 8 cm, or a single thick layer, stays. A layer below that holds
// less than the top lacks (1 cm of 5) gives what it has and never goes negative: the top then
// holds (0.01 x 0.5 x 0.5 + 0.05 x 0.5) / (0.06 x 0.5) of size 1.
TEST_F(LayeredSizes, TopLayerKeptAtTheActiveThickness) {
  FlagDensityAlgo = 1;
  struct Case {
    std::vector<Layer> layers;
    std::vector<double> thick;
    double topF1;
  };
  const Case cases[] = {
      {{{1.0, 0.5, 0.5, 0.5}, {0.3, 1.0, 0.0, 0.5}}, {1.2, 0.1}, 1.0},
      {{{1.0, 0.5, 0.5, 0.5}, {0.05, 1.0, 0.0, 0.5}}, {0.95, 0.1}, 0.75},
      {{{0.04, 0.5, 0.5, 0.5}, {0.04, 1.0, 0.0, 0.5}}, {0.04, 0.04}, 1.0},
      {{{0.5, 0.5, 0.5, 0.5}}, {0.5}, 0.5},
      {{{0.5, 0.5, 0.5, 0.5}, {0.01, 0.5, 0.5, 0.5}, {0.05, 1.0, 0.0, 0.5}}, {0.5, 0.0, 0.06}, 0.0275 / 0.03},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.thick.size());
    stack(k.layers);
    Bedmove[1] = 0;
    change(0, 0);
    morphology3_fractions(0.1);
    ASSERT_EQ(BlayerTop[1] + 1, static_cast<int>(k.thick.size()));
    for (size_t j = 0; j < k.thick.size(); ++j) EXPECT_NEAR(t(static_cast<int>(j)), k.thick[j], 1e-15);
    EXPECT_NEAR(f(BlayerTop[1], 1), k.topF1, 1e-14);
  }
  EXPECT_NEAR(f(0, 1, 1), 0.5, 1e-15);
  stack(cases[0].layers);
  morphology3_fractions(0.1);
  EXPECT_NEAR(f(0, 1), 0.35 / 0.6, 1e-14);
}

// F 1 D: a layer with a negative thickness is reported and the run goes on.
TEST_F(LayeredSizes, DebugCheckReportsAndGoesOn) {
  debugging = 'D';
  stack({{-0.001, 0.5, 0.5, 0.5}});
  Bedmove[1] = 0;
  change(0, 0);
  morphology3_fractions(0.1);
  EXPECT_NE(log().find("Error after function morphology3_fractions sum of grain sizes active layer = "
                       "1.000000 for bedcell 1\nsize=1, fraction=0.5\nsize=2, fraction=0.5\n"
                       "Thickness of layer 0: -0.001 meters\n"),
            std::string::npos);
}

// Many bed cells with every kind of change: the serial form and 8 threads give the same stacks,
// the same Bedmove and the same totals, bit for bit; a broken stack ends both with status -4.
TEST_F(LayeredSizes, SameResultSeriallyAndOnEightThreads) {
  const int n = 37;
  cells(n);
  const auto lay = [&] {
    for (int b = 1; b <= n; ++b) {
      const double a = 0.05 + 0.01 * (b % 7), p = 0.1 + 0.02 * (b % 5);
      stack({{1.0, p, 1 - p, 0.5}, {a, 1 - p, p, 0.45}, {0.5 * a, 0.5, 0.5, 0.55}}, b);
      const double d1 = 0.02 * std::sin(b), d2 = 0.03 * std::cos(3.0 * b);
      change(d1, d2, b);
      Bedmove[b] = d1 + d2;
      Bcellt[b] = b % 11 == 0 ? 0 : b;
      Barea[b] = 1.0 + 0.1 * b;
    }
    for (int l = 1; l <= lnumber; ++l) Bvollefttot[l] = 0;
  };
  struct Result {
    std::vector<double> values;
  };
  const auto run = [&](int threads) {
    Threads team(threads);
    NoProcessesSolver = threads == 1 ? 0 : threads;
    lay();
    morphology3_fractions(0.1);
    Result r;
    for (int b = 1; b <= n; ++b) {
      r.values.push_back(Bedmove[b]);
      r.values.push_back(BlayerTop[b]);
      for (int j = 0; j <= NoBedLayers; ++j) {
        for (int l = 0; l <= lnumber; ++l) r.values.push_back(BSedDistrib[j][l][b]);
        r.values.push_back(Bsolidfraction[j][b]);
      }
      for (int l = 1; l <= lnumber; ++l) r.values.push_back(Bvolleft[l][b]);
    }
    for (int l = 1; l <= lnumber; ++l) r.values.push_back(Bvollefttot[l]);
    return r;
  };
  const Result serial = run(1), threaded = run(8);
  ASSERT_EQ(serial.values.size(), threaded.values.size());
  for (size_t i = 0; i < serial.values.size(); ++i) ASSERT_EQ(serial.values[i], threaded.values[i]) << i;

  for (int threads : {1, 8}) {
    Threads team(threads);
    NoProcessesSolver = threads == 1 ? 0 : threads;
    lay();
    BSedDistrib[0][1][20] = 0.1;  // layer 0 of bed cell 20 sums to 0.2
    BSedDistrib[0][2][20] = 0.1;
    EXPECT_EQ(test::endStatus([] { morphology3_fractions(0.1); }), -4) << threads;
  }
}

}  // namespace
}  // namespace qorva
