// Parallel phases of an inner iteration (F 206) and the per-cell finishing of the momentum, k
// and epsilon equations that the serial and the parallel forms share.
// Reads WCStart..WFEnd, deltac, deltaf, NoProcessesSolver, Equation, sou, the coefficients;
// writes Cap, Csource, Cae..Cab, Caee..Cabb, CinvAp, CinvApP, Cf, MaxResidual[Equation].
#include <omp.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>

#include "discretisation/discretisation.h"
#include "flow/flow.h"
#include "flow/water_solve.h"
#include "pressure/pressure.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "turbulence/turbulence.h"

namespace qorva {

namespace {

// The first exception met by the threads of a region. Nothing may leave a region by an
// exception (an end of the run included), so each thread records it here, the others skip
// their remaining work, and the owner throws it again once the region is over.
class Failure {
 public:
  bool failed() const { return failed_.load(std::memory_order_relaxed); }
  void capture() {
#pragma omp critical(qorva_region_failure)
    {
      if (!first_) first_ = std::current_exception();
    }
    failed_.store(true);
  }
  void rethrow() const {
    if (first_) std::rethrow_exception(first_);
  }

 private:
  std::atomic<bool> failed_{false};
  std::exception_ptr first_;
};

// Adds v to a sum shared by the threads of a region by compare-and-swap: no lock, and each
// thread adds once.
void sharedAdd(std::atomic<double>& sum, double v) {
  double seen = sum.load();
  while (!sum.compare_exchange_weak(seen, seen + v)) {
  }
}

// Keeps the lowest cell number handed to it (0 = none yet).
void lowestCell(std::atomic<int>& lowest, int c) {
  int seen = lowest.load();
  while ((seen == 0 || c < seen) && !lowest.compare_exchange_weak(seen, c)) {
  }
}

// What one thread does of a phase: its chunks of the working ranges, the steps that need all
// chunks done (run by one thread between barriers), and the capture of failures. The serial
// form is a team of one with one chunk, the whole range, and no region around it.
class Team {
 public:
  // The serial form on the calling thread.
  Team() = default;

  // The member of the current region that the calling thread is. A region with one thread
  // works as the serial form does, one chunk over the whole range: the routines called per
  // chunk then see no region, and the chunk steps in order make the whole range anyway.
  static Team member(Failure& failure) {
    Team t;
    t.failure_ = &failure;
    if (omp_in_parallel() == 0) return t;
    const int n = std::max(NoProcessesSolver, 1);
    const int threads = omp_get_num_threads(), me = omp_get_thread_num();
    const int q = n / threads, r = n % threads;
    t.chunks_ = n;
    t.first_ = me < r ? me * (q + 1) : r + me * q;
    t.count_ = q + (me < r ? 1 : 0);
    t.chunked_ = true;
    return t;
  }

  // True when the chunks run on several threads at once: the routines called per chunk leave
  // their whole-range steps to their AfterChunks forms.
  bool chunked() const { return chunked_; }

  template <class Body>
  void cells(Body&& body) {
    each(WCStart, WCEnd, deltac, body);
  }
  template <class Body>
  void surfaces(Body&& body) {
    each(WFStart, WFEnd, deltaf, body);
  }
  // Surface chunk i together with cell chunk i; one of the two may be empty.
  template <class Body>
  void pairs(Body&& body) {
    for (int i = first_; i < first_ + count_; ++i) {
      int f1 = 0, f2 = -1, c1 = 0, c2 = -1;
      bounds(i, WFStart, WFEnd, deltaf, f1, f2);
      bounds(i, WCStart, WCEnd, deltac, c1, c2);
      if (f1 > f2 && c1 > c2) continue;
      guard([&] { body(f1, f2, c1, c2); });
    }
  }

  // A step over the whole range after every chunk of the steps before it is done, and before
  // any chunk of the steps after it starts.
  template <class Step>
  void once(Step&& step) {
    if (!chunked_) {
      guard(step);
      return;
    }
#pragma omp barrier
#pragma omp single
    guard(step);
  }
  // Every chunk of the steps before is done before any chunk of the steps after starts.
  void sync() const {
    if (chunked_) {
#pragma omp barrier
    }
  }

 private:
  // Chunk i of first..last with chunk size `size`: first + i size onward, the last chunk
  // ending at `last`. Bounds beyond the range (chunk sizes of an earlier, larger range) are
  // cut back to it, so no chunk reaches past `last`.
  void bounds(int i, int first, int last, int size, int& lo, int& hi) const {
    if (chunks_ == 1) {
      lo = first;
      hi = last;
      return;
    }
    const long long s = std::max(size, 0);
    long long a = first + i * s;
    long long b = i == chunks_ - 1 ? last : a + s - 1;
    if (b > last) b = last;
    if (a > static_cast<long long>(last) + 1) a = static_cast<long long>(last) + 1;
    lo = static_cast<int>(a);
    hi = static_cast<int>(b);
  }

