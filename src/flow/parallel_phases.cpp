// Parallel phases of an inner iteration (F 206) and the per-cell finishing of the momentum, k
// and epsilon equations that the serial and the parallel forms share.
// Reads WCStart..WFEnd, deltac, deltaf, NoProcessesSolver, Equation, sou, the coefficients;
// writes Cap, Csource, Cae..Cab, Caee..Cabb, CinvAp, CinvApP, Cf, MaxResidual[Equation].
#include <omp.h>

#include <algorithm>
#include <atomic>
#include <cmath>

#include "discretisation/discretisation.h"
#include "flow/flow.h"
#include "flow/water_solve.h"
#include "grid/columns.h"
#include "pressure/pressure.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "state/team.h"
#include "turbulence/turbulence.h"

namespace qorva {

namespace {

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
    upColumn(c, [&](int k) {
      sum += CinvAp[k];
      ++n;
    });
    const double mean = sum / n;
    upColumn(c, [mean](int k) { CinvAp[k] = mean; });
  }
}

// 1/Ap of the u equation in cells c1..c2; the first cell whose Ap is not a usable number
// (below 1e-30 or above 1e20) is kept in `bad`, and the chunk stops there.
void inverseCentral(int c1, int c2, std::atomic<int>& bad) {
  for (int c = c1; c <= c2; ++c) {
    if (Cap[c] < 1e-30 || Cap[c] > 1e20) {
      lowestCell(bad, c);
      return;
    }
    CinvAp[c] = 1.0 / Cap[c];
  }
}

Table1<double>& velocityOf(int e) { return e == 1 ? Cxvel : e == 2 ? Cyvel : Czvel; }

// After a region that summed residuals: ends the run on a norm that was never set. A chunk
// that finds it ends the run through endAfterResidualN; a range without cells has no chunk,
// and must end as the serial residual does.
void endOnUnsetNorm() {
  endAfterResidualN();
  if (NormResidual[Equation] < 1e-10) {
    residualN(1, 0);
    endAfterResidualN();
  }
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

bool porousBedTerms(int e) {
  if (e >= 1 && e <= 3) return FlagBedPoros == 1 || PorosWallFlag == 2 || PorosWallFlag == 3;
  return e == 5 && FlagBedPoros == 1;
}

double dampingRatio(int c) {
  if (!Barea || !Cbed) return 0;
  const int b = Cbed[c];
  const double faz = Faz[Cflateb[c]];
  if (b <= 0 || faz == 0) return 0;
  return Barea[b] / faz;
}

void momentumSetupRegion() {
  const bool second = sou[1] == 1, trap = ompbugtrap > 0;
  runRegion([&](Team& team) {
    team.cells([&](int c1, int c2) {
      GammaCalc(c1, c2, team.share());
      clearNeighbours(c1, c2, second);
      if (trap) ompbugtrapFunction(c1, c2);
    });
  });
}

void faceFluxRegion() {
  bool chunked = false;
  runRegion([&](Team& team) {
    if (omp_get_thread_num() == 0) chunked = team.chunked();
    team.surfaces([&](int f1, int f2) { waterflow(f1, f2, team.share()); });
  });
  if (chunked) waterflowAfterChunks();
}

void coefficientRegion(bool momentum) {
  const bool sou2 = momentum && sou[1] == 1;
  bool chunked = false;
  runRegion([&](Team& team) {
    if (omp_get_thread_num() == 0) chunked = team.chunked();
    team.surfaces([&](int f1, int f2) {
      if (sou2)
        coeff_make_sou2(f1, f2);
      else
        coeff_make(f1, f2, team.share());
    });
  });
  if (chunked) coeff_makeAfterChunks(WFStart, WFEnd);
}

void momentumWallRegion() {
  const bool brenix = FlagBrenix > 0 && Equation < 3;
  runRegion([&](Team& team) {
    team.cells([&](int c1, int c2) {
      for (int c = c1; c <= c2; ++c) Cap[c] = Csource[c] = 0;
      wall_laws(c1, c2);
      pressure_source(c1, c2);
      if (brenix) computeBrenix(c1, c2);
    });
  });
}

void turbulenceSetupRegion() {
  const bool second = sou[Equation] == 1;
  const bool sources = TurbulenceModel < 2 || TurbulenceModel > 7;
  runRegion([&](Team& team) {
    team.cells([&](int c1, int c2) {
      GammaCalc(c1, c2, team.share());
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

  Table1<double>& phi = velocityOf(e);
  const bool transient = TimeStep > 1e-8;
  const bool early = transient && TimeRelaxFlag == 0, late = transient && TimeRelaxFlag != 0;
  const bool second = sou[e] == 1 && Caee;
  const bool lists = QNFlag > 0 && Cncelle;
  const bool oneCell = OneCellSource == 1;
  const bool simplec = FlagSIMPLE == 1 && e == 1 && CinvApP;
  const bool doubling = FlagCorrTrekant == 11 || (FlagDamp2 >= 1 && FlagDamp2 <= 3);
  const bool coupled = FlagCoupledNesting >= 11 && FlagCoupledNesting <= 19;
  const bool inverse = e == 1, smooth = e == 1 && FlagInvApSmooth == 1;
  const bool porous = porousBedTerms(e);
  const double keep = 1.0 - relaxVelocity, inv = invRelaxVelocity;
  std::atomic<int> bad{0};
  std::atomic<double> sum{0.0};

  runForm(parallel, [&](Team& team) {
    if (early) {
      team.cells([&](int c1, int c2) { addTimestep(c1, c2, team.share()); });
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
    // The porous bed needs the whole central coefficient of its columns.
    if (porous) team.once([e] { TSCstabilityFunction(e); });
    team.cells([&](int c1, int c2) {
      for (int c = c1; c <= c2; ++c) {
        Cap[c] *= inv;
        Csource[c] += keep * phi[c] * Cap[c];
      }
    });
    if (doubling || late || coupled)
      team.once([&] {
        if (doubling) diagonalDoubling();
        if (late) addTimestep(WCStart, WCEnd);
        if (coupled) CoupledSolver2Nesting();
      });
    if (inverse) team.cells([&](int c1, int c2) { inverseCentral(c1, c2, bad); });
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
  // The nesting coupling of k (F 261 13) after its relaxation; the threaded form takes it too.
  const bool coupled = e == 5 && FlagCoupledNesting == 13;
  const bool porous = porousBedTerms(e);
  std::atomic<double> sum{0.0};

  runForm(parallel, [&](Team& team) {
    if (transient) {
      team.cells([&](int c1, int c2) { addTimestep(c1, c2, team.share()); });
      if (team.chunked()) team.once([] { addTimestepAfterChunks(); });
    }
    if (porous) {
      team.cells([&](int c1, int c2) { neighbourSum(c1, c2, second, lists); });
      team.once([e] { TSCstabilityFunction(e); });
    }
    team.cells([&](int c1, int c2) {
      if (!porous) neighbourSum(c1, c2, second, lists);
      for (int c = c1; c <= c2; ++c) {
        // Cells whose value the wall laws fix by a penalty keep their equation as it is.
        if (keepPenalised && !(Cap[c] < 1e20)) continue;
        Cap[c] /= r;
        Csource[c] += (1.0 - r) * Cf[c] * Cap[c];
      }
    });
    if (coupled) team.once([] { CoupledSolver2Nesting(); });
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
