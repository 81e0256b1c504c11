// Sediment inflow and the outflow terms of the bed-cell balance. InflowSediment and
// InflowSedimentM(l) fix the discharge and inflow concentration of every discharge group (M
// data sets, the timei series or the inspace polynomials), feed the outflow concentration back
// into group 1 in cyclic runs (spread over its faces like the outflow's profile) and append it
// to "outconc", and add the inflow to the equations of the cells behind the inflow faces;
// MakeAp(l) adds the outflow of the bottom cells to the bed-cell balance. Reads DischargeStruct, CompInflow, Cinn, QDinn, TimeInTime, inspace,
// Tinspace, the cell and surface arrays and F 174, F 202, F 252, F 377, F 457, F 464, G 31;
// writes DischargeArray, Cap, Csource, Capm, Csourcem, Bap, Binout, kIn, SumInflow,
// concBuffer and FlagCyclicS (raised to 2 by F 377).
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>
#include <vector>

#include "discretisation/discretisation.h"
#include "files/files.h"
#include "sediment/sediment_loop.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/nests.h"
#include "state/options.h"
#include "state/options_f150_199.h"
#include "state/options_f200_249.h"
#include "state/options_f250_299.h"
#include "state/options_f350_399.h"
#include "state/options_f450_499.h"
#include "state/options_g.h"
#include "state/options_qm.h"
#include "state/points.h"
#include "state/safe_file.h"
#include "state/sediment_run.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "state/timeseries.h"

