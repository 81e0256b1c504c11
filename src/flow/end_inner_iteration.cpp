// End of an inner iteration of the flow drivers: the largest residual, the residual line and
// its diagnostics in `boogie`, the history `tafnor`, and the decisions converged, flushed,
// diverged, continuity error and debug stop.
// Reads MaxResidual, NormResidual, GlobContinuity, GlobDefMax, Glob_dmI, DischargeArray, otime;
// writes ResMax, ResMaxPrev, mc_message, mc_v1, FlagErrorBreak, FlagFlushIter, FlushedNo,
// IterConverged.
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>

#include "flow/flow.h"
#include "output/output.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/options.h"
#include "state/points.h"
#include "state/safe_file.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// `boogie` held open for appending while one inner iteration is closed.
class Log {
 public:
  Log() : f_("boogie", "a") {
    if (!f_) endLogFailed();
  }
  Log(const Log&) = delete;
  Log& operator=(const Log&) = delete;

  void put(const char* fmt, ...) __attribute__((format(printf, 2, 3))) {
    va_list ap;
    va_start(ap, fmt);
    std::vfprintf(f_.get(), fmt, ap);
    va_end(ap);
  }
  // Before a routine that may write to the log itself, so the lines stay in order.
  void flush() { std::fflush(f_.get()); }
  // A log that did not take its lines ends the run: they would be lost without a word.
  void close() {
    if (!f_.close()) endLogFailed();
  }

 private:
  File f_;
};

bool isCell(int c) { return c >= 1 && c <= NoCells && static_cast<std::size_t>(c) < Cxvel.size(); }

// Cell number or 0, for lines that name a cell that may not exist.
int cellOrZero(int c) { return isCell(c) ? c : 0; }

// The top cell of the column of c, followed upward; a broken chain stops after NoCells steps.
int topOf(int c) {
  for (int steps = 0; Ccellt[c] > 0 && steps < NoCells; ++steps) c = Ccellt[c];
  return c;
}

void printSpecials(Log& log) {
  switch (PrintSpecials) {
    case 1:
      if (NoComponents > 1) {
        double amount = 0;
        for (int c = WCStart; c <= WCEnd; ++c) amount += Ccomp[1][c] * Cvol[c];
        log.put("Amount: %e\n", amount);
      }
      break;
    case 2:
      if (NoComponents > 0) {
        double mass = 0, volume = 0;
        for (int c = WCStart; c <= WCEnd; ++c)
          if (Ccellt[c] == 0) {
            mass += Ccomp[0][c] * Cvol[c];
            volume += Cvol[c];
          }
        log.put("Average surface conc.: %e\n", volume > 0 ? mass / volume : 0.0);
      }
      break;
    case 3: {
      double u = 0, v = 0;
      int n = 0;
      for (int c = WCStart; c <= WCEnd; ++c)
        if (Ccellt[c] == 0) {
          u += Cxvel[c];
          v += Cyvel[c];
          ++n;
        }
      if (n > 0) {
        u /= n;
        v /= n;
      }
      log.put("Average top velocity: %e\n", std::sqrt(u * u + v * v));
      break;
    }
    case 4:
      log.put("Number of cells: %d, surfaces: %d, points: %d\n", NoCells, NoSurfaces, NoPoints);
      break;
    case 5:
      log.put("x,z_bed,z_surf,shear\n");
      for (int c = WCStart; c <= WCEnd; ++c)
        if (Ccellb[c] == 0) {
          const int t = topOf(c);
          log.put("%lf %lf %lf %lf\n", Cxcenter[c], Czcenter[c] - Ckdist[c],
                  Czcenter[t] + Ckdist[t], 300.0 * Ckinen[c]);
        }
      break;
    default:
      break;
  }
}

