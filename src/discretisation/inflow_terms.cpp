// Inflow terms of the discharge groups for the equation being assembled: the discharges of
// the step, the outflow balance, the marks of the boundary cells and the inflow flux of each
// inflow surface with the value it carries (standard, shaped, logarithmic, multigrid-level,
// cyclic and profile-file forms). Reads DischargeStruct, the time series, the surface
// geometry and the cyclic and inflow profiles; writes DischargeArray, Cinout, Cap, Csource
// (CinvApf, Csourcem for the fast solver) and the formed cyclic profile.
#include <algorithm>
#include <cmath>

#include "discretisation/discretisation.h"
#include "grid/columns.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/inflow_profiles.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "state/timeseries.h"

namespace qorva {

namespace {

constexpr int kMaxSurfaces = static_cast<int>(decltype(DischargeGroup::surfaceList)::size());


// The cell behind boundary surface s (the other side is outside the grid); 0 when none.
int entryCell(int s) {
  if (s <= 0 || s > NoSurfaces) return 0;
  const int c = Fcell1[s] != 0 ? Fcell1[s] : Fcell2[s];
  return isGridCell(c) ? c : 0;
}

int entries(const DischargeGroup& d) { return std::clamp(d.surfaceNo, 0, kMaxSurfaces); }

// Rows of the series that the tables hold.
int seriesRows() {
  if (!TimeInTime || !QDinn) return 0;
  long long rows = std::min<long long>(TimeInNo, static_cast<long long>(TimeInTime.size()));
  rows = std::min<long long>(rows, static_cast<long long>(QDinn.dim(0)));
  return static_cast<int>(std::max<long long>(rows, 0));
}

bool seriesGiven() { return FlagDischargeTime != 0 && seriesRows() >= 1; }

// Discharge of group g (m3/s) of the series at the simulated time.
double seriesDischarge(int g) { return timeSeriesValue(QDinn, g, stimet); }

// Discharges of the step.
void stepDischarges() {
  if (!seriesGiven()) {
    for (int g = 1; g <= 9; ++g) DischargeArray[g] = DischargeStruct[g].massDischarge;
    return;
  }
  for (int g = 1; g <= 9; ++g) {
    DischargeGroup& d = DischargeStruct[g];
    if (g > 2 && d.surfaceNo <= 0) continue;
    const double q = 1000 * seriesDischarge(g);
    DischargeArray[g] = q;
    if (FlagUpdateDischarge == 1) d.massDischarge = q;
    if (debugging == 'H' && Equation == 1)
      logf("Discharge for group %d = %lf, stimet = %lf\n", g, q, stimet);
  }
}

void outflowBalance() {
  for (int g = 1; g <= 9; ++g) {
    const DischargeGroup& d = DischargeStruct[g];
    if (d.surfaceNo <= 0 || d.inflowFlag != 0) continue;
    const double qo = computeOutflow(g);
    double& q = DischargeArray[g];
    switch (FlagGlobFlux) {
      case 2: q = qo; break;
      case 3:
      case 7: q = std::max(qo, q); break;
      case 4: q = std::min(qo, q); break;
      case 5:
      case 6: q = std::max(qo, GlobFluxLim1 * std::min(qo, GlobFluxLim2 * q)); break;
      default: break;
    }
  }
}

// How a group takes part in the branches that follow the step's discharge.
enum class Role { kNone, kMark, kInflow };

Role role(int g) {
  const DischargeGroup& d = DischargeStruct[g];
  if (d.surfaceNo <= 0) return Role::kNone;
  if (d.inflowFlag == 0) return Role::kMark;
  const double q = DischargeArray[g];
  if (q < 0) return Role::kMark;  // a negative discharge takes water out
  if (d.inflowFlag == 1 && q > 0) return Role::kInflow;
  return Role::kNone;
}

// Cell of the multigrid level MGSGrid that holds grid cell c; 0 when the map has none.
int levelCell(int c) {
  for (int k = 1; k < MGSGrid; ++k) {
    if (!MGSCpoint || c <= 0 || c >= static_cast<int>(MGSCpoint.dim(0))) return 0;
    c = MGSCpoint[c][0];
  }
  return c > 0 && c < static_cast<int>(Cap.size()) ? c : 0;
}

int targetCell(int s, bool onLevel) {
  const int c = entryCell(s);
  return onLevel ? levelCell(c) : c;
}

void markGroup(int g, bool onLevel) {
  const DischargeGroup& d = DischargeStruct[g];
  for (int m = 0; m < entries(d); ++m) {
    const int c = targetCell(d.surfaceList[m], onLevel);
    if (c > 0) Cinout[c] = -g;
  }
}

// A group whose inflow side has no area (a dry side) would get infinite or undefined fluxes:
// it gets no inflow, and the first call of each dry spell says so.
bool wetGroup(int g, double sum) {
  if (sum >= 1e-20) {
    FlagDryGroupWarned[g] = 0;
    return true;
  }
  if (FlagDryGroupWarned[g] == 0) {
    logf("Warning: discharge group %d has no inflow area (a dry side); it gets no inflow\n", g);
    FlagDryGroupWarned[g] = 1;
  }
  return false;
}

// Inflow mass flux `flux` (kg/s) into cell c of group g, carrying `source` for the equation.
void addInflow(int c, int g, double flux, double source) {
  Cap[c] += flux;
  Csource[c] += source;
  Cinout[c] = g;
}

// Source of an inflow of mass flux per area G through surface s at the speed m (m/s) along
// the surface normal into the grid, with the group's k and epsilon.
double inflowSource(const DischargeGroup& d, int s, double G, double m) {
  switch (Equation) {
    case 1: return m * G * Fvx[s] * Fin[s] * Farea[s];
    case 2: return m * G * Fvy[s] * Fin[s] * Farea[s];
    case 5: return d.inflowK * G * Farea[s];
    case 6: return d.inflowEps * G * Farea[s];
    default: return 0;
  }
}

// Discharge spread evenly over the group's area. On a multigrid level the terms go to the
// level's cells and always carry the inflow momentum.
void uniformInflow(bool onLevel) {
  for (int g = 1; g <= 9; ++g) {
    const Role r = role(g);
    if (r == Role::kMark) markGroup(g, onLevel);
    if (r != Role::kInflow) continue;
    const DischargeGroup& d = DischargeStruct[g];
    if (!wetGroup(g, d.area)) continue;
    const double G = DischargeArray[g] / (d.area + 1e-30);
    const double m = !onLevel && FlagNoImpulse == 1 ? 0.0 : 0.001 * G;
    const bool extra = !onLevel && g == 1 && Equation == 1 &&
                       std::fabs(momentumAddInflow) > 1e-10 && FlagDragDLL == 0;
    for (int k = 0; k < entries(d); ++k) {
      const int s = d.surfaceList[k];
      const int c = targetCell(s, onLevel);
      if (c == 0) continue;
      double source = inflowSource(d, s, G, m);
      if (extra) source += momentumAddInflow * Farea[s] / (d.area + 1e-20);
      addInflow(c, g, G * Farea[s], source);
    }
  }
}

// Inflow falling linearly to 0 from half the group's height to its top.
void shapedInflow() {
  for (int g = 1; g <= 9; ++g) {
    const Role r = role(g);
    if (r == Role::kMark) markGroup(g, false);
    if (r != Role::kInflow) continue;
    const DischargeGroup& d = DischargeStruct[g];
    const ShapedInflowProfile p = shapedInflowProfile(g);
    if (!wetGroup(g, p.areaSum)) continue;
    const double G = DischargeArray[g] / (p.areaSum + 1e-30);
    for (int k = 0; k < entries(d); ++k) {
      const int s = d.surfaceList[k];
      const int c = entryCell(s);
      if (c == 0) continue;
      const double Gs = p.weight(c) * G;
      const double m = FlagNoImpulse == 1 ? 0.0 : 0.001 * Gs;
      addInflow(c, g, Gs * Farea[s], inflowSource(d, s, Gs, m));
    }
  }
}

// Bed level under cell c: the bottom of its column's bottom cell.
double bedLevel(int c) {
  if (const int b = bottomOf(c); b != 0) c = b;
  return Czcenter[c] - Ckdist[c];
}

// Logarithmic profile over the height above the bed: with F 202 1 above the lowest bed of
// the group, with 2 above each column's own bed. The bed is found under every cell, so a
// group that starts above the bottom cells still has one.
void logarithmicInflow(bool skipGroup1) {
  if (!(XksInflow > 0))
    failf(1,
          "Error for F 202 in control: the roughness of the logarithmic inflow must be above 0, "
          "now %lf\n",
          XksInflow);
  for (int g = 1; g <= 9; ++g) {
    const Role r = role(g);
    if (r == Role::kMark) markGroup(g, false);
    if (r != Role::kInflow || (skipGroup1 && g == 1)) continue;
    const DischargeGroup& d = DischargeStruct[g];
    const LogInflowProfile profile = logInflowProfile(g);
    const double lowest = profile.lowest, sum = profile.areaSum;
    auto weight = [&](int c) { return profile.weight(c); };
    if (!wetGroup(g, sum)) continue;
    int handled = 0, lastCell = 0;
    double lastG = 0, lastZb = 0, lastArea = 0;
    for (int k = entries(d) - 1; k >= 0; --k) {
      const int s = d.surfaceList[k];
      const int c = entryCell(s);
      if (c == 0) continue;
      const double G = weight(c) * DischargeArray[g] / (sum + 1e-30);
      addInflow(c, g, G * Farea[s], inflowSource(d, s, G, 0.001 * G));
      ++handled;
      lastCell = c;
      lastG = G;
      lastZb = FlagLogInflow == 2 ? bedLevel(c) : lowest;
      lastArea = Farea[s];
    }
    if (debugging == 'R' && Iter == 1 && handled > 0) {
      logf("Boundary condition, logarithmic inflow. uplus = %lf\n", lastG);
      logf("levbed = %lf, k = %d, Vel = %lf, Area = %lf\n", lastZb, handled, lastG / 1000,
           lastArea);
      logf("source = %lf, Equation = %d\n", Csource[lastCell], Equation);
    }
  }
}

// Mass flux per area of an inflow group that carries its own stored discharge; groups that
// bring no water (or have no area) get nothing, and a negative discharge marks the cells.
bool storedFlux(int g, double& G) {
  const DischargeGroup& d = DischargeStruct[g];
  if (d.massDischarge < 0) markGroup(g, false);
  if (!(d.massDischarge > 0) || !wetGroup(g, d.area)) return false;
  G = d.massDischarge / (d.area + 1e-30);
  return true;
}

// The cyclic profile stored by level (read from `cyclic` or formed here).
void storedProfileInflow() {
  for (int g = 1; g <= 9; ++g) {
    const DischargeGroup& d = DischargeStruct[g];
    if (d.surfaceNo <= 0) continue;
    if (d.inflowFlag == 0) markGroup(g, false);
    double G = 0;
    if (d.inflowFlag != 1 || !storedFlux(g, G)) continue;
    for (int k = 0; k < entries(d); ++k) {
      const int s = d.surfaceList[k];
      const int c = entryCell(s);
      if (c == 0) continue;
      const int lev = d.levelList[k];
      const bool inTable = lev >= 0 && lev < kCyclicLevels;
      double source = 0;
      if (inTable && Equation == 1) source = cyclicU[lev] * G * Fvx[s] * Fin[s] * Farea[s];
      if (inTable && Equation == 5) source = cyclicK[lev] * G * Farea[s];
      if (inTable && Equation == 6) source = cyclicE[lev] * G * Farea[s];
      addInflow(c, g, G * Farea[s], source);
    }
  }
}

// Group 1 takes the present values of the matching cells of outflow group 2 (cyclicPartners).
void coupledInflow() {
  const DischargeGroup& d1 = DischargeStruct[1];
  const DischargeGroup& d2 = DischargeStruct[2];
  const std::vector<int> partner = cyclicPartners();
  for (int k = 0; k < entries(d2); ++k) {
    const int c2 = entryCell(d2.surfaceList[k]);
    if (c2 != 0) Cinout[c2] = -2;
  }
  double G = 0;
  if (!storedFlux(1, G)) return;
  for (int k = 0; k < static_cast<int>(partner.size()); ++k) {
    const int s = d1.surfaceList[k];
    const int c = entryCell(s);
    if (c == 0 || partner[static_cast<std::size_t>(k)] < 0) continue;
    const int c2 = entryCell(d2.surfaceList[partner[static_cast<std::size_t>(k)]]);
    double value = 0;
    if (Equation == 1) value = 0.5 * (Cxvel[c] + Cxvel[c2]) * Fvx[s] * Fin[s];
    if (Equation == 5) value = 0.5 * (Ckinen[c] + Ckinen[c2]);
    if (Equation == 6) value = 0.5 * (Cepsilon[c] + Cepsilon[c2]);
    addInflow(c, 1, G * Farea[s], value * G * Farea[s]);
  }
}

// Profile per column and level from the `inflow` file, for group 1. The file counts columns
// and levels as the structured grid does, from 2: the counter starts at 1 and steps at every
// top cell, which is the first entry of each column, so the group's first column reads column
// 2 of the file, as its bottom cell reads level 2.
void profileFileInflow() {
  for (int g = 2; g <= 9; ++g)
    if (role(g) == Role::kMark) markGroup(g, false);
  const Role r = role(1);
  if (r == Role::kMark) markGroup(1, false);
  double G = 0;
  if (r != Role::kInflow || !storedFlux(1, G)) return;
  const DischargeGroup& d = DischargeStruct[1];
  int col = 1;
  for (int k = 0; k < entries(d); ++k) {
    const int s = d.surfaceList[k];
    const int c = entryCell(s);
    if (c == 0) continue;
    if (Ccellt[c] == 0) ++col;
    if (col > inflowj || col >= kInflowPoints) break;
    const int lev = d.levelList[k] + 1;
    double source = 0;
    if (lev >= 0 && lev <= inflowk && lev < kInflowLevels) {
      if (Equation == 1) source = inflowu[col][lev] * G * Fax[s] * Fin[s];
      if (Equation == 2) source = inflowv[col][lev] * G * Fay[s] * Fin[s];
      if (Equation == 5) source = inflowki[col][lev] * G * Farea[s];
      if (Equation == 6) source = inflowe[col][lev] * G * Farea[s];
    }
    addInflow(c, 1, G * Farea[s], source);
  }
}

// Cyclic profile from the cells of outflow group 2: the mean of u, k and epsilon over the
// group's cells of each level. `times` is -F 174, any size the data set allows: its multiples
// are taken in 64 bits, so that none wraps round to 0.
void formCyclicProfile(long long times) {
  const int top = std::min(znumber, kCyclicLevels - 1);
  for (int k = 0; k <= top; ++k) cyclicU[k] = cyclicK[k] = cyclicE[k] = 0;
  Fixed<int, kCyclicLevels> count{};
  const DischargeGroup& d = DischargeStruct[2];
  for (int m = 0; m < entries(d); ++m) {
    const int c = entryCell(d.surfaceList[m]);
    const int lev = levelOfCell(c);
    if (c == 0 || lev > top) continue;
    cyclicU[lev] += Cxvel[c];
    cyclicK[lev] += Ckinen[c];
    cyclicE[lev] += Cepsilon[c];
    ++count[lev];
  }
  for (int k = 1; k <= top; ++k)
    if (count[k] > 0) {
      cyclicU[k] /= count[k];
      cyclicK[k] /= count[k];
      cyclicE[k] /= count[k];
    }
  if (Iter % (100 * times) == 0) {
    logf("Cyclic values, stimet = %lf\n", stimet);
    for (int k = 1; k <= top; ++k)
      logf("U, K, E (%d) = %lf %lf %lf\n", k, cyclicU[k], cyclicK[k], cyclicE[k]);
  }
  FlagHaveInitiatedCyclic = 1;
  ++NoCyclesDone;
}

// Constant vertical-velocity source on the bottom cells of row j = 2, i = 2..29, where the
// grid has those columns.
void kennedySource() {
  if (!zval || zval.dim(1) < 3) return;
  const int last = std::min(29, static_cast<int>(zval.dim(0)) - 1);
  for (int i = 2; i <= last; ++i) {
    const int c = static_cast<int>(zval[i][2][0]);
    if (isGridCell(c)) Csource[c] += SourceKennedy;
  }
}

enum class Branch { kCoupled, kStored, kProfileFile, kLevel, kShaped, kLogarithmic, kStandard, kNone };

Branch chooseBranch() {
  const DischargeGroup& g1 = DischargeStruct[1];
  const DischargeGroup& g2 = DischargeStruct[2];
  if (FlagCyclic != 0 && g1.inflowFlag == 1 && Iter > FlagCyclic && g2.inflowFlag == 0 &&
      FlagHaveReadCyclic == 0 && FlagHaveInitiatedCyclic == 0)
    return Branch::kCoupled;
  if (FlagCyclic != 0 && (FlagCyclic > 0 || g1.inflowFlag == 1) && MGSGrid <= 1 &&
      (FlagReadRes == 1 || FlagHaveReadCyclic == 1 || FlagHaveInitiatedCyclic == 1))
    return Branch::kStored;
  if (inflowj > 0) return Branch::kProfileFile;
  if (MGSGrid >= 2) return Branch::kLevel;
  if (FlagShapeInflow > 0) return Branch::kShaped;
  if (FlagLogInflow != 0) return Branch::kLogarithmic;
  if (FlagCyclic == 0 || (Iter <= FlagCyclic && FlagReadRes == 0)) return Branch::kStandard;
  return Branch::kNone;
}

double largestResidual() {
  double r = MaxResidual[1];
  for (int e = 2; e <= 6; ++e) r = std::max(r, MaxResidual[e]);
  return r;
}

}  // namespace

double computeOutflow(int g) {
  double q = 0;
  for (int h = 1; h <= 9; ++h) {
    // A group without surfaces brings no water into the grid, whatever its discharge says.
    if (h == g || DischargeStruct[h].surfaceNo <= 0) continue;
    q += IO[h].flag[0] == 0 ? DischargeArray[h] : -DischargeArray[h];
  }
  // The water released by the last surface update, spread over the time it stands for; with
  // no time between updates (a steady run) it is not a rate, and nothing is added.
  const double interval = std::max(TimeStep, stimeWL2 - stimeWL1);
  if (interval > 1e-8) q += 1000 * SurfVolDefect / interval;
  return q < 0 ? 0 : q;
}

void boundary() {
  stepDischarges();
  outflowBalance();
  // The only pass over every cell here: the solver threads share it.
  if (Cinout) {
    const int last = std::min(NoCells, static_cast<int>(Cinout.size()) - 1);
#pragma omp parallel for schedule(static) if (NoProcessesSolver > 0)
    for (int c = 1; c <= last; ++c) Cinout[c] = 0;
  }

  const long long cycles = -static_cast<long long>(FlagCyclic);
  if (FlagCyclic < 0 && FlagHaveReadCyclic == 0 && NoCyclesDone < cycles && Equation == 1 &&
      largestResidual() < 0.01)
    formCyclicProfile(cycles);

  const Branch branch = chooseBranch();
  switch (branch) {
    case Branch::kCoupled: coupledInflow(); break;
    case Branch::kStored: storedProfileInflow(); break;
    case Branch::kProfileFile: profileFileInflow(); break;
    case Branch::kShaped: shapedInflow(); break;
    case Branch::kStandard: uniformInflow(false); break;
    case Branch::kLevel:
    case Branch::kLogarithmic:
    case Branch::kNone: break;
  }

  if (SourceKennedy > 0 && Equation == 3) kennedySource();
  if (MGSGrid > 1) {
    uniformInflow(true);
    return;
  }
  // The file profile has given group 1 its inflow already; the others take the logarithmic one.
  if (FlagLogInflow > 0 && FlagCyclic == 0) logarithmicInflow(branch == Branch::kProfileFile);
}

void boundaryFast() {
  if (!CinvApf || CinvApf.dim(0) < 5 || !Csourcem || Csourcem.dim(0) < 5)
    failf(1, "Error: the fast flow solver (F 170) has no tables for its inflow terms\n");
  if (Cinout)
    for (int c = 1; c <= NoCells && c < static_cast<int>(Cinout.size()); ++c) Cinout[c] = 0;
  const int cells = static_cast<int>(std::min(CinvApf.dim(1), Csourcem.dim(1)));
  for (int g = 1; g <= 9; ++g) {
    const DischargeGroup& d = DischargeStruct[g];
    if (d.surfaceNo <= 0) continue;
    if (d.inflowFlag == 0) markGroup(g, false);
    if (d.inflowFlag != 1) continue;
    double q = d.massDischarge;
    if (FlagDischargeTime > 0 && seriesGiven()) {
      q = 1000 * seriesDischarge(g);
      if (q < 0) q = d.massDischarge;
    }
    // No water comes in through a group whose discharge is not positive.
    if (!(q > 0) || !wetGroup(g, d.area)) continue;
    const double G = q / (d.area + 1e-30);
    for (int k = 0; k < entries(d); ++k) {
      const int s = d.surfaceList[k];
      const int c = entryCell(s);
      if (c == 0 || c >= cells) continue;
      const double flux = G * Farea[s];
      for (int v = 0; v < 5; ++v) CinvApf[v][c] += flux;
      Cinout[c] = g;
      Csourcem[0][c] += Fvx[s] * 0.001 * G * G * Fin[s] * Farea[s];
      Csourcem[1][c] += Fvy[s] * 0.001 * G * G * Fin[s] * Farea[s];
      Csourcem[3][c] += d.inflowK * G * Farea[s];
      Csourcem[4][c] += d.inflowEps * G * Farea[s];
    }
  }
}

double LogInflowProfile::bed(int c) const { return FlagLogInflow == 2 ? bedLevel(c) : lowest; }

double LogInflowProfile::weight(int c) const {
  const double w = std::log(30 * (Czcenter[c] - bed(c)) / XksInflow);
  return w >= 1e-7 ? w : 1e-7;
}

double ShapedInflowProfile::weight(int c) const {
  return std::min(2 * (top - Czcenter[c]) / height(), 1.0);
}

ShapedInflowProfile shapedInflowProfile(int g) {
  const DischargeGroup& d = DischargeStruct[g];
  ShapedInflowProfile p;
  for (int k = 0; k < entries(d); ++k) {
    const int c = entryCell(d.surfaceList[k]);
    if (c == 0) continue;
    p.top = std::max(p.top, Czcenter[c] + Ckdist[c]);
    p.bottom = std::min(p.bottom, Czcenter[c] - Ckdist[c]);
  }
  for (int k = 0; k < entries(d) && p.height() > 0; ++k) {
    const int s = d.surfaceList[k];
    const int c = entryCell(s);
    if (c != 0) p.areaSum += p.weight(c) * Farea[s];
  }
  return p;
}

LogInflowProfile logInflowProfile(int g) {
  const DischargeGroup& d = DischargeStruct[g];
  LogInflowProfile p;
  for (int k = 0; k < entries(d); ++k) {
    const int c = entryCell(d.surfaceList[k]);
    if (c != 0) p.lowest = std::min(p.lowest, bedLevel(c));
  }
  for (int k = entries(d) - 1; k >= 0; --k) {
    const int s = d.surfaceList[k];
    const int c = entryCell(s);
    if (c != 0) p.areaSum += p.weight(c) * Farea[s];
  }
  return p;
}

namespace {

// The entries of a group with a cell, column by column in the order the list meets them.
std::vector<std::vector<int>> entriesByColumn(const DischargeGroup& d) {
  std::vector<std::vector<int>> columns;
  std::vector<int> bottoms;
  for (int k = 0; k < entries(d); ++k) {
    const int c = entryCell(d.surfaceList[k]);
    if (c == 0) continue;
    const int b = bottomOf(c);
    const auto at = std::find(bottoms.begin(), bottoms.end(), b);
    if (at == bottoms.end()) {
      bottoms.push_back(b);
      columns.push_back({k});
    } else {
      columns[static_cast<std::size_t>(at - bottoms.begin())].push_back(k);
    }
  }
  return columns;
}

// Column rank q of n at the same relative place across the section among m: the centres of
// the ranks matched.
std::size_t sameRank(std::size_t q, std::size_t n, std::size_t m) {
  const double at = (static_cast<double>(q) + 0.5) * static_cast<double>(m) / static_cast<double>(n);
  return std::min(static_cast<std::size_t>(at), m - 1);
}

// Height of the centre of cell c above the bottom of its column, as a fraction of the column.
double heightInColumn(int c) {
  const int b = bottomOf(c);
  const double bottom = Czcenter[b] - Ckdist[b], height = topFace(topOf(c)) - bottom;
  return height > 0 ? (Czcenter[c] - bottom) / height : 0;
}

// The entry of `column` (a column of group 2) whose cell lies at the relative height nearest
// that of cell c; the lower one of two as near.
int nearestInColumn(const DischargeGroup& d, const std::vector<int>& column, int c) {
  const double h = heightInColumn(c);
  int best = column.front();
  double bestGap = 2;
  for (int k : column) {
    const int other = entryCell(d.surfaceList[k]);
    const double gap = std::abs(heightInColumn(other) - h);
    if (gap < bestGap || (gap == bestGap && Czcenter[other] < Czcenter[entryCell(d.surfaceList[best])])) {
      best = k;
      bestGap = gap;
    }
  }
  return best;
}

bool sameShape(const std::vector<std::vector<int>>& a, const std::vector<std::vector<int>>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t q = 0; q < a.size(); ++q)
    if (a[q].size() != b[q].size()) return false;
  return true;
}

}  // namespace

