// Source of the pressure-correction equation: the continuity defect of every cell (kg/s), the
// storage of the moving water surface, the discharges of the groups spread over the cells
// behind their surfaces, the depth-averaged collection and the outlet pressure.
// Reads Fflux, the cell and surface geometry, the velocities, DischargeStruct, the timei series,
// NoProcessesSolver (the cell loops share the solver threads),
// the cyclic and inflow profiles, Bdeltah, Surfaces plane 4; writes Csource, DischargeArray,
// GlobFluxDefect, and with their options Cpres of outlet cells and Cap (F 284).
#include <algorithm>
#include <cmath>
#include <vector>

#include "discretisation/discretisation.h"
#include "grid/columns.h"
#include "pressure/pressure.h"
#include "state/bedcells.h"
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
#include "surface/surface_modes.h"

namespace qorva {

namespace {

constexpr int kMaxSurfaces = static_cast<int>(decltype(DischargeGroup::surfaceList)::size());

bool anyCell(int c) { return c >= 1 && c < static_cast<int>(Csource.size()); }

// The cell behind boundary surface s; 0 when the surface or its cell is not in the grid.
int entryCell(int s) {
  if (s <= 0 || s > NoSurfaces) return 0;
  const int c = Fcell1[s] != 0 ? Fcell1[s] : Fcell2[s];
  return isGridCell(c) ? c : 0;
}

int entries(const DischargeGroup& d) { return std::clamp(d.surfaceNo, 0, kMaxSurfaces); }

int levelOf(const DischargeGroup& d, int m) { return d.levelList[m]; }

double fluxOf(int s) { return s >= 1 && s <= NoSurfaces ? Fflux[s] : 0.0; }

// A group's discharge needs something to be shared by: an area, a weight sum or an outward
// flow. Without it the shares would be infinite or undefined, so the group gets none, and the
// first call of each such spell says so.
bool shareable(int g, double sum) {
  if (std::fabs(sum) >= 1e-20) {
    FlagShareGroupWarned[g] = 0;
    return true;
  }
  if (FlagShareGroupWarned[g] == 0) {
    logf("Warning: discharge group %d has no area or flow to take its discharge in the "
         "continuity source; it gets none\n",
         g);
    FlagShareGroupWarned[g] = 1;
  }
  return false;
}

// 1. Net mass inflow of each cell through its six surfaces. Each cell reads only the fluxes,
// so the solver threads share the cells and any thread count gives the same bits.
void continuityDefect() {
  const int last = std::min<long long>(WCEnd, static_cast<long long>(Csource.size()) - 1);
#pragma omp parallel for schedule(static) if (NoProcessesSolver > 0)
  for (int c = std::max(WCStart, 1); c <= last; ++c)
    Csource[c] = -(fluxOf(Cflatee[c]) - fluxOf(Cflatew[c]) + fluxOf(Cflaten[c]) -
                   fluxOf(Cflates[c]) + fluxOf(Cflatet[c]) - fluxOf(Cflateb[c]));
}

int bedCells() {
  return std::min<long long>(NoBCells, static_cast<long long>(std::min(Bcellt.size(),
                                                                       Barea.size())) - 1);
}

// 2. F 271: the water that the last surface update stored in each column, shared among its
// cells over the update interval. A steady run without such an interval (no time step, no
// simulated time between the updates) stores nothing: its interval is unbounded, and dividing
// the level change by a vanishing one makes the source explode at the first change.
void waterLevelStorage() {
  if (FlagTFS2 <= 0 || !Bdeltah) return;
  const double dt = std::max(TimeStep, stimeWL2 - stimeWL1);
  if (!(dt > 1e-8)) return;
  for (int b = 1; b <= bedCells(); ++b) {
    if (Bcellt[b] < 1) continue;
    const double S = Bdeltah[b] * 1000 * Barea[b] / (std::max(Bnocells[b], 1) * dt);
    upColumn(Bcellt[b], [&](int c) { Csource[c] -= S; });
  }
}

// 3. F 287 7: the mean level change of the four corners of each column at the last surface
// update, as a mass rate shared among the column's cells. Only the block's own columns
// i1..i2, j1..j2 take part: a column beyond them belongs to a neighbouring block, which
// counts it itself.
void cornerLevelChanges() {
  if (!(surfaceAlgorithmChosen() && FlagGlobFlux == 7) || !Surfaces || !zval || !Barea) return;
  const double interval = std::max(IterWaterUpdate, 1) * TimeStep;
  if (!(interval > 0)) return;
  const int imax = static_cast<int>(std::min(zval.dim(0), Surfaces.dim(1))) - 1;
  const int jmax = static_cast<int>(std::min(zval.dim(1), Surfaces.dim(2))) - 1;
  for (int b = 1; b <= NoBlocks && b < static_cast<int>(block.size()); ++b) {
    const GridBlock& k = block[b];
    if (k.skip != 0 || SurfUpdate[b] != 1) continue;
    for (int i = std::max(k.i1, 1); i <= std::min(k.i2, imax); ++i)
      for (int j = std::max(k.j1, 1); j <= std::min(k.j2, jmax); ++j) {
        const int c = columnBottom(i, j);
        if (c == 0 || Cbed[c] < 1 || Cbed[c] >= static_cast<int>(Barea.size())) continue;
        const auto D = Surfaces[4];
        const double S = 250 * (D[i][j] + D[i - 1][j] + D[i][j - 1] + D[i - 1][j - 1]) *
                         Barea[Cbed[c]] / interval;
        const double share = S / std::max(cellsUpFrom(c), 1);
        upColumn(c, [&](int cc) { Csource[cc] -= share; });
      }
  }
}

// F 284: the storage of the free surface on the central coefficient.
void surfaceStorageOnAp() {
  if (FlagTFS4 < 1 || FlagTFS4 > 3 || !surfaceAlgorithmChosen() || !(TimeStep > 1e-8)) return;
  for (int b = 1; b <= bedCells(); ++b) {
    if (Bcellt[b] < 1) continue;
    const double A = Barea[b];
    if (FlagTFS4 == 1) {
      const double add =
          A * relaxPressure * TransInnerIter / (std::max(Bnocells[b], 1) * 9.81 * TimeStep);
      upColumn(Bcellt[b], [&](int c) { Cap[c] += add; });
    } else if (FlagTFS4 == 2) {
      const int top = topOf(Bcellt[b]);
      if (top != 0) Cap[top] += A * A * 1000 * CinvAp[top];
    } else {
      upColumn(Bcellt[b], [&](int c) { Cap[c] += A * A * 1000 * CinvAp[c]; });
    }
  }
}

// 4. The discharge of every group at the simulated time; returns the downstream level of the
// series (0 without one).
double stepDischarges() {
  const bool series = FlagDischargeTime != 0 && TimeInTime && QDinn && TimeInNo >= 1;
  if (!series) {
    for (int g = 1; g <= 9; ++g) DischargeArray[g] = DischargeStruct[g].massDischarge;
    return 0;
  }
  for (int g = 1; g <= 9; ++g) {
    if (g > 2 && DischargeStruct[g].surfaceNo <= 0) continue;
    DischargeArray[g] = 1000 * timeSeriesValue(QDinn, g, stimet);  // the series holds m3/s
  }
  return TimeInHout ? timeSeriesValue(TimeInHout, stimet) : 0.0;
}

// 5. Net discharge of the groups, inflow positive.
void netDischarge() {
  GlobFluxDefect = 0;
  if (FlagMPI != 0) return;
  for (int g = 1; g <= 9; ++g) {
    const DischargeGroup& d = DischargeStruct[g];
    if (d.surfaceNo <= 0 || !(DischargeArray[g] > 1e-8)) continue;
    GlobFluxDefect += d.inflowFlag == 0 ? -DischargeArray[g] : DischargeArray[g];
  }
}

// The three-dimensional blocks whose columns feed an appended depth-averaged grid.
bool twoDimensionalStep() {
  return WCStart >= 1 && WCStart < static_cast<int>(CflagDim.size()) &&
         CflagDim[WCStart] == 1 && NoBlocks > 1;
}

template <class Use>
void forCellsOfFeedingBlocks(Use use) {
  for (int b = 1; b <= NoBlocks - 1 && b < static_cast<int>(block.size()); ++b) {
    const GridBlock& k = block[b];
    if (k.nestlevel != 0 || k.flag2D != 0) continue;
    const int last = std::min(k.cellend, NoCells);
    for (int c = std::max(k.cellstart, 1); c <= last; ++c) use(c);
  }
}

// ---- Distribution of the group discharges over the cells behind their surfaces ----

// Spread by area: + for an inflow group, - otherwise.
void byArea(int g, double Q) {
  const DischargeGroup& d = DischargeStruct[g];
  double area = 0;
  for (int m = 0; m < entries(d); ++m)
    if (entryCell(d.surfaceList[m]) != 0) area += Farea[d.surfaceList[m]];
  if (!shareable(g, area)) return;
  const double sign = d.inflowFlag == 1 ? 1.0 : -1.0;
  for (int m = 0; m < entries(d); ++m) {
    const int s = d.surfaceList[m];
    const int c = entryCell(s);
    if (c != 0) Csource[c] += sign * Farea[s] * Q / (area + 1e-30);
  }
}

// Full weight in the lower half of the group's height, falling linearly to 0 at its top: the
// profile of the momentum inflow terms.
void shapedProfile(int g, double Q) {
  const DischargeGroup& d = DischargeStruct[g];
  const ShapedInflowProfile p = shapedInflowProfile(g);
  if (!shareable(g, p.areaSum)) return;
  for (int m = entries(d) - 1; m >= 0; --m) {
    const int s = d.surfaceList[m];
    const int c = entryCell(s);
    if (c != 0) Csource[c] += p.weight(c) * Farea[s] * Q / (p.areaSum + 1e-30);
  }
}

// Logarithmic profile above the bed, the same profile as the inflow terms of the momentum
// equations use, so that the water and its momentum come in with one profile.
void logarithmicProfile(int g, double Q) {
  if (!(XksInflow > 0))
    failf(1,
          "Error for F 202 in control: the roughness of the logarithmic inflow must be above 0, "
          "now %lf\n",
          XksInflow);
  const DischargeGroup& d = DischargeStruct[g];
  const LogInflowProfile profile = logInflowProfile(g);
  const double W = profile.areaSum;
  if (!shareable(g, W)) return;
  for (int m = entries(d) - 1; m >= 0; --m) {
    const int s = d.surfaceList[m];
    const int c = entryCell(s);
    if (c != 0) Csource[c] += profile.weight(c) * Farea[s] * Q / (W + 1e-30);
  }
}

double cyclicAt(int level) { return level >= 0 && level < kCyclicLevels ? cyclicU[level] : 0.0; }

// The stored cyclic profile by level, carrying the group's own discharge.
void cyclicProfile(int g) {
  const DischargeGroup& d = DischargeStruct[g];
  double W = 0;
  for (int m = 0; m < entries(d); ++m) {
    const int s = d.surfaceList[m];
    if (entryCell(s) != 0) W += Farea[s] * cyclicAt(levelOf(d, m));
  }
  if (!shareable(g, W)) return;
  for (int m = 0; m < entries(d); ++m) {
    const int s = d.surfaceList[m];
    const int c = entryCell(s);
    if (c != 0) Csource[c] += Farea[s] * cyclicAt(levelOf(d, m)) * d.massDischarge / (W + 1e-30);
  }
}

// Group 1 takes the velocity of the matching cells of outflow group 2 (cyclicPartners, as the
// inflow terms pair them).
void cyclicStart() {
  const DischargeGroup& d1 = DischargeStruct[1];
  const DischargeGroup& d2 = DischargeStruct[2];
  const std::vector<int> partner = cyclicPartners();
  const int n = static_cast<int>(partner.size());
  auto cellOf = [&](int m) {
    const int p = partner[static_cast<std::size_t>(m)];
    return p < 0 ? 0 : entryCell(d1.surfaceList[m]);
  };
  auto speed = [&](int m) {
    const int c1 = entryCell(d1.surfaceList[m]);
    const int c2 = entryCell(d2.surfaceList[partner[static_cast<std::size_t>(m)]]);
    return std::max(0.0001, (Cxvel[c2] + Cxvel[c1]) / 2);
  };
  double W = 0;
  for (int m = 0; m < n; ++m)
    if (cellOf(m) != 0) W += speed(m) * Farea[d1.surfaceList[m]];
  if (!shareable(1, W)) return;
  for (int m = 0; m < n; ++m) {
    const int s = d1.surfaceList[m];
    const int c = cellOf(m);
    if (c != 0) Csource[c] += speed(m) * Farea[s] * d1.massDischarge / (W + 1e-30);
  }
}

// The profile of the `inflow` file for group 1, column by column of the file. The columns and
// levels are counted as the inflow terms of the momentum equations count them (from 2, as the
// structured grid does), and the walk stops before the first column the file does not have.
template <class Use>
void walkInflowProfile(Use use) {
  const DischargeGroup& d = DischargeStruct[1];
  int col = 1;
  for (int m = 0; m < entries(d); ++m) {
    const int s = d.surfaceList[m];
    const int c = entryCell(s);
    if (c == 0) continue;
    if (Ccellt[c] == 0) ++col;
    if (col > inflowj || col >= kInflowPoints) break;
    const int lev = levelOf(d, m) + 1;
    double t = 0;
    if (lev >= 0 && lev <= inflowk && lev < kInflowLevels)
      t = Fax[s] * inflowu[col][lev] + Fay[s] * inflowv[col][lev];
    use(c, t);
  }
}

void inflowFileProfile() {
  double W = 0;
  walkInflowProfile([&](int, double t) { W += t; });
  if (!shareable(1, W)) return;
  const double Qg = DischargeStruct[1].massDischarge;
  walkInflowProfile([&](int c, double t) { Csource[c] += t * Qg / (W + 1e-30); });
}

// Outward volume flux (m3/s) through surface s of the velocity of cell c.
double outwardFlux(int s, int c) {
  return ((Cxvel[c] + 1e-10) * Fax[s] + Cyvel[c] * Fay[s]) * -Fin[s];
}

void byNormalVelocity(int g, double Q) {
  const DischargeGroup& d = DischargeStruct[g];
  double W = 0;
  for (int m = 0; m < entries(d); ++m) {
    const int s = d.surfaceList[m];
    const int c = entryCell(s);
    if (c != 0) W += std::max(0.0, outwardFlux(s, c));
  }
  if (!shareable(g, W)) return;
  for (int m = 0; m < entries(d); ++m) {
    const int s = d.surfaceList[m];
    const int c = entryCell(s);
    if (c != 0) Csource[c] -= std::max(0.0, outwardFlux(s, c)) * Q / (W + 1e-40);
  }
}

// Each surface lets out what the velocity of its cell carries; inflowing surfaces give nothing.
void freeVelocityOutflow(int g) {
  const DischargeGroup& d = DischargeStruct[g];
  for (int m = 0; m < entries(d); ++m) {
    const int s = d.surfaceList[m];
    const int c = entryCell(s);
    if (c == 0) continue;
    const double out = (Cxvel[c] * Fvx[s] + Cyvel[c] * Fvy[s]) * -Fin[s] * Farea[s] * 1000;
    if (out >= 0) Csource[c] -= out;
  }
}

// The group's discharge adjusted by the ratio of the critical-flow discharge of the outlet
// section to it.
void criticalOutflow(int g) {
  const DischargeGroup& d = DischargeStruct[g];
  double area = 0;
  int cf = 0, cl = 0;
  for (int m = 0; m < entries(d); ++m) {
    const int c = entryCell(d.surfaceList[m]);
    if (c == 0) continue;
    area += Farea[d.surfaceList[m]];
    if (cf == 0) cf = c;
    cl = c;
  }
  if (!shareable(g, area)) return;
  area += 1e-20;
  const double dx = Cxcenter[cf] - Cxcenter[cl], dy = Cycenter[cf] - Cycenter[cl];
  const double width = std::sqrt(dx * dx + dy * dy) + Cjdist[cl] + Cjdist[cf];
  const double C = std::sqrt(9.81 * area / (width + 1e-20));
  const double Qg = d.massDischarge;
  double Qc = 0;
  if (Qg != 0) {
    const double r = 1000 * C / Qg;
    Qc = r > 3 ? Qg * 1.316 : r < 0.3 ? Qg * 0.74 : Qg * std::pow(r, 0.25);
  }
  for (int m = 0; m < entries(d); ++m) {
    const int s = d.surfaceList[m];
    const int c = entryCell(s);
    if (c != 0) Csource[c] -= Farea[s] * Qc / area;
  }
}

// Outflow by the larger of the group's mean velocity and the cell's own outward velocity
// where the flow is subcritical (depth test) or the water stands above the downstream level
// (level test), by the smaller otherwise.
void downstreamOutflow(int g, double Q, bool levelTest, double Hdown) {
  const DischargeGroup& d = DischargeStruct[g];
  if (!shareable(g, d.area)) return;
  const double v = 0.001 * Q / d.area;
  double tops = 0, bottoms = 0;
  int nTop = 0, nBottom = 0;
  for (int m = 0; m < entries(d); ++m) {
    const int c = entryCell(d.surfaceList[m]);
    if (c == 0) continue;
    if (Ccellt[c] == 0) {
      tops += Czcenter[c] + Ckdist[c];
      ++nTop;
    }
    if (Ccellb[c] == 0) {
      bottoms += Czcenter[c] - Ckdist[c];
      ++nBottom;
    }
  }
  bool larger = false;
  if (levelTest)
    larger = nTop > 0 && tops / nTop > Hdown;
  else
    larger = nBottom > 0 && (tops - bottoms) / nBottom > v * v / 9.81;
  for (int m = 0; m < entries(d); ++m) {
    const int s = d.surfaceList[m];
    const int c = entryCell(s);
    if (c == 0) continue;
    const double qA = Farea[s] * v;
    const double qV = ((Cxvel[c] * Fax[s] + Cyvel[c] * Fay[s]) + 1e-20) * -Fin[s];
    Csource[c] -= 1000 * (larger ? std::max(qA, qV) : std::min(qA, qV));
  }
}

// The cyclic profile as the outflow profile, walked from the last entry.
void cyclicOutflow(int g, double Q) {
  const DischargeGroup& d = DischargeStruct[g];
  auto out = [&](int m) {
    const int s = d.surfaceList[m];
    return std::max(0.0, (Fax[s] * cyclicAt(levelOf(d, m)) + 1e-20) * -Fin[s]);
  };
  double W = 0;
  for (int m = entries(d) - 1; m >= 0; --m)
    if (entryCell(d.surfaceList[m]) != 0) W += out(m);
  if (!shareable(g, W)) return;
  for (int m = entries(d) - 1; m >= 0; --m) {
    const int c = entryCell(d.surfaceList[m]);
    if (c != 0) Csource[c] -= out(m) * Q / (W + 1e-40);
  }
}

void inflowGroup(int g, double Q) {
  if (FlagShapeInflow > 0 && Q > 0) return shapedProfile(g, Q);
  if (FlagLogInflow > 0 && Q > 0) return logarithmicProfile(g, Q);
  if (FlagCyclic != 0 && (FlagHaveReadCyclic == 1 || FlagHaveInitiatedCyclic == 1))
    return cyclicProfile(g);
  if (g == 1) {
    if (FlagCyclic > 0 && DischargeStruct[2].inflowFlag == 0 && FlagCyclic < Iter &&
        FlagHaveReadCyclic == 0 && FlagHaveInitiatedCyclic == 0)
      return cyclicStart();
    if (inflowj >= 1) return inflowFileProfile();
  }
  byArea(g, Q);
}

void outflowGroup(int g, double Q, double Hdown) {
  if (freeSurfaceOutflow() && FlagSurfDownstream == 3) return freeVelocityOutflow(g);
  if (freeSurfaceOutflow() && FlagSurfDownstream == 1) return criticalOutflow(g);
  if (FlagSurfPresDownstream == 3) return downstreamOutflow(g, Q, false, Hdown);
  if (FlagSurfPresDownstream == 4) return downstreamOutflow(g, Q, true, Hdown);
  if (FlagCyclic < 0 && FlagHaveInitiatedCyclic > 0) return cyclicOutflow(g, Q);
  if (DischargeStruct[g].bcType == 1) return byNormalVelocity(g, Q);
  if (DischargeStruct[g].bcType == 0) byArea(g, Q);
}

// Cell of the grid-sequencing level MGSGrid that holds grid cell c; 0 when the map has none.
int levelCell(int c) {
  for (int k = 1; k < MGSGrid; ++k) {
    if (!MGSCpoint || c <= 0 || c >= static_cast<int>(MGSCpoint.dim(0))) return 0;
    c = MGSCpoint[c][0];
  }
  return anyCell(c) ? c : 0;
}

// A coarse grid of the sequenced solution: the shares go to the level cells that hold the
// boundary cells. The outflow by velocity takes the level cell's velocity both for the weight
// sum and for each share, so that the shares add up to the discharge.
void coarseLevelGroup(int g) {
  const DischargeGroup& d = DischargeStruct[g];
  const double Q = DischargeArray[g];
  auto target = [&](int m) { return levelCell(entryCell(d.surfaceList[m])); };
  if (d.bcType == 0 || d.inflowFlag == 1) {
    double area = 0;
    for (int m = 0; m < entries(d); ++m)
      if (target(m) != 0) area += Farea[d.surfaceList[m]];
    if (!shareable(g, area)) return;
    const double sign = d.inflowFlag == 1 ? 1.0 : -1.0;
    for (int m = 0; m < entries(d); ++m) {
      const int c = target(m);
      if (c != 0) Csource[c] += sign * Farea[d.surfaceList[m]] * Q / (area + 1e-30);
    }
    return;
  }
  if (d.bcType != 1) return;
  auto out = [&](int m, int c) {
    const int s = d.surfaceList[m];
    return std::max(0.0, (Cxvel[c] * Fvx[s] + Cyvel[c] * Fvy[s]) * -Fin[s]);
  };
  double W = 0;
  for (int m = 0; m < entries(d); ++m) {
    const int c = target(m);
    if (c != 0) W += Farea[d.surfaceList[m]] * out(m, c);
  }
  if (!shareable(g, W)) return;
  for (int m = 0; m < entries(d); ++m) {
    const int c = target(m);
    if (c != 0) Csource[c] -= out(m, c) * Farea[d.surfaceList[m]] * Q / (W + 1e-20);
  }
}

// 7. Group masses.
void groupMasses(double Hdown) {
  for (int g = 1; g <= 9; ++g) {
    const DischargeGroup& d = DischargeStruct[g];
    if (d.surfaceNo <= 0) continue;
    if (MGSGrid >= 2)
      coarseLevelGroup(g);
    else if (d.inflowFlag == 1)
      inflowGroup(g, DischargeArray[g]);
    else
      outflowGroup(g, DischargeArray[g], Hdown);
  }
}

// 8. Every column of the feeding blocks hands its sum to the next depth-averaged cell.
void collectColumns() {
  int k = WCStart;
  const int last = std::min<long long>(WCEnd, static_cast<long long>(Csource.size()) - 1);
  forCellsOfFeedingBlocks([&](int c) {
    if (Ccellt[c] != 0 || k > last) return;
    double sum = 0;
    downColumn(c, [&sum](int cc) { sum += Csource[cc]; });
    Csource[k] += sum;
    ++k;
  });
}

// 9. F 181 with F 234 1 or 2: no defect at the outlet cells, which with 1 also take the
// hydrostatic pressure of their depth.
void outletPressure() {
  if (FlagGravity <= 0 || (FlagSurfPresDownstream != 1 && FlagSurfPresDownstream != 2)) return;
  for (int g = 1; g <= 9; ++g) {
    const DischargeGroup& d = DischargeStruct[g];
    if (d.surfaceNo <= 0 || d.inflowFlag != 0) continue;
    for (int m = 0; m < entries(d); ++m) {
      const int c = entryCell(d.surfaceList[m]);
      if (c == 0) continue;
      Csource[c] = 0;
      if (FlagSurfPresDownstream != 1) continue;
      double above = 0;
      upColumn(Ccellt[c], [&](int cc) { above += Ckdist[cc]; });
      Cpres[c] = 9810 * (Ckdist[c] + 2 * above);
    }
  }
}

// 10. F 373: every source within +-0.01 F kg/s.
void clampSources() {
  if (FlagPresCorrStab < 2) return;
  const double limit = 0.01 * FlagPresCorrStab;
  const int last = std::min<long long>(WCEnd, static_cast<long long>(Csource.size()) - 1);
#pragma omp parallel for schedule(static) if (NoProcessesSolver > 0)
  for (int c = std::max(WCStart, 1); c <= last; ++c)
    Csource[c] = std::clamp(Csource[c], -limit, limit);
}

}  // namespace

void pressure_fluxes() {
  continuityDefect();
  waterLevelStorage();
  cornerLevelChanges();
  surfaceStorageOnAp();
  const double Hdown = stepDischarges();
  netDischarge();
  const bool twoD = twoDimensionalStep();
  if (twoD) forCellsOfFeedingBlocks([](int c) { Csource[c] = 0; });
  groupMasses(Hdown);
  if (twoD) collectColumns();
  outletPressure();
  clampSources();
}

}  // namespace qorva