// The residual line of the iteration and the lines that go with it.
void residualLines(Log& log, int inner) {
  log.put("Iter: %d, Resid: %8.2le %8.2le %8.2le %8.2le %8.2le %8.2le\n", Iter, MaxResidual[1],
          MaxResidual[2], MaxResidual[3], MaxResidual[4], MaxResidual[5], MaxResidual[6]);
  if (debugging == 'D') {
    const int d = cellOrZero(Glob_dmI);
    log.put("Cont: %14.8e, DefMax: %4.8e, U,V,W(%d): %14.8e %14.8e %14.8e\n", GlobContinuity,
            GlobDefMax, Glob_dmI, Cxvel[d], Cyvel[d], Czvel[d]);
    if (TimeStep > 1e-8 && TimeInNo > 0) {
      log.put("Time: %lf seconds\n", stimet);
      for (int g = 1; g <= 2; ++g)
        log.put("Water discharge (l/s), group %d: %lf, surfno: %d\n", g, DischargeArray[g],
                DischargeStruct[g].surfaceNo);
      for (int g = 3; g <= 9 && DischargeArray[g] > 1e-20; ++g)
        log.put("Water discharge (l/s), group %d: %lf\n", g, DischargeArray[g]);
    }
  }
  if (FlagTafnor == 1) {
    // A history with lines missing would look complete: a line that is not written ends the run.
    File t("tafnor", "a");
    if (!t) failAppend("tafnor", std::strerror(errno), -4);
    std::fprintf(t.get(), "%d %lf %lf %lf %lf %lf %lf\n", Iter, MaxResidual[1], MaxResidual[2],
                 MaxResidual[3], MaxResidual[4], MaxResidual[5], MaxResidual[6]);
    t.closeOrEnd("tafnor", -4);
  }
  if (debugging == 'D')
    log.put("NoCells = %d, NoSurfaces = %d, NoPoints = %d, InnerIter = %d\n", NoCells,
            NoSurfaces, NoPoints, inner);
  if (debugging == 'P' && FlagThixoIsComputing == 0)
    for (int k = 1; k <= 32; ++k)
      log.put("OpenMP %d = %.16g, %16lf\n", k, otime[k] - otime[0], otime[k] - otime[k - 1]);
  printSpecials(log);
}

// Report of the cell with the largest mass defect when the computation diverges.
void divergenceCellReport(Log& log) {
  const int c = Glob_dmI;
  log.put("Max. water defect in cell %d\n", c);
  if (!isCell(c)) return;  // no defect was located: nothing more to show
  log.put("Corner heights Pz(1-4): %lf %lf %lf %lf\n\n", Pz[Cpoint5[c]] - Pz[Cpoint1[c]],
          Pz[Cpoint6[c]] - Pz[Cpoint2[c]], Pz[Cpoint7[c]] - Pz[Cpoint3[c]],
          Pz[Cpoint8[c]] - Pz[Cpoint4[c]]);
  const int b = Cbed[c];
  const bool column = b > 0 && Bkooi && Bkooj && static_cast<std::size_t>(b) < Bkooi.size();
  const int i = column ? Bkooi[b] : 0, j = column ? Bkooj[b] : 0;
  const int ci[4] = {i - 1, i, i, i - 1}, cj[4] = {j - 1, j - 1, j, j};
  auto inside = [&](std::size_t ni, std::size_t nj) {
    return column && i >= 1 && j >= 1 && static_cast<std::size_t>(i) < ni &&
           static_cast<std::size_t>(j) < nj;
  };
  if (zval && inside(zval.dim(0), zval.dim(1)) && static_cast<std::size_t>(znumber) < zval.dim(2)) {
    log.put("Corner zval[1]:       %lf %lf %lf %lf\n", zval[ci[0]][cj[0]][1],
            zval[ci[1]][cj[1]][1], zval[ci[2]][cj[2]][1], zval[ci[3]][cj[3]][1]);
    log.put("Corner zval[znumber]: %lf %lf %lf %lf\n", zval[ci[0]][cj[0]][znumber],
            zval[ci[1]][cj[1]][znumber], zval[ci[2]][cj[2]][znumber],
            zval[ci[3]][cj[3]][znumber]);
  }
  if (Surfaces && Surfaces.dim(0) > 3 && inside(Surfaces.dim(1), Surfaces.dim(2)))
    log.put("Corner Surfaces[LB]:  %lf %lf %lf %lf\n", Surfaces[3][ci[0]][cj[0]],
            Surfaces[3][ci[1]][cj[1]], Surfaces[3][ci[2]][cj[2]], Surfaces[3][ci[3]][cj[3]]);
  log.put("Epsilon = %lf, Source = %lf, Cap = %lf, S/Cap = %lf\n", Cepsilon[c], Csource[c],
          Cap[c], Csource[c] / Cap[c]);
}

}  // namespace

