// One inner iteration of the main flow driver on hand-made box grids: the momentum step against
// hand-solved equations, the finishing of the momentum, k and epsilon equations (relaxation,
// 1/Ap and its check, column smoothing, diagonal doubling, penalised epsilon cells), the serial
// and the threaded phases against each other, the order of the steps, and the component step's
// working ranges.
#include <gtest/gtest.h>
#include <omp.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/box_grid.h"
#include "flow/flow.h"
#include "flow/water_solve.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/blocks.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva::test {
namespace {

// Thread count of the tests' regions for the length of one test.
class Threads {
 public:
  explicit Threads(int n) : old_(omp_get_max_threads()) { omp_set_num_threads(n); }
  ~Threads() { omp_set_num_threads(old_); }

 private:
  int old_;
};

class InnerIteration : public Scratch {
 protected:
  // A box without wall treatment (boundary surfaces closed, flag 0), unit normals filled in,
  // the relaxation factors of the driver and set residual norms.
  static Box box(std::vector<double> dx, std::vector<double> dy, std::vector<double> dz) {
    SetArraysZero();
    Box b = makeBox(std::move(dx), std::move(dy), std::move(dz));
    for (int f = 1; f <= NoSurfaces; ++f) {
      Fvx[f] = Fax[f] / Farea[f];
      Fvy[f] = Fay[f] / Farea[f];
      Fvz[f] = Faz[f] / Farea[f];
      if (Fflagflow[f] == -1) Fflagflow[f] = 0;
    }
    for (int c = 1; c <= NoCells; ++c) Croughness[c] = 0.06;
    relaxVelocity = 0.8;
    invRelaxVelocity = 1.25;
    relaxK = relaxEpsilon = 0.5;
    for (int e = 1; e <= 6; ++e) NormResidual[e] = 3;
    return b;
  }
  // Chunk sizes as the driver makes them at the head of an outer iteration.
  static void chunkSizes() {
    const int n = NoProcessesSolver > 0 ? NoProcessesSolver : 1;
    deltac = (WCEnd - WCStart + 1) / n;
    deltaf = (WFEnd - WFStart + 1) / n;
  }
  static int status(void (*step)()) {
    try {
      step();
    } catch (const RunEnd& e) {
      return e.status;
    }
    return 1000;
  }
};

// ---- The momentum step on a row of three 1 m cubes ----
//
// No walls, eddy viscosity 10 kg/(m s) (TurbulenceModel 4 with MinGamma 10), so the conductance
// of each inner x face is D = 10 * 1 m2 / 1 m = 10 kg/s. With a flux F > 0 eastward through the
// inner faces the power law gives Cae = D and Caw = D + F; the boundary faces have no flux.
// Relaxation 0.8 multiplies the sum of the neighbour coefficients by 1.25 and adds
// 0.2 * u * Cap to the source. The pressure p = -G x gives each cell the force G * 1 m3.
struct RowCase {
  const char* name;
  double flux, u0, G;
  double invAp[3];
  double residual;  // MaxResidual[1] with the norm 3
  double u[3];
};

TEST_F(InnerIteration, MomentumStepSolvesHandSetRowEquations) {
  const RowCase cases[] = {
      // Uniform flow and no pressure gradient: Ap = sum of anb, so u = 1 is already the
      // solution. Sums: 10, 1020, 1010 (times 1.25).
      {"uniform flow", 1000, 1, 0, {1 / 12.5, 1 / 1275.0, 1 / 1262.5}, 0, {1, 1, 1}},
      // Still water pushed by 100 Pa/m: sums 10, 20, 10, relaxed 12.5, 25, 12.5; sources 100.
      // 12.5 u1 = 10 u2 + 100, 25 u2 = 10 u1 + 10 u3 + 100, u3 = u1: u2 = 260/9, u1 = 280/9.
      // Each cell's residual before the solve is its source 100: 300 / 3.
      {"pressure gradient", 0, 0, 100, {1 / 12.5, 1 / 25.0, 1 / 12.5}, 100,
       {280 / 9.0, 260 / 9.0, 280 / 9.0}},
  };
  for (const RowCase& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    TurbulenceModel = 4;
    MinGamma = 10;
    for (int e = 1; e <= 3; ++e) sweeps[e] = 500;
    box({1, 1, 1}, {1}, {1});
    for (int f = 1; f <= NoSurfaces; ++f)
      if (Fcell1[f] > 0 && Fcell2[f] > 0 && Ftype1[f] == 2) Fflux[f] = k.flux;
    for (int c = 1; c <= 3; ++c) {
      Cxvel[c] = k.u0;
      Cpres[c] = -k.G * Cxcenter[c];
      MaxResidual[c] = -1;
    }

    momentumStep(1);

    EXPECT_EQ(Equation, 3);
    EXPECT_EQ(FlagInitializedInvAp, 1);
    EXPECT_EQ(Cf.data(), Czvel.data());
    EXPECT_EQ(Cf_old.data(), Czvel_old.data());
    EXPECT_NEAR(MaxResidual[1], k.residual, 1e-9);
    EXPECT_NEAR(MaxResidual[2], 0, 1e-12);
    EXPECT_NEAR(MaxResidual[3], 0, 1e-12);
    for (int c = 1; c <= 3; ++c) {
      EXPECT_NEAR(CinvAp[c], k.invAp[c - 1], 1e-15) << "cell " << c;
      EXPECT_NEAR(Cxvel[c], k.u[c - 1], 1e-9) << "cell " << c;
      EXPECT_NEAR(Cyvel[c], 0, 1e-12) << "cell " << c;
      EXPECT_NEAR(Czvel[c], 0, 1e-12) << "cell " << c;
    }
  }
}

TEST_F(InnerIteration, SeicheLeavesOutTheWEquation) {
  // F 69 Seiche4: the vertical velocity comes from continuity, so only u and v are solved.
  TurbulenceModel = 4;
  MinGamma = 10;
  Seiche4 = 1;
  box({1, 1, 1}, {1}, {1});
  for (int c = 1; c <= 3; ++c) Czvel[c] = 0.25;
  MaxResidual[3] = -1;
  momentumStep(1);
  EXPECT_EQ(Equation, 2);
  EXPECT_EQ(MaxResidual[3], -1);
  for (int c = 1; c <= 3; ++c) EXPECT_EQ(Czvel[c], 0.25);
}

// F 75: the w equation of a cell gets Cvol 1000 (rho(thermocline) - rho(T)) with the water
// density rho(x) = 0.9999726 (1 - 9.297173e-6 |x - 4.029325|^1.894816). Water at 4.029325
// degrees under a 14.029325-degree thermocline: 10^1.894816 = 78.4903, B = -0.7297179 N in each
// 1 m3 cell. On the still row above (relaxed Cap 12.5, 25, 12.5) w = B/100 (280/9, 260/9, 280/9).
TEST_F(InnerIteration, ThermoclineBuoyancyDrivesW) {
  TurbulenceModel = 4;
  MinGamma = 10;
  FlagThermocline = 1;
  Thermocline = 14.029325;
  NoComponents = 1;
  for (int e = 1; e <= 3; ++e) sweeps[e] = 500;
  box({1, 1, 1}, {1}, {1});
  for (int c = 1; c <= 3; ++c) Ccomp[0][c] = 4.029325;
  momentumStep(1);
  const double B = -0.729717921559736;
  EXPECT_NEAR(Czvel[1], B * 280 / 900, 1e-9);
  EXPECT_NEAR(Czvel[2], B * 260 / 900, 1e-9);
  EXPECT_NEAR(Czvel[3], B * 280 / 900, 1e-9);
  for (int c = 1; c <= 3; ++c) EXPECT_NEAR(Cxvel[c], 0, 1e-12);
}

TEST_F(InnerIteration, ThermoclineWithoutTemperatureIsRefused) {
  TurbulenceModel = 4;
  FlagThermocline = 1;
  box({1, 1, 1}, {1}, {1});
  EXPECT_EQ(status([] { momentumStep(1); }), 1);
  EXPECT_EQ(log(),
            "Error, the thermocline of F 75 needs the water temperature as component 0, but no "
            "components are computed\n");
}

// F 291 1 and 2: after the u solve a cell steeper than its bed cell (plan area over the
// vertical projection of the bottom face above 1.1) is pulled towards its old velocity, by
// half (1) or by 0.8 when it has neither a bottom nor a top neighbour (2). u does not enter
// the v and w equations of the same step, so the undamped run gives the solved values.
TEST_F(InnerIteration, SteepCellsArePulledTowardsTheirOldVelocity) {
  struct Case {
    int flag;
    double keep;  // share of the solved value in cell 2
  };
  const Case cases[] = {{1, 0.5}, {2, 0.2}};
  const double old[3] = {1, 2, 3};
  auto run = [&](int flag) {
    fresh();
    TurbulenceModel = 4;
    MinGamma = 10;
    TimeStep = 1;
    FlagDamp1 = flag;
    for (int e = 1; e <= 3; ++e) sweeps[e] = 500;
    box({1, 1, 1}, {1}, {1});
    for (int c = 1; c <= 3; ++c) {
      Cxvel_old[c] = old[c - 1];
      Cpres[c] = -100 * Cxcenter[c];
      Cbed[c] = c;
      Barea[c] = c == 2 ? 1.5 : 1.0;
    }
    momentumStep(1);
    return std::vector<double>{Cxvel[1], Cxvel[2], Cxvel[3]};
  };
  const std::vector<double> plain = run(0);
  for (const Case& k : cases) {
    SCOPED_TRACE(k.flag);
    const std::vector<double> damped = run(k.flag);
    EXPECT_DOUBLE_EQ(damped[0], plain[0]);
    EXPECT_DOUBLE_EQ(damped[1], k.keep * plain[1] + (1 - k.keep) * old[1]);
    EXPECT_DOUBLE_EQ(damped[2], plain[2]);
  }
}

// The mud block (block 2) of a mud-flow step: each velocity component of a column whose bed
// cell carries mud is clipped to min(half cell width, mud height) / time step. The column is
// two 1 m x 1 m x 0.5 m cells (half width 0.5, top centre 0.75, half height 0.25), TimeStep 0.1.
TEST_F(InnerIteration, MudVelocitiesMoveAtMostHalfACellOrTheMudDepthPerStep) {
  struct Case {
    int mud;          // Bcellth of the bed cell
    double level;     // Bthixolev
    double limit;     // expected bound, 0: untouched
  };
  const Case cases[] = {
      // h = max(0.25, 0.75 + 0.25 - 0.6) = 0.4 < 0.5: 0.4 / 0.1.
      {1, 0.6, 4},
      // h = max(0.25, 0.1) = 0.25.
      {1, 0.9, 2.5},
      // A mud level far below: h = 1, the half width 0.5 limits.
      {1, 0.0, 5},
      {0, 0.6, 0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.level);
    fresh();
    TimeStep = 0.1;
    FlagThixo = 1;
    box({1}, {1}, {0.5, 0.5});
    NoBlocks = 2;
    block[2].bcellstart = block[2].bcellend = 1;
    Bcellth[1] = k.mud;
    Bcellt[1] = 1;
    Bthixolev[1] = k.level;
    for (int c = 1; c <= 2; ++c) {
      Cxvel[c] = 10;
      Cyvel[c] = -10;
      Czvel[c] = 3;
    }
    mudVelocityLimit();
    const double b = k.limit > 0 ? k.limit : 1e300;
    for (int c = 1; c <= 2; ++c) {
      EXPECT_DOUBLE_EQ(Cxvel[c], std::min(10.0, b)) << "cell " << c;
      EXPECT_DOUBLE_EQ(Cyvel[c], std::max(-10.0, -b)) << "cell " << c;
      EXPECT_DOUBLE_EQ(Czvel[c], std::min(3.0, b)) << "cell " << c;
    }
  }
}

// ---- The finishing of one momentum equation ----

// A row of three cells whose equation holds only the central coefficients `ap` (what wall
// laws and sources left) and velocity 1; the finishing runs serially or in a region of two
// threads with one cell in the first chunk.
struct FinishRow {
  const char* name;
  double ap[3];
  int errorCell;  // 0: none
  const char* firstLine;
};

TEST_F(InnerIteration, InvalidCentralCoefficientOfUEndsTheRunWithAReport) {
  const FinishRow cases[] = {
      {"zero", {1, 0, 0}, 2, "Error 2, Cap(2) = 0.000000e+00\n"},
      {"above 1e20 after relaxation", {1, 1, 1e20}, 3, "Error 2, Cap(3) = 1.250000e+20\n"},
      {"valid", {1, 2, 4}, 0, ""},
  };
  Threads two(2);
  for (const FinishRow& k : cases)
    for (bool parallel : {false, true}) {
      SCOPED_TRACE(std::string(k.name) + (parallel ? " parallel" : " serial"));
      fresh();
      box({1, 1, 1}, {1}, {1});
      NoProcessesSolver = 2;
      deltac = 1;
      Equation = 1;
      Cf.point(Cxvel);
      for (int c = 1; c <= 3; ++c) {
        Cap[c] = k.ap[c - 1];
        Cxvel[c] = 1;
      }
      int st = 1000;
      try {
        momentumFinish(parallel);
      } catch (const RunEnd& e) {
        st = e.status;
      }
      if (k.errorCell == 0) {
        EXPECT_EQ(st, 1000) << log();
        EXPECT_EQ(FlagErrorBreak, 0);
        for (int c = 1; c <= 3; ++c) EXPECT_DOUBLE_EQ(CinvAp[c], 0.8 / k.ap[c - 1]);
        continue;
      }
      EXPECT_EQ(st, 1);
      EXPECT_EQ(FlagErrorBreak, 1);
      const std::string text = log();
      EXPECT_EQ(text.rfind(k.firstLine, 0), 0u) << text;
      EXPECT_NE(text.find("Bed level: 0.000000e+00\n"), std::string::npos) << text;
      EXPECT_NE(text.find("Water level: 1.000000e+00\n"), std::string::npos) << text;
      EXPECT_EQ(mc_message,
                strf("Error, Cap(%d) = %e\n", k.errorCell, 1.25 * k.ap[k.errorCell - 1]));
    }
}

TEST_F(InnerIteration, MomentumRelaxationRefusesOtherEquations) {
  Threads two(2);
  for (int equation : {0, 4, 5, 9})
    for (bool parallel : {false, true}) {
      SCOPED_TRACE(equation);
      fresh();
      box({1, 1}, {1}, {1});
      NoProcessesSolver = 2;
      Equation = equation;
      int st = 1000;
      try {
        momentumFinish(parallel);
      } catch (const RunEnd& e) {
        st = e.status;
      }
      EXPECT_EQ(st, 1);
      EXPECT_EQ(log(), strf("Error, the momentum relaxation is for the equations 1 to 3, not for "
                            "Equation %d\n",
                            equation));
    }
}

// F 327: a column whose bottom cell is thin against the square root of its bottom area gets
// the column mean of 1/Ap in every cell, whether the phases run serially or in threads.
TEST_F(InnerIteration, ThinColumnsShareTheirMeanInverseCentralCoefficient) {
  struct Case {
    double dz;
    double inv1, inv2;
  };
  // Cap 4 and 8 relax to 5 and 10: 1/Ap 0.2 and 0.1, mean 0.15. Half height 0.001 m over
  // sqrt(1 m2) is below 0.01; 0.5 m is not.
  const Case cases[] = {{0.002, 0.15, 0.15}, {1.0, 0.2, 0.1}};
  Threads two(2);
  for (const Case& k : cases)
    for (bool parallel : {false, true}) {
      SCOPED_TRACE(k.dz);
      fresh();
      FlagInvApSmooth = 1;
      box({1}, {1}, {k.dz, k.dz});
      NoProcessesSolver = 2;
      deltac = 1;
      Equation = 1;
      Cf.point(Cxvel);
      Cap[1] = 4;
      Cap[2] = 8;
      momentumFinish(parallel);
      EXPECT_DOUBLE_EQ(CinvAp[1], k.inv1);
      EXPECT_DOUBLE_EQ(CinvAp[2], k.inv2);
    }
}

// F 291 2: a cell whose bed cell is more than 1.1 times the vertical projection of its bottom
// face gets its diagonal doubled, Cap = 2 Cap and Csource += 0.5 u Cap, in both forms.
TEST_F(InnerIteration, SteepCellsGetTheirDiagonalDoubled) {
  Threads two(2);
  for (bool parallel : {false, true}) {
    SCOPED_TRACE(parallel);
    fresh();
    FlagDamp2 = 2;
    box({1, 1}, {1}, {1});
    NoProcessesSolver = 2;
    deltac = 1;
    Cbed[1] = 1;
    Cbed[2] = 2;
    Barea[1] = 1.2;  // ratio 1.2
    Barea[2] = 1.0;  // ratio 1
    Equation = 1;
    Cf.point(Cxvel);
    for (int c = 1; c <= 2; ++c) {
      Cap[c] = 4;
      Cxvel[c] = 2;
    }
    momentumFinish(parallel);
    // Relaxed: Cap 5, Csource 0.2 * 2 * 5 = 2. Doubled: Cap 10, Csource 2 + 0.5 * 2 * 10 = 12.
    EXPECT_DOUBLE_EQ(Cap[1], 10);
    EXPECT_DOUBLE_EQ(Csource[1], 12);
    EXPECT_DOUBLE_EQ(CinvAp[1], 0.1);
    EXPECT_DOUBLE_EQ(Cap[2], 5);
    EXPECT_DOUBLE_EQ(Csource[2], 2);
  }
}

// ---- k and epsilon ----

// Relaxation 0.5 divides Cap by 0.5 and adds 0.5 * value * Cap. Epsilon leaves a cell alone
// whose value the wall laws fix by the 1e30 penalty; k relaxes every cell.
TEST_F(InnerIteration, EpsilonKeepsPenalisedCellsAndKRelaxesAll) {
  struct Case {
    int equation;
    bool keep;
    double cap2, source2;
  };
  const Case cases[] = {{6, true, 1e30, 0}, {5, false, 2e30, 1e30}};
  Threads two(2);
  for (const Case& k : cases)
    for (bool parallel : {false, true}) {
      SCOPED_TRACE(k.equation);
      fresh();
      box({1, 1, 1}, {1}, {1});
      NoProcessesSolver = 2;
      deltac = 1;
      Equation = k.equation;
      Cf.point(k.equation == 5 ? Ckinen : Cepsilon);
      const double ap[3] = {2, 1e30, 4};
      for (int c = 1; c <= 3; ++c) {
        Cap[c] = ap[c - 1];
        Cf[c] = 1;
      }
      turbulenceFinish(parallel, 0.5, k.keep);
      EXPECT_DOUBLE_EQ(Cap[1], 4);
      EXPECT_DOUBLE_EQ(Csource[1], 2);
      EXPECT_DOUBLE_EQ(Cap[2], k.cap2);
      EXPECT_DOUBLE_EQ(Csource[2], k.source2);
      EXPECT_DOUBLE_EQ(Cap[3], 8);
      EXPECT_DOUBLE_EQ(Csource[3], 4);
      // The residuals of cells 1 and 3 (value 1): Csource - Cap = -2 and -4; cell 2 is held.
      EXPECT_DOUBLE_EQ(MaxResidual[k.equation], 6.0 / 3);
    }
}

// ---- Central coefficient of the pressure correction in the threaded form ----

// Two columns of two cells (1 below 2, 3 below 4; 3 east of 1, 4 east of 2) in two chunks of
// two cells on two threads. Cap is the sum of the six coefficients, 1.0 where that sum is below
// 1e-30 and at least 1e-10; F 373 1 raises a side coefficient towards an existing neighbour to
// 0.05 of that first Cap. The mass defects 1, 2, 3, 4 sum to 10 (norm 3), less the net
// discharge of the groups when the per-cell residuals are kept, as in the serial residual; the
// correction starts from 0.
struct CentralCase {
  const char* name;
  void (*prepare)();
  double cap[4];
  double residual = 10.0 / 3;
};

// Vertical coefficients only: sums 2, 2, 4, 4.
void verticalCoefficients() {
  Cat[1] = Cab[2] = 2;
  Cat[3] = Cab[4] = 4;
}

TEST_F(InnerIteration, ThreadedPressureCentralCoefficient) {
  const CentralCase cases[] = {
      {"no coefficients", [] {}, {1, 1, 1, 1}},
      {"sum below the floor", [] { for (int c = 1; c <= 4; ++c) Cae[c] = 1e-20; },
       {1e-10, 1e-10, 1e-10, 1e-10}},
      {"plain sums", verticalCoefficients, {2, 2, 4, 4}},
      // East coefficients of 1 and 2 raised to 0.1, west coefficients of 3 and 4 to 0.2.
      {"stabilised sides",
       [] {
         verticalCoefficients();
         FlagPresCorrStab = 1;
       },
       {2.1, 2.1, 4.2, 4.2}},
      // The last block (cells 3 and 4) is the mud block: the surface condition fixes its top
      // cell by the penalty; the top cell 2 of the water block keeps its sum.
      {"mud block surface",
       [] {
         verticalCoefficients();
         FlagThixoIsComputing = 1;
         NoBlocks = 2;
         block[1].cellstart = 1;
         block[1].cellend = 2;
         block[2].cellstart = 3;
         block[2].cellend = 4;
         block[2].thixo = 1;
       },
       {2, 2, 4, 1e20}},
      {"net group discharge taken off",
       [] {
         verticalCoefficients();
         GlobFluxDefect = 4;
       },
       {2, 2, 4, 4}, (10.0 - 4) / 3},
      {"net group discharge kept without per-cell residuals",
       [] {
         verticalCoefficients();
         GlobFluxDefect = 4;
         FlagResidual = 0;
       },
       {2, 2, 4, 4}},
  };
  Threads two(2);
  for (const CentralCase& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    box({1, 1}, {1}, {0.5, 0.5});
    ASSERT_EQ(Ccelle[1], 3);
    ASSERT_EQ(Ccellt[3], 4);
    NoProcessesSolver = 2;
    chunkSizes();
    Equation = 4;
    Cf.pointOwn();
    for (int c = 1; c <= 4; ++c) {
      Csource[c] = c;
      Cf[c] = 5;
    }
    k.prepare();
    EXPECT_DOUBLE_EQ(pressureCentralRegion(), k.residual);
    for (int c = 1; c <= 4; ++c) {
      EXPECT_DOUBLE_EQ(Cap[c], k.cap[c - 1]) << "cell " << c;
      EXPECT_EQ(Cf[c], 0) << "cell " << c;
    }
  }
}

// ---- Serial and threaded phases ----

// A 4 x 3 x 3 box with walls all round, a varied flow, k and epsilon and a hydrostatic
// pressure; one momentum step and one k-epsilon step, serially and in the regions.
struct Snapshot {
  std::vector<double> u, v, w, k, eps, p, invAp, flux, residual;
};

struct PhaseCase {
  const char* name;
  int chunks, threads;
  bool transient;
  int staleCells, staleSurfaces;  // chunk sizes left from an earlier range (0: fresh)
  int blockCorrection = 0, blockMethod = 0;  // K 5 of the pressure correction, F 98
};

Snapshot runPhases(const PhaseCase& k, bool parallel, bool whole = false) {
  setDefaults();
  std::filesystem::remove("boogie");
  TimeStep = k.transient ? 0.5 : 1e-20;
  FlagOpenMP[5] = 1;  // k set-up serial: its threaded coefficients are not in this version
  FlagOpenMP[8] = 1;  // one solver for both runs, so only the phases differ
  SetArraysZero();
  makeBox({1.0, 1.2, 0.9, 1.1}, {1.0, 0.8, 1.3}, {0.5, 0.6, 0.4});
  for (int f = 1; f <= NoSurfaces; ++f) {
    Fvx[f] = Fax[f] / Farea[f];
    Fvy[f] = Fay[f] / Farea[f];
    Fvz[f] = Faz[f] / Farea[f];
  }
  for (int c = 1; c <= NoCells; ++c) {
    Croughness[c] = 0.05;
    Cxvel[c] = 0.8 + 0.1 * std::sin(c);
    Cyvel[c] = 0.05 * std::cos(3.0 * c);
    Czvel[c] = 0.01 * std::sin(2.0 * c);
    Ckinen[c] = 0.002 + 0.0005 * std::cos(c);
    Cepsilon[c] = 0.0004 + 0.0001 * std::sin(c);
    Cpres[c] = 9810 * (1.5 - Czcenter[c]) + 20 * std::sin(5.0 * c);
    CinvAp[c] = 1e-3 * (1 + 0.1 * std::cos(c));
    if (k.transient) {
      Cxvel_old[c] = Cxvel[c] * 0.9;
      Cyvel_old[c] = Cyvel[c];
      Czvel_old[c] = 0;
      Ckinen_old[c] = Ckinen[c] * 1.1;
      Cepsilon_old[c] = Cepsilon[c];
    }
  }
  relaxVelocity = 0.8;
  invRelaxVelocity = 1.25;
  relaxK = relaxEpsilon = 0.5;
  for (int e = 1; e <= 6; ++e) NormResidual[e] = 2;
  FlagInitializedInvAp = 1;
  NoProcessesSolver = parallel ? k.chunks : 0;
  deltac = deltaf = 0;
  if (parallel) {
    deltac = k.staleCells ? k.staleCells : NoCells / k.chunks;
    deltaf = k.staleSurfaces ? k.staleSurfaces : NoSurfaces / k.chunks;
  }
  blockcorr[4] = k.blockCorrection;
  BlockMethodFlag = k.blockMethod;
  block[1].inwork = 1;  // the box's one block is worked on, as in a run
  Threads threads(parallel ? k.threads : 1);
  if (whole) {
    EXPECT_EQ(innerIteration(1), 0);
  } else {
    momentumStep(1);
    turbulenceStep(1);
  }
  Snapshot s;
  for (int c = 1; c <= NoCells; ++c) {
    s.u.push_back(Cxvel[c]);
    s.v.push_back(Cyvel[c]);
    s.w.push_back(Czvel[c]);
    s.k.push_back(Ckinen[c]);
    s.eps.push_back(Cepsilon[c]);
    s.p.push_back(Cpres[c]);
    s.invAp.push_back(CinvAp[c]);
  }
  for (int f = 1; f <= NoSurfaces; ++f) s.flux.push_back(Fflux[f]);
  for (int e = 1; e <= 6; ++e) s.residual.push_back(MaxResidual[e]);
  return s;
}

void expectClose(const std::vector<double>& a, const std::vector<double>& b, const char* what) {
  ASSERT_EQ(a.size(), b.size()) << what;
  for (std::size_t i = 0; i < a.size(); ++i)
    EXPECT_NEAR(a[i], b[i], 1e-11 * std::max(1.0, std::fabs(a[i]))) << what << " " << i + 1;
}

TEST_F(InnerIteration, ThreadedPhasesGiveTheSerialResult) {
  const PhaseCase cases[] = {
      {"two chunks on one thread", 2, 1, false, 0, 0},
      {"two chunks on two threads", 2, 2, false, 0, 0},
      {"three chunks on two threads", 3, 2, false, 0, 0},
      {"five uneven chunks on two threads", 5, 2, true, 0, 0},
      {"more chunks than cells", 40, 2, true, 0, 0},
      {"chunk sizes of a larger range", 2, 2, true, 100, 400},
  };
  for (const PhaseCase& k : cases) {
    SCOPED_TRACE(k.name);
    const Snapshot serial = runPhases(k, false);
    const Snapshot threaded = runPhases(k, true);
    // The run did something: the flow changed and every equation solved has a residual (the
    // pressure correction is not among them).
    EXPECT_NE(serial.u[5], 0.8 + 0.1 * std::sin(6.0));
    for (int e : {1, 2, 3, 5, 6}) EXPECT_GT(serial.residual[e - 1], 0) << "equation " << e;
    expectClose(serial.u, threaded.u, "u");
    expectClose(serial.v, threaded.v, "v");
    expectClose(serial.w, threaded.w, "w");
    expectClose(serial.k, threaded.k, "k");
    expectClose(serial.eps, threaded.eps, "epsilon");
    expectClose(serial.invAp, threaded.invAp, "1/Ap");
    expectClose(serial.flux, threaded.flux, "flux");
    expectClose(serial.residual, threaded.residual, "residual");
  }
}

// The whole inner iteration, the pressure step's regions included.
TEST_F(InnerIteration, ThreadedInnerIterationGivesTheSerialResult) {
  const PhaseCase cases[] = {
      {"two chunks on two threads", 2, 2, false, 0, 0},
      {"three chunks on two threads, transient", 3, 2, true, 0, 0},
  };
  for (const PhaseCase& k : cases) {
    SCOPED_TRACE(k.name);
    const Snapshot serial = runPhases(k, false, true);
    const Snapshot threaded = runPhases(k, true, true);
    for (int e = 1; e <= 6; ++e) EXPECT_GT(serial.residual[e - 1], 0) << "equation " << e;
    expectClose(serial.u, threaded.u, "u");
    expectClose(serial.v, threaded.v, "v");
    expectClose(serial.w, threaded.w, "w");
    expectClose(serial.k, threaded.k, "k");
    expectClose(serial.eps, threaded.eps, "epsilon");
    expectClose(serial.p, threaded.p, "pressure");
    expectClose(serial.flux, threaded.flux, "flux");
    expectClose(serial.residual, threaded.residual, "residual");
  }
}

// The pressure step with the block correction, whose line sums and shifts the threads share,
// and the serial steps the solver threads now share (the continuity defect, the anchoring of
// the correction, the floors of k and epsilon): eight threads give the serial run's fields bit
// for bit.
TEST_F(InnerIteration, EightThreadsGiveTheSerialFieldsBitForBit) {
  const PhaseCase cases[] = {
      {"block correction by block", 8, 8, false, 0, 0, 1, 0},
      {"chained block correction, transient", 8, 8, true, 0, 0, 1, 1},
      {"no block correction, uneven chunks", 5, 8, false, 0, 0, 0, 0},
  };
  for (const PhaseCase& k : cases) {
    SCOPED_TRACE(k.name);
    const Snapshot serial = runPhases(k, false, true);
    const Snapshot threaded = runPhases(k, true, true);
    // The block correction solved its lines (their shifts are not all 0).
    if (k.blockCorrection == 1) {
      EXPECT_NE(Sqt[3], 0.0);
    }
    const std::pair<const std::vector<double>*, const std::vector<double>*> fields[] = {
        {&serial.u, &threaded.u},     {&serial.v, &threaded.v}, {&serial.w, &threaded.w},
        {&serial.k, &threaded.k},     {&serial.eps, &threaded.eps},
        {&serial.p, &threaded.p},     {&serial.flux, &threaded.flux}};
    for (const auto& [a, b] : fields) {
      ASSERT_EQ(a->size(), b->size());
      for (std::size_t i = 0; i < a->size(); ++i) ASSERT_EQ((*a)[i], (*b)[i]) << "entry " << i + 1;
    }
    // The residuals are sums whose parts the threads add in their own order.
    expectClose(serial.residual, threaded.residual, "residual");
  }
}

// A step that ends the run inside a region ends it after the region with the status the step
// gave; threads that met the end at the same moment may each have logged it, the others stop
// before their next chunk. The mud-flow pressure form set for the region is taken back.
TEST_F(InnerIteration, EndOfRunInsideARegionEndsTheRunAfterIt) {
  struct Case {
    const char* name;
    void (*prepare)();
    const char* message;
  };
  const Case cases[] = {
      {"residual norm never set", [] { NormResidual[1] = 0; },
       "Error residual not set for equation 1\n"},
  };
  Threads two(2);
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    TurbulenceModel = 4;
    box({1, 1, 1, 1}, {1}, {1});
    NoProcessesSolver = 2;
    chunkSizes();
    k.prepare();
    EXPECT_EQ(status([] { momentumStep(1); }), 1);
    const std::string text = log();
    EXPECT_EQ(text.rfind(k.message, 0), 0u) << text;
    int reports = 0;
    for (std::size_t at = text.find(k.message); at != std::string::npos;
         at = text.find(k.message, at + 1))
      ++reports;
    EXPECT_LE(reports, 2) << text;
    EXPECT_EQ(FlagPresGrad, 0);
  }
}

