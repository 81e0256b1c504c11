// The five-field sweep of the fast flow driver: u, v, w, k and epsilon share one set of
// neighbour coefficients and are swept together, each with its own source and reciprocal
// central coefficient. Serial, in cell order, so the result does not depend on the threads.
// Reads Cae..Cab, Caee..Cabb, Ccelle..Ccellb, CinvApf[0..4], Csourcem[0..4], sou, QNFlag;
// writes Cff[0..4] over first..last.
#include "solvers/coloured_sweeps.h"
#include "solvers/solvers.h"
#include "solvers/sweep_kernels.h"

namespace qorva {

namespace {

using namespace kernel;

constexpr int kFields = 5;

struct FiveFields {
  double* f[kFields];
  const double* inv[kFields];
  System s[kFields];  // the shared coefficients, each with the field's own source
};

template <bool Thirteen>
void update(const FiveFields& v, int c) {
  for (int k = 0; k < kFields; ++k)
    v.f[k][c] = neighbourSum<Plain, Thirteen>(v.s[k], c, v.f[k], v.f[k], v.f[k]) * v.inv[k][c];
}

template <bool Thirteen>
void sweepAll(const FiveFields& v, int first, int last, int sweeps) {
  serialSweeps(first, last, sweeps, [&v](int lo, int hi, bool up) {
    if (up)
      for (int c = lo; c <= hi; ++c) update<Thirteen>(v, c);
    else
      for (int c = hi; c >= lo; --c) update<Thirteen>(v, c);
  });
}

}  // namespace

void GaussFast(int first, int last, int sweeps) {
  if (first > last || sweeps <= 0) return;
  FiveFields v;
  const System shared = systemArrays();
  for (int k = 0; k < kFields; ++k) {
    v.f[k] = Cff[k].p;
    v.inv[k] = CinvApf[k].p;
    v.s[k] = shared;
    v.s[k].su = Csourcem[k].p;
  }
  // The second neighbours enter with the second-order scheme and on a grid with neighbour
  // lists (whose lists themselves are not read here); where their arrays were never made they
  // count as zero coefficients.
  const bool second = Caee && Caww && Cann && Cass && Catt && Cabb;
  if ((sou[Equation] == 1 || QNFlag > 0) && second)
    sweepAll<true>(v, first, last, sweeps);
  else
    sweepAll<false>(v, first, last, sweeps);
}

}  // namespace qorva
