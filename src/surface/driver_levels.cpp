// The update driver's own water-level equations (F 323 0): the five-point level-change
// equation of F 36 4 with its options, the absolute-level equation of F 36 21, and the
// nine-point equations of F 36 7 and 8, each with the driver's pins, the solve and the node
// update. Reads Cpres, Cpres_res, Cxvel, Cyvel, Fflux, the cell geometry and links, BFroude,
// Bdepth, Barea, Croughness, zval, pointcell_old, pointbed, the reference state and the
// options of F 438, F 422, F 431, F 246, F 427, F 322, F 474, F 343, F 351, F 261, F 282,
// F 229, F 271; writes the equation rows (Cap, Csource, Cf, Cae..Can, Caee..Cann), Bdeltah
// and, through the node update, the water levels.
#include <algorithm>
#include <cmath>
#include <vector>

#include "solvers/solvers.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "surface/level_equations.h"
#include "surface/surface.h"
#include "surface/worked_blocks.h"

namespace qorva {

namespace {

using surf::forEachRow;

// The four sides in the driver's order west, south, east, north.
enum Side { West, South, East, North };

const Table1<int>& sideLink(int k) {
  static const Table1<int>* const links[4] = {&Ccellw, &Ccells, &Ccelle, &Ccelln};
  return *links[k];
}
const Table1<int>& sideFace(int k) {
  static const Table1<int>* const faces[4] = {&Cflatew, &Cflates, &Cflatee, &Cflaten};
  return *faces[k];
}
Table1<double>& sideCoefficient(int k) {
  static Table1<double>* const coeff[4] = {&Caw, &Cas, &Cae, &Can};
  return *coeff[k];
}

// Face of top cell t on side k, or of bottom cell c where t has none.
int sideFaceOf(int k, int t, int c) {
  const int f = sideFace(k)[t];
  return f > 0 ? f : sideFace(k)[c];
}

// What one F 36 4 row knows of its column.
struct FiveRow {
  int i, j, c, t;
  int nb[4];
  surf::ColumnFlow f;
  double W = 0, hl = 0, dm = 0, bound = 0;
};

// The weight base of the direction cosines by F 438.
double weightBase(const FiveRow& r) {
  const int t = r.t, c = r.c;
  switch (FlagWeightComp) {
    case 1: {
      const double u = 0.5 * (Cxvel[t] + Cxvel[c]), v = 0.5 * (Cyvel[t] + Cyvel[c]);
      return 1 / std::sqrt(u * u + v * v + 1e-20);
    }
    case 2: {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += std::fabs(Fflux[sideFaceOf(k, t, c)]);
      return 2 / (sum + 1e-20);
    }
    default: return 1 / std::sqrt(Cxvel[t] * Cxvel[t] + Cyvel[t] * Cyvel[t] + 1e-20);
  }
}

double fiveCosine(const FiveRow& r, int k, double dx, double dy, double d) {
  const int t = r.t, c = r.c;
  switch (FlagWeightComp) {
    case 1:
      return (dx * 0.5 * (Cxvel[c] + Cxvel[t]) + dy * 0.5 * (Cyvel[t] + Cyvel[c])) * r.W / d;
    case 2: {
      const double F = Fflux[sideFaceOf(k, t, c)];
      return r.W * (k == West || k == South ? std::max(F, 0.0) : std::max(-F, 0.0));
    }
    default: return (dx * Cxvel[t] + dy * Cyvel[t]) * r.W / d;
  }
}

bool residualSmall(int nb, int t, double bound) {
  return std::fabs(Cpres_res[nb]) + std::fabs(Cpres_res[t]) <= bound;
}

// The wanted level change towards neighbour top cell nb on side k: from the friction slope of
// the face where F 246 asks for it, else from the pressure field with the F 427 filters.
double fiveWantedChange(const FiveRow& r, int k, int nb, double d) {
  const bool single = Ccellt[r.c] == 0;
  const bool friction = (FlagSurfLimit1 == 4 && (single || Ccellb[nb] == 0)) ||
                        (FlagSurfLimit1 == 3 && (single || r.f.Fr > 1));
  if (friction) {
    const double M = 26 / std::pow(0.33333 * Croughness[r.c], 1.0 / 6.0);
    const int sign = k == West || k == South ? -1 : 1;
    return computeDhMann(nb, r.t, sideFace(k)[r.t], sign, d, M);
  }
  const double dz = computeDhSurf(nb, r.t, d) * scaleBackwater;
  switch (FlagSurfLimit5) {
    case 4: return residualSmall(nb, r.t, 0.005) ? dz : 0.0;
    case 5: return residualSmall(nb, r.t, r.bound) ? dz : 0.0;
    case 6:
      return Ccelle[r.t] != 0 && Ccellw[r.t] != 0 && Ccelln[r.t] != 0 && Ccells[r.t] != 0 ? dz
                                                                                          : 0.0;
    default: return dz;
  }
}

double nodeDepth(int i, int j) { return zval[i][j][znumber] - zval[i][j][1]; }

// F 427 1 and 3: the change fades out where the side shared with the neighbour runs shallow.
double shallowSide(const FiveRow& r, int k, double dz) {
  const int i = r.i, j = r.j;
  double m2;
  switch (k) {
    case West: m2 = std::min(nodeDepth(i - 1, j - 1), nodeDepth(i - 1, j)); break;
    case East: m2 = std::min(nodeDepth(i, j - 1), nodeDepth(i, j)); break;
    case South: m2 = std::min(nodeDepth(i - 1, j - 1), nodeDepth(i, j - 1)); break;
    default: m2 = std::min(nodeDepth(i - 1, j), nodeDepth(i, j)); break;
  }
  const double f = m2 / MinVertDist0 - MinVertDist0;
  if (f <= 0) return 0;
  return f < 1 ? f * dz : dz;
}

// F 427 2 and 3: no change towards a column that was dry in the previous grid.
bool wasDry(const FiveRow& r, int k) {
  static const int di[4] = {-1, 0, 1, 0}, dj[4] = {0, -1, 0, 1};
  const int i = r.i + di[k], j = r.j + dj[k];
  if (!onPlane(i, j)) return true;
  return pointcell_old[i][j] == 0;
}

double limitedChange(const FiveRow& r, double cs, double dz) {
  const double floor = r.hl - r.f.h;
  switch (FlagSurfLimit1) {
    case 1: return cs < 0 ? std::max(dz, floor) : dz;
    case 2: return std::max(dz, floor);
    case 5: {
      const double m = std::max(dz, floor);
      if (cs < -0.4) return m;
      if (cs < 0) return dz + 2.5 * cs * (dz - m);
      return dz;
    }
    default: return dz;
  }
}

void fiveSide(const FiveRow& r, int k) {
  const int nb = r.nb[k];
  const double dx = Cxcenter[nb] - Cxcenter[r.t], dy = Cycenter[nb] - Cycenter[r.t];
  const double d = std::sqrt(dx * dx + dy * dy) + 1e-20;
  const double cs = fiveCosine(r, k, dx, dy, d);
  double a = computeCoeffSurf(cs, r.f.Fr);
  if (FlagAddAnbShallow == 1) {
    const double x = 15 - (r.f.h / MinVertDist1) * ValAddAnbShallow;
    if (x > 0) a += std::min(x, 10.0);
  }
  if (FlagTestNB == 1) a = a * r.dm / (1e-20 + d);
  double dz = limitedChange(r, cs, fiveWantedChange(r, k, nb, d));
  if (FlagSurfLimit5 == 1 || FlagSurfLimit5 == 3) dz = shallowSide(r, k, dz);
  if ((FlagSurfLimit5 == 2 || FlagSurfLimit5 == 3) && wasDry(r, k)) dz = 0;
  Csource[r.c] += a * dz;
  sideCoefficient(k)[r.c] = a;
}

// The central coefficient's add-ons after the four sides: velocity-head floors (F 246 first
// value), isolated columns (second value) and the time term (F 322).
void fiveCentre(const FiveRow& r) {
  const int c = r.c;
  const double Fr = r.f.Fr;
  const double hv = 0.5 * r.f.Um * r.f.Um / 9.81;
  if (FlagSurfLimit1 == 6 || FlagSurfLimit1 == 7 || FlagSurfLimit1 == 8)
    Csource[c] = std::max(Csource[c], Cap[c] * (hv - r.f.h));
  if (FlagSurfLimit1 == 6) Csource[c] = std::min(Csource[c], Cap[c] * 3 * MinVertDist1);
  if (FlagSurfLimit1 == 8) Cap[c] += 0.1;
  const int bed = pointbed ? pointbed[r.i][r.j] : 0;
  const double D = bed > 0 ? Bdepth[bed] : 0.0;
  surf::isolatedRow(c, Fr, D);
  if (FlagSurfLimit2 == 7) Csource[c] += 0.05;
  switch (FlagTimeSurf) {
    case 1: Cap[c] += Fr; break;
    case 4: Cap[c] += 4 * Fr; break;
    case 5: Cap[c] += 1; break;
    case 6: Cap[c] += std::sqrt(Barea[Cbed[c]]) / TimeStep; break;
    case 7: Cap[c] += 1 / TimeStep; break;
    default: break;
  }
}

void fiveRow(int i, int j, int c, double bound) {
  FiveRow r{i, j, c, topOf(c), {}, surf::columnFlow(c), 0, 0, 0, bound};
  Csource[c] = 0;
  const int from = TopBed == 1 ? r.t : c;
  double dsum = 0;
  int present = 0;
  for (int k = 0; k < 4; ++k) {
    r.nb[k] = topOf(surf::link(sideLink(k), from));
    if (r.nb[k] == 0) continue;
    dsum += surf::horizontalDistance(r.t, r.nb[k]);
    ++present;
  }
  r.dm = dsum / (present + 1e-20);
  r.W = weightBase(r);
  r.hl = computeLimdepth(c, r.f.Fr, r.f.Um);
  for (int k = 0; k < 4; ++k)
    if (r.nb[k] != 0) fiveSide(r, k);
  Cap[c] = Caw[c] + Cae[c] + Cas[c] + Can[c] + 1e-20;
  fiveCentre(r);
}

// Options of F 36 4 whose arrays or time step a run may not have: refused at once rather
// than read past a table or divided by zero.
void checkFivePointOptions() {
  checkLevelWeightOptions();
  if ((FlagSurfLimit5 == 4 || FlagSurfLimit5 == 5) && !Cpres_res)
    failf(1, "Error: F 427 %d compares pressure residuals, which are kept only with F 90 1\n",
          FlagSurfLimit5);
  if ((FlagSurfLimit5 == 2 || FlagSurfLimit5 == 3) && !pointcell_old)
    failf(1, "Error: F 427 %d needs the columns of the previous grid, which this run does not "
             "keep\n",
          FlagSurfLimit5);
  if ((FlagTimeSurf == 6 || FlagTimeSurf == 7) && !(TimeStep > 0))
    failf(1, "Error: F 322 %d needs a time step above zero (F 17 or F 33)\n", FlagTimeSurf);
}

// 3 times the mean pressure residual, the bound of F 427 5.
double residualBound() {
  if (FlagSurfLimit5 != 5) return 0;
  double sum = 0;
  for (int c = 1; c <= NoCells; ++c) sum += std::fabs(Cpres_res[c]);
  return 3 * sum / (NoCells + 1e-20);
}

// The bottom cells of the boundary surfaces of group g, each passed to f once per surface.
template <class F>
void groupBottoms(int g, F f) {
  if (g <= 0 || g > 9) return;
  const DischargeGroup& d = DischargeStruct[g];
  const int n = surf::listedSurfaces(d);
  for (int s = 0; s < n; ++s) {
    const int c = surf::boundaryCell(d.surfaceList[s]);
    if (c != 0 && Ccellb[c] == 0) f(c);
  }
}

// The driver's pins: the reference column and the boundary columns of the outflow group
// kSurf and the inflow group kSurf2; F 474 1 takes the source of the west neighbours of the
// outflow columns (the five-point form only). No pin for the second reference column.
void driverPins(int cR, bool gradSurf) {
  surf::pinToLevel(bottomOf(cR), GlobZRef);
  groupBottoms(kSurf, [gradSurf](int c) {
    surf::pinToLevel(c, GlobZRef);
    if (gradSurf) {
      const int w = surf::link(Ccellw, c);
      if (w != 0) Csource[w] = 0;
    }
  });
  groupBottoms(kSurf2, [](int c) { surf::pinToLevel(c, GlobZRef2); });
}

void solveLevels(int mode) {
  surfaceSolver(mode);
}

// F 36 21: the absolute level of each column from its neighbours and the pressure slopes;
// the outlet columns pinned to the reference level.
void absoluteLevels() {
  checkLevelWeightOptions();
  forEachRow([](int i, int j, int c) {
    Csource[c] = 0;
    const double L0 = 0.25 * (zval[i - 1][j][znumber] + zval[i][j][znumber] +
                              zval[i - 1][j - 1][znumber] + zval[i][j - 1][znumber]);
    Cf[c] = L0;
    const int t = topOf(c);
    const int from = TopBed == 1 ? t : c;
    const surf::ColumnFlow f = surf::columnFlow(c);
    const double U = 0.5 * (Cxvel[t] + Cxvel[c]), V = 0.5 * (Cyvel[t] + Cyvel[c]);
    const double W = 1 / std::sqrt(U * U + V * V + 1e-20);
    for (int k = 0; k < 4; ++k) {
      const int nb = topOf(surf::link(sideLink(k), from));
      sideCoefficient(k)[c] = 0;
      if (nb == 0) continue;
      const double dx = Cxcenter[nb] - Cxcenter[t], dy = Cycenter[nb] - Cycenter[t];
      const double d = std::sqrt(dx * dx + dy * dy) + 1e-20;
      const double a = computeCoeffSurf((dx * Cxvel[t] + dy * Cyvel[t]) * W / d, f.Fr);
      const double s =
          std::clamp((Cpres[t] - Cpres[nb]) / (9810 * d + 1e-20), -Diffslope, Diffslope);
      Csource[c] += d * s * scaleBackwater * a;
      sideCoefficient(k)[c] = a;
    }
    Cap[c] = Caw[c] + Cae[c] + Cas[c] + Can[c] + 1e-20;
  });
  groupBottoms(kSurf, [](int c) {
    Csource[c] = GlobZRef * 1e20;
    Cap[c] = 1e20;
  });
}

}  // namespace

void surfaceFivePoint(int cR) {
  surf::OwnLevelField own;
  if (FlagTFS == 21) {
    // The solved levels become changes against the start levels, kept in their own array.
    std::vector<double> start(static_cast<std::size_t>(NoCells) + 1);
    forEachRow([&start](int i, int j, int c) {
      start[c] = 0.25 * (zval[i - 1][j][znumber] + zval[i][j][znumber] +
                         zval[i - 1][j - 1][znumber] + zval[i][j - 1][znumber]);
    });
    absoluteLevels();
    solveLevels(solverFroude != 0 ? 43 : 4);
    forEachRow([&start](int, int, int c) { Cf[c] -= start[c]; });
  } else {
    checkFivePointOptions();
    const double bound = residualBound();
    for (int c = WCStart; c <= WCEnd; ++c) {
      Caw[c] = Cas[c] = Can[c] = Cae[c] = Cat[c] = Cab[c] = Csource[c] = Cf[c] = 0;
      Cap[c] = 0.0001;
    }
    forEachRow([bound](int i, int j, int c) { fiveRow(i, j, c, bound); });
    driverPins(cR, FlagGradSurf == 1);
    for (int c = 0; c <= NoCells; ++c) Cf[c] = 0;
    if (BlockCasulli == 30) backwater();
    if (BlockCasulli == 4) backwaterPres();
    solveLevels(solverFroude != 0 ? 43 : 4);
    if (debugging == 'D' || debugging == 'E') surfaceBugtrap(2);
  }
  Cf[0] = 0;
  surfaceUpdate();
}

void surfaceNinePoint(int cR) {
  surf::OwnLevelField own;
  const bool seven = FlagTFS == 7;
  buildNinePointRows(true);
  if (seven) ninePointTimeTerm();
  driverPins(cR, false);
  if (seven && NoNestflater > 1 && FlagCoupledNesting == 4 && Ccoarsenest)
    for (int c = 1; c <= NoCells; ++c)
      if (const int m = Ccoarsenest[c]; m > 0) {
        Cap[c] = 1e20;
        Csource[c] = Cf[m] * 1e20;
      }
  for (int c = WCStart; c <= WCEnd; ++c) Cf[c] = 0;
  solveLevels(8);
  if (debugging == 'E') surfaceBugtrap(seven ? 4 : 3);
  Cf[0] = 0;
  if (seven && FlagUpdateDownwind != 0)
    surfaceUpdateDownwind();
  else
    surfaceUpdate();
  if (!seven) return;
  if (FlagPreventDiv != 0) surfacePreventDiv();
  computeBDeltah();
}

}  // namespace qorva