namespace qorva {

namespace {
constexpr int kMaxSurfaces = static_cast<int>(decltype(DischargeGroup::surfaceList)::size());
}  // namespace

int inflowFaceCount(const DischargeGroup& d) { return std::clamp(d.surfaceNo, 0, kMaxSurfaces); }

int inflowFaceCell(int s) {
  if (s <= 0 || s > NoSurfaces) return 0;
  const int c = Fcell1[s] != 0 ? Fcell1[s] : Fcell2[s];
  return c >= 1 && c <= NoCells ? c : 0;
}

namespace {

int entries(const DischargeGroup& d) { return inflowFaceCount(d); }
int cellBehind(int s) { return inflowFaceCell(s); }

bool bottomCell(int c) { return Ccellb[c] == 0; }

bool divisible(double a, double n) { return std::fabs(std::fmod(a, n)) < 0.001; }

// The row pair of the discharge series at the present time and the weight of the earlier row,
// held within 0..1: the values are constant before the first and after the last row, and one
// row is a constant.
TimeSeriesPoint seriesPoint() {
  TimeSeriesPoint p = timeSeriesPoint(stimet);
  p.w = std::clamp(p.w, 0.0, 1.0);
  return p;
}

bool seriesGiven() { return FlagDischargeTime != 0 && TimeInNo >= 1 && QDinn && TimeInTime; }

void seriesDischarge(const TimeSeriesPoint& p, int g) {
  DischargeArray[g] = 1000.0 * (p.w * QDinn[p.prev][g] + (1 - p.w) * QDinn[p.row][g]);
}

// Column of size l of the m-th inflow group (from 1) in the concentration series.
double seriesConcentration(const TimeSeriesPoint& p, int m, int l) {
  const long long j = static_cast<long long>(lnumber) * (m - 1) + l;
  if (!Cinn || j < 0 || static_cast<std::size_t>(j) >= Cinn.dim(1)) return 0.0;
  return p.w * Cinn[p.prev][j] + (1 - p.w) * Cinn[p.row][j];
}

using Concentrations = std::array<double, 10>;

// Step 1: the discharge and inflow concentration of every group.
Concentrations groupConcentrations(int l) {
  Concentrations cin{};
  if (!seriesGiven()) {
    for (int g = 1; g <= 9; ++g) {
      DischargeArray[g] = DischargeStruct[g].massDischarge;
      if (CompInflowNo >= 1)
        cin[g] = l <= 50 ? CompInflow[g].value[l] : 0.0;
      else
        cin[g] = Cinn && static_cast<std::size_t>(l) < Cinn.dim(1) ? Cinn[0][l] : 0.0;
    }
    return cin;
  }
  const TimeSeriesPoint p = seriesPoint();
  if (FlagCyclicSstart > 0 && FlagCyclicSstart <= p.row) FlagCyclicS = 2;
  int m = 0;
  for (int g = 1; g <= 9; ++g) {
    const DischargeGroup& d = DischargeStruct[g];
    if (d.surfaceNo < 1) continue;
    seriesDischarge(p, g);
    if (d.inflowFlag == 1)
      cin[g] = seriesConcentration(p, ++m, l);
    else
      cin[g] = 0.0;
  }
  return cin;
}

// Area-weighted mean concentration of size l over the cells behind outflow group 2.
double outflowConcentration(int l) {
  const DischargeGroup& d = DischargeStruct[2];
  double sum = 0, area = 0;
  for (int k = 0; k < entries(d); ++k) {
    const int s = d.surfaceList[k], c = cellBehind(s);
    if (c == 0) continue;
    sum += Farea[s] * Cconc[l][c];
    area += Farea[s];
  }
  if (!(area > 0))
    failf(1,
          "Error: the cyclic sediment inflow (F 174) and the outflow concentration of F 464 need "
          "outflow group 2 with surfaces\n");
  return std::max(sum / area, 0.0);
}

double feedback(int l, double cout, double cin1) {
  const double buf = concBuffer[l];
  switch (FlagCyclicS) {
    case 1:
    case 2: return cout;
    case 3: return 0.99 * buf + 0.01 * cout;
    case 4: return 0.9 * buf + 0.1 * cout;
    case 5: return (1 - relaxCyclicS) * buf + relaxCyclicS * cout;
    case 6: return 1.05 * (0.99 * buf + 0.01 * cout);
    default: return cin1;
  }
}

bool outconcLineDue() {
  if (FlagCyclicS >= 2 && divisible(Iter, 100)) return true;
  return FlagOutConc >= 1 && divisible(Iter, FlagOutConc);
}

void appendOutconc(const std::string& text) {
  File f("outconc", "a");
  if (!f) failf(-1, "Error in opening outconc file\n\n");
  std::fputs(text.c_str(), f.get());
  f.closeOrEnd("outconc", -1);
}

// The period averages of "outconc" for several sizes, kept for the run.
struct Averages {
  double sum[3][52] = {};
  int lines = 0;
  int period = 0;
};
Averages averages;

void addToAverages(int l, double cout) {
  Averages& a = averages;
  auto close = [&](int period) {
    // A period without a completed line has no average; it shows 0.
    for (int m = 1; m <= lnumber; ++m) a.sum[period][m] = a.lines > 0 ? a.sum[period][m] / a.lines : 0.0;
    a.lines = 0;
  };
  if (a.period == 0 && l == 1 && stimet > 252000) {
    close(0);
    a.period = 1;
  } else if (a.period == 1 && l == 1 && stimet > 504000) {
    close(1);
    a.period = 2;
  } else if (a.period == 2 && stimet > 755990) {
    if (l == lnumber) {
      close(2);
      a.period = 3;
      std::string text;
      for (int p = 0; p < 3; ++p) {
        text += strf("Av%d: ", p);
        for (int m = 1; m <= lnumber; ++m) text += strf("%lf ", a.sum[p][m]);
        text += "\n";
      }
      appendOutconc(text);
    }
    return;
  }
  if (a.period <= 2) {
    a.sum[a.period][l] += cout;
    if (l == lnumber) ++a.lines;
  }
}

// The height of the centre of cell c above the bed of its water column, as a share of the
// column's depth: 0 at the bed, 1 at the water surface.
double relativeHeight(int c) {
  int bottom = c, top = c;
  for (int n = 0; Ccellb[bottom] > 0 && n < NoCells; ++n) bottom = Ccellb[bottom];
  for (int n = 0; Ccellt[top] > 0 && n < NoCells; ++n) top = Ccellt[top];
  const double bed = Czcenter[bottom] - Ckdist[bottom], surface = Czcenter[top] + Ckdist[top];
  return std::clamp((Czcenter[c] - bed) / std::max(surface - bed, 1e-20), 0.0, 1.0);
}

// A concentration profile over the depth at the relative heights k / kSteps, k = 0..kSteps.
constexpr int kSteps = 100;
using Profile = std::array<double, kSteps + 1>;

double profileAt(const Profile& p, double eta) {
  const double x = std::clamp(eta, 0.0, 1.0) * kSteps;
  const int k = std::min(static_cast<int>(x), kSteps - 1);
  return p[k] + (x - k) * (p[k + 1] - p[k]);
}

// The concentration of size l over the depth of outflow group 2: in each water column linear
// between its cell centres (its end values beyond them), the columns weighted by the areas of
// their faces. False when the group has no faces.
bool outflowProfile(int l, Profile& out) {
  struct Column {
    double area = 0;
    std::vector<std::pair<double, double>> points;  // (relative height, concentration)
  };
  std::map<int, Column> byBottom;
  const DischargeGroup& d = DischargeStruct[2];
  for (int k = 0; k < entries(d); ++k) {
    const int s = d.surfaceList[k], c = cellBehind(s);
    if (c == 0) continue;
    int bottom = c;
    for (int n = 0; Ccellb[bottom] > 0 && n < NoCells; ++n) bottom = Ccellb[bottom];
    Column& col = byBottom[bottom];
    col.area += Farea[s];
    col.points.emplace_back(relativeHeight(c), std::max(Cconc[l][c], 0.0));
  }
  out.fill(0.0);
  double area = 0;
  for (auto& [bottom, col] : byBottom) {
    auto& p = col.points;
    std::sort(p.begin(), p.end());
    std::size_t m = 0;
    for (int k = 0; k <= kSteps; ++k) {
      const double eta = static_cast<double>(k) / kSteps;
      while (m < p.size() && p[m].first < eta) ++m;
      double v;
      if (m == 0)
        v = p.front().second;
      else if (m == p.size())
        v = p.back().second;
      else
        v = p[m - 1].second + (eta - p[m - 1].first) / std::max(p[m].first - p[m - 1].first, 1e-20) *
                                  (p[m].second - p[m - 1].second);
      out[k] += col.area * v;
    }
    area += col.area;
  }
  if (!(area > 0)) return false;
  for (double& v : out) v /= area;
  return true;
}

// A cyclic sediment feed (F 174, second value) brings the concentration profile of outflow
// group 2: every face of inflow group 1 takes the outflow's concentration at the same relative
// height above the bed (so that ends of other depths and cell counts match), scaled so that
// the mean over the inflow faces is the value the feed gives. Spread evenly over the depth, an
// equilibrium load would bring too little sediment next to the bed, which the inlet would then
// take from its bed. The factor of every face of group 1, or nothing when the outflow carries
// nothing (the value then enters evenly).
std::vector<double> cyclicShape;

void formCyclicShape(int l) {
  cyclicShape.clear();
  Profile p;
  if (!outflowProfile(l, p)) return;
  const DischargeGroup& d = DischargeStruct[1];
  std::vector<double> shape(entries(d), 1.0);
  double sum = 0, area = 0;
  for (int k = 0; k < entries(d); ++k) {
    const int s = d.surfaceList[k], c = cellBehind(s);
    if (c == 0) continue;
    shape[k] = profileAt(p, relativeHeight(c));
    sum += Farea[s] * shape[k];
    area += Farea[s];
  }
  if (!(sum > 0) || !(area > 0)) return;
  for (double& v : shape) v *= area / sum;
  cyclicShape = std::move(shape);
}

// Step 2: cyclic feedback into group 1 and the "outconc" line.
void cyclicAndOutconc(int l, bool multiple, Concentrations& cin) {
  cyclicShape.clear();
  if (FlagCyclicS < 1 && FlagOutConc < 1) return;
  if (DischargeStruct[1].inflowFlag != 1 || DischargeStruct[2].inflowFlag != 0) return;
  const double cout = outflowConcentration(l);
  if (concBuffer[l] < -0.5 && FlagCyclicS >= 1) concBuffer[l] = cout;
  if (FlagCyclicS >= 1) {
    double v = feedback(l, cout, cin[1]);
    if (multiple) v *= cyclicIncreaseFactor;
    cin[1] = v;
    concBuffer[l] = v;
    if (FlagInspace == 0) formCyclicShape(l);
  }
  if (!outconcLineDue()) return;
  if (!multiple) {
    appendOutconc(strf("%lf sec, %lg\n", stimet, cout));
    return;
  }
  std::string text;
  if (l == 1) text += strf("%lf sec, ", stimet);
  text += strf("%lg ", cout);
  if (l == lnumber) text += "\n";
  appendOutconc(text);
  addToAverages(l, cout);
}

// The inspace polynomial of size l at cell c, depth below z_top.
double inspaceConcentration(int l, int c, double ztop) {
  double a[11] = {};
  if (l < static_cast<int>(inspace.size())) {
    if (InspaceTimeNo >= 1 && Tinspace && TinspaceTime) {
      // One row is a constant; past the last row the last row holds.
      int k = 0;
      double w = 0;
      if (InspaceTimeNo >= 2) {
        k = 1;
        if (!(stimet < TinspaceTime[1])) {
          k = 2;
          while (k < InspaceTimeNo && !(TinspaceTime[k] > stimet)) ++k;
          k = std::min(k, InspaceTimeNo - 1);
        }
        w = std::clamp(
            (TinspaceTime[k] - stimet) / (TinspaceTime[k] - TinspaceTime[k - 1] + 1e-20), 0.0, 1.0);
      }
      const int prev = std::max(k - 1, 0);
      for (int n = 1; n <= 10; ++n) a[n] = w * Tinspace[prev][l][n] + (1 - w) * Tinspace[k][l][n];
    } else {
      for (int n = 1; n <= 10; ++n) a[n] = inspace[l][n];
    }
  }
  const double x = Cxcenter[c], y = Cycenter[c], d = ztop - Czcenter[c];
  return a[1] + a[2] * x + a[3] * y + a[4] * d + a[5] * x * x + a[6] * y * y + a[7] * d * d +
         a[8] * x * y + a[9] * x * d + a[10] * y * d;
}

// The equation rows a call adds to: the one-size arrays or the rows of size l.
struct Rows {
  Row1<double> ap, su;
};

// Step 3 for group g.
void inflowTerms(int g, int l, double cin, const Rows& r, bool multiple) {
  const DischargeGroup& d = DischargeStruct[g];
  const double G = DischargeArray[g] / (d.area + 1e-30);
  const bool log = !multiple && FlagInspace == 0 && FlagLogInflow > 0;
  LogInflowProfile profile;
  if (log) {
    if (!(XksInflow > 0))
      failf(1, "Error: the logarithmic inflow of F 202 needs a roughness above 0\n");
    profile = logInflowProfile(g);
  }
  double ztop = -100000.0;
  if (FlagInspace == 1)
    for (int k = 0; k < entries(d); ++k) {
      const int s = d.surfaceList[k];
      if (s >= 1 && s <= NoSurfaces) ztop = std::max(ztop, Pz[Fpoint3[s]]);
    }
  // The logarithmic walk runs from the last surface of the list to the first.
  for (int n = 0; n < entries(d); ++n) {
    const int s = d.surfaceList[log ? entries(d) - 1 - n : n];
    const int c = cellBehind(s);
    if (c == 0) continue;
    double q = Farea[s] * G, conc = cin;
    const int k = log ? entries(d) - 1 - n : n;
    if (g == 1 && !cyclicShape.empty()) conc *= cyclicShape[k];
    if (log) q = Farea[s] * profile.weight(c) * DischargeArray[g] / (profile.areaSum + 1e-30);
    r.ap[c] += q;
    if (FlagInspace == 1) {
      conc = inflowMult[l] * inspaceConcentration(l, c, ztop);
      if (conc > 1 || conc < -1e-7) {
        if (multiple)
          logf("Probable error in inspace file. Concentration for size %d is %lg\n", l, conc);
        else
          logf("Probable error in inspace file. Concentration for size 1 is %lg\n", conc);
        failf(-1, "Location xyz coordinates: (%lf,%lf,%lf)", Cxcenter[c], Cycenter[c],
              Czcenter[c]);
      }
    }
    r.su[c] += q * conc;
    if (bottomCell(c) && Cbed[c] >= 1 && (!multiple || l == 1)) Binout[Cbed[c]] += q;
    const double mass = q * TimeStep * conc * density;
    SumInflow += mass;
    kIn[l] += mass;
  }
}

void addInflow(int l, bool multiple, const Rows& r) {
  Concentrations cin{};
  if (FlagInspace == 0) cin = groupConcentrations(l);
  cyclicAndOutconc(l, multiple, cin);
  if (multiple && FlagInspace == 0 && (LevelInflowSed > 0 || FlagInflowConcVar > 0)) {
    inflowSedimentNearBed(l, cin.data());
    return;
  }
  if (FlagInspace > 1) return;  // refused at the start of the run
  for (int g = 1; g <= 9; ++g) {
    const DischargeGroup& d = DischargeStruct[g];
    if (d.inflowFlag == 1 && d.surfaceNo >= 1) inflowTerms(g, l, cin[g], r, multiple);
  }
}

Row1<double> rowOf(const Table1<double>& t) { return {t.data(), t.size(), t.label()}; }

}  // namespace

namespace sedloop {
void resetInflowState() { averages = Averages{}; }
}  // namespace sedloop

void InflowSediment() { addInflow(1, false, {rowOf(Cap), rowOf(Csource)}); }

void InflowSedimentM(int l) { addInflow(l, true, {Capm[l], Csourcem[l]}); }

void MakeAp(int l) {
  if (seriesGiven()) {
    const TimeSeriesPoint p = seriesPoint();
    for (int g = 1; g <= 9; ++g)
      if (DischargeStruct[g].surfaceNo >= 1 || g <= 2) seriesDischarge(p, g);
  } else {
    for (int g = 1; g <= 9; ++g) DischargeArray[g] = DischargeStruct[g].massDischarge;
  }
  for (int g = 1; g <= 9; ++g) {
    const DischargeGroup& d = DischargeStruct[g];
    if (d.inflowFlag != 0 || d.surfaceNo < 1 || (d.bcType != 0 && d.bcType != 1)) continue;
    const double G = DischargeArray[g] / (d.area + 1e-30);
    // Zero gradient: the outward velocity flux of each face shares out the discharge.
    auto outward = [](int s, int c) {
      return std::max(0.0, -(Cxvel[c] * Fax[s] + Cyvel[c] * Fay[s] + 1e-20) * Fin[s]);
    };
    double R = 0;
    if (d.bcType == 1) {
      double S = 1e-40;
      for (int k = 0; k < entries(d); ++k) {
        const int s = d.surfaceList[k], c = cellBehind(s);
        if (c != 0) S += outward(s, c);
      }
      R = DischargeArray[g] / S;
    }
    for (int k = 0; k < entries(d); ++k) {
      const int s = d.surfaceList[k], c = cellBehind(s);
      if (c == 0 || !bottomCell(c) || Cbed[c] < 1) continue;
      const double q = d.bcType == 0 ? Farea[s] * G
                                      : relaxOutFlux * R * outward(s, c) +
                                            (1 - relaxOutFlux) * G * Farea[s];
      Bap[l][Cbed[c]] += q;
      if (l == 1) Binout[Cbed[c]] -= q;
    }
  }
  for (int n = 1; n <= NoNestflater; ++n) {
    const int c = Npcelle[n];
    if (c >= 1 && c <= NoCells && bottomCell(c) && Nflux[n] < 0 && Cbed[c] >= 1)
      Bap[l][Cbed[c]] += -1000.0 * Nflux[n];
  }
}

}  // namespace qorva
