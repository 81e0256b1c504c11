// Pressure-gradient sources of the momentum equations: the pressure difference across each cell
// in the grid directions times the matching area-vector components of its surfaces.
// Reads Cpres, the cell centres, half sizes, neighbours and surfaces, Fax, Fay, Faz, Farea, Fvx,
// Fvz, Fflux, Cthixorat, BFroude, Cbed, CcellAw..CcellAn; writes Csource (Csourcem[0..2]).
#include <omp.h>

#include <algorithm>
#include <cmath>
#include <exception>

#include "pressure/pressure.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

constexpr double kRhoG = 9810.0;

// A neighbour entry names a cell when it is at least 1; 0 (and anything below) means none.
inline bool has(int n) { return n >= 1; }

// Component of an area vector on surface f; a cell side without a surface entry adds nothing.
inline double on(const Table1<double>& a, int f) { return f >= 1 ? a[f] : 0.0; }

// x^e for a signed ratio: the sign is kept, so a grid line that falls instead of rising gives
// the mirrored correction rather than an undefined power.
inline double signedPow(double x, double e) {
  return x < 0 ? -std::pow(-x, e) : std::pow(x, e);
}

struct Pressure {
  double operator()(int c) const { return Cpres[c]; }
};
// p + rho g z: constant in a hydrostatic field, so its differences carry no weight of water.
struct Piezometric {
  double operator()(int c) const { return Cpres[c] + kRhoG * Czcenter[c]; }
};

// First-order difference across cell c between its minus-side neighbour m and plus-side p:
// central where both exist, one-sided where one is missing.
template <class V>
double firstOrder(V v, int c, int m, int p) {
  if (has(m) && has(p)) return (v(p) - v(m)) / 2;
  if (has(p)) return v(p) - v(c);
  if (has(m)) return v(c) - v(m);
  return 0.0;
}

// As firstOrder, but second-order one-sided at an edge when the cell beyond the existing
// neighbour is there (minus and plus are the neighbour tables of this direction).
template <class V>
double secondOrder(V v, int c, int m, int p, const Table1<int>& minus, const Table1<int>& plus) {
  if (has(m) && has(p)) return (v(p) - v(m)) / 2;
  if (has(p)) {
    const int pp = plus[p];
    return has(pp) ? (4 * v(p) - 3 * v(c) - v(pp)) / 2 : v(p) - v(c);
  }
  if (has(m)) {
    const int mm = minus[m];
    return has(mm) ? (3 * v(c) - 4 * v(m) + v(mm)) / 2 : v(c) - v(m);
  }
  return 0.0;
}

// Sums of the area component of the equation over opposite sides of cell c.
struct Areas {
  double i, j, k;
};
inline Areas areaSums(const Table1<double>& a, int c) {
  return {on(a, Cflatee[c]) + on(a, Cflatew[c]), on(a, Cflaten[c]) + on(a, Cflates[c]),
          on(a, Cflatet[c]) + on(a, Cflateb[c])};
}

inline const Table1<double>& component(int eq) { return eq == 1 ? Fax : Fay; }

// Adds the force of the differences dI, dJ, dK to the source of equation eq at cell c; `full`
// includes the vertical difference in the horizontal components.
inline void addForce(int eq, int c, double dI, double dJ, double dK, bool full) {
  if (eq == 3) {
    Csource[c] -= dK * on(Faz, Cflatet[c]);
    return;
  }
  const Areas s = areaSums(component(eq), c);
  if (full)
    Csource[c] -= 0.5 * (dI * s.i + dJ * s.j + dK * s.k);
  else
    Csource[c] -= 0.5 * (dI * s.i + dJ * s.j);
}

// The vertical pressure difference across c and the height over which it acts.
struct Vertical {
  double dPk, dzk;
};
Vertical vertical(int c) {
  const int b = Ccellb[c], t = Ccellt[c];
  if (has(b) && has(t))
    return {(Cpres[t] - Cpres[b]) / 2, (2 * Ckdist[c] + Ckdist[t] + Ckdist[b]) / 2};
  if (has(t)) return {Cpres[t] - Cpres[c], Ckdist[t] + Ckdist[c]};
  if (has(b)) return {Cpres[c] - Cpres[b], Ckdist[c] + Ckdist[b]};
  return {0.0, 1e-20};
}