std::vector<int> cyclicPartners() {
  const DischargeGroup& d1 = DischargeStruct[1];
  const DischargeGroup& d2 = DischargeStruct[2];
  std::vector<int> partner(static_cast<std::size_t>(entries(d1)), -1);
  const auto in = entriesByColumn(d1), out = entriesByColumn(d2);
  if (in.empty() || out.empty()) return partner;
  const bool same = sameShape(in, out);
  if (!same && FlagCyclicPairsWarned == 0) {
    std::size_t n1 = 0, n2 = 0;
    for (const auto& col : in) n1 += col.size();
    for (const auto& col : out) n2 += col.size();
    logf("Warning: cyclic discharge groups 1 and 2 hold %zu and %zu cells in %zu and %zu "
         "columns; each inflow face takes the values of the outflow face at the same place "
         "across the section and up its column\n",
         n1, n2, in.size(), out.size());
    FlagCyclicPairsWarned = 1;
  }
  for (std::size_t q = 0; q < in.size(); ++q) {
    const auto& from = out[same ? q : sameRank(q, in.size(), out.size())];
    for (std::size_t r = 0; r < in[q].size(); ++r) {
      const int k = in[q][r];
      partner[static_cast<std::size_t>(k)] =
          same ? from[r] : nearestInColumn(d2, from, entryCell(d1.surfaceList[k]));
    }
  }
  return partner;
}

}  // namespace qorva
