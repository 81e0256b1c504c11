// Symmetric point Gauss-Seidel sweeps over a range of cells, updated in place.
// Reads Cap, Cae..Cab, Caee..Cabb, Csource, Ccelle..Ccellb and the multi-neighbour lists;
// writes the cells first..last of the array that Cf designates.
#include "solvers/solvers.h"
#include "solvers/sweep_kernels.h"
#include "state/options_f100_149.h"

namespace qorva {

namespace {

using namespace kernel;

template <class A, bool Thirteen>
void passes(const System& s, double* f, int first, int last, int sweeps) {
  for (int k = 0; k < sweeps; ++k) {
    for (int c = first; c <= last; ++c)
      A::put(f, c, neighbourSum<A, Thirteen>(s, c, f, f, f) / s.ap[c]);
    for (int c = last; c >= first; --c)
      A::put(f, c, neighbourSum<A, Thirteen>(s, c, f, f, f) / s.ap[c]);
  }
}

// The multi-neighbour form makes one pass pair whatever the sweep count.
template <class A, bool Thirteen>
void qnPasses(const System& s, double* f, int first, int last) {
  const QnLists l = qnLists();
  for (int c = first; c <= last; ++c) A::put(f, c, qnSum<A, Thirteen>(s, l, c, f) / s.ap[c]);
  for (int c = last; c >= first; --c) A::put(f, c, qnSum<A, Thirteen>(s, l, c, f) / s.ap[c]);
}

}  // namespace

template <class A>
void gaussSweeps(int first, int last, int sweeps) {
  const System s = systemArrays();
  double* f = Cf.data();
  const bool thirteen = thirteenPointForm();
  if (QNFlag != 0 && kernel::haveQnLists()) {
    if (thirteen && kernel::haveQnSecondRows())
      qnPasses<A, true>(s, f, first, last);
    else
      qnPasses<A, false>(s, f, first, last);
  } else if (thirteen) {
    passes<A, true>(s, f, first, last, sweeps);
  } else {
    passes<A, false>(s, f, first, last, sweeps);
  }
}

template void gaussSweeps<kernel::Plain>(int, int, int);
template void gaussSweeps<kernel::Shared>(int, int, int);

void Gauss(int first, int last, int sweeps) { gaussSweeps<kernel::Plain>(first, last, sweeps); }

}  // namespace qorva