// Horizontal pressure difference across c along the grid line through m and p, found from the
// difference along the (sloping) line and the vertical gradient: the horizontal gradient times
// half the horizontal distance between the neighbours (the full one at an edge).
double levelDifference(int c, int m, int p, double dPk, double dzk) {
  int lo = 0, hi = 0;
  double dP = 0, share = 1;
  if (has(m) && has(p)) {
    lo = m;
    hi = p;
    dP = (Cpres[p] - Cpres[m]) / 2;
    share = 0.5;
  } else if (has(p)) {
    lo = c;
    hi = p;
    dP = Cpres[p] - Cpres[c];
  } else if (has(m)) {
    lo = m;
    hi = c;
    dP = Cpres[c] - Cpres[m];
  } else {
    return 0.0;
  }
  const double dx = Cxcenter[hi] - Cxcenter[lo], dy = Cycenter[hi] - Cycenter[lo];
  const double dz = Czcenter[hi] - Czcenter[lo];
  const double H = std::sqrt(dx * dx + dy * dy), L = std::sqrt(dx * dx + dy * dy + dz * dz);
  if (!(L > 0)) return 0.0;  // coinciding centres give no direction
  const double ell = share * L, h = share * H;
  const double alpha = std::asin(dz / L);
  const double beta = 1.570796326 - alpha;
  const double gamma =
      std::atan((dP * dzk / (ell * dPk) - std::cos(beta)) / std::sin(beta));
  return std::sin(gamma) * dPk / (dzk * std::cos(gamma)) * h;
}

// Forms 4 and 7: horizontal derivatives from the grid-line slope, i and j only.
void levelForm(int eq, int c, bool mudBlend) {
  Vertical v = vertical(c);
  if (mudBlend && Cthixorat && has(Ccellb[c]) && has(Ccellt[c])) {
    const int b = Ccellb[c], t = Ccellt[c];
    if (Cthixorat[c] > 1 && Cthixorat[b] < 1) {
      const double f = std::min(1.0, Cthixorat[c] - Cthixorat[b]);
      v.dPk = f * (Cpres[t] - Cpres[c]) + (1 - f) * v.dPk;
      v.dzk = f * (Ckdist[t] + Ckdist[c]) + (1 - f) * v.dzk;
    }
  }
  if (eq == 3) {
    Csource[c] -= v.dPk * on(Faz, Cflatet[c]);
    return;
  }
  // The raise keeps the angle defined where the vertical difference vanishes.
  v.dPk += 1e-20;
  const double dI = levelDifference(c, Ccellw[c], Ccelle[c], v.dPk, v.dzk);
  v.dPk += 1e-20;
  const double dJ = levelDifference(c, Ccells[c], Ccelln[c], v.dPk, v.dzk);
  addForce(eq, c, dI, dJ, 0.0, false);
}

// Multiplier of the vertical difference in the u and v equations of form 8 with F 355 4 and 5:
// 0 below 0, unchanged above 1.
inline double rampDown(double d) { return d < 0 ? 0.0 : std::min(d, 1.0); }

