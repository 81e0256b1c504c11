// A rough flume under a fixed lid, run with the default k-epsilon model and the rough-wall law,
// checked against two results of uniform channel flow known apart from this program: the
// Manning-Strickler law of the mean velocity, and the local-equilibrium k next to a rough wall.
//
// The flume: 20 m long, 3 m wide, 0.3 m deep, ks = 1 cm on the bed and on both side walls
// (F 16 sets both), 180 l/s, so U = Q / A = 0.18 / 0.9 = 0.2 m/s.
//
// Grid. Ten cross-sections of 2 m; nine layers of 3.3 cm; six columns across whose widths are
// 0.25, 0.5, 0.75, 0.75, 0.5, 0.25 m. The side-wall columns are kept narrow on purpose. The wall
// law fixes epsilon of every cell that touches a side wall from its distance y to that wall,
// eps = Cmu^0.75 k^1.5 / (0.4 y), which imposes a mixing length of 0.4 y on the whole column.
// In open-channel flow the mixing length is at most about 0.4 z (1 - z/h)^0.5 ~ 0.05 m here, so
// y should not exceed about 0.12 m (0.4 h). With four equal columns of 0.75 m (y = 0.375 m, more
// than the depth) the wall columns mix five times too strongly: their profile is flat, their
// bed shear 0.30 Pa against 0.20 Pa in the middle, and the pressure gradient 22 % above the
// Manning value (mean velocity from Manning 10.4 % high). Columns of 0.25 m at the walls bring
// the mid-length gradient to within 2 % of what twelve or sixteen equal columns give.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "state/cells.h"
#include "state/surfaces.h"
#include "support/flume.h"
#include "support/scratch.h"

namespace qorva {
namespace {

constexpr double kLength = 20.0;  // m
constexpr double kWidth = test::kWideFlumeWidth;  // m
constexpr double kDepth = test::kWideFlumeDepth;  // m
constexpr double kQ = 0.18;       // m3/s
constexpr double kKs = 0.01;      // m, bed and side walls
constexpr double kRhoG = 9810.0;  // N/m3
constexpr double kG = 9.81;       // m/s2
constexpr double kCmu = 0.09;

// What the checks need of one converged run, all over the middle reach (below).
struct Figures {
  double meanU = 0;   // volume-weighted mean of u, m/s
  double slope = 0;   // -(dp/dx) / (rho g)
  double radius = 0;  // hydraulic radius: wetted volume / wall area, m
  double kBed = 0;    // mean k of the bed cells that touch no side wall, m2/s2
  int bedCells = 0;
};

class RoughFlume : public test::Scratch {
 protected:
  // The run is made once per process: the two tests read the same figures.
  static const Figures& flume() {
    static Figures f;
    static bool done = false;
    if (!done) {
      f = run();
      done = true;
    }
    return f;
  }