int printEndWaterSolve(int inner) {
  // A residual error met inside a parallel region ends the run here at the latest.
  endAfterResidualN();

  ResMaxPrev = ResMax;
  double m = 0;
  int eMax = 0;
  bool nan = false;
  for (int e = 1; e <= 6; ++e) {
    if (MaxResidual[e] < 1e-90) MaxResidual[e] = 0;
    if (std::isnan(MaxResidual[e])) nan = true;
    if (MaxResidual[e] > m) {
      m = MaxResidual[e];
      eMax = e;
    }
  }
  ResMax = nan ? std::numeric_limits<double>::quiet_NaN() : m;
  const double M = ResMax;

  Log log;
  const bool transient = TimeStep > 1e-8;
  if (FlagPrint == 0 &&
      (inner == TransInnerIter || (transient && M < TimeBreakLimit && FlagMPI == 0)))
    residualLines(log, inner);

  mc_message = strf("%d ResMax: %8.2e for eq: %d", Iter, M, eMax);

  if (M < 0.001 && (TimeStep < 1e-8 || FlagStopTime == 1) && FlagMPI == 0) {
    log.put("Solution converged\n");
    // The count a user looks for; boogie prints only some of the iteration lines.
    log.put("Solution converged after %d outer iterations\n", Iter);
    IterConverged = Iter;
    mc_message = "Solution converged  ";
    log.close();
    mc_v1 = "Written from watersolver due to convergence";
    sprintflow();
    return 1;
  }

  const bool flush = FlagFlush > 0 && M > 5e8 && M > ResMaxPrev && FlagFlushIter < FlagFlush;
  if (flush) {
    ++FlagFlushIter;
    ++FlushedNo;
    log.put("Solution flushed at Iter=%d, InnerIter=%d, Residual=%lf, relax=%lf, "
            "TotalFlushings = %d\n",
            Iter, inner, M, relaxPressure, FlushedNo);
    log.flush();
    flushFunction(FlagFlushIter);
  }

  if (!flush && (std::isnan(M) || (M > MaxCrashDef && FlagFlushIter >= FlagFlush))) {
    log.put("Solution diverged after %d inner and %d outer iterations\n", inner, Iter);
    log.put("Max residual is %le\n", M);
    if (debugging == 'D') divergenceCellReport(log);
    if (FlagReadUnstruc <= 1) {
      log.put("A possible reason is that an older version of the unstruc file is used\n");
      log.put("and the corresponding koordina file is not read or the G 1 data set is "
              "changed\n\n");
    }
    mc_message = "Solution diverged  ";
    FlagErrorBreak = 1;
    log.close();
    printAtCrash();
    return 1;
  }

  if (std::fabs(GlobContinuity) / NormResidual[4] > 1e-6 && FlagTFS == 0 &&
      ContinuityFlag == 0) {
    log.put("Error in continuity, WaterSolve. Defect = %lf l/s\n", GlobContinuity);
    mc_message = "Error in continuity  ";
    FlagErrorBreak = 1;
    log.close();
    return 1;
  }

  if (FlagPresDebug == 99) {
    mc_message = "Stopped for debug info    ";
    log.close();
    FlagErrorBreak = 1;  // set first, so that it holds whatever the output step does
    sprintflow();
    return 1;
  }

  log.close();
  return 0;
}

double computePresResStat() {
  if (NoCells < 1 || !Cpres_res) return 0.0;
  double sum = 0;
  for (int c = 1; c <= NoCells; ++c) sum += std::fabs(Cpres_res[c]);
  return 3.0 * sum / NoCells;
}

}  // namespace qorva
