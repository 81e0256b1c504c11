// The sediment computation end to end on flat flumes, against what is known without the code:
// the deposition of a fed sand decays as exp(-ws x / (h U)) when the water column is well
// mixed; the inflow counted in the report is Q c s dt per step; the balance of every size
// closes; clear water over an erodible sand takes van Rijn's reference concentration at the bed
// and the Rouse profile over the depth; and the result does not depend on the thread count.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "sediment/sediment_flume.h"
#include "support/flume.h"
#include "state/options.h"
#include "state/status.h"

namespace qorva::test {
namespace {

// 60 m x 1 m, 0.3 m deep, 0.09 m3/s (U = 0.3 m/s) over a coarse sand (2 mm) too heavy for this
// flow to pick up, fed at the inlet with c = 0.001 and falling at ws = 5 mm/s: the decay length
// h U / ws is 18 m. A Schmidt number of 0.2 keeps the water column mixed (the bottom cell
// carries the column's mean, which the formula assumes); four cells over the depth.
constexpr double kQ = 0.09, kDepth = 0.3, kWs = 0.005, kCin = 0.001;

std::string depositionControl(const std::string& extra = "") {
  return "T Deposition flume\nG 1 63 5 6 1\nF 314 1 1\nF 237 1 0.09\nF 237 2 0.09\nF 16 0.01\n"
         "F 33 1000 20\nF 489 3000\nF 54 0\nF 454 1000\nF 37 1\nF 255 2\nF 12 0.2\n"
         "F 4 0.5 1000 0.01\nK 1 2 50000\nS 1 0.002 0.005\nN 0 1 1.0\nM 1 1 0.001\nF 1 J\n" +
         extra + "F 2 YS\n";
}

// What the two tests of the deposition flume read of its run, which the first of them to run
// makes (the suite runs in one process): the status, the log, and the x and mean concentration
// of each column of the middle line.
struct DepositionRun {
  int status = 0;
  std::string log;
  std::vector<std::pair<double, double>> columns;
};

class DepositionFlume : public SedimentFlume {
 protected:
  const DepositionRun& deposition() {
    static const DepositionRun r = [this] {
      DepositionRun d;
      d.status = run({}, depositionControl());
      d.log = log();
      for (const Column& col : columns()) d.columns.emplace_back(col.x, columnMean(col));
      return d;
    }();
    return r;
  }
};

TEST_F(DepositionFlume, DepositionDecaysOverThreeDecayLengths) {
  const DepositionRun& r = deposition();
  ASSERT_EQ(r.status, 1) << r.log;
  const double L = (kQ / 1.0) / kWs;  // h U / ws, m
  ASSERT_EQ(r.columns.size(), 60u);
  double worst = 0;
  int checked = 0;
  for (const auto& [x, got] : r.columns) {
    if (x > 3 * L) break;
    const double expected = kCin * std::exp(-x / L);
    EXPECT_NEAR(got, expected, 0.1 * expected) << "x = " << x;
    worst = std::max(worst, std::fabs(got / expected - 1));
    ++checked;
  }
  EXPECT_EQ(checked, 54);
  std::printf("[ figures  ] deposition: largest difference from exp(-ws x/(h U)) over 3 L: %.1f %%\n",
              100 * worst);
}

TEST_F(DepositionFlume, ReportCountsTheInflowAndClosesTheBalance) {
  const DepositionRun& r = deposition();
  ASSERT_EQ(r.status, 1) << r.log;
  const std::vector<double> t = tableLine(r.log);
  ASSERT_EQ(t.size(), 10u) << r.log;
  // Q c s dt per step, for two steps of 1000 s: 1000 kg/m3 x 0.09 m3/s x 0.001 x 2.65 x 2000 s.
  const double inflow = 1000 * kQ * kCin * 2.65 * 2000;
  EXPECT_NEAR(t[0], inflow, 1e-3 * inflow);
  // Defect and Defect2: what came in and did not leave, stay in suspension or settle.
  EXPECT_LT(std::fabs(t[5]), 1e-6 * inflow);
  EXPECT_LT(std::fabs(t[6]), 1e-6 * inflow);
  // Most of it settled: the outflow carries exp(-60/18) of the inflow.
  EXPECT_NEAR(t[1] / inflow, std::exp(-60 / 18.0), 0.1 * std::exp(-60 / 18.0));
  std::printf("[ figures  ] deposition: inflow %.6g kg (expected %.6g), defect %.2e and %.2e of it\n",
              t[0], inflow, std::fabs(t[5]) / inflow, std::fabs(t[6]) / inflow);
}

// The density of F 11 makes the masses: sand of relative density 2.0 counts 2000 kg per m3.
TEST_F(SedimentFlume, ReportUsesTheDensityOfTheSediment) {
  ASSERT_EQ(run({}, depositionControl("F 11 2.0 -0.047\n")), 1) << log();
  const std::vector<double> t = lastTableLine();
  ASSERT_EQ(t.size(), 10u) << log();
  const double inflow = 1000 * kQ * kCin * 2.0 * 2000;
  EXPECT_NEAR(t[0], inflow, 1e-3 * inflow);
}

// Shields' curve as the published fit, and van Rijn's reference concentration at height a.
double shields(double R) {
  if (R > 500) return 0.0624927;
  if (R < 0.2) return 0.6;
  const double x = std::log10(R);
  return std::pow(10.0, -0.99863612 - 0.92539586 * x + 0.54283631 * x * x - 0.084544063 * x * x * x);
}

double vanRijn(double tau, double d, double a) {
  const double s = 2.65;
  const double tc = (s - 1) * 9810 * d * shields(std::sqrt(tau * 0.001) * d / 1e-6);
  if (tau <= tc) return 0.0;
  const double T = (tau - tc) / tc;
  const double Dstar = d * std::pow((s - 1) * 9.81 / 1e-12, 1.0 / 3.0);
  return 0.015 * d * std::pow(T, 1.5) / (std::pow(Dstar, 0.3) * a);
}

// 40 m x 1 m, 0.3 m deep, 0.18 m3/s (U = 0.6 m/s), clear water over a fine sand of 0.2 mm
// falling at 2 cm/s, with an active layer of 1 m so that the bed can supply what the flow
// takes; nine cells over the depth.
std::string equilibriumControl(const std::string& extra = "") {
  return "T Equilibrium flume\nG 1 43 5 11 1\nF 314 1 1\nF 237 1 0.18\nF 237 2 0.18\nF 16 0.01\n"
         "F 33 100 20\nF 489 3000\nF 54 0\nF 454 1000\nF 37 1\nF 255 2\nF 106 1.0\n"
         "F 4 0.5 500 0.01\nK 1 10 50000\nS 1 0.0002 0.02\nN 0 1 1.0\nF 1 J\n" +
         extra + "F 2 YS\n";
}

// At equilibrium the settling and the turbulent diffusion balance over the depth:
// ws c + eps dc/dz = 0, so c / c_a = exp(-integral from a to z of ws / eps). With the parabolic
// eddy viscosity eps = 0.4 u* z (1 - z / h) this is Rouse's c / c_a = ((h - z) / z a / (h - a))^Z,
// Z = ws / (0.4 u*). The flow's k-epsilon model gives its own eps (the vertical eddy viscosity
// over the Schmidt number), which the balance takes between the cell centres; Rouse's profile
// is printed as a figure beside it. It lies up to 0.5 c_a off here: every column of this flume
// touches a rough side wall, and the wall law fixes epsilon of each of its cells from the
// distance to that wall (0.25 m, nearly the depth), which makes the eddy viscosity 2 to 5
// times the parabolic one at every height above the bed cell. The next test takes the water
// column of a wide channel.
TEST_F(SedimentFlume, ClearWaterTakesTheEquilibriumAndTheBalanceOfSettlingAndDiffusion) {
  ASSERT_EQ(run({40, 2, 40, 1, 0.3}, equilibriumControl()), 1) << log();
  const double ws = 0.02, h = 0.3;
  int checked = 0;
  double worstBed = 0, worstBalance = 0, worstRouse = 0;
  for (const Column& col : columns()) {
    if (col.x < 30 || col.x > 38) continue;
    const int c0 = col.cells.front();
    const double tau = 300 * Ckinen[c0];
    const double a = Ckdist[c0];
    const double ca = Cconc[1][c0];
    // At the bed: van Rijn's reference concentration at the bottom cell's centre.
    const double ref = vanRijn(tau, 0.0002, a);
    ASSERT_GT(ref, 0);
    EXPECT_NEAR(ca, ref, 0.01 * ref) << "x = " << col.x;
    worstBed = std::max(worstBed, std::fabs(ca / ref - 1));
    const double Z = ws / (0.4 * std::sqrt(0.001 * tau));
    const double zb = Czcenter[c0] - Ckdist[c0];
    double balance = 1;
    for (std::size_t k = 0; k < col.cells.size(); ++k) {
      const int c = col.cells[k];
      if (k > 0) {
        const int below = col.cells[k - 1];
        const double eps = 0.5 * (CgammaV[c] + CgammaV[below]) / 1000.0;  // Schmidt number 1
        balance *= std::exp(-ws * (Czcenter[c] - Czcenter[below]) / eps);
      }
      const double got = Cconc[1][c] / ca;
      EXPECT_NEAR(got, balance, 0.1 * balance) << "x = " << col.x << ", cell " << c;
      worstBalance = std::max(worstBalance, std::fabs(got / balance - 1));
      const double z = Czcenter[c] - zb;
      worstRouse = std::max(worstRouse, std::fabs(got - std::pow((h - z) / z * a / (h - a), Z)));
    }
    ++checked;
  }
  EXPECT_EQ(checked, 8);
  std::printf("[ figures  ] equilibrium: bed concentration within %.2f %% of van Rijn's; profile "
              "within %.2f %% of the balance with the flow's eddy viscosity, and %.2f c_a from "
              "Rouse's with a parabolic one\n",
              100 * worstBed, 100 * worstBalance, worstRouse);
}

// Rouse's profile over the water column of a wide channel: the flume above with side walls
// without friction (F 70 1). Two more settings make its flow the uniform flow Rouse assumes.
// The flow is computed in the first step only (F 454) as one implicit step from rest, so its
// time term rho u / dt acts as a drag that the pressure balances: at 100 s it is as large as
// the bed friction and changes the shear over the depth; at 1e4 s it is 1 % of it. u* comes
// from the momentum balance of the uniform flow, g h S, with S from the pressure.
//
// What remains is the k-epsilon model's own eddy viscosity: 0.82 to 0.88 of the parabolic one
// between z / h = 0.15 and 0.5 and 4.7 times it in the cell under the lid, where it does not
// vanish (a one-dimensional k-epsilon solution of uniform flow on nine layers, made apart from
// this program, gives the same ratios to 0.01). The concentration therefore falls faster than
// Rouse's in the lower half: measured within 0.016 c_a over the whole column, 2 % below
// Rouse's at z / h = 0.17, 16 % at 0.28 and 36 % at 0.5, where c is 0.02 c_a. (Rough side
// walls as above: 0.5 c_a.)
TEST_F(SedimentFlume, WideChannelSliceFollowsRouse) {
  ASSERT_EQ(run({40, 2, 40, 1, 0.3}, equilibriumControl("F 70 1\nF 33 10000 20\n")), 1) << log();
  const double ws = 0.02, h = 0.3;
  const ReachFigures reach = measureReach(12, 36, [](int) {});
  ASSERT_GE(reach.sections, 3);
  // Only the bed is a wall: the hydraulic radius is the depth.
  EXPECT_NEAR(reach.radius, h, 0.005);
  const double ustar = std::sqrt(9.81 * h * (-reach.dpdx / 9810.0));
  const double Z = ws / (0.4 * ustar);
  int checked = 0;
  double worst = 0, nearBed = 0;
  for (const Column& col : columns()) {
    if (col.x < 30 || col.x > 38) continue;
    const int c0 = col.cells.front();
    const double a = Ckdist[c0], ca = Cconc[1][c0], zb = Czcenter[c0] - Ckdist[c0];
    ASSERT_GT(ca, 0);
    for (std::size_t k = 1; k < col.cells.size(); ++k) {
      const int c = col.cells[k];
      const double z = Czcenter[c] - zb;
      const double got = Cconc[1][c] / ca, rouse = std::pow((h - z) / z * a / (h - a), Z);
      EXPECT_NEAR(got, rouse, 0.03) << "x = " << col.x << ", z / h = " << z / h;
      worst = std::max(worst, std::fabs(got - rouse));
      if (k == 1) {
        EXPECT_NEAR(got, rouse, 0.05 * rouse) << "x = " << col.x;
        nearBed = std::max(nearBed, std::fabs(got / rouse - 1));
      }
    }
    ++checked;
  }
  EXPECT_EQ(checked, 8);
  std::printf("[ figures  ] wide-channel slice: u* %.4f m/s, Z %.2f; profile within %.3f c_a of "
              "Rouse's, the cell above the bed cell within %.1f %%\n",
              ustar, Z, worst, 100 * nearBed);
}

// What an equilibrium feed brings to the inlet of the wide-channel slice. Fed back from its
// outflow (F 174 0 1), each inflow face takes the outflow's concentration at its height above
// the bed, so the water that enters the first column holds the equilibrium profile already:
// the cell above the bed cell there is within 5 % of Rouse's (u* from the momentum balance as
// above, c_a van Rijn's reference concentration at the bed cell of the developed flow, both by
// hand), every cell within 0.06 c_a (the flow's own eddy viscosity makes the profile fall
// faster than Rouse's in the lower half, as above). The same mean concentration spread evenly
// over the depth (an M data set) brings too little next to the bed and too much higher up: the
// cell above the bed cell of the first column lacks a tenth and more of Rouse's, and the
// column is off by more than 0.1 c_a.
TEST_F(SedimentFlume, AFeedFromTheOutflowEntersWithRousesProfile) {
  const std::string wide = "F 70 1\nF 33 10000 20\n";
  ASSERT_EQ(run({40, 2, 40, 1, 0.3}, equilibriumControl(wide + "F 174 0 1\n")), 1) << log();
  const double ws = 0.02, h = 0.3;
  const ReachFigures reach = measureReach(12, 36, [](int) {});
  const double ustar = std::sqrt(9.81 * h * (-reach.dpdx / 9810.0));
  const double Z = ws / (0.4 * ustar);
  const std::vector<Column> cols = columns();
  ASSERT_GE(cols.size(), 2u);
  const Column inlet = cols.front(), outlet = cols.back();
  const double a = Ckdist[inlet.cells.front()];
  const double ca = vanRijn(1000 * ustar * ustar, 0.0002, a);
  ASSERT_GT(ca, 0);
  // Rouse's concentration at the centre of cell k of a column, and how far the first column of
  // the present run lies from it (over c_a) at its worst above the bed cell.
  auto rouse = [&](const Column& col, std::size_t k) {
    const int c0 = col.cells.front(), c = col.cells[k];
    const double z = Czcenter[c] - (Czcenter[c0] - Ckdist[c0]);
    return ca * std::pow((h - z) / z * a / (h - a), Z);
  };
  auto worstOff = [&](const Column& col) {
    double worst = 0;
    for (std::size_t k = 1; k < col.cells.size(); ++k)
      worst = std::max(worst, std::fabs(Cconc[1][col.cells[k]] - rouse(col, k)) / ca);
    return worst;
  };
  const double profiled = worstOff(inlet);
  EXPECT_LT(profiled, 0.06);
  const double nearBed = Cconc[1][inlet.cells[1]] / rouse(inlet, 1);
  EXPECT_NEAR(nearBed, 1.0, 0.05);
  const double mean = columnMean(outlet);

  ASSERT_EQ(run({40, 2, 40, 1, 0.3}, equilibriumControl(wide + strf("M 1 1 %.6e\n", mean))), 1)
      << log();
  const Column even = columns().front();
  const double evenNearBed = Cconc[1][even.cells[1]] / rouse(even, 1);
  const double evenOff = worstOff(even);
  EXPECT_LT(evenNearBed, 0.9);
  EXPECT_GT(evenOff, 0.1);
  std::printf("[ figures  ] first column fed %.4e from the outflow: within %.3f c_a of Rouse's "
              "(c_a %.4e by hand), the cell above the bed cell %.1f %% of Rouse's; fed evenly: "
              "%.3f c_a off, the cell above the bed cell %.0f %% of Rouse's\n",
              mean, profiled, ca, 100 * nearBed, evenOff, 100 * evenNearBed);
}

// The equilibrium flume with three sand sizes, solved by the per-size equations.
std::string threeSizeControl(const std::string& extra) {
  return "T Three sizes\nG 1 43 5 11 3\nF 314 1 1\nF 237 1 0.18\nF 237 2 0.18\nF 16 0.01\n"
         "F 33 100 20\nF 489 3000\nF 54 0\nF 454 1000\nF 37 1\nF 255 2\nF 106 1.0\n"
         "F 4 0.5 500 0.01\nK 1 4 50000\nS 1 0.0004 0.05\nS 2 0.0003 0.035\nS 3 0.0002 0.02\n"
         "N 0 1 0.3\nN 0 2 0.3\nN 0 3 0.4\nF 1 J\n" +
         extra + "F 2 YS\n";
}

TEST_F(SedimentFlume, ConcentrationsDoNotDependOnTheThreads) {
  // One size with the column half-steps of F 164 31, whose sweeps give the same result for
  // any thread count; three sizes solved side by side, one size to a thread, under the
  // column flow solver of F 164 32, whose flow does not depend on the threads either: there
  // the serial run (F 206 0) and eight threads agree bit for bit, with the power-law and
  // with the second-order scheme.
  struct Case {
    const char* name;
    std::string (*control)(const std::string&);
    const char* solver;
    const char* serial;
    int sizes;
    bool exact;
  };
  const Case cases[] = {
      {"one size", [](const std::string& e) { return equilibriumControl(e); }, "F 164 31\n",
       "F 206 1\n", 1, false},
      {"three sizes", threeSizeControl, "F 164 32\n", "F 206 0\n", 3, true},
      {"three sizes, second order",
       [](const std::string& e) { return threeSizeControl("F 63 1\n" + e); }, "F 164 32\n",
       "F 206 0\n", 3, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    std::vector<double> first;
    for (const char* threads : {k.serial, "F 206 8\n"}) {
      SCOPED_TRACE(threads);
      ASSERT_EQ(run({40, 2, 40, 1, 0.3}, k.control(std::string(k.solver) + threads)), 1) << log();
      std::vector<double> c;
      for (int l = 1; l <= k.sizes; ++l) c.insert(c.end(), Cconc[l].p + 1, Cconc[l].p + NoCells + 1);
      if (first.empty()) {
        first = c;
        // Sand was picked up: every size has a concentration somewhere.
        for (int l = 0; l < k.sizes; ++l) {
          const auto size = first.begin() + static_cast<std::ptrdiff_t>(l) * NoCells;
          EXPECT_GT(*std::max_element(size, size + NoCells), 0) << "size " << l + 1;
        }
        continue;
      }
      ASSERT_EQ(first.size(), c.size());
      double worst = 0;
      for (std::size_t n = 0; n < c.size(); ++n) {
        if (k.exact) {
          ASSERT_EQ(c[n], first[n]) << "entry " << n + 1;
        } else {
          EXPECT_NEAR(c[n], first[n], 1e-9 * std::fabs(first[n]) + 1e-30) << "entry " << n + 1;
        }
        worst = std::max(worst, std::fabs(c[n] - first[n]) / (std::fabs(first[n]) + 1e-30));
      }
      std::printf("[ figures  ] %s, serial and 8 threads: largest relative difference %.2e\n",
                  k.name, worst);
    }
  }
}

}  // namespace
}  // namespace qorva::test