 private:
  static Figures run() {
    write("koosurf", test::wideFlumeGeometry(kLength, 0.001));
    write("control", "T Rough flume\nG 1 14 10 11 1\nF 314 1 1\nF 237 1 0.18\nF 237 2 0.18\n"
                     "F 16 0.01\nF 2 YW\n");
    Figures out;
    const int status = programMain() & 255;
    EXPECT_EQ(status, 1);
    EXPECT_NE(log().find("Solution converged"), std::string::npos) << log();
    if (status != 1 || NoCells <= 0) return out;

    // The middle reach, 6 to 14 m: the inflow enters with a uniform profile and the outflow
    // end disturbs the last cross-sections, so neither end is uniform flow. The 1 mm/m fall of
    // bed and lid plays no part in the pressure gradient.
    double ksum = 0;
    const test::ReachFigures r =
        test::measureReach(0.3 * kLength, 0.7 * kLength, [&](int c) {
          using test::isWallFace;
          // A bed cell whose bed is its only wall: k there feels the bed law alone.
          const bool side = isWallFace(Cflates[c]) || isWallFace(Cflaten[c]) ||
                            isWallFace(Cflatee[c]) || isWallFace(Cflatew[c]);
          if (Ccellb[c] == 0 && isWallFace(Cflateb[c]) && !side) {
            ksum += Ckinen[c];
            ++out.bedCells;
          }
        });
    if (r.sections < 3) return out;
    out.slope = -r.dpdx / kRhoG;
    out.meanU = r.meanU;
    out.radius = r.radius;
    out.kBed = out.bedCells > 0 ? ksum / out.bedCells : 0.0;
    return out;
  }
};

// Manning-Strickler: U = M R^(2/3) S^(1/2) with the Strickler coefficient M = 26 / ks^(1/6)
// (ks in m; 56.0 m^(1/3)/s for 1 cm). R is the hydraulic radius A / P. The wall law puts
// friction on the bed and on both side walls (faces flagged as walls, with the same ks) and
// none on the lid, which stands for a free surface: P = B + 2h, R = 0.9 / 3.6 = 0.25 m. The
// mean velocity of the law is that of the whole cross-section, here Q / A = 0.2 m/s.
//
// For R / ks = 25 the law agrees with the depth-averaged rough-wall log law,
// U / u* = ln(11 R / ks) / 0.4, to 2 %; it is an empirical fit, good to about 5 % in U over
// the usual range of R / ks. The middle reach lies 20 to 47 depths from an inlet with a uniform
// profile, while a channel flow needs some 50 to 100 depths to develop: the pressure gradient
// there still carries the momentum spent on reshaping the profile and lies 10 to 15 % above its
// developed value, 5 to 7 % in the velocity of the law. Hence 10 %.
TEST_F(RoughFlume, MeanVelocityFollowsManningStrickler) {
  const Figures& f = flume();
  ASSERT_GT(f.slope, 0.0);
  // The wetted perimeter comes from the faces the run treats as walls: bed and side walls.
  EXPECT_NEAR(f.radius, kWidth * kDepth / (kWidth + 2 * kDepth), 0.005);
  EXPECT_NEAR(f.meanU, kQ / (kWidth * kDepth), 0.002);
  const double M = 26.0 / std::pow(kKs, 1.0 / 6.0);
  const double manning = M * std::pow(f.radius, 2.0 / 3.0) * std::sqrt(f.slope);
  EXPECT_NEAR(f.meanU, manning, 0.10 * manning) << "S " << f.slope << ", R " << f.radius;
}

// Next to a rough wall production and dissipation of k balance, and the shear stress
// tau = rho u*^2 = rho sqrt(Cmu) k gives k = u*^2 / sqrt(Cmu) = u*^2 / 0.3. So that the check is
// not circular with the wall law (whose bed shear is itself 0.3 k), u* comes from the momentum
// balance of uniform flow, u*^2 = g R S, with S from the pressure gradient.
//
// Tolerance 20 %: g R S is the mean shear of the wetted perimeter, while the cells away from
// the side walls carry somewhat more than the mean once the flow is developed (about 10 % in a
// flume ten depths wide); the bed cell's centre lies at z / h = 1/18, where the shear is
// already 6 % below its bed value; and the flow in the middle reach is still developing
// (pressure gradient 10 to 15 % above its developed value).
TEST_F(RoughFlume, BedCellKIsTheLocalEquilibriumValue) {
  const Figures& f = flume();
  ASSERT_GT(f.slope, 0.0);
  ASSERT_GT(f.bedCells, 0);
  const double ustar2 = kG * f.radius * f.slope;
  const double equilibrium = ustar2 / std::sqrt(kCmu);
  EXPECT_NEAR(f.kBed, equilibrium, 0.20 * equilibrium)
      << "u* " << std::sqrt(ustar2) << " m/s over " << f.bedCells << " bed cells";
}

}  // namespace
}  // namespace qorva

namespace qorva {
namespace {

// A slice of a wide rough channel under a fixed lid: 10 m long, 1 m wide (two columns across)
// and 0.2 m deep, bed and lid falling 1 mm per metre, ks = 1 cm on the bed, side walls without
// friction (F 70 1), q = 0.11944 m2/s, seven layers in every column (F 87 0). The inflow takes
// the outflow's profile after 100 iterations (F 174 100), so the whole reach carries developed
// uniform flow. This is the water column of the free-surface flume, where the depth-averaged
// log law gives the normal depth 0.2 m for this q and the bed slope.
constexpr double kSliceDepth = 0.2, kSliceQ = 0.11944, kSliceKs = 0.01;

// What the checks read of the converged run over the reach 2 to 8 m: the energy slope from the
// pressure (the momentum balance of uniform flow gives the bed shear g h S), and per layer the
// mean height of the cell centres above the bed, half the cell height and the speed.
struct SliceRun {
  int status = 0;
  bool converged = false;
  double slope = 0;
  std::vector<double> z, half, u;
};

class RoughSlice : public test::Scratch {
 protected:
  static const SliceRun& slice() {
    static const SliceRun r = run();
    return r;
  }

