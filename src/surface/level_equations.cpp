// The change-based water-level equations of the separate builders (F 36 4, 7, 8): one row per
// water column at its bottom cell, coupling it to its four or eight neighbour columns with
// weights by flow direction and Froude number; the pressure field gives the wanted level
// differences. Reads Cpres, Cxvel, Cyvel, the cell geometry and links, BFroude, Bdepth,
// Bpresavg, Croughness, zval, the reference state and the options of F 246, F 283, F 233,
// F 322, F 352, F 405; writes Cap, Csource, Cf, Cae..Can, Caee..Cann, Cat, Cab of the rows
// (and Ckdist[0]) and zval[iPres][jPres][znumber + 1].
#include <algorithm>
#include <cmath>

#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/points.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "surface/level_equations.h"
#include "surface/surface.h"
#include "surface/worked_blocks.h"

namespace qorva {

namespace {

using surf::forEachRow;
using surf::isolatedRow;

constexpr double kHead = 0.000101937;

void clearFivePoint() {
  for (int c = WCStart; c <= WCEnd; ++c) {
    Caw[c] = Cas[c] = Can[c] = Cae[c] = Cat[c] = Cab[c] = Csource[c] = Cf[c] = 0;
    Cap[c] = 0.0001;
  }
}

void needCorners() {
  if (!Caee || !Caww || !Cann || !Cass)
    failf(1, "%s",
          "Error: the nine-point water-level equation has no corner coefficients: they were "
          "not allocated for these settings\n");
}

void clearNinePoint() {
  needCorners();
  Ckdist[0] = 0;
  for (int c = WCStart; c <= WCEnd; ++c) {
    Can[c] = Cann[c] = Caw[c] = Caww[c] = Cas[c] = Cass[c] = Cae[c] = Caee[c] = 0;
    Cat[c] = Cab[c] = Csource[c] = Cf[c] = 0;
    Cap[c] = 0.0001;
  }
  if (onPlane(iPres, jPres)) zval[iPres][jPres][znumber + 1] = GlobZRef;
}

double bedFroude(int c) { return isGridCell(c) ? BFroude[Cbed[c]] : 0.0; }
double bedDepth(int c) { return isGridCell(c) ? Bdepth[Cbed[c]] : 0.0; }

// Limit depth of the F 36 4 builder: normal depth on a sloping bed, critical depth on a flat
// one, for supercritical flow only.
double fivePointLimitDepth(int c, const surf::ColumnFlow& f) {
  if (f.Fr <= 1) return 0;
  const int bed = Cflateb[c];
  const double nz = bed > 0 ? Fvz[bed] : 1.0;
  if (nz < 0.9) {
    const double M = 26 / std::pow(Croughness[c], 1.0 / 6.0);
    return std::pow(f.Um * f.h / (std::sqrt(std::acos(nz)) * M + 1e-20), 0.6);
  }
  if (nz > 0.9) return std::pow(2 * f.K * f.Um / 3.132091952673165, 0.666666666667);
  return 0;
}

}  // namespace

void surf::isolatedRow(int c, double Fr, double D) {
  switch (FlagSurfLimit2) {
    case 2: Cap[c] = std::max(Cap[c], 1.0); break;
    case 4:
      if (Cap[c] < 0.01) {
        Cap[c] = 1;
        Csource[c] = std::pow(Fr * Fr, 0.3333333) * D - D;
      }
      break;
    case 5:
      if (Cap[c] < 0.01) {
        Cap[c] = 1;
        Csource[c] = 0;
      }
      break;
    default: break;
  }
}

namespace {

void fivePointRow(int i, int j, int c) {
  Csource[c] = 0;
  const int t = topOf(c);
  const int from = TopBed == 1 ? t : c;
  const surf::ColumnFlow f = surf::columnFlow(c);
  const double U = std::sqrt(Cxvel[t] * Cxvel[t] + Cyvel[t] * Cyvel[t] + 1e-20);
  const double hl = fivePointLimitDepth(c, f);
  const Table1<int>* links[4] = {&Ccellw, &Ccelle, &Ccells, &Ccelln};
  Table1<double>* coeff[4] = {&Caw, &Cae, &Cas, &Can};
  for (int k = 0; k < 4; ++k) {
    const int nb = topOf(surf::link(*links[k], from));
    if (nb == 0) continue;
    const double d = surf::horizontalDistance(t, nb) + 1e-20;
    double dh = computeDhSurf(nb, t, d);
    const double cs =
        ((Cxcenter[nb] - Cxcenter[t]) * Cxvel[t] + (Cycenter[nb] - Cycenter[t]) * Cyvel[t]) /
        (U * d);
    if ((FlagSurfLimit1 == 1 && cs < 0) || FlagSurfLimit1 == 2) dh = std::max(dh, hl - f.h);
    const double a = computeCoeffSurf(cs, f.Fr) / d;
    (*coeff[k])[c] += a;
    Csource[c] += dh * a;
  }
  Cap[c] = Caw[c] + Cae[c] + Cas[c] + Can[c] + 1e-20;
  const int bed = onPlane(i, j) && pointbed ? pointbed[i][j] : 0;
  isolatedRow(c, f.Fr, bed > 0 ? Bdepth[bed] : 0.0);
  if (FlagSurfLimit2 == 7) Csource[c] += 0.05;
  if (FlagTimeSurf > 0) Cap[c] += FlagTimeSurf * f.Fr;
}

// Stores the eight weights of a nine-point row in list order (north, north-west, west,
// south-west, south, south-east, east, north-east).
void storeNine(int c, const double (&a)[9]) {
  Can[c] = a[1];
  Cann[c] = a[2];
  Caw[c] = a[3];
  Caww[c] = a[4];
  Cas[c] = a[5];
  Cass[c] = a[6];
  Cae[c] = a[7];
  Caee[c] = a[8];
}

void eightPointRow(int c) {
  int nb[9];
  surf::ninePointNeighbours(c, nb);
  const int t = topOf(c);
  const double Fr = bedFroude(c);
  double K = 0;
  upColumn(c, [&K](int k) { K += Ckdist[k]; });
  const double U = std::sqrt(Cxvel[t] * Cxvel[t] + Cyvel[t] * Cyvel[t] + 1e-20);
  double a[9] = {};
  Cap[c] = 1e-20;
  Csource[c] = 0;
  for (int k = 1; k <= 8; ++k) {
    const int tk = topOf(nb[k]);
    if (tk == 0) continue;
    const double dx = Cxcenter[tk] - Cxcenter[t], dy = Cycenter[tk] - Cycenter[t];
    const double d = std::sqrt(dx * dx + dy * dy + 1e-20);
    const double cs = (dx * Cxvel[t] + dy * Cyvel[t]) / (d * U);
    const double s = std::clamp((Cpres[t] - Cpres[tk]) / (9810 * d), -Diffslope, Diffslope);
    // The weight grows with the distance: the wanted difference is a slope over it.
    const double D = 1 / (1 / d + 1e-20);
    double dz = s * D - (topFace(t) - topFace(tk));
    if (cs < 0) dz = std::max(dz, -2 * K);
    a[k] = computeCoeffSurf(cs, Fr) * D;
    Cap[c] += a[k];
    Csource[c] += dz * a[k];
  }
  storeNine(c, a);
}

// ---- F 36 7 ----

// Limit depth of the nine-point limiters by F 246 third value; D0 the own depth.
double ninePointLimitDepth(int c, double Fr, double D0, bool driver) {
  switch (FlagSurfLimit3) {
    case -1: return Fr > 1 ? D0 : 0;
    case -2: return Fr > 1 ? 1.1 * D0 : 0;
    case -3:
    case -5: return Fr > 1 ? Fr * D0 : 0;
    case -4: return Fr > 0.9 ? D0 : 0;
    case -6: return Fr > 0.5 ? D0 : 0;
    case -7: return Fr > 1 ? std::pow(Fr, 0.66666667) * D0 : 0;
    case -8: {
      // Normal depth on a sloping bed, the velocity head on a flat one (the driver's rows).
      if (!driver || Fr < 1 || !isGridCell(c)) return 0;
      const double Us = Fr * std::sqrt(9.81 * D0);
      const int bed = Cflateb[c];
      const double nz = bed > 0 ? Fvz[bed] : 1.0;
      if (nz < 0.9) {
        const double M = 26 / std::pow(0.3333 * Croughness[c], 1.0 / 6.0);
        return std::pow(Us / (std::sqrt(std::acos(nz)) * M + 1e-20), 1.5);
      }
      return Us * Us / 9.81;
    }
    default: return 0;
  }
}

double highestTopCorner(int t) {
  return std::max({Pz[Cpoint5[t]], Pz[Cpoint6[t]], Pz[Cpoint7[t]], Pz[Cpoint8[t]]});
}
double lowestTopCorner(int t) {
  return std::min({Pz[Cpoint5[t]], Pz[Cpoint6[t]], Pz[Cpoint7[t]], Pz[Cpoint8[t]]});
}

// Pressure head of the difference between the top cell and the cell below it (0 for a column
// of one cell).
double upperHead(int t) {
  const int b = Ccellb[t];
  return isGridCell(b) ? Cpres[t] - Cpres[b] : 0.0;
}

// The wanted level change between the column of bottom cell c (top cell t0) and the neighbour
// column of bottom cell nb (top cell tk), by F 233.
double ninePointWantedChange(int c, int t0, int nb, int tk) {
  const double L = topFace(t0) - topFace(tk);
  switch (FlagNonHydrostaticSurf) {
    case 6: return kHead * (Bpresavg[Cbed[c]] - Bpresavg[Cbed[nb]]) - L;
    case 7: {
      const double H = kHead * (Bpresavg[Cbed[c]] - Bpresavg[Cbed[nb]]);
      if (H <= 0) return std::min(H - (lowestTopCorner(t0) - highestTopCorner(tk)), 0.0);
      return std::max(H - (highestTopCorner(t0) - lowestTopCorner(tk)), 0.0);
    }
    case 5:
      return kHead * 0.5 * (Cpres[t0] + Cpres[c] - Cpres[tk] - Cpres[nb]) - L;
    default: break;
  }
  double dz = kHead * (Cpres[t0] - Cpres[tk]) - L;
  const double column = kHead * ((Cpres[t0] - Cpres[c]) - (Cpres[tk] - Cpres[nb]));
  const bool layered = Ccellt[c] != 0 && Ccellt[nb] != 0;
  const double upper = kHead * (upperHead(t0) - upperHead(tk));
  switch (FlagNonHydrostaticSurf) {
    case 1: return dz - column;
    case 2: return dz + column;
    case 3: return layered ? dz - upper : dz;
    case 4: return layered ? dz + upper : dz;
    default: return dz;
  }
}

// F 246 second value after the nine neighbours of an F 36 7 row; S half the sum of the
// cosines' magnitudes, D0 the own depth.
void ninePointLimiters(int c, double Fr, double S, double D0) {
  const int v = FlagSurfLimit2;
  if (v == 1 || v == 3) {
    double g;
    if (v == 1)
      g = Fr > 1 ? 11 - 10 * Fr : 10 * Fr - 9;
    else
      g = Fr > 1 ? 0.2 * (15 - 10 * Fr) : 0.2 * (10 * Fr - 5);
    Cap[c] += S * std::max(0.0, g);
  } else if (v == 2 || v == 4 || v == 5) {
    isolatedRow(c, Fr, D0);
  }
}

}  // namespace

void computeCoeffTFS4() {
  checkLevelWeightOptions();
  clearFivePoint();
  forEachRow(fivePointRow);
  setSurfaceBoundary();
}

void computeCoeffTFS8() {
  checkLevelWeightOptions();
  clearNinePoint();
  forEachRow([](int, int, int c) { eightPointRow(c); });
  setSurfaceBoundary();
}

namespace {

// F 283 2: a column with a corner shallower than F 86 / F 94 becomes the plain mean of its
// present neighbours.
bool shallowCorner(int i, int j) {
  auto depth = [](int p, int q) { return zval[p][q][znumber] - zval[p][q][1]; };
  return std::min({depth(i, j), depth(i, j - 1), depth(i - 1, j), depth(i - 1, j - 1)}) <
         MinVertDist0;
}

// One F 36 7 row: the list, cosines, distances and depths of the neighbours.
struct NineRow {
  int nb[9];
  int t[9];
  double D[9];
  double cs[9] = {}, d[9] = {};
  double S = 0, Fr = 0, dm = 0;
};

// The direction cosines between the flow and the bottom-cell centres of the neighbours. The
// separate builder takes the velocities of both columns' top and bottom cells; the driver's
// rows those of the own bottom cell and the neighbour's top cell. A small addend keeps still
// water (no velocity at all) from dividing nothing by nothing: its cosines are 0.
void nineCosines(int c, bool driver, NineRow& r) {
  int present = 0;
  double dsum = 0;
  for (int k = 1; k <= 8; ++k) {
    if (r.nb[k] == 0) continue;
    const int n = r.nb[k];
    const double dx = Cxcenter[n] - Cxcenter[c], dy = Cycenter[n] - Cycenter[c];
    r.d[k] = std::sqrt(dx * dx + dy * dy);
    double U = Cxvel[c] + Cxvel[r.t[k]], V = Cyvel[c] + Cyvel[r.t[k]];
    if (!driver) {
      U += Cxvel[r.t[0]] + Cxvel[n];
      V += Cyvel[r.t[0]] + Cyvel[n];
    }
    r.cs[k] = (dx * U + dy * V) / (r.d[k] * std::sqrt(U * U + V * V) + 1e-20);
    r.S += 0.5 * std::fabs(r.cs[k]);
    if (FlagSurfLimit3 == -5) r.Fr = std::max(r.Fr, bedFroude(n));
    dsum += r.d[k];
    ++present;
  }
  r.dm = dsum / (present + 1e-20);
}

// Weight of neighbour k of an F 36 7 row.
double nineWeight(bool driver, const NineRow& r, int k) {
  const double Frk = bedFroude(r.nb[k]);
  if (driver) {
    double w = computeCoeffSurf(r.cs[k], Frk);
    if (FlagTestNB == 1) w = w * r.dm / (r.d[k] + 1e-20);
    if (reduceCornersSurf > -0.1 && k % 2 == 0) w *= reduceCornersSurf;
    return w;
  }
  const double w = computeCoeffSurf(r.cs[k], FlagTFS5 != 0 ? Frk : r.Fr);
  const bool cut1 = r.cs[k] > 0 && r.Fr < 1 && Frk > 1;
  const bool cut2 = r.cs[k] < 0 && r.Fr > 1 && Frk < 1;
  if ((FlagTFS6 == 1 && cut1) || (FlagTFS6 == 2 && cut2) || (FlagTFS6 == 3 && (cut1 || cut2)))
    return 0;
  return w;
}

// F 246 second value 5 and 6 of the driver's rows: a supercritical column lets go of its
// neighbours (the central coefficient keeps their sum), or its wanted changes are cut.
void driverLimiters(int c, NineRow& r, double (&a)[9]) {
  if (FlagSurfLimit2 == 5) {
    for (int k = 1; k <= 8; ++k) a[k] *= std::max(0.0, 1 - r.Fr);
  } else if (FlagSurfLimit2 == 6) {
    Csource[c] *= 0.3;
  } else {
    ninePointLimiters(c, r.Fr, r.S, r.D[0]);
  }
}

void tfs7Row(int i, int j, int c, bool driver) {
  NineRow r;
  surf::ninePointNeighbours(c, r.nb);
  for (int k = 0; k <= 8; ++k) {
    r.t[k] = topOf(r.nb[k]);
    r.D[k] = bedDepth(r.nb[k]);
  }
  r.Fr = bedFroude(c);
  nineCosines(c, driver, r);
  const double hl = ninePointLimitDepth(c, r.Fr, r.D[0], driver);
  double a[9] = {};
  Cap[c] = 1e-20;
  Csource[c] = 0;
  for (int k = 1; k <= 8; ++k) {
    if (r.t[k] == 0) continue;
    double dz = ninePointWantedChange(c, r.t[0], r.nb[k], r.t[k]);
    dz = r.d[k] * std::clamp(dz / (r.d[k] + 1e-20), -Diffslope, Diffslope);
    if ((FlagSurfLimit1 == 1 && r.cs[k] < 0) || FlagSurfLimit1 == 2) dz = std::max(dz, hl - r.D[0]);
    a[k] = nineWeight(driver, r, k);
    Csource[c] += dz * a[k];
    Cap[c] += a[k];
    if (FlagSurfLimit4 == 1 && r.Fr > 1 && r.cs[k] > 0 && topFace(r.t[k]) < topFace(r.t[0]))
      Cap[c] += r.Fr;
  }
  if (driver) {
    driverLimiters(c, r, a);
  } else {
    ninePointLimiters(c, r.Fr, r.S, r.D[0]);
    if (FlagSurfLimit4 == 2 && shallowCorner(i, j)) {
      Cap[c] = 0;
      Csource[c] = 0;
      for (int k = 1; k <= 8; ++k) {
        a[k] = r.nb[k] != 0 ? 1 : 0;
        Cap[c] += a[k];
      }
    }
  }
  storeNine(c, a);
  if (FlagTimeSurf > 0) Cap[c] += FlagTimeSurf * r.Fr;
}

}  // namespace

// F 405: the transient term of the nine-point rows of the worked blocks.
void ninePointTimeTerm() {
  if (FlagTFS7 <= 0) return;
  if (!(TimeStep > 0))
    failf(1, "Error: F 405 %d needs a time step above zero (F 17 or F 33)\n", FlagTFS7);
  surf::forEachWorkedColumn([](int i, int j) {
    if (const int c = columnBottom(i, j); c > 0) Cap[c] += FlagTFS7 / TimeStep;
  });
}

void computeCoeffTFS7() {
  checkLevelWeightOptions();
  clearNinePoint();
  forEachRow([](int i, int j, int c) { tfs7Row(i, j, c, false); });
  ninePointTimeTerm();
}

void buildNinePointRows(bool driverSeven) {
  checkLevelWeightOptions();
  clearNinePoint();
  if (FlagTFS == 8)
    forEachRow([](int, int, int c) { eightPointRow(c); });
  else
    forEachRow([driverSeven](int i, int j, int c) { tfs7Row(i, j, c, driverSeven); });
}

}  // namespace qorva
