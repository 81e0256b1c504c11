// Solvers of the per-size sediment equations (solver2, solver2m, solver2bed) and of a field
// over the bed cells (solverB). Reads Capm, Catm, Cabm, Csourcem, Caem..Casm, under
// second-order upwinding the second-neighbour links Caee, Caww, Cann, Cass with Cattm, Cabbm
// (or all of them per size, Caeem..Cabbm), the shared Cap, Cae..Cab, Csource, the neighbour
// links, sou[Equation], FlagImplicitSedim,
// FlagRapSolver, NoProcessesSolver, FlagOpenMP[8] and, for the implicit pick-up, the bed
// arrays; writes the array that Cf designates, Cfn and Bsource.
//
// The sweeps that the thread settings would share out in place among threads (asynchronous
// block Gauss-Seidel) run as one serial sweep instead: the result of an in-place sweep shared
// by threads depends on their timing and number, while the serial sweep takes every newest
// neighbour value. The column half-steps read across columns only from the other copy, so
// their chunks run on threads and give the serial result for any thread count.
#include <omp.h>

#include <algorithm>
#include <cstring>

#include "solvers/solvers.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f100_149.h"
#include "state/options_f150_199.h"
#include "state/options_f250_299.h"
#include "state/options_g.h"
#include "state/options_kw.h"
#include "state/options_snihl.h"
#include "state/status.h"