 private:
  static SliceRun run() {
    std::string k;
    char line[128];
    for (int i = 1; i <= 11; ++i)
      for (int j = 1; j <= 3; ++j) {
        const double x = i - 1.0, zb = -0.001 * x;
        std::snprintf(line, sizeof line, "%d %d %f %f %f %f\n", i, j, x, 0.5 * (j - 1), zb,
                      zb + kSliceDepth);
        k += line;
      }
    write("koosurf", k);
    write("control", "T Rough slice\nG 1 14 6 8 1\nF 314 1 1\nF 237 1 0.11944\n"
                     "F 237 2 0.11944\nF 16 0.01\nF 70 1\nF 87 0\nF 174 100\n"
                     "K 1 20000 50000\nF 2 YW\n");
    SliceRun r;
    r.status = programMain() & 255;
    r.converged = log().find("Solution converged") != std::string::npos;
    if (r.status != 1 || NoCells <= 0) return r;
    const test::ReachFigures reach = test::measureReach(2.0, 8.0, [](int) {});
    r.slope = -reach.dpdx / kRhoG;
    std::vector<double> n;
    for (int c = 1; c <= NoCells; ++c) {
      if (Ccellb[c] != 0 || Cxcenter[c] < 2 || Cxcenter[c] > 8) continue;
      double top = 0;
      std::size_t l = 0;
      for (int d = c; d > 0; d = Ccellt[d], ++l) {
        if (l == r.z.size()) {
          r.z.push_back(0), r.half.push_back(0), r.u.push_back(0);
          n.push_back(0);
        }
        r.z[l] += top + Ckdist[d];
        r.half[l] += Ckdist[d];
        r.u[l] += std::hypot(Cxvel[d], Cyvel[d]);
        n[l] += 1;
        top += 2 * Ckdist[d];
      }
    }
    for (std::size_t l = 0; l < n.size(); ++l) r.z[l] /= n[l], r.half[l] /= n[l], r.u[l] /= n[l];
    return r;
  }
};

// The rough-wall law puts the log law u = (u* / 0.4) ln(30 y / ks) at the centre of the bed
// cell, y half its height. By hand, from what the run measured: U1 = 0.402 m/s at y = 0.2 / 14
// = 0.01429 m, 30 y / ks = 42.9, u+ = ln(42.9) / 0.4 = 9.39, u* = 0.0428 m/s, so the log law
// asks a bed shear tau / rho = u*^2 = 1.83e-3 m2/s2; the momentum balance of the uniform flow,
// g h S with S from the pressure, gives 1.82e-3 (0.4 % apart). A wall distance of the whole
// cell height would give 40 % less shear, a von Karman constant of 0.41 5 % more.
TEST_F(RoughSlice, BedShearIsTheLogLawsAtTheBedCellCentre) {
  const SliceRun& r = slice();
  ASSERT_EQ(r.status, 1) << log();
  ASSERT_TRUE(r.converged) << log();
  ASSERT_EQ(r.u.size(), 7u);
  EXPECT_NEAR(r.half[0], kSliceDepth / 14, 1e-6);
  const double uplus = std::log(30 * r.half[0] / kSliceKs) / 0.4;
  const double logLaw = (r.u[0] / uplus) * (r.u[0] / uplus);
  const double balance = kG * kSliceDepth * r.slope;
  EXPECT_NEAR(logLaw, balance, 0.015 * balance) << "U1 " << r.u[0] << ", S " << r.slope;
}

// The velocity of every layer against the log law with the friction velocity of the momentum
// balance, and the depth-averaged velocity against 2.5 ln(11 h / ks) u*. Measured: the bed
// cell within 0.2 %, the layers above 0.7 to 4.3 % faster, the depth mean 3.7 % (U / u* =
// 13.99 against 13.48). The layers above the bed cell are faster because the k-epsilon eddy
// viscosity C_mu k^2 / epsilon there is 0.80 to 0.86 of the parabolic 0.4 u* z (1 - z / h) of
// the log law between z / h = 0.2 and 0.5 (and 3.5 times it in the cell under the lid, where
// it does not vanish): an independent one-dimensional
// k-epsilon solution of this uniform flow with the same wall law gives U / u* = 13.97 on seven
// layers and 14.06 on 28. The channel's friction is therefore 7 % below the log law's at this
// depth, whatever the number of layers, and a free surface of this flume held at the log law's
// normal depth at the outlet falls 6 % less steeply than the bed.
TEST_F(RoughSlice, VelocityFollowsTheLogLaw) {
  const SliceRun& r = slice();
  ASSERT_EQ(r.status, 1) << log();
  ASSERT_EQ(r.u.size(), 7u);
  const double ustar = std::sqrt(kG * kSliceDepth * r.slope);
  double mean = 0;
  for (std::size_t l = 0; l < r.u.size(); ++l) {
    const double law = ustar / 0.4 * std::log(30 * r.z[l] / kSliceKs);
    EXPECT_NEAR(r.u[l], law, (l == 0 ? 0.01 : 0.05) * law) << "layer " << l;
    mean += r.u[l] / r.u.size();
  }
  EXPECT_NEAR(mean, kSliceQ / kSliceDepth, 0.002);
  const double depthAveraged = 2.5 * std::log(11 * kSliceDepth / kSliceKs);
  EXPECT_NEAR(mean / ustar, depthAveraged, 0.05 * depthAveraged);
  // The log law's friction slope at this depth: q^2 / (g h^3 C^2), C its U / u*.
  const double lawSlope = kSliceQ * kSliceQ /
                          (kG * std::pow(kSliceDepth, 3) * depthAveraged * depthAveraged);
  std::printf("[ figures  ] rough slice: U / u* %.3f against %.3f of the log law; friction slope "
              "%.3f of the log law's\n",
              mean / ustar, depthAveraged, r.slope / lawSlope);
}

}  // namespace
}  // namespace qorva