// Form 8: the horizontal differences corrected by the vertical one along the grid-line slope.
void terrainForm(int eq, int c) {
  const Vertical v = vertical(c);
  if (eq == 3) {
    Csource[c] -= v.dPk * on(Faz, Cflatet[c]);
    return;
  }
  const double C = CoeffPresSource;
  double dPk = v.dPk;
  const double dzk = v.dzk;

  auto along = [c](int m, int p, double& dP, double& dz) {
    if (has(m) && has(p)) {
      dP = (Cpres[p] - Cpres[m]) / 2;
      dz = Czcenter[p] - Czcenter[m];
    } else if (has(p)) {
      dP = Cpres[p] - Cpres[c];
      dz = Czcenter[p] - Czcenter[c];
    } else if (has(m)) {
      dP = Cpres[c] - Cpres[m];
      dz = Czcenter[c] - Czcenter[m];
    } else {
      dP = 0;
      dz = 0;
    }
  };

  double dPi = 0, dzi = 0;
  along(Ccellw[c], Ccelle[c], dPi, dzi);
  const double R = dzi / dzk;
  switch (FlagPresSource) {
    case 0: dPi -= R * dPk * C; break;
    case 1: dPi -= signedPow(R, C) * dPk / 2; break;
    case 2: dPi -= std::pow(0.5, 1 / C) * signedPow(R, C) * dPk; break;
    case 3:
    case 6: {
      // Bounded by the size of C: a negative C would give an empty range.
      const double bound = std::abs(C);
      dPi -= std::clamp(R / 2, -bound, bound) * dPk;
      break;
    }
    case 4:
      dPi -= R * dPk / 2;
      dPk *= rampDown(2 * (-C - on(Fvx, Cflatet[c])));
      break;
    case 5: {
      const double d = std::abs(2 * on(Fflux, Cflateb[c]) /
                                (on(Fflux, Cflatew[c]) + on(Fflux, Cflatee[c]) + 1e-20)) -
                       C;
      dPi -= R * dPk / 2;
      dPk *= rampDown(d);
      break;
    }
    case 7:
      dPi -= R / 2 * dPk;
      dPk *= C;
      break;
    case 8: dPi -= std::min(R, C) * dPk; break;
    case 9: dPi = std::min(dPi - R * dPk / 2, 4 * kRhoG * Cidist[c] * C); break;
    case 10: dPi -= R * std::max(dPk, -kRhoG * dzk) / 2; break;
    case 11: dPi -= R * dPk / 2 * std::min(1.0, -dPk / (kRhoG * dzk)); break;
    case 14: {
      const int bed = Cbed[c];
      const double F = std::clamp(4 * (bed >= 1 ? BFroude[bed] : 0.0), 0.0, 1.0);
      dPi -= R * dPk * C * F;
      break;
    }
    default: break;
  }

  double dPj = 0, dzj = 0;
  const int s = Ccells[c], n = Ccelln[c];
  along(s, n, dPj, dzj);
  if (has(s) || has(n)) {
    if (FlagPresLatSource == 0) {
      dPj -= dzj / dzk * dPk * C;
    } else if (FlagPresLatSource == 1) {
      dPj -= signedPow(dzj / dzk, C) * dPk / 2;
    } else {
      // Chunks of one call may log at the same time; keep the lines whole. A log that cannot
      // be opened ends the run, and that end must leave the critical section before it
      // propagates (an exception thrown out of it aborts the program).
      std::exception_ptr failure;
#pragma omp critical(qorva_boogie)
      {
        try {
          logf("Error for gradients in j-direction: not coded yet\n\n");
        } catch (...) {
          failure = std::current_exception();
        }
      }
      if (failure) std::rethrow_exception(failure);
    }
  }

  if (FlagOldPres == 1) dPk = 0;
  else if (FlagOldPres == 2) dPk *= std::max(0.0, 1 - on(Fvz, Cflatet[c]) - 0.1);

  const Areas a = areaSums(component(eq), c);
  Csource[c] -= 0.5 * (dPk * a.k + dPi * a.i + dPj * a.j);
}

// Forms 11 and above: a thin side face does not carry the pressure of the cell behind it.
void thinFaceForm(int eq, int c, bool replaceMissing) {
  int w = Ccellw[c], e = Ccelle[c], s = Ccells[c], n = Ccelln[c];
  // The replacement neighbours exist only on grids built for form 20.
  if (replaceMissing && CcellAw && CcellAe && CcellAs && CcellAn) {
    if (!has(w)) w = CcellAw[c];
    if (!has(e)) e = CcellAe[c];
    if (!has(s)) s = CcellAs[c];
    if (!has(n)) n = CcellAn[c];
  }
  const double Pc = Cpres[c];
  const double limit = std::min(0.2 * Ckdist[c], 0.1 * MinVertDist);
  auto thin = [limit](int f, double across) { return 0.5 * on(Farea, f) / across < limit; };

  auto side = [Pc](int m, int p, bool minusThin, bool plusThin) {
    if (has(m) && has(p)) {
      if (minusThin) return Cpres[p] - Pc;
      if (plusThin) return Pc - Cpres[m];
      return (Cpres[p] - Cpres[m]) / 2;
    }
    if (has(p)) return Cpres[p] - Pc;
    if (has(m)) return Pc - Cpres[m];
    return 0.0;
  };

  double dI = 0, dJ = 0;
  const bool corner = (!has(s) && !has(w)) || (!has(s) && !has(e)) || (!has(n) && !has(w)) ||
                      (!has(n) && !has(e));
  if (!corner) {
    dI = side(w, e, thin(Cflatew[c], Cjdist[c]), thin(Cflatee[c], Cjdist[c]));
    dJ = side(s, n, thin(Cflates[c], Cidist[c]), thin(Cflaten[c], Cidist[c]));
  }
  const double dK = firstOrder(Pressure{}, c, Ccellb[c], Ccellt[c]);
  addForce(eq, c, dI, dJ, dK, true);
}