namespace qorva {

namespace {

// The sediment equations sweep a fixed number of times, whatever sweeps[7] says.
constexpr int kSedimentSweeps = 5;
constexpr int kBedFieldSweeps = 3;

// Kept between calls, each rebuilt by the call that uses it.
ChunkTable size2Chunks, size2mChunks, bedChunks;

// The coefficients of one size: the horizontal ones shared (solver2) or per size (solver2m);
// under second-order upwinding also the links to the second neighbours (`thirteen`).
struct SizeSystem {
  const double *ae, *aw, *an, *as, *at, *ab, *ap, *su;
  const double *aee = nullptr, *aww = nullptr, *ann = nullptr, *ass = nullptr, *att = nullptr,
               *abb = nullptr;
  const int *ce, *cw, *cn, *cs, *ct, *cb;
  bool thirteen = false;
};

// The lateral terms alone, for the bottom cells of solver2bed.
inline double lateralSum(const SizeSystem& s, int c, const double* h) {
  const int e = s.ce[c], w = s.cw[c], n = s.cn[c], so = s.cs[c];
  double r = s.ae[c] * h[e];
  r += s.aw[c] * h[w];
  r += s.an[c] * h[n];
  r += s.as[c] * h[so];
  if (s.thirteen) {
    r += s.aee[c] * h[s.ce[e]];
    r += s.aww[c] * h[s.cw[w]];
    r += s.ann[c] * h[s.cn[n]];
    r += s.ass[c] * h[s.cs[so]];
  }
  return r + s.su[c];
}

// Every neighbour term and the source of cell c: the lateral terms from h, the one above from
// t and the one below from b.
inline double sizeSum(const SizeSystem& s, int c, const double* h, const double* t,
                      const double* b) {
  const int up = s.ct[c], dn = s.cb[c];
  double r = lateralSum(s, c, h);
  r += s.at[c] * t[up];
  r += s.ab[c] * b[dn];
  if (s.thirteen) {
    r += s.att[c] * t[s.ct[up]];
    r += s.abb[c] * b[s.cb[dn]];
  }
  return r;
}

bool rowOf(const Table2<double>& t, int l) { return t && l >= 0 && static_cast<std::size_t>(l) < t.dim(0); }

// Second-order upwinding of the sediment sizes: each size's equation links every cell to the
// second neighbours upstream too, with that size's own coefficients.
bool secondOrderSizes() { return sou[Equation] == 1; }

// Size l's rows must exist and the range must lie inside every array the sweeps index without
// checks; a call that breaks this is a fault of its caller, reported instead of read past.
// `fieldSize` is the length of the solved field (that of Cf unless a field is handed over).
void checkSizeCall(const char* who, int l, bool allPerSize, std::size_t fieldSize) {
  const int first = WCStart, last = WCEnd;
  bool ok = rowOf(Capm, l) && rowOf(Catm, l) && rowOf(Cabm, l) && rowOf(Csourcem, l) &&
            fieldSize > 0 && Cfn && Cae && Caw && Can && Cas;
  if (ok && allPerSize) ok = rowOf(Caem, l) && rowOf(Cawm, l) && rowOf(Canm, l) && rowOf(Casm, l);
  if (ok && secondOrderSizes()) {
    ok = rowOf(Cattm, l) && rowOf(Cabbm, l);
    if (ok && allPerSize)
      ok = rowOf(Caeem, l) && rowOf(Cawwm, l) && rowOf(Cannm, l) && rowOf(Cassm, l);
    else if (ok)
      ok = Caee && Caww && Cann && Cass && Caee.size() >= Cae.size();
  }
  std::size_t cells = ok ? std::min({fieldSize, Cfn.size(), Cae.size(), Capm.dim(1),
                                     Csourcem.dim(1), Ccellt.size()})
                         : 0;
  if (ok && allPerSize) cells = std::min(cells, Caem.dim(1));
  if (ok && secondOrderSizes()) cells = std::min(cells, Cattm.dim(1));
  if (ok && secondOrderSizes() && allPerSize) cells = std::min(cells, Caeem.dim(1));
  if (!ok) failf(1, "Error: %s called for size %d without the coefficients of that size\n", who, l);
  if (first <= last && (first < 1 || static_cast<std::size_t>(last) >= cells))
    failf(1, "Error: %s range %d to %d outside the cell arrays (%zu cells)\n", who, first, last,
          cells);
}

// The four lateral arrays e, w, n, s of size l: its own rows, or the shared ones.
void lateral(bool perSize, int l, const Table2<double>* const (&rows)[4],
             const Table1<double>* const (&shared)[4], const double* (&out)[4]) {
  for (int k = 0; k < 4; ++k) out[k] = perSize ? (*rows[k])[l].p : shared[k]->data();
}

SizeSystem sizeSystem(int l, bool allPerSize) {
  SizeSystem s;
  const double* first[4];
  lateral(allPerSize, l, {&Caem, &Cawm, &Canm, &Casm}, {&Cae, &Caw, &Can, &Cas}, first);
  s.ae = first[0];
  s.aw = first[1];
  s.an = first[2];
  s.as = first[3];
  s.at = Catm[l].p;
  s.ab = Cabm[l].p;
  s.ap = Capm[l].p;
  s.su = Csourcem[l].p;
  if (secondOrderSizes()) {
    s.thirteen = true;
    const double* beyond[4];
    lateral(allPerSize, l, {&Caeem, &Cawwm, &Cannm, &Cassm}, {&Caee, &Caww, &Cann, &Cass}, beyond);
    s.aee = beyond[0];
    s.aww = beyond[1];
    s.ann = beyond[2];
    s.ass = beyond[3];
    s.att = Cattm[l].p;
    s.abb = Cabbm[l].p;
  }
  s.ce = Ccelle.data();
  s.cw = Ccellw.data();
  s.cn = Ccelln.data();
  s.cs = Ccells.data();
  s.ct = Ccellt.data();
  s.cb = Ccellb.data();
  return s;
}

// Serial symmetric sweeps in place.
void serialSweeps(const SizeSystem& s, double* f, int first, int last) {
  for (int k = 0; k < kSedimentSweeps; ++k) {
    for (int c = first; c <= last; ++c) f[c] = sizeSum(s, c, f, f, f) / s.ap[c];
    for (int c = last; c >= first; --c) f[c] = sizeSum(s, c, f, f, f) / s.ap[c];
  }
}

// Chunks of the column-aligned methods: one per solver thread, one when G 50 switch 8 turns
// the solver threading off.
int chunkCount() {
  if (FlagOpenMP[8] > 0) return 1;
  return NoProcessesSolver > 0 ? NoProcessesSolver : 1;
}

void buildChunks(ChunkTable& t, int first, int last) {
  const int n = chunkCount();
  const long long cells = static_cast<long long>(last) - first + 1;
  t.build(first, last, n, static_cast<int>(std::max<long long>(cells, 0) / n));
}

// Cfn takes the field f (`size` values) everywhere, so neighbours outside the range read their
// present values from either copy; element 0 of both is 0.
void startSecondCopy(double* f, std::size_t size, double* fn) {
  f[0] = 0;
  const std::size_t n = std::min({size, Cfn.size(), static_cast<std::size_t>(NoCells) + 1});
  std::memcpy(fn, f, n * sizeof(double));
}

// Column half-steps: upward, each cell from the new value below it and the old values of
// the rest; downward, from the new value above it and the upward values of the rest.
void columnHalfSteps(const SizeSystem& s, double* f, std::size_t size, double* fn,
                     ChunkTable& chunks, int first, int last) {
  buildChunks(chunks, first, last);
  startSecondCopy(f, size, fn);
  const int n = chunks.count();
  for (int k = 0; k < kSedimentSweeps; ++k) {
#pragma omp parallel for schedule(static) if (n > 1)
    for (int p = 1; p <= n; ++p)
      for (int c = chunks.lo(p); c <= chunks.hi(p); ++c) fn[c] = sizeSum(s, c, f, f, fn) / s.ap[c];
#pragma omp parallel for schedule(static) if (n > 1)
    for (int p = 1; p <= n; ++p)
      for (int c = chunks.hi(p); c >= chunks.lo(p); --c) f[c] = sizeSum(s, c, fn, f, fn) / s.ap[c];
  }
}

// The implicit pick-up: the bottom cell of a column takes from the bed what the flow can
// carry (the capacity) or what the bed and the settling give (the supply), the smaller.
class PickUp {
 public:
  explicit PickUp(int l) : l_(l) {
    const int bedCells = static_cast<int>(std::min(
        {Barea.size(), Bconc.dim(1), Bsource.dim(1), BSedDistrib.dim(2)}));
    if (!Cbed || !Barea || !rowOf(Bconc, l) || !rowOf(Bsource, l) || !BSedDistrib ||
        BSedDistrib.dim(0) < 2 || static_cast<std::size_t>(l) >= BSedDistrib.dim(1) ||
        static_cast<std::size_t>(l) >= fallvelo.size())
      failf(1, "Error: the implicit sediment pick-up (F 253) has no bed arrays for size %d\n", l);
    bedCells_ = bedCells;
  }

