// Corrections after the pressure-correction solve on small boxes: continuity of the corrected
// fluxes after an exact solve, hand values of the flux and velocity corrections, the surfaces
// each variant corrects, the pressure update of SIMPLE and its variants, the velocity cap of
// form 51 on grids running against x or y, the replaced step, the flow-direction repair, the
// water-level change, the pressure rules after the update, the clamp of p', and threaded
// calls giving the serial result.
#include <gtest/gtest.h>

#include <omp.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "support/correction_grid.h"
#include "pressure/pressure.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/log.h"
#include "state/options.h"
#include "state/status.h"
#include "state/structured.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva {
namespace {

using test::correctionGrid;

class SimpleCorrections : public test::Scratch {
 protected:
  static void restart() {
    SetArraysZero();
    setDefaults();
  }
  static int run(int innerIter = 1) {
    try {
      qorva::SimpleCorrections(innerIter, WFStart, WFEnd, WCStart, WCEnd);
    } catch (const RunEnd& e) {
      return e.status;
    }
    return 1000;
  }
};

// Net mass outflow of cell c (kg/s) through all its surfaces.
double netOutflow(int c) {
  double s = 0;
  for (int f = 1; f <= NoSurfaces; ++f) {
    if (Fcell1[f] == c) s += Fflux[f];
    if (Fcell2[f] == c) s -= Fflux[f];
  }
  return s;
}

// Solves A x = r by Gaussian elimination with partial pivoting (dense, small n).
std::vector<double> solveDense(std::vector<std::vector<double>> a, std::vector<double> r) {
  const int n = static_cast<int>(r.size());
  for (int k = 0; k < n; ++k) {
    int p = k;
    for (int i = k + 1; i < n; ++i)
      if (std::fabs(a[i][k]) > std::fabs(a[p][k])) p = i;
    std::swap(a[k], a[p]);
    std::swap(r[k], r[p]);
    for (int i = k + 1; i < n; ++i) {
      const double m = a[i][k] / a[k][k];
      for (int j = k; j < n; ++j) a[i][j] -= m * a[k][j];
      r[i] -= m * r[k];
    }
  }
  std::vector<double> x(n);
  for (int k = n - 1; k >= 0; --k) {
    double s = r[k];
    for (int j = k + 1; j < n; ++j) s -= a[k][j] * x[j];
    x[k] = s / a[k][k];
  }
  return x;
}

struct ContinuityCase {
  const char* what;
  std::function<void()> set;
};

TEST_F(SimpleCorrections, CorrectedFluxesSatisfyContinuityAfterAnExactSolve) {
  // 3 x 2 x 2 cells of uneven size with 1/Ap varying from cell to cell. Water enters through
  // the west face of the first cell (12 kg/s) and leaves through the east face of the last
  // bottom cell; the inner fluxes are far from balanced. The pressure-correction equation
  // a_P p'_P = sum a_nb p'_nb + (net inflow), with a_nb = 1000 A^2 (1/Ap at the face), is
  // solved exactly (one cell pinned: the closed system is singular but balanced).
  const std::vector<ContinuityCase> cases = {
      {"SIMPLE", [] {}},
      {"SIMPLEC (F 171 1)", [] { FlagSIMPLE = 1; }},
      {"F 157 51", [] { FlagSimpleCorrections = 51; MinVertDist0 = 0.01; }},
      {"F 36 11 with F 157 0", [] { FlagTFS = 11; }},
  };
  for (const ContinuityCase& k : cases) {
    SCOPED_TRACE(k.what);
    restart();
    const test::Box b = correctionGrid({1.0, 2.5, 0.8}, {1.5, 0.7}, {0.4, 0.9});
    k.set();
    const int n = NoCells;
    for (int c = 1; c <= n; ++c) CinvAp[c] = 1e-4 * (1 + 0.37 * c);
    for (int f = 1; f <= NoSurfaces; ++f)
      if (Fcell1[f] > 0 && Fcell2[f] > 0) Fflux[f] = std::sin(1.3 * f) * 7;
    const int first = b.cell(0, 0, 0), last = b.cell(2, 1, 0);
    Fflux[Cflatew[first]] = 12;  // into the first cell
    Fflux[Cflatee[last]] = 12;   // out of the last one
    const double inflowFace = Fflux[Cflatew[first]], outflowFace = Fflux[Cflatee[last]];

    std::vector<std::vector<double>> a(n, std::vector<double>(n, 0.0));
    std::vector<double> r(n);
    for (int f = 1; f <= NoSurfaces; ++f) {
      const int c1 = Fcell1[f], c2 = Fcell2[f];
      if (c1 <= 0 || c2 <= 0) continue;
      const double face = (Fdist2[f] * CinvAp[c1] + Fdist1[f] * CinvAp[c2]) /
                          (Fdist1[f] + Fdist2[f]);
      const double coef = 1000 * Farea[f] * Farea[f] * face;
      a[c1 - 1][c1 - 1] += coef;
      a[c2 - 1][c2 - 1] += coef;
      a[c1 - 1][c2 - 1] -= coef;
      a[c2 - 1][c1 - 1] -= coef;
    }
    for (int c = 1; c <= n; ++c) r[c - 1] = -netOutflow(c);
    // Pin p' of the last cell to 0: drop its equation and its unknown.
    std::vector<std::vector<double>> a1(n - 1, std::vector<double>(n - 1));
    std::vector<double> r1(n - 1);
    for (int i = 0; i < n - 1; ++i) {
      r1[i] = r[i];
      for (int j = 0; j < n - 1; ++j) a1[i][j] = a[i][j];
    }
    const std::vector<double> p = solveDense(a1, r1);
    for (int c = 1; c < n; ++c) Cf[c] = p[c - 1];
    Cf[n] = 0;

    EXPECT_EQ(run(), 1000);
    for (int c = 1; c <= n; ++c) EXPECT_NEAR(netOutflow(c), 0.0, 1e-9) << "cell " << c;
    EXPECT_EQ(Fflux[Cflatew[first]], inflowFace);
    EXPECT_EQ(Fflux[Cflatee[last]], outflowFace);
  }
}

// Row of three columns, two cells high: cells 1 2 | 3 4 | 5 6 (bottom, top), columns 1, 2, 1
// m long, 1 m wide, cells 0.5 m high. p' 10, 4 | 30, 20 | 70, 50 Pa.
void row3x2(double invAp) {
  correctionGrid({1, 2, 1}, {1}, {0.5, 0.5});
  const double p[7] = {0, 10, 4, 30, 20, 70, 50};
  for (int c = 1; c <= 6; ++c) {
    Cf[c] = p[c];
    CinvAp[c] = invAp;
    Cxvel[c] = 1;
    Cyvel[c] = 2;
    Czvel[c] = 3;
    Cpres[c] = 1000;
  }
}

struct VelocityCase {
  double relaxCorr;
  int cell;
  double u, v, w;  // expected after the correction
};

TEST_F(SimpleCorrections, DefaultVelocityCorrectionOnARow) {
  // 1/Ap 0.002 s/kg. Cell 3 (2 x 1 x 0.5, volume 1): di = (70 - 10)/2 = 30, no j neighbours,
  // dk one-sided upward 20 - 30 = -10; aX = 0.002 x 0.5^2, aZ = 0.002 x 2^2:
  // du = 1/1 x 2 x 0.0005 x 30 = 0.03, dw = 0.5 x 0.008 x (-10) = -0.04.
  // Cell 1 (volume 0.5): di one-sided 30 - 10 = 20, dk 4 - 10 = -6; aZ = 0.002:
  // du = 2 x 1 x 0.0005 x 20 = 0.02, dw = 2 x 0.5 x 0.002 x (-6) = -0.012.
  // Cell 6: di one-sided 50 - 20 = 30, dk downward 50 - 70 = -20:
  // du = 2 x 0.0005 x 30 = 0.03, dw = 2 x 0.5 x 0.002 x (-20) = -0.04.
  // F 388 0.5 halves each correction.
  const std::vector<VelocityCase> cases = {
      {1.0, 3, 1 - 0.03, 2, 3 + 0.04},   {1.0, 1, 1 - 0.02, 2, 3 + 0.012},
      {1.0, 6, 1 - 0.03, 2, 3 + 0.04},   {0.5, 3, 1 - 0.015, 2, 3 + 0.02},
      {0.5, 1, 1 - 0.01, 2, 3 + 0.006},
  };
  for (const VelocityCase& k : cases) {
    SCOPED_TRACE(testing::Message() << "F 388 " << k.relaxCorr << ", cell " << k.cell);
    restart();
    row3x2(0.002);
    relaxSimpleCorr = k.relaxCorr;
    EXPECT_EQ(run(), 1000);
    EXPECT_NEAR(Cxvel[k.cell], k.u, 1e-12);
    EXPECT_NEAR(Cyvel[k.cell], k.v, 1e-12);
    EXPECT_NEAR(Czvel[k.cell], k.w, 1e-12);
  }
}

TEST_F(SimpleCorrections, VelocityCorrectionUsesEveryMetricTerm) {
  // Centre cell 5 of 3 x 3 x 1 with hand metrics of a skewed cell: di = (9 - 1)/2 = 4,
  // dj = (-1 - 3)/2 = -2, dk = 0; aX = 0.01 x 2^2 = 0.04, aY = 0.01 x 3^2 = 0.09, f = 1/4.
  // du = (1 x 0.04 x 4 + 0.2 x 0.09 x (-2))/4 = 0.031
  // dv = (-0.1 x 0.04 x 4 + 1 x 0.09 x (-2))/4 = -0.049
  // dw = (0.05 x 0.04 x 4 + 0.02 x 0.09 x (-2))/4 = 0.0011
  correctionGrid({1, 1, 1}, {1, 1, 1}, {1});
  Cf[2] = 1;   // west
  Cf[8] = 9;   // east
  Cf[4] = 3;   // south
  Cf[6] = -1;  // north
  Cf[5] = 100;
  Cdxdi[5] = 1, Cdxdj[5] = 0.2, Cdydi[5] = -0.1, Cdydj[5] = 1;
  Cdzdi[5] = 0.05, Cdzdj[5] = 0.02, Cdzdk[5] = 1;
  Careax[5] = 2, Careay[5] = 3, Careaz[5] = 1, CinvAp[5] = 0.01, Cvol[5] = 4;
  EXPECT_EQ(run(), 1000);
  EXPECT_NEAR(Cxvel[5], -0.031, 1e-12);
  EXPECT_NEAR(Cyvel[5], 0.049, 1e-12);
  EXPECT_NEAR(Czvel[5], -0.0011, 1e-12);
}

TEST_F(SimpleCorrections, EqualCorrectionLeavesFluxesAndVelocitiesAlone) {
  row3x2(0.002);
  for (int c = 1; c <= 6; ++c) Cf[c] = 25;
  for (int f = 1; f <= NoSurfaces; ++f) Fflux[f] = 0.1 * f;
  EXPECT_EQ(run(), 1000);
  for (int f = 1; f <= NoSurfaces; ++f) EXPECT_DOUBLE_EQ(Fflux[f], 0.1 * f);
  for (int c = 1; c <= 6; ++c) {
    EXPECT_DOUBLE_EQ(Cxvel[c], 1);
    EXPECT_DOUBLE_EQ(Cyvel[c], 2);
    EXPECT_DOUBLE_EQ(Czvel[c], 3);
    EXPECT_DOUBLE_EQ(Cpres[c], 1000 + 0.2 * 25);
  }
}

TEST_F(SimpleCorrections, FluxCorrectionHandValue) {
  // Face 1|3: Fdist1 0.5, Fdist2 1, 1/Ap 0.002 and 0.004: face value
  // (1 x 0.002 + 0.5 x 0.004)/1.5 = 0.004/1.5; area 0.5: a = 1000 x 0.25 x 0.004/1.5 = 2/3;
  // p'1 - p'3 = -20: the flux falls by 40/3. Face 1|2 (vertical): Fdist 0.25 both, face value
  // 0.002, area 1: a = 2; p'1 - p'2 = 6: +12.
  row3x2(0.002);
  CinvAp[3] = 0.004;
  const int f13 = Cflatee[1], f12 = Cflatet[1];
  Fflux[f13] = 5;
  Fflux[f12] = -1;
  EXPECT_EQ(run(), 1000);
  EXPECT_NEAR(Fflux[f13], 5 - 40.0 / 3, 1e-12);
  EXPECT_NEAR(Fflux[f12], -1 + 12, 1e-12);
}

// Which surfaces a variant corrects, on the 3 x 1 x 2 row (layered columns) or on a flat row
// of four one-cell columns 0.1 m high.
enum class Face { BottomLateral, TopLateral, Vertical };
Face kind(int f) {
  if (Ftype1[f] == 6) return Face::Vertical;
  return Ccellt[Fcell1[f]] > 0 ? Face::BottomLateral : Face::TopLateral;
}

// The velocity forms that go with the flux variants 1, 2, 3, 6 and 30 are not in this
// version: those runs end (status 1) at the velocity step, after the flux correction checked
// here.
struct RuleCase {
  const char* what;
  std::function<void()> set;
  bool flat;                                // the flat row of one-cell columns
  std::function<double(int f)> share;       // share of the full correction on surface f
  int status = 1000;
};

TEST_F(SimpleCorrections, SurfacesCorrectedByEachVariant) {
  auto all = [](int) { return 1.0; };
  auto none = [](int) { return 0.0; };
  const std::vector<RuleCase> cases = {
      {"F 157 0", [] {}, false, all},
      {"F 157 12 (no flux variant)", [] { FlagSimpleCorrections = 12; }, false, none},
      {"F 157 -1", [] { FlagSimpleCorrections = -1; }, false, none},
      {"F 36 11 with F 157 0", [] { FlagTFS = 11; }, false, all},
      {"F 36 11 with F 157 30: faces next to a cell with a cell above",
       [] { FlagTFS = 11; FlagSimpleCorrections = 30; }, false,
       [](int f) { return kind(f) == Face::TopLateral ? 0.0 : 1.0; }, 1},
      {"F 36 11 with F 157 1 (the top-cell rule comes first)",
       [] { FlagTFS = 11; FlagSimpleCorrections = 1; }, false,
       [](int f) { return kind(f) == Face::TopLateral ? 0.0 : 1.0; }, 1},
      {"F 157 30 without F 36 11: no flux variant", [] { FlagSimpleCorrections = 30; }, false,
       none},
      {"F 69 third integer 1: no vertical surfaces",
       [] { Seiche3 = 1; FlagSimpleCorrections = 51; MinVertDist0 = 1e-3; }, false,
       [](int f) { return kind(f) == Face::Vertical ? 0.0 : 1.0; }},
      // Each column's half heights sum to 0.5, so S = 1 on every face; r = 1/2: a quarter.
      {"F 157 6 with MinVertDist 2", [] { FlagSimpleCorrections = 6; MinVertDist = 2; }, false,
       [](int) { return 0.25; }, 1},
      {"F 157 6 with MinVertDist 0.5", [] { FlagSimpleCorrections = 6; MinVertDist = 0.5; },
       false, all, 1},
      // Flat row: every cell is a one-cell column, half height 0.05, open north and south.
      {"F 157 1, thin cells", [] { FlagSimpleCorrections = 1; MinVertDist = 0.2; }, true, none,
       1},
      {"F 157 1, cells not thin", [] { FlagSimpleCorrections = 1; MinVertDist = 0.05; }, true,
       all, 1},
      {"F 157 2, cells not thin: both bottom cells need two lateral neighbours",
       [] { FlagSimpleCorrections = 2; MinVertDist = 0.05; }, true,
       [](int f) { return Fcell1[f] == 2 && Fcell2[f] == 3 ? 1.0 : 0.0; }, 1},
      {"F 157 3", [] { FlagSimpleCorrections = 3; MinVertDist = 0.2; }, true, all, 1},
  };
  for (const RuleCase& k : cases) {
    SCOPED_TRACE(k.what);
    restart();
    if (k.flat) {
      correctionGrid({1, 1, 1, 1}, {1}, {0.1});
      for (int c = 1; c <= 4; ++c) {
        Cf[c] = 10.0 * c * c;
        CinvAp[c] = 0.001;
      }
    } else {
      row3x2(0.001);
    }
    k.set();
    for (int f = 1; f <= NoSurfaces; ++f) Fflux[f] = 3;
    EXPECT_EQ(run(), k.status);
    for (int f = 1; f <= NoSurfaces; ++f) {
      const int c1 = Fcell1[f], c2 = Fcell2[f];
      if (c1 <= 0 || c2 <= 0) {
        EXPECT_EQ(Fflux[f], 3.0) << "outer surface " << f;
        continue;
      }
      // Uniform 1/Ap: a = 1000 A^2 x 0.001.
      const double full = 1000 * Farea[f] * Farea[f] * 0.001 * (Cf[c1] - Cf[c2]);
      EXPECT_NEAR(Fflux[f], 3 + k.share(f) * full, 1e-12) << "surface " << f;
    }
  }
}

struct SimpleCase {
  int flagSimple;
  bool pressureUpdated;
};

TEST_F(SimpleCorrections, PressureUpdateOfTheSimpleVariants) {
  // F 171 0 and 1 add relaxPressure p'; 2 to 5 take the pressure from elsewhere but still
  // correct fluxes and velocities. The correction reads CinvAp whatever the variant: with
  // SIMPLEC the drivers have put the SIMPLEC factor there.
  const std::vector<SimpleCase> cases = {{0, true}, {1, true}, {2, false}, {3, false},
                                         {4, false}, {5, false}, {-1, true}};
  for (const SimpleCase& k : cases) {
    SCOPED_TRACE(testing::Message() << "F 171 " << k.flagSimple);
    restart();
    FlagSIMPLE = k.flagSimple;
    row3x2(0.002);
    if (CinvApP)
      for (int c = 1; c <= 6; ++c) CinvApP[c] = 1.0;  // never read here
    relaxPressure = 0.3;
    const int f13 = Cflatee[1];
    EXPECT_EQ(run(), 1000);
    for (int c = 1; c <= 6; ++c)
      EXPECT_NEAR(Cpres[c], k.pressureUpdated ? 1000 + 0.3 * Cf[c] : 1000, 1e-12);
    // a = 1000 x 0.25 x 0.002 = 0.5 on face 1|3, p' difference -20.
    EXPECT_NEAR(Fflux[f13], -10, 1e-12);
    EXPECT_NEAR(Cxvel[3], 1 - 0.03, 1e-12);
  }
}

struct CapCase {
  const char* what;
  double x1, x2, y1, y2;  // xval[1][2], xval[2][2], yval[2][1], yval[2][2]
  double minVertDist0;
  double f1, f3;  // expected factor of cells 1 (volume 0.5) and 3 (volume 1)
};

TEST_F(SimpleCorrections, VelocityCapOfForm51WhateverWayTheGridRuns) {
  // C51 = 3 / (|dx| |dy| MinVertDist0) of the first column; f = min(1/Cvol, C51). With dx and
  // dy of size 1 and MinVertDist0 2 the cap is 1.5: it binds in cell 1 (1/Cvol = 2), not in
  // cell 3 (1/Cvol = 1). A grid whose x falls along i (or y along j) gives the same cap; a
  // signed cap would reverse the correction there.
  const std::vector<CapCase> cases = {
      {"x rising", 0, 1, 0, 1, 2.0, 1.5, 1.0},
      {"x falling along i", 5, 4, 0, 1, 2.0, 1.5, 1.0},
      {"y falling along j", 0, 1, 3, 2, 2.0, 1.5, 1.0},
      {"both falling", 5, 4, 3, 2, 2.0, 1.5, 1.0},
      {"cap above 1/Cvol", 5, 4, 0, 1, 0.5, 2.0, 1.0},
      {"degenerate first column: no cap", 4, 4, 0, 1, 2.0, 2.0, 1.0},
  };
  for (const CapCase& k : cases) {
    SCOPED_TRACE(k.what);
    restart();
    row3x2(0.002);
    FlagSimpleCorrections = 51;
    MinVertDist0 = k.minVertDist0;
    xval[1][2] = k.x1;
    xval[2][2] = k.x2;
    yval[2][1] = k.y1;
    yval[2][2] = k.y2;
    EXPECT_EQ(run(), 1000);
    // Unscaled corrections (times Cvol) from the default case: cell 1 du 0.01, dw -0.006;
    // cell 3 du 0.03, dw -0.04.
    EXPECT_NEAR(Cxvel[1], 1 - k.f1 * 0.01, 1e-12);
    EXPECT_NEAR(Czvel[1], 3 + k.f1 * 0.006, 1e-12);
    EXPECT_NEAR(Cxvel[3], 1 - k.f3 * 0.03, 1e-12);
    EXPECT_NEAR(Czvel[3], 3 + k.f3 * 0.04, 1e-12);
  }
}

struct StressCase {
  int flag;
  double pressure;  // expected Cpres of every cell (Csource 50, Cpres 1000 before)
};

TEST_F(SimpleCorrections, StressTermReplacesTheStep) {
  const std::vector<StressCase> cases = {{100, 10}, {101, 1010}, {102, 1000}};
  for (const StressCase& k : cases) {
    SCOPED_TRACE(testing::Message() << "F 258 " << k.flag);
    restart();
    row3x2(0.002);
    FlagStressTerm = k.flag;
    for (int c = 1; c <= 6; ++c) Csource[c] = 50;
    for (int f = 1; f <= NoSurfaces; ++f) Fflux[f] = 2;
    EXPECT_EQ(run(), 1000);
    for (int c = 1; c <= 6; ++c) {
      EXPECT_DOUBLE_EQ(Cpres[c], k.pressure);
      EXPECT_EQ(Cxvel[c], 1.0);
      EXPECT_EQ(Czvel[c], 3.0);
    }
    for (int f = 1; f <= NoSurfaces; ++f) EXPECT_EQ(Fflux[f], 2.0);
  }
}

struct RepairCase {
  const char* what;
  double west, east;  // fluxes of the faces 1|2 and 2|3
  int inout, innerIter;
  double westAfter, eastAfter;
  std::string log;
};

TEST_F(SimpleCorrections, FlowDirectionRepair) {
  // Row of three one-cell columns; p' is 0, so only the repair changes fluxes. Cell 2 loses
  // water both ways (west face flux negative, east positive): its west face (the first side
  // with a neighbour; no south neighbour) turns into an inflow of a hundredth.
  const std::vector<RepairCase> cases = {
      {"both ways out", -1, 1, 0, 4, 0.01, 1,
       "WarningSC, Iter 7, [3,2], corrected direction of floww(2)\n"},
      {"not the last inner iteration: silent", -1, 1, 0, 2, 0.01, 1, ""},
      {"discharge-group cell", -1, 1, 3, 4, -1, 1, ""},
      {"inflow from the west", 1, 1, 0, 4, 1, 1, ""},
      {"inflow from both sides", 1, -1, 0, 4, 1, -1, ""},
      {"no flux on the west side: the east outflow turns", 0, 2, 0, 4, 0, -0.02,
       "WarningSC, Iter 7, [3,2], corrected direction of flowe(2)\n"},
      {"at rest: nothing to turn", 0, 0, 0, 4, 0, 0, ""},
  };
  for (const RepairCase& k : cases) {
    SCOPED_TRACE(k.what);
    restart();
    correctionGrid({1, 1, 1}, {1}, {1});
    std::remove("boogie");
    FlagFlowDirCor = 1;
    TransInnerIter = 4;
    Iter = 7;
    for (int c = 1; c <= 3; ++c) CinvAp[c] = 0.001;
    Cinout[1] = Cinout[3] = 1;  // the end cells take and give the water of a group
    Cinout[2] = k.inout;
    Fflux[Cflatew[2]] = k.west;
    Fflux[Cflatee[2]] = k.east;
    EXPECT_EQ(run(k.innerIter), 1000);
    EXPECT_DOUBLE_EQ(Fflux[Cflatew[2]], k.westAfter);
    EXPECT_DOUBLE_EQ(Fflux[Cflatee[2]], k.eastAfter);
    EXPECT_EQ(log(), k.log);
  }
}

TEST_F(SimpleCorrections, WaterLevelChangeFromColumnMeans) {
  // Column means of p': (10 + 4)/2 = 7, (30 + 20)/2 = 25, (70 + 50)/2 = 60. The relaxation is
  // relax[4] = 0.2 as read, not relaxPressure.
  // Column 1: D = 7 - 25 = -18, one neighbour: 0.0001019 x (-18) x 0.2.
  // Column 2: D = (25 - 7) + (25 - 60) = -17, two: 0.0001019 x (-8.5) x 0.2.
  // Column 3: D = 60 - 25 = 35: 0.0001019 x 35 x 0.2.
  FlagTFS2 = 1;
  row3x2(0.002);
  relaxPressure = 0.7;
  for (int b = 1; b <= 3; ++b) Bdeltah[b] = 0.001;
  EXPECT_EQ(run(), 1000);
  EXPECT_NEAR(Bdeltah[1], 0.001 + 0.0001019 * -18 * 0.2, 1e-15);
  EXPECT_NEAR(Bdeltah[2], 0.001 + 0.0001019 * -8.5 * 0.2, 1e-15);
  EXPECT_NEAR(Bdeltah[3], 0.001 + 0.0001019 * 35 * 0.2, 1e-15);

  // A column without lateral neighbours gets 0.
  restart();
  FlagTFS2 = 2;
  correctionGrid({1}, {1}, {0.5, 0.5});
  Cf[1] = 100;
  CinvAp[1] = CinvAp[2] = 0.001;
  Bdeltah[1] = 0.5;
  EXPECT_EQ(run(), 1000);
  EXPECT_EQ(Bdeltah[1], 0.0);
}

struct AfterUpdateCase {
  const char* what;
  std::function<void()> set;
  double bottom, top;  // Cpres of cells 3 and 4 after the step
};

TEST_F(SimpleCorrections, PressureRulesAfterTheUpdate) {
  // p' 0 everywhere; cells 3 (bottom) and 4 (top), each 0.5 m high, Ckdist 0.25.
  // Top-cell rule: 4 takes 3's pressure times 0.25 / (0.5 + 0.25) = 1/3.
  // Mud limits: no suction, and at most 9810 x 0.25 = 2452.5 in the top cell of the column.
  const std::vector<AfterUpdateCase> cases = {
      {"F 36 11", [] { FlagTFS = 11; Cpres[3] = 300; Cpres[4] = 77; }, 300, 100},
      {"mud limits", [] { FlagFilterPressure = 2; FlagThixoIsComputing = 1;
                          Cpres[3] = -40; Cpres[4] = 5000; }, 0, 2452.5},
      {"mud limits while the mud is not computed",
       [] { FlagFilterPressure = 2; Cpres[3] = -40; Cpres[4] = 5000; }, -40, 5000},
  };
  for (const AfterUpdateCase& k : cases) {
    SCOPED_TRACE(k.what);
    restart();
    row3x2(0.002);
    for (int c = 1; c <= 6; ++c) Cf[c] = 0;
    for (int b = 1; b <= 3; ++b) Bcellt[b] = 2 * b - 1;
    k.set();
    EXPECT_EQ(run(), 1000);
    EXPECT_DOUBLE_EQ(Cpres[3], k.bottom);
    EXPECT_DOUBLE_EQ(Cpres[4], k.top);
  }
}

TEST_F(SimpleCorrections, ClampOfTheCorrectionBeforeTheCorrections) {
  // 3 x 3 one-cell columns of 2 m x 2 m: d = 981 x sqrt(4) = 1962 Pa. Corner cell 1 (p' 10000,
  // neighbours 0 and 100) falls to 100 + 1962; corner cell 9 (-5000, neighbours 0) rises to
  // -1962; edge cell 2 (3 neighbours) sits inside its band; the centre (4 neighbours) keeps
  // its 1e6. The pressure update then adds 0.2 x the clamped values.
  FlagFilterPressure = 1;
  correctionGrid({2, 2, 2}, {2, 2, 2}, {1});
  for (int c = 1; c <= 9; ++c) {
    CinvAp[c] = 1e-6;
    Cpres[c] = 0;
  }
  Cf[1] = 10000;
  Cf[4] = 100;  // east of cell 1
  Cf[9] = -5000;
  Cf[5] = 1e6;
  EXPECT_EQ(run(), 1000);
  EXPECT_DOUBLE_EQ(Cf[1], 2062);
  EXPECT_DOUBLE_EQ(Cf[9], -1962);
  EXPECT_DOUBLE_EQ(Cf[5], 1e6);
  EXPECT_DOUBLE_EQ(Cpres[1], 0.2 * 2062);
  EXPECT_DOUBLE_EQ(Cpres[9], 0.2 * -1962);
  // Cell 2 (edge, neighbours 1, 3, 5): 0 lies within [0 - 1962, 1e6 + 1962].
  EXPECT_DOUBLE_EQ(Cf[2], 0);
}

TEST_F(SimpleCorrections, FormsOfThisVersionOnlyOtherwiseTheRunEnds) {
  const std::vector<std::pair<std::function<void()>, std::string>> cases = {
      {[] { FlagSimpleCorrections = 7; }, "the velocity correction of F 157 7"},
      {[] { FlagTFS = 11; FlagSimpleCorrections = 30; }, "the velocity correction of F 157 30"},
      {[] { Seiche3 = 1; }, "the velocity correction without its vertical part (F 69 third "
                            "integer 1)"},
      {[] { FlagDamp3 = 2; FlagSimpleCorrections = 4; }, "the damped velocity correction of F 291"},
  };
  for (const auto& [set, what] : cases) {
    SCOPED_TRACE(what);
    restart();
    row3x2(0.002);
    std::remove("boogie");
    set();
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(log(), "Not available in this version: " + what + "\n");
  }
  // F 157 12 and F 69 third integer 2 correct no velocity, the rest of the step goes on; F 291
  // alone leaves the default correction (damping is one of the variant forms).
  for (const auto& set : std::vector<std::function<void()>>{
           [] { FlagSimpleCorrections = 12; }, [] { Seiche3 = 2; }}) {
    restart();
    row3x2(0.002);
    set();
    EXPECT_EQ(run(), 1000);
    EXPECT_EQ(Cxvel[3], 1.0);
    EXPECT_EQ(Czvel[3], 3.0);
    EXPECT_DOUBLE_EQ(Cpres[3], 1000 + 0.2 * 30);
  }
  restart();
  row3x2(0.002);
  FlagDamp3 = 2;
  EXPECT_EQ(run(), 1000);
  EXPECT_NEAR(Cxvel[3], 1 - 0.03, 1e-12);
}

// A 4 x 3 x 2 box with every after-step switched on, filled the same way for both runs.
void threadedCase() {
  FlagTFS = 11;
  FlagFlowDirCor = 1;
  FlagFilterPressure = 1;
  FlagCorrTrekant5 = 1;
  TransInnerIter = 3;
  correctionGrid({1, 2, 1, 1.5}, {1, 1, 2}, {0.5, 1});
  for (int c = 1; c <= NoCells; ++c) {
    CinvAp[c] = 1e-4 * (2 + std::cos(c));
    Cf[c] = 3000 * std::sin(0.7 * c);
    Cpres[c] = 100 * c;
    Cxvel[c] = 0.1 * c;
    Cyvel[c] = -0.05 * c;
    Czvel[c] = 0.01;
  }
  for (int f = 1; f <= NoSurfaces; ++f)
    if (Fcell1[f] > 0 && Fcell2[f] > 0) Fflux[f] = 5 * std::cos(2.1 * f);
  // A cell that loses water on every side, so the repair has work whatever the correction.
  const int c = 9;
  for (int f : {Cflates[c], Cflatew[c], Cflateb[c]}) Fflux[f] = -1e6;
  for (int f : {Cflaten[c], Cflatee[c], Cflatet[c]}) Fflux[f] = 1e6;
}

struct Snapshot {
  std::vector<double> flux, u, v, w, p, pc;
  std::string log;
};

Snapshot snapshot() {
  Snapshot s;
  for (int f = 1; f <= NoSurfaces; ++f) s.flux.push_back(Fflux[f]);
  for (int c = 1; c <= NoCells; ++c) {
    s.u.push_back(Cxvel[c]);
    s.v.push_back(Cyvel[c]);
    s.w.push_back(Czvel[c]);
    s.p.push_back(Cpres[c]);
    s.pc.push_back(Cf[c]);
  }
  std::ifstream in("boogie");
  s.log.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return s;
}

TEST_F(SimpleCorrections, ThreadedChunksGiveTheSerialResult) {
  threadedCase();
  std::remove("boogie");
  qorva::SimpleCorrections(3, WFStart, WFEnd, WCStart, WCEnd);
  CorrSimpleCorrections();
  const Snapshot serial = snapshot();
  ASSERT_NE(serial.log, "");  // the repair did report

  for (int chunks : {1, 3, 5}) {
    SCOPED_TRACE(testing::Message() << chunks << " chunks");
    restart();
    threadedCase();
    std::remove("boogie");
    const int dc = (WCEnd - WCStart + 1) / chunks, df = (WFEnd - WFStart + 1) / chunks;
    SimpleCorrectionsBeforeChunks();
#pragma omp parallel for num_threads(3)
    for (int k = 0; k < chunks; ++k) {
      const int c1 = WCStart + k * dc, c2 = k == chunks - 1 ? WCEnd : c1 + dc - 1;
      const int f1 = WFStart + k * df, f2 = k == chunks - 1 ? WFEnd : f1 + df - 1;
      qorva::SimpleCorrections(3, f1, f2, c1, c2);
    }
    CorrSimpleCorrections();
    const Snapshot threaded = snapshot();
    EXPECT_EQ(threaded.flux, serial.flux);
    EXPECT_EQ(threaded.u, serial.u);
    EXPECT_EQ(threaded.v, serial.v);
    EXPECT_EQ(threaded.w, serial.w);
    EXPECT_EQ(threaded.p, serial.p);
    EXPECT_EQ(threaded.pc, serial.pc);
    EXPECT_EQ(threaded.log, serial.log);
  }
}

TEST_F(SimpleCorrections, MissingFormInAThreadedCallEndsTheRunAfterTheRegion) {
  row3x2(0.002);
  std::remove("boogie");
  FlagSimpleCorrections = 8;
  // Announced: the check comes before the region.
  EXPECT_THROW(SimpleCorrectionsBeforeChunks(), RunEnd);
  // A chunk that meets a missing form (here one set after the check) leaves the velocities,
  // and the run ends after the region.
  std::remove("boogie");
  FlagSimpleCorrections = 0;
  SimpleCorrectionsBeforeChunks();
  FlagSimpleCorrections = 8;
  bool parallel = false;
#pragma omp parallel num_threads(2)
  if (omp_in_parallel() != 0 && omp_get_num_threads() == 2) {
#pragma omp atomic write
    parallel = true;
    const int k = omp_get_thread_num(), half = NoSurfaces / 2;
    qorva::SimpleCorrections(1, k == 0 ? 1 : half + 1, k == 0 ? half : NoSurfaces, 1 + 3 * k,
                             3 + 3 * k);
  }
  if (!parallel) GTEST_SKIP() << "no second thread";
  for (int c = 1; c <= 6; ++c) EXPECT_EQ(Cxvel[c], 1.0);
  int status = 1000;
  try {
    CorrSimpleCorrections();
  } catch (const RunEnd& e) {
    status = e.status;
  }
  EXPECT_EQ(status, 1);
  EXPECT_EQ(log(), "Not available in this version: the velocity correction of F 157 8\n");
}

}  // namespace
}  // namespace qorva
