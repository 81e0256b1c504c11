// Residuals of the current Equation (1..6): how far Cf is from satisfying
// Cap·φ = Σ a_nb·φ_nb + Csource, summed over a cell range and divided by NormResidual; reports
// of large residuals.
// Reads Cf, Cap, Cae..Cab, Caee..Cabb, Csource, the neighbour and multi-neighbour lists,
// NormResidual, GlobFluxDefect; writes MaxResidual (residual only) and Cxvel_res..Cepsilon_res.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <string>

#include "flow/flow.h"
#include "solvers/solvers.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// An error that residualN meets on a chunk cannot end the run while the other chunks work; the
// first one is kept and endAfterResidualN ends the run with it once the region is over.
enum Pending { kNone = 0, kNormNotSet = 1, kNoLog = 2 };
std::atomic<int> pending{kNone};

bool keep(Pending p) {
  int none = kNone;
  return pending.compare_exchange_strong(none, p);
}

// How a residual sum meets an error: at once (the serial residual), or kept for
// endAfterResidualN (a chunk of a threaded phase, while the other chunks work).
enum class Ending { Now, AfterRegion };

// Appends to the log; a log that cannot be opened ends the run with status -3, at once or
// after the region, whatever else a chunk has kept: the message it could not write is lost.
void report(const std::string& text, Ending ending) {
  if (appendToLog(text)) return;
  if (ending == Ending::Now) endLogFailed();
  pending.store(kNoLog);
}

// Field values read by index, checked against the field's size in the test build.
struct View {
  const double* p;
  std::size_t n;
  double operator[](long long i) const {
    QORVA_BOUND(i, n);
    return p[i];
  }
};

bool haveSecondNeighbours() { return Caee && Caww && Cann && Cass && Catt && Cabb; }
bool haveQnLists() {
  return Cncelle && Cncellw && Cncelln && Cncells && Cqncelle && Cqncellw && Cqncelln &&
         Cqncells && Cqnae && Cqnaw && Cqnan && Cqnas;
}
bool haveQnSecondRows() { return Cqnaee && Cqnaww && Cqnann && Cqnass; }

enum class Form { First, Second, QnFirst, QnSecond, Mass };

// The form of the residual. Without the second-neighbour arrays (a scheme that was not set when
// they were created) those coefficients count as zero, which is the first-order form.
Form formOf() {
  if (Equation == 4) return Form::Mass;
  const bool second = sou[Equation] == 1 && haveSecondNeighbours();
  if (QNFlag > 0 && FlagResidual != 1 && haveQnLists())
    return second && haveQnSecondRows() ? Form::QnSecond : Form::QnFirst;
  return second ? Form::Second : Form::First;
}

// One horizontal side of the multi-neighbour form.
struct QnSide {
  const Table1<int>& count;
  const Table2<int>& list;
  const Table2<double>& a;
  const Table2<double>& b;  // beyond each listed cell; read only in the second-order form
  const Table1<int>& next;  // neighbour on this side
  const Table1<double>& a1;
  const Table1<double>& a2;
};

template <bool Second>
double qnSide(const QnSide& s, int c, const View& f) {
  const int n = s.count[c];
  if (n < 0) return 0.0;
  if (n == 0) {
    const int nb = s.next[c];
    double r = s.a1[c] * f[nb];
    if constexpr (Second) r += s.a2[c] * f[s.next[nb]];
    return r;
  }
  // A row holds as many entries as the lists were created with; a larger count reads no further.
  const int m = std::min(n, static_cast<int>(s.a.dim(1)));
  const int q0 = s.list[c][0];
  double r = 0.0;
  for (int k = 0; k < m; ++k) {
    const int q = q0 + k;
    r += s.a[c][k] * f[q];
    if constexpr (Second) r += s.b[c][k] * f[s.next[q]];
  }
  return r;
}

