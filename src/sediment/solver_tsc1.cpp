// The first family of concentration solvers (F 37 1): each size is swept iter_morph times;
// between the sweeps the bottom cell of every water column is fixed at the concentration of
// its bed-cell balance: the equilibrium concentration, cut to what the active layer can supply
// in one step, never below what deposition alone leaves. Also the transverse-slope transport
// of the bed load. Reads the assembled equations, Bsource, Bap, Bconc, the bed layers, cohesive,
// fallvelo, gsize, Ckinen and F 4, F 11, F 26, F 78, F 137, F 160; writes Cconc, Cap, Csource,
// Capm, Csourcem, Cf and mc_message. The sizes of a pass share the solver threads (F 206, unless
// G 50 switch 8 is set).
#include <algorithm>
#include <cmath>

#include "sediment/sediment.h"
#include "sediment/sediment_loop.h"
#include "solvers/solvers.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_f100_149.h"
#include "state/options_f150_199.h"
#include "state/options_snihl.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "state/team.h"

namespace qorva {

namespace {

// Sum over the cells listed on one side of c (the k-th is `first` + k) of coefficient times
// concentration.
double sideSum(const Table1<int>& count, const Table2<int>& first, const Table2<double>& a, int c,
               const Row1<double>& C) {
  double s = 0;
  for (int k = 0; k < count[c]; ++k) s += a[c][k] * C[first[c][0] + k];
  return s;
}

// Area x fraction of size l x thickness of the active layer (m3 of bed x 1000) of bed cell b.
double activeVolume(int b, int l) {
  return Barea[b] * BSedDistrib[1][l][b] * BSedDistrib[1][0][b] * 1000.0;
}

// F 160: the supply of the active layer as a weighted mean over the bed cell (weight 4), its
// four side neighbours (2) and its four corner neighbours (1) that exist, each reached through
// the neighbour cells of the bottom cell c.
double spreadSupply(int b, int c, int l) {
  double sum = 4 * activeVolume(b, l), weight = 4;
  auto add = [&](int n, double w) {
    if (n < 1 || Cbed[n] < 1) return;
    sum += w * activeVolume(Cbed[n], l);
    weight += w;
  };
  const int e = Ccelle[c], w = Ccellw[c], n = Ccelln[c], s = Ccells[c];
  for (int side : {e, w, n, s}) add(side, 2);
  auto corner = [](int a, const Table1<int>& along, int bb, const Table1<int>& across) {
    if (a > 0 && along[a] > 0) return along[a];
    if (bb > 0 && across[bb] > 0) return across[bb];
    return 0;
  };
  add(corner(e, Ccelln, n, Ccelle), 1);  // north-east
  add(corner(w, Ccelln, n, Ccellw), 1);  // north-west
  add(corner(e, Ccells, s, Ccelle), 1);  // south-east
  add(corner(w, Ccells, s, Ccellw), 1);  // south-west
  return sum / weight;
}

void cutSmall(const Row1<double>& C) {
  for (int c = WCStart; c <= WCEnd; ++c)
    if (C[c] < 1e-30) C[c] = 0;
}

void bedCells(int l, bool single) {
  for (int b = WBStart; b <= WBEnd; ++b) bedCellConcentration(l, b, single);
}

}  // namespace

void bedCellConcentration(int l, int b, bool single) {
  const int c = Bcellt[b];
  if (c < 1) return;
  const Row1<double> C = Cconc[l];
  const double Ct = single ? Cat[c] : Catm[l][c];
  double N = Can[c] * C[Ccelln[c]] + Cas[c] * C[Ccells[c]] + Caw[c] * C[Ccellw[c]] +
             Cae[c] * C[Ccelle[c]] + Ct * C[Ccellt[c]] + Bsource[l][b];
  N += secondNeighbourInflow(l, c, single);
  if (QNFlag > 0) {
    N += sideSum(Cncelle, Cqncelle, Cqnae, c, C) + sideSum(Cncellw, Cqncellw, Cqnaw, c, C) +
         sideSum(Cncelln, Cqncelln, Cqnan, c, C) + sideSum(Cncells, Cqncells, Cqnas, c, C);
  }
  const double W = Faz[Cflateb[c]] * fallvelo[l] * 1000.0;
  const double cdep = N / (W + Bap[l][b]);
  const double supply = activeLayerSupply(l, b, single);
  double cero = (N + supply) / Bap[l][b];
  if (cohesive[l] > 1e-10 && cohesive[l] > 300.0 * Ckinen[c]) cero = N / (Bap[l][b] + 1e-20);
  const double ceq = BSedDistrib[1][l][b] * Bconc[l][b];
  double cb = std::max(cdep, std::min(cero, ceq));
  if (cb < 1e-30) cb = 0;
  if (single) {
    Cap[c] = 1e30;
    Csource[c] = cb * 1e30;
  } else {
    Capm[l][c] = 1e30;
    Csourcem[l][c] = cb * 1e30;
  }
  C[c] = cb;
}

double secondNeighbourInflow(int l, int c, bool single) {
  if (sou[7] != 1 || !Caee) return 0.0;
  const Row1<double> C = Cconc[l];
  auto twoAway = [](const Table1<int>& link, int c0) { return link[c0] > 0 ? link[link[c0]] : 0; };
  const double Ctt = single ? Catt[c] : Cattm[l][c];
  return Cann[c] * C[twoAway(Ccelln, c)] + Cass[c] * C[twoAway(Ccells, c)] +
         Caww[c] * C[twoAway(Ccellw, c)] + Caee[c] * C[twoAway(Ccelle, c)] +
         Ctt * C[twoAway(Ccellt, c)];
}

double activeLayerSupply(int l, int b, bool single) {
  if (single) return BSedDistrib[1][0][b] * Barea[b] * 1000.0 * SolidFrac / TimeStep;
  if (FlagBedVol > 0) return spreadSupply(b, Bcellt[b], l) * SolidFrac / TimeStep;
  return BSedDistrib[1][0][b] * BSedDistrib[1][l][b] * Barea[b] * 1000.0 * SolidFrac / TimeStep;
}

void morphology_tsc_solver_tsc1_single() {
  for (int s = 0; s < iter_morph; ++s) {
    mc_message = strf("Iter, %d   ", s);
    Cf.point(Cconc[1]);
    solver();
    cutSmall(Cconc[1]);
    bedCells(1, true);
  }
}

namespace {

// Pass s of size l: the transverse transport at its passes, the solve, the cut of values too
// small to matter and the bottom cells from their bed-cell balance. It reads and writes only
// size l's rows and reads the shared coefficients.
void sizePass(int l, int s, double* field, std::size_t n) {
  if ((BedLoadVectorFlag == 1 && s == 1) || (BedLoadVectorFlag == 3 && s == iter_morph / 2))
    BedVectorSourceCalc(l);
  solver2Field(l, field, n);
  cutSmall(Cconc[l]);
  bedCells(l, false);
}

// The sizes of one pass side by side on the solver threads (G 50 switch 8 keeps them serial).
// Each size is solved whole by one thread, as the serial pass solves it, so the result does not
// depend on the thread count. A size that ends the run stops the others before their turn.
void sizesOnThreads(int s) {
  Failure failure;
#pragma omp parallel for schedule(dynamic, 1)
  for (int l = 1; l <= lnumber; ++l) {
    if (failure.failed()) continue;
    try {
      const Row1<double> field = Cconc[l];
      sizePass(l, s, field.p, field.n);
    } catch (...) {
      failure.capture();
    }
  }
  failure.rethrow();
}

}  // namespace

void morphology_tsc_solver_tsc1_multiple() {
  const bool threads = NoProcessesSolver > 0 && FlagOpenMP[8] == 0 && lnumber > 1 &&
                       solver2SizesApart();
  for (int s = 0; s < iter_morph; ++s) {
    mc_message = strf("Iter, %d   ", s);
    // No size reads the shared source: the per-size rows hold theirs.
    for (int c = WCStart; c <= WCEnd; ++c) Csource[c] = 0;
    if (threads) {
      sizesOnThreads(s);
      // Cf designates the last size, as after a serial pass.
      Cf.point(Cconc[lnumber]);
      continue;
    }
    for (int l = 1; l <= lnumber; ++l) {
      Cf.point(Cconc[l]);
      sizePass(l, s, Cf.data(), Cf.size());
    }
  }
}

void BedVectorSourceCalc(int l) {
  const bool single = lnumber < 2;
  const Row1<double> su = single ? Row1<double>{Csource.data(), Csource.size(), Csource.label()}
                                 : Csourcem[l];
  for (int b = WBStart; b <= WBEnd; ++b) {
    if (!(BSedDistrib[0][l][b] * BSedDistrib[0][0][b] > gsize[l])) continue;
    const int c = Bcellt[b];
    if (c < 1) continue;
    const double u = Cxvel[c], v = Cyvel[c];
    const int fb = Cflateb[c];
    const double nx = Fvx[fb], ny = Fvy[fb], nz = Fvz[fb];
    const double r = std::max(300.0 * Ckinen[c], 0.0) /
                     (std::fabs(shieldscoeff) * gsize[l] * (density - 1) * 9810 + 1e-30);
    // Without shear nothing moves: no transverse transport.
    if (!(r > 0)) continue;
    double a = BedLoadVectorParam / std::sqrt(r) * std::sqrt(std::max(1 - nz * nz, 0.0));
    if (nx * v - ny * u < 0) a = -a;
    const double tu = a * v, tv = -a * u;
    struct Side {
      int surface, cell;
      bool outIfPositive;
    };
    const Side sides[4] = {{Cflatee[c], Ccelle[c], true},
                           {Cflaten[c], Ccelln[c], true},
                           {Cflatew[c], Ccellw[c], false},
                           {Cflates[c], Ccells[c], false}};
    for (const Side& s : sides) {
      // A side without a neighbour keeps its sediment: nothing may leave the grid this way.
      if (s.surface < 1 || s.cell < 1) continue;
      const double F = (Fax[s.surface] * tu + Fay[s.surface] * tv) * 1000.0;
      const bool out = s.outIfPositive ? F > 0 : F < 0;
      if (!out) continue;
      const double m = std::fabs(F) * Cconc[l][c];
      su[c] -= m;
      su[s.cell] += m;
    }
  }
}

}  // namespace qorva
