// Symmetric point Gauss-Seidel sweeps over a range of cells, updated in place: serially over
// the whole range, or by the F 206 threads over coloured chunks of it.
// Reads Cap, Cae..Cab, Caee..Cabb, Csource, Ccelle..Ccellb and the multi-neighbour lists;
// writes the cells first..last of the array that Cf designates.
#include "solvers/coloured_sweeps.h"
#include "solvers/solvers.h"
#include "solvers/sweep_kernels.h"
#include "state/options_f100_149.h"

namespace qorva {

namespace {

using namespace kernel;

// Kept between calls and rebuilt by every threaded call.
ColouredChunks gaussChunks;

// One pass over lo..hi, ascending or descending.
template <bool Thirteen>
void pass(const System& s, double* f, int lo, int hi, bool up) {
  if (up)
    for (int c = lo; c <= hi; ++c) f[c] = neighbourSum<Plain, Thirteen>(s, c, f, f, f) / s.ap[c];
  else
    for (int c = hi; c >= lo; --c) f[c] = neighbourSum<Plain, Thirteen>(s, c, f, f, f) / s.ap[c];
}

template <bool Thirteen>
void qnPass(const System& s, const QnLists& l, double* f, int lo, int hi, bool up) {
  if (up)
    for (int c = lo; c <= hi; ++c) f[c] = qnSum<Plain, Thirteen>(s, l, c, f) / s.ap[c];
  else
    for (int c = hi; c >= lo; --c) f[c] = qnSum<Plain, Thirteen>(s, l, c, f) / s.ap[c];
}

// Runs `sweeps` symmetric sweeps of first..last with the cell update of the present form:
// `each(sweeps, pass)` makes them, serially or over coloured chunks. The multi-neighbour form
// makes one pass pair whatever the sweep count.
template <class Each>
void withForm(int sweeps, Each each) {
  const System s = systemArrays();
  double* f = Cf.data();
  const bool thirteen = thirteenPointForm();
  if (QNFlag != 0 && haveQnLists()) {
    const QnLists l = qnLists();
    if (thirteen && haveQnSecondRows())
      each(1, [&](int lo, int hi, bool up) { qnPass<true>(s, l, f, lo, hi, up); });
    else
      each(1, [&](int lo, int hi, bool up) { qnPass<false>(s, l, f, lo, hi, up); });
  } else if (thirteen) {
    each(sweeps, [&](int lo, int hi, bool up) { pass<true>(s, f, lo, hi, up); });
  } else {
    each(sweeps, [&](int lo, int hi, bool up) { pass<false>(s, f, lo, hi, up); });
  }
}

}  // namespace

void Gauss(int first, int last, int sweeps) {
  withForm(sweeps, [&](int n, auto pass) { serialSweeps(first, last, n, pass); });
}

void GaussColoured(int first, int last, int sweeps) {
  const Reads reads = readsOf(thirteenPointForm(), QNFlag != 0 && haveQnLists());
  withForm(sweeps, [&](int n, auto pass) {
    colouredSweeps(gaussChunks, first, last, n, reads, pass);
  });
}

}  // namespace qorva
