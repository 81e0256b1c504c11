// Grain sizes of the two-layer bed after a sediment step (F 37 1 and 2, and the grid with
// several side neighbours of F 137): the sediment balance of each bed cell becomes a bed change
// per size; the active layer 1 keeps its thickness Ta while its composition follows erosion and
// deposition, and layer 0 beneath it takes up or gives the difference. Reads Bcellt, Cconc, the
// neighbour coefficients, Bsource, Bap, Barea, Faz, fallvelo, the neighbour lists of F 137 and
// F 11, F 26, F 37, F 134; writes BSedDistrib, Bedmove, kBedmove, bedLimDef, kLimDef and warnings
// in boogie.
#include <algorithm>
#include <cmath>

#include "bed/bed.h"
#include "sediment/sediment.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/sediment_run.h"
#include "state/status.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

constexpr int kSizes = 52;
using PerSize = double[kSizes];

// The layers of one bed cell while they change.
struct Layers {
  int b = 0;
  double T0 = 0, T1 = 0;
  double f0[kSizes] = {}, f1[kSizes] = {};
};

Layers load(int b) {
  Layers x;
  x.b = b;
  x.T0 = BSedDistrib[0][0][b];
  x.T1 = BSedDistrib[1][0][b];
  for (int l = 1; l <= lnumber; ++l) {
    x.f0[l] = BSedDistrib[0][l][b];
    x.f1[l] = BSedDistrib[1][l][b];
  }
  return x;
}

void store(const Layers& x) {
  BSedDistrib[0][0][x.b] = x.T0;
  BSedDistrib[1][0][x.b] = x.T1;
  for (int l = 1; l <= lnumber; ++l) {
    BSedDistrib[0][l][x.b] = x.f0[l];
    BSedDistrib[1][l][x.b] = x.f1[l];
  }
}

double sideSum(const Table1<int>& count, const Table2<int>& first, const Table2<double>& a, int c,
               const Row1<double>& C) {
  double s = 0;
  for (int k = 0; k < count[c]; ++k) s += a[c][k] * C[first[c][0] + k];
  return s;
}

// Net sediment into the bottom cell c of bed cell b from its balance (kg/s of water times
// concentration): what the bed receives.
double netExchange(int l, int b, int c, bool several) {
  const Row1<double> C = Cconc[l];
  const double top = lnumber >= 2 ? Catm[l][c] : Cat[c];
  double n = Can[c] * C[Ccelln[c]] + Cas[c] * C[Ccells[c]] + Caw[c] * C[Ccellw[c]] +
             Cae[c] * C[Ccelle[c]] + top * C[Ccellt[c]] + Bsource[l][b] - Bap[l][b] * C[c] +
             secondNeighbourInflow(l, c, lnumber < 2);
  if (several)
    n += sideSum(Cncelle, Cqncelle, Cqnae, c, C) + sideSum(Cncellw, Cqncellw, Cqnaw, c, C) +
         sideSum(Cncelln, Cqncelln, Cqnan, c, C) + sideSum(Cncells, Cqncells, Cqnas, c, C);
  return n;
}

// Bed change (m) of every size in bed cell b this step, by the solver family; Bedmove and the
// counters follow.
void exchange(int b, int c, int family, bool several, PerSize dz) {
  double sum = 0;
  for (int l = 1; l <= lnumber; ++l) {
    double d;
    if (family == 2 && !several) {
      const double settling = Cconc[l][c] * Faz[Cflateb[c]] * fallvelo[l] * 1000.0;
      const double area = lnumber >= 2 ? Barea[b] + 1e-20 : Barea[b];
      d = (settling - Bsource[l][b]) * 0.001 / SolidFrac * TimeStep / area;
    } else {
      const double area = several ? Barea[b] : Barea[b] + 1e-20;
      d = netExchange(l, b, c, several && QNFlag > 0) * 0.001 / SolidFrac * TimeStep / area;
    }
    dz[l] = d;
    sum += d;
    kBedmove[l] += Barea[b] * d * 1000.0 * SolidFrac;
  }
  Bedmove[b] = sum;
}

void oneSize(Layers& x, double dz, double Ta) {
  if (dz < -1e-9) {
    const double D = -dz;
    if (x.T0 > D) {
      x.T0 -= D;
    } else if (x.T0 >= 1e-15) {
      x.T1 = x.T1 + x.T0 - D;
      x.T0 = 0;
    } else {
      x.T0 = 0;
      x.T1 = std::max(x.T1 - D, 0.0);
    }
  } else if (dz > 1e-9) {
    if (x.T0 > 1e-15) {
      x.T0 += dz;
    } else {
      const double t = x.T1 + dz;
      if (t >= Ta) {
        x.T0 = t - Ta;
        x.T1 = Ta;
      } else {
        x.T1 = t;
      }
    }
  }
}

