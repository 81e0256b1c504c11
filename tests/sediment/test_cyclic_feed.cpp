// The cyclic sediment feed of F 174 spread over the inflow faces like the outflow's
// concentration profile: every inflow face takes the outflow's concentration at its own height
// above the bed, as a share of the depth, also where the two ends have other depths and cell
// counts, and the mean over the inflow faces stays the value fed (the inflow mass is Q times it).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "sediment/sediment_flume.h"
#include "sediment/sediment_loop.h"
#include "state/groups.h"
#include "state/options.h"
#include "state/options_f150_199.h"
#include "state/options_qm.h"
#include "state/sediment_run.h"
#include "state/surfaces.h"

namespace qorva::test {
namespace {

// A flume 24 m long and 1 m wide under 0.39 m of water whose bed drops by 0.2 m from x = 16 to
// 20 m: the outflow end is deeper and its columns hold more cells than the inflow end's.
std::string steppedFlume() {
  std::string out;
  char line[160];
  for (int i = 1; i <= 25; ++i)
    for (int j = 1; j <= 3; ++j) {
      const double x = i - 1;
      const double bed = x >= 20 ? -0.2 : x > 16 ? -0.2 * (x - 16) / 4 : 0.0;
      std::snprintf(line, sizeof line, "%d %d %f %f %f 0.390000\n", i, j, x, (j - 1) * 0.5, bed);
      out += line;
    }
  return out;
}

// The height of the centre of cell c above the bed of its column, over the column's depth.
double relativeHeight(int c) {
  int bottom = c, top = c;
  while (Ccellb[bottom] > 0) bottom = Ccellb[bottom];
  while (Ccellt[top] > 0) top = Ccellt[top];
  const double bed = Czcenter[bottom] - Ckdist[bottom];
  return (Czcenter[c] - bed) / (Czcenter[top] + Ckdist[top] - bed);
}

int cellBehind(int s) { return Fcell1[s] != 0 ? Fcell1[s] : Fcell2[s]; }

TEST_F(SedimentFlume, CyclicFeedTakesTheOutflowProfileAtEveryHeight) {
  ASSERT_EQ(runOn(steppedFlume(),
                  "T Stepped flume\nG 1 27 5 7 1\nF 314 1 1\nF 237 1 0.1989\nF 237 2 0.1989\n"
                  "F 16 0.025\nF 33 300 20\nF 489 300\nF 54 0\nF 454 1000\nK 5 0 0 0 1 0 0\n"
                  "F 37 1\nF 255 2\nF 106 1.0\nF 4 0.5 50 0.01\nK 1 1 50000\nS 1 0.00016 0.013\n"
                  "N 0 1 1.0\nF 2 YS\n"),
            1)
      << log();
  const DischargeGroup& in = DischargeStruct[1];
  const DischargeGroup& out = DischargeStruct[2];
  ASSERT_GT(in.surfaceNo, 0);
  ASSERT_GT(out.surfaceNo, in.surfaceNo) << "the deeper outflow end has more cells";

  // A concentration falling linearly with the height at the outflow: 1e-3 (1 - 0.8 eta).
  auto profile = [](double eta) { return 1e-3 * (1 - 0.8 * eta); };
  double lowest = 1, highest = 0, sum = 0, area = 0;
  for (int k = 0; k < out.surfaceNo; ++k) {
    const int s = out.surfaceList[k], c = cellBehind(s);
    const double eta = relativeHeight(c);
    Cconc[1][c] = profile(eta);
    lowest = std::min(lowest, eta);
    highest = std::max(highest, eta);
    sum += Farea[s] * Cconc[1][c];
    area += Farea[s];
  }
  const double fed = sum / area;  // F 174 x 1 feeds the area mean of the outflow

  // What each inflow face should carry: the outflow's profile at its height (the outflow's
  // end values beyond its lowest and highest cell centres), scaled to the mean fed.
  std::vector<double> want(in.surfaceNo);
  double wantSum = 0, inArea = 0;
  for (int k = 0; k < in.surfaceNo; ++k) {
    const int s = in.surfaceList[k];
    want[k] = profile(std::clamp(relativeHeight(cellBehind(s)), lowest, highest));
    wantSum += Farea[s] * want[k];
    inArea += Farea[s];
  }
  for (double& w : want) w *= fed * inArea / wantSum;

  for (int c = 1; c <= NoCells; ++c) Cap[c] = Csource[c] = 0;
  FlagCyclicS = 1;
  concBuffer[1] = -1;
  const double before = kIn[1];
  InflowSediment();
  const double G = DischargeArray[1] / (in.area + 1e-30);
  double carried = 0;
  for (int k = 0; k < in.surfaceNo; ++k) {
    const int s = in.surfaceList[k], c = cellBehind(s);
    const double q = Farea[s] * G;
    EXPECT_NEAR(Csource[c] / q, want[k], 2e-3 * want[k]) << "face " << k;
    carried += Csource[c];
  }
  // The mass fed is the discharge times the mean: Q c dt s.
  EXPECT_NEAR(carried, DischargeArray[1] * fed, 1e-12 * DischargeArray[1] * fed);
  EXPECT_NEAR(kIn[1] - before, DischargeArray[1] * fed * TimeStep * density,
              1e-12 * DischargeArray[1] * fed * TimeStep * density);
  // With nothing at the outflow the fed value enters evenly.
  for (int k = 0; k < out.surfaceNo; ++k) Cconc[1][cellBehind(out.surfaceList[k])] = 0;
  for (int c = 1; c <= NoCells; ++c) Cap[c] = Csource[c] = 0;
  FlagCyclicS = 7;
  CompInflowNo = 1;
  CompInflow[1].value[1] = 2e-3;
  InflowSediment();
  for (int k = 0; k < in.surfaceNo; ++k) {
    const int s = in.surfaceList[k];
    EXPECT_DOUBLE_EQ(Csource[cellBehind(s)], Farea[s] * G * 2e-3) << "face " << k;
  }
}

}  // namespace
}  // namespace qorva::test