// Forms 6, 9 and 10: the pressure term of each cell from pressures interpolated at the level of
// its centre. Form 6 gives the bed cell of each column no pressure source.
void interpolatedLevelSource(int form, int eq, int firstCell, int lastCell) {
  for (int c = firstCell; c <= lastCell; ++c) {
    double d = 0;
    if (form == 6) {
      const bool bedCell = Cbed && Bcellt && Cbed[c] > 0 && Bcellt[Cbed[c]] == c;
      if (bedCell) continue;
      d = d_di_orth_Pres(eq, c);
    } else {
      d = form == 9 ? d_di_anti_Pres(eq, c) : d_di_anti_Pres2(eq, c);
    }
    Csource[c] -= d;
  }
}

}  // namespace

void pressure_source(int firstCell, int lastCell) {
  const int eq = Equation;
  if (eq < 1 || eq > 3) return;
  const int form = FlagPresGrad;
  if (form == 6 || form == 9 || form == 10) {
    interpolatedLevelSource(form, eq, firstCell, lastCell);
    return;
  }
  if (form < 0) return;  // no pressure force

  const Pressure P;
  const Piezometric Z;
  for (int c = firstCell; c <= lastCell; ++c) {
    const int w = Ccellw[c], e = Ccelle[c], s = Ccells[c], n = Ccelln[c];
    const int b = Ccellb[c], t = Ccellt[c];
    switch (form) {
      case 0:
        addForce(eq, c, firstOrder(P, c, w, e), firstOrder(P, c, s, n), firstOrder(P, c, b, t),
                 true);
        break;
      case 1:
        addForce(eq, c, firstOrder(Z, c, w, e), firstOrder(Z, c, s, n), firstOrder(P, c, b, t),
                 false);
        break;
      case 2:
        addForce(eq, c, secondOrder(Z, c, w, e, Ccellw, Ccelle), firstOrder(Z, c, s, n),
                 secondOrder(P, c, b, t, Ccellb, Ccellt), false);
        break;
      case 3:
        addForce(eq, c, secondOrder(P, c, w, e, Ccellw, Ccelle),
                 secondOrder(P, c, s, n, Ccells, Ccelln), firstOrder(P, c, b, t), true);
        break;
      case 4: levelForm(eq, c, false); break;
      case 5:
        addForce(eq, c, firstOrder(P, c, w, e), firstOrder(P, c, s, n), firstOrder(P, c, b, t),
                 false);
        break;
      case 7: levelForm(eq, c, true); break;
      case 8: terrainForm(eq, c); break;
      default: thinFaceForm(eq, c, form >= 20); break;
    }
  }
}

void presSourceFast() {
  if (!Csourcem || Csourcem.dim(0) < 3)
    failf(1, "Error: the fast flow solver (F 170) has no tables for its pressure sources\n");
  const Pressure P;
  for (int c = WCStart; c <= WCEnd; ++c) {
    const int w = Ccellw[c], e = Ccelle[c], s = Ccells[c], n = Ccelln[c];
    double dI, dJ;
    if (Seiche5 == 0) {
      dI = firstOrder(P, c, w, e);
      dJ = firstOrder(P, c, s, n);
    } else {
      dI = secondOrder(P, c, w, e, Ccellw, Ccelle);
      dJ = secondOrder(P, c, s, n, Ccells, Ccelln);
    }
    const double dK = firstOrder(P, c, Ccellb[c], Ccellt[c]);
    const Areas x = areaSums(Fax, c), y = areaSums(Fay, c);
    Csourcem[0][c] -= 0.5 * (dI * x.i + dJ * x.j + dK * x.k);
    Csourcem[1][c] -= 0.5 * (dI * y.i + dJ * y.j + dK * y.k);
    Csourcem[2][c] -= dK * on(Faz, Cflatet[c]);
  }
}

}  // namespace qorva
