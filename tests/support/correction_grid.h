// The box grid of tests/discretisation/box_grid.h completed for the pressure-correction tests:
// the metrics of straight hexahedra (Cdxdi = dx, Cdydj = dy, Cdzdk = dz, the cross terms 0,
// projected areas dy dz, dx dz, dx dy), one bed cell per column and the grid-line coordinates.
#pragma once

#include <vector>

#include "support/box_grid.h"
#include "state/bedcells.h"

namespace qorva::test {

inline Box correctionGrid(std::vector<double> dx, std::vector<double> dy, std::vector<double> dz) {
  Box b = makeBox(std::move(dx), std::move(dy), std::move(dz));
  NoBCells = b.nx * b.ny;
  for (int i = 0; i < b.nx; ++i)
    for (int j = 0; j < b.ny; ++j) {
      const int bed = i * b.ny + j + 1;
      Bcellt[bed] = b.cell(i, j, 0);
      Bnocells[bed] = b.nz;
      Bkooi[bed] = i + 2;
      Bkooj[bed] = j + 2;
      Barea[bed] = b.dx[i] * b.dy[j];
      for (int k = 0; k < b.nz; ++k) {
        const int c = b.cell(i, j, k);
        Cbed[c] = bed;
        Cdxdi[c] = b.dx[i];
        Cdydj[c] = b.dy[j];
        Cdzdk[c] = b.dz[k];
        Careax[c] = b.dy[j] * b.dz[k];
        Careay[c] = b.dx[i] * b.dz[k];
        Careaz[c] = b.dx[i] * b.dy[j];
      }
    }
  // Grid line i runs along the east side of box column i - 2.
  for (int i = 1; i <= b.nx + 1; ++i)
    for (int j = 1; j <= b.ny + 1; ++j) {
      xval[i][j] = detail::lower(b.dx, i - 1);
      yval[i][j] = detail::lower(b.dy, j - 1);
    }
  return b;
}

}  // namespace qorva::test
