// Sources of the water-quality components on a hand-made column of two cells (2 m x 3 m,
// 0.5 m each): decay, reaeration, loads of the first step, inflow, transfer, the heat balance
// with the air and the bed flux pairing, against hand values of their formulas.
#include <gtest/gtest.h>

#include <cmath>

#include "sediment/sediment.h"
#include "state/arrays.h"
#include "state/bedcells.h"
#include "state/cells.h"
#include "state/groups.h"
#include "state/options.h"
#include "state/options_f050_099.h"
#include "state/options_qm.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "state/timeseries.h"
#include "support/box_grid.h"
#include "support/scratch.h"

namespace qorva::test {
namespace {

// Cell 1 at the bed, cell 2 at the surface; each holds 3 m3 (3000 kg), the top area is 6 m2.
class QualitySources : public Scratch {
 protected:
  void SetUp() override {
    Scratch::SetUp();
    NoComponents = 3;
    makeBox({2.0}, {3.0}, {0.5, 0.5});
    Equation = 8;
  }
  static void clear() {
    for (int c = 0; c <= NoCells; ++c) Cap[c] = Csource[c] = 0;
  }
  static void term(int component, int code, std::initializer_list<int> refs,
                   std::initializer_list<double> coefs) {
    QualityTerm& t = QTerms[NoTerms++];
    t = QualityTerm{};
    t.component = component;
    t.code = code;
    int n = 0;
    for (int r : refs) t.ref[n++] = r;
    n = 0;
    for (double p : coefs) t.coef[n++] = p;
  }
};

// First-order terms of the volume (code 2 with its own component: decay at p1 per second,
// scaled by (1 - |p1|)^(N dt - 1)), of the surface (1002: loss k C At 1000) and of the bed
// (2002: p1 V C[m1]), each in the cells its family names.
TEST_F(QualitySources, DecayAndExchangeTermsByFamily) {
  Ccomp[0][1] = 2.0;
  Ccomp[0][2] = 4.0;
  Ccomp[1][1] = 5.0;
  Ccomp[1][2] = 7.0;
  TimeStep = 10;
  TransInnerIter = 1;
  struct Row {
    int code;
    int ref;
    double p1;
    double bottom, top;  // Csource of cells 1 and 2
  } rows[] = {
      {2, 0, -0.01, -0.01 * 3000 * 2.0 * std::pow(0.99, 9), -0.01 * 3000 * 4.0 * std::pow(0.99, 9)},
      {1002, 0, 0.5, 0.0, -0.5 * 4.0 * 6 * 1000},
      {2002, 1, 0.2, 0.2 * 3000 * 5.0, 0.0},
      {1012, 1, 0.3, 0.0, 0.3 * 6 * 1000 * 7.0},
      {2001, 0, 0.4, 0.4 * 3000, 0.0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.code);
    NoTerms = 0;
    term(0, r.code, {r.ref}, {r.p1});
    term(1, r.code, {r.ref}, {9.0});  // another component's term does not act
    clear();
    CompSource();
    EXPECT_NEAR(Csource[1], r.bottom, 1e-9 * std::fabs(r.bottom) + 1e-12);
    EXPECT_NEAR(Csource[2], r.top, 1e-9 * std::fabs(r.top) + 1e-12);
    EXPECT_EQ(Cap[1], 0.0);
    EXPECT_EQ(Cap[2], 0.0);
  }
}

// Reaeration toward the saturation value p1 with the exchange coefficient Cgamma p2 at the
// surface only: Cgamma p2 At 1000 (p1 - C).
TEST_F(QualitySources, ReaerationPullsTheSurfaceTowardSaturation) {
  Ccomp[0][1] = 3.0;
  Ccomp[0][2] = 6.0;
  Cgamma[2] = 0.02;
  term(0, 1102, {}, {9.0, 0.5});
  clear();
  CompSource();
  EXPECT_NEAR(Csource[2], 0.02 * 0.5 * 6 * 1000 * (9.0 - 6.0), 1e-9);
  EXPECT_EQ(Csource[1], 0.0);
}

// A surface load spread by top area and released within the first time step of a transient
// run: load / dt in all; not again at the second step, never in a steady run.
TEST_F(QualitySources, LoadIsReleasedOnceInTheFirstTransientStep) {
  SurfaceDischargeGroup& s = SurfDischargeStruct[0];
  s.id = 0;
  s.count = 1;
  s.load = 600.0;
  s.cells[0] = 2;
  struct Row {
    double dt, time;
    bool taskC;
    double expected;
  } rows[] = {
      {1e-20, 0.0, true, 0.0},     // steady: stimet stays 0, no first step
      {1e-20, 1e-20, true, 0.0},   // |stimet - dt| < 0.001 at every iteration of a steady run
      {60.0, 60.0, true, 10.0},    // first step: 600 / 60
      {60.0, 120.0, true, 0.0},    // second step
      {1e-4, 2e-4, true, 0.0},     // second step of a short step (within 0.001 s of the first)
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.time);
    TimeStep = r.dt;
    stimet = r.time;
    FlagTComp = 1;
    clear();
    CompSource();
    EXPECT_NEAR(Csource[2], r.expected, 1e-9);
    EXPECT_EQ(Csource[1], 0.0);
  }
}

// An inflow group pulls its cells toward the inflow value implicitly: Cap += q A, Csource +=
// value q A with q the group's flux per area; the M data set of another component adds its
// own value (constant without timei), a component without an M value nothing.
TEST_F(QualitySources, InflowEntersImplicitly) {
  DischargeGroup& g = DischargeStruct[1];
  g.inflowFlag = 1;
  g.componentNo = 0;
  g.inflowConc = 2.5;
  g.massDischarge = 300.0;
  g.area = 3.0;
  g.surfaceNo = 2;
  g.surfaceList[0] = Cflatew[1];  // 1.5 m2 each
  g.surfaceList[1] = Cflatew[2];
  CompInflowNo = 1;
  CompInflow[1].order[1] = 0;
  CompInflow[1].value[1] = 4.0;
  for (int k : {0, 1, 2}) {
    SCOPED_TRACE(k);
    Equation = 8 + k;
    clear();
    CompSource();
    const double v = k == 0 ? 2.5 : k == 1 ? 4.0 : 0.0;
    const double q = k == 2 ? 0.0 : 100.0 * 1.5;
    for (int c : {1, 2}) {
      EXPECT_NEAR(Cap[c], q, 1e-9);
      EXPECT_NEAR(Csource[c], v * q, 1e-9);
    }
  }
}

// Rising and settling with the velocity p1 (code 11): what leaves a cell enters the next;
// the top cell keeps what would rise out of the water, the bottom cell loses what settles.
TEST_F(QualitySources, TransferMovesMassUpOrDown) {
  Ccomp[0][1] = 2.0;
  Ccomp[0][2] = 3.0;
  for (double w : {1e-3, -1e-3}) {
    SCOPED_TRACE(w);
    NoTerms = 0;
    term(0, 11, {}, {w});
    clear();
    CompSource();
    const double F1 = 2.0 * w * 6 * 1000, F2 = 3.0 * w * 6 * 1000;
    if (w > 0) {
      EXPECT_NEAR(Csource[1], -F1, 1e-9);
      EXPECT_NEAR(Csource[2], F1, 1e-9);  // its own rise stays
    } else {
      EXPECT_NEAR(Csource[1], F1 - F2, 1e-9);  // loses to the bed, gains from above
      EXPECT_NEAR(Csource[2], F2, 1e-9);
    }
  }
}

// The heat balance at the water surface in J/(m2 day), turned into K kg/s by the specific heat
// 4186 J/(kg K) and 86400 s: short wave, long wave from the air, back radiation, conduction,
// and evaporation that takes heat when the saturation vapour pressure exceeds the air's.
TEST_F(QualitySources, HeatExchangeWithTheAir) {
  TemperatureFlag = 1;
  TimeInNo = 1;
  Irradi.allocate(2);
  AirTemp.allocate(2);
  Winn.allocate(2, 3);
  TimeInTime.allocate(2);
  Irradi[0] = 1.5e7;
  AirTemp[0] = 20.0;
  Winn[0][0] = 2.0e5;
  const double p[6] = {0.9, 0.6, 12.0, 0.03, 0.97, 0.47};
  term(0, 1060, {}, {p[0], p[1], p[2], p[3], p[4], p[5]});
  struct Row {
    double T;
  } rows[] = {{10.0}, {20.0}, {30.0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.T);
    Ccomp[0][1] = Ccomp[0][2] = r.T;
    clear();
    CompSource();
    const double Hin = 0.9 * 1.5e7 + (0.6 + 0.031 * std::sqrt(12.0)) * 0.0049 *
                                         std::pow(293.0, 4) * 0.97;
    const double back = 0.0049 * 0.97 * std::pow(r.T + 273, 4);
    const double cond = 2.0e5 * 0.47 * (r.T - 20.0);
    const double es = 4.596 * std::exp(17.27 * r.T / (r.T + 237.3));
    const double evap = 2.0e5 * (es - 12.0);
    const double net = Hin - back - cond - evap;
    EXPECT_NEAR(Csource[2], net * 6 / (86400.0 * 4186.0), 1e-9);
    EXPECT_EQ(Csource[1], 0.0);
  }
  // Warm water over dry air loses heat by evaporation: more than without it.
  Ccomp[0][1] = Ccomp[0][2] = 30.0;
  clear();
  CompSource();
  const double withEvaporation = Csource[2];
  Winn[0][0] = 0.0;
  clear();
  CompSource();
  EXPECT_LT(withEvaporation, Csource[2]);
}

// Without timei the heat exchange has no weather: the run stops instead of using zeros.
TEST_F(QualitySources, HeatExchangeNeedsTheWeather) {
  TemperatureFlag = 1;
  term(0, 1060, {}, {0.9, 0.6, 12.0, 0.03, 0.97, 0.47});
  clear();
  EXPECT_EQ(endStatus([] { CompSource(); }), 1);
  EXPECT_NE(log().find("Q 1060 needs the irradiance"), std::string::npos);
}

// The bed flux iteration pairs each bed cell with the bottom cell of its column: the loss
// goes to that cell, and a bed row beyond F 79 stops the run.
TEST_F(QualitySources, BedFluxIterationUsesTheColumnsBottomCell) {
  FlagBedCalc = 3;
  NoBCells = 1;
  Bcellt.allocate(3);
  BQvar.allocate(3, 3);
  Bcellt[1] = 1;
  BQvar[2][1] = 0.5;
  Ccomp[0][1] = 2.0;
  Ccomp[1][1] = 1.0;
  // p1 = 0 and p8 = 0: x = A = C[m1] p7 / p4 = 1, D = p9 D0 f x, D1 = O / D with O = p5 C.
  term(0, 2149, {1, 0, 1, 2}, {0.0, 1.0, 1.0, 1.0, 1.0, 0, 1.0, 0.0, 1.0});
  clear();
  CompSource();
  double D0 = 0.5, D = 0, D1 = 0;
  for (int it = 0; it < 100; ++it) {
    const double f = 0.5 / (0.5 / D0 + 0.5 + D0);
    D = D0 * f;
    D1 = 2.0 / D;
    if ((D1 - D0) / (D0 + D1) < 0.01) break;
    D0 = D1;
  }
  EXPECT_NEAR(BQvar[2][1], D1, 1e-12);
  EXPECT_NEAR(BQvar[0][1], 1.0, 1e-12);
  EXPECT_NEAR(Csource[1], -D * 6 * 1000, 1e-9);
  EXPECT_EQ(Csource[2], 0.0);  // the bed cell's number (1) is not taken as a cell
  NoTerms = 0;
  term(0, 2149, {1, 0, 1, 5}, {0.0, 1.0, 1.0, 1.0, 1.0, 0, 1.0, 0.0, 1.0});
  EXPECT_EQ(endStatus([] { CompSource(); }), 1);
  EXPECT_NE(log().find("names the bed row 5"), std::string::npos);
}

}  // namespace
}  // namespace qorva::test