double sumOf(const double* f) {
  double s = 0;
  for (int l = 1; l <= lnumber; ++l) s += f[l];
  return s;
}

void printSecondLine(int b, double dz, double T0) {
  logf("Bedmove = %lf, bedmove = %lf, InactiveThickness = %lf\n", Bedmove[b], dz, T0);
}

void printErrorMorphology1(int b, double t, double dz, double T0) {
  logf("Warning, erosion %lf below fixed bed at i,j=%d %d\n", t, Bkooi[b], Bkooj[b]);
  printSecondLine(b, dz, T0);
}

void printErrorMorphology2(int b, double s, double dz, double T0) {
  logf("Warning, SumG = %lf at i,j=%d %d\n", s, Bkooi[b], Bkooj[b]);
  printSecondLine(b, dz, T0);
}

void printErrorMorphology3(int iter, const Layers& x, int c, int l, const double* vol, double dz,
                           double thick2, double s) {
  const int b = x.b;
  logf("TSC error, fractions: Iter=%d, b=%d, c=%d, l=%d, i=%d, j=%d\n", iter, b, c, l, Bkooi[b], Bkooj[b]);
  logf("BSedDistrib[l=%d,b=%d] = %lf %lf %lf %lf\n", l, b, x.f1[l], x.T1, x.f0[l], x.T0);
  logf("bedmove = %lg, thick2=%lg, SumG=%lg, midA[%d]=%lg\n", dz, thick2, s, l, vol[l]);
}

// Erosion of D from the two layers; returns the check value s and the thickness taken from
// layer 0 (thick2).
double erode(Layers& x, double D, const double* vol, int family, double& thick2) {
  if (x.T0 > D) {
    for (int l = 1; l <= lnumber; ++l) x.f1[l] = (x.f0[l] * D + vol[l]) / (x.T1 + 1e-30);
    x.T0 -= D;
    thick2 = D;
    return sumOf(x.f1);
  }
  if (x.T0 >= 1e-15) {
    x.T1 = x.T1 + x.T0 - D;
    double s = 0;
    for (int l = 1; l <= lnumber; ++l) s += x.f0[l] * x.T0 + vol[l];
    for (int l = 1; l <= lnumber; ++l) x.f1[l] = (x.f0[l] * x.T0 + vol[l]) / (s + 1e-20);
    x.T0 = 0;
    return 1;
  }
  x.T0 = 0;
  x.T1 = std::max(x.T1 - D, 0.0);
  double v[kSizes];
  double s = 0;
  for (int l = 1; l <= lnumber; ++l) s += (v[l] = vol[l]);
  if (family == 2) {
    for (int l = 1; l <= lnumber; ++l) x.f1[l] = v[l] / (s + 1e-20);
  } else {
    if (s < 1e-50) {
      v[1] += 1e-50;
      s += 1e-50;
    }
    for (int l = 1; l <= lnumber; ++l) x.f1[l] = v[l] / s;
  }
  return 1;
}

// Deposition of e onto the two layers; returns the check value s.
double deposit(Layers& x, double e, const double* vol, double V, const double* dz, double Ta,
               int family) {
  if (x.T0 > 1e-15) {
    double m = 0;
    for (int l = 1; l <= lnumber; ++l) m = std::min(m, dz[l] / (x.f1[l] + 1e-20));
    if (family == 2 || e - m > Ta) {
      // The deposit replaces the whole active composition.
      for (int l = 1; l <= lnumber; ++l) x.f1[l] = vol[l] / V;
      for (int l = 1; l <= lnumber; ++l) x.f0[l] = (x.f1[l] * e + x.f0[l] * x.T0) / (x.T0 + e);
      x.T0 += e;
      return sumOf(x.f0);
    }
    for (int l = 1; l <= lnumber; ++l) x.f0[l] = (x.f1[l] * e + x.f0[l] * x.T0) / (x.T0 + e);
    for (int l = 1; l <= lnumber; ++l) x.f1[l] = (x.f1[l] * (Ta - e) + dz[l]) / (x.T1 + 1e-15);
    x.T0 += e;
    return sumOf(x.f1);
  }
  if (x.T1 + e < Ta) {
    for (int l = 1; l <= lnumber; ++l) x.f1[l] = vol[l] / V;
    x.T1 += e;
  } else {
    for (int l = 1; l <= lnumber; ++l) x.f1[l] = x.f0[l] = vol[l] / V;
    x.T0 = x.T1 + e - Ta;
    x.T1 = Ta;
  }
  return 1;
}

