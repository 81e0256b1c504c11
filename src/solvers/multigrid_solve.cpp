// Additive-correction multigrid of the cell equations on the two-dimensional levels: each water
// column is lumped into one level-1 cell, coarser levels lump 2 x 2 cells, and the level-1
// result is spread over the column (the pressure correction takes it as its value, the other
// equations add it), then an optional line solve. Also Gauss2D, the smoother of the levels.
// Reads the equation arrays, the residual fields Cxvel_res..Cepsilon_res, the levels, F 168,
// F 520, F 374, F 344, F 36, F 206, F 164, G 50; writes Cf and the equations of the level cells.
#include <omp.h>

#include <algorithm>
#include <cstddef>

#include "grid/columns.h"
#include "solvers/coloured_sweeps.h"
#include "solvers/levels.h"
#include "solvers/solvers.h"
#include "solvers/sweep_kernels.h"
#include "state/blocks.h"
#include "state/log.h"
#include "state/options_f100_149.h"
#include "state/options_f150_199.h"
#include "state/options_f300_349.h"
#include "state/options_f350_399.h"
#include "state/options_f500_534.h"

namespace qorva {

namespace {

using kernel::Plain;

// ---- Gauss2D ----

// The lateral couplings of the level cells.
struct Lateral {
  const double *ap, *ae, *aw, *an, *as, *su;
  const double *aee, *aww, *ann, *ass;
  const int *ce, *cw, *cn, *cs;
};

Lateral lateralArrays() {
  return {Cap.data(),    Cae.data(),    Caw.data(),    Can.data(),   Cas.data(),
          Csource.data(), Caee.data(),  Caww.data(),   Cann.data(),  Cass.data(),
          Ccelle.data(), Ccellw.data(), Ccelln.data(), Ccells.data()};
}

bool ninePoint() { return sou[Equation] == 1 && Caee && Caww && Cann && Cass; }

// (Cae f[e] + Caw f[w] + Can f[n] + Cas f[s] (+ the cells beyond) + Csource) / Cap of cell c.
template <class A, bool Nine>
inline double lateralValue(const Lateral& s, int c, const double* f) {
  const int e = s.ce[c], w = s.cw[c], n = s.cn[c], so = s.cs[c];
  double r = s.ae[c] * A::get(f, e);
  r += s.aw[c] * A::get(f, w);
  r += s.an[c] * A::get(f, n);
  r += s.as[c] * A::get(f, so);
  if constexpr (Nine) {
    r += s.aee[c] * A::get(f, s.ce[e]);
    r += s.aww[c] * A::get(f, s.cw[w]);
    r += s.ann[c] * A::get(f, s.cn[n]);
    r += s.ass[c] * A::get(f, s.cs[so]);
  }
  return (r + s.su[c]) / s.ap[c];
}

// One pass over lo..hi, ascending or descending.
template <bool Nine>
void lateralPass(const Lateral& s, double* f, int lo, int hi, bool up) {
  if (up)
    for (int c = lo; c <= hi; ++c) f[c] = lateralValue<Plain, Nine>(s, c, f);
  else
    for (int c = hi; c >= lo; --c) f[c] = lateralValue<Plain, Nine>(s, c, f);
}

template <bool Thirteen>
void qnPass(const kernel::System& s, const kernel::QnLists& l, double* f, int lo, int hi,
            bool up) {
  if (up)
    for (int c = lo; c <= hi; ++c) f[c] = kernel::qnSum<Plain, Thirteen, false>(s, l, c, f) / s.ap[c];
  else
    for (int c = hi; c >= lo; --c) f[c] = kernel::qnSum<Plain, Thirteen, false>(s, l, c, f) / s.ap[c];
}

// Runs `sweeps` symmetric sweeps with the update of the present form: `each(sweeps, pass)`
// makes them, serially or over coloured chunks. The multi-neighbour form takes one pass pair,
// whatever the sweep count.
template <class Each>
void withForm(int sweeps, Each each) {
  double* f = Cf.data();
  const bool nine = ninePoint();
  if (QNFlag > 0 && kernel::haveQnLists()) {
    const kernel::System s = kernel::systemArrays();
    const kernel::QnLists l = kernel::qnLists();
    if (nine && kernel::haveQnSecondRows())
      each(1, [&](int lo, int hi, bool up) { qnPass<true>(s, l, f, lo, hi, up); });
    else
      each(1, [&](int lo, int hi, bool up) { qnPass<false>(s, l, f, lo, hi, up); });
  } else {
    const Lateral s = lateralArrays();
    if (nine)
      each(sweeps, [&](int lo, int hi, bool up) { lateralPass<true>(s, f, lo, hi, up); });
    else
      each(sweeps, [&](int lo, int hi, bool up) { lateralPass<false>(s, f, lo, hi, up); });
  }
}

// The serial sweeps of Gauss2D.
void serialGauss2D(int first, int last, int sweeps) {
  withForm(sweeps, [&](int n, auto pass) { serialSweeps(first, last, n, pass); });
}

// Kept between calls and rebuilt by every threaded level-1 smoothing.
ColouredChunks levelChunks;

// The two-copy sweeps read the neighbours outside first..last from Cfn: they take their
// present values from Cf.
template <bool Nine>
void mirrorNeighbours(const Lateral& s, const double* f, double* fn, int first, int last) {
  auto mirror = [&](int m) {
    if (m < first || m > last) fn[m] = f[m];
  };
  for (int c = first; c <= last; ++c) {
    const int e = s.ce[c], w = s.cw[c], n = s.cn[c], so = s.cs[c];
    mirror(e);
    mirror(w);
    mirror(n);
    mirror(so);
    if constexpr (Nine) {
      mirror(s.ce[e]);
      mirror(s.cw[w]);
      mirror(s.cn[n]);
      mirror(s.cs[so]);
    }
  }
}

template <bool Nine>
void jacobiShare(const Lateral& s, const double* from, double* to, int lo, int hi) {
  for (int c = lo; c <= hi; ++c) to[c] = lateralValue<Plain, Nine>(s, c, from);
}

// F 164 27: one region; every sweep two half-steps over each thread's share, barriers between.
template <bool Nine>
void jacobiOneRegion(int first, int last, int sweeps) {
  const Lateral s = lateralArrays();
  double *f = Cf.data(), *fn = Cfn.data();
  mirrorNeighbours<Nine>(s, f, fn, first, last);
  const int count = last - first + 1;
#pragma omp parallel
  {
    int lo, hi;
    kernel::staticBlock(count, omp_get_num_threads(), omp_get_thread_num(), lo, hi);
    for (int k = 0; k < sweeps; ++k) {
      jacobiShare<Nine>(s, f, fn, first + lo, first + hi - 1);
#pragma omp barrier
#pragma omp barrier
      jacobiShare<Nine>(s, fn, f, first + lo, first + hi - 1);
#pragma omp barrier
    }
  }
}

// F 164 29, 30, 33 on a level of more than 301 cells: two regions per sweep.
void jacobiRegions(int first, int last, int sweeps) {
  const Lateral s = lateralArrays();
  double *f = Cf.data(), *fn = Cfn.data();
  mirrorNeighbours<false>(s, f, fn, first, last);
  const int count = last - first + 1;
  for (int k = 0; k < sweeps; ++k) {
#pragma omp parallel
    {
      int lo, hi;
      kernel::staticBlock(count, omp_get_num_threads(), omp_get_thread_num(), lo, hi);
      jacobiShare<false>(s, f, fn, first + lo, first + hi - 1);
    }
#pragma omp parallel
    {
      int lo, hi;
      kernel::staticBlock(count, omp_get_num_threads(), omp_get_thread_num(), lo, hi);
      jacobiShare<false>(s, fn, f, first + lo, first + hi - 1);
    }
  }
}

// ---- The levels ----

// The first cell of the column under level-1 cell c (its bottom cell, or the lowest above the
// mud); the column's cells are that cell and those above it.
int firstCellUnder(int c) { return MGSCpoint[c][1]; }

// A level-1 cell whose column meets no other column (all four sums 0) gets no value from the
// levels: central coefficient 1, source 0, so it stays at 0 and gives its parent nothing.
constexpr double kIsolated = 1e-15;

// The cells of the column of level-1 cell c: the sum of term(k) over them, their count, and
// their lateral couplings summed into c (a = Caw + Cae + Can + Cas of c).
struct ColumnSum {
  double sum = 0, a = 0;
  int n = 0;
};

template <class Term>
ColumnSum sumColumn(int c, Term term) {
  ColumnSum s;
  double ae = 0, aw = 0, an = 0, as = 0;
  upColumn(firstCellUnder(c), [&](int k) {
    s.sum += term(k);
    ae += Cae[k];
    aw += Caw[k];
    an += Can[k];
    as += Cas[k];
    ++s.n;
  });
  Cae[c] = ae;
  Caw[c] = aw;
  Can[c] = an;
  Cas[c] = as;
  s.a = aw + ae + an + as;
  return s;
}

// Pressure correction: the level-1 equation is the sum of the column's equations in the
// lateral couplings, and the coarse levels sum their children's.
void pressureLevels() {
  const levels::Level one = levels::level(1);
  const bool onlyWet = FlagTFS == 16;
  for (int c = one.first; c <= one.last; ++c) {
    const ColumnSum s =
        sumColumn(c, [onlyWet](int k) { return !onlyWet || Cap[k] < 1e15 ? Csource[k] : 0.0; });
    Cap[c] = s.a < kIsolated ? 1.0 : s.a;
    Csource[c] = s.a < kIsolated ? 0.0 : s.sum;
    Cf[c] = 0;
  }
  for (int L = 2; L <= NoMGlevels - 1; ++L) {
    const levels::Level v = levels::level(L);
    for (int c = v.first; c <= v.last; ++c) {
      double su = 0;
      for (int q = 1; q <= 4; ++q)
        if (const int k = MGSCpoint[c][q]; k > 0) su += Csource[k];
      Csource[c] = su;
      const double a = levels::sumChildCouplings(c);
      Cap[c] = a < 1e-15 ? 100.0 : a;
      Cf[c] = 0;
    }
  }
  if (Flag2DAccSolver > 1) levels::smoothDown(NoMGlevels - 1, NoMGloops);
  levels::smoothLevelOne(one.first, one.last, Iter2DMG);
  for (int c = one.first; c <= one.last; ++c)
    upColumn(firstCellUnder(c), [c](int k) { Cf[k] = Cf[c]; });
}

// Other equations: the level-1 equation is 2A psi = sum a psi_nb + A r, r the column mean of
// the point residuals, and psi is added to the column.
void correctionLevels() {
  Table1<double>* field = residualField(Equation);
  if (!field || !*field)
    failf(1,
          "Error: the multigrid solve of K 5 for equation %d needs its point residuals, which "
          "are kept only with F 153 1\n",
          Equation);
  const Table1<double>& r = *field;
  const levels::Level one = levels::level(1);
  for (int c = one.first; c <= one.last; ++c) {
    // A value fixed by the penalty has no residual of its own (the field keeps whatever an
    // earlier system left there).
    const ColumnSum s = sumColumn(c, [&r](int k) { return Cap[k] < 1e15 ? r[k] : 0.0; });
    Csource[c] = s.a < kIsolated || s.n == 0 ? 0.0 : s.sum / s.n * s.a;
    Cap[c] = s.a < kIsolated ? 1.0 : 2.0 * s.a;
    Cf[c] = 0;
  }
  if (Flag2DAccSolver > 1) {
    for (int L = 2; L <= NoMGlevels - 1; ++L) {
      const levels::Level v = levels::level(L);
      for (int c = v.first; c <= v.last; ++c) {
        double su = 0;
        int m = 0;
        for (int q = 1; q <= 4; ++q)
          if (const int k = MGSCpoint[c][q]; k > 0) {
            su += Csource[k] / Cap[k];
            ++m;
          }
        const double a = levels::sumChildCouplings(c);
        const double ap = a < 1e-15 ? 100.0 : a;
        Csource[c] = ap / (m + 1e-20) * su;
        Cap[c] = 2.0 * ap;
        Cf[c] = 0;
      }
    }
    levels::smoothDown(NoMGlevels - 1, NoMGloops);
  }
  Gauss2D(one.first, one.last, 1);
  for (int c = one.first; c <= one.last; ++c)
    upColumn(firstCellUnder(c), [c](int k) { Cf[k] += Cf[c]; });
}

void lineSolve() {
  if (FlagSolverVertTDMA == 1) solverVertTDMA();
  if (FlagSolverVertTDMA == 2) solverTDMA();
}

}  // namespace

void Gauss2D(int first, int last, int sweeps) {
  if (first > last) return;
  if (FlagRapSolver == 27) {
    if (ninePoint())
      jacobiOneRegion<true>(first, last, sweeps);
    else
      jacobiOneRegion<false>(first, last, sweeps);
  } else if ((FlagRapSolver == 29 || FlagRapSolver == 30 || FlagRapSolver == 33) &&
             last - first >= 301 && sou[Equation] != 1) {
    jacobiRegions(first, last, sweeps);
  } else {
    serialGauss2D(first, last, sweeps);
  }
}

namespace levels {

void smoothLevelOne(int first, int last, int sweeps) {
  if (NoProcessesSolver == 0 || FlagOpenMP[8] == 1 || FlagRapSolver >= 27) {
    Gauss2D(first, last, sweeps);
    return;
  }
  // The F 206 threads sweep coloured chunks of the level: the same numbers for any thread
  // count.
  const kernel::Reads reads = kernel::readsOf(ninePoint(), QNFlag > 0 && kernel::haveQnLists());
  withForm(sweeps, [&](int n, auto pass) {
    colouredSweeps(levelChunks, first, last, n, reads, pass);
  });
}

}  // namespace levels

void AlgMGSolve() {
  if (!levels::built()) {
    levels::noteMissing("the multigrid solve of K 5");
    lineSolve();
    return;
  }
  levels::prepare();
  if (Equation == 4)
    pressureLevels();
  else
    correctionLevels();
  lineSolve();
}

Table1<double>* residualField(int equation) {
  switch (equation) {
    case 1: return &Cxvel_res;
    case 2: return &Cyvel_res;
    case 3: return &Czvel_res;
    case 5: return &Ckinen_res;
    case 6: return &Cepsilon_res;
    default: return nullptr;
  }
}

}  // namespace qorva