// A working range without cells (work blocks none of which is chosen) gives no chunk to the
// residual, but a norm that was never set still ends the run, as the serial residual does.
TEST_F(InnerIteration, UnsetNormEndsTheRunOfAnEmptyThreadedRange) {
  struct Case {
    int equation;
    void (*finish)();
  };
  const Case cases[] = {
      {1, [] { momentumFinish(true); }},
      {5, [] { turbulenceFinish(true, 0.5, false); }},
      {6, [] { turbulenceFinish(true, 0.5, true); }},
      {4, [] { pressureCentralRegion(); }},
  };
  Threads two(2);
  for (const Case& k : cases) {
    SCOPED_TRACE(k.equation);
    fresh();
    box({1, 1, 1}, {1}, {1});
    NoProcessesSolver = 2;
    chunkSizes();
    WCStart = 3;
    WCEnd = 2;
    Equation = k.equation;
    Cf.point(k.equation == 1 ? Cxvel : Ckinen);
    NormResidual[k.equation] = 0;
    EXPECT_EQ(status(k.finish), 1);
    EXPECT_EQ(log().rfind(strf("Error residual not set for equation %d\n", k.equation), 0), 0u)
        << log();
  }
}

// ---- Order of the steps ----

// Which equations an inner iteration assembles, seen through the residual entries it sets
// (the others keep -1), the last Equation and the status text.
TEST_F(InnerIteration, StepsRunInTheirOrder) {
  struct Case {
    const char* name;
    int model, simple;
    int lastEquation;
    bool set[6];
  };
  const Case cases[] = {
      {"k-epsilon", 0, 0, 6, {true, true, true, true, true, true}},
      {"constant eddy viscosity: no k and epsilon", 4, 0, 4,
       {true, true, true, true, false, false}},
      // Pressure from the predictor, then the momentum step and no correction.
      {"predictor without correction", 0, 4, 6, {true, true, true, false, true, true}},
      // Velocities from the predictor and the pressure force alone: no momentum equation.
      {"explicit predictor", 0, 5, 6, {false, false, false, true, true, true}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    fresh();
    TurbulenceModel = k.model;
    FlagSIMPLE = k.simple;
    box({1, 1, 1}, {1, 1}, {0.5, 0.5});
    for (int c = 1; c <= NoCells; ++c) {
      Cxvel[c] = 0.5;
      Ckinen[c] = 0.001;
      Cepsilon[c] = 0.0001;
      Cpres[c] = 9810 * (1 - Czcenter[c]);
    }
    for (int f = 1; f <= NoSurfaces; ++f)
      if (Fcell1[f] > 0 && Fcell2[f] > 0 && Ftype1[f] == 2) Fflux[f] = 250;
    for (int e = 1; e <= 6; ++e) MaxResidual[e] = -1;
    EXPECT_EQ(innerIteration(3), 0) << log();
    EXPECT_EQ(mc_program, " ZI-Deva 0 3           ");
    EXPECT_EQ(Equation, k.lastEquation);
    for (int e = 1; e <= 6; ++e) EXPECT_EQ(MaxResidual[e] != -1, k.set[e - 1]) << "equation " << e;
  }
}

// ---- Components ----

TEST_F(InnerIteration, ComponentStepKeepsTheFlowRanges) {
  NoComponents = 1;
  box({1, 1, 1}, {1}, {1});
  WCStart = 2;
  WCEnd = 3;
  WFStart = 4;
  WFEnd = 9;
  EXPECT_EQ(status([] { componentStep(1); }), 1000) << log();
  EXPECT_EQ(WCStart, 2);
  EXPECT_EQ(WCEnd, 3);
  EXPECT_EQ(WFStart, 4);
  EXPECT_EQ(WFEnd, 9);
}

}  // namespace
}  // namespace qorva::test