  template <class Body>
  void each(int first, int last, int size, Body& body) {
    for (int i = first_; i < first_ + count_; ++i) {
      int lo = 0, hi = -1;
      bounds(i, first, last, size, lo, hi);
      if (lo > hi) continue;
      guard([&] { body(lo, hi); });
    }
  }

  template <class Step>
  void guard(Step&& step) {
    if (!failure_) {
      step();
      return;
    }
    if (failure_->failed()) return;
    try {
      step();
    } catch (...) {
      failure_->capture();
    }
  }

  Failure* failure_ = nullptr;
  int chunks_ = 1, first_ = 0, count_ = 1;
  bool chunked_ = false;
};

// Runs fn(team) on every thread of a parallel region with the default thread count, then
// ends the run or throws what a thread met.
template <class Fn>
void runRegion(Fn&& fn) {
  Failure failure;
#pragma omp parallel
  {
    Team team = Team::member(failure);
    fn(team);
  }
  failure.rethrow();
}

template <class Fn>
void runForm(bool parallel, Fn&& fn) {
  if (parallel) {
    runRegion(fn);
  } else {
    Team serial;
    fn(serial);
  }
}

void clearNeighbours(int c1, int c2, bool second) {
  for (int c = c1; c <= c2; ++c) Cae[c] = Caw[c] = Can[c] = Cas[c] = Cat[c] = Cab[c] = 0;
  if (second && Caee)
    for (int c = c1; c <= c2; ++c)
      Caee[c] = Caww[c] = Cann[c] = Cass[c] = Catt[c] = Cabb[c] = 0;
}

// Coefficients of the non-conforming neighbour lists of cell c (F 137), entries 0..count-1 of
// each horizontal side.
double listSum(int c) {
  auto side = [c](const Table1<int>& count, const Table2<double>& a) {
    if (!count || !a) return 0.0;
    const Row1<double> row = a[c];
    const long long n = std::min<long long>(count[c], static_cast<long long>(row.n));
    double s = 0;
    for (long long k = 0; k < n; ++k) s += row[k];
    return s;
  };
  return side(Cncelle, Cqnae) + side(Cncellw, Cqnaw) + side(Cncelln, Cqnan) +
         side(Cncells, Cqnas);
}



// Pulls the new value of cell c towards its present one.
void doubleDiagonal(int c) {
  Cap[c] *= 2.0;
  Csource[c] += 0.5 * Cf[c] * Cap[c];
}

void diagonalDoubling() {
  if (FlagCorrTrekant == 11)
    for (int c = WCStart; c <= WCEnd; ++c)
      if (Ctrekant[c] > 0) doubleDiagonal(c);
  if (FlagDamp2 < 1 || FlagDamp2 > 3) return;
  for (int c = WCStart; c <= WCEnd; ++c) {
    if (FlagDamp2 == 1 && (Ccellb[c] != 0 || Ccellt[c] != 0)) continue;
    if (dampingRatio(c) <= 1.1) continue;
    doubleDiagonal(c);
    if (FlagDamp2 == 3)
      for (int n : {Ccellw[c], Ccells[c], Ccelle[c], Ccelln[c]})
        if (n > 0) doubleDiagonal(n);
  }
}

// Columns whose bottom cell lies in c1..c2 and is thin against its plan size get the column
// mean of 1/Ap in every cell (F 327). A column belongs to the chunk of its bottom cell, so
// chunks never share a column.
void smoothInverseColumns(int c1, int c2) {
  for (int c = c1; c <= c2; ++c) {
    if (Ccellb[c] != 0) continue;
    const double h = Ckdist[c] / std::sqrt(Faz[Cflateb[c]]);
    if (!(h < 0.01)) continue;
    double sum = 0;
    int n = 0;
    for (int k = c; k > 0 && n < NoCells; k = Ccellt[k]) {
      sum += CinvAp[k];
      ++n;
    }
    const double mean = sum / n;
    n = 0;
    for (int k = c; k > 0 && n < NoCells; k = Ccellt[k], ++n) CinvAp[k] = mean;
  }
}

Table1<double>& velocityOf(int e) { return e == 1 ? Cxvel : e == 2 ? Cyvel : Czvel; }

// After a region that summed residuals: ends the run on a norm that was never set. A chunk
// that finds it ends the run through endAfterResidualN; a range without cells has no chunk,
// and must end as the serial residual does.
void endOnUnsetNorm() {
  endAfterResidualN();
  if (NormResidual[Equation] < 1e-10) residualN(1, 0);
}

}  // namespace

void neighbourSum(int c1, int c2, bool second, bool lists) {
  for (int c = c1; c <= c2; ++c) Cap[c] += Cae[c] + Caw[c] + Can[c] + Cas[c] + Cat[c] + Cab[c];
  if (second)
    for (int c = c1; c <= c2; ++c)
      Cap[c] += Caee[c] + Caww[c] + Cann[c] + Cass[c] + Catt[c] + Cabb[c];
  // The second-order scheme counts the lists twice, once for each of its neighbour rows.
  if (lists)
    for (int c = c1; c <= c2; ++c) Cap[c] += (second ? 2.0 : 1.0) * listSum(c);
}

double dampingRatio(int c) {
  if (!Barea || !Cbed) return 0;
  const int b = Cbed[c];
  const double faz = Faz[Cflateb[c]];
  if (b <= 0 || faz == 0) return 0;
  return Barea[b] / faz;
}

void momentumSetupRegion() {
  if (ompbugtrap > 0) notAvailable("the coefficient bug trap of F 223 (ompbugtrapFunction)");
  const bool second = sou[1] == 1;
  runRegion([&](Team& team) {
    team.cells([&](int c1, int c2) {
      GammaCalc(c1, c2);
      clearNeighbours(c1, c2, second);
    });
  });
}

void faceFluxRegion() {
  bool chunked = false;
  runRegion([&](Team& team) {
    if (omp_get_thread_num() == 0) chunked = team.chunked();
    team.surfaces([](int f1, int f2) { waterflow(f1, f2); });
  });
  if (chunked) waterflowAfterChunks();
}

void coefficientRegion(bool momentum) {
  if (momentum && sou[1] == 1)
    notAvailable("the second-order upwind coefficients of the velocities (coeff_make_sou2)");
  bool chunked = false;
  runRegion([&](Team& team) {
    if (omp_get_thread_num() == 0) chunked = team.chunked();
    team.surfaces([](int f1, int f2) { coeff_make(f1, f2); });
  });
  if (chunked) coeff_makeAfterChunks(WFStart, WFEnd);
}

void momentumWallRegion() {
  if (FlagBrenix > 0 && Equation < 3)
    notAvailable("the roughness-layer drag of F 189 (computeBrenix)");
  runRegion([&](Team& team) {
    team.cells([](int c1, int c2) {
      for (int c = c1; c <= c2; ++c) Cap[c] = Csource[c] = 0;
      wall_laws(c1, c2);
      pressure_source(c1, c2);
    });
  });
}

void turbulenceSetupRegion() {
  const bool second = sou[Equation] == 1;
  const bool sources = TurbulenceModel < 2 || TurbulenceModel > 7;
  runRegion([&](Team& team) {
    team.cells([&](int c1, int c2) {
      GammaCalc(c1, c2);
      clearNeighbours(c1, c2, second);
      if (sources) turbulence(c1, c2);
      wall_laws(c1, c2);
    });
  });
}

double pressureCentralRegion() {
  // Terms that read other cells wait for every chunk's coefficients: the residual then needs
  // a second region.
  const bool options = pressureCentralOptionsOn();
  std::atomic<double> sum{0.0};
  auto finish = [&sum](Team& team) {
    double part = 0;
    team.cells([&](int c1, int c2) {
      part += residualN(c1, c2);
      for (int c = c1; c <= c2; ++c) Cf[c] = 0;
    });
    sharedAdd(sum, part);
  };
  runRegion([&](Team& team) {
    team.cells([](int c1, int c2) { pressureCentralCells(c1, c2); });
    if (!options) finish(team);
  });
  if (options) {
    pressureCentralOptions();
    runRegion(finish);
  }
  endOnUnsetNorm();
  // The serial residual of the pressure correction takes the net discharge of the groups off
  // the summed defects; so does the threaded one, or the thread count would move the
  // convergence test of runs whose groups do not balance.
  if (FlagResidual == 1 && Equation == 4) return sum.load() - GlobFluxDefect / NormResidual[4];
  return sum.load();
}

void correctionsRegion(int m) {
  SimpleCorrectionsBeforeChunks();
  runRegion([&](Team& team) {
    team.pairs([m](int f1, int f2, int c1, int c2) { SimpleCorrections(m, f1, f2, c1, c2); });
  });
}

void momentumFinish(bool parallel) {
  const int e = Equation;
  if (e < 1 || e > 3)
    failf(1, "Error, the momentum relaxation is for the equations 1 to 3, not for Equation %d\n",
          e);
  if (FlagCoupledNesting >= 11 && FlagCoupledNesting <= 19)
    notAvailable("the coupled nesting solve of F 261 (CoupledSolver2Nesting)");

  Table1<double>& phi = velocityOf(e);
  const bool transient = TimeStep > 1e-8;
  const bool early = transient && TimeRelaxFlag == 0, late = transient && TimeRelaxFlag != 0;
  const bool second = sou[e] == 1 && Caee;
  const bool lists = QNFlag > 0 && Cncelle;
  const bool oneCell = OneCellSource == 1;
  const bool simplec = FlagSIMPLE == 1 && e == 1 && CinvApP;
  const bool doubling = FlagCorrTrekant == 11 || (FlagDamp2 >= 1 && FlagDamp2 <= 3);
  const bool inverse = e == 1, smooth = e == 1 && FlagInvApSmooth == 1;
  const double keep = 1.0 - relaxVelocity, inv = invRelaxVelocity;
  std::atomic<int> bad{0};
  std::atomic<double> sum{0.0};

  runForm(parallel, [&](Team& team) {
    if (early) {
      team.cells([](int c1, int c2) { addTimestep(c1, c2); });
      if (team.chunked()) team.once([] { addTimestepAfterChunks(); });
    }
    team.cells([&](int c1, int c2) {
      if (oneCell)
        for (int c = c1; c <= c2; ++c)
          if (Conecell[c] == 1) Cap[c] += 1000.0 * Cvol[c];
      // The SIMPLEC factor 1 / (Ap / relaxVelocity - sum of anb) of the relaxed equation:
      // relaxVelocity / (S + (1 - relaxVelocity) sum of anb), S being what Cap holds before the
      // neighbours enter. S alone is 0 in a steady cell without wall or source terms; where
      // the whole denominator vanishes (relaxVelocity 1) the plain SIMPLE factor is taken.
      if (simplec)
        for (int c = c1; c <= c2; ++c) CinvApP[c] = Cap[c];
      neighbourSum(c1, c2, second, lists);
      if (simplec)
        for (int c = c1; c <= c2; ++c) {
          const double d = CinvApP[c] + keep * (Cap[c] - CinvApP[c]);
          CinvApP[c] = relaxVelocity / (d > 1e-30 ? d : Cap[c]);
        }
    });
    if (FlagAddApTrekant > 0) team.once([] { addApAfterChunks(WCStart, WCEnd); });
    team.cells([&](int c1, int c2) {
      for (int c = c1; c <= c2; ++c) {
        Cap[c] *= inv;
        Csource[c] += keep * phi[c] * Cap[c];
      }
    });
    if (doubling || late)
      team.once([&] {
        if (doubling) diagonalDoubling();
        if (late) {
          addTimestep(WCStart, WCEnd);
          if (team.chunked()) addTimestepAfterChunks();
        }
      });
    if (inverse)
      team.cells([&](int c1, int c2) {
        for (int c = c1; c <= c2; ++c) {
          if (Cap[c] < 1e-30 || Cap[c] > 1e20) {
            lowestCell(bad, c);
            return;
          }
          CinvAp[c] = 1.0 / Cap[c];
        }
      });
    if (smooth) {
      team.sync();
      team.cells([&](int c1, int c2) {
        if (bad.load() == 0) smoothInverseColumns(c1, c2);
      });
    }
    if (parallel) {
      double part = 0;
      team.cells([&](int c1, int c2) {
        if (bad.load() == 0) part += residualN(c1, c2);
      });
      sharedAdd(sum, part);
    }
  });
  if (bad.load() != 0) printErrorAp(bad.load());
  if (parallel) {
    endOnUnsetNorm();
    MaxResidual[e] = sum.load();
  } else {
    MaxResidual[e] = 0;
    residual(WCStart, WCEnd);
  }
}

void turbulenceFinish(bool parallel, double r, bool keepPenalised) {
  const int e = Equation;
  const bool transient = TimeStep > 1e-8;
  const bool second = sou[e] == 1 && Caee;
  const bool lists = QNFlag > 0 && Cncelle;
  std::atomic<double> sum{0.0};

  runForm(parallel, [&](Team& team) {
    if (transient) {
      team.cells([](int c1, int c2) { addTimestep(c1, c2); });
      if (team.chunked()) team.once([] { addTimestepAfterChunks(); });
    }
    team.cells([&](int c1, int c2) {
      neighbourSum(c1, c2, second, lists);
      for (int c = c1; c <= c2; ++c) {
        // Cells whose value the wall laws fix by a penalty keep their equation as it is.
        if (keepPenalised && !(Cap[c] < 1e20)) continue;
        Cap[c] /= r;
        Csource[c] += (1.0 - r) * Cf[c] * Cap[c];
      }
    });
    if (parallel) {
      double part = 0;
      team.cells([&](int c1, int c2) { part += residualN(c1, c2); });
      sharedAdd(sum, part);
    }
  });
  if (parallel) {
    endOnUnsetNorm();
    MaxResidual[e] = sum.load();
  } else {
    MaxResidual[e] = 0;
    residual(WCStart, WCEnd);
  }
}

}  // namespace qorva
