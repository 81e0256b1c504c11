// A few bed cells with layer stacks and nothing else, for the tests of the layer change, the
// grain sizes of the layered bed and the queries of what a stack holds: two sizes, four layer
// slots, thickness scale 0.1 m (F 106), solid fraction of new deposits 0.5.
#pragma once

#include <vector>

#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/options.h"
#include "state/options_snihl.h"
#include "state/status.h"
#include "support/scratch.h"

namespace qorva::test {

class LayerStack : public Scratch {
 protected:
  void SetUp() override {
    Scratch::SetUp();
    lnumber = 2;
    NoBedLayers = 4;
    TopThickness = 0.1;
    SolidFrac = 0.5;
    cells(1);
  }
  void TearDown() override {
    SetArraysZero();
    Scratch::TearDown();
  }
  // Room for bed cells 1..n, every one with a water column of 1 m2.
  static void cells(int n) {
    const int size = n + 1;
    ASSERT_TRUE(BSedDistrib.allocate(NoBedLayers + 1, lnumber + 1, size));
    ASSERT_TRUE(Bsolidfraction.allocate(NoBedLayers + 1, size));
    ASSERT_TRUE(BlayerTop.allocate(size));
    ASSERT_TRUE(Bbedchange.allocate(lnumber + 1, size));
    ASSERT_TRUE(Bvolleft.allocate(lnumber + 1, size));
    ASSERT_TRUE(Bedmove.allocate(size));
    ASSERT_TRUE(Bcellt.allocate(size));
    ASSERT_TRUE(Barea.allocate(size));
    gsize[1] = 0.004;
    if (lnumber >= 2) gsize[2] = 0.001;
    for (int b = 1; b <= n; ++b) {
      Bcellt[b] = b;
      Barea[b] = 1.0;
    }
    WBStart = 1;
    WBEnd = n;
  }
  struct Layer {
    double t, f1, f2, sf;
  };
  // Lays the stack of bed cell b from the bottom up.
  static void stack(const std::vector<Layer>& layers, int b = 1) {
    for (int j = 0; j <= NoBedLayers; ++j) {
      for (int l = 0; l <= lnumber; ++l) BSedDistrib[j][l][b] = 0;
      Bsolidfraction[j][b] = 0;
    }
    for (size_t j = 0; j < layers.size(); ++j) {
      BSedDistrib[j][0][b] = layers[j].t;
      BSedDistrib[j][1][b] = layers[j].f1;
      if (lnumber >= 2) BSedDistrib[j][2][b] = layers[j].f2;
      Bsolidfraction[j][b] = layers[j].sf;
    }
    BlayerTop[b] = static_cast<int>(layers.size()) - 1;
  }
  static void change(double d1, double d2, int b = 1) {
    Bbedchange[1][b] = d1;
    if (lnumber >= 2) Bbedchange[2][b] = d2;
  }
  static double t(int j, int b = 1) { return BSedDistrib[j][0][b]; }
  static double f(int j, int l, int b = 1) { return BSedDistrib[j][l][b]; }
  static double total(int b = 1) {
    double s = 0;
    for (int j = 0; j <= BlayerTop[b]; ++j) s += t(j, b);
    return s;
  }
  // Solid volume of size l in the stack of b, per unit area.
  static double solid(int l, int b = 1) {
    double v = 0;
    for (int j = 0; j <= BlayerTop[b]; ++j) v += t(j, b) * Bsolidfraction[j][b] * f(j, l, b);
    return v;
  }
};

}  // namespace qorva::test