// The lines of the cell dump of debugging 'E'.
std::string cellDump(int c, bool second) {
  const bool mass = Equation == 4;
  const int w = Ccellw[c], e = Ccelle[c], n = Ccelln[c], s = Ccells[c], b = Ccellb[c],
            t = Ccellt[c];
  auto seven = [&](const char* name, const Table1<double>& v) {
    if (mass) return strf("%s: %lg %lg %lg %lg %lg\n", name, v[c], v[w], v[e], v[n], v[s]);
    return strf("%s: %lg %lg %lg %lg %lg %lg %lg\n", name, v[c], v[w], v[e], v[n], v[s], v[b],
                v[t]);
  };
  std::string out = strf("Source, ap, anb = %lg %lg %lg %lg %lg %lg %lg %lg\n", Csource[c],
                         Cap[c], Caw[c], Cae[c], Can[c], Cas[c], Cat[c], Cab[c]);
  if (second)
    out += strf("anbb = %lg %lg %lg %lg %lg %lg\n", Caww[c], Caee[c], Cann[c], Cass[c], Catt[c],
                Cabb[c]);
  out += strf("Vol, Ckdist, areas: %lg %lg %lg %lg %lg %lg\n", Cvol[c], Ckdist[c],
              Farea[Cflatew[c]], Farea[Cflatee[c]], Farea[Cflaten[c]], Farea[Cflates[c]]);
  out += seven("InvAp", CinvAp);
  out += strf("Fluxes: %lg %lg %lg %lg %lg %lg\n", Fflux[Cflatew[c]], Fflux[Cflatee[c]],
              Fflux[Cflaten[c]], Fflux[Cflates[c]], Fflux[Cflateb[c]], Fflux[Cflatet[c]]);
  out += seven("X-velocities", Cxvel);
  out += seven("Y-velocities", Cyvel);
  out += seven("Z-velocities", Czvel);
  out += seven("kinen", Ckinen);
  out += seven("epsilon", Cepsilon);
  if (second)
    out += strf("epsilon,nbb: %lg %lg %lg %lg %lg %lg\n", Cepsilon[Ccellw[w]],
                Cepsilon[Ccelle[e]], Cepsilon[Ccelln[n]], Cepsilon[Ccells[s]],
                Cepsilon[Ccellb[b]], Cepsilon[Ccellt[t]]);
  out += seven("gamma", Cgamma);
  if (!mass) out += seven("Pressure", Cpres);
  out += strf("TurbDensFlag: %d, TurbulenceModel %d, MinGamma %lg, ArtEddyVisc %lg\n",
              TurbDensFlag, TurbulenceModel, MinGamma, ArtEddyVisc);
  auto eps = [&](const char* name, int x, const char* end) {
    return strf("Eps-data %s: %d %d %d %d %d %d %lg %lg %lg %lg\n%s", name,
                Fflagflow[Cflatew[x]], Fflagflow[Cflatee[x]], Fflagflow[Cflaten[x]],
                Fflagflow[Cflates[x]], Fflagflow[Cflatet[x]], Fflagflow[Cflateb[x]], Cidist[x],
                Cjdist[x], Ckdist[x], Cconc ? Cconc[0][x] : 0.0, end);
  };
  out += eps("central", c, "");
  out += eps("west", w, "");
  out += eps("east", e, "");
  out += eps("north", n, "");
  out += eps("south", s, "\n");
  return out;
}

