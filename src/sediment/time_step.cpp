// One step of the sediment time loop, in its order: the time step of the step, the slides,
// the flow of every work block, the work range of the sediment, the assembly of every size's
// concentration equation (face coefficients, time term, bed-load and slope terms, inflow and
// nesting terms, the bed-cell balance), the equilibrium concentration, the solver of F 37,
// the guards, the grain sizes of the bed, the old values, the outflow mass, the bed change,
// the mass account and the outputs. Reads and writes the sediment state of the run (see
// sediment_loop.h); calls the flow drivers, the bed routines and the writers.
#include <omp.h>

#include <algorithm>
#include <cmath>

#include "bed/bed.h"
#include "discretisation/discretisation.h"
#include "files/files.h"
#include "flow/flow.h"
#include "grid/columns.h"
#include "grid/grid.h"
#include "output/output.h"
#include "pressure/pressure.h"
#include "sediment/sediment.h"
#include "sediment/sediment_loop.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_f100_149.h"
#include "state/options_f150_199.h"
#include "state/options_f200_249.h"
#include "state/options_f250_299.h"
#include "state/options_f300_349.h"
#include "state/options_f350_399.h"
#include "state/options_f400_449.h"
#include "state/options_f450_499.h"
#include "state/options_f500_534.h"
#include "state/options_g.h"
#include "state/options_kw.h"
#include "state/options_p.h"
#include "state/options_snihl.h"
#include "state/sediment_run.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "state/timeseries.h"
#include "surface/surface.h"
#include "turbulence/turbulence.h"

