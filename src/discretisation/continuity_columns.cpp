// The vertical fluxes and velocities of each water column rebuilt from the continuity defects of
// its cells after the pressure correction (F 69, fourth integer 1..5).
// Reads Csource (the defects, kg/s), Farea, Cflateb, Cflatet, the column links, WCStart..WCEnd;
// writes Fflux of the vertical surfaces, Czvel, and with method 4 Csource.
#include <vector>

#include "discretisation/discretisation.h"
#include "grid/columns.h"
#include "state/cells.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// The cells of the column of top cell c, from the top down.
void columnDown(int c, std::vector<int>& cells) {
  cells.clear();
  downColumn(c, [&cells](int j) { cells.push_back(j); });
}

// The fluxes of the bottom surfaces from the surface down: each carries what the defects above
// it leave, blended with its old value by `keep`.
void fluxesFromTop(const std::vector<int>& down, double keep) {
  double acc = 0;
  for (int j : down) {
    acc -= Csource[j];
    double& F = Fflux[Cflateb[j]];
    F = keep * F + (1 - keep) * acc;
  }
}

// The velocity of a cell from the mean of its two vertical fluxes (a flux over 1000 and an area
// is a velocity), `share` of it blended with `keep` of the old velocity.
void velocitiesFromFluxes(const std::vector<int>& cells, double share, double keep) {
  for (int j : cells)
    Czvel[j] = share * (Fflux[Cflateb[j]] + Fflux[Cflatet[j]]) / Farea[Cflatet[j]] +
               keep * Czvel[j];
}

// Method 4 first gives the positive and the negative defects of the column the same magnitude.
void balanceDefects(const std::vector<int>& cells) {
  double P = 0, N = 0;
  for (int j : cells) {
    if (Csource[j] > 0)
      P += Csource[j];
    else
      N -= Csource[j];
  }
  const double m = (P + N) * 0.5;
  for (int j : cells) Csource[j] *= Csource[j] > 0 ? m / (P + 1e-10) : m / (N + 1e-10);
}

}  // namespace

void SeicheFunctions() {
  const int method = Seiche4;
  if (method < 1 || method > 5) return;
  std::vector<int> cells;
  for (int c = WCStart; c <= WCEnd; ++c) {
    if (method == 2 || method == 5) {
      if (!isBottomCell(c) || cellAbove(c) == 0) continue;
      cells.clear();
      upColumn(c, [&cells](int j) { cells.push_back(j); });
      if (method == 2) {
        for (int j : cells) Czvel[j] = -0.001 * Csource[j] / Farea[Cflatet[j]];
        for (size_t k = 0; k + 1 < cells.size(); ++k) {
          const int j = cells[k], u = cells[k + 1];
          Fflux[Cflatet[j]] = (Czvel[j] + Czvel[u]) * 500.0 * Farea[Cflatet[j]];
        }
      } else {
        double acc = 0;
        for (size_t k = 0; k + 1 < cells.size(); ++k) {
          acc += Csource[cells[k]];
          Fflux[Cflatet[cells[k]]] = acc;
        }
        velocitiesFromFluxes(cells, 0.0005, 0.0);
      }
      continue;
    }
    if (!isTopCell(c) || cellBelow(c) == 0) continue;
    columnDown(c, cells);
    switch (method) {
      case 1:
        fluxesFromTop(cells, 0.8);
        velocitiesFromFluxes(cells, 0.0001, 0.8);
        break;
      case 3:
        fluxesFromTop(cells, 0.0);
        velocitiesFromFluxes(cells, 0.0005, 0.0);
        break;
      default:  // 4
        balanceDefects(cells);
        fluxesFromTop(cells, 0.8);
        velocitiesFromFluxes(cells, 0.0005, 0.0);
        break;
    }
  }
}

}  // namespace qorva
