// A box grid with its bed cells, for the tests of the equilibrium concentration: nx x ny
// columns of nz cells (tests/support/box_grid.h), one bed cell per column numbered i outer,
// j inner, a flat bed, the bed-cell tables sized for the grain sizes asked for, and helpers
// to set the flow and the bed layers.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/options_g.h"
#include "state/options_snihl.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "support/box_grid.h"
#include "support/scratch.h"

namespace qorva::test {

class CapacityBox : public Scratch {
 protected:
  void TearDown() override {
    SetArraysZero();
    Scratch::TearDown();
  }

  // Builds the box with `sizes` grain sizes, all of diameter d and fall velocity ws unless
  // the test sets gsize and fallvelo itself. Bed layers 0 and 1 of every bed cell: 1 m thick,
  // all of size 1.
  void build(std::vector<double> dx, std::vector<double> dy, std::vector<double> dz,
             int sizes = 1, double d = 0.0003, double ws = 0.03) {
    box_ = makeBox(std::move(dx), std::move(dy), std::move(dz));
    lnumber = sizes;
    const long long beds = (xnumber + 3LL) * (ynumber + 3LL);
    ASSERT_TRUE(Bconc.allocate(lnumber + 1LL, beds));
    ASSERT_TRUE(BSedDistrib.allocate(NoBedLayers + 1LL, lnumber + 1LL, beds));
    for (int l = 1; l <= lnumber; ++l) {
      gsize[l] = d;
      fallvelo[l] = ws;
    }
    for (int f = 1; f <= NoSurfaces; ++f) {
      Fvx[f] = Fax[f] / Farea[f];
      Fvy[f] = Fay[f] / Farea[f];
      Fvz[f] = Faz[f] / Farea[f];
    }
    NoBCells = 0;
    for (int i = 0; i < box_.nx; ++i)
      for (int j = 0; j < box_.ny; ++j) {
        const int b = ++NoBCells, c = box_.cell(i, j, 0);
        pointbed[i + 2][j + 2] = b;
        Bkooi[b] = i + 2;
        Bkooj[b] = j + 2;
        Bcellt[b] = c;
        Bnocells[b] = box_.nz;
        Barea[b] = box_.dx[i] * box_.dy[j];
        BlayerTop[b] = 1;
        ant[i + 2][j + 2] = box_.nz;
        double h = 0;
        for (int k = 0; k < box_.nz; ++k) {
          Cbed[box_.cell(i, j, k)] = b;
          h += box_.dz[k];
        }
        Bdepth[b] = h;
        for (int layer = 0; layer <= 1; ++layer) layerOf(b, layer, 1.0, {1.0});
      }
    block[1].bcellstart = 1;
    block[1].bcellend = NoBCells;
    block[1].inwork = 1;
    block[1].bedfollow = 1;
  }

  int cell(int i, int j, int k) const { return box_.cell(i, j, k); }
  int bed(int i, int j) const { return i * box_.ny + j + 1; }
  const Box& box() const { return box_; }

  // Thickness and fractions (sizes 1, 2, ...) of one bed layer of bed cell b.
  static void layerOf(int b, int layer, double thickness, std::vector<double> fractions) {
    BSedDistrib[layer][0][b] = thickness;
    for (int l = 1; l <= lnumber; ++l)
      BSedDistrib[layer][l][b] = l <= static_cast<int>(fractions.size()) ? fractions[l - 1] : 0.0;
  }
  // The same top layer (layer 1) and layer 0 for every bed cell.
  void bedOf(double thickness, const std::vector<double>& fractions) const {
    for (int b = 1; b <= NoBCells; ++b)
      for (int layer = 0; layer <= 1; ++layer) layerOf(b, layer, thickness, fractions);
  }

  // Every cell moves at u along x with turbulent energy k.
  void flow(double u, double k) const {
    for (int c = 1; c <= NoCells; ++c) {
      Cxvel[c] = u;
      Cyvel[c] = 0;
      Ckinen[c] = k;
    }
  }

  // Marks column (i, j) as without cells, as the grid leaves a dry column.
  static void dryColumn(int i, int j) { zval[i + 2][j + 2][0] = 0; }

 private:
  Box box_;
};

}  // namespace qorva::test
