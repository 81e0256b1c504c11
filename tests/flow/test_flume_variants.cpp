// The straight flume of the flow tests under the wall-law variants, the bridge drag and the
// forcing terms, run through the whole program: results that momentum balance and the
// turbulent boundary layer predict, the per-surface wall laws against the per-cell ones, and
// the same flow for any thread count.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "state/cells.h"
#include "state/status.h"
#include "state/surfaces.h"
#include "support/flume.h"

namespace qorva::test {
namespace {

// Velocities, k and pressure of a converged run, cell by cell.
struct Fields {
  std::vector<double> u, v, w, k, p;
};

Fields fields() {
  Fields f;
  for (int c = 1; c <= NoCells; ++c) {
    f.u.push_back(Cxvel[c]);
    f.v.push_back(Cyvel[c]);
    f.w.push_back(Czvel[c]);
    f.k.push_back(Ckinen[c]);
    f.p.push_back(Cpres[c]);
  }
  return f;
}

// The largest difference of two fields over the largest magnitude of the first.
double relativeDifference(const std::vector<double>& a, const std::vector<double>& b) {
  double worst = 0, scale = 0;
  for (std::size_t n = 0; n < a.size(); ++n) {
    worst = std::max(worst, std::fabs(a[n] - b[n]));
    scale = std::max(scale, std::fabs(a[n]));
  }
  return scale > 0 ? worst / scale : worst;
}

// Volume-weighted mean pressure of each cross-section, by the x of its cell centres (mm).
std::map<long, double> sectionPressures() {
  std::map<long, double> pv, v;
  for (int c = 1; c <= NoCells; ++c) {
    const long x = std::lround(Cxcenter[c] * 1000);
    pv[x] += Cpres[c] * Cvol[c];
    v[x] += Cvol[c];
  }
  for (auto& [x, s] : pv) s /= v[x];
  return pv;
}

class FlumeVariants : public Flume {
 protected:
  Fields converged(const std::string& extra) {
    EXPECT_EQ(runFlume(extra), 1);
    EXPECT_TRUE(contains(log(), "Solution converged")) << log();
    EXPECT_EQ(NoCells, 270);
    return fields();
  }
};

// The per-surface laws of F 305 take the cell's roughness at every wall and Cmu 0.09; with the
// side walls as rough as the bed (F 16 sets both) they are the per-cell law but for the
// rounding of 0.09^0.75 to 0.1643 in the wall epsilon.
TEST_F(FlumeVariants, PerSurfaceLawsEqualThePerCellLaw) {
  const Fields a = converged("F 16 0.01\n");
  const Fields b = converged("F 16 0.01\nF 305 1\n");
  EXPECT_LE(relativeDifference(a.u, b.u), 1e-3);
  EXPECT_LE(relativeDifference(a.k, b.k), 1e-3);
  EXPECT_LE(relativeDifference(a.p, b.p), 1e-3);
  expectWaterConserved();
}

// A bridge across the whole flume and its whole depth (G 22), from x = 2 to 7 m, takes the force
// c 1000 sqrt(A) h u from each cell it covers: with c of 0.7 or more a linear drag, whose sum
// over a cross-section is c 1000 sqrt(A) Q / dy whatever the velocity profile, so that the
// pressure falls along the bridge by that force over the flow area B h per cross-section of
// length dx; with a smaller c the drag grows with the speed, and the fall is about
// c 1000 sqrt(A) U^2 / (dy dx). Here A = 1 m x 0.5 m, dx = 1 m, dy = 0.5 m, U = 0.0667 m/s.
// The gradient is taken inside the bridge, between the sections centred at 3.5 and 5.5 m, less
// that of the flume without it.
//
// A bridge one cell long falls short of this: its strong drag lowers the velocity of its own
// cell to a fraction of what passes through the cell's faces (the pressure-velocity coupling of
// cell-centred velocities), and the drag acts on that velocity.
TEST_F(FlumeVariants, BridgeDropsThePressureAsItsCoefficientSays) {
  auto gradient = [] {
    const std::map<long, double> p = sectionPressures();
    return (p.at(3500) - p.at(5500)) / 2;  // Pa/m
  };
  converged("");
  const double plain = gradient();
  const double U = kFlumeQ / (kFlumeWidth * kFlumeDepth);
  const double root = std::sqrt(0.5);
  struct Row {
    double coefficient;
    double gradient;  // Pa/m
    double tol;       // relative
  } rows[] = {
      {1.0, 1.0 * 1000 * root * kFlumeQ / 0.5 / (kFlumeWidth * kFlumeDepth), 0.03},
      // The speed varies over the section: the sum of h u |u| is a little above h U^2.
      {0.05, 0.05 * 1000 * root * U * U / 0.5, 0.05},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.coefficient);
    converged("G 22 4 8 2 4 -1 1 " + std::to_string(r.coefficient) + "\n");
    EXPECT_NEAR(gradient() - plain, r.gradient, r.tol * r.gradient);
    // Every face of every section still carries the inflow.
    std::map<long, double> flux;
    for (int c = 1; c <= NoCells; ++c)
      if (Ccelle[c] > 0) flux[std::lround(Cxcenter[c] * 1000)] += Fflux[Cflatee[c]];
    for (const auto& [x, q] : flux) EXPECT_NEAR(q, 1000 * kFlumeQ, 0.005 * 1000 * kFlumeQ) << x;
  }
}

// The new laws, the forcing terms and the porous bed run the same for every thread count: the
// threaded runs give the same bits, and the serial one, whose sweep takes the cells in another
// order, converges to the same flow within what the residual limit leaves.
TEST_F(FlumeVariants, ThreadCountDoesNotChangeTheVariants) {
  const char* sets[] = {
      "F 15 5\n",
      "F 15 8\nF 16 0.001\n",
      "F 15 19\nF 16 0.01\n",
      "F 16 0.01\nF 305 1\nF 15 8\n",
      "G 22 6 6 2 3 -1 0.1 0.5\nF 341 1\nF 51 0.0001\nF 52 2 1 0\nF 7 P\nF 95 0.5 0.2\n",
  };
  for (const char* s : sets) {
    SCOPED_TRACE(s);
    const Fields serial = converged(s);
    const Fields two = converged(std::string(s) + "F 206 2\n");
    EXPECT_LE(relativeDifference(serial.u, two.u), 1e-5);
    EXPECT_LE(relativeDifference(serial.k, two.k), 1e-5);
    const Fields eight = converged(std::string(s) + "F 206 8\n");
    EXPECT_EQ(eight.u, two.u);
    EXPECT_EQ(eight.k, two.k);
    EXPECT_EQ(eight.p, two.p);
  }
}

// The cross-section flux limits of F 360 1 leave a converged flow that carries the inflow
// through every cross-section.
TEST_F(FlumeVariants, FluxLimitsKeepTheDischargeInEverySection) {
  converged("F 360 1 1.1\n");
  expectWaterConserved();
}

}  // namespace
}  // namespace qorva::test