void severalSizes(Layers& x, int c, const double* dz, double Ta, int family) {
  double vol[kSizes] = {};
  double V = 0;
  for (int l = 1; l <= lnumber; ++l) {
    vol[l] = dz[l] + x.f1[l] * x.T1;
    if (vol[l] <= 0) {
      bedLimDef[l] += vol[l];
      vol[l] = 0;
    }
    V += vol[l];
  }
  const int b = x.b;
  const double e = V - x.T1;
  kLimDef += SolidFrac * (Bedmove[b] - e) * Barea[b] * 1000.0 * density;
  const double T1before = x.T1;
  double s = 1, thick2 = 0;
  if (e < -1e-9)
    s = erode(x, -e, vol, family, thick2);
  else if (e > 1e-9)
    s = deposit(x, e, vol, V, dz, Ta, family);
  for (int l = 1; l <= lnumber; ++l) {
    if (std::fabs(x.f0[l]) < 1e-15) x.f0[l] = 0;
    if (std::fabs(x.f1[l]) < 1e-15) x.f1[l] = 0;
  }
  if (T1before + e < 0) printErrorMorphology1(b, T1before + e, e, x.T0);
  if ((s < 0.99 || s > 1.01) && std::fabs(Bedmove[b]) > 1e-8) printErrorMorphology2(b, s, e, x.T0);
  for (int l = 1; l <= lnumber; ++l)
    if (x.f1[l] > 1 || x.f1[l] < 0) printErrorMorphology3(Iter, x, c, l, vol, e, thick2, s);
}

void fractions(double Ta, int family) {
  for (int b = WBStart; b <= WBEnd; ++b) {
    const int c = Bcellt[b];
    if (c < 1) {
      Bedmove[b] = 0;
      continue;
    }
    double dz[kSizes] = {};
    exchange(b, c, family, false, dz);
    Layers x = load(b);
    if (lnumber == 1)
      oneSize(x, dz[1], Ta);
    else
      severalSizes(x, c, dz, Ta, family);
    store(x);
  }
}

// The two-layer update of F 137 for bed cell b with several sizes.
void severalNeighbourLayers(Layers& x, int c, const double* dz, double Ta) {
  double vol[kSizes] = {};
  double V = 0;
  for (int l = 1; l <= lnumber; ++l) V += (vol[l] = std::max(dz[l] + x.f1[l] * x.T1, 0.0));
  const double e = V - x.T1;
  double taken = 0, s = 1;
  if (e > 1e-9) {
    double r = e;
    if (x.T1 < Ta) {
      const double T1new = std::min(x.T1 + e, Ta);
      r = x.T1 - T1new + e;
      x.T1 = T1new;
    }
    for (int l = 1; l <= lnumber; ++l) x.f1[l] = vol[l] / (V + 1e-30);
    if (r > 1e-9) {
      double sum = 0;
      for (int l = 1; l <= lnumber; ++l) sum += (x.f0[l] = (x.f1[l] * r + x.f0[l] * x.T0) / (x.T0 + r));
      for (int l = 1; l <= lnumber; ++l) x.f0[l] /= sum + 1e-30;
      x.T0 += r;
    }
  } else if (e < -1e-9) {
    const double D = -e;
    taken = std::min(x.T0, D);
    x.T1 += std::min(x.T0 - D, 0.0);
    x.T0 = std::max(x.T0 - D, 0.0);
    for (int l = 1; l <= lnumber; ++l) x.f1[l] = std::min((taken * x.f0[l] + vol[l]) / (x.T1 + 1e-30), 1.0);
    s = sumOf(x.f1);
  }
  const int b = x.b;
  if (x.T1 < 0) failf(-44, "Error, negative bed layer at i,j=%d %d\n", Bkooi[b], Bkooj[b]);
  for (int l = 1; l <= lnumber; ++l) {
    if (!(x.f1[l] > 1 || x.f1[l] < 0)) continue;
    logf("Error in TSC1: Iter=%d, b=%d, c=%d, l=%d, i=%d, j=%d\n", Iter, b, c, l, Bkooi[b], Bkooj[b]);
    logf("BSedDistrib[%d,%d] = %lf %lf %lf %lf\n", l, b, x.f1[l], x.T1, x.f0[l], x.T0);
    logf("dummy = %lg, thick2=%lg, SumG=%lg, midA[%d]=%lg\n", e, taken, s, l, vol[l]);
  }
}

}  // namespace

void morphology_fractions(double Ta) { fractions(Ta, 1); }

void morphology2_fractions(double Ta) { fractions(Ta, 2); }

void morphology_QNfractions(double Ta) {
  if (lnumber >= 2 && NoBedLayers != 2) {
    morphology_QNfractionsLayered(Ta);
    return;
  }
  for (int b = WBStart; b <= WBEnd; ++b) {
    const int c = Bcellt[b];
    if (c < 1) {
      Bedmove[b] = 0;
      continue;
    }
    double dz[kSizes] = {};
    exchange(b, c, 1, true, dz);
    if (lnumber == 1) continue;
    Layers x = load(b);
    severalNeighbourLayers(x, c, dz, Ta);
    store(x);
  }
}

}  // namespace qorva
