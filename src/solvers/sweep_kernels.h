// Cell updates shared by the sweeps of src/solvers: raw views of the equation arrays, taken
// once per call, and the neighbour sums of the seven-point, thirteen-point and multi-neighbour
// forms, with the terms added in one fixed order so that every method rounds alike.
// Internal to this folder.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>

#include "state/cells.h"
#include "state/options.h"
#include "state/options_g.h"
#include "state/options_kw.h"
#include "state/status.h"

namespace qorva::kernel {

// Element access of a solved array that only one thread touches.
struct Plain {
  static double get(const double* a, int i) { return a[i]; }
  static void put(double* a, int i, double v) { a[i] = v; }
};

// Element access of a solved array that other threads write during the same pass: each read
// sees a whole old or new value. Relaxed order costs nothing on the usual 64-bit machines.
struct Shared {
  static_assert(std::atomic_ref<double>::is_always_lock_free);
  static double get(const double* a, int i) {
    return std::atomic_ref<double>(const_cast<double*>(a)[i]).load(std::memory_order_relaxed);
  }
  static void put(double* a, int i, double v) {
    std::atomic_ref<double>(a[i]).store(v, std::memory_order_relaxed);
  }
};

// The coefficient and neighbour arrays of the system; the second-neighbour pointers are null
// when those arrays do not exist.
struct System {
  const double *ap, *ae, *aw, *an, *as, *at, *ab, *su;
  const double *aee, *aww, *ann, *ass, *att, *abb;
  const int *ce, *cw, *cn, *cs, *ct, *cb;
};

inline System systemArrays() {
  return {Cap.data(),    Cae.data(),    Caw.data(),     Can.data(),    Cas.data(),
          Cat.data(),    Cab.data(),    Csource.data(), Caee.data(),   Caww.data(),
          Cann.data(),   Cass.data(),   Catt.data(),    Cabb.data(),   Ccelle.data(),
          Ccellw.data(), Ccelln.data(), Ccells.data(),  Ccellt.data(), Ccellb.data()};
}

// The thirteen-point form is chosen by the scheme of the equation; without the
// second-neighbour arrays (a scheme that was not configured when they were created) those
// coefficients count as zero, which is the seven-point form.
inline bool thirteenPointForm() {
  return sou[Equation] == 1 && Caee && Caww && Cann && Cass && Catt && Cabb;
}

// Neighbour terms and source of cell c: the horizontal neighbours (and theirs beyond) read
// from h, the top ones from t, the bottom ones from b; order e, w, n, s, t, b, then ee, ww,
// nn, ss, tt, bb, then the source.
template <class A, bool Thirteen>
inline double neighbourSum(const System& s, int c, const double* h, const double* t,
                           const double* b) {
  const int e = s.ce[c], w = s.cw[c], n = s.cn[c], so = s.cs[c], up = s.ct[c], dn = s.cb[c];
  double r = s.ae[c] * A::get(h, e);
  r += s.aw[c] * A::get(h, w);
  r += s.an[c] * A::get(h, n);
  r += s.as[c] * A::get(h, so);
  r += s.at[c] * A::get(t, up);
  r += s.ab[c] * A::get(b, dn);
  if constexpr (Thirteen) {
    r += s.aee[c] * A::get(h, s.ce[e]);
    r += s.aww[c] * A::get(h, s.cw[w]);
    r += s.ann[c] * A::get(h, s.cn[n]);
    r += s.ass[c] * A::get(h, s.cs[so]);
    r += s.att[c] * A::get(t, s.ct[up]);
    r += s.abb[c] * A::get(b, s.cb[dn]);
  }
  return r + s.su[c];
}

// One horizontal side of the multi-neighbour form: the count per cell, the rows of listed
// neighbours and their coefficients (`stride` entries per cell), and the single neighbour with
// its coefficients for a count of 0. `beyond` gives the next cell on the same side.
struct QnSide {
  const int* count;
  const int* list;
  const double* q;
  const double* q2;
  const int* single;
  const double* a;
  const double* a2;
  const int* beyond;
};

struct QnLists {
  QnSide side[4];  // east, west, south, north: the order the terms are added in
  int stride;
};

// Present when the lists exist; `thirteen` also needs the second-neighbour rows.
inline bool haveQnLists() {
  return Cncelle && Cncellw && Cncells && Cncelln && Cqncelle && Cqncellw && Cqncells && Cqncelln &&
         Cqnae && Cqnaw && Cqnas && Cqnan;
}
inline bool haveQnSecondRows() { return Cqnaee && Cqnaww && Cqnass && Cqnann; }

inline QnLists qnLists() {
  QnLists l;
  l.side[0] = {Cncelle.data(), Cqncelle.data(), Cqnae.data(), Cqnaee.data(),
               Ccelle.data(),  Cae.data(),      Caee.data(),  Ccelle.data()};
  l.side[1] = {Cncellw.data(), Cqncellw.data(), Cqnaw.data(), Cqnaww.data(),
               Ccellw.data(),  Caw.data(),      Caww.data(),  Ccellw.data()};
  l.side[2] = {Cncells.data(), Cqncells.data(), Cqnas.data(), Cqnass.data(),
               Ccells.data(),  Cas.data(),      Cass.data(),  Ccells.data()};
  l.side[3] = {Cncelln.data(), Cqncelln.data(), Cqnan.data(), Cqnann.data(),
               Ccelln.data(),  Can.data(),      Cann.data(),  Ccelln.data()};
  // The lists and coefficient rows are created together with one row length (znumber), which
  // also bounds the count of a side so that no row is read past its end.
  l.stride = static_cast<int>(Cqncelle.dim(1));
  return l;
}

// Multi-neighbour sum of cell c, all values from f: the vertical first neighbours and the
// source, then east, west, south, north, each either its single neighbour (count 0), its
// listed neighbours (count > 0) or nothing (count < 0). The thirteen-point form adds the cell
// beyond each horizontal neighbour; the vertical keeps its first neighbours only. Without
// `Vertical` (the two-dimensional levels) the top and bottom terms are left out.
template <class A, bool Thirteen, bool Vertical = true>
inline double qnSum(const System& s, const QnLists& l, int c, const double* f) {
  double r = 0.0;
  if constexpr (Vertical) {
    r = s.at[c] * A::get(f, s.ct[c]);
    r += s.ab[c] * A::get(f, s.cb[c]);
  }
  r += s.su[c];
  const std::ptrdiff_t row = static_cast<std::ptrdiff_t>(c) * l.stride;
  for (const QnSide& d : l.side) {
    int k = d.count[c];
    if (k == 0) {
      const int x = d.single[c];
      if constexpr (Thirteen)
        r += (d.a2[c] * A::get(f, d.beyond[x]) + d.a[c] * A::get(f, x));
      else
        r += d.a[c] * A::get(f, x);
    } else if (k > 0) {
      if (k > l.stride) k = l.stride;
      const int m0 = d.list[row];
      const double* q = d.q + row;
      if constexpr (Thirteen) {
        const double* q2 = d.q2 + row;
        for (int j = 0; j < k; ++j)
          r += (q2[j] * A::get(f, d.beyond[m0 + j]) + q[j] * A::get(f, m0 + j));
      } else {
        for (int j = 0; j < k; ++j) r += A::get(f, m0 + j) * q[j];
      }
    }
  }
  return r;
}

// Calls visit(m) for every cell m whose value one of the sums above may read when it updates
// cell c: the six first neighbours; with `second` the cells beyond them; with `lists` (null
// when the multi-neighbour form is off) the listed neighbours, and with `second` the cells
// beyond those. Every sum reads a subset of these; a cell may be visited more than once.
template <class Visit>
inline void forEachRead(const System& s, const QnLists* lists, bool second, int c, Visit visit) {
  const int nb[6] = {s.ce[c], s.cw[c], s.cn[c], s.cs[c], s.ct[c], s.cb[c]};
  const int* const beyond[6] = {s.ce, s.cw, s.cn, s.cs, s.ct, s.cb};
  for (int d = 0; d < 6; ++d) {
    visit(nb[d]);
    if (second) visit(beyond[d][nb[d]]);
  }
  if (!lists) return;
  const std::ptrdiff_t row = static_cast<std::ptrdiff_t>(c) * lists->stride;
  for (const QnSide& d : lists->side) {
    const int k = std::min(d.count[c], lists->stride);
    const int m0 = k > 0 ? d.list[row] : 0;
    for (int j = 0; j < k; ++j) {
      visit(m0 + j);
      if (second) visit(d.beyond[m0 + j]);
    }
  }
}

// forEachRead over the present arrays, the lists taken only when `lists`.
struct Reads {
  System s;
  QnLists l;
  bool lists, second;
  template <class Visit>
  void operator()(int c, Visit visit) const {
    forEachRead(s, lists ? &l : nullptr, second, c, visit);
  }
};
inline Reads readsOf(bool second, bool lists) {
  return {systemArrays(), lists ? qnLists() : QnLists{}, lists, second};
}

// Block of thread `id` of `threads` in a static split of `count` items: [lo, hi), the first
// count % threads threads taking one item more.
inline void staticBlock(int count, int threads, int id, int& lo, int& hi) {
  if (count < 0) count = 0;
  const int q = count / threads, r = count % threads;
  lo = id * q + std::min(id, r);
  hi = lo + q + (id < r ? 1 : 0);
}

}  // namespace qorva::kernel
