// Around the bed change of a sediment step: the change of one bed cell from the fluxes through
// its bottom surface (computeBedmove), the hand-over of deposition from a column whose stack
// stands high (smoothBedchange), the caps at the inflow and outflow edges
// (computeBedBoundary) and the running statistics (computeMorphStatistics). Read Cconc,
// Bupflux, the layer stack, Binout, the velocities; write Bedmove, Bbedchange, SumBedChangeLoc,
// the corner levels of the edges, SumBedMoveDef and Surfaces planes 5 and 6.
#include <algorithm>
#include <cmath>

#include "bed/bed.h"
#include "bed/bed_grid.h"
#include "grid/columns.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f200_249.h"
#include "state/options_f400_449.h"
#include "state/options_f500_534.h"
#include "state/options_g.h"
#include "state/options_snihl.h"
#include "state/sediment_run.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

void reportBedmove(int b, int l, int c, int f, double dz, double sf) {
  logf("Warning in computeBedmove, b=%d, l=%d, Conc=%lf, Barea=%lf, Faz=%lf, Bupflux=%lf, "
       "Bbedchange = %lf, Bsolidfraction = %lf ",
       b, l, Cconc[l][c], Barea[b], Faz[f], Bupflux ? Bupflux[l][b] : 0.0, dz, sf);
  if (Bkooi[b] > 0) logf("i = %d, j = %d\n", Bkooi[b], Bkooj[b]);
  logf("Csourcem = %lf, Cconc_old = %lf", Csourcem ? Csourcem[l][c] : 0.0,
       Cconc_old ? Cconc_old[l][c] : 0.0);
  logf("\n");
}

// Mean bed level under the stack of a neighbour, its top layer left out, above the bottom of
// its bottom cell n: how far the neighbour's stack stands above its grid bed.
double neighbourRise(int i, int j, int n) {
  const int b = pointbed[i][j];
  const double stack = BlayerTop[b] > 0 ? bedgrid::stackThickness(b, BlayerTop[b] - 1) : 0.0;
  return bedgrid::meanBase(i, j) + stack - (Czcenter[n] - Ckdist[n]);
}

// Height of the column from cell c upward.
double columnHeight(int c) {
  double h = 0;
  upColumn(c, [&h](int k) { h += 2.0 * Ckdist[k]; });
  return h;
}

// Mode 1: the corner drops to the water level minus the column's height when it lies above.
void capCorner(int p, int q, double height, int b) {
  const double d = zval[p][q][znumber] - height - zval[p][q][1];
  if (d >= 0) return;
  zval[p][q][1] += d;
  SumBedMoveDef += -d * Barea[b] * 0.25 * 1000.0 * density * SolidFrac;
}

void resetToInitial(int p, int q) { zval[p][q][1] = Surfaces[0][p][q]; }

struct Sides {
  int e, w, s, n;
};

void outflowCap(int i, int j, int c, int b, const GridBlock& k, const Sides& x) {
  if (!(Binout[b] < -1e-10)) return;
  if (i != k.i1 && i != k.i2 && j != k.j1 && j != k.j2) return;
  const int open = (x.w == 0) + (x.s == 0) + (x.e == 0) + (x.n == 0);
  if (open != 1) return;
  const double h = columnHeight(c);
  if (x.w == 0) {
    capCorner(i - 1, j, h, b);
    capCorner(i - 1, j - 1, h, b);
  } else if (x.s == 0) {
    capCorner(i - 1, j - 1, h, b);
    capCorner(i, j - 1, h, b);
  } else if (x.e == 0) {
    capCorner(i, j, h, b);
    capCorner(i, j - 1, h, b);
  } else {
    capCorner(i, j, h, b);
    capCorner(i - 1, j, h, b);
  }
}

void fixedEdges(int i, int j, int b, const GridBlock& k, const Sides& x) {
  if (!(std::fabs(Binout[b]) > 1e-10)) return;
  if (i == k.i2 && x.e == 0 && x.w >= 1) {
    resetToInitial(i, j);
    resetToInitial(i, j - 1);
  } else if (i == k.i1 && x.w == 0 && x.e >= 1) {
    resetToInitial(i - 1, j);
    resetToInitial(i - 1, j - 1);
  }
  if (j == k.j1 && x.s == 0 && x.n >= 1) {
    resetToInitial(i - 1, j - 1);
    resetToInitial(i, j - 1);
  }
  if (j == k.j2 && x.n == 0 && x.s != 0) {
    resetToInitial(i, j);
    resetToInitial(i - 1, j);
  }
}

}  // namespace

