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
#include <string>

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