  // Adds the pick-up of bottom cell c to its sum r; `store` keeps it in Bsource.
  double add(int c, double r, const double* f, bool store) const {
    if (Ccellb[c] != 0) return r;
    const int b = Cbed[c];
    if (b < 0 || b >= bedCells_) return r;
    const double A = Barea[b], fr = BSedDistrib[1][l_][b], h = BSedDistrib[1][0][b];
    const double w = fallvelo[l_];
    const double capacity = fr * Bconc[l_][b] * w * A * 1000;
    const double supply = f[c] * w * 1000 * A + A * fr * h * 1000 * (SolidFrac / TimeStep);
    const double P = std::min(supply, capacity);
    if (store) Bsource[l_][b] = P;
    return r + P;
  }

 private:
  int l_;
  int bedCells_ = 0;
};

void pickUpSweeps(const SizeSystem& s, double* f, int first, int last, int l) {
  const PickUp pick(l);
  for (int k = 0; k < kSedimentSweeps; ++k) {
    for (int c = first; c <= last; ++c)
      f[c] = pick.add(c, sizeSum(s, c, f, f, f), f, false) / s.ap[c];
    for (int c = last; c >= first; --c)
      f[c] = pick.add(c, sizeSum(s, c, f, f, f), f, true) / s.ap[c];
  }
}

bool columnChunked() { return FlagRapSolver == 31 || FlagRapSolver == 33; }

}  // namespace

void solver2(int l) { solver2Field(l, Cf.data(), Cf ? Cf.size() : 0); }

void solver2Field(int l, double* f, std::size_t n) {
  const int first = WCStart, last = WCEnd;
  checkSizeCall("solver2", l, false, n);
  const SizeSystem s = sizeSystem(l, false);
  if (FlagImplicitSedim == 1)
    pickUpSweeps(s, f, first, last, l);
  else if (columnChunked())
    columnHalfSteps(s, f, n, Cfn.data(), size2Chunks, first, last);
  else
    serialSweeps(s, f, first, last);
}

// The column half-steps share the second copy Cfn and the chunk table among sizes, and run
// their own chunks on threads; every other form keeps to its own size.
bool solver2SizesApart() { return FlagImplicitSedim == 1 || !columnChunked(); }

void solver2m(int l) {
  checkSizeCall("solver2m", l, true, Cf ? Cf.size() : 0);
  const SizeSystem s = sizeSystem(l, true);
  if (columnChunked())
    columnHalfSteps(s, Cf.data(), Cf.size(), Cfn.data(), size2mChunks, WCStart, WCEnd);
  else
    serialSweeps(s, Cf.data(), WCStart, WCEnd);
}

void solver2bed(int l) {
  checkSizeCall("solver2bed", l, false, Cf ? Cf.size() : 0);
  const SizeSystem s = sizeSystem(l, false);
  const int first = WCStart, last = WCEnd;
  double* f = Cf.data();
  if (!columnChunked()) {
    for (int k = 0; k < kSedimentSweeps; ++k) {
      for (int c = first; c <= last; ++c)
        if (s.cb[c] == 0) f[c] = lateralSum(s, c, f) / s.ap[c];
      for (int c = last; c >= first; --c)
        if (s.cb[c] == 0) f[c] = lateralSum(s, c, f) / s.ap[c];
    }
    return;
  }
  // Two copies: each pass reads the lateral neighbours from the copy the other pass wrote.
  double* fn = Cfn.data();
  buildChunks(bedChunks, first, last);
  startSecondCopy(f, Cf.size(), fn);
  const int n = bedChunks.count();
  for (int k = 0; k < kSedimentSweeps; ++k) {
#pragma omp parallel for schedule(static) if (n > 1)
    for (int p = 1; p <= n; ++p)
      for (int c = bedChunks.lo(p); c <= bedChunks.hi(p); ++c)
        if (s.cb[c] == 0) fn[c] = lateralSum(s, c, f) / s.ap[c];
#pragma omp parallel for schedule(static) if (n > 1)
    for (int p = 1; p <= n; ++p)
      for (int c = bedChunks.hi(p); c >= bedChunks.lo(p); --c)
        if (s.cb[c] == 0) f[c] = lateralSum(s, c, fn) / s.ap[c];
  }
}

void solverB(double* field, int firstBedCell, int lastBedCell, double cap) {
  if (firstBedCell > lastBedCell) return;
  if (firstBedCell < 1 || static_cast<std::size_t>(lastBedCell) + 1 >= Bcellt.size() || !Cbed)
    failf(1, "Error: solverB range %d to %d outside the bed-cell arrays\n", firstBedCell,
          lastBedCell);
  const int* bottom = Bcellt.data();
  const int* bed = Cbed.data();
  auto update = [&](int b) {
    const int c = bottom[b];
    if (c <= 0) return;
    const double v = (field[bed[Ccelle[c]]] * Cae[c] + (Can[c] * field[b + 1] + Cas[c] * field[b - 1]) +
                      field[bed[Ccellw[c]]] * Caw[c] + Csource[c]) /
                     Cap[c];
    field[b] = std::min(v, cap);
  };
  for (int k = 0; k < kBedFieldSweeps; ++k) {
    for (int b = firstBedCell; b <= lastBedCell; ++b) update(b);
    for (int b = lastBedCell; b >= firstBedCell; --b) update(b);
  }
}

}  // namespace qorva