// Σ |rc| over the cells first..last by the form of the equation, with the per-cell fields and
// the reports of large residuals.
double residualSum(int first, int last, Ending ending) {
  const Form form = formOf();
  const int eq = Equation;
  const View f{Cf.data(), Cf.size()};
  const bool keepFields = FlagResidual == 1;
  const bool reports = FlagResidual != 1 && form != Form::QnFirst && form != Form::QnSecond;
  Table1<double>* field = keepFields ? residualField(eq) : nullptr;
  if (field && !*field) field = nullptr;
  const double limit =
      NoCells > 0 ? std::max(InputErrorLimit * NormResidual[eq] / NoCells, 0.01) : 0.01;

  const QnSide sides[4] = {{Cncelle, Cqncelle, Cqnae, Cqnaee, Ccelle, Cae, Caee},
                           {Cncellw, Cqncellw, Cqnaw, Cqnaww, Ccellw, Caw, Caww},
                           {Cncelln, Cqncelln, Cqnan, Cqnann, Ccelln, Can, Cann},
                           {Cncells, Cqncells, Cqnas, Cqnass, Ccells, Cas, Cass}};

  double sum = 0.0;
  for (int c = first; c <= last; ++c) {
    double rc;
    if (form == Form::Mass) {
      rc = Csource[c];
      if (keepFields && Cpres_res) Cpres_res[c] = Csource[c];
    } else {
      if (Cap[c] >= 1e15) continue;  // held at a fixed value by the penalty
      switch (form) {
        case Form::First:
        case Form::Second:
          rc = Cae[c] * f[Ccelle[c]] + Caw[c] * f[Ccellw[c]] + Can[c] * f[Ccelln[c]] +
               Cas[c] * f[Ccells[c]] + Cat[c] * f[Ccellt[c]] + Cab[c] * f[Ccellb[c]];
          if (form == Form::Second)
            rc += Caee[c] * f[Ccelle[Ccelle[c]]] + Caww[c] * f[Ccellw[Ccellw[c]]] +
                  Cann[c] * f[Ccelln[Ccelln[c]]] + Cass[c] * f[Ccells[Ccells[c]]] +
                  Catt[c] * f[Ccellt[Ccellt[c]]] + Cabb[c] * f[Ccellb[Ccellb[c]]];
          break;
        default: {
          // Only the vertical first neighbours; the sides by their lists.
          rc = Cat[c] * f[Ccellt[c]] + Cab[c] * f[Ccellb[c]];
          for (const QnSide& s : sides)
            rc += form == Form::QnSecond ? qnSide<true>(s, c, f) : qnSide<false>(s, c, f);
          break;
        }
      }
      rc += Csource[c] - Cap[c] * f[c];
      if (field) (*field)[c] = rc / Cap[c];
    }
    const double a = std::fabs(rc);
    sum += a;
    if (reports && (a > limit || (eq != 4 && a > 10000.0)) && pending.load() != kNoLog) {
      std::string text = strf("Large residual for f(%d,%d) : %lg, value: %lf\n", c, eq, a, f[c]);
      if (debugging == 'E') text += cellDump(c, form == Form::Second);
      report(text, ending);
    }
  }
  return sum;
}

}  // namespace

double residual(int first, int last) {
  double s = residualSum(first, last, Ending::Now);
  if (FlagResidual == 1 && Equation == 4) s -= GlobFluxDefect;
  const double norm = NormResidual[Equation];
  if (norm < 1e-10) {
    // A norm that was never set is a failed run, not a normal end.
    report(strf("Error, residual not set for Equation no. %d\n", Equation) +
           "This error often occur when inflow discharges are not set.\n\n",
           Ending::Now);
    endRun(1);
  }
  MaxResidual[Equation] += s / norm;
  return MaxResidual[Equation];
}

double residualN(int first, int last) {
  if (pending.load() == kNormNotSet) return 0.0;
  const double s = residualSum(first, last, Ending::AfterRegion);
  const double norm = NormResidual[Equation];
  if (norm < 1e-10) {
    if (!keep(kNormNotSet)) return 0.0;  // another chunk has reported it
    report(strf("Error residual not set for equation %d\n", Equation) +
           "This error often occurs when the inflow discharge is not set\n"
           "The discharge can be set in the DischargeEditor or on the F 237 data set in the "
           "control file\n"
           "Default discharge groups can be set on the F 314 data set in the control file\n\n",
           Ending::AfterRegion);
    return 0.0;
  }
  return s / norm;
}

void endAfterResidualN() {
  const int p = pending.exchange(kNone);
  if (p == kNormNotSet) endRun(1);
  if (p == kNoLog) endLogFailed();
}

}  // namespace qorva
