// The plan views and the Tecplot 3-D file of a whole run on the sloping flume: the plan views
// show the depth of the grid and the depth-averaged velocity of the 3-D result, computed here
// from the cells and their corner heights. With QORVA_PLOT_DIR set (the CTest entries of the
// readers) the files go there with a list of checks for tests/output/read_plot.py.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "output/plan_grid.h"
#include "state/points.h"
#include "support/flume.h"

namespace qorva {
namespace {

using test::lines;
using test::numbers;

class PlotFlume : public test::Flume {};

double cellHeight(int c) {
  return (Pz[Cpoint5[c]] + Pz[Cpoint6[c]] + Pz[Cpoint7[c]] + Pz[Cpoint8[c]] - Pz[Cpoint1[c]] -
          Pz[Cpoint2[c]] - Pz[Cpoint3[c]] - Pz[Cpoint4[c]]) /
         4;
}

// The mean speed of column (i, j) over its depth, each cell weighted by its height.
double depthAveragedSpeed(int i, int j) {
  double hu = 0, h = 0;
  for (int c : test::columnCells(i, j)) {
    hu += cellHeight(c) * std::hypot(Cxvel[c], Cyvel[c]);
    h += cellHeight(c);
  }
  return hu / h;
}

TEST_F(PlotFlume, PlanViewsShowDepthAndDepthAveragedVelocityOfTheResult) {
  ASSERT_EQ(runFlume("F 329 1 0 1 0 1 0 1\nG 24 3 y 0 0 D 0 0 V 0 0\n"), 1);
  ASSERT_TRUE(std::filesystem::exists("tecplot2.dat"));
  ASSERT_TRUE(std::filesystem::exists("tecplfe.dat"));
  ASSERT_TRUE(std::filesystem::exists("pav2_00000.vtk"));
  // Columns i = 2..11, j = 2..4: 12 x 5 plan points with the ring.
  const auto tec = lines(read("tecplot2.dat"));
  ASSERT_EQ(tec.size(), 4u + 60);
  EXPECT_EQ(tec[2], "ZONE I=12,J=5,F=POINT");
  const auto vtk = lines(read("pav2_00000.vtk"));
  std::vector<double> vtkDepth, vtkSpeed;
  for (std::size_t k = 0; k + 6 < vtk.size(); ++k) {
    if (vtk[k] == "SCALARS Depth float")
      for (int r = 0; r < 5; ++r)
        for (double v : numbers(vtk[k + 2 + r])) vtkDepth.push_back(v);
    if (vtk[k] == "SCALARS Depth-averaged_velocity float")
      for (int r = 0; r < 5; ++r)
        for (double v : numbers(vtk[k + 2 + r])) vtkSpeed.push_back(v);
  }
  ASSERT_EQ(vtkDepth.size(), 60u);
  ASSERT_EQ(vtkSpeed.size(), 60u);

  std::string planChecks = "dims 12 5\npoints 60\n"
                           "names X1 X2 X3 Ux Uy Depth Depth-averaged_velocity Horiz._velocity\n";
  std::string vtkChecks = "points 60\nnames Depth Depth-averaged_velocity Horiz_velocity Velocities\n";
  double worst = 0;
  int n = 0;
  for (int jj = 1; jj <= 5; ++jj)
    for (int ii = 1; ii <= 12; ++ii, ++n) {
      SCOPED_TRACE(std::to_string(ii) + " " + std::to_string(jj));
      const int i = std::clamp(ii, 2, 11), j = std::clamp(jj, 2, 4);
      const double speed = depthAveragedSpeed(i, j);
      const auto v = numbers(tec[4 + n]);
      ASSERT_EQ(v.size(), 8u);
      // The depth of the koosurf points is 0.3 m everywhere, the surface sloping with the bed.
      EXPECT_NEAR(v[5], test::kFlumeDepth, 1e-6);
      EXPECT_NEAR(v[6], speed, 1e-6);
      EXPECT_NEAR(vtkDepth[n], test::kFlumeDepth, 1e-6);
      EXPECT_NEAR(vtkSpeed[n], speed, 1e-6);
      worst = std::max({worst, std::fabs(v[6] - speed), std::fabs(vtkSpeed[n] - speed)});
      if (ii == jj || ii == 6) {
        char line[200];
        std::snprintf(line, sizeof line, "value Depth %d %.9g 1e-6\nvalue Depth-averaged_velocity %d %.9g 1e-6\n",
                      n, test::kFlumeDepth, n, speed);
        planChecks += line;
        vtkChecks += line;
      }
    }
  // Continuity fixes the mean of the depth-averaged velocity in a section: Q / A.
  double mean = 0;
  for (int j = 2; j <= 4; ++j) mean += depthAveragedSpeed(6, j) / 3;
  EXPECT_NEAR(mean, test::kFlumeQ / (test::kFlumeWidth * test::kFlumeDepth), 0.01 * mean);
  std::printf("largest difference of the plan-view depth average: %.3g m/s\n", worst);

  // The 3-D file: the grid's nodes and cells, and the velocity of a few nodes.
  std::string feChecks = "points " + std::to_string(NoPoints) + "\ncells " + std::to_string(NoCells) +
                         "\nnames X1 X2 X3 Ux Uy No Depth Depth-averaged_velocity Horiz._velocity\n";
  const auto fe = lines(read("tecplfe.dat"));
  ASSERT_EQ(fe.size(), 3u + NoPoints + NoCells);
  for (int p : {1, NoPoints / 2, NoPoints}) {
    const auto v = numbers(fe[2 + p]);
    char line[200];
    std::snprintf(line, sizeof line, "value X1 %d %.9g 1e-6\nvalue X3 %d %.9g 1e-6\nvalue Ux %d %.9g 1e-6\n",
                  p - 1, Px[p], p - 1, Pz[p], p - 1, v[3]);
    feChecks += line;
  }
  for (int c : {1, NoCells}) {
    feChecks += "corners " + std::to_string(c - 1);
    for (const auto* t : {&Cpoint1, &Cpoint2, &Cpoint3, &Cpoint4, &Cpoint5, &Cpoint6, &Cpoint7,
                          &Cpoint8})
      feChecks += " " + std::to_string((*t)[c]);
    feChecks += "\n";
  }

  if (const char* dir = std::getenv("QORVA_PLOT_DIR")) {
    const std::filesystem::path to(dir);
    std::filesystem::create_directories(to);
    const auto copy = [&](const char* from, const char* name) {
      std::filesystem::copy_file(from, to / name, std::filesystem::copy_options::overwrite_existing);
    };
    copy("tecplot2.dat", "plan.dat");
    copy("tecplfe.dat", "fe.dat");
    copy("pav2_00000.vtk", "plan.vtk");
    const auto put = [&](const char* name, const std::string& text) {
      std::FILE* f = std::fopen((to / name).c_str(), "w");
      ASSERT_NE(f, nullptr);
      std::fputs(text.c_str(), f);
      std::fclose(f);
    };
    put("plan.dat.expect", planChecks);
    put("fe.dat.expect", feChecks);
    put("plan.vtk.expect", vtkChecks);
  }
}

}  // namespace
}  // namespace qorva
