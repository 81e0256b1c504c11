// The straight flume of the end-to-end flow tests: 10 m long, 1.5 m wide and 0.3 m deep, its
// bed falling 1 mm per metre and the water surface with it, 30 l/s entering at one end and
// leaving at the other; 10 x 3 columns of 9 cells.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "driver/control.h"
#include "driver/driver.h"
#include "state/arrays.h"
#include "state/cells.h"
#include "state/surfaces.h"
#include "support/scratch.h"

namespace qorva::test {

inline constexpr double kFlumeQ = 0.03;     // m3/s
inline constexpr double kFlumeWidth = 1.5;  // m
inline constexpr double kFlumeDepth = 0.3;  // m

inline std::string flumeGeometry() {
  std::string s;
  char line[128];
  for (int i = 1; i <= 11; ++i)
    for (int j = 1; j <= 4; ++j) {
      const double x = i - 1.0, y = 0.5 * (j - 1), zb = -0.001 * (i - 1);
      std::snprintf(line, sizeof line, "%d %d %f %f %f %f\n", i, j, x, y, zb, zb + kFlumeDepth);
      s += line;
    }
  return s;
}

// The control file of the flume with `extra` data sets, read with a fixed water surface (Y)
// before the flow computation (W).
inline std::string flumeControl(const std::string& extra) {
  return "T Straight flume, 30 l/s\nG 1 14 7 11 1\nF 314 1 1\nF 237 1 0.03\nF 237 2 0.03\n" +
         extra + "F 2 YW\n";
}

inline bool contains(const std::string& s, const std::string& part) {
  return s.find(part) != std::string::npos;
}

class Flume : public Scratch {
 protected:
  // One whole run of the program on the flume with `extra` data sets; returns its status.
  int runFlume(const std::string& extra) {
    std::filesystem::remove("boogie");
    std::filesystem::remove("tafnor");
    std::filesystem::remove("result.end");
    SetArraysZero();
    setDefaults();
    write("koosurf", flumeGeometry());
    write("control", flumeControl(extra));
    return programMain() & 255;
  }
};

// Every cross-section away from the inflow and outflow slabs, which hold the sources, carries
// `q` m3/s through its downstream faces within 0.5 %, across the flume's area, and its mean
// velocity is q over that area.
inline void expectWaterConserved(double q = kFlumeQ) {
  std::map<long, std::vector<int>> slabs;
  for (int c = 1; c <= NoCells; ++c) slabs[std::lround(Cxcenter[c] * 1000)].push_back(c);
  ASSERT_EQ(slabs.size(), 10u);
  for (auto it = std::next(slabs.begin()); it != std::prev(slabs.end()); ++it) {
    SCOPED_TRACE(it->first / 1000.0);
    double flux = 0, area = 0, uvol = 0, vol = 0;
    for (int c : it->second) {
      const int f = Cflatee[c];
      ASSERT_GT(f, 0);
      flux += Fflux[f];
      area += std::fabs(Fax[f]);
      uvol += Cxvel[c] * Cvol[c];
      vol += Cvol[c];
    }
    EXPECT_NEAR(std::fabs(flux), 1000.0 * q, 0.005 * 1000.0 * q);  // kg/s
    EXPECT_NEAR(area, kFlumeWidth * kFlumeDepth, 0.01 * kFlumeWidth * kFlumeDepth);
    EXPECT_NEAR(uvol / vol, q / area, 0.005 * q / area);
  }
}

}  // namespace qorva::test
