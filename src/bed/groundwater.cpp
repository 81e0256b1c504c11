// The groundwater level under banks and slopes: Darcy flow with storage in the base cells of the
// mud-layer block, held at the water level under wet columns and kept below the ground under
// dry ones. Reads the file `wlinit` once, block, pointbed, Bcellt, zval, armap, Farea, Faz, the
// cell links, Czcenter, Ckdist, Cjdist, Cidist, F 262, F 33, F 17, K 1, F 156; writes
// Bgroundwater, Bthixolev (its start), Cap, Cae, Caw, Can, Cas, Csource of the groundwater cells,
// stimet (F 262 1), PauseFlag (the pause points 100, 101).
#include <algorithm>
#include <vector>

#include "bed/bed.h"
#include "grid/grid.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/mud.h"
#include "state/options.h"
#include "state/safe_file.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "surface/surface.h"

namespace qorva {

namespace {

// A fixed level: the penalty on the central coefficient.
constexpr double kFixed = 1e30;

// The last block marked as mud layer, 0 when none.
int groundwaterBlock() {
  int g = 0;
  for (int b = 1; b <= NoBlocks; ++b)
    if (block[b].thixo == 1) g = b;
  return g;
}

// One column of the groundwater block: its bed cell and base cell, and the water column it
// lies under (the same i, j less the shift of the block).
struct GwColumn {
  int i, j;
  int m;       // bed cell of the groundwater column
  int c;       // its base cell (0: none)
  int jw;      // j of the water column above
  int mw;      // bed cell of the water column (0: none)
};

template <class F>
void forEachGwColumn(int g, F f) {
  const GridBlock& k = block[g];
  const int shift = g > 1 ? k.j2 - block[g - 1].j2 : 0;
  for (int j = k.j1; j <= k.j2; ++j)
    for (int i = k.i1; i <= k.i2; ++i) {
      GwColumn col{i, j, pointbed[i][j], 0, j - shift, 0};
      if (col.m < 1 || col.m > NoBCells) continue;
      col.c = Bcellt[col.m];
      if (col.jw >= 0 && col.jw <= ynumber + 1) col.mw = pointbed[i][col.jw];
      if (col.mw < 0 || col.mw > NoBCells) col.mw = 0;
      f(col);
    }
}

// Top face of the column above bottom cell c.
double columnTop(int c) {
  int t = c;
  for (int n = 0; n < NoCells && Ccellt[t] > 0; ++n) t = Ccellt[t];
  return Czcenter[t] + Ckdist[t];
}

// The start levels from `wlinit`: records "i j level". False when the file does not open.
bool readStartLevels() {
  RecordReader in("wlinit");
  if (!in.ok()) return false;
  int accepted = 0;
  try {
    const long long most = 5LL * NoCells;
    for (long long r = 0; r < most; ++r) {
      if (!in.record(3, "level record %lld", r + 1)) break;
      const int i = in.i(), j = in.i();
      const double z = in.d();
      in.end();
      const int m = i > 0 && i < xnumber && j > 0 && j < ynumber ? pointbed[i][j] : 0;
      if (m < 1 || m > NoBCells) {
        logf("Warning: wlinit line %d: column (%d,%d) has no bed cell in the grid, the level "
             "is not used\n",
             static_cast<int>(in.line()), i, j);
        continue;
      }
      Bgroundwater[m] = z;
      ++accepted;
    }
  } catch (const BadRecord& e) {
    failf(1, "Error in the wlinit file, %s\n", e.text.c_str());
  }
  logf("Have read %d water level points from wlinit file\n", accepted);
  return true;
}

// Start levels once per run: wlinit, else 1.1 m or the water level above; the mud level at
// the bed of the water column above.
void startLevels(int g) {
  const bool read = readStartLevels();
  if (!read) {
    mc_message = "have not used 'wlinit' file ";
    for (int b = 1; b <= NoBCells; ++b) Bgroundwater[b] = 1.1;
  }
  if (g == 0) {
    logf("Error in groundwater computation: groundwater grid not generated\n");
    logf("Data sets F ??? are missing in your control file\n\n");
    endRun(-9);
  }
  const int shift = g > 1 ? block[g].j2 - block[g - 1].j2 : 0;
  auto cornerMean = [shift](int i, int j, int k) {
    const int jw = j - shift;
    return 0.25 * (zval[i - 1][jw - 1][k] + zval[i][jw - 1][k] + zval[i - 1][jw][k] +
                   zval[i][jw][k]);
  };
  forEachGwColumn(g, [&](const GwColumn& col) {
    if (!read && NoBlocks >= 2 && block[2].thixo == 1)
      Bgroundwater[col.m] = cornerMean(col.i, col.j, znumber);
    if (Bthixolev) Bthixolev[col.m] = cornerMean(col.i, col.j, 1);
  });
  ArmapMake();
  GroundwaterStarted = true;
}

// The level being solved and its previous time level, per cell.
struct Levels {
  std::vector<double> f, old;
};

// Coefficients and boundary values of the groundwater cells of block g.
void coefficients(int g, Levels& lv) {
  const GridBlock& k = block[g];
  forEachGwColumn(g, [&](const GwColumn& col) {
    if (col.c > 0) lv.f[col.c] = lv.old[col.c] = Bgroundwater[col.m];
  });
  forEachGwColumn(g, [&](const GwColumn& col) {
    const int c = col.c;
    if (c <= 0) return;
    const int t = Ccellt[c] > 0 ? Ccellt[c] : 0;
    // The conductance of a side: the mean of the side faces of the base cell and the cell above.
    // A missing face has no area.
    auto area = [](int f) { return f > 0 ? Farea[f] : 0.0; };
    auto side = [&](const Table1<int>& face, double half) {
      return Conductivity * 0.5 * (area(t > 0 ? face[t] : 0) + area(face[c])) / half;
    };
    Cas[c] = col.j > k.j1 ? side(Cflates, Cjdist[c]) : 0.0;
    Can[c] = col.j < k.j2 ? side(Cflaten, Cjdist[c]) : 0.0;
    Caw[c] = col.i > k.i1 ? side(Cflatew, Cidist[c]) : 0.0;
    Cae[c] = col.i < k.i2 ? side(Cflatee, Cidist[c]) : 0.0;
    const double store = armap[col.i][col.j] / TimeStep;
    Cap[c] = Cae[c] + Caw[c] + Can[c] + Cas[c] + store;
    Csource[c] = lv.old[c] * store;
  });
  forEachGwColumn(g, [&](const GwColumn& col) {
    const int c = col.c;
    if (c <= 0) return;
    const int wetBottom = col.mw > 0 ? Bcellt[col.mw] : 0;
    if (wetBottom > 0) {
      const double zw = columnTop(wetBottom);
      Cap[c] = kFixed;
      Csource[c] = zw * kFixed;
      lv.f[c] = zw;
      return;
    }
    const double zg = columnTop(c);
    Bgroundwater[col.m] = std::min(Bgroundwater[col.m], zg);
    // The sweep starts from the level cut to the ground.
    lv.f[c] = lv.old[c] = Bgroundwater[col.m];
    Csource[c] = Bgroundwater[col.m] * armap[col.i][col.j] / TimeStep;
    if (col.mw > 0) Bgroundwater[col.mw] = std::min(Bgroundwater[col.mw], zg);
  });
}

double update(int c, const Levels& lv) {
  auto v = [&](int n) { return n > 0 ? lv.f[n] : 0.0; };
  return (Cae[c] * v(Ccelle[c]) + Caw[c] * v(Ccellw[c]) + Can[c] * v(Ccelln[c]) +
          Cas[c] * v(Ccells[c]) + Csource[c]) /
         Cap[c];
}

// A pause point a batch run cannot hold: noted, and the run goes on.
void passPause() {
  if (PauseFlag == 3) logf("Pause point 3 (F 156) of the groundwater run is not held in a batch run\n");
}

}  // namespace

void groundwater() {
  mc_program = " Groundwater ";
  const int iterations = FlagGroundwater == 1 ? iterGlobalMax : 20;
  const int g = groundwaterBlock();
  if (!GroundwaterStarted) startLevels(g);
  if (g == 0) {
    logf("Error in groundwater computation: the groundwater block is missing\n\n");
    endRun(-8);
  }
  Levels lv;
  std::vector<GwColumn> cols;
  // The cells of the block and their coefficients, again after the surface may have rebuilt
  // the grid.
  auto gather = [&] {
    lv.f.assign(NoCells + 1, 0.0);
    lv.old.assign(NoCells + 1, 0.0);
    cols.clear();
    forEachGwColumn(g, [&](const GwColumn& col) {
      if (col.c > 0 && col.c <= NoCells) cols.push_back(col);
    });
    coefficients(g, lv);
  };
  gather();
  for (int n = 1; n <= iterations; ++n) {
    for (auto it = cols.rbegin(); it != cols.rend(); ++it)
      if (Cap[it->c] < 1e10) {
        lv.old[it->c] = Bgroundwater[it->m];
        Csource[it->c] = Bgroundwater[it->m] * Faz[Cflateb[it->c]] / TimeStep;
      }
    for (int s = 0; s < TransInnerIter; ++s) {
      for (const GwColumn& col : cols) lv.f[col.c] = update(col.c, lv);
      for (auto it = cols.rbegin(); it != cols.rend(); ++it) {
        const int c = it->c;
        lv.f[c] = update(c, lv);
        if (Cap[c] < 1e10) {
          lv.old[c] = Bgroundwater[it->m];
          Csource[c] = (0.5 * lv.f[c] + 0.5 * Bgroundwater[it->m]) * Faz[Cflateb[c]] / TimeStep;
        }
      }
    }
    for (const GwColumn& col : cols) {
      Bgroundwater[col.m] = lv.f[col.c];
      if (col.mw > 0) Bgroundwater[col.mw] = lv.f[col.c];
    }
    if (FlagGroundwater != 1) continue;
    stimet += TimeStep;
    if (n % 100 == 0) {
      // The block stays marked as mud layer: the grid, the friction and the damping keep
      // telling it from the water block.
      surface2();
      gather();
      if (PauseFlag == 100) PauseFlag = 3;
      else if (PauseFlag == 101) PauseFlag = 1;
      passPause();
    }
  }
  passPause();
  mc_program = "End groundwater";
}

}  // namespace qorva
