// Start-up of a flow computation: initial fields, inflow k and epsilon, residual norms,
// relaxation factors and roughness.
// Reads DischargeStruct, Farea, Ckdist, Czcenter, Ccellt, Ccellb, Cflatet, Cbed, Bcellt, zval,
// block and the options; writes the groups' area and inflow k/epsilon, NormResidual, the
// relax... factors, the initial Cxvel..Cepsilon, Cpres, CinvAp, Cconc[0], Fflux, Ccomp
// profiles, Croughness, Broughness, the pressure-regression sums and block[0].
#include <algorithm>
#include <cmath>
#include <string>

#include "bed/bed_modes.h"
#include "flow/flow.h"
#include "flow/water_solve.h"
#include "grid/columns.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"

namespace qorva {

namespace {

// k and epsilon of the inflows and of the initial field, as the steps below leave them.
struct Turbulence {
  double k;
  double epsilon;
};

// The k and epsilon of the last start-up, from which a flushing of a steady run restarts.
Turbulence startTurbulence{0.0, 0.0};

// Inflow area of every group with a discharge: the sum of Farea over its surfaces.
void inflowAreas() {
  for (DischargeGroup& g : DischargeStruct) {
    if (std::fabs(g.massDischarge) <= 1e-20) continue;
    double a = 0.0;
    for (int m = 0; m < g.surfaceNo; ++m) a += Farea[g.surfaceList[m]];
    g.area = a;
  }
}

// Norms from the inflow groups: the pressure norm NP grows by each inflow discharge Q (kg/s),
// the velocity norm NV by Q times the mean inflow velocity. The inflow k of a group is 1/400 of
// its squared mean velocity (2.5 % turbulence intensity squared), epsilon from k and the
// square root of the inflow area as length scale.
void inflowNorms(double& NV, double& NP, Turbulence& t) {
  for (DischargeGroup& g : DischargeStruct) {
    if (g.inflowFlag != 1 || std::fabs(g.massDischarge) <= 1e-20) continue;
    const double Q = g.massDischarge;
    const double A = g.area;
    NP += Q;
    const double v = Q * 0.001 / (A + 1e-5);
    NV += Q * v;
    if (FlagNormSet == 0) {
      t.k = 0.0025 * v * v;
      double e0;
      if (t.k <= 1e-6) {
        t.k = 1e-6;
        e0 = 8e-7;
      } else {
        e0 = 0.8 * t.k;
      }
      t.epsilon = e0 * std::sqrt(t.k / (A + 1e-10));
    } else {
      t.k = NormK;
      t.epsilon = NormEps;
    }
    g.inflowK = t.k;
    g.inflowEps = t.epsilon;
    NormResidual[5] = NP * t.k;
    NormResidual[6] = NP * t.epsilon;
  }
}

// Block-division run: the norms come from group 1 alone.
void blockDivisionNorms(double& NV, double& NP, Turbulence& t) {
  DischargeGroup& g = DischargeStruct[1];
  const double Q = g.massDischarge;
  NV = NP = Q;
  if (FlagNormSet == 0) {
    t.k = t.epsilon = 0.01;
  } else {
    t.k = NormK;
    t.epsilon = NormEps;
  }
  g.inflowK = t.k;
  g.inflowEps = t.epsilon;
  NormResidual[5] = Q * t.k;
  NormResidual[6] = Q * t.epsilon;
}

// Wind share of the norms over the water surface, and the k and epsilon the wind stress keeps
// up in the top cells.
void windNorms(double& NV, double& NP, Turbulence& t) {
  const double W = Wind[0];
  if (W <= 1e-10) return;
  double At = 0.0;
  for (int c = 1; c <= NoCells; ++c)
    if (Ccellt[c] == 0) At += Farea[Cflatet[c]];
  if (W > 1e-5) {
    const double X = W * W * 0.001 * 1000.0 * At;
    NV += X;
    NP += 0.1 * X;
    if (FlagNormSet == 0) {
      t.k = std::pow(std::fabs(W), 2.5) * 0.0033333 * 1.2 * 0.5 * 0.001;
      t.epsilon = std::sqrt(t.k) * 0.164317 * 2.5 / (Ckdist[1] + 1e-20);
    }
    NormResidual[5] = NP * t.k;
    NormResidual[6] = NP * t.epsilon;
  } else {
    NV += 1e-4 * At;
    NP += 1e-5 * At;
    if (FlagNormSet == 0) {
      t.k = 1.99998e-11;
      t.epsilon = 3.599928e-17;
    }
    NormResidual[5] = NormResidual[6] = 1e-4 * NP;
  }
}

void relaxationFactors() {
  if (relax[1] > 0.001 && relax[1] < 2.0) {
    relaxVelocity = relax[1];
    invRelaxVelocity = 1.0 / relax[1];
  } else {
    relaxVelocity = 0.001;
    invRelaxVelocity = 1000.0;
  }
  relaxPressure = relax[4] > 0.001 && relax[4] < 2.0 ? relax[4] : 0.001;
  relaxK = relax[5] > 0.01 && relax[5] < 2.0 ? relax[5] : 0.01;
  relaxEpsilon = relax[6] > 0.01 && relax[6] < 2.0 ? relax[6] : 0.01;
  if (FlagInitialized != 0) return;
  logf("Relaxation: %lf %lf %lf %lf\n", relaxVelocity, relaxPressure, relaxK, relaxEpsilon);
  if (NoProcessesSolver > 0 && debugging == 'D') {
    std::string line = "OpenMP G 50";
    for (int n = 0; n < 10; ++n) line += strf(" %d", FlagOpenMP[n]);
    logf("%s\n", line.c_str());
  }
}

// Walks a water column down from cell `top`, giving each cell the hydrostatic pressure of the
// depth of its centre below the top face: set, or added to the pressure already there.
void hydrostaticColumn(int top, bool add) {
  double d = 0.0;
  downColumn(top, [&d, add](int c) {
    d += Ckdist[c];
    if (add)
      Cpres[c] += 9810.0 * d;
    else
      Cpres[c] = 9810.0 * d;
    d += Ckdist[c];
  });
}

void initialFields(const Turbulence& t) {
  if (UInitNo == 0) {
    for (int c = 0; c <= NoCells; ++c) {
      CinvAp[c] = Cpres[c] = Cxvel[c] = Cyvel[c] = Czvel[c] = 0.0;
      Cconc[0][c] = 0.0;
      Ckinen[c] = t.k;
      Cepsilon[c] = t.epsilon;
    }
  }
  // The density damping factor starts undamped whichever way the fields start: the first
  // eddy viscosity is formed before the first k step computes the factor.
  if (TurbDensFlag == 5 && CdampDensity)
    for (int c = 0; c <= NoCells; ++c) CdampDensity[c] = 1.0;

  if (FlagGravity > 0)
    for (int c = 1; c <= NoCells; ++c)
      if (Ccellt[c] == 0) hydrostaticColumn(c, false);

  // Mud block: the weight of the water above adds to the pressure of its columns.
  int mud = 0;
  if (FlagThixo == 1)
    mud = 1;
  else if (mudBlock() && block[2].thixo > 0)
    mud = 2;
  if (mud > 0 && mud <= NoBlocks) {
    const int first = block[mud].cellstart;
    const int last = std::min(block[mud].cellend, NoCells);
    for (int c = std::max(first, 1); c <= last; ++c)
      if (Ccellt[c] < first) hydrostaticColumn(c, true);
  }

  if (UInitNo != 0) {
    const InitialFlowValues& R = UInit[UInitNo];
    for (int c = 0; c <= NoCells; ++c) {
      CinvAp[c] = 0.0;
      Cxvel[c] = R[1];
      Cyvel[c] = R[2];
      Czvel[c] = R[3];
      Ckinen[c] = R[5];
      Cepsilon[c] = R[6];
      Cconc[0][c] = 0.0;
    }
    if (R[4] > 0.0)
      for (int c = 0; c <= NoCells; ++c) Cpres[c] = R[4];
  }

  for (int f = 0; f <= NoSurfaces; ++f) Fflux[f] = 0.0;
}

void storeNorms(double NV, double NP) {
  if (FlagNormSet == 2) {
    NormResidual[1] = NormResidual[2] = NormResidual[3] = NormVel;
    NormResidual[4] = NormPres;
    NormResidual[5] = NormK;
    NormResidual[6] = NormEps;
  } else {
    NormResidual[1] = NormResidual[2] = NormResidual[3] = NV;
    NormResidual[4] = NP;
  }
  block[0].cellstart = 1;
  block[0].cellend = NoCells;
}

// Value at level z of a profile of n pairs given from the highest level downward: linear in
// the segment z_i <= z < z_(i-1). Above the first level or below the last one the profile
// holds its end value.
double profileValue(const Fixed<ProfilePair, 50>& p, int n, double z) {
  for (int i = 1; i < n; ++i) {
    if (p[i].level <= z && z < p[i - 1].level) {
      const double w = (p[i - 1].level - z) / (p[i - 1].level - p[i].level + 1e-20);
      return w * p[i].value + (1.0 - w) * p[i - 1].value;
    }
  }
  return z >= p[0].level ? p[0].value : p[n - 1].value;
}

// Row `comp` of the component table, or an input error when that component does not exist.
Row1<double> componentRow(const Table2<double>& t, int comp, const char* dataSet) {
  if (!t || comp < 0 || comp >= NoComponents || static_cast<std::size_t>(comp) >= t.dim(0))
    failf(1, "Input error for %s in control: component %d does not exist (%d components)\n",
          dataSet, comp, NoComponents);
  return t[comp];
}

void verticalProfiles() {
  if (TemperatureFlag == 1 && NoVerttemp > 0 && Seiche7 == 0) {
    const Row1<double> temp = componentRow(Ccomp, 0, "G 40");
    for (int c = 1; c <= NoCells; ++c) temp[c] = profileValue(Verttemp, NoVerttemp, Czcenter[c]);
  }
  for (int q = 0; q < NoQI; ++q) {
    if (NoVertInit[q] < 1) continue;
    const Row1<double> row = componentRow(Ccomp, NoVariable[q], "G 41");
    const bool transient = TimeStep > 1e-8 && Ccomp_old;
    for (int c = 1; c <= NoCells; ++c) {
      const double v = profileValue(VertQInit[q], NoVertInit[q], Czcenter[c]);
      row[c] = v;
      if (transient) Ccomp_old[NoVariable[q]][c] = v;
    }
  }
  if (TemperatureFlag == 1 && Seiche7 == 1) {
    // Two layers per block by cell number: the lower half of the numbers cold, the rest warm.
    const Row1<double> temp = componentRow(Ccomp, 0, "F 69");
    for (int b = 1; b <= NoBlocks; ++b) {
      const int first = block[b].cellstart, last = std::min(block[b].cellend, NoCells);
      if (first < 1 || last < first) continue;
      const int m = first + (last - first) / 2;
      for (int c = first; c <= m; ++c) temp[c] = 10.0;
      for (int c = m + 1; c <= last; ++c) temp[c] = 20.0;
    }
  } else if (TemperatureFlag == 1 && Seiche7 == 2) {
    // Two layers by level: warm within 2 m of the water level.
    const Row1<double> temp = componentRow(Ccomp, 0, "F 69");
    for (int c = 1; c <= NoCells; ++c) temp[c] = level - Czcenter[c] <= 2.0 ? 20.0 : 10.0;
  }
}

void roughnessFields() {
  // A negative F 16 asks for the Manning-Strickler roughness height of the W 1 coefficient.
  if (XksWall < 0.0) XksWall = std::pow(26.0 / ManningInit, 6.0);
  XksWall = std::max(XksWall, 1e-5);
  for (int c = 1; c <= NoCells; ++c) Croughness[c] = XksWall;

  if (FlagRoughness == 1) {
    for (int i = 2; i <= xnumber; ++i)
      for (int j = 2; j <= ynumber; ++j) {
        const int c = columnBottom(i, j);
        if (c == 0) continue;
        Croughness[c] = roughness[i][j];
        Broughness[Cbed[c]] = roughness[i][j];
      }
  }

  if (FlagInitialized == 1 && FlagRoughness >= 2 && FlagRoughness <= 6) {
    for (int b = std::max(WBStart, 1); b <= WBEnd && b <= NoBCells; ++b)
      if (Broughness[b] > 1e-10) Croughness[Bcellt[b]] = Broughness[b];
  }

  if (gridSequencing() && MGSCpoint) {
    // The first coarse level is one cell per water column: it takes the bed roughness.
    for (int i = 2; i <= xnumber; ++i)
      for (int j = 2; j <= ynumber; ++j) {
        const int c = columnBottom(i, j);
        if (c == 0) continue;
        const int coarse = MGSCpoint[c][0];
        if (coarse >= 1 && coarse <= NoCells) Croughness[coarse] = Croughness[c];
      }
    // Each coarser level takes the mean of the children it merges (entries 1..4), in
    // ascending order so that a level is done before the next reads it.
    if (MGSNo >= 3 && MGSCpoint.dim(1) >= 5) {
      const int level3 = NoBlocks - MGSNo + 3;
      if (level3 >= 1 && level3 <= NoBlocks) {
        for (int c = std::max(block[level3].cellstart, 1); c <= NoCells; ++c) {
          double sum = 0.0;
          int n = 0;
          for (int e = 1; e <= 4; ++e) {
            const int child = MGSCpoint[c][e];
            if (child < 1 || child > NoCells) continue;
            sum += Croughness[child];
            ++n;
          }
          if (n > 0) Croughness[c] = sum / n;
        }
      }
    }
  }
}

void resetPressureRegression() {
  RegIter = 0;
  if (!PresRegresN) return;
  for (int b = 1; b <= NoBlocks; ++b) {
    const GridBlock& k = block[b];
    if (k.flag2D != 0) continue;
    for (int i = k.i1; i <= k.i2; ++i)
      for (int j = k.j1; j <= k.j2; ++j) {
        PresRegresSumX[i][j] = PresRegresSumXX[i][j] = PresRegresN[i][j] = 0;
        PresRegresSumPres[i][j] = PresRegresSumXPres[i][j] = 0.0;
      }
  }
}

}  // namespace

FlowStart flowStartValues() {
  if (UInitNo != 0) {
    const InitialFlowValues& R = UInit[UInitNo];
    return {R[1], R[2], R[3], R[5], R[6]};
  }
  return {0.0, 0.0, 0.0, startTurbulence.k, startTurbulence.epsilon};
}

void startup() {
  inflowAreas();

  // Without inflow, wind or given norms k and epsilon have no scale; given norms also give
  // the start values.
  Turbulence t{FlagNormSet != 0 ? NormK : 0.0, FlagNormSet != 0 ? NormEps : 0.0};
  double NV = 0.1, NP = 10.0;
  if (FlagMPI == 0)
    inflowNorms(NV, NP, t);
  else
    blockDivisionNorms(NV, NP, t);
  windNorms(NV, NP, t);
  startTurbulence = t;

  relaxationFactors();
  if (FlagInitialized == 0) initialFields(t);
  storeNorms(NV, NP);
  verticalProfiles();
  roughnessFields();
  if (PresRegres > 0 && FlagInitialized == 0) resetPressureRegression();
  if (FlagInitialized == 0) FlagNeedsToBeInterpolated = 0;
}

}  // namespace qorva