namespace qorva::sedloop {

namespace {

bool divisible(double a, double n) { return std::fabs(std::fmod(a, n)) < 0.001; }

void mark(int k) { otime[k] = omp_get_wtime(); }

bool oneSize() { return lnumber == 1 && FlagTSC <= 2; }
bool bedVectorCoefficients() { return BedLoadVectorFlag >= 5 && BedLoadVectorFlag <= 9; }

// Every coefficient of a size in its own rows: the bed-slope transfer of the layered bed.
bool allPerSize() { return bedVectorCoefficients() && FlagTSC == 3; }

bool secondOrder() { return sou[7] == 1; }

double ap0(int c) { return Cvol[c] * 1000.0 / TimeStep; }

// Central coefficient of size l: the one-size array or the row of the size.
double& central(int l, int c) { return oneSize() ? Cap[c] : Capm[l][c]; }

void copyOld() {
  for (int l = 1; l <= lnumber; ++l)
    for (int c = WCStart; c <= WCEnd; ++c) Cconc_old[l][c] = Cconc[l][c];
}

}  // namespace

// Step 4: the time step of the timei series (F 1 J rows) and of F 532.
void stepLength() {
  if (FlagJTime == 1 && TimeInNo >= 1) {
    int k = 0;
    if (stimet > TimeInTime[0]) {
      k = 1;
      while (k < TimeInNo && TimeInTime[k] < stimet) ++k;
    }
    TimeStep = TimeInTimStep[std::min(k, TimeInNo - 1)];
  }
  const int N = varTimeInterval;
  if (N > 0) {
    if (Iter == 1)
      TimeStep = varTimeStart;
    else if (Iter <= N)
      TimeStep = std::min(varTimeStart * std::pow(varTimeEnd / varTimeStart,
                                                  static_cast<double>(Iter - 1) / N),
                          varTimeEnd);
    else
      TimeStep = varTimeEnd;
  }
}

namespace {

// Step 5; false when the slide model ends the loop.
bool slides() {
  if (!slidesMove()) return true;
  mc_program = " Slide movement";
  const double t0 = omp_get_wtime();
  if (FlagThixo == 3) {
    computeSlideBlock();
  } else if (computeSlidemovement() == -1) {
    return false;
  }
  if (debugging == 'P') {
    const double t = omp_get_wtime();
    logf("Slide computation time: %lf seconds at %lf seconds\n", t - t0, t - otime[0]);
    otimeSlidesolve += t - t0;
  }
  return true;
}

// Step 6; false when a flow driver reported an error (results written).
bool flowOfWorkBlocks(Run& run) {
  const double t0 = stimet;
  mark(1);
  for (int n = 1; n <= run.workBlocks; ++n) {
    computeWorkBlocks(n);
    if (Iter < 2 || divisible(Iter, skipWatersolve)) {
      try {
        callFlowDriver(FlowCaller::SedimentLoop);
      } catch (const RunEnd&) {
        reportBedAtFailure();
        throw;
      }
    } else {
      stimet += TimeStep;
    }
    if (FlagErrorBreak == 1) {
      logf("Written from morphology due to ErrorBreak %d in a WaterSolve function\n", FlagErrorBreak);
      reportBedAtFailure();
      mc_v1 = "Written from morphology due to error";
      sprintflow();
      return false;
    }
  }
  run.timeAdvanced = stimet != t0;
  return true;
}

// Step 9: the work range of the sediment computation by F 188.
void sedimentRange() {
  mc_program = " Sediments";
  if (FlagWorkSedim == 0) {
    WCStart = WFStart = WBStart = 1;
    WCEnd = NoCells;
    WFEnd = NoSurfaces;
    WBEnd = NoBCells;
    for (int b = 1; b <= NoBlocks; ++b) block[b].inwork = block[b].skip == 0 ? 1 : 0;
    return;
  }
  if (FlagWorkSedim > 0) {
    const int n = FlagWorkSedim;
    if (n > NoBlocks) failf(1, "Error: F 188 asks for block %d, and the grid has %d blocks\n", n, NoBlocks);
    for (int b = 1; b <= NoBlocks; ++b) block[b].inwork = b == n ? 1 : 0;
    WCStart = block[n].cellstart;
    WCEnd = block[n].cellend;
    WFStart = block[n].surfstart;
    WFEnd = block[n].surfend;
    WBStart = block[n].bcellstart;
    WBEnd = block[n].bcellend;
    return;
  }
  if (FlagWorkSedim != -1) return;
  int first = 0, last = 0;
  for (int b = 1; b <= NoBlocks; ++b) {
    block[b].inwork = block[b].nestlevel >= 1 ? 1 : 0;
    if (block[b].nestlevel < 1) continue;
    if (first == 0) first = b;
    last = b;
  }
  // A range that would start at the absent cell 0 is refused.
  if (first == 0) failf(1, "Error: F 188 -1 asks for the nested blocks, and the grid has none\n");
  WCStart = block[first].cellstart;
  WCEnd = block[last].cellend;
  WFStart = block[first].surfstart;
  WFEnd = block[last].surfend;
  WBStart = block[first].bcellstart;
  WBEnd = block[last].bcellend;
}

double stackThickness(int b) {
  double s = 0;
  for (int k = BlayerTop[b]; k >= 0; --k) s += BSedDistrib[k][0][b];
  return s;
}

}  // namespace

// Step 18: the bed-load direction of F 84 10 and of F 78 1 with one size. The horizontal
// velocity of every bottom cell is turned toward the fall line of the bed by an angle that
// grows as the shear nears the critical shear of size 1; the horizontal coefficients are built
// from the turned flow, and the velocities are given back.
void bedLoadDirection() {
  for (int b = WBStart; b <= WBEnd; ++b) {
    const int c = Bcellt[b];
    if (c < 1) continue;
    const double u = Cxvel[c], v = Cyvel[c];
    Cxvel_old[c] = u;
    Cyvel_old[c] = v;
    double r = std::max(Ckinen[c], 0.0) * 300.0 /
               (std::fabs(shieldscoeff) * gsize[1] * (density - 1) * 9810);
    if (BedLoadFlag == 10) {
      double dm = 0;
      for (int l = 1; l <= lnumber; ++l) dm += gsize[l] * BSedDistrib[1][l][b];
      dm = std::max(dm, gsize[lnumber]);
      r = r * gsize[1] / dm;
    }
    // Without shear the bed load does not move: the velocity is not turned.
    if (!(r > 0)) continue;
    const int fb = Cflateb[c];
    const double nx = Fvx[fb], ny = Fvy[fb], nz = Fvz[fb];
    const double a = BedLoadVectorParam / std::sqrt(r) * std::sqrt(std::max(1 - nz * nz, 0.0));
    const double f = a * (nx * v - ny * u) / (std::sqrt((u * u + v * v) * (nx * nx + ny * ny)) + 1e-30);
    Cxvel[c] = u + f * v;
    Cyvel[c] = v - f * u;
  }
  waterflow(WFStart, WFEnd);
  coeff_make1H(WFStart, WFEnd);
  for (int b = WBStart; b <= WBEnd; ++b) {
    const int c = Bcellt[b];
    if (c < 1) continue;
    Cxvel[c] = Cxvel_old[c];
    Cyvel[c] = Cyvel_old[c];
  }
}

double centralLinks(int c) {
  double a = Cae[c] + Caw[c] + Cab[c] + Cat[c] + Can[c] + Cas[c];
  // The second-order links to the cells beyond belong to the same face fluxes: without them a
  // uniform concentration would not be carried through unchanged.
  if (secondOrder() && Caee) a += Caee[c] + Caww[c] + Cann[c] + Cass[c] + Catt[c] + Cabb[c];
  return a;
}

double sizeCentralLinks(int l, int c) {
  if (allPerSize()) {
    double a = Caem[l][c] + Cawm[l][c] + Cabm[l][c] + Catm[l][c] + Canm[l][c] + Casm[l][c];
    if (secondOrder())
      a += Caeem[l][c] + Cawwm[l][c] + Cabbm[l][c] + Cattm[l][c] + Cannm[l][c] + Cassm[l][c];
    return a;
  }
  double a = Cae[c] + Caw[c] + Cabm[l][c] + Catm[l][c] + Can[c] + Cas[c];
  if (secondOrder()) a += Caee[c] + Caww[c] + Cabbm[l][c] + Cattm[l][c] + Cann[c] + Cass[c];
  return a;
}

namespace {

// The generators set a second-neighbour link only on the downstream side of a face: every
// other one must start from 0, in the shared arrays and in the rows of every size.
void clearSecondNeighbours() {
  if (Caee)
    for (int c = WCStart; c <= WCEnd; ++c) Caee[c] = Caww[c] = Cass[c] = Cann[c] = Cabb[c] = Catt[c] = 0;
  for (const Table2<double>* t : {&Cattm, &Cabbm, &Caeem, &Cawwm, &Cannm, &Cassm}) {
    if (!*t) continue;
    for (int l = 1; l <= lnumber; ++l) {
      const Row1<double> r = (*t)[l];
      for (int c = WCStart; c <= WCEnd; ++c) r[c] = 0;
    }
  }
}

// Step 19: the time term and the central coefficients, cell by cell over the solver threads.
void timeTerm() {
  const bool crankNicolson = TimeStep > 1e-8 && CrankNicols > 1e-8;
  if (crankNicolson && (bedVectorCoefficients() || secondOrder())) crankNicolsonOtherForms();
#pragma omp parallel for schedule(static) if (NoProcessesSolver > 0)
  for (int c = WCStart; c <= WCEnd; ++c) {
    const double a0 = ap0(c);
    if (oneSize()) {
      Csource[c] = a0 * Cconc_old[1][c];
      Cap[c] = centralLinks(c) + a0;
      continue;
    }
    for (int l = 1; l <= lnumber; ++l) {
      Csourcem[l][c] = a0 * Cconc_old[l][c];
      Capm[l][c] = sizeCentralLinks(l, c) + a0;
    }
  }
  if (crankNicolson) crankNicolsonSediment(oneSize());
}

// Step 20.
void bedLoadTerms() {
  const int v = BedLoadVectorFlag;
  if (v >= 2 && v <= 4 && FlagTSC == 3) computeBedLoadVector();
  if (v >= 5 && v <= 9) coeff_make_bedvector(WFStart, WFEnd);
  if (v >= 11 && v <= 19 && FlagTSC == 3) failf(-8, "F 78 between 11 and 19 does not work\n\n");
  if (v >= 21 && v <= 29 && FlagTSC == 3) computeBedLoadVector3();
  if (v >= 31 && v <= 39 && FlagTSC == 3) computeBedLoadVector4();
}

// Step 22: grains lighter than water rise to the surface and leave through it.
void buoyantParticles() {
  if (FlagPlastics != 1) return;
  for (int l = 1; l <= lnumber; ++l) {
    if (!(fallvelo[l] < 0)) continue;
    for (int c = WCStart; c <= WCEnd; ++c) {
      const bool above = cellAbove(c) != 0, below = cellBelow(c) != 0;
      if (!above && below) central(l, c) += Faz[Cflatet[c]] * fallvelo[l] * 1000.0;
      if (above && !below) central(l, c) -= Faz[Cflateb[c]] * fallvelo[l] * 1000.0;
    }
  }
}

// The coefficients with which the side neighbours and the cell above are linked to c, plus
// the time term: the outflow of the bottom cell into the water (`top` the bottom-link array of
// the size, whose entry in the cell above links that cell to c). Under second-order upwinding
// the cells two away are linked to c too (`beyond` the size's array of links to the second
// cell below): the water takes from c what all of them take, no more and no less.
double bedCellDiagonal(int c, const Row1<double>& top, const Row1<double>& beyond) {
  double a = ap0(c);
  if (Ccells[c] > 0) a += Can[Ccells[c]];
  if (Ccelln[c] > 0) a += Cas[Ccelln[c]];
  if (Ccellw[c] > 0) a += Cae[Ccellw[c]];
  if (Ccelle[c] > 0) a += Caw[Ccelle[c]];
  if (Ccellt[c] > 0) a += top[Ccellt[c]];
  if (!secondOrder() || !Caee) return a;
  auto twoAway = [](const Table1<int>& link, int c0) { return link[c0] > 0 ? link[link[c0]] : 0; };
  if (const int s2 = twoAway(Ccells, c); s2 > 0) a += Cann[s2];
  if (const int n2 = twoAway(Ccelln, c); n2 > 0) a += Cass[n2];
  if (const int w2 = twoAway(Ccellw, c); w2 > 0) a += Caee[w2];
  if (const int e2 = twoAway(Ccelle, c); e2 > 0) a += Caww[e2];
  if (const int t2 = twoAway(Ccellt, c); t2 > 0) a += beyond[t2];
  return a;
}

// Step 24: inflow, nesting and the bed-cell balance terms.
void inflowAndBalance() {
  if (oneSize()) {
    InflowSediment();
    if (NoNestflater > 0) {
      Equation = 7;
      nestsource();
    }
    const Row1<double> cab{Cab.data(), Cab.size(), Cab.label()};
    const Row1<double> cabb{Cabb.data(), Cabb.size(), Cabb.label()};
    for (int b = WBStart; b <= WBEnd; ++b) {
      const int c = Bcellt[b];
      if (c < 1) continue;
      Bsource[1][b] = Csource[c];
      if (FlagTSC == 1) Bap[1][b] = bedCellDiagonal(c, cab, cabb);
    }
    if (FlagTSC == 1) MakeAp(1);
    return;
  }
  for (int l = 1; l <= lnumber; ++l) {
    InflowSedimentM(l);
    if (NoNestflater > 0) {
      Equation = 6 + l;
      nestsource();
      Equation = 7;
    }
    for (int b = WBStart; b <= WBEnd; ++b) {
      const int c = Bcellt[b];
      if (c < 1) continue;
      Bsource[l][b] = Csourcem[l][c];
      if (FlagTSC == 1) Bap[l][b] = bedCellDiagonal(c, Cabm[l], secondOrder() ? Cabbm[l] : Row1<double>{});
    }
    if (FlagTSC == 1) MakeAp(l);
  }
}

// Step 25: the first neighbour of each side with several neighbours links into its bed cell.
void severalNeighbours() {
  if (QNFlag <= 0) return;
  struct Side {
    const Table1<int>* count;
    const Table2<int>* cells;
    const Table2<double>* a;
  };
  const Side sides[4] = {{&Cncelle, &Cqncelle, &Cqnae},
                         {&Cncellw, &Cqncellw, &Cqnaw},
                         {&Cncelln, &Cqncelln, &Cqnan},
                         {&Cncells, &Cqncells, &Cqnas}};
  for (int b = WBStart; b <= WBEnd; ++b) {
    const int c = Bcellt[b];
    if (c < 1) continue;
    for (const Side& s : sides) {
      if ((*s.count)[c] < 1) continue;
      const int nb = Cbed[(*s.cells)[c][0]];
      if (nb < 1) continue;
      for (int l = 1; l <= lnumber; ++l) Bap[l][nb] += (*s.a)[c][0];
    }
  }
}

// Step 28 (F 1 D, several sizes): coefficients that point to a broken system.
void coefficientWarnings() {
  if (debugging != 'D' || lnumber < 2) return;
  for (int c = WCStart; c <= WCEnd; ++c)
    for (int l = 1; l <= lnumber; ++l) {
      if (!(Capm[l][c] < 1e-8 || Csourcem[l][c] > 1e8)) continue;
      const int b = Cbed[c];
      logf("Warning in TSC method: l=%d, i=%d, j=%d, Capm = %lf, Csourcem = %lf\n", l, Bkooi[b],
           Bkooj[b], Capm[l][c], Csourcem[l][c]);
      logf("Vol = %lf, Az = %lf\n", Cvol[c], Faz[Cflateb[c]]);
    }
}

void solve() {
  const bool one = lnumber == 1;
  if (FlagTSC == 1) {
    if (one)
      morphology_tsc_solver_tsc1_single();
    else
      morphology_tsc_solver_tsc1_multiple();
  } else if (FlagTSC == 2) {
    if (one)
      morphology_tsc_solver_tsc2_single();
    else
      morphology_tsc_solver_tsc2_multiple();
  } else if (FlagTSC == 3) {
    morphology_tsc_solver_tsc3_standard();
  }
}

double depthUp(int c) {
  double h = 0;
  upColumn(c, [&h](int k) { h += Ckdist[k]; });
  return 2 * h;
}

// Step 31: a concentration far above the largest bed concentration is an instability; it is
// reported and cut.
void instabilityGuard() {
  const double limit = 1.5 * MaxBedConc;
  for (int c = WCStart; c <= WCEnd; ++c)
    for (int l = 1; l <= lnumber; ++l) {
      if (!(Cconc[l][c] > limit)) continue;
      const int b = Cbed[c];
      std::string s = strf("Warning for instability in TSC method: high sediment conc(%d,%d)=%lf, depth = %lf ",
                           l, c, Cconc[l][c], depthUp(c));
      s += strf("Bconc[%d] = %lf, frac = %lf\n", b, Bconc[l][b], BSedDistrib[1][l][b]);
      s += strf("NoVcells = %d, c_bed = %d, 300k = %lf, velocity = %lf %lf %lf, Ckdist = %lf, Cconc[top] = %lf\n",
                cellsUpFrom(c), Bcellt[b], 300 * Ckinen[c], Cxvel[c], Cyvel[c], Czvel[c], Ckdist[c],
                Cconc[l][Ccellt[c]]);
      if (oneSize())
        s += strf("Cap = %lf, Csource = %lf Bsource = %lf, Vol = %le", Cap[c], Csource[c],
                  Bsource[l][b], Cvol[c]);
      else
        s += strf("Capm = %lf, Csourcem = %lf Bsource = %lf, Vol = %lf", Capm[l][c],
                  Csourcem[l][c], Bsource[l][b], Cvol[c]);
      if (FlagDuneShearPartCross > 0 && bedshear) s += strf(", bedshear = %lf", bedshear[Bkooi[b]][Bkooj[b]]);
      logf("%s\n", s.c_str());
      Cconc[l][c] = MaxBedConc;
    }
}

// Step 33 (F 369 1).
void bugFind() {
  if (FlagBugFind != 1) return;
  for (int l = 1; l <= lnumber; ++l)
    for (int c = WCStart; c <= WCEnd; ++c) {
      const double v = Cconc[l][c];
      if (!(v < 0 || v > 1 || std::isnan(v))) continue;
      logf("Bug found in sediment concentration, size %d, Cell %d, Iter = %d\n", l, c, Iter);
      logf("Concentration = %lf, shear = %lf\n", v, 300 * Ckinen[c]);
    }
}

void bedSorting(double Ta) {
  mc_message = " Morphology_fractions";
  if (QNFlag > 0)
    morphology_QNfractions(Ta);
  else if (FlagTSC == 1)
    morphology_fractions(Ta);
  else if (FlagTSC == 2)
    morphology2_fractions(Ta);
  else if (FlagTSC == 3)
    morphology3_fractions(Ta);
  if (FlagExtraDebug == 1) logf("After morphology_fractions\n");
}

void oldValues() {
  copyOld();
  copyFlowToOld(WCStart, WCEnd, AlsoOld::PressureAndInvAp);
}

// Step 38: the discharges of the step, from the series at the present time when there is one.
void stepDischarges() {
  if (FlagDischargeTime == 0 || TimeInNo < 1 || !QDinn) {
    for (int g = 1; g <= 9; ++g) DischargeArray[g] = DischargeStruct[g].massDischarge;
    return;
  }
  const TimeSeriesPoint p = timeSeriesPoint(stimet);
  for (int g = 1; g <= 9; ++g)
    if (DischargeStruct[g].surfaceNo >= 1 || g <= 2)
      DischargeArray[g] = ((1 - p.w) * QDinn[p.row][g] + p.w * QDinn[p.prev][g]) * 1000.0;
}

// Step 39: the sediment that left through the outflow groups in this step.
void outflowMass() {
  for (int g = 1; g <= 9; ++g) {
    const DischargeGroup& d = DischargeStruct[g];
    if (d.surfaceNo < 1 || d.inflowFlag != 0) continue;
    const double q = DischargeArray[g] / (d.area + 1e-30);
    for (int k = 0; k < d.surfaceNo; ++k) {
      const int f = d.surfaceList[k];
      if (f < 1 || f > NoSurfaces) continue;
      const int c = Fcell1[f] != 0 ? Fcell1[f] : Fcell2[f];
      if (c < 1) continue;
      for (int l = 1; l <= lnumber; ++l) {
        const double m = Cconc[l][c] * Farea[f] * q * TimeStep * density;
        SumOutflow += m;
        kUt[l] += m;
      }
    }
  }
  // A debugging pause waits for somebody to release it, which never happens in a batch run.
  if (PauseFlag == 12) {
    logf("Pause point 12 (F 156) is not available in a batch run; the sediment computation goes on\n");
    PauseFlag = 0;
  }
  if (PauseFlag == 103) PauseFlag = 12;
}

// Step 41 when no bed routine runs: the bed change is only accumulated in plane 1.
void bedChangeAccumulated(const Run& run) {
  // The time moves once per step: here only when no flow driver and no skipped solve moved it.
  if (!run.timeAdvanced) stimet += TimeStep;
  mc_program = strf("Morphology_tsc, %lf sec.", stimet);
  for (int k = 1; k <= NoBlocks; ++k) {
    const GridBlock& blk = block[k];
    if (blk.flag2D != 0 || blk.skip != 0) continue;
    for (int i = blk.i1; i <= blk.i2; ++i)
      for (int j = blk.j1; j <= blk.j2; ++j) {
        const int b = pointbed[i][j];
        if (!wetColumn(i, j) || b < 1 || Bcellt[b] < 1) continue;
        if (!(std::fabs(Bedmove[b]) > 1e-12)) continue;
        const double q = 0.25 * Bedmove[b];
        Surfaces[1][i][j] += q;
        Surfaces[1][i - 1][j] += q;
        Surfaces[1][i][j - 1] += q;
        Surfaces[1][i - 1][j - 1] += q;
      }
  }
}

void bedChange(const Run& run) {
  mc_message = " Bedchanges";
  if (FlagExtraDebug == 1) logf("Before bedchange\n");
  if (!frozenFlow()) {
    switch (FlagBedchangeOption) {
      case 0: bedchange(); return;
      case 1: bedchange2(); return;
      case 3: bedchange3(); return;
      case 4: bedchange4(Iter == 1 ? 0 : 1); return;
      case 5: bedchange5(); return;
      default: break;
    }
  }
  bedChangeAccumulated(run);
}

// Steps 40 to 45.
void afterOutflow(const Run& run) {
  if (FlagTSC == 3 && Bbedchange && NoBlocks >= 1)
    for (int l = 1; l <= lnumber; ++l)
      for (int b = block[1].bcellstart; b <= block[1].bcellend; ++b)
        kBedmove[l] += Bbedchange[l][b] * Barea[b] * SolidFrac * 1000.0;
  if (FlagBagger == 1) bagger();
  if (FlagProfiles > 0 && divisible(Iter, FlagProfiles)) print_profiles();
  bedChange(run);
  if (FlagScaleGridMove == 1) scaleConcGridMove2();
  if (TransWriteFiles[0] > 0 && divisible(Iter, TransWriteFiles[0])) WriteTransFiles();
  crossSectionFiles();
  if (FlagMorphStatistics > 0) computeMorphStatistics();
  if (FlagCohesion > 2 || NoCohesiveDepth > 0) computeCohesion();
}

void totalConcentration() {
  for (int c = WCStart; c <= WCEnd; ++c) {
    double s = 0;
    for (int l = 1; l <= lnumber; ++l) s += Cconc[l][c];
    Cconc[0][c] = s;
  }
}

// Step 48.
void outputs() {
  if ((frozenFlow() || skipWatersolve > 1) && PrintRes != 0 && divisible(Iter, PrintRes))
    sprintflow();
  if (FlagBraidedIndex > 0 && divisible(Iter, 100)) writeBraided();
  if (WriteDuneI1 > 0 && divisible(Iter, WriteDuneIter)) writeDune();
  if (FlagInterpolVal == 30 || PrintArrayFlags[10] == 130) print_fractions();
  if (FlagFractionsPrint > 0) make_Bfractionsprint();
}

// Steps 11 to 22: the equations of every size, up to the inflow.
void assemble() {
  if (FlagBedDefect == 1 && Bdefect)
    for (int b = WBStart; b <= WBEnd; ++b) Bdefect[b] += stackThickness(b);
  copyOld();
  Equation = 7;
  GammaCalc(WCStart, WCEnd);
  if (FlagCorrectContinuity == 1) correctContinuity();
  if (frozenFlow() && Iter == 1) waterflow(WFStart, WFEnd);
  if (secondOrder()) clearSecondNeighbours();
  if (bedVectorCoefficients())
    coeff_make2m(WFStart, WFEnd);
  else if (oneSize())
    coeff_make1(WFStart, WFEnd);
  else
    coeff_make2(WFStart, WFEnd);
  if (BedLoadFlag == 10 || (BedLoadVectorFlag == 1 && lnumber == 1)) bedLoadDirection();
  timeTerm();
  bedLoadTerms();
  if (sou[7] > 1)
    for (int l = 1; l <= lnumber; ++l) {
      grainsize_number = l;
      coeff_make_source(WFStart, WFEnd);
    }
  buoyantParticles();
  mark(35);
}

void capacity() {
  if (FlagBedDLL != 0) return;
  const char f = SedimentFormula;
  if (f == 'R')
    concRijn();
  else if (f == 'A' || f == 'E' || f == 'I' || f == 'M' || f == 'S' || f == 'Y')
    concEngelund();
}

}  // namespace

bool timeStep(Run& run, const FieldRef& savedCf) {
  copyOld();
  if (FlagDepthDeposit > 0) computeDepthDeposit();
  if (TurbDensFlag > 0 && NoBlocks >= 1) computeDensityStat(block[1].i1, block[1].i2);
  stepLength();
  if (!slides()) return false;
  const double flowStart = omp_get_wtime();
  if (!flowOfWorkBlocks(run)) return false;
  if (FlagPresSetZero == 1) {
    Cpres[0] = 0;
    for (int c = WCStart; c <= WCEnd; ++c) Cpres[c] = 0;
  }
  if (Bfly && BFroude && NoBlocks >= 1) computeBFroude(block[1].bcellstart, block[1].bcellend);
  sedimentRange();
  mark(34);
  if (debugging == 'P') {
    const double t = omp_get_wtime();
    logf("Main grid WaterSolve time %lf seconds, at %lf seconds\n", t - flowStart, t - otime[0]);
    otimeWatersolve += t - flowStart;
  }
  assemble();
  for (int b = WBStart; b <= WBEnd; ++b) Binout[b] = 0;
  inflowAndBalance();
  severalNeighbours();
  mark(36);
  capacity();
  if (FlagBagger == 4) bagger();
  coefficientWarnings();
  mark(37);
  solve();
  mark(38);
  if (FlagExtraDebug == 1) logf("After sediment solver \n");
  instabilityGuard();
  Cf = savedCf;
  bugFind();
  if (FlagSmoothBedchange > 0) smoothBedchange();
  if (FlagBagger == 2 || FlagBagger == 3) bagger();
  if (IterAvalanche == 205 || IterAvalanche == 206) computeSandSlide();
  bedSorting(run.Ta);
  watchBedChange();
  mark(39);
  scaleConcGridMove1();
  oldValues();
  stepDischarges();
  outflowMass();
  afterOutflow(run);
  mark(40);
  totalConcentration();
  stepMassSums();
  if (debugging == 'D' || debugging == 'E' || (debugging == 'J' && FlagPrint == 0)) continuityReport();
  stepDebugFiles();
  // The results written from here on hold this step's state: a restart goes on after it.
  SedStepsDone = Iter;
  SedTimeDone = stimet;
  outputs();
  for (int k = 41; k <= 51; ++k) otime[k] = otime[40];
  return true;
}

}  // namespace qorva::sedloop
