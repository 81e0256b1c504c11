// Weirs of the semi-implicit water-level equation (G 28): the columns of a weir line are
// pinned to the level that the weir law Q = C (h - crest)^n gives for the discharge over the
// line. Reads Weirs, NoWeirs, Fax, Fay, the cell faces, Cxvel, Cyvel; writes Cap and Csource
// of the weir columns' rows.
#include <cmath>

#include "state/cells.h"
#include "state/options.h"
#include "state/surfaces.h"
#include "surface/level_equations.h"
#include "surface/worked_blocks.h"

namespace qorva {

namespace {

// Weirs outweigh the 1e20 of the reference pins.
constexpr double kWeirPin = 1e30;

// Discharge (m3/s) over the cells of the column with bottom cell c through its faces `a` and
// `b`, the two faces that face each other across the weir line.
double columnDischarge(int c, const Table1<int>& a, const Table1<int>& b) {
  double Q = 0;
  upColumn(c, [&](int k) {
    const int fa = a[k], fb = b[k];
    Q += 0.5 * (Fax[fa] + Fax[fb]) * Cxvel[k] + 0.5 * (Fay[fa] + Fay[fb]) * Cyvel[k];
  });
  return Q;
}

}  // namespace

double weirLevel(double crest, double C, double n, double Q) {
  // The flow over a weir may run against the grid's axis: the head follows the amount.
  return crest + std::pow(std::fabs(Q) / C, 1 / n);
}

void computeWeirs() {
  Fax[0] = Fay[0] = 0;
  for (int w = 0; w < NoWeirs; ++w) {
    const WeirRecord& r = Weirs[w];
    if (r.i1 != r.i2 && r.j1 != r.j2) continue;
    // The discharge crosses the line: a line of constant i (running along j) is crossed
    // through the west and east faces of its columns, a line of constant j through the south
    // and north faces; a single column is taken as crossed along i.
    const bool alongI = r.j1 == r.j2 && r.i1 != r.i2;
    const Table1<int>& a = alongI ? Cflates : Cflatew;
    const Table1<int>& b = alongI ? Cflaten : Cflatee;
    double Q = 0;
    for (int i = r.i1; i <= r.i2; ++i)
      for (int j = r.j1; j <= r.j2; ++j)
        if (const int c = columnBottom(i, j); c > 0) Q += columnDischarge(c, a, b);
    const double zw = weirLevel(r.crestLevel, r.C, r.n, Q);
    for (int i = r.i1; i <= r.i2; ++i)
      for (int j = r.j1; j <= r.j2; ++j)
        if (const int c = columnBottom(i, j); c > 0) {
          Cap[c] += kWeirPin;
          Csource[c] = zw * kWeirPin;
        }
  }
}

}  // namespace qorva
