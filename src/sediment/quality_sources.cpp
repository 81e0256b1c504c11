// Sources of one water-quality component (Equation 8 + k): the loads of the first time step,
// the inflow concentrations of the discharge groups and of the M data sets, the reaction,
// exchange and transfer terms of the Q data sets and the heat exchange with the air.
// Reads Ccomp, QTerms, DischargeStruct, SurfDischargeStruct, CompInflow, the timei series,
// Ckinen, Cgamma; adds to Csource and (inflows, pinned values) Cap; updates BQvar (code 2149).
#include <algorithm>
#include <cmath>

#include "grid/columns.h"
#include "sediment/quality_terms.h"
#include "sediment/sediment.h"
#include "state/bedcells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/options_f050_099.h"

namespace qorva {

namespace quality {

double thetaFactor(double q, int c) {
  return TemperatureFlag == 1 ? std::pow(q, Ccomp[0][c] - 20.0) : 1.0;
}

double growthFactor(double ratePerDay) {
  const double n = TransInnerIter > 0 ? TransInnerIter : 1;
  return std::expm1(ratePerDay * TimeStep / (86400.0 * n)) / TimeStep;
}

void verticalTransfer(int c, double F) {
  if (F > 0) {
    const int t = cellAbove(c);
    if (t == 0) return;  // the top cell keeps what would rise out of the water
    Csource[c] -= F;
    Csource[t] += F;
  } else if (F < 0) {
    Csource[c] += F;
    const int b = cellBelow(c);
    if (b != 0) Csource[b] -= F;  // out of the bottom cell it settles on the bed
  }
}

double irradianceNow() { return timeSeriesValue(Irradi, stimet); }
double airTemperatureNow() { return timeSeriesValue(AirTemp, stimet); }
double windFunctionNow() { return timeSeriesValue(Winn, 0, stimet); }

}  // namespace quality

namespace {

using namespace quality;

// Specific heat of water (J/(kg K)) and the seconds of a day: the terms of the heat balance are
// in J/(m2 day), the temperature equation carries K x kg/s.
constexpr double kHeatCapacity = 4186.0;
constexpr double kDay = 86400.0;

bool anyTerm(int code) {
  const int n = std::min(NoTerms, static_cast<int>(QTerms.size()));
  for (int r = 0; r < n; ++r)
    if (QTerms[r].code == code) return true;
  return false;
}

// The link of cell c through its side of surface f (1 south .. 6 top); 0 for another side.
double sideLink(int c, int f) {
  const int side = Fcell1[f] == c ? Ftype1[f] : Ftype2[f];
  switch (side) {
    case 1: return Cas[c];
    case 2: return Cae[c];
    case 3: return Can[c];
    case 4: return Caw[c];
    case 5: return Cab[c];
    case 6: return Cat[c];
    default: return 0.0;
  }
}

// The cells at the group's surfaces take the inflow value v. The face's own link already
// carries the inflowing mass into Cap, toward the missing cell beyond (whose value reads 0): the
// inflow value takes that place. Where the link carries no inflow (a face without flux), the
// group's flux per area pulls the cell toward v implicitly.
void groupInflow(const DischargeGroup& g, double v) {
  const double q = g.massDischarge / (g.area + 1e-30);
  for (int m = 0; m < g.surfaceNo; ++m) {
    const int f = g.surfaceList[m];
    const int c = Fcell1[f] != 0 ? Fcell1[f] : Fcell2[f];
    if (!isGridCell(c)) continue;
    const double link = sideLink(c, f);
    if (link > 0) {
      Csource[c] += v * link;
    } else {
      Cap[c] += Farea[f] * q;
      Csource[c] += v * Farea[f] * q;
    }
  }
}

// Step 1: a load of the surface discharge records, spread over their cells by top area and
// released within the first time step of a run whose components carry a time term. A steady
// equation has no first step: there the load would act as a lasting source at every iteration.
void firstStepLoads(int k) {
  if (!componentTimeTerm() || stimet > 1.5 * TimeStep) return;
  for (const SurfaceDischargeGroup& s : SurfDischargeStruct.v) {
    if (s.count < 1 || s.id != k) continue;
    const int n = std::min(s.count, static_cast<int>(s.cells.size()));
    double area = 0;
    for (int m = 0; m < n; ++m)
      if (isGridCell(s.cells[m])) area += topArea(s.cells[m]);
    const double q = s.load / (area * TimeStep + 1e-30);
    for (int m = 0; m < n; ++m)
      if (isGridCell(s.cells[m])) Csource[s.cells[m]] += topArea(s.cells[m]) * q;
  }
}

// Steps 2 and 3: the inflow concentration of the group's own component, then those of the
// M data sets (constant, or from the timei column of their order).
void inflows(int k) {
  for (int d = 1; d <= 9; ++d) {
    const DischargeGroup& g = DischargeStruct[d];
    // An M data set for this group and component gives its value instead: adding both would
    // mix the group's own value (0 unless the grid file gives one) with it half and half.
    const bool mValue = CompInflowNo > 0 && CompInflow[d].order[k] >= 0;
    if (g.surfaceNo > 0 && g.inflowFlag == 1 && g.componentNo == k && !mValue)
      groupInflow(g, g.inflowConc);
  }
  if (CompInflowNo <= 0 || TimeInNo < 0) return;
  for (int d = 1; d <= 9; ++d) {
    const DischargeGroup& g = DischargeStruct[d];
    const int order = CompInflow[d].order[k];
    if (g.surfaceNo < 1 || g.inflowFlag != 1 || order < 0) continue;
    const double v =
        TimeInNo == 0 ? CompInflow[d].value[k] : timeSeriesValue(Cinn, order, stimet);
    groupInflow(g, v);
  }
}

// Step 4: the terms at the water surface.
void topTerms(int k, int c) {
  const double a = topArea(c) * 1000.0;
  const int n = std::min(NoTerms, static_cast<int>(QTerms.size()));
  for (int r = 0; r < n; ++r) {
    const QualityTerm& t = QTerms[r];
    if (t.component != k) continue;
    const double* p = t.coef;
    const int* m = t.ref;
    switch (t.code) {
      case 1001: Csource[c] += p[0] * a; break;
      // Exchange toward 0 with the rate p1 (the data set gives no saturation value).
      case 1002: Csource[c] -= p[0] * Ccomp[k][c] * a; break;
      case 1003: Csource[c] += p[0] * a * conc(m[0], c) * conc(m[1], c); break;
      case 1004: Csource[c] += std::max(conc(m[0], c) * p[0] * conc(m[1], c), conc(m[1], c)) * a; break;
      case 1012: Csource[c] += p[0] * a * conc(m[0], c); break;
      default: break;
    }
  }
}

// Step 5: the terms at the bed.
void bottomTerms(int k, int c) {
  const double V = waterMass(c);
  const int n = std::min(NoTerms, static_cast<int>(QTerms.size()));
  for (int r = 0; r < n; ++r) {
    const QualityTerm& t = QTerms[r];
    if (t.component != k) continue;
    const double* p = t.coef;
    const int* m = t.ref;
    switch (t.code) {
      case 2001: Csource[c] += p[0] * V; break;
      case 2002: Csource[c] += p[0] * V * conc(m[0], c); break;
      case 2003: Csource[c] += p[0] * V * conc(m[0], c) * conc(m[1], c); break;
      case 2004: Csource[c] += std::max(conc(m[0], c) * p[0] * conc(m[1], c), conc(m[1], c)) * V; break;
      default: break;
    }
  }
}

double monod(double x, double K) { return x / (K + x); }

// Step 6: the terms of every cell's volume.
void volumeTerms(int k, int c) {
  const double V = waterMass(c);
  const double C = Ccomp[k][c];
  // A rate p per second applied over the N solves of a time step.
  const double steps = TransInnerIter * TimeStep - 1.0;
  const int n = std::min(NoTerms, static_cast<int>(QTerms.size()));
  for (int r = 0; r < n; ++r) {
    const QualityTerm& t = QTerms[r];
    if (t.component != k) continue;
    const double* p = t.coef;
    const int* m = t.ref;
    switch (t.code) {
      case 1: Csource[c] += p[0] * V * std::pow(1.0 - std::fabs(p[0]), steps); break;
      case 2:
        Csource[c] += p[0] * V * conc(m[0], c) * std::pow(1.0 - std::fabs(p[0]), steps);
        break;
      case 3: Csource[c] += p[0] * V * conc(m[0], c) * conc(m[1], c); break;
      case 4: Csource[c] += std::max(conc(m[0], c) * p[0] * conc(m[1], c), conc(m[1], c)) * V; break;
      case 120: Csource[c] += p[0] * V * C * conc(m[0], c) / (p[1] + conc(m[0], c)); break;
      case 230:
        Csource[c] += p[0] * V * C *
                      std::min(monod(conc(m[0], c), p[1]), monod(conc(m[1], c), p[2]));
        break;
      case 340:
        Csource[c] += p[0] * V * C *
                      std::min({monod(conc(m[0], c), p[1]), monod(conc(m[1], c), p[2]),
                                monod(conc(m[2], c), p[3])});
        break;
      default: break;  // code 5 carries one rate and no exchange partner: it adds nothing
    }
  }
}

// Step 8: erosion of the component from the bed above a critical shear.
void bedErosion(int k) {
  forTerms(k, 2030, [](const QualityTerm& t) {
    const double* p = t.coef;
    for (int c = 1; c <= NoCells; ++c) {
      if (!isBottomCell(c)) continue;
      const double excess = std::max(0.0, 300.0 * Ckinen[c] - p[0]);
      Csource[c] += std::pow(excess, p[2]) * p[1] * bottomArea(c) * 1000.0;
    }
  });
}

// Saturation vapour pressure over water (mmHg) at T (deg C).
double saturationVapour(double T) { return 4.596 * std::exp(17.27 * T / (T + 237.3)); }

// Step 9: heat exchange with the air at each top cell, the balance in J/(m2 day).
void heatExchange(int k) {
  forTerms(k, 1060, [](const QualityTerm& t) {
    const double* p = t.coef;
    const double I = irradianceNow(), Ta = airTemperatureNow(), W = windFunctionNow();
    const double Hin = p[0] * I + (p[1] + 0.031 * std::sqrt(p[2])) * 0.0049 *
                                      std::pow(Ta + 273.0, 4) * (1.0 - p[3]);
    for (int c = 1; c <= NoCells; ++c) {
      if (!isTopCell(c)) continue;
      const double T = Ccomp[0][c];
      const double back = 0.0049 * p[4] * std::pow(T + 273.0, 4);
      const double conduction = W * p[5] * (T - Ta);
      // Evaporation takes heat from the water in proportion to the vapour-pressure deficit of
      // the air (p3 its vapour pressure).
      const double evaporation = W * (saturationVapour(T) - p[2]);
      const double net = Hin - back - conduction - evaporation;
      Csource[c] += net * topArea(c) / (kDay * kHeatCapacity);
    }
  });
}

// Step 10: transfer carried by component m1 (uptake by settling particles).
void carriedTransfer(int k) {
  forTerms(k, 123, [k](const QualityTerm& t) {
    const double p1 = t.coef[0];
    for (int c = 1; c <= NoCells; ++c) {
      const double C = Ccomp[k][c];
      const double F = std::max(0.0, conc(t.ref[0], c) * C / (C + p1)) * p1 * topArea(c) * 1000.0;
      verticalTransfer(c, F);
    }
  });
}

// Step 11: exchange with the air at the saturation value p1, by the surface eddy viscosity.
void surfaceReaeration(int k) {
  forTerms(k, 1102, [k](const QualityTerm& t) {
    const double* p = t.coef;
    for (int c = 1; c <= NoCells; ++c)
      if (isTopCell(c))
        Csource[c] += Cgamma[c] * p[1] * topArea(c) * 1000.0 * (p[0] - Ccomp[k][c]);
  });
}

// Step 12: second-order reaction with component m1, rate per day.
void secondOrderReaction(int k) {
  forTerms(k, 122, [k](const QualityTerm& t) {
    for (int c = 1; c <= NoCells; ++c) {
      const double r = conc(t.ref[0], c) * t.coef[0] * Ccomp[k][c] * thetaFactor(t.coef[1], c);
      Csource[c] += growthFactor(r) * waterMass(c);
    }
  });
}

// Step 13: rising (p1 > 0) or settling (p1 < 0) with the velocity p1 (m/s).
void riseOrSettle(int k) {
  forTerms(k, 11, [k](const QualityTerm& t) {
    for (int c = 1; c <= NoCells; ++c)
      verticalTransfer(c, std::max(Ccomp[k][c], 0.0) * t.coef[0] * topArea(c) * 1000.0);
  });
}

// Step 14: the bed flux iteration, each bed cell with the bottom cell of its column.
void bedFluxIteration(int k) {
  forTerms(k, 2149, [k](const QualityTerm& t) {
    const double* p = t.coef;
    const int m1 = t.ref[0], m2 = t.ref[1], m3 = t.ref[2], m4 = t.ref[3];
    const double s = 0.5 * p[4] / p[3], h = 0.5 * p[4];
    double x = 0, y = 0;
    for (int b = 1; b <= NoBCells; ++b) {
      const int c = Bcellt[b];
      if (!isGridCell(c)) continue;
      double D0 = BQvar[m4][b];
      const double A = conc(m1, c) * p[6] / p[3] + BQvar[m2][b];
      const double B = p[0] * p[2] * conc(m1, c) + BQvar[m3][b];
      const double O = p[4] * Ccomp[k][c];
      double D = 0, D1 = D0;
      for (int it = 0; it < 100; ++it) {
        const double f = s / (h / D0 + s + p[1] * D0);
        x = A - x * p[0];
        y = y * (f - 1.0) * s / p[3] + B;
        D = p[2] * p[7] * D0 * f * y + p[8] * D0 * f * x;
        D1 = O / D;
        if ((D1 - D0) / (D0 + D1) < 0.01) break;
        D0 = D1;
      }
      BQvar[m2][b] = x;
      BQvar[m3][b] = y;
      BQvar[m4][b] = D1;
      Csource[c] -= D * bottomArea(c) * p[1] * 1000.0;
    }
  });
}

// What the terms read that a run may not have: checked once per call, before any term acts.
void checkInputs() {
  if ((anyTerm(1060) || anyTerm(2149)) && NoCells > 0) {
    if (anyTerm(1060) && TimeInNo < 1)
      failf(1, "Error: the heat exchange of Q 1060 needs the irradiance, air temperature and "
               "wind of the timei file, which was not read\n");
  }
  const int n = std::min(NoTerms, static_cast<int>(QTerms.size()));
  for (int r = 0; r < n; ++r) {
    const QualityTerm& t = QTerms[r];
    if (t.code != 2149) continue;
    for (int i = 1; i <= 3; ++i)
      if (!BQvar || t.ref[i] < 0 || t.ref[i] >= static_cast<int>(BQvar.dim(0)))
        failf(1, "Error: Q 2149 %d names the bed row %d, but F 79 gives %d bed rows\n",
              t.component, t.ref[i], FlagBedCalc);
  }
}

}  // namespace

void CompSource() {
  const int k = component();
  checkInputs();
  firstStepLoads(k);
  inflows(k);
  if (NoCells >= 1) {
    for (int c = 1; c <= NoCells; ++c) {
      if (isTopCell(c)) topTerms(k, c);
      if (isBottomCell(c)) bottomTerms(k, c);
    }
    for (int c = 1; c <= NoCells; ++c) volumeTerms(k, c);
  }
  CompSourceAlgae();
  bedErosion(k);
  heatExchange(k);
  carriedTransfer(k);
  surfaceReaeration(k);
  secondOrderReaction(k);
  riseOrSettle(k);
  bedFluxIteration(k);
}

}  // namespace qorva