void computeBedmove(int b) {
  Bedmove[b] = 0;
  const int c = Bcellt[b];
  if (c < 1) {
    if (Bbedchange)
      for (int l = 1; l <= lnumber; ++l) Bbedchange[l][b] = 0;
    return;
  }
  const int f = Cflateb[c];
  const int top = std::max(BlayerTop[b], 0);
  const double sf = bedgrid::solidFraction(top, b);
  for (int l = 1; l <= lnumber; ++l) {
    const double pickUp = Bupflux ? 0.001 * Bupflux[l][b] : 0.0;
    double dz = (Faz[f] * Cconc[l][c] * fallvelo[l] - pickUp) * TimeStep / (Barea[b] * sf);
    if (std::fabs(dz) < 1e-15) dz = 0;
    if (Bbedchange) Bbedchange[l][b] = dz;
    if (std::fabs(dz) > restCrit && debugging == 'D') reportBedmove(b, l, c, f, dz, sf);
    Bedmove[b] += dz;
    SumBedChangeLoc += Barea[b] * dz * 1000.0 * density * sf;
  }
}

void smoothBedchange() {
  if (NoBlocks < 1) return;
  const GridBlock& k = block[1];
  const double t = bedgrid::thicknessScale();
  for (int i = k.i1; i <= k.i2; ++i)
    for (int j = k.j1; j <= k.j2; ++j) {
      const int b = pointbed[i][j];
      if (b < 1 || Bcellt[b] < 1 || !(Bedmove[b] > 0)) continue;
      if (!(bedgrid::layerLevel(i, j, b) - bedgrid::meanBed(i, j) > 2 * t)) continue;
      const int c = Bcellt[b];
      struct Way {
        int i, j, cell;
      };
      const Way ways[4] = {{i - 1, j, Ccellw[c]}, {i, j - 1, Ccells[c]}, {i + 1, j, Ccelle[c]},
                           {i, j + 1, Ccelln[c]}};
      int to = 0;
      double least = 10000;
      for (const Way& w : ways) {
        // A neighbour without a water column could never place the deposit: it would be lost.
        if (pointbed[w.i][w.j] < 1 || w.cell < 1) continue;
        const double d = neighbourRise(w.i, w.j, w.cell);
        if (d < least) {
          least = d;
          to = pointbed[w.i][w.j];
        }
      }
      if (to == 0) continue;
      if (FlagSmoothBedchange != 2 && std::fabs(least) <= 2 * t) continue;
      // The deposit keeps its volume where the two columns differ in area.
      const double ratio = Barea[b] / Barea[to];
      if (Bbedchange)
        for (int l = 1; l <= lnumber; ++l) {
          Bbedchange[l][to] += Bbedchange[l][b] * ratio;
          Bbedchange[l][b] = 0;
        }
      Bedmove[to] += Bedmove[b] * ratio;
      Bedmove[b] = 0;
    }
}

void computeBedBoundary() {
  const int mode = FlagBedDownstream;
  if (mode < 1 || mode > 3) return;
  bedgrid::eachWetColumn(false, [mode](int i, int j, int c, const GridBlock& k) {
    const int b = Cbed[c];
    const Sides x{Ccelle[c], Ccellw[c], Ccells[c], Ccelln[c]};
    if (mode == 1) {
      outflowCap(i, j, c, b, k, x);
    } else if (mode == 2) {
      fixedEdges(i, j, b, k, x);
    } else if (Binout[b] < -1e-10) {
      resetToInitial(i, j);
      resetToInitial(i - 1, j);
      resetToInitial(i, j - 1);
      resetToInitial(i - 1, j - 1);
    }
  });
}

void computeMorphStatistics() {
  // Planes 5 and 6 exist only with F 404 or F 236.
  if (Surfaces.dim(0) < 7) return;
  const double r = RelaxMorphStatistics;
  if (MorphInitiated == 0) {
    for (int bl = 1; bl <= NoBlocks; ++bl) {
      if (block[bl].inwork <= 0) continue;
      for (int i = block[bl].i1; i <= block[bl].i2; ++i)
        for (int j = block[bl].j1; j <= block[bl].j2; ++j) Surfaces[5][i][j] = Surfaces[6][i][j] = 0;
    }
    MorphInitiated = 1;
  }
  for (int bl = 1; bl <= NoBlocks; ++bl) {
    if (block[bl].inwork <= 0) continue;
    for (int i = block[bl].i1; i <= block[bl].i2; ++i)
      for (int j = block[bl].j1; j <= block[bl].j2; ++j) {
        const int b = pointbed[i][j];
        double& change = Surfaces[5][i][j];
        change = FlagMorphStatistics == 5 ? change + Bedmove[b] : (1 - r) * change + r * Bedmove[b];
        const int c = Bcellt[b];
        if (c == 0) continue;
        const int top = topOf(c);
        double angle = 0;
        if (top != c) {
          const double u = Cxvel[c], v = Cyvel[c], ut = Cxvel[top], vt = Cyvel[top];
          const double s = (u * vt - v * ut) / std::sqrt((u * u + v * v) * (ut * ut + vt * vt) + 1e-20);
          // Rounding may carry the sine a hair past 1.
          angle = 57.29746936176985 * std::asin(std::clamp(s, -1.0, 1.0));
        }
        Surfaces[6][i][j] = (1 - r) * Surfaces[6][i][j] + r * angle;
      }
  }
}

}  // namespace qorva
