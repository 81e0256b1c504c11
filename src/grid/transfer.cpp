// Transfer of the cell variables to a regenerated grid, column by column, from the values of
// the replaced grid: the _old arrays of a transient run, the _carry arrays of a steady one.
// Reads Bcellt, Bnocells, Bdepth and their _old snapshots, Czcenter, Ckdist, Czcenter_old,
// Ckdist_old; writes Cxvel, Cyvel, Czvel, Cpres, Ckinen, Cepsilon, CinvAp, Cconc, the
// mud-layer marks, the plastic deposits, FlagFieldsCarried and the _old arrays, which it
// leaves equal to the transferred values; keepFieldsForTransfer writes the _carry arrays.
#include <omp.h>

#include <algorithm>
#include <cmath>

#include "grid/generator.h"
#include "grid/grid.h"
#include "grid/transfer.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"

namespace qorva {
namespace {

// Highest cell number the per-cell tables hold.
long long cellCapacity() { return static_cast<long long>(Cxvel.size()) - 1; }

// The seven values carried with every cell, in the order of the _old arrays.
struct Seven {
  double u, v, w, p, k, e, a;
};

Seven oldValues(const TransferSource& s, int c) {
  return {s.u[c], s.v[c], s.w[c], s.p[c], s.k[c], s.e[c], s.invAp[c]};
}

// Velocities are multiplied by `scale`, the other four are taken as they are.
void setValues(int c, const Seven& s, double scale) {
  Cxvel[c] = s.u * scale;
  Cyvel[c] = s.v * scale;
  Czvel[c] = s.w * scale;
  Cpres[c] = s.p;
  Ckinen[c] = s.k;
  Cepsilon[c] = s.e;
  CinvAp[c] = s.a;
}

// Weighted sum of the values of two old cells.
Seven blend(const TransferSource& s, int x1, double w1, int x2, double w2) {
  const Seven a = oldValues(s, x1), b = oldValues(s, x2);
  return {a.u * w1 + b.u * w2, a.v * w1 + b.v * w2, a.w * w1 + b.w * w2, a.p * w1 + b.p * w2,
          a.k * w1 + b.k * w2, a.e * w1 + b.e * w2, a.a * w1 + b.a * w2};
}

// One cell of the new column from one old cell with the column's factors.
void copyCell(const TransferSource& s, int cnew, int cold, double scale, double ratio) {
  setValues(cnew, oldValues(s, cold), scale);
  for (int l = 1; l <= lnumber; ++l) Cconc[l][cnew] = s.conc[l][cold] * ratio;
}

// Old cell pair and weights of new middle cell k (1..n-2) of a column whose cell count
// changed: the value is old[x1] * w1 + old[x2] * w2.
struct Pair {
  int x1;
  double w1;
  int x2;
  double w2;
};

Pair middleByHeight(int cn, int k, int co, int no) {
  const double z = Czcenter[cn + k];
  int u = co + no - 1;
  for (int m = co + 1; m <= co + no - 1; ++m)
    if (Czcenter_old[m] > z) {
      u = m;
      break;
    }
  double w = (Czcenter_old[u] - z) / (Czcenter_old[u] - Czcenter_old[u - 1]);
  if (!(w > 0)) w = 0;  // also a height difference of zero
  if (w >= 1) w = 1;
  return {u - 1, w, u, 1 - w};
}

Pair middleByIndex(int k, int co, int no, int n) {
  double r = static_cast<double>(k + 1) * no / n;
  r = std::min(std::max(r, 1.0), no - 1.0);
  const int m = static_cast<int>(r);
  const double f = r - m;
  return {co + m - 1, 1 - f, co + m, f};
}

Pair middleByIndexCentre(int k, int co, int no, int n) {
  const double r = ((k + 0.5) * no) / n + 0.5;
  const int m = std::min(std::max(static_cast<int>(r), 1), no - 1);
  double f = r - m;
  if (f <= 0) f = 0;
  if (f >= 1) f = 1;
  return {co + m, f, co + m - 1, 1 - f};
}

// Sediment of each size in the new column scaled to what the old column held (concentration
// times half height summed over the column's cells).
void keepColumnSediment(const TransferSource& s, int cn, int n, int co, int no) {
  for (int l = 1; l <= lnumber; ++l) {
    double massold = 0, massnew = 0;
    for (int m = 0; m < no; ++m) massold += s.conc[l][co + m] * Ckdist_old[co + m];
    for (int k = 0; k < n; ++k) massnew += Cconc[l][cn + k] * Ckdist[cn + k];
    const double f = massold / (massnew + 1e-30);
    for (int k = 0; k < n; ++k) Cconc[l][cn + k] *= f;
  }
}

// A column whose cell count changed, both counts at least 2: bottom and top from bottom and
// top, the middle cells by the F 147 rule.
void changedColumn(const TransferSource& s, int cn, int n, int co, int no) {
  const int rule = ExtrapAlgo1;
  if (rule == 0 && !Czcenter_old) return;
  if (rule == 2 && !Ckdist_old) return;
  copyCell(s, cn, co, 1.0, 1.0);
  copyCell(s, cn + n - 1, co + no - 1, 1.0, 1.0);
  for (int k = 1; k <= n - 2; ++k) {
    const Pair p = rule == 0   ? middleByHeight(cn, k, co, no)
                   : rule == 1 ? middleByIndex(k, co, no, n)
                               : middleByIndexCentre(k, co, no, n);
    setValues(cn + k, blend(s, p.x1, p.w1, p.x2, p.w2), 1.0);
    for (int l = 1; l <= lnumber; ++l)
      Cconc[l][cn + k] = s.conc[l][p.x1] * p.w1 + s.conc[l][p.x2] * p.w2;
  }
  if (rule == 2) keepColumnSediment(s, cn, n, co, no);
}

// A column shrunk to one cell takes the means of the old column.
void singleCell(const TransferSource& from, int cn, int co, int no, double scale,
                double ratio) {
  Seven s{0, 0, 0, 0, 0, 0, 0};
  for (int m = 0; m < no; ++m) {
    const Seven o = oldValues(from, co + m);
    s.u += o.u, s.v += o.v, s.w += o.w, s.p += o.p, s.k += o.k, s.e += o.e, s.a += o.a;
  }
  const double f = scale / no;
  Cxvel[cn] = s.u * f;
  Cyvel[cn] = s.v * f;
  Czvel[cn] = s.w * f;
  Cpres[cn] = s.p * f;
  Ckinen[cn] = s.k * f;
  Cepsilon[cn] = s.e * f;
  CinvAp[cn] = s.a * f;
  for (int l = 1; l <= lnumber; ++l) {
    double sum = 0;
    for (int m = 0; m < no; ++m) sum += from.conc[l][co + m];
    Cconc[l][cn] = sum / no * scale * ratio;
  }
}

void transferColumn(const TransferSource& s, int b) {
  const int n = Bnocells[b], cn = Bcellt[b];
  const int no = Bnocells_old[b], co = Bcellt_old[b];
  if (n <= 0 || no <= 0) return;  // dry now, or newly wet: the wetting extrapolation fills it
  // Both columns must lie in the cell tables; the counts come from the column walks.
  const long long cap = cellCapacity();
  if (cn < 1 || co < 1 || cn + n - 1 > std::min<long long>(NoCells, cap) || co + no - 1 > cap)
    return;
  const double ratio = std::max(Bdepth_old[b], 0.001) / (Bdepth[b] + 1e-20);
  const double scale = FlagScaleInterpol == 1 ? std::min(ratio, 1.0) : 1.0;
  if (n == no) {
    for (int k = 0; k < n; ++k) copyCell(s, cn + k, co + k, scale, ratio);
  } else if (no == 1) {
    for (int k = 0; k < n; ++k) copyCell(s, cn + k, co, scale, ratio);
  } else if (n == 1) {
    singleCell(s, cn, co, no, scale, ratio);
  } else if (ExtrapAlgo1 >= 0 && ExtrapAlgo1 <= 2) {
    changedColumn(s, cn, n, co, no);
  }
}

// Mud layer: which cells lie in the thixotropic layer, the hydrostatic pressure of the mud
// block, and the two-level transfer of the mud block's columns.
void mudLayer(const TransferSource& s) {
  const int last = NoBlocks;
  if (Iter > 0 && Bthixolev && Cthixolev) {
    for (int n = 1; n <= NoBlocks; ++n) {
      const GridBlock& k = block[n];
      if (k.thixo <= 0) continue;
      for (int i = k.i1; i <= k.i2; ++i)
        for (int j = k.j1; j <= k.j2; ++j) {
          const double level = Bthixolev[pointbed[i][j]];
          int steps = 0;
          for (int c = static_cast<int>(zval[i][j][0]); c > 0 && steps <= NoCells;
               c = Ccellt[c], ++steps) {
            const bool inside = Czcenter[c] > level;
            Cthixolev[c] = inside ? TransInnerIter / 2 : -2;
            Cthixorat[c] = inside ? 1.2 : 0.0;
          }
        }
    }
  }
  if (last >= 1 && block[last].thixo > 0) {
    const int from = std::max(block[2].cellstart, 1);
    const int to = std::min<long long>(block[last].cellend, cellCapacity());
    for (int c = from; c <= to; ++c) {
      if (Ccellt[c] != 0 && Ccellt[c] >= block[last].cellstart) continue;
      double s = 0;
      int steps = 0;
      for (int x = c; x > 0 && steps <= NoCells; x = Ccellb[x], ++steps) {
        Cpres[x] = 9810.0 * (s + Ckdist[x]);
        s += 2.0 * Ckdist[x];
      }
    }
  }
  if (FlagThixo > 1 && FlagUnstrucThixo > 0 && Bcelltt_old) {
    const long long cap = cellCapacity();
    for (int b = std::max(block[2].bcellstart, 1); b <= std::min(block[2].bcellend, NoBCells);
         ++b) {
      const int bottom = Bcellt[b];
      const int c = bottom > 0 ? Ccellt[bottom] : 0;
      const int n = Bnocells[b];
      if (c <= 0 || n <= 1) continue;
      const int so = Bcelltt_old[b], no = Bnocells_old[b];
      if (n == no) {
        if (so < 1 || so + n - 2 > cap) continue;
        int x = c;
        for (int m = 0; m < n - 1 && x > 0; ++m, x = Ccellt[x]) {
          Cxvel[x] = s.u[so + m];
          Cyvel[x] = s.v[so + m];
          Czvel[x] = s.w[so + m];
          Cpres[x] = s.p[so + m];
        }
      } else if (so > 1 && no >= 2) {
        if (so + no - 2 > cap || c + n - 2 > cap) continue;
        double u = 0, v = 0, w = 0, h = 0;
        for (int m = so; m <= so + no - 2; ++m) {
          u += s.u[m];
          v += s.v[m];
          w += s.w[m];
          h += Ckdist[m];
        }
        if (std::isnan(h)) failf(-8, "Error in extrapolation, AAA\n\n");
        const double cells = no - 1;
        for (int x = c; x <= c + n - 2; ++x) {
          Cxvel[x] = u / cells;
          Cyvel[x] = v / cells;
          Czvel[x] = w / cells;
        }
        Cxvel[bottom] = Cyvel[bottom] = Czvel[bottom] = 0;
      } else if (so <= 1) {
        if (c + n - 2 > cap) continue;
        double s = 0;
        for (int x = c + n - 2; x >= c; --x) {
          s += 9810.0 * Ckdist[x];
          Cpres[x] = s;
          s += 9810.0 * Ckdist[x];
          Cxvel[x] = Cyvel[x] = Czvel[x] = 0;
        }
        Cxvel[bottom] = Cyvel[bottom] = Czvel[bottom] = 0;
        Cpres[bottom] = s + 9810.0 * Ckdist[bottom];
      }
    }
  }
}

// A column that fell dry leaves the sediment of its former bottom cell on the bed. That cell
// is described by the values of the replaced grid: its concentration in the source and its half
// height in Ckdist_old where that is kept, else the mean half height of the old column.
void plasticDeposits(const TransferSource& s) {
  if (!BplasticDeposits) return;
  const long long cap = cellCapacity();
  for (int b = 1; b <= NoBCells; ++b) {
    const int co = Bcellt_old[b];
    if (co < 1 || co > cap || Bcellt[b] != 0) continue;
    const double half = Ckdist_old ? Ckdist_old[co]
                                   : Bdepth_old[b] / (2.0 * std::max(Bnocells_old[b], 1));
    for (int l = 1; l <= lnumber; ++l)
      BplasticDeposits[l][b] += 2.0 * s.conc[l][co] * half * density * 1000.0;
  }
}

}  // namespace

const TransferSource* transferSource() {
  static const TransferSource previous{Cxvel_old,    Cyvel_old,  Czvel_old, Cpres_old,
                                       Ckinen_old,   Cepsilon_old, CinvAp_old, Cconc_old};
  static const TransferSource carried{Cxvel_carry,  Cyvel_carry,    Czvel_carry,
                                      Cpres_carry,  Ckinen_carry,   Cepsilon_carry,
                                      CinvAp_carry, Cconc_carry};
  if (Cxvel_old && Cconc_old) return &previous;
  if (FlagFieldsCarried == 1 && Cxvel_carry && Cconc_carry) return &carried;
  return nullptr;
}

void keepFieldsForTransfer() {
  if (!Cxvel_carry || !Cconc_carry) return;
  const int nc = static_cast<int>(std::min<long long>(NoCells, cellCapacity()));
  const int rows = static_cast<int>(std::min<long long>(lnumber, Cconc.dim(0) - 1));
  for (int c = 1; c <= nc; ++c) {
    Cxvel_carry[c] = Cxvel[c];
    Cyvel_carry[c] = Cyvel[c];
    Czvel_carry[c] = Czvel[c];
    Cpres_carry[c] = Cpres[c];
    Ckinen_carry[c] = Ckinen[c];
    Cepsilon_carry[c] = Cepsilon[c];
    CinvAp_carry[c] = CinvAp[c];
    for (int l = 0; l <= rows; ++l) Cconc_carry[l][c] = Cconc[l][c];
  }
  FlagFieldsCarried = 1;
}

void InterpolateGrid() {
  const TransferSource* from = transferSource();
  if (FlagNeedsToBeInterpolated != 1 || !Bnocells || !from) return;
  const TransferSource& s = *from;
  const int nc = static_cast<int>(std::min<long long>(NoCells, cellCapacity()));

  for (int l = 1; l <= lnumber; ++l)
    for (int c = 1; c <= nc; ++c) Cconc[l][c] = 0;
  if (Cthixorat)
    for (int c = 1; c <= nc; ++c) {
      Cthixolev[c] = 0;
      Cthixorat[c] = 0.0;
    }

  for (int b = 1; b <= NoBCells; ++b) transferColumn(s, b);

  if (ExtrapAlgo2 == 2 || ExtrapAlgo2 == 3 || ExtrapAlgo2 == 4)
    WettingExtrapolation2();
  else if (ExtrapAlgo2 == 5)
    WettingExtrapolation5();
  else
    WettingExtrapolation1();
  if (Iter >= 3 && FlagPressureTest == 1) PressureTest();

  if (FlagThixo > 0) mudLayer(s);
  if (FlagPlastics > 0) plasticDeposits(s);

  // The previous time level starts equal to the transferred fields; kept fields are spent.
  const bool previous = Cxvel_old && Cconc_old;
  for (int c = 1; c <= nc; ++c) {
    double sum = 0;
    for (int l = 1; l <= lnumber; ++l) {
      sum += Cconc[l][c];
      if (previous) Cconc_old[l][c] = Cconc[l][c];
    }
    Cconc[0][c] = sum;
    if (!previous) continue;
    Cconc_old[0][c] = sum;
    Cxvel_old[c] = Cxvel[c];
    Cyvel_old[c] = Cyvel[c];
    Czvel_old[c] = Czvel[c];
    Cpres_old[c] = Cpres[c];
    Ckinen_old[c] = Ckinen[c];
    Cepsilon_old[c] = Cepsilon[c];
  }
  FlagFieldsCarried = 0;

  if (FlagUnstrucThixo > 0 && NoBCells > 0 && block[2].bcellend > 1 && Bcelltt_old) {
    const long long cap = cellCapacity();
    for (int b = std::max(block[1].bcellstart, 1); b <= std::min(block[1].bcellend, NoBCells);
         ++b)
      Bcelltt_old[b] = 0;
    for (int b = std::max(block[2].bcellstart, 1); b <= std::min(block[2].bcellend, NoBCells);
         ++b) {
      const int co = Bcellt_old[b];
      Bcelltt_old[b] = co >= 0 && co <= cap ? Ccellt[co] : 0;
    }
  }

  if (debugging == 'D')
    for (int l = 0; l <= lnumber; ++l)
      for (int c = 1; c <= nc; ++c)
        if (Cconc[l][c] > 1.0 || Cconc[l][c] < 0.0)
          logf("Error in extrapolation of concentrations, Cconc[%d][%d] = %lf\n", l, c,
               Cconc[l][c]);
  if (PauseFlag == 40) gridHold(PauseFlag);
}

}  // namespace qorva
