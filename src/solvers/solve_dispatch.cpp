// The solver dispatch: picks the sweep method for the current Equation and runs it over the
// working range. Reads Equation, WCStart, WCEnd, sweeps, FlagThixo, FlagThixoIsComputing,
// FlagRapSolver, NoProcessesSolver, FlagOpenMP[8], FlagFastWatersolve, FlagWaterSolveNew.
#include <algorithm>

#include "bed/bed_modes.h"
#include "flow/flow_modes.h"
#include "solvers/solvers.h"
#include "solvers/sweep_kernels.h"
#include "state/log.h"
#include "state/options_f150_199.h"
#include "state/options_f200_249.h"
#include "state/options_f300_349.h"

namespace qorva {

namespace {

// The fast flow driver (F 170 above 0, unless F 328 chooses the restructured driver) solves
// its five fields with Equation 1; its pressure correction and components are solved in Cf
// like any other equation. The five fields are swept whatever the thread settings are,
// since every other method would leave them untouched.
bool fiveFieldStep() { return fastDriver() && !restructuredDriver() && Equation == 1; }

// The range must lie inside the arrays the sweeps index without checks.
void checkRange(int first, int last, bool fiveFields) {
  if (first > last) return;
  std::size_t cells = Cap.size();
  if (fiveFields)
    cells = Cff.dim(0) < 5 || CinvApf.dim(0) < 5 || Csourcem.dim(0) < 5
                ? 0
                : std::min({cells, Cff.dim(1), CinvApf.dim(1), Csourcem.dim(1)});
  else
    cells = std::min({cells, Cf.size(), Cfn.size(), CnInvAp.size()});
  if (first < 1 || static_cast<std::size_t>(last) >= cells)
    failf(1, "Error: solver range %d to %d outside the cell arrays (%zu cells)\n", first, last,
          cells);
}

}  // namespace

SolverMethod solverMethod() {
  if (fiveFieldStep()) return SolverMethod::FiveField;
  if (mudFlow() && FlagThixoIsComputing == 1) return SolverMethod::Serial;
  if (FlagRapSolver > 20) return SolverMethod::Variants;
  if (NoProcessesSolver > 0 && FlagOpenMP[8] != 1) return SolverMethod::Chunked;
  return SolverMethod::Serial;
}

void solver() {
  int n = sweeps[Equation];
  if (Equation == 4) n *= 3;
  const int first = WCStart, last = WCEnd;
  const SolverMethod method = solverMethod();
  checkRange(first, last, method == SolverMethod::FiveField);
  switch (method) {
    case SolverMethod::FiveField:
      GaussFast(first, last, n);
      break;
    case SolverMethod::Serial:
      Gauss(first, last, n);
      break;
    case SolverMethod::Variants:
      GaussN(first, last, n);
      break;
    case SolverMethod::Chunked:
      GaussColoured(first, last, n);
      break;
  }
}

}  // namespace qorva
